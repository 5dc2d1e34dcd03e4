// The headless display: a virtual screen in memory. Top-level windows stay in their surfaces; the
// screen's pixels are composed from them on request (desktop colour where no window is). Input comes
// only from the Inject* calls (see platform/win/testing/TestDisplay.h for the test helper).
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "platform/win/ui/Display.h"

namespace k58::winui {

class HeadlessDisplay final : public DisplayBackend {
public:
  // One monitor of the given size, its work area the whole screen.
  explicit HeadlessDisplay(int Width = 1280, int Height = 1024);
  explicit HeadlessDisplay(std::vector<MonitorDesc> Monitors);

  const char* Name() const override { return "headless"; }
  std::vector<MonitorDesc> Monitors() override;
  void TopLevelCreated(HWND Window, const TopLevelInfo& Info) override;
  void TopLevelDestroyed(HWND Window) override;
  void TopLevelShown(HWND Window, bool Visible, bool Activate) override;
  void TopLevelMoved(HWND Window, const RECT& Rect) override;
  void TopLevelChanged(HWND Window, const TopLevelInfo& Info) override;
  void TopLevelRestacked(const std::vector<HWND>& TopFirst) override;
  void TopLevelActivated(HWND Window) override;
  void Present(HWND Window, const RECT& Damage) override;
  void SetPointerShape(HCURSOR Cursor) override;
  void WarpPointer(POINT Screen) override;
  void Beep(UINT Type) override;
  void ClipboardChanged() override;
  bool ForeignClipboardText(std::u16string& Text) override;

  // What tests look at.
  void SetMonitors(std::vector<MonitorDesc> Monitors);
  int BeepCount() const;
  UINT LastBeep() const;
  HCURSOR PointerShape() const;
  // Title the window manager would show.
  std::string TitleOf(HWND Window) const;
  bool IsMapped(HWND Window) const;
  // Presented area since the last call (window coordinates), empty when nothing was presented.
  RECT TakeDamage(HWND Window);
  // Text another program would have put on the clipboard (empty: none).
  void SetForeignClipboardText(const std::u16string& Text, bool Present = true);
  int ClipboardChanges() const;

private:
  struct Top {
    TopLevelInfo Info;
    bool Mapped = false;
    RECT Damage{};
  };
  mutable std::mutex lock_;
  std::vector<MonitorDesc> monitors_;
  std::map<HWND, Top> windows_;
  int beeps_ = 0;
  UINT lastBeep_ = 0;
  HCURSOR pointer_ = nullptr;
  bool hasForeignText_ = false;
  std::u16string foreignText_;
  int clipboardChanges_ = 0;
};

}  // namespace k58::winui
