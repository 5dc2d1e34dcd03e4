#include "app/MeMode.h"

#include "platform/rtl/SysUtils.h"

const std::array<Byte, FunctionSize> DefaultFunctionSettings = {
    1,    1,    0,    0, 5, 1,    1, 1, 0, 1,  // bytes 304-313
    0xFF, 0xFF, 0xFF, 1, 3, 0xFF, 1, 5, 1, 6,  // bytes 314-323
};

namespace {

bool IsDecimalDigit(char C) { return C >= '0' && C <= '9'; }

bool IsHexDigit(char C) { return IsDecimalDigit(C) || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f'); }

Byte HexValue(char C) {
  if (IsDecimalDigit(C)) return static_cast<Byte>(C - '0');
  if (C >= 'A' && C <= 'F') return static_cast<Byte>(C - 'A' + 10);
  return static_cast<Byte>(C - 'a' + 10);
}

bool AllDecimal(const String& Text) {
  if (Text.empty()) return false;
  for (char C : Text)
    if (!IsDecimalDigit(C)) return false;
  return true;
}

// The part of Text before the first occurrence of Unit ("MHz", "Hz"), or all of it.
String BeforeUnit(const String& Text, const char* Unit) {
  const auto P = Text.find(Unit);
  return P == String::npos ? Text : Text.substr(0, P);
}

// Two digits with a leading zero, for bytes of the write time and file header.
String TwoDigits(Integer Value) { return Value < 10 ? "0" + IntToStr(Value) : IntToStr(Value); }

// Hex digits of the given bytes, in the given order, two upper-case digits each.
String HexDigits(std::initializer_list<Byte> Bytes) {
  String Result;
  for (Byte B : Bytes) Result += IntToHex(static_cast<Integer>(B), 2);
  return Result;
}

}  // namespace

std::array<Byte, 4> EncodeFrequency(const String& Text) {
  std::array<Byte, 4> Result{0xFF, 0xFF, 0xFF, 0xFF};
  const String Number = BeforeUnit(Text, "MHz");
  if (Number.empty()) return Result;
  const Extended Value = StrToFloat(Number);
  // Eight BCD digits of 10 Hz hold 0 to 999.99999 MHz; anything else would be stored as other digits.
  if (!(Value >= 0 && Value < 1000)) throw EConvertError("'" + Text + "' is not a valid frequency");
  const Int64 Units = Round(Value * 100000);
  if (Units > 99999999) throw EConvertError("'" + Text + "' is not a valid frequency");
  String Digits = IntToStr(Units);
  Digits.insert(0, 8 - Digits.size(), '0');
  for (Integer I = 0; I < 4; ++I) {
    const char High = Digits[6 - 2 * I];
    const char Low = Digits[7 - 2 * I];
    Result[I] = static_cast<Byte>(HexValue(High) << 4 | HexValue(Low));
  }
  return Result;
}

double DecodeFrequency(const Byte* Bytes) {
  const String Digits = HexDigits({Bytes[3], Bytes[2], Bytes[1], Bytes[0]});
  if (ContainsAnyChar(Digits, "ABCDEF")) return -1.0;
  return static_cast<double>(StrToInt(Digits)) / 100000;
}

std::array<Byte, 2> EncodeTone(const String& Text) {
  std::array<Byte, 2> Result{0xFF, 0xFF};
  const String Tone = BeforeUnit(Text, "Hz");
  if (Tone.empty()) return Result;
  if (Tone[0] == 'D') {
    // "D" + three code digits + N (normal, 8) or I (inverted, C).
    Byte Suffix = 0;
    if (Tone.size() == 5) {
      switch (Tone[4]) {
        case 'N':
        case 'n':
          Suffix = 0x8;
          break;
        case 'I':
        case 'i':
          Suffix = 0xC;
          break;
        default:
          break;
      }
    }
    if (Suffix == 0 || !IsHexDigit(Tone[1]) || !IsHexDigit(Tone[2]) || !IsHexDigit(Tone[3]))
      throw EConvertError("'" + Text + "' is not a valid tone");
    Result[0] = static_cast<Byte>(HexValue(Tone[2]) << 4 | HexValue(Tone[3]));
    Result[1] = static_cast<Byte>(Suffix << 4 | HexValue(Tone[1]));
    return Result;
  }
  // CTCSS: tenths of a hertz as four decimal digits.
  const Extended Value = StrToFloat(Tone);
  const String Digits = (Value >= 0 && Value < 1000) ? FormatFloat("0000", Value * 10) : String();
  if (Digits.size() != 4 || !AllDecimal(Digits)) throw EConvertError("'" + Text + "' is not a valid tone");
  Result[0] = static_cast<Byte>(HexValue(Digits[2]) << 4 | HexValue(Digits[3]));
  Result[1] = static_cast<Byte>(HexValue(Digits[0]) << 4 | HexValue(Digits[1]));
  return Result;
}

String DecodeTone(Byte Low, Byte High) {
  const String Digits = HexDigits({High, Low});
  if (Digits == "FFFF") return String();
  if (Digits[0] == '8') return "D" + Digits.substr(1) + "N";
  if (Digits[0] == 'C') return "D" + Digits.substr(1) + "I";
  if (AllDecimal(Digits)) return FormatFloat("0.0", static_cast<Extended>(StrToInt(Digits)) / 10);
  return String();
}

bool DecodeChannel(const Byte* Record, TChannelValues& Values) {
  Values.RxMHz = DecodeFrequency(Record);
  if (Values.RxMHz < 0) return false;
  Values.TxMHz = DecodeFrequency(Record + 4);
  Values.RxTone = DecodeTone(Record[8], Record[9]);
  Values.TxTone = DecodeTone(Record[10], Record[11]);
  for (Integer Bit = 0; Bit < 7; ++Bit) Values.Flags[Bit] = (Record[12] >> Bit) & 1;
  return true;
}

double SnapToStep(double MHz, Integer StepA, Integer StepB) {
  const Int64 Units = Round(static_cast<Extended>(MHz) * 100000);
  if ((StepB > 0 && Units % StepB == 0) || (StepA > 0 && Units % StepA == 0) || StepA <= 0) return MHz;
  return static_cast<double>(Units - Units % StepA) / 100000;
}

String NormalizeTone(const String& Text) {
  if (Text.empty()) return String();
  if (IsDecimalDigit(Text[0])) {
    Extended Value = 0;
    if (!TryStrToFloat(Text, Value)) Value = 290;
    if (Value < 30) Value = 30;
    if (Value > 290) Value = 290;
    return FormatFloat("0.0", Value);
  }
  if (Text.size() == 5 && Text[0] == 'D') {
    bool Octal = true;
    for (Integer I = 1; I <= 3; ++I) Octal = Octal && Text[I] >= '0' && Text[I] <= '7';
    const char Suffix = Text[4];
    if (Octal && (Suffix == 'I' || Suffix == 'N' || Suffix == 'i' || Suffix == 'n')) return Text;
  }
  return "D777N";
}

void EncodeWriteTime(const String& Text, Byte* Bytes) {
  const Integer Year = StrToInt(Copy(Text, 1, 4));
  const Integer Fields[5] = {StrToInt(Copy(Text, 6, 2)), StrToInt(Copy(Text, 9, 2)),
                             StrToInt(Copy(Text, 12, 2)), StrToInt(Copy(Text, 15, 2)),
                             StrToInt(Copy(Text, 18, 2))};
  Bytes[0] = static_cast<Byte>(Year & 0xFF);
  Bytes[1] = static_cast<Byte>((Year >> 8) & 0xFF);
  for (Integer I = 0; I < 5; ++I) Bytes[2 + I] = static_cast<Byte>(Fields[I]);
}

String FormatWriteTime(const Byte* Bytes) {
  return IntToStr(Bytes[1] * 256 + Bytes[0]) + "-" + TwoDigits(Bytes[2]) + "-" + TwoDigits(Bytes[3]) + " " +
         TwoDigits(Bytes[4]) + ":" + TwoDigits(Bytes[5]) + ":" + TwoDigits(Bytes[6]);
}

std::array<Byte, 8> ScramblePassword(const Byte* Password) {
  std::array<Byte, 8> Result{};
  Result[0] = Password[0] ^ PasswordKey;
  for (Integer I = 1; I < 8; ++I) Result[I] = Password[I] ^ Password[0];
  return Result;
}

char PrintableChar(char C) {
  const bool Kept = (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || IsDecimalDigit(C);
  return Kept ? C : ' ';
}

String BytesToText(const Byte* Bytes, Integer Count) {
  return String(reinterpret_cast<const char*>(Bytes), static_cast<size_t>(Count > 0 ? Count : 0));
}

Byte HexToByte(const String& Text) { return static_cast<Byte>(HexToInt(Copy(Text, 1, 2))); }

bool ContainsAnyChar(const String& Text, const String& Chars) {
  return Text.find_first_of(Chars) != String::npos;
}

void FillFF(Byte* Bytes, Integer N) {
  for (Integer I = 0; I <= N; ++I) Bytes[I] = 0xFF;
}

String IfThenStr(bool Condition, const String& WhenTrue, const String& WhenFalse) {
  return Condition ? WhenTrue : WhenFalse;
}
