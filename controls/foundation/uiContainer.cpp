// The container control: its four state styles and how they stay in step with the control's own colour
// and font.
#include "controls/foundation/uiContainer.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"

#include "controls/foundation/uxOffice11.h"
#include "controls/foundation/uxThemeManager.h"
#include "platform/forms/Forms.h"

#include <algorithm>

K58_IMPLEMENT_CLASS(TuiContainer) {}

// Told by the mouse-leave tracking that the cursor left the hot rectangle.
class TuiContainer::Tracker : public IuiMouseTrackingCaller {
 public:
  explicit Tracker(TuiContainer* AContainer) : container_(AContainer) {}
  void MouseLeave() override { container_->EndMouseTracking(); }

 private:
  TuiContainer* container_;
};


TuiContainer::TuiContainer(TComponent* AOwner)
    : TuiContainer(AOwner, StyleClassOf<TuiContainerStyle>(), StylesClassOf<TuiContainerStyles>()) {}

TuiContainer::TuiContainer(TComponent* AOwner, TuiContainerStyleClass AStyleClass,
                           TuiContainerStylesClass AStylesClass)
    : TuiControl(AOwner), styleClass_(AStyleClass), stylesClass_(AStylesClass) {
  styles_.reset(stylesClass_(this, styleClass_));
  styles_->SetChangeHandler([this](TObject* Sender) { StyleChanged(Sender); });
  viewInfo_.reset(new TuiContainerViewInfo);
  tracker_ = std::make_unique<Tracker>(this);
  LookAndFeel()->SetMaster(Style()->LookAndFeel());
  TControlStyle style = ControlStyle();
  style.Include(csCaptureMouse);
  style.Include(csSetCaption);
  SetControlStyle(style);
  SetTabStop(true);
}

// The colour depends on the descendant's answers, so it is chosen once the whole object exists.
void TuiContainer::AfterConstruction() {
  TuiControl::AfterConstruction();
  applyingStyle_ = true;
  SetParentColor(IsDefaultParentColor() && !IsInplace() && !Style()->IsValueAssigned(csvColor));
  if (!ParentColor()) SetColor(clWindow);
  applyingStyle_ = false;
  constructing_ = false;
}

TuiContainer::~TuiContainer() {
  StopMouseLeaveTracking(tracker_.get());
  destroying_ = true;
  styles_->SetChangeHandler(TNotifyEvent{});
  LookAndFeel()->SetMaster(nullptr);
  styles_.reset();
}

TuiContainerStyleClass TuiContainer::GetStyleClass() const { return styleClass_; }
TuiContainerStylesClass TuiContainer::GetStylesClass() const { return stylesClass_; }

bool TuiContainer::IsStyleValueStored(const String& AName, bool AIsStateStyle) {
  const Integer value = Style()->FindValueByName(AName);
  if (AIsStateStyle && value >= 0 &&
      Style()->GetNonStoredStateValues().Contains(static_cast<TuiContainerStyleValue>(value)))
    return false;
  return value < 0 || !GetUnusedStyleValues().Contains(static_cast<TuiContainerStyleValue>(value));
}

void TuiContainer::StyleChanged(TObject*) {
  if (constructing_ || destroying_ || ComponentState().Contains(csLoading)) return;
  TuiContainerStyle* normal = Style();
  applyingStyle_ = true;
  if (!ParentColor() || normal->AssignedValues().Contains(csvColor)) SetColor(normal->GetColorForPainting());
  // A style without a font of its own only follows the control's font, which follows the parent's:
  // applying it back would change nothing but turn ParentFont off, and the control would stop following.
  if (normal->Font() != nullptr && !(ParentFont() && !normal->IsValueAssigned(csvFont))) SetFont(normal->Font());
  applyingStyle_ = false;
  RefreshAtCursorPos(false);
}

void TuiContainer::ControlColorChanged() {
  TuiControl::ControlColorChanged();
  if (styles_ == nullptr) return;
  if (applyingStyle_)
    RefreshAtCursorPos(false);
  else
    Style()->SetColor(Color());
}

void TuiContainer::CMFontChanged(TMessage& Message) {
  if (styles_ == nullptr) return TuiControl::CMFontChanged(Message);
  if (applyingStyle_) {
    TuiControl::CMFontChanged(Message);
    AdjustInnerControlBounds();
    SyncScrollBars(false);
    RefreshAtCursorPos(false);
    return;
  }
  TuiContainerStyle* normal = Style();
  const bool wasAssigned = normal->AssignedValues().Contains(csvFont);
  normal->SetFont(Font());
  if (!wasAssigned) normal->ExcludeValue(csvFont);
  TuiControl::CMFontChanged(Message);
}

void TuiContainer::CMParentColorChanged(TMessage& Message) {
  const bool wasAssigned = Style()->AssignedValues().Contains(csvColor);
  TuiControl::CMParentColorChanged(Message);
  if (!wasAssigned || ParentColor()) Style()->ExcludeValue(csvColor);
  if (Style()->Color() != Color()) StyleChanged(Style());
}

void TuiContainer::CMParentFontChanged(TMessage& Message) {
  const bool wasAssigned = Style()->AssignedValues().Contains(csvFont);
  TuiControl::CMParentFontChanged(Message);
  if (!ParentFont()) Style()->SynchronizeFont();
  if (!wasAssigned || ParentFont()) Style()->ExcludeValue(csvFont);
}

