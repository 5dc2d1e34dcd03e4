// The edit popup window: border styles, client edge, shadow and system panel, the grip corner chosen from
// the popup's place, sizing from the editor, user resizing with an outline window, and the window region.
#include "controls/editors/uiEditPopupWindow.h"

#include <algorithm>

#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/core/WinUser.h"

namespace k58::editors {

namespace {

constexpr Integer kPopupShadow = 3;
// Theme parts of the system panel.
constexpr int kThemeCloseButtonPart = 18;  // window class
constexpr int kThemeSizeBoxPart = 10;      // scroll bar class

// Process-wide resizing state: one popup is resized at a time.
struct TPopupSizing {
  // The popup being resized.
  const void* Popup = nullptr;
  bool Sizing = false;
  bool CursorShown = false;
  TPoint Grab{};
  Integer DX = 0;
  Integer DY = 0;
  // The outline drawn now and the last non-empty one (screen coordinates, shadow included).
  TRect Outline{};
  TRect LastOutline{};
  Integer Lines = 2;
  bool Shadow = false;
  HWND Window = nullptr;
};
TPopupSizing popupSizing;

constexpr const char* kOutlineClass = "uiEditPopupSizingOutline";

LRESULT CALLBACK OutlineWndProc(HWND AWnd, UINT AMsg, WPARAM WParam, LPARAM LParam) {
  switch (AMsg) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(AWnd, &ps);
      RECT r;
      GetClientRect(AWnd, &r);
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      for (Integer i = 0; i < popupSizing.Lines; ++i) {
        DrawFocusRect(dc, &r);
        InflateRect(&r, -1, -1);
      }
      EndPaint(AWnd, &ps);
      return 0;
    }
    default:
      return DefWindowProc(AWnd, AMsg, WParam, LParam);
  }
}

void DestroyOutlineWindow() {
  if (popupSizing.Window != nullptr && IsWindow(popupSizing.Window)) DestroyWindow(popupSizing.Window);
  popupSizing.Window = nullptr;
}

// The outline as a frame of nested dotted lines in a window of its own above everything, which the mouse
// passes through; R empty hides it.
void DrawOutline(const TRect& R) {
  popupSizing.Outline = R;
  if (IsRectEmpty(&R)) {
    DestroyOutlineWindow();
    return;
  }
  popupSizing.LastOutline = R;
  TRect visible = R;
  if (popupSizing.Shadow) {
    visible.right -= kPopupShadow;
    visible.bottom -= kPopupShadow;
  }
  if (popupSizing.Window == nullptr || !IsWindow(popupSizing.Window)) {
    WNDCLASS cls{};
    if (!::GetClassInfo(HInstance, kOutlineClass, &cls)) {
      cls = WNDCLASS();
      cls.lpfnWndProc = OutlineWndProc;
      cls.hInstance = HInstance;
      cls.lpszClassName = kOutlineClass;
      ::RegisterClass(&cls);
    }
    popupSizing.Window =
        ::CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT, kOutlineClass, "",
                         WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, HInstance, nullptr);
    if (popupSizing.Window == nullptr) return;
  }
  const Integer w = visible.right - visible.left, h = visible.bottom - visible.top;
  HRGN ring = CreateRectRgn(0, 0, w, h);
  const Integer n = popupSizing.Lines;
  if (w > 2 * n && h > 2 * n) {
    HRGN inner = CreateRectRgn(n, n, w - n, h - n);
    CombineRgn(ring, ring, inner, RGN_DIFF);
    DeleteObject(inner);
  }
  SetWindowRgn(popupSizing.Window, ring, FALSE);
  SetWindowPos(popupSizing.Window, HWND_TOPMOST, visible.left, visible.top, w, h,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(popupSizing.Window, nullptr, TRUE);
}

void EraseOutline() {
  if (!IsRectEmpty(&popupSizing.Outline)) DrawOutline(TRect{});
  DestroyOutlineWindow();
}

TuiButtonState CloseButtonPaintState(Byte AState) {
  switch (AState) {
    case 2: return uibsHot;
    case 3: return uibsPressed;
    default: return uibsNormal;
  }
}

}  // namespace

Integer EditPopupBorderWidth(TuiEditPopupBorderStyle AStyle, bool ANativeStyle) {
  if (ANativeStyle) return 1;
  switch (AStyle) {
    case epbsSingle: return 1;
    case epbsFrame3D: return 4;
    case epbsFlat: return 2;
    default: return 0;
  }
}

