// Panels, bevels, images, shapes, paint boxes, splitters and scroll boxes.
#include "platform/forms/ExtCtrls.h"

#include <algorithm>

#include "platform/classes/ClassErrors.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/StdCtrlsInternal.h"
#include "platform/forms/StdCtrlsPublish.h"

namespace k58::forms {

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width) {
  TPen* pen = Canvas->Pen();
  pen->SetWidth(1);
  --Rect.right;
  --Rect.bottom;
  for (Integer i = 0; i < Width; ++i) {
    pen->SetColor(TopColor);
    Canvas->MoveTo(Rect.left, Rect.bottom);
    Canvas->LineTo(Rect.left, Rect.top);
    Canvas->LineTo(Rect.right, Rect.top);
    pen->SetColor(BottomColor);
    Canvas->LineTo(Rect.right, Rect.bottom);
    Canvas->LineTo(Rect.left - 1, Rect.bottom);
    ::InflateRect(&Rect, -1, -1);
  }
  ++Rect.right;
  ++Rect.bottom;
}

}  // namespace k58::forms

using k58::forms::Frame3D;

// ---- Panels ---------------------------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable});
  SetBounds(Left(), Top(), 185, 41);
}

Integer TCustomPanel::FrameWidth() const {
  Integer w = borderWidth_;
  if (bevelOuter_ != bvNone) w += bevelWidth_;
  if (bevelInner_ != bvNone) w += bevelWidth_;
  return w;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Integer w = FrameWidth();
  ::InflateRect(&Rect, -w, -w);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  if (bevelInner_ == Value) return;
  bevelInner_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  if (bevelOuter_ == Value) return;
  bevelOuter_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(Integer Value) {
  if (Value < 1) Value = 1;
  if (bevelWidth_ == Value) return;
  bevelWidth_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(Integer Value) {
  if (Value < 0) Value = 0;
  if (borderWidth_ == Value) return;
  borderWidth_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  auto colors = [](TBevelCut cut, TColor& top, TColor& bottom) {
    top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
  };
  TColor top = clBtnHighlight, bottom = clBtnShadow;
  if (bevelOuter_ != bvNone) {
    colors(bevelOuter_, top, bottom);
    if (bevelOuter_ == bvSpace) top = bottom = Color();
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  }
  Frame3D(canvas, r, Color(), Color(), borderWidth_);
  if (bevelInner_ != bvNone) {
    colors(bevelInner_, top, bottom);
    if (bevelInner_ == bvSpace) top = bottom = Color();
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  }
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  String text = Caption();
  if (text.empty()) return;
  canvas->SetFont(Font());
  // Measuring puts the canvas's font into the context; colour and mode go there directly.
  canvas->TextHeight("0");
  HDC dc = canvas->Handle();
  ::SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  RECT t = r;
  if (!Enabled()) {
    ::OffsetRect(&t, 1, 1);
    ::SetTextColor(dc, ColorToRGB(clBtnHighlight));
    ::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &t, flags);
    ::OffsetRect(&t, -1, -1);
    ::SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    ::SetTextColor(dc, ColorToRGB(Font()->Color()));
  }
  ::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &t, flags);
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

void TCustomPanel::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

// ---- Bevels ---------------------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(Left(), Top(), 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
  if (shape_ == Value) return;
  shape_ = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = Canvas();
  TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  Integer w = Width(), h = Height();
  TPen* pen = canvas->Pen();
  pen->SetWidth(1);
  auto line = [&](TColor c, Integer x1, Integer y1, Integer x2, Integer y2) {
    pen->SetColor(c);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox: {
      TRect r{0, 0, w, h};
      Frame3D(canvas, r, first, second, 1);
      break;
    }
    case bsFrame: {
      TRect r{0, 0, w - 1, h - 1};
      Frame3D(canvas, r, first, first, 1);
      r = TRect{1, 1, w, h};
      Frame3D(canvas, r, second, second, 1);
      break;
    }
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

// ---- Images ---------------------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(new TPicture) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  picture_->SetOnChange(TNotifyEvent([this](TObject* Sender) { PictureChanged(Sender); }));
  SetBounds(Left(), Top(), 105, 105);
}

TImage::~TImage() { picture_->SetOnChange(TNotifyEvent()); }

TCanvas* TImage::Canvas() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic == nullptr) {
    TObjectPtr<TBitmap> bitmap(new TBitmap);
    bitmap->SetWidth(Width());
    bitmap->SetHeight(Height());
    picture_->SetGraphic(bitmap.get());
    graphic = picture_->Graphic();
  }
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (bitmap == nullptr) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return bitmap->Canvas();
}

