// The lookup data of text editors over the properties' lookup items, and the popup list box drawn from it.
#include "controls/editors/uiLookupData.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/rtl/Strings.h"

// ---- Lookup data ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTextEditLookupData) {}

TuiCustomTextEditLookupData::TuiCustomTextEditLookupData() : TuiInterfacedPersistent(nullptr) {}

TuiCustomTextEditLookupData::~TuiCustomTextEditLookupData() {
  if (list_ != nullptr) {
    list_->SetOnSelectItem(TNotifyEvent{});
    list_->SetLookupData(nullptr);
  }
}

TuiCustomTextEditLookupData* TuiCustomTextEditLookupData::CreateOfClass(TClass AClass, TuiCustomEdit* AOwner) {
  if (AClass == nullptr || !AClass->InheritsFrom(StaticClass())) AClass = StaticClass();
  auto* lookupData = static_cast<TuiCustomTextEditLookupData*>(AClass->Create().release());
  lookupData->SetOwnerEdit(AOwner);
  return lookupData;
}

TPersistent* TuiCustomTextEditLookupData::GetOwner() { return owner_; }

TuiCustomTextEditProperties* TuiCustomTextEditLookupData::GetEditProperties() const {
  return owner_ != nullptr ? dynamic_cast<TuiCustomTextEditProperties*>(owner_->ActiveProperties()) : nullptr;
}

Byte TuiCustomTextEditLookupData::OwnerTextMode() const {
  TuiCustomTextEditProperties* properties = GetEditProperties();
  return properties != nullptr ? properties->GetTextMode() : temFree;
}

String TuiCustomTextEditLookupData::OwnerText() const {
  auto* owner = dynamic_cast<IuiTextEditLookupDataOwner*>(owner_);
  return owner != nullptr ? owner->GetLookupOwnerText() : String();
}

void TuiCustomTextEditLookupData::GetItem(Integer AIndex, String& AText) {
  TuiCustomTextEditProperties* properties = GetEditProperties();
  AText = properties != nullptr ? properties->LookupItems()->Strings(AIndex) : String();
}

Integer TuiCustomTextEditLookupData::GetItemCount() {
  TuiCustomTextEditProperties* properties = GetEditProperties();
  return properties != nullptr ? properties->LookupItems()->Count() : 0;
}

Integer TuiCustomTextEditLookupData::IndexOf(const String& AText) {
  const Integer count = GetItemCount();
  String item;
  for (Integer i = 0; i < count; ++i) {
    GetItem(i, item);
    if (AnsiSameText(item, AText)) return i;
  }
  return -1;
}

void TuiCustomTextEditLookupData::SetItemIndex(Integer AIndex) {
  const Integer count = GetItemCount();
  if (AIndex < -1 || AIndex >= count || (AIndex == itemIndex_ && AIndex != -1)) return;
  if (list_ != nullptr && count > 0) {
    // Leaving a selection for none goes through the first row, so the list forgets its caret row too.
    if (AIndex == -1) list_->SetItemIndex(0);
    list_->SetItemIndex(AIndex);
  }
  itemIndex_ = AIndex;
}

void TuiCustomTextEditLookupData::SetCurrentKeyInternal(Integer AKey) {
  if (AKey < -1 || AKey >= GetItemCount()) return;
  currentKey_ = AKey;
  SetItemIndex(AKey);
}

void TuiCustomTextEditLookupData::DoSelectItem() { onSelectItem_(this); }

bool TuiCustomTextEditLookupData::CanResizeVisualArea(TSize&, Integer, Integer) { return true; }

TWinControl* TuiCustomTextEditLookupData::GetActiveControl() { return list_; }

Variant TuiCustomTextEditLookupData::GetCurrentKey() { return Variant(currentKey_); }

void TuiCustomTextEditLookupData::GetDisplayText(const Variant& AKey, String& AText) {
  AText.clear();
  if (!IsNumericVariant(AKey)) return;
  const Int64 key = AKey.AsInt64();
  if (key >= 0 && key < GetItemCount()) GetItem(static_cast<Integer>(key), AText);
}

TSize TuiCustomTextEditLookupData::GetVisualAreaPreferredSize(Integer, Integer) { return TSize{0, 0}; }

void TuiCustomTextEditLookupData::Navigate(TuiLookupDataGoDirection ADirection, bool ACircular) {
  const Integer count = GetItemCount();
  if (count == 0) return;
  TuiCustomTextEditProperties* properties = GetEditProperties();
  const Integer pageSize = properties != nullptr ? properties->GetLookupRowCount() : 8;
  const Integer i = itemIndex_ != -1 ? itemIndex_ : currentKey_;
  Integer n;
  switch (ADirection) {
    case ldLast:
      n = count - 1;
      break;
    case ldNext:
      n = i + 1;
      if (n >= count) n = ACircular ? 0 : i;
      break;
    case ldPrevious:
      n = i - 1;
      if (n < 0) n = ACircular ? count - 1 : i;
      break;
    case ldPageUp:
      if (i == -1) {
        n = ACircular ? count - 1 : -1;
      } else {
        n = i - pageSize + 1;
        if (n < 0) n = ACircular && i == 0 ? count - 1 : 0;
      }
      break;
    case ldPageDown:
      n = i == -1 ? pageSize - 1 : i + pageSize - 1;
      if (n >= count) n = ACircular && i == count - 1 ? 0 : count - 1;
      break;
    default:
      n = 0;
      break;
  }
  const bool listShown = list_ != nullptr && list_->IsVisible();
  if (!listShown ||
      (properties != nullptr && properties->ImmediateUpdateText() && owner_ != nullptr && owner_->DoEditing()))
    SetCurrentKey(Variant(n));
  else
    SetItemIndex(n);
}