Integer EditPopupClientEdgeWidth(TuiEditPopupBorderStyle AStyle, bool ANativeStyle) {
  if (ANativeStyle) return 2;
  switch (AStyle) {
    case epbsSingle:
    case epbsFrame3D: return 2;
    case epbsFlat: return 1;
    default: return 0;
  }
}

Byte EditPopupGripCorner(const TPoint& P, Integer AWidth, const TRect& AOwner, const TRect& AWorkArea,
                         TuiPopupAlignment AHorz) {
  const bool below = P.y > AOwner.top;
  const bool right = (AHorz == palBefore && P.x == AOwner.left) || AOwner.left <= AWorkArea.left ||
                     (AHorz == palAfter && P.x + AWidth != AOwner.right) ||
                     (AHorz == palCenter && AOwner.left - AWorkArea.left <= AWorkArea.right - AOwner.right);
  return static_cast<Byte>((below ? 2 : 0) + (right ? 1 : 0));
}

TCursor EditPopupSizingCursor(Integer DX, Integer DY) {
  if (DX != 0 && DY != 0) return DX == DY ? crSizeNWSE : crSizeNESW;
  if (DX != 0) return crSizeWE;
  if (DY != 0) return crSizeNS;
  return crDefault;
}

TRect EditPopupOutlineRect() { return popupSizing.Outline; }
HWND EditPopupOutlineWindow() { return popupSizing.Window; }

}  // namespace k58::editors

using k58::editors::popupSizing;
using k58::editors::kPopupShadow;
using k58::editors::kThemeCloseButtonPart;
using k58::editors::kThemeSizeBoxPart;
using k58::editors::CloseButtonPaintState;

// ---- View info ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditPopupWindowViewInfo) {}

bool TuiCustomEditPopupWindowViewInfo::IsThemedSysPanel() {
  return SysPanelStyle && OpenThemeObject(totWindow) != nullptr;
}

Integer TuiCustomEditPopupWindowViewInfo::GetDefaultSysPanelHeight() {
  Integer h = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  if (IsThemedSysPanel()) {
    SIZE size{};
    if (GetThemePartSize(OpenThemeObject(totWindow), nullptr, kThemeCloseButtonPart, 1, TS_TRUE, size) == S_OK)
      h = std::max<Integer>(h, size.cy);
    if (HTHEME bar = OpenThemeObject(totScrollBar);
        bar != nullptr && GetThemePartSize(bar, nullptr, kThemeSizeBoxPart, 1, TS_TRUE, size) == S_OK)
      h = std::max<Integer>(h, size.cy);
  }
  return h;
}

Integer TuiCustomEditPopupWindowViewInfo::GetSysPanelHeight() {
  const Integer h = GetDefaultSysPanelHeight();
  return MinSysPanelHeight > 0 ? std::max(h, MinSysPanelHeight) : h;
}

TRect TuiCustomEditPopupWindowViewInfo::GetBorderExtent() {
  const Integer side = GetBorderWidth() + GetClientEdgeWidth();
  TRect e{side, side, side, side};
  if (Shadow) {
    e.right += kPopupShadow;
    e.bottom += kPopupShadow;
  }
  if (SysPanelStyle) {
    SysPanelHeight = GetSysPanelHeight();
    const Integer band = SysPanelHeight + (NativeStyle || PopupBorderStyle == epbsSingle ? 1 : 0);
    (IsGripAtTop() ? e.top : e.bottom) += band;
  } else {
    SysPanelHeight = 0;
  }
  SizingOffset = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  return e;
}

void TuiCustomEditPopupWindowViewInfo::Calculate() {
  TRect r = Bounds;
  OffsetRect(&r, -r.left, -r.top);
  const TRect e = GetBorderExtent();
  ClientRect = TRect{r.left + e.left, r.top + e.top, r.right - e.right, r.bottom - e.bottom};
  SizingRegionBounds = r;
  const Integer inset = GetBorderWidth() + (SysPanelStyle ? 0 : GetClientEdgeWidth());
  InflateRect(&SizingRegionBounds, -inset, -inset);
  if (Shadow) {
    SizingRegionBounds.right -= kPopupShadow;
    SizingRegionBounds.bottom -= kPopupShadow;
  }
  CloseButtonNativeState = IsThemedSysPanel() ? CloseButtonState : 0;
  SizeGripRect = SizeGripSizingRect = CloseButtonRect = TRect{};
  if (SysPanelStyle) {
    if (Sizeable) CalculateSizeGrip();
    CalculateCloseButton();
  }
}

