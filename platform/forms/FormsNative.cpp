// The window system's menus and MDI windows as the forms use them.
#include <algorithm>

#include "platform/classes/Streams.h"
#include "platform/forms/FormsInternal.h"
#include "platform/win/Windows.h"
#include "platform/win/builtin/CommCtrl.h"

namespace k58::forms {

namespace {
// Ids of the MDI "Window" list start above every menu command number.
constexpr UINT kFirstMDIChild = 0xFF00;
}  // namespace

void SetWindowMenuBar(TCustomForm* Form, HMENU Bar) {
  if (Form == nullptr || !Form->HandleAllocated()) return;
  HWND wnd = Form->Handle();
  if (::GetMenu(wnd) != Bar) {
    ::SetMenu(wnd, Bar);
  } else {
    ::DrawMenuBar(wnd);
  }
}

void RedrawMenuBar(HWND Window) {
  if (Window != nullptr && ::IsWindow(Window)) ::DrawMenuBar(Window);
}

HWND CreateMDIClientWindow(HWND Frame, const TRect& Rect, HMENU WindowMenu) {
  CLIENTCREATESTRUCT create;
  create.hWindowMenu = WindowMenu;
  create.idFirstChild = kFirstMDIChild;
  return ::CreateWindowEx(WS_EX_CLIENTEDGE, MDICLIENT_CLASS, nullptr,
                          WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL |
                              MDIS_ALLCHILDSTYLES,
                          Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top, Frame, nullptr,
                          HInstance, &create);
}

HWND CreateMDIChildWindow(HWND Client, const TCreateParams& Params) {
  if (Client == nullptr) return nullptr;
  return ::CreateMDIWindow(Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style & ~WS_CHILD, Params.X,
                           Params.Y, Params.Width, Params.Height, Client, HInstance,
                           reinterpret_cast<LPARAM>(Params.Param));
}

LRESULT DefFrameProcFor(HWND Frame, HWND Client, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return ::DefFrameProc(Frame, Client, Msg, WParam, LParam);
}

LRESULT DefMDIChildProcFor(HWND Child, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return ::DefMDIChildProc(Child, Msg, WParam, LParam);
}

void SetMDIMenu(HWND Client, HMENU Bar, HMENU WindowMenu) {
  if (Client == nullptr || !::IsWindow(Client)) return;
  ::SendMessage(Client, WM_MDISETMENU, reinterpret_cast<WPARAM>(Bar), reinterpret_cast<LPARAM>(WindowMenu));
}

// ---- Menus --------------------------------------------------------------------------------------------------

HMENU NativeCreateMenu(bool Popup) { return Popup ? ::CreatePopupMenu() : ::CreateMenu(); }

void NativeDestroyMenu(HMENU Menu) {
  if (Menu != nullptr && ::IsMenu(Menu)) ::DestroyMenu(Menu);
}

void NativeClearMenu(HMENU Menu) {
  if (Menu == nullptr || !::IsMenu(Menu)) return;
  for (int n = ::GetMenuItemCount(Menu); n > 0; --n) ::RemoveMenu(Menu, 0, MF_BYPOSITION);
}

void NativeAppendItem(HMENU Menu, const NativeMenuItem& Item) {
  if (Menu == nullptr || !::IsMenu(Menu)) return;
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING | MIIM_SUBMENU;
  info.fType = Item.Separator ? MFT_SEPARATOR : MFT_STRING;
  if (Item.OwnerDraw) info.fType |= MFT_OWNERDRAW;
  if (Item.RadioCheck) info.fType |= MFT_RADIOCHECK;
  if (Item.Break == mbBreak) info.fType |= MFT_MENUBREAK;
  if (Item.Break == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
  info.fState = (Item.Checked ? MFS_CHECKED : 0u) | (Item.Enabled ? 0u : MFS_GRAYED) | (Item.Default ? MFS_DEFAULT : 0u);
  info.wID = Item.Id;
  info.hSubMenu = Item.SubMenu;
  info.dwItemData = Item.Data;
  String text = Item.Text;
  info.dwTypeData = text.data();
  info.cch = static_cast<UINT>(text.size());
  ::InsertMenuItem(Menu, static_cast<UINT>(::GetMenuItemCount(Menu)), TRUE, &info);
}

void NativeTrackPopupMenu(HMENU Menu, UINT Flags, Integer X, Integer Y, HWND Owner) {
  if (Menu == nullptr) return;
  ::TrackPopupMenu(Menu, Flags, X, Y, 0, Owner, nullptr);
}

// ---- Owner-drawn menu items ---------------------------------------------------------------------------------

namespace {

// The item a menu message names, if it still belongs to one of the menus searched.
TMenuItem* OwnerDrawnItem(std::initializer_list<TMenu*> Menus, UINT Id, ULONG_PTR Data) {
  auto* item = reinterpret_cast<TMenuItem*>(Data);
  for (TMenu* menu : Menus) {
    if (menu == nullptr) continue;
    TMenuItem* found = menu->FindItem(Id, fkCommand);
    if (found != nullptr && found == item) return found;
    // Items with a submenu have no command; they are found by their place in the tree.
    std::function<bool(TMenuItem*)> contains = [&](TMenuItem* parent) {
      for (Integer i = 0; i < parent->Count(); ++i) {
        if (parent->Items(i) == item || contains(parent->Items(i))) return true;
      }
      return false;
    };
    if (contains(menu->Items())) return item;
  }
  return nullptr;
}

TOwnerDrawState DrawState(UINT ItemState) {
  TOwnerDrawState state;
  if (ItemState & ODS_SELECTED) state.Include(odSelected);
  if (ItemState & ODS_GRAYED) state.Include(odGrayed);
  if (ItemState & ODS_DISABLED) state.Include(odDisabled);
  if (ItemState & ODS_CHECKED) state.Include(odChecked);
  if (ItemState & ODS_FOCUS) state.Include(odFocused);
  if (ItemState & ODS_DEFAULT) state.Include(odDefault);
  if (ItemState & ODS_HOTLIGHT) state.Include(odHotLight);
  if (ItemState & ODS_INACTIVE) state.Include(odInactive);
  if (ItemState & ODS_NOACCEL) state.Include(odNoAccel);
  if (ItemState & ODS_NOFOCUSRECT) state.Include(odNoFocusRect);
  return state;
}

bool DrawMenuItem(std::initializer_list<TMenu*> Menus, TMessage& Message) {
  auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (draw == nullptr || draw->CtlType != ODT_MENU) return false;
  TMenuItem* item = OwnerDrawnItem(Menus, draw->itemID, draw->itemData);
  if (item == nullptr) return false;
  TCanvas canvas;
  int saved = ::SaveDC(draw->hDC);
  canvas.SetHandle(draw->hDC);
  canvas.Font()->Assign(Screen->MenuFont());
  TOwnerDrawState state = DrawState(draw->itemState);
  bool topLevel = item->Parent() != nullptr && item->Parent()->Parent() == nullptr &&
                  dynamic_cast<TMainMenu*>(item->GetParentMenu()) != nullptr;
  try {
    item->AdvancedDrawItem(&canvas, draw->rcItem, state, topLevel);
  } catch (...) {
    canvas.SetHandle(nullptr);
    ::RestoreDC(draw->hDC, saved);
    throw;
  }
  canvas.SetHandle(nullptr);
  ::RestoreDC(draw->hDC, saved);
  Message.Result = 1;
  return true;
}

bool MeasureMenuItem(std::initializer_list<TMenu*> Menus, TMessage& Message) {
  auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (measure == nullptr || measure->CtlType != ODT_MENU) return false;
  TMenuItem* item = OwnerDrawnItem(Menus, measure->itemID, measure->itemData);
  if (item == nullptr) return false;
  TCanvas canvas;
  HDC dc = ScreenDC();
  int saved = ::SaveDC(dc);
  canvas.SetHandle(dc);
  canvas.Font()->Assign(Screen->MenuFont());
  auto width = static_cast<Integer>(measure->itemWidth);
  auto height = static_cast<Integer>(measure->itemHeight);
  try {
    item->MeasureItem(&canvas, width, height);
  } catch (...) {
    canvas.SetHandle(nullptr);
    ::RestoreDC(dc, saved);
    throw;
  }
  canvas.SetHandle(nullptr);
  ::RestoreDC(dc, saved);
  measure->itemWidth = static_cast<UINT>(std::max(width, 0));
  measure->itemHeight = static_cast<UINT>(std::max(height, 0));
  Message.Result = 1;
  return true;
}

TMainMenu* MergedMenuOf(TCustomForm* Form) {
  TMainMenu* menu = Form->Menu();
  return menu != nullptr ? menu->MergedMenu() : nullptr;
}

}  // namespace

bool MenuDrawItem(TCustomForm* Form, TWMDrawItem& Message) {
  return DrawMenuItem({Form->Menu(), MergedMenuOf(Form)}, Message);
}

bool MenuMeasureItem(TCustomForm* Form, TWMMeasureItem& Message) {
  return MeasureMenuItem({Form->Menu(), MergedMenuOf(Form)}, Message);
}

bool PopupMenuDrawItem(TPopupMenu* Menu, TMessage& Message) { return DrawMenuItem({Menu}, Message); }

bool PopupMenuMeasureItem(TPopupMenu* Menu, TMessage& Message) { return MeasureMenuItem({Menu}, Message); }

}  // namespace k58::forms
