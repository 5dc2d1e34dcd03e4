// Format: the class library's formatting of a picture with an argument list.
//
//   "%" [index ":"] ["-"] [width] ["." precision] type
//   type d (decimal), u (unsigned), x (upper-case hex), e (scientific), f (fixed), g (general),
//        n (fixed with thousands separators), m (currency), p (pointer), s (string); "%%" is a '%'.
//   index, width and precision may be "*" to take an integer from the arguments.
//   For d, u and x the precision is a minimum number of digits (zero-padded); for s a maximum length;
//   for e, f, g, n, m the number of digits (defaults: e/g 15, f/n 2, m CurrencyDecimals).
//   Width pads with blanks on the left ("-": on the right). For s, width and precision count
//   characters (code points), so Chinese text aligns and is never cut inside a character.
//
// Arguments are type-checked at run time: an argument of the wrong kind raises EConvertError
// "Format '<picture>' invalid or incompatible with argument", a missing one
// "No argument for format '<picture>'". Never undefined behaviour, whatever the picture.
#pragma once

#include <initializer_list>
#include <type_traits>
#include <vector>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Types.h"

// One argument of Format, as the class library's open array of const holds it.
class TVarRec {
public:
  enum Kind : uint8_t {
    vtInteger,    // any signed integer, kept as Int64
    vtUnsigned,   // unsigned integer, kept as UInt64
    vtBoolean,
    vtChar,
    vtWideChar,
    vtExtended,
    vtCurrency,   // Int64 of 1/10000
    vtString,     // UTF-8 text
    vtWideString,
    vtPointer,
  };

  TVarRec(bool v) : kind_(vtBoolean) { i_ = v ? 1 : 0; }
  TVarRec(char v) : kind_(vtChar) { i_ = static_cast<unsigned char>(v); }
  TVarRec(char16_t v) : kind_(vtWideChar) { i_ = v; }
  TVarRec(signed char v) : kind_(vtInteger) { i_ = v; }
  TVarRec(short v) : kind_(vtInteger) { i_ = v; }
  TVarRec(int v) : kind_(vtInteger) { i_ = v; }
  TVarRec(long v) : kind_(vtInteger) { i_ = v; }
  TVarRec(long long v) : kind_(vtInteger) { i_ = v; }
  TVarRec(unsigned char v) : kind_(vtInteger) { i_ = v; }
  TVarRec(unsigned short v) : kind_(vtInteger) { i_ = v; }
  TVarRec(unsigned int v) : kind_(vtInteger) { i_ = v; }
  TVarRec(unsigned long v) : kind_(vtUnsigned) { u_ = v; }
  TVarRec(unsigned long long v) : kind_(vtUnsigned) { u_ = v; }
  TVarRec(float v) : kind_(vtExtended) { e_ = v; }
  TVarRec(double v) : kind_(vtExtended) { e_ = v; }
  TVarRec(long double v) : kind_(vtExtended) { e_ = v; }
  TVarRec(const char* v) : kind_(vtString), s_(v ? v : "") {}
  TVarRec(const String& v) : kind_(vtString), s_(v) {}
  TVarRec(const char16_t* v) : kind_(vtWideString), w_(v ? v : u"") {}
  TVarRec(const WideString& v) : kind_(vtWideString), w_(v) {}
  TVarRec(const void* v) : kind_(vtPointer) { p_ = v; }
  TVarRec(std::nullptr_t) : kind_(vtPointer) { p_ = nullptr; }
  // Currency amount in 1/10000 units.
  static TVarRec Currency(Int64 scaled) {
    TVarRec r(0);
    r.kind_ = vtCurrency;
    r.i_ = scaled;
    return r;
  }

  Kind VType() const { return kind_; }
  Int64 AsInt64() const { return i_; }
  UInt64 AsUInt64() const { return u_; }
  Extended AsExtended() const { return e_; }
  const String& AsString() const { return s_; }
  const WideString& AsWideString() const { return w_; }
  const void* AsPointer() const { return p_; }

private:
  Kind kind_;
  union {
    Int64 i_;
    UInt64 u_;
    Extended e_;
    const void* p_;
  };
  String s_;
  WideString w_;
};

String Format(const String& format, const TVarRec* args, size_t count, const TFormatSettings& fs);
String Format(const String& format, const TVarRec* args, size_t count);
inline String Format(const String& format) { return Format(format, nullptr, 0); }
inline String Format(const String& format, std::initializer_list<TVarRec> args) {
  return Format(format, args.begin(), args.size());
}
inline String Format(const String& format, const std::vector<TVarRec>& args) {
  return Format(format, args.data(), args.size());
}
inline String Format(const String& format, const std::vector<TVarRec>& args, const TFormatSettings& fs) {
  return Format(format, args.data(), args.size(), fs);
}
// Format("COM%d", n), Format("%s: %d", name, count)
template <typename... Args>
  requires(sizeof...(Args) > 0 && (std::is_constructible_v<TVarRec, const Args&> && ...))
String Format(const String& format, const Args&... args) {
  const TVarRec list[] = {TVarRec(args)...};
  return Format(format, list, sizeof...(Args));
}
