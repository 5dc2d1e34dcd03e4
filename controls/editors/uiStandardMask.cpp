// The standard edit mask: parsing, applying a value, extracting it, validity and the empty text and value.
#include "controls/editors/uiStandardMask.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/Mask.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"

namespace k58::editors {
namespace {

// The characters of a text; a byte that is not valid UTF-8 stands for U+FFFD, so that characters moved
// to other positions never join into new ones.
std::vector<String> SplitChars(const String& AText) {
  std::vector<String> chars = k58::forms::SplitChars(AText);
  for (String& ch : chars)
    if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) >= 0x80) ch = "\xEF\xBF\xBD";
  return chars;
}

bool IsAsciiLetter(const String& ACh) {
  return ACh.size() == 1 && ((ACh[0] >= 'A' && ACh[0] <= 'Z') || (ACh[0] >= 'a' && ACh[0] <= 'z'));
}

bool IsAsciiDigit(const String& ACh) { return ACh.size() == 1 && ACh[0] >= '0' && ACh[0] <= '9'; }

String Joined(const std::vector<String>& AChars) {
  String text;
  for (const String& ch : AChars) text += ch;
  return text;
}

}  // namespace
}  // namespace k58::editors

using k58::editors::IsAsciiDigit;
using k58::editors::IsAsciiLetter;
using k58::editors::SplitChars;

K58_IMPLEMENT_CLASS(TuiStandardMaskCustomItem) {}
K58_IMPLEMENT_CLASS(TuiStandardMaskLiteralItem) {}
K58_IMPLEMENT_CLASS(TuiStandardMaskManyItem) {}
K58_IMPLEMENT_CLASS(TuiStandardMaskAlphaItem) {}
K58_IMPLEMENT_CLASS(TuiStandardMaskAlphaNumericItem) {}
K58_IMPLEMENT_CLASS(TuiStandardMaskASCIIItem) {}
K58_IMPLEMENT_CLASS(TuiStandardMaskNumericItem) {}
K58_IMPLEMENT_CLASS(TuiStandardMaskNumericSymbolItem) {}
K58_IMPLEMENT_CLASS(TuiStandardMask) {}

bool TuiStandardMaskManyItem::Accepts(String& ACh) const {
  const bool inClass = InClass(ACh);
  if (caseConversion_ == smccUpperCase)
    ACh = AnsiUpperCase(ACh);
  else if (caseConversion_ == smccLowerCase)
    ACh = AnsiLowerCase(ACh);
  return inClass;
}

bool TuiStandardMaskAlphaItem::InClass(const String& ACh) const { return IsAsciiLetter(ACh); }

bool TuiStandardMaskAlphaNumericItem::InClass(const String& ACh) const {
  return IsAsciiLetter(ACh) || IsAsciiDigit(ACh);
}

bool TuiStandardMaskNumericItem::InClass(const String& ACh) const { return IsAsciiDigit(ACh); }

bool TuiStandardMaskNumericSymbolItem::InClass(const String& ACh) const {
  return IsAsciiDigit(ACh) || ACh == "+" || ACh == "-";
}

TuiStandardMask::~TuiStandardMask() = default;

