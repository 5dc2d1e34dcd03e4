// The spreadsheet-style grid: TCustomCellGrid holds every cell's attribute record, the layout of columns
// and rows, the focus and selection, scrolling, painting, keyboard and mouse handling, the in-cell editor
// and cell copy, move and fill; TCellGrid publishes its properties.
//
// Coordinates are (column, row), zero-based. Column 0 holds the row numbers and row 0 the column letters
// (the titles); columns 1..FixedCols and rows 1..FixedRows are frozen; the cells from FirstScrollCol and
// FirstScrollRow on scroll.
//
// The application writes its own texts (fills, titles, translations) straight into the cell records
// (GetCellInfo); SetForeText is the validated path for text the user typed, and it fires OnSetForeText.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "grid/CellModel.h"
#include "platform/classes/Classes.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

K58_DECLARE_EXCEPTION(EInvalidGridOperation, Exception);

[[noreturn]] void RaiseGridError(const String& Message);

namespace cellgridconsts {
// The class library's grid errors.
inline constexpr const char* SIndexOutOfRange = "Grid index out of range";
inline constexpr const char* STooManyDeleted = "Too many rows or columns deleted";
inline constexpr const char* SGridTooLarge = "Grid too large for operation";
// The grid's own message texts. All of them are empty: a box shows only what precedes the text (the cell
// of a conversion failure) under its caption.
inline constexpr const char* SGridInputInvalid = "";
inline constexpr const char* SGridTooManyColumns = "";
inline constexpr const char* SGridBadNumber = "";
inline constexpr const char* SGridBadDate = "";
inline constexpr const char* SGridBadTime = "";
inline constexpr const char* SGridMoveCutsMerged = "";
inline constexpr const char* SGridTargetReadOnly = "";
inline constexpr const char* SGridFillCutsMerged = "";
inline constexpr const char* SGridReplaceTarget = "";
// Captions of the grid's message boxes.
inline constexpr const char* SGridCaution = "Caution";
inline constexpr const char* SGridConfirmation = "Confirmation";
}  // namespace cellgridconsts

// ---- Message boxes ----
// Flags of a grid message box, with the values of the system's message box flags.
namespace k58::grid::box {
inline constexpr UINT OK = 0x0000;
inline constexpr UINT OKCancel = 0x0001;
inline constexpr UINT IconError = 0x0010;
inline constexpr UINT IconQuestion = 0x0020;
inline constexpr UINT IconInformation = 0x0040;
inline constexpr UINT DefButton2 = 0x0100;
inline constexpr Integer IdOK = 1;
inline constexpr Integer IdCancel = 2;
}  // namespace k58::grid::box

// Shows a box and returns the button chosen (IdOK, IdCancel).
using TGridMessageBoxHandler = std::function<Integer(const String& Text, const String& Caption, UINT Flags)>;
// Replaces the routine that shows the grid's boxes (tests record and answer them); an empty handler
// restores the application's message box. Returns the previous handler.
TGridMessageBoxHandler SetGridMessageBoxHandler(TGridMessageBoxHandler Handler);

// "Caution", information icon, OK.
void ShowGridInfo(const String& Text);
// "Caution", error icon, OK.
void ShowGridError(const String& Text);
// "Confirmation", question icon, OK and Cancel (Cancel the default button when Kind is 2); True for OK.
bool ConfirmGrid(const String& Text, Integer Kind);

// ---- Options, draw state, events ----
enum TCellGridOption {
  goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected, goRowSizing,
  goColSizing, goEditing, goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking
};
K58_ENUM_TYPE(TCellGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
              goDrawFocusSelected, goRowSizing, goColSizing, goEditing, goTabs, goRowSelect, goAlwaysShowEditor,
              goThumbTracking)
K58_SET_TYPE(TCellGridOptions, TCellGridOption)

enum TCellGridDrawStateItem { gdSelected, gdFocused, gdFixed, gdTitled };
K58_ENUM_TYPE(TCellGridDrawStateItem, gdSelected, gdFocused, gdFixed, gdTitled)
K58_SET_TYPE(TCellGridDrawState, TCellGridDrawStateItem)

K58_EVENT_TYPE(TSetCellTextEvent, void(TObject* Sender, Integer ACol, Integer ARow, String& Value))
K58_EVENT_TYPE(TCellGridSetEditEvent, void(TObject* Sender, Integer ACol, Integer ARow, const String& Value))
K58_EVENT_TYPE(TCellGridSelectCellEvent, void(TObject* Sender, Integer ACol, Integer ARow, bool& CanSelect))
K58_EVENT_TYPE(TCellGridDrawCellEvent,
               void(TObject* Sender, Integer ACol, Integer ARow, TRect Rect, TCellGridDrawState State))
K58_EVENT_TYPE(TCellRangeChangeEvent, void(TObject* Sender, TGridRect SrcRect, TGridRect DestRect))
K58_EVENT_TYPE(TCellRangeEvent, void(TObject* Sender, TGridRect Range))
K58_EVENT_TYPE(TBeforeSetCellPropEvent, void(TObject* Sender, TGridRect Range, bool& CanSetCellProp))
K58_EVENT_TYPE(TPasteCellsEvent, void(TObject* Sender, TPoint SrcTopLeft, TPoint SrcSize, TGridRect DestRect))

