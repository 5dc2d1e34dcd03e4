// Clocks and sleeping, with their standard names, and the system version the platform reports. The
// clocks read the platform clock ("platform/win/core/Clock.h"), so a manual clock installed by a test
// moves them all.
#pragma once

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

// ---- Version -----------------------------------------------------------------------------------------
inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  CHAR szCSDVersion[128] = {};
};
using OSVERSIONINFO = OSVERSIONINFOA;

// The platform reports itself as the NT family, version 5.1, build 2600. FALSE when the size field is
// not that of the record.
BOOL GetVersionEx(OSVERSIONINFOA* lpVersionInformation);
