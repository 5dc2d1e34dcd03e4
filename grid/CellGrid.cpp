// The grid's construction, its cell records, merged blocks, bulk attribute setters, cell texts and
// message boxes.
#include "grid/CellGrid.h"

#include "grid/InplaceEdit.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"

using namespace cellgridconsts;
namespace box = k58::grid::box;

K58_IMPLEMENT_CLASS(TCustomCellGrid) { b.Abstract(); }

void RaiseGridError(const String& Message) { throw EInvalidGridOperation(Message); }

// ---- Message boxes ----

namespace {

TGridMessageBoxHandler& MessageBoxHandler() {
  static TGridMessageBoxHandler handler;
  return handler;
}

Integer GridMessageBox(const String& Text, const String& Caption, UINT Flags) {
  if (MessageBoxHandler()) return MessageBoxHandler()(Text, Caption, Flags);
  return Application != nullptr ? Application->MessageBox(Text, Caption, Flags) : box::IdCancel;
}

}  // namespace

TGridMessageBoxHandler SetGridMessageBoxHandler(TGridMessageBoxHandler Handler) {
  TGridMessageBoxHandler previous = std::move(MessageBoxHandler());
  MessageBoxHandler() = std::move(Handler);
  return previous;
}

void ShowGridInfo(const String& Text) {
  GridMessageBox(Text, SGridCaution, box::OK | box::IconInformation);
}

void ShowGridError(const String& Text) { GridMessageBox(Text, SGridCaution, box::OK | box::IconError); }

bool ConfirmGrid(const String& Text, Integer Kind) {
  UINT flags = box::OKCancel | box::IconQuestion;
  if (Kind == 2) flags |= box::DefButton2;
  return GridMessageBox(Text, SGridConfirmation, flags) == box::IdOK;
}

// ---- Construction ----

TCustomCellGrid::TCustomCellGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
  // The declared defaults are the members' initial values, except the font size of new cells.
  cellFontSize_ = 8;
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  SetBounds(Left(), Top(), colCount_ * defaultColWidth_, rowCount_ * defaultRowHeight_);
  InitFocus();
  LoadCursors();
  cells_ = new TCells(this, rowCount_, colCount_);
  SetDoubleBuffered(true);
}

void TCustomCellGrid::BeforeDestruction() {
  FreeInplaceEditor();
  inherited::BeforeDestruction();
}

void TCustomCellGrid::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != nullptr && AComponent == inplaceEdit_) inplaceEdit_ = nullptr;
}

void TCustomCellGrid::FreeInplaceEditor() {
  if (inplaceEdit_ == nullptr) return;
  TInplaceEdit* editor = inplaceEdit_;
  inplaceEdit_ = nullptr;
  editCol_ = -1;
  editRow_ = -1;
  FreeObject(editor);
}

TCustomCellGrid::~TCustomCellGrid() {
  FreeInplaceEditor();
  // The window goes while the store still answers the messages its destruction sends.
  if (HandleAllocated()) DestroyHandle();
  TCells* cells = cells_;
  cells_ = nullptr;
  FreeObject(cells);
}

// ---- Cell records ----

TCellInfo* TCustomCellGrid::GetCellInfo(Integer ACol, Integer ARow) const { return cells_->Cell(ACol, ARow); }

TGridRect TCustomCellGrid::GetCellRange(Integer ACol, Integer ARow) const { return GetCellInfo(ACol, ARow)->Range; }

TColor TCustomCellGrid::GetCellColor(Integer ACol, Integer ARow) const { return GetCellInfo(ACol, ARow)->Color; }

// ---- Merged blocks ----

bool TCustomCellGrid::IsCellMerged(Integer ACol, Integer ARow) const {
  const TGridRect r = GetCellRange(ACol, ARow);
  return r.Left != r.Right || r.Top != r.Bottom;
}

bool TCustomCellGrid::RangeHasMerged(const TGridRect& Rect) const {
  for (Integer c = Rect.Left; c <= Rect.Right; ++c)
    for (Integer r = Rect.Top; r <= Rect.Bottom; ++r)
      if (IsCellMerged(c, r)) return true;
  return false;
}

