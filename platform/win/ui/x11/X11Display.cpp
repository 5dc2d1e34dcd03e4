// The X11 display back-end: connection, top-level X windows and their hints, presentation, cursors,
// and the event thread that turns X events into device input.
//
// Locking: one mutex (lock_) guards the connection and every field of the back-end. The GUI thread
// takes it inside each DisplayBackend call; the event thread takes it while it reads and translates
// events, and releases it before it hands the results to the window layer (whose calls take the
// layer's own locks), so the two lock orders never cross.
#include "platform/win/ui/x11/X11Internal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>

#include "platform/win/ui/UiInternal.h"
#include "platform/win/ui/x11/X11Keys.h"

// X headers last: they define macros (None, Bool, Status, ...) that would clash with names above.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xfixes.h>

// X.h names a query class CursorShape; the layer names its cursor description so.
#undef CursorShape

namespace k58::winui::x11 {

namespace {

// Xlib reports protocol errors through a process-wide handler; the default one ends the program. Ours
// keeps the last error so that a caller can test a request (shared memory attachment), and otherwise
// ignores errors: they come from races with windows going away and are harmless.
std::atomic<int> GLastError{0};

}  // namespace

void Trace(const char* Format, ...) {
  static const bool On = [] {
    const char* V = std::getenv("K58_X11_TRACE");
    return V && *V;
  }();
  if (!On) return;
  timespec Now{};
  clock_gettime(CLOCK_MONOTONIC, &Now);
  std::va_list Args;
  va_start(Args, Format);
  char Line[256];
  std::vsnprintf(Line, sizeof Line, Format, Args);
  va_end(Args);
  std::fprintf(stderr, "x11 %9.3f %s\n", Now.tv_sec * 1e3 + Now.tv_nsec / 1e6, Line);
}

namespace {

int OnXError(::Display* /*Dpy*/, XErrorEvent* Event) {
  GLastError = Event->error_code;
  return 0;
}

constexpr const char* kAtomNames[] = {
    "WM_PROTOCOLS",
    "WM_DELETE_WINDOW",
    "WM_STATE",
    "_NET_WM_NAME",
    "_NET_WM_ICON_NAME",
    "UTF8_STRING",
    "_NET_WM_ICON",
    "_NET_WM_WINDOW_TYPE",
    "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_WINDOW_TYPE_DIALOG",
    "_NET_WM_STATE",
    "_NET_WM_STATE_MAXIMIZED_VERT",
    "_NET_WM_STATE_MAXIMIZED_HORZ",
    "_NET_WM_STATE_MODAL",
    "_NET_WM_STATE_HIDDEN",
    "_NET_ACTIVE_WINDOW",
    "_NET_SUPPORTING_WM_CHECK",
    "_NET_WORKAREA",
    "_NET_WM_PID",
    "_NET_WM_USER_TIME",
    "_MOTIF_WM_HINTS",
    "CLIPBOARD",
    "TARGETS",
    "TIMESTAMP",
    "TEXT",
    "INCR",
    "K58_SELECTION",
};
static_assert(sizeof(kAtomNames) / sizeof(kAtomNames[0]) == AtomCount);

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr long kMotifHintsDecorations = 2;

// Events every top-level window takes (an input context may add its own).
constexpr long kTopEventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                               PointerMotionMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask |
                               StructureNotifyMask | PropertyChangeMask;

}  // namespace

struct ShmSegment {
  XShmSegmentInfo Info{};
};

namespace {
Visual* VisualOf(void* V) { return static_cast<Visual*>(V); }
}  // namespace

// ---- connection ------------------------------------------------------------------------------------

// The displays whose event threads run. The window layer keeps its back-end to the end of the process,
// so at exit the threads are stopped before static objects they reach through the layer (the clock of
// the tick count) are destroyed. Both never destroyed themselves.
std::mutex& X11Display::LiveLock() {
  static auto* M = new std::mutex;
  return *M;
}

std::vector<X11Display*>& X11Display::Live() {
  static auto* V = new std::vector<X11Display*>;
  return *V;
}

void X11Display::StopLiveThreads() {
  std::lock_guard<std::mutex> G(LiveLock());
  // A forked child leaving through exit() has none of its parent's threads to stop.
  for (X11Display* D : Live())
    if (D->pid_ == getpid()) D->StopThread();
}

X11Display::X11Display() = default;

X11Display::~X11Display() {
  track_->Alive = false;
  {
    std::lock_guard<std::mutex> G(LiveLock());
    std::erase(Live(), this);
  }
  StopThread();
  if (wakeFd_ >= 0) close(wakeFd_);
  if (!dpy_) return;  // the display never opened
  std::lock_guard<std::mutex> G(lock_);
  TakeMadeArrow();
  DropWarmed();
  for (auto& [Hwnd, T] : tops_) DestroyTop(T);
  tops_.clear();
  byWindow_.clear();
  for (auto& [Id, C] : standardCursors_) XFreeCursor(dpy_, C);
  if (customCursor_) XFreeCursor(dpy_, customCursor_);
  if (blankCursor_) XFreeCursor(dpy_, blankCursor_);
  if (im_) XCloseIM(im_);
  if (helper_) XDestroyWindow(dpy_, helper_);
  XCloseDisplay(dpy_);
}

bool X11Display::Open(const X11Options& Options) {
  Trace("open");
  XInitThreads();
  dpy_ = XOpenDisplay(Options.DisplayName.empty() ? nullptr : Options.DisplayName.c_str());
  if (!dpy_) return false;
  XSetErrorHandler(OnXError);
  screen_ = DefaultScreen(dpy_);
  root_ = RootWindow(dpy_, screen_);
  visual_ = DefaultVisual(dpy_, screen_);
  depth_ = DefaultDepth(dpy_, screen_);
  XInternAtoms(dpy_, const_cast<char**>(kAtomNames), AtomCount, False, atoms_);

  int Major = 0, Minor = 0;
  Bool Pixmaps = False;
  shm_ = Options.UseSharedMemory && XShmQueryExtension(dpy_) && XShmQueryVersion(dpy_, &Major, &Minor, &Pixmaps);
  if (shm_) {
    // The server reads top-level surfaces in place when its images have their layout: 32-bit words
    // 0x00RRGGBB stored lowest byte first, rows without padding.
    const Visual* V = VisualOf(visual_);
    bool Words = false;
    int Count = 0;
    if (XPixmapFormatValues* F = XListPixmapFormats(dpy_, &Count)) {
      for (int I = 0; I < Count; ++I)
        if (F[I].depth == depth_ && F[I].bits_per_pixel == 32 && F[I].scanline_pad == 32) Words = true;
      XFree(F);
    }
    shareSurfaces_ = Words && ImageByteOrder(dpy_) == LSBFirst && V->red_mask == 0xFF0000 && V->green_mask == 0xFF00 &&
                     V->blue_mask == 0xFF;
  }

  // Repeated key presses arrive without releases in between, as held keys do on the original platform.
  Bool Supported = False;
  XkbSetDetectableAutoRepeat(dpy_, True, &Supported);

  // An unmapped window owns the selections and receives their transfers.
  XSetWindowAttributes A{};
  A.event_mask = PropertyChangeMask;
  helper_ = XCreateWindow(dpy_, root_, -10, -10, 1, 1, 0, 0, InputOnly, CopyFromParent, CWEventMask, &A);
  XSelectInput(dpy_, root_, StructureNotifyMask | PropertyChangeMask);
  // Every change of the CLIPBOARD owner, also from one other program to another, so that text taken
  // from an earlier owner is never pasted after a newer copy.
  int FixesError = 0;
  if (XFixesQueryExtension(dpy_, &fixesEvent_, &FixesError)) {
    XFixesSelectSelectionInput(dpy_, helper_, At(A_CLIPBOARD),
                               XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
  } else {
    fixesEvent_ = 0;
  }

  DetectWindowManager();

  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return false;
  XFlush(dpy_);
  // Registered after the clock exists, the exit handler runs before the clock is destroyed.
  static const bool AtExit = (GetTickCount(), std::atexit(StopLiveThreads), true);
  (void)AtExit;
  {
    std::lock_guard<std::mutex> G(LiveLock());
    pid_ = getpid();
    thread_ = std::thread([this] { EventLoop(); });
    Live().push_back(this);
  }
  Trace("opened");
  return true;
}

_XIM* X11Display::OpenInputMethod(unsigned long& Style) {
  // The input method is chosen by the user's locale and XMODIFIERS; the locale is needed only while it
  // opens, the rest of the program keeps its own.
  Style = 0;
  XIM Im = nullptr;
  std::string Saved = std::setlocale(LC_CTYPE, nullptr) ? std::setlocale(LC_CTYPE, nullptr) : "C";
  if (std::setlocale(LC_CTYPE, "") && XSupportsLocale()) {
    XSetLocaleModifiers("");
    Im = XOpenIM(dpy_, nullptr, nullptr, nullptr);
    if (!Im) {
      XSetLocaleModifiers("@im=none");
      Im = XOpenIM(dpy_, nullptr, nullptr, nullptr);
    }
  }
  std::setlocale(LC_CTYPE, Saved.c_str());
  if (!Im) return nullptr;
  XIMStyles* Styles = nullptr;
  if (XGetIMValues(Im, XNQueryInputStyle, &Styles, nullptr) || !Styles) {
    XCloseIM(Im);
    return nullptr;
  }
  // The input method draws its own composition and status (we have no preedit area to offer).
  const XIMStyle Wanted[] = {XIMPreeditNothing | XIMStatusNothing, XIMPreeditNothing | XIMStatusNone,
                             XIMPreeditNone | XIMStatusNone};
  for (XIMStyle W : Wanted) {
    for (unsigned short I = 0; I < Styles->count_styles && !Style; ++I)
      if (Styles->supported_styles[I] == W) Style = W;
    if (Style) break;
  }
  XFree(Styles);
  if (!Style) {
    XCloseIM(Im);
    return nullptr;
  }
  return Im;
}

void X11Display::CreateInputContext(Top& T) {
  if (!im_ || T.Ic || !T.Win) return;
  T.Ic = XCreateIC(im_, XNInputStyle, imStyle_, XNClientWindow, T.Win, XNFocusWindow, T.Win, nullptr);
  if (!T.Ic) return;
  long Extra = 0;
  if (!XGetICValues(T.Ic, XNFilterEvents, &Extra, nullptr) && Extra) XSelectInput(dpy_, T.Win, kTopEventMask | Extra);
  if (FXFocus == T.Win) XSetICFocus(T.Ic);
}

void X11Display::PaintsDone(DWORD Thread) {
  if (!firstPutsPending_) return;
  // The windows of Thread shown meanwhile are painted: they show their pixels.
  XGuard G(*this);
  bool Others = false;
  for (auto& [Hwnd, T] : tops_) {
    if (!T.FirstPaint) continue;
    if (GetWindowThreadProcessId(Hwnd, nullptr) == Thread)
      PutWhole(T);
    else
      Others = true;
  }
  firstPutsPending_ = Others;
}

void X11Display::Idle() {
  // Opening the input method reads the locale's compose tables, a large part of the start-up time on
  // X: it waits until the first window is up. Keys typed before that are translated without it.
  if (imTried_.exchange(true)) return;
  Trace("first idle");
  // Without the back-end's lock: the event thread goes on reading and translating events meanwhile.
  unsigned long Style = 0;
  XIM Im = OpenInputMethod(Style);
  Trace("input method %s", Im ? "open" : "none");
  if (!Im) return;
  XGuard G(*this);
  im_ = Im;
  imStyle_ = Style;
  for (auto& [Hwnd, T] : tops_) CreateInputContext(T);
}

void X11Display::DetectWindowManager() {
  wmWindow_ = 0;
  Window Check = 0;
  if (ReadWindowProperty(root_, At(A_NET_SUPPORTING_WM_CHECK), XA_WINDOW, Check) && Check) {
    Window Self = 0;
    GLastError = 0;
    if (ReadWindowProperty(Check, At(A_NET_SUPPORTING_WM_CHECK), XA_WINDOW, Self) && Self == Check)
      wmWindow_ = Check;
  }
}

bool X11Display::ReadWindowProperty(Window W, ::Atom Property, ::Atom Type, Window& Value) {
  ::Atom ActualType = 0;
  int Format = 0;
  unsigned long Count = 0, After = 0;
  unsigned char* Data = nullptr;
  if (XGetWindowProperty(dpy_, W, Property, 0, 1, False, Type, &ActualType, &Format, &Count, &After, &Data) !=
      Success)
    return false;
  bool Ok = Data && ActualType == Type && Format == 32 && Count == 1;
  if (Ok) Value = static_cast<Window>(*reinterpret_cast<unsigned long*>(Data));
  if (Data) XFree(Data);
  return Ok;
}

std::vector<long> X11Display::ReadLongs(Window W, ::Atom Property, ::Atom Type, long Max) {
  std::vector<long> Out;
  ::Atom ActualType = 0;
  int Format = 0;
  unsigned long Count = 0, After = 0;
  unsigned char* Data = nullptr;
  if (XGetWindowProperty(dpy_, W, Property, 0, Max, False, Type, &ActualType, &Format, &Count, &After, &Data) ==
          Success &&
      Data && Format == 32 && (Type == AnyPropertyType || ActualType == Type)) {
    // Format 32 comes back as an array of long whatever the size of long.
    const long* L = reinterpret_cast<const long*>(Data);
    Out.assign(L, L + Count);
  }
  if (Data) XFree(Data);
  return Out;
}

void X11Display::Wake() {
  uint64_t One = 1;
  [[maybe_unused]] ssize_t N = write(wakeFd_, &One, sizeof One);
}

void X11Display::StopThread() {
  if (arrowMaker_.joinable()) arrowMaker_.join();
  if (warmer_.joinable()) warmer_.join();
  if (!thread_.joinable()) return;
  stop_ = true;
  Wake();
  thread_.join();
}

X11Display::XGuard::XGuard(X11Display& Owner) : owner_(Owner), lockHolder_(Owner.lock_) {}

X11Display::XGuard::~XGuard() {
  XFlush(owner_.dpy_);
  // Replies read on this thread may have brought events along, which now wait in the library's queues
  // where the event thread's poll() cannot see them: let it look. (Reading moves events the library
  // holds below Xlib's own queue into it, so that none is missed.)
  if (XEventsQueued(owner_.dpy_, QueuedAfterReading) > 0) owner_.Wake();
}

// ---- monitors ---------------------------------------------------------------------------------------

std::vector<MonitorDesc> X11Display::Monitors() {
  XGuard G(*this);
  MonitorDesc M;
  M.Bounds = RECT{0, 0, DisplayWidth(dpy_, screen_), DisplayHeight(dpy_, screen_)};
  M.WorkArea = M.Bounds;
  M.Primary = true;
  std::vector<long> Area = ReadLongs(root_, At(A_NET_WORKAREA), XA_CARDINAL, 4);
  if (Area.size() >= 4 && Area[2] > 0 && Area[3] > 0) {
    RECT W{static_cast<int>(Area[0]), static_cast<int>(Area[1]), static_cast<int>(Area[0] + Area[2]),
           static_cast<int>(Area[1] + Area[3])};
    RECT I = Intersect(W, M.Bounds);
    if (!RectEmpty(I)) M.WorkArea = I;
  }
  return {M};
}

// ---- top-level windows ------------------------------------------------------------------------------

namespace {

bool IsOverrideRedirect(const TopLevelInfo& Info) {
  // Menus, drop-downs and tool tips: popups without a caption that do not ask for a task-bar entry.
  return (Info.Style & WS_POPUP) && (Info.Style & WS_CAPTION) != WS_CAPTION && !(Info.ExStyle & WS_EX_APPWINDOW);
}

bool IsDialogLike(const TopLevelInfo& Info) {
  return Info.Owner && ((Info.Style & WS_CAPTION) == WS_CAPTION || (Info.ExStyle & WS_EX_DLGMODALFRAME));
}

int Clamp16(int V) { return std::clamp(V, 1, 32767); }

}  // namespace

X11Display::Top* X11Display::Find(HWND Hwnd) {
  auto It = tops_.find(Hwnd);
  return It == tops_.end() ? nullptr : &It->second;
}

X11Display::Top* X11Display::FindX(Window W) {
  auto It = byWindow_.find(W);
  return It == byWindow_.end() ? nullptr : Find(It->second);
}

void X11Display::TopLevelCreated(HWND Hwnd, const TopLevelInfo& Info) {
  XGuard G(*this);
  if (Find(Hwnd)) return;
  Top& T = tops_[Hwnd];
  T.Hwnd = Hwnd;
  T.Info = Info;
  T.Rect = Info.Rect;
  T.OverrideRedirect = IsOverrideRedirect(Info);

  XSetWindowAttributes A{};
  A.background_pixmap = None;  // never cleared by the server: the surface covers every pixel
  A.bit_gravity = NorthWestGravity;
  A.override_redirect = T.OverrideRedirect ? True : False;
  A.event_mask = kTopEventMask;
  A.cursor = currentCursor_;
  unsigned long Mask = CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWEventMask | (A.cursor ? CWCursor : 0);
  T.Win = XCreateWindow(dpy_, root_, Info.Rect.left, Info.Rect.top, Clamp16(Width(Info.Rect)),
                        Clamp16(Height(Info.Rect)), 0, CopyFromParent, InputOutput, CopyFromParent, Mask, &A);
  T.Parent = root_;
  byWindow_[T.Win] = Hwnd;
  Trace("create %lx %dx%d", T.Win, Width(Info.Rect), Height(Info.Rect));

  // Identification for the window manager and session tools.
  XClassHint Class{};
  std::string Name = ProgramName();
  Class.res_name = Name.data();
  Class.res_class = const_cast<char*>("K58");
  XSetClassHint(dpy_, T.Win, &Class);
  long Pid = static_cast<long>(getpid());
  XChangeProperty(dpy_, T.Win, At(A_NET_WM_PID), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&Pid), 1);
  ::Atom Protocols[] = {At(A_WM_DELETE_WINDOW)};
  XSetWMProtocols(dpy_, T.Win, Protocols, 1);

  // The layer draws the frame and caption itself; the window manager's decoration would double them.
  long Motif[5] = {kMotifHintsDecorations, 0, 0, 0, 0};
  XChangeProperty(dpy_, T.Win, At(A_MOTIF_WM_HINTS), At(A_MOTIF_WM_HINTS), 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(Motif), 5);

  CreateInputContext(T);

  ApplyTitle(T);
  ApplyHints(T);
  ApplyIcon(T, reinterpret_cast<HICON>(GetClassLongPtr(Hwnd, GCLP_HICON)));
}

void X11Display::DestroyTop(Top& T) {
  if (T.Ic) XDestroyIC(T.Ic);
  T.Ic = nullptr;
  DropImage(T);
  if (T.Win) XDestroyWindow(dpy_, T.Win);
  T.Win = 0;
}

void X11Display::TopLevelDestroyed(HWND Hwnd) {
  XGuard G(*this);
  Top* T = Find(Hwnd);
  if (!T) return;
  if (focusWanted_ == Hwnd) focusWanted_ = nullptr;
  if (FXFocus == T->Win) FXFocus = 0;
  byWindow_.erase(T->Win);
  DestroyTop(*T);
  tops_.erase(Hwnd);
}

void X11Display::TopLevelShown(HWND Hwnd, bool Visible, bool Activate) {
  XGuard G(*this);
  Top* T = Find(Hwnd);
  if (!T) return;
  T->Info = InfoOf(Hwnd);
  if (!Visible) {
    if (!T->Shown) return;
    T->Shown = false;
    T->FirstPaint = false;
    // A hidden window needs no image of its own; it gets a new one when shown again.
    DropImage(*T);
    if (focusWanted_ == Hwnd) focusWanted_ = nullptr;
    // Withdrawn (not iconified): the window manager forgets the window until it is shown again.
    XWithdrawWindow(dpy_, T->Win, screen_);
    return;
  }
  bool Minimized = (T->Info.Style & WS_MINIMIZE) != 0;
  T->Minimized = Minimized;
  T->Maximized = (T->Info.Style & WS_MAXIMIZE) != 0;
  // A dialog shown while its owner is disabled is the modal dialog of a modal loop.
  T->Modal = IsDialogLike(T->Info) && T->Info.Owner && !IsWindowEnabled(T->Info.Owner);
  ApplyHints(*T);
  ApplyNetState(*T);
  if (!Activate && !T->OverrideRedirect) {
    // Asks the window manager not to give it the focus on mapping.
    long Zero = 0;
    XChangeProperty(dpy_, T->Win, At(A_NET_WM_USER_TIME), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&Zero), 1);
  } else if (!T->OverrideRedirect) {
    // The time of the user's last action, by which window managers that prevent focus stealing let a
    // window the user asked for take the focus.
    if (lastTime_) {
      long Time = static_cast<long>(lastTime_);
      XChangeProperty(dpy_, T->Win, At(A_NET_WM_USER_TIME), XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&Time), 1);
    } else {
      XDeleteProperty(dpy_, T->Win, At(A_NET_WM_USER_TIME));
    }
  }
  if (T->Shown) return;
  T->Shown = true;
  // Its pixels are put once its thread has painted it (PaintsDone), or by a later present should that
  // take long; the server keeps what the screen showed there meanwhile (the window has no background).
  T->FirstPaint = true;
  T->ShownAt = std::chrono::steady_clock::now();
  firstPutsPending_ = true;
  if (T->OverrideRedirect || !wmWindow_) {
    XMoveResizeWindow(dpy_, T->Win, T->Rect.left, T->Rect.top, Clamp16(Width(T->Rect)), Clamp16(Height(T->Rect)));
  }
  Trace("map %lx", T->Win);
  XMapRaised(dpy_, T->Win);
}

