// The caret: one per application, owned by a window, blinking by a timer and drawn by inverting the
// window's pixels (so drawing it twice restores them).
#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

struct CaretState {
  HWND Hwnd = nullptr;
  HBITMAP Bitmap = nullptr;
  int W = 0;
  int H = 0;
  POINT Pos;
  int HideCount = 1;
  bool On = false;
  UINT_PTR Timer = 0;
  UINT Blink = 530;
  int PaintHidden = 0;
};

CaretState& Caret() {
  static auto* C = new CaretState;
  return *C;
}

const HBITMAP GrayCaret = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(1));

void Toggle() {
  CaretState& C = Caret();
  if (!C.Hwnd || !IsWindow(C.Hwnd)) return;
  HDC Dc = GetDC(C.Hwnd);
  if (C.Bitmap && C.Bitmap != GrayCaret) {
    HDC Mem = CreateCompatibleDC(Dc);
    HGDIOBJ Old = SelectObject(Mem, C.Bitmap);
    BitBlt(Dc, C.Pos.x, C.Pos.y, C.W, C.H, Mem, 0, 0, SRCINVERT);
    SelectObject(Mem, Old);
    DeleteDC(Mem);
  } else if (C.Bitmap == GrayCaret) {
    HGDIOBJ Old = SelectObject(Dc, GetStockObject(GRAY_BRUSH));
    PatBlt(Dc, C.Pos.x, C.Pos.y, C.W, C.H, PATINVERT);
    SelectObject(Dc, Old);
  } else {
    PatBlt(Dc, C.Pos.x, C.Pos.y, C.W, C.H, DSTINVERT);
  }
  ReleaseDC(C.Hwnd, Dc);
  C.On = !C.On;
}

void BlinkDue(HWND, UINT, UINT_PTR, DWORD) {
  CaretState& C = Caret();
  if (C.Hwnd && C.HideCount == 0) Toggle();
}

void RestartTimer() {
  CaretState& C = Caret();
  if (C.Timer) KillTimer(nullptr, C.Timer);
  C.Timer = C.Hwnd ? SetTimer(nullptr, 0, C.Blink, BlinkDue) : 0;
}

void Drop(bool Erase) {
  CaretState& C = Caret();
  if (Erase && C.On) Toggle();
  if (C.Timer) KillTimer(nullptr, C.Timer);
  C = CaretState{nullptr, nullptr, 0, 0, POINT{}, 1, false, 0, C.Blink, 0};
}

}  // namespace

void CaretHideForPaint(HWND Hwnd) {
  CaretState& C = Caret();
  if (C.Hwnd != Hwnd) return;
  ++C.PaintHidden;
  HideCaret(Hwnd);
}

void CaretShowAfterPaint(HWND Hwnd) {
  CaretState& C = Caret();
  if (C.Hwnd != Hwnd || C.PaintHidden == 0) return;
  --C.PaintHidden;
  ShowCaret(Hwnd);
}

void CaretWindowGone(HWND Hwnd) {
  CaretState& C = Caret();
  if (C.Hwnd && (C.Hwnd == Hwnd || IsChild(Hwnd, C.Hwnd))) Drop(false);
}

}  // namespace k58::winui

using namespace k58::winui;

BOOL CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight) {
  EnsureInit();
  if (!IsWindow(hWnd)) return FALSE;
  DestroyCaret();
  CaretState& C = Caret();
  C.Hwnd = hWnd;
  C.Bitmap = hBitmap;
  if (hBitmap && hBitmap != GrayCaret) {
    BITMAP B;
    if (!GetObject(hBitmap, sizeof B, &B)) {
      C.Hwnd = nullptr;
      return FALSE;
    }
    C.W = B.bmWidth;
    C.H = B.bmHeight;
  } else {
    C.W = nWidth ? nWidth : GetSystemMetrics(SM_CXBORDER);
    C.H = nHeight ? nHeight : GetSystemMetrics(SM_CYBORDER);
  }
  C.Pos = POINT{0, 0};
  C.HideCount = 1;
  C.On = false;
  RestartTimer();
  return TRUE;
}

BOOL DestroyCaret() {
  if (!Caret().Hwnd) return FALSE;
  Drop(true);
  return TRUE;
}

BOOL ShowCaret(HWND hWnd) {
  CaretState& C = Caret();
  if (!C.Hwnd || (hWnd && hWnd != C.Hwnd)) return FALSE;
  if (C.HideCount == 0) return TRUE;
  if (--C.HideCount == 0) {
    if (!C.On) Toggle();
    RestartTimer();
  }
  return TRUE;
}

BOOL HideCaret(HWND hWnd) {
  CaretState& C = Caret();
  if (!C.Hwnd || (hWnd && hWnd != C.Hwnd)) return FALSE;
  ++C.HideCount;
  if (C.On) Toggle();
  return TRUE;
}

BOOL SetCaretPos(int X, int Y) {
  CaretState& C = Caret();
  if (!C.Hwnd) return FALSE;
  if (C.Pos.x == X && C.Pos.y == Y) return TRUE;
  bool WasOn = C.On;
  if (WasOn) Toggle();
  C.Pos = POINT{X, Y};
  if (C.HideCount == 0) {
    Toggle();
    RestartTimer();
  }
  return TRUE;
}

BOOL GetCaretPos(LPPOINT lpPoint) {
  CaretState& C = Caret();
  if (!lpPoint || !C.Hwnd) return FALSE;
  *lpPoint = C.Pos;
  return TRUE;
}

BOOL SetCaretBlinkTime(UINT uMSeconds) {
  Caret().Blink = uMSeconds ? uMSeconds : 530;
  if (Caret().Hwnd) RestartTimer();
  return TRUE;
}

UINT GetCaretBlinkTime() { return Caret().Blink; }
