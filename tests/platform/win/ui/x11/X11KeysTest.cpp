// Key translation of the X11 display: key symbols and key codes to virtual keys, scan codes and
// characters.
#include <gtest/gtest.h>

#include "platform/win/core/WinKeys.h"
#include "platform/win/ui/x11/X11Keys.h"

#include <X11/keysym.h>

namespace winui_test {

namespace {

using k58::winui::x11::KeysymToChar;
using k58::winui::x11::MapKey;

// X key code of an evdev code.
constexpr uint32_t Kc(uint32_t Evdev) { return Evdev + 8; }

struct KeyCase {
  const char* What;
  uint32_t Keysym, Unshifted, FirstLayout, Keycode;
  WORD Vk, Scan;
  bool Extended;
};

class X11KeyMapping : public ::testing::TestWithParam<KeyCase> {};

TEST_P(X11KeyMapping, GivesTheKeyOfTheOriginalKeyboard) {
  const KeyCase& C = GetParam();
  k58::winui::x11::KeyMapping M = MapKey(C.Keysym, C.Unshifted, C.FirstLayout, C.Keycode);
  EXPECT_EQ(M.Vk, C.Vk) << C.What;
  EXPECT_EQ(M.Scan, C.Scan) << C.What;
  EXPECT_EQ(M.Extended, C.Extended) << C.What;
}

constexpr uint32_t kCyrillicEf = 0x6c6;  // the Russian letter on the A key
constexpr uint32_t kHan = 0x1004E2D;      // a Unicode key symbol, as remapped keys carry

INSTANTIATE_TEST_SUITE_P(
    Keys, X11KeyMapping,
    ::testing::Values(
        KeyCase{"letter", XK_a, XK_a, XK_a, Kc(30), 'A', 0x1E, false},
        KeyCase{"shifted letter", XK_A, XK_a, XK_a, Kc(30), 'A', 0x1E, false},
        KeyCase{"letter of a second, non-Latin layout", kCyrillicEf, kCyrillicEf, XK_a, Kc(30), 'A', 0x1E, false},
        KeyCase{"non-Latin layout alone: by position", kCyrillicEf, kCyrillicEf, kCyrillicEf, Kc(30), 'A', 0x1E, false},
        KeyCase{"digit row of a layout with symbols unshifted", XK_ampersand, XK_ampersand, XK_ampersand, Kc(2), '1',
                0x02, false},
        KeyCase{"punctuation", XK_semicolon, XK_semicolon, XK_semicolon, Kc(39), VK_OEM_1, 0x27, false},
        KeyCase{"key between Shift and Z", XK_less, XK_less, XK_less, Kc(86), VK_OEM_102, 0x56, false},
        KeyCase{"keypad digit with Num Lock", XK_KP_1, XK_KP_End, XK_KP_End, Kc(79), VK_NUMPAD1, 0x4F, false},
        KeyCase{"keypad without Num Lock", XK_KP_End, XK_KP_End, XK_KP_End, Kc(79), VK_END, 0x4F, false},
        KeyCase{"End of the grey block", XK_End, XK_End, XK_End, Kc(107), VK_END, 0x4F, true},
        KeyCase{"keypad Enter", XK_KP_Enter, XK_KP_Enter, XK_KP_Enter, Kc(96), VK_RETURN, 0x1C, true},
        KeyCase{"keypad divide", XK_KP_Divide, XK_KP_Divide, XK_KP_Divide, Kc(98), VK_DIVIDE, 0x35, true},
        KeyCase{"right Control", XK_Control_R, XK_Control_R, XK_Control_R, Kc(97), VK_CONTROL, 0x1D, true},
        KeyCase{"left Shift", XK_Shift_L, XK_Shift_L, XK_Shift_L, Kc(42), VK_SHIFT, 0x2A, false},
        KeyCase{"AltGr", XK_ISO_Level3_Shift, XK_ISO_Level3_Shift, XK_ISO_Level3_Shift, Kc(100), VK_MENU, 0x38, true},
        KeyCase{"function key", XK_F5, XK_F5, XK_F5, Kc(63), VK_F5, 0x3F, false},
        KeyCase{"Delete", XK_Delete, XK_Delete, XK_Delete, Kc(111), VK_DELETE, 0x53, true},
        KeyCase{"Num Lock", XK_Num_Lock, XK_Num_Lock, XK_Num_Lock, Kc(69), VK_NUMLOCK, 0x45, true},
        KeyCase{"Pause", XK_Pause, XK_Pause, XK_Pause, Kc(119), VK_PAUSE, 0x45, false},
        KeyCase{"Shift+Tab", XK_ISO_Left_Tab, XK_Tab, XK_Tab, Kc(15), VK_TAB, 0x0F, false},
        KeyCase{"menu key", XK_Menu, XK_Menu, XK_Menu, Kc(127), VK_APPS, 0x5D, true},
        KeyCase{"character on a spare key code", kHan, kHan, kHan, 250, VK_PACKET, 0, false},
        KeyCase{"nothing known", XK_VoidSymbol, XK_VoidSymbol, XK_VoidSymbol, 250, 0, 0, false}));

TEST(X11Keysyms, StandForTheirCharacters) {
  struct {
    uint32_t Sym;
    char32_t Char;
  } Cases[] = {
      {XK_a, U'a'},         {XK_udiaeresis, 0xFC}, {kHan, 0x4E2D},       {0x101F600, 0x1F600},
      {XK_KP_5, U'5'},      {XK_KP_Add, U'+'},     {XK_Return, 0x0D},    {XK_Left, 0},
      {XK_Shift_L, 0},      {0x100D800, 0},  // a surrogate is no character
  };
  for (const auto& C : Cases) EXPECT_EQ(KeysymToChar(C.Sym), C.Char) << std::hex << C.Sym;
}

}  // namespace

}  // namespace winui_test
