// The commands of the menus, chosen through their menu items with the
// real dialogs answered: cell selection, map links and map page, both
// surrounding searches, the database switch, fonts, marker labels, the
// about box and the close question.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>

#include <algorithm>

#include "lib/dialog/dlgitems.h"
#include "lib/support/strnum.h"
#include "maps/maplinks.h"
#include "query/listrows.h"
#include "tests/app/apptest.h"

using namespace apptest;

namespace {

constexpr int kTypeId = 301, kNetidId = 302, kAreaId = 303, kCellidId = 304;  // cell selection fields
constexpr int kFieldId = 300;                  // one-field dialogs, first radio button
constexpr int kOk = 1, kCancel = 2;

void typeinto(Tzodialog* d, int id, const QString& text) {
  auto* e = qobject_cast<QLineEdit*>(itemof(d, id));
  if (e == nullptr) return;
  e->setFocus();
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  QTest::keyClicks(e, text);
}

// Answers the cell selection dialog with a type index and a net id.
std::function<void(Tzodialog*)> selection(int typeindex, const QString& netid, int button = kOk) {
  return [=](Tzodialog* d) {
    setitemindex(itemof(d, kTypeId), typeindex);
    typeinto(d, kNetidId, netid);
    clickbutton(d, button);
  };
}

// Record numbers of the file's records with this type code and net id.
std::vector<std::int32_t> matching(const std::string& file, int typecode, int netid) {
  std::vector<std::int32_t> out;
  std::vector<ttowerrec> recs = readallrecords(file);
  for (std::size_t i = 0; i < recs.size(); ++i)
    if (recs[i].typecode == typecode && recs[i].netid == netid)
      out.push_back(static_cast<std::int32_t>(i));
  return out;
}

std::vector<std::int32_t> currentlist() {
  return std::vector<std::int32_t>(resultlist.begin() + 1, resultlist.begin() + 1 + resultcount);
}

std::string grouped(std::int32_t v) { return longtostrgrouped('.', 4, v); }

class CommandTest : public AppTest {
 protected:
  // The demo database, the list view open.
  void startlist() {
    usedemo();
    start();
    ASSERT_TRUE(choose(51));
  }
  // Chooses tag while answer handles the dialog it opens; true when a
  // dialog came and was answered.
  bool choosewithdialog(int tag, std::function<void(Tzodialog*)> answer) {
    ModalAnswer a(std::move(answer));
    if (!choose(tag)) return false;
    return a.answered;
  }
};

// --- cell selection ----------------------------------------------------------------------

using CellSelectionTest = CommandTest;

TEST_F(CellSelectionTest, UmtsNetOneListsExactlyTheMatchingRecords) {
  startlist();
  ASSERT_TRUE(choosewithdialog(53, selection(2, "1")));
  std::vector<std::int32_t> want = matching("germtowers.dat", 2, 1);
  ASSERT_FALSE(want.empty());
  EXPECT_EQ(currentlist(), want);
  Screen s = record();
  EXPECT_EQ(s.line(1), " Turmfinder in Deutschland; Anzahl=" + grouped(static_cast<std::int32_t>(want.size())) +
                           "/2.000");
  EXPECT_EQ(s.at(kArt, 3), "UMTS");
  EXPECT_EQ(s.at(kNetz, 3), "1 Telekom");
  EXPECT_EQ(s.at(kArt, 4), "UMTS");
  EXPECT_EQ(s.at(kDatNr, 4), grouped(want[0]));
  EXPECT_EQ(window->firstvisible(), 1);
}

TEST_F(CellSelectionTest, LteNetTwoOnSampleDataListsExactlyTheMatchingRecords) {
  if (!makesamplecache()) GTEST_SKIP() << "sample data missing";
  fs::copy_file(fs::path(kSampleDir) / "germtowers.dat", "germtowers.dat");
  start();
  ASSERT_TRUE(choose(51));
  ASSERT_TRUE(choosewithdialog(53, selection(4, "2")));
  std::vector<std::int32_t> want = matching("germtowers.dat", 4, 2);
  ASSERT_FALSE(want.empty());
  EXPECT_EQ(currentlist(), want);
  Screen s = record();
  EXPECT_EQ(s.at(kArt, 3), "LTE");
  EXPECT_EQ(s.at(kNetz, 3), "2 Vodafone");
  EXPECT_EQ(s.at(kArt, 4), "LTE");
}

TEST_F(CellSelectionTest, CancelChangesNothing) {
  startlist();
  ASSERT_TRUE(choosewithdialog(53, selection(2, "1")));
  std::vector<std::int32_t> before = currentlist();
  ttowerrec crit = criteria;
  ASSERT_TRUE(choosewithdialog(53, selection(4, "3", kCancel)));
  EXPECT_EQ(currentlist(), before);
  EXPECT_EQ(std::memcmp(&crit, &criteria, sizeof crit), 0);
  EXPECT_EQ(record().at(kArt, 3), "UMTS");
}

TEST_F(CellSelectionTest, EmptyCriteriaListAllFromTopWithoutDistanceColumn) {
  startlist();
  clickrow(4);
  ASSERT_TRUE(choose(57));
  ASSERT_TRUE(surroundingresult);
  ASSERT_GE(resultcount, 20);
  window->vscrollbar->setSliderPosition(5);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == 5; }));
  ASSERT_TRUE(choosewithdialog(53, selection(2, "1")));
  ASSERT_FALSE(surroundingresult);
  clickrow(4);
  ASSERT_TRUE(choose(57));
  ASSERT_TRUE(surroundingresult);
  ASSERT_TRUE(choosewithdialog(53, selection(0, "0")));
  EXPECT_EQ(resultcount, kDemoCount);
  EXPECT_EQ(resultlist[1], 0);
  EXPECT_EQ(resultlist[kDemoCount], kDemoCount - 1);
  EXPECT_FALSE(surroundingresult);
  EXPECT_EQ(window->firstvisible(), 1);
  Screen s = record();
  EXPECT_EQ(s.line(1), " Turmfinder in Deutschland; Anzahl=2.000");
  EXPECT_EQ(s.at(2, 4), "   1");
  EXPECT_EQ(s.at(kDist, 4), "<none>");
}

