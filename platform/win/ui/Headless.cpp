// The headless display back-end.
#include "platform/win/ui/Headless.h"

#include <algorithm>

#include "platform/win/gdi/WinRect.h"

namespace k58::winui {

namespace {

std::vector<MonitorDesc> OneMonitor(int Width, int Height) {
  MonitorDesc M;
  M.Bounds = RECT{0, 0, Width, Height};
  M.WorkArea = M.Bounds;
  M.Primary = true;
  return {M};
}

RECT Union(const RECT& A, const RECT& B) {
  if (gdi::RectEmpty(A)) return B;
  if (gdi::RectEmpty(B)) return A;
  return RECT{std::min(A.left, B.left), std::min(A.top, B.top), std::max(A.right, B.right),
              std::max(A.bottom, B.bottom)};
}

}  // namespace

HeadlessDisplay::HeadlessDisplay(int Width, int Height) : monitors_(OneMonitor(Width, Height)) {}

HeadlessDisplay::HeadlessDisplay(std::vector<MonitorDesc> Monitors) : monitors_(std::move(Monitors)) {
  if (monitors_.empty()) monitors_ = OneMonitor(1280, 1024);
}

std::vector<MonitorDesc> HeadlessDisplay::Monitors() {
  std::lock_guard<std::mutex> G(lock_);
  return monitors_;
}

void HeadlessDisplay::SetMonitors(std::vector<MonitorDesc> Monitors) {
  std::lock_guard<std::mutex> G(lock_);
  monitors_ = std::move(Monitors);
  if (monitors_.empty()) monitors_ = OneMonitor(1280, 1024);
}

void HeadlessDisplay::TopLevelCreated(HWND Window, const TopLevelInfo& Info) {
  std::lock_guard<std::mutex> G(lock_);
  windows_[Window].Info = Info;
}

void HeadlessDisplay::TopLevelDestroyed(HWND Window) {
  std::lock_guard<std::mutex> G(lock_);
  windows_.erase(Window);
}

void HeadlessDisplay::TopLevelShown(HWND Window, bool Visible, bool /*Activate*/) {
  std::lock_guard<std::mutex> G(lock_);
  windows_[Window].Mapped = Visible;
}

void HeadlessDisplay::TopLevelMoved(HWND Window, const RECT& Rect) {
  std::lock_guard<std::mutex> G(lock_);
  windows_[Window].Info.Rect = Rect;
}

void HeadlessDisplay::TopLevelChanged(HWND Window, const TopLevelInfo& Info) {
  std::lock_guard<std::mutex> G(lock_);
  windows_[Window].Info = Info;
}

void HeadlessDisplay::TopLevelRestacked(const std::vector<HWND>& /*TopFirst*/) {}

void HeadlessDisplay::TopLevelActivated(HWND /*Window*/) {}

void HeadlessDisplay::Present(HWND Window, const RECT& Damage) {
  std::lock_guard<std::mutex> G(lock_);
  auto It = windows_.find(Window);
  if (It != windows_.end()) It->second.Damage = Union(It->second.Damage, Damage);
}

void HeadlessDisplay::SetPointerShape(HCURSOR Cursor) {
  std::lock_guard<std::mutex> G(lock_);
  pointer_ = Cursor;
}

void HeadlessDisplay::WarpPointer(POINT /*Screen*/) {}

void HeadlessDisplay::Beep(UINT Type) {
  std::lock_guard<std::mutex> G(lock_);
  ++beeps_;
  lastBeep_ = Type;
}

void HeadlessDisplay::ClipboardChanged() {
  std::lock_guard<std::mutex> G(lock_);
  ++clipboardChanges_;
  hasForeignText_ = false;
}

bool HeadlessDisplay::ForeignClipboardText(std::u16string& Text) {
  std::lock_guard<std::mutex> G(lock_);
  if (!hasForeignText_) return false;
  Text = foreignText_;
  return true;
}

int HeadlessDisplay::BeepCount() const {
  std::lock_guard<std::mutex> G(lock_);
  return beeps_;
}

UINT HeadlessDisplay::LastBeep() const {
  std::lock_guard<std::mutex> G(lock_);
  return lastBeep_;
}

HCURSOR HeadlessDisplay::PointerShape() const {
  std::lock_guard<std::mutex> G(lock_);
  return pointer_;
}

std::string HeadlessDisplay::TitleOf(HWND Window) const {
  std::lock_guard<std::mutex> G(lock_);
  auto It = windows_.find(Window);
  return It == windows_.end() ? std::string() : It->second.Info.Title;
}

bool HeadlessDisplay::IsMapped(HWND Window) const {
  std::lock_guard<std::mutex> G(lock_);
  auto It = windows_.find(Window);
  return It != windows_.end() && It->second.Mapped;
}

RECT HeadlessDisplay::TakeDamage(HWND Window) {
  std::lock_guard<std::mutex> G(lock_);
  auto It = windows_.find(Window);
  if (It == windows_.end()) return RECT{};
  RECT D = It->second.Damage;
  It->second.Damage = RECT{};
  return D;
}

void HeadlessDisplay::SetForeignClipboardText(const std::u16string& Text, bool Present) {
  std::lock_guard<std::mutex> G(lock_);
  foreignText_ = Text;
  hasForeignText_ = Present;
}

int HeadlessDisplay::ClipboardChanges() const {
  std::lock_guard<std::mutex> G(lock_);
  return clipboardChanges_;
}

}  // namespace k58::winui
