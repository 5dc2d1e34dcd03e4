// Middle-button scrolling: a modal loop around an anchor window in which the mouse's distance from the
// anchor sets the direction and speed of line scrolling.
#include <algorithm>
#include <cstdlib>

#include "controls/foundation/uiControls.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/Streams.h"
#include "platform/win/builtin/CommCtrl.h"

namespace {

constexpr UINT_PTR kScrollTimerId = 0x2C01;
constexpr UINT kTickInterval = 20;
constexpr Integer kMaxSpeed = 12;

// The direction and speed for the mouse at P around the anchor (screen coordinates). Inside the neutral
// zone (the anchor's square, widened to the whole screen along a missing bar) nothing scrolls.
struct Movement {
  TuiScrollDirection Direction = sdNone;
  Integer Speed = 0;
};

Movement MovementAt(const TPoint& P, const TPoint& AAnchor, Integer AAnchorSize, bool AHorizontal, bool AVertical) {
  TRect neutral{AAnchor.x - AAnchorSize / 2, AAnchor.y - AAnchorSize / 2, 0, 0};
  neutral.right = neutral.left + AAnchorSize;
  neutral.bottom = neutral.top + AAnchorSize;
  if (!AHorizontal) {
    neutral.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    neutral.right = neutral.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  }
  if (!AVertical) {
    neutral.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    neutral.bottom = neutral.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  }
  Movement movement;
  if (::PtInRect(&neutral, P)) return movement;
  const Integer dx = std::abs(P.x - AAnchor.x);
  const Integer dy = std::abs(P.y - AAnchor.y);
  Integer distance;
  if (!AHorizontal || (AVertical && dy >= dx)) {
    movement.Direction = P.y < AAnchor.y ? sdUp : sdDown;
    distance = dy;
  } else {
    movement.Direction = P.x < AAnchor.x ? sdLeft : sdRight;
    distance = dx;
  }
  movement.Speed = std::min((distance - AAnchorSize / 2) / 5 + 1, kMaxSpeed);
  return movement;
}

TCursor CursorOf(TuiScrollDirection ADirection, bool AHorizontal, bool AVertical) {
  switch (ADirection) {
    case sdLeft: return crUiLeftScroll;
    case sdRight: return crUiRightScroll;
    case sdUp: return crUiUpScroll;
    case sdDown: return crUiDownScroll;
    default: return AHorizontal && AVertical ? crUiFullScroll : AHorizontal ? crUiHorScroll : crUiVerScroll;
  }
}

void ShowCursor(TCursor ACursor) {
  if (Screen != nullptr) ::SetCursor(Screen->Cursors(ACursor));
}

// The anchor: a top-most window of the system's static class showing the bitmap, made round by an
// elliptic region with a frame along its edge, shown without taking the activation.
HWND CreateAnchorWindow(HWND AOwner, const TPoint& AAnchor, HBITMAP ABitmap, Integer ASize) {
  ::InitCommonControls();
  const Integer left = AAnchor.x - ASize / 2;
  const Integer top = AAnchor.y - ASize / 2;
  HWND anchor = ::CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WC_STATIC, "", WS_POPUP | SS_BITMAP, left, top,
                                 ASize, ASize, AOwner, nullptr, HInstance, nullptr);
  if (anchor == nullptr) return nullptr;
  ::SendMessage(anchor, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(ABitmap));
  ::SetWindowRgn(anchor, ::CreateEllipticRgn(0, 0, ASize + 1, ASize + 1), FALSE);
  ::SetWindowPos(anchor, HWND_TOPMOST, left, top, ASize, ASize, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::UpdateWindow(anchor);
  HDC dc = ::GetWindowDC(anchor);
  HRGN frame = ::CreateEllipticRgn(0, 0, ASize + 1, ASize + 1);
  ::FrameRgn(dc, frame, ::GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
  ::DeleteObject(frame);
  ::ReleaseDC(anchor, dc);
  return anchor;
}

}  // namespace

void TuiControl::MiddleButtonScroll() {
  const bool horizontal = IsHScrollBarVisible();
  const bool vertical = IsVScrollBarVisible();
  if (!horizontal && !vertical) return;
  middleButtonScrolling_ = true;
  std::weak_ptr<bool> alive = AliveToken();
  const auto isAlive = [&] { return !alive.expired() && *alive.lock(); };
  const HWND wnd = Handle();

  TPoint anchorPoint{};
  ::GetCursorPos(&anchorPoint);
  const char* bitmapName =
      horizontal && vertical ? "UI_FULLSCROLLBITMAP" : horizontal ? "UI_HORSCROLLBITMAP" : "UI_VERSCROLLBITMAP";
  HBITMAP bitmap = nullptr;
  {
    TBitmap picture;
    picture.LoadFromResourceName(HInstance, bitmapName);
    bitmap = picture.ReleaseHandle();
  }
  BITMAP info{};
  if (bitmap != nullptr) ::GetObject(bitmap, sizeof info, &info);
  const Integer anchorSize = info.bmWidth;
  HWND anchor = bitmap != nullptr ? CreateAnchorWindow(wnd, anchorPoint, bitmap, anchorSize) : nullptr;

  Movement movement{sdNone, 1};
  Integer ticks = 0;
  bool moved = false;
  TPoint lastPoint = anchorPoint;
  ::SetTimer(wnd, kScrollTimerId, kTickInterval, nullptr);
  SetMouseCapture(true);
  ShowCursor(CursorOf(sdNone, horizontal, vertical));

  while (::GetCapture() == wnd) {
    MSG msg;
    if (!k58::foundation::GetModalLoopMessage(msg)) break;
    bool done = false;
    bool dispatch = true;
    switch (msg.message) {
      case WM_PAINT:
        if (msg.hwnd == anchor) {
          ::ValidateRect(anchor, nullptr);
          dispatch = false;
        }
        break;
      case WM_KEYDOWN:
      case WM_KEYUP:
        done = msg.wParam == VK_ESCAPE;
        break;
      case WM_TIMER:
        if (msg.hwnd == wnd && msg.wParam == kScrollTimerId) {
          ++ticks;
          if (ticks % (kMaxSpeed + 1 - movement.Speed) == 0) ScrollByDirection(movement.Direction);
        }
        break;
      case WM_MOUSEMOVE: {
        TPoint p = LParamToPoint(msg.lParam);
        ::ClientToScreen(msg.hwnd, &p);
        if (p.x != lastPoint.x || p.y != lastPoint.y) {
          movement = MovementAt(p, anchorPoint, anchorSize, horizontal, vertical);
          if (movement.Direction != sdNone) moved = true;
          ShowCursor(CursorOf(movement.Direction, horizontal, vertical));
          lastPoint = p;
        }
        break;
      }
      case WM_MBUTTONUP:
        // A click without moving leaves the mode running; a release after moving ends it.
        done = moved;
        dispatch = moved;
        break;
      default:
        if (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MOUSEWHEEL) {
          done = true;
          dispatch = false;
        }
        break;
    }
    if (dispatch) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
    if (done || !isAlive()) break;
  }

  if (::IsWindow(wnd)) {
    if (::GetCapture() == wnd) ::ReleaseCapture();
    ::KillTimer(wnd, kScrollTimerId);
  }
  if (anchor != nullptr) ::DestroyWindow(anchor);
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (isAlive()) middleButtonScrolling_ = false;
}
