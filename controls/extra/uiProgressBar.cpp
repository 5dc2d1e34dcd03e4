// The progress bar: properties and range rules, position clamping, layout and the off-screen painting of
// the six bar styles with text, overload zone and peak mark.
#include "controls/extra/uiProgressBar.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "controls/foundation/uxThemeManager.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Utf.h"

namespace {

Integer progressBarUnitCount = 0;

// Pixel length of a value over a bar length; far-off values stay within a drawable range.
Integer BarLength(double AValue, double AMin, double ARange, Integer ALength) {
  const double length = std::trunc((AValue - AMin) * ALength / ARange);
  return static_cast<Integer>(std::clamp(length, -1.0e9, 1.0e9));
}

// The colour a part of the way from A to B: o of s steps, per channel of the resolved colours.
TColor GradientColor(TColor A, TColor B, Integer o, Integer s) {
  const COLORREF a = ColorToRGB(A), b = ColorToRGB(B);
  if (s < 1) s = 1;
  COLORREF result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const Integer ca = static_cast<Integer>((a >> shift) & 0xFF), cb = static_cast<Integer>((b >> shift) & 0xFF);
    const Integer c = std::clamp<Integer>(static_cast<Integer>(std::trunc(double(o) * (cb - ca) / s + ca)), 0, 255);
    result |= static_cast<COLORREF>(c) << shift;
  }
  return static_cast<TColor>(result);
}

bool IsProgressThemeUsable(TuiLookAndFeel* ALookAndFeel) {
  return ALookAndFeel != nullptr && ALookAndFeel->NativeStyle() && AreThemesUsableFor(ThemedObjectMask(totProgress));
}

// The edge of the bounds of a measuring pass.
constexpr Integer kMeasuringEdge = 2147483647;

}  // namespace

// ---- Properties -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomProgressBarProperties) {}

K58_IMPLEMENT_CLASS(TuiProgressBarProperties) {
  using S = TuiProgressBarProperties;
  b.Prop("BeginColor", &S::BeginColor, &S::SetBeginColor).Type("TColor").Default(8388608);
  b.Prop("BarBevelOuter", &S::BarBevelOuter, &S::SetBarBevelOuter).Default(uibvNone);
  b.Prop("EndColor", &S::EndColor, &S::SetEndColor).Type("TColor").Default(16777215);
  b.Prop("ForegroundImage", &S::ForegroundImage, &S::SetForegroundImage);
  b.Prop("Min", &S::Min, &S::SetMin).Stored(&S::IsMinStored);
  b.Prop("Max", &S::Max, &S::SetMax).Stored(&S::IsMaxStored);
  b.Prop("Orientation", &S::Orientation, &S::SetOrientation).Default(uiorHorizontal);
  b.Prop("ShowText", &S::ShowText, &S::SetShowText).Default(true);
  b.Prop("ShowTextStyle", &S::ShowTextStyle, &S::SetShowTextStyle).Default(uitsPercent);
  b.Prop("TextOrientation", &S::TextOrientation, &S::SetTextOrientation).Default(uiorHorizontal);
  b.Prop("SolidTextColor", &S::SolidTextColor, &S::SetSolidTextColor).Default(false);
  b.Prop("BarStyle", &S::BarStyle, &S::SetBarStyle).Default(uibsSolid);
  b.Prop("TransparentImage", &S::TransparentImage, &S::SetTransparentImage).Default(true);
  b.Prop("BorderWidth", &S::BorderWidth, &S::SetBorderWidth).Default(0);
  b.Prop("OverloadValue", &S::OverloadValue, &S::SetOverloadValue).Stored(&S::IsOverloadValueStored);
  b.Prop("ShowOverload", &S::ShowOverload, &S::SetShowOverload).Default(false);
  b.Prop("OverloadBeginColor", &S::OverloadBeginColor, &S::SetOverloadBeginColor).Type("TColor").Default(8421631);
  b.Prop("OverloadEndColor", &S::OverloadEndColor, &S::SetOverloadEndColor).Type("TColor").Default(16711935);
  b.Prop("PeakValue", &S::PeakValue, &S::SetPeakValue).Stored(&S::IsPeakValueStored);
  b.Prop("ShowPeak", &S::ShowPeak, &S::SetShowPeak).Default(false);
  b.Prop("PeakColor", &S::PeakColor, &S::SetPeakColor).Type("TColor").Default(255);
  b.Prop("PeakSize", &S::PeakSize, &S::SetPeakSize).Default(2);
  b.Prop("Transparent", &S::Transparent, &S::SetTransparent).Stored(false);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
}

TuiCustomProgressBarProperties::TuiCustomProgressBarProperties() = default;
TuiCustomProgressBarProperties::~TuiCustomProgressBarProperties() = default;

void TuiCustomProgressBarProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomProgressBarProperties*>(Source);
  if (source == nullptr) return TuiCustomEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomEditProperties::Assign(Source);
    SetBeginColor(source->BeginColor());
    SetBarBevelOuter(source->BarBevelOuter());
    SetEndColor(source->EndColor());
    SetForegroundImage(source->foregroundImage_.get());
    SetMin(source->Min());
    SetMax(source->Max());
    SetOrientation(source->Orientation());
    SetShowText(source->ShowText());
    SetShowTextStyle(source->ShowTextStyle());
    SetTextOrientation(source->TextOrientation());
    SetSolidTextColor(source->SolidTextColor());
    SetBarStyle(source->BarStyle());
    SetTransparentImage(source->TransparentImage());
    SetBorderWidth(source->BorderWidth());
    SetOverloadValue(source->OverloadValue());
    SetShowOverload(source->ShowOverload());
    SetOverloadBeginColor(source->OverloadBeginColor());
    SetOverloadEndColor(source->OverloadEndColor());
    SetPeakValue(source->PeakValue());
    SetShowPeak(source->ShowPeak());
    SetPeakColor(source->PeakColor());
    SetPeakSize(source->PeakSize());
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

TBitmap* TuiCustomProgressBarProperties::ForegroundImage() {
  if (!foregroundImage_) {
    foregroundImage_.reset(new TBitmap);
    foregroundImage_->SetOnChange([this](TObject* Sender) { ImageChanged(Sender); });
  }
  return foregroundImage_.get();
}

void TuiCustomProgressBarProperties::SetForegroundImage(TBitmap* Value) {
  if (Value == nullptr) {
    foregroundImage_.reset();
  } else if (Value != foregroundImage_.get()) {
    ForegroundImage()->Assign(Value);
  }
  Changed();
}

void TuiCustomProgressBarProperties::SetMin(double Value) {
  if (min_ == Value) return;
  min_ = Value;
  // A new Min above Max drags Max up; overload and peak follow into the range.
  if (max_ < min_) max_ = min_;
  if (overloadValue_ < min_) overloadValue_ = min_;
  if (peakValue_ < min_) peakValue_ = min_;
  Changed();
}

void TuiCustomProgressBarProperties::SetMax(double Value) {
  // A Max at or below Min is ignored.
  if (max_ == Value || Value <= min_) return;
  max_ = Value;
  if (overloadValue_ > max_) overloadValue_ = max_;
  if (peakValue_ > max_) peakValue_ = max_;
  Changed();
}

void TuiCustomProgressBarProperties::SetOverloadValue(double Value) {
  if (overloadValue_ == Value) return;
  overloadValue_ = std::clamp(Value, min_, std::max(min_, max_));
  Changed();
}

double TuiCustomProgressBarProperties::Range() const { return max_ - min_ > 0 ? max_ - min_ : 1; }

void TuiCustomProgressBarProperties::ClampViewInfoPosition(TuiCustomProgressBarViewInfo* AViewInfo) {
  if (AViewInfo == nullptr || min_ >= max_) return;
  AViewInfo->Position = std::clamp(AViewInfo->Position, min_, max_);
}

TClass TuiCustomProgressBarProperties::GetViewDataClass() const { return TuiCustomProgressBarViewData::StaticClass(); }
TClass TuiCustomProgressBarProperties::GetEditClass() const { return TuiProgressBar::StaticClass(); }
TClass TuiCustomProgressBarProperties::GetViewInfoClass() const { return TuiCustomProgressBarViewInfo::StaticClass(); }

TuiCustomEditViewData* TuiCustomProgressBarProperties::CreateViewData(TuiEditStyle* AStyle, bool AIsInplace,
                                                                      bool ALockedState) {
  auto* viewData = new TuiCustomProgressBarViewData(this, AStyle, AIsInplace);
  viewData->ApplyProperties();
  viewData->EmptyDrawValue = ALockedState;
  return viewData;
}

WideString TuiCustomProgressBarProperties::GetDisplayText(const Variant& AEditValue, bool) {
  Variant value;
  PrepareDisplayValue(AEditValue, value, false);
  String text = FloatToStr(value.AsDouble());
  if (showTextStyle_ == uitsPercent) text += " %";
  return k58::rtl::Utf8ToUtf16(text);
}

void TuiCustomProgressBarProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = Variant(Integer{0});
  if (VarIsStr(AEditValue)) {
    // The run-time library's own number syntax: a "." decimal point whatever the locale.
    double number = 0;
    if (TryStrToFloat(VarToStr(AEditValue), number, InvariantFormatSettings())) ADisplayValue = Variant(number);
  } else if (VarIsNumeric(AEditValue) || VarType(AEditValue) == varDate) {
    ADisplayValue = AEditValue;
  }
}

// ---- View info --------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomProgressBarViewInfo) {}

TuiCustomProgressBarViewInfo::TuiCustomProgressBarViewInfo() : ForegroundImage(new TBitmap) {}

TuiCustomProgressBarViewInfo::~TuiCustomProgressBarViewInfo() { FreeObject(ForegroundImage); }

