// Menu objects and their items: creation and destruction, the item calls (append, insert, modify,
// remove, item information, states), menu bars of windows, system menus and accelerator tables.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

#include "platform/rtl/Utf.h"
#include "platform/win/ui/MenuInternal.h"

namespace k58::winui::menus {

namespace {

struct Store {
  std::unordered_map<HMENU, std::unique_ptr<Menu>> Menus;
  uintptr_t Next = 0x4000;
  std::map<HWND, HMENU> SystemMenus;
  std::unordered_map<HACCEL, std::vector<ACCEL>> Accels;
  uintptr_t NextAccel = 0x8000;
};

Store& S() {
  static Store* P = new Store;
  return *P;
}

constexpr UINT kTypeBits = MFT_BITMAP | MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_OWNERDRAW | MFT_RADIOCHECK |
                           MFT_SEPARATOR | MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT;

HMENU NewMenu(bool Bar) {
  EnsureMenus();
  Store& St = S();
  auto H = reinterpret_cast<HMENU>(St.Next);
  St.Next += 4;
  auto M = std::make_unique<Menu>();
  M->Bar = Bar;
  St.Menus[H] = std::move(M);
  return H;
}

// Whether Sub is Target or holds it somewhere below (so that making Sub a submenu of Target would close
// a circle).
bool Reaches(HMENU Sub, HMENU Target, int Depth = 0) {
  if (Sub == Target) return true;
  if (Depth > 64) return true;
  Menu* M = Find(Sub);
  if (!M) return false;
  for (const MenuItem& I : M->Items)
    if (I.Sub && Reaches(I.Sub, Target, Depth + 1)) return true;
  return false;
}

MenuItem* LocateById(HMENU Handle, UINT Id, HMENU* Owner, int* Index, int Depth) {
  Menu* M = Find(Handle);
  if (!M || Depth > 64) return nullptr;
  for (size_t K = 0; K < M->Items.size(); ++K) {
    MenuItem& I = M->Items[K];
    if (!I.Sub && I.Id == Id) {
      if (Owner) *Owner = Handle;
      if (Index) *Index = static_cast<int>(K);
      return &I;
    }
  }
  for (size_t K = 0; K < M->Items.size(); ++K)
    if (HMENU Sub = M->Items[K].Sub)
      if (MenuItem* Found = LocateById(Sub, Id, Owner, Index, Depth + 1)) return Found;
  return nullptr;
}

// The item that AppendMenu/InsertMenu/ModifyMenu describe.
bool MakeItem(HMENU Into, UINT Flags, UINT_PTR IdNew, LPCSTR NewItem, MenuItem& I) {
  I = MenuItem{};
  if (Flags & MF_SEPARATOR) {
    I.Type = MFT_SEPARATOR;
  } else if (Flags & MF_BITMAP) {
    I.Type = MFT_BITMAP;
    I.Bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(NewItem));
  } else if (Flags & MF_OWNERDRAW) {
    I.Type = MFT_OWNERDRAW;
    I.Data = reinterpret_cast<ULONG_PTR>(NewItem);
  } else {
    I.Type = MFT_STRING;
    I.Text = NewItem ? NewItem : "";
  }
  I.Type |= Flags & (MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY);
  I.State = Flags & kStateBits;
  if (Flags & MF_POPUP) {
    auto Sub = reinterpret_cast<HMENU>(IdNew);
    if (!Find(Sub) || (Into && Reaches(Sub, Into))) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    I.Sub = Sub;
  } else {
    I.Id = static_cast<UINT>(IdNew);
  }
  return true;
}

bool InsertAt(HMENU Handle, UINT Position, bool ByPosition, MenuItem&& I) {
  Menu* M = Find(Handle);
  if (!M) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return false;
  }
  if (ByPosition) {
    size_t At = Position >= M->Items.size() ? M->Items.size() : Position;
    M->Items.insert(M->Items.begin() + static_cast<long>(At), std::move(I));
    M->BarWidth = -1;
    return true;
  }
  HMENU Owner = nullptr;
  int Index = -1;
  if (!LocateById(Handle, Position, &Owner, &Index, 0)) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return false;
  }
  Menu* Into = Find(Owner);
  Into->Items.insert(Into->Items.begin() + Index, std::move(I));
  Into->BarWidth = -1;
  return true;
}