void TuiCustomEditPopupWindowViewInfo::CalculateSizeGrip() {
  Integer w = GetDefaultSysPanelHeight() - 2, h = w;
  if (IsThemedSysPanel()) {
    SIZE size{};
    if (HTHEME bar = OpenThemeObject(totScrollBar);
        bar != nullptr && GetThemePartSize(bar, nullptr, kThemeSizeBoxPart, 1, TS_TRUE, size) == S_OK) {
      w = size.cx + 2;
      h = size.cy + 2;
    }
  }
  const TRect& s = SizingRegionBounds;
  const Integer left = IsGripAtLeft() ? s.left : s.right - w;
  const Integer top = IsGripAtTop() ? s.top : s.bottom - h;
  SizeGripSizingRect = TRect{left, top, left + w, top + h};
  SizeGripRect = SizeGripSizingRect;
  OffsetRect(&SizeGripRect, IsGripAtLeft() ? 2 : -2, IsGripAtTop() ? 2 : -2);
}

void TuiCustomEditPopupWindowViewInfo::CalculateCloseButton() {
  if (!CloseButton) return;
  const bool themed = CloseButtonNativeState != 0;
  SIZE size{GetDefaultSysPanelHeight() - 4, GetDefaultSysPanelHeight() - 4};
  if (themed) GetThemePartSize(OpenThemeObject(totWindow), nullptr, kThemeCloseButtonPart, 1, TS_TRUE, size);
  TRect r = SizingRegionBounds;
  if (!themed) (IsGripAtLeft() ? r.left : r.right) += IsGripAtLeft() ? 2 : -2;
  const Integer left = IsGripAtLeft() ? r.right - 1 - size.cx : r.left + 1;
  Integer top;
  if (themed)
    top = IsGripAtTop() ? r.top + (SysPanelHeight - size.cy) / 2 : r.bottom - (SysPanelHeight - size.cy) / 2 - size.cy;
  else
    top = IsGripAtTop() ? r.top + 2 : r.bottom - 2 - size.cy;
  CloseButtonRect = TRect{left, top, left + size.cx, top + size.cy};
}

bool TuiCustomEditPopupWindowViewInfo::GetSizingHitTest(const TPoint& P, Integer& DX, Integer& DY) {
  DX = DY = 0;
  TRect r = Bounds;
  OffsetRect(&r, -r.left, -r.top);
  if (!PtInRect(&r, P)) return false;
  if (PtInRect(&SizeGripSizingRect, P)) {
    DX = IsGripAtLeft() ? -1 : 1;
    DY = IsGripAtTop() ? -1 : 1;
    return true;
  }
  const TRect& s = SizingRegionBounds;
  if (PtInRect(&s, P)) return false;
  if (IsGripAtLeft() && P.x < r.left + SizingOffset) DX = -1;
  if (!IsGripAtLeft() && P.x >= r.right - SizingOffset) DX = 1;
  if (IsGripAtTop() && P.y < r.top + SizingOffset) DY = -1;
  if (!IsGripAtTop() && P.y >= r.bottom - SizingOffset) DY = 1;
  const bool xInRegion = P.x >= s.left && P.x < s.right;
  const bool yInRegion = P.y >= s.top && P.y < s.bottom;
  // The edge facing the editor never sizes.
  if ((IsGripAtTop() && P.y >= s.bottom) || (!IsGripAtTop() && P.y < s.top)) {
    DY = 0;
    if (xInRegion) DX = 0;
  }
  // Nor does the side edge away from the grip beside a system panel.
  if (SysPanelStyle && ((IsGripAtLeft() && P.x >= s.right) || (!IsGripAtLeft() && P.x < s.left))) {
    DX = 0;
    if (yInRegion) DY = 0;
  }
  return DX != 0 || DY != 0;
}

