// The page control and its tab sheets.
#include "controls/extra/uiPageControl.h"

#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Format.h"

K58_IMPLEMENT_CLASS(TuiPageControl) {
  using P = TuiPageControl;
  using C = TuiCustomTabControl;
  PublishControl(b, {"Align", "Anchors", "Constraints", "DockSite", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "Font", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Visible",
                     "OnContextPopup", "OnDockDrop", "OnDockOver", "OnDragDrop", "OnDragOver", "OnEndDock",
                     "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize",
                     "OnStartDock", "OnStartDrag", "OnUnDock"});
  b.Prop("ActivePage", &P::ActivePage, &P::SetActivePage);
  b.Prop("Focusable", &P::Focusable, &P::SetFocusable).Default(true);
  b.Prop("HideTabs", &C::HideTabs, &C::SetHideTabs).Default(false);
  b.Prop("HotTrack", &C::HotTrack, &C::SetHotTrack).Default(false);
  b.Prop("ImageBorder", &C::ImageBorder, &C::SetImageBorder).Default(0);
  b.Prop("Images", &C::Images, &C::SetImages);
  b.Prop("LookAndFeel", &C::LookAndFeel, &C::SetLookAndFeel);
  b.Prop("MaxRotatedTabWidth", &C::MaxRotatedTabWidth, &C::SetMaxRotatedTabWidth).Default(0);
  b.Prop("MultiLine", &C::MultiLine, &C::SetMultiLine).Default(false);
  b.Prop("NavigatorPosition", &C::NavigatorPosition, &C::SetNavigatorPosition).Default(npRightTop);
  b.Prop("Options", &C::Options, &C::SetOptions)
      .Default(TuiPCOptions().Include(pcoGradient).Include(pcoGradientClientArea));
  b.Prop("OwnerDraw", &C::OwnerDraw, &C::SetOwnerDraw).Default(false);
  b.Prop("RaggedRight", &C::RaggedRight, &C::SetRaggedRight).Default(false);
  b.Prop("Rotate", &C::Rotate, &C::SetRotate).Default(false);
  b.Prop("ScrollOpposite", &C::ScrollOpposite, &C::SetScrollOpposite).Default(false);
  b.Prop("ShowFrame", &C::ShowFrame, &C::SetShowFrame).Default(false);
  b.Prop("Style", &C::Style, &C::SetStyle).Type("TuiPCStyleID").Default(0);
  b.Prop("TabHeight", &C::TabHeight, &C::SetTabHeight).Default(0);
  b.Prop("TabPosition", &C::TabPosition, &C::SetTabPosition).Default(tpTop);
  b.Prop("TabSlants", &C::TabSlants, &C::SetTabSlants);
  b.Prop("TabWidth", &C::TabWidth, &C::SetTabWidth).Default(0);
  b.Prop("OnCanClose", &C::OnCanClose, &C::SetOnCanClose).Type("TuiPCCanCloseEvent");
  b.Prop("OnChange", &C::OnChange, &C::SetOnChange);
  b.Prop("OnDrawTab", &C::OnDrawTab, &C::SetOnDrawTab);
  b.Prop("OnDrawTabEx", &C::OnDrawTabEx, &C::SetOnDrawTabEx);
  b.Prop("OnGetImageIndex", &C::OnGetImageIndex, &C::SetOnGetImageIndex);
  b.Prop("OnPageChanging", &P::OnPageChanging, &P::SetOnPageChanging);
}

K58_IMPLEMENT_CLASS(TuiTabSheet) {
  using S = TuiTabSheet;
  PublishControl(b, {"BorderWidth", "Caption", "Color", "Constraints", "DragMode", "Enabled", "Font", "ParentColor",
                     "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "OnContextPopup",
                     "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove",
                     "OnMouseUp", "OnResize", "OnStartDrag"});
  // A page takes its place and size from its page control, and shows when it is the active page.
  b.Prop("Left", &TControl::Left, &TControl::SetLeft).Stored(false);
  b.Prop("Top", &TControl::Top, &TControl::SetTop).Stored(false);
  b.Prop("Width", &TControl::Width, &TControl::SetWidth).Stored(false);
  b.Prop("Height", &TControl::Height, &TControl::SetHeight).Stored(false);
  b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Stored(false);
  b.Prop("Highlighted", &S::Highlighted, &S::SetHighlighted).Default(false);
  b.Prop("ImageIndex", &S::ImageIndex, &S::SetImageIndex).Type("TImageIndex").Default(-1);
  b.Prop("PageIndex", &S::PageIndex, &S::SetPageIndex).Stored(false);
  b.Prop("TabVisible", &S::TabVisible, &S::SetTabVisible).Default(true);
  b.Prop("OnHide", &S::OnHide, &S::SetOnHide);
  b.Prop("OnShow", &S::OnShow, &S::SetOnShow);
}

