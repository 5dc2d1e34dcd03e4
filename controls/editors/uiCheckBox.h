// The check box editor: three variant values of its properties mapped to the states unchecked, checked
// and grayed, a mark drawn from a glyph strip, a theme or the border style, and a caption beside it.
//
// Threads: GUI thread only.
// Ownership: the properties own their glyph; the view info only points at it. The unit owns the check
// mark mask (made by StartCheckBoxUnit, freed by the last StopCheckBoxUnit).
// Coordinates: the view data and view info work in the editor's client coordinates.
// Re-entrancy: OnClick, OnEditing and the change events run from inside Toggle and the state setter; a
// handler may read the state but the toggle keeps its change-event lock until it is done.
#pragma once

#include "controls/editors/uiEdit.h"

enum TuiCheckBoxNullValueShowingStyle { nssUnchecked, nssInactive, nssGrayedChecked };
K58_ENUM_TYPE(TuiCheckBoxNullValueShowingStyle, nssUnchecked, nssInactive, nssGrayedChecked)

// States of the mark as a button.
inline constexpr Integer cbmsNormal = 0;
inline constexpr Integer cbmsHot = 1;
inline constexpr Integer cbmsPressed = 2;
inline constexpr Integer cbmsDisabled = 3;

// The themed button parts of the editor collection.
inline constexpr int BP_PUSHBUTTON = 1;
inline constexpr int BP_RADIOBUTTON = 2;
inline constexpr int BP_CHECKBOX = 3;
inline constexpr int BP_GROUPBOX = 4;

// The size of one cell of the system check box bitmap, and the check mark's shape (black pixels) in a
// one-bit bitmap of that size.
extern Integer CheckMarkWidth;
extern Integer CheckMarkHeight;
TBitmap* CheckMarkMask();

// Whether native style is asked for by ALookAndFeel and the button theme is there.
bool CanUseNativeButtonTheme(TuiLookAndFeel* ALookAndFeel);
// The theme's true size of a button part in a state (0 x 0 without a theme).
TSize GetButtonThemePartSize(Integer APart, Integer AState);

class TuiCustomCheckBox;

class TuiCustomCheckBoxProperties : public TuiCustomEditProperties {
  K58_CLASS(TuiCustomCheckBoxProperties, TuiCustomEditProperties)

  TuiCustomCheckBoxProperties();
  ~TuiCustomCheckBoxProperties() override;
  void Assign(TPersistent* Source) override;

  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  // The alignment of the caption (a view of the framework's horizontal alignment).
  TAlignment HorzAlignment() { return Alignment()->Horz(); }
  void SetHorzAlignment(TAlignment Value) { Alignment()->SetHorz(Value); }
  bool IsHorzAlignmentStored() const { return const_cast<TuiCustomCheckBoxProperties*>(this)->Alignment()->IsHorzAssigned(); }
  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool IsCaptionAssigned() const { return captionAssigned_; }
  void ClearCaptionAssigned() { captionAssigned_ = false; }
  const String& DisplayChecked() const { return displayChecked_; }
  void SetDisplayChecked(const String& Value) { displayChecked_ = Value; }
  const String& DisplayGrayed() const { return displayGrayed_; }
  void SetDisplayGrayed(const String& Value) { displayGrayed_ = Value; }
  const String& DisplayUnchecked() const { return displayUnchecked_; }
  void SetDisplayUnchecked(const String& Value) { displayUnchecked_ = Value; }
  bool IsDisplayCheckedStored() const;
  bool IsDisplayGrayedStored() const;
  bool IsDisplayUncheckedStored() const;
  bool FullFocusRect() const { return fullFocusRect_; }
  void SetFullFocusRect(bool Value);
  // Made (empty) on first read.
  TBitmap* Glyph() { return ProvideGlyph(); }
  TBitmap* GlyphIfAny() const { return glyph_.get(); }
  // Copies Value into the own glyph; nil frees it.
  void SetGlyph(TBitmap* Value);
  bool IsGlyphStored() const { return glyph_ != nullptr && !glyph_->Empty(); }
  Integer GlyphCount() const { return glyphCount_; }
  void SetGlyphCount(Integer Value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool Value);
  TuiCheckBoxNullValueShowingStyle NullStyle() const { return nullStyle_; }
  void SetNullStyle(TuiCheckBoxNullValueShowingStyle Value);
  bool UseAlignmentWhenInplace() const { return useAlignmentWhenInplace_; }
  void SetUseAlignmentWhenInplace(bool Value);
  // A value equal (type and value) to one of the three current values is refused, and Null for the
  // checked and unchecked values.
  const Variant& ValueChecked() const { return valueChecked_; }
  void SetValueChecked(Variant Value);
  const Variant& ValueGrayed() const { return valueGrayed_; }
  void SetValueGrayed(Variant Value);
  const Variant& ValueUnchecked() const { return valueUnchecked_; }
  void SetValueUnchecked(Variant Value);
  bool IsValueCheckedStored() const;
  bool IsValueGrayedStored() const { return !VarIsNull(valueGrayed_); }
  bool IsValueUncheckedStored() const;

