// The push button drawn by its owner with the look-and-feel painters: colours per state, a glyph of up to
// four images beside the caption, hot tracking and two drop-down kinds that pop a menu up under it.
//
// Threads: GUI thread only.
// Ownership: a button owns its colours, glyph, look-and-feel and canvases; the menus are other
// components' and are forgotten when they go. The glyph lists belong to the process-wide glyph cache,
// which lives while any button glyph exists.
// Coordinates: client coordinates of the button.
// Re-entrancy: the drop-down menu pops up from a posted message and its Popup returns when it closes;
// the close-up is posted again, and a pending one is delivered before the window goes.
#pragma once

#include <memory>
#include <vector>

#include "controls/foundation/Foundation.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"

enum TuiButtonKind { uibkStandard, uibkDropDown, uibkDropDownButton };
K58_ENUM_TYPE(TuiButtonKind, uibkStandard, uibkDropDown, uibkDropDownButton)

// The posted drop-down request and close-up.
inline constexpr UINT UM_BUTTON_DROPDOWN = 0x812C;
inline constexpr UINT UM_BUTTON_CLOSEUP = 0x812D;

class TuiCustomButton;

K58_EVENT_TYPE(TuiButtonGetDrawParamsEvent,
               void(TuiCustomButton* Sender, TuiButtonState AState, TColor& AColor, TFont* AFont))
K58_EVENT_TYPE(TuiButtonDropDownMenuPopupEvent, void(TObject* Sender, TPopupMenu*& APopupMenu, bool& AHandled))

enum TuiButtonColorIndex { bciDefault, bciNormal, bciHot, bciPressed, bciDisabled };
K58_ENUM_TYPE(TuiButtonColorIndex, bciDefault, bciNormal, bciHot, bciPressed, bciDisabled)
K58_SET_TYPE(TuiButtonAssignedColors, TuiButtonColorIndex)

class TuiButtonColors : public TPersistent {
  K58_CLASS(TuiButtonColors, TPersistent)

  explicit TuiButtonColors(TuiCustomButton* AButton = nullptr) : button_(AButton) {}
  void Assign(TPersistent* Source) override;

  TColor Colors(TuiButtonColorIndex AIndex) const { return colors_[AIndex]; }
  // clNone or clDefault resets the colour; any other value is stored and marked assigned.
  void SetColors(TuiButtonColorIndex AIndex, TColor Value);
  TuiButtonAssignedColors AssignedColors() const { return assigned_; }
  // Only in design state.
  void SetAssignedColors(TuiButtonAssignedColors Value);

  TColor Default() const { return colors_[bciDefault]; }
  void SetDefault(TColor Value) { SetColors(bciDefault, Value); }
  TColor Normal() const { return colors_[bciNormal]; }
  void SetNormal(TColor Value) { SetColors(bciNormal, Value); }
  TColor Hot() const { return colors_[bciHot]; }
  void SetHot(TColor Value) { SetColors(bciHot, Value); }
  TColor Pressed() const { return colors_[bciPressed]; }
  void SetPressed(TColor Value) { SetColors(bciPressed, Value); }
  TColor Disabled() const { return colors_[bciDisabled]; }
  void SetDisabled(TColor Value) { SetColors(bciDisabled, Value); }
  bool IsDefaultStored() const { return assigned_.Contains(bciDefault); }
  bool IsNormalStored() const { return assigned_.Contains(bciNormal); }
  bool IsHotStored() const { return assigned_.Contains(bciHot); }
  bool IsPressedStored() const { return assigned_.Contains(bciPressed); }
  bool IsDisabledStored() const { return assigned_.Contains(bciDisabled); }

 private:
  void Changed();
  TuiCustomButton* button_;
  TColor colors_[5] = {clDefault, clDefault, clDefault, clDefault, clDefault};
  TuiButtonAssignedColors assigned_;
};

// An image list of one image size whose slots are taken and given back.
class TuiGlyphList : public TCustomImageList {
  K58_CLASS(TuiGlyphList, TCustomImageList)