TEST_F(CellSelectionTest, EmptyNumberFieldsMeanAny) {
  startlist();
  ASSERT_TRUE(choosewithdialog(53, selection(2, "1")));
  ASSERT_LT(resultcount, kDemoCount);
  bool closed = false;
  ASSERT_TRUE(choosewithdialog(53, [&](Tzodialog* d) {
    setitemindex(itemof(d, kTypeId), 0);
    for (int id : {kNetidId, kAreaId, kCellidId}) typeinto(d, id, "");
    clickbutton(d, kOk);
    closed = !d->isVisible();
    if (!closed) clickbutton(d, kCancel);
  }));
  EXPECT_TRUE(closed);
  EXPECT_EQ(notices("Fehler"), 0);
  EXPECT_EQ(resultcount, kDemoCount);
  EXPECT_TRUE(criteriaempty(criteria));
}

TEST_F(CellSelectionTest, EmptyResultShowsCountZeroHeaderAndCriteria) {
  startlist();
  ASSERT_TRUE(choosewithdialog(53, selection(5, "999")));  // CDMA on net 999: none
  EXPECT_EQ(resultcount, 0);
  Screen s = record();
  EXPECT_EQ(s.line(1), " Turmfinder in Deutschland; Anzahl=   0/2.000");
  EXPECT_EQ(s.at(2, 2), "Nr");
  EXPECT_EQ(s.at(kArt, 3), "CDMA");
  EXPECT_EQ(s.lines(), 3);
  // Clicks on the empty list select nothing.
  clickrow(4);
  EXPECT_EQ(selectedline, 0);
}

// --- map links and map page -----------------------------------------------------------------

using MapTest = CommandTest;

const std::string kNothingSelected = std::string("Kein Objekt gewählt: bitte zuerst eine Zeile der Liste anklicken."_w);

