// Registration of the built-in classes and the helpers the controls share.
#include <cstring>
#include <mutex>

#include "platform/rtl/Utf.h"
#include "platform/win/builtin/ComboBox.h"
#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/builtin/StatusBar.h"
#include "platform/win/builtin/TabCtrl.h"
#include "platform/win/builtin/ToolBar.h"
#include "platform/win/builtin/TreeView.h"

namespace k58::builtin {

void RegisterControlClass(LPCSTR Name, WNDPROC Proc, UINT Style, LPCSTR Cursor, HBRUSH Background) {
  WNDCLASSEX Wc;
  Wc.style = Style | CS_GLOBALCLASS;
  Wc.lpfnWndProc = Proc;
  Wc.cbWndExtra = sizeof(LONG_PTR);
  Wc.hCursor = LoadCursor(nullptr, Cursor ? Cursor : IDC_ARROW);
  Wc.hbrBackground = Background;
  Wc.lpszClassName = Name;
  RegisterClassEx(&Wc);  // fails harmlessly when already registered
}

HWND NotifyTarget(HWND Hwnd) { return GetParent(Hwnd); }

void NotifyCommand(HWND Hwnd, WORD Code) {
  HWND Target = NotifyTarget(Hwnd);
  if (!Target) return;
  WORD Id = static_cast<WORD>(GetWindowLongPtr(Hwnd, GWLP_ID));
  SendMessage(Target, WM_COMMAND, MAKEWPARAM(Id, Code), reinterpret_cast<LPARAM>(Hwnd));
}

LRESULT NotifyHeader(HWND Hwnd, NMHDR& Header, UINT Code) {
  Header.hwndFrom = Hwnd;
  Header.idFrom = static_cast<UINT_PTR>(GetWindowLongPtr(Hwnd, GWLP_ID));
  Header.code = Code;
  HWND Target = NotifyTarget(Hwnd);
  if (!Target) return 0;
  return SendMessage(Target, WM_NOTIFY, Header.idFrom, reinterpret_cast<LPARAM>(&Header));
}

HFONT DefaultControlFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void FontMetrics(HFONT Font, int& Height, int& AveWidth) {
  HDC Dc = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Dc, Font ? Font : DefaultControlFont());
  TEXTMETRICA Tm{};
  GetTextMetrics(Dc, &Tm);
  Height = Tm.tmHeight;
  AveWidth = Tm.tmAveCharWidth;
  SelectObject(Dc, Old);
  DeleteDC(Dc);
}

int TextWidth(HFONT Font, const std::string& Text) {
  if (Text.empty()) return 0;
  HDC Dc = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Dc, Font ? Font : DefaultControlFont());
  RECT R{0, 0, 0, 0};
  DrawText(Dc, Text.c_str(), -1, &R, DT_SINGLELINE | DT_CALCRECT);
  SelectObject(Dc, Old);
  DeleteDC(Dc);
  return R.right - R.left;
}

HBRUSH ControlColors(HWND Hwnd, UINT Msg, HDC Dc) {
  HWND Target = NotifyTarget(Hwnd);
  LRESULT R = Target ? SendMessage(Target, Msg, reinterpret_cast<WPARAM>(Dc), reinterpret_cast<LPARAM>(Hwnd))
                     : DefWindowProc(Hwnd, Msg, reinterpret_cast<WPARAM>(Dc), reinterpret_cast<LPARAM>(Hwnd));
  if (!R) R = DefWindowProc(Hwnd, Msg, reinterpret_cast<WPARAM>(Dc), reinterpret_cast<LPARAM>(Hwnd));
  return reinterpret_cast<HBRUSH>(R);
}

std::string WindowTextOf(HWND Hwnd) {
  int Len = GetWindowTextLength(Hwnd);
  std::string S(static_cast<size_t>(Len) + 1, '\0');
  int Got = GetWindowText(Hwnd, S.data(), Len + 1);
  S.resize(static_cast<size_t>(Got > 0 ? Got : 0));
  return S;
}

