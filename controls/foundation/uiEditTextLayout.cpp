// Row building, positioning and drawing of the editors' text layout.
#include "controls/foundation/uiEditTextLayout.h"

#include <algorithm>
#include <climits>

#include "platform/rtl/Utf.h"

namespace {

using k58::foundation::TextCharLength;

k58::foundation::TTextRowOutputObserver outputObserver;

// Texts longer than this are laid out up to it (the platform's text calls count in int).
constexpr size_t kMaxTextBytes = 0x3FFFFFFF;

std::string_view Bounded(std::string_view AText) { return AText.substr(0, std::min(AText.size(), kMaxTextBytes)); }

bool IsContinuation(unsigned char AByte) { return (AByte & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts; 0 for a byte that starts none.
size_t SequenceLength(unsigned char AByte) {
  if (AByte < 0x80) return 1;
  if (AByte >= 0xC2 && AByte <= 0xDF) return 2;
  if (AByte >= 0xE0 && AByte <= 0xEF) return 3;
  if (AByte >= 0xF0 && AByte <= 0xF4) return 4;
  return 0;
}

bool IsJustified(const TuiTextParams& AParams) {
  return AParams.HorzAlignment == thaJustify || AParams.HorzAlignment == thaDistribute;
}

bool IsBreakChar(char AChar, const TuiTextParams& AParams) {
  return static_cast<Byte>(AChar) == AParams.BreakChar || AChar == '\t';
}

Integer RectWidth(const TRect& R) { return R.right - R.left; }
Integer RectHeight(const TRect& R) { return R.bottom - R.top; }

Integer CharCount(std::string_view AText) {
  Integer count = 0;
  for (size_t pos = 0; pos < AText.size(); pos += TextCharLength(AText, pos)) ++count;
  return count;
}

// The byte offset of character AChar of the text (its size past the last one).
size_t CharToByte(std::string_view AText, Integer AChar) {
  size_t pos = 0;
  for (Integer i = 0; i < AChar && pos < AText.size(); ++i) pos += TextCharLength(AText, pos);
  return pos;
}

// The widths of the characters of a text, from one measurement of the whole of it (the extents of the
// characters add up), with tabs expanded to the default stops (every eight average character widths)
// from the start of their row when asked.
class CharWidths {
 public:
  CharWidths(HDC DC, std::string_view AText, const TuiTextParams& AParams)
      : extents_(AText.size()), tabInterval_(AParams.ExpandTabs ? 8 * AParams.AveCharWidth : -1), text_(AText) {
    if (AText.empty()) return;
    SIZE size{};
    if (!::GetTextExtentExPoint(DC, AText.data(), static_cast<int>(AText.size()), 0, nullptr, extents_.data(), &size))
      std::fill(extents_.begin(), extents_.end(), 0);
  }

  // The width of the character at bytes [AStart, AEnd) placed at ARowX from the start of its row.
  Integer Of(size_t AStart, size_t AEnd, Integer ARowX) const {
    if (tabInterval_ >= 0 && text_[AStart] == '\t')
      return tabInterval_ > 0 ? (ARowX / tabInterval_ + 1) * tabInterval_ - ARowX : 0;
    return extents_[AEnd - 1] - (AStart > 0 ? extents_[AStart - 1] : 0);
  }

  // The width of the bytes [AStart, AEnd) as one row.
  Integer OfRow(size_t AStart, size_t AEnd) const {
    Integer width = 0;
    for (size_t pos = AStart; pos < AEnd;) {
      const size_t next = std::min(AEnd, pos + TextCharLength(text_, pos));
      width += Of(pos, next, width);
      pos = next;
    }
    return width;
  }

 private:
  std::vector<INT> extents_;  // after each byte, from the start of the text
  Integer tabInterval_;       // -1: tabs are not expanded
  std::string_view text_;
};

// Builds the rows of one text.
class RowBuilder {
 public:
  RowBuilder(HDC DC, std::string_view AText, const TuiTextParams& AParams)
      : text_(AText), params_(AParams), widths_(DC, AText, AParams) {}

  bool TextRemains() const { return pos_ < text_.size(); }

  // The whole rest of the text as one row.
  TuiTextRow BuildWhole() {
    TuiTextRow row = MakeRow(pos_, text_.size(), CharCount(text_.substr(pos_)), 0);
    pos_ = text_.size();
    return row;
  }

  // One row from the rest of the text, at most AWidth wide where it may be broken.
  TuiTextRow Build(Integer AWidth, bool AIsLast) {
    const bool justified = IsJustified(params_);
    const bool wrapping = !params_.SingleLine && (params_.WordBreak || justified);
    const bool breakWords = wrapping && params_.CharBreak;
    const bool ellipsisRow = !params_.WholeRows && !params_.NoClip && !justified && AIsLast && params_.EndEllipsis;
    const bool lineBreaksEnd = !ellipsisRow && !params_.SingleLine;
    const bool measured = wrapping || ellipsisRow || params_.SingleLine;

    const size_t start = pos_;
    size_t end = pos_;
    Integer chars = 0, breaks = 0, width = 0;
    // The row so far up to and including its last break character.
    bool brokeOnce = false;
    size_t breakEnd = 0;
    Integer breakChars = 0, breakBreaks = 0;
    bool endedAtLineBreak = false;
    while (end < text_.size()) {
      const char c = text_[end];
      if ((c == '\r' || c == '\n') && lineBreaksEnd) {
        endedAtLineBreak = true;
        break;
      }
      const size_t charStart = end, next = end + TextCharLength(text_, end);
      const bool isBreak = next == end + 1 && IsBreakChar(c, params_);
      const Integer charWidth = measured ? widths_.Of(end, next, width) : 0;
      end = next;
      ++chars;
      width += charWidth;
      if (isBreak) {
        ++breaks;
        brokeOnce = true;
        breakEnd = end;
        breakChars = chars;
        breakBreaks = breaks;
      }
      if (!measured || width <= AWidth) continue;
      if (ellipsisRow || params_.SingleLine) break;
      if (brokeOnce) {
        end = breakEnd;
        chars = breakChars;
        breaks = breakBreaks;
        break;
      }
      if (breakWords) {
        if (chars > 1) {  // the overflowing character starts the next row
          end = charStart;
          --chars;
        }
        break;
      }
      // Without a break character the word overflows the row.
    }
    if (endedAtLineBreak && params_.HorzAlignment == thaJustify) breaks = 0;
    if (justified)
      while (end > start && IsBreakChar(text_[end - 1], params_)) {
        --end;
        --chars;
        --breaks;
      }
    TuiTextRow row = MakeRow(start, end, chars, std::max(breaks, 0));
    // The next row starts after the font's break characters, then at most one Tab, one CR and one LF
    // (each a character of one byte).
    pos_ = end;
    while (pos_ < text_.size() && static_cast<Byte>(text_[pos_]) == params_.BreakChar) Skip();
    bool skippedCr = false;
    if (pos_ < text_.size() && text_[pos_] == '\t') Skip();
    if (pos_ < text_.size() && text_[pos_] == '\r') {
      Skip();
      skippedCr = true;
    }
    if (pos_ < text_.size() && text_[pos_] == '\n') Skip();
    if ((skippedCr || pos_ >= text_.size()) && params_.HorzAlignment == thaJustify) row.BreakCount = 0;
    // Every row moves on (a guard: the rules above always take a character or a line break).
    if (pos_ == start) {
      pos_ = start + TextCharLength(text_, start);
      ++posChar_;
    }
    return row;
  }

 private:
  void Skip() {
    ++pos_;
    ++posChar_;
  }

  // The row [AStart, AEnd) of AChars characters, starting at the character at pos_.
  TuiTextRow MakeRow(size_t AStart, size_t AEnd, Integer AChars, Integer ABreaks) {
    TuiTextRow row;
    row.Text = text_.data() + AStart;
    row.TextLength = static_cast<Integer>(AEnd - AStart);
    row.TextExtents = TSize{widths_.OfRow(AStart, AEnd), params_.CharHeight};
    row.BreakCount = ABreaks;
    row.StartOffset = posChar_;
    posChar_ += AChars;
    return row;
  }

  std::string_view text_;
  const TuiTextParams& params_;
  CharWidths widths_;
  size_t pos_ = 0;
  Integer posChar_ = 0;  // the character at pos_
};

void Observe(HDC DC, Integer X, Integer Y, std::string_view AText, bool ATabbed, Integer AJustifyExtra,
             Integer AJustifyBreaks) {
  if (!outputObserver) return;
  k58::foundation::TTextRowOutput output;
  output.X = X;
  output.Y = Y;
  output.Text = String(AText);
  output.Tabbed = ATabbed;
  output.JustifyExtra = AJustifyExtra;
  output.JustifyBreakCount = AJustifyBreaks;
  output.TextColor = ::GetTextColor(DC);
  outputObserver(output);
}

// Writes a row's text at its origin: with tabs expanded from the row's start under tofExpandTabs.
void WriteRowText(HDC DC, Integer X, Integer Y, std::string_view AText, const TuiTextParams& AParams,
                  Integer AJustifyExtra, Integer AJustifyBreaks) {
  Observe(DC, X, Y, AText, AParams.ExpandTabs, AJustifyExtra, AJustifyBreaks);
  if (AParams.ExpandTabs)
    ::TabbedTextOut(DC, X, Y, AText.data(), static_cast<int>(AText.size()), 0, nullptr, X);
  else
    ::TextOut(DC, X, Y, AText.data(), static_cast<int>(AText.size()));
}

// The extent of a row's first bytes as drawn (justification and tabs included).
Integer DrawnExtent(HDC DC, std::string_view AText, const TuiTextParams& AParams) {
  if (AText.empty()) return 0;
  if (AParams.ExpandTabs && AText.find('\t') != std::string_view::npos)
    return LOWORD(::GetTabbedTextExtent(DC, AText.data(), static_cast<int>(AText.size()), 0, nullptr));
  SIZE size{};
  ::GetTextExtentPoint32(DC, AText.data(), static_cast<int>(AText.size()), &size);
  return size.cx;
}

// The bytes of the row that fit in AWidth, at least one character (none for an empty row).
size_t FittingBytes(HDC DC, std::string_view ARow, const TuiTextParams& AParams, Integer AWidth, Integer& AFitWidth) {
  const CharWidths widths(DC, ARow, AParams);
  size_t fit = 0;
  AFitWidth = 0;
  while (fit < ARow.size()) {
    const size_t next = fit + TextCharLength(ARow, fit);
    const Integer width = AFitWidth + widths.Of(fit, next, AFitWidth);
    if (width > AWidth && fit > 0) break;
    fit = next;
    AFitWidth = width;
  }
  return fit;
}

}  // namespace

// ---- Parameters -----------------------------------------------------------------------------------------

TuiTextParams CalculateTextParams(HDC DC, TuiTextOutFlags AFlags) {
  TuiTextParams params;
  TEXTMETRIC metrics;
  if (!::GetTextMetrics(DC, &metrics)) metrics = TEXTMETRIC{};
  const Cardinal horz = AFlags & tofAlignHorzMask;
  params.HorzAlignment = horz <= tofAlignDistribute ? static_cast<TuiTextHorzAlignment>(horz) : thaLeft;
  params.VertAlignment = static_cast<TuiTextVertAlignment>((AFlags & tofAlignVertMask) >> 4);
  params.ClampLeft = (AFlags & tofClampLeft) != 0;
  params.ClampTop = (AFlags & tofClampTop) != 0;
  params.WordBreak = (AFlags & tofWordBreak) != 0;
  params.SingleLine = (AFlags & tofSingleLine) != 0;
  params.ExpandTabs = (AFlags & tofExpandTabs) != 0;
  params.EndEllipsis = (AFlags & tofEndEllipsis) != 0;
  params.UseExternalLeading = (AFlags & tofExternalLeading) != 0;
  params.WholeRows = (AFlags & tofWholeRows) != 0;
  params.NoClip = (AFlags & tofNoClip) != 0;
  params.CharBreak = (AFlags & tofCharBreak) != 0;
  params.CalcRect = (AFlags & tofCalcRect) != 0;
  params.RowCountResult = (AFlags & tofCalcRowCount) != 0;
  params.CharHeight = metrics.tmHeight;
  params.ExternalLeading = params.UseExternalLeading ? metrics.tmExternalLeading : 0;
  params.RowHeight = params.CharHeight + params.ExternalLeading;
  // A break character must be a character of one byte in UTF-8 text.
  params.BreakChar = metrics.tmBreakChar < 0x80 ? metrics.tmBreakChar : ' ';
  params.MaxCharWidth = metrics.tmMaxCharWidth;
  params.AveCharWidth = metrics.tmAveCharWidth;
  if (params.EndEllipsis) {
    SIZE size{};
    ::GetTextExtentPoint32(DC, uiTextEllipsis.data(), static_cast<int>(uiTextEllipsis.size()), &size);
    params.EllipsisWidth = size.cx;
  }
  return params;
}

TuiTextParams CalculateCanvasTextParams(TCanvas* ACanvas, TuiTextOutFlags AFlags) {
  return CalculateTextParams(ACanvas->Handle(), AFlags);
}

// ---- Rows -----------------------------------------------------------------------------------------------

bool BuildTextRows(HDC DC, std::string_view AText, const TRect& ARect, Integer AMaxLineCount,
                   const TuiTextParams& AParams, TuiTextRows& ARows) {
  ARows.clear();
  AText = Bounded(AText);
  if (AText.empty()) return true;
  RowBuilder builder(DC, AText, AParams);
  if (AParams.CalcRect && AParams.SingleLine) {
    ARows.push_back(builder.BuildWhole());
    return true;
  }
  const Integer width = RectWidth(ARect), height = RectHeight(ARect);
  const bool limitedByCount = AParams.VertAlignment != tvaTop || AParams.CalcRect;
  const bool wholeRowsOnly = AParams.WholeRows && !AParams.NoClip;
  bool last = false;
  while (builder.TextRemains() && !last) {
    const auto number = static_cast<Integer>(ARows.size()) + 1;
    if (AParams.SingleLine)
      last = true;
    else if (limitedByCount)
      last = AMaxLineCount > 0 && number == AMaxLineCount;
    else if (!wholeRowsOnly)
      last = static_cast<long long>(number) * AParams.RowHeight > height;
    else
      last = static_cast<long long>(number + 1) * AParams.RowHeight > height;
    if (ARows.size() == ARows.capacity()) ARows.reserve(ARows.size() + 4);
    ARows.push_back(builder.Build(width, last));
  }
  return AParams.SingleLine || AParams.CalcRect || AMaxLineCount < 1 ||
         static_cast<Integer>(ARows.size()) != AMaxLineCount || !builder.TextRemains();
}

bool BuildCanvasTextRows(TCanvas* ACanvas, std::string_view AText, const TRect& ARect, Integer AMaxLineCount,
                         const TuiTextParams& AParams, TuiTextRows& ARows) {
  return BuildTextRows(ACanvas->Handle(), AText, ARect, AMaxLineCount, AParams, ARows);
}

void PositionTextRows(HDC, const TRect& ARect, const TuiTextParams& AParams, Integer ARowCount, TuiTextRows& ARows) {
  ARowCount = std::clamp<Integer>(ARowCount, 0, static_cast<Integer>(ARows.size()));
  if (ARowCount == 0) return;
  Integer rowHeight = AParams.RowHeight, spare = 0;
  if (AParams.VertAlignment == tvaDistribute && ARowCount > 1) {
    const Integer gap = RectHeight(ARect) - AParams.CharHeight;
    if (static_cast<long long>(AParams.CharHeight) * (ARowCount - 1) < gap) {
      rowHeight = gap / (ARowCount - 1);
      spare = gap % (ARowCount - 1);
    }
  }
  const long long block = static_cast<long long>(ARowCount) * rowHeight;
  long long y = ARect.top;
  switch (AParams.VertAlignment) {
    case tvaCenter: y = ARect.top + (RectHeight(ARect) - block) / 2; break;
    case tvaBottom: y = ARect.bottom - block + AParams.ExternalLeading; break;
    default: break;
  }
  if (AParams.ClampTop) y = std::max<long long>(y, ARect.top);
  for (Integer i = 0; i < ARowCount; ++i) {
    TuiTextRow& row = ARows[static_cast<size_t>(i)];
    long long x = ARect.left;
    if (AParams.HorzAlignment == thaCenter)
      x = ARect.left + (RectWidth(ARect) - row.TextExtents.cx) / 2;
    else if (AParams.HorzAlignment == thaRight)
      x = ARect.right - row.TextExtents.cx;
    if (AParams.ClampLeft) x = std::max<long long>(x, ARect.left);
    row.TextOrigin = TPoint{static_cast<LONG>(std::clamp<long long>(x, INT_MIN / 2, INT_MAX / 2)),
                            static_cast<LONG>(std::clamp<long long>(y, INT_MIN / 2, INT_MAX / 2))};
    y += rowHeight;
    if (spare > 0) {
      ++y;
      --spare;
    }
  }
}

void DrawTextRows(HDC DC, const TRect& ARect, const TuiTextParams& AParams, bool AIsTruncated, TColor ASelTextColor,
                  TColor ASelBackColor, Integer ASelLength, Integer ASelStart, Integer ARowCount,
                  const TuiTextRows& ARows) {
  ARowCount = std::clamp<Integer>(ARowCount, 0, static_cast<Integer>(ARows.size()));
  const int previousMode = ::SetBkMode(DC, TRANSPARENT);
  const HBRUSH selectionBrush = ASelLength > 0 ? ::CreateSolidBrush(ColorToRGB(ASelBackColor)) : nullptr;
  const Integer width = RectWidth(ARect);
  for (Integer i = 0; i < ARowCount; ++i) {
    const TuiTextRow& row = ARows[static_cast<size_t>(i)];
    const bool isLast = i == ARowCount - 1;
    const bool ellipsis = isLast && AParams.EndEllipsis && (AIsTruncated || row.TextExtents.cx > width);
    if (row.TextLength == 0 && !(isLast && AIsTruncated && AParams.EndEllipsis)) continue;
    const Integer top = row.TextOrigin.y, bottom = top + AParams.RowHeight;
    std::string_view text(row.Text, static_cast<size_t>(row.TextLength));

    Integer justifyExtra = 0, justifyBreaks = 0;
    if (IsJustified(AParams) && !ellipsis && width - row.TextExtents.cx > 0 && row.BreakCount > 0) {
      justifyExtra = width - row.TextExtents.cx;
      justifyBreaks = row.BreakCount;
      ::SetTextJustification(DC, justifyExtra, justifyBreaks);
    }
    const bool clipped =
        !AParams.NoClip && (row.TextExtents.cx > width || top < ARect.top || bottom > ARect.bottom);
    const int saved = clipped ? ::SaveDC(DC) : 0;
    if (clipped)
      ::IntersectClipRect(DC, ARect.left, std::max(top, ARect.top), ARect.right, std::min(bottom, ARect.bottom));

    // An ellipsis row keeps what fits before "..." and starts no further left than the rectangle, so the
    // characters and the ellipsis stay together in it.
    Integer x = row.TextOrigin.x, drawnWidth = row.TextExtents.cx;
    if (ellipsis) {
      text = text.substr(0, FittingBytes(DC, text, AParams, std::max(width - AParams.EllipsisWidth, 0), drawnWidth));
      x = std::max(x, ARect.left);
    }
    if (!text.empty()) WriteRowText(DC, x, top, text, AParams, justifyExtra, justifyBreaks);

    // The selected characters of the row on the selection colour.
    if (selectionBrush != nullptr && !text.empty()) {
      const Integer rowChars = CharCount(text);
      const Integer first = std::max(ASelStart, row.StartOffset);
      const Integer last = std::min(ASelStart + ASelLength, row.StartOffset + rowChars);
      if (first < last) {
        const size_t from = CharToByte(text, first - row.StartOffset), to = CharToByte(text, last - row.StartOffset);
        const TRect part{x + DrawnExtent(DC, text.substr(0, from), AParams), top,
                         x + DrawnExtent(DC, text.substr(0, to), AParams), bottom};
        ::FillRect(DC, &part, selectionBrush);
        const int selectionSaved = ::SaveDC(DC);
        ::IntersectClipRect(DC, part.left, part.top, part.right, part.bottom);
        ::SetTextColor(DC, ColorToRGB(ASelTextColor));
        WriteRowText(DC, x, top, text, AParams, justifyExtra, justifyBreaks);
        ::RestoreDC(DC, selectionSaved);
      }
    }

    if (ellipsis) {
      const Integer ellipsisX = x + (text.empty() ? 0 : drawnWidth);
      if (ellipsisX < ARect.right) {
        const bool clipEllipsis = !AParams.NoClip && ellipsisX + AParams.EllipsisWidth > ARect.right;
        const int ellipsisSaved = clipEllipsis ? ::SaveDC(DC) : 0;
        if (clipEllipsis) ::IntersectClipRect(DC, ARect.left, ARect.top, ARect.right, ARect.bottom);
        Observe(DC, ellipsisX, top, uiTextEllipsis, false, 0, 0);
        ::TextOut(DC, ellipsisX, top, uiTextEllipsis.data(), static_cast<int>(uiTextEllipsis.size()));
        if (clipEllipsis) ::RestoreDC(DC, ellipsisSaved);
      }
    }
    if (clipped) ::RestoreDC(DC, saved);
    if (justifyBreaks > 0) ::SetTextJustification(DC, 0, 0);
  }
  if (selectionBrush != nullptr) ::DeleteObject(selectionBrush);
  ::SetBkMode(DC, previousMode);
}

Integer GetMaxTextRowWidth(const TuiTextRows& ARows, Integer ACount) {
  Integer widest = 0;
  for (Integer i = 0; i < ACount && i < static_cast<Integer>(ARows.size()); ++i)
    widest = std::max<Integer>(widest, ARows[static_cast<size_t>(i)].TextExtents.cx);
  return widest;
}

TRect NarrowRect(const TRect& ARect, Integer ALeftIndent, Integer ARightIndent) {
  return TRect{ARect.left + ALeftIndent, ARect.top, ARect.right - ARightIndent, ARect.bottom};
}

TRect WidenRect(const TRect& ARect, Integer ALeftIndent, Integer ARightIndent) {
  return TRect{ARect.left - ALeftIndent, ARect.top, ARect.right + ARightIndent, ARect.bottom};
}

// ---- Layout and drawing in one --------------------------------------------------------------------------

Integer LayoutAndDrawText(HDC DC, std::string_view AText, TRect& ARect, Integer ARightIndent, Integer ALeftIndent,
                          Integer AMaxLineCount, TColor ASelTextColor, TColor ASelBackColor, Integer ASelLength,
                          Integer ASelStart, TuiTextOutFlags AFlags) {
  AText = Bounded(AText);
  if (AText.empty()) return 0;
  const TuiTextParams params = CalculateTextParams(DC, AFlags);
  TRect r = NarrowRect(ARect, ALeftIndent, ARightIndent);
  if (params.CalcRect ? RectWidth(r) <= 0 : (RectWidth(r) <= 0 || RectHeight(r) <= 0)) return 0;

  TuiTextRows rows;
  const bool complete = BuildTextRows(DC, AText, r, AMaxLineCount, params, rows);
  auto count = static_cast<Integer>(rows.size());
  if (params.CalcRect) {
    if (AMaxLineCount > 0) count = std::min(count, AMaxLineCount);
    r.right = r.left + GetMaxTextRowWidth(rows, count);
    if (!params.SingleLine) {
      BuildTextRows(DC, AText, r, AMaxLineCount, params, rows);
      count = static_cast<Integer>(rows.size());
      if (AMaxLineCount > 0) count = std::min(count, AMaxLineCount);
    }
    PositionTextRows(DC, r, params, count, rows);
    if (count > 0) r.bottom = rows[static_cast<size_t>(count - 1)].TextOrigin.y + params.CharHeight;
    ARect = WidenRect(r, ALeftIndent, ARightIndent);
  } else {
    bool truncated = false;
    if (AMaxLineCount > 0 && count >= AMaxLineCount) {
      const bool cutOff = count > AMaxLineCount || !complete;
      count = AMaxLineCount;
      truncated = cutOff && params.EndEllipsis && params.WholeRows && !params.SingleLine;
    }
    PositionTextRows(DC, r, params, count, rows);
    const Integer textChars = CharCount(AText);
    if (ASelStart < 0 || ASelStart >= textChars)
      ASelLength = 0;
    else
      ASelLength = std::min(ASelLength, textChars - ASelStart);
    DrawTextRows(DC, r, params, truncated, ASelTextColor, ASelBackColor, ASelLength, ASelStart, count, rows);
  }
  const Integer height = count > 0 ? rows[static_cast<size_t>(count - 1)].TextOrigin.y + params.CharHeight - r.top : 0;
  return params.RowCountResult || height == 0 ? count : height;
}

Integer LayoutAndDrawCanvasText(TCanvas* ACanvas, std::string_view AText, TRect& ARect, Integer ARightIndent,
                                Integer ALeftIndent, Integer AMaxLineCount, TColor ASelTextColor,
                                TColor ASelBackColor, Integer ASelLength, Integer ASelStart, TuiTextOutFlags AFlags) {
  return LayoutAndDrawText(ACanvas->Handle(), AText, ARect, ARightIndent, ALeftIndent, AMaxLineCount, ASelTextColor,
                           ASelBackColor, ASelLength, ASelStart, AFlags);
}

void DrawTextOnCanvas(TCanvas* ACanvas, std::string_view AText, TRect& ARect, Integer ARightIndent,
                      Integer ALeftIndent, Integer AMaxLineCount, TuiTextOutFlags AFlags) {
  const HDC dc = ACanvas->Handle();
  const COLORREF previous = ::SetTextColor(dc, ColorToRGB(ACanvas->Font()->Color()));
  LayoutAndDrawCanvasText(ACanvas, AText, ARect, ARightIndent, ALeftIndent, AMaxLineCount, clNone, clNone, 0, 0, AFlags);
  ::SetTextColor(dc, previous);
}

namespace k58::foundation {

size_t TextCharLength(std::string_view AText, size_t APos) {
  size_t next = APos;
  char32_t code = 0;
  if (k58::rtl::TryDecodeUtf8(AText, next, code)) return next - APos;
  // A sequence cut short by the end of the text is one character: a lead byte followed only by bytes that
  // continue it.
  const auto* p = reinterpret_cast<const unsigned char*>(AText.data()) + APos;
  const size_t expected = SequenceLength(p[0]), left = AText.size() - APos;
  if (expected <= left) return 1;
  for (size_t k = 1; k < left; ++k)
    if (!IsContinuation(p[k])) return 1;
  return left;
}

TTextRowOutputObserver SetTextRowOutputObserver(TTextRowOutputObserver AObserver) {
  TTextRowOutputObserver previous = std::move(outputObserver);
  outputObserver = std::move(AObserver);
  return previous;
}

}  // namespace k58::foundation
