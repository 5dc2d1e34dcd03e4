// The editors' shared drawing routines that need no editor, and the colour and text helpers.
#include "controls/foundation/uiEditUtils.h"

#include <algorithm>
#include <memory>

#include "controls/foundation/uiEditPaintUtils.h"
#include "controls/foundation/uiLookAndFeels.h"
#include "controls/foundation/uxOffice11.h"
#include "controls/foundation/uxThemeManager.h"
#include "platform/win/core/WinBase.h"
#include "platform/win/core/WinStyles.h"
#include "platform/win/ui/WinUserUi.h"

namespace {

bool hotLightColorAvailable = false;

// The control whose parent image is being painted: its parent's paint may reach it again.
std::vector<TControl*> paintingParentImages;

HDC DcOf(TuiCanvas* ACanvas) { return ACanvas->GetDCHandle(); }

void FillWith(HDC DC, const TRect& R, HBRUSH ABrush) {
  if (R.right > R.left && R.bottom > R.top) ::FillRect(DC, &R, ABrush);
}

TRect Intersection(const TRect& A, const TRect& B) {
  return TRect{std::max(A.left, B.left), std::max(A.top, B.top), std::min(A.right, B.right),
               std::min(A.bottom, B.bottom)};
}

std::unique_ptr<TBitmap> NewBitmap(Integer AWidth, Integer AHeight) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(AWidth, AHeight);
  return bitmap;
}

void FillBitmap(TBitmap* ABitmap, TColor AColor) {
  const TRect all{0, 0, ABitmap->Width(), ABitmap->Height()};
  ::FillRect(ABitmap->Canvas()->Handle(), &all, GetSolidBrush(AColor));
}

// ---- Parent images ------------------------------------------------------------------------------------

// Where AWindow's client area lies in its window.
TPoint ClientOffset(TWinControl* AWindow) {
  if (!AWindow->HandleAllocated()) return TPoint{};
  RECT window{};
  POINT client{};
  ::GetWindowRect(AWindow->Handle(), &window);
  ::ClientToScreen(AWindow->Handle(), &client);
  return TPoint{client.x - window.left, client.y - window.top};
}

// Marks a control csPaintCopy, saves the canvas's DC, and undoes both when it goes.
class PaintCopyScope {
 public:
  PaintCopyScope(TControl* AControl, TuiCanvas* ACanvas)
      : control_(AControl), state_(AControl->ControlState()), canvas_(ACanvas), saved_(::SaveDC(DcOf(ACanvas))) {
    TControlState state = state_;
    state.Include(csPaintCopy);
    control_->SetControlState(state);
  }
  ~PaintCopyScope() {
    ::RestoreDC(DcOf(canvas_), saved_);
    control_->SetControlState(state_);
  }
  PaintCopyScope(const PaintCopyScope&) = delete;
  PaintCopyScope& operator=(const PaintCopyScope&) = delete;

 private:
  TControl* control_;
  TControlState state_;
  TuiCanvas* canvas_;
  int saved_;
};

class CanvasLock {
 public:
  explicit CanvasLock(TCanvas* ACanvas) : canvas_(ACanvas) { canvas_->Lock(); }
  ~CanvasLock() { canvas_->Unlock(); }
  CanvasLock(const CanvasLock&) = delete;
  CanvasLock& operator=(const CanvasLock&) = delete;

 private:
  TCanvas* canvas_;
};

void MoveWindowOrigin(TuiCanvas* ACanvas, Integer DX, Integer DY) {
  const TPoint origin = ACanvas->GetWindowOrigin();
  ACanvas->SetWindowOrigin(TPoint{origin.x + DX, origin.y + DY});
}

// Narrows the clip to AWindow's window region, moved by (DX, DY) into the canvas's logical coordinates;
// false when the window has none.
bool ClipToWindowRegion(TWinControl* AWindow, TuiCanvas* ACanvas, Integer DX, Integer DY) {
  if (!AWindow->HandleAllocated()) return false;
  auto region = std::make_unique<TuiRegion>();
  if (::GetWindowRgn(AWindow->Handle(), region->Handle()) == ERROR) return false;
  region->Move(DX, DY);
  ACanvas->ChangeClipRegion(region.release(), roIntersect);
  return true;
}