void TuiCustomEditPopupWindowViewInfo::DrawBorder(TuiCanvas* ACanvas, TRect& R) {
  auto line = [&](TColor AColor) {
    ACanvas->DrawBorderLines(R, AColor, 1, uiAllBorders);
    InflateRect(&R, -1, -1);
  };
  auto edge = [&](bool ASunken, bool AOuter) {
    ACanvas->DrawEdge3D(R, ASunken, AOuter);
    InflateRect(&R, -1, -1);
  };
  if (NativeStyle || PopupBorderStyle == epbsSingle) return line(clBtnText);
  switch (PopupBorderStyle) {
    case epbsFlat:
      edge(false, true);
      edge(false, false);
      break;
    case epbsFrame3D:
      edge(false, true);
      edge(false, false);
      if (ClientEdge || FaceColoredFrame3D) {
        line(clInactiveBorder);
        line(clBtnFace);
      } else {
        line(clBtnFace);
        edge(true, true);
      }
      break;
    default:
      break;
  }
}

void TuiCustomEditPopupWindowViewInfo::DrawSizeGrip(TuiCanvas* ACanvas) {
  const TRect& g = SizeGripRect;
  const Integer w = g.right - g.left, h = g.bottom - g.top;
  if (w <= 0 || h <= 0) return;
  ACanvas->FillRectWithColor(g, clBtnFace);
  if (IsThemedSysPanel()) {
    if (HTHEME bar = OpenThemeObject(totScrollBar)) DrawThemeBackground(bar, ACanvas->GetDCHandle(), kThemeSizeBoxPart, 1, g);
    return;
  }
  // The grip faces the bottom-right; other corners get it mirrored.
  TBitmap image;
  image.SetPixelFormat(pf32bit);
  image.SetSize(w, h);
  image.Canvas()->Brush()->SetColor(clBtnFace);
  image.Canvas()->FillRect(TRect{0, 0, w, h});
  RECT local{0, 0, w, h};
  DrawFrameControl(image.Canvas()->Handle(), &local, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const TColor face = ColorToRGB(clBtnFace);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      const TColor c = image.Canvas()->Pixels(x, y);
      if (c == face) continue;
      const Integer dx = IsGripAtLeft() ? w - 1 - x : x;
      const Integer dy = IsGripAtTop() ? h - 1 - y : y;
      ACanvas->SetPixel(g.left + dx, g.top + dy, c);
    }
}

void TuiCustomEditPopupWindowViewInfo::DrawCloseButton(TuiCanvas* ACanvas) {
  if (CloseButtonNativeState != 0) {
    HTHEME theme = OpenThemeObject(totWindow);
    if (IsThemeBackgroundPartiallyTransparent(theme, kThemeCloseButtonPart, CloseButtonNativeState))
      ACanvas->FillRectWithColor(CloseButtonRect, clBtnFace);
    DrawThemeBackground(theme, ACanvas->GetDCHandle(), kThemeCloseButtonPart, CloseButtonNativeState, CloseButtonRect);
    return;
  }
  if (TuiLookAndFeelPainterClass painter = GetPainterClassOfKind(CloseButtonLookAndFeelKind))
    painter->PaintCloseButton(ACanvas, CloseButtonRect, CloseButtonPaintState(CloseButtonState));
}

void TuiCustomEditPopupWindowViewInfo::Paint(TuiCanvas* ACanvas) {
  TRect r{0, 0, Bounds.right - Bounds.left, Bounds.bottom - Bounds.top};
  if (Shadow) {
    r.right -= kPopupShadow;
    r.bottom -= kPopupShadow;
    DrawContainerShadow(ACanvas, r);
  }
  DrawBorder(ACanvas, r);
  const Integer cew = GetClientEdgeWidth();
  const Integer separator = NativeStyle || PopupBorderStyle == epbsSingle ? 1 : 0;
  if (SysPanelStyle && (PopupBorderStyle == epbsSingle || CloseButtonNativeState != 0)) {
    const TRect& c = ClientRect;
    const Integer y = IsGripAtTop() ? c.top - cew - 1 : c.bottom + cew;
    ACanvas->FillRectWithColor(TRect{c.left - cew, y, c.right + cew, y + 1}, clBtnText);
  }
  if (ClientEdge) {
    TRect edge = r;
    if (SysPanelStyle) (IsGripAtTop() ? edge.top : edge.bottom) += (IsGripAtTop() ? 1 : -1) * (SysPanelHeight + separator);
    ACanvas->DrawEdge3D(edge, true, true);
    if (PopupBorderStyle != epbsFlat || NativeStyle) {
      InflateRect(&edge, -1, -1);
      ACanvas->DrawEdge3D(edge, true, false);
    }
  }
  if (SysPanelStyle) {
    if (Sizeable) {
      DrawSizeGrip(ACanvas);
      ACanvas->ExcludeClipRect(SizeGripRect);
    }
    if (CloseButton) {
      DrawCloseButton(ACanvas);
      ACanvas->ExcludeClipRect(CloseButtonRect);
    }
  }
  ACanvas->FillRectWithColor(ClientRect, clBtnFace);
  if (SysPanelStyle) {
    TRect band = r;
    if (IsGripAtTop())
      band.bottom = band.top + SysPanelHeight;
    else
      band.top = band.bottom - SysPanelHeight;
    ACanvas->FillRectWithColor(band, clBtnFace);
  }
}

