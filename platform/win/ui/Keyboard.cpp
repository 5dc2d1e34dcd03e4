// The keyboard: routing key events to the focus window with the standard lParam bits, the key state
// tables, input-method text, and the US layout that turns keys into characters for TranslateMessage
// (with dead keys) when the display did not give the character.
#include <cstring>

#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

struct ScanEntry {
  WORD Vk;
  WORD Scan;
};

constexpr ScanEntry kScans[] = {
    {VK_ESCAPE, 0x01}, {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05}, {'5', 0x06}, {'6', 0x07},
    {'7', 0x08}, {'8', 0x09}, {'9', 0x0A}, {'0', 0x0B}, {VK_OEM_MINUS, 0x0C}, {VK_OEM_PLUS, 0x0D},
    {VK_BACK, 0x0E}, {VK_TAB, 0x0F}, {'Q', 0x10}, {'W', 0x11}, {'E', 0x12}, {'R', 0x13}, {'T', 0x14},
    {'Y', 0x15}, {'U', 0x16}, {'I', 0x17}, {'O', 0x18}, {'P', 0x19}, {VK_OEM_4, 0x1A}, {VK_OEM_6, 0x1B},
    {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D}, {'A', 0x1E}, {'S', 0x1F}, {'D', 0x20}, {'F', 0x21}, {'G', 0x22},
    {'H', 0x23}, {'J', 0x24}, {'K', 0x25}, {'L', 0x26}, {VK_OEM_1, 0x27}, {VK_OEM_7, 0x28}, {VK_OEM_3, 0x29},
    {VK_SHIFT, 0x2A}, {VK_OEM_5, 0x2B}, {'Z', 0x2C}, {'X', 0x2D}, {'C', 0x2E}, {'V', 0x2F}, {'B', 0x30},
    {'N', 0x31}, {'M', 0x32}, {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35}, {VK_RSHIFT, 0x36},
    {VK_MULTIPLY, 0x37}, {VK_MENU, 0x38}, {VK_SPACE, 0x39}, {VK_CAPITAL, 0x3A}, {VK_F1, 0x3B}, {VK_F2, 0x3C},
    {VK_F3, 0x3D}, {VK_F4, 0x3E}, {VK_F5, 0x3F}, {VK_F6, 0x40}, {VK_F7, 0x41}, {VK_F8, 0x42}, {VK_F9, 0x43},
    {VK_F10, 0x44}, {VK_NUMLOCK, 0x45}, {VK_SCROLL, 0x46}, {VK_HOME, 0x47}, {VK_UP, 0x48}, {VK_PRIOR, 0x49},
    {VK_SUBTRACT, 0x4A}, {VK_LEFT, 0x4B}, {VK_RIGHT, 0x4D}, {VK_ADD, 0x4E}, {VK_END, 0x4F}, {VK_DOWN, 0x50},
    {VK_NEXT, 0x51}, {VK_INSERT, 0x52}, {VK_DELETE, 0x53}, {VK_F11, 0x57}, {VK_F12, 0x58},
    {VK_NUMPAD7, 0x47}, {VK_NUMPAD8, 0x48}, {VK_NUMPAD9, 0x49}, {VK_NUMPAD4, 0x4B}, {VK_NUMPAD5, 0x4C},
    {VK_NUMPAD6, 0x4D}, {VK_NUMPAD1, 0x4F}, {VK_NUMPAD2, 0x50}, {VK_NUMPAD3, 0x51}, {VK_NUMPAD0, 0x52},
    {VK_DECIMAL, 0x53}, {VK_LSHIFT, 0x2A}, {VK_LCONTROL, 0x1D}, {VK_RCONTROL, 0x1D}, {VK_LMENU, 0x38},
    {VK_RMENU, 0x38}, {VK_DIVIDE, 0x35},
};

