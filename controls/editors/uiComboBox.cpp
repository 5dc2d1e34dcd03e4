// The combo box: Properties, control, list boxes, view data and view info, its popup window's size, and its
// lookup data (preferred list size, snapping of a resized list to whole items).
#include "controls/editors/uiComboBox.h"

#include <algorithm>
#include <climits>

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/win/builtin/CommCtrl.h"

namespace k58::editors {

void SnapListSizeToItems(TSize& ANewSize, Integer AMaxHeight, const TuiListSnapMetrics& AList) {
  const Integer w = ANewSize.cx, h = ANewSize.cy;
  if (w == AList.Width && h == AList.Height) return;
  const Integer limit = AMaxHeight == 0 ? INT_MAX : AMaxHeight;
  Integer sum = 0, total = 0;
  bool needV = false, needH = false;
  // The height of the rows so far with the horizontal bar they may need.
  auto measure = [&](bool ANeedV) {
    needV = ANeedV;
    needH = AList.ScrollWidth > w - (needV ? AList.VScrollWidth : 0);
    total = sum + (needH ? AList.HScrollHeight : 0);
  };
  for (Integer i = 0; i < AList.ItemCount; ++i) {
    sum += AList.ItemHeight(i);
    measure(i + 1 < AList.ItemCount);
    if (h == total && total <= limit) break;
    if (h > total && total <= limit) continue;
    // Item i does not fit: enlarging (or past the limit) stops before it; shrinking keeps it.
    if (total > limit || h >= AList.Height) {
      sum -= AList.ItemHeight(i);
      measure(true);
    }
    break;
  }
  ANewSize.cy = total;
  const Integer minWidth = (needV ? AList.VScrollWidth : 0) + (needH ? AList.VScrollWidth : 0);
  ANewSize.cx = std::max(w, minWidth);
}

}  // namespace k58::editors

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomComboBoxProperties) {}

K58_IMPLEMENT_CLASS(TuiComboBoxProperties) {
  using S = TuiComboBoxProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("ButtonGlyph", &S::ButtonGlyph, &S::SetButtonGlyph).Stored(&S::IsButtonGlyphStored);
  b.Prop("CaseInsensitive", &S::CaseInsensitive, &S::SetCaseInsensitive).Default(true);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  b.Prop("DropDownAutoWidth", &S::DropDownAutoWidth, &S::SetDropDownAutoWidth).Default(true);
  b.Prop("DropDownListStyle", &S::DropDownListStyle, &S::SetDropDownListStyle).Default(lsEditList);
  b.Prop("DropDownRows", &S::DropDownRows, &S::SetDropDownRows).Default(8);
  b.Prop("DropDownSizeable", &S::DropDownSizeable, &S::SetDropDownSizeable).Default(false);
  b.Prop("DropDownWidth", &S::DropDownWidth, &S::SetDropDownWidth).Default(0);
  b.Prop("MaskKind", &S::MaskKind, &S::SetMaskKind).Default(emkStandard);
  b.Prop("EditMask", &S::EditMask, &S::SetEditMask).Default(String());
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("IgnoreMaskBlank", &S::IgnoreMaskBlank, &S::SetIgnoreMaskBlank).Default(false);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediateDropDown", &S::ImmediateDropDown, &S::SetImmediateDropDown).Default(true);
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("ImmediateUpdateText", &S::ImmediateUpdateText, &S::SetImmediateUpdateText).Default(false);
  b.Prop("IncrementalSearch", &S::IncrementalSearch, &S::SetIncrementalSearch).Default(true);
  b.Prop("ItemHeight", &S::ItemHeight, &S::SetItemHeight).Default(0);
  b.Prop("Items", &S::Items, &S::SetItems);
  b.Prop("MaxLength", &S::MaxLength, &S::SetMaxLength).Stored(&S::IsMaxLengthStored);
  b.Prop("OEMConvert", &S::OEMConvert, &S::SetOEMConvert).Default(false);
  b.Prop("PopupAlignment", &S::PopupAlignment, &S::SetPopupAlignment).Default(taLeftJustify);
  b.Prop("PostPopupValueOnTab", &S::PostPopupValueOnTab, &S::SetPostPopupValueOnTab).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("Revertable", &S::Revertable, &S::SetRevertable).Default(false);
  b.Prop("Sorted", &S::Sorted, &S::SetSorted).Default(false);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnCloseUp", &S::OnCloseUp, &S::SetOnCloseUp);
  b.Prop("OnDrawItem", &S::OnDrawItem, &S::SetOnDrawItem);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &S::OnInitPopup, &S::SetOnInitPopup);
  b.Prop("OnMeasureItem", &S::OnMeasureItem, &S::SetOnMeasureItem).Type("TMeasureItemEvent");
  b.Prop("OnNewLookupDisplayText", &S::OnNewLookupDisplayText, &S::SetOnNewLookupDisplayText);
  b.Prop("OnPopup", &S::OnPopup, &S::SetOnPopup);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomComboBoxProperties::TuiCustomComboBoxProperties() = default;

void TuiCustomComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomComboBoxProperties*>(Source);
  if (source == nullptr) return TuiCustomDropDownEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomDropDownEditProperties::Assign(Source);
    SetDropDownListStyle(source->dropDownListStyle_);
    SetDropDownRows(source->dropDownRows_);
    SetItemHeight(source->itemHeight_);
    revertable_ = source->revertable_;
    onDrawItem_ = source->onDrawItem_;
    onMeasureItem_ = source->onMeasureItem_;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomComboBoxProperties::SetDropDownListStyle(TuiEditDropDownListStyle Value) {
  if (Value == dropDownListStyle_) return;
  dropDownListStyle_ = Value;
  Changed();
}

void TuiCustomComboBoxProperties::SetDropDownRows(Integer Value) {
  if (Value < 1 || Value == dropDownRows_) return;
  dropDownRows_ = Value;
  Changed();
}

void TuiCustomComboBoxProperties::SetItemHeight(Integer Value) {
  if (Value == itemHeight_) return;
  itemHeight_ = Value;
  Changed();
}

Byte TuiCustomComboBoxProperties::GetTextMode() {
  static constexpr Byte modes[] = {temEditFixedList, temFree, temFixedList};
  return modes[dropDownListStyle_];
}

TClass TuiCustomComboBoxProperties::GetViewDataClass() const { return TuiCustomComboBoxViewData::StaticClass(); }
TClass TuiCustomComboBoxProperties::GetEditClass() const { return TuiComboBox::StaticClass(); }
TClass TuiCustomComboBoxProperties::GetViewInfoClass() const { return TuiCustomComboBoxViewInfo::StaticClass(); }
TClass TuiCustomComboBoxProperties::GetLookupDataClass() const { return TuiComboBoxLookupData::StaticClass(); }
TClass TuiCustomComboBoxProperties::GetPopupWindowClass() const { return TuiComboBoxPopupWindow::StaticClass(); }

// ---- Control --------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomComboBoxInnerEdit) {}

void TuiCustomComboBoxInnerEdit::WndProc(TMessage& Message) {
  // A mouse click never fires OnClick: the combo box clicks when its current item changes.
  if (Message.Msg == WM_LBUTTONUP) {
    TControlState state = ControlState();
    state.Exclude(csClicked);
    SetControlState(state);
  }
  TuiCustomDropDownInnerEdit::WndProc(Message);
}

K58_IMPLEMENT_CLASS(TuiCustomComboBox) {}

