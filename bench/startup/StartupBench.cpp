// Start-up figures of the program, each run in a fresh process.
//
// Headless (the child runs without DISPLAY): the time from starting the process to the end of the main
// window's first complete paint, the CPU time the process used by then, and its resident memory once it
// has been idle for a while. The program reports the end of its first paint when the environment holds
// K58_READY_FD=n: it writes one byte to file descriptor n when its message loop first runs out of work
// (app/K58.cpp). CPU time is that of all the process's threads, those that ended included (its resource
// usage when it is stopped, idle since its first paint); the resident memory is VmRSS from
// /proc/<pid>/status.
//
// On an X server (DISPLAY set): the time from starting the process until its top-level window is mapped
// and the drawing into it has ended (the last damage event before the window stays unchanged for
// 300 ms), for the program and for xmessage started the same way in the same run, with the CPU time
// and resident memory of each at that point.
//
//   startup_bench [--runs N] [--program PATH] [--events]
//
// --events prints, for each run on the X server, when each window was mapped and each damage event
// came (milliseconds from the start, the area), to see what the server was asked to show when.
//
// scripts/build builds it next to the program (build/release/bin). For the X figures on a private X
// server:  xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bin/startup_bench
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef K58_BENCH_X11
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#endif

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point Start, Clock::time_point End) {
  return std::chrono::duration<double, std::milli>(End - Start).count();
}

// Starts Argv with the environment changed: Unset removed, Set ("NAME=value") added.
pid_t Spawn(const std::vector<std::string>& Argv, const std::vector<std::string>& Set, const char* Unset) {
  std::vector<std::string> Env;
  for (char** E = environ; *E; ++E) {
    std::string S = *E;
    if (Unset && S.compare(0, std::strlen(Unset) + 1, std::string(Unset) + "=") == 0) continue;
    bool Replaced = false;
    for (const std::string& N : Set)
      if (S.compare(0, N.find('=') + 1, N, 0, N.find('=') + 1) == 0) Replaced = true;
    if (!Replaced) Env.push_back(S);
  }
  Env.insert(Env.end(), Set.begin(), Set.end());
  std::vector<char*> A, V;
  for (const std::string& S : Argv) A.push_back(const_cast<char*>(S.c_str()));
  A.push_back(nullptr);
  for (const std::string& S : Env) V.push_back(const_cast<char*>(S.c_str()));
  V.push_back(nullptr);
  pid_t Pid = -1;
  if (posix_spawnp(&Pid, A[0], nullptr, nullptr, A.data(), V.data()) != 0) return -1;
  return Pid;
}

// Ends the child and gives the CPU time (ms) of all its threads, those that ended earlier included (the
// per-thread figures under /proc lose the threads that are gone).
double Stop(pid_t Pid) {
  if (Pid <= 0) return 0;
  kill(Pid, SIGKILL);
  rusage Used{};
  if (wait4(Pid, nullptr, 0, &Used) != Pid) return 0;
  return (Used.ru_utime.tv_sec + Used.ru_stime.tv_sec) * 1e3 + (Used.ru_utime.tv_usec + Used.ru_stime.tv_usec) / 1e3;
}

double RssMb(pid_t Pid) {
  std::ifstream F("/proc/" + std::to_string(Pid) + "/status");
  std::string Line;
  while (std::getline(F, Line))
    if (Line.rfind("VmRSS:", 0) == 0) return std::atof(Line.c_str() + 6) / 1024.0;
  return 0;
}

struct Stats {
  std::vector<double> V;
  void Add(double X) { V.push_back(X); }
  double Median() const {
    if (V.empty()) return 0;
    std::vector<double> S = V;
    std::sort(S.begin(), S.end());
    return S.size() % 2 ? S[S.size() / 2] : (S[S.size() / 2 - 1] + S[S.size() / 2]) / 2;
  }
  double Min() const { return V.empty() ? 0 : *std::min_element(V.begin(), V.end()); }
  double Max() const { return V.empty() ? 0 : *std::max_element(V.begin(), V.end()); }
};