class TCustomCellGrid;
class TInplaceEdit;

// The letters of column title N (the grid passes column - 1): A..Z, then AA..IV; empty outside 0..255.
void ColumnTitleText(Integer N, String& Text);
// Moves to (X1, Y1) and draws a line to (X2, Y2) (the last point is not drawn).
void DrawLine(TCanvas* Canvas, Integer X1, Integer Y1, Integer X2, Integer Y2);

// The layout of one axis for the current client size (columns across, rows down).
struct TGridAxisInfo {
  // GridLineWidth when a line option of the axis is set, else 0. Every cell is followed by a line of
  // this width, drawn or not.
  Integer LineWidth = 0;
  // End of the title cell with its line (0 when the title is hidden).
  Integer TitleBoundary = 0;
  // End of the frozen cells.
  Integer FixedBoundary = 0;
  // End of the last scrolling cell shown; at most the client extent.
  Integer GridBoundary = 0;
  // The client width (height).
  Integer GridExtent = 0;
  Integer LastFullVisibleCell = 0;
  // End of the last fully visible cell.
  Integer FullVisBoundary = 0;
  Integer FixedCellCount = 0;
  Integer FirstGridCell = 0;
  Integer GridCellCount = 0;
  // The grid and the axis, for the extent of a cell.
  const TCustomCellGrid* Grid = nullptr;
  bool IsColumns = true;

  // Width (height) of a cell as the layout counts it: 0 for a hidden title.
  Integer Extent(Integer Index) const;
};

class TCustomCellGrid : public TCustomControl {
  K58_CLASS(TCustomCellGrid, TCustomControl)

  // The modifier keys and the double click of an input event.
  struct TGridShift {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool Double = false;
  };

  explicit TCustomCellGrid(TComponent* AOwner);
  ~TCustomCellGrid() override;
  // The editor goes first, while the grid is whole; a child control freed with the window tree.
  void BeforeDestruction() override;
  // Forgets the editor when it is freed by someone else (its parent's window tree).
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Column widths and row heights are stored as the extra properties "ColWidths" and "RowHeights".
  void DefineProperties(TFiler* Filer) override;

  // ---- Cell records ----
  // The record of a cell; a column or row outside the store raises the list's index error. The pointer
  // stays valid until the column or row is removed.
  TCellInfo* GetCellInfo(Integer ACol, Integer ARow) const;
  TGridRect GetCellRange(Integer ACol, Integer ARow) const;
  TColor GetCellColor(Integer ACol, Integer ARow) const;

  // ---- Merged blocks ----
  bool IsCellMerged(Integer ACol, Integer ARow) const;
  bool RangeHasMerged(const TGridRect& Rect) const;
  // The smallest rectangle holding both cells whose edges no merged block crosses.
  TGridRect ExpandToMergedRanges(const TGridCoord& A, const TGridCoord& B) const;
  // True when no merged block crosses the rectangle's edges.
  bool RangeFitsMerged(const TGridRect& Rect) const;
  // True when closing Rect over merged blocks makes it larger.
  bool RangeCutsMerged(const TGridRect& Rect) const;
  bool RangeHasReadOnly(const TGridRect& Rect) const;

  // ---- Bulk attribute setters ----
  // PropIndex selects the attribute (a TCellProp); Value is the new value, or from cpFontStyle on a
  // pointer to it (a TFontStyles, or zero-terminated text). Title cells are never touched; an index
  // above cpBackText changes nothing.
  void SetColCellProperty(Integer ACol, Integer PropIndex, intptr_t Value);
  void SetRowCellProperty(Integer ARow, Integer PropIndex, intptr_t Value);
  void SetRangeCellProperty(const TGridRect& Rect, Integer PropIndex, intptr_t Value);
  void SetAllCellsProperty(Integer PropIndex, intptr_t Value);

  // ---- Cell texts ----
  void GetForeText(Integer ACol, Integer ARow, String& Value) const;
  void GetBackText(Integer ACol, Integer ARow, String& Value) const;
  // Validates and reformats Value by the cell's data style, stores it and fires OnSetForeText (also when
  // the text is unchanged); the handler's Value is the stored text itself, so what it assigns is the
  // cell's text. A number, date or time that cannot be read shows "Cell[c,r]" in an error box and leaves
  // the cell and its events alone.
  void SetForeText(Integer ACol, Integer ARow, const String& Value);
  // Stores Value and fires OnSetBackText (also when the text is unchanged), Value being the stored text.
  void SetBackText(Integer ACol, Integer ARow, const String& Value);

