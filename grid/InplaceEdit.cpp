// The in-cell editor: loading a cell, its placement over the cell, and how it shares keys, characters,
// clipboard, mouse and focus with the grid; and the grid's edit mode around it.
#include "grid/InplaceEdit.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/Forms.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/ui/WinClipboard.h"

using namespace cellgridconsts;

K58_IMPLEMENT_CLASS(TInplaceEdit) {}

namespace {

constexpr const char* kDateMask = "9999/99/99;1; ";
constexpr const char* kTimeMask = "00:00:00;1; ";

}  // namespace

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  SetTabStop(false);
  SetParentCtl3D(false);
  SetCtl3D(false);
  SetBorderStyle(bsNone);
  SetDoubleBuffered(false);
  SetAutoSelect(false);
}

void TInplaceEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // Long text wraps inside the cell.
  Params.Style = (Params.Style | ES_MULTILINE) & ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

void TInplaceEdit::SetTextMargins() {
  if (!HandleAllocated()) return;
  RECT r{2, 2, Width() - 2, Height()};
  SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
  SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

void TInplaceEdit::LoadCellIntoEditor() {
  SetText(String());
  const TGridCoord focus = Grid->Focus();
  Cell = Grid->GetCellInfo(focus.X, focus.Y);
  String text;
  String mask;
  if (Cell->ShowForeText) {
    switch (Cell->DataStyle) {
      case dsText: Grid->ReadEditMask(focus.X, focus.Y, mask); break;
      case dsDate: mask = kDateMask; break;
      case dsTime: mask = kTimeMask; break;
      default: break;
    }
    SetEditMask(mask);
    Grid->ReadEditorText(focus.X, focus.Y, text);
    if (Cell->DataStyle == dsNumber && Cell->ThousandSep) text = StripThousandSeparators(text);
    SetMaxLength(Grid->EditLengthLimit());
  } else {
    SetEditMask(String());
    Grid->ReadEditorText(focus.X, focus.Y, text);
    SetMaxLength(0);
  }
  SetText(text);
  SetModified(false);
  LoadedText = text;
  SetColor(Cell->Color);
  Font()->SetName(Cell->FontName);
  Font()->SetSize(Cell->FontSize);
  Font()->SetStyle(Cell->FontStyle);
  Font()->SetColor(Cell->FontColor);
}

void TInplaceEdit::InvalidateEditor() {
  if (!HandleAllocated()) return;
  ValidateRect(Handle(), nullptr);
  InvalidateRect(Handle(), nullptr, TRUE);
  if (Grid != nullptr && Grid->HandleAllocated()) {
    const TRect r = BoundsRect();
    ValidateRect(Grid->Handle(), &r);
    InvalidateRect(Grid->Handle(), &r, FALSE);
  }
}

void TInplaceEdit::ShowAt(const TRect& Rect, bool Redraw) {
  if (Rect.right <= Rect.left || Rect.bottom <= Rect.top) {
    HideEditorWindow();
    return;
  }
  HandleNeeded();
  const bool wasVisible = IsWindowVisible(Handle()) != FALSE;
  if (Redraw || !wasVisible) InvalidateEditor();
  SetWindowPos(Handle(), HWND_TOP, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
               SWP_SHOWWINDOW | SWP_NOREDRAW);
  UpdateBounds();
  if (Redraw || !wasVisible) InvalidateEditor();
  SetTextMargins();
  if (Grid != nullptr && Grid->GridHasFocus()) ::SetFocus(Handle());
}

void TInplaceEdit::HideEditorWindow() {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  InvalidateEditor();
  const bool hadFocus = GetFocus() == Handle();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (hadFocus && Grid != nullptr && Grid->HandleAllocated()) ::SetFocus(Grid->Handle());
}

void TInplaceEdit::CaretToEnd() {
  // With a mask the text always holds every position: its end is after the last one filled in, where
  // typing goes on.
  const Integer end = IsMasked() ? FilledEnd() : TextLength();
  SetSelStart(end);
  SetSelLength(0);
}

Integer TInplaceEdit::FilledEnd() {
  const k58::forms::EditMaskLayout layout(EditMask());
  const std::vector<String> shown = k58::forms::SplitChars(EditText());
  Integer end = 0;
  for (Integer i = 0; i < layout.Length() && i < static_cast<Integer>(shown.size()); ++i) {
    const String& c = shown[static_cast<size_t>(i)];
    if (!layout.Positions()[static_cast<size_t>(i)].Literal && c != layout.Blank() && c != " ") end = i + 1;
  }
  return end;
}

bool TInplaceEdit::AcceptEdit() { return true; }

bool TInplaceEdit::EditCanModify() { return Grid == nullptr || Grid->CanModifyEditor(); }

void TInplaceEdit::ValidateError() { ShowGridInfo(SGridInputInvalid); }

String TInplaceEdit::CellText() { return IsMasked() && FilledEnd() == 0 ? String() : Text(); }

// Caret positions count in the text as shown, which with a mask holds every position.
Integer TInplaceEdit::TextLength() { return Utf8Length(IsMasked() ? EditText() : Text()); }

void TInplaceEdit::InsertText(const String& Insert, bool ReplaceSelection) {
  if (!AcceptEdit()) return;
  const String text = Text();
  const Integer start = SelStart();
  const Integer length = ReplaceSelection ? SelLength() : 0;
  const auto bytePos = [&](Integer chars) {
    const Integer total = Utf8Length(text);
    return chars >= total ? static_cast<Integer>(text.size()) : Utf8BytePos(text, chars + 1) - 1;
  };
  const Integer from = bytePos(start);
  const Integer to = bytePos(start + length);
  SetText(text.substr(0, static_cast<size_t>(from)) + Insert + text.substr(static_cast<size_t>(to)));
  SetSelStart(start + Utf8Length(Insert));
  SetSelLength(0);
}

void TInplaceEdit::PasteText() {
  if (!HandleAllocated() || !IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(Handle())) return;
  String clip;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      clip = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  InsertText(clip, true);
}

// ---- Keys ----

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
  const bool ctrl = Shift.Contains(ssCtrl);
  const bool noModifiers = !Shift.Contains(ssShift) && !ctrl && !Shift.Contains(ssAlt);
  const auto toGrid = [&](Word key) {
    Word k = key;
    Grid->KeyDown(k, Shift);
    Key = 0;
  };
  const Integer start = SelStart();
  const Integer length = SelLength();
  const Integer textLength = TextLength();
  // The caret at the text's start (or all selected) and at its end (or all selected).
  const bool atStart = start == 0 && (length == 0 || length == textLength);
  const bool atEnd = (start == 0 || length == 0) && start + length == textLength;

  switch (Key) {
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) toGrid(Key);
      break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: toGrid(Key); break;
    case VK_ESCAPE:
      SetText(LoadedText);
      toGrid(Key);
      break;
    case VK_END:
      if (!ctrl && atEnd) toGrid(VK_RIGHT);
      break;
    case VK_HOME:
      if (!ctrl && atStart) toGrid(VK_LEFT);
      break;
    case VK_LEFT:
      if (!ctrl && atStart) toGrid(Key);
      break;
    case VK_RIGHT:
      if (!ctrl && atEnd) toGrid(Key);
      break;
    case VK_INSERT:
      if (noModifiers)
        toGrid(Key);
      else if (Shift.Contains(ssShift) && !Grid->CanModifyEditor())
        Key = 0;
      break;
    case VK_F2: {
      Grid->OnKeyDown()(Grid, Key, Shift);
      if (Key == VK_F2) CaretToEnd();
      Key = 0;
      break;
    }
    case VK_DELETE:
      if (!Grid->CanModifyEditor()) Key = 0;
      break;
    default: break;
  }
  if (Key == 0) return;
  Grid->OnKeyDown()(Grid, Key, Shift);
  if (Key != 0) inherited::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyUp(Word& Key, TShiftState Shift) { Grid->KeyUp(Key, Shift); }

