// The channel edit window: an MDI child that edits the channel CurrentChannel with one editor per field,
// on the single sheet "Information" of its page control. Every change goes into the memory image at once;
// the channel table then redraws that channel's row.
//
// While the window fills its editors from the image (or sets one editor from another's handler) a flag
// keeps the value-change handlers from writing back or running a second time.
#pragma once

#include <functional>

#include "platform/forms/Forms.h"

class TLabel;
class TStrings;
class TuiButton;
class TuiCheckBox;
class TuiComboBox;
class TuiCurrencyEdit;
class TuiPageControl;
class TuiSpinEdit;
class TuiTabSheet;

class TfBInfoEdit : public TForm {
  K58_CLASS(TfBInfoEdit, TForm)

  explicit TfBInfoEdit(TComponent* AOwner);

  // ---- Components ----
  TuiPageControl* uiChInfo = nullptr;
  TuiTabSheet* tsInfo = nullptr;   // "Information"
  TuiSpinEdit* sexd = nullptr;     // channel number 1..16
  TuiCurrencyEdit* eRx = nullptr;  // receive frequency, MHz
  TuiCurrencyEdit* eTX = nullptr;  // transmit frequency, MHz
  TuiComboBox* cbQT = nullptr;     // receive tone
  TuiComboBox* cbDQT = nullptr;    // transmit tone
  TuiComboBox* cbkz = nullptr;     // "Wide", "Narrow": flag bit 2
  TuiComboBox* cbfsgl = nullptr;   // "Low", "High": flag bit 3
  TuiComboBox* uiDcts = nullptr;   // source of the tone lists; CTCSS tones in tenths
  TuiCheckBox* chsmtj = nullptr;   // "Scan Add": bit 4 clear
  TuiCheckBox* chfm = nullptr;     // "Busy Lock": bit 0 clear
  TuiCheckBox* chCp = nullptr;     // "Compander": bit 5 clear
  TuiCheckBox* chSr = nullptr;     // "Scrambler": bit 6 clear
  TuiCheckBox* chWp = nullptr;     // "Whisper", hidden and never checked: bit 7 stored as 1
  TuiCheckBox* chpppy = nullptr;   // "Beat Shift", tied to nothing
  TuiButton* btnClose = nullptr;

  // ---- Handlers ----
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void btnCloseClick(TObject* Sender);
  void sexdChange(TObject* Sender);
  // A typed channel number goes down onto the step grid and into 1..16; never an error.
  void SpinEditPropertiesValidate(TObject* Sender, Variant& DisplayValue, String& ErrorText, bool& Error);
  void eReceivePropertiesEditValueChanged(TObject* Sender);
  // The receive frequency's text changed while typing: the other editors are enabled as soon as it holds a
  // number and disabled when it is emptied, so Tab finds them in the state leaving eRx will give them.
  void eRxPropertiesChange(TObject* Sender);
  void eSendPropertiesEditValueChanged(TObject* Sender);
  void eRxKeyPress(TObject* Sender, char& Key);
  void eTXKeyPress(TObject* Sender, char& Key);
  // A tone box's value changed.
  void cbQTExit(TObject* Sender);
  void cbQTKeyPress(TObject* Sender, char& Key);
  void cbDQTKeyPress(TObject* Sender, char& Key);
  void cbQTDblClick(TObject* Sender);
  void cbDQTDblClick(TObject* Sender);
  void cbkzChange(TObject* Sender);
  void chfmClick(TObject* Sender);
  void chsmtjClick(TObject* Sender);
  void chCpClick(TObject* Sender);
  void chSrClick(TObject* Sender);
  void chpppyClick(TObject* Sender);

  // ---- Operations ----
  // Fills the editors from the record of CurrentChannel.
  void LoadChannel();
  // Writes the editors into the record of CurrentChannel (nothing while loading), marks the image
  // modified and has the channel table redraw the row.
  void StoreChannel();
  // Every editor but eRx.
  void EnableChannelEditors(bool On);
  void ClearChannelEditors();

  // The record of CurrentChannel was written (the channel table redraws its row).
  const TNotifyEvent& OnChannelStored() const { return onChannelStored_; }
  void SetOnChannelStored(const TNotifyEvent& Value) { onChannelStored_ = Value; }
  // The spin editor chose another channel; CurrentChannel is that channel (the tree follows).
  const TNotifyEvent& OnChannelSelected() const { return onChannelSelected_; }
  void SetOnChannelSelected(const TNotifyEvent& Value) { onChannelSelected_ = Value; }

  // The tone picker the tone boxes run on a double click: true with the chosen tone text. The tone
  // picker dialog unless replaced (tests answer through it).
  using TTonePicker = std::function<bool(String& Tone)>;
  static TTonePicker& TonePicker();

 private:
  // Sets an editor's value without running its value-change handler.
  template <class F>
  void SetQuietly(F&& Set);
  // The limit checks shared by both frequencies: false (after ErrRange) when the text is not a number;
  // otherwise MHz is the value moved into the model's limits, with ErrRange or OutRange shown.
  bool CheckFrequency(const String& Text, double& MHz);
  // The tone box's text after a change: "None" for an empty one, otherwise the normalised tone.
  void SettleTone(TuiComboBox* Box);
  void ToneKeyPress(TuiComboBox* Box, char& Key);
  void RunTonePicker(TuiComboBox* Box);

  bool loading_ = false;
  TNotifyEvent onChannelStored_;
  TNotifyEvent onChannelSelected_;
};

extern TfBInfoEdit* fBInfoEdit;

// The frequency an editor holds, formatted "0.00000"; empty when it holds none. Text that is no number is
// returned as it is.
String FrequencyEditText(TuiCurrencyEdit* Edit);
