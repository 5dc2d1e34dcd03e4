// The screen: the forms and the active one, the numbered cursors, the system fonts, size and monitors.
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/classes/Streams.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/SysUtils.h"

namespace {

// A 32 x 32 cursor drawn in code: 'X' black, '.' white, anything else transparent.
class CursorArt {
 public:
  CursorArt() { rows_.fill(std::string(32, ' ')); }
  void Set(int x, int y, char c) {
    if (x >= 0 && x < 32 && y >= 0 && y < 32) rows_[static_cast<size_t>(y)][static_cast<size_t>(x)] = c;
  }
  void Draw(int x0, int y0, std::initializer_list<const char*> lines) {
    int y = y0;
    for (const char* line : lines) {
      for (int x = 0; line[x] != '\0'; ++x) {
        if (line[x] == 'X' || line[x] == '.') Set(x0 + x, y, line[x]);
      }
      ++y;
    }
  }
  void Box(int left, int top, int right, int bottom) {
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) {
        bool edge = x == left || x == right || y == top || y == bottom;
        Set(x, y, edge ? ((x + y) % 2 == 0 ? 'X' : '.') : ' ');
      }
    }
  }
  HCURSOR Make(int hotX, int hotY) const {
    std::array<BYTE, 32 * 4> andPlane{};
    std::array<BYTE, 32 * 4> xorPlane{};
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        char c = rows_[static_cast<size_t>(y)][static_cast<size_t>(x)];
        size_t byte = static_cast<size_t>(y * 4 + x / 8);
        BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
        if (c == 'X') {
          // AND 0, XOR 0: black
        } else if (c == '.') {
          xorPlane[byte] |= bit;  // AND 0, XOR 1: white
        } else {
          andPlane[byte] |= bit;  // AND 1, XOR 0: the screen shows through
        }
      }
    }
    return ::CreateCursor(HInstance, hotX, hotY, 32, 32, andPlane.data(), xorPlane.data());
  }

 private:
  std::array<std::string, 32> rows_;
};

void DrawArrow(CursorArt& art) {
  art.Draw(0, 0, {"X",          "XX",         "X.X",        "X..X",      "X...X",     "X....X",    "X.....X",
                  "X......X",   "X.......X",  "X........X", "X.....XXXXX", "X..X..X",  "X.X X..X",  "XX  X..X",
                  "X    X..X",  "     X..X",  "      XX"});
}

HCURSOR MakeDragCursor(bool Multi) {
  CursorArt art;
  DrawArrow(art);
  if (Multi) art.Box(12, 18, 22, 26);
  art.Box(9, 21, 19, 29);
  return art.Make(0, 0);
}

HCURSOR MakeNoDropCursor() {
  CursorArt art;
  // A ring with a stroke through it.
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      double d = std::hypot(x - 11.5, y - 11.5);
      if (d >= 7.5 && d < 10.5) art.Set(x, y, 'X');
      if (d >= 10.5 && d < 11.5) art.Set(x, y, '.');
    }
  }
  for (int i = -7; i <= 7; ++i) {
    art.Set(11 + i, 11 + i, 'X');
    art.Set(12 + i, 11 + i, 'X');
    art.Set(11 + i, 12 + i, 'X');
  }
  return art.Make(11, 11);
}

HCURSOR MakeSplitCursor(bool Horizontal) {
  CursorArt art;
  for (int i = 4; i <= 27; ++i) {
    for (int w : {14, 17}) {
      if (Horizontal) {
        art.Set(w, i, 'X');
        art.Set(w - 1, i, '.');
        art.Set(w + 1, i, '.');
      } else {
        art.Set(i, w, 'X');
        art.Set(i, w - 1, '.');
        art.Set(i, w + 1, '.');
      }
    }
  }
  // Arrows away from the bars on both sides.
  for (int k = 0; k < 5; ++k) {
    for (int j = -k; j <= k; ++j) {
      if (Horizontal) {
        art.Set(7 + k, 15 + j, 'X');
        art.Set(24 - k, 15 + j, 'X');
      } else {
        art.Set(15 + j, 7 + k, 'X');
        art.Set(15 + j, 24 - k, 'X');
      }
    }
  }
  return art.Make(15, 15);
}

