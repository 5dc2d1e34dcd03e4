// The built-in window classes: class names, styles, messages, notifications and records, with the
// standard names and numbers, and InitCommonControls(Ex) which registers the classes.
//
// Sections follow the controls; each control's constants stay together in its own section.
// Text is UTF-8 (the "A" records); character positions of the edit control count code points.
#pragma once

#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinUser.h"

// ==== Shared by every control ==========================================================================

// WM_NOTIFY's lParam starts with this header.
struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};
using LPNMHDR = NMHDR*;

// Generic notification codes (NMHDR.code; negative numbers stored in a UINT)
inline constexpr UINT NM_FIRST = 0;
inline constexpr UINT NM_OUTOFMEMORY = static_cast<UINT>(-1);
inline constexpr UINT NM_CLICK = static_cast<UINT>(-2);
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
inline constexpr UINT NM_RETURN = static_cast<UINT>(-4);
inline constexpr UINT NM_RCLICK = static_cast<UINT>(-5);
inline constexpr UINT NM_RDBLCLK = static_cast<UINT>(-6);
inline constexpr UINT NM_SETFOCUS = static_cast<UINT>(-7);
inline constexpr UINT NM_KILLFOCUS = static_cast<UINT>(-8);
inline constexpr UINT NM_CUSTOMDRAW = static_cast<UINT>(-12);
inline constexpr UINT NM_HOVER = static_cast<UINT>(-13);

// Messages shared by the common controls
inline constexpr UINT CCM_FIRST = 0x2000;
inline constexpr UINT CCM_SETBKCOLOR = CCM_FIRST + 1;

inline constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

// Image kinds (STM_SETIMAGE, BM_SETIMAGE)
inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT IMAGE_CURSOR = 2;

// ==== Registration =======================================================================================

struct INITCOMMONCONTROLSEX {
  DWORD dwSize = sizeof(INITCOMMONCONTROLSEX);
  DWORD dwICC = 0;
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;

inline constexpr DWORD ICC_LISTVIEW_CLASSES = 0x00000001;
inline constexpr DWORD ICC_TREEVIEW_CLASSES = 0x00000002;
inline constexpr DWORD ICC_BAR_CLASSES = 0x00000004;  // tool bar, status bar, tool tips
inline constexpr DWORD ICC_TAB_CLASSES = 0x00000008;  // tab control, tool tips
inline constexpr DWORD ICC_UPDOWN_CLASS = 0x00000010;
inline constexpr DWORD ICC_PROGRESS_CLASS = 0x00000020;
inline constexpr DWORD ICC_HOTKEY_CLASS = 0x00000040;
inline constexpr DWORD ICC_ANIMATE_CLASS = 0x00000080;
inline constexpr DWORD ICC_WIN95_CLASSES = 0x000000FF;
inline constexpr DWORD ICC_DATE_CLASSES = 0x00000100;
inline constexpr DWORD ICC_USEREX_CLASSES = 0x00000200;
inline constexpr DWORD ICC_COOL_CLASSES = 0x00000400;
inline constexpr DWORD ICC_INTERNET_CLASSES = 0x00000800;
inline constexpr DWORD ICC_PAGESCROLLER_CLASS = 0x00001000;
inline constexpr DWORD ICC_NATIVEFNTCTL_CLASS = 0x00002000;
inline constexpr DWORD ICC_STANDARD_CLASSES = 0x00004000;  // button, edit, static, list box, combo box, scroll bar
inline constexpr DWORD ICC_LINK_CLASS = 0x00008000;

// Registers every built-in class (standard and common controls) for the process; calling again does
// nothing. The standard classes are registered by either call whatever the flags.
void InitCommonControls();
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);

// ==== Button ===========================================================================================

inline constexpr char WC_BUTTON[] = "Button";

inline constexpr DWORD BS_PUSHBUTTON = 0x00000000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;
inline constexpr DWORD BS_CHECKBOX = 0x00000002;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x00000003;
inline constexpr DWORD BS_RADIOBUTTON = 0x00000004;
inline constexpr DWORD BS_3STATE = 0x00000005;
inline constexpr DWORD BS_AUTO3STATE = 0x00000006;
inline constexpr DWORD BS_GROUPBOX = 0x00000007;
inline constexpr DWORD BS_USERBUTTON = 0x00000008;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x00000009;
inline constexpr DWORD BS_PUSHBOX = 0x0000000A;
inline constexpr DWORD BS_OWNERDRAW = 0x0000000B;
inline constexpr DWORD BS_TYPEMASK = 0x0000000F;
inline constexpr DWORD BS_LEFTTEXT = 0x00000020;
inline constexpr DWORD BS_RIGHTBUTTON = BS_LEFTTEXT;
inline constexpr DWORD BS_TEXT = 0x00000000;
inline constexpr DWORD BS_ICON = 0x00000040;
inline constexpr DWORD BS_BITMAP = 0x00000080;
inline constexpr DWORD BS_LEFT = 0x00000100;
inline constexpr DWORD BS_RIGHT = 0x00000200;
inline constexpr DWORD BS_CENTER = 0x00000300;
inline constexpr DWORD BS_TOP = 0x00000400;
inline constexpr DWORD BS_BOTTOM = 0x00000800;
inline constexpr DWORD BS_VCENTER = 0x00000C00;
inline constexpr DWORD BS_PUSHLIKE = 0x00001000;
inline constexpr DWORD BS_MULTILINE = 0x00002000;
inline constexpr DWORD BS_NOTIFY = 0x00004000;
inline constexpr DWORD BS_FLAT = 0x00008000;

inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr UINT BM_CLICK = 0x00F5;
inline constexpr UINT BM_GETIMAGE = 0x00F6;
inline constexpr UINT BM_SETIMAGE = 0x00F7;

inline constexpr WPARAM BST_UNCHECKED = 0x0000;
inline constexpr WPARAM BST_CHECKED = 0x0001;
inline constexpr WPARAM BST_INDETERMINATE = 0x0002;
inline constexpr LRESULT BST_PUSHED = 0x0004;
inline constexpr LRESULT BST_FOCUS = 0x0008;

inline constexpr WORD BN_CLICKED = 0;
inline constexpr WORD BN_PAINT = 1;
inline constexpr WORD BN_HILITE = 2;
inline constexpr WORD BN_UNHILITE = 3;
inline constexpr WORD BN_DISABLE = 4;
inline constexpr WORD BN_DOUBLECLICKED = 5;
inline constexpr WORD BN_PUSHED = BN_HILITE;
inline constexpr WORD BN_UNPUSHED = BN_UNHILITE;
inline constexpr WORD BN_DBLCLK = BN_DOUBLECLICKED;
inline constexpr WORD BN_SETFOCUS = 6;
inline constexpr WORD BN_KILLFOCUS = 7;

// ==== Edit =============================================================================================

inline constexpr char WC_EDIT[] = "Edit";

inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_MULTILINE = 0x0004;
inline constexpr DWORD ES_UPPERCASE = 0x0008;
inline constexpr DWORD ES_LOWERCASE = 0x0010;
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_AUTOVSCROLL = 0x0040;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_NOHIDESEL = 0x0100;
inline constexpr DWORD ES_OEMCONVERT = 0x0400;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD ES_WANTRETURN = 0x1000;
inline constexpr DWORD ES_NUMBER = 0x2000;

