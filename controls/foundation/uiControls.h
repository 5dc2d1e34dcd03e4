// The base of the library's controls and the services around it: hidden message windows, the timers
// that all run on one hidden window, the settings controller that tells controls of new scroll-bar
// metrics, mouse-leave tracking, the library's screen cursors and small routines (monitors, cursor,
// coordinates, characters); the look-and-feel scroll bar (TuiScrollBar); and TuiControl, the windowed
// base control with its look-and-feel, canvas, painter border, own scroll bars and size grip, its own
// drag-and-drop machine beside the class library's drag manager, middle-button scrolling, mouse capture
// object, focus-on-click rules, wanted keys and popup-menu handling.
//
// Threads: the GUI thread only.
// Ownership: a control owns its look-and-feel, canvas wrapper, scroll bars, size grip and drag-and-drop
// object; timers are components freed by their owner (tracking timers by the tracking routines). The
// process-wide objects (message window, timer window, settings controller, tracking list) are made on
// first use and freed when the unit stops.
// Construction: TuiControl and its descendants are made through NewObject or a class factory (as form
// resources do): AfterConstruction finishes what depends on the descendant's virtual answers (scroll
// bars, tab stop, drag images). A control made with plain new finishes that when its window is made.
// Coordinates: control operations take client coordinates unless they say screen coordinates.
// Re-entrancy: a control may be destroyed by a handler of one of its own messages (the window procedure
// holds an object link and skips the later steps); a timer may be freed in its own tick; the drag and
// middle-button loops run nested message loops inside a mouse-down message.
#pragma once

#include <memory>
#include <vector>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiGraphics.h"
#include "controls/foundation/uiLookAndFeelPainters.h"
#include "controls/foundation/uiLookAndFeels.h"
#include "controls/foundation/uxThemeManager.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"

class TuiControl;

namespace uicontrolsconsts {
inline constexpr const char* scxScrollBarPropertyOutOfRange = "Scrollbar property out of range";
inline constexpr const char* scxMouseTrackingTimersLeft = "MouseTrackingTimerList.Count <> 0";
}  // namespace uicontrolsconsts

// Posted by a control to itself after its non-client size was calculated, and sent to every registered
// control when the system's scroll-bar metrics change: the control's own bars take the new sizes.
inline constexpr UINT ScrollBarMetricsChangedMessage = 0x8131;

// The library's screen cursors (Screen->Cursors), loaded from its cursor resources when the unit starts.
inline constexpr TCursor crUiDragCopy = 2100;
inline constexpr TCursor crUiFullScroll = 2101;
inline constexpr TCursor crUiHorScroll = 2102;
inline constexpr TCursor crUiVerScroll = 2103;
inline constexpr TCursor crUiUpScroll = 2104;
inline constexpr TCursor crUiRightScroll = 2105;
inline constexpr TCursor crUiDownScroll = 2106;
inline constexpr TCursor crUiLeftScroll = 2107;
inline constexpr TCursor crUiRemove = 2108;
inline constexpr TCursor crUiVertSize = 2109;
inline constexpr TCursor crUiHorzSize = 2110;
inline constexpr TCursor crUiMultiDrag = 2111;
inline constexpr TCursor crUiNoDrop = 2112;
inline constexpr TCursor crUiDrag = 2113;
inline constexpr TCursor crUiHandPoint = 2114;

// ---- Interfaces ---------------------------------------------------------------------------------------

// A component that pops up like a menu: PopupMenu of a control accepts it beside TPopupMenu.
class IuiPopupMenu {
 public:
  virtual bool IsShortCut(TWMKey& Message) = 0;
  // At a screen point.
  virtual void Popup(Integer X, Integer Y) = 0;

 protected:
  ~IuiPopupMenu() = default;
};
inline constexpr TGUID IID_IuiPopupMenu = TGUID::Parse("{59639A23-B519-578C-839A-0C223A32C598}");

// An object that handles the mouse while its control holds the capture; told when it loses that role.
class IuiMouseCaptureObject {
 public:
  virtual void CancelCapture() = 0;

 protected:
  ~IuiMouseCaptureObject() = default;
};
inline constexpr TGUID IID_IuiMouseCaptureObject = TGUID::Parse("{B6C79F9E-FDD2-5DF0-A382-2C108D2E7D13}");

// Told once when the mouse leaves what it tracks (StartMouseLeaveTracking).
class IuiMouseTrackingCaller {
 public:
  virtual void MouseLeave() = 0;

