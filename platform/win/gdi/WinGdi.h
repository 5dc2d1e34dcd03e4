// The graphics device interface of the Win32-shaped layer: device contexts, pens, brushes, fonts,
// bitmaps, regions, paths, bit-block transfers and text output, with Win32's names and values.
//
// Text is UTF-8 (String) in the plain and "A" calls and UTF-16 in the "W" calls. Where Win32 gives one
// entry per character unit (lpDx of ExtTextOut, the partial extents of GetTextExtentExPoint), the unit
// is a byte of the UTF-8 text or a UTF-16 code unit; a character made of several units advances by the
// sum of their entries.
//
// Mapping mode is MM_TEXT only. 32-bit pixels are held as 0x00RRGGBB words (blue, green, red, unused in
// memory, the layout of a 32-bit DIB); monochrome bitmaps hold black and white.
#pragma once

#include "platform/rtl/WinTypes.h"

using LPCWSTR = const WCHAR*;
using LPWSTR = WCHAR*;
using COLOR16 = USHORT;
using LPINT = INT*;
using LPSIZE = SIZE*;

// ---- Errors and object types ---------------------------------------------------------------------
inline constexpr int GDI_ERROR = -1;  // 0xFFFFFFFF as a DWORD
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(-1)))
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_DC = 3;
inline constexpr DWORD OBJ_PAL = 5;
inline constexpr DWORD OBJ_FONT = 6;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_REGION = 8;
inline constexpr DWORD OBJ_MEMDC = 10;
inline constexpr DWORD OBJ_EXTPEN = 11;

// ---- Stock objects -------------------------------------------------------------------------------
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int OEM_FIXED_FONT = 10;
inline constexpr int ANSI_FIXED_FONT = 11;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEVICE_DEFAULT_FONT = 14;
inline constexpr int SYSTEM_FIXED_FONT = 16;
inline constexpr int DEFAULT_GUI_FONT = 17;

// ---- Pens ----------------------------------------------------------------------------------------
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;
inline constexpr int PS_USERSTYLE = 7;
inline constexpr int PS_ALTERNATE = 8;
inline constexpr int PS_STYLE_MASK = 0x0000000F;
inline constexpr int PS_ENDCAP_ROUND = 0x00000000;
inline constexpr int PS_ENDCAP_SQUARE = 0x00000100;
inline constexpr int PS_ENDCAP_FLAT = 0x00000200;
inline constexpr int PS_ENDCAP_MASK = 0x00000F00;
inline constexpr int PS_JOIN_ROUND = 0x00000000;
inline constexpr int PS_JOIN_BEVEL = 0x00001000;
inline constexpr int PS_JOIN_MITER = 0x00002000;
inline constexpr int PS_JOIN_MASK = 0x0000F000;
inline constexpr int PS_COSMETIC = 0x00000000;
inline constexpr int PS_GEOMETRIC = 0x00010000;
inline constexpr int PS_TYPE_MASK = 0x000F0000;

struct LOGPEN {
  UINT lopnStyle = 0;
  POINT lopnWidth;
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  ULONG_PTR lbHatch = 0;
};

struct EXTLOGPEN {
  DWORD elpPenStyle = 0;
  DWORD elpWidth = 0;
  UINT elpBrushStyle = 0;
  COLORREF elpColor = 0;
  ULONG_PTR elpHatch = 0;
  DWORD elpNumEntries = 0;
  DWORD elpStyleEntry[1] = {0};
};

// ---- Brushes -------------------------------------------------------------------------------------
inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;
inline constexpr UINT BS_HATCHED = 2;
inline constexpr UINT BS_PATTERN = 3;

inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;
inline constexpr int HS_BDIAGONAL = 3;
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

// ---- Background, raster and fill modes -----------------------------------------------------------
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOTMERGEPEN = 2;
inline constexpr int R2_MASKNOTPEN = 3;
inline constexpr int R2_NOTCOPYPEN = 4;
inline constexpr int R2_MASKPENNOT = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTMASKPEN = 8;
inline constexpr int R2_MASKPEN = 9;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_NOP = 11;
inline constexpr int R2_MERGENOTPEN = 12;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_MERGEPENNOT = 14;
inline constexpr int R2_MERGEPEN = 15;
inline constexpr int R2_WHITE = 16;

inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;
inline constexpr DWORD NOMIRRORBITMAP = 0x80000000;
inline constexpr DWORD CAPTUREBLT = 0x40000000;
inline constexpr DWORD MAKEROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000u) | fore; }

inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;
inline constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
inline constexpr int STRETCH_ORSCANS = WHITEONBLACK;
inline constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
inline constexpr int STRETCH_HALFTONE = HALFTONE;

inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

inline constexpr int AD_COUNTERCLOCKWISE = 1;
inline constexpr int AD_CLOCKWISE = 2;

inline constexpr int MM_TEXT = 1;

// ---- Regions -------------------------------------------------------------------------------------
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
inline constexpr int RGN_ERROR = ERROR;

inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

// ---- Device capabilities -------------------------------------------------------------------------
inline constexpr int DRIVERVERSION = 0;
inline constexpr int TECHNOLOGY = 2;
inline constexpr int HORZSIZE = 4;
inline constexpr int VERTSIZE = 6;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMBRUSHES = 16;
inline constexpr int NUMPENS = 18;
inline constexpr int NUMFONTS = 22;
inline constexpr int NUMCOLORS = 24;
inline constexpr int CURVECAPS = 28;
inline constexpr int LINECAPS = 30;
inline constexpr int POLYGONALCAPS = 32;
inline constexpr int TEXTCAPS = 34;
inline constexpr int CLIPCAPS = 36;
inline constexpr int RASTERCAPS = 38;
inline constexpr int ASPECTX = 40;
inline constexpr int ASPECTY = 42;
inline constexpr int ASPECTXY = 44;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int SIZEPALETTE = 104;
inline constexpr int NUMRESERVED = 106;
inline constexpr int COLORRES = 108;
inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;
inline constexpr int PHYSICALOFFSETX = 112;
inline constexpr int PHYSICALOFFSETY = 113;
inline constexpr int VREFRESH = 116;
inline constexpr int DESKTOPVERTRES = 117;
inline constexpr int DESKTOPHORZRES = 118;

inline constexpr int DT_PLOTTER = 0;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int DT_RASPRINTER = 2;

inline constexpr int RC_BITBLT = 1;
inline constexpr int RC_BITMAP64 = 8;
inline constexpr int RC_DI_BITMAP = 0x0080;
inline constexpr int RC_DIBTODEV = 0x0200;
inline constexpr int RC_STRETCHBLT = 0x0800;
inline constexpr int RC_STRETCHDIB = 0x2000;

// ---- Fonts ---------------------------------------------------------------------------------------
inline constexpr int LF_FACESIZE = 32;

inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_THIN = 100;
inline constexpr int FW_EXTRALIGHT = 200;
inline constexpr int FW_LIGHT = 300;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_REGULAR = 400;
inline constexpr int FW_MEDIUM = 500;
inline constexpr int FW_SEMIBOLD = 600;
inline constexpr int FW_BOLD = 700;
inline constexpr int FW_EXTRABOLD = 800;
inline constexpr int FW_HEAVY = 900;

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SYMBOL_CHARSET = 2;
inline constexpr BYTE SHIFTJIS_CHARSET = 128;
inline constexpr BYTE HANGUL_CHARSET = 129;
inline constexpr BYTE GB2312_CHARSET = 134;
inline constexpr BYTE CHINESEBIG5_CHARSET = 136;
inline constexpr BYTE OEM_CHARSET = 255;

inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE OUT_STRING_PRECIS = 1;
inline constexpr BYTE OUT_CHARACTER_PRECIS = 2;
inline constexpr BYTE OUT_STROKE_PRECIS = 3;
inline constexpr BYTE OUT_TT_PRECIS = 4;
inline constexpr BYTE OUT_DEVICE_PRECIS = 5;
inline constexpr BYTE OUT_RASTER_PRECIS = 6;
inline constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
inline constexpr BYTE OUT_OUTLINE_PRECIS = 8;

inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE CLIP_CHARACTER_PRECIS = 1;
inline constexpr BYTE CLIP_STROKE_PRECIS = 2;

inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE DRAFT_QUALITY = 1;
inline constexpr BYTE PROOF_QUALITY = 2;
inline constexpr BYTE NONANTIALIASED_QUALITY = 3;
inline constexpr BYTE ANTIALIASED_QUALITY = 4;

inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr BYTE FIXED_PITCH = 1;
inline constexpr BYTE VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00;
inline constexpr BYTE FF_ROMAN = 0x10;
inline constexpr BYTE FF_SWISS = 0x20;
inline constexpr BYTE FF_MODERN = 0x30;
inline constexpr BYTE FF_SCRIPT = 0x40;
inline constexpr BYTE FF_DECORATIVE = 0x50;

