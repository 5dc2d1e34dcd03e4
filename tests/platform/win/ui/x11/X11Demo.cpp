// A small desktop program on the window layer: an MDI frame with a menu bar and a document window
// holding a text pane. It writes what it receives (clicks, characters, menu commands, activation,
// closing) to a log, one line per event, so that a test driving it from outside the process can check
// that input arrived.
//
//   x11demo [--log FILE]     (standard output without --log)
//
// The first line, once the windows are shown, is
//   ready <frame> <text pane> <File item of the menu bar>
// each as "left top right bottom" in screen coordinates; then "click B X Y" (button, client coordinates
// of the pane), "char U+XXXX", "text <UTF-8 of everything typed>", "popup N" (a menu of the bar opens,
// N its position), "command N", "activeapp 0|1", "close", "exit".
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win/Windows.h"
#include "platform/rtl/Utf.h"

namespace {

constexpr const char* kFrameClass = "K58DemoFrame";
constexpr const char* kChildClass = "K58DemoChild";
constexpr const char* kTextClass = "K58DemoText";
constexpr const char* kTitle = "K58 demo \xE6\xBC\x94\xE7\xA4\xBA";  // "演示"
constexpr UINT kHello = 101;
constexpr UINT kExit = 102;
constexpr UINT kFirstChild = 50000;

FILE* GLog = stdout;
HWND GFrame = nullptr;
HWND GClient = nullptr;
HWND GChild = nullptr;
HWND GText = nullptr;
std::u16string GTyped;

void Log(const std::string& Line) {
  std::fprintf(GLog, "%s\n", Line.c_str());
  std::fflush(GLog);
}

std::string Utf8(const std::u16string& S) { return k58::rtl::Utf16ToUtf8(S); }

std::string RectText(const RECT& R) {
  return std::to_string(R.left) + " " + std::to_string(R.top) + " " + std::to_string(R.right) + " " +
         std::to_string(R.bottom);
}

std::string RectText(HWND Hwnd, bool Client) {
  RECT R;
  if (Client) {
    GetClientRect(Hwnd, &R);
    MapWindowPoints(Hwnd, nullptr, reinterpret_cast<POINT*>(&R), 2);
  } else {
    GetWindowRect(Hwnd, &R);
  }
  return RectText(R);
}

LRESULT CALLBACK TextProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      SetFocus(Hwnd);
      Log(std::string("click ") + (Msg == WM_LBUTTONDOWN ? "1 " : "3 ") + std::to_string(GET_X_LPARAM(LParam)) + " " +
          std::to_string(GET_Y_LPARAM(LParam)));
      return 0;
    case WM_CHAR: {
      char Code[16];
      std::snprintf(Code, sizeof Code, "U+%04X", static_cast<unsigned>(WParam));
      Log(std::string("char ") + Code);
      if (WParam == VK_BACK) {
        if (!GTyped.empty()) GTyped.pop_back();
      } else if (WParam >= 0x20) {
        GTyped += static_cast<char16_t>(WParam);
      }
      // A lone high surrogate waits for its partner before the text is shown.
      if (WParam < 0xD800 || WParam > 0xDBFF) Log("text " + Utf8(GTyped));
      InvalidateRect(Hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT Ps;
      HDC Dc = BeginPaint(Hwnd, &Ps);
      RECT R;
      GetClientRect(Hwnd, &R);
      HGDIOBJ Old = SelectObject(Dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(Dc, TRANSPARENT);
      std::string Shown = GTyped.empty() ? std::string("Click here and type") : Utf8(GTyped);
      R.left += 4;
      R.top += 4;
      DrawText(Dc, Shown.c_str(), -1, &R, DT_LEFT | DT_TOP | DT_WORDBREAK);
      SelectObject(Dc, Old);
      EndPaint(Hwnd, &Ps);
      return 0;
    }
    default: return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

LRESULT CALLBACK ChildProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_SIZE && GText) MoveWindow(GText, 0, 0, LOWORD(LParam), HIWORD(LParam), TRUE);
  if (Msg == WM_SETFOCUS && GText) SetFocus(GText);
  return DefMDIChildProc(Hwnd, Msg, WParam, LParam);
}

LRESULT CALLBACK FrameProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_CREATE: {
      CLIENTCREATESTRUCT Ccs;
      Ccs.hWindowMenu = GetSubMenu(GetMenu(Hwnd), 1);
      Ccs.idFirstChild = kFirstChild;
      GClient = CreateWindowEx(WS_EX_CLIENTEDGE, MDICLIENT_CLASS, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0, Hwnd,
                               nullptr, nullptr, &Ccs);
      return GClient ? 0 : -1;
    }
    case WM_INITMENUPOPUP:
      if (!HIWORD(LParam)) Log("popup " + std::to_string(LOWORD(LParam)));
      break;
    case WM_COMMAND:
      if (LOWORD(WParam) == kHello || LOWORD(WParam) == kExit) {
        Log("command " + std::to_string(LOWORD(WParam)));
        if (LOWORD(WParam) == kExit) PostMessage(Hwnd, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_ACTIVATEAPP:
      Log(std::string("activeapp ") + (WParam ? "1" : "0"));
      return 0;
    case WM_CLOSE:
      Log("close");
      DestroyWindow(Hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default: break;
  }
  return DefFrameProc(Hwnd, GClient, Msg, WParam, LParam);
}

bool Register(const char* Name, WNDPROC Proc, int Background) {
  WNDCLASS C{};
  C.style = CS_HREDRAW | CS_VREDRAW;
  C.lpfnWndProc = Proc;
  C.hCursor = LoadCursor(nullptr, IDC_ARROW);
  C.hbrBackground = GetSysColorBrush(Background);
  C.lpszClassName = Name;
  return RegisterClass(&C) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int I = 1; I + 1 < argc; ++I)
    if (std::strcmp(argv[I], "--log") == 0) {
      GLog = std::fopen(argv[I + 1], "w");
      if (!GLog) {
        std::fprintf(stderr, "x11demo: cannot write %s\n", argv[I + 1]);
        return 2;
      }
    }

  if (!Register(kFrameClass, FrameProc, COLOR_APPWORKSPACE) || !Register(kChildClass, ChildProc, COLOR_BTNFACE) ||
      !Register(kTextClass, TextProc, COLOR_WINDOW))
    return 1;

  HMENU Bar = CreateMenu();
  HMENU File = CreatePopupMenu();
  AppendMenu(File, MF_STRING, kHello, "&Hello");
  AppendMenu(File, MF_SEPARATOR, 0, nullptr);
  AppendMenu(File, MF_STRING, kExit, "E&xit");
  HMENU Window = CreatePopupMenu();
  AppendMenu(Bar, MF_POPUP, reinterpret_cast<UINT_PTR>(File), "&File");
  AppendMenu(Bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Window), "&Window");

