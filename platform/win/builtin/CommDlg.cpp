// The frame of the common dialogs: the dialog window and its children, the dialog keyboard, the modal
// loop with the test seam, the extended error, and the pattern match of the file dialogs.
#include <algorithm>
#include <map>

#include "platform/rtl/Utf.h"
#include "platform/win/builtin/ComboBox.h"
#include "platform/win/builtin/CommDlgInternal.h"
#include "platform/win/ui/MessageBox.h"  // IDOK, IDCANCEL
#include "platform/win/ui/UiExt.h"

namespace k58::builtin {

namespace {

constexpr char kDialogClass[] = "K58CommonDialog";

thread_local DWORD LastError = 0;

CommonDialogHandler& Handler() {
  static auto* H = new CommonDialogHandler;
  return *H;
}

// The procedures the children had before the dialog subclassed them.
std::map<HWND, WNDPROC>& OldProcs() {
  static auto* M = new std::map<HWND, WNDPROC>;
  return *M;
}

commdlg::Dialog* DialogOf(HWND Hwnd) {
  return Hwnd ? reinterpret_cast<commdlg::Dialog*>(GetWindowLongPtr(Hwnd, GWLP_USERDATA)) : nullptr;
}

LRESULT CALLBACK DialogProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (commdlg::Dialog* D = DialogOf(Hwnd)) {
    if (Msg == WM_NCDESTROY) {
      SetWindowLongPtr(Hwnd, GWLP_USERDATA, 0);
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    }
    return D->DialogMessage(Msg, WParam, LParam);
  }
  return DefWindowProc(Hwnd, Msg, WParam, LParam);
}

LRESULT CALLBACK ChildProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto It = OldProcs().find(Hwnd);
  if (It == OldProcs().end()) return DefWindowProc(Hwnd, Msg, WParam, LParam);
  WNDPROC Old = It->second;
  if (Msg == WM_NCDESTROY) {
    OldProcs().erase(It);
    SetWindowLongPtr(Hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old));
    return CallWindowProc(Old, Hwnd, Msg, WParam, LParam);
  }
  // The dialog is the root of its controls and of their own children (the edit of a combo box).
  if (Msg == WM_SETFOCUS)
    if (commdlg::Dialog* D = DialogOf(GetAncestor(Hwnd, GA_ROOT))) D->ChildFocused(Hwnd);
  if (Msg == WM_KEYDOWN || Msg == WM_CHAR || Msg == WM_SYSCHAR)
    if (commdlg::Dialog* D = DialogOf(GetAncestor(Hwnd, GA_ROOT)); D && D->ChildKey(Hwnd, Msg, WParam)) return 0;
  return CallWindowProc(Old, Hwnd, Msg, WParam, LParam);
}

void RegisterDialogClass() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  // The dialogs are built of these; InitCommonControls registers only some of them.
  InitCommonControls();
  RegisterComboBoxClass();  // with "ListBox" and "ComboLBox"
  WNDCLASS C;
  C.style = CS_SAVEBITS | CS_DBLCLKS;
  C.lpfnWndProc = DialogProc;
  C.hCursor = LoadCursor(nullptr, IDC_ARROW);
  C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
  C.lpszClassName = kDialogClass;
  RegisterClass(&C);
}

std::string ClassOf(HWND Hwnd) {
  char Name[64] = {};
  GetClassName(Hwnd, Name, sizeof Name);
  return Name;
}

bool IsPushButton(HWND Hwnd) {
  if (k58::rtl::CompareNoCase(ClassOf(Hwnd), WC_BUTTON) != 0) return false;
  DWORD Type = static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)) & BS_TYPEMASK;
  return Type == BS_PUSHBUTTON || Type == BS_DEFPUSHBUTTON;
}

// The underlined letter of a label or button text ("&Folders:" -> 'f'), 0 without one.
char32_t MnemonicOf(const std::string& Text) {
  for (size_t K = 0; K + 1 < Text.size(); ++K) {
    if (Text[K] != '&') continue;
    if (Text[K + 1] == '&') {
      ++K;
      continue;
    }
    auto C = static_cast<unsigned char>(Text[K + 1]);
    return C < 0x80 ? k58::rtl::FoldCase(C) : 0;
  }
  return 0;
}

// The code points of S with case folded, for matching without regard to case.
std::u32string Folded(const std::string& S) {
  std::u32string Out = k58::rtl::Utf8ToUtf32(S);
  for (char32_t& C : Out) C = k58::rtl::FoldCase(C);
  return Out;
}

}  // namespace

void SetCommonDialogHandler(CommonDialogHandler H) { Handler() = std::move(H); }

HWND CommonDialogItem(HWND Dialog, int Id) {
  commdlg::Dialog* D = DialogOf(Dialog);
  return D ? D->Item(Id) : nullptr;
}

