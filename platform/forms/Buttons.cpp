// The speed button and the bit button: glyph strips, the placement of glyph and caption, and their
// plain look.
#include "platform/forms/Buttons.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/win/Windows.h"
#include "platform/win/builtin/CommCtrl.h"

namespace k58::forms {

ButtonPlacement PlaceGlyphAndCaption(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout,
                                     Integer Spacing) {
  const bool glyph = GlyphSize.cx > 0 && GlyphSize.cy > 0;
  const bool text = TextSize.cx > 0;
  if (!glyph || !text) Spacing = 0;
  const bool across = Layout == blGlyphLeft || Layout == blGlyphRight;
  const Integer cw = Client.right - Client.left, ch = Client.bottom - Client.top;
  const Integer blockW = across ? GlyphSize.cx + Spacing + TextSize.cx : std::max(GlyphSize.cx, TextSize.cx);
  const Integer blockH = across ? std::max(GlyphSize.cy, TextSize.cy) : GlyphSize.cy + Spacing + TextSize.cy;
  const Integer x = Client.left + (cw - blockW) / 2, y = Client.top + (ch - blockH) / 2;
  ButtonPlacement p{};
  switch (Layout) {
    case blGlyphLeft:
      p.Glyph = {x, Client.top + (ch - GlyphSize.cy) / 2};
      p.Text = {x + GlyphSize.cx + Spacing, Client.top + (ch - TextSize.cy) / 2, 0, 0};
      break;
    case blGlyphRight:
      p.Text = {x, Client.top + (ch - TextSize.cy) / 2, 0, 0};
      p.Glyph = {x + TextSize.cx + Spacing, Client.top + (ch - GlyphSize.cy) / 2};
      break;
    case blGlyphTop:
      p.Glyph = {Client.left + (cw - GlyphSize.cx) / 2, y};
      p.Text = {Client.left + (cw - TextSize.cx) / 2, y + GlyphSize.cy + Spacing, 0, 0};
      break;
    case blGlyphBottom:
      p.Text = {Client.left + (cw - TextSize.cx) / 2, y, 0, 0};
      p.Glyph = {Client.left + (cw - GlyphSize.cx) / 2, y + TextSize.cy + Spacing};
      break;
  }
  p.Text.right = p.Text.left + TextSize.cx;
  p.Text.bottom = p.Text.top + TextSize.cy;
  return p;
}

void CopyGlyphSection(TBitmap* Strip, Integer NumGlyphs, Integer Section, TBitmap* Target) {
  if (Strip == nullptr || Strip->Empty() || NumGlyphs < 1) return;
  const Integer w = Strip->Width() / NumGlyphs, h = Strip->Height();
  if (w <= 0) return;
  Section = std::clamp<Integer>(Section, 0, NumGlyphs - 1);
  Target->SetSize(w, h);
  BitBlt(Target->Canvas()->Handle(), 0, 0, w, h, Strip->Canvas()->Handle(), Section * w, 0, SRCCOPY);
}

}  // namespace k58::forms

namespace {

// The glyph of a state and the caption at their places, the caption grey when disabled.
void DrawGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TBitmap* Strip, Integer NumGlyphs, Integer Section,
                         const String& Caption, TButtonLayout Layout, Integer Spacing, bool Enabled, Integer Shift) {
  TBitmap glyph;
  k58::forms::CopyGlyphSection(Strip, NumGlyphs, Section, &glyph);
  TSize glyphSize{glyph.Empty() ? 0 : glyph.Width(), glyph.Empty() ? 0 : glyph.Height()};
  TSize textSize = Caption.empty() ? TSize{0, 0} : Canvas->TextExtent(StripHotkey(Caption));
  auto p = k58::forms::PlaceGlyphAndCaption(Client, glyphSize, textSize, Layout, Spacing);
  if (glyphSize.cx > 0) {
    glyph.SetTransparent(true);
    Canvas->Draw(p.Glyph.x + Shift, p.Glyph.y + Shift, &glyph);
  }
  if (!Caption.empty()) {
    RECT r = p.Text;
    OffsetRect(&r, Shift, Shift);
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    Canvas->Font()->SetColor(Enabled ? clBtnText : clGrayText);
    DrawTextExA(Canvas->Handle(), Caption.c_str(), static_cast<int>(Caption.size()), &r, DT_SINGLELINE | DT_LEFT, nullptr);
  }
}

}  // namespace