void X11Display::PrepareSharedImage(Top& T) {
  if (!shareSurfaces_) return;
  gdi::SurfacePtr S = TopLevelSurface(T.Hwnd);
  if (!S || ImageCurrent(T, *S)) return;
  RebuildImage(T);
  if (!T.SurfaceBits || T.ServerMapped) return;
  // The server reads a segment it has just attached only after mapping each of its pages into its own
  // address space, which for a screen-sized window takes longer than the copy itself: have that done
  // while the window is still being painted.
  TouchPages(T.Image, T.Image->width, T.Image->height);
  T.ShmPending = true;
  T.ServerMapped = true;
  Trace("touch %lx %dx%d", T.Win, T.Image->width, T.Image->height);
}

void X11Display::TouchPages(XImage* Image, int W, int H) {
  // A pixel of every page, read into a scratch pixmap.
  const int PixelsPerPage = 4096 / 4 - 24;  // columns this far apart leave no page of the rows unread
  Pixmap Scratch = XCreatePixmap(dpy_, root_, 1, static_cast<unsigned>(H), static_cast<unsigned>(depth_));
  GC Gc = DefaultGC(dpy_, screen_);
  for (int X = 0;; X = std::min(X + PixelsPerPage, W - 1)) {
    XShmPutImage(dpy_, Scratch, Gc, Image, X, 0, 0, 0, 1, static_cast<unsigned>(H), False);
    if (X == W - 1) break;
  }
  XFreePixmap(dpy_, Scratch);
}

