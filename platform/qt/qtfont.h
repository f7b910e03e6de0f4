// FontSpec <-> QFont.  The font colour is not part of a QFont: it stays in
// the FontSpec (painters take it from there).
//
// Character set of a font family, from the writing systems the font
// database reports for it, first match wins:
//   Latin                0  ANSI_CHARSET
//   Symbol               2  SYMBOL_CHARSET
//   Japanese           128  shift-JIS
//   Korean             129  Wansung
//   SimplifiedChinese  134
//   TraditionalChinese 136
//   anything else        1  DEFAULT_CHARSET
#pragma once

#include <QFont>
#include <cstdint>

#include "lib/support/fontdesc.h"

// The QFont of a fontspec: family, pixel height (height > 0) or point size
// (pointsize > 0; else the default size), bold, italic, strike-out.  A fontspec
// that is not valid or has no name gives the application's default font.
QFont qfontof(const FontSpec& fontspec);

// The fontspec of a QFont: family (Windows-1252), point size or, for
// pixel-sized fonts, height; bold for weights of DemiBold and above;
// italic; strike-out; charset from the family.  Colour black.
FontSpec fontspecof(const QFont& font);

std::uint8_t charsetoffamily(const QString& family);