// ---- Page control ----

TuiPageControl::TuiPageControl(TComponent* AOwner) : TuiCustomTabControl(AOwner) {}

TuiPageControl::~TuiPageControl() {
  for (TuiTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

Integer TuiPageControl::IndexOfPage(const TuiTabSheet* Page) const {
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i] == Page) return static_cast<Integer>(i);
  return -1;
}

Integer TuiPageControl::GetActivePageIndex() const { return activePage_ != nullptr ? activePage_->PageIndex() : -1; }

TControl* TuiPageControl::GetPage(Integer ATabIndex) {
  return ATabIndex >= 0 && ATabIndex < PageCount() ? pages_[static_cast<size_t>(ATabIndex)] : nullptr;
}

void TuiPageControl::SetTabIndexQuietly(Integer Value) {
  LockChangeEvents(true);
  try {
    SetTabIndex(Value);
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

void TuiPageControl::SetFocusable(bool Value) { focusable_ = Value; }

bool TuiPageControl::CanFocus() { return focusable_ && TuiCustomTabControl::CanFocus(); }

bool TuiPageControl::TakesFocusOnClick() {
  if (!focusable_ || !TuiCustomTabControl::TakesFocusOnClick()) return false;
  const TPoint p = ScreenToClient(Mouse->CursorPos());
  const Integer tab = GetTabAt(p.x, p.y);
  return tab != -1 && tab == Tabs()->ActiveTab();
}

void TuiPageControl::CloseActiveTab() {
  if (activePage_ != nullptr) FreeObject(activePage_);
}

void TuiPageControl::ImagesChanged() {
  if (!insertingPage_)
    for (TuiTabSheet* page : pages_)
      if (page->tab_ != nullptr) page->tab_->SetImageIndex(page->imageIndex_);
  LayoutChanged();
}

bool TuiPageControl::PageChanging(TuiTabSheet* NewPage) {
  bool allow = true;
  if (!IsChangeEventsLocked() && onPageChanging_.Assigned()) onPageChanging_(this, NewPage, allow);
  return allow;
}

bool TuiPageControl::CanChange(Integer NewTabIndex) {
  if (!TuiCustomTabControl::CanChange(NewTabIndex)) return false;
  if (NewTabIndex == -1) return true;
  return PageChanging(static_cast<TuiTabSheet*>(GetPage(NewTabIndex)));
}

void TuiPageControl::Change() {
  if (TabIndex() != -1) {
    // The page follows the tab without events of its own: OnChange fires once, below.
    LockChangeEvents(true);
    try {
      SetActivePage(static_cast<TuiTabSheet*>(GetPage(TabIndex())));
    } catch (...) {
      LockChangeEvents(false);
      throw;
    }
    LockChangeEvents(false);
  }
  TuiCustomTabControl::Change();
}

void TuiPageControl::LayoutChanged() {
  TuiCustomTabControl::LayoutChanged();
  if (activePage_ != nullptr && activePage_->HandleAllocated()) activePage_->Invalidate();
}

void TuiPageControl::ShowTabIndexPage() {
  SetActivePage(TabIndex() == -1 ? nullptr : static_cast<TuiTabSheet*>(GetPage(TabIndex())));
}

void TuiPageControl::SetActivePage(TuiTabSheet* Value) {
  if (Value != nullptr && Value->pageControl_ != this) return;
  ChangeActivePage(Value);
  if (activePage_ != Value) return;
  SetTabIndexQuietly(Value != nullptr && Value->tabVisible_ ? Value->PageIndex() : -1);
}

void TuiPageControl::ChangeActivePage(TuiTabSheet* Page) {
  if (Page == activePage_ || !PageChanging(Page)) return;
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && activePage_ != nullptr && form->ActiveControl() != nullptr &&
      activePage_->ContainsControl(form->ActiveControl())) {
    form->SetActiveControl(activePage_);
    if (form->ActiveControl() != activePage_) {
      // The focus cannot leave the page: its tab is made current again.
      SetTabIndexQuietly(activePage_->tabVisible_ ? activePage_->PageIndex() : -1);
      return;
    }
  }
  if (Page != nullptr) {
    Page->BringToFront();
    Page->SetVisible(true);
    if (form != nullptr && activePage_ != nullptr && form->ActiveControl() == activePage_) {
      if (Page->CanFocus())
        form->SetActiveControl(Page);
      else
        form->SetActiveControl(this);
    }
  }
  TuiTabSheet* old = activePage_;
  if (old != nullptr && old != Page) old->SetVisible(false);
  activePage_ = Page;
  TuiCustomTabControl::Change();
  if (form != nullptr && activePage_ != nullptr && form->ActiveControl() == activePage_) {
    // The first control of the page in tab order (the form-wide search would leave the page).
    TWinControl* first = activePage_->FindNextControl(nullptr, true, true, false);
    if (first == nullptr) first = activePage_->FindNextControl(nullptr, true, false, false);
    if (first != nullptr) first->SetFocus();
  }
  if (IsDesigning()) NotifyDesignerModified();
}

TuiTabSheet* TuiPageControl::FindNextPage(TuiTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
  if (pages_.empty()) return nullptr;
  const Integer count = PageCount();
  const Integer start = IndexOfPage(CurPage);
  if (start == -1) return GoForward ? pages_.front() : pages_.back();
  Integer i = start;
  do {
    i = (i + (GoForward ? 1 : count - 1)) % count;
    TuiTabSheet* page = pages_[static_cast<size_t>(i)];
    if (!CheckTabVisible || (page->tabVisible_ && page->Enabled())) return page;
  } while (i != start);
  return CurPage;
}

void TuiPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TuiTabSheet* page = FindNextPage(activePage_, GoForward, CheckTabVisible);
  if (page != nullptr && page != activePage_) SetActivePage(page);
}