LRESULT CopyTextOut(const std::string& Text, WPARAM Size, LPARAM Buffer) {
  char* Out = reinterpret_cast<char*>(Buffer);
  if (!Out || Size == 0) return 0;
  size_t N = k58::rtl::Utf8Fit(Text, static_cast<size_t>(Size) - 1);
  std::memcpy(Out, Text.data(), N);
  Out[N] = '\0';
  return static_cast<LRESULT>(N);
}

bool ImageSize(HANDLE Image, UINT Type, SIZE& Size) {
  Size = SIZE{};
  if (!Image) return false;
  if (Type == IMAGE_BITMAP) {
    BITMAP Bm{};
    if (!GetObject(static_cast<HGDIOBJ>(Image), sizeof Bm, &Bm)) return false;
    Size = SIZE{Bm.bmWidth, Bm.bmHeight};
    return true;
  }
  ICONINFO Ii;
  if (!GetIconInfo(static_cast<HICON>(Image), &Ii)) return false;
  BITMAP Bm{};
  if (Ii.hbmColor && GetObject(Ii.hbmColor, sizeof Bm, &Bm)) {
    Size = SIZE{Bm.bmWidth, Bm.bmHeight};
  } else if (Ii.hbmMask && GetObject(Ii.hbmMask, sizeof Bm, &Bm)) {
    Size = SIZE{Bm.bmWidth, Ii.hbmColor ? Bm.bmHeight : Bm.bmHeight / 2};
  }
  if (Ii.hbmColor) DeleteObject(Ii.hbmColor);
  if (Ii.hbmMask) DeleteObject(Ii.hbmMask);
  return Size.cx > 0;
}

void DrawBitmapAt(HDC Dc, int X, int Y, HBITMAP Bitmap) {
  BITMAP Bm{};
  if (!Bitmap || !GetObject(Bitmap, sizeof Bm, &Bm)) return;
  HDC Mem = CreateCompatibleDC(Dc);
  HGDIOBJ Old = SelectObject(Mem, Bitmap);
  BitBlt(Dc, X, Y, Bm.bmWidth, Bm.bmHeight, Mem, 0, 0, SRCCOPY);
  SelectObject(Mem, Old);
  DeleteDC(Mem);
}

bool DrawIconAt(HDC Dc, int X, int Y, HICON Icon) {
  ICONINFO Ii;
  if (!Icon || !GetIconInfo(Icon, &Ii)) return false;
  BITMAP Bm{};
  GetObject(Ii.hbmMask, sizeof Bm, &Bm);
  int W = Bm.bmWidth, H = Ii.hbmColor ? Bm.bmHeight : Bm.bmHeight / 2;
  HDC Mem = CreateCompatibleDC(Dc);
  HGDIOBJ Old = SelectObject(Mem, Ii.hbmMask);
  COLORREF OldText = SetTextColor(Dc, RGB(0, 0, 0));
  COLORREF OldBk = SetBkColor(Dc, RGB(255, 255, 255));
  // The mask clears where the icon is opaque; the colour image (or the mask's lower half) then goes on
  // with XOR.
  BitBlt(Dc, X, Y, W, H, Mem, 0, 0, SRCAND);
  if (Ii.hbmColor) {
    SelectObject(Mem, Ii.hbmColor);
    BitBlt(Dc, X, Y, W, H, Mem, 0, 0, SRCINVERT);
  } else {
    BitBlt(Dc, X, Y, W, H, Mem, 0, H, SRCINVERT);
  }
  SetTextColor(Dc, OldText);
  SetBkColor(Dc, OldBk);
  SelectObject(Mem, Old);
  DeleteDC(Mem);
  if (Ii.hbmColor) DeleteObject(Ii.hbmColor);
  if (Ii.hbmMask) DeleteObject(Ii.hbmMask);
  return true;
}

}  // namespace k58::builtin

using namespace k58::builtin;

void InitCommonControls() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    RegisterButtonClass();
    RegisterEditClass();
    RegisterStaticClass();
    RegisterScrollBarClass();
    RegisterUpDownClass();
    RegisterProgressClass();
    RegisterToolTipClass();
    RegisterComboBoxClass();  // with the list box and the combo box's drop-down list
    RegisterTreeViewClass();
    RegisterStatusBarClass();
    RegisterToolBarClass();
    RegisterTabCtrlClass();
  });
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  InitCommonControls();
  return TRUE;
}
