// The cell store, new-cell defaults, cell coordinates and the formatting of number cells.
#include "grid/CellModel.h"

#include <algorithm>

#include "grid/CellGrid.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/SysUtils.h"

const TTypeInfo* TypeInfoTraits<TAlignMode>::Get() {
  static const TTypeInfo* info =
      MakeEnumTypeInfo("TAlignMode", "taTopLeft, taTop, taTopRight, taLeft, taCenter, taRight, taBottomLeft, "
                                     "taBottom, taBottomRight",
                       {0, 1, 2, 3, 4, 5, 6, 7, 8});
  return info;
}

K58_IMPLEMENT_CLASS(TColCellInfoList) {}
K58_IMPLEMENT_CLASS(TCells) {}

void CopyCellAttributes(const TCellInfo& Source, TCellInfo& Dest) {
  if (&Source == &Dest) return;
  const TGridRect range = Dest.Range;
  Dest = Source;
  Dest.Range = range;
}

// ---- Pins ----

namespace {

thread_local TCellPin* innermostPin = nullptr;

}  // namespace

TCellPin::TCellPin(TCellInfo* Cell) : cell_(Cell), outer_(innermostPin) { innermostPin = this; }

TCellPin::~TCellPin() {
  innermostPin = outer_;
  if (!dropped_) return;
  for (TCellPin* pin = outer_; pin != nullptr; pin = pin->outer_)
    if (pin->cell_ == cell_) return;  // an outer pin frees it
  delete cell_;
}

bool TCellPin::Keep(TCellInfo* Cell) {
  bool kept = false;
  for (TCellPin* pin = innermostPin; pin != nullptr; pin = pin->outer_)
    if (pin->cell_ == Cell) pin->dropped_ = kept = true;
  return kept;
}

// ---- Store ----

TColCellInfoList::TColCellInfoList(TCustomCellGrid* Grid, Integer RowCount, Integer ACol) {
  SetCapacity(std::max(RowCount, 0));
  for (Integer r = 0; r < RowCount; ++r) AddCell(Grid, ACol);
}

TColCellInfoList::~TColCellInfoList() { Clear(); }

void TColCellInfoList::Clear() { TList::Clear(); }

void TColCellInfoList::AddCell(TCustomCellGrid* Grid, Integer ACol) {
  auto* cell = new TCellInfo;
  InitCellInfo(Grid, cell, ACol, Count());
  try {
    Add(cell);
  } catch (...) {
    delete cell;
    throw;
  }
}

void TColCellInfoList::Notify(Pointer Ptr, TListNotification Action) {
  if (Action == lnDeleted && !TCellPin::Keep(static_cast<TCellInfo*>(Ptr))) delete static_cast<TCellInfo*>(Ptr);
  TList::Notify(Ptr, Action);
}

TCells::TCells(TCustomCellGrid* Grid, Integer RowCount, Integer ColCount) : grid_(Grid) {
  SetCapacity(std::max(ColCount, 0));
  for (Integer c = 0; c < ColCount; ++c) {
    auto* column = new TColCellInfoList(Grid, RowCount, c);
    try {
      Add(column);
    } catch (...) {
      FreeObject(column);
      throw;
    }
  }
}

TCells::~TCells() { Clear(); }

void TCells::Clear() { TList::Clear(); }

void TCells::Notify(Pointer Ptr, TListNotification Action) {
  if (Action == lnDeleted) FreeObject(static_cast<TColCellInfoList*>(Ptr));
  TList::Notify(Ptr, Action);
}

void InitCellInfo(const TCustomCellGrid* Grid, TCellInfo* Cell, Integer ACol, Integer ARow) {
  // From the grid's defaults.
  Cell->DataStyle = Grid->cellDataStyle_;
  Cell->AlignMode = Grid->cellAlignMode_;
  Cell->ReadOnly = Grid->cellReadOnly_;
  Cell->AutoWordBreak = Grid->cellAutoWordBreak_;
  Cell->ShowForeText = Grid->cellShowForeText_;
  Cell->LineWidth = Grid->cellLineWidth_;
  Cell->PenStyle = Grid->cellPenStyle_;
  Cell->MaxLength = Grid->cellMaxLength_;
  Cell->IntLength = Grid->cellIntLength_;
  Cell->DecLength = Grid->cellDecLength_;
  Cell->FontName = Grid->cellFontName_;
  Cell->FontSize = Grid->cellFontSize_;
  Cell->FontColor = Grid->cellFontColor_;
  // Fixed, whatever the cell default properties hold.
  Cell->AllowNegative = true;
  Cell->TrailingZero = false;
  Cell->ZeroNull = false;
  Cell->ThousandSep = false;
  Cell->FontStyle = TFontStyles();
  Cell->Extra = 0;
  Cell->TopLine = false;
  Cell->LeftLine = false;
  Cell->BottomLine = false;
  Cell->RightLine = false;
  Cell->ForeText.clear();
  Cell->BackText.clear();
  Cell->Color = (ACol == 0 || ARow == 0) ? Grid->titleColor_ : Grid->cellColor_;
  Cell->Range = TGridRect{ACol, ARow, ACol, ARow};
}

// ---- Coordinates ----

TGridRect NormalizeCellRect(const TGridCoord& A, const TGridCoord& B) {
  return TGridRect{std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y)};
}

bool CellInRect(Integer ACol, Integer ARow, const TGridRect& Rect) {
  return Rect.Left <= ACol && ACol <= Rect.Right && Rect.Top <= ARow && ARow <= Rect.Bottom;
}

bool RectsShareCell(const TGridRect& R1, const TGridRect& R2) {
  return std::max(R1.Left, R2.Left) <= std::min(R1.Right, R2.Right) &&
         std::max(R1.Top, R2.Top) <= std::min(R1.Bottom, R2.Bottom);
}

void ClampCoord(TGridCoord& Coord, Integer MinCol, Integer MinRow, Integer MaxRow, Integer MaxCol) {
  if (Coord.X > MaxCol) Coord.X = MaxCol;
  if (Coord.X < MinCol) Coord.X = MinCol;
  if (Coord.Y > MaxRow) Coord.Y = MaxRow;
  if (Coord.Y < MinRow) Coord.Y = MinRow;
}

// ---- Number cells ----

String StripThousandSeparators(const String& Text) {
  String s = Text;
  const char sep = FormatSettings.ThousandSeparator;
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == sep) {
      s.erase(i, 1);
      ++i;  // the scan goes on after the deleted position
    } else {
      ++i;
    }
  }
  return Trim(s);
}

String FormatCellNumber(const String& Text, Integer IntLength, Integer DecLength, bool ThousandSep, bool ZeroNull,
                        bool TrailingZero) {
  const String clean = StripThousandSeparators(Text);
  if (clean.empty() || clean == "-" || clean == "0." || clean == "0") return String();
  const Extended value = StrToFloat(clean);
  if (value == 0 && ZeroNull) return String();

  const String picture = "%" + IntToStr(IntLength) + "." + IntToStr(DecLength) + (ThousandSep ? "n" : "f");
  String s = Format(picture, {value});
  // Trailing zeros are decimals only after the decimal separator: a thousands separator that looks like
  // a decimal point ("10.000" with '.' grouping) must keep its zeros.
  const char dec = FormatSettings.DecimalSeparator;
  if (!TrailingZero && s.find(dec) != String::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
  }
  if (!s.empty() && s.back() == dec) s.pop_back();
  return Trim(s);
}
