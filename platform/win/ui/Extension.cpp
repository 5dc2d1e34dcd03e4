// The visual half plugged into the window manager core: creation and destruction steps, the default
// handling of the visual messages, the paint source of the queues, and the display back-end.
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/classes/Thread.h"
#include "platform/win/gdi/Font.h"
#include "platform/win/ui/Headless.h"
#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

std::map<std::string, DisplayFactory>& Factories() {
  static std::map<std::string, DisplayFactory> F;
  return F;
}

std::unique_ptr<DisplayBackend> DefaultBackend() {
  const char* Forced = std::getenv("K58_DISPLAY");
  const char* X = std::getenv("DISPLAY");
  bool Headless = (Forced && std::strcmp(Forced, "headless") == 0) || !X || !*X;
  if (!Headless) {
    auto It = Factories().find("x11");
    if (It != Factories().end() && It->second)
      if (std::unique_ptr<DisplayBackend> B = It->second()) return B;
  }
  return std::make_unique<HeadlessDisplay>();
}

thread_local bool InCoreSetText = false;

// Lets the core store the text, then shows it in the caption and tells the window manager.
LRESULT SetTextThenShow(HWND Hwnd, WPARAM WParam, LPARAM LParam) {
  InCoreSetText = true;
  LRESULT R = ::DefWindowProc(Hwnd, WM_SETTEXT, WParam, LParam);
  InCoreSetText = false;
  if ((StyleOf(Hwnd) & WS_CAPTION) == WS_CAPTION && IsShown(Hwnd)) DefNcPaint(Hwnd, reinterpret_cast<HRGN>(1));
  if (IsTopLevel(Hwnd)) Backend().TopLevelChanged(Hwnd, InfoOf(Hwnd));
  return R;
}

LRESULT PrintWindowTo(HWND Hwnd, HDC Dc, LPARAM Flags) {
  if ((Flags & PRF_CHECKVISIBLE) && !IsWindowVisible(Hwnd)) return 0;
  RECT W = ScreenWindowRect(Hwnd);
  RECT C = ScreenClientRect(Hwnd);
  if (Flags & PRF_NONCLIENT) {
    int Saved = SaveDC(Dc);
    ExcludeClipRect(Dc, C.left - W.left, C.top - W.top, C.right - W.left, C.bottom - W.top);
    DrawNonClient(Hwnd, Dc);
    RestoreDC(Dc, Saved);
  }
  // The client part draws with its origin at the client's top-left.
  POINT Old;
  int Dx = (Flags & PRF_NONCLIENT) ? C.left - W.left : 0;
  int Dy = (Flags & PRF_NONCLIENT) ? C.top - W.top : 0;
  OffsetViewportOrgEx(Dc, Dx, Dy, &Old);
  if (Flags & PRF_ERASEBKGND) SendMessage(Hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0);
  if (Flags & PRF_CLIENT) SendMessage(Hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc), Flags);
  if (Flags & PRF_CHILDREN) {
    std::vector<HWND> Kids = ChildrenOf(Hwnd);
    for (auto It = Kids.rbegin(); It != Kids.rend(); ++It) {
      if (!IsWindowVisible(*It)) continue;
      RECT KW = ScreenWindowRect(*It);
      POINT Prev;
      OffsetViewportOrgEx(Dc, KW.left - C.left, KW.top - C.top, &Prev);
      SendMessage(*It, WM_PRINT, reinterpret_cast<WPARAM>(Dc), Flags | PRF_NONCLIENT);
      SetViewportOrgEx(Dc, Prev.x, Prev.y, nullptr);
    }
  }
  SetViewportOrgEx(Dc, Old.x, Old.y, nullptr);
  return 0;
}

