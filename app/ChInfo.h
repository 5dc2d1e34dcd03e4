// The channel table: an MDI child showing every channel of the memory image, one row per channel and one
// column per field. Frequencies are typed into the grid; tones and flags are picked from combo boxes that
// appear over the selected cell. Every change goes into the image at once and marks it modified.
//
// Layout of the grid: row 1 holds the column titles and column 1 the channel numbers; rows 2 to
// ChannelCount + 1 are channels 1 to 16. The back text of column 1 is "1" while the channel is in use;
// the list columns keep the flag bit as "0"/"1" in their back text and its item text in the fore text.
// The window writes its own texts straight into the cell records; only text the user typed goes through
// the grid's validated setter and reaches gvDataSetForeText.
#pragma once

#include "platform/forms/Forms.h"

class TCellGrid;
class TuiComboBox;
class TLabel;
class TListBox;

// Columns of the channel table.
enum TChannelColumn : Integer {
  ccNumber = 1,
  ccRxFrequency = 2,
  ccTxFrequency = 3,
  ccRxTone = 4,
  ccTxTone = 5,
  ccPower = 6,
  ccBandwidth = 7,
  ccScanAdd = 8,
  ccCompander = 9,
  ccScrambler = 10,
  ccBusyLock = 11,
};

class TfChInfo : public TForm {
  K58_CLASS(TfChInfo, TForm)

  explicit TfChInfo(TComponent* AOwner);

  // ---- Components ----
  TCellGrid* gvData = nullptr;
  TuiComboBox* cbQT = nullptr;    // receive tone
  TuiComboBox* cbDQT = nullptr;   // transmit tone
  TuiComboBox* cbfsgl = nullptr;  // "Low", "High"
  TuiComboBox* cbkz = nullptr;    // "Wide", "Narrow"
  TuiComboBox* cbHave = nullptr;  // "Yes", "No"
  TuiComboBox* uiDcts = nullptr;  // source of the tone lists; CTCSS tones in tenths
  TLabel* lNone = nullptr;      // text of an empty tone
  TListBox* BColText = nullptr; // titles, widths and alignment codes of the columns

  // ---- Handlers ----
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void gvDataMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void gvDataSelectCell(TObject* Sender, Integer ACol, Integer ARow, bool& CanSelect);
  // The user finished typing a cell: frequencies are checked, snapped and written to the image.
  void gvDataSetForeText(TObject* Sender, Integer ACol, Integer ARow, String& Value);
  void gvDataKeyPress(TObject* Sender, char& Key);
  // A combo box value changed: the cell and the image follow. A tone box's text that is no item of its
  // list is being typed and counts when the box is left or Enter is pressed.
  void ComBoxSetData(TObject* Sender);
  void ComBoxExit(TObject* Sender);
  void ComBoxKeyPress(TObject* Sender, char& Key);
  void ComBoxDblClick(TObject* Sender);

  // ---- Operations ----
  // Redraws the row of a channel (2..ChannelCount + 1) from the image.
  void FillRow(Integer Row);
  void FillAllRows();
  // Column titles and widths from BColText, then SetupRows.
  void SetupColumns();
  // Channel rows: numbers, colours, read-only and alignment; an existing table is only emptied.
  void SetupRows();
  // The grid leaves edit mode and every combo box is hidden (before any main window command).
  void HideEditors();

  // A channel's record in the image changed through the table (the channel edit window follows).
  const TNotifyEvent& OnChannelChanged() const { return onChannelChanged_; }
  void SetOnChannelChanged(const TNotifyEvent& Value) { onChannelChanged_ = Value; }
  // The user selected another channel's row; CurrentChannel is that channel (the tree follows).
  const TNotifyEvent& OnChannelSelected() const { return onChannelSelected_; }
  void SetOnChannelSelected(const TNotifyEvent& Value) { onChannelSelected_ = Value; }

  // The cell a combo box is shown over (0 when none).
  Integer EditorCol() const { return comboCol_; }
  Integer EditorRow() const { return comboRow_; }

 private:
  void ShowCellEditor();
  void NewChannelRow(Integer Row);
  void ClearChannelRow(Integer Row);
  // Stores the field of one cell in the image, from the cell's texts.
  void WriteCell(Integer Row, Integer Col);
  void FollowChannel(Integer Row);
  bool RowInUse(Integer Row) const;
  bool RowHasTx(Integer Row) const;
  TuiComboBox* ComboOfColumn(Integer Col) const;
  bool IsToneBox(const TuiComboBox* Box) const { return Box != nullptr && (Box == cbQT || Box == cbDQT); }
  void SetCellTexts(Integer Col, Integer Row, const String& Fore, const String& Back);
  void SetReadOnly(Integer Col, Integer Row, bool ReadOnly);
  void StoreComboValue(TuiComboBox* Box);
  // Closes the list of a visible box, keeps what was typed into it and hides it.
  void HideBox(TuiComboBox* Box);
  // Stores the text typed into a tone box when it differs from its cell.
  void CommitTypedTone(TuiComboBox* Box);

  // The rows are numbered and coloured once; later setups only empty them.
  bool rowsSetUp_ = false;
  Integer selCol_ = 0;
  Integer selRow_ = 0;
  // Set while a box's value is written back to it (its change event then stores nothing).
  bool storing_ = false;
  // Where the visible combo box writes to.
  Integer comboCol_ = 0;
  Integer comboRow_ = 0;
  TNotifyEvent onChannelChanged_;
  TNotifyEvent onChannelSelected_;
};

extern TfChInfo* fChInfo;

// The tone list the tone boxes offer, from the list in Source: an entry beginning with a digit is a
// CTCSS tone in tenths of a hertz and becomes "0.0" hertz; other entries are taken as they are. An entry
// that begins with a digit but is no number is left out.
void BuildToneList(TStrings* Source, TStrings* Target);

// Key filters of the frequency and tone editors: "," and "." become the locale decimal separator; other
// keys that do not belong become #0.
char FilterFrequencyKey(char Key);
char FilterToneKey(char Key);

// A typed frequency against the current model and band: above the model's limit it becomes the band's top,
// below it the band's bottom, each with ErrRange shown; a value within the model's limits but outside the
// band is kept with OutRange shown, unless a box was already shown for this value (BoxShown).
double CheckFrequencyRange(double MHz, bool BoxShown = false);