 protected:
  ~IuiMouseTrackingCaller() = default;
};
inline constexpr TGUID IID_IuiMouseTrackingCaller = TGUID::Parse("{35DF43DF-1E1A-5E49-97F8-A7B67585583A}");

// A tracking caller that decides itself whether a point (client coordinates of its control) is inside.
class IuiMouseTrackingCaller2 : public IuiMouseTrackingCaller {
 public:
  virtual bool PtInCaller(const TPoint& P) = 0;

 protected:
  ~IuiMouseTrackingCaller2() = default;
};
inline constexpr TGUID IID_IuiMouseTrackingCaller2 = TGUID::Parse("{57AD6468-7411-5CAE-8D8C-6C9F71864F7B}");

// ---- Message windows and timers -----------------------------------------------------------------------

// A hidden window (AllocateHWnd) whose messages go to WndProc.
class TuiMessageWindow : public TObject {
  K58_CLASS(TuiMessageWindow, TObject)

  TuiMessageWindow();
  ~TuiMessageWindow() override;

  HWND Handle() const { return handle_; }

 protected:
  // The default window procedure in the base.
  virtual void WndProc(TMessage& Message);

 private:
  HWND handle_ = nullptr;
};

class TuiTimer;

// The one window every TuiTimer runs on.
class TuiTimerWindow : public TuiMessageWindow {
  K58_CLASS(TuiTimerWindow, TuiMessageWindow)

  TuiTimerWindow() = default;
  ~TuiTimerWindow() override;

 protected:
  // WM_TIMER of a running timer fires it; a stale WM_TIMER (of a timer stopped or freed since) is
  // ignored.
  void WndProc(TMessage& Message) override;

 private:
  friend class TuiTimer;
  friend void FreeTimerAfterTick(TuiTimer* ATimer);
  std::vector<std::pair<UINT_PTR, TuiTimer*>> running_;
  // The timers whose ticks run now, innermost last; a timer freed in its tick is cleared here.
  std::vector<TuiTimer*> firing_;
};

// A timer served by the shared timer window. It runs exactly while Enabled, OnTimer is assigned and the
// system accepted it; changing Enabled, Interval or OnTimer re-arms it with the new values.
class TuiTimer : public TComponent {
  K58_CLASS(TuiTimer, TComponent)

  explicit TuiTimer(TComponent* AOwner);
  ~TuiTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  // Milliseconds; 0 and the current value are ignored.
  Cardinal Interval() const { return interval_; }
  void SetInterval(Cardinal Value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(const TNotifyEvent& Value);

  // Whether a system timer runs for it now.
  bool TimerOn() const { return timerOn_; }
  // The id of its system timer on the timer window (one per timer, never reused).
  UINT_PTR EventId() const { return eventId_; }

 protected:
  // Calls OnTimer.
  virtual void FireTimer();

 private:
  friend class TuiTimerWindow;
  friend void FreeTimerAfterTick(TuiTimer* ATimer);
  void RestartTimer();
  void StartSystemTimer();
  void StopSystemTimer();
  void SetTimerOn(bool Value);

  bool enabled_ = true;
  bool timerOn_ = false;
  Cardinal interval_ = 1000;
  TNotifyEvent onTimer_;
  UINT_PTR eventId_;
  bool freeAfterTick_ = false;
};

// Frees ATimer now, or, when it is inside its own tick, stopped at once and freed when the tick returns.
void FreeTimerAfterTick(TuiTimer* ATimer);

// ---- Settings controller ------------------------------------------------------------------------------

// Tells the registered controls (ScrollBarMetricsChangedMessage) when the system's non-client metrics
// change. Its hidden window exists while at least one control is registered.
class TuiSettingsController : public TObject {
  K58_CLASS(TuiSettingsController, TObject)

  TuiSettingsController() = default;
  ~TuiSettingsController() override;

  void AddControl(TWinControl* AControl);
  void RemoveControl(TWinControl* AControl);
  Integer ControlCount() const { return static_cast<Integer>(controls_.size()); }
  HWND Handle() const { return handle_; }

 protected:
  virtual void WndProc(TMessage& Message);

 private:
  std::vector<TWinControl*> controls_;
  HWND handle_ = nullptr;
};

TuiSettingsController* GetSettingsController();

// ---- Mouse-leave tracking -----------------------------------------------------------------------------

// Polls the cursor every 10 ms for one caller.
class TMouseTrackingTimer : public TuiTimer {
  K58_CLASS(TMouseTrackingTimer, TuiTimer)