void X11Display::SurfaceComing(std::shared_future<PreparedSurface> Coming) {
  if (shareSurfaces_) {
    // An earlier one is done: its surface was made before this one was asked for.
    if (warmer_.joinable()) warmer_.join();
    try {
      warmer_ = std::thread([this, Coming = std::move(Coming)] { WarmSurface(Coming); });
    } catch (const std::system_error&) {
      // The server maps the pages when the window is first painted.
    }
  }
  // The last of the threads a start-up makes.
  StartArrowMaker();
}

void X11Display::WarmSurface(const std::shared_future<PreparedSurface>& Coming) {
  PreparedSurface P;
  try {
    P = Coming.get();
  } catch (const std::future_error&) {
    return;  // it was never made
  }
  if (P.SharedId < 0 || !P.Bits || P.Width <= 0 || P.Height <= 0 || stop_) return;
  XGuard G(*this);
  if (!shareSurfaces_) return;
  // Too late: no window will have it, or one shows it already.
  if (P.Surface.expired()) return;
  for (const auto& [Hwnd, T] : tops_)
    if (T.SurfaceShm == P.SharedId) return;
  auto Seg = std::make_unique<ShmSegment>();
  XShmSegmentInfo& Info = Seg->Info;
  char* Bits = static_cast<char*>(const_cast<void*>(P.Bits));
  XImage* Img = XShmCreateImage(dpy_, VisualOf(visual_), static_cast<unsigned>(depth_), ZPixmap, Bits, &Info,
                                static_cast<unsigned>(P.Width), static_cast<unsigned>(P.Height));
  if (!Img) return;
  if (Img->bits_per_pixel == 32 && Img->bytes_per_line == P.Width * 4) {
    Info.shmid = P.SharedId;
    Info.shmaddr = Bits;
    Info.readOnly = True;
    XSync(dpy_, False);
    GLastError = 0;
    XShmAttach(dpy_, &Info);
    XSync(dpy_, False);
    // A refusal is the first window's to find out, as for any other surface.
    if (GLastError == 0) {
      TouchPages(Img, P.Width, P.Height);
      warmed_ = Warmed{P.Surface, Seg.release(), P.Bits, P.SharedId};
      Trace("warmed %dx%d", P.Width, P.Height);
    }
  }
  Img->data = nullptr;
  XDestroyImage(Img);
}

