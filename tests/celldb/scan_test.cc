// Block scans over the database: order, block reads, early stop, failures.
#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "tests/celldb/towerfiles.h"

using namespace towertest;

namespace {

std::vector<ttowerrec> numbered(int n) {
  std::vector<ttowerrec> recs(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) recs[static_cast<std::size_t>(i)].cellid = i;
  return recs;
}

class ScanTest : public ::testing::Test {
 protected:
  void SetUp() override { closedatabase(); }
  void TearDown() override { closedatabase(); }
};

TEST_F(ScanTest, VisitsEveryRecordOnceInFileOrderAcrossBlocks) {
  const int n = 2 * kScanBlockRecords + 5;
  openmemory(numbered(n));
  std::int32_t expected = 0;
  bool inorder = true;
  scantowers([&](std::int32_t recno, const ttowerrec& rec) {
    inorder = inorder && recno == expected && rec.cellid == expected;
    ++expected;
    return true;
  });
  EXPECT_TRUE(inorder);
  EXPECT_EQ(expected, n);
}

TEST_F(ScanTest, ReadsInBlocksNotOneReadPerRecord) {
  const int n = 100000;
  auto state = openmemory(numbered(n));
  state->reads = 0;
  std::int32_t visited = 0;
  scantowers([&](std::int32_t, const ttowerrec&) { return ++visited, true; });
  EXPECT_EQ(visited, n);
  EXPECT_EQ(state->reads, (n + kScanBlockRecords - 1) / kScanBlockRecords);
}

// Scans share one block buffer; a scan inside a visitor must not read
// into the block the outer scan is still visiting.
TEST_F(ScanTest, ScanInsideAVisitorLeavesTheOuterBlockIntact) {
  const int n = kScanBlockRecords + 7;
  openmemory(numbered(n));
  std::int32_t wrong = 0, inner = 0;
  scantowers([&](std::int32_t recno, const ttowerrec& rec) {
    if (recno == 3 || recno == kScanBlockRecords + 2)
      scantowers([&](std::int32_t r, const ttowerrec& x) { return ++inner, r < n - 1 - recno || x.cellid < 0; });
    wrong += rec.cellid != recno;
    return true;
  });
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(inner, 0);
}

TEST_F(ScanTest, StopsWhenTheVisitorSaysSo) {
  auto state = openmemory(numbered(1000));
  std::int32_t visited = 0;
  scantowers([&](std::int32_t recno, const ttowerrec&) { return ++visited, recno < 9; });
  EXPECT_EQ(visited, 10);
}

TEST_F(ScanTest, EmptyFileVisitsNothingAndReadsNothing) {
  auto state = openmemory({});
  int visited = 0;
  scantowers([&](std::int32_t, const ttowerrec&) { return ++visited, true; });
  EXPECT_EQ(visited, 0);
  EXPECT_EQ(state->reads, 0);
}

TEST_F(ScanTest, FileShrunkWhileOpenVisitsCompleteRecordsThenThrows) {
  auto state = openmemory(numbered(50));
  state->bytes.resize(20 * 44 + 30);
  std::int32_t visited = 0;
  int code = 0;
  try {
    scantowers([&](std::int32_t, const ttowerrec&) { return ++visited, true; });
  } catch (const IoError& e) {
    code = e.code();
  }
  EXPECT_EQ(visited, 20);
  EXPECT_EQ(code, EIO);
}

TEST_F(ScanTest, ReadErrorInALaterBlockKeepsEarlierVisits) {
  auto state = openmemory(numbered(kScanBlockRecords + 10));
  state->failreadsafter = 1;
  state->readerror = EFAULT;
  std::int32_t visited = 0;
  int code = 0;
  try {
    scantowers([&](std::int32_t, const ttowerrec&) { return ++visited, true; });
  } catch (const IoError& e) {
    code = e.code();
  }
  EXPECT_EQ(visited, kScanBlockRecords);
  EXPECT_EQ(code, EFAULT);
}

TEST_F(ScanTest, RealFileTruncatedWhileOpenThrows) {
  writetowers("germtowers.dat", numbered(30));
  ASSERT_TRUE(opendatabase("germtowers.dat").ok);
  ASSERT_EQ(::truncate("germtowers.dat", 10 * 44), 0);
  std::int32_t visited = 0;
  EXPECT_THROW(scantowers([&](std::int32_t, const ttowerrec&) { return ++visited, true; }), IoError);
  EXPECT_EQ(visited, 10);
}

}  // namespace
