// Controls of the visual class library: the control (TControl), the windowed control (TWinControl), the
// graphic control painted by its parent (TGraphicControl) and the windowed control that paints itself on a
// canvas (TCustomControl), with bounds, alignment and anchors, size constraints, visibility, colour and
// font inherited from the parent, hints, popup menus, cursors, drag and drop, tab order and focus, mouse
// and keyboard events, and the message path of every control:
//
//   window procedure -> MainWndProc -> WindowProc (replaceable) -> WndProc -> Dispatch -> message handlers
//   -> DefaultHandler -> the window procedure the control's window class had (DefWndProc).
//
// Dispatch calls the handler of a message; handlers are virtual, so a descendant overrides the handler of a
// message its ancestors handle and calls the ancestor's ("inherited") from it. For a message no ancestor
// handles, a descendant overrides Dispatch, handles its message and passes every other one on; in its
// handler, inherited::Dispatch(Message) is the "inherited" call. Handlers that an ancestor does not have
// end in DefaultHandler.
//
// Methods the class library keeps protected are public here: the libraries built on these classes call
// them on other controls as the original code did.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/ImgList.h"
#include "platform/win/core/WinUser.h"
#include "platform/win/ui/WinUserUi.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TDragObject;
class TDragDockObject;
class TDragImageList;
class TControlCanvas;

namespace controlsconsts {
inline constexpr const char* SParentRequired = "Control '%s' has no parent window";
inline constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
inline constexpr const char* SControlParentSetToSelf = "A control cannot have itself as its parent";
inline constexpr const char* SInvalidControlParent = "'%s' cannot contain '%s'";
inline constexpr const char* SWindowClass = "Error creating window class";
inline constexpr const char* SWindowCreate = "Error creating window";
inline constexpr const char* SPropertyOutOfRange = "%s property out of range";
inline constexpr const char* SDockedCtlNeedsName = "Docked control must have a name";
}  // namespace controlsconsts

// ---- Types of the published properties -------------------------------------------------------------
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
K58_ENUM_TYPE(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
K58_SET_TYPE(TAlignSet, TAlign)

enum TAnchorKind { akLeft, akTop, akRight, akBottom };
K58_ENUM_TYPE(TAnchorKind, akLeft, akTop, akRight, akBottom)
K58_SET_TYPE(TAnchors, TAnchorKind)
inline constexpr TAnchors AnchorAlign[] = {
    TAnchors{akLeft, akTop},                    // alNone
    TAnchors{akLeft, akTop, akRight},           // alTop
    TAnchors{akLeft, akRight, akBottom},        // alBottom
    TAnchors{akLeft, akTop, akBottom},          // alLeft
    TAnchors{akRight, akTop, akBottom},         // alRight
    TAnchors{akLeft, akTop, akRight, akBottom},  // alClient
    TAnchors{akLeft, akTop},                    // alCustom
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };
K58_ENUM_TYPE(TMouseButton, mbLeft, mbRight, mbMiddle)

// Shift, Alt and Ctrl, the mouse buttons held, and ssDouble for a double click: bits 1, 2, 4 ... 64.
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
K58_ENUM_TYPE(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
K58_SET_TYPE(TShiftState, TShiftStateItem)

enum TDragMode { dmManual, dmAutomatic };
K58_ENUM_TYPE(TDragMode, dmManual, dmAutomatic)
enum TDragKind { dkDrag, dkDock };
K58_ENUM_TYPE(TDragKind, dkDrag, dkDock)
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
K58_ENUM_TYPE(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// States of an owner-drawn item (list box, combo box, menu item).
enum TOwnerDrawStateItem {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
  odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
K58_ENUM_TYPE(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
              odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
K58_SET_TYPE(TOwnerDrawState, TOwnerDrawStateItem)

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
K58_ENUM_TYPE(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)

// The border styles of forms. TBorderStyle, of other controls, has the first two values only and its own
// type information (TBorderStyleTypeInfo): a property of that type is registered with
// .Type(TBorderStyleTypeInfo()).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
K58_ENUM_TYPE(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
const TTypeInfo* TBorderStyleTypeInfo();

enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
  csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground
};
K58_ENUM_TYPE(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
              csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
              csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
              csNeedsBorderPaint, csParentBackground)
K58_SET_TYPE(TControlStyle, TControlStyleItem)

enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
  csCustomPaint, csDestroyingHandle, csDocking
};
K58_ENUM_TYPE(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
              csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking)
K58_SET_TYPE(TControlState, TControlStateItem)

using TCaption = String;
using THelpContext = Integer;
using TCursor = SmallInt;
using TModalResult = Integer;
using TImageIndex = Integer;

// Type information of the renamed scalar types; the cursor type knows the crXXX names.
const TTypeInfo* TCursorTypeInfo();
const TTypeInfo* TModalResultTypeInfo();

// Standard cursors of the screen's cursor list.
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSize = -22;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
bool CursorToIdent(Integer Cursor, String& Ident);
bool IdentToCursor(const String& Ident, Integer& Cursor);
String CursorToString(TCursor Cursor);
TCursor StringToCursor(const String& S);

// Modal results: the button answers of message boxes, then "all", "no to all" and "yes to all".
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

// ---- Events ------------------------------------------------------------------------------------------
K58_EVENT_TYPE(TMouseEvent, void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y))
K58_EVENT_TYPE(TMouseMoveEvent, void(TObject* Sender, TShiftState Shift, Integer X, Integer Y))
K58_EVENT_TYPE(TKeyEvent, void(TObject* Sender, Word& Key, TShiftState Shift))
K58_EVENT_TYPE(TKeyPressEvent, void(TObject* Sender, char& Key))
K58_EVENT_TYPE(TMouseWheelEvent,
               void(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled))
K58_EVENT_TYPE(TMouseWheelUpDownEvent, void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled))
K58_EVENT_TYPE(TCanResizeEvent, void(TObject* Sender, Integer& NewWidth, Integer& NewHeight, bool& Resize))
K58_EVENT_TYPE(TConstrainedResizeEvent,
               void(TObject* Sender, Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight))
K58_EVENT_TYPE(TContextPopupEvent, void(TObject* Sender, TPoint MousePos, bool& Handled))
K58_EVENT_TYPE(TDragOverEvent,
               void(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept))
K58_EVENT_TYPE(TDragDropEvent, void(TObject* Sender, TObject* Source, Integer X, Integer Y))
K58_EVENT_TYPE(TStartDragEvent, void(TObject* Sender, TDragObject*& DragObject))
// The same signature as TDragDropEvent (Target in place of Source): properties of this type are registered
// with .Type("TEndDragEvent").
using TEndDragEvent = TDragDropEvent;
K58_EVENT_TYPE(TDockDropEvent, void(TObject* Sender, TDragDockObject* Source, Integer X, Integer Y))
K58_EVENT_TYPE(TDockOverEvent,
               void(TObject* Sender, TDragDockObject* Source, Integer X, Integer Y, TDragState State, bool& Accept))
K58_EVENT_TYPE(TUnDockEvent, void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow))
K58_EVENT_TYPE(TStartDockEvent, void(TObject* Sender, TDragDockObject*& DragObject))

// A control's message handler, the type of WindowProc.
using TWndMethod = Delegate<void(TMessage& Message)>;

// ---- Hints -------------------------------------------------------------------------------------------
// What CM_HINTSHOW (LParam: a pointer to it) lets the control under the mouse change before its hint shows.
struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos{};         // screen coordinates
  Integer HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect{};       // the hint goes when the mouse leaves it (client coordinates)
  TPoint CursorPos{};       // client coordinates
  Integer ReshowTimeout = 0;
  Integer HideTimeout = 0;
  String HintStr;
  void* HintData = nullptr;
};
using PHintInfo = THintInfo*;

