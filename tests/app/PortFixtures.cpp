#include "tests/app/PortFixtures.h"

#include <pty.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace app_test {

namespace {

constexpr int MaxPort = 256;

std::string VariableOf(int N) { return "K58_COM" + std::to_string(N); }

}  // namespace

TFakePorts::TFakePorts(const std::set<int>& Present) {
  for (int N = 1; N <= MaxPort; ++N) {
    const std::string Name = VariableOf(N);
    if (const char* Value = std::getenv(Name.c_str())) saved_[N] = Value;
    std::string Target = "/nonexistent/k58-no-port";
    if (Present.count(N)) {
      Pty P;
      char SlaveName[256] = {};
      if (::openpty(&P.Master, &P.Slave, SlaveName, nullptr, nullptr) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
      P.Path = SlaveName;
      Target = P.Path;
      ptys_[N] = P;
    }
    ::setenv(Name.c_str(), Target.c_str(), 1);
  }
}

TFakePorts::~TFakePorts() {
  for (int N = 1; N <= MaxPort; ++N) {
    const std::string Name = VariableOf(N);
    auto It = saved_.find(N);
    if (It != saved_.end())
      ::setenv(Name.c_str(), It->second.c_str(), 1);
    else
      ::unsetenv(Name.c_str());
  }
  for (auto& [N, P] : ptys_) {
    ::close(P.Slave);
    ::close(P.Master);
  }
}

std::string TFakePorts::Path(int N) const {
  auto It = ptys_.find(N);
  return It == ptys_.end() ? std::string() : It->second.Path;
}

}  // namespace app_test
