// Menus: items, the main menu with merging, popup menus, short cuts, and the window-system menus built
// from them.
#include "platform/forms/Menus.h"

#include <algorithm>
#include <bitset>

#include "platform/classes/Streams.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/FormsInternal.h"
#include "platform/rtl/SysUtils.h"

using namespace menusconsts;
using namespace k58::forms;

namespace {

// Command numbers of menu items: 1 .. 0xFEFF (the numbers above belong to the MDI window list).
constexpr size_t kFirstCommand = 1;
constexpr size_t kLastCommand = 0xFEFF;

std::bitset<0x10000>& CommandPool() {
  static std::bitset<0x10000> pool;
  return pool;
}

Word AllocateCommand() {
  auto& pool = CommandPool();
  static size_t next = kFirstCommand;
  for (size_t n = 0; n < kLastCommand; ++n) {
    size_t id = next;
    next = next >= kLastCommand ? kFirstCommand : next + 1;
    if (!pool.test(id)) {
      pool.set(id);
      return static_cast<Word>(id);
    }
  }
  throw EMenuError("No menu command numbers left");
}

void ReleaseCommand(Word Id) {
  if (Id != 0) CommandPool().reset(Id);
}

// The popup menus that exist, for the window that receives their commands.
std::vector<TPopupMenu*>& PopupMenus() {
  static std::vector<TPopupMenu*> list;
  return list;
}

// Items of a menu and of the menu merged into it, in GroupIndex order: at an index both have, the
// merged menu's items take the place of the menu's own.
template <class F>
void IterateMerged(TMenuItem* Own, TMenuItem* Merged, F&& Visit) {
  Integer i = 0, j = 0;
  Integer ownCount = Own != nullptr ? Own->Count() : 0;
  Integer mergedCount = Merged != nullptr ? Merged->Count() : 0;
  while (i < ownCount || j < mergedCount) {
    Integer iIndex = i < ownCount ? Own->Items(i)->GroupIndex() : 256;
    Integer jIndex = j < mergedCount ? Merged->Items(j)->GroupIndex() : 256;
    Integer group;
    if (jIndex <= iIndex) {
      group = jIndex;
      while (j < mergedCount && Merged->Items(j)->GroupIndex() == group) Visit(Merged->Items(j++));
    } else {
      group = iIndex;
      while (i < ownCount && Own->Items(i)->GroupIndex() == group) Visit(Own->Items(i++));
    }
    while (i < ownCount && Own->Items(i)->GroupIndex() <= group) ++i;
    while (j < mergedCount && Merged->Items(j)->GroupIndex() <= group) ++j;
  }
}

}  // namespace

// ---- Short cuts ------------------------------------------------------------------------------------------------

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if ((Key & 0xFF00) != 0) return 0;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result += scShift;
  if (Shift.Contains(ssCtrl)) result += scCtrl;
  if (Shift.Contains(ssAlt)) result += scAlt;
  return result;
}

void ShortCutToKey(TShortCut Value, Word& Key, TShiftState& Shift) {
  Key = Value & 0xFF;
  Shift = TShiftState();
  if (Value & scShift) Shift.Include(ssShift);
  if (Value & scCtrl) Shift.Include(ssCtrl);
  if (Value & scAlt) Shift.Include(ssAlt);
}