void TuiPageControl::InsertPage(TuiTabSheet* Page) {
  HandleNeeded();
  insertingPage_ = true;
  try {
    pages_.push_back(Page);
    Page->pageControl_ = this;
    if (Page->Parent() != this) Page->TWinControl::SetParent(this);
    Tabs()->Add(Page->Caption());
    Page->tab_ = Tabs()->GetTab(Tabs()->Count() - 1);
  } catch (...) {
    insertingPage_ = false;
    throw;
  }
  insertingPage_ = false;
  SyncTab(Page);
}

void TuiPageControl::RemovePage(TuiTabSheet* Page) {
  const Integer index = IndexOfPage(Page);
  if (index == -1) return;
  TuiTabSheet* next = FindNextPage(Page, true, !IsDesigning());
  if (next == Page) next = nullptr;
  pages_.erase(pages_.begin() + index);
  Page->tab_ = nullptr;
  if (!ComponentState().Contains(csDestroying)) {
    Tabs()->Delete(index);
    SetTabIndexQuietly(-1);
  }
  Page->pageControl_ = nullptr;
  if (activePage_ == Page) {
    activePage_ = nullptr;
    Page->SetVisible(false);
  }
  if (!ComponentState().Contains(csDestroying)) SetActivePage(next);
}

void TuiPageControl::SyncTab(TuiTabSheet* Page) {
  if (TabsLoading() || Page->tab_ == nullptr) return;
  TuiTab* tab = Page->tab_;
  tab->SetCaption(Page->Caption());
  tab->SetEnabled(Page->Enabled());
  tab->SetImageIndex(Page->imageIndex_);
  tab->SetHighlighted(Page->highlighted_);
  // The active page keeps showing when its tab is hidden; no other tab becomes current for it.
  if (Page == activePage_ && !Page->tabVisible_) SetTabIndexQuietly(-1);
  tab->SetVisible(Page->tabVisible_);
  if (Page == activePage_ && Page->tabVisible_) SetTabIndexQuietly(Page->PageIndex());
}

void TuiPageControl::Loaded() {
  TuiCustomTabControl::Loaded();
  for (TuiTabSheet* page : pages_) SyncTab(page);
  if (!IsDesigning() && activePage_ != nullptr && !activePage_->Enabled()) SetActivePage(nullptr);
}

void TuiPageControl::GetChildren(TGetChildProc Proc, TComponent* /*Root*/) {
  for (TuiTabSheet* page : pages_) Proc(page);
}

void TuiPageControl::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* page = dynamic_cast<TuiTabSheet*>(Child)) page->SetPageIndex(Order);
}

