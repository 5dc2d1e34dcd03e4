// DrawText: line breaking, alignment, prefixes, tabs, ellipses and rectangle calculation.
#include <algorithm>

#include "platform/win/gdi/Text.h"
#include "platform/win/gdi/WinUserGdi.h"

using namespace k58::gdi;

namespace {

struct Line {
  std::vector<char32_t> cps;
  std::vector<bool> ul;  // underlined by a prefix
  std::vector<int> adv;
  int width = 0;
};

bool IsCjk(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x2FFFF);
}

struct Layout {
  DeviceContext& dc;
  UINT format;
  int tabWidth;  // pixels; 0 when tabs are not expanded
  int avail;     // width available for a line

  std::vector<int> Advances(const std::vector<char32_t>& cps) const {
    std::vector<int> adv = RunAdvances(dc, cps, false);
    if (tabWidth > 0) {
      int pos = 0;
      for (size_t i = 0; i < cps.size(); ++i) {
        if (cps[i] == U'\t') adv[i] = (pos / tabWidth + 1) * tabWidth - pos;
        pos += adv[i];
      }
    }
    return adv;
  }

  void Measure(Line& l) const {
    l.adv = Advances(l.cps);
    l.width = 0;
    for (int a : l.adv) l.width += a;
  }

  Line Slice(const std::vector<char32_t>& cps, const std::vector<bool>& ul, size_t a, size_t b) const {
    Line l;
    l.cps.assign(cps.begin() + static_cast<ptrdiff_t>(a), cps.begin() + static_cast<ptrdiff_t>(b));
    l.ul.assign(ul.begin() + static_cast<ptrdiff_t>(a), ul.begin() + static_cast<ptrdiff_t>(b));
    Measure(l);
    return l;
  }

  // Breaks one paragraph into lines of at most `avail` pixels where possible.
  void Wrap(const std::vector<char32_t>& cps, const std::vector<bool>& ul, std::vector<Line>& out) const {
    bool cjkBreaks = !(format & DT_NOFULLWIDTHCHARBREAK);
    bool charBreaks = (format & DT_EDITCONTROL) != 0;
    size_t start = 0, n = cps.size();
    if (n == 0) {
      out.push_back(Line{});
      return;
    }
    while (start < n) {
      std::vector<char32_t> rest(cps.begin() + static_cast<ptrdiff_t>(start), cps.end());
      std::vector<int> adv = Advances(rest);
      int x = 0;
      size_t breakAt = 0;  // relative; 0: none yet
      size_t end = rest.size(), next = rest.size();
      for (size_t i = 0; i < rest.size(); ++i) {
        char32_t c = rest[i];
        if (i > 0 && cjkBreaks && (IsCjk(c) || IsCjk(rest[i - 1])) && rest[i - 1] != U' ') breakAt = i;
        if (c == U' ') {
          // Spaces never push a line over; the line may break after them.
          x += adv[i];
          size_t j = i;
          while (j < rest.size() && rest[j] == U' ') ++j;
          breakAt = j;
          if (x > avail) {
            end = i;
            next = j;
            break;
          }
          continue;
        }
        x += adv[i];
        if (x <= avail || i == 0) continue;
        if (breakAt > 0) {
          end = breakAt;
          next = breakAt;
        } else if (charBreaks) {
          end = next = i;
        } else {
          // A word longer than the line stays whole; break after it.
          size_t j = i;
          while (j < rest.size() && rest[j] != U' ' && !(cjkBreaks && IsCjk(rest[j]))) ++j;
          end = j;
          next = j;
          while (next < rest.size() && rest[next] == U' ') ++next;
        }
        break;
      }
      // Trailing spaces of a broken line are not drawn.
      size_t e = end;
      if (next < rest.size() || end < rest.size())
        while (e > 0 && rest[e - 1] == U' ') --e;
      out.push_back(Slice(cps, ul, start, start + e));
      if (next == 0) next = 1;  // always progress
      start += next;
    }
  }

