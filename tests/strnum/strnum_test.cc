// Text and number routines of the support library.
#include "lib/support/strnum.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

// Sets a global formatting setting for one test and restores it.
template <typename T>
class Setting {
 public:
  Setting(T& var, T v) : var_(var), old_(var) { var_ = v; }
  ~Setting() { var_ = old_; }

 private:
  T& var_;
  T old_;
};

std::string trimmedright(std::string s) {
  trimright(s);
  return s;
}
std::string trimmedleft(std::string s) {
  trimleft(s);
  return s;
}
std::string trimmed(std::string s) {
  trimboth(s);
  return s;
}

// --- trimming, padding, cutting ---------------------------------------------

TEST(StrnumTrim, RemovesOnlyBlanksAtTheRightEnd) {
  EXPECT_EQ(trimmedright("  a b  "), "  a b");
  EXPECT_EQ(trimmedright("a\t"), "a\t");  // code 32 only
  EXPECT_EQ(trimmedright("   "), "");
  EXPECT_EQ(trimmedright(""), "");
}

TEST(StrnumTrim, RemovesOnlyBlanksAtTheLeftEnd) {
  EXPECT_EQ(trimmedleft("  a b  "), "a b  ");
  EXPECT_EQ(trimmedleft("\ta"), "\ta");
  EXPECT_EQ(trimmedleft("   "), "");
}

