// Internal state of the visual half of the window manager: what each window keeps beyond the core
// record, the process-wide input and activation state, and the helpers the parts share. Not for use
// outside platform/win/ui.
//
// The visual state belongs to the GUI thread: only the thread that owns the windows changes it. The
// queue of device events (filled by the Inject* calls from any thread) has its own lock.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/core/WinBase.h"
#include "platform/win/core/WinCoreExt.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/ui/Display.h"
#include "platform/win/ui/UiExt.h"
#include "platform/win/ui/WinUserUi.h"

namespace k58::winui {

struct ScrollBarState {
  int Min = 0;
  int Max = 100;  // standard bars start with the range 0..100
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Tracking = false;
  UINT Arrows = ESB_ENABLE_BOTH;  // ESB_DISABLE_* bits
  int Pressed = -1;               // part held down while tracking (rgstate index), -1 none
};

struct WinData {
  bool Initialized = false;  // geometry set by creation
  RECT Window{};             // parent client coordinates (screen for top-level windows)
  RECT Client{};             // same coordinates
  // Painting state
  gdi::Region Update;  // client coordinates
  bool Erase = false;
  bool NcPaint = false;
  bool InternalPaint = false;
  bool NoRedraw = false;  // WM_SETREDRAW FALSE
  gdi::SurfacePtr Surface;  // top-level windows, from their first paint while shown
  bool OnDisplay = false;   // top-level window the display back-end knows
  HRGN WindowRgn = nullptr;  // owned; window coordinates
  bool NcActive = false;
  // Placement
  RECT Normal{};
  bool HaveNormal = false;
  bool RestoreToMaximized = false;
  ScrollBarState Bars[2];  // SB_HORZ, SB_VERT
  HWND LastActivePopup = nullptr;
  ~WinData();
};
using WinDataPtr = std::shared_ptr<WinData>;

enum class RawKind { Move, Button, Wheel, Key, Text, Left, HostMove, HostClose, HostActivate, HostScreen, Call };

struct RawEvent {
  RawKind Kind = RawKind::Move;
  POINT Pt;
  MouseButton Button = MouseButton::Left;
  bool Down = false;
  int Delta = 0;
  bool Horizontal = false;
  WORD Vk = 0;
  WORD Scan = 0;
  bool Extended = false;
  WCHAR Char = 0;
  bool Dead = false;
  std::u16string Text;
  HWND Hwnd = nullptr;
  RECT Rect{};
  DWORD Time = 0;
  std::function<void()> Fn;  // RawKind::Call
};

struct UiState {
  std::unique_ptr<DisplayBackend> Backend;
  std::vector<MonitorDesc> Monitors;

  HWND Active = nullptr;
  HWND Focus = nullptr;
  HWND Capture = nullptr;
  bool AppActive = false;

  POINT Cursor;
  HCURSOR CurrentCursor = nullptr;
  int CursorCount = 0;
  BYTE KeyState[256] = {};    // as of the last retrieved message
  BYTE AsyncState[256] = {};  // as of the last device event
  UINT DoubleClickTime = 500;

  // Double clicks: the last button press.
  HWND ClickHwnd = nullptr;
  UINT ClickMsg = 0;
  POINT ClickPt;
  DWORD ClickTime = 0;
  bool ClickValid = false;

  // The window under the pointer and where (client or not), for leave tracking.
  HWND MouseHwnd = nullptr;
  bool MouseInClient = false;
  // TrackMouseEvent
  HWND TrackHwnd = nullptr;
  DWORD TrackFlags = 0;
  DWORD HoverTime = 400;
  POINT HoverOrigin;
  UINT_PTR HoverTimer = 0;

  // Device events waiting to be routed.
  std::mutex RawLock;
  std::deque<RawEvent> Raw;
  DWORD InputThread = 0;

  std::vector<DefWindowProcHook> DefHooks;
  MenuBarProvider* MenuBar = nullptr;
  int ModalDepth = 0;
  // Capture loops (NextCaptureMessage) and modal loops (RunModalLoop) waiting in GetMessage.
  int CaptureWaits = 0;
  int ModalWaits = 0;

