// The channel edit window: loading a channel into its editors and storing them back into the image.
#include "app/BInfoEdit.h"

#include <algorithm>
#include <cmath>

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/ChInfo.h"
#include "app/ToneOption.h"
#include "controls/editors/uiButtons.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiCurrencyEdit.h"
#include "controls/editors/uiSpinEdit.h"
#include "controls/extra/uiPageControl.h"
#include "controls/foundation/uiVariants.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

TfBInfoEdit* fBInfoEdit = nullptr;

K58_IMPLEMENT_CLASS(TfBInfoEdit) {
  using F = TfBInfoEdit;
  b.Field("uiChInfo", &F::uiChInfo);
  b.Field("tsInfo", &F::tsInfo);
  b.Field("sexd", &F::sexd);
  b.Field("eRx", &F::eRx);
  b.Field("eTX", &F::eTX);
  b.Field("cbQT", &F::cbQT);
  b.Field("cbDQT", &F::cbDQT);
  b.Field("cbkz", &F::cbkz);
  b.Field("cbfsgl", &F::cbfsgl);
  b.Field("uiDcts", &F::uiDcts);
  b.Field("chsmtj", &F::chsmtj);
  b.Field("chfm", &F::chfm);
  b.Field("chCp", &F::chCp);
  b.Field("chSr", &F::chSr);
  b.Field("chWp", &F::chWp);
  b.Field("chpppy", &F::chpppy);
  b.Field("btnClose", &F::btnClose);
  b.Method("FormShow", &F::FormShow);
  b.Method("FormClose", &F::FormClose);
  b.Method("FormDestroy", &F::FormDestroy);
  b.Method("btnCloseClick", &F::btnCloseClick);
  b.Method("sexdChange", &F::sexdChange);
  b.Method("SpinEditPropertiesValidate", &F::SpinEditPropertiesValidate);
  b.Method("eReceivePropertiesEditValueChanged", &F::eReceivePropertiesEditValueChanged);
  b.Method("eRxPropertiesChange", &F::eRxPropertiesChange);
  b.Method("eSendPropertiesEditValueChanged", &F::eSendPropertiesEditValueChanged);
  b.Method("eRxKeyPress", &F::eRxKeyPress);
  b.Method("eTXKeyPress", &F::eTXKeyPress);
  b.Method("cbQTExit", &F::cbQTExit);
  b.Method("cbQTKeyPress", &F::cbQTKeyPress);
  b.Method("cbDQTKeyPress", &F::cbDQTKeyPress);
  b.Method("cbQTDblClick", &F::cbQTDblClick);
  b.Method("cbDQTDblClick", &F::cbDQTDblClick);
  b.Method("cbkzChange", &F::cbkzChange);
  b.Method("chfmClick", &F::chfmClick);
  b.Method("chsmtjClick", &F::chsmtjClick);
  b.Method("chCpClick", &F::chCpClick);
  b.Method("chSrClick", &F::chSrClick);
  b.Method("chpppyClick", &F::chpppyClick);
}

