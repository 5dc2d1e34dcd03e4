#include "platform/classes/IniFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

K58_IMPLEMENT_CLASS(TCustomIniFile) {}
K58_IMPLEMENT_CLASS(TIniFile) {}

namespace {

enum class Encoding { Utf8, Utf8Bom, Gbk };

// Larger files are taken as unreadable: they are no settings, and every call reads the whole file.
constexpr size_t MaxFileSize = 4 << 20;

struct Line {
  Line(String text) : text(std::move(text)) {}  // implicit: a line the program writes
  Line(String text, String bytes) : text(std::move(text)), bytes(std::move(bytes)), read(true) {}

  String text;   // decoded to UTF-8
  String bytes;  // as read, without the line end; written back as it was while the line is not changed
  bool read = false;
};

// The lines of an INI file.
struct Profile {
  std::vector<Line> lines;
  Encoding encoding = Encoding::Utf8;
  bool exists = false;
  String original;  // the file's bytes
};

// Loads the file. False when it exists but cannot be read (or is no regular file, or too large); a
// missing file is an empty profile.
void Parse(String bytes, Profile& profile);

bool Load(const String& fileName, Profile& profile) {
  String bytes;
  if (const int error = ReadFileHead(fileName, MaxFileSize + 1, bytes)) {
    profile.exists = error != ENOENT && error != ENOTDIR;
    return !profile.exists;
  }
  profile.exists = true;
  if (bytes.size() > MaxFileSize) return false;
  Parse(std::move(bytes), profile);
  return true;
}

// Load for reading only. Settings are read a value at a time and every read takes the whole file: the
// lines of the bytes last read from a file are kept and used again while the file holds the same bytes
// (it is still read each time, so a change made by anyone shows at the next read).
bool LoadForRead(const String& fileName, std::shared_ptr<const Profile>& out) {
  String bytes;
  if (const int error = ReadFileHead(fileName, MaxFileSize + 1, bytes)) {
    auto none = std::make_shared<Profile>();
    none->exists = error != ENOENT && error != ENOTDIR;
    out = std::move(none);
    return !out->exists;
  }
  if (bytes.size() > MaxFileSize) return false;
  static std::mutex lock;
  // Never destroyed: a file may be read while static objects go.
  static auto& parsed = *new std::map<String, std::shared_ptr<const Profile>>();
  {
    std::lock_guard<std::mutex> guard(lock);
    auto it = parsed.find(fileName);
    if (it != parsed.end() && it->second->original == bytes) {
      out = it->second;
      return true;
    }
  }
  auto profile = std::make_shared<Profile>();
  profile->exists = true;
  Parse(std::move(bytes), *profile);
  std::lock_guard<std::mutex> guard(lock);
  if (parsed.size() >= 8) parsed.clear();  // a program reads a few files over and over, not many
  parsed[fileName] = profile;
  out = std::move(profile);
  return true;
}

// The lines of the file's bytes, decoded.
void Parse(String bytes, Profile& profile) {
  size_t p = 0;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    profile.encoding = Encoding::Utf8Bom;
    p = 3;
  } else {
    profile.encoding = IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Gbk;
  }
  // CR and LF are never part of a GBK character, so the lines split alike before and after decoding.
  while (p < bytes.size()) {
    size_t start = p;
    while (p < bytes.size() && bytes[p] != '\r' && bytes[p] != '\n') ++p;
    String raw = bytes.substr(start, p - start);
    String text = profile.encoding == Encoding::Gbk ? GbkToUtf8(raw) : raw;
    profile.lines.emplace_back(std::move(text), std::move(raw));
    if (p < bytes.size() && bytes[p] == '\r') ++p;
    if (p < bytes.size() && bytes[p] == '\n') ++p;
  }
  profile.original = std::move(bytes);
}

