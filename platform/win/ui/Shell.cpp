// ShellExecute through xdg-open, started with an argument vector.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/ui/WinShell.h"
#include "platform/win/ui/WinUserUi.h"

extern char** environ;

namespace k58::winui {

namespace {

std::mutex ProgramLock;
std::string& Program() {
  static std::string P = "xdg-open";
  return P;
}

bool SameText(const char* A, const char* B) { return strcasecmp(A, B) == 0; }

HINSTANCE Code(int C) { return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(C)); }

}  // namespace

void SetShellOpenProgram(const std::string& P) {
  std::lock_guard<std::mutex> G(ProgramLock);
  Program() = P.empty() ? "xdg-open" : P;
}

}  // namespace k58::winui

HINSTANCE ShellExecute(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR /*lpParameters*/, LPCSTR lpDirectory,
                       int /*nShowCmd*/) {
  using namespace k58::winui;
  if (!lpFile || !*lpFile) return Code(SE_ERR_FNF);
  if (lpOperation && *lpOperation && !SameText(lpOperation, "open") && !SameText(lpOperation, "explore"))
    return Code(SE_ERR_NOASSOC);
  std::string File = lpFile;
  // A name starting with '-' would read as an option of the opener.
  if (File[0] == '-') File = "./" + File;
  std::string Prog;
  {
    std::lock_guard<std::mutex> G(ProgramLock);
    Prog = Program();
  }
  std::vector<char*> Argv{Prog.data(), File.data(), nullptr};
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  if (lpDirectory && *lpDirectory) posix_spawn_file_actions_addchdir_np(&Actions, lpDirectory);
  pid_t Pid = 0;
  int Err = posix_spawnp(&Pid, Prog.c_str(), &Actions, nullptr, Argv.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  if (Err != 0) {
    if (Err == ENOENT) return Code(SE_ERR_FNF);
    if (Err == EACCES) return Code(SE_ERR_ACCESSDENIED);
    if (Err == ENOMEM) return Code(SE_ERR_OOM);
    return Code(SE_ERR_NOASSOC);
  }
  // The opener is collected when it ends, so it never lingers as a zombie.
  std::thread([Pid] {
    int Status = 0;
    while (waitpid(Pid, &Status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return Code(42);
}
