// Keyboard translation of the X11 display.
#include "platform/win/ui/x11/X11Keys.h"

#include <initializer_list>

#include "platform/win/core/WinKeys.h"

#include <X11/keysym.h>

namespace k58::winui::x11 {

namespace {

struct SymVk {
  uint32_t Sym;
  WORD Vk;
};

// Keys whose virtual key follows from the symbol alone, whatever the layout.
constexpr SymVk kSpecial[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Clear, VK_CLEAR},
    {XK_Return, VK_RETURN},
    {XK_Pause, VK_PAUSE},
    {XK_Break, VK_CANCEL},
    {XK_Scroll_Lock, VK_SCROLL},
    {XK_Sys_Req, VK_SNAPSHOT},
    {XK_Print, VK_SNAPSHOT},
    {XK_Escape, VK_ESCAPE},
    {XK_Delete, VK_DELETE},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Begin, VK_CLEAR},
    {XK_Select, VK_SELECT},
    {XK_Execute, VK_EXECUTE},
    {XK_Insert, VK_INSERT},
    {XK_Menu, VK_APPS},
    {XK_Help, VK_HELP},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_space, VK_SPACE},
    {XK_KP_Space, VK_SPACE},
    {XK_KP_Tab, VK_TAB},
    {XK_KP_Enter, VK_RETURN},
    {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_End, VK_END},
    {XK_KP_Begin, VK_CLEAR},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_KP_Equal, VK_OEM_PLUS},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Shift_Lock, VK_CAPITAL},
    {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_ISO_Level3_Shift, VK_MENU},
    {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},
    {XK_Hyper_L, VK_LWIN},
    {XK_Hyper_R, VK_RWIN},
};

// US positions of the punctuation keys.
constexpr SymVk kPunctuation[] = {
    {XK_semicolon, VK_OEM_1},  {XK_equal, VK_OEM_PLUS},    {XK_comma, VK_OEM_COMMA},   {XK_minus, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD}, {XK_slash, VK_OEM_2},      {XK_grave, VK_OEM_3},       {XK_bracketleft, VK_OEM_4},
    {XK_backslash, VK_OEM_5},  {XK_bracketright, VK_OEM_6}, {XK_apostrophe, VK_OEM_7}, {XK_less, VK_OEM_102},
};

// Virtual keys of the alphanumeric block by evdev code, as the US layout places them; used for keys
// whose symbols name no Latin character (non-Latin layouts, dead keys, remapped keys).
WORD VkOfEvdev(uint32_t Code) {
  static constexpr const char kRow1[] = "1234567890";  // codes 2..11
  static constexpr const char kRow2[] = "QWERTYUIOP";  // codes 16..25
  static constexpr const char kRow3[] = "ASDFGHJKL";   // codes 30..38
  static constexpr const char kRow4[] = "ZXCVBNM";     // codes 44..50
  if (Code >= 2 && Code <= 11) return static_cast<WORD>(kRow1[Code - 2]);
  if (Code >= 16 && Code <= 25) return static_cast<WORD>(kRow2[Code - 16]);
  if (Code >= 30 && Code <= 38) return static_cast<WORD>(kRow3[Code - 30]);
  if (Code >= 44 && Code <= 50) return static_cast<WORD>(kRow4[Code - 44]);
  switch (Code) {
    case 12: return VK_OEM_MINUS;
    case 13: return VK_OEM_PLUS;
    case 26: return VK_OEM_4;
    case 27: return VK_OEM_6;
    case 39: return VK_OEM_1;
    case 40: return VK_OEM_7;
    case 41: return VK_OEM_3;
    case 43: return VK_OEM_5;
    case 51: return VK_OEM_COMMA;
    case 52: return VK_OEM_PERIOD;
    case 53: return VK_OEM_2;
    case 86: return VK_OEM_102;
    default: return 0;
  }
}

