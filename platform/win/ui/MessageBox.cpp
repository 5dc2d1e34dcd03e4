// Message boxes: the box window (class "#32770") with its text, icon and buttons (windows of a private
// button class), its layout centred on the owner, the keyboard (Enter, Esc, Space, Tab, arrows and the
// buttons' letters) and the modal loop.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/win/ui/MessageBox.h"
#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

constexpr char kButtonClass[] = "K58MessageBoxButton";
constexpr int kMargin = 11;
constexpr int kIcon = 32;
constexpr int kButtonW = 75;
constexpr int kButtonH = 23;
constexpr int kButtonGap = 6;
constexpr int kMaxTextW = 480;

struct BoxState {
  UINT Type = 0;
  std::string Text;
  RECT TextRect{};
  RECT IconRect{};
  std::vector<HWND> Buttons;  // in order, left to right
  HWND Default = nullptr;
  int Result = 0;
};

std::map<HWND, BoxState>& Boxes() {
  static auto* M = new std::map<HWND, BoxState>;
  return *M;
}

struct ButtonState {
  bool Pressed = false;
  bool Tracking = false;
};
std::map<HWND, ButtonState>& ButtonStates() {
  static auto* M = new std::map<HWND, ButtonState>;
  return *M;
}

MessageBoxHandler& Handler() {
  static auto* H = new MessageBoxHandler;
  return *H;
}

HFONT BoxFont() {
  static HFONT F = [] {
    NONCLIENTMETRICSA N;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof N, &N, 0);
    return CreateFontIndirect(&N.lfMessageFont);
  }();
  return F;
}

struct ButtonDef {
  int Id;
  const char* Text;
};

std::vector<ButtonDef> ButtonsOf(UINT Type) {
  switch (Type & MB_TYPEMASK) {
    case MB_OK: return {{IDOK, "OK"}};
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default: return {};
  }
}

BoxState* StateOf(HWND Box) {
  auto It = Boxes().find(Box);
  return It == Boxes().end() ? nullptr : &It->second;
}

// What Esc and the close button answer: Cancel when the box has it, OK for a box with only OK, else
// nothing (a question must be answered).
int CancelAnswer(UINT Type) {
  switch (Type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL: return IDCANCEL;
    default: return 0;
  }
}

void Answer(HWND Box, int Id) {
  if (BoxState* S = StateOf(Box); S && !S->Result && Id) S->Result = Id;
}

char32_t LetterOf(HWND Button) {
  char Text[64] = {};
  GetWindowText(Button, Text, sizeof Text);
  for (const char* P = Text; P[0] && P[1]; ++P)
    if (P[0] == '&' && P[1] != '&') {
      auto C = static_cast<unsigned char>(P[1]);
      return C >= 'A' && C <= 'Z' ? C + 32 : C;
    }
  return 0;
}

void MoveFocus(HWND Box, HWND From, int Dir) {
  BoxState* S = StateOf(Box);
  if (!S || S->Buttons.empty()) return;
  auto It = std::find(S->Buttons.begin(), S->Buttons.end(), From);
  int N = static_cast<int>(S->Buttons.size());
  int K = It == S->Buttons.end() ? 0 : static_cast<int>(It - S->Buttons.begin());
  K = (K + Dir + N) % N;
  SetFocus(S->Buttons[static_cast<size_t>(K)]);
}

// Keys reaching a button: answered for the whole box.
bool BoxKey(HWND Box, HWND Button, UINT Msg, WPARAM WParam) {
  BoxState* S = StateOf(Box);
  if (!S) return false;
  if (Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN) {
    switch (WParam) {
      case VK_RETURN:
      case VK_SPACE: Answer(Box, GetWindowLong(Button, GWL_ID)); return true;
      case VK_ESCAPE: Answer(Box, CancelAnswer(S->Type)); return true;
      case VK_TAB: MoveFocus(Box, Button, GetKeyState(VK_SHIFT) < 0 ? -1 : 1); return true;
      case VK_LEFT:
      case VK_UP: MoveFocus(Box, Button, -1); return true;
      case VK_RIGHT:
      case VK_DOWN: MoveFocus(Box, Button, 1); return true;
      default: return false;
    }
  }
  if (Msg == WM_CHAR || Msg == WM_SYSCHAR) {
    char32_t Want = WParam >= 'A' && WParam <= 'Z' ? static_cast<char32_t>(WParam + 32) : static_cast<char32_t>(WParam);
    for (HWND B : S->Buttons)
      if (LetterOf(B) == Want) {
        Answer(Box, GetWindowLong(B, GWL_ID));
        return true;
      }
    return Msg == WM_CHAR;  // other characters do nothing; Alt combinations go on to the default handling
  }
  return false;
}