void TInplaceEdit::KeyPress(char& Key) {
  Grid->KeyPress(Key);
  const auto code = static_cast<unsigned char>(Key);
  if (code >= 32 && !Grid->AcceptsEditChar(Key)) {
    Key = 0;
    MessageBeep(0);
  }
  const bool canModify = Grid->CanModifyEditor();
  switch (Key) {
    case '\b':
    case 22:  // Ctrl+V
    case 24:  // Ctrl+X
      if (!canModify) Key = 0;
      break;
    case '\t':
    case 27: Key = 0; break;
    case '\r':
      if (SelStart() == 0 && SelLength() == TextLength())
        CaretToEnd();
      else
        SelectAll();
      Key = 0;
      break;
    default:
      if (static_cast<unsigned char>(Key) >= 32 && !canModify) Key = 0;
      break;
  }
  if (Key == 0 || Cell == nullptr) return;
  switch (Cell->DataStyle) {
    case dsFormula: break;  // straight to the window
    case dsNumber: {
      const auto c = static_cast<unsigned char>(Key);
      if (c == 3 || c == 8 || c == 9 || c == 13 || c == 22 || c == 24 || c == 26 || c == 27) break;
      // Inserted at the selection's start; the selection stays in the text.
      InsertText(String(1, Key), false);
      Key = 0;
      break;
    }
    default: inherited::KeyPress(Key); break;
  }
}