void DestroyTree(HMENU Handle, int Depth) {
  Store& St = S();
  auto It = St.Menus.find(Handle);
  if (It == St.Menus.end() || Depth > 64) return;
  std::unique_ptr<Menu> M = std::move(It->second);
  St.Menus.erase(It);
  for (auto Sys = St.SystemMenus.begin(); Sys != St.SystemMenus.end();)
    Sys = Sys->second == Handle ? St.SystemMenus.erase(Sys) : std::next(Sys);
  if (M->BarWindow && IsWindow(M->BarWindow) && !(StyleOf(M->BarWindow) & WS_CHILD) &&
      reinterpret_cast<HMENU>(GetWindowLongPtr(M->BarWindow, GWLP_ID)) == Handle)
    MenuBarChanged(M->BarWindow);
  for (MenuItem& I : M->Items)
    if (I.Sub) DestroyTree(I.Sub, Depth + 1);
}

bool CheckInfo(const MENUITEMINFOA* Info) {
  if (!Info || Info->cbSize < offsetof(MENUITEMINFOA, hbmpItem) ||
      ((Info->fMask & MIIM_BITMAP) && Info->cbSize < sizeof(MENUITEMINFOA))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return true;
}

bool ApplyInfo(HMENU Menu, MenuItem& I, const MENUITEMINFOA& Info) {
  UINT Mask = Info.fMask;
  if (Mask & MIIM_SUBMENU) {
    if (Info.hSubMenu && (!Find(Info.hSubMenu) || (Menu && Reaches(Info.hSubMenu, Menu)))) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
  }
  if (Mask & MIIM_TYPE) {
    I.Type = Info.fType & kTypeBits;
    if (I.Type & MFT_BITMAP) {
      I.Bitmap = reinterpret_cast<HBITMAP>(Info.dwTypeData);
      I.Text.clear();
    } else if (!(I.Type & (MFT_SEPARATOR | MFT_OWNERDRAW))) {
      I.Text = Info.dwTypeData ? Info.dwTypeData : "";
      I.Bitmap = nullptr;
    }
    I.Measured = false;
  }
  if (Mask & MIIM_FTYPE) {
    I.Type = Info.fType & kTypeBits;
    I.Measured = false;
  }
  if (Mask & MIIM_STRING) {
    I.Text = Info.dwTypeData ? Info.dwTypeData : "";
    I.Measured = false;
  }
  if (Mask & MIIM_BITMAP) {
    I.Bitmap = Info.hbmpItem;
    I.Measured = false;
  }
  if (Mask & MIIM_STATE) I.State = Info.fState & kStateBits;
  if (Mask & MIIM_ID) I.Id = Info.wID;
  if (Mask & MIIM_SUBMENU) I.Sub = Info.hSubMenu;
  if (Mask & MIIM_CHECKMARKS) {
    I.CheckedBmp = Info.hbmpChecked;
    I.UncheckedBmp = Info.hbmpUnchecked;
  }
  if (Mask & MIIM_DATA) {
    I.Data = Info.dwItemData;
    I.Measured = false;
  }
  return true;
}

// Marks a menu for a new layout and repaints the bar or popup showing it.
void Changed(HMENU Handle) {
  Menu* M = Find(Handle);
  if (!M) return;
  M->BarWidth = -1;
  if (M->PopupWindow && IsWindow(M->PopupWindow)) InvalidateRect(M->PopupWindow, nullptr, TRUE);
}

void AddSystemItems(HMENU H, HWND Window) {
  DWORD Style = StyleOf(Window);
  bool MdiChild = (ExStyleOf(Window) & WS_EX_MDICHILD) != 0;
  AppendMenu(H, MF_STRING, SC_RESTORE, "&Restore");
  AppendMenu(H, MF_STRING, SC_MOVE, "&Move");
  if (Style & WS_THICKFRAME) AppendMenu(H, MF_STRING, SC_SIZE, "&Size");
  if (Style & WS_MINIMIZEBOX) AppendMenu(H, MF_STRING, SC_MINIMIZE, "Mi&nimize");
  if (Style & WS_MAXIMIZEBOX) AppendMenu(H, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  AppendMenu(H, MF_SEPARATOR, 0, nullptr);
  AppendMenu(H, MF_STRING, SC_CLOSE, MdiChild ? "&Close\tCtrl+F4" : "&Close\tAlt+F4");
  if (MdiChild) {
    AppendMenu(H, MF_SEPARATOR, 0, nullptr);
    AppendMenu(H, MF_STRING, SC_NEXTWINDOW, "Nex&t\tCtrl+F6");
  }
  SetMenuDefaultItem(H, SC_CLOSE, FALSE);
}

class BarProvider final : public MenuBarProvider {
public:
  int MenuBarHeight(HWND Window, HMENU Handle, int Width) override {
    if (!Find(Handle)) return 0;
    return LayoutBar(Window, Handle, Width);
  }
  void PaintMenuBar(HWND Window, HMENU Handle, HDC Dc, const RECT& Bar) override {
    if (Find(Handle)) PaintBar(Window, Handle, Dc, Bar);
  }
};

}  // namespace

void EnsureMenus() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  static BarProvider* Provider = new BarProvider;
  SetMenuBarProvider(Provider);
  AddDefWindowProcHook(MenuDefProc);
  RegisterPopupClass();
}

