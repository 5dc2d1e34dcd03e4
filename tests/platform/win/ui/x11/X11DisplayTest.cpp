// The X11 display back-end in this process against a private X server: what the server shows, the
// hints a window manager reads, X events turned into messages, moves and close requests from outside,
// the wake-up of a waiting message loop, and the CLIPBOARD selection both ways. A second connection
// (the probe) plays the part of the window manager and of other programs.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "X11TestSupport.h"
#include "platform/win/testing/TestDisplay.h"
#include "platform/win/ui/Headless.h"
#include "platform/win/ui/x11/X11Display.h"
#include "tests/common/Messages.h"

#include <poll.h>
#include <sys/shm.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

namespace winui_test {

namespace {

using namespace x11test;

using k58test::Message;

k58test::MessageLog& Log() {
  static k58test::MessageLog L;
  return L;
}

LRESULT CALLBACK SpyProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Log().Add(Hwnd, Msg, WParam, LParam);
  return DefWindowProc(Hwnd, Msg, WParam, LParam);
}

int Count(HWND Hwnd, UINT Msg) { return Log().Count(Msg, Hwnd); }

const Message* Last(HWND Hwnd, UINT Msg) {
  for (auto It = Log().rbegin(); It != Log().rend(); ++It)
    if (It->Hwnd == Hwnd && It->Msg == Msg) return &*It;
  return nullptr;
}

constexpr const char* kSpyClass = "X11Spy";

class XvfbDisplay : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (FindProgram("Xvfb").empty()) return;
    Server = new XvfbServer;
    if (!Server->Start()) {
      StartError = Server->Error();
      delete Server;
      Server = nullptr;
    }
    WNDCLASS C{};
    C.lpfnWndProc = SpyProc;
    C.hCursor = LoadCursor(nullptr, IDC_ARROW);
    C.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    C.lpszClassName = kSpyClass;
    RegisterClass(&C);
  }

  static void TearDownTestSuite() {
    k58::winui::SetDisplayBackend(std::make_unique<k58::winui::HeadlessDisplay>());
    delete Server;
    Server = nullptr;
  }

  virtual bool SharedMemory() const { return true; }

  void SetUp() override {
    if (FindProgram("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_NE(Server, nullptr) << StartError;
    k58::winui::X11Options O;
    O.DisplayName = Server->Name();
    O.UseSharedMemory = SharedMemory();
    std::unique_ptr<k58::winui::DisplayBackend> B = k58::winui::CreateX11Display(O);
    ASSERT_TRUE(B) << "cannot open " << Server->Name();
    k58::winui::SetDisplayBackend(std::move(B));
    Probe = XOpenDisplay(Server->Name().c_str());
    ASSERT_NE(Probe, nullptr);
    Root = DefaultRootWindow(Probe);
    Log().Clear();
  }

  void TearDown() override {
    for (HWND H : Made)
      if (IsWindow(H)) DestroyWindow(H);
    PumpPending();
    k58::winui::ResetWindowSystemState();
    if (Probe) XCloseDisplay(Probe);
  }

  HWND Make(DWORD Style, int X, int Y, int W, int H, const char* Title = "", HWND Owner = nullptr, DWORD ExStyle = 0) {
    HWND Hwnd = CreateWindowEx(ExStyle, kSpyClass, Title, Style, X, Y, W, H, Owner, nullptr, nullptr, nullptr);
    Made.push_back(Hwnd);
    return Hwnd;
  }

  // Shows a window and waits until the server has it on the screen, and the input focus too when the
  // layer activated it: a focus move of the test that the server carried out before the back-end's own
  // request would be undone by that request.
  void ShowAndWait(HWND Hwnd, int Cmd = SW_SHOWNORMAL) {
    ShowWindow(Hwnd, Cmd);
    UpdateWindow(Hwnd);
    ASSERT_TRUE(PumpUntil([&] {
      XWindowAttributes A;
      return XGetWindowAttributes(Probe, XOf(Hwnd), &A) && A.map_state == IsViewable;
    }));
    if (GetActiveWindow() == Hwnd) {
      ASSERT_TRUE(PumpUntil([&] { return ServerFocus() == XOf(Hwnd); }));
    }
  }

  Window ServerFocus() {
    Window W = 0;
    int Revert = 0;
    XGetInputFocus(Probe, &W, &Revert);
    return W;
  }

  Window XOf(HWND Hwnd) { return k58::winui::X11WindowOf(Hwnd); }
  Atom A(const char* Name) { return XInternAtom(Probe, Name, False); }

  std::vector<long> Longs(Window W, const char* Property, Atom Type) {
    std::vector<long> Out;
    Atom Actual;
    int Format;
    unsigned long Count, After;
    unsigned char* Data = nullptr;
    if (XGetWindowProperty(Probe, W, A(Property), 0, 1 << 16, False, Type, &Actual, &Format, &Count, &After, &Data) ==
            Success &&
        Data && Format == 32)
      Out.assign(reinterpret_cast<long*>(Data), reinterpret_cast<long*>(Data) + Count);
    if (Data) XFree(Data);
    return Out;
  }

  std::string Text(Window W, const char* Property, Atom Type) {
    std::string Out;
    Atom Actual;
    int Format;
    unsigned long Count, After;
    unsigned char* Data = nullptr;
    if (XGetWindowProperty(Probe, W, A(Property), 0, 1 << 16, False, Type, &Actual, &Format, &Count, &After, &Data) ==
            Success &&
        Data && Format == 8)
      Out.assign(reinterpret_cast<char*>(Data), Count);
    if (Data) XFree(Data);
    return Out;
  }

  bool HasAtom(Window W, const char* Property, const char* Value) {
    for (long L : Longs(W, Property, XA_ATOM))
      if (static_cast<Atom>(L) == A(Value)) return true;
    return false;
  }

  // A pixel of a window as the server has it (0x00RRGGBB).
  uint32_t ServerPixel(HWND Hwnd, int X, int Y) {
    XImage* Img = XGetImage(Probe, XOf(Hwnd), X, Y, 1, 1, AllPlanes, ZPixmap);
    if (!Img) return 0xFF000000;
    uint32_t P = static_cast<uint32_t>(XGetPixel(Img, 0, 0)) & 0xFFFFFF;
    XDestroyImage(Img);
    return P;
  }

  void Send(Window W, long Mask, XEvent& E) {
    E.xany.display = Probe;
    E.xany.window = W;
    XSendEvent(Probe, W, False, Mask, &E);
    XFlush(Probe);
  }

  void SendButton(HWND Hwnd, POINT Screen, unsigned Button, bool Down) {
    RECT R;
    GetWindowRect(Hwnd, &R);
    XEvent E{};
    XButtonEvent& B = E.xbutton;
    B.type = Down ? ButtonPress : ButtonRelease;
    B.root = Root;
    B.x = Screen.x - R.left;
    B.y = Screen.y - R.top;
    B.x_root = Screen.x;
    B.y_root = Screen.y;
    B.button = Button;
    B.state = Down ? 0 : Button1Mask;
    B.same_screen = True;
    Send(XOf(Hwnd), Down ? ButtonPressMask : ButtonReleaseMask, E);
  }

  void SendKey(HWND Hwnd, KeySym Sym, unsigned State, bool Down) {
    XEvent E{};
    XKeyEvent& K = E.xkey;
    K.type = Down ? KeyPress : KeyRelease;
    K.root = Root;
    K.keycode = XKeysymToKeycode(Probe, Sym);
    K.state = State;
    K.same_screen = True;
    K.time = CurrentTime;
    Send(XOf(Hwnd), Down ? KeyPressMask : KeyReleaseMask, E);
  }

  // Sends F9 to Hwnd and waits, without dispatching, until the layer has it: every event the server
  // sent this process before it is queued for the GUI thread by then. LetKeyGo releases it again.
  void HoldUntilQueued(HWND Hwnd) {
    SendKey(Hwnd, XK_F9, 0, true);
    ASSERT_TRUE(WaitFor([] { return (GetAsyncKeyState(VK_F9) & 0x8000) != 0; }));
  }
  void LetKeyGo(HWND Hwnd) {
    SendKey(Hwnd, XK_F9, 0, false);
    ASSERT_TRUE(PumpUntil([] { return (GetAsyncKeyState(VK_F9) & 0x8000) == 0; }));
  }

  // Everything the back-end and the probe asked the server for has been carried out, and the GUI thread
  // has dispatched every event that came of it (Marker: a window of ours to send the marking key to).
  void Settle(HWND Marker) {
    PumpPending();
    k58::winui::Display().Monitors();  // a round trip on the back-end's connection
    XSync(Probe, False);
    HoldUntilQueued(Marker);
    LetKeyGo(Marker);
    PumpPending();
  }

  // Gives the X input focus to a window (what a window manager does on a click) and waits until the
  // layer made it the active window.
  void FocusAndWait(HWND Hwnd) {
    XSetInputFocus(Probe, XOf(Hwnd), RevertToParent, CurrentTime);
    XFlush(Probe);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == Hwnd; }));
  }

  static XvfbServer* Server;
  static std::string StartError;
  ::Display* Probe = nullptr;
  Window Root = 0;
  std::vector<HWND> Made;
};

