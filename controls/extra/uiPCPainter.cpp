// The tab painter base: the control as a painter sees it, the paint order, the clip-region stack, the
// client and frame rectangles, invalidation, and the painters factory.
#include "controls/extra/uiPCPainter.h"

#include <algorithm>

#include "controls/extra/uiPC.h"
#include "platform/classes/ClassBuilder.h"
#include "controls/foundation/uxThemeManager.h"
#include "platform/win/gdi/WinRect.h"

K58_IMPLEMENT_CLASS(TuiPCPainterParentInfo) {}
K58_IMPLEMENT_CLASS(TuiPCCustomPainter) {}
K58_IMPLEMENT_CLASS(TuiPCPaintersFactory) {}

// ---- Parent info ----

TuiCanvas* TuiPCPainterParentInfo::Canvas() const { return parent_->Canvas(); }
TColor TuiPCPainterParentInfo::Color() const { return parent_->Color(); }
TColor TuiPCPainterParentInfo::FontColor() const { return parent_->Font()->Color(); }
Integer TuiPCPainterParentInfo::Width() const { return parent_->Width(); }
Integer TuiPCPainterParentInfo::Height() const { return parent_->Height(); }
bool TuiPCPainterParentInfo::HideTabs() const { return parent_->HideTabs(); }
Integer TuiPCPainterParentInfo::ImageBorder() const { return parent_->ImageBorder(); }
bool TuiPCPainterParentInfo::MultiLine() const { return parent_->MultiLine(); }
bool TuiPCPainterParentInfo::RaggedRight() const { return parent_->RaggedRight(); }
bool TuiPCPainterParentInfo::Rotate() const { return parent_->Rotate(); }
bool TuiPCPainterParentInfo::ScrollOpposite() const { return parent_->ScrollOpposite(); }
bool TuiPCPainterParentInfo::ShowFrame() const { return parent_->ShowFrame(); }
Integer TuiPCPainterParentInfo::TabHeight() const { return parent_->TabHeight(); }
Integer TuiPCPainterParentInfo::TabWidth() const { return parent_->TabWidth(); }
TuiTabPosition TuiPCPainterParentInfo::TabPosition() const { return parent_->TabPosition(); }
TuiPCNavigatorPosition TuiPCPainterParentInfo::NavigatorPosition() const { return parent_->NavigatorPosition(); }
TuiPCOptions TuiPCPainterParentInfo::Options() const { return parent_->Options(); }
Integer TuiPCPainterParentInfo::ActiveTabVisibleIndex() const { return parent_->Tabs()->ActiveTab(); }
TuiPCNavigatorButtons TuiPCPainterParentInfo::NavigatorButtons() const { return parent_->NavigatorButtons(); }
TuiPCNavigatorButtonState TuiPCPainterParentInfo::NavigatorButtonState(TuiPCNavigatorButton Button) const {
  return parent_->NavigatorButtonState(Button);
}
Integer TuiPCPainterParentInfo::RowCount() const { return parent_->RowCount(); }
Integer TuiPCPainterParentInfo::SplitRow() const { return parent_->SplitRow(); }
TRect TuiPCPainterParentInfo::NearRowsArea() const { return parent_->NearRowsArea(); }
TRect TuiPCPainterParentInfo::FarRowsArea() const { return parent_->FarRowsArea(); }

bool TuiPCPainterParentInfo::HasOppositeRows() const {
  const TuiTabPosition position = parent_->TabPosition();
  if (position == tpTop || position == tpLeft) return parent_->SplitRow() != parent_->RowCount();
  return parent_->SplitRow() != 0;
}

TuiTab* TuiPCPainterParentInfo::GetTab(Integer VisibleIndex) const { return parent_->Tabs()->GetVisibleTab(VisibleIndex); }

TControl* TuiPCPainterParentInfo::GetPage(Integer VisibleIndex) const {
  return parent_->GetPage(GetTab(VisibleIndex)->Index());
}

