// Image lists: equal-sized images kept in one strip, each with an optional transparency mask, drawn
// by index into any DC. The tree view, tool bar and tab control take them by handle.
#pragma once

#include "platform/rtl/WinTypes.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/gdi/WinGdi.h"

namespace k58::builtin {
struct ImageListData;
}
using HIMAGELIST = k58::builtin::ImageListData*;

// ImageList_Create flags. Every list holds 32-bit colour; the colour depth flags are accepted and
// ignored. Without ILC_MASK images are always drawn opaque.
inline constexpr UINT ILC_MASK = 0x00000001;
inline constexpr UINT ILC_COLOR = 0x00000000;
inline constexpr UINT ILC_COLORDDB = 0x000000FE;
inline constexpr UINT ILC_COLOR4 = 0x00000004;
inline constexpr UINT ILC_COLOR8 = 0x00000008;
inline constexpr UINT ILC_COLOR16 = 0x00000010;
inline constexpr UINT ILC_COLOR24 = 0x00000018;
inline constexpr UINT ILC_COLOR32 = 0x00000020;

// ImageList_Draw(Ex) styles
inline constexpr UINT ILD_NORMAL = 0x00000000;       // the list's background colour, or transparent when it is CLR_NONE
inline constexpr UINT ILD_TRANSPARENT = 0x00000001;  // through the mask, whatever the background colour
inline constexpr UINT ILD_MASK = 0x00000010;         // the mask alone: black where opaque, white where transparent
inline constexpr UINT ILD_IMAGE = 0x00000020;        // the image alone, ignoring the mask

// Answers null for a size below 1 x 1.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL ImageList_Destroy(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);

// Adds the images of a bitmap as wide as one or more images (left to right; a partial image at the
// right edge is dropped). hbmMask (monochrome, 1 = transparent) may be null: every pixel opaque.
// Answers the index of the first new image, -1 on failure. The caller keeps its bitmaps.
int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
// As ImageList_Add, with every pixel of the colour crMask transparent.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP hbmImage, HBITMAP hbmMask);
// i -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST himl, int i);
inline BOOL ImageList_RemoveAll(HIMAGELIST himl) { return ImageList_Remove(himl, -1); }

// Background colour of ILD_NORMAL drawing; new lists have CLR_NONE. Answers the previous colour.
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
// dx, dy 0: the whole image, else that much of its top-left part. rgbBk: CLR_DEFAULT for the list's
// background colour, CLR_NONE for none (transparent), or a colour. rgbFg is accepted and ignored.
BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT fStyle);
