// The map page when celltowers.html cannot be written: a folder of that
// name, or a disk that fills up.  Nothing is opened in the browser.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
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

TEST(PageNotWritable, FullDiskRaisesIoErrorAndOpensNothing) {
  scratchdir dir("fullpage");
  std::string path = dir.file(kMapPageFile);
  childresult r = runlimited(100, [&](std::string& report) {
    try {
      bool ok = WriteMapPage(path, "Turmfinder", true, 3, kMapPageZoom, somewhere);
      report = ok ? "written" : "refused";
    } catch (const IoError& e) {
      report = "ioerror " + std::to_string(e.code());
    }
    return 0;
  });
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.output, "ioerror " + std::to_string(EFBIG));
}

}  // namespace
