// Alignment and anchors: a control's Align and Anchors, and how a windowed control places its aligned
// and anchored children in its client area.
#include <algorithm>
#include <limits>

#include "platform/forms/Controls.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/rtl/RtlMath.h"

using namespace k58::forms;

void TControl::SetAlign(TAlign Value) {
  if (align_ == Value) return;
  TAlign oldAlign = align_;
  align_ = Value;
  anchors_ = AnchorAlign[Value];
  if (!ComponentState().Contains(csLoading) && parent_ != nullptr) {
    // Turning a horizontal bar into a vertical one (or back) swaps its width and height.
    auto horizontal = [](TAlign a) { return a == alTop || a == alBottom; };
    auto vertical = [](TAlign a) { return a == alLeft || a == alRight; };
    if ((horizontal(oldAlign) && vertical(Value)) || (vertical(oldAlign) && horizontal(Value))) {
      SetBounds(left_, top_, height_, width_);
    } else {
      AdjustSize();
    }
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (anchors_ == Value) return;
  anchors_ = Value;
  if (!ComponentState().Contains(csLoading)) UpdateAnchorRules();
}

void TControl::RequestAlign() {
  if (parent_ != nullptr) parent_->AlignControl(this);
}

void TControl::UpdateAnchorRules() {
  if (anchorMove_ || ComponentState().Contains(csLoading) || parent_ == nullptr) return;
  TRect client = parent_->GetClientRect();
  Integer w = client.right - client.left;
  Integer h = client.bottom - client.top;
  anchorParentSize_ = TPoint{w, h};
  anchorOrigin_ = TPoint{left_, top_};
  // In 64 bits and held to the Integer range: a control far outside its parent (as a form may place it)
  // has a distance to the far edges that Integer cannot hold.
  auto farDistance = [](Integer size, Integer origin, Integer extent) {
    const int64_t d = int64_t{size} - (int64_t{origin} + int64_t{extent});
    return static_cast<Integer>(std::clamp<int64_t>(d, std::numeric_limits<Integer>::min(),
                                                    std::numeric_limits<Integer>::max()));
  };
  anchorFar_ = TPoint{farDistance(w, left_, width_), farDistance(h, top_, height_)};
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
  if (--alignLevel_ == 0) {
    if (controlState_.Contains(csAlignmentNeeded)) Realign();
  }
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (ComponentState().Contains(csDestroying)) return;
  if (alignLevel_ != 0 || ComponentState().Contains(csLoading)) {
    controlState_.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  try {
    TRect rect = GetClientRect();
    AlignControls(AControl, rect);
  } catch (...) {
    controlState_.Exclude(csAlignmentNeeded);
    EnableAlign();
    throw;
  }
  controlState_.Exclude(csAlignmentNeeded);
  EnableAlign();
}

bool TWinControl::AlignWork() {
  for (Integer i = ControlCount() - 1; i >= 0; --i) {
    TControl* c = Controls(i);
    if (c->Align() != alNone || !(c->Anchors() == TAnchors{akLeft, akTop})) return true;
  }
  return false;
}

void TWinControl::AdjustClientRect(TRect& Rect) { (void)Rect; }

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  if (!AlignWork()) return;
  AdjustClientRect(Rect);
  // The bars along the edges take their space in this order; the client control fills what is left.
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) DoAlign(AControl, a, Rect);
}

