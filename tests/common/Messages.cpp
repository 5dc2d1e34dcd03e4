#include "tests/common/Messages.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace k58test {

namespace {

const std::map<UINT, const char*>& Names() {
#define X(name) {name, #name}
  static const std::map<UINT, const char*> Table = {
      X(WM_NULL), X(WM_CREATE), X(WM_DESTROY), X(WM_MOVE), X(WM_SIZE), X(WM_ACTIVATE), X(WM_SETFOCUS),
      X(WM_KILLFOCUS), X(WM_ENABLE), X(WM_SETREDRAW), X(WM_SETTEXT), X(WM_GETTEXT), X(WM_GETTEXTLENGTH),
      X(WM_PAINT), X(WM_CLOSE), X(WM_QUERYENDSESSION), X(WM_QUIT), X(WM_QUERYOPEN), X(WM_ERASEBKGND),
      X(WM_SYSCOLORCHANGE), X(WM_ENDSESSION), X(WM_SHOWWINDOW), X(WM_SETTINGCHANGE), X(WM_DEVMODECHANGE),
      X(WM_ACTIVATEAPP), X(WM_FONTCHANGE), X(WM_TIMECHANGE), X(WM_CANCELMODE), X(WM_SETCURSOR),
      X(WM_MOUSEACTIVATE), X(WM_CHILDACTIVATE), X(WM_QUEUESYNC), X(WM_GETMINMAXINFO), X(WM_PAINTICON),
      X(WM_ICONERASEBKGND), X(WM_NEXTDLGCTL), X(WM_SPOOLERSTATUS), X(WM_DRAWITEM), X(WM_MEASUREITEM),
      X(WM_DELETEITEM), X(WM_VKEYTOITEM), X(WM_CHARTOITEM), X(WM_SETFONT), X(WM_GETFONT), X(WM_SETHOTKEY),
      X(WM_GETHOTKEY), X(WM_QUERYDRAGICON), X(WM_COMPAREITEM), X(WM_GETOBJECT), X(WM_COMPACTING),
      X(WM_COMMNOTIFY), X(WM_WINDOWPOSCHANGING), X(WM_WINDOWPOSCHANGED), X(WM_POWER), X(WM_COPYDATA),
      X(WM_CANCELJOURNAL), X(WM_NOTIFY), X(WM_INPUTLANGCHANGEREQUEST), X(WM_INPUTLANGCHANGE), X(WM_TCARD),
      X(WM_HELP), X(WM_USERCHANGED), X(WM_NOTIFYFORMAT), X(WM_CONTEXTMENU), X(WM_STYLECHANGING),
      X(WM_STYLECHANGED), X(WM_DISPLAYCHANGE), X(WM_GETICON), X(WM_SETICON), X(WM_NCCREATE), X(WM_NCDESTROY),
      X(WM_NCCALCSIZE), X(WM_NCHITTEST), X(WM_NCPAINT), X(WM_NCACTIVATE), X(WM_GETDLGCODE), X(WM_SYNCPAINT),
      X(WM_NCMOUSEMOVE), X(WM_NCLBUTTONDOWN), X(WM_NCLBUTTONUP), X(WM_NCLBUTTONDBLCLK), X(WM_NCRBUTTONDOWN),
      X(WM_NCRBUTTONUP), X(WM_NCRBUTTONDBLCLK), X(WM_NCMBUTTONDOWN), X(WM_NCMBUTTONUP), X(WM_NCMBUTTONDBLCLK),
      X(WM_NCXBUTTONDOWN), X(WM_NCXBUTTONUP), X(WM_NCXBUTTONDBLCLK), X(WM_INPUT_DEVICE_CHANGE), X(WM_INPUT),
      X(WM_KEYDOWN), X(WM_KEYUP), X(WM_CHAR), X(WM_DEADCHAR), X(WM_SYSKEYDOWN), X(WM_SYSKEYUP), X(WM_SYSCHAR),
      X(WM_SYSDEADCHAR), X(WM_UNICHAR), X(WM_IME_STARTCOMPOSITION), X(WM_IME_ENDCOMPOSITION),
      X(WM_IME_COMPOSITION), X(WM_INITDIALOG), X(WM_COMMAND), X(WM_SYSCOMMAND), X(WM_TIMER), X(WM_HSCROLL),
      X(WM_VSCROLL), X(WM_INITMENU), X(WM_INITMENUPOPUP), X(WM_GESTURE), X(WM_GESTURENOTIFY), X(WM_MENUSELECT),
      X(WM_MENUCHAR), X(WM_ENTERIDLE), X(WM_MENURBUTTONUP), X(WM_MENUDRAG), X(WM_MENUGETOBJECT),
      X(WM_UNINITMENUPOPUP), X(WM_MENUCOMMAND), X(WM_CHANGEUISTATE), X(WM_UPDATEUISTATE), X(WM_QUERYUISTATE),
      X(WM_CTLCOLORMSGBOX), X(WM_CTLCOLOREDIT), X(WM_CTLCOLORLISTBOX), X(WM_CTLCOLORBTN), X(WM_CTLCOLORDLG),
      X(WM_CTLCOLORSCROLLBAR), X(WM_CTLCOLORSTATIC), X(WM_MOUSEMOVE), X(WM_LBUTTONDOWN), X(WM_LBUTTONUP),
      X(WM_LBUTTONDBLCLK), X(WM_RBUTTONDOWN), X(WM_RBUTTONUP), X(WM_RBUTTONDBLCLK), X(WM_MBUTTONDOWN),
      X(WM_MBUTTONUP), X(WM_MBUTTONDBLCLK), X(WM_MOUSEWHEEL), X(WM_XBUTTONDOWN), X(WM_XBUTTONUP),
      X(WM_XBUTTONDBLCLK), X(WM_MOUSEHWHEEL), X(WM_PARENTNOTIFY), X(WM_ENTERMENULOOP), X(WM_EXITMENULOOP),
      X(WM_NEXTMENU), X(WM_SIZING), X(WM_CAPTURECHANGED), X(WM_MOVING), X(WM_POWERBROADCAST),
      X(WM_DEVICECHANGE), X(WM_MDICREATE), X(WM_MDIDESTROY), X(WM_MDIACTIVATE), X(WM_MDIRESTORE), X(WM_MDINEXT),
      X(WM_MDIMAXIMIZE), X(WM_MDITILE), X(WM_MDICASCADE), X(WM_MDIICONARRANGE), X(WM_MDIGETACTIVE),
      X(WM_MDISETMENU), X(WM_ENTERSIZEMOVE), X(WM_EXITSIZEMOVE), X(WM_DROPFILES), X(WM_MDIREFRESHMENU),
      X(WM_IME_SETCONTEXT), X(WM_IME_NOTIFY), X(WM_IME_CONTROL), X(WM_IME_COMPOSITIONFULL), X(WM_IME_SELECT),
      X(WM_IME_CHAR), X(WM_IME_REQUEST), X(WM_IME_KEYDOWN), X(WM_IME_KEYUP), X(WM_NCMOUSEHOVER),
      X(WM_MOUSEHOVER), X(WM_NCMOUSELEAVE), X(WM_MOUSELEAVE), X(WM_WTSSESSION_CHANGE), X(WM_CUT), X(WM_COPY),
      X(WM_PASTE), X(WM_CLEAR), X(WM_UNDO), X(WM_RENDERFORMAT), X(WM_RENDERALLFORMATS), X(WM_DESTROYCLIPBOARD),
      X(WM_DRAWCLIPBOARD), X(WM_PAINTCLIPBOARD), X(WM_VSCROLLCLIPBOARD), X(WM_SIZECLIPBOARD),
      X(WM_ASKCBFORMATNAME), X(WM_CHANGECBCHAIN), X(WM_HSCROLLCLIPBOARD), X(WM_QUERYNEWPALETTE),
      X(WM_PALETTEISCHANGING), X(WM_PALETTECHANGED), X(WM_HOTKEY), X(WM_PRINT), X(WM_PRINTCLIENT),
      X(WM_APPCOMMAND), X(WM_THEMECHANGED), X(WM_CLIPBOARDUPDATE), X(WM_DWMCOMPOSITIONCHANGED),
      X(WM_GETTITLEBARINFOEX),
  };
#undef X
  return Table;
}

bool Wanted(const Message& M, HWND Hwnd, const std::vector<UINT>& Only) {
  return (!Hwnd || M.Hwnd == Hwnd) && (Only.empty() || std::find(Only.begin(), Only.end(), M.Msg) != Only.end());
}

std::map<HWND, MessageSpy*>& Spies() {
  static std::map<HWND, MessageSpy*> M;
  return M;
}

bool Matches(const Message& M, const Expected& E) {
  return M.Msg == E.Msg && (!(E.Checks & kWParam) || M.WParam == E.WParam) &&
         (!(E.Checks & kLParam) || M.LParam == E.LParam);
}

std::string Describe(const Expected& E) {
  std::string S = MessageName(E.Msg);
  char B[64];
  if (E.Checks & kWParam) {
    std::snprintf(B, sizeof B, " w=%#llx", static_cast<unsigned long long>(E.WParam));
    S += B;
  }
  if (E.Checks & kLParam) {
    std::snprintf(B, sizeof B, " l=%#llx", static_cast<unsigned long long>(E.LParam));
    S += B;
  }
  if (E.Checks & kOptional) S += " (optional)";
  return S;
}

std::string Describe(const Message& M) {
  char B[64];
  std::snprintf(B, sizeof B, " w=%#llx l=%#llx", static_cast<unsigned long long>(M.WParam),
                static_cast<unsigned long long>(M.LParam));
  return MessageName(M.Msg) + B;
}

}  // namespace

