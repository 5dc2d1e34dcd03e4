// Hot-zone styles of a splitter: the seven-pixel strip across the middle of a splitter bar with its arrow,
// dot or chevron marks in the normal, highlighted and pressed looks, and the registry of the four styles.
//
// Threads: GUI thread only.
// Ownership: a style belongs to its splitter (the owner), which it never frees; the registry lives from the
// unit's start to its end.
// Coordinates: DrawZone's bounds are the splitter's client area and begin at (0, 0).
#pragma once

#include "controls/extra/uiExtEditUtils.h"
#include "platform/classes/Persistent.h"

// What a style needs of the splitter that owns it.
class IuiHotZoneStyleOwner {
 public:
  // The splitter's background colour, read at every paint.
  virtual TColor HotZoneOwnerColor() = 0;
  // A setting of the style changed: the splitter repaints.
  virtual void HotZoneStyleChanged() = 0;
  // 0 upright strip, arrow right; 1 upright, arrow left; 2 lying strip, arrow down; 3 lying, arrow up.
  virtual Byte HotZoneDirection() = 0;

 protected:
  ~IuiHotZoneStyleOwner() = default;
};

class TuiHotZoneStyle : public TPersistent {
  K58_CLASS(TuiHotZoneStyle, TPersistent)

  explicit TuiHotZoneStyle(IuiHotZoneStyleOwner* AOwner = nullptr) : owner_(AOwner) {}
  ~TuiHotZoneStyle() override { owner_ = nullptr; }
  void Assign(TPersistent* Source) override;

  IuiHotZoneStyleOwner* Owner() const { return owner_; }
  void SetOwner(IuiHotZoneStyleOwner* AOwner) { owner_ = AOwner; }
  TuiNaturalNumber SizePercent() const { return sizePercent_; }
  void SetSizePercent(TuiNaturalNumber Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  const TRect& ZoneRect() const { return zoneRect_; }

  virtual void Changed();
  virtual Byte GetDirection();
  virtual TRect CalculateZoneRect(const TRect& ABounds);
  virtual Integer GetWidthHint() { return 8; }
  virtual Integer GetHeightHint() { return 8; }
  // Paints the zone into ABounds and answers its rectangle.
  virtual TRect DrawZone(TuiCanvas* ACanvas, const TRect& ABounds, bool AHighlighted, bool APressed);
  virtual void DrawZoneBackground(TuiCanvas*, const TRect&, bool, bool) {}

 protected:
  // The marks over the background (arrows, dots).
  virtual void DrawZoneMarks(TuiCanvas*, bool, bool) {}
  // The owner's colour; a style without an owner draws on the button face.
  TColor OwnerColor();
  // Stores and reports a colour setting that changed.
  void SetColorValue(TColor& AField, TColor AValue);
  // True for the upright strips (directions 0 and 1).
  bool IsUpright() { return GetDirection() <= 1; }

 private:
  IuiHotZoneStyleOwner* owner_;
  TuiNaturalNumber sizePercent_ = 30;
  bool visible_ = true;
  TRect zoneRect_{};
};

class TuiMediaPlayer9Style : public TuiHotZoneStyle {
  K58_CLASS(TuiMediaPlayer9Style, TuiHotZoneStyle)

  explicit TuiMediaPlayer9Style(IuiHotZoneStyleOwner* AOwner = nullptr) : TuiHotZoneStyle(AOwner) {}
  void Assign(TPersistent* Source) override;

  TColor ArrowColor() const { return arrowColor_; }
  void SetArrowColor(TColor Value) { SetColorValue(arrowColor_, Value); }
  TColor ArrowHighlightColor() const { return arrowHighlightColor_; }
  void SetArrowHighlightColor(TColor Value) { SetColorValue(arrowHighlightColor_, Value); }
  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor Value) { SetColorValue(lightColor_, Value); }
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor Value) { SetColorValue(borderColor_, Value); }
  TColor ShadowStartColor() const { return shadowStartColor_; }
  void SetShadowStartColor(TColor Value) { SetColorValue(shadowStartColor_, Value); }
  TColor ShadowHighlightStartColor() const { return shadowHighlightStartColor_; }
  void SetShadowHighlightStartColor(TColor Value) { SetColorValue(shadowHighlightStartColor_, Value); }
  const TRect& ArrowBox() const { return arrowBox_; }

  TRect CalculateZoneRect(const TRect& ABounds) override;
  void DrawZoneBackground(TuiCanvas* ACanvas, const TRect& ARect, bool AHighlighted, bool APressed) override;

 protected:
  void DrawZoneMarks(TuiCanvas* ACanvas, bool AHighlighted, bool APressed) override;

 private:
  TColor arrowColor_ = clWindowText;
  TColor arrowHighlightColor_ = static_cast<TColor>(0xFF0000);
  TColor lightColor_ = clWindow;
  TColor borderColor_ = clBtnShadow;
  TColor shadowStartColor_ = static_cast<TColor>(0xF5E6CD);
  TColor shadowHighlightStartColor_ = static_cast<TColor>(0xAFF5C3);
  TRect arrowBox_{};
};

class TuiMediaPlayer8Style : public TuiHotZoneStyle {
  K58_CLASS(TuiMediaPlayer8Style, TuiHotZoneStyle)

  explicit TuiMediaPlayer8Style(IuiHotZoneStyleOwner* AOwner = nullptr) : TuiHotZoneStyle(AOwner) {}
  void Assign(TPersistent* Source) override;

