// The grid as a control: its window (creation parameters, painting, scroll bars, focus, cursors) and the
// messages and input operations of the class library that lead to the grid's own handling.
#include <algorithm>

#include "grid/CellGrid.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Forms.h"
#include "platform/win/ui/UiExt.h"

namespace {

constexpr Integer kBarHorz = 0;
constexpr Integer kBarVert = 1;

TCustomCellGrid::TGridShift ToGridShift(TShiftState Shift) {
  TCustomCellGrid::TGridShift s;
  s.Shift = Shift.Contains(ssShift);
  s.Ctrl = Shift.Contains(ssCtrl);
  s.Alt = Shift.Contains(ssAlt);
  s.Double = Shift.Contains(ssDouble);
  return s;
}

// A monochrome cursor of the program's resources (.cur: one 32 x 32 image with its masks), made into a
// cursor and registered under its name, so later loads find it.
HCURSOR LoadGridCursor(const char* Name) {
  if (HCURSOR cursor = LoadCursor(HInstance, Name)) return cursor;
  try {
    TResourceStream stream(HInstance, Name, "CURSOR");
    std::vector<uint8_t> b(static_cast<size_t>(stream.Size()));
    if (!b.empty()) stream.ReadBuffer(b.data(), static_cast<Integer>(b.size()));
    const auto u16 = [&](size_t at) { return at + 2 <= b.size() ? static_cast<int>(b[at] | (b[at + 1] << 8)) : 0; };
    const auto u32 = [&](size_t at) {
      return at + 4 <= b.size() ? static_cast<uint32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                                        (static_cast<uint32_t>(b[at + 3]) << 24))
                                : 0u;
    };
    if (u16(2) != 2 || u16(4) < 1) return nullptr;
    const int width = b.size() > 6 && b[6] != 0 ? b[6] : 256;
    const int height = b.size() > 7 && b[7] != 0 ? b[7] : 256;
    const int hotX = u16(10);
    const int hotY = u16(12);
    const size_t image = u32(18);
    const size_t headerSize = u32(image);
    if (u16(image + 14) != 1) return nullptr;  // monochrome only
    const size_t rowBytes = static_cast<size_t>((width + 31) / 32 * 4);
    const size_t xorAt = image + headerSize + 8;  // after the two palette entries
    const size_t andAt = xorAt + rowBytes * static_cast<size_t>(height);
    if (andAt + rowBytes * static_cast<size_t>(height) > b.size()) return nullptr;
    // CreateCursor takes word-aligned rows, top row first.
    const size_t outRow = static_cast<size_t>((width + 15) / 16 * 2);
    std::vector<BYTE> andPlane(outRow * static_cast<size_t>(height)), xorPlane(andPlane.size());
    for (int y = 0; y < height; ++y) {
      const size_t from = static_cast<size_t>(height - 1 - y) * rowBytes;
      for (size_t x = 0; x < outRow; ++x) {
        andPlane[static_cast<size_t>(y) * outRow + x] = b[andAt + from + x];
        xorPlane[static_cast<size_t>(y) * outRow + x] = b[xorAt + from + x];
      }
    }
    HCURSOR cursor = CreateCursor(HInstance, hotX, hotY, width, height, andPlane.data(), xorPlane.data());
    if (cursor != nullptr) k58::winui::RegisterCursorResource(HInstance, Name, cursor);
    return cursor;
  } catch (const Exception&) {
    return nullptr;
  }
}

}  // namespace

// ---- The window as the grid's logic sees it ----

bool TCustomCellGrid::GridWindowExists() const { return HandleAllocated(); }

bool TCustomCellGrid::GridShowing() const { return Showing(); }

Integer TCustomCellGrid::GridClientWidth() const { return const_cast<TCustomCellGrid*>(this)->ClientWidth(); }

Integer TCustomCellGrid::GridClientHeight() const { return const_cast<TCustomCellGrid*>(this)->ClientHeight(); }

void TCustomCellGrid::GridInvalidate(const TRect* Rect, bool Erase) {
  if (HandleAllocated()) InvalidateRect(Handle(), Rect, Erase);
}

void TCustomCellGrid::GridUpdate() { Update(); }

void TCustomCellGrid::GridScroll(Integer DX, Integer DY, const TRect& Area, bool Erase) {
  if (!HandleAllocated()) return;
  ScrollWindowEx(Handle(), DX, DY, &Area, &Area, nullptr, nullptr, SW_INVALIDATE | (Erase ? SW_ERASE : 0));
}

void TCustomCellGrid::GridGetScrollRange(Integer Bar, Integer& Min, Integer& Max) const {
  Min = Max = 0;
  auto* self = const_cast<TCustomCellGrid*>(this);
  if (HandleAllocated()) GetScrollRange(self->Handle(), Bar == kBarHorz ? SB_HORZ : SB_VERT, &Min, &Max);
}

void TCustomCellGrid::GridSetScrollRange(Integer Bar, Integer Min, Integer Max) {
  if (HandleAllocated()) SetScrollRange(Handle(), Bar == kBarHorz ? SB_HORZ : SB_VERT, Min, Max, TRUE);
}

