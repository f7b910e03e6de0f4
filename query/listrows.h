// The texts of the result list screen as plain data: each line is a list
// of pieces, a text to be placed at a 1-based character column.  Texts are
// Windows-1252 and never cut or padded to their column; each column owns
// the characters of its widest value and a blank (query/listcolumns.h).
// The GUI paints the pieces; the command-line tool prints renderline() of
// them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "celldb/towerrec.h"
#include "query/listcolumns.h"

struct RowPiece {
  int column;  // 1-based
  std::string text;
  friend bool operator==(const RowPiece&, const RowPiece&) = default;
};
using RowPieces = std::vector<RowPiece>;

// Row 1: "Turmfinder in Deutschland" (dbfilename "germtowers.dat") or
// "Turmfinder in Berlin", "; Anzahl=" and resultcount grouped to width 4,
// then "/" and towercount likewise when the two differ; at column 2.
RowPieces titlepieces();

// Row 2: the ten column headers "Nr" .. "Dist" at their columns.
RowPieces headerpieces();

// Row 3: "Auswahl:" at column 2 and each set criterion of `criteria` at
// its column; the window sum tolerancelon + tolerancelat in the Dist column
// when surroundingresult.
RowPieces criteriapieces();

// One data row for record rec, shown as list entry listindex with record
// number recno (area and cell id whole: up to 6 and 9 hex digits of an NR
// cell); the distance from the criteria position in the Dist
// column when surroundingresult.
RowPieces rowpieces(const ttowerrec& rec, std::int32_t listindex, std::int32_t recno);

// The criteria in one line: "Turmfinder", then " <typetext>", " Netz:<id>
// <operator>", " Area:<hex>", " Cell:<hex>" (the whole 24/36-bit values),
// " nahe:<lon> <lat>", each only when set; cut to capacity bytes.
std::string selectiontitle(const ttowerrec& crit, std::size_t capacity);

// One text line with every piece written at its column in order (a later
// piece overwrites what an earlier one ran into); trailing blanks removed.
std::string renderline(const RowPieces& pieces);

// One line of the screen as drawn: its text row (1-based), its pieces, the
// band colour number filling the row (10 header, 9 criteria, -1 none) and
// whether it is the highlighted row.
struct ListLine {
  int row;
  RowPieces pieces;
  int band;
  bool highlighted;
};

// The whole screen for a window of `gridlines` text rows: title, header,
// criteria line and one row per list entry from firstvisible (0 counts as
// 1) while rows fit; an empty result gives the three lines alone.  Reads one
// record per data row and sets currentobject to the record of the row drawn
// highlighted (list index selectedline).
// Without readerror a record that cannot be read throws IoError.  With it,
// such a row is an empty line (no pieces) and the other rows are built all
// the same; *readerror receives the text of the first failure (empty when
// every record was read).
// Only the text rows firstrow..lastrow are built (a paint that covers part
// of the window); the records of the other rows are not read.
std::vector<ListLine> buildlistscreen(std::int32_t firstvisible, int gridlines,
                                      std::string* readerror = nullptr, int firstrow = 1,
                                      int lastrow = 65535);