struct TCMHintShow : TMessage {
  THintInfo* HintInfo() const { return reinterpret_cast<THintInfo*>(LParam); }
};

// ---- Size constraints --------------------------------------------------------------------------------
// Smallest and largest width and height of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
  K58_CLASS(TSizeConstraints, TPersistent)

  explicit TSizeConstraints(TControl* Control);
  TSizeConstraints() : TSizeConstraints(nullptr) {}
  void Assign(TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) override;

  Integer MaxHeight() const { return maxHeight_; }
  void SetMaxHeight(Integer Value);
  Integer MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(Integer Value);
  Integer MinHeight() const { return minHeight_; }
  void SetMinHeight(Integer Value);
  Integer MinWidth() const { return minWidth_; }
  void SetMinWidth(Integer Value);
  TControl* Control() const { return control_; }

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }

 protected:
  virtual void Change();

 private:
  TControl* control_;
  Integer maxHeight_ = 0;
  Integer maxWidth_ = 0;
  Integer minHeight_ = 0;
  Integer minWidth_ = 0;
  TNotifyEvent onChange_;
};

// ---- The control -------------------------------------------------------------------------------------
class TControl : public TComponent {
  K58_CLASS(TControl, TComponent)

  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- Bounds ----
  Integer Left() const { return left_; }
  void SetLeft(Integer Value) { SetBounds(Value, top_, width_, height_); }
  Integer Top() const { return top_; }
  void SetTop(Integer Value) { SetBounds(left_, Value, width_, height_); }
  Integer Width() const { return width_; }
  void SetWidth(Integer Value) { SetBounds(left_, top_, Value, height_); }
  Integer Height() const { return height_; }
  void SetHeight(Integer Value) { SetBounds(left_, top_, width_, Value); }
  TRect BoundsRect() const { return TRect{left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const TRect& Rect) { SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top); }
  // Moves and sizes the control in one step; the size is first checked against the constraints and
  // OnCanResize.
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  // The client area in the control's own coordinates.
  virtual TRect GetClientRect();
  TRect ClientRect() { return GetClientRect(); }
  Integer ClientWidth() { return GetClientRect().right; }
  void SetClientWidth(Integer Value);
  Integer ClientHeight() { return GetClientRect().bottom; }
  void SetClientHeight(Integer Value);
  // The screen position of the client area's origin.
  virtual TPoint GetClientOrigin();
  TPoint ClientOrigin() { return GetClientOrigin(); }
  TPoint ClientToScreen(const TPoint& Point);
  TPoint ScreenToClient(const TPoint& Point);
  // Scales bounds (and the font unless the parent's font is used) by M/D.
  virtual void ChangeScale(Integer M, Integer D);

