// The tab control: properties and their setters, events and their lock, style and painter choice,
// mouse, hot tracking, navigator buttons with their repeat, keys, accelerators and streaming.
#include "controls/extra/uiPC.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/Format.h"

K58_IMPLEMENT_CLASS(TuiCustomTabControl) {}

namespace k58::extra {

[[noreturn]] void RaiseTabControlError(const char* Method, const String& Message) {
  throw Exception(String("TuiCustomTabControl.") + Method + ": " + Message);
}

}  // namespace k58::extra

TuiCustomTabControl::TuiCustomTabControl(TComponent* AOwner) : TuiControl(AOwner) {
  TControlStyle style;
  style.Include(csAcceptsControls).Include(csCaptureMouse).Include(csClickEvents).Include(csOpaque).Include(csDoubleClicks);
  SetControlStyle(style);
  SetBounds(Left(), Top(), 289, 193);
  SetTabStop(true);
  options_.Include(pcoGradient).Include(pcoGradientClientArea);
  tabSlants_ = std::make_unique<TuiTabSlants>(this);
  imageList_ = std::make_unique<TuiPCImageList>(this);
  imageList_->OnChange = TNotifyEvent([this](TObject*) { ImagesChanged(); });
  imageList_->OnDrawBackground = [this](TBitmap* ABitmap) {
    if (painter_ != nullptr && painter_->DrawnTab() != -1)
      painter_->DrawTabTextBackground(ABitmap, TRect{0, 0, ABitmap->Width(), ABitmap->Height()}, painter_->DrawnTab());
  };
  tabs_ = std::make_unique<TuiTabs>(this);
  SetStyle(uiPCDefaultStyle);
}

TuiCustomTabControl::~TuiCustomTabControl() {
  if (timer_ != nullptr) FreeTimerAfterTick(timer_);
  timer_ = nullptr;
  goDialog_.reset();
  imageList_.reset();
  tabs_.reset();
  if (TuiPCPaintersFactory* factory = TuiPCPaintersFactory::Instance())
    factory->ReleasePainterInstance(painter_);
  else
    delete painter_;
  painter_ = nullptr;
}

// ---- Events and their lock ----

bool TuiCustomTabControl::IsChangeEventsLocked() {
  return changeEventsLock_ > 0 || TabsLoading() || IsDesigning();
}

void TuiCustomTabControl::LockChangeEvents(bool ALock) {
  if (ALock)
    ++changeEventsLock_;
  else if (changeEventsLock_ > 0)
    --changeEventsLock_;
}

bool TuiCustomTabControl::CanChange(Integer /*NewTabIndex*/) {
  bool allow = true;
  if (!IsChangeEventsLocked() && onChanging_.Assigned()) onChanging_(this, allow);
  return allow;
}

void TuiCustomTabControl::Change() {
  if (!IsChangeEventsLocked() && onChange_.Assigned()) onChange_(this);
}

bool TuiCustomTabControl::TabsLoading() const { return ComponentState().Contains(csLoading); }

bool TuiCustomTabControl::TabsDestroying() const { return ComponentState().Contains(csDestroying); }

// ---- Virtual operations ----

TControl* TuiCustomTabControl::GetPage(Integer /*ATabIndex*/) { return nullptr; }

bool TuiCustomTabControl::CanCloseActiveTab() {
  bool canClose = true;
  if (onCanClose_.Assigned()) onCanClose_(this, canClose);
  return canClose;
}

void TuiCustomTabControl::CloseActiveTab() {
  if (tabIndex_ >= 0 && tabIndex_ < tabs_->Count()) tabs_->Delete(tabIndex_);
}

bool TuiCustomTabControl::CanSelectTab(Integer ATabIndex) {
  TuiTab* tab = tabs_->GetTab(ATabIndex);
  return tab->Visible() && tab->IsEnabledForUser();
}