  TuiGlyphList(Integer AWidth, Integer AHeight) : TCustomImageList(AWidth, AHeight) {}
  // The first free slot (or a new one) gets the image; its index.
  Integer AddMaskedGlyph(TBitmap* AImage, TColor AMaskColor);
  void ReleaseSlot(Integer AIndex);
  Integer UsedCount() const { return usedCount_; }

 private:
  std::vector<bool> used_;
  Integer usedCount_ = 0;
};

// The process-wide glyph lists, one per image size.
class TuiGlyphCache : public TObject {
  K58_CLASS(TuiGlyphCache, TObject)

  TuiGlyphCache() = default;
  ~TuiGlyphCache() override;
  TuiGlyphList* GetList(Integer AWidth, Integer AHeight);
  // Frees the list when no slot of it is used.
  void ReturnList(TuiGlyphList* AList);
  Integer ListCount() const { return static_cast<Integer>(lists_.size()); }

 private:
  std::vector<TuiGlyphList*> lists_;
};

// The cache while it exists (nil otherwise).
TuiGlyphCache* GlyphCache();

enum TuiGlyphState { gsUp, gsDisabled, gsDown, gsExclusive };

class TuiButtonGlyph : public TObject {
  K58_CLASS(TuiButtonGlyph, TObject)

  TuiButtonGlyph();
  ~TuiButtonGlyph() override;

  TBitmap* Glyph() const { return original_.get(); }
  void SetGlyph(TBitmap* Value);
  Integer NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(Integer Value);
  TColor TransparentColor() const { return transparentColor_; }
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  bool HasGlyph() const { return original_->Width() > 0 && original_->Height() > 0; }

  // The image index of a button state in the glyph list (-1 without a glyph).
  virtual Integer CreateButtonGlyph(TuiButtonState AState);
  virtual void GetTextOffsets(TButtonLayout ALayout, TRect& R);
  TuiGlyphList* GlyphList() const { return glyphList_; }
  void Invalidate();

  // Places glyph and caption in AClient: Glyph gets the glyph's top-left, TextBounds the caption's
  // rectangle. ACanvas measures the caption with its font.
  void CalcButtonLayout(TuiCanvas* ACanvas, const TRect& AClient, const TPoint& AOffset, const String& ACaption,
                        TButtonLayout ALayout, Integer AMargin, Integer ASpacing, TPoint& AGlyphPos,
                        TRect& ATextBounds, UINT ABiDiFlags, bool AWordWrap);
  // Lays out and draws glyph and caption.
  TRect Draw(TuiCanvas* ACanvas, const TRect& AClient, const TPoint& AOffset, const String& ACaption,
             TButtonLayout ALayout, Integer AMargin, Integer ASpacing, TuiButtonState AState, UINT ABiDiFlags,
             bool AWordWrap);

 private:
  void GlyphChanged(TObject*);

  TObjectPtr<TBitmap> original_;
  TuiGlyphList* glyphList_ = nullptr;
  Integer indexes_[4] = {-1, -1, -1, -1};
  TColor transparentColor_ = clOlive;
  Integer numGlyphs_ = 1;
  TNotifyEvent onChange_;
};

// Where a glyph and caption go, from their sizes (pure arithmetic of CalcButtonLayout).
void PlaceGlyphAndText(const TSize& AClientSize, const TSize& AGlyphSize, const TSize& ATextSize,
                       TButtonLayout ALayout, Integer AMargin, Integer ASpacing, TPoint& AGlyphPos,
                       TPoint& ATextPos);

// The painter buttons draw with: an Office11 painter becomes the themed one when button themes are usable,
// else the standard one.
TuiLookAndFeelPainterClass GetButtonPainterClass(TuiLookAndFeel* ALookAndFeel);

class TuiCustomButton : public TButton, public IuiMouseTrackingCaller {
  K58_CLASS(TuiCustomButton, TButton)

  explicit TuiCustomButton(TComponent* AOwner);
  ~TuiCustomButton() override;

