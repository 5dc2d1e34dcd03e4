// The headless test helper.
#include "platform/win/testing/TestDisplay.h"

#include <unistd.h>

#include "platform/win/gdi/Gdi.h"
#include "platform/rtl/Utf.h"
#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

const char* const kRegular = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kCjk = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

TestDisplay* TheCurrent = nullptr;

bool Exists(const char* Path) { return ::access(Path, R_OK) == 0; }

bool IsExtendedKey(WORD Vk) {
  switch (Vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_DIVIDE: return true;
    default: return false;
  }
}

void DestroyThreadWindows() {
  DWORD Me = GetCurrentThreadId();
  for (int Round = 0; Round < 8; ++Round) {
    bool Any = false;
    for (HWND T : TopLevels())
      if (IsWindow(T) && GetWindowThreadProcessId(T, nullptr) == Me) {
        DestroyWindow(T);
        Any = true;
      }
    if (!Any) break;
  }
  MSG M;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace

void ResetWindowSystemState() {
  UiState& S = Ui();
  {
    std::lock_guard<std::mutex> G(S.RawLock);
    S.Raw.clear();
    std::fill(std::begin(S.AsyncState), std::end(S.AsyncState), BYTE{0});
  }
  std::fill(std::begin(S.KeyState), std::end(S.KeyState), BYTE{0});
  S.Active = S.Focus = S.Capture = nullptr;
  S.AppActive = false;
  S.Cursor = POINT{};
  S.CurrentCursor = nullptr;
  S.CursorCount = 0;
  S.ClickValid = false;
  S.ClickHwnd = nullptr;
  S.MouseHwnd = nullptr;
  S.TrackHwnd = nullptr;
  S.TrackFlags = 0;
  S.HoverTimer = 0;
  S.DoubleClickTime = 500;
  S.KeyChars.clear();
  S.PendingDead = 0;
  S.SwallowNcDeactivate = nullptr;
  S.InputThread = GetCurrentThreadId();
  ResetClipboard();
}

TestDisplay::TestDisplay(int Width, int Height) {
  TheCurrent = this;
  EnsureInit();
  clock_ = std::make_unique<wincore::ScopedManualClock>(10000);
  DestroyThreadWindows();
  DestroyCaret();
  gdi::ResetSystemTables();
  if (Exists(kRegular)) {
    gdi::PinnedFonts F;
    F.regular = kRegular;
    F.bold = Exists(kBold) ? kBold : kRegular;
    F.cjk = Exists(kCjk) ? kCjk : "";
    gdi::PinFonts(F);
  }
  auto D = std::make_unique<HeadlessDisplay>(Width, Height);
  display_ = D.get();
  SetDisplayBackend(std::move(D));
  ResetWindowSystemState();
}

TestDisplay::~TestDisplay() {
  if (TheCurrent == this) TheCurrent = nullptr;
  DestroyCaret();
  DestroyThreadWindows();
  ResetWindowSystemState();
  gdi::UnpinFonts();
  gdi::ResetSystemTables();
  SetDisplayBackend(std::make_unique<HeadlessDisplay>());
}

TestDisplay* TestDisplay::Current() { return TheCurrent; }

void TestDisplay::MoveTo(POINT P) { InjectMouseMove(P, GetTickCount()); }

void TestDisplay::Press(POINT P, MouseButton B) {
  MoveTo(P);
  InjectMouseButton(P, B, true, GetTickCount());
}

void TestDisplay::Release(POINT P, MouseButton B) {
  MoveTo(P);
  InjectMouseButton(P, B, false, GetTickCount());
}

void TestDisplay::Click(POINT P, MouseButton B) {
  Press(P, B);
  Release(P, B);
}

void TestDisplay::DoubleClick(POINT P, MouseButton B) {
  Click(P, B);
  Click(P, B);
}

void TestDisplay::Drag(POINT From, POINT To, int Steps, MouseButton B) {
  Press(From, B);
  if (Steps < 1) Steps = 1;
  for (int I = 1; I <= Steps; ++I) {
    POINT P{From.x + (To.x - From.x) * I / Steps, From.y + (To.y - From.y) * I / Steps};
    InjectMouseMove(P, GetTickCount());
  }
  InjectMouseButton(To, B, false, GetTickCount());
}

void TestDisplay::Wheel(POINT P, int Notches) {
  MoveTo(P);
  InjectMouseWheel(P, Notches * WHEEL_DELTA, false, GetTickCount());
}

void TestDisplay::KeyDown(WORD Vk, WCHAR Char) {
  InjectKey(Vk, ScanCodeOf(Vk), true, IsExtendedKey(Vk), GetTickCount(), Char);
}

void TestDisplay::KeyUp(WORD Vk) { InjectKey(Vk, ScanCodeOf(Vk), false, IsExtendedKey(Vk), GetTickCount()); }

void TestDisplay::Key(WORD Vk) {
  KeyDown(Vk);
  KeyUp(Vk);
}

void TestDisplay::Chord(std::initializer_list<WORD> Modifiers, WORD Vk) {
  for (WORD M : Modifiers) KeyDown(M);
  Key(Vk);
  for (auto It = std::rbegin(Modifiers); It != std::rend(Modifiers); ++It) KeyUp(*It);
}

void TestDisplay::Type(const std::string& Text) {
  std::u16string Units = k58::rtl::Utf8ToUtf16(Text);
  std::u16string Ime;
  for (char16_t C : Units) {
    SHORT Scan = C < 0x80 ? VkKeyScan(static_cast<CHAR>(C)) : -1;
    if (Scan == -1) {
      Ime.push_back(C);
      continue;
    }
    if (!Ime.empty()) {
      TypeIme(Ime);
      Ime.clear();
    }
    WORD Vk = static_cast<WORD>(Scan & 0xFF);
    bool Shift = (Scan & 0x100) != 0;
    if (Shift) KeyDown(VK_SHIFT);
    Key(Vk);
    if (Shift) KeyUp(VK_SHIFT);
  }
  if (!Ime.empty()) TypeIme(Ime);
}

void TestDisplay::TypeIme(const std::u16string& Text) { InjectText(Text); }

void TestDisplay::Advance(DWORD Milliseconds) { clock_->operator*().Advance(Milliseconds); }

void TestDisplay::Later(std::function<void()> Step) { QueueCall(std::move(Step)); }

void TestDisplay::AdvanceLater(DWORD Milliseconds) {
  wincore::ManualClock* C = &clock_->operator*();
  Later([C, Milliseconds] { C->Advance(Milliseconds); });
}

int TestDisplay::Pump(int Limit) {
  int Count = 0;
  MSG M;
  while (Count < Limit) {
    if (!PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
      if (RawPending()) continue;  // a queued step ran; the input after it waits
      break;
    }
    if (M.message == WM_QUIT) {
      quit_ = true;
      break;
    }
    TranslateMessage(&M);
    DispatchMessage(&M);
    ++Count;
  }
  return Count;
}

gdi::SurfacePtr TestDisplay::Screen() {
  int W = GetSystemMetrics(SM_CXVIRTUALSCREEN), H = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  int X0 = GetSystemMetrics(SM_XVIRTUALSCREEN), Y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
  auto S = std::make_shared<gdi::Surface>(std::max(W, 1), std::max(H, 1), 32);
  S->Fill(gdi::ColorToPixel(GetSysColor(COLOR_BACKGROUND)));
  std::vector<HWND> Tops = TopLevels();
  for (auto It = Tops.rbegin(); It != Tops.rend(); ++It) {
    HWND T = *It;
    if (!IsWindowVisible(T)) continue;
    gdi::SurfacePtr Src = Data(T)->Surface;
    if (!Src) continue;
    RECT R = ScreenWindowRect(T);
    gdi::Region Shape = WindowShape(T);  // surface coordinates of T
    for (const RECT& Part : Shape.Rects())
      for (int Y = Part.top; Y < Part.bottom; ++Y)
        for (int X = Part.left; X < Part.right; ++X) {
          int Sx = R.left + X - X0, Sy = R.top + Y - Y0;
          if (S->Contains(Sx, Sy) && Src->Contains(X, Y)) S->Set(Sx, Sy, Src->Get(X, Y));
        }
  }
  return S;
}

COLORREF TestDisplay::ScreenPixel(POINT P) {
  gdi::SurfacePtr S = Screen();
  int X = P.x - GetSystemMetrics(SM_XVIRTUALSCREEN), Y = P.y - GetSystemMetrics(SM_YVIRTUALSCREEN);
  if (!S->Contains(X, Y)) return CLR_INVALID;
  return gdi::PixelToColor(S->Get(X, Y));
}

COLORREF TestDisplay::WindowPixel(HWND Hwnd, POINT P) {
  if (!IsWindow(Hwnd)) return CLR_INVALID;
  HWND Root = RootOf(Hwnd);
  gdi::SurfacePtr S = Data(Root)->Surface;
  POINT O = SurfaceOrigin(Hwnd);
  if (!S || !S->Contains(O.x + P.x, O.y + P.y)) return CLR_INVALID;
  return gdi::PixelToColor(S->Get(O.x + P.x, O.y + P.y));
}

COLORREF TestDisplay::ClientPixel(HWND Hwnd, POINT P) {
  if (!IsWindow(Hwnd)) return CLR_INVALID;
  RECT W = ScreenWindowRect(Hwnd), C = ScreenClientRect(Hwnd);
  return WindowPixel(Hwnd, POINT{P.x + C.left - W.left, P.y + C.top - W.top});
}

bool TestDisplay::SavePng(const std::string& Path, HWND Hwnd) {
  if (!Hwnd) return gdi::WritePng(*Screen(), Path);
  if (!IsWindow(Hwnd)) return false;
  gdi::SurfacePtr S = Data(RootOf(Hwnd))->Surface;
  return S && gdi::WritePng(*S, Path);
}

}  // namespace k58::winui
