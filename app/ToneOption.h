// The tone picker: the CTCSS tones and the normal and inverted DCS codes as three tables, one shown at a
// time. A double-click on a tone hands its text back and closes the dialog.
#pragma once

#include "platform/forms/Forms.h"

class TCellGrid;
class TGroupBox;
class TListBox;
class TuiRadioButton;

class TfToneOption : public TForm {
  K58_CLASS(TfToneOption, TForm)

  explicit TfToneOption(TComponent* AOwner);
  ~TfToneOption() override;

  TGroupBox* gbVoice = nullptr;  // "Channel Voice Selection"
  TuiRadioButton* rCTCSS = nullptr;
  TuiRadioButton* rDCSN = nullptr;
  TuiRadioButton* rDCSI = nullptr;
  TListBox* lbSel = nullptr;  // caption of the list frame per table, by the radio buttons' Tag
  TGroupBox* gbList = nullptr;
  TCellGrid* gvCtcss = nullptr;
  TCellGrid* gvDcsN = nullptr;
  TCellGrid* gvDcsI = nullptr;
  // The tone slots: 45 CTCSS "code-value-name" (the last ones empty), then 88 DCS "number-Dcode".
  TListBox* lbValue = nullptr;

  // The chosen tone ("88.5", "D023N", "D023I"); empty when none was chosen.
  String ToneText;

  void FormShow(TObject* Sender);
  // Shows the table of the checked radio button; Sender's Tag picks the frame caption.
  void rCTCSSClick(TObject* Sender);
  void gvCtcssDblClick(TObject* Sender);
  void gvDcsNDblClick(TObject* Sender);
  void gvDcsIDblClick(TObject* Sender);

  // Fills the three tables from lbValue (texts written into the cell records, no validation).
  void BuildGrids();

 private:
  // A double-click on Grid: the tone of the current cell when its column holds tones.
  void ChooseFrom(TCellGrid* Grid);
};

extern TfToneOption* fToneOption;

// Runs the tone picker modally over the main window. True with Tone set when a tone was chosen; false
// (Tone untouched) when the dialog was closed or an empty slot was picked.
bool PickTone(String& Tone);