void TuiPageControl::ShowControl(TControl* AControl) {
  for (TControl* c = AControl; c != nullptr && c != this; c = c->Parent()) {
    auto* page = dynamic_cast<TuiTabSheet*>(c);
    if (page != nullptr && page->PageControl() == this) {
      SetActivePage(page);
      break;
    }
  }
  // A page control that itself lies on a page of another one.
  for (TWinControl* p = Parent(); p != nullptr; p = p->Parent())
    if (auto* outer = dynamic_cast<TuiPageControl*>(p)) {
      outer->ShowControl(this);
      break;
    }
}

void TuiPageControl::AlignControls(TControl* AControl, TRect& Rect) {
  TuiCustomTabControl::AlignControls(AControl, Rect);
  TuiTabSheet* page = activePage_;
  if (page == nullptr || !page->HandleAllocated() || page->BorderWidth() <= 0 || !Painter()->IsNativePainting())
    return;
  RECT bounds;
  GetWindowRect(page->Handle(), &bounds);
  HRGN area = CreateRectRgnIndirect(&bounds);
  SendMessage(page->Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(area), 0);
  DeleteObject(area);
}

void TuiPageControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CONTROLCHANGE: {
      auto& change = static_cast<TCMControlChange&>(Message);
      ControlChange(change.Inserting(), change.Control());
      break;
    }
    case CM_DOCKNOTIFICATION:
      DockNotification(reinterpret_cast<TControl*>(Message.WParam),
                       *reinterpret_cast<const TDockNotifyRec*>(Message.LParam));
      return;
    default:
      break;
  }
  TuiCustomTabControl::Dispatch(Message);
  // A press on the tab of a docked control drags the control; a double click floats it.
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
    const TPoint p = LParamToPoint(Message.LParam);
    if (TControl* client = DockClientAt(p.x, p.y)) {
      if (Message.Msg == WM_LBUTTONDOWN)
        client->BeginDrag(false);
      else
        client->ManualDock(nullptr);
    }
  }
}

// ---- Docking ----

TuiTabSheet* TuiPageControl::DockPageOf(TControl* Client) const {
  if (Client == nullptr || Client->HostDockSite() != this) return nullptr;
  auto* page = dynamic_cast<TuiTabSheet*>(Client->Parent());
  return page != nullptr && IndexOfPage(page) != -1 ? page : nullptr;
}

TControl* TuiPageControl::DockClientAt(Integer X, Integer Y) {
  if (!DockSite()) return nullptr;
  const Integer index = GetTabAt(X, Y);
  if (index < 0 || index >= PageCount()) return nullptr;
  TuiTabSheet* page = Pages(index);
  if (page->ControlCount() == 0) return nullptr;
  TControl* client = page->Controls(0);
  return client->HostDockSite() == this ? client : nullptr;
}

void TuiPageControl::DockClient(TDragDockObject* DockObject) {
  TControl* client = DockObject != nullptr ? DockObject->Control() : nullptr;
  if (client == nullptr) return;
  if (TuiTabSheet* page = DockPageOf(client)) {
    page->SetPageIndex(PageCount() - 1);
    return;
  }
  client->ManualDock(this);
}

void TuiPageControl::DoAddDockClient(TControl* Client, const TRect& /*ARect*/) {
  // The control goes into a page of its own, made for it here.
  auto* page = NewObject<TuiTabSheet>(this);
  try {
    if (auto* form = dynamic_cast<TCustomForm*>(Client)) page->SetCaption(form->Caption());
    page->SetPageControl(this);
    Client->SetParent(page);
  } catch (...) {
    FreeObject(page);
    throw;
  }
  page->SetTabVisible(Client->Visible());
  if (Client->Visible()) SetActivePage(page);
  Client->SetAlign(alClient);
}

void TuiPageControl::CMDockClient(TMessage& Message) {
  DockClient(reinterpret_cast<TDragDockObject*>(Message.WParam));
  Message.Result = 1;
}

void TuiPageControl::DockOver(TDragDockObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  RECT r{};
  if (HandleAllocated()) ::GetWindowRect(Handle(), &r);
  Source->SetDockRect(r);
  TuiCustomTabControl::DockOver(Source, X, Y, State, Accept);
}

void TuiPageControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) {
  TuiCustomTabControl::GetSiteInfo(Client, InfluenceRect, MousePos, CanDock);
  CanDock = Client == nullptr || Client->HostDockSite() != this;
}

