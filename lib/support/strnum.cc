#include "lib/support/strnum.h"

#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

int generaldigits = 6;
int generalminexponent = -20;
bool generalstripzeros = true;
bool generalscientific = false;
bool decimalcomma = false;

std::uint16_t roundsmallclips = 0;
std::uint16_t roundsmallchanges = 0;

namespace {

constexpr std::size_t kPadRightCap = 120;
constexpr std::size_t kPadLeftCap = 80;
constexpr std::size_t kNumberCap = 40;
constexpr std::size_t kGeneralCap = 80;
constexpr std::size_t kHexShortCap = 10;
constexpr std::size_t kHexLongShortCap = 20;
constexpr std::size_t kCardCap = 10;

void limit(std::string& s, std::size_t cap) {
  if (s.size() > cap) s.resize(cap);
}

std::size_t clampwidth(int width, std::size_t cap) {
  if (width <= 0) return 0;
  return std::min(static_cast<std::size_t>(width), cap);
}

bool isdigit(char c) { return c >= '0' && c <= '9'; }

// Value of a hexadecimal digit, or 16 for any other byte.
unsigned hexvalue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return 16;
}

const char kHexDigits[] = "0123456789ABCDEF";

std::string hexdigits(std::uint32_t v, int count) {
  std::string s(static_cast<std::size_t>(count), '0');
  for (int i = count - 1; i >= 0; --i) {
    s[static_cast<std::size_t>(i)] = kHexDigits[v & 0xF];
    v >>= 4;
  }
  return s;
}

// Formats v with std::to_chars (locale-independent, correctly rounded from
// the exact value, ties to even) into out.
void format(std::string& out, long double v, std::chars_format fmt, int precision) {
  char small[128];
  auto r = std::to_chars(small, small + sizeof small, v, fmt, precision);
  if (r.ec == std::errc()) {
    out.assign(small, r.ptr);
    return;
  }
  // Very large long double values in fixed notation (up to about 4933
  // integer digits plus the decimals).
  std::string big(5000 + static_cast<std::size_t>(precision), '\0');
  r = std::to_chars(big.data(), big.data() + big.size(), v, fmt, precision);
  big.resize(r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - big.data()) : 0);
  out = std::move(big);
}

// Fixed-point digits of v with 0..19 decimals by exact integer arithmetic:
// v = M * 2^E with a 64-bit M, so M * 10^decimals fits 128 bits and one
// shift with round-half-even gives the digits that to_chars would give, at
// a fraction of its cost.  Returns false (out untouched) for values it does
// not cover: 2^63 and above, below 2^-64, more than 19 decimals.
bool fastfixed(std::string& out, long double v, int decimals) {
  if constexpr (std::numeric_limits<long double>::radix != 2 ||
                std::numeric_limits<long double>::digits > 64) {
    return false;
  } else {
    using u128 = unsigned __int128;
    static constexpr std::uint64_t kPow10[20] = {1ULL,
                                                 10ULL,
                                                 100ULL,
                                                 1000ULL,
                                                 10000ULL,
                                                 100000ULL,
                                                 1000000ULL,
                                                 10000000ULL,
                                                 100000000ULL,
                                                 1000000000ULL,
                                                 10000000000ULL,
                                                 100000000000ULL,
                                                 1000000000000ULL,
                                                 10000000000000ULL,
                                                 100000000000000ULL,
                                                 1000000000000000ULL,
                                                 10000000000000000ULL,
                                                 100000000000000000ULL,
                                                 1000000000000000000ULL,
                                                 10000000000000000000ULL};
    if (decimals < 0 || decimals > 19 || !std::isfinite(v)) return false;
    const bool negative = std::signbit(v);
    const long double a = std::fabs(v);
    u128 q = 0;
    if (a != 0) {
      int e = 0;
      const long double m = std::frexp(a, &e);  // a = m * 2^e, m in [0.5, 1)
      const int shift = 64 - e;                 // a = M * 2^-shift
      if (shift <= 0 || shift >= 128) return false;
      const auto mant = static_cast<std::uint64_t>(std::ldexp(m, 64));  // exact
      const u128 n = static_cast<u128>(mant) * kPow10[decimals];
      q = n >> shift;
      const u128 rest = n & ((static_cast<u128>(1) << shift) - 1);
      const u128 half = static_cast<u128>(1) << (shift - 1);
      if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    }
    // q < 2^63 * 10^19, so q / 10^19 fits 64 bits.
    char digits[48];
    char* end;
    if ((q >> 64) == 0) {
      end = std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(q)).ptr;
    } else {
      const auto high = static_cast<std::uint64_t>(q / kPow10[19]);
      const auto low = static_cast<std::uint64_t>(q % kPow10[19]);
      end = std::to_chars(digits, digits + sizeof digits, high).ptr;
      char* lowstart = end;
      end = std::to_chars(end, digits + sizeof digits, low).ptr;
      const auto lowlen = static_cast<std::size_t>(end - lowstart);
      if (lowlen < 19) {  // zero-fill the low part to 19 digits
        std::memmove(lowstart + (19 - lowlen), lowstart, lowlen);
        std::memset(lowstart, '0', 19 - lowlen);
        end = lowstart + 19;
      }
    }
    auto count = static_cast<std::size_t>(end - digits);
    const auto dec = static_cast<std::size_t>(decimals);
    out.clear();
    if (negative) out += '-';
    if (count <= dec) {  // "0." and zeros in front of the digits
      out += '0';
      out += '.';
      out.append(dec - count, '0');
      out.append(digits, count);
    } else {
      out.append(digits, count - dec);
      if (dec > 0) {
        out += '.';
        out.append(digits + (count - dec), dec);
      }
    }
    return true;
  }
}