  TColor ArrowColor() const { return arrowColor_; }
  void SetArrowColor(TColor Value) { SetColorValue(arrowColor_, Value); }
  TColor ArrowHighlightColor() const { return arrowHighlightColor_; }
  void SetArrowHighlightColor(TColor Value) { SetColorValue(arrowHighlightColor_, Value); }
  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor Value) { SetColorValue(lightColor_, Value); }
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor Value) { SetColorValue(shadowColor_, Value); }
  const TRect& ArrowBox() const { return arrowBox_; }
  const TRect& LeadingDotsRect() const { return leadingDotsRect_; }
  const TRect& TrailingDotsRect() const { return trailingDotsRect_; }

  TRect CalculateZoneRect(const TRect& ABounds) override;
  void DrawZoneBackground(TuiCanvas* ACanvas, const TRect& ARect, bool AHighlighted, bool APressed) override;

 protected:
  void DrawZoneMarks(TuiCanvas* ACanvas, bool AHighlighted, bool APressed) override;

 private:
  TColor arrowColor_ = clWindowText;
  TColor arrowHighlightColor_ = clWindow;
  TColor lightColor_ = clWindow;
  TColor shadowColor_ = clBtnShadow;
  TRect arrowBox_{};
  TRect leadingDotsRect_{};
  TRect trailingDotsRect_{};
};

class TuiXPTaskBarStyle : public TuiHotZoneStyle {
  K58_CLASS(TuiXPTaskBarStyle, TuiHotZoneStyle)

  explicit TuiXPTaskBarStyle(IuiHotZoneStyleOwner* AOwner = nullptr) : TuiHotZoneStyle(AOwner) {}
  void Assign(TPersistent* Source) override;

  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor Value) { SetColorValue(lightColor_, Value); }
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor Value) { SetColorValue(shadowColor_, Value); }
  const TRect& LeadingDotsRect() const { return leadingDotsRect_; }
  const TRect& TrailingDotsRect() const { return trailingDotsRect_; }

  TRect CalculateZoneRect(const TRect& ABounds) override;
  void DrawZoneBackground(TuiCanvas* ACanvas, const TRect& ARect, bool AHighlighted, bool APressed) override;

 protected:
  void DrawZoneMarks(TuiCanvas* ACanvas, bool AHighlighted, bool APressed) override;

 private:
  TColor lightColor_ = clWindow;
  TColor shadowColor_ = clBtnShadow;
  TRect leadingDotsRect_{};
  TRect trailingDotsRect_{};
};

class TuiSimpleStyle : public TuiHotZoneStyle {
  K58_CLASS(TuiSimpleStyle, TuiHotZoneStyle)

  explicit TuiSimpleStyle(IuiHotZoneStyleOwner* AOwner = nullptr) : TuiHotZoneStyle(AOwner) {}
  void Assign(TPersistent* Source) override;

  TColor ArrowColor() const { return arrowColor_; }
  void SetArrowColor(TColor Value) { SetColorValue(arrowColor_, Value); }
  TColor ArrowHighlightColor() const { return arrowHighlightColor_; }
  void SetArrowHighlightColor(TColor Value) { SetColorValue(arrowHighlightColor_, Value); }
  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor Value) { SetColorValue(lightColor_, Value); }
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor Value) { SetColorValue(shadowColor_, Value); }
  TColor DotsColor() const { return dotsColor_; }
  void SetDotsColor(TColor Value) { SetColorValue(dotsColor_, Value); }
  TColor DotsShadowColor() const { return dotsShadowColor_; }
  void SetDotsShadowColor(TColor Value) { SetColorValue(dotsShadowColor_, Value); }
  const TRect& LeadingArrowBox() const { return leadingArrowBox_; }
  const TRect& TrailingArrowBox() const { return trailingArrowBox_; }

  TRect CalculateZoneRect(const TRect& ABounds) override;
  void DrawZoneBackground(TuiCanvas* ACanvas, const TRect& ARect, bool AHighlighted, bool APressed) override;

 protected:
  void DrawZoneMarks(TuiCanvas* ACanvas, bool AHighlighted, bool APressed) override;

 private:
  TColor arrowColor_ = clWindowText;
  TColor arrowHighlightColor_ = clWindow;
  TColor lightColor_ = clWindow;
  TColor shadowColor_ = clBtnShadow;
  TColor dotsColor_ = clHighlight;
  TColor dotsShadowColor_ = clWindow;
  TRect leadingArrowBox_{};
  TRect trailingArrowBox_{};
};

// A new style of a registered class for an owner.
TuiHotZoneStyle* CreateHotZoneStyle(TClass AClass, IuiHotZoneStyleOwner* AOwner);
// The style classes under their display names, in the order of registration.
TuiRegisteredClasses* GetHotZoneStyleRegistry();

// The chevron of a zone mark: seven rows tall, pointing in ADirection.
void DrawZoneArrow(TuiCanvas* ACanvas, const TRect& ABox, bool AHighlighted, Byte ADirection,
                   TColor AHighlightColor, TColor AColor, bool APressed);
// A run of raised (or, inverted, sunken) dots along ARect, AAcross pixels in from its edge, one every
// AStep + 2 pixels, from the start forward or from the end backward.
void DrawDotRun(TuiCanvas* ACanvas, const TRect& ARect, bool AInverted, Integer AAcross, Integer AStep,
                Byte ADirection, TColor AShadowColor, TColor ALightColor, bool AFromStart);

namespace k58::extra {
// Unit start registers the four styles; the last end unregisters them and frees the registry.
void StartSplitterUnit();
void StopSplitterUnit();
}  // namespace k58::extra
