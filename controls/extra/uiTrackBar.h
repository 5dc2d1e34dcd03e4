// The track bar: an integer editor with a thumb sliding along a track between Min and Max, tick marks or
// numbers on either side, an optional selection range, horizontal or vertical, driven by the mouse and
// the cursor keys.
//
// Threads: GUI thread only.
// Ownership: the properties own nothing but their settings; the view info owns its off-screen bitmap and
// look-and-feel copy.
// Coordinates: the layout works in the editor's bounds; the thumb's hit rectangle the properties keep is
// in control coordinates.
#pragma once

#include "controls/editors/uiEdit.h"
#include "controls/extra/uiExtEditUtils.h"

enum TuiTrackBarOrientation { tboHorizontal, tboVertical };
K58_ENUM_TYPE(TuiTrackBarOrientation, tboHorizontal, tboVertical)
enum TuiTrackBarTextOrientation { tbtoHorizontal, tbtoVertical };
K58_ENUM_TYPE(TuiTrackBarTextOrientation, tbtoHorizontal, tbtoVertical)
enum TuiTrackBarTickMarks { uitmBoth, uitmTopLeft, uitmBottomRight };
K58_ENUM_TYPE(TuiTrackBarTickMarks, uitmBoth, uitmTopLeft, uitmBottomRight)
enum TuiTrackBarTickType { tbttTicks, tbttNumbers, tbttValueNumber };
K58_ENUM_TYPE(TuiTrackBarTickType, tbttTicks, tbttNumbers, tbttValueNumber)
enum TuiTrackBarThumbType { uittNone, uittRegular, uittCustom };
K58_ENUM_TYPE(TuiTrackBarThumbType, uittNone, uittRegular, uittCustom)
enum TuiTrackBarThumbStep { uitsNormal, uitsJump };
K58_ENUM_TYPE(TuiTrackBarThumbStep, uitsNormal, uitsJump)

K58_EVENT_TYPE(TuiDrawThumbEvent, void(TObject* Sender, TuiCanvas* ACanvas, const TRect& ARect))
K58_EVENT_TYPE(TuiGetThumbRectEvent, void(TObject* Sender, TRect& ARect))

// Thumb states (the visual-style state numbers).
inline constexpr Byte tbsNormal = 1, tbsHot = 2, tbsPressed = 3, tbsDisabled = 5;
// Bits of the view info's mouse state.
inline constexpr Byte tbmsInside = 1, tbmsThumbHot = 2, tbmsDragging = 4;

class TuiCustomTrackBarProperties : public TuiCustomEditProperties {
  K58_CLASS(TuiCustomTrackBarProperties, TuiCustomEditProperties)