inline constexpr UINT EM_GETSEL = 0x00B0;
inline constexpr UINT EM_SETSEL = 0x00B1;
inline constexpr UINT EM_GETRECT = 0x00B2;
inline constexpr UINT EM_SETRECT = 0x00B3;
inline constexpr UINT EM_SETRECTNP = 0x00B4;
inline constexpr UINT EM_SCROLL = 0x00B5;
inline constexpr UINT EM_LINESCROLL = 0x00B6;
inline constexpr UINT EM_SCROLLCARET = 0x00B7;
inline constexpr UINT EM_GETMODIFY = 0x00B8;
inline constexpr UINT EM_SETMODIFY = 0x00B9;
inline constexpr UINT EM_GETLINECOUNT = 0x00BA;
inline constexpr UINT EM_LINEINDEX = 0x00BB;
inline constexpr UINT EM_LINELENGTH = 0x00C1;
inline constexpr UINT EM_REPLACESEL = 0x00C2;
inline constexpr UINT EM_GETLINE = 0x00C4;
inline constexpr UINT EM_LIMITTEXT = 0x00C5;
inline constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
inline constexpr UINT EM_CANUNDO = 0x00C6;
inline constexpr UINT EM_UNDO = 0x00C7;
inline constexpr UINT EM_LINEFROMCHAR = 0x00C9;
inline constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
inline constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
inline constexpr UINT EM_SETREADONLY = 0x00CF;
inline constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
inline constexpr UINT EM_SETMARGINS = 0x00D3;
inline constexpr UINT EM_GETMARGINS = 0x00D4;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;
inline constexpr UINT EM_POSFROMCHAR = 0x00D6;
inline constexpr UINT EM_CHARFROMPOS = 0x00D7;
// The caret's character position (the active end of the selection).
inline constexpr UINT EM_GETCARETINDEX = 0x1512;

// EM_SETMARGINS flags
inline constexpr WPARAM EC_LEFTMARGIN = 0x0001;
inline constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
inline constexpr WORD EC_USEFONTINFO = 0xFFFF;

inline constexpr WORD EN_SETFOCUS = 0x0100;
inline constexpr WORD EN_KILLFOCUS = 0x0200;
inline constexpr WORD EN_CHANGE = 0x0300;
inline constexpr WORD EN_UPDATE = 0x0400;
inline constexpr WORD EN_ERRSPACE = 0x0500;
inline constexpr WORD EN_MAXTEXT = 0x0501;
inline constexpr WORD EN_HSCROLL = 0x0601;
inline constexpr WORD EN_VSCROLL = 0x0602;

// ==== Progress bar ======================================================================================

inline constexpr char PROGRESS_CLASS[] = "msctls_progress32";

inline constexpr DWORD PBS_SMOOTH = 0x01;
inline constexpr DWORD PBS_VERTICAL = 0x04;

inline constexpr UINT PBM_SETRANGE = WM_USER + 1;
inline constexpr UINT PBM_SETPOS = WM_USER + 2;
inline constexpr UINT PBM_DELTAPOS = WM_USER + 3;
inline constexpr UINT PBM_SETSTEP = WM_USER + 4;
inline constexpr UINT PBM_STEPIT = WM_USER + 5;
inline constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
inline constexpr UINT PBM_GETRANGE = WM_USER + 7;
inline constexpr UINT PBM_GETPOS = WM_USER + 8;
inline constexpr UINT PBM_SETBARCOLOR = WM_USER + 9;
inline constexpr UINT PBM_SETBKCOLOR = CCM_SETBKCOLOR;

struct PBRANGE {
  int iLow = 0;
  int iHigh = 0;
};
using PPBRANGE = PBRANGE*;

// ==== Scroll bar ========================================================================================

inline constexpr char WC_SCROLLBAR[] = "ScrollBar";

inline constexpr DWORD SBS_HORZ = 0x0000;
inline constexpr DWORD SBS_VERT = 0x0001;
inline constexpr DWORD SBS_TOPALIGN = 0x0002;
inline constexpr DWORD SBS_LEFTALIGN = 0x0002;
inline constexpr DWORD SBS_BOTTOMALIGN = 0x0004;
inline constexpr DWORD SBS_RIGHTALIGN = 0x0004;
inline constexpr DWORD SBS_SIZEBOXTOPLEFTALIGN = 0x0002;
inline constexpr DWORD SBS_SIZEBOXBOTTOMRIGHTALIGN = 0x0004;
inline constexpr DWORD SBS_SIZEBOX = 0x0008;
inline constexpr DWORD SBS_SIZEGRIP = 0x0010;
// The SBM_* messages are with the standard scroll bars in platform/win/ui/WinUserUi.h.

// ==== Static ============================================================================================

inline constexpr char WC_STATIC[] = "Static";

inline constexpr DWORD SS_LEFT = 0x00000000;
inline constexpr DWORD SS_CENTER = 0x00000001;
inline constexpr DWORD SS_RIGHT = 0x00000002;
inline constexpr DWORD SS_ICON = 0x00000003;
inline constexpr DWORD SS_BLACKRECT = 0x00000004;
inline constexpr DWORD SS_GRAYRECT = 0x00000005;
inline constexpr DWORD SS_WHITERECT = 0x00000006;
inline constexpr DWORD SS_BLACKFRAME = 0x00000007;
inline constexpr DWORD SS_GRAYFRAME = 0x00000008;
inline constexpr DWORD SS_WHITEFRAME = 0x00000009;
inline constexpr DWORD SS_USERITEM = 0x0000000A;
inline constexpr DWORD SS_SIMPLE = 0x0000000B;
inline constexpr DWORD SS_LEFTNOWORDWRAP = 0x0000000C;
inline constexpr DWORD SS_OWNERDRAW = 0x0000000D;
inline constexpr DWORD SS_BITMAP = 0x0000000E;
inline constexpr DWORD SS_ENHMETAFILE = 0x0000000F;
inline constexpr DWORD SS_ETCHEDHORZ = 0x00000010;
inline constexpr DWORD SS_ETCHEDVERT = 0x00000011;
inline constexpr DWORD SS_ETCHEDFRAME = 0x00000012;
inline constexpr DWORD SS_TYPEMASK = 0x0000001F;
inline constexpr DWORD SS_REALSIZECONTROL = 0x00000040;
inline constexpr DWORD SS_NOPREFIX = 0x00000080;
inline constexpr DWORD SS_NOTIFY = 0x00000100;
inline constexpr DWORD SS_CENTERIMAGE = 0x00000200;
inline constexpr DWORD SS_RIGHTJUST = 0x00000400;
inline constexpr DWORD SS_REALSIZEIMAGE = 0x00000800;
inline constexpr DWORD SS_SUNKEN = 0x00001000;
inline constexpr DWORD SS_EDITCONTROL = 0x00002000;
inline constexpr DWORD SS_ENDELLIPSIS = 0x00004000;
inline constexpr DWORD SS_PATHELLIPSIS = 0x00008000;
inline constexpr DWORD SS_WORDELLIPSIS = 0x0000C000;
inline constexpr DWORD SS_ELLIPSISMASK = 0x0000C000;

inline constexpr UINT STM_SETICON = 0x0170;
inline constexpr UINT STM_GETICON = 0x0171;
inline constexpr UINT STM_SETIMAGE = 0x0172;
inline constexpr UINT STM_GETIMAGE = 0x0173;

inline constexpr WORD STN_CLICKED = 0;
inline constexpr WORD STN_DBLCLK = 1;
inline constexpr WORD STN_ENABLE = 2;
inline constexpr WORD STN_DISABLE = 3;

// ==== Tool tips ==========================================================================================

inline constexpr char TOOLTIPS_CLASS[] = "tooltips_class32";