ShmSegment* X11Display::TakeWarmed(const gdi::Surface& S) {
  if (!warmed_.Shm) return nullptr;
  std::shared_ptr<gdi::Surface> Live = warmed_.Surface.lock();
  if (Live.get() == &S && S.Bits() == warmed_.Bits && S.SharedId() == warmed_.SharedId) {
    ShmSegment* Seg = warmed_.Shm;
    warmed_ = Warmed{};
    return Seg;
  }
  // Gone, or moved to other memory: nothing will show these pixels.
  if (!Live || Live->Bits() != warmed_.Bits || Live->SharedId() != warmed_.SharedId) DropWarmed();
  return nullptr;
}

void X11Display::DropWarmed() {
  if (!warmed_.Shm) return;
  XShmDetach(dpy_, &warmed_.Shm->Info);
  delete warmed_.Shm;
  warmed_ = Warmed{};
}

void X11Display::PutWhole(Top& T) {
  T.FirstPaint = false;
  // Presents are not copied during the first paint: the image is brought up to date once, here.
  if (gdi::SurfacePtr S = TopLevelSurface(T.Hwnd)) {
    if (!ImageCurrent(T, *S)) {
      RebuildImage(T);
    } else if (!T.SurfaceBits) {
      if (T.Shm && T.ShmPending) XSync(dpy_, False);
      CopyToImage(T, *S, RECT{0, 0, S->Width(), S->Height()});
    }
  }
  // Exposures the server reported before it carries out this put are covered by it. (A window manager
  // may map the window only later: its exposure then brings the pixels.)
  if (T.Image) {
    T.FullPutSerial = NextRequest(dpy_);
    PutArea(T, RECT{0, 0, T.Image->width, T.Image->height});
  }
}

void X11Display::TopLevelMoved(HWND Hwnd, const RECT& Rect) {
  XGuard G(*this);
  Top* T = Find(Hwnd);
  if (!T) return;
  // A minimised window keeps its place on the screen; the layer parks it far away meanwhile.
  if (GetWindowLongPtr(Hwnd, GWL_STYLE) & WS_MINIMIZE) return;
  bool Resized = Width(Rect) != Width(T->Rect) || Height(Rect) != Height(T->Rect);
  if (!SameRect(Rect, T->Rect)) {
    T->Rect = Rect;
    T->Requested.push_back(Rect);
    while (T->Requested.size() > 8) T->Requested.pop_front();
    XMoveResizeWindow(dpy_, T->Win, Rect.left, Rect.top, Clamp16(Width(Rect)), Clamp16(Height(Rect)));
    if (Resized) ApplyHints(*T);
  }
  if (T->Shown && !T->FirstPaint && (Resized || !T->Image)) RebuildImage(*T);
}