void TuiContainer::Loaded() {
  TuiControl::Loaded();
  if (!ParentFont() && !Style()->IsValueAssigned(csvFont) && Parent() != nullptr) Style()->SetFont(Parent()->Font());
  StyleChanged(Style());
}

// ---- View info --------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiContainerViewInfo) {}

bool TuiContainerViewInfo::Assign(TuiContainerViewInfo* AViewInfo) {
  if (AViewInfo == nullptr) return false;
  ClientRect = AViewInfo->ClientRect;
  return true;
}

TuiRegion* TuiContainerViewInfo::CreateRegionToRepaint(TuiContainerViewInfo*) { return new TuiRegion; }

void TuiContainerViewInfo::OffsetRects(Integer DX, Integer DY) {
  OffsetRect(&BorderRect, DX, DY);
  OffsetRect(&Bounds, DX, DY);
  OffsetRect(&ClientRect, DX, DY);
}

void TuiContainerViewInfo::DrawBorderFrame(TuiCanvas* ACanvas, const TRect& R) {
  switch (BorderStyle) {
    case cbsSingle:
    case cbsThick:
      ACanvas->DrawBorderLines(R, BorderColor, BorderWidth, uiAllBorders);
      break;
    case cbsFlat:
    case cbs3D: {
      ACanvas->DrawEdge3D(R, true, true, Edges);
      TRect inner = R;
      InflateRect(&inner, -1, -1);
      if (BorderStyle == cbsFlat)
        ACanvas->DrawBorderLines(inner, clBtnFace, 1, uiAllBorders);
      else
        ACanvas->DrawTwoColorFrame(inner, cl3DDkShadow, cl3DLight, Edges);
      break;
    }
    default:
      break;
  }
}

namespace {

// Visual-style colour properties: the frame and the fill.
constexpr int kThemeBorderColorProperty = 3801;
constexpr int kThemeFillColorProperty = 3802;

HTHEME ContainerTheme(Byte AObjectType) {
  return OpenThemeObject(static_cast<TThemedObjectIndex>(AObjectType));
}

}  // namespace

void TuiContainerViewInfo::Paint(TuiCanvas* ACanvas) {
  if (NativeStyle) {
    if (BorderStyle == cbsNone) {
      ACanvas->FillRectWithColor(Bounds, BackgroundColor);
      return;
    }
    RECT content = Bounds;
    if (HTHEME theme = ContainerTheme(ThemedObjectType))
      GetThemeBackgroundContentRect(theme, ACanvas->GetDCHandle(), NativePart, NativeState, Bounds, content);
    ACanvas->FillRectWithColor(content, BackgroundColor);
    COLORREF frame = ColorToRGB(clWindowFrame);
    if (HTHEME comboTheme = ContainerTheme(totComboBox)) GetThemeColor(comboTheme, 1, 1, kThemeBorderColorProperty, &frame);
    FillRectFrame(ACanvas->Canvas(), Bounds, content, static_cast<TColor>(frame));
    return;
  }
  TRect frame = BorderRect;
  InflateRect(&frame, BorderWidth, BorderWidth);
  if (Shadow) {
    TRect shadow = frame;
    if (!Edges.Contains(bRight)) shadow.right -= BorderWidth;
    if (!Edges.Contains(bBottom)) shadow.bottom -= BorderWidth;
    DrawContainerShadow(ACanvas, shadow);
  }
  DrawBorderFrame(ACanvas, frame);
  ACanvas->FillRectWithColor(BorderRect, BackgroundColor);
}

// ---- Free routines ----------------------------------------------------------------------------------

Integer GetContainerBorderWidth(TuiContainerBorderStyle AStyle) {
  switch (AStyle) {
    case cbsNone: return 0;
    case cbsThick:
    case cbsFlat:
    case cbs3D: return 2;
    default: return 1;
  }
}

void DeflateRectAtMissingEdges(TRect& R, Integer AWidth, TuiBorders AEdges) {
  if (!AEdges.Contains(bLeft)) R.left += AWidth;
  if (!AEdges.Contains(bTop)) R.top += AWidth;
  if (!AEdges.Contains(bRight)) R.right -= AWidth;
  if (!AEdges.Contains(bBottom)) R.bottom -= AWidth;
}

void DrawContainerShadow(TuiCanvas* ACanvas, const TRect& R) {
  constexpr Integer kShadow = 3;
  ACanvas->FillRectWithColor(TRect{R.left + kShadow, R.bottom, R.right, R.bottom + kShadow}, clBtnShadow);
  ACanvas->ExcludeClipRect(TRect{R.left, R.bottom, R.right, R.bottom + kShadow});
  ACanvas->FillRectWithColor(TRect{R.right, R.top + kShadow, R.right + kShadow, R.bottom + kShadow}, clBtnShadow);
  ACanvas->ExcludeClipRect(TRect{R.right, R.top, R.right + kShadow, R.bottom + kShadow});
}

namespace {

// The strips of R around AInner: left, top, right, bottom; all of R when AInner is empty.
std::vector<TRect> FrameStrips(const TRect& R, const TRect& AInner) {
  if (IsRectEmpty(&R) || EqualRect(&R, &AInner)) return {};
  if (IsRectEmpty(&AInner)) return {R};
  return {TRect{R.left, R.top, AInner.left, R.bottom}, TRect{AInner.left, R.top, AInner.right, AInner.top},
          TRect{AInner.right, R.top, R.right, R.bottom}, TRect{AInner.left, AInner.bottom, AInner.right, R.bottom}};
}

TShiftState containerShiftState;

}  // namespace

