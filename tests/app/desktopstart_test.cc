// A start from the desktop's launcher in a folder without a database: the
// start-up notice, then the offer of the ways in.  The demo database is
// written without freezing the window and under the busy pointer; a
// failed or hanging write ends the program with a notice; the user's own
// database files are never replaced.
#include <QLabel>
#include <QPushButton>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "app/waysindlg.h"
#include "tests/app/apptest.h"

using namespace apptest;

namespace {

const std::string kNotice = std::string("Datei germtowers.dat konnte nicht geöffnet werden!"_w);

// Presses the offer's button with that object name once the offer shows;
// records what the offer said.
struct OfferAnswer {
  explicit OfferAnswer(const QString& button)
      : modal([this, button](Tzodialog* d) {
          offered = qobject_cast<TwaysinDlg*>(d) != nullptr;
          for (QLabel* l : d->findChildren<QLabel*>()) text += fromqstring(l->text()) + "\n";
          if (auto* b = d->findChild<QPushButton*>(button)) QTest::mouseClick(b, Qt::LeftButton);
        }) {}
  bool offered = false;
  std::string text;
  ModalAnswer modal;
};

// A demo writer of a small database that waits until the test lets it go.
struct HeldWriter {
  std::shared_ptr<std::atomic<bool>> release = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<std::atomic<std::uint64_t>> asked = std::make_shared<std::atomic<std::uint64_t>>(0);
  demowriter writer() const {
    return [release = release, ended = ended, asked = asked](const std::string& dir, std::uint64_t count,
                                                         const lockwaiting& how, bool keepexisting) {
      asked->store(count);
      while (!release->load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      demoresult r = writedemodatabase(dir, kDemoCount, how, keepexisting);
      ended->store(true);
      return r;
    };
  }
};

using DesktopStartTest = AppTest;

TEST_F(DesktopStartTest, EmptyFolderOffersDemoWrittenUnderBusyPointerWhileWindowPaints) {
  start();
  EXPECT_EQ(notices(kNotice), 1);
  HeldWriter held;
  // While the writer is held: the busy pointer is up and the window still
  // paints; then the writer is let go.
  bool busyseen = false;
  int paintsbefore = -1, paintsduring = -1;
  PaintCounter paints(window->client());
  int ticks = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (held.asked->load() == 0 || held.release->load()) return;
    if (++ticks > 400) held.release->store(true);  // no paint came: the checks below fail
    if (paintsbefore < 0) {
      paintsbefore = paints.count;
      window->client()->update();
      return;
    }
    paintsduring = paints.count;
    busyseen = QApplication::overrideCursor() != nullptr &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    if (paintsduring > paintsbefore) held.release->store(true);
  });
  watch.start(5);
  OfferAnswer answer("way_demo");
  EXPECT_TRUE(window->startupoffer({demoway(held.writer())}));
  EXPECT_TRUE(answer.offered);
  EXPECT_NE(answer.text.find("gibt es noch keine Zellendatenbank (germtowers.dat)."), std::string::npos);
  EXPECT_NE(answer.text.find("Demo-Datenbank: 200.000 erfundene Zellen"), std::string::npos);
  EXPECT_EQ(held.asked->load(), kDemoDefaultCount);
  EXPECT_TRUE(busyseen);
  EXPECT_GT(paintsduring, paintsbefore);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // The new database is open and listed, as "Turmfinder in Deutschland".
  EXPECT_TRUE(databaseopen());
  EXPECT_EQ(towercount, kDemoCount);
  EXPECT_EQ(resultcount, kDemoCount);
  EXPECT_TRUE(fs::exists("berlintowers.dat"));
  EXPECT_EQ(notices(kNotice), 1);
  EXPECT_TRUE(window->isVisible());
}

// turmcli prepare put a real database in place while the offer was open:
// the demo keeps it and the program lists it.
TEST_F(DesktopStartTest, DatabaseMadeWhileTheOfferWasOpenIsNeverReplacedByTheDemo) {
  start();
  demowriter other = [](const std::string& dir, std::uint64_t, const lockwaiting& how, bool keep) {
    writedemodatabase(dir, 7, how);  // the other run, before the demo gets the lock
    return writedemodatabase(dir, kDemoCount, how, keep);
  };
  OfferAnswer answer("way_demo");
  EXPECT_TRUE(window->startupoffer({demoway(other)}));
  EXPECT_EQ(fs::file_size("germtowers.dat"), 7u * 44);
  EXPECT_EQ(towercount, 7);
}

