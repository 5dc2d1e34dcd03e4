// The radio-button glyph cache of the non-themed painters, the indicator images, the auto-hide pin
// bitmaps, the scroll-bar hatch bitmaps, and the painters' unit start and end.
#include <algorithm>

#include "controls/foundation/uiLookAndFeelPainters.h"
#include "controls/foundation/uiLookAndFeels.h"
#include "controls/foundation/uxOffice11.h"
#include "platform/classes/ClassBuilder.h"

namespace {

std::unique_ptr<TuiRadioButtonImageList> radioImages;
std::unique_ptr<TCustomImageList> indicatorImages;
std::unique_ptr<TBitmap> autoHideBitmaps[2];
std::unique_ptr<TBitmap> hatchBitmaps[2];
TuiSystemPaletteChangedNotifier* paletteNotifier = nullptr;

// The glyph cache forgets its images when the system colours change.
class TSystemPaletteChangedNotifier : public TuiSystemPaletteChangedNotifier {
 public:
  TSystemPaletteChangedNotifier() : TuiSystemPaletteChangedNotifier(true) {}
  void NotifyPaletteChanged() override {
    if (radioImages) radioImages->Reset();
    TuiSystemPaletteChangedNotifier::NotifyPaletteChanged();
  }
};

// A DIB pixel (0x00RRGGBB) of a colour.
uint32_t DibPixel(TColor AColor) {
  const COLORREF c = ColorToRGB(AColor);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The pixels of a bitmap as 0x00RRGGBB words.
std::vector<uint32_t> ReadPixels(TBitmap* ABitmap) {
  const Integer w = ABitmap->Width(), h = ABitmap->Height();
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  for (Integer y = 0; y < h; ++y) {
    const auto* row = static_cast<const uint32_t*>(ABitmap->ScanLine(y));
    std::copy(row, row + w, pixels.begin() + static_cast<ptrdiff_t>(y) * w);
  }
  return pixels;
}

std::unique_ptr<TBitmap> NewBitmap(Integer AWidth, Integer AHeight, TColor AColor) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(AWidth, AHeight);
  bitmap->Canvas()->Brush()->SetColor(AColor);
  bitmap->Canvas()->FillRect(TRect{0, 0, AWidth, AHeight});
  return bitmap;
}

// Black pixels of a rounded rectangle (0, 0, W, H) with corner ellipse (W - 1, H - 1), outline only or
// filled.
std::vector<uint32_t> RoundShape(Integer W, Integer H, const TRect& R, bool AFilled) {
  auto bitmap = NewBitmap(W, H, clWhite);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(clBlack);
  canvas->Brush()->SetStyle(AFilled ? bsSolid : bsClear);
  canvas->RoundRect(R.left, R.top, R.right, R.bottom, R.right - R.left - 1, R.bottom - R.top - 1);
  return ReadPixels(bitmap.get());
}

}  // namespace

// ---- TuiRadioButtonImageList --------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRadioButtonImageList) {}

TuiRadioButtonImageList::TuiRadioButtonImageList() {
  Measure();
  BuildPattern();
  images_ = std::make_unique<TCustomImageList>(width_, height_);
  mask_ = NewBitmap(width_, height_, clWhite);
  mask_->Canvas()->Pen()->SetColor(clBlack);
  mask_->Canvas()->Brush()->SetColor(clBlack);
  mask_->Canvas()->RoundRect(0, 0, width_, height_, width_ - 1, height_ - 1);
  indexMap_.assign(128, -1);
}

TuiRadioButtonImageList::~TuiRadioButtonImageList() = default;

Integer TuiRadioButtonImageList::Count() const { return images_->Count(); }