// ---- TSpeedButton ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TSpeedButton) {
  PublishControl(b, {"Align", "Anchors", "Caption", "Enabled", "Font", "ParentFont", "ParentShowHint", "ShowHint",
                     "Visible", "OnClick"});
  b.Prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
  b.Prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
  b.Prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
  b.Prop("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
  b.Prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  b.Prop("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
  b.Prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
  b.Prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
  b.Prop("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(true);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 23, 22);
  glyph_.Strip->SetOnChange(TNotifyEvent(this, &TSpeedButton::GlyphChanged));
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetFlat(bool Value) {
  flat_ = Value;
  Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
  if (groupIndex_ == 0) Value = false;
  if (Value == down_) return;
  if (down_ && !Value && !allowAllUp_) {
    // The last button of a group stays down unless the group allows all up.
    bool other = false;
    if (Parent() != nullptr) {
      for (Integer i = 0; i < Parent()->ControlCount(); ++i) {
        auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
        other = other || (b != nullptr && b != this && b->groupIndex_ == groupIndex_ && b->down_);
      }
    }
    if (!other) return;
  }
  down_ = Value;
  if (down_ && Parent() != nullptr) {
    for (Integer i = 0; i < Parent()->ControlCount(); ++i) {
      auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
      if (b != nullptr && b != this && b->groupIndex_ == groupIndex_ && b->down_) {
        b->down_ = false;
        b->Invalidate();
      }
    }
  }
  Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
  transparent_ = Value;
  Invalidate();
}

void TSpeedButton::Click() {
  if (groupIndex_ != 0) SetDown(allowAllUp_ ? !down_ : true);
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Enabled()) {
    dragging_ = true;
    state_ = bsDown;
    Invalidate();
  }
}

void TSpeedButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!dragging_) return;
  TButtonState now = X >= 0 && X < Width() && Y >= 0 && Y < Height() ? bsDown : bsUp;
  if (now != state_) {
    state_ = now;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!dragging_ || Button != mbLeft) return;
  dragging_ = false;
  state_ = bsUp;
  Invalidate();
}

void TSpeedButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) {
    mouseIn_ = Message.Msg == CM_MOUSEENTER;
    if (flat_) Invalidate();
  }
  TGraphicControl::Dispatch(Message);
}

void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  const bool pressed = state_ == bsDown;
  if (!transparent_ || !flat_) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
  }
  if (flat_) {
    if (down_ || pressed) DrawEdge(c->Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
    else if (mouseIn_ && Enabled()) DrawEdge(c->Handle(), &r, BDR_RAISEDINNER, BF_RECT);
  } else {
    DrawEdge(c->Handle(), &r, down_ || pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  Integer section = 0;
  if (!Enabled() && glyph_.NumGlyphs > 1) section = 1;
  else if (pressed && glyph_.NumGlyphs > 2) section = 2;
  else if (down_ && glyph_.NumGlyphs > 3) section = 3;
  c->Font()->Assign(Font());
  DrawGlyphAndCaption(c, ClientRect(), glyph_.Strip.get(), glyph_.NumGlyphs, section, Caption(), glyph_.Layout,
                      glyph_.Spacing, Enabled(),
                      down_ || pressed ? 1 : 0);
}

// ---- TBitBtn ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TBitBtn) {
  b.Prop("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  b.Prop("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
  b.Prop("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1);
  b.Prop("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
  glyph_.Strip->SetOnChange(TNotifyEvent(this, &TBitBtn::GlyphChanged));
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::GlyphChanged(TObject*) { Invalidate(); }
void TBitBtn::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  Params.Style = (Params.Style & ~0xFu) | BS_OWNERDRAW;
}

void TBitBtn::SetButtonStyle(bool ADefault) {
  if (isDefault_ != ADefault) {
    isDefault_ = ADefault;
    Invalidate();
  }
}

void TBitBtn::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_DRAWITEM) {
    if (auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)) DrawItem(*item);
    Message.Result = 1;
    return;
  }
  TButton::Dispatch(Message);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
  TCanvas canvas;
  canvas.SetHandle(Item.hDC);
  canvas.Font()->Assign(Font());
  RECT r = Item.rcItem;
  const bool pressed = (Item.itemState & ODS_SELECTED) != 0;
  if (isDefault_) {
    FrameRect(Item.hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(Item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
  Integer section = 0;
  if (!Enabled() && glyph_.NumGlyphs > 1) section = 1;
  else if (pressed && glyph_.NumGlyphs > 2) section = 2;
  DrawGlyphAndCaption(&canvas, Item.rcItem, glyph_.Strip.get(), glyph_.NumGlyphs, section, Caption(),
                      glyph_.Layout, glyph_.Spacing,
                      Enabled(), pressed ? 1 : 0);
  if (Item.itemState & ODS_FOCUS) {
    RECT f = Item.rcItem;
    InflateRect(&f, -4, -4);
    DrawFocusRect(Item.hDC, &f);
  }
  canvas.SetHandle(nullptr);
}
