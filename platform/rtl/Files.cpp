#include "platform/rtl/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

String DirectoryOf(const String& fileName) {
  const String dir = fileName.substr(0, NameStart(fileName));
  return dir.empty() ? String("./") : dir;
}

// ".name.XXXXXX" as mkstemp fills it in.
bool IsTemporaryNameOf(const String& entry, const String& name) {
  constexpr size_t suffix = 6;
  if (entry.size() != name.size() + 2 + suffix || entry[0] != '.' || entry.compare(1, name.size(), name) != 0 ||
      entry[name.size() + 1] != '.')
    return false;
  for (size_t i = entry.size() - suffix; i < entry.size(); ++i) {
    const char c = entry[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  }
  return true;
}

// A new temporary file beside fileName, locked for as long as it is open so that no other save takes it
// for a stale one. -1 with errno when the directory takes no new file.
int CreateTemporaryFile(const String& fileName, String& tempName) {
  RemoveStaleTemporaryFiles(fileName);
  for (int attempt = 0; attempt < 8; ++attempt) {
    tempName = DirectoryOf(fileName) + "." + fileName.substr(NameStart(fileName)) + ".XXXXXX";
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    // Another save may have taken it for stale between its creation and the lock.
    if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
    ::close(fd);
  }
  errno = EAGAIN;
  return -1;
}

bool WriteAll(int fd, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
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

int ReadFileHead(const String& fileName, size_t maxSize, String& bytes) {
  bytes.clear();
  struct stat st {};
  if (fileName.empty()) return ENOENT;
  // Looked at before opening: opening a pipe or a device can block or act on the device.
  if (::stat(fileName.c_str(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno;
  int error = 0;
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;  // replaced since the first look
  }
  char buffer[8192];
  while (error == 0 && bytes.size() < maxSize) {
    const ssize_t n = ::read(fd, buffer, std::min(sizeof(buffer), maxSize - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (error != 0) bytes.clear();
  return error;
}

int WriteFileReplacing(const String& fileName, const void* data, size_t size, bool* tempCreated) {
  // Replace the file a symbolic link points to, not the link.
  String target = fileName;
  if (char* resolved = ::realpath(fileName.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
  String temp;
  const int fd = CreateTemporaryFile(target, temp);
  if (tempCreated != nullptr) *tempCreated = fd >= 0;
  if (fd < 0) return errno;

  // Keep the permissions of the file being replaced; a new file gets the usual ones.
  struct stat old {};
  mode_t mode;
  if (::stat(target.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int error = 0;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, static_cast<const char*>(data), size) || ::fsync(fd) != 0)
    error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  // Make the rename itself durable.
  const int dirFd = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return 0;
}

void RemoveStaleTemporaryFiles(const String& fileName) {
  const String name = fileName.substr(NameStart(fileName));
  if (name.empty()) return;
  DIR* dir = ::opendir(DirectoryOf(fileName).c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryNameOf(entry->d_name, name)) continue;
    const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) continue;
    struct stat st {};
    // A save that is still running holds the lock on its file.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(dirFd, entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}
