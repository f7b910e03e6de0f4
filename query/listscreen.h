// Painting the result list onto the text grid: the pieces of
// query/listrows.h placed with writeat, the header and criteria bands
// filled with colourblock, the highlighted row in red.  Draws on the text
// grid's current surface; with resultcount 0 the title (count 0), header
// and criteria line without rows.
#pragma once

#include <cstdint>
#include <string>

class Surface;

// Draws the whole screen from list index firstvisible (0 counts as 1) over
// the grid's gridlines rows.  Reads one record per data row and sets
// currentobject to the record drawn highlighted.  Without readerror a
// record that cannot be read throws IoError (nothing is drawn then); with
// it, title, header and criteria line and every readable row are drawn, an
// unreadable row stays empty and *readerror receives the first failure.
// firstrow..lastrow limit the text rows drawn (a paint of part of the
// window); every other row is left as it is on the surface.
void drawlist(std::int32_t firstvisible, std::string* readerror = nullptr, int firstrow = 1,
              int lastrow = 65535);

// The grid metrics of the list for the surface's current font:
// setgridmetrics, then cellwidth widened to the widest character numbers
// are written with (listcolumn::kNumberCharacters), so that at any font a
// column's widest number fits its characters and the blank after it stays
// free.
void setlistmetrics(Surface& surface);

// Pixel width of the widest list line (listcolumn::kLineWidth characters
// from the left margin) with the current grid metrics.
int listpixelwidth();

// Band colours and text colours of the list.
inline constexpr int kHeaderBand = 10;
inline constexpr int kCriteriaBand = 9;
inline constexpr int kHighlightColour = 12;
inline constexpr int kNormalColour = 0;