namespace {

String KeyName(Byte Key) {
  static const char* const Specials[] = {"BkSp", "Tab"};
  static const char* const Navigation[] = {"Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down"};
  if (Key == 0x08 || Key == 0x09) return Specials[Key - 0x08];
  if (Key == 0x0D) return "Enter";
  if (Key == 0x1B) return "Esc";
  if (Key >= 0x20 && Key <= 0x28) return Navigation[Key - 0x20];
  if (Key == 0x2D) return "Ins";
  if (Key == 0x2E) return "Del";
  if (Key >= '0' && Key <= '9') return String(1, static_cast<char>(Key));
  if (Key >= 'A' && Key <= 'Z') return String(1, static_cast<char>(Key));
  if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return "Num " + String(1, static_cast<char>('0' + Key - VK_NUMPAD0));
  if (Key >= VK_F1 && Key <= VK_F24) return "F" + IntToStr(Key - VK_F1 + 1);
  switch (Key) {
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num Del";
    case VK_DIVIDE: return "Num /";
    case VK_OEM_1: return ";";
    case VK_OEM_PLUS: return "=";
    case VK_OEM_COMMA: return ",";
    case VK_OEM_MINUS: return "-";
    case VK_OEM_PERIOD: return ".";
    case VK_OEM_2: return "/";
    case VK_OEM_3: return "`";
    case VK_OEM_4: return "[";
    case VK_OEM_5: return "\\";
    case VK_OEM_6: return "]";
    case VK_OEM_7: return "'";
    default: return String();
  }
}

}  // namespace

String ShortCutToText(TShortCut Value) {
  String name = KeyName(static_cast<Byte>(Value & 0xFF));
  if (name.empty()) return String();
  String result;
  if (Value & scShift) result += "Shift+";
  if (Value & scCtrl) result += "Ctrl+";
  if (Value & scAlt) result += "Alt+";
  return result + name;
}

TShortCut TextToShortCut(const String& Text) {
  String rest = Text;
  TShortCut shift = 0;
  // Modifiers in any order and case.
  for (bool found = true; found;) {
    found = false;
    for (auto [prefix, flag] : {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
      size_t n = std::char_traits<char>::length(prefix);
      if (rest.size() > n && SameText(rest.substr(0, n), prefix)) {
        shift |= flag;
        rest = rest.substr(n);
        found = true;
      }
    }
  }
  if (rest.empty()) return 0;
  for (Word key = 0x08; key <= 0xFF; ++key) {
    String name = KeyName(static_cast<Byte>(key));
    if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(key | shift);
  }
  return 0;
}

String StripHotkey(const String& Text) {
  String result;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&') {
      if (i + 1 < Text.size() && Text[i + 1] == '&') {
        result += '&';
        ++i;
      }
      continue;
    }
    result += Text[i];
  }
  return result;
}

char GetHotkey(const String& Text) {
  for (size_t i = 0; i + 1 < Text.size(); ++i) {
    if (Text[i] != '&') continue;
    if (Text[i + 1] == '&') {
      ++i;
      continue;
    }
    return Text[i + 1];
  }
  return 0;
}

bool IsAccel(Word VK, const String& Str) {
  char hot = GetHotkey(Str);
  if (hot == 0) return false;
  auto upper = [](int c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; };
  return upper(static_cast<unsigned char>(hot)) == upper(VK & 0xFF);
}

// ---- Menu items --------------------------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { command_ = AllocateCommand(); }

TMenuItem::~TMenuItem() {
  if (parent_ != nullptr) {
    TMenuItem* parent = parent_;
    parent->items_.erase(std::remove(parent->items_.begin(), parent->items_.end(), this), parent->items_.end());
    parent_ = nullptr;
    parent->MenuChanged(true);
  }
  while (!items_.empty()) {
    TMenuItem* child = items_.back();
    items_.pop_back();
    child->parent_ = nullptr;
    FreeObject(child);
  }
  if (mergedWith_ != nullptr && mergedWith_->merged_ == this) mergedWith_->merged_ = nullptr;
  DestroyHandle();
  ReleaseCommand(command_);
}

TMenuItem* TMenuItem::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError(SMenuIndexError);
  return items_[static_cast<size_t>(Index)];
}

Integer TMenuItem::MenuIndex() const { return parent_ != nullptr ? parent_->IndexOf(const_cast<TMenuItem*>(this)) : -1; }

