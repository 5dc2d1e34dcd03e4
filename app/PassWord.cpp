#include "app/PassWord.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/InfoMsg.h"
#include "app/MeMode.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiTextEdit.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/SysUtils.h"

TfPassWord* fPassWord = nullptr;

K58_IMPLEMENT_CLASS(TfPassWord) {
  b.Field("uioPasd", &TfPassWord::uioPasd);
  b.Field("cbNps", &TfPassWord::cbNps);
  b.Field("uinPasd", &TfPassWord::uinPasd);
  b.Method("FormShow", &TfPassWord::FormShow);
  b.Method("FormClose", &TfPassWord::FormClose);
  b.Method("FormDestroy", &TfPassWord::FormDestroy);
  b.Method("btnOkClick", &TfPassWord::btnOkClick);
  b.Method("btnCancelClick", &TfPassWord::btnCancelClick);
  b.Method("cbNpsPropertiesEditValueChanged", &TfPassWord::cbNpsPropertiesEditValueChanged);
  b.Method("uioPasdPropertiesChange", &TfPassWord::uioPasdPropertiesChange);
  b.Method("uinPasdPropertiesChange", &TfPassWord::uinPasdPropertiesChange);
}

namespace {

constexpr Integer PasswordLength = 8;

}  // namespace

TfPassWord::TfPassWord(TComponent* AOwner) : TForm(AOwner) {}

void TfPassWord::FormShow(TObject*) {
  uioPasd->SetTag(tagWindowLoading);
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, true);
  uioPasd->SetText(Trim(ImageText(ofsPassword, PasswordLength)));
  if (ALL->NewPasswordOn) {
    cbNps->SetChecked(true);
    uinPasd->SetText(Trim(ImageText(ofsNewPassword, PasswordLength)));
  }
  uinPasd->SetEnabled(cbNps->Checked());
  uioPasd->SetTag(tagWindowLoaded);
  SetBounds(20, 20, Width(), Height());
}

void TfPassWord::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfPassWord::FormDestroy(TObject*) {
  if (fPassWord == this) fPassWord = nullptr;
}

void TfPassWord::StorePassword() {
  StoreImageText(Trim(uioPasd->Text()), ofsPassword, PasswordLength);
  if (ALL->NewPasswordOn) StoreImageText(Trim(uinPasd->Text()), ofsNewPassword, PasswordLength);
}

void TfPassWord::cbNpsPropertiesEditValueChanged(TObject*) {
  uinPasd->SetEnabled(cbNps->Checked());
  ALL->NewPasswordOn = cbNps->Checked();
  // The image gets the new password the window shows, so the radio never receives one nobody can see
  // (a blank image holds FF bytes there, which show as an empty text).
  if (cbNps->Checked() && uioPasd->Tag() == tagWindowLoaded) StorePassword();
}

void TfPassWord::uioPasdPropertiesChange(TObject*) {
  if (uioPasd->Tag() == tagWindowLoaded) StorePassword();
}

void TfPassWord::uinPasdPropertiesChange(TObject*) {
  if (uioPasd->Tag() == tagWindowLoaded) StorePassword();
}

void TfPassWord::btnOkClick(TObject*) {
  StorePassword();
  Close();
}

void TfPassWord::btnCancelClick(TObject*) { Close(); }

void ShowPassword() {
  if (fPassWord != nullptr && fPassWord->HandleAllocated())
    fPassWord->SetFocus();
  else
    fPassWord = NewObject<TfPassWord>(Application);
  if (fPassWord->WindowState() == wsMinimized) fPassWord->SetWindowState(wsNormal);
  fPassWord->Show();
}
