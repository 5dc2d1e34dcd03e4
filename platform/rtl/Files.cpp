#include "platform/rtl/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <vector>

namespace {

size_t NameStart(const String& fileName) {
  const size_t p = fileName.rfind(PathDelim);
  return p == String::npos ? 0 : p + 1;
}

std::vector<String> CommandLine() {
  std::vector<String> args;
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  String arg;
  char c;
  while (in.get(c)) {
    if (c == '\0') {
      args.push_back(arg);
      arg.clear();
    } else {
      arg += c;
    }
  }
  if (!arg.empty()) args.push_back(arg);
  return args;
}

String ExecutablePath() {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return String();
    if (static_cast<size_t>(n) < buf.size()) return String(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

}  // namespace

String ExtractFilePath(const String& fileName) { return fileName.substr(0, NameStart(fileName)); }

String ExtractFileDir(const String& fileName) {
  const size_t start = NameStart(fileName);
  if (start == 0) return String();
  if (start == 1) return String(1, PathDelim);
  return fileName.substr(0, start - 1);
}

String ExtractFileName(const String& fileName) { return fileName.substr(NameStart(fileName)); }

String ExtractFileExt(const String& fileName) {
  const size_t start = NameStart(fileName);
  const size_t dot = fileName.rfind('.');
  if (dot == String::npos || dot < start) return String();
  return fileName.substr(dot);
}

String ChangeFileExt(const String& fileName, const String& extension) {
  const size_t start = NameStart(fileName);
  const size_t dot = fileName.rfind('.');
  if (dot == String::npos || dot < start) return fileName + extension;
  return fileName.substr(0, dot) + extension;
}

String IncludeTrailingPathDelimiter(const String& s) {
  if (!s.empty() && s.back() == PathDelim) return s;
  return s + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& s) {
  if (s.size() > 1 && s.back() == PathDelim) return s.substr(0, s.size() - 1);
  return s;
}

String PathCombine(const String& dir, const String& name) {
  if (dir.empty()) return name;
  String n = name;
  while (!n.empty() && n.front() == PathDelim) n.erase(0, 1);
  return IncludeTrailingPathDelimiter(dir) + n;
}

bool FileExists(const String& fileName) {
  struct stat st {};
  return !fileName.empty() && stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const String& dirName) {
  struct stat st {};
  return !dirName.empty() && stat(dirName.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const String& dirName) {
  if (dirName.empty()) return false;
  const String dir = ExcludeTrailingPathDelimiter(dirName);
  if (DirectoryExists(dir)) return true;
  const String parent = ExtractFileDir(dir);
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return mkdir(dir.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(dir));
}

String ParamStr(Integer index) {
  if (index == 0) return ExecutablePath();
  const std::vector<String> args = CommandLine();
  if (index < 0 || static_cast<size_t>(index) >= args.size()) return String();
  return args[static_cast<size_t>(index)];
}

Integer ParamCount() {
  const size_t n = CommandLine().size();
  return n == 0 ? 0 : static_cast<Integer>(n - 1);
}

String ProgramDir() { return ExtractFilePath(ExecutablePath()); }
