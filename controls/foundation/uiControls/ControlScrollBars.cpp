// The scroll bars and size grip of the base control, and the recalculation that decides which bars show.
#include <algorithm>

#include "controls/foundation/uiControls.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"

namespace {

// Passes of the calculation loop before it takes what it has: descendants whose answers settle need two
// or three; one whose answers keep alternating would otherwise never end.
constexpr Integer kMaxCalculationPasses = 8;

}  // namespace

// ---- TuiControlScrollBar ------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiControlScrollBar) {}

TuiControlScrollBar::TuiControlScrollBar(TComponent* AOwner) : TuiScrollBar(AOwner) {
  SetColor(clBtnFace);
  TControlStyle style = ControlStyle();
  style.Exclude(csFramed);
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
  SetTabStop(false);
  SetVisible(false);
  if (auto* control = dynamic_cast<TuiControl*>(AOwner)) LookAndFeel()->SetMaster(control->LookAndFeel());
}

void TuiControlScrollBar::ApplyData() {
  if (Data.Visible) {
    SetScrollParams(Data.Min, Data.Max, Data.Position, Data.PageSize, true);
    SetSmallChange(Data.SmallChange);
    SetLargeChange(Data.LargeChange);
  }
  SetEnabled(Data.Enabled);
  SetControlVisible(Data.Visible);
}

void TuiControlScrollBar::FocusOwnerControl() {
  if (auto* control = dynamic_cast<TuiControl*>(Owner())) {
    if (control->FocusAllowedByDefault()) control->SetFocus();
  } else if (auto* owner = dynamic_cast<TWinControl*>(Owner())) {
    if (owner->CanFocus()) owner->SetFocus();
  }
}

void TuiControlScrollBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DESIGNHITTEST) {
    Message.Result = 1;  // the bars work at design time
    return;
  }
  TuiScrollBar::Dispatch(Message);
}

void TuiControlScrollBar::WMLButtonDown(TWMMouse& Message) {
  std::weak_ptr<bool> alive = AliveToken();
  FocusOwnerControl();
  if (alive.expired() || !*alive.lock()) return;
  TuiScrollBar::WMLButtonDown(Message);
}

// ---- TuiSizeGrip --------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSizeGrip) {}

TuiSizeGrip::TuiSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  TControlStyle style = ControlStyle();
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
}

