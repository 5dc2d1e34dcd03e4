// Internal state of the X11 display back-end, shared by its source files. X types appear only as
// forward declarations and as the integer identifiers (XIDs) the protocol uses, so that no X header is
// included outside the back-end's .cpp files.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/win/gdi/Surface.h"
#include "platform/win/ui/Display.h"
#include "platform/win/ui/x11/X11Display.h"

struct _XDisplay;
struct _XIM;
struct _XIC;
struct _XImage;
union _XEvent;

namespace k58::winui::x11 {

using XId = unsigned long;  // windows, atoms, cursors, pixmaps, timestamps

enum AtomId {
  A_WM_PROTOCOLS,
  A_WM_DELETE_WINDOW,
  A_WM_STATE,
  A_NET_WM_NAME,
  A_NET_WM_ICON_NAME,
  A_UTF8_STRING,
  A_NET_WM_ICON,
  A_NET_WM_WINDOW_TYPE,
  A_NET_WM_WINDOW_TYPE_NORMAL,
  A_NET_WM_WINDOW_TYPE_DIALOG,
  A_NET_WM_STATE,
  A_NET_WM_STATE_MAXIMIZED_VERT,
  A_NET_WM_STATE_MAXIMIZED_HORZ,
  A_NET_WM_STATE_MODAL,
  A_NET_WM_STATE_HIDDEN,
  A_NET_ACTIVE_WINDOW,
  A_NET_SUPPORTING_WM_CHECK,
  A_NET_WORKAREA,
  A_NET_WM_PID,
  A_NET_WM_USER_TIME,
  A_MOTIF_WM_HINTS,
  A_CLIPBOARD,
  A_TARGETS,
  A_TIMESTAMP,
  A_TEXT,
  A_INCR,
  A_K58_SELECTION,
  AtomCount
};

struct ShmSegment;  // the shared-memory segment of an image (X11Display.cpp)

// Who moved the focus last, shared with the focus changes queued for the GUI thread (which may run
// after the back-end went away).
struct FocusTrack {
  std::atomic<bool> Alive{true};
  // The request serial of the layer's latest own activation: focus changes the server reported
  // before it are stale, that activation moves the focus again.
  std::atomic<unsigned long> WishSerial{0};
  // The window a reported focus change activates while the GUI thread applies it (null otherwise).
  std::atomic<HWND> Applying{nullptr};
};

// With K58_X11_TRACE set in the environment: one line on stderr (the monotonic clock in milliseconds, then
// the text) for each step that maps a window or shows pixels, to see what the server is asked when.
void Trace(const char* Format, ...) __attribute__((format(printf, 1, 2)));

// The _NET_WM_ICON data of an icon: width, height, then ARGB pixels, for each size it has.
void IconToNetWmIcon(HICON Icon, std::vector<long>& Data);
// The cursor-font shape standing for a standard cursor (IDC_* number).
unsigned FontCursorFor(WORD StandardId);

class X11Display final : public DisplayBackend {
public:
  X11Display();
  ~X11Display() override;
  bool Open(const X11Options& Options);

  const char* Name() const override { return "x11"; }
  std::vector<MonitorDesc> Monitors() override;
  void TopLevelCreated(HWND Window, const TopLevelInfo& Info) override;
  void TopLevelDestroyed(HWND Window) override;
  void TopLevelShown(HWND Window, bool Visible, bool Activate) override;
  void TopLevelMoved(HWND Window, const RECT& Rect) override;
  void TopLevelChanged(HWND Window, const TopLevelInfo& Info) override;
  void TopLevelRestacked(const std::vector<HWND>& TopFirst) override;
  void TopLevelActivated(HWND Window) override;
  void Present(HWND Window, const RECT& Damage) override;
  bool SharesSurfaces() override { return shareSurfaces_; }
  void SurfaceComing(std::shared_future<PreparedSurface> Coming) override;
  void SetPointerShape(HCURSOR Cursor) override;
  void WarpPointer(POINT Screen) override;
  void Beep(UINT Type) override;
  void Idle() override;
  void PaintsDone(DWORD Thread) override;
  void ClipboardChanged() override;
  bool ForeignClipboardText(std::u16string& Text) override;

