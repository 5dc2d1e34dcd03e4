// The common dialogs with the standard names and numbers: open and save file, choose colour and choose
// font, and CommDlgExtendedError. Each dialog is a modal window (class "#32770") built of the built-in
// controls, centred on its owner (on the work area without one), used with the mouse and the keyboard
// (Tab and Shift+Tab between the controls, Enter for the default button, Esc to cancel). Text is UTF-8
// (the "A" records); paths are the file system's own (slash-separated).
#pragma once

#include <functional>
#include <string>

#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinUser.h"
#include "platform/win/gdi/WinGdi.h"  // LOGFONTA

// ==== Extended errors (CommDlgExtendedError) =============================================================

inline constexpr DWORD CDERR_DIALOGFAILURE = 0xFFFF;  // the dialog could not be created
inline constexpr DWORD CDERR_GENERALCODES = 0x0000;
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD CDERR_NOTEMPLATE = 0x0003;
inline constexpr DWORD CDERR_NOHINSTANCE = 0x0004;
inline constexpr DWORD CDERR_LOADSTRFAILURE = 0x0005;
inline constexpr DWORD CDERR_FINDRESFAILURE = 0x0006;
inline constexpr DWORD CDERR_LOADRESFAILURE = 0x0007;
inline constexpr DWORD CDERR_LOCKRESFAILURE = 0x0008;
inline constexpr DWORD CDERR_MEMALLOCFAILURE = 0x0009;
inline constexpr DWORD CDERR_MEMLOCKFAILURE = 0x000A;
inline constexpr DWORD CDERR_NOHOOK = 0x000B;
inline constexpr DWORD CDERR_REGISTERMSGFAIL = 0x000C;
inline constexpr DWORD CFERR_CHOOSEFONTCODES = 0x2000;
inline constexpr DWORD CFERR_NOFONTS = 0x2001;
inline constexpr DWORD CFERR_MAXLESSTHANMIN = 0x2002;
inline constexpr DWORD FNERR_FILENAMECODES = 0x3000;
inline constexpr DWORD FNERR_SUBCLASSFAILURE = 0x3001;
inline constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
inline constexpr DWORD CCERR_CHOOSECOLORCODES = 0x5000;

// The error of the last common dialog call of this thread (0 after success or a cancel by the user).
DWORD CommDlgExtendedError();

// Control ids inside the dialogs (the standard dialog item numbers)
inline constexpr int chx1 = 0x0410;  // open: read-only; font: strikeout
inline constexpr int chx2 = 0x0411;  // font: underline
inline constexpr int stc1 = 0x0440;  // file dialogs: the current folder
inline constexpr int stc2 = 0x0441;  // file dialogs: "Save as type:" / "Files of type:"
inline constexpr int stc3 = 0x0442;  // file dialogs: "File name:"
inline constexpr int stc4 = 0x0443;  // file dialogs: "Folders:"
inline constexpr int lst1 = 0x0460;  // file dialogs: files
inline constexpr int lst2 = 0x0461;  // file dialogs: folders
inline constexpr int cmb1 = 0x0470;  // file dialogs: filter; font: face names
inline constexpr int cmb2 = 0x0471;  // font: styles
inline constexpr int cmb3 = 0x0472;  // font: sizes
inline constexpr int cmb4 = 0x0473;  // font: colour
inline constexpr int edt1 = 0x0480;  // file dialogs: file name
inline constexpr int edt2 = 0x0481;  // colour: red
inline constexpr int edt3 = 0x0482;  // colour: green
inline constexpr int edt4 = 0x0483;  // colour: blue

// ==== Open and save file =================================================================================

using LPOFNHOOKPROC = UINT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
  DWORD lStructSize = sizeof(OPENFILENAMEA);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  // Pairs of a description and its patterns ("Data files (*.dat)\0*.dat\0All files\0*.*\0\0"); several
  // patterns of one pair are separated by ';'.
  LPCSTR lpstrFilter = nullptr;
  LPSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;  // 1-based pair of lpstrFilter shown first; answers the pair in use
  // In: the initial file name (may hold a folder); out: the full path chosen. nMaxFile bytes with the
  // terminator; when the path does not fit, the call fails with FNERR_BUFFERTOOSMALL and the first two
  // bytes hold the size needed.
  LPSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPSTR lpstrFileTitle = nullptr;  // out: the name without its folder (optional)
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;  // caption; "Open" or "Save As" when null
  DWORD Flags = 0;
  WORD nFileOffset = 0;     // out: offset of the name in lpstrFile
  WORD nFileExtension = 0;  // out: offset of the extension (after the dot); of the terminator without one
  // Appended (without its dot) when the user types a name without an extension.
  LPCSTR lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook = nullptr;  // not supported: OFN_ENABLEHOOK is ignored
  LPCSTR lpTemplateName = nullptr;   // not supported: OFN_ENABLETEMPLATE is ignored
};
using OPENFILENAME = OPENFILENAMEA;
using LPOPENFILENAMEA = OPENFILENAMEA*;
using LPOPENFILENAME = OPENFILENAMEA*;