// ---- Popup window ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditPopupWindow) {}

TuiCustomEditPopupWindow::TuiCustomEditPopupWindow(TComponent* AOwnerControl)
    : TuiCustomPopupWindow(dynamic_cast<TControl*>(AOwnerControl)) {}

TuiCustomEditPopupWindow::~TuiCustomEditPopupWindow() {
  if (popupSizing.Popup == this) {
    k58::editors::EraseOutline();
    popupSizing = k58::editors::TPopupSizing{};
  }
}

TuiContainerViewInfoClass TuiCustomEditPopupWindow::GetViewInfoClass() {
  return []() -> TuiContainerViewInfo* { return new TuiCustomEditPopupWindowViewInfo; };
}

void TuiCustomEditPopupWindow::SetPopupBorderStyle(TuiEditPopupBorderStyle Value) {
  popupBorderStyle_ = Value;
  if (ViewInfo() != nullptr) ViewInfo()->PopupBorderStyle = Value;
}

void TuiCustomEditPopupWindow::SetClientEdge(bool Value) {
  clientEdge_ = Value;
  if (ViewInfo() != nullptr) ViewInfo()->ClientEdge = Value;
}

void TuiCustomEditPopupWindow::SetCloseButton(bool Value) {
  closeButton_ = Value;
  if (ViewInfo() != nullptr) ViewInfo()->CloseButton = Value;
}

void TuiCustomEditPopupWindow::SetNativeStyle(bool Value) {
  nativeStyle_ = Value;
  if (ViewInfo() != nullptr) ViewInfo()->NativeStyle = Value;
}

void TuiCustomEditPopupWindow::SetShadow(bool Value) {
  shadow_ = Value;
  if (ViewInfo() != nullptr) ViewInfo()->Shadow = Value;
}

void TuiCustomEditPopupWindow::SetSizeable(bool Value) {
  sizeable_ = Value;
  if (ViewInfo() != nullptr) ViewInfo()->Sizeable = Value;
}

void TuiCustomEditPopupWindow::SetSysPanelStyle(bool Value) {
  sysPanelStyle_ = Value;
  if (ViewInfo() != nullptr) ViewInfo()->SysPanelStyle = Value;
}

Integer TuiCustomEditPopupWindow::MinSysPanelHeight() const {
  return ViewInfo() != nullptr ? ViewInfo()->MinSysPanelHeight : 0;
}

void TuiCustomEditPopupWindow::SetMinSysPanelHeight(Integer Value) {
  if (ViewInfo() != nullptr) ViewInfo()->MinSysPanelHeight = Value;
}

void TuiCustomEditPopupWindow::UpdateViewInfo() {
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  if (view == nullptr) return;
  view->Bounds = TRect{0, 0, Width(), Height()};
  view->Calculate();
  if (IuiEditPopupWindowOwner* owner = EditOwner()) view->CloseButtonLookAndFeelKind = owner->GetPopupLookAndFeelKind();
}

void TuiCustomEditPopupWindow::ForwardChar(char AChar) {
  if (HWND focus = GetFocus()) SendMessage(focus, WM_CHAR, static_cast<Byte>(AChar), 0);
}

void TuiCustomEditPopupWindow::GetMinSize(TSize& ASize) {
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  const TRect e = view->GetBorderExtent();
  ASize = TSize{e.left + e.right, e.top + e.bottom};
  if (sizeable_ && sysPanelStyle_)
    ASize.cx += (view->CloseButtonRect.right - view->CloseButtonRect.left) +
                (view->SizeGripRect.right - view->SizeGripRect.left) + 10;
}

TRect TuiCustomEditPopupWindow::GetOwnerScreenBounds() {
  if (IuiEditPopupWindowOwner* owner = EditOwner()) {
    TRect r;
    owner->GetPopupOwnerBounds(r);
    SetOwnerBounds(r);
  }
  TRect r = OwnerBounds();
  if (OwnerParent() != nullptr) {
    const TPoint origin = OwnerParent()->ClientToScreen(TPoint{0, 0});
    OffsetRect(&r, origin.x, origin.y);
  }
  return r;
}

