// The tab control: a row or several rows of tabs along one side, a navigator (scroll arrows, a go button
// listing the tabs, a close button) and a client area, laid out and drawn by a painter chosen by style.
//
// Contract: main thread only. The control owns its tabs, its visible tab list, its painter (released
// through the painters factory), its repeat timer and its go dialog. Tabs are addressed by tab index in
// the public operations and by visible index in layout, painting and input; -1 means none. Coordinates
// are client coordinates. LayoutChanged is the single entry for a new layout; it does nothing while
// loading, while being destroyed, without a window and while already running, so handlers of OnChange,
// OnChanging and the painter may call back into the control. Programming errors raise Exception
// "TuiCustomTabControl.<method>: <message>"; out-of-range values are clamped or ignored.
#pragma once

#include <memory>
#include <vector>

#include "controls/extra/uiPCGoDialog.h"
#include "controls/extra/uiPCPainter.h"
#include "controls/extra/uiPCRowBreaking.h"
#include "controls/foundation/uiControls.h"
#include "platform/forms/ImgList.h"

class TuiCustomTabControl;

using TuiPCStyleID = Integer;
// Style 0: the painter follows the look-and-feel.
inline constexpr TuiPCStyleID uiPCDefaultStyle = 0;

// The signature of OnCanClose and OnChanging is the class library's close-query event; the published
// property names it.
using TuiPCCanCloseEvent = TCloseQueryEvent;
using TuiTabChangingEvent = TCloseQueryEvent;
K58_EVENT_TYPE(TuiDrawTabEvent, void(TuiCustomTabControl* AControl, TuiTab* ATab, bool& DefaultDraw))
K58_EVENT_TYPE(TuiDrawTabExEvent, void(TuiCustomTabControl* AControl, TuiTab* ATab, TFont* Font))
K58_EVENT_TYPE(TuiGetTabImageEvent, void(TObject* Sender, Integer TabIndex, Integer& ImageIndex))

namespace uipcconsts {
inline constexpr const char* scxPCNoRotation = "%s style does not support rotation of tabs";
inline constexpr const char* scxPCTabsCountZero = "Tabs.Count = 0";
}  // namespace uipcconsts

// The first interval of the navigator arrows' repeat, then the interval of each further step.
inline constexpr Cardinal uiPCFirstRepeatInterval = 300;
inline constexpr Cardinal uiPCRepeatInterval = 150;

class TuiCustomTabControl : public TuiControl, public TuiTabControlHost {
  K58_CLASS(TuiCustomTabControl, TuiControl)

  explicit TuiCustomTabControl(TComponent* AOwner);
  ~TuiCustomTabControl() override;

  // ---- Properties ----
  TuiTabs* Tabs() const { return tabs_.get(); }
  Integer TabIndex() const override { return tabIndex_; }
  void SetTabIndex(Integer Value) override;
  bool HideTabs() const { return hideTabs_; }
  void SetHideTabs(bool Value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool Value);
  Integer ImageBorder() const { return imageBorder_; }
  void SetImageBorder(Integer Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  Integer MaxRotatedTabWidth() const { return maxRotatedTabWidth_; }
  void SetMaxRotatedTabWidth(Integer Value);
  bool MultiLine() const override { return multiLine_; }
  void SetMultiLine(bool Value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool Value) { multiSelect_ = Value; }
  TuiPCNavigatorPosition NavigatorPosition() const { return navigatorPosition_; }
  void SetNavigatorPosition(TuiPCNavigatorPosition Value);
  TuiPCOptions Options() const { return options_; }
  void SetOptions(TuiPCOptions Value);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool Value);
  bool RaggedRight() const { return raggedRight_; }
  void SetRaggedRight(bool Value);
  bool Rotate() const override { return rotate_; }
  void SetRotate(bool Value);
  bool ScrollOpposite() const { return scrollOpposite_; }
  void SetScrollOpposite(bool Value);
  bool ShowFrame() const { return showFrame_; }
  void SetShowFrame(bool Value);
  TuiPCStyleID Style() const { return style_; }
  void SetStyle(TuiPCStyleID Value);
  SmallInt TabHeight() const { return tabHeight_; }
  void SetTabHeight(SmallInt Value);
  TuiTabPosition TabPosition() const override { return tabPosition_; }
  void SetTabPosition(TuiTabPosition Value);
  SmallInt TabWidth() const { return tabWidth_; }
  void SetTabWidth(SmallInt Value);
  TuiTabSlants* TabSlants() const { return tabSlants_.get(); }
  void SetTabSlants(TuiTabSlants* Value) { tabSlants_->Assign(Value); }
  // The images as the painters draw them; the go dialog (made on first use).
  TuiPCImageList* ImageList() const { return imageList_.get(); }
  TuiPCGoDialog* GoDialog() const { return goDialog_.get(); }

