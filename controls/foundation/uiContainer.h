// Container styles and style controllers: the four state styles (normal, focused, disabled, hot) a
// container paints with, each value assigned locally, looked up through a chain of style controllers or
// taken from a default by state, look-and-feel kind and owner; and the base of the container control
// that owns such a set.
//
// Resolution: a state style forwards most values, its controller and its font to the normal style. A
// style in direct-access mode (used by painters that fill a style on the fly) answers from its stored
// values only, reports every value as assigned and never notifies. Controllers form chains through their
// own normal style's controller; a link that would close a loop is refused. The default controller is
// set by the editor framework's start-up and is not owned here.
// Notification: a change marks the style modified and is delivered to OnChanged at once, or at the
// EndUpdate that closes the outermost BeginUpdate. Everything runs on the GUI thread.
#pragma once

#include <memory>
#include <vector>

#include "controls/foundation/uiControls.h"
#include "controls/foundation/uiGraphics.h"
#include "controls/foundation/uiLookAndFeels.h"

// The values a style carries; descendants of the style may add values after the last one.
enum TuiContainerStyleValue {
  csvBorderColor,
  csvBorderStyle,
  csvColor,
  csvEdges,
  csvFont,
  csvHotTrack,
  csvShadow,
  csvTextColor,
  csvTextStyle,
  csvTransparentBorder
};
K58_ENUM_TYPE(TuiContainerStyleValue, csvBorderColor, csvBorderStyle, csvColor, csvEdges, csvFont, csvHotTrack,
              csvShadow, csvTextColor, csvTextStyle, csvTransparentBorder)
K58_SET_TYPE(TuiContainerStyleValues, TuiContainerStyleValue)

enum TuiContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };
K58_ENUM_TYPE(TuiContainerBorderStyle, cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11)

// The style state indexes.
inline constexpr Byte csNormal = 0;
inline constexpr Byte csFocused = 1;
inline constexpr Byte csDisabled = 2;
inline constexpr Byte csHot = 3;

class TuiContainer;
class TuiContainerStyle;
class TuiContainerStyles;
class TuiStyleController;

// Class references of styles and style sets: the virtual constructor of the class.
using TuiContainerStyleClass = TuiContainerStyle* (*)(TPersistent* AOwner, bool ADirectAccessMode,
                                                      TuiContainerStyle* AParentStyle, Byte AState);
using TuiContainerStylesClass = TuiContainerStyles* (*)(TPersistent* AOwner, TuiContainerStyleClass AStyleClass);
template <class T>
TuiContainerStyleClass StyleClassOf() {
  return [](TPersistent* AOwner, bool ADirectAccessMode, TuiContainerStyle* AParentStyle,
            Byte AState) -> TuiContainerStyle* { return new T(AOwner, ADirectAccessMode, AParentStyle, AState); };
}
template <class T>
TuiContainerStylesClass StylesClassOf() {
  return [](TPersistent* AOwner, TuiContainerStyleClass AStyleClass) -> TuiContainerStyles* {
    return new T(AOwner, AStyleClass);
  };
}

class TuiContainerStyle : public TPersistent {
  K58_CLASS(TuiContainerStyle, TPersistent)

  // AParentStyle is kept only for a state style (AState not 0).
  TuiContainerStyle(TPersistent* AOwner, bool ADirectAccessMode, TuiContainerStyle* AParentStyle, Byte AState);
  ~TuiContainerStyle() override;

  // Another style's stored values (inside one update); any other source raises EConvertError.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  // Resets every value to its default (inside one update).
  virtual void RestoreDefaults();

