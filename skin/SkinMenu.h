// Menu and tool bar skinning: the TSkinMenu component, its colour scheme and colour routines, the
// process-wide manager that styles the application's other forms, and the painters of menu items and
// tool buttons.
//
// Contract. Everything runs on the GUI thread. A TSkinMenu placed on a form (usually from the form's
// resource) hooks the OnDrawItem/OnMeasureItem events of the form's menus and OnCustomDrawButton of its
// tool bars when it is Active; nothing calls it directly. The first TSkinMenu created outside design
// mode creates the one TSkinMenuManager, which hooks the application's main window; the last one
// destroyed frees it. Painters draw on the canvas they are handed (menu items through an off-screen
// bitmap the size of the item); rectangles are in that canvas's coordinates. Colours given to the
// routines may be system colours; the results are plain RGB colours.
#pragma once

#include <vector>

#include "platform/forms/ComCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"

class TSkinMenuManager;
class TSpeedButton;
class TCustomComboBox;

enum TSkinContainer {
  xccForm, xccFrame, xccToolbar, xccCoolbar, xccControlbar, xccPanel, xccScrollBox, xccGroupBox, xccTabSheet,
  xccPageScroller
};
K58_ENUM_TYPE(TSkinContainer, xccForm, xccFrame, xccToolbar, xccCoolbar, xccControlbar, xccPanel, xccScrollBox,
              xccGroupBox, xccTabSheet, xccPageScroller)
K58_SET_TYPE(TSkinContainers, TSkinContainer)

enum TSkinControl {
  xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcListBox, xcEdit, xcMaskEdit, xcMemo, xcRichEdit,
  xcMiscEdit, xcCheckBox, xcRadioButton, xcButton, xcBitBtn, xcSpeedButton, xcUpDown, xcPanel, xcGroupBox,
  xcTreeView, xcListView, xcProgressBar, xcHotKey
};
K58_ENUM_TYPE(TSkinControl, xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcListBox, xcEdit,
              xcMaskEdit, xcMemo, xcRichEdit, xcMiscEdit, xcCheckBox, xcRadioButton, xcButton, xcBitBtn,
              xcSpeedButton, xcUpDown, xcPanel, xcGroupBox, xcTreeView, xcListView, xcProgressBar, xcHotKey)
K58_SET_TYPE(TSkinControls, TSkinControl)

// A Tag of 999 keeps a menu, item, form or control out of skinning.
inline constexpr Integer SkinSkipTag = 999;

// Posted to the application window while a flat popup item is drawn, for the manager to paint the popup
// menu window's border once the window exists. ITEM: wParam the menu handle, lParam the item's
// position in it (the window is found from the item's rectangle). WINDOW: wParam 1 for a right-to-left
// menu, lParam the popup window.
inline constexpr UINT WM_SKINBORDERITEM = 0xBCB3;    // 48307
inline constexpr UINT WM_SKINBORDERWINDOW = 0xBCB4;  // 48308

// ---- Colour routines --------------------------------------------------------------------------------
// Each channel c becomes c + round((255 - c) * Percent / 100), halves to even; Percent above 100 acts as 100.
TColor Lighten(TColor Color, Integer Percent);
// Red and blue less Amount, green less Amount - 2 (so greys keep a touch of green), each within 0..255.
TColor Darken(TColor Color, Integer Amount);
// The grey of the channels' mean plus Level, at most 240.
TColor GrayColor(TColor Color, Integer Level);
// The mean of the colours, each channel summed from (channel div N) so it stays within 0..255.
TColor AverageColors(std::initializer_list<TColor> Colors);
void GrayBitmap(TBitmap* Bitmap, Integer Level);
void DimBitmap(TBitmap* Bitmap, Integer Percent);
// Sets every pixel that differs from the bitmap's bottom-left (background) pixel on the canvas at
// (X + column, Y + row) in Color: the glyph's shadow.
void DrawMask(TBitmap* Bitmap, TCanvas* Canvas, Integer X, Integer Y, TColor Color);
// The canvas font's colour on a light colour, else the colour lightened by 90 %.
TColor ContrastFontColor(TCanvas* Canvas, TColor Color);
// The mouse, relative to the form's outer top-left, lies in Rect less 1 at the right and 2 at the bottom.
bool CursorInRect(TCustomForm* Form, const TRect& Rect);

