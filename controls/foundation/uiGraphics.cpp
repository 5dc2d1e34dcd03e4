// Canvas, region, text-flag and colour helpers.
#include "controls/foundation/uiGraphics.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/RtlMath.h"
#include "platform/win/gdi/WinRect.h"
#include "platform/win/ui/WinUserUi.h"

namespace {

Integer Width(const TRect& R) { return R.right - R.left; }
Integer Height(const TRect& R) { return R.bottom - R.top; }

// Floor division, so tiles line up also left of and above the logical origin.
Integer FloorDiv(Integer A, Integer B) { return A >= 0 ? A / B : -((-A + B - 1) / B); }

int CombineMode(TuiRegionOperation AOperation) {
  switch (AOperation) {
    case roSet: return RGN_COPY;
    case roAdd: return RGN_OR;
    case roSubtract: return RGN_DIFF;
    case roIntersect: return RGN_AND;
  }
  return RGN_COPY;
}

}  // namespace

UINT CanvasTextFlagsToDrawTextFlags(TuiCanvasTextFlags Flags) {
  UINT result = DT_NOPREFIX;
  if (Flags & ctfAlignRight) result |= DT_RIGHT;
  if (Flags & ctfAlignHCenter) result |= DT_CENTER;
  if (Flags & ctfAlignBottom) result |= DT_BOTTOM;
  if (Flags & ctfAlignVCenter) result |= DT_VCENTER;
  if (Flags & ctfSingleLine) result |= DT_SINGLELINE;
  if (Flags & ctfNoClip) result |= DT_NOCLIP;
  if (Flags & ctfExpandTabs) result |= DT_EXPANDTABS;
  if (Flags & ctfShowPrefix) result &= ~DT_NOPREFIX;
  if (Flags & ctfWordBreak) {
    result |= DT_WORDBREAK;
    if (!(Flags & ctfNoCharBreak)) result |= DT_EDITCONTROL;
  }
  if (Flags & ctfEndEllipsis) result |= DT_END_ELLIPSIS;
  if (Flags & ctfCalcOnly) result |= DT_CALCRECT;
  if (Flags & ctfPathEllipsis) result |= DT_PATH_ELLIPSIS;
  return result;
}

// ---- TuiRegion ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRegion) {}

TuiRegion::TuiRegion() : handle_(CreateRectRgn(0, 0, 0, 0)) {}
TuiRegion::TuiRegion(HRGN ARegion) : handle_(ARegion) {}
TuiRegion::TuiRegion(const TRect& R) : handle_(CreateRectRgnIndirect(&R)) {}
TuiRegion::TuiRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
    : handle_(CreateRectRgn(ALeft, ATop, ARight, ABottom)) {}

TuiRegion::~TuiRegion() {
  if (handle_ != nullptr) DeleteObject(handle_);
}

void TuiRegion::CombineWith(TuiRegion* ARegion, TuiRegionOperation AOperation, bool ADestroyRegion) {
  if (ARegion == nullptr) return;
  if (AOperation == roSet)
    CombineRgn(handle_, ARegion->Handle(), nullptr, RGN_COPY);
  else
    CombineRgn(handle_, handle_, ARegion->Handle(), CombineMode(AOperation));
  if (ADestroyRegion) FreeObject(ARegion);
}

void TuiRegion::Move(Integer DX, Integer DY) { OffsetRgn(handle_, DX, DY); }

bool TuiRegion::PtInRegionXY(Integer X, Integer Y) const { return PtInRegion(handle_, X, Y) != FALSE; }

bool TuiRegion::IsEmpty() const {
  RECT box{};
  return GetRgnBox(handle_, &box) == NULLREGION;
}

TRect TuiRegion::BoundsRect() const {
  RECT box{};
  GetRgnBox(handle_, &box);
  return box;
}

// ---- TuiCanvas: forwards ------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCanvas) {}

void TuiCanvas::BeginPath() { ::BeginPath(GetDCHandle()); }
void TuiCanvas::EndPath() { ::EndPath(GetDCHandle()); }

void TuiCanvas::ExcludeClipRect(const TRect& R) { ::ExcludeClipRect(GetDCHandle(), R.left, R.top, R.right, R.bottom); }

void TuiCanvas::IntersectClipRect(const TRect& R) {
  ::IntersectClipRect(GetDCHandle(), R.left, R.top, R.right, R.bottom);
}

