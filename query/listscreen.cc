#include "query/listscreen.h"

#include "lib/support/textgrid.h"
#include "query/listrows.h"

void drawlist(std::int32_t firstvisible, std::string* readerror, int firstrow, int lastrow) {
  std::vector<ListLine> lines = buildlistscreen(firstvisible, gridlines, readerror, firstrow, lastrow);
  for (const ListLine& line : lines) {
    if (line.band >= 0) colourblock(1, line.row, gridcolumns, line.row, line.band);
    if (line.highlighted) settextcolour(kHighlightColour);
    for (const RowPiece& piece : line.pieces) writeat(piece.column, line.row, piece.text);
    if (line.highlighted) settextcolour(kNormalColour);
  }
}
