#include "platform/classes/FormText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/classes/ClassErrors.h"
#include "platform/rtl/SysUtils.h"

namespace k58::formtext {

String Located(const String& sourceName, int line, const String& message) {
  String where = sourceName.empty() ? String("form text") : sourceName;
  return where + ", line " + IntToStr(line) + ": " + message;
}

TValueType IntegerValueType(Int64 v) {
  if (v >= -128 && v <= 127) return vaInt8;
  if (v >= -32768 && v <= 32767) return vaInt16;
  if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()) return vaInt32;
  return vaInt64;
}

Value MakeInteger(Int64 v) {
  Value value;
  value.Type = IntegerValueType(v);
  value.Int = v;
  return value;
}

Value MakeString(const String& s) {
  Value value;
  value.Type = s.size() <= 255 ? vaString : vaLString;
  value.Text = s;
  return value;
}

Value MakeIdent(const String& s) {
  Value value;
  if (SameText(s, "True")) {
    value.Type = vaTrue;
  } else if (SameText(s, "False")) {
    value.Type = vaFalse;
  } else if (SameText(s, "nil")) {
    value.Type = vaNil;
  } else if (SameText(s, "Null")) {
    value.Type = vaNull;
  } else {
    value.Type = vaIdent;
  }
  value.Text = s;
  return value;
}

namespace {

template <class T>
String ShortestText(T v) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), v);
  if (ec != std::errc()) return "0";
  return String(buffer, end);
}

}  // namespace

Value MakeFloat(Extended v, TFloatType kind, TValueType type) {
  Value value;
  value.Type = type;
  value.FloatKind = kind;
  if (std::isnan(v)) {
    value.Text = "NAN";
  } else if (std::isinf(v)) {
    value.Text = v < 0 ? "-INF" : "INF";
  } else {
    switch (kind) {
      case ftSingle:
        value.Text = ShortestText(static_cast<float>(v));
        break;
      case ftDouble:
      case ftComp:
      case ftCurr:
        value.Text = ShortestText(static_cast<double>(v));
        break;
      case ftExtended:
        value.Text = ShortestText(v);
        break;
    }
    // A float always shows it is one.
    if (value.Text.find_first_of(".eE") == String::npos) value.Text += ".0";
  }
  return value;
}

