// Buttons with pictures: the speed button (a graphic control that can stay down, in groups) and the
// bit button (a push button that shows a glyph beside its caption). Both place glyph and caption as one
// block by Layout and Spacing, and take one section of a glyph strip per state.
#pragma once

#include <algorithm>

#include "platform/forms/StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
K58_ENUM_TYPE(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

namespace k58::forms {
// Where a glyph of GlyphSize and a caption of TextSize go in Client, centred together as one block with
// Spacing between them (none when either is missing).
struct ButtonPlacement {
  TPoint Glyph;
  TRect Text;
};
ButtonPlacement PlaceGlyphAndCaption(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout,
                                     Integer Spacing);
// One section (0-based) of a strip of NumGlyphs glyphs side by side, as a bitmap of its own.
void CopyGlyphSection(TBitmap* Strip, Integer NumGlyphs, Integer Section, TBitmap* Target);
}  // namespace k58::forms

namespace k58::forms {
// The glyph strip and its layout, as both buttons keep them.
struct ButtonGlyph {
  TObjectPtr<TBitmap> Strip{new TBitmap};
  Integer NumGlyphs = 1;
  Integer Spacing = 4;
  TButtonLayout Layout = blGlyphLeft;
};
}  // namespace k58::forms

class TSpeedButton : public TGraphicControl {
  K58_CLASS(TSpeedButton, TGraphicControl)

  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  // Buttons of one GroupIndex (above 0) on one parent: one is down at a time.
  bool Down() const { return down_; }
  void SetDown(bool Value);
  Integer GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(Integer Value) { groupIndex_ = Value; }
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value) { allowAllUp_ = Value; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  // A strip of NumGlyphs (1 to 4) pictures: up, disabled, pressed, down.
  TBitmap* Glyph() const { return glyph_.Strip.get(); }
  void SetGlyph(TBitmap* Value) { glyph_.Strip->Assign(Value); }
  Integer NumGlyphs() const { return glyph_.NumGlyphs; }
  void SetNumGlyphs(Integer Value) { Change(glyph_.NumGlyphs, std::clamp<Integer>(Value, 1, 4)); }
  TButtonLayout Layout() const { return glyph_.Layout; }
  void SetLayout(TButtonLayout Value) { Change(glyph_.Layout, Value); }
  Integer Spacing() const { return glyph_.Spacing; }
  void SetSpacing(Integer Value) { Change(glyph_.Spacing, Value); }
  // The mouse is down on the button.
  TButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseIn_; }

  void Click() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;

 private:
  template <class T>
  void Change(T& Field, T Value) {
    Field = Value;
    Invalidate();
  }
  void GlyphChanged(TObject* Sender);
  bool flat_ = false, down_ = false, allowAllUp_ = false, transparent_ = true, mouseIn_ = false, dragging_ = false;
  Integer groupIndex_ = 0;
  TButtonState state_ = bsUp;
  k58::forms::ButtonGlyph glyph_;
};

class TBitBtn : public TButton {
  K58_CLASS(TBitBtn, TButton)

  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;

  // A strip of NumGlyphs (1 to 4) pictures: up, disabled, pressed (a fourth is not shown).
  TBitmap* Glyph() const { return glyph_.Strip.get(); }
  void SetGlyph(TBitmap* Value) { glyph_.Strip->Assign(Value); }
  Integer NumGlyphs() const { return glyph_.NumGlyphs; }
  void SetNumGlyphs(Integer Value) { Change(glyph_.NumGlyphs, std::clamp<Integer>(Value, 1, 4)); }
  TButtonLayout Layout() const { return glyph_.Layout; }
  void SetLayout(TButtonLayout Value) { Change(glyph_.Layout, Value); }
  Integer Spacing() const { return glyph_.Spacing; }
  void SetSpacing(Integer Value) { Change(glyph_.Spacing, Value); }

  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  // The button draws itself: being the default one only changes its frame.
  void SetButtonStyle(bool ADefault) override;

 private:
  template <class T>
  void Change(T& Field, T Value) {
    Field = Value;
    Invalidate();
  }
  void GlyphChanged(TObject* Sender);
  void DrawItem(const DRAWITEMSTRUCT& Item);
  k58::forms::ButtonGlyph glyph_;
  bool isDefault_ = false;
};