TEST_F(MapTest, LinksBeforeAnyClickSayNothingIsSelectedAndOpenNothing) {
  startlist();
  ASSERT_TRUE(choose(54));
  ASSERT_TRUE(choose(55));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_EQ(notices(kNothingSelected), 2);
  // Nor does the object search start from an entry nobody chose.
  ASSERT_TRUE(choose(57));
  EXPECT_EQ(notices(kNothingSelected), 3);
  EXPECT_FALSE(surroundingresult);
  EXPECT_EQ(resultcount, kDemoCount);
}

TEST_F(MapTest, FirstClickOnEntryOneAfterASelectionIsTheObjectOfEveryCommand) {
  startlist();
  ASSERT_TRUE(choosewithdialog(53, selection(2, "1")));
  std::int32_t first = resultlist[1];
  ASSERT_NE(first, 0);
  clickonly(4);  // entry 1; the click alone, no paint asked for
  ASSERT_TRUE(choose(54));
  ttowerrec r = readallrecords("germtowers.dat")[static_cast<std::size_t>(first)];
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].second.rfind("https://www.google.com/maps?q=" + FormatCoordinate(r.latitude) + "," +
                                             FormatCoordinate(r.longitude),
                                         0),
            0u)
      << shell.opened[0].second;
  ASSERT_TRUE(choose(57));
  EXPECT_EQ(resultlist[1], first);
}

TEST_F(MapTest, EveryNewListForgetsTheRedRowAndTheCommandsObject) {
  startlist();
  std::vector<std::function<void()>> newlists = {
      [&] { ASSERT_TRUE(choosewithdialog(53, selection(2, "1"))); },
      [&] { ASSERT_TRUE(choose(57)); },
      [&] {
        ASSERT_TRUE(choosewithdialog(63, [](Tzodialog* d) {
          typeinto(d, kFieldId, "52.52,13.40");
          clickbutton(d, kOk);
        }));
      },
      [&] {
        ASSERT_TRUE(choose(50));
        ASSERT_TRUE(choose(59));
        ASSERT_TRUE(choose(51));
      },
  };
  int n = 0;
  for (auto& makelist : newlists) {
    clickrow(5);  // entry 2
    ASSERT_EQ(selectedline, 2) << n;
    std::vector<std::int32_t> before = currentlist();
    makelist();
    ASSERT_NE(currentlist(), before) << n;
    EXPECT_TRUE(record().linesincolour(colourof(12)).empty()) << n;
    std::size_t links = shell.opened.size();
    int said = notices(kNothingSelected);
    ASSERT_TRUE(choose(55));
    EXPECT_EQ(shell.opened.size(), links) << n;
    EXPECT_EQ(notices(kNothingSelected), said + 1) << n;
    ++n;
  }
}

TEST_F(MapTest, LinksShowTheClickedRowsObject) {
  startlist();
  clickrow(8);  // list index 5: record 4
  ASSERT_EQ(currentobject, 4);
  ttowerrec r = readallrecords("germtowers.dat")[4];
  ASSERT_TRUE(choose(54));
  ASSERT_TRUE(choose(55));
  ASSERT_EQ(shell.opened.size(), 2u);
  std::string lat = FormatCoordinate(r.latitude), lon = FormatCoordinate(r.longitude);
  EXPECT_EQ(shell.opened[0].second.rfind("https://www.google.com/maps?q=" + lat + "," + lon, 0), 0u)
      << shell.opened[0].second;
  EXPECT_EQ(shell.opened[1].second.rfind("https://www.openstreetmap.org/?", 0), 0u);
  EXPECT_NE(shell.opened[1].second.find("&mlat=" + lat + "&mlon=" + lon), std::string::npos)
      << shell.opened[1].second;
}

