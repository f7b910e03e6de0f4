// The 6-byte real, the stored form of every coordinate, tolerance and bound.
//
// Byte layout (as in the database file and in every record):
//   byte 0      exponent e, bias 129; e == 0 means the value 0 whatever
//               the other bytes hold
//   bytes 1..5  39-bit fraction f, byte 1 least significant; bit 7 of
//               byte 5 is the sign s
//   value = (-1)^s * 2^(e-129) * (1 + f / 2^39)
// Examples: 81 00 00 00 00 00 = 1.0, 87 00 00 00 00 48 = 100.0,
//           87 00 00 00 00 C8 = -100.0.
//
// Arithmetic is done in extended precision (long double); a value is
// rounded to this form only when stored.
#pragma once

#include <array>
#include <cstdint>

struct real {
  std::array<std::uint8_t, 6> bytes{};  // all zero: the value 0

  friend bool operator==(const real&, const real&) = default;
};
static_assert(sizeof(real) == 6, "the 6-byte real must stay 6 bytes");

// Exact value of a stored real.
long double toext(real r);

// Nearest stored real (ties to even).  Values too large for the format
// (magnitude 2^127 and above after rounding to 40 bits; the largest value
// is 2^126 * (2 - 2^-39)) give the largest value of their sign; values too
// small (below 2^-128 after rounding to 40 bits: no gradual underflow), NaN
// and 0 give 0; infinities give the largest value of their sign.
real toreal(long double v);

// Shorthand for rounding a value to stored precision and back.
inline long double roundtoreal(long double v) { return toext(toreal(v)); }