// US layout: unshifted and shifted characters of the keys that type one.
struct CharEntry {
  WORD Vk;
  char Plain;
  char Shifted;
};
constexpr CharEntry kChars[] = {
    {'1', '1', '!'}, {'2', '2', '@'}, {'3', '3', '#'}, {'4', '4', '$'}, {'5', '5', '%'}, {'6', '6', '^'},
    {'7', '7', '&'}, {'8', '8', '*'}, {'9', '9', '('}, {'0', '0', ')'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PLUS, '=', '+'}, {VK_OEM_4, '[', '{'}, {VK_OEM_6, ']', '}'}, {VK_OEM_5, '\\', '|'},
    {VK_OEM_1, ';', ':'}, {VK_OEM_7, '\'', '"'}, {VK_OEM_3, '`', '~'}, {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'}, {VK_SPACE, ' ', ' '}, {VK_MULTIPLY, '*', '*'},
    {VK_ADD, '+', '+'}, {VK_SUBTRACT, '-', '-'}, {VK_DECIMAL, '.', '.'}, {VK_DIVIDE, '/', '/'},
};

bool Down(BYTE Vk) { return (Ui().KeyState[Vk] & 0x80) != 0; }

// The generic key a left or right modifier stands for.
WORD GenericOf(WORD Vk) {
  switch (Vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return Vk;
  }
}

void SetKey(WORD Vk, bool IsDown) {
  BYTE& K = Ui().KeyState[Vk & 0xFF];
  if (IsDown) {
    if (!(K & 0x80)) K ^= 0x01;  // toggled on every press
    K |= 0x80;
  } else {
    K &= static_cast<BYTE>(~0x80);
  }
}

// The character the US layout gives a key in the current state (0: none).
WCHAR LayoutChar(WORD Vk) {
  bool Shift = Down(VK_SHIFT), Ctrl = Down(VK_CONTROL), Alt = Down(VK_MENU);
  bool Caps = (Ui().KeyState[VK_CAPITAL] & 1) != 0;
  if (Ctrl && Alt) return 0;
  if (Vk >= 'A' && Vk <= 'Z') {
    if (Ctrl) return static_cast<WCHAR>(Vk - 'A' + 1);
    bool Upper = Shift != Caps;
    return static_cast<WCHAR>(Upper ? Vk : Vk - 'A' + 'a');
  }
  if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9) return Ctrl ? 0 : static_cast<WCHAR>('0' + (Vk - VK_NUMPAD0));
  switch (Vk) {
    case VK_RETURN: return Ctrl ? u'\n' : u'\r';
    case VK_BACK: return Ctrl ? 0x7F : 0x08;
    case VK_TAB: return Ctrl ? 0 : u'\t';
    case VK_ESCAPE: return 0x1B;
    case VK_CANCEL: return 0x03;
    default: break;
  }
  if (Ctrl) {
    switch (Vk) {
      case VK_OEM_4: return 0x1B;
      case VK_OEM_5: return 0x1C;
      case VK_OEM_6: return 0x1D;
      case '6': return Shift ? 0x1E : 0;
      case VK_OEM_MINUS: return Shift ? 0x1F : 0;
      case '2': return Shift ? 0 : 0;
      case VK_SPACE: return u' ';
      default: return 0;
    }
  }
  for (const CharEntry& C : kChars)
    if (C.Vk == Vk) return static_cast<WCHAR>(static_cast<unsigned char>(Shift ? C.Shifted : C.Plain));
  return 0;
}

// A dead key followed by a letter: the composed letter, or 0 when they do not combine.
WCHAR Compose(WCHAR Dead, WCHAR C) {
  static const struct {
    WCHAR Dead;
    const char16_t* Base;
    const char16_t* Result;
  } kTable[] = {
      {u'\u00B4', u"aeiouyAEIOUY", u"\u00E1\u00E9\u00ED\u00F3\u00FA\u00FD\u00C1\u00C9\u00CD\u00D3\u00DA\u00DD"},
      {u'\'', u"aeiouyAEIOUY", u"\u00E1\u00E9\u00ED\u00F3\u00FA\u00FD\u00C1\u00C9\u00CD\u00D3\u00DA\u00DD"},
      {u'`', u"aeiouAEIOU", u"\u00E0\u00E8\u00EC\u00F2\u00F9\u00C0\u00C8\u00CC\u00D2\u00D9"},
      {u'^', u"aeiouAEIOU", u"\u00E2\u00EA\u00EE\u00F4\u00FB\u00C2\u00CA\u00CE\u00D4\u00DB"},
      {u'\u00A8', u"aeiouyAEIOU", u"\u00E4\u00EB\u00EF\u00F6\u00FC\u00FF\u00C4\u00CB\u00CF\u00D6\u00DC"},
      {u'"', u"aeiouyAEIOU", u"\u00E4\u00EB\u00EF\u00F6\u00FC\u00FF\u00C4\u00CB\u00CF\u00D6\u00DC"},
      {u'~', u"anoANO", u"\u00E3\u00F1\u00F5\u00C3\u00D1\u00D5"},
  };
  for (const auto& E : kTable) {
    if (E.Dead != Dead) continue;
    for (size_t I = 0; E.Base[I]; ++I)
      if (E.Base[I] == C) return E.Result[I];
  }
  return 0;
}

}  // namespace

