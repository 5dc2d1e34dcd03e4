// The display back-end: what the window layer needs of the screen it shows windows on, and the calls
// through which a back-end feeds device input and window-manager events back into the layer.
//
// The layer keeps every top-level window (a child of the desktop) in an off-screen surface of the
// window's size; children draw into their top-level window's surface. A back-end only shows those
// surfaces and reports what the user does. Two back-ends exist: headless (in memory, input injected by
// tests; the default whenever DISPLAY is unset) and X11 (one X window per top-level window).
//
// Threads: the layer calls the back-end on the thread that owns the windows (the GUI thread). The
// Inject* and Host* calls may come from any thread (an X event thread, a test): they queue a device
// event and wake the GUI thread, which routes each event only after the events before it were handled
// (so a button release after a press that took the capture goes to the capture window).
#pragma once

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/WinTypes.h"
#include "platform/win/gdi/Surface.h"

namespace k58::winui {

struct MonitorDesc {
  RECT Bounds{};    // screen coordinates
  RECT WorkArea{};  // Bounds less panels and task bars
  bool Primary = false;
};

// What a window manager needs to know of a top-level window.
struct TopLevelInfo {
  DWORD Style = 0;
  DWORD ExStyle = 0;
  HWND Owner = nullptr;
  RECT Rect{};  // screen coordinates of the whole window (the surface has this size)
  std::string Title;  // UTF-8
};

// The surface prepared for the first window (PrepareFirstSurface), as it was made: its memory and size
// are read here, never from the surface, which belongs to the GUI thread once a window took it.
struct PreparedSurface {
  std::weak_ptr<gdi::Surface> Surface;  // expired or empty when none could be made
  const void* Bits = nullptr;
  int SharedId = -1;  // its shared-memory segment (-1: private memory)
  int Width = 0;
  int Height = 0;
};

class DisplayBackend {
public:
  virtual ~DisplayBackend() = default;

  // "headless" or "x11".
  virtual const char* Name() const = 0;

  // The monitors making up the virtual screen, the primary one first (at least one). Read when the
  // back-end is installed and again after HostScreenChanged.
  virtual std::vector<MonitorDesc> Monitors() = 0;

  // A top-level window came into existence (hidden) or went away.
  virtual void TopLevelCreated(HWND Window, const TopLevelInfo& Info) = 0;
  virtual void TopLevelDestroyed(HWND Window) = 0;
  // It was shown or hidden. Activate is false when it is shown without taking the input focus
  // (SW_SHOWNOACTIVATE, SWP_NOACTIVATE, WS_EX_NOACTIVATE).
  virtual void TopLevelShown(HWND Window, bool Visible, bool Activate) = 0;
  // Its position or size changed (screen coordinates); the surface was replaced when the size changed.
  virtual void TopLevelMoved(HWND Window, const RECT& Rect) = 0;
  // Title, styles or owner changed (window-manager hints: transient-for, dialog type, maximised).
  virtual void TopLevelChanged(HWND Window, const TopLevelInfo& Info) = 0;
  // The stacking order of the visible top-level windows changed; TopFirst lists them, topmost first.
  virtual void TopLevelRestacked(const std::vector<HWND>& TopFirst) = 0;
  // The layer activated Window (null: the application lost activation); the back-end asks for the
  // input focus of the system.
  virtual void TopLevelActivated(HWND Window) = 0;

  // The pixels of Window's surface changed inside Damage (window coordinates): show them.
  virtual void Present(HWND Window, const RECT& Damage) = 0;
  // Top-level surfaces are to live in shared memory, which the back-end shows without copying.
  virtual bool SharesSurfaces() { return false; }
  // The surface the first window shown will most likely get is being made on another thread (Coming is
  // ready when it is): a back-end may have the server take its memory in meanwhile, so that showing the
  // window does not wait for that.
  virtual void SurfaceComing(std::shared_future<PreparedSurface> /*Coming*/) {}

  // The pointer shape to show (null: no pointer, after ShowCursor hid it).
  virtual void SetPointerShape(HCURSOR Cursor) = 0;
  // SetCursorPos moved the pointer (screen coordinates).
  virtual void WarpPointer(POINT Screen) = 0;