void X11Display::TopLevelChanged(HWND Hwnd, const TopLevelInfo& Info) {
  XGuard G(*this);
  Top* T = Find(Hwnd);
  if (!T) return;
  TopLevelInfo Old = T->Info;
  T->Info = Info;
  if (Info.Title != Old.Title) ApplyTitle(*T);
  bool Override = IsOverrideRedirect(Info);
  if (Override != T->OverrideRedirect) {
    // Takes effect the next time the window is mapped.
    T->OverrideRedirect = Override;
    XSetWindowAttributes A{};
    A.override_redirect = Override ? True : False;
    XChangeWindowAttributes(dpy_, T->Win, CWOverrideRedirect, &A);
  }
  bool Minimized = (Info.Style & WS_MINIMIZE) != 0;
  bool Maximized = (Info.Style & WS_MAXIMIZE) != 0;
  bool StateChanged = Maximized != T->Maximized;
  T->Maximized = Maximized;
  ApplyHints(*T);
  if (StateChanged) ApplyNetState(*T);
  if (Minimized != T->Minimized) {
    T->Minimized = Minimized;
    if (T->Shown) {
      if (Minimized)
        XIconifyWindow(dpy_, T->Win, screen_);
      else
        XMapRaised(dpy_, T->Win);
    }
  }
}

void X11Display::TopLevelRestacked(const std::vector<HWND>& TopFirst) {
  XGuard G(*this);
  // With a window manager the managed windows are stacked by it; windows it does not manage (and every
  // window when there is none) are raised bottom first, so the first in the list ends on top.
  for (auto It = TopFirst.rbegin(); It != TopFirst.rend(); ++It) {
    Top* T = Find(*It);
    if (!T || !T->Shown) continue;
    if (T->OverrideRedirect || !wmWindow_) XRaiseWindow(dpy_, T->Win);
  }
}

void X11Display::TopLevelActivated(HWND Hwnd) {
  XGuard G(*this);
  if (!Hwnd) return;
  Top* T = Find(Hwnd);
  if (!T) return;
  if (focusWanted_ != Hwnd) focusWanted_ = nullptr;
  // The layer following a focus change of the server asks for nothing: the focus is there, or has moved
  // on since and a later change brings the layer along. Asking could take the focus back from wherever
  // the user has moved it.
  if (track_->Applying.load() == Hwnd) return;
  // Already focused, as the server has it now: the focus changes the event thread has not read yet may
  // have taken it elsewhere since (a window hidden a moment ago had it).
  if (T->Win == FXFocus) {
    Window Focus = 0;
    int Revert = 0;
    XGetInputFocus(dpy_, &Focus, &Revert);
    if (Focus == T->Win) return;
  }
  // The layer's own activation: focus changes the server reported before this request are stale.
  track_->WishSerial = NextRequest(dpy_);
  if (T->Viewable)
    RequestFocus(*T);
  else
    focusWanted_ = Hwnd;  // once the server has mapped it
}

void X11Display::RequestFocus(Top& T) {
  track_->WishSerial = NextRequest(dpy_);
  if (wmWindow_ && !T.OverrideRedirect) {
    XEvent E{};
    E.xclient.type = ClientMessage;
    E.xclient.window = T.Win;
    E.xclient.message_type = At(A_NET_ACTIVE_WINDOW);
    E.xclient.format = 32;
    E.xclient.data.l[0] = 1;  // from an application
    E.xclient.data.l[1] = static_cast<long>(lastTime_);
    E.xclient.data.l[2] = 0;
    XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &E);
  } else {
    // Without a window manager the focus moves only when asked.
    XSetInputFocus(dpy_, T.Win, RevertToParent, CurrentTime);
  }
}

void X11Display::ApplyTitle(Top& T) {
  const std::string& Title = T.Info.Title;
  auto* Bytes = reinterpret_cast<const unsigned char*>(Title.data());
  XChangeProperty(dpy_, T.Win, At(A_NET_WM_NAME), At(A_UTF8_STRING), 8, PropModeReplace, Bytes,
                  static_cast<int>(Title.size()));
  XChangeProperty(dpy_, T.Win, At(A_NET_WM_ICON_NAME), At(A_UTF8_STRING), 8, PropModeReplace, Bytes,
                  static_cast<int>(Title.size()));
  // The old property for window managers that read only it: the title in the locale's encoding.
  char* List[] = {const_cast<char*>(Title.c_str())};
  XTextProperty Text{};
  if (Xutf8TextListToTextProperty(dpy_, List, 1, XStdICCTextStyle, &Text) >= Success) {
    XSetWMName(dpy_, T.Win, &Text);
    XSetWMIconName(dpy_, T.Win, &Text);
    if (Text.value) XFree(Text.value);
  }
}

void X11Display::ApplyHints(Top& T) {
  const TopLevelInfo& I = T.Info;
  // Position and size as the program asked for them.
  XSizeHints* Size = XAllocSizeHints();
  if (Size) {
    Size->flags = USPosition | USSize | PPosition | PSize;
    Size->x = T.Rect.left;
    Size->y = T.Rect.top;
    Size->width = Clamp16(Width(T.Rect));
    Size->height = Clamp16(Height(T.Rect));
    if (!(I.Style & WS_THICKFRAME) && !T.Maximized) {
      // Not sizeable: the window manager keeps its size.
      Size->flags |= PMinSize | PMaxSize;
      Size->min_width = Size->max_width = Size->width;
      Size->min_height = Size->max_height = Size->height;
    } else {
      Size->flags |= PMinSize;
      Size->min_width = std::max(1, GetSystemMetrics(SM_CXMINTRACK));
      Size->min_height = std::max(1, GetSystemMetrics(SM_CYMINTRACK));
    }
    Size->flags |= PWinGravity;
    Size->win_gravity = StaticGravity;
    XSetWMNormalHints(dpy_, T.Win, Size);
    XFree(Size);
  }
  if (XWMHints* Hints = XAllocWMHints()) {
    Hints->flags = InputHint | StateHint;
    Hints->input = True;
    Hints->initial_state = (I.Style & WS_MINIMIZE) ? IconicState : NormalState;
    XSetWMHints(dpy_, T.Win, Hints);
    XFree(Hints);
  }
  // Owned windows stay above their owner; dialogs are marked as such.
  Top* Owner = I.Owner ? Find(I.Owner) : nullptr;
  if (Owner)
    XSetTransientForHint(dpy_, T.Win, Owner->Win);
  else
    XDeleteProperty(dpy_, T.Win, XA_WM_TRANSIENT_FOR);
  ::Atom Type = At(IsDialogLike(I) ? A_NET_WM_WINDOW_TYPE_DIALOG : A_NET_WM_WINDOW_TYPE_NORMAL);
  XChangeProperty(dpy_, T.Win, At(A_NET_WM_WINDOW_TYPE), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&Type), 1);
}