  // ---- Resolved values ----
  TuiContainerStyleValues AssignedValues() const;
  void SetAssignedValues(TuiContainerStyleValues Value);
  TColor BorderColor() const;
  void SetBorderColor(TColor Value);
  TuiContainerBorderStyle BorderStyle() const;
  void SetBorderStyle(TuiContainerBorderStyle Value);
  TColor Color() const { return GetColor(); }
  void SetColor(TColor Value);
  TuiBorders Edges() const;
  void SetEdges(TuiBorders Value);
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool HotTrack() const;
  void SetHotTrack(bool Value);
  bool Shadow() const;
  void SetShadow(bool Value);
  TColor TextColor() const { return GetTextColor(); }
  void SetTextColor(TColor Value);
  TFontStyles TextStyle() const { return GetTextStyle(); }
  void SetTextStyle(TFontStyles Value);
  bool TransparentBorder() const;
  void SetTransparentBorder(bool Value);
  // The normal style's look-and-feel; setting it assigns into that object.
  TuiLookAndFeel* LookAndFeel() const;
  void SetLookAndFeel(TuiLookAndFeel* Value);
  // nil when the style follows the default controller.
  TuiStyleController* StyleController() const;
  // nil chooses the default controller; a controller whose chain leads back to this style is refused.
  void SetStyleController(TuiStyleController* Value);

  // The font to paint text with: the resolved font in the resolved text colour and style.
  TFont* GetVisibleFont();
  TuiContainerStyle* GetMasterStyle() const { return parentStyle_ != nullptr ? parentStyle_ : const_cast<TuiContainerStyle*>(this); }
  TuiContainer* GetContainer() const;
  bool IsNormalStyle() const { return parentStyle_ == nullptr; }
  bool DirectAccessMode() const { return directAccessMode_; }
  Byte State() const { return state_; }

  // ---- Operations of descendants ----
  virtual void Changed();
  virtual void ApplyControllerChange(TuiStyleController* AController);
  virtual void ControllerFreeNotification(TuiStyleController* AController);
  virtual TColor GetDefaultBorderColor() const;
  virtual TuiContainerBorderStyle GetDefaultBorderStyle() const;
  virtual TColor GetDefaultColor() const;
  virtual TuiBorders GetDefaultEdges() const;
  virtual bool GetDefaultHotTrack() const;
  virtual bool GetDefaultShadow() const;
  virtual TColor GetDefaultTextColor() const;
  virtual TFontStyles GetDefaultTextStyle() const;
  virtual bool GetDefaultTransparentBorder() const;
  virtual void FontChanged(TObject* Sender);
  virtual TColor GetColor() const;
  virtual TuiStyleController* GetDefaultStyleController() const;
  virtual TColor GetColorForPainting() const;
  virtual TColor GetTextColor() const;
  virtual TFontStyles GetTextStyle() const;
  virtual TuiContainerStyleValues GetNonStoredStateValues() const;
  virtual Integer GetValueCount() const { return 10; }
  // The streaming name of a value; False (empty name) for an unknown value.
  virtual bool GetValueName(Integer AValue, String& AName) const;
  virtual bool HasBorder() const { return BorderStyle() != cbsNone; }
  // True when the value is set in this style or in a controller's style of the same state.
  virtual bool IsValueAssigned(Integer AValue) const;

  // The value with the name (ignoring case), or -1.
  Integer FindValueByName(const String& AName) const;
  // Whether the value is written to form resources.
  bool IsValueStored(Integer AValue) const;
  // The stored tests of the published values.
  bool IsBorderColorStored() const { return IsValueStored(csvBorderColor); }
  bool IsBorderStyleStored() const { return IsValueStored(csvBorderStyle); }
  bool IsColorStored() const { return IsValueStored(csvColor); }
  bool IsEdgesStored() const { return IsValueStored(csvEdges); }
  bool IsFontStored() const { return IsValueStored(csvFont); }
  bool IsHotTrackStored() const { return IsValueStored(csvHotTrack); }
  bool IsShadowStored() const { return IsValueStored(csvShadow); }
  bool IsTextColorStored() const { return IsValueStored(csvTextColor); }
  bool IsTextStyleStored() const { return IsValueStored(csvTextStyle); }
  bool IsTransparentBorderStored() const { return IsValueStored(csvTransparentBorder); }
  bool IsLookAndFeelStored() const { return IsNormalStyle(); }
  bool IsStyleControllerStored() const { return IsNormalStyle() && StyleController() != nullptr; }

  const TNotifyEvent& OnChanged() const { return onChanged_; }
  void SetOnChanged(const TNotifyEvent& Value) { onChanged_ = Value; }

