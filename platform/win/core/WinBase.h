// Clocks and sleeping, with their standard names, and the system version the platform reports. The
// clocks read the platform clock ("platform/win/core/Clock.h"), so a manual clock installed by a test
// moves them all.
#pragma once

#include "platform/win/core/WinVersion.h"
#include "platform/rtl/WinTypes.h"

using LONGLONG = int64_t;
using ULONGLONG = uint64_t;

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
};
using PLARGE_INTEGER = LARGE_INTEGER*;

// Milliseconds of the platform clock; the 32-bit value wraps after about 49.7 days.
DWORD GetTickCount();
ULONGLONG GetTickCount64();
// The high-resolution counter runs at 10 MHz.
BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);
// Suspends the calling thread without handling messages; under a manual clock the clock advances
// by the given time instead. Sleep(0) only gives up the rest of the time slice.
void Sleep(DWORD dwMilliseconds);

