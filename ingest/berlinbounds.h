// The Berlin box: the part of the German cells that goes into
// berlintowers.dat.  This is the one rule for it: a record lies in Berlin
// when its stored coordinates (the 6-byte reals of the file) lie inside
// longitude 13.08..13.77 and latitude 52.33..52.68, bounds included and
// taken as the nearest 6-byte reals.  prepare and update both decide with
// inberlin(record), so a file converted in one go and one brought up to
// date by diffs hold the same Berlin records.
#pragma once

#include <cstdint>

#include "celldb/towerrec.h"

// The bounds in millionths of a degree, for generated coordinates.
inline constexpr std::int64_t kBerlinLonMinMicro = 13'080'000;
inline constexpr std::int64_t kBerlinLonMaxMicro = 13'770'000;
inline constexpr std::int64_t kBerlinLatMinMicro = 52'330'000;
inline constexpr std::int64_t kBerlinLatMaxMicro = 52'680'000;

// The same box for coordinates in millionths of a degree.  A micro-degree
// value and its nearest 6-byte real lie on the same side of every bound
// (reals are far finer than 1e-6), so this agrees with inberlin.
inline bool inberlinmicro(std::int64_t lon, std::int64_t lat) {
  return lon >= kBerlinLonMinMicro && lon <= kBerlinLonMaxMicro && lat >= kBerlinLatMinMicro &&
         lat <= kBerlinLatMaxMicro;
}

// Whether the record's stored longitude and latitude lie in the box.
bool inberlin(const ttowerrec& rec);