// Paints AWindow for AArea (its client coordinates) into the canvas: its erase and paint handling, then its
// visible windowed children before AStopAt that meet the area. On entry the canvas's logical coordinates
// are AWindow's client coordinates (ADirectParent) or its window coordinates; the window's frame is drawn
// in the second case, where AWindow is a window lying under the control.
void PaintWindowImage(TWinControl* AWindow, TuiCanvas* ACanvas, const TRect& AArea, TControl* AStopAt,
                      bool ADirectParent) {
  PaintCopyScope scope(AWindow, ACanvas);
  const HDC dc = DcOf(ACanvas);
  const TPoint offset = ClientOffset(AWindow);
  if (ADirectParent) {
    if (!ClipToWindowRegion(AWindow, ACanvas, -offset.x, -offset.y))
      ACanvas->IntersectClipRect(TRect{0, 0, AWindow->ClientWidth(), AWindow->ClientHeight()});
  } else {
    if (!ClipToWindowRegion(AWindow, ACanvas, 0, 0))
      ACanvas->IntersectClipRect(TRect{0, 0, AWindow->Width(), AWindow->Height()});
    // The window's client edge, as the window draws it around its client area.
    const LONG style = AWindow->HandleAllocated() ? ::GetWindowLong(AWindow->Handle(), GWL_STYLE) : 0;
    const LONG exStyle = AWindow->HandleAllocated() ? ::GetWindowLong(AWindow->Handle(), GWL_EXSTYLE) : 0;
    RECT frame{0, 0, AWindow->Width(), AWindow->Height()};
    if (style & WS_BORDER) {
      ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_WINDOWFRAME));
      ::InflateRect(&frame, -1, -1);
    }
    if (exStyle & WS_EX_CLIENTEDGE) ::DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
    ACanvas->IntersectClipRect(TRect{offset.x, offset.y, offset.x + AWindow->ClientWidth(),
                                     offset.y + AWindow->ClientHeight()});
    MoveWindowOrigin(ACanvas, -offset.x, -offset.y);
  }
  ACanvas->IntersectClipRect(AArea);
  {
    CanvasLock lock(ACanvas->Canvas());
    AWindow->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
    AWindow->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  for (Integer i = 0; i < AWindow->ControlCount(); ++i) {
    TControl* child = AWindow->Controls(i);
    if (child == AStopAt) break;
    auto* window = dynamic_cast<TWinControl*>(child);
    if (window == nullptr || !window->Visible()) continue;
    const TRect bounds = window->BoundsRect();
    const TRect under = Intersection(AArea, bounds);
    if (::IsRectEmpty(&under)) continue;
    const TPoint childOffset = ClientOffset(window);
    const Integer toClientX = bounds.left + childOffset.x, toClientY = bounds.top + childOffset.y;
    const int saved = ::SaveDC(dc);
    try {
      MoveWindowOrigin(ACanvas, -bounds.left, -bounds.top);
      PaintWindowImage(window, ACanvas,
                       TRect{under.left - toClientX, under.top - toClientY, under.right - toClientX,
                             under.bottom - toClientY},
                       nullptr, false);
    } catch (...) {
      ::RestoreDC(dc, saved);
      throw;
    }
    ::RestoreDC(dc, saved);
  }
}

}  // namespace

// ---- Arrows, lines and glyphs -------------------------------------------------------------------------

TSize CalculateArrowSize(const TSize& ASize, TuiArrowDirection ADirection) {
  Integer n = (std::min(ASize.cx, ASize.cy) - 1) / 2;
  if (n % 2 == 0) ++n;
  TSize result{n, n / 2 + 1};
  if (ADirection == adLeft || ADirection == adRight) std::swap(result.cx, result.cy);
  return result;
}