  TuiButtonColors* Colors() const { return colors_.get(); }
  void SetColors(TuiButtonColors* Value) { colors_->Assign(Value); }
  bool IsColorsStored() const { return !colors_->AssignedColors().Empty(); }
  TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(TPopupMenu* Value);
  TBitmap* Glyph() const { return glyph_->Glyph(); }
  void SetGlyph(TBitmap* Value);
  bool IsGlyphStored() const { return glyph_->HasGlyph(); }
  TuiButtonKind Kind() const { return kind_; }
  void SetKind(TuiButtonKind Value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  TuiLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TuiLookAndFeel* Value) { lookAndFeel_->Assign(Value); }
  Integer Margin() const { return margin_; }
  void SetMargin(Integer Value);
  Integer NumGlyphs() const { return glyph_->NumGlyphs(); }
  void SetNumGlyphs(Integer Value);
  TPopupAlignment PopupAlignment() const { return popupAlignment_; }
  void SetPopupAlignment(TPopupAlignment Value) { popupAlignment_ = Value; }
  TComponent* PopupMenuComponent() const { return popupMenu_; }
  void SetPopupMenuComponent(TComponent* Value);
  Integer Spacing() const { return spacing_; }
  void SetSpacing(Integer Value);
  bool UseSystemPaint() const { return useSystemPaint_; }
  void SetUseSystemPaint(bool Value) { useSystemPaint_ = Value; }
  const TuiButtonDropDownMenuPopupEvent& OnDropDownMenuPopup() const { return onDropDownMenuPopup_; }
  void SetOnDropDownMenuPopup(const TuiButtonDropDownMenuPopupEvent& Value) { onDropDownMenuPopup_ = Value; }
  const TuiButtonGetDrawParamsEvent& OnGetDrawParams() const { return onGetDrawParams_; }
  void SetOnGetDrawParams(const TuiButtonGetDrawParamsEvent& Value) { onGetDrawParams_ = Value; }
  TuiButtonGlyph* ButtonGlyph() const { return glyph_.get(); }

  // Drawing state, for tests and painters.
  bool IsMenuVisible() const { return menuVisible_; }
  bool IsDownLocked() const { return downLocked_; }
  bool IsMouseInControl() const { return mouseInControl_; }
  // The state the last paint used, and where it put glyph and caption.
  TuiButtonState LastPaintState() const { return lastState_; }
  TPoint LastGlyphPos() const { return lastGlyphPos_; }
  TRect LastTextBounds() const { return lastTextBounds_; }

  virtual bool DoDropDownMenuPopup(TPopupMenu*& APopupMenu);
  virtual bool DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y);
  virtual TuiLookAndFeelPainterClass GetPainterClass();
  virtual bool IsSystemPainted() { return false; }
  bool IsHotTrack();
  // Requests the drop-down (posted).
  void DropDown();

  void Click() override;
  void SetButtonStyle(bool ADefault) override;
  void MouseLeave() override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  virtual void Paint(TuiCanvas* ACanvas, const DRAWITEMSTRUCT& AItem);

 private:
  void DoDropDownMenu();
  void CloseUp();
  bool IsOnArrowPart(Integer X) const { return kind_ == uibkDropDownButton && X >= Width() - 15; }

  bool isDown_ = false;
  bool isFocused_ = false;
  TObjectPtr<TuiButtonColors> colors_;
  TPopupMenu* dropDownMenu_ = nullptr;
  bool downLocked_ = false;
  bool defaultActive_ = false;
  bool mouseClick_ = false;
  TuiButtonKind kind_ = uibkStandard;
  TObjectPtr<TuiLookAndFeel> lookAndFeel_;
  TPopupAlignment popupAlignment_ = paLeft;
  TComponent* popupMenu_ = nullptr;
  bool useSystemPaint_ = false;
  TObjectPtr<TuiButtonGlyph> glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  Integer margin_ = -1;
  bool menuVisible_ = false;
  bool mouseInControl_ = false;
  Integer spacing_ = 4;
  TuiButtonDropDownMenuPopupEvent onDropDownMenuPopup_;
  TuiButtonGetDrawParamsEvent onGetDrawParams_;
  bool destroying_ = false;
  TuiButtonState lastState_ = uibsNormal;
  TPoint lastGlyphPos_{};
  TRect lastTextBounds_{};
};

class TuiButton : public TuiCustomButton {
  K58_CLASS(TuiButton, TuiCustomButton)
  explicit TuiButton(TComponent* AOwner) : TuiCustomButton(AOwner) {}
};