  // ---- Cell defaults (applied to every data cell when set; InitCellInfo reads them) ----
  TDataStyle CellDataStyle() const { return cellDataStyle_; }
  void SetCellDataStyle(TDataStyle Value);
  TAlignMode CellAlignMode() const { return cellAlignMode_; }
  void SetCellAlignMode(TAlignMode Value);
  bool CellShowForeText() const { return cellShowForeText_; }
  void SetCellShowForeText(bool Value);
  bool CellReadOnly() const { return cellReadOnly_; }
  void SetCellReadOnly(bool Value);
  bool CellAutoWordBreak() const { return cellAutoWordBreak_; }
  void SetCellAutoWordBreak(bool Value);
  Integer CellLineWidth() const { return cellLineWidth_; }
  void SetCellLineWidth(Integer Value);
  TPenStyle CellPenStyle() const { return cellPenStyle_; }
  void SetCellPenStyle(TPenStyle Value);
  bool CellAllowNegative() const { return cellAllowNegative_; }
  void SetCellAllowNegative(bool Value);
  bool CellTrailingZero() const { return cellTrailingZero_; }
  void SetCellTrailingZero(bool Value);
  bool CellZeroNull() const { return cellZeroNull_; }
  void SetCellZeroNull(bool Value);
  bool CellThousandSep() const { return cellThousandSep_; }
  void SetCellThousandSep(bool Value);
  Integer CellMaxLength() const { return cellMaxLength_; }
  void SetCellMaxLength(Integer Value);
  Integer CellIntLength() const { return cellIntLength_; }
  void SetCellIntLength(Integer Value);
  Integer CellDecLength() const { return cellDecLength_; }
  void SetCellDecLength(Integer Value);
  TColor CellColor() const { return cellColor_; }
  void SetCellColor(TColor Value);
  Integer CellFontSize() const { return cellFontSize_; }
  void SetCellFontSize(Integer Value);
  TColor CellFontColor() const { return cellFontColor_; }
  void SetCellFontColor(TColor Value);
  TFontStyles CellFontStyle() const { return cellFontStyle_; }
  void SetCellFontStyle(TFontStyles Value);
  // The face of new cells: "MS Sans Serif".
  const String& CellFontName() const { return cellFontName_; }

  // ---- Counts ----
  Integer ColCount() const { return colCount_; }
  // At most 256 columns and at least 2; refused silently when a removed column holds a merged cell.
  void SetColCount(Integer Value);
  Integer RowCount() const { return rowCount_; }
  void SetRowCount(Integer Value);
  Integer FixedCols() const { return fixedCols_; }
  void SetFixedCols(Integer Value);
  Integer FixedRows() const { return fixedRows_; }
  void SetFixedRows(Integer Value);

  // ---- Column widths and row heights (a negative extent hides the column or row) ----
  Integer GetColWidths(Integer ACol) const;
  void SetColWidths(Integer ACol, Integer AWidth);
  Integer GetRowHeights(Integer ARow) const;
  void SetRowHeights(Integer ARow, Integer AHeight);
  Integer DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(Integer Value);
  Integer DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(Integer Value);
  Integer GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(Integer Value);

  // ---- Layout and hit testing ----
  TGridAxisInfo CalcColAxis() const;
  TGridAxisInfo CalcRowAxis() const;
  TGridCoord CellFromPoint(Integer X, Integer Y) const;
  // Per axis the smallest first scrolling cell that still shows Coord whole.
  TGridCoord CalcMaxTopLeft(const TGridCoord& Coord) const;
  // Pixel rectangle of a range of cells, with the trailing grid lines when IncludeLine.
  TRect CellRangeRect(const TGridRect& Rect, bool IncludeLine) const;
  void GetCellRect(Integer ACol, Integer ARow, TRect& Rect) const;
  Integer VisibleColCount() const;
  Integer VisibleRowCount() const;

  // ---- Focus and selection ----
  TGridCoord Focus() const { return current_; }
  TGridCoord Anchor() const { return anchor_; }
  TGridRect GetSelection() const { return selection_; }
  // Moves the focus; raises "Grid index out of range" outside the grid; does nothing when OnSelectCell
  // refuses the cell.
  void MoveCurrent(Integer ACol, Integer ARow, bool ResetAnchor, bool Show);
  // MoveCurrent unless the cell has the focus already, then places the editor and fires OnClick.
  void FocusCell(Integer ACol, Integer ARow, bool ResetAnchor);
  void MoveAnchor(const TGridCoord& Coord, bool SetSelection);
  // Clamps the corners to the data cells, stores and repaints what changed.
  void SetSelection(const TGridRect& Rect);

  // ---- Scrolling ----
  Integer FirstScrollCol() const { return firstScrollCol_; }
  Integer FirstScrollRow() const { return firstScrollRow_; }
  Integer HorzOffset() const { return horzOffset_; }
  void MoveTopLeft(Integer ALeft, Integer ATop);
  void ScrollIntoView(const TGridCoord& Coord, bool OnlyForward);
  // A scroll bar request: Bar 0 horizontal, 1 vertical; Code 0..7 as the scroll bar's codes.
  void ScrollByCode(Integer Bar, Integer Code, Integer Pos);
  void UpdateScrollPos();
  void UpdateScrollRange();

  // ---- Invalidation ----
  void InvalidateCells(const TGridRect& Rect);
  void InvalidateRow(Integer ARow);
  void InvalidateIfAutoUpdate();

