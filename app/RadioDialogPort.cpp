#include "app/RadioDialogPort.h"

#include "app/AppUi.h"
#include "app/RadioPort.h"
#include "serial/SioPort.h"

std::unique_ptr<IRadioPort> DialogRadioPort(TComponent* Owner, const String& Name) {
  return std::make_unique<TComRadioPort>(ComponentAs<TSioCustomComPort>(Owner, Name), false);
}
