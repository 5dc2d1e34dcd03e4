// Basic types of the class library and run-time library, with the widths the rest of the system relies on.
#pragma once

#include <cstdint>
#include <string>

using Integer = int32_t;
using Cardinal = uint32_t;
using Int64 = int64_t;
using UInt64 = uint64_t;
using SmallInt = int16_t;
using ShortInt = int8_t;
using Byte = uint8_t;
using Word = uint16_t;
using LongWord = uint32_t;
using LongInt = int32_t;
using Extended = long double;
using Double = double;
using Single = float;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

// Text is UTF-8 in String; WideString holds UTF-16 code units.
using String = std::string;
using AnsiString = std::string;
using WideString = std::u16string;
using WideChar = char16_t;
using AnsiChar = char;