namespace {

constexpr char EditKeyEnter = 13;

// "0" when a check box is checked (its bit is active-low), else "1".
String ClearBitWhenChecked(TuiCheckBox* Box) { return Box->Checked() ? "0" : "1"; }

// Restores a flag on every way out of a scope.
class TFlagScope {
public:
  explicit TFlagScope(bool& Flag) : flag_(Flag), saved_(Flag) { flag_ = true; }
  ~TFlagScope() { flag_ = saved_; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& flag_;
  bool saved_;
};

}  // namespace

String FrequencyEditText(TuiCurrencyEdit* Edit) {
  const Variant Value = Edit->EditValue();
  if (VarIsNull(Value) || VarIsEmpty(Value)) return String();
  if (VarIsStr(Value)) {
    const String Text = Trim(VarToStr(Value));
    double MHz = 0;
    if (Text.empty()) return String();
    return TuiCustomCurrencyEditProperties::TextToCurrencyValue(Text, MHz) ? FormatFloat("0.00000", MHz) : Text;
  }
  return FormatFloat("0.00000", Edit->Value());
}

TfBInfoEdit::TfBInfoEdit(TComponent* AOwner) : TForm(AOwner) {}

TfBInfoEdit::TTonePicker& TfBInfoEdit::TonePicker() {
  static TTonePicker Picker = [](String& Tone) { return PickTone(Tone); };
  return Picker;
}

template <class F>
void TfBInfoEdit::SetQuietly(F&& Set) {
  TFlagScope Quiet(loading_);
  Set();
}

// ---- Window ----

void TfBInfoEdit::FormShow(TObject*) {
  {
    TFlagScope Loading(loading_);
    if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, true);
    for (TuiComboBox* Box : {cbQT, cbDQT}) {
      const Integer Index = Box->ItemIndex();
      const String Text = Box->Text();
      BuildToneList(uiDcts->Properties()->Items(), Box->Properties()->Items());
      if (Index >= 0)
        Box->SetItemIndex(std::min(Index, Box->Properties()->Items()->Count() - 1));
      else
        Box->SetEditValue(Variant(Text));
    }
  }
  SetBounds(20, 20, Width(), Height());
}

void TfBInfoEdit::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfBInfoEdit::FormDestroy(TObject*) {
  if (fBInfoEdit == this) fBInfoEdit = nullptr;
}

void TfBInfoEdit::btnCloseClick(TObject*) { Close(); }

// ---- Loading and storing ----

void TfBInfoEdit::LoadChannel() {
  TFlagScope Loading(loading_);
  sexd->SetValue(Variant(ALL->CurrentChannel));
  TChannelValues V;
  if (ALL->CurrentChannel >= 1 && ALL->CurrentChannel <= MaxChannels &&
      DecodeChannel(&ALL->Image[ChannelOffset(ALL->CurrentChannel)], V)) {
    EnableChannelEditors(true);
    eRx->SetValue(V.RxMHz);
    if (V.RxTone.empty())
      cbQT->SetItemIndex(0);
    else
      cbQT->SetEditValue(Variant(V.RxTone));
    if (V.TxTone.empty())
      cbDQT->SetItemIndex(0);
    else
      cbDQT->SetEditValue(Variant(V.TxTone));
    if (V.TxMHz >= 0) {
      eTX->SetValue(V.TxMHz);
      cbDQT->SetEnabled(true);
    } else {
      eTX->SetEditValue(Null());
      cbDQT->SetItemIndex(0);
      cbDQT->SetEnabled(false);
    }
    cbkz->SetItemIndex(V.Flags[2]);
    cbfsgl->SetItemIndex(V.Flags[3]);
    chsmtj->SetChecked(V.Flags[4] == 0);
    chCp->SetChecked(V.Flags[5] == 0);
    chfm->SetChecked(V.Flags[0] == 0);
    chSr->SetChecked(V.Flags[6] == 0);
  } else {
    eRx->SetEditValue(Null());
    EnableChannelEditors(false);
    ClearChannelEditors();
  }
}

