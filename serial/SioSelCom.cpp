#include "serial/SioSelCom.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/comm/CommApi.h"
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
    if (ProbePort(N)) PortsComboBox->Items()->Add("COM" + IntToStr(N));
  PortsComboBox->SetItemIndex(PortsComboBox->Items()->Count() > 0 ? 0 : -1);
}

Integer TComSelectForm::SelectedPortNumber() const {
  const Integer Index = PortsComboBox->ItemIndex();
  if (Index < 0 || Index >= PortsComboBox->Items()->Count()) return 0;
  return StrToIntDef(PortsComboBox->Items()->Strings(Index).substr(3), 0);
}

bool TComSelectForm::ProbePort(Integer N) const {
  if (N == 0) return false;
  const String Device = "\\\\.\\COM" + IntToStr(N);
  if (ProbeWithDispatcher) {
    TObjectPtr<TSioWin32Dispatcher> Dispatcher(NewObject<TSioWin32Dispatcher>(nullptr));
    if (Dispatcher->OpenDevice(Device.c_str(), ProbeQueueSize, ProbeQueueSize) >= 0) {
      Dispatcher->CloseDevice();
      return true;
    }
    return ListPortsInUse && HeldElsewhere(GetLastError());
  }
  HANDLE Handle = CreateFileA(Device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
  if (Handle != INVALID_HANDLE_VALUE && Handle != nullptr) {
    CloseHandle(Handle);
    return true;
  }
  return ListPortsInUse && HeldElsewhere(GetLastError());
}

Word ChooseComPort() {
  TObjectPtr<TComSelectForm> Form(NewObject<TComSelectForm>(Application));
  if (Form->ShowModal() != mrOk) return 0;
  // OK with an empty list counts as a cancel.
  const Integer N = Form->SelectedPortNumber();
  return N > 0 && N <= 0xFFFF ? static_cast<Word>(N) : 0;
}