TEST_F(MapTest, MapPageOfManyShowsNoticeAndFirstTwentyObjects) {
  startlist();
  ASSERT_TRUE(choose(56));
  EXPECT_EQ(notices("Es werden nur die ersten 20 Objekte gezeigt"), 1);
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], std::make_pair(std::string("open"), std::string("celltowers.html")));
  std::string page = readbytes("celltowers.html");
  EXPECT_NE(page.find("var lonLat20 = "), std::string::npos);
  EXPECT_EQ(page.find("var lonLat21 = "), std::string::npos);
  EXPECT_EQ(page.find("popsi1"), std::string::npos);  // labels off at start
  std::vector<ttowerrec> recs = readallrecords("germtowers.dat");
  EXPECT_NE(page.find("var lonLat1 = new OpenLayers.LonLat(" + FormatCoordinate(recs[0].longitude) + "," +
                      FormatCoordinate(recs[0].latitude) + ")"),
            std::string::npos);
}

TEST_F(MapTest, MapPageOfEmptyResultWritesAndOpensNothing) {
  startlist();
  ASSERT_TRUE(choosewithdialog(53, selection(5, "999")));
  ASSERT_EQ(resultcount, 0);
  ASSERT_TRUE(choose(56));
  EXPECT_FALSE(fs::exists("celltowers.html"));
  EXPECT_TRUE(shell.opened.empty());
  // Not silent: the notice says that there is nothing to show.
  ASSERT_EQ(noticecount(), 1);
  EXPECT_EQ(messages.calls.back().text,
            std::string("Die Liste ist leer: keine Objekte für die Karte, celltowers.html wird nicht geschrieben."_w));
}

// --- surrounding searches -------------------------------------------------------------------------

using SurroundingTest = CommandTest;

TEST_F(SurroundingTest, ObjectSearchListsClickedObjectFirstWithDistances) {
  startlist();
  clickrow(6);  // record 2
  ASSERT_EQ(+selectedobject, 2);
  ttowerrec r = readallrecords("germtowers.dat")[2];
  ASSERT_TRUE(choose(57));
  EXPECT_TRUE(surroundingresult);
  ASSERT_GE(resultcount, 20);
  EXPECT_EQ(resultlist[1], 2);
  Screen s = record();
  EXPECT_EQ(s.at(kDist, 2), "Dist");
  EXPECT_EQ(s.at(kDist, 3), realtostr(6, 6, toext(tolerancelon) + toext(tolerancelat)));
  EXPECT_EQ(s.at(kLaenge, 3), realtostr(6, 6, r.longitude));
  EXPECT_EQ(s.at(kBreite, 3), realtostr(6, 6, r.latitude));
  EXPECT_EQ(s.at(kDatNr, 4), "   2");
  EXPECT_EQ(s.at(kDist, 4), "0.000000");
  // Rows ordered by distance.
  std::vector<ttowerrec> recs = readallrecords("germtowers.dat");
  long double last = -1;
  for (int i = 1; i <= std::min(resultcount, 100); ++i) {
    const ttowerrec& x = recs[static_cast<std::size_t>(resultlist[i])];
    long double d = std::fabs(toext(x.longitude) - toext(r.longitude)) +
                    std::fabs(toext(x.latitude) - toext(r.latitude));
    EXPECT_GE(d, last) << i;
    last = d;
  }
  EXPECT_TRUE(window->vscrollbar->isVisible() == (resultcount > 20));
}

TEST_F(SurroundingTest, PositionSearchAroundEnteredPosition) {
  startlist();
  ASSERT_TRUE(choosewithdialog(63, [](Tzodialog* d) {
    typeinto(d, kFieldId, "52.52,13.40");
    clickbutton(d, kOk);
  }));
  EXPECT_EQ(positiontext, "52.52,13.40");
  EXPECT_TRUE(surroundingresult);
  EXPECT_GE(resultcount, 1);
  Screen s = record();
  EXPECT_EQ(s.at(kLaenge, 3), "13.400000");
  EXPECT_EQ(s.at(kBreite, 3), "52.520000");
  EXPECT_EQ(s.at(kDist, 2), "Dist");
  EXPECT_NE(s.at(kDist, 4), "<none>");
}

// Types text into the position input and presses OK; a dialog that stays
// open is cancelled.
std::function<void(Tzodialog*)> position(const std::string& text) {
  return [text](Tzodialog* d) {
    typeinto(d, kFieldId, QString::fromStdString(text));
    clickbutton(d, kOk);
    QPointer<Tzodialog> open(d);
    QTimer::singleShot(200, [open] {
      if (open && open->isVisible()) clickbutton(open, kCancel);
    });
  };
}

