// Opening, reading and switching the database file, and the name tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"
#include "tests/celldb/towerfiles.h"

using namespace towertest;

namespace {

std::vector<std::string> notices;
void recordnotice(std::string_view text) { notices.emplace_back(text); }

std::vector<ttowerrec> numbered(int n) {
  std::vector<ttowerrec> recs;
  for (int i = 0; i < n; ++i) recs.push_back(makerec(1, 2, 100, 1000 + i, 13.0 + i * 0.01L, 52.5));
  return recs;
}

int ioerrorcode(std::int32_t n) {
  try {
    readtower(n);
  } catch (const IoError& e) {
    return e.code();
  }
  return 0;
}

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    closedatabase();
    dbfilename = "germtowers.dat";
    notices.clear();
    databasenotice = &recordnotice;
  }
  void TearDown() override {
    closedatabase();
    std::filesystem::permissions(".", std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
    for (const char* f : {"germtowers.dat", "berlintowers.dat"}) {
      if (std::filesystem::exists(f))
        std::filesystem::permissions(f, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
      std::filesystem::remove(f);
    }
  }
};

// --- opening --------------------------------------------------------------

TEST_F(DatabaseTest, MissingFileFailsWithoutThrowing) {
  OpenResult r = opendatabase("germtowers.dat");
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(databaseopen());
}

TEST_F(DatabaseTest, EmptyFileOpensWithNoRecords) {
  writetowers("germtowers.dat", {});
  OpenResult r = opendatabase("germtowers.dat");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.total, 0);
  selectall();
  EXPECT_EQ(resultcount, 0);
  EXPECT_EQ(ioerrorcode(0), EIO);
}

TEST_F(DatabaseTest, PartialTailRecordIsNeitherCountedNorRead) {
  writetowers("germtowers.dat", numbered(3), std::string(43, 'x'));
  OpenResult r = opendatabase("germtowers.dat");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.total, 3);
  EXPECT_EQ(towercount, 3);
  EXPECT_EQ(+readtower(2).cellid, 1002);
  EXPECT_EQ(ioerrorcode(3), EIO);
}

TEST_F(DatabaseTest, WriteProtectedFileOpens) {
  writetowers("germtowers.dat", numbered(2));
  ::chmod("germtowers.dat", 0444);
  OpenResult r = opendatabase("germtowers.dat");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(+readtower(1).cellid, 1001);
}

TEST_F(DatabaseTest, DirectoryIsRefusedLikeAMissingFile) {
  std::filesystem::create_directory("berlintowers.dat");
  EXPECT_FALSE(opendatabase("berlintowers.dat").ok);
  EXPECT_FALSE(databaseopen());
}

TEST_F(DatabaseTest, FailedOpenKeepsThePreviousFileOpen) {
  writetowers("germtowers.dat", numbered(4));
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  EXPECT_FALSE(opendatabase("nosuchfile.dat").ok);
  EXPECT_EQ(dbfilename, "germtowers.dat");
  EXPECT_EQ(towercount, 4);
  EXPECT_EQ(+readtower(3).cellid, 1003);
}

TEST_F(DatabaseTest, SourceWhoseSizeFailsDoesNotOpen) {
  auto state = std::make_shared<MemoryRecordSource::State>();
  state->sizeerror = EACCES;
  EXPECT_FALSE(opendatabase("germtowers.dat", std::make_unique<MemoryRecordSource>(state)).ok);
  EXPECT_FALSE(databaseopen());
}

// --- reading records --------------------------------------------------------

TEST_F(DatabaseTest, RecordComesBackByteForByte) {
  ttowerrec r = makerec(7, 12, 0xA5, -5, -3.25L, 51.125L, -1);
  r.matchcode = 0x1234;
  r.unit22[0] = 9;
  r.samples40[3] = 0xEE;
  writetowers("germtowers.dat", {numbered(1)[0], r});
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  ttowerrec back = readtower(1);
  EXPECT_EQ(0, std::memcmp(&back, &r, sizeof r));
}

TEST_F(DatabaseTest, RecordBeyondTheEndThrowsIoError) {
  writetowers("germtowers.dat", numbered(3));
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  EXPECT_EQ(ioerrorcode(3), EIO);
  EXPECT_EQ(ioerrorcode(1000000), EIO);
  EXPECT_EQ(ioerrorcode(-1), EINVAL);
}