// ---- The component ------------------------------------------------------------------------------------
class TSkinMenu : public TComponent {
  K58_CLASS(TSkinMenu, TComponent)

  explicit TSkinMenu(TComponent* AOwner);
  ~TSkinMenu() override;

  // ---- Published properties ----
  bool Active() const { return active_; }
  void SetActive(bool Value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value);
  TColor Color() const { return color_; }
  void SetColor(TColor Value) { SetColour(color_, Value); }
  TColor IconBackColor() const { return iconBackColor_; }
  void SetIconBackColor(TColor Value) { SetColour(iconBackColor_, Value); }
  TColor MenuBarColor() const { return menuBarColor_; }
  void SetMenuBarColor(TColor Value);
  TColor CheckedColor() const { return checkedColor_; }
  void SetCheckedColor(TColor Value) { SetColour(checkedColor_, Value); }
  TColor SeparatorColor() const { return separatorColor_; }
  void SetSeparatorColor(TColor Value) { SetColour(separatorColor_, Value); }
  TColor SelectBorderColor() const { return selectBorderColor_; }
  void SetSelectBorderColor(TColor Value) { SetColour(selectBorderColor_, Value); }
  TColor SelectColor() const { return selectColor_; }
  void SetSelectColor(TColor Value) { SetColour(selectColor_, Value); }
  TColor DisabledColor() const { return disabledColor_; }
  void SetDisabledColor(TColor Value) { SetColour(disabledColor_, Value); }
  TColor SelectFontColor() const { return selectFontColor_; }
  void SetSelectFontColor(TColor Value) { SetColour(selectFontColor_, Value); }
  Integer IconWidth() const { return iconWidth_; }
  void SetIconWidth(Integer Value) { iconWidth_ = Value; }
  bool DrawSelect() const { return drawSelect_; }
  void SetDrawSelect(bool Value) { drawSelect_ = Value; }
  bool UseSystemColors() const { return useSystemColors_; }
  void SetUseSystemColors(bool Value);
  bool OverrideOwnerDraw() const { return overrideOwnerDraw_; }
  void SetOverrideOwnerDraw(bool Value);
  bool Gradient() const { return gradient_; }
  void SetGradient(bool Value) { gradient_ = Value; }
  bool FlatMenu() const { return flatMenu_; }
  void SetFlatMenu(bool Value) { flatMenu_ = Value; }
  bool AutoDetect() const { return autoDetect_; }
  void SetAutoDetect(bool Value) { autoDetect_ = Value; }
  TSkinContainers SkinContainers() const { return skinContainers_; }
  void SetSkinContainers(TSkinContainers Value);
  TSkinControls SkinControls() const { return skinControls_; }
  void SetSkinControls(TSkinControls Value);
  Byte GrayLevel() const { return grayLevel_; }
  void SetGrayLevel(Byte Value) { grayLevel_ = Value; }
  Byte DimLevel() const { return dimLevel_; }
  void SetDimLevel(Byte Value) { dimLevel_ = Value; }
  bool DrawMenuBar() const { return drawMenuBar_; }
  void SetDrawMenuBar(bool Value) { drawMenuBar_ = Value; }
  bool UseDimColor() const { return useDimColor_; }
  void SetUseDimColor(bool Value) { useDimColor_ = Value; }
  bool DisableSubclassing() const { return disableSubclassing_; }
  void SetDisableSubclassing(bool Value);

