// Forms, the application and the screen.
//
// A form is a top-level window (or an MDI child of the main form's client area) holding controls. A form
// class made from a form resource loads it when it is made through its class (new + AfterConstruction:
// NewObject, Application->CreateForm, the class factories), then runs OnCreate; a class that has no
// resource is made with the CreateNew constructor (a second argument).
//
// The application runs the message loop: HandleMessage takes one message (or idles), ProcessMessages
// handles every waiting one, Run loops until the main form closes or Terminate is called. Exceptions that
// escape an event handler end in HandleException, which shows their message in a message box (EAbort
// shows nothing).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/forms/Controls.h"

class TMainMenu;
class TMenuItem;
class THintWindow;
class TCustomForm;
class TMonitor;

namespace formsconsts {
inline constexpr const char* SCannotShowModal = "Cannot make a visible window modal";
inline constexpr const char* SVisibleChanged = "Cannot change Visible in OnShow or OnHide";
inline constexpr const char* SMDIChildNotVisible = "Cannot hide an MDI Child Form";
inline constexpr const char* SNoMDIForm = "Cannot create form. No MDI forms are currently active";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SCannotDragForm = "Cannot drag a form";
inline constexpr const char* SInvalidFormStyle = "Cannot change FormStyle of a shown form";
}  // namespace formsconsts

