// Conversion of an OpenCelliD cell export (CSV, plain or gzip) into the
// two database files germtowers.dat (every row of mcc 262, in input
// order) and berlintowers.dat (those of them in the Berlin box).
//
// Streams with constant memory.  Both files are written under temporary
// names and renamed over the old ones only after the whole input was read
// without error; on any failure (or when cancelled) the old files stay as
// they were and the temporary files are removed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "cli/towerrow.h"

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
  std::uint64_t skipped[kSkipReasons] = {};
  std::uint64_t skippedtotal() const;
};

struct prepareoptions {
  std::string csvpath;               // "-": standard input
  std::string dir = ".";
  // Called every few MB of input (optional).
  std::function<void(const prepareprogress&)> progress;
  // Polled regularly; true stops the run as a failure (optional).
  std::function<bool()> cancelled;
};

struct prepareresult {
  bool ok = false;
  std::string error;  // one line, Windows-1252, when !ok
  preparecounts counts;
};

prepareresult preparedatabase(const prepareoptions& options);

// Short German description of a skip reason ("net nicht in 0..65535").
std::string skipreasontext(int reason);
