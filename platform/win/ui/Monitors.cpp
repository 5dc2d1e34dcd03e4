// Monitors of the virtual screen, the screen metrics derived from them, system parameters, and the
// sound of MessageBeep.
#include <cstring>

#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

const std::vector<MonitorDesc>& Monitors() {
  EnsureInit();
  Backend();
  return Ui().Monitors;
}

HMONITOR HandleOf(size_t Index) { return reinterpret_cast<HMONITOR>(Index + 1); }

const MonitorDesc* MonitorOf(HMONITOR H) {
  const auto& M = Monitors();
  uintptr_t I = reinterpret_cast<uintptr_t>(H);
  if (I == 0 || I > M.size()) return nullptr;
  return &M[I - 1];
}

size_t PrimaryIndex() {
  const auto& M = Monitors();
  for (size_t I = 0; I < M.size(); ++I)
    if (M[I].Primary) return I;
  return 0;
}

long long DistanceSquared(const RECT& R, POINT P) {
  long long Dx = P.x < R.left ? R.left - P.x : P.x >= R.right ? P.x - R.right + 1 : 0;
  long long Dy = P.y < R.top ? R.top - P.y : P.y >= R.bottom ? P.y - R.bottom + 1 : 0;
  return Dx * Dx + Dy * Dy;
}

HMONITOR Fallback(DWORD Flags, POINT Near) {
  if (Flags == MONITOR_DEFAULTTOPRIMARY) return HandleOf(PrimaryIndex());
  if (Flags != MONITOR_DEFAULTTONEAREST) return nullptr;
  const auto& M = Monitors();
  size_t Best = 0;
  long long BestD = -1;
  for (size_t I = 0; I < M.size(); ++I) {
    long long D = DistanceSquared(M[I].Bounds, Near);
    if (BestD < 0 || D < BestD) {
      BestD = D;
      Best = I;
    }
  }
  return HandleOf(Best);
}

LOGFONTA UiFont(bool Bold) {
  LOGFONTA Lf{};
  Lf.lfHeight = -11;
  Lf.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
  std::strcpy(Lf.lfFaceName, "Tahoma");
  return Lf;
}

}  // namespace

// The screen metrics follow the monitors of the display.
void ApplyMonitorMetrics() {
  const auto& M = Ui().Monitors;
  if (M.empty()) return;
  RECT Virtual = M[0].Bounds;
  const MonitorDesc* Primary = &M[0];
  for (const MonitorDesc& D : M) {
    Virtual.left = std::min(Virtual.left, D.Bounds.left);
    Virtual.top = std::min(Virtual.top, D.Bounds.top);
    Virtual.right = std::max(Virtual.right, D.Bounds.right);
    Virtual.bottom = std::max(Virtual.bottom, D.Bounds.bottom);
    if (D.Primary) Primary = &D;
  }
  gdi::SetSystemMetric(SM_CXSCREEN, Width(Primary->Bounds));
  gdi::SetSystemMetric(SM_CYSCREEN, Height(Primary->Bounds));
  gdi::SetSystemMetric(SM_XVIRTUALSCREEN, Virtual.left);
  gdi::SetSystemMetric(SM_YVIRTUALSCREEN, Virtual.top);
  gdi::SetSystemMetric(SM_CXVIRTUALSCREEN, Width(Virtual));
  gdi::SetSystemMetric(SM_CYVIRTUALSCREEN, Height(Virtual));
  gdi::SetSystemMetric(SM_CMONITORS, static_cast<int>(M.size()));
  gdi::SetSystemMetric(SM_CXFULLSCREEN, Width(Primary->WorkArea));
  gdi::SetSystemMetric(SM_CYFULLSCREEN, Height(Primary->WorkArea) - GetSystemMetrics(SM_CYCAPTION));
  int Frame = GetSystemMetrics(SM_CXFRAME);
  gdi::SetSystemMetric(SM_CXMAXIMIZED, Width(Primary->WorkArea) + 2 * Frame);
  gdi::SetSystemMetric(SM_CYMAXIMIZED, Height(Primary->WorkArea) + 2 * Frame);
  gdi::SetSystemMetric(SM_CXMAXTRACK, Width(Virtual) + 2 * Frame + 4);
  gdi::SetSystemMetric(SM_CYMAXTRACK, Height(Virtual) + 2 * Frame + 4);
}

}  // namespace k58::winui

using namespace k58::winui;

HMONITOR MonitorFromPoint(POINT pt, DWORD dwFlags) {
  const auto& M = Monitors();
  for (size_t I = 0; I < M.size(); ++I)
    if (InRect(M[I].Bounds, pt)) return HandleOf(I);
  return Fallback(dwFlags, pt);
}

