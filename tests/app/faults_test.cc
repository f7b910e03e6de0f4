// The program when its files fail under it: a database that shrinks while
// the list is shown, a database file replaced by a folder, a map page that
// cannot be created.  Every failure is reported once, nothing crashes and
// no exception leaves the event loop.
#include <cerrno>
#include <cstring>

#include "lib/dialog/dlgitems.h"
#include "tests/app/apptest.h"

using namespace apptest;

namespace {

class FaultTest : public AppTest {
 protected:
  void startlist() {
    usedemo();
    start();
    ASSERT_TRUE(choose(51));
  }
  // Error notices shown so far.
  int errors() const {
    int n = 0;
    for (const auto& c : messages.calls)
      if (c.type == RecordingMessageWindows::Call::Standard && c.kind == MsgKind::Error) ++n;
    return n;
  }
  // Several paints as the desktop would ask for them, with the event loop
  // running in between.
  void repaintseveral() {
    for (int i = 0; i < 5; ++i) {
      paint();
      window->invalidate();
      QTest::qWait(10);
    }
  }
  // The paint fails, is reported exactly once, and stays quiet after.
  void expectonereport() {
    repaintseveral();
    EXPECT_TRUE(waitfor([&] { return errors() >= 1; }));
    repaintseveral();
    clickrow(5);
    clickrow(6);
    repaintseveral();
    EXPECT_EQ(errors(), 1);
    EXPECT_EQ(noticecount(), 1);
    ASSERT_FALSE(messages.calls.empty());
    EXPECT_EQ(messages.calls[0].text.rfind("Lesefehler", 0), 0u) << messages.calls[0].text;
  }
};

TEST_F(FaultTest, DatabaseCutToHalfWhileListShownIsReportedOnce) {
  startlist();
  window->vscrollbar->setSliderPosition(1500);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == 1500; }));
  paint();
  fs::resize_file("germtowers.dat", 44u * kDemoCount / 2);
  expectonereport();
  // The front half still reads: back at the top the list is drawn again.
  window->vscrollbar->setSliderPosition(1);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == 1; }));
  EXPECT_EQ(record().at(2, 4), "   1");
}

TEST_F(FaultTest, ShrunkDatabaseStillShowsWhatCanBeRead) {
  startlist();
  fs::resize_file("germtowers.dat", 44u * 1000);
  window->vscrollbar->setSliderPosition(998);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == 998; }));
  Screen s = record();
  // Title, header and criteria line, the three entries still in the file,
  // then empty rows.
  EXPECT_EQ(s.line(1), " Turmfinder in Deutschland; Anzahl=2.000");
  EXPECT_EQ(s.at(2, 2), "Nr");
  EXPECT_EQ(s.line(3), " Auswahl:");
  EXPECT_EQ(s.at(kDatNr, 4), " 997");
  EXPECT_EQ(s.at(kDatNr, 6), " 999");
  EXPECT_FALSE(s.hasline(7));
  EXPECT_FALSE(s.hasline(8));
  // One notice for the failure, however often the list is painted and
  // scrolled between the readable and the lost part.
  repaintseveral();
  EXPECT_TRUE(waitfor([&] { return errors() >= 1; }));
  for (int pos : {1, 1500, 10, 1999}) {
    window->vscrollbar->setSliderPosition(pos);
    ASSERT_TRUE(waitfor([&] { return window->firstvisible() == pos; }));
    repaintseveral();
  }
  EXPECT_EQ(errors(), 1);
  EXPECT_EQ(noticecount(), 1);
}

TEST_F(FaultTest, SelectionOnShrunkDatabaseReportsTheCountTheFileHas) {
  startlist();
  fs::resize_file("germtowers.dat", 44u * 1000);
  ModalAnswer a([](Tzodialog* d) {
    setitemindex(itemof(d, 301), 2);  // UMTS
    clickbutton(d, 1);
  });
  ASSERT_TRUE(choose(53));
  ASSERT_TRUE(a.answered);
  EXPECT_EQ(errors(), 0);
  EXPECT_EQ(towercount, 1000);
  ASSERT_GT(resultcount, 0);
  for (int i = 1; i <= resultcount; ++i) EXPECT_LT(resultlist[i], 1000) << i;
  Screen s = record();
  EXPECT_NE(s.line(1).find("/1.000"), std::string::npos) << s.line(1);
  EXPECT_EQ(s.at(kArt, 4), "UMTS");
}