// Scan code (set 1) and extended flag by evdev code. Codes below 89 are the set-1 codes themselves;
// the keys the original keyboard sent with an E0 prefix are marked extended.
bool ScanOfEvdev(uint32_t Code, WORD& Scan, bool& Extended) {
  Extended = false;
  if (Code == 69) {  // Num Lock
    Scan = 0x45;
    Extended = true;
    return true;
  }
  if (Code >= 1 && Code <= 88) {
    Scan = static_cast<WORD>(Code);
    return true;
  }
  struct Ext {
    uint32_t Code;
    WORD Scan;
    bool Extended;
  };
  static constexpr Ext kExt[] = {
      {96, 0x1C, true},  {97, 0x1D, true},  {98, 0x35, true},  {99, 0x37, true},  {100, 0x38, true},
      {102, 0x47, true}, {103, 0x48, true}, {104, 0x49, true}, {105, 0x4B, true}, {106, 0x4D, true},
      {107, 0x4F, true}, {108, 0x50, true}, {109, 0x51, true}, {110, 0x52, true}, {111, 0x53, true},
      {119, 0x45, false}, {125, 0x5B, true}, {126, 0x5C, true}, {127, 0x5D, true},
  };
  for (const Ext& E : kExt)
    if (E.Code == Code) {
      Scan = E.Scan;
      Extended = E.Extended;
      return true;
    }
  return false;
}

// Virtual key of a Latin character symbol (letters, digits and the US punctuation), 0 for others.
WORD VkOfLatin(uint32_t Sym) {
  if (Sym >= XK_a && Sym <= XK_z) return static_cast<WORD>(Sym - XK_a + 'A');
  if (Sym >= XK_A && Sym <= XK_Z) return static_cast<WORD>(Sym);
  if (Sym >= XK_0 && Sym <= XK_9) return static_cast<WORD>(Sym);
  for (const SymVk& P : kPunctuation)
    if (P.Sym == Sym) return P.Vk;
  return 0;
}

}  // namespace

KeyMapping MapKey(uint32_t Keysym, uint32_t Unshifted, uint32_t FirstLayout, uint32_t Keycode) {
  KeyMapping M;
  const uint32_t Evdev = Keycode >= 8 ? Keycode - 8 : 0;
  if (!ScanOfEvdev(Evdev, M.Scan, M.Extended)) M.Scan = 0;

  // Keypad digits follow Num Lock, which only the event's own symbol reflects.
  if (Keysym >= XK_KP_0 && Keysym <= XK_KP_9) {
    M.Vk = static_cast<WORD>(VK_NUMPAD0 + (Keysym - XK_KP_0));
    return M;
  }
  if (Keysym >= XK_F1 && Keysym <= XK_F24) {
    M.Vk = static_cast<WORD>(VK_F1 + (Keysym - XK_F1));
    return M;
  }
  for (uint32_t Sym : {Keysym, Unshifted})
    for (const SymVk& S : kSpecial)
      if (S.Sym == Sym) {
        M.Vk = S.Vk;
        return M;
      }

  if (WORD Vk = VkOfLatin(Unshifted)) {
    M.Vk = Vk;
  } else if (WORD First = VkOfLatin(FirstLayout)) {
    M.Vk = First;
  } else if (WORD ByPosition = VkOfEvdev(Evdev)) {
    M.Vk = ByPosition;
  } else if (KeysymToChar(Keysym) != 0) {
    M.Vk = VK_PACKET;
  }
  return M;
}

char32_t KeysymToChar(uint32_t Keysym) {
  // Latin-1 symbols are their own code points; 0x01000000 + c is the symbol of any Unicode character.
  if ((Keysym >= 0x20 && Keysym <= 0x7E) || (Keysym >= 0xA0 && Keysym <= 0xFF)) return Keysym;
  if (Keysym >= 0x01000100 && Keysym <= 0x0110FFFF) {
    char32_t C = Keysym - 0x01000000;
    return (C >= 0xD800 && C <= 0xDFFF) ? 0 : C;
  }
  if (Keysym >= XK_KP_0 && Keysym <= XK_KP_9) return U'0' + (Keysym - XK_KP_0);
  switch (Keysym) {
    case XK_BackSpace: return 0x08;
    case XK_Tab:
    case XK_KP_Tab: return 0x09;
    case XK_Return:
    case XK_KP_Enter: return 0x0D;
    case XK_Escape: return 0x1B;
    case XK_KP_Space: return U' ';
    case XK_KP_Multiply: return U'*';
    case XK_KP_Add: return U'+';
    case XK_KP_Subtract: return U'-';
    case XK_KP_Decimal: return U'.';
    case XK_KP_Divide: return U'/';
    case XK_KP_Equal: return U'=';
    case XK_EuroSign: return 0x20AC;
    default: return 0;
  }
}

}  // namespace k58::winui::x11