void X11Display::ApplyNetState(Top& T) {
  // Before mapping the property is the request; afterwards the window manager owns it and takes
  // change requests as client messages.
  std::vector<::Atom> Want;
  if (T.Maximized) {
    Want.push_back(At(A_NET_WM_STATE_MAXIMIZED_VERT));
    Want.push_back(At(A_NET_WM_STATE_MAXIMIZED_HORZ));
  }
  if (T.Modal) Want.push_back(At(A_NET_WM_STATE_MODAL));
  if (!T.Shown || !wmWindow_) {
    XChangeProperty(dpy_, T.Win, At(A_NET_WM_STATE), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(Want.data()), static_cast<int>(Want.size()));
    // Without a window manager another client may change the property as soon as the layer's state shows;
    // the layer's own write must reach the server first, or it would overwrite that later change.
    if (T.Shown) XSync(dpy_, False);
    return;
  }
  XEvent E{};
  E.xclient.type = ClientMessage;
  E.xclient.window = T.Win;
  E.xclient.message_type = At(A_NET_WM_STATE);
  E.xclient.format = 32;
  E.xclient.data.l[0] = T.Maximized ? 1 : 0;  // add or remove
  E.xclient.data.l[1] = static_cast<long>(At(A_NET_WM_STATE_MAXIMIZED_VERT));
  E.xclient.data.l[2] = static_cast<long>(At(A_NET_WM_STATE_MAXIMIZED_HORZ));
  E.xclient.data.l[3] = 1;
  XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &E);
}

void X11Display::ApplyIcon(Top& T, HICON Icon) {
  std::vector<long> Data;
  if (Icon) IconToNetWmIcon(Icon, Data);
  if (Data.empty()) {
    XDeleteProperty(dpy_, T.Win, At(A_NET_WM_ICON));
    return;
  }
  XChangeProperty(dpy_, T.Win, At(A_NET_WM_ICON), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(Data.data()), static_cast<int>(Data.size()));
}

void X11Display::SetIcon(HWND Hwnd, HICON Icon) {
  XGuard G(*this);
  if (Top* T = Find(Hwnd)) ApplyIcon(*T, Icon);
}

std::string X11Display::ProgramName() {
  char Path[4096];
  ssize_t N = readlink("/proc/self/exe", Path, sizeof Path - 1);
  if (N <= 0) return "k58";
  Path[N] = 0;
  const char* Slash = std::strrchr(Path, '/');
  return Slash ? Slash + 1 : Path;
}

// ---- presentation -----------------------------------------------------------------------------------

void X11Display::DropImage(Top& T) {
  if (!T.Image) return;
  if (T.Shm && T.SurfaceBits) {
    // The surface keeps its memory; the server lets go of the segment when it gets here.
    XShmDetach(dpy_, &T.Shm->Info);
    T.Image->data = nullptr;
    XDestroyImage(T.Image);
    delete T.Shm;
    T.Shm = nullptr;
  } else if (T.Shm) {
    XShmDetach(dpy_, &T.Shm->Info);
    XSync(dpy_, False);
    shmdt(T.Shm->Info.shmaddr);
    T.Image->data = nullptr;
    XDestroyImage(T.Image);
    delete T.Shm;
    T.Shm = nullptr;
  } else {
    XDestroyImage(T.Image);  // frees the pixels too
  }
  T.Image = nullptr;
  T.ShmPending = false;
  T.ServerMapped = false;
  T.SurfaceBits = nullptr;
  T.SurfaceShm = -1;
}

XImage* X11Display::ImageOnSurface(Top& T, gdi::Surface& S) {
  if (!shareSurfaces_ || S.SharedId() < 0 || S.BottomUp()) return nullptr;
  const int W = S.Width(), H = S.Height();
  // The first window's surface may have been attached and mapped by the server while the program loaded.
  std::unique_ptr<ShmSegment> Seg(TakeWarmed(S));
  const bool Warm = Seg != nullptr;
  if (!Seg) Seg = std::make_unique<ShmSegment>();
  XShmSegmentInfo& Info = Seg->Info;
  char* Bits = static_cast<char*>(S.Bits());
  XImage* Img = XShmCreateImage(dpy_, VisualOf(visual_), static_cast<unsigned>(depth_), ZPixmap, Bits, &Info,
                                static_cast<unsigned>(W), static_cast<unsigned>(H));
  if (Img && (Img->bits_per_pixel != 32 || Img->bytes_per_line != W * 4)) {
    Img->data = nullptr;
    XDestroyImage(Img);
    Img = nullptr;
  }
  if (!Img) {
    if (Warm) XShmDetach(dpy_, &Info);
    return nullptr;
  }
  if (Warm) {
    T.Shm = Seg.release();
    T.SurfaceBits = Bits;
    T.SurfaceShm = S.SharedId();
    T.ServerMapped = true;
    return Img;
  }
  Info.shmid = S.SharedId();
  Info.shmaddr = Bits;
  Info.readOnly = True;
  // As for an image of our own: a server that cannot attach the segment says so after a round trip.
  XSync(dpy_, False);
  GLastError = 0;
  XShmAttach(dpy_, &Info);
  XSync(dpy_, False);
  if (GLastError != 0) {
    Img->data = nullptr;
    XDestroyImage(Img);
    shareSurfaces_ = false;
    shm_ = false;
    return nullptr;
  }
  T.Shm = Seg.release();
  T.SurfaceBits = Bits;
  T.SurfaceShm = S.SharedId();
  return Img;
}

bool X11Display::ImageCurrent(const Top& T, const gdi::Surface& S) const {
  if (!T.Image || T.Image->width != S.Width() || T.Image->height != S.Height()) return false;
  // An image on surface memory is stale once the surface moved to other memory.
  return !T.SurfaceBits || (T.SurfaceBits == S.Bits() && T.SurfaceShm == S.SharedId());
}

XImage* X11Display::CreateShmImage(Top& T, int W, int H) {
  auto Seg = std::make_unique<ShmSegment>();
  XShmSegmentInfo& Info = Seg->Info;
  XImage* Img = XShmCreateImage(dpy_, VisualOf(visual_), static_cast<unsigned>(depth_), ZPixmap, nullptr, &Info,
                                static_cast<unsigned>(W), static_cast<unsigned>(H));
  if (!Img) return nullptr;
  Info.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(Img->bytes_per_line) * H, IPC_CREAT | 0600);
  if (Info.shmid < 0) {
    XDestroyImage(Img);
    return nullptr;
  }
  Info.shmaddr = Img->data = static_cast<char*>(shmat(Info.shmid, nullptr, 0));
  if (Info.shmaddr == reinterpret_cast<char*>(-1)) {
    shmctl(Info.shmid, IPC_RMID, nullptr);
    Img->data = nullptr;
    XDestroyImage(Img);
    return nullptr;
  }
  Info.readOnly = False;
  // A remote server cannot attach our memory; that error comes back only after a round trip.
  XSync(dpy_, False);
  GLastError = 0;
  XShmAttach(dpy_, &Info);
  XSync(dpy_, False);
  bool Attached = GLastError == 0;
  // The segment goes away with the last detachment, also when this process dies.
  shmctl(Info.shmid, IPC_RMID, nullptr);
  if (!Attached) {
    shmdt(Info.shmaddr);
    Img->data = nullptr;
    XDestroyImage(Img);
    shm_ = false;
    return nullptr;
  }
  // The image refers to the segment record (obdata): it lives as long as the image.
  T.Shm = Seg.release();
  return Img;
}