  TuiCustomTrackBarProperties() = default;
  void Assign(TPersistent* Source) override;

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value) { SetValue(autoSize_, Value); }
  Integer BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(Integer Value) { SetValue(borderWidth_, std::max<Integer>(Value, 0)); }
  Integer Frequency() const { return frequency_; }
  void SetFrequency(Integer Value) { SetValue(frequency_, std::max<Integer>(Value, 0)); }
  Integer Min() const { return min_; }
  void SetMin(Integer Value);
  Integer Max() const { return max_; }
  void SetMax(Integer Value);
  TuiTrackBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TuiTrackBarOrientation Value) { SetValue(orientation_, Value); }
  TuiTrackBarTextOrientation TextOrientation() const { return textOrientation_; }
  void SetTextOrientation(TuiTrackBarTextOrientation Value) { SetValue(textOrientation_, Value); }
  TuiNaturalNumber PageSize() const { return pageSize_; }
  void SetPageSize(TuiNaturalNumber Value) { SetValue(pageSize_, Value); }
  Integer SelectionStart() const { return selectionStart_; }
  void SetSelectionStart(Integer Value) { SetValue(selectionStart_, Value); }
  Integer SelectionEnd() const { return selectionEnd_; }
  void SetSelectionEnd(Integer Value) { SetValue(selectionEnd_, Value); }
  TColor SelectionColor() const { return selectionColor_; }
  void SetSelectionColor(TColor Value) { SetValue(selectionColor_, Value); }
  bool ShowTicks() const { return showTicks_; }
  void SetShowTicks(bool Value) { SetValue(showTicks_, Value); }
  TuiTrackBarThumbType ThumbType() const { return thumbType_; }
  void SetThumbType(TuiTrackBarThumbType Value) { SetValue(thumbType_, Value); }
  bool ShowTrack() const { return showTrack_; }
  void SetShowTrack(bool Value) { SetValue(showTrack_, Value); }
  TColor TickColor() const { return tickColor_; }
  void SetTickColor(TColor Value) { SetValue(tickColor_, Value); }
  TuiTrackBarTickType TickType() const { return tickType_; }
  void SetTickType(TuiTrackBarTickType Value) { SetValue(tickType_, Value); }
  TuiTrackBarTickMarks TickMarks() const { return tickMarks_; }
  void SetTickMarks(TuiTrackBarTickMarks Value) { SetValue(tickMarks_, Value); }
  TuiNaturalNumber TickSize() const { return tickSize_; }
  void SetTickSize(TuiNaturalNumber Value) { SetValue(tickSize_, Value); }
  TColor TrackColor() const { return trackColor_; }
  void SetTrackColor(TColor Value) { SetValue(trackColor_, Value); }
  Integer TrackSize() const { return trackSize_; }
  void SetTrackSize(Integer Value) { SetValue(trackSize_, Value); }
  Integer ThumbHeight() const { return thumbHeight_; }
  void SetThumbHeight(Integer Value) { SetValue(thumbHeight_, Value); }
  Integer ThumbWidth() const { return thumbWidth_; }
  void SetThumbWidth(Integer Value) { SetValue(thumbWidth_, Value); }
  TColor ThumbColor() const { return thumbColor_; }
  void SetThumbColor(TColor Value) { SetValue(thumbColor_, Value); }
  TColor ThumbHighlightColor() const { return thumbHighlightColor_; }
  void SetThumbHighlightColor(TColor Value) { SetValue(thumbHighlightColor_, Value); }
  TuiTrackBarThumbStep ThumbStep() const { return thumbStep_; }
  // Stored without a change notification: only the mouse reads it.
  void SetThumbStep(TuiTrackBarThumbStep Value) { thumbStep_ = Value; }
  const TuiGetThumbRectEvent& OnGetThumbRect() const { return onGetThumbRect_; }
  void SetOnGetThumbRect(const TuiGetThumbRectEvent& Value) { onGetThumbRect_ = Value; }
  const TuiDrawThumbEvent& OnDrawThumb() const { return onDrawThumb_; }
  void SetOnDrawThumb(const TuiDrawThumbEvent& Value) { onDrawThumb_ = Value; }

  // Kept by the layout for the mouse: the track, the thumb's hit rectangle and the pixels per unit.
  TRect TrackRect{};
  TRect ThumbHitRect{};
  double PixelsPerUnit = 0;

  Integer ClampValue(Int64 AValue) const;
  // Null, Empty and other kinds give Min; an ordinal converts; an integer text gives its value.
  Integer EditValueToPosition(const Variant& AValue) const;

  TClass GetViewDataClass() const override;
  bool AreChangeEventsSeparate() override { return false; }
  bool IsValueChangeTrackedByStore() override { return true; }
  TClass GetEditClass() const override;
  TClass GetStyleClass() const override;
  TClass GetViewInfoClass() const override;
  TuiCustomEditViewData* CreateViewData(TuiEditStyle* AStyle, bool AIsInplace, bool ALockedState) override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  Word GetEditCapabilities() override { return 0x280D; }
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;

 private:
  template <class T>
  void SetValue(T& AField, T AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Changed();
  }

  bool autoSize_ = true;
  Integer borderWidth_ = 0;
  Integer frequency_ = 1;
  Integer min_ = 0;
  Integer max_ = 10;
  TuiTrackBarOrientation orientation_ = tboHorizontal;
  TuiTrackBarTextOrientation textOrientation_ = tbtoHorizontal;
  TuiNaturalNumber pageSize_ = 1;
  Integer selectionStart_ = 0;
  Integer selectionEnd_ = 0;
  TColor selectionColor_ = clHighlight;
  bool showTicks_ = true;
  TuiTrackBarThumbType thumbType_ = uittRegular;
  bool showTrack_ = true;
  TColor tickColor_ = clWindowText;
  TuiTrackBarTickType tickType_ = tbttTicks;
  TuiTrackBarTickMarks tickMarks_ = uitmBottomRight;
  TuiNaturalNumber tickSize_ = 3;
  TColor trackColor_ = clWindow;
  Integer trackSize_ = 5;
  Integer thumbHeight_ = 12;
  Integer thumbWidth_ = 7;
  TColor thumbColor_ = clBtnFace;
  TColor thumbHighlightColor_ = static_cast<TColor>(0xC0C0C0);
  TuiTrackBarThumbStep thumbStep_ = uitsNormal;
  TuiGetThumbRectEvent onGetThumbRect_;
  TuiDrawThumbEvent onDrawThumb_;
};