Menu* Find(HMENU Handle) {
  if (!Handle) return nullptr;
  Store& St = S();
  auto It = St.Menus.find(Handle);
  return It == St.Menus.end() ? nullptr : It->second.get();
}

MenuItem* Locate(HMENU Handle, UINT Item, UINT Flags, HMENU* Owner, int* Index) {
  if (Flags & MF_BYPOSITION) {
    Menu* M = Find(Handle);
    if (!M || Item >= M->Items.size()) return nullptr;
    if (Owner) *Owner = Handle;
    if (Index) *Index = static_cast<int>(Item);
    return &M->Items[Item];
  }
  return LocateById(Handle, Item, Owner, Index, 0);
}

bool IsSeparator(const MenuItem& I) { return (I.Type & MFT_SEPARATOR) != 0; }
bool IsEnabled(const MenuItem& I) { return !(I.State & (MF_GRAYED | MF_DISABLED)) && !IsSeparator(I); }

char32_t Mnemonic(const MenuItem& I) {
  if (I.Type & (MFT_SEPARATOR | MFT_BITMAP)) return 0;
  const std::string& T = I.Text;
  for (size_t K = 0; K + 1 < T.size(); ++K) {
    if (T[K] != '&') continue;
    if (T[K + 1] == '&') {
      ++K;
      continue;
    }
    size_t Pos = K + 1;
    char32_t Cp = k58::rtl::DecodeUtf8(T, Pos);
    return Cp < 0x80 ? k58::rtl::FoldCase(Cp) : Cp;
  }
  return 0;
}

void UpdateSystemMenu(HWND Window, HMENU Sys) {
  DWORD Style = StyleOf(Window);
  bool Min = (Style & WS_MINIMIZE) != 0, Max = (Style & WS_MAXIMIZE) != 0;
  auto Set = [&](UINT Id, bool On) { EnableMenuItem(Sys, Id, MF_BYCOMMAND | (On ? MF_ENABLED : MF_GRAYED)); };
  Set(SC_RESTORE, Min || Max);
  Set(SC_MOVE, !Max);
  Set(SC_SIZE, !Min && !Max && (Style & WS_THICKFRAME));
  Set(SC_MINIMIZE, !Min && (Style & WS_MINIMIZEBOX));
  Set(SC_MAXIMIZE, !Max && (Style & WS_MAXIMIZEBOX));
  Set(SC_CLOSE, !(GetClassLongPtr(Window, GCL_STYLE) & CS_NOCLOSE));
}

bool IsSystemMenu(HMENU Handle) { return SystemMenuWindow(Handle) != nullptr; }

HWND SystemMenuWindow(HMENU Handle) {
  Menu* M = Find(Handle);
  return M && M->SysWindow && IsWindow(M->SysWindow) ? M->SysWindow : nullptr;
}

void ForgetWindow(HWND Window) {
  Store& St = S();
  auto It = St.SystemMenus.find(Window);
  if (It != St.SystemMenus.end()) {
    HMENU H = It->second;
    St.SystemMenus.erase(It);
    DestroyTree(H, 0);
  }
}

[[maybe_unused]] const bool Installed = (EnsureMenus(), true);

}  // namespace k58::winui::menus