// The file's bytes: lines read and not changed as they were, the others in the file's encoding. Text a
// GBK file cannot hold makes the file UTF-8 rather than losing characters.
String Encode(const Profile& profile) {
  String bytes = profile.encoding == Encoding::Utf8Bom ? "\xEF\xBB\xBF" : "";
  bool fits = true;
  for (const Line& line : profile.lines) {
    if (line.read) {
      bytes += line.bytes;
    } else if (profile.encoding == Encoding::Gbk) {
      const String gbk = Utf8ToGbk(line.text);
      fits = fits && GbkToUtf8(gbk) == line.text;
      bytes += gbk;
    } else {
      bytes += line.text;
    }
    bytes += "\r\n";
  }
  if (fits) return bytes;
  bytes.clear();
  for (const Line& line : profile.lines) bytes += line.text + "\r\n";
  return bytes;
}

bool WriteAllTo(int fd, const String& bytes) {
  if (::lseek(fd, 0, SEEK_SET) != 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// Rewrites an existing file in place. The room for the new contents is taken first, so a full disk
// fails before anything is changed; a write that fails after all puts the old contents back.
bool SaveInPlace(const String& fileName, const String& bytes, const String& original) {
  int fd = ::open(fileName.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            (bytes.size() <= original.size() ||
             ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size())) == 0);
  if (ok && !WriteAllTo(fd, bytes)) {
    WriteAllTo(fd, original);
    ok = false;
  }
  return ::close(fd) == 0 && ok;
}

// Writes the profile through a temporary file renamed over the old one, so a failed write leaves the
// old file whole; in place when the directory takes no new file (the file itself may still be
// writable).
bool Save(const String& fileName, const Profile& profile) {
  const String bytes = Encode(profile);
  bool tempCreated = false;
  if (WriteFileReplacing(fileName, bytes.data(), bytes.size(), &tempCreated) == 0) return true;
  return !tempCreated && profile.exists && SaveInPlace(fileName, bytes, profile.original);
}

bool SectionName(const String& line, String& name) {
  String text = TrimLeft(line);
  if (text.empty() || text[0] != '[') return false;
  size_t close = text.find(']');
  name = Trim(text.substr(1, close == String::npos ? String::npos : close - 1));
  return true;
}

bool KeyValue(const String& line, String& key, String& value) {
  String text = Trim(line);
  if (text.empty() || text[0] == ';' || text[0] == '[') return false;
  size_t eq = text.find('=');
  if (eq == String::npos) return false;
  key = Trim(text.substr(0, eq));
  if (key.empty()) return false;
  value = Trim(text.substr(eq + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return true;
}

// Lines [first, last) of the first section with the name; first is the header. False when absent.
bool FindSection(const Profile& profile, const String& section, size_t& first, size_t& last) {
  String name;
  for (size_t i = 0; i < profile.lines.size(); ++i) {
    if (SectionName(profile.lines[i].text, name) && AnsiSameText(name, section)) {
      first = i;
      last = i + 1;
      while (last < profile.lines.size() && !SectionName(profile.lines[last].text, name)) ++last;
      return true;
    }
  }
  return false;
}

String OneLine(const String& s) {
  String result = s;
  for (char& c : result) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return result;
}

void RaiseWriteError(const String& fileName) { throw EIniFileException(Format(SIniFileWriteError, fileName)); }

// Loads for a change; an unreadable existing file is never replaced.
Profile LoadForWrite(const String& fileName) {
  Profile profile;
  if (!Load(fileName, profile)) RaiseWriteError(fileName);
  return profile;
}

}  // namespace

// ---- TCustomIniFile ----

Integer TCustomIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) {
  return StrToIntDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

Double TCustomIniFile::ReadFloat(const String& Section, const String& Ident, Double Default) {
  String text = ReadString(Section, Ident, String());
  double value = Default;
  if (!text.empty() && TryStrToFloat(text, value)) return value;
  return Default;
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Ident, Double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

bool TCustomIniFile::SectionExists(const String& Section) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.IndexOf(Ident) >= 0;
}

// ---- TIniFile ----

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
  std::shared_ptr<const Profile> profile;
  size_t first = 0;
  size_t last = 0;
  if (!LoadForRead(FileName(), profile) || !FindSection(*profile, Section, first, last)) return Default;
  String key;
  String value;
  for (size_t i = first + 1; i < last; ++i) {
    if (KeyValue(profile->lines[i].text, key, value) && AnsiSameText(key, Ident)) return value;
  }
  return Default;
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  const String section = OneLine(Section);
  const String ident = OneLine(Ident);
  const String value = OneLine(Value);
  Profile profile = LoadForWrite(FileName());
  size_t first = 0;
  size_t last = 0;
  if (!FindSection(profile, section, first, last)) {
    profile.lines.push_back("[" + section + "]");
    profile.lines.push_back(ident + "=" + value);
  } else {
    String key;
    String old;
    bool replaced = false;
    for (size_t i = first + 1; i < last; ++i) {
      if (KeyValue(profile.lines[i].text, key, old) && AnsiSameText(key, ident)) {
        profile.lines[i] = key + "=" + value;
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      // After the last non-blank line of the section, before the blank lines that separate sections.
      size_t at = last;
      while (at > first + 1 && Trim(profile.lines[at - 1].text).empty()) --at;
      profile.lines.insert(profile.lines.begin() + static_cast<std::ptrdiff_t>(at), ident + "=" + value);
    }
  }
  if (!Save(FileName(), profile)) RaiseWriteError(FileName());
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    std::shared_ptr<const Profile> profile;
    size_t first = 0;
    size_t last = 0;
    if (LoadForRead(FileName(), profile) && FindSection(*profile, Section, first, last)) {
      String key;
      String value;
      for (size_t i = first + 1; i < last; ++i) {
        if (KeyValue(profile->lines[i].text, key, value)) Strings->Add(key);
      }
    }
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    std::shared_ptr<const Profile> profile;
    if (LoadForRead(FileName(), profile)) {
      TStringList seen;
      String name;
      for (const Line& line : profile->lines) {
        if (SectionName(line.text, name) && seen.IndexOf(name) < 0) {
          seen.Add(name);
          Strings->Add(name);
        }
      }
    }
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    std::shared_ptr<const Profile> profile;
    size_t first = 0;
    size_t last = 0;
    if (LoadForRead(FileName(), profile) && FindSection(*profile, Section, first, last)) {
      String key;
      String value;
      for (size_t i = first + 1; i < last; ++i) {
        if (KeyValue(profile->lines[i].text, key, value)) Strings->Add(key + "=" + value);
      }
    }
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::EraseSection(const String& Section) {
  Profile profile = LoadForWrite(FileName());
  size_t first = 0;
  size_t last = 0;
  bool changed = false;
  // Every section of the name goes, so no older copy reappears.
  while (FindSection(profile, Section, first, last)) {
    profile.lines.erase(profile.lines.begin() + static_cast<std::ptrdiff_t>(first),
                        profile.lines.begin() + static_cast<std::ptrdiff_t>(last));
    changed = true;
  }
  if (changed && !Save(FileName(), profile)) RaiseWriteError(FileName());
}

void TIniFile::DeleteKey(const String& Section, const String& Ident) {
  Profile profile = LoadForWrite(FileName());
  size_t first = 0;
  size_t last = 0;
  if (!FindSection(profile, Section, first, last)) return;
  bool changed = false;
  String key;
  String value;
  for (size_t i = last; i-- > first + 1;) {
    if (KeyValue(profile.lines[i].text, key, value) && AnsiSameText(key, Ident)) {
      profile.lines.erase(profile.lines.begin() + static_cast<std::ptrdiff_t>(i));
      changed = true;
    }
  }
  if (changed && !Save(FileName(), profile)) RaiseWriteError(FileName());
}
