// List boxes and combo boxes over the "LISTBOX" and "COMBOBOX" window classes, and the items they share.
#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/StdCtrlsInternal.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommCtrl.h"

using namespace k58::forms::std_internal;

namespace {
constexpr const char* SInsertLineError = "Unable to insert a line";
constexpr const char* ComboPartProp = "K58.ComboPart";
}  // namespace

// ---- Items ------------------------------------------------------------------------------------------

void TCustomListControlStrings::CheckIndex(Integer Index, Integer Limit) const {
  if (Index < 0 || Index >= Limit) Error(stdctrlsconsts::SListIndexError, Index);
}

Integer TCustomListControlStrings::Count() const {
  if (HWND wnd = Window()) return static_cast<Integer>(::SendMessage(wnd, Msgs().GetCount, 0, 0));
  return static_cast<Integer>(items_.size());
}

String TCustomListControlStrings::Get(Integer Index) const {
  if (HWND wnd = Window()) {
    LRESULT len = ::SendMessage(wnd, Msgs().GetTextLen, static_cast<WPARAM>(Index), 0);
    if (len == Msgs().Err || Index < 0) Error(stdctrlsconsts::SListIndexError, Index);
    String text(static_cast<size_t>(len) + 1, '\0');
    LRESULT got = ::SendMessage(wnd, Msgs().GetText, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
    return text;
  }
  CheckIndex(Index, static_cast<Integer>(items_.size()));
  return items_[static_cast<size_t>(Index)].Text;
}

TObject* TCustomListControlStrings::GetObject(Integer Index) const {
  if (HWND wnd = Window()) {
    if (Index < 0 || Index >= Count()) Error(stdctrlsconsts::SListIndexError, Index);
    return reinterpret_cast<TObject*>(::SendMessage(wnd, Msgs().GetItemData, static_cast<WPARAM>(Index), 0));
  }
  CheckIndex(Index, static_cast<Integer>(items_.size()));
  return items_[static_cast<size_t>(Index)].Object;
}

void TCustomListControlStrings::PutObject(Integer Index, TObject* AObject) {
  if (HWND wnd = Window()) {
    if (Index < 0 || Index >= Count()) Error(stdctrlsconsts::SListIndexError, Index);
    ::SendMessage(wnd, Msgs().SetItemData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
    return;
  }
  CheckIndex(Index, static_cast<Integer>(items_.size()));
  items_[static_cast<size_t>(Index)].Object = AObject;
}

Integer TCustomListControlStrings::Add(const String& S) {
  Integer result;
  if (HWND wnd = Window()) {
    LRESULT r = ::SendMessage(wnd, Msgs().AddString, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (r < 0) throw EOutOfResources(SInsertLineError);
    result = static_cast<Integer>(r);
  } else {
    auto at = items_.end();
    if (sorted_) {
      // After the entries that sort before it or equal it, as the window's sorted insert does.
      at = std::upper_bound(items_.begin(), items_.end(), S, [](const String& s, const Item& item) {
        return k58::rtl::CompareNoCase(s, item.Text) < 0;
      });
    }
    result = static_cast<Integer>(at - items_.begin());
    items_.insert(at, Item{S, nullptr});
  }
  Changed();
  return result;
}

void TCustomListControlStrings::Insert(Integer Index, const String& S) {
  if (HWND wnd = Window()) {
    if (::SendMessage(wnd, Msgs().InsertString, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0) {
      throw EOutOfResources(SInsertLineError);
    }
  } else {
    if (Index < 0 || Index > static_cast<Integer>(items_.size())) Error(stdctrlsconsts::SListIndexError, Index);
    items_.insert(items_.begin() + Index, Item{S, nullptr});
  }
  Changed();
}

void TCustomListControlStrings::Delete(Integer Index) {
  if (HWND wnd = Window()) {
    if (Index < 0 || ::SendMessage(wnd, Msgs().DeleteString, static_cast<WPARAM>(Index), 0) == Msgs().Err) {
      Error(stdctrlsconsts::SListIndexError, Index);
    }
  } else {
    CheckIndex(Index, static_cast<Integer>(items_.size()));
    items_.erase(items_.begin() + Index);
  }
  Changed();
}

void TCustomListControlStrings::Clear() {
  if (HWND wnd = Window()) {
    ::SendMessage(wnd, Msgs().ResetContent, 0, 0);
  } else {
    items_.clear();
  }
  Changed();
}

Integer TCustomListControlStrings::IndexOf(const String& S) const {
  if (HWND wnd = Window()) {
    LRESULT r = ::SendMessage(wnd, Msgs().FindStringExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
    return r == Msgs().Err ? -1 : static_cast<Integer>(r);
  }
  for (size_t i = 0; i < items_.size(); ++i) {
    if (k58::rtl::CompareNoCase(items_[i].Text, S) == 0) return static_cast<Integer>(i);
  }
  return -1;
}

Integer TCustomListControlStrings::CompareStrings(const String& S1, const String& S2) const {
  return k58::rtl::CompareNoCase(S1, S2);
}

void TCustomListControlStrings::SaveTo(HWND Wnd) {
  const Messages& m = Msgs();
  for (const Item& item : items_) {
    LRESULT index = sorted_ ? ::SendMessage(Wnd, m.AddString, 0, reinterpret_cast<LPARAM>(item.Text.c_str()))
                            : ::SendMessage(Wnd, m.InsertString, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(item.Text.c_str()));
    if (index >= 0 && item.Object != nullptr) {
      ::SendMessage(Wnd, m.SetItemData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.Object));
    }
  }
  items_.clear();
}

void TCustomListControlStrings::LoadFrom(HWND Wnd) {
  const Messages& m = Msgs();
  std::vector<Item> items;
  Integer count = static_cast<Integer>(::SendMessage(Wnd, m.GetCount, 0, 0));
  for (Integer i = 0; i < count; ++i) {
    LRESULT len = ::SendMessage(Wnd, m.GetTextLen, static_cast<WPARAM>(i), 0);
    String text(static_cast<size_t>(std::max<LRESULT>(len, 0)) + 1, '\0');
    LRESULT got = ::SendMessage(Wnd, m.GetText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, std::max<LRESULT>(len, 0))));
    auto* object = reinterpret_cast<TObject*>(::SendMessage(Wnd, m.GetItemData, static_cast<WPARAM>(i), 0));
    items.push_back(Item{text, object});
  }
  items_ = std::move(items);
}

void TCustomListControlStrings::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  sorted_ = Value;
  if (Value) {
    std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) {
      return k58::rtl::CompareNoCase(a.Text, b.Text) < 0;
    });
  }
}

