// The fast real conversion used in scans must give exactly toext's value.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "celldb/realvalue.h"

namespace {

TEST(RealValue, AgreesWithToextOnRandomBytes) {
  std::mt19937_64 rng(42);
  int mismatches = 0;
  for (int i = 0; i < 200000; ++i) {
    real r;
    std::uint64_t bits = rng();
    for (int b = 0; b < 6; ++b) r.bytes[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(bits >> (8 * b));
    if (i % 7 == 0) r.bytes[0] = static_cast<std::uint8_t>(120 + i % 20);  // everyday magnitudes
    long double a = realvalue(r), b = toext(r);
    if (!(a == b)) ++mismatches;
    if (!(static_cast<long double>(realdouble(r)) == b)) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(RealValue, ExponentZeroIsZeroWhateverTheOtherBytes) {
  real r;
  r.bytes = {0, 0xFF, 0x12, 0x34, 0x56, 0xC8};
  EXPECT_EQ(realvalue(r), 0.0L);
  EXPECT_EQ(realdouble(r), 0.0);
}

TEST(NearBoundary, FlagsEveryDoubleDifferenceThatMightBeOnTheWrongSide) {
  // 13.404954 - 0.005 needs more than 53 bits: the double difference is
  // rounded and must be flagged as undecidable next to the exact bound.
  real a = toreal(13.404954L), c = toreal(13.409954L);
  long double exact = std::fabs(toext(a) - toext(c));
  double rounded = std::fabs(realdouble(a) - realdouble(c));
  EXPECT_TRUE(nearboundary(rounded, static_cast<double>(exact)));
  EXPECT_FALSE(nearboundary(rounded, static_cast<double>(exact) * 1.000001));
}

TEST(RealValue, ExtremeExponentsAndSign) {
  real r;
  r.bytes = {0x87, 0, 0, 0, 0, 0xC8};
  EXPECT_EQ(realvalue(r), -100.0L);
  r.bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  EXPECT_EQ(realvalue(r), toext(r));
  r.bytes = {0x01, 0, 0, 0, 0, 0x80};
  EXPECT_EQ(realvalue(r), toext(r));
  EXPECT_LT(realvalue(r), 0.0L);
}

}  // namespace

// The order keys of the window scans: they must order reals exactly as
// their values, step by one from a real to the next (so "two reals wider"
// is a key +- 2), and give every encoding of 0 the key 0.
TEST(RealKey, OrdersRealsAsTheirValuesAndStepsByOne) {
  std::mt19937_64 rng(7);
  std::vector<real> v;
  for (int i = 0; i < 20000; ++i) {
    real r;
    std::uint64_t bits = rng();
    for (int b = 0; b < 6; ++b) r.bytes[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(bits >> (8 * b));
    if (i % 5 == 0) r.bytes[0] = 0;  // zero with noise in the other bytes
    v.push_back(r);
  }
  for (std::size_t i = 1; i < v.size(); ++i) {
    const real& a = v[i - 1];
    const real& b = v[i];
    const long double x = toext(a), y = toext(b);
    const std::int64_t ka = realkey(a), kb = realkey(b);
    ASSERT_EQ(x < y, ka < kb) << x << " " << y;
    ASSERT_EQ(x == y, ka == kb) << x << " " << y;
    if (x > 0 && y > 0) ASSERT_EQ(x < y, positivekeyoforder(ka) < positivekeyoforder(kb));
  }
  // Neighbours across an exponent and across 0.
  real below, two = toreal(2.0L);
  below.bytes = {129, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};  // 2 - 2^-39
  EXPECT_EQ(realkey(two) - realkey(below), 1);
  real smallest;
  smallest.bytes = {1, 0, 0, 0, 0, 0};
  EXPECT_EQ(realkey(smallest), std::int64_t{1} << 39);
  smallest.bytes[5] = 0x80;
  EXPECT_EQ(realkey(smallest), -(std::int64_t{1} << 39));
  for (const real& r : v)
    if (r.bytes[0] == 0) ASSERT_EQ(realkey(r), 0);
  // The cheap key of a positive real is the order key's positive key.
  for (const real& r : v) {
    if (r.bytes[0] == 0 || (r.bytes[5] & 0x80)) continue;
    std::uint64_t w = 0;
    std::memcpy(&w, r.bytes.data(), 6);
    ASSERT_EQ(positivekeyofbits(w | 0xABCD000000000000u), positivekeyoforder(realkey(r)));
  }
}
