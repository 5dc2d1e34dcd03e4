// The grid's cell model: the attribute record every cell carries, the column-major store that holds the
// records, cell coordinates and rectangles, and the number formatting of numeric cells.
#pragma once

#include <cstdint>

#include "platform/classes/Classes.h"
#include "platform/forms/Graphics.h"
#include "platform/rtl/Types.h"

class TCustomCellGrid;

// How a cell's fore text is validated and edited.
enum TDataStyle : uint8_t { dsText, dsNumber, dsDate, dsTime, dsFormula };
K58_ENUM_TYPE(TDataStyle, dsText, dsNumber, dsDate, dsTime, dsFormula)

// Placement of a cell's text. A scoped enumeration: the class library's TAlignment owns the plain name
// taCenter, so these values are written TAlignMode::taCenter in code; streams and scripts see the plain
// names.
enum class TAlignMode : uint8_t {
  taTopLeft, taTop, taTopRight, taLeft, taCenter, taRight, taBottomLeft, taBottom, taBottomRight
};
template <>
struct TypeInfoTraits<TAlignMode> {
  static const TTypeInfo* Get();
};

// The attribute a bulk setter (SetColCellProperty, SetRowCellProperty, SetRangeCellProperty,
// SetAllCellsProperty) writes, and how it reads its Value: the low byte up to cpThousandSep and for
// cpPenStyle, the whole 32 bits for the numbers and colours, a pointer to a TFontStyles for cpFontStyle and
// to zero-terminated text from cpFontName on. cpForeText and cpBackText go through the validated text
// setters. Note the order: the right line comes before the bottom line.
enum TCellProp : Integer {
  cpDataStyle = 0,
  cpAlignMode = 1,
  cpReadOnly = 2,
  cpAutoWordBreak = 3,
  cpShowForeText = 4,
  cpTopLine = 5,
  cpLeftLine = 6,
  cpRightLine = 7,
  cpBottomLine = 8,
  cpAllowNegative = 9,
  cpTrailingZero = 10,
  cpZeroNull = 11,
  cpThousandSep = 12,
  cpMaxLength = 13,
  cpIntLength = 14,
  cpDecLength = 15,
  cpLineWidth = 16,
  cpPenStyle = 17,
  cpExtra = 18,
  cpColor = 19,
  cpFontSize = 20,
  cpFontColor = 21,
  cpFontStyle = 22,
  cpFontName = 23,
  cpForeText = 24,
  cpBackText = 25,
};

// A cell of the grid: column X, row Y (both zero-based; column 0 and row 0 are the titles).
struct TGridCoord {
  Integer X = 0;
  Integer Y = 0;
  friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// A rectangle of cells: Left column, Top row, Right column, Bottom row, all inclusive.
struct TGridRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
  TGridCoord TopLeft() const { return {Left, Top}; }
  TGridCoord BottomRight() const { return {Right, Bottom}; }
};

// The attributes of one cell. The fields up to FontStyle are the cell's fixed part, which the cell block
// buffer copies field by field in this order (see CellCopy.cpp).
struct TCellInfo {
  TDataStyle DataStyle = dsText;
  TAlignMode AlignMode = TAlignMode::taTopLeft;
  // The merged block the cell belongs to; a cell that is not merged holds its own coordinates.
  TGridRect Range;
  bool ReadOnly = false;
  bool AutoWordBreak = false;
  // True: the cell shows and edits its fore text; False: its back text.
  bool ShowForeText = true;
  bool TopLine = false;
  bool LeftLine = false;
  bool BottomLine = false;
  bool RightLine = false;
  // Stored, copied and bulk-set; the grid itself does not consult it.
  bool AllowNegative = true;
  bool TrailingZero = false;
  bool ZeroNull = false;
  bool ThousandSep = false;
  // Stored, copied and bulk-set; the grid itself does not consult it.
  Integer MaxLength = 0;
  Integer IntLength = 0;
  Integer DecLength = 0;
  // Pen width of the border lines, in pixels.
  Integer LineWidth = 1;
  TPenStyle PenStyle = psSolid;
  // Free for the application; never interpreted.
  Integer Extra = 0;
  TColor Color = clWhite;
  Integer FontSize = 8;
  TColor FontColor = clBlack;
  TFontStyles FontStyle;
  String FontName;
  // Validated by DataStyle when set through TCustomCellGrid::SetForeText.
  String ForeText;
  // Stored unchanged.
  String BackText;
};

