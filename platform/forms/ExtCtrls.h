// Extra controls: panels, bevels, images, shapes, paint boxes, splitters and scroll boxes.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/StdCtrls.h"

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
K58_ENUM_TYPE(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
enum TBevelStyle { bsLowered, bsRaised };
K58_ENUM_TYPE(TBevelStyle, bsLowered, bsRaised)
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
K58_ENUM_TYPE(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
K58_ENUM_TYPE(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)

K58_EVENT_TYPE(TCanResizeSplitterEvent, void(TObject* Sender, Integer& NewSize, bool& Accept))

namespace k58::forms {
// Draws a 3D frame of Width pixels (top-left in TopColor, bottom-right in BottomColor) and shrinks Rect
// inside it.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width);
}  // namespace k58::forms

// ---- Panels ----------------------------------------------------------------------------------------
// A container with an outer and an inner bevel, a border between them and a caption drawn in the middle.
// Its children are disabled with it (they take no input while the panel's window is disabled).
class TCustomPanel : public TCustomControl {
  K58_CLASS(TCustomPanel, TCustomControl)

  explicit TCustomPanel(TComponent* AOwner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut Value);
  Integer BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(Integer Value);
  Integer BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(Integer Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool Value) { fullRepaint_ = Value; }

  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void CreateParams(TCreateParams& Params) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;

 private:
  // Width of the bevels and border on each side.
  Integer FrameWidth() const;

  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  Integer bevelWidth_ = 1;
  Integer borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
  K58_CLASS(TPanel, TCustomPanel)

  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---- Bevels ----------------------------------------------------------------------------------------
class TBevel : public TGraphicControl {
  K58_CLASS(TBevel, TGraphicControl)

  explicit TBevel(TComponent* AOwner);

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle Value);
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// ---- Images ----------------------------------------------------------------------------------------
// Shows a picture: at its size in the top-left corner, centred (Center), or scaled to the control
// (Stretch; Proportional keeps the aspect ratio and only shrinks). Canvas draws on the picture as a bitmap
// (an empty picture becomes a bitmap of the control's size first).
class TImage : public TGraphicControl {
  K58_CLASS(TImage, TGraphicControl)

  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* Value) { picture_->Assign(Value); }
  // A canvas on the picture's bitmap; raises EInvalidOperation for a picture holding another graphic.
  TCanvas* Canvas();
  bool Center() const { return center_; }
  void SetCenter(bool Value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool Value);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  bool IncrementalDisplay() const { return incrementalDisplay_; }
  void SetIncrementalDisplay(bool Value) { incrementalDisplay_ = Value; }
  // The rectangle the picture is drawn into.
  TRect DestRect();

  const TNotifyEvent& OnProgress() const { return onProgress_; }
  void SetOnProgress(const TNotifyEvent& Value) { onProgress_ = Value; }

  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void Paint() override;

 private:
  void PictureChanged(TObject* Sender);

  TObjectPtr<TPicture> picture_;
  bool center_ = false;
  bool stretch_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
  bool incrementalDisplay_ = false;
  bool drawing_ = false;
  TNotifyEvent onProgress_;
};

// ---- Shapes ----------------------------------------------------------------------------------------
class TShape : public TGraphicControl {
  K58_CLASS(TShape, TGraphicControl)

  explicit TShape(TComponent* AOwner);
  ~TShape() override;

  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* Value) { pen_->Assign(Value); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* Value) { brush_->Assign(Value); }
  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType Value);
  void Paint() override;

 private:
  void StyleChanged(TObject* Sender);

  TObjectPtr<TPen> pen_;
  TObjectPtr<TBrush> brush_;
  TShapeType shape_ = stRectangle;
};

// ---- Paint boxes -----------------------------------------------------------------------------------
// A surface painted by its OnPaint handler.
class TPaintBox : public TGraphicControl {
  K58_CLASS(TPaintBox, TGraphicControl)

  explicit TPaintBox(TComponent* AOwner);

  const TNotifyEvent& OnPaint() const { return onPaint_; }
  void SetOnPaint(const TNotifyEvent& Value) { onPaint_ = Value; }
  void Paint() override;

 private:
  TNotifyEvent onPaint_;
};

// ---- Splitters -------------------------------------------------------------------------------------
// Dragged with the mouse, it resizes the aligned control it stands next to (the one before it on its
// side), keeping that control at least MinSize and the rest of the parent's client area at least MinSize.
// OnMoved fires after a drag changed the size.
class TSplitter : public TGraphicControl {
  K58_CLASS(TSplitter, TGraphicControl)

  explicit TSplitter(TComponent* AOwner);

  Integer MinSize() const { return minSize_; }
  void SetMinSize(Integer Value) { minSize_ = Value < 1 ? 1 : Value; }
  TResizeStyle ResizeStyle() const { return resizeStyle_; }
  void SetResizeStyle(TResizeStyle Value) { resizeStyle_ = Value; }
  bool AutoSnap() const { return autoSnap_; }
  void SetAutoSnap(bool Value) { autoSnap_ = Value; }
  TBevelCut Beveled() const { return beveled_; }
  // The control the splitter resizes (nil when none stands next to it).
  TControl* FindControl();

  const TNotifyEvent& OnMoved() const { return onMoved_; }
  void SetOnMoved(const TNotifyEvent& Value) { onMoved_ = Value; }
  const TCanResizeSplitterEvent& OnCanResize() const { return onCanResize_; }
  void SetOnCanResize(const TCanResizeSplitterEvent& Value) { onCanResize_ = Value; }

  // The cursor follows the side the splitter is aligned to.
  void RequestAlign() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 private:
  // The size the control gets for the mouse at (X, Y), limited by MinSize.
  Integer NewSizeFor(Integer X, Integer Y);
  void ApplySize(Integer Size);

  Integer minSize_ = 30;
  TResizeStyle resizeStyle_ = rsPattern;
  bool autoSnap_ = true;
  TBevelCut beveled_ = bvNone;
  TControl* control_ = nullptr;
  bool dragging_ = false;
  TPoint downPos_{};
  Integer startSize_ = 0;
  Integer origSize_ = 0;
  Integer newSize_ = 0;
  TNotifyEvent onMoved_;
  TCanResizeSplitterEvent onCanResize_;
};

// ---- Scroll boxes ----------------------------------------------------------------------------------
class TScrollBox : public TScrollingWinControl {
  K58_CLASS(TScrollBox, TScrollingWinControl)

  explicit TScrollBox(TComponent* AOwner);

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  void CreateParams(TCreateParams& Params) override;

 private:
  TBorderStyle borderStyle_ = bsSingle;
};
