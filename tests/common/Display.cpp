// The test display as the picture of a failing test: the screen as shown, when a display is alive. Its
// registration runs before main in every program that links it.
#include "tests/common/Display.h"

#include "platform/win/Windows.h"
#include "tests/common/FailureImage.h"

namespace k58test {

namespace {

bool WriteScreen(const std::string& Path) {
  k58::winui::TestDisplay* D = k58::winui::TestDisplay::Current();
  return D && D->SavePng(Path);
}

[[maybe_unused]] const bool kRegistered = (SetDefaultFailureImage(&WriteScreen), true);

}  // namespace

PixelReader ScreenPixels(k58::winui::TestDisplay& D) {
  PixelReader Surface = PixelsOf(D.Screen());
  const int X0 = GetSystemMetrics(SM_XVIRTUALSCREEN), Y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return [Surface, X0, Y0](int X, int Y) { return Surface(X - X0, Y - Y0); };
}

PixelReader ClientPixels(k58::winui::TestDisplay& D, HWND Hwnd) {
  return [&D, Hwnd](int X, int Y) { return D.ClientPixel(Hwnd, POINT{X, Y}); };
}

}  // namespace k58test