bool TuiCustomEditPopupWindow::LimitsToWorkArea() {
  IuiEditPopupWindowOwner* owner = EditOwner();
  return owner != nullptr ? owner->IsPopupLimitedToWorkArea() : TuiCustomPopupWindow::LimitsToWorkArea();
}

void TuiCustomEditPopupWindow::NotifyClosed() {
  if (popupSizing.Popup == this) {
    popupSizing.Sizing = false;
    popupSizing.CursorShown = false;
    popupSizing.Popup = nullptr;
  }
  TuiCustomPopupWindow::NotifyClosed();
}

void TuiCustomEditPopupWindow::NotifyClosing() {
  auto alive = AliveToken();
  TuiCustomPopupWindow::NotifyClosing();
  if (!alive.expired() && popupSizing.Popup == this) k58::editors::EraseOutline();
}

void TuiCustomEditPopupWindow::CloseOnModalResult() {
  IuiEditPopupWindowOwner* owner = EditOwner();
  if (owner == nullptr) return TuiCustomPopupWindow::CloseOnModalResult();
  switch (ModalResult()) {
    case mrOk: owner->CloseUp(pcrAccept); break;
    case mrCancel: owner->CloseUp(pcrCancel); break;
    default: owner->CloseUp(pcrClose); break;
  }
}

void TuiCustomEditPopupWindow::ComputePopupOrigin(TPoint& P) {
  const TRect owner = GetOwnerScreenBounds();
  TuiCustomPopupWindow::ComputePopupOrigin(P);
  const Byte corner =
      k58::editors::EditPopupGripCorner(P, Width(), owner, k58::foundation::WorkAreaNear(P), AlignHorz());
  if (corner != ViewInfo()->SizeGripCorner) {
    ViewInfo()->SizeGripCorner = corner;
    UpdateViewInfo();
    Realign();
  }
  if (shadow_ && corner < 2) P.y += kPopupShadow;
}

void TuiCustomEditPopupWindow::FitToContent() {
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  view->SizeGripCorner = 3;
  UpdateViewInfo();
  const TRect owner = GetOwnerScreenBounds();
  const TRect e = view->GetBorderExtent();
  TSize minSize;
  GetMinSize(minSize);
  TSize content{0, 0};
  if (IuiEditPopupWindowOwner* editor = EditOwner()) editor->CalculatePopupContentSize(content);
  Integer width, height;
  if (autoSize_)
    width = e.left + e.right + content.cx;
  else
    width = popupWidth_ != 0 ? popupWidth_ : owner.right - owner.left;
  if (sizeable_ && minWidth_ > 0) width = std::max(width, minWidth_);
  if (autoSize_)
    height = e.top + e.bottom + content.cy;
  else
    height = popupHeight_ > 0 ? popupHeight_ : std::max(minHeight_, minSize.cy);
  if (sizeable_ && minHeight_ > 0) height = std::max(height, minHeight_);
  SetBounds(Left(), Top(), std::max(width, minSize.cx), std::max(height, minSize.cy));
}

bool TuiCustomEditPopupWindow::CanResize(Integer& NewWidth, Integer& NewHeight) {
  if (sizeable_ && (NewWidth != Width() || NewHeight != Height())) {
    TSize minSize;
    GetMinSize(minSize);
    if (minWidth_ > 0) minSize.cx = std::max(minSize.cx, minWidth_);
    if (minHeight_ > 0) minSize.cy = std::max(minSize.cy, minHeight_);
    NewWidth = std::max(NewWidth, minSize.cx);
    NewHeight = std::max(NewHeight, minSize.cy);
    IuiEditPopupWindowOwner* owner = EditOwner();
    if (IuiTextEditLookupData* lookup = owner != nullptr ? owner->GetPopupLookupData() : nullptr) {
      const TRect e = ViewInfo()->GetBorderExtent();
      const TRect editor = GetOwnerScreenBounds();
      const TRect area = k58::foundation::WorkAreaNear(TPoint{editor.left, editor.top});
      // The room for the list: above the editor for a popup above it (up to the work area's top, where a
      // growing popup's top goes), else below the popup's top.
      Integer maxHeight = ViewInfo()->IsGripAtTop() ? editor.top - area.top : area.bottom - Top();
      maxHeight -= e.top + e.bottom;
      TSize size{NewWidth - e.left - e.right, NewHeight - e.top - e.bottom};
      if (!lookup->CanResizeVisualArea(size, maxHeight, 0)) return false;
      NewWidth = size.cx + e.left + e.right;
      NewHeight = size.cy + e.top + e.bottom;
    }
  }
  return TuiCustomPopupWindow::CanResize(NewWidth, NewHeight);
}

