// The progress bar ("msctls_progress32"): a range, a position and a step, drawn as a bar of blocks (or
// a smooth bar) growing left to right, or bottom to top with PBS_VERTICAL.
#include <algorithm>

#include "platform/win/builtin/CommCtrlInternal.h"

namespace k58::builtin {

namespace {

struct ProgressState : ControlState {
  ProgressState(HWND Window, const CREATESTRUCT&) : ControlState(Window) {}
  void Paint(HDC Dc);
  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);

  int Low = 0;
  int High = 100;
  int Pos = 0;
  int Step = 10;
  COLORREF Bar = CLR_DEFAULT;
  COLORREF Back = CLR_DEFAULT;
};

int ClampPos(const ProgressState& S, long long Pos) {
  long long Lo = std::min(S.Low, S.High), Hi = std::max(S.Low, S.High);
  return static_cast<int>(std::max(Lo, std::min(Pos, Hi)));
}

void ProgressState::Paint(HDC Dc) {
  ProgressState& S = *this;
  RECT R;
  GetClientRect(Hwnd, &R);
  HBRUSH Back = S.Back == CLR_DEFAULT ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(S.Back);
  FillRect(Dc, &R, Back);
  if (S.Back != CLR_DEFAULT) DeleteObject(Back);
  DrawEdge(Dc, &R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  InflateRect(&R, -1, -1);
  bool Vertical = (GetWindowLongPtr(Hwnd, GWL_STYLE) & PBS_VERTICAL) != 0;
  bool Smooth = (GetWindowLongPtr(Hwnd, GWL_STYLE) & PBS_SMOOTH) != 0;
  int Length = Vertical ? R.bottom - R.top : R.right - R.left;
  long long Span = static_cast<long long>(S.High) - S.Low;
  if (Length <= 0 || Span == 0) return;
  int Filled = static_cast<int>((static_cast<long long>(S.Pos) - S.Low) * Length / Span);
  Filled = std::max(0, std::min(Filled, Length));
  HBRUSH Bar = S.Bar == CLR_DEFAULT ? GetSysColorBrush(COLOR_HIGHLIGHT) : CreateSolidBrush(S.Bar);
  int Thick = Vertical ? R.right - R.left : R.bottom - R.top;
  int Block = Smooth ? Length : std::max(2, Thick * 2 / 3);
  int Gap = Smooth ? 0 : 2;
  for (int At = 0; At < Filled; At += Block + Gap) {
    int End = std::min(Filled, At + Block);
    // A block that would stick out past the filled length is shown whole only when it fits the bar.
    if (!Smooth && At + Block > Filled && At + Block <= Length) End = At + Block;
    RECT B = Vertical ? RECT{R.left, R.bottom - End, R.right, R.bottom - At}
                      : RECT{R.left + At, R.top, R.left + End, R.bottom};
    FillRect(Dc, &B, Bar);
  }
  if (S.Bar != CLR_DEFAULT) DeleteObject(Bar);
}

LRESULT SetPos(HWND Hwnd, ProgressState& S, long long Pos) {
  int Old = S.Pos;
  S.Pos = ClampPos(S, Pos);
  if (S.Pos != Old) InvalidateRect(Hwnd, nullptr, FALSE);
  return Old;
}

LRESULT ProgressState::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  ProgressState& S = *this;
  switch (Msg) {
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
      LRESULT Old = MAKELONG(static_cast<WORD>(S.Low), static_cast<WORD>(S.High));
      if (Msg == PBM_SETRANGE) {
        S.Low = static_cast<short>(LOWORD(LParam));
        S.High = static_cast<short>(HIWORD(LParam));
      } else {
        S.Low = static_cast<int>(WParam);
        S.High = static_cast<int>(LParam);
      }
      S.Pos = ClampPos(S, S.Pos);
      InvalidateRect(Hwnd, nullptr, FALSE);
      return Old;
    }
    case PBM_GETRANGE:
      if (LParam) {
        auto* R = reinterpret_cast<PBRANGE*>(LParam);
        R->iLow = S.Low;
        R->iHigh = S.High;
      }
      return WParam ? S.Low : S.High;
    case PBM_SETPOS:
      return SetPos(Hwnd, S, static_cast<int>(WParam));
    case PBM_DELTAPOS:
      return SetPos(Hwnd, S, static_cast<long long>(S.Pos) + static_cast<int>(WParam));
    case PBM_GETPOS:
      return S.Pos;
    case PBM_SETSTEP: {
      int Old = S.Step;
      S.Step = static_cast<int>(WParam);
      return Old;
    }
    case PBM_STEPIT: {
      // Past the end the bar starts over from the beginning.
      long long Next = static_cast<long long>(S.Pos) + S.Step;
      int Lo = std::min(S.Low, S.High), Hi = std::max(S.Low, S.High);
      if (Next > Hi) Next = Lo + (Next - Hi) % (static_cast<long long>(Hi) - Lo + 1);
      if (Next < Lo) Next = Hi - (Lo - Next) % (static_cast<long long>(Hi) - Lo + 1);
      return SetPos(Hwnd, S, Next);
    }
    case PBM_SETBARCOLOR: {
      COLORREF Old = S.Bar;
      S.Bar = static_cast<COLORREF>(LParam);
      InvalidateRect(Hwnd, nullptr, FALSE);
      return static_cast<LRESULT>(Old);
    }
    case PBM_SETBKCOLOR: {
      COLORREF Old = S.Back;
      S.Back = static_cast<COLORREF>(LParam);
      InvalidateRect(Hwnd, nullptr, FALSE);
      return static_cast<LRESULT>(Old);
    }
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterProgressClass() { RegisterControl<ProgressState>(PROGRESS_CLASS, CS_HREDRAW | CS_VREDRAW, nullptr); }

}  // namespace k58::builtin
