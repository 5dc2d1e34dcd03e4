// The inner list box: look-and-feel bars over the native ones, forwarding to the container, owner drawing
// and incremental search by typed characters.
#include "controls/foundation/uiInnerListBox.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/core/WinBase.h"

#include <algorithm>

namespace {

// The length of the character a byte leads in UTF-8; 0 for a continuation byte.
int CharLengthOfLead(unsigned char ALead) {
  if (ALead < 0x80) return 1;
  if (ALead < 0xC0) return 0;
  if (ALead < 0xE0) return 2;
  if (ALead < 0xF0) return 3;
  return 4;
}

// Drops the last whole character of a text.
void RemoveLastCharacter(String& AText) {
  while (!AText.empty() && CharLengthOfLead(static_cast<unsigned char>(AText.back())) == 0) AText.pop_back();
  if (!AText.empty()) AText.pop_back();
}

}  // namespace

K58_IMPLEMENT_CLASS(TuiCustomInnerListBox) {
  b.Prop("AutoCompleteDelay", &TuiCustomInnerListBox::AutoCompleteDelay, &TuiCustomInnerListBox::SetAutoCompleteDelay)
      .Default(Cardinal{500});
}

TuiCustomInnerListBox::TuiCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner) {
  innerCanvas_ = std::make_unique<TuiCanvas>(Canvas());
  lookAndFeel_.reset(new TuiLookAndFeel(this));
  lookAndFeel_->SetOnChanged([this](TuiLookAndFeel*, TuiLookAndFeelValues) { LookAndFeelChanged(); });
  hScrollBar_ = NewBar(sbHorizontal);
  vScrollBar_ = NewBar(sbVertical);
  SetBorderStyle(bsNone);
  TControlStyle style = ControlStyle();
  style.Exclude(csOpaque);
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(false);
  SetParentFont(true);
}

TuiCustomInnerListBox::~TuiCustomInnerListBox() {
  // Bars placed on the parent may have gone with it; the free notification cleared those.
  for (TuiScrollBar** bar : {&hScrollBar_, &vScrollBar_}) {
    TuiScrollBar* b = *bar;
    *bar = nullptr;
    if (b != nullptr) FreeObject(b);
  }
  lookAndFeel_.reset();
}

TuiScrollBar* TuiCustomInnerListBox::NewBar(TScrollBarKind AKind) {
  auto* bar = NewObject<TuiScrollBar>(this);
  bar->FreeNotification(this);
  bar->SetKind(AKind);
  bar->SetSmallChange(1);
  bar->SetVisible(false);
  bar->LookAndFeel()->SetMaster(lookAndFeel_.get());
  if (AKind == sbHorizontal)
    bar->SetOnScroll([this](TObject* Sender, TScrollCode Code, Integer& Pos) { HScrollBarScroll(Sender, Code, Pos); });
  else
    bar->SetOnScroll([this](TObject* Sender, TScrollCode Code, Integer& Pos) { VScrollBarScroll(Sender, Code, Pos); });
  return bar;
}

void TuiCustomInnerListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TListBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == hScrollBar_) hScrollBar_ = nullptr;
  if (AComponent == vScrollBar_) vScrollBar_ = nullptr;
}

void TuiCustomInnerListBox::LookAndFeelChanged() {
  if (HandleAllocated()) Invalidate();
}

void TuiCustomInnerListBox::LockScrollBarsUpdate(bool ALock) {
  if (ALock)
    ++scrollBarsLock_;
  else if (scrollBarsLock_ > 0)
    --scrollBarsLock_;
}

void TuiCustomInnerListBox::GetSizeGripRect(TRect& R) {
  R = TRect{};
  if (hScrollBar_ == nullptr || vScrollBar_ == nullptr || !hScrollBar_->Visible() || !vScrollBar_->Visible()) return;
  R = TRect{vScrollBar_->Left(), hScrollBar_->Top(), vScrollBar_->Left() + vScrollBar_->Width(),
            hScrollBar_->Top() + hScrollBar_->Height()};
  OffsetRect(&R, -Left(), -Top());
}

// ---- Bars ----