// In tmPitchAndFamily: TMPF_FIXED_PITCH set means a variable-pitch font.
inline constexpr BYTE TMPF_FIXED_PITCH = 0x01;
inline constexpr BYTE TMPF_VECTOR = 0x02;
inline constexpr BYTE TMPF_TRUETYPE = 0x04;
inline constexpr BYTE TMPF_DEVICE = 0x08;

// 60 bytes, as callers that copy it with GetObject expect. The face name is UTF-8.
struct LOGFONTA {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  CHAR lfFaceName[LF_FACESIZE] = {};
};
using LOGFONT = LOGFONTA;

struct LOGFONTW {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  WCHAR lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRICA {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 0;
  LONG tmDigitizedAspectY = 0;
  BYTE tmFirstChar = 0;
  BYTE tmLastChar = 0;
  BYTE tmDefaultChar = 0;
  BYTE tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICA;

struct TEXTMETRICW {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 0;
  LONG tmDigitizedAspectY = 0;
  WCHAR tmFirstChar = 0;
  WCHAR tmLastChar = 0;
  WCHAR tmDefaultChar = 0;
  WCHAR tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};

// ---- Text output ---------------------------------------------------------------------------------
inline constexpr UINT TA_NOUPDATECP = 0;
inline constexpr UINT TA_UPDATECP = 1;
inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
inline constexpr UINT TA_TOP = 0;
inline constexpr UINT TA_BOTTOM = 8;
inline constexpr UINT TA_BASELINE = 24;
inline constexpr UINT TA_RTLREADING = 256;

inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;
inline constexpr UINT ETO_RTLREADING = 0x0080;
inline constexpr UINT ETO_IGNORELANGUAGE = 0x1000;

// ---- Bitmaps -------------------------------------------------------------------------------------
inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;
inline constexpr DWORD CBM_INIT = 4;

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  LPVOID bmBits = nullptr;
};

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFOHEADER {
  DWORD biSize = sizeof(BITMAPINFOHEADER);
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: rows from the top down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

// A header followed by the colour table (1, 4 and 8 bits per pixel) or the three BI_BITFIELDS masks.
// Callers with longer tables allocate the structure with room for them.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {0, 0, 0};
  HANDLE dshSection = nullptr;
  DWORD dsOffset = 0;
};

// ---- Gradients -----------------------------------------------------------------------------------
inline constexpr ULONG GRADIENT_FILL_RECT_H = 0;
inline constexpr ULONG GRADIENT_FILL_RECT_V = 1;
inline constexpr ULONG GRADIENT_FILL_TRIANGLE = 2;

struct TRIVERTEX {
  LONG x = 0;
  LONG y = 0;
  COLOR16 Red = 0;
  COLOR16 Green = 0;
  COLOR16 Blue = 0;
  COLOR16 Alpha = 0;
};

struct GRADIENT_RECT {
  ULONG UpperLeft = 0;
  ULONG LowerRight = 0;
};

// ---- Device contexts -----------------------------------------------------------------------------
// CreateDC knows the "DISPLAY" driver only: a DC on the desktop surface.
HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* initData);
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int savedDC);
int GetDeviceCaps(HDC hdc, int index);

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int index);
int GetObject(HGDIOBJ obj, int size, LPVOID buffer);
int GetObjectW(HGDIOBJ obj, int size, LPVOID buffer);
DWORD GetObjectType(HGDIOBJ obj);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
int SetArcDirection(HDC hdc, int direction);
int GetArcDirection(HDC hdc);
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
COLORREF GetNearestColor(HDC hdc, COLORREF color);

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT previous);
BOOL GetBrushOrgEx(HDC hdc, LPPOINT origin);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT previous);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT origin);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT previous);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT previous);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT origin);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT previous);
BOOL LPtoDP(HDC hdc, LPPOINT points, int count);
BOOL DPtoLP(HDC hdc, LPPOINT points, int count);
// The DC's origin on its surface in screen-like terms (0,0 for memory DCs).
BOOL GetDCOrgEx(HDC hdc, LPPOINT origin);

// ---- Clipping ------------------------------------------------------------------------------------
// GetClipRgn answers 0 when the DC has no clip region, 1 with a copy in device coordinates, -1 on error.
int GetClipRgn(HDC hdc, HRGN rgn);
int SelectClipRgn(HDC hdc, HRGN rgn);
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC hdc, int dx, int dy);
int GetClipBox(HDC hdc, LPRECT rect);
BOOL RectVisible(HDC hdc, const RECT* rect);
BOOL PtVisible(HDC hdc, int x, int y);