// ---- Parsing ----

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Objects, lists and collections nest at most this deep. Real forms stay far below; the limit keeps a
// hostile text from exhausting the stack here and in the reader that walks the tree.
constexpr int kMaxNesting = 100;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(const String& text, const String& source) : text_(text), source_(source) {}

  Object ParseFile() {
    SkipBlanks();
    if (AtEnd()) Error("'object' expected");
    String keyword = ReadIdent("'object' expected");
    ObjectKind kind;
    if (!KeywordKind(keyword, kind)) Error("'object' expected");
    Object root = ParseObject(kind);
    SkipBlanks();
    if (!AtEnd()) Error("Unexpected text after the last 'end'");
    return root;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  char PeekAt(size_t offset) const { return pos_ + offset < text_.size() ? text_[pos_ + offset] : '\0'; }

  [[noreturn]] void Error(const String& message) const { throw EParserError(Located(source_, line_, message)); }

  // One level of nesting while it is parsed.
  class Nested {
   public:
    explicit Nested(Parser& parser) : parser_(parser) {
      if (++parser_.depth_ > kMaxNesting) parser_.Error("Nesting deeper than " + IntToStr(kMaxNesting) + " levels");
    }
    ~Nested() { --parser_.depth_; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    Parser& parser_;
  };

  // Blanks within a line.
  void SkipSpaces() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) ++pos_;
  }
  // Blanks and line breaks.
  void SkipBlanks() {
    while (!AtEnd()) {
      char c = Peek();
      if (c == '\n') {
        ++line_;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        break;
      }
      ++pos_;
    }
  }

  String ReadIdent(const char* expected) {
    if (!IsIdentStart(Peek())) Error(expected);
    size_t start = pos_;
    while (!AtEnd()) {
      if (IsIdentChar(Peek())) {
        ++pos_;
      } else if (Peek() == '.' && IsIdentStart(PeekAt(1))) {
        ++pos_;
      } else {
        break;
      }
    }
    return text_.substr(start, pos_ - start);
  }

  static bool KeywordKind(const String& word, ObjectKind& kind) {
    if (SameText(word, "object")) {
      kind = ObjectKind::Object;
    } else if (SameText(word, "inherited")) {
      kind = ObjectKind::Inherited;
    } else if (SameText(word, "inline")) {
      kind = ObjectKind::Inline;
    } else {
      return false;
    }
    return true;
  }

  // True when the rest of the line after the word begins with "=": the word names a property.
  bool FollowedByEquals() {
    size_t save = pos_;
    SkipSpaces();
    bool result = Peek() == '=';
    pos_ = save;
    return result;
  }

  Object ParseObject(ObjectKind kind) {
    Nested nested(*this);
    Object object;
    object.Kind = kind;
    object.Line = line_;
    SkipSpaces();
    String first = ReadIdent("Component name or class name expected");
    SkipSpaces();
    if (Peek() == ':') {
      ++pos_;
      SkipSpaces();
      object.Name = first;
      object.ClassName = ReadIdent("Class name expected");
    } else {
      object.ClassName = first;
    }
    SkipSpaces();
    if (Peek() == '[') {
      ++pos_;
      SkipSpaces();
      Value index = ParseNumber();
      if (!index.IsInteger()) Error("Integer expected");
      object.ChildPos = static_cast<Integer>(index.Int);
      SkipSpaces();
      if (Peek() != ']') Error("']' expected");
      ++pos_;
    }
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Error("'end' expected for " + (object.Name.empty() ? object.ClassName : object.Name));
      int line = line_;
      String word = ReadIdent("Property name expected");
      ObjectKind childKind;
      if (SameText(word, "end") && !FollowedByEquals()) break;
      if (KeywordKind(word, childKind) && !FollowedByEquals()) {
        object.Children.push_back(ParseObject(childKind));
        continue;
      }
      Property prop;
      prop.Name = word;
      prop.Line = line;
      SkipSpaces();
      if (Peek() != '=') Error("'=' expected");
      ++pos_;
      prop.Val = ParseValue();
      object.Props.push_back(std::move(prop));
    }
    return object;
  }

  Value ParseValue() {
    SkipBlanks();
    Value value;
    value.Line = line_;
    char c = Peek();
    if (c == '\'' || c == '#') {
      String s = ParseString();
      value = MakeString(s);
      value.Line = line_;
      return value;
    }
    if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
      value = ParseNumber();
      return value;
    }
    if (c == '[') {
      ++pos_;
      value.Type = vaSet;
      SkipBlanks();
      if (Peek() == ']') {
        ++pos_;
        return value;
      }
      for (;;) {
        SkipBlanks();
        value.Set.push_back(ReadIdent("Set element expected"));
        SkipBlanks();
        if (Peek() == ',') {
          ++pos_;
          continue;
        }
        if (Peek() == ']') {
          ++pos_;
          break;
        }
        Error("',' or ']' expected");
      }
      return value;
    }
    if (c == '(') {
      Nested nested(*this);
      ++pos_;
      value.Type = vaList;
      for (;;) {
        SkipBlanks();
        if (AtEnd()) Error("')' expected");
        if (Peek() == ')') {
          ++pos_;
          break;
        }
        value.List.push_back(ParseValue());
      }
      return value;
    }
    if (c == '<') {
      Nested nested(*this);
      ++pos_;
      value.Type = vaCollection;
      for (;;) {
        SkipBlanks();
        if (AtEnd()) Error("'>' expected");
        if (Peek() == '>') {
          ++pos_;
          break;
        }
        Item item;
        item.Line = line_;
        String word = ReadIdent("'item' expected");
        if (!SameText(word, "item")) Error("'item' expected");
        SkipSpaces();
        if (Peek() == '[') {
          // An item index, as older resources write it; items are read in order anyway.
          ++pos_;
          SkipSpaces();
          ParseNumber();
          SkipSpaces();
          if (Peek() != ']') Error("']' expected");
          ++pos_;
        }
        for (;;) {
          SkipBlanks();
          if (AtEnd()) Error("'end' expected");
          int line = line_;
          String name = ReadIdent("Property name expected");
          if (SameText(name, "end") && !FollowedByEquals()) break;
          Property prop;
          prop.Name = name;
          prop.Line = line;
          SkipSpaces();
          if (Peek() != '=') Error("'=' expected");
          ++pos_;
          prop.Val = ParseValue();
          item.Props.push_back(std::move(prop));
        }
        value.Items.push_back(std::move(item));
      }
      return value;
    }
    if (c == '{') {
      ++pos_;
      value.Type = vaBinary;
      int high = -1;
      for (;;) {
        SkipBlanks();
        if (AtEnd()) Error("'}' expected");
        char h = Peek();
        if (h == '}') {
          ++pos_;
          break;
        }
        int digit = HexDigit(h);
        if (digit < 0) Error("Hexadecimal digit expected");
        ++pos_;
        if (high < 0) {
          high = digit;
        } else {
          value.Bytes.push_back(static_cast<Byte>(high * 16 + digit));
          high = -1;
        }
      }
      if (high >= 0) Error("Odd number of hexadecimal digits");
      return value;
    }
    if (IsIdentStart(c)) {
      int line = line_;
      value = MakeIdent(ReadIdent("Value expected"));
      value.Line = line;
      return value;
    }
    Error("Value expected");
  }

  Value ParseNumber() {
    Value value;
    value.Line = line_;
    size_t start = pos_;
    bool negative = false;
    if (Peek() == '-' || Peek() == '+') {
      negative = Peek() == '-';
      ++pos_;
    }
    if (Peek() == '$') {
      ++pos_;
      uint64_t v = 0;
      int digits = 0;
      while (HexDigit(Peek()) >= 0) {
        if (++digits > 16) Error("Number out of range");
        v = v * 16 + static_cast<uint64_t>(HexDigit(Peek()));
        ++pos_;
      }
      if (digits == 0) Error("Hexadecimal digit expected");
      // Hexadecimal is a bit pattern: $FFFFFFFFFFFFFFFF is -1. The sign is applied in unsigned arithmetic
      // so that -$8000000000000000 is the smallest Int64, not an overflow.
      value = MakeInteger(static_cast<Int64>(negative ? 0 - v : v));
      value.Line = line_;
      return value;
    }
    if (!std::isdigit(static_cast<unsigned char>(Peek()))) Error("Number expected");
    while (std::isdigit(static_cast<unsigned char>(Peek()))) ++pos_;
    bool isFloat = false;
    if (Peek() == '.' && std::isdigit(static_cast<unsigned char>(PeekAt(1)))) {
      isFloat = true;
      ++pos_;
      while (std::isdigit(static_cast<unsigned char>(Peek()))) ++pos_;
    }
    if ((Peek() == 'e' || Peek() == 'E') &&
        (std::isdigit(static_cast<unsigned char>(PeekAt(1))) ||
         ((PeekAt(1) == '-' || PeekAt(1) == '+') && std::isdigit(static_cast<unsigned char>(PeekAt(2)))))) {
      isFloat = true;
      pos_ += 2;
      while (std::isdigit(static_cast<unsigned char>(Peek()))) ++pos_;
    }
    String number = text_.substr(start, pos_ - start);
    if (number[0] == '+') number.erase(0, 1);
    TValueType floatType = vaExtended;
    char suffix = static_cast<char>(std::tolower(static_cast<unsigned char>(Peek())));
    if ((suffix == 's' || suffix == 'c' || suffix == 'd') && !IsIdentChar(PeekAt(1))) {
      isFloat = true;
      ++pos_;
      floatType = suffix == 's' ? vaSingle : (suffix == 'c' ? vaCurrency : vaDate);
    }
    if (isFloat) {
      value.Type = floatType;
      value.Text = number;
      value.FloatKind = floatType == vaSingle ? ftSingle : (floatType == vaCurrency ? ftCurr : ftExtended);
      return value;
    }
    Int64 v = 0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
    if (ec != std::errc() || end != number.data() + number.size()) Error("Number out of range");
    value = MakeInteger(v);
    value.Line = line_;
    return value;
  }

  // Quoted parts and #n characters, next to each other or joined by "+" (also across lines).
  String ParseString() {
    String out;
    uint32_t highSurrogate = 0;
    auto flushSurrogate = [&] {
      if (highSurrogate != 0) {
        out += CodePointToUtf8(0xFFFD);
        highSurrogate = 0;
      }
    };
    for (;;) {
      char c = Peek();
      if (c == '\'') {
        flushSurrogate();
        ++pos_;
        for (;;) {
          if (AtEnd() || Peek() == '\n' || Peek() == '\r') Error("Unterminated string");
          char q = Peek();
          ++pos_;
          if (q == '\'') {
            if (Peek() == '\'') {
              out += '\'';
              ++pos_;
              continue;
            }
            break;
          }
          out += q;
        }
      } else if (c == '#') {
        ++pos_;
        uint64_t code = 0;
        int digits = 0;
        if (Peek() == '$') {
          ++pos_;
          while (HexDigit(Peek()) >= 0) {
            code = code * 16 + static_cast<uint64_t>(HexDigit(Peek()));
            ++pos_;
            if (++digits > 8) Error("Character code out of range");
          }
        } else {
          while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            code = code * 10 + static_cast<uint64_t>(Peek() - '0');
            ++pos_;
            if (++digits > 8) Error("Character code out of range");
          }
        }
        if (digits == 0) Error("Character code expected");
        if (code > 0x10FFFF) Error("Character code out of range");
        if (code >= 0xD800 && code <= 0xDBFF) {
          flushSurrogate();
          highSurrogate = static_cast<uint32_t>(code);
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
          if (highSurrogate != 0) {
            out += CodePointToUtf8(0x10000 + ((highSurrogate - 0xD800) << 10) + (static_cast<uint32_t>(code) - 0xDC00));
            highSurrogate = 0;
          } else {
            out += CodePointToUtf8(0xFFFD);
          }
        } else {
          flushSurrogate();
          out += CodePointToUtf8(static_cast<uint32_t>(code));
        }
      } else {
        // "+" joins the next part, possibly on the next line.
        size_t savePos = pos_;
        int saveLine = line_;
        SkipBlanks();
        if (Peek() == '+') {
          ++pos_;
          SkipBlanks();
          if (Peek() == '\'' || Peek() == '#') continue;
          Error("String expected after '+'");
        }
        pos_ = savePos;
        line_ = saveLine;
        break;
      }
    }
    flushSurrogate();
    return out;
  }

  const String& text_;
  const String& source_;
  size_t pos_ = 0;
  int line_ = 1;
  int depth_ = 0;
};