bool TuiCustomProgressBarViewInfo::Assign(TuiContainerViewInfo* AViewInfo) {
  if (auto* source = dynamic_cast<TuiCustomProgressBarViewInfo*>(AViewInfo)) {
    BeginColor = source->BeginColor;
    BarBevelOuter = source->BarBevelOuter;
    EndColor = source->EndColor;
    Min = source->Min;
    Max = source->Max;
    Position = source->Position;
    Orientation = source->Orientation;
    ShowText = source->ShowText;
    ShowTextStyle = source->ShowTextStyle;
    TextOrientation = source->TextOrientation;
    SolidTextColor = source->SolidTextColor;
    BarStyle = source->BarStyle;
    OverloadValue = source->OverloadValue;
    OverloadBeginColor = source->OverloadBeginColor;
    OverloadEndColor = source->OverloadEndColor;
    ShowOverload = source->ShowOverload;
    PeakValue = source->PeakValue;
    PeakColor = source->PeakColor;
    PeakSize = source->PeakSize;
    ShowPeak = source->ShowPeak;
    OverloadActive = source->OverloadActive;
    PeakShown = source->PeakShown;
    Transparent = source->Transparent;
    Range = source->Range;
    PaintRect = source->PaintRect;
    BarRect = source->BarRect;
    OverloadRect = source->OverloadRect;
    PeakRect = source->PeakRect;
    Control = source->Control;
    TextColor = source->TextColor;
  }
  return TuiCustomEditViewInfo::Assign(AViewInfo);
}

bool TuiCustomProgressBarViewInfo::SameBar(const TuiCustomProgressBarViewInfo& o) const {
  return BeginColor == o.BeginColor && BarBevelOuter == o.BarBevelOuter && EndColor == o.EndColor && Min == o.Min &&
         Max == o.Max && Position == o.Position && Orientation == o.Orientation && ShowText == o.ShowText &&
         ShowTextStyle == o.ShowTextStyle && TextOrientation == o.TextOrientation &&
         SolidTextColor == o.SolidTextColor && BarStyle == o.BarStyle && OverloadBeginColor == o.OverloadBeginColor &&
         OverloadEndColor == o.OverloadEndColor && OverloadActive == o.OverloadActive && PeakShown == o.PeakShown &&
         PeakColor == o.PeakColor && Transparent == o.Transparent && EqualRect(&PaintRect, &o.PaintRect) &&
         EqualRect(&BarRect, &o.BarRect) && EqualRect(&OverloadRect, &o.OverloadRect) &&
         EqualRect(&PeakRect, &o.PeakRect) && TextColor == o.TextColor;
}

bool TuiCustomProgressBarViewInfo::RepaintChanges(TWinControl* AControl, const TRect& AInnerEditRect,
                                                  TuiContainerViewInfo* AOldViewInfo) {
  bool result = TuiCustomEditViewInfo::RepaintChanges(AControl, AInnerEditRect, AOldViewInfo);
  auto* old = dynamic_cast<TuiCustomProgressBarViewInfo*>(AOldViewInfo);
  // Anything the bar draws from its own data repaints the whole bar; it is composed in one step anyway.
  if (AControl->HandleAllocated() && (old == nullptr || !SameBar(*old))) {
    TRect r = PaintRect;
    OffsetRect(&r, PaintOffset.x, PaintOffset.y);
    InvalidateRect(AControl->Handle(), &r, FALSE);
    result = true;
  }
  return result;
}

void TuiCustomProgressBarViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiCustomEditViewInfo::OffsetRects(DX, DY);
  for (TRect* r : {&PaintRect, &BarRect, &OverloadRect, &PeakRect}) OffsetRect(r, DX, DY);
}

void TuiCustomProgressBarViewInfo::Paint(TuiCanvas* ACanvas) {
  if (!NativeStyle && !(IsInplace && Transparent)) DrawEditButtons(ACanvas, this, true, 0);
  PaintBar(ACanvas);
}

String TuiCustomProgressBarViewInfo::GetBarText() const {
  if (ShowTextStyle == uitsPosition) return FloatToStr(Position);
  const Int64 percent = std::min<Int64>(Round((Position - Min) / Range * 100), 100);
  return IntToStr(percent) + " %";
}

namespace {

// The painting of one bar into the off-screen bitmap: its canvas, the bar's rectangles in bitmap
// coordinates and the part the text counts as filled.
class TBarPainter {
 public:
  TBarPainter(TuiCustomProgressBarViewInfo& AInfo, TCanvas* ACanvas, Integer AWidth, Integer AHeight)
      : vi_(AInfo), c_(ACanvas), w_(AWidth), h_(AHeight) {}

  void Bevel(TRect R) {
    if (vi_.BarBevelOuter == uibvNone) return;
    const UINT edge = vi_.BarBevelOuter == uibvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
    DrawEdge(c_->Handle(), &R, edge, BF_TOPLEFT);
    DrawEdge(c_->Handle(), &R, edge, BF_BOTTOMRIGHT);
  }
  // With a themed chunk slice every column (row) of R gets a copy of it instead of the colour.
  void Fill(const TRect& R, TColor AColor) {
    if (slice_ != nullptr) return CopySlice(R);
    c_->Pen()->SetColor(AColor);
    c_->Brush()->SetStyle(bsSolid);
    c_->Brush()->SetColor(AColor);
    c_->FillRect(R);
  }
  void Line(Integer X1, Integer Y1, Integer X2, Integer Y2, TColor AColor) {
    c_->Pen()->SetColor(AColor);
    c_->MoveTo(X1, Y1);
    c_->LineTo(X2, Y2);
  }

