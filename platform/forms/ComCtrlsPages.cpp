// Page controls over the "SysTabControl32" class and their tab sheets.
#include <algorithm>

#include "platform/classes/ClassErrors.h"
#include "platform/classes/Filer.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"

// ---- Tab sheets -----------------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetAlign(alClient);
  SetVisible(false);
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (pageControl_ == Value) return;
  if (pageControl_ != nullptr) pageControl_->RemovePage(this);
  SetParent(Value);
  if (Value != nullptr && pageControl_ != Value) Value->InsertPage(this);
}

void TTabSheet::SetParent(TWinControl* AParent) {
  // A sheet's parent is its page control.
  if (pageControl_ != nullptr && AParent != pageControl_) {
    TPageControl* old = pageControl_;
    old->RemovePage(this);
  }
  TWinControl::SetParent(AParent);
  if (auto* pages = dynamic_cast<TPageControl*>(AParent); pages != nullptr && pageControl_ != pages) {
    pages->InsertPage(this);
  }
}

void TTabSheet::ReadState(TReader* Reader) {
  TWinControl::ReadState(Reader);
  if (auto* pages = dynamic_cast<TPageControl*>(Reader->Parent())) SetPageControl(pages);
}

Integer TTabSheet::PageIndex() const {
  if (pageControl_ == nullptr) return -1;
  auto& pages = pageControl_->pages_;
  auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : static_cast<Integer>(it - pages.begin());
}

void TTabSheet::SetPageIndex(Integer Value) {
  if (pageControl_ == nullptr) return;
  auto& pages = pageControl_->pages_;
  Integer count = static_cast<Integer>(pages.size());
  if (Value < 0 || Value >= count) {
    throw EListError(Format(comctrlsconsts::SPageIndexError, {Value, count - 1}));
  }
  pages.erase(pages.begin() + PageIndex());
  pages.insert(pages.begin() + Value, this);
  pageControl_->UpdateTabs();
}

Integer TTabSheet::TabIndex() const {
  if (pageControl_ == nullptr || !tabVisible_) return -1;
  Integer index = 0;
  for (TTabSheet* page : pageControl_->pages_) {
    if (page == this) return index;
    if (page->tabVisible_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
  if (tabVisible_ == Value) return;
  tabVisible_ = Value;
  if (pageControl_ != nullptr) pageControl_->UpdateTabs();
}

void TTabSheet::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  if (pageControl_ != nullptr) pageControl_->UpdateTabs();
}

void TTabSheet::CMTextChanged(TMessage& Message) {
  TWinControl::CMTextChanged(Message);
  if (pageControl_ != nullptr) pageControl_->UpdateTabs();
}

void TTabSheet::CMShowingChanged(TMessage& Message) {
  TWinControl::CMShowingChanged(Message);
  if (Showing()) {
    onShow_(this);
  } else {
    onHide_(this);
  }
}

// ---- Page controls --------------------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(TControlStyle{csDoubleClicks, csOpaque});
  SetBounds(Left(), Top(), 289, 193);
  SetTabStop(true);
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

void TPageControl::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROL);
  Params.Style |= WS_CLIPCHILDREN;
  if (multiLine_) Params.Style |= TCS_MULTILINE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TPageControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateTabs();
}

void TPageControl::Loaded() {
  TWinControl::Loaded();
  if (activePage_ == nullptr) {
    for (TTabSheet* page : pages_) {
      if (page->tabVisible_) {
        SetActivePage(page);
        break;
      }
    }
  }
  ShowActive();
}

void TPageControl::InsertPage(TTabSheet* Page) {
  if (std::find(pages_.begin(), pages_.end(), Page) == pages_.end()) pages_.push_back(Page);
  Page->pageControl_ = this;
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto it = std::find(pages_.begin(), pages_.end(), Page);
  if (it == pages_.end()) return;
  TTabSheet* next = activePage_ == Page ? FindNextPage(Page, true, true) : activePage_;
  if (next == Page) next = nullptr;
  pages_.erase(it);
  Page->pageControl_ = nullptr;
  if (activePage_ == Page) {
    activePage_ = nullptr;
    if (!ComponentState().Contains(csDestroying)) SetActivePage(next);
  }
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  if (!HandleAllocated() || updatingTabs_) return;
  updatingTabs_ = true;
  ::SendMessage(Handle(), TCM_DELETEALLITEMS, 0, 0);
  Integer index = 0;
  for (TTabSheet* page : pages_) {
    if (!page->tabVisible_) continue;
    String caption = page->Caption();
    TCITEMA item;
    item.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
    item.pszText = caption.data();
    item.iImage = images_ != nullptr ? page->imageIndex_ : -1;
    item.lParam = reinterpret_cast<LPARAM>(page);
    ::SendMessage(Handle(), TCM_INSERTITEM, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
  }
  ::SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(TabIndex()), 0);
  updatingTabs_ = false;
  Realign();
}

