// FormatFloat: picture formats with sections, digit placeholders, thousands grouping, exponents and
// literals, rounding decimally on the shortest decimal text of the value.
#include <cmath>
#include <vector>

#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlInternal.h"

using k58::rtl::DecimalDigits;

namespace {

struct Token {
  enum Kind { Literal, IntDigit, Point, FracDigit, Exponent } kind;
  String text;        // Literal
  bool zero = false;  // digit placeholder '0' (else '#')
  char expChar = 'E';
  bool expPlus = false;
  int expDigits = 0;
};

struct Section {
  std::vector<Token> tokens;
  bool thousands = false;
  bool exponent = false;
  int intDigits = 0;   // placeholders before the point
  int minInt = 0;      // placeholders from the first '0' to the point
  int fracDigits = 0;  // placeholders after the point
  int minFrac = 0;     // up to and including the last '0' after the point
};

std::vector<String> SplitSections(const String& format) {
  std::vector<String> sections(1);
  char quote = 0;
  for (char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

Section ParseSection(const String& s) {
  Section sec;
  bool afterPoint = false;
  auto literal = [&](const String& text) {
    if (!sec.tokens.empty() && sec.tokens.back().kind == Token::Literal) {
      sec.tokens.back().text += text;
    } else {
      Token t{Token::Literal, text};
      sec.tokens.push_back(t);
    }
  };
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      const size_t close = s.find(c, i + 1);
      const size_t end = close == String::npos ? s.size() : close;
      literal(s.substr(i + 1, end - i - 1));
      i = end;
    } else if (c == '0' || c == '#') {
      Token t{afterPoint ? Token::FracDigit : Token::IntDigit, ""};
      t.zero = c == '0';
      sec.tokens.push_back(t);
      if (afterPoint) {
        ++sec.fracDigits;
        if (t.zero) sec.minFrac = sec.fracDigits;
      } else {
        ++sec.intDigits;
        if (t.zero && sec.minInt == 0) sec.minInt = 1;
        else if (sec.minInt > 0) ++sec.minInt;
      }
    } else if (c == '.') {
      if (!afterPoint && !sec.exponent) {
        afterPoint = true;
        sec.tokens.push_back(Token{Token::Point, ""});
      }
    } else if (c == ',') {
      if (!afterPoint) sec.thousands = true;
    } else if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-') && !sec.exponent) {
      Token t{Token::Exponent, ""};
      t.expChar = c;
      t.expPlus = s[i + 1] == '+';
      i += 2;
      while (i < s.size() && s[i] == '0' && t.expDigits < 4) {
        ++t.expDigits;
        ++i;
      }
      --i;
      sec.exponent = true;
      sec.tokens.push_back(t);
      afterPoint = true;  // placeholders after the exponent are not part of the mantissa
    } else {
      literal(String(1, c));
    }
  }
  // Digits before the point need somewhere to go even without integer placeholders (".00").
  if (sec.intDigits == 0) {
    size_t at = sec.tokens.size();
    for (size_t k = 0; k < sec.tokens.size(); ++k) {
      if (sec.tokens[k].kind == Token::Point || sec.tokens[k].kind == Token::FracDigit ||
          sec.tokens[k].kind == Token::Exponent) {
        at = k;
        break;
      }
    }
    bool anyDigit = false;
    for (const Token& t : sec.tokens) anyDigit |= t.kind == Token::FracDigit;
    if (anyDigit || at < sec.tokens.size()) {
      Token t{Token::IntDigit, ""};
      sec.tokens.insert(sec.tokens.begin() + static_cast<std::ptrdiff_t>(at), t);
      sec.intDigits = 1;
    }
  }
  return sec;
}

bool HasPlaceholders(const Section& sec) { return sec.intDigits + sec.fracDigits > 0; }

// Rounds the digits the way the section shows them; returns the exponent shown (scientific only).
int Prepare(const Section& sec, DecimalDigits& d) {
  if (!sec.exponent) {
    k58::rtl::RoundToDecimals(d, sec.fracDigits);
    return 0;
  }
  const int mantissaInt = std::max(sec.intDigits, 1);
  if (d.digits.empty()) return 0;
  k58::rtl::RoundToSignificant(d, mantissaInt + sec.fracDigits);
  const int shown = d.exponent - mantissaInt;
  d.exponent = mantissaInt;
  return shown;
}