K58_IMPLEMENT_CLASS(TuiComboBox) {
  using S = TuiComboBox;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentFont",   "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Text",         "Visible",        "OnClick",   "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("BeepOnEnter", &S::BeepOnEnter, &S::SetBeepOnEnter).Default(true);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("ItemIndex", &S::ItemIndex, &S::SetItemIndex).Stored(false);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiCustomComboBox::GetPropertiesClass() const { return TuiCustomComboBoxProperties::StaticClass(); }
TClass TuiComboBox::GetPropertiesClass() const { return TuiComboBoxProperties::StaticClass(); }

void TuiCustomComboBox::ResetPopupHeight() {
  auto* data = dynamic_cast<TuiCustomDropDownEditData*>(EditData());
  if (IsInplace() && data != nullptr)
    data->PopupHeight = 0;
  else
    ActiveProperties()->SetPopupHeight(0);
}

IuiCustomInnerEdit* TuiCustomComboBox::CreateInnerEdit() { return (new TuiCustomComboBoxInnerEdit(this))->Helper(); }

void TuiCustomComboBox::Initialize() {
  TuiCustomDropDownEdit::Initialize();
  TControlStyle style = ControlStyle();
  style.Exclude(csClickEvents);
  SetControlStyle(style);
}

void TuiCustomComboBox::Activate(TuiCustomEditData*& AEditData) {
  TuiCustomDropDownEdit::Activate(AEditData);
  SynchronizeItemWithText();
}

bool TuiCustomComboBox::CanDropDown() { return LookupData() == nullptr || !LookupData()->IsEmpty(); }

void TuiCustomComboBox::DoDrawItem(TuiCanvas* ACanvas, Integer AIndex, const TRect& ARect, TOwnerDrawState AState) {
  if (Properties()->OnDrawItem().Assigned()) Properties()->OnDrawItem()(this, ACanvas, AIndex, ARect, AState);
  if (RepositoryItem() != nullptr && ActiveProperties()->OnDrawItem().Assigned())
    ActiveProperties()->OnDrawItem()(this, ACanvas, AIndex, ARect, AState);
}

void TuiCustomComboBox::DoMeasureItem(Integer AIndex, TuiCanvas* ACanvas, Integer& AHeight) {
  if (Properties()->OnMeasureItem().Assigned()) Properties()->OnMeasureItem()(this, AIndex, ACanvas, AHeight);
  if (RepositoryItem() != nullptr && ActiveProperties()->OnMeasureItem().Assigned())
    ActiveProperties()->OnMeasureItem()(this, AIndex, ACanvas, AHeight);
}

bool TuiCustomComboBox::IsOwnerDrawItems() {
  return Properties()->OnDrawItem().Assigned() || ActiveProperties()->OnDrawItem().Assigned();
}

bool TuiCustomComboBox::IsVariableItemHeight() {
  return Properties()->OnMeasureItem().Assigned() || ActiveProperties()->OnMeasureItem().Assigned();
}

void TuiCustomComboBox::SynchronizeItemWithText() {
  if (IsLookupDataUsed()) LookupData()->TextChanged();
}

void TuiCustomComboBox::ContentChanged(TObject* Sender) {
  const Integer oldKey = LookupData() != nullptr ? LookupData()->CurrentKey() : -1;
  auto alive = AliveToken();
  LockClick(true);
  try {
    TuiCustomDropDownEdit::ContentChanged(Sender);
    const Byte mode = ActiveProperties()->GetTextMode();
    const bool follows = HasPopupWindow() || mode == temEditFixedList || mode == temFixedList ||
                         (mode == temFree && !ActiveProperties()->IncrementalSearch() && IsPopupShowPending());
    if (!alive.expired() && follows && !keyFromLookup_) SynchronizeItemWithText();
  } catch (...) {
    if (!alive.expired()) LockClick(false);
    throw;
  }
  if (alive.expired()) return;
  LockClick(false);
  if (LookupData() != nullptr && LookupData()->CurrentKey() != oldKey) SetModifiedAndClick();
}

void TuiCustomComboBox::CalculatePopupContentSize(TSize& ASize) {
  ASize = TSize{0, 0};
  TuiCustomEditPopupWindow* popup = PopupWindow();
  if (popup == nullptr || LookupData() == nullptr) return;
  const TRect b = popup->ViewInfo()->GetBorderExtent();
  const TRect r = popup->GetOwnerScreenBounds();
  const TRect above = k58::foundation::WorkAreaNear(TPoint{r.left, r.top});
  const TRect below = k58::foundation::WorkAreaNear(TPoint{r.left, r.bottom});
  Integer spaceAbove = r.top - above.top - b.top - b.bottom;
  if (popup->Shadow()) spaceAbove += 3;
  const Integer spaceBelow = below.bottom - r.bottom - b.top - b.bottom;
  const Integer maxHeight = std::max(spaceAbove, spaceBelow);
  TuiCustomComboBoxProperties* properties = ActiveProperties();
  Integer width;
  if (properties->PopupSizeable() || properties->PopupAutoSize())
    width = (above.right - above.left) - b.left - b.right;
  else if (properties->PopupWidth() >= 1)
    width = properties->PopupWidth() - b.left - b.right;
  else
    width = (r.right - r.left) - b.left - b.right;
  ASize = LookupData()->GetVisualAreaPreferredSize(maxHeight, width);
}

void TuiCustomComboBox::SetupPopupWindow() {
  TuiCustomDropDownEdit::SetupPopupWindow();
  PopupWindow()->SetSysPanelStyle(ActiveProperties()->PopupSizeable());
}

void TuiCustomComboBox::PopupWindowShowed(TObject* Sender) {
  auto alive = AliveToken();
  TuiCustomDropDownEdit::PopupWindowShowed(Sender);
  if (alive.expired() || LookupData() == nullptr) return;
  POINT p;
  GetCursorPos(&p);
  if (LookupData()->IsMouseOverList(TPoint{p.x, p.y})) SetIgnoreNextListMove(true);
}

void TuiCustomComboBox::DblClick() {
  auto alive = AliveToken();
  TuiCustomDropDownEdit::DblClick();
  if (alive.expired()) return;
  LockChangeEvents(true);
  try {
    if (!HasPopupWindow() && ActiveProperties()->Revertable() && IsLookupDataUsed() && DoEditing()) {
      const Integer old = LookupData()->CurrentKey();
      LockClick(true);
      try {
        LookupData()->Navigate(ldNext, true);
      } catch (...) {
        if (!alive.expired()) LockClick(false);
        throw;
      }
      LockClick(false);
      if (LookupData()->CurrentKey() != old) {
        SetModifiedAndClick();
        if (!alive.expired() && CanPostEditValue() && ActiveProperties()->ImmediatePost() && ValidateEdit(true))
          PostEditValue(false);
      }
    }
  } catch (...) {
    if (!alive.expired()) LockChangeEvents(false);
    throw;
  }
  if (!alive.expired()) LockChangeEvents(false);
}

void TuiCustomComboBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TuiCustomDropDownEdit::MouseMove(Shift, X, Y);
  if (alive.expired() || !HandleAllocated() || GetCapture() != Handle() || !HasPopupWindow()) return;
  TWinControl* list = LookupListControl();
  if (list == nullptr || !list->HandleAllocated()) return;
  const TPoint screen = ClientToScreen(TPoint{X, Y});
  TuiCustomEditPopupWindow* popup = PopupWindow();
  TRect client = popup->ViewInfo()->ClientRect;
  const TPoint origin = popup->ClientToScreen(TPoint{0, 0});
  OffsetRect(&client, origin.x, origin.y);
  if (!PtInRect(&client, screen) || !LookupData()->IsMouseOverList(screen)) return;
  // The list takes over the held button: it tracks the item under the mouse and closes on release.
  const TPoint p = list->ScreenToClient(screen);
  SetMouseCapture(false);
  SendMessage(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
}

void TuiCustomComboBox::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONUP) {
    TControlState state = ControlState();
    state.Exclude(csClicked);
    SetControlState(state);
  }
  TuiCustomDropDownEdit::WndProc(Message);
}

