// The 47-byte font record: the unit in which fonts are stored (fontpar.dat)
// and handed around, its conversion to and from a FontSpec, character-set
// names, font colour numbers and the font choice.
//
// Layout (little-endian, all bytes 0 before it is filled):
//   offset size
//    0     38  name: length byte + up to 37 bytes (Windows-1252); empty
//              means no usable font
//   38      1  charset: Windows character-set number
//   39      2  weight: 4 bold, 1 normal
//   41      2  size: points, or pixels of character height when the caller
//              works in heights (fontheights)
//   43      1  italic: 1 yes, 0 no
//   44      2  angle: signed; 0 except where the application uses it
//   46      1  colour: colour number (palette below)
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/support/fontdesc.h"

#pragma pack(push, 1)
struct fontrecord {
  std::uint8_t name[38];
  std::uint8_t charset;
  std::uint16_t weight;
  std::uint16_t size;
  std::uint8_t italic;
  std::int16_t angle;
  std::uint8_t colour;
};
#pragma pack(pop)

static_assert(sizeof(fontrecord) == 47, "font record must be 47 bytes");
static_assert(offsetof(fontrecord, charset) == 38);
static_assert(offsetof(fontrecord, weight) == 39);
static_assert(offsetof(fontrecord, size) == 41);
static_assert(offsetof(fontrecord, italic) == 43);
static_assert(offsetof(fontrecord, angle) == 44);
static_assert(offsetof(fontrecord, colour) == 46);
static_assert(std::endian::native == std::endian::little,
              "records are read by copying bytes; a big-endian port must swap");

inline constexpr std::size_t kFontNameMax = 37;

// The name (length byte clamped to 37).
std::string fontrecordname(const fontrecord& r);
// Sets the name, cut to 37 bytes; unused name bytes become 0.
void setfontrecordname(fontrecord& r, std::string_view name);

// A record with every byte 0.
fontrecord emptyfontrecord();
// The library's default record: "HELV", weight 1, size 8.
fontrecord standardfontrecord();

// Process-wide: sizes in records are character heights in pixels (true)
// or points (false, the default).
extern bool fontheights;

// Colour numbers.  Number to colour is the text grid's colourof
// (lib/support/textgrid.h), whose palette is
// (0: 10,10,10  1: 0,0,128  2: 0,128,0  3: 0,128,128  4: 128,0,0
// 5: 128,0,128  6: 128,128,0  7: 192,192,192  8: 32,32,32
// 9: 166,202,240  10: 192,220,192  11: 0,192,192  12: 255,0,0
// 13: 255,0,255  14: 255,255,0  15: 255,255,255; any other number black).
void colourofnumber(int number, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);
// Colour to number: a palette colour gives its own number, so a record's
// colour survives record -> font -> record unchanged.  The other colours of
// the font colour table give 0,0,0 -> 0; 128,128,128 -> 8; 0,0,255 -> 9;
// 0,255,0 -> 10; any other colour gives 0.
std::uint8_t numberofcolour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// The font a record describes: height (heights) or point size from the
// size field, colour from the colour number, name, italic when the italic
// byte is set, bold when the weight is 4 or more, the record's charset.
// An empty name gives a font marked not valid.
FontSpec recordtofont(bool heights, const fontrecord& r);

// The record of a font: colour number, size from the height or point size
// (the measure not given is converted at 96 pixels per inch), name cut to
// 37 bytes (emptied when the size is below 3 or the font is struck out),
// italic 1/0, weight 4 bold else 1, charset; every other byte 0.
fontrecord fonttorecord(bool heights, const FontSpec& font);

// "<number> <name>" for the known Windows character sets (0 ANSI_CHARSET,
// 1 DEFAULT_CHARSET, 2 SYMBOL_CHARSET, 128 Japanese shift-JIS,
// 129 Korean(Wansung), 130 Korean(Johab), 134 Simplified Chinese,
// 136 Traditional Chinese); "<number> " for any other.
std::string charsetname(int charset);

// Runs the font choice on the installed font dialog (platform/fontdialog.h):
// starts from recordtofont(fontheights, record), title cut to 80 bytes.
// When `charset` is not 0 and the chosen font has another character set,
// errormessage "IstCharset:<chosen> SollCharset<demanded>" is shown and the
// dialog opens again.  On a taken font, `font` becomes it and `record`
// fonttorecord(fontheights, font); returns true.  Cancel, and OK on the
// start font unchanged, return false and change neither.
bool choosefont(std::string_view title, fontrecord& record, FontSpec& font, int minsize,
                int maxsize, std::uint8_t charset, bool fixedpitch);