void X11Display::RebuildImage(Top& T) {
  DropImage(T);
  gdi::SurfacePtr S = TopLevelSurface(T.Hwnd);
  if (!S || S->Width() <= 0 || S->Height() <= 0) return;
  int W = S->Width(), H = S->Height();
  if ((T.Image = ImageOnSurface(T, *S))) return;
  if (shm_) T.Image = CreateShmImage(T, W, H);
  if (!T.Image) {
    T.Image = XCreateImage(dpy_, VisualOf(visual_), static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                           static_cast<unsigned>(W), static_cast<unsigned>(H), 32, 0);
    if (!T.Image) return;
    T.Image->data = static_cast<char*>(std::calloc(static_cast<size_t>(T.Image->bytes_per_line), H));
    if (!T.Image->data) {
      XDestroyImage(T.Image);
      T.Image = nullptr;
      return;
    }
  }
  CopyToImage(T, *S, RECT{0, 0, W, H});
}

void X11Display::CopyToImage(Top& T, const gdi::Surface& S, const RECT& Area) {
  XImage* Img = T.Image;
  const bool Direct = Img->bits_per_pixel == 32 && Img->red_mask == 0xFF0000 && Img->green_mask == 0xFF00 &&
                      Img->blue_mask == 0xFF && Img->byte_order == LSBFirst;
  const int W = Area.right - Area.left;
  if (Direct) {
    for (int Y = Area.top; Y < Area.bottom; ++Y)
      std::memcpy(Img->data + static_cast<ptrdiff_t>(Y) * Img->bytes_per_line + Area.left * 4, S.Row(Y) + Area.left,
                  static_cast<size_t>(W) * 4);
    return;
  }
  // Any other true-colour layout: scale each channel into its mask.
  auto Channel = [](unsigned long Mask, uint32_t Value8) -> unsigned long {
    if (!Mask) return 0;
    int Shift = __builtin_ctzl(Mask);
    unsigned long Max = Mask >> Shift;
    return ((Value8 * Max + 127) / 255) << Shift;
  };
  for (int Y = Area.top; Y < Area.bottom; ++Y) {
    const uint32_t* Row = S.Row(Y);
    for (int X = Area.left; X < Area.right; ++X) {
      uint32_t P = Row[X];
      unsigned long Pixel = Channel(Img->red_mask, (P >> 16) & 0xFF) | Channel(Img->green_mask, (P >> 8) & 0xFF) |
                            Channel(Img->blue_mask, P & 0xFF);
      XPutPixel(Img, X, Y, Pixel);
    }
  }
}

void X11Display::PutArea(Top& T, const RECT& Area) {
  if (!T.Image || !T.Win) return;
  RECT A = Intersect(Area, RECT{0, 0, T.Image->width, T.Image->height});
  if (RectEmpty(A)) return;
  GC Gc = DefaultGC(dpy_, screen_);
  Trace("put %lx %d,%d %dx%d", T.Win, A.left, A.top, Width(A), Height(A));
  if (T.Shm) {
    XShmPutImage(dpy_, T.Win, Gc, T.Image, A.left, A.top, A.left, A.top, static_cast<unsigned>(Width(A)),
                 static_cast<unsigned>(Height(A)), False);
    T.ShmPending = true;
  } else {
    XPutImage(dpy_, T.Win, Gc, T.Image, A.left, A.top, A.left, A.top, static_cast<unsigned>(Width(A)),
              static_cast<unsigned>(Height(A)));
  }
}

void X11Display::Present(HWND Hwnd, const RECT& Damage) {
  XGuard G(*this);
  Top* T = Find(Hwnd);
  if (!T || !T->Shown) return;
  if (T->FirstPaint) {
    // Its first paint goes on; the whole image is put when it is done. A program that keeps painting
    // without ever waiting for input has its window shown after a while all the same.
    if (std::chrono::steady_clock::now() - T->ShownAt >= std::chrono::milliseconds(250))
      PutWhole(*T);
    else
      PrepareSharedImage(*T);
    return;
  }
  gdi::SurfacePtr S = TopLevelSurface(Hwnd);
  if (!S) return;
  if (!ImageCurrent(*T, *S)) {
    RebuildImage(*T);
  } else if (!T->SurfaceBits) {
    RECT A = Intersect(Damage, RECT{0, 0, S->Width(), S->Height()});
    if (RectEmpty(A)) return;
    // The server may still read the segment from the previous put: wait for it before writing.
    if (T->Shm && T->ShmPending) XSync(dpy_, False);
    CopyToImage(*T, *S, A);
  }
  PutArea(*T, Damage);
}

// ---- pointer ------------------------------------------------------------------------------------------

void X11Display::StartArrowMaker() {
  // The first cursor made loads the cursor theme (a library and the theme's files), which keeps the first
  // window from being painted for a while on a busy machine; the arrow, the first cursor every window
  // shows, is made meanwhile on a thread of its own (the library serialises its calls itself). Started
  // after the start-up's other threads: one started while the library loads waits for the loader.
  std::lock_guard<std::mutex> G(lock_);
  const WORD Arrow = static_cast<WORD>(reinterpret_cast<uintptr_t>(IDC_ARROW));
  if (arrowStarted_ || standardCursors_.count(Arrow)) return;
  arrowStarted_ = true;
  try {
    arrowMaker_ = std::thread([this] {
      madeArrow_ = XCreateFontCursor(dpy_, XC_left_ptr);
      // Its round trips read whatever events had come along into the library's queue, where the event
      // thread, asleep in poll(), does not see them: a key sent meanwhile would wait for the next event.
      // Woken without the lock: MakeCursor waits for this thread while holding it.
      Wake();
    });
  } catch (const std::system_error&) {
    // Made when it is first needed.
  }
}

void X11Display::TakeMadeArrow() {
  if (arrowMaker_.joinable()) arrowMaker_.join();
  if (!madeArrow_) return;
  const WORD Arrow = static_cast<WORD>(reinterpret_cast<uintptr_t>(IDC_ARROW));
  if (!standardCursors_.emplace(Arrow, madeArrow_).second) XFreeCursor(dpy_, madeArrow_);
  madeArrow_ = 0;
}

