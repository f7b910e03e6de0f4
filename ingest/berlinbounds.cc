#include "ingest/berlinbounds.h"

#include "celldb/realvalue.h"

namespace {

// The bounds as stored reals, held as doubles: a real's value is exact in
// a double, so comparing doubles compares the stored values.
struct bounds {
  double lonmin, lonmax, latmin, latmax;
};

const bounds& box() {
  static const bounds b{realdouble(toreal(13.08L)), realdouble(toreal(13.77L)),
                        realdouble(toreal(52.33L)), realdouble(toreal(52.68L))};
  return b;
}

}  // namespace

bool inberlin(const ttowerrec& rec) {
  const bounds& b = box();
  const double lon = realdouble(rec.longitude), lat = realdouble(rec.latitude);
  return lon >= b.lonmin && lon <= b.lonmax && lat >= b.latmin && lat <= b.latmax;
}
