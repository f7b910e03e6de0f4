// A first look at a record's coordinates in the window scans of the
// surrounding searches, without converting them: each tested axis's window
// as a range of order keys (celldb/realvalue.h), two reals wider than the
// window's bounds, so that every record the exact test of the window takes
// lies inside the ranges.  Most records of a scan lie outside and are
// passed over with one jump.
#pragma once

#include <cstdint>
#include <cstring>

#include "celldb/realvalue.h"
#include "celldb/towerrec.h"

class WindowKeys {
 public:
  // The window |coordinate - centre| <= t on the tested axes.  With
  // positive, the cheaper keys of positive reals are used; allowed only
  // when abovezero holds for every tested axis.
  WindowKeys(bool testlon, long double lon, bool testlat, long double lat, long double t, bool positive);

  // Whether the window of an axis around c lies wholly above 0 (then no
  // real of 0 or below can pass its exact test).
  static bool abovezero(long double c, long double t);

  // False when rec lies outside the window (a record inside is always
  // taken; a few outside may be).
  template <bool kPositive>
  [[gnu::always_inline]] bool mayhold(const ttowerrec& rec) const {
    const auto* b = reinterpret_cast<const unsigned char*>(&rec);
    std::uint64_t lonbits, latbits;  // each real's 6 bytes and the 2 after it
    std::memcpy(&lonbits, b + 24, sizeof lonbits);
    std::memcpy(&latbits, b + 30, sizeof latbits);
    if constexpr (kPositive)
      return (lon_.outside(positivekeyofbits(lonbits)) | lat_.outside(positivekeyofbits(latbits))) >= 0;
    else
      return (lon_.outside(realkeyofbits(lonbits)) | lat_.outside(realkeyofbits(latbits))) >= 0;
  }

 private:
  RealKeyRange lon_, lat_;
};
