// Reading an OpenCelliD export (the whole one or a diff) row by row, as
// prepare and update both do: the header row, then every data row
// converted to a tower record or counted with its skip reason.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ingest/csvreader.h"
#include "ingest/inputsource.h"
#include "ingest/prepare.h"
#include "ingest/towerrow.h"

// Reads the first row of the export that `csv` reads from `path` (named in
// messages as the user typed it), locates the columns in it, limits the
// fields split per row to those needed and lets the reader pass over rows
// of other countries.  Returns false with a one-line Windows-1252 message
// in `error` when the input is empty, unreadable or lacks a column.
bool readexportheader(csvreader& csv, const std::string& path, csvcolumns& columns,
                      std::string& error);

// Reads the data rows of `csv` (after readexportheader) to the end.  Every
// German cell is handed to german(rec, inberlinbox); every other row is
// counted in `counts` (rows, othercountry, skipped[reason], typereplaced:
// the fields prepare's and update's counts share), passed-over rows of
// other countries included.  progress (optional) is called every 4 MB of
// CSV.  Returns false with the reader's message in `error` on a read
// error; an IoError thrown by german() passes through.
template <class Counts, class German>
bool readexportrows(csvreader& csv, const inputsource& in, const csvcolumns& columns,
                    const std::function<void(const prepareprogress&)>& progress, Counts& counts,
                    German&& german, std::string& error) {
  constexpr std::uint64_t kProgressEvery = 4 << 20;
  prepareprogress p;
  std::uint64_t nextprogress = kProgressEvery;
  ttowerrec rec;
  bool inberlinbox = false;
  for (;;) {
    csvreader::status st = csv.next();
    if (st == csvreader::kEnd) break;
    if (st == csvreader::kError) {
      error = csv.error();
      return false;
    }
    ++counts.rows;
    const auto& f = csv.fields();
    bool replaced = false;
    rowverdict v = csv.broken() ? kSkipMalformed
                                : convertrow(f.data(), f.size(), columns, rec, inberlinbox, &replaced);
    if (v == kRowOk) {
      if (replaced) ++counts.typereplaced;
      german(rec, inberlinbox);
    } else if (v == kRowOtherCountry) {
      ++counts.othercountry;
    } else {
      ++counts.skipped[v];
    }
    if (progress && csv.csvbytes() >= nextprogress) {
      nextprogress = csv.csvbytes() + kProgressEvery;
      p.rawbytes = in.rawbytes();
      p.filesize = in.filesize();
      p.csvbytes = csv.csvbytes();
      p.rows = counts.rows + csv.passedover();
      progress(p);
    }
  }
  counts.rows += csv.passedover();
  counts.othercountry += csv.passedover();
  return true;
}
