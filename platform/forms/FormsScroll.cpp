// Scrolling windowed controls: scroll bars that follow the extent of the children.
#include <algorithm>

#include "platform/forms/ControlsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/RtlMath.h"

// ---- Scroll bars ------------------------------------------------------------------------------------------

TControlScrollBar::TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind)
    : control_(Control), kind_(Kind) {}

void TControlScrollBar::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TControlScrollBar*>(Source)) {
    increment_ = src->increment_;
    margin_ = src->margin_;
    tracking_ = src->tracking_;
    visible_ = src->visible_;
    range_ = src->range_;
    SetPosition(src->position_);
    return;
  }
  TPersistent::Assign(Source);
}

Integer TControlScrollBar::ControlSize(bool ControlSB, bool AssumeSB) {
  (void)ControlSB;
  (void)AssumeSB;
  if (control_ == nullptr) return 0;
  TRect r = control_->GetClientRect();
  return kind_ == sbHorizontal ? r.right - r.left : r.bottom - r.top;
}

Integer TControlScrollBar::Calc(Integer Kind) const { return Kind; }

bool TControlScrollBar::IsScrollBarVisible() {
  if (control_ == nullptr || !visible_) return false;
  return range_ > ControlSize(false, false);
}

void TControlScrollBar::SetPosition(Integer Value) {
  Integer limit = std::max(range_ - ControlSize(false, false), 0);
  Value = std::clamp(Value, 0, limit);
  if (Value == position_) return;
  Integer delta = position_ - Value;
  position_ = Value;
  if (control_ != nullptr) {
    if (kind_ == sbHorizontal) {
      control_->ScrollBy(delta, 0);
    } else {
      control_->ScrollBy(0, delta);
    }
    if (control_->HandleAllocated()) {
      ::SetScrollPos(control_->Handle(), kind_ == sbHorizontal ? SB_HORZ : SB_VERT, position_, TRUE);
    }
  }
}

void TControlScrollBar::SetRange(Integer Value) {
  range_ = std::max(Value, 0);
  if (control_ != nullptr) {
    control_->UpdateScrollBars();
  }
}

void TControlScrollBar::SetVisible(bool Value) {
  visible_ = Value;
  if (control_ != nullptr) control_->UpdateScrollBars();
}

void TControlScrollBar::Update(bool ControlSB, bool AssumeSB) {
  (void)ControlSB;
  (void)AssumeSB;
  if (control_ == nullptr || !control_->HandleAllocated()) return;
  int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
  Integer size = ControlSize(false, false);
  if (!visible_ || range_ <= size) {
    if (position_ != 0) SetPosition(0);
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = 0;
    info.nPage = 0;
    info.nPos = 0;
    ::SetScrollInfo(control_->Handle(), bar, &info, TRUE);
    return;
  }
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = range_ - 1;
  info.nPage = static_cast<UINT>(std::max(size, 0));
  info.nPos = position_;
  ::SetScrollInfo(control_->Handle(), bar, &info, TRUE);
  // The position stays inside the range that can be scrolled to.
  SetPosition(position_);
}

void TControlScrollBar::ScrollMessage(TWMScroll& Msg) {
  Integer page = ControlSize(false, false);
  Integer pos = position_;
  switch (Msg.ScrollCode()) {
    case SB_LINEUP: pos -= increment_; break;
    case SB_LINEDOWN: pos += increment_; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBPOSITION: pos = Msg.Pos(); break;
    case SB_THUMBTRACK:
      if (!tracking_) return;
      pos = Msg.Pos();
      break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = range_; break;
    default: return;
  }
  SetPosition(pos);
}

// ---- Scrolling windowed controls -------------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner),
      horzScrollBar_(new TControlScrollBar(this, sbHorizontal)),
      vertScrollBar_(new TControlScrollBar(this, sbVertical)) {
  autoScroll_ = true;
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value) {
  if (autoScroll_ == Value) return;
  autoScroll_ = Value;
  if (Value) {
    CalcAutoRange();
  } else {
    horzScrollBar_->range_ = 0;
    vertScrollBar_->range_ = 0;
    UpdateScrollBars();
  }
}

void TScrollingWinControl::DisableAutoRange() { ++autoRangeCount_; }

void TScrollingWinControl::EnableAutoRange() {
  if (autoRangeCount_ > 0 && --autoRangeCount_ == 0) CalcAutoRange();
}