HMONITOR MonitorFromRect(const RECT* lprc, DWORD dwFlags) {
  if (!lprc) return nullptr;
  const auto& M = Monitors();
  long long BestArea = 0;
  size_t Best = 0;
  for (size_t I = 0; I < M.size(); ++I) {
    RECT X = Intersect(M[I].Bounds, *lprc);
    long long Area = static_cast<long long>(Width(X)) * Height(X);
    if (Area > BestArea) {
      BestArea = Area;
      Best = I;
    }
  }
  if (BestArea > 0) return HandleOf(Best);
  POINT Centre{(lprc->left + lprc->right) / 2, (lprc->top + lprc->bottom) / 2};
  return Fallback(dwFlags, Centre);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD dwFlags) {
  if (!hwnd || !IsWindow(hwnd)) return Fallback(dwFlags == MONITOR_DEFAULTTONULL ? 0 : dwFlags, POINT{0, 0});
  RECT R = ScreenWindowRect(hwnd);
  if (IsIconic(hwnd)) {
    WINDOWPLACEMENT P;
    GetWindowPlacement(hwnd, &P);
    R = P.rcNormalPosition;
  }
  return MonitorFromRect(&R, dwFlags);
}

BOOL GetMonitorInfo(HMONITOR hMonitor, LPMONITORINFO lpmi) {
  const MonitorDesc* M = MonitorOf(hMonitor);
  if (!M || !lpmi || (lpmi->cbSize != sizeof(MONITORINFO) && lpmi->cbSize != sizeof(MONITORINFOEXA))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  lpmi->rcMonitor = M->Bounds;
  lpmi->rcWork = M->WorkArea;
  lpmi->dwFlags = M->Primary ? MONITORINFOF_PRIMARY : 0;
  if (lpmi->cbSize == sizeof(MONITORINFOEXA)) {
    auto* Ex = reinterpret_cast<MONITORINFOEXA*>(lpmi);
    std::string Name = "\\\\.\\DISPLAY" + std::to_string(reinterpret_cast<uintptr_t>(hMonitor));
    std::strncpy(Ex->szDevice, Name.c_str(), CCHDEVICENAME - 1);
  }
  return TRUE;
}

BOOL EnumDisplayMonitors(HDC, const RECT* lprcClip, MONITORENUMPROC lpfnEnum, LPARAM dwData) {
  if (!lpfnEnum) return FALSE;
  std::vector<MonitorDesc> M = Monitors();
  for (size_t I = 0; I < M.size(); ++I) {
    RECT R = lprcClip ? Intersect(M[I].Bounds, *lprcClip) : M[I].Bounds;
    if (RectEmpty(R)) continue;
    if (!lpfnEnum(HandleOf(I), nullptr, &R, dwData)) return FALSE;
  }
  return TRUE;
}

BOOL SystemParametersInfo(UINT uiAction, UINT /*uiParam*/, LPVOID pvParam, UINT fWinIni) {
  EnsureInit();
  auto Put = [&](auto Value) {
    if (!pvParam) return FALSE;
    *static_cast<decltype(Value)*>(pvParam) = Value;
    return TRUE;
  };
  BOOL Ok = TRUE;
  bool Changed = false;
  switch (uiAction) {
    case SPI_GETWORKAREA: {
      const auto& M = Monitors();
      return Put(M[PrimaryIndex()].WorkArea);
    }
    case SPI_SETWORKAREA: {
      Monitors();
      MonitorDesc& P = Ui().Monitors[PrimaryIndex()];
      P.WorkArea = pvParam ? *static_cast<const RECT*>(pvParam) : P.Bounds;
      ApplyMonitorMetrics();
      Changed = true;
      break;
    }
    case SPI_GETWHEELSCROLLLINES:
    case SPI_GETWHEELSCROLLCHARS: return Put(UINT{3});
    case SPI_GETNONCLIENTMETRICS: {
      auto* N = static_cast<NONCLIENTMETRICSA*>(pvParam);
      if (!N || N->cbSize < sizeof(NONCLIENTMETRICSA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      N->iBorderWidth = 1;
      N->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
      N->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
      N->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
      N->iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
      N->lfCaptionFont = UiFont(true);
      N->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      N->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
      N->lfSmCaptionFont = UiFont(true);
      N->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
      N->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
      N->lfMenuFont = UiFont(false);
      N->lfStatusFont = UiFont(false);
      N->lfMessageFont = UiFont(false);
      return TRUE;
    }
    case SPI_SETNONCLIENTMETRICS: Changed = true; break;
    case SPI_GETICONTITLELOGFONT: return Put(UiFont(false));
    case SPI_GETDRAGFULLWINDOWS: return Put(BOOL{TRUE});
    case SPI_GETMOUSEHOVERTIME: return Put(UINT{400});
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT: return Put(UINT{4});
    case SPI_GETMENUSHOWDELAY: return Put(UINT{400});
    case SPI_GETFLATMENU:
    case SPI_GETGRADIENTCAPTIONS: return Put(BOOL{FALSE});
    case SPI_GETKEYBOARDCUES: return Put(BOOL{TRUE});
    case SPI_GETBORDER: return Put(int{1});
    case SPI_GETKEYBOARDDELAY: return Put(int{1});
    case SPI_GETKEYBOARDSPEED: return Put(DWORD{31});
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  if (Changed && (fWinIni & SPIF_SENDCHANGE))
    SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, uiAction,
                uiAction == SPI_SETNONCLIENTMETRICS ? reinterpret_cast<LPARAM>("WindowMetrics") : 0);
  return Ok;
}

BOOL MessageBeep(UINT uType) {
  EnsureInit();
  Backend().Beep(uType);
  return TRUE;
}