inline constexpr DWORD TTS_ALWAYSTIP = 0x01;
inline constexpr DWORD TTS_NOPREFIX = 0x02;
inline constexpr DWORD TTS_NOANIMATE = 0x10;
inline constexpr DWORD TTS_NOFADE = 0x20;
inline constexpr DWORD TTS_BALLOON = 0x40;

inline constexpr UINT TTF_IDISHWND = 0x0001;
inline constexpr UINT TTF_CENTERTIP = 0x0002;
inline constexpr UINT TTF_RTLREADING = 0x0004;
inline constexpr UINT TTF_SUBCLASS = 0x0010;
inline constexpr UINT TTF_TRACK = 0x0020;
inline constexpr UINT TTF_ABSOLUTE = 0x0080;
inline constexpr UINT TTF_TRANSPARENT = 0x0100;
inline constexpr UINT TTF_DI_SETITEM = 0x8000;

inline constexpr WPARAM TTDT_AUTOMATIC = 0;
inline constexpr WPARAM TTDT_RESHOW = 1;
inline constexpr WPARAM TTDT_AUTOPOP = 2;
inline constexpr WPARAM TTDT_INITIAL = 3;

inline constexpr UINT TTM_ACTIVATE = WM_USER + 1;
inline constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
inline constexpr UINT TTM_ADDTOOL = WM_USER + 4;
inline constexpr UINT TTM_DELTOOL = WM_USER + 5;
inline constexpr UINT TTM_NEWTOOLRECT = WM_USER + 6;
inline constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
inline constexpr UINT TTM_GETTOOLINFO = WM_USER + 8;
inline constexpr UINT TTM_SETTOOLINFO = WM_USER + 9;
inline constexpr UINT TTM_GETTEXT = WM_USER + 11;
inline constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 12;
inline constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
inline constexpr UINT TTM_GETCURRENTTOOL = WM_USER + 15;
inline constexpr UINT TTM_SETTIPBKCOLOR = WM_USER + 19;
inline constexpr UINT TTM_SETTIPTEXTCOLOR = WM_USER + 20;
inline constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
inline constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
inline constexpr UINT TTM_GETMAXTIPWIDTH = WM_USER + 25;
inline constexpr UINT TTM_POP = WM_USER + 28;
inline constexpr UINT TTM_ADDTOOLA = TTM_ADDTOOL;
inline constexpr UINT TTM_DELTOOLA = TTM_DELTOOL;
inline constexpr UINT TTM_UPDATETIPTEXTA = TTM_UPDATETIPTEXT;

inline constexpr UINT TTN_FIRST = static_cast<UINT>(-520);
inline constexpr UINT TTN_GETDISPINFO = TTN_FIRST - 0;
inline constexpr UINT TTN_GETDISPINFOA = TTN_GETDISPINFO;
inline constexpr UINT TTN_NEEDTEXT = TTN_GETDISPINFO;
inline constexpr UINT TTN_NEEDTEXTA = TTN_GETDISPINFO;
inline constexpr UINT TTN_SHOW = TTN_FIRST - 1;
inline constexpr UINT TTN_POP = TTN_FIRST - 2;

// A tool's text asked from its window with TTN_GETDISPINFO whenever the tip shows.
#define LPSTR_TEXTCALLBACK (reinterpret_cast<LPSTR>(static_cast<intptr_t>(-1)))
#define LPSTR_TEXTCALLBACKA LPSTR_TEXTCALLBACK

struct TOOLINFOA {
  UINT cbSize = sizeof(TOOLINFOA);
  UINT uFlags = 0;
  HWND hwnd = nullptr;
  UINT_PTR uId = 0;
  RECT rect;
  HINSTANCE hinst = nullptr;
  LPSTR lpszText = nullptr;  // UTF-8, LPSTR_TEXTCALLBACK, or a resource id with hinst
  LPARAM lParam = 0;
  void* lpReserved = nullptr;
};
using TOOLINFO = TOOLINFOA;
using TTTOOLINFOA = TOOLINFOA;
using TTTOOLINFO = TOOLINFOA;
using LPTOOLINFO = TOOLINFOA*;

struct NMTTDISPINFOA {
  NMHDR hdr;
  LPSTR lpszText = nullptr;
  char szText[80] = {};
  HINSTANCE hinst = nullptr;
  UINT uFlags = 0;
  LPARAM lParam = 0;
};
using NMTTDISPINFO = NMTTDISPINFOA;
using TOOLTIPTEXTA = NMTTDISPINFOA;
using TOOLTIPTEXT = NMTTDISPINFOA;
using LPNMTTDISPINFO = NMTTDISPINFOA*;

// ==== Up-down ===========================================================================================

inline constexpr char UPDOWN_CLASS[] = "msctls_updown32";

inline constexpr DWORD UDS_WRAP = 0x0001;
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
inline constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
inline constexpr DWORD UDS_ALIGNLEFT = 0x0008;
inline constexpr DWORD UDS_AUTOBUDDY = 0x0010;
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;
inline constexpr DWORD UDS_HORZ = 0x0040;
inline constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
inline constexpr DWORD UDS_HOTTRACK = 0x0100;

inline constexpr int UD_MAXVAL = 0x7FFF;
inline constexpr int UD_MINVAL = -UD_MAXVAL;

inline constexpr UINT UDM_SETRANGE = WM_USER + 101;
inline constexpr UINT UDM_GETRANGE = WM_USER + 102;
inline constexpr UINT UDM_SETPOS = WM_USER + 103;
inline constexpr UINT UDM_GETPOS = WM_USER + 104;
inline constexpr UINT UDM_SETBUDDY = WM_USER + 105;
inline constexpr UINT UDM_GETBUDDY = WM_USER + 106;
inline constexpr UINT UDM_SETACCEL = WM_USER + 107;
inline constexpr UINT UDM_GETACCEL = WM_USER + 108;
inline constexpr UINT UDM_SETBASE = WM_USER + 109;
inline constexpr UINT UDM_GETBASE = WM_USER + 110;
inline constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
inline constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
inline constexpr UINT UDM_SETPOS32 = WM_USER + 113;
inline constexpr UINT UDM_GETPOS32 = WM_USER + 114;

inline constexpr UINT UDN_FIRST = static_cast<UINT>(-721);
inline constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;

struct UDACCEL {
  UINT nSec = 0;
  UINT nInc = 0;
};
using LPUDACCEL = UDACCEL*;

// UDN_DELTAPOS: a non-zero answer refuses the change.
struct NMUPDOWN {
  NMHDR hdr;
  int iPos = 0;
  int iDelta = 0;
};
using LPNMUPDOWN = NMUPDOWN*;

// ==== List box ===========================================================================================

inline constexpr char WC_LISTBOX[] = "ListBox";

inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_SORT = 0x0002;
inline constexpr DWORD LBS_NOREDRAW = 0x0004;
inline constexpr DWORD LBS_MULTIPLESEL = 0x0008;
inline constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
inline constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
inline constexpr DWORD LBS_HASSTRINGS = 0x0040;
inline constexpr DWORD LBS_USETABSTOPS = 0x0080;
inline constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
inline constexpr DWORD LBS_MULTICOLUMN = 0x0200;
inline constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
inline constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
inline constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
inline constexpr DWORD LBS_NODATA = 0x2000;
inline constexpr DWORD LBS_NOSEL = 0x4000;
inline constexpr DWORD LBS_COMBOBOX = 0x8000;
inline constexpr DWORD LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;

