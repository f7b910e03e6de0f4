// turmcli prepare against a full disk, a half-downloaded gzip export and a
// CSV cut off in the middle of a row: the old database files stay as they
// were, the message says what went wrong, the status is 2 and no
// temporary file is left behind.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/prepare.h"
#include "tests/faults/faultfiles.h"

namespace {

const std::string kOldGerman = "old german records";
const std::string kOldBerlin = "old berlin records";

void putoldfiles(const scratchdir& dir) {
  writebytes(dir.file("germtowers.dat"), kOldGerman);
  writebytes(dir.file("berlintowers.dat"), kOldBerlin);
}

void expectoldfiles(const scratchdir& dir, std::vector<std::string> others) {
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")), kOldGerman);
  EXPECT_EQ(readbytes(dir.file("berlintowers.dat")), kOldBerlin);
  others.push_back("berlintowers.dat");
  others.push_back("germtowers.dat");
  std::sort(others.begin(), others.end());
  EXPECT_EQ(dir.entries(), others) << "temporary files left behind";
}

// turmcli with args in a child limited to limitbytes per file; its
// standard error text comes back in output.
childresult turmcli(const std::vector<std::string>& args, long limitbytes) {
  return runlimited(limitbytes, [&](std::string& report) {
    std::ostringstream out, err;
    int status = runturmcli(args, out, err);
    report = err.str();
    return status;
  });
}

TEST(FullDisk, TurmcliPrepareFailsWithStatus2AndKeepsTheOldFiles) {
  scratchdir dir("fsize");
  writebytes(dir.file("in.csv"), germancsv(30000, true));  // 1.3 MB per output file
  putoldfiles(dir);
  childresult r = turmcli({"prepare", dir.file("in.csv"), "--dir", dir.path()}, 400000);
  ASSERT_TRUE(r.exited) << "turmcli was killed instead of reporting the error";
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.output.find("turmcli prepare: Schreibfehler in"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("germtowers.dat"), std::string::npos) << r.output;
  expectoldfiles(dir, {"in.csv"});
}

TEST(FullDisk, BerlinFileFailingAfterTheGermanOneKeepsBothOldFiles) {
  // Each output below the limit on its own, but the limit is under the
  // size of the German file: whichever file fails, neither is replaced.
  scratchdir dir("fsize-berlin");
  writebytes(dir.file("in.csv"), germancsv(2000, true));  // 88,000 bytes per file
  putoldfiles(dir);
  childresult r = turmcli({"prepare", dir.file("in.csv"), "--dir", dir.path()}, 60000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.output.find("Schreibfehler"), std::string::npos) << r.output;
  expectoldfiles(dir, {"in.csv"});
}

TEST(FullDisk, SmallTmpfsGivesENOSPCAndKeepsTheOldFiles) {
  scratchdir dir("tmpfs");
  std::string mnt = dir.file("mnt");
  ASSERT_EQ(::mkdir(mnt.c_str(), 0755), 0);
  if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
  struct unmount {
    std::string path;
    ~unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } guard{mnt};
  writebytes(dir.file("in.csv"), germancsv(5000, true));  // 220,000 bytes per output file
  writebytes(mnt + "/germtowers.dat", kOldGerman);
  writebytes(mnt + "/berlintowers.dat", kOldBerlin);
  std::ostringstream out, err;
  int status = runturmcli({"prepare", dir.file("in.csv"), "--dir", mnt}, out, err);
  EXPECT_EQ(status, kExitFailure);
  EXPECT_NE(err.str().find("Schreibfehler"), std::string::npos) << err.str();
  EXPECT_EQ(readbytes(mnt + "/germtowers.dat"), kOldGerman);
  EXPECT_EQ(readbytes(mnt + "/berlintowers.dat"), kOldBerlin);
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(mnt)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"berlintowers.dat", "germtowers.dat"}));
}

TEST(Truncated, HalfDownloadedGzipExportIsRefused) {
  scratchdir dir("halfgz");
  std::string gz = gzipped(germancsv(20000, false));
  writebytes(dir.file("export.csv.gz"), gz.substr(0, gz.size() / 2));
  putoldfiles(dir);
  childresult r = turmcli({"prepare", dir.file("export.csv.gz"), "--dir", dir.path()}, 1L << 30);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.output.find("unvollständig"), std::string::npos) << r.output;
  expectoldfiles(dir, {"export.csv.gz"});
}

TEST(Truncated, GzipCutInsideItsHeaderOrTrailerIsRefused) {
  scratchdir dir("gzends");
  std::string gz = gzipped(germancsv(50, false));
  putoldfiles(dir);
  for (std::size_t keep : {std::size_t{2}, std::size_t{5}, std::size_t{10}, gz.size() - 8, gz.size() - 1}) {
    writebytes(dir.file("export.csv.gz"), gz.substr(0, keep));
    prepareoptions o;
    o.csvpath = dir.file("export.csv.gz");
    o.dir = dir.path();
    prepareresult res = preparedatabase(o);
    EXPECT_FALSE(res.ok) << "gzip cut to " << keep << " of " << gz.size() << " bytes was taken";
    EXPECT_FALSE(res.error.empty());
  }
  expectoldfiles(dir, {"export.csv.gz"});
}

TEST(Truncated, CsvCutMidRowSkipsOnlyTheCutRow) {
  scratchdir dir("cutrow");
  std::string csv = germancsv(10, true);
  std::string last = "LTE,262,2,100,4711,0,13.4";  // cut inside the longitude
  writebytes(dir.file("in.csv"), csv + last);
  prepareoptions o;
  o.csvpath = dir.file("in.csv");
  o.dir = dir.path();
  prepareresult res = preparedatabase(o);
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(res.counts.rows, 11u);
  EXPECT_EQ(res.counts.german, 10u);
  EXPECT_EQ(res.counts.skipped[kSkipMalformed], 1u);
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")).size(), 10u * 44);
}

TEST(Truncated, CsvCutInsideAQuotedFieldSkipsTheBrokenRow) {
  scratchdir dir("cutquote");
  std::string csv = germancsv(3, false);
  writebytes(dir.file("in.csv"), csv + "\"LTE\",262,2,100,4711,0,\"9.5");
  prepareoptions o;
  o.csvpath = dir.file("in.csv");
  o.dir = dir.path();
  prepareresult res = preparedatabase(o);
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(res.counts.german, 3u);
  EXPECT_EQ(res.counts.skipped[kSkipMalformed], 1u);
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")).size(), 3u * 44);
}

}  // namespace