void TMenuItem::SetMenuIndex(Integer Value) {
  if (parent_ == nullptr) return;
  TMenuItem* parent = parent_;
  Integer count = parent->Count();
  Value = std::clamp(Value, 0, count - 1);
  if (Value == MenuIndex()) return;
  parent->Remove(this);
  parent->Insert(Value, this);
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Add(const std::vector<TMenuItem*>& AItems) {
  for (TMenuItem* item : AItems) Add(item);
}

void TMenuItem::Insert(Integer Index, TMenuItem* Item) {
  if (Item == nullptr) return;
  if (Item->parent_ != nullptr) throw EMenuError(SMenuReinserted);
  if (Index < 0 || Index > Count()) throw EMenuError(SMenuIndexError);
  if (Index > 0 && Item->groupIndex_ < items_[static_cast<size_t>(Index) - 1]->groupIndex_) {
    Item->groupIndex_ = items_[static_cast<size_t>(Index) - 1]->groupIndex_;
  }
  VerifyGroupIndex(Index, Item->groupIndex_);
  items_.insert(items_.begin() + Index, Item);
  Item->parent_ = this;
  RebuildHandle();
  // An item that gained its first sub-item becomes a submenu in its parent's menu.
  MenuChanged(Count() == 1);
}

void TMenuItem::Delete(Integer Index) {
  if (Index < 0 || Index >= Count()) throw EMenuError(SMenuIndexError);
  TMenuItem* item = items_[static_cast<size_t>(Index)];
  items_.erase(items_.begin() + Index);
  item->parent_ = nullptr;
  RebuildHandle();
  MenuChanged(Count() == 0);
}

void TMenuItem::Remove(TMenuItem* Item) {
  Integer index = IndexOf(Item);
  if (index < 0) throw EMenuError(SMenuNotFound);
  Delete(index);
}

void TMenuItem::Clear() {
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    items_.pop_back();
    item->parent_ = nullptr;
    FreeObject(item);
  }
  RebuildHandle();
  MenuChanged(true);
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  String wanted = StripHotkey(ACaption);
  for (TMenuItem* item : items_) {
    if (SameText(StripHotkey(item->caption_), wanted)) return item;
  }
  return nullptr;
}

Integer TMenuItem::IndexOf(TMenuItem* Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_ != nullptr) item = item->parent_;
  if (item->menu_ != nullptr) return item->menu_;
  if (item->mergedWith_ != nullptr) return item->mergedWith_->menu_;
  return nullptr;
}

TCustomImageList* TMenuItem::GetImageList() const {
  for (const TMenuItem* item = parent_; item != nullptr; item = item->parent_) {
    if (item->subMenuImages_ != nullptr) return item->subMenuImages_;
  }
  TMenu* menu = GetParentMenu();
  return menu != nullptr ? menu->Images() : nullptr;
}

// ---- Properties --------------------------------------------------------------------------------------------------

void TMenuItem::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  if (Value && radioItem_) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::TurnSiblingsOff() {
  if (parent_ == nullptr) return;
  for (TMenuItem* item : parent_->items_) {
    if (item != this && item->radioItem_ && item->groupIndex_ == groupIndex_ && item->checked_) {
      item->checked_ = false;
      item->MenuChanged(false);
    }
  }
}

void TMenuItem::SetDefault(bool Value) {
  if (default_ == Value) return;
  if (Value && parent_ != nullptr) {
    for (TMenuItem* item : parent_->items_) {
      if (item != this && item->default_) {
        item->default_ = false;
        item->MenuChanged(false);
      }
    }
  }
  default_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  MenuChanged(false);
}

void TMenuItem::VerifyGroupIndex(Integer Position, Byte Value) {
  for (Integer i = 0; i < Count(); ++i) {
    TMenuItem* item = items_[static_cast<size_t>(i)];
    if (i < Position) {
      if (item->groupIndex_ > Value) throw EMenuError(SGroupIndexTooLow);
    } else if (item->groupIndex_ < Value) {
      item->groupIndex_ = Value;
    }
  }
}