Integer TuiCustomTabControl::GetImageIndex(Integer ATabIndex) {
  Integer index = tabs_->GetTab(ATabIndex)->StoredImageIndex();
  if (onGetImageIndex_.Assigned()) onGetImageIndex_(this, ATabIndex, index);
  if (index < 0) return -1;
  if (images_ == nullptr || images_->Width() <= 0 || images_->Height() <= 0 || index >= images_->Count()) return -1;
  return index;
}

void TuiCustomTabControl::ImagesChanged() { LayoutChanged(); }

void TuiCustomTabControl::ShowGoDialog() {
  goDialogShown_ = true;
  if (!IsDesigning()) {
    if (!goDialog_) {
      goDialog_ = std::make_unique<TuiPCGoDialog>(this);
      goDialog_->OnTabClick = [this](Integer ATabIndex) { GoDialogItemClick(ATabIndex); };
    }
    goDialog_->PopupAtGoButton(options_.Contains(pcoSort));
  }
  GoDialogItemClick(-1);
}

void TuiCustomTabControl::GoDialogItemClick(Integer ATabIndex) {
  goDialogShown_ = false;
  if (buttonStates_[nbGoDialog] != nbsDisabled) SetNavigatorButtonState(nbGoDialog, nbsNormal);
  pressedButtons_ = TuiPCNavigatorButtons();
  if (ATabIndex != -1) SetTabIndex(ATabIndex);
  UpdateHotTrack();
}

// ---- Properties ----

void TuiCustomTabControl::SetTabIndex(Integer Value) {
  if (TabsLoading()) {
    tabIndex_ = Value;
    return;
  }
  if (Value < -1 || Value >= tabs_->Count()) return;
  if (Value != -1 && KeepsActiveTabVisible() && !tabs_->GetTab(Value)->Visible()) Value = -1;
  if (Value == tabIndex_ || !CanChange(Value)) return;
  tabIndex_ = -1;
  tabs_->UpdateActiveTab();
  for (Integer i = 0; i < tabs_->Count(); ++i) tabs_->GetTab(i)->SetSelected(false);
  tabs_->SetFocusedTab(-1);
  tabIndex_ = Value;
  tabs_->UpdateActiveTab();
  Change();
  if (!multiLine_) {
    if (tabs_->ActiveTab() != -1) MakeTabVisible(tabs_->ActiveTab());
    LayoutChanged();
  } else if (painter_->IsMainTabRowMovedToClient()) {
    ArrangeRows();
    Realign();
    Invalidate();
  }
  UpdateButtonsState();
  UpdateHotTrack();
}

void TuiCustomTabControl::SetHideTabs(bool Value) {
  if (hideTabs_ == Value) return;
  hideTabs_ = Value;
  Realign();
  Invalidate();
}

void TuiCustomTabControl::SetHotTrack(bool Value) {
  if (hotTrack_ == Value) return;
  hotTrack_ = Value;
  UpdateHotTrack();
}

void TuiCustomTabControl::SetImageBorder(Integer Value) {
  if (Value < 0 || imageBorder_ == Value) return;
  imageBorder_ = Value;
  if (tabs_->VisibleCount() > 0) LayoutChanged();
}

void TuiCustomTabControl::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_ != nullptr) images_->FreeNotification(this);
  imageList_->SetBaseImages(images_);
}

void TuiCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  TuiControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != nullptr && AComponent == images_) {
    images_ = nullptr;
    imageList_->SetBaseImages(nullptr);
  }
}

void TuiCustomTabControl::ClampMaxRotatedTabWidth() {
  if (maxRotatedTabWidth_ > 0) maxRotatedTabWidth_ = std::max(maxRotatedTabWidth_, painter_->GetMinTabNormalWidth());
}

void TuiCustomTabControl::SetMaxRotatedTabWidth(Integer Value) {
  if (Value < 0) Value = 0;
  if (Value > 0) Value = std::max(Value, painter_->GetMinTabNormalWidth());
  if (maxRotatedTabWidth_ == Value) return;
  maxRotatedTabWidth_ = Value;
  if (rotate_ && tabs_->VisibleCount() > 0) LayoutChanged();
}

