// The progress bar: a display-only editor that shows a floating-point position between Min and Max as a
// filled bar (solid, LED blocks, gradient, gradient blocks, tiled or block-wise bitmap), horizontal or
// vertical, with an optional centred text, an overload zone and a peak mark.
//
// Threads: GUI thread only.
// Ownership: the properties own their foreground image; a view info owns its copy of it. The highest
// position shown (the displayed peak) is kept by each bar, not in properties that several bars may share.
// Coordinates: the view data's rectangles are in the control's client coordinates.
#pragma once

#include "controls/editors/uiEdit.h"
#include "controls/extra/uiExtEditUtils.h"

enum TuiProgressBarBevelOuter { uibvNone, uibvLowered, uibvRaised };
K58_ENUM_TYPE(TuiProgressBarBevelOuter, uibvNone, uibvLowered, uibvRaised)
enum TuiProgressBarOrientation { uiorHorizontal, uiorVertical };
K58_ENUM_TYPE(TuiProgressBarOrientation, uiorHorizontal, uiorVertical)
enum TuiProgressBarTextStyle { uitsPercent, uitsPosition };
K58_ENUM_TYPE(TuiProgressBarTextStyle, uitsPercent, uitsPosition)
enum TuiProgressBarBarStyle { uibsSolid, uibsLEDs, uibsGradient, uibsGradientLEDs, uibsBitmap, uibsBitmapLEDs };
K58_ENUM_TYPE(TuiProgressBarBarStyle, uibsSolid, uibsLEDs, uibsGradient, uibsGradientLEDs, uibsBitmap, uibsBitmapLEDs)
using TuiBorderWidth = Word;

class TuiCustomProgressBarViewInfo;

class TuiCustomProgressBarProperties : public TuiCustomEditProperties {
  K58_CLASS(TuiCustomProgressBarProperties, TuiCustomEditProperties)

  TuiCustomProgressBarProperties();
  ~TuiCustomProgressBarProperties() override;
  void Assign(TPersistent* Source) override;