void Print(const char* Name, const Stats& S, const char* Unit) {
  std::printf("  %-34s median %8.1f %s   min %8.1f   max %8.1f\n", Name, S.Median(), Unit, S.Min(), S.Max());
}

// One headless start: false when the program did not report its first paint.
bool RunHeadless(const std::string& Program, Stats& Wall, Stats& Cpu, Stats& Rss) {
  int P[2];
  if (pipe2(P, O_CLOEXEC) != 0) return false;
  // The write end goes to the child under a number of its own, without close-on-exec.
  int ChildFd = fcntl(P[1], F_DUPFD, 10);
  close(P[1]);
  auto Start = Clock::now();
  pid_t Pid = Spawn({Program}, {"K58_READY_FD=" + std::to_string(ChildFd)}, "DISPLAY");
  close(ChildFd);
  if (Pid < 0) {
    close(P[0]);
    return false;
  }
  pollfd Pf{P[0], POLLIN, 0};
  char Byte = 0;
  bool Ready = poll(&Pf, 1, 30000) == 1 && read(P[0], &Byte, 1) == 1;
  auto End = Clock::now();
  close(P[0]);
  if (!Ready) {
    Stop(Pid);
    return false;
  }
  Wall.Add(MsSince(Start, End));
  // Resident memory once the program has settled into waiting for input.
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  Rss.Add(RssMb(Pid));
  // The CPU time counts until the program is stopped: it waits for input by then and uses none.
  Cpu.Add(Stop(Pid));
  return true;
}

