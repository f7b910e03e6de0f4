// The window's imports driven as a user does: Daten » "Export einlesen…"
// and "Tages-Diff einspielen…" with the file dialog answered by the
// scripted double, the progress dialog's "Abbrechen" pressed from a timer,
// and the launcher's offer with its import way.
#include <QLabel>
#include <QPushButton>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

#include "app/importcommands.h"
#include "app/importprogress.h"
#include "app/waysindlg.h"
#include "ingest/update.h"
#include "lib/support/folderlock.h"
#include "lib/support/strnum.h"
#include "platform/testing/scripted_filedialog.h"
#include "tests/app/apptest.h"

using namespace apptest;

namespace {

const std::string kSample = TURM_SHARED_DIR "/data/opencellid-sample.csv";
const char* kRefDir = "import-reference";

// The sample converted by preparedatabase itself, once: the files and
// counts the window's import must give.
const prepareresult* reference() {
  static prepareresult r;
  static bool made = false;
  if (!made) {
    made = true;
    fs::create_directories(kRefDir);
    prepareoptions o;
    o.csvpath = kSample;
    o.dir = kRefDir;
    r = preparedatabase(o);
  }
  return r.ok ? &r : nullptr;
}

std::string refbytes(const char* name) { return readbytes((fs::path(kRefDir) / name).string()); }

bool containsline(const std::string& text, const std::string& line) {
  return ("\n" + text + "\n").find("\n" + line + "\n") != std::string::npos;
}

// The progress dialog while it is up, or nullptr.
TimportProgressDlg* progressdialog() {
  return qobject_cast<TimportProgressDlg*>(QApplication::activeModalWidget());
}

// Runs act once on every tick while the progress dialog is up.
class WhileImporting {
 public:
  explicit WhileImporting(std::function<void(TimportProgressDlg*)> act) : act_(std::move(act)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (TimportProgressDlg* d = progressdialog(); d != nullptr && d->isVisible()) act_(d);
    });
    timer_.start(5);
  }

 private:
  std::function<void(TimportProgressDlg*)> act_;
  QTimer timer_;
};

void presscancel(TimportProgressDlg* d) {
  if (auto* b = d->findChild<QPushButton*>("importcancel"); b != nullptr && b->isEnabled())
    QTest::mouseClick(b, Qt::LeftButton);
}

bool busypointer() {
  return QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

// Feeds a FIFO with the sample's rows, several times over, then keeps it
// open without a word until stopped: an export that arrives slowly.
class SlowFeed {
 public:
  explicit SlowFeed(const std::string& path) : path_(path) {
    std::signal(SIGPIPE, SIG_IGN);
    ::mkfifo(path.c_str(), 0600);
    std::string csv = readbytes(kSample);
    thread_ = std::thread([this, csv] {
      int fd = -1;
      while (!stop_ && (fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK)) < 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      if (fd < 0) return;
      ::fcntl(fd, F_SETFL, 0);
      std::string body = csv.substr(csv.find('\n') + 1);
      std::string data = csv + body + body + body;
      for (std::size_t at = 0; at < data.size() && !stop_;) {
        ssize_t n = ::write(fd, data.data() + at, data.size() - at);
        if (n <= 0) break;
        at += static_cast<std::size_t>(n);
      }
      while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      ::close(fd);
    });
  }
  ~SlowFeed() {
    stop_ = true;
    thread_.join();
    ::unlink(path_.c_str());
  }

 private:
  std::string path_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class ImportTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    if (!fs::exists(kSample)) GTEST_SKIP() << kSample << " fehlt (../shared nicht da)";
    ASSERT_NE(reference(), nullptr);
  }
  // The notices shown since the call before (texts).
  std::vector<std::string> newnotices() {
    std::vector<std::string> out;
    for (; seen_ < messages.calls.size(); ++seen_) out.push_back(messages.calls[seen_].text);
    return out;
  }
  // Every temporary file the ingest leaves while it works.
  static int temporaries() {
    int n = 0;
    for (const auto& e : fs::directory_iterator("."))
      if (e.path().filename().string().rfind(".", 0) == 0 && e.path().filename().string().find(".tmp") != std::string::npos) ++n;
    return n;
  }
  ScriptedFileDialog files;
  std::size_t seen_ = 0;
};