  // Keys whose characters a back-end gave (see InjectKey), by the lParam and time of the message.
  struct KeyChar {
    LPARAM LParam;
    DWORD Time;
    WPARAM Vk;
    WCHAR Char;
    bool Dead;
  };
  std::deque<KeyChar> KeyChars;
  WCHAR PendingDead = 0;
  bool AltAlone = false;
  HWND SwallowNcDeactivate = nullptr;  // Alt went down and nothing else since (its release asks for the menu)
};

UiState& Ui();
void EnsureInit();
DisplayBackend& Backend();

// ---- windows and geometry (Tree.cpp) ---------------------------------------------------------------
// The window's visual data (created on first use).
WinDataPtr Data(HWND Hwnd);
bool IsDesktop(HWND Hwnd);
HWND ParentOf(HWND Hwnd);  // the tree parent (the desktop for top-level windows)
HWND RootOf(HWND Hwnd);    // the top-level ancestor (itself for a top-level window)
bool IsTopLevel(HWND Hwnd);
DWORD StyleOf(HWND Hwnd);
DWORD ExStyleOf(HWND Hwnd);
bool HasStyle(HWND Hwnd, DWORD Style);
// Children in z-order, topmost first.
std::vector<HWND> ChildrenOf(HWND Hwnd);
std::vector<HWND> TopLevels();
// Screen position of the client area's origin (the desktop's is (0,0)).
POINT ClientOrigin(HWND Hwnd);
RECT ScreenWindowRect(HWND Hwnd);
RECT ScreenClientRect(HWND Hwnd);
// Where the window's top-left corner lies on its top-level window's surface.
POINT SurfaceOrigin(HWND Hwnd);
// Visible and all ancestors visible.
bool IsShown(HWND Hwnd);
bool IsEnabledDeep(HWND Hwnd);
// The pixels of the window (or its client area) that are visible on the top-level surface, in surface
// coordinates: clipped by the ancestors' client areas, window regions, siblings above (with
// WS_CLIPSIBLINGS) and, with ClipChildren, the window's visible children.
gdi::Region VisibleRegion(HWND Hwnd, bool ClientOnly, bool ClipChildren);
// A window's region in surface coordinates (its whole rectangle when it has none).
gdi::Region WindowShape(HWND Hwnd);
// Hit-testing the tree: windows at a screen point that take input, deepest first, siblings above
// before siblings below, each parent after its children.
std::vector<HWND> WindowsAtPoint(POINT Screen, bool SkipDisabled);
HWND HitTestPoint(POINT Screen, int* HitTest);
TopLevelInfo InfoOf(HWND Hwnd);

// ---- positions (Position.cpp) -----------------------------------------------------------------------
void PlaceNewWindow(HWND Hwnd, CREATESTRUCT& Create);
void ShowNewWindow(HWND Hwnd, const CREATESTRUCT& Create);
void SendMinMaxInfo(HWND Hwnd, MINMAXINFO& Info);
RECT WorkAreaFor(HWND Hwnd);
void NotifyRestack();
// Whether placing Hwnd after InsertAfter (or HWND_TOP...) would leave the z-order as it is.
bool SameZOrder(HWND Hwnd, HWND InsertAfter);
// Screen metrics (SM_CXSCREEN, virtual screen, monitors) from the display's monitors.
void ApplyMonitorMetrics();

// ---- painting (Paint.cpp) ---------------------------------------------------------------------------
// Adds (or with RDW_VALIDATE removes) Area, in client coordinates of Hwnd, to the update state of
// Hwnd and, depending on the flags, its children.
void Redraw(HWND Hwnd, const gdi::Region* Area, UINT Flags);
// Invalidates everything of a window (frame, client, children), with erase.
void InvalidateAll(HWND Hwnd);
// Invalidates the part of Parent (client coordinates) a child uncovered, with the windows there.
void InvalidateParentArea(HWND Parent, const gdi::Region& Area);
HWND FindWindowToPaint(HWND Filter);
void EnsureSurface(HWND Root);
void Present(HWND Hwnd, const RECT& SurfaceRect);
void PresentAll(HWND Root);
// A DC on the window's surface: the whole window or the client area, clipped to what is visible.
HDC MakeWindowDC(HWND Hwnd, bool WholeWindow, bool ClipChildren);
void PaintWindowNow(HWND Hwnd, bool EraseOnly);
void DefEraseBackground(HWND Hwnd, HDC Dc);
void DropPaintState(HWND Hwnd);

// ---- non-client area (NonClient.cpp) -----------------------------------------------------------------
struct FrameParts {
  int Border = 0;   // outer frame (thick, dialog or thin border), each side
  int Edge = 0;     // client or static edge inside it, each side
  int Caption = 0;  // caption height (0: none)
  int Menu = 0;     // menu bar height
};
FrameParts FrameOf(DWORD Style, DWORD ExStyle, bool IsChild, int MenuHeight);
int MenuHeightOf(HWND Hwnd, int Width);
// The default client rectangle for a window rectangle (both in the same coordinates).
RECT DefCalcClient(HWND Hwnd, const RECT& Window);
LRESULT DefNcHitTest(HWND Hwnd, POINT Screen);
void DefNcPaint(HWND Hwnd, HRGN Area);
// Draws the frame, caption, menu bar and scroll bars into a DC whose origin is the window's top-left.
void DrawNonClient(HWND Hwnd, HDC Dc);
bool DefNcMouse(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);
LRESULT DefSysCommand(HWND Hwnd, WPARAM Cmd, LPARAM LParam);
bool DefSetCursor(HWND Hwnd, WPARAM WParam, LPARAM LParam);

// ---- scroll bars (ScrollBars.cpp) --------------------------------------------------------------------
// The bar's rectangle in window coordinates (false when not shown).
bool ScrollBarRect(HWND Hwnd, int Bar, RECT& Rect);
bool SizeBoxRect(HWND Hwnd, RECT& Rect);
void PaintScrollBar(HWND Hwnd, int Bar, HDC Dc);
void TrackScrollBar(HWND Hwnd, int Bar, POINT Screen);

// ---- input (Input.cpp, Keyboard.cpp) -----------------------------------------------------------------
void QueueRaw(RawEvent Event);
void ProcessRaw();
bool RawPending();
bool RouteKey(const RawEvent& E);
bool RouteText(const RawEvent& E);
// Runs Call on the GUI thread in turn with the device events (tests use it inside modal loops).
void QueueCall(std::function<void()> Call);
void TranslateKeyMessage(const MSG& Key, std::vector<WPARAM>& Chars);
WORD ScanCodeOf(WORD Vk);
WPARAM MouseKeyFlags();
void SendSetCursorAt(POINT Screen);
void WindowGoingAway(HWND Hwnd);
// The next message for a loop that lasts while Hwnd holds the capture (moving, sizing, a held caption
// button or scroll bar). Answers false once the capture went elsewhere or the window was destroyed,
// also when that happened while the loop waited; a message retrieved meanwhile is dispatched, never
// dropped. WM_QUIT ends it too (posted again for the outer loop).
bool NextCaptureMessage(HWND Hwnd, MSG& M);
// Wakes a capture or modal loop waiting in GetMessage, after what ends it (the capture moving, a
// window destroyed) happened inside that wait; the loops skip the wake message (IsLoopWake).
void WakeWaitingLoops();
bool IsLoopWake(const MSG& M);

// ---- focus and activation (Focus.cpp) ----------------------------------------------------------------
bool CanActivate(HWND Hwnd);
// Activates a top-level window (null deactivates the application). Click: WA_CLICKACTIVE.
void ActivateWindow(HWND Hwnd, bool Click);
// Activates another window after Hwnd was hidden, minimised or destroyed.
void ActivateOther(HWND Hwnd);
void FocusLost(HWND Hwnd);

// ---- caret (Caret.cpp) -------------------------------------------------------------------------------
void CaretHideForPaint(HWND Hwnd);
void CaretShowAfterPaint(HWND Hwnd);
void CaretWindowGone(HWND Hwnd);

// ---- clipboard (Clipboard.cpp) -------------------------------------------------------------------------
// Closes and empties the clipboard (between tests).
void ResetClipboard();

// ---- cursors (Cursors.cpp) ---------------------------------------------------------------------------
HCURSOR StandardCursor(WORD Id);

// ---- helpers --------------------------------------------------------------------------------------
inline RECT MakeRect(int L, int T, int R, int B) { return RECT{L, T, R, B}; }
using gdi::Height;
using gdi::InRect;
using gdi::Intersect;
using gdi::Offset;
using gdi::RectEmpty;
using gdi::SameRect;
using gdi::Width;
// Window positions and sizes are kept within +-kCoordLimit, so that coordinates added up along the
// tree and with the sizes stay well inside int.
inline constexpr int kCoordLimit = 1 << 26;
inline int ClampCoord(int V) { return std::clamp(V, -kCoordLimit, kCoordLimit); }
inline int ClampSize(int V) { return std::clamp(V, 0, kCoordLimit); }
// Caller points moved by an offset wrap around at the ends of LONG instead of overflowing.
inline LONG AddWrap(LONG A, LONG B) { return static_cast<LONG>(static_cast<DWORD>(A) + static_cast<DWORD>(B)); }
inline LPARAM PointParam(int X, int Y) { return MAKELPARAM(static_cast<WORD>(X), static_cast<WORD>(Y)); }

}  // namespace k58::winui