inline constexpr UINT LB_ADDSTRING = 0x0180;
inline constexpr UINT LB_INSERTSTRING = 0x0181;
inline constexpr UINT LB_DELETESTRING = 0x0182;
inline constexpr UINT LB_SELITEMRANGEEX = 0x0183;
inline constexpr UINT LB_RESETCONTENT = 0x0184;
inline constexpr UINT LB_SETSEL = 0x0185;
inline constexpr UINT LB_SETCURSEL = 0x0186;
inline constexpr UINT LB_GETSEL = 0x0187;
inline constexpr UINT LB_GETCURSEL = 0x0188;
inline constexpr UINT LB_GETTEXT = 0x0189;
inline constexpr UINT LB_GETTEXTLEN = 0x018A;
inline constexpr UINT LB_GETCOUNT = 0x018B;
inline constexpr UINT LB_SELECTSTRING = 0x018C;
inline constexpr UINT LB_DIR = 0x018D;
inline constexpr UINT LB_GETTOPINDEX = 0x018E;
inline constexpr UINT LB_FINDSTRING = 0x018F;
inline constexpr UINT LB_GETSELCOUNT = 0x0190;
inline constexpr UINT LB_GETSELITEMS = 0x0191;
inline constexpr UINT LB_SETTABSTOPS = 0x0192;
inline constexpr UINT LB_GETHORIZONTALEXTENT = 0x0193;
inline constexpr UINT LB_SETHORIZONTALEXTENT = 0x0194;
inline constexpr UINT LB_SETCOLUMNWIDTH = 0x0195;
inline constexpr UINT LB_ADDFILE = 0x0196;
inline constexpr UINT LB_SETTOPINDEX = 0x0197;
inline constexpr UINT LB_GETITEMRECT = 0x0198;
inline constexpr UINT LB_GETITEMDATA = 0x0199;
inline constexpr UINT LB_SETITEMDATA = 0x019A;
inline constexpr UINT LB_SELITEMRANGE = 0x019B;
inline constexpr UINT LB_SETANCHORINDEX = 0x019C;
inline constexpr UINT LB_GETANCHORINDEX = 0x019D;
inline constexpr UINT LB_SETCARETINDEX = 0x019E;
inline constexpr UINT LB_GETCARETINDEX = 0x019F;
inline constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
inline constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
inline constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
inline constexpr UINT LB_SETLOCALE = 0x01A5;
inline constexpr UINT LB_GETLOCALE = 0x01A6;
inline constexpr UINT LB_SETCOUNT = 0x01A7;
inline constexpr UINT LB_INITSTORAGE = 0x01A8;
inline constexpr UINT LB_ITEMFROMPOINT = 0x01A9;

inline constexpr LRESULT LB_OKAY = 0;
inline constexpr LRESULT LB_ERR = -1;
inline constexpr LRESULT LB_ERRSPACE = -2;

inline constexpr WORD LBN_ERRSPACE = static_cast<WORD>(-2);
inline constexpr WORD LBN_SELCHANGE = 1;
inline constexpr WORD LBN_DBLCLK = 2;
inline constexpr WORD LBN_SELCANCEL = 3;
inline constexpr WORD LBN_SETFOCUS = 4;
inline constexpr WORD LBN_KILLFOCUS = 5;

// ==== Combo box ==========================================================================================

inline constexpr char WC_COMBOBOX[] = "ComboBox";

inline constexpr DWORD CBS_SIMPLE = 0x0001;
inline constexpr DWORD CBS_DROPDOWN = 0x0002;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
inline constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x0020;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
inline constexpr DWORD CBS_OEMCONVERT = 0x0080;
inline constexpr DWORD CBS_SORT = 0x0100;
inline constexpr DWORD CBS_HASSTRINGS = 0x0200;
inline constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
inline constexpr DWORD CBS_DISABLENOSCROLL = 0x0800;
inline constexpr DWORD CBS_UPPERCASE = 0x2000;
inline constexpr DWORD CBS_LOWERCASE = 0x4000;

inline constexpr UINT CB_GETEDITSEL = 0x0140;
inline constexpr UINT CB_LIMITTEXT = 0x0141;
inline constexpr UINT CB_SETEDITSEL = 0x0142;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_DELETESTRING = 0x0144;
inline constexpr UINT CB_DIR = 0x0145;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_FINDSTRING = 0x014C;
inline constexpr UINT CB_SELECTSTRING = 0x014D;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr UINT CB_SHOWDROPDOWN = 0x014F;
inline constexpr UINT CB_GETITEMDATA = 0x0150;
inline constexpr UINT CB_SETITEMDATA = 0x0151;
inline constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
inline constexpr UINT CB_SETITEMHEIGHT = 0x0153;
inline constexpr UINT CB_GETITEMHEIGHT = 0x0154;
inline constexpr UINT CB_SETEXTENDEDUI = 0x0155;
inline constexpr UINT CB_GETEXTENDEDUI = 0x0156;
inline constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
inline constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
inline constexpr UINT CB_SETLOCALE = 0x0159;
inline constexpr UINT CB_GETLOCALE = 0x015A;
inline constexpr UINT CB_GETTOPINDEX = 0x015B;
inline constexpr UINT CB_SETTOPINDEX = 0x015C;
inline constexpr UINT CB_GETHORIZONTALEXTENT = 0x015D;
inline constexpr UINT CB_SETHORIZONTALEXTENT = 0x015E;
inline constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
inline constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
inline constexpr UINT CB_INITSTORAGE = 0x0161;
inline constexpr UINT CB_GETCOMBOBOXINFO = 0x0164;

inline constexpr LRESULT CB_OKAY = 0;
inline constexpr LRESULT CB_ERR = -1;
inline constexpr LRESULT CB_ERRSPACE = -2;

inline constexpr WORD CBN_ERRSPACE = static_cast<WORD>(-1);
inline constexpr WORD CBN_SELCHANGE = 1;
inline constexpr WORD CBN_DBLCLK = 2;
inline constexpr WORD CBN_SETFOCUS = 3;
inline constexpr WORD CBN_KILLFOCUS = 4;
inline constexpr WORD CBN_EDITCHANGE = 5;
inline constexpr WORD CBN_EDITUPDATE = 6;
inline constexpr WORD CBN_DROPDOWN = 7;
inline constexpr WORD CBN_CLOSEUP = 8;
inline constexpr WORD CBN_SELENDOK = 9;
inline constexpr WORD CBN_SELENDCANCEL = 10;

// CB_GETCOMBOBOXINFO: rcItem and rcButton in the combo box's client coordinates; stateButton 0,
// STATE_SYSTEM_PRESSED while the list is dropped, or STATE_SYSTEM_INVISIBLE (CBS_SIMPLE).
struct COMBOBOXINFO {
  DWORD cbSize = sizeof(COMBOBOXINFO);
  RECT rcItem;
  RECT rcButton;
  DWORD stateButton = 0;
  HWND hwndCombo = nullptr;
  HWND hwndItem = nullptr;  // the edit control (null for CBS_DROPDOWNLIST)
  HWND hwndList = nullptr;
};
using PCOMBOBOXINFO = COMBOBOXINFO*;

// ==== Custom draw (NM_CUSTOMDRAW of the tree view and tool bar) =========================================

// Drawing stages (NMCUSTOMDRAW.dwDrawStage)
inline constexpr DWORD CDDS_PREPAINT = 0x00000001;
inline constexpr DWORD CDDS_POSTPAINT = 0x00000002;
inline constexpr DWORD CDDS_PREERASE = 0x00000003;
inline constexpr DWORD CDDS_POSTERASE = 0x00000004;
inline constexpr DWORD CDDS_ITEM = 0x00010000;
inline constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
inline constexpr DWORD CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;
inline constexpr DWORD CDDS_ITEMPREERASE = CDDS_ITEM | CDDS_PREERASE;
inline constexpr DWORD CDDS_ITEMPOSTERASE = CDDS_ITEM | CDDS_POSTERASE;
inline constexpr DWORD CDDS_SUBITEM = 0x00020000;