// ---- Types --------------------------------------------------------------------------------------------
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
K58_ENUM_TYPE(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
K58_ENUM_TYPE(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
K58_SET_TYPE(TBorderIcons, TBorderIcon)

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
K58_ENUM_TYPE(TWindowState, wsNormal, wsMinimized, wsMaximized)

enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
  poOwnerFormCenter
};
K58_ENUM_TYPE(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
              poMainFormCenter, poOwnerFormCenter)

enum TCloseAction { caNone, caHide, caFree, caMinimize };
K58_ENUM_TYPE(TCloseAction, caNone, caHide, caFree, caMinimize)

enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
K58_ENUM_TYPE(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated)
K58_SET_TYPE(TFormState, TFormStateItem)

enum TTileMode { tbHorizontal, tbVertical };
K58_ENUM_TYPE(TTileMode, tbHorizontal, tbVertical)

enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
K58_ENUM_TYPE(TDefaultMonitor, dmDesktop, dmPrimary, dmMainForm, dmActiveForm)

enum TScrollBarKind { sbHorizontal, sbVertical };
K58_ENUM_TYPE(TScrollBarKind, sbHorizontal, sbVertical)
using TScrollBarInc = Integer;

K58_EVENT_TYPE(TCloseEvent, void(TObject* Sender, TCloseAction& Action))
K58_EVENT_TYPE(TCloseQueryEvent, void(TObject* Sender, bool& CanClose))
K58_EVENT_TYPE(TShortCutEvent, void(TWMKey& Msg, bool& Handled))
K58_EVENT_TYPE(TMessageEvent, void(MSG& Msg, bool& Handled))
K58_EVENT_TYPE(TExceptionEvent, void(TObject* Sender, Exception* E))
// The same signature as TCloseQueryEvent (Done in place of CanClose).
using TIdleEvent = TCloseQueryEvent;
K58_EVENT_TYPE(TShowHintEvent, void(String& HintStr, bool& CanShow, THintInfo& HintInfo))
// A hook on the application window: true when it handled the message.
using TWindowHook = Delegate<bool(TMessage& Message)>;

// ---- Scrolling windowed controls ---------------------------------------------------------------------
class TScrollingWinControl;

// One scroll bar of a scrolling control: the range it scrolls (the extent of the controls when AutoScroll
// computes it), the position, and how far a click on an arrow moves.
class TControlScrollBar : public TPersistent {
  K58_CLASS(TControlScrollBar, TPersistent)

  TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind);
  TControlScrollBar() : TControlScrollBar(nullptr, sbHorizontal) {}
  void Assign(TPersistent* Source) override;

  TScrollBarKind Kind() const { return kind_; }
  TScrollBarInc Increment() const { return increment_; }
  void SetIncrement(TScrollBarInc Value) { increment_ = Value; }
  Integer Margin() const { return margin_; }
  void SetMargin(Integer Value) { margin_ = Value; }
  Integer Position() const { return position_; }
  void SetPosition(Integer Value);
  Integer Range() const { return range_; }
  void SetRange(Integer Value);
  bool Tracking() const { return tracking_; }
  void SetTracking(bool Value) { tracking_ = Value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // Shown: visible, and the range is larger than the client extent.
  bool IsScrollBarVisible();
  void ChangeBiDiPosition() {}

  // Handles WM_HSCROLL / WM_VSCROLL for the control.
  void ScrollMessage(TWMScroll& Msg);
  void Update(bool ControlSB, bool AssumeSB);

 private:
  friend class TScrollingWinControl;
  Integer ControlSize(bool ControlSB, bool AssumeSB);
  Integer Calc(Integer Kind) const;

  TScrollingWinControl* control_;
  TScrollBarKind kind_;
  TScrollBarInc increment_ = 8;
  Integer margin_ = 0;
  Integer position_ = 0;
  Integer range_ = 0;
  Integer calcRange_ = 0;
  bool tracking_ = false;
  bool visible_ = true;
  bool updateNeeded_ = true;
};

// A windowed control that scrolls its children: with AutoScroll, the scroll bars appear when the children
// reach past the client area.
class TScrollingWinControl : public TWinControl {
  K58_CLASS(TScrollingWinControl, TWinControl)

  explicit TScrollingWinControl(TComponent* AOwner);
  ~TScrollingWinControl() override;

  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool Value);
  TControlScrollBar* HorzScrollBar() const { return horzScrollBar_.get(); }
  void SetHorzScrollBar(TControlScrollBar* Value) { horzScrollBar_->Assign(Value); }
  TControlScrollBar* VertScrollBar() const { return vertScrollBar_.get(); }
  void SetVertScrollBar(TControlScrollBar* Value) { vertScrollBar_->Assign(Value); }
  // Scrolls so that the control is inside the client area.
  void ScrollInView(TControl* AControl);
  // Moves the children (and the window's contents) by the amounts.
  void ScrollBy(Integer DeltaX, Integer DeltaY);
  void DisableAutoRange();
  void EnableAutoRange();

  void AlignControls(TControl* AControl, TRect& Rect) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void WMHScroll(TWMScroll& Message) override;
  void WMVScroll(TWMScroll& Message) override;
  void WMSize(TWMSize& Message) override;
  void ChangeScale(Integer M, Integer D) override;

  // Scrolls a control that got the focus into view (AutoScroll, unaligned controls).
  virtual void AutoScrollInView(TControl* AControl);
  void CalcAutoRange();
  void UpdateScrollBars();

 private:
  friend class TControlScrollBar;
  bool autoScroll_ = false;
  Integer autoRangeCount_ = 0;
  bool updatingScrollBars_ = false;
  TObjectPtr<TControlScrollBar> horzScrollBar_;
  TObjectPtr<TControlScrollBar> vertScrollBar_;
};

// ---- Forms -------------------------------------------------------------------------------------------
class TCustomForm : public TScrollingWinControl {
  K58_CLASS(TCustomForm, TScrollingWinControl)