void FillRectFrame(TCanvas* ACanvas, const TRect& R, const TRect& AInner, TColor AColor) {
  ACanvas->Brush()->SetColor(AColor);
  for (const TRect& strip : FrameStrips(R, AInner))
    if (!IsRectEmpty(&strip)) ACanvas->FillRect(strip);
}

void InvalidateRectFrame(HWND AWnd, const TRect& R, const TRect& AInner, bool AErase) {
  for (const TRect& strip : FrameStrips(R, AInner))
    if (!IsRectEmpty(&strip)) InvalidateRect(AWnd, &strip, AErase);
}

HRGN CreateContainerRegion(HWND, const TRect& R, bool ANoRegion, const TRect& AExclude, bool AShadow) {
  if (ANoRegion) return nullptr;
  HRGN region = CreateRectRgnIndirect(&R);
  if (AShadow) {
    TRect shadow = R;
    OffsetRect(&shadow, 3, 3);
    HRGN shadowRegion = CreateRectRgnIndirect(&shadow);
    CombineRgn(region, region, shadowRegion, RGN_OR);
    DeleteObject(shadowRegion);
  }
  if (!IsRectEmpty(&AExclude)) {
    HRGN excluded = CreateRectRgnIndirect(&AExclude);
    CombineRgn(region, region, excluded, RGN_DIFF);
    DeleteObject(excluded);
  }
  return region;
}

void SetWindowRegionIfChanged(HWND AWnd, const TRect& R, bool ANoRegion, const TRect& AExclude, bool AShadow) {
  HRGN region = CreateContainerRegion(AWnd, R, ANoRegion, AExclude, AShadow);
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const bool hasCurrent = GetWindowRgn(AWnd, current) != ERROR;
  const bool same = region == nullptr ? !hasCurrent : hasCurrent && EqualRgn(region, current);
  DeleteObject(current);
  if (same) {
    if (region != nullptr) DeleteObject(region);
    return;
  }
  SetWindowRgn(AWnd, region, TRUE);  // the window owns the region from here
}

void SetControlRegion(TWinControl* AControl, const TuiContainerInnerControlRegionInfo& AInfo) {
  if (AInfo.IsWholeControlVisible) {
    SetWindowRgn(AControl->Handle(), nullptr, TRUE);
  } else {
    SetWindowRgn(AControl->Handle(), CreateRectRgnIndirect(&AInfo.VisibleRect), TRUE);
  }
}

TuiContainer* GetContainerOfControl(TControl* AControl) {
  if (auto* container = dynamic_cast<TuiContainer*>(AControl)) return container;
  IuiContainerInnerControl* inner = nullptr;
  if (AControl != nullptr && AControl->GetInterface(IID_IuiContainerInnerControl, reinterpret_cast<void**>(&inner)))
    return inner->GetControlContainer();
  return nullptr;
}

TRect GetControlRect(TControl* AControl) { return TRect{0, 0, AControl->Width(), AControl->Height()}; }

Byte MouseButtonToContainerButton(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return 1;
    case mbRight: return 2;
    default: return 3;
  }
}

bool AreStringsEqual(const String& S1, const String& S2, bool ACaseSensitive) {
  return ACaseSensitive ? S1 == S2 : AnsiUpperCase(S1) == AnsiUpperCase(S2);
}

// ---- Container: view and state ----------------------------------------------------------------------

TuiContainerStyle* TuiContainer::GetActiveStyle() {
  if (activeStyle_ == nullptr || viewInfo_->ContainerState != cachedState_) {
    cachedState_ = viewInfo_->ContainerState;
    activeStyle_ = CalculateActiveStyle();
  }
  return activeStyle_;
}

TuiContainerStyle* TuiContainer::CalculateActiveStyle() {
  const TuiContainerState state = viewInfo_->ContainerState;
  if (state & vsDisabled) return StyleDisabled();
  if (state & vsFocused) return StyleFocused();
  if (Style()->HotTrack() && (state & vsHot)) return StyleHot();
  return Style();
}

bool TuiContainer::IsFocused() {
  if (IsDesigning() || !HandleAllocated()) return false;
  const HWND focus = GetFocus();
  return focus == Handle() || (innerControl_ != nullptr && innerControl_->HandleAllocated() && focus == innerControl_->Handle());
}

bool TuiContainer::IsNativeStyle() {
  return Style()->LookAndFeel()->NativeStyle() &&
         IsThemedObjectUsable(static_cast<TThemedObjectIndex>(GetThemedObjectType()));
}

Integer TuiContainer::GetNativeState() {
  if (!Enabled()) return 4;
  if (HasFocus()) return 5;
  return (viewInfo_->ContainerState & vsHot) ? 2 : 1;
}

bool TuiContainer::HasShadow() { return GetActiveStyle()->Shadow() && !IsNativeStyle(); }

