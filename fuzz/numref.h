// Simple reference readers for the number texts, written independently of
// lib/support/strnum.cc, for the fuzz targets to compare against.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct decimalref {
  bool ok = false;
  int errpos = 0;        // 1-based position in the normalised text
  bool negative = false;
  std::string digits;    // significant mantissa digits (no leading zeros)
  long long exponent = 0;  // value = digits * 10^exponent (clamped to +-1e9)
  std::string text;      // the normalised text (cut, trimmed, comma made point)
};

inline std::string normalised(std::string_view s, std::size_t cap) {
  std::string t(s.substr(0, cap));
  std::size_t b = t.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  std::size_t e = t.find_last_not_of(' ');
  return t.substr(b, e - b + 1);
}

inline bool refdigit(char c) { return c >= '0' && c <= '9'; }

// The decimal syntax: sign, digits, point, digits (one digit at least),
// then "e"/"E", sign, one digit at least.
inline decimalref readdecimalref(std::string_view s) {
  decimalref r;
  r.text = normalised(s, 40);
  std::size_t comma = r.text.find(',');
  if (comma != std::string::npos) r.text[comma] = '.';
  const std::string& t = r.text;
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) r.negative = t[i++] == '-';
  std::string mant;
  long long pointshift = 0;
  bool any = false;
  for (; i < t.size() && refdigit(t[i]); ++i) mant += t[i], any = true;
  if (i < t.size() && t[i] == '.') {
    for (++i; i < t.size() && refdigit(t[i]); ++i) mant += t[i], any = true, --pointshift;
  }
  if (!any) {
    r.errpos = static_cast<int>(i) + 1;
    return r;
  }
  long long exp = 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    bool eneg = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) eneg = t[i++] == '-';
    if (i >= t.size() || !refdigit(t[i])) {
      r.errpos = static_cast<int>(i) + 1;
      return r;
    }
    for (; i < t.size() && refdigit(t[i]); ++i)
      if (exp < 1000000000) exp = exp * 10 + (t[i] - '0');
    if (eneg) exp = -exp;
  }
  if (i < t.size()) {
    r.errpos = static_cast<int>(i) + 1;
    return r;
  }
  r.ok = true;
  std::size_t nz = mant.find_first_not_of('0');
  r.digits = nz == std::string::npos ? "" : mant.substr(nz);
  while (!r.digits.empty() && r.digits.back() == '0') r.digits.pop_back(), ++pointshift;
  r.exponent = exp + pointshift;
  return r;
}

// The exactly rounded value when it can be had with one rounding: at most
// 19 significant digits (exact in a 64-bit mantissa) times or divided by a
// power of ten up to 10^27 (exact too).  False when the text is outside
// that range.
inline bool fastvalue(const decimalref& r, long double& v) {
  if (r.digits.empty()) {
    v = 0;
    return true;
  }
  if (r.digits.size() > 19 || r.exponent > 27 || r.exponent < -27) return false;
  std::uint64_t m = 0;
  for (char c : r.digits) m = m * 10 + static_cast<unsigned>(c - '0');
  long double p = 1;
  for (long long k = 0; k < (r.exponent < 0 ? -r.exponent : r.exponent); ++k) p *= 10;
  v = r.exponent < 0 ? static_cast<long double>(m) / p : static_cast<long double>(m) * p;
  if (r.negative) v = -v;
  return true;
}
