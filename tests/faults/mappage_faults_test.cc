// The map page when celltowers.html cannot be written: a folder of that
// name, a disk that fills up, a file size limit, a link planted at a
// temporary name.  The old page stays as it was, the failure names the
// system's reason, and nothing is opened in the browser.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "celldb/database.h"
#include "celldb/memorysource.h"
#include "lib/support/ioerror.h"
#include "maps/mappage.h"
#include "platform/testing/recording_shell.h"
#include "query/criteria.h"
#include "tests/faults/faultfiles.h"

namespace {

std::pair<long double, long double> somewhere(int i) { return {13.4L + i * 0.01L, 52.5L}; }

void openthreetowers() {
  auto state = std::make_shared<MemoryRecordSource::State>();
  for (int i = 0; i < 3; ++i) {
    ttowerrec r = towerat(10 + i, 13.4L + i * 0.01L, 52.5L);
    const char* p = reinterpret_cast<const char*>(&r);
    state->bytes.insert(state->bytes.end(), p, p + sizeof r);
  }
  ASSERT_TRUE(opendatabase("germtowers.dat", std::make_unique<MemoryRecordSource>(state)).ok);
  selectall();
}

TEST(PageNotCreatable, FolderOfThatNameMakesWriteMapPageFail) {
  std::filesystem::remove_all(kMapPageFile);
  ASSERT_EQ(::mkdir(kMapPageFile, 0755), 0);
  EXPECT_FALSE(WriteMapPage(kMapPageFile, "Turmfinder", false, 3, kMapPageZoom, somewhere));
  EXPECT_TRUE(std::filesystem::is_directory(kMapPageFile));
  std::filesystem::remove_all(kMapPageFile);
}

TEST(PageNotCreatable, FolderOfThatNameOpensNothing) {
  std::filesystem::remove_all(kMapPageFile);
  ASSERT_EQ(::mkdir(kMapPageFile, 0755), 0);
  openthreetowers();
  RecordingShell shell;
  EXPECT_FALSE(ShowObjectsOnMapPage(resultcount, true));
  EXPECT_TRUE(shell.opened.empty());
  closedatabase();
  std::filesystem::remove_all(kMapPageFile);
}

const std::string kOldPage = "<html>the page of the last run</html>\r\n";

// What a write of the page into `path` ended with.
std::string writepage(const std::string& path) {
  try {
    return WriteMapPage(path, "Turmfinder", true, 20, kMapPageZoom, somewhere) ? "written" : "refused";
  } catch (const MapPageWriteError& e) {
    return e.what();
  }
}

TEST(PageNotWritable, FullDiskKeepsTheOldPageAndNamesTheReason) {
  // The old page used to be cut and half a page left in its place.
  scratchdir dir("fullpage");
  std::string path = dir.file(kMapPageFile);
  childresult r = onsmalltmpfs(dir.path(), 64 * 1024, [&](std::string& report) {
    writebytes(path, kOldPage);
    if (!filldisk(dir.path())) {
      report = "skip: the tmpfs did not fill up";
      return 0;
    }
    report = writepage(path);
    if (readbytes(path) != kOldPage) report += " / the old page was changed";
    std::vector<std::string> names = dir.entries();
    if (names != std::vector<std::string>{kMapPageFile, "filler"}) report += " / a temporary file was left";
    return 0;
  });
  ASSERT_TRUE(r.exited);
  if (r.output.rfind("skip: ", 0) == 0) GTEST_SKIP() << r.output.substr(6);
  EXPECT_EQ(r.output, "Schreibfehler in " + path + ": " + std::strerror(ENOSPC));
}

TEST(PageNotWritable, FileSizeLimitKeepsTheOldPageAndNamesTheReason) {
  scratchdir dir("limitpage");
  std::string path = dir.file(kMapPageFile);
  writebytes(path, kOldPage);
  childresult r = runlimited(100, [&](std::string& report) {
    report = writepage(path);
    return 0;
  });
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.output, "Schreibfehler in " + path + ": " + std::strerror(EFBIG));
  EXPECT_EQ(readbytes(path), kOldPage);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{kMapPageFile}) << "a temporary file was left";
}

TEST(PageNotWritable, ALinkPlantedAtATemporaryNameIsNeverFollowed) {
  scratchdir dir("linkpage");
  std::string victim = dir.file("victim");
  writebytes(victim, "precious");
  std::string path = dir.file(kMapPageFile);
  for (int k = 0; k < 50; ++k) {
    std::string link = dir.file("." + std::string(kMapPageFile) + ".tmp" + std::to_string(::getpid()) + "-" +
                                std::to_string(k));
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
  }
  EXPECT_EQ(writepage(path), "written");
  EXPECT_EQ(readbytes(victim), "precious");
  EXPECT_EQ(readbytes(path).substr(0, 6), "<html ");
}

}  // namespace