void TuiCustomTabControl::SetMultiLine(bool Value) {
  if (multiLine_ == Value) return;
  multiLine_ = Value;
  LayoutChanged();
}

void TuiCustomTabControl::SetNavigatorPosition(TuiPCNavigatorPosition Value) {
  if (navigatorPosition_ == Value) return;
  navigatorPosition_ = Value;
  LayoutChanged();
}

void TuiCustomTabControl::SetOptions(TuiPCOptions Value) {
  if (options_ == Value) return;
  TuiPCOptions changed = TuiPCOptions::FromBits(options_.Bits() ^ Value.Bits());
  options_ = Value;
  changed.Exclude(pcoSort);
  if (!changed.Empty()) LayoutChanged();
}

void TuiCustomTabControl::SetOwnerDraw(bool Value) {
  if (ownerDraw_ == Value) return;
  ownerDraw_ = Value;
  Invalidate();
}

void TuiCustomTabControl::SetRaggedRight(bool Value) {
  if (raggedRight_ == Value) return;
  raggedRight_ = Value;
  if (multiLine_) LayoutChanged();
}

void TuiCustomTabControl::SetRotate(bool Value) {
  if (rotate_ == Value) return;
  if (Value && !painter_->AllowRotate())
    k58::extra::RaiseTabControlError("SetRotate", Format(uipcconsts::scxPCNoRotation, {painter_->GetStyleName()}));
  rotate_ = Value;
  LayoutChanged();
}

void TuiCustomTabControl::SetScrollOpposite(bool Value) {
  if (scrollOpposite_ == Value) return;
  scrollOpposite_ = Value;
  if (multiLine_ && tabs_->ActiveTab() != -1 && painter_->IsMainTabRowMovedToClient()) {
    ArrangeRows();
    Realign();
    Invalidate();
  } else {
    Realign();
  }
}

void TuiCustomTabControl::SetShowFrame(bool Value) {
  if (showFrame_ == Value) return;
  showFrame_ = Value;
  LayoutChanged();
}

void TuiCustomTabControl::SetTabHeight(SmallInt Value) {
  if (tabHeight_ == Value) return;
  tabHeight_ = Value;
  LayoutChanged();
}

void TuiCustomTabControl::SetTabPosition(TuiTabPosition Value) {
  if (tabPosition_ == Value) return;
  tabPosition_ = Value;
  LayoutChanged();
}

void TuiCustomTabControl::SetTabWidth(SmallInt Value) {
  if (tabWidth_ == Value) return;
  tabWidth_ = Value;
  LayoutChanged();
}

// ---- Style and painter ----

void TuiCustomTabControl::SetStyle(TuiPCStyleID Value) {
  if (style_ == Value) return;
  if (Value == uiPCDefaultStyle) {
    style_ = uiPCDefaultStyle;
    ChooseStyleByLookAndFeel();
    return;
  }
  TuiPCPaintersFactory* factory = TuiPCPaintersFactory::Instance();
  TuiPCPainterClass painterClass = factory != nullptr ? factory->GetPainterClass(Value) : nullptr;
  if (painterClass == nullptr) return;
  style_ = Value;
  SetPainterClass(painterClass);
}

void TuiCustomTabControl::ChooseStyleByLookAndFeel() {
  TuiPCPaintersFactory* factory = TuiPCPaintersFactory::Instance();
  if (factory == nullptr) throw Exception("TuiPCPaintersFactory.GetDefaultStyleID: There are no styles registered");
  Integer id = factory->GetStyleIDByLookAndFeel(LookAndFeel());
  if (id == -1) id = factory->GetDefaultStyleID(LookAndFeel());
  SetPainterClass(factory->GetPainterClass(id));
}