  // WM_SETICON of a top-level window.
  void SetIcon(HWND Window, HICON Icon);
  XId WindowOf(HWND Window);
  bool UsesSharedMemory();

private:
  struct Top {
    HWND Hwnd = nullptr;
    XId Win = 0;
    _XIC* Ic = nullptr;
    TopLevelInfo Info;
    RECT Rect{};                  // geometry both sides agree on (screen coordinates)
    std::deque<RECT> Requested;   // recent geometry requests: their echoes are not moves by the user
    bool OverrideRedirect = false;
    bool Shown = false;      // the layer shows it
    // Shown and mapped, its first paint not yet done: the image is put once, when the window's thread
    // has nothing left to paint (PaintsDone), so that nothing half-painted appears and the server is
    // not sent the same pixels again and again.
    bool FirstPaint = false;
    std::chrono::steady_clock::time_point ShownAt{};
    // The request serial of the last put of the whole image: an exposure the server reported before
    // processing it is covered by it.
    unsigned long FullPutSerial = 0;
    bool Viewable = false;   // the server mapped it
    bool Minimized = false;  // as the layer has it
    bool Maximized = false;
    bool Modal = false;
    XId Parent = 0;          // the root, or the window manager's frame
    _XImage* Image = nullptr;  // copy of the surface in the server's pixel format, or the surface itself
    ShmSegment* Shm = nullptr;
    bool ShmPending = false;   // a shared-memory put may still be reading the image
    bool ServerMapped = false;  // the server has already mapped every page of the image's segment
    // The image is the surface's own shared memory (nothing to copy): these pixels, which the surface
    // owns. A surface that moved to other memory needs a new image.
    const void* SurfaceBits = nullptr;
    int SurfaceShm = -1;
    int PropMaximized = -1;    // last seen in _NET_WM_STATE (-1: not seen yet)
    int PropIconic = -1;       // last seen in WM_STATE
  };

  // Holds the lock for a call of the GUI thread; on release flushes the requests and wakes the event
  // thread when replies brought events along.
  class XGuard {
  public:
    explicit XGuard(X11Display& Owner);
    ~XGuard();
    std::unique_lock<std::mutex>& Lock() { return lockHolder_; }

  private:
    X11Display& owner_;
    std::unique_lock<std::mutex> lockHolder_;
  };

  using Actions = std::vector<std::function<void()>>;

  // X11Display.cpp
  XId At(AtomId Id) const { return atoms_[Id]; }
  // Opens the user's input method with a style we can use; null when there is none. Takes no lock of
  // ours (the library serialises its own calls).
  _XIM* OpenInputMethod(unsigned long& Style);
  void CreateInputContext(Top& T);
  void DetectWindowManager();
  bool ReadWindowProperty(XId Window, XId Property, XId Type, XId& Value);
  std::vector<long> ReadLongs(XId Window, XId Property, XId Type, long Max);
  void Wake();
  void StopThread();
  static std::mutex& LiveLock();
  static std::vector<X11Display*>& Live();
  static void StopLiveThreads();
  Top* Find(HWND Hwnd);
  Top* FindX(XId Window);
  void DestroyTop(Top& T);
  void RequestFocus(Top& T);
  void ApplyTitle(Top& T);
  void ApplyHints(Top& T);
  void ApplyNetState(Top& T);
  void ApplyIcon(Top& T, HICON Icon);
  static std::string ProgramName();
  void DropImage(Top& T);
  _XImage* CreateShmImage(Top& T, int Width, int Height);
  _XImage* ImageOnSurface(Top& T, gdi::Surface& S);
  bool ImageCurrent(const Top& T, const gdi::Surface& S) const;
  void RebuildImage(Top& T);
  void CopyToImage(Top& T, const gdi::Surface& S, const RECT& Area);
  void PutArea(Top& T, const RECT& Area);
  void PrepareSharedImage(Top& T);
  void PutWhole(Top& T);
  void WarmSurface(const std::shared_future<PreparedSurface>& Coming);
  // Has the server read a pixel of every page of Image's segment, so that it maps them all now.
  void TouchPages(_XImage* Image, int Width, int Height);
  // The warmed segment when it holds S's pixels (taken: the caller owns it), else null; one that no
  // surface can use any more is detached.
  ShmSegment* TakeWarmed(const gdi::Surface& S);
  void DropWarmed();
  XId MakeCursor(HCURSOR Handle);