void TfBInfoEdit::StoreChannel() {
  if (loading_) return;
  const Integer Channel = ALL->CurrentChannel;
  if (Channel < 1 || Channel > MaxChannels) return;
  Byte* Record = &ALL->Image[ChannelOffset(Channel)];
  Byte Saved[ChannelRecordSize];
  std::copy(Record, Record + ChannelRecordSize, Saved);
  try {
    const String Rx = FrequencyEditText(eRx);
    ALL->SetChannelField(Channel, cfRxFrequency, Rx);
    // An empty receive frequency empties the whole record; the other editors must not write into it.
    if (!Rx.empty()) {
      ALL->SetChannelField(Channel, cfTxFrequency, FrequencyEditText(eTX));
      for (auto [Box, Kind] : {std::pair{cbQT, cfRxTone}, std::pair{cbDQT, cfTxTone}}) {
        const String Tone = Box->Text();
        ALL->SetChannelField(Channel, Kind, Tone == Box->Properties()->Items()->Strings(0) ? String() : Tone);
      }
      ALL->SetChannelField(Channel, cfFlagBit0 + 0, ClearBitWhenChecked(chfm));
      ALL->SetChannelField(Channel, cfFlagBit0 + 2, IntToStr(cbkz->ItemIndex()));
      ALL->SetChannelField(Channel, cfFlagBit0 + 3, IntToStr(cbfsgl->ItemIndex()));
      ALL->SetChannelField(Channel, cfFlagBit0 + 4, ClearBitWhenChecked(chsmtj));
      ALL->SetChannelField(Channel, cfFlagBit0 + 5, ClearBitWhenChecked(chCp));
      ALL->SetChannelField(Channel, cfFlagBit0 + 6, ClearBitWhenChecked(chSr));
      ALL->SetChannelField(Channel, cfFlagBit7, ClearBitWhenChecked(chWp));
    }
  } catch (...) {
    // A field that does not convert leaves the record as it was, not half written.
    std::copy(Saved, Saved + ChannelRecordSize, Record);
    throw;
  }
  ALL->Modified = true;
  onChannelStored_(this);
}

void TfBInfoEdit::EnableChannelEditors(bool On) {
  for (TControl* Editor : std::initializer_list<TControl*>{eTX, cbQT, cbDQT, cbkz, chfm, chsmtj, chpppy, cbfsgl,
                                                           chCp, chSr})
    Editor->SetEnabled(On);
}

void TfBInfoEdit::ClearChannelEditors() {
  SetQuietly([this] {
    eRx->SetEditValue(Null());
    eTX->SetEditValue(Null());
    cbQT->SetItemIndex(0);
    cbDQT->SetItemIndex(0);
    cbkz->SetItemIndex(0);
    for (TuiCheckBox* Box : {chsmtj, chfm, chCp, chSr, chpppy}) Box->SetChecked(false);
  });
}

// ---- Channel number ----

void TfBInfoEdit::sexdChange(TObject*) {
  if (loading_) return;
  const Variant Value = sexd->Value();
  if (!IsNumericVariant(Value)) return;
  const Integer Channel = std::clamp(static_cast<Integer>(std::lround(Value.AsDouble())), 1, MaxChannels);
  if (Channel == ALL->CurrentChannel) return;
  ALL->CurrentChannel = Channel;
  onChannelSelected_(this);
  LoadChannel();
}

void TfBInfoEdit::SpinEditPropertiesValidate(TObject*, Variant& DisplayValue, String& ErrorText, bool& Error) {
  TuiSpinEditProperties* Properties = sexd->ActiveProperties();
  const double Min = Properties->MinValue();
  const double Max = Properties->MaxValue();
  const double Step = Properties->Increment() > 0 ? Properties->Increment() : 1.0;
  double Typed = 0;
  if (!TryStrToFloat(Trim(VarToStr(DisplayValue)), Typed)) Typed = ALL->CurrentChannel;
  double Snapped = Typed > Min ? Min + std::floor((Typed - Min) / Step) * Step : Min;
  Snapped = std::clamp(Snapped, Min, Max);
  DisplayValue = Variant(FormatFloat("0", Snapped));
  ErrorText.clear();
  Error = false;
}

// ---- Frequencies ----

bool TfBInfoEdit::CheckFrequency(const String& Text, double& MHz) {
  if (!TryStrToFloat(Text, MHz)) {
    ShowMessageBox(Language->Caution, Language->ErrRange, mbkInformation);
    return false;
  }
  MHz = CheckFrequencyRange(MHz);
  return true;
}

void TfBInfoEdit::eReceivePropertiesEditValueChanged(TObject*) {
  if (loading_) return;
  const String Text = FrequencyEditText(eRx);
  if (Text.empty()) {
    StoreChannel();
    ClearChannelEditors();
    EnableChannelEditors(false);
    return;
  }
  double MHz = 0;
  if (!CheckFrequency(Text, MHz)) {
    // The editor goes back to what the image holds.
    LoadChannel();
    return;
  }
  const double Snapped = ALL->SnapToStep(MHz);
  SetQuietly([&] { eRx->SetValue(Snapped); });
  EnableChannelEditors(true);
  if (FrequencyEditText(eTX).empty()) {
    SetQuietly([&] { eTX->SetValue(Snapped); });
    cbDQT->SetEnabled(true);
  }
  StoreChannel();
}

