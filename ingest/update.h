// Bringing a prepared database up to date with an OpenCelliD diff (the
// daily export: the same columns as the whole export, CSV or gzip).
//
// A cell is known when germtowers.dat holds a record with the same radio
// (type code and type text), net, area and cell id (an NR cell's whole
// 24-bit area and 36-bit cell id; a record of a file prepared before NR
// had its own type code, code 3 with the text "NR", is the same cell as
// an NR row).  A known cell gets the
// row's record (position, range and the converter's other fields) in
// place, so its record number never changes (should the file hold a cell
// twice, both records get it); a new German cell is appended.  Rows of other countries and bad rows are counted and left
// out exactly as prepare does; when one cell has several rows in the diff,
// the last one wins (the cell keeps the place of its first row).
// berlintowers.dat is then rewritten as the records of the new
// germtowers.dat that lie in the Berlin box (inberlin), in file order.
// The run holds the folder's lock from start to end (databasepair.h): a
// second run waits for it, so two updates never lose each other's cells;
// it first finishes what a killed run left and removes the temporary files
// of dead runs.  An empty germtowers.dat, or one that is no regular file
// (a folder, a FIFO) or a link, is refused with a message naming what it
// is; nothing is written then.
//
// Cost: the diff is read once and its cells indexed in memory; the
// database is read once, block by block, and written once.  Both files are
// written under temporary names and replaced only after the whole diff
// was read and applied; on any failure or cancellation both stay byte for
// byte as they were and no temporary file is left.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ingest/prepare.h"
#include "ingest/towerrow.h"

struct updatecounts {
  std::uint64_t rows = 0;          // data rows of the diff
  std::uint64_t updated = 0;       // known cells whose record changed
  std::uint64_t unchanged = 0;     // known cells whose record stayed byte for byte
  std::uint64_t added = 0;         // new cells appended
  std::uint64_t superseded = 0;    // German rows of a cell that has a later row in the diff
  std::uint64_t othercountry = 0;  // valid rows of other countries
  std::uint64_t typereplaced = 0;  // German rows whose radio name had control bytes (stored as ?)
  std::uint64_t skipped[kSkipReasons] = {};
  std::uint64_t before = 0;        // records of germtowers.dat before the update
  std::uint64_t german = 0;        // records of germtowers.dat after it
  std::uint64_t berlin = 0;        // records of berlintowers.dat after it
  std::uint64_t skippedtotal() const;
};

struct updateoptions {
  std::string diffpath;  // "-": standard input
  std::string dir = ".";
  // Called every few MB of diff input (optional).
  std::function<void(const prepareprogress&)> progress;
  // Polled at least every 256 KB of diff, while waiting for input or for
  // the folder lock and once per block of the database; true stops the
  // run as a failure (optional).
  std::function<bool()> cancelled;
  // Called once when another run holds the folder lock and this one waits
  // for it (optional).
  std::function<void()> waiting;
};

struct updateresult {
  bool ok = false;
  bool nodatabase = false;  // germtowers.dat missing in dir (nothing was done)
  std::string error;        // one line, Windows-1252, when !ok
  std::vector<std::string> notes;  // what was put right before the run (databasepair)
  updatecounts counts;
};

updateresult updatedatabase(const updateoptions& options);
