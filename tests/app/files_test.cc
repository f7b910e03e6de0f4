// The program's own files and the map commands, through the window: a
// browser that can't be started, a map page that can't be written, a dialog font stored while fontpar.dat is short, corrupt font
// records and FIFOs at start, and settings and fonts that can't be stored.
// No failure is silent: each one gives a notice that says what happened.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFont>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "app/core/settingsfiles.h"
#include "maps/maplinks.h"
#include "tests/app/apptest.h"

using namespace apptest;

namespace {

class FilesTest : public AppTest {
 protected:
  void startlist() {
    usedemo();
    start();
    ASSERT_TRUE(choose(51));
  }
  // The texts of all notices and errors shown so far.
  std::vector<std::string> noticetexts() const {
    std::vector<std::string> out;
    for (const auto& c : messages.calls)
      if (c.type == RecordingMessageWindows::Call::Standard && c.kind != MsgKind::Confirm)
        out.push_back(c.text);
    return out;
  }
  // The one notice shown so far ("" when none or several).
  std::string onlynotice() const {
    std::vector<std::string> t = noticetexts();
    return t.size() == 1 ? t[0] : "";
  }
  // Ends the program through "&Schließen" with Yes to the close question.
  void closeprogram() {
    messages.answer(true);
    ASSERT_TRUE(choose(1));
    ASSERT_TRUE(waitfor([&] { return !window->isVisible(); }));
  }
};

fontrecord sized(const char* name, std::uint16_t size) {
  fontrecord r = defaultfontrecord();
  setfontrecordname(r, name);
  r.size = size;
  return r;
}

std::string recordsof(const std::vector<fontrecord>& recs) {
  std::string out;
  for (const fontrecord& r : recs) out.append(reinterpret_cast<const char*>(&r), sizeof r);
  return out;
}

// --- map commands without a browser, on an empty result, on a failing disk --------------------

TEST_F(FilesTest, WithoutABrowserTheNoticeNamesTheLinkOrThePage) {
  startlist();
  shell.result = false;  // openUrl fails: no browser
  clickrow(8);
  ASSERT_TRUE(choose(54));
  ASSERT_EQ(shell.opened.size(), 1u);
  std::string google = shell.opened[0].second;
  ASSERT_EQ(noticetexts().size(), 1u) << "a link that can't be opened is silent";
  EXPECT_NE(noticetexts()[0].find(google), std::string::npos) << noticetexts()[0];
  ASSERT_TRUE(choose(55));
  ASSERT_EQ(noticetexts().size(), 2u);
  EXPECT_NE(noticetexts()[1].find(shell.opened[1].second), std::string::npos) << noticetexts()[1];

  ASSERT_TRUE(choose(56));
  std::vector<std::string> t = noticetexts();
  ASSERT_FALSE(t.empty());
  std::string page = fs::absolute(kMapPageFile).string();
  EXPECT_NE(t.back().find(page), std::string::npos) << t.back();
  EXPECT_TRUE(fs::exists(kMapPageFile));
}

TEST_F(FilesTest, MapPageOnAFullDiskKeepsTheOldPageAndSaysSchreibfehler) {
  startlist();
  const std::string old = "<html>the page of the last run</html>\r\n";
  writebytes(kMapPageFile, old);
  // A file size limit makes the write fail as a full disk does, also for root.
  struct rlimit before {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = before;
  small.rlim_cur = 200;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool chosen = choose(56);
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previous);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(readbytes(kMapPageFile), old) << "the old page was cut";
  EXPECT_TRUE(shell.opened.empty());
  std::vector<std::string> t = noticetexts();
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t.back(), std::string("Schreibfehler in celltowers.html: ") + std::strerror(EFBIG));
  for (const auto& e : fs::directory_iterator("."))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// --- fontpar.dat and settings.dat ------------------------------------------------------------

TEST_F(FilesTest, DialogFontChosenWithoutFontFileIsStoredAndBackAfterARestart) {
  usedemo();
  start();
  const fontrecord screen = screenfontrec;
  FontSpec f;
  f.name = "Liberation Serif";
  f.pointsize = 14;
  fonts.results.push_back(f);
  ASSERT_TRUE(choose(62));
  ASSERT_EQ(fonts.openings.size(), 1u);
  EXPECT_EQ(fonts.openings[0].title, std::string("Dialogschrift wählen"_w));
  ASSERT_EQ(fs::file_size(kFontFile), 5u * 47) << "record 4 was not stored";
  fontrecord r0 = emptyfontrecord(), r4 = emptyfontrecord();
  ASSERT_TRUE(ReadFontRecord(kFontFile, 0, r0));
  EXPECT_EQ(std::memcmp(&r0, &screen, sizeof r0), 0) << "record 0 is the screen font in use";
  ASSERT_TRUE(ReadFontRecord(kFontFile, 4, r4));
  EXPECT_EQ(fontrecordname(r4), "Liberation Serif");
  EXPECT_TRUE(noticetexts().empty());

  window.reset();
  resetprogram();
  start();
  EXPECT_EQ(fontrecordname(dialogfontrec), "Liberation Serif");
  EXPECT_EQ(+dialogfontrec.size, 14);
  ASSERT_NE(dialogfont(), nullptr);
  EXPECT_EQ(dialogfont()->family(), "Liberation Serif");
}

TEST_F(FilesTest, DialogFontKeepsTheRecordsAlreadyStored) {
  const std::string two = recordsof({sized("Courier New", 11), sized("Symbol", 9)});
  writebytes(kFontFile, two);
  usedemo();
  start();
  FontSpec f;
  f.name = "Liberation Sans";
  f.pointsize = 12;
  fonts.results.push_back(f);
  ASSERT_TRUE(choose(62));
  std::string after = readbytes(kFontFile);
  ASSERT_EQ(after.size(), 5u * 47);
  EXPECT_EQ(after.substr(0, two.size()), two);
  fontrecord fill = defaultfontrecord();
  EXPECT_EQ(after.substr(2 * 47, 47), std::string(reinterpret_cast<const char*>(&fill), 47));
}

TEST_F(FilesTest, CorruptFontRecordsStartWithFontsTheFontChoiceOffers) {
  writebytes(kFontFile, recordsof({sized("Arial", 32767), sized("Arial", 9), sized("Arial", 9),
                                   sized("Arial", 9), sized("Arial", 32767)}));
  usedemo();
  start();
  EXPECT_EQ(screenfont.pointsize, kFontSizeMax);
  EXPECT_EQ(+screenfontrec.size, kFontSizeMax) << "the font choice would open on a giant font";
  EXPECT_EQ(+dialogfontrec.size, kFontSizeMax);
  ASSERT_NE(dialogfont(), nullptr);
  EXPECT_LE(dialogfont()->pointSize(), kFontSizeMax);
}

TEST_F(FilesTest, FifosInPlaceOfTheRecordFilesDoNotHoldTheStart) {
  if (::mkfifo(kSettingsFile, 0666) != 0 || ::mkfifo(kFontFile, 0666) != 0)
    GTEST_SKIP() << "this machine can't make a FIFO here: " << std::strerror(errno);
  usedemo();
  // An open that blocks ends the test program after 20 s instead of
  // hanging it.
  ::alarm(20);
  start();
  ::alarm(0);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(fontrecordname(screenfontrec), "Arial");
  EXPECT_EQ(+settings.labelchoice, 0);
  EXPECT_TRUE(noticetexts().empty());
}

TEST_F(FilesTest, FontsAndSettingsThatCannotBeStoredSaySo) {
  usedemo();
  start();
  fs::create_directory(kFontFile);
  fs::create_directory(kSettingsFile);
  FontSpec f;
  f.name = "Liberation Sans";
  f.pointsize = 16;
  fonts.results.push_back(f);
  ASSERT_TRUE(choose(61));
  ASSERT_EQ(noticetexts().size(), 1u) << "the lost font choice was silent";
  EXPECT_EQ(noticetexts()[0].rfind("Schreibfehler in fontpar.dat: ", 0), 0u) << noticetexts()[0];
  EXPECT_EQ(screenfont.pointsize, 16) << "the choice holds for this run";

  settingschanged = 1;
  closeprogram();
  ASSERT_EQ(noticetexts().size(), 2u) << "the lost marker choice was silent";
  EXPECT_EQ(noticetexts()[1].rfind("Schreibfehler in settings.dat: ", 0), 0u) << noticetexts()[1];
  EXPECT_TRUE(fs::is_directory(kSettingsFile));
}

}  // namespace