void TuiContainer::CalculateViewInfo(const TPoint& P, bool AHotTrack) {
  TuiContainerViewInfo& view = *viewInfo_;
  view.NativeStyle = IsNativeStyle();
  if (!Enabled()) {
    view.ContainerState = vsDisabled;
  } else if (IsDesigning()) {
    view.ContainerState = vsNormal;
  } else {
    view.ContainerState = HasFocus() ? vsFocused : vsNormal;
    TRect hot;
    GetHotTrackBounds(hot);
    if (AHotTrack && PtInRect(&hot, P)) view.ContainerState |= vsHot;
  }
  TuiContainerStyle* style = GetActiveStyle();
  if (!style->HotTrack())
    view.HotState = 0;
  else
    view.HotState = (view.ContainerState & (vsFocused | vsHot)) ? 2 : 1;
  if (view.NativeStyle) {
    view.BorderStyle = Style()->BorderStyle();
    view.ThemedObjectType = GetThemedObjectType();
    view.NativePart = GetNativePart();
    view.NativeState = GetNativeState();
  } else {
    view.BorderStyle = style->BorderStyle();
    if (view.BorderStyle == cbsUltraFlat || view.BorderStyle == cbsOffice11) view.BorderStyle = cbsSingle;
  }
  view.Bounds = TRect{0, 0, Width(), Height()};
  TRect extent;
  GetBorderExtent(extent);
  view.BorderRect = TRect{view.Bounds.left + extent.left, view.Bounds.top + extent.top,
                          view.Bounds.right - extent.right, view.Bounds.bottom - extent.bottom};
  view.ClientRect = view.BorderRect;
  view.BorderWidth = GetContainerBorderWidth(view.BorderStyle);
  view.Edges = style->Edges();
  view.Shadow = HasShadow();
  const TuiContainerBorderStyle styleBorder = style->BorderStyle();
  if (styleBorder != cbsUltraFlat && styleBorder != cbsOffice11) {
    view.BorderColor = style->BorderColor();
  } else if ((view.ContainerState & vsFocused) || ((view.ContainerState & vsHot) && style->HotTrack()) ||
             (Enabled() && IsDesigning())) {
    view.BorderColor = styleBorder == cbsOffice11 ? Office11Color(o11SelectionFrame) : clHighlight;
  } else {
    view.BorderColor = clBtnShadow;
  }
  TColor background = style->Color();
  if (view.NativeStyle && !Enabled()) {
    COLORREF fill = 0;
    if (HTHEME theme = ContainerTheme(view.ThemedObjectType);
        theme && SUCCEEDED(GetThemeColor(theme, view.NativePart, view.NativeState, kThemeFillColorProperty, &fill)))
      background = static_cast<TColor>(fill);
  }
  view.SetBackgroundColor(background);
}

void TuiContainer::GetBorderExtent(TRect& R) {
  TuiContainerStyle* style = GetActiveStyle();
  Integer width = 0;
  TuiBorders edges = uiAllBorders;
  if (style->TransparentBorder()) {
    width = 2;
  } else if (!style->HasBorder() || (viewInfo_->NativeStyle && Style()->BorderStyle() == cbsNone)) {
    width = 0;
  } else if (viewInfo_->NativeStyle) {
    width = 2;
  } else {
    width = GetContainerBorderWidth(viewInfo_->BorderStyle);
    edges = style->Edges();
  }
  R = TRect{edges.Contains(bLeft) ? width : 0, edges.Contains(bTop) ? width : 0, edges.Contains(bRight) ? width : 0,
            edges.Contains(bBottom) ? width : 0};
  if (HasShadow()) {
    R.right += 3;
    R.bottom += 3;
  }
}

void TuiContainer::GetShapeRect(TRect& R) {
  TRect extent;
  GetBorderExtent(extent);
  R = TRect{extent.left, extent.top, Width() - extent.right, Height() - extent.bottom};
  const Integer width = GetContainerBorderWidth(viewInfo_->BorderStyle);
  InflateRect(&R, width, width);
  DeflateRectAtMissingEdges(R, width, GetActiveStyle()->Edges());
}

void TuiContainer::GetHotTrackBounds(TRect& R) {
  R = TRect{0, 0, Width(), Height()};
  if (IsInplace()) return;
  if (viewInfo_->Shadow) {
    R.right -= 3;
    R.bottom -= 3;
  }
  TuiContainerStyle* style = GetActiveStyle();
  if (style->HasBorder()) {
    const Integer width = GetContainerBorderWidth(viewInfo_->BorderStyle);
    if (!viewInfo_->NativeStyle && style->TransparentBorder()) {
      InflateRect(&R, width - 2, width - 2);
      DeflateRectAtMissingEdges(R, width, style->Edges());
    } else if (viewInfo_->NativeStyle && Style()->BorderStyle() == cbsNone && style->TransparentBorder()) {
      InflateRect(&R, -2, -2);
    }
  } else if (style->TransparentBorder()) {
    InflateRect(&R, -2, -2);
  }
}

bool TuiContainer::RefreshAtPoint(const TPoint& P, Byte, TShiftState AShift, bool) {
  if (adjusting_ || IsContainerDestroying()) return true;
  CalculateViewInfo(P, AShift.Empty() && GetActiveStyle()->HotTrack());
  AdjustInnerControlBounds();
  ApplyAppearanceToInnerControl();
  UpdateWindowRegion();
  if (HandleAllocated()) {
    const TRect whole{0, 0, Width(), Height()};
    if (innerControl_ != nullptr)
      InvalidateRectFrame(Handle(), whole, viewInfo_->BorderRect, false);
    else
      InvalidateRect(Handle(), &whole, FALSE);
  }
  if (viewInfo_->ContainerState & vsHot) {
    TRect hot;
    GetHotTrackBounds(hot);
    StartMouseLeaveTracking(this, hot, tracker_.get());
  }
  return true;
}

