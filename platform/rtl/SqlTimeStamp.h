// The database run time's 16-byte time stamp record, its conversion to and from date-times, and the SQL
// time-stamp custom variant type.
#pragma once

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variants.h"

// Fractions are milliseconds. A record of zeros stands for no time stamp and converts to the date 0.
struct TSQLTimeStamp {
  SmallInt Year = 0;
  Word Month = 0;
  Word Day = 0;
  Word Hour = 0;
  Word Minute = 0;
  Word Second = 0;
  LongWord Fractions = 0;
};
static_assert(sizeof(TSQLTimeStamp) == 16, "the time stamp record is 16 bytes");

// Raises EConvertError "Invalid argument to date encode" for a date outside 0001-01-01 .. 9999-12-31 or a
// value that is no number.
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime ADateTime);
// Raises EConvertError for fields out of range (the zero record gives 0).
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& ATimeStamp);
// The fields compared in order (Year signed, the others unsigned): < 0, 0, > 0.
Integer CompareSQLTimeStamps(const TSQLTimeStamp& A, const TSQLTimeStamp& B);

// The SQL time-stamp variant type: its code (assigned when first asked for), values made from a record,
// and the record of any variant that converts to a date (EVariantTypeCastError otherwise). Beside other
// values it meets them as a date; two of its values compare field by field. Its text is the date-time's.
TVarType VarSQLTimeStamp();
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& ATimeStamp);
bool VarIsSQLTimeStamp(const Variant& AValue);
TSQLTimeStamp VarToSQLTimeStamp(const Variant& AValue);
