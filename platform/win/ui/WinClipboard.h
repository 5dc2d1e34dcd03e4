// Global memory blocks and the clipboard, with the standard names and numbers.
//
// The clipboard holds data of the process (text, bitmaps, registered formats). CF_TEXT is text in the
// system code page, which is UTF-8 here; CF_UNICODETEXT is UTF-16. Asking for one text format
// converts from the other, and CF_BITMAP and CF_DIB convert into each other. When the display reports
// that another program owns the clipboard, its text is offered in both text formats.
#pragma once

#include <string>

#include "platform/rtl/WinTypes.h"

using HGLOBAL = HANDLE;
using SIZE_T = size_t;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GMEM_DDESHARE = 0x2000;
inline constexpr UINT GMEM_SHARE = 0x2000;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Blocks are always handles (never plain pointers); GlobalLock answers the memory, which does not
// move while the block lives. GlobalFree answers null on success, the handle on failure.
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
LPVOID GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);
HGLOBAL GlobalFree(HGLOBAL hMem);
SIZE_T GlobalSize(HGLOBAL hMem);

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_METAFILEPICT = 3;
inline constexpr UINT CF_SYLK = 4;
inline constexpr UINT CF_DIF = 5;
inline constexpr UINT CF_TIFF = 6;
inline constexpr UINT CF_OEMTEXT = 7;
inline constexpr UINT CF_DIB = 8;
inline constexpr UINT CF_PALETTE = 9;
inline constexpr UINT CF_UNICODETEXT = 13;
inline constexpr UINT CF_ENHMETAFILE = 14;
inline constexpr UINT CF_HDROP = 15;
inline constexpr UINT CF_LOCALE = 16;
inline constexpr UINT CF_DIBV5 = 17;

// Metafiles on the clipboard. A metafile handle is a global memory block holding the metafile's bits (a
// Windows metafile's records without the placeable header, or a whole enhanced metafile); CF_METAFILEPICT
// is a block holding a METAFILEPICT. The clipboard frees the metafile inside a CF_METAFILEPICT with it.
using HMETAFILE = HGLOBAL;
using HENHMETAFILE = HGLOBAL;

struct METAFILEPICT {
  LONG mm = 0;
  LONG xExt = 0;
  LONG yExt = 0;
  HMETAFILE hMF = nullptr;
};

inline constexpr LONG MM_ANISOTROPIC_PICT = 8;

HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData);
// Copies up to cbBuffer bytes into lpData (nil: only the size); answers the size of the bits.
UINT GetMetaFileBitsEx(HMETAFILE hMF, UINT cbBuffer, LPVOID lpData);
BOOL DeleteMetaFile(HMETAFILE hmf);
HENHMETAFILE SetEnhMetaFileBits(UINT nSize, const BYTE* pb);
UINT GetEnhMetaFileBits(HENHMETAFILE hEMF, UINT nSize, BYTE* lpData);
BOOL DeleteEnhMetaFile(HENHMETAFILE hmf);

// Fails while another window has the clipboard open.
BOOL OpenClipboard(HWND hWndNewOwner);
BOOL CloseClipboard();
// Frees the data held and makes the window that opened the clipboard its owner.
BOOL EmptyClipboard();
// The clipboard takes ownership of hMem (a global memory block, or an HBITMAP for CF_BITMAP) and
// frees it when emptied. Answers hMem, null on failure (the clipboard not open by the caller).
HANDLE SetClipboardData(UINT uFormat, HANDLE hMem);
// The data stays the clipboard's: the caller must not free it.
HANDLE GetClipboardData(UINT uFormat);
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();
UINT EnumClipboardFormats(UINT format);
// The same name (ignoring case) always gives the same number, from 0xC000 up.
UINT RegisterClipboardFormat(LPCSTR lpszFormat);
inline UINT RegisterClipboardFormatA(LPCSTR lpszFormat) { return RegisterClipboardFormat(lpszFormat); }
int GetClipboardFormatName(UINT format, LPSTR lpszFormatName, int cchMaxCount);
inline int GetClipboardFormatNameA(UINT format, LPSTR lpszFormatName, int cchMaxCount) {
  return GetClipboardFormatName(format, lpszFormatName, cchMaxCount);
}
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();

namespace k58::winui {

// For a display back-end (any thread): the clipboard's text when this process owns it (false when it
// holds no text), and the news that another program took the clipboard (local data is dropped).
bool ClipboardTextForExport(std::u16string& Text);
void HostClipboardLost();

}  // namespace k58::winui