  explicit TMouseTrackingTimer(TComponent* AOwner) : TuiTimer(AOwner) {}

  IuiMouseTrackingCaller* Caller = nullptr;
  TWinControl* Control = nullptr;
  // Screen coordinates.
  TRect Bounds{};

 private:
  friend void StartMouseLeaveTracking(TWinControl*, const TRect&, IuiMouseTrackingCaller*);
  friend void CheckMouseTracking(TMouseTrackingTimer* ATimer);
  std::weak_ptr<bool> controlAlive_;
};

// Unless ACaller is tracked already: a 10 ms poll that, once the cursor is outside ABounds (AControl's
// client coordinates; screen coordinates without a control) or outside what ACaller's PtInCaller says,
// sends AControl CM_MOUSELEAVE when the cursor also left its client area, calls ACaller's MouseLeave and
// stops.
void StartMouseLeaveTracking(TWinControl* AControl, const TRect& ABounds, IuiMouseTrackingCaller* ACaller);
void StopMouseLeaveTracking(IuiMouseTrackingCaller* ACaller);
bool IsMouseTracking(IuiMouseTrackingCaller* ACaller);

// ---- Small routines -----------------------------------------------------------------------------------

// The work area of the monitor nearest to P (screen coordinates).
void GetMonitorWorkArea(const TPoint& P, TRect& R);
Integer GetDoubleClickInterval();
void uiGetCursorPos(TPoint& P);
bool IsCtrlPressed();
// Between the client coordinates of two windows (nil: the screen); a rectangle corner by corner.
void ConvertWindowPoint(HWND AFrom, HWND ATo, TPoint& P);
void ConvertWindowRect(HWND AFrom, HWND ATo, TRect& R);
bool HasParentWithHandle(TControl* AControl);
// '+', '-' and digits; kind 1 adds the decimal separator, kind 2 also 'e' and 'E'.
bool IsNumericChar(char Ch, Integer AKind);
bool IsTextChar(char Ch);
char KeyToChar(Word AKey);
// The shared message window (the parent of popup windows).
TuiMessageWindow* GetMessageWindow();
// Whether the component is being loaded from a form resource.
bool IsComponentLoading(TComponent* AComponent);

// ---- Scroll bar ---------------------------------------------------------------------------------------

// A scroll bar drawn by the look-and-feel painters into an off-screen bitmap: two arrows, the thumb and
// the page areas before and after it (TuiScrollBarPart numbers them), with hot and pressed states,
// auto-repeat on arrows and page areas (400 ms, then every 60 ms) and thumb dragging that snaps back
// when the mouse goes too far from the bar.
class TuiScrollBar : public TCustomControl {
  K58_CLASS(TuiScrollBar, TCustomControl)

  explicit TuiScrollBar(TComponent* AOwner);
  ~TuiScrollBar() override;

  TScrollBarKind Kind() const { return kind_; }
  // Swaps width and height (outside loading).
  void SetKind(TScrollBarKind Value);
  Integer Min() const { return min_; }
  void SetMin(Integer Value) { SetScrollParams(Value, max_, position_, pageSize_); }
  Integer Max() const { return max_; }
  void SetMax(Integer Value) { SetScrollParams(min_, Value, position_, pageSize_); }
  Integer PageSize() const { return pageSize_; }
  void SetPageSize(Integer Value) { SetScrollParams(min_, max_, position_, Value); }
  Integer Position() const { return position_; }
  void SetPosition(Integer Value) { SetScrollParams(min_, max_, Value, pageSize_); }
  TScrollBarInc SmallChange() const { return smallChange_; }
  void SetSmallChange(TScrollBarInc Value) { smallChange_ = Value; }
  TScrollBarInc LargeChange() const { return largeChange_; }
  void SetLargeChange(TScrollBarInc Value) { largeChange_ = Value; }
  bool UnlimitedTracking() const { return unlimitedTracking_; }
  void SetUnlimitedTracking(bool Value) { unlimitedTracking_ = Value; }
  TuiLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  // Takes the settings of Value; the object stays the bar's own.
  void SetLookAndFeel(TuiLookAndFeel* Value);
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  const TScrollEvent& OnScroll() const { return onScroll_; }
  void SetOnScroll(const TScrollEvent& Value) { onScroll_ = Value; }

