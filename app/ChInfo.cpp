#include "app/ChInfo.h"

#include <cctype>

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/ToneOption.h"
#include "controls/editors/uiComboBox.h"
#include "grid/CellGrid.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

TfChInfo* fChInfo = nullptr;

K58_IMPLEMENT_CLASS(TfChInfo) {
  b.Field("gvData", &TfChInfo::gvData);
  b.Field("cbQT", &TfChInfo::cbQT);
  b.Field("cbDQT", &TfChInfo::cbDQT);
  b.Field("cbfsgl", &TfChInfo::cbfsgl);
  b.Field("cbkz", &TfChInfo::cbkz);
  b.Field("cbHave", &TfChInfo::cbHave);
  b.Field("uiDcts", &TfChInfo::uiDcts);
  b.Field("lNone", &TfChInfo::lNone);
  b.Field("BColText", &TfChInfo::BColText);
  b.Method("FormShow", &TfChInfo::FormShow);
  b.Method("FormClose", &TfChInfo::FormClose);
  b.Method("FormDestroy", &TfChInfo::FormDestroy);
  b.Method("gvDataMouseDown", &TfChInfo::gvDataMouseDown);
  b.Method("gvDataSelectCell", &TfChInfo::gvDataSelectCell);
  b.Method("gvDataSetForeText", &TfChInfo::gvDataSetForeText);
  b.Method("gvDataKeyPress", &TfChInfo::gvDataKeyPress);
  b.Method("ComBoxSetData", &TfChInfo::ComBoxSetData);
  b.Method("ComBoxExit", &TfChInfo::ComBoxExit);
  b.Method("ComBoxKeyPress", &TfChInfo::ComBoxKeyPress);
  b.Method("ComBoxDblClick", &TfChInfo::ComBoxDblClick);
}

namespace {

constexpr Integer FirstChannelRow = 2;
constexpr Integer TitleRow = 1;
constexpr Integer TitleRowHeight = 23;
constexpr Integer RowHeightPerChannel = 30;  // the window is at most this tall per channel
constexpr Integer ComboInset = 2;

constexpr char KeyBackspace = 8;
constexpr char KeyEnter = 13;

// The flag bit each list column edits (image field kind = 4 + bit).
Integer FlagBitOfColumn(Integer Col) {
  switch (Col) {
    case ccPower: return 3;
    case ccBandwidth: return 2;
    case ccScanAdd: return 4;
    case ccCompander: return 5;
    case ccScrambler: return 6;
    case ccBusyLock: return 0;
    default: return -1;
  }
}

TAlignMode AlignOfCode(Integer Code) {
  switch (Code) {
    case 1: return TAlignMode::taLeft;
    case 3: return TAlignMode::taRight;
    default: return TAlignMode::taCenter;
  }
}

String FrequencyText(double MHz) { return FormatFloat("0.00000", MHz); }

}  // namespace

char FilterFrequencyKey(char Key) {
  if (Key == ',' || Key == '.') Key = FormatSettings.DecimalSeparator;
  if (Key == KeyBackspace || Key == KeyEnter || Key == '.' || Key == FormatSettings.DecimalSeparator) return Key;
  if (Key >= '0' && Key <= '9') return Key;
  return 0;
}

char FilterToneKey(char Key) {
  const char Filtered = FilterFrequencyKey(Key);
  if (Filtered != 0) return Filtered;
  switch (Key) {
    case 'D': case 'I': case 'N': case 'd': case 'i': case 'n': return Key;
    default: return 0;
  }
}

double CheckFrequencyRange(double MHz, bool BoxShown) {
  if (MHz > ALL->ModelMax) {
    MHz = ALL->BandHigh;
    ShowMessageBox(Language->Caution, Language->ErrRange, mbkInformation);
    BoxShown = true;
  } else if (MHz < ALL->ModelMin) {
    MHz = ALL->BandLow;
    ShowMessageBox(Language->Caution, Language->ErrRange, mbkInformation);
    BoxShown = true;
  }
  if (!BoxShown && (MHz > ALL->BandHigh || MHz < ALL->BandLow))
    ShowMessageBox(Language->Caution, Language->OutRange, mbkInformation);
  return MHz;
}

TfChInfo::TfChInfo(TComponent* AOwner) : TForm(AOwner) {}

