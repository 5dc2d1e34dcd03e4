#include "X11TestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace winui_test {

namespace x11test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> CStrings(const std::vector<std::string>& List) {
  std::vector<char*> Out;
  for (const std::string& S : List) Out.push_back(const_cast<char*>(S.c_str()));
  Out.push_back(nullptr);
  return Out;
}

}  // namespace

std::string FindProgram(const std::string& Name) {
  const char* Path = std::getenv("PATH");
  std::string P = Path ? Path : "/usr/bin:/bin";
  size_t Start = 0;
  while (Start <= P.size()) {
    size_t End = P.find(':', Start);
    if (End == std::string::npos) End = P.size();
    std::string Dir = P.substr(Start, End - Start);
    if (!Dir.empty()) {
      std::string Full = Dir + "/" + Name;
      if (access(Full.c_str(), X_OK) == 0) return Full;
    }
    Start = End + 1;
  }
  return {};
}

XvfbServer::~XvfbServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    if (WaitExit(pid_, 10000) < 0) kill(pid_, SIGKILL);
  }
}

bool XvfbServer::Start(int Width, int Height) {
  std::string Program = FindProgram("Xvfb");
  if (Program.empty()) {
    error_ = "Xvfb is not installed";
    return false;
  }
  int Pipe[2];
  if (pipe(Pipe) != 0) {
    error_ = "no pipe";
    return false;
  }
  // Xvfb writes the display number it chose to the descriptor given with -displayfd.
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addclose(&Actions, Pipe[0]);
  posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> Argv{Program,   "-displayfd", std::to_string(Pipe[1]),
                                "-screen", "0",          std::to_string(Width) + "x" + std::to_string(Height) + "x24",
                                "-nolisten", "tcp",      "-noreset"};
  auto Args = CStrings(Argv);
  int Rc = posix_spawn(&pid_, Program.c_str(), &Actions, nullptr, Args.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  close(Pipe[1]);
  if (Rc != 0) {
    close(Pipe[0]);
    pid_ = -1;
    error_ = "Xvfb could not be started";
    return false;
  }
  std::string Number;
  auto End = Clock::now() + std::chrono::seconds(30);
  while (Clock::now() < End) {
    pollfd P{Pipe[0], POLLIN, 0};
    if (poll(&P, 1, 200) <= 0) continue;
    char C;
    ssize_t N = read(Pipe[0], &C, 1);
    if (N <= 0 || C == '\n') break;
    Number += C;
  }
  close(Pipe[0]);
  if (Number.empty()) {
    error_ = "Xvfb did not report a display";
    return false;
  }
  name_ = ":" + Number;
  return true;
}

std::vector<std::string> EnvironmentFor(const std::string& Display) {
  std::vector<std::string> Env;
  for (char** E = environ; *E; ++E) {
    if (std::strncmp(*E, "DISPLAY=", 8) == 0 || std::strncmp(*E, "K58_DISPLAY=", 12) == 0) continue;
    Env.emplace_back(*E);
  }
  Env.push_back("DISPLAY=" + Display);
  return Env;
}

pid_t Spawn(const std::vector<std::string>& Argv, const std::vector<std::string>& Env) {
  auto Args = CStrings(Argv);
  auto Envp = CStrings(Env);
  pid_t Pid = -1;
  if (posix_spawn(&Pid, Argv[0].c_str(), nullptr, nullptr, Args.data(), Envp.data()) != 0) return -1;
  return Pid;
}

int WaitExit(pid_t Pid, int TimeoutMs) {
  auto End = Clock::now() + std::chrono::milliseconds(TimeoutMs);
  for (;;) {
    int ExitStatus = 0;
    pid_t R = waitpid(Pid, &ExitStatus, WNOHANG);
    if (R == Pid) return WIFEXITED(ExitStatus) ? WEXITSTATUS(ExitStatus) : -1;
    if (R < 0) return -1;
    if (Clock::now() >= End) {
      kill(Pid, SIGKILL);
      waitpid(Pid, &ExitStatus, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int Run(const std::vector<std::string>& Argv, const std::vector<std::string>& Env) {
  pid_t Pid = Spawn(Argv, Env);
  return Pid < 0 ? -1 : WaitExit(Pid, 60000);
}

bool WaitFor(const std::function<bool()>& Done, int TimeoutMs) {
  auto End = Clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Done()) {
    if (Clock::now() >= End) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void PumpPending() {
  MSG M;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&M);
    DispatchMessage(&M);
  }
}

bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs) {
  auto End = Clock::now() + std::chrono::milliseconds(TimeoutMs);
  for (;;) {
    PumpPending();
    if (Done()) return true;
    if (Clock::now() >= End) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

k58::gdi::SurfacePtr GrabScreen(const std::string& DisplayName) {
  ::Display* Dpy = XOpenDisplay(DisplayName.c_str());
  if (!Dpy) return nullptr;
  int Scr = DefaultScreen(Dpy);
  int W = DisplayWidth(Dpy, Scr), H = DisplayHeight(Dpy, Scr);
  XImage* Img = XGetImage(Dpy, RootWindow(Dpy, Scr), 0, 0, static_cast<unsigned>(W), static_cast<unsigned>(H),
                          AllPlanes, ZPixmap);
  k58::gdi::SurfacePtr S;
  if (Img) {
    S = std::make_shared<k58::gdi::Surface>(W, H, 32);
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) {
        unsigned long P = XGetPixel(Img, X, Y);
        auto Part = [P](unsigned long Mask) -> uint32_t {
          if (!Mask) return 0;
          int Shift = __builtin_ctzl(Mask);
          unsigned long Max = Mask >> Shift;
          return static_cast<uint32_t>(((P & Mask) >> Shift) * 255 / Max);
        };
        S->Set(X, Y, (Part(Img->red_mask) << 16) | (Part(Img->green_mask) << 8) | Part(Img->blue_mask));
      }
    XDestroyImage(Img);
  }
  XCloseDisplay(Dpy);
  return S;
}

std::string ArtifactPath(const std::string& FileName) {
  char Exe[4096];
  ssize_t N = readlink("/proc/self/exe", Exe, sizeof Exe - 1);
  if (N <= 0) return FileName;
  Exe[N] = 0;
  std::string Dir(Exe);
  size_t Slash = Dir.rfind('/');
  return (Slash == std::string::npos ? std::string(".") : Dir.substr(0, Slash)) + "/" + FileName;
}

}  // namespace x11test

}  // namespace winui_test
