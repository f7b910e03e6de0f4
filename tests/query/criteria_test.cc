// The key-field filter, the position window and the selection pass.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "query/criteria.h"
#include "tests/celldb/towerfiles.h"
#include "tests/query/selectionfixture.h"

using namespace towertest;

namespace {

std::vector<std::int32_t> listed() {
  return std::vector<std::int32_t>(resultlist.begin() + 1, resultlist.begin() + 1 + resultcount);
}

ttowerrec keys(std::uint8_t type, std::uint16_t net = 0, std::uint16_t area = 0, std::int32_t cell = 0) {
  ttowerrec c{};
  c.typecode = type;
  c.netid = net;
  c.area = area;
  c.cellid = cell;
  return c;
}

class SelectionTest : public SelectionFixture {};

// --- key fields ---------------------------------------------------------------

TEST(MatchKeys, UnknownTypeAlsoTakesRecordsCodedZero) {
  ttowerrec c = keys(3);
  EXPECT_TRUE(matchkeys(makerec(3, 1, 1, 1, 10, 50), c));
  EXPECT_TRUE(matchkeys(makerec(0, 1, 1, 1, 10, 50), c));
  EXPECT_FALSE(matchkeys(makerec(1, 1, 1, 1, 10, 50), c));
}

TEST(MatchKeys, OtherTypesTakeOnlyTheirOwnCode) {
  EXPECT_FALSE(matchkeys(makerec(0, 1, 1, 1, 10, 50), keys(1)));
  EXPECT_FALSE(matchkeys(makerec(3, 1, 1, 1, 10, 50), keys(4)));
  EXPECT_TRUE(matchkeys(makerec(4, 1, 1, 1, 10, 50), keys(4)));
}

TEST(MatchKeys, AllTypesWithNetIdTakesEveryTypeOfThatNet) {
  ttowerrec c = keys(0, 2);
  for (std::uint8_t t : {0, 1, 2, 3, 4, 5, 7}) EXPECT_TRUE(matchkeys(makerec(t, 2, 1, 1, 10, 50), c));
  EXPECT_FALSE(matchkeys(makerec(2, 3, 1, 1, 10, 50), c));
}

TEST(MatchKeys, EachSetFieldMustBeEqual) {
  ttowerrec rec = makerec(2, 2, 0x5A, -77, 10, 50);
  rec.matchcode = 9;
  EXPECT_TRUE(matchkeys(rec, keys(2, 2, 0x5A, -77)));
  EXPECT_FALSE(matchkeys(rec, keys(2, 2, 0x5B, -77)));
  EXPECT_FALSE(matchkeys(rec, keys(2, 2, 0x5A, 77)));
  ttowerrec c{};
  c.matchcode = 8;
  EXPECT_FALSE(matchkeys(rec, c));
  c.matchcode = 9;
  EXPECT_TRUE(matchkeys(rec, c));
}

// --- position window -----------------------------------------------------------

// The scans compare the key fields as masked words: every combination of
// set, equal and different fields (one byte of a field differing, the
// type rule of "Unbekannt", a negative cell id, the bytes around the keys
// holding anything, NR records with and without high area and cell bits,
// criteria wanting high bits) must give what matchkeys gives.
TEST(KeyFilter, AgreesWithMatchKeysOnEveryCombination) {
  const std::uint8_t types[] = {0, 1, 3, 4, kTypeNR, 7, 255};
  const std::uint16_t words[] = {0, 1, 0x100, 0xFFFF};
  const std::int32_t cells[] = {0, 1, -1, 0x10000, INT32_MIN};
  const std::uint8_t highs[] = {0, 0x01, 0x0F};
  std::vector<ttowerrec> recs;
  for (std::uint8_t t : types)
    for (std::uint16_t w : words)
      for (std::int32_t c : cells)
        for (std::uint8_t h : highs) {
          ttowerrec r{};
          std::memset(static_cast<void*>(&r), 0xA5, sizeof r);  // typetext, unit22 and the rest: noise
          if (t == kTypeNR && h != 0x0F) std::memcpy(r.typetext, "\x02NR", 3);  // 0x0F: not NR
          r.typetext[9] = h;
          r.typetext[10] = static_cast<std::uint8_t>(h | 0xF0);  // the high nibble is no cell bit
          r.typecode = t;
          r.matchcode = w;
          r.netid = static_cast<std::uint16_t>(w ^ 1);
          r.area = static_cast<std::uint16_t>(w >> 1);
          r.cellid = c;
          recs.push_back(r);
        }
  int disagree = 0, matched = 0, matchednr = 0;
  for (const ttowerrec& crit : recs) {
    for (std::uint8_t ct : types) {
      ttowerrec c = crit;
      c.typecode = ct;
      // The criteria's high bits: none, or those of the record.
      c.unit22[0] = static_cast<std::uint8_t>(areahigh(crit));
      c.unit22[1] = static_cast<std::uint8_t>(cellhigh(crit));
      for (int zero = 0; zero < 16; ++zero) {  // each of four fields set or "any"
        ttowerrec k = c;
        if (zero & 1) k.matchcode = 0;
        if (zero & 2) k.netid = 0;
        if (zero & 4) k.area = 0, k.unit22[0] = 0;
        if (zero & 8) k.cellid = 0, k.unit22[1] = 0;
        KeyFilter filter(k);
        for (const ttowerrec& r : recs) {
          bool want = matchkeys(r, k);
          disagree += filter(r) != want;
          matched += want;
          matchednr += want && (areahigh(r) | cellhigh(r)) != 0 && (zero & 12) != 12;
        }
      }
    }
  }
  EXPECT_EQ(disagree, 0);
  EXPECT_GT(matched, 0);
  EXPECT_GT(matchednr, 0);
}

TEST(MatchWithin, DifferenceEqualToTheToleranceIsInside) {
  ttowerrec c{};
  c.longitude = toreal(10.0L);
  c.latitude = toreal(50.0L);
  real tol = toreal(0.25L);
  EXPECT_TRUE(matchwithin(makerec(1, 1, 1, 1, 10.25L, 49.75L), c, tol, tol));
  ttowerrec beyond = makerec(1, 1, 1, 1, 10.25L, 50.0L);
  beyond.longitude.bytes[1] += 1;  // one unit of the last place further out
  EXPECT_FALSE(matchwithin(beyond, c, tol, tol));
}

TEST(MatchWithin, StoredToleranceComparesAsStoredNotAsWritten) {
  // 0.2 is stored as 0.20000000000004547: a record that far from the
  // centre is inside although more than 0.2 away; one unit further is out.
  ttowerrec c{};
  c.longitude = toreal(1.0L / 1024);
  ttowerrec rec = makerec(1, 1, 1, 1, 0, 0);
  rec.longitude = toreal(1.0L / 1024 + toext(toreal(0.2L)));
  ASSERT_EQ(toext(rec.longitude) - 1.0L / 1024, toext(toreal(0.2L)));
  ASSERT_GT(toext(rec.longitude) - 1.0L / 1024, 0.2L);
  EXPECT_TRUE(matchwithin(rec, c, toreal(0.2L), toreal(0.2L)));
  rec.longitude.bytes[1] += 1;
  EXPECT_FALSE(matchwithin(rec, c, toreal(0.2L), toreal(0.2L)));
}

TEST(MatchWithin, AxisWithCentreZeroIsNotTested) {
  ttowerrec c{};
  c.latitude = toreal(50.0L);
  real tol = toreal(0.1L);
  EXPECT_TRUE(matchwithin(makerec(1, 1, 1, 1, 120.0L, 50.05L), c, tol, tol));
  EXPECT_FALSE(matchwithin(makerec(1, 1, 1, 1, 120.0L, 50.2L), c, tol, tol));
  c = ttowerrec{};
  c.longitude = toreal(13.0L);
  EXPECT_TRUE(matchwithin(makerec(1, 1, 1, 1, 13.05L, -80.0L), c, tol, tol));
}

TEST(MatchWithin, KeysAreTestedBeforeThePosition) {
  ttowerrec c = keys(4);
  c.longitude = toreal(10.0L);
  EXPECT_FALSE(matchwithin(makerec(1, 1, 1, 1, 10.0L, 50), c, toreal(1), toreal(1)));
}

TEST(CriteriaEmpty, TypeTextAndRangeDoNotCount) {
  ttowerrec c{};
  settypetext(c, "Alle");
  c.range = 500;
  EXPECT_TRUE(criteriaempty(c));
}

TEST(CriteriaEmpty, AnySetKeyOrCoordinateCounts) {
  ttowerrec c{};
  c.latitude = toreal(52.0L);
  EXPECT_FALSE(criteriaempty(c));
  c = ttowerrec{};
  c.matchcode = 1;
  EXPECT_FALSE(criteriaempty(c));
  c = ttowerrec{};
  c.cellid = -1;
  EXPECT_FALSE(criteriaempty(c));
}

TEST(CriteriaEmpty, CoordinateWithExponentZeroIsZero) {
  ttowerrec c{};
  c.longitude.bytes = {0, 1, 2, 3, 4, 5};
  EXPECT_TRUE(criteriaempty(c));
}

TEST(Tolerances, StartAsStoredRealsOfPointTwoAndPointThreeThree) {
  EXPECT_EQ(tolerancelon, toreal(0.2L));
  EXPECT_EQ(tolerancelat, toreal(0.33L));
  EXPECT_NEAR(static_cast<double>(toext(tolerancelon)), 0.20000000000004547, 1e-17);
  EXPECT_NEAR(static_cast<double>(toext(tolerancelat)), 0.32999999999992724, 1e-17);
}

// --- the selection pass ---------------------------------------------------------

TEST_F(SelectionTest, UnknownTypeListsCodesThreeAndZeroInFileOrder) {
  openmemory({makerec(3, 1, 1, 1, 10, 50), makerec(1, 1, 1, 1, 10, 50), makerec(0, 1, 1, 1, 10, 50),
              makerec(4, 1, 1, 1, 10, 50), makerec(3, 2, 1, 1, 10, 50)});
  selectbycriteria(keys(3), tolerancelon, tolerancelat);
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{0, 2, 4}));
}