  GFrame = CreateWindowEx(0, kFrameClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 30, 560, 400, nullptr,
                          Bar, nullptr, nullptr);
  if (!GFrame || !GClient) return 1;
  GChild = CreateMDIWindow(kChildClass, "Channel 1", WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 360, 220, GClient, nullptr,
                           0);
  if (!GChild) return 1;
  GText = CreateWindowEx(WS_EX_CLIENTEDGE, kTextClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, GChild, nullptr,
                         nullptr, nullptr);
  RECT C;
  GetClientRect(GChild, &C);
  MoveWindow(GText, 0, 0, C.right, C.bottom, TRUE);

  ShowWindow(GFrame, SW_SHOWNORMAL);
  UpdateWindow(GFrame);
  RECT FileItem{};
  GetMenuItemRect(GFrame, Bar, 0, &FileItem);
  Log("ready " + RectText(GFrame, false) + " " + RectText(GText, true) + " " + RectText(FileItem));

  MSG M;
  while (GetMessage(&M, nullptr, 0, 0) > 0) {
    if (TranslateMDISysAccel(GClient, &M)) continue;
    TranslateMessage(&M);
    DispatchMessage(&M);
  }
  Log("exit");
  if (GLog != stdout) std::fclose(GLog);
  return static_cast<int>(M.wParam);
}