TGridRect TCustomCellGrid::ExpandToMergedRanges(const TGridCoord& A, const TGridCoord& B) const {
  const TGridRect ra = GetCellRange(A.X, A.Y);
  const TGridRect rb = GetCellRange(B.X, B.Y);
  TGridRect rect{std::min(ra.Left, rb.Left), std::min(ra.Top, rb.Top), std::max(ra.Right, rb.Right),
                 std::max(ra.Bottom, rb.Bottom)};
  // Every pass only widens the rectangle, and every widening stays inside the store (a block outside
  // it raises the index error), so the loop ends.
  for (;;) {
    const TGridRect before = rect;
    for (Integer c = rect.Left; c <= rect.Right; ++c) {
      rect.Top = std::min(rect.Top, GetCellRange(c, rect.Top).Top);
      rect.Bottom = std::max(rect.Bottom, GetCellRange(c, rect.Bottom).Bottom);
    }
    for (Integer r = rect.Top; r <= rect.Bottom; ++r) {
      rect.Left = std::min(rect.Left, GetCellRange(rect.Left, r).Left);
      rect.Right = std::max(rect.Right, GetCellRange(rect.Right, r).Right);
    }
    if (rect == before) return rect;
  }
}

bool TCustomCellGrid::RangeFitsMerged(const TGridRect& Rect) const {
  for (Integer c = Rect.Left; c <= Rect.Right; ++c) {
    if (GetCellRange(c, Rect.Top).Top != Rect.Top) return false;
    if (GetCellRange(c, Rect.Bottom).Bottom != Rect.Bottom) return false;
  }
  for (Integer r = Rect.Top; r <= Rect.Bottom; ++r) {
    if (GetCellRange(Rect.Left, r).Left != Rect.Left) return false;
    if (GetCellRange(Rect.Right, r).Right != Rect.Right) return false;
  }
  return true;
}

bool TCustomCellGrid::RangeCutsMerged(const TGridRect& Rect) const {
  const TGridRect e = ExpandToMergedRanges(Rect.TopLeft(), Rect.BottomRight());
  return e.Left < Rect.Left || e.Top < Rect.Top || e.Right > Rect.Right || e.Bottom > Rect.Bottom;
}

bool TCustomCellGrid::RangeHasReadOnly(const TGridRect& Rect) const {
  for (Integer c = Rect.Left; c <= Rect.Right; ++c)
    for (Integer r = Rect.Top; r <= Rect.Bottom; ++r)
      if (GetCellInfo(c, r)->ReadOnly) return true;
  return false;
}

// ---- Store resizing ----

void TCustomCellGrid::ResizeColumnStore(Integer NewColCount) {
  if (cells_ == nullptr || NewColCount <= 1) return;
  while (cells_->Count() < NewColCount) {
    auto* column = new TColCellInfoList(this, rowCount_, cells_->Count());
    try {
      cells_->Add(column);
    } catch (...) {
      FreeObject(column);
      throw;
    }
  }
  while (cells_->Count() > NewColCount) cells_->Delete(cells_->Count() - 1);
}

void TCustomCellGrid::ResizeRowStore(Integer NewRowCount) {
  if (cells_ == nullptr || NewRowCount <= 1) return;
  for (Integer c = 0; c < cells_->Count(); ++c) {
    TColCellInfoList* column = cells_->Column(c);
    while (column->Count() < NewRowCount) column->AddCell(this, c);
    while (column->Count() > NewRowCount) column->Delete(column->Count() - 1);
  }
}

// ---- Bulk attribute setters ----

