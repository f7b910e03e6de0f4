#include "query/surrounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "celldb/database.h"
#include "celldb/keptrecords.h"
#include "celldb/realvalue.h"
#include "celldb/towerindex.h"
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

// searchwindows through the index: the records of the windows, smallest
// first, are read and judged with the scan's own tests (keys, firstpass)
// until a window holds n; the list is then that of the scan.  Records come
// from the index's key candidates when crit's keys narrow them, else from
// the grid cells each window meets, where an entry is read only when its
// bounded position may lie in the window.  False (and the scan runs) when
// the index can't serve or more records would have to be read than
// indexreadlimit allows.
bool indexedwindows(const ttowerrec& crit, const WindowPlan& plan, int n, int& pass) {
  towerindex index;
  if (!index.open()) {
    noteindexuse(index.state());
    return false;
  }
  const KeyFilter keys(crit);
  const std::size_t limit = indexreadlimit();
  struct hit {
    std::int32_t recno;
    int pass;
    ttowerrec rec;
  };
  std::vector<hit> hits;
  std::array<std::int64_t, kMaxSearchPasses + 1> count{};
  std::size_t reads = 0;
  std::vector<ttowerrec> recs;
  auto judge = [&](std::vector<std::int32_t>& recnos) {
    std::sort(recnos.begin(), recnos.end());
    reads += recnos.size();
    if (reads > limit) return false;
    readcandidates(recnos, recs);
    for (std::size_t i = 0; i < recnos.size(); ++i) {
      if (!keys(recs[i])) continue;
      int k = plan.firstpass(recs[i]);
      if (k == 0) continue;
      ++count[static_cast<std::size_t>(k)];
      hits.push_back({recnos[i], k, recs[i]});
    }
    return true;
  };
  auto giveup = [&](indexuse use) {
    noteindexuse(use);
    return false;
  };
  try {
    std::vector<std::int32_t> recnos;
    if (index.keycandidates(crit, limit, recnos)) {
      if (!judge(recnos)) return giveup(indexuse::none);
      pass = stoppass(count, n);
    } else {
      if (index.state() != indexuse::used) return giveup(index.state());
      if (!index.outliers(recnos)) return giveup(index.state());
      if (!judge(recnos)) return giveup(indexuse::none);
      // The entries of the cells met so far (a rectangle that grows with
      // the windows) not yet read.
      std::vector<towerindex::placed> pending;
      int gx0 = 1, gx1 = 0, gy0 = 1, gy1 = 0;
      constexpr double kMargin = 1e-7;  // degrees, far above the rounding of the bounds
      const double inf = std::numeric_limits<double>::infinity();
      pass = kMaxSearchPasses;
      for (int k = 1; k <= kMaxSearchPasses; ++k) {
        const double t = plan.td[static_cast<std::size_t>(k - 1)] + kMargin;
        int x0, x1, y0, y1;
        index.cellrange(plan.testlon ? plan.lond - t : -inf, plan.testlon ? plan.lond + t : inf,
                        plan.testlat ? plan.latd - t : -inf, plan.testlat ? plan.latd + t : inf, x0, x1, y0, y1);
        if (x0 <= x1) {
          for (int y = y0; y <= y1; ++y) {
            bool ok = true;
            if (gx0 <= gx1 && y >= gy0 && y <= gy1) {  // the row's middle part was met before
              if (x0 < gx0) ok = index.rowentries(y, x0, gx0 - 1, pending);
              if (ok && x1 > gx1) ok = index.rowentries(y, gx1 + 1, x1, pending);
            } else {
              ok = index.rowentries(y, x0, x1, pending);
            }
            if (!ok) return giveup(index.state() == indexuse::used ? indexuse::none : index.state());
            if (pending.size() > 16 * limit) return giveup(indexuse::none);
          }
          gx0 = x0, gx1 = x1, gy0 = y0, gy1 = y1;
        }
        recnos.clear();
        std::size_t kept = 0;
        for (const towerindex::placed& e : pending) {
          bool maybe = (!plan.testlon || (e.lonhi >= plan.lond - t && e.lonlo <= plan.lond + t)) &&
                       (!plan.testlat || (e.lathi >= plan.latd - t && e.latlo <= plan.latd + t));
          if (maybe)
            recnos.push_back(e.recno);
          else
            pending[kept++] = e;
        }
        pending.resize(kept);
        if (!judge(recnos)) return giveup(indexuse::none);
        std::int64_t cum = 0;
        for (int j = 1; j <= k; ++j) cum += count[static_cast<std::size_t>(j)];
        if (std::min<std::int64_t>(cum, kMaxResults) >= n) {
          pass = k;
          break;
        }
      }
    }
  } catch (const IoError&) {
    return giveup(indexuse::none);  // the scan meets the failure and keeps its list
  }
  std::sort(hits.begin(), hits.end(), [](const hit& a, const hit& b) { return a.recno < b.recno; });
  resultcount = 0;
  beginkeeping();
  for (const hit& h : hits) {
    if (h.pass > pass) continue;
    if (resultcount >= kMaxResults) break;
    resultlist[static_cast<std::size_t>(++resultcount)] = h.recno;
    keeprecord(h.recno, h.rec);
  }
  noteindexuse(indexuse::used);
  return true;
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
  if (int pass = 0; indexedwindows(crit, plan, n, pass)) return pass;
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