void BuildToneList(TStrings* Source, TStrings* Target) {
  Target->BeginUpdate();
  try {
    Target->Clear();
    for (Integer I = 0; I < Source->Count(); ++I) {
      const String Entry = Source->Strings(I);
      double Tenths = 0;
      if (Entry.empty() || !std::isdigit(static_cast<unsigned char>(Entry[0])))
        Target->Add(Entry);
      else if (TryStrToFloat(Entry, Tenths))
        Target->Add(FormatFloat("0.0", Tenths / 10.0));
    }
  } catch (...) {
    Target->EndUpdate();
    throw;
  }
  Target->EndUpdate();
}

// ---- Window ----

void TfChInfo::FormShow(TObject*) {
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, true);
  lNone->SetCaption(cbQT->Properties()->Items()->Strings(0));

  // The tone lists: CTCSS tones are kept in tenths in the source.
  for (TuiComboBox* Box : {cbQT, cbDQT}) BuildToneList(uiDcts->Properties()->Items(), Box->Properties()->Items());

  SetupColumns();
  SetBounds(20, 20, Width(), Height());
  FillAllRows();
}

void TfChInfo::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfChInfo::FormDestroy(TObject*) {
  if (fChInfo == this) fChInfo = nullptr;
}

// ---- Layout ----

void TfChInfo::SetupColumns() {
  TStrings* Def = BColText->Items();
  const Integer N = Def->Count() / 3;
  gvData->SetColCount(N + 1);
  gvData->SetShowPopup(false);
  gvData->SetGridCanCopyMove(false);
  gvData->SetGridCanFill(false);
  gvData->SetFixedCols(1);
  gvData->SetRowHeights(TitleRow, TitleRowHeight);
  Integer Total = 0;
  for (Integer C = 1; C <= N; ++C) {
    const Integer ColWidth = StrToIntDef(Def->Strings(N + C - 1), gvData->DefaultColWidth());
    gvData->SetColWidths(C, ColWidth);
    Total += ColWidth;
    gvData->GetCellInfo(C, TitleRow)->ForeText = Def->Strings(C - 1);
  }
  SetWidth(Total + 30);
  SetupRows();
}

void TfChInfo::SetupRows() {
  const Integer Rows = ALL->ChannelCount + 2;
  if (rowsSetUp_ && gvData->RowCount() == Rows) {
    for (Integer Row = FirstChannelRow; Row < Rows; ++Row) {
      gvData->GetCellInfo(ccNumber, Row)->BackText.clear();
      for (Integer Col = ccRxFrequency; Col < gvData->ColCount(); ++Col) SetCellTexts(Col, Row, "", "");
    }
    gvData->SetColCellProperty(ccTxFrequency, cpReadOnly, 1);
    return;
  }

  rowsSetUp_ = true;
  gvData->SetRowCount(2);
  gvData->SetRowCount(Rows);
  gvData->SetFixedRows(1);
  for (Integer Row = FirstChannelRow; Row < Rows; ++Row)
    gvData->GetCellInfo(ccNumber, Row)->ForeText = IntToStr(Row - 1);
  if (RowHeightPerChannel * ALL->ChannelCount < Height()) SetHeight(RowHeightPerChannel * ALL->ChannelCount);
  gvData->SetColCellProperty(ccNumber, cpColor, static_cast<intptr_t>(clBtnFace));
  gvData->SetRowCellProperty(TitleRow, cpColor, static_cast<intptr_t>(clBtnFace));
  gvData->SetAllCellsProperty(cpReadOnly, 1);
  gvData->SetColCellProperty(ccRxFrequency, cpReadOnly, 0);
  TStrings* Def = BColText->Items();
  const Integer N = Def->Count() / 3;
  for (Integer C = 1; C <= N && C < gvData->ColCount(); ++C) {
    const Integer Code = StrToIntDef(Def->Strings(2 * N + C - 1), 2);
    gvData->SetColCellProperty(C, cpAlignMode, static_cast<intptr_t>(AlignOfCode(Code)));
  }
  gvData->SetRowCellProperty(TitleRow, cpAlignMode, static_cast<intptr_t>(TAlignMode::taCenter));
}

// ---- Filling from the image ----