void TuiCustomTextEditLookupData::Initialize(TWinControl* AVisualControlsParent) {
  if (list_ == nullptr && GetListBoxClass() != nullptr) {
    list_ = ObjectAs<TuiCustomEditListBox>(GetListBoxClass()->CreateComponent(AVisualControlsParent));
    list_->SetLookupData(this);
  }
  if (list_ != nullptr) {
    if (owner_ != nullptr) {
      TuiEditStyle* style = owner_->ActiveEditStyle();
      list_->SetColor(style->Color());
      list_->SetFont(style->Font());
      list_->Canvas()->SetFont(style->Font());
    }
    list_->SetParent(AVisualControlsParent);
    list_->SetOnSelectItem([this](TObject* Sender) { ListSelectionChanged(Sender); });
    list_->SetItemCount(GetItemCount());
    list_->SetItemIndex(itemIndex_);
    list_->UpdateItemMetrics();
  }
  TextChanged();
}

bool TuiCustomTextEditLookupData::IsMouseOverList(const TPoint& P) {
  if (list_ == nullptr || !list_->HandleAllocated()) return false;
  RECT r;
  GetWindowRect(list_->Handle(), &r);
  return PtInRect(&r, P);
}

void TuiCustomTextEditLookupData::PositionVisualArea(const TRect& ARect) {
  if (list_ != nullptr) list_->SetBoundsRect(ARect);
}

void TuiCustomTextEditLookupData::SelectItem() {
  // The user chose the item: the editor takes it even when it was the current key already.
  if (itemIndex_ != -1) ChangeCurrentKey(itemIndex_, true);
}

void TuiCustomTextEditLookupData::SetCurrentKey(const Variant& AKey) {
  ChangeCurrentKey(IsNumericVariant(AKey) ? AKey.AsInteger() : -1, false);
}

void TuiCustomTextEditLookupData::ChangeCurrentKey(Integer AKey, bool AChosen) {
  const Integer old = currentKey_;
  SetCurrentKeyInternal(AKey);
  bool select = currentKey_ != old || AChosen;
  if (!select && currentKey_ >= 0 && currentKey_ < GetItemCount()) {
    String item;
    GetItem(currentKey_, item);
    select = OwnerText() != item;
  }
  if (!select) return;
  auto* owner = dynamic_cast<IuiTextEditLookupDataOwner*>(owner_);
  if (owner != nullptr) owner->SetLookupOwnerKeyFromLookup(true);
  try {
    DoSelectItem();
  } catch (...) {
    if (owner != nullptr) owner->SetLookupOwnerKeyFromLookup(false);
    throw;
  }
  if (owner != nullptr) owner->SetLookupOwnerKeyFromLookup(false);
}

void TuiCustomTextEditLookupData::ListSelectionChanged(TObject*) {
  if (list_ != nullptr) itemIndex_ = list_->ItemIndex();
}

bool TuiCustomTextEditLookupData::Locate(String& AText, String& ATail, bool ANext, bool AWholeItem) {
  const Integer count = GetItemCount();
  if (count > 0) {
    TuiCustomTextEditProperties* properties = GetEditProperties();
    if (AWholeItem && properties != nullptr && properties->MRUListMode()) {
      const Integer index = IndexOf(AText);
      if (index == -1) {
        SetCurrentKeyInternal(-1);
        return false;
      }
      ATail.clear();
      SetCurrentKeyInternal(index);
      return true;
    }
    const Integer length = Utf8Length(AText);
    if (length > 0) {
      String item;
      for (Integer i = (ANext ? itemIndex_ : -1) + 1; i < count; ++i) {
        GetItem(i, item);
        const String prefix = Utf8Copy(item, 1, length);
        if (!AnsiSameText(prefix, AText)) continue;
        AText = prefix;
        ATail = item.substr(prefix.size());
        SetCurrentKeyInternal(i);
        return true;
      }
    }
  }
  // Not found: whether the current key goes depends on how tightly the text mode binds text to items.
  bool clear;
  switch (OwnerTextMode()) {
    case temEditFixedList:
      clear = AWholeItem || (AText.empty() && IndexOf(String()) == -1);
      break;
    case temFixedList:
      clear = AWholeItem;
      break;
    default:
      clear = true;
      break;
  }
  if (clear) SetCurrentKeyInternal(-1);
  return false;
}

