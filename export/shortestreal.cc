#include "export/shortestreal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

using u128 = unsigned __int128;

// A stored real as sign, 40-bit mantissa m (implied bit set) and byte 0:
// value = m * 2^(byte0 - 168).
struct decoded {
  bool negative;
  std::uint64_t m;
  int exponent;
};

decoded decode(const real& r) {
  const auto& b = r.bytes;
  std::uint64_t frac = std::uint64_t{b[1]} | std::uint64_t{b[2]} << 8 | std::uint64_t{b[3]} << 16 |
                       std::uint64_t{b[4]} << 24 | std::uint64_t{b[5] & 0x7Fu} << 32;
  return {(b[5] & 0x80u) != 0, (std::uint64_t{1} << 39) | frac, b[0]};
}

constexpr int kMaxFastDecimals = 25;  // 2^42 * 10^25 < 2^127

struct powers {
  u128 p[kMaxFastDecimals + 1];
  constexpr powers() : p() {
    p[0] = 1;
    for (int k = 1; k <= kMaxFastDecimals; ++k) p[k] = p[k - 1] * 10;
  }
};
constexpr powers kPow10;

// [-]integer part, then k decimals of d / 10^k.
char* putscaled(char* p, bool negative, u128 d, int k) {
  char digits[48];
  int n = 0;
  if (d <= UINT64_MAX) {
    auto v = static_cast<std::uint64_t>(d);
    do {
      digits[n++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
  } else {
    do {
      digits[n++] = static_cast<char>('0' + static_cast<int>(d % 10));
      d /= 10;
    } while (d != 0);
  }
  while (n < k + 1) digits[n++] = '0';
  if (negative) *p++ = '-';
  for (int i = n - 1; i >= k; --i) *p++ = digits[i];
  if (k > 0) {
    *p++ = '.';
    for (int i = k - 1; i >= 0; --i) *p++ = digits[i];
  }
  return p;
}

// The values that read back to m * 2^E lie between the halfway points to
// its neighbours, (4m - 2) and (4m + 2) in units of 2^(E-2); below a power
// of two the neighbour is half as far, so (4m - 1).  A halfway point itself
// goes to the even mantissa.  With k decimals, the texts inside are the
// D / 10^k with D * 2^s in [lo * 10^k, hi * 10^k], s = 2 - E.  A text of k
// decimals is one of k + 1 decimals too, so the k that have one are all
// those from the smallest on: that one is found by halving, and its D
// nearest 4m is taken.
//
// The reader first rounds to long double (64 bits), so a decimal within
// half a long double step of a halfway point may be taken to it; such a
// rare one is checked by reading it.  False when the value lies outside
// the range this works for (then the general search runs).
bool fastshortest(const decoded& x, const real& r, char* p, char*& end) {
  const int s = 170 - x.exponent;
  if (s < 1 || s > 127) return false;
  const u128 centre = u128{x.m} << 2;
  const bool powerof2 = x.m == (std::uint64_t{1} << 39);
  const u128 lo = centre - (powerof2 ? 1 : 2), hi = centre + 2;
  const bool inclusive = (x.m & 1) == 0;
  const u128 mask = (u128{1} << s) - 1;
  u128 dmin = 0, dmax = 0;
  auto texts = [&](int k) {
    const u128 pk = kPow10.p[k];
    const u128 l = lo * pk + (inclusive ? 0 : 1), h = hi * pk - (inclusive ? 0 : 1);
    dmin = (l >> s) + ((l & mask) != 0 ? 1 : 0);
    dmax = h >> s;
    return dmin <= dmax;
  };
  // 10^-k below 2^(1-s), less than the width of the interval: always one.
  int khi = std::min(kMaxFastDecimals, s * 30103 / 100000 + 1);
  if (!texts(khi)) return false;
  int klo = 0;
  while (klo < khi) {
    const int mid = (klo + khi) / 2;
    if (texts(mid))
      khi = mid;
    else
      klo = mid + 1;
  }
  const int k = khi;
  texts(k);
  const u128 pk = kPow10.p[k];
  u128 d = (centre * pk + (u128{1} << (s - 1))) >> s;
  if (d < dmin) d = dmin;
  if (d > dmax) d = dmax;
  end = putscaled(p, x.negative, d, k);
  const u128 q = d << s, slack = (pk >> 23) + 1;
  if (q - lo * pk > slack && hi * pk - q > slack) return true;
  return readsbackas(std::string_view(p, static_cast<std::size_t>(end - p)), r);
}

// Digits d1..dn of a scientific text "d1.d2...dne[+-]X" with its exponent.
struct scientific {
  std::string digits;
  int exponent = 0;
};

scientific splitscientific(const char* t) {
  scientific s;
  const char* e = std::strchr(t, 'e');
  for (const char* c = t; c < e; ++c)
    if (*c >= '0' && *c <= '9') s.digits += *c;
  s.exponent = std::atoi(e + 1);
  return s;
}

// The neighbour one unit in the last place up or down (|value| grows or
// shrinks), with as many digits; false below the smallest.
bool stepdigits(scientific& s, int step) {
  std::string& d = s.digits;
  int i = static_cast<int>(d.size()) - 1;
  if (step > 0) {
    while (i >= 0 && d[static_cast<std::size_t>(i)] == '9') d[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      d.insert(d.begin(), '1');
      d.pop_back();
      ++s.exponent;
    } else {
      ++d[static_cast<std::size_t>(i)];
    }
    return true;
  }
  while (i >= 0 && d[static_cast<std::size_t>(i)] == '0') d[static_cast<std::size_t>(i--)] = '9';
  if (i < 0) return false;
  --d[static_cast<std::size_t>(i)];
  if (d[0] == '0') {  // below 1.0e5 the next decimal of two digits is 9.9e4
    if (d.size() == 1) return false;
    d.erase(d.begin());
    d += '9';
    --s.exponent;
  }
  return true;
}

// Fixed point of digits * 10^(exponent + 1 - n), trailing zeros of the
// fraction dropped.
std::string fixedof(bool negative, const scientific& s) {
  std::string t = negative ? "-" : "";
  const int n = static_cast<int>(s.digits.size());
  if (s.exponent >= 0) {
    for (int i = 0; i <= s.exponent; ++i) t += i < n ? s.digits[static_cast<std::size_t>(i)] : '0';
    if (s.exponent + 1 < n) t += "." + s.digits.substr(static_cast<std::size_t>(s.exponent) + 1);
  } else {
    t += "0." + std::string(static_cast<std::size_t>(-s.exponent - 1), '0') + s.digits;
  }
  if (t.find('.') != std::string::npos) {
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
  }
  return t;
}

// The general search: for 1, 2, ... significant digits the correctly
// rounded text and its neighbours one unit in the last place away.
std::string generalshortest(const decoded& x, const real& r) {
  const long double v = std::fabs(toext(r));
  for (int n = 1; n <= 40; ++n) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.*Le", n - 1, v);
    const scientific nearest = splitscientific(buf);
    for (int step : {0, 1, -1}) {
      scientific s = nearest;
      if (step != 0 && !stepdigits(s, step)) continue;
      std::string t = fixedof(x.negative, s);
      if (readsbackas(t, r)) return t;
    }
  }
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.45Le", v);  // exact for every real
  return fixedof(x.negative, splitscientific(buf));
}

}  // namespace

bool readsbackas(std::string_view text, const real& r) {
  long double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
  return ec == std::errc() && end == text.data() + text.size() && toreal(v) == r;
}

char* putshortestreal(char* p, const real& r) {
  if (r.bytes[0] == 0) {
    *p++ = '0';
    return p;
  }
  const decoded x = decode(r);
  char* end = p;
  if (fastshortest(x, r, p, end)) return end;
  std::string t = generalshortest(x, r);
  std::memcpy(p, t.data(), t.size());
  return p + t.size();
}

std::string shortestreal(const real& r) {
  char buf[kShortestRealRoom];
  return std::string(buf, putshortestreal(buf, r));
}
