// Every write failure of turmcli is reported, and reported cleanly: the
// real program under a file size limit (ulimit -f), the map page on a full
// disk and in a read-only folder, and file names with terminal escapes in
// every message that names a path.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "cli/commands.h"
#include "ingest/demodb.h"
#include "tests/faults/faultfiles.h"

namespace {

const std::string kTurmcli = TURMCLI_BINARY;
const std::string kHeader =
    "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(FileSizeLimit, EveryWriterReportsTheLimitAsSchreibfehlerAndKeepsTheOldFiles) {
  scratchdir inputs("fsize-inputs");
  writebytes(inputs.file("export.csv"), germancsv(5000, true));
  writebytes(inputs.file("diff.csv"), kHeader + "LTE,262,2,7,4711,0,13.4,52.5,500,5,1,0,0,0\n");
  struct limited {
    std::vector<std::string> args;
    long limit;
    const char* file;  // the file whose write fails
  };
  const std::vector<limited> runs = {
      {{"prepare", inputs.file("export.csv"), "--dir", "."}, 100000, "germtowers.dat"},
      {{"update", inputs.file("diff.csv"), "--dir", "."}, 100000, "germtowers.dat"},
      {{"demo", "--dir", ".", "--count", "5000"}, 100000, "germtowers.dat"},
      {{"page", "--db", "germtowers.dat"}, 500, "celltowers.html"}};
  for (const limited& run : runs) {
    SCOPED_TRACE(run.args[0]);
    scratchdir dir("fsize");
    ASSERT_TRUE(writedemodatabase(dir.path(), 5000).ok);
    writebytes(dir.file("celltowers.html"), "old page");
    const std::string german = readbytes(dir.file("germtowers.dat")), berlin = readbytes(dir.file("berlintowers.dat"));
    programresult r = await(spawn(kTurmcli, run.args, inputs.file("run"), dir.path(), run.limit));
    ASSERT_TRUE(r.exited) << "killed by signal " << r.signal << " instead of reporting the limit";
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find(std::string("Schreibfehler in ")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(run.file), std::string::npos) << r.err;
    EXPECT_EQ(count(r.err, std::strerror(EFBIG)), 1) << r.err;
    EXPECT_EQ(readbytes(dir.file("germtowers.dat")), german);
    EXPECT_EQ(readbytes(dir.file("berlintowers.dat")), berlin);
    EXPECT_EQ(readbytes(dir.file("celltowers.html")), "old page");
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"berlintowers.dat", "berlintowers.idx", "celltowers.html",
                                                       "germtowers.dat", "germtowers.idx"}));
  }
}

TEST(PageReasons, AFullDiskAndAReadOnlyFolderGiveTheirReasonOnce) {
  scratchdir dir("pagereasons");
  ASSERT_TRUE(writedemodatabase(dir.path(), 300).ok);
  const std::string db = std::filesystem::absolute(dir.file("germtowers.dat")).string();
  for (bool full : {true, false}) {
    const std::string folder = std::filesystem::absolute(dir.file(full ? "full" : "locked")).string();
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    auto page = [&](std::string& report) {
      std::ostringstream out, err;
      if ((full && !filldisk(folder)) || ::chdir(folder.c_str()) != 0) return 1;
      runturmcli({"page", "--db", db}, out, err);
      report = err.str();
      return 0;
    };
    childresult r = full ? onsmalltmpfs(folder, 64 << 10, page) : onreadonlyfolder(folder, page);
    if (r.output.rfind("skip: ", 0) == 0) continue;
    EXPECT_EQ(r.status, 0);
    if (full) {
      EXPECT_EQ(count(r.output, std::strerror(ENOSPC)), 1) << r.output;
    } else {
      EXPECT_TRUE(r.output.find(std::string("angelegt werden: ") + std::strerror(EROFS) + "\n") != std::string::npos ||
                  r.output.find(std::string("angelegt werden: ") + std::strerror(EACCES) + "\n") != std::string::npos)
          << r.output;
    }
  }
}

TEST(ControlBytes, PathsWithTerminalEscapesNeverReachTheTerminalRaw) {
  scratchdir dir("escapes");
  const std::string evil = "ev\x1b]0;owned\x07\x1b[2Jil", shown = "ev?]0;owned??[2Jil";
  const std::string evildir = dir.file(evil);
  ASSERT_TRUE(std::filesystem::create_directory(evildir));
  writebytes(evildir + "/" + evil + ".csv", germancsv(5, true));
  const std::vector<std::vector<std::string>> commands = {
      {"prepare", dir.file(evil + "-missing.csv")},
      {"prepare", evildir + "/" + evil + ".csv", "--dir", evildir},
      {"update", dir.file(evil + ".csv"), "--dir", evildir},
      {"update", evildir + "/" + evil + ".csv", "--dir", dir.file(evil + "-none")},
      {"select", "--db", dir.file(evil)},
      {"demo", "--dir", evildir + "/" + evil + ".csv/sub"},  // below a plain file
      {"prepare", "--" + evil}};
  for (const auto& args : commands) {
    std::ostringstream out, err;
    runturmcli(args, out, err);
    std::string text = out.str() + err.str();
    SCOPED_TRACE(args[0] + " " + args[1]);
    EXPECT_NE(text.find(shown), std::string::npos) << text;
    for (char c : text)
      EXPECT_FALSE((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F)
          << "raw control byte " << int(c) << " in: " << text;
  }
}

}  // namespace
