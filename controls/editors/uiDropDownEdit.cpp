// The drop-down editor: its popup settings, the deferred opening, the close reasons, the keys that open and
// close the popup, and the look-and-feel of the popup's controls.
#include "controls/editors/uiDropDownEdit.h"

#include <memory>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/rtl/Strings.h"

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomDropDownEditProperties) {}

TuiCustomDropDownEditProperties::TuiCustomDropDownEditProperties() {
  dropDownButtonIndex_ = GetDefaultDropDownButtonIndex();
  Buttons()->Add()->SetKind(bkDown);
}

TClass TuiCustomDropDownEditProperties::GetPopupWindowClass() const { return TuiCustomEditPopupWindow::StaticClass(); }
TClass TuiCustomDropDownEditProperties::GetEditClass() const { return TuiCustomDropDownEdit::StaticClass(); }
TClass TuiCustomDropDownEditProperties::GetViewDataClass() const {
  return TuiCustomDropDownEditViewData::StaticClass();
}

TBitmap* TuiCustomDropDownEditProperties::ButtonGlyph() const {
  if (dropDownButtonIndex_ < 0 || dropDownButtonIndex_ >= Buttons()->Count()) return nullptr;
  return Buttons()->Items(dropDownButtonIndex_)->Glyph();
}

bool TuiCustomDropDownEditProperties::IsButtonGlyphStored() const {
  return dropDownButtonIndex_ >= 0 && dropDownButtonIndex_ < Buttons()->Count() &&
         Buttons()->Items(dropDownButtonIndex_)->IsGlyphStored();
}