TColor TuiPCPainterParentInfo::PageColor(Integer VisibleIndex) const {
  TControl* page = GetPage(VisibleIndex);
  return page != nullptr ? page->Color() : parent_->Color();
}

// The platform reports itself as the NT family, version 5, which has the hot-light colour.
TColor TuiPCPainterParentInfo::HotColor() const { return clHotLight; }

// ---- Painter base ----

TuiPCCustomPainter::TuiPCCustomPainter(TuiCustomTabControl* AParent)
    : parent_(AParent), parentInfo_(std::make_unique<TuiPCPainterParentInfo>(AParent)) {}

TuiPCCustomPainter::~TuiPCCustomPainter() {
  for (HRGN region : clipRegions_)
    if (region != nullptr) DeleteObject(region);
}

TuiCanvas* TuiPCCustomPainter::Canvas() const { return parent_->Canvas(); }

bool TuiPCCustomPainter::HasFrame() { return parentInfo_->ShowFrame(); }

void TuiPCCustomPainter::GetFrameRectMargins(TRect& M) {
  M = TRect{};
  if (parentInfo_->HideTabs() || parentInfo_->RowCount() == 0) return;
  const TRect r1 = parentInfo_->NearRowsArea(), r2 = parentInfo_->FarRowsArea();
  const Integer width = parentInfo_->Width(), height = parentInfo_->Height();
  const bool farRows = parentInfo_->HasOppositeRows();
  switch (parentInfo_->TabPosition()) {
    case tpTop:
      M.top = r1.bottom;
      if (farRows) M.bottom = height - r2.top;
      break;
    case tpBottom:
      M.top = height - r2.top;
      if (parentInfo_->SplitRow() != 0) M.bottom = r1.bottom;
      break;
    case tpLeft:
      M.top = r1.right;
      if (farRows) M.bottom = width - r2.left;
      break;
    case tpRight:
      M.top = width - r2.left;
      if (parentInfo_->SplitRow() != 0) M.bottom = r1.right;
      break;
  }
}

void TuiPCCustomPainter::GetClientRectMargins(TRect& M) {
  GetFrameRectMargins(M);
  if (HasFrame()) {
    const Integer w = GetFrameWidth();
    M = TRect{M.left + w, M.top + w, M.right + w, M.bottom + w};
  }
}

void TuiPCCustomPainter::CalculateClientRect(TRect& R) {
  TRect m;
  GetClientRectMargins(m);
  R = NormalizeRect(DeflateRectByRotatedMargins(TRect{0, 0, parentInfo_->Width(), parentInfo_->Height()}, m,
                                                parentInfo_->TabPosition()));
}

void TuiPCCustomPainter::CalculateFrameRect(TRect& R) {
  TRect m;
  GetFrameRectMargins(m);
  R = NormalizeRect(DeflateRectByRotatedMargins(TRect{0, 0, parentInfo_->Width(), parentInfo_->Height()}, m,
                                                parentInfo_->TabPosition()));
}

TColor TuiPCCustomPainter::GetClientColor() {
  const Integer active = parentInfo_->ActiveTabVisibleIndex();
  return active != -1 ? parentInfo_->PageColor(active) : parentInfo_->Color();
}

void TuiPCCustomPainter::DoPaint() {
  if (!parentInfo_->HideTabs()) {
    DrawButtons();
    DrawTabs();
  }
  DrawFrameAndClientArea();
}

void TuiPCCustomPainter::DrawFrameAndClientArea() {
  if (HasFrame()) DrawFrame();
  DrawClientArea();
  TRect r;
  CalculateFrameRect(r);
  Canvas()->ExcludeClipRect(r);
}

void TuiPCCustomPainter::DrawClientArea() {
  TRect r;
  CalculateClientRect(r);
  Canvas()->FillRectWithColor(r, GetClientColor());
}

void TuiPCCustomPainter::SaveClipRegion() {
  HDC dc = Canvas()->GetDCHandle();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc, region) != 1) {
    DeleteObject(region);
    region = nullptr;
  }
  clipRegions_.push_back(region);
}