void TuiPageControl::CMUnDockClient(TMessage& Message) {
  UndockClient(reinterpret_cast<TWinControl*>(Message.WParam), reinterpret_cast<TControl*>(Message.LParam));
  Message.Result = 1;
}

void TuiPageControl::UndockClient(TWinControl* /*NewTarget*/, TControl* Client) {
  if (Client == nullptr) return;
  undockingPage_ = DockPageOf(Client);
  Client->SetAlign(alNone);
}

void TuiPageControl::DoRemoveDockClient(TControl* /*Client*/) {
  if (undockingPage_ == nullptr || ComponentState().Contains(csDestroying)) return;
  TuiTabSheet* page = undockingPage_;
  undockingPage_ = nullptr;
  SelectNextPage(true);
  FreeObject(page);
}

void TuiPageControl::DockNotification(TControl* Client, const TDockNotifyRec& Notify) {
  TuiTabSheet* page = DockPageOf(Client);
  if (page == nullptr) return;
  if (Notify.ClientMsg == WM_SETTEXT) {
    const String text = Notify.MsgLParam != 0 ? String(reinterpret_cast<const char*>(Notify.MsgLParam)) : String();
    page->SetCaption(text.substr(0, text.find_first_of("\r\n")));
  } else if (Notify.ClientMsg == CM_VISIBLECHANGED) {
    page->SetTabVisible(Notify.MsgWParam != 0);
  }
}

void TuiPageControl::ControlChange(bool Inserting, TControl* Control) {
  if (!Inserting || !IsDesigning() || TabsLoading() || Control == nullptr || Parent() == nullptr) return;
  if (dynamic_cast<TuiTabSheet*>(Control) != nullptr) return;
  const TRect bounds = Control->BoundsRect();
  Control->SetParent(Parent());
  Control->SetBounds(bounds.left + Left(), bounds.top + Top(), bounds.right - bounds.left,
                     bounds.bottom - bounds.top);
}

// ---- Tab sheet ----

TuiTabSheet::TuiTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  SetAlign(alClient);
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls).Include(csNoDesignVisible);
  SetControlStyle(style);
  SetVisible(false);
  SetTabStop(false);
  SetColor(clWindow);
  SetParentColor(true);
}

TuiTabSheet::~TuiTabSheet() {
  if (pageControl_ == nullptr) return;
  if (pageControl_->undockingPage_ == this) pageControl_->undockingPage_ = nullptr;
  pageControl_->RemovePage(this);
}

Integer TuiTabSheet::PageIndex() const { return pageControl_ != nullptr ? pageControl_->IndexOfPage(this) : -1; }

void TuiTabSheet::SetPageIndex(Integer Value) {
  if (pageControl_ == nullptr) return;
  const Integer count = pageControl_->PageCount();
  // A negative index is refused like one past the end: it would address no page.
  if (Value < 0 || Value > count - 1)
    throw EListError(Format("%d is an invalid PageIndex value.  PageIndex must be between 0 and %d", {Value, count - 1}));
  const Integer old = PageIndex();
  if (old == Value) return;
  auto& pages = pageControl_->pages_;
  pages.erase(pages.begin() + old);
  pages.insert(pages.begin() + Value, this);
  pageControl_->Tabs()->Move(old, Value);
  // The current tab index follows the active page to its new place before the moved page is chosen.
  TuiTabSheet* active = pageControl_->activePage_;
  if (active != nullptr && active->tabVisible_) pageControl_->SetTabIndexQuietly(active->PageIndex());
  Sync();
  pageControl_->SetTabIndex(Value);
}

void TuiTabSheet::Sync() {
  if (pageControl_ != nullptr) pageControl_->SyncTab(this);
}

void TuiTabSheet::SetTabVisible(bool Value) {
  if (tabVisible_ == Value) return;
  tabVisible_ = Value;
  Sync();
}

void TuiTabSheet::SetHighlighted(bool Value) {
  if (highlighted_ == Value) return;
  highlighted_ = Value;
  Sync();
}

void TuiTabSheet::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Sync();
}

void TuiTabSheet::MoveToPageControl(TuiPageControl* APageControl) {
  if (pageControl_ == APageControl) return;
  if (pageControl_ != nullptr) pageControl_->RemovePage(this);
  if (APageControl == nullptr) {
    TWinControl::SetParent(nullptr);
    return;
  }
  APageControl->InsertPage(this);
  if (!APageControl->TabsLoading() && APageControl->ActivePage() == nullptr) APageControl->SetActivePage(this);
}