TEST(StrnumTrim, TrimBothRemovesBlanksAtBothEnds) {
  EXPECT_EQ(trimmed("  a b  "), "a b");
  EXPECT_EQ(trimmed("\xE4 "), "\xE4");  // Windows-1252 bytes are not blanks
  EXPECT_EQ(trimmed("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is not code 32
}

TEST(StrnumTrim, InPlaceRoutinesCutToTheTextCapacity) {
  std::string s(300, 'a');
  trimright(s);
  EXPECT_EQ(s.size(), kMaxText);
  std::string t = std::string(10, ' ') + std::string(290, 'b');
  trimleft(t);  // cut to 255 first, then 10 blanks removed
  EXPECT_EQ(t, std::string(245, 'b'));
}

TEST(StrnumCut, CutKeepsTheFirstBytes) {
  EXPECT_EQ(cut("abcdef", 3), "abc");
  EXPECT_EQ(cut("ab", 3), "ab");
  EXPECT_EQ(cut("ab", 0), "");
}

TEST(StrnumPad, PadRightWidthZeroGivesEmptyText) {
  EXPECT_EQ(padright(0, "abc"), "");
  EXPECT_EQ(padright(-3, "abc"), "");
}

TEST(StrnumPad, PadRightCutsALongerTextToWidth) {
  EXPECT_EQ(padright(5, "abcdefg"), "abcde");
  EXPECT_EQ(padright(5, "abcde"), "abcde");
}

TEST(StrnumPad, PadRightAppendsBlanksToAShorterText) {
  EXPECT_EQ(padright(5, "ab"), "ab   ");
  EXPECT_EQ(padright(3, ""), "   ");
}

TEST(StrnumPad, PadRightWidthAboveCapacityCountsAs120) {
  EXPECT_EQ(padright(130, "x"), "x" + std::string(119, ' '));
  EXPECT_EQ(padright(200, std::string(150, 'y')), std::string(120, 'y'));
}

TEST(StrnumPad, PadLeftPutsBlanksInFront) {
  EXPECT_EQ(padleft(5, "ab"), "   ab");
  EXPECT_EQ(padleft(2, "ab"), "ab");
  EXPECT_EQ(padleft(0, "ab"), "");
}

TEST(StrnumPad, PadLeftCutsToWidthBeforePadding) {
  EXPECT_EQ(padleft(2, "abcd"), "ab");
}

TEST(StrnumPad, PadLeftWidthAboveCapacityCountsAs80) {
  EXPECT_EQ(padleft(100, "x"), std::string(79, ' ') + "x");
  EXPECT_EQ(padleft(100, std::string(90, 'z')), std::string(80, 'z'));
}

TEST(StrnumQuote, PutsDoubleQuotesAroundWithoutDoubling) {
  EXPECT_EQ(quote("abc"), "\"abc\"");
  EXPECT_EQ(quote(""), "\"\"");
  EXPECT_EQ(quote("a\"b"), "\"a\"b\"");
}

TEST(StrnumQuote, ResultIsCutTo255Bytes) {
  std::string q = quote(std::string(255, 'a'));
  EXPECT_EQ(q, "\"" + std::string(254, 'a'));
  EXPECT_EQ(quote(std::string(253, 'a')), "\"" + std::string(253, 'a') + "\"");
}

// --- replacing and stripping ---------------------------------------------------

TEST(StrnumReplace, ReplaceCharChangesOnlyTheFirstOccurrence) {
  std::string s = "a.b.c";
  EXPECT_TRUE(replacechar('.', '-', s));
  EXPECT_EQ(s, "a-b.c");
  std::string t = "abc";
  EXPECT_FALSE(replacechar('.', '-', t));
  EXPECT_EQ(t, "abc");
}

TEST(StrnumReplace, ReplaceAllAddsOnePerReplacementToCount) {
  std::string s = "a.b.c.";
  int count = 5;
  replaceallchars('.', ',', s, count);
  EXPECT_EQ(s, "a,b,c,");
  EXPECT_EQ(count, 8);
  replaceallchars('.', ',', s, count);
  EXPECT_EQ(count, 8);
}

TEST(StrnumReplace, ReplaceAllWithTheSameCharacterEnds) {
  std::string s = "x.x";
  int count = 0;
  replaceallchars('x', 'x', s, count);
  EXPECT_EQ(s, "x.x");
  EXPECT_EQ(count, 2);
}

TEST(StrnumReplace, DotAndCommaSwapOnlyTheFirst) {
  std::string s = "1.2.3";
  dottocomma(s);
  EXPECT_EQ(s, "1,2.3");
  std::string t = "1,2,3";
  commatodot(t);
  EXPECT_EQ(t, "1.2,3");
}

TEST(StrnumStrip, StripLeadingKeepsTheLastByte) {
  std::string s = "000";
  stripleading('0', s);
  EXPECT_EQ(s, "0");
  std::string t = "00120";
  stripleading('0', t);
  EXPECT_EQ(t, "120");
  std::string e;
  stripleading('0', e);
  EXPECT_EQ(e, "");
}

TEST(StrnumStrip, StripOneRemovesOnlyOneLastByte) {
  std::string s = "12..";
  stripone('.', s);
  EXPECT_EQ(s, "12.");
  stripone('x', s);
  EXPECT_EQ(s, "12.");
  std::string e;
  stripone('.', e);
  EXPECT_EQ(e, "");
}

// --- splitting ---------------------------------------------------------------

TEST(StrnumSplit, FieldBeforeTheFirstSeparator) {
  std::string s = "13.4,52.5";
  EXPECT_EQ(splitfield(',', s, 40), "13.4");
  EXPECT_EQ(s, "52.5");
}

TEST(StrnumSplit, TextStartingWithTheSeparatorGivesAnEmptyField) {
  std::string s = ",52.5";
  EXPECT_EQ(splitfield(',', s, 40), "");
  EXPECT_EQ(s, "52.5");
}

TEST(StrnumSplit, NoSeparatorTakesTheWholeText) {
  std::string s = "52.5";
  EXPECT_EQ(splitfield(',', s, 40), "52.5");
  EXPECT_EQ(s, "");
}

TEST(StrnumSplit, OnlyTheFirstSeparatorIsConsumed) {
  std::string s = "a,,b";
  EXPECT_EQ(splitfield(',', s, 40), "a");
  EXPECT_EQ(s, ",b");
  EXPECT_EQ(splitfield(',', s, 40), "");
  EXPECT_EQ(s, "b");
}

TEST(StrnumSplit, TextIsCutToCapacityFirst) {
  std::string s = "abcdef,g";
  EXPECT_EQ(splitfield(',', s, 3), "abc");
  EXPECT_EQ(s, "");
}

// --- integers and grouping ---------------------------------------------------

TEST(StrnumInteger, PlainDecimal) {
  EXPECT_EQ(bytetostr(0), "0");
  EXPECT_EQ(bytetostr(255), "255");
  EXPECT_EQ(wordtostr(65535), "65535");
  EXPECT_EQ(smalltostr(-32768), "-32768");
  EXPECT_EQ(smalltostr(7), "7");
  EXPECT_EQ(longtostr(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(longtostr(2147483647), "2147483647");
}

TEST(StrnumInteger, WordToStrWidthRightAlignsAndNeverCuts) {
  EXPECT_EQ(wordtostrw(5, 42), "   42");
  EXPECT_EQ(wordtostrw(0, 42), "42");
  EXPECT_EQ(wordtostrw(1, 42), "42");
  EXPECT_EQ(wordtostrw(2, 12345), "12345");
  EXPECT_EQ(wordtostrw(-4, 42), "42");
  EXPECT_EQ(wordtostrw(60, 1), std::string(39, ' ') + "1");
}

TEST(StrnumGrouping, DotsSplitThousandsOfPositiveAndNegativeNumbers) {
  EXPECT_EQ(longtostrgrouped('.', 0, 1234567), "1.234.567");
  EXPECT_EQ(longtostrgrouped('.', 0, 123456), "123.456");
  EXPECT_EQ(longtostrgrouped('.', 0, -1234), "-1.234");
  EXPECT_EQ(longtostrgrouped('.', 0, 999), "999");
  EXPECT_EQ(longtostrgrouped('.', 0, 1000), "1.000");
  EXPECT_EQ(longtostrgrouped('.', 0, 100000), "100.000");
}

TEST(StrnumGrouping, SignIsNotCountedAsADigit) {
  EXPECT_EQ(longtostrgrouped('.', 0, -123), "-123");
  EXPECT_EQ(longtostrgrouped('.', 0, -123456), "-123.456");
  EXPECT_EQ(longtostrgrouped('.', 0, std::numeric_limits<std::int32_t>::min()), "-2.147.483.648");
  EXPECT_EQ(longtostrgrouped(' ', 0, 12345), "12 345");
}

TEST(StrnumGrouping, WidthPutsBlanksInFront) {
  EXPECT_EQ(longtostrgrouped('.', 4, 7), "   7");
  EXPECT_EQ(longtostrgrouped('.', 4, 1234), "1.234");
  EXPECT_EQ(longtostrgrouped('.', 8, 1234), "   1.234");
}

// --- fixed point ---------------------------------------------------------------

TEST(StrnumFixed, ExactDecimalsRightAligned) {
  EXPECT_EQ(realtostr(10, 3, 13.404954L), "    13.405");
  EXPECT_EQ(realtostr(0, 2, 1.5L), "1.50");
  EXPECT_EQ(realtostr(1, 0, 100.0L), "100");
  EXPECT_EQ(realtostr(8, 1, -52.46L), "   -52.5");
  EXPECT_EQ(realtostr(0, 0, 0.0L), "0");
  EXPECT_EQ(realtostr(6, 2, 0.0L), "  0.00");
}

TEST(StrnumFixed, FieldGrowsWhenTheNumberNeedsMore) {
  EXPECT_EQ(realtostr(3, 2, 12345.678L), "12345.68");
}

TEST(StrnumFixed, WidthAboveCapacityCountsAs40) {
  EXPECT_EQ(realtostr(50, 1, 1.0L), std::string(37, ' ') + "1.0");
}

TEST(StrnumFixed, ResultIsCutTo40Bytes) {
  // 2^127, about the largest stored real, has 39 integer digits.
  EXPECT_EQ(realtostr(0, 2, std::ldexp(1.0L, 127)), "170141183460469231731687303715884105728.");
  EXPECT_EQ(realtostr(0, 60, 1.0L).size(), 40u);
}

TEST(StrnumFixed, RoundsFromTheExactValue) {
  EXPECT_EQ(realtostr(0, 2, 0.375L), "0.38");  // exact tie: even digit
  EXPECT_EQ(realtostr(0, 2, 0.125L), "0.12");
  EXPECT_EQ(realtostr(0, 1, 0.96L), "1.0");
  EXPECT_EQ(realtostr(0, 0, 2.5L), "2");
  // The stored 0.005 lies above 0.005 and rounds up.
  EXPECT_EQ(realtostr(0, 2, toreal(0.005L)), "0.01");
  // The stored 0.33 lies below 0.33.
  EXPECT_EQ(realtostr(0, 14, toreal(0.33L)), "0.32999999999993");
}

// The C library's fixed format in the "C" locale (the tests run in it).
std::string printffixed(int decimals, long double v) {
  char buf[6000];
  std::snprintf(buf, sizeof buf, "%.*Lf", decimals, v);
  return cut(buf, 40);
}

TEST(StrnumFixed, AgreesWithPrintfOnEveryStoredReal) {
  std::mt19937_64 gen(7);
  for (int i = 0; i < 300000; ++i) {
    std::uint64_t bits = gen();
    real r;
    for (int k = 0; k < 6; ++k) r.bytes[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(bits >> (8 * k));
    int decimals = static_cast<int>((bits >> 48) % 22);
    long double v = toext(r);
    ASSERT_EQ(realtostr(0, decimals, r), printffixed(decimals, v)) << static_cast<double>(v);
  }
}

TEST(StrnumFixed, AgreesWithPrintfOnFullLongDoubles) {
  std::mt19937_64 gen(11);
  std::uniform_int_distribution<int> exponent(-80, 80);
  for (int i = 0; i < 300000; ++i) {
    std::uint64_t mant = gen() | (std::uint64_t{1} << 63);
    long double v = std::ldexp(static_cast<long double>(mant), exponent(gen) - 64);
    if (gen() & 1) v = -v;
    int decimals = static_cast<int>(gen() % 22);
    ASSERT_EQ(realtostr(0, decimals, v), printffixed(decimals, v)) << static_cast<double>(v);
  }
}

TEST(StrnumFixed, AgreesWithPrintfOnExactTies) {
  for (int decimals = 0; decimals <= 6; ++decimals) {
    for (int k = -300; k <= 300; ++k) {
      // k/8 and k/1024 hit many decimal ties exactly.
      for (long double v : {k / 8.0L, k / 1024.0L, k + 0.5L, 1e15L + k + 0.5L}) {
        ASSERT_EQ(realtostr(0, decimals, v), printffixed(decimals, v)) << static_cast<double>(v);
      }
    }
  }
}

TEST(StrnumFixed, NegativeZeroPrintsWithoutSign) {
  EXPECT_EQ(realtostr(0, 2, -0.0L), "0.00");
}

TEST(StrnumFixed, NegativeDecimalsCountAsZero) {
  EXPECT_EQ(realtostr(0, -3, 12.7L), "13");
}

TEST(StrnumFixed, StoredRealOverload) {
  EXPECT_EQ(realtostr(7, 2, toreal(100.0L)), " 100.00");
  EXPECT_EQ(realtostr(0, 1, real{}), "0.0");
}

TEST(StrnumFixed, IndependentOfTheCLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE") &&
      !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no locale with a decimal comma installed";
  std::string fixed = realtostr(0, 2, 1.5L);
  std::string general = realtogeneral(52.5L);
  int err = -1;
  long double v = strtoreal("52.5", err);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(fixed, "1.50");
  EXPECT_EQ(general, "52.5");
  EXPECT_EQ(err, 0);
  EXPECT_EQ(v, 52.5L);
}

TEST(StrnumFixedTrim, StripRemovesTrailingZerosThenThePoint) {
  EXPECT_EQ(realtostrtrim(8, true, 3, 13.5L), "  13.5");
  EXPECT_EQ(realtostrtrim(0, true, 2, 100.0L), "100");
  EXPECT_EQ(realtostrtrim(0, true, 2, 0.0L), "0");
  EXPECT_EQ(realtostrtrim(0, false, 2, 1.5L), "1.50");
}

TEST(StrnumFixedTrim, ZeroDecimalsKeepIntegerZeros) {
  EXPECT_EQ(realtostrtrim(5, true, 0, 100.0L), "  100");
}

TEST(StrnumFixedTrim, DecimalCommaReplacesTheFirstPoint) {
  Setting<bool> comma(decimalcomma, true);
  EXPECT_EQ(realtostrtrim(0, true, 2, 1.5L), "1,5");
  EXPECT_EQ(realtostrtrim(0, false, 2, 1.5L), "1,50");
  EXPECT_EQ(realtostrtrim(0, true, 0, 3.0L), "3");
  EXPECT_EQ(realtostr(0, 2, 1.5L), "1.50");  // realtostr itself is unaffected
}

// --- general format ------------------------------------------------------------

TEST(StrnumGeneral, SixSignificantDigitsFixedOrScientificWithoutTrailingZeros) {
  EXPECT_EQ(realtogeneral(0.0L), "0");
  EXPECT_EQ(realtogeneral(13.404954L), "13.405");
  EXPECT_EQ(realtogeneral(0.01L), "0.01");
  EXPECT_EQ(realtogeneral(52.0L), "52");
  EXPECT_EQ(realtogeneral(52.5L), "52.5");
  EXPECT_EQ(realtogeneral(1234567.0L), "1.23457E6");
  EXPECT_EQ(realtogeneral(0.00001L), "1E-5");
}

TEST(StrnumGeneral, FixedRangeIsMinus4ExclusiveToDigitsExclusive) {
  EXPECT_EQ(realtogeneral(0.001L), "0.001");
  EXPECT_EQ(realtogeneral(0.0001L), "1E-4");
  EXPECT_EQ(realtogeneral(123456.0L), "123456");
  EXPECT_EQ(realtogeneral(1000000.0L), "1E6");
  EXPECT_EQ(realtogeneral(0.000123456L), "1.23456E-4");
}

TEST(StrnumGeneral, NegativeValuesKeepTheirSign) {
  EXPECT_EQ(realtogeneral(-52.5L), "-52.5");
  EXPECT_EQ(realtogeneral(-1234567.0L), "-1.23457E6");
  EXPECT_EQ(realtogeneral(-0.0L), "0");
}

TEST(StrnumGeneral, MantissaRoundingUpToTenMovesTheExponent) {
  EXPECT_EQ(realtogeneral(9999997.0L), "1E7");
  EXPECT_EQ(realtogeneral(999999.7L), "1E6");
  EXPECT_EQ(realtogeneral(99.99999L), "100");
  EXPECT_EQ(realtogeneral(0.000099999999L), "1E-4");
  EXPECT_EQ(realtogeneral(0.00099999999L), "0.001");
}

TEST(StrnumGeneral, ExponentsBelowMinus20PrintAsZero) {
  EXPECT_EQ(realtogeneral(1e-20L), "1E-20");
  EXPECT_EQ(realtogeneral(1e-21L), "0");
  EXPECT_EQ(realtogeneral(-3e-25L), "0");
  EXPECT_EQ(realtogeneral(1e38L), "1E38");
}

TEST(StrnumGeneral, StoredConstantsPrintAsTheirDecimal) {
  EXPECT_EQ(realtogeneral(toreal(0.2L)), "0.2");
  EXPECT_EQ(realtogeneral(toreal(0.001L)), "0.001");
  EXPECT_EQ(realtogeneral(toreal(0.005L)), "0.005");
  EXPECT_EQ(realtogeneral(toreal(-100.0L)), "-100");
}

TEST(StrnumGeneral, GlobalSettingsChangeTheFormat) {
  {
    Setting<bool> comma(decimalcomma, true);
    EXPECT_EQ(realtogeneral(52.5L), "52,5");
    EXPECT_EQ(realtogeneral(1234567.0L), "1,23457E6");
  }
  {
    Setting<bool> keep(generalstripzeros, false);
    EXPECT_EQ(realtogeneral(52.0L), "52.0000");
    EXPECT_EQ(realtogeneral(0.01L), "0.0100000");
    EXPECT_EQ(realtogeneral(0.00001L), "1.00000E-5");
  }
  {
    Setting<bool> sci(generalscientific, true);
    EXPECT_EQ(realtogeneral(52.5L), "5.25E1");
    EXPECT_EQ(realtogeneral(1.0L), "1E0");
  }
  {
    Setting<int> digits(generaldigits, 3);
    EXPECT_EQ(realtogeneral(13.404954L), "13.4");
    EXPECT_EQ(realtogeneral(1234.0L), "1.23E3");
  }
  {
    Setting<int> digits(generaldigits, 1);  // at least 3 is used
    EXPECT_EQ(realtogeneral(13.404954L), "13.4");
  }
  {
    Setting<int> smallest(generalminexponent, -3);
    EXPECT_EQ(realtogeneral(0.001L), "0.001");
    EXPECT_EQ(realtogeneral(0.0001L), "0");
  }
}

TEST(StrnumGeneral, NonFiniteValuesDoNotCrash) {
  EXPECT_FALSE(realtogeneral(std::numeric_limits<long double>::infinity()).empty());
  EXPECT_FALSE(realtogeneral(std::numeric_limits<long double>::quiet_NaN()).empty());
}

// --- hexadecimal ---------------------------------------------------------------

TEST(StrnumHex, FixedWidthUpperCase) {
  EXPECT_EQ(hexword(0), "0000");
  EXPECT_EQ(hexword(0xAB), "00AB");
  EXPECT_EQ(hexword(0xBEEF), "BEEF");
  EXPECT_EQ(hexlong(0), "00000000");
  EXPECT_EQ(hexlong(0xDEADBEEF), "DEADBEEF");
  EXPECT_EQ(hexlong(0x12AB), "000012AB");
}

TEST(StrnumHex, ShortFormsDropLeadingZerosButKeepOne) {
  EXPECT_EQ(hexwordshort(0), "0");
  EXPECT_EQ(hexwordshort(0x00AB), "AB");
  EXPECT_EQ(hexwordshort(0x1000), "1000");
  EXPECT_EQ(hexlongshort(0), "0");
  EXPECT_EQ(hexlongshort(0x100), "100");
  EXPECT_EQ(hexlongshort(0xFFFFFFFF), "FFFFFFFF");
}

// --- reading reals -------------------------------------------------------------

TEST(StrnumReadReal, PlainNumbers) {
  int err = -1;
  EXPECT_EQ(strtoreal("52.5", err), 52.5L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("-13", err), -13.0L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("+3.25E2", err), 325.0L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("25e-1", err), 2.5L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("0", err), 0.0L);
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadReal, FirstCommaIsTheDecimalPoint) {
  int err = -1;
  EXPECT_EQ(strtoreal("52,5", err), 52.5L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("1,234,5", err), 0.0L);
  EXPECT_EQ(err, 6);
  EXPECT_EQ(strtoreal("1.5,5", err), 0.0L);  // the comma becomes a second point
  EXPECT_EQ(err, 4);
}

TEST(StrnumReadReal, BlanksAroundAreTrimmedInsideRefused) {
  int err = -1;
  EXPECT_EQ(strtoreal("   52.5  ", err), 52.5L);
  EXPECT_EQ(err, 0);
  strtoreal("  1 2", err);
  EXPECT_EQ(err, 2);  // position in the trimmed text
}

TEST(StrnumReadReal, EmptyTextIsErrorOneWithValueZero) {
  int err = -1;
  EXPECT_EQ(strtoreal("", err), 0.0L);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(strtoreal("    ", err), 0.0L);
  EXPECT_EQ(err, 1);
}

TEST(StrnumReadReal, ErrorPositionIsWhereTheSyntaxFails) {
  int err = -1;
  EXPECT_EQ(strtoreal("abc", err), 0.0L);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(strtoreal("1.5x", err), 0.0L);
  EXPECT_EQ(err, 4);
  strtoreal("-", err);
  EXPECT_EQ(err, 2);
  strtoreal(".", err);
  EXPECT_EQ(err, 2);
  strtoreal("1e", err);
  EXPECT_EQ(err, 3);
  strtoreal("1e+", err);
  EXPECT_EQ(err, 4);
  strtoreal("1e+x", err);
  EXPECT_EQ(err, 4);
  strtoreal("--1", err);
  EXPECT_EQ(err, 2);
  strtoreal("1.2.3", err);
  EXPECT_EQ(err, 4);
  strtoreal("$10", err);
  EXPECT_EQ(err, 1);
  strtoreal("inf", err);
  EXPECT_EQ(err, 1);
  strtoreal("0x10", err);
  EXPECT_EQ(err, 2);
}

TEST(StrnumReadReal, DigitsOnOneSideOfThePointSuffice) {
  int err = -1;
  EXPECT_EQ(strtoreal(".5", err), 0.5L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("5.", err), 5.0L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("-,25", err), -0.25L);
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadReal, ConversionIsCorrectlyRounded) {
  int err = -1;
  EXPECT_EQ(strtoreal("0.1", err), 0.1L);
  EXPECT_EQ(strtoreal("0.001", err), 0.001L);
  EXPECT_EQ(strtoreal("13.404954", err), 13.404954L);
  EXPECT_EQ(strtoreal("1.0000000000000000000000000000001", err), 1.0L);
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadReal, HugeAndTinyExponents) {
  int err = -1;
  EXPECT_EQ(strtoreal("1e5000", err), LDBL_MAX);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("-1e5000", err), -LDBL_MAX);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal("1e-5000", err), 0.0L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(toreal(strtoreal("1e300", err)), toreal(LDBL_MAX));
}

TEST(StrnumReadReal, InputIsCutTo40BytesBeforeTrimming) {
  int err = -1;
  EXPECT_EQ(strtoreal(std::string(38, ' ') + "12", err), 12.0L);
  EXPECT_EQ(strtoreal(std::string(39, ' ') + "12", err), 1.0L);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtoreal(std::string(40, '1') + "x", err), 1111111111111111111111111111111111111111.0L);
  EXPECT_EQ(err, 0);
}

// --- reading integers ----------------------------------------------------------

TEST(StrnumReadLong, DecimalWithOptionalSign) {
  int err = -1;
  EXPECT_EQ(strtolong("123", err), 123);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtolong("-123", err), -123);
  EXPECT_EQ(strtolong("+7", err), 7);
  EXPECT_EQ(strtolong("  42  ", err), 42);
  EXPECT_EQ(strtolong("00012", err), 12);
  EXPECT_EQ(strtolong("0", err), 0);
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadLong, HexAfterEveryMark) {
  int err = -1;
  EXPECT_EQ(strtolong("$FF", err), 255);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtolong("xff", err), 255);
  EXPECT_EQ(strtolong("Xff", err), 255);
  EXPECT_EQ(strtolong("0x1A", err), 26);
  EXPECT_EQ(strtolong("0X1a", err), 26);
  EXPECT_EQ(strtolong("-$10", err), -16);
  EXPECT_EQ(strtolong("+0x10", err), 16);
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadLong, DecimalRangeIs32BitSigned) {
  int err = -1;
  EXPECT_EQ(strtolong("2147483647", err), 2147483647);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtolong("-2147483648", err), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtolong("2147483648", err), 0);
  EXPECT_EQ(err, 10);
  EXPECT_EQ(strtolong("-2147483649", err), 0);
  EXPECT_EQ(err, 11);
  EXPECT_EQ(strtolong("99999999999", err), 0);
  EXPECT_EQ(err, 10);
}