// From the demo database to the real sample and then a day's diff: the
// menu items, the dialog's start folder and filters, the summary's counts
// as preparedatabase gives them, the new list with nothing selected.
TEST_F(ImportTest, SampleThroughTheMenuThenADiffKeepsRecordNumbers) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  clickrow(5);
  ASSERT_NE(selectedline, 0);
  ASSERT_TRUE(choose(50));
  ASSERT_NE(item(65), nullptr);
  // Their captions as read (the access key's "&" is the menu builder's).
  auto caption = [this](int tag) { return item(tag)->text().remove(QChar('&')); };
  EXPECT_EQ(caption(65), toqstring("Export einlesen…"_w));
  EXPECT_EQ(caption(66), toqstring("Tages-Diff einspielen…"_w));

  bool busy = false;
  WhileImporting watch([&](TimportProgressDlg*) { busy |= busypointer(); });
  files.openresults.push_back(kSample);
  newnotices();
  ASSERT_TRUE(choose(65));
  ASSERT_EQ(files.openings.size(), 1u);
  EXPECT_EQ(files.openings[0].folder, fs::current_path().string());
  ASSERT_EQ(files.openings[0].filters.size(), 2u);
  EXPECT_EQ(files.openings[0].filters[0].patterns, "*.csv *.csv.gz");
  EXPECT_TRUE(busy);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  const preparecounts& c = reference()->counts;
  std::vector<std::string> shown = newnotices();
  ASSERT_EQ(shown.size(), 1u);
  const std::string& summary = shown[0];
  EXPECT_TRUE(containsline(summary, "Gelesen: " + groupdigits(c.rows) + " Zeilen")) << summary;
  EXPECT_TRUE(containsline(summary, "germtowers.dat: " + groupdigits(c.german) + " Zellen")) << summary;
  EXPECT_TRUE(containsline(summary, "berlintowers.dat: " + groupdigits(c.berlin) + " Zellen")) << summary;
  EXPECT_TRUE(containsline(summary, std::string("Andere Länder: "_w) + groupdigits(c.othercountry) + " Zeilen"))
      << summary;
  EXPECT_NE(summary.find(std::string("Übersprungen: "_w) + groupdigits(c.skippedtotal()) + " Zeilen"),
            std::string::npos)
      << summary;
  EXPECT_EQ(readbytes("germtowers.dat"), refbytes("germtowers.dat"));
  EXPECT_EQ(readbytes("berlintowers.dat"), refbytes("berlintowers.dat"));
  // Open and listed: the whole new file, nothing selected.
  EXPECT_EQ(towercount, static_cast<std::int32_t>(c.german));
  EXPECT_EQ(resultcount, static_cast<std::int32_t>(c.german));
  EXPECT_EQ(selectedline, 0);
  EXPECT_EQ(window->displaymode(), 2);
  EXPECT_EQ(record().line(1), " Turmfinder in Deutschland; Anzahl=" + groupdigits(c.german));

  // A diff: the sample's first German cell moved, one new cell in Berlin.
  clickrow(4);
  writebytes("diff.csv",
             "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n"
             "GSM,262,2,852,2521,0,10.951234,50.181234,15000,201,1,1294561074,1700000000,0\n"
             "LTE,262,1,4660,99999901,0,13.400000,52.520000,500,3,1,1700000000,1700000000,0\n");
  std::vector<ttowerrec> before = readallrecords("germtowers.dat");
  files.openresults.push_back("diff.csv");
  ASSERT_TRUE(choose(50));
  ASSERT_TRUE(choose(66));
  std::vector<ttowerrec> after = readallrecords("germtowers.dat");
  ASSERT_EQ(after.size(), before.size() + 1);
  EXPECT_NE(std::memcmp(&after[0], &before[0], sizeof(ttowerrec)), 0);  // changed in place
  for (std::size_t i = 1; i < before.size(); ++i)
    ASSERT_EQ(std::memcmp(&after[i], &before[i], sizeof(ttowerrec)), 0) << "DatNr " << i;
  EXPECT_EQ(readallrecords("berlintowers.dat").size(), c.berlin + 1);
  shown = newnotices();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(containsline(shown[0], std::string("Aktualisiert: 1, neu: 1, unverändert: 0 Zellen"_w))) << shown[0];
  EXPECT_TRUE(containsline(shown[0], "germtowers.dat: " + groupdigits(c.german + 1) + " Zellen (vorher " +
                                         groupdigits(c.german) + ")"))
      << shown[0];
  EXPECT_EQ(towercount, static_cast<std::int32_t>(c.german + 1));
  EXPECT_EQ(resultcount, towercount);
  EXPECT_EQ(selectedline, 0);
}