  // The colour of a column (row) of a gradient bar: the overload colours from the overload zone's leading
  // edge on, over the zone's own length.
  TColor GradientAt(Integer AOffsetInF, Integer APos) {
    if (horizontal_) {
      if (vi_.OverloadActive && APos >= over_.left)
        return GradientColor(vi_.OverloadBeginColor, vi_.OverloadEndColor, APos - over_.left, RectWidth(over_));
      return GradientColor(vi_.BeginColor, vi_.EndColor, AOffsetInF, w_);
    }
    if (vi_.OverloadActive && APos < over_.bottom)
      return GradientColor(vi_.OverloadBeginColor, vi_.OverloadEndColor, over_.bottom - 1 - APos, RectHeight(over_));
    return GradientColor(vi_.BeginColor, vi_.EndColor, AOffsetInF, h_);
  }

  void Solid() {
    if (vi_.OverloadActive) {
      Fill(bar_, vi_.BeginColor);
      Fill(over_, vi_.OverloadBeginColor);
    } else {
      Fill(f_, vi_.BeginColor);
    }
    Bevel(f_);
  }

  void CopySlice(const TRect& R) {
    HDC source = slice_->Canvas()->Handle();
    if (horizontal_)
      for (Integer x = R.left; x < R.right; ++x) BitBlt(c_->Handle(), x, R.top, 1, RectHeight(R), source, 0, 0, SRCCOPY);
    else
      for (Integer y = R.top; y < R.bottom; ++y) BitBlt(c_->Handle(), R.left, y, RectWidth(R), 1, source, 0, 0, SRCCOPY);
  }

  void Gradient() {
    if (slice_ != nullptr) {
      CopySlice(f_);
    } else if (horizontal_) {
      for (Integer x = f_.left; x < f_.right; ++x) Line(x, f_.top, x, f_.bottom, GradientAt(x - f_.left, x));
    } else {
      for (Integer y = f_.bottom - 1; y >= f_.top; --y) Line(f_.left, y, f_.right, y, GradientAt(f_.bottom - y, y));
    }
    Bevel(f_);
  }

  void Leds(bool AGradient) {
    TColor color = vi_.BeginColor;
    const auto block = [&](const TRect& R) {
      Fill(R, color);
      Bevel(R);
    };
    bool overload = false;
    if (horizontal_) {
      const Integer b = AGradient ? 2 * RectHeight(f_) / 3 : 2 * h_ / 3;
      const Integer step = std::max<Integer>(b + 2, 3);
      Integer last = 0;
      for (Integer x = f_.left; x < f_.right; ++x) {
        if ((x - f_.left) % step != 0 || x - step < f_.left) continue;
        if (AGradient) {
          color = GradientAt(x - f_.left, x);
        } else {
          overload = overload || (vi_.OverloadActive && x >= over_.left - 1);
          color = overload ? vi_.OverloadBeginColor : vi_.BeginColor;
        }
        block(TRect{x - step, f_.top, x - 2, f_.bottom});
        last = x;
        Text.right = x - 2;
        if (f_.right - x - 2 < step) block(TRect{x, f_.top, f_.right, f_.bottom});
      }
      if (vi_.Position >= vi_.Max && last > 0) {
        if (AGradient)
          color = GradientAt(last - f_.left, last);
        else if (vi_.OverloadActive)
          color = vi_.OverloadBeginColor;
        block(TRect{last, f_.top, f_.right, f_.bottom});
      }
    } else {
      const Integer b = AGradient ? 2 * RectWidth(f_) / 3 : 2 * w_ / 3;
      const Integer step = std::max<Integer>(b + 2, 3);
      Integer last = f_.bottom;
      bool any = false;
      for (Integer y = f_.bottom - 1; y >= f_.top; --y) {
        if ((f_.bottom - y - 1) % step != 0 || y + step > f_.bottom) continue;
        if (AGradient) {
          color = GradientAt(f_.bottom - y, y);
        } else {
          overload = overload || (vi_.OverloadActive && y < over_.bottom);
          color = overload ? vi_.OverloadBeginColor : vi_.BeginColor;
        }
        block(TRect{f_.left, y + 2, f_.right, y + step});
        last = y;
        any = true;
        Text.top = y + 2;
        if (y - f_.top < step) block(TRect{f_.left, f_.top, f_.right, y});
      }
      if (vi_.Position >= vi_.Max && any) {
        if (AGradient)
          color = GradientAt(f_.bottom - last, last);
        else if (vi_.OverloadActive)
          color = vi_.OverloadBeginColor;
        block(TRect{f_.left, f_.top, f_.right, last});
      }
    }
  }

  void Bitmap(bool ABlocks) {
    TBitmap* image = vi_.ForegroundImage;
    if (image == nullptr || image->Width() < 1 || image->Height() < 1) return;
    TuiCanvas canvas(c_);
    const auto fill = [&](const TRect& R) {
      if (R.left < R.right && R.top < R.bottom) FillPattern(R);
    };
    if (!ABlocks) return fill(f_);
    if (horizontal_) {
      const Integer u = std::max<Integer>(1, std::min(image->Width(), RectHeight(f_)));
      for (Integer x = f_.left; x < f_.right; ++x) {
        if ((x - f_.left) % (u + 2) != 0) continue;
        Text.right = x - 2;
        fill(Text);
        Text.left = x;
        if (f_.right - x - 2 < u) fill(TRect{x, f_.top, f_.right, f_.bottom});
      }
      if (vi_.Position == vi_.Max) {
        Text.right = f_.right;
        fill(Text);
      }
    } else {
      const Integer u = std::max<Integer>(1, std::min(image->Height(), RectWidth(f_)));
      for (Integer y = f_.bottom - 1; y >= f_.top; --y) {
        if ((f_.bottom - y - 1) % (u + 2) != 0) continue;
        Text.top = y + 2;
        fill(Text);
        Text.bottom = y;
        if (y - f_.top < u) fill(TRect{f_.left, f_.top, f_.right, y});
      }
      if (vi_.Position == vi_.Max) {
        Text.top = f_.top;
        fill(Text);
      }
    }
  }

