#include "app/InfoMsg.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/MeMode.h"
#include "controls/editors/uiTextEdit.h"
#include "platform/classes/ClassBuilder.h"

TfInfoMsg* fInfoMsg = nullptr;

K58_IMPLEMENT_CLASS(TfInfoMsg) {
  b.Field("uiModel", &TfInfoMsg::uiModel);
  b.Field("uiFreq", &TfInfoMsg::uiFreq);
  b.Field("uiSerial", &TfInfoMsg::uiSerial);
  b.Field("uiRadioTime", &TfInfoMsg::uiRadioTime);
  b.Method("FormShow", &TfInfoMsg::FormShow);
  b.Method("FormClose", &TfInfoMsg::FormClose);
  b.Method("FormDestroy", &TfInfoMsg::FormDestroy);
  b.Method("btnOkClick", &TfInfoMsg::btnOkClick);
  b.Method("btnCancelClick", &TfInfoMsg::btnCancelClick);
  b.Method("uiSerialPropertiesChange", &TfInfoMsg::uiSerialPropertiesChange);
}

namespace {

constexpr Integer SerialLength = 16;

}  // namespace

TfInfoMsg::TfInfoMsg(TComponent* AOwner) : TForm(AOwner) {}

void TfInfoMsg::FormShow(TObject*) {
  LoadRadioInfo();
  SetBounds(20, 20, Width(), Height());
}

void TfInfoMsg::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfInfoMsg::FormDestroy(TObject*) {
  if (fInfoMsg == this) fInfoMsg = nullptr;
}

void TfInfoMsg::LoadRadioInfo() {
  uiModel->SetTag(tagWindowLoading);
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, true);
  uiModel->SetText(ALL->ModelName);
  uiFreq->SetText(ALL->BandText);
  if (ALL->SerialEditable) {
    uiSerial->Properties()->SetReadOnly(false);
    uiSerial->Style()->SetColor(clWindow);
  }
  uiSerial->SetText(ImageText(ofsSerial, SerialLength));
  uiRadioTime->SetText(FormatWriteTime(&ALL->Image[ofsWriteTime]));
  uiModel->SetTag(tagWindowLoaded);
}

void TfInfoMsg::StoreSerial() {
  if (!ALL->SerialEditable) return;
  StoreImageText(uiSerial->Text(), ofsSerial, SerialLength);
  ALL->Modified = true;
}

void TfInfoMsg::uiSerialPropertiesChange(TObject*) {
  if (uiModel->Tag() == tagWindowLoaded) StoreSerial();
}

void TfInfoMsg::btnOkClick(TObject*) {
  StoreSerial();
  Close();
}

void TfInfoMsg::btnCancelClick(TObject*) { Close(); }

String ImageText(Integer Offset, Integer Count) {
  String Text;
  for (Integer I = 0; I < Count; ++I) Text += PrintableChar(static_cast<char>(ALL->Image[Offset + I]));
  return Text;
}

void StoreImageText(const String& Text, Integer Offset, Integer Count) {
  String Chars;
  for (const char C : Text) {
    const auto B = static_cast<unsigned char>(C);
    if (B < 0x80)
      Chars += C;
    else if (B >= 0xC0)
      Chars += ' ';  // the first byte of a character outside ASCII; the bytes that follow it are skipped
    if (Integer(Chars.size()) == Count) break;
  }
  Chars.resize(Count, ' ');
  for (Integer I = 0; I < Count; ++I) ALL->Image[Offset + I] = static_cast<Byte>(Chars[I]);
}

void ShowRadioInfo() {
  if (fInfoMsg != nullptr && fInfoMsg->HandleAllocated())
    fInfoMsg->SetFocus();
  else
    fInfoMsg = NewObject<TfInfoMsg>(Application);
  if (fInfoMsg->WindowState() == wsMinimized) fInfoMsg->SetWindowState(wsNormal);
  fInfoMsg->Show();
}
