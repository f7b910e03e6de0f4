#include "query/listscreen.h"

#include <algorithm>

#include "lib/support/textgrid.h"
#include "query/listrows.h"

void setlistmetrics(Surface& surface) {
  setgridmetrics(surface);
  int widest = cellwidth;
  for (char c : listcolumn::kNumberCharacters)
    widest = std::max(widest, surface.textextent(std::string(1, c)).width);
  cellwidth = static_cast<std::uint16_t>(std::min(widest, 65535));
}

int listpixelwidth() { return static_cast<int>(gridleft) + listcolumn::kLineWidth * cellwidth; }

void drawlist(std::int32_t firstvisible, std::string* readerror, int firstrow, int lastrow) {
  std::vector<ListLine> lines = buildlistscreen(firstvisible, gridlines, readerror, firstrow, lastrow);
  for (const ListLine& line : lines) {
    // A band spans the window and, scrolled sideways, the whole line.
    if (line.band >= 0)
      colourblock(1, line.row, std::max<int>(gridcolumns, listcolumn::kLineWidth), line.row, line.band);
    if (line.highlighted) settextcolour(kHighlightColour);
    for (const RowPiece& piece : line.pieces) writeat(piece.column, line.row, piece.text);
    if (line.highlighted) settextcolour(kNormalColour);
  }
}