XvfbServer* XvfbDisplay::Server = nullptr;
std::string XvfbDisplay::StartError;

TEST(X11Display, AServerThatCannotBeReachedGivesNoBackend) {
  k58::winui::X11Options O;
  O.DisplayName = ":32123";  // nothing listens there
  EXPECT_EQ(k58::winui::CreateX11Display(O), nullptr);
}

// ---- what the server shows ------------------------------------------------------------------------

class XvfbPresent : public XvfbDisplay, public ::testing::WithParamInterface<bool> {
protected:
  bool SharedMemory() const override { return GetParam(); }

  // Every pixel of the window's surface, frame and caption included, is what the server shows.
  bool ServerShowsSurface(HWND W) {
    k58::gdi::SurfacePtr S = k58::winui::TopLevelSurface(W);
    if (!S) return false;
    XImage* Img = XGetImage(Probe, XOf(W), 0, 0, static_cast<unsigned>(S->Width()), static_cast<unsigned>(S->Height()),
                            AllPlanes, ZPixmap);
    if (!Img) return false;
    int Wrong = 0;
    for (int Y = 0; Y < S->Height(); ++Y)
      for (int X = 0; X < S->Width(); ++X)
        if ((XGetPixel(Img, X, Y) & 0xFFFFFF) != (S->Get(X, Y) & 0xFFFFFF)) ++Wrong;
    XDestroyImage(Img);
    return Wrong == 0;
  }
};

TEST_P(XvfbPresent, ShowsTheSurfaceAndPresentsOnlyTheDamagedArea) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 60, 50, 240, 180, "Present");
  ShowAndWait(W);
  EXPECT_EQ(k58::winui::X11UsesSharedMemory(), GetParam());

  k58::gdi::SurfacePtr S = k58::winui::TopLevelSurface(W);
  ASSERT_TRUE(S);
  ASSERT_TRUE(PumpUntil([&] { return ServerShowsSurface(W); })) << "the server's pixels differ from the surface";

  // Pixels changed inside and outside the damage: only the damaged ones reach the server.
  const uint32_t Before = S->Get(110, 110);
  for (int Y = 100; Y < 110; ++Y)
    for (int X = 100; X < 110; ++X) {
      S->Set(X, Y, 0x00FF00);
      S->Set(X + 10, Y + 10, 0x0000FF);
    }
  k58::winui::Display().Present(W, RECT{100, 100, 110, 110});
  ASSERT_TRUE(PumpUntil([&] { return ServerPixel(W, 105, 105) == 0x00FF00; }));
  EXPECT_EQ(ServerPixel(W, 115, 115), Before & 0xFFFFFF);

  // Exposed parts are shown again from what was presented (another client drew over them).
  GC Gc = XCreateGC(Probe, XOf(W), 0, nullptr);
  XSetForeground(Probe, Gc, 0xFF00FF);
  XFillRectangle(Probe, XOf(W), Gc, 20, 40, 30, 30);
  XFreeGC(Probe, Gc);
  XClearArea(Probe, XOf(W), 20, 40, 30, 30, True);
  XFlush(Probe);
  EXPECT_TRUE(PumpUntil([&] { return ServerPixel(W, 30, 50) == (S->Get(30, 50) & 0xFFFFFF); }));
}