HCURSOR MakeWaitCursor() {
  CursorArt art;
  DrawArrow(art);
  // An hourglass beside the arrow.
  art.Draw(16, 12, {"XXXXXXXXX", "X.......X", " X.....X", "  X...X", "   X.X", "   X.X", "  X...X", " X.....X",
                    "X.......X", "XXXXXXXXX"});
  return art.Make(0, 0);
}

}  // namespace

// ---- Monitors -----------------------------------------------------------------------------------------------

bool TMonitor::Primary() const {
  MONITORINFO info;
  if (!::GetMonitorInfo(handle_, &info)) return false;
  return (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

TRect TMonitor::BoundsRect() const {
  MONITORINFO info;
  if (!::GetMonitorInfo(handle_, &info)) return TRect{};
  return info.rcMonitor;
}

TRect TMonitor::WorkareaRect() const {
  MONITORINFO info;
  if (!::GetMonitorInfo(handle_, &info)) return TRect{};
  return info.rcWork;
}

// ---- The screen ----------------------------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner), menuFont_(new TFont()), hintFont_(new TFont()), iconFont_(new TFont()) {}

TScreen::~TScreen() {
  for (const CursorEntry& e : cursors_) {
    if (e.Owned && e.Handle != nullptr) ::DestroyCursor(e.Handle);
  }
}

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(forms_.begin(), forms_.end(), Form) == forms_.end()) forms_.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  std::erase(forms_, Form);
  std::erase(saveFocusedList_, Form);
  if (activeForm_ == Form) activeForm_ = nullptr;
  if (focusedForm_ == Form) focusedForm_ = nullptr;
  if (lastActiveForm_ == Form) lastActiveForm_ = nullptr;
  if (activeControl_ != nullptr && GetParentForm(activeControl_) == Form) activeControl_ = nullptr;
  if (lastActiveControl_ != nullptr && GetParentForm(lastActiveControl_) == Form) lastActiveControl_ = nullptr;
}

void TScreen::AddDataModule(TDataModule* DataModule) {
  if (std::find(dataModules_.begin(), dataModules_.end(), DataModule) == dataModules_.end()) {
    dataModules_.push_back(DataModule);
  }
}

void TScreen::RemoveDataModule(TDataModule* DataModule) { std::erase(dataModules_, DataModule); }

void TScreen::ControlDestroyed(TControl* Control) {
  if (activeControl_ == Control) activeControl_ = nullptr;
  if (lastActiveControl_ == Control) lastActiveControl_ = nullptr;
}

// The form that got the focus moves to the front of the list.
void TScreen::SetActive(TCustomForm* Form, TWinControl* Control) {
  activeControl_ = Control;
  activeForm_ = Form;
  auto it = std::find(forms_.begin(), forms_.end(), Form);
  if (it != forms_.end()) {
    forms_.erase(it);
    forms_.insert(forms_.begin(), Form);
  }
}

void TScreen::UpdateLastActive() {
  if (lastActiveForm_ != activeForm_) {
    lastActiveForm_ = activeForm_;
    onActiveFormChange_(this);
  }
  if (lastActiveControl_ != activeControl_) {
    lastActiveControl_ = activeControl_;
    onActiveControlChange_(this);
  }
}

// ---- Cursors ---------------------------------------------------------------------------------------------------

