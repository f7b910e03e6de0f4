// Fast exact conversion of a stored 6-byte real to extended precision, and
// the order key of a stored real, for the loops that look at every record
// of a scan.  Gives exactly toext(r):
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

// The order key of the real whose 6 bytes are the low 48 bits of w: an
// integer that orders reals as their values do.  Neighbouring reals have
// neighbouring keys (1 apart, across exponents too), every encoding of 0
// has key 0, a negative value the negated key of its magnitude.
inline std::int64_t realkeyofbits(std::uint64_t w) {
  const std::uint64_t exponent = w & 0xFF;
  std::uint64_t magnitude = exponent << 39 | ((w >> 8) & ((std::uint64_t{1} << 39) - 1));
  magnitude &= 0 - static_cast<std::uint64_t>(exponent != 0);
  const std::uint64_t negative = (w >> 47) & 1;
  return static_cast<std::int64_t>((magnitude ^ (0 - negative)) + negative);
}

// A cheaper key for positive reals: the exponent above the fraction, with
// the sign bit between them.  It orders positive reals as their values do
// (with gaps at each new exponent); 0 lies below every positive real, a
// negative value in the gap above the positive reals of its exponent.
inline std::int64_t positivekeyofbits(std::uint64_t w) {
  return static_cast<std::int64_t>((w & 0xFF) << 40 | ((w >> 8) & 0xFFFFFFFFFF));
}

// The positive key of the real whose order key is key (> 0).
inline std::int64_t positivekeyoforder(std::int64_t key) {
  return (key >> 39) << 40 | (key & ((std::int64_t{1} << 39) - 1));
}

inline std::int64_t realkey(const real& r) {
  std::uint64_t w = 0;
  std::memcpy(&w, r.bytes.data(), 6);
  return realkeyofbits(w);
}

// A closed range of order keys.  The default range holds every key.
struct RealKeyRange {
  std::int64_t lo = -(std::int64_t{1} << 60), span = std::int64_t{1} << 61;
  RealKeyRange() = default;
  RealKeyRange(std::int64_t first, std::int64_t last) : lo(first), span(last - first) {}
  // Negative when key lies outside (keys and bounds are below 2^49 in
  // magnitude, so nothing overflows); made for combining without jumps.
  std::int64_t outside(std::int64_t key) const {
    const std::int64_t d = key - lo;
    return d | (span - d);
  }
  bool holds(std::int64_t key) const { return outside(key) >= 0; }
};
