// The painting cycle: update regions with their erase and frame flags, WM_PAINT generated for the
// queues, BeginPaint/EndPaint, window DCs on the top-level surfaces, RedrawWindow and scrolling.
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <future>
#include <thread>

#include "platform/classes/Thread.h"
#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

// DCs handed out by GetDC/GetDCEx/GetWindowDC/BeginPaint: the window, its top-level window and the
// surface area they may have changed.
struct DcRecord {
  HWND Hwnd = nullptr;
  HWND Root = nullptr;
  RECT Damage{};
};
std::map<HDC, DcRecord>& Dcs() {
  static auto* M = new std::map<HDC, DcRecord>;
  return *M;
}

bool NeedsPaint(const WinData& D) { return !D.Update.IsEmpty() || D.InternalPaint || D.NcPaint; }

RECT ClientBox(const WinData& D) { return RECT{0, 0, Width(D.Client), Height(D.Client)}; }

void Wake(HWND Hwnd) {
  DWORD Tid = GetWindowThreadProcessId(Hwnd, nullptr);
  if (Tid) wincore::WakeQueue(Tid, QS_PAINT);
}

void RedrawTree(HWND Hwnd, const k58::gdi::Region* Area, UINT Flags) {
  WinDataPtr D = Data(Hwnd);
  RECT Box = ClientBox(*D);
  k58::gdi::Region A = Area ? Area->Intersected(Box) : k58::gdi::Region(Box);
  bool Shown = IsShown(Hwnd);
  if ((Flags & RDW_INVALIDATE) && Shown) {
    if (!A.IsEmpty()) {
      D->Update = k58::gdi::Region::Combine(D->Update, A, RGN_OR);
      if (Flags & RDW_ERASE) D->Erase = true;
    }
    if ((Flags & RDW_FRAME) && !SameRect(D->Window, D->Client)) {
      bool TouchesFrame = !Area;
      if (Area && !Area->IsEmpty()) {
        const RECT& B = Area->Bounds();
        TouchesFrame = B.left < 0 || B.top < 0 || B.right > Box.right || B.bottom > Box.bottom;
      }
      if (TouchesFrame) D->NcPaint = true;
    }
    Wake(Hwnd);
  }
  if ((Flags & RDW_INTERNALPAINT) && Shown) {
    D->InternalPaint = true;
    Wake(Hwnd);
  }
  if (Flags & RDW_VALIDATE) {
    if (!Area)
      D->Update.SetEmpty();
    else
      D->Update = k58::gdi::Region::Combine(D->Update, A, RGN_DIFF);
    if ((Flags & RDW_NOERASE) || D->Update.IsEmpty()) D->Erase = false;
    if (Flags & RDW_NOFRAME) D->NcPaint = false;
    if (Flags & RDW_NOINTERNALPAINT) D->InternalPaint = false;
  }
  bool Children = (Flags & RDW_ALLCHILDREN) || (!(Flags & RDW_NOCHILDREN) && !(StyleOf(Hwnd) & WS_CLIPCHILDREN));
  if (!Children) return;
  UINT ChildFlags = Flags & ~(RDW_INTERNALPAINT | RDW_NOINTERNALPAINT);
  if (Flags & RDW_INVALIDATE) ChildFlags |= RDW_FRAME;
  for (HWND C : ChildrenOf(Hwnd)) {
    if (!(StyleOf(C) & WS_VISIBLE)) continue;
    WinDataPtr CD = Data(C);
    if (!Area) {
      RedrawTree(C, nullptr, ChildFlags);
      continue;
    }
    k58::gdi::Region Ac = A.Intersected(CD->Window);
    if (Ac.IsEmpty()) continue;
    Ac.Offset(-CD->Client.left, -CD->Client.top);
    RedrawTree(C, &Ac, ChildFlags);
  }
}

void UpdateNow(HWND Hwnd, bool EraseOnly, bool Children) {
  PaintWindowNow(Hwnd, EraseOnly);
  if (!Children || !IsWindow(Hwnd)) return;
  for (HWND C : ChildrenOf(Hwnd))
    if (IsWindow(C) && (StyleOf(C) & WS_VISIBLE)) UpdateNow(C, EraseOnly, true);
}

void SendNcPaint(HWND Hwnd);