  // The state an edit value stands for.
  TuiCheckBoxState GetState(const Variant& AEditValue) const;
  // The edit value of a state (Unassigned for a number that is no state).
  Variant GetValueOfState(Integer AState) const;

  TBitmap* ProvideGlyph();
  virtual bool ShowsInplaceCaption() { return false; }

  TClass GetViewDataClass() const override;
  bool AreChangeEventsSeparate() override { return true; }
  bool IsValueChangeTrackedByStore() override { return true; }
  TClass GetEditClass() const override;
  TClass GetStyleClass() const override;
  TClass GetViewInfoClass() const override;
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  TuiCustomEditViewData* CreateViewData(TuiEditStyle* AStyle, bool AIsInplace, bool ALockedState) override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  Word GetEditCapabilities() override { return 0x2D2D; }
  bool IsActivationKey(char AKey) override { return AKey == ' '; }
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;

 private:
  bool IsOneOfValues(const Variant& Value) const;
  void GlyphChanged(TObject*) { Changed(); }

  bool allowGrayed_ = false;
  String caption_;
  bool captionAssigned_ = false;
  String displayChecked_;
  String displayGrayed_;
  String displayUnchecked_;
  bool fullFocusRect_ = false;
  TObjectPtr<TBitmap> glyph_;
  Integer glyphCount_ = 6;
  bool multiLine_ = false;
  TuiCheckBoxNullValueShowingStyle nullStyle_ = nssGrayedChecked;
  bool useAlignmentWhenInplace_ = false;
  Variant valueChecked_ = Variant(true);
  Variant valueGrayed_ = Null();
  Variant valueUnchecked_ = Variant(false);
};

class TuiCheckBoxProperties : public TuiCustomCheckBoxProperties {
  K58_CLASS(TuiCheckBoxProperties, TuiCustomCheckBoxProperties)
  TuiCheckBoxProperties() = default;
};

// A check box has no border of its own.
class TuiCheckBoxStyle : public TuiEditStyle {
  K58_CLASS(TuiCheckBoxStyle, TuiEditStyle)
  using TuiEditStyle::TuiEditStyle;
};

class TuiCustomCheckBoxViewInfo : public TuiCustomEditViewInfo {
  K58_CLASS(TuiCustomCheckBoxViewInfo, TuiCustomEditViewInfo)

  TuiCustomCheckBoxViewInfo() = default;
  void Paint(TuiCanvas* ACanvas) override;
  bool Assign(TuiContainerViewInfo* AViewInfo) override;
  TuiRegion* CreateRegionToRepaint(TuiContainerViewInfo* AOldViewInfo) override;
  void OffsetRects(Integer DX, Integer DY) override;
  bool HasHotButton() const override { return true; }
  bool IsHotTrackPoint(const TPoint&) const override { return HasHotButton(); }
  bool NeedShowHint(TuiCanvas*, const TPoint&, String&) override { return false; }
  bool RepaintChanges(TWinControl* AControl, const TRect& AInnerEditRect, TuiContainerViewInfo* AOldViewInfo) override;

  // Draws the mark of a state into R.
  void DrawMark(TuiCanvas* ACanvas, TuiCheckBoxState AState, TRect R, TColor ABackgroundColor);

  Integer MarkButtonState = cbmsNormal;
  Integer MarkThemeState = 0;
  TRect MarkRect{};
  TRect FocusRect{};
  // 0 left, 1 right, 2 centre.
  Integer Alignment = 0;
  TuiEditBorderStyle MarkBorderStyle = ebsNone;
  Integer MarkBorderWidth = 0;
  TBitmap* Glyph = nullptr;
  Integer GlyphCount = 0;
  bool IsGlyphUsable = false;
  bool IsTextColorAssigned = false;
  TuiCustomCheckBox* EditControl = nullptr;
  TuiCheckBoxNullValueShowingStyle NullStyle = nssGrayedChecked;
  TuiCheckBoxState State = cbsUnchecked;
  bool Transparent = false;
  String Text;
  TRect TextRect{};
  TuiCanvasTextFlags DrawTextFlags = 0;
};