TEST_F(FaultTest, DatabaseCutTo43BytesIsReportedOnce) {
  startlist();
  paint();
  fs::resize_file("germtowers.dat", 43);
  expectonereport();
}

TEST_F(FaultTest, DatabaseCutToNothingIsReportedOnce) {
  startlist();
  paint();
  fs::resize_file("germtowers.dat", 0);
  expectonereport();
}

TEST_F(FaultTest, CommandsOnShrunkDatabaseReportAndKeepRunning) {
  startlist();
  clickrow(4);  // the map commands' object: record 0
  fs::resize_file("germtowers.dat", 0);
  std::vector<int> tags = {54, 55, 56, 57};
  for (int tag : tags) {
    int before = errors();
    ASSERT_TRUE(choose(tag)) << tag;
    EXPECT_EQ(errors(), before + 1) << tag;
  }
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_FALSE(fs::exists("celltowers.html"));
  QApplication::processEvents();
  EXPECT_TRUE(window->isVisible());
}

TEST_F(FaultTest, DatabaseReplacedByFolderBetweenCommands) {
  usedemo();
  start();
  ASSERT_TRUE(choose(59));
  ASSERT_EQ(dbfilename, "berlintowers.dat");
  fs::remove("germtowers.dat");
  fs::create_directory("germtowers.dat");
  ASSERT_TRUE(choose(58));
  ASSERT_TRUE(choose(51));
  EXPECT_EQ(notices(std::string("Datei germtowers.dat konnte nicht geöffnet werden!"_w)), 1);
  EXPECT_EQ(dbfilename, "berlintowers.dat");
  EXPECT_TRUE(databaseopen());
  Screen s = record();
  EXPECT_EQ(s.line(1).rfind(" Turmfinder in Berlin; Anzahl=", 0), 0u) << s.line(1);
  EXPECT_EQ(s.at(2, 4), "   1");
  EXPECT_EQ(errors(), 0);
}

TEST_F(FaultTest, OpenDatabaseReplacedByFolderStillReadsTheOpenFile) {
  startlist();
  fs::remove("germtowers.dat");
  fs::create_directory("germtowers.dat");
  repaintseveral();
  EXPECT_EQ(record().at(2, 4), "   1");
  clickrow(5);
  ASSERT_TRUE(choose(54));
  EXPECT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(noticecount(), 0);
}

TEST_F(FaultTest, MapPageThatCannotBeCreatedOpensNothing) {
  startlist();
  fs::create_directory("celltowers.html");
  ASSERT_TRUE(choose(56));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(fs::is_directory("celltowers.html"));
  // Not silent: the notice names the system's reason.
  ASSERT_EQ(errors(), 1);
  EXPECT_EQ(messages.calls.back().text, std::string("Schreibfehler in celltowers.html: ") + std::strerror(EISDIR));
  EXPECT_TRUE(window->isVisible());
}

TEST_F(FaultTest, CommandsWithoutDatabaseOpenNothingAndKeepRunning) {
  start();
  messages.answer(false);
  ASSERT_TRUE(window->startupcheck());
  ASSERT_TRUE(choose(51));
  for (int tag : {54, 55, 56, 57}) {
    int before = noticecount();
    ASSERT_TRUE(choose(tag)) << tag;
    EXPECT_LE(noticecount(), before + 1) << tag;
  }
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_FALSE(fs::exists("celltowers.html"));
  EXPECT_TRUE(record().pieces.empty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(FaultTest, StartWithDatabaseFolderShowsNotice) {
  fs::create_directory("germtowers.dat");
  start();
  EXPECT_EQ(notices(std::string("Datei germtowers.dat konnte nicht geöffnet werden!"_w)), 1);
  messages.answer(false);
  EXPECT_TRUE(window->startupcheck());
  EXPECT_FALSE(databaseopen());
}

}  // namespace