  // ---- Alignment, anchors, constraints ----
  TAlign Align() const { return align_; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return constraints_; }
  void SetConstraints(TSizeConstraints* Value) { constraints_->Assign(Value); }
  // Asks the parent to realign its controls after this control changed place, size or visibility.
  virtual void RequestAlign();
  // Remembers the distances to the parent's edges that the anchors keep.
  void UpdateAnchorRules();
  // AutoSize: the control adjusts its size to its contents (through CanAutoSize).
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool Value);
  virtual void AdjustSize();

  // ---- Parent, visibility, state ----
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool Value);
  void Show();
  void Hide();
  virtual bool GetEnabled() const { return enabled_; }
  virtual void SetEnabled(bool Value);
  bool Enabled() const { return GetEnabled(); }
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle Value) { controlStyle_ = Value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState Value) { controlState_ = Value; }
  void SetName(const String& NewName) override;
  bool IsRightToLeft() const { return false; }

  // ---- Text ----
  String Text() { return GetText(); }
  void SetText(const String& Value);
  String Caption() { return GetText(); }
  void SetCaption(const String& Value) { SetText(Value); }
  // Copies the text, ended by a zero, into Buffer; answers the number of characters (bytes) copied.
  Integer GetTextBuf(char* Buffer, Integer BufSize);
  Integer GetTextLen();
  void SetTextBuf(const char* Buffer);

  // ---- Colour, font, hint, menu, cursor ----
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value) { hint_ = Value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool Value);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* Value);
  // The menu a right click shows: the control's own.
  virtual TPopupMenu* GetPopupMenu() { return popupMenu_; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext Value) { helpContext_ = Value; }

  // ---- Drawing ----
  virtual void Invalidate();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  virtual void Update();
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrder(bool TopMost);
  // A device context on the parent's window, with its origin at the control's top left.
  virtual HDC GetDeviceContext(HWND& WindowHandle);
  // Invalidates the part of the parent the control covers (with erasing unless it is opaque).
  void InvalidateControl(bool IsVisible, bool IsOpaque);

  // ---- Messages ----
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  const TWndMethod& WindowProc() const { return windowProc_; }
  void SetWindowProc(const TWndMethod& Value) { windowProc_ = Value; }
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // ---- Mouse and keyboard ----
  bool MouseCapture();
  void SetMouseCapture(bool Value);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual void MouseEnter() { onMouseEnter_(this); }
  virtual void MouseLeave() { onMouseLeave_(this); }

  // ---- Sizing ----
  virtual void Resize();
  virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
  virtual bool CanAutoSize(Integer& NewWidth, Integer& NewHeight);
  virtual void ConstrainedResize(Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight);
  // The size after OnCanResize, auto size and the constraints; false when the size may not change.
  bool CheckNewSize(Integer& NewWidth, Integer& NewHeight);

  // ---- Drag and drop, docking ----
  TDragMode DragMode() const { return dragMode_; }
  virtual void SetDragMode(TDragMode Value) { dragMode_ = Value; }
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind Value) { dragKind_ = Value; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor Value) { dragCursor_ = Value; }
  // Starts dragging the control: at once, or when the mouse has moved Threshold pixels (-1: the mouse
  // object's DragThreshold) with the left button down.
  void BeginDrag(bool Immediate, Integer Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;
  virtual void DragDrop(TObject* Source, Integer X, Integer Y);
  virtual void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, Integer X, Integer Y);
  virtual void DoStartDock(TDragDockObject*& DragObject);
  virtual void DoEndDock(TObject* Target, Integer X, Integer Y);
  virtual TDragImageList* GetDragImages() { return nullptr; }
  // The site the control is docked in (nil when it is not docked).
  TWinControl* HostDockSite() const { return hostDockSite_; }
  void SetHostDockSite(TWinControl* Value);
  // Docks the control in NewDockSite (nil: takes it out of its site); answers whether it was docked.
  bool ManualDock(TWinControl* NewDockSite, TControl* DropControl = nullptr, TAlign ControlSide = alNone);
  bool Floating() const { return hostDockSite_ == nullptr && dockedOnce_; }
  // Tells the site the control is docked in of a message it has handled (nothing when it is not docked).
  void NotifyHostDockSite(UINT Msg, WPARAM WParam, LPARAM LParam);

  // ---- Streaming ----
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Font and colour properties are stored only when they are not the parent's.
  bool IsColorStored() const { return !parentColor_; }
  bool IsFontStored() const { return !parentFont_; }
  bool IsShowHintStored() const { return !parentShowHint_; }

  // ---- Events ----
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(const TNotifyEvent& Value) { onClick_ = Value; }
  const TNotifyEvent& OnDblClick() const { return onDblClick_; }
  void SetOnDblClick(const TNotifyEvent& Value) { onDblClick_ = Value; }
  const TMouseEvent& OnMouseDown() const { return onMouseDown_; }
  void SetOnMouseDown(const TMouseEvent& Value) { onMouseDown_ = Value; }
  const TMouseMoveEvent& OnMouseMove() const { return onMouseMove_; }
  void SetOnMouseMove(const TMouseMoveEvent& Value) { onMouseMove_ = Value; }
  const TMouseEvent& OnMouseUp() const { return onMouseUp_; }
  void SetOnMouseUp(const TMouseEvent& Value) { onMouseUp_ = Value; }
  const TMouseWheelEvent& OnMouseWheel() const { return onMouseWheel_; }
  void SetOnMouseWheel(const TMouseWheelEvent& Value) { onMouseWheel_ = Value; }
  const TMouseWheelUpDownEvent& OnMouseWheelDown() const { return onMouseWheelDown_; }
  void SetOnMouseWheelDown(const TMouseWheelUpDownEvent& Value) { onMouseWheelDown_ = Value; }
  const TMouseWheelUpDownEvent& OnMouseWheelUp() const { return onMouseWheelUp_; }
  void SetOnMouseWheelUp(const TMouseWheelUpDownEvent& Value) { onMouseWheelUp_ = Value; }
  const TNotifyEvent& OnMouseEnter() const { return onMouseEnter_; }
  void SetOnMouseEnter(const TNotifyEvent& Value) { onMouseEnter_ = Value; }
  const TNotifyEvent& OnMouseLeave() const { return onMouseLeave_; }
  void SetOnMouseLeave(const TNotifyEvent& Value) { onMouseLeave_ = Value; }
  const TNotifyEvent& OnResize() const { return onResize_; }
  void SetOnResize(const TNotifyEvent& Value) { onResize_ = Value; }
  const TCanResizeEvent& OnCanResize() const { return onCanResize_; }
  void SetOnCanResize(const TCanResizeEvent& Value) { onCanResize_ = Value; }
  const TConstrainedResizeEvent& OnConstrainedResize() const { return onConstrainedResize_; }
  void SetOnConstrainedResize(const TConstrainedResizeEvent& Value) { onConstrainedResize_ = Value; }
  const TContextPopupEvent& OnContextPopup() const { return onContextPopup_; }
  void SetOnContextPopup(const TContextPopupEvent& Value) { onContextPopup_ = Value; }
  const TDragDropEvent& OnDragDrop() const { return onDragDrop_; }
  void SetOnDragDrop(const TDragDropEvent& Value) { onDragDrop_ = Value; }
  const TDragOverEvent& OnDragOver() const { return onDragOver_; }
  void SetOnDragOver(const TDragOverEvent& Value) { onDragOver_ = Value; }
  const TStartDragEvent& OnStartDrag() const { return onStartDrag_; }
  void SetOnStartDrag(const TStartDragEvent& Value) { onStartDrag_ = Value; }
  const TEndDragEvent& OnEndDrag() const { return onEndDrag_; }
  void SetOnEndDrag(const TEndDragEvent& Value) { onEndDrag_ = Value; }
  const TStartDockEvent& OnStartDock() const { return onStartDock_; }
  void SetOnStartDock(const TStartDockEvent& Value) { onStartDock_ = Value; }
  const TEndDragEvent& OnEndDock() const { return onEndDock_; }
  void SetOnEndDock(const TEndDragEvent& Value) { onEndDock_ = Value; }

  // ---- Message handlers ----
  virtual void WMLButtonDown(TWMMouse& Message);
  virtual void WMLButtonDblClk(TWMMouse& Message);
  virtual void WMLButtonUp(TWMMouse& Message);
  virtual void WMRButtonDown(TWMMouse& Message);
  virtual void WMRButtonDblClk(TWMMouse& Message);
  virtual void WMRButtonUp(TWMMouse& Message);
  virtual void WMMButtonDown(TWMMouse& Message);
  virtual void WMMButtonDblClk(TWMMouse& Message);
  virtual void WMMButtonUp(TWMMouse& Message);
  virtual void WMMouseMove(TWMMouse& Message);
  virtual void WMMouseWheel(TWMMouseWheel& Message);
  virtual void WMContextMenu(TWMContextMenu& Message);
  virtual void WMCancelMode(TWMNoParams& Message);
  virtual void WMWindowPosChanged(TWMWindowPosMsg& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMParentShowHintChanged(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);
  virtual void CMMouseEnter(TCMMouseEnter& Message);
  virtual void CMMouseLeave(TCMMouseLeave& Message);
  virtual void CMHintShow(TCMHintShow& Message);
  virtual void CMDesignHitTest(TWMMouse& Message);
  virtual void CMMouseWheel(TMessage& Message);
  virtual void CMFloat(TMessage& Message);

 protected:
  // Mouse message to mouse event, shared by the button handlers.
  void DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TWMMouse& Message, TMouseButton Button);
  virtual String GetText();
  void FontChanged(TObject* Sender);
  void DoConstraintsChange(TObject* Sender);
  // Called when the Visible property is about to change.
  virtual void VisibleChanging() {}
  // Updates the bounds after the control's window moved (TWinControl) without SetBounds.
  void UpdateBoundsRect(const TRect& R);
  void SendCancelMode(TControl* Sender);
  virtual void DoDock(TWinControl* NewDockSite, TRect& ARect);

 private:
  friend class TWinControl;
  friend class TCustomForm;
  friend class TSizeConstraints;
  friend struct ControlsAccess;

  void CheckedSetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);

  TWinControl* parent_ = nullptr;
  Integer left_ = 0;
  Integer top_ = 0;
  Integer width_ = 0;
  Integer height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  // Distances to the parent's edges the anchors keep, and the parent's client size they were taken at.
  TPoint anchorOrigin_{};     // left and top
  TPoint anchorFar_{};        // distances of the right and bottom edges to the parent's
  TPoint anchorParentSize_{};
  bool anchorMove_ = false;
  TSizeConstraints* constraints_;
  bool autoSize_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;
  String text_;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  TObjectPtr<TFont> font_;
  bool parentFont_ = true;
  String hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  TCursor cursor_ = crDefault;
  THelpContext helpContext_ = 0;
  TDragMode dragMode_ = dmManual;
  TDragKind dragKind_ = dkDrag;
  TCursor dragCursor_ = crDrag;
  TWinControl* hostDockSite_ = nullptr;
  bool dockedOnce_ = false;
  TWndMethod windowProc_;
  Integer wheelAccumulator_ = 0;
  // Set while the control exists, so a handler can tell whether the control was freed under it.
  std::shared_ptr<bool> alive_;

  TNotifyEvent onClick_;
  TNotifyEvent onDblClick_;
  TMouseEvent onMouseDown_;
  TMouseMoveEvent onMouseMove_;
  TMouseEvent onMouseUp_;
  TMouseWheelEvent onMouseWheel_;
  TMouseWheelUpDownEvent onMouseWheelDown_;
  TMouseWheelUpDownEvent onMouseWheelUp_;
  TNotifyEvent onMouseEnter_;
  TNotifyEvent onMouseLeave_;
  TNotifyEvent onResize_;
  TCanResizeEvent onCanResize_;
  TConstrainedResizeEvent onConstrainedResize_;
  TContextPopupEvent onContextPopup_;
  TDragDropEvent onDragDrop_;
  TDragOverEvent onDragOver_;
  TStartDragEvent onStartDrag_;
  TEndDragEvent onEndDrag_;
  TStartDockEvent onStartDock_;
  TEndDragEvent onEndDock_;

 public:
  // A token that turns false when the control is freed (for code that may free the control it runs on).
  std::weak_ptr<bool> AliveToken() const { return alive_; }
};