  void EndEllipsis(Line& l) const {
    if (l.width <= avail) return;
    std::vector<char32_t> dots{U'.', U'.', U'.'};
    int dotsWidth = 0;
    for (int a : Advances(dots)) dotsWidth += a;
    size_t keep = l.cps.size();
    while (keep > 0) {
      int w = 0;
      for (size_t i = 0; i < keep; ++i) w += l.adv[i];
      if (w + dotsWidth <= avail) break;
      --keep;
    }
    l.cps.resize(keep);
    l.ul.resize(keep);
    l.cps.insert(l.cps.end(), dots.begin(), dots.end());
    l.ul.insert(l.ul.end(), 3, false);
    Measure(l);
  }

  // Keeps the end of the text after the last path separator and removes characters before it.
  void PathEllipsis(Line& l) const {
    if (l.width <= avail) return;
    size_t sep = l.cps.size();
    for (size_t i = l.cps.size(); i > 0; --i)
      if (l.cps[i - 1] == U'\\' || l.cps[i - 1] == U'/') {
        sep = i - 1;
        break;
      }
    std::vector<char32_t> dots{U'.', U'.', U'.'};
    if (sep == l.cps.size()) sep = l.cps.size() / 2;  // no separator: cut in the middle
    std::vector<char32_t> head(l.cps.begin(), l.cps.begin() + static_cast<ptrdiff_t>(sep));
    std::vector<char32_t> tail(l.cps.begin() + static_cast<ptrdiff_t>(sep), l.cps.end());
    for (;;) {
      Line t;
      t.cps = head;
      t.cps.insert(t.cps.end(), dots.begin(), dots.end());
      t.cps.insert(t.cps.end(), tail.begin(), tail.end());
      t.ul.assign(t.cps.size(), false);
      Measure(t);
      if (t.width <= avail || (head.empty() && tail.empty())) {
        l = t;
        return;
      }
      if (!head.empty()) {
        head.pop_back();
      } else {
        // Nothing left before the separator: end-ellipsis on what remains.
        Line e;
        e.cps = dots;
        e.cps.insert(e.cps.end(), tail.begin(), tail.end());
        e.ul.assign(e.cps.size(), false);
        Measure(e);
        l = e;
        EndEllipsis(l);
        return;
      }
    }
  }
};

