// The system version query. The platform answers one fixed version: the NT family, 5.1.
#pragma once

#include "platform/rtl/WinTypes.h"

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
};

// Fills the record; FALSE when it is missing or its size field is not the record's size.
BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation);