void TfChInfo::FillRow(Integer Row) {
  if (Row < FirstChannelRow || Row >= gvData->RowCount()) return;
  const bool WasAuto = gvData->AutoUpdate();
  gvData->SetAutoUpdate(false);
  TChannelValues V;
  const Byte* Record = &ALL->Image[ChannelOffset(Row - 1)];
  if (DecodeChannel(Record, V)) {
    gvData->GetCellInfo(ccNumber, Row)->BackText = "1";
    SetReadOnly(ccTxFrequency, Row, false);
    SetCellTexts(ccRxFrequency, Row, FrequencyText(V.RxMHz), "");
    SetCellTexts(ccTxFrequency, Row, V.TxMHz < 0 ? String() : FrequencyText(V.TxMHz), "");
    SetCellTexts(ccRxTone, Row, V.RxTone.empty() ? lNone->Caption() : V.RxTone, "");
    SetCellTexts(ccTxTone, Row, V.TxTone.empty() ? lNone->Caption() : V.TxTone, "");
    for (Integer Col = ccPower; Col <= ccBusyLock; ++Col) {
      const Integer Bit = V.Flags[FlagBitOfColumn(Col)];
      TStrings* Items = ComboOfColumn(Col)->Properties()->Items();
      SetCellTexts(Col, Row, Bit < Items->Count() ? Items->Strings(Bit) : String(), IntToStr(Bit));
    }
  } else {
    gvData->GetCellInfo(ccNumber, Row)->BackText.clear();
    for (Integer Col = ccRxFrequency; Col < gvData->ColCount(); ++Col) SetCellTexts(Col, Row, "", "");
    SetReadOnly(ccTxFrequency, Row, true);
  }
  gvData->SetAutoUpdate(WasAuto);
  gvData->InvalidateRow(Row);
}

void TfChInfo::FillAllRows() {
  for (Integer Row = FirstChannelRow; Row < gvData->RowCount(); ++Row) FillRow(Row);
}

// ---- Editing in the grid ----

void TfChInfo::gvDataSetForeText(TObject*, Integer ACol, Integer ARow, String& Value) {
  ALL->Modified = true;
  if (ACol != ccRxFrequency && ACol != ccTxFrequency) return;
  if (ARow < FirstChannelRow) return;

  const String Text = Trim(Value);
  if (Text.empty()) {
    Value.clear();
    if (ACol == ccRxFrequency) {
      ClearChannelRow(ARow);
    } else {
      ALL->SetChannelField(ARow - 1, cfTxFrequency, "");
      onChannelChanged_(this);
      gvData->GetCellInfo(ccTxTone, ARow)->ForeText = cbDQT->Properties()->Items()->Strings(0);
      gvData->InvalidateRow(ARow);
    }
    return;
  }

  double MHz = 0;
  bool Shown = false;
  if (!TryStrToFloat(Text, MHz)) {
    MHz = ALL->BandHigh;
    ShowMessageBox(Language->Caution, Language->OutRange, mbkInformation);
    Shown = true;
  }
  MHz = CheckFrequencyRange(MHz, Shown);

  // Value is the cell's stored text: the new row below and the image take the checked value from it.
  Value = FrequencyText(ALL->SnapToStep(MHz));
  if (ACol == ccRxFrequency && !RowInUse(ARow)) {
    NewChannelRow(ARow);
  } else {
    ALL->SetChannelField(ARow - 1, ACol == ccRxFrequency ? cfRxFrequency : cfTxFrequency, Value);
    onChannelChanged_(this);
  }
}

void TfChInfo::NewChannelRow(Integer Row) {
  gvData->GetCellInfo(ccNumber, Row)->BackText = "1";
  TCellInfo* Tx = gvData->GetCellInfo(ccTxFrequency, Row);
  if (Tx->ForeText.empty()) Tx->ForeText = gvData->GetCellInfo(ccRxFrequency, Row)->ForeText;
  SetCellTexts(ccRxTone, Row, lNone->Caption(), "0");
  SetCellTexts(ccTxTone, Row, lNone->Caption(), "0");
  SetCellTexts(ccPower, Row, cbfsgl->Properties()->Items()->Strings(1), "1");
  SetCellTexts(ccBandwidth, Row, cbkz->Properties()->Items()->Strings(0), "0");
  for (Integer Col = ccScanAdd; Col <= ccBusyLock; ++Col) SetCellTexts(Col, Row, cbHave->Properties()->Items()->Strings(1), "1");
  SetReadOnly(ccTxFrequency, Row, false);
  gvData->InvalidateRow(Row);
  for (Integer Col = ccRxFrequency; Col <= ccBusyLock; ++Col) WriteCell(Row, Col);
}