void TuiCustomEditPopupWindow::Resize() {
  TuiCustomPopupWindow::Resize();
  if (HandleAllocated()) UpdateWindowRegion();
}

void TuiCustomEditPopupWindow::UpdateWindowRegion() {
  const Integer w = Width(), h = Height();
  TRect shape{0, 0, w, h};
  TRect exclude{};
  if (shadow_ && !nativeStyle_) {
    shape.right -= kPopupShadow;
    shape.bottom -= kPopupShadow;
    if (ViewInfo()->IsGripAtTop()) {
      // The bottom shadow strip lies over the editor there.
      TRect editor = GetOwnerScreenBounds();
      OffsetRect(&editor, -Left(), -Top());
      const TRect strip{0, h - kPopupShadow, w, h};
      IntersectRect(&exclude, &strip, &editor);
    }
  }
  SetWindowRegionIfChanged(Handle(), shape, nativeStyle_, exclude, shadow_ && !nativeStyle_);
}

void TuiCustomEditPopupWindow::SetCloseButtonState(Byte AState) {
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  if (view->CloseButtonState == AState) return;
  view->CloseButtonState = AState;
  view->CloseButtonNativeState = view->IsThemedSysPanel() ? AState : 0;
  if (HandleAllocated()) InvalidateRect(Handle(), &view->CloseButtonRect, FALSE);
}

void TuiCustomEditPopupWindow::ShowSizingCursor(Integer DX, Integer DY) {
  SetCursor(k58::editors::EditPopupSizingCursor(DX, DY));
  popupSizing.CursorShown = DX != 0 || DY != 0;
}

void TuiCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TuiCustomPopupWindow::MouseDown(Button, Shift, X, Y);
  if (alive.expired() || Button != mbLeft) return;
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  const TPoint p{X, Y};
  if (closeButton_ && PtInRect(&view->CloseButtonRect, p)) {
    if (view->CloseButtonState != 3) SetCloseButtonState(3);
    return;
  }
  Integer dx, dy;
  if (!sizeable_ || !view->GetSizingHitTest(p, dx, dy)) return;
  SetMouseCapture(true);
  popupSizing.Grab = TPoint{dx == -1 ? X : Width() - X, dy == -1 ? Y : Height() - Y};
  popupSizing.DX = dx;
  popupSizing.DY = dy;
  popupSizing.Sizing = true;
  popupSizing.Popup = this;
  popupSizing.Shadow = shadow_;
  popupSizing.Lines = std::max<Integer>(2, view->GetBorderWidth());
  ShowSizingCursor(dx, dy);
  k58::editors::DrawOutline(BoundsRect());
}

void TuiCustomEditPopupWindow::SizeTo(Integer X, Integer Y) {
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  const TRect bounds = BoundsRect();
  const TRect current = IsRectEmpty(&popupSizing.Outline) ? bounds : popupSizing.Outline;
  const TPoint p{X, Y};
  const TRect local{0, 0, Width(), Height()};
  // Growth through a grip-side edge waits until the pointer has left the window (or is on the grip).
  const bool holdGrowth = PtInRect(&local, p) && !PtInRect(&view->SizeGripSizingRect, p);
  const Integer sx = Left() + X, sy = Top() + Y;
  Integer width = current.right - current.left, height = current.bottom - current.top;
  if (popupSizing.DX == -1) width = current.right - (sx - popupSizing.Grab.x);
  if (popupSizing.DX == 1) width = sx + popupSizing.Grab.x - current.left;
  if (popupSizing.DY == -1) height = current.bottom - (sy - popupSizing.Grab.y);
  if (popupSizing.DY == 1) height = sy + popupSizing.Grab.y - current.top;
  if (holdGrowth) {
    width = std::min<Integer>(width, current.right - current.left);
    height = std::min<Integer>(height, current.bottom - current.top);
  }
  if (!CanResize(width, height)) return;
  if (width == current.right - current.left && height == current.bottom - current.top) return;
  TRect r = current;
  if (view->IsGripAtLeft())
    r.left = r.right - width;
  else
    r.right = r.left + width;
  if (view->IsGripAtTop())
    r.top = r.bottom - height;
  else
    r.bottom = r.top + height;
  const TRect editor = GetOwnerScreenBounds();
  if (r.right <= editor.left) r.right = editor.left + 1;
  if (r.left >= editor.right) r.left = editor.right - 1;
  const TRect area = k58::foundation::WorkAreaNear(TPoint{editor.left, editor.top});
  IntersectRect(&r, &r, &area);
  if (EqualRect(&r, &current)) return;
  if (!EqualRect(&r, &bounds))
    if (IuiEditPopupWindowOwner* owner = EditOwner()) owner->PopupWindowResized();
  k58::editors::DrawOutline(r);
}

