#include "serial/SioSelComPrompt.h"

#include "serial/SioPort.h"

void RegisterComSelectForm() {
  SetSioPortPrompt([](TSioCustomComPort*) -> Word { return ChooseComPort(); });
}