  // ---- State ----
  // The owner when it is a form: the walk starts there and its menu bar is redrawn after changes.
  TCustomForm* Form() const { return form_; }
  bool ColorsChanged() const { return colorsChanged_; }
  bool HighColor() const { return highColor_; }
  Integer FaceLighten() const { return faceLighten_; }
  Integer FaceLightenHot() const { return faceLightenHot_; }
  bool PopupBorderBusy() const { return popupBorderBusy_; }
  bool IsNT() const { return isNT_; }
  bool IsWin2000() const { return isWin2000_; }
  bool IsWinXP() const { return isWinXP_; }
  // What the version query found (tests choose a branch with it).
  void SetPlatform(bool NT, bool Win2000, bool WinXP) {
    isNT_ = NT;
    isWin2000_ = Win2000;
    isWinXP_ = WinXP;
  }
  void SetPopupBorderBusy(bool Value) { popupBorderBusy_ = Value; }

  // The colour scheme every painter reads (UpdateColors).
  TColor DrawColor = clBtnFace, DrawIconBackColor = clBtnFace, DrawSelectColor = clHighlight,
         DrawSelectBorderColor = clHighlight, DrawSelectFontColor = clMenuText, DrawCheckedFill = clHighlight,
         DrawCheckedSelectFill = clHighlight, DrawCheckedColor = clHighlight, DrawMenuBarColor = clBtnFace,
         DrawDisabledColor = clInactiveCaption, DrawSeparatorColor = clBtnFace, DrawBorderColor = clBtnShadow,
         DrawShadowColor = clBtnShadow;

  // Computes the colour scheme for the canvas's device (its colour depth decides HighColor).
  void UpdateColors(TCanvas* Canvas);
  // Styles (Enable) or unstyles every component Owner owns.
  void InitComponents(TComponent* Owner, bool Enable, bool Repaint);
  void InitComponent(TComponent* Component, bool Enable, bool Repaint);

  // ---- Menu items (installed as the items' OnMeasureItem/OnDrawItem) ----
  void MeasureMenuItem(TObject* Sender, TCanvas* ACanvas, Integer& Width, Integer& Height);
  void DrawMenuItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected);
  // The item's image size (a popup item's width at least IconWidth); Glyph receives the image when given.
  void GlyphSize(TMenuItem* Item, bool BarMenu, Integer& Width, Integer& Height);
  void DrawBarSelection(TObject* Target, TCanvas* Canvas, bool RightToLeft, TColor BackColor, TRect Rect);
  void DrawCheck(TMenuItem* Item, bool Selected, TRect Rect, TCanvas* Canvas, bool HasGlyph, bool Enabled);
  void DrawItemText(TObject* Target, const String& Text, UINT Format, TFont* AFont, bool RightToLeft, bool IsBar,
                    bool IsDefault, bool Enabled, bool Selected, TRect Rect, TCanvas* Canvas,
                    const String& ShortCutText);
  void DrawMenuGlyph(TObject* Target, TCanvas* Canvas, bool RightToLeft, bool IsBar, bool Checked, bool Enabled,
                     bool Down, bool Hot, TRect Rect, TBitmap* Glyph);
  void DrawGradient(TCanvas* Canvas, TRect Rect, bool RightToLeft);

  // ---- Tool buttons (installed as the tool bars' OnCustomDrawButton) ----
  void DrawToolButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw);
  static void DrawDropArrow(TCanvas* Canvas, Integer X, Integer Y);

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TSkinMenuManager;
  void SetColour(TColor& Field, TColor Value) {
    Field = Value;
    colorsChanged_ = true;
  }
  void RedrawMenuBar();
  void HookItem(TMenuItem* Item, bool Enable);
  // Designing: the component is on a form being edited.
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  void SwitchSet(const std::function<void()>& Store);

  bool active_ = false;
  TCustomForm* form_ = nullptr;
  TObjectPtr<TFont> font_;
  TColor color_ = clBtnFace, iconBackColor_ = clBtnFace, menuBarColor_ = clBtnFace, checkedColor_ = clHighlight,
         separatorColor_ = clBtnFace, selectBorderColor_ = clHighlight, selectColor_ = clHighlight,
         disabledColor_ = clInactiveCaption, selectFontColor_ = clMenuText;
  Integer iconWidth_ = 24;
  bool drawSelect_ = true;
  bool useSystemColors_ = true;
  bool colorsChanged_ = false;
  bool highColor_ = true;
  bool overrideOwnerDraw_ = false, gradient_ = false, flatMenu_ = false, autoDetect_ = false;
  TSkinContainers skinContainers_;
  TSkinControls skinControls_;
  Byte grayLevel_ = 10, dimLevel_ = 30;
  bool drawMenuBar_ = false, useDimColor_ = false;
  Integer faceLighten_ = 16, faceLightenHot_ = 40;
  bool popupBorderBusy_ = false;
  bool isWin2000_ = false, isWinXP_ = false, isNT_ = false;
  bool disableSubclassing_ = false;
};