void TCustomListControlStrings::SetUpdateState(bool Updating) {
  HWND wnd = Window();
  if (wnd == nullptr) return;
  ::SendMessage(wnd, WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
  if (!Updating) ::InvalidateRect(wnd, nullptr, TRUE);
}

HWND TListBoxStrings::Window() const {
  return listBox_ != nullptr && listBox_->HandleAllocated() ? listBox_->Handle() : nullptr;
}

const TCustomListControlStrings::Messages& TListBoxStrings::Msgs() const {
  static const Messages m{LB_GETCOUNT,  LB_GETTEXT,       LB_GETTEXTLEN,    LB_GETITEMDATA,  LB_SETITEMDATA,
                          LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_FINDSTRINGEXACT,
                          LB_ERR};
  return m;
}

HWND TComboBoxStrings::Window() const {
  return comboBox_ != nullptr && comboBox_->HandleAllocated() ? comboBox_->Handle() : nullptr;
}

const TCustomListControlStrings::Messages& TComboBoxStrings::Msgs() const {
  static const Messages m{CB_GETCOUNT,  CB_GETLBTEXT,     CB_GETLBTEXTLEN,  CB_GETITEMDATA,  CB_SETITEMDATA,
                          CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_FINDSTRINGEXACT,
                          CB_ERR};
  return m;
}

// ---- List boxes -------------------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(new TListBoxStrings(this)), canvas_(new TControlCanvas()) {
  canvas_->SetControl(this);
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() { canvas_->SetControl(nullptr); }

Integer TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<Integer>(::SendMessage(Handle(), multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(Integer Value) {
  if (!HandleAllocated()) {
    itemIndex_ = (Value >= 0 && Value < Count()) ? Value : -1;
    return;
  }
  if (ItemIndex() == Value) return;
  ::SendMessage(Handle(), multiSelect_ ? LB_SETCARETINDEX : LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (multiSelect_ == Value) return;
  multiSelect_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (extendedSelect_ == Value) return;
  extendedSelect_ = Value;
  RecreateWnd();
}

bool TCustomListBox::Selected(Integer Index) {
  if (!HandleAllocated()) {
    if (Index < 0 || Index >= Count()) throw EListError(Format(stdctrlsconsts::SListIndexError, Index));
    if (!multiSelect_) return Index == itemIndex_;
    return static_cast<size_t>(Index) < selected_.size() && selected_[static_cast<size_t>(Index)];
  }
  LRESULT r = ::SendMessage(Handle(), LB_GETSEL, static_cast<WPARAM>(Index), 0);
  if (r == LB_ERR) throw EListError(Format(stdctrlsconsts::SListIndexError, Index));
  return r != 0;
}

void TCustomListBox::SetSelected(Integer Index, bool Value) {
  if (!multiSelect_) {
    if (Value) {
      SetItemIndex(Index);
    } else if (ItemIndex() == Index) {
      SetItemIndex(-1);
    }
    return;
  }
  if (!HandleAllocated()) {
    if (Index < 0 || Index >= Count()) throw EListError(Format(stdctrlsconsts::SListIndexError, Index));
    if (selected_.size() < static_cast<size_t>(Count())) selected_.resize(static_cast<size_t>(Count()), false);
    selected_[static_cast<size_t>(Index)] = Value;
    return;
  }
  if (::SendMessage(Handle(), LB_SETSEL, Value ? TRUE : FALSE, static_cast<LPARAM>(Index)) == LB_ERR) {
    throw EListError(Format(stdctrlsconsts::SListIndexError, Index));
  }
}

Integer TCustomListBox::SelCount() {
  if (!multiSelect_) return -1;
  if (!HandleAllocated()) {
    Integer n = 0;
    for (Integer i = 0; i < Count() && static_cast<size_t>(i) < selected_.size(); ++i) n += selected_[static_cast<size_t>(i)];
    return n;
  }
  return static_cast<Integer>(::SendMessage(Handle(), LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  sorted_ = Value;
  items_->SetSorted(Value);
  RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  RecreateWnd();
}

Integer TCustomListBox::ItemHeight() {
  if (HandleAllocated() && style_ == lbStandard) {
    return static_cast<Integer>(::SendMessage(Handle(), LB_GETITEMHEIGHT, 0, 0));
  }
  return itemHeight_;
}

void TCustomListBox::SetItemHeight(Integer Value) {
  if (Value <= 0 || itemHeight_ == Value) return;
  itemHeight_ = Value;
  if (style_ != lbStandard) RecreateWnd();
}

Integer TCustomListBox::TopIndex() {
  if (!HandleAllocated()) return topIndex_;
  return static_cast<Integer>(::SendMessage(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(Integer Value) {
  if (!HandleAllocated()) {
    topIndex_ = std::max(Value, 0);
    return;
  }
  if (TopIndex() != Value) ::SendMessage(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (integralHeight_ == Value) return;
  integralHeight_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetColumns(Integer Value) {
  Value = std::max(Value, 0);
  if (columns_ == Value) return;
  bool recreate = (columns_ == 0) != (Value == 0);
  columns_ = Value;
  if (recreate) {
    RecreateWnd();
  } else if (HandleAllocated() && Value > 0) {
    ::SendMessage(Handle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(Width() / Value, 1)), 0);
  }
}

void TCustomListBox::SetTabWidth(Integer Value) {
  Value = std::max(Value, 0);
  if (tabWidth_ == Value) return;
  tabWidth_ = Value;
  RecreateWnd();
}

Integer TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
  Integer count = Count();
  if (HandleAllocated()) {
    for (Integer i = std::max(TopIndex(), 0); i < count; ++i) {
      TRect r = ItemRect(i);
      if (Pos.x >= r.left && Pos.x < r.right && Pos.y >= r.top && Pos.y < r.bottom) return i;
      if (columns_ == 0 && r.top > Height()) break;
    }
  }
  return Existing ? -1 : count;
}

TRect TCustomListBox::ItemRect(Integer Index) {
  TRect result{0, 0, 0, 0};
  Integer count = Count();
  if (Index == 0 || (Index > 0 && Index < count)) {
    ::SendMessage(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&result));
  } else if (Index == count && count > 0) {
    ::SendMessage(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&result));
    ::OffsetRect(&result, 0, result.bottom - result.top);
  }
  return result;
}

void TCustomListBox::Clear() { items_->Clear(); }

void TCustomListBox::ClearSelection() {
  if (multiSelect_) {
    for (Integer i = 0; i < Count(); ++i) SetSelected(i, false);
  } else {
    SetItemIndex(-1);
  }
}

void TCustomListBox::DeleteSelected() {
  if (multiSelect_) {
    for (Integer i = Count() - 1; i >= 0; --i) {
      if (Selected(i)) items_->Delete(i);
    }
  } else if (Integer index = ItemIndex(); index != -1) {
    items_->Delete(index);
  }
}

void TCustomListBox::SelectAll() {
  if (!multiSelect_) return;
  for (Integer i = 0; i < Count(); ++i) SetSelected(i, true);
}

void TCustomListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (onDrawItem_) {
    onDrawItem_(this, Index, Rect, State);
    return;
  }
  canvas_->FillRect(Rect);
  if (Index < Count()) canvas_->TextOut(Rect.left + 2, Rect.top, items_->Get(Index));
}

void TCustomListBox::MeasureItem(Integer Index, Integer& Height) { onMeasureItem_(this, Index, Height); }

void TCustomListBox::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_LISTBOX);
  Params.Style |= WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY;
  if (style_ == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED;
  if (style_ == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
  if (sorted_) Params.Style |= LBS_SORT;
  if (multiSelect_) Params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!integralHeight_) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (columns_ > 0) Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
  if (tabWidth_ > 0) Params.Style |= LBS_USETABSTOPS;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  if (style_ == lbOwnerDrawFixed) ::SendMessage(wnd, LB_SETITEMHEIGHT, 0, static_cast<LPARAM>(itemHeight_));
  if (columns_ > 0) ::SendMessage(wnd, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(Width() / columns_, 1)), 0);
  if (tabWidth_ > 0) ::SendMessage(wnd, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabWidth_));
  items_->SaveTo(wnd);
  if (multiSelect_) {
    for (size_t i = 0; i < selected_.size(); ++i) {
      if (selected_[i]) ::SendMessage(wnd, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
    }
    if (itemIndex_ >= 0) ::SendMessage(wnd, LB_SETCARETINDEX, static_cast<WPARAM>(itemIndex_), 0);
  } else if (itemIndex_ >= 0) {
    ::SendMessage(wnd, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  }
  if (topIndex_ > 0) ::SendMessage(wnd, LB_SETTOPINDEX, static_cast<WPARAM>(topIndex_), 0);
  selected_.clear();
  itemIndex_ = -1;
  topIndex_ = 0;
}

void TCustomListBox::DestroyWnd() {
  if (HandleAllocated()) {
    HWND wnd = Handle();
    Integer count = Count();
    itemIndex_ = ItemIndex();
    topIndex_ = TopIndex();
    selected_.assign(static_cast<size_t>(count), false);
    if (multiSelect_) {
      for (Integer i = 0; i < count; ++i) selected_[static_cast<size_t>(i)] = ::SendMessage(wnd, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
    }
    items_->LoadFrom(wnd);
  }
  TWinControl::DestroyWnd();
}

void TCustomListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: CNCommand(static_cast<TWMCommand&>(Message)); break;
    case CN_DRAWITEM: CNDrawItem(static_cast<TWMDrawItem&>(Message)); break;
    case CN_MEASUREITEM: CNMeasureItem(static_cast<TWMMeasureItem&>(Message)); break;
    default: TWinControl::Dispatch(Message); break;
  }
}

void TCustomListBox::CNCommand(TWMCommand& Message) {
  switch (Message.NotifyCode()) {
    case LBN_SELCHANGE:
      Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
      Click();
      break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
  }
}

void TCustomListBox::CNDrawItem(TWMDrawItem& Message) {
  DRAWITEMSTRUCT* dis = Message.DrawItemStruct();
  TOwnerDrawState state = OwnerDrawState(dis->itemState);
  canvas_->Lock();
  canvas_->SetHandle(dis->hDC);
  try {
    canvas_->SetFont(Font());
    canvas_->SetBrush(Brush());
    auto index = static_cast<Integer>(dis->itemID);
    if (index >= 0 && state.Contains(odSelected)) {
      canvas_->Brush()->SetColor(clHighlight);
      canvas_->Font()->SetColor(clHighlightText);
    }
    if (index >= 0) {
      DrawItem(index, dis->rcItem, state);
    } else {
      canvas_->FillRect(dis->rcItem);
    }
    if (state.Contains(odFocused)) ::DrawFocusRect(dis->hDC, &dis->rcItem);
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
  Message.Result = 1;
}

void TCustomListBox::CNMeasureItem(TWMMeasureItem& Message) {
  MEASUREITEMSTRUCT* mis = Message.MeasureItemStruct();
  Integer height = itemHeight_;
  if (style_ == lbOwnerDrawVariable) MeasureItem(static_cast<Integer>(mis->itemID), height);
  mis->itemHeight = static_cast<UINT>(std::max(height, 1));
  Message.Result = 1;
}

// ---- Combo boxes ------------------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(new TComboBoxStrings(this)), canvas_(new TControlCanvas()) {
  canvas_->SetControl(this);
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(Left(), Top(), 145, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() {
  UnhookParts();
  canvas_->SetControl(nullptr);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  RecreateWnd();
}

Integer TCustomComboBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<Integer>(::SendMessage(Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(Integer Value) {
  if (ComponentState().Contains(csLoading)) {
    // The items may come after the index in a form resource: applied once everything is read.
    itemIndex_ = Value;
    loadedIndex_ = true;
    return;
  }
  if (!HandleAllocated()) {
    if (Value < -1 || Value >= items_->Count()) Value = -1;
    itemIndex_ = Value;
    // The text follows the selection, as the window's does.
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value >= 0 ? items_->Get(Value).c_str() : ""));
    return;
  }
  if (ItemIndex() != Value) ::SendMessage(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomComboBox::Loaded() {
  TWinControl::Loaded();
  if (loadedIndex_) {
    loadedIndex_ = false;
    Integer index = itemIndex_;
    itemIndex_ = -1;
    SetItemIndex(index);
  }
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && ::SendMessage(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  ::SendMessage(Handle(), CB_SHOWDROPDOWN, Value ? TRUE : FALSE, 0);
}

void TCustomComboBox::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  sorted_ = Value;
  items_->SetSorted(Value);
  RecreateWnd();
}

void TCustomComboBox::SetMaxLength(Integer Value) {
  Value = std::max(Value, 0);
  if (maxLength_ == Value) return;
  maxLength_ = Value;
  if (HandleAllocated()) ::SendMessage(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  if (charCase_ == Value) return;
  charCase_ = Value;
  RecreateWnd();
}

Integer TCustomComboBox::ItemHeight() {
  if (HandleAllocated() && (style_ == csDropDown || style_ == csSimple || style_ == csDropDownList)) {
    return static_cast<Integer>(::SendMessage(Handle(), CB_GETITEMHEIGHT, 0, 0));
  }
  return itemHeight_;
}

void TCustomComboBox::SetItemHeight(Integer Value) {
  if (Value <= 0 || itemHeight_ == Value) return;
  itemHeight_ = Value;
  if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) RecreateWnd();
}

namespace {
void EditSel(HWND Combo, DWORD& Start, DWORD& End) {
  ::SendMessage(Combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
}
}  // namespace

Integer TCustomComboBox::SelStart() {
  DWORD start = 0, end = 0;
  EditSel(Handle(), start, end);
  return static_cast<Integer>(start);
}

void TCustomComboBox::SetSelStart(Integer Value) {
  ::SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Value, Value));
}

Integer TCustomComboBox::SelLength() {
  DWORD start = 0, end = 0;
  EditSel(Handle(), start, end);
  return static_cast<Integer>(end) - static_cast<Integer>(start);
}

void TCustomComboBox::SetSelLength(Integer Value) {
  DWORD start = 0, end = 0;
  EditSel(Handle(), start, end);
  ::SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + static_cast<DWORD>(std::max(Value, 0))));
}

String TCustomComboBox::SelText() { return CharCopy(Text(), SelStart(), SelLength()); }

void TCustomComboBox::SetSelText(const String& Value) {
  if (style_ == csDropDownList || style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) return;
  HandleNeeded();
  if (editHandle_ != nullptr) ::SendMessage(editHandle_, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomComboBox::SelectAll() { ::SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF)); }

void TCustomComboBox::Clear() {
  SetText(String());
  items_->Clear();
}

void TCustomComboBox::Change() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
  onChange_(this);
}

void TCustomComboBox::Select() {
  if (onSelect_) {
    onSelect_(this);
  } else {
    Change();
  }
}

void TCustomComboBox::DropDown() { onDropDown_(this); }

void TCustomComboBox::CloseUp() { onCloseUp_(this); }

void TCustomComboBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (onDrawItem_) {
    onDrawItem_(this, Index, Rect, State);
    return;
  }
  canvas_->FillRect(Rect);
  if (Index >= 0 && Index < items_->Count()) canvas_->TextOut(Rect.left + 2, Rect.top, items_->Get(Index));
}

void TCustomComboBox::MeasureItem(Integer Index, Integer& Height) { onMeasureItem_(this, Index, Height); }

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  static constexpr DWORD Styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                     CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_COMBOBOX);
  Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | Styles[style_];
  if (sorted_) Params.Style |= CBS_SORT;
  if (charCase_ == ecUpperCase) Params.Style |= CBS_UPPERCASE;
  if (charCase_ == ecLowerCase) Params.Style |= CBS_LOWERCASE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomComboBox::CreateWnd() {
  String text = Caption();
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  ::SendMessage(wnd, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (style_ == csOwnerDrawFixed) ::SendMessage(wnd, CB_SETITEMHEIGHT, 0, static_cast<LPARAM>(itemHeight_));
  items_->SaveTo(wnd);
  if (itemIndex_ >= 0) {
    ::SendMessage(wnd, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  } else if (IsDropDownStyle() && !text.empty()) {
    ::SendMessage(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  itemIndex_ = -1;
  COMBOBOXINFO info;
  info.cbSize = sizeof(info);
  if (::SendMessage(wnd, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info)) != 0) {
    editHandle_ = info.hwndItem;
    listHandle_ = info.hwndList;
  }
  if (editHandle_ != nullptr) HookPart(editHandle_, editProc_);
  if (style_ == csSimple && listHandle_ != nullptr) HookPart(listHandle_, listProc_);
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) {
    itemIndex_ = ItemIndex();
    items_->LoadFrom(Handle());
  }
  UnhookParts();
  TWinControl::DestroyWnd();
}

void TCustomComboBox::HookPart(HWND Part, WNDPROC& Saved) {
  ::SetProp(Part, ComboPartProp, this);
  Saved = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtr(Part, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomComboBox::PartProc)));
}

void TCustomComboBox::UnhookParts() {
  auto unhook = [](HWND& part, WNDPROC& saved) {
    if (part != nullptr && ::IsWindow(part) && saved != nullptr) {
      ::SetWindowLongPtr(part, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
      ::RemoveProp(part, ComboPartProp);
    }
    part = nullptr;
    saved = nullptr;
  };
  unhook(editHandle_, editProc_);
  unhook(listHandle_, listProc_);
}

LRESULT CALLBACK TCustomComboBox::PartProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* combo = static_cast<TCustomComboBox*>(::GetProp(Wnd, ComboPartProp));
  if (combo == nullptr) return ::DefWindowProc(Wnd, Msg, WParam, LParam);
  WNDPROC proc = Wnd == combo->editHandle_ ? combo->editProc_ : combo->listProc_;
  if (Msg == WM_NCDESTROY) {
    // The part goes before the combo box: put its procedure back.
    ::SetWindowLongPtr(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    ::RemoveProp(Wnd, ComboPartProp);
    if (Wnd == combo->editHandle_) {
      combo->editHandle_ = nullptr;
      combo->editProc_ = nullptr;
    } else {
      combo->listHandle_ = nullptr;
      combo->listProc_ = nullptr;
    }
    return ::CallWindowProc(proc, Wnd, Msg, WParam, LParam);
  }
  TMessage message;
  message.Msg = Msg;
  message.WParam = WParam;
  message.LParam = LParam;
  try {
    combo->ComboWndProc(message, Wnd, proc);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(combo);
  }
  return message.Result;
}

void TCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc) {
  std::weak_ptr<bool> alive = AliveToken();
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form != nullptr && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (ControlState().Contains(csFocusing)) return;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (ComboWnd != listHandle_ && DoKeyDown(static_cast<TWMKey&>(Message))) return;
      break;
    case WM_CHAR: {
      if (DoKeyPress(static_cast<TWMKey&>(Message))) return;
      Word key = static_cast<TWMKey&>(Message).CharCode();
      if ((key == VK_RETURN || key == VK_ESCAPE) && DroppedDown()) {
        SetDroppedDown(false);
        return;
      }
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(static_cast<TWMKey&>(Message))) return;
      break;
    case WM_MOUSEMOVE:
      if (Application != nullptr) Application->HintMouseMessage(this, Message);
      break;
    case WM_GETDLGCODE:
      if (DroppedDown()) {
        Message.Result = DLGC_WANTALLKEYS;
        return;
      }
      break;
    default: break;
  }
  if (alive.expired() || !*alive.lock() || !::IsWindow(ComboWnd)) return;
  Message.Result = ::CallWindowProc(ComboProc, ComboWnd, Message.Msg, Message.WParam, Message.LParam);
  if (Message.Msg == WM_LBUTTONDBLCLK && ControlStyle().Contains(csDoubleClicks) && !alive.expired() && *alive.lock()) {
    DblClick();
  }
}

bool TCustomComboBox::Focused() {
  if (!HandleAllocated()) return false;
  HWND focus = ::GetFocus();
  return focus != nullptr && (focus == Handle() || focus == editHandle_ || focus == listHandle_);
}

void TCustomComboBox::SetDropHeight() {
  if (!HandleAllocated() || style_ == csSimple) return;
  // A height beyond the selection field is the height of the dropped list.
  RECT r;
  ::GetWindowRect(Handle(), &r);
  Integer rowHeight = std::max<Integer>(static_cast<Integer>(::SendMessage(Handle(), CB_GETITEMHEIGHT, 0, 0)), 1);
  Integer rows = std::max(dropDownCount_, 1);
  ::SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, (r.bottom - r.top) + rows * rowHeight + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: CNCommand(static_cast<TWMCommand&>(Message)); break;
    case CN_DRAWITEM: CNDrawItem(static_cast<TWMDrawItem&>(Message)); break;
    case CN_MEASUREITEM: CNMeasureItem(static_cast<TWMMeasureItem&>(Message)); break;
    default: TWinControl::Dispatch(Message); break;
  }
}

