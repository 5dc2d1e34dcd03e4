#include "platform/win/core/WinBase.h"

#include "platform/win/core/Clock.h"
#include "platform/win/core/MMSystem.h"

using k58::wincore::Clock;
using k58::wincore::NanosecondsPerMillisecond;

namespace {
constexpr uint64_t PerformanceFrequency = 10000000;  // 100 ns units
constexpr uint64_t NanosecondsPerCount = 1000000000 / PerformanceFrequency;
}  // namespace

DWORD GetTickCount() { return static_cast<DWORD>(Clock().Now() / NanosecondsPerMillisecond); }

ULONGLONG GetTickCount64() { return Clock().Now() / NanosecondsPerMillisecond; }

BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  if (!lpPerformanceCount) return FALSE;
  lpPerformanceCount->QuadPart = static_cast<LONGLONG>(Clock().Now() / NanosecondsPerCount);
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (!lpFrequency) return FALSE;
  lpFrequency->QuadPart = static_cast<LONGLONG>(PerformanceFrequency);
  return TRUE;
}

void Sleep(DWORD dwMilliseconds) { Clock().Sleep(dwMilliseconds); }

DWORD timeGetTime() { return GetTickCount(); }

MMRESULT timeBeginPeriod(UINT uPeriod) { return uPeriod == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

MMRESULT timeEndPeriod(UINT uPeriod) { return uPeriod == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }
