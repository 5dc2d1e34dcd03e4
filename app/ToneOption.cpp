#include "app/ToneOption.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "controls/editors/uiRadioButton.h"
#include "grid/CellGrid.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

TfToneOption* fToneOption = nullptr;

K58_IMPLEMENT_CLASS(TfToneOption) {
  b.Field("gbVoice", &TfToneOption::gbVoice);
  b.Field("rCTCSS", &TfToneOption::rCTCSS);
  b.Field("rDCSN", &TfToneOption::rDCSN);
  b.Field("rDCSI", &TfToneOption::rDCSI);
  b.Field("lbSel", &TfToneOption::lbSel);
  b.Field("gbList", &TfToneOption::gbList);
  b.Field("gvCtcss", &TfToneOption::gvCtcss);
  b.Field("gvDcsN", &TfToneOption::gvDcsN);
  b.Field("gvDcsI", &TfToneOption::gvDcsI);
  b.Field("lbValue", &TfToneOption::lbValue);
  b.Method("FormShow", &TfToneOption::FormShow);
  b.Method("rCTCSSClick", &TfToneOption::rCTCSSClick);
  b.Method("gvCtcssDblClick", &TfToneOption::gvCtcssDblClick);
  b.Method("gvDcsNDblClick", &TfToneOption::gvDcsNDblClick);
  b.Method("gvDcsIDblClick", &TfToneOption::gvDcsIDblClick);
}

namespace {

// Table shapes: CTCSS in 5 groups of code, value and name, 9 rows; DCS in 8 groups of number and code,
// 11 rows. The DCS slots follow the 45 CTCSS slots in the source list.
constexpr Integer CtcssGroups = 5;
constexpr Integer CtcssRows = 9;
constexpr Integer DcsGroups = 8;
constexpr Integer DcsRows = 11;
constexpr Integer FirstDcsSlot = CtcssGroups * CtcssRows;
// A bold DCS code ("D023N") needs a little more than the 43 pixels of a CTCSS tone with this platform's
// fonts.
constexpr Integer DcsCodeWidth = 50;

constexpr TColor ToneRgb(Byte R, Byte G, Byte B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }
constexpr TColor CtcssCodeColor = ToneRgb(249, 141, 227);
constexpr TColor CtcssNameColor = ToneRgb(225, 249, 112);
constexpr TColor DcsCodeColor = ToneRgb(47, 231, 220);

// The back text of a column's first cell that marks the column as holding tones.
const char* const SelectableMark = "1";

// The parts of a slot text between its "-" characters; an empty slot has none.
std::vector<String> SlotParts(const String& Slot) {
  std::vector<String> Parts;
  if (Slot.empty()) return Parts;
  size_t Start = 0;
  for (;;) {
    const size_t Dash = Slot.find('-', Start);
    Parts.push_back(Slot.substr(Start, Dash == String::npos ? String::npos : Dash - Start));
    if (Dash == String::npos) break;
    Start = Dash + 1;
  }
  return Parts;
}

String SlotText(TListBox* Source, Integer Index) {
  return Index < Source->Items()->Count() ? Source->Items()->Strings(Index) : String();
}

void PrepareToneGrid(TCellGrid* Grid, Integer Cols, Integer Rows) {
  Grid->SetAutoUpdate(false);
  Grid->SetShowPopup(false);
  Grid->SetGridCanCopyMove(false);
  Grid->SetGridCanFill(false);
  Grid->SetColCount(Cols + 1);
  Grid->SetRowCount(Rows + 1);
  Grid->SetAllCellsProperty(cpReadOnly, 1);
  Grid->SetAllCellsProperty(cpAlignMode, static_cast<intptr_t>(TAlignMode::taCenter));
  for (Integer Line : {cpTopLine, cpBottomLine, cpRightLine, cpLeftLine}) Grid->SetAllCellsProperty(Line, 1);
}

void SetToneColumn(TCellGrid* Grid, Integer Col, Integer Width, TColor Color, bool Tones) {
  Grid->SetColWidths(Col, Width);
  Grid->SetColCellProperty(Col, cpColor, static_cast<intptr_t>(Color));
  if (!Tones) return;
  Grid->GetCellInfo(Col, 1)->BackText = SelectableMark;
  TFontStyles Bold{fsBold};
  Grid->SetColCellProperty(Col, cpFontStyle, reinterpret_cast<intptr_t>(&Bold));
}

void FinishToneGrid(TCellGrid* Grid) {
  Grid->SetAutoUpdate(true);
  Grid->Invalidate();
}

}  // namespace

TfToneOption::TfToneOption(TComponent* AOwner) : TForm(AOwner) {}

TfToneOption::~TfToneOption() {
  if (fToneOption == this) fToneOption = nullptr;
}

void TfToneOption::FormShow(TObject*) {
  BuildGrids();
  ToneText.clear();
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, false);
  rCTCSSClick(this);
}

void TfToneOption::BuildGrids() {
  PrepareToneGrid(gvCtcss, 3 * CtcssGroups, CtcssRows);
  for (Integer G = 1; G <= CtcssGroups; ++G) {
    SetToneColumn(gvCtcss, 3 * G - 2, 32, CtcssCodeColor, false);
    SetToneColumn(gvCtcss, 3 * G - 1, 43, clWhite, true);
    SetToneColumn(gvCtcss, 3 * G, 32, CtcssNameColor, false);
    for (Integer Row = 1; Row <= CtcssRows; ++Row) {
      const std::vector<String> Parts = SlotParts(SlotText(lbValue, (G - 1) * CtcssRows + Row - 1));
      for (Integer Part = 0; Part < 3; ++Part)
        gvCtcss->GetCellInfo(3 * G - 2 + Part, Row)->ForeText = Part < Integer(Parts.size()) ? Parts[Part] : "";
    }
  }
  FinishToneGrid(gvCtcss);

  for (TCellGrid* Grid : {gvDcsN, gvDcsI}) {
    const char* Suffix = Grid == gvDcsN ? "N" : "I";
    PrepareToneGrid(Grid, 2 * DcsGroups, DcsRows);
    for (Integer G = 1; G <= DcsGroups; ++G) {
      SetToneColumn(Grid, 2 * G - 1, 25, DcsCodeColor, false);
      SetToneColumn(Grid, 2 * G, DcsCodeWidth, clWhite, true);
      for (Integer Row = 1; Row <= DcsRows; ++Row) {
        const std::vector<String> Parts = SlotParts(SlotText(lbValue, FirstDcsSlot + (G - 1) * DcsRows + Row - 1));
        Grid->GetCellInfo(2 * G - 1, Row)->ForeText = Parts.size() > 0 ? Parts[0] : "";
        Grid->GetCellInfo(2 * G, Row)->ForeText = Parts.size() > 1 ? Parts[1] + Suffix : "";
      }
    }
    FinishToneGrid(Grid);
  }
}

void TfToneOption::rCTCSSClick(TObject* Sender) {
  gbList->SetEnabled(false);
  gvCtcss->SetVisible(rCTCSS->Checked());
  gvDcsN->SetVisible(rDCSN->Checked());
  gvDcsI->SetVisible(rDCSI->Checked());
  if (auto* Component = dynamic_cast<TComponent*>(Sender)) {
    const Integer Index = Component->Tag();
    if (Index >= 0 && Index < lbSel->Items()->Count()) gbList->SetCaption(lbSel->Items()->Strings(Index));
  }
  gbList->SetEnabled(true);
}

void TfToneOption::ChooseFrom(TCellGrid* Grid) {
  const TGridCoord Cell = Grid->Focus();
  if (Cell.X < 1 || Cell.X >= Grid->ColCount() || Cell.Y < 1 || Cell.Y >= Grid->RowCount()) return;
  if (Grid->GetCellInfo(Cell.X, 1)->BackText != SelectableMark) return;
  ToneText = Grid->GetCellInfo(Cell.X, Cell.Y)->ForeText;
  SetModalResult(mrOk);
}

void TfToneOption::gvCtcssDblClick(TObject*) { ChooseFrom(gvCtcss); }
void TfToneOption::gvDcsNDblClick(TObject*) { ChooseFrom(gvDcsN); }
void TfToneOption::gvDcsIDblClick(TObject*) { ChooseFrom(gvDcsI); }

bool PickTone(String& Tone) {
  TObjectPtr<TfToneOption> Dialog(fToneOption = NewObject<TfToneOption>(Application));
  Dialog->ShowModal();
  if (Dialog->ToneText.empty()) return false;
  Tone = Dialog->ToneText;
  return true;
}