int DrawTextImpl(HDC hdc, const DecodedText& text, LPRECT rect, UINT format, DRAWTEXTPARAMS* params) {
  auto dc = FindDC(hdc);
  if (!dc || !rect) return 0;
  RealizedFont& font = FontOf(*dc);
  int tabChars = 8;
  if (format & DT_TABSTOP) {
    tabChars = static_cast<int>((format >> 8) & 0xFF);
    format &= ~0xFF00u;
  }
  if (params && params->iTabLength > 0) tabChars = params->iTabLength;
  int leftMargin = params ? params->iLeftMargin : 0, rightMargin = params ? params->iRightMargin : 0;
  Layout lay{*dc, format, (format & DT_EXPANDTABS) ? tabChars * font.aveCharWidth : 0,
             (rect->right - rect->left) - leftMargin - rightMargin};

  // Prefix processing: "&x" underlines x, "&&" is one "&", a final lone "&" is dropped.
  std::vector<char32_t> cps;
  std::vector<bool> ul;
  bool prefixes = !(format & DT_NOPREFIX);
  for (size_t i = 0; i < text.cps.size(); ++i) {
    char32_t c = text.cps[i];
    if (prefixes && c == U'&') {
      if (i + 1 >= text.cps.size()) break;
      char32_t n = text.cps[++i];
      cps.push_back(n);
      ul.push_back(n != U'&' && !(format & DT_HIDEPREFIX));
      continue;
    }
    cps.push_back(c);
    ul.push_back(false);
  }

  // Lines: paragraphs split at CR, LF and CR LF, then wrapped.
  std::vector<Line> lines;
  bool single = (format & DT_SINGLELINE) != 0;
  bool wrap = !single && (format & DT_WORDBREAK);
  size_t start = 0;
  for (size_t i = 0; i <= cps.size(); ++i) {
    bool brk = !single && i < cps.size() && (cps[i] == U'\r' || cps[i] == U'\n');
    if (i < cps.size() && !brk) continue;
    std::vector<char32_t> para(cps.begin() + static_cast<ptrdiff_t>(start), cps.begin() + static_cast<ptrdiff_t>(i));
    std::vector<bool> paraUl(ul.begin() + static_cast<ptrdiff_t>(start), ul.begin() + static_cast<ptrdiff_t>(i));
    bool last = i >= cps.size();
    if (!(last && para.empty() && !lines.empty())) {
      if (wrap)
        lay.Wrap(para, paraUl, lines);
      else
        lines.push_back(lay.Slice(cps, ul, start, i));
    }
    if (brk && cps[i] == U'\r' && i + 1 < cps.size() && cps[i + 1] == U'\n') ++i;
    start = i + 1;
  }
  for (Line& l : lines) {
    if (format & DT_PATH_ELLIPSIS)
      lay.PathEllipsis(l);
    else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
      lay.EndEllipsis(l);
  }

  int lineHeight = font.height + ((format & DT_EXTERNALLEADING) ? font.externalLeading : 0);
  int total = lineHeight * static_cast<int>(lines.size());
  if (params) params->uiLengthDrawn = static_cast<UINT>(text.units.size() ? [&] {
    int u = 0;
    for (int k : text.units) u += k;
    return u;
  }() : 0);

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Line& l : lines) widest = std::max(widest, l.width);
    rect->right = rect->left + widest + leftMargin + rightMargin;
    rect->bottom = rect->top + total;
    return total;
  }

  int y = rect->top;
  if (single && (format & DT_VCENTER))
    y = rect->top + ((rect->bottom - rect->top) - lineHeight) / 2;
  else if (single && (format & DT_BOTTOM))
    y = rect->bottom - lineHeight;
  RECT clip = *rect;
  bool clipped = !(format & DT_NOCLIP);
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    int top = y + static_cast<int>(i) * lineHeight;
    // Like a multi-line edit control: a partly visible last line is not drawn.
    if ((format & DT_EDITCONTROL) && i > 0 && top + lineHeight > rect->bottom) break;
    int x = rect->left + leftMargin;
    if (format & DT_RIGHT)
      x = rect->right - rightMargin - l.width;
    else if (format & DT_CENTER)
      x = rect->left + leftMargin + (lay.avail - l.width) / 2;
    RunOptions o;
    o.refX = x;
    o.refY = top;
    o.align = TA_LEFT | TA_TOP;
    o.clip = clipped ? &clip : nullptr;
    o.fillCells = dc->st.bkMode == OPAQUE && !(format & DT_PREFIXONLY);
    o.underlinesOnly = (format & DT_PREFIXONLY) != 0;
    for (size_t k = 0; k < l.ul.size(); ++k)
      if (l.ul[k]) o.underlined.push_back(k);
    DrawRun(*dc, l.cps, l.adv, o);
  }
  if (single && (format & (DT_VCENTER | DT_BOTTOM))) return y + lineHeight - rect->top;
  return total;
}

int CountUnits(LPCSTR text, int count) {
  return count < 0 && text ? static_cast<int>(std::char_traits<char>::length(text)) : count;
}
int CountUnitsW(LPCWSTR text, int count) {
  return count < 0 && text ? static_cast<int>(std::char_traits<char16_t>::length(text)) : count;
}

}  // namespace

int DrawText(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
  return DrawTextEx(hdc, text, count, rect, format, nullptr);
}

int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format) {
  return DrawTextExW(hdc, text, count, rect, format, nullptr);
}

int DrawTextEx(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params) {
  if (!text && count != 0) return 0;
  return DrawTextImpl(hdc, DecodeUtf8(text, CountUnits(text, count)), rect, format, params);
}

int DrawTextExW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params) {
  if (!text && count != 0) return 0;
  return DrawTextImpl(hdc, DecodeUtf16(text, CountUnitsW(text, count)), rect, format, params);
}
