// The canvas: drawing calls over a device context with the canvas's font, pen and brush.
#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/GraphicsInternal.h"

using namespace graphicsconsts;

namespace {

constexpr int kPenModes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,        R2_NOT,        R2_COPYPEN,   R2_NOTCOPYPEN,
                             R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,  R2_NOTMERGEPEN,
                             R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,     R2_NOTXORPEN};

// One drawing call under the canvas's lock, released also when it throws.
template <class Canvas, class Fn>
void Drawing(Canvas* canvas, Fn fn) {
  canvas->Lock();
  try {
    fn();
  } catch (...) {
    canvas->Unlock();
    throw;
  }
  canvas->Unlock();
}

}  // namespace

K58_IMPLEMENT_CLASS(TCanvas) {
  b.Prop("Brush", &TCanvas::Brush, &TCanvas::SetBrush);
  b.Prop("CopyMode", &TCanvas::CopyMode, &TCanvas::SetCopyMode).Default(cmSrcCopy);
  b.Prop("Font", &TCanvas::Font, &TCanvas::SetFont);
  b.Prop("Pen", &TCanvas::Pen, &TCanvas::SetPen);
}

TCanvas::TCanvas() : font_(new TFont()), pen_(new TPen()), brush_(new TBrush()) {
  font_->SetOnChange(TNotifyEvent(this, &TCanvas::FontChanged));
  pen_->SetOnChange(TNotifyEvent(this, &TCanvas::PenChanged));
  brush_->SetOnChange(TNotifyEvent(this, &TCanvas::BrushChanged));
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::Changing() { onChanging_(this); }

void TCanvas::Changed() { onChange_(this); }

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

// ---- Context and selected objects --------------------------------------------------------------------

void TCanvas::SetHandle(HDC Value) {
  if (Value == handle_) return;
  if (handle_) DeselectHandles();
  handle_ = Value;
  if (handle_) {
    state_.Include(csHandleValid);
  } else {
    state_.Exclude(csHandleValid);
  }
}

HDC TCanvas::Handle() {
  Changing();
  RequiredState(csAllValid);
  return handle_;
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState - state_;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (handle_ == nullptr) throw EInvalidOperation(SNoCanvas);
    state_.Include(csHandleValid);
  }
  if (needed.Contains(csFontValid)) SelectFont();
  if (needed.Contains(csPenValid)) SelectPen();
  if (needed.Contains(csBrushValid)) SelectBrush();
}

void TCanvas::DeselectHandles() {
  if (handle_ == nullptr) return;
  if (state_.Contains(csFontValid)) SelectObject(handle_, GetStockObject(SYSTEM_FONT));
  if (state_.Contains(csPenValid)) SelectObject(handle_, GetStockObject(BLACK_PEN));
  if (state_.Contains(csBrushValid)) SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
  state_ = state_ - TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::SelectFont() {
  SelectObject(handle_, font_->Handle());
  SetTextColor(handle_, ColorToRGB(font_->Color()));
  state_.Include(csFontValid);
}

void TCanvas::SelectPen() {
  SelectObject(handle_, pen_->Handle());
  SetROP2(handle_, kPenModes[pen_->Mode()]);
  state_.Include(csPenValid);
}

void TCanvas::SelectBrush() {
  SelectObject(handle_, brush_->Handle());
  if (brush_->Style() == bsSolid) {
    SetBkColor(handle_, ColorToRGB(brush_->Color()));
    SetBkMode(handle_, OPAQUE);
  } else {
    // Hatches and patterns leave the background alone.
    SetBkColor(handle_, ~ColorToRGB(brush_->Color()) & 0x00FFFFFF);
    SetBkMode(handle_, TRANSPARENT);
  }
  state_.Include(csBrushValid);
}

void TCanvas::FontChanged(TObject*) {
  if (state_.Contains(csFontValid) && handle_) {
    SelectObject(handle_, GetStockObject(SYSTEM_FONT));
    state_.Exclude(csFontValid);
  }
}

void TCanvas::PenChanged(TObject*) {
  if (state_.Contains(csPenValid) && handle_) {
    SelectObject(handle_, GetStockObject(BLACK_PEN));
    state_.Exclude(csPenValid);
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (state_.Contains(csBrushValid) && handle_) {
    SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
    state_.Exclude(csBrushValid);
  }
}

void TCanvas::Refresh() { DeselectHandles(); }

// ---- Drawing -----------------------------------------------------------------------------------------

void TCanvas::Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid});
    ::Arc(handle_, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
  });
}

void TCanvas::Chord(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Chord(handle_, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
  });
}

void TCanvas::Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Pie(handle_, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
  });
}

void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Ellipse(handle_, X1, Y1, X2, Y2);
    Changed();
  });
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Rectangle(handle_, X1, Y1, X2, Y2);
    Changed();
  });
}

void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::RoundRect(handle_, X1, Y1, X2, Y2, X3, Y3);
    Changed();
  });
}

