// Popup windows: where a popup of a given size goes next to an owner rectangle, preferring the side
// with more room on the monitor nearest to it and kept inside that monitor's work area; and the
// borderless stay-on-top form that places itself there, sizes itself to its children and draws a frame.
#pragma once

#include <memory>

#include "controls/foundation/uiContainer.h"
#include "platform/forms/Forms.h"

// Which side of the owner rectangle a popup opens on.
enum TuiPopupDirection : Byte { pdHorizontal, pdVertical };
// Alignment along an axis: before (left or above), centred, after (right or below).
enum TuiPopupAlignment : Byte { palBefore, palCenter, palAfter };

namespace k58::foundation {

// The placement request: the owner rectangle in screen coordinates and the popup's size.
struct TuiPopupPlacement {
  TRect OwnerRect{};
  Integer Width = 0;
  Integer Height = 0;
  TuiPopupDirection Direction = pdVertical;
  TuiPopupAlignment HorzAlignment = palBefore;
  TuiPopupAlignment VertAlignment = palAfter;
};

// The popup's top-left corner in screen coordinates. Vertically placed popups open below or above the
// owner (beside it when horizontal), flipping to the other side when they do not fit and that side has
// more room; the result is then clamped to the work area across the opening direction.
TPoint ComputePopupOrigin(const TuiPopupPlacement& APlacement);

}  // namespace k58::foundation

// 0 none, 1 single line, 2 raised, 3 double raised.
using TuiPopupBorderStyle = Byte;

class TuiPopupWindow : public TForm {
  K58_CLASS(TuiPopupWindow, TForm)

  // A form without owner or resource, hidden until Popup.
  explicit TuiPopupWindow(TComponent* AOwner = nullptr);
  ~TuiPopupWindow() override;

  bool Adjustable() const { return adjustable_; }
  void SetAdjustable(bool Value) { adjustable_ = Value; }
  TuiPopupAlignment AlignHorz() const { return alignHorz_; }
  void SetAlignHorz(TuiPopupAlignment Value) { alignHorz_ = Value; }
  TuiPopupAlignment AlignVert() const { return alignVert_; }
  void SetAlignVert(TuiPopupAlignment Value) { alignVert_ = Value; }
  Integer BorderSpace() const { return borderSpace_; }
  void SetBorderSpace(Integer Value) { borderSpace_ = Value; }
  TuiPopupBorderStyle PopupBorderStyle() const { return popupBorderStyle_; }
  // The children first move back by the current border offsets.
  void SetPopupBorderStyle(TuiPopupBorderStyle Value);
  TuiPopupDirection Direction() const { return direction_; }
  void SetDirection(TuiPopupDirection Value) { direction_ = Value; }
  TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(TColor Value) { frameColor_ = Value; }
  // The owner's rectangle in the client coordinates of the owner parent.
  const TRect& OwnerBounds() const { return ownerBounds_; }
  void SetOwnerBounds(const TRect& Value) { ownerBounds_ = Value; }
  TControl* OwnerParent() const { return ownerParent_; }
  void SetOwnerParent(TControl* Value) { ownerParent_ = Value; }
  TuiCanvas* PopupCanvas() const { return canvas_.get(); }

  // The origin next to the owner rectangle (screen coordinates).
  virtual void ComputePopupOrigin(TPoint& P);
  // Moves the children inside the frame and sizes the window around them (when adjustable).
  virtual void FitToContent();
  virtual Integer BorderOffset(TuiBorder ASide) { return BorderWidthFor(ASide) + borderSpace_; }
  virtual Integer BorderWidthFor(TuiBorder ASide);
  virtual void InheritOwnerFont();
  virtual void DrawPopupFrame();
  virtual void ClosePopup() { Hide(); }
  virtual void Popup();

 protected:
  void Paint() override;
  void Deactivate() override;

 private:
  bool adjustable_ = true;
  TuiPopupAlignment alignHorz_ = palBefore;
  TuiPopupAlignment alignVert_ = palAfter;
  Integer borderSpace_ = 0;
  TuiPopupBorderStyle popupBorderStyle_ = 0;
  std::unique_ptr<TuiCanvas> canvas_;
  TuiPopupDirection direction_ = pdVertical;
  TColor frameColor_ = clWindowText;
  TRect ownerBounds_{};
  TControl* ownerParent_ = nullptr;
};