  // The form of a class with a form resource: made through the class (AfterConstruction reads the
  // resource named after the class, ancestors' first, and raises EResNotFound when there is none).
  explicit TCustomForm(TComponent* AOwner);
  // A form without a resource (CreateNew).
  TCustomForm(TComponent* AOwner, Integer Dummy);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- Showing and closing ----
  void Show();
  void Hide();
  // While the form is made, Visible is remembered and applied after OnCreate.
  void SetVisible(bool Value) override;
  // Shows the form modally: other forms are disabled and a message loop runs until ModalResult is set
  // (or the form closes, which sets mrCancel). Answers the modal result.
  virtual Integer ShowModal();
  // Asks CloseQuery, runs OnClose and does what its action says. A modal form's Close sets mrCancel.
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the message that is being handled is done.
  void Release();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }
  TFormState FormState() const { return formState_; }
  bool Active() const { return active_; }

  // ---- Appearance ----
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle Value);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition Value);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* Value) { icon_->Assign(Value); }
  TCanvas* Canvas() const { return canvas_.get(); }
  TDefaultMonitor DefaultMonitor() const { return defaultMonitor_; }
  void SetDefaultMonitor(TDefaultMonitor Value) { defaultMonitor_ = Value; }
  TMonitor* Monitor();
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool Value) { alphaBlend_ = Value; }
  Byte AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(Byte Value) { alphaBlendValue_ = Value; }
  bool TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(bool Value) { transparentColor_ = Value; }
  TColor TransparentColorValue() const { return transparentColorValue_; }
  void SetTransparentColorValue(TColor Value) { transparentColorValue_ = Value; }
  // Scaling: forms are designed and shown at 96 pixels per inch, so nothing is scaled.
  Integer PixelsPerInch() const { return 96; }
  void SetPixelsPerInch(Integer) {}
  bool Scaled() const { return scaled_; }
  void SetScaled(bool Value) { scaled_ = Value; }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool Value) { oldCreateOrder_ = Value; }
  // Width and height of the client area: kept while the form is read and applied once the border is known.
  void SetFormClientWidth(Integer Value);
  void SetFormClientHeight(Integer Value);
  Integer FormClientWidth() { return ClientWidth(); }
  Integer FormClientHeight() { return ClientHeight(); }
  bool IsClientSizeStored() const { return true; }

  // ---- Focus and keys ----
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* Control);
  // Makes the control the active one and gives it the focus when the form is active.
  void FocusControl(TWinControl* Control);
  void SetFocus() override;
  bool CanFocus() override;
  // Called when the window of Control got the focus: runs the exit and enter steps between the control
  // that had it and this one; false when the focus moved elsewhere meanwhile.
  bool SetFocusedControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  void SendCancelMode(TControl* Sender);
  TWinControl* FocusedControl() const { return focusedControl_; }
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool Value) { keyPreview_ = Value; }
  // OnShortCut, then the main menu.
  virtual bool IsShortCut(TWMKey& Message);
  TCustomForm* ParentForm() { return GetParentForm(this); }

  // ---- Menus ----
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* Value);
  TMenuItem* WindowMenu() const { return windowMenu_; }
  void SetWindowMenu(TMenuItem* Value);
  // Merges (or unmerges) the active MDI child's menu into this form's.
  void MergeMenu(bool MergeState);
  // Rebuilds the window's menu bar from the menu.
  void UpdateMenuBar();

  // ---- MDI ----
  HWND ClientHandle() const { return clientHandle_; }
  Integer MDIChildCount();
  TCustomForm* MDIChildren(Integer I);
  TCustomForm* ActiveMDIChild();
  TTileMode TileMode() const { return tileMode_; }
  void SetTileMode(TTileMode Value) { tileMode_ = Value; }
  void Cascade();
  void Tile();
  void ArrangeIcons();
  void Next();
  void Previous();

  // ---- Events ----
  const TNotifyEvent& OnActivate() const { return onActivate_; }
  void SetOnActivate(const TNotifyEvent& Value) { onActivate_ = Value; }
  const TCloseEvent& OnClose() const { return onClose_; }
  void SetOnClose(const TCloseEvent& Value) { onClose_ = Value; }
  const TCloseQueryEvent& OnCloseQuery() const { return onCloseQuery_; }
  void SetOnCloseQuery(const TCloseQueryEvent& Value) { onCloseQuery_ = Value; }
  const TNotifyEvent& OnCreate() const { return onCreate_; }
  void SetOnCreate(const TNotifyEvent& Value) { onCreate_ = Value; }
  const TNotifyEvent& OnDeactivate() const { return onDeactivate_; }
  void SetOnDeactivate(const TNotifyEvent& Value) { onDeactivate_ = Value; }
  const TNotifyEvent& OnDestroy() const { return onDestroy_; }
  void SetOnDestroy(const TNotifyEvent& Value) { onDestroy_ = Value; }
  const TNotifyEvent& OnHide() const { return onHide_; }
  void SetOnHide(const TNotifyEvent& Value) { onHide_ = Value; }
  const TNotifyEvent& OnPaint() const { return onPaint_; }
  void SetOnPaint(const TNotifyEvent& Value) { onPaint_ = Value; }
  const TNotifyEvent& OnShow() const { return onShow_; }
  void SetOnShow(const TNotifyEvent& Value) { onShow_ = Value; }
  const TShortCutEvent& OnShortCut() const { return onShortCut_; }
  void SetOnShortCut(const TShortCutEvent& Value) { onShortCut_ = Value; }

  // ---- Overridable steps ----
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoClose(TCloseAction& Action);
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void Paint();
  virtual void CloseModal();

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void DestroyWindowHandle() override;
  void DestroyWnd() override;
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  // TextHeight, written by form designers, is read and ignored.
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) override;
  void SetParent(TWinControl* AParent) override;
  void ChangeScale(Integer M, Integer D) override;
  // The MDI client takes what the aligned controls leave of the client area.
  void AlignControls(TControl* AControl, TRect& Rect) override;

  // ---- Messages ----
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void WMPaint(TWMPaint& Message) override;
  void PaintWindow(HDC DC) override;
  TRect GetClientRect() override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
  void WMCommand(TWMCommand& Message) override;
  void WMDrawItem(TWMDrawItem& Message) override;
  void WMMeasureItem(TWMMeasureItem& Message) override;
  void WMSysCommand(TWMSysCommand& Message) override;
  void WMSize(TWMSize& Message) override;
  virtual void WMActivate(TWMActivate& Message);
  virtual void WMClose(TMessage& Message);
  virtual void WMInitMenuPopup(TWMInitMenuPopup& Message);
  virtual void WMMenuSelect(TWMMenuSelect& Message);
  virtual void WMMenuChar(TWMMenuChar& Message);
  virtual void WMGetMinMaxInfo(TMessage& Message);
  virtual void WMMDIActivate(TMessage& Message);
  virtual void WMNextDlgCtl(TMessage& Message);
  virtual void CMActivate(TMessage& Message);
  virtual void CMDeactivate(TMessage& Message);
  void CMDialogKey(TCMDialogKey& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  virtual void CMTextChanged(TMessage& Message) override;
  virtual void CMIconChanged(TMessage& Message);
  virtual void CMRelease(TMessage& Message);
  virtual void CMMenuChanged(TMessage& Message);
  virtual void CMAppSysCommand(TMessage& Message);

 protected:
  void IconChanged(TObject* Sender);
  void SetWindowFocus();
  void SetActive(bool Value);
  void MoveToPosition();
  void ShowWindowForState();
  bool IsForm() const { return true; }

 private:
  friend class TApplication;
  friend class TScreen;
  friend class TMainMenu;
  void InitForm();
  void ApplyClientSize();
  void CreateMDIClient();
  void DestroyMDIClient();
  void RefreshMDIMenu();

  bool createNew_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  TFormStyle formStyle_ = fsNormal;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TFormState formState_;
  TModalResult modalResult_ = mrNone;
  bool active_ = false;
  bool keyPreview_ = false;
  bool scaled_ = true;
  bool oldCreateOrder_ = false;
  TDefaultMonitor defaultMonitor_ = dmActiveForm;
  bool alphaBlend_ = false;
  Byte alphaBlendValue_ = 255;
  bool transparentColor_ = false;
  TColor transparentColorValue_ = 0;
  Integer pendingClientWidth_ = -1;
  Integer pendingClientHeight_ = -1;
  TObjectPtr<TIcon> icon_;
  TObjectPtr<TControlCanvas> canvas_;
  TMainMenu* menu_ = nullptr;
  TMenuItem* windowMenu_ = nullptr;
  TTileMode tileMode_ = tbHorizontal;
  HWND clientHandle_ = nullptr;
  TCustomForm* mergedChild_ = nullptr;
  HMENU appliedMenu_ = nullptr;
  Integer focusCount_ = 0;

  TNotifyEvent onActivate_;
  TCloseEvent onClose_;
  TCloseQueryEvent onCloseQuery_;
  TNotifyEvent onCreate_;
  TNotifyEvent onDeactivate_;
  TNotifyEvent onDestroy_;
  TNotifyEvent onHide_;
  TNotifyEvent onPaint_;
  TNotifyEvent onShow_;
  TShortCutEvent onShortCut_;
};

