#include "query/windowkeys.h"

namespace {

// The order keys of the reals nearest c - t and c + t, two reals wider.
RealKeyRange around(long double c, long double t, bool positive) {
  const std::int64_t lo = realkey(toreal(c - t)) - 2, hi = realkey(toreal(c + t)) + 2;
  if (!positive) return RealKeyRange(lo, hi);
  return RealKeyRange(positivekeyoforder(lo), positivekeyoforder(hi));
}

}  // namespace

WindowKeys::WindowKeys(bool testlon, long double lon, bool testlat, long double lat, long double t, bool positive) {
  if (testlon) lon_ = around(lon, t, positive);
  if (testlat) lat_ = around(lat, t, positive);
  lo_[0] = lon_.lo;
  lo_[1] = lat_.lo;
  span_[0] = lon_.span;
  span_[1] = lat_.span;
}

bool WindowKeys::abovezero(long double c, long double t) {
  return realkey(toreal(c - t)) - 2 >= std::int64_t{1} << 39;  // the smallest positive real
}
