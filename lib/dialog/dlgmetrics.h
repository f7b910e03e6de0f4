// Character width, line height and row unit of dialogs, from the height of
// the dialog font.  Rounding is to nearest, ties to even.
#pragma once

#include <cstdint>

struct dlgmetrics {
  std::uint16_t cw = 0;    // character width in pixels
  std::uint16_t lh = 0;    // line height (with the extra spacing)
  std::uint16_t rowh = 0;  // row unit: 1 + lh div 2
};

// fontheight: the font's height in pixels (its sign is ignored); 0 means no
// dialog font: cw 8 and an unspaced line of 8.
dlgmetrics computemetrics(int fontheight, int extraspacing);

// Height in pixels of the font dialogs draw in: the dialog font, or the
// default dialog font when there is none (so that rows always hold the
// text that is drawn in them).
int dialogfontheight();

// Metrics for the dialog font with the given extra line spacing (the
// second argument is the unit, always 1).  The results are also kept as
// the library's last metrics.
void setmetrics(int extraspacing, int unit, std::uint16_t& cw, std::uint16_t& rowh, std::uint16_t& lh);

extern std::uint16_t lastmetricscw, lastmetricslh;