 protected:
  // Finds the style that supplies a value: this one when the value is assigned here, else the style of the
  // same state in the controller chain; nil when none does.
  const TuiContainerStyle* Lookup(Integer AValue) const;
  bool IsOwnValue(Integer AValue) const { return (assignedValuesBits_ & (1u << AValue)) != 0; }
  void IncludeValue(Integer AValue) { assignedValuesBits_ |= 1u << AValue; }
  // The normal style copies its font from the controller chain, or resets it, unless Font is its own.
  void SynchronizeFont();
  TuiStyleController* StoredController() const { return GetMasterStyle()->controller_; }
  // Marks a value as not assigned here, without re-synchronising anything.
  void ExcludeValue(Integer AValue) { assignedValuesBits_ &= ~(1u << AValue); }

 private:
  friend class TuiStyleController;
  friend class TuiContainer;
  void DeliverChange();
  void ResetFont();

  TColor borderColor_ = clWindowFrame;
  TuiContainerBorderStyle borderStyle_ = cbsNone;
  TuiBorders edges_{bLeft, bTop, bRight, bBottom};
  bool hotTrack_ = true;
  bool shadow_ = false;
  bool transparentBorder_ = true;
  bool directAccessMode_;
  Integer fontAssignLock_ = 0;
  bool destroying_ = false;
  TObjectPtr<TuiLookAndFeel> lookAndFeel_;
  bool modified_ = false;
  TPersistent* owner_;
  TuiContainerStyle* parentStyle_ = nullptr;
  Byte state_;
  TFontStyles textStyle_;
  Integer updateCount_ = 0;
  TObjectPtr<TFont> visibleFont_;
  TNotifyEvent onChanged_;
  uint32_t assignedValuesBits_ = 0;
  TuiStyleController* controller_ = nullptr;
  TColor color_ = clWindow;
  // Owned by the normal style outside direct-access mode; borrowed in direct-access mode.
  TFont* font_ = nullptr;
  bool ownsFont_ = false;
  TColor textColor_ = clWindowText;
};

// The four styles of one owner, indexed by state, all of one class.
class TuiContainerStyles : public TObject {
  K58_CLASS(TuiContainerStyles, TObject)

  TuiContainerStyles(TPersistent* AOwner, TuiContainerStyleClass AStyleClass);
  ~TuiContainerStyles() override;

  TuiContainerStyle* GetStyleByState(Byte AState) const { return styles_[AState & 3]; }
  TuiContainerStyle* GetNormalStyle() const { return styles_[csNormal]; }
  TuiContainerStyle* GetFocusedStyle() const { return styles_[csFocused]; }
  TuiContainerStyle* GetDisabledStyle() const { return styles_[csDisabled]; }
  TuiContainerStyle* GetHotStyle() const { return styles_[csHot]; }
  void AssignStyleByState(Byte AState, TuiContainerStyle* AStyle) { GetStyleByState(AState)->Assign(AStyle); }
  void AssignNormalStyle(TuiContainerStyle* AStyle) { AssignStyleByState(csNormal, AStyle); }
  void AssignFocusedStyle(TuiContainerStyle* AStyle) { AssignStyleByState(csFocused, AStyle); }
  void AssignDisabledStyle(TuiContainerStyle* AStyle) { AssignStyleByState(csDisabled, AStyle); }
  void AssignHotStyle(TuiContainerStyle* AStyle) { AssignStyleByState(csHot, AStyle); }
  // The change handler of all four styles (an empty handler detaches them).
  void SetChangeHandler(const TNotifyEvent& AHandler);

 private:
  TuiContainerStyle* styles_[4] = {};
};

// A non-visual component with its own four styles that any number of container styles follow.
class TuiStyleController : public TComponent {
  K58_CLASS(TuiStyleController, TComponent)

  explicit TuiStyleController(TComponent* AOwner);
  ~TuiStyleController() override;
  void Loaded() override;