  // Tiles the foreground image over R, aligned to the bitmap's origin.
  void FillPattern(const TRect& R) {
    TBitmap* image = vi_.ForegroundImage;
    const Integer iw = image->Width(), ih = image->Height();
    for (Integer y = R.top - ((R.top % ih) + ih) % ih; y < R.bottom; y += ih)
      for (Integer x = R.left - ((R.left % iw) + iw) % iw; x < R.right; x += iw) {
        const Integer x0 = std::max(x, R.left), y0 = std::max(y, R.top);
        const Integer x1 = std::min(x + iw, R.right), y1 = std::min(y + ih, R.bottom);
        BitBlt(c_->Handle(), x0, y0, x1 - x0, y1 - y0, image->Canvas()->Handle(), x0 - x, y0 - y, SRCCOPY);
      }
  }

  void Draw(const TRect& ABar, const TRect& AOver) {
    horizontal_ = vi_.Orientation == uiorHorizontal;
    bar_ = ABar;
    over_ = AOver;
    if (vi_.OverloadActive)
      f_ = horizontal_ ? TRect{bar_.left, bar_.top, over_.right, over_.bottom}
                       : TRect{over_.left, over_.top, bar_.right, bar_.bottom};
    else
      f_ = bar_;
    Text = f_;
    switch (vi_.BarStyle) {
      case uibsSolid: Solid(); break;
      case uibsGradient: Gradient(); break;
      case uibsLEDs: Leds(false); break;
      case uibsGradientLEDs: Leds(true); break;
      case uibsBitmap: Bitmap(false); break;
      case uibsBitmapLEDs: Bitmap(true); break;
    }
  }

  // How far the bar counts as filled for the text.
  TRect Text{};
  // The themed chunk's one-pixel slice, or nil when the bar draws in colours.
  void SetSlice(TBitmap* ASlice) { slice_ = ASlice; }

 private:
  TuiCustomProgressBarViewInfo& vi_;
  TCanvas* c_;
  TBitmap* slice_ = nullptr;
  Integer w_, h_;
  bool horizontal_ = true;
  TRect bar_{}, over_{}, f_{};
};

// A monochrome-free bitmap of a size, for masks and saved pixels.
TObjectPtr<TBitmap> NewBitmap(Integer AWidth, Integer AHeight) {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  bitmap->SetSize(std::max<Integer>(AWidth, 1), std::max<Integer>(AHeight, 1));
  return bitmap;
}

// Draws AText at (X, Y) on ACanvas with the glyphs over the first AInvertWidth (AInvertHeight) pixels in
// inverted colours: the text goes on a white mask in black, the mask is inverted, the text is drawn
// normally, the pixels under the mask are put back and the mask is combined by exclusive or.
void DrawInvertedText(TCanvas* ACanvas, Integer X, Integer Y, const String& AText, Integer AMaskWidth,
                      Integer AMaskHeight, Integer ATextX, Integer ATextY, Integer AMaskX, Integer AMaskY) {
  if (AMaskWidth <= 0 || AMaskHeight <= 0) {
    ACanvas->TextOut(X, Y, AText);
    return;
  }
  TObjectPtr<TBitmap> mask = NewBitmap(AMaskWidth, AMaskHeight);
  TObjectPtr<TBitmap> saved = NewBitmap(AMaskWidth, AMaskHeight);
  TCanvas* m = mask->Canvas();
  m->Brush()->SetColor(clWhite);
  m->FillRect(TRect{0, 0, AMaskWidth, AMaskHeight});
  m->SetFont(ACanvas->Font());
  m->Font()->SetColor(clBlack);
  m->Brush()->SetStyle(bsClear);
  m->TextOut(ATextX, ATextY, AText);
  BitBlt(saved->Canvas()->Handle(), 0, 0, AMaskWidth, AMaskHeight, ACanvas->Handle(), AMaskX, AMaskY, SRCCOPY);
  BitBlt(m->Handle(), 0, 0, AMaskWidth, AMaskHeight, nullptr, 0, 0, DSTINVERT);
  ACanvas->TextOut(X, Y, AText);
  BitBlt(ACanvas->Handle(), AMaskX, AMaskY, AMaskWidth, AMaskHeight, saved->Canvas()->Handle(), 0, 0, SRCCOPY);
  BitBlt(ACanvas->Handle(), AMaskX, AMaskY, AMaskWidth, AMaskHeight, m->Handle(), 0, 0, SRCINVERT);
}

}  // namespace