void TuiCustomDropDownEditProperties::SetButtonGlyph(TBitmap* Value) {
  if (dropDownButtonIndex_ < 0 || dropDownButtonIndex_ >= Buttons()->Count()) return;
  BeginUpdate();
  try {
    Buttons()->Items(dropDownButtonIndex_)->SetGlyph(Value);
    CorrectDropDownButtonKind();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomDropDownEditProperties::CorrectDropDownButtonKind() {
  if (dropDownButtonIndex_ < 0 || dropDownButtonIndex_ >= Buttons()->Count()) return;
  TuiEditButton* button = Buttons()->Items(dropDownButtonIndex_);
  if (button->IsGlyphStored())
    button->SetKind(bkGlyph);
  else if (button->Kind() == bkGlyph)
    button->SetKind(bkDown);
}

void TuiCustomDropDownEditProperties::Changed() {
  if (changing_) return TuiCustomMaskEditProperties::Changed();
  k58::editors::TScopedFlag guard(changing_, true);
  CorrectDropDownButtonKind();
  TuiCustomMaskEditProperties::Changed();
}

void TuiCustomDropDownEditProperties::SetDropDownButtonIndex(Integer Value) {
  if (Value == dropDownButtonIndex_ || Value < 0 || Value >= Buttons()->Count()) return;
  BeginUpdate();
  try {
    const Integer old = dropDownButtonIndex_;
    TuiEditButton* newButton = Buttons()->Items(Value);
    if (old >= 0 && old < Buttons()->Count()) {
      TuiEditButton* oldButton = Buttons()->Items(old);
      if (oldButton->IsGlyphStored()) {
        newButton->SetGlyph(oldButton->Glyph());
        newButton->SetKind(bkGlyph);
      }
      oldButton->SetGlyph(nullptr);
    }
    dropDownButtonIndex_ = Value;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomDropDownEditProperties::SetPressedButtonWhenOpen(bool Value) {
  if (pressedButton_ == Value) return;
  pressedButton_ = Value;
  Changed();
}

TAlignment TuiCustomDropDownEditProperties::PopupAlignment() const {
  switch (popupHorzAlignment_) {
    case palCenter: return taCenter;
    case palAfter: return taRightJustify;
    default: return taLeftJustify;
  }
}

void TuiCustomDropDownEditProperties::SetPopupAlignment(TAlignment Value) {
  const TuiPopupAlignment a = Value == taCenter ? palCenter : Value == taRightJustify ? palAfter : palBefore;
  if (a == popupHorzAlignment_) return;
  popupHorzAlignment_ = a;
  Changed();
}

void TuiCustomDropDownEditProperties::SetPopupClientEdge(bool Value) {
  if (popupClientEdge_ == Value) return;
  popupClientEdge_ = Value;
  Changed();
}

void TuiCustomDropDownEditProperties::SetPopupSizeable(bool Value) {
  if (popupSizeable_ == Value) return;
  popupSizeable_ = Value;
  Changed();
}

void TuiCustomDropDownEditProperties::SetPopupSysPanelStyle(bool Value) {
  if (popupSysPanelStyle_ == Value) return;
  popupSysPanelStyle_ = Value;
  Changed();
}

void TuiCustomDropDownEditProperties::SetPopupHeight(Integer Value) { popupHeight_ = std::max(Value, popupMinHeight_); }

void TuiCustomDropDownEditProperties::SetPopupWidth(Integer Value) {
  if (Value < 0) Value = 0;
  if (Value > 0 && Value < popupMinWidth_) Value = popupMinWidth_;
  popupWidth_ = Value;
}

void TuiCustomDropDownEditProperties::SetPopupMinHeight(Integer Value) {
  popupMinHeight_ = std::max(Value, 0);
  SetPopupHeight(popupHeight_);
}

void TuiCustomDropDownEditProperties::SetPopupMinWidth(Integer Value) {
  popupMinWidth_ = std::max(Value, 0);
  SetPopupWidth(popupWidth_);
}

void TuiCustomDropDownEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomDropDownEditProperties*>(Source);
  if (source == nullptr) return TuiCustomMaskEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomMaskEditProperties::Assign(Source);
    if (source->IsButtonGlyphStored()) SetButtonGlyph(source->ButtonGlyph());
    immediateDropDown_ = source->immediateDropDown_;
    immediatePopup_ = source->immediatePopup_;
    SetPressedButtonWhenOpen(source->pressedButton_);
    SetPopupAlignment(source->PopupAlignment());
    popupAutoSize_ = source->popupAutoSize_;
    SetPopupClientEdge(source->popupClientEdge_);
    // The minimums first, so the sizes are not clamped by the old ones.
    popupMinHeight_ = 0;
    popupMinWidth_ = 0;
    SetPopupHeight(source->popupHeight_);
    SetPopupMinHeight(source->popupMinHeight_);
    SetPopupWidth(source->popupWidth_);
    SetPopupMinWidth(source->popupMinWidth_);
    SetPopupSizeable(source->popupSizeable_);
    SetPopupSysPanelStyle(source->popupSysPanelStyle_);
    postPopupValueOnTab_ = source->postPopupValueOnTab_;
    onCloseQuery_ = source->onCloseQuery_;
    onCloseUp_ = source->onCloseUp_;
    onInitPopup_ = source->onInitPopup_;
    onPopup_ = source->onPopup_;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// ---- Popup look-and-feel --------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomDropDownEditData) {}

K58_IMPLEMENT_CLASS(TuiEditPopupControlLookAndFeel) {}

TuiEditPopupControlLookAndFeel::TuiEditPopupControlLookAndFeel(TuiCustomDropDownEdit* AEdit)
    : TuiLookAndFeel(nullptr), edit_(AEdit) {
  SetOnChanged([this](TuiLookAndFeel*, TuiLookAndFeelValues) {
    if (edit_ != nullptr) edit_->PopupLookAndFeelChanged();
  });
}

TuiLookAndFeelKind TuiEditPopupControlLookAndFeel::KindOfButtonStyle(TuiEditButtonStyle AStyle) {
  switch (AStyle) {
    case btsFlat:
    case btsSimple:
    case btsHotFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

void TuiEditPopupControlLookAndFeel::Refresh() {
  if (edit_ == nullptr) return;
  TuiCustomEditViewInfo* view = edit_->EditViewInfo();
  TuiLookAndFeelKind kind = lfStandard;
  if (edit_->IsInplace())
    kind = edit_->ActiveEditStyle()->LookAndFeel()->Kind();
  else if (view != nullptr && view->ButtonCount() > 0)
    kind = KindOfButtonStyle(view->Buttons[0]->Data.Style);
  const bool native = view != nullptr && view->NativeStyle;
  // SetKind and SetNativeStyle notify the listeners and the change event of what changed.
  SetKind(kind);
  SetNativeStyle(native);
}

// ---- Inner edit and view data -----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomDropDownInnerEdit) {}

void TuiCustomDropDownInnerEdit::WndProc(TMessage& Message) {
  if (Message.Msg == CM_HINTSHOW && Container() != nullptr && Container()->HasPopupWindow()) {
    Message.Result = 1;
    return;
  }
  TuiCustomInnerTextEdit::WndProc(Message);
}

K58_IMPLEMENT_CLASS(TuiCustomDropDownEditViewData) {}

void TuiCustomDropDownEditViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                              TShiftState AShift, TuiCustomEditViewInfo* AViewInfo,
                                              bool AIsMouseEvent) {
  TuiCustomTextEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TuiCustomTextEditViewInfo*>(AViewInfo);
  auto* properties = dynamic_cast<TuiCustomDropDownEditProperties*>(Properties);
  if (vi == nullptr || properties == nullptr) return;
  if (HotPopup) {
    // The drop-down button shows no hot state while the popup is open under the mouse.
    const Integer index = properties->DropDownButtonIndex();
    for (Integer i = 0; i < vi->ButtonCount(); ++i) {
      TuiEditButtonViewInfo* b = vi->Buttons[static_cast<size_t>(i)];
      if (b->ButtonIndex == index && b->Data.State == ebsHotState) {
        b->Data.State = ebsNormalState;
        if (vi->HotButton == i) vi->HotButton = -1;
      }
    }
  }
  auto* edit = dynamic_cast<TuiCustomTextEdit*>(Edit);
  vi->WholeFieldHighlight = !IsInplace && TextMode() == temFixedList && Focused && edit != nullptr &&
                            edit->LookupMatch() && properties->FixedListSelection() && !vi->IsInplace &&
                            !vi->InnerEditShowsText;
}

bool TuiCustomDropDownEditViewData::IsButtonPressedByEditor(TuiCustomEditViewInfo* AViewInfo, Integer AIndex) {
  if (TuiCustomTextEditViewData::IsButtonPressedByEditor(AViewInfo, AIndex)) return true;
  auto* properties = dynamic_cast<TuiCustomDropDownEditProperties*>(Properties);
  if (properties == nullptr || !(PopupShown || HotPopup) || !properties->PressedButtonWhenOpen()) return false;
  return AIndex >= 0 && AIndex < AViewInfo->ButtonCount() &&
         AViewInfo->Buttons[static_cast<size_t>(AIndex)]->ButtonIndex == properties->DropDownButtonIndex();
}

// ---- Editor ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomDropDownEdit) {}

TuiCustomDropDownEdit::TuiCustomDropDownEdit(TComponent* AOwner) : TuiCustomMaskEdit(AOwner) {}

TuiCustomDropDownEdit::~TuiCustomDropDownEdit() {
  if (popupWindow_ != nullptr) {
    popupWindow_->SetOnClosed(TNotifyEvent{});
    popupWindow_->SetOnShowed(TNotifyEvent{});
    popupWindow_->SetOnCloseQuery(TCloseQueryEvent{});
    popupWindow_->SetOwnerControl(nullptr);
    popupWindow_->RemoveFreeNotification(this);
  }
  popupWindow_.reset();
  popupLookAndFeel_.reset();
}

void TuiCustomDropDownEdit::BeforeDestruction() {
  if (popupWindow_ != nullptr) {
    if (IsPopupShowPending()) WithdrawPendingShow();
    if (HasPopupWindow()) CloseUp(pcrClose);
  }
  TuiCustomMaskEdit::BeforeDestruction();
}

TClass TuiCustomDropDownEdit::GetPropertiesClass() const { return TuiCustomDropDownEditProperties::StaticClass(); }

void TuiCustomDropDownEdit::Initialize() {
  TuiCustomMaskEdit::Initialize();
  if (!ComponentState().Contains(csDesigning)) CreatePopupWindow();
  initialized_ = true;
  popupLookAndFeel_.reset(new TuiEditPopupControlLookAndFeel(this));
}

void TuiCustomDropDownEdit::CreatePopupWindow() {
  TClass cls = ActiveProperties()->GetPopupWindowClass();
  if (cls == nullptr || !cls->InheritsFrom(TuiCustomEditPopupWindow::StaticClass()))
    cls = TuiCustomEditPopupWindow::StaticClass();
  popupWindow_.reset(ObjectAs<TuiCustomEditPopupWindow>(cls->CreateComponent(nullptr)));
  popupWindow_->SetOwnerControl(this);
  popupWindow_->FreeNotification(this);
  // The popup's content is laid out to the popup's size; scroll bars of the popup itself would cover it.
  popupWindow_->SetAutoScroll(false);
  popupWindow_->SetTakeFocus(ActiveProperties()->IsPopupFocused());
  popupWindow_->SetTopmost(!IsInplace());
  popupWindow_->SetOnCloseQuery([this](TObject* Sender, bool& CanClose) { PopupWindowCloseQuery(Sender, CanClose); });
  popupWindow_->SetOnClosed([this](TObject* Sender) { PopupWindowClosed(Sender); });
  popupWindow_->SetOnShowed([this](TObject* Sender) { PopupWindowShowed(Sender); });
}

void TuiCustomDropDownEdit::Notification(TComponent* AComponent, TOperation Operation) {
  // The popup is a form: whoever frees every form (the end of the program) frees it too; the editor then
  // forgets it rather than freeing it a second time.
  if (Operation == opRemove && popupWindow_ != nullptr && AComponent == popupWindow_.get())
    (void)popupWindow_.release();
  TuiCustomMaskEdit::Notification(AComponent, Operation);
}

bool TuiCustomDropDownEdit::HasPopupWindow() { return popupWindow_ != nullptr && popupWindow_->IsShown(); }

bool TuiCustomDropDownEdit::IsPopupShowPending() {
  if (popupWindow_ == nullptr || !popupWindow_->HandleAllocated()) return false;
  MSG msg;
  return PeekMessage(&msg, popupWindow_->Handle(), ShowPopupMessage, ShowPopupMessage, PM_NOREMOVE) != 0;
}

void TuiCustomDropDownEdit::WithdrawPendingShow() {
  if (popupWindow_ == nullptr || !popupWindow_->HandleAllocated()) return;
  MSG msg;
  bool removed = false;
  while (PeekMessage(&msg, popupWindow_->Handle(), ShowPopupMessage, ShowPopupMessage, PM_REMOVE)) removed = true;
  if (removed) PopupWindowClosed(popupWindow_.get());
}

bool TuiCustomDropDownEdit::DroppedDown() { return HasPopupWindow(); }

void TuiCustomDropDownEdit::SetDroppedDown(bool Value) {
  if (Value == DroppedDown()) return;
  if (!Value)
    CloseUp(pcrClose);
  else if (!IsPopupShowPending())
    DropDown();
}

void TuiCustomDropDownEdit::DoInitPopup() {
  if (Properties()->OnInitPopup().Assigned()) Properties()->OnInitPopup()(this);
  if (RepositoryItem() != nullptr && ActiveProperties()->OnInitPopup().Assigned()) ActiveProperties()->OnInitPopup()(this);
}

void TuiCustomDropDownEdit::DoPopup() {
  closeReason_ = pcrClose;
  if (Properties()->OnPopup().Assigned()) Properties()->OnPopup()(this);
  if (RepositoryItem() != nullptr && ActiveProperties()->OnPopup().Assigned()) ActiveProperties()->OnPopup()(this);
}

void TuiCustomDropDownEdit::DropDown() {
  if (popupWindow_ == nullptr || !HandleAllocated() || !IsWindowVisible(Handle())) return;
  auto alive = AliveToken();
  DoInitPopup();
  if (alive.expired() || !CanDropDown()) return;
  if (IsLookupDataUsed()) LookupData()->DropDownHook();
  PreparePopup();
  if (alive.expired()) return;
  popupWindow_->HandleNeeded();
  popupWindow_->SetShowFocusedControl(dynamic_cast<TWinControl*>(GetPopupFocusedControl()));
  PostMessage(popupWindow_->Handle(), ShowPopupMessage, 0, 0);
}

TControl* TuiCustomDropDownEdit::GetPopupFocusedControl() {
  if (IsLookupDataUsed() && ActiveProperties()->ShowsLookupListInPopup() && ActiveProperties()->IsPopupFocused())
    if (TWinControl* list = LookupListControl()) return list;
  return InnerControlOfEdit();
}

void TuiCustomDropDownEdit::AttachLookupListToPopup() {
  if (popupWindow_ == nullptr || LookupData() == nullptr || ComponentState().Contains(csDesigning) ||
      !ActiveProperties()->ShowsLookupListInPopup())
    return;
  LookupData()->Initialize(popupWindow_.get());
}

void TuiCustomDropDownEdit::PositionPopupContent(const TRect& AClientRect) {
  if (LookupData() != nullptr) LookupData()->PositionVisualArea(AClientRect);
}

void TuiCustomDropDownEdit::SetupPopupWindow() {
  TuiCustomDropDownEditProperties* properties = ActiveProperties();
  TuiCustomEditPopupWindow* popup = popupWindow_.get();
  popup->SetOwnerParent(Parent());
  popup->SetDirection(properties->PopupDirection());
  popup->SetAlignHorz(properties->PopupHorzAlignment());
  popup->SetAlignVert(properties->PopupVertAlignment());
  popup->SetClientEdge(properties->PopupClientEdge());
  popup->SetMinHeight(properties->PopupMinHeight());
  popup->SetMinWidth(properties->PopupMinWidth());
  popup->SetAutoSize(properties->PopupAutoSize());
  popup->SetSizeable(properties->PopupSizeable());
  popup->SetSysPanelStyle(properties->PopupSysPanelStyle());
  auto* data = dynamic_cast<TuiCustomDropDownEditData*>(EditData());
  if (IsInplace() && properties->PopupSizeable() && data != nullptr) {
    popup->SetPopupWidth(data->PopupWidth);
    popup->SetPopupHeight(data->PopupHeight);
  } else {
    popup->SetPopupWidth(properties->PopupWidth());
    popup->SetPopupHeight(properties->PopupHeight());
  }
  popup->SetCloseButton(ActiveEditStyle()->PopupCloseButton());
  TuiCustomEditViewInfo* view = EditViewInfo();
  popup->SetPopupBorderStyle(view->PopupBorderStyle);
  popup->SetNativeStyle(view->NativeStyle);
  popup->SetShadow(HasShadow());
}

void TuiCustomDropDownEdit::PreparePopup() {
  TuiCustomEditPopupWindow* popup = popupWindow_.get();
  popup->SetTakeFocus(ActiveProperties()->IsPopupFocused());
  AttachLookupListToPopup();
  SetupPopupWindow();
  popup->FitToContent();
  TPoint origin;
  popup->ComputePopupOrigin(origin);
  popup->AdjustBoundsToWorkArea(origin);
  popup->SetBounds(origin.x, origin.y, popup->Width(), popup->Height());
  popup->GetOwnerScreenBounds();
  popup->Realign();
  PositionPopupContent(popup->ViewInfo()->ClientRect);
  popup->Invalidate();
  // The form's alpha blending and transparent colour are copied; the window system decides what they do.
  if (TCustomForm* form = GetParentForm(this)) {
    popup->SetAlphaBlend(form->AlphaBlend());
    popup->SetAlphaBlendValue(form->AlphaBlendValue());
    popup->SetTransparentColor(form->TransparentColor());
    popup->SetTransparentColorValue(form->TransparentColorValue());
  }
}

void TuiCustomDropDownEdit::CloseUp(TuiPopupCloseReason AReason) {
  if (!HasPopupWindow()) return;
  auto alive = AliveToken();
  LockChangeEvents(true);
  try {
    if (AReason == pcrTab || AReason == pcrToggle || AReason == pcrAccept) {
      if (IsLookupDataUsed()) {
        const Variant oldKey = LookupData()->GetCurrentKey();
        LockClick(true);
        try {
          LookupData()->SelectItem();
        } catch (...) {
          LockClick(false);
          throw;
        }
        LockClick(false);
        if (Modified() && !VarEqualsSameType(oldKey, LookupData()->GetCurrentKey())) SetModifiedAndClick();
      }
      if (!ActiveProperties()->IsPopupValueEditor() && ActiveProperties()->ImmediatePost() && CanPostEditValue())
        PostEditValue(true);
    }
  } catch (...) {
    if (!alive.expired()) LockChangeEvents(false);
    throw;
  }
  if (alive.expired()) return;
  LockChangeEvents(false);
  if (alive.expired()) return;
  closeReason_ = AReason;
  if (popupWindow_ != nullptr) popupWindow_->ClosePopup();
}

void TuiCustomDropDownEdit::PopupWindowCloseQuery(TObject*, bool& CanClose) {
  if (Properties()->OnCloseQuery().Assigned()) Properties()->OnCloseQuery()(this, CanClose);
  if (RepositoryItem() != nullptr && ActiveProperties()->OnCloseQuery().Assigned())
    ActiveProperties()->OnCloseQuery()(this, CanClose);
}

void TuiCustomDropDownEdit::PopupWindowClosed(TObject*) {
  auto alive = AliveToken();
  TuiCustomDropDownEditProperties* properties = ActiveProperties();
  if (properties->PopupSizeable() && resized_ && popupWindow_ != nullptr) {
    auto* data = dynamic_cast<TuiCustomDropDownEditData*>(EditData());
    if (IsInplace() && data != nullptr) {
      data->SizeKept = true;
      data->PopupWidth = popupWindow_->Width();
      data->PopupHeight = popupWindow_->Height();
    } else {
      properties->SetPopupWidth(popupWindow_->Width());
      properties->SetPopupHeight(popupWindow_->Height());
    }
  }
  if (IsLookupDataUsed()) LookupData()->SyncListToCurrentKey();
  if (properties->GetTextMode() == temFixedList) UpdateAtCursorPos(false);
  DoClosePopup(closeReason_);
  if (alive.expired()) return;
  if (Properties()->OnCloseUp().Assigned()) Properties()->OnCloseUp()(this);
  if (alive.expired()) return;
  if (RepositoryItem() != nullptr && ActiveProperties()->OnCloseUp().Assigned()) ActiveProperties()->OnCloseUp()(this);
  if (alive.expired()) return;
  LockChangeEvents(true);
  try {
    if (ActiveProperties()->IsPopupValueEditor() && ActiveProperties()->ImmediatePost() && CanPostEditValue() &&
        ValidateEdit(true))
      PostEditValue(false);
  } catch (...) {
    if (!alive.expired()) LockChangeEvents(false);
    throw;
  }
  if (alive.expired()) return;
  LockChangeEvents(false);
  if (!alive.expired()) UpdateAtCursorPos(false);
}

void TuiCustomDropDownEdit::PopupWindowShowed(TObject*) {
  auto alive = AliveToken();
  UpdateAtCursorPos(false);
  if (popupWindow_ == nullptr) return;
  popupWindow_->GetOwnerScreenBounds();
  PositionPopupContent(popupWindow_->ViewInfo()->ClientRect);
  DoPopup();
  if (alive.expired()) return;
  UpdateDrawValue();
  if (IsLookupDataUsed() && LookupMatch() && ActiveProperties()->ImmediateDropDown() &&
      ActiveProperties()->IsPopupFocused()) {
    String text;
    GetDisplayText(text);
    LookupData()->PopupShownHook(Utf8Copy(text, 1, GetCaretCharIndex()));
  }
  resized_ = false;
}

void TuiCustomDropDownEdit::GetPopupOwnerBounds(TRect& R) {
  R = TRect{};
  // An in-place host may prescribe where the editor stands; the popup then aligns to that rectangle.
  if (IsInplace()) {
    std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData());
    R = viewData->State.StoredRect;
  }
  if (IsRectEmpty(&R)) GetHotTrackBounds(R);
  if (HasShadow()) R.right += 3;
  OffsetRect(&R, Left(), Top());
}

void TuiCustomDropDownEdit::CalculatePopupContentSize(TSize& ASize) { ASize = TSize{0, 0}; }

TuiLookAndFeelKind TuiCustomDropDownEdit::GetPopupLookAndFeelKind() {
  return popupLookAndFeel_ != nullptr ? popupLookAndFeel_->Kind() : lfStandard;
}

IuiTextEditLookupData* TuiCustomDropDownEdit::GetPopupLookupData() {
  return IsLookupDataUsed() ? LookupData() : nullptr;
}

// ---- Keys -------------------------------------------------------------------------------------------------

void TuiCustomDropDownEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
    if (HasPopupWindow())
      CloseUp(pcrToggle);
    else
      SetDroppedDown(true);
    Key = 0;
    return;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && HasPopupWindow()) {
    auto alive = AliveToken();
    SetEnterEscSwallow(true);
    {
      const bool saved = IsUserAction();
      SetUserAction(true);
      try {
        if (Key == VK_RETURN && DoEditing())
          CloseUp(pcrAccept);
        else
          CloseUp(pcrCancel);
      } catch (...) {
        if (!alive.expired()) SetUserAction(saved);
        throw;
      }
      if (alive.expired()) return;
      SetUserAction(saved);
    }
    if (!HasPopupWindow()) {
      if (Key == VK_ESCAPE) SetMouseCapture(false);
      Key = 0;
      return;
    }
  }
  if (Key != 0) TuiCustomMaskEdit::DoEditKeyDown(Key, Shift);
}

void TuiCustomDropDownEdit::DoEditKeyPress(char& Key) {
  const auto byte = static_cast<unsigned char>(Key);
  if (byte >= 32 && ActiveProperties()->ImmediateDropDown() && !HasPopupWindow()) SetDroppedDown(true);
  if (ActiveProperties()->IsPopupFocused() && Key != '\r' && CanDropDown() && GetPopupFocusedControl() != nullptr &&
      popupWindow_ != nullptr && popupWindow_->HandleAllocated()) {
    PostMessage(popupWindow_->Handle(), PopupForwardCharMessage, byte, 0);
    Key = 0;
    return;
  }
  if (Key != 0) TuiCustomMaskEdit::DoEditKeyPress(Key);
}

bool TuiCustomDropDownEdit::IsKeyForEditor(char AKey) {
  if (!ActiveProperties()->ImmediateDropDown()) return true;
  return !(ActiveProperties()->IsPopupFocused() && AKey != '\r');
}

bool TuiCustomDropDownEdit::IsClickKey(Word Key, TShiftState Shift) {
  if (TuiCustomMaskEdit::IsClickKey(Key, Shift)) return true;
  return IsInplace() && HasPopupWindow() && (Shift.Contains(ssAlt) || Shift.Contains(ssCtrl) || Key < 32);
}

void TuiCustomDropDownEdit::BeforeTabNavigation(TShiftState Shift) {
  if (HasPopupWindow() && ActiveProperties()->PostPopupValueOnTab()) CloseUp(pcrTab);
  TuiCustomMaskEdit::BeforeTabNavigation(Shift);
}

void TuiCustomDropDownEdit::DoButtonDown(Integer AButtonIndex) {
  TuiCustomMaskEdit::DoButtonDown(AButtonIndex);
  if (AButtonIndex == ActiveProperties()->DropDownButtonIndex()) SetDroppedDown(true);
}

// ---- In-place activation ------------------------------------------------------------------------------------

void TuiCustomDropDownEdit::ClearEditData() {
  if (auto* data = dynamic_cast<TuiCustomDropDownEditData*>(EditData())) {
    data->SizeKept = false;
    data->PopupWidth = ActiveProperties()->PopupWidth();
    data->PopupHeight = ActiveProperties()->PopupHeight();
  }
}

void TuiCustomDropDownEdit::Activate(TuiCustomEditData*& AEditData) {
  TuiCustomMaskEdit::Activate(AEditData);
  auto* data = dynamic_cast<TuiCustomDropDownEditData*>(EditData());
  rememberSize_ = data != nullptr && data->SizeKept && ActiveProperties()->PopupSizeable();
  if (ActiveProperties()->ImmediatePopup()) SetDroppedDown(true);
}

void TuiCustomDropDownEdit::ActivateByKey(char AKey, TuiCustomEditData*& AEditData) {
  TuiCustomMaskEdit::ActivateByKey(AKey, AEditData);
  TuiCustomDropDownEditProperties* properties = ActiveProperties();
  const bool forEditor = IsKeyForEditor(AKey);
  if (static_cast<unsigned char>(AKey) >= 32 && properties->ImmediateDropDown() && !properties->ImmediatePopup() &&
      !forEditor)
    SetDroppedDown(true);
  if (!forEditor && CanDropDown() && GetPopupFocusedControl() != nullptr && popupWindow_ != nullptr &&
      popupWindow_->HandleAllocated())
    PostMessage(popupWindow_->Handle(), PopupForwardCharMessage, static_cast<unsigned char>(AKey), 0);
}

void TuiCustomDropDownEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TuiCustomEditData*& AEditData) {
  k58::editors::TScopedFlag activation(mouseActivation_, true);
  TuiCustomMaskEdit::ActivateByMouse(Shift, X, Y, AEditData);
}

bool TuiCustomDropDownEdit::Deactivate() {
  if (HasPopupWindow()) CloseUp(pcrClose);
  if (auto* data = dynamic_cast<TuiCustomDropDownEditData*>(EditData())) data->SizeKept = rememberSize_;
  const bool result = TuiCustomMaskEdit::Deactivate();
  WithdrawPendingShow();
  return result;
}

// ---- Other overrides ------------------------------------------------------------------------------------------

IuiCustomInnerEdit* TuiCustomDropDownEdit::CreateInnerEdit() {
  return (new TuiCustomDropDownInnerEdit(this))->Helper();
}

void TuiCustomDropDownEdit::PropertiesChanged(TObject* Sender) {
  if (Properties() == nullptr) return;
  if (!ActiveProperties()->PopupSizeable()) rememberSize_ = false;
  if (HasPopupWindow()) PreparePopup();
  TuiCustomMaskEdit::PropertiesChanged(Sender);
}

void TuiCustomDropDownEdit::PasteFromClipboard() {
  if (!IsUserAction()) return TuiCustomMaskEdit::PasteFromClipboard();
  const String before = InnerControlOfEdit() != nullptr ? InnerControlOfEdit()->Text() : String();
  TuiCustomMaskEdit::PasteFromClipboard();
  const String after = InnerControlOfEdit() != nullptr ? InnerControlOfEdit()->Text() : String();
  if (after != before && ActiveProperties()->ImmediateDropDown() && !HasPopupWindow()) {
    SetDroppedDown(true);
    if (IsLookupDataUsed() && HandleAllocated()) PostMessage(Handle(), DropDownLookupSyncMessage, 0, 0);
  }
}

void TuiCustomDropDownEdit::SynchronizeLookupAfterPaste() {
  if (!IsLookupDataUsed()) return;
  if (HasPopupWindow()) {
    const Variant oldKey = LookupData()->GetCurrentKey();
    LockClick(true);
    try {
      LookupData()->TextChanged();
    } catch (...) {
      LockClick(false);
      throw;
    }
    LockClick(false);
    if (!VarEqualsSameType(oldKey, LookupData()->GetCurrentKey())) SetModifiedAndClick();
  }
  const Byte mode = ActiveProperties()->GetTextMode();
  if (mode == temFree) {
    String text;
    GetDisplayText(text);
    SetLookupMatch(GetCaretCharIndex() == Utf8Length(text) && LookupData()->IsKnownText(text));
  } else if (mode == temFixedList) {
    SetLookupMatch(true);
  }
}

bool TuiCustomDropDownEdit::CanUseLookupList(bool AForMouseWheel) {
  if (InnerTextEdit() == nullptr) return false;
  return !(IsInplace() && !AForMouseWheel && !HasPopupWindow());
}

bool TuiCustomDropDownEdit::IsFocused() { return TuiCustomMaskEdit::IsFocused() || HasPopupWindow(); }

void TuiCustomDropDownEdit::FocusStateChanged() {
  if (!ActiveProperties()->IsPopupFocused() && HasPopupWindow()) {
    TWinControl* inner = InnerControlOfEdit();
    const bool innerFocused = inner != nullptr && inner->HandleAllocated() && GetFocus() == inner->Handle();
    if (!innerFocused && !(HandleAllocated() && GetFocus() == Handle())) CloseUp(pcrClose);
  }
  TuiCustomMaskEdit::FocusStateChanged();
}

void TuiCustomDropDownEdit::DoExit() {
  auto alive = AliveToken();
  CloseUp(pcrClose);
  if (alive.expired()) return;
  TuiCustomMaskEdit::DoExit();
}

void TuiCustomDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TuiCustomMaskEdit::MouseDown(Button, Shift, X, Y);
  if (alive.expired() || mouseActivation_) return;
  const TRect client = EditViewInfo()->ClientRect;
  const TPoint p{X, Y};
  if (ActiveProperties()->OpensPopupOnClick() && Button == mbLeft && PtInRect(&client, p) && !HasPopupWindow() &&
      !hotPopup_ && IsFocused())
    SetDroppedDown(true);
}