  // AMax below AMin or below APageSize raises EInvalidOperation "Scrollbar property out of range" and
  // changes nothing; the position is clamped into [AMin, AMax]; a new position enables the bar and calls
  // Change.
  void SetScrollParams(Integer AMin, Integer AMax, Integer APosition, Integer APageSize, bool ARedraw = true);
  // Scrolls as the scroll code asks (line, page, top, bottom; others keep the position), through
  // OnScroll.
  void Scroll(TScrollCode ACode);

  // Geometry in client coordinates; an empty thumb means there is none.
  TRect PartBounds(TuiScrollBarPart APart) const;
  TuiScrollBarPart GetPartAt(Integer X, Integer Y) const;
  TuiScrollBarPart PressedPart() const { return pressedPart_; }
  TuiScrollBarPart HotPart() const { return hotPart_; }
  Integer MinThumbLength() const { return minThumbLength_; }
  // The state a part is painted in now.
  TuiButtonState PartState(TuiScrollBarPart APart) const;
  TuiLookAndFeelPainterClass Painter() const;

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

  // The class library's change notice, then OnChange.
  virtual void Change();
  virtual void DoScroll(TScrollCode AScrollCode, Integer& AScrollPos);

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
  void WMCancelMode(TWMNoParams& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMMouseEnter(TCMMouseEnter& Message) override;
  void CMMouseLeave(TCMMouseLeave& Message) override;
  void CMSysColorChange(TMessage& Message) override;

 private:
  void LookAndFeelChanged(TuiLookAndFeel* Sender, TuiLookAndFeelValues AChangedValues);
  void ThemeChanged(TObject* Sender);
  void CalculateMinThumbLength();
  void CalculateGeometry();
  void CalculateThumb();
  void SetPageAreas();
  Integer TrackStart() const;
  Integer TrackEnd() const;
  Integer PositionFromThumb() const;
  void RepaintBar();
  void RepeatStep(TObject* Sender);
  void ScrollStep(TuiScrollBarPart APart);
  void StopScrolling();
  void DragThumb(const TPoint& P);

  std::unique_ptr<TBitmap> bitmap_;
  TuiScrollBarPart pressedPart_ = sbpNone;
  TuiScrollBarPart hotPart_ = sbpNone;
  TuiTimer* repeatTimer_ = nullptr;
  std::unique_ptr<TuiCanvas> canvas_;
  std::unique_ptr<TuiLookAndFeel> lookAndFeel_;
  std::unique_ptr<TuxThemeChangedNotificator> themeNotificator_;
  Integer minThumbLength_ = 8;
  TRect arrow1_{}, arrow2_{}, thumb_{}, page1_{}, page2_{};
  TScrollBarKind kind_ = sbHorizontal;
  Integer position_ = 0;
  Integer savedPosition_ = 0;
  TPoint savedThumbOrigin_{};
  TPoint mouseDownPoint_{};
  Integer min_ = 0;
  Integer max_ = 100;
  Integer pageSize_ = 0;
  TScrollBarInc smallChange_ = 1;
  TScrollBarInc largeChange_ = 1;
  bool unlimitedTracking_ = false;
  TNotifyEvent onChange_;
  TScrollEvent onScroll_;
};

// ---- Scroll bars and size grip of a control -----------------------------------------------------------

// What a control says about one of its bars while its scroll data are calculated.
struct TuiScrollBarData {
  Integer Min = 0;
  Integer Max = 0;
  Integer Position = 0;
  Integer PageSize = 0;
  TScrollBarInc SmallChange = 0;
  TScrollBarInc LargeChange = 0;
  bool Enabled = false;
  bool Visible = false;
  bool AllowShow = false;
  bool AllowHide = false;
};

// One of the two bars a TuiControl owns and parents; its look-and-feel follows the control's.
class TuiControlScrollBar : public TuiScrollBar {
  K58_CLASS(TuiControlScrollBar, TuiScrollBar)

  explicit TuiControlScrollBar(TComponent* AOwner);

  TuiScrollBarData Data;

  bool IsControlVisible() const { return Visible(); }
  void SetControlVisible(bool AValue) { SetVisible(AValue); }
  // The data's range, position and steps (when they say visible), then its Enabled and Visible.
  void ApplyData();
  // Focuses the owning control when a click on the bar may.
  virtual void FocusOwnerControl();

  void Dispatch(TMessage& Message) override;
  void WMLButtonDown(TWMMouse& Message) override;
};

// The square between two shown bars, filled with its colour.
class TuiSizeGrip : public TCustomControl {
  K58_CLASS(TuiSizeGrip, TCustomControl)