void TfChInfo::ClearChannelRow(Integer Row) {
  gvData->GetCellInfo(ccNumber, Row)->BackText.clear();
  for (Integer Col = ccRxFrequency; Col < gvData->ColCount(); ++Col) SetCellTexts(Col, Row, "", "");
  SetReadOnly(ccTxFrequency, Row, true);
  gvData->InvalidateRow(Row);
  WriteCell(Row, ccRxFrequency);
}

void TfChInfo::WriteCell(Integer Row, Integer Col) {
  const Integer Channel = Row - 1;
  const TCellInfo* Cell = gvData->GetCellInfo(Col, Row);
  switch (Col) {
    case ccRxFrequency: ALL->SetChannelField(Channel, cfRxFrequency, Cell->ForeText); break;
    case ccTxFrequency: ALL->SetChannelField(Channel, cfTxFrequency, Cell->ForeText); break;
    case ccRxTone:
    case ccTxTone: {
      const String Tone = Cell->ForeText == lNone->Caption() ? String() : Cell->ForeText;
      ALL->SetChannelField(Channel, Col == ccRxTone ? cfRxTone : cfTxTone, Tone);
      break;
    }
    default: {
      const Integer Bit = FlagBitOfColumn(Col);
      if (Bit < 0) return;
      ALL->SetChannelField(Channel, cfFlagBit0 + Bit, Cell->BackText);
      break;
    }
  }
  onChannelChanged_(this);
}

void TfChInfo::gvDataKeyPress(TObject*, char& Key) { Key = FilterFrequencyKey(Key); }

// ---- Selection and the combo boxes ----

void TfChInfo::gvDataSelectCell(TObject*, Integer ACol, Integer ARow, bool&) {
  selCol_ = ACol;
  selRow_ = ARow;
  ShowCellEditor();
  FollowChannel(ARow);
}

void TfChInfo::gvDataMouseDown(TObject*, TMouseButton, TShiftState, Integer, Integer) {
  const TGridCoord Cell = gvData->Focus();
  selCol_ = Cell.X;
  selRow_ = Cell.Y;
  if (CanFocus()) SetFocus();
  if (selRow_ >= FirstChannelRow &&
      (selCol_ == ccRxFrequency || (selCol_ == ccTxFrequency && RowInUse(selRow_)))) {
    gvData->SetEditorActive(true);
    gvData->SelectAllEditorText();
  } else {
    ShowCellEditor();
  }
  FollowChannel(selRow_);
}

void TfChInfo::FollowChannel(Integer Row) {
  if (Row < FirstChannelRow || Row == ALL->CurrentChannel + 1) return;
  ALL->CurrentChannel = Row - 1;
  onChannelSelected_(this);
}

void TfChInfo::ShowCellEditor() {
  TuiComboBox* Box = nullptr;
  if (selRow_ >= FirstChannelRow && selRow_ < gvData->RowCount() && RowInUse(selRow_) && selCol_ >= ccRxTone &&
      selCol_ <= ccBusyLock && (selCol_ != ccTxTone || RowHasTx(selRow_)))
    Box = ComboOfColumn(selCol_);
  if (Box != nullptr && Box->Visible() && comboCol_ == selCol_ && comboRow_ == selRow_) {
    if (Box->CanFocus()) Box->SetFocus();
    return;
  }
  // Leaving a box stores what was typed into it for its own cell.
  for (TuiComboBox* Other : {cbQT, cbDQT, cbfsgl, cbkz, cbHave}) HideBox(Other);
  comboCol_ = comboRow_ = 0;
  if (Box == nullptr) return;

  TRect Rect{};
  gvData->GetCellRect(selCol_, selRow_, Rect);
  Box->SetBounds(gvData->Left() + Rect.left + ComboInset, gvData->Top() + Rect.top + ComboInset,
                 gvData->GetColWidths(selCol_), Box->Height());
  const TCellInfo* Cell = gvData->GetCellInfo(selCol_, selRow_);
  if (IsToneBox(Box)) {
    Box->SetText(Cell->ForeText);
  } else {
    Box->SetItemIndex(StrToIntDef(Cell->BackText, 0));
  }
  comboCol_ = selCol_;
  comboRow_ = selRow_;
  Box->Show();
  Box->BringToFront();
  if (Box->CanFocus()) Box->SetFocus();
  // Typing replaces the cell's value.
  if (IsToneBox(Box)) Box->SelectAll();
}