TEST(StrnumReadLong, HexUpToFFFFFFFFWrapsToNegative) {
  int err = -1;
  EXPECT_EQ(strtolong("$FFFFFFFF", err), -1);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtolong("$80000000", err), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtolong("$7FFFFFFF", err), 2147483647);
  EXPECT_EQ(strtolong("-$FFFFFFFF", err), 1);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtolong("$100000000", err), 0);
  EXPECT_EQ(err, 10);
}

TEST(StrnumReadLong, ErrorIsThePositionOfTheFirstBadCharacter) {
  int err = -1;
  EXPECT_EQ(strtolong("12a", err), 0);
  EXPECT_EQ(err, 3);
  strtolong("--1", err);
  EXPECT_EQ(err, 2);
  strtolong("$-1", err);
  EXPECT_EQ(err, 2);
  strtolong("1 2", err);
  EXPECT_EQ(err, 2);
  strtolong("1.0", err);
  EXPECT_EQ(err, 2);
  strtolong("$FG", err);
  EXPECT_EQ(err, 3);
  strtolong("12x", err);
  EXPECT_EQ(err, 3);
}

TEST(StrnumReadLong, EmptyTextSignOrMarkAloneAreErrors) {
  int err = -1;
  EXPECT_EQ(strtolong("", err), 0);
  EXPECT_EQ(err, 1);
  strtolong("   ", err);
  EXPECT_EQ(err, 1);
  strtolong("-", err);
  EXPECT_EQ(err, 2);
  strtolong("$", err);
  EXPECT_EQ(err, 2);
  strtolong("x", err);
  EXPECT_EQ(err, 2);
  strtolong("0x", err);
  EXPECT_EQ(err, 3);
}