// ---- Mouse and messages ----

void TInplaceEdit::DblClick() { Grid->DblClick(); }

bool TInplaceEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  return Grid->DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TInplaceEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      // The grid stays the form's focused control while its editor holds the window focus; the message
      // goes straight to the handlers so the editor does not claim that place for itself.
      if (TCustomForm* form = GetParentForm(this)) {
        if (!form->SetFocusedControl(Grid)) return;
      }
      Dispatch(Message);
      return;
    case WM_LBUTTONDOWN: {
      const LONG now = GetMessageTime();
      if (ClickTime != 0 && static_cast<DWORD>(now - ClickTime) < GetDoubleClickTime()) {
        Message.Msg = WM_LBUTTONDBLCLK;
        ClickTime = 0;
      }
      break;
    }
    default: break;
  }
  inherited::WndProc(Message);
}

void TInplaceEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      inherited::Dispatch(Message);
      if (Grid != nullptr && Grid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
      return;
    case WM_CUT:
    case WM_CLEAR:
      if (Grid->CanModifyEditor()) inherited::Dispatch(Message);
      return;
    case WM_PASTE:
      if (!Grid->CanModifyEditor()) return;
      if (Cell != nullptr && Cell->DataStyle != dsText) {
        PasteText();
        return;
      }
      inherited::Dispatch(Message);
      return;
    case CM_SHOWINGCHANGED: return;  // placed by the grid only
    default: inherited::Dispatch(Message);
  }
}

// ---- The grid's edit mode ----

TInplaceEdit* TCustomCellGrid::CreateInplaceEditor() { return new TInplaceEdit(this); }

bool TCustomCellGrid::AcceptsEditChar(char) { return true; }
bool TCustomCellGrid::CanModifyEditor() { return canModifyText_; }
Integer TCustomCellGrid::EditLengthLimit() { return 0; }

void TCustomCellGrid::ReadEditorText(Integer ACol, Integer ARow, String& Value) {
  const TGridRect block = GetCellRange(ACol, ARow);
  const TCellInfo* first = GetCellInfo(block.Left, block.Top);
  Value = GetCellInfo(ACol, ARow)->ShowForeText ? first->ForeText : first->BackText;
  onGetEditText_(this, ACol, ARow, Value);
}

void TCustomCellGrid::WriteEditorText(Integer ACol, Integer ARow, const String& Value) {
  ++editLock_;
  try {
    const TCellInfo* cell = GetCellInfo(editCol_, editRow_);
    if (cell->ShowForeText) {
      if (Value != cell->ForeText) SetForeText(editCol_, editRow_, Value);
    } else if (Value != cell->BackText) {
      SetBackText(editCol_, editRow_, Value);
    }
  } catch (...) {
    --editLock_;
    throw;
  }
  --editLock_;
  onSetEditText_(this, ACol, ARow, Value);
}