TEST_P(XvfbPresent, AWindowResizedAgainAndAgainShowsItsCurrentPixels) {
  // Growing past its memory moves the surface to new memory (with shared memory: a new segment the
  // server has to take); shrinking far below it moves it again. Each time the server shows what the
  // window painted last, not pixels of memory it left.
  HWND W = Make(WS_OVERLAPPEDWINDOW, 40, 40, 200, 150, "Resized");
  ShowAndWait(W);
  ASSERT_TRUE(PumpUntil([&] { return ServerShowsSurface(W); }));
  const SIZE Sizes[] = {{480, 360}, {120, 90}, {200, 150}, {520, 400}};
  for (SIZE Size : Sizes) {
    SCOPED_TRACE(::testing::Message() << Size.cx << "x" << Size.cy);
    SetWindowPos(W, nullptr, 0, 0, Size.cx, Size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(W);
    k58::gdi::SurfacePtr S = k58::winui::TopLevelSurface(W);
    ASSERT_TRUE(S);
    ASSERT_EQ(S->Width(), Size.cx);
    EXPECT_TRUE(PumpUntil([&] { return ServerShowsSurface(W); })) << "the server's pixels differ from the surface";
  }
}

TEST_P(XvfbPresent, AShownWindowShowsNothingUntilItsFirstPaintIsDone) {
  // Another program's window lies where ours comes: until ours is painted completely the screen keeps
  // showing what was there (our windows have no background), never our unpainted surface.
  const unsigned long Under = 0x336699;
  XSetWindowAttributes Attr{};
  Attr.override_redirect = True;
  Attr.background_pixel = Under;
  Window Beneath = XCreateWindow(Probe, Root, 40, 40, 300, 240, 0, CopyFromParent, InputOutput, CopyFromParent,
                               CWOverrideRedirect | CWBackPixel, &Attr);
  XMapWindow(Probe, Beneath);
  XSync(Probe, False);

  HWND W = Make(WS_OVERLAPPEDWINDOW, 60, 50, 240, 180, "First paint");
  ShowWindow(W, SW_SHOWNORMAL);
  ASSERT_TRUE(WaitFor([&] {
    XWindowAttributes A;
    return XGetWindowAttributes(Probe, XOf(W), &A) && A.map_state == IsViewable;
  }));
  // Nothing dispatched yet, so nothing painted: the exposure of mapping, handled by now (the key sent
  // after it has arrived), and the server's requests of the back-end, carried out by now (a round
  // trip), put no pixels.
  HoldUntilQueued(W);
  k58::winui::Display().Monitors();
  EXPECT_EQ(ServerPixel(W, 120, 100), Under);

  // Once everything is painted the window shows at once, completely.
  LetKeyGo(W);
  EXPECT_TRUE(PumpUntil([&] { return ServerShowsSurface(W); })) << "the server's pixels differ from the surface";
  XDestroyWindow(Probe, Beneath);
  XFlush(Probe);
}

TEST_P(XvfbPresent, AWindowPaintedOverAndOverWithoutWaitingForInputIsShownAllTheSame) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 60, 50, 240, 180, "Busy");
  ShowWindow(W, SW_SHOWNORMAL);
  // The program keeps repainting and never asks for messages, so it is never idle.
  EXPECT_TRUE(WaitFor([&] {
    InvalidateRect(W, nullptr, TRUE);
    UpdateWindow(W);
    return ServerShowsSurface(W);
  }));
}

// The shared-memory segments this process created that still exist (a segment marked for removal goes
// when the last process, the server included, lets go of it).
std::set<int> OurSegments() {
  std::set<int> Ids;
  std::ifstream F("/proc/sysvipc/shm");
  std::string Line;
  std::getline(F, Line);  // the column titles
  while (std::getline(F, Line)) {
    std::istringstream L(Line);
    long Key = 0, Perms = 0, Size = 0;
    int Id = -1, Creator = 0;
    if (L >> Key >> Id >> Perms >> Size >> Creator && Creator == getpid()) Ids.insert(Id);
  }
  return Ids;
}

int Attachments(int SharedId) {
  shmid_ds Info{};
  return shmctl(SharedId, IPC_STAT, &Info) == 0 ? static_cast<int>(Info.shm_nattch) : -1;
}

TEST_P(XvfbPresent, ThePreparedFirstSurfaceIsShownByTheWindowThatGetsItAndLetGoOtherwise) {
  // With shared memory the server takes the prepared surface in while it is made; a window that gets it
  // shows its pixels through that one attachment, and memory no window took is let go by the server too.
  MONITORINFO Info;
  Info.cbSize = sizeof(Info);
  ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &Info));
  const int FullW = Info.rcWork.right - Info.rcWork.left + 2 * GetSystemMetrics(SM_CXFRAME);
  const int FullH = Info.rcWork.bottom - Info.rcWork.top + 2 * GetSystemMetrics(SM_CYFRAME);
  struct Case {
    int W, H;
  };
  // Maximized, much smaller (the memory moves to a smaller block), larger than prepared (not used).
  for (const Case C : {Case{FullW, FullH}, Case{120, 90}, Case{FullW + 50, FullH}}) {
    SCOPED_TRACE(::testing::Message() << C.W << "x" << C.H);
    const std::set<int> Before = OurSegments();
    k58::winui::PrepareFirstSurface();
    if (GetParam()) {
      // The server has taken the prepared segment in before the window comes.
      std::vector<int> New;
      ASSERT_TRUE(WaitFor([&] {
        New.clear();
        for (int Id : OurSegments())
          if (!Before.count(Id)) New.push_back(Id);
        return New.size() == 1 && Attachments(New[0]) == 2;
      }));
    }
    HWND W = Make(WS_POPUP, 0, 0, C.W, C.H);
    ShowAndWait(W);
    k58::gdi::SurfacePtr S = k58::winui::TopLevelSurface(W);
    ASSERT_TRUE(S);
    ASSERT_EQ(S->Width(), C.W);
    // (A window of the work area's size with its frame reaches past the screen, where the server keeps no
    // pixels to compare.)
    HDC Dc = GetDC(W);
    RECT Spot{40, 40, 50, 50};
    FillRect(Dc, &Spot, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(W, Dc);
    // A window the server has not been shown yet is black there too, so the spot's surroundings count as well.
    const uint32_t Around = S->Get(60, 60) & 0xFFFFFF;
    ASSERT_NE(Around, 0u);
    EXPECT_TRUE(PumpUntil([&] { return ServerPixel(W, 45, 45) == 0 && ServerPixel(W, 60, 60) == Around; }))
        << "the painted window is not shown";
    if (GetParam()) {
      ASSERT_GE(S->SharedId(), 0);
      EXPECT_EQ(Attachments(S->SharedId()), 2) << "this process and the server, once each";
    }
    S.reset();
    DestroyWindow(W);
    EXPECT_TRUE(PumpUntil([&] { return OurSegments() == Before; })) << "a segment outlived every window";
  }
}