// Answers to NM_CUSTOMDRAW
inline constexpr LRESULT CDRF_DODEFAULT = 0x00000000;
inline constexpr LRESULT CDRF_NEWFONT = 0x00000002;
inline constexpr LRESULT CDRF_SKIPDEFAULT = 0x00000004;
inline constexpr LRESULT CDRF_DOERASE = 0x00000008;
inline constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x00000010;
inline constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x00000020;
inline constexpr LRESULT CDRF_NOTIFYSUBITEMDRAW = 0x00000020;
inline constexpr LRESULT CDRF_NOTIFYPOSTERASE = 0x00000040;
inline constexpr LRESULT CDRF_SKIPPOSTPAINT = 0x00000100;

// Item states (NMCUSTOMDRAW.uItemState)
inline constexpr UINT CDIS_SELECTED = 0x0001;
inline constexpr UINT CDIS_GRAYED = 0x0002;
inline constexpr UINT CDIS_DISABLED = 0x0004;
inline constexpr UINT CDIS_CHECKED = 0x0008;
inline constexpr UINT CDIS_FOCUS = 0x0010;
inline constexpr UINT CDIS_DEFAULT = 0x0020;
inline constexpr UINT CDIS_HOT = 0x0040;
inline constexpr UINT CDIS_MARKED = 0x0080;
inline constexpr UINT CDIS_INDETERMINATE = 0x0100;
inline constexpr UINT CDIS_SHOWKEYBOARDCUES = 0x0200;

struct NMCUSTOMDRAW {
  NMHDR hdr;
  DWORD dwDrawStage = 0;
  HDC hdc = nullptr;
  RECT rc;
  DWORD_PTR dwItemSpec = 0;  // the item: HTREEITEM of a tree view, command id of a tool bar button
  UINT uItemState = 0;
  LPARAM lItemlParam = 0;
};
using LPNMCUSTOMDRAW = NMCUSTOMDRAW*;

// ==== Tree view ==========================================================================================

inline constexpr char WC_TREEVIEW[] = "SysTreeView32";

namespace k58::builtin {
struct TreeItemHandle;
}
// Item handles stay unique for the life of the process: a handle of a deleted item names nothing.
using HTREEITEM = k58::builtin::TreeItemHandle*;

#define TVI_ROOT (reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x10000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFF)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFE)))
#define TVI_SORT (reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFD)))

inline constexpr DWORD TVS_HASBUTTONS = 0x0001;
inline constexpr DWORD TVS_HASLINES = 0x0002;
inline constexpr DWORD TVS_LINESATROOT = 0x0004;
inline constexpr DWORD TVS_EDITLABELS = 0x0008;  // accepted; labels are not edited in place
inline constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
inline constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
inline constexpr DWORD TVS_RTLREADING = 0x0040;
inline constexpr DWORD TVS_NOTOOLTIPS = 0x0080;
inline constexpr DWORD TVS_CHECKBOXES = 0x0100;
inline constexpr DWORD TVS_TRACKSELECT = 0x0200;
inline constexpr DWORD TVS_SINGLEEXPAND = 0x0400;
inline constexpr DWORD TVS_INFOTIP = 0x0800;
inline constexpr DWORD TVS_FULLROWSELECT = 0x1000;
inline constexpr DWORD TVS_NOSCROLL = 0x2000;
inline constexpr DWORD TVS_NONEVENHEIGHT = 0x4000;
inline constexpr DWORD TVS_NOHSCROLL = 0x8000;

inline constexpr UINT TVIF_TEXT = 0x0001;
inline constexpr UINT TVIF_IMAGE = 0x0002;
inline constexpr UINT TVIF_PARAM = 0x0004;
inline constexpr UINT TVIF_STATE = 0x0008;
inline constexpr UINT TVIF_HANDLE = 0x0010;
inline constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
inline constexpr UINT TVIF_CHILDREN = 0x0040;
inline constexpr UINT TVIF_INTEGRAL = 0x0080;

inline constexpr UINT TVIS_SELECTED = 0x0002;
inline constexpr UINT TVIS_CUT = 0x0004;
inline constexpr UINT TVIS_DROPHILITED = 0x0008;
inline constexpr UINT TVIS_BOLD = 0x0010;
inline constexpr UINT TVIS_EXPANDED = 0x0020;
inline constexpr UINT TVIS_EXPANDEDONCE = 0x0040;
inline constexpr UINT TVIS_EXPANDPARTIAL = 0x0080;
inline constexpr UINT TVIS_OVERLAYMASK = 0x0F00;
inline constexpr UINT TVIS_STATEIMAGEMASK = 0xF000;
inline constexpr UINT TVIS_USERMASK = 0xF000;
inline constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) { return i << 12; }
inline constexpr UINT STATEIMAGEMASKTOINDEX(UINT s) { return (s & TVIS_STATEIMAGEMASK) >> 12; }

inline constexpr int I_CHILDRENCALLBACK = -1;
inline constexpr int I_IMAGECALLBACK = -1;
inline constexpr int I_IMAGENONE = -2;

struct TVITEMA {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  LPSTR pszText = nullptr;  // UTF-8, or LPSTR_TEXTCALLBACK
  int cchTextMax = 0;
  int iImage = 0;
  int iSelectedImage = 0;
  int cChildren = 0;
  LPARAM lParam = 0;
};
using TVITEM = TVITEMA;
using LPTVITEM = TVITEMA*;

struct TVINSERTSTRUCTA {
  HTREEITEM hParent = nullptr;       // TVI_ROOT or null: a top-level item
  HTREEITEM hInsertAfter = nullptr;  // TVI_FIRST, TVI_LAST, TVI_SORT or a sibling
  TVITEMA item;
};
using TVINSERTSTRUCT = TVINSERTSTRUCTA;
using LPTVINSERTSTRUCT = TVINSERTSTRUCTA*;

inline constexpr UINT TV_FIRST = 0x1100;
inline constexpr UINT TVM_INSERTITEM = TV_FIRST + 0;
inline constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
inline constexpr UINT TVM_EXPAND = TV_FIRST + 2;
inline constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
inline constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
inline constexpr UINT TVM_GETINDENT = TV_FIRST + 6;
inline constexpr UINT TVM_SETINDENT = TV_FIRST + 7;
inline constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
inline constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;
inline constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
inline constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
inline constexpr UINT TVM_GETITEM = TV_FIRST + 12;
inline constexpr UINT TVM_SETITEM = TV_FIRST + 13;
inline constexpr UINT TVM_EDITLABEL = TV_FIRST + 14;
inline constexpr UINT TVM_GETEDITCONTROL = TV_FIRST + 15;
inline constexpr UINT TVM_GETVISIBLECOUNT = TV_FIRST + 16;
inline constexpr UINT TVM_HITTEST = TV_FIRST + 17;
inline constexpr UINT TVM_SORTCHILDREN = TV_FIRST + 19;
inline constexpr UINT TVM_ENSUREVISIBLE = TV_FIRST + 20;
inline constexpr UINT TVM_ENDEDITLABELNOW = TV_FIRST + 22;
inline constexpr UINT TVM_SETITEMHEIGHT = TV_FIRST + 27;
inline constexpr UINT TVM_GETITEMHEIGHT = TV_FIRST + 28;
inline constexpr UINT TVM_SETBKCOLOR = TV_FIRST + 29;
inline constexpr UINT TVM_SETTEXTCOLOR = TV_FIRST + 30;
inline constexpr UINT TVM_GETBKCOLOR = TV_FIRST + 31;
inline constexpr UINT TVM_GETTEXTCOLOR = TV_FIRST + 32;
inline constexpr UINT TVM_GETITEMSTATE = TV_FIRST + 39;
inline constexpr UINT TVM_INSERTITEMA = TVM_INSERTITEM;
inline constexpr UINT TVM_GETITEMA = TVM_GETITEM;
inline constexpr UINT TVM_SETITEMA = TVM_SETITEM;