void TScreen::SetCursor(TCursor Value) {
  if (cursor_ == Value) return;
  cursor_ = Value;
  // The mouse shows it at once over the application's windows.
  TPoint p{};
  ::GetCursorPos(&p);
  HWND wnd = ::WindowFromPoint(p);
  if (wnd != nullptr && FindControl(wnd) != nullptr) {
    if (Value == crDefault) {
      ::SendMessage(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    } else {
      ::SetCursor(Cursors(Value));
    }
  }
}

HCURSOR TScreen::StandardCursor(Integer Index) {
  switch (Index) {
    case crDefault:
    case crArrow: return ::LoadCursor(nullptr, IDC_ARROW);
    case crNone: return nullptr;
    case crCross: return ::LoadCursor(nullptr, IDC_CROSS);
    case crIBeam: return ::LoadCursor(nullptr, IDC_IBEAM);
    case crSizeNESW: return ::LoadCursor(nullptr, IDC_SIZENESW);
    case crSizeNS: return ::LoadCursor(nullptr, IDC_SIZENS);
    case crSizeNWSE: return ::LoadCursor(nullptr, IDC_SIZENWSE);
    case crSizeWE: return ::LoadCursor(nullptr, IDC_SIZEWE);
    case crUpArrow: return ::LoadCursor(nullptr, IDC_UPARROW);
    case crHourGlass: return ::LoadCursor(nullptr, IDC_WAIT);
    case crNo: return ::LoadCursor(nullptr, IDC_NO);
    case crAppStart: return ::LoadCursor(nullptr, IDC_APPSTARTING);
    case crHelp: return ::LoadCursor(nullptr, IDC_HELP);
    case crHandPoint: return ::LoadCursor(nullptr, IDC_HAND);
    case crSizeAll: return ::LoadCursor(nullptr, IDC_SIZEALL);
    default: break;
  }
  // The library's own cursors, drawn once.
  HCURSOR made = nullptr;
  switch (Index) {
    case crDrag: made = MakeDragCursor(false); break;
    case crMultiDrag: made = MakeDragCursor(true); break;
    case crNoDrop: made = MakeNoDropCursor(); break;
    case crHSplit: made = MakeSplitCursor(true); break;
    case crVSplit: made = MakeSplitCursor(false); break;
    case crSQLWait: made = MakeWaitCursor(); break;
    default: return nullptr;
  }
  if (made != nullptr) cursors_.push_back(CursorEntry{Index, made, true});
  return made;
}

HCURSOR TScreen::Cursors(Integer Index) {
  for (const CursorEntry& e : cursors_) {
    if (e.Index == Index) return e.Handle;
  }
  if (Index == crNone) return nullptr;
  HCURSOR standard = StandardCursor(Index);
  if (standard != nullptr) return standard;
  return ::LoadCursor(nullptr, IDC_ARROW);
}

void TScreen::SetCursors(Integer Index, HCURSOR Handle) {
  for (auto it = cursors_.begin(); it != cursors_.end(); ++it) {
    if (it->Index != Index) continue;
    if (it->Owned && it->Handle != nullptr && it->Handle != Handle) ::DestroyCursor(it->Handle);
    if (Handle == nullptr) {
      cursors_.erase(it);
    } else {
      it->Handle = Handle;
      it->Owned = true;
    }
    return;
  }
  if (Handle != nullptr) cursors_.push_back(CursorEntry{Index, Handle, true});
}

// ---- Fonts ------------------------------------------------------------------------------------------------------

TFont* TScreen::MenuFont() {
  if (!fontsRead_) ResetFonts();
  return menuFont_.get();
}

TFont* TScreen::HintFont() {
  if (!fontsRead_) ResetFonts();
  return hintFont_.get();
}

TFont* TScreen::IconFont() {
  if (!fontsRead_) ResetFonts();
  return iconFont_.get();
}

void TScreen::ResetFonts() {
  fontsRead_ = true;
  NONCLIENTMETRICS metrics;
  if (::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    menuFont_->SetHandle(::CreateFontIndirect(&metrics.lfMenuFont));
    hintFont_->SetHandle(::CreateFontIndirect(&metrics.lfStatusFont));
    iconFont_->SetHandle(::CreateFontIndirect(&metrics.lfMessageFont));
  }
  menuFont_->SetColor(clMenuText);
  hintFont_->SetColor(clInfoText);
  iconFont_->SetColor(clWindowText);
}

TStrings* TScreen::Fonts() {
  if (!fonts_) {
    fonts_.reset(new TStringList());
    // The face names the text layer knows how to show.
    for (const char* name : {"Arial", "Courier New", "MS Sans Serif", "MS Shell Dlg", "Tahoma", "Times New Roman",
                             "Verdana", "宋体", "新宋体"}) {
      fonts_->Add(name);
    }
    fonts_->SetSorted(true);
  }
  return fonts_.get();
}

// ---- Size and monitors ------------------------------------------------------------------------------------------

Integer TScreen::Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }

Integer TScreen::Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }

Integer TScreen::DesktopLeft() const { return ::GetSystemMetrics(SM_XVIRTUALSCREEN); }

Integer TScreen::DesktopTop() const { return ::GetSystemMetrics(SM_YVIRTUALSCREEN); }

Integer TScreen::DesktopWidth() const { return ::GetSystemMetrics(SM_CXVIRTUALSCREEN); }

Integer TScreen::DesktopHeight() const { return ::GetSystemMetrics(SM_CYVIRTUALSCREEN); }

TRect TScreen::DesktopRect() const {
  return TRect{DesktopLeft(), DesktopTop(), DesktopLeft() + DesktopWidth(), DesktopTop() + DesktopHeight()};
}

TRect TScreen::WorkAreaRect() const {
  TRect r{};
  if (!::SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0)) r = TRect{0, 0, Width(), Height()};
  return r;
}

// The monitors now; a monitor that stays keeps its object, so pointers handed out remain valid.
void TScreen::RefreshMonitors() {
  std::vector<HMONITOR> handles;
  ::EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR Monitor, HDC, LPRECT, LPARAM Data) -> BOOL {
    reinterpret_cast<std::vector<HMONITOR>*>(Data)->push_back(Monitor);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&handles));
  std::vector<TObjectPtr<TMonitor>> kept;
  for (size_t i = 0; i < handles.size(); ++i) {
    TObjectPtr<TMonitor> monitor;
    for (auto& m : monitors_) {
      if (m && m->handle_ == handles[i]) {
        monitor = std::move(m);
        break;
      }
    }
    if (!monitor) {
      monitor.reset(new TMonitor());
      monitor->handle_ = handles[i];
    }
    monitor->monitorNum_ = static_cast<Integer>(i);
    kept.push_back(std::move(monitor));
  }
  // Monitors that went away are kept aside until the screen goes, in case someone still holds one.
  for (auto& m : monitors_) {
    if (m) retired_.push_back(std::move(m));
  }
  monitors_ = std::move(kept);
}

Integer TScreen::MonitorCount() {
  RefreshMonitors();
  return static_cast<Integer>(monitors_.size());
}

TMonitor* TScreen::Monitors(Integer Index) {
  if (monitors_.empty()) RefreshMonitors();
  if (Index < 0 || Index >= static_cast<Integer>(monitors_.size())) return nullptr;
  return monitors_[static_cast<size_t>(Index)].get();
}

namespace {
DWORD MonitorFlags(TMonitorDefaultTo MonitorDefault) {
  switch (MonitorDefault) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
  }
}
}  // namespace

TMonitor* TScreen::PrimaryMonitor() {
  RefreshMonitors();
  for (auto& m : monitors_) {
    if (m->Primary()) return m.get();
  }
  return monitors_.empty() ? nullptr : monitors_.front().get();
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& Point, TMonitorDefaultTo MonitorDefault) {
  HMONITOR handle = ::MonitorFromPoint(Point, MonitorFlags(MonitorDefault));
  RefreshMonitors();
  for (auto& m : monitors_) {
    if (m->handle_ == handle) return m.get();
  }
  return nullptr;
}

TMonitor* TScreen::MonitorFromRect(const TRect& Rect, TMonitorDefaultTo MonitorDefault) {
  HMONITOR handle = ::MonitorFromRect(&Rect, MonitorFlags(MonitorDefault));
  RefreshMonitors();
  for (auto& m : monitors_) {
    if (m->handle_ == handle) return m.get();
  }
  return nullptr;
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo MonitorDefault) {
  HMONITOR handle = ::MonitorFromWindow(Handle, MonitorFlags(MonitorDefault));
  RefreshMonitors();
  for (auto& m : monitors_) {
    if (m->handle_ == handle) return m.get();
  }
  return nullptr;
}