INSTANTIATE_TEST_SUITE_P(Xvfb, XvfbPresent, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& I) { return I.param ? "Shm" : "PutImage"; });

// ---- window-manager hints ---------------------------------------------------------------------------

TEST_F(XvfbDisplay, TopLevelWindowsCarryTitleTypeProtocolsAndNoDecoration) {
  const std::string Title = "K58 \xE9\xA2\x91\xE9\x81\x93";  // Chinese in the title
  HWND W = Make(WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, Title.c_str());
  ShowAndWait(W);
  Window X = XOf(W);
  EXPECT_EQ(Text(X, "_NET_WM_NAME", A("UTF8_STRING")), Title);
  EXPECT_TRUE(HasAtom(X, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL"));
  EXPECT_TRUE(HasAtom(X, "WM_PROTOCOLS", "WM_DELETE_WINDOW"));
  std::vector<long> Motif = Longs(X, "_MOTIF_WM_HINTS", A("_MOTIF_WM_HINTS"));
  ASSERT_GE(Motif.size(), 3u);
  EXPECT_EQ(Motif[2], 0) << "the layer draws the frame: no decoration by the window manager";
  EXPECT_EQ(Longs(X, "_NET_WM_PID", XA_CARDINAL), std::vector<long>{static_cast<long>(getpid())});
  XWindowAttributes Attr;
  ASSERT_TRUE(XGetWindowAttributes(Probe, X, &Attr));
  EXPECT_FALSE(Attr.override_redirect);
  EXPECT_EQ(Attr.x, 40);
  EXPECT_EQ(Attr.width, 300);

  SetWindowText(W, "Renamed");
  EXPECT_TRUE(PumpUntil([&] { return Text(X, "_NET_WM_NAME", A("UTF8_STRING")) == "Renamed"; }));
}

TEST_F(XvfbDisplay, PopupsAreOverrideRedirectAndModalDialogsAreMarked) {
  HWND Main = Make(WS_OVERLAPPEDWINDOW, 40, 40, 400, 300, "Main");
  ShowAndWait(Main);
  HWND Menu = Make(WS_POPUP | WS_BORDER, 60, 60, 120, 80, "", Main, WS_EX_TOOLWINDOW);
  HWND Dialog = Make(WS_POPUP | WS_CAPTION | WS_SYSMENU, 100, 100, 200, 120, "Dialog", Main, WS_EX_DLGMODALFRAME);
  ShowAndWait(Menu, SW_SHOWNOACTIVATE);
  XWindowAttributes Attr;
  ASSERT_TRUE(XGetWindowAttributes(Probe, XOf(Menu), &Attr));
  EXPECT_TRUE(Attr.override_redirect);

  // Shown while its owner is disabled, as a modal loop does.
  EnableWindow(Main, FALSE);
  ShowAndWait(Dialog);
  Window D = XOf(Dialog);
  ASSERT_TRUE(XGetWindowAttributes(Probe, D, &Attr));
  EXPECT_FALSE(Attr.override_redirect);
  EXPECT_TRUE(HasAtom(D, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"));
  EXPECT_TRUE(HasAtom(D, "_NET_WM_STATE", "_NET_WM_STATE_MODAL"));
  Window For = 0;
  EXPECT_TRUE(XGetTransientForHint(Probe, D, &For));
  EXPECT_EQ(For, XOf(Main));
  // Not sizeable: the window manager is told to keep the size.
  XSizeHints Size{};
  long Supplied = 0;
  ASSERT_TRUE(XGetWMNormalHints(Probe, D, &Size, &Supplied));
  EXPECT_TRUE((Size.flags & PMinSize) && (Size.flags & PMaxSize));
  EXPECT_EQ(Size.min_width, 200);
  EXPECT_EQ(Size.max_width, 200);
  EnableWindow(Main, TRUE);
}

TEST_F(XvfbDisplay, MaximisedWindowsAndIconsAreToldToTheWindowManager) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, "Big");
  ShowAndWait(W);
  Window X = XOf(W);
  ShowWindow(W, SW_MAXIMIZE);
  EXPECT_TRUE(PumpUntil([&] {
    return HasAtom(X, "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT") &&
           HasAtom(X, "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_HORZ");
  }));
  ShowWindow(W, SW_RESTORE);
  EXPECT_TRUE(PumpUntil([&] { return !HasAtom(X, "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT"); }));

  // A 16x16 icon: a white square with a transparent border of two pixels.
  std::vector<BYTE> AndBits(16 * 2, 0), XorBits(16 * 2, 0);
  for (int Y = 0; Y < 16; ++Y)
    for (int Xp = 0; Xp < 16; ++Xp) {
      bool Border = Xp < 2 || Y < 2 || Xp >= 14 || Y >= 14;
      BYTE Bit = static_cast<BYTE>(0x80 >> (Xp % 8));
      if (Border) AndBits[static_cast<size_t>(Y) * 2 + Xp / 8] |= Bit;
      else XorBits[static_cast<size_t>(Y) * 2 + Xp / 8] |= Bit;
    }
  HICON Icon = CreateCursor(nullptr, 0, 0, 16, 16, AndBits.data(), XorBits.data());
  ASSERT_NE(Icon, nullptr);
  SendMessage(W, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon));
  std::vector<long> Data;
  ASSERT_TRUE(PumpUntil([&] {
    Data = Longs(X, "_NET_WM_ICON", XA_CARDINAL);
    return Data.size() == 2 + 16 * 16;
  }));
  EXPECT_EQ(Data[0], 16);
  EXPECT_EQ(Data[1], 16);
  EXPECT_EQ(static_cast<unsigned long>(Data[2 + 0]) & 0xFFFFFFFF, 0u) << "transparent border";
  EXPECT_EQ(static_cast<unsigned long>(Data[2 + 8 * 16 + 8]) & 0xFFFFFFFF, 0xFFFFFFFFu) << "opaque white inside";
  DestroyCursor(Icon);
}

// ---- input --------------------------------------------------------------------------------------------

TEST_F(XvfbDisplay, ButtonsAndWheelArriveAtTheWindowUnderThePointer) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, "Mouse");
  ShowAndWait(W);
  FocusAndWait(W);
  POINT At{200, 180};
  POINT Client = At;
  ScreenToClient(W, &Client);
  SendButton(W, At, Button1, true);
  SendButton(W, At, Button1, false);
  ASSERT_TRUE(PumpUntil([&] { return Count(W, WM_LBUTTONUP) == 1; }));
  const Message* Down = Last(W, WM_LBUTTONDOWN);
  ASSERT_NE(Down, nullptr);
  EXPECT_EQ(GET_X_LPARAM(Down->LParam), Client.x);
  EXPECT_EQ(GET_Y_LPARAM(Down->LParam), Client.y);

  // Wheel notches are buttons 4 (away from the user) and 5.
  SendButton(W, At, Button4, true);
  SendButton(W, At, Button4, false);
  SendButton(W, At, Button5, true);
  SendButton(W, At, Button5, false);
  ASSERT_TRUE(PumpUntil([&] { return Count(W, WM_MOUSEWHEEL) == 2; }));
  std::vector<int> Deltas;
  for (const Message& S : Log())
    if (S.Hwnd == W && S.Msg == WM_MOUSEWHEEL) Deltas.push_back(static_cast<short>(HIWORD(S.WParam)));
  EXPECT_EQ(Deltas, (std::vector<int>{WHEEL_DELTA, -WHEEL_DELTA}));
}