void TPageControl::AdjustClientRect(TRect& Rect) {
  TWinControl::AdjustClientRect(Rect);
  if (HandleAllocated()) {
    RECT r = Rect;
    ::SendMessage(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    Rect = r;
  }
}

void TPageControl::ShowActive() {
  for (TTabSheet* page : pages_) {
    if (page != activePage_) page->SetVisible(false);
  }
  if (activePage_ != nullptr) {
    activePage_->SetVisible(true);
    activePage_->BringToFront();
  }
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  if (Value != nullptr && Value->pageControl_ != this) return;
  if (activePage_ == Value) return;
  // The focus leaves a page that is hidden.
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && activePage_ != nullptr && activePage_->ContainsControl(form->ActiveControl())) {
    form->SetActiveControl(this);
  }
  activePage_ = Value;
  if (HandleAllocated()) ::SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(TabIndex()), 0);
  ShowActive();
}

Integer TPageControl::ActivePageIndex() const { return activePage_ != nullptr ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(Integer Value) {
  if (Value >= 0 && Value < PageCount()) {
    SetActivePage(pages_[static_cast<size_t>(Value)]);
  } else {
    SetActivePage(nullptr);
  }
}

Integer TPageControl::TabIndex() const { return activePage_ != nullptr ? activePage_->TabIndex() : -1; }

void TPageControl::SetTabIndex(Integer Value) {
  for (TTabSheet* page : pages_) {
    if (page->TabIndex() == Value && Value >= 0) {
      SetActivePage(page);
      return;
    }
  }
}

void TPageControl::SetImages(TCustomImageList* Value) {
  images_ = Value;
  UpdateTabs();
}

void TPageControl::SetMultiLine(bool Value) {
  if (multiLine_ == Value) return;
  multiLine_ = Value;
  RecreateWnd();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
  if (pages_.empty()) return nullptr;
  Integer count = PageCount();
  Integer start = CurPage != nullptr ? CurPage->PageIndex() : -1;
  if (start < 0) start = GoForward ? count - 1 : 0;
  Integer i = start;
  for (Integer n = 0; n < count; ++n) {
    i = GoForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* page = pages_[static_cast<size_t>(i)];
    if (!CheckTabVisible || page->tabVisible_) return page;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
  TTabSheet* page = FindNextPage(activePage_, GoForward, true);
  if (page == nullptr || page == activePage_ || !CanChange()) return;
  SetActivePage(page);
  Change();
}

bool TPageControl::CanChange() {
  bool allow = true;
  onChanging_(this, allow);
  return allow;
}

void TPageControl::Change() { onChange_(this); }

void TPageControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    CNNotify(static_cast<TWMNotify&>(Message));
    return;
  }
  TWinControl::Dispatch(Message);
}

void TPageControl::CNNotify(TWMNotify& Message) {
  Message.Result = 0;
  if (updatingTabs_) return;
  switch (Message.NMHdr()->code) {
    case TCN_SELCHANGING: Message.Result = CanChange() ? 0 : 1; break;
    case TCN_SELCHANGE: {
      Integer tab = static_cast<Integer>(::SendMessage(Handle(), TCM_GETCURSEL, 0, 0));
      for (TTabSheet* page : pages_) {
        if (page->TabIndex() == tab) {
          SetActivePage(page);
          break;
        }
      }
      Change();
      break;
    }
    default: break;
  }
}

void TPageControl::CMDialogKey(TCMDialogKey& Message) {
  // Ctrl+Tab and Ctrl+Shift+Tab step through the pages of the control holding the focus.
  TCustomForm* form = GetParentForm(this);
  if (Message.CharCode() == VK_TAB && (::GetKeyState(VK_CONTROL) & 0x8000) != 0 && form != nullptr &&
      ContainsControl(form->ActiveControl())) {
    SelectNextPage((::GetKeyState(VK_SHIFT) & 0x8000) == 0);
    Message.Result = 1;
    return;
  }
  TWinControl::CMDialogKey(Message);
}