void TuiSizeGrip::Paint() {
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---- The control's bars -------------------------------------------------------------------------------

void TuiControl::CreateScrollBars() {
  hScrollBar_ = new TuiControlScrollBar(this);
  hScrollBar_->SetOnScroll([this](TObject* Sender, TScrollCode Code, Integer& Pos) { ScrollBarScroll(Sender, Code, Pos); });
  vScrollBar_ = new TuiControlScrollBar(this);
  vScrollBar_->SetKind(sbVertical);
  vScrollBar_->SetOnScroll([this](TObject* Sender, TScrollCode Code, Integer& Pos) { ScrollBarScroll(Sender, Code, Pos); });
  sizeGrip_ = new TuiSizeGrip(this);
  sizeGrip_->SetVisible(false);
  GetSettingsController()->AddControl(this);
}

void TuiControl::DestroyScrollBars() {
  if (hScrollBar_ == nullptr) return;
  if (TuiSettingsController* controller = k58::foundation::ExistingSettingsController()) controller->RemoveControl(this);
  FreeAndNil(sizeGrip_);
  FreeAndNil(vScrollBar_);
  FreeAndNil(hScrollBar_);
}

void TuiControl::AttachScrollBars() {
  if (!HasScrollBars() || hScrollBar_ == nullptr) return;
  hScrollBar_->SetParent(this);
  vScrollBar_->SetParent(this);
  sizeGrip_->SetParent(this);
}

bool TuiControl::IsOwnScrollBarPart(TControl* AControl) {
  return AControl != nullptr && (AControl == hScrollBar_ || AControl == vScrollBar_ || AControl == sizeGrip_);
}

bool TuiControl::IsHScrollBarVisible() {
  if (!HasScrollBars() || hScrollBar_ == nullptr) return false;
  return calculatingScrollData_ ? hScrollBar_->Data.Visible : hScrollBar_->IsControlVisible();
}

bool TuiControl::IsVScrollBarVisible() {
  if (!HasScrollBars() || vScrollBar_ == nullptr) return false;
  return calculatingScrollData_ ? vScrollBar_->Data.Visible : vScrollBar_->IsControlVisible();
}

void TuiControl::SetScrollBarInfo(TScrollBarKind AKind, Integer AMin, Integer AMax, Integer AStep, Integer APage,
                                  Integer APos, bool AAllowShow, bool AAllowHide) {
  TuiControlScrollBar* bar = AKind == sbHorizontal ? hScrollBar_ : vScrollBar_;
  if (bar == nullptr) return;
  TuiScrollBarData& data = bar->Data;
  const TScrollStyle own = AKind == sbHorizontal ? ssHorizontal : ssVertical;
  data.AllowShow = AAllowShow && (scrollBars_ == ssBoth || scrollBars_ == own);
  data.AllowHide = AAllowHide;
  if (!data.AllowShow) {
    data.Visible = false;
    return;
  }
  if (AMax < AMin || Int64{APage} >= Int64{AMax} - AMin + 1 || APos < AMin) {
    if (AAllowHide) {
      data.Visible = false;
    } else {
      data.Visible = true;
      data.Enabled = false;
    }
    return;
  }
  data.Min = AMin;
  data.Max = AMax;
  data.Position = APos;
  data.PageSize = APage;
  data.SmallChange = AStep;
  data.LargeChange = APage;
  data.Visible = true;
  data.Enabled = true;
}

void TuiControl::ScrollBarScroll(TObject* Sender, TScrollCode AScrollCode, Integer& AScrollPos) {
  ScrollContent(static_cast<TuiScrollBar*>(Sender)->Kind(), AScrollCode, AScrollPos);
}

void TuiControl::ScrollByDirection(TuiScrollDirection ADirection) {
  if (ADirection == sdNone || !HasScrollBars() || hScrollBar_ == nullptr) return;
  const bool horizontal = ADirection == sdLeft || ADirection == sdRight;
  TuiControlScrollBar* bar = horizontal ? hScrollBar_ : vScrollBar_;
  const TScrollCode code = ADirection == sdLeft || ADirection == sdUp ? scLineUp : scLineDown;
  Integer pos = bar->Position();
  ScrollContent(horizontal ? sbHorizontal : sbVertical, code, pos);
}

void TuiControl::GetHScrollBarBounds(TRect& R) {
  GetClientBounds(R);
  R.top = R.bottom;
  R.bottom = R.top + hScrollBar_->Height();
}

void TuiControl::GetVScrollBarBounds(TRect& R) {
  GetClientBounds(R);
  R.left = R.right;
  R.right = R.left + vScrollBar_->Width();
}

void TuiControl::GetSizeGripBounds(TRect& R) {
  TRect horizontal, vertical;
  GetHScrollBarBounds(horizontal);
  GetVScrollBarBounds(vertical);
  R = TRect{vertical.left, horizontal.top, vertical.right, horizontal.bottom};
}

void TuiControl::PositionScrollBars() {
  if (hScrollBar_ == nullptr) return;
  TRect r;
  if (hScrollBar_->IsControlVisible()) {
    GetHScrollBarBounds(r);
    hScrollBar_->SetBoundsRect(r);
  }
  if (vScrollBar_->IsControlVisible()) {
    GetVScrollBarBounds(r);
    vScrollBar_->SetBoundsRect(r);
  }
  if (sizeGrip_->Visible()) {
    GetSizeGripBounds(r);
    sizeGrip_->SetBoundsRect(r);
  }
}

void TuiControl::BringScrollBarsToFront() {
  if (hScrollBar_ == nullptr) return;
  hScrollBar_->BringToFront();
  vScrollBar_->BringToFront();
  sizeGrip_->BringToFront();
}

void TuiControl::ScrollBarMetricsChanged() {
  if (!HasScrollBars() || hScrollBar_ == nullptr) return;
  const Integer height = GetSystemMetrics(SM_CYHSCROLL);
  const Integer width = GetSystemMetrics(SM_CXVSCROLL);
  if (hScrollBar_->Height() == height && vScrollBar_->Width() == width) return;
  hScrollBar_->SetHeight(height);
  vScrollBar_->SetWidth(width);
  ClientBoundsChanged();
}

void TuiControl::LockScrollBars() { ++scrollBarsLockCount_; }

void TuiControl::UnlockScrollBars() {
  if (scrollBarsLockCount_ == 0 || --scrollBarsLockCount_ > 0 || !scrollBarsRecalculationPending_) return;
  scrollBarsRecalculationPending_ = false;
  RecalculateScrollBars();
}

// Runs CalculateScrollData from both bars hidden until the answers stop changing the visibilities, then
// lets pixel-scrolling bars that fit once the other is gone disappear together.
void TuiControl::CalculateScrollDataSettled() {
  calculatingScrollData_ = true;
  try {
    hScrollBar_->Data.Visible = false;
    vScrollBar_->Data.Visible = false;
    for (Integer pass = 0; pass < kMaxCalculationPasses; ++pass) {
      const bool h = hScrollBar_->Data.Visible;
      const bool v = vScrollBar_->Data.Visible;
      CalculateScrollData();
      if (h == hScrollBar_->Data.Visible && v == vScrollBar_->Data.Visible) break;
    }
    CheckPixelScrolling();
  } catch (...) {
    calculatingScrollData_ = false;
    throw;
  }
  calculatingScrollData_ = false;
}

void TuiControl::CheckPixelScrolling() {
  const TuiScrollBarData h = hScrollBar_->Data;
  const TuiScrollBarData v = vScrollBar_->Data;
  const auto shownAndHideable = [](const TuiScrollBarData& d) { return d.Visible && d.Enabled && d.AllowHide; };
  if (!shownAndHideable(h) || !shownAndHideable(v)) return;
  const Integer vWidth = vScrollBar_->Width();
  const Integer hHeight = hScrollBar_->Height();
  const bool hFits = IsPixelScrolling(sbHorizontal) && Int64{h.PageSize} + vWidth >= Int64{h.Max} - h.Min + 1;
  const bool vFits = IsPixelScrolling(sbVertical) && Int64{v.PageSize} + hHeight >= Int64{v.Max} - v.Min + 1;
  if (!hFits || !vFits) return;
  SetScrollBarInfo(sbHorizontal, h.Min, h.Max, h.SmallChange, h.PageSize + vWidth, h.Position, h.AllowShow, h.AllowHide);
  SetScrollBarInfo(sbVertical, v.Min, v.Max, v.SmallChange, v.PageSize + hHeight, v.Position, v.AllowShow, v.AllowHide);
}

void TuiControl::RecalculateScrollBars() {
  if (!HasScrollBars() || hScrollBar_ == nullptr) return;
  if (scrollBarsLockCount_ > 0) {
    scrollBarsRecalculationPending_ = true;
    return;
  }
  const bool nested = recalculatingScrollBars_;
  if (!nested) {
    savedHVisible_ = hScrollBar_->IsControlVisible();
    savedVVisible_ = vScrollBar_->IsControlVisible();
  }
  recalculatingScrollBars_ = true;
  const auto restore = [&] {
    recalculatingScrollBars_ = nested;
    if (!nested) visibilityStable_ = false;
  };
  try {
    const bool hBefore = hScrollBar_->IsControlVisible();
    const bool vBefore = vScrollBar_->IsControlVisible();
    if (!visibilityStable_) {
      if (!calculatingScrollData_) CalculateScrollDataSettled();
      // Back where the outermost pass started: the answers flip with the bars; keep the flipping bar shown
      // but disabled instead of going round.
      visibilityStable_ = nested && hScrollBar_->Data.Visible == savedHVisible_ &&
                          vScrollBar_->Data.Visible == savedVVisible_;
      if (visibilityStable_) {
        for (auto [bar, saved] : {std::pair{hScrollBar_, savedHVisible_}, std::pair{vScrollBar_, savedVVisible_}}) {
          if (bar->IsControlVisible() == saved) continue;
          bar->SetEnabled(false);
          bar->SetControlVisible(true);
        }
      } else {
        hScrollBar_->ApplyData();
        vScrollBar_->ApplyData();
      }
    }
    if (hScrollBar_->IsControlVisible() != hBefore || vScrollBar_->IsControlVisible() != vBefore) {
      ClientBoundsChanged();
    } else {
      sizeGrip_->SetVisible(hScrollBar_->IsControlVisible() && vScrollBar_->IsControlVisible());
      PositionScrollBars();
      if (KeepScrollBarsOnTop()) BringScrollBarsToFront();
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}