// ---- Window creation parameters ------------------------------------------------------------------------
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Integer X = 0;
  Integer Y = 0;
  Integer Width = 0;
  Integer Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  // lpszClassName is ignored: the class is registered under WinClassName.
  WNDCLASS WindowClass;
  String WinClassName;
};

// ---- The windowed control ------------------------------------------------------------------------------
class TWinControl : public TControl {
  K58_CLASS(TWinControl, TControl)

  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;
  // A parentless control placed in a foreign window.
  static TWinControl* CreateParented(TClass Cls, HWND ParentWindow);

  // ---- Handle ----
  // The window, created (with the parent's first) when it does not exist yet.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  virtual void CreateHandle();
  void DestroyHandle();
  // Destroys the window, keeping text, bounds and state; it is made again when next needed (at once when
  // the control is showing).
  void RecreateWnd();
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // Subclasses a window class of the system: the control's windows are of that class with the control's
  // procedure in front of the class's own (DefWndProc).
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  WNDPROC DefWndProc() const { return defWndProc_; }
  void SetDefWndProc(WNDPROC Value) { defWndProc_ = Value; }
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND Value);
  // Receives every message of the control's window and passes it to WindowProc; exceptions go to the
  // application.
  void MainWndProc(TMessage& Message);

  // ---- Children ----
  Integer ControlCount() const { return static_cast<Integer>(controls_.size() + winControls_.size()); }
  // Graphic controls first, then windowed controls, each in z-order from the bottom.
  TControl* Controls(Integer Index) const;
  bool ContainsControl(TControl* Control) const;
  // The visible (and enabled unless AllowDisabled) child at Pos (client coordinates); windowed children
  // only with AllowWinControls. The topmost one wins.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  // Sends the message to every child until one answers it (Result not 0).
  void Broadcast(TMessage& Message);
  // Sends the message to every child whose property follows the parent's.
  void NotifyControls(UINT Msg);
  virtual void SetParent(TWinControl* AParent) override;

  // ---- Alignment ----
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return alignLevel_ != 0; }
  void Realign();
  // Aligns the children inside Rect (the client rectangle after AdjustClientRect).
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  void AlignControl(TControl* AControl);
  // Position and insertion order of alCustom controls.
  virtual void CustomAlignPosition(TControl* /*Control*/, Integer& /*NewLeft*/, Integer& /*NewTop*/,
                                   Integer& /*NewWidth*/, Integer& /*NewHeight*/, TRect& /*AlignRect*/) {}
  virtual bool CustomAlignInsertBefore(TControl* /*C1*/, TControl* /*C2*/) { return false; }
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  TRect GetClientRect() override;
  TPoint GetClientOrigin() override;
  // Reads the window's position and size into the bounds.
  void UpdateBounds();

  // ---- Showing ----
  // Visible, and every parent is visible, up to a window that is shown.
  bool Showing() const { return showing_; }
  void UpdateControlState();
  virtual void SetZOrder(bool TopMost) override;

  // ---- Focus and tab order ----
  bool Focused();
  virtual bool CanFocus();
  virtual void SetFocus();
  Integer TabOrder() const;
  void SetTabOrder(Integer Value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool Value);
  // Windowed children and theirs, in tab order.
  virtual void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  void SelectFirst();

  // ---- Appearance ----
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool Value);
  bool IsCtl3DStored() const { return !parentCtl3D_; }
  bool ParentBackground() const { return controlStyle_.Contains(csParentBackground); }
  void SetParentBackground(bool Value);
  // Paints into an off-screen bitmap and copies it to the window in one step.
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool Value) { doubleBuffered_ = Value; }
  Integer BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(Integer Value);
  // The brush of the control's colour that its background is erased with.
  TBrush* Brush() const { return brush_.get(); }
  void Invalidate() override;
  void Repaint() override;
  void Update() override;
  HDC GetDeviceContext(HWND& WindowHandle) override;

  // ---- Painting ----
  // Paints the window and its graphic children on a device context (WM_PAINT with the DC in WParam).
  void PaintHandler(TWMPaint& Message);
  virtual void PaintWindow(HDC DC);
  void PaintControls(HDC DC, TControl* First);
  // Paints the control and its children onto DC at (X, Y).
  void PaintTo(HDC DC, Integer X, Integer Y);
  // The parent's background behind the control, for controls with a transparent background.
  void PaintParentBackground(HDC DC);

  // ---- Keyboard ----
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  bool DoKeyDown(TWMKey& Message);
  bool DoKeyUp(TWMKey& Message);
  bool DoKeyPress(TWMKey& Message);
  virtual void DoEnter();
  virtual void DoExit();
  // Short-cut test of the menus: the popup menus up the parent chain, then the form's.
  bool IsMenuKey(TWMKey& Message);

  // ---- Docking ----
  bool DockSite() const { return dockSite_; }
  void SetDockSite(bool Value) { dockSite_ = Value; }
  Integer DockClientCount() const { return static_cast<Integer>(dockClients_.size()); }
  TControl* DockClients(Integer Index) const { return dockClients_.at(static_cast<size_t>(Index)); }
  virtual void DockDrop(TDragDockObject* Source, Integer X, Integer Y);
  virtual void DockOver(TDragDockObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
  // Whether Client may dock here, and where a drop near MousePos (screen) docks it: by default anywhere
  // over the site's window.
  virtual void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock);
  // A docking control joins the site (by default it becomes a child of it); a control has left the site.
  virtual void DoAddDockClient(TControl* Client, const TRect& ARect);
  virtual void DoRemoveDockClient(TControl* /*Client*/) {}

  // ---- Streaming ----
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  void ReadState(TReader* Reader) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ChangeScale(Integer M, Integer D) override;

  // ---- Events ----
  const TNotifyEvent& OnEnter() const { return onEnter_; }
  void SetOnEnter(const TNotifyEvent& Value) { onEnter_ = Value; }
  const TNotifyEvent& OnExit() const { return onExit_; }
  void SetOnExit(const TNotifyEvent& Value) { onExit_ = Value; }
  const TKeyEvent& OnKeyDown() const { return onKeyDown_; }
  void SetOnKeyDown(const TKeyEvent& Value) { onKeyDown_ = Value; }
  const TKeyPressEvent& OnKeyPress() const { return onKeyPress_; }
  void SetOnKeyPress(const TKeyPressEvent& Value) { onKeyPress_ = Value; }
  const TKeyEvent& OnKeyUp() const { return onKeyUp_; }
  void SetOnKeyUp(const TKeyEvent& Value) { onKeyUp_ = Value; }
  const TDockDropEvent& OnDockDrop() const { return onDockDrop_; }
  void SetOnDockDrop(const TDockDropEvent& Value) { onDockDrop_ = Value; }
  const TDockOverEvent& OnDockOver() const { return onDockOver_; }
  void SetOnDockOver(const TDockOverEvent& Value) { onDockOver_ = Value; }
  const TUnDockEvent& OnUnDock() const { return onUnDock_; }
  void SetOnUnDock(const TUnDockEvent& Value) { onUnDock_ = Value; }

  // ---- Messages ----
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  virtual void WMPaint(TWMPaint& Message);
  virtual void WMEraseBkgnd(TWMEraseBkgnd& Message);
  virtual void WMPrintClient(TWMPrintClient& Message);
  virtual void WMCommand(TWMCommand& Message);
  virtual void WMNotify(TWMNotify& Message);
  virtual void WMDrawItem(TWMDrawItem& Message);
  virtual void WMMeasureItem(TWMMeasureItem& Message);
  virtual void WMDeleteItem(TMessage& Message);
  virtual void WMCompareItem(TMessage& Message);
  virtual void WMCtlColor(TWMCtlColor& Message);
  virtual void WMHScroll(TWMScroll& Message);
  virtual void WMVScroll(TWMScroll& Message);
  virtual void WMCharToItem(TMessage& Message);
  virtual void WMVKeyToItem(TMessage& Message);
  virtual void WMSize(TWMSize& Message);
  virtual void WMMove(TWMMove& Message);
  void WMWindowPosChanged(TWMWindowPosMsg& Message) override;
  virtual void WMWindowPosChanging(TWMWindowPosMsg& Message);
  virtual void WMSetCursor(TWMSetCursor& Message);
  virtual void WMSetFocus(TWMSetFocus& Message);
  virtual void WMKillFocus(TWMKillFocus& Message);
  virtual void WMKeyDown(TWMKey& Message);
  virtual void WMSysKeyDown(TWMKey& Message);
  virtual void WMKeyUp(TWMKey& Message);
  virtual void WMSysKeyUp(TWMKey& Message);
  virtual void WMChar(TWMKey& Message);
  virtual void WMSysCommand(TWMSysCommand& Message);
  virtual void WMContextMenu(TWMContextMenu& Message) override;
  virtual void WMNCDestroy(TMessage& Message);
  virtual void WMNCHitTest(TWMNCHitTest& Message);
  virtual void WMQueryEndSession(TMessage& Message);
  virtual void WMSysColorChange(TMessage& Message);
  virtual void WMWinIniChange(TMessage& Message);
  virtual void WMFontChange(TMessage& Message);
  virtual void WMTimeChange(TMessage& Message);
  virtual void WMMouseWheel(TWMMouseWheel& Message) override;
  virtual void CNKeyDown(TWMKey& Message);
  virtual void CNKeyUp(TWMKey& Message);
  virtual void CNChar(TWMKey& Message);
  virtual void CNSysKeyDown(TWMKey& Message);
  virtual void CNSysChar(TWMKey& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CMFocusChanged(TCMFocusChanged& Message);
  virtual void CMDialogKey(TCMDialogKey& Message);
  virtual void CMDialogChar(TCMDialogChar& Message);
  virtual void CMChildKey(TCMChildKey& Message);
  virtual void CMWantSpecialKey(TCMWantSpecialKey& /*Message*/) {}
  virtual void CMShowingChanged(TMessage& Message);
  virtual void CMShowHintChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  virtual void CMCtl3DChanged(TMessage& Message);
  virtual void CMParentCtl3DChanged(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message);
  virtual void CMWinIniChange(TMessage& Message);
  virtual void CMSysFontChanged(TMessage& Message);
  virtual void CMInvalidate(TMessage& Message);
  virtual void CMRecreateWnd(TMessage& Message);
  virtual void CMCursorChanged(TMessage& Message);
  virtual void CMTabStopChanged(TMessage& /*Message*/) {}
  virtual void CMDockClient(TMessage& Message);
  virtual void CMUnDockClient(TMessage& Message);
  virtual void CMMouseWheel(TMessage& Message) override;

 protected:
  void DestroyControlTree();
  // Mouse messages over a graphic child (or the one that has the capture) go to it.
  bool IsControlMouseMsg(TWMMouse& Message);
  // The mouse enter/leave tracking of graphic children.
  void UpdateShowing();
  void SetTextToWindow(const String& Value);
  void ReadWindowText();

 private:
  friend class TControl;
  friend class TCustomForm;
  friend struct ControlsAccess;

  void Insert(TControl* AControl);
  void Remove(TControl* AControl);
  void AlignControlsNow(TControl* AControl);
  bool AlignWork();
  void DoAlign(TControl* AControl, TAlign AAlign, TRect& Rect);
  void DestroyWindowHandleQuietly();
  void ShowWindowState();

  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  std::vector<TControl*> controls_;      // graphic children, bottom first
  std::vector<TWinControl*> winControls_;  // windowed children, bottom first
  std::vector<TWinControl*> tabList_;
  Integer alignLevel_ = 0;
  bool showing_ = false;
  bool tabStop_ = false;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  bool doubleBuffered_ = false;
  Integer borderWidth_ = 0;
  bool dockSite_ = false;
  std::vector<TControl*> dockClients_;
  TObjectPtr<TBrush> brush_;
  bool recreating_ = false;

  TNotifyEvent onEnter_;
  TNotifyEvent onExit_;
  TKeyEvent onKeyDown_;
  TKeyPressEvent onKeyPress_;
  TKeyEvent onKeyUp_;
  TDockDropEvent onDockDrop_;
  TDockOverEvent onDockOver_;
  TUnDockEvent onUnDock_;
  WideChar pendingHighSurrogate_ = 0;
};

