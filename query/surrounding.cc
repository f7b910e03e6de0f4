#include "query/surrounding.h"

#include <algorithm>
#include <cmath>

#include "celldb/database.h"
#include "celldb/keptrecords.h"
#include "celldb/realvalue.h"
#include "lib/support/ioerror.h"
#include "query/criteria.h"
#include "query/windowkeys.h"

std::array<real, kMaxSortedResults + 1> distlist{};

namespace {

// The windows of one search: pass k (1-based) takes a record when the
// tested axes differ from the centre by at most t[k - 1].  Doubling a
// stored real or an extended value is exact, so t[k] = 2 * t[k - 1] is the
// very value the pass-by-pass search compares with, whether it keeps its
// tolerance as a real or in extended precision.
struct WindowPlan {
  bool testlon = true;
  bool testlat = true;
  long double lon = 0.0L;
  long double lat = 0.0L;
  std::array<long double, kMaxSearchPasses> t{};
  // The same in double, for a first look at every record.
  double lond = 0.0, latd = 0.0;
  std::array<double, kMaxSearchPasses> td{};

  WindowPlan(real centrelon, real centrelat, real start)
      : lon(toext(centrelon)), lat(toext(centrelat)), lond(realdouble(centrelon)), latd(realdouble(centrelat)) {
    t[0] = toext(start);
    for (int k = 1; k < kMaxSearchPasses; ++k) t[k] = t[k - 1] * 2;
    for (int k = 0; k < kMaxSearchPasses; ++k) td[static_cast<std::size_t>(k)] = static_cast<double>(t[static_cast<std::size_t>(k)]);
  }

  // First pass (up to `limit`) whose window takes rec, 0 when none does.
  // A record inside window k is inside every later one, because the
  // windows grow.
  //
  // The distance is taken in double first (a difference of two reals is
  // rounded once there); when it lies next to a window's half-width the
  // extended-precision distance decides, as in the pass-by-pass search.
  [[gnu::always_inline]] int firstpass(const ttowerrec& rec, int limit = kMaxSearchPasses) const {
    const double last = td[static_cast<std::size_t>(limit - 1)];
    double m = 0.0;
    if (testlon) {  // most records are out on this axis already
      m = std::fabs(realdouble(rec.longitude) - lond);
      if (m > last && !nearboundary(m, last)) return 0;
    }
    if (testlat) m = std::max(m, std::fabs(realdouble(rec.latitude) - latd));
    if (m > last && !nearboundary(m, last)) return 0;
    int k = 0;
    while (k < limit && m > td[static_cast<std::size_t>(k)]) ++k;
    bool close = (k < limit && nearboundary(m, td[static_cast<std::size_t>(k)])) ||
                 (k > 0 && nearboundary(m, td[static_cast<std::size_t>(k - 1)]));
    if (!close) return k < limit ? k + 1 : 0;
    return exactpass(rec, limit);
  }

  // The key ranges of pass k's window (positive: see WindowKeys).
  WindowKeys keys(int k, bool positive) const {
    return WindowKeys(testlon, lon, testlat, lat, t[static_cast<std::size_t>(k - 1)], positive);
  }

  // Whether the cheaper keys of positive reals may be used for every
  // window: each tested axis's widest window lies above 0.
  bool positive() const {
    const long double widest = t[kMaxSearchPasses - 1];
    return (!testlon || WindowKeys::abovezero(lon, widest)) && (!testlat || WindowKeys::abovezero(lat, widest));
  }

