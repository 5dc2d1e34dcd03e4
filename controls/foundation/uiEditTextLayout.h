// The editors' own text layout: a text is split into rows for a rectangle (line breaks, word wrap with or
// without breaking inside words, an end-ellipsis row), the rows are placed by horizontal alignment (left,
// centre, right, justified, distributed) and vertical alignment (top, centre, bottom, distributed over the
// height), and drawn on a device context with an optional end ellipsis and a highlighted selection; in
// calculation mode it reports the rectangle the text needs instead of drawing.
//
// Text is UTF-8 and a character is a code point; a byte that starts no well-formed sequence is a
// character of its own, and a sequence cut short by the end of the text is one character. Selection
// positions and the rows' start offsets count characters. Rows point into the caller's text, which must
// outlive them. Widths come from the device context's current font, whose character extents add up to
// the extent of a row.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "platform/forms/Graphics.h"

// ---- Text-out flags -----------------------------------------------------------------------------------
using TuiTextOutFlags = Cardinal;
// Horizontal alignment (bits 0-2): justified rows are stretched to the rectangle's width over their break
// characters, except the last row of a paragraph; distributed rows are stretched including last rows.
inline constexpr TuiTextOutFlags tofAlignLeft = 0x0;
inline constexpr TuiTextOutFlags tofAlignHCenter = 0x1;
inline constexpr TuiTextOutFlags tofAlignRight = 0x2;
inline constexpr TuiTextOutFlags tofAlignJustify = 0x3;
inline constexpr TuiTextOutFlags tofAlignDistribute = 0x4;
inline constexpr TuiTextOutFlags tofAlignHorzMask = 0x7;
// Vertical alignment (bits 4-5): distributed rows spread over the rectangle's height.
inline constexpr TuiTextOutFlags tofAlignTop = 0x00;
inline constexpr TuiTextOutFlags tofAlignVCenter = 0x10;
inline constexpr TuiTextOutFlags tofAlignBottom = 0x20;
inline constexpr TuiTextOutFlags tofAlignVDistribute = 0x30;
inline constexpr TuiTextOutFlags tofAlignVertMask = 0x30;
inline constexpr TuiTextOutFlags tofClampLeft = 0x40;        // no row starts left of the rectangle
inline constexpr TuiTextOutFlags tofClampTop = 0x80;         // the text block does not start above it
inline constexpr TuiTextOutFlags tofWordBreak = 0x100;       // rows wrap at the rectangle's width
inline constexpr TuiTextOutFlags tofSingleLine = 0x200;
inline constexpr TuiTextOutFlags tofExpandTabs = 0x400;
inline constexpr TuiTextOutFlags tofEndEllipsis = 0x800;
inline constexpr TuiTextOutFlags tofExternalLeading = 0x2000;  // the font's external leading between rows
inline constexpr TuiTextOutFlags tofWholeRows = 0x4000;        // a row that does not fit wholly ends the text
inline constexpr TuiTextOutFlags tofNoClip = 0x8000;
inline constexpr TuiTextOutFlags tofCharBreak = 0x20000;       // words longer than a row break between characters
inline constexpr TuiTextOutFlags tofCalcRect = 0x100000;       // compute the needed rectangle, draw nothing
inline constexpr TuiTextOutFlags tofCalcRowCount = 0x200000;   // answer the row count, not the text height

enum TuiTextHorzAlignment { thaLeft, thaCenter, thaRight, thaJustify, thaDistribute };
enum TuiTextVertAlignment { tvaTop, tvaCenter, tvaBottom, tvaDistribute };

// The layout parameters of a set of flags with a device context's font.
struct TuiTextParams {
  Integer CharHeight = 0;       // tmHeight
  Integer ExternalLeading = 0;  // with tofExternalLeading only
  Integer RowHeight = 0;        // CharHeight + ExternalLeading
  Integer EllipsisWidth = 0;    // of "..." with tofEndEllipsis, else 0
  Byte BreakChar = ' ';         // tmBreakChar
  Integer MaxCharWidth = 0;     // tmMaxCharWidth
  Integer AveCharWidth = 0;     // tmAveCharWidth: default tab stops are eight of them apart
  TuiTextHorzAlignment HorzAlignment = thaLeft;
  TuiTextVertAlignment VertAlignment = tvaTop;
  bool WordBreak = false;
  bool SingleLine = false;
  bool ExpandTabs = false;
  bool EndEllipsis = false;
  bool UseExternalLeading = false;
  bool WholeRows = false;
  bool NoClip = false;
  bool ClampLeft = false;
  bool ClampTop = false;
  bool CharBreak = false;
  bool RowCountResult = false;
  bool CalcRect = false;
};