void TuiRadioButtonImageList::Measure() {
  // The cell of the system's check-box bitmap gives the glyph's cell.
  const HBITMAP boxes = LoadBitmap(nullptr, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(OBM_CHECKBOXES)));
  BITMAP info{};
  GetObject(boxes, sizeof(info), &info);
  DeleteObject(boxes);
  const Integer cellW = std::max<Integer>(1, info.bmWidth / 4), cellH = std::max<Integer>(1, info.bmHeight / 3);
  TRect cell{0, 0, cellW, cellH};
  // The mask: the columns and rows with black pixels are the glyph's.
  auto mask = NewBitmap(cellW, cellH, clWhite);
  DrawFrameControl(mask->Canvas()->Handle(), &cell, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  const std::vector<uint32_t> maskPixels = ReadPixels(mask.get());
  Integer x0 = -1, x1 = -1, y0 = -1, y1 = -1;
  for (Integer y = 0; y < cellH; ++y)
    for (Integer x = 0; x < cellW; ++x) {
      if ((maskPixels[static_cast<size_t>(y) * cellW + x] & 0xFFFFFF) != 0) continue;
      if (x0 < 0 || x < x0) x0 = x;
      if (x > x1) x1 = x;
      if (y0 < 0) y0 = y;
      y1 = y;
    }
  if (x0 < 0) {  // no glyph at all: the whole cell
    x0 = y0 = 0;
    x1 = cellW - 1;
    y1 = cellH - 1;
  }
  width_ = x1 - x0 + 1;
  height_ = y1 - y0 + 1;
  // The dot of the checked image, found from the middle outwards in the window-text colour.
  auto image = NewBitmap(cellW, cellH, clBlack);
  DrawFrameControl(image->Canvas()->Handle(), &cell, DFC_BUTTON,
                   DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  const std::vector<uint32_t> pixels = ReadPixels(image.get());
  const uint32_t dotColor = DibPixel(clWindowText);
  auto isDot = [&](Integer x, Integer y) {
    return x >= 0 && y >= 0 && x < cellW && y < cellH && (pixels[static_cast<size_t>(y) * cellW + x] & 0xFFFFFF) == dotColor;
  };
  const Integer column = x0 + width_ / 2 - 1, row = y0 + height_ / 2 - 1;
  Integer top = y0 + height_ / 2 - 2;
  while (isDot(column, top - 1)) --top;
  Integer bottom = top;
  while (isDot(column, bottom)) ++bottom;
  Integer left = x0 + width_ / 2 - 2;
  while (isDot(left - 1, row)) --left;
  Integer right = left;
  while (isDot(right, row)) ++right;
  dot_ = TRect{left - x0, top - y0, right - x0, bottom - y0};
}

void TuiRadioButtonImageList::Classify(Integer X, Integer Y) {
  const Integer w = width_, h = height_;
  const Integer lhs = (h - 1) * (w - X - 1), rhs = Y * (w - 1);
  Byte cls;
  if (lhs < rhs)
    cls = 4;
  else if (lhs > rhs)
    cls = 3;
  else
    cls = X > w / 2 ? 4 : 3;
  pattern_[static_cast<size_t>(Y) * w + X] = cls;
}

void TuiRadioButtonImageList::BuildPattern() {
  const Integer w = width_, h = height_;
  pattern_.assign(static_cast<size_t>(w) * h, 0);
  auto at = [&](Integer x, Integer y) -> Byte& { return pattern_[static_cast<size_t>(y) * w + x]; };
  auto isRing = [&](Integer x, Integer y) { return at(x, y) == 1 || at(x, y) == 2; };
  // Outer ring, split by the diagonal from the bottom-left to the top-right corner.
  const std::vector<uint32_t> ring = RoundShape(w, h, TRect{0, 0, w, h}, false);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if ((ring[static_cast<size_t>(y) * w + x] & 0xFFFFFF) == 0)
        at(x, y) = (h - 1) * (w - x - 1) < y * (w - 1) ? 2 : 1;
  // Body: everything inside the ring.
  const Integer middle = w / 2;
  for (Integer y = 1; y <= h - 2; ++y) {
    for (Integer x = middle; x >= 0 && at(x, y) == 0; --x) at(x, y) = 5;
    for (Integer x = middle + 1; x < w && at(x, y) == 0; ++x) at(x, y) = 5;
  }
  // Inner ring: the last cells before the outer ring, scanning from the middle outwards by rows and by
  // columns; the first and last row (column) are inner ring all along.
  auto scan = [&](Integer from, Integer step, Integer limit, bool whole, auto cell) {
    Integer last = -1;
    for (Integer i = from; i != limit; i += step) {
      const auto [x, y] = cell(i);
      if (isRing(x, y)) break;
      if (whole) Classify(x, y);
      last = i;
    }
    if (last >= 0) {
      const auto [x, y] = cell(last);
      Classify(x, y);
    }
  };
  for (Integer y = 1; y <= h - 2; ++y) {
    const bool whole = y == 1 || y == h - 2;
    auto cell = [y](Integer x) { return std::pair<Integer, Integer>{x, y}; };
    scan(middle, -1, -1, whole, cell);
    scan(middle + 1, 1, w, whole, cell);
  }
  const Integer middleRow = h / 2;
  for (Integer x = 1; x <= w - 2; ++x) {
    const bool whole = x == 1 || x == w - 2;
    auto cell = [x](Integer y) { return std::pair<Integer, Integer>{x, y}; };
    scan(middleRow, -1, -1, whole, cell);
    scan(middleRow + 1, 1, h, whole, cell);
  }
  // Dot.
  if (dot_.right > dot_.left && dot_.bottom > dot_.top) {
    const std::vector<uint32_t> dot = RoundShape(w, h, dot_, true);
    for (Integer y = 0; y < h; ++y)
      for (Integer x = 0; x < w; ++x)
        if ((dot[static_cast<size_t>(y) * w + x] & 0xFFFFFF) == 0) at(x, y) = 6;
  }
}

Integer TuiRadioButtonImageList::GetImageIndex(TuiLookAndFeelKind AKind, TuiButtonState AState, bool AChecked,
                                               bool AFocused, bool AIsDesigning) const {
  // Only the normal to disabled states have images; the default state looks normal.
  const Integer state = AState == uibsDefault ? uibsNormal : AState;
  const Integer map = state + AKind * 8 + (AIsDesigning ? 32 : 0) + (AFocused ? 64 : 0) + (AChecked ? 4 : 0) - 1;
  return indexMap_[static_cast<size_t>(map)];
}

void TuiRadioButtonImageList::Prepare() {
  if (images_->Count() > 0) return;
  const TuiLookAndFeelPainterClass office11 = PainterClass<TuiOffice11LookAndFeelPainter>();
  const Integer w = width_, h = height_;
  for (Integer focused = 0; focused <= 1; ++focused)
    for (Integer designing = 0; designing <= 1; ++designing)
      for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
        for (Integer checked = 0; checked <= 1; ++checked)
          for (Integer state = uibsNormal; state <= uibsDisabled; ++state) {
            const auto st = static_cast<TuiButtonState>(state);
            const bool disabled = st == uibsDisabled;
            TColor body;
            if (kind == lfOffice11)
              body = st == uibsNormal ? clWindow : office11->GetButtonFaceColor(st);
            else if (disabled)
              body = clBtnFace;
            else if (kind == lfUltraFlat)
              body = st == uibsHot ? GetUltraFlatHotButtonColor()
                                   : st == uibsPressed ? GetUltraFlatPressedButtonColor() : clWindow;
            else
              body = st == uibsPressed ? clBtnFace : clWindow;
            const bool lit = focused || st == uibsHot || st == uibsPressed || designing;
            TColor ring[4];
            switch (kind) {
              case lfFlat: ring[0] = clBtnShadow; ring[1] = clBtnHighlight; ring[2] = ring[3] = cl3DLight; break;
              case lfStandard:
                ring[0] = clBtnShadow;
                ring[1] = clBtnHighlight;
                ring[2] = cl3DDkShadow;
                ring[3] = cl3DLight;
                break;
              case lfUltraFlat: {
                const TColor frame = lit && !disabled ? clHighlight : clBtnShadow;
                ring[0] = ring[1] = frame;
                ring[2] = ring[3] = body;
                break;
              }
              default: {
                const TColor frame = disabled ? Office11Color(o11DisabledText)
                                     : lit    ? Office11Color(o11SelectionFrame)
                                              : clBtnText;
                ring[0] = ring[1] = frame;
                ring[2] = ring[3] = body;
                break;
              }
            }
            TColor dot = body;
            if (checked) dot = disabled ? (kind == lfOffice11 ? Office11Color(o11DisabledText) : clBtnShadow)
                                        : clWindowText;
            const uint32_t colours[7] = {0,
                                         DibPixel(ring[0]),
                                         DibPixel(ring[1]),
                                         DibPixel(ring[2]),
                                         DibPixel(ring[3]),
                                         DibPixel(body),
                                         DibPixel(dot)};
            auto image = NewBitmap(w, h, clBlack);
            for (Integer y = 0; y < h; ++y) {
              auto* row = static_cast<uint32_t*>(image->ScanLine(y));
              for (Integer x = 0; x < w; ++x) row[x] = colours[PixelClass(x, y)];
            }
            const Integer map = state + kind * 8 + designing * 32 + focused * 64 + checked * 4 - 1;
            indexMap_[static_cast<size_t>(map)] = images_->Add(image.get(), mask_.get());
          }
}

void TuiRadioButtonImageList::Reset() {
  images_->Clear();
  Prepare();
}

void TuiRadioButtonImageList::Draw(TuiCanvas* ACanvas, Integer X, Integer Y, TColor ABackgroundColor,
                                   TuiLookAndFeelKind AKind, TuiButtonState AState, bool AChecked, bool AFocused,
                                   bool AIsDesigning) {
  Prepare();
  const Integer index = GetImageIndex(AKind, AState, AChecked, AFocused, AIsDesigning);
  if (ABackgroundColor == clDefault) {
    images_->Draw(ACanvas->Canvas(), X, Y, index);
    return;
  }
  auto bitmap = NewBitmap(width_, height_, ABackgroundColor);
  images_->Draw(bitmap->Canvas(), 0, 0, index);
  ACanvas->DrawGraphic(X, Y, bitmap.get());
}

TuiRadioButtonImageList* SharedRadioButtonImages() {
  if (!radioImages) {
    radioImages = std::make_unique<TuiRadioButtonImageList>();
    radioImages->Prepare();
  }
  return radioImages.get();
}

// ---- The painters' bitmaps ----------------------------------------------------------------------------

void RefreshScrollBarHatchBitmaps() {
  static const TColor colours[2][2] = {{clBtnHighlight, clBtnFace}, {cl3DDkShadow, clBlack}};
  for (Integer i = 0; i < 2; ++i) {
    if (!hatchBitmaps[i]) hatchBitmaps[i] = NewBitmap(8, 8, clBlack);
    for (Integer y = 0; y < 8; ++y) {
      auto* row = static_cast<uint32_t*>(hatchBitmaps[i]->ScanLine(y));
      for (Integer x = 0; x < 8; ++x) row[x] = DibPixel(colours[i][(x % 2) != (y % 2) ? 0 : 1]);
    }
  }
}

namespace k58::foundation {

TBitmap* ScrollBarHatchBitmap(bool APressed) {
  if (!hatchBitmaps[0]) RefreshScrollBarHatchBitmaps();
  return hatchBitmaps[APressed ? 1 : 0].get();
}

TCustomImageList* IndicatorImages() { return indicatorImages.get(); }

TBitmap* AutoHideBitmap(Integer AIndex) {
  return AIndex >= 0 && AIndex <= 1 ? autoHideBitmaps[AIndex].get() : nullptr;
}

bool RadioButtonImagesCreated() { return radioImages != nullptr; }

void StartPaintersUnit() {
  static const char* const kIndicators[] = {"UI_ARROWBITMAP", "UI_EDITBITMAP", "UI_INSERTBITMAP",
                                            "UI_MULTIDOTBITMAP", "UI_MULTIARROWBITMAP"};
  for (const char* name : kIndicators) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(HInstance, name);
    if (!indicatorImages) indicatorImages = std::make_unique<TCustomImageList>(bitmap.Width(), bitmap.Height());
    indicatorImages->AddMasked(&bitmap, clWhite);
  }
  RefreshScrollBarHatchBitmaps();
  static const char* const kAutoHide[] = {"UI_AUTOHIDEON", "UI_AUTOHIDEOFF"};
  for (Integer i = 0; i < 2; ++i) {
    autoHideBitmaps[i] = std::make_unique<TBitmap>();
    autoHideBitmaps[i]->LoadFromResourceName(HInstance, kAutoHide[i]);
    autoHideBitmaps[i]->SetTransparentColor(clWhite);
    autoHideBitmaps[i]->SetTransparentMode(tmFixed);
    autoHideBitmaps[i]->SetTransparent(true);
  }
  paletteNotifier = new TSystemPaletteChangedNotifier;
}

void StopPaintersUnit() {
  FreeAndNil(paletteNotifier);
  radioImages.reset();
  for (auto& bitmap : autoHideBitmaps) bitmap.reset();
  for (auto& bitmap : hatchBitmaps) bitmap.reset();
  indicatorImages.reset();
}

}  // namespace k58::foundation
