// The window's imports driven as a user does, the file dialog answered by
// the scripted double, "Abbrechen" pressed from a timer.
#include <QPushButton>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "app/importcommands.h"
#include "app/waysindlg.h"
#include "lib/support/folderlock.h"
#include "lib/support/strnum.h"
#include "platform/testing/scripted_filedialog.h"
#include "tests/app/apptest.h"

using namespace apptest;

namespace {

const std::string kSample = TURM_SHARED_DIR "/data/opencellid-sample.csv";
const char* kRefDir = "import-reference";

// The sample converted by preparedatabase itself: what the window must give.
const prepareresult& reference() {
  static prepareresult r = [] {
    fs::create_directories(kRefDir);
    prepareoptions o;
    o.csvpath = kSample;
    o.dir = kRefDir;
    return preparedatabase(o);
  }();
  return r;
}

bool hasline(const std::string& text, const std::string& line) {
  return ("\n" + text + "\n").find("\n" + line + "\n") != std::string::npos;
}

// Runs act on every tick while the progress dialog is up.
struct WhileImporting : QTimer {
  explicit WhileImporting(std::function<void(TimportProgressDlg*)> act) {
    connect(this, &QTimer::timeout, [act = std::move(act)] {
      if (auto* d = qobject_cast<TimportProgressDlg*>(QApplication::activeModalWidget())) act(d);
    });
    start(5);
  }
};

void presscancel(TimportProgressDlg* d) {
  if (auto* b = d->findChild<QPushButton*>("importcancel"); b->isEnabled()) QTest::mouseClick(b, Qt::LeftButton);
}

bool busypointer() {
  return QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

class ImportTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    if (!fs::exists(kSample)) GTEST_SKIP() << kSample << " fehlt (../shared nicht da)";
    ASSERT_TRUE(reference().ok) << reference().error;
  }
  std::vector<std::string> newnotices() {  // since the last call
    std::vector<std::string> out;
    for (; seen_ < messages.calls.size(); ++seen_) out.push_back(messages.calls[seen_].text);
    return out;
  }
  void expectkept(const std::string& german, const std::string& berlin) {
    EXPECT_TRUE(readbytes("germtowers.dat") == german) << "germtowers.dat changed";
    EXPECT_TRUE(readbytes("berlintowers.dat") == berlin) << "berlintowers.dat changed";
    for (const auto& e : fs::directory_iterator("."))
      EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  }
  ScriptedFileDialog files;
  std::size_t seen_ = 0;
};