void PaintButton(HWND Button, HDC Dc) {
  RECT R;
  GetClientRect(Button, &R);
  HWND Box = GetParent(Button);
  BoxState* S = StateOf(Box);
  bool Pressed = ButtonStates()[Button].Pressed;
  bool Focus = GetFocus() == Button;
  bool Default = Focus || (S && S->Default == Button && !(GetFocus() && GetParent(GetFocus()) == Box));
  RECT Face = R;
  if (Default) {
    FrameRect(Dc, &Face, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&Face, -1, -1);
  }
  DrawFrameControl(Dc, &Face, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0u));
  char Text[64] = {};
  GetWindowText(Button, Text, sizeof Text);
  RECT T = Face;
  if (Pressed) OffsetRect(&T, 1, 1);
  HGDIOBJ Old = SelectObject(Dc, BoxFont());
  SetBkMode(Dc, TRANSPARENT);
  SetTextColor(Dc, GetSysColor(COLOR_BTNTEXT));
  DrawText(Dc, Text, -1, &T, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  SelectObject(Dc, Old);
  if (Focus) {
    RECT F = Face;
    InflateRect(&F, -4, -4);
    DrawFocusRect(Dc, &F);
  }
}

LRESULT CALLBACK ButtonProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  HWND Box = GetParent(Hwnd);
  switch (Msg) {
    case WM_PAINT: {
      PAINTSTRUCT Ps;
      HDC Dc = BeginPaint(Hwnd, &Ps);
      PaintButton(Hwnd, Dc);
      EndPaint(Hwnd, &Ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focus frame and the default frame move with the focus.
      if (BoxState* S = StateOf(Box))
        for (HWND B : S->Buttons) InvalidateRect(B, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(Hwnd);
      SetCapture(Hwnd);
      ButtonStates()[Hwnd] = ButtonState{true, true};
      InvalidateRect(Hwnd, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE:
      if (ButtonStates()[Hwnd].Tracking) {
        RECT R;
        GetClientRect(Hwnd, &R);
        bool In = InRect(R, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
        if (In != ButtonStates()[Hwnd].Pressed) {
          ButtonStates()[Hwnd].Pressed = In;
          InvalidateRect(Hwnd, nullptr, FALSE);
        }
      }
      return 0;
    case WM_LBUTTONUP: {
      ButtonState St = ButtonStates()[Hwnd];
      ButtonStates()[Hwnd] = ButtonState{};
      if (GetCapture() == Hwnd) ReleaseCapture();
      InvalidateRect(Hwnd, nullptr, FALSE);
      RECT R;
      GetClientRect(Hwnd, &R);
      if (St.Tracking && InRect(R, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}))
        SendMessage(Box, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetWindowLong(Hwnd, GWL_ID)), 0),
                    reinterpret_cast<LPARAM>(Hwnd));
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (ButtonStates()[Hwnd].Tracking) {
        ButtonStates()[Hwnd] = ButtonState{};
        InvalidateRect(Hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR:
      if (BoxKey(Box, Hwnd, Msg, WParam)) return 0;
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_SETCURSOR: SetCursor(LoadCursor(nullptr, IDC_ARROW)); return TRUE;
    case WM_NCDESTROY: ButtonStates().erase(Hwnd); return DefWindowProc(Hwnd, Msg, WParam, LParam);
    default: return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

// The icons, drawn in a 32 x 32 cell.
void DrawIcon32(HDC Dc, const RECT& Cell, UINT Icon) {
  if (!Icon) return;
  COLORREF Fill, Ink = RGB(255, 255, 255);
  const char* Sign;
  bool Triangle = false;
  switch (Icon) {
    case MB_ICONHAND: Fill = RGB(192, 0, 0), Sign = "X"; break;
    case MB_ICONQUESTION: Fill = RGB(0, 0, 160), Sign = "?"; break;
    case MB_ICONEXCLAMATION: Fill = RGB(240, 200, 0), Ink = RGB(0, 0, 0), Sign = "!", Triangle = true; break;
    default: Fill = RGB(0, 0, 160), Sign = "i"; break;
  }
  HBRUSH B = CreateSolidBrush(Fill);
  HPEN P = CreatePen(PS_SOLID, 1, Triangle ? RGB(0, 0, 0) : Fill);
  HGDIOBJ OB = SelectObject(Dc, B), OP = SelectObject(Dc, P);
  if (Triangle) {
    POINT Pts[3] = {{Cell.left + 16, Cell.top + 1}, {Cell.left + 31, Cell.top + 30}, {Cell.left + 1, Cell.top + 30}};
    Polygon(Dc, Pts, 3);
  } else {
    Ellipse(Dc, Cell.left, Cell.top, Cell.left + kIcon, Cell.top + kIcon);
  }
  SelectObject(Dc, OB);
  SelectObject(Dc, OP);
  DeleteObject(B);
  DeleteObject(P);
  LOGFONTA Lf{};
  Lf.lfHeight = -20;
  Lf.lfWeight = FW_BOLD;
  std::strcpy(Lf.lfFaceName, "Tahoma");
  HFONT F = CreateFontIndirect(&Lf);
  HGDIOBJ OF = SelectObject(Dc, F);
  SetBkMode(Dc, TRANSPARENT);
  SetTextColor(Dc, Ink);
  RECT T = Cell;
  if (Triangle) T.top += 6;
  DrawText(Dc, Sign, -1, &T, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  SelectObject(Dc, OF);
  DeleteObject(F);
}

LRESULT CALLBACK BoxProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_PAINT: {
      PAINTSTRUCT Ps;
      HDC Dc = BeginPaint(Hwnd, &Ps);
      if (BoxState* S = StateOf(Hwnd)) {
        DrawIcon32(Dc, S->IconRect, S->Type & MB_ICONMASK);
        HGDIOBJ Old = SelectObject(Dc, BoxFont());
        SetBkMode(Dc, TRANSPARENT);
        SetTextColor(Dc, GetSysColor(COLOR_WINDOWTEXT));
        RECT T = S->TextRect;
        DrawText(Dc, S->Text.c_str(), -1, &T, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        SelectObject(Dc, Old);
      }
      EndPaint(Hwnd, &Ps);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(WParam) != WA_INACTIVE)
        if (BoxState* S = StateOf(Hwnd); S && S->Default) SetFocus(S->Default);
      return 0;
    case WM_SETFOCUS:
      if (BoxState* S = StateOf(Hwnd); S && S->Default) SetFocus(S->Default);
      return 0;
    case WM_COMMAND:
      if (HIWORD(WParam) == 0 && LParam) Answer(Hwnd, LOWORD(WParam));
      return 0;
    case WM_CLOSE:
      if (BoxState* S = StateOf(Hwnd)) Answer(Hwnd, CancelAnswer(S->Type));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(LParam) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_NCDESTROY: Boxes().erase(Hwnd); return DefWindowProc(Hwnd, Msg, WParam, LParam);
    default: return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

void RegisterClasses() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  WNDCLASS C;
  C.style = CS_SAVEBITS;
  C.lpfnWndProc = BoxProc;
  C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
  C.lpszClassName = MessageBoxClass;
  RegisterClass(&C);
  WNDCLASS B;
  B.lpfnWndProc = ButtonProc;
  B.lpszClassName = kButtonClass;
  RegisterClass(&B);
}

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler H) { Handler() = std::move(H); }

HWND MessageBoxButton(HWND Box, int Id) {
  BoxState* S = StateOf(Box);
  if (!S) return nullptr;
  for (HWND B : S->Buttons)
    if (GetWindowLong(B, GWL_ID) == Id) return B;
  return nullptr;
}

}  // namespace k58::winui

using namespace k58::winui;

int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  EnsureInit();
  RegisterClasses();
  std::vector<ButtonDef> Defs = ButtonsOf(uType);
  if (Defs.empty() || (hWnd && !IsWindow(hWnd))) {
    SetLastError(Defs.empty() ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  HWND Owner = hWnd ? RootOf(hWnd) : nullptr;
  std::string Text = lpText ? lpText : "";
  std::string Caption = lpCaption ? lpCaption : "Error";
  UINT Icon = uType & MB_ICONMASK;

  // Layout: the icon at the left, the text beside it (wrapped at kMaxTextW), the buttons centred below.
  RECT Work = WorkAreaFor(Owner);
  int MaxText = std::min(kMaxTextW, Width(Work) * 2 / 3);
  RECT TextR{0, 0, MaxText, 0};
  {
    HDC Dc = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(Dc, BoxFont());
    DrawText(Dc, Text.empty() ? " " : Text.c_str(), -1, &TextR, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(Dc, Old);
    ReleaseDC(nullptr, Dc);
  }
  int IconW = Icon ? kIcon + kMargin : 0;
  int TextH = std::max<int>(Height(TextR), Icon ? kIcon : 0);
  int N = static_cast<int>(Defs.size());
  int RowW = N * kButtonW + (N - 1) * kButtonGap;
  int ClientW = std::max(IconW + Width(TextR), RowW) + 2 * kMargin;
  int ClientH = kMargin + TextH + kMargin + kButtonH + kMargin;
  DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
  DWORD Ex = WS_EX_DLGMODALFRAME | ((uType & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0u);
  RECT Frame{0, 0, ClientW, ClientH};
  AdjustWindowRectEx(&Frame, Style, FALSE, Ex);
  int W = Width(Frame), H = Height(Frame);
  RECT Around = Work;
  if (Owner && IsWindowVisible(Owner) && !IsIconic(Owner)) GetWindowRect(Owner, &Around);
  int X = Around.left + (Width(Around) - W) / 2, Y = Around.top + (Height(Around) - H) / 2;
  X = std::max<int>(Work.left, std::min<int>(X, Work.right - W));
  Y = std::max<int>(Work.top, std::min<int>(Y, Work.bottom - H));

  HWND Box = CreateWindowEx(Ex, MessageBoxClass, Caption.c_str(), Style, X, Y, W, H, Owner, nullptr, nullptr, nullptr);
  if (!Box) return 0;
  BoxState& S = Boxes()[Box];
  S.Type = uType;
  S.Text = Text;
  S.IconRect = RECT{kMargin, kMargin, kMargin + kIcon, kMargin + kIcon};
  int TextTop = kMargin + (TextH - Height(TextR)) / 2;
  S.TextRect = RECT{kMargin + IconW, TextTop, kMargin + IconW + Width(TextR), TextTop + Height(TextR)};
  int Left = (ClientW - RowW) / 2, Top = ClientH - kMargin - kButtonH;
  int DefIndex = std::min<int>(static_cast<int>((uType & MB_DEFMASK) >> 8), N - 1);
  for (int K = 0; K < N; ++K) {
    HWND B = CreateWindowEx(0, kButtonClass, Defs[static_cast<size_t>(K)].Text, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                            Left + K * (kButtonW + kButtonGap), Top, kButtonW, kButtonH, Box,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(Defs[static_cast<size_t>(K)].Id)), nullptr,
                            nullptr);
    StateOf(Box)->Buttons.push_back(B);
  }
  StateOf(Box)->Default = StateOf(Box)->Buttons[static_cast<size_t>(DefIndex)];
  // Without an owner, or task-modal, every window of the thread waits for the answer.
  std::vector<HWND> Disabled;
  if (!Owner || (uType & MB_TASKMODAL)) {
    DWORD Me = GetCurrentThreadId();
    for (HWND T : TopLevels())
      if (T != Box && GetWindowThreadProcessId(T, nullptr) == Me && IsWindowEnabled(T) && IsWindowVisible(T)) {
        EnableWindow(T, FALSE);
        Disabled.push_back(T);
      }
  }
  MessageBeep(Icon);
  MessageBoxInfo Info{Box, Owner, Text, Caption, uType};
  bool Asked = false;
  RunModalLoop(Box, Owner, [&] {
    BoxState* St = StateOf(Box);
    if (!St) return true;
    if (!Asked) {
      Asked = true;
      if (Handler()) {
        MessageBoxHandler H = Handler();
        Answer(Box, H(Info));
        St = StateOf(Box);
        if (!St) return true;
      }
    }
    return St->Result != 0;
  });
  int Result = 0;
  if (BoxState* St = StateOf(Box)) Result = St->Result;
  for (HWND T : Disabled)
    if (IsWindow(T)) EnableWindow(T, TRUE);
  if (IsWindow(Box)) DestroyWindow(Box);
  if (!Disabled.empty() && !GetActiveWindow()) {
    for (HWND T : Disabled)
      if (IsWindow(T) && IsWindowVisible(T)) {
        SetActiveWindow(T);
        break;
      }
  }
  return Result;
}
