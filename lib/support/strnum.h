// Text and number routines on Windows-1252 byte strings.
//
// Every routine works on a copy of its input cut to a fixed capacity
// (bytes) and cuts its result to the capacity of the result; nothing here
// throws.  Conversions from text report errors through their outputs and
// leave the numeric result at 0 (strtosmall: unchanged) when the text is
// not a number.  Program texts are at most 255 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lib/support/real48.h"

inline constexpr std::size_t kMaxText = 255;

// Global formatting settings, fixed at start and not changed by
// the program; tests may set them and must restore them.
extern int generaldigits;       // significant digits of realtogeneral: 6 (at least 3 is used)
extern int generalminexponent;  // smallest printed decimal exponent: -20 (below prints "0")
extern bool generalstripzeros;  // trailing-zero removal in realtogeneral: on
extern bool generalscientific;  // realtogeneral always scientific: off
extern bool decimalcomma;       // first "." of a formatted real becomes ",": off

// Cuts s to at most cap bytes.
std::string cut(std::string_view s, std::size_t cap);

// --- text routines ---------------------------------------------------------
// The routines that change a text in place first cut it to kMaxText bytes.
void trimright(std::string& s);  // removes trailing blanks (code 32 only)
void trimleft(std::string& s);   // removes leading blanks
void trimboth(std::string& s);   // trimright, then trimleft
// Capacity 120: width 0 gives "", width > 120 counts as 120; cut to width or
// blanks appended up to width.
std::string padright(int width, std::string_view s);
// Capacity 80: width > 80 counts as 80; cut to width, blanks put in front.
std::string padleft(int width, std::string_view s);
// Replaces the first `from` by `to`; returns whether there was one.
bool replacechar(char from, char to, std::string& s);
// Replaces every `from` by `to`, adding 1 to count per replacement (with
// from == to nothing changes and each occurrence counts once).
void replaceallchars(char from, char to, std::string& s, int& count);
void dottocomma(std::string& s);  // first "." becomes ","
void commatodot(std::string& s);  // first "," becomes "."
// Removes c from the start while the text is longer than one byte.
void stripleading(char c, std::string& s);
// Removes the last byte when it is c.
void stripone(char c, std::string& s);
// The text between two double quotes, cut to 255 bytes.
std::string quote(std::string_view s);
// Returns everything before the first separator; s keeps what follows it.
// Without a separator the field is the whole text and s becomes empty.
// s is cut to capacity first.
std::string splitfield(char separator, std::string& s, std::size_t capacity);

// --- number to text (capacity 40 unless said) ------------------------------
std::string bytetostr(std::uint8_t v);
std::string wordtostr(std::uint16_t v);
std::string smalltostr(std::int16_t v);
std::string longtostr(std::int32_t v);
// Width > 40 counts as 40; width 0 or 1: plain; else right-aligned, never cut.
std::string wordtostrw(int width, std::uint16_t v);
// Groups of three digits from the right with separator when longer than
// 3 digits; blanks in front up to width (padleft).
std::string longtostrgrouped(char separator, int width, std::int32_t v);
// 1234567 -> "1.234.567" (any unsigned 64-bit count).
std::string groupdigits(std::uint64_t n);
// Fixed point, exactly `decimals` digits (negative counts as 0), rounded to
// nearest from the exact value (an exact tie goes to the even digit: 0.125
// with 2 decimals gives 0.12), right-aligned in width (> 40 counts as 40;
// grows when the number needs more, up to the capacity of 40).  A negative
// value that rounds to zero keeps its "-" ("-0.00"); a negative zero prints
// as "0.00".  Locale-independent: the point is always ".".
std::string realtostr(int width, int decimals, long double v);
inline std::string realtostr(int width, int decimals, real v) { return realtostr(width, decimals, toext(v)); }
// realtostr; then with strip and a "." present: trailing "0" then a
// trailing "." removed (only when decimals != 0); decimal comma setting
// applied.
std::string realtostrtrim(int width, bool strip, int decimals, long double v);
inline std::string realtostrtrim(int width, bool strip, int decimals, real v) {
  return realtostrtrim(width, strip, decimals, toext(v));
}
// General format with generaldigits (6) significant digits (capacity 80):
// "0", fixed point for -4 < e < 6, else scientific "1.23457E6".  e is the
// decimal exponent after rounding to those digits, so a mantissa that would
// round up to 10 moves to the next power (9999997 gives 1E7, 999999.7
// gives 1E6).  Values with e below generalminexponent give "0".
std::string realtogeneral(long double v);
inline std::string realtogeneral(real v) { return realtogeneral(toext(v)); }
std::string hexword(std::uint16_t v);       // four upper-case hex digits
std::string hexwordshort(std::uint16_t v);  // leading zeros removed; 0 -> "0"
std::string hexlong(std::uint32_t v);       // eight upper-case hex digits
std::string hexlongshort(std::uint32_t v);  // leading zeros removed; 0 -> "0"
// Upper-case hex digits of a 64-bit value without leading zeros; 0 -> "0"
// (the wide area and cell id of NR cells).
std::string hexwideshort(std::uint64_t v);

