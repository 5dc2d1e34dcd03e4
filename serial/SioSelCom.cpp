#include "serial/SioSelCom.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/comm/CommApi.h"
#include "platform/comm/ComPorts.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "serial/SioSelComPrompt.h"
#include "serial/SioWin32.h"

K58_IMPLEMENT_CLASS(TComSelectForm) {
  b.Field("PortsComboBox", &TComSelectForm::PortsComboBox);
  b.Method("FormCreate", &TComSelectForm::FormCreate);
}

namespace {

constexpr Integer PortsListed = 50;
constexpr Cardinal ProbeQueueSize = 64;

// An open refused because the port is taken: access denied, or, on this platform, the lock another
// program holds on it.
bool HeldElsewhere(DWORD Error) { return Error == ERROR_ACCESS_DENIED || Error == ERROR_SHARING_VIOLATION; }

}  // namespace

TComSelectForm::TComSelectForm(TComponent* AOwner) : TForm(AOwner) {}

void TComSelectForm::FormCreate(TObject*) {
  for (Integer N = 1; N <= PortsListed; ++N)
    if (ProbePort(N)) PortsComboBox->Items()->Add(ComPortName(N));
  PortsComboBox->SetItemIndex(PortsComboBox->Items()->Count() > 0 ? 0 : -1);
}

Integer TComSelectForm::SelectedPortNumber() const {
  const Integer Index = PortsComboBox->ItemIndex();
  if (Index < 0 || Index >= PortsComboBox->Items()->Count()) return 0;
  return ComPortNumber(PortsComboBox->Items()->Strings(Index));
}

bool TComSelectForm::ProbePort(Integer N) const {
  if (N == 0) return false;
  const String Device = ComDeviceName(N);
  if (ProbeWithDispatcher) {
    TObjectPtr<TSioWin32Dispatcher> Dispatcher(NewObject<TSioWin32Dispatcher>(nullptr));
    if (Dispatcher->OpenDevice(Device.c_str(), ProbeQueueSize, ProbeQueueSize) >= 0) {
      Dispatcher->CloseDevice();
      return true;
    }
    return ListPortsInUse && HeldElsewhere(GetLastError());
  }
  const DWORD Error = ProbeComPort(Device, FILE_FLAG_OVERLAPPED);
  return Error == ERROR_SUCCESS || (ListPortsInUse && HeldElsewhere(Error));
}

Word ChooseComPort() {
  TObjectPtr<TComSelectForm> Form(NewObject<TComSelectForm>(Application));
  if (Form->ShowModal() != mrOk) return 0;
  // OK with an empty list counts as a cancel.
  return static_cast<Word>(Form->SelectedPortNumber());
}
