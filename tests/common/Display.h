// The test display seen from the tests: its screen as pixels to probe. Linking this part of the test
// support also makes the display's screen the picture of a failing test.
#pragma once

#include "platform/win/testing/TestDisplay.h"
#include "tests/common/Pixels.h"

namespace k58test {

// The screen as shown now, in screen coordinates (one picture, taken when called).
PixelReader ScreenPixels(k58::winui::TestDisplay& D);
// A window's client area as shown, in client coordinates (read pixel by pixel).
PixelReader ClientPixels(k58::winui::TestDisplay& D, HWND Hwnd);

}  // namespace k58test
