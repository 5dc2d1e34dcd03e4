// The hint window.
#include "platform/forms/Hints.h"

#include "platform/forms/Forms.h"

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  Canvas()->Font()->Assign(Screen != nullptr ? Screen->HintFont() : Font());
  SetParentFont(false);
  SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  r.left += 2;
  r.top += 2;
  Canvas()->Font()->Assign(Screen != nullptr ? Screen->HintFont() : Font());
  Canvas()->Font()->SetColor(clInfoText);
  ::SetBkMode(Canvas()->Handle(), TRANSPARENT);
  String text = Caption();
  ::DrawText(Canvas()->Handle(), text.c_str(), -1, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

TRect THintWindow::CalcHintRect(Integer MaxWidth, const String& AHint, void* AData) {
  (void)AData;
  TRect r{0, 0, MaxWidth, 0};
  HDC dc = ScreenDC();
  HFONT font = Screen != nullptr ? Screen->HintFont()->Handle() : Font()->Handle();
  HGDIOBJ old = ::SelectObject(dc, font);
  ::DrawText(dc, AHint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  ::SelectObject(dc, old);
  r.right += 6;
  r.bottom += 2;
  return r;
}

void THintWindow::ActivateHint(const TRect& Rect, const String& AHint) {
  SetCaption(AHint);
  TRect r = Rect;
  // The hint stays on the screen.
  if (Screen != nullptr) {
    TRect desk = Screen->DesktopRect();
    if (r.right > desk.right) {
      Integer w = r.right - r.left;
      r.right = desk.right;
      r.left = r.right - w;
    }
    if (r.left < desk.left) {
      Integer w = r.right - r.left;
      r.left = desk.left;
      r.right = r.left + w;
    }
    if (r.bottom > desk.bottom) {
      Integer h = r.bottom - r.top;
      r.bottom = desk.bottom;
      r.top = r.bottom - h;
    }
  }
  SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  ::SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ActivateHintData(const TRect& Rect, const String& AHint, void* AData) {
  (void)AData;
  ActivateHint(Rect, AHint);
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::IsHintMsg(const MSG& Msg) {
  return (Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST) ||
         (Msg.message == WM_ACTIVATE || Msg.message == WM_ACTIVATEAPP || Msg.message == WM_NCACTIVATE) ||
         (Msg.message == WM_LBUTTONDOWN || Msg.message == WM_RBUTTONDOWN || Msg.message == WM_MBUTTONDOWN ||
          Msg.message == WM_NCLBUTTONDOWN || Msg.message == WM_NCRBUTTONDOWN || Msg.message == WM_MOUSEWHEEL);
}

void THintWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    // The mouse goes through to the window below.
    Message.Result = HTTRANSPARENT;
    return;
  }
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::Dispatch(Message);
}