Integer TCustomCellGrid::GridGetScrollPos(Integer Bar) const {
  auto* self = const_cast<TCustomCellGrid*>(this);
  return HandleAllocated() ? GetScrollPos(self->Handle(), Bar == kBarHorz ? SB_HORZ : SB_VERT) : 0;
}

void TCustomCellGrid::GridSetScrollPos(Integer Bar, Integer Pos) {
  if (HandleAllocated()) SetScrollPos(Handle(), Bar == kBarHorz ? SB_HORZ : SB_VERT, Pos, TRUE);
}

Integer TCustomCellGrid::GridCharWidth() const {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  return canvas->TextWidth("0");
}

void TCustomCellGrid::GridTakeFocus() {
  if (InDesign()) return;
  if (Visible() && CanFocus() && TabStop()) SetFocus();
}

TCanvas* TCustomCellGrid::GridCanvas() const { return Canvas(); }

TColor TCustomCellGrid::GridColor() const { return Color(); }

bool TCustomCellGrid::GridCtl3D() const { return Ctl3D(); }

bool TCustomCellGrid::GridKeyPressed(Integer VirtKey) const { return GetKeyState(VirtKey) < 0; }

void TCustomCellGrid::GridKillTimer() {
  if (HandleAllocated()) KillTimer(Handle(), 1);
}

void TCustomCellGrid::GridReleaseCapture() { SetMouseCapture(false); }

bool TCustomCellGrid::GridHasFocus() const {
  auto* self = const_cast<TCustomCellGrid*>(this);
  if (TCustomForm* form = GetParentForm(self)) return form->ActiveControl() == self;
  if (!HandleAllocated()) return false;
  const HWND focus = GetFocus();
  return focus == self->Handle() || (focus != nullptr && IsChild(self->Handle(), focus));
}

// ---- Construction pieces of the control ----

// The screen's cursors of the grid: 1001 its normal cursor, 1002 and 1003 registered but not used.
void TCustomCellGrid::LoadCursors() {
  if (Screen == nullptr) return;
  static const struct {
    Integer Number;
    const char* Name;
  } kCursors[] = {{1001, "EXCEL"}, {1002, "ZOOMIN"}, {1003, "ZOOMOUT"}};
  for (const auto& c : kCursors)
    if (HCURSOR cursor = LoadGridCursor(c.Name)) Screen->SetCursors(c.Number, cursor);
}

void TCustomCellGrid::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  if (scrollVert_) Params.Style |= WS_VSCROLL;
  if (scrollHorz_) Params.Style |= WS_HSCROLL;
  Params.WindowClass.style = CS_DBLCLKS;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      Params.Style &= ~WS_BORDER;
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
}

void TCustomCellGrid::SetBorderStyle(TBorderStyle Value) {
  if (Value == borderStyle_) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomCellGrid::SetScrollBarsEnabled(bool Horizontal, bool Vertical) {
  if (Horizontal == scrollHorz_ && Vertical == scrollVert_) return;
  scrollHorz_ = Horizontal;
  scrollVert_ = Vertical;
  RecreateWnd();
}

TScrollStyle TCustomCellGrid::ScrollBars() const {
  if (scrollHorz_) return scrollVert_ ? ssBoth : ssHorizontal;
  return scrollVert_ ? ssVertical : ssNone;
}

void TCustomCellGrid::SetScrollBars(TScrollStyle Value) {
  SetScrollBarsEnabled(Value == ssHorizontal || Value == ssBoth, Value == ssVertical || Value == ssBoth);
}

void TCustomCellGrid::Paint() { PaintGrid(); }

// ---- Keyboard ----

void TCustomCellGrid::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  GridKeyDown(Key, ToGridShift(Shift));
}

void TCustomCellGrid::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  GridKeyPress(Key);
}

void TCustomCellGrid::WMChar(TWMKey& Message) {
  const Word ch = Message.CharCode();
  // Any code unit from 32 on starts editing, so text from an input method (Chinese) is taken too.
  if (options_.Contains(goEditing) && (ch == VK_BACK || ch >= 32))
    EnterEditModeWithChar(ch);
  else
    inherited::WMChar(Message);
}

void TCustomCellGrid::CMWantSpecialKey(TCMWantSpecialKey& Message) {
  inherited::CMWantSpecialKey(Message);
  if (options_.Contains(goEditing) && Message.CharCode() == VK_RETURN) Message.Result = 1;
}

void TCustomCellGrid::DoExit() {
  inherited::DoExit();
  if (!options_.Contains(goAlwaysShowEditor)) LeaveEditMode();
}

// ---- Mouse ----

void TCustomCellGrid::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (GridMouseDown(Button == mbLeft, ToGridShift(Shift), X, Y)) inherited::MouseDown(Button, Shift, X, Y);
}

void TCustomCellGrid::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  GridMouseMove(X, Y);
  inherited::MouseMove(Shift, X, Y);
}