void TuiCustomTabControl::SetPainterClass(TuiPCPainterClass AClass) {
  if (AClass == nullptr || (painter_ != nullptr && painter_->PainterClass() == AClass)) return;
  TuiPCPaintersFactory* factory = TuiPCPaintersFactory::Instance();
  factory->ReleasePainterInstance(painter_);
  painter_ = nullptr;
  painter_ = factory->GetPainterInstance(AClass, this);
  if (rotate_ && !painter_->AllowRotate()) rotate_ = false;
  FreeCaptionBitmaps();
  LayoutChanged();
  FullRepaint();
}

void TuiCustomTabControl::FullRepaint() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TuiCustomTabControl::FreeCaptionBitmaps() {
  if (tabs_ != nullptr) tabs_->FreeCaptionBitmaps();
}

bool TuiCustomTabControl::AllowMultiSelection() const { return painter_->AllowMultiSelection(); }

Integer TuiCustomTabControl::MeasureTabWidth(TuiTab* Tab) { return painter_->CalculateTabNormalWidth(Tab); }

TRect TuiCustomTabControl::TabCorrection(TuiTab* Tab) {
  TRect r{};
  painter_->GetTabCorrection(Tab->GetVisibleIndex(), r);
  return r;
}

void TuiCustomTabControl::RepaintTab(Integer VisibleIndex, Integer Kind) {
  if (painter_ != nullptr) painter_->RepaintTab(VisibleIndex, Kind);
}

// ---- Layout entry ----

void TuiCustomTabControl::LayoutChanged() {
  if (TabsLoading() || TabsDestroying() || layoutRunning_ || !HandleAllocated() || painter_ == nullptr) return;
  layoutRunning_ = true;
  try {
    ClampMaxRotatedTabWidth();
    FreeCaptionBitmaps();
    tabs_->UpdateActiveTab();
    CalculateTabsLayout();
    tabs_->ImagesChanged();
    if (images_ != nullptr && images_->Count() > 0 && imageList_->Rotation() != GetPainterTextMode())
      imageList_->SetRotation(GetPainterTextMode());
    Realign();
    Invalidate();
    tabs_->UpdateActiveTab();
  } catch (...) {
    layoutRunning_ = false;
    throw;
  }
  layoutRunning_ = false;
  UpdateHotTrack();
}

// ---- Notifications ----