TPoint TuiCanvas::GetWindowOrigin() const {
  TPoint p;
  GetWindowOrgEx(GetDCHandle(), &p);
  return p;
}

TPoint TuiCanvas::GetViewportOrigin() const {
  TPoint p;
  GetViewportOrgEx(GetDCHandle(), &p);
  return p;
}

void TuiCanvas::SetWindowOrigin(const TPoint& P) { SetWindowOrgEx(GetDCHandle(), P.x, P.y, nullptr); }

TPoint TuiCanvas::GetDeviceOrigin() const {
  const TPoint viewport = GetViewportOrigin();
  const TPoint window = GetWindowOrigin();
  return TPoint{viewport.x - window.x, viewport.y - window.y};
}

void TuiCanvas::SetBrushColor(TColor AColor) {
  if (canvas_->Brush()->Color() != AColor) canvas_->Brush()->SetColor(AColor);
}

Integer TuiCanvas::SaveState() { return SaveDC(GetDCHandle()); }

void TuiCanvas::RestoreState(Integer ASaved) {
  RestoreDC(GetDCHandle(), ASaved);
  // The context's selections changed behind the canvas's back.
  canvas_->Refresh();
}

// ---- Measuring ----------------------------------------------------------------------------------------

void TuiCanvas::MeasureText(const String& AText, TSize& ASize) {
  const HDC dc = GetDCHandle();
  ASize = TSize{};
  GetTextExtentPoint32(dc, AText.data(), static_cast<int>(AText.size()), &ASize);
}

Integer TuiCanvas::MeasureTextWidth(const String& AText) {
  TSize size;
  MeasureText(AText, size);
  return size.cx;
}

Integer TuiCanvas::MeasureTextHeight(const String& AText) {
  TSize size;
  MeasureText(AText, size);
  return size.cy;
}

Integer TuiCanvas::MeasureFontHeight(TFont* AFont) {
  SetCanvasFont(AFont);
  return MeasureTextHeight("Qq");
}

// ---- Frames and fills ---------------------------------------------------------------------------------

void TuiCanvas::FillRectangle(const TRect& R, TBitmap* ABitmap) {
  if (k58::gdi::RectEmpty(R)) return;
  if (ABitmap == nullptr || ABitmap->Empty() || ABitmap->Width() <= 0 || ABitmap->Height() <= 0) {
    canvas_->FillRect(R);
    return;
  }
  const Integer w = ABitmap->Width(), h = ABitmap->Height();
  const Integer firstCol = FloorDiv(R.left, w), lastCol = FloorDiv(R.right - 1, w);
  const Integer firstRow = FloorDiv(R.top, h), lastRow = FloorDiv(R.bottom - 1, h);
  TCanvas* source = ABitmap->Canvas();
  for (Integer row = firstRow; row <= lastRow; ++row) {
    for (Integer col = firstCol; col <= lastCol; ++col) {
      const TRect tile{col * w, row * h, col * w + w, row * h + h};
      TRect dest;
      if (!::IntersectRect(&dest, &tile, &R)) continue;
      TRect src = dest;
      ::OffsetRect(&src, -tile.left, -tile.top);
      canvas_->CopyRect(dest, source, src);
    }
  }
}

void TuiCanvas::FillRectWithColor(const TRect& R, TColor AColor) {
  if (k58::gdi::RectEmpty(R)) return;
  canvas_->Brush()->SetStyle(bsSolid);
  SetBrushColor(AColor);
  canvas_->FillRect(R);
}

void TuiCanvas::DrawBorderLines(const TRect& R, TColor AColor, Integer ALineWidth, TuiBorders ABorders) {
  if (k58::gdi::RectEmpty(R)) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  if (ABorders.Contains(bLeft)) canvas_->FillRect(TRect{R.left, R.top, std::min(R.left + ALineWidth, R.right), R.bottom});
  if (ABorders.Contains(bRight))
    canvas_->FillRect(TRect{std::max(R.right - ALineWidth, R.left), R.top, R.right, R.bottom});
  if (ABorders.Contains(bTop)) canvas_->FillRect(TRect{R.left, R.top, R.right, std::min(R.top + ALineWidth, R.bottom)});
  if (ABorders.Contains(bBottom))
    canvas_->FillRect(TRect{R.left, std::max(R.bottom - ALineWidth, R.top), R.right, R.bottom});
}

