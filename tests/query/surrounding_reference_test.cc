// The one-scan surrounding searches against the straightforward search
// that reads the file once per window, on many random files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "query/criteria.h"
#include "query/surrounding.h"
#include "tests/celldb/towerfiles.h"

using namespace towertest;

namespace {

// One window pass, a record at a time by number.
void referencepass(const ttowerrec& keys, real lon, real lat, real tollon, real tollat, bool testlon,
                   bool testlat) {
  resultcount = 0;
  for (std::int32_t n = 0; n < towercount; ++n) {
    ttowerrec rec = readtower(n);
    if (!matchkeys(rec, keys)) continue;
    if (testlon && std::fabs(toext(rec.longitude) - toext(lon)) > toext(tollon)) continue;
    if (testlat && std::fabs(toext(rec.latitude) - toext(lat)) > toext(tollat)) continue;
    if (resultcount < kMaxResults) resultlist[static_cast<std::size_t>(++resultcount)] = n;
  }
}

void referencenearposition(const ttowerrec& crit, int n, real lon, real lat) {
  ttowerrec copy = crit;
  copy.longitude = lon;
  copy.latitude = lat;
  criteria.longitude = lon;
  criteria.latitude = lat;
  real t = toreal(0.005L);
  int pass = 0;
  do {
    ++pass;
    referencepass(copy, lon, lat, t, t, true, true);
    if (resultcount < n) t = toreal(toext(t) * 2);
  } while (!(resultcount >= n || pass == 10));
  orderbydistance(lon, lat);
}

void referencenearobject(std::int32_t recno, int n) {
  ttowerrec centre = readtower(recno);
  criteria.longitude = centre.longitude;
  criteria.latitude = centre.latitude;
  tolerancelon = toreal(0.001L);
  tolerancelat = toreal(0.001L);
  int pass = 0;
  do {
    ++pass;
    referencepass(criteria, criteria.longitude, criteria.latitude, tolerancelon, tolerancelat,
                  toext(criteria.longitude) != 0, toext(criteria.latitude) != 0);
    if (resultcount < n && pass < 10) {
      tolerancelon = toreal(toext(tolerancelon) * 2);
      tolerancelat = toreal(toext(tolerancelat) * 2);
    }
  } while (!(resultcount >= n || pass == 10));
  orderbydistance(centre.longitude, centre.latitude);
}

struct Outcome {
  std::vector<std::int32_t> list;
  std::vector<real> dist;
  real tollon, tollat;
  ttowerrec crit;
  bool failed = false;
};

Outcome outcome(bool failed) {
  Outcome o;
  o.list.assign(resultlist.begin() + 1, resultlist.begin() + 1 + resultcount);
  if (resultcount <= kMaxSortedResults) o.dist.assign(distlist.begin() + 1, distlist.begin() + 1 + resultcount);
  o.tollon = tolerancelon;
  o.tollat = tolerancelat;
  o.crit = criteria;
  o.failed = failed;
  return o;
}

void expectsame(const Outcome& fast, const Outcome& slow, int trial) {
  EXPECT_EQ(fast.failed, slow.failed) << "trial " << trial;
  EXPECT_EQ(fast.list, slow.list) << "trial " << trial;
  EXPECT_TRUE(fast.dist == slow.dist) << "trial " << trial;
  EXPECT_EQ(fast.tollon, slow.tollon) << "trial " << trial;
  EXPECT_EQ(fast.tollat, slow.tollat) << "trial " << trial;
  EXPECT_EQ(0, std::memcmp(&fast.crit, &slow.crit, sizeof(ttowerrec))) << "trial " << trial;
}

// A random file around a centre: records at random distances, at exactly
// the window half-widths and one unit of the last place beyond, with
// shared positions, centre coordinates of 0 and random key fields.  Some
// centres put a power of two inside the windows (4.0) or a window's lower
// edge exactly on 0 (64 times the first half-width); some zeros carry
// noise in their other bytes (exponent 0 means 0 whatever they hold).
struct RandomFile {
  std::vector<ttowerrec> recs;
  real lon, lat;
};

RandomFile randomfile(std::mt19937& rng) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const long double centres[] = {0.0L, 13.404954L, 8.5L, -3.7L, 52.520008L, 0.0L, 4.0L,
                                 toext(toreal(0.005L)) * 64};
  RandomFile f;
  long double clon = centres[pick(8)], clat = centres[pick(8)];
  f.lon = toreal(clon);
  f.lat = toreal(clat);
  int count = pick(6) == 0 ? pick(5) : pick(400);
  if (pick(8) == 0) count = 150 + pick(100);
  for (int i = 0; i < count; ++i) {
    std::uint8_t type = static_cast<std::uint8_t>(pick(6));
    ttowerrec r = makerec(type, static_cast<std::uint16_t>(pick(4)), static_cast<std::uint16_t>(1 + pick(2)),
                          pick(3), 0, 0);
    auto coord = [&](long double c, long double base) {
      int mode = pick(5);
      long double t = base * std::ldexp(1.0L, pick(11));
      long double sign = pick(2) ? 1.0L : -1.0L;
      real v;
      if (mode == 0) v = toreal(toext(toreal(c)) + sign * toext(toreal(t)));
      else if (mode == 1) v = toreal(c + sign * t * (rng() % 1000) / 999.0L);
      else if (mode == 2) v = toreal(c);
      else if (mode == 3) v = toreal(toext(toreal(base)) * std::ldexp(1.0L, pick(11)) * sign);  // around 0
      else v = toreal(c + sign * (rng() % 100000) / 1000.0L);
      if (pick(4) == 0 && v.bytes[0] != 0) v.bytes[1] ^= 1;  // one unit of the last place off
      if (pick(12) == 0) v.bytes = {0, static_cast<std::uint8_t>(rng()), 0xFF, 0x12, 0x34, static_cast<std::uint8_t>(rng())};
      return v;
    };
    long double base = pick(2) ? 0.005L : 0.001L;
    r.longitude = coord(clon, base);
    r.latitude = coord(clat, base);
    if (pick(10) == 0 && i > 0) r = f.recs[static_cast<std::size_t>(pick(i))];  // shared position
    f.recs.push_back(r);
  }
  return f;
}