  // ---- Cell copy, move and fill (complete records through the cell block buffer) ----
  // Writes the records of Rect (clamped to the data cells) into the cell block buffer.
  void CopyCellsToBuffer(const TGridRect& Rect);
  // Copies the buffered records into Target (clamped to the data cells), displaced so the buffer's first
  // cell lands on Target's top-left; their blocks move along. Cells outside Target keep their records.
  void PasteCellsFromBuffer(const TGridRect& Target);
  void FreeCellBuffer() { cellBlockBuffer_.clear(); }
  const std::vector<uint8_t>& CellBlockBuffer() const { return cellBlockBuffer_; }
  // Gives every data cell of Rect the attributes and empty texts of a new cell.
  void ResetCells(const TGridRect& Rect);
  // Repeats Source Amount columns (Direction 1) or rows (Direction 2) beside it; a negative Amount fills
  // to the left (upwards). Refused with a message when the target cuts a merged block or holds a
  // read-only cell.
  void FillCells(const TGridRect& Source, Integer Amount, Integer Direction);

  // ---- The in-cell editor's text ----
  virtual bool AcceptsEditChar(char Ch);
  // True unless the editor was loaded with a maximum length of -1.
  virtual bool CanModifyEditor();
  // The text the editor loads for a cell: the fore (back) text of its block's first cell; OnGetEditText.
  virtual void ReadEditorText(Integer ACol, Integer ARow, String& Value);
  // Stores the editor's text into the loaded cell through SetForeText (SetBackText) when it changed;
  // OnSetEditText.
  virtual void WriteEditorText(Integer ACol, Integer ARow, const String& Value);
  // "" unless OnGetEditMask gives one.
  virtual void ReadEditMask(Integer ACol, Integer ARow, String& Value);
  // 0: no limit.
  virtual Integer EditLengthLimit();
  // The editor (nil until first needed).
  TInplaceEdit* InplaceEditor() const { return inplaceEdit_; }
  Integer EditLock() const { return editLock_; }

  // ---- Edit mode ----
  bool Editing() const { return editing_; }
  Integer EditCol() const { return editCol_; }
  Integer EditRow() const { return editRow_; }
  bool CanModifyText() const { return canModifyText_; }
  // On a form: the grid is the form's active control; else its window or one below it has the focus.
  virtual bool GridHasFocus() const;
  void EnterEditMode();
  void LeaveEditMode();
  void PlaceEditor();