// Whether the window waits for WM_PAINT. A frame that alone waits is painted at once: nothing would
// validate it if the window's WM_PAINT handler never calls BeginPaint.
bool WaitsForPaint(HWND Hwnd) {
  WinDataPtr D = Data(Hwnd);
  if (D->NcPaint && D->Update.IsEmpty() && !D->InternalPaint) {
    SendNcPaint(Hwnd);
    return false;
  }
  return NeedsPaint(*D);
}

HWND FindIn(HWND Hwnd, DWORD Thread) {
  if (!(StyleOf(Hwnd) & WS_VISIBLE)) return nullptr;
  if (GetWindowThreadProcessId(Hwnd, nullptr) == Thread && WaitsForPaint(Hwnd)) return Hwnd;
  for (HWND C : ChildrenOf(Hwnd))
    if (HWND P = FindIn(C, Thread)) return P;
  return nullptr;
}

k58::gdi::SurfacePtr Dummy() {
  static k58::gdi::SurfacePtr S = std::make_shared<k58::gdi::Surface>(1, 1, 32);
  return S;
}

// Region handle for a screen-coordinate region parameter; (HRGN)1 and null stand for everything.
const k58::gdi::Region* RealRegion(HRGN Rgn) {
  if (!Rgn || Rgn == reinterpret_cast<HRGN>(1)) return nullptr;
  return k58::gdi::RegionOf(Rgn);
}

HDC MakeDC(HWND Hwnd, bool WholeWindow, bool ClipChildren, const k58::gdi::Region* Extra, int ExtraMode,
           RECT* DamageOut) {
  HDC Dc;
  RECT Damage{};
  HWND Root = nullptr;
  if (!IsWindow(Hwnd) || IsDesktop(Hwnd) || !IsTopLevel(RootOf(Hwnd))) {
    k58::gdi::Region None;
    Dc = k58::gdi::CreateSurfaceDC(Dummy(), POINT{0, 0}, &None);
  } else {
    Root = RootOf(Hwnd);
    // A window that was never shown has nothing to draw on: its visible region is empty, so its DCs draw
    // nowhere and it gets no surface until it is painted while shown.
    const bool NoSurface = !Data(Root)->Surface && !IsShown(Hwnd);
    if (!NoSurface) EnsureSurface(Root);
    POINT O = SurfaceOrigin(Hwnd);
    if (!WholeWindow) {
      RECT W = ScreenWindowRect(Hwnd), C = ScreenClientRect(Hwnd);
      O.x += C.left - W.left;
      O.y += C.top - W.top;
    }
    k58::gdi::Region Vis = VisibleRegion(Hwnd, !WholeWindow, ClipChildren);
    if (Extra) Vis = k58::gdi::Region::Combine(Vis, *Extra, ExtraMode);
    Damage = Vis.Bounds();
    Dc = k58::gdi::CreateSurfaceDC(NoSurface ? Dummy() : Data(Root)->Surface, O, &Vis);
  }
  k58::gdi::SetDCTag(Dc, Hwnd);
  Dcs()[Dc] = DcRecord{Hwnd, Root, Damage};
  if (DamageOut) *DamageOut = Damage;
  return Dc;
}

bool FreeDC(HDC Dc) {
  auto It = Dcs().find(Dc);
  if (It == Dcs().end()) return false;
  DcRecord R = It->second;
  Dcs().erase(It);
  DeleteDC(Dc);
  if (R.Root && IsWindow(R.Root) && !RectEmpty(R.Damage)) Present(R.Root, R.Damage);
  return true;
}

// A region given in screen coordinates, moved to the surface of Hwnd's top-level window.
k58::gdi::Region ScreenToSurface(HWND Hwnd, const k58::gdi::Region& R) {
  k58::gdi::Region Out = R;
  RECT Root = ScreenWindowRect(RootOf(Hwnd));
  Out.Offset(-Root.left, -Root.top);
  return Out;
}

void SendNcPaint(HWND Hwnd) {
  WinDataPtr D = Data(Hwnd);
  D->NcPaint = false;
  if (SameRect(D->Window, D->Client)) return;
  RECT W = ScreenWindowRect(Hwnd), C = ScreenClientRect(Hwnd);
  HRGN Rgn = CreateRectRgnIndirect(&W);
  // The region covers the frame only: the client area is not part of what WM_NCPAINT paints.
  HRGN Client = CreateRectRgnIndirect(&C);
  CombineRgn(Rgn, Rgn, Client, RGN_DIFF);
  DeleteObject(Client);
  SendMessage(Hwnd, WM_NCPAINT, reinterpret_cast<WPARAM>(Rgn), 0);
  DeleteObject(Rgn);
}

}  // namespace