void TuiCustomTabControl::Loaded() {
  TuiControl::Loaded();
  LayoutChanged();
  const Integer stored = tabIndex_;
  tabIndex_ = -1;
  LockChangeEvents(true);
  try {
    SetTabIndex(stored);
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

void TuiCustomTabControl::CreateParams(TCreateParams& Params) {
  TuiControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TuiCustomTabControl::CreateWnd() {
  TuiControl::CreateWnd();
  LayoutChanged();
  Realign();
}

void TuiCustomTabControl::Resize() {
  TuiControl::Resize();
  LayoutChanged();
  Realign();
  if (painter_->NeedsRedrawOnResize()) FullRepaint();
}

void TuiCustomTabControl::ControlFontChanged() {
  TuiControl::ControlFontChanged();
  Canvas()->Canvas()->SetFont(Font());
  LayoutChanged();
}

void TuiCustomTabControl::HandleLookAndFeelChange(TuiLookAndFeel* Sender, TuiLookAndFeelValues AChangedValues) {
  TuiControl::HandleLookAndFeelChange(Sender, AChangedValues);
  if (style_ == uiPCDefaultStyle) ChooseStyleByLookAndFeel();
  LayoutChanged();
  FullRepaint();
}

void TuiCustomTabControl::FocusStateChanged() {
  TuiControl::FocusStateChanged();
  const Integer active = tabs_->ActiveTab();
  if (active != -1 && tabs_->GetVisibleTab(active)->IsVisibleOnScreen()) RepaintTab(active, tcFocus);
}

void TuiCustomTabControl::CMEnabledChanged(TMessage& Message) {
  TuiControl::CMEnabledChanged(Message);
  Invalidate();
}

void TuiCustomTabControl::CMParentColorChanged(TMessage& Message) {
  TuiControl::CMParentColorChanged(Message);
  Invalidate();
}

void TuiCustomTabControl::CMMouseLeave(TCMMouseLeave& Message) {
  TuiControl::CMMouseLeave(Message);
  UpdateHotTrack();
}

void TuiCustomTabControl::WMPrintClient(TWMPrintClient& Message) {
  if (PassesPrintClient())
    TuiControl::WMPrintClient(Message);
  else
    Message.Result = 1;
}

void TuiCustomTabControl::WndProc(TMessage& Message) {
  TuiControl::WndProc(Message);
  if (Message.Msg == WM_GETDLGCODE) Message.Result |= DLGC_WANTARROWS;
}

bool TuiCustomTabControl::DesignHitTest(Integer X, Integer Y, TShiftState Shift) {
  TuiPCNavigatorButton button;
  if (painter_->GetButtonAtPoint(X, Y, button) && navigatorButtons_.Contains(button))
    return button == nbTopLeft || button == nbBottomRight;
  const Integer tab = GetTabAt(X, Y);
  if (tab != -1) return tab != tabs_->ActiveTab();
  return TuiControl::DesignHitTest(X, Y, Shift);
}

// ---- Client rectangle and streaming ----

void TuiCustomTabControl::AdjustClientRect(TRect& Rect) {
  if (TabsLoading()) {
    Rect = clientRectStreamed_ ? streamedClientRect_ : TRect{0, 0, Width(), Height()};
    return;
  }
  painter_->CalculateClientRect(Rect);
  Rect = NormalizeRect(Rect);
}

void TuiCustomTabControl::DefineProperties(TFiler* Filer) {
  TuiControl::DefineProperties(Filer);
  TRect r;
  AdjustClientRect(r);
  auto reader = [this](Integer TRect::*Field, bool Marks) {
    return [this, Field, Marks](TReader* Reader) {
      streamedClientRect_.*Field = Reader->ReadInteger();
      if (Marks) clientRectStreamed_ = true;
    };
  };
  auto writer = [](Integer Value) { return [Value](TWriter* Writer) { Writer->WriteInteger(Value); }; };
  Filer->DefineProperty("ClientRectBottom", reader(&TRect::bottom, false), writer(r.bottom), r.bottom != 0);
  Filer->DefineProperty("ClientRectLeft", reader(&TRect::left, false), writer(r.left), r.left != 0);
  Filer->DefineProperty("ClientRectRight", reader(&TRect::right, false), writer(r.right), true);
  Filer->DefineProperty("ClientRectTop", reader(&TRect::top, true), writer(r.top), true);
}

// ---- Painting ----

void TuiCustomTabControl::Paint() {
  painter_->SaveClipRegion();
  try {
    painter_->Paint();
  } catch (...) {
    painter_->RestoreClipRegion();
    throw;
  }
  painter_->RestoreClipRegion();
}

// ---- Navigator buttons ----

void TuiCustomTabControl::SetNavigatorButtonState(TuiPCNavigatorButton AButton, TuiPCNavigatorButtonState AState) {
  const TuiPCNavigatorButtonState previous = buttonStates_[AButton];
  if (previous == AState) return;
  buttonStates_[AButton] = AState;
  painter_->RepaintButton(AButton, previous);
}

void TuiCustomTabControl::UpdateButtonsState() {
  const Integer count = tabs_->VisibleCount();
  const bool reversed = IsReversedRow();
  const TuiPCNavigatorButton backward = reversed ? nbBottomRight : nbTopLeft;
  bool changed = false;
  for (Integer i = nbTopLeft; i <= nbClose; ++i) {
    const auto button = static_cast<TuiPCNavigatorButton>(i);
    if (!navigatorButtons_.Contains(button)) continue;
    bool enabled = true;
    if (button == nbClose)
      enabled = tabs_->ActiveTab() != -1;
    else if (button == backward)
      enabled = firstVisibleTab_ > 0;
    else if (button != nbGoDialog)
      enabled = !(lastVisibleTab_ == count - 1 && (isLastTabFullyVisible_ || lastVisibleTab_ == firstVisibleTab_));
    if (!enabled && buttonStates_[button] != nbsDisabled) {
      hotButtons_.Exclude(button);
      pressedButtons_.Exclude(button);
      SetNavigatorButtonState(button, nbsDisabled);
      changed = true;
    } else if (enabled && buttonStates_[button] == nbsDisabled) {
      SetNavigatorButtonState(button, nbsNormal);
      changed = true;
    }
  }
  if (changed) UpdateHotTrack();
}

void TuiCustomTabControl::SetHotButtons(TuiPCNavigatorButtons AButtons) {
  if (hotButtons_ == AButtons) return;
  const TuiPCNavigatorButtons old = hotButtons_;
  hotButtons_ = AButtons;
  for (Integer i = nbTopLeft; i <= nbClose; ++i) {
    const auto button = static_cast<TuiPCNavigatorButton>(i);
    if (old.Contains(button) && !AButtons.Contains(button) && buttonStates_[button] == nbsHot)
      SetNavigatorButtonState(button, nbsNormal);
    if (AButtons.Contains(button) && !old.Contains(button) && buttonStates_[button] == nbsNormal)
      SetNavigatorButtonState(button, nbsHot);
  }
}

void TuiCustomTabControl::StartRepeat() {
  if (timer_ == nullptr) timer_ = new TuiTimer(nullptr);
  timer_->SetEnabled(false);
  timer_->SetInterval(uiPCFirstRepeatInterval);
  timer_->SetOnTimer(TNotifyEvent(this, &TuiCustomTabControl::RepeatTimerHandler));
  timer_->SetEnabled(true);
}

void TuiCustomTabControl::StopRepeat() {
  if (timer_ != nullptr) timer_->SetEnabled(false);
}

void TuiCustomTabControl::RepeatTimerHandler(TObject* /*Sender*/) {
  for (TuiPCNavigatorButton button : {nbTopLeft, nbBottomRight}) {
    if (pressedButtons_.Contains(button) && buttonStates_[button] == nbsPressed) {
      timer_->SetInterval(uiPCRepeatInterval);
      const Integer first = firstVisibleTab_;
      ScrollTabs(button);
      if (firstVisibleTab_ == first) StopRepeat();
      return;
    }
  }
  StopRepeat();
}

void TuiCustomTabControl::ReleasePressedButton() {
  StopRepeat();
  for (Integer i = nbTopLeft; i <= nbClose; ++i) {
    const auto button = static_cast<TuiPCNavigatorButton>(i);
    if (pressedButtons_.Contains(button) && buttonStates_[button] == nbsPressed)
      SetNavigatorButtonState(button, nbsNormal);
  }
  pressedButtons_ = TuiPCNavigatorButtons();
}

// ---- Mouse ----

TPoint TuiCustomTabControl::CursorPos() {
  TPoint p;
  uiGetCursorPos(p);
  return ScreenToClient(p);
}

void TuiCustomTabControl::UpdateHotTrack(TShiftState Shift) {
  if (TabsLoading() || IsDesigning() || TabsDestroying() || !HandleAllocated() || goDialogShown_ || painter_ == nullptr)
    return;
  TuiPCNavigatorButtons hot;
  Integer hotTab = -1;
  if ((hotTrack_ || painter_->IsNativePainting()) && Enabled() && !hideTabs_) {
    const TPoint p = CursorPos();
    const bool leftHeld = Shift.Contains(ssLeft) || KeyboardStateToShiftState().Contains(ssLeft);
    TuiPCNavigatorButton button;
    const bool overButton = painter_->GetButtonAtPoint(p.x, p.y, button) && navigatorButtons_.Contains(button) &&
                            (buttonStates_[button] == nbsNormal || buttonStates_[button] == nbsHot);
    if (leftHeld || !overButton) {
      if (!(leftHeld && painter_->IsButtonBehaviour())) {
        const Integer tab = GetTabAt(p.x, p.y);
        if (tab != -1 && tabs_->GetVisibleTab(tab)->IsEnabledForUser()) hotTab = tab;
      }
    } else {
      hot.Include(button);
    }
  }
  SetHotButtons(hot);
  tabs_->SetHotTrackTab(hotTab);
}

void TuiCustomTabControl::TabClick(Integer AVisibleIndex, TShiftState Shift) {
  TuiTab* tab = tabs_->GetVisibleTab(AVisibleIndex);
  if (multiSelect_ && painter_->AllowMultiSelection() && Shift.Contains(ssCtrl)) {
    if (tab->IsActive())
      SetTabIndex(-1);
    else
      tab->SetSelected(!tab->Selected());
    return;
  }
  SetTabIndex(tab->Index());
  if (IsDesigning()) NotifyDesignerModified();
}

void TuiCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiControl::MouseDown(Button, Shift, X, Y);
  const bool designing = IsDesigning();
  if (!designing && (Button != mbLeft || hideTabs_)) return;
  UpdateHotTrack(Shift);
  TuiPCNavigatorButton button;
  if (painter_->GetButtonAtPoint(X, Y, button) && navigatorButtons_.Contains(button)) {
    if (buttonStates_[button] == nbsPressed || buttonStates_[button] == nbsDisabled) return;
    hotButtons_.Exclude(button);
    SetNavigatorButtonState(button, nbsPressed);
    pressedButtons_ = TuiPCNavigatorButtons().Include(button);
    if (button == nbTopLeft || button == nbBottomRight) {
      ScrollTabs(button);
      if (pressedButtons_.Contains(button)) StartRepeat();
    }
    return;
  }
  const Integer tab = GetTabAt(X, Y);
  if (tab == -1) return;
  if (!designing && !tabs_->GetVisibleTab(tab)->IsEnabledForUser()) return;
  if (painter_->IsButtonBehaviour())
    tabs_->SetPressedTab(tab);
  else
    TabClick(tab, Shift);
}

void TuiCustomTabControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiControl::MouseMove(Shift, X, Y);
  if (hideTabs_ || goDialogShown_) return;
  if (!pressedButtons_.Empty()) {
    TuiPCNavigatorButton button;
    const bool over = painter_->GetButtonAtPoint(X, Y, button) && pressedButtons_.Contains(button);
    if (!over) ReleasePressedButton();
  }
  if (tabs_->PressedTab() != -1 && GetTabAt(X, Y) != tabs_->PressedTab()) tabs_->SetPressedTab(-1);
  UpdateHotTrack(Shift);
}

void TuiCustomTabControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiControl::MouseUp(Button, Shift, X, Y);
  if (hideTabs_ || goDialogShown_ || Button != mbLeft) return;
  const bool designing = IsDesigning();
  TuiPCNavigatorButton button;
  if (painter_->GetButtonAtPoint(X, Y, button) && navigatorButtons_.Contains(button)) {
    StopRepeat();
    if (buttonStates_[button] != nbsDisabled) {
      const bool alonePressed = pressedButtons_ == TuiPCNavigatorButtons().Include(button);
      if (button == nbGoDialog && alonePressed && !designing) {
        ShowGoDialog();
        return;
      }
      SetNavigatorButtonState(button, nbsNormal);
      if (pressedButtons_.Contains(button)) pressedButtons_ = TuiPCNavigatorButtons();
      UpdateHotTrack(Shift);
      if (button == nbClose && alonePressed && !designing && CanCloseActiveTab()) CloseActiveTab();
    }
  } else if (tabs_->PressedTab() != -1 && painter_->IsButtonBehaviour()) {
    const Integer tab = tabs_->PressedTab();
    tabs_->SetPressedTab(-1);
    TabClick(tab, Shift);
  }
  UpdateHotTrack(Shift);
}

