// Windows-1252 byte strings.
//
// Every text inside the program (captions, messages, file contents, record
// fields) is a std::string holding Windows-1252 bytes.  Source files are
// UTF-8, so German literals are written readably and converted at compile
// time with the _w suffix:
//
//     std::string t = std::string("Länge"_w);   // 5 bytes, 0xE4 for "ä"
//
// A literal holding a character that Windows-1252 cannot express does not
// compile.  Conversion to and from UTF-8 at run time (for the toolkit
// boundary and for terminal output) is done by w1252ToUtf8/utf8ToW1252.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace w1252detail {

// Unicode code points of the bytes 0x80..0x9F; 0 marks an unused byte.
inline constexpr char32_t kHigh[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

// The byte for a code point, or -1 when Windows-1252 has none.
constexpr int byteFor(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] != 0 && kHigh[i] == cp) return 0x80 + i;
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; advances i.  Returns 0xFFFFFFFF on a
// malformed sequence (and advances by one byte).
constexpr char32_t decodeUtf8(const char* s, std::size_t n, std::size_t& i) {
  auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  if (c < 0x80) { ++i; return c; }
  int len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0 || i + len > n) { ++i; return 0xFFFFFFFF; }
  char32_t cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) { ++i; return 0xFFFFFFFF; }
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  // Only the shortest form is UTF-8: "C0 80" is no NUL and "C0 9B" no
  // escape byte.  Surrogates and code points above U+10FFFF are malformed
  // too.
  char32_t shortest = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
  if (cp < shortest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return 0xFFFFFFFF; }
  i += len;
  return cp;
}

template <std::size_t N>
struct Utf8Literal {
  char text[N]{};
  std::size_t length = 0;  // bytes after conversion
  consteval Utf8Literal(const char (&s)[N]) {
    std::size_t i = 0;
    std::size_t n = N - 1;  // without the terminating zero
    while (i < n) {
      char32_t cp = decodeUtf8(s, n, i);
      int byte = byteFor(cp);
      if (cp == 0xFFFFFFFF || byte < 0) throw "literal not expressible in Windows-1252";
      text[length++] = static_cast<char>(byte);
    }
  }
};

}  // namespace w1252detail

// "Länge"_w: the literal as Windows-1252 bytes.
template <w1252detail::Utf8Literal L>
constexpr std::string_view operator""_w() {
  return std::string_view(L.text, L.length);
}

// Converts Windows-1252 bytes to UTF-8; unused bytes become U+FFFD.
std::string w1252ToUtf8(std::string_view bytes);

// Converts UTF-8 to Windows-1252; characters without a byte (and malformed
// sequences) become "?".
std::string utf8ToW1252(std::string_view utf8);

// A file name or path as the system gives it (UTF-8 bytes) for a message:
// utf8ToW1252 with every control byte (below 0x20 and 0x7F) as "?", the
// way texts from the database are shown, so that a name never sends
// terminal escapes or line breaks.  Every message that names a path goes
// through here.
std::string pathtext(std::string_view utf8);