class TuiCustomCheckBoxViewData : public TuiCustomEditViewData {
  K58_CLASS(TuiCustomCheckBoxViewData, TuiCustomEditViewData)

  using TuiCustomEditViewData::TuiCustomEditViewData;
  TuiCustomCheckBoxProperties* CheckProperties() const { return static_cast<TuiCustomCheckBoxProperties*>(Properties); }

  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  TuiEditBorderStyle GetBorderStyle() override { return ebsNone; }
  void GetEditConstantPartSize(TuiCanvas* ACanvas, const TSize& AEditSizeProperties, TSize& AMinContentSize,
                               TSize& AConstantPartSize, TuiCustomEditViewInfo* AViewInfo = nullptr) override;
  void GetEditValueSize(TuiCanvas*, const Variant&, const TSize&, TSize& ASize) override { ASize = TSize{0, 0}; }
  virtual TuiCanvasTextFlags GetDrawTextFlags();

  // The mark button state for a point, the event's button and the shift state.
  Integer GetMarkButtonState(const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                             Integer AOldState) const;
  bool SpacePressed = false;
  TuiCheckBoxState PreviewState = cbsUnchecked;
};

class TuiCustomCheckBox : public TuiCustomEdit {
  K58_CLASS(TuiCustomCheckBox, TuiCustomEdit)

  explicit TuiCustomCheckBox(TComponent* AOwner);

  TuiCustomCheckBoxProperties* CheckProperties() const {
    return static_cast<TuiCustomCheckBoxProperties*>(TuiCustomEdit::Properties());
  }
  TuiCustomCheckBoxProperties* ActiveCheckProperties() {
    return static_cast<TuiCustomCheckBoxProperties*>(ActiveProperties());
  }
  TuiCustomCheckBoxViewInfo* CheckViewInfo() const { return static_cast<TuiCustomCheckBoxViewInfo*>(EditViewInfo()); }

  TuiCheckBoxState State();
  void SetState(TuiCheckBoxState Value);
  bool IsStateStored() const;
  bool Checked() { return State() == cbsChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbsChecked : cbsUnchecked); }
  String Caption() { return Text(); }
  void SetCaption(const String& Value) { SetText(Value); }

  // Advances the state as the user would: unchecked, (grayed,) checked, unchecked.
  virtual void Toggle();

  void Initialize() override;
  void StoreEditValue(const Variant& AValue, bool AValidateEditValue) override;
  void PropertiesChanged(TObject* Sender) override;
  void ClearValue() override { SetChecked(false); }
  TClass GetPropertiesClass() const override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  void InitEditSizeProperties(TSize& ASizeProperties) override;
  bool UsesDataBinding() override { return IsDataBound(); }
  bool IsDefaultParentColor() override { return true; }
  bool NeedsParentBackground() override;
  void ViewInfoChanged(TuiCustomEditViewInfo* AOldViewInfo) override;
  TuiContainerStyleValues GetUnusedStyleValues() override;
  void InitializeViewData(TuiCustomEditViewData* AViewData) override;
  bool IsSpacePressed() const { return spacePressed_; }

 protected:
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  void DoExit() override;
  void WndProc(TMessage& Message) override;

 private:
  bool inLoaded_ = false;
  bool spacePressed_ = false;
  bool stateAssignedWhileLoading_ = false;
  TuiCheckBoxState loadedState_ = cbsUnchecked;
};

class TuiCheckBox : public TuiCustomCheckBox {
  K58_CLASS(TuiCheckBox, TuiCustomCheckBox)

  explicit TuiCheckBox(TComponent* AOwner) : TuiCustomCheckBox(AOwner) {}
  TuiCheckBoxProperties* Properties() const { return static_cast<TuiCheckBoxProperties*>(CheckProperties()); }
  void SetProperties(TuiCheckBoxProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TuiCheckBoxProperties* ActiveProperties() { return static_cast<TuiCheckBoxProperties*>(TuiCustomEdit::ActiveProperties()); }
  TClass GetPropertiesClass() const override;
};

namespace k58::editors {
// Registers the check box properties and builds the check mark; counted.
void StartCheckBoxUnit();
void StopCheckBoxUnit();
}  // namespace k58::editors