TEST_F(SurroundingTest, UnreadablePositionGivesNoticeWithExampleAndNoSearch) {
  startlist();
  int n = 0;
  for (const char* text : {"abc", "52,52 13,40", "52.5000000", "52.50;13.40", ""}) {
    std::vector<std::int32_t> before = currentlist();
    ASSERT_TRUE(choosewithdialog(63, position(text))) << text;
    ASSERT_TRUE(waitfor([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_EQ(currentlist(), before) << text;
    EXPECT_FALSE(surroundingresult) << text;
    ++n;
    ASSERT_EQ(noticecount(), n) << text;
    EXPECT_NE(messages.calls.back().text.find("Beispiel: \"52.497973,13.342015\""), std::string::npos)
        << messages.calls.back().text;
    EXPECT_EQ(record().at(kDist, 4), "<none>");
  }
}

TEST_F(SurroundingTest, PositionOutsideTheEarthGivesNoticeAndNoSearch) {
  startlist();
  int n = 0;
  for (const char* text : {"1e400,13.4", "52.5,180.5", "-90.1,13.4", "52.5,-1e9"}) {
    std::vector<std::int32_t> before = currentlist();
    ASSERT_TRUE(choosewithdialog(63, position(text))) << text;
    EXPECT_EQ(currentlist(), before) << text;
    EXPECT_FALSE(surroundingresult) << text;
    ++n;
    ASSERT_EQ(noticecount(), n) << text;
    EXPECT_NE(messages.calls.back().text.find("-90 und 90"), std::string::npos) << messages.calls.back().text;
    EXPECT_NE(messages.calls.back().text.find("-180 und 180"), std::string::npos);
  }
  // The edges themselves are positions; a short text too.
  ASSERT_TRUE(choosewithdialog(63, position("-90,180")));
  EXPECT_TRUE(surroundingresult);
  ASSERT_TRUE(choosewithdialog(63, position("52.5,13.4")));
  EXPECT_EQ(record().at(kLaenge, 3), "13.400000");
  EXPECT_EQ(noticecount(), n);
}

TEST_F(SurroundingTest, PositionInputCancelledChangesNothing) {
  startlist();
  ASSERT_TRUE(choosewithdialog(63, [](Tzodialog* d) {
    typeinto(d, kFieldId, "52.52,13.40");
    clickbutton(d, kCancel);
  }));
  EXPECT_EQ(positiontext, "");
  EXPECT_EQ(resultcount, kDemoCount);
}

// --- database switch ------------------------------------------------------------------------------

using SwitchTest = CommandTest;

TEST_F(SwitchTest, BerlinAndBackShowTheirTitlesAndCounts) {
  usedemo();
  start();
  std::int32_t berlin = static_cast<std::int32_t>(readallrecords("berlintowers.dat").size());
  ASSERT_GT(berlin, 0);
  ASSERT_TRUE(choose(59));
  EXPECT_EQ(dbfilename, "berlintowers.dat");
  EXPECT_EQ(towercount, berlin);
  EXPECT_EQ(resultcount, berlin);
  ASSERT_TRUE(choose(51));
  EXPECT_EQ(record().line(1), " Turmfinder in Berlin; Anzahl=" + grouped(berlin));
  ASSERT_TRUE(choose(50));
  ASSERT_TRUE(choose(58));
  ASSERT_TRUE(choose(51));
  EXPECT_EQ(record().line(1), " Turmfinder in Deutschland; Anzahl=2.000");
  EXPECT_EQ(noticecount(), 0);
}

TEST_F(SwitchTest, SwitchToTheOpenFileReloadsNothing) {
  startlist();
  ASSERT_TRUE(choosewithdialog(53, selection(2, "1")));
  std::vector<std::int32_t> before = currentlist();
  ASSERT_LT(before.size(), static_cast<std::size_t>(kDemoCount));
  ASSERT_TRUE(choose(50));
  ASSERT_TRUE(choose(58));
  EXPECT_EQ(currentlist(), before);
  EXPECT_EQ(noticecount(), 0);
}

TEST_F(SwitchTest, MissingBerlinFileKeepsGermanyAndShowsNotice) {
  usedemo(false);
  start();
  ASSERT_TRUE(choose(59));
  EXPECT_EQ(notices(std::string("Datei berlintowers.dat konnte nicht geöffnet werden!"_w)), 1);
  EXPECT_EQ(dbfilename, "germtowers.dat");
  EXPECT_EQ(resultcount, kDemoCount);
  ASSERT_TRUE(choose(51));
  Screen s = record();
  EXPECT_EQ(s.line(1), " Turmfinder in Deutschland; Anzahl=2.000");
  EXPECT_EQ(s.at(2, 4), "   1");
}

TEST_F(SwitchTest, ObjectClickedInOldFileIsNotLookedUpInNewFile) {
  startlist();
  std::vector<ttowerrec> berlin = readallrecords("berlintowers.dat");
  ASSERT_LT(berlin.size(), 1500u);
  window->vscrollbar->setSliderPosition(1500);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == 1500; }));
  clickrow(4);
  ASSERT_EQ(currentobject, 1499);
  ASSERT_TRUE(choose(50));
  ASSERT_TRUE(choose(59));
  ASSERT_TRUE(choose(51));
  paint();
  // Record 1499 does not exist in the Berlin file: nothing is selected
  // there until the user clicks.
  ASSERT_TRUE(choose(54));
  ASSERT_TRUE(choose(57));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_EQ(notices(kNothingSelected), 2);
  EXPECT_EQ(noticecount(), 2);
  EXPECT_TRUE(record().linesincolour(colourof(12)).empty());
  clickrow(4);
  ASSERT_TRUE(choose(54));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_NE(shell.opened[0].second.find("q=" + FormatCoordinate(berlin[0].latitude) + "," +
                                        FormatCoordinate(berlin[0].longitude)),
            std::string::npos);
}