  explicit TuiSizeGrip(TComponent* AOwner);
  void Paint() override;
};

// ---- Drag and drop ------------------------------------------------------------------------------------

enum TuiDragAndDropState { ddsNone, ddsStarting, ddsInProcess };
// What DetectDrag saw: released within the threshold, left it, cancelled.
enum TuiDragDetect { ddNone, ddDrag, ddCancel };

// The control's own drag-and-drop: made on first use, freed when the drag-and-drop ends. Descendants
// paint feedback and pick the cursor.
class TuiDragAndDropObject : public TObject {
  K58_CLASS(TuiDragAndDropObject, TObject)

  TuiDragAndDropObject() = default;
  // Made through a class reference: the object then learns its control.
  virtual void Initialize(TuiControl* AControl);

  TuiControl* Control() const { return control_; }
  TuiCanvas* Canvas() const;
  bool Dirty() const { return dirty_; }
  void SetDirty(bool Value);
  TPoint CurMousePos() const { return curMousePos_; }
  TPoint PrevMousePos() const { return prevMousePos_; }

  virtual void DirtyChanged() {}
  // crNoDrop when not accepted, crDrag when accepted.
  virtual TCursor GetDragAndDropCursor(bool AAccepted);
  virtual bool GetImmediateStart() { return false; }
  virtual void EndDragAndDrop(bool /*AAccepted*/) {}
  virtual void BeginDragAndDrop() { DirtyChanged(); }
  virtual void DragAndDrop(const TPoint& P, bool& AAccepted);
  virtual void BeforeEndDragAndDrop() { SetDirty(true); }

  void DoBeginDragAndDrop();
  void DoDragAndDrop(const TPoint& P, bool& AAccepted);
  void DoEndDragAndDrop(bool AAccepted);

 private:
  TuiControl* control_ = nullptr;
  bool dirty_ = false;
  TPoint curMousePos_{-1, -1};
  TPoint prevMousePos_{-1, -1};
};

// The object of a class-library drag started by a TuiControl: freed when the drag is over; the copy
// cursor (crUiDragCopy) when the target accepts with Ctrl held.
class TuiDragControlObject : public TDragControlObject {
  K58_CLASS(TuiDragControlObject, TDragControlObject)

  TuiDragControlObject();
  explicit TuiDragControlObject(TControl* AControl);
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
};

class TuiDragImageList : public TDragImageList {
  K58_CLASS(TuiDragImageList, TDragImageList)

  explicit TuiDragImageList(TComponent* AOwner) : TDragImageList(AOwner) {}
};

// Modal: captures the mouse for AWnd and waits for the mouse to leave a square of twice the drag
// threshold around the cursor (ddDrag), a button release (ddNone), or Esc or a lost capture (ddCancel).
TuiDragDetect DetectDrag(HWND AWnd);
// Whether (X, Y) is within the drag threshold of P on both axes.
bool PointInDragThreshold(const TPoint& P, Integer X, Integer Y);
bool IsCopyDragDrop();

// ---- The base control ---------------------------------------------------------------------------------

enum TuiControlBorderStyle { uicbsNone, uicbsDefault };
// Key groups a control claims in WM_GETDLGCODE.
enum TuiWantedKey { wkAllKeys, wkArrows, wkChars, wkTab };
K58_ENUM_TYPE(TuiWantedKey, wkAllKeys, wkArrows, wkChars, wkTab)
K58_SET_TYPE(TuiWantedKeys, TuiWantedKey)
// Which way the wheel scrolls a control.
enum TuiWheelScrollKind { wskNone, wskHorizontal, wskVertical };
// A one-line scroll: left, right, up or down.
enum TuiScrollDirection { sdNone, sdLeft, sdRight, sdUp, sdDown };

class TuiControl : public TCustomControl {
  K58_CLASS(TuiControl, TCustomControl)

