// Menus: the main menu of a form, popup menus and their items.
//
// Items form a tree (Items, Count, Parent, MenuIndex). A menu builds its window-system menu from the tree
// when its Handle is first needed and rebuilds the part that changes whenever an item's property
// changes. Commands chosen in a menu arrive as WM_COMMAND with the item's Command number; the menu finds
// the item and runs Click (OnClick). Opening a submenu (WM_INITMENUPOPUP) runs the parent item's Click
// first, so OnClick of an item with children can prepare them.
//
// Merging: an MDI child's main menu is merged into the main form's. Items of the child with the
// GroupIndex of items of the main menu replace them; items with other group indexes are placed among the
// main menu's items in GroupIndex order.
#pragma once

#include <functional>
#include <vector>

#include "platform/forms/Controls.h"

class TMenu;
class TMenuItem;
class TMainMenu;
class TPopupMenu;

namespace menusconsts {
inline constexpr const char* SMenuIndexError = "Menu index out of range";
inline constexpr const char* SMenuReinserted = "Menu inserted twice";
inline constexpr const char* SMenuNotFound = "Sub-menu is not in menu";
inline constexpr const char* SNoMenuItem = "Menu item is not part of a menu";
inline constexpr const char* SGroupIndexTooLow = "GroupIndex cannot be less than a previous menu item's GroupIndex";
}  // namespace menusconsts

// ---- Short cuts -----------------------------------------------------------------------------------------
// A virtual key in the low byte, with scShift, scCtrl and scAlt added for the keys held.
using TShortCut = Word;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

const TTypeInfo* TShortCutTypeInfo();
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Ctrl+F2", "Del": the modifiers Shift+, Ctrl+, Alt+ in this order, then the key's name.
String ShortCutToText(TShortCut ShortCut);
// The short cut of such a text (case and order of the modifiers do not matter); 0 when there is none.
TShortCut TextToShortCut(const String& Text);
// Caption without its "&" marks ("&&" stays one "&").
String StripHotkey(const String& Text);
// The character after the single "&" of a caption (0 when there is none).
char GetHotkey(const String& Text);
// True when the caption's hot key is the character (ignoring case).
bool IsAccel(Word VK, const String& Str);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
K58_ENUM_TYPE(TMenuBreak, mbNone, mbBreak, mbBarBreak)

enum TPopupAlignment { paLeft, paRight, paCenter };
K58_ENUM_TYPE(TPopupAlignment, paLeft, paRight, paCenter)

enum TTrackButton { tbRightButton, tbLeftButton };
K58_ENUM_TYPE(TTrackButton, tbRightButton, tbLeftButton)

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

K58_EVENT_TYPE(TMenuDrawItemEvent, void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected))
K58_EVENT_TYPE(TMenuMeasureItemEvent, void(TObject* Sender, TCanvas* ACanvas, Integer& Width, Integer& Height))
K58_EVENT_TYPE(TAdvancedMenuDrawItemEvent, void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State))
K58_EVENT_TYPE(TMenuChangeEvent, void(TObject* Sender, TMenuItem* Source, bool Rebuild))

// ---- Menu items -----------------------------------------------------------------------------------------
class TMenuItem : public TComponent {
  K58_CLASS(TMenuItem, TComponent)

  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // ---- The tree ----
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Indexes outside 0..Count-1 raise EMenuError "Menu index out of range".
  TMenuItem* Items(Integer Index) const;
  TMenuItem* Parent() const { return parent_; }
  Integer MenuIndex() const;
  void SetMenuIndex(Integer Value);
  void Add(TMenuItem* Item);
  void Add(const std::vector<TMenuItem*>& AItems);
  // An item inserted after items of a higher group index takes that group index.
  void Insert(Integer Index, TMenuItem* Item);
  // Takes the item out of the menu (the caller owns it then); raises EMenuError for a bad index.
  void Delete(Integer Index);
  void Remove(TMenuItem* Item);
  // Frees every sub-item.
  void Clear();
  // The sub-item whose caption without "&" equals ACaption, ignoring case (nil when none).
  TMenuItem* Find(const String& ACaption) const;
  Integer IndexOf(TMenuItem* Item) const;
  // The menu the item belongs to (nil when it is in none).
  TMenu* GetParentMenu() const;
  bool IsLine() const { return caption_ == "-"; }
  TCustomImageList* GetImageList() const;

