// Multiple-document forms: the MDI client of a frame form, its children, and arranging them.
#include <algorithm>

#include "platform/forms/ControlsInternal.h"
#include "platform/forms/FormsInternal.h"
#include "platform/forms/Menus.h"

using namespace k58::forms;

namespace {
// WM_MDITILE kinds.
constexpr WPARAM kTileVertical = 0;
constexpr WPARAM kTileHorizontal = 1;
}  // namespace

void TCustomForm::CreateMDIClient() {
  if (clientHandle_ != nullptr) return;
  TRect r = TScrollingWinControl::GetClientRect();
  HMENU windowMenu = windowMenu_ != nullptr ? windowMenu_->Handle() : nullptr;
  clientHandle_ = CreateMDIClientWindow(Handle(), r, windowMenu);
}

void TCustomForm::DestroyMDIClient() {
  if (clientHandle_ == nullptr) return;
  HWND client = clientHandle_;
  clientHandle_ = nullptr;
  if (::IsWindow(client)) ::DestroyWindow(client);
}

void TCustomForm::RefreshMDIMenu() {
  if (clientHandle_ == nullptr) return;
  HMENU bar = menu_ != nullptr ? menu_->Handle() : nullptr;
  HMENU windowMenu = windowMenu_ != nullptr ? windowMenu_->Handle() : nullptr;
  SetMDIMenu(clientHandle_, bar, windowMenu);
  RedrawMenuBar(Handle());
}

Integer TCustomForm::MDIChildCount() {
  if (formStyle_ != fsMDIForm || Screen == nullptr) return 0;
  Integer count = 0;
  for (Integer i = 0; i < Screen->FormCount(); ++i) {
    if (Screen->Forms(i)->FormStyle() == fsMDIChild) ++count;
  }
  return count;
}

TCustomForm* TCustomForm::MDIChildren(Integer I) {
  if (formStyle_ != fsMDIForm || Screen == nullptr) return nullptr;
  for (Integer i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (form->FormStyle() == fsMDIChild && I-- == 0) return form;
  }
  return nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() {
  if (formStyle_ != fsMDIForm || clientHandle_ == nullptr) return nullptr;
  auto child = reinterpret_cast<HWND>(::SendMessage(clientHandle_, WM_MDIGETACTIVE, 0, 0));
  return dynamic_cast<TCustomForm*>(FindControl(child));
}

void TCustomForm::Cascade() {
  if (formStyle_ == fsMDIForm && clientHandle_ != nullptr) ::SendMessage(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
  if (formStyle_ == fsMDIForm && clientHandle_ != nullptr) {
    ::SendMessage(clientHandle_, WM_MDITILE, tileMode_ == tbHorizontal ? kTileHorizontal : kTileVertical, 0);
  }
}

void TCustomForm::ArrangeIcons() {
  if (formStyle_ == fsMDIForm && clientHandle_ != nullptr) ::SendMessage(clientHandle_, WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next() {
  if (formStyle_ == fsMDIForm && clientHandle_ != nullptr) ::SendMessage(clientHandle_, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
  if (formStyle_ == fsMDIForm && clientHandle_ != nullptr) ::SendMessage(clientHandle_, WM_MDINEXT, 0, 1);
}

// An MDI child becoming active merges its menu into the frame's.
void TCustomForm::WMMDIActivate(TMessage& Message) {
  DefaultHandler(Message);
  if (formStyle_ != fsMDIChild) return;
  bool active = reinterpret_cast<HWND>(Message.LParam) == (HandleAllocated() ? Handle() : nullptr);
  SetActive(active);
  if (active) MergeMenu(true);
}