WORD ScanCodeOf(WORD Vk) {
  for (const ScanEntry& E : kScans)
    if (E.Vk == Vk) return E.Scan;
  return 0;
}

bool RouteKey(const RawEvent& E) {
  UiState& S = Ui();
  WORD Vk = GenericOf(E.Vk);
  bool WasDown = Down(static_cast<BYTE>(Vk));
  SetKey(Vk, E.Down);
  if (Vk != E.Vk) {
    SetKey(E.Vk, E.Down);
  } else if (Vk == VK_SHIFT || Vk == VK_CONTROL || Vk == VK_MENU) {
    // A generic modifier from the display counts as the left one.
    SetKey(Vk == VK_SHIFT ? VK_LSHIFT : Vk == VK_CONTROL ? VK_LCONTROL : VK_LMENU, E.Down);
  }
  if (E.Down) S.AltAlone = Vk == VK_MENU && (!WasDown || S.AltAlone);
  bool Alt = Down(VK_MENU), Ctrl = Down(VK_CONTROL);
  bool Sys = (Alt && !Ctrl) || Vk == VK_F10 || Vk == VK_MENU;
  HWND Target = S.Focus && IsWindow(S.Focus) ? S.Focus : nullptr;
  if (!Target) {
    // Without a focus window the active window gets the keys as system keys.
    Target = S.Active && IsWindow(S.Active) ? S.Active : nullptr;
    Sys = true;
  }
  if (!Target) return false;
  WORD Scan = E.Scan ? E.Scan : ScanCodeOf(E.Vk);
  LPARAM L = 1 | (static_cast<LPARAM>(Scan & 0xFF) << 16);
  if (E.Extended) L |= LPARAM{1} << 24;
  if (Alt) L |= LPARAM{1} << 29;
  if (!E.Down || WasDown) L |= LPARAM{1} << 30;
  if (!E.Down) L |= static_cast<LPARAM>(static_cast<DWORD>(1u << 31));
  MSG M;
  M.hwnd = Target;
  M.message = E.Down ? (Sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (Sys ? WM_SYSKEYUP : WM_KEYUP);
  M.wParam = Vk;
  M.lParam = L;
  M.time = E.Time;
  M.pt = S.Cursor;
  if (E.Down && (E.Char || E.Dead)) {
    S.KeyChars.push_back(UiState::KeyChar{L, E.Time, Vk, E.Char, E.Dead});
    while (S.KeyChars.size() > 64) S.KeyChars.pop_front();
  }
  return wincore::PostInputMessage(M, HTCLIENT) != FALSE;
}

bool RouteText(const RawEvent& E) {
  UiState& S = Ui();
  HWND Target = S.Focus && IsWindow(S.Focus) ? S.Focus : S.Active;
  if (!Target || !IsWindow(Target)) return false;
  bool Any = false;
  for (char16_t C : E.Text) {
    MSG M;
    M.hwnd = Target;
    M.message = WM_IME_CHAR;
    M.wParam = C;
    M.lParam = 1;
    M.time = E.Time;
    M.pt = S.Cursor;
    Any = wincore::PostInputMessage(M, HTCLIENT) || Any;
  }
  return Any;
}

void TranslateKeyMessage(const MSG& Key, std::vector<WPARAM>& Chars) {
  UiState& S = Ui();
  WORD Vk = static_cast<WORD>(Key.wParam);
  WCHAR C = 0;
  bool Dead = false;
  bool Given = false;
  for (auto It = S.KeyChars.begin(); It != S.KeyChars.end(); ++It) {
    if (It->LParam == Key.lParam && It->Time == Key.time && It->Vk == Key.wParam) {
      C = It->Char;
      Dead = It->Dead;
      Given = true;
      S.KeyChars.erase(It);
      break;
    }
  }
  if (!Given) C = LayoutChar(Vk);
  if (Dead) {
    S.PendingDead = C;
    PostMessage(Key.hwnd, Key.message == WM_SYSKEYDOWN ? WM_SYSDEADCHAR : WM_DEADCHAR, C, Key.lParam);
    return;
  }
  if (!C) return;
  if (S.PendingDead) {
    WCHAR DeadChar = S.PendingDead;
    S.PendingDead = 0;
    if (WCHAR Composed = Compose(DeadChar, C)) {
      Chars.push_back(Composed);
      return;
    }
    // No composition: the accent stands alone, then the character.
    Chars.push_back(DeadChar);
  }
  Chars.push_back(C);
}

void InjectKey(WORD VirtualKey, WORD ScanCode, bool IsDown, bool Extended, DWORD Time, WCHAR Char, bool Dead) {
  RawEvent E;
  E.Kind = RawKind::Key;
  E.Vk = VirtualKey;
  E.Scan = ScanCode;
  E.Down = IsDown;
  E.Extended = Extended;
  E.Time = Time;
  E.Char = Char;
  E.Dead = Dead;
  QueueRaw(std::move(E));
}

void InjectText(const std::u16string& Text) {
  if (Text.empty()) return;
  RawEvent E;
  E.Kind = RawKind::Text;
  E.Text = Text;
  QueueRaw(std::move(E));
}

}  // namespace k58::winui