  // ---- The control ----
  void Paint() override;
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void DoExit() override;
  void Dispatch(TMessage& Message) override;
  void WMChar(TWMKey& Message) override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
  void WMLButtonDown(TWMMouse& Message) override;
  void WMNCHitTest(TWMNCHitTest& Message) override;
  void WMSetCursor(TWMSetCursor& Message) override;
  void WMSetFocus(TWMSetFocus& Message) override;
  void WMKillFocus(TWMKillFocus& Message) override;
  void WMSize(TWMSize& Message) override;
  void WMHScroll(TWMScroll& Message) override;
  void WMVScroll(TWMScroll& Message) override;
  void WMCancelMode(TWMNoParams& Message) override;
  void WMCommand(TWMCommand& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMCtl3DChanged(TMessage& Message) override;
  void CMDesignHitTest(TWMMouse& Message) override;
  void CMWantSpecialKey(TCMWantSpecialKey& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  // The cursor the grid shows at a point of its client area for a mouse state (0 when the class
  // library's own choice applies).
  TCursor CursorFor(Integer State) const;

  // ---- Properties ----
  // The scroll bars the window has (recreated on a change); a bar shows while it has something to scroll.
  TScrollStyle ScrollBars() const;
  void SetScrollBars(TScrollStyle Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  // Recreates the window.
  void SetBorderStyle(TBorderStyle Value);
  bool AutoUpdate() const { return autoUpdate_; }
  void SetAutoUpdate(bool Value);
  TCellGridOptions Options() const { return options_; }
  void SetOptions(TCellGridOptions Value);
  TColor TitleColor() const { return titleColor_; }
  void SetTitleColor(TColor Value);
  bool ShowColTitle() const { return showColTitle_; }
  void SetShowColTitle(bool Value);
  bool ShowRowTitle() const { return showRowTitle_; }
  void SetShowRowTitle(bool Value);
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool Value) { defaultDrawing_ = Value; }
  // The selection outline is drawn also when the grid has no focus.
  bool AlwaysDrawFocus() const { return alwaysDrawFocus_; }
  void SetAlwaysDrawFocus(bool Value) { alwaysDrawFocus_ = Value; }
  // Lines may be sized in the data area too, not only beside the titles and frozen cells.
  bool ClientSizeable() const { return clientSizeable_; }
  void SetClientSizeable(bool Value) { clientSizeable_ = Value; }
  bool GridCanCopyMove() const { return gridCanCopyMove_; }
  void SetGridCanCopyMove(bool Value) { gridCanCopyMove_ = Value; }
  bool GridCanFill() const { return gridCanFill_; }
  void SetGridCanFill(bool Value) { gridCanFill_ = Value; }
  // Stored only.
  bool ShowPopup() const { return showPopup_; }
  void SetShowPopup(bool Value) { showPopup_ = Value; }
  TColor FixedLineColor() const { return fixedLineColor_; }
  void SetFixedLineColor(TColor Value);
  TColor ClientLineColor() const { return clientLineColor_; }
  void SetClientLineColor(TColor Value);
  TColor HighLightColor() const { return highLightColor_; }
  void SetHighLightColor(TColor Value);
  TColor HighLightTextColor() const { return highLightTextColor_; }
  void SetHighLightTextColor(TColor Value);
  TColor FocusedTitleColor() const { return focusedTitleColor_; }
  void SetFocusedTitleColor(TColor Value);

  // ---- Events ----
  const TSetCellTextEvent& OnSetForeText() const { return onSetForeText_; }
  void SetOnSetForeText(const TSetCellTextEvent& Value) { onSetForeText_ = Value; }
  const TSetCellTextEvent& OnSetBackText() const { return onSetBackText_; }
  void SetOnSetBackText(const TSetCellTextEvent& Value) { onSetBackText_ = Value; }
  const TCellGridSelectCellEvent& OnSelectCell() const { return onSelectCell_; }
  void SetOnSelectCell(const TCellGridSelectCellEvent& Value) { onSelectCell_ = Value; }
  const TNotifyEvent& OnTopLeftChanged() const { return onTopLeftChanged_; }
  void SetOnTopLeftChanged(const TNotifyEvent& Value) { onTopLeftChanged_ = Value; }
  const TCellGridDrawCellEvent& OnDrawCell() const { return onDrawCell_; }
  void SetOnDrawCell(const TCellGridDrawCellEvent& Value) { onDrawCell_ = Value; }
  const TCellRangeChangeEvent& OnCopyMoveCells() const { return onCopyMoveCells_; }
  void SetOnCopyMoveCells(const TCellRangeChangeEvent& Value) { onCopyMoveCells_ = Value; }
  const TCellRangeChangeEvent& OnFillCells() const { return onFillCells_; }
  void SetOnFillCells(const TCellRangeChangeEvent& Value) { onFillCells_ = Value; }
  const TSetCellTextEvent& OnGetEditMask() const { return onGetEditMask_; }
  void SetOnGetEditMask(const TSetCellTextEvent& Value) { onGetEditMask_ = Value; }
  const TSetCellTextEvent& OnGetEditText() const { return onGetEditText_; }
  void SetOnGetEditText(const TSetCellTextEvent& Value) { onGetEditText_ = Value; }
  const TCellGridSetEditEvent& OnSetEditText() const { return onSetEditText_; }
  void SetOnSetEditText(const TCellGridSetEditEvent& Value) { onSetEditText_ = Value; }
  const TCellGridSetEditEvent& OnHideEdit() const { return onHideEdit_; }
  void SetOnHideEdit(const TCellGridSetEditEvent& Value) { onHideEdit_ = Value; }
  // Published for form resources; the grid never fires these.
  const TBeforeSetCellPropEvent& BeforeSetCellProp() const { return beforeSetCellProp_; }
  void SetBeforeSetCellProp(const TBeforeSetCellPropEvent& Value) { beforeSetCellProp_ = Value; }
  const TCellRangeEvent& AfterSetCellProp() const { return afterSetCellProp_; }
  void SetAfterSetCellProp(const TCellRangeEvent& Value) { afterSetCellProp_ = Value; }
  const TCellRangeEvent& OnInsertCol() const { return onInsertCol_; }
  void SetOnInsertCol(const TCellRangeEvent& Value) { onInsertCol_ = Value; }
  const TCellRangeEvent& OnInsertRow() const { return onInsertRow_; }
  void SetOnInsertRow(const TCellRangeEvent& Value) { onInsertRow_ = Value; }
  const TCellRangeEvent& OnInsertCellRight() const { return onInsertCellRight_; }
  void SetOnInsertCellRight(const TCellRangeEvent& Value) { onInsertCellRight_ = Value; }
  const TCellRangeEvent& OnInsertCellDown() const { return onInsertCellDown_; }
  void SetOnInsertCellDown(const TCellRangeEvent& Value) { onInsertCellDown_ = Value; }
  const TCellRangeEvent& OnDeleteCol() const { return onDeleteCol_; }
  void SetOnDeleteCol(const TCellRangeEvent& Value) { onDeleteCol_ = Value; }
  const TCellRangeEvent& OnDeleteRow() const { return onDeleteRow_; }
  void SetOnDeleteRow(const TCellRangeEvent& Value) { onDeleteRow_ = Value; }
  const TCellRangeEvent& OnDeleteCellRight() const { return onDeleteCellRight_; }
  void SetOnDeleteCellRight(const TCellRangeEvent& Value) { onDeleteCellRight_ = Value; }
  const TCellRangeEvent& OnDeleteCellDown() const { return onDeleteCellDown_; }
  void SetOnDeleteCellDown(const TCellRangeEvent& Value) { onDeleteCellDown_ = Value; }
  const TPasteCellsEvent& OnPasteCells() const { return onPasteCells_; }
  void SetOnPasteCells(const TPasteCellsEvent& Value) { onPasteCells_ = Value; }
  const TCellRangeEvent& OnCutCells() const { return onCutCells_; }
  void SetOnCutCells(const TCellRangeEvent& Value) { onCutCells_ = Value; }

 protected:
  // ---- The window, as the grid's logic sees it ----
  // Layout, selection and scrolling reach the window only through these, so they can also run at a fixed
  // client size without one. Bar: 0 horizontal, 1 vertical.
  virtual bool GridWindowExists() const;
  virtual bool GridShowing() const;
  virtual Integer GridClientWidth() const;
  virtual Integer GridClientHeight() const;
  // Marks a pixel rectangle (nullptr: the whole control) for repainting.
  virtual void GridInvalidate(const TRect* Rect, bool Erase);
  // Paints the pending areas at once.
  virtual void GridUpdate();
  // Moves the pixels of Area by (DX, DY) and marks the uncovered parts for repainting.
  virtual void GridScroll(Integer DX, Integer DY, const TRect& Area, bool Erase);
  virtual void GridGetScrollRange(Integer Bar, Integer& Min, Integer& Max) const;
  virtual void GridSetScrollRange(Integer Bar, Integer Min, Integer Max);
  virtual Integer GridGetScrollPos(Integer Bar) const;
  virtual void GridSetScrollPos(Integer Bar, Integer Pos);
  // Width of the character "0" in the grid's font (the line step of pixel scrolling).
  virtual Integer GridCharWidth() const;
  // Takes the focus when the grid can have it (a scroll bar or mouse press).
  virtual void GridTakeFocus();
  // The canvas the grid paints on, its background colour and its 3D look.
  virtual TCanvas* GridCanvas() const;
  virtual TColor GridColor() const;
  virtual bool GridCtl3D() const;
  // Whether the scroll bars are enabled at all (the ScrollBars property).
  bool HorzScrollBarEnabled() const { return scrollHorz_; }
  bool VertScrollBarEnabled() const { return scrollVert_; }
  void SetScrollBarsEnabled(bool Horizontal, bool Vertical);

  // Fires OnSelectCell; False refuses the cell.
  virtual bool CanSelectCell(Integer ACol, Integer ARow);
  virtual bool CanShowEditor();
  // Draws a cell's border lines and text, then fires OnDrawCell. CellRect is the block's rectangle
  // without its trailing grid lines; RegionClip the rectangle of the paint region.
  virtual void DrawCellContent(Integer ACol, Integer ARow, TCellGridDrawState State, TRect CellRect,
                               const TRect& RegionClip);
  // Paints the whole client area on GridCanvas.
  void PaintGrid();
  // Keeps the canvas's clip region, then clips to Rect; RestoreClip selects the kept one again.
  void SaveClipAndClip(TCanvas* Canvas, const TRect& Rect);
  void RestoreClip(TCanvas* Canvas);
  virtual void InsertDeleteLines(Integer Index, Integer Amount, bool IsRows);
  virtual void SizeChanged(Integer OldColCount, Integer OldRowCount);
  virtual void AfterTopLeftMoved();
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();

  void ResizeColumnStore(Integer NewColCount);
  void ResizeRowStore(Integer NewRowCount);
  void InitFocus();
  void ChangeSize(Integer NewColCount, Integer NewRowCount);
  void TopLeftMoved(Integer OldLeft, Integer OldTop);
  void ScrollData(Integer DX, Integer DY);
  void ScrollByPixels(Integer Code, Integer Pos);
  bool HasScrollBar(Integer Bar) const;
  void InvalidateFromColumn(Integer ACol);
  void InvalidateFromRow(Integer ARow);
  void RepaintSelectionChange(const TGridRect& OldSel);
  // Commits the editor's text (then OnHideEdit) and hides the editor; nothing stays loaded.
  void CloseEditor();
  virtual TInplaceEdit* CreateInplaceEditor();
  // Loads the focused cell into the editor.
  void PrepareEditor();
  void CommitEditorText();
  TRect EditorRect() const;

  // ---- Keyboard and mouse ----
  // A key pressed (after OnKeyDown): navigation, selection, Esc, Delete and F2. Key may be cleared.
  void GridKeyDown(Word& Key, TGridShift Shift);
  // A character (after OnKeyPress): Enter switches edit mode unless the editor is always shown.
  void GridKeyPress(char& Key);
  // A button pressed at (X, Y); answers whether OnMouseDown fires.
  bool GridMouseDown(bool LeftButton, TGridShift Shift, Integer X, Integer Y);
  // The pointer moved (before OnMouseMove).
  void GridMouseMove(Integer X, Integer Y);
  // A button other than the right one released; answers whether OnMouseUp fires.
  bool GridMouseUp(Integer X, Integer Y);
  // The wheel turned, after its event; answers whether the wheel counts as handled.
  bool GridMouseWheel(bool Down, bool Handled);
  // Ends a mouse operation (capture lost, a dialog opens).
  void CancelMouseState();
  // Timer 1 while selecting with the mouse: the selection grows towards the pointer at (X, Y).
  void ExtendSelectionStep(Integer X, Integer Y);
  // The mouse-move step of a selection drag at (X, Y).
  void SelectionStep(Integer X, Integer Y);
  virtual bool AcceptsGridKey(Word Key, TGridShift Shift);
  // The nearest index from Index down (up) whose extent is not negative.
  Integer PrevVisibleIndex(Integer Index, bool Columns) const;
  Integer NextVisibleIndex(Integer Index, bool Columns) const;
  TGridCoord KeyPageSizes() const;
  TGridCoord CellCentre(const TGridCoord& Cell) const;
  // Starts editing with Ch (a character message's code unit) as the editor's first input.
  void EnterEditModeWithChar(Word Ch);
  // Switches edit mode on with the caret at the end of the text, or off.
  void ActivateEditor(bool Active);
  // Tells a designer that the form changed (a line was sized in design state).
  virtual void NotifyDesigner();
  // Stops the selection timer.
  virtual void GridKillTimer();
  virtual void GridReleaseCapture();
  // The in-cell editor: caret after its text; a character posted as its first input; the time of the
  // grid's last left press; a cancel-mode message; the grid's font; whether a window is the editor's.
  void EditorCaretToEnd();
  void EditorPostChar(Word Ch);
  void EditorSetClickTime(LONG Time);
  void EditorCancelMode(TMessage& Message);
  void EditorFontChanged();
  bool IsEditorWindow(HWND Window) const;

  // ---- Mouse operations ----
  // What a left press at (X, Y) starts on the selection's frame: 4 move, 5 copy (Ctrl held), 6 fill
  // (the handle), 0 nothing.
  Integer DragKindAt(Integer X, Integer Y) const;
  // Whether a move or copy may drop at DragSource shifted by DragOffset (asks before overwriting text).
  bool CanDropMove();
  bool CanDropFill(const TGridRect& Source, Integer Amount, Integer Direction);
  void DrawMoveOutline();
  void DrawFillOutline();
  // The move, copy and fill drags: start at a press on Cell, follow the pointer, finish at the release.
  // FinishCellDrag answers False when the drop was refused.
  void StartCellDrag(Integer State, const TGridCoord& Cell);
  void TrackCellDrag(Integer State, Integer X, Integer Y);
  bool FinishCellDrag(Integer State);
  // Sizing of a column (State 3) or row (State 2) by its line at (X, Y).
  virtual void GetSizingInfo(Integer X, Integer Y, Integer& Index, Integer& SizingPos, Integer& SizingOfs,
                             Integer& State);
  bool CanSizeColumn(Integer ACol) const { return ACol != 0; }
  bool CanSizeRow(Integer ARow) const { return ARow != 0; }
  void DrawSizingLine();
  bool SizingLineVisible() const;
  Integer SizedExtent() const;
  Integer MouseState() const { return mouseState_; }
  // Whether a key is held down now (Ctrl during the drag test).
  virtual bool GridKeyPressed(Integer VirtKey) const;
  TGridRect DragSource() const { return dragSource_; }
  TGridCoord DragOffset() const { return dragOffset_; }
  TGridRect FillSource() const { return fillSource_; }
  Integer FillDirection() const { return fillDirection_; }
  TGridCoord FillAmount() const { return fillAmount_; }

  bool InDesign() const { return ComponentState().Contains(csDesigning); }

  // The largest first scrolling cell for the current counts.
  TGridCoord MaxTopLeft() const { return CalcMaxTopLeft({colCount_ - 1, rowCount_ - 1}); }

 private:
  friend void InitCellInfo(const TCustomCellGrid* Grid, TCellInfo* Cell, Integer ACol, Integer ARow);
  friend struct TGridAxisInfo;

  void LoadCursors();
  void FreeInplaceEditor();
  void SetCellProperty(Integer ACol, Integer ARow, Integer PropIndex, intptr_t Value);
  void CalcAxis(TGridAxisInfo& Axis, bool IsColumns) const;
  Integer CellStart(const TGridAxisInfo& Axis, Integer Index) const;
  Integer AxisDistance(const TGridAxisInfo& Axis, Integer From, Integer To) const;
  static Integer AxisCellFromPos(const TGridAxisInfo& Axis, Integer Pos);
  static Integer AxisMaxFirst(const TGridAxisInfo& Axis, Integer Coord);
  Integer ScrollStep(const TGridAxisInfo& Axis, Integer Code, Integer Pos, Integer Cur) const;
  void UpdateBarRange(Integer Bar, const TGridAxisInfo& Axis, Integer ColOrRowCount);
  void PasteBuffer(TGridCoord Displacement, const TGridRect& Filter);
  TGridCoord DragCell(Integer X, Integer Y);
  void ScrollToShow(const TGridRect& Rect);
  Integer SizedCellStart() const;
  struct PaintSpan;
  void DrawRegionLines(const PaintSpan& Cols, const PaintSpan& Rows, const TGridAxisInfo& ColAxis,
                       const TGridAxisInfo& RowAxis, bool VertOn, bool HorzOn, TColor LineColor, TColor OffColor);
  void DrawAxisLines(const PaintSpan& Along, const PaintSpan& Across, const TGridAxisInfo& AlongAxis,
                     const TGridAxisInfo& AcrossAxis, bool Vertical, TColor Color);
  void DrawCellRegion(const PaintSpan& Cols, const PaintSpan& Rows, const TGridAxisInfo& ColAxis,
                      const TGridAxisInfo& RowAxis, TCellGridDrawState BaseState);
  void DrawSelectionFrame(const TGridAxisInfo& ColAxis, const TGridAxisInfo& RowAxis);
  void SetExtent(std::optional<std::vector<Integer>>& Extents, Integer Count, Integer Default, Integer Index,
                 Integer Value, bool IsColumns);

  TCells* cells_ = nullptr;

  // Cell defaults.
  TDataStyle cellDataStyle_ = dsText;
  TAlignMode cellAlignMode_ = TAlignMode::taTopLeft;
  bool cellShowForeText_ = true;
  bool cellReadOnly_ = false;
  bool cellAutoWordBreak_ = true;
  Integer cellLineWidth_ = 1;
  TPenStyle cellPenStyle_ = psSolid;
  bool cellAllowNegative_ = true;
  bool cellTrailingZero_ = false;
  bool cellZeroNull_ = true;
  bool cellThousandSep_ = true;
  Integer cellMaxLength_ = 255;
  Integer cellIntLength_ = 3;
  Integer cellDecLength_ = 2;
  TColor cellColor_ = clWhite;
  Integer cellFontSize_ = 8;
  TColor cellFontColor_ = clBlack;
  TFontStyles cellFontStyle_;
  String cellFontName_ = "MS Sans Serif";

  // Layout.
  Integer colCount_ = 5;
  Integer rowCount_ = 5;
  Integer fixedCols_ = 0;
  Integer fixedRows_ = 0;
  Integer defaultColWidth_ = 80;
  Integer defaultRowHeight_ = 30;
  Integer gridLineWidth_ = 1;
  std::optional<std::vector<Integer>> colWidths_;
  std::optional<std::vector<Integer>> rowHeights_;

  // Navigation.
  TGridCoord current_;
  TGridCoord anchor_;
  TGridRect selection_;
  Integer firstScrollCol_ = 1;
  Integer firstScrollRow_ = 1;
  Integer horzOffset_ = 0;
  bool scrollHorz_ = true;
  bool scrollVert_ = true;

  // Properties.
  bool autoUpdate_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  // The last hit-test point, in client coordinates.
  TPoint hitTest_{};
  TCellGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TColor titleColor_ = clBtnFace;
  bool showColTitle_ = true;
  bool showRowTitle_ = true;
  bool defaultDrawing_ = true;
  bool alwaysDrawFocus_ = false;
  bool clientSizeable_ = false;
  bool gridCanCopyMove_ = true;
  bool gridCanFill_ = true;
  bool showPopup_ = true;
  TColor fixedLineColor_ = clBlack;
  TColor clientLineColor_ = 0xC0C0C0;
  TColor highLightColor_ = clBlack;
  TColor highLightTextColor_ = clWhite;
  TColor focusedTitleColor_ = clBlack;

  // Mouse operations.
  Integer mouseState_ = 0;
  Integer sizingIndex_ = -1;
  Integer sizingPos_ = 0;
  Integer sizingOfs_ = 0;
  TGridRect dragSource_;
  TGridCoord dragOrigin_;
  TGridCoord dragOffset_;
  TGridRect fillSource_;
  Integer fillDirection_ = 0;
  TGridCoord fillAmount_;
  std::vector<uint8_t> cellBlockBuffer_;

  // Painting.
  HRGN savedClip_ = nullptr;
  bool hadClip_ = false;

  // Edit mode.
  bool editing_ = false;
  bool canModifyText_ = true;
  Integer editCol_ = -1;
  Integer editRow_ = -1;
  Integer editLock_ = 0;
  TInplaceEdit* inplaceEdit_ = nullptr;

  // Events.
  TSetCellTextEvent onSetForeText_;
  TSetCellTextEvent onSetBackText_;
  TCellGridSelectCellEvent onSelectCell_;
  TNotifyEvent onTopLeftChanged_;
  TCellGridDrawCellEvent onDrawCell_;
  TCellRangeChangeEvent onCopyMoveCells_;
  TCellRangeChangeEvent onFillCells_;
  TSetCellTextEvent onGetEditMask_;
  TSetCellTextEvent onGetEditText_;
  TCellGridSetEditEvent onSetEditText_;
  TCellGridSetEditEvent onHideEdit_;
  TBeforeSetCellPropEvent beforeSetCellProp_;
  TCellRangeEvent afterSetCellProp_;
  TCellRangeEvent onInsertCol_;
  TCellRangeEvent onInsertRow_;
  TCellRangeEvent onInsertCellRight_;
  TCellRangeEvent onInsertCellDown_;
  TCellRangeEvent onDeleteCol_;
  TCellRangeEvent onDeleteRow_;
  TCellRangeEvent onDeleteCellRight_;
  TCellRangeEvent onDeleteCellDown_;
  TPasteCellsEvent onPasteCells_;
  TCellRangeEvent onCutCells_;
};

// The grid as it appears on forms: TCustomCellGrid with its properties published.
class TCellGrid : public TCustomCellGrid {
  K58_CLASS(TCellGrid, TCustomCellGrid)

  explicit TCellGrid(TComponent* AOwner) : TCustomCellGrid(AOwner) {}

  // Editing with the in-cell editor switched on (the caret after the text) or off.
  void SetEditorActive(bool Active);
  // Selects the editor's whole text when there is an editor.
  void SelectAllEditorText();
};