  // X11Events.cpp
  void EventLoop();
  void Translate(_XEvent& Event, Actions& Out);
  void TranslateKey(_XEvent& Event, Top& T, Actions& Out);
  void TranslateFocus(_XEvent& Event, Top& T, Actions& Out);
  void TranslateConfigure(_XEvent& Event, Top& T, Actions& Out);
  void TranslateProperty(_XEvent& Event, Top& T, Actions& Out);
  void ReleaseHeldKeys(Actions& Out);
  void ReportActivation(HWND Window, unsigned long Serial, Actions& Out);
  void FocusWhenMapped(Top& T);

  // X11Selection.cpp
  // A request of another program for our selection: answered after the event batch, once the text was
  // read from the clipboard without our lock.
  struct PendingRequest {
    XId Requestor = 0;
    XId Selection = 0;
    XId Target = 0;
    XId Property = 0;
    unsigned long Time = 0;
    bool HasText = false;
    std::string Text;  // UTF-8 with line feeds
  };
  void AnswerSelectionRequest(const PendingRequest& Request);
  size_t MaxChunk() const;
  void HandleSelectionNotify(_XEvent& Event);
  void HandleSelectionProperty(_XEvent& Event);
  void ContinueOutgoing(_XEvent& Event);
  // Ends the incremental transfers to Requestor into Property (0: into any property).
  void DropOutgoing(XId Requestor, XId Property);
  bool ReadOwnClipboardText(std::string& Utf8);

  ::_XDisplay* dpy_ = nullptr;
  int screen_ = 0;
  XId root_ = 0;
  void* visual_ = nullptr;
  int depth_ = 0;
  XId atoms_[AtomCount] = {};
  bool shm_ = false;
  // Top-level surfaces live in shared memory that the server reads directly: the server takes our
  // segments and its pixel format is the surfaces' own.
  std::atomic<bool> shareSurfaces_{false};
  XId helper_ = 0;    // owns the selections, receives transfers
  int fixesEvent_ = 0;  // first event number of the XFixes extension (0: not offered)
  _XIM* im_ = nullptr;
  unsigned long imStyle_ = 0;
  std::atomic<bool> imTried_{false};  // the input method is opened when the program is first idle
  std::atomic<bool> firstPutsPending_{false};  // some window waits for PutWhole
  XId wmWindow_ = 0;  // the window manager's check window (0: no window manager)
  unsigned long lastTime_ = 0;  // server time of the last user event

  std::mutex lock_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  int wakeFd_ = -1;
  int pid_ = 0;  // the process that started the event thread

  std::map<HWND, Top> tops_;
  std::unordered_map<XId, HWND> byWindow_;
  HWND focusWanted_ = nullptr;  // activated before the server mapped it
  std::shared_ptr<FocusTrack> track_ = std::make_shared<FocusTrack>();
  XId FXFocus = 0;              // our window holding the X input focus (by the last FocusIn/Out), or 0

  // The first window's prepared surface, attached and its pages mapped by the server while the program
  // loads (SurfaceComing), for the window that gets it.
  std::thread warmer_;
  struct Warmed {
    std::weak_ptr<gdi::Surface> Surface;
    ShmSegment* Shm = nullptr;
    const void* Bits = nullptr;
    int SharedId = -1;
  } warmed_;

  std::map<WORD, XId> standardCursors_;
  // The arrow, made on a thread of its own while the program starts (see StartArrowMaker); joined on
  // first use.
  std::thread arrowMaker_;
  XId madeArrow_ = 0;
  bool arrowStarted_ = false;
  void StartArrowMaker();
  void TakeMadeArrow();
  XId customCursor_ = 0;
  XId blankCursor_ = 0;
  XId currentCursor_ = 0;
  HCURSOR currentHandle_ = nullptr;

  std::map<unsigned, WORD> keysDown_;  // X key code -> virtual key sent for its press

  // Clipboard: what we offer while we own CLIPBOARD, and the transfer we wait for.
  bool ownClipboard_ = false;
  unsigned long ownSince_ = 0;
  struct Incoming {
    bool Waiting = false;
    bool Done = false;
    bool Ok = false;
    bool Incremental = false;
    XId Target = 0;
    std::string Data;
  } in_;
  std::condition_variable inChanged_;
  struct Outgoing {
    XId Requestor = 0;
    XId Property = 0;
    XId Type = 0;
    std::string Data;
    size_t Offset = 0;
  };
  std::vector<Outgoing> out_;
  std::vector<PendingRequest> requests_;  // read in this batch, answered after it
};

}  // namespace k58::winui::x11
