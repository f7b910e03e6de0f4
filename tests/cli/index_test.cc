// The index as a user meets it: demo, prepare and update write one beside
// each database file that the lookups then use; a database changed behind
// its back makes select fall back to the scan and say how to write it
// anew; `turmcli index` does that.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <unistd.h>

#include "celldb/towerindex.h"
#include "cli/commands.h"
#include "ingest/prepare.h"
#include "ingest/update.h"
#include "tests/celldb/towerfiles.h"
#include "tests/common/testfiles.h"

namespace {

struct run {
  int status;
  std::string out, err;
  indexuse use;
};

run turmcli(std::vector<std::string> args) {
  std::ostringstream out, err;
  noteindexuse(indexuse::none);
  int status = runturmcli(args, out, err);
  return {status, out.str(), err.str(), lastindexuse()};
}

const char* kHeader = "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";

std::string row(const std::string& cell, const std::string& lon, const std::string& lat) {
  return "LTE,262,2,7," + cell + ",0," + lon + "," + lat + ",1000,5,1,1294561074,1662692508,0\n";
}

TEST(Index, WrittenByEveryWriterUsedByLookupsRebuiltByTheIndexCommand) {
  scratchdir dir("index_cli");
  const std::string db = dir.file("germtowers.dat");
  const std::vector<std::string> bycell = {"select", "--db", db, "--cell", "7", "--format", "csv"};
  const std::vector<std::string> near = {"near", "--db", db, "--position", "52.5,13.4", "--format", "csv"};

  // demo: both files get their index, and lookups go through it.
  run demo = turmcli({"demo", "--dir", dir.path(), "--count", "3000"});
  ASSERT_EQ(demo.status, 0) << demo.err;
  EXPECT_TRUE(fileexists(dir.file("germtowers.idx")));
  EXPECT_TRUE(fileexists(dir.file("berlintowers.idx")));
  run before = turmcli(bycell);
  EXPECT_EQ(before.status, 0);
  EXPECT_EQ(before.use, indexuse::used);
  EXPECT_EQ(before.err, "");
  run nearby = turmcli(near);
  EXPECT_EQ(nearby.use, indexuse::used);
  EXPECT_EQ(nearby.err, "");
  run berlin = turmcli({"near", "--db", dir.file("berlintowers.dat"), "--position", "52.5,13.4"});
  EXPECT_EQ(berlin.use, indexuse::used);

  // A change in place (same size, same second): never answered from the
  // stale index; the scan answers, and standard error says what to do.
  {
    int fd = ::open(db.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    std::int32_t cell = 7;
    ASSERT_EQ(::pwrite(fd, &cell, 4, 18), 4);  // record 0 becomes cell 7
    ::close(fd);
  }
  run stale = turmcli(bycell);
  EXPECT_EQ(stale.status, 0);
  EXPECT_EQ(stale.use, indexuse::foreign);
  EXPECT_NE(stale.out.find("\n1,0,"), std::string::npos) << stale.out;  // record 0 is listed
  EXPECT_NE(stale.err.find("gehört nicht zum jetzigen Stand der Datei"), std::string::npos) << stale.err;
  EXPECT_NE(stale.err.find("turmcli index --dir " + dir.path()), std::string::npos) << stale.err;

  run rebuilt = turmcli({"index", "--dir", dir.path()});
  EXPECT_EQ(rebuilt.status, 0) << rebuilt.err;
  EXPECT_EQ(rebuilt.out, "germtowers.idx geschrieben\nberlintowers.idx geschrieben\n");
  run after = turmcli(bycell);
  EXPECT_EQ(after.use, indexuse::used);
  EXPECT_EQ(after.out, stale.out);
  EXPECT_EQ(after.err, "");

  // update and prepare write it too.
  writebytes(dir.file("diff.csv"), std::string(kHeader) + row("7", "13.4", "52.5") + row("999999", "13.41", "52.51"));
  updateoptions u;
  u.diffpath = dir.file("diff.csv");
  u.dir = dir.path();
  ASSERT_TRUE(updatedatabase(u).ok);
  EXPECT_EQ(turmcli(bycell).use, indexuse::used);
  EXPECT_EQ(turmcli(near).use, indexuse::used);
  prepareoptions p;
  p.csvpath = dir.file("diff.csv");
  p.dir = dir.path();
  ASSERT_TRUE(preparedatabase(p).ok);
  run prepared = turmcli(bycell);
  EXPECT_EQ(prepared.use, indexuse::used);
  EXPECT_NE(prepared.out.find(",LTE,2,Vodafone,7,7,13.400000,52.500000,"), std::string::npos) << prepared.out;

  // A folder without a database: nothing to index.
  scratchdir empty("index_cli_empty");
  run none = turmcli({"index", "--dir", empty.path()});
  EXPECT_EQ(none.status, kExitFailure);
  EXPECT_NE(none.err.find("weder germtowers.dat noch berlintowers.dat"), std::string::npos) << none.err;

  // A large file without an index gets the hint too; a small one does not.
  towertest::writesparsetowers(empty.file("germtowers.dat"), 100000, {towertest::makerec(4, 2, 7, 7, 13.4L, 52.5L)});
  run missing = turmcli({"select", "--db", empty.file("germtowers.dat"), "--cell", "7"});
  EXPECT_EQ(missing.use, indexuse::missing);
  EXPECT_NE(missing.err.find("germtowers.idx fehlt"), std::string::npos) << missing.err;
  towertest::writetowers(empty.file("germtowers.dat"), {towertest::makerec(4, 2, 7, 7, 13.4L, 52.5L)});
  EXPECT_EQ(turmcli({"select", "--db", empty.file("germtowers.dat"), "--cell", "7"}).err, "");
}

}  // namespace
