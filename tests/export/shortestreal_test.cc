// The shortest decimal of a stored real: it reads back to the same real
// through the converters' coordinate reader, and no text with one decimal
// less does, for coordinates as the converters store them (six decimals
// and more), random bit patterns over the whole range, powers of two
// (whose lower neighbour is nearer) and the smallest and largest values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "export/shortestreal.h"
#include "ingest/fieldparse.h"

namespace {

real stored(const std::string& text) {
  double d;
  real r;
  EXPECT_TRUE(parsecoordinate(text, d, r)) << text;
  return r;
}

// [-]digits[.digits] without a trailing 0 after the point.
bool plainfixed(const std::string& t) {
  std::size_t i = t[0] == '-' ? 1 : 0, dot = t.find('.');
  if (t.find_first_not_of("0123456789.", i) != std::string::npos || i >= t.size()) return false;
  if (dot == std::string::npos) return true;
  return dot > i && dot + 1 < t.size() && t.back() != '0' && t.find('.', dot + 1) == std::string::npos;
}

// The text cut to one decimal less, towards zero and away from it.
std::vector<std::string> onedecimalless(const std::string& t) {
  std::size_t dot = t.find('.');
  if (dot == std::string::npos) return {};
  std::string down = t.substr(0, t.size() - 1);
  if (down.back() == '.') down.pop_back();
  std::string up = down;
  int i = static_cast<int>(up.size()) - 1;
  for (; i >= 0; --i) {
    char& c = up[static_cast<std::size_t>(i)];
    if (c == '.') continue;
    if (c == '-' ) break;
    if (c != '9') { ++c; break; }
    c = '0';
  }
  if (i < 0 || up[static_cast<std::size_t>(i)] == '-') up.insert(static_cast<std::size_t>(i + 1), "1");
  return {down, up};
}

void expectshortest(const real& r, const std::string& what) {
  const std::string t = shortestreal(r);
  ASSERT_TRUE(plainfixed(t)) << what << ": " << t;
  ASSERT_EQ(stored(t), r) << what << ": " << t << " does not read back";
  ASSERT_TRUE(readsbackas(t, r)) << what << ": " << t;
  for (const std::string& shorter : onedecimalless(t))
    ASSERT_NE(stored(shorter), r) << what << ": " << shorter << " is shorter than " << t;
}

real bits(std::uint8_t exponent, std::uint64_t frac, bool negative) {
  real r;
  r.bytes[0] = exponent;
  for (int i = 1; i <= 5; ++i, frac >>= 8) r.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(frac);
  r.bytes[5] = static_cast<std::uint8_t>((r.bytes[5] & 0x7F) | (negative ? 0x80 : 0));
  return r;
}

TEST(ShortestReal, CoordinatesStoredFromLongDecimalsComeBackWhole) {
  std::mt19937_64 gen(19);
  char text[64];
  for (int i = 0; i < 200000; ++i) {
    const int decimals = 6 + i % 9;  // 6 as in the exports, up to 14 as update may store
    const double lon = std::uniform_real_distribution<double>(-180, 180)(gen);
    std::snprintf(text, sizeof text, "%.*f", decimals, i % 2 ? lon : lon / 2);
    const real r = stored(text);
    expectshortest(r, text);
    if (decimals == 6) {  // a six-decimal text needs no more than its own digits
      ASSERT_LE(shortestreal(r).size(), std::string(text).size()) << text;
    }
  }
  EXPECT_EQ(shortestreal(stored("13.405")), "13.405");
  EXPECT_EQ(shortestreal(stored("-0.5")), "-0.5");
  EXPECT_EQ(shortestreal(stored("52.5200001234")), "52.5200001234");
  EXPECT_EQ(shortestreal(real{}), "0");
}

TEST(ShortestReal, EveryBitPatternReadsBackFromItsShortestText) {
  std::mt19937_64 gen(4711);
  for (int i = 0; i < 30000; ++i) {
    const auto exponent = static_cast<std::uint8_t>(1 + gen() % 255);
    const std::uint64_t frac = i % 10 == 0 ? 0 : (i % 10 == 1 ? (std::uint64_t{1} << 39) - 1 : gen() >> 25);
    expectshortest(bits(exponent, frac, gen() & 1), "bits " + std::to_string(exponent) + "/" + std::to_string(frac));
  }
  for (int e = 1; e <= 255; ++e) {  // every power of two, and the largest mantissa of each exponent
    expectshortest(bits(static_cast<std::uint8_t>(e), 0, false), "2^" + std::to_string(e - 129));
    expectshortest(bits(static_cast<std::uint8_t>(e), (std::uint64_t{1} << 39) - 1, true), "max " + std::to_string(e));
  }
}

}  // namespace
