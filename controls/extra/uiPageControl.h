// The page control: a tab control that shows one child page (TuiTabSheet) at a time and keeps one tab
// per page, each page pushing its caption, visibility, image, highlight and enabled state into its tab.
//
// Contract: main thread only. Pages are owned by their owner (the form, as streamed) and parented by the
// page control; a page that is freed removes itself. Pages and tabs stay in step: the page at position i
// of the page list owns tab i. Changing the page fires OnChanging, OnPageChanging, then the switch (the
// new page shown before the old one is hidden), then one OnChange; setting ActivePage in code fires
// OnPageChanging and OnChange. Handlers of OnShow and OnHide must not raise: what they raise goes to the
// application's exception handler.
#pragma once

#include <vector>

#include "controls/extra/uiPC.h"

class TuiTabSheet;
class TuiPageControl;

K58_EVENT_TYPE(TuiPageChangingEvent, void(TObject* Sender, TuiTabSheet* NewPage, bool& AllowChange))

class TuiPageControl : public TuiCustomTabControl {
  K58_CLASS(TuiPageControl, TuiCustomTabControl)

  explicit TuiPageControl(TComponent* AOwner);
  ~TuiPageControl() override;

  TuiTabSheet* ActivePage() const { return activePage_; }
  // A page of another page control is ignored.
  void SetActivePage(TuiTabSheet* Value);
  Integer PageCount() const { return static_cast<Integer>(pages_.size()); }
  TuiTabSheet* Pages(Integer Index) const { return pages_.at(static_cast<size_t>(Index)); }
  Integer GetActivePageIndex() const;
  bool Focusable() const { return focusable_; }
  void SetFocusable(bool Value);
  const TuiPageChangingEvent& OnPageChanging() const { return onPageChanging_; }
  void SetOnPageChanging(const TuiPageChangingEvent& Value) { onPageChanging_ = Value; }

  // nil without pages; a page not in the list gives the first (forward) or last page; otherwise the next
  // one with wrap-around, skipping (CheckTabVisible) pages with a hidden tab or disabled ones.
  TuiTabSheet* FindNextPage(TuiTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
  // Pushes the page's caption, state and image into its tab (not while loading).
  void SyncTab(TuiTabSheet* Page);
  virtual void ShowTabIndexPage();

  // ---- Overrides of the tab control ----
  TControl* GetPage(Integer ATabIndex) override;
  void CloseActiveTab() override;
  void ImagesChanged() override;
  bool KeepsActiveTabVisible() const override { return true; }
  bool PassesPrintClient() override { return false; }
  bool CanChange(Integer NewTabIndex) override;
  void Change() override;
  void LayoutChanged() override;
  bool TakesFocusOnClick() override;
  bool CanFocus() override;
  void Loaded() override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  // Makes the page that is or holds AControl the active page, and so on up through page controls that
  // hold this one, so that AControl ends up on screen.
  void ShowControl(TControl* AControl);

  // ---- Docking: every docked control gets a page of its own ----
  // A control docked here already moves its page to the end; any other is docked into a new page.
  virtual void DockClient(TDragDockObject* DockObject);
  // The client is leaving: its page is freed once it has gone.
  virtual void UndockClient(TWinControl* NewTarget, TControl* Client);
  void DockOver(TDragDockObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) override;
  void DoAddDockClient(TControl* Client, const TRect& ARect) override;
  void DoRemoveDockClient(TControl* Client) override;
  // The page holding a control docked here (nil for any other control).
  TuiTabSheet* DockPageOf(TControl* Client) const;

 protected:
  // Themed borders of the active page are drawn by the page, not the page control: repaint them after
  // the pages were realigned.
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Dispatch(TMessage& Message) override;
  // A child was inserted (Inserting) or removed. In the designer only pages may sit on the page control:
  // anything else dropped onto it moves to the page control's parent, at the same place on screen.
  virtual void ControlChange(bool Inserting, TControl* Control);
  virtual bool PageChanging(TuiTabSheet* NewPage);
  void ChangeActivePage(TuiTabSheet* Page);
  void CMDockClient(TMessage& Message) override;
  void CMUnDockClient(TMessage& Message) override;

 private:
  friend class TuiTabSheet;
  void InsertPage(TuiTabSheet* Page);
  void RemovePage(TuiTabSheet* Page);
  void SetTabIndexQuietly(Integer Value);
  Integer IndexOfPage(const TuiTabSheet* Page) const;
  // The docked control on the tab under a client point (nil when none).
  TControl* DockClientAt(Integer X, Integer Y);
  void DockNotification(TControl* Client, const TDockNotifyRec& Notify);

  TuiTabSheet* activePage_ = nullptr;
  bool focusable_ = true;
  bool insertingPage_ = false;
  // The page of a control being undocked, freed once the control has gone.
  TuiTabSheet* undockingPage_ = nullptr;
  std::vector<TuiTabSheet*> pages_;
  TuiPageChangingEvent onPageChanging_;
};

class TuiTabSheet : public TCustomControl {
  K58_CLASS(TuiTabSheet, TCustomControl)

  explicit TuiTabSheet(TComponent* AOwner);
  ~TuiTabSheet() override;

  TuiPageControl* PageControl() const { return pageControl_; }
  // Moves the page to another page control (nil: none).
  void SetPageControl(TuiPageControl* APageControl);
  // Position in the page control's list, -1 without one; setting it outside 0..PageCount-1 raises
  // EListError.
  Integer PageIndex() const;
  void SetPageIndex(Integer Value);
  // The tab index of the page's tab (its page index).
  Integer TabIndex() const { return PageIndex(); }
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool Value);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  TuiTab* Tab() const { return tab_; }
  const TNotifyEvent& OnShow() const { return onShow_; }
  void SetOnShow(const TNotifyEvent& Value) { onShow_ = Value; }
  const TNotifyEvent& OnHide() const { return onHide_; }
  void SetOnHide(const TNotifyEvent& Value) { onHide_ = Value; }

  // Only a page control (or nil) is accepted as parent.
  void SetParent(TWinControl* AParent) override;
  void ReadState(TReader* Reader) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void WMWindowPosChanged(TWMWindowPosMsg& Message) override;
  // The border (BorderWidth) gets the themed pane with native painting; the default frame otherwise.
  void WMNCPaint(TMessage& Message);
  virtual void DoShow();
  virtual void DoHide();

 private:
  friend class TuiPageControl;
  void MoveToPageControl(TuiPageControl* APageControl);
  void Sync();
  void RepaintBorder();

  bool highlighted_ = false;
  Integer imageIndex_ = -1;
  TuiPageControl* pageControl_ = nullptr;
  TuiTab* tab_ = nullptr;
  bool tabVisible_ = true;
  TNotifyEvent onHide_;
  TNotifyEvent onShow_;
};