class TuiTrackBarProperties : public TuiCustomTrackBarProperties {
  K58_CLASS(TuiTrackBarProperties, TuiCustomTrackBarProperties)
  TuiTrackBarProperties() = default;
};

// No border and no hot tracking by default.
class TuiTrackBarStyle : public TuiEditStyle {
  K58_CLASS(TuiTrackBarStyle, TuiEditStyle)
  using TuiEditStyle::TuiEditStyle;
  TuiContainerBorderStyle GetDefaultBorderStyle() const override;
  bool GetDefaultHotTrack() const override { return false; }
};

class TuiCustomTrackBarViewInfo : public TuiCustomEditViewInfo {
  K58_CLASS(TuiCustomTrackBarViewInfo, TuiCustomEditViewInfo)

  TuiCustomTrackBarViewInfo();
  ~TuiCustomTrackBarViewInfo() override;
  void Paint(TuiCanvas* ACanvas) override;
  bool Assign(TuiContainerViewInfo* AViewInfo) override;
  void OffsetRects(Integer DX, Integer DY) override;
  bool HasHotButton() const override { return true; }
  bool IsHotTrackPoint(const TPoint&) const override { return true; }
  bool NeedShowHint(TuiCanvas*, const TPoint&, String&) override { return false; }
  bool RepaintChanges(TWinControl* AControl, const TRect& AInnerEditRect, TuiContainerViewInfo* AOldViewInfo) override;

  virtual void DrawTrack(TuiCanvas* ACanvas);
  virtual void DrawSelection(TuiCanvas* ACanvas);
  virtual void DrawTicks(TuiCanvas* ACanvas);
  virtual void DrawThumb(TuiCanvas* ACanvas);
  virtual TRect GetThumbHitRect();
  virtual Integer GetThumbThemePart();
  virtual void DrawContent(TuiCanvas* ACanvas);

  // The tick positions along the track, one per pixel at most: Min and Max always, and the multiples of
  // Frequency between them.
  std::vector<std::pair<Int64, Integer>> TickPositions() const;

  TObjectPtr<TuiLookAndFeel> LookAndFeel;
  Integer Position = 0;
  Integer SelectionStart = 0, SelectionEnd = 0;
  bool HasSelection = false;
  Integer ThumbHeight = 12, ThumbWidth = 7;
  Byte ThumbState = tbsNormal;
  Integer TrackSize = 5;
  TRect ClientArea{};
  TRect ContentArea{};
  TRect TrackArea{};
  TRect TrackRect{}, ThumbRect{}, SelectionRect{};
  Integer EndMargin = 7;
  TWinControl* Control = nullptr;
  Byte MouseState = 0;
  bool PointedThumb = true;
  Integer ThumbAlong = 0, ThumbAcross = 0;
  TColor TickColor = clWindowText;
  double PixelsPerUnit = 0;
  Integer BorderWidthValue = 0;
  // Copies of the settings the painting reads.
  TuiCustomTrackBarProperties* BarProperties = nullptr;
  bool Themed = false;