LRESULT CtlColor(UINT Msg, HDC Dc) {
  int Back = (Msg == WM_CTLCOLOREDIT || Msg == WM_CTLCOLORLISTBOX) ? COLOR_WINDOW : COLOR_BTNFACE;
  if (Msg == WM_CTLCOLORSCROLLBAR) {
    SetBkColor(Dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
  }
  SetTextColor(Dc, GetSysColor(Back == COLOR_WINDOW ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
  SetBkColor(Dc, GetSysColor(Back));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(Back));
}

bool DefProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  UiState& S = Ui();
  for (auto It = S.DefHooks.rbegin(); It != S.DefHooks.rend(); ++It)
    if ((*It)(Hwnd, Msg, WParam, LParam, Result)) return true;
  Result = 0;
  switch (Msg) {
    case WM_NCCALCSIZE:
      if (WParam) {
        auto* P = reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam);
        if (P) P->rgrc[0] = DefCalcClient(Hwnd, P->rgrc[0]);
      } else if (auto* R = reinterpret_cast<RECT*>(LParam)) {
        *R = DefCalcClient(Hwnd, *R);
      }
      return true;
    case WM_NCHITTEST:
      Result = DefNcHitTest(Hwnd, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return true;
    case WM_NCPAINT:
      DefNcPaint(Hwnd, reinterpret_cast<HRGN>(WParam));
      return true;
    case WM_NCACTIVATE:
      Data(Hwnd)->NcActive = WParam != 0;
      if (IsShown(Hwnd) && (StyleOf(Hwnd) & WS_CAPTION) == WS_CAPTION) DefNcPaint(Hwnd, reinterpret_cast<HRGN>(1));
      Result = TRUE;
      return true;
    case WM_SETTEXT:
      if (InCoreSetText) return false;
      Result = SetTextThenShow(Hwnd, WParam, LParam);
      return true;
    case WM_PAINT:
      if (WParam == 0) {
        PAINTSTRUCT Ps;
        BeginPaint(Hwnd, &Ps);
        EndPaint(Hwnd, &Ps);
      }
      return true;
    case WM_ERASEBKGND:
      DefEraseBackground(Hwnd, reinterpret_cast<HDC>(WParam));
      Result = GetClassLongPtr(Hwnd, GCLP_HBRBACKGROUND) != 0;
      return true;
    case WM_PRINT:
      Result = PrintWindowTo(Hwnd, reinterpret_cast<HDC>(WParam), LParam);
      return true;
    case WM_PRINTCLIENT:
      return true;
    case WM_WINDOWPOSCHANGING: {
      auto* P = reinterpret_cast<WINDOWPOS*>(LParam);
      DWORD Style = StyleOf(Hwnd);
      if (P && !(P->flags & SWP_NOSIZE) && ((Style & WS_THICKFRAME) || !(Style & (WS_POPUP | WS_CHILD)))) {
        MINMAXINFO Info{};
        SendMinMaxInfo(Hwnd, Info);
        P->cx = std::max<int>(std::min<int>(P->cx, Info.ptMaxTrackSize.x), Info.ptMinTrackSize.x);
        P->cy = std::max<int>(std::min<int>(P->cy, Info.ptMaxTrackSize.y), Info.ptMinTrackSize.y);
      }
      return true;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* P = reinterpret_cast<const WINDOWPOS*>(LParam);
      if (!P) return true;
      WinDataPtr D = Data(Hwnd);
      RECT C = D->Client;
      if (!(P->flags & SWP_NOCLIENTMOVE)) SendMessage(Hwnd, WM_MOVE, 0, PointParam(C.left, C.top));
      if (!(P->flags & SWP_NOCLIENTSIZE)) {
        WPARAM Kind = IsZoomed(Hwnd) ? SIZE_MAXIMIZED : IsIconic(Hwnd) ? SIZE_MINIMIZED : SIZE_RESTORED;
        SendMessage(Hwnd, WM_SIZE, Kind, PointParam(Width(C), Height(C)));
      }
      return true;
    }
    case WM_GETMINMAXINFO:
      return true;
    case WM_SETCURSOR:
      Result = DefSetCursor(Hwnd, WParam, LParam) ? TRUE : FALSE;
      return true;
    case WM_MOUSEACTIVATE:
      if ((StyleOf(Hwnd) & WS_CHILD) && !IsTopLevel(Hwnd)) {
        Result = SendMessage(ParentOf(Hwnd), WM_MOUSEACTIVATE, WParam, LParam);
        if (Result) return true;
      }
      Result = MA_ACTIVATE;
      return true;
    case WM_ACTIVATE:
      if (LOWORD(WParam) != WA_INACTIVE && !HIWORD(WParam)) SetFocus(Hwnd);
      return true;
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
      return DefNcMouse(Hwnd, Msg, WParam, LParam, Result);
    case WM_SYSCOMMAND:
      Result = DefSysCommand(Hwnd, WParam, LParam);
      return true;
    case WM_RBUTTONUP: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      ClientToScreen(Hwnd, &P);
      SendMessage(Hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Hwnd), PointParam(P.x, P.y));
      return true;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      // Passed up to the parent, which may act on it.
      if ((StyleOf(Hwnd) & WS_CHILD) && !IsTopLevel(Hwnd)) Result = SendMessage(ParentOf(Hwnd), Msg, WParam, LParam);
      return true;
    case WM_SYSKEYDOWN:
      if (WParam == VK_F4 && (HIWORD(LParam) & KF_ALTDOWN))
        PostMessage(RootOf(Hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    case WM_SYSKEYUP:
      if ((WParam == VK_MENU && Ui().AltAlone) || WParam == VK_F10)
        SendMessage(RootOf(Hwnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
      return true;
    case WM_SYSCHAR:
      if (WParam != VK_RETURN && WParam != VK_ESCAPE && WParam != VK_TAB)
        SendMessage(RootOf(Hwnd), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(WParam));
      return true;
    case WM_IME_CHAR:
      SendMessage(Hwnd, WM_CHAR, WParam, LParam);
      return true;
    case WM_SETREDRAW:
      Data(Hwnd)->NoRedraw = WParam == 0;
      return true;
    case WM_CANCELMODE:
      if (GetCapture() == Hwnd) ReleaseCapture();
      return true;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      Result = CtlColor(Msg, reinterpret_cast<HDC>(WParam));
      return true;
    case WM_STYLECHANGED:
      if (IsTopLevel(Hwnd)) Backend().TopLevelChanged(Hwnd, InfoOf(Hwnd));
      return true;
    case WM_SHOWWINDOW:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_GETDLGCODE:
    case WM_CAPTURECHANGED:
      return true;
    default:
      return false;
  }
}

class Extension final : public wincore::WindowSystemExtension {
public:
  void WindowCreating(HWND Hwnd, CREATESTRUCT& Create) override {
    Backend();
    // Input is routed by the thread that owns the windows: the main thread once it has one.
    UiState& S = Ui();
    if (!S.InputThread || (GetCurrentThreadId() == MainThreadID && S.InputThread != MainThreadID))
      S.InputThread = GetCurrentThreadId();
    PlaceNewWindow(Hwnd, Create);
  }
  void WindowNcCreated(HWND Hwnd, const CREATESTRUCT& /*Create*/) override {
    WinDataPtr D = Data(Hwnd);
    RECT C = D->Window;
    SendMessage(Hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&C));
    D->Client = C;
    if (IsTopLevel(Hwnd)) {
      D->OnDisplay = true;
      Backend().TopLevelCreated(Hwnd, InfoOf(Hwnd));
    }
  }
  void WindowCreated(HWND Hwnd, const CREATESTRUCT& Create) override { ShowNewWindow(Hwnd, Create); }
  void WindowDestroying(HWND Hwnd) override {
    if (GetCapture() && (GetCapture() == Hwnd || IsChild(Hwnd, GetCapture()))) ReleaseCapture();
    CaretWindowGone(Hwnd);
    if (IsWindowVisible(Hwnd)) {
      bool WasActive = Ui().Active == Hwnd;
      SetWindowPos(Hwnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      if (WasActive) ActivateOther(Hwnd);
    } else if (Ui().Active == Hwnd) {
      ActivateOther(Hwnd);
    }
    FocusLost(Hwnd);
  }
  void WindowDestroyed(HWND Hwnd) override {
    WindowGoingAway(Hwnd);
    // A modal loop for this window may be waiting for a message.
    WakeWaitingLoops();
    WinDataPtr D = Data(Hwnd);
    if (Ui().Backend && D->OnDisplay) Ui().Backend->TopLevelDestroyed(Hwnd);
    D->OnDisplay = false;
    D->Surface.reset();
  }
  bool DefWindowProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) override {
    return DefProc(Hwnd, Msg, WParam, LParam, Result);
  }
  HWND FindPaintWindow(HWND Filter) override { return FindWindowToPaint(Filter); }
  void TranslateKey(const MSG& Key, std::vector<WPARAM>& Chars) override { TranslateKeyMessage(Key, Chars); }
  POINT CursorPos() override { return Ui().Cursor; }
  void ProcessRawInput() override { ProcessRaw(); }
};

Extension& TheExtension() {
  static Extension* E = new Extension;
  return *E;
}

void BroadcastSysColorChange() { SendMessage(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0); }

[[maybe_unused]] const bool Installed = (EnsureInit(), true);

}  // namespace

WinData::~WinData() {
  if (WindowRgn) DeleteObject(WindowRgn);
}

UiState& Ui() {
  static UiState* S = new UiState;
  return *S;
}

void EnsureInit() {
  static std::once_flag Once;
  std::call_once(Once, [] { wincore::SetWindowSystemExtension(&TheExtension()); });
}

DisplayBackend& Backend() {
  UiState& S = Ui();
  // Not at static initialisation: the colour table's handler may not exist yet then.
  static std::once_flag Hooks;
  std::call_once(Hooks, [] { gdi::SetSysColorsChangedHandler(BroadcastSysColorChange); });
  if (!S.Backend) {
    // A program is starting: the font configuration and the first window's surface are made on threads
    // of their own while the display opens and the program loads its forms.
    PrepareHeap();
    gdi::PrepareFonts();
    S.Backend = DefaultBackend();
    S.Monitors = S.Backend->Monitors();
    ApplyMonitorMetrics();
    PrepareFirstSurface();
  }
  return *S.Backend;
}

void InitializeWindowSystem() { EnsureInit(); }

void SetDisplayBackend(std::unique_ptr<DisplayBackend> NewBackend) {
  EnsureInit();
  UiState& S = Ui();
  S.Backend = std::move(NewBackend);
  if (S.Backend) {
    S.Monitors = S.Backend->Monitors();
    ApplyMonitorMetrics();
  }
}

DisplayBackend& Display() {
  EnsureInit();
  return Backend();
}

void RegisterDisplayFactory(const char* Name, DisplayFactory Factory) {
  if (Name) Factories()[Name] = Factory;
}

gdi::SurfacePtr TopLevelSurface(HWND Window) {
  if (!IsWindow(Window) || !IsTopLevel(Window)) return nullptr;
  // A shown window has a surface even before its first paint.
  if (!Data(Window)->Surface && IsShown(Window)) EnsureSurface(Window);
  return Data(Window)->Surface;
}

void AddDefWindowProcHook(DefWindowProcHook Hook) {
  EnsureInit();
  if (Hook) Ui().DefHooks.push_back(Hook);
}

void RemoveDefWindowProcHook(DefWindowProcHook Hook) {
  auto& H = Ui().DefHooks;
  H.erase(std::remove(H.begin(), H.end(), Hook), H.end());
}

void SetMenuBarProvider(MenuBarProvider* Provider) {
  EnsureInit();
  Ui().MenuBar = Provider;
}

}  // namespace k58::winui