String Render(const Section& sec, const DecimalDigits& d, int exp10, const TFormatSettings& fs) {
  String intPart;
  const int n = static_cast<int>(d.digits.size());
  for (int i = 0; i < d.exponent; ++i) intPart += i < n ? d.digits[static_cast<size_t>(i)] : '0';
  if (static_cast<int>(intPart.size()) < sec.minInt) intPart.insert(0, static_cast<size_t>(sec.minInt) - intPart.size(), '0');
  String frac;
  for (int k = 0; k < sec.fracDigits; ++k) {
    const int i = d.exponent + k;
    frac += (i >= 0 && i < n) ? d.digits[static_cast<size_t>(i)] : '0';
  }
  while (static_cast<int>(frac.size()) > sec.minFrac && frac.back() == '0') frac.pop_back();

  String out;
  const int len = static_cast<int>(intPart.size());
  int intIndex = 0;   // placeholders seen so far
  int nextDigit = 0;  // next digit of intPart to emit
  auto emitDigit = [&](int upTo) {
    for (; nextDigit < upTo; ++nextDigit) {
      out += intPart[static_cast<size_t>(nextDigit)];
      const int left = len - 1 - nextDigit;
      if (sec.thousands && left > 0 && left % 3 == 0) out += fs.ThousandSeparator;
    }
  };
  int fracIndex = 0;
  for (const Token& t : sec.tokens) {
    switch (t.kind) {
      case Token::Literal:
        out += t.text;
        break;
      case Token::IntDigit: {
        ++intIndex;
        // Placeholder k (1-based) shows the digits up to position len - (intDigits - k).
        emitDigit(std::max(0, len - (sec.intDigits - intIndex)));
        break;
      }
      case Token::Point:
        if (!frac.empty()) out += fs.DecimalSeparator;
        break;
      case Token::FracDigit:
        if (fracIndex < static_cast<int>(frac.size())) out += frac[static_cast<size_t>(fracIndex)];
        ++fracIndex;
        break;
      case Token::Exponent: {
        out += t.expChar;
        if (exp10 < 0) out += '-';
        else if (t.expPlus) out += '+';
        String e = std::to_string(exp10 < 0 ? -exp10 : exp10);
        if (static_cast<int>(e.size()) < t.expDigits) e.insert(0, static_cast<size_t>(t.expDigits) - e.size(), '0');
        out += e;
        break;
      }
    }
  }
  return out;
}

}  // namespace

String FormatFloat(const String& format, Extended value, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return std::isnan(value) ? String("NAN") : String(value < 0 ? "-INF" : "INF");
  if (format.empty()) return FloatToStr(value, fs);
  const std::vector<String> texts = SplitSections(format);
  const bool negative = std::signbit(value);
  const DecimalDigits magnitude = k58::rtl::ShortestDigits(negative ? -value : value);

  // The first section decides whether the value shows as zero.
  const Section first = ParseSection(texts[0]);
  DecimalDigits d = magnitude;
  int exp10 = Prepare(first, d);
  const bool shownZero = d.digits.empty();

  if (shownZero && texts.size() >= 3 && !texts[2].empty()) {
    const Section zero = ParseSection(texts[2]);
    DecimalDigits z;
    return Render(zero, z, Prepare(zero, z), fs);
  }
  if (negative && !shownZero && texts.size() >= 2 && !texts[1].empty()) {
    const Section neg = ParseSection(texts[1]);
    DecimalDigits nd = magnitude;
    const int e = Prepare(neg, nd);
    return Render(neg, nd, e, fs);
  }
  if (!HasPlaceholders(first)) return Render(first, d, exp10, fs);
  String out = Render(first, d, exp10, fs);
  if (negative && !shownZero) out.insert(out.begin(), '-');
  return out;
}

String FormatFloat(const String& format, Extended value) { return FormatFloat(format, value, FormatSettings); }