// ---- Canvases of controls ------------------------------------------------------------------------------
// A canvas on a control: outside painting it draws through a device context of the control's window (of
// the parent's, for a graphic control) taken when first needed and released by FreeHandle.
class TControlCanvas : public TCanvas {
  K58_CLASS(TControlCanvas, TCanvas)

  TControlCanvas() = default;
  ~TControlCanvas() override;

  TControl* Control() const { return control_; }
  void SetControl(TControl* Value);
  // Releases the device context taken from the control's window.
  void FreeHandle();
  // Keeps the text flags in line with the control's reading order.
  void UpdateTextFlags();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_ = nullptr;
  HDC deviceContext_ = nullptr;
  HWND windowHandle_ = nullptr;
};

// A control without a window, painted by its parent (a label, a shape, a bevel).
class TGraphicControl : public TControl {
  K58_CLASS(TGraphicControl, TControl)

  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;

  TCanvas* Canvas() const { return canvas_.get(); }
  virtual void Paint() {}
  void Dispatch(TMessage& Message) override;
  virtual void WMPaint(TWMPaint& Message);

 private:
  TObjectPtr<TControlCanvas> canvas_;
};

// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl {
  K58_CLASS(TCustomControl, TWinControl)

  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  TCanvas* Canvas() const { return canvas_.get(); }
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void WMPaint(TWMPaint& Message) override;

 private:
  TObjectPtr<TControlCanvas> canvas_;
};