void TCustomCellGrid::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button != mbRight && !GridMouseUp(X, Y)) return;
  inherited::MouseUp(Button, Shift, X, Y);
}

bool TCustomCellGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  return GridMouseWheel(true, inherited::DoMouseWheelDown(Shift, MousePos));
}

bool TCustomCellGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  return GridMouseWheel(false, inherited::DoMouseWheelUp(Shift, MousePos));
}

void TCustomCellGrid::WMLButtonDown(TWMMouse& Message) {
  inherited::WMLButtonDown(Message);
  EditorSetClickTime(GetMessageTime());
}

void TCustomCellGrid::WMNCHitTest(TWMNCHitTest& Message) {
  inherited::WMNCHitTest(Message);
  hitTest_ = ScreenToClient(TPoint{Message.XPos(), Message.YPos()});
}

TCursor TCustomCellGrid::CursorFor(Integer State) const {
  switch (State) {
    case 1: return crArrow;
    case 2: return crVSplit;
    case 3: return crHSplit;
    case 4: return crHandPoint;
    case 5: return crDrag;
    case 6: return crMultiDrag;
    default: return 0;
  }
}

void TCustomCellGrid::WMSetCursor(TWMSetCursor& Message) {
  if (Message.HitTest() != HTCLIENT) {
    // Non-client areas keep whatever cursor is set.
    Message.Result = 1;
    return;
  }
  TCursor cursor = 0;
  if (mouseState_ == 0) {
    Integer index, pos, ofs, state;
    GetSizingInfo(hitTest_.x, hitTest_.y, index, pos, ofs, state);
    if (state == 0) state = DragKindAt(hitTest_.x, hitTest_.y);
    cursor = state != 0 ? CursorFor(state) : 1001;
  } else {
    cursor = CursorFor(mouseState_);
  }
  HCURSOR handle = (cursor != 0 && Screen != nullptr) ? Screen->Cursors(cursor) : nullptr;
  if (handle == nullptr) {
    inherited::WMSetCursor(Message);
    return;
  }
  ::SetCursor(handle);
  Message.Result = 1;
}

void TCustomCellGrid::WMCancelMode(TWMNoParams& Message) {
  inherited::WMCancelMode(Message);
  CancelMouseState();
}

void TCustomCellGrid::CMDesignHitTest(TWMMouse& Message) {
  Integer index, pos, ofs, state = 0;
  if (mouseState_ == 0) GetSizingInfo(Message.XPos(), Message.YPos(), index, pos, ofs, state);
  Message.Result = state != 0 ? 1 : 0;
}

// ---- Window messages ----

void TCustomCellGrid::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      if (!options_.Contains(goRowSelect)) {
        if (options_.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
        if (options_.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
      }
      return;
    case WM_TIMER:
      if (Message.WParam == 1 && mouseState_ == 1) {
        POINT p{};
        GetCursorPos(&p);
        const TPoint c = ScreenToClient(p);
        ExtendSelectionStep(c.x, c.y);
      }
      return;
    case CM_CANCELMODE:
      EditorCancelMode(Message);
      try {
        CancelMouseState();
      } catch (...) {
        inherited::Dispatch(Message);
        throw;
      }
      inherited::Dispatch(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomCellGrid::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

void TCustomCellGrid::WMCommand(TWMCommand& Message) { Message.Result = 0; }

void TCustomCellGrid::WMSetFocus(TWMSetFocus& Message) {
  inherited::WMSetFocus(Message);
  // The focused look of the selection changes.
  if (HandleAllocated()) InvalidateCells(ExpandToMergedRanges(selection_.TopLeft(), selection_.BottomRight()));
  if (options_.Contains(goAlwaysShowEditor) && options_.Contains(goEditing)) {
    if (!editing_)
      EnterEditMode();
    else
      PlaceEditor();
  }
}

void TCustomCellGrid::WMKillFocus(TWMKillFocus& Message) {
  inherited::WMKillFocus(Message);
  if (!IsEditorWindow(Message.FocusedWnd()) && !options_.Contains(goAlwaysShowEditor)) LeaveEditMode();
  if (HandleAllocated()) InvalidateCells(ExpandToMergedRanges(selection_.TopLeft(), selection_.BottomRight()));
}

void TCustomCellGrid::WMSize(TWMSize& Message) {
  inherited::WMSize(Message);
  UpdateScrollRange();
}

void TCustomCellGrid::WMHScroll(TWMScroll& Message) { ScrollByCode(kBarHorz, Message.ScrollCode(), Message.Pos()); }

void TCustomCellGrid::WMVScroll(TWMScroll& Message) { ScrollByCode(kBarVert, Message.ScrollCode(), Message.Pos()); }

void TCustomCellGrid::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  EditorFontChanged();
}

void TCustomCellGrid::CMCtl3DChanged(TMessage& Message) {
  inherited::CMCtl3DChanged(Message);
  RecreateWnd();
}

void TCustomCellGrid::CMShowingChanged(TMessage& Message) {
  inherited::CMShowingChanged(Message);
  if (Showing()) UpdateScrollRange();
}