void Redraw(HWND Hwnd, const k58::gdi::Region* Area, UINT Flags) {
  if (!IsWindow(Hwnd)) return;
  if (IsDesktop(Hwnd)) {
    for (HWND T : TopLevels()) Redraw(T, nullptr, Flags | RDW_ALLCHILDREN);
    return;
  }
  if (Data(Hwnd)->NoRedraw && (Flags & RDW_INVALIDATE)) return;
  RedrawTree(Hwnd, Area, Flags);
  if (Flags & (RDW_UPDATENOW | RDW_ERASENOW))
    UpdateNow(Hwnd, !(Flags & RDW_UPDATENOW), !(Flags & RDW_NOCHILDREN));
}

void InvalidateAll(HWND Hwnd) { Redraw(Hwnd, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN); }

void InvalidateParentArea(HWND Parent, const k58::gdi::Region& Area) {
  if (!IsWindow(Parent) || IsDesktop(Parent) || Area.IsEmpty()) return;
  Redraw(Parent, &Area, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DropPaintState(HWND Hwnd) {
  WinDataPtr D = Data(Hwnd);
  D->Update.SetEmpty();
  D->Erase = D->NcPaint = D->InternalPaint = false;
  for (HWND C : ChildrenOf(Hwnd)) DropPaintState(C);
}

HWND FindWindowToPaint(HWND Filter) {
  DWORD Thread = GetCurrentThreadId();
  if (Filter) {
    if (!IsWindow(Filter) || GetWindowThreadProcessId(Filter, nullptr) != Thread || !IsShown(Filter)) return nullptr;
    return WaitsForPaint(Filter) ? Filter : nullptr;
  }
  for (HWND T : TopLevels())
    if (HWND P = FindIn(T, Thread)) return P;
  if (Ui().Backend) Ui().Backend->PaintsDone(Thread);
  if (Thread == MainThreadID && Ui().Backend) Ui().Backend->Idle();
  return nullptr;
}

namespace {

// The first top-level surface, prepared while the program loads its forms. Touching the memory of a
// screen-sized surface for the first time costs several milliseconds per megabyte on some machines; on
// another core that cost no longer delays the first window.
// Ready is written by the thread and read only after it has been joined.
struct FirstSurface {
  std::thread Maker;
  std::shared_ptr<k58::gdi::Surface> Ready;
  uint32_t Pixel = 0;
};

FirstSurface& First() {
  static auto* F = new FirstSurface;
  return *F;
}

void JoinFirstSurfaceMaker() {
  FirstSurface& F = First();
  if (F.Maker.joinable()) F.Maker.join();
}

// The prepared surface for a W x H window with Background pixels, or null when none was prepared (or it
// could not be made). It is offered to one window only: a surface that does not suit is released at once.
std::shared_ptr<k58::gdi::Surface> TakeFirstSurface(int W, int H, uint32_t Background) {
  FirstSurface& F = First();
  if (!F.Maker.joinable() && !F.Ready) return nullptr;
  JoinFirstSurfaceMaker();
  std::shared_ptr<k58::gdi::Surface> S = std::move(F.Ready);
  if (!S) return nullptr;
  if (static_cast<size_t>(W) * static_cast<size_t>(H) > S->Capacity()) return nullptr;
  if (F.Pixel != Background) S->Fill(Background);
  // Within the capacity the memory stays (a much smaller window gets a smaller block).
  S->Resize(W, H, Background);
  return S;
}

}  // namespace

void PrepareFirstSurface() {
  FirstSurface& F = First();
  if (F.Maker.joinable() || F.Ready) return;
  MONITORINFO Info;
  Info.cbSize = sizeof(Info);
  if (!GetMonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &Info)) return;
  constexpr int MaxSide = 16384;
  const int W = std::clamp(Width(Info.rcWork) + 2 * GetSystemMetrics(SM_CXFRAME), 1, MaxSide);
  const int H = std::clamp(Height(Info.rcWork) + 2 * GetSystemMetrics(SM_CYFRAME), 1, MaxSide);
  F.Pixel = k58::gdi::ColorToPixel(GetSysColor(COLOR_WINDOW));
  const auto Where = Backend().SharesSurfaces() ? k58::gdi::PixelMemory::Shared : k58::gdi::PixelMemory::Private;
  std::promise<PreparedSurface> Made;
  std::shared_future<PreparedSurface> Coming = Made.get_future().share();
  try {
    F.Maker = std::thread([&F, W, H, Pixel = F.Pixel, Where, Made = std::move(Made)]() mutable {
      PreparedSurface P;
      try {
        F.Ready = std::make_shared<k58::gdi::Surface>(W, H, k58::gdi::FillWith{Pixel}, Where);
        P = PreparedSurface{F.Ready, F.Ready->Bits(), F.Ready->SharedId(), W, H};
      } catch (const std::bad_alloc&) {
        // The window allocates its own when it needs one (and reports what it cannot have).
      }
      Made.set_value(std::move(P));
    });
  } catch (const std::exception&) {
    // No thread or no memory now: the first window allocates its surface itself.
    return;
  }
  Backend().SurfaceComing(std::move(Coming));
  static const bool JoinAtExit = (std::atexit(JoinFirstSurfaceMaker), true);
  (void)JoinAtExit;
}

namespace {

std::thread& HeapMapper() {
  static auto* T = new std::thread;
  return *T;
}

void JoinHeapMapper() {
  if (HeapMapper().joinable()) HeapMapper().join();
}

}  // namespace

void PrepareHeap() {
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)
  static std::once_flag Once;
  std::call_once(Once, [] {
    // The forms, windows and first paint take about a megabyte and a half of the main thread's heap.
    // The first write to each page of it traps into the system, which on some machines costs tens of
    // microseconds a page: the heap grows by that much at once, and another thread has the system map
    // the new pages (without writing to them: the main thread may already be using the memory).
    constexpr size_t Ahead = size_t{2} << 20;
    const uintptr_t Page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    void* BreakBefore = sbrk(0);
    if (BreakBefore == reinterpret_cast<void*>(-1) || Page == 0) return;
    mallopt(M_TOP_PAD, static_cast<int>(Ahead));
    // Two blocks larger than half the heap's free end (at most 132 KB) make it grow now, by a block and
    // the pad; each stays below the size that malloc would map on its own.
    // (Volatile: the compiler would drop a block that is never used.)
    void* volatile First = malloc(size_t{96} << 10);
    void* volatile Second = malloc(size_t{96} << 10);
    free(Second);
    free(First);
    const uintptr_t From = reinterpret_cast<uintptr_t>(BreakBefore) & ~(Page - 1);
    const uintptr_t To = reinterpret_cast<uintptr_t>(sbrk(0));
    if (To <= From) return;
    try {
      HeapMapper() = std::thread([From, To] {
        // Best effort: a system without the call leaves the pages to be mapped on first use.
        madvise(reinterpret_cast<void*>(From), To - From, MADV_POPULATE_WRITE);
      });
      std::atexit(JoinHeapMapper);
    } catch (const std::system_error&) {
      // No thread now: the pages are mapped as they are first used.
    }
  });
#endif
}

