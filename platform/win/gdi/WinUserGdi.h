// The drawing calls of the Win32-shaped user interface layer: rectangle fills and frames, focus
// rectangles, 3-D edges, frame controls, formatted text, system colours and system metrics.
#pragma once

#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinRect.h"

// ---- System colours ------------------------------------------------------------------------------
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;
inline constexpr int K58_SYSCOLOR_COUNT = 31;

DWORD GetSysColor(int index);
// A brush of the system colour that follows later changes of it; never deleted.
HBRUSH GetSysColorBrush(int index);
BOOL SetSysColors(int count, const INT* indexes, const COLORREF* colors);

// ---- System metrics ------------------------------------------------------------------------------
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CYKANJIWINDOW = 18;
inline constexpr int SM_MOUSEPRESENT = 19;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_DEBUG = 22;
inline constexpr int SM_SWAPBUTTON = 23;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXSIZE = 30;
inline constexpr int SM_CYSIZE = 31;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CYSIZEFRAME = SM_CYFRAME;
inline constexpr int SM_CXMINTRACK = 34;
inline constexpr int SM_CYMINTRACK = 35;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXICONSPACING = 38;
inline constexpr int SM_CYICONSPACING = 39;
inline constexpr int SM_MENUDROPALIGNMENT = 40;
inline constexpr int SM_PENWINDOWS = 41;
inline constexpr int SM_DBCSENABLED = 42;
inline constexpr int SM_CMOUSEBUTTONS = 43;
inline constexpr int SM_SECURE = 44;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXMINSPACING = 47;
inline constexpr int SM_CYMINSPACING = 48;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_CYSMCAPTION = 51;
inline constexpr int SM_CXSMSIZE = 52;
inline constexpr int SM_CYSMSIZE = 53;
inline constexpr int SM_CXMENUSIZE = 54;
inline constexpr int SM_CYMENUSIZE = 55;
inline constexpr int SM_ARRANGE = 56;
inline constexpr int SM_CXMINIMIZED = 57;
inline constexpr int SM_CYMINIMIZED = 58;
inline constexpr int SM_CXMAXTRACK = 59;
inline constexpr int SM_CYMAXTRACK = 60;
inline constexpr int SM_CXMAXIMIZED = 61;
inline constexpr int SM_CYMAXIMIZED = 62;
inline constexpr int SM_NETWORK = 63;
inline constexpr int SM_CLEANBOOT = 67;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_SHOWSOUNDS = 70;
inline constexpr int SM_CXMENUCHECK = 71;
inline constexpr int SM_CYMENUCHECK = 72;
inline constexpr int SM_SLOWMACHINE = 73;
inline constexpr int SM_MIDEASTENABLED = 74;
inline constexpr int SM_MOUSEWHEELPRESENT = 75;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr int SM_CMONITORS = 80;
inline constexpr int SM_SAMEDISPLAYFORMAT = 81;
inline constexpr int SM_IMMENABLED = 82;
inline constexpr int SM_CXFOCUSBORDER = 83;
inline constexpr int SM_CYFOCUSBORDER = 84;
inline constexpr int SM_REMOTESESSION = 0x1000;

// Unknown indexes answer 0.
int GetSystemMetrics(int index);

// ---- Rectangles ----------------------------------------------------------------------------------
// brush may also be (HBRUSH)(COLOR_xxx + 1).
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* rect);
// Inverts a dotted one-pixel frame through a checkerboard brush (PATINVERT) with the DC's text and
// background colours, so drawing it twice restores the pixels.
BOOL DrawFocusRect(HDC hdc, const RECT* rect);

// ---- 3-D edges -----------------------------------------------------------------------------------
inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr UINT BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr UINT BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
inline constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
inline constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr UINT BF_MIDDLE = 0x0800;
inline constexpr UINT BF_SOFT = 0x1000;
inline constexpr UINT BF_ADJUST = 0x2000;
inline constexpr UINT BF_FLAT = 0x4000;
inline constexpr UINT BF_MONO = 0x8000;

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags);

// ---- Frame controls ------------------------------------------------------------------------------
inline constexpr UINT DFC_CAPTION = 1;
inline constexpr UINT DFC_MENU = 2;
inline constexpr UINT DFC_SCROLL = 3;
inline constexpr UINT DFC_BUTTON = 4;