void TuiStandardMask::SetMask(const String& AMask) {
  blankChar_ = "_";
  saveLiterals_ = true;
  positions_.clear();
  mask_ = AMask;
  const std::vector<String> chars = SplitChars(AMask);
  const size_t count = chars.size();
  size_t i = !chars.empty() && chars[0] == "!" ? 1 : 0;
  TuiStandardMaskCaseConversion conversion = smccNone;
  const auto literal = [this](const String& ch) {
    positions_.emplace_back(new TuiStandardMaskLiteralItem(ch));
  };
  const auto isSaveDigit = [](const String& ch) { return ch == "0" || ch == "1"; };
  for (; i < count; ++i) {
    const String& ch = chars[i];
    if (ch == ">") {
      conversion = smccUpperCase;
    } else if (ch == "<") {
      if (i + 1 < count && chars[i + 1] == ">") {
        conversion = smccNone;
        ++i;
      } else {
        conversion = smccLowerCase;
      }
    } else if (ch == "L" || ch == "l") {
      positions_.emplace_back(new TuiStandardMaskAlphaItem(conversion, ch == "l"));
    } else if (ch == "A" || ch == "a") {
      positions_.emplace_back(new TuiStandardMaskAlphaNumericItem(conversion, ch == "a"));
    } else if (ch == "C" || ch == "c") {
      positions_.emplace_back(new TuiStandardMaskASCIIItem(conversion, ch == "c"));
    } else if (ch == "0" || ch == "9") {
      positions_.emplace_back(new TuiStandardMaskNumericItem(conversion, ch == "9"));
    } else if (ch == "#") {
      positions_.emplace_back(new TuiStandardMaskNumericSymbolItem(conversion));
    } else if (ch == ":") {
      literal(String(1, FormatSettings.TimeSeparator));
    } else if (ch == "/") {
      literal(String(1, FormatSettings.DateSeparator));
    } else if (ch == "\\") {
      if (i + 1 < count) literal(chars[++i]);
    } else if (ch == ";" && count - i == 4 && isSaveDigit(chars[i + 1]) && chars[i + 2] == ";") {
      saveLiterals_ = chars[i + 1] != "0";
      blankChar_ = chars[i + 3];
      return;
    } else if (ch == ";" && count - i == 2 && isSaveDigit(chars[i + 1])) {
      saveLiterals_ = chars[i + 1] != "0";
      return;
    } else {
      literal(ch);
    }
  }
}

bool TuiStandardMask::IsClassPosition(size_t AIndex) const {
  return dynamic_cast<const TuiStandardMaskManyItem*>(positions_[AIndex].get()) != nullptr;
}

String TuiStandardMask::EmptyText() const {
  String text;
  for (const auto& item : positions_) {
    const auto* literal = dynamic_cast<const TuiStandardMaskLiteralItem*>(item.get());
    text += literal != nullptr ? literal->Char() : blankChar_;
  }
  return text;
}

String TuiStandardMask::EmptyValue() const {
  String value;
  for (const auto& item : positions_) {
    if (const auto* literal = dynamic_cast<const TuiStandardMaskLiteralItem*>(item.get())) {
      if (saveLiterals_) value += literal->Char();
    } else {
      value += ' ';
    }
  }
  return value;
}

void TuiStandardMask::ApplyToText(String& AText, bool AConvertCase) const {
  std::vector<String> result = SplitChars(EmptyText());
  std::vector<bool> taken(positions_.size(), false);
  for (const String& ch : SplitChars(AText)) {
    for (size_t i = 0; i < positions_.size(); ++i) {
      if (taken[i]) continue;
      String converted = ch;
      if (positions_[i]->Accepts(converted)) {
        result[i] = AConvertCase ? converted : ch;
        taken[i] = true;
        break;
      }
      if ((ch == blankChar_ || ch == " ") && IsClassPosition(i)) {
        taken[i] = true;
        break;
      }
    }
  }
  AText = k58::editors::Joined(result);
}

void TuiStandardMask::ExtractValue(String& AText) const {
  const std::vector<String> chars = SplitChars(AText);
  const size_t count = std::min(chars.size(), positions_.size());
  String value;
  for (size_t i = 0; i < count; ++i) {
    if (IsClassPosition(i))
      value += chars[i] == blankChar_ ? String(" ") : chars[i];
    else if (saveLiterals_)
      value += chars[i];
  }
  AText = value;
}

bool TuiStandardMask::IsTextValid(String& AText) const {
  std::vector<String> chars = SplitChars(AText);
  if (chars.size() != positions_.size()) return false;
  bool valid = true;
  for (size_t i = 0; i < chars.size(); ++i) {
    String converted = chars[i];
    if (positions_[i]->Accepts(converted)) {
      chars[i] = converted;
      continue;
    }
    const auto* item = dynamic_cast<const TuiStandardMaskManyItem*>(positions_[i].get());
    if (item == nullptr || !item->Optional() || (chars[i] != blankChar_ && chars[i] != " ")) valid = false;
  }
  AText = k58::editors::Joined(chars);
  return valid;
}