class TForm : public TCustomForm {
  K58_CLASS(TForm, TCustomForm)

  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
  TForm(TComponent* AOwner, Integer Dummy) : TCustomForm(AOwner, Dummy) {}
};

// ---- Data modules ------------------------------------------------------------------------------------
// A container of non-visual components, read from its form resource like a form.
class TDataModule : public TComponent {
  K58_CLASS(TDataModule, TComponent)

  explicit TDataModule(TComponent* AOwner);
  TDataModule(TComponent* AOwner, Integer Dummy);
  ~TDataModule() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  // The designer's place and size of the module (Left, Top, Width, Height, offsets) are read and ignored.
  void DefineProperties(TFiler* Filer) override;

  const TNotifyEvent& OnCreate() const { return onCreate_; }
  void SetOnCreate(const TNotifyEvent& Value) { onCreate_ = Value; }
  const TNotifyEvent& OnDestroy() const { return onDestroy_; }
  void SetOnDestroy(const TNotifyEvent& Value) { onDestroy_ = Value; }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool Value) { oldCreateOrder_ = Value; }

 protected:
  virtual void DoCreate();
  virtual void DoDestroy();

 private:
  bool createNew_ = false;
  bool oldCreateOrder_ = false;
  TNotifyEvent onCreate_;
  TNotifyEvent onDestroy_;
};