void TuiPCCustomPainter::RestoreClipRegion() {
  if (clipRegions_.empty()) return;
  HRGN region = clipRegions_.back();
  clipRegions_.pop_back();
  SelectClipRgn(Canvas()->GetDCHandle(), region);
  if (region != nullptr) DeleteObject(region);
}

bool TuiPCCustomPainter::SetClipRect(const TRect& R, bool AIntersect) {
  if (IsRectEmpty(&R)) return false;
  HDC dc = Canvas()->GetDCHandle();
  if (AIntersect && !RectVisible(dc, &R)) return false;
  SaveClipRegion();
  if (AIntersect) {
    IntersectClipRect(dc, R.left, R.top, R.right, R.bottom);
  } else {
    HRGN region = CreateRectRgnIndirect(&R);
    SelectClipRgn(dc, region);
    DeleteObject(region);
  }
  return true;
}

void TuiPCCustomPainter::InvalidateControlRect(const TRect& R) {
  if (parent_->HandleAllocated()) InvalidateRect(parent_->Handle(), &R, FALSE);
}

void TuiPCCustomPainter::InvalidateTabRect(Integer ATabVisibleIndex) {
  TRect r;
  parentInfo_->GetTab(ATabVisibleIndex)->GetVisibleRect(r);
  InvalidateControlRect(r);
}

void TuiPCCustomPainter::InvalidateRowsArea(Integer ATabVisibleIndex) {
  InvalidateControlRect(parent_->GetRowsAreaRect(ATabVisibleIndex));
}

// ---- Factory ----

namespace {

std::unique_ptr<TuiPCPaintersFactory>& FactoryInstance() {
  static std::unique_ptr<TuiPCPaintersFactory> instance;
  return instance;
}

[[noreturn]] void RaiseFactoryError(const char* Method, const char* Message) {
  throw Exception(String("TuiPCPaintersFactory.") + Method + ": " + Message);
}

}  // namespace

TuiPCPaintersFactory* TuiPCPaintersFactory::Instance() { return FactoryInstance().get(); }

void TuiPCPaintersFactory::RegisterPainterClass(TuiPCPainterClass AClass) {
  auto& instance = FactoryInstance();
  if (!instance) instance = std::make_unique<TuiPCPaintersFactory>();
  auto& classes = instance->classes_;
  if (std::find(classes.begin(), classes.end(), AClass) == classes.end()) classes.push_back(AClass);
}

void TuiPCPaintersFactory::UnregisterPainterClass(TuiPCPainterClass AClass) {
  auto& instance = FactoryInstance();
  if (!instance) return;
  auto& classes = instance->classes_;
  classes.erase(std::remove(classes.begin(), classes.end(), AClass), classes.end());
  if (classes.empty()) instance.reset();
}

TuiPCPainterClass TuiPCPaintersFactory::GetPainterClass(Integer AStyleID) const {
  for (TuiPCPainterClass c : classes_)
    if (c->GetStyleID() == AStyleID) return c;
  return nullptr;
}

TuiPCCustomPainter* TuiPCPaintersFactory::GetPainterInstance(TuiPCPainterClass AClass,
                                                             TuiCustomTabControl* AParent) const {
  if (AClass == nullptr) RaiseFactoryError("GetPainterInstance", "PCPainterClass is nil");
  return AClass->CreatePainter(AParent);
}

Integer TuiPCPaintersFactory::GetStyleIDByLookAndFeel(TuiLookAndFeel* ALookAndFeel) const {
  for (auto it = classes_.rbegin(); it != classes_.rend(); ++it)
    if ((*it)->IsDefault(ALookAndFeel)) return (*it)->GetStyleID();
  return -1;
}