// ---- Drag and drop -------------------------------------------------------------------------------------
// An image list that shows one of its images under the mouse while something is dragged. The image is a
// top-most window of its own that lets the mouse through, so painting below it never disturbs it.
class TDragImageList : public TCustomImageList {
  K58_CLASS(TDragImageList, TCustomImageList)

  explicit TDragImageList(TComponent* AOwner);
  TDragImageList(Integer AWidth, Integer AHeight);
  ~TDragImageList() override;

  // The image shown while dragging, and the point of it that sits under the mouse.
  bool SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY);
  Integer DragIndex() const { return dragIndex_; }
  TPoint DragHotspot() const { return hotspot_; }
  void SetDragHotspot(const TPoint& Value) { hotspot_ = Value; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor Value) { dragCursor_ = Value; }
  // Starts showing the image at (X, Y) in Window's client coordinates (screen coordinates for nil).
  bool BeginDrag(HWND Window, Integer X, Integer Y);
  // Moves it to (X, Y) in the coordinates BeginDrag was given.
  bool DragMove(Integer X, Integer Y);
  bool EndDrag();
  void HideDragImage();
  void ShowDragImage();
  bool Dragging() const { return dragging_; }
  // The screen rectangle the image covers now (empty when hidden).
  TRect DragImageRect() const;

 private:
  void Place();

  Integer dragIndex_ = 0;
  TPoint hotspot_{};
  TCursor dragCursor_ = crNone;
  HWND dragWindow_ = nullptr;  // the window BeginDrag was given
  HWND imageWindow_ = nullptr;
  TPoint pos_{};               // screen position of the mouse
  bool dragging_ = false;
  bool hidden_ = false;
};