// ---- Monitors and the screen -------------------------------------------------------------------------
class TMonitor : public TObject {
  K58_CLASS(TMonitor, TObject)

  TMonitor() = default;
  HMONITOR Handle() const { return handle_; }
  Integer MonitorNum() const { return monitorNum_; }
  bool Primary() const;
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  Integer Left() const { return BoundsRect().left; }
  Integer Top() const { return BoundsRect().top; }
  Integer Width() const { return BoundsRect().right - BoundsRect().left; }
  Integer Height() const { return BoundsRect().bottom - BoundsRect().top; }

 private:
  friend class TScreen;
  HMONITOR handle_ = nullptr;
  Integer monitorNum_ = 0;
};

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };
K58_ENUM_TYPE(TMonitorDefaultTo, mdNearest, mdNull, mdPrimary)

class TScreen : public TComponent {
  K58_CLASS(TScreen, TComponent)

  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // ---- Forms ----
  Integer FormCount() const { return static_cast<Integer>(forms_.size()); }
  TCustomForm* Forms(Integer Index) const { return forms_.at(static_cast<size_t>(Index)); }
  Integer CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(Integer Index) const { return Forms(Index); }
  Integer DataModuleCount() const { return static_cast<Integer>(dataModules_.size()); }
  TDataModule* DataModules(Integer Index) const { return dataModules_.at(static_cast<size_t>(Index)); }
  TCustomForm* ActiveForm() const { return activeForm_; }
  TCustomForm* ActiveCustomForm() const { return activeForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  TCustomForm* FocusedForm() const { return focusedForm_; }

  // ---- Cursors ----
  // The cursor shown over every form while it is not crDefault (crHourGlass during long work).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  // The cursor of a number: the standard crXXX ones, or one added with SetCursors. An unknown number gives
  // the default cursor.
  HCURSOR Cursors(Integer Index);
  // Adds (or replaces) a numbered cursor; the screen keeps it. Null removes a custom one.
  void SetCursors(Integer Index, HCURSOR Handle);

  // ---- Fonts ----
  TStrings* Fonts();
  // The system's menu, hint (status) and icon-title fonts, read on first use.
  TFont* MenuFont();
  void SetMenuFont(TFont* Value) { MenuFont()->Assign(Value); }
  TFont* HintFont();
  void SetHintFont(TFont* Value) { HintFont()->Assign(Value); }
  TFont* IconFont();
  void SetIconFont(TFont* Value) { IconFont()->Assign(Value); }
  // Re-reads the menu, hint and icon fonts from the system settings.
  void ResetFonts();

  // ---- Size and monitors ----
  Integer Width() const;
  Integer Height() const;
  Integer PixelsPerInch() const { return 96; }
  Integer DesktopLeft() const;
  Integer DesktopTop() const;
  Integer DesktopWidth() const;
  Integer DesktopHeight() const;
  TRect DesktopRect() const;
  TRect WorkAreaRect() const;
  Integer WorkAreaLeft() const { return WorkAreaRect().left; }
  Integer WorkAreaTop() const { return WorkAreaRect().top; }
  Integer WorkAreaWidth() const { return WorkAreaRect().right - WorkAreaRect().left; }
  Integer WorkAreaHeight() const { return WorkAreaRect().bottom - WorkAreaRect().top; }
  Integer MonitorCount();
  TMonitor* Monitors(Integer Index);
  TMonitor* MonitorFromPoint(const TPoint& Point, TMonitorDefaultTo MonitorDefault = mdNearest);
  TMonitor* MonitorFromRect(const TRect& Rect, TMonitorDefaultTo MonitorDefault = mdNearest);
  TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo MonitorDefault = mdNearest);
  TMonitor* PrimaryMonitor();