  // ---- Events ----
  const TuiPCCanCloseEvent& OnCanClose() const { return onCanClose_; }
  void SetOnCanClose(const TuiPCCanCloseEvent& Value) { onCanClose_ = Value; }
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  const TuiTabChangingEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(const TuiTabChangingEvent& Value) { onChanging_ = Value; }
  const TuiDrawTabEvent& OnDrawTab() const { return onDrawTab_; }
  void SetOnDrawTab(const TuiDrawTabEvent& Value) { onDrawTab_ = Value; }
  const TuiDrawTabExEvent& OnDrawTabEx() const { return onDrawTabEx_; }
  void SetOnDrawTabEx(const TuiDrawTabExEvent& Value) { onDrawTabEx_ = Value; }
  const TuiGetTabImageEvent& OnGetImageIndex() const { return onGetImageIndex_; }
  void SetOnGetImageIndex(const TuiGetTabImageEvent& Value) { onGetImageIndex_ = Value; }

  // ---- State the painters and tests read ----
  TuiPCCustomPainter* Painter() const { return painter_; }
  Integer RowCount() const { return rowCount_; }
  Integer RowThickness() const override { return rowThickness_; }
  Integer SplitRow() const override { return splitRow_; }
  Integer FirstVisibleTab() const override { return firstVisibleTab_; }
  Integer LastVisibleTab() const override { return lastVisibleTab_; }
  bool IsLastTabFullyVisible() const { return isLastTabFullyVisible_; }
  TRect NearRowsArea() const { return nearRowsArea_; }
  TRect FarRowsArea() const { return farRowsArea_; }
  const TuiPCTabsRegionParameters& TabsRegion() const { return tabsRegion_; }
  TuiPCNavigatorButtons NavigatorButtons() const { return navigatorButtons_; }
  TuiPCNavigatorButtonState NavigatorButtonState(TuiPCNavigatorButton Button) const {
    return buttonStates_[Button];
  }
  TuiPCNavigatorButtons HotButtons() const { return hotButtons_; }
  TuiPCNavigatorButtons PressedButtons() const { return pressedButtons_; }
  bool IsGoDialogShown() const { return goDialogShown_; }
  TuiTimer* RepeatTimer() const { return timer_; }
  bool IsChangeEventsLocked();

  // ---- Derived predicates of the layout ----
  bool IsVerticalText() const;
  Integer GetTextMode() const;
  Integer GetPainterTextMode() const;
  bool RowsVertical() const override { return tabPosition_ == tpLeft || tabPosition_ == tpRight; }
  bool IsReversedRow() const;
  bool IsMirroredRows() const;

  // ---- Operations ----
  // The page that belongs to a tab; nil in the base.
  virtual TControl* GetPage(Integer ATabIndex);
  virtual bool CanCloseActiveTab();
  virtual void CloseActiveTab();
  virtual bool CanSelectTab(Integer ATabIndex);
  // The image a tab shows: the stored index through OnGetImageIndex, -1 outside the images.
  Integer GetImageIndex(Integer ATabIndex) override;
  virtual void GoDialogItemClick(Integer ATabIndex);
  virtual void ImagesChanged();
  // A navigation key (Ctrl+Tab, arrows, Home, End, Return, Space); True when it was consumed.
  virtual bool ProcessNavigationKey(Word& Key, TShiftState Shift);
  bool KeepsActiveTabVisible() const override { return false; }
  virtual bool PassesPrintClient() { return true; }
  virtual bool CanChange(Integer NewTabIndex);
  virtual void Change();
  void LayoutChanged() override;
  void LockChangeEvents(bool ALock);
  virtual void ShowGoDialog();

  // Layout: the whole layout, one step of the single row, scrolling it so that a tab is seen, and
  // arranging the rows around the active tab.
  void CalculateTabsLayout();
  void ScrollTabs(TuiPCNavigatorButton AButton);
  void MakeTabVisible(Integer AVisibleIndex);
  void ArrangeRows();
  // Hit tests (client coordinates); -1 for none.
  Integer GetTabAt(Integer X, Integer Y);
  TRect GetRowsAreaRect(Integer AVisibleIndex) const;
  std::vector<k58::extra::TabRowBounds> GetLineIndexBounds() const;
  // MultiLine: every visible tab; otherwise the first and last shown (Last -2 when none is shown).
  void GetVisibleTabRange(Integer& First, Integer& Last) const;

  void UpdateHotTrack(TShiftState Shift = TShiftState());
  void UpdateButtonsState();

  // ---- TuiTabControlHost ----
  bool TabsLoading() const override;
  bool TabsDestroying() const override;
  bool TabsHandleAllocated() const override { return HandleAllocated(); }
  bool TabsEnabled() const override { return const_cast<TuiCustomTabControl*>(this)->Enabled(); }
  TRect RowsArea(TuiTabSide Side) const override;
  Integer MeasureTabWidth(TuiTab* Tab) override;
  bool RecalculateRowThickness() override;
  TRect TabCorrection(TuiTab* Tab) override;
  bool AllowMultiSelection() const override;
  void EnterMultiSelection() override { multiSelect_ = true; }
  void RepaintTab(Integer VisibleIndex, Integer Kind) override;
  void UpdateNavigatorButtons() override { UpdateButtonsState(); }
  void MakeTabVisibleInRow(Integer VisibleIndex) override { MakeTabVisible(VisibleIndex); }
  void UpdateHotTracking() override { UpdateHotTrack(); }

