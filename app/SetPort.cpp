#include "app/SetPort.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiRadioButton.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/comm/ComPorts.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

TfSetPort* fSetPort = nullptr;

K58_IMPLEMENT_CLASS(TfSetPort) {
  b.Field("uiPort", &TfSetPort::uiPort);
  b.Field("lbName", &TfSetPort::lbName);
  b.Field("cbCom", &TfSetPort::cbCom);
  b.Method("FormShow", &TfSetPort::FormShow);
  b.Method("btnOkClick", &TfSetPort::btnOkClick);
}

TfSetPort::TfSetPort(TComponent* AOwner) : TForm(AOwner) {}

void TfSetPort::Loaded() {
  TForm::Loaded();
  for (Integer N = 1; N <= PortButtons; ++N)
    uiPorts[N - 1] = ComponentAs<TuiRadioButton>(this, "uiPort" + IntToStr(N));
}

void TfSetPort::FormShow(TObject*) {
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, true);
  // The buttons carry the port names, which are the same in every language; the label says what they are.
  for (Integer N = 1; N <= PortButtons; ++N) uiPorts[N - 1]->SetCaption(ComPortName(N));
  uiPort->SetCaption(Caption());
  cbCom->Items()->Clear();
  ListComPorts(cbCom->Items());
  for (Integer I = 0; I < cbCom->Items()->Count(); ++I) {
    const Integer N = ComPortNumber(cbCom->Items()->Strings(I));
    if (N >= 1 && N <= PortButtons) uiPorts[N - 1]->SetEnabled(true);
  }
  const Integer Current = ComPortNumber(ALL->PortName);
  if (Current >= 1 && Current <= PortButtons) uiPorts[Current - 1]->SetChecked(true);
}

void TfSetPort::btnOkClick(TObject*) {
  for (Integer N = 1; N <= PortButtons; ++N)
    if (uiPorts[N - 1]->Checked()) ALL->PortName = ComPortName(N);
}
