// Field parsers for the CSV converter: fast, exact, locale-independent.
//
// Every parser takes the raw field text, ignores blanks and tabs around it
// and accepts one leading "+".  They return false (and leave the output
// unspecified) when the text is empty, not a number or out of range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lib/support/real48.h"

// Decimal integer in [lo, hi]; no fraction, no exponent.
inline bool parseinteger(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value);

// The general case of parseinteger (blanks, "+", long digit strings).
bool parseintegertext(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value);

// A decimal number (plain or with exponent; no "nan", "inf" or hex).
// value: the nearest double (for range checks); stored: the nearest 6-byte
// real to the exact decimal value, the same as toreal(strtold(text)) in the
// C locale.
bool parsecoordinate(std::string_view text, double& value, real& stored);

// Compares the decimal texts a and b exactly ("13.0800" == "13.08").
// Both must be plain decimals ([-]digits[.digits]); returns -1, 0 or 1,
// or 2 when either text is not a plain decimal.
int comparedecimal(std::string_view a, std::string_view b);

// Removes blanks and tabs on both sides.
std::string_view trimfield(std::string_view text);

// The usual shape is read right here: an optional "-" and 1 to 18 digits,
// nothing else (cannot overflow); anything else takes parseintegertext.
inline bool parseinteger(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value) {
  const char* p = text.data();
  std::size_t n = text.size();
  const bool negative = n > 1 && *p == '-';
  if (negative) {
    ++p;
    --n;
  }
  if (n - 1 < 18) {
    std::int64_t v = 0;
    std::size_t i = 0;
    for (; i < n; ++i) {
      unsigned d = static_cast<unsigned char>(p[i]) - unsigned{'0'};
      if (d > 9) break;
      v = v * 10 + d;
    }
    if (i == n) {
      if (negative) v = -v;
      if (v < lo || v > hi) return false;
      value = v;
      return true;
    }
  }
  return parseintegertext(text, lo, hi, value);
}