  TuiContainerStyles* Styles() const { return styles_.get(); }
  TuiContainerStyle* Style() const { return styles_->GetNormalStyle(); }
  void SetStyle(TuiContainerStyle* Value) { styles_->AssignNormalStyle(Value); }
  TuiContainerStyle* StyleFocused() const { return styles_->GetFocusedStyle(); }
  void SetStyleFocused(TuiContainerStyle* Value) { styles_->AssignFocusedStyle(Value); }
  TuiContainerStyle* StyleDisabled() const { return styles_->GetDisabledStyle(); }
  void SetStyleDisabled(TuiContainerStyle* Value) { styles_->AssignDisabledStyle(Value); }
  TuiContainerStyle* StyleHot() const { return styles_->GetHotStyle(); }
  void SetStyleHot(TuiContainerStyle* Value) { styles_->AssignHotStyle(Value); }

  // Tells OnStyleChanged, then every follower in the order they joined.
  void Changed();
  // Scales an own assigned font once for the controller's lifetime; otherwise asks its own controller.
  void ScaleFont(Integer M, Integer D);
  bool IsDestroying() const { return destroying_; }
  Integer ListenerCount() const { return static_cast<Integer>(listeners_.size()); }

  virtual void AddListener(TuiContainerStyle* AStyle);
  virtual TuiContainerStyleClass GetStyleClass() const;
  virtual TuiContainerStylesClass GetStylesClass() const;
  virtual void RemoveListener(TuiContainerStyle* AStyle);

  const TNotifyEvent& OnStyleChanged() const { return onStyleChanged_; }
  void SetOnStyleChanged(const TNotifyEvent& Value) { onStyleChanged_ = Value; }

 protected:
  // Descendants with other style classes pass them here.
  TuiStyleController(TComponent* AOwner, TuiContainerStyleClass AStyleClass, TuiContainerStylesClass AStylesClass);

 private:
  TuiContainerStyleClass styleClass_;
  TuiContainerStylesClass stylesClass_;
  std::vector<TuiContainerStyle*> listeners_;
  TObjectPtr<TuiContainerStyles> styles_;
  TNotifyEvent onStyleChanged_;
  bool destroying_ = false;
  bool fontScaled_ = false;
};

// The controller unlinked styles follow (nil until the editor framework stores one); not owned here.
TuiStyleController* GetDefaultStyleController();
void SetDefaultStyleController(TuiStyleController* AController);

// The view state of a container: disabled replaces everything; hot is added to normal or focused.
enum TuiContainerStateItem { vsNormal = 1, vsFocused = 2, vsDisabled = 4, vsHot = 8 };
using TuiContainerState = Byte;

// What a container paints, computed from its active style and state.
class TuiContainerViewInfo : public TObject {
  K58_CLASS(TuiContainerViewInfo, TObject)

  TuiContainerViewInfo() = default;

  TColor BackgroundColor = clWindow;
  TColor BorderColor = clWindowFrame;
  // The area inside the border: the inner control's area.
  TRect BorderRect{};
  TuiContainerBorderStyle BorderStyle = cbsNone;
  Integer BorderWidth = 0;
  TRect Bounds{};
  TRect ClientRect{};
  TuiContainerState ContainerState = vsNormal;
  TuiBorders Edges{bLeft, bTop, bRight, bBottom};
  // 0 hot tracking off, 1 idle, 2 focused or hot.
  Byte HotState = 0;
  bool NativeStyle = false;
  bool Shadow = false;
  Integer NativePart = 0;
  Integer NativeState = 0;
  Byte ThemedObjectType = 0;

  virtual void DrawBorderFrame(TuiCanvas* ACanvas, const TRect& R);
  virtual TuiContainerBorderStyle GetBorderStyle() const { return BorderStyle; }
  virtual void Paint(TuiCanvas* ACanvas);
  virtual void SetBackgroundColor(TColor AColor) { BackgroundColor = AColor; }
  // Copies the client rectangle from another container view.
  virtual bool Assign(TuiContainerViewInfo* AViewInfo);
  // The area that differs from an older view; the base repaints nothing extra.
  virtual TuiRegion* CreateRegionToRepaint(TuiContainerViewInfo* AOldViewInfo);
  virtual void OffsetRects(Integer DX, Integer DY);
  void Draw(TuiCanvas* ACanvas) { Paint(ACanvas); }
};