void DrawSolidArrows(TuiCanvas* ACanvas, Integer ASize, const TRect& ARect, TColor AColor, bool APressed,
                     Integer AExtraCount, TuiArrowDirection ADirection) {
  if (ASize <= 0 || AExtraCount < 0) return;
  const bool vertical = ADirection == adUp || ADirection == adDown;
  const Integer across = 2 * ASize - 1, along = (AExtraCount + 1) * ASize;
  const Integer blockWidth = vertical ? across : along, blockHeight = vertical ? along : across;
  Integer left = ARect.left + (ARect.right - ARect.left - blockWidth) / 2;
  Integer top = ARect.top + (ARect.bottom - ARect.top - blockHeight) / 2;
  if (APressed) {
    ++left;
    ++top;
  }
  const HDC dc = DcOf(ACanvas);
  const HBRUSH brush = GetSolidBrush(AColor);
  for (Integer arrow = 0; arrow <= AExtraCount; ++arrow) {
    const Integer start = arrow * ASize;  // along the direction
    for (Integer row = 0; row < ASize; ++row) {
      // Row 0 is the tip for up and left arrows, the base for down and right arrows.
      const Integer half = (ADirection == adUp || ADirection == adLeft) ? row : ASize - 1 - row;
      const Integer from = ASize - 1 - half, to = ASize + half;  // across, half-open
      if (vertical)
        FillWith(dc, TRect{left + from, top + start + row, left + to, top + start + row + 1}, brush);
      else
        FillWith(dc, TRect{left + start + row, top + from, left + start + row + 1, top + to}, brush);
    }
  }
}

void DrawRectEdges(TuiCanvas* ACanvas, TRect& ARect, TuiBorders AEdges, TColor AColor) {
  const HDC dc = DcOf(ACanvas);
  const HBRUSH brush = GetSolidBrush(AColor);
  if (AEdges.Contains(bLeft)) {
    FillWith(dc, TRect{ARect.left, ARect.top, ARect.left + 1, ARect.bottom}, brush);
    ++ARect.left;
  }
  if (AEdges.Contains(bRight)) {
    FillWith(dc, TRect{ARect.right - 1, ARect.top, ARect.right, ARect.bottom}, brush);
    --ARect.right;
  }
  if (AEdges.Contains(bTop)) {
    FillWith(dc, TRect{ARect.left, ARect.top, ARect.right, ARect.top + 1}, brush);
    ++ARect.top;
  }
  if (AEdges.Contains(bBottom)) {
    FillWith(dc, TRect{ARect.left, ARect.bottom - 1, ARect.right, ARect.bottom}, brush);
    --ARect.bottom;
  }
}

void DrawPolyLine(TuiCanvas* ACanvas, const std::vector<TPoint>& APoints, bool AByBrush, TColor AColor) {
  if (APoints.empty()) return;
  TPen* pen = ACanvas->GetCanvasPen();
  const TColor penColor = pen->Color();
  pen->SetColor(AColor);
  if (!AByBrush) {
    ACanvas->Polyline(APoints);
  } else {
    const HDC dc = DcOf(ACanvas);
    const HBRUSH brush = GetSolidBrush(AColor);
    for (size_t i = 1; i < APoints.size(); ++i) {
      const TPoint a = APoints[i - 1], b = APoints[i];
      if (a.x == b.x || a.y == b.y) {
        FillWith(dc, TRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1},
                 brush);
      } else {
        ACanvas->MoveTo(a.x, a.y);
        ACanvas->LineTo(b.x, b.y);
      }
    }
  }
  ACanvas->SetPixel(APoints.back().x, APoints.back().y, AColor);
  pen->SetColor(penColor);
}

void DrawGlyph(TuiCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph, TColor ABackgroundColor, bool AEnabled,
               TBitmap* ABackgroundBitmap) {
  if (!IsBitmapUsable(AGlyph)) return;
  const Integer width = AGlyph->Width(), height = AGlyph->Height();
  const TColor transparent = AGlyph->TransparentColor();
  TCanvas* target = ABackgroundBitmap != nullptr ? ABackgroundBitmap->Canvas() : ACanvas->Canvas();
  const Integer x = ABackgroundBitmap != nullptr ? 0 : X, y = ABackgroundBitmap != nullptr ? 0 : Y;
  if (AEnabled) {
    if (ABackgroundBitmap != nullptr || ABackgroundColor == clNone) {
      // Over what is there: every pixel but the transparent colour is copied.
      ::TransparentBlt(target->Handle(), x, y, width, height, AGlyph->Canvas()->Handle(), 0, 0, width, height,
                       ColorToRGB(transparent));
    } else {
      TBrush* brush = target->Brush();
      const TBrushStyle style = brush->Style();
      const TColor color = brush->Color();
      brush->SetStyle(bsSolid);
      brush->SetColor(ABackgroundColor);
      target->BrushCopy(TRect{x, y, x + width, y + height}, AGlyph, TRect{0, 0, width, height}, transparent);
      brush->SetColor(color);
      brush->SetStyle(style);
    }
  } else {
    TCustomImageList images(width, height);
    images.AddMasked(AGlyph, transparent);
    if (ABackgroundBitmap == nullptr && ABackgroundColor != clNone) {
      const auto backdrop = NewBitmap(width, height);
      FillBitmap(backdrop.get(), ABackgroundColor);
      images.Draw(backdrop->Canvas(), 0, 0, 0, false);
      ACanvas->DrawGraphic(X, Y, backdrop.get());
      return;
    }
    images.Draw(target, x, y, 0, false);
  }
  if (ABackgroundBitmap != nullptr) ACanvas->DrawGraphic(X, Y, ABackgroundBitmap);
}

