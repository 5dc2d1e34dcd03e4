// Messages of the visual class library: the message record handed to controls, typed views of it for the
// window messages controls handle, and the library's own control (CM_*) and reflected notification (CN_*)
// messages with their numbers.
//
// A view adds no data to TMessage; it only reads the parameters the way the message packs them, so a
// handler receives the message it was sent as its view (static_cast) and may set Result.
#pragma once

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinMessages.h"

class TControl;
class TWinControl;
struct NMHDR;
struct DRAWITEMSTRUCT;
struct MEASUREITEMSTRUCT;
struct WINDOWPOS;

// ---- Control messages ------------------------------------------------------------------------------
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
inline constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
inline constexpr UINT CM_CANCELMODE = CM_BASE + 4;
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
inline constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
inline constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr UINT CM_HITTEST = CM_BASE + 10;
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
inline constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
inline constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
inline constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
inline constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
inline constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
inline constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr UINT CM_ENTER = CM_BASE + 26;
inline constexpr UINT CM_EXIT = CM_BASE + 27;
inline constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
inline constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
inline constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
inline constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
inline constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
inline constexpr UINT CM_RELEASE = CM_BASE + 33;
inline constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr UINT CM_WININICHANGE = CM_BASE + 37;
inline constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
inline constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
inline constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
inline constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
inline constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
inline constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
inline constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
inline constexpr UINT CM_GETDATALINK = CM_BASE + 45;
inline constexpr UINT CM_CHILDKEY = CM_BASE + 46;
inline constexpr UINT CM_DRAG = CM_BASE + 47;
inline constexpr UINT CM_HINTSHOW = CM_BASE + 48;
inline constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
inline constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
inline constexpr UINT CM_RECREATEWND = CM_BASE + 51;
inline constexpr UINT CM_INVALIDATE = CM_BASE + 52;
inline constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
inline constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
inline constexpr UINT CM_CHANGED = CM_BASE + 55;
inline constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
inline constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
inline constexpr UINT CM_FLOAT = CM_BASE + 58;
inline constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
inline constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
inline constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
inline constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
inline constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
inline constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
inline constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
inline constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
inline constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
inline constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;

// ---- Notifications reflected to the control they concern ---------------------------------------------
// A parent that receives WM_COMMAND, WM_NOTIFY, WM_CTLCOLORxxx, WM_DRAWITEM, WM_MEASUREITEM, scroll or
// list-box messages from a child window sends them back to that child as CN_BASE + the message. The
// focused control also gets CN_KEYDOWN, CN_CHAR... before the key message itself.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
inline constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
inline constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
inline constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// ---- The message record -----------------------------------------------------------------------------
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  Word WParamLo() const { return LOWORD(static_cast<DWORD_PTR>(WParam)); }
  Word WParamHi() const { return HIWORD(static_cast<DWORD_PTR>(WParam)); }
  Word LParamLo() const { return LOWORD(static_cast<DWORD_PTR>(LParam)); }
  Word LParamHi() const { return HIWORD(static_cast<DWORD_PTR>(LParam)); }
};

// A point packed into 16-bit signed halves, as mouse messages carry it.
struct TSmallPoint {
  SmallInt x = 0;
  SmallInt y = 0;
};
inline TPoint SmallPointToPoint(TSmallPoint P) { return TPoint{P.x, P.y}; }
inline TSmallPoint PointToSmallPoint(TPoint P) {
  return TSmallPoint{static_cast<SmallInt>(P.x), static_cast<SmallInt>(P.y)};
}
inline LPARAM PointToLParam(TPoint P) {
  return static_cast<LPARAM>(static_cast<DWORD>((P.x & 0xFFFF) | (static_cast<DWORD>(P.y & 0xFFFF) << 16)));
}
inline TPoint LParamToPoint(LPARAM L) {
  return TPoint{static_cast<SmallInt>(L & 0xFFFF), static_cast<SmallInt>((L >> 16) & 0xFFFF)};
}