bool TuiCustomDropDownEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (TuiCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!HasPopupWindow() || !IsLookupDataUsed() || LookupData()->IsEmpty()) return false;
  if (TWinControl* list = LookupListControl(); list != nullptr && list->HandleAllocated()) {
    const TPoint screen = MousePos;
    SendMessage(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WheelDelta)),
                MAKELPARAM(screen.x, screen.y));
  }
  return true;
}

bool TuiCustomDropDownEdit::RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) {
  auto alive = AliveToken();
  const bool result = TuiCustomMaskEdit::RefreshAtPoint(P, AButton, AShift, AIsMouseEvent);
  if (alive.expired()) return result;
  const bool held = AShift.Contains(ssLeft) || AShift.Contains(ssRight) || AShift.Contains(ssMiddle);
  if (AIsMouseEvent && AButton != 0 && held && HasPopupWindow() && GetButtonIndexAt(P) < 0) {
    const TRect bounds{0, 0, Width(), Height()};
    if (PtInRect(&bounds, P)) CloseUp(pcrClose);
    if (alive.expired()) return result;
  }
  if (AIsMouseEvent && !AShift.Contains(ssLeft)) {
    const TRect bounds{0, 0, Width(), Height()};
    hotPopup_ = HasPopupWindow() && PtInRect(&bounds, P);
  }
  if (popupLookAndFeel_ != nullptr) popupLookAndFeel_->Refresh();
  return result;
}