  int exactpass(const ttowerrec& rec, int limit) const {
    long double m = 0.0L;
    if (testlon) m = std::fabs(realvalue(rec.longitude) - lon);
    if (testlat) m = std::max(m, std::fabs(realvalue(rec.latitude) - lat));
    if (m > t[static_cast<std::size_t>(limit - 1)]) return 0;
    int k = 0;
    while (m > t[static_cast<std::size_t>(k)]) ++k;
    return k + 1;
  }
};

// Visits the records that pass keys and may lie in window (which visit
// may change), in file order.  Without a key field only the window is
// looked at.
template <bool kPositive, typename Visit>
void scanwindow(const KeyFilter& keys, const WindowKeys& window, Visit&& visit) {
  if (keys.takesall())
    scantaking([&](const ttowerrec& rec) { return window.mayhold<kPositive>(rec); }, visit);
  else
    scantaking([&](const ttowerrec& rec) { return keys(rec) && window.mayhold<kPositive>(rec); }, visit);
}

template <typename Visit>
void scanwindow(const KeyFilter& keys, const WindowKeys& window, bool positive, Visit&& visit) {
  if (positive)
    scanwindow<true>(keys, window, visit);
  else
    scanwindow<false>(keys, window, visit);
}

// The pass at which the pass-by-pass search stops: the first whose list
// (capped at kMaxResults) holds at least n, else the last.
int stoppass(const std::array<std::int64_t, kMaxSearchPasses + 1>& count, int n) {
  std::int64_t cum = 0;
  for (int k = 1; k <= kMaxSearchPasses; ++k) {
    cum += count[static_cast<std::size_t>(k)];
    if (std::min<std::int64_t>(cum, kMaxResults) >= n) return k;
  }
  return kMaxSearchPasses;
}

// Runs the windows of plan over the open database in one scan and leaves
// the list of the pass where the pass-by-pass search would stop in
// resultlist.  Returns that pass.
//
// Records are counted and stored with their first pass while that pass
// can still be the stopping one (it only moves down as records come in;
// the counts of later passes never decide it, so they are not kept).  Should the
// stored records fill resultlist even so, a second scan collects the list
// of the final pass instead.
int searchwindows(const ttowerrec& crit, const WindowPlan& plan, int n) {
  const KeyFilter keys(crit);
  std::array<std::int64_t, kMaxSearchPasses + 1> count{};
  int cutoff = kMaxSearchPasses;
  int compactedat = kMaxSearchPasses + 1;
  std::vector<std::uint8_t> passof;  // first pass of resultlist[i + 1]
  std::int32_t stored = 0;
  bool overflow = false;

  auto compact = [&](int upto) {
    std::int32_t kept = 0;
    for (std::int32_t i = 0; i < stored; ++i) {
      if (passof[static_cast<std::size_t>(i)] > upto) continue;
      resultlist[static_cast<std::size_t>(kept) + 1] = resultlist[static_cast<std::size_t>(i) + 1];
      passof[static_cast<std::size_t>(kept)] = passof[static_cast<std::size_t>(i)];
      ++kept;
    }
    stored = kept;
    passof.resize(static_cast<std::size_t>(kept));
  };

  // The key ranges of the window of pass `cutoff`.
  const bool positive = plan.positive();
  WindowKeys window = plan.keys(cutoff, positive);
  int windowof = cutoff;

  resultcount = 0;
  beginkeeping();
  try {
    scanwindow(keys, window, positive, [&](std::int32_t recno, const ttowerrec& rec) {
      int k = plan.firstpass(rec, cutoff);
      if (k == 0) return true;
      ++count[static_cast<std::size_t>(k)];
      cutoff = stoppass(count, n);  // stays >= k
      if (cutoff != windowof) {
        window = plan.keys(cutoff, positive);
        windowof = cutoff;
      }
      if (overflow) return true;
      if (stored == kMaxResults) {
        if (cutoff < compactedat) {
          compact(cutoff);
          compactedat = cutoff;
        }
        if (stored == kMaxResults) {
          overflow = true;
          return true;
        }
      }
      resultlist[static_cast<std::size_t>(++stored)] = recno;
      passof.push_back(static_cast<std::uint8_t>(k));
      keeprecord(recno, rec);
      return true;
    });
  } catch (const IoError&) {
    // The pass-by-pass search fails in its first pass: keep what that
    // pass had found.
    compact(1);
    resultcount = stored;
    throw;
  }

  int pass = stoppass(count, n);
  if (!overflow) {
    compact(pass);
    resultcount = stored;
    return pass;
  }
  resultcount = 0;
  beginkeeping();
  window = plan.keys(pass, positive);
  scanwindow(keys, window, positive, [&](std::int32_t recno, const ttowerrec& rec) {
    if (plan.firstpass(rec, pass) == 0) return true;
    if (resultcount >= kMaxResults) return false;
    resultlist[static_cast<std::size_t>(++resultcount)] = recno;
    keeprecord(recno, rec);
    return true;
  });
  return pass;
}

}  // namespace

