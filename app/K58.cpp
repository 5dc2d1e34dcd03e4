// The program: start-up, then the message loop until the main window closes.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "app/Program.h"
#include "controls/editors/uiEditorKinds.h"
#include "controls/foundation/Foundation.h"
#include "platform/forms/Forms.h"

namespace {
// K58_READY_FD=n (set by the start-up benchmark, bench/startup): once the message loop first runs out
// of work -- the main window shown and completely painted -- the program writes one byte to file
// descriptor n and closes it.
void SignalReadyWhenIdle() {
  const char* Fd = std::getenv("K58_READY_FD");
  if (!Fd || !*Fd) return;
  const int N = std::atoi(Fd);
  if (N < 0) return;
  Application->SetOnIdle([N, Done = false](TObject*, bool&) mutable {
    if (Done) return;
    Done = true;
    const char Byte = 'p';
    ssize_t Written = write(N, &Byte, 1);
    (void)Written;
    close(N);
  });
}
}  // namespace

int main() {
  try {
    StartProgram();
    SignalReadyWhenIdle();
    Application->Run();
    k58::editors::StopEditorKindUnits();
    k58::foundation::StopUnits();
  } catch (const Exception& E) {
    std::fprintf(stderr, "k58: %s\n", E.Message().c_str());
    return 1;
  }
  return 0;
}