// From the demo database to the real sample, a day's diff and a damaged
// download: the summary's counts as preparedatabase gives them, the new
// list with nothing selected, record numbers kept by the diff.
TEST_F(ImportTest, SampleThenADiffThenADamagedFile) {
  usedemo();
  start();
  EXPECT_EQ(item(65)->text().remove('&'), toqstring("Export einlesen…"_w));
  EXPECT_EQ(item(66)->text().remove('&'), toqstring("Tages-Diff einspielen…"_w));
  bool busy = false;
  WhileImporting watch([&](TimportProgressDlg*) { busy |= busypointer(); });
  files.openresults.push_back(kSample);
  newnotices();
  ASSERT_TRUE(choose(65));
  ASSERT_EQ(files.openings.size(), 1u);
  EXPECT_EQ(files.openings[0].folder, fs::current_path().string());
  EXPECT_EQ(files.openings[0].filters[0].patterns, "*.csv *.csv.gz");
  EXPECT_TRUE(busy);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  const preparecounts& c = reference().counts;
  std::vector<std::string> shown = newnotices();
  ASSERT_EQ(shown.size(), 1u);
  for (const std::string& line :
       {"Gelesen: " + groupdigits(c.rows) + " Zeilen", "germtowers.dat: " + groupdigits(c.german) + " Zellen",
        "berlintowers.dat: " + groupdigits(c.berlin) + " Zellen",
        std::string("Andere Länder: "_w) + groupdigits(c.othercountry) + " Zeilen",
        std::string("Übersprungen: "_w) + groupdigits(c.skippedtotal()) + " Zeilen"})
    EXPECT_TRUE(hasline(shown[0], line)) << line << " in:\n" << shown[0];
  expectkept(readbytes(std::string(kRefDir) + "/germtowers.dat"),
             readbytes(std::string(kRefDir) + "/berlintowers.dat"));
  EXPECT_EQ(towercount, static_cast<std::int32_t>(c.german));
  EXPECT_EQ(resultcount, towercount);
  EXPECT_EQ(window->displaymode(), 2);
  EXPECT_EQ(record().line(1), " Turmfinder in Deutschland; Anzahl=" + groupdigits(c.german));

  // The sample's first German cell moved, a new one in Berlin, one bad row.
  clickrow(4);
  writebytes("diff.csv",
             "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n"
             "GSM,262,2,852,2521,0,10.951234,50.181234,15000,201,1,1294561074,1700000000,0\n"
             "LTE,262,1,4660,99999901,0,13.400000,52.520000,500,3,1,1700000000,1700000000,0\n"
             "LTE,262,1,70000,5,0,13.400000,52.520000,500,3,1,1700000000,1700000000,0\n");
  std::vector<ttowerrec> before = readallrecords("germtowers.dat");
  files.openresults.push_back("diff.csv");
  ASSERT_TRUE(choose(50));
  ASSERT_TRUE(choose(66));
  std::vector<ttowerrec> after = readallrecords("germtowers.dat");
  ASSERT_EQ(after.size(), before.size() + 1);
  EXPECT_NE(std::memcmp(&after[0], &before[0], sizeof(ttowerrec)), 0);
  EXPECT_EQ(std::memcmp(&after[1], &before[1], (before.size() - 1) * sizeof(ttowerrec)), 0);
  EXPECT_EQ(readallrecords("berlintowers.dat").size(), c.berlin + 1);
  shown = newnotices();
  EXPECT_TRUE(hasline(shown.at(0), std::string("Aktualisiert: 1, neu: 1, unverändert: 0 Zellen"_w))) << shown[0];
  EXPECT_TRUE(hasline(shown[0], std::string("Übersprungen: 1 Zeilen (Area 1)"_w))) << shown[0];
  EXPECT_EQ(towercount, static_cast<std::int32_t>(c.german + 1));
  EXPECT_EQ(resultcount, towercount);
  EXPECT_EQ(selectedline, 0);

  // A damaged gzip: the reason, and the files as they were.
  std::string damaged("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
  for (int i = 0; i < 4000; ++i) damaged += static_cast<char>((i * 7919) & 0xFF);
  writebytes("damaged.csv.gz", damaged);
  const std::string german = readbytes("germtowers.dat"), berlin = readbytes("berlintowers.dat");
  files.openresults.push_back("damaged.csv.gz");
  ASSERT_TRUE(choose(50));
  ASSERT_TRUE(choose(65));
  shown = newnotices();
  EXPECT_EQ(shown.at(0).rfind("Der Export damaged.csv.gz konnte nicht eingelesen werden:\n", 0), 0u) << shown[0];
  EXPECT_EQ(messages.calls.back().kind, MsgKind::Error);
  expectkept(german, berlin);

  // A day's diff chosen as a whole export: asked first, No keeps the files.
  fs::copy_file("diff.csv", "OCID-diff-cell-export-2026-12-08-T000000.csv", fs::copy_options::overwrite_existing);
  files.openresults.push_back("OCID-diff-cell-export-2026-12-08-T000000.csv");
  ASSERT_TRUE(choose(65));
  EXPECT_EQ(messages.calls.back().kind, MsgKind::Confirm);
  EXPECT_EQ(newnotices().size(), 1u);
  expectkept(german, berlin);
}

// Abbrechen halfway through an export that arrives slowly through a FIFO,
// and while another run holds the folder lock: the old files byte for
// byte; the window paints all along and does not close meanwhile.
TEST_F(ImportTest, CancelHalfwayAndWhileAnotherRunHoldsTheFolder) {
  usedemo();
  start();
  const std::string german = readbytes("germtowers.dat"), berlin = readbytes("berlintowers.dat");
  std::signal(SIGPIPE, SIG_IGN);
  fs::remove("feed.csv");
  ASSERT_EQ(::mkfifo("feed.csv", 0600), 0);
  std::atomic<bool> stop{false};
  std::thread feed([&stop] {
    int fd = -1;
    while (!stop && (fd = ::open("feed.csv", O_WRONLY | O_NONBLOCK)) < 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::fcntl(fd, F_SETFL, 0);
    const std::string csv = readbytes(kSample);
    for (int i = 0; i < 3 && !stop; ++i)  // about 11 MB, then silence
      if (::write(fd, csv.data(), csv.size()) < 0) break;
    while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::close(fd);
  });
  std::string progress;
  {
    int ticks = 0;
    WhileImporting watch([&](TimportProgressDlg* d) {
      if (++ticks > 2000) stop = true;  // a cancel that is not heard: the input ends, no hang
      if (d->statustext().find(" Zeilen") == std::string::npos || !progress.empty()) return;
      progress = d->statustext();
      presscancel(d);
    });
    files.openresults.push_back("feed.csv");
    newnotices();
    EXPECT_TRUE(choose(65));
  }
  stop = true;
  feed.join();
  fs::remove("feed.csv");
  EXPECT_NE(progress.find(" MB/s"), std::string::npos) << progress;
  EXPECT_EQ(newnotices(), std::vector<std::string>{
                              "Einlesen abgebrochen: germtowers.dat und berlintowers.dat bleiben, wie sie waren."});
  expectkept(german, berlin);

  folderlock other;
  ASSERT_TRUE(other.lock(""));
  std::string waiting;
  bool closed = true, busy = false;
  int paintsbefore = -1, paintsafter = -1;
  PaintCounter paints(window->client());
  WhileImporting watch([&](TimportProgressDlg* d) {
    if (d->statustext().find("Wartet auf") == std::string::npos) return;
    if (paintsbefore < 0) {
      waiting = d->statustext();
      busy = busypointer();
      closed = window->close();
      paintsbefore = paints.count;
      window->client()->update();
    } else if ((paintsafter = paints.count) > paintsbefore) {
      presscancel(d);
    }
  });
  files.openresults.push_back(kSample);
  ASSERT_TRUE(choose(65));
  EXPECT_EQ(waiting, std::string("Wartet auf eine andere Änderung in "_w) + pathtext(fs::current_path().string()) +
                         std::string(" …"_w));
  EXPECT_TRUE(busy);
  EXPECT_FALSE(closed);
  EXPECT_GT(paintsafter, paintsbefore);
  std::vector<std::string> shown = newnotices();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].rfind("Es wird gerade eingelesen", 0), 0u) << shown[0];
  EXPECT_EQ(shown[1].rfind("Einlesen abgebrochen", 0), 0u) << shown[1];
  expectkept(german, berlin);
  EXPECT_EQ(towercount, kDemoCount);
}

