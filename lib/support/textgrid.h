// The character grid: text drawn at cells of a fixed size onto the
// current Surface, columns and lines counted from 1.  The paint code sets
// `currentsurface`, selects its font, calls setgridmetrics and setgridsize,
// then writes.  Without a current surface every drawing call does nothing.
// The grid state is process-wide and belongs to the user-interface thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/support/surface.h"

// --- grid state (defaults before the first paint) -------------------------
extern std::uint16_t cellwidth;       // 10: pixel width of one column
extern std::uint16_t lineheight;      // 20: pixel height of one line
extern std::uint16_t fontheight;      // 10: absolute pixel height of the font
extern std::uint16_t halffontheight;  // 5
extern std::uint16_t halflineheight;  // 10
extern std::uint16_t gridcolumns;     // 80: columns that fit the window
extern std::uint16_t gridlines;       // 25: text is drawn on lines 1..gridlines
extern std::uint16_t gridleft;        // 0: pixel offset of cell (1, 1)
extern std::uint16_t gridtop;         // 0
extern std::uint16_t textcolour;      // 0: current text colour number
extern std::uint8_t usetextalign;     // 1: centreline uses the device alignment
extern Surface* currentsurface;       // none; not owned

// Six colour-number settings of the dialog library, in their order:
// 15, 0, 15, 12, 12, 4.
extern std::array<std::uint8_t, 6> dialogcolours;

// --- colours ----------------------------------------------------------------
struct Rgbq {
  std::uint8_t red = 0, green = 0, blue = 0, spare = 0;
};
// 41 entries; 0..15 are the palette, the rest black.
extern std::array<Rgbq, 41> colourtable;
// Colours 20..35; black throughout.
extern std::array<Rgbq, 16> secondcolourtable;
// The colour of a colour number: 0..15 the palette, 20..35 the second
// table, other numbers below 41 the colour table, anything else black.
Rgb colourof(int number);

// Restores every value above to its default (program start, tests).
void resetgrid();

// --- metrics ----------------------------------------------------------------
// fontheight = pixelheight (absolute; 10 when 0); cellwidth = round(0.7 *
// fontheight); lineheight = round(1.4 * fontheight), halves to even.
void setgridmetrics(int pixelheight);
// The same from the surface's current font.
void setgridmetrics(const Surface& surface);
// Sets gridcolumns and gridlines from a client size with pixeltocell.
void setgridsize(int clientwidth, int clientheight);

void celltopixel(int column, int line, int& x, int& y);
// column = x div cellwidth + 1; line = y div lineheight + 1.
void pixeltocell(int x, int y, int& column, int& line);

// --- drawing ----------------------------------------------------------------
// Draws text with its top left at the cell when 1 <= line <= gridlines.
void writeat(int column, int line, std::string_view text);
// writeat, then column advances by width (stops at 255).
void writecolumn(std::uint8_t& column, std::uint8_t line, std::string_view text,
                 std::uint8_t width);
// textcolour = number; the surface's font colour follows.
void settextcolour(int number);
// Fills from the top left of the first cell to the bottom right of the
// last cell with the colour, then leaves the brush hollow.
void colourblock(int firstcolumn, int firstline, int lastcolumn, int lastline, int number);
// Draws text horizontally centred with its top at y.
void centreline(int y, std::string_view text);
// horizontal -1 left, 0 centre, 1 right; vertical 1 top, 0 base line,
// -1 bottom; other values leave that direction at left / top.  A refused
// alignment gives the notice "SetTextAlign-Error".
void settextalignment(int horizontal, int vertical);

// The start-screen block: a title shrunk (not below size 10) until it is
// narrower than the screen, three further lines scaled by the same ratio
// and a last line in the font then current, each centred.  y ends below
// the last line drawn.  Sizes are point sizes; colours[0] is the title's,
// colours[1..3] those of the further lines.
void titlescreen(std::string_view face, int starty, int& y, int maxtitlesize,
                 const std::array<int, 3>& sizes, const std::array<int, 4>& colours,
                 std::string_view title, const std::array<std::string, 3>& lines,
                 std::string_view lastline);