#ifdef K58_BENCH_X11
// Time from starting Argv until a top-level window of it is mapped and drawing into it has stopped for
// Settle ms; negative when nothing was mapped within the time limit.
double RunOnX(Display* Dpy, int DamageEvent, const std::vector<std::string>& Argv, double& CpuOut, double& RssOut,
              bool Events) {
  const int SettleMs = 300;
  Window Root = DefaultRootWindow(Dpy);
  XSync(Dpy, True);  // forget earlier events
  std::set<Window> Mapped;
  std::vector<Damage> Damages;
  auto Start = Clock::now();
  pid_t Pid = Spawn(Argv, {}, nullptr);
  if (Pid < 0) return -1;
  Clock::time_point Last{};
  bool Seen = false;
  auto Watch = [&](Window W, auto& Self) -> void {
    Damages.push_back(XDamageCreate(Dpy, W, XDamageReportRawRectangles));
    Window R, Parent, *Children = nullptr;
    unsigned N = 0;
    if (XQueryTree(Dpy, W, &R, &Parent, &Children, &N)) {
      for (unsigned I = 0; I < N; ++I) Self(Children[I], Self);
      if (Children) XFree(Children);
    }
  };
  const int Fd = ConnectionNumber(Dpy);
  for (;;) {
    while (XPending(Dpy)) {
      XEvent E;
      XNextEvent(Dpy, &E);
      auto Now = Clock::now();
      if (E.type == MapNotify && E.xmap.event == Root && !Mapped.count(E.xmap.window)) {
        Mapped.insert(E.xmap.window);
        Watch(E.xmap.window, Watch);
        Last = Now;
        Seen = true;
        if (Events) std::printf("    %8.2f ms  mapped %lx\n", MsSince(Start, Now), E.xmap.window);
      } else if (E.type == DamageEvent + XDamageNotify) {
        Last = Now;
        if (Events) {
          const auto& D = reinterpret_cast<const XDamageNotifyEvent&>(E);
          std::printf("    %8.2f ms  damage %lx %d,%d %dx%d\n", MsSince(Start, Now), D.drawable, D.area.x, D.area.y,
                      D.area.width, D.area.height);
        }
      }
    }
    auto Now = Clock::now();
    if (Seen && MsSince(Last, Now) >= SettleMs) break;
    if (MsSince(Start, Now) > 30000) break;
    pollfd Pf{Fd, POLLIN, 0};
    poll(&Pf, 1, 10);
  }
  RssOut = RssMb(Pid);
  for (Damage D : Damages) XDamageDestroy(Dpy, D);
  XSync(Dpy, False);
  CpuOut = Stop(Pid);
  // The server forgets the windows of the ended client; their events are not the next run's.
  XSync(Dpy, True);
  return Seen ? MsSince(Start, Last) : -1;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  int Runs = 7;
  bool Events = false;
  std::string Program = K58_PROGRAM_PATH;
  for (int I = 1; I < argc; ++I) {
    std::string A = argv[I];
    if (A == "--runs" && I + 1 < argc) {
      Runs = std::max(1, std::atoi(argv[++I]));
    } else if (A == "--program" && I + 1 < argc) {
      Program = argv[++I];
    } else if (A == "--events") {
      Events = true;
    } else {
      std::fprintf(stderr, "usage: startup_bench [--runs N] [--program PATH] [--events]\n");
      return 2;
    }
  }
  signal(SIGPIPE, SIG_IGN);
  std::printf("startup: %s, %d runs\n", Program.c_str(), Runs);

  Stats Wall, Cpu, Rss;
  for (int I = 0; I < Runs; ++I)
    if (!RunHeadless(Program, Wall, Cpu, Rss)) {
      std::fprintf(stderr, "startup: the program did not report its first paint\n");
      return 1;
    }
  std::printf("headless, start to the main window's first complete paint:\n");
  Print("wall time", Wall, "ms");
  Print("CPU time", Cpu, "ms");
  Print("resident memory when idle", Rss, "MB");

  const char* DisplayName = std::getenv("DISPLAY");
  if (!DisplayName || !*DisplayName) {
    std::printf("(DISPLAY not set: no X figures)\n");
    return 0;
  }
#ifdef K58_BENCH_X11
  Display* Dpy = XOpenDisplay(nullptr);
  int DamageEvent = 0, DamageError = 0;
  if (!Dpy || !XDamageQueryExtension(Dpy, &DamageEvent, &DamageError)) {
    std::fprintf(stderr, "startup: no X server with the damage extension at %s\n", DisplayName);
    return 1;
  }
  XSelectInput(Dpy, DefaultRootWindow(Dpy), SubstructureNotifyMask);
  Stats Prog, ProgCpu, ProgRss, Msg, MsgCpu, MsgRss;
  for (int I = 0; I < Runs; ++I) {
    double C = 0, R = 0;
    if (Events) std::printf("  run %d, program:\n", I + 1);
    double T = RunOnX(Dpy, DamageEvent, {Program}, C, R, Events);
    if (T < 0) {
      std::fprintf(stderr, "startup: the program mapped no window\n");
      return 1;
    }
    Prog.Add(T);
    ProgCpu.Add(C);
    ProgRss.Add(R);
    if (Events) std::printf("  run %d, xmessage:\n", I + 1);
    T = RunOnX(Dpy, DamageEvent, {"xmessage", "K58"}, C, R, Events);
    if (T < 0) {
      std::fprintf(stderr, "startup: xmessage mapped no window (is it installed?)\n");
      return 1;
    }
    Msg.Add(T);
    MsgCpu.Add(C);
    MsgRss.Add(R);
  }
  std::printf("on the X server %s, start to the window mapped and painted:\n", DisplayName);
  Print("program", Prog, "ms");
  Print("xmessage", Msg, "ms");
  std::printf("  %-34s %8.2f\n", "program / xmessage (medians)", Msg.Median() > 0 ? Prog.Median() / Msg.Median() : 0);
  Print("program CPU by then (+300 ms)", ProgCpu, "ms");
  Print("xmessage CPU by then (+300 ms)", MsgCpu, "ms");
  Print("program resident memory then", ProgRss, "MB");
  Print("xmessage resident memory then", MsgRss, "MB");
  XCloseDisplay(Dpy);
#else
  std::printf("(built without X11 damage support: no X figures)\n");
#endif
  return 0;
}
