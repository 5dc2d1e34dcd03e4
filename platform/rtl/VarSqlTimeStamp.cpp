// The time stamp record, its date-time conversions and the SQL time-stamp variant type.
#include <cmath>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/VarInternal.h"

namespace {

class TSQLTimeStampValue : public TCustomVarValue {
 public:
  explicit TSQLTimeStampValue(const TSQLTimeStamp& ATimeStamp) : TimeStamp(ATimeStamp) {}
  TSQLTimeStamp TimeStamp;
};

class TSQLTimeStampVariantType : public TCustomVariantType {
 public:
  TSQLTimeStampVariantType() : TCustomVariantType("SQLTimeStamp") {}

  static const TSQLTimeStamp& ValueOf(const Variant& v) {
    return static_cast<const TSQLTimeStampValue*>(v.CustomValue())->TimeStamp;
  }

  Variant CastTo(const Variant& source, TVarType target) const override {
    TDateTime value = 0;
    try {
      value = SQLTimeStampToDateTime(ValueOf(source));
    } catch (const EConvertError&) {
      k58::rtl::RaiseCastError(VarType(), target);
    }
    if (target == varString) return Variant(DateTimeToStr(value));
    if (target == varOleStr) return Variant(Utf8ToWide(DateTimeToStr(value)));
    return VarAsType(Variant::FromDateTime(value), target);
  }

  Variant CastFrom(const Variant& source) const override {
    const TVarType kind = VariantAccess::Kind(source);
    try {
      return VarSQLTimeStampCreate(DateTimeToSQLTimeStamp(source.AsDateTime()));
    } catch (const EConvertError&) {
      k58::rtl::RaiseCastError(kind, VarType());
    }
  }

  TVarType OperandType() const override { return varDate; }
  int Compare(const Variant& a, const Variant& b) const override {
    return CompareSQLTimeStamps(ValueOf(a), ValueOf(b));
  }
};

const TSQLTimeStampVariantType& TimeStampType() {
  static const TSQLTimeStampVariantType type;
  return type;
}

}  // namespace

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime ADateTime) {
  // Day numbers of 0001-01-01 and 9999-12-31.
  const double day = std::trunc(ADateTime);
  if (!std::isfinite(ADateTime) || day < -693593 || day > 2958465) throw EConvertError(rtlconsts::SDateEncodeError);
  Word year, month, dayOfMonth, hour, minute, second, msec;
  DecodeDate(ADateTime, year, month, dayOfMonth);
  DecodeTime(ADateTime, hour, minute, second, msec);
  TSQLTimeStamp ts;
  ts.Year = static_cast<SmallInt>(year);
  ts.Month = month;
  ts.Day = dayOfMonth;
  ts.Hour = hour;
  ts.Minute = minute;
  ts.Second = second;
  ts.Fractions = msec;
  return ts;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& ATimeStamp) {
  const TSQLTimeStamp& t = ATimeStamp;
  if (t.Year == 0 && t.Month == 0 && t.Day == 0 && t.Hour == 0 && t.Minute == 0 && t.Second == 0 && t.Fractions == 0)
    return 0;
  TDateTime date = 0;
  TDateTime time = 0;
  if (t.Year < 1 || t.Fractions > 999 || !TryEncodeDate(static_cast<Word>(t.Year), t.Month, t.Day, date) ||
      !TryEncodeTime(t.Hour, t.Minute, t.Second, static_cast<Word>(t.Fractions), time))
    throw EConvertError(rtlconsts::SDateEncodeError);
  return date >= 0 ? date + time : date - time;
}

Integer CompareSQLTimeStamps(const TSQLTimeStamp& A, const TSQLTimeStamp& B) {
  auto order = [](auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); };
  if (Integer c = order(A.Year, B.Year)) return c;
  if (Integer c = order(A.Month, B.Month)) return c;
  if (Integer c = order(A.Day, B.Day)) return c;
  if (Integer c = order(A.Hour, B.Hour)) return c;
  if (Integer c = order(A.Minute, B.Minute)) return c;
  if (Integer c = order(A.Second, B.Second)) return c;
  return order(A.Fractions, B.Fractions);
}

TVarType VarSQLTimeStamp() { return TimeStampType().VarType(); }

Variant VarSQLTimeStampCreate(const TSQLTimeStamp& ATimeStamp) {
  return Variant::FromCustom(TimeStampType(), new TSQLTimeStampValue(ATimeStamp));
}

bool VarIsSQLTimeStamp(const Variant& AValue) { return AValue.CustomType() == &TimeStampType(); }

TSQLTimeStamp VarToSQLTimeStamp(const Variant& AValue) {
  if (VarIsSQLTimeStamp(AValue)) return TSQLTimeStampVariantType::ValueOf(AValue);
  return TSQLTimeStampVariantType::ValueOf(VarAsType(AValue, VarSQLTimeStamp()));
}
