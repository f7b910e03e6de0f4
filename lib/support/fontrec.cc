#include "lib/support/fontrec.h"

#include <cmath>
#include <cstring>

#include "lib/support/messages.h"
#include "lib/support/textgrid.h"
#include "platform/fontdialog.h"

bool fontheights = false;

namespace {

// The font colour table.  Where it names a palette colour under another
// number (255,0,255 as 3; 128,128,0 as 5; 128,0,128 as 11; 0,128,128 as 13)
// the palette number wins, since the palette is the way back.
struct ColourNumber {
  struct {
    std::uint8_t r, g, b;
  } colour;
  std::uint8_t number;
};
constexpr ColourNumber kFontColours[] = {
    {{0, 0, 0}, 0},       {{0, 0, 128}, 1},   {{0, 128, 0}, 2},       {{255, 0, 255}, 3},
    {{128, 0, 0}, 4},     {{128, 128, 0}, 5}, {{128, 128, 128}, 8},   {{0, 0, 255}, 9},
    {{0, 255, 0}, 10},    {{128, 0, 128}, 11}, {{255, 0, 0}, 12},     {{0, 128, 128}, 13},
    {{255, 255, 0}, 14},  {{255, 255, 255}, 15}};

constexpr int kPixelsPerInch = 96;

int pointstopixels(int points) {
  return static_cast<int>(std::lround(points * static_cast<double>(kPixelsPerInch) / 72.0));
}
int pixelstopoints(int pixels) {
  return static_cast<int>(std::lround(pixels * 72.0 / kPixelsPerInch));
}

}  // namespace

std::string fontrecordname(const fontrecord& r) {
  std::size_t n = r.name[0] > kFontNameMax ? kFontNameMax : r.name[0];
  return std::string(reinterpret_cast<const char*>(r.name + 1), n);
}

void setfontrecordname(fontrecord& r, std::string_view name) {
  std::size_t n = name.size() > kFontNameMax ? kFontNameMax : name.size();
  std::memset(r.name, 0, sizeof r.name);
  r.name[0] = static_cast<std::uint8_t>(n);
  std::memcpy(r.name + 1, name.data(), n);
}

fontrecord emptyfontrecord() {
  fontrecord r;
  std::memset(&r, 0, sizeof r);
  return r;
}

fontrecord standardfontrecord() {
  fontrecord r = emptyfontrecord();
  setfontrecordname(r, "HELV");
  r.weight = 1;
  r.size = 8;
  return r;
}

void colourofnumber(int number, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
  Rgb c = colourof(number);
  red = c.red;
  green = c.green;
  blue = c.blue;
}

std::uint8_t numberofcolour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  for (int i = 0; i < 16; ++i) {
    Rgb p = colourof(i);
    if (p.red == red && p.green == green && p.blue == blue) return static_cast<std::uint8_t>(i);
  }
  for (const ColourNumber& c : kFontColours)
    if (c.colour.r == red && c.colour.g == green && c.colour.b == blue) return c.number;
  return 0;
}

FontSpec recordtofont(bool heights, const fontrecord& r) {
  FontSpec f;
  f.name = fontrecordname(r);
  if (heights)
    f.height = r.size;
  else
    f.pointsize = r.size;
  colourofnumber(r.colour, f.red, f.green, f.blue);
  f.italic = r.italic != 0;
  f.bold = r.weight >= 4;
  f.charset = r.charset;
  f.valid = !f.name.empty();
  return f;
}

fontrecord fonttorecord(bool heights, const FontSpec& font) {
  fontrecord r = emptyfontrecord();
  r.colour = numberofcolour(font.red, font.green, font.blue);
  int size;
  if (heights)
    size = font.height > 0 ? font.height : (font.pointsize > 0 ? pointstopixels(font.pointsize) : 0);
  else
    size = font.pointsize > 0 ? font.pointsize : (font.height > 0 ? pixelstopoints(font.height) : 0);
  if (size > 0xFFFF) size = 0xFFFF;
  r.size = static_cast<std::uint16_t>(size);
  if (size >= 3 && !font.strikeout) setfontrecordname(r, font.name);
  r.italic = font.italic ? 1 : 0;
  r.weight = font.bold ? 4 : 1;
  r.charset = font.charset;
  return r;
}

std::string charsetname(int charset) {
  const char* name = "";
  switch (charset) {
    case 0: name = "ANSI_CHARSET"; break;
    case 1: name = "DEFAULT_CHARSET"; break;
    case 2: name = "SYMBOL_CHARSET"; break;
    case 128: name = "Japanese shift-JIS"; break;
    case 129: name = "Korean(Wansung)"; break;
    case 130: name = "Korean(Johab)"; break;
    case 134: name = "Simplified Chinese"; break;
    case 136: name = "Traditional Chinese"; break;
    default: break;
  }
  return std::to_string(charset) + " " + name;
}

bool choosefont(std::string_view title, fontrecord& record, FontSpec& font, int minsize,
                int maxsize, std::uint8_t charset, bool fixedpitch) {
  std::string caption(title.substr(0, title.size() < 80 ? title.size() : 80));
  FontSpec start = recordtofont(fontheights, record);
  for (;;) {
    std::optional<FontSpec> chosen = fontdialog().choose(caption, start, minsize, maxsize, fixedpitch);
    // OK on the font it opened on takes nothing new: font and record stay
    // as they are, nothing is to be stored.
    if (!chosen || *chosen == start) return false;
    if (charset != 0 && chosen->charset != charset) {
      errormessage("IstCharset:" + charsetname(chosen->charset) + " SollCharset" +
                   charsetname(charset));
      continue;
    }
    font = *chosen;
    record = fonttorecord(fontheights, font);
    return true;
  }
}