TEST(StrnumReadSmall, RangeIsMinus32767To32767) {
  std::int16_t v = 5;
  int err = -1;
  strtosmall("32767", v, err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(v, 32767);
  strtosmall("-32767", v, err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(v, -32767);
}

TEST(StrnumReadSmall, OutOfRangeSetsErrorOneAndKeepsTheValue) {
  std::int16_t v = 5;
  int err = -1;
  strtosmall("32768", v, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(v, 5);
  strtosmall("-32768", v, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(v, 5);
  strtosmall("$FFFF", v, err);  // 65535
  EXPECT_EQ(err, 1);
  EXPECT_EQ(v, 5);
}

TEST(StrnumReadSmall, NotANumberKeepsTheValue) {
  std::int16_t v = 5;
  int err = -1;
  strtosmall("12x", v, err);
  EXPECT_EQ(err, 3);
  EXPECT_EQ(v, 5);
  strtosmall("", v, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(v, 5);
}

TEST(StrnumReadHex, BadDigitsAreSkippedAndCounted) {
  int err = -1;
  EXPECT_EQ(hextocard("$1G2", err), 0x12u);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(hextocard("$G-H", err), 0u);
  EXPECT_EQ(err, 3);
}

TEST(StrnumReadHex, OneToEightDigits) {
  int err = -1;
  EXPECT_EQ(hextocard("$ff", err), 0xFFu);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(hextocard("$12345678", err), 0x12345678u);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(hextocard("$FFFFFFFF", err), 0xFFFFFFFFu);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(hextocard("  $aB  ", err), 0xABu);
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadHex, MarkAloneOrMoreThanEightDigitsIsErrorOne) {
  int err = -1;
  EXPECT_EQ(hextocard("$", err), 0u);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(hextocard("", err), 0u);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(hextocard("$123456789", err), 0u);
  EXPECT_EQ(err, 1);
}

TEST(StrnumReadHex, FirstByteIsDroppedWhateverItIs) {
  int err = -1;
  EXPECT_EQ(hextocard("#10", err), 0x10u);
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadHex, InputIsCutTo10Bytes) {
  int err = -1;
  EXPECT_EQ(hextocard("$12345678 9", err), 0x12345678u);  // cut to "$12345678 "
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadCard, DollarSelectsHexElseDecimal) {
  int err = -1;
  EXPECT_EQ(strtocard("$FF", err), 255u);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtocard("  $1G2", err), 0x12u);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(strtocard("255", err), 255u);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtocard("0x10", err), 16u);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtocard("-1", err), 0xFFFFFFFFu);
  EXPECT_EQ(err, 0);
}

TEST(StrnumReadCard, NotANumberGivesZero) {
  int err = -1;
  EXPECT_EQ(strtocard("abc", err), 0u);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(strtocard("", err), 0u);
  EXPECT_EQ(err, 1);
}

TEST(StrnumReadCard, OnlyTheFirstTenBytesCount) {
  int err = -1;
  EXPECT_EQ(strtocard("12345678901", err), 1234567890u);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(strtocard("$000000001234", err), 0u);  // nine digits after the cut
  EXPECT_EQ(err, 1);
}

// --- rounding to 16 bits ---------------------------------------------------------

TEST(StrnumRoundSmall, NearestWithTiesToEven) {
  EXPECT_EQ(roundsmall(2.5L), 2);
  EXPECT_EQ(roundsmall(3.5L), 4);
  EXPECT_EQ(roundsmall(-2.5L), -2);
  EXPECT_EQ(roundsmall(-3.5L), -4);
  EXPECT_EQ(roundsmall(1.4L), 1);
  EXPECT_EQ(roundsmall(1.6L), 2);
  EXPECT_EQ(roundsmall(-1.6L), -2);
  EXPECT_EQ(roundsmall(0.0L), 0);
  EXPECT_EQ(roundsmall(toreal(0.5L)), 0);
}

TEST(StrnumRoundSmall, ClipsAtPlusMinus32767AndCounts) {
  const std::uint16_t clips = roundsmallclips;
  const std::uint16_t changes = roundsmallchanges;
  EXPECT_EQ(roundsmall(32766.6L), 32767);  // rounds there: not clipped
  EXPECT_EQ(roundsmall(-32767.0L), -32767);
  EXPECT_EQ(roundsmallclips, clips);
  EXPECT_EQ(roundsmall(32767.0L), 32767);
  EXPECT_EQ(roundsmall(40000.0L), 32767);
  EXPECT_EQ(roundsmall(-32767.5L), -32767);
  EXPECT_EQ(roundsmall(-1e30L), -32767);
  EXPECT_EQ(roundsmallclips, static_cast<std::uint16_t>(clips + 4));
  EXPECT_EQ(roundsmallchanges, static_cast<std::uint16_t>(changes + 4));
}

TEST(StrnumRoundSmall, NaNGivesZero) {
  EXPECT_EQ(roundsmall(std::numeric_limits<long double>::quiet_NaN()), 0);
}

}  // namespace