// ---- List boxes -------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomComboBoxListBox) {}

TuiCustomComboBoxListBox::TuiCustomComboBoxListBox(TComponent* AOwner) : TuiCustomEditListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
}

TuiCustomComboBox* TuiCustomComboBoxListBox::ComboBox() const {
  return LookupData() != nullptr ? dynamic_cast<TuiCustomComboBox*>(LookupData()->GetOwnerEdit()) : nullptr;
}

bool TuiCustomComboBoxListBox::DrawItemByOwner(Integer AIndex, const TRect& ARect, TOwnerDrawState AState) {
  TuiCustomComboBox* combo = ComboBox();
  if (combo == nullptr || !combo->IsOwnerDrawItems()) return false;
  TuiCanvas canvas(Canvas());
  combo->DoDrawItem(&canvas, AIndex, ARect, AState);
  return true;
}

void TuiCustomComboBoxListBox::GetItemText(Integer AIndex, String& AText) {
  if (LookupData() != nullptr)
    LookupData()->GetItem(AIndex, AText);
  else
    TuiCustomEditListBox::GetItemText(AIndex, AText);
}

Integer TuiCustomComboBoxListBox::GetHeightForRows(Integer ARowCount) {
  Integer height = 0;
  for (Integer i = 0; i < ARowCount; ++i) height += GetItemHeight(i);
  return height;
}

void TuiCustomComboBoxListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (TuiCustomComboBox* combo = ComboBox(); combo != nullptr && combo->IgnoreNextListMove()) {
    combo->SetIgnoreNextListMove(false);
    return;
  }
  k58::editors::TScopedFlag tracking(tracking_, true);
  TuiCustomEditListBox::MouseMove(Shift, X, Y);
}

K58_IMPLEMENT_CLASS(TuiComboBoxListBox) {}

void TuiComboBoxListBox::SetItemIndex(Integer Value) {
  // Hot tracking moves the selection with the mouse; any other setter is the program's.
  if (TuiCustomComboBox* combo = ComboBox(); combo != nullptr && !tracking_) combo->SetIgnoreNextListMove(true);
  TuiCustomComboBoxListBox::SetItemIndex(Value);
}

void TuiComboBoxListBox::UpdateItemMetrics() {
  SetItemHeight(GetItemHeight(-1));
  TuiCustomComboBox* combo = ComboBox();
  const bool variable = combo != nullptr && combo->IsVariableItemHeight();
  // A changed style or height remakes the window by itself; variable rows are measured afresh each time.
  SetStyle(variable ? lbOwnerDrawVariable : lbOwnerDrawFixed);
  if (variable) TuiCustomComboBoxListBox::UpdateItemMetrics();
}

Integer TuiComboBoxListBox::GetItemHeight(Integer AIndex) {
  TuiCustomComboBox* combo = ComboBox();
  auto* properties = combo != nullptr ? combo->ActiveProperties() : nullptr;
  Integer height = properties != nullptr && properties->ItemHeight() > 0 ? properties->ItemHeight()
                                                                         : TuiCustomEditListBox::GetItemHeight(-1);
  if (AIndex >= 0 && combo != nullptr && combo->IsVariableItemHeight()) {
    TuiCanvas canvas(Canvas());
    combo->DoMeasureItem(AIndex, &canvas, height);
  }
  return height;
}

void TuiComboBoxListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TuiCustomComboBoxListBox::MouseUp(Button, Shift, X, Y);
  if (alive.expired() || Button != mbLeft) return;
  // The popup closed meanwhile (its owner's handlers ran): nothing to choose any more.
  if (TuiCustomComboBox* combo = ComboBox(); combo == nullptr || !combo->HasPopupWindow()) return;
  const Integer index = ItemAtPos(TPoint{X, Y}, true);
  if (index < 0) return;
  SetMouseCapture(false);
  SetItemIndex(index);
  if (TuiCustomComboBox* combo = ComboBox()) combo->CloseUp(pcrAccept);
}

void TuiComboBoxListBox::WndProc(TMessage& Message) {
  // A press selects the row under the mouse and holds the mouse for the release, but leaves the focus in
  // the editor: focusing a window of the never-active popup would deactivate the application and close it.
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && HandleAllocated()) {
    const TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    const Integer index = ItemAtPos(p, true);
    if (index >= 0) SetItemIndex(index);
    SetCapture(Handle());
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_LBUTTONUP && HandleAllocated() && GetCapture() == Handle()) {
    const TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    MouseUp(mbLeft, KeyboardStateToShiftState(), p.x, p.y);
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_MOUSEMOVE && HandleAllocated() && GetCapture() == Handle()) {
    // Dragging over the rows moves the selection with the mouse.
    const TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    const Integer index = ItemAtPos(p, true);
    if (index >= 0 && index != ItemIndex()) {
      k58::editors::TScopedFlag tracking(tracking_, true);
      SetItemIndex(index);
    }
    Message.Result = 0;
    return;
  }
  TuiCustomComboBoxListBox::WndProc(Message);
}