// The "C" locale for strtold_l, created once.
locale_t clocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace

std::string cut(std::string_view s, std::size_t cap) { return std::string(s.substr(0, cap)); }

// --- text routines ---------------------------------------------------------

void trimright(std::string& s) {
  limit(s, kMaxText);
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  s.resize(n);
}

void trimleft(std::string& s) {
  limit(s, kMaxText);
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  s.erase(0, i);
}

void trimboth(std::string& s) {
  trimright(s);
  trimleft(s);
}

std::string padright(int width, std::string_view s) {
  std::string t = cut(s, kPadRightCap);
  t.resize(clampwidth(width, kPadRightCap), ' ');
  return t;
}

std::string padleft(int width, std::string_view s) {
  std::size_t w = clampwidth(width, kPadLeftCap);
  std::string t = cut(s, std::min(w, kPadLeftCap));
  t.insert(0, w - t.size(), ' ');
  return t;
}

bool replacechar(char from, char to, std::string& s) {
  limit(s, kMaxText);
  std::size_t p = s.find(from);
  if (p == std::string::npos) return false;
  s[p] = to;
  return true;
}

void replaceallchars(char from, char to, std::string& s, int& count) {
  limit(s, kMaxText);
  if (from == to) {  // each occurrence counts once; nothing changes
    count += static_cast<int>(std::count(s.begin(), s.end(), from));
    return;
  }
  for (char& c : s) {
    if (c == from) {
      c = to;
      ++count;
    }
  }
}

void dottocomma(std::string& s) { replacechar('.', ',', s); }

void commatodot(std::string& s) { replacechar(',', '.', s); }

void stripleading(char c, std::string& s) {
  limit(s, kMaxText);
  std::size_t i = 0;
  while (s.size() - i > 1 && s[i] == c) ++i;
  s.erase(0, i);
}

void stripone(char c, std::string& s) {
  limit(s, kMaxText);
  if (!s.empty() && s.back() == c) s.pop_back();
}

std::string quote(std::string_view s) {
  std::string t;
  t.reserve(kMaxText + 2);
  t += '"';
  t += s.substr(0, kMaxText);
  t += '"';
  limit(t, kMaxText);
  return t;
}

std::string splitfield(char separator, std::string& s, std::size_t capacity) {
  limit(s, capacity);
  std::size_t p = s.find(separator);
  std::string field;
  if (p == std::string::npos) {
    field.swap(s);
  } else {
    field = s.substr(0, p);
    s.erase(0, p + 1);
  }
  return field;
}

// --- number to text --------------------------------------------------------

std::string bytetostr(std::uint8_t v) { return std::to_string(v); }

std::string wordtostr(std::uint16_t v) { return std::to_string(v); }

std::string smalltostr(std::int16_t v) { return std::to_string(v); }

std::string longtostr(std::int32_t v) { return std::to_string(v); }

std::string wordtostrw(int width, std::uint16_t v) {
  std::string t = wordtostr(v);
  std::size_t w = clampwidth(width, kNumberCap);
  if (w > 1 && t.size() < w) t.insert(0, w - t.size(), ' ');
  return t;
}

