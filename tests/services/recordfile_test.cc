// Record files at their edges: missing files, reads and writes at and
// beyond the end, bytes outside the record, text lines.
#include "lib/support/recordfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "lib/support/ioerror.h"

namespace fs = std::filesystem;

namespace {

std::string readfile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writefile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

fontrecord filled(std::uint8_t b) {
  fontrecord r;
  std::memset(&r, b, sizeof r);
  return r;
}

class RecordFile : public ::testing::Test {
 protected:
  void SetUp() override { fs::remove("r.dat"); }
};

TEST_F(RecordFile, ReadOfMissingFileFailsAndCreatesNothing) {
  fontrecord r = filled(7);
  EXPECT_FALSE(readrecord("r.dat", 0, r));
  EXPECT_FALSE(fs::exists("r.dat"));
  EXPECT_EQ(r.charset, 7);
}

TEST_F(RecordFile, WriteRecordZeroCreatesFile) {
  EXPECT_TRUE(writerecord("r.dat", 0, filled(1)));
  EXPECT_EQ(fs::file_size("r.dat"), 47u);
}

TEST_F(RecordFile, WriteBeyondEndLeavesFileAndAppendAtEndExtends) {
  writefile("r.dat", std::string(94, 'a'));
  EXPECT_FALSE(writerecord("r.dat", 3, filled(2)));
  EXPECT_EQ(fs::file_size("r.dat"), 94u);
  EXPECT_TRUE(writerecord("r.dat", 2, filled(2)));
  EXPECT_EQ(fs::file_size("r.dat"), 141u);
  EXPECT_EQ(readfile("r.dat"), std::string(94, 'a') + std::string(47, '\2'));
}

TEST_F(RecordFile, ReadAtEndFails) {
  writefile("r.dat", std::string(94, 'a'));
  fontrecord r = filled(0);
  EXPECT_FALSE(readrecord("r.dat", 2, r));
  EXPECT_EQ(r.charset, 0);
  EXPECT_TRUE(readrecord("r.dat", 1, r));
  EXPECT_EQ(r.charset, 'a');
}

TEST_F(RecordFile, CutShortLastRecordIsNotRead) {
  writefile("r.dat", std::string(47 + 20, 'b'));
  fontrecord r = filled(0);
  EXPECT_FALSE(readrecord("r.dat", 1, r));
  EXPECT_EQ(r.colour, 0);
}

TEST_F(RecordFile, NegativeRecordNumberIsRefused) {
  writefile("r.dat", std::string(94, 'a'));
  fontrecord r = filled(0);
  EXPECT_FALSE(readrecord("r.dat", -1, r));
  EXPECT_FALSE(writerecord("r.dat", -1, r));
  EXPECT_EQ(readfile("r.dat"), std::string(94, 'a'));
}

TEST_F(RecordFile, OverwriteChangesOnlyItsOwnBytesAndNeverTruncates) {
  // Two records and a cut-short tail: writing record 0 leaves the rest.
  std::string before = std::string(47, 'a') + std::string(47, 'b') + "tail";
  writefile("r.dat", before);
  EXPECT_TRUE(writerecord("r.dat", 0, filled(9)));
  EXPECT_EQ(readfile("r.dat"), std::string(47, '\x09') + std::string(47, 'b') + "tail");
}

TEST_F(RecordFile, WriteIntoReadOnlyFileFailsAndLeavesIt) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores file permissions";
  writefile("r.dat", std::string(47, 'a'));
  fs::permissions("r.dat", fs::perms::owner_read);
  EXPECT_FALSE(writerecord("r.dat", 0, filled(1)));
  fs::permissions("r.dat", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(readfile("r.dat"), std::string(47, 'a'));
}

TEST_F(RecordFile, FolderInPlaceOfFileFailsWithoutRaising) {
  fs::create_directory("d.dat");
  fontrecord r = filled(3);
  EXPECT_FALSE(writerecord("d.dat", 0, r));
  EXPECT_FALSE(readrecord("d.dat", 0, r));
  EXPECT_EQ(r.charset, 3);
  fs::remove("d.dat");
}

TEST_F(RecordFile, OtherRecordSizesWork) {
  unsigned char rec[83];
  std::memset(rec, 5, sizeof rec);
  EXPECT_TRUE(writefixedrecord("r.dat", 0, rec, sizeof rec));
  unsigned char back[83] = {};
  EXPECT_TRUE(readfixedrecord("r.dat", 0, back, sizeof back));
  EXPECT_EQ(std::memcmp(rec, back, 83), 0);
  EXPECT_FALSE(readfixedrecord("r.dat", 1, back, sizeof back));
}

TEST(TextFileTest, LinesEndWithCrLfAndCreateTruncates) {
  writefile("t.txt", "old contents that must go");
  TextFile f;
  ASSERT_TRUE(createtextfile("t.txt", f));
  writetextline(f, "eins");
  writetextline(f, "");
  writetextline(f, "zwei");
  f.close();
  EXPECT_EQ(readfile("t.txt"), "eins\r\n\r\nzwei\r\n");
}

TEST(TextFileTest, CreateInMissingFolderFails) {
  TextFile f;
  EXPECT_FALSE(createtextfile("no/such/folder/t.txt", f));
  EXPECT_FALSE(f.isopen());
  EXPECT_THROW(writetextline(f, "x"), IoError);
}

TEST(TextFileTest, WriteErrorIsRaised) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TextFile f;
  ASSERT_TRUE(createtextfile("/dev/full", f));
  EXPECT_THROW(
      {
        for (int i = 0; i < 10000; ++i) writetextline(f, std::string(100, 'x'));
        f.flush();
      },
      IoError);
}

}  // namespace
