// Conversion of an OpenCelliD cell export (CSV, plain or gzip) into the
// two database files germtowers.dat (every row of mcc 262, in input
// order) and berlintowers.dat (those of them in the Berlin box).
//
// Streams with constant memory.  Both files are written under temporary
// names and renamed over the old ones only after the whole input was read
// without error; on any failure (or when cancelled) the old files stay as
// they were and the temporary files are removed.  An input without a
// single German cell is a failure too: it is not the export it should be,
// and it must not empty a good database.  The run holds the folder's lock
// from start to end (databasepair.h): a second run waits for it; it
// first finishes what a killed run left and removes the temporary files
// of dead runs.  Both files are replaced as one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ingest/towerrow.h"

inline constexpr const char* kGermanFile = "germtowers.dat";
inline constexpr const char* kBerlinFile = "berlintowers.dat";

struct prepareprogress {
  std::uint64_t rawbytes = 0;   // bytes taken from the input file
  std::uint64_t filesize = 0;   // 0 when unknown (a pipe)
  std::uint64_t csvbytes = 0;   // CSV bytes (after gzip)
  std::uint64_t rows = 0;
};

struct preparecounts {
  std::uint64_t rows = 0;            // data rows read (header and blank lines not counted)
  std::uint64_t german = 0;          // records written to germtowers.dat
  std::uint64_t berlin = 0;          // records written to berlintowers.dat
  std::uint64_t othercountry = 0;    // valid rows of other countries, left out
  std::uint64_t typereplaced = 0;    // written cells whose type text had control bytes replaced
  std::uint64_t skipped[kSkipReasons] = {};
  std::uint64_t skippedtotal() const;
};

struct prepareoptions {
  std::string csvpath;               // "-": standard input
  std::string dir = ".";
  // Called every few MB of input (optional).
  std::function<void(const prepareprogress&)> progress;
  // Polled at least every `cancelevery` bytes of input, and while waiting
  // for input or for the folder lock; true stops the run as a failure
  // (optional).
  std::function<bool()> cancelled;
  // Called once when another run holds the folder lock and this one waits
  // for it (optional).
  std::function<void()> waiting;

  // Buffers and limits.  Tests and fuzzing make them small, so that
  // refills, the record limit and the cancel polls come within reach of
  // short inputs.
  std::size_t csvbuffer = 4 << 20;      // CSV read ahead
  std::size_t maxrecord = 1 << 20;      // longest record
  std::size_t inputblock = 1 << 20;     // bytes read from the file (and inflated) at a time
  std::size_t outputbuffer = 1 << 20;   // write buffer of each database file
  std::size_t cancelevery = 256 << 10;  // CSV bytes between cancel polls
  bool gzipthread = true;               // inflate on a thread of its own
};

struct prepareresult {
  bool ok = false;
  std::string error;  // one line, Windows-1252, when !ok
  std::vector<std::string> notes;  // what was put right before the run (databasepair)
  preparecounts counts;
};

prepareresult preparedatabase(const prepareoptions& options);

// Short German description of a skip reason ("net nicht in 0..65535").
std::string skipreasontext(int reason);