TEST_F(SwitchTest, SwitchClearsTheCriteriaAndTheDistanceColumn) {
  startlist();
  ASSERT_TRUE(choosewithdialog(63, position("52.52,13.40")));
  ASSERT_TRUE(surroundingresult);
  ASSERT_EQ(record().at(kLaenge, 3), "13.400000");
  ASSERT_TRUE(choose(50));
  ASSERT_TRUE(choose(59));
  ASSERT_TRUE(choose(51));
  EXPECT_TRUE(criteriaempty(criteria));
  EXPECT_FALSE(surroundingresult);
  Screen s = record();
  EXPECT_EQ(s.line(3), " Auswahl:");
  EXPECT_EQ(s.at(kDist, 4), "<none>");
  // The map page is titled after the criteria: nothing of the old search.
  EXPECT_EQ(selectiontitle(criteria, 255), "Turmfinder");
}

TEST_F(SwitchTest, ObjectSearchOnEmptyDatabaseSaysItHoldsNoCells) {
  writebytes("germtowers.dat", "");
  start();
  ASSERT_TRUE(databaseopen());
  ASSERT_TRUE(choose(51));
  clickrow(4);
  for (int tag : {57, 54}) {
    int before = noticecount();
    ASSERT_TRUE(choose(tag));
    EXPECT_EQ(noticecount(), before + 1);
    EXPECT_EQ(messages.calls.back().text, std::string("Die Datenbank enthält keine Zellen."_w));
    EXPECT_EQ(messages.calls.back().kind, MsgKind::Information);
  }
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(SwitchTest, StartPageNamesBerlinAfterSwitch) {
  usedemo();
  start();
  ASSERT_TRUE(choose(59));
  Screen s = record();
  bool found = false;
  for (const Piece& p : s.pieces) found |= p.text == "Turmfinder in Berlin";
  EXPECT_TRUE(found);
}

// --- fonts, marker labels, about, close ------------------------------------------------------------

using SettingsTest = CommandTest;

TEST_F(SettingsTest, BiggerScreenFontRedrawsListAndStoresRecordZero) {
  startlist();
  Screen small = record();
  int smallline = lineheight;
  ASSERT_TRUE(choose(50));
  FontSpec big;
  big.name = "Arial";
  big.pointsize = 20;
  fonts.results.push_back(big);
  ASSERT_TRUE(choose(61));
  ASSERT_TRUE(choose(51));
  ASSERT_EQ(fonts.openings.size(), 1u);
  EXPECT_EQ(fonts.openings[0].title, std::string("Bildschirm-Schrift wählen"_w));
  Screen large = record();
  EXPECT_GT(lineheight, smallline);
  EXPECT_LT(large.lines(), small.lines());
  EXPECT_EQ(large.at(2, 4), "   1");
  ASSERT_TRUE(fs::exists("fontpar.dat"));
  EXPECT_EQ(fs::file_size("fontpar.dat"), 47u);
  fontrecord r{};
  ASSERT_TRUE(ReadFontRecord("fontpar.dat", 0, r));
  EXPECT_EQ(+r.size, 20);
  EXPECT_EQ(fontrecordname(r), "Arial");
}

TEST_F(SettingsTest, CancelledScreenFontKeepsListAndWritesNothing) {
  startlist();
  int before = record().lines();
  ASSERT_TRUE(choose(50));
  ASSERT_TRUE(choose(61));
  ASSERT_TRUE(choose(51));
  EXPECT_EQ(fonts.openings.size(), 1u);
  EXPECT_EQ(record().lines(), before);
  EXPECT_FALSE(fs::exists("fontpar.dat"));
}

TEST_F(SettingsTest, CancelledMarkerChoiceStillWritesSettingsAfterYes) {
  usedemo();
  start();
  ASSERT_TRUE(choosewithdialog(64, [](Tzodialog* d) { clickbutton(d, kCancel); }));
  EXPECT_FALSE(fs::exists("settings.dat"));
  messages.answer(false);
  ASSERT_TRUE(choose(1));
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(fs::exists("settings.dat"));
  EXPECT_TRUE(help.calls.empty());
  messages.answer(true);
  ASSERT_TRUE(choose(1));
  EXPECT_FALSE(window->isVisible());
  ASSERT_TRUE(fs::exists("settings.dat"));
  EXPECT_EQ(fs::file_size("settings.dat"), 83u);
  EXPECT_EQ(readbytes("settings.dat"), std::string(83, '\0'));
  EXPECT_EQ(help.calls, std::vector<std::string>{"quit"});
}

TEST_F(SettingsTest, MarkerLabelsOnAreStoredAndLabelTheMapPage) {
  usedemo();
  start();
  ASSERT_TRUE(choosewithdialog(64, [](Tzodialog* d) {
    QTest::mouseClick(itemof(d, kFieldId + 1), Qt::LeftButton, {}, QPoint(5, 5));
    clickbutton(d, kOk);
  }));
  EXPECT_EQ(+settings.labelchoice, 1);
  ASSERT_TRUE(choose(51));
  ASSERT_TRUE(choose(56));
  EXPECT_NE(readbytes("celltowers.html").find("popsi1"), std::string::npos);
  messages.answer(true);
  EXPECT_TRUE(window->CloseQuery());
  std::string stored = readbytes("settings.dat");
  ASSERT_EQ(stored.size(), 83u);
  EXPECT_EQ(stored[0], 1);
  EXPECT_EQ(stored[1], 0);
}

TEST_F(SettingsTest, AboutBoxIsTitledUeberTurmfinder) {
  usedemo();
  start();
  QString title, first;
  ASSERT_TRUE(choosewithdialog(60, [&](Tzodialog* d) {
    title = d->windowTitle();
    if (auto* l = qobject_cast<QLabel*>(itemof(d, 200))) first = l->text();
    clickbutton(d, kOk);
  }));
  EXPECT_EQ(title, QString::fromUtf8("über Turmfinder"));
  EXPECT_EQ(first, "Turmfinder in Deutschland");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
