// The header row of an OpenCelliD export, shared by prepare and update.
#pragma once

#include <string>

#include "cli/csvreader.h"
#include "cli/towerrow.h"

// Reads the first row of the export that `csv` reads from `path` (named in
// messages as the user typed it), locates the columns in it, limits the
// fields split per row to those needed and lets the reader pass over rows
// of other countries.  Returns false with a one-line Windows-1252 message
// in `error` when the input is empty, unreadable or lacks a column.
bool readexportheader(csvreader& csv, const std::string& path, csvcolumns& columns,
                      std::string& error);