void TImage::SetCenter(bool Value) {
  if (center_ == Value) return;
  center_ = Value;
  PictureChanged(this);
}

void TImage::SetStretch(bool Value) {
  if (stretch_ == Value) return;
  stretch_ = Value;
  PictureChanged(this);
}

void TImage::SetProportional(bool Value) {
  if (proportional_ == Value) return;
  proportional_ = Value;
  PictureChanged(this);
}

void TImage::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  PictureChanged(this);
}

TRect TImage::DestRect() {
  Integer w = picture_->Width(), h = picture_->Height();
  Integer cw = ClientWidth(), ch = ClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      // The largest size of the picture's shape that fits (never larger than the picture unless
      // stretched).
      double scale = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
      if (!stretch_) scale = std::min(scale, 1.0);
      w = static_cast<Integer>(w * scale);
      h = static_cast<Integer>(h * scale);
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (center_) ::OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TCanvas* canvas = TGraphicControl::Canvas();
  if (ComponentState().Contains(csDesigning)) {
    canvas->Pen()->SetStyle(psDash);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(0, 0, Width(), Height());
  }
  TGraphic* graphic = picture_->Graphic();
  if (graphic == nullptr || graphic->Empty()) return;
  bool saved = graphic->Transparent();
  drawing_ = true;
  try {
    if (transparent_ != saved) graphic->SetTransparent(transparent_);
    canvas->StretchDraw(DestRect(), graphic);
    if (transparent_ != saved) graphic->SetTransparent(saved);
  } catch (...) {
    drawing_ = false;
    throw;
  }
  drawing_ = false;
}

void TImage::PictureChanged(TObject*) {
  if (drawing_) return;
  if (AutoSize() && picture_->Width() > 0 && picture_->Height() > 0) {
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  }
  TGraphic* graphic = picture_->Graphic();
  TControlStyle style = ControlStyle();
  // An opaque picture that covers the control lets the parent skip painting below it.
  if (graphic != nullptr && !transparent_ && !graphic->Transparent() && (stretch_ || (
      picture_->Width() >= Width() && picture_->Height() >= Height()))) {
    style.Include(csOpaque);
  } else {
    style.Exclude(csOpaque);
  }
  SetControlStyle(style);
  Invalidate();
}

bool TImage::CanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  if (picture_->Width() <= 0 || picture_->Height() <= 0) return false;
  NewWidth = picture_->Width();
  NewHeight = picture_->Height();
  return true;
}

// ---- Shapes ---------------------------------------------------------------------------------------------

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), pen_(new TPen), brush_(new TBrush) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(Left(), Top(), 65, 65);
  pen_->SetOnChange(TNotifyEvent([this](TObject* Sender) { StyleChanged(Sender); }));
  brush_->SetOnChange(TNotifyEvent([this](TObject* Sender) { StyleChanged(Sender); }));
}

TShape::~TShape() {
  pen_->SetOnChange(TNotifyEvent());
  brush_->SetOnChange(TNotifyEvent());
}

void TShape::SetShape(TShapeType Value) {
  if (shape_ == Value) return;
  shape_ = Value;
  Invalidate();
}

void TShape::StyleChanged(TObject*) { Invalidate(); }

void TShape::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetPen(pen_.get());
  canvas->SetBrush(brush_.get());
  Integer pw = pen_->Width();
  Integer x = pw / 2, y = x;
  Integer w = Width() - pw + 1, h = Height() - pw + 1;
  if (pw == 0) {
    --w;
    --h;
  }
  if (w < h) {
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
      y += (h - w) / 2;
      h = w;
    }
  } else if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    x += (w - h) / 2;
    w = h;
  }
  switch (shape_) {
    case stRectangle:
    case stSquare: canvas->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: canvas->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse:
    case stCircle: canvas->Ellipse(x, y, x + w, y + h); break;
  }
}

// ---- Paint boxes ----------------------------------------------------------------------------------------

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(Left(), Top(), 105, 105);
}

void TPaintBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetColor(Color());
  if (ComponentState().Contains(csDesigning)) {
    canvas->Pen()->SetStyle(psDash);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(0, 0, Width(), Height());
  }
  onPaint_(this);
}

