// Helpers shared by the skinning's source files: colour channels, error containment and the hooks of
// the control painters into the walk and the manager.
#pragma once

#include <functional>

#include "skin/SkinMenu.h"

namespace k58::skin {

// The red, green and blue of a colour (system colours resolved).
struct Channels {
  explicit Channels(TColor Color) {
    COLORREF c = ColorToRGB(Color);
    R = static_cast<Integer>(c & 0xFF);
    G = static_cast<Integer>((c >> 8) & 0xFF);
    B = static_cast<Integer>((c >> 16) & 0xFF);
  }
  Integer R, G, B;
};

inline TColor Rgb(Integer R, Integer G, Integer B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }

// A rectangle's outline in Pen, the inside left as it is.
inline void OutlineRect(TCanvas* C, const TRect& R, TColor Pen) {
  C->Pen()->SetColor(Pen);
  C->Brush()->SetStyle(bsClear);
  C->Rectangle(R);
  C->Brush()->SetStyle(bsSolid);
}

bool RunIgnoringPainterErrors(const std::function<void()>& Step);

// The control part of the walk: subclasses (or, with Repaint, repaints) a standard control the painter
// selects by its kind and its parent's.
void StyleControl(TSkinMenu* SkinMenu, TControl* Control, bool Enable, bool Repaint);
// Before a painter goes, every control it subclassed gets its own window procedure back.
void ReleaseSubclasses(TSkinMenu* SkinMenu);
// The manager's hand-over and restore of subclassed controls.
void HandOverSubclasses(TSkinMenu* From, TSkinMenu* To, TCustomForm* KeepForm);
void RestoreSubclasses(TSkinMenu* Owner, TWinControl* Container);
// Paints the flat border of a popup menu window (FlatMenu).
void DrawPopupBorder(TSkinMenu* SkinMenu, HWND Window, bool RightToLeft);

}  // namespace k58::skin
