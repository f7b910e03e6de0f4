#include "lib/support/real48.h"

#include <cmath>
#include <limits>

long double toext(real r) {
  const auto& b = r.bytes;
  if (b[0] == 0) return 0.0L;
  std::uint64_t frac = 0;
  for (int i = 5; i >= 1; --i) frac = (frac << 8) | b[i];
  frac &= (std::uint64_t{1} << 39) - 1;  // drop the sign bit
  long double mant = 1.0L + std::ldexp(static_cast<long double>(frac), -39);
  long double v = std::ldexp(mant, static_cast<int>(b[0]) - 129);
  return (b[5] & 0x80) ? -v : v;
}

real toreal(long double v) {
  real r;
  if (std::isnan(v) || v == 0.0L) return r;
  bool negative = std::signbit(v);
  long double a = std::fabs(v);
  if (std::isinf(a)) a = std::numeric_limits<long double>::max();  // clamps below
  int e2 = 0;
  long double m = std::frexp(a, &e2);  // a = m * 2^e2, m in [0.5, 1)
  // 1.f form: mantissa m*2 in [1,2), exponent e2-1.  Scale so that the
  // integer part holds the implied bit and 39 fraction bits.
  long double scaled = std::ldexp(m, 40);        // in [2^39, 2^40)
  long double rounded = std::nearbyint(scaled);  // ties to even
  int exponent = e2 - 1;
  if (rounded >= std::ldexp(1.0L, 40)) {  // rounding carried into a new bit
    rounded = std::ldexp(1.0L, 39);
    exponent += 1;
  }
  int biased = exponent + 129;
  std::uint64_t frac;
  if (biased > 255) {  // too large: the largest value of this sign
    biased = 255;
    frac = (std::uint64_t{1} << 39) - 1;
  } else if (biased < 1) {  // too small: 0
    return r;
  } else {
    frac = static_cast<std::uint64_t>(rounded) - (std::uint64_t{1} << 39);
  }
  r.bytes[0] = static_cast<std::uint8_t>(biased);
  for (int i = 1; i <= 5; ++i) {
    r.bytes[i] = static_cast<std::uint8_t>(frac & 0xFF);
    frac >>= 8;
  }
  if (negative) r.bytes[5] |= 0x80;
  return r;
}