// Border widths of the border styles.
Integer GetContainerBorderWidth(TuiContainerBorderStyle AStyle);
// Moves each side of R inward by AWidth where that side is not among AEdges.
void DeflateRectAtMissingEdges(TRect& R, Integer AWidth, TuiBorders AEdges);
// The 3-pixel shadow under and right of R; the shadow strips are then excluded from the canvas clip.
void DrawContainerShadow(TuiCanvas* ACanvas, const TRect& R);
// Fills R less AInner (all of R when AInner is empty); nothing when R is empty or equals AInner.
void FillRectFrame(TCanvas* ACanvas, const TRect& R, const TRect& AInner, TColor AColor);
// Invalidates the same strips of a window.
void InvalidateRectFrame(HWND AWnd, const TRect& R, const TRect& AInner, bool AErase);
// The window region of a container shape: nil when ANoRegion; R, with its shadow copy moved by (3, 3),
// less AExclude.
HRGN CreateContainerRegion(HWND AWnd, const TRect& R, bool ANoRegion, const TRect& AExclude, bool AShadow);
// Gives the window that region only when it differs from the one it has.
void SetWindowRegionIfChanged(HWND AWnd, const TRect& R, bool ANoRegion, const TRect& AExclude, bool AShadow);

// The part of an inner window that may show.
struct TuiContainerInnerControlRegionInfo {
  bool IsWholeControlVisible = true;
  TRect VisibleRect{};
};
void SetControlRegion(TWinControl* AControl, const TuiContainerInnerControlRegionInfo& AInfo);
// AControl when it is a container, else the container an inner control reports, else nil.
TuiContainer* GetContainerOfControl(TControl* AControl);
TRect GetControlRect(TControl* AControl);
// left 1, right 2, middle 3.
Byte MouseButtonToContainerButton(TMouseButton AButton);
bool AreStringsEqual(const String& S1, const String& S2, bool ACaseSensitive);
// The width of a vertical scroll bar (X) and the height of a horizontal one (Y).
void GetStandardScrollBarSize(TPoint& P);
// Whether the system reports native scroll-bar geometry, and the call that does (the record size preset).
bool IsGetScrollBarInfoAvailable();
bool CallGetScrollBarInfo(HWND AWnd, LONG AObjectID, SCROLLBARINFO& AInfo);
// The square between the container's two visible bars, relative to the inner control's window
// rectangle; empty unless both bars show.
TRect GetInnerControlSizeGripRect(TWinControl* AInnerControl);

// Posted to a container to bring its mirrored scroll bars in line with its inner control.
inline constexpr UINT SyncScrollBarsMessage = 0x8068;

// An inner control that reports its container.
class IuiContainerInnerControl {
 public:
  virtual TuiContainer* GetControlContainer() = 0;

 protected:
  ~IuiContainerInnerControl() = default;
};
inline constexpr TGUID IID_IuiContainerInnerControl = TGUID::Parse("{E9B175E0-93B9-51F2-B0CB-354E3C681D37}");

// The base of every control that paints itself with container styles and may host one inner window.
class TuiContainer : public TuiControl {
  K58_CLASS(TuiContainer, TuiControl)

  explicit TuiContainer(TComponent* AOwner);
  ~TuiContainer() override;
  void AfterConstruction() override;

  TuiContainerStyles* Styles() const { return styles_.get(); }
  TuiContainerStyle* Style() const { return styles_->GetNormalStyle(); }
  void SetStyle(TuiContainerStyle* Value) { styles_->AssignNormalStyle(Value); }
  TuiContainerStyle* StyleFocused() const { return styles_->GetFocusedStyle(); }
  void SetStyleFocused(TuiContainerStyle* Value) { styles_->AssignFocusedStyle(Value); }
  TuiContainerStyle* StyleDisabled() const { return styles_->GetDisabledStyle(); }
  void SetStyleDisabled(TuiContainerStyle* Value) { styles_->AssignDisabledStyle(Value); }
  TuiContainerStyle* StyleHot() const { return styles_->GetHotStyle(); }
  void SetStyleHot(TuiContainerStyle* Value) { styles_->AssignHotStyle(Value); }