using namespace k58::winui;
using namespace k58::winui::menus;

HMENU CreateMenu() { return NewMenu(true); }
HMENU CreatePopupMenu() { return NewMenu(false); }

BOOL DestroyMenu(HMENU hMenu) {
  if (!Find(hMenu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  DestroyTree(hMenu, 0);
  return TRUE;
}

BOOL IsMenu(HMENU hMenu) { return Find(hMenu) ? TRUE : FALSE; }

BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  return InsertMenu(hMenu, static_cast<UINT>(-1), uFlags | MF_BYPOSITION, uIDNewItem, lpNewItem);
}

BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  if (!Find(hMenu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  MenuItem I;
  if (!MakeItem(hMenu, uFlags, uIDNewItem, lpNewItem, I)) return FALSE;
  if (!InsertAt(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0, std::move(I))) return FALSE;
  Changed(hMenu);
  return TRUE;
}

BOOL ModifyMenu(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  HMENU Owner = nullptr;
  MenuItem* Old = Locate(hMnu, uPosition, uFlags, &Owner);
  if (!Old) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  MenuItem I;
  if (!MakeItem(Owner, uFlags, uIDNewItem, lpNewItem, I)) return FALSE;
  // Locate again: making the item does not change the menus, but keep no reference across calls.
  Old = Locate(hMnu, uPosition, uFlags, &Owner);
  HMENU OldSub = Old->Sub;
  I.SysTarget = Old->SysTarget;
  *Old = std::move(I);
  if (OldSub && OldSub != Old->Sub) DestroyTree(OldSub, 0);
  Changed(Owner);
  return TRUE;
}

namespace {

BOOL TakeOut(HMENU hMenu, UINT uPosition, UINT uFlags, bool Destroy) {
  HMENU Owner = nullptr;
  int Index = -1;
  if (!Locate(hMenu, uPosition, uFlags, &Owner, &Index)) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  Menu* M = Find(Owner);
  HMENU Sub = M->Items[static_cast<size_t>(Index)].Sub;
  M->Items.erase(M->Items.begin() + Index);
  if (Destroy && Sub) DestroyTree(Sub, 0);
  Changed(Owner);
  return TRUE;
}

}  // namespace

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return TakeOut(hMenu, uPosition, uFlags, false); }
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return TakeOut(hMenu, uPosition, uFlags, true); }

BOOL InsertMenuItem(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFO lpmi) {
  if (!CheckInfo(lpmi)) return FALSE;
  if (!Find(hmenu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  MenuItem I;
  if (!ApplyInfo(hmenu, I, *lpmi)) return FALSE;
  if (!InsertAt(hmenu, item, fByPosition != FALSE, std::move(I))) return FALSE;
  Changed(hmenu);
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFO lpmii) {
  if (!CheckInfo(lpmii)) return FALSE;
  HMENU Owner = nullptr;
  MenuItem* I = Locate(hmenu, item, fByPositon ? MF_BYPOSITION : MF_BYCOMMAND, &Owner);
  if (!I) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  // A replaced submenu stays the caller's.
  if (!ApplyInfo(Owner, *I, *lpmii)) return FALSE;
  Changed(Owner);
  return TRUE;
}

BOOL GetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFO lpmii) {
  if (!CheckInfo(lpmii)) return FALSE;
  const MenuItem* I = Locate(hmenu, item, fByPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!I) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  MENUITEMINFOA& R = *lpmii;
  UINT Mask = R.fMask;
  auto CopyText = [&] {
    UINT Len = static_cast<UINT>(I->Text.size());
    if (R.dwTypeData && R.cch > 0) {
      UINT N = std::min(Len, R.cch - 1);
      std::memcpy(R.dwTypeData, I->Text.data(), N);
      R.dwTypeData[N] = '\0';
    }
    R.cch = Len;
  };
  if (Mask & (MIIM_TYPE | MIIM_FTYPE)) R.fType = I->Type;
  if (Mask & MIIM_TYPE) {
    if (I->Type & MFT_BITMAP)
      R.dwTypeData = reinterpret_cast<LPSTR>(I->Bitmap);
    else if (!(I->Type & (MFT_SEPARATOR | MFT_OWNERDRAW)))
      CopyText();
  }
  if (Mask & MIIM_STRING) CopyText();
  if (Mask & MIIM_BITMAP) R.hbmpItem = (I->Type & MFT_BITMAP) ? nullptr : I->Bitmap;
  if (Mask & MIIM_STATE) R.fState = I->State;
  if (Mask & MIIM_ID) R.wID = I->Id;
  if (Mask & MIIM_SUBMENU) R.hSubMenu = I->Sub;
  if (Mask & MIIM_CHECKMARKS) {
    R.hbmpChecked = I->CheckedBmp;
    R.hbmpUnchecked = I->UncheckedBmp;
  }
  if (Mask & MIIM_DATA) R.dwItemData = I->Data;
  return TRUE;
}

BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked) {
  MenuItem* I = Locate(hMenu, uPosition, uFlags);
  if (!I) return FALSE;
  I->UncheckedBmp = hBitmapUnchecked;
  I->CheckedBmp = hBitmapChecked;
  return TRUE;
}

