#include "query/criteria.h"

#include <cmath>

#include "celldb/database.h"
#include "celldb/keptrecords.h"
#include "celldb/realvalue.h"
#include "query/indexedlookup.h"

ttowerrec criteria{};
real tolerancelon = toreal(0.2L);
real tolerancelat = toreal(0.33L);

namespace {

// The window test of matchwithin with the centre and tolerances already
// converted (used once per record in a scan).  The difference is taken in
// double first; only when that lands next to the tolerance is it taken
// again in extended precision, which decides.
struct Window {
  bool testlon, testlat;
  long double lon, lat, tollon, tollat;
  double lond, latd, tollond, tollatd;

  Window(const ttowerrec& crit, real tlon, real tlat)
      : testlon(realvalue(crit.longitude) != 0.0L),
        testlat(realvalue(crit.latitude) != 0.0L),
        lon(realvalue(crit.longitude)),
        lat(realvalue(crit.latitude)),
        tollon(realvalue(tlon)),
        tollat(realvalue(tlat)),
        lond(realdouble(crit.longitude)),
        latd(realdouble(crit.latitude)),
        tollond(realdouble(tlon)),
        tollatd(realdouble(tlat)) {}

  static bool outside(const real& v, long double c, double cd, long double t, double td) {
    double d = std::fabs(realdouble(v) - cd);
    if (!nearboundary(d, td)) return d > td;
    return std::fabs(realvalue(v) - c) > t;
  }

  bool holds(const ttowerrec& rec) const {
    if (testlon && outside(rec.longitude, lon, lond, tollon, tollond)) return false;
    if (testlat && outside(rec.latitude, lat, latd, tollat, tollatd)) return false;
    return true;
  }
};

}  // namespace

bool matchwithin(const ttowerrec& rec, const ttowerrec& crit, real tollon, real tollat) {
  return matchkeys(rec, crit) && Window(crit, tollon, tollat).holds(rec);
}

bool criteriaempty(const ttowerrec& crit) {
  return crit.typecode == 0 && crit.matchcode == 0 && crit.netid == 0 && criteriaarea(crit) == 0 &&
         criteriacell(crit) == 0 && toext(crit.longitude) == 0.0L && toext(crit.latitude) == 0.0L;
}

void selectbycriteria(const ttowerrec& crit, real tollon, real tollat) {
  const KeyFilter keys(crit);  // crit may be a record the caller changes
  const Window window(crit, tollon, tollat);
  resultcount = 0;
  beginkeeping();
  auto take = [&](std::int32_t n, const ttowerrec& rec) {
    if (keys(rec) && window.holds(rec)) {
      if (resultcount >= kMaxResults) return false;  // list full: the rest is not stored
      resultlist[static_cast<std::size_t>(++resultcount)] = n;
      keeprecord(n, rec);
    }
    return true;
  };
  // The index names the records that may pass, in file order; the same
  // test takes them.
  std::vector<std::int32_t> recnos;
  std::vector<ttowerrec> recs;
  if (indexedrecords(crit, recnos, recs)) {
    for (std::size_t i = 0; i < recnos.size(); ++i)
      if (!take(recnos[i], recs[i])) break;
    return;
  }
  scantowers(take);
}