  explicit TuiControl(TComponent* AOwner);
  ~TuiControl() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- Properties ----
  TuiCanvas* Canvas() const { return canvas_.get(); }
  TuiLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  // Takes the settings of Value; the object stays the control's own.
  void SetLookAndFeel(TuiLookAndFeel* Value);
  // A TPopupMenu or a component implementing IuiPopupMenu; anything else is stored as nil.
  TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* Value);
  // The class library sees the menu only when it is a TPopupMenu.
  TPopupMenu* GetPopupMenu() override;
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  TuiControlBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TuiControlBorderStyle Value);
  bool FocusOnClick() const { return focusOnClick_; }
  void SetFocusOnClick(bool Value) { focusOnClick_ = Value; }
  TuiWantedKeys WantedKeys() const { return wantedKeys_; }
  void SetWantedKeys(TuiWantedKeys AKeys) { wantedKeys_ = AKeys; }
  // The rectangle a descendant paints in, when it is not the client area.
  void SetExplicitPaintBounds(const TRect& R) { paintBounds_ = R; }
  const TNotifyEvent& OnFocusChanged() const { return onFocusChanged_; }
  void SetOnFocusChanged(const TNotifyEvent& Value) { onFocusChanged_ = Value; }
  bool IsMousePressed() const { return mousePressed_; }
  TPoint MouseDownPos() const { return mouseDownPos_; }
  bool IsMiddleButtonScrolling() const { return middleButtonScrolling_; }

  // ---- Font listeners: told (control, font) of every font change ----
  using TFontListener = Delegate<void(TObject* Sender, TFont* AFont)>;
  void AddFontListener(const TFontListener& AListener);
  void RemoveFontListener(const TFontListener& AListener);

  // ---- Mouse capture object ----
  TObject* MouseCaptureObject() const { return mouseCaptureObject_; }
  // The previous object is told CancelCapture; the control holds the capture exactly while an object is
  // set; losing a capture held during a pending drag-and-drop cancels the mode.
  void SetMouseCaptureObject(TObject* AObject);