inline constexpr DWORD OFN_READONLY = 0x00000001;  // in: the check box starts checked; out: it was
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_SHOWHELP = 0x00000010;
inline constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
inline constexpr DWORD OFN_ENABLETEMPLATE = 0x00000040;
inline constexpr DWORD OFN_ENABLETEMPLATEHANDLE = 0x00000080;
inline constexpr DWORD OFN_NOVALIDATE = 0x00000100;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;  // out: the extension is not lpstrDefExt
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_SHAREAWARE = 0x00004000;
inline constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
inline constexpr DWORD OFN_NOTESTFILECREATE = 0x00010000;
inline constexpr DWORD OFN_NONETWORKBUTTON = 0x00020000;
inline constexpr DWORD OFN_NOLONGNAMES = 0x00040000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_NODEREFERENCELINKS = 0x00100000;
inline constexpr DWORD OFN_LONGNAMES = 0x00200000;
inline constexpr DWORD OFN_ENABLEINCLUDENOTIFY = 0x00400000;
inline constexpr DWORD OFN_ENABLESIZING = 0x00800000;

// Show the dialog and answer TRUE with the chosen file in the record; FALSE when the user cancelled
// (CommDlgExtendedError() 0) or the call failed (its code). Without OFN_NOCHANGEDIR the process's
// current directory becomes the chosen file's folder.
BOOL GetOpenFileName(LPOPENFILENAMEA Ofn);
BOOL GetSaveFileName(LPOPENFILENAMEA Ofn);
inline BOOL GetOpenFileNameA(LPOPENFILENAMEA Ofn) { return GetOpenFileName(Ofn); }
inline BOOL GetSaveFileNameA(LPOPENFILENAMEA Ofn) { return GetSaveFileName(Ofn); }

// ==== Choose colour ======================================================================================

using LPCCHOOKPROC = UINT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct CHOOSECOLORA {
  DWORD lStructSize = sizeof(CHOOSECOLORA);
  HWND hwndOwner = nullptr;
  HWND hInstance = nullptr;
  COLORREF rgbResult = 0;             // in with CC_RGBINIT: the colour shown first; out: the choice
  COLORREF* lpCustColors = nullptr;   // 16 custom colours, kept by the caller between calls (required)
  DWORD Flags = 0;
  LPARAM lCustData = 0;
  LPCCHOOKPROC lpfnHook = nullptr;    // not supported: CC_ENABLEHOOK is ignored
  LPCSTR lpTemplateName = nullptr;    // not supported: CC_ENABLETEMPLATE is ignored
};
using CHOOSECOLOR = CHOOSECOLORA;
using LPCHOOSECOLORA = CHOOSECOLORA*;
using LPCHOOSECOLOR = CHOOSECOLORA*;

inline constexpr DWORD CC_RGBINIT = 0x00000001;
inline constexpr DWORD CC_FULLOPEN = 0x00000002;
inline constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
inline constexpr DWORD CC_SHOWHELP = 0x00000008;
inline constexpr DWORD CC_ENABLEHOOK = 0x00000010;
inline constexpr DWORD CC_ENABLETEMPLATE = 0x00000020;
inline constexpr DWORD CC_ENABLETEMPLATEHANDLE = 0x00000040;
inline constexpr DWORD CC_SOLIDCOLOR = 0x00000080;
inline constexpr DWORD CC_ANYCOLOR = 0x00000100;

BOOL ChooseColor(LPCHOOSECOLORA Cc);
inline BOOL ChooseColorA(LPCHOOSECOLORA Cc) { return ChooseColor(Cc); }

// ==== Choose font ========================================================================================