  // ---- Overrides ----
  void Loaded() override;
  void DefineProperties(TFiler* Filer) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateWnd() override;
  void Resize() override;
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool ErasesBackground() override { return false; }
  bool HasScrollBars() override { return false; }
  void FocusStateChanged() override;
  void ControlFontChanged() override;
  void HandleLookAndFeelChange(TuiLookAndFeel* Sender, TuiLookAndFeelValues AChangedValues) override;
  bool DesignHitTest(Integer X, Integer Y, TShiftState Shift) override;
  void WndProc(TMessage& Message) override;
  void CMDialogKey(TCMDialogKey& Message) override;
  void CMDialogChar(TCMDialogChar& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMMouseLeave(TCMMouseLeave& Message) override;
  void WMPrintClient(TWMPrintClient& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  // Clicking a tab: toggles selection in multi-selection mode with Ctrl, else makes it current.
  void TabClick(Integer AVisibleIndex, TShiftState Shift);

 private:
  void ChooseStyleByLookAndFeel();
  void SetPainterClass(TuiPCPainterClass AClass);
  void FullRepaint();
  void FreeCaptionBitmaps();
  void CalculateTabNormalSizes();
  void InitTabsRegion(TuiPCNavigatorButtons AButtons);
  void PlaceSingleRow();
  void PlaceSeveralRows();
  void PlaceRowsAcross();
  void CalculateRowThickness();
  // Along-row placement of First..Last; the last placed tab becomes the last shown one.
  void PlaceTabs(Integer First, Integer Last, bool StopAtEnd);
  void ClampMaxRotatedTabWidth();
  void SetNavigatorButtonState(TuiPCNavigatorButton AButton, TuiPCNavigatorButtonState AState);
  void SetHotButtons(TuiPCNavigatorButtons AButtons);
  void StartRepeat();
  void StopRepeat();
  void RepeatTimerHandler(TObject* Sender);
  void ReleasePressedButton();
  Integer FindNavigationTarget(Integer AStart, Integer AStep, bool AWrap) const;
  TPoint CursorPos();

  Integer changeEventsLock_ = 0;
  TRect streamedClientRect_{};
  TRect farRowsArea_{};
  TRect nearRowsArea_{};
  Integer firstVisibleTab_ = -1;
  Integer lastVisibleTab_ = -1;
  bool hideTabs_ = false;
  bool hotTrack_ = false;
  TuiPCNavigatorButtons hotButtons_;
  Integer imageBorder_ = 0;
  TCustomImageList* images_ = nullptr;
  bool clientRectStreamed_ = false;
  bool goDialogShown_ = false;
  bool isLastTabFullyVisible_ = false;
  Integer maxRotatedTabWidth_ = 0;
  bool multiLine_ = false;
  bool multiSelect_ = false;
  TuiPCNavigatorButtons navigatorButtons_;
  TuiPCNavigatorButtonState buttonStates_[4] = {nbsNormal, nbsNormal, nbsNormal, nbsNormal};
  TuiPCNavigatorPosition navigatorPosition_ = npRightTop;
  TuiPCOptions options_;
  bool ownerDraw_ = false;
  TuiPCCustomPainter* painter_ = nullptr;
  TuiPCNavigatorButtons pressedButtons_;
  bool raggedRight_ = false;
  bool rotate_ = false;
  Integer rowCount_ = 0;
  Integer rowThickness_ = 0;
  bool scrollOpposite_ = false;
  bool showFrame_ = false;
  TuiPCStyleID style_ = -1;
  Integer tabIndex_ = -1;
  TuiTabPosition tabPosition_ = tpTop;
  std::unique_ptr<TuiTabs> tabs_;
  SmallInt tabWidth_ = 0;
  SmallInt tabHeight_ = 0;
  TuiPCTabsRegionParameters tabsRegion_;
  TuiTimer* timer_ = nullptr;
  Integer splitRow_ = 0;
  bool layoutRunning_ = false;
  std::unique_ptr<TuiTabSlants> tabSlants_;
  std::unique_ptr<TuiPCImageList> imageList_;
  std::unique_ptr<TuiPCGoDialog> goDialog_;
  TuiPCCanCloseEvent onCanClose_;
  TNotifyEvent onChange_;
  TuiTabChangingEvent onChanging_;
  TuiDrawTabEvent onDrawTab_;
  TuiDrawTabExEvent onDrawTabEx_;
  TuiGetTabImageEvent onGetImageIndex_;
};