  // Whether a style value is written: a state style never writes the values the normal style holds, and
  // no style writes a value the container does not use.
  bool IsStyleValueStored(const String& AName, bool AIsStateStyle);

  // Copies the normal style's colour and font into the control.
  virtual void StyleChanged(TObject* Sender);
  virtual bool IsDefaultParentColor() { return false; }
  virtual TuiContainerStyleClass GetStyleClass() const;
  virtual TuiContainerStylesClass GetStylesClass() const;
  virtual TuiContainerStyleValues GetUnusedStyleValues() { return {}; }
  virtual bool IsInplace() { return false; }

  // ---- View and state ----
  TuiContainerViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TWinControl* InnerControl() const { return innerControl_; }
  // Descendants set the window they host.
  void SetInnerControl(TWinControl* AControl) { innerControl_ = AControl; }
  // The style of the current view state, cached per state.
  TuiContainerStyle* GetActiveStyle();
  bool IsContainerDestroying() const { return destroying_ || ComponentState().Contains(csDestroying); }
  // Recomputes the view for a point (client coordinates), applies it and repaints what changed.
  virtual bool RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent);
  bool RefreshAtCursorPos(bool AIsMouseEvent = false);
  virtual void CalculateViewInfo(const TPoint& P, bool AHotTrack);
  virtual TuiContainerStyle* CalculateActiveStyle();
  virtual void GetBorderExtent(TRect& R);
  virtual void GetShapeRect(TRect& R);
  virtual void GetHotTrackBounds(TRect& R);
  virtual bool HasShadow();
  virtual bool IsNativeStyle();
  virtual Byte GetThemedObjectType() { return 3; }
  virtual Integer GetNativePart() { return 1; }
  virtual Integer GetNativeState();
  virtual bool HasFocus() { return IsFocused(); }
  virtual void ApplyAppearanceToInnerControl();
  virtual void AdjustInnerControlBounds();
  virtual bool HandlesTabKey() { return false; }
  virtual bool CanContextPopupAt(const TPoint& /*P*/) { return true; }
  virtual void EndMouseTracking();
  virtual void FocusInnerControl();
  void UpdateWindowRegion();
  // While positive, a context menu request is answered as handled without a menu.
  void LockContextPopup(bool ALock);
  Integer ContextPopupLockCount() const { return contextPopupLock_; }
  void LockAlignControls(bool ALock);
  const TuiContainerInnerControlRegionInfo& InnerControlRegionInfo() const { return innerRegion_; }
  void ResetInnerControlRegion() { innerRegion_.IsWholeControlVisible = true; }
  virtual void CalculateInnerControlRegion(const TRect& ARect, TWinControl* AControl,
                                           TuiContainerInnerControlRegionInfo& AInfo);

  bool IsFocused() override;
  void GetClientBounds(TRect& R) override { R = viewInfo_->ClientRect; }
  void SetFocus() override;
  void FocusStateChanged() override;
  bool TakesFocusOnClick() override;
  bool MayFocus() override;
  void ChangeScale(Integer M, Integer D) override;
  // With the inner control active, it stands in the list where the container would.
  void GetTabOrderList(std::vector<TWinControl*>& List) override;
  virtual bool IsTabOrderInherited() { return false; }
  virtual bool IsTransparent() { return false; }
  virtual bool HasPopupWindow() { return false; }
  // Asked by an inner control before its own default handling; True when the container handled it.
  virtual bool HandleInnerDefaultMessage(TMessage& /*Message*/) { return false; }
  // Offered every message of the inner control first: a key that is a popup-menu short-cut of the
  // container chain is taken here (result 1).
  virtual bool ProcessInnerKeyMessage(TMessage& Message);
  virtual void SetDragKind(TDragKind AValue);
  void SetNoFocusOnClick(bool Value) { noFocusOnClick_ = Value; }
  bool NoFocusOnClick() const { return noFocusOnClick_; }

  // ---- Scroll bars mirrored from the inner control ----
  // Brings the container's bars over the inner control's native ones (unless AValuesOnly) and copies
  // range, page and position.
  virtual void SyncScrollBars(bool AValuesOnly);
  void PostSyncScrollBarsMessage();
  bool IsSyncingScrollBars() const { return syncingScrollBars_; }
  virtual void UpdateScrollBarFromInner(TuiControlScrollBar* ABar);
  // The inner bar's rectangle in client coordinates; all zero unless it lies wholly inside the container.
  virtual void GetScrollBarRectFromInfo(const SCROLLBARINFO& AInfo, TRect& R);
  virtual bool IsScrollBarEnabled(TuiControlScrollBar* ABar, const SCROLLBARINFO& AInfo);
  virtual bool GetInnerScrollBarInfo(TScrollBarKind AKind, SCROLLBARINFO& AInfo);
  virtual bool IsScrollBarInfoVisible(const SCROLLBARINFO& AInfo);
  virtual void SetScrollBarVisible(TuiControlScrollBar* ABar, bool AVisible);
  // The base container has no bars of its own; descendants that mirror an inner control's turn them on.
  bool HasScrollBars() override { return false; }
  void RecalculateScrollBars() override;
  virtual void ClipCanvasToShape();

 protected:
  void Paint() override;
  void Resize() override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeft(TControl* AControl) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void AdjustClientRect(TRect& Rect) override;
  // Descendants with other style classes pass them here.
  TuiContainer(TComponent* AOwner, TuiContainerStyleClass AStyleClass, TuiContainerStylesClass AStylesClass);
  void Loaded() override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMParentFontChanged(TMessage& Message) override;
  void ControlColorChanged() override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void ControlCursorChanged() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void WMSetCursor(TWMSetCursor& Message) override;
  bool IsInnerControlFocused();

 private:
  // The inner list box passes its input on to the container's own handlers.
  friend class TuiCustomInnerListBox;
  friend class TuiInnerControlEvents;
  TuiContainerStyleClass styleClass_;
  TuiContainerStylesClass stylesClass_;
  class Tracker;
  TObjectPtr<TuiContainerStyles> styles_;
  TObjectPtr<TuiContainerViewInfo> viewInfo_;
  std::unique_ptr<Tracker> tracker_;
  TuiContainerState cachedState_ = vsNormal;
  TuiContainerStyle* activeStyle_ = nullptr;
  TWinControl* innerControl_ = nullptr;
  TuiContainerInnerControlRegionInfo innerRegion_;
  bool adjusting_ = false;
  Integer alignLock_ = 0;
  Integer contextPopupLock_ = 0;
  bool refreshing_ = false;
  bool constructing_ = true;
  bool destroying_ = false;
  bool applyingStyle_ = false;
  bool noFocusOnClick_ = false;
  bool syncingScrollBars_ = false;
};