using LPCFHOOKPROC = UINT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct CHOOSEFONTA {
  DWORD lStructSize = sizeof(CHOOSEFONTA);
  HWND hwndOwner = nullptr;
  HDC hDC = nullptr;                   // printer DC with CF_PRINTERFONTS (the same faces are listed)
  LOGFONTA* lpLogFont = nullptr;       // in with CF_INITTOLOGFONTSTRUCT; out: the choice (required)
  INT iPointSize = 0;                  // out: the size in tenths of a point
  DWORD Flags = 0;
  COLORREF rgbColors = 0;              // with CF_EFFECTS: in and out, the text colour
  LPARAM lCustData = 0;
  LPCFHOOKPROC lpfnHook = nullptr;     // not supported: CF_ENABLEHOOK is ignored
  LPCSTR lpTemplateName = nullptr;     // not supported: CF_ENABLETEMPLATE is ignored
  HINSTANCE hInstance = nullptr;
  LPSTR lpszStyle = nullptr;
  WORD nFontType = 0;
  INT nSizeMin = 0;                    // with CF_LIMITSIZE, in points
  INT nSizeMax = 0;
};
using CHOOSEFONT = CHOOSEFONTA;
using LPCHOOSEFONTA = CHOOSEFONTA*;
using LPCHOOSEFONT = CHOOSEFONTA*;

inline constexpr DWORD CF_SCREENFONTS = 0x00000001;
inline constexpr DWORD CF_PRINTERFONTS = 0x00000002;
inline constexpr DWORD CF_BOTH = 0x00000003;
inline constexpr DWORD CF_SHOWHELP = 0x00000004;
inline constexpr DWORD CF_ENABLEHOOK = 0x00000008;
inline constexpr DWORD CF_ENABLETEMPLATE = 0x00000010;
inline constexpr DWORD CF_ENABLETEMPLATEHANDLE = 0x00000020;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
inline constexpr DWORD CF_USESTYLE = 0x00000080;
inline constexpr DWORD CF_EFFECTS = 0x00000100;
inline constexpr DWORD CF_APPLY = 0x00000200;
inline constexpr DWORD CF_ANSIONLY = 0x00000400;
inline constexpr DWORD CF_SCRIPTSONLY = CF_ANSIONLY;
inline constexpr DWORD CF_NOVECTORFONTS = 0x00000800;
inline constexpr DWORD CF_NOSIMULATIONS = 0x00001000;
inline constexpr DWORD CF_LIMITSIZE = 0x00002000;
inline constexpr DWORD CF_FIXEDPITCHONLY = 0x00004000;
inline constexpr DWORD CF_WYSIWYG = 0x00008000;
inline constexpr DWORD CF_FORCEFONTEXIST = 0x00010000;
inline constexpr DWORD CF_SCALABLEONLY = 0x00020000;
inline constexpr DWORD CF_TTONLY = 0x00040000;
inline constexpr DWORD CF_NOFACESEL = 0x00080000;
inline constexpr DWORD CF_NOSTYLESEL = 0x00100000;
inline constexpr DWORD CF_NOSIZESEL = 0x00200000;

// nFontType bits
inline constexpr WORD BOLD_FONTTYPE = 0x0100;
inline constexpr WORD ITALIC_FONTTYPE = 0x0200;
inline constexpr WORD REGULAR_FONTTYPE = 0x0400;
inline constexpr WORD SCREEN_FONTTYPE = 0x2000;
inline constexpr WORD PRINTER_FONTTYPE = 0x4000;

// Faces offered: the ones the text layer maps to installed fonts (with the initial face when it is
// another); the same faces serve screen and printer. The colour list (CF_EFFECTS) holds the 16 basic
// colours, and the initial colour when it is another.
BOOL ChooseFont(LPCHOOSEFONTA Cf);
inline BOOL ChooseFontA(LPCHOOSEFONTA Cf) { return ChooseFont(Cf); }

// ==== Test seam ==========================================================================================

namespace k58::builtin {

enum class CommonDialogKind { Open, Save, Color, Font };

struct CommonDialogInfo {
  HWND Dialog = nullptr;  // the shown dialog
  HWND Owner = nullptr;
  CommonDialogKind Kind = CommonDialogKind::Open;
};

// Called once a common dialog is shown, inside its loop. Answering IDOK presses the dialog's OK button
// (the entries are checked as for a click, so the dialog may stay open), IDCANCEL cancels it, 0 leaves
// it to the input that follows (clicks and keys queued by the handler, items set through messages).
// The handler stays installed until replaced; an empty one removes it.
using CommonDialogHandler = std::function<int(const CommonDialogInfo&)>;
void SetCommonDialogHandler(CommonDialogHandler Handler);

// The control with the given id in a shown dialog (edt1, lst1, IDOK ...), null when it has none.
HWND CommonDialogItem(HWND Dialog, int Id);

}  // namespace k58::builtin
