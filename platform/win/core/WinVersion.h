// The system version query. The platform answers one fixed version: the NT family, 5.1.
#pragma once

#include "platform/rtl/WinTypes.h"

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
using OSVERSIONINFO = OSVERSIONINFOA;

// Fills the record; FALSE when it is missing or its size field is not the record's size.
BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation);
inline BOOL GetVersionEx(OSVERSIONINFOA* lpVersionInformation) { return GetVersionExA(lpVersionInformation); }
