#include "platform/win/gdi/FontCache.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "platform/rtl/Files.h"

namespace k58::gdi {

namespace {

constexpr const char* kCacheHeader = "k58 font files 1";
constexpr size_t kMaxCacheSize = 256 * 1024;
// Bounds the walk over configuration and font directories (a link loop or a huge tree costs no more).
constexpr int kMaxDepth = 6;
constexpr size_t kMaxEntries = 8192;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string HomeDir() { return Env("HOME"); }

// An XDG base directory: the variable when it holds an absolute path, else home + fallback.
std::string XdgDir(const char* variable, const char* fallback) {
  std::string v = Env(variable);
  if (!v.empty() && v[0] == '/') return v;
  const std::string home = HomeDir();
  return home.empty() ? std::string() : home + "/" + fallback;
}

// Appends what tells a later run whether path changed: its change time, size and identity.
void DescribePath(const std::string& path, std::string& out) {
  struct stat st {};
  out += path;
  if (stat(path.c_str(), &st) != 0) {
    out += " -\n";
    return;
  }
  out += ' ' + std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec) + ' ' +
         std::to_string(st.st_size) + ' ' + std::to_string(st.st_ino) + '\n';
}

// Describes dir and, below it, every directory (and with files, every file), in name order.
void DescribeTree(const std::string& dir, bool files, int depth, size_t& budget, std::string& out) {
  DescribePath(dir, out);
  if (depth >= kMaxDepth || budget == 0) return;
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  std::vector<std::pair<std::string, bool>> children;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = dir + "/" + name;
    bool isDir = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st {};
      isDir = stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (isDir || files) children.emplace_back(path, isDir);
  }
  closedir(d);
  std::sort(children.begin(), children.end());
  for (const auto& [path, isDir] : children) {
    if (budget == 0) {
      out += "...\n";
      return;
    }
    --budget;
    if (isDir)
      DescribeTree(path, files, depth + 1, budget, out);
    else
      DescribePath(path, out);
  }
}

uint64_t Fnv1a(const std::string& s) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

// The identity a stored font file must still have: size and change time.
std::string FileStamp(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";
  return std::to_string(st.st_size) + ':' + std::to_string(st.st_mtim.tv_sec) + '.' +
         std::to_string(st.st_mtim.tv_nsec);
}

bool ParseFlag(const std::string& s, bool& v) {
  if (s != "0" && s != "1") return false;
  v = s == "1";
  return true;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace

std::string FontSetupFingerprint() {
  std::string d;
  // The variables the font search reads: where its configuration is, whose home, which language.
  for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME", "XDG_CONFIG_HOME",
                           "XDG_DATA_HOME", "FC_LANG", "LC_ALL", "LC_CTYPE", "LANG"})
    d += std::string(name) + '=' + Env(name) + '\n';
  size_t budget = kMaxEntries;
  const std::string fcPath = Env("FONTCONFIG_PATH").empty() ? "/etc/fonts" : Env("FONTCONFIG_PATH");
  const std::string fcFile = Env("FONTCONFIG_FILE");
  DescribePath(fcFile.empty() ? fcPath + "/fonts.conf" : (fcFile[0] == '/' ? fcFile : fcPath + "/" + fcFile), d);
  DescribeTree(fcPath + "/conf.d", true, 0, budget, d);
  const std::string home = HomeDir();
  const std::string config = XdgDir("XDG_CONFIG_HOME", ".config");
  if (!config.empty()) DescribeTree(config + "/fontconfig", true, 0, budget, d);
  if (!home.empty()) {
    DescribePath(home + "/.fonts.conf", d);
    DescribeTree(home + "/.fonts.conf.d", true, 0, budget, d);
    DescribeTree(home + "/.fonts", false, 0, budget, d);
  }
  // Fonts added or removed change their directory's time.
  DescribeTree("/usr/share/fonts", false, 0, budget, d);
  DescribeTree("/usr/local/share/fonts", false, 0, budget, d);
  const std::string data = XdgDir("XDG_DATA_HOME", ".local/share");
  if (!data.empty()) DescribeTree(data + "/fonts", false, 0, budget, d);
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(Fnv1a(d)));
  return hex;
}

std::string FontCacheFile() {
  const std::string dir = XdgDir("XDG_CACHE_HOME", ".cache");
  return dir.empty() ? std::string() : dir + "/k58/font-files";
}

bool LoadFontCache(const std::string& file, const std::string& fingerprint,
                   std::map<std::string, FontFileRef>& entries) {
  entries.clear();
  String bytes;
  if (file.empty() || ReadFileHead(file, kMaxCacheSize + 1, bytes) != 0 || bytes.size() > kMaxCacheSize) return false;
  std::istringstream in(bytes);
  std::string line;
  if (!std::getline(in, line) || line != kCacheHeader) return false;
  if (!std::getline(in, line) || line != fingerprint) return false;
  std::map<std::string, FontFileRef> read;
  bool ended = false;
  while (std::getline(in, line)) {
    if (line == "end") {
      ended = true;
      break;
    }
    // key, path, face index, bold, italic, the file's stamp
    const std::vector<std::string> f = SplitTabs(line);
    if (f.size() != 6 || f[0].empty() || f[1].empty() || f[1][0] != '/') return false;
    FontFileRef ref;
    ref.path = f[1];
    char* end = nullptr;
    const long index = std::strtol(f[2].c_str(), &end, 10);
    if (f[2].empty() || *end || index < 0 || index > 0xFFFF) return false;
    ref.index = static_cast<int>(index);
    if (!ParseFlag(f[3], ref.bold) || !ParseFlag(f[4], ref.italic)) return false;
    if (FileStamp(ref.path) != f[5] || f[5].empty()) return false;
    read[f[0]] = ref;
  }
  // A file cut short (a full disk) lacks its last line.
  if (!ended) return false;
  entries = std::move(read);
  return true;
}

bool SaveFontCache(const std::string& file, const std::string& fingerprint,
                   const std::map<std::string, FontFileRef>& entries) {
  if (file.empty()) return false;
  std::string out = std::string(kCacheHeader) + '\n' + fingerprint + '\n';
  for (const auto& [key, ref] : entries) {
    const std::string stamp = FileStamp(ref.path);
    auto unfit = [](const std::string& s) { return s.find_first_of("\t\n") != std::string::npos; };
    if (key.empty() || ref.path.empty() || ref.path[0] != '/' || stamp.empty() || unfit(key) || unfit(ref.path))
      continue;
    out += key + '\t' + ref.path + '\t' + std::to_string(ref.index) + '\t' + (ref.bold ? "1" : "0") + '\t' +
           (ref.italic ? "1" : "0") + '\t' + stamp + '\n';
  }
  out += "end\n";
  const size_t slash = file.rfind('/');
  if (slash != std::string::npos && slash > 0) ForceDirectories(file.substr(0, slash));
  return WriteFileReplacing(file, out.data(), out.size()) == 0;
}

}  // namespace k58::gdi
