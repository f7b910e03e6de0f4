// The surrounding searches: windows, stopping rule, ordering, side effects.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <unistd.h>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "query/criteria.h"
#include "query/surrounding.h"
#include "tests/celldb/towerfiles.h"
#include "tests/query/selectionfixture.h"

using namespace towertest;

namespace {

std::vector<std::int32_t> listed() {
  return std::vector<std::int32_t>(resultlist.begin() + 1, resultlist.begin() + 1 + resultcount);
}

ttowerrec at(long double lon, long double lat, std::uint8_t type = 1) { return makerec(type, 1, 1, 1, lon, lat); }

class SurroundingTest : public SelectionFixture {};

// --- position search -------------------------------------------------------------

TEST_F(SurroundingTest, EnoughInTheFirstWindowStopsThereAndSortsByDistance) {
  std::vector<ttowerrec> recs;
  for (int i = 0; i < 10; ++i) recs.push_back(at(13.008L, 52.5L));  // outside +-0.005
  for (int i = 25; i > 0; --i) recs.push_back(at(13.0L + i * 0.00015L, 52.5L));
  openmemory(recs);
  nearposition(criteria, 20, toreal(13.0L), toreal(52.5L));
  ASSERT_EQ(resultcount, 25);
  for (int i = 1; i <= 25; ++i) EXPECT_EQ(resultlist[static_cast<std::size_t>(i)], 35 - i) << i;
}

TEST_F(SurroundingTest, MoreThanHundredInTheWindowStayInFileOrder) {
  std::vector<ttowerrec> recs;
  for (int i = 0; i < 150; ++i) recs.push_back(at(8.0L + ((i * 37) % 150) * 0.00003L, 50.0L));
  openmemory(recs);
  nearposition(criteria, 20, toreal(8.0L), toreal(50.0L));
  ASSERT_EQ(resultcount, 150);
  for (int i = 1; i <= 150; ++i) ASSERT_EQ(resultlist[static_cast<std::size_t>(i)], i - 1);
}

TEST_F(SurroundingTest, PositionSearchKeepsTolerancesAndRecordsItsCentre) {
  openmemory({at(10.0L, 50.0L)});
  nearposition(criteria, 20, toreal(10.001L), toreal(50.002L));
  EXPECT_EQ(tolerancelon, toreal(0.2L));
  EXPECT_EQ(tolerancelat, toreal(0.33L));
  EXPECT_EQ(criteria.longitude, toreal(10.001L));
  EXPECT_EQ(criteria.latitude, toreal(50.002L));
}

TEST_F(SurroundingTest, PositionSearchAfterLteSelectionFindsOnlyLte) {
  openmemory({at(10.0L, 50.0L, 1), at(10.0L, 50.0L, 4), at(10.001L, 50.0L, 2), at(10.002L, 50.0L, 4)});
  criteria.typecode = 4;
  nearposition(criteria, 20, toreal(10.0L), toreal(50.0L));
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{1, 3}));
}

TEST_F(SurroundingTest, PositionSearchTestsBothAxesEvenAtCentreZero) {
  openmemory({at(0.0L, 0.004L), at(50.0L, 0.0L), at(0.001L, 0.0L)});
  nearposition(criteria, 20, real{}, real{});
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{2, 0}));
}

TEST_F(SurroundingTest, TooFewAfterTenPassesListsThoseInTheLastWindow) {
  // Last window: 0.005 * 2^9 = 2.56 degrees.
  openmemory({at(13.0L + 3.0L, 52.0L), at(13.0L + 2.5L, 52.0L), at(13.0L, 52.0L + 1.0L)});
  nearposition(criteria, 20, toreal(13.0L), toreal(52.0L));
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{2, 1}));
}

TEST_F(SurroundingTest, SearchReadsTheFileOnceNotOncePerPass) {
  std::vector<ttowerrec> recs(static_cast<std::size_t>(kScanBlockRecords) * 2 + 7, at(100.0L, -40.0L));
  auto state = openmemory(recs);
  state->reads = 0;
  nearposition(criteria, 20, toreal(13.0L), toreal(52.0L));  // ten windows, nothing found
  EXPECT_EQ(resultcount, 0);
  EXPECT_EQ(state->reads, 3);
}

TEST_F(SurroundingTest, ReadErrorKeepsWhatTheFirstWindowHadFound) {
  std::vector<ttowerrec> recs;
  for (int i = 0; i < kScanBlockRecords + 50; ++i)
    recs.push_back(at(i % 3 == 0 ? 10.001L : 10.4L, 50.0L));
  auto state = openmemory(recs);
  state->failreadsafter = 1;
  EXPECT_THROW(nearposition(criteria, 20, toreal(10.0L), toreal(50.0L)), IoError);
  EXPECT_EQ(resultcount, (kScanBlockRecords + 2) / 3);
  for (std::int32_t i = 1; i <= resultcount; ++i) ASSERT_EQ(resultlist[static_cast<std::size_t>(i)] % 3, 0);
}

