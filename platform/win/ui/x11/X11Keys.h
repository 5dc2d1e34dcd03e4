// Keyboard translation of the X11 display: X key symbols and key codes to virtual keys, scan codes and
// characters. Key symbols are passed as plain numbers so that no X header is needed here.
#pragma once

#include <cstdint>

#include "platform/rtl/WinTypes.h"

namespace k58::winui::x11 {

struct KeyMapping {
  WORD Vk = 0;
  WORD Scan = 0;  // 0 when the key code is not one of the standard keyboard's
  bool Extended = false;
};

// The virtual key, scan code and extended flag of a key event.
//   Keysym      the key symbol of the event in the current modifier state (keypad keys depend on
//               Num Lock, so they are read from it);
//   Unshifted   the key's symbol without modifiers in the active layout;
//   FirstLayout the key's symbol without modifiers in the first layout (letters of non-Latin layouts
//               take the virtual key of the Latin layout listed first, as on the original platform);
//   Keycode     the X key code (evdev code + 8 on every current server).
// Keys with a character but no virtual key of their own get VK_PACKET; keys with neither get 0.
KeyMapping MapKey(uint32_t Keysym, uint32_t Unshifted, uint32_t FirstLayout, uint32_t Keycode);

// The character a key symbol stands for (0: none), for servers without an input method.
char32_t KeysymToChar(uint32_t Keysym);

}  // namespace k58::winui::x11