TEST_F(XvfbDisplay, KeysArriveAsVirtualKeysAndCharacters) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, "Keys");
  ShowAndWait(W);
  FocusAndWait(W);
  ASSERT_EQ(GetFocus(), W);

  struct {
    KeySym Sym;
    unsigned State;
    WPARAM Vk;
    WPARAM Char;  // 0: no WM_CHAR
  } Cases[] = {
      {XK_a, 0, 'A', 'a'},
      {XK_a, ShiftMask, 'A', 'A'},
      {XK_a, ControlMask, 'A', 0x01},
      {XK_Return, 0, VK_RETURN, '\r'},
      {XK_Delete, 0, VK_DELETE, 0},  // X gives DEL; the original platform no character
      {XK_Left, 0, VK_LEFT, 0},
  };
  for (const auto& C : Cases) {
    Log().Clear();
    SendKey(W, C.Sym, C.State, true);
    SendKey(W, C.Sym, C.State, false);
    ASSERT_TRUE(PumpUntil([&] { return Count(W, WM_KEYUP) == 1; })) << XKeysymToString(C.Sym);
    const Message* Down = Last(W, WM_KEYDOWN);
    ASSERT_NE(Down, nullptr) << XKeysymToString(C.Sym);
    EXPECT_EQ(Down->WParam, C.Vk) << XKeysymToString(C.Sym);
    const Message* Char = Last(W, WM_CHAR);
    if (C.Char) {
      ASSERT_NE(Char, nullptr) << XKeysymToString(C.Sym);
      EXPECT_EQ(Char->WParam, C.Char) << XKeysymToString(C.Sym);
    } else {
      EXPECT_EQ(Char, nullptr) << XKeysymToString(C.Sym);
    }
  }

  // A release without a press we reported (the press went to an input method or another program) is
  // no key going up; the next key is still reported.
  Log().Clear();
  SendKey(W, XK_b, 0, false);
  SendKey(W, XK_c, 0, true);
  SendKey(W, XK_c, 0, false);
  ASSERT_TRUE(PumpUntil([&] { return Count(W, WM_KEYUP) >= 1; }));
  EXPECT_EQ(Count(W, WM_KEYUP), 1);
  EXPECT_EQ(Last(W, WM_KEYUP)->WParam, WPARAM{'C'});
}

TEST_F(XvfbDisplay, FocusMovesActivateAndKeysHeldWhenTheApplicationLosesFocusAreReleased) {
  HWND A = Make(WS_OVERLAPPEDWINDOW, 40, 40, 200, 150, "A");
  HWND B = Make(WS_OVERLAPPEDWINDOW, 300, 40, 200, 150, "B");
  ShowAndWait(A);
  ShowAndWait(B);
  FocusAndWait(A);
  FocusAndWait(B);
  // From one of ours to another: the application stays active throughout.
  for (const Message& S : Log()) EXPECT_FALSE(S.Msg == WM_ACTIVATEAPP && S.WParam == FALSE);

  SendKey(B, XK_Shift_L, 0, true);
  ASSERT_TRUE(PumpUntil([&] { return Count(B, WM_KEYDOWN) >= 1; }));
  EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);

  XSetInputFocus(Probe, PointerRoot, RevertToPointerRoot, CurrentTime);
  XFlush(Probe);
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == nullptr; }));
  EXPECT_EQ(Count(B, WM_ACTIVATEAPP), 1 + 1) << "activated once, deactivated once";
  EXPECT_TRUE(PumpUntil([&] { return !(GetAsyncKeyState(VK_SHIFT) & 0x8000); }))
      << "Shift released elsewhere stays down";
}

// Focus changes the event thread reported but the GUI thread has not applied yet: the tests hold the
// GUI thread still until a key sent after them is queued, so the order of the two threads is fixed.
using XvfbFocusOrder = XvfbDisplay;

TEST_F(XvfbFocusOrder, AFocusChangeAlreadyOvertakenDoesNotTakeTheFocusBack) {
  HWND A = Make(WS_OVERLAPPEDWINDOW, 40, 40, 200, 150, "A");
  HWND B = Make(WS_OVERLAPPEDWINDOW, 300, 40, 200, 150, "B");
  ShowAndWait(A);
  ShowAndWait(B);
  FocusAndWait(A);
  // The user goes to B and back to A before the layer has heard of either.
  XSetInputFocus(Probe, XOf(B), RevertToParent, CurrentTime);
  XSetInputFocus(Probe, XOf(A), RevertToParent, CurrentTime);
  HoldUntilQueued(A);
  LetKeyGo(A);
  Settle(A);
  EXPECT_EQ(GetActiveWindow(), A);
  EXPECT_EQ(ServerFocus(), XOf(A)) << "passing through B asked the server for the focus";
}

TEST_F(XvfbFocusOrder, TheProgramsActivationOutlivesTheFocusItsEarlierRequestBrought) {
  HWND A = Make(WS_OVERLAPPEDWINDOW, 40, 40, 200, 150, "A");
  HWND B = Make(WS_OVERLAPPEDWINDOW, 300, 40, 200, 150, "B");
  // A takes the focus; the layer has not yet heard so when the program shows and activates B.
  ShowWindow(A, SW_SHOWNORMAL);
  ASSERT_TRUE(WaitFor([&] { return ServerFocus() == XOf(A); }));
  HoldUntilQueued(A);
  ShowWindow(B, SW_SHOWNORMAL);
  Log().Clear();
  LetKeyGo(A);
  ASSERT_TRUE(PumpUntil([&] { return ServerFocus() == XOf(B); }));
  Settle(B);
  EXPECT_EQ(GetActiveWindow(), B) << "the late news of A's focus undid the program's activation";
  for (const Message& S : Log())
    EXPECT_FALSE(S.Hwnd == A && S.Msg == WM_ACTIVATE && LOWORD(S.WParam) != WA_INACTIVE)
        << "A was activated again in between";
  // From there on the user's moves are followed as always.
  FocusAndWait(A);
  Settle(A);
  EXPECT_EQ(ServerFocus(), XOf(A));
}