  // ---- Events ----
  const TNotifyEvent& OnActiveControlChange() const { return onActiveControlChange_; }
  void SetOnActiveControlChange(const TNotifyEvent& Value) { onActiveControlChange_ = Value; }
  const TNotifyEvent& OnActiveFormChange() const { return onActiveFormChange_; }
  void SetOnActiveFormChange(const TNotifyEvent& Value) { onActiveFormChange_ = Value; }

 private:
  friend class TCustomForm;
  friend class TDataModule;
  friend class TApplication;
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void AddDataModule(TDataModule* DataModule);
  void RemoveDataModule(TDataModule* DataModule);
  void SetActive(TCustomForm* Form, TWinControl* Control);
  void UpdateLastActive();
  void ControlDestroyed(TControl* Control);
  void RefreshMonitors();
  HCURSOR StandardCursor(Integer Index);

  std::vector<TCustomForm*> forms_;
  std::vector<TDataModule*> dataModules_;
  std::vector<TCustomForm*> saveFocusedList_;
  TCustomForm* activeForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCustomForm* focusedForm_ = nullptr;
  TCustomForm* lastActiveForm_ = nullptr;
  TWinControl* lastActiveControl_ = nullptr;
  TCursor cursor_ = crDefault;
  Integer cursorCount_ = 0;
  struct CursorEntry {
    Integer Index;
    HCURSOR Handle;
    bool Owned;
  };
  std::vector<CursorEntry> cursors_;
  std::unique_ptr<TStringList, TObjectDeleter> fonts_;
  TObjectPtr<TFont> menuFont_;
  TObjectPtr<TFont> hintFont_;
  TObjectPtr<TFont> iconFont_;
  bool fontsRead_ = false;
  std::vector<TObjectPtr<TMonitor>> monitors_;
  std::vector<TObjectPtr<TMonitor>> retired_;
  TNotifyEvent onActiveControlChange_;
  TNotifyEvent onActiveFormChange_;
};