int GetMenuItemCount(HMENU hMenu) {
  Menu* M = Find(hMenu);
  if (!M) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return -1;
  }
  return static_cast<int>(M->Items.size());
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
  if (nPos < 0) return static_cast<UINT>(-1);
  const MenuItem* I = Locate(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
  if (!I || I->Sub) return static_cast<UINT>(-1);
  return I->Id;
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
  if (nPos < 0) return nullptr;
  const MenuItem* I = Locate(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
  return I ? I->Sub : nullptr;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
  const MenuItem* I = Locate(hMenu, uId, uFlags);
  if (!I) return static_cast<UINT>(-1);
  UINT F = (I->Type & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY)) |
           I->State;
  if (I->Sub) {
    Menu* Sub = Find(I->Sub);
    UINT Count = Sub ? static_cast<UINT>(Sub->Items.size()) : 0;
    return (Count << 8) | ((F | MF_POPUP) & 0xFF);
  }
  return F;
}

int GetMenuString(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
  const MenuItem* I = Locate(hMenu, uIDItem, flags);
  if (!I) {
    if (lpString && cchMax > 0) lpString[0] = '\0';
    return 0;
  }
  int Len = static_cast<int>(I->Text.size());
  if (!lpString) return Len;
  if (cchMax <= 0) return 0;
  int N = std::min(Len, cchMax - 1);
  std::memcpy(lpString, I->Text.data(), static_cast<size_t>(N));
  lpString[N] = '\0';
  return N;
}

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
  HMENU Owner = nullptr;
  MenuItem* I = Locate(hMenu, uIDCheckItem, uCheck, &Owner);
  if (!I) return static_cast<DWORD>(-1);
  DWORD Old = I->State & MF_CHECKED;
  I->State = (I->State & ~MF_CHECKED) | (uCheck & MF_CHECKED);
  if (Old != (I->State & MF_CHECKED)) Changed(Owner);
  return Old;
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
  HMENU Owner = nullptr;
  MenuItem* I = Locate(hMenu, uIDEnableItem, uEnable, &Owner);
  if (!I) return -1;
  UINT Old = I->State & (MF_GRAYED | MF_DISABLED);
  I->State = (I->State & ~(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
  if (Old != (I->State & (MF_GRAYED | MF_DISABLED))) Changed(Owner);
  return static_cast<BOOL>(Old);
}

BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags) {
  HMENU Owner = nullptr;
  if (!Locate(hmenu, check, flags, &Owner)) return FALSE;
  if (check < std::min(first, last) || check > std::max(first, last)) return FALSE;
  Menu* M = Find(Owner);
  bool ByPos = (flags & MF_BYPOSITION) != 0;
  for (size_t K = 0; K < M->Items.size(); ++K) {
    MenuItem& I = M->Items[K];
    UINT Key = ByPos ? static_cast<UINT>(K) : I.Id;
    if ((!ByPos && I.Sub) || Key < std::min(first, last) || Key > std::max(first, last)) continue;
    if (Key == check) {
      I.Type |= MFT_RADIOCHECK;
      I.State |= MFS_CHECKED;
    } else {
      I.State &= ~MFS_CHECKED;
    }
  }
  Changed(Owner);
  return TRUE;
}

