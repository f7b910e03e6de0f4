// The index beside the database gives what the scan gives: random
// databases (repeated keys, 5G cells with wide areas, records on and next
// to window edges, positions of 0 and off the earth, empty files), random
// selections and surrounding searches, each run once through the index
// and once with the index moved away; list, count, Dist and window equal.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "celldb/database.h"
#include "celldb/towerindex.h"
#include "query/criteria.h"
#include "query/surrounding.h"
#include "tests/celldb/towerfiles.h"

namespace {

using towertest::makerec;

struct answer {
  std::vector<std::int32_t> list;
  std::vector<long double> dist;
  long double tolerance = 0;
  indexuse use = indexuse::none;
};

answer capture() {
  answer a;
  for (std::int32_t i = 1; i <= resultcount; ++i) a.list.push_back(resultlist[static_cast<std::size_t>(i)]);
  if (resultcount <= kMaxSortedResults)
    for (std::int32_t i = 1; i <= resultcount; ++i) a.dist.push_back(toext(distlist[static_cast<std::size_t>(i)]));
  a.tolerance = toext(tolerancelon);
  a.use = lastindexuse();
  return a;
}

std::vector<ttowerrec> randomdatabase(std::mt19937& rng, int n) {
  auto pick = [&](int k) { return static_cast<int>(rng() % static_cast<unsigned>(k)); };
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const long double centres[3][2] = {{13.4L, 52.52L}, {6.95L + unit(rng), 50.9L}, {11.5L, 48.1L + unit(rng)}};
  const std::uint16_t areas[] = {0, 1, 2, 0x10, 0xFFFF};
  const std::uint32_t cells[] = {0, 1, 2, 3, 77, 0x80000000u};
  std::vector<ttowerrec> recs;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && pick(20) == 0) {  // a repeat of an earlier record
      recs.push_back(recs[static_cast<std::size_t>(pick(i))]);
      continue;
    }
    const auto& c = centres[pick(3)];
    long double lon = c[0], lat = c[1];
    switch (pick(10)) {
      case 0: {  // on or beside the edge of a window around the centre
        long double t = (pick(2) ? 0.001L : 0.005L) * static_cast<long double>(1 << pick(10));
        lon += (pick(2) ? t : -t) + (pick(3) - 1) * 1e-12L;
        lat += pick(2) ? t : 0.0L;
        break;
      }
      case 1:
        if (pick(2)) lon = 0; else lat = 0;
        break;
      case 2:
        lon = pick(2) ? 500.0L : lon;
        lat = pick(2) ? -100.0L : lat;
        break;
      default: {
        double scale = std::pow(10.0, -3.0 + 3.0 * unit(rng));
        lon += (unit(rng) - 0.5) * scale;
        lat += (unit(rng) - 0.5) * scale;
      }
    }
    int type = pick(8);
    ttowerrec r = makerec(static_cast<std::uint8_t>(type == 7 ? 6 : type), static_cast<std::uint16_t>(pick(4)),
                          areas[pick(5)], static_cast<std::int32_t>(cells[pick(6)] + (pick(3) == 0 ? pick(50) : 0)),
                          lon, lat);
    if (type >= 6) {  // a 5G cell, its wide keys in the type text
      settypetext(r, "NR");
      r.typecode = kTypeNR;
      setwidekeys(r, r.area | static_cast<std::uint32_t>(pick(3)) << 16,
                  static_cast<std::uint32_t>(r.cellid) | std::uint64_t(pick(3)) << 32);
    }
    recs.push_back(r);
  }
  return recs;
}

ttowerrec randomkeys(std::mt19937& rng) {
  auto pick = [&](int k) { return static_cast<int>(rng() % static_cast<unsigned>(k)); };
  const std::uint8_t types[] = {0, 0, 1, 3, 4, 6};
  const std::uint16_t areas[] = {0, 0, 1, 2, 0x10, 0xFFFF};
  const std::uint32_t cells[] = {0, 0, 0, 1, 2, 77, 0x80000000u};
  ttowerrec k{};
  k.typecode = types[pick(6)];
  k.netid = static_cast<std::uint16_t>(pick(4));
  k.area = areas[pick(6)];
  k.cellid = static_cast<std::int32_t>(cells[pick(7)]);
  if (pick(3) == 0)  // wide keys, as the dialog sets them for 5G cells
    setcriteriakeys(k, k.area | static_cast<std::uint32_t>(pick(3)) << 16,
                    static_cast<std::uint32_t>(k.cellid) | std::uint64_t(pick(3)) << 32);
  return k;
}

TEST(IndexParity, RandomDatabasesAndLookups) {
  const std::string db = "germtowers.dat", idx = "germtowers.idx", away = "germtowers.idx.away";
  const int sizes[] = {0, 1, 9, 400, 3000, 9000};
  int usedruns = 0, runs = 0;
  for (int seed = 1; seed <= 12; ++seed) {
    std::mt19937 rng(static_cast<unsigned>(seed));
    const int n = sizes[seed % 6];
    std::vector<ttowerrec> recs = randomdatabase(rng, n);
    towertest::writetowers(db, recs);
    std::string error;
    ASSERT_TRUE(buildtowerindex(db, error)) << error;
    ASSERT_TRUE(opendatabase(db).ok);
    for (int q = 0; q < 30; ++q) {
      const ttowerrec keys = randomkeys(rng);
      const int kind = static_cast<int>(rng() % 3);
      if (kind == 2 && n == 0) continue;
      const auto recno = static_cast<std::int32_t>(n > 0 ? rng() % static_cast<unsigned>(n) : 0);
      real lon = toreal(13.4L), lat = toreal(52.52L);
      if (n > 0 && rng() % 2) {
        lon = recs[static_cast<std::size_t>(recno)].longitude;
        lat = recs[static_cast<std::size_t>(recno)].latitude;
      } else if (rng() % 4 == 0) {
        lon = toreal(4.0L), lat = toreal(55.5L);
      }
      auto run = [&] {
        criteria = keys;
        tolerancelon = toreal(0.2L);
        tolerancelat = toreal(0.33L);
        resultcount = 0;
        noteindexuse(indexuse::none);
        if (kind == 0) selectbycriteria(criteria, tolerancelon, tolerancelat);
        if (kind == 1) nearposition(criteria, kWantedObjects, lon, lat);
        if (kind == 2) nearobject(recno, kWantedObjects);
        return capture();
      };
      answer indexed = run();
      ASSERT_EQ(std::rename(idx.c_str(), away.c_str()), 0);
      answer scanned = run();
      ASSERT_EQ(std::rename(away.c_str(), idx.c_str()), 0);
      const std::string what = "seed " + std::to_string(seed) + " query " + std::to_string(q) + " kind " +
                               std::to_string(kind);
      EXPECT_EQ(scanned.use, kind == 0 && keys.area == 0 && keys.cellid == 0 ? indexuse::none : indexuse::missing)
          << what;
      EXPECT_EQ(indexed.list, scanned.list) << what;
      EXPECT_EQ(indexed.dist, scanned.dist) << what;
      EXPECT_EQ(indexed.tolerance, scanned.tolerance) << what;
      // Small files: every lookup the index can narrow goes through it.
      if (kind != 0 || keys.area != 0 || keys.cellid != 0) {
        EXPECT_EQ(indexed.use, indexuse::used) << what;
        ++usedruns;
      }
      ++runs;
    }
    closedatabase();
  }
  EXPECT_GT(usedruns, runs / 2);
}

}  // namespace