TEST_F(DesktopStartTest, BeendenEndsWithoutQuestionAndWritesNothing) {
  start();
  OfferAnswer answer("way_quit");
  EXPECT_FALSE(window->startupoffer(waysin()));
  EXPECT_TRUE(answer.offered);
  for (const auto& c : messages.calls) EXPECT_NE(c.text, "Programm beenden?");
  EXPECT_FALSE(fs::exists("germtowers.dat"));
  EXPECT_FALSE(fs::exists("berlintowers.dat"));
  ASSERT_FALSE(help.calls.empty());
  EXPECT_EQ(help.calls.back(), "quit");
}

// The real writer against a file-size limit: its error, and nothing left.
TEST_F(DesktopStartTest, DemoWriteBeyondFileSizeLimitGivesNoticeAndEnds) {
  start();
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 100'000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  OfferAnswer answer("way_demo");
  bool started = window->startupoffer(waysin());
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(started);
  ASSERT_FALSE(messages.calls.empty());
  const std::string& text = messages.calls.back().text;
  EXPECT_EQ(text.rfind("Die Demo-Datenbank konnte im Ordner ", 0), 0u) << text;
  EXPECT_NE(text.find(std::strerror(EFBIG)), std::string::npos) << text;
  EXPECT_NE(text.find("Turmfinder wird beendet."), std::string::npos) << text;
  EXPECT_EQ(messages.calls.back().kind, MsgKind::Error);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  for (const auto& e : fs::directory_iterator("."))
    EXPECT_EQ(e.path().filename().string().find(".germtowers"), std::string::npos) << e.path();
  EXPECT_FALSE(fs::exists("germtowers.dat"));
}

TEST_F(DesktopStartTest, HangingDemoWriteIsGivenUpAfterItsLimit) {
  start();
  HeldWriter held;
  OfferAnswer answer("way_demo");
  EXPECT_FALSE(window->startupoffer({demoway(held.writer(), std::chrono::milliseconds(200))}));
  ASSERT_FALSE(messages.calls.empty());
  EXPECT_NE(messages.calls.back().text.find("war sie noch nicht fertig"), std::string::npos)
      << messages.calls.back().text;
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(databaseopen());
  // The writer may still end later without harm.
  held.release->store(true);
  EXPECT_TRUE(waitfor([&] { return held.ended->load(); }));
}

// turmcli writing into the same folder (its folder lock held): the demo
// does not wait for it until the time limit, and says who is busy.
TEST_F(DesktopStartTest, DemoWhileAnotherRunHoldsFolderLockTellsSoAndEnds) {
  start();
  folderlock other;
  ASSERT_TRUE(other.lock(""));
  OfferAnswer answer("way_demo");
  EXPECT_FALSE(window->startupoffer(waysin()));
  ASSERT_FALSE(messages.calls.empty());
  const std::string& text = messages.calls.back().text;
  EXPECT_NE(text.find("Eine andere Änderung läuft gerade in ."_w), std::string::npos) << text;
  EXPECT_EQ(text.find("noch nicht fertig"), std::string::npos) << text;
  EXPECT_FALSE(fs::exists("germtowers.dat"));
}

// A database file that is there but cannot be opened is the user's: no
// demo over it, the close question as in a start in a folder.
TEST_F(DesktopStartTest, UnopenableOrBerlinOnlyDatabaseGetsCloseQuestionNotOffer) {
  for (int kase = 0; kase < 2; ++kase) {
    SCOPED_TRACE(kase);
    removeprogramfiles();
    resetprogram();
    if (kase == 0) fs::create_directory("germtowers.dat");
    if (kase == 1) {
      usedemo();
      fs::remove("germtowers.dat");
    }
    std::string berlin = kase == 1 ? readbytes("berlintowers.dat") : "";
    start();
    messages.answer(false);
    OfferAnswer answer("way_demo");
    EXPECT_TRUE(window->startupoffer(waysin()));  // No: the program goes on
    EXPECT_FALSE(answer.offered);
    EXPECT_EQ(messages.calls.back().text, "Programm beenden?");
    EXPECT_FALSE(fs::is_regular_file("germtowers.dat"));
    if (kase == 1) {
      EXPECT_EQ(readbytes("berlintowers.dat"), berlin);
      ASSERT_TRUE(choose(59));  // Daten » Turmfinder in Berlin
      EXPECT_TRUE(databaseopen());
    }
    window.reset();
  }
}

}  // namespace