Integer TuiPCPaintersFactory::GetDefaultStyleID(TuiLookAndFeel* ALookAndFeel) const {
  if (classes_.empty()) RaiseFactoryError("GetDefaultStyleID", "There are no styles registered");
  for (auto it = classes_.rbegin(); it != classes_.rend(); ++it)
    if ((*it)->IsNativeDefault(ALookAndFeel)) return (*it)->GetStyleID();
  return classes_.front()->GetStyleID();
}

Integer TabLookAndFeelKind(TuiLookAndFeel* ALookAndFeel) {
  return static_cast<Integer>(ALookAndFeel->GetPainterClassForObject(totTab)->GetLookAndFeelStyle());
}

// ---- Tab content ----

HRGN TuiPCCustomPainter::GetTabClipRgn(Integer ATabVisibleIndex) {
  TRect r;
  parentInfo_->GetTab(ATabVisibleIndex)->GetVisibleRect(r);
  return CreateRectRgnIndirect(&r);
}

bool TuiPCCustomPainter::IsOwnerDrawing() { return parent_->OwnerDraw() && parent_->OnDrawTab().Assigned(); }

bool TuiPCCustomPainter::IsTabCustomDrawn(Integer ATabVisibleIndex) {
  bool defaultDraw = true;
  if (parent_->OnDrawTab().Assigned()) parent_->OnDrawTab()(parent_, parentInfo_->GetTab(ATabVisibleIndex), defaultDraw);
  return !defaultDraw;
}

void TuiPCCustomPainter::DoDrawTabEx(Integer ATabVisibleIndex, TFont* AFont) {
  if (parent_->OnDrawTabEx().Assigned()) parent_->OnDrawTabEx()(parent_, parentInfo_->GetTab(ATabVisibleIndex), AFont);
}

TSize TuiPCCustomPainter::GetImageSize() const {
  TCustomImageList* images = parent_->Images();
  if (images == nullptr || images->Width() <= 0 || images->Height() <= 0) return TSize{0, 0};
  return TSize{images->Width(), images->Height()};
}

bool TuiPCCustomPainter::HasTabImage(Integer ATabVisibleIndex) {
  return GetImageSize().cx >= 1 && parent_->GetImageIndex(parentInfo_->GetTab(ATabVisibleIndex)->Index()) >= 0;
}

TColor TuiPCCustomPainter::GetHighlightedTextColor(Integer ATabVisibleIndex) {
  if (!IsNativePainting()) return clHighlightText;
  Integer part, state;
  GetTabNativePartAndState(ATabVisibleIndex, part, state);
  COLORREF color = 0;
  constexpr int kTextColorProperty = 3803;
  if (GetThemeColor(OpenThemeObject(totTab), part, state, kTextColorProperty, &color) == S_OK)
    return static_cast<TColor>(color);
  return Canvas()->GetCanvasFont()->Color();
}

TPoint TuiPCCustomPainter::RotatePoint(const TRect& R, TPoint P, TuiTabSide ASide) {
  switch (ASide) {
    case tsBottom: return TPoint{P.x, R.bottom + R.top - P.y - 1};
    case tsLeft: return TPoint{P.y + R.right - R.bottom, R.bottom + R.left - P.x - 1};
    case tsRight: return TPoint{R.bottom + R.left - P.y - 1, R.bottom + R.left - P.x - 1};
    default: return P;
  }
}

void TuiPCCustomPainter::DrawPolyline(const TRect& R, const std::vector<TPoint>& APoints, TColor AColor,
                                      TuiTabSide ASide) {
  if (APoints.empty()) return;
  std::vector<TPoint> points;
  points.reserve(APoints.size() + 1);
  for (const TPoint& p : APoints) points.push_back(RotatePoint(R, p, ASide));
  const TPoint last = points.back();
  points.push_back(TPoint{last.x + 1, last.y + 1});
  Canvas()->GetCanvasPen()->SetColor(AColor);
  Canvas()->Polyline(points);
}

