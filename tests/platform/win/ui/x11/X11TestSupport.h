// Pieces of the X11 tests: a private X server (Xvfb on a free display), child processes started with
// an argument list, pumping the message queue until a condition holds, and screenshots of the server's
// screen written as PNG files.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/gdi/Surface.h"

namespace winui_test {

namespace x11test {

// The full path of a program found on PATH, empty when there is none.
std::string FindProgram(const std::string& Name);

// Xvfb on the first free display number (it picks one itself and reports it).
class XvfbServer {
public:
  XvfbServer() = default;
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // False with Error() set when Xvfb cannot be started.
  bool Start(int Width = 1024, int Height = 768);
  const std::string& Name() const { return name_; }  // ":N"
  const std::string& Error() const { return error_; }

private:
  pid_t pid_ = -1;
  std::string name_;
  std::string error_;
};

// The environment of this process with DISPLAY set to Display and K58_DISPLAY removed.
std::vector<std::string> EnvironmentFor(const std::string& Display);

// Starts a program (argument list, no shell); -1 on failure.
pid_t Spawn(const std::vector<std::string>& Argv, const std::vector<std::string>& Env);
// Runs a program to its end; its exit status, -1 when it could not run or was killed.
int Run(const std::vector<std::string>& Argv, const std::vector<std::string>& Env);
// Waits up to TimeoutMs for a child to end: its exit status, or -1 (still running, then killed).
int WaitExit(pid_t Pid, int TimeoutMs);

// Polls Done every few milliseconds until it holds or TimeoutMs passed; these waits only guard against a
// hang, the tests do not depend on how long things take.
bool WaitFor(const std::function<bool()>& Done, int TimeoutMs = 20000);
// Retrieves and dispatches messages of this thread until Done holds (false after TimeoutMs).
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 20000);
// Dispatches what is waiting now.
void PumpPending();

// The whole screen of an X server (read through its own connection).
k58::gdi::SurfacePtr GrabScreen(const std::string& Display);
// Where a test leaves a picture for a person to look at: next to the test program.
std::string ArtifactPath(const std::string& FileName);

}  // namespace x11test

}  // namespace winui_test