// ---- Control subclassing -------------------------------------------------------------------------------
// Takes over a standard control's WindowProc: every message goes on to the control's own procedure, then
// the control's border, button or box is painted flat when the message changes what should be seen.
// Owned by the TSkinMenu that created it; one per control.
class TControlSubClass : public TComponent {
  K58_CLASS(TControlSubClass, TComponent)

  explicit TControlSubClass(TComponent* AOwner);
  ~TControlSubClass() override;

  // The subclass of the control, or nil.
  static TControlSubClass* Of(TControl* Control);
  // Points the control's WindowProc here (once) and saves what styling changes.
  void Attach(TControl* AControl, TSkinMenu* ASkinMenu);
  // The control's own WindowProc, Ctl3D and BorderStyle back.
  void Restore();
  void SubclassWindowProc(TMessage& Message);
  void PaintControl();

  TControl* Control = nullptr;
  bool KeepOnDestroy = false;
  bool Hot = false;
  bool Pressed = false;
  bool SpaceDown = false;
  bool SpaceRepainted = false;
  bool Focused = false;
  TWndMethod SavedWindowProc;
  TSkinMenu* SkinMenu = nullptr;
  bool SavedCtl3D = true;
  Byte SavedBorderStyle = 0;
  UINT LastMessage = 0;

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void FreeSelf();
  void FlattenLater(TWinControl* Control);
  void PaintCombo(TCustomComboBox* Combo);
  void PaintLookupCombo(TWinControl* Combo);
  void PaintButton();
  void PaintUpDown(TUpDown* UpDown);
  void PaintSpeedButton(TSpeedButton* Button);
  bool flattenPosted_ = false;
};

// ---- The manager --------------------------------------------------------------------------------------
// Keeps the registered painters, applies the active one to the application's other forms at the next
// message to the main window after they appear, and paints popup menu borders.
class TSkinMenuManager : public TPersistent {
  K58_CLASS(TSkinMenuManager, TPersistent)

  TSkinMenuManager();
  ~TSkinMenuManager() override;

  // The manager alive now (nil when no TSkinMenu exists outside design mode).
  static TSkinMenuManager* Instance();

  const std::vector<TSkinMenu*>& SkinMenus() const { return skinMenus_; }
  // Components the application took in since the last message to the main window: a component is
  // inserted while its base part is built, so whether it is a form is known only later.
  const std::vector<TComponent*>& PendingForms() const { return pendingForms_; }
  const std::vector<TCustomForm*>& DoneForms() const { return doneForms_; }
  TSkinMenu* ActiveSkinMenu() const { return activeSkinMenu_; }

  void AddSkinMenu(TSkinMenu* SkinMenu);
  void RemoveSkinMenu(TSkinMenu* SkinMenu);
  void FormNotification(TComponent* Component, TOperation Operation);
  void CollectForms();
  TSkinMenu* FindOtherActive(TSkinMenu* Except) const;
  void SwitchActive(TSkinMenu* Except);
  void RestoreControls(TWinControl* Container);
  bool MainWindowHook(TMessage& Message);

 private:
  friend class TSkinMenu;
  std::vector<TSkinMenu*> skinMenus_;
  std::vector<TComponent*> pendingForms_;
  std::vector<TCustomForm*> doneForms_;
  TSkinMenu* activeSkinMenu_ = nullptr;
};
