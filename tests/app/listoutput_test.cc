// The list taken elsewhere, as a user does it: "Liste exportieren…" with
// the save dialog answered, compared with what turmcli prints for the same
// list; a stopped or failed export keeping the old file; copies of a row
// and its links by Ctrl+C and the row's context menu; the start page on
// the demo database.
#include <sys/resource.h>

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>

#include <csignal>
#include <cstdio>

#include "maps/maplinks.h"
#include "tests/app/apptest.h"

using namespace apptest;

namespace {

constexpr int kFieldId = 300, kOk = 1;

// What turmcli prints for these arguments (its standard output).
std::string turmcli(const std::string& args) {
  std::string out;
  FILE* p = popen((std::string(TURMCLI_BINARY) + " " + args + " 2>/dev/null").c_str(), "r");
  if (p == nullptr) return "<popen failed>";
  char buf[65536];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

// Files of the folder whose names start with a dot (temporaries).
int hiddenfiles(const fs::path& dir) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().front() == '.') ++n;
  return n;
}

class ListOutputTest : public AppTest {
 protected:
  void startlist() {
    usedemo();
    start();
    ASSERT_TRUE(choose(51));
  }
  // Exports the list through the menu item, the save dialog answering
  // path and type.
  void exportto(const std::string& path, int type) {
    files.saveresults.push_back(SaveChoice{path, type});
    ASSERT_TRUE(choose(67));
  }
  ScriptedFileDialog files;
};

TEST_F(ListOutputTest, EachFormatHoldsTheBytesTurmcliPrintsForTheSameList) {
  startlist();
  ModalAnswer a([](Tzodialog* d) {
    auto* e = qobject_cast<QLineEdit*>(itemof(d, kFieldId));
    e->setText("52.52,13.40");
    clickbutton(d, kOk);
  });
  ASSERT_TRUE(choose(63));
  ASSERT_TRUE(waitfor([&] { return a.answered && QApplication::activeModalWidget() == nullptr; }));
  ASSERT_TRUE(surroundingresult);
  ASSERT_GT(resultcount, 0);

  const std::string near = "near --db germtowers.dat --position 52.52,13.40 --format ";
  const struct {
    const char* file;
    int type;
    const char* format;
  } cases[] = {{"liste.csv", 0, "csv"}, {"liste.geojson", 1, "geojson"}, {"liste.kml", 2, "kml"},
               // A name without an extension: the chosen type decides.
               {"ohne-endung", 2, "kml"},
               // A name's own extension wins over the chosen type.
               {"wirklich.csv", 1, "csv"}};
  for (const auto& c : cases) {
    exportto(fs::absolute(c.file).string(), c.type);
    EXPECT_EQ(readbytes(c.file), turmcli(near + c.format)) << c.file;
    ASSERT_FALSE(messages.calls.empty());
    EXPECT_NE(messages.calls.back().text.find(" Einträge in "_w), std::string::npos)
        << messages.calls.back().text;
  }
  // The dialog offered the three types, starting with the one used last.
  ASSERT_EQ(files.openings.size(), 5u);
  EXPECT_TRUE(files.openings[0].save);
  ASSERT_EQ(files.openings[0].filters.size(), 3u);
  EXPECT_EQ(files.openings[0].filters[1].patterns, "*.geojson");
  EXPECT_EQ(files.openings[0].suggested, "turmliste.csv");
  EXPECT_EQ(files.openings[1].initial, 0);
  EXPECT_EQ(files.openings[2].initial, 1);
  EXPECT_EQ(files.openings[2].suggested, "turmliste.geojson");
  EXPECT_EQ(hiddenfiles(fs::current_path()), 0);
}