// What is being dragged. The drag manager makes one for a control that starts dragging (or takes the one
// OnStartDrag gives), follows the mouse, asks the controls under it whether they accept the object
// (DragOver), and drops it on one that does (DragDrop).
class TDragObject : public TObject {
  K58_CLASS(TDragObject, TObject)

  TDragObject() = default;
  ~TDragObject() override;

  // Screen position of the mouse, the target under it and the point in the target's client coordinates.
  TPoint DragPos() const { return dragPos_; }
  TControl* DragTarget() const { return dragTarget_; }
  TPoint DragTargetPos() const { return dragTargetPos_; }
  HWND DragHandle() const { return dragHandle_; }
  bool Cancelling() const { return cancelling_; }
  bool Dropped() const { return dropped_; }
  // The object frees itself when the drag ends (objects made by the drag manager do).
  bool AlwaysShowDragImages() const { return false; }

  virtual TCursor GetDragCursor(bool Accepted, Integer X, Integer Y);
  virtual TDragImageList* GetDragImages();
  virtual void HideDragImage();
  virtual void ShowDragImage();
  // Called when the drag ends: on the target when dropped (Accepted), with nil target otherwise.
  virtual void Finished(TObject* Target, Integer X, Integer Y, bool Accepted);
  virtual String GetName();
  // The object the targets see as Source: the dragged control for control drags.
  virtual TObject* Source() { return this; }