void TuiComboBoxListBox::Resize() {
  TuiCustomComboBoxListBox::Resize();
  TuiCustomComboBox* combo = ComboBox();
  if (combo == nullptr || !combo->HasPopupWindow() || !HandleAllocated()) return;
  const LONG style = GetWindowLong(Handle(), GWL_STYLE);
  if ((style & WS_VSCROLL) == 0 || (style & WS_HSCROLL) == 0) return;
  TRect grip;
  GetSizeGripRect(grip);
  HRGN region = CreateRectRgnIndirect(&grip);
  SendMessage(Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
  DeleteObject(region);
}

// ---- View data and view info ----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomComboBoxViewData) {}

void TuiCustomComboBoxViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                          TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiCustomDropDownEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TuiCustomComboBoxViewInfo*>(AViewInfo);
  auto* properties = dynamic_cast<TuiCustomComboBoxProperties*>(Properties);
  if (vi == nullptr || properties == nullptr) return;
  auto* combo = dynamic_cast<TuiCustomComboBox*>(Edit);
  if (properties->DropDownListStyle() == lsFixedList && combo != nullptr && combo->IsOwnerDrawItems()) {
    vi->ItemIndex = combo->ItemIndex();
    vi->ComboBox = combo;
  } else {
    vi->ItemIndex = -1;
  }
  vi->OwnerDraw = vi->ItemIndex != -1;
}

void TuiCustomComboBoxViewData::EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue,
                                                     TuiCustomEditViewInfo* AViewInfo) {
  TuiCustomDropDownEditViewData::EditValueToDrawValue(ACanvas, AEditValue, AViewInfo);
  auto* vi = dynamic_cast<TuiCustomComboBoxViewInfo*>(AViewInfo);
  auto* properties = dynamic_cast<TuiCustomComboBoxProperties*>(Properties);
  if (vi == nullptr || properties == nullptr) return;
  vi->ItemIndex = -1;
  if (properties->DropDownListStyle() == lsFixedList && properties->OnDrawItem().Assigned())
    vi->ItemIndex = properties->Items()->IndexOf(VarToStr(AEditValue));
  vi->OwnerDraw = vi->ItemIndex != -1;
  vi->ComboBox = nullptr;
}

K58_IMPLEMENT_CLASS(TuiCustomComboBoxViewInfo) {}

TuiCustomComboBoxViewInfo::TuiCustomComboBoxViewInfo() {
  DrawTextProc = [this](TuiCanvas* ACanvas, TRect& ARect) { DrawItemInEditArea(ACanvas, ARect); };
}

void TuiCustomComboBoxViewInfo::DrawItemInEditArea(TuiCanvas* ACanvas, TRect& ARect) {
  TOwnerDrawState state;
  state.Include(odComboBoxEdit);
  if (Focused) {
    state.Include(odSelected);
    state.Include(odFocused);
  }
  TCanvas* canvas = ACanvas->Canvas();
  if (Font != nullptr) canvas->SetFont(Font);
  canvas->Brush()->SetColor(WholeFieldHighlight ? clHighlight : BackgroundColor);
  canvas->Font()->SetColor(WholeFieldHighlight ? clHighlightText : TextColor);
  PrepareCanvasFont(canvas);
  if (ComboBox != nullptr) {
    ComboBox->DoDrawItem(ACanvas, ItemIndex, ARect, state);
  } else if (auto* properties = dynamic_cast<TuiCustomComboBoxProperties*>(EditProperties);
             properties != nullptr && properties->OnDrawItem().Assigned()) {
    properties->OnDrawItem()(nullptr, ACanvas, ItemIndex, ARect, state);
  }
}

