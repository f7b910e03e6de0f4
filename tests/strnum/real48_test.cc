// The 6-byte real: byte layout, exact reading, nearest-value storing.
#include "lib/support/real48.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

real bytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4,
           std::uint8_t b5) {
  real r;
  r.bytes = {b0, b1, b2, b3, b4, b5};
  return r;
}

// The real with biased exponent e, 39-bit fraction f and sign.
real make(int e, std::uint64_t f, bool negative = false) {
  real r;
  r.bytes[0] = static_cast<std::uint8_t>(e);
  for (int i = 1; i <= 5; ++i) {
    r.bytes[i] = static_cast<std::uint8_t>(f & 0xFF);
    f >>= 8;
  }
  if (negative) r.bytes[5] |= 0x80;
  return r;
}

// Exact value (2^39 + f) * 2^(e - 129 - 39).
long double value(int e, std::uint64_t f) {
  return std::ldexp(static_cast<long double>((std::uint64_t{1} << 39) + f), e - 129 - 39);
}

std::string hex(real r) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02X %02X %02X %02X %02X %02X", r.bytes[0], r.bytes[1],
                r.bytes[2], r.bytes[3], r.bytes[4], r.bytes[5]);
  return buf;
}

std::string printed(long double v, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*Lg", digits, v);
  return buf;
}

constexpr std::uint64_t kMaxFraction = (std::uint64_t{1} << 39) - 1;

// --- byte layout -----------------------------------------------------------

TEST(Real48Layout, ReadsOneHundredAndMinusOneHundredFromTheirBytes) {
  EXPECT_EQ(toext(bytes(0x81, 0, 0, 0, 0, 0x00)), 1.0L);
  EXPECT_EQ(toext(bytes(0x87, 0, 0, 0, 0, 0x48)), 100.0L);
  EXPECT_EQ(toext(bytes(0x87, 0, 0, 0, 0, 0xC8)), -100.0L);
}

TEST(Real48Layout, WritesOneHundredAndMinusOneHundredAsTheirBytes) {
  EXPECT_EQ(hex(toreal(1.0L)), "81 00 00 00 00 00");
  EXPECT_EQ(hex(toreal(100.0L)), "87 00 00 00 00 48");
  EXPECT_EQ(hex(toreal(-100.0L)), "87 00 00 00 00 C8");
}

TEST(Real48Layout, FractionByteOneIsLeastSignificant) {
  EXPECT_EQ(toext(bytes(0x81, 0x01, 0, 0, 0, 0)), 1.0L + std::ldexp(1.0L, -39));
  EXPECT_EQ(toext(bytes(0x81, 0, 0, 0, 0, 0x40)), 1.5L);
  EXPECT_EQ(toext(make(255, kMaxFraction)), value(255, kMaxFraction));
  EXPECT_EQ(toext(make(1, 0)), std::ldexp(1.0L, -128));
}

TEST(Real48Layout, ExponentByteZeroReadsZeroWhateverFollows) {
  EXPECT_EQ(toext(bytes(0, 0, 0, 0, 0, 0)), 0.0L);
  EXPECT_EQ(toext(bytes(0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)), 0.0L);
  EXPECT_EQ(toext(bytes(0, 0x12, 0x34, 0x56, 0x78, 0x80)), 0.0L);
  EXPECT_FALSE(std::signbit(toext(bytes(0, 0, 0, 0, 0, 0x80))));
}

TEST(Real48Layout, ZeroIsStoredAsAllZeroBytes) {
  EXPECT_EQ(hex(toreal(0.0L)), "00 00 00 00 00 00");
  EXPECT_EQ(hex(toreal(-0.0L)), "00 00 00 00 00 00");
}

// --- constants held in stored precision --------------------------------------

struct Held {
  long double decimal;
  const char* printed;  // the stored value, to as many digits as written here
  int e;                // biased exponent of the nearest real
  std::uint64_t f;      // its fraction
};

TEST(Real48Constants, DecimalConstantsAreHeldAsTheirNearestReal) {
  const Held held[] = {
      {0.005L, "0.005000000000002558", 121, 0xA3D70A3D71 - (std::uint64_t{1} << 39)},
      {0.2L, "0.20000000000004547", 126, 0xCCCCCCCCCD - (std::uint64_t{1} << 39)},
      {0.33L, "0.32999999999992724", 127, 0xA8F5C28F5C - (std::uint64_t{1} << 39)},
      {0.001L, "0.0009999999999994458", 119, 0x83126E978D - (std::uint64_t{1} << 39)},
  };
  for (const Held& h : held) {
    SCOPED_TRACE(h.printed);
    real r = toreal(h.decimal);
    EXPECT_EQ(r, make(h.e, h.f));
    long double back = toext(r);
    EXPECT_EQ(back, value(h.e, h.f));
    EXPECT_EQ(roundtoreal(h.decimal), back);
    // The stored value printed to as many significant digits as given.
    std::string p = h.printed;
    int digits = static_cast<int>(p.size() - p.find_first_not_of("0."));
    EXPECT_EQ(printed(back, digits), p);
    // A double constant gives the same real as the long double one.
    EXPECT_EQ(toreal(static_cast<double>(h.decimal)), r);
  }
}

// --- round trips -----------------------------------------------------------

TEST(Real48RoundTrip, EveryStoredRealReadsAndStoresUnchanged) {
  std::mt19937_64 gen(20240613);
  std::uniform_int_distribution<int> exponent(1, 255);
  for (int i = 0; i < 200000; ++i) {
    std::uint64_t bits = gen();
    real r;
    r.bytes[0] = static_cast<std::uint8_t>(exponent(gen));
    for (int k = 1; k <= 5; ++k) r.bytes[k] = static_cast<std::uint8_t>(bits >> (8 * k));
    ASSERT_EQ(toreal(toext(r)), r) << hex(r);
  }
}

