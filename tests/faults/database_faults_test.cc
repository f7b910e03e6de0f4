// The database file damaged while it is open: cut to half, to 43 bytes, to
// nothing, or its name taken by a folder.  Reads of records that are gone
// raise IoError with EIO and never hand out a half-read record; searches
// keep only record numbers they could read; opening a folder fails
// without touching the open database.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "query/criteria.h"
#include "query/listrows.h"
#include "query/liststate.h"
#include "query/surrounding.h"
#include "tests/faults/faultfiles.h"

namespace {

constexpr int kTowers = 40;

class OpenDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<ttowerrec> towers;
    for (int i = 0; i < kTowers; ++i) towers.push_back(towerat(100 + i, 13.4L + i * 0.0001L, 52.5L));
    writetowers(path, towers);
    ASSERT_TRUE(opendatabase(path).ok);
    selectall();
    criteria = ttowerrec{};
    surroundingresult = false;
  }
  void TearDown() override { closedatabase(); }
  void cutto(off_t bytes) { ASSERT_EQ(::truncate(path.c_str(), bytes), 0); }

  scratchdir dir{"db"};
  std::string path = dir.file("germtowers.dat");
};

// Calls f, which must raise IoError with EIO.
template <typename F>
void expecteio(F f, const char* what) {
  try {
    f();
    ADD_FAILURE() << what << ": no IoError";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), EIO) << what << ": " << e.what();
  }
}

void expectlistbelow(std::int32_t records) {
  for (std::int32_t i = 1; i <= resultcount; ++i) EXPECT_LT(resultlist[static_cast<std::size_t>(i)], records);
}

TEST_F(OpenDatabase, CutToHalfRaisesIoErrorForTheLostRecordsOnly) {
  cutto(kTowers / 2 * 44);
  EXPECT_EQ(+readtower(kTowers / 2 - 1).cellid, 100 + kTowers / 2 - 1);
  expecteio([] { readtower(kTowers / 2); }, "readtower");
  expecteio([] { readtower(kTowers - 1); }, "readtower");
  ttowerrec all{};
  expecteio([&] { selectbycriteria(all, tolerancelon, tolerancelat); }, "selectbycriteria");
  EXPECT_EQ(resultcount, kTowers / 2) << "the records read before the failure stay listed";
  expectlistbelow(kTowers / 2);
  expecteio([] { nearobject(kTowers - 1, kWantedObjects); }, "nearobject on a lost record");
  expecteio([] { nearobject(0, kWantedObjects); }, "nearobject scanning past the end");
  expectlistbelow(kTowers / 2);
  expecteio([] { nearposition(ttowerrec{}, kWantedObjects, toreal(13.4L), toreal(52.5L)); }, "nearposition");
  expectlistbelow(kTowers / 2);
}

TEST_F(OpenDatabase, CutToHalfStopsThePaintOfTheLostRows) {
  cutto(kTowers / 2 * 44);
  selectall();
  EXPECT_EQ(buildlistscreen(1, kTowers / 2 + 3).size(), static_cast<std::size_t>(kTowers / 2 + 3));
  expecteio([] { buildlistscreen(kTowers / 2 - 2, 10); }, "buildlistscreen");
}

TEST_F(OpenDatabase, CutTo43BytesGivesNoHalfRecord) {
  cutto(43);
  expecteio([] { readtower(0); }, "readtower of the cut record");
  ttowerrec buf[2];
  EXPECT_EQ(readtowers(0, 2, buf), 0);
  expecteio([] { selectbycriteria(ttowerrec{}, tolerancelon, tolerancelat); }, "selectbycriteria");
  EXPECT_EQ(resultcount, 0);
}

TEST_F(OpenDatabase, CutToNothingFailsEveryRead) {
  cutto(0);
  expecteio([] { readtower(0); }, "readtower");
  expecteio([] { selectbycriteria(ttowerrec{}, tolerancelon, tolerancelat); }, "selectbycriteria");
  EXPECT_EQ(resultcount, 0);
  expecteio([] { nearposition(ttowerrec{}, kWantedObjects, toreal(13.4L), toreal(52.5L)); }, "nearposition");
  EXPECT_EQ(resultcount, 0);
  selectall();
  expecteio([] { buildlistscreen(1, 10); }, "buildlistscreen");
}

TEST_F(OpenDatabase, NameTakenByAFolderKeepsReadingTheOpenFile) {
  // The open file stays readable under its old inode: the records read
  // are the real ones, not whatever now has the name.
  ASSERT_EQ(std::rename(path.c_str(), dir.file("moved.dat").c_str()), 0);
  ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
  EXPECT_EQ(+readtower(kTowers - 1).cellid, 100 + kTowers - 1);
  selectbycriteria(ttowerrec{}, tolerancelon, tolerancelat);
  EXPECT_EQ(resultcount, kTowers);
  // Opening the folder fails and leaves the open file in place.
  OpenResult r = opendatabase(path);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(databaseopen());
  EXPECT_EQ(towercount, kTowers);
  EXPECT_EQ(+readtower(0).cellid, 100);
}

TEST(OpenFolder, OpenDatabaseOnAFolderFailsCleanly) {
  scratchdir dir("folder");
  std::string path = dir.file("germtowers.dat");
  ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
  closedatabase();
  OpenResult r = opendatabase(path);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(databaseopen());
  EXPECT_EQ(towercount, 0);
  try {
    readtower(0);
    ADD_FAILURE() << "readtower without an open file";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), EBADF);
  }
}

TEST(OpenFolder, SwitchToAFolderReportsItAndKeepsTheOldFile) {
  scratchdir dir("switch");
  writetowers(dir.file("germtowers.dat"), {towerat(7, 13.0L, 52.0L), towerat(8, 13.1L, 52.1L)});
  ASSERT_EQ(::mkdir(dir.file("berlintowers.dat").c_str(), 0755), 0);
  ASSERT_TRUE(opendatabase(dir.file("germtowers.dat")).ok);
  selectall();
  static std::vector<std::string> notices;
  notices.clear();
  DatabaseNotice saved = databasenotice;
  databasenotice = [](std::string_view t) { notices.emplace_back(t); };
  bool switched = switchdatabase(dir.file("berlintowers.dat"));
  databasenotice = saved;
  EXPECT_FALSE(switched);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("konnte nicht ge"), std::string::npos);
  EXPECT_EQ(dbfilename, dir.file("germtowers.dat"));
  EXPECT_EQ(resultcount, 2);
  EXPECT_EQ(+readtower(1).cellid, 8);
  closedatabase();
}

}  // namespace