void EnsureSurface(HWND Root) {
  WinDataPtr D = Data(Root);
  // A surface never grows past 16384 pixels a side: what lies beyond is clipped, not allocated.
  constexpr int MaxSide = 16384;
  int W = std::clamp(Width(D->Window), 1, MaxSide), H = std::clamp(Height(D->Window), 1, MaxSide);
  if (D->Surface && D->Surface->Width() == W && D->Surface->Height() == H) return;
  const uint32_t Background = k58::gdi::ColorToPixel(GetSysColor(COLOR_WINDOW));
  const auto Where = Backend().SharesSurfaces() ? k58::gdi::PixelMemory::Shared : k58::gdi::PixelMemory::Private;
  if (!D->Surface) {
    if ((D->Surface = TakeFirstSurface(W, H, Background))) return;
    D->Surface = std::make_shared<k58::gdi::Surface>(W, H, k58::gdi::FillWith{Background}, Where);
    return;
  }
  if (D->Surface.use_count() == 1) {
    D->Surface->Resize(W, H, Background);
    return;
  }
  // A DC still draws on the old surface (its clip was set for the old size): the window moves to a new one.
  auto S = std::make_shared<k58::gdi::Surface>(W, H, k58::gdi::FillWith{Background}, Where);
  int Cw = std::min(W, D->Surface->Width()), Ch = std::min(H, D->Surface->Height());
  for (int Y = 0; Y < Ch; ++Y) std::copy(D->Surface->Row(Y), D->Surface->Row(Y) + Cw, S->Row(Y));
  D->Surface = S;
}

