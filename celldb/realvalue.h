// Fast exact conversion of a stored 6-byte real to extended precision, for
// the loops that look at every record of a scan.  Gives exactly toext(r):
// the 40-bit mantissa of a real fits the 64-bit mantissa of the x87
// extended format, so on x86 the value is assembled bit by bit; elsewhere
// it falls back to toext.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "lib/support/real48.h"

inline long double realvalue(const real& r) {
#if (defined(__x86_64__) || defined(__i386__)) && LDBL_MANT_DIG == 64
  const auto& b = r.bytes;
  if (b[0] == 0) return 0.0L;
  std::uint64_t frac = std::uint64_t{b[1]} | std::uint64_t{b[2]} << 8 | std::uint64_t{b[3]} << 16 |
                       std::uint64_t{b[4]} << 24 | std::uint64_t{b[5] & 0x7Fu} << 32;
  std::uint64_t mantissa = (std::uint64_t{1} << 63) | (frac << 24);
  // x87 exponent bias 16383, real bias 129.
  auto signexp = static_cast<std::uint16_t>((b[0] + 16383 - 129) | ((b[5] & 0x80u) << 8));
  unsigned char raw[sizeof(long double)] = {};
  std::memcpy(raw, &mantissa, 8);
  std::memcpy(raw + 8, &signexp, 2);
  long double v;
  std::memcpy(&v, raw, sizeof v);
  return v;
#else
  return toext(r);
#endif
}

// The same value as a double: exact too, because a real's 40-bit mantissa
// and its exponent range fit a double.  (Sums and differences of doubles
// round, so exact comparisons still need realvalue; see nearboundary.)
inline double realdouble(const real& r) {
  const auto& b = r.bytes;
  if (b[0] == 0) return 0.0;
  std::uint64_t frac = std::uint64_t{b[1]} | std::uint64_t{b[2]} << 8 | std::uint64_t{b[3]} << 16 |
                       std::uint64_t{b[4]} << 24 | std::uint64_t{b[5] & 0x7Fu} << 32;
  std::uint64_t bits = std::uint64_t{b[5] & 0x80u} << 56 | std::uint64_t(b[0] + 1023 - 129) << 52 | frac << 13;
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// True when a double difference d (rounded once, so within a relative
// 2^-53 of the exact one) is too close to the bound t to decide which side
// the exact value lies on.
inline bool nearboundary(double d, double t) {
  return std::fabs(d - t) <= t * 1e-12;
}