void TfBInfoEdit::eRxPropertiesChange(TObject*) {
  if (loading_) return;
  const String Text = Trim(eRx->Text());
  double MHz = 0;
  if (Text.empty())
    EnableChannelEditors(false);
  else if (TryStrToFloat(Text, MHz))
    EnableChannelEditors(true);
}

void TfBInfoEdit::eSendPropertiesEditValueChanged(TObject*) {
  if (loading_) return;
  const String Text = FrequencyEditText(eTX);
  if (Text.empty()) {
    SetQuietly([this] { cbDQT->SetItemIndex(0); });
    cbDQT->SetEnabled(false);
  } else {
    double MHz = 0;
    if (!CheckFrequency(Text, MHz)) {
      LoadChannel();
      return;
    }
    const double Snapped = ALL->SnapToStep(MHz);
    SetQuietly([&] { eTX->SetValue(Snapped); });
    cbDQT->SetEnabled(true);
    if (eTX->Focused() && cbQT->CanFocus()) cbQT->SetFocus();
  }
  StoreChannel();
}

void TfBInfoEdit::eRxKeyPress(TObject*, char& Key) { Key = FilterFrequencyKey(Key); }

void TfBInfoEdit::eTXKeyPress(TObject*, char& Key) { Key = FilterFrequencyKey(Key); }

// ---- Tones ----

void TfBInfoEdit::SettleTone(TuiComboBox* Box) {
  const String Text = Trim(Box->Text());
  const String None = Box->Properties()->Items()->Strings(0);
  SetQuietly([&] {
    if (Text.empty()) {
      Box->SetItemIndex(0);
    } else if (Text != None) {
      const String Tone = NormalizeTone(Text);
      if (Tone != Box->Text()) Box->SetEditValue(Variant(Tone));
    }
  });
}

void TfBInfoEdit::cbQTExit(TObject* Sender) {
  if (loading_) return;
  auto* Box = dynamic_cast<TuiComboBox*>(Sender);
  if (Box == nullptr) return;
  SettleTone(Box);
  StoreChannel();
}

void TfBInfoEdit::ToneKeyPress(TuiComboBox* Box, char& Key) {
  Key = FilterToneKey(Key);
  if (Key != EditKeyEnter) return;
  Key = 0;
  SetQuietly([Box] { Box->SetEditValue(Variant(Box->Text())); });
  SettleTone(Box);
  StoreChannel();
}

void TfBInfoEdit::cbQTKeyPress(TObject*, char& Key) { ToneKeyPress(cbQT, Key); }

void TfBInfoEdit::cbDQTKeyPress(TObject*, char& Key) { ToneKeyPress(cbDQT, Key); }

void TfBInfoEdit::RunTonePicker(TuiComboBox* Box) {
  if (!TonePicker() || !Box->Enabled()) return;
  String Tone;
  if (!TonePicker()(Tone) || Tone.empty()) return;
  SetQuietly([&] { Box->SetEditValue(Variant(Tone)); });
  cbQTExit(Box);
}

void TfBInfoEdit::cbQTDblClick(TObject*) { RunTonePicker(cbQT); }

void TfBInfoEdit::cbDQTDblClick(TObject*) { RunTonePicker(cbDQT); }

// ---- Lists and check boxes ----

void TfBInfoEdit::cbkzChange(TObject*) { StoreChannel(); }
void TfBInfoEdit::chfmClick(TObject*) { StoreChannel(); }
void TfBInfoEdit::chsmtjClick(TObject*) { StoreChannel(); }
void TfBInfoEdit::chCpClick(TObject*) { StoreChannel(); }
void TfBInfoEdit::chSrClick(TObject*) { StoreChannel(); }
void TfBInfoEdit::chpppyClick(TObject*) { StoreChannel(); }