TEST_F(DatabaseTest, ReadingWithoutOpenFileThrowsInsteadOfReturningGarbage) {
  EXPECT_EQ(ioerrorcode(0), EBADF);
}

TEST_F(DatabaseTest, FileTruncatedWhileOpenThrowsWithCode) {
  writetowers("germtowers.dat", numbered(10));
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  ASSERT_EQ(::truncate("germtowers.dat", 4 * 44 + 20), 0);
  EXPECT_EQ(+readtower(3).cellid, 1003);
  EXPECT_EQ(ioerrorcode(4), EIO);  // only 20 of its 44 bytes are left
  EXPECT_EQ(ioerrorcode(7), EIO);
}

TEST_F(DatabaseTest, FailingReadCarriesTheSystemErrorCode) {
  auto state = openmemory(numbered(5));
  state->failreadsafter = 0;
  state->readerror = ENXIO;
  EXPECT_EQ(ioerrorcode(2), ENXIO);
}

TEST_F(DatabaseTest, ClosedDatabaseLeavesNothingToRead) {
  openmemory(numbered(5));
  selectall();
  closedatabase();
  EXPECT_FALSE(databaseopen());
  EXPECT_EQ(towercount, 0);
  EXPECT_EQ(resultcount, 0);
  EXPECT_EQ(ioerrorcode(0), EBADF);
}

// --- the result list --------------------------------------------------------

TEST_F(DatabaseTest, SelectAllListsRecordsInFileOrderFromIndexOne) {
  openmemory(numbered(5));
  resultlist[6] = 77;
  selectall();
  ASSERT_EQ(resultcount, 5);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(resultlist[static_cast<std::size_t>(i)], i - 1);
  EXPECT_EQ(resultlist[6], 77);
}

TEST_F(DatabaseTest, MoreRecordsThanTheListHoldsListsTheFirstOnes) {
  // A sparse file: 2,400,003 zero records.
  {
    std::ofstream out("germtowers.dat", std::ios::binary);
  }
  ASSERT_EQ(::truncate("germtowers.dat", static_cast<off_t>(kMaxResults + 3) * 44), 0);
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  EXPECT_EQ(towercount, kMaxResults + 3);
  selectall();
  EXPECT_EQ(resultcount, kMaxResults);
  EXPECT_EQ(resultlist[kMaxResults], kMaxResults - 1);
  EXPECT_EQ(resultlist.size(), static_cast<std::size_t>(kMaxResults) + 1);
}

// A source of `records` zero records that reads nothing from anywhere.
class ZeroSource final : public RecordSource {
 public:
  explicit ZeroSource(std::int64_t records) : bytes_(records * 44) {}
  std::int64_t size(int&) override { return bytes_; }
  std::int64_t readat(std::int64_t offset, void* buf, std::size_t n, int&) override {
    std::int64_t got = std::max<std::int64_t>(0, std::min<std::int64_t>(static_cast<std::int64_t>(n), bytes_ - offset));
    std::memset(buf, 0, static_cast<std::size_t>(got));
    return got;
  }

 private:
  std::int64_t bytes_;
};

// Pages of the result list's storage the system has made so far.
std::size_t residentlistpages() {
  const long page = ::sysconf(_SC_PAGESIZE);
  auto begin = reinterpret_cast<std::uintptr_t>(resultlist.storage()) / page * page;
  auto end = reinterpret_cast<std::uintptr_t>(resultlist.storage() + resultlist.size());
  std::vector<unsigned char> in((end - begin + page - 1) / page);
  if (::mincore(reinterpret_cast<void*>(begin), end - begin, in.data()) != 0) return SIZE_MAX;
  std::size_t n = 0;
  for (unsigned char c : in) n += c & 1;
  return n;
}