void TuiCustomDropDownEdit::StyleChanged(TObject* Sender) {
  if (HandleAllocated() && popupLookAndFeel_ != nullptr) popupLookAndFeel_->Refresh();
  TuiCustomMaskEdit::StyleChanged(Sender);
}

TuiCustomEditViewData* TuiCustomDropDownEdit::CreateViewData() {
  TuiCustomEditViewData* viewData = TuiCustomMaskEdit::CreateViewData();
  if (auto* data = dynamic_cast<TuiCustomDropDownEditViewData*>(viewData)) {
    data->PopupShown = HasPopupWindow();
    data->HotPopup = hotPopup_;
  }
  return viewData;
}

void TuiCustomDropDownEdit::CreateWnd() {
  TuiCustomMaskEdit::CreateWnd();
  AttachLookupListToPopup();
}

void TuiCustomDropDownEdit::DestroyWnd() {
  if (popupWindow_ != nullptr) {
    auto alive = AliveToken();
    CloseUp(pcrClose);
    if (alive.expired()) return;
    if (popupWindow_->HandleAllocated()) popupWindow_->DestroyHandle();
  }
  TuiCustomMaskEdit::DestroyWnd();
}

void TuiCustomDropDownEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case DropDownLookupSyncMessage:
      SynchronizeLookupAfterPaste();
      return;
    case CM_HINTSHOW:
      if (HasPopupWindow()) {
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TuiCustomMaskEdit::WndProc(Message);
}