void TCustomCellGrid::ReadEditMask(Integer ACol, Integer ARow, String& Value) {
  Value.clear();
  onGetEditMask_(this, ACol, ARow, Value);
}

void TCustomCellGrid::PlaceEditor() {
  if (!CanShowEditor()) return;
  if (inplaceEdit_ == nullptr) {
    inplaceEdit_ = CreateInplaceEditor();
    inplaceEdit_->Grid = this;
    inplaceEdit_->SetParent(this);
    PrepareEditor();
  } else if (current_.X != editCol_ || current_.Y != editRow_) {
    CloseEditor();
    PrepareEditor();
  }
  if (CanShowEditor()) inplaceEdit_->ShowAt(EditorRect(), true);
}

// The focused cell's whole block, 2 pixels inside.
TRect TCustomCellGrid::EditorRect() const {
  const TGridRect block = GetCellRange(current_.X, current_.Y);
  TRect r = CellRangeRect(block, false);
  return TRect{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
}

void TCustomCellGrid::PrepareEditor() {
  editCol_ = current_.X;
  editRow_ = current_.Y;
  inplaceEdit_->LoadCellIntoEditor();
  canModifyText_ = inplaceEdit_->MaxLength() != -1;
  if (!inplaceEdit_->CellText().empty()) inplaceEdit_->CaretToEnd();
}

void TCustomCellGrid::CommitEditorText() {
  if (inplaceEdit_ != nullptr && editCol_ != -1 && editRow_ != -1)
    WriteEditorText(editCol_, editRow_, inplaceEdit_->CellText());
}

void TCustomCellGrid::CloseEditor() {
  if (inplaceEdit_ == nullptr) {
    editCol_ = -1;
    editRow_ = -1;
    return;
  }
  const auto finish = [this] {
    editCol_ = -1;
    editRow_ = -1;
    inplaceEdit_->DoExit();
    inplaceEdit_->HideEditorWindow();
  };
  try {
    CommitEditorText();
    if (editCol_ != -1 && editRow_ != -1 && onHideEdit_) onHideEdit_(this, editCol_, editRow_, inplaceEdit_->CellText());
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TCustomCellGrid::AfterTopLeftMoved() {
  if (editing_ && inplaceEdit_ != nullptr && CanShowEditor()) inplaceEdit_->ShowAt(EditorRect(), false);
  onTopLeftChanged_(this);
}

void TCustomCellGrid::EditorCaretToEnd() {
  if (inplaceEdit_ != nullptr) inplaceEdit_->CaretToEnd();
}

void TCustomCellGrid::EditorPostChar(Word Ch) {
  if (inplaceEdit_ != nullptr && inplaceEdit_->HandleAllocated() && CanShowEditor())
    PostMessage(inplaceEdit_->Handle(), WM_CHAR, Ch, 0);
}

void TCustomCellGrid::EditorSetClickTime(LONG Time) {
  if (inplaceEdit_ != nullptr) inplaceEdit_->ClickTime = Time;
}

void TCustomCellGrid::EditorCancelMode(TMessage& Message) {
  if (inplaceEdit_ != nullptr) inplaceEdit_->Perform(Message.Msg, Message.WParam, Message.LParam);
}

void TCustomCellGrid::EditorFontChanged() {
  if (inplaceEdit_ != nullptr) inplaceEdit_->Font()->Assign(Font());
}

bool TCustomCellGrid::IsEditorWindow(HWND Window) const {
  return Window != nullptr && inplaceEdit_ != nullptr && inplaceEdit_->HandleAllocated() &&
         inplaceEdit_->Handle() == Window;
}

void TCellGrid::SelectAllEditorText() {
  // An empty text selects nothing; with no editor there is nothing to select.
  if (TInplaceEdit* editor = InplaceEditor()) editor->SelectAll();
}