void TuiCustomInnerListBox::UpdateBar(TuiScrollBar* ABar) {
  bool visible = false;
  SCROLLBARINFO info{};
  if (Parent() != nullptr &&
      CallGetScrollBarInfo(Handle(), ABar->Kind() == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, info) &&
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0) {
    visible = true;
    ABar->SetEnabled((info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0 && Parent()->Enabled());
    const TPoint topLeft = Parent()->ScreenToClient(TPoint{info.rcScrollBar.left, info.rcScrollBar.top});
    const Integer width = info.rcScrollBar.right - info.rcScrollBar.left;
    const Integer height = info.rcScrollBar.bottom - info.rcScrollBar.top;
    // A native bar partly outside the list box stays uncovered rather than covered wrongly.
    if (topLeft.x < 0 || topLeft.y < 0 || width > Width() || height > Height())
      visible = false;
    else
      ABar->SetBounds(topLeft.x, topLeft.y, width, height);
  }
  if (visible) {
    LockScrollBarsUpdate(true);
    try {
      ABar->SetParent(Parent());
    } catch (...) {
      LockScrollBarsUpdate(false);
      throw;
    }
    LockScrollBarsUpdate(false);
    ABar->SetCtl3D(false);
    ABar->BringToFront();
  } else {
    ABar->SetBounds(0, 0, 0, 0);
  }
  ABar->SetVisible(visible);
  if (!visible) return;
  SCROLLINFO scroll{};
  scroll.cbSize = sizeof(scroll);
  scroll.fMask = SIF_ALL;
  if (GetScrollInfo(Handle(), ABar->Kind() == sbHorizontal ? SB_HORZ : SB_VERT, &scroll))
    ABar->SetScrollParams(scroll.nMin, scroll.nMax, scroll.nPos,
                          std::min<Integer>(static_cast<Integer>(scroll.nPage), scroll.nMax), true);
}

void TuiCustomInnerListBox::UpdateScrollBars() {
  if (ComponentState().Contains(csDestroying) || scrollBarsLock_ > 0 || !HandleAllocated() ||
      !IsGetScrollBarInfoAvailable() || updatingScrollBars_)
    return;
  updatingScrollBars_ = true;
  try {
    if (hScrollBar_ != nullptr) UpdateBar(hScrollBar_);
    if (vScrollBar_ != nullptr) UpdateBar(vScrollBar_);
  } catch (...) {
    updatingScrollBars_ = false;
    throw;
  }
  updatingScrollBars_ = false;
}

void TuiCustomInnerListBox::HScrollBarScroll(TObject* Sender, TScrollCode ACode, Integer& APos) {
  if (!HandleAllocated()) return;
  auto* bar = static_cast<TuiScrollBar*>(Sender);
  TMessage message{WM_HSCROLL, MAKEWPARAM(ACode, APos), reinterpret_cast<LPARAM>(bar->HandleAllocated() ? bar->Handle() : nullptr), 0};
  TListBox::DefaultHandler(message);
  APos = GetScrollPos(Handle(), SB_HORZ);
}

void TuiCustomInnerListBox::VScrollBarScroll(TObject* Sender, TScrollCode ACode, Integer& APos) {
  if (!HandleAllocated()) return;
  if (ACode == scLineUp || ACode == scLineDown) {
    SetTopIndex(APos);
    APos = TopIndex();
    return;
  }
  auto* bar = static_cast<TuiScrollBar*>(Sender);
  TMessage message{WM_VSCROLL, MAKEWPARAM(ACode, APos), reinterpret_cast<LPARAM>(bar->HandleAllocated() ? bar->Handle() : nullptr), 0};
  TListBox::DefaultHandler(message);
  APos = GetScrollPos(Handle(), SB_VERT);
}

void TuiCustomInnerListBox::PaintSizeGrip() {
  TRect grip;
  GetSizeGripRect(grip);
  if (IsRectEmpty(&grip) || !HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  HBRUSH brush = CreateSolidBrush(ColorToRGB(clBtnFace));
  FillRect(dc, &grip, brush);
  DeleteObject(brush);
  ReleaseDC(Handle(), dc);
}

// ---- Messages ----

void TuiCustomInnerListBox::WndProc(TMessage& Message) {
  if (container_ != nullptr && container_->ProcessInnerKeyMessage(Message)) return;
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      if (container_ != nullptr && container_->DragMode() == dmAutomatic && !container_->IsDesigning()) {
        HandleLeftButtonDown(Message);
        return;
      }
      break;
    case WM_SETFOCUS:
      TListBox::WndProc(Message);
      if (container_ != nullptr &&
          !(container_->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == container_->Handle()))
        static_cast<TuiControl*>(container_)->FocusStateChanged();
      return;
    case WM_KILLFOCUS:
      TListBox::WndProc(Message);
      if (container_ != nullptr) static_cast<TuiControl*>(container_)->FocusStateChanged();
      return;
    case WM_GETDLGCODE:
      TListBox::WndProc(Message);
      Message.Result |= DLGC_WANTCHARS;
      if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
      return;
    case WM_NCPAINT:
      TListBox::WndProc(Message);
      PaintSizeGrip();
      return;
    case WM_NCCALCSIZE:
      TListBox::WndProc(Message);
      if (!updatingScrollBars_) UpdateScrollBars();
      return;
    case WM_WINDOWPOSCHANGED: {
      TListBox::WndProc(Message);
      UpdateScrollBars();
      TRect grip;
      GetSizeGripRect(grip);
      if (!IsRectEmpty(&grip) && HandleAllocated()) {
        RECT window{};
        GetWindowRect(Handle(), &window);
        OffsetRect(&grip, window.left, window.top);
        HRGN region = CreateRectRgnIndirect(&grip);
        SendMessage(Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
        DeleteObject(region);
      }
      return;
    }
    case WM_SHOWWINDOW:
      TListBox::WndProc(Message);
      if (Message.WParam != 0) UpdateScrollBars();
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case CM_WININICHANGE:
      TListBox::WndProc(Message);
      UpdateScrollBars();
      return;
    default:
      break;
  }
  TListBox::WndProc(Message);
}

void TuiCustomInnerListBox::DefaultHandler(TMessage& Message) {
  if (container_ != nullptr && container_->HandleInnerDefaultMessage(Message)) return;
  TListBox::DefaultHandler(Message);
}

// With the container dragging automatically: a press on a selected item of a multi-select list (no
// Shift, or with Ctrl) starts the drag without the default click, so the selection stays; any other
// press is handled first and then starts the drag unless it extends a multi-selection.
void TuiCustomInnerListBox::HandleLeftButtonDown(TMessage& Message) {
  const TDragMode savedMode = DragMode();
  SetDragMode(dmManual);
  const TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  const bool shift = (Message.WParam & MK_SHIFT) != 0, ctrl = (Message.WParam & MK_CONTROL) != 0;
  auto alive = AliveToken();
  try {
    const Integer item = ItemAtPos(p, true);
    if (MultiSelect() && item >= 0 && Selected(item) && (!shift || ctrl)) {
      container_->BeginDrag(false);
    } else {
      TListBox::WndProc(Message);
      if (!alive.expired() && container_ != nullptr && !(MultiSelect() && (shift || ctrl))) container_->BeginDrag(false);
    }
  } catch (...) {
    if (!alive.expired()) SetDragMode(savedMode);
    throw;
  }
  if (!alive.expired()) SetDragMode(savedMode);
}

void TuiCustomInnerListBox::CNDrawItem(TWMDrawItem& Message) {
  DRAWITEMSTRUCT* dis = Message.DrawItemStruct();
  TCanvas* canvas = Canvas();
  canvas->Lock();
  canvas->SetHandle(dis->hDC);
  try {
    canvas->SetFont(Font());
    canvas->SetBrush(Brush());
    const auto index = static_cast<Integer>(dis->itemID);
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    if (index >= 0 && index < Count() && selected) {
      canvas->Brush()->SetColor(clHighlight);
      canvas->Font()->SetColor(clHighlightText);
    }
    TOwnerDrawState state;
    if (selected) state.Include(odSelected);
    if (dis->itemState & ODS_FOCUS) state.Include(odFocused);
    if (dis->itemState & ODS_DISABLED) state.Include(odDisabled);
    if (index < 0)
      canvas->FillRect(dis->rcItem);
    else
      DrawItem(index, dis->rcItem, state);
    if ((dis->itemState & ODS_FOCUS) && CanDrawFocusRect()) ::DrawFocusRect(dis->hDC, &dis->rcItem);
  } catch (...) {
    canvas->SetHandle(nullptr);
    canvas->Unlock();
    throw;
  }
  canvas->SetHandle(nullptr);
  canvas->Unlock();
}

// ---- Input passed on to the container ----

void TuiCustomInnerListBox::KeyDown(Word& Key, TShiftState Shift) {
  if (container_ != nullptr) container_->KeyDown(Key, Shift);
  if (Key != 0) TListBox::KeyDown(Key, Shift);
}

void TuiCustomInnerListBox::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  if (container_ != nullptr && Key != 0) container_->KeyUp(Key, Shift);
  if (Key != 0) TListBox::KeyUp(Key, Shift);
}

void TuiCustomInnerListBox::KeyPress(char& Key) {
  if (Key == '\t') Key = 0;
  if (container_ != nullptr && Key != 0) container_->KeyPress(Key);
  if (Key == '\r') Key = 0;
  if (Key != 0) TListBox::KeyPress(Key);
  if (Key != 0) DoAutoComplete(Key);
}

void TuiCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TListBox::MouseDown(Button, Shift, X, Y);
  if (!alive.expired()) TuiInnerControlEvents::MouseDown(container_, *this, Button, Shift, X, Y);
}

void TuiCustomInnerListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TListBox::MouseMove(Shift, X, Y);
  TuiInnerControlEvents::MouseMove(container_, *this, Shift, X, Y);
}

void TuiCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TListBox::MouseUp(Button, Shift, X, Y);
  TuiInnerControlEvents::MouseUp(container_, *this, Button, Shift, X, Y);
}

bool TuiCustomInnerListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (container_ != nullptr && container_->DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  return TListBox::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TuiCustomInnerListBox::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  if (!TuiInnerControlEvents::DragOver(container_, *this, Source, X, Y, State, Accept))
    TListBox::DragOver(Source, X, Y, State, Accept);
}

void TuiCustomInnerListBox::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (!TuiInnerControlEvents::DragDrop(container_, *this, Source, X, Y)) TListBox::DragDrop(Source, X, Y);
}

void TuiCustomInnerListBox::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (container_ != nullptr)
    container_->DoContextPopup(MousePos, Handled);
  else
    TListBox::DoContextPopup(MousePos, Handled);
}

void TuiCustomInnerListBox::Click() {
  TListBox::Click();
  if (vScrollBar_ != nullptr) vScrollBar_->SetPosition(TopIndex());
  if (container_ != nullptr) container_->Click();
}

void TuiCustomInnerListBox::DblClick() {
  TListBox::DblClick();
  TuiInnerControlEvents::DblClick(container_);
}