bool TuiCustomTabControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (!multiLine_ && firstVisibleTab_ != -1 && !hideTabs_) {
    const TPoint p = ScreenToClient(MousePos);
    TRect r;
    tabs_->GetVisibleTab(firstVisibleTab_)->GetFullRect(r);
    const bool inBand = RowsVertical() ? p.x >= r.left && p.x < r.right : p.y >= r.top && p.y < r.bottom;
    if (inBand) {
      const bool forward = WheelDelta < 0;
      const bool reversed = IsReversedRow();
      ScrollTabs(forward != reversed ? nbBottomRight : nbTopLeft);
      return true;
    }
  }
  return TuiControl::DoMouseWheel(Shift, WheelDelta, MousePos);
}

// ---- Keys ----

Integer TuiCustomTabControl::FindNavigationTarget(Integer AStart, Integer AStep, bool AWrap) const {
  const Integer count = tabs_->VisibleCount();
  Integer i = AStart;
  for (Integer n = 0; n < count; ++n) {
    i += AStep;
    if (AWrap)
      i = (i % count + count) % count;
    else if (i < 0 || i >= count)
      return -1;
    if (i == AStart) return -1;
    if (tabs_->GetVisibleTab(i)->IsEnabledForUser()) return i;
  }
  return -1;
}