inline constexpr WPARAM TVE_COLLAPSE = 0x0001;
inline constexpr WPARAM TVE_EXPAND = 0x0002;
inline constexpr WPARAM TVE_TOGGLE = 0x0003;
inline constexpr WPARAM TVE_EXPANDPARTIAL = 0x4000;
inline constexpr WPARAM TVE_COLLAPSERESET = 0x8000;

inline constexpr WPARAM TVSIL_NORMAL = 0;
inline constexpr WPARAM TVSIL_STATE = 2;

inline constexpr WPARAM TVGN_ROOT = 0x0000;
inline constexpr WPARAM TVGN_NEXT = 0x0001;
inline constexpr WPARAM TVGN_PREVIOUS = 0x0002;
inline constexpr WPARAM TVGN_PARENT = 0x0003;
inline constexpr WPARAM TVGN_CHILD = 0x0004;
inline constexpr WPARAM TVGN_FIRSTVISIBLE = 0x0005;
inline constexpr WPARAM TVGN_NEXTVISIBLE = 0x0006;
inline constexpr WPARAM TVGN_PREVIOUSVISIBLE = 0x0007;
inline constexpr WPARAM TVGN_DROPHILITE = 0x0008;
inline constexpr WPARAM TVGN_CARET = 0x0009;
inline constexpr WPARAM TVGN_LASTVISIBLE = 0x000A;

inline constexpr UINT TVHT_NOWHERE = 0x0001;
inline constexpr UINT TVHT_ONITEMICON = 0x0002;
inline constexpr UINT TVHT_ONITEMLABEL = 0x0004;
inline constexpr UINT TVHT_ONITEMSTATEICON = 0x0040;
inline constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
inline constexpr UINT TVHT_ONITEMINDENT = 0x0008;
inline constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
inline constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
inline constexpr UINT TVHT_ABOVE = 0x0100;
inline constexpr UINT TVHT_BELOW = 0x0200;
inline constexpr UINT TVHT_TORIGHT = 0x0400;
inline constexpr UINT TVHT_TOLEFT = 0x0800;

struct TVHITTESTINFO {
  POINT pt;  // client coordinates
  UINT flags = 0;
  HTREEITEM hItem = nullptr;
};
using LPTVHITTESTINFO = TVHITTESTINFO*;

// NMTREEVIEW.action
inline constexpr UINT TVC_UNKNOWN = 0x0000;
inline constexpr UINT TVC_BYMOUSE = 0x0001;
inline constexpr UINT TVC_BYKEYBOARD = 0x0002;

inline constexpr UINT TVN_FIRST = static_cast<UINT>(-400);
inline constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1;
inline constexpr UINT TVN_SELCHANGED = TVN_FIRST - 2;
inline constexpr UINT TVN_GETDISPINFO = TVN_FIRST - 3;
inline constexpr UINT TVN_SETDISPINFO = TVN_FIRST - 4;
inline constexpr UINT TVN_ITEMEXPANDING = TVN_FIRST - 5;
inline constexpr UINT TVN_ITEMEXPANDED = TVN_FIRST - 6;
inline constexpr UINT TVN_BEGINDRAG = TVN_FIRST - 7;
inline constexpr UINT TVN_BEGINRDRAG = TVN_FIRST - 8;
inline constexpr UINT TVN_DELETEITEM = TVN_FIRST - 9;
inline constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;
inline constexpr UINT TVN_SELCHANGINGA = TVN_SELCHANGING;
inline constexpr UINT TVN_SELCHANGEDA = TVN_SELCHANGED;
inline constexpr UINT TVN_GETDISPINFOA = TVN_GETDISPINFO;
inline constexpr UINT TVN_ITEMEXPANDINGA = TVN_ITEMEXPANDING;
inline constexpr UINT TVN_ITEMEXPANDEDA = TVN_ITEMEXPANDED;
inline constexpr UINT TVN_BEGINDRAGA = TVN_BEGINDRAG;
inline constexpr UINT TVN_BEGINRDRAGA = TVN_BEGINRDRAG;
inline constexpr UINT TVN_DELETEITEMA = TVN_DELETEITEM;

// TVN_SELCHANGING/ED (itemOld and itemNew), TVN_ITEMEXPANDING/ED (action TVE_*, itemNew),
// TVN_DELETEITEM (itemOld), TVN_BEGINDRAG (itemNew, ptDrag). A non-zero answer to TVN_SELCHANGING or
// TVN_ITEMEXPANDING refuses the change.
struct NMTREEVIEWA {
  NMHDR hdr;
  UINT action = 0;
  TVITEMA itemOld;
  TVITEMA itemNew;
  POINT ptDrag;
};
using NMTREEVIEW = NMTREEVIEWA;
using LPNMTREEVIEW = NMTREEVIEWA*;

// TVN_GETDISPINFO: the parent fills in what item.mask asks for (text into pszText, at most cchTextMax
// bytes with the terminator).
struct NMTVDISPINFOA {
  NMHDR hdr;
  TVITEMA item;
};
using NMTVDISPINFO = NMTVDISPINFOA;
using LPNMTVDISPINFO = NMTVDISPINFOA*;

struct NMTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};
using LPNMTVKEYDOWN = NMTVKEYDOWN*;

// NM_CUSTOMDRAW of a tree view: clrText and clrTextBk may be changed at CDDS_ITEMPREPAINT.
struct NMTVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText = 0;
  COLORREF clrTextBk = 0;
  int iLevel = 0;
};
using LPNMTVCUSTOMDRAW = NMTVCUSTOMDRAW*;

// ==== Styles shared by the status bar and tool bar =======================================================

inline constexpr DWORD CCS_TOP = 0x0001;
inline constexpr DWORD CCS_NOMOVEY = 0x0002;
inline constexpr DWORD CCS_BOTTOM = 0x0003;
inline constexpr DWORD CCS_NORESIZE = 0x0004;
inline constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
inline constexpr DWORD CCS_ADJUSTABLE = 0x0020;
inline constexpr DWORD CCS_NODIVIDER = 0x0040;
inline constexpr DWORD CCS_VERT = 0x0080;

// ==== Status bar =========================================================================================

inline constexpr char STATUSCLASSNAME[] = "msctls_statusbar32";

inline constexpr DWORD SBARS_SIZEGRIP = 0x0100;
inline constexpr DWORD SBARS_TOOLTIPS = 0x0800;

inline constexpr UINT SB_SETTEXT = WM_USER + 1;
inline constexpr UINT SB_GETTEXT = WM_USER + 2;
inline constexpr UINT SB_GETTEXTLENGTH = WM_USER + 3;
inline constexpr UINT SB_SETPARTS = WM_USER + 4;
inline constexpr UINT SB_GETPARTS = WM_USER + 6;
inline constexpr UINT SB_GETBORDERS = WM_USER + 7;
inline constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
inline constexpr UINT SB_SIMPLE = WM_USER + 9;
inline constexpr UINT SB_GETRECT = WM_USER + 10;
inline constexpr UINT SB_ISSIMPLE = WM_USER + 14;
inline constexpr UINT SB_SETBKCOLOR = CCM_SETBKCOLOR;
inline constexpr UINT SB_SETTEXTA = SB_SETTEXT;
inline constexpr UINT SB_GETTEXTA = SB_GETTEXT;
inline constexpr UINT SB_GETTEXTLENGTHA = SB_GETTEXTLENGTH;

