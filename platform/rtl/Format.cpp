#include "platform/rtl/Format.h"

#include <cmath>
#include <cstdint>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/Strings.h"

namespace {

// Widths and precisions beyond this are taken as a malformed picture rather than a request for
// gigabytes of blanks.
constexpr int kMaxWidth = 65535;

String Substitute(const char* pattern, const String& text) {
  String r(pattern);
  const size_t p = r.find("%s");
  if (p != String::npos) r.replace(p, 2, text);
  return r;
}

class Formatter {
public:
  Formatter(const String& format, const TVarRec* args, size_t count, const TFormatSettings& fs)
      : format_(format), args_(args), count_(count), fs_(fs) {}

  String Run() {
    String out;
    size_t i = 0;
    const size_t n = format_.size();
    while (i < n) {
      const char c = format_[i];
      if (c != '%') {
        out += c;
        ++i;
        continue;
      }
      ++i;
      if (i < n && format_[i] == '%') {
        out += '%';
        ++i;
        continue;
      }
      out += Directive(i);
    }
    return out;
  }

private:
  [[noreturn]] void Invalid() const { throw EConvertError(Substitute(rtlconsts::SInvalidFormat, format_)); }

  const TVarRec& NextArg() {
    if (next_ >= count_) throw EConvertError(Substitute(rtlconsts::SArgumentMissing, format_));
    return args_[next_++];
  }

  // Digits or '*' at i; returns -1 when there are none.
  int Number(size_t& i) {
    if (i < format_.size() && format_[i] == '*') {
      ++i;
      const TVarRec& a = NextArg();
      if (a.VType() != TVarRec::vtInteger) Invalid();
      const Int64 v = a.AsInt64();
      if (v > kMaxWidth || v < -kMaxWidth) Invalid();
      return static_cast<int>(v);
    }
    if (i >= format_.size() || format_[i] < '0' || format_[i] > '9') return -1;
    Int64 v = 0;
    while (i < format_.size() && format_[i] >= '0' && format_[i] <= '9') {
      v = v * 10 + (format_[i] - '0');
      if (v > kMaxWidth) Invalid();
      ++i;
    }
    return static_cast<int>(v);
  }

  String Directive(size_t& i) {
    bool left = false;
    int width = Number(i);
    if (i < format_.size() && format_[i] == ':') {
      if (width < 0) Invalid();
      next_ = static_cast<size_t>(width);
      ++i;
      width = -1;
    }
    if (i < format_.size() && format_[i] == '-') {
      if (width >= 0) Invalid();
      left = true;
      ++i;
    }
    if (width < 0) width = Number(i);
    if (width < 0 && !(i > 0 && format_[i - 1] == '*')) width = 0;
    int precision = -1;
    if (i < format_.size() && format_[i] == '.') {
      ++i;
      precision = Number(i);
      if (precision < 0) precision = 0;
    }
    if (i >= format_.size()) Invalid();
    const char type = static_cast<char>(format_[i] | 0x20);
    ++i;
    if (width < 0) {
      left = true;
      width = -width;
    }
    const TVarRec& arg = NextArg();
    String text;
    bool countChars = false;
    switch (type) {
      case 'd': text = Decimal(arg, precision); break;
      case 'u': text = Unsigned(arg, precision); break;
      case 'x': text = Hex(arg, precision); break;
      case 'e':
        text = FloatToStrF(Float(arg), ffExponent, precision < 0 ? 15 : std::min(precision, 18), 3, fs_);
        break;
      case 'f':
        text = FloatToStrF(Float(arg), ffFixed, 18, precision < 0 ? 2 : precision, fs_);
        break;
      case 'g':
        text = FloatToStrF(Float(arg), ffGeneral, precision < 0 ? 15 : std::max(1, std::min(precision, 18)), 3, fs_);
        break;
      case 'n':
        text = FloatToStrF(Float(arg), ffNumber, 18, precision < 0 ? 2 : precision, fs_);
        break;
      case 'm':
        text = FloatToStrF(Float(arg), ffCurrency, 18, precision < 0 ? fs_.CurrencyDecimals : precision, fs_);
        break;
      case 'p':
        if (arg.VType() != TVarRec::vtPointer) Invalid();
        text = IntToHex(static_cast<Int64>(reinterpret_cast<uintptr_t>(arg.AsPointer())), static_cast<Integer>(sizeof(void*) * 2));
        break;
      case 's':
        text = Str(arg);
        countChars = true;
        if (precision >= 0 && Utf8Length(text) > precision) text = Utf8Copy(text, 1, precision);
        break;
      default:
        Invalid();
    }
    const int shown = countChars ? Utf8Length(text) : Length(text);
    if (shown < width) {
      const String pad(static_cast<size_t>(width - shown), ' ');
      text = left ? text + pad : pad + text;
    }
    return text;
  }

  static String ZeroPad(String digits, int precision) {
    if (precision > 0 && static_cast<int>(digits.size()) < precision) {
      digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    }
    return digits;
  }

  String Decimal(const TVarRec& a, int precision) {
    if (a.VType() == TVarRec::vtUnsigned) return ZeroPad(UIntToStr(a.AsUInt64()), precision);
    if (a.VType() != TVarRec::vtInteger) Invalid();
    const Int64 v = a.AsInt64();
    const UInt64 mag = v < 0 ? 0 - static_cast<UInt64>(v) : static_cast<UInt64>(v);
    String s = ZeroPad(UIntToStr(mag), precision);
    return v < 0 ? "-" + s : s;
  }

  // Negative integers show as unsigned at their width: 32 bits when they fit, else 64.
  UInt64 AsUnsigned(const TVarRec& a) {
    if (a.VType() == TVarRec::vtUnsigned) return a.AsUInt64();
    if (a.VType() != TVarRec::vtInteger) Invalid();
    const Int64 v = a.AsInt64();
    if (v < 0 && v >= INT32_MIN) return static_cast<uint32_t>(static_cast<int32_t>(v));
    return static_cast<UInt64>(v);
  }

  String Unsigned(const TVarRec& a, int precision) { return ZeroPad(UIntToStr(AsUnsigned(a)), precision); }

  String Hex(const TVarRec& a, int precision) {
    return ZeroPad(IntToHex(static_cast<Int64>(AsUnsigned(a)), 1), precision);
  }

  Extended Float(const TVarRec& a) {
    if (a.VType() == TVarRec::vtExtended) return a.AsExtended();
    if (a.VType() == TVarRec::vtCurrency) return static_cast<Extended>(a.AsInt64()) / 10000;
    Invalid();
  }

  String Str(const TVarRec& a) {
    switch (a.VType()) {
      case TVarRec::vtString: return a.AsString();
      case TVarRec::vtWideString: return WideToUtf8(a.AsWideString());
      case TVarRec::vtChar: return String(1, static_cast<char>(a.AsInt64()));
      case TVarRec::vtWideChar: return WideToUtf8(WideString(1, static_cast<char16_t>(a.AsInt64())));
      default: Invalid();
    }
  }

  const String& format_;
  const TVarRec* args_;
  size_t count_;
  const TFormatSettings& fs_;
  size_t next_ = 0;
};

}  // namespace

String Format(const String& format, const TVarRec* args, size_t count, const TFormatSettings& fs) {
  return Formatter(format, args, count, fs).Run();
}

String Format(const String& format, const TVarRec* args, size_t count) {
  return Format(format, args, count, FormatSettings);
}