std::string longtostrgrouped(char separator, int width, std::int32_t v) {
  std::string t = longtostr(v);
  if (t.size() > 3) {
    std::size_t sign = (t[0] == '-') ? 1 : 0;
    std::size_t n = t.size() - sign;
    std::size_t first = n % 3 == 0 ? 3 : n % 3;
    std::string g = t.substr(0, sign + first);
    for (std::size_t i = sign + first; i < t.size(); i += 3) {
      g += separator;
      g.append(t, i, 3);
    }
    t = std::move(g);
  }
  if (width > 0 && static_cast<std::size_t>(width) > t.size()) t = padleft(width, t);
  limit(t, kNumberCap);
  return t;
}

std::string realtostr(int width, int decimals, long double v) {
  if (v == 0) v = 0;  // no "-0.00" for a negative zero
  std::string t;
  decimals = std::clamp(decimals, 0, static_cast<int>(kNumberCap));
  if (!fastfixed(t, v, decimals)) format(t, v, std::chars_format::fixed, decimals);
  std::size_t w = clampwidth(width, kNumberCap);
  if (t.size() < w) t.insert(0, w - t.size(), ' ');
  limit(t, kNumberCap);
  return t;
}

std::string realtostrtrim(int width, bool strip, int decimals, long double v) {
  std::string t = realtostr(width, decimals, v);
  if (decimals != 0) {
    if (strip && t.find('.') != std::string::npos) {
      while (!t.empty() && t.back() == '0') t.pop_back();
      stripone('.', t);
    }
    if (decimalcomma) dottocomma(t);
  }
  return t;
}

std::string realtogeneral(long double v) {
  if (v == 0) return "0";
  std::string t;
  if (!std::isfinite(v)) {
    format(t, v, std::chars_format::general, 6);
    return t;
  }
  const int d = std::clamp(generaldigits, 3, 60);
  // Scientific form rounded to d significant digits, e.g. "-1.23457e+06".
  // The exponent is taken after rounding, so a mantissa that rounds up to
  // 10 moves to the next power of ten (999999.7 gives 1E6).
  format(t, v, std::chars_format::scientific, d - 1);
  const bool negative = t[0] == '-';
  std::size_t epos = t.find('e');
  std::string digits;
  digits.reserve(static_cast<std::size_t>(d));
  for (std::size_t i = negative ? 1 : 0; i < epos; ++i)
    if (t[i] != '.') digits += t[i];
  int e = std::atoi(t.c_str() + epos + 1);
  if (e < generalminexponent) return "0";

  std::string intpart, frac;
  if (!generalscientific && e > -4 && e < d) {
    if (e >= 0) {
      intpart = digits.substr(0, static_cast<std::size_t>(e) + 1);
      frac = digits.substr(static_cast<std::size_t>(e) + 1);
    } else {
      intpart = "0";
      frac = std::string(static_cast<std::size_t>(-e - 1), '0') + digits;
    }
  } else {
    intpart = digits.substr(0, 1);
    frac = digits.substr(1);
  }
  if (generalstripzeros) {
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
  }
  std::string out;
  if (negative) out += '-';
  out += intpart;
  if (!frac.empty()) {
    out += '.';
    out += frac;
  }
  if (generalscientific || e <= -4 || e >= d) {
    out += 'E';
    out += std::to_string(e);
  }
  if (decimalcomma) dottocomma(out);
  limit(out, kGeneralCap);
  return out;
}

std::string hexword(std::uint16_t v) { return hexdigits(v, 4); }

std::string hexwordshort(std::uint16_t v) {
  std::string t = hexword(v);
  stripleading('0', t);
  limit(t, kHexShortCap);
  return t;
}

std::string hexlong(std::uint32_t v) { return hexdigits(v, 8); }

std::string hexlongshort(std::uint32_t v) {
  std::string t = hexlong(v);
  stripleading('0', t);
  limit(t, kHexLongShortCap);
  return t;
}