// --- object search ---------------------------------------------------------------

TEST_F(SurroundingTest, ObjectSearchRestartsTheWindowAtOneThousandth) {
  std::vector<ttowerrec> recs{at(9.0L, 48.0L)};
  for (int i = 0; i < 25; ++i) recs.push_back(at(9.0015L, 48.0L));  // inside the second window
  openmemory(recs);
  tolerancelon = toreal(7.0L);
  tolerancelat = toreal(7.0L);
  nearobject(0, 20);
  EXPECT_EQ(resultcount, 26);
  EXPECT_EQ(resultlist[1], 0);
  EXPECT_EQ(toext(tolerancelon), 2 * toext(toreal(0.001L)));
  EXPECT_EQ(tolerancelat, tolerancelon);
  EXPECT_EQ(criteria.longitude, recs[0].longitude);
  EXPECT_EQ(criteria.latitude, recs[0].latitude);
}

TEST_F(SurroundingTest, ObjectSearchLeavesTheLastWindowTriedNotADoubledOne) {
  openmemory({at(9.0L, 48.0L), at(9.25L, 48.0L), at(9.5L, 48.0L)});
  nearobject(1, 20);
  EXPECT_EQ(toext(tolerancelon), 512 * toext(toreal(0.001L)));
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{1, 0, 2}));
}

TEST_F(SurroundingTest, ObjectSearchDoesNotTestAnAxisWhoseCentreIsZero) {
  openmemory({at(0.0L, 51.0L), at(20.0L, 51.0005L), at(-30.0L, 51.01L)});
  nearobject(0, 20);
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{0, 1, 2}));
}

TEST_F(SurroundingTest, ObjectSearchUsesTheKeyFieldsOfTheCriteria) {
  openmemory({at(9.0L, 48.0L, 2), at(9.0001L, 48.0L, 1), at(9.0002L, 48.0L, 2)});
  criteria.typecode = 2;
  nearobject(0, 20);
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{0, 2}));
}

TEST_F(SurroundingTest, ObjectSearchOnAnEmptyFileReportsAReadError) {
  openmemory({});
  EXPECT_THROW(nearobject(0, 20), IoError);
}

// --- ordering ---------------------------------------------------------------------

TEST(SortByKey, EqualKeysFollowTheSelectionRuleNotFileOrder) {
  real keys[5] = {real{}, toreal(5), toreal(3), toreal(5), toreal(3)};
  std::vector<std::uint16_t> p = sortbykey(1, 4, keys);
  EXPECT_EQ(std::vector<std::uint16_t>(p.begin() + 1, p.end()), (std::vector<std::uint16_t>{2, 4, 3, 1}));
}

TEST(SortByKey, SinglePositionAndEmptyRange) {
  real keys[2] = {real{}, toreal(1)};
  EXPECT_EQ(sortbykey(1, 1, keys)[1], 1);
  EXPECT_EQ(sortbykey(1, 0, keys).size(), 1u);
}

TEST_F(SurroundingTest, EqualDistancesAreOrderedByTheSelectionRule) {
  // Distances 2^-11, 2^-12, 2^-11, 2^-12 from the centre (exact in reals).
  const long double a = 1.0L / 2048, b = 1.0L / 4096;
  openmemory({at(10.0L + a, 50.0L), at(10.0L, 50.0L + b), at(10.0L - a, 50.0L), at(10.0L, 50.0L - b)});
  nearposition(criteria, 4, toreal(10.0L), toreal(50.0L));
  ASSERT_EQ(resultcount, 4);
  EXPECT_EQ(distlist[1], distlist[3]);
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{1, 3, 2, 0}));
}

TEST_F(SurroundingTest, DistancesAreStoredAsRealsInFileOrderOfTheWindow) {
  openmemory({at(10.002L, 50.001L), at(10.0L, 50.0L)});
  nearposition(criteria, 1, toreal(10.0L), toreal(50.0L));
  ASSERT_EQ(resultcount, 2);
  EXPECT_EQ(distlist[1], toreal(std::fabs(toext(toreal(10.002L)) - toext(toreal(10.0L))) +
                                std::fabs(toext(toreal(50.001L)) - toext(toreal(50.0L)))));
  EXPECT_EQ(distlist[2], real{});
  EXPECT_EQ(listed(), (std::vector<std::int32_t>{1, 0}));
}

TEST_F(SurroundingTest, WindowOverTheListCapacityKeepsTheFirstRecords) {
  {
    std::ofstream out("germtowers.dat", std::ios::binary);
  }
  ASSERT_EQ(::truncate("germtowers.dat", static_cast<off_t>(kMaxResults + 5) * 44), 0);
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  nearposition(criteria, 20, real{}, real{});
  EXPECT_EQ(resultcount, kMaxResults);
  EXPECT_EQ(resultlist[kMaxResults], kMaxResults - 1);
  closedatabase();
  std::remove("germtowers.dat");
}

}  // namespace