void TMenuItem::SetGroupIndex(Byte Value) {
  if (groupIndex_ == Value) return;
  if (parent_ != nullptr) parent_->VerifyGroupIndex(parent_->IndexOf(this), Value);
  groupIndex_ = Value;
  if (checked_ && radioItem_) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetImageIndex(TImageIndex Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (radioItem_ == Value) return;
  radioItem_ = Value;
  if (checked_ && radioItem_) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (shortCut_ == Value) return;
  shortCut_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
  if (break_ == Value) return;
  break_ = Value;
  MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_.reset(new TBitmap());
  return bitmap_.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
  Bitmap()->Assign(Value);
  MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
  if (subMenuImages_ == Value) return;
  if (subMenuImages_ != nullptr) subMenuImages_->RemoveFreeNotification(this);
  subMenuImages_ = Value;
  if (Value != nullptr) Value->FreeNotification(this);
  MenuChanged(true);
}

void TMenuItem::SetOnDrawItem(const TMenuDrawItemEvent& Value) {
  onDrawItem_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetOnAdvancedDrawItem(const TAdvancedMenuDrawItemEvent& Value) {
  onAdvancedDrawItem_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetOnMeasureItem(const TMenuMeasureItemEvent& Value) {
  onMeasureItem_ = Value;
  MenuChanged(true);
}

// ---- Behaviour --------------------------------------------------------------------------------------------------

void TMenuItem::Click() {
  if (!enabled_) return;
  // A checked radio item stays checked when chosen again.
  if (autoCheck_ && !(radioItem_ && checked_)) SetChecked(!checked_);
  onClick_(this);
}

bool TMenuItem::IsOwnerDraw() const {
  TMenu* menu = GetParentMenu();
  if (menu != nullptr && menu->OwnerDraw()) return true;
  return static_cast<bool>(onDrawItem_) || static_cast<bool>(onAdvancedDrawItem_);
}

void TMenuItem::DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected) {
  if (onDrawItem_) {
    onDrawItem_(this, ACanvas, ARect, Selected);
    return;
  }
  // The plain look: highlight, caption and short cut.
  ACanvas->Brush()->SetColor(Selected ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  ACanvas->Font()->SetColor(!enabled_ ? clGrayText : Selected ? clHighlightText : clMenuText);
  if (IsLine()) {
    TRect line{ARect.left, (ARect.top + ARect.bottom) / 2 - 1, ARect.right, (ARect.top + ARect.bottom) / 2 + 1};
    ::DrawEdge(ACanvas->Handle(), &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  TRect text = ARect;
  text.left += 16;
  ::SetBkMode(ACanvas->Handle(), TRANSPARENT);
  ::DrawText(ACanvas->Handle(), caption_.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (shortCut_ != 0 && (parent_ == nullptr || parent_->parent_ != nullptr || GetParentMenu() == nullptr ||
                         dynamic_cast<TMainMenu*>(GetParentMenu()) == nullptr)) {
    String sc = ShortCutToText(shortCut_);
    TRect scRect = text;
    scRect.right -= 8;
    ::DrawText(ACanvas->Handle(), sc.c_str(), -1, &scRect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  }
  if (checked_) {
    TRect mark{ARect.left + 2, ARect.top, ARect.left + 14, ARect.bottom};
    ::DrawText(ACanvas->Handle(), radioItem_ ? "\xE2\x80\xA2" : "\xE2\x9C\x93", -1, &mark,
               DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel) {
  (void)TopLevel;
  if (onAdvancedDrawItem_) {
    onAdvancedDrawItem_(this, ACanvas, ARect, State);
    return;
  }
  DrawItem(ACanvas, ARect, State.Contains(odSelected));
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, Integer& Width, Integer& Height) {
  if (onMeasureItem_) {
    onMeasureItem_(this, ACanvas, Width, Height);
    return;
  }
  if (IsLine()) {
    Height = 8;
    return;
  }
  String text = caption_;
  if (shortCut_ != 0) text += "    " + ShortCutToText(shortCut_);
  TSize size = ACanvas->TextExtent(StripHotkey(text));
  Width = size.cx + 24;
  Height = std::max<Integer>(size.cy + 4, ::GetSystemMetrics(SM_CYMENU));
}

// ---- Streaming ---------------------------------------------------------------------------------------------------

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ != nullptr && parent_->menu_ != nullptr) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (parent_ != nullptr) parent_->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(Value)) {
    menu->Items()->Add(this);
  } else if (auto* item = dynamic_cast<TMenuItem*>(Value)) {
    item->Add(this);
  }
}

void TMenuItem::GetChildren(TGetChildProc Proc, TComponent* Root) {
  (void)Root;
  for (TMenuItem* item : items_) Proc(item);
}

void TMenuItem::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* item = dynamic_cast<TMenuItem*>(Child)) {
    if (item->parent_ == this) item->SetMenuIndex(Order);
  }
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != nullptr && AComponent == static_cast<TComponent*>(subMenuImages_)) {
    subMenuImages_ = nullptr;
  }
}

void TMenuItem::Loaded() {
  TComponent::Loaded();
  // Radio groups read from a resource keep one checked item.
  if (checked_ && radioItem_) TurnSiblingsOff();
}

// ---- Window-system menus -----------------------------------------------------------------------------------------

void TMenuItem::MenuChanged(bool Rebuild) {
  if (parent_ != nullptr && Rebuild) {
    parent_->RebuildHandle();
  } else if (parent_ != nullptr && parent_->HandleAllocated()) {
    parent_->RebuildHandle();
  }
  TMenuItem* root = this;
  while (root->parent_ != nullptr) root = root->parent_;
  TMenu* menu = root->menu_ != nullptr ? root->menu_ : (root->mergedWith_ != nullptr ? root->mergedWith_->menu_ : nullptr);
  if (menu != nullptr) menu->MenuChanged(menu, parent_ == nullptr ? nullptr : this, Rebuild);
}

HMENU TMenuItem::Handle() {
  if (handle_ == nullptr) {
    handle_ = NativeCreateMenu(true);
    RebuildHandle();
  }
  return handle_;
}

void TMenuItem::DestroyHandle() {
  if (handle_ == nullptr) return;
  HMENU menu = handle_;
  handle_ = nullptr;
  NativeClearMenu(menu);
  NativeDestroyMenu(menu);
}

void TMenuItem::RebuildHandle() {
  if (handle_ == nullptr) return;
  NativeClearMenu(handle_);
  bool topLevel = menu_ != nullptr && dynamic_cast<TMainMenu*>(menu_) != nullptr;
  IterateMerged(this, merged_, [&](TMenuItem* item) {
    if (item->visible_) item->AppendTo(handle_, topLevel);
  });
}

void TMenuItem::AppendTo(HMENU Menu, bool TopLevel) {
  NativeMenuItem item;
  item.Text = caption_;
  if (shortCut_ != 0 && !TopLevel) item.Text += "\t" + ShortCutToText(shortCut_);
  item.Id = command_;
  item.Separator = IsLine();
  item.Checked = checked_;
  item.RadioCheck = radioItem_;
  item.Enabled = enabled_;
  item.Default = default_;
  item.OwnerDraw = IsOwnerDraw();
  item.Break = break_;
  item.Data = reinterpret_cast<ULONG_PTR>(this);
  if (!items_.empty()) item.SubMenu = Handle();
  NativeAppendItem(Menu, item);
}

// ---- Menus -------------------------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), imageChangeLink_(new TChangeLink()) {
  items_ = new TMenuItem(this);
  items_->menu_ = this;
  imageChangeLink_->SetOnChange(TNotifyEvent(this, &TMenu::ImageListChange));
}

TMenu::~TMenu() {
  // The root item (and with it every item still in the menu) goes with the menu.
  TMenuItem* items = items_;
  items_ = nullptr;
  items->menu_ = nullptr;
  FreeObject(items);
  if (images_ != nullptr) images_->UnRegisterChanges(imageChangeLink_.get());
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  if (images_ != nullptr) {
    images_->UnRegisterChanges(imageChangeLink_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = Value;
  if (Value != nullptr) {
    Value->RegisterChanges(imageChangeLink_.get());
    Value->FreeNotification(this);
  }
  MenuChanged(this, nullptr, true);
}

void TMenu::ImageListChange(TObject* Sender) {
  (void)Sender;
  MenuChanged(this, nullptr, true);
}

void TMenu::SetOwnerDraw(bool Value) {
  if (ownerDraw_ == Value) return;
  ownerDraw_ = Value;
  MenuChanged(this, nullptr, true);
}

HMENU TMenu::Handle() { return items_->Handle(); }

void TMenu::SetWindowHandle(HWND Value) { windowHandle_ = Value; }

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) {
  TMenuItem* found = nullptr;
  std::function<bool(TMenuItem*)> search = [&](TMenuItem* item) -> bool {
    bool match = false;
    switch (Kind) {
      case fkCommand: match = item->Command() == Value && item->Count() == 0; break;
      case fkHandle: match = item->HandleAllocated() && reinterpret_cast<UINT_PTR>(item->handle_) == Value; break;
      case fkShortCut: match = item->ShortCut() == Value && Value != 0; break;
    }
    if (match) {
      found = item;
      return true;
    }
    for (Integer i = 0; i < item->Count(); ++i) {
      if (search(item->Items(i))) return true;
    }
    return false;
  };
  if (items_ == nullptr) return nullptr;
  for (Integer i = 0; i < items_->Count(); ++i) {
    if (search(items_->Items(i))) return found;
  }
  if (Kind == fkHandle && items_->HandleAllocated() && reinterpret_cast<UINT_PTR>(items_->handle_) == Value) {
    return items_;
  }
  if (items_->merged_ != nullptr) {
    for (Integer i = 0; i < items_->merged_->Count(); ++i) {
      if (search(items_->merged_->Items(i))) return found;
    }
  }
  return nullptr;
}

bool TMenu::DispatchCommand(Word ACommand) {
  TMenuItem* item = FindItem(ACommand, fkCommand);
  if (item == nullptr) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU AMenu) {
  TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AMenu), fkHandle);
  if (item == nullptr) return false;
  if (item != items_) item->Click();
  return true;
}

bool TMenu::IsShortCut(TWMKey& Message) {
  constexpr LongInt AltMask = 0x20000000;
  if (windowHandle_ == nullptr) return false;
  TShortCut shortCut = static_cast<Byte>(Message.CharCode());
  if (::GetKeyState(VK_SHIFT) < 0) shortCut += scShift;
  if (::GetKeyState(VK_CONTROL) < 0) shortCut += scCtrl;
  if (Message.KeyData() & AltMask) shortCut += scAlt;
  TMenuItem* item = FindItem(shortCut, fkShortCut);
  if (item == nullptr) return false;
  // The items above it hear of the click first (as when their submenus open), so they can update it.
  std::vector<TMenuItem*> chain;
  for (TMenuItem* p = item->Parent(); p != nullptr && p != items_ && p != items_->merged_; p = p->Parent()) {
    chain.insert(chain.begin(), p);
  }
  for (TMenuItem* p : chain) {
    if (!p->Enabled()) return true;
    p->Click();
  }
  if (item->Enabled() && item->ShortCut() == shortCut) item->Click();
  return true;
}

void TMenu::GetChildren(TGetChildProc Proc, TComponent* Root) {
  (void)Root;
  for (Integer i = 0; i < items_->Count(); ++i) Proc(items_->Items(i));
}

void TMenu::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* item = dynamic_cast<TMenuItem*>(Child)) {
    if (item->Parent() == items_) item->SetMenuIndex(Order);
  }
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != nullptr && AComponent == static_cast<TComponent*>(images_)) {
    images_ = nullptr;
  }
}