void TuiCustomProgressBarViewInfo::PaintBar(TuiCanvas* ACanvas) {
  LOGFONT savedFont{};
  GetCanvasLogFont(ACanvas, savedFont);
  struct TFontRestorer {
    TuiCanvas* Canvas;
    const LOGFONT& Font;
    ~TFontRestorer() { SetCanvasFontFromLogFont(Canvas, Font); }
  } restorer{ACanvas, savedFont};

  const Integer W = RectWidth(PaintRect), H = RectHeight(PaintRect);
  if (W <= 0 || H <= 0) return;
  const Integer M = NativeStyle || IsInplace ? 0 : 2;
  // The bitmap's (M, M) is PaintRect's top-left, whatever the border's width.
  const Integer dx = M - PaintRect.left, dy = M - PaintRect.top;
  TRect bar = BarRect, over = OverloadRect, peak = PeakRect;
  for (TRect* r : {&bar, &over, &peak}) OffsetRect(r, dx, dy);

  TObjectPtr<TBitmap> composed = NewBitmap(W + M, H + M);
  TCanvas* b = composed->Canvas();
  if (Transparent && IsInplace) {
    BitBlt(b->Handle(), 0, 0, W, H, ACanvas->GetDCHandle(), PaintRect.left, PaintRect.top, SRCCOPY);
  } else if (Transparent && Control != nullptr) {
    TuiCanvas target(b);
    PaintParentImage(Control, &target, TRect{0, 0, W + M, H + M});
  } else {
    b->Brush()->SetColor(BackgroundColor);
    b->FillRect(TRect{0, 0, W + M, H + M});
  }

  TBarPainter painter(*this, b, W, H);
  TObjectPtr<TBitmap> slice;
  if (NativeStyle) {
    // The themed bar fills in copies of a one-pixel slice of the themed chunk, in the gradient styles'
    // way.
    if (BarStyle == uibsSolid) BarStyle = uibsGradient;
    if (BarStyle == uibsLEDs) BarStyle = uibsGradientLEDs;
    if (HTHEME theme = OpenThemeObject(totProgress)) {
      const bool horizontal = Orientation == uiorHorizontal;
      if (!IsInplace && !Transparent) {
        const RECT r{M, M, M + W, M + H};
        DrawThemeBackground(theme, b->Handle(), horizontal ? 1 : 2, 1, r);
      }
      const Integer cw = horizontal ? 1 : RectWidth(bar), ch = horizontal ? RectHeight(bar) : 1;
      slice = NewBitmap(cw, ch);
      const RECT chunk = horizontal ? RECT{-4, 0, cw, ch} : RECT{0, -4, cw, ch};
      DrawThemeBackground(theme, slice->Canvas()->Handle(), horizontal ? 3 : 4, 1, chunk, RECT{0, 0, cw, ch});
      painter.SetSlice(slice.get());
    }
  }
  painter.Draw(bar, over);
  const TRect text = painter.Text;

  if (PeakShown) {
    b->Brush()->SetStyle(bsSolid);
    b->Brush()->SetColor(PeakColor);
    b->FillRect(peak);
  }

  if (ShowText) {
    const String caption = GetBarText();
    if (Font != nullptr) b->SetFont(Font);
    b->Font()->SetColor(TextColor);
    b->Brush()->SetStyle(bsClear);
    const Integer tw = b->TextWidth(caption), th = b->TextHeight(caption);
    if (TextOrientation == uiorHorizontal) {
      const Integer x = (W - tw) / 2 + M, y = (H - th) / 2 + M;
      if (x >= text.right || SolidTextColor)
        b->TextOut(x, y, caption);
      else
        DrawInvertedText(b, x, y, caption, std::min(text.right - x, tw), th, 0, 0, x, y);
    } else {
      // Reading downward in a rotated copy of the font.
      TFont* font = b->Font();
      TEXTMETRIC metrics{};
      GetTextMetrics(b->Handle(), &metrics);
      if ((metrics.tmPitchAndFamily & TMPF_TRUETYPE) == 0) font->SetName("Arial");
      font->SetOrientation(2700);
      const Integer x = (W - th) / 2 + th + M, y = (H - tw) / 2 + M;
      if (y + tw <= text.top || SolidTextColor) {
        b->TextOut(x, y, caption);
      } else {
        const Integer origin = text.top < y ? y : text.top;
        const Integer height = std::min(tw, y + tw - origin);
        DrawInvertedText(b, x, y, caption, th, height, th, text.top < y ? 0 : y - text.top, x - th, origin);
      }
      font->SetOrientation(0);
    }
  }

  BitBlt(ACanvas->GetDCHandle(), PaintRect.left, PaintRect.top, W, H, b->Handle(), M, M, SRCCOPY);
}

// ---- View data ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomProgressBarViewData) {}