void TCustomCellGrid::SetCellProperty(Integer ACol, Integer ARow, Integer PropIndex, intptr_t Value) {
  const auto low = static_cast<Byte>(Value & 0xFF);
  const auto i32 = static_cast<Integer>(static_cast<uint32_t>(Value));
  const auto text = [Value] { return Value != 0 ? String(reinterpret_cast<const char*>(Value)) : String(); };
  if (PropIndex == cpForeText) {
    SetForeText(ACol, ARow, text());
    return;
  }
  if (PropIndex == cpBackText) {
    SetBackText(ACol, ARow, text());
    return;
  }
  TCellInfo* cell = GetCellInfo(ACol, ARow);
  switch (PropIndex) {
    case cpDataStyle: cell->DataStyle = static_cast<TDataStyle>(low); break;
    case cpAlignMode: cell->AlignMode = static_cast<TAlignMode>(low); break;
    case cpReadOnly: cell->ReadOnly = low != 0; break;
    case cpAutoWordBreak: cell->AutoWordBreak = low != 0; break;
    case cpShowForeText: cell->ShowForeText = low != 0; break;
    case cpTopLine: cell->TopLine = low != 0; break;
    case cpLeftLine: cell->LeftLine = low != 0; break;
    case cpRightLine: cell->RightLine = low != 0; break;
    case cpBottomLine: cell->BottomLine = low != 0; break;
    case cpAllowNegative: cell->AllowNegative = low != 0; break;
    case cpTrailingZero: cell->TrailingZero = low != 0; break;
    case cpZeroNull: cell->ZeroNull = low != 0; break;
    case cpThousandSep: cell->ThousandSep = low != 0; break;
    case cpMaxLength: cell->MaxLength = i32; break;
    case cpIntLength: cell->IntLength = i32; break;
    case cpDecLength: cell->DecLength = i32; break;
    case cpLineWidth: cell->LineWidth = i32; break;
    case cpPenStyle:
      // A pen style the pen does not know is not stored.
      if (low <= psInsideFrame) cell->PenStyle = static_cast<TPenStyle>(low);
      break;
    case cpExtra: cell->Extra = i32; break;
    case cpColor: cell->Color = i32; break;
    case cpFontSize: cell->FontSize = i32; break;
    case cpFontColor: cell->FontColor = i32; break;
    case cpFontStyle:
      cell->FontStyle = Value != 0 ? *reinterpret_cast<const TFontStyles*>(Value) : TFontStyles();
      break;
    case cpFontName: cell->FontName = text(); break;
    default: break;
  }
}