// ---- The application ---------------------------------------------------------------------------------
class TApplication : public TComponent {
  K58_CLASS(TApplication, TComponent)

  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize();
  // Makes a form (or data module) of the class, stores it in Reference; the first form made becomes the
  // main form.
  void CreateForm(TClass InstanceClass, void* Reference);
  template <class T>
  void CreateForm(T*& Reference) {
    CreateForm(T::StaticClass(), &Reference);
  }
  // Shows the main form and runs the message loop until the application terminates.
  void Run();
  // Handles one message, or idles (and waits for one) when none is waiting.
  void HandleMessage();
  // Handles every message waiting, then returns.
  void ProcessMessages();
  // Ends the application's message loop (posts WM_QUIT).
  void Terminate();
  bool Terminated() const { return terminate_; }
  // Shows the exception being handled (call inside a catch block): OnException when assigned, otherwise
  // ShowException; EAbort is silent.
  void HandleException(TObject* Sender);
  void ShowException(Exception* E);
  // A message box owned by the active form; answers the button pressed (IDOK...).
  Integer MessageBox(const String& Text, const String& Caption, UINT Flags = MB_OK);
  // The idle step: hint and mouse tracking, OnIdle; Done false asks for another idle step at once.
  void Idle(const MSG& Msg);
  void Minimize();
  void Restore();
  void BringToFront();
  void ModalStarted();
  void ModalFinished();
  Integer ModalLevel() const { return modalLevel_; }
  // Hint handling for mouse messages of controls (WM_MOUSEMOVE and button presses).
  void HintMouseMessage(TControl* Control, TMessage& Message);
  void ActivateHint(const TPoint& CursorPos);
  void CancelHint();
  void HideHint();
  // The control the mouse is over, tracked for CM_MOUSEENTER / CM_MOUSELEAVE.
  TControl* MouseControl() const { return mouseControl_; }
  void UpdateMouseControl();
  void ControlDestroyed(TControl* Control);