// ---- Splitters ------------------------------------------------------------------------------------------

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse});
  SetAlign(alLeft);
  SetBounds(Left(), Top(), 3, 100);
  SetCursor(crHSplit);
}

void TSplitter::RequestAlign() {
  TGraphicControl::RequestAlign();
  SetCursor(Align() == alTop || Align() == alBottom ? crVSplit : crHSplit);
}

TControl* TSplitter::FindControl() {
  TWinControl* parent = Parent();
  if (parent == nullptr || Align() == alNone || Align() == alClient || Align() == alCustom) return nullptr;
  // The point just outside the splitter on the side of the control it resizes.
  TPoint p{};
  switch (Align()) {
    case alLeft: p = TPoint{Left() - 1, Top()}; break;
    case alRight: p = TPoint{Left() + Width(), Top()}; break;
    case alTop: p = TPoint{Left(), Top() - 1}; break;
    case alBottom: p = TPoint{Left(), Top() + Height()}; break;
    default: return nullptr;
  }
  for (Integer i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    TRect r = c->BoundsRect();
    if (Align() == alLeft || Align() == alRight) {
      if (p.x >= r.left && p.x < r.right) return c;
    } else if (p.y >= r.top && p.y < r.bottom) {
      return c;
    }
  }
  return nullptr;
}

void TSplitter::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(ClientRect());
}

Integer TSplitter::NewSizeFor(Integer X, Integer Y) {
  Integer delta = (Align() == alLeft || Align() == alRight) ? X - downPos_.x : Y - downPos_.y;
  Integer size = (Align() == alLeft || Align() == alTop) ? startSize_ + delta : startSize_ - delta;
  // Room: the control's size plus whatever of the parent's client area the other controls leave free.
  TWinControl* parent = Parent();
  bool horizontal = Align() == alLeft || Align() == alRight;
  Integer room = horizontal ? parent->ClientWidth() : parent->ClientHeight();
  for (Integer i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == control_ || !c->Visible() || c->Align() == alClient || c->Align() == alNone) continue;
    if (horizontal && (c->Align() == alLeft || c->Align() == alRight)) room -= c->Width();
    if (!horizontal && (c->Align() == alTop || c->Align() == alBottom)) room -= c->Height();
  }
  Integer maxSize = std::max<Integer>(0, room - minSize_);
  size = std::min(size, maxSize);
  if (size < minSize_) size = (autoSnap_ && size < minSize_ / 2) ? 0 : minSize_;
  if (size > maxSize) size = maxSize;
  bool accept = true;
  onCanResize_(this, size, accept);
  return accept ? size : newSize_;
}

void TSplitter::ApplySize(Integer Size) {
  if (control_ == nullptr) return;
  switch (Align()) {
    case alLeft:
    case alRight: control_->SetBounds(control_->Left(), control_->Top(), Size, control_->Height()); break;
    case alTop:
    case alBottom: control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), Size); break;
    default: break;
  }
  if (Size == 0) control_->SetVisible(false);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  control_ = FindControl();
  if (control_ == nullptr) return;
  dragging_ = true;
  downPos_ = TPoint{X, Y};
  startSize_ = (Align() == alLeft || Align() == alRight) ? control_->Width() : control_->Height();
  newSize_ = startSize_;
  origSize_ = startSize_;
}

void TSplitter::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!dragging_) return;
  // The splitter moves with the control, so the press point is kept in the parent's terms.
  Integer size = NewSizeFor(X, Y);
  if (size == newSize_) return;
  Integer moved = size - newSize_;
  newSize_ = size;
  if (resizeStyle_ == rsUpdate) {
    ApplySize(size);
    // The splitter followed the control's edge: keep the press point under the mouse.
    if (Align() == alLeft) downPos_.x -= moved;
    if (Align() == alRight) downPos_.x += moved;
    if (Align() == alTop) downPos_.y -= moved;
    if (Align() == alBottom) downPos_.y += moved;
    startSize_ = size;
    newSize_ = size;
  }
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!dragging_) return;
  dragging_ = false;
  ApplySize(newSize_);
  control_ = nullptr;
  if (newSize_ != origSize_) onMoved_(this);
}