namespace {

// Text-space rectangle [a0, a1) along the caption by [c0, c1) across it, placed in R for a text mode.
TRect MapTextRect(const TRect& R, Integer AMode, Integer a0, Integer a1, Integer c0, Integer c1) {
  switch (AMode) {
    case 1: return TRect{R.left + c0, R.bottom - a1, R.left + c1, R.bottom - a0};
    case 2: return TRect{R.right - c1, R.top + a0, R.right - c0, R.top + a1};
    default: return TRect{R.left + a0, R.top + c0, R.left + a1, R.top + c1};
  }
}

Integer TextWidth(HDC DC, const String& AText, Integer AWidth, bool AEllipsis, Integer& AHeight) {
  RECT r{0, 0, AWidth, 0};
  UINT flags = DT_CALCRECT | DT_SINGLELINE;
  if (AEllipsis) flags |= DT_END_ELLIPSIS;
  DrawText(DC, AText.c_str(), -1, &r, flags);
  AHeight = r.bottom - r.top;
  return r.right - r.left;
}

}  // namespace

void TuiPCCustomPainter::CalculateTabImageAndTextRects(Integer ATabVisibleIndex, TRect& AImageRect,
                                                       TRect& ATextRect) {
  TuiTab* tab = parentInfo_->GetTab(ATabVisibleIndex);
  const bool native = IsNativePainting();
  const bool buttons = IsButtonBehaviour();
  const bool pressed = buttons && IsTabPressed(ATabVisibleIndex);
  const Integer textMode = parent_->GetPainterTextMode();
  const Integer orientation = tab->GetOrientationCode(parent_->GetTextMode());
  TRect content;
  tab->GetFullRect(content);
  if (native) {
    Integer w = content.right - content.left, h = content.bottom - content.top;
    if (parent_->IsVerticalText()) std::swap(w, h);
    content = TRect{0, 0, w, h};
  }
  Integer length = textMode == 0 ? content.right - content.left : content.bottom - content.top;
  const Integer depth = textMode == 0 ? content.bottom - content.top : content.right - content.left;

  const bool hasImage = HasTabImage(ATabVisibleIndex);
  const TSize imageSize = GetImageSize();
  const String& caption = tab->Caption();
  Integer imagePart = 0;
  if (hasImage) {
    imagePart = 2 * parent_->ImageBorder() + imageSize.cx;
    if (!caption.empty()) imagePart += GetImageTextDistance();
  }
  auto spacing = [&](bool ATruncated, Integer (&APair)[2]) {
    if (ATruncated)
      GetTruncatedTabContentWOffset(ATabVisibleIndex, APair);
    else
      GetTabContentWOffset(ATabVisibleIndex, APair);
    if (native && (orientation == 2 || orientation == 9 || orientation == 12)) std::swap(APair[0], APair[1]);
    if (buttons && hasImage && textMode == 1) {
      ++APair[0];
      --APair[1];
    }
    if (pressed) {
      --APair[0];
      ++APair[1];
    }
  };
  Integer pair[2];
  spacing(false, pair);
  length -= pair[0] + pair[1];

  HDC dc = Canvas()->GetDCHandle();
  Integer captionHeight = 0;
  const Integer captionWidth = caption.empty() ? 0 : TextWidth(dc, caption, 0, false, captionHeight);
  const bool truncated = length - imagePart < captionWidth;
  if (truncated) {
    length += pair[0] + pair[1];
    spacing(true, pair);
    length -= pair[0] + pair[1];
  }
  Integer textWidth = 0, textHeight = 0;
  if (!caption.empty()) {
    const Integer room = length - imagePart;
    textWidth = TextWidth(dc, caption, std::max(room, 0), true, textHeight);
    Integer dotsHeight;
    const Integer dotsWidth = TextWidth(dc, "...", 0, false, dotsHeight);
    // Nothing is drawn of a caption that does not fit or of which only the ellipsis would be left.
    if (textWidth > room || (truncated && textWidth <= dotsWidth)) textWidth = 0;
    if (textHeight > depth) textHeight = 0;
  }

  TRect imageMargins, textMargins;
  GetTabImageAreaOffsets(ATabVisibleIndex, imageMargins);
  GetTabTextAreaOffsets(ATabVisibleIndex, textMargins);
  for (TRect* m : {&imageMargins, &textMargins}) {
    if (buttons) {
      if ((pressed && textMode != 2) || (!pressed && textMode == 2)) {
        ++m->top;
        --m->bottom;
      }
    } else if (parent_->Rotate()) {
      m->top = m->bottom = 0;
    }
    if (IsTabContentMirrored() && (orientation == 5 || orientation == 7 || orientation == 10)) std::swap(m->top, m->bottom);
  }

  const Integer end = pair[0] + length;
  Integer start = pair[0];
  if (!truncated && !(hasImage && parent_->Rotate())) start += (length - imagePart - textWidth) / 2;
  AImageRect = TRect{};
  if (hasImage) {
    const Integer a0 = start + parent_->ImageBorder();
    const Integer c0 = (imageMargins.top + depth - imageMargins.bottom - imageSize.cy) / 2;
    AImageRect = MapTextRect(content, textMode, a0, a0 + imageSize.cx, c0, c0 + imageSize.cy);
    start += GetImageTextDistance() + 2 * parent_->ImageBorder() + imageSize.cx;
  }
  ATextRect = TRect{};
  if (textWidth > 0 && textHeight > 0) {
    if (hasImage && parent_->Rotate() && !truncated) start += (end - start - textWidth) / 2;
    const Integer c0 = (textMargins.top + depth - textMargins.bottom - textHeight) / 2;
    ATextRect = MapTextRect(content, textMode, start, start + textWidth, c0, c0 + textHeight);
  }
}

