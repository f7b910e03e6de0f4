// How turmfinder is started: its command line, and the working folder of
// a start from the launcher (~/Turmfinder, made when missing, entered).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/core/startoptions.h"
#include "app/core/workfolder.h"
#include "lib/support/atomicfile.h"
#include "lib/support/w1252.h"

namespace fs = std::filesystem;

namespace {

TEST(StartOptionsTest, OnlyDesktopAndHelpAreTakenAnythingElseIsNamed) {
  struct Case {
    std::vector<std::string> args;
    bool desktop, help;
    std::string error;
  } cases[] = {
      {{}, false, false, ""},
      {{"--desktop"}, true, false, ""},
      {{"--help"}, false, true, ""},
      {{"-h", "--desktop"}, true, true, ""},
      {{"--desktop", "germtowers.dat"}, false, false, "turmfinder: unbekanntes Argument \"germtowers.dat\""},
      {{"--Desktop"}, false, false, "turmfinder: unbekanntes Argument \"--Desktop\""},
      {{"--dësktop"}, false, false, std::string("turmfinder: unbekanntes Argument \"--dësktop\""_w)},
  };
  for (const Case& c : cases) {
    startoptions o = parsestartoptions(c.args);
    EXPECT_EQ(o.error, c.error) << ::testing::PrintToString(c.args);
    if (!c.error.empty()) continue;
    EXPECT_EQ(o.desktop, c.desktop) << ::testing::PrintToString(c.args);
    EXPECT_EQ(o.help, c.help) << ::testing::PrintToString(c.args);
  }
  EXPECT_EQ(startusage().rfind("Aufruf: turmfinder [--desktop]\n", 0), 0u);
}

// Each case runs in a fresh home folder and comes back to the test's own
// working directory.
class WorkFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    here = fs::current_path();
    home = here / "home";
    fs::remove_all(home);
    fs::create_directories(home);
  }
  void TearDown() override {
    fs::current_path(here);
    fs::remove_all(home);
  }
  fs::path here, home;
};

TEST_F(WorkFolderTest, MissingFolderIsMadeAndEnteredExistingOrLinkedOneIsEntered) {
  fs::path target = home / "Turmfinder";
  for (const std::string& given : {home.string(), home.string() + "/"}) {
    workfolderresult r = enterworkfolder(given);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.path, target.string());
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(fs::current_path(), target);
  }
  // A link to a folder elsewhere is taken as the folder.
  fs::current_path(here);
  fs::remove_all(target);
  fs::create_directory(home / "elsewhere");
  fs::create_directory_symlink(home / "elsewhere", target);
  workfolderresult r = enterworkfolder(home.string());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(fs::current_path(), fs::canonical(home / "elsewhere"));
}

TEST_F(WorkFolderTest, FileDanglingLinkOrNoHomeGiveGermanErrorAndStayHere) {
  const std::string name = (home / "Turmfinder").string();
  struct Case {
    const char* what;
    std::function<void()> make;
    std::string home, error;
  } cases[] = {
      {"a file", [&] { std::ofstream(home / "Turmfinder") << "x"; }, home.string(),
       "Der Arbeitsordner " + name +
           std::string(" kann nicht angelegt werden: unter diesem Namen steht eine Datei."_w)},
      {"a dangling link", [&] { fs::create_symlink(home / "gone", home / "Turmfinder"); }, home.string(),
       "Der Arbeitsordner " + name + std::string(" ist eine Verknüpfung auf etwas, das es nicht gibt."_w)},
      {"a home below a file", [&] { std::ofstream(home / "plain") << "x"; }, (home / "plain").string(),
       "Der Arbeitsordner " + (home / "plain" / "Turmfinder").string() + " ist nicht erreichbar: " +
           systemreason(ENOTDIR)},
      {"no home", [] {}, "", std::string("Der Benutzerordner ist unbekannt (HOME ist leer), also auch der "
                                         "Arbeitsordner ~/Turmfinder."_w)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home);
    fs::create_directories(home);
    c.make();
    workfolderresult r = enterworkfolder(c.home);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(fs::current_path(), here);
  }
}

TEST_F(WorkFolderTest, HomeFromEnvironmentElsePasswordDatabase) {
  const char* saved = std::getenv("HOME");
  std::string keep = saved ? saved : "";
  setenv("HOME", home.c_str(), 1);
  EXPECT_EQ(homefolder(), home.string());
  // Empty or relative: the password entry's folder, an absolute path.
  for (const char* value : {"", "relative/home"}) {
    setenv("HOME", value, 1);
    std::string h = homefolder();
    EXPECT_TRUE(h.empty() || h[0] == '/') << h;
  }
  if (saved) setenv("HOME", keep.c_str(), 1); else unsetenv("HOME");
}

// Any entry under a database's name counts, also one that cannot be read.
TEST_F(WorkFolderTest, AnyEntryUnderADatabaseNameCountsAsTheUsersData) {
  const std::string dir = home.string();
  EXPECT_FALSE(holdsdatabasefile(dir));
  std::ofstream(home / "settings.dat") << "x";
  EXPECT_FALSE(holdsdatabasefile(dir));
  for (const char* name : {"germtowers.dat", "berlintowers.dat"}) {
    fs::create_symlink(home / "gone", home / name);
    EXPECT_TRUE(holdsdatabasefile(dir)) << name;
    fs::remove(home / name);
    fs::create_directory(home / name);
    EXPECT_TRUE(holdsdatabasefile(dir)) << name;
    fs::remove(home / name);
  }
}

}  // namespace