  TColor BeginColor() const { return beginColor_; }
  void SetBeginColor(TColor Value) { SetValue(beginColor_, Value); }
  TuiProgressBarBevelOuter BarBevelOuter() const { return barBevelOuter_; }
  void SetBarBevelOuter(TuiProgressBarBevelOuter Value) { SetValue(barBevelOuter_, Value); }
  TColor EndColor() const { return endColor_; }
  void SetEndColor(TColor Value) { SetValue(endColor_, Value); }
  // Made empty on first read; editing it in place repaints the bar.
  TBitmap* ForegroundImage();
  // Nil frees the image; otherwise the own image copies Value.
  void SetForegroundImage(TBitmap* Value);
  double Min() const { return min_; }
  void SetMin(double Value);
  double Max() const { return max_; }
  void SetMax(double Value);
  TuiProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TuiProgressBarOrientation Value) { SetValue(orientation_, Value); }
  bool ShowText() const { return showText_; }
  void SetShowText(bool Value) { SetValue(showText_, Value); }
  TuiProgressBarTextStyle ShowTextStyle() const { return showTextStyle_; }
  void SetShowTextStyle(TuiProgressBarTextStyle Value) { SetValue(showTextStyle_, Value); }
  TuiProgressBarOrientation TextOrientation() const { return textOrientation_; }
  void SetTextOrientation(TuiProgressBarOrientation Value) { SetValue(textOrientation_, Value); }
  bool SolidTextColor() const { return solidTextColor_; }
  void SetSolidTextColor(bool Value) { SetValue(solidTextColor_, Value); }
  TuiProgressBarBarStyle BarStyle() const { return barStyle_; }
  void SetBarStyle(TuiProgressBarBarStyle Value) { SetValue(barStyle_, Value); }
  bool TransparentImage() const { return transparentImage_; }
  void SetTransparentImage(bool Value) { SetValue(transparentImage_, Value); }
  TuiBorderWidth BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(TuiBorderWidth Value) { SetValue(borderWidth_, Value); }
  double OverloadValue() const { return overloadValue_; }
  void SetOverloadValue(double Value);
  bool ShowOverload() const { return showOverload_; }
  void SetShowOverload(bool Value) { SetValue(showOverload_, Value); }
  TColor OverloadBeginColor() const { return overloadBeginColor_; }
  void SetOverloadBeginColor(TColor Value) { SetValue(overloadBeginColor_, Value); }
  TColor OverloadEndColor() const { return overloadEndColor_; }
  void SetOverloadEndColor(TColor Value) { SetValue(overloadEndColor_, Value); }
  double PeakValue() const { return peakValue_; }
  // Not clamped: the range rules pull it in when Min or Max move.
  void SetPeakValue(double Value) { SetValue(peakValue_, Value); }
  bool ShowPeak() const { return showPeak_; }
  void SetShowPeak(bool Value) { SetValue(showPeak_, Value); }
  TColor PeakColor() const { return peakColor_; }
  void SetPeakColor(TColor Value) { SetValue(peakColor_, Value); }
  TuiNaturalNumber PeakSize() const { return peakSize_; }
  void SetPeakSize(TuiNaturalNumber Value) { SetValue(peakSize_, Value); }

  bool IsMinStored() const { return min_ != 0; }
  bool IsMaxStored() const { return max_ != 100; }
  bool IsOverloadValueStored() const { return overloadValue_ != 80; }
  bool IsPeakValueStored() const { return peakValue_ != 0; }

  // The length of a span of the range, Max - Min, or 1 when the range is empty or reversed.
  double Range() const;
  // Sets the view info's position to Min or Max when it lies outside them (only for Min < Max).
  virtual void ClampViewInfoPosition(TuiCustomProgressBarViewInfo* AViewInfo);

  TClass GetViewDataClass() const override;
  bool AreChangeEventsSeparate() override { return true; }
  bool IsValueChangeTrackedByStore() override { return true; }
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  TuiCustomEditViewData* CreateViewData(TuiEditStyle* AStyle, bool AIsInplace, bool ALockedState) override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  Word GetEditCapabilities() override { return 0x0809; }
  // A number stays as it is; a text that is wholly a number (with a "." decimal point) becomes that
  // number; anything else is 0.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;

 private:
  template <class T>
  void SetValue(T& AField, T AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Changed();
  }
  void ImageChanged(TObject*) { Changed(); }

  TColor beginColor_ = static_cast<TColor>(0x800000);
  TuiProgressBarBevelOuter barBevelOuter_ = uibvNone;
  TColor endColor_ = static_cast<TColor>(0xFFFFFF);
  TObjectPtr<TBitmap> foregroundImage_;
  double min_ = 0;
  double max_ = 100;
  TuiProgressBarOrientation orientation_ = uiorHorizontal;
  bool showText_ = true;
  TuiProgressBarTextStyle showTextStyle_ = uitsPercent;
  TuiProgressBarOrientation textOrientation_ = uiorHorizontal;
  bool solidTextColor_ = false;
  TuiProgressBarBarStyle barStyle_ = uibsSolid;
  bool transparentImage_ = true;
  TuiBorderWidth borderWidth_ = 0;
  double overloadValue_ = 80;
  bool showOverload_ = false;
  TColor overloadBeginColor_ = static_cast<TColor>(0x8080FF);
  TColor overloadEndColor_ = static_cast<TColor>(0xFF00FF);
  double peakValue_ = 0;
  bool showPeak_ = false;
  TColor peakColor_ = static_cast<TColor>(0x0000FF);
  TuiNaturalNumber peakSize_ = 2;
};

class TuiProgressBarProperties : public TuiCustomProgressBarProperties {
  K58_CLASS(TuiProgressBarProperties, TuiCustomProgressBarProperties)
  TuiProgressBarProperties() = default;
};

class TuiCustomProgressBarViewInfo : public TuiCustomEditViewInfo {
  K58_CLASS(TuiCustomProgressBarViewInfo, TuiCustomEditViewInfo)

  TuiCustomProgressBarViewInfo();
  ~TuiCustomProgressBarViewInfo() override;
  void Paint(TuiCanvas* ACanvas) override;
  bool Assign(TuiContainerViewInfo* AViewInfo) override;
  void OffsetRects(Integer DX, Integer DY) override;
  bool NeedShowHint(TuiCanvas*, const TPoint&, String&) override { return false; }
  // The base repaint, and the whole bar when anything it draws changed.
  bool RepaintChanges(TWinControl* AControl, const TRect& AInnerEditRect, TuiContainerViewInfo* AOldViewInfo) override;
  // Composes the bar off screen and copies it to ACanvas in one step.
  virtual void PaintBar(TuiCanvas* ACanvas);
  // The text the bar shows: the position, or the percentage of the range (halves to even, at most 100).
  String GetBarText() const;