TEST(Real48RoundTrip, ExtremeExponentsAndFractions) {
  for (int e : {1, 2, 128, 129, 130, 254, 255})
    for (std::uint64_t f : {std::uint64_t{0}, std::uint64_t{1}, kMaxFraction - 1, kMaxFraction})
      for (bool neg : {false, true}) {
        real r = make(e, f, neg);
        EXPECT_EQ(toreal(toext(r)), r) << hex(r);
        EXPECT_EQ(toext(r), neg ? -value(e, f) : value(e, f)) << hex(r);
      }
}

// --- nearest value, ties to even -------------------------------------------

TEST(Real48Rounding, ExactHalfwayGoesToTheEvenFraction) {
  const long double half = std::ldexp(1.0L, -40);  // half a unit at exponent 129
  for (std::uint64_t f : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{2}, std::uint64_t{3},
                          std::uint64_t{0x123456789A}, kMaxFraction - 1}) {
    long double below = value(129, f);
    long double tie = below + half;
    std::uint64_t even = (f % 2 == 0) ? f : f + 1;
    EXPECT_EQ(toreal(tie), make(129, even)) << f;
    EXPECT_EQ(toreal(-tie), make(129, even, true)) << f;
  }
}

TEST(Real48Rounding, JustOffHalfwayGoesToTheNearer) {
  const long double half = std::ldexp(1.0L, -40);
  const long double nudge = std::ldexp(1.0L, -60);  // far below long double's resolution limit
  for (std::uint64_t f : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{0x5555555555}}) {
    long double tie = value(129, f) + half;
    EXPECT_EQ(toreal(tie - nudge), make(129, f)) << f;
    EXPECT_EQ(toreal(tie + nudge), make(129, f + 1)) << f;
  }
}

TEST(Real48Rounding, TieAtTheTopOfABinadeCarriesIntoTheExponent) {
  // (2 - 2^-40) * 2^0 lies halfway between the largest fraction (odd) and 2.
  long double tie = value(129, kMaxFraction) + std::ldexp(1.0L, -40);
  EXPECT_EQ(toreal(tie), make(130, 0));
  EXPECT_EQ(toext(toreal(tie)), 2.0L);
}

TEST(Real48Rounding, TieAtSmallAndLargeExponents) {
  const long double tiny = value(2, 1) + std::ldexp(1.0L, 2 - 129 - 40);
  EXPECT_EQ(toreal(tiny), make(2, 2));
  const long double big = value(250, 2) + std::ldexp(1.0L, 250 - 129 - 40);
  EXPECT_EQ(toreal(big), make(250, 2));
}

// --- out of range ----------------------------------------------------------

TEST(Real48Range, OverflowGivesTheLargestValueWithSign) {
  const real largest = make(255, kMaxFraction);
  const real smallest = make(255, kMaxFraction, true);
  EXPECT_EQ(toreal(std::ldexp(1.0L, 127)), largest);
  EXPECT_EQ(toreal(-std::ldexp(1.0L, 127)), smallest);
  EXPECT_EQ(toreal(1e300L), largest);
  EXPECT_EQ(toreal(-1e300L), smallest);
  EXPECT_EQ(toreal(LDBL_MAX), largest);
  EXPECT_EQ(toreal(-LDBL_MAX), smallest);
  // The largest value itself and a value rounding down to it stay as they are.
  EXPECT_EQ(toreal(value(255, kMaxFraction)), largest);
  EXPECT_EQ(toreal(value(255, kMaxFraction) + std::ldexp(1.0L, 126 - 41)), largest);
  // Halfway above the largest value rounds (to even) out of range.
  EXPECT_EQ(toreal(value(255, kMaxFraction) + std::ldexp(1.0L, 126 - 40)), largest);
}

TEST(Real48Range, InfinityGivesTheLargestValueWithSign) {
  const long double inf = std::numeric_limits<long double>::infinity();
  EXPECT_EQ(toreal(inf), make(255, kMaxFraction));
  EXPECT_EQ(toreal(-inf), make(255, kMaxFraction, true));
}

TEST(Real48Range, UnderflowGivesZero) {
  const real zero;
  EXPECT_EQ(toreal(std::ldexp(1.0L, -128)), make(1, 0));  // the smallest value
  EXPECT_EQ(toreal(std::ldexp(1.0L, -129)), zero);
  EXPECT_EQ(toreal(-std::ldexp(1.5L, -129)), zero);
  EXPECT_EQ(toreal(1e-300L), zero);
  EXPECT_EQ(toreal(-1e-300L), zero);
  EXPECT_EQ(toreal(std::numeric_limits<long double>::denorm_min()), zero);
  // Just below 2^-128 but rounding up to it in 40 bits: the smallest value.
  EXPECT_EQ(toreal(std::ldexp(1.0L, -128) - std::ldexp(1.0L, -128 - 41)), make(1, 0));
}

TEST(Real48Range, NaNGivesZero) {
  const real zero;
  EXPECT_EQ(toreal(std::numeric_limits<long double>::quiet_NaN()), zero);
  EXPECT_EQ(toreal(-std::numeric_limits<long double>::quiet_NaN()), zero);
  EXPECT_EQ(toreal(std::numeric_limits<long double>::signaling_NaN()), zero);
}

}  // namespace