  // ---- The application window ----
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr && ::IsWindow(handle_); }
  void HookMainWindow(const TWindowHook& Hook);
  void UnhookMainWindow(const TWindowHook& Hook);

  // ---- Properties ----
  String Title() const { return title_; }
  void SetTitle(const String& Value);
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* Value) { icon_->Assign(Value); }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* Value) { mainForm_ = Value; }
  String ExeName() const;
  bool Active() const { return active_; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool Value) { showMainForm_ = Value; }
  String Hint() const { return hint_; }
  void SetHint(const String& Value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor Value) { hintColor_ = Value; }
  Integer HintPause() const { return hintPause_; }
  void SetHintPause(Integer Value) { hintPause_ = Value; }
  Integer HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(Integer Value) { hintShortPause_ = Value; }
  Integer HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(Integer Value) { hintHidePause_ = Value; }
  // Whether a change of the system's regional settings ("intl") reloads FormatSettings from the locale.
  bool UpdateFormatSettings() const { return updateFormatSettings_; }
  void SetUpdateFormatSettings(bool Value) { updateFormatSettings_ = Value; }
  THintWindow* HintWindow() const { return hintWindow_; }
  TClass HintWindowClass() const { return hintWindowClass_; }
  void SetHintWindowClass(TClass Value) { hintWindowClass_ = Value; }

  // ---- Events ----
  const TNotifyEvent& OnActivate() const { return onActivate_; }
  void SetOnActivate(const TNotifyEvent& Value) { onActivate_ = Value; }
  const TNotifyEvent& OnDeactivate() const { return onDeactivate_; }
  void SetOnDeactivate(const TNotifyEvent& Value) { onDeactivate_ = Value; }
  const TExceptionEvent& OnException() const { return onException_; }
  void SetOnException(const TExceptionEvent& Value) { onException_ = Value; }
  const TIdleEvent& OnIdle() const { return onIdle_; }
  void SetOnIdle(const TIdleEvent& Value) { onIdle_ = Value; }
  const TNotifyEvent& OnHint() const { return onHint_; }
  void SetOnHint(const TNotifyEvent& Value) { onHint_ = Value; }
  const TShowHintEvent& OnShowHint() const { return onShowHint_; }
  void SetOnShowHint(const TShowHintEvent& Value) { onShowHint_ = Value; }
  const TMessageEvent& OnMessage() const { return onMessage_; }
  void SetOnMessage(const TMessageEvent& Value) { onMessage_ = Value; }
  const TNotifyEvent& OnMinimize() const { return onMinimize_; }
  void SetOnMinimize(const TNotifyEvent& Value) { onMinimize_ = Value; }
  const TNotifyEvent& OnRestore() const { return onRestore_; }
  void SetOnRestore(const TNotifyEvent& Value) { onRestore_ = Value; }
  const TNotifyEvent& OnModalBegin() const { return onModalBegin_; }
  void SetOnModalBegin(const TNotifyEvent& Value) { onModalBegin_ = Value; }
  const TNotifyEvent& OnModalEnd() const { return onModalEnd_; }
  void SetOnModalEnd(const TNotifyEvent& Value) { onModalEnd_ = Value; }
  const TShortCutEvent& OnShortCut() const { return onShortCut_; }
  void SetOnShortCut(const TShortCutEvent& Value) { onShortCut_ = Value; }

  // Handles a message of the application window: the hooks first, then the application.
  void Perform(TMessage& Message);
  // Key messages for the menus (short cuts of the main form and the application).
  bool IsShortCut(TWMKey& Message);

  // Message boxes go through this (the platform's MessageBox unless replaced, by tests for example).
  using TMessageBoxProc = std::function<Integer(HWND Owner, const String& Text, const String& Caption, UINT Flags)>;
  static TMessageBoxProc& MessageBoxProc();

 private:
  friend class TCustomForm;
  bool ProcessMessage(MSG& Msg);
  bool IsKeyMsg(MSG& Msg);
  bool IsHintMsg(MSG& Msg);
  bool IsMDIMsg(MSG& Msg);
  bool IsDlgMsg(MSG& Msg);
  void WndProc(TMessage& Message);
  LRESULT AppWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  void DoActionIdle() {}
  void StartHintTimer(Integer Value);
  void StopHintTimer();
  void HintTimerExpired();
  void SetActiveState(bool Value);
  void ShowHintNow(TControl* Control, const TPoint& CursorPos);
  TControl* FindHintControl(TControl* Control);

  HWND handle_ = nullptr;
  bool handleDestroyed_ = false;
  String title_;
  TObjectPtr<TIcon> icon_;
  TCustomForm* mainForm_ = nullptr;
  bool terminate_ = false;
  bool active_ = false;
  bool showMainForm_ = true;
  bool updateFormatSettings_ = true;
  bool running_ = false;
  Integer modalLevel_ = 0;
  std::vector<TWindowHook> windowHooks_;
  // Hints and mouse tracking.
  String hint_;
  bool showHint_ = true;
  TColor hintColor_ = clInfoBk;
  Integer hintPause_ = 500;
  Integer hintShortPause_ = 50;
  Integer hintHidePause_ = 2500;
  THintWindow* hintWindow_ = nullptr;
  TClass hintWindowClass_ = nullptr;
  TControl* hintControl_ = nullptr;
  std::weak_ptr<bool> hintControlAlive_;
  bool hintActive_ = false;
  bool hintShowing_ = false;
  Integer hintTimerState_ = 0;  // 0 none, 1 waiting to show, 2 waiting to hide
  TRect hintCursorRect_{};
  TControl* mouseControl_ = nullptr;
  std::weak_ptr<bool> mouseControlAlive_;

  TNotifyEvent onActivate_;
  TNotifyEvent onDeactivate_;
  TExceptionEvent onException_;
  TIdleEvent onIdle_;
  TNotifyEvent onHint_;
  TShowHintEvent onShowHint_;
  TMessageEvent onMessage_;
  TNotifyEvent onMinimize_;
  TNotifyEvent onRestore_;
  TNotifyEvent onModalBegin_;
  TNotifyEvent onModalEnd_;
  TShortCutEvent onShortCut_;
};

extern TApplication* Application;
extern TScreen* Screen;

// The part of a hint before "|" (shown in the hint window) and after it (Application.Hint, status bars).
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);

// Disables every enabled, visible top-level window of the thread except ActiveWindow and answers them,
// to be enabled again by EnableTaskWindows (modal forms and message boxes).
std::vector<HWND> DisableTaskWindows(HWND ActiveWindow);
void EnableTaskWindows(const std::vector<HWND>& WindowList);