bool TuiContainer::RefreshAtCursorPos(bool AIsMouseEvent) {
  if (!HandleAllocated() || IsContainerDestroying() || refreshing_) return false;
  refreshing_ = true;
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  bool result = false;
  try {
    result = RefreshAtPoint(p, 0, KeyboardStateToShiftState(), AIsMouseEvent);
  } catch (...) {
    refreshing_ = false;
    throw;
  }
  refreshing_ = false;
  return result;
}

void TuiContainer::EndMouseTracking() {
  MouseLeft(nullptr);
  StopMouseLeaveTracking(tracker_.get());
}

void TuiContainer::UpdateWindowRegion() {
  if (!HandleAllocated()) return;
  TRect shape;
  GetShapeRect(shape);
  SetWindowRegionIfChanged(Handle(), shape, viewInfo_->NativeStyle && viewInfo_->BorderStyle != cbsNone, TRect{},
                           viewInfo_->Shadow);
}

void TuiContainer::ApplyAppearanceToInnerControl() {
  if (innerControl_ == nullptr) return;
  innerControl_->SetColor(viewInfo_->BackgroundColor);
  innerControl_->SetFont(GetActiveStyle()->GetVisibleFont());
}

void TuiContainer::AdjustInnerControlBounds() {
  if (innerControl_ == nullptr) return;
  const TRect& r = viewInfo_->ClientRect;
  if (innerControl_->Left() == r.left && innerControl_->Top() == r.top && innerControl_->Width() == r.right - r.left &&
      innerControl_->Height() == r.bottom - r.top)
    return;
  adjusting_ = true;
  try {
    innerControl_->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  } catch (...) {
    adjusting_ = false;
    throw;
  }
  adjusting_ = false;
}

void TuiContainer::FocusInnerControl() {
  if (innerControl_ != nullptr) innerControl_->SetFocus();
}

void TuiContainer::LockContextPopup(bool ALock) {
  if (ALock)
    ++contextPopupLock_;
  else if (contextPopupLock_ > 0)
    --contextPopupLock_;
}

void TuiContainer::LockAlignControls(bool ALock) {
  if (ALock)
    ++alignLock_;
  else if (alignLock_ > 0)
    --alignLock_;
}

void TuiContainer::CalculateInnerControlRegion(const TRect& ARect, TWinControl* AControl,
                                               TuiContainerInnerControlRegionInfo& AInfo) {
  AInfo.IsWholeControlVisible = true;
  if (AControl == nullptr) return;
  const TRect full{0, 0, AControl->Width(), AControl->Height()};
  TRect visible = full;
  const Integer left = AControl->Left(), top = AControl->Top();
  if (left < ARect.left) visible.left += ARect.left - left;
  if (top < ARect.top) visible.top += ARect.top - top;
  if (left + AControl->Width() > ARect.right) visible.right -= left + AControl->Width() - ARect.right;
  if (top + AControl->Height() > ARect.bottom) visible.bottom -= top + AControl->Height() - ARect.bottom;
  AInfo.VisibleRect = visible;
  AInfo.IsWholeControlVisible = EqualRect(&visible, &full);
}

void TuiContainer::AlignControls(TControl* AControl, TRect& Rect) {
  if (ControlStyle().Contains(csAcceptsControls)) return TuiControl::AlignControls(AControl, Rect);
  if (alignLock_ > 0 || (AControl != nullptr && IsOwnScrollBarPart(AControl))) return;
  if (AControl == nullptr) return TuiControl::AlignControls(AControl, Rect);
  auto* windowed = dynamic_cast<TWinControl*>(AControl);
  if (constructing_ || windowed == nullptr || !windowed->HandleAllocated()) return;
  TuiContainerInnerControlRegionInfo info;
  CalculateInnerControlRegion(Rect, windowed, info);
  if (windowed != innerControl_) return SetControlRegion(windowed, info);
  const bool changed = info.IsWholeControlVisible != innerRegion_.IsWholeControlVisible ||
                       (!info.IsWholeControlVisible && !EqualRect(&info.VisibleRect, &innerRegion_.VisibleRect));
  if (!changed) return;
  innerRegion_ = info;
  SetControlRegion(windowed, info);
}

void TuiContainer::AdjustClientRect(TRect& Rect) {
  if (!IsContainerDestroying()) Rect = viewInfo_->ClientRect;
}

void TuiContainer::Paint() {
  TuiControl::Paint();
  RECT clip{};
  if (GetClipBox(Canvas()->GetDCHandle(), &clip) != ERROR && !IntersectRect(&clip, &clip, &viewInfo_->Bounds)) return;
  if (ControlState().Contains(csPaintCopy)) ClipCanvasToShape();
  viewInfo_->Draw(Canvas());
}

void TuiContainer::Resize() {
  TuiControl::Resize();
  if (!constructing_) RefreshAtCursorPos(false);
}

void TuiContainer::CreateWnd() {
  TuiControl::CreateWnd();
  RefreshAtCursorPos(false);
}