// The part index of the text shown in simple mode (low byte of SB_SETTEXT's wParam).
inline constexpr WPARAM SB_SIMPLEID = 0x00FF;

// Drawing kinds (high byte of SB_SETTEXT's wParam; high word of SB_GETTEXT's answer)
inline constexpr UINT SBT_OWNERDRAW = 0x1000;  // lParam is data for WM_DRAWITEM, not text
inline constexpr UINT SBT_NOBORDERS = 0x0100;
inline constexpr UINT SBT_POPOUT = 0x0200;
inline constexpr UINT SBT_RTLREADING = 0x0400;
inline constexpr UINT SBT_NOTABPARSING = 0x0800;

// ==== Tool bar ===========================================================================================

inline constexpr char TOOLBARCLASSNAME[] = "ToolbarWindow32";

// Window styles
inline constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;
inline constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
inline constexpr DWORD TBSTYLE_ALTDRAG = 0x0400;
inline constexpr DWORD TBSTYLE_FLAT = 0x0800;
inline constexpr DWORD TBSTYLE_LIST = 0x1000;
inline constexpr DWORD TBSTYLE_CUSTOMERASE = 0x2000;
inline constexpr DWORD TBSTYLE_REGISTERDROP = 0x4000;
inline constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

// Extended styles (TB_SETEXTENDEDSTYLE)
inline constexpr DWORD TBSTYLE_EX_DRAWDDARROWS = 0x00000001;  // drop-down buttons get a separate arrow part
inline constexpr DWORD TBSTYLE_EX_MIXEDBUTTONS = 0x00000008;  // list mode: text only on BTNS_SHOWTEXT buttons
inline constexpr DWORD TBSTYLE_EX_HIDECLIPPEDBUTTONS = 0x00000010;

// Button styles (TBBUTTON.fsStyle)
inline constexpr BYTE BTNS_BUTTON = 0x00;
inline constexpr BYTE BTNS_SEP = 0x01;
inline constexpr BYTE BTNS_CHECK = 0x02;
inline constexpr BYTE BTNS_GROUP = 0x04;
inline constexpr BYTE BTNS_CHECKGROUP = BTNS_GROUP | BTNS_CHECK;
inline constexpr BYTE BTNS_DROPDOWN = 0x08;
inline constexpr BYTE BTNS_AUTOSIZE = 0x10;
inline constexpr BYTE BTNS_NOPREFIX = 0x20;
inline constexpr BYTE BTNS_SHOWTEXT = 0x40;
inline constexpr BYTE BTNS_WHOLEDROPDOWN = 0x80;
inline constexpr BYTE TBSTYLE_BUTTON = BTNS_BUTTON;
inline constexpr BYTE TBSTYLE_SEP = BTNS_SEP;
inline constexpr BYTE TBSTYLE_CHECK = BTNS_CHECK;
inline constexpr BYTE TBSTYLE_GROUP = BTNS_GROUP;
inline constexpr BYTE TBSTYLE_CHECKGROUP = BTNS_CHECKGROUP;
inline constexpr BYTE TBSTYLE_DROPDOWN = BTNS_DROPDOWN;
inline constexpr BYTE TBSTYLE_AUTOSIZE = BTNS_AUTOSIZE;
inline constexpr BYTE TBSTYLE_NOPREFIX = BTNS_NOPREFIX;

// Button states (TBBUTTON.fsState)
inline constexpr BYTE TBSTATE_CHECKED = 0x01;
inline constexpr BYTE TBSTATE_PRESSED = 0x02;
inline constexpr BYTE TBSTATE_ENABLED = 0x04;
inline constexpr BYTE TBSTATE_HIDDEN = 0x08;
inline constexpr BYTE TBSTATE_INDETERMINATE = 0x10;
inline constexpr BYTE TBSTATE_WRAP = 0x20;
inline constexpr BYTE TBSTATE_ELLIPSES = 0x40;
inline constexpr BYTE TBSTATE_MARKED = 0x80;

// iBitmap of a separator is its width (0: the default); I_IMAGENONE: a button without an image.
// iString: a UTF-8 text pointer, or below 0x10000 an index among the strings of TB_ADDSTRING.
struct TBBUTTON {
  int iBitmap = 0;
  int idCommand = 0;
  BYTE fsState = 0;
  BYTE fsStyle = 0;
  BYTE bReserved[6] = {};
  DWORD_PTR dwData = 0;
  INT_PTR iString = 0;
};
using LPTBBUTTON = TBBUTTON*;
using LPCTBBUTTON = const TBBUTTON*;

inline constexpr DWORD TBIF_IMAGE = 0x00000001;
inline constexpr DWORD TBIF_TEXT = 0x00000002;
inline constexpr DWORD TBIF_STATE = 0x00000004;
inline constexpr DWORD TBIF_STYLE = 0x00000008;
inline constexpr DWORD TBIF_LPARAM = 0x00000010;
inline constexpr DWORD TBIF_COMMAND = 0x00000020;
inline constexpr DWORD TBIF_SIZE = 0x00000040;
inline constexpr DWORD TBIF_BYINDEX = 0x80000000;

struct TBBUTTONINFOA {
  UINT cbSize = sizeof(TBBUTTONINFOA);
  DWORD dwMask = 0;
  int idCommand = 0;
  int iImage = 0;
  BYTE fsState = 0;
  BYTE fsStyle = 0;
  WORD cx = 0;
  DWORD_PTR lParam = 0;
  LPSTR pszText = nullptr;
  int cchText = 0;
};
using TBBUTTONINFO = TBBUTTONINFOA;
using LPTBBUTTONINFO = TBBUTTONINFOA*;