BOOL HiliteMenuItem(HWND hWnd, HMENU hMenu, UINT uIDHiliteItem, UINT uHilite) {
  int Index = -1;
  HMENU Owner = nullptr;
  MenuItem* I = Locate(hMenu, uIDHiliteItem, uHilite, &Owner, &Index);
  if (!I) return FALSE;
  I->State = (I->State & ~MFS_HILITE) | (uHilite & MF_HILITE);
  if (hWnd && GetMenu(hWnd) == Owner) RepaintBarItem(hWnd, Owner, Index);
  return TRUE;
}

BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos) {
  Menu* M = Find(hMenu);
  if (!M) return FALSE;
  int Target = -1;
  if (uItem != static_cast<UINT>(-1)) {
    for (size_t K = 0; K < M->Items.size(); ++K)
      if (fByPos ? K == uItem : (!M->Items[K].Sub && M->Items[K].Id == uItem)) Target = static_cast<int>(K);
    if (Target < 0) return FALSE;
  }
  for (size_t K = 0; K < M->Items.size(); ++K) {
    MenuItem& I = M->Items[K];
    I.State = static_cast<int>(K) == Target ? (I.State | MFS_DEFAULT) : (I.State & ~MFS_DEFAULT);
  }
  Changed(hMenu);
  return TRUE;
}

UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT /*gmdiFlags*/) {
  Menu* M = Find(hMenu);
  if (!M) return static_cast<UINT>(-1);
  for (size_t K = 0; K < M->Items.size(); ++K)
    if (M->Items[K].State & MFS_DEFAULT) return fByPos ? static_cast<UINT>(K) : M->Items[K].Id;
  return static_cast<UINT>(-1);
}

BOOL SetMenu(HWND hWnd, HMENU hMenu) {
  EnsureMenus();
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (StyleOf(hWnd) & WS_CHILD) return FALSE;
  if (hMenu && !Find(hMenu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  HMENU Old = reinterpret_cast<HMENU>(GetWindowLongPtr(hWnd, GWLP_ID));
  if (Menu* M = Find(Old); M && M->BarWindow == hWnd) M->BarWindow = nullptr;
  SetWindowLongPtr(hWnd, GWLP_ID, reinterpret_cast<LONG_PTR>(hMenu));
  if (Menu* M = Find(hMenu)) {
    M->BarWindow = hWnd;
    M->BarWidth = -1;
  }
  SetHotBarItem(hWnd, -1);
  MenuBarChanged(hWnd);
  return TRUE;
}

HMENU GetMenu(HWND hWnd) {
  if (!IsWindow(hWnd) || (StyleOf(hWnd) & WS_CHILD)) return nullptr;
  auto H = reinterpret_cast<HMENU>(GetWindowLongPtr(hWnd, GWLP_ID));
  return Find(H) ? H : nullptr;
}

BOOL DrawMenuBar(HWND hWnd) {
  HMENU H = GetMenu(hWnd);
  if (!H) return FALSE;
  Find(H)->BarWidth = -1;
  MenuBarChanged(hWnd);
  return TRUE;
}

BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem) {
  Menu* M = Find(hMenu);
  if (!M || !lprcItem || uItem >= M->Items.size()) return FALSE;
  const RECT& R = M->Items[uItem].Rect;
  if (M->PopupWindow && IsWindow(M->PopupWindow)) {
    POINT O{0, 0};
    ClientToScreen(M->PopupWindow, &O);
    *lprcItem = Offset(R, O.x, O.y);
    return TRUE;
  }
  HWND Bar = hWnd ? hWnd : M->BarWindow;
  if (!Bar || GetMenu(Bar) != hMenu) return FALSE;
  RECT B;
  if (!BarScreenRect(Bar, B)) return FALSE;
  *lprcItem = Offset(R, B.left, B.top);
  return TRUE;
}

int MenuItemFromPoint(HWND hWnd, HMENU hMenu, POINT ptScreen) {
  Menu* M = Find(hMenu);
  if (!M) return -1;
  for (UINT K = 0; K < M->Items.size(); ++K) {
    RECT R;
    if (GetMenuItemRect(hWnd, hMenu, K, &R) && InRect(R, ptScreen)) return static_cast<int>(K);
  }
  return -1;
}

HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) {
  EnsureMenus();
  if (!IsWindow(hWnd)) return nullptr;
  Store& St = S();
  // Copies of windows that went away without a word are dropped here.
  for (auto It = St.SystemMenus.begin(); It != St.SystemMenus.end();) {
    if (IsWindow(It->first)) {
      ++It;
      continue;
    }
    HMENU H = It->second;
    It = St.SystemMenus.erase(It);
    DestroyTree(H, 0);
  }
  auto It = St.SystemMenus.find(hWnd);
  if (bRevert) {
    if (It != St.SystemMenus.end()) {
      HMENU H = It->second;
      St.SystemMenus.erase(It);
      DestroyTree(H, 0);
    }
    return nullptr;
  }
  if (It != St.SystemMenus.end()) return It->second;
  HMENU H = CreatePopupMenu();
  Find(H)->SysWindow = hWnd;
  AddSystemItems(H, hWnd);
  St.SystemMenus[hWnd] = H;
  return H;
}

