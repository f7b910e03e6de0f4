#include "ingest/fieldparse.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

// Strips blanks and one leading "+" (only before a digit or ".").
std::string_view numbertext(std::string_view t) {
  t = trimfield(t);
  if (t.size() > 1 && t[0] == '+' && (t[1] == '.' || (t[1] >= '0' && t[1] <= '9')))
    t.remove_prefix(1);
  return t;
}

bool isdigit(char c) { return c >= '0' && c <= '9'; }

// True when t consists of digits, at most one ".", an optional sign and an
// optional exponent: the shapes strtold and from_chars agree on.
bool plainnumber(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  bool digits = false;
  while (i < t.size() && isdigit(t[i])) { ++i; digits = true; }
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && isdigit(t[i])) { ++i; digits = true; }
  }
  if (!digits) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i >= t.size() || !isdigit(t[i])) return false;
    while (i < t.size() && isdigit(t[i])) ++i;
  }
  return i == t.size();
}

// A coordinate of the usual shape, [-]digits[.digits] with at most 15
// digits in all: its digits as an integer m below 2^53 and its fraction
// length k, so that m and 10^k are exact doubles and one division gives
// the correctly rounded value (what from_chars gives).  False for any
// other text.
bool shortdecimal(std::string_view t, double& d) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = t.data();
  const char* e = p + t.size();
  const bool negative = p < e && *p == '-';
  if (negative) ++p;
  std::uint64_t m = 0;
  const char* digits = p;
  while (p < e && isdigit(*p)) m = m * 10 + static_cast<unsigned>(*p++ - '0');
  std::size_t whole = static_cast<std::size_t>(p - digits);
  if (whole == 0) return false;
  std::size_t frac = 0;
  if (p < e && *p == '.') {
    const char* f = ++p;
    while (p < e && isdigit(*p)) m = m * 10 + static_cast<unsigned>(*p++ - '0');
    frac = static_cast<std::size_t>(p - f);
    if (frac == 0) return false;
  }
  if (p != e || whole + frac > 15) return false;  // (m may have wrapped only beyond 15 digits)
  d = static_cast<double>(m) / kPow10[frac];
  if (negative) d = -d;
  return true;
}

// strtold in the C locale, whatever the process locale is.
long double strtoldc(std::string_view t) {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  char small[128];
  std::string big;
  const char* p;
  if (t.size() < sizeof small) {
    std::memcpy(small, t.data(), t.size());
    small[t.size()] = 0;
    p = small;
  } else {
    big.assign(t);
    p = big.c_str();
  }
  return strtold_l(p, nullptr, c);
}

// toreal(d) for a normal double, done on its bits (toreal works in long
// double and is several times slower).  Returns false when the value falls
// outside the real's exponent range; the caller then uses toreal.
bool doubletoreal(double d, real& r) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  int exponent = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
  if (exponent == -1023 || exponent == 1024) return false;  // 0, subnormal, inf, nan
  std::uint64_t mant = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  std::uint64_t q = mant >> 13;  // 40 significant bits
  std::uint64_t rest = mant & 0x1FFF;
  if (rest > 0x1000 || (rest == 0x1000 && (q & 1))) ++q;  // ties to even
  if (q == (std::uint64_t{1} << 40)) {
    q >>= 1;
    ++exponent;
  }
  int biased = exponent + 129;
  if (biased < 1 || biased > 255) return false;
  std::uint64_t frac = q - (std::uint64_t{1} << 39);
  r.bytes[0] = static_cast<std::uint8_t>(biased);
  for (int i = 1; i <= 5; ++i) {
    r.bytes[i] = static_cast<std::uint8_t>(frac);
    frac >>= 8;
  }
  if (bits >> 63) r.bytes[5] |= 0x80;
  return true;
}

}  // namespace

std::string_view trimfield(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

bool parseintegertext(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value) {
  std::string_view t = numbertext(text);
  if (t.empty()) return false;
  std::int64_t v = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return false;
  if (v < lo || v > hi) return false;
  value = v;
  return true;
}

bool parsecoordinate(std::string_view text, double& value, real& stored) {
  double d = 0;
  bool exactdouble;
  std::string_view t = text;
  if (!shortdecimal(text, d)) {
    t = numbertext(text);
    if (!plainnumber(t)) return false;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), d, std::chars_format::general);
    exactdouble = ec == std::errc() && end == t.data() + t.size() && std::isfinite(d);
  } else {
    exactdouble = true;
  }
  if (exactdouble && (d == 0 || std::fabs(d) >= 0x1p-100)) {
    // d is the correctly rounded double.  Rounding it again to the real's
    // 40 significant bits gives the same result as rounding the exact value,
    // unless d lies exactly halfway between two reals (the low 13 of its 53
    // significant bits are 1 followed by zeros); only then read it again with
    // 64 bits, which is what the reference rounding does.
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    if ((bits & 0x1FFF) != 0x1000) {
      value = d;
      if (!doubletoreal(d, stored)) stored = toreal(d);
      return true;
    }
  }
  long double x = strtoldc(t);
  if (!std::isfinite(x)) return false;
  value = exactdouble ? d : static_cast<double>(x);  // keep the correctly rounded double
  stored = toreal(x);
  return true;
}

int comparedecimal(std::string_view a, std::string_view b) {
  struct parts {
    bool negative = false;
    std::string_view whole, frac;
  };
  auto split = [](std::string_view t, parts& p) {
    t = numbertext(t);
    if (!t.empty() && t[0] == '-') { p.negative = true; t.remove_prefix(1); }
    std::size_t dot = t.find('.');
    p.whole = t.substr(0, dot);
    p.frac = dot == std::string_view::npos ? std::string_view() : t.substr(dot + 1);
    for (char c : p.whole) if (!isdigit(c)) return false;
    for (char c : p.frac) if (!isdigit(c)) return false;
    if (p.whole.empty() && p.frac.empty()) return false;
    while (!p.whole.empty() && p.whole.front() == '0') p.whole.remove_prefix(1);
    while (!p.frac.empty() && p.frac.back() == '0') p.frac.remove_suffix(1);
    if (p.whole.empty() && p.frac.empty()) p.negative = false;  // -0 == 0
    return true;
  };
  parts x, y;
  if (!split(a, x) || !split(b, y)) return 2;
  if (x.negative != y.negative) return x.negative ? -1 : 1;
  int magnitude;  // |a| compared with |b|
  if (x.whole.size() != y.whole.size()) {
    magnitude = x.whole.size() < y.whole.size() ? -1 : 1;
  } else if (int c = x.whole.compare(y.whole); c != 0) {
    magnitude = c < 0 ? -1 : 1;
  } else {
    int c2 = x.frac.compare(y.frac);  // no trailing zeros: plain text order
    magnitude = c2 < 0 ? -1 : c2 > 0 ? 1 : 0;
  }
  return x.negative ? -magnitude : magnitude;
}