void Present(HWND Hwnd, const RECT& SurfaceRect) {
  HWND Root = RootOf(Hwnd);
  if (!Root || !IsTopLevel(Root) || RectEmpty(SurfaceRect) || !IsShown(Root)) return;
  Backend().Present(Root, SurfaceRect);
}

void PresentAll(HWND Root) {
  WinDataPtr D = Data(Root);
  if (D->Surface) Present(Root, RECT{0, 0, D->Surface->Width(), D->Surface->Height()});
}

HDC MakeWindowDC(HWND Hwnd, bool WholeWindow, bool ClipChildren) {
  return MakeDC(Hwnd, WholeWindow, ClipChildren, nullptr, RGN_AND, nullptr);
}

void DefEraseBackground(HWND Hwnd, HDC Dc) {
  auto Brush = reinterpret_cast<HBRUSH>(GetClassLongPtr(Hwnd, GCLP_HBRBACKGROUND));
  if (!Brush || !Dc) return;
  RECT R;
  GetClientRect(Hwnd, &R);
  FillRect(Dc, &R, Brush);
}

void PaintWindowNow(HWND Hwnd, bool EraseOnly) {
  if (!IsWindow(Hwnd) || !IsShown(Hwnd)) return;
  WinDataPtr D = Data(Hwnd);
  if (EraseOnly) {
    if (D->NcPaint) SendNcPaint(Hwnd);
    if (D->Erase && !D->Update.IsEmpty()) {
      D->Erase = false;
      k58::gdi::Region U = D->Update;
      RECT W = ScreenWindowRect(Hwnd), C = ScreenClientRect(Hwnd);
      POINT O = SurfaceOrigin(Hwnd);
      U.Offset(O.x + C.left - W.left, O.y + C.top - W.top);
      HDC Dc = MakeDC(Hwnd, false, (StyleOf(Hwnd) & WS_CLIPCHILDREN) != 0, &U, RGN_AND, nullptr);
      SendMessage(Hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0);
      FreeDC(Dc);
    }
    return;
  }
  if (NeedsPaint(*D)) SendMessage(Hwnd, WM_PAINT, 0, 0);
}

}  // namespace k58::winui

using namespace k58::winui;

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  EnsureInit();
  if (!hWnd) hWnd = GetDesktopWindow();
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (hrgnUpdate) {
    const k58::gdi::Region* R = k58::gdi::RegionOf(hrgnUpdate);
    if (!R) return FALSE;
    k58::gdi::Region Copy = *R;
    Redraw(hWnd, &Copy, flags);
  } else if (lprcUpdate) {
    k58::gdi::Region R(*lprcUpdate);
    Redraw(hWnd, &R, flags);
  } else {
    Redraw(hWnd, nullptr, flags);
  }
  return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  return RedrawWindow(hWnd, nullptr, hRgn, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hWnd, HRGN hRgn) { return RedrawWindow(hWnd, nullptr, hRgn, RDW_VALIDATE | RDW_NOCHILDREN); }

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  if (!IsWindow(hWnd)) return FALSE;
  WinDataPtr D = Data(hWnd);
  if (bErase && D->Erase) PaintWindowNow(hWnd, true);
  if (lpRect) *lpRect = D->Update.IsEmpty() ? RECT{} : D->Update.Bounds();
  return D->Update.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  if (!IsWindow(hWnd) || !hRgn) return ERROR;
  WinDataPtr D = Data(hWnd);
  if (bErase && D->Erase) PaintWindowNow(hWnd, true);
  if (!k58::gdi::SetRegionOf(hRgn, D->Update)) return ERROR;
  return D->Update.Complexity();
}