void TuiCustomEditPopupWindow::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TuiCustomPopupWindow::MouseMove(Shift, X, Y);
  if (alive.expired()) return;
  if (popupSizing.Sizing && popupSizing.Popup == this) return SizeTo(X, Y);
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  const TPoint p{X, Y};
  if (closeButton_) {
    const bool over = PtInRect(&view->CloseButtonRect, p);
    if (!over && view->CloseButtonState != 1)
      SetCloseButtonState(1);
    else if (over && view->CloseButtonState == 1 && !Shift.Contains(ssLeft) && !Shift.Contains(ssRight) &&
             !Shift.Contains(ssMiddle))
      SetCloseButtonState(2);
  }
  Integer dx = 0, dy = 0;
  if (sizeable_ && view->GetSizingHitTest(p, dx, dy))
    ShowSizingCursor(dx, dy);
  else if (popupSizing.CursorShown)
    ShowSizingCursor(0, 0);
}

void TuiCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TuiCustomPopupWindow::MouseUp(Button, Shift, X, Y);
  if (alive.expired() || Button != mbLeft) return;
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  const TPoint p{X, Y};
  if (popupSizing.Sizing && popupSizing.Popup == this) {
    SetMouseCapture(false);
    popupSizing.Sizing = false;
    popupSizing.Popup = nullptr;
    const TRect target = popupSizing.LastOutline;
    k58::editors::EraseOutline();
    popupSizing.LastOutline = TRect{};
    if (!IsRectEmpty(&target)) ApplyUserSize(target);
    if (alive.expired()) return;
    Integer dx = 0, dy = 0;
    view->GetSizingHitTest(p, dx, dy);
    ShowSizingCursor(dx, dy);
    return;
  }
  if (closeButton_ && view->CloseButtonState == 3 && PtInRect(&view->CloseButtonRect, p)) {
    if (CloseQuery()) {
      if (IuiEditPopupWindowOwner* owner = EditOwner())
        owner->CloseUp(pcrClose);
      else
        ClosePopup();
    }
    if (!alive.expired() && Visible()) SetCloseButtonState(2);
  }
}

void TuiCustomEditPopupWindow::ApplyUserSize(const TRect& ARect) {
  const TRect bounds = BoundsRect();
  if (!EqualRect(&ARect, &bounds)) SetBounds(ARect.left, ARect.top, ARect.right - ARect.left, ARect.bottom - ARect.top);
  GetOwnerScreenBounds();
  UpdateViewInfo();
  Realign();
  if (HandleAllocated()) UpdateWindowRegion();
  if (IuiEditPopupWindowOwner* owner = EditOwner()) owner->PopupContentResized(ViewInfo()->ClientRect);
  Invalidate();
}

void TuiCustomEditPopupWindow::MouseLeft() {
  TuiCustomPopupWindow::MouseLeft();
  if (ViewInfo() != nullptr) SetCloseButtonState(1);
  if (!popupSizing.Sizing) ShowSizingCursor(0, 0);
}

void TuiCustomEditPopupWindow::WndProc(TMessage& Message) {
  if (Message.Msg == PopupForwardCharMessage) {
    if (IsShown()) ForwardChar(static_cast<char>(Message.WParam & 0xFF));
    return;
  }
  if (Message.Msg == ShowPopupMessage && showFocusedControl_ != nullptr) {
    TWinControl* focused = showFocusedControl_;
    showFocusedControl_ = nullptr;
    PopupForControl(focused);
    return;
  }
  TuiCustomPopupWindow::WndProc(Message);
}
