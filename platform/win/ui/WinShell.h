// Opening documents and addresses with the desktop's default program.
#pragma once

#include <string>

#include "platform/rtl/WinTypes.h"

inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_NOASSOC = 31;

// Opens lpFile (a file or an address) with xdg-open, started directly with an argument vector (no
// shell ever reads the name). lpOperation may be null, "open" or "explore"; lpParameters are not
// passed on (documents take none); lpDirectory is the program's working directory. Answers a value
// above 32 when the opener started, else an SE_ERR_* code.
HINSTANCE ShellExecute(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                       int nShowCmd);
inline HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, int nShowCmd) {
  return ShellExecute(hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
}

namespace k58::winui {

// The program ShellExecute starts ("xdg-open" looked up in PATH unless set; tests point it at a
// recorder). An empty name restores the default.
void SetShellOpenProgram(const std::string& Program);

}  // namespace k58::winui
