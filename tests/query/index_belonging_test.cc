// An index that does not belong to the open database file is never used:
// missing, made from another file, older than a change in place (same
// size, within the same second), cut, or damaged anywhere a lookup reads.
// Each time the scan answers, and lastindexuse() says why.
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "celldb/database.h"
#include "celldb/towerindex.h"
#include "query/criteria.h"
#include "query/surrounding.h"
#include "tests/celldb/towerfiles.h"

namespace {

using towertest::makerec;

const std::string kDb = "germtowers.dat", kIdx = "germtowers.idx";

std::vector<ttowerrec> records(std::int32_t salt) {
  std::vector<ttowerrec> recs;
  for (std::int32_t i = 0; i < 2000; ++i)
    recs.push_back(makerec(4, static_cast<std::uint16_t>(1 + i % 3), static_cast<std::uint16_t>(100 + i % 7),
                           (i * 7 + salt) % 500 + 1, 13.0L + (i % 97) * 0.001L, 52.0L + (i % 89) * 0.001L));
  return recs;
}

towerindexheader header() {
  towerindexheader h{};
  std::FILE* f = std::fopen(kIdx.c_str(), "rb");
  EXPECT_NE(f, nullptr);
  if (f) {
    EXPECT_EQ(std::fread(&h, sizeof h, 1, f), 1u);
    std::fclose(f);
  }
  return h;
}

void poke(const std::string& file, std::uint64_t offset, unsigned char x) {
  int fd = ::open(file.c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  unsigned char b = 0;
  ASSERT_EQ(::pread(fd, &b, 1, static_cast<off_t>(offset)), 1);
  b ^= x;
  ASSERT_EQ(::pwrite(fd, &b, 1, static_cast<off_t>(offset)), 1);
  ::close(fd);
}

std::vector<std::int32_t> listed() {
  std::vector<std::int32_t> v;
  for (std::int32_t i = 1; i <= resultcount; ++i) v.push_back(resultlist[static_cast<std::size_t>(i)]);
  return v;
}

TEST(IndexBelonging, OnlyTheIndexOfTheOpenFileAsItIsNowIsUsed) {
  const std::vector<ttowerrec> recs = records(0);
  ttowerrec keys{};
  keys.cellid = 8;  // a selection the index narrows
  std::vector<std::int32_t> expected;
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(recs.size()); ++i)
    if (recs[static_cast<std::size_t>(i)].cellid == 8) expected.push_back(i);

  struct change {
    const char* what;
    std::function<void()> apply;
    indexuse use;
  };
  const std::vector<change> changes = {
      {"nothing", [] {}, indexuse::used},
      {"index removed", [] { std::remove(kIdx.c_str()); }, indexuse::missing},
      {"database changed in place, same size",
       [] { poke(kDb, 44 * 5 + 31, 1); },  // record 5's latitude, by a step
       indexuse::foreign},
      {"database replaced by an equal copy",
       [&] {
         towertest::writetowers("copy.dat", recs);
         std::rename("copy.dat", kDb.c_str());
       },
       indexuse::foreign},
      {"index of another file",
       [&] {
         towertest::writetowers("other.dat", records(0));
         std::string error;
         ASSERT_TRUE(buildtowerindex("other.dat", error)) << error;
         std::rename("other.idx", kIdx.c_str());
       },
       indexuse::foreign},
      {"index cut", [] { ASSERT_EQ(::truncate(kIdx.c_str(), 8192), 0); }, indexuse::damaged},
      {"index empty", [] { ASSERT_EQ(::truncate(kIdx.c_str(), 0), 0); }, indexuse::damaged},
      {"header damaged", [] { poke(kIdx, 100, 0x10); }, indexuse::damaged},
      {"cell entries damaged", [] { poke(kIdx, header().cellentries + 4, 0x01); }, indexuse::damaged},
      {"check of the cell entries damaged",
       [] {
         towerindexheader h = header();
         poke(kIdx, h.checksoffset + (h.cellentries / kIndexBlock - 1) * 8, 0x80);
       },
       indexuse::damaged},
  };
  for (const change& c : changes) {
    towertest::writetowers(kDb, recs);
    std::string error;
    ASSERT_TRUE(buildtowerindex(kDb, error)) << error;
    c.apply();
    ASSERT_TRUE(opendatabase(kDb).ok) << c.what;
    noteindexuse(indexuse::none);
    selectbycriteria(keys, tolerancelon, tolerancelat);
    EXPECT_EQ(lastindexuse(), c.use) << c.what;
    EXPECT_EQ(listed(), expected) << c.what;
    // The surrounding search as well (it reads no cell entries), against
    // the scan's answer on the file as it is.
    auto near = [] {
      noteindexuse(indexuse::none);
      nearposition(ttowerrec{}, kWantedObjects, toreal(13.01L), toreal(52.01L));
      return listed();
    };
    std::vector<std::int32_t> found = near();
    if (c.use != indexuse::damaged) {
      EXPECT_EQ(lastindexuse(), c.use) << c.what;
    }
    std::remove(kIdx.c_str());
    EXPECT_EQ(found, near()) << c.what;
    EXPECT_GE(found.size(), 20u) << c.what;
    closedatabase();
  }
}

}  // namespace

namespace {

// The window's ways to another file: a switch to the other database, and
// following a database that an update renamed over the open one.  Each
// lookup uses the index of the file open now, never the one left behind.
TEST(IndexBelonging, SwitchAndReplacedFileUseTheirOwnIndex) {
  const std::vector<ttowerrec> german = records(0), berlin = records(3);
  towertest::writetowers("germtowers.dat", german);
  towertest::writetowers("berlintowers.dat", berlin);
  std::string error;
  ASSERT_TRUE(buildtowerindex("germtowers.dat", error)) << error;
  ASSERT_TRUE(buildtowerindex("berlintowers.dat", error)) << error;
  ttowerrec keys{};
  keys.cellid = 8;
  auto expect = [&](const std::vector<ttowerrec>& recs, indexuse use, const char* what) {
    std::vector<std::int32_t> want;
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(recs.size()); ++i)
      if (recs[static_cast<std::size_t>(i)].cellid == 8) want.push_back(i);
    noteindexuse(indexuse::none);
    selectbycriteria(keys, tolerancelon, tolerancelat);
    EXPECT_EQ(lastindexuse(), use) << what;
    EXPECT_EQ(listed(), want) << what;
  };
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  expect(german, indexuse::used, "germtowers.dat");
  ASSERT_TRUE(switchdatabase("berlintowers.dat"));
  expect(berlin, indexuse::used, "after the switch");
  ASSERT_TRUE(switchdatabase("germtowers.dat"));
  // An update puts a new file in place; its old index is still there.
  const std::vector<ttowerrec> updated = records(5);
  towertest::writetowers("new.dat", updated);
  ASSERT_EQ(std::rename("new.dat", "germtowers.dat"), 0);
  // The rename unlinked the open file, which changes its ctime: the scan
  // answers, with the records of the file still open.
  expect(german, indexuse::foreign, "the replaced file, still open");
  ASSERT_TRUE(databasereplaced());
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  expect(updated, indexuse::foreign, "the new file, before its index");
  ASSERT_TRUE(buildtowerindex("germtowers.dat", error)) << error;
  expect(updated, indexuse::used, "the new file with its index");
  closedatabase();
}

}  // namespace