void TuiCanvas::DrawFramedArea(TRect R, const TuiBackgroundParams& ABackground, TuiBorders ABorders,
                               TColor ABorderColor, Integer ALineWidth) {
  DrawBorderLines(R, ABorderColor, ALineWidth, ABorders);
  if (ABorders.Contains(bLeft)) R.left += ALineWidth;
  if (ABorders.Contains(bTop)) R.top += ALineWidth;
  if (ABorders.Contains(bRight)) R.right -= ALineWidth;
  if (ABorders.Contains(bBottom)) R.bottom -= ALineWidth;
  SetBrushColor(ABackground.Color);
  FillRectangle(R, ABackground.Bitmap);
}

void TuiCanvas::DrawTwoColorFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                                  TuiBorders ABorders, Integer ALineWidth) {
  canvas_->Brush()->SetStyle(bsSolid);
  if (ABorders.Contains(bLeft)) {
    SetBrushColor(ALeftTopColor);
    canvas_->FillRect(TRect{R.left, R.top, R.left + ALineWidth, R.bottom});
  }
  if (ABorders.Contains(bTop)) {
    SetBrushColor(ALeftTopColor);
    canvas_->FillRect(TRect{R.left, R.top, R.right, R.top + ALineWidth});
  }
  if (ABorders.Contains(bRight)) {
    SetBrushColor(ARightBottomColor);
    canvas_->FillRect(TRect{R.right - ALineWidth, R.top, R.right, R.bottom});
  }
  if (ABorders.Contains(bBottom)) {
    SetBrushColor(ARightBottomColor);
    canvas_->FillRect(TRect{R.left, R.bottom - ALineWidth, R.right, R.bottom});
  }
}

void TuiCanvas::DrawEdge3D(const TRect& R, bool ASunken, bool AOuter, TuiBorders ABorders) {
  if (ASunken) {
    if (AOuter)
      DrawTwoColorFrame(R, clBtnShadow, clBtnHighlight, ABorders);
    else
      DrawTwoColorFrame(R, cl3DDkShadow, cl3DLight, ABorders);
  } else {
    if (AOuter)
      DrawTwoColorFrame(R, cl3DLight, cl3DDkShadow, ABorders);
    else
      DrawTwoColorFrame(R, clBtnHighlight, clBtnShadow, ABorders);
  }
}

void TuiCanvas::DrawFocusRectangle(const TRect& R) {
  SetBrushColor(clWhite);
  canvas_->Font()->SetColor(clBlack);
  canvas_->DrawFocusRect(R);
}

void TuiCanvas::InvertRectangle(const TRect& R) {
  canvas_->SetCopyMode(cmDstInvert);
  canvas_->CopyRect(R, canvas_, R);
  canvas_->SetCopyMode(cmSrcCopy);
}

// ---- Text ---------------------------------------------------------------------------------------------

void TuiCanvas::DrawCaptionText(const String& AText, TRect R, TuiCanvasTextFlags AFlags, bool AEnabled) {
  if (AText.empty()) return;
  const bool useDrawText =
      !(AFlags & ctfSingleLine) || (AFlags & (ctfShowPrefix | ctfEndEllipsis | ctfPathEllipsis)) != 0;
  TSize size;
  MeasureText(AText, size);
  if (Width(R) > size.cx && Height(R) > size.cy) AFlags |= ctfNoClip;
  const Integer disabledShift = AEnabled ? 0 : 1;
  UINT drawTextFlags = 0;
  UINT options = 0;
  if (useDrawText) {
    if (!(AFlags & ctfSingleLine) && (AFlags & (ctfAlignBottom | ctfAlignVCenter)) != 0)
      AlignMultilineTextVertically(R, AText, (AFlags & ctfAlignBottom) ? 1 : 2, (AFlags & ctfWordBreak) != 0,
                                   (AFlags & ctfShowPrefix) != 0, AEnabled, (AFlags & ctfNoCharBreak) != 0);
    drawTextFlags = CanvasTextFlagsToDrawTextFlags(AFlags);
  } else {
    if (Width(R) > size.cx) {
      if ((AFlags & 7) == ctfAlignRight)
        R.left = R.right - size.cx - disabledShift;
      else if ((AFlags & 7) == ctfAlignHCenter)
        R.left = (R.left + R.right - size.cx) / 2;
    }
    if (Height(R) > size.cy) {
      if ((AFlags & 0x38) == ctfAlignBottom)
        R.top = R.bottom - size.cy - disabledShift;
      else if ((AFlags & 0x38) == ctfAlignVCenter)
        R.top = (R.top + R.bottom - size.cy) / 2;
    }
    options = (AFlags & ctfNoClip) ? 0 : ETO_CLIPPED;
  }
  const TBrushStyle brushStyle = canvas_->Brush()->Style();
  const TColor fontColor = canvas_->Font()->Color();
  auto output = [&](const TRect& At) {
    const HDC dc = GetDCHandle();
    TRect rect = At;
    if (useDrawText)
      ::DrawText(dc, AText.data(), static_cast<int>(AText.size()), &rect, drawTextFlags);
    else
      ::ExtTextOut(dc, rect.left, rect.top, options, &rect, AText.data(), static_cast<UINT>(AText.size()), nullptr);
  };
  if (!AEnabled) {
    ++R.left;
    ++R.top;
    canvas_->Brush()->SetStyle(bsClear);
    canvas_->Font()->SetColor(clBtnHighlight);
    output(R);
    ::OffsetRect(&R, -1, -1);
    canvas_->Font()->SetColor(clBtnShadow);
  }
  output(R);
  if (canvas_->Brush()->Style() != brushStyle) canvas_->Brush()->SetStyle(brushStyle);
  canvas_->Font()->SetColor(fontColor);
}