// ---- Regions -------------------------------------------------------------------------------------
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
int GetRgnBox(HRGN rgn, LPRECT rect);
BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);
BOOL PaintRgn(HDC hdc, HRGN rgn);
BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height);
BOOL InvertRgn(HDC hdc, HRGN rgn);

// ---- Pens and brushes ----------------------------------------------------------------------------
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);

// ---- Lines and shapes ----------------------------------------------------------------------------
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT position);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count);
BOOL PolyPolyline(HDC hdc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC hdc, const POINT* points, int count);
BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);

// ---- Paths (straight figures: lines, polygons and rectangles) -------------------------------------
BOOL BeginPath(HDC hdc);
BOOL EndPath(HDC hdc);
BOOL AbortPath(HDC hdc);
BOOL CloseFigure(HDC hdc);
HRGN PathToRegion(HDC hdc);
BOOL FillPath(HDC hdc);
BOOL StrokePath(HDC hdc);
BOOL StrokeAndFillPath(HDC hdc);
BOOL SelectClipPath(HDC hdc, int mode);

// ---- Bitmaps and transfers -----------------------------------------------------------------------
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bitmap);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// 32 bits per pixel only (BI_RGB or BI_BITFIELDS with the standard masks).
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits);
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT start,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
// Every stretch mode samples the nearest source pixel; extents of opposite signs mirror.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop);
// The mask is a monochrome bitmap: where it is 1 the foreground raster operation (low word of rop)
// applies, where it is 0 the background one (MAKEROP4).
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask, int xMask,
             int yMask, DWORD rop);
// Copies (stretching if the sizes differ) every source pixel that is not the transparent colour.
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparent);
// Rectangle gradients (horizontal and vertical); triangles are not supported.
BOOL GradientFill(HDC hdc, TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode);

// ---- Fonts and text ------------------------------------------------------------------------------
HFONT CreateFontIndirect(const LOGFONTA* font);
inline HFONT CreateFontIndirectA(const LOGFONTA* font) { return CreateFontIndirect(font); }
HFONT CreateFontIndirectW(const LOGFONTW* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR face);

UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetTextCharacterExtra(HDC hdc, int extra);
int GetTextCharacterExtra(HDC hdc);
BOOL SetTextJustification(HDC hdc, int extra, int breakCount);

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int count);
inline BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) { return TextOut(hdc, x, y, text, count); }
BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count);
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count, const INT* dx);
inline BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                        const INT* dx) {
  return ExtTextOut(hdc, x, y, options, rect, text, count, dx);
}
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx);

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, LPSIZE size);
inline BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  return GetTextExtentPoint32(hdc, text, count, size);
}
inline BOOL GetTextExtentPoint(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  return GetTextExtentPoint32(hdc, text, count, size);
}
inline BOOL GetTextExtentPointA(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  return GetTextExtentPoint32(hdc, text, count, size);
}
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size);
BOOL GetTextExtentExPoint(HDC hdc, LPCSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size);
inline BOOL GetTextExtentExPointA(HDC hdc, LPCSTR text, int count, int maxExtent, LPINT fit, LPINT dx,
                                  LPSIZE size) {
  return GetTextExtentExPoint(hdc, text, count, maxExtent, fit, dx, size);
}
BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size);
BOOL GetTextMetrics(HDC hdc, TEXTMETRICA* metrics);
inline BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* metrics) { return GetTextMetrics(hdc, metrics); }
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics);
// Advances of the code points first..last.
BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, LPINT widths);
inline BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, LPINT widths) {
  return GetCharWidth32(hdc, first, last, widths);
}
inline BOOL GetCharWidth32W(HDC hdc, UINT first, UINT last, LPINT widths) {
  return GetCharWidth32(hdc, first, last, widths);
}
inline BOOL GetCharWidth(HDC hdc, UINT first, UINT last, LPINT widths) { return GetCharWidth32(hdc, first, last, widths); }
inline BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, LPINT widths) { return GetCharWidth32(hdc, first, last, widths); }
int GetTextFace(HDC hdc, int count, LPSTR face);
inline int GetTextFaceA(HDC hdc, int count, LPSTR face) { return GetTextFace(hdc, count, face); }