// ---- Printing ----

const char* const kNewLine = "\n";

String Indent(int level) { return String(static_cast<size_t>(level) * 2, ' '); }

// Decodes one UTF-8 character at s[i]; invalid bytes give U+FFFD and a length of one.
uint32_t DecodeChar(const String& s, size_t i, size_t& length) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  length = 1;
  if (b < 0x80) return b;
  int count = 0;
  uint32_t code = 0;
  uint32_t min = 0;
  if ((b & 0xE0) == 0xC0) {
    count = 1;
    code = b & 0x1F;
    min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    count = 2;
    code = b & 0x0F;
    min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    count = 3;
    code = b & 0x07;
    min = 0x10000;
  } else {
    return 0xFFFD;
  }
  if (i + static_cast<size_t>(count) >= s.size()) return 0xFFFD;
  for (int k = 1; k <= count; ++k) {
    unsigned char t = byte(i + static_cast<size_t>(k));
    if ((t & 0xC0) != 0x80) return 0xFFFD;
    code = (code << 6) | (t & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0xFFFD;
  length = static_cast<size_t>(count) + 1;
  return code;
}

// Splits text into characters (code points, as UTF-8 pieces).
std::vector<std::pair<uint32_t, String>> Characters(const String& s) {
  std::vector<std::pair<uint32_t, String>> chars;
  size_t i = 0;
  while (i < s.size()) {
    size_t length = 1;
    uint32_t code = DecodeChar(s, i, length);
    chars.emplace_back(code, code == 0xFFFD && length == 1 ? CodePointToUtf8(0xFFFD) : s.substr(i, length));
    i += length;
  }
  return chars;
}

String Quote(const std::vector<std::pair<uint32_t, String>>& chars, size_t from, size_t to) {
  String out;
  bool open = false;
  for (size_t k = from; k < to; ++k) {
    uint32_t code = chars[k].first;
    if (code < 0x20 || code == 0x7F) {
      if (open) {
        out += '\'';
        open = false;
      }
      out += '#';
      out += IntToStr(static_cast<Integer>(code));
    } else {
      if (!open) {
        out += '\'';
        open = true;
      }
      if (code == '\'') out += '\'';
      out += chars[k].second;
    }
  }
  if (open) out += '\'';
  if (out.empty()) out = "''";
  return out;
}

// Strings longer than this many characters are written in parts joined by "+".
constexpr size_t kStringPart = 64;
// Bytes per line of binary data.
constexpr size_t kBinaryLine = 32;

bool IsLongString(const Value& v) { return v.IsString() && Characters(v.Text).size() > kStringPart; }

// The parts of a string, joined by " +" and a line break at the given indentation.
String PrintString(const String& s, int level) {
  auto chars = Characters(s);
  if (chars.size() <= kStringPart) return Quote(chars, 0, chars.size());
  String out;
  for (size_t from = 0; from < chars.size(); from += kStringPart) {
    if (from > 0) out += String(" +") + kNewLine + Indent(level);
    out += Quote(chars, from, std::min(chars.size(), from + kStringPart));
  }
  return out;
}

void PrintProperty(const Property& prop, int level, String& out);

// A value that starts after "Name = " (or on its own line in a list) at the given level.
String PrintValue(const Value& v, int level) {
  switch (v.Type) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
      return IntToStr(v.Int);
    case vaExtended:
      return v.Text;
    case vaSingle:
      return v.Text + "s";
    case vaCurrency:
      return v.Text + "c";
    case vaDate:
      return v.Text + "d";
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String:
      return PrintString(v.Text, level + 1);
    case vaIdent:
      return v.Text;
    case vaFalse:
      return "False";
    case vaTrue:
      return "True";
    case vaNil:
      return "nil";
    case vaNull:
      return "Null";
    case vaSet: {
      String out = "[";
      for (size_t i = 0; i < v.Set.size(); ++i) {
        if (i > 0) out += ", ";
        out += v.Set[i];
      }
      return out + "]";
    }
    case vaList: {
      String out = "(";
      for (const Value& item : v.List) out += kNewLine + Indent(level + 1) + PrintValue(item, level + 1);
      return out + ")";
    }
    case vaCollection: {
      String out = "<";
      for (const Item& item : v.Items) {
        out += kNewLine + Indent(level + 1) + "item";
        for (const Property& prop : item.Props) PrintProperty(prop, level + 2, out);
        out += kNewLine + Indent(level + 1) + "end";
      }
      return out + ">";
    }
    case vaBinary: {
      static const char* hex = "0123456789ABCDEF";
      String out = "{";
      for (size_t i = 0; i < v.Bytes.size(); i += kBinaryLine) {
        out += kNewLine + Indent(level + 1);
        for (size_t k = i; k < std::min(v.Bytes.size(), i + kBinaryLine); ++k) {
          out += hex[v.Bytes[k] >> 4];
          out += hex[v.Bytes[k] & 0x0F];
        }
      }
      return out + "}";
    }
  }
  return String();
}