 private:
  TObjectPtr<TBitmap> bitmap_;
};

class TuiCustomTrackBarViewData : public TuiCustomEditViewData {
  K58_CLASS(TuiCustomTrackBarViewData, TuiCustomEditViewData)

  using TuiCustomEditViewData::TuiCustomEditViewData;

  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  void GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TSize& AConstantPartSize,
                                TSize& AMinContentSize) override;

  virtual void CalculateLayout(TuiCanvas* ACanvas, TuiCustomTrackBarViewInfo* AViewInfo);
  virtual Integer GetTickSpace(TuiCanvas* ACanvas, TuiCustomTrackBarViewInfo* AViewInfo, bool ASideTopLeft);
  virtual void ApplyPropertiesToViewInfo(TuiCustomTrackBarViewInfo* AViewInfo);
  virtual void CalculateContentArea(TuiCustomTrackBarViewInfo* AViewInfo);
  virtual void CalculateTrackArea(TuiCanvas* ACanvas, TuiCustomTrackBarViewInfo* AViewInfo);
  virtual void CalculateTrackRect(TuiCustomTrackBarViewInfo* AViewInfo);
  virtual void CalculateScale(TuiCustomTrackBarViewInfo* AViewInfo);
  virtual void CalculateThumbRect(TuiCustomTrackBarViewInfo* AViewInfo);
  virtual void CalculateSelectionRect(TuiCustomTrackBarViewInfo* AViewInfo);

 private:
  TuiCustomTrackBarProperties* BarProperties() const { return static_cast<TuiCustomTrackBarProperties*>(Properties); }
  // The custom thumb's rectangle when one is asked for and a handler gives it.
  bool CustomThumbRect(TRect& R) const;
};

class TuiCustomTrackBar : public TuiCustomEdit {
  K58_CLASS(TuiCustomTrackBar, TuiCustomEdit)

  explicit TuiCustomTrackBar(TComponent* AOwner);

  TuiCustomTrackBarProperties* ActiveBarProperties() {
    return static_cast<TuiCustomTrackBarProperties*>(ActiveProperties());
  }
  TuiCustomTrackBarViewInfo* BarViewInfo() const { return static_cast<TuiCustomTrackBarViewInfo*>(EditViewInfo()); }
  Integer CurrentPosition();
  bool SelectionMode() const { return selectionMode_; }

  bool IsDefaultParentColor() override { return true; }
  void InitEditSizeProperties(TSize& ASizeProperties) override;
  void Initialize() override;
  void SynchronizeDisplayValue() override { UpdateAtCursorPos(false); }
  bool KeepsCursorKeys() override { return true; }
  TClass GetPropertiesClass() const override;
  // A user's change of the position: clamped, and only when editing is allowed.
  virtual void ChangePosition(Int64 AValue);
  virtual void UpdateSelection(Integer AValue);

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseEntered(TControl* AControl) override;
  void MouseLeft(TControl* AControl) override;
  void WndProc(TMessage& Message) override;

 private:
  void SetMouseBit(Byte ABit, bool AValue);
  bool selectionMode_ = false;
  Integer selectionAnchor_ = 0;
};

class TuiTrackBar : public TuiCustomTrackBar {
  K58_CLASS(TuiTrackBar, TuiCustomTrackBar)

  explicit TuiTrackBar(TComponent* AOwner) : TuiCustomTrackBar(AOwner) {}
  TuiTrackBarProperties* Properties() const {
    return static_cast<TuiTrackBarProperties*>(TuiCustomTrackBar::Properties());
  }
  void SetProperties(TuiTrackBarProperties* Value) { TuiCustomTrackBar::Properties()->Assign(Value); }
  Integer Position() { return CurrentPosition(); }
  // Clamped unless loading; the selection stays as it is.
  void SetPosition(Integer Value);
  TClass GetPropertiesClass() const override;
};

namespace k58::extra {
// Unit start registers the bar's properties in the editors' registry; the last end removes them.
void StartTrackBarUnit();
void StopTrackBarUnit();
}  // namespace k58::extra