TBitmap* TuiPCCustomPainter::GetTabCaptionBitmap(Integer ATabVisibleIndex) {
  return parentInfo_->GetTab(ATabVisibleIndex)->CaptionBitmap();
}

TBitmap* TuiPCCustomPainter::CreateTabCaptionBitmap(Integer ATabVisibleIndex) {
  return parentInfo_->GetTab(ATabVisibleIndex)->CreateCaptionBitmap();
}

void TuiPCCustomPainter::DrawCaption(Integer ATabVisibleIndex, const String& ACaption, const TRect& ATextRect) {
  const bool native = IsNativePainting();
  const Integer textMode = parent_->GetPainterTextMode();
  if (native) {
    // Straight onto the tab's bitmap.
    if (contentBitmap_ == nullptr) return;
    contentBitmap_->Canvas()->SetFont(Canvas()->GetCanvasFont());
    RenderCaption(ATabVisibleIndex, ACaption, contentBitmap_, ATextRect, true);
    return;
  }
  const Integer w = ATextRect.right - ATextRect.left, h = ATextRect.bottom - ATextRect.top;
  if (textMode != 0) {
    // Vertical text: rendered horizontally once, turned, and kept on the tab until what it shows changes.
    TBitmap* cached = GetTabCaptionBitmap(ATabVisibleIndex);
    if (cached == nullptr) {
      cached = CreateTabCaptionBitmap(ATabVisibleIndex);
      PrepareCaptionBitmap(ATabVisibleIndex, cached, h, w);
      RenderCaption(ATabVisibleIndex, ACaption, cached, TRect{0, 0, h, w}, false);
      TuiCanvas::RotateFlipBitmap(cached, textMode == 1 ? 1 : 2, false);
    }
    Canvas()->DrawGraphic(ATextRect.left, ATextRect.top, cached);
    return;
  }
  TBitmap temporary;
  temporary.SetPixelFormat(pf32bit);
  PrepareCaptionBitmap(ATabVisibleIndex, &temporary, w, h);
  RenderCaption(ATabVisibleIndex, ACaption, &temporary, TRect{0, 0, w, h}, false);
  Canvas()->DrawGraphic(ATextRect.left, ATextRect.top, &temporary);
}