void TuiCustomProgressBarViewData::ApplyPropertiesToViewInfo(TuiCustomProgressBarViewInfo* AViewInfo) {
  TuiCustomProgressBarProperties* p = BarProperties();
  TuiCustomProgressBarViewInfo& vi = *AViewInfo;
  vi.BeginColor = p->BeginColor();
  vi.BarBevelOuter = p->BarBevelOuter();
  vi.EndColor = p->EndColor();
  vi.Min = p->Min();
  vi.Max = p->Max();
  vi.Range = p->Range();
  vi.Orientation = p->Orientation();
  vi.ShowText = p->ShowText();
  vi.ShowTextStyle = p->ShowTextStyle();
  vi.TextOrientation = p->TextOrientation();
  vi.SolidTextColor = p->SolidTextColor();
  vi.BarStyle = p->BarStyle();
  vi.OverloadValue = p->OverloadValue();
  vi.OverloadBeginColor = p->OverloadBeginColor();
  vi.OverloadEndColor = p->OverloadEndColor();
  vi.ShowOverload = p->ShowOverload();
  vi.PeakColor = p->PeakColor();
  vi.PeakSize = std::max<TuiNaturalNumber>(p->PeakSize(), 1);
  vi.ShowPeak = p->ShowPeak();
  // The displayed peak: the stored peak within the range, raised to the position and to the highest
  // position this bar has shown.
  double peak = std::clamp(p->PeakValue(), p->Min(), std::max(p->Min(), p->Max()));
  peak = std::max(peak, vi.Position);
  if (auto* bar = dynamic_cast<TuiCustomProgressBar*>(Edit)) peak = bar->KeepDisplayedPeak(peak);
  vi.PeakValue = std::min(peak, std::max(p->Min(), p->Max()));
  vi.Control = Edit;
  vi.Transparent = IsInplace ? false : (Edit != nullptr && Edit->Transparent());
  // The bar's BorderWidth is the gap between the frame and the bar, read by the layout from the
  // properties; the view info's border width stays the frame's, which the frame painting extends by.
}

void TuiCustomProgressBarViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                             TShiftState AShift, TuiCustomEditViewInfo* AViewInfo,
                                             bool AIsMouseEvent) {
  TuiCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TuiCustomProgressBarViewInfo*>(AViewInfo);
  if (vi == nullptr || ABounds.right == kMeasuringEdge || ABounds.bottom == kMeasuringEdge) return;
  TuiCustomProgressBarProperties* p = BarProperties();
  ApplyPropertiesToViewInfo(vi);

  const Integer bw = p->BorderWidth();
  const bool themed = IsProgressThemeUsable(style_->LookAndFeel());
  TRect a;
  if (themed) {
    vi->PaintRect = ABounds;
    a = ABounds;
    if (IsInplace)
      ExtendRect(a, bw + 2, bw + 2, -(bw + 2), -(bw + 2));
    else
      ExtendRect(a, bw + 3, bw + 3, -(bw + 2), -(bw + 2));
  } else {
    vi->PaintRect = IsInplace ? ABounds : vi->BorderRect;
    a = vi->BorderRect;
    ExtendRect(a, bw, bw, -bw, -bw);
  }
  vi->NativeStyle = themed;

  const bool horizontal = vi->Orientation == uiorHorizontal;
  const Integer length = horizontal ? RectWidth(a) : RectHeight(a);
  const auto pixels = [&](double v) { return BarLength(v, vi->Min, vi->Range, length); };
  vi->BarRect = a;
  if (horizontal)
    vi->BarRect.right = a.left + pixels(vi->Position);
  else
    vi->BarRect.top = a.bottom - pixels(vi->Position);

  vi->OverloadActive = vi->ShowOverload && !themed && vi->Position >= vi->OverloadValue;
  if (vi->OverloadActive) {
    vi->OverloadRect = vi->BarRect;
    if (horizontal) {
      vi->OverloadRect.left = a.left + pixels(vi->OverloadValue);
      vi->OverloadRect.right = std::min(vi->OverloadRect.right, a.right);
      vi->BarRect.right = vi->OverloadRect.left;
    } else {
      vi->OverloadRect.top = a.bottom - pixels(vi->Position);
      vi->OverloadRect.bottom = std::max(a.bottom - pixels(vi->OverloadValue), a.top);
      vi->BarRect.top = vi->OverloadRect.bottom;
    }
  } else {
    vi->OverloadRect = TRect{};
  }

  vi->PeakShown = vi->ShowPeak;
  vi->PeakRect = vi->BarRect;
  if (horizontal) {
    Integer left = a.left + pixels(vi->PeakValue);
    if (a.right < left + vi->PeakSize) left = a.right - vi->PeakSize;
    vi->PeakRect.left = left;
    vi->PeakRect.right = left + vi->PeakSize;
  } else {
    Integer bottom = a.bottom - pixels(vi->PeakValue);
    if (bottom - vi->PeakSize < a.top) bottom = a.top + vi->PeakSize;
    vi->PeakRect.bottom = bottom;
    vi->PeakRect.top = bottom - vi->PeakSize;
  }

  TBitmap* image = p->ForegroundImage();
  vi->ForegroundImage->Assign(image);
  if (p->TransparentImage() && !image->Empty() && image->Width() > 0 && image->Height() > 0) {
    TObjectPtr<TBitmap> flattened = NewBitmap(image->Width(), image->Height());
    flattened->Canvas()->Brush()->SetColor(vi->BackgroundColor);
    flattened->Canvas()->FillRect(TRect{0, 0, image->Width(), image->Height()});
    vi->ForegroundImage->SetTransparent(true);
    flattened->Canvas()->Draw(0, 0, vi->ForegroundImage);
    vi->ForegroundImage->Assign(flattened.get());
  }
}

