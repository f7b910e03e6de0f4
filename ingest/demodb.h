// A deterministic demo database that looks like the real one: cells
// clustered around German city centres, the usual net ids (1 to 3, a few
// others), every type code 0..5, a few 5G (NR) cells with their 24-bit
// areas and 36-bit cell ids and a few undefined codes, plausible areas,
// cell ids and ranges.  The same count always gives the same bytes, on
// every platform (own generator, integer arithmetic only).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "celldb/towerrec.h"
#include "lib/support/folderlock.h"

// Generates count records in order; berlin tells whether the record lies in
// the Berlin box (decided on its coordinates in millionths of a degree,
// from which the stored reals are rounded).
void generatedemotowers(std::uint64_t count,
                        const std::function<void(const ttowerrec& rec, bool berlin)>& sink);

struct demoresult {
  bool ok = false;
  std::string error;  // Windows-1252, when !ok
  std::vector<std::string> notes;  // what was put right before the run (databasepair)
  std::uint64_t german = 0, berlin = 0;
  bool kept = false;  // keepexisting and a germtowers.dat was there: nothing written
};

// Writes germtowers.dat (count records) and berlintowers.dat (its Berlin
// part) into dir and replaces both as one when complete, holding the
// folder lock (waiting for another run as `how` says; how.cancelled is
// also polled while the records are made).  With keepexisting, a
// germtowers.dat that is there once the lock is held (another run made it
// while this one waited) is kept: nothing is written, ok and kept are set.
demoresult writedemodatabase(const std::string& dir, std::uint64_t count, const lockwaiting& how = {},
                             bool keepexisting = false);

inline constexpr std::uint64_t kDemoDefaultCount = 200'000;

// Whether records[0..n) are the first n records of a demo germtowers.dat
// (berlin false) or berlintowers.dat (berlin true), of any count: what
// tells a demo database from real data.  n counts up to 8; false for 0.
bool demodatabasestart(const ttowerrec* records, std::size_t n, bool berlin);