BOOL UpdateWindow(HWND hWnd) {
  if (!IsWindow(hWnd)) return FALSE;
  return RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  EnsureInit();
  if (!IsWindow(hWnd) || !lpPaint) return nullptr;
  CaretHideForPaint(hWnd);
  WinDataPtr D = Data(hWnd);
  if (D->NcPaint) SendNcPaint(hWnd);
  if (!IsWindow(hWnd)) return nullptr;
  k58::gdi::Region U = D->Update;
  bool Erase = D->Erase;
  D->Update.SetEmpty();
  D->Erase = false;
  D->InternalPaint = false;

  RECT W = ScreenWindowRect(hWnd), C = ScreenClientRect(hWnd);
  POINT O = SurfaceOrigin(hWnd);
  k58::gdi::Region InSurface = U;
  InSurface.Offset(O.x + C.left - W.left, O.y + C.top - W.top);
  HDC Dc = MakeDC(hWnd, false, (StyleOf(hWnd) & WS_CLIPCHILDREN) != 0, &InSurface, RGN_AND, nullptr);
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = Dc;
  lpPaint->rcPaint = U.IsEmpty() ? RECT{} : U.Bounds();
  lpPaint->fErase = FALSE;
  if (Erase) lpPaint->fErase = SendMessage(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0) ? FALSE : TRUE;
  return Dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint) return FALSE;
  FreeDC(lpPaint->hdc);
  if (IsWindow(hWnd)) CaretShowAfterPaint(hWnd);
  return TRUE;
}

HDC GetDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags) {
  EnsureInit();
  if (!hWnd) {
    HDC Dc = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
    Dcs()[Dc] = DcRecord{};
    return Dc;
  }
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  bool Whole = (flags & DCX_WINDOW) != 0;
  bool ClipChildren = (flags & DCX_CLIPCHILDREN) || (!Whole && (StyleOf(hWnd) & WS_CLIPCHILDREN));
  const k58::gdi::Region* Extra = nullptr;
  k58::gdi::Region Moved;
  int Mode = RGN_AND;
  if (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) {
    if (const k58::gdi::Region* R = RealRegion(hrgnClip)) {
      Moved = ScreenToSurface(hWnd, *R);
      Extra = &Moved;
      Mode = (flags & DCX_EXCLUDERGN) ? RGN_DIFF : RGN_AND;
    } else if (hrgnClip == nullptr && (flags & DCX_INTERSECTRGN)) {
      Extra = &Moved;  // intersecting with nothing
    }
  }
  return MakeDC(hWnd, Whole, ClipChildren, Extra, Mode, nullptr);
}

HDC GetDC(HWND hWnd) { return GetDCEx(hWnd, nullptr, 0); }

HDC GetWindowDC(HWND hWnd) { return GetDCEx(hWnd, nullptr, DCX_WINDOW); }

int ReleaseDC(HWND /*hWnd*/, HDC hDC) { return FreeDC(hDC) ? 1 : 0; }

HWND WindowFromDC(HDC hDC) {
  auto It = Dcs().find(hDC);
  if (It == Dcs().end()) return nullptr;
  return It->second.Hwnd;
}