TEST_F(SelectionTest, NoMatchLeavesAnEmptyList) {
  openmemory({makerec(1, 1, 1, 1, 10, 50)});
  resultcount = 1;
  selectbycriteria(keys(5), tolerancelon, tolerancelat);
  EXPECT_EQ(resultcount, 0);
}

TEST_F(SelectionTest, PositionWindowFromTheCriteriaApplies) {
  openmemory({makerec(1, 1, 1, 1, 10.0L, 50.0L), makerec(1, 1, 1, 1, 10.3L, 50.0L),
              makerec(1, 1, 1, 1, 10.0L, 50.3L), makerec(1, 1, 1, 1, 10.0L, 50.4L)});
  ttowerrec c{};
  c.longitude = toreal(10.0L);
  c.latitude = toreal(50.0L);
  selectbycriteria(c, tolerancelon, tolerancelat);
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{0, 2}));
}

TEST_F(SelectionTest, CriteriaPassedFromTheGlobalItselfAreUsedAsGiven) {
  openmemory({makerec(2, 1, 1, 1, 10, 50), makerec(2, 2, 1, 1, 10, 50)});
  criteria = keys(2, 2);
  selectbycriteria(criteria, tolerancelon, tolerancelat);
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{1}));
}

TEST_F(SelectionTest, ReadErrorKeepsTheMatchesFoundBeforeIt) {
  std::vector<ttowerrec> recs;
  for (int i = 0; i < kScanBlockRecords + 100; ++i) recs.push_back(makerec(i % 2 ? 1 : 2, 1, 1, 1, 10, 50));
  auto state = openmemory(recs);
  state->bytes.resize(static_cast<std::size_t>(kScanBlockRecords + 10) * 44);
  EXPECT_THROW(selectbycriteria(keys(2), tolerancelon, tolerancelat), IoError);
  EXPECT_EQ(resultcount, (kScanBlockRecords + 10 + 1) / 2);
}

TEST_F(SelectionTest, SelectionKeepsAtMostTheListCapacity) {
  {
    std::ofstream out("germtowers.dat", std::ios::binary);
  }
  ASSERT_EQ(::truncate("germtowers.dat", static_cast<off_t>(kMaxResults + 5) * 44), 0);
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  selectbycriteria(ttowerrec{}, tolerancelon, tolerancelat);
  EXPECT_EQ(resultcount, kMaxResults);
  EXPECT_EQ(resultlist[kMaxResults], kMaxResults - 1);
  std::remove("germtowers.dat");
}

}  // namespace
