// Rounding and integer arithmetic with the run-time library's semantics.
//
// C++ '/' and '%' on integers already truncate toward zero with the remainder taking the dividend's
// sign, as the class library's div and mod do.
#pragma once

#include "platform/rtl/Types.h"

// Nearest integer, halves to even: Round(0.5) = 0, Round(1.5) = 2, Round(2.5) = 2, Round(-2.5) = -2.
// Raises EInvalidOp for NaN, infinities and values outside Int64.
Int64 Round(Extended value);
// Toward zero; raises EInvalidOp like Round.
Int64 Trunc(Extended value);
// Integer and fractional parts as floating point (Int(-2.5) = -2, Frac(-2.5) = -0.5).
Extended Int(Extended value);
Extended Frac(Extended value);
Int64 Ceil(Extended value);
Int64 Floor(Extended value);

// number * numerator / denominator with a 64-bit intermediate, rounded to nearest with halves away
// from zero; -1 when denominator is 0 or the result does not fit 32 bits.
int MulDiv(int number, int numerator, int denominator);

// The 10-byte stream form of the 80-bit extended type (64-bit mantissa with explicit integer bit,
// 15-bit exponent, sign; little-endian). Every double converts there and back exactly.
void ExtendedToBytes(Extended value, Byte out[10]);
Extended BytesToExtended(const Byte in[10]);

// The class library's linear congruential generator: RandSeed = RandSeed * 134775813 + 1.
extern uint32_t RandSeed;
// 0 <= result < range (0 when range <= 0).
Integer Random(Integer range);
// 0 <= result < 1.
Extended Random();
// Seeds from the clock.
void Randomize();