void TMenu::Loaded() {
  TComponent::Loaded();
  MenuChanged(this, nullptr, true);
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  onChange_(Sender, Source, Rebuild);
}

// ---- Main menus --------------------------------------------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
  if (Items() != nullptr && Items()->merged_ != nullptr) {
    Items()->merged_->mergedWith_ = nullptr;
    Items()->merged_ = nullptr;
  }
}

HMENU TMainMenu::Handle() {
  TMenuItem* root = Items();
  if (root->handle_ == nullptr) {
    root->handle_ = NativeCreateMenu(false);
    root->RebuildHandle();
  }
  return root->handle_;
}

void TMainMenu::SetAutoMerge(bool Value) {
  if (autoMerge_ == Value) return;
  autoMerge_ = Value;
  MenuChanged(this, nullptr, false);
}

void TMainMenu::Merge(TMainMenu* Menu) {
  TMenuItem* root = Items();
  if (root->merged_ != nullptr) root->merged_->mergedWith_ = nullptr;
  if (merged_ != nullptr) merged_->RemoveFreeNotification(this);
  merged_ = Menu;
  root->merged_ = Menu != nullptr ? Menu->Items() : nullptr;
  if (Menu != nullptr) {
    Menu->Items()->mergedWith_ = root;
    Menu->FreeNotification(this);
  }
  RebuildBar();
}

