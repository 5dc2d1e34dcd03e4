// The desktop demo on a private X server, driven from outside the process with xdotool as a person
// would drive it: a click, typed text (Chinese included), a menu command chosen with the mouse, closing
// through the window manager's protocol. A screenshot of the server's screen, with the menu open, is
// left next to the test program.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "X11TestSupport.h"
#include "platform/win/gdi/Gdi.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace winui_test {

namespace {

using namespace x11test;

std::vector<std::string> ReadLines(const std::string& Path) {
  std::vector<std::string> Lines;
  std::ifstream In(Path);
  std::string L;
  while (std::getline(In, L)) Lines.push_back(L);
  return Lines;
}

bool HasLine(const std::string& Path, const std::string& Line) {
  for (const std::string& L : ReadLines(Path))
    if (L == Line) return true;
  return false;
}

std::string LineStarting(const std::string& Path, const std::string& Prefix) {
  for (const std::string& L : ReadLines(Path))
    if (L.rfind(Prefix, 0) == 0) return L;
  return {};
}

// Sends the window manager's close request (WM_DELETE_WINDOW) to a window.
void RequestClose(const std::string& DisplayName, unsigned long Window) {
  ::Display* Dpy = XOpenDisplay(DisplayName.c_str());
  ASSERT_NE(Dpy, nullptr);
  XEvent E{};
  E.xclient.type = ClientMessage;
  E.xclient.window = Window;
  E.xclient.message_type = XInternAtom(Dpy, "WM_PROTOCOLS", False);
  E.xclient.format = 32;
  E.xclient.data.l[0] = static_cast<long>(XInternAtom(Dpy, "WM_DELETE_WINDOW", False));
  E.xclient.data.l[1] = CurrentTime;
  XSendEvent(Dpy, Window, False, NoEventMask, &E);
  XCloseDisplay(Dpy);
}

// Gives characters keys of their own on spare key codes. Without them xdotool maps a spare key for each
// character just before pressing it and unmaps it right after, and a busy program may look the key up
// only after the unmapping.
void MapCharacters(const std::string& DisplayName, const std::vector<KeySym>& Symbols) {
  ::Display* Dpy = XOpenDisplay(DisplayName.c_str());
  ASSERT_NE(Dpy, nullptr);
  int Min = 0, Max = 0, Per = 0;
  XDisplayKeycodes(Dpy, &Min, &Max);
  KeySym* Map = XGetKeyboardMapping(Dpy, static_cast<KeyCode>(Min), Max - Min + 1, &Per);
  size_t Next = 0;
  for (int Code = Max; Code >= Min && Next < Symbols.size(); --Code) {
    bool Unused = true;
    for (int I = 0; I < Per; ++I)
      if (Map[(Code - Min) * Per + I] != NoSymbol) Unused = false;
    if (!Unused) continue;
    KeySym Sym = Symbols[Next++];
    XChangeKeyboardMapping(Dpy, Code, 1, &Sym, 1);
  }
  XFree(Map);
  XSync(Dpy, False);
  XCloseDisplay(Dpy);
  ASSERT_EQ(Next, Symbols.size()) << "no spare key codes";
}

TEST(XvfbDemo, TakesAClickTypedTextAMenuCommandAndACloseRequestAndShowsOnTheScreen) {
  if (FindProgram("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed";
  const std::string Xdotool = FindProgram("xdotool");
  if (Xdotool.empty()) GTEST_SKIP() << "xdotool is not installed";
  XvfbServer Server;
  ASSERT_TRUE(Server.Start()) << Server.Error();
  const std::vector<std::string> Env = EnvironmentFor(Server.Name());

  const std::string Log = ArtifactPath("x11demo.log");
  std::remove(Log.c_str());
  pid_t Demo = Spawn({ArtifactPath("x11demo"), "--log", Log}, Env);
  ASSERT_GT(Demo, 0);

  ASSERT_TRUE(WaitFor([&] { return !LineStarting(Log, "ready ").empty(); })) << "the demo did not start";
  RECT Frame{}, Pane{}, File{};
  std::istringstream Ready(LineStarting(Log, "ready ").substr(6));
  Ready >> Frame.left >> Frame.top >> Frame.right >> Frame.bottom >> Pane.left >> Pane.top >> Pane.right >>
      Pane.bottom >> File.left >> File.top >> File.right >> File.bottom;
  ASSERT_LT(Pane.left, Pane.right);
  ASSERT_LT(File.left, File.right) << "no menu bar";

  // The X window of the frame, once the server shows it.
  const std::string Found = ArtifactPath("x11demo.window");
  ASSERT_EQ(x11test::Run({"/bin/sh", "-c", "exec \"$0\" search --sync --onlyvisible --name 'K58 demo' > \"$1\"", Xdotool, Found},
                Env),
            0);
  unsigned long FrameWindow = 0;
  std::ifstream(Found) >> FrameWindow;
  ASSERT_NE(FrameWindow, 0u);

  auto Click = [&](int X, int Y) {
    return x11test::Run({Xdotool, "mousemove", "--sync", std::to_string(X), std::to_string(Y), "click", "1"}, Env);
  };

  // A click in the text pane arrives in its client coordinates.
  const int Cx = (Pane.left + Pane.right) / 2, Cy = (Pane.top + Pane.bottom) / 2;
  ASSERT_EQ(Click(Cx, Cy), 0);
  const std::string Clicked = "click 1 " + std::to_string(Cx - Pane.left) + " " + std::to_string(Cy - Pane.top);
  EXPECT_TRUE(WaitFor([&] { return HasLine(Log, Clicked); })) << "no " << Clicked;

  // Typed text, Chinese included, arrives as characters.
  MapCharacters(Server.Name(), {0x1004E2D, 0x1006587});
  ASSERT_EQ(x11test::Run({Xdotool, "type", "--delay", "40", "Hello \xE4\xB8\xAD\xE6\x96\x87"}, Env), 0);
  EXPECT_TRUE(WaitFor([&] { return HasLine(Log, "text Hello \xE4\xB8\xAD\xE6\x96\x87"); }))
      << "the typed text did not arrive";
  EXPECT_TRUE(HasLine(Log, "char U+4E2D"));

  // The File menu opens in a window of its own, above the frame.
  ASSERT_EQ(Click((File.left + File.right) / 2, (File.top + File.bottom) / 2), 0);
  ASSERT_TRUE(WaitFor([&] { return HasLine(Log, "popup 0"); })) << "the menu did not open";

  // What the server shows: the frame's caption, the pane's white background and the typed text in it.
  ASSERT_TRUE(WaitFor([&] {
    k58::gdi::SurfacePtr S = GrabScreen(Server.Name());
    if (!S) return false;
    int Dark = 0;
    for (int Y = Pane.top + 2; Y < Pane.top + 24; ++Y)
      for (int X = Pane.left + 2; X < Pane.left + 120; ++X)
        if ((S->Get(X, Y) & 0xFFFFFF) < 0x404040) ++Dark;
    return Dark > 20 && (S->Get(Pane.right - 8, Pane.bottom - 8) & 0xFFFFFF) == 0xFFFFFF;
  })) << "the screen does not show the demo";
  k58::gdi::SurfacePtr Shot = GrabScreen(Server.Name());
  ASSERT_TRUE(Shot);
  EXPECT_EQ(Shot->Get((Frame.left + Frame.right) / 2, Frame.top + 10), k58::gdi::ColorToPixel(GetSysColor(COLOR_ACTIVECAPTION)))
      << "caption of an active window";
  const std::string Png = ArtifactPath("x11demo-screen.png");
  std::string Error;
  EXPECT_TRUE(k58::gdi::WritePng(*Shot, Png, &Error)) << Error;
  std::printf("screenshot of the demo: %s\n", Png.c_str());

  // The menu's first item, just below the bar, gives its command.
  ASSERT_EQ(Click(File.left + 20, File.bottom + 10), 0);
  EXPECT_TRUE(WaitFor([&] { return HasLine(Log, "command 101"); })) << "the menu command did not arrive";

  // The window manager's close request closes the frame and ends the program, cleanly also while X
  // events keep coming (changes of the work area, which the program reads again each time).
  std::atomic<bool> Flooding{true};
  std::thread Flood([&] {
    ::Display* Dpy = XOpenDisplay(Server.Name().c_str());
    if (!Dpy) return;
    long Area[4] = {0, 0, 1024, 768};
    const Atom WorkArea = XInternAtom(Dpy, "_NET_WORKAREA", False);
    while (Flooding) {
      XChangeProperty(Dpy, DefaultRootWindow(Dpy), WorkArea, XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(Area), 4);
      XSync(Dpy, False);
    }
    XDeleteProperty(Dpy, DefaultRootWindow(Dpy), WorkArea);
    XCloseDisplay(Dpy);
  });
  RequestClose(Server.Name(), FrameWindow);
  const int ExitCode = WaitExit(Demo, 20000);
  Flooding = false;
  Flood.join();
  EXPECT_EQ(ExitCode, 0);
  EXPECT_TRUE(HasLine(Log, "close"));
  EXPECT_TRUE(HasLine(Log, "exit"));
}

}  // namespace

}  // namespace winui_test
