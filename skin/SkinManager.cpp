// TSkinMenuManager: the one manager per process that applies the active painter to the application's
// other forms, hands subclassed controls over when painters go, and paints popup menu borders.
#include "skin/SkinMenu.h"

#include <algorithm>

#include "platform/win/Windows.h"
#include "platform/classes/ClassBuilder.h"
#include "skin/SkinInternal.h"

namespace {

TSkinMenuManager* theManager = nullptr;

template <class T>
bool Contains(const std::vector<T*>& List, const T* Item) {
  return std::find(List.begin(), List.end(), Item) != List.end();
}

template <class T>
void Erase(std::vector<T*>& List, const T* Item) {
  List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}

bool OwnsSkinMenu(TComponent* Form) {
  for (Integer i = 0; i < Form->ComponentCount(); ++i) {
    if (dynamic_cast<TSkinMenu*>(Form->Components(i)) != nullptr) return true;
  }
  return false;
}

// The popup window that shows the item at Index of Menu (its rectangle's centre), or nil.
HWND PopupWindowOfItem(HMENU Menu, UINT Index) {
  if (Menu == nullptr || !IsMenu(Menu)) return nullptr;
  RECT r{};
  if (!GetMenuItemRect(nullptr, Menu, Index, &r)) return nullptr;
  return WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

}  // namespace

K58_IMPLEMENT_CLASS(TSkinMenuManager) {}

TSkinMenuManager::TSkinMenuManager() {
  theManager = this;
  if (Application != nullptr) Application->HookMainWindow(TWindowHook(this, &TSkinMenuManager::MainWindowHook));
}

TSkinMenuManager::~TSkinMenuManager() {
  if (Application != nullptr) Application->UnhookMainWindow(TWindowHook(this, &TSkinMenuManager::MainWindowHook));
  if (theManager == this) theManager = nullptr;
}

TSkinMenuManager* TSkinMenuManager::Instance() { return theManager; }

void TSkinMenuManager::AddSkinMenu(TSkinMenu* SkinMenu) {
  if (!Contains(skinMenus_, SkinMenu)) skinMenus_.push_back(SkinMenu);
  if (SkinMenu->Form() != nullptr && !Contains<TCustomForm>(doneForms_, SkinMenu->Form())) {
    doneForms_.push_back(SkinMenu->Form());
  }
  if (activeSkinMenu_ == nullptr && SkinMenu->Active() && !SkinMenu->DisableSubclassing()) {
    activeSkinMenu_ = SkinMenu;
    CollectForms();
  }
}

void TSkinMenuManager::RemoveSkinMenu(TSkinMenu* SkinMenu) {
  if (activeSkinMenu_ == SkinMenu) SwitchActive(SkinMenu);
  // A painter that goes while still chosen (no main form yet to restore against) is not kept.
  if (activeSkinMenu_ == SkinMenu) activeSkinMenu_ = nullptr;
  Erase(skinMenus_, SkinMenu);
}

void TSkinMenuManager::FormNotification(TComponent* Component, TOperation Operation) {
  if (Component == nullptr) return;
  // A component that goes leaves both lists whether or not a painter is active, so no list keeps a freed
  // form. (While it is destroyed it is no longer seen as a form: compare by address.)
  if (Operation == opRemove) {
    Erase<TComponent>(pendingForms_, Component);
    doneForms_.erase(std::remove_if(doneForms_.begin(), doneForms_.end(),
                                    [&](TCustomForm* f) { return static_cast<TComponent*>(f) == Component; }),
                     doneForms_.end());
    return;
  }
  if (Operation != opInsert || activeSkinMenu_ == nullptr) return;
  // New forms are owned by the application; at this point they are still being built.
  bool form = dynamic_cast<TCustomForm*>(Component) != nullptr ||
              (Application != nullptr && Component->Owner() == Application);
  if (form && !Contains<TComponent>(pendingForms_, Component)) pendingForms_.push_back(Component);
}

void TSkinMenuManager::CollectForms() {
  if (Screen == nullptr) return;
  for (Integer i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (Contains<TCustomForm>(doneForms_, form) || form->Tag() == SkinSkipTag || OwnsSkinMenu(form)) continue;
    if (!Contains<TComponent>(pendingForms_, form)) pendingForms_.push_back(form);
  }
}

TSkinMenu* TSkinMenuManager::FindOtherActive(TSkinMenu* Except) const {
  for (TSkinMenu* s : skinMenus_) {
    if (s != Except && s->Active() && !s->DisableSubclassing()) return s;
  }
  return nullptr;
}

void TSkinMenuManager::SwitchActive(TSkinMenu* Except) {
  TSkinMenu* other = FindOtherActive(Except);
  if (other != nullptr) {
    if (activeSkinMenu_ == nullptr) {
      activeSkinMenu_ = other;
      CollectForms();
      return;
    }
    if (Except != nullptr) k58::skin::HandOverSubclasses(activeSkinMenu_, other, Except->Form());
    activeSkinMenu_ = other;
    return;
  }
  pendingForms_.clear();
  if (Application == nullptr || Application->MainForm() == nullptr) return;
  TCustomForm* keep = Except != nullptr ? Except->Form() : nullptr;
  for (TCustomForm* form : doneForms_) {
    if (form != keep) RestoreControls(form);
  }
  doneForms_.clear();
  activeSkinMenu_ = nullptr;
}

void TSkinMenuManager::RestoreControls(TWinControl* Container) {
  if (activeSkinMenu_ != nullptr) k58::skin::RestoreSubclasses(activeSkinMenu_, Container);
}

bool TSkinMenuManager::MainWindowHook(TMessage& Message) {
  if (theManager != this) return false;
  if (Message.Msg == WM_SKINBORDERITEM) {
    // The item is named by its menu and position, so an item freed meanwhile finds nothing.
    HWND window = PopupWindowOfItem(reinterpret_cast<HMENU>(Message.WParam), static_cast<UINT>(Message.LParam));
    if (window != nullptr && activeSkinMenu_ != nullptr) {
      k58::skin::DrawPopupBorder(activeSkinMenu_, window, false);
    }
  } else if (Message.Msg == WM_SKINBORDERWINDOW) {
    auto window = reinterpret_cast<HWND>(Message.LParam);
    if (IsWindow(window) && activeSkinMenu_ != nullptr) {
      k58::skin::DrawPopupBorder(activeSkinMenu_, window, Message.WParam != 0);
    }
  }
  // Each form leaves the pending list as it is styled; one that fails is dropped, the rest stay for
  // the next message.
  while (!pendingForms_.empty() && activeSkinMenu_ != nullptr) {
    auto* form = dynamic_cast<TCustomForm*>(pendingForms_.front());
    pendingForms_.erase(pendingForms_.begin());
    if (form == nullptr || Contains<TCustomForm>(doneForms_, form)) continue;
    if (form->Tag() == SkinSkipTag || OwnsSkinMenu(form)) continue;
    doneForms_.push_back(form);
    TSkinMenu* painter = activeSkinMenu_;
    if (!k58::skin::RunIgnoringPainterErrors([&] { painter->InitComponents(form, true, true); })) break;
  }
  return false;
}