// One row: a stretch of the text, its extent, its break characters and where it is drawn.
struct TuiTextRow {
  const char* Text = nullptr;  // its first byte in the caller's text
  Integer TextLength = 0;      // in bytes
  TSize TextExtents{};         // with tabs expanded under tofExpandTabs
  Integer BreakCount = 0;      // break characters (the font's and Tab) that justification stretches
  TPoint TextOrigin{};         // set by PositionTextRows
  Integer StartOffset = 0;     // characters of the text before the row
};
using TuiTextRows = std::vector<TuiTextRow>;

// The text ellipsis.
inline constexpr std::string_view uiTextEllipsis = "...";

TuiTextParams CalculateTextParams(HDC DC, TuiTextOutFlags AFlags);
// The same with the canvas's context (made when needed) and font.
TuiTextParams CalculateCanvasTextParams(TCanvas* ACanvas, TuiTextOutFlags AFlags);

// Splits the text into rows for the rectangle (ARows is refilled). False only when rows were cut off by
// AMaxLineCount while text remained (not in single-line or calculation mode).
bool BuildTextRows(HDC DC, std::string_view AText, const TRect& ARect, Integer AMaxLineCount,
                   const TuiTextParams& AParams, TuiTextRows& ARows);
bool BuildCanvasTextRows(TCanvas* ACanvas, std::string_view AText, const TRect& ARect, Integer AMaxLineCount,
                         const TuiTextParams& AParams, TuiTextRows& ARows);
// Sets the origin of the first ARowCount rows.
void PositionTextRows(HDC DC, const TRect& ARect, const TuiTextParams& AParams, Integer ARowCount, TuiTextRows& ARows);
// Draws the first ARowCount positioned rows in the context's text colour on a transparent background; the
// characters from ASelStart (ASelLength of them) on a fill of ASelBackColor in ASelTextColor.
void DrawTextRows(HDC DC, const TRect& ARect, const TuiTextParams& AParams, bool AIsTruncated, TColor ASelTextColor,
                  TColor ASelBackColor, Integer ASelLength, Integer ASelStart, Integer ARowCount,
                  const TuiTextRows& ARows);
// The widest of the first ACount rows (0 for none).
Integer GetMaxTextRowWidth(const TuiTextRows& ARows, Integer ACount);
// Left moves right by ALeftIndent and Right left by ARightIndent; WidenRect moves them back.
TRect NarrowRect(const TRect& ARect, Integer ALeftIndent, Integer ARightIndent);
TRect WidenRect(const TRect& ARect, Integer ALeftIndent, Integer ARightIndent);

// Lays the text out in ARect narrowed by the indents and draws it, or with tofCalcRect sets ARect to the
// rectangle the text needs (widened by the indents again). Answers the text height, or the row count with
// tofCalcRowCount or when the height is 0; 0 for an empty text or a rectangle with no room.
Integer LayoutAndDrawText(HDC DC, std::string_view AText, TRect& ARect, Integer ARightIndent, Integer ALeftIndent,
                          Integer AMaxLineCount, TColor ASelTextColor, TColor ASelBackColor, Integer ASelLength,
                          Integer ASelStart, TuiTextOutFlags AFlags);
Integer LayoutAndDrawCanvasText(TCanvas* ACanvas, std::string_view AText, TRect& ARect, Integer ARightIndent,
                                Integer ALeftIndent, Integer AMaxLineCount, TColor ASelTextColor,
                                TColor ASelBackColor, Integer ASelLength, Integer ASelStart, TuiTextOutFlags AFlags);
// Without a selection, in the canvas font's colour.
void DrawTextOnCanvas(TCanvas* ACanvas, std::string_view AText, TRect& ARect, Integer ARightIndent,
                      Integer ALeftIndent, Integer AMaxLineCount, TuiTextOutFlags AFlags);

namespace k58::foundation {

// The length in bytes of the character at AText[APos] (APos < size): a well-formed UTF-8 sequence, a
// sequence cut short by the end of the text, or else one byte.
size_t TextCharLength(std::string_view AText, size_t APos);

// One text output of DrawTextRows (a row, its selected part drawn again, or an ellipsis), with the
// justification in force for it.
struct TTextRowOutput {
  Integer X = 0;
  Integer Y = 0;
  String Text;
  bool Tabbed = false;
  Integer JustifyExtra = 0;
  Integer JustifyBreakCount = 0;
  COLORREF TextColor = 0;
};
using TTextRowOutputObserver = std::function<void(const TTextRowOutput& AOutput)>;
// Tests watch the outputs through an observer (empty: none); answers the one installed before.
TTextRowOutputObserver SetTextRowOutputObserver(TTextRowOutputObserver AObserver);

}  // namespace k58::foundation