 private:
  friend struct DragManager;
  TPoint dragPos_{};
  TControl* dragTarget_ = nullptr;
  TPoint dragTargetPos_{};
  HWND dragHandle_ = nullptr;
  bool cancelling_ = false;
  bool dropped_ = false;

 public:
  bool AutoFree = false;
};

// Dragging a control: targets see the control as the source.
class TBaseDragControlObject : public TDragObject {
  K58_CLASS(TBaseDragControlObject, TDragObject)

  explicit TBaseDragControlObject(TControl* AControl) : control_(AControl) {}
  TBaseDragControlObject() = default;
  TControl* Control() const { return control_; }
  void SetControl(TControl* Value) { control_ = Value; }
  TObject* Source() override { return control_; }
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;

 protected:
  virtual void EndDrag(TObject* Target, Integer X, Integer Y);

 private:
  TControl* control_ = nullptr;
};

class TDragControlObject : public TBaseDragControlObject {
  K58_CLASS(TDragControlObject, TBaseDragControlObject)

  explicit TDragControlObject(TControl* AControl) : TBaseDragControlObject(AControl) {}
  TDragControlObject() = default;
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
  TDragImageList* GetDragImages() override;
};

// What a docked control tells its site with CM_DOCKNOTIFICATION (WParam: the control, LParam: this
// record): a message it has handled, WM_SETTEXT (MsgLParam: the new text) or CM_VISIBLECHANGED (MsgWParam:
// the new visibility).
struct TDockNotifyRec {
  UINT ClientMsg;
  WPARAM MsgWParam;
  LPARAM MsgLParam;
};

// Dragging a control to dock it: the target is a dock site; DropAlign says where the control goes.
class TDragDockObject : public TBaseDragControlObject {
  K58_CLASS(TDragDockObject, TBaseDragControlObject)

  explicit TDragDockObject(TControl* AControl) : TBaseDragControlObject(AControl) {}
  TDragDockObject() = default;
  TRect DockRect() const { return dockRect_; }
  void SetDockRect(const TRect& Value) { dockRect_ = Value; }
  TAlign DropAlign() const { return dropAlign_; }
  void SetDropAlign(TAlign Value) { dropAlign_ = Value; }
  TControl* DropOnControl() const { return dropOnControl_; }
  void SetDropOnControl(TControl* Value) { dropOnControl_ = Value; }
  bool Floating() const { return floating_; }
  void SetFloating(bool Value) { floating_ = Value; }

 protected:
  void EndDrag(TObject* Target, Integer X, Integer Y) override;

 private:
  TRect dockRect_{};
  TAlign dropAlign_ = alNone;
  TControl* dropOnControl_ = nullptr;
  bool floating_ = false;
};

// The control under a screen point that accepts drops: the deepest windowed control, or its graphic
// child there. Nil over windows that are not controls.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// The drag in progress (nil when none).
TDragObject* DragObject();
// Ends the drag in progress without dropping; called from a start-drag step (OnStartDrag, DoStartDrag) it
// keeps the drag from starting.
void CancelDrag();
bool IsDragObject(TObject* Sender);

// ---- Finding controls --------------------------------------------------------------------------------
// The control that owns the window (nil for windows of no control).
TWinControl* FindControl(HWND Handle);
// The control under a screen point.
TWinControl* FindVCLWindow(const TPoint& Pos);
// The form a control is on (nil when it is on none).
TCustomForm* GetParentForm(TControl* Control);
// The same, raising EInvalidOperation "Control 'X' has no parent window" when there is none.
TCustomForm* ValidParentForm(TControl* Control);
// The control with the mouse capture (a graphic control when one took it through its parent).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

// Shift state from the key data of a key message, and from the key flags of a mouse message.
TShiftState KeyDataToShiftState(LongInt KeyData);
TShiftState KeysToShiftState(Word Keys);
// The keyboard state now (Shift, Ctrl, Alt and the mouse buttons).
TShiftState KeyboardStateToShiftState();

// ---- The mouse -----------------------------------------------------------------------------------------
class TMouse : public TObject {
  K58_CLASS(TMouse, TObject)

  TMouse() = default;

  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& Value);
  HWND Capture() const;
  void SetCapture(HWND Value);
  // Pixels the mouse must move with the button down before a pending drag starts.
  Integer DragThreshold() const { return dragThreshold_; }
  void SetDragThreshold(Integer Value) { dragThreshold_ = Value; }
  bool DragImmediate() const { return dragImmediate_; }
  void SetDragImmediate(bool Value) { dragImmediate_ = Value; }
  bool IsDragging() const { return DragObject() != nullptr; }
  bool MousePresent() const { return true; }
  bool WheelPresent() const { return true; }
  // Lines one wheel notch scrolls (the system setting, 3 by default).
  Integer WheelScrollLines() const;
  void SetWheelScrollLines(Integer Value) { wheelScrollLines_ = Value; }

 private:
  Integer dragThreshold_ = 5;
  bool dragImmediate_ = true;
  Integer wheelScrollLines_ = -1;
};

extern TMouse* Mouse;