int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip, HRGN hrgnUpdate,
                   LPRECT prcUpdate, UINT flags) {
  EnsureInit();
  if (!IsWindow(hWnd)) return ERROR;
  // A scroll farther than any window reaches uncovers everything, as the farthest one does.
  dx = ClampCoord(dx);
  dy = ClampCoord(dy);
  WinDataPtr D = Data(hWnd);
  RECT Box = RECT{0, 0, Width(D->Client), Height(D->Client)};
  RECT Src = prcScroll ? Intersect(*prcScroll, Box) : Box;
  RECT Clip = prcClip ? Intersect(*prcClip, Box) : Box;
  k58::gdi::Region Moved;
  // The caret's inverted pixels must not travel with the scroll.
  CaretHideForPaint(hWnd);
  if (IsShown(hWnd) && (dx || dy)) {
    HWND Root = RootOf(hWnd);
    EnsureSurface(Root);
    k58::gdi::Surface& S = *Data(Root)->Surface;
    RECT W = ScreenWindowRect(hWnd), C = ScreenClientRect(hWnd);
    POINT O = SurfaceOrigin(hWnd);
    int Ox = O.x + C.left - W.left, Oy = O.y + C.top - W.top;
    k58::gdi::Region Vis = VisibleRegion(hWnd, true, false);
    Vis.Offset(-Ox, -Oy);  // client coordinates
    k58::gdi::Region ValidSrc = Vis.Intersected(Src);
    ValidSrc.Offset(dx, dy);
    Moved = k58::gdi::Region::Combine(ValidSrc.Intersected(Clip), Vis, RGN_AND);
    if (!Moved.IsEmpty()) {
      // Copy through a snapshot of the source area so overlapping moves read unchanged pixels.
      RECT B = Moved.Bounds();
      RECT From = Offset(B, -dx, -dy);
      int Bw = Width(B), Bh = Height(B);
      std::vector<uint32_t> Snap(static_cast<size_t>(Bw) * Bh);
      for (int Y = 0; Y < Bh; ++Y)
        for (int X = 0; X < Bw; ++X) {
          int Sx = From.left + X + Ox, Sy = From.top + Y + Oy;
          Snap[static_cast<size_t>(Y) * Bw + X] = S.Contains(Sx, Sy) ? S.Get(Sx, Sy) : 0;
        }
      for (const RECT& R : Moved.Rects())
        for (int Y = R.top; Y < R.bottom; ++Y)
          for (int X = R.left; X < R.right; ++X)
            if (S.Contains(X + Ox, Y + Oy)) S.Set(X + Ox, Y + Oy, Snap[static_cast<size_t>(Y - B.top) * Bw + (X - B.left)]);
      Present(Root, Offset(B, Ox, Oy));
    }
    // What waited for painting inside the scrolled area moves with it.
    k58::gdi::Region Inside = D->Update.Intersected(Src);
    if (!Inside.IsEmpty()) {
      k58::gdi::Region Rest = k58::gdi::Region::Combine(D->Update, Inside, RGN_DIFF);
      Inside.Offset(dx, dy);
      D->Update = k58::gdi::Region::Combine(Rest, Inside.Intersected(Clip), RGN_OR);
    }
  }
  CaretShowAfterPaint(hWnd);
  k58::gdi::Region Update = k58::gdi::Region::Combine(k58::gdi::Region(Src).Intersected(Clip), Moved, RGN_DIFF);
  if (flags & SW_SCROLLCHILDREN) {
    for (HWND Ch : ChildrenOf(hWnd)) {
      RECT CW = Data(Ch)->Window;
      if (prcScroll && RectEmpty(Intersect(CW, Src))) continue;
      SetWindowPos(Ch, nullptr, CW.left + dx, CW.top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
  }
  if ((flags & SW_INVALIDATE) && !Update.IsEmpty())
    Redraw(hWnd, &Update,
           RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) | ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0));
  if (hrgnUpdate) k58::gdi::SetRegionOf(hrgnUpdate, Update);
  if (prcUpdate) *prcUpdate = Update.IsEmpty() ? RECT{} : Update.Bounds();
  return Update.Complexity();
}

BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect) {
  UINT Flags = SW_INVALIDATE | SW_ERASE | (lpRect ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(hWnd, XAmount, YAmount, lpRect, lpClipRect, nullptr, nullptr, Flags) != ERROR;
}

BOOL ScrollDC(HDC hDC, int dx, int dy, const RECT* lprcScroll, const RECT* lprcClip, HRGN hrgnUpdate,
              LPRECT lprcUpdate) {
  RECT Box;
  if (GetClipBox(hDC, &Box) == ERROR) return FALSE;
  RECT Src = lprcScroll ? *lprcScroll : Box;
  RECT Clip = lprcClip ? *lprcClip : Box;
  RECT Dest = Intersect(Offset(Src, dx, dy), Clip);
  if (!RectEmpty(Dest)) {
    HDC Mem = CreateCompatibleDC(hDC);
    HBITMAP Bmp = CreateCompatibleBitmap(hDC, Width(Dest), Height(Dest));
    HGDIOBJ Old = SelectObject(Mem, Bmp);
    BitBlt(Mem, 0, 0, Width(Dest), Height(Dest), hDC, Dest.left - dx, Dest.top - dy, SRCCOPY);
    BitBlt(hDC, Dest.left, Dest.top, Width(Dest), Height(Dest), Mem, 0, 0, SRCCOPY);
    SelectObject(Mem, Old);
    DeleteObject(Bmp);
    DeleteDC(Mem);
  }
  k58::gdi::Region Update =
      k58::gdi::Region::Combine(k58::gdi::Region(Src).Intersected(Clip), k58::gdi::Region(Dest), RGN_DIFF);
  if (hrgnUpdate) k58::gdi::SetRegionOf(hrgnUpdate, Update);
  if (lprcUpdate) *lprcUpdate = Update.IsEmpty() ? RECT{} : Update.Bounds();
  return TRUE;
}
