// Helpers of the serial component's tests: a pseudo-terminal pair, a message pump for the test (main) thread,
// counts of the process's descriptors and threads, and a temporary directory.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/core/WinUser.h"

namespace serial_test {

using Bytes = std::vector<uint8_t>;

inline int CountEntries(const char* dir) {
  int n = 0;
  if (DIR* d = opendir(dir)) {
    while (readdir(d) != nullptr) ++n;
    closedir(d);
  }
  return n;
}
inline int OpenDescriptors() { return CountEntries("/proc/self/fd"); }
inline int Threads() { return CountEntries("/proc/self/task"); }

// Handles the test thread's messages (sends from the dispatch threads among them) until pred() holds or the
// time runs out; returns pred().
inline bool PumpUntil(const std::function<bool()>& pred, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return pred();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

// A pseudo-terminal whose slave is reachable as COM<n> through the resolver's override.
class Pty {
public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    grantpt(master_);
    unlockpt(master_);
    char name[128] = {};
    ptsname_r(master_, name, sizeof name);
    slave_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~Pty() { Close(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  void Attach(int com) const { setenv(("K58_COM" + std::to_string(com)).c_str(), slave_.c_str(), 1); }
  const std::string& Slave() const { return slave_; }
  int Master() const { return master_; }
  void Close() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
  // Writes what the line takes now; returns the count.
  size_t Send(const Bytes& b) {
    const ssize_t n = write(master_, b.data(), b.size());
    return n > 0 ? static_cast<size_t>(n) : 0;
  }
  Bytes Receive(size_t count, int ms) {
    Bytes out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (out.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 5) <= 0) continue;
      uint8_t buf[4096];
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n > 0) out.insert(out.end(), buf, buf + n);
    }
    return out;
  }

private:
  int master_ = -1;
  std::string slave_;
};

class TempDir {
public:
  TempDir() {
    char tmpl[] = "/tmp/k58-serial-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

}  // namespace serial_test