// Copies every attribute and both texts of Source into Dest, but not the merged block (Range).
void CopyCellAttributes(const TCellInfo& Source, TCellInfo& Dest);

// Keeps a cell record alive while an event handler works on one of its texts in place: a record the store
// drops meanwhile (the handler shrank or cleared the grid) is freed when the last pin on it ends, so the
// handler's text stays valid to the end. Pins nest; they belong to the thread that owns the grid.
class TCellPin {
 public:
  explicit TCellPin(TCellInfo* Cell);
  ~TCellPin();
  TCellPin(const TCellPin&) = delete;
  TCellPin& operator=(const TCellPin&) = delete;

  // Called by the store for a record it drops: true when a pin holds it (the pin frees it later).
  static bool Keep(TCellInfo* Cell);

 private:
  TCellInfo* cell_;
  bool dropped_ = false;
  TCellPin* outer_;
};

// One column of the store: one record per row, index = row.
class TColCellInfoList : public TList {
  K58_CLASS(TColCellInfoList, TList)

  // RowCount records, each initialised for (ACol, row) from the grid's cell defaults.
  TColCellInfoList(TCustomCellGrid* Grid, Integer RowCount, Integer ACol);
  ~TColCellInfoList() override;

  // Disposes every record and empties the list.
  void Clear() override;
  // The record of the row; a row outside the list raises the list's index error.
  TCellInfo* Cell(Integer ARow) const { return static_cast<TCellInfo*>(Get(ARow)); }
  // Appends a record initialised for (ACol, its row).
  void AddCell(TCustomCellGrid* Grid, Integer ACol);

 protected:
  void Notify(Pointer Ptr, TListNotification Action) override;
};

// The cell store: one column list per column, index = column, so the record of (ACol, ARow) is item ARow
// of item ACol.
class TCells : public TList {
  K58_CLASS(TCells, TList)

  TCells(TCustomCellGrid* Grid, Integer RowCount, Integer ColCount);
  ~TCells() override;

  // Frees every column list and empties the store.
  void Clear() override;
  TColCellInfoList* Column(Integer ACol) const { return static_cast<TColCellInfoList*>(Get(ACol)); }
  // The record of a cell; a column or row outside the store raises the list's index error.
  TCellInfo* Cell(Integer ACol, Integer ARow) const { return Column(ACol)->Cell(ARow); }
  TCustomCellGrid* Grid() const { return grid_; }

 protected:
  void Notify(Pointer Ptr, TListNotification Action) override;

 private:
  TCustomCellGrid* grid_;
};

// Initialises a new record from the grid's cell defaults for the cell (ACol, ARow): texts empty, the
// record's own coordinates as its block, the title colour for cells of row 0 and column 0.
void InitCellInfo(const TCustomCellGrid* Grid, TCellInfo* Cell, Integer ACol, Integer ARow);

// ---- Coordinates ----
// The rectangle spanned by two cells.
TGridRect NormalizeCellRect(const TGridCoord& A, const TGridCoord& B);
bool CellInRect(Integer ACol, Integer ARow, const TGridRect& Rect);
// True when some cell of R1 lies in R2.
bool RectsShareCell(const TGridRect& R1, const TGridRect& R2);
// Limits Coord to columns MinCol..MaxCol and rows MinRow..MaxRow.
void ClampCoord(TGridCoord& Coord, Integer MinCol, Integer MinRow, Integer MaxRow, Integer MaxCol);

// ---- Number cells ----
// Deletes the locale thousands separators from Text (of two adjacent separators the second stays), then
// trims blanks at both ends.
String StripThousandSeparators(const String& Text);
// The text a number cell stores for Text: empty for an empty text, "-", "0", "0." and (with ZeroNull) a
// zero; otherwise the number formatted with IntLength as field width and DecLength decimals, with
// thousands separators when ThousandSep, and without trailing decimal zeros unless TrailingZero.
// A text that is not a number raises EConvertError.
String FormatCellNumber(const String& Text, Integer IntLength, Integer DecLength, bool ThousandSep, bool ZeroNull,
                        bool TrailingZero);