TEST_F(XvfbFocusOrder, HidingOrDestroyingTheFocusedWindowPassesTheFocusToItsOwner) {
  HWND Main = Make(WS_OVERLAPPEDWINDOW, 40, 40, 400, 300, "Main");
  ShowAndWait(Main);
  for (const bool Destroy : {false, true}) {
    SCOPED_TRACE(Destroy ? "destroyed" : "hidden");
    HWND Dialog = Make(WS_POPUP | WS_CAPTION | WS_SYSMENU, 100, 100, 200, 120, "Dialog", Main);
    ShowAndWait(Dialog);
    ASSERT_EQ(GetActiveWindow(), Dialog);
    Log().Clear();
    if (Destroy)
      DestroyWindow(Dialog);
    else
      ShowWindow(Dialog, SW_HIDE);
    ASSERT_TRUE(PumpUntil([&] { return ServerFocus() == XOf(Main); }));
    Settle(Main);
    EXPECT_EQ(GetActiveWindow(), Main);
    EXPECT_EQ(Count(Main, WM_ACTIVATEAPP), 0) << "the application lost the activation on the way";
  }
}

TEST_F(XvfbDisplay, ThePointerLeavingTheWindowsEndsMouseTracking) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, "Leave");
  ShowAndWait(W);
  XWarpPointer(Probe, None, Root, 0, 0, 0, 0, 250, 200);
  XFlush(Probe);
  ASSERT_TRUE(PumpUntil([&] { return Count(W, WM_MOUSEMOVE) >= 1; }));
  TRACKMOUSEEVENT Track{};
  Track.cbSize = sizeof Track;
  Track.dwFlags = TME_LEAVE;
  Track.hwndTrack = W;
  ASSERT_TRUE(TrackMouseEvent(&Track));
  XWarpPointer(Probe, None, Root, 0, 0, 0, 0, 700, 600);  // onto the bare root window
  XFlush(Probe);
  EXPECT_TRUE(PumpUntil([&] { return Count(W, WM_MOUSELEAVE) == 1; }));
}

TEST_F(XvfbDisplay, OurCursorsBecomeXCursors) {
  // 16x16: transparent left half; on the right white above black.
  std::vector<BYTE> AndBits(16 * 2, 0), XorBits(16 * 2, 0);
  for (int Y = 0; Y < 16; ++Y) {
    AndBits[static_cast<size_t>(Y) * 2] = 0xFF;
    if (Y < 8) XorBits[static_cast<size_t>(Y) * 2 + 1] = 0xFF;
  }
  HCURSOR Shape = CreateCursor(nullptr, 3, 4, 16, 16, AndBits.data(), XorBits.data());
  ASSERT_NE(Shape, nullptr);
  WNDCLASS C{};
  C.lpfnWndProc = SpyProc;
  C.hCursor = Shape;
  C.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  C.lpszClassName = "X11CursorSpy";
  RegisterClass(&C);
  HWND W = CreateWindowEx(0, "X11CursorSpy", "Cursor", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr, nullptr,
                          nullptr, nullptr);
  Made.push_back(W);
  ShowAndWait(W);
  XWarpPointer(Probe, None, Root, 0, 0, 0, 0, 250, 200);
  XFlush(Probe);
  XFixesCursorImage* Img = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    if (Img) XFree(Img);
    Img = XFixesGetCursorImage(Probe);
    return Img && Img->xhot == 3 && Img->yhot == 4;
  })) << "the pointer does not show our cursor";
  ASSERT_EQ(Img->width, 16);
  ASSERT_EQ(Img->height, 16);
  auto At = [&](int X, int Y) { return static_cast<uint32_t>(Img->pixels[Y * 16 + X]); };
  EXPECT_EQ(At(2, 2) >> 24, 0u) << "transparent";
  EXPECT_EQ(At(12, 2), 0xFFFFFFFFu) << "white";
  EXPECT_EQ(At(12, 12), 0xFF000000u) << "black";
  XFree(Img);
  DestroyWindow(W);
  UnregisterClass("X11CursorSpy", nullptr);
}

TEST_F(XvfbDisplay, AnXEventWakesAWaitingMessageLoop) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, "Wake");
  ShowAndWait(W);
  PumpPending();
  std::thread Later([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    XWarpPointer(Probe, None, Root, 0, 0, 0, 0, 250, 200);
    XFlush(Probe);
  });
  // One long wait: it ends because the event arrived, not by polling.
  DWORD R = MsgWaitForMultipleObjects(0, nullptr, FALSE, 15000, QS_ALLINPUT);
  Later.join();
  EXPECT_EQ(R, WAIT_OBJECT_0);
  EXPECT_TRUE(PumpUntil([&] { return Count(W, WM_MOUSEMOVE) >= 1; }));
}

// ---- the window manager's requests ---------------------------------------------------------------------