  // ---- Properties ----
  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool Checked() const { return checked_; }
  void SetChecked(bool Value);
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  Byte GroupIndex() const { return groupIndex_; }
  // Items keep their group indexes in order: a value below a previous item's raises EMenuError, and the
  // items after take at least the new value.
  void SetGroupIndex(Byte Value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value) { hint_ = Value; }
  TImageIndex ImageIndex() const { return imageIndex_; }
  void SetImageIndex(TImageIndex Value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool Value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool Value) { autoCheck_ = Value; }
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak Value);
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext Value) { helpContext_ = Value; }
  // The item's own picture (made on first use), drawn when the menu has no image for it.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  bool HasBitmap() const { return bitmap_ != nullptr && !bitmap_->Empty(); }
  TCustomImageList* SubMenuImages() const { return subMenuImages_; }
  void SetSubMenuImages(TCustomImageList* Value);

  // ---- Events ----
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(const TNotifyEvent& Value) { onClick_ = Value; }
  const TMenuDrawItemEvent& OnDrawItem() const { return onDrawItem_; }
  void SetOnDrawItem(const TMenuDrawItemEvent& Value);
  const TAdvancedMenuDrawItemEvent& OnAdvancedDrawItem() const { return onAdvancedDrawItem_; }
  void SetOnAdvancedDrawItem(const TAdvancedMenuDrawItemEvent& Value);
  const TMenuMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(const TMenuMeasureItemEvent& Value);

  // Runs OnClick when the item is enabled (after turning the check mark with AutoCheck).
  virtual void Click();
  // The command number of WM_COMMAND for the item.
  Word Command() const { return command_; }
  // The window-system menu of the item's sub-items (made on first use).
  HMENU Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }

  // ---- Owner drawing (the menu's OwnerDraw or the item's drawing events) ----
  virtual void DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected);
  virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);
  virtual void MeasureItem(TCanvas* ACanvas, Integer& Width, Integer& Height);
  bool IsOwnerDraw() const;

  // ---- Streaming ----
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

  // Tells the menu that the item changed (Rebuild: its window-system menu must be made again).
  void MenuChanged(bool Rebuild);

 private:
  friend class TMenu;
  friend class TMainMenu;
  friend struct MenuBuilder;
  void TurnSiblingsOff();
  void VerifyGroupIndex(Integer Position, Byte Value);
  void DestroyHandle();
  void RebuildHandle();
  void AppendTo(HMENU Menu, bool TopLevel);

  String caption_;
  bool checked_ = false;
  bool default_ = false;
  bool enabled_ = true;
  Byte groupIndex_ = 0;
  String hint_;
  TImageIndex imageIndex_ = -1;
  bool radioItem_ = false;
  TShortCut shortCut_ = 0;
  bool visible_ = true;
  bool autoCheck_ = false;
  TMenuBreak break_ = mbNone;
  THelpContext helpContext_ = 0;
  TObjectPtr<TBitmap> bitmap_;
  TCustomImageList* subMenuImages_ = nullptr;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item of a menu
  std::vector<TMenuItem*> items_;
  // The merged menu's items shown in place of (or among) this root's items.
  TMenuItem* merged_ = nullptr;
  TMenuItem* mergedWith_ = nullptr;
  Word command_ = 0;
  HMENU handle_ = nullptr;
  TNotifyEvent onClick_;
  TMenuDrawItemEvent onDrawItem_;
  TAdvancedMenuDrawItemEvent onAdvancedDrawItem_;
  TMenuMeasureItemEvent onMeasureItem_;
};