inline constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;
inline constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
inline constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
inline constexpr UINT TB_HIDEBUTTON = WM_USER + 4;
inline constexpr UINT TB_INDETERMINATE = WM_USER + 5;
inline constexpr UINT TB_MARKBUTTON = WM_USER + 6;
inline constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
inline constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
inline constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
inline constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
inline constexpr UINT TB_ISBUTTONINDETERMINATE = WM_USER + 13;
inline constexpr UINT TB_ISBUTTONHIGHLIGHTED = WM_USER + 14;
inline constexpr UINT TB_SETSTATE = WM_USER + 17;
inline constexpr UINT TB_GETSTATE = WM_USER + 18;
inline constexpr UINT TB_ADDBUTTONS = WM_USER + 20;
inline constexpr UINT TB_INSERTBUTTON = WM_USER + 21;
inline constexpr UINT TB_DELETEBUTTON = WM_USER + 22;
inline constexpr UINT TB_GETBUTTON = WM_USER + 23;
inline constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
inline constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;
inline constexpr UINT TB_ADDSTRING = WM_USER + 28;
inline constexpr UINT TB_GETITEMRECT = WM_USER + 29;
inline constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
inline constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;
inline constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;
inline constexpr UINT TB_AUTOSIZE = WM_USER + 33;
inline constexpr UINT TB_GETTOOLTIPS = WM_USER + 35;
inline constexpr UINT TB_SETTOOLTIPS = WM_USER + 36;
inline constexpr UINT TB_SETPARENT = WM_USER + 37;
inline constexpr UINT TB_GETBUTTONTEXT = WM_USER + 45;
inline constexpr UINT TB_SETINDENT = WM_USER + 47;
inline constexpr UINT TB_SETIMAGELIST = WM_USER + 48;
inline constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
inline constexpr UINT TB_GETRECT = WM_USER + 51;
inline constexpr UINT TB_SETHOTIMAGELIST = WM_USER + 52;
inline constexpr UINT TB_GETHOTIMAGELIST = WM_USER + 53;
inline constexpr UINT TB_SETDISABLEDIMAGELIST = WM_USER + 54;
inline constexpr UINT TB_GETDISABLEDIMAGELIST = WM_USER + 55;
inline constexpr UINT TB_SETSTYLE = WM_USER + 56;
inline constexpr UINT TB_GETSTYLE = WM_USER + 57;
inline constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;
inline constexpr UINT TB_SETMAXTEXTROWS = WM_USER + 60;
inline constexpr UINT TB_GETTEXTROWS = WM_USER + 61;
inline constexpr UINT TB_GETBUTTONINFO = WM_USER + 65;
inline constexpr UINT TB_SETBUTTONINFO = WM_USER + 66;
inline constexpr UINT TB_HITTEST = WM_USER + 69;
inline constexpr UINT TB_GETHOTITEM = WM_USER + 71;
inline constexpr UINT TB_SETHOTITEM = WM_USER + 72;
inline constexpr UINT TB_SETEXTENDEDSTYLE = WM_USER + 84;
inline constexpr UINT TB_GETEXTENDEDSTYLE = WM_USER + 85;
inline constexpr UINT TB_ADDBUTTONSA = TB_ADDBUTTONS;
inline constexpr UINT TB_INSERTBUTTONA = TB_INSERTBUTTON;
inline constexpr UINT TB_ADDSTRINGA = TB_ADDSTRING;
inline constexpr UINT TB_GETBUTTONTEXTA = TB_GETBUTTONTEXT;
inline constexpr UINT TB_GETBUTTONINFOA = TB_GETBUTTONINFO;
inline constexpr UINT TB_SETBUTTONINFOA = TB_SETBUTTONINFO;

inline constexpr UINT TBN_FIRST = static_cast<UINT>(-700);
inline constexpr UINT TBN_DROPDOWN = TBN_FIRST - 10;
inline constexpr UINT TBN_HOTITEMCHANGE = TBN_FIRST - 13;

// TBN_DROPDOWN answers
inline constexpr LRESULT TBDDRET_DEFAULT = 0;
inline constexpr LRESULT TBDDRET_NODEFAULT = 1;
inline constexpr LRESULT TBDDRET_TREATPRESSED = 2;

struct NMTOOLBARA {
  NMHDR hdr;
  int iItem = 0;  // the command id
  TBBUTTON tbButton;
  int cchText = 0;
  LPSTR pszText = nullptr;
  RECT rcButton;
};
using NMTOOLBAR = NMTOOLBARA;
using LPNMTOOLBAR = NMTOOLBARA*;

// TBN_HOTITEMCHANGE: idOld and idNew are command ids; a non-zero answer keeps the old hot item.
inline constexpr DWORD HICF_OTHER = 0x00000000;
inline constexpr DWORD HICF_MOUSE = 0x00000001;
inline constexpr DWORD HICF_ENTERING = 0x00000010;
inline constexpr DWORD HICF_LEAVING = 0x00000020;
struct NMTBHOTITEM {
  NMHDR hdr;
  int idOld = 0;
  int idNew = 0;
  DWORD dwFlags = 0;
};
using LPNMTBHOTITEM = NMTBHOTITEM*;

// NM_CUSTOMDRAW of a tool bar: dwItemSpec is the button's command id, lItemlParam its dwData.
struct NMTBCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  HBRUSH hbrMonoDither = nullptr;
  HBRUSH hbrLines = nullptr;
  HPEN hpenLines = nullptr;
  COLORREF clrText = 0;
  COLORREF clrMark = 0;
  COLORREF clrTextHighlight = 0;
  COLORREF clrBtnFace = 0;
  COLORREF clrBtnHighlight = 0;
  COLORREF clrHighlightHotTrack = 0;
  RECT rcText;
  int nStringBkMode = 0;
  int nHLStringBkMode = 0;
  int iListGap = 0;
};
using LPNMTBCUSTOMDRAW = NMTBCUSTOMDRAW*;

// ==== Tab control ========================================================================================

inline constexpr char WC_TABCONTROL[] = "SysTabControl32";

inline constexpr UINT ODT_TAB = 101;

inline constexpr DWORD TCS_TABS = 0x0000;
inline constexpr DWORD TCS_SINGLELINE = 0x0000;
inline constexpr DWORD TCS_FLATBUTTONS = 0x0008;
inline constexpr DWORD TCS_FORCEICONLEFT = 0x0010;
inline constexpr DWORD TCS_FORCELABELLEFT = 0x0020;
inline constexpr DWORD TCS_HOTTRACK = 0x0040;
inline constexpr DWORD TCS_BUTTONS = 0x0100;
inline constexpr DWORD TCS_MULTILINE = 0x0200;
inline constexpr DWORD TCS_FIXEDWIDTH = 0x0400;
inline constexpr DWORD TCS_RAGGEDRIGHT = 0x0800;
inline constexpr DWORD TCS_FOCUSONBUTTONDOWN = 0x1000;
inline constexpr DWORD TCS_OWNERDRAWFIXED = 0x2000;
inline constexpr DWORD TCS_TOOLTIPS = 0x4000;
inline constexpr DWORD TCS_FOCUSNEVER = 0x8000;

inline constexpr UINT TCIF_TEXT = 0x0001;
inline constexpr UINT TCIF_IMAGE = 0x0002;
inline constexpr UINT TCIF_RTLREADING = 0x0004;
inline constexpr UINT TCIF_PARAM = 0x0008;
inline constexpr UINT TCIF_STATE = 0x0010;

inline constexpr DWORD TCIS_BUTTONPRESSED = 0x0001;
inline constexpr DWORD TCIS_HIGHLIGHTED = 0x0002;

struct TCITEMA {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};
using TCITEM = TCITEMA;
using LPTCITEM = TCITEMA*;

inline constexpr UINT TCM_FIRST = 0x1300;
inline constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2;
inline constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3;
inline constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
inline constexpr UINT TCM_GETITEM = TCM_FIRST + 5;
inline constexpr UINT TCM_SETITEM = TCM_FIRST + 6;
inline constexpr UINT TCM_INSERTITEM = TCM_FIRST + 7;
inline constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
inline constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
inline constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
inline constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
inline constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
inline constexpr UINT TCM_HITTEST = TCM_FIRST + 13;
inline constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;
inline constexpr UINT TCM_SETITEMSIZE = TCM_FIRST + 41;
inline constexpr UINT TCM_GETROWCOUNT = TCM_FIRST + 44;
inline constexpr UINT TCM_SETMINTABWIDTH = TCM_FIRST + 49;
inline constexpr UINT TCM_GETITEMA = TCM_GETITEM;
inline constexpr UINT TCM_SETITEMA = TCM_SETITEM;
inline constexpr UINT TCM_INSERTITEMA = TCM_INSERTITEM;

inline constexpr UINT TCHT_NOWHERE = 0x0001;
inline constexpr UINT TCHT_ONITEMICON = 0x0002;
inline constexpr UINT TCHT_ONITEMLABEL = 0x0004;
inline constexpr UINT TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;

struct TCHITTESTINFO {
  POINT pt;  // client coordinates
  UINT flags = 0;
};
using LPTCHITTESTINFO = TCHITTESTINFO*;

inline constexpr UINT TCN_FIRST = static_cast<UINT>(-550);
inline constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0;
inline constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
inline constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;  // a non-zero answer keeps the current tab

struct NMTCKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};