void TuiCustomTextEditLookupData::ItemsChanged() {
  if (list_ != nullptr) list_->SetItemCount(GetItemCount());
}

void TuiCustomTextEditLookupData::TextChanged() {
  auto* owner = dynamic_cast<IuiTextEditLookupDataOwner*>(owner_);
  if (owner != nullptr && owner->IsLookupOwnerEditingEventRunning()) return;
  String text = OwnerText();
  // The selected item may still be the text: nothing to look for then. No item selected reads no item.
  if (itemIndex_ >= 0 && itemIndex_ < GetItemCount()) {
    String item;
    GetItem(itemIndex_, item);
    if (AnsiSameText(item, text)) return;
  }
  String tail;
  Locate(text, tail, false, true);
}

Variant EditValueToLookupKey(IuiTextEditLookupData* ALookupData, const Variant& AEditValue) {
  if (ALookupData == nullptr || VarIsNull(AEditValue)) return Variant(Integer(-1));
  return Variant(ALookupData->GetInstance()->IndexOf(VarToStr(AEditValue)));
}

// ---- Popup list -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditListBox) {}

TuiCustomEditListBox::TuiCustomEditListBox(TComponent* AOwner) : TuiCustomInnerListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
}

TuiCustomEditListBox::~TuiCustomEditListBox() {
  if (lookupData_ != nullptr && lookupData_->list_ == this) lookupData_->list_ = nullptr;
}

void TuiCustomEditListBox::CreateParams(TCreateParams& Params) {
  TuiCustomInnerListBox::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TuiCustomEditListBox::SetItemIndex(Integer Value) {
  TuiCustomInnerListBox::SetItemIndex(Value);
  onSelectItem_(this);
}

bool TuiCustomEditListBox::IsVisible() { return HandleAllocated() && IsWindowVisible(Handle()); }

void TuiCustomEditListBox::SetItemCount(Integer ACount) {
  TStrings* items = Items();
  if (items->Count() == ACount) return;
  items->BeginUpdate();
  try {
    while (items->Count() < ACount) items->Add(String());
    while (items->Count() > ACount) items->Delete(items->Count() - 1);
  } catch (...) {
    items->EndUpdate();
    throw;
  }
  items->EndUpdate();
}

void TuiCustomEditListBox::RecreateListWindow() {
  if (HandleAllocated()) RecreateWnd();
}

Integer TuiCustomEditListBox::GetItemHeight(Integer) {
  Canvas()->SetFont(Font());
  return Canvas()->TextHeight("Wg");
}

Integer TuiCustomEditListBox::GetItemWidth(Integer AIndex) {
  String text;
  GetItemText(AIndex, text);
  Canvas()->SetFont(Font());
  return Canvas()->TextWidth(text);
}

void TuiCustomEditListBox::GetItemText(Integer AIndex, String& AText) {
  if (lookupData_ != nullptr) {
    lookupData_->GetItem(AIndex, AText);
    return;
  }
  AText = AIndex >= 0 && AIndex < Items()->Count() ? Items()->Strings(AIndex) : String();
}

bool TuiCustomEditListBox::IsOwnerTextModeFixed() {
  if (lookupData_ == nullptr) return false;
  TuiCustomTextEditProperties* properties = lookupData_->GetEditProperties();
  if (properties == nullptr) return false;
  const Byte textMode = properties->GetTextMode();
  return textMode == temFixedList || textMode == temNoCursor;
}

void TuiCustomEditListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (DrawItemByOwner(Index, Rect, State)) return;
  Canvas()->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  String text;
  GetItemText(Index, text);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  TRect textRect = Rect;
  if (IsRightToLeft()) {
    flags |= DT_RIGHT | DT_RTLREADING;
    textRect.right -= 2;
  } else {
    textRect.left += 2;
  }
  DrawText(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &textRect, flags);
}

void TuiCustomEditListBox::MeasureItem(Integer, Integer& Height) { Height = GetItemHeight(-1); }

void TuiCustomEditListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiCustomInnerListBox::MouseMove(Shift, X, Y);
  if (!hotTrack_ || MouseCapture()) return;
  const Integer index = ItemAtPos(TPoint{X, Y}, true);
  if (index != -1 && index != ItemIndex()) SetItemIndex(index);
}

void TuiCustomEditListBox::Click() {
  TuiCustomInnerListBox::Click();
  onSelectItem_(this);
}

bool TuiCustomEditListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (TuiCustomInnerListBox::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const WPARAM code = WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN;
  for (UINT i = 0; i < lines; ++i) Perform(WM_VSCROLL, code, 0);
  return true;
}

void TuiCustomEditListBox::WndProc(TMessage& Message) {
  TuiCustomInnerListBox::WndProc(Message);
  // A shown list draws its selection as focused although the focus stays in the editor.
  if (Message.Msg == CM_SHOWINGCHANGED && HandleAllocated() && DefWndProc() != nullptr)
    CallWindowProc(DefWndProc(), Handle(), WM_SETFOCUS, 0, 0);
}