void TuiCanvas::CalculateTextRect(const String& AText, TRect& R, TuiCanvasTextFlags AFlags) {
  const UINT flags = CanvasTextFlagsToDrawTextFlags(AFlags);
  TRect measured = R;
  ::DrawText(GetDCHandle(), AText.data(), static_cast<int>(AText.size()), &measured,
             (flags | DT_CALCRECT) & ~DT_VCENTER);
  Integer dx = 0, dy = 0;
  if (flags & DT_CENTER)
    dx = (Width(R) - Width(measured)) / 2;
  else if (flags & DT_RIGHT)
    dx = Width(R) - Width(measured);
  if (flags & DT_VCENTER)
    dy = (Height(R) - Height(measured)) / 2;
  else if (flags & DT_BOTTOM)
    dy = Height(R) - Height(measured);
  ::OffsetRect(&measured, dx, dy);
  R = measured;
}

void TuiCanvas::AlignMultilineTextVertically(TRect& R, const String& AText, Integer AVertAlign, bool AWordBreak,
                                             bool AShowPrefix, bool AEnabled, bool ANoCharBreak) {
  TRect measured{R.left, R.top, R.right - (AEnabled ? 0 : 1), R.bottom};
  TuiCanvasTextFlags flags = ctfAlignLeft | ctfAlignTop;
  if (AWordBreak) flags |= ctfWordBreak;
  if (AShowPrefix) flags |= ctfShowPrefix;
  if (ANoCharBreak) flags |= ctfNoCharBreak;
  CalculateTextRect(AText, measured, flags);
  const Integer textHeight = Height(measured);
  if (AVertAlign == 1)
    R.top = R.bottom - (textHeight + (AEnabled ? 0 : 1));
  else if (AVertAlign == 2)
    R.top = (R.top + R.bottom - textHeight) / 2;
}

// ---- Clipping -----------------------------------------------------------------------------------------

std::unique_ptr<TuiRegion> TuiCanvas::CopyClipRegion(bool AConsiderOrigin) {
  auto region = std::make_unique<TuiRegion>();
  if (GetClipRgn(GetDCHandle(), region->Handle()) != 1) SetRectRgn(region->Handle(), 0, 0, 30000, 30000);
  if (AConsiderOrigin) {
    const TPoint origin = GetDeviceOrigin();
    region->Move(-origin.x, -origin.y);
  }
  return region;
}

void TuiCanvas::ChangeClipRegion(TuiRegion* ARegion, TuiRegionOperation AOperation, bool ADestroyRegion,
                                 bool AConsiderOrigin) {
  if (ARegion == nullptr) return;
  if (AOperation == roSet) {
    const TPoint origin = AConsiderOrigin ? GetDeviceOrigin() : TPoint{};
    ARegion->Move(origin.x, origin.y);
    SelectClipRgn(GetDCHandle(), ARegion->Handle());
    if (ADestroyRegion)
      FreeObject(ARegion);
    else
      ARegion->Move(-origin.x, -origin.y);
    return;
  }
  std::unique_ptr<TuiRegion> clip = CopyClipRegion(AConsiderOrigin);
  clip->CombineWith(ARegion, AOperation, ADestroyRegion);
  ChangeClipRegion(clip.release(), roSet, true, AConsiderOrigin);
}