void TWinControl::DoAlign(TControl* AControl, TAlign AAlign, TRect& Rect) {
  auto shows = [](TControl* c) {
    return c->Visible() || (c->ComponentState().Contains(csDesigning) && !c->ControlStyle().Contains(csNoDesignVisible));
  };
  // Which of two controls goes first (nearer the edge it is aligned to).
  auto before = [this, AAlign](TControl* c1, TControl* c2) {
    switch (AAlign) {
      case alTop: return c1->Top() < c2->Top();
      case alBottom: return c1->Top() + c1->Height() >= c2->Top() + c2->Height();
      case alLeft: return c1->Left() < c2->Left();
      case alRight: return c1->Left() + c1->Width() >= c2->Left() + c2->Width();
      case alCustom: return CustomAlignInsertBefore(c1, c2);
      default: return false;
    }
  };
  std::vector<TControl*> list;
  if (AControl != nullptr && AControl->Align() == AAlign && (AAlign == alNone || shows(AControl))) {
    list.push_back(AControl);
  }
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* control = Controls(i);
    if (control == AControl || control->Align() != AAlign) continue;
    if (AAlign != alNone && !shows(control)) continue;
    if (AAlign == alNone && control->Anchors() == TAnchors{akLeft, akTop}) continue;
    size_t j = 0;
    while (j < list.size() && !before(control, list[j])) ++j;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), control);
  }
  for (TControl* control : list) {
    if (AAlign == alNone) {
      if (control == AControl) continue;  // moved by its owner: its new place sets the anchors
      TRect client = GetClientRect();
      Integer pw = client.right - client.left;
      Integer ph = client.bottom - client.top;
      TAnchors anchors = control->Anchors();
      TPoint psize = control->anchorParentSize_;
      if (psize.x == 0 && psize.y == 0) {
        control->UpdateAnchorRules();
        continue;
      }
      Integer newLeft = control->Left(), newTop = control->Top();
      Integer newWidth = control->Width(), newHeight = control->Height();
      if (anchors.Contains(akRight)) {
        if (anchors.Contains(akLeft)) {
          newWidth = std::max(pw - control->anchorOrigin_.x - control->anchorFar_.x, 0);
        } else {
          newLeft = pw - control->anchorFar_.x - newWidth;
        }
      } else if (!anchors.Contains(akLeft) && psize.x > 0) {
        newLeft = MulDiv(control->anchorOrigin_.x + newWidth / 2, pw, psize.x) - newWidth / 2;
      }
      if (anchors.Contains(akBottom)) {
        if (anchors.Contains(akTop)) {
          newHeight = std::max(ph - control->anchorOrigin_.y - control->anchorFar_.y, 0);
        } else {
          newTop = ph - control->anchorFar_.y - newHeight;
        }
      } else if (!anchors.Contains(akTop) && psize.y > 0) {
        newTop = MulDiv(control->anchorOrigin_.y + newHeight / 2, ph, psize.y) - newHeight / 2;
      }
      control->anchorMove_ = true;
      try {
        control->SetBounds(newLeft, newTop, newWidth, newHeight);
      } catch (...) {
        control->anchorMove_ = false;
        throw;
      }
      control->anchorMove_ = false;
      continue;
    }
    Integer newLeft = Rect.left, newTop = Rect.top;
    Integer newWidth = Rect.right - Rect.left, newHeight = Rect.bottom - Rect.top;
    switch (AAlign) {
      case alTop: newHeight = control->Height(); break;
      case alBottom:
        newHeight = control->Height();
        newTop = Rect.bottom - newHeight;
        break;
      case alLeft: newWidth = control->Width(); break;
      case alRight:
        newWidth = control->Width();
        newLeft = Rect.right - newWidth;
        break;
      case alCustom: CustomAlignPosition(control, newLeft, newTop, newWidth, newHeight, Rect); break;
      default: break;
    }
    control->anchorMove_ = true;
    try {
      control->SetBounds(newLeft, newTop, std::max(newWidth, 0), std::max(newHeight, 0));
    } catch (...) {
      control->anchorMove_ = false;
      throw;
    }
    control->anchorMove_ = false;
    // The control's actual size (after its constraints) is what it takes from the rectangle.
    switch (AAlign) {
      case alTop: Rect.top += control->Height(); break;
      case alBottom: Rect.bottom -= control->Height(); break;
      case alLeft: Rect.left += control->Width(); break;
      case alRight: Rect.right -= control->Width(); break;
      default: break;
    }
  }
}