  // MessageBeep.
  virtual void Beep(UINT Type) = 0;

  // The GUI thread's messages are all handled and nothing waits to be painted: work that need not delay
  // the first window can be done now.
  virtual void Idle() {}
  // Thread (any GUI thread, the calling one) has no window waiting to be painted: what it showed since
  // is completely painted.
  virtual void PaintsDone(DWORD /*Thread*/) {}

  // Clipboard: ClipboardChanged tells that this process now owns the clipboard (the formats are read
  // back through the clipboard calls when another program asks). ForeignClipboardText answers the
  // text of a clipboard owned by another program, or false when there is none.
  virtual void ClipboardChanged() = 0;
  virtual bool ForeignClipboardText(std::u16string& Text) = 0;
};

// ---- Installing a back-end ------------------------------------------------------------------------
// Installs Backend (replacing and deleting the previous one). Call it before the first window exists.
// Without a call the layer installs one on first use: the headless back-end when DISPLAY is unset or
// K58_DISPLAY is "headless", otherwise what the factory registered under "x11" makes (headless when
// there is none or it answers null).
void SetDisplayBackend(std::unique_ptr<DisplayBackend> Backend);
using DisplayFactory = std::unique_ptr<DisplayBackend> (*)();
void RegisterDisplayFactory(const char* Name, DisplayFactory Factory);
DisplayBackend& Display();
// Sets up the window layer in the core (idempotent); every call of the layer does it on first use.
void InitializeWindowSystem();

// The surface of a top-level window (null for other windows).
gdi::SurfacePtr TopLevelSurface(HWND Window);
// Allocates and fills, on a thread of its own, the surface that the next window shown will most likely
// need at start-up (as large as the primary monitor's work area with a sizing frame: a maximized main
// window); EnsureSurface gives it to the next window that needs a surface, or releases it if it does not
// suit. Does nothing while one is prepared.
void PrepareFirstSurface();
// Grows the main thread's heap ahead of the start-up's needs in one step and has a thread of its own map
// the new pages meanwhile (where the C library and the system allow it). Does its work once.
void PrepareHeap();

// ---- Device input, from any thread ----------------------------------------------------------------
enum class MouseButton { Left, Right, Middle, X1, X2 };

// Time 0 takes the current tick count. Points are in screen coordinates.
void InjectMouseMove(POINT Screen, DWORD Time = 0);
void InjectMouseButton(POINT Screen, MouseButton Button, bool Down, DWORD Time = 0);
// Delta in multiples of WHEEL_DELTA (120) per notch, positive away from the user (or to the right).
void InjectMouseWheel(POINT Screen, int Delta, bool Horizontal = false, DWORD Time = 0);
// A key went down or up. Char, when not 0, is the character the key produces in the current keyboard
// state as the system's layout knows it (UTF-16 code unit); 0 lets the layer's US layout decide.
// Dead marks a dead key (TranslateMessage then posts WM_DEADCHAR).
void InjectKey(WORD VirtualKey, WORD ScanCode, bool Down, bool Extended = false, DWORD Time = 0, WCHAR Char = 0,
               bool Dead = false);
// Text committed by an input method: each UTF-16 code unit reaches the focus window as WM_IME_CHAR,
// which DefWindowProc turns into WM_CHAR.
void InjectText(const std::u16string& Text);
// The pointer left every window of the application (WM_MOUSELEAVE for tracked windows).
void InjectPointerLeft();

// ---- Window-manager events, from any thread -------------------------------------------------------
// The user moved or resized a top-level window through the window manager (screen coordinates). The
// layer places the window as for SetWindowPos, and tells TopLevelMoved as for any move.
void HostMovedWindow(HWND Window, const RECT& Rect);
// The user asked to close a top-level window (WM_SYSCOMMAND SC_CLOSE).
void HostCloseRequested(HWND Window);
// The system gave the input focus to Window (activation) or took it away from the application (null).
void HostActivated(HWND Window);
// The monitors changed; the layer reads them again and sends WM_DISPLAYCHANGE.
void HostScreenChanged();

}  // namespace k58::winui
