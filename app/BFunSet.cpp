// The function settings window: the function-setting bytes shown in and stored from its editors.
#include "app/BFunSet.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "controls/editors/uiButtons.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiSpinEdit.h"
#include "controls/foundation/uiVariants.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

TfBFunSet* fBFunSet = nullptr;

K58_IMPLEMENT_CLASS(TfBFunSet) {
  using F = TfBFunSet;
  b.Field("uiWaveof", &F::uiWaveof);
  b.Field("cbVoice", &F::cbVoice);
  b.Field("uiScan", &F::uiScan);
  b.Field("chVoxFun", &F::chVoxFun);
  b.Field("seVoxLevel", &F::seVoxLevel);
  b.Field("chVoxInhibit", &F::chVoxInhibit);
  b.Field("cbVolLow", &F::cbVolLow);
  b.Field("cbVolhigh", &F::cbVolhigh);
  b.Field("uiAlt", &F::uiAlt);
  b.Field("uiFM", &F::uiFM);
  b.Field("uiRxShape", &F::uiRxShape);
  b.Field("uiTxShape", &F::uiTxShape);
  b.Field("uiRevTx", &F::uiRevTx);
  b.Field("uiRate", &F::uiRate);
  b.Field("uiWhisper", &F::uiWhisper);
  b.Field("cbBeepTone", &F::cbBeepTone);
  b.Field("cbSQvelch", &F::cbSQvelch);
  b.Field("cbMonikey", &F::cbMonikey);
  b.Field("cbTxTimeout", &F::cbTxTimeout);
  b.Field("gbVox", &F::gbVox);
  b.Field("pVox", &F::pVox);
  b.Field("btnOk", &F::btnOk);
  b.Field("btnCancel", &F::btnCancel);
  b.Method("FormShow", &F::FormShow);
  b.Method("FormClose", &F::FormClose);
  b.Method("FormDestroy", &F::FormDestroy);
  b.Method("btnOkClick", &F::btnOkClick);
  b.Method("btnCancelClick", &F::btnCancelClick);
  b.Method("chVoxFunClick", &F::chVoxFunClick);
  b.Method("ComborPropertiesChange", &F::ComborPropertiesChange);
}

namespace {

constexpr Integer ofsVoxFunction = 307;
constexpr Integer ofsVoxLevel = 308;
constexpr Integer ofsShapes = 316;
constexpr Integer ofsClewVoice = 320;

// Shows a byte in a list: its item when the list has one, else no selection.
void ShowByte(TuiComboBox* List, Integer Value) {
  List->SetItemIndex(Value >= 0 && Value < List->Properties()->Items()->Count() ? Value : -1);
}

// A list's item index in the low bits of Value; a list without selection keeps those bits.
Byte StoreIndex(TuiComboBox* List, Byte Value, Byte Mask = 0xFF, Integer Shift = 0) {
  const Integer Index = List->ItemIndex();
  if (Index < 0) return Value;
  return static_cast<Byte>((Value & ~(Mask << Shift)) | ((Index & Mask) << Shift));
}

}  // namespace

TfBFunSet::TfBFunSet(TComponent* AOwner) : TForm(AOwner) {}

void TfBFunSet::FormShow(TObject*) {
  SetBounds(20, 20, Width(), Height());
  LoadSettings();
}

void TfBFunSet::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfBFunSet::FormDestroy(TObject*) {
  if (fBFunSet == this) fBFunSet = nullptr;
}

void TfBFunSet::btnOkClick(TObject*) {
  StoreSettings();
  Close();
}

void TfBFunSet::btnCancelClick(TObject*) { Close(); }

void TfBFunSet::chVoxFunClick(TObject*) { FollowVox(); }

void TfBFunSet::ComborPropertiesChange(TObject*) { StoreSettings(); }

std::array<std::pair<TuiComboBox*, Integer>, 11> TfBFunSet::ByteLists() const {
  return {{{uiWaveof, 304}, {cbVoice, 305}, {uiScan, 306}, {uiAlt, 312}, {uiFM, 313}, {uiRevTx, 317},
           {uiRate, 318}, {uiWhisper, 319}, {cbSQvelch, 321}, {cbMonikey, 322}, {cbTxTimeout, 323}}};
}

std::array<std::pair<TuiCheckBox*, Integer>, 4> TfBFunSet::ByteChecks() const {
  return {{{chVoxFun, ofsVoxFunction}, {chVoxInhibit, 309}, {cbVolLow, 310}, {cbVolhigh, 311}}};
}

void TfBFunSet::FollowVox() {
  const bool On = chVoxFun->Checked();
  // The panel's editors follow too, so they look as unavailable as they are.
  pVox->SetEnabled(On);
  seVoxLevel->SetEnabled(On);
  chVoxInhibit->SetEnabled(On);
}

void TfBFunSet::LoadSettings() {
  const bool Was = loading_;
  loading_ = true;
  try {
    if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, true);
    const auto& Image = ALL->Image;
    for (auto [List, Offset] : ByteLists()) ShowByte(List, Image[Offset]);
    for (auto [Box, Offset] : ByteChecks()) Box->SetChecked(Image[Offset] == 1);
    seVoxLevel->SetValue(Variant(Image[ofsVoxLevel] + 1));
    ShowByte(uiRxShape, Image[ofsShapes] & 0x0F);
    ShowByte(uiTxShape, Image[ofsShapes] >> 4);
    cbBeepTone->SetChecked((Image[ofsClewVoice] & 1) != 0);
    FollowVox();
  } catch (...) {
    loading_ = Was;
    throw;
  }
  loading_ = Was;
}

void TfBFunSet::StoreSettings() {
  if (loading_) return;
  auto& Image = ALL->Image;
  for (auto [List, Offset] : ByteLists()) Image[Offset] = StoreIndex(List, Image[Offset]);
  for (auto [Box, Offset] : ByteChecks()) Image[Offset] = Box->Checked() ? 1 : 0;
  const Variant Level = seVoxLevel->Value();
  if (IsNumericVariant(Level))
    Image[ofsVoxLevel] = static_cast<Byte>(std::clamp<long>(std::lround(Level.AsDouble()), 1, 9) - 1);
  Image[ofsShapes] = StoreIndex(uiRxShape, Image[ofsShapes], 0x0F, 0);
  Image[ofsShapes] = StoreIndex(uiTxShape, Image[ofsShapes], 0x0F, 4);
  Image[ofsClewVoice] = static_cast<Byte>((Image[ofsClewVoice] & ~1) | (cbBeepTone->Checked() ? 1 : 0));
  FollowVox();
  ALL->Modified = true;
}