std::string MessageName(UINT Msg) {
  auto It = Names().find(Msg);
  if (It != Names().end()) return It->second;
  char B[24];
  if (Msg >= WM_APP && Msg < 0xC000)
    std::snprintf(B, sizeof B, Msg == WM_APP ? "WM_APP" : "WM_APP+%u", Msg - WM_APP);
  else if (Msg >= WM_USER && Msg < WM_APP)
    std::snprintf(B, sizeof B, Msg == WM_USER ? "WM_USER" : "WM_USER+%u", Msg - WM_USER);
  else
    std::snprintf(B, sizeof B, "0x%04X", Msg);
  return B;
}

void PrintTo(const Message& M, std::ostream* Out) {
  *Out << "{" << static_cast<const void*>(M.Hwnd) << " " << Describe(M) << "}";
}

Message Received(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Message M(Hwnd, Msg, WParam, LParam);
  switch (Msg) {
    case WM_COMMAND:
      M.From = reinterpret_cast<HWND>(LParam);
      M.Code = HIWORD(WParam);
      break;
    case WM_NOTIFY:
      if (LParam) {
        M.From = reinterpret_cast<const NMHDR*>(LParam)->hwndFrom;
        M.Code = reinterpret_cast<const NMHDR*>(LParam)->code;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      M.From = reinterpret_cast<HWND>(LParam);
      M.Code = LOWORD(WParam);
      break;
    case WM_DRAWITEM:
      if (LParam) {
        M.Draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
        M.From = M.Draw->hwndItem;
      }
      break;
    case WM_MEASUREITEM:
      if (LParam) M.Measure = *reinterpret_cast<const MEASUREITEMSTRUCT*>(LParam);
      break;
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      M.From = reinterpret_cast<HWND>(LParam);
      break;
    default:
      break;
  }
  return M;
}

void MessageLog::Add(const Message& M) {
  std::lock_guard<std::mutex> G(lock_);
  items_.push_back(M);
}

void MessageLog::Clear() {
  std::lock_guard<std::mutex> G(lock_);
  items_.clear();
}

std::vector<Message> MessageLog::Items() const {
  std::lock_guard<std::mutex> G(lock_);
  return items_;
}

std::vector<Message> MessageLog::Of(HWND Hwnd, const std::vector<UINT>& Only) const {
  std::vector<Message> Out;
  for (const Message& M : Items())
    if (Wanted(M, Hwnd, Only)) Out.push_back(M);
  return Out;
}

std::vector<UINT> MessageLog::Messages(HWND Hwnd, const std::vector<UINT>& Only) const {
  std::vector<UINT> Out;
  for (const Message& M : Of(Hwnd, Only)) Out.push_back(M.Msg);
  return Out;
}

std::vector<std::string> MessageLog::Names(HWND Hwnd, const std::vector<UINT>& Only) const {
  std::vector<std::string> Out;
  for (const Message& M : Of(Hwnd, Only)) Out.push_back(MessageName(M.Msg));
  return Out;
}

int MessageLog::Count(UINT Msg, HWND Hwnd) const { return static_cast<int>(Of(Hwnd, {Msg}).size()); }

Message MessageLog::First(HWND Hwnd, UINT Msg) const {
  std::vector<Message> Found = Of(Hwnd, {Msg});
  if (!Found.empty()) return Found.front();
  ADD_FAILURE() << "no " << MessageName(Msg);
  return Message{};
}

std::vector<UINT> MessageLog::Codes(UINT Msg, HWND From) const {
  std::vector<UINT> Out;
  for (const Message& M : Items())
    if (M.Msg == Msg && (!From || M.From == From)) Out.push_back(M.Code);
  return Out;
}

MessageSpy::MessageSpy(HWND Hwnd, MessageLog* Into) : hwnd_(Hwnd), log_(Into ? Into : &own_) {
  Spies()[Hwnd] = this;
  old_ = reinterpret_cast<WNDPROC>(SetWindowLongPtr(Hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

MessageSpy::~MessageSpy() {
  if (IsWindow(hwnd_)) SetWindowLongPtr(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_));
  Spies().erase(hwnd_);
}

LRESULT CALLBACK MessageSpy::Proc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  MessageSpy* S = Spies()[Hwnd];
  S->log_->Add(Hwnd, Msg, WParam, LParam);
  return CallWindowProc(S->old_, Hwnd, Msg, WParam, LParam);
}

::testing::AssertionResult MatchesSequence(const std::vector<Message>& Got, const std::vector<Expected>& Table) {
  size_t G = 0, T = 0;
  while (T < Table.size()) {
    if (G < Got.size() && Matches(Got[G], Table[T])) {
      ++G;
      ++T;
    } else if (Table[T].Checks & kOptional) {
      ++T;
    } else {
      break;
    }
  }
  if (T == Table.size() && G == Got.size()) return ::testing::AssertionSuccess();
  ::testing::AssertionResult R = ::testing::AssertionFailure();
  R << "the sequence differs at step " << G + 1 << "\n  expected:";
  for (size_t I = 0; I < Table.size(); ++I) R << (I == T ? "\n  > " : "\n    ") << Describe(Table[I]);
  if (T == Table.size()) R << "\n  > (end)";
  R << "\n  received:";
  for (size_t I = 0; I < Got.size(); ++I) R << (I == G ? "\n  > " : "\n    ") << Describe(Got[I]);
  if (G == Got.size()) R << "\n  > (end)";
  return R;
}

::testing::AssertionResult MatchesSequence(const MessageLog& Log, HWND Hwnd, const std::vector<Expected>& Table,
                                           const std::vector<UINT>& Only) {
  return MatchesSequence(Log.Of(Hwnd, Only), Table);
}

}  // namespace k58test