// ---- Scroll boxes ---------------------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 185, 41);
  SetAutoScroll(true);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& Params) {
  TScrollingWinControl::CreateParams(Params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
}

// ---- Type information -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TCustomPanel) {}

K58_IMPLEMENT_CLASS(TPanel) {
  PublishControl(b, {"Align", "Anchors", "AutoSize", "BorderWidth", "Caption", "Color", "Constraints", "Ctl3D",
                     "DockSite", "DragCursor", "DragKind", "DragMode", "Enabled", "Font", "ParentBackground",
                     "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
                     "TabOrder", "TabStop", "Visible"});
  b.Prop("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
  b.Prop("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(bvNone);
  b.Prop("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised);
  b.Prop("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Type("TBevelWidth").Default(1);
  b.Prop("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle)
      .Type(TBorderStyleTypeInfo())
      .Default(bsNone);
  b.Prop("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(true);
  PublishControl(b, {"OnCanResize", "OnClick", "OnConstrainedResize", "OnContextPopup", "OnDblClick", "OnDockDrop",
                     "OnDockOver", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit",
                     "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize", "OnStartDock",
                     "OnStartDrag", "OnUnDock"});
}

K58_IMPLEMENT_CLASS(TBevel) {
  PublishControl(b, {"Align", "Anchors", "Constraints", "ParentShowHint", "ShowHint", "Visible"});
  b.Prop("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
  b.Prop("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
}

K58_IMPLEMENT_CLASS(TImage) {
  PublishControl(b, {"Align", "Anchors", "AutoSize", "Constraints", "DragCursor", "DragKind", "DragMode",
                     "Enabled", "ParentShowHint", "PopupMenu", "ShowHint", "Visible"});
  b.Prop("Center", &TImage::Center, &TImage::SetCenter).Default(false);
  b.Prop("IncrementalDisplay", &TImage::IncrementalDisplay, &TImage::SetIncrementalDisplay).Default(false);
  b.Prop("Picture", &TImage::Picture, &TImage::SetPicture);
  b.Prop("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
  b.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
  b.Prop("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
  k58::forms::PublishGraphicEvents(b);
  b.Prop("OnProgress", &TImage::OnProgress, &TImage::SetOnProgress);
}

K58_IMPLEMENT_CLASS(TShape) {
  PublishControl(b, {"Align", "Anchors", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "ParentShowHint", "ShowHint", "Visible"});
  b.Prop("Brush", &TShape::Brush, &TShape::SetBrush);
  b.Prop("Pen", &TShape::Pen, &TShape::SetPen);
  b.Prop("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
  PublishControl(b, {"OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnMouseDown",
                     "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"});
}

K58_IMPLEMENT_CLASS(TPaintBox) {
  PublishControl(b, {"Align", "Anchors", "Color", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "Font", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "Visible"});
  k58::forms::PublishGraphicEvents(b);
  b.Prop("OnPaint", &TPaintBox::OnPaint, &TPaintBox::SetOnPaint);
}

K58_IMPLEMENT_CLASS(TSplitter) {
  PublishControl(b, {"Align", "Color", "Constraints", "ParentColor", "Visible"});
  b.Prop("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap).Default(true);
  b.Prop("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize).Type("NaturalNumber").Default(30);
  b.Prop("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle).Default(rsPattern);
  b.Prop("OnCanResize", &TSplitter::OnCanResize, &TSplitter::SetOnCanResize);
  b.Prop("OnMoved", &TSplitter::OnMoved, &TSplitter::SetOnMoved);
}

K58_IMPLEMENT_CLASS(TScrollBox) {
  PublishControl(b, {"Align", "Anchors", "AutoSize", "BorderWidth", "Color", "Constraints", "Ctl3D", "DockSite",
                     "DragCursor", "DragKind", "DragMode", "Enabled", "Font", "ParentBackground", "ParentColor",
                     "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop",
                     "Visible"});
  b.Prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(true);
  b.Prop("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle)
      .Type(TBorderStyleTypeInfo())
      .Default(bsSingle);
  b.Prop("HorzScrollBar", &TScrollingWinControl::HorzScrollBar, &TScrollingWinControl::SetHorzScrollBar);
  b.Prop("VertScrollBar", &TScrollingWinControl::VertScrollBar, &TScrollingWinControl::SetVertScrollBar);
  PublishControl(b, {"OnCanResize", "OnClick", "OnConstrainedResize", "OnContextPopup", "OnDblClick", "OnDockDrop",
                     "OnDockOver", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit",
                     "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseWheel",
                     "OnMouseWheelDown", "OnMouseWheelUp", "OnResize", "OnStartDock", "OnStartDrag", "OnUnDock"});
}