void TuiTabSheet::SetPageControl(TuiPageControl* APageControl) { MoveToPageControl(APageControl); }

void TuiTabSheet::SetParent(TWinControl* AParent) {
  if (AParent != nullptr && dynamic_cast<TuiPageControl*>(AParent) == nullptr) return;
  if (ComponentState().Contains(csLoading)) {
    TWinControl::SetParent(AParent);
    return;
  }
  MoveToPageControl(static_cast<TuiPageControl*>(AParent));
}

void TuiTabSheet::ReadState(TReader* Reader) {
  TCustomControl::ReadState(Reader);
  if (auto* pageControl = dynamic_cast<TuiPageControl*>(Parent())) MoveToPageControl(pageControl);
}

void TuiTabSheet::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TuiTabSheet::Paint() {}

namespace {

// The themed page pane (the page control's frame grown by 2) drawn on a DC of a page whose origin lies
// at AOrigin in page control coordinates, so that the pane lines up with what the page control drew.
void DrawPageControlPane(TuiPageControl* APageControl, HDC ADC, POINT AOrigin) {
  TRect frame;
  APageControl->Painter()->CalculateFrameRect(frame);
  InflateRect(&frame, 2, 2);
  OffsetRect(&frame, -AOrigin.x, -AOrigin.y);
  DrawThemeBackground(OpenThemeObject(totTab), ADC, 9, 0, frame);
}

}  // namespace

void TuiTabSheet::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  HDC dc = Message.DC();
  if (pageControl_ == nullptr || dc == nullptr) {
    TCustomControl::WMEraseBkgnd(Message);
    return;
  }
  TuiPCCustomPainter* painter = pageControl_->Painter();
  if (painter->IsNativePainting()) {
    // The client area starts inside the border.
    DrawPageControlPane(pageControl_, dc, POINT{Left() + BorderWidth(), Top() + BorderWidth()});
  } else {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(painter->GetClientColor()));
    RECT r{0, 0, Width(), Height()};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  Message.Result = 1;
}

void TuiTabSheet::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCPAINT)
    WMNCPaint(Message);
  else
    TCustomControl::Dispatch(Message);
}

void TuiTabSheet::WMNCPaint(TMessage& Message) {
  if (pageControl_ == nullptr || BorderWidth() <= 0 || !pageControl_->Painter()->IsNativePainting()) {
    TCustomControl::Dispatch(Message);
    return;
  }
  // WParam is the area to repaint in screen coordinates, or 1 for the whole frame.
  HRGN area = reinterpret_cast<HRGN>(Message.WParam);
  bool clipped = area != nullptr && area != reinterpret_cast<HRGN>(1);
  HDC dc = GetDCEx(Handle(), clipped ? area : nullptr, DCX_WINDOW | (clipped ? DCX_INTERSECTRGN : 0));
  if (dc == nullptr) return;
  Integer bw = BorderWidth();
  ExcludeClipRect(dc, bw, bw, Width() - bw, Height() - bw);
  DrawPageControlPane(pageControl_, dc, POINT{Left(), Top()});
  ReleaseDC(Handle(), dc);
  Message.Result = 0;
}

void TuiTabSheet::WMWindowPosChanged(TWMWindowPosMsg& Message) {
  TCustomControl::WMWindowPosChanged(Message);
  // The themed pane is drawn relative to the page control: a moved page must draw it anew.
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TuiTabSheet::RepaintBorder() {
  if (HandleAllocated() && BorderWidth() > 0) SendMessage(Handle(), WM_NCPAINT, 1, 0);
}

void TuiTabSheet::DoShow() {
  if (onShow_.Assigned()) onShow_(this);
}

void TuiTabSheet::DoHide() {
  if (onHide_.Assigned()) onHide_(this);
}

void TuiTabSheet::CMShowingChanged(TMessage& Message) {
  TCustomControl::CMShowingChanged(Message);
  try {
    if (Showing())
      DoShow();
    else
      DoHide();
  } catch (...) {
    Application->HandleException(this);
  }
}

void TuiTabSheet::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Sync();
}

void TuiTabSheet::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Sync();
}

void TuiTabSheet::CMColorChanged(TMessage& Message) {
  TCustomControl::CMColorChanged(Message);
  if (pageControl_ != nullptr && tab_ != nullptr) tab_->Changed(tcLayout);
  RepaintBorder();
}