void DrawImageFromList(TuiCanvas* ACanvas, TCustomImageList* AImages, Integer AIndex, TBitmap* ABitmap, bool AEnabled,
                       TColor ABackgroundColor, const TRect& ARect) {
  if (AImages == nullptr) return;
  std::unique_ptr<TBitmap> temporary;
  TBitmap* bitmap = ABitmap;
  if (bitmap == nullptr) {
    temporary = NewBitmap(AImages->Width(), AImages->Height());
    bitmap = temporary.get();
    if (ABackgroundColor != clNone)
      FillBitmap(bitmap, ABackgroundColor);
    else
      ::BitBlt(bitmap->Canvas()->Handle(), 0, 0, bitmap->Width(), bitmap->Height(), DcOf(ACanvas), ARect.left,
               ARect.top, SRCCOPY);
  }
  AImages->Draw(bitmap->Canvas(), 0, 0, AIndex, AEnabled);
  ACanvas->DrawGraphic(ARect.left, ARect.top, bitmap);
}

void PaintParentImage(TControl* AControl, TuiCanvas* ACanvas, const TRect& ARect) {
  TWinControl* parent = AControl != nullptr ? AControl->Parent() : nullptr;
  if (parent == nullptr) return;
  // A parent's paint that reaches this control again paints nothing of the parent a second time.
  if (std::find(paintingParentImages.begin(), paintingParentImages.end(), AControl) != paintingParentImages.end())
    return;
  paintingParentImages.push_back(AControl);
  struct Done {
    TControl* Control;
    ~Done() { paintingParentImages.erase(std::find(paintingParentImages.begin(), paintingParentImages.end(), Control)); }
  } done{AControl};
  const TPoint position{AControl->Left(), AControl->Top()};
  const int saved = ::SaveDC(DcOf(ACanvas));
  try {
    MoveWindowOrigin(ACanvas, position.x, position.y);
    PaintWindowImage(parent, ACanvas,
                     TRect{ARect.left + position.x, ARect.top + position.y, ARect.right + position.x,
                           ARect.bottom + position.y},
                     AControl, true);
  } catch (...) {
    ::RestoreDC(DcOf(ACanvas), saved);
    throw;
  }
  ::RestoreDC(DcOf(ACanvas), saved);
}

// ---- Looks, bitmaps and fills -------------------------------------------------------------------------

TuiLookAndFeelPainterClass ChoosePainterClass(bool ANativeStyle, TuiLookAndFeelKind AKind) {
  if (ANativeStyle && AreThemesUsableFor(0)) return PainterClass<TuiWinXPLookAndFeelPainter>();
  return GetPainterClassOfKind(AKind);
}

bool IsBitmapUsable(TBitmap* ABitmap) {
  return ABitmap != nullptr && !ABitmap->Empty() && ABitmap->Width() != 0 && ABitmap->Height() != 0;
}

void FillRectWithColor(TuiCanvas* ACanvas, const TRect& R, TColor AColor) {
  FillWith(DcOf(ACanvas), R, GetSolidBrush(AColor));
}

