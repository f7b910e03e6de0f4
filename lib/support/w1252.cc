#include "lib/support/w1252.h"

std::string w1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (unsigned char c : bytes) {
    char32_t cp = c;
    if (c >= 0x80 && c < 0xA0) {
      cp = w1252detail::kHigh[c - 0x80];
      if (cp == 0) cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string utf8ToW1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = w1252detail::decodeUtf8(utf8.data(), utf8.size(), i);
    int byte = cp == 0xFFFFFFFF ? -1 : w1252detail::byteFor(cp);
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

std::string pathtext(std::string_view utf8) {
  std::string out = utf8ToW1252(utf8);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return out;
}