void PrintProperty(const Property& prop, int level, String& out) {
  out += kNewLine + Indent(level) + prop.Name + " =";
  if (IsLongString(prop.Val)) {
    out += kNewLine + Indent(level + 1) + PrintString(prop.Val.Text, level + 1);
  } else {
    out += " " + PrintValue(prop.Val, level);
  }
}

void PrintObject(const Object& object, int level, String& out) {
  if (level > 0) out += kNewLine;
  out += Indent(level);
  switch (object.Kind) {
    case ObjectKind::Object:
      out += "object ";
      break;
    case ObjectKind::Inherited:
      out += "inherited ";
      break;
    case ObjectKind::Inline:
      out += "inline ";
      break;
  }
  if (!object.Name.empty()) out += object.Name + ": ";
  out += object.ClassName;
  if (object.ChildPos >= 0) out += " [" + IntToStr(object.ChildPos) + "]";
  for (const Property& prop : object.Props) PrintProperty(prop, level + 1, out);
  for (const Object& child : object.Children) PrintObject(child, level + 1, out);
  out += kNewLine + Indent(level) + "end";
}

}  // namespace

Object Parse(const String& text, const String& sourceName) { return Parser(text, sourceName).ParseFile(); }

String Print(const Object& root) {
  String out;
  PrintObject(root, 0, out);
  out += kNewLine;
  return out;
}

}  // namespace k58::formtext