ttowerrec randomkeys(std::mt19937& rng) {
  ttowerrec c{};
  switch (rng() % 5) {
    case 0: c.typecode = 3; break;
    case 1: c.netid = static_cast<std::uint16_t>(1 + rng() % 3); break;
    case 2: c.typecode = static_cast<std::uint8_t>(rng() % 6); c.area = 1; break;
    default: break;
  }
  return c;
}

int randomwanted(std::mt19937& rng) {
  const int wanted[] = {1, 3, 20, 20, 20, 150};
  return wanted[rng() % 6];
}

template <typename Search>
bool run(Search search) {
  try {
    search();
  } catch (const IoError&) {
    return true;
  }
  return false;
}

TEST(SurroundingReference, PositionSearchGivesTheListsOfThePassByPassSearch) {
  std::mt19937 rng(20240611);
  for (int trial = 0; trial < 400; ++trial) {
    RandomFile f = randomfile(rng);
    ttowerrec keys = randomkeys(rng);
    int wanted = randomwanted(rng);
    tolerancelon = toreal(0.2L);
    tolerancelat = toreal(0.33L);

    openmemory(f.recs);
    criteria = ttowerrec{};
    bool failed = run([&] { nearposition(keys, wanted, f.lon, f.lat); });
    Outcome fast = outcome(failed);

    criteria = ttowerrec{};
    failed = run([&] { referencenearposition(keys, wanted, f.lon, f.lat); });
    expectsame(fast, outcome(failed), trial);
    if (::testing::Test::HasFailure()) break;
  }
  closedatabase();
}

TEST(SurroundingReference, ObjectSearchGivesTheListsOfThePassByPassSearch) {
  std::mt19937 rng(77);
  for (int trial = 0; trial < 400; ++trial) {
    RandomFile f = randomfile(rng);
    if (f.recs.empty()) continue;
    ttowerrec keys = randomkeys(rng);
    int wanted = randomwanted(rng);
    auto recno = static_cast<std::int32_t>(rng() % f.recs.size());

    openmemory(f.recs);
    criteria = keys;
    bool failed = run([&] { nearobject(recno, wanted); });
    Outcome fast = outcome(failed);

    criteria = keys;
    tolerancelon = toreal(5.0L);
    failed = run([&] { referencenearobject(recno, wanted); });
    expectsame(fast, outcome(failed), trial);
    if (::testing::Test::HasFailure()) break;
  }
  closedatabase();
}

TEST(SurroundingReference, FileShrunkDuringTheSearchEndsLikeThePassByPassSearch) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 60; ++trial) {
    RandomFile f = randomfile(rng);
    if (f.recs.size() < 10) continue;
    std::size_t keep = f.recs.size() / 2;

    auto state = openmemory(f.recs);
    towercount = static_cast<std::int32_t>(f.recs.size());
    state->bytes.resize(keep * 44 + 11);
    criteria = ttowerrec{};
    bool failed = run([&] { nearposition(criteria, 20, f.lon, f.lat); });
    Outcome fast = outcome(failed);

    criteria = ttowerrec{};
    failed = run([&] { referencenearposition(criteria, 20, f.lon, f.lat); });
    Outcome slow = outcome(failed);
    EXPECT_TRUE(fast.failed);
    expectsame(fast, slow, trial);
  }
  closedatabase();
}

}  // namespace