void TMainMenu::Unmerge(TMainMenu* Menu) {
  if (Menu == nullptr || merged_ != Menu) return;
  Merge(nullptr);
}

void TMainMenu::RebuildBar() {
  Items()->RebuildHandle();
  MenuChanged(this, nullptr, true);
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  TMenu::MenuChanged(Sender, Source, Rebuild);
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (WindowHandle() != nullptr) {
    if (TWinControl* control = FindControl(WindowHandle())) {
      if (auto* form = dynamic_cast<TCustomForm*>(control)) {
        if (form->Menu() == this) {
          form->Perform(CM_MENUCHANGED, 0, 0);
        }
      }
    }
  }
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != nullptr && AComponent == static_cast<TComponent*>(merged_)) {
    merged_ = nullptr;
    Items()->merged_ = nullptr;
    if (!ComponentState().Contains(csDestroying)) RebuildBar();
  }
}

// ---- Popup menus --------------------------------------------------------------------------------------------------

namespace k58::forms {

namespace {

LRESULT PopupListProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_COMMAND: {
      std::vector<TPopupMenu*> menus = PopupMenus();
      for (TPopupMenu* menu : menus) {
        if (menu->DispatchCommand(LOWORD(static_cast<DWORD_PTR>(WParam)))) return 0;
      }
      break;
    }
    case WM_INITMENUPOPUP: {
      std::vector<TPopupMenu*> menus = PopupMenus();
      for (TPopupMenu* menu : menus) {
        if (menu->DispatchPopup(reinterpret_cast<HMENU>(WParam))) return 0;
      }
      break;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
      TMessage message;
      message.Msg = Msg;
      message.WParam = WParam;
      message.LParam = LParam;
      std::vector<TPopupMenu*> menus = PopupMenus();
      for (TPopupMenu* menu : menus) {
        bool done = Msg == WM_DRAWITEM ? PopupMenuDrawItem(menu, message) : PopupMenuMeasureItem(menu, message);
        if (done) return message.Result;
      }
      break;
    }
    case WM_MENUSELECT: {
      if (Application == nullptr) break;
      String hint;
      for (TPopupMenu* menu : PopupMenus()) {
        TMenuItem* item = nullptr;
        if ((HIWORD(static_cast<DWORD_PTR>(WParam)) & 0x0010) != 0 && LParam != 0) {
          item = menu->FindItem(static_cast<UINT_PTR>(LParam), fkHandle);
        } else {
          item = menu->FindItem(LOWORD(static_cast<DWORD_PTR>(WParam)), fkCommand);
        }
        if (item != nullptr) {
          hint = GetLongHint(item->Hint());
          break;
        }
      }
      Application->SetHint(hint);
      return 0;
    }
    default:
      break;
  }
  return ::DefWindowProc(Wnd, Msg, WParam, LParam);
}