void TuiCustomInnerListBox::MouseLeave() {
  TListBox::MouseLeave();
  if (container_ != nullptr) container_->RefreshAtCursorPos(true);
}

void TuiCustomInnerListBox::DoAutoComplete(char& Key) {
  if (!autoComplete_) return;
  const DWORD now = GetTickCount();
  if (!searched_ || now - lastKeyTime_ >= autoCompleteDelay_) searchText_.clear();
  searched_ = true;
  lastKeyTime_ = now;
  const auto byte = static_cast<unsigned char>(Key);
  if (Key == '\b') {
    RemoveLastCharacter(searchText_);
  } else if (const int length = CharLengthOfLead(byte); length == 1) {
    searchText_ += Key;
  } else if (length > 1) {
    // The rest of the character follows as further WM_CHARs; a character cut short is dropped whole.
    String character(1, Key);
    MSG msg;
    while (static_cast<int>(character.size()) < length && HandleAllocated() &&
           PeekMessage(&msg, Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
           CharLengthOfLead(static_cast<unsigned char>(msg.wParam)) == 0) {
      PeekMessage(&msg, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
      character += static_cast<char>(msg.wParam);
    }
    if (static_cast<int>(character.size()) == length) searchText_ += character;
    Key = 0;
  }
  Integer found = -1;
  if (searchText_.empty()) {
    found = Count() > 0 ? 0 : -1;
  } else {
    const String wanted = AnsiUpperCase(searchText_);
    for (Integer i = 0; i < Count() && found < 0; ++i)
      if (AnsiUpperCase(Items()->Strings(i)).compare(0, wanted.size(), wanted) == 0) found = i;
  }
  if (found >= 0) {
    if (MultiSelect()) {
      ClearSelection();
      SetSelected(found, true);
    }
    const bool changed = found != ItemIndex();
    SetItemIndex(found);
    if (changed) Click();
  }
  if (Key != '\b' && Key != '\r' && Key != 27) Key = 0;
}
