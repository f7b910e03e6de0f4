// Field parsers: exact coordinates, integer bounds, exact bound checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "ingest/fieldparse.h"

namespace {

real reference(const std::string& text) { return toreal(std::strtold(text.c_str(), nullptr)); }

TEST(CoordinateRounding, MatchesStrtoldReferenceOnManyDecimals) {
  std::mt19937_64 gen(42);  // only the inputs come from it, not the expectation
  char text[64];
  for (int i = 0; i < 200000; ++i) {
    long long micro = static_cast<long long>(gen() % 360'000'000'000ull) - 180'000'000'000ll;
    int decimals = 1 + static_cast<int>(gen() % 12);
    std::snprintf(text, sizeof text, "%.*Lf", decimals, static_cast<long double>(micro) / 1e9L);
    double d;
    real r;
    ASSERT_TRUE(parsecoordinate(text, d, r)) << text;
    ASSERT_EQ(r, reference(text)) << text;
  }
}

TEST(CoordinateRounding, HalfwayBetweenTwoRealsFollowsReference) {
  // 1 + 2^-40 lies exactly between the reals 1 and 1 + 2^-39.
  const std::string mid = "1.0000000000009094947017729282379150390625";
  const std::string above = mid + "1";  // a hair above: from_chars still gives the midpoint
  const std::string below = "1.0000000000009094947017729282379150390624";
  for (const auto& t : {mid, above, below}) {
    double d;
    real r;
    ASSERT_TRUE(parsecoordinate(t, d, r)) << t;
    EXPECT_EQ(r, reference(t)) << t;
  }
  // Ties go to the even neighbour: 3 + 2^-39 to 3, 3 + 3 * 2^-39 up to 3 + 2^-37.
  double d;
  real r;
  ASSERT_TRUE(parsecoordinate("3.000000000001818989403545856475830078125", d, r));
  EXPECT_EQ(toext(r), 3.0L);
  ASSERT_TRUE(parsecoordinate("3.000000000005456968210637569427490234375", d, r));
  EXPECT_EQ(toext(r), 3.0L + std::ldexp(1.0L, -37));
}

TEST(CoordinateRounding, ExponentsBlanksAndPlusSign) {
  double d;
  real r;
  ASSERT_TRUE(parsecoordinate(" +1.34e1\t", d, r));
  EXPECT_EQ(r, reference("13.4"));
  EXPECT_DOUBLE_EQ(d, 13.4);
  ASSERT_TRUE(parsecoordinate("-.5", d, r));
  EXPECT_EQ(toext(r), -0.5L);
  ASSERT_TRUE(parsecoordinate("1e-400", d, r));  // below the real's range: 0
  EXPECT_EQ(toext(r), 0.0L);
}

TEST(CoordinateRounding, RejectsTextThatIsNotADecimalNumber) {
  double d;
  real r;
  for (const char* bad : {"", " ", "abc", "nan", "NaN", "inf", "-infinity", "1e", "0x10", "1.2.3",
                          "--1", "1,5", "13.4x", "+", "."}) {
    EXPECT_FALSE(parsecoordinate(bad, d, r)) << bad;
  }
  EXPECT_FALSE(parsecoordinate("1e99999", d, r));  // overflows even long double
}

TEST(IntegerFields, BoundsAreInclusiveAndNothingElsePasses) {
  std::int64_t v = -7;
  EXPECT_TRUE(parseinteger("65535", 0, 65535, v));
  EXPECT_EQ(v, 65535);
  EXPECT_FALSE(parseinteger("65536", 0, 65535, v));
  EXPECT_FALSE(parseinteger("-1", 0, 65535, v));
  EXPECT_TRUE(parseinteger(" +12 ", 0, 65535, v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(parseinteger("2147483647", 0, 2147483647, v));
  EXPECT_FALSE(parseinteger("2147483648", 0, 2147483647, v));
  EXPECT_FALSE(parseinteger("68719476735", 0, 2147483647, v));  // a 36-bit 5G cell id
  EXPECT_FALSE(parseinteger("99999999999999999999999", INT64_MIN, INT64_MAX, v));
  for (const char* bad : {"", "12.0", "1e3", "0x1F", "12a", "- 3"})
    EXPECT_FALSE(parseinteger(bad, INT64_MIN, INT64_MAX, v)) << bad;
}

TEST(DecimalCompare, TrailingZerosSignsAndLength) {
  EXPECT_EQ(comparedecimal("13.0800", "13.08"), 0);
  EXPECT_EQ(comparedecimal("013.08", "13.08"), 0);
  EXPECT_EQ(comparedecimal("13.079999999999999999999", "13.08"), -1);
  EXPECT_EQ(comparedecimal("13.0800000000000000000001", "13.08"), 1);
  EXPECT_EQ(comparedecimal("9.9", "13.08"), -1);
  EXPECT_EQ(comparedecimal("-14", "-13.08"), -1);
  EXPECT_EQ(comparedecimal("-0.0", "0"), 0);
  EXPECT_EQ(comparedecimal("1e3", "13.08"), 2);
}

}  // namespace