// An empty folder: the diff names "Export einlesen…" instead; the
// launcher's offer imports the sample after its file dialog was once
// cancelled (the offer comes again).
TEST_F(ImportTest, EmptyFolderDiffRefusedAndOfferImports) {
  start();
  newnotices();
  ASSERT_TRUE(choose(66));
  EXPECT_TRUE(files.openings.empty());
  std::vector<std::string> shown = newnotices();
  EXPECT_NE(shown.at(0).find(std::string("noch keine germtowers.dat. Bitte zuerst „Daten » Export einlesen…“"_w)),
            std::string::npos) << shown[0];

  int offers = 0;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* d = qobject_cast<TwaysinDlg*>(QApplication::activeModalWidget());
    if (d == nullptr || !d->isVisible() || offers++ >= 2) return;
    for (QPushButton* a : d->findChildren<QPushButton*>())  // three buttons side by side
      for (QPushButton* b : d->findChildren<QPushButton*>())
        EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry())) << fromqstring(a->text());
    QTest::mouseClick(d->findChild<QPushButton*>("way_import"), Qt::LeftButton);
  });
  answer.start(5);
  files.openresults = {std::nullopt, kSample};
  EXPECT_TRUE(window->startupoffer(waysin()));
  EXPECT_EQ(offers, 2);
  shown = newnotices();
  EXPECT_TRUE(hasline(shown.at(0), "germtowers.dat: " + groupdigits(reference().counts.german) + " Zellen"));
  EXPECT_EQ(towercount, static_cast<std::int32_t>(reference().counts.german));
  EXPECT_EQ(resultcount, towercount);
}

// The summary always fits one notice, every count kept.
TEST(ImportSummary, WorstCaseFitsANotice) {
  importoutcome o;
  o.updated = {.rows = 123'456'789, .updated = 1'234'567, .unchanged = 3'456'789, .added = 2'345'678,
               .superseded = 12'345, .othercountry = 100'000'000, .before = 2'399'999, .german = 2'500'000};
  for (int r = 0; r < kSkipReasons; ++r) o.updated.skipped[r] = 1'000'000;
  o.notes = {"Eine unterbrochene Ersetzung der Datenbank wurde zu Ende gebracht"};
  std::string text = importsummary(importkind::dailydiff, std::string(80, 'x'), o);
  EXPECT_LE(text.size(), 255u) << text;
  for (const std::string& line : {std::string("Gelesen: 123.456.789 Zeilen"),
                                  std::string("Aktualisiert: 1.234.567, neu: 2.345.678, unverändert: 3.456.789 Zellen"_w),
                                  std::string("germtowers.dat: 2.500.000 Zellen (vorher 2.399.999)"),
                                  std::string("Übersprungen: 7.000.000 Zeilen"_w)})
    EXPECT_TRUE(hasline(text, line)) << line << " in:\n" << text;
}

}  // namespace
