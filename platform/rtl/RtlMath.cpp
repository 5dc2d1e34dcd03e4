#include "platform/rtl/RtlMath.h"

#include <time.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/rtl/Exception.h"
#include "platform/rtl/RtlConsts.h"

uint32_t RandSeed = 0;

namespace {

// Int64 holds exactly the integers in [-2^63, 2^63).
constexpr Extended kTwo63 = 9223372036854775808.0L;

Int64 ToInt64(Extended integral) {
  if (!(integral >= -kTwo63 && integral < kTwo63)) throw EInvalidOp(rtlconsts::SInvalidOp);
  return static_cast<Int64>(integral);
}

}  // namespace

Int64 Round(Extended value) {
  // nearbyintl rounds halves to even in the default rounding mode; make sure that is the mode.
  const int saved = std::fegetround();
  if (saved != FE_TONEAREST) std::fesetround(FE_TONEAREST);
  const Extended r = std::nearbyint(value);
  if (saved != FE_TONEAREST) std::fesetround(saved);
  return ToInt64(r);
}

Int64 Trunc(Extended value) { return ToInt64(std::trunc(value)); }

Extended Int(Extended value) { return std::trunc(value); }

Extended Frac(Extended value) { return value - std::trunc(value); }

Int64 Ceil(Extended value) { return ToInt64(std::ceil(value)); }

Int64 Floor(Extended value) { return ToInt64(std::floor(value)); }

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const Int64 product = static_cast<Int64>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  const UInt64 p = product < 0 ? 0 - static_cast<UInt64>(product) : static_cast<UInt64>(product);
  const UInt64 d = denominator < 0 ? 0 - static_cast<UInt64>(static_cast<Int64>(denominator))
                                   : static_cast<UInt64>(denominator);
  const UInt64 q = (p + d / 2) / d;  // halves away from zero
  if (negative ? q > 2147483648ull : q > 2147483647ull) return -1;
  return negative ? static_cast<int>(-static_cast<Int64>(q)) : static_cast<int>(q);
}

// long double is the x87 80-bit format on the targets we build for; its first 10 bytes in memory
// are the stream form.
static_assert(std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10,
              "Extended must be the 80-bit x87 format");

void ExtendedToBytes(Extended value, Byte out[10]) { std::memcpy(out, &value, 10); }

Extended BytesToExtended(const Byte in[10]) {
  Extended value = 0;
  std::memcpy(&value, in, 10);
  return value;
}

Integer Random(Integer range) {
  RandSeed = RandSeed * 134775813u + 1u;
  if (range <= 0) return 0;
  return static_cast<Integer>((static_cast<UInt64>(RandSeed) * static_cast<UInt64>(range)) >> 32);
}

Extended Random() {
  RandSeed = RandSeed * 134775813u + 1u;
  return static_cast<Extended>(RandSeed) / 4294967296.0L;
}

void Randomize() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  RandSeed = static_cast<uint32_t>(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}