TEST_F(XvfbDisplay, MovesFromOutsideReachTheLayerAndItsOwnMovesDoNotBounce) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, "Moved");
  ShowAndWait(W);
  XMoveResizeWindow(Probe, XOf(W), 200, 150, 320, 240);
  XFlush(Probe);
  RECT R{};
  ASSERT_TRUE(PumpUntil([&] {
    GetWindowRect(W, &R);
    return R.left == 200 && R.top == 150 && R.right == 520 && R.bottom == 390;
  })) << R.left << "," << R.top << " " << R.right << "," << R.bottom;
  EXPECT_GE(Count(W, WM_SIZE), 1);

  // Three moves of the program in a row: the echoes of the first two must not pull it back.
  SetWindowPos(W, nullptr, 10, 10, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(W, nullptr, 20, 20, 150, 110, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(W, nullptr, 30, 30, 200, 120, SWP_NOZORDER | SWP_NOACTIVATE);
  auto AtLast = [&] {
    Window Child;
    int X, Y;
    unsigned Wd, Ht, Border, Depth;
    XGetGeometry(Probe, XOf(W), &Child, &X, &Y, &Wd, &Ht, &Border, &Depth);
    GetWindowRect(W, &R);
    return X == 30 && Y == 30 && Wd == 200 && Ht == 120 && R.left == 30 && R.right == 230;
  };
  ASSERT_TRUE(PumpUntil(AtLast));
  Settle(W);  // every echo has arrived
  EXPECT_TRUE(AtLast());
}

TEST_F(XvfbDisplay, MinimisingAndMaximisingByTheWindowManagerReachTheLayer) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, "States");
  ShowAndWait(W);
  Window X = XOf(W);
  // The probe plays the window manager: it records the states in the window's properties.
  auto SetWmState = [&](long State) {
    long Data[2] = {State, 0};
    XChangeProperty(Probe, X, A("WM_STATE"), A("WM_STATE"), 32, PropModeReplace, reinterpret_cast<unsigned char*>(Data),
                    2);
    XFlush(Probe);
  };
  auto SetMaximized = [&](bool On) {
    Atom Both[2] = {A("_NET_WM_STATE_MAXIMIZED_VERT"), A("_NET_WM_STATE_MAXIMIZED_HORZ")};
    XChangeProperty(Probe, X, A("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(Both),
                    On ? 2 : 0);
    XFlush(Probe);
  };
  SetWmState(NormalState);
  SetWmState(IconicState);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(W); })) << "iconified from the task bar";
  SetWmState(NormalState);
  ASSERT_TRUE(PumpUntil([&] { return !IsIconic(W); })) << "restored from the task bar";
  SetMaximized(true);
  ASSERT_TRUE(PumpUntil([&] { return IsZoomed(W); }));
  SetMaximized(false);
  ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(W); }));

  // The program minimises: the window manager's answer changes nothing more, and the X window keeps
  // its place (the layer parks minimised windows far away).
  ShowWindow(W, SW_MINIMIZE);
  SetWmState(IconicState);
  Settle(W);
  EXPECT_TRUE(IsIconic(W));
  XWindowAttributes Attr;
  ASSERT_TRUE(XGetWindowAttributes(Probe, X, &Attr));
  EXPECT_EQ(Attr.x, 40);
  EXPECT_EQ(Attr.width, 300);
}

TEST_F(XvfbDisplay, TheCloseProtocolClosesTheWindow) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, "Closing");
  ShowAndWait(W);
  XEvent E{};
  E.xclient.type = ClientMessage;
  E.xclient.message_type = A("WM_PROTOCOLS");
  E.xclient.format = 32;
  E.xclient.data.l[0] = static_cast<long>(A("WM_DELETE_WINDOW"));
  Send(XOf(W), NoEventMask, E);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(W); }));
  EXPECT_EQ(Count(W, WM_CLOSE), 1);
}

// ---- clipboard -----------------------------------------------------------------------------------------

// Asks for the CLIPBOARD selection in a format, as another program would; follows incremental
// transfers. Answers false when the owner refuses. Requestor: the window to receive it (0: a window
// of its own); AbandonAfter: chunks of an incremental transfer taken before giving it up (false then).
bool Convert(::Display* Dpy, const char* Target, std::string& Out, Atom* Type = nullptr, Window Requestor = 0,
             int AbandonAfter = -1) {
  Window W = Requestor ? Requestor : XCreateSimpleWindow(Dpy, DefaultRootWindow(Dpy), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(Dpy, W, PropertyChangeMask);
  Atom Prop = XInternAtom(Dpy, "PROBE_SELECTION", False);
  Atom Incr = XInternAtom(Dpy, "INCR", False);
  XConvertSelection(Dpy, XInternAtom(Dpy, "CLIPBOARD", False), XInternAtom(Dpy, Target, False), Prop, W, CurrentTime);
  XFlush(Dpy);
  auto Next = [&](int Type, XEvent& E) {
    return WaitFor([&] {
      while (XPending(Dpy)) {
        XNextEvent(Dpy, &E);
        if (E.type == Type && (Type != PropertyNotify || (E.xproperty.atom == Prop && E.xproperty.state == PropertyNewValue)))
          return true;
      }
      return false;
    });
  };
  auto Take = [&](std::string& Data, Atom& Actual) {
    int Format;
    unsigned long Count, After;
    unsigned char* Bytes = nullptr;
    XGetWindowProperty(Dpy, W, Prop, 0, 1 << 24, True, AnyPropertyType, &Actual, &Format, &Count, &After, &Bytes);
    size_t Unit = Format == 32 ? sizeof(long) : static_cast<size_t>(Format / 8);
    Data.assign(reinterpret_cast<char*>(Bytes), Bytes ? Count * Unit : 0);
    if (Bytes) XFree(Bytes);
  };
  XEvent E;
  bool Ok = Next(SelectionNotify, E) && E.xselection.property != None;
  if (Ok) {
    Atom Actual = 0;
    Take(Out, Actual);
    if (Actual == Incr) {
      Out.clear();
      for (int Taken = 0;; ++Taken) {
        if (Taken == AbandonAfter || !Next(PropertyNotify, E)) {
          Ok = false;
          break;
        }
        std::string Chunk;
        Take(Chunk, Actual);
        if (Chunk.empty()) break;
        Out += Chunk;
      }
    }
    if (Type) *Type = Actual;
  }
  if (!Requestor) XDestroyWindow(Dpy, W);
  return Ok;
}

void SetClipboardText(HWND Owner, const std::u16string& Text) {
  ASSERT_TRUE(OpenClipboard(Owner));
  EmptyClipboard();
  HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, (Text.size() + 1) * sizeof(char16_t));
  std::memcpy(GlobalLock(H), Text.c_str(), (Text.size() + 1) * sizeof(char16_t));
  GlobalUnlock(H);
  SetClipboardData(CF_UNICODETEXT, H);
  CloseClipboard();
}

bool GetClipboardText(HWND Owner, std::u16string& Text) {
  if (!OpenClipboard(Owner)) return false;
  HANDLE H = GetClipboardData(CF_UNICODETEXT);
  if (H) Text = static_cast<const char16_t*>(GlobalLock(H));
  if (H) GlobalUnlock(H);
  CloseClipboard();
  return H != nullptr;
}

