// The program: start-up, then the message loop until the main window closes.
#include <cstdio>

#include "app/Program.h"
#include "platform/forms/Forms.h"

int main() {
  try {
    StartProgram();
    Application->Run();
  } catch (const Exception& E) {
    std::fprintf(stderr, "k58: %s\n", E.Message().c_str());
    return 1;
  }
  return 0;
}