void TuiContainer::WndProc(TMessage& Message) {
  const bool hasInner = innerControl_ != nullptr && innerControl_->HandleAllocated();
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (!Visible()) return;
      // Focus coming back from the inner window is not a new focus of the container.
      if (hasInner && reinterpret_cast<HWND>(Message.WParam) == innerControl_->Handle()) {
        Message.Result = 0;
        return;
      }
      TuiControl::WndProc(Message);
      if (hasInner && innerControl_->CanFocus()) FocusInnerControl();
      return;
    case WM_KILLFOCUS:
      if (hasInner && reinterpret_cast<HWND>(Message.WParam) == innerControl_->Handle()) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_WINDOWPOSCHANGING:
      if (IsContainerDestroying()) {
        Message.Result = 0;
        return;
      }
      TuiControl::WndProc(Message);
      if (hasInner && HandleAllocated() && GetFocus() == Handle() && innerControl_->CanFocus())
        if (TCustomForm* form = GetParentForm(this)) form->FocusControl(innerControl_);
      return;
    case WM_WINDOWPOSCHANGED:
      TuiControl::WndProc(Message);
      if (IsTransparent() && !IsContainerDestroying()) RefreshAtCursorPos(false);
      return;
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE:
      TuiControl::WndProc(Message);
      RefreshAtCursorPos(false);
      return;
    case SyncScrollBarsMessage:
      SyncScrollBars(false);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (DragMode() == dmAutomatic && !IsDesigning()) {
        BeginDrag(Mouse->DragImmediate(), Mouse->DragThreshold());
        return;
      }
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      if (hasInner) {
        Message.Result = SendMessage(innerControl_->Handle(), Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      break;
    default:
      break;
  }
  TuiControl::WndProc(Message);
}

void TuiContainer::FocusStateChanged() {
  TuiControl::FocusStateChanged();
  RefreshAtCursorPos(false);
}

void TuiContainer::KeyDown(Word& Key, TShiftState Shift) {
  TuiControl::KeyDown(Key, Shift);
  if (Key != VK_TAB || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl) || !IsFocused() || HandlesTabKey()) return;
  Key = 0;
  if (TCustomForm* form = GetParentForm(this)) form->SelectNext(this, !Shift.Contains(ssShift), true);
  if (HandleAllocated() && GetFocus() == Handle()) FocusInnerControl();
}

void TuiContainer::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (contextPopupLock_ == 0 && ((MousePos.x == -1 && MousePos.y == -1) || CanContextPopupAt(MousePos))) {
    TuiControl::DoContextPopup(MousePos, Handled);
    return;
  }
  Handled = true;
}

void TuiContainer::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  containerShiftState = Shift;
  TuiControl::MouseDown(Button, Shift, X, Y);
  RefreshAtPoint(TPoint{X, Y}, MouseButtonToContainerButton(Button), Shift, true);
}

void TuiContainer::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  containerShiftState = Shift;
  TuiControl::MouseUp(Button, Shift, X, Y);
  RefreshAtPoint(TPoint{X, Y}, MouseButtonToContainerButton(Button), Shift, true);
}

void TuiContainer::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiControl::MouseMove(Shift, X, Y);
  RefreshAtPoint(TPoint{X, Y}, 0, Shift, true);
}

void TuiContainer::MouseLeft(TControl* AControl) {
  TuiControl::MouseLeft(AControl);
  containerShiftState = {};
  RefreshAtCursorPos(true);
  StopMouseLeaveTracking(tracker_.get());
}

// ---- Container: focus, keys, cursor, scaling ----------------------------------------------------------

bool TuiContainer::IsInnerControlFocused() {
  return innerControl_ != nullptr && innerControl_->HandleAllocated() && GetFocus() == innerControl_->Handle();
}

void TuiContainer::SetFocus() {
  if (IsDesigning() || HasFocus()) return;
  TuiControl::SetFocus();
  if (innerControl_ == nullptr || !innerControl_->HandleAllocated() || !HandleAllocated() || GetFocus() != Handle())
    return;
  FocusInnerControl();
  if (TCustomForm* form = GetParentForm(this)) form->FocusControl(innerControl_);
}

bool TuiContainer::TakesFocusOnClick() {
  return TuiControl::TakesFocusOnClick() && !IsInnerControlFocused() && !noFocusOnClick_;
}

bool TuiContainer::MayFocus() { return !IsInnerControlFocused(); }

void TuiContainer::GetTabOrderList(std::vector<TWinControl*>& List) {
  TuiControl::GetTabOrderList(List);
  if (IsTabOrderInherited() || innerControl_ == nullptr) return;
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr || form->ActiveControl() != innerControl_) return;
  const auto self = std::find(List.begin(), List.end(), static_cast<TWinControl*>(this));
  if (self == List.end()) return;
  *self = innerControl_;
  // The inner control's own place (as the container's child) goes: it now stands where the container did.
  for (auto it = List.begin(); it != List.end(); ++it)
    if (*it == innerControl_ && it != self) {
      List.erase(it);
      break;
    }
}

bool TuiContainer::ProcessInnerKeyMessage(TMessage& Message) {
  if (Message.Msg != CN_KEYDOWN && Message.Msg != CN_SYSKEYDOWN) return false;
  if (!IsPopupMenuShortCutOfChain(static_cast<TWMKey&>(Message))) return false;
  Message.Result = 1;
  return true;
}

void TuiContainer::SetDragKind(TDragKind AValue) {
  TuiControl::SetDragKind(AValue);
  if (innerControl_ != nullptr) innerControl_->SetDragKind(AValue);
}