// ---- Accelerators ----------------------------------------------------------------------------------------

HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel) {
  if (!paccel || cAccel <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Store& St = S();
  auto H = reinterpret_cast<HACCEL>(St.NextAccel);
  St.NextAccel += 4;
  St.Accels[H].assign(paccel, paccel + cAccel);
  return H;
}

BOOL DestroyAcceleratorTable(HACCEL hAccel) { return S().Accels.erase(hAccel) ? TRUE : FALSE; }

int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries) {
  auto It = S().Accels.find(hAccelSrc);
  if (It == S().Accels.end()) return 0;
  int N = static_cast<int>(It->second.size());
  if (!lpAccelDst) return N;
  N = std::min(N, cAccelEntries);
  for (int K = 0; K < N; ++K) lpAccelDst[K] = It->second[static_cast<size_t>(K)];
  return N;
}

int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg) {
  if (!lpMsg || !IsWindow(hWnd)) return 0;
  auto It = S().Accels.find(hAccTable);
  if (It == S().Accels.end()) return 0;
  UINT Msg = lpMsg->message;
  bool Key = Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN;
  bool Char = Msg == WM_CHAR || Msg == WM_SYSCHAR;
  if (!Key && !Char) return 0;
  bool Shift = GetKeyState(VK_SHIFT) < 0;
  bool Ctrl = GetKeyState(VK_CONTROL) < 0;
  bool Alt = GetKeyState(VK_MENU) < 0 || (HIWORD(lpMsg->lParam) & KF_ALTDOWN);
  const ACCEL* Hit = nullptr;
  // Copied: the table may be destroyed by what the command does.
  std::vector<ACCEL> Table = It->second;
  for (const ACCEL& A : Table) {
    if (A.fVirt & FVIRTKEY) {
      if (!Key || A.key != lpMsg->wParam) continue;
      if (((A.fVirt & FSHIFT) != 0) != Shift || ((A.fVirt & FCONTROL) != 0) != Ctrl || ((A.fVirt & FALT) != 0) != Alt)
        continue;
    } else {
      if (!Char || A.key != lpMsg->wParam) continue;
      if (((A.fVirt & FALT) != 0) != (Msg == WM_SYSCHAR)) continue;
    }
    Hit = &A;
    break;
  }
  if (!Hit) return 0;
  WORD Cmd = Hit->cmd;
  HMENU Bar = GetMenu(hWnd);
  if (Bar && !GetCapture() && !IsIconic(hWnd)) {
    SendMessage(hWnd, WM_INITMENU, reinterpret_cast<WPARAM>(Bar), 0);
    HMENU Owner = nullptr;
    if (IsMenu(Bar) && Locate(Bar, Cmd, MF_BYCOMMAND, &Owner) && Owner != Bar) {
      // The popup holding the command is prepared as if it opened.
      Menu* B = Find(Bar);
      for (size_t K = 0; B && K < B->Items.size(); ++K)
        if (B->Items[K].Sub && Reaches(B->Items[K].Sub, Owner))
          SendMessage(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Owner), MAKELPARAM(static_cast<WORD>(K), 0));
    }
  }
  if (!IsWindow(hWnd)) return 1;
  if (HMENU NowBar = GetMenu(hWnd)) {
    const MenuItem* I = Locate(NowBar, Cmd, MF_BYCOMMAND);
    if (I && !IsEnabled(*I)) return 1;
  }
  SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(Cmd, 1), 0);
  return 1;
}
