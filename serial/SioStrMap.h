// The numbered message table of the serial component: a text for every result code and for the names the
// dispatch log prints.
#pragma once

#include "platform/rtl/Types.h"

struct SioMessageNumberLookupRecord {
  Integer Code;
  String Text;
};

// Number of records of the table.
inline constexpr int kMessageTableSize = 892;

// The table, sorted ascending by the absolute value of Code (no two codes share one). Filled on first use.
const SioMessageNumberLookupRecord* MessageTable();

// Text of the record whose |Code| equals |code| (at most 255 characters); "" when there is none.
String LookupMessage(SmallInt code);

// LookupMessage, or when that is empty the operating system's message for |code| passed through
// CleanMessage; "" when there is none either.
String MessageText(Integer code);

// Characters below 32 become blanks, then each run of blanks shrinks to one.
String CleanMessage(const String& s);