void TCustomComboBox::CNCommand(TWMCommand& Message) {
  std::weak_ptr<bool> alive = AliveToken();
  auto gone = [&alive] { return alive.expired() || !*alive.lock(); };
  switch (Message.NotifyCode()) {
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN:
      DropDown();
      if (gone()) return;
      SetDropHeight();
      break;
    case CBN_CLOSEUP: CloseUp(); break;
    case CBN_SELCHANGE: {
      Integer index = ItemIndex();
      if (index >= 0 && IsDropDownStyle()) {
        // The edit part shows the chosen item before the events.
        String text = items_->Get(index);
        if (Text() != text) ::SendMessage(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
      }
      Click();
      if (gone()) return;
      Select();
      break;
    }
    default: break;
  }
}

void TCustomComboBox::CNDrawItem(TWMDrawItem& Message) {
  DRAWITEMSTRUCT* dis = Message.DrawItemStruct();
  TOwnerDrawState state = OwnerDrawState(dis->itemState);
  if ((dis->itemState & ODS_COMBOBOXEDIT) != 0) state.Include(odComboBoxEdit);
  canvas_->Lock();
  canvas_->SetHandle(dis->hDC);
  try {
    canvas_->SetFont(Font());
    canvas_->SetBrush(Brush());
    auto index = static_cast<Integer>(dis->itemID);
    if (index >= 0 && state.Contains(odSelected)) {
      canvas_->Brush()->SetColor(clHighlight);
      canvas_->Font()->SetColor(clHighlightText);
    }
    if (index >= 0) {
      DrawItem(index, dis->rcItem, state);
    } else {
      canvas_->FillRect(dis->rcItem);
    }
    if (state.Contains(odFocused)) ::DrawFocusRect(dis->hDC, &dis->rcItem);
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
  Message.Result = 1;
}

void TCustomComboBox::CNMeasureItem(TWMMeasureItem& Message) {
  MEASUREITEMSTRUCT* mis = Message.MeasureItemStruct();
  Integer height = itemHeight_;
  if (style_ == csOwnerDrawVariable) MeasureItem(static_cast<Integer>(mis->itemID), height);
  mis->itemHeight = static_cast<UINT>(std::max(height, 1));
  Message.Result = 1;
}