XId X11Display::MakeCursor(HCURSOR Handle) {
  if (!Handle) {
    if (!blankCursor_) {
      char Zero[8] = {};
      Pixmap Blank = XCreateBitmapFromData(dpy_, root_, Zero, 8, 8);
      XColor Black{};
      blankCursor_ = XCreatePixmapCursor(dpy_, Blank, Blank, &Black, &Black, 0, 0);
      XFreePixmap(dpy_, Blank);
    }
    return blankCursor_;
  }
  CursorShape Shape;
  if (!GetCursorShape(Handle, Shape)) return 0;
  if (Shape.StandardId) {
    TakeMadeArrow();
    auto It = standardCursors_.find(Shape.StandardId);
    if (It != standardCursors_.end()) return It->second;
    Cursor C = XCreateFontCursor(dpy_, FontCursorFor(Shape.StandardId));
    standardCursors_[Shape.StandardId] = C;
    return C;
  }
  if (Shape.Width <= 0 || Shape.Height <= 0) return 0;
  // Two-colour cursor from the masks: And 0 shows a pixel (Xor 0 black, 1 white); And 1 with Xor 1
  // (inverted on the original platform) shows black, which X cannot invert. Colour cursors are reduced to
  // black and white by brightness.
  const int W = Shape.Width, H = Shape.Height, Stride = (W + 7) / 8;
  std::vector<char> Source(static_cast<size_t>(Stride) * H), Mask(static_cast<size_t>(Stride) * H);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      size_t I = static_cast<size_t>(Y) * W + X;
      bool And = I < Shape.And.size() && Shape.And[I];
      bool Xor = I < Shape.Xor.size() && Shape.Xor[I];
      bool Shown = !And || Xor;
      bool Black = And || !Xor;
      if (!Shape.Color.empty() && !And && I < Shape.Color.size()) {
        DWORD C = Shape.Color[I];
        Black = ((C >> 16 & 0xFF) + (C >> 8 & 0xFF) + (C & 0xFF)) < 383;
      }
      if (Shown) Mask[static_cast<size_t>(Y) * Stride + X / 8] |= static_cast<char>(1 << (X % 8));
      if (Shown && Black) Source[static_cast<size_t>(Y) * Stride + X / 8] |= static_cast<char>(1 << (X % 8));
    }
  Pixmap Src = XCreateBitmapFromData(dpy_, root_, Source.data(), static_cast<unsigned>(W), static_cast<unsigned>(H));
  Pixmap Msk = XCreateBitmapFromData(dpy_, root_, Mask.data(), static_cast<unsigned>(W), static_cast<unsigned>(H));
  XColor Fore{}, Back{};
  Back.red = Back.green = Back.blue = 0xFFFF;
  Back.flags = Fore.flags = DoRed | DoGreen | DoBlue;
  unsigned HotX = static_cast<unsigned>(std::clamp<int>(Shape.Hotspot.x, 0, W - 1));
  unsigned HotY = static_cast<unsigned>(std::clamp<int>(Shape.Hotspot.y, 0, H - 1));
  Cursor C = XCreatePixmapCursor(dpy_, Src, Msk, &Fore, &Back, HotX, HotY);
  XFreePixmap(dpy_, Src);
  XFreePixmap(dpy_, Msk);
  if (customCursor_) XFreeCursor(dpy_, customCursor_);
  customCursor_ = C;
  return C;
}

void X11Display::SetPointerShape(HCURSOR Handle) {
  XGuard G(*this);
  if (Handle == currentHandle_ && (currentCursor_ || !Handle)) return;
  // A replaced custom cursor is freed in MakeCursor; the server keeps it while a window still uses it.
  Cursor C = MakeCursor(Handle);
  currentHandle_ = Handle;
  currentCursor_ = C;
  for (auto& [Hwnd, T] : tops_) XDefineCursor(dpy_, T.Win, C);
}

void X11Display::WarpPointer(POINT Screen) {
  XGuard G(*this);
  XWarpPointer(dpy_, None, root_, 0, 0, 0, 0, Screen.x, Screen.y);
}

void X11Display::Beep(UINT /*Type*/) {
  XGuard G(*this);
  XBell(dpy_, 0);
}

// ---- icons and standard cursors --------------------------------------------------------------------

void IconToNetWmIcon(HICON Icon, std::vector<long>& Data) {
  CursorShape S;
  if (!GetCursorShape(Icon, S) || S.StandardId || S.Width <= 0 || S.Height <= 0) return;
  const size_t N = static_cast<size_t>(S.Width) * S.Height;
  Data.reserve(2 + N);
  Data.push_back(S.Width);
  Data.push_back(S.Height);
  for (size_t I = 0; I < N; ++I) {
    const bool And = I < S.And.size() && S.And[I];
    const bool Xor = I < S.Xor.size() && S.Xor[I];
    unsigned long Argb = 0;  // transparent
    if (!And || Xor) {
      unsigned long Rgb = (!S.Color.empty() && I < S.Color.size()) ? (S.Color[I] & 0xFFFFFF)
                          : (!And && Xor)                           ? 0xFFFFFF
                                                                    : 0;
      Argb = 0xFF000000UL | Rgb;
    }
    Data.push_back(static_cast<long>(Argb));
  }
}

unsigned FontCursorFor(WORD Id) {
  struct Pair {
    LPCSTR Idc;
    unsigned Shape;
  };
  const Pair Table[] = {
      {IDC_ARROW, XC_left_ptr},        {IDC_IBEAM, XC_xterm},
      {IDC_WAIT, XC_watch},            {IDC_CROSS, XC_crosshair},
      {IDC_UPARROW, XC_sb_up_arrow},   {IDC_SIZE, XC_fleur},
      {IDC_ICON, XC_icon},             {IDC_SIZENWSE, XC_bottom_right_corner},
      {IDC_SIZENESW, XC_bottom_left_corner}, {IDC_SIZEWE, XC_sb_h_double_arrow},
      {IDC_SIZENS, XC_sb_v_double_arrow},    {IDC_SIZEALL, XC_fleur},
      {IDC_NO, XC_circle},             {IDC_HAND, XC_hand2},
      {IDC_APPSTARTING, XC_watch},     {IDC_HELP, XC_question_arrow},
  };
  for (const Pair& P : Table)
    if (static_cast<WORD>(reinterpret_cast<uintptr_t>(P.Idc)) == Id) return P.Shape;
  return XC_left_ptr;
}

// ---- lookup for tests and callers -------------------------------------------------------------------

unsigned long X11Display::WindowOf(HWND Hwnd) {
  std::lock_guard<std::mutex> G(lock_);
  Top* T = Find(Hwnd);
  return T ? T->Win : 0;
}

bool X11Display::UsesSharedMemory() {
  std::lock_guard<std::mutex> G(lock_);
  return shm_;
}

}  // namespace k58::winui::x11

namespace k58::winui {

namespace {

// WM_SETICON of a top-level window gives the window manager its icon; the default handling goes on.
bool IconHook(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& /*Result*/) {
  if (Msg != WM_SETICON || WParam != ICON_BIG || !IsTopLevel(Hwnd)) return false;
  if (auto* D = dynamic_cast<x11::X11Display*>(&Display())) D->SetIcon(Hwnd, reinterpret_cast<HICON>(LParam));
  return false;
}

}  // namespace

std::unique_ptr<DisplayBackend> CreateX11Display(const X11Options& Options) {
  auto D = std::make_unique<x11::X11Display>();
  if (!D->Open(Options)) return nullptr;
  static const bool Hooked = (AddDefWindowProcHook(IconHook), true);
  (void)Hooked;
  return D;
}

void RegisterX11Display() {
  static const bool Once = [] {
    RegisterDisplayFactory("x11", [] { return CreateX11Display(); });
    return true;
  }();
  (void)Once;
}

}  // namespace k58::winui

// Programs that link the window layer show their windows on X when DISPLAY is set (the library is linked
// whole, so this registration is in every one of them).
namespace {
[[maybe_unused]] const bool X11DisplayRegistered = (k58::winui::RegisterX11Display(), true);
}  // namespace

namespace k58::winui {

unsigned long X11WindowOf(HWND Window) {
  auto* D = dynamic_cast<x11::X11Display*>(&Display());
  return D ? D->WindowOf(Window) : 0;
}

bool X11UsesSharedMemory() {
  auto* D = dynamic_cast<x11::X11Display*>(&Display());
  return D && D->UsesSharedMemory();
}

}  // namespace k58::winui