LRESULT PopupListWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  try {
    return PopupListProc(Wnd, Msg, WParam, LParam);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
    return 0;
  }
}

}  // namespace

HWND PopupListWindow() {
  static HWND window = nullptr;
  if (window != nullptr && ::IsWindow(window)) return window;
  constexpr const char* kClass = "TPopupList";
  WNDCLASS cls{};
  if (!::GetClassInfo(HInstance, kClass, &cls)) {
    cls = WNDCLASS();
    cls.lpfnWndProc = PopupListWndProc;
    cls.hInstance = HInstance;
    cls.lpszClassName = kClass;
    ::RegisterClass(&cls);
  }
  window = ::CreateWindowEx(WS_EX_TOOLWINDOW, kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, HInstance, nullptr);
  return window;
}

}  // namespace k58::forms

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) { PopupMenus().push_back(this); }

TPopupMenu::~TPopupMenu() { std::erase(PopupMenus(), this); }

void TPopupMenu::DoPopup(TObject* Sender) { onPopup_(Sender); }

void TPopupMenu::DoClose() { onClose_(this); }

void TPopupMenu::Popup(Integer X, Integer Y) {
  popupPoint_ = TPoint{X, Y};
  DoPopup(this);
  constexpr UINT Alignments[] = {0x0000 /* left */, 0x0008 /* right */, 0x0004 /* centre */};
  UINT flags = Alignments[alignment_] | (trackButton_ == tbLeftButton ? 0x0000u : 0x0002u);
  HWND owner = PopupListWindow();
  SetWindowHandle(owner);
  NativeTrackPopupMenu(Items()->Handle(), flags, X, Y, owner);
  DoClose();
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

// ---- Items made in code --------------------------------------------------------------------------------------------

TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, THelpContext hCtx, const String& AName) {
  auto* item = new TMenuItem(nullptr);
  item->SetName(AName);
  item->SetCaption(ACaption);
  item->SetShortCut(AShortCut);
  item->SetOnClick(AOnClick);
  item->SetHelpContext(hCtx);
  item->SetChecked(AChecked);
  item->SetEnabled(AEnabled);
  return item;
}

TMenuItem* NewLine() {
  auto* item = new TMenuItem(nullptr);
  item->SetCaption("-");
  return item;
}

TMenuItem* NewSubMenu(const String& ACaption, THelpContext hCtx, const String& AName,
                      const std::vector<TMenuItem*>& Items, bool AEnabled) {
  auto* item = new TMenuItem(nullptr);
  item->SetName(AName);
  item->SetCaption(ACaption);
  item->SetHelpContext(hCtx);
  item->SetEnabled(AEnabled);
  item->Add(Items);
  return item;
}

TMainMenu* NewMenu(TComponent* Owner, const String& AName, const std::vector<TMenuItem*>& Items) {
  auto* menu = new TMainMenu(Owner);
  menu->SetName(AName);
  menu->Items()->Add(Items);
  return menu;
}

TPopupMenu* NewPopupMenu(TComponent* Owner, const String& AName, TPopupAlignment Alignment, bool AutoPopup,
                         const std::vector<TMenuItem*>& Items) {
  auto* menu = new TPopupMenu(Owner);
  menu->SetName(AName);
  menu->SetAlignment(Alignment);
  menu->SetAutoPopup(AutoPopup);
  menu->Items()->Add(Items);
  return menu;
}