void TuiPCCustomPainter::PrepareCaptionBitmap(Integer ATabVisibleIndex, TBitmap* ABitmap, Integer AWidth,
                                              Integer AHeight) {
  ABitmap->SetSize(AWidth, AHeight);
  TCanvas* c = ABitmap->Canvas();
  c->SetFont(Canvas()->GetCanvasFont());
  c->Pen()->Assign(Canvas()->GetCanvasPen());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(GetTabColor(ATabVisibleIndex));
  const TRect r{0, 0, AWidth, AHeight};
  c->FillRect(r);
  DrawTabTextBackground(ABitmap, r, ATabVisibleIndex);
}

void TuiPCCustomPainter::RenderCaption(Integer ATabVisibleIndex, const String& ACaption, TBitmap* ATarget,
                                       const TRect& R, bool ANative) {
  TuiTab* tab = parentInfo_->GetTab(ATabVisibleIndex);
  TCanvas* c = ATarget->Canvas();
  c->Brush()->SetStyle(bsClear);
  DoDrawTabEx(ATabVisibleIndex, c->Font());
  const UINT flags = DT_SINGLELINE | DT_END_ELLIPSIS;
  if (ANative) {
    Integer part, state;
    GetTabNativePartAndState(ATabVisibleIndex, part, state);
    DrawThemeText(OpenThemeObject(totTab), c->Handle(), part, state, ACaption, -1, flags, 0, R);
  } else if (tab->IsEnabledForUser()) {
    TColor color = clBtnText;
    if (tab->Highlighted())
      color = GetHighlightedTextColor(ATabVisibleIndex);
    else if (tab->IsHotTracked())
      color = parentInfo_->HotColor();
    c->Font()->SetColor(color);
    RECT tr = R;
    DrawText(c->Handle(), ACaption.c_str(), -1, &tr, flags);
  } else {
    // Embossed: the highlight one pixel down and right, the shadow over it.
    c->Font()->SetColor(clBtnHighlight);
    RECT tr{R.left + 1, R.top + 1, R.right + 1, R.bottom + 1};
    DrawText(c->Handle(), ACaption.c_str(), -1, &tr, flags);
    c->Font()->SetColor(clBtnShadow);
    tr = R;
    DrawText(c->Handle(), ACaption.c_str(), -1, &tr, flags);
  }
}

void TuiPCCustomPainter::DrawTabImageAndText(Integer ATabVisibleIndex) {
  TRect imageRect, textRect;
  CalculateTabImageAndTextRects(ATabVisibleIndex, imageRect, textRect);
  PrepareTabImageAndTextRects(ATabVisibleIndex, imageRect, textRect);
  TuiTab* tab = parentInfo_->GetTab(ATabVisibleIndex);
  const bool native = IsNativePainting();
  Canvas()->GetCanvasFont()->SetColor(parent_->Font()->Color());
  const Integer imageIndex = parent_->GetImageIndex(tab->Index());
  if (imageIndex != -1 && !IsRectEmpty(&imageRect)) {
    TCanvas* target = native && contentBitmap_ != nullptr ? contentBitmap_->Canvas() : Canvas()->Canvas();
    parent_->ImageList()->Draw(target, imageRect.left, tab->IsEnabledForUser(), GetTabColor(ATabVisibleIndex),
                               imageIndex, imageRect.top);
  }
  if (!tab->Caption().empty() && !IsRectEmpty(&textRect) && (!native || contentBitmap_ != nullptr))
    DrawCaption(ATabVisibleIndex, tab->Caption(), textRect);
  if (native) return;
  TRect both;
  UnionRect(&both, &imageRect, &textRect);
  if (IsRectEmpty(&both)) return;
  HRGN content = CreateRectRgnIndirect(&both);
  HRGN tabRegion = GetTabClipRgn(ATabVisibleIndex);
  CombineRgn(content, content, tabRegion, RGN_AND);
  ExtSelectClipRgn(Canvas()->GetDCHandle(), content, RGN_DIFF);
  DeleteObject(tabRegion);
  DeleteObject(content);
}
