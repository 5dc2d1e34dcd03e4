// The function settings window: an MDI child that edits the 20 function-setting bytes of the memory image
// (offsets 304 to 323). Every change of an editor writes all of them back at once; a list with no
// selection (its byte holds a value the list does not offer) leaves its byte as it is.
//
// Each label names the editor it captions in its Hint.
#pragma once

#include <array>
#include <utility>

#include "platform/forms/Forms.h"

class TGroupBox;
class TLabel;
class TPanel;
class TuiButton;
class TuiCheckBox;
class TuiComboBox;
class TuiSpinEdit;

class TfBFunSet : public TForm {
  K58_CLASS(TfBFunSet, TForm)

  explicit TfBFunSet(TComponent* AOwner);

  // ---- Components ----
  TuiComboBox* uiWaveof = nullptr;     // 304 "Voice"
  TuiComboBox* cbVoice = nullptr;      // 305 "Voice Annunciation"
  TuiComboBox* uiScan = nullptr;       // 306 "Scan"
  TuiCheckBox* chVoxFun = nullptr;     // 307 "VOX Function"
  TuiSpinEdit* seVoxLevel = nullptr;   // 308 + 1 "VOX Gain Level"
  TuiCheckBox* chVoxInhibit = nullptr; // 309
  TuiCheckBox* cbVolLow = nullptr;     // 310
  TuiCheckBox* cbVolhigh = nullptr;    // 311
  TuiComboBox* uiAlt = nullptr;        // 312 "Incept Alarm"
  TuiComboBox* uiFM = nullptr;         // 313, hidden
  TuiComboBox* uiRxShape = nullptr;    // 316 low 4 bits, hidden
  TuiComboBox* uiTxShape = nullptr;    // 316 high 4 bits, hidden
  TuiComboBox* uiRevTx = nullptr;      // 317 "Epilogue"
  TuiComboBox* uiRate = nullptr;       // 318 "Battery Save"
  TuiComboBox* uiWhisper = nullptr;    // 319, hidden
  TuiCheckBox* cbBeepTone = nullptr;   // 320 bit 0 "Clew Voice"
  TuiComboBox* cbSQvelch = nullptr;    // 321 "Squelch level"
  TuiComboBox* cbMonikey = nullptr;    // 322 "Side Key"
  TuiComboBox* cbTxTimeout = nullptr;  // 323 "TX Time Out"
  TGroupBox* gbVox = nullptr;
  TPanel* pVox = nullptr;              // the VOX gain and inhibit, enabled with "VOX Function"
  TuiButton* btnOk = nullptr;          // hidden: stores and closes
  TuiButton* btnCancel = nullptr;      // "&Close"

  // ---- Handlers ----
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void btnOkClick(TObject* Sender);
  void btnCancelClick(TObject* Sender);
  void chVoxFunClick(TObject* Sender);
  // Any tied editor changed: bytes 304 to 323 are written from all of them.
  void ComborPropertiesChange(TObject* Sender);

  // ---- Operations ----
  // Translates the window, then fills the editors from the image.
  void LoadSettings();
  // Writes every tied editor's byte (nothing while loading) and marks the image modified.
  void StoreSettings();

 private:
  void FollowVox();
  // The lists and check boxes that hold a whole byte each, with its offset.
  std::array<std::pair<TuiComboBox*, Integer>, 11> ByteLists() const;
  std::array<std::pair<TuiCheckBox*, Integer>, 4> ByteChecks() const;

  bool loading_ = false;
};

extern TfBFunSet* fBFunSet;