namespace commdlg {

void SetError(DWORD Code) { LastError = Code; }

bool MatchPattern(const std::string& Name, const std::string& Pattern) {
  // "*.*" stands for every name, also one without a dot.
  if (Pattern == "*.*" || Pattern == "*") return true;
  std::u32string N = Folded(Name), P = Folded(Pattern);
  // Greedy match with one back-tracking point for the last '*'.
  size_t I = 0, J = 0, StarJ = std::u32string::npos, StarI = 0;
  while (I < N.size()) {
    if (J < P.size() && (P[J] == U'?' || P[J] == N[I])) {
      ++I;
      ++J;
    } else if (J < P.size() && P[J] == U'*') {
      StarJ = J++;
      StarI = I;
    } else if (StarJ != std::u32string::npos) {
      J = StarJ + 1;
      I = ++StarI;
    } else {
      return false;
    }
  }
  while (J < P.size() && P[J] == U'*') ++J;
  return J == P.size();
}

Dialog::~Dialog() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Dialog::Create(HWND Owner, const std::string& Caption, int W, int H) {
  RegisterDialogClass();
  owner_ = Owner ? GetAncestor(Owner, GA_ROOT) : nullptr;
  DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
  DWORD Ex = WS_EX_DLGMODALFRAME;
  RECT Frame{0, 0, W, H};
  AdjustWindowRectEx(&Frame, Style, FALSE, Ex);
  int FW = Frame.right - Frame.left, FH = Frame.bottom - Frame.top;
  RECT Work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
  if (owner_) {
    MONITORINFO Mi;
    Mi.cbSize = sizeof Mi;
    if (GetMonitorInfo(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &Mi)) Work = Mi.rcWork;
  }
  RECT Around = Work;
  if (owner_ && IsWindowVisible(owner_) && !IsIconic(owner_)) GetWindowRect(owner_, &Around);
  int X = Around.left + (Around.right - Around.left - FW) / 2;
  int Y = Around.top + (Around.bottom - Around.top - FH) / 2;
  X = std::max<int>(Work.left, std::min<int>(X, Work.right - FW));
  Y = std::max<int>(Work.top, std::min<int>(Y, Work.bottom - FH));
  hwnd_ = CreateWindowEx(Ex, kDialogClass, Caption.c_str(), Style, X, Y, FW, FH, owner_, nullptr, nullptr, nullptr);
  if (!hwnd_) return false;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

HWND Dialog::Add(const char* Class, const char* Text, DWORD Style, int X, int Y, int W, int H, int Id,
                 bool TabStop) {
  HWND C = CreateWindowEx(0, Class, Text, WS_CHILD | WS_VISIBLE | (TabStop ? WS_TABSTOP : 0u) | Style, X, Y, W, H,
                          hwnd_, reinterpret_cast<HMENU>(static_cast<intptr_t>(Id)), nullptr, nullptr);
  if (!C) return nullptr;
  SendMessage(C, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultControlFont()), FALSE);
  std::vector<HWND> Subclass{C};
  EnumChildWindows(
      C,
      [](HWND W, LPARAM P) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(P)->push_back(W);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Subclass));
  for (HWND W : Subclass)
    OldProcs()[W] = reinterpret_cast<WNDPROC>(SetWindowLongPtr(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
  controls_.push_back(C);
  if (TabStop) tabs_.push_back(C);
  if (char32_t L = MnemonicOf(Text ? Text : "")) mnemonics_.push_back({L, C});
  return C;
}

HWND Dialog::Item(int Id) const {
  for (HWND C : controls_)
    if (IsWindow(C) && GetWindowLongPtr(C, GWLP_ID) == Id) return C;
  return nullptr;
}

std::string Dialog::TextOf(HWND Control) { return WindowTextOf(Control); }

void Dialog::FocusOn(HWND Control) {
  if (!Control) return;
  SetFocus(Control);
  // An entry reached from the keyboard is selected whole, so that typing replaces it.
  if (k58::rtl::CompareNoCase(ClassOf(Control), WC_EDIT) == 0) SendMessage(Control, EM_SETSEL, 0, -1);
  if (k58::rtl::CompareNoCase(ClassOf(Control), WC_COMBOBOX) == 0) SendMessage(Control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void Dialog::End(int Result) {
  if (!result_) result_ = Result;
}

void Dialog::MoveFocus(HWND From, int Dir) {
  std::vector<HWND> Live;
  for (HWND C : tabs_)
    if (IsWindowVisible(C) && IsWindowEnabled(C)) Live.push_back(C);
  if (Live.empty()) return;
  auto It = std::find(Live.begin(), Live.end(), From);
  int N = static_cast<int>(Live.size());
  int K = It == Live.end() ? (Dir > 0 ? -1 : 0) : static_cast<int>(It - Live.begin());
  FocusOn(Live[static_cast<size_t>((K + Dir + N) % N)]);
}

bool Dialog::ChildKey(HWND Child, UINT Msg, WPARAM WParam) {
  // Keys in a control's own child (the edit of a combo box) count for the control.
  while (Child && GetParent(Child) != hwnd_) Child = GetParent(Child);
  if (!Child) return false;
  bool Dropped = k58::rtl::CompareNoCase(ClassOf(Child), WC_COMBOBOX) == 0 && SendMessage(Child, CB_GETDROPPEDSTATE, 0, 0);
  if (Msg == WM_CHAR) return !Dropped && (WParam == '\t' || WParam == '\r' || WParam == '\n' || WParam == 27);
  if (Msg == WM_SYSCHAR) {
    char32_t Want = WParam < 0x80 ? k58::rtl::FoldCase(static_cast<char32_t>(WParam)) : 0;
    for (const Mnemonic& M : mnemonics_) {
      if (M.Letter != Want || !IsWindowVisible(M.Label) || !IsWindowEnabled(M.Label)) continue;
      if (IsPushButton(M.Label)) {
        FocusOn(M.Label);
        Command(static_cast<int>(GetWindowLongPtr(M.Label, GWLP_ID)), BN_CLICKED, M.Label);
        return true;
      }
      // A check box is clicked; a label gives the focus to the next control of the Tab order after it.
      if (std::find(tabs_.begin(), tabs_.end(), M.Label) != tabs_.end()) {
        FocusOn(M.Label);
        SendMessage(M.Label, BM_CLICK, 0, 0);
        return true;
      }
      auto It = std::find(controls_.begin(), controls_.end(), M.Label);
      for (++It; It != controls_.end(); ++It)
        if (std::find(tabs_.begin(), tabs_.end(), *It) != tabs_.end()) {
          FocusOn(*It);
          return true;
        }
    }
    return false;
  }
  // WM_KEYDOWN
  bool Ctrl = GetKeyState(VK_CONTROL) < 0, Alt = GetKeyState(VK_MENU) < 0;
  switch (WParam) {
    case VK_TAB:
      if (Ctrl || Alt) return false;
      MoveFocus(Child, GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
      return true;
    case VK_RETURN:
      if (Dropped) return false;
      if (IsPushButton(Child)) {
        Command(static_cast<int>(GetWindowLongPtr(Child, GWLP_ID)), BN_CLICKED, Child);
      } else if (!EnterOn(Child)) {
        Command(IDOK, BN_CLICKED, Item(IDOK));
      }
      return true;
    case VK_ESCAPE:
      if (Dropped) return false;
      Command(IDCANCEL, BN_CLICKED, Item(IDCANCEL));
      return true;
    default: return false;
  }
}

LRESULT Dialog::DialogMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_PAINT: {
      PAINTSTRUCT Ps;
      HDC Dc = BeginPaint(hwnd_, &Ps);
      Paint(Dc);
      EndPaint(hwnd_, &Ps);
      return 0;
    }
    case WM_ACTIVATE:
    case WM_SETFOCUS:
      if (Msg == WM_ACTIVATE && LOWORD(WParam) == WA_INACTIVE) return 0;
      // The focus goes back to the control that had it, else to the first one.
      if (HWND F = GetFocus(); F && F != hwnd_ && GetParent(F) == hwnd_) return 0;
      if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
      } else {
        HWND First = initialFocus_ ? initialFocus_ : (tabs_.empty() ? nullptr : tabs_.front());
        FocusOn(First);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: Mouse(Msg, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}); return 0;
    case WM_COMMAND:
      if (LParam) Command(LOWORD(WParam), HIWORD(WParam), reinterpret_cast<HWND>(LParam));
      return 0;
    case WM_CLOSE: Command(IDCANCEL, BN_CLICKED, Item(IDCANCEL)); return 0;
    default: return DefWindowProc(hwnd_, Msg, WParam, LParam);
  }
}

int Dialog::Run(CommonDialogKind Kind) {
  // Without an owner every window of the thread waits for the answer.
  std::vector<HWND> Disabled;
  if (!owner_) {
    struct Collect {
      HWND Self;
      std::vector<HWND>* Out;
    } C{hwnd_, &Disabled};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND W, LPARAM P) -> BOOL {
          auto* C = reinterpret_cast<Collect*>(P);
          if (W != C->Self && IsWindowVisible(W) && IsWindowEnabled(W)) C->Out->push_back(W);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&C));
    for (HWND W : Disabled) EnableWindow(W, FALSE);
  }
  CommonDialogInfo Info{hwnd_, owner_, Kind};
  bool Asked = false;
  HWND Self = hwnd_;
  winui::RunModalLoop(hwnd_, owner_, [&] {
    if (!IsWindow(Self)) return true;
    if (!Asked) {
      Asked = true;
      if (Handler()) {
        CommonDialogHandler H = Handler();
        int Answer = H(Info);
        if (!IsWindow(Self)) return true;
        if (Answer == IDOK || Answer == IDCANCEL) Command(Answer, BN_CLICKED, Item(Answer));
      }
    }
    return result_ != 0;
  });
  for (HWND W : Disabled)
    if (IsWindow(W)) EnableWindow(W, TRUE);
  if (IsWindow(Self)) {
    SetWindowLongPtr(Self, GWLP_USERDATA, 0);
    DestroyWindow(Self);
  }
  hwnd_ = nullptr;
  if (!Disabled.empty() && !GetActiveWindow())
    for (HWND W : Disabled)
      if (IsWindow(W) && IsWindowVisible(W)) {
        SetActiveWindow(W);
        break;
      }
  return result_;
}

}  // namespace commdlg

}  // namespace k58::builtin

DWORD CommDlgExtendedError() { return k58::builtin::LastError; }
