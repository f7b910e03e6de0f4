// Opening and scanning an arbitrary database file and painting its rows.
// The input's tail is the file; its head gives the criteria, the windows,
// the search centre and the list position.  Properties: the open file
// counts size / 44 records; every search lists at most towercount record
// numbers, each below towercount; the selection equals a plain reference
// filter; small surrounding results come ordered by distance; painting
// draws the title and one row per visible entry.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "celldb/database.h"
#include "fuzz/fuzzfiles.h"
#include "lib/support/recordingsurface.h"
#include "lib/support/textgrid.h"
#include "query/criteria.h"
#include "query/listrows.h"
#include "query/listscreen.h"
#include "query/liststate.h"
#include "query/surrounding.h"

namespace {

template <typename T>
T consume(FuzzedDataProvider& in) {
  T v{};
  std::vector<std::uint8_t> b = in.ConsumeBytes<std::uint8_t>(sizeof v);
  if (!b.empty()) std::memcpy(&v, b.data(), b.size());
  return v;
}

bool outsideref(const real& v, const real& centre, const real& tol) {
  return std::fabs(toext(v) - toext(centre)) > toext(tol);
}

// The filter by its description, one record at a time.
bool passesref(const ttowerrec& r, const ttowerrec& c, const real& tlon, const real& tlat) {
  if (c.typecode != 0 && c.typecode != r.typecode && !(c.typecode == 3 && r.typecode == 0)) return false;
  if (c.netid != 0 && c.netid != r.netid) return false;
  if (c.matchcode != 0 && c.matchcode != r.matchcode) return false;
  // Area and cell id whole: an NR record (code 6, text "NR") has their
  // high bits beyond its type text, the criteria in unit22.
  const bool nr = r.typecode == 6 && r.typetext[0] == 2 && r.typetext[1] == 'N' && r.typetext[2] == 'R';
  const std::uint64_t rarea = r.area | (nr ? std::uint64_t{r.typetext[9]} << 16 : 0);
  const std::uint64_t rcell = static_cast<std::uint32_t>(r.cellid) | (nr ? std::uint64_t{r.typetext[10] & 15u} << 32 : 0);
  const std::uint64_t carea = c.area | std::uint64_t{c.unit22[0]} << 16;
  const std::uint64_t ccell = static_cast<std::uint32_t>(c.cellid) | std::uint64_t{c.unit22[1] & 15u} << 32;
  if (carea != 0 && carea != rarea) return false;
  if (ccell != 0 && ccell != rcell) return false;
  if (toext(c.longitude) != 0 && outsideref(r.longitude, c.longitude, tlon)) return false;
  if (toext(c.latitude) != 0 && outsideref(r.latitude, c.latitude, tlat)) return false;
  return true;
}

void checklist(bool fileorder) {
  FUZZ_CHECK(resultcount >= 0 && resultcount <= towercount);
  for (std::int32_t i = 1; i <= resultcount; ++i) {
    std::int32_t n = resultlist[static_cast<std::size_t>(i)];
    FUZZ_CHECK(n >= 0 && n < towercount);
    if (fileorder && i > 1) FUZZ_CHECK(n > resultlist[static_cast<std::size_t>(i - 1)]);
  }
}

void checkordered(const real& lon, const real& lat) {
  if (resultcount > kMaxSortedResults) return checklist(true);
  checklist(false);
  long double last = -1;
  for (std::int32_t i = 1; i <= resultcount; ++i) {
    ttowerrec r = readtower(resultlist[static_cast<std::size_t>(i)]);
    long double d = roundtoreal(std::fabs(toext(r.longitude) - toext(lon)) +
                                std::fabs(toext(r.latitude) - toext(lat)));
    FUZZ_CHECK(d >= last);
    last = d;
  }
}

void paint(std::int32_t firstvisible, int width, int height) {
  RecordingSurface surface(width, height);
  resetgrid();
  currentsurface = &surface;
  FontSpec font;
  font.name = "Courier New";
  font.pointsize = 10;
  surface.selectfont(font);
  setgridmetrics(surface);
  setgridsize(width, height);
  drawlist(firstvisible);
  currentsurface = nullptr;
  std::int32_t first = firstvisible < 1 ? 1 : firstvisible;
  std::int32_t shown = resultcount >= first ? resultcount - first + 1 : 0;
  std::int32_t rows = gridlines >= 4 ? std::min<std::int32_t>(shown, gridlines - 3) : 0;
  std::size_t texts = surface.texts().size();
  if (gridlines >= 1) FUZZ_CHECK(texts >= 1);
  // Every data row draws its ten columns at least (Dist only after a search).
  FUZZ_CHECK(texts >= static_cast<std::size_t>(rows) * 9);
  for (const auto& t : surface.texts()) FUZZ_CHECK(t.text.size() <= 255);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  ttowerrec crit = consume<ttowerrec>(in);
  real tollon = consume<real>(in), tollat = consume<real>(in);
  real lon = consume<real>(in), lat = consume<real>(in);
  std::int32_t firstvisible = in.ConsumeIntegralInRange<std::int32_t>(-2, 200);
  int width = in.ConsumeIntegralInRange(0, 2000), height = in.ConsumeIntegralInRange(0, 2000);
  selectedline = in.ConsumeIntegralInRange<std::int32_t>(0, 30);
  int n = in.ConsumeIntegralInRange(0, 40);
  std::uint32_t objectpick = in.ConsumeIntegral<std::uint32_t>();
  std::vector<std::uint8_t> file = in.ConsumeRemainingBytes<std::uint8_t>();

  std::string path = fuzzpath("towers.dat");
  writefile(path, file.data(), file.size());
  criteria = ttowerrec{};
  tolerancelon = toreal(0.2L);
  tolerancelat = toreal(0.33L);
  surroundingresult = false;

  OpenResult opened = opendatabase(path);
  FUZZ_CHECK(opened.ok && databaseopen());
  FUZZ_CHECK(opened.total == static_cast<std::int32_t>(file.size() / 44) && towercount == opened.total);
  selectall();
  FUZZ_CHECK(resultcount == towercount);
  checklist(true);
  paint(firstvisible, width, height);

  selectbycriteria(crit, tollon, tollat);
  checklist(true);
  std::int32_t want = 0;
  for (std::int32_t i = 0; i < towercount; ++i)
    if (passesref(readtower(i), crit, tollon, tollat)) {
      ++want;
      FUZZ_CHECK(want <= resultcount && resultlist[static_cast<std::size_t>(want)] == i);
    }
  FUZZ_CHECK(want == resultcount);
  criteria = crit;
  paint(firstvisible, width, height);

  surroundingresult = true;
  nearposition(crit, n, lon, lat);
  checkordered(lon, lat);
  paint(firstvisible, width, height);

  if (towercount > 0) {
    std::int32_t recno = static_cast<std::int32_t>(objectpick % static_cast<std::uint32_t>(towercount));
    nearobject(recno, n);
    ttowerrec centre = readtower(recno);
    checkordered(centre.longitude, centre.latitude);
    paint(firstvisible, width, height);
  }
  closedatabase();
  FUZZ_CHECK(!databaseopen() && towercount == 0 && resultcount == 0);
  return 0;
}