void TCustomCellGrid::SetColCellProperty(Integer ACol, Integer PropIndex, intptr_t Value) {
  if (ACol <= 0 || ACol >= colCount_) return;
  for (Integer r = 1; r < rowCount_; ++r) SetCellProperty(ACol, r, PropIndex, Value);
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetRowCellProperty(Integer ARow, Integer PropIndex, intptr_t Value) {
  if (ARow <= 0 || ARow >= rowCount_) return;
  for (Integer c = 1; c < colCount_; ++c) SetCellProperty(c, ARow, PropIndex, Value);
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetRangeCellProperty(const TGridRect& Rect, Integer PropIndex, intptr_t Value) {
  TGridCoord tl = Rect.TopLeft();
  TGridCoord br = Rect.BottomRight();
  ClampCoord(tl, 1, 1, rowCount_ - 1, colCount_ - 1);
  ClampCoord(br, 1, 1, rowCount_ - 1, colCount_ - 1);
  for (Integer c = tl.X; c <= br.X; ++c)
    for (Integer r = tl.Y; r <= br.Y; ++r) SetCellProperty(c, r, PropIndex, Value);
  InvalidateCells(TGridRect{tl.X, tl.Y, br.X, br.Y});
}

void TCustomCellGrid::SetAllCellsProperty(Integer PropIndex, intptr_t Value) {
  for (Integer c = 1; c < colCount_; ++c)
    for (Integer r = 1; r < rowCount_; ++r) SetCellProperty(c, r, PropIndex, Value);
  InvalidateIfAutoUpdate();
}

// ---- Cell defaults ----

void TCustomCellGrid::SetCellDataStyle(TDataStyle Value) {
  SetAllCellsProperty(cpDataStyle, Value);
  cellDataStyle_ = Value;
}
void TCustomCellGrid::SetCellAlignMode(TAlignMode Value) {
  SetAllCellsProperty(cpAlignMode, static_cast<intptr_t>(Value));
  cellAlignMode_ = Value;
}
void TCustomCellGrid::SetCellShowForeText(bool Value) {
  SetAllCellsProperty(cpShowForeText, Value);
  cellShowForeText_ = Value;
}
void TCustomCellGrid::SetCellReadOnly(bool Value) {
  SetAllCellsProperty(cpReadOnly, Value);
  cellReadOnly_ = Value;
}
void TCustomCellGrid::SetCellAutoWordBreak(bool Value) {
  SetAllCellsProperty(cpAutoWordBreak, Value);
  cellAutoWordBreak_ = Value;
}
void TCustomCellGrid::SetCellLineWidth(Integer Value) {
  SetAllCellsProperty(cpLineWidth, Value);
  cellLineWidth_ = Value;
}
void TCustomCellGrid::SetCellPenStyle(TPenStyle Value) {
  SetAllCellsProperty(cpPenStyle, Value);
  cellPenStyle_ = Value;
}
void TCustomCellGrid::SetCellAllowNegative(bool Value) {
  SetAllCellsProperty(cpAllowNegative, Value);
  cellAllowNegative_ = Value;
}
void TCustomCellGrid::SetCellTrailingZero(bool Value) {
  SetAllCellsProperty(cpTrailingZero, Value);
  cellTrailingZero_ = Value;
}
void TCustomCellGrid::SetCellZeroNull(bool Value) {
  SetAllCellsProperty(cpZeroNull, Value);
  cellZeroNull_ = Value;
}
void TCustomCellGrid::SetCellThousandSep(bool Value) {
  SetAllCellsProperty(cpThousandSep, Value);
  cellThousandSep_ = Value;
}
void TCustomCellGrid::SetCellMaxLength(Integer Value) {
  SetAllCellsProperty(cpMaxLength, Value);
  cellMaxLength_ = Value;
}
void TCustomCellGrid::SetCellIntLength(Integer Value) {
  SetAllCellsProperty(cpIntLength, Value);
  cellIntLength_ = Value;
}
void TCustomCellGrid::SetCellDecLength(Integer Value) {
  SetAllCellsProperty(cpDecLength, Value);
  cellDecLength_ = Value;
}
void TCustomCellGrid::SetCellColor(TColor Value) {
  SetAllCellsProperty(cpColor, Value);
  cellColor_ = Value;
}
void TCustomCellGrid::SetCellFontSize(Integer Value) {
  SetAllCellsProperty(cpFontSize, Value);
  cellFontSize_ = Value;
}
void TCustomCellGrid::SetCellFontColor(TColor Value) {
  SetAllCellsProperty(cpFontColor, Value);
  cellFontColor_ = Value;
}
void TCustomCellGrid::SetCellFontStyle(TFontStyles Value) {
  SetAllCellsProperty(cpFontStyle, reinterpret_cast<intptr_t>(&Value));
  cellFontStyle_ = Value;
}

// ---- Cell texts ----

void TCustomCellGrid::GetForeText(Integer ACol, Integer ARow, String& Value) const {
  Value = GetCellInfo(ACol, ARow)->ForeText;
}

void TCustomCellGrid::GetBackText(Integer ACol, Integer ARow, String& Value) const {
  Value = GetCellInfo(ACol, ARow)->BackText;
}

namespace {

// Fires a text event whose Value is the stored text itself: what the handler assigns is the cell's text at
// once, and what it writes into the record it sees in Value. The record is pinned so a handler that
// shrinks the grid still writes into live memory.
template <class Field>
void FireCellTextEvent(TCustomCellGrid* Grid, const TSetCellTextEvent& Event, Integer ACol, Integer ARow,
                       Field field) {
  if (!Event) return;
  TCellInfo* cell = Grid->GetCellInfo(ACol, ARow);
  TCellPin pin(cell);
  Event(Grid, ACol, ARow, cell->*field);
}

}  // namespace

void TCustomCellGrid::SetForeText(Integer ACol, Integer ARow, const String& Value) {
  TCellInfo* cell = GetCellInfo(ACol, ARow);
  if (Value != cell->ForeText) {
    String text = Value;
    const char* failure = nullptr;
    try {
      switch (cell->DataStyle) {
        case dsNumber:
          failure = SGridBadNumber;
          text = FormatCellNumber(Value, cell->IntLength, cell->DecLength, cell->ThousandSep, cell->ZeroNull,
                                  cell->TrailingZero);
          break;
        case dsDate:
          failure = SGridBadDate;
          if (!Value.empty()) text = FormatDateTime("yyyy-mm-dd", StrToDate(Value));
          break;
        case dsTime:
          failure = SGridBadTime;
          if (!Value.empty()) text = FormatDateTime("hh:nn:ss", StrToTime(Value));
          break;
        default:
          break;
      }
    } catch (const EConvertError&) {
      ShowGridError("Cell[" + IntToStr(ACol) + "," + IntToStr(ARow) + "]" + failure);
      return;
    }
    cell->ForeText = text;
    if (cell->ShowForeText) InvalidateCells(cell->Range);
  }
  FireCellTextEvent(this, onSetForeText_, ACol, ARow, &TCellInfo::ForeText);
}

void TCustomCellGrid::SetBackText(Integer ACol, Integer ARow, const String& Value) {
  TCellInfo* cell = GetCellInfo(ACol, ARow);
  if (Value != cell->BackText) {
    cell->BackText = Value;
    if (!cell->ShowForeText) InvalidateCells(cell->Range);
  }
  FireCellTextEvent(this, onSetBackText_, ACol, ARow, &TCellInfo::BackText);
}

// ---- Properties ----

void TCustomCellGrid::SetAutoUpdate(bool Value) {
  autoUpdate_ = Value;
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetOptions(TCellGridOptions Value) {
  if (Value == options_) return;
  if (Value.Contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
  options_ = Value;
  if (!editing_) {
    if (Value.Contains(goAlwaysShowEditor))
      EnterEditMode();
    else
      LeaveEditMode();
  }
  if (Value.Contains(goRowSelect)) MoveCurrent(current_.X, current_.Y, true, false);
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetTitleColor(TColor Value) {
  if (Value == titleColor_) return;
  titleColor_ = Value;
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetShowColTitle(bool Value) {
  if (Value == showColTitle_) return;
  showColTitle_ = Value;
  GridInvalidate(nullptr, false);
}

void TCustomCellGrid::SetShowRowTitle(bool Value) {
  if (Value == showRowTitle_) return;
  showRowTitle_ = Value;
  GridInvalidate(nullptr, false);
}

void TCustomCellGrid::SetGridLineWidth(Integer Value) {
  if (Value == gridLineWidth_) return;
  gridLineWidth_ = Value;
  InvalidateIfAutoUpdate();
}



// ---- Edit mode (the editor itself comes with the control) ----

bool TCustomCellGrid::CanShowEditor() {
  if (!options_.Contains(goEditing) || options_.Contains(goRowSelect)) return false;
  if (!editing_ || InDesign() || !HandleAllocated()) return false;
  if (!options_.Contains(goAlwaysShowEditor) && !GridHasFocus()) return false;
  return !GetCellInfo(current_.X, current_.Y)->ReadOnly;
}

void TCustomCellGrid::EnterEditMode() {
  if (current_.X < firstScrollCol_ || current_.Y < firstScrollRow_) {
    const TGridCoord maxTL = MaxTopLeft();
    Integer left = firstScrollCol_;
    Integer top = firstScrollRow_;
    if (current_.X < firstScrollCol_) left = std::max(fixedCols_ + 1, std::min(current_.X, maxTL.X));
    if (current_.Y < firstScrollRow_) top = std::max(fixedRows_ + 1, std::min(current_.Y, maxTL.Y));
    MoveTopLeft(left, top);
  }
  editing_ = true;
  PlaceEditor();
}

void TCustomCellGrid::LeaveEditMode() {
  editing_ = false;
  CloseEditor();
}



// ---- The published class ----

void TCellGrid::SetEditorActive(bool Active) { ActivateEditor(Active); }


K58_IMPLEMENT_CLASS(TCellGrid) {
  using G = TCustomCellGrid;
  PublishControl(b, {"Align", "Anchors", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled", "Font",
                     "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Visible"});
  b.Prop("Color", &TControl::Color, &TControl::SetColor).Type(TColorTypeInfo()).Default(clWindow);
  b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
  b.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Stored(&TWinControl::IsCtl3DStored);
  b.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  b.Prop("BorderStyle", &G::BorderStyle, &G::SetBorderStyle).Type(TBorderStyleTypeInfo()).Default(bsSingle);
  b.Prop("AlwaysDrawFocus", &G::AlwaysDrawFocus, &G::SetAlwaysDrawFocus).Default(false);
  b.Prop("AutoUpdate", &G::AutoUpdate, &G::SetAutoUpdate).Default(true);
  b.Prop("ClientSizeable", &G::ClientSizeable, &G::SetClientSizeable).Default(false);
  b.Prop("ColCount", &G::ColCount, &G::SetColCount).Default(5);
  b.Prop("RowCount", &G::RowCount, &G::SetRowCount).Default(5);
  b.Prop("FixedCols", &G::FixedCols, &G::SetFixedCols).Default(0);
  b.Prop("FixedRows", &G::FixedRows, &G::SetFixedRows).Default(0);
  b.Prop("DefaultColWidth", &G::DefaultColWidth, &G::SetDefaultColWidth).Default(80);
  b.Prop("DefaultRowHeight", &G::DefaultRowHeight, &G::SetDefaultRowHeight).Default(30);
  b.Prop("DefaultDrawing", &G::DefaultDrawing, &G::SetDefaultDrawing).Default(true);
  b.Prop("FixedLineColor", &G::FixedLineColor, &G::SetFixedLineColor).Type(TColorTypeInfo()).Default(0);
  b.Prop("ClientLineColor", &G::ClientLineColor, &G::SetClientLineColor).Type(TColorTypeInfo()).Default(0xC0C0C0);
  b.Prop("GridLineWidth", &G::GridLineWidth, &G::SetGridLineWidth).Default(1);
  b.Prop("Options", &G::Options, &G::SetOptions)
      .Default(TCellGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect});
  b.Prop("GridCanCopyMove", &G::GridCanCopyMove, &G::SetGridCanCopyMove).Default(true);
  b.Prop("GridCanFill", &G::GridCanFill, &G::SetGridCanFill).Default(true);
  b.Prop("ScrollBars", &G::ScrollBars, &G::SetScrollBars).Default(ssBoth);
  b.Prop("ShowPopup", &G::ShowPopup, &G::SetShowPopup).Default(true);
  b.Prop("VisibleColCount", &G::VisibleColCount);
  b.Prop("VisibleRowCount", &G::VisibleRowCount);
  b.Prop("HighLightColor", &G::HighLightColor, &G::SetHighLightColor).Type(TColorTypeInfo()).Default(0);
  b.Prop("HighLightTextColor", &G::HighLightTextColor, &G::SetHighLightTextColor)
      .Type(TColorTypeInfo())
      .Default(0xFFFFFF);
  b.Prop("TitleColor", &G::TitleColor, &G::SetTitleColor).Type(TColorTypeInfo()).Default(clBtnFace);
  b.Prop("FocusedTitleColor", &G::FocusedTitleColor, &G::SetFocusedTitleColor).Type(TColorTypeInfo()).Default(0);
  b.Prop("ShowColTitle", &G::ShowColTitle, &G::SetShowColTitle).Default(true);
  b.Prop("ShowRowTitle", &G::ShowRowTitle, &G::SetShowRowTitle).Default(true);
  b.Prop("CellDataStyle", &G::CellDataStyle, &G::SetCellDataStyle).Default(dsText);
  b.Prop("CellAlignMode", &G::CellAlignMode, &G::SetCellAlignMode).Default(TAlignMode::taTopLeft);
  b.Prop("CellShowForeText", &G::CellShowForeText, &G::SetCellShowForeText).Default(true);
  b.Prop("CellReadOnly", &G::CellReadOnly, &G::SetCellReadOnly).Default(false);
  b.Prop("CellAutoWordBreak", &G::CellAutoWordBreak, &G::SetCellAutoWordBreak).Default(true);
  b.Prop("CellLineWidth", &G::CellLineWidth, &G::SetCellLineWidth).Default(1);
  b.Prop("CellPenStyle", &G::CellPenStyle, &G::SetCellPenStyle).Default(psSolid);
  b.Prop("CellAllowNegative", &G::CellAllowNegative, &G::SetCellAllowNegative).Default(true);
  b.Prop("CellTrailingZero", &G::CellTrailingZero, &G::SetCellTrailingZero).Default(false);
  b.Prop("CellZeroNull", &G::CellZeroNull, &G::SetCellZeroNull).Default(true);
  b.Prop("CellThousandSep", &G::CellThousandSep, &G::SetCellThousandSep).Default(true);
  b.Prop("CellMaxLength", &G::CellMaxLength, &G::SetCellMaxLength).Default(255);
  b.Prop("CellIntLength", &G::CellIntLength, &G::SetCellIntLength).Default(3);
  b.Prop("CellDecLength", &G::CellDecLength, &G::SetCellDecLength).Default(2);
  b.Prop("CellColor", &G::CellColor, &G::SetCellColor).Type(TColorTypeInfo()).Default(0xFFFFFF);
  // Declared 9, set to 8 by the constructor: a stored 9 is not written and loads as 8.
  b.Prop("CellFontSize", &G::CellFontSize, &G::SetCellFontSize).Default(9);
  b.Prop("CellFontColor", &G::CellFontColor, &G::SetCellFontColor).Type(TColorTypeInfo()).Default(0);
  b.Prop("CellFontStyle", &G::CellFontStyle, &G::SetCellFontStyle).Default(TFontStyles());

  b.Prop("OnDrawCell", &G::OnDrawCell, &G::SetOnDrawCell);
  b.Prop("OnGetEditMask", &G::OnGetEditMask, &G::SetOnGetEditMask).Type("TGetEditEvent");
  b.Prop("OnGetEditText", &G::OnGetEditText, &G::SetOnGetEditText).Type("TGetEditEvent");
  b.Prop("OnSetEditText", &G::OnSetEditText, &G::SetOnSetEditText);
  b.Prop("OnHideEdit", &G::OnHideEdit, &G::SetOnHideEdit).Type("THideEditEvent");
  b.Prop("OnSelectCell", &G::OnSelectCell, &G::SetOnSelectCell);
  b.Prop("OnSetForeText", &G::OnSetForeText, &G::SetOnSetForeText);
  b.Prop("OnSetBackText", &G::OnSetBackText, &G::SetOnSetBackText);
  b.Prop("OnTopLeftChanged", &G::OnTopLeftChanged, &G::SetOnTopLeftChanged);
  b.Prop("OnCopyMoveCells", &G::OnCopyMoveCells, &G::SetOnCopyMoveCells);
  b.Prop("OnFillCells", &G::OnFillCells, &G::SetOnFillCells);
  b.Prop("BeforeSetCellProp", &G::BeforeSetCellProp, &G::SetBeforeSetCellProp);
  b.Prop("AfterSetCellProp", &G::AfterSetCellProp, &G::SetAfterSetCellProp);
  b.Prop("OnInsertCol", &G::OnInsertCol, &G::SetOnInsertCol);
  b.Prop("OnInsertRow", &G::OnInsertRow, &G::SetOnInsertRow);
  b.Prop("OnInsertCellRight", &G::OnInsertCellRight, &G::SetOnInsertCellRight);
  b.Prop("OnInsertCellDown", &G::OnInsertCellDown, &G::SetOnInsertCellDown);
  b.Prop("OnDeleteCol", &G::OnDeleteCol, &G::SetOnDeleteCol);
  b.Prop("OnDeleteRow", &G::OnDeleteRow, &G::SetOnDeleteRow);
  b.Prop("OnDeleteCellRight", &G::OnDeleteCellRight, &G::SetOnDeleteCellRight);
  b.Prop("OnDeleteCellDown", &G::OnDeleteCellDown, &G::SetOnDeleteCellDown);
  b.Prop("OnPasteCells", &G::OnPasteCells, &G::SetOnPasteCells);
  b.Prop("OnCutCells", &G::OnCutCells, &G::SetOnCutCells);
  PublishControl(b, {"OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter",
                     "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp",
                     "OnMouseWheelDown", "OnMouseWheelUp", "OnStartDock", "OnStartDrag"});
}