void FillRectFrame(TuiCanvas* ACanvas, const TRect& R, const TRect& AInnerRect, HBRUSH ABrush) {
  if (::IsRectEmpty(&R) || ::EqualRect(&R, &AInnerRect)) return;
  const HDC dc = DcOf(ACanvas);
  if (::IsRectEmpty(&AInnerRect)) {
    FillWith(dc, R, ABrush);
    return;
  }
  // The strips never reach outside R, also for an inner rectangle that does.
  const TRect inner = Intersection(R, AInnerRect);
  if (::IsRectEmpty(&inner)) {
    FillWith(dc, R, ABrush);
    return;
  }
  FillWith(dc, TRect{R.left, R.top, inner.left, R.bottom}, ABrush);
  FillWith(dc, TRect{inner.left, R.top, inner.right, inner.top}, ABrush);
  FillWith(dc, TRect{inner.right, R.top, R.right, R.bottom}, ABrush);
  FillWith(dc, TRect{inner.left, inner.bottom, inner.right, R.bottom}, ABrush);
}

// ---- Flags, colours and texts -------------------------------------------------------------------------

// The alignments are values, not bits: justified and distributed ones have no canvas flag.
TuiCanvasTextFlags TextOutFlagsToCanvasFlags(TuiTextOutFlags AFlags) {
  TuiCanvasTextFlags result = 0;
  if ((AFlags & tofAlignHorzMask) == tofAlignHCenter) result |= ctfAlignHCenter;
  if ((AFlags & tofAlignHorzMask) == tofAlignRight) result |= ctfAlignRight;
  if ((AFlags & tofAlignVertMask) == tofAlignVCenter) result |= ctfAlignVCenter;
  if ((AFlags & tofAlignVertMask) == tofAlignBottom) result |= ctfAlignBottom;
  if (AFlags & tofSingleLine) result |= ctfSingleLine;
  if (AFlags & tofWordBreak) result |= ctfWordBreak;
  return result;
}

TuiTextOutFlags CanvasFlagsToTextOutFlags(TuiCanvasTextFlags AFlags) {
  TuiTextOutFlags result = 0;
  if (AFlags & ctfAlignHCenter)
    result |= tofAlignHCenter;
  else if (AFlags & ctfAlignRight)
    result |= tofAlignRight;
  if (AFlags & ctfAlignVCenter)
    result |= tofAlignVCenter;
  else if (AFlags & ctfAlignBottom)
    result |= tofAlignBottom;
  if (AFlags & ctfSingleLine) result |= tofSingleLine;
  if (AFlags & ctfWordBreak) result |= tofWordBreak;
  return result;
}

TColor GetHotLightColor() { return hotLightColorAvailable ? clHotLight : clBlue; }

TColor GetHighlightColor(bool AOffice11) { return AOffice11 ? Office11Color(o11SelectionFrame) : clHighlight; }

TColor GetFlatButtonColor(bool APressed, bool AOffice11) {
  const TuiLookAndFeelPainterClass painter = AOffice11 ? PainterClass<TuiOffice11LookAndFeelPainter>()
                                                       : PainterClass<TuiUltraFlatLookAndFeelPainter>();
  return painter->GetButtonFaceColor(APressed ? uibsPressed : uibsHot);
}

String StripAccelChars(const String& AText) {
  String result;
  result.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] != '&') {
      result += AText[i];
    } else if (i + 1 < AText.size()) {
      result += AText[++i];
    } else {
      result += '_';
    }
  }
  return result;
}

void SetCanvasFontFromLogFont(TuiCanvas* ACanvas, const LOGFONT& ALogFont) {
  ACanvas->GetCanvasFont()->SetHandle(::CreateFontIndirect(&ALogFont));
}

void GetCanvasLogFont(TuiCanvas* ACanvas, LOGFONT& ALogFont) {
  ALogFont = LOGFONT{};
  ::GetObject(ACanvas->GetCanvasFont()->Handle(), sizeof(LOGFONT), &ALogFont);
}

namespace k58::foundation {

bool HotLightColorAvailableOn(DWORD APlatformId, DWORD AMajorVersion, DWORD AMinorVersion) {
  return (APlatformId == VER_PLATFORM_WIN32_WINDOWS && AMinorVersion != 0) ||
         (APlatformId == VER_PLATFORM_WIN32_NT && AMajorVersion == 5);
}

void StartEditUtilsUnit() {
  OSVERSIONINFO version;
  hotLightColorAvailable = ::GetVersionEx(&version) &&
                           HotLightColorAvailableOn(version.dwPlatformId, version.dwMajorVersion,
                                                    version.dwMinorVersion);
}

void StopEditUtilsUnit() { hotLightColorAvailable = false; }

}  // namespace k58::foundation