// The extent of the children that are not stretched along an edge, measured from the scrolled origin.
void TScrollingWinControl::CalcAutoRange() {
  if (autoRangeCount_ > 0 || !autoScroll_) return;
  Integer horz = 0, vert = 0;
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    TAlign a = c->Align();
    if (a == alNone || a == alLeft || a == alCustom) {
      horz = std::max(horz, c->Left() + c->Width() + horzScrollBar_->position_);
    }
    if (a == alNone || a == alTop || a == alCustom) {
      vert = std::max(vert, c->Top() + c->Height() + vertScrollBar_->position_);
    }
  }
  horzScrollBar_->range_ = horz + horzScrollBar_->margin_;
  vertScrollBar_->range_ = vert + vertScrollBar_->margin_;
  UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars() {
  if (updatingScrollBars_ || !HandleAllocated()) return;
  updatingScrollBars_ = true;
  try {
    // Showing one bar narrows the client area, which may call for the other.
    for (int pass = 0; pass < 2; ++pass) {
      horzScrollBar_->Update(false, true);
      vertScrollBar_->Update(false, true);
    }
  } catch (...) {
    updatingScrollBars_ = false;
    throw;
  }
  updatingScrollBars_ = false;
}

void TScrollingWinControl::ScrollBy(Integer DeltaX, Integer DeltaY) {
  if (DeltaX == 0 && DeltaY == 0) return;
  DisableAlign();
  try {
    if (HandleAllocated()) {
      ::ScrollWindow(Handle(), DeltaX, DeltaY, nullptr, nullptr);
      for (TControl* c : ControlsAccess::GraphicChildren(this)) {
        ControlsAccess::SetBoundsFields(c, c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
      }
      for (TWinControl* c : ControlsAccess::WindowedChildren(this)) {
        if (c->HandleAllocated()) {
          c->UpdateBounds();
        } else {
          ControlsAccess::SetBoundsFields(c, c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
        }
      }
    } else {
      for (Integer i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        ControlsAccess::SetBoundsFields(c, c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
      }
    }
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
  if (AControl == nullptr || !ContainsControl(AControl)) return;
  TRect r = AControl->BoundsRect();
  for (TWinControl* p = AControl->Parent(); p != nullptr && p != this; p = p->Parent()) {
    r.left += p->Left();
    r.right += p->Left();
    r.top += p->Top();
    r.bottom += p->Top();
  }
  TRect client = GetClientRect();
  if (r.left < 0) {
    horzScrollBar_->SetPosition(horzScrollBar_->position_ + r.left);
  } else if (r.right > client.right) {
    Integer shift = std::min(r.right - client.right, r.left);
    horzScrollBar_->SetPosition(horzScrollBar_->position_ + shift);
  }
  if (r.top < 0) {
    vertScrollBar_->SetPosition(vertScrollBar_->position_ + r.top);
  } else if (r.bottom > client.bottom) {
    Integer shift = std::min(r.bottom - client.bottom, r.top);
    vertScrollBar_->SetPosition(vertScrollBar_->position_ + shift);
  }
}

void TScrollingWinControl::AutoScrollInView(TControl* AControl) {
  if (AControl != nullptr && autoScroll_ && AControl->Align() == alNone) ScrollInView(AControl);
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  TWinControl::AlignControls(AControl, Rect);
  CalcAutoRange();
}

void TScrollingWinControl::AdjustClientRect(TRect& Rect) {
  // Aligned children fill the scrolled area, at least the client area.
  Integer w = std::max(horzScrollBar_->range_, Rect.right - Rect.left);
  Integer h = std::max(vertScrollBar_->range_, Rect.bottom - Rect.top);
  if (!autoScroll_) {
    w = Rect.right - Rect.left;
    h = Rect.bottom - Rect.top;
  }
  Rect = TRect{Rect.left - horzScrollBar_->position_, Rect.top - vertScrollBar_->position_,
               Rect.left - horzScrollBar_->position_ + w, Rect.top - vertScrollBar_->position_ + h};
  TWinControl::AdjustClientRect(Rect);
}

void TScrollingWinControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

void TScrollingWinControl::Dispatch(TMessage& Message) { TWinControl::Dispatch(Message); }

void TScrollingWinControl::WMHScroll(TWMScroll& Message) {
  if (Message.ScrollBar() == nullptr && horzScrollBar_->Visible()) {
    horzScrollBar_->ScrollMessage(Message);
  } else {
    TWinControl::WMHScroll(Message);
  }
}

void TScrollingWinControl::WMVScroll(TWMScroll& Message) {
  if (Message.ScrollBar() == nullptr && vertScrollBar_->Visible()) {
    vertScrollBar_->ScrollMessage(Message);
  } else {
    TWinControl::WMVScroll(Message);
  }
}

void TScrollingWinControl::WMSize(TWMSize& Message) {
  TWinControl::WMSize(Message);
  if (!updatingScrollBars_) UpdateScrollBars();
}

void TScrollingWinControl::ChangeScale(Integer M, Integer D) {
  horzScrollBar_->increment_ = MulDiv(horzScrollBar_->increment_, M, D);
  vertScrollBar_->increment_ = MulDiv(vertScrollBar_->increment_, M, D);
  TWinControl::ChangeScale(M, D);
}