void selectaround(const ttowerrec& keys, real longitude, real latitude, real tollon, real tollat) {
  const KeyFilter k(keys);
  // Each axis its own one-window plan; both axes are always tested.
  WindowPlan onlon(longitude, latitude, tollon), onlat(longitude, latitude, tollat);
  onlon.testlat = false;
  onlat.testlon = false;
  resultcount = 0;
  scantowers([&](std::int32_t recno, const ttowerrec& rec) {
    if (!k(rec)) return true;
    if (onlon.firstpass(rec, 1) == 0 || onlat.firstpass(rec, 1) == 0) return true;
    if (resultcount >= kMaxResults) return false;
    resultlist[static_cast<std::size_t>(++resultcount)] = recno;
    return true;
  });
}

void nearposition(const ttowerrec& crit, int n, real longitude, real latitude) {
  ttowerrec keys = crit;
  keys.longitude = longitude;
  keys.latitude = latitude;
  criteria.longitude = longitude;
  criteria.latitude = latitude;
  WindowPlan plan(longitude, latitude, toreal(0.005L));
  searchwindows(keys, plan, n);
  orderbydistance(longitude, latitude);
}

void nearobject(std::int32_t recno, int n) {
  ttowerrec centre = readtower(recno);
  criteria.longitude = centre.longitude;
  criteria.latitude = centre.latitude;
  tolerancelon = toreal(0.001L);
  tolerancelat = toreal(0.001L);
  WindowPlan plan(centre.longitude, centre.latitude, tolerancelon);
  plan.testlon = toext(centre.longitude) != 0.0L;
  plan.testlat = toext(centre.latitude) != 0.0L;
  int pass = searchwindows(criteria, plan, n);
  // The window of the last pass tried (not doubled once more after it).
  tolerancelon = toreal(plan.t[static_cast<std::size_t>(pass - 1)]);
  tolerancelat = tolerancelon;
  orderbydistance(centre.longitude, centre.latitude);
}

void orderbydistance(real longitude, real latitude) {
  if (resultcount > kMaxSortedResults) return;
  const long double lon = toext(longitude), lat = toext(latitude);
  std::array<std::int32_t, kMaxSortedResults + 1> kept{};
  for (std::int32_t i = 1; i <= resultcount; ++i) {
    auto idx = static_cast<std::size_t>(i);
    ttowerrec rec = readtower(resultlist[idx]);
    distlist[idx] = toreal(std::fabs(toext(rec.longitude) - lon) + std::fabs(toext(rec.latitude) - lat));
    kept[idx] = resultlist[idx];
  }
  if (resultcount < 1) return;
  std::vector<std::uint16_t> p = sortbykey(1, resultcount, distlist.data());
  for (std::int32_t i = 1; i <= resultcount; ++i)
    resultlist[static_cast<std::size_t>(i)] = kept[p[static_cast<std::size_t>(i)]];
}

std::vector<std::uint16_t> sortbykey(int first, int last, const real* keys) {
  std::vector<std::uint16_t> p(static_cast<std::size_t>(std::max(last + 1, 0)), 0);
  for (int i = first; i <= last; ++i) p[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
  for (int i = first; i <= last; ++i) {
    int m = i;
    for (int j = i + 1; j <= last; ++j)
      if (toext(keys[p[static_cast<std::size_t>(j)]]) < toext(keys[p[static_cast<std::size_t>(m)]])) m = j;
    if (m != i) std::swap(p[static_cast<std::size_t>(i)], p[static_cast<std::size_t>(m)]);
  }
  return p;
}
