// Message texts of the run-time library's errors. Those with %s or %d go through Format.
#pragma once

namespace rtlconsts {
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SInvalidBoolean = "'%s' is not a valid boolean value";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError = "Invalid argument to time encode";
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SDivByZero = "Division by zero";
inline constexpr const char* SRangeError = "Range check error";
inline constexpr const char* SIntOverflow = "Integer overflow";
inline constexpr const char* SInvalidOp = "Invalid floating point operation";
inline constexpr const char* SZeroDivide = "Floating point division by zero";
inline constexpr const char* SOverflow = "Floating point overflow";
inline constexpr const char* SUnderflow = "Floating point underflow";
inline constexpr const char* SOutOfMemory = "Out of memory";
inline constexpr const char* SInvalidCast = "Invalid class typecast";
inline constexpr const char* SOperationAborted = "Operation aborted";
inline constexpr const char* SAbstractError = "Abstract Error";
inline constexpr const char* SAssertionFailed = "Assertion failed";
inline constexpr const char* SInOutError = "I/O error %d";
inline constexpr const char* SCodePageError = "Cannot convert text from %s to %s";
}  // namespace rtlconsts