void TuiContainer::ControlCursorChanged() {
  TuiControl::ControlCursorChanged();
  if (innerControl_ != nullptr) innerControl_->SetCursor(Cursor());
}

void TuiContainer::WMSetCursor(TWMSetCursor& Message) {
  if (HandleAllocated() && Message.CursorWnd() == Handle() && Message.HitTest() == HTCLIENT) {
    TPoint p{};
    GetCursorPos(&p);
    p = ScreenToClient(p);
    if (!PtInRect(&viewInfo_->ClientRect, p)) {
      ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  TuiControl::WMSetCursor(Message);
}

void TuiContainer::CMEnabledChanged(TMessage& Message) {
  TuiControl::CMEnabledChanged(Message);
  if (HScrollBar() != nullptr) {
    HScrollBar()->SetEnabled(Enabled());
    VScrollBar()->SetEnabled(Enabled());
  }
  RefreshAtCursorPos(false);
}

void TuiContainer::ChangeScale(Integer M, Integer D) {
  TuiContainerStyle* normal = Style();
  const bool loading = ComponentState().Contains(csLoading);
  const bool scaleFont = M != D && normal->IsValueAssigned(csvFont);
  applyingStyle_ = !ParentFont();
  try {
    TuiControl::ChangeScale(M, D);
  } catch (...) {
    applyingStyle_ = false;
    throw;
  }
  applyingStyle_ = false;
  if (!scaleFont) return;
  if (normal->AssignedValues().Contains(csvFont)) {
    TFont* font = normal->Font();
    std::unique_ptr<TFont> scaled(new TFont);
    scaled->Assign(font);
    scaled->SetSize(MulDiv(font->Size(), M, D));
    normal->SetFont(scaled.get());
  } else if (loading) {
    // The controller's font is shared by its followers: it scales it once for all of them.
    TuiStyleController* controller = normal->StyleController();
    if (controller == nullptr) controller = GetDefaultStyleController();
    if (controller != nullptr) controller->ScaleFont(M, D);
  }
}

void TuiContainer::CreateParams(TCreateParams& Params) {
  TuiControl::CreateParams(Params);
  // The border and inner control are repainted by region; a resize need not repaint everything.
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TuiContainer::CreateWindowHandle(const TCreateParams& Params) {
  TCreateParams params = Params;
  const String caption = params.Caption;
  params.Caption.clear();
  TuiControl::CreateWindowHandle(params);
  if (HandleAllocated() && !caption.empty())
    DefWindowProc(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
}

void TuiContainer::ClipCanvasToShape() {
  TRect shape;
  GetShapeRect(shape);
  HRGN region = CreateContainerRegion(HandleAllocated() ? Handle() : nullptr, shape, false, TRect{}, viewInfo_->Shadow);
  ExtSelectClipRgn(Canvas()->GetDCHandle(), region, RGN_AND);
  DeleteObject(region);
}

// ---- Container: mirrored scroll bars --------------------------------------------------------------------

void GetStandardScrollBarSize(TPoint& P) {
  P = TPoint{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

bool IsGetScrollBarInfoAvailable() { return true; }

bool CallGetScrollBarInfo(HWND AWnd, LONG AObjectID, SCROLLBARINFO& AInfo) {
  AInfo.cbSize = sizeof(SCROLLBARINFO);
  return GetScrollBarInfo(AWnd, AObjectID, &AInfo) != FALSE;
}

TRect GetInnerControlSizeGripRect(TWinControl* AInnerControl) {
  TuiContainer* container = GetContainerOfControl(AInnerControl);
  if (container == nullptr || container->HScrollBar() == nullptr || !container->HScrollBar()->Visible() ||
      !container->VScrollBar()->Visible() || !AInnerControl->HandleAllocated() || !container->HandleAllocated())
    return TRect{};
  TuiControlScrollBar* h = container->HScrollBar();
  TuiControlScrollBar* v = container->VScrollBar();
  TRect grip{v->Left(), h->Top(), v->Left() + v->Width(), h->Top() + h->Height()};
  // Container client coordinates to the inner control's window rectangle.
  RECT window{};
  GetWindowRect(AInnerControl->Handle(), &window);
  const TPoint origin = container->ScreenToClient(TPoint{window.left, window.top});
  OffsetRect(&grip, -origin.x, -origin.y);
  return grip;
}

void TuiContainer::PostSyncScrollBarsMessage() {
  if (IsContainerDestroying() || !HandleAllocated() || innerControl_ == nullptr) return;
  PostMessage(Handle(), SyncScrollBarsMessage, 0, 0);
}

bool TuiContainer::GetInnerScrollBarInfo(TScrollBarKind AKind, SCROLLBARINFO& AInfo) {
  if (IsContainerDestroying() || Parent() == nullptr || !HandleAllocated() || innerControl_ == nullptr ||
      !innerControl_->HandleAllocated())
    return false;
  return CallGetScrollBarInfo(innerControl_->Handle(), AKind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, AInfo);
}

bool TuiContainer::IsScrollBarInfoVisible(const SCROLLBARINFO& AInfo) {
  return (AInfo.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0;
}

bool TuiContainer::IsScrollBarEnabled(TuiControlScrollBar* ABar, const SCROLLBARINFO& AInfo) {
  return ABar->Parent() != nullptr && ABar->Parent()->Enabled() && (AInfo.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

void TuiContainer::GetScrollBarRectFromInfo(const SCROLLBARINFO& AInfo, TRect& R) {
  const TPoint topLeft = ScreenToClient(TPoint{AInfo.rcScrollBar.left, AInfo.rcScrollBar.top});
  const Integer width = AInfo.rcScrollBar.right - AInfo.rcScrollBar.left;
  const Integer height = AInfo.rcScrollBar.bottom - AInfo.rcScrollBar.top;
  // As left, top, width and height.
  R = TRect{topLeft.x, topLeft.y, width, height};
  if (topLeft.x < 0 || topLeft.y < 0 || topLeft.x + width > Width() || topLeft.y + height > Height()) R = TRect{};
}

void TuiContainer::SetScrollBarVisible(TuiControlScrollBar* ABar, bool AVisible) {
  ABar->SetVisible(AVisible);
  if (!AVisible) return;
  ABar->SetCtl3D(false);
  ABar->BringToFront();
}

void TuiContainer::UpdateScrollBarFromInner(TuiControlScrollBar* ABar) {
  SCROLLBARINFO info{};
  if (!GetInnerScrollBarInfo(ABar->Kind(), info) || !IsScrollBarInfoVisible(info)) {
    SetScrollBarVisible(ABar, false);
    return;
  }
  ABar->SetEnabled(IsScrollBarEnabled(ABar, info));
  TRect r;
  GetScrollBarRectFromInfo(info, r);
  // The bar covers a visible inner bar that lies inside the container; anything else leaves it hidden.
  const bool visible = r.right > 0 && r.bottom > 0;
  if (visible) ABar->SetBounds(r.left, r.top, r.right, r.bottom);
  SetScrollBarVisible(ABar, visible);
}

void TuiContainer::SyncScrollBars(bool AValuesOnly) {
  if (innerControl_ == nullptr || !HasScrollBars() || HScrollBar() == nullptr || IsContainerDestroying() ||
      !IsGetScrollBarInfoAvailable() || syncingScrollBars_)
    return;
  syncingScrollBars_ = true;
  try {
    for (TuiControlScrollBar* bar : {HScrollBar(), VScrollBar()}) {
      if (!AValuesOnly) UpdateScrollBarFromInner(bar);
      if (!bar->Visible() || !innerControl_->HandleAllocated()) continue;
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_ALL;
      if (!GetScrollInfo(innerControl_->Handle(), bar->Kind() == sbHorizontal ? SB_HORZ : SB_VERT, &info)) continue;
      const Integer page = std::min<Integer>(static_cast<Integer>(info.nPage), info.nMax);
      bar->SetScrollParams(info.nMin, info.nMax, info.nPos, page, true);
    }
  } catch (...) {
    syncingScrollBars_ = false;
    throw;
  }
  syncingScrollBars_ = false;
}

void TuiContainer::RecalculateScrollBars() {
  // With an inner control the bars follow its native ones; the container computes no ranges itself.
  if (innerControl_ != nullptr)
    SyncScrollBars(false);
  else
    TuiControl::RecalculateScrollBars();
}

// ---- Inner control events ----

bool TuiInnerControlEvents::Click(TuiContainer* AContainer) {
  if (AContainer == nullptr) return false;
  AContainer->Click();
  return true;
}

bool TuiInnerControlEvents::DblClick(TuiContainer* AContainer) {
  if (AContainer == nullptr) return false;
  AContainer->DblClick();
  return true;
}

bool TuiInnerControlEvents::MouseDown(TuiContainer* AContainer, const TControl& AInner, TMouseButton Button,
                                      TShiftState Shift, Integer X, Integer Y) {
  if (AContainer == nullptr) return false;
  struct Restore {
    std::weak_ptr<bool> Alive;
    TuiContainer* Container;
    bool Saved;
    ~Restore() {
      if (!Alive.expired()) Container->SetNoFocusOnClick(Saved);
    }
  };
  Restore restore{AContainer->AliveToken(), AContainer, AContainer->NoFocusOnClick()};
  AContainer->SetNoFocusOnClick(true);
  AContainer->MouseDown(Button, Shift, X + AInner.Left(), Y + AInner.Top());
  return true;
}

bool TuiInnerControlEvents::MouseMove(TuiContainer* AContainer, const TControl& AInner, TShiftState Shift, Integer X,
                                      Integer Y) {
  if (AContainer == nullptr) return false;
  AContainer->MouseMove(Shift, X + AInner.Left(), Y + AInner.Top());
  return true;
}

bool TuiInnerControlEvents::MouseUp(TuiContainer* AContainer, const TControl& AInner, TMouseButton Button,
                                    TShiftState Shift, Integer X, Integer Y) {
  if (AContainer == nullptr) return false;
  AContainer->MouseUp(Button, Shift, X + AInner.Left(), Y + AInner.Top());
  return true;
}

bool TuiInnerControlEvents::DragOver(TuiContainer* AContainer, const TControl& AInner, TObject* Source, Integer X,
                                     Integer Y, TDragState State, bool& Accept) {
  if (AContainer == nullptr) return false;
  AContainer->DragOver(Source, X + AInner.Left(), Y + AInner.Top(), State, Accept);
  return true;
}

bool TuiInnerControlEvents::DragDrop(TuiContainer* AContainer, const TControl& AInner, TObject* Source, Integer X,
                                     Integer Y) {
  if (AContainer == nullptr) return false;
  AContainer->DragDrop(Source, X + AInner.Left(), Y + AInner.Top());
  return true;
}
