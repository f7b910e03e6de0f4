// A font as the core code sees it: the toolkit-independent description of
// a toolkit font.  The Qt layer turns it into a QFont and back; the core
// never touches toolkit fonts.
#pragma once

#include <cstdint>
#include <string>

struct FontSpec {
  std::string name;            // face name, Windows-1252 ("" = toolkit default)
  int height = 0;              // character height in pixels, used when > 0
  int pointsize = 0;           // size in points, used when height is 0
  bool bold = false;
  bool italic = false;
  bool strikeout = false;
  std::uint8_t red = 0, green = 0, blue = 0;  // font colour
  std::uint8_t charset = 0;    // Windows character-set number
  bool valid = true;           // false: "no font made", the default stays

  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};