// Abbrechen halfway through a slowly arriving export, and while turmcli
// holds the folder: the old files byte for byte, no temporary file, the
// window painting all along and refusing to close meanwhile.
TEST_F(ImportTest, CancelHalfwayAndWhileAnotherRunHoldsTheFolderKeepsOldFiles) {
  usedemo();
  start();
  const std::string german = readbytes("germtowers.dat"), berlin = readbytes("berlintowers.dat");
  {
    SlowFeed feed("feed.csv");
    files.openresults.push_back("feed.csv");
    std::string progress;
    WhileImporting watch([&](TimportProgressDlg* d) {
      std::string status = d->statustext();
      if (status.find(" Zeilen") == std::string::npos) return;
      progress = status;
      presscancel(d);
    });
    newnotices();
    ASSERT_TRUE(choose(65));
    EXPECT_NE(progress.find(" MB/s"), std::string::npos) << progress;
    EXPECT_EQ(newnotices(), std::vector<std::string>{std::string(
                                "Einlesen abgebrochen: germtowers.dat und berlintowers.dat bleiben, wie sie waren.")});
    EXPECT_EQ(readbytes("germtowers.dat"), german);
    EXPECT_EQ(readbytes("berlintowers.dat"), berlin);
    EXPECT_EQ(temporaries(), 0);
  }

  folderlock other;
  ASSERT_TRUE(other.lock(""));
  files.openresults.push_back(kSample);
  std::string waitingline;
  bool closed = true, busy = false;
  int paintsbefore = -1, paintsafter = -1;
  PaintCounter paints(window->client());
  WhileImporting watch([&](TimportProgressDlg* d) {
    std::string status = d->statustext();
    if (status.find("Wartet auf") == std::string::npos) return;
    if (paintsbefore < 0) {
      waitingline = status;
      busy = busypointer();
      closed = window->close();  // refused while the import runs
      paintsbefore = paints.count;
      window->client()->update();
      return;
    }
    paintsafter = paints.count;
    if (paintsafter > paintsbefore) presscancel(d);
  });
  newnotices();
  ASSERT_TRUE(choose(65));
  EXPECT_EQ(waitingline.rfind("Wartet auf eine andere Änderung in "_w, 0), 0u) << waitingline;
  EXPECT_NE(waitingline.find(fs::current_path().filename().string()), std::string::npos) << waitingline;
  EXPECT_TRUE(busy);
  EXPECT_FALSE(closed);
  EXPECT_TRUE(window->isVisible());
  EXPECT_GT(paintsafter, paintsbefore);
  std::vector<std::string> shown = newnotices();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_NE(shown[0].find("Es wird gerade eingelesen"), std::string::npos) << shown[0];
  EXPECT_EQ(shown[1].rfind("Einlesen abgebrochen", 0), 0u) << shown[1];
  EXPECT_EQ(readbytes("germtowers.dat"), german);
  EXPECT_EQ(readbytes("berlintowers.dat"), berlin);
  EXPECT_TRUE(databaseopen());
  EXPECT_EQ(towercount, kDemoCount);
}

// What goes wrong says so and changes nothing: a damaged gzip, a diff
// without a database, the file dialog cancelled.
TEST_F(ImportTest, FailuresTellWhyAndKeepTheFiles) {
  std::string damaged("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
  for (int i = 0; i < 4000; ++i) damaged += static_cast<char>((i * 7919) & 0xFF);
  writebytes("damaged.csv.gz", damaged);

  start();  // no database: the start-up notice
  newnotices();
  ASSERT_TRUE(choose(66));
  EXPECT_TRUE(files.openings.empty());
  std::vector<std::string> shown = newnotices();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("noch keine germtowers.dat"), std::string::npos) << shown[0];
  EXPECT_NE(shown[0].find("Export einlesen…"_w), std::string::npos) << shown[0];
  EXPECT_FALSE(fs::exists("germtowers.dat"));

  usedemo();
  const std::string german = readbytes("germtowers.dat"), berlin = readbytes("berlintowers.dat");
  struct Case {
    int tag;
    std::optional<std::string> file;
    std::string notice;  // start of the one notice; "" none
  } cases[] = {
      {65, "damaged.csv.gz", "Der Export damaged.csv.gz konnte nicht eingelesen werden:\n"},
      {66, "damaged.csv.gz", "Der Tages-Diff damaged.csv.gz konnte nicht eingespielt werden:\n"},
      {65, std::nullopt, ""},
      {65, "missing.csv", "Der Export missing.csv konnte nicht eingelesen werden:\n"},
  };
  for (const Case& k : cases) {
    files.openresults.push_back(k.file);
    ASSERT_TRUE(choose(k.tag));
    shown = newnotices();
    if (k.notice.empty()) {
      EXPECT_TRUE(shown.empty()) << k.tag;
    } else {
      ASSERT_EQ(shown.size(), 1u) << k.notice;
      EXPECT_EQ(shown[0].rfind(k.notice, 0), 0u) << shown[0];
      EXPECT_NE(shown[0].find("bleiben, wie sie waren."), std::string::npos) << shown[0];
      EXPECT_EQ(messages.calls.back().kind, MsgKind::Error);
    }
    EXPECT_EQ(readbytes("germtowers.dat"), german);
    EXPECT_EQ(readbytes("berlintowers.dat"), berlin);
    EXPECT_EQ(temporaries(), 0);
  }
}

