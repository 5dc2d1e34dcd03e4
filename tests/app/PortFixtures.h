// Serial ports for the window tests: pseudo-terminals standing in for chosen port numbers, every other
// number pointed at a device that does not exist, so the machine's own ports never show.
#pragma once

#include <map>
#include <set>
#include <string>

namespace app_test {

class TFakePorts {
public:
  // Ports with these numbers (1..256) can be opened.
  explicit TFakePorts(const std::set<int>& Present);
  ~TFakePorts();
  TFakePorts(const TFakePorts&) = delete;
  TFakePorts& operator=(const TFakePorts&) = delete;

  // The slave side behind port N.
  std::string Path(int N) const;

private:
  struct Pty {
    int Master = -1;
    int Slave = -1;
    std::string Path;
  };
  std::map<int, Pty> ptys_;
  std::map<int, std::string> saved_;  // K58_COMn values before, by number
};

}  // namespace app_test