// ---- Bitmaps ------------------------------------------------------------------------------------------

void TuiCanvas::RotateFlipBitmap(TBitmap* ABitmap, Integer ARotation, bool AMirror) {
  if (ABitmap == nullptr || ABitmap->Empty() || (ARotation == 0 && !AMirror)) return;
  const Integer w = ABitmap->Width(), h = ABitmap->Height();
  BITMAPINFO info{};
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> source(static_cast<size_t>(w) * h), dest(source.size());
  const HDC dc = ScreenDC();
  GetDIBits(dc, ABitmap->Handle(), 0, static_cast<UINT>(h), source.data(), &info, DIB_RGB_COLORS);
  for (Integer y = 0; y < h; ++y) {
    for (Integer x = 0; x < w; ++x) {
      Integer index = 0;
      switch (ARotation & 3) {
        case 0: index = (h - 1 - y) * w + x; break;  // only with AMirror
        case 1: index = AMirror ? x * h + y : (w - 1 - x) * h + y; break;
        case 2: index = AMirror ? (w - 1 - x) * h + (h - 1 - y) : x * h + (h - 1 - y); break;
        default: index = AMirror ? y * w + (w - 1 - x) : (h - 1 - y) * w + (w - 1 - x); break;
      }
      dest[static_cast<size_t>(index)] = source[static_cast<size_t>(y) * w + x];
    }
  }
  if ((ARotation & 3) == 1 || (ARotation & 3) == 2) {
    ABitmap->SetSize(h, w);
    info.bmiHeader.biWidth = h;
    info.bmiHeader.biHeight = -w;
  }
  SetDIBits(dc, ABitmap->Handle(), 0, static_cast<UINT>(-info.bmiHeader.biHeight), dest.data(), &info,
            DIB_RGB_COLORS);
}

// ---- Screen canvases ----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TScreenCanvas) {}

TScreenCanvas::~TScreenCanvas() { FreeHandle(); }

void TScreenCanvas::CreateHandle() {
  dc_ = GetDC(nullptr);
  SetHandle(dc_);
}

void TScreenCanvas::FreeHandle() {
  if (dc_ == nullptr) return;
  SetHandle(nullptr);
  ReleaseDC(nullptr, dc_);
  dc_ = nullptr;
}

K58_IMPLEMENT_CLASS(TuiScreenCanvas) {}

TuiScreenCanvas::TuiScreenCanvas() : TuiCanvas(new TScreenCanvas) {}

TuiScreenCanvas::~TuiScreenCanvas() { FreeObject(Canvas()); }

// ---- Free routines ------------------------------------------------------------------------------------

TRect DeflateRectByMargins(TRect& R, const TRect& AMargins) {
  R.left += AMargins.left;
  R.top += AMargins.top;
  R.right -= AMargins.right;
  R.bottom -= AMargins.bottom;
  return R;
}

TColor GetNearestScreenColor(TColor AColor) {
  const HDC dc = GetDC(nullptr);
  const COLORREF result = GetNearestColor(dc, ColorToRGB(AColor));
  ReleaseDC(nullptr, dc);
  return static_cast<TColor>(result);
}

TColor MixSystemColorsPercent(ShortInt ABtnFacePercent, ShortInt AHighlightPercent, ShortInt AWindowPercent) {
  const COLORREF face = ColorToRGB(clBtnFace);
  const COLORREF highlight = ColorToRGB(clHighlight);
  if (face == 0 || face == 0xFFFFFF) return static_cast<TColor>(highlight);
  const COLORREF window = ColorToRGB(clWindow);
  COLORREF result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int c = MulDiv(static_cast<int>((face >> shift) & 0xFF), ABtnFacePercent, 100) +
                  MulDiv(static_cast<int>((highlight >> shift) & 0xFF), AHighlightPercent, 100) +
                  MulDiv(static_cast<int>((window >> shift) & 0xFF), AWindowPercent, 100);
    result |= static_cast<COLORREF>(std::clamp(c, 0, 255)) << shift;
  }
  return static_cast<TColor>(result);
}

TColor GetUltraFlatHotButtonColor() { return GetNearestScreenColor(MixSystemColorsPercent(-2, 30, 72)); }

TColor GetUltraFlatPressedButtonColor() { return GetNearestScreenColor(MixSystemColorsPercent(14, 44, 40)); }