// Message views. Each reads TMessage's parameters for one kind of message.
struct TWMNoParams : TMessage {};

struct TWMMouse : TMessage {
  Word Keys() const { return WParamLo(); }
  SmallInt XPos() const { return static_cast<SmallInt>(LParamLo()); }
  SmallInt YPos() const { return static_cast<SmallInt>(LParamHi()); }
  TSmallPoint Pos() const { return TSmallPoint{XPos(), YPos()}; }
};
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMRButtonDblClk = TWMMouse;
using TWMMButtonDown = TWMMouse;
using TWMMButtonUp = TWMMouse;
using TWMMButtonDblClk = TWMMouse;
using TWMMouseMove = TWMMouse;

// WM_MOUSEWHEEL: key state in the low word of WParam, the signed delta in the high word; the point is in
// screen coordinates.
struct TWMMouseWheel : TMessage {
  Word Keys() const { return WParamLo(); }
  SmallInt WheelDelta() const { return static_cast<SmallInt>(WParamHi()); }
  SmallInt XPos() const { return static_cast<SmallInt>(LParamLo()); }
  SmallInt YPos() const { return static_cast<SmallInt>(LParamHi()); }
};

// Keys and characters: the virtual key (or the UTF-16 code unit of a character) in WParam, the repeat
// count, scan code and flags in LParam.
struct TWMKey : TMessage {
  Word CharCode() const { return WParamLo(); }
  void SetCharCode(Word Value) { WParam = Value; }
  LongInt KeyData() const { return static_cast<LongInt>(LParam); }
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;
using TWMSysKeyDown = TWMKey;
using TWMSysKeyUp = TWMKey;
using TWMSysChar = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

// WM_PAINT and WM_ERASEBKGND: the device context in WParam (0 for WM_PAINT from the queue).
struct TWMPaint : TMessage {
  HDC DC() const { return reinterpret_cast<HDC>(WParam); }
  void SetDC(HDC Value) { WParam = reinterpret_cast<WPARAM>(Value); }
};
using TWMEraseBkgnd = TWMPaint;
using TWMPrintClient = TWMPaint;

struct TWMSetFocus : TMessage {
  HWND FocusedWnd() const { return reinterpret_cast<HWND>(WParam); }
};
using TWMKillFocus = TWMSetFocus;

struct TWMSize : TMessage {
  WPARAM SizeType() const { return WParam; }
  Word Width() const { return LParamLo(); }
  Word Height() const { return LParamHi(); }
};

struct TWMMove : TMessage {
  SmallInt XPos() const { return static_cast<SmallInt>(LParamLo()); }
  SmallInt YPos() const { return static_cast<SmallInt>(LParamHi()); }
};

struct TWMWindowPosMsg : TMessage {
  WINDOWPOS* WindowPos() const { return reinterpret_cast<WINDOWPOS*>(LParam); }
};
using TWMWindowPosChanged = TWMWindowPosMsg;
using TWMWindowPosChanging = TWMWindowPosMsg;

struct TWMActivate : TMessage {
  Word Active() const { return WParamLo(); }
  bool Minimized() const { return WParamHi() != 0; }
  HWND ActiveWindow() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMActivateApp : TMessage {
  bool Active() const { return WParam != 0; }
};

struct TWMSetCursor : TMessage {
  HWND CursorWnd() const { return reinterpret_cast<HWND>(WParam); }
  SmallInt HitTest() const { return static_cast<SmallInt>(LParamLo()); }
  Word MouseMsg() const { return LParamHi(); }
};

// WM_CONTEXTMENU: the window clicked and the point in screen coordinates ((-1, -1) from the keyboard).
struct TWMContextMenu : TMessage {
  HWND hWnd() const { return reinterpret_cast<HWND>(WParam); }
  SmallInt XPos() const { return static_cast<SmallInt>(LParamLo()); }
  SmallInt YPos() const { return static_cast<SmallInt>(LParamHi()); }
  TSmallPoint Pos() const { return TSmallPoint{XPos(), YPos()}; }
};

struct TWMCommand : TMessage {
  Word ItemID() const { return WParamLo(); }
  Word NotifyCode() const { return WParamHi(); }
  HWND Ctl() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMNotify : TMessage {
  Integer IDCtrl() const { return static_cast<Integer>(WParam); }
  NMHDR* NMHdr() const { return reinterpret_cast<NMHDR*>(LParam); }
};

struct TWMDrawItem : TMessage {
  UINT Ctl() const { return static_cast<UINT>(WParam); }
  DRAWITEMSTRUCT* DrawItemStruct() const { return reinterpret_cast<DRAWITEMSTRUCT*>(LParam); }
};

struct TWMMeasureItem : TMessage {
  UINT IDCtl() const { return static_cast<UINT>(WParam); }
  MEASUREITEMSTRUCT* MeasureItemStruct() const { return reinterpret_cast<MEASUREITEMSTRUCT*>(LParam); }
};

struct TWMCtlColor : TMessage {
  HDC ChildDC() const { return reinterpret_cast<HDC>(WParam); }
  HWND ChildWnd() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMScroll : TMessage {
  Word ScrollCode() const { return WParamLo(); }
  SmallInt Pos() const { return static_cast<SmallInt>(WParamHi()); }
  HWND ScrollBar() const { return reinterpret_cast<HWND>(LParam); }
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

struct TWMSysCommand : TMessage {
  WPARAM CmdType() const { return WParam & 0xFFF0; }
  SmallInt XPos() const { return static_cast<SmallInt>(LParamLo()); }
  SmallInt YPos() const { return static_cast<SmallInt>(LParamHi()); }
};

struct TWMNCHitTest : TMessage {
  SmallInt XPos() const { return static_cast<SmallInt>(LParamLo()); }
  SmallInt YPos() const { return static_cast<SmallInt>(LParamHi()); }
};

struct TWMInitMenuPopup : TMessage {
  HMENU MenuPopup() const { return reinterpret_cast<HMENU>(WParam); }
  Word Pos() const { return LParamLo(); }
  bool SystemMenu() const { return LParamHi() != 0; }
};

struct TWMMenuSelect : TMessage {
  Word IDItem() const { return WParamLo(); }
  Word MenuFlag() const { return WParamHi(); }
  HMENU Menu() const { return reinterpret_cast<HMENU>(LParam); }
};

struct TWMMenuChar : TMessage {
  Word User() const { return WParamLo(); }
  Word MenuFlag() const { return WParamHi(); }
  HMENU Menu() const { return reinterpret_cast<HMENU>(LParam); }
};

// Control messages that carry a control.
struct TCMControlMessage : TMessage {
  TControl* Control() const { return reinterpret_cast<TControl*>(LParam); }
};
// CM_MOUSEENTER / CM_MOUSELEAVE: LParam 0 for the control itself, the control concerned when passed up.
using TCMMouseEnter = TCMControlMessage;
using TCMMouseLeave = TCMControlMessage;

// CM_FOCUSCHANGED: the control that has the focus now.
struct TCMFocusChanged : TMessage {
  TWinControl* Sender() const { return reinterpret_cast<TWinControl*>(LParam); }
};

// CM_CANCELMODE: the control that takes over the mouse.
struct TCMCancelMode : TMessage {
  TControl* Sender() const { return reinterpret_cast<TControl*>(LParam); }
};

// CM_CONTROLLISTCHANGE / CM_CONTROLCHANGE: the control inserted (Inserting) or removed.
struct TCMControlListChange : TMessage {
  TControl* Control() const { return reinterpret_cast<TControl*>(WParam); }
  bool Inserting() const { return LParam != 0; }
};
using TCMControlChange = TCMControlListChange;

// CM_CHILDKEY: the key, and the control it went to.
struct TCMChildKey : TMessage {
  Word CharCode() const { return WParamLo(); }
  void SetCharCode(Word Value) { WParam = Value; }
  TWinControl* Sender() const { return reinterpret_cast<TWinControl*>(LParam); }
};
