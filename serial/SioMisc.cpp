#include "serial/SioMisc.h"

#include <sys/stat.h>



#include "platform/win/core/MMSystem.h"
#include "platform/win/core/WinBase.h"
#include "platform/win/core/WinUser.h"

namespace {

// Counter ticks per millisecond, or 0 when the counter cannot serve (the multimedia clock is used then).
Cardinal PerfTicksPerMs() {
  static const Cardinal perMs = [] {
    LARGE_INTEGER f{};
    if (!QueryPerformanceFrequency(&f)) return Cardinal(0);
    const uint64_t freq = static_cast<uint64_t>(f.QuadPart);
    if ((freq >> 32) != 0 || (freq & 0xFFFFFFFFu) == 0) return Cardinal(0);
    return static_cast<Cardinal>(freq / 1000 + (freq % 1000 > 500 ? 1 : 0));
  }();
  return perMs;
}

}  // namespace

Cardinal MsClock() {
  const Cardinal perMs = PerfTicksPerMs();
  if (perMs == 0) return timeGetTime();
  LARGE_INTEGER c{};
  QueryPerformanceCounter(&c);
  return static_cast<Cardinal>(static_cast<uint64_t>(c.QuadPart) / perMs);
}

void NewTimer(TTickTimer& T, Integer Ticks) {
  if (Ticks > TickLimit) Ticks = TickLimit;
  T.StartTicks = static_cast<Integer>(MsClock() / 55);
  T.ExpireTicks = T.StartTicks + Ticks;
}

bool TimerExpired(const TTickTimer& T) {
  const Integer now = static_cast<Integer>(MsClock() / 55);
  if (now > T.ExpireTicks) return true;
  if (now < T.StartTicks) return now + TickLimit > T.ExpireTicks;  // the clock wrapped
  return false;
}

void PumpMessage() {
  MSG msg{};
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return;
  if (msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));
    return;
  }
  TranslateMessage(&msg);
  DispatchMessage(&msg);
}

Integer FileExistsZ(const char* Name) {
  struct stat st {};
  return Name != nullptr && stat(Name, &st) == 0 ? -1 : 0;
}