inline constexpr UINT DFCS_CAPTIONCLOSE = 0x0000;
inline constexpr UINT DFCS_CAPTIONMIN = 0x0001;
inline constexpr UINT DFCS_CAPTIONMAX = 0x0002;
inline constexpr UINT DFCS_CAPTIONRESTORE = 0x0003;
inline constexpr UINT DFCS_CAPTIONHELP = 0x0004;
inline constexpr UINT DFCS_SCROLLUP = 0x0000;
inline constexpr UINT DFCS_SCROLLDOWN = 0x0001;
inline constexpr UINT DFCS_SCROLLLEFT = 0x0002;
inline constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
inline constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
inline constexpr UINT DFCS_SCROLLSIZEGRIP = 0x0008;
inline constexpr UINT DFCS_SCROLLSIZEGRIPRIGHT = 0x0010;
inline constexpr UINT DFCS_BUTTONCHECK = 0x0000;
inline constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x0001;
inline constexpr UINT DFCS_BUTTONRADIOMASK = 0x0002;
inline constexpr UINT DFCS_BUTTONRADIO = 0x0004;
inline constexpr UINT DFCS_BUTTON3STATE = 0x0008;
inline constexpr UINT DFCS_BUTTONPUSH = 0x0010;
inline constexpr UINT DFCS_INACTIVE = 0x0100;
inline constexpr UINT DFCS_PUSHED = 0x0200;
inline constexpr UINT DFCS_CHECKED = 0x0400;
inline constexpr UINT DFCS_TRANSPARENT = 0x0800;
inline constexpr UINT DFCS_HOT = 0x1000;
inline constexpr UINT DFCS_ADJUSTRECT = 0x2000;
inline constexpr UINT DFCS_FLAT = 0x4000;
inline constexpr UINT DFCS_MONO = 0x8000;

// Buttons (push, check box, radio image and mask), scroll arrows, combo box button, size grip and
// caption buttons. Menu glyphs are not drawn (FALSE).
BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state);

// ---- System bitmaps ------------------------------------------------------------------------------
inline constexpr int OBM_CHECKBOXES = 32759;
// With a null instance: the system bitmaps, named by their number cast to LPCSTR (OBM_CHECKBOXES: 4 x 3
// cells of 13 x 13 check box and radio glyphs). Resource bitmaps of modules are not found here (NULL).
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);
inline HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) { return LoadBitmap(instance, name); }

// ---- Formatted text ------------------------------------------------------------------------------
inline constexpr UINT DT_TOP = 0x00000000;
inline constexpr UINT DT_LEFT = 0x00000000;
inline constexpr UINT DT_CENTER = 0x00000001;
inline constexpr UINT DT_RIGHT = 0x00000002;
inline constexpr UINT DT_VCENTER = 0x00000004;
inline constexpr UINT DT_BOTTOM = 0x00000008;
inline constexpr UINT DT_WORDBREAK = 0x00000010;
inline constexpr UINT DT_SINGLELINE = 0x00000020;
inline constexpr UINT DT_EXPANDTABS = 0x00000040;
inline constexpr UINT DT_TABSTOP = 0x00000080;
inline constexpr UINT DT_NOCLIP = 0x00000100;
inline constexpr UINT DT_EXTERNALLEADING = 0x00000200;
inline constexpr UINT DT_CALCRECT = 0x00000400;
inline constexpr UINT DT_NOPREFIX = 0x00000800;
inline constexpr UINT DT_INTERNAL = 0x00001000;
inline constexpr UINT DT_EDITCONTROL = 0x00002000;
inline constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
inline constexpr UINT DT_END_ELLIPSIS = 0x00008000;
inline constexpr UINT DT_MODIFYSTRING = 0x00010000;
inline constexpr UINT DT_RTLREADING = 0x00020000;
inline constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
inline constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
inline constexpr UINT DT_HIDEPREFIX = 0x00100000;
inline constexpr UINT DT_PREFIXONLY = 0x00200000;

struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;  // in average character widths
  int iLeftMargin = 0;
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;  // out: character units processed
};

// Returns the height of the text (with DT_VCENTER or DT_BOTTOM: the offset from rect->top to the bottom
// of the drawn text), 0 on failure. count -1: the text ends at its terminating zero.
// DT_MODIFYSTRING is not supported: the text is never written to.
int DrawText(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format);
inline int DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
  return DrawText(hdc, text, count, rect, format);
}
int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format);
int DrawTextEx(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params);
inline int DrawTextExA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params) {
  return DrawTextEx(hdc, text, count, rect, format, params);
}
int DrawTextExW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params);

// Text with tabs expanded to the given stops (pixels from tabOrigin; none: every 8 average character
// widths; one: that interval). Return the extent as MAKELONG(width, height).
LONG TabbedTextOut(HDC hdc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabStops, int tabOrigin);
inline LONG TabbedTextOutA(HDC hdc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabStops,
                           int tabOrigin) {
  return TabbedTextOut(hdc, x, y, text, count, tabCount, tabStops, tabOrigin);
}
DWORD GetTabbedTextExtent(HDC hdc, LPCSTR text, int count, int tabCount, const INT* tabStops);
inline DWORD GetTabbedTextExtentA(HDC hdc, LPCSTR text, int count, int tabCount, const INT* tabStops) {
  return GetTabbedTextExtent(hdc, text, count, tabCount, tabStops);
}
