// The flat border of popup menu windows: a one-pixel frame, the gaps between frame and items filled with
// the menu's own colours, a shaped shadow where the system draws none, and the window procedure that
// keeps the background and restores the window when it closes.
#include <cstdlib>
#include <map>

#include "platform/win/Windows.h"
#include "skin/SkinInternal.h"

namespace {

// The procedures the popup windows had before ours, by window. The windows' user-data slots belong to
// their owners and are left alone.
std::map<HWND, WNDPROC>& SavedPopupProcs() {
  static std::map<HWND, WNDPROC> procs;
  return procs;
}

LRESULT PopupWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

bool UsesPopupProc(HWND Window) {
  return Window != nullptr && IsWindow(Window) &&
         reinterpret_cast<WNDPROC>(GetWindowLongPtr(Window, GWLP_WNDPROC)) == &PopupWindowProc;
}

LRESULT PopupWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto& procs = SavedPopupProcs();
  auto found = procs.find(Window);
  WNDPROC previous = found != procs.end() ? found->second : &DefWindowProc;
  if (Msg == WM_ERASEBKGND) return 1;
  if ((Msg == WM_SHOWWINDOW && WParam == 0) || Msg == WM_CLOSE || Msg == WM_DESTROY) {
    RECT r{};
    GetWindowRect(Window, &r);
    SetWindowRgn(Window, nullptr, FALSE);
    SetWindowLongPtr(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    procs.erase(Window);
    LRESULT result = CallWindowProc(previous, Window, Msg, WParam, LParam);
    // A flat popup under this one's shadow (the parent of a closing submenu) is painted again.
    HWND under = WindowFromPoint(POINT{r.right + 2, r.top + 2});
    if (!UsesPopupProc(under)) under = WindowFromPoint(POINT{r.right + 2, r.bottom - 2});
    if (UsesPopupProc(under) && under != Window) InvalidateRect(under, nullptr, FALSE);
    return result;
  }
  return CallWindowProc(previous, Window, Msg, WParam, LParam);
}

void Frame(HDC Dc, int L, int T, int R, int B, TColor Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(Color));
  HGDIOBJ oldPen = SelectObject(Dc, pen);
  HGDIOBJ oldBrush = SelectObject(Dc, GetStockObject(NULL_BRUSH));
  Rectangle(Dc, L, T, R, B);
  SelectObject(Dc, oldBrush);
  SelectObject(Dc, oldPen);
  DeleteObject(pen);
}

void Stroke(HDC Dc, int X1, int Y1, int X2, int Y2, TColor Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(Color));
  HGDIOBJ old = SelectObject(Dc, pen);
  MoveToEx(Dc, X1, Y1, nullptr);
  LineTo(Dc, X2, Y2);
  SelectObject(Dc, old);
  DeleteObject(pen);
}

}  // namespace

namespace k58::skin {

void DrawPopupBorder(TSkinMenu* SkinMenu, HWND Window, bool RightToLeft) {
  if (SkinMenu == nullptr || Window == nullptr || SkinMenu->PopupBorderBusy()) return;
  HDC dc = GetWindowDC(Window);
  if (dc == nullptr) return;
  SkinMenu->SetPopupBorderBusy(true);
  struct Done {
    TSkinMenu* S;
    HWND W;
    HDC Dc;
    ~Done() {
      ReleaseDC(W, Dc);
      S->SetPopupBorderBusy(false);
    }
  } done{SkinMenu, Window, dc};
  if (SkinMenu->ColorsChanged()) {
    TCanvas canvas;
    canvas.SetHandle(dc);
    SkinMenu->UpdateColors(&canvas);
    canvas.SetHandle(nullptr);
  }
  RECT wr{};
  GetWindowRect(Window, &wr);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;

  if (!UsesPopupProc(Window)) {
    SavedPopupProcs()[Window] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PopupWindowProc)));
  }
  const bool xp = SkinMenu->IsWinXP();
  if (!xp) {
    RECT box{};
    int kind = GetWindowRgnBox(Window, &box);
    bool keep = kind != ERROR && kind != NULLREGION && std::abs(box.right - w) <= 5 && std::abs(box.bottom - h) <= 5;
    if (!keep) {
      HRGN shape = CreateRectRgn(0, 0, w - 2, h - 2);
      HRGN shifted = CreateRectRgn(2, 2, w, h);
      CombineRgn(shape, shape, shifted, RGN_OR);
      DeleteObject(shifted);
      SetWindowRgn(Window, shape, TRUE);  // the window owns the region now
    }
    w -= 2;
    h -= 2;
  }
  Frame(dc, 0, 0, w, h, SkinMenu->DrawBorderColor);
  if (!RightToLeft) Frame(dc, 1, 2, 3, h - 1, SkinMenu->DrawIconBackColor);
  else Stroke(dc, w - 3, 2, w - 2, h - 1, SkinMenu->DrawIconBackColor);
  StretchBlt(dc, 1, 1, w - 2, 2, dc, 1, 3, w - 2, 1, SRCCOPY);
  if (xp) {
    StretchBlt(dc, 1, h - 3, w - 2, 2, dc, 1, 3, w - 2, 1, SRCCOPY);
    Frame(dc, w - 3, 1, w - 1, h - 1, SkinMenu->DrawColor);
  } else {
    w += 2;
    h += 2;
    Frame(dc, 2, h - 2, w, h, SkinMenu->DrawShadowColor);
    Frame(dc, w - 2, 2, w, h, SkinMenu->DrawShadowColor);
  }
}

}  // namespace k58::skin