// ---- Lookup data ------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiComboBoxLookupData) {}

TClass TuiComboBoxLookupData::GetListBoxClass() const { return TuiComboBoxListBox::StaticClass(); }

void TuiComboBoxLookupData::Initialize(TWinControl* AVisualControlsParent) {
  TuiCustomTextEditLookupData::Initialize(AVisualControlsParent);
  auto* edit = dynamic_cast<TuiCustomDropDownEdit*>(GetOwnerEdit());
  if (List() != nullptr && edit != nullptr && edit->PopupControlsLookAndFeel() != nullptr)
    List()->LookAndFeel()->SetMaster(edit->PopupControlsLookAndFeel());
}

bool TuiComboBoxLookupData::CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight, Integer) {
  TuiCustomEditListBox* list = List();
  if (list == nullptr) return true;
  k58::editors::TuiListSnapMetrics metrics;
  metrics.ItemCount = GetItemCount();
  metrics.ItemHeight = [list](Integer AIndex) { return list->GetItemHeight(AIndex); };
  metrics.Width = list->Width();
  metrics.Height = list->Height();
  metrics.ScrollWidth =
      list->HandleAllocated() ? static_cast<Integer>(SendMessage(list->Handle(), LB_GETHORIZONTALEXTENT, 0, 0)) : 0;
  metrics.VScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  metrics.HScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  k58::editors::SnapListSizeToItems(ANewSize, AMaxHeight, metrics);
  return true;
}

TSize TuiComboBoxLookupData::GetVisualAreaPreferredSize(Integer, Integer AWidth) {
  TuiCustomEditListBox* list = List();
  if (list == nullptr) return TSize{0, 0};
  const Integer count = GetItemCount();
  TuiCustomTextEditProperties* properties = GetEditProperties();
  const Integer rowCount = properties != nullptr ? properties->GetLookupRowCount() : 8;
  TSize size{0, list->GetHeightForRows(std::min(count, rowCount))};
  // The widest item's text in the list's font (the font is taken once, not per item).
  list->Canvas()->SetFont(list->Font());
  String text;
  for (Integer i = 0; i < count; ++i) {
    list->GetItemText(i, text);
    size.cx = std::max(size.cx, list->Canvas()->TextWidth(text));
  }
  size.cx += 4;
  if (list->HandleAllocated()) {
    SendMessage(list->Handle(), LB_SETHORIZONTALEXTENT, 0, 0);
    SendMessage(list->Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx), 0);
  }
  if (count > rowCount) size.cx += GetSystemMetrics(SM_CXVSCROLL);
  if (AWidth > 0 && size.cx > AWidth) size.cy += GetSystemMetrics(SM_CYHSCROLL);
  return size;
}

// ---- Popup window ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiComboBoxPopupWindow) {}

void TuiComboBoxPopupWindow::FitToContent() {
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  view->SizeGripCorner = 3;
  UpdateViewInfo();
  const TRect owner = GetOwnerScreenBounds();
  const TRect b = view->GetBorderExtent();
  TSize minSize;
  GetMinSize(minSize);
  TSize content{0, 0};
  IuiEditPopupWindowOwner* editor = EditOwner();
  if (editor != nullptr) editor->CalculatePopupContentSize(content);
  const bool resized = Sizeable() && editor != nullptr && editor->IsPopupResized();
  const Integer ownerWidth = owner.right - owner.left;
  Integer width;
  if (resized || (!AutoSize() && PopupWidth() > 0))
    width = PopupWidth();
  else
    width = AutoSize() ? std::max(content.cx + b.left + b.right, ownerWidth) : ownerWidth;
  Integer height = content.cy + b.top + b.bottom;
  if ((resized || PopupHeight() != 0) && (Sizeable() || !AutoSize())) height = PopupHeight();
  if (Sizeable()) {
    if (MinWidth() > 0) width = std::max(width, MinWidth());
    if (MinHeight() > 0) height = std::max(height, MinHeight());
  }
  SetBounds(Left(), Top(), std::max(width, minSize.cx), std::max(height, minSize.cy));
}