TEST_F(ListOutputTest, StoppedOrFailedExportKeepsTheOldFileAndLeavesNoTemporary) {
  // A list long enough for the progress dialog.
  fs::create_directories("long");
  ASSERT_TRUE(writedemodatabase("long", 120'000).ok);
  fs::copy_file("long/germtowers.dat", "germtowers.dat", fs::copy_options::overwrite_existing);
  start();
  ASSERT_TRUE(choose(51));
  writebytes("alt.csv", "alte Liste\n");

  // Abbrechen in the progress dialog as soon as it is there.
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (auto* p = window->findChild<QProgressDialog*>("exportprogress")) p->cancel();
  });
  stopper.start(0);
  exportto(fs::absolute("alt.csv").string(), 0);
  stopper.stop();
  EXPECT_EQ(readbytes("alt.csv"), "alte Liste\n");
  ASSERT_FALSE(messages.calls.empty());
  EXPECT_NE(messages.calls.back().text.find("abgebrochen"), std::string::npos);

  // A write beyond the file-size limit.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  exportto(fs::absolute("alt.csv").string(), 0);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(readbytes("alt.csv"), "alte Liste\n");
  EXPECT_EQ(messages.calls.back().kind, MsgKind::Error);
  EXPECT_NE(messages.calls.back().text.find("Schreibfehler"), std::string::npos)
      << messages.calls.back().text;

  // A folder that is not there.
  exportto(fs::absolute("fehlt/liste.csv").string(), 0);
  EXPECT_EQ(messages.calls.back().kind, MsgKind::Error);
  EXPECT_FALSE(fs::exists("fehlt"));
  EXPECT_EQ(hiddenfiles(fs::current_path()), 0);
}

TEST_F(ListOutputTest, CtrlCAndTheRowMenuCopyTheSelectedRowOrItsLinks) {
  startlist();
  QApplication::clipboard()->clear();
  // Nothing selected yet: a notice, nothing copied.
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(notices(std::string("Kein Objekt gewählt: bitte zuerst eine Zeile der Liste anklicken."_w)), 1);
  EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());

  clickrow(5);  // entry 2
  ASSERT_EQ(selectedline, 2);
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  QStringList lines = QApplication::clipboard()->text().split('\n');
  ASSERT_GE(lines.size(), 2);
  EXPECT_EQ(lines[0], QString::fromUtf8("Nr\tDatNr\tArt\tNetz\tArea\tCellid\tLänge\tBreite\tRange(m)"));
  QStringList values = lines[1].split('\t');
  ASSERT_EQ(values.size(), 9);
  EXPECT_EQ(values[0], "2");
  EXPECT_EQ(values[1], "1");  // record number of entry 2 of the whole list

  // A right click selects the row under it and offers its copies.
  int y = rowmiddle(8);  // entry 5
  QTest::mouseClick(window->client(), Qt::RightButton, {}, QPoint(60, y));
  QMenu* menu = nullptr;
  ASSERT_TRUE(waitfor([&] { return (menu = window->findChild<QMenu*>("entrymenu")) && menu->isVisible(); }));
  EXPECT_EQ(selectedline, 5);
  ttowerrec rec = readallrecords("germtowers.dat")[4];
  for (const auto& [name, want] :
       {std::pair{"copyosm", OpenStreetMapLink(rec.longitude, rec.latitude)},
        std::pair{"copygoogle", GoogleMapsLink(rec.latitude, rec.longitude)}}) {
    QAction* a = menu->findChild<QAction*>(name);
    ASSERT_NE(a, nullptr) << name;
    a->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), want) << name;
  }
  menu->close();
}

TEST_F(ListOutputTest, StartPageNamesTheWayToRealDataOnlyOnTheDemoDatabase) {
  auto lastline = [&] {
    Screen s = record();
    return s.pieces.empty() ? std::string() : s.pieces.back().text;
  };
  usedemo();
  start();
  EXPECT_EQ(lastline(), demoline());
  window.reset();
  resetprogram();
  if (!makesamplecache()) GTEST_SKIP() << "no shared sample";
  fs::copy_file(fs::path(kSampleDir) / "germtowers.dat", "germtowers.dat",
                fs::copy_options::overwrite_existing);
  start();
  EXPECT_EQ(lastline(), sourceline());
}

}  // namespace