void TCanvas::FillRect(const TRect& Rect) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::FillRect(handle_, &Rect, brush_->Handle());
    Changed();
  });
}

void TCanvas::FrameRect(const TRect& Rect) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::FrameRect(handle_, &Rect, brush_->Handle());
    Changed();
  });
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::DrawFocusRect(handle_, &Rect);
    Changed();
  });
}

void TCanvas::LineTo(Integer X, Integer Y) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::LineTo(handle_, X, Y);
    Changed();
  });
}

void TCanvas::MoveTo(Integer X, Integer Y) {
  RequiredState({csHandleValid});
  MoveToEx(handle_, X, Y, nullptr);
}

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  TPoint pos;
  GetCurrentPositionEx(handle_, &pos);
  return pos;
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polygon(handle_, Points.data(), static_cast<int>(Points.size()));
    Changed();
  });
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polyline(handle_, Points.data(), static_cast<int>(Points.size()));
    Changed();
  });
}

TColor TCanvas::Pixels(Integer X, Integer Y) {
  RequiredState({csHandleValid});
  COLORREF c = GetPixel(handle_, X, Y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixels(Integer X, Integer Y, TColor Value) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csPenValid});
    SetPixel(handle_, X, Y, ColorToRGB(Value));
    Changed();
  });
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  TRect r;
  GetClipBox(handle_, &r);
  return r;
}

// ---- Text --------------------------------------------------------------------------------------------

TSize TCanvas::TextExtent(const String& Text) {
  TSize size;
  Drawing(this, [&] {
    RequiredState({csHandleValid, csFontValid});
    GetTextExtentPoint32(handle_, Text.data(), static_cast<int>(Text.size()), &size);
  });
  return size;
}

void TCanvas::TextOut(Integer X, Integer Y, const String& Text) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    ExtTextOut(handle_, X, Y, static_cast<UINT>(textFlags_), nullptr, Text.data(), static_cast<UINT>(Text.size()),
               nullptr);
    TSize size;
    GetTextExtentPoint32(handle_, Text.data(), static_cast<int>(Text.size()), &size);
    MoveToEx(handle_, X + size.cx, Y, nullptr);
    Changed();
  });
}

void TCanvas::TextRect(const TRect& Rect, Integer X, Integer Y, const String& Text) {
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    UINT options = ETO_CLIPPED | static_cast<UINT>(textFlags_);
    if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
    ExtTextOut(handle_, X, Y, options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
  });
}

// ---- Copies and graphics -----------------------------------------------------------------------------

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (Canvas == nullptr) return;
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    Canvas->RequiredState({csHandleValid, csBrushValid});
    StretchBlt(handle_, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, Canvas->handle_,
               Source.left, Source.top, Source.right - Source.left, Source.bottom - Source.top,
               static_cast<DWORD>(copyMode_));
    Changed();
  });
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (Bitmap == nullptr || Bitmap->Empty()) return;
  const int dw = Dest.right - Dest.left;
  const int dh = Dest.bottom - Dest.top;
  if (dw <= 0 || dh <= 0) return;
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    // The source at the destination's size, and a mask that is white where it has the colour.
    HBITMAP image = k58::forms::NewBitmapHandle(dw, dh, false);
    HBITMAP mask = k58::forms::NewBitmapHandle(dw, dh, true);
    k58::forms::BitmapAccess::WithDC(Bitmap, [&](HDC src) {
      k58::forms::WithBitmapDC(image, [&](HDC imageDC) {
        SetStretchBltMode(imageDC, COLORONCOLOR);
        StretchBlt(imageDC, 0, 0, dw, dh, src, Source.left, Source.top, Source.right - Source.left,
                   Source.bottom - Source.top, SRCCOPY);
        k58::forms::WithBitmapDC(mask, [&](HDC maskDC) {
          SetBkColor(imageDC, ColorToRGB(Color));
          BitBlt(maskDC, 0, 0, dw, dh, imageDC, 0, 0, SRCCOPY);
        });
      });
    });
    k58::forms::WithBitmapDC(image, [&](HDC imageDC) {
      // Where the mask is white the brush is drawn, elsewhere the image is copied.
      MaskBlt(handle_, Dest.left, Dest.top, dw, dh, imageDC, 0, 0, mask, 0, 0, MAKEROP4(PATCOPY, SRCCOPY));
    });
    DeleteObject(image);
    DeleteObject(mask);
    Changed();
  });
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (Graphic == nullptr || Graphic->Empty()) return;
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid});
    SetBkColor(handle_, ColorToRGB(brush_->Color()));
    SetTextColor(handle_, ColorToRGB(font_->Color()));
    Graphic->Draw(this, TRect{X, Y, X + Graphic->Width(), Y + Graphic->Height()});
    Changed();
  });
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (Graphic == nullptr || Graphic->Empty()) return;
  Drawing(this, [&] {
    Changing();
    RequiredState({csHandleValid});
    Graphic->Draw(this, Rect);
    Changed();
  });
}