std::string hexwideshort(std::uint64_t v) {
  std::string t;
  do {
    t.insert(t.begin(), kHexDigits[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  return t;
}

// --- text to number --------------------------------------------------------

long double strtoreal(std::string_view s, int& errpos) {
  std::string t = cut(s, kNumberCap);
  trimboth(t);
  commatodot(t);
  const std::size_t n = t.size();
  std::size_t i = 0;
  auto fail = [&](std::size_t at) {
    errpos = static_cast<int>(at) + 1;
    return 0.0L;
  };
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  bool mantissa = false;
  while (i < n && isdigit(t[i])) ++i, mantissa = true;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && isdigit(t[i])) ++i, mantissa = true;
  }
  if (!mantissa) return fail(i);
  if (i < n && (t[i] == 'E' || t[i] == 'e')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    if (i >= n || !isdigit(t[i])) return fail(i);
    while (i < n && isdigit(t[i])) ++i;
  }
  if (i < n) return fail(i);

  errpos = 0;
  long double v = strtold_l(t.c_str(), nullptr, clocale());
  if (std::isinf(v)) v = std::copysign(LDBL_MAX, v);  // overflow: largest finite value
  return v;
}

namespace {

// The sign and the hexadecimal mark ("$", "x" or "0x") in front of the
// digits of an integer text.
struct numberprefix {
  bool negative = false;
  unsigned base = 10;
  std::size_t digits = 0;  // where the digits start
};

numberprefix readprefix(const std::string& t) {
  numberprefix p;
  const std::size_t n = t.size();
  std::size_t i = 0;
  if (i < n && (t[i] == '-' || t[i] == '+')) p.negative = t[i++] == '-';
  if (i < n) {
    if (t[i] == '$' || t[i] == 'x' || t[i] == 'X') {
      p.base = 16;
      ++i;
    } else if (t[i] == '0' && i + 1 < n && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
      p.base = 16;
      i += 2;
    }
  }
  p.digits = i;
  return p;
}

}  // namespace

std::int32_t strtolong(std::string_view s, int& error) {
  std::string t = cut(s, kNumberCap);
  trimboth(t);
  const std::size_t n = t.size();
  std::size_t i = 0;
  if (n == 0) {
    error = 1;
    return 0;
  }
  const numberprefix pre = readprefix(t);
  const bool negative = pre.negative;
  const unsigned base = pre.base;
  i = pre.digits;
  if (i >= n) {  // sign or mark without digits
    error = static_cast<int>(i) + 1;
    return 0;
  }
  const std::uint64_t most = base == 16 ? 0xFFFFFFFFu : 2147483647u + (negative ? 1u : 0u);
  std::uint64_t acc = 0;
  for (; i < n; ++i) {
    unsigned u = hexvalue(t[i]);
    if (u >= base) {
      error = static_cast<int>(i) + 1;
      return 0;
    }
    acc = acc * base + u;
    if (acc > most) {
      error = static_cast<int>(i) + 1;
      return 0;
    }
  }
  error = 0;
  std::uint32_t bits = static_cast<std::uint32_t>(acc);
  if (negative) bits = 0u - bits;
  return static_cast<std::int32_t>(bits);
}

std::int64_t strtowide(std::string_view s, int& error) {
  std::string t = cut(s, kNumberCap);
  trimboth(t);
  const std::size_t n = t.size();
  const numberprefix pre = readprefix(t);
  const bool negative = pre.negative;
  const unsigned base = pre.base;
  std::size_t i = pre.digits;
  error = 1;
  if (i >= n) return 0;
  std::uint64_t acc = 0;
  for (; i < n; ++i) {
    unsigned u = hexvalue(t[i]);
    if (u >= base) return 0;
    acc = acc * base + u;
    if (acc > (std::uint64_t{1} << 62)) return 0;
  }
  error = 0;
  return negative ? -static_cast<std::int64_t>(acc) : static_cast<std::int64_t>(acc);
}

void strtosmall(std::string_view s, std::int16_t& value, int& error) {
  std::int32_t v = strtolong(s, error);
  if (error != 0) return;
  if (v < -32767 || v > 32767) {
    error = 1;
    return;
  }
  value = static_cast<std::int16_t>(v);
}

std::uint32_t hextocard(std::string_view s, int& error) {
  std::string t = cut(s, kCardCap);
  trimboth(t);
  if (t.size() < 2 || t.size() > 9) {
    error = 1;
    return 0;
  }
  error = 0;
  std::uint32_t v = 0;
  for (std::size_t i = 1; i < t.size(); ++i) {
    unsigned u = hexvalue(t[i]);
    if (u < 16) {
      v = (v << 4) | u;
    } else {
      ++error;
    }
  }
  return v;
}

std::uint32_t strtocard(std::string_view s, int& error) {
  std::string t = cut(s, kCardCap);
  trimboth(t);
  if (!t.empty() && t[0] == '$') return hextocard(t, error);
  return static_cast<std::uint32_t>(strtolong(t, error));
}

std::int16_t roundsmall(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= 32767 || v < -32767) {
    ++roundsmallclips;
    ++roundsmallchanges;
    return v >= 32767 ? 32767 : -32767;
  }
  long double f = std::floor(v);
  long double rest = v - f;  // exact for these magnitudes
  if (rest > 0.5L || (rest == 0.5L && std::fmod(f, 2.0L) != 0)) f += 1;
  return static_cast<std::int16_t>(f);
}

std::string groupdigits(std::uint64_t n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
    out += digits[i];
  }
  return out;
}
