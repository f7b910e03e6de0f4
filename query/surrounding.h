// The surrounding searches: the objects around a position or around one
// record, found by growing a rectangular window until it holds at least n
// objects (at most 10 windows, each twice the one before), then ordered by
// distance |dlongitude| + |dlatitude| (degrees) when there are at most 100.
//
// The result is exactly that of trying the windows one after the other,
// one pass over the file each, but the file is read once: each record that
// passes the key fields is noted with the first window that takes it.
// All searches throw IoError on a read failure; the list then keeps the
// records of the first window found before the failure.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "celldb/towerrec.h"
#include "lib/support/real48.h"

inline constexpr int kMaxSearchPasses = 10;
inline constexpr int kMaxSortedResults = 100;
inline constexpr int kWantedObjects = 20;  // n of both commands

// Distance keys of a sorted result, indexed like resultlist (1..100),
// stored as reals.  Not reordered by the sort.
extern std::array<real, kMaxSortedResults + 1> distlist;

// Position search with the key fields of crit around (longitude, latitude):
// first window +-0.005 on both axes, both axes always tested.  Records the
// centre in the global criteria's longitude/latitude, so the distance
// column and the title refer to it; tolerancelon/tolerancelat stay as
// they are.
void nearposition(const ttowerrec& crit, int n, real longitude, real latitude);

// Object search around record recno (read first; IoError when it cannot
// be): criteria's longitude/latitude := the record's, then windows from
// tolerancelon = tolerancelat = 0.001 with the test of matchwithin (an
// axis whose centre is exactly 0 is not tested).  Leaves the window of the
// last pass in tolerancelon/tolerancelat.
void nearobject(std::int32_t recno, int n);

// One pass: resultlist := records passing matchkeys(keys) with
// |dlon| <= tollon and |dlat| <= tollat (both axes always tested), file
// order, at most kMaxResults.
void selectaround(const ttowerrec& keys, real longitude, real latitude, real tollon, real tollat);

// Orders resultlist[1..resultcount] by distance from the centre when
// resultcount <= 100 (filling distlist); larger lists stay in file order.
void orderbydistance(real longitude, real latitude);

// Selection sort over a permutation: p[i] = i for first..last, then for
// each i the position m of the smallest key from i on (strictly less, so
// the first met wins) is exchanged into place.  Returns p, indexed
// first..last (size last + 1; entries below first unused).
std::vector<std::uint16_t> sortbykey(int first, int last, const real* keys);
