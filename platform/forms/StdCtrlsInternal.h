// Helpers shared by the files of the standard and common controls.
#pragma once

#include "platform/forms/Controls.h"

namespace k58::forms::std_internal {

// Byte offset in Text of the character (code point) at Index; Text's size past the end.
size_t ByteOffset(const String& Text, Integer Index);
// Number of characters (code points) of Text.
Integer CharCount(const String& Text);
// The characters [Start, Start + Count) of Text.
String CharCopy(const String& Text, Integer Start, Integer Count);

// The text of a window of no control.
String WindowText(HWND Wnd);

// A canvas on a screen device context, for measuring text with a font outside painting.
class ScreenCanvas {
 public:
  explicit ScreenCanvas(TFont* Font);
  ~ScreenCanvas();
  ScreenCanvas(const ScreenCanvas&) = delete;
  ScreenCanvas& operator=(const ScreenCanvas&) = delete;
  TCanvas* Canvas() { return canvas_.get(); }
  HDC DC() { return canvas_->Handle(); }

 private:
  TObjectPtr<TCanvas> canvas_;
  HDC dc_;
};

// Shift state of a key message's key data is empty: no Shift, Ctrl or Alt.
bool NoModifiers(LPARAM KeyData);

// Owner-draw state of a DRAWITEMSTRUCT's itemState.
TOwnerDrawState OwnerDrawState(UINT ItemState);

}  // namespace k58::forms::std_internal