void TuiCustomProgressBarViewData::EditValueToDrawValue(TuiCanvas*, const Variant& AEditValue,
                                                        TuiCustomEditViewInfo* AViewInfo) {
  auto* vi = dynamic_cast<TuiCustomProgressBarViewInfo*>(AViewInfo);
  if (vi == nullptr) return;
  Variant value;
  Properties->PrepareDisplayValue(AEditValue, value, false);
  vi->Position = value.AsDouble();
  BarProperties()->ClampViewInfoPosition(vi);
}

void TuiCustomProgressBarViewData::GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo,
                                                            TSize& AConstantPartSize, TSize& AMinContentSize) {
  TuiCustomEditViewData::GetButtonsSizeCorrection(ACanvas, AViewInfo, AConstantPartSize, AMinContentSize);
  auto* vi = dynamic_cast<TuiCustomProgressBarViewInfo*>(AViewInfo);
  Integer barWidth = vi != nullptr ? RectWidth(vi->BarRect) : 0;
  if (!IsInplace && !NativeStyleUsed) barWidth += 4;
  ACanvas->SetCanvasFont(AViewInfo->Font != nullptr ? AViewInfo->Font : ACanvas->GetCanvasFont());
  AMinContentSize.cx += barWidth + 3;
  AMinContentSize.cy += ACanvas->MeasureTextHeight("Wg");
}

// ---- Control ------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomProgressBar) {}

K58_IMPLEMENT_CLASS(TuiProgressBar) {
  using S = TuiProgressBar;
  b.Prop("Position", &S::Position, &S::SetPosition).Stored(&S::IsPositionStored);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

double TuiCustomProgressBar::KeepDisplayedPeak(double APeak) {
  displayedPeak_ = std::max(displayedPeak_, APeak);
  return displayedPeak_;
}

TuiContainerStyleValues TuiCustomProgressBar::GetUnusedStyleValues() {
  TuiContainerStyleValues values = TuiCustomEdit::GetUnusedStyleValues();
  values.Include(csvHotTrack);
  return values;
}

void TuiCustomProgressBar::InitEditSizeProperties(TSize& ASizeProperties) {
  ASizeProperties = TSize{RectWidth(EditViewInfo()->ClientRect), 1};
}

void TuiCustomProgressBar::Initialize() {
  TuiCustomEdit::Initialize();
  TControlStyle style = ControlStyle();
  for (TControlStyleItem item : {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks}) style.Exclude(item);
  SetControlStyle(style);
  SetWidth(121);
  SetHeight(21);
}

void TuiCustomProgressBar::PropertiesChanged(TObject* Sender) {
  CheckPosition();
  if (ActiveProperties() != nullptr) ActiveBarProperties()->ClampViewInfoPosition(BarViewInfo());
  TuiCustomEdit::PropertiesChanged(Sender);
  if (ActiveProperties() != nullptr && ActiveProperties()->Transparent() && HandleAllocated()) Invalidate();
}

void TuiCustomProgressBar::SynchronizeDisplayValue() {
  Variant value;
  ActiveProperties()->PrepareDisplayValue(EditValue(), value, IsFocused());
  BarViewInfo()->Position = value.AsDouble();
  if (ActiveProperties()->Transparent() && HandleAllocated()) Invalidate();
  ActiveBarProperties()->ClampViewInfoPosition(BarViewInfo());
  UpdateAtCursorPos(false);
}

TClass TuiCustomProgressBar::GetPropertiesClass() const { return TuiCustomProgressBarProperties::StaticClass(); }

void TuiCustomProgressBar::CheckPosition() {
  if (IsInplace() || IsDataBound()) return;
  ClampPosition();
}

void TuiCustomProgressBar::ClampPosition() {
  TuiCustomProgressBarProperties* p = ActiveBarProperties();
  if (p == nullptr || p->Min() >= p->Max()) return;
  Variant value;
  p->PrepareDisplayValue(EditValue(), value, false);
  const double v = value.AsDouble();
  if (v < p->Min())
    StoreEditValue(Variant(p->Min()), false);
  else if (v > p->Max())
    StoreEditValue(Variant(p->Max()), false);
}

void TuiCustomProgressBar::StorePosition(double AValue) { SetEditValue(Variant(AValue)); }

void TuiProgressBar::SetPosition(double Value) {
  if (Value == Position()) return;
  TuiCustomProgressBarProperties* p = ActiveBarProperties();
  // While loading, Min and Max may not be read yet: the later properties change clamps.
  if (!IsComponentLoading(this) && p->Min() < p->Max()) Value = std::clamp(Value, p->Min(), p->Max());
  StorePosition(Value);
}

TClass TuiProgressBar::GetPropertiesClass() const { return TuiProgressBarProperties::StaticClass(); }

namespace k58::extra {

void StartProgressBarUnit() {
  if (progressBarUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiProgressBarProperties::StaticClass(), "ProgressBar|Represents a ProgressBar");
}

void StopProgressBarUnit() {
  if (progressBarUnitCount == 0 || --progressBarUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiProgressBarProperties::StaticClass());
}

}  // namespace k58::extra
