// The clipboard object of the class library: text, pictures and raw formats over the window layer's
// clipboard, opened and closed around each call (or once around several with Open and Close).
//
// Pictures go to the clipboard in the picture format (CF_PICTURE: the graphic's class name and its file
// image, so any graphic comes back as it was) and, where there is one, in a standard format as well:
// bitmaps and JPEG pictures as CF_BITMAP, Windows metafiles as CF_METAFILEPICT, enhanced metafiles as
// CF_ENHMETAFILE. Reading prefers the picture format, then a metafile, then a bitmap.
//
// Threads: GUI thread only. Ownership: the global clipboard object belongs to the unit; one given to
// SetClipboard belongs to the caller again when it is replaced.
#pragma once

#include "platform/forms/Graphics.h"
#include "platform/win/ui/WinClipboard.h"

K58_DECLARE_EXCEPTION(EClipboardException, Exception);

namespace clipbrdconsts {
inline constexpr const char* SCannotOpenClipboard = "Cannot open clipboard";
inline constexpr const char* SUnknownClipboardFormat = "Unsupported clipboard format";
}  // namespace clipbrdconsts

// The picture clipboard format (registered on first use).
UINT PictureClipboardFormat();
extern const UINT CF_PICTURE;

class TClipboard : public TPersistent {
  K58_CLASS(TClipboard, TPersistent)

  TClipboard() = default;
  ~TClipboard() override;

  // Nested: only the outermost Open opens the window layer's clipboard. Raises EClipboardException
  // when another window holds it open.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(UINT Format);

  // A picture or a graphic replaces the clipboard's contents.
  void Assign(TPersistent* Source) override;
  // Empty when the clipboard holds no text.
  String AsText();
  void SetAsText(const String& Value);
  // The raw handle of a format (the clipboard keeps it) and setting one (the clipboard takes it).
  HANDLE GetAsHandle(UINT Format);
  void SetAsHandle(UINT Format, HANDLE Value);

 protected:
  // Into a picture, a bitmap or a metafile. A clipboard without a suitable format raises
  // EClipboardException; a picture whose data cannot be read raises EInvalidGraphic.
  void AssignTo(TPersistent* Dest) override;

 private:
  // Opens for the duration of the call (nested under an explicit Open).
  class Session;
  Integer openRefCount_ = 0;
  bool emptied_ = false;
};

// The clipboard the program uses.
TClipboard* Clipboard();
// Replaces it (nil: back to the unit's own); answers the previous one, which the caller now owns unless
// it is the unit's own.
TClipboard* SetClipboard(TClipboard* NewClipboard);