  // ---- Operations of descendants ----
  virtual bool DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y);
  virtual void ParentBackgroundChanged() {}
  virtual void MouseButtonPressed(TMouseButton AButton, Integer X, Integer Y);
  virtual bool CanDragAtDesignTime(Integer /*X*/, Integer /*Y*/, TShiftState /*Shift*/) { return true; }
  virtual void BeforeMouseDown(TMouseButton /*Button*/, TShiftState /*Shift*/, Integer /*X*/, Integer /*Y*/) {}
  virtual void BringScrollBarsToFront();
  virtual void EndMouseOperation();
  virtual bool TakesFocusOnClick();
  virtual bool TakesFocusOnClickAt(Integer /*X*/, Integer /*Y*/) { return TakesFocusOnClick(); }
  virtual bool FocusAllowedByDefault() { return TakesFocusOnClick(); }
  // 0 without border, else the painter's border width.
  virtual Integer BorderWidth();
  virtual void GetPaintBounds(TRect& R);
  // The paint bounds less the border and the shown bars.
  virtual void GetClientBounds(TRect& R);
  TRect ClientBounds() {
    TRect r;
    GetClientBounds(r);
    return r;
  }
  virtual TCursor GetCursorAt(Integer /*X*/, Integer /*Y*/) { return rememberedCursor_; }
  virtual bool IsDesigning() { return ComponentState().Contains(csDesigning); }
  virtual bool IsFocused() { return Focused(); }
  virtual TuiWheelScrollKind WheelScrollKind();
  virtual bool ErasesBackground() { return false; }
  // Parents the bars and the grip (once the window exists).
  virtual void AttachScrollBars();
  virtual bool IsOwnScrollBarPart(TControl* AControl);
  virtual TuiLookAndFeelPainterClass GetPainterClass() { return lookAndFeel_->GetPainterClass(); }
  virtual void HandleLookAndFeelChange(TuiLookAndFeel* /*Sender*/, TuiLookAndFeelValues /*AChangedValues*/) {}
  virtual void GetHScrollBarBounds(TRect& R);
  virtual void GetSizeGripBounds(TRect& R);
  virtual void GetVScrollBarBounds(TRect& R);
  // Describes the bars through SetScrollBarInfo; nothing in the base.
  virtual void CalculateScrollData() {}
  virtual bool IsPixelScrolling(TScrollBarKind /*AKind*/) { return false; }
  virtual bool HasScrollBars() { return true; }
  virtual bool KeepScrollBarsOnTop() { return true; }
  // Every scroll request of the bars, the wheel and the middle button ends here; nothing in the base.
  virtual void ScrollContent(TScrollBarKind /*AKind*/, TScrollCode /*AScrollCode*/, Integer& /*AScrollPos*/) {}
  virtual void PositionScrollBars();
  // Decides which bars show, until that settles; a bar that keeps flipping ends shown but disabled.
  virtual void RecalculateScrollBars();
  virtual TClass GetDragAndDropObjectClass();
  virtual void DrawDragImage(TuiCanvas* /*ACanvas*/, const TRect& /*R*/) {}
  virtual TClass GetDragImagesClass();
  virtual TPoint GetDragImageSize() { return TPoint{0, 0}; }
  virtual bool HasDragImages() { return false; }
  virtual void InitDragImages(TuiDragImageList* AImages);
  virtual bool CanFocusWithForm();
  virtual bool IsWithinDragThreshold(Integer X, Integer Y);

  // ---- Notifications descendants override (calling the base first) ----
  virtual void ControlColorChanged() {}
  virtual void ControlVisibilityChanged() {}
  virtual void AddChildComponent(TComponent* AComponent);
  virtual void RemoveChildComponent(TComponent* AComponent);
  virtual bool AllowsMouseWithoutFocus() { return false; }
  virtual void ClientBoundsChanged() { RecalculateScrollBars(); }
  virtual bool CanStartDrag(Integer /*X*/, Integer /*Y*/) { return dragAndDropState_ == ddsNone; }
  virtual void ControlCursorChanged();
  virtual void CancelModeReceived();
  virtual void FocusStateChanged() { onFocusChanged_(this); }
  virtual void ControlFontChanged();
  virtual bool DesignHitTest(Integer X, Integer Y, TShiftState Shift);
  virtual TClass GetDragObjectClass();
  virtual bool MayFocus() { return true; }
  // Fire OnMouseEnter / OnMouseLeave (for the control and for its children alike).
  virtual void MouseEntered(TControl* AControl);
  virtual void MouseLeft(TControl* AControl);
  virtual void ControlTextChanged() {}
  virtual void DragAndDrop(const TPoint& P, bool& AAccepted);
  virtual void EndDragAndDrop(bool AAccepted);
  // Whether a drag-and-drop may begin at P; False in the base.
  virtual bool StartDragAndDropAt(const TPoint& /*P*/) { return false; }
  virtual bool AllowsDragStart(TDragObject* /*ADragObject*/) { return true; }
  virtual void BeginDragAndDrop();

  // ---- Scroll bars ----
  TuiControlScrollBar* HScrollBar() const { return hScrollBar_; }
  TuiControlScrollBar* VScrollBar() const { return vScrollBar_; }
  TuiSizeGrip* SizeGrip() const { return sizeGrip_; }
  bool IsHScrollBarVisible();
  bool IsVScrollBarVisible();
  // Describes a bar inside CalculateScrollData: hidden (or, without AAllowHide, disabled) when the range
  // is empty, the page covers it or the position is below it; never shown when ScrollBars leaves it out.
  void SetScrollBarInfo(TScrollBarKind AKind, Integer AMin, Integer AMax, Integer AStep, Integer APage, Integer APos,
                        bool AAllowShow, bool AAllowHide);
  // One line in a direction through ScrollContent.
  void ScrollByDirection(TuiScrollDirection ADirection);
  // While locked, recalculation is only marked pending; the last unlock recalculates when pending.
  void LockScrollBars();
  void UnlockScrollBars();
  bool IsScrollDataCalculating() const { return calculatingScrollData_; }
  // Whether a key is the short-cut of a popup menu of this control or a control it sits on.
  bool IsPopupMenuShortCutOfChain(TWMKey& Message);

  // ---- Drag and drop ----
  TuiDragAndDropState DragAndDropState() const { return dragAndDropState_; }
  void SetDragAndDropState(TuiDragAndDropState AState);
  TuiDragAndDropObject* GetDragAndDropObject();
  bool HasDragAndDropObject() const { return dragAndDropObject_ != nullptr; }
  void FinishDragAndDrop(bool AAccepted);
  bool IsInDragDetectArea(Integer X, Integer Y);
  TuiDragImageList* DragImages() const { return dragImages_.get(); }

  // ---- Misc ----
  void InvalidateArea(const TRect& R, bool AEraseBackground);
  void NotifyDesignerModified();

  // ---- Overrides of the class library ----
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  TDragImageList* GetDragImages() override;
  void WMPaint(TWMPaint& Message) override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
  void WMContextMenu(TWMContextMenu& Message) override;
  void WMSetCursor(TWMSetCursor& Message) override;
  void WMCancelMode(TWMNoParams& Message) override;
  void CNKeyDown(TWMKey& Message) override;
  void CNSysKeyDown(TWMKey& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMCursorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMMouseEnter(TCMMouseEnter& Message) override;
  void CMMouseLeave(TCMMouseLeave& Message) override;
  void CMDesignHitTest(TWMMouse& Message) override;
  // OnMouseEnter and OnMouseLeave fire from MouseEntered and MouseLeft instead.
  void MouseEnter() override {}
  void MouseLeave() override {}

 private:
  friend class TuiControlScrollBar;
  void InitializeControl();
  void CreateScrollBars();
  void DestroyScrollBars();
  void ScrollBarScroll(TObject* Sender, TScrollCode AScrollCode, Integer& AScrollPos);
  void ScrollBarMetricsChanged();
  void CalculateScrollDataSettled();
  void CheckPixelScrolling();
  TPoint MessagePoint(const TMessage& Message);
  void MiddleButtonScroll();
  void FreeDragImages();

  bool initialized_ = false;
  TuiControlBorderStyle borderStyle_ = uicbsNone;
  bool calculatingScrollData_ = false;
  std::unique_ptr<TuiCanvas> canvas_;
  TCursor rememberedCursor_ = crDefault;
  bool settingPointCursor_ = false;
  TuiDragAndDropObject* dragAndDropObject_ = nullptr;
  TCursor savedScreenCursor_ = crDefault;
  TuiDragAndDropState dragAndDropState_ = ddsNone;
  TObjectPtr<TuiDragImageList> dragImages_;
  bool finishingDragAndDrop_ = false;
  bool focusOnClick_ = true;
  std::vector<TFontListener> fontListeners_;
  TuiControlScrollBar* hScrollBar_ = nullptr;
  bool savedHVisible_ = false;
  bool savedVVisible_ = false;
  bool visibilityStable_ = false;
  TuiWantedKeys wantedKeys_;
  std::unique_ptr<TuiLookAndFeel> lookAndFeel_;
  bool mousePressed_ = false;
  TObject* mouseCaptureObject_ = nullptr;
  TPoint mouseDownPos_{};
  TComponent* popupMenu_ = nullptr;
  TScrollStyle scrollBars_ = ssBoth;
  Integer scrollBarsLockCount_ = 0;
  bool scrollBarsRecalculationPending_ = false;
  TuiSizeGrip* sizeGrip_ = nullptr;
  bool recalculatingScrollBars_ = false;
  TuiControlScrollBar* vScrollBar_ = nullptr;
  bool middleButtonScrolling_ = false;
  bool lastParentBackground_ = true;
  TNotifyEvent onFocusChanged_;
  TRect paintBounds_{};
};