  TColor BeginColor = static_cast<TColor>(0x800000);
  TuiProgressBarBevelOuter BarBevelOuter = uibvNone;
  TColor EndColor = static_cast<TColor>(0xFFFFFF);
  double Min = 0, Max = 100, Position = 0;
  TBitmap* ForegroundImage = nullptr;
  TuiProgressBarOrientation Orientation = uiorHorizontal;
  bool ShowText = true;
  TuiProgressBarTextStyle ShowTextStyle = uitsPercent;
  TuiProgressBarOrientation TextOrientation = uiorHorizontal;
  bool SolidTextColor = false;
  TuiProgressBarBarStyle BarStyle = uibsSolid;
  double OverloadValue = 80;
  TColor OverloadBeginColor = static_cast<TColor>(0x8080FF);
  TColor OverloadEndColor = static_cast<TColor>(0xFF00FF);
  bool ShowOverload = false;
  double PeakValue = 0;
  TColor PeakColor = static_cast<TColor>(0x0000FF);
  TuiNaturalNumber PeakSize = 2;
  bool ShowPeak = false;
  bool OverloadActive = false;
  bool PeakShown = false;
  bool Transparent = false;
  double Range = 100;
  TRect PaintRect{}, BarRect{}, OverloadRect{}, PeakRect{};
  TWinControl* Control = nullptr;

 private:
  // True when the two view infos would draw the same bar.
  bool SameBar(const TuiCustomProgressBarViewInfo& AOther) const;
};

class TuiCustomProgressBarViewData : public TuiCustomEditViewData {
  K58_CLASS(TuiCustomProgressBarViewData, TuiCustomEditViewData)

  using TuiCustomEditViewData::TuiCustomEditViewData;

  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  void GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TSize& AConstantPartSize,
                                TSize& AMinContentSize) override;
  virtual void ApplyPropertiesToViewInfo(TuiCustomProgressBarViewInfo* AViewInfo);
  virtual Integer GetDrawTextFlags() { return 0; }

 private:
  TuiCustomProgressBarProperties* BarProperties() const {
    return static_cast<TuiCustomProgressBarProperties*>(Properties);
  }
};

class TuiCustomProgressBar : public TuiCustomEdit {
  K58_CLASS(TuiCustomProgressBar, TuiCustomEdit)

  explicit TuiCustomProgressBar(TComponent* AOwner) : TuiCustomEdit(AOwner) {}

  TuiCustomProgressBarProperties* ActiveBarProperties() {
    return static_cast<TuiCustomProgressBarProperties*>(ActiveProperties());
  }
  TuiCustomProgressBarViewInfo* BarViewInfo() const {
    return static_cast<TuiCustomProgressBarViewInfo*>(EditViewInfo());
  }
  // The highest position shown so far, within the range: where the peak mark stands.
  double DisplayedPeak() const { return displayedPeak_; }
  // Raises the displayed peak to APeak and answers it (the view data's layout keeps it here).
  double KeepDisplayedPeak(double APeak);

  bool TakesFocusOnClick() override { return IsInplace() && TuiCustomEdit::TakesFocusOnClick(); }
  bool CanFocus() override { return IsInplace() && TuiCustomEdit::CanFocus(); }
  bool IsDefaultParentColor() override { return true; }
  TuiContainerStyleValues GetUnusedStyleValues() override;
  void InitEditSizeProperties(TSize& ASizeProperties) override;
  void Initialize() override;
  void PropertiesChanged(TObject* Sender) override;
  void SynchronizeDisplayValue() override;
  TClass GetPropertiesClass() const override;
  virtual void ClampPosition();
  virtual void CheckPosition();

 protected:
  // The position as the view shows it.
  double ViewPosition() const { return BarViewInfo()->Position; }
  void StorePosition(double AValue);

 private:
  double displayedPeak_ = -1.7976931348623157e308;
};

class TuiProgressBar : public TuiCustomProgressBar {
  K58_CLASS(TuiProgressBar, TuiCustomProgressBar)

  explicit TuiProgressBar(TComponent* AOwner) : TuiCustomProgressBar(AOwner) {}

  TuiProgressBarProperties* Properties() const {
    return static_cast<TuiProgressBarProperties*>(TuiCustomProgressBar::Properties());
  }
  void SetProperties(TuiProgressBarProperties* Value) { TuiCustomProgressBar::Properties()->Assign(Value); }
  double Position() const { return ViewPosition(); }
  // Clamped into the range unless the bar is loading; nothing for the current position.
  void SetPosition(double Value);
  bool IsPositionStored() const { return Position() != 0; }
  TClass GetPropertiesClass() const override;
};

namespace k58::extra {
// Unit start registers the bar's properties in the editors' registry; the last end removes them.
void StartProgressBarUnit();
void StopProgressBarUnit();
}  // namespace k58::extra