// ---- Menus ---------------------------------------------------------------------------------------------
class TMenu : public TComponent {
  K58_CLASS(TMenu, TComponent)

  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's items.
  TMenuItem* Items() const { return items_; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  // Every item is drawn by OnDrawItem/OnAdvancedDrawItem and measured by OnMeasureItem.
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool Value);
  bool IsRightToLeft() const { return false; }
  // The window-system menu (made on first use).
  virtual HMENU Handle();
  bool HandleAllocated() const { return items_->HandleAllocated(); }
  // The window the menu belongs to: the form of a main menu, the popup window of popup menus.
  HWND WindowHandle() const { return windowHandle_; }
  void SetWindowHandle(HWND Value);

  // Runs the item with the command number; false when the menu has none.
  bool DispatchCommand(Word ACommand);
  // Runs the Click of the item whose submenu opens; false when the menu has none.
  bool DispatchPopup(HMENU AMenu);
  TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind);
  // The enabled item with the message's short cut (visible or not); runs its Click and answers true.
  bool IsShortCut(TWMKey& Message);

  const TMenuChangeEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TMenuChangeEvent& Value) { onChange_ = Value; }

  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

  // Called by items when they change.
  virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);

 protected:
  void ImageListChange(TObject* Sender);

 private:
  friend class TMenuItem;
  TMenuItem* items_;
  TCustomImageList* images_ = nullptr;
  TObjectPtr<TChangeLink> imageChangeLink_;
  bool ownerDraw_ = false;
  HWND windowHandle_ = nullptr;
  TMenuChangeEvent onChange_;
};

class TMainMenu : public TMenu {
  K58_CLASS(TMainMenu, TMenu)

  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;

  // The menu bar: this menu's items with those of the merged menu.
  HMENU Handle() override;
  void Merge(TMainMenu* Menu);
  void Unmerge(TMainMenu* Menu);
  TMainMenu* MergedMenu() const { return merged_; }
  // The child form's menu is merged into the main form's when the child becomes active.
  bool AutoMerge() const { return autoMerge_; }
  void SetAutoMerge(bool Value);

  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void RebuildBar();
  TMainMenu* merged_ = nullptr;
  bool autoMerge_ = false;
};

class TPopupMenu : public TMenu {
  K58_CLASS(TPopupMenu, TMenu)

  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Shows the menu at the screen point and runs the menu loop; the chosen item's Click runs afterwards,
  // when its command message arrives.
  virtual void Popup(Integer X, Integer Y);
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* Value) { popupComponent_ = Value; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment Value) { alignment_ = Value; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool Value) { autoPopup_ = Value; }
  TTrackButton TrackButton() const { return trackButton_; }
  void SetTrackButton(TTrackButton Value) { trackButton_ = Value; }
  TPoint PopupPoint() const { return popupPoint_; }

  const TNotifyEvent& OnPopup() const { return onPopup_; }
  void SetOnPopup(const TNotifyEvent& Value) { onPopup_ = Value; }
  const TNotifyEvent& OnClose() const { return onClose_; }
  void SetOnClose(const TNotifyEvent& Value) { onClose_ = Value; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  virtual void DoPopup(TObject* Sender);
  virtual void DoClose();

 private:
  TComponent* popupComponent_ = nullptr;
  TPopupAlignment alignment_ = paLeft;
  bool autoPopup_ = true;
  TTrackButton trackButton_ = tbRightButton;
  TPoint popupPoint_{};
  TNotifyEvent onPopup_;
  TNotifyEvent onClose_;
};

K58_DECLARE_EXCEPTION(EMenuError, Exception);

// Items made in code.
TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled, const TNotifyEvent& AOnClick,
                   THelpContext hCtx, const String& AName);
TMenuItem* NewLine();
TMenuItem* NewSubMenu(const String& ACaption, THelpContext hCtx, const String& AName,
                      const std::vector<TMenuItem*>& Items, bool AEnabled = true);
TMainMenu* NewMenu(TComponent* Owner, const String& AName, const std::vector<TMenuItem*>& Items);
TPopupMenu* NewPopupMenu(TComponent* Owner, const String& AName, TPopupAlignment Alignment, bool AutoPopup,
                         const std::vector<TMenuItem*>& Items);

// The popup menus shown now, to find the one a command or a submenu belongs to.
namespace k58::forms {
HWND PopupListWindow();
}  // namespace k58::forms