// The launcher's offer in an empty folder: the import way, its file dialog
// cancelled (the offer comes again), then the sample: open and listed.
TEST_F(ImportTest, LauncherOfferImportsAnExport) {
  start();
  std::vector<std::string> pressed = {"way_import", "way_import"};
  std::size_t next = 0;
  std::string offer;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* d = qobject_cast<TwaysinDlg*>(QApplication::activeModalWidget());
    if (d == nullptr || !d->isVisible() || next >= pressed.size()) return;
    for (QLabel* l : d->findChildren<QLabel*>()) offer += fromqstring(l->text()) + "\n";
    if (auto* b = d->findChild<QPushButton*>(QString::fromStdString(pressed[next++])))
      QTest::mouseClick(b, Qt::LeftButton);
  });
  answer.start(5);
  files.openresults = {std::nullopt, kSample};
  newnotices();
  EXPECT_TRUE(window->startupoffer(waysin()));
  EXPECT_EQ(next, 2u);
  EXPECT_EQ(files.openings.size(), 2u);
  EXPECT_NE(offer.find("Export einlesen: "), std::string::npos) << offer;
  const preparecounts& c = reference()->counts;
  std::vector<std::string> shown = newnotices();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(containsline(shown[0], "germtowers.dat: " + groupdigits(c.german) + " Zellen")) << shown[0];
  EXPECT_TRUE(databaseopen());
  EXPECT_EQ(towercount, static_cast<std::int32_t>(c.german));
  EXPECT_EQ(resultcount, towercount);
}

}  // namespace

namespace {

// The summary always fits one notice: the reasons of the skips while
// there is room for them, the counts always.
TEST(ImportSummary, FitsANoticeAndKeepsEveryCount) {
  importoutcome small;
  small.prepared.rows = 10;
  small.prepared.german = 7;
  small.prepared.berlin = 2;
  small.prepared.skipped[kSkipArea] = 1;
  small.prepared.skipped[kSkipCell] = 2;
  importoutcome large;
  large.updated.rows = 123'456'789;
  large.updated.updated = 1'234'567;
  large.updated.added = 2'345'678;
  large.updated.unchanged = 3'456'789;
  large.updated.before = 2'399'999;
  large.updated.german = 2'500'000;
  large.updated.berlin = 234'567;
  large.updated.othercountry = 100'000'000;
  large.updated.superseded = 12'345;
  for (int r = 0; r < kSkipReasons; ++r) large.updated.skipped[r] = 1'000'000 + static_cast<std::uint64_t>(r);
  large.notes = {"Eine unterbrochene Ersetzung der Datenbank wurde zu Ende gebracht"};
  struct Case {
    importkind kind;
    const importoutcome* outcome;
    std::string name;
    std::vector<std::string> lines;
  } cases[] = {
      {importkind::wholeexport, &small, "cell_towers.csv.gz",
       {"Export cell_towers.csv.gz eingelesen:", "Gelesen: 10 Zeilen", "germtowers.dat: 7 Zellen",
        "berlintowers.dat: 2 Zellen", std::string("Übersprungen: 3 Zeilen (Area 1, Zell-ID 2)"_w)}},
      {importkind::dailydiff, &large, std::string(80, 'x') + ".csv.gz",
       {"Gelesen: 123.456.789 Zeilen",
        std::string("Aktualisiert: 1.234.567, neu: 2.345.678, unverändert: 3.456.789 Zellen"_w),
        "germtowers.dat: 2.500.000 Zellen (vorher 2.399.999)", "berlintowers.dat: 234.567 Zellen",
        std::string("Übersprungen: "_w) + groupdigits(large.updated.skippedtotal()) + " Zeilen"}},
  };
  for (const Case& c : cases) {
    std::string text = importsummary(c.kind, c.name, *c.outcome);
    EXPECT_LE(text.size(), 255u) << text;
    for (const std::string& l : c.lines) EXPECT_TRUE(containsline(text, l)) << l << "\n in:\n" << text;
  }
}

}  // namespace