// How an inner control passes its mouse and drag events on to its container: after its own handling, in
// the container's coordinates. Without a container nothing is passed on and the calls return False.
class TuiInnerControlEvents {
 public:
  static bool Click(TuiContainer* AContainer);
  static bool DblClick(TuiContainer* AContainer);
  // The container sees the press without taking the focus from the inner control.
  static bool MouseDown(TuiContainer* AContainer, const TControl& AInner, TMouseButton Button, TShiftState Shift,
                        Integer X, Integer Y);
  static bool MouseMove(TuiContainer* AContainer, const TControl& AInner, TShiftState Shift, Integer X, Integer Y);
  static bool MouseUp(TuiContainer* AContainer, const TControl& AInner, TMouseButton Button, TShiftState Shift,
                      Integer X, Integer Y);
  static bool DragOver(TuiContainer* AContainer, const TControl& AInner, TObject* Source, Integer X, Integer Y,
                       TDragState State, bool& Accept);
  static bool DragDrop(TuiContainer* AContainer, const TControl& AInner, TObject* Source, Integer X, Integer Y);

  // Runs ASetBounds while the container holds back the alignment of its controls (the container places
  // and clips its inner control itself).
  template <class F>
  static void WithAlignLocked(TuiContainer* AContainer, F&& ASetBounds) {
    struct Unlock {
      TuiContainer* Container;
      ~Unlock() { Container->LockAlignControls(false); }
    };
    AContainer->LockAlignControls(true);
    Unlock unlock{AContainer};
    ASetBounds();
  }
};