// A component that belongs to a control: its parent component is the control.
class TuiControlChildComponent : public TuiComponent {
  K58_CLASS(TuiControlChildComponent, TuiComponent)

  explicit TuiControlChildComponent(TComponent* AOwner) : TuiComponent(AOwner) {}
  ~TuiControlChildComponent() override;
  void AfterConstruction() override;

  // A component of class AClass (a TuiControlChildComponent) for AControl, owned by AControl's owner
  // when AAssignOwner, else by nobody.
  static TuiControlChildComponent* CreateForControl(TClass AClass, TuiControl* AControl, bool AAssignOwner);

  TuiControl* Control() const { return control_; }
  virtual bool IsDestroying() { return ComponentState().Contains(csDestroying); }
  // Called at the end of construction; nothing in the base.
  virtual void Initialize() {}
  virtual void SetControl(TuiControl* AControl) { control_ = AControl; }

  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return control_ != nullptr; }
  void SetParentComponent(TComponent* AValue) override;

 private:
  TuiControl* control_ = nullptr;
};

// ---- Popup menus --------------------------------------------------------------------------------------

// Pops AMenu up at a screen point for ACaller: through IuiPopupMenu, or as a TPopupMenu with AutoPopup;
// False when nothing showed.
bool ShowPopupMenu(TWinControl* ACaller, TComponent* AMenu, Integer X, Integer Y);
bool IsPopupMenuShortCut(TComponent* AMenu, TWMKey& Message);
// The height the menu takes on the screen.
Integer CalculatePopupMenuHeight(TPopupMenu* AMenu);

namespace k58::foundation {
// The settings controller when it exists (nil before its first use and after the unit stopped).
TuiSettingsController* ExistingSettingsController();
// The tracking timers alive now.
Integer MouseTrackingTimerCount();
void StartControlsUnit();
void StopControlsUnit();
// The next message of a modal loop; False when the loop must end: on an error, and on WM_QUIT, which is
// posted again so that the outer loop ends too.
bool GetModalLoopMessage(MSG& AMsg);
}  // namespace k58::foundation