void TfChInfo::ComBoxSetData(TObject* Sender) {
  auto* Box = dynamic_cast<TuiComboBox*>(Sender);
  if (Box == nullptr || storing_) return;
  if (IsToneBox(Box) && Box->ItemIndex() < 0 && !Trim(Box->Text()).empty()) return;
  StoreComboValue(Box);
}

void TfChInfo::StoreComboValue(TuiComboBox* Box) {
  if (comboCol_ == 0 || Box != ComboOfColumn(comboCol_)) return;
  const bool WasStoring = storing_;
  storing_ = true;
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } Restore{storing_, WasStoring};
  TCellInfo* Cell = gvData->GetCellInfo(comboCol_, comboRow_);
  if (IsToneBox(Box)) {
    const String Text = Trim(Box->Text());
    String Tone;
    if (Text.empty() || Text == lNone->Caption())
      Tone = lNone->Caption();
    else
      Tone = NormalizeTone(Text);
    Cell->ForeText = Tone;
    if (Box->Text() != Tone) Box->SetText(Tone);
  } else {
    const Integer Index = Box->ItemIndex();
    if (Index < 0) return;
    Cell->BackText = IntToStr(Index);
    Cell->ForeText = Box->Properties()->Items()->Strings(Index);
  }
  gvData->InvalidateRow(comboRow_);
  WriteCell(comboRow_, comboCol_);
  ALL->Modified = true;
}

void TfChInfo::CommitTypedTone(TuiComboBox* Box) {
  if (IsToneBox(Box) && comboCol_ != 0 && Box == ComboOfColumn(comboCol_) &&
      Box->Text() != gvData->GetCellInfo(comboCol_, comboRow_)->ForeText)
    StoreComboValue(Box);
}

void TfChInfo::ComBoxExit(TObject* Sender) {
  auto* Box = dynamic_cast<TuiComboBox*>(Sender);
  if (Box == nullptr) return;
  // A typed tone counts when the box is left.
  HideBox(Box);
  if (Box == ComboOfColumn(comboCol_)) comboCol_ = comboRow_ = 0;
}

void TfChInfo::ComBoxKeyPress(TObject* Sender, char& Key) {
  auto* Box = dynamic_cast<TuiComboBox*>(Sender);
  if (IsToneBox(Box)) Key = FilterToneKey(Key);
  if (Key == KeyEnter) {
    Key = 0;
    if (Box != nullptr) {
      CommitTypedTone(Box);
      if (gvData->CanFocus()) gvData->SetFocus();
      HideBox(Box);
    }
  }
}

void TfChInfo::ComBoxDblClick(TObject* Sender) {
  auto* Box = dynamic_cast<TuiComboBox*>(Sender);
  String Tone;
  if (!IsToneBox(Box) || !PickTone(Tone)) return;
  Box->SetText(Tone);
  StoreComboValue(Box);
}

void TfChInfo::HideEditors() {
  gvData->LeaveEditMode();
  for (TuiComboBox* Box : {cbQT, cbDQT, cbfsgl, cbkz, cbHave}) HideBox(Box);
  comboCol_ = comboRow_ = 0;
}

void TfChInfo::HideBox(TuiComboBox* Box) {
  if (!Box->Visible()) return;
  // An open list closes without choosing; what was typed into a tone box still counts.
  Box->SetDroppedDown(false);
  CommitTypedTone(Box);
  Box->Hide();
}

// ---- Helpers ----

bool TfChInfo::RowInUse(Integer Row) const { return !gvData->GetCellInfo(ccNumber, Row)->BackText.empty(); }

bool TfChInfo::RowHasTx(Integer Row) const {
  return !gvData->GetCellInfo(ccTxFrequency, Row)->ForeText.empty();
}

TuiComboBox* TfChInfo::ComboOfColumn(Integer Col) const {
  switch (Col) {
    case ccRxTone: return cbQT;
    case ccTxTone: return cbDQT;
    case ccPower: return cbfsgl;
    case ccBandwidth: return cbkz;
    case ccScanAdd:
    case ccCompander:
    case ccScrambler:
    case ccBusyLock: return cbHave;
    default: return nullptr;
  }
}

void TfChInfo::SetCellTexts(Integer Col, Integer Row, const String& Fore, const String& Back) {
  TCellInfo* Cell = gvData->GetCellInfo(Col, Row);
  Cell->ForeText = Fore;
  Cell->BackText = Back;
}

void TfChInfo::SetReadOnly(Integer Col, Integer Row, bool ReadOnly) {
  gvData->GetCellInfo(Col, Row)->ReadOnly = ReadOnly;
}