TEST_F(XvfbDisplay, ClipboardTextIsOfferedToOtherPrograms) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, "Clip");
  SetClipboardText(W, u"Line 1\r\n\u9891\u9053 2");
  ASSERT_TRUE(WaitFor([&] { return XGetSelectionOwner(Probe, A("CLIPBOARD")) != None; }));

  std::string Got;
  Atom Type = 0;
  ASSERT_TRUE(Convert(Probe, "UTF8_STRING", Got, &Type));
  EXPECT_EQ(Got, "Line 1\n\xE9\xA2\x91\xE9\x81\x93 2") << "line feeds on X";
  EXPECT_EQ(Type, A("UTF8_STRING"));
  ASSERT_TRUE(Convert(Probe, "STRING", Got));
  EXPECT_EQ(Got, "Line 1\n?? 2") << "Latin-1 for STRING";
  ASSERT_TRUE(Convert(Probe, "TARGETS", Got));
  std::vector<long> Targets(reinterpret_cast<const long*>(Got.data()),
                            reinterpret_cast<const long*>(Got.data()) + Got.size() / sizeof(long));
  EXPECT_NE(std::find(Targets.begin(), Targets.end(), static_cast<long>(A("UTF8_STRING"))), Targets.end());
  EXPECT_FALSE(Convert(Probe, "image/png", Got)) << "formats we do not have are refused";

  // Larger than one request: sent incrementally, nothing lost.
  std::u16string Big;
  std::string Expected;
  for (int I = 0; I < 60000; ++I) {
    std::string Line = "line " + std::to_string(I);
    Big += std::u16string(Line.begin(), Line.end()) + u"\r\n";
    Expected += Line + "\n";
  }
  SetClipboardText(W, Big);
  ASSERT_TRUE(Convert(Probe, "UTF8_STRING", Got));
  EXPECT_EQ(Got.size(), Expected.size());
  EXPECT_TRUE(Got == Expected);

  // A requestor that gave up a transfer halfway asks again into the same property: it gets the whole
  // text from the start, not the rest of the abandoned transfer.
  Window Requestor = XCreateSimpleWindow(Probe, Root, 0, 0, 1, 1, 0, 0, 0);
  EXPECT_FALSE(Convert(Probe, "UTF8_STRING", Got, nullptr, Requestor, 1));
  XDeleteProperty(Probe, Requestor, A("PROBE_SELECTION"));
  ASSERT_TRUE(Convert(Probe, "UTF8_STRING", Got, nullptr, Requestor));
  EXPECT_EQ(Got.size(), Expected.size());
  EXPECT_TRUE(Got == Expected);
  XDestroyWindow(Probe, Requestor);
}

// Another program owning CLIPBOARD on its own connection and thread.
class ForeignOwner {
public:
  ForeignOwner(const std::string& DisplayName, std::string Text) : text_(std::move(Text)) {
    dpy_ = XOpenDisplay(DisplayName.c_str());
    win_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(dpy_, XInternAtom(dpy_, "CLIPBOARD", False), win_, CurrentTime);
    XFlush(dpy_);
    thread_ = std::thread([this] { Loop(); });
  }
  ~ForeignOwner() {
    stop_ = true;
    thread_.join();
    XCloseDisplay(dpy_);
  }
  // Takes the clipboard again with new text (a new copy in that program); Answer false: it stops
  // answering, as a hung program.
  void Retake(std::string Text, bool Answer) {
    {
      std::lock_guard<std::mutex> G(lock_);
      next_ = std::move(Text);
      nextAnswer_ = Answer;
      retake_ = true;
    }
    WaitFor([this] { return !retake_; });
  }

private:
  void Loop() {
    while (!stop_) {
      {
        std::lock_guard<std::mutex> G(lock_);
        if (retake_) {
          text_ = next_;
          mute_ = !nextAnswer_;
          XSetSelectionOwner(dpy_, XInternAtom(dpy_, "CLIPBOARD", False), win_, CurrentTime);
          XSync(dpy_, False);
          retake_ = false;
        }
      }
      pollfd P{ConnectionNumber(dpy_), POLLIN, 0};
      poll(&P, 1, 20);
      while (XPending(dpy_)) {
        XEvent E;
        XNextEvent(dpy_, &E);
        if (E.type != SelectionRequest || mute_) continue;
        XSelectionRequestEvent& R = E.xselectionrequest;
        XEvent Reply{};
        Reply.xselection.type = SelectionNotify;
        Reply.xselection.requestor = R.requestor;
        Reply.xselection.selection = R.selection;
        Reply.xselection.target = R.target;
        Reply.xselection.time = R.time;
        Reply.xselection.property = None;
        if (R.target == XInternAtom(dpy_, "UTF8_STRING", False)) {
          XChangeProperty(dpy_, R.requestor, R.property, R.target, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(text_.data()), static_cast<int>(text_.size()));
          Reply.xselection.property = R.property;
        }
        XSendEvent(dpy_, R.requestor, False, NoEventMask, &Reply);
        XFlush(dpy_);
      }
    }
  }
  ::Display* dpy_;
  Window win_;
  std::string text_;
  bool mute_ = false;
  std::mutex lock_;
  std::string next_;
  bool nextAnswer_ = true;
  std::atomic<bool> retake_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(XvfbDisplay, TextOfAnotherProgramsClipboardIsPastedAndAHungOwnerDoesNotHang) {
  HWND W = Make(WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, "Paste");
  SetClipboardText(W, u"ours");
  ASSERT_TRUE(WaitFor([&] { return XGetSelectionOwner(Probe, A("CLIPBOARD")) != None; }));
  Window Ours = XGetSelectionOwner(Probe, A("CLIPBOARD"));

  // Another program takes the clipboard: ours is dropped and theirs is what a paste gets.
  ForeignOwner Other(Server->Name(), "from X\nline 2 \xE9\xA2\x91");
  ASSERT_TRUE(WaitFor([&] { return XGetSelectionOwner(Probe, A("CLIPBOARD")) != Ours; }));
  std::u16string Text;
  ASSERT_TRUE(PumpUntil([&] { return GetClipboardText(W, Text) && Text != u"ours"; }));
  EXPECT_EQ(Text, u"from X\r\nline 2 \u9891");

  // A new copy in that program replaces what was pasted before.
  Other.Retake("second", true);
  EXPECT_TRUE(PumpUntil([&] { return GetClipboardText(W, Text) && Text == u"second"; }));

  // An owner that does not answer: once the layer heard of the new copy, a paste gives up after a
  // while and finds nothing (no hang).
  Other.Retake("third", false);
  EXPECT_TRUE(PumpUntil([&] { return !GetClipboardText(W, Text); }));
}

}  // namespace

}  // namespace winui_test