bool TuiCustomTabControl::ProcessNavigationKey(Word& Key, TShiftState Shift) {
  const Integer count = tabs_->VisibleCount();
  if (count == 0 || hideTabs_) return false;
  const TShiftState alt = TShiftState().Include(ssAlt);
  if (Shift == alt || Shift == TShiftState(alt).Include(ssShift)) return false;
  const bool reversed = IsReversedRow();
  Integer step = 0;
  bool wrap = false;
  Integer start = -2;
  switch (Key) {
    case VK_TAB:
      if (!Shift.Contains(ssCtrl)) return false;
      step = Shift.Contains(ssShift) ? -1 : 1;
      wrap = true;
      break;
    case VK_LEFT:
    case VK_UP: step = reversed ? 1 : -1; break;
    case VK_RIGHT:
    case VK_DOWN: step = reversed ? -1 : 1; break;
    case VK_HOME:
    case VK_END:
      step = (Key == VK_HOME) != reversed ? 1 : -1;
      start = step > 0 ? -1 : count;
      break;
    case VK_RETURN:
    case VK_SPACE: {
      const Integer focused = tabs_->FocusedTab();
      if (focused == -1) return false;
      SetTabIndex(tabs_->GetVisibleTab(focused)->Index());
      return true;
    }
    default: return false;
  }
  if (start == -2) {
    start = tabs_->FocusedTab() != -1 ? tabs_->FocusedTab() : tabs_->ActiveTab();
    // Without a current tab the search begins just outside the end it moves away from.
    if (start == -1) start = step > 0 ? -1 : count;
  }
  const Integer target = FindNavigationTarget(start, step, wrap);
  if (target == -1) return true;
  if (painter_->IsButtonBehaviour() && Key != VK_TAB)
    tabs_->SetFocusedTab(target);
  else
    SetTabIndex(tabs_->GetVisibleTab(target)->Index());
  return true;
}

void TuiCustomTabControl::KeyDown(Word& Key, TShiftState Shift) {
  TuiControl::KeyDown(Key, Shift);
  if (Key != 0 && ProcessNavigationKey(Key, Shift)) Key = 0;
}

void TuiCustomTabControl::CMDialogKey(TCMDialogKey& Message) {
  const HWND focus = GetFocus();
  if (HandleAllocated() && focus != nullptr && (focus == Handle() || IsChild(Handle(), focus))) {
    Word key = Message.CharCode();
    if (ProcessNavigationKey(key, KeyDataToShiftState(Message.KeyData()))) {
      Message.Result = 1;
      return;
    }
  }
  TuiControl::CMDialogKey(Message);
}

void TuiCustomTabControl::CMDialogChar(TCMDialogChar& Message) {
  for (Integer i = 0; i < tabs_->Count(); ++i) {
    if (IsAccel(Message.CharCode(), tabs_->GetTab(i)->Caption()) && CanSelectTab(i) && CanFocus()) {
      SetTabIndex(i);
      Message.Result = 1;
      return;
    }
  }
  TuiControl::CMDialogChar(Message);
}