// --- text to number --------------------------------------------------------
// Capacity 40; trimboth, commatodot (first comma), then the decimal syntax
// of the run-time library: optional sign, digits, optional "." and digits
// (at least one digit in all, so "5." and ".5" are numbers), optional "E"
// or "e" with optional sign and at least one digit.  errpos 0 when the
// whole text is a number, else the 1-based position, in the trimmed text,
// where the syntax failed (one past the end when a required digit is
// missing: "" gives 1, "-" gives 2, "1e" gives 3); the result is then 0.
// Correctly rounded to long double; magnitudes beyond long double give
// +-LDBL_MAX, tiny ones 0.
long double strtoreal(std::string_view s, int& errpos);
// Capacity 40; trimboth; optional sign; decimal digits or hex digits after
// "$", "x", "X", "0x", "0X"; must fit 32 bits.  error 0 when valid, else
// the 1-based position of the first bad character, or of the digit that
// made the value too large; a sign or mark without digits gives the
// position after it; an empty text gives 1.  The result is 0 on error.
// Decimal values must lie in -2147483648..2147483647.  Hexadecimal values
// may go up to $FFFFFFFF and wrap like the Pascal run-time ($FFFFFFFF is
// -1, $80000000 is -2147483648); a "-" before them negates modulo 2^32.
std::int32_t strtolong(std::string_view s, int& error);
// The syntax of strtolong read into 64 bits without wrapping ("$FFFFFFFF"
// is 4294967295; the wide area and cell id of NR cells).  error 0 when
// valid, else 1 (also for a magnitude above 2^62); the result is then 0.
std::int64_t strtowide(std::string_view s, int& error);
// strtolong; a valid value outside -32767..32767 sets error 1.  On any
// error `value` is left unchanged.
void strtosmall(std::string_view s, std::int16_t& value, int& error);
// Capacity 10; trimboth; first byte dropped (the "$" mark); 1 to 8 bytes
// must follow (else error 1 and value 0); hex digits shifted in, any other
// byte skipped and counted in error.
std::uint32_t hextocard(std::string_view s, int& error);
// Capacity 10; trimboth; "$" -> hextocard, else strtolong (a negative
// value comes back as its 32-bit pattern).
std::uint32_t strtocard(std::string_view s, int& error);
// Rounds to nearest (ties to even) as signed 16 bits; >= 32767 gives 32767,
// < -32767 gives -32767 (compared before rounding), each such value counted
// in roundsmallclips and roundsmallchanges.  NaN gives 0.
std::int16_t roundsmall(long double v);
inline std::int16_t roundsmall(real v) { return roundsmall(toext(v)); }
extern std::uint16_t roundsmallclips;    // values that had to be clipped
extern std::uint16_t roundsmallchanges;  // calls in which that count changed
