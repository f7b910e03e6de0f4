// A first look at a record's coordinates in the window scans of the
// surrounding searches, without converting them: each tested axis's window
// as a range of order keys (celldb/realvalue.h), two reals wider than the
// window's bounds, so that every record the exact test of the window takes
// lies inside the ranges.  Most records of a scan lie outside and are
// passed over with one jump.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    if constexpr (kPositive) {
#if defined(__SSE2__)
      // Both axes side by side in one register, as positivekeyofbits and
      // RealKeyRange::outside do it one by one.
      const __m128i w = _mm_set_epi64x(static_cast<long long>(latbits), static_cast<long long>(lonbits));
      const __m128i key = _mm_or_si128(_mm_slli_epi64(_mm_and_si128(w, _mm_set1_epi64x(0xFF)), 40),
                                       _mm_and_si128(_mm_srli_epi64(w, 8), _mm_set1_epi64x(0xFFFFFFFFFF)));
      const __m128i d = _mm_sub_epi64(key, _mm_load_si128(reinterpret_cast<const __m128i*>(lo_)));
      const __m128i out = _mm_or_si128(d, _mm_sub_epi64(_mm_load_si128(reinterpret_cast<const __m128i*>(span_)), d));
      return _mm_movemask_pd(_mm_castsi128_pd(out)) == 0;
#else
      return (lon_.outside(positivekeyofbits(lonbits)) | lat_.outside(positivekeyofbits(latbits))) >= 0;
#endif
    } else {
      return (lon_.outside(realkeyofbits(lonbits)) | lat_.outside(realkeyofbits(latbits))) >= 0;
    }
  }

 private:
  RealKeyRange lon_, lat_;
  // The same two ranges as pairs (longitude, latitude) for the vector test.
  alignas(16) std::int64_t lo_[2] = {};
  alignas(16) std::int64_t span_[2] = {};
};