using namespace k58::winui;

SHORT GetKeyState(int nVirtKey) {
  BYTE K = Ui().KeyState[nVirtKey & 0xFF];
  return static_cast<SHORT>(((K & 0x80) ? 0xFF80 : 0) | (K & 0x01));
}

SHORT GetAsyncKeyState(int vKey) {
  std::lock_guard<std::mutex> G(Ui().RawLock);
  return static_cast<SHORT>((Ui().AsyncState[vKey & 0xFF] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* lpKeyState) {
  if (!lpKeyState) return FALSE;
  std::memcpy(lpKeyState, Ui().KeyState, 256);
  return TRUE;
}

BOOL SetKeyboardState(BYTE* lpKeyState) {
  if (!lpKeyState) return FALSE;
  std::memcpy(Ui().KeyState, lpKeyState, 256);
  return TRUE;
}

UINT MapVirtualKey(UINT uCode, UINT uMapType) {
  switch (uMapType) {
    case MAPVK_VK_TO_VSC: return ScanCodeOf(static_cast<WORD>(uCode));
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
      for (const ScanEntry& E : kScans)
        if (E.Scan == uCode) return E.Vk;
      return 0;
    case MAPVK_VK_TO_CHAR:
      if (uCode >= 'A' && uCode <= 'Z') return uCode;
      for (const CharEntry& C : kChars)
        if (C.Vk == uCode) return static_cast<unsigned char>(C.Plain);
      if (uCode == VK_RETURN) return '\r';
      if (uCode == VK_BACK) return 8;
      if (uCode == VK_TAB) return '\t';
      if (uCode == VK_ESCAPE) return 0x1B;
      return 0;
    default: return 0;
  }
}

SHORT VkKeyScan(CHAR ch) {
  unsigned char C = static_cast<unsigned char>(ch);
  if (C >= 'a' && C <= 'z') return static_cast<SHORT>(C - 'a' + 'A');
  if (C >= 'A' && C <= 'Z') return static_cast<SHORT>(0x100 | C);
  for (const CharEntry& E : kChars) {
    if (E.Vk >= VK_MULTIPLY && E.Vk <= VK_DIVIDE) continue;
    if (static_cast<unsigned char>(E.Plain) == C) return static_cast<SHORT>(E.Vk);
    if (static_cast<unsigned char>(E.Shifted) == C) return static_cast<SHORT>(0x100 | E.Vk);
  }
  switch (C) {
    case '\r': return VK_RETURN;
    case '\t': return VK_TAB;
    case 8: return VK_BACK;
    case 0x1B: return VK_ESCAPE;
    default: return -1;
  }
}