// Run in a fresh process (the death-test child), where nothing has used
// the list yet: opening a full database, listing every record and reading
// entries must not write the 9.6 MB list (a zero-filled array at start or
// a selectall writing entry by entry makes all ~2,350 pages).
TEST(ResultListPages, ListingEveryRecordMakesNoPageOfTheList) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::size_t atstart = residentlistpages();
        opendatabase("germtowers.dat", std::make_unique<ZeroSource>(kMaxResults + 5));
        selectall();
        bool values = resultcount == kMaxResults && resultlist[1] == 0 && resultlist[kMaxResults] == kMaxResults - 1;
        std::size_t after = residentlistpages();
        std::fprintf(stderr, "pages at start %zu, after %zu\n", atstart, after);
        std::_Exit(values && atstart <= 2 && after <= 2 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(DatabaseTest, WritesIntoAListOfEveryRecordKeepTheOtherEntries) {
  openmemory(numbered(10));
  resultlist[11] = 42;
  selectall();
  // A selection refilling the list from entry 1 ...
  resultlist[1] = 7;
  resultlist[2] = 8;
  // ... and an entry written out of order.
  resultlist[5] = 99;
  std::vector<std::int32_t> got(resultlist.begin() + 1, resultlist.begin() + 12);
  EXPECT_EQ(got, (std::vector<std::int32_t>{7, 8, 2, 3, 99, 5, 6, 7, 8, 9, 42}));
  resultlist[10] = resultlist[4];
  EXPECT_EQ(resultlist[10], 3);
  EXPECT_EQ(resultlist[9], 8);
  // Listing all again brings back i - 1 everywhere up to the count.
  selectall();
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(resultlist[static_cast<std::size_t>(i)], i - 1) << i;
  EXPECT_EQ(resultlist[11], 42);
}

// --- switching files --------------------------------------------------------

TEST_F(DatabaseTest, SwitchToTheOpenFileNeitherReopensNorResetsTheList) {
  writetowers("germtowers.dat", numbered(3));
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  resultcount = 1;
  resultlist[1] = 2;
  std::filesystem::remove("germtowers.dat");  // a reopen would fail now
  EXPECT_TRUE(switchdatabase("germtowers.dat"));
  EXPECT_EQ(resultcount, 1);
  EXPECT_EQ(+readtower(2).cellid, 1002);
  EXPECT_TRUE(notices.empty());
}

TEST_F(DatabaseTest, SwitchReplacesFileAndListsAllItsRecords) {
  writetowers("germtowers.dat", numbered(3));
  auto berlin = numbered(6);
  berlin[5].cellid = 4711;
  writetowers("berlintowers.dat", berlin);
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  resultcount = 1;
  EXPECT_TRUE(switchdatabase("berlintowers.dat"));
  EXPECT_EQ(dbfilename, "berlintowers.dat");
  EXPECT_EQ(towercount, 6);
  EXPECT_EQ(resultcount, 6);
  EXPECT_EQ(+readtower(5).cellid, 4711);
  EXPECT_TRUE(notices.empty());
}

TEST_F(DatabaseTest, FailedSwitchKeepsOldFileNameAndListAndSaysSo) {
  writetowers("germtowers.dat", numbered(8));
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  resultcount = 2;
  resultlist[1] = 7;
  resultlist[2] = 5;
  EXPECT_FALSE(switchdatabase("berlintowers.dat"));
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], std::string("Datei berlintowers.dat konnte nicht geöffnet werden!"_w));
  EXPECT_EQ(dbfilename, "germtowers.dat");
  EXPECT_EQ(towercount, 8);
  EXPECT_EQ(resultcount, 2);
  EXPECT_EQ(+readtower(resultlist[1]).cellid, 1007);
}

// --- name tables --------------------------------------------------------------

TEST(NetTypeName, KnownCodesAndUndefinedOnes) {
  EXPECT_EQ(nettypename(0), "Alle");
  EXPECT_EQ(nettypename(1), "GSM");
  EXPECT_EQ(nettypename(2), "UMTS");
  EXPECT_EQ(nettypename(3), "Unbekannt");
  EXPECT_EQ(nettypename(4), "LTE");
  EXPECT_EQ(nettypename(5), "CDMA");
  EXPECT_EQ(nettypename(6), "NR");
  EXPECT_EQ(nettypename(7), "7???");
  EXPECT_EQ(nettypename(255), "255???");
}

TEST(OperatorNameTable, SharedNamesAndEmptyAboveSeven) {
  const char* expected[] = {"Alle", "Telekom", "Vodafone", "O2", "Vodafone", "O2", "Telekom", "O2"};
  for (int id = 0; id < 8; ++id) EXPECT_EQ(OperatorName(id), expected[id]) << id;
  EXPECT_EQ(OperatorName(8), "");
  EXPECT_EQ(OperatorName(65535), "");
}

}  // namespace
