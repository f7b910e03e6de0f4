// The main window as the user meets it: the start with and without the
// database, the start page and the list view with their menus, clicks on
// the list, resizing, help, and screenshots of both views.
#include <QMenu>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>

#include "lib/window/zostatusbar.h"
#include "tests/app/apptest.h"

using namespace apptest;

namespace {

const Rgb kRed = colourof(12);
const Rgb kBlack = colourof(0);

// --- start -------------------------------------------------------------------------

using StartTest = AppTest;

TEST_F(StartTest, MissingDatabaseNoticeNamesFileAndNoKeepsProgramRunning) {
  start();
  EXPECT_EQ(notices(std::string("Datei germtowers.dat konnte nicht geöffnet werden!"_w)), 1);
  messages.answer(false);
  EXPECT_TRUE(window->startupcheck());  // No: the program goes on
  ASSERT_FALSE(messages.calls.empty());
  EXPECT_EQ(messages.calls.back().text, "Programm beenden?");
  EXPECT_EQ(messages.calls.back().kind, MsgKind::Confirm);
  EXPECT_FALSE(databaseopen());
  EXPECT_TRUE(help.calls.empty());
}

TEST_F(StartTest, MissingDatabaseYesEndsProgram) {
  start();
  messages.answer(true);
  EXPECT_FALSE(window->startupcheck());
  ASSERT_FALSE(help.calls.empty());
  EXPECT_EQ(help.calls.back(), "quit");
}

TEST_F(StartTest, WithoutDatabaseListPaintsNothingAndClicksSelectNothing) {
  start();
  messages.answer(false);
  ASSERT_TRUE(window->startupcheck());
  ASSERT_TRUE(choose(51));
  EXPECT_EQ(window->displaymode(), 2);
  EXPECT_TRUE(record().pieces.empty());
  std::int32_t before = clickline;
  clickrow(5);
  EXPECT_EQ(selectedline, 0);
  EXPECT_EQ(clickline, before);
  int n = noticecount();
  paint();
  QApplication::processEvents();
  EXPECT_EQ(noticecount(), n);
}

TEST_F(StartTest, DatabaseCreatedLaterIsOpenedByTurmfinderInDeutschland) {
  start();
  messages.answer(false);
  ASSERT_TRUE(window->startupcheck());
  usedemo();
  ASSERT_TRUE(choose(58));
  EXPECT_TRUE(databaseopen());
  EXPECT_EQ(towercount, kDemoCount);
  EXPECT_EQ(resultcount, kDemoCount);
  ASSERT_TRUE(choose(51));
  Screen s = record();
  EXPECT_EQ(s.line(1), " Turmfinder in Deutschland; Anzahl=2.000");
  EXPECT_EQ(s.at(2, 4), "   1");
}

TEST_F(StartTest, StartWithoutSettingsFilesCreatesNeither) {
  usedemo();
  start();
  paint();
  EXPECT_EQ(noticecount(), 0);
  messages.answer(true);
  EXPECT_TRUE(window->CloseQuery());
  EXPECT_FALSE(fs::exists("settings.dat"));
  EXPECT_FALSE(fs::exists("fontpar.dat"));
}

// --- start page and list view ----------------------------------------------------------

using ViewTest = AppTest;

TEST_F(ViewTest, StartPageShowsMenu101AndDataSetName) {
  usedemo();
  start();
  EXPECT_EQ(window->displaymode(), 1);
  EXPECT_EQ(window->menuid(), 101);
  // Submenus are marked with "»" and every item has its access key (menu library).
  std::vector<std::string> want = {std::string("&Schließen"_w), std::string("&Daten»"_w),
                                   "&Turmfinder zeigen", std::string("&Einstellungen»"_w), "&Hilfe",
                                   std::string("&Über"_w)};
  EXPECT_EQ(barcaptions(), want);
  ASSERT_NE(item(1), nullptr);
  EXPECT_EQ(item(1)->hint, std::string("Das Programm schließen"_w));
  EXPECT_EQ(item(60)->hint, std::string("Über Turmfinder"_w));
  for (int tag : {58, 59, 61, 62, 64}) EXPECT_NE(item(tag), nullptr) << tag;
  EXPECT_EQ(item(53), nullptr);
  Screen s = record();
  std::vector<std::string> texts;
  for (const Piece& p : s.pieces) texts.push_back(p.text);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Turmfinder"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Turmfinder in Deutschland"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Version 0.9 "), texts.end());
  EXPECT_EQ(window->windowTitle(), "Turmfinder");
  EXPECT_FALSE(window->vscrollbar->isVisible());
}

TEST_F(ViewTest, TurmfinderZeigenShowsTitleHeaderCriteriaAndRows) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  EXPECT_EQ(window->displaymode(), 2);
  EXPECT_EQ(window->menuid(), 102);
  EXPECT_EQ(window->windowTitle(), "Turmfinder/Liste");
  EXPECT_TRUE(window->vscrollbar->isVisible());
  ASSERT_FALSE(barcaptions().empty());
  EXPECT_EQ(barcaptions().front(), std::string("&Zurück"_w));
  EXPECT_EQ(barcaptions().size(), 5u);
  EXPECT_EQ(barcaptions().back(), std::string("&Liste exportieren…"_w));
  Screen s = record();
  EXPECT_EQ(s.line(1), " Turmfinder in Deutschland; Anzahl=2.000");
  EXPECT_EQ(s.at(kLaenge, 2), std::string("Länge"_w));
  EXPECT_EQ(s.at(kDist, 2), "Dist");
  EXPECT_EQ(s.line(3), " Auswahl:");
  std::vector<ttowerrec> recs = readallrecords("germtowers.dat");
  ASSERT_EQ(recs.size(), static_cast<std::size_t>(kDemoCount));
  EXPECT_EQ(s.at(2, 4), "   1");
  EXPECT_EQ(s.at(kDatNr, 4), "   0");
  EXPECT_EQ(s.at(kArt, 4), gettypetext(recs[0]));
  EXPECT_EQ(s.at(2, 5), "   2");
  // The rows run to the bottom of the window; no distance column.
  EXPECT_EQ(s.lines(), gridlines);
  EXPECT_EQ(s.at(kDist, 4), "<none>");
  // Header and criteria bands: colours 10 and 9 across rows 2 and 3.
  ASSERT_GE(s.fills.size(), 2u);
  EXPECT_EQ(s.fills[0].colour, colourof(10));
  EXPECT_EQ(s.fills[1].colour, colourof(9));
}

TEST_F(ViewTest, DatabaseSwitchOnStartPageShowsNoScrollBar) {
  usedemo();
  start();
  ASSERT_TRUE(choose(59));
  ASSERT_GT(resultcount, 100);
  EXPECT_FALSE(window->vscrollbar->isVisible());
  ASSERT_TRUE(choose(58));
  EXPECT_FALSE(window->vscrollbar->isVisible());
  ASSERT_TRUE(choose(51));
  EXPECT_TRUE(window->vscrollbar->isVisible());
}

TEST_F(ViewTest, MenuHintIsClearedWhenItsMenuClosesOrItsCommandRuns) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  item(50)->hover();
  EXPECT_EQ(window->mainstatusbar->paneltext(3), std::string(" Zurück"_w));
  ASSERT_TRUE(choose(50));
  EXPECT_EQ(window->mainstatusbar->paneltext(3), "");
  // A submenu item's hint goes when its menu closes.
  TMenuItem* google = nullptr;
  ASSERT_TRUE(choose(51));
  google = item(54);
  ASSERT_NE(google, nullptr);
  QMenu* menu = nullptr;
  for (QMenu* m : window->menuBar()->findChildren<QMenu*>())
    if (m->actions().contains(google)) menu = m;
  ASSERT_NE(menu, nullptr);
  menu->popup(window->mapToGlobal(QPoint(50, 50)));
  ASSERT_TRUE(waitfor([&] { return menu->isVisible(); }));
  google->hover();
  EXPECT_NE(window->mainstatusbar->paneltext(3), "");
  menu->hide();
  EXPECT_EQ(window->mainstatusbar->paneltext(3), "");
}

TEST_F(ViewTest, MenuHintGoesWhenTheMenuIsLeftWithEscape) {
  usedemo();
  start();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QMenu* settings = item(61) != nullptr ? qobject_cast<QMenu*>(item(61)->parent()) : nullptr;
  ASSERT_NE(settings, nullptr);
  QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
  ASSERT_TRUE(waitfor([&] { return settings->isVisible(); }));
  QTest::keyClick(settings, Qt::Key_Down);
  ASSERT_TRUE(waitfor([&] { return window->mainstatusbar->paneltext(3) != ""; }));
  QTest::keyClick(settings, Qt::Key_Escape);
  ASSERT_TRUE(waitfor([&] { return !settings->isVisible(); }));
  // The menu bar still has the keyboard: the second Escape leaves it.
  QTest::keyClick(window->menuBar(), Qt::Key_Escape);
  EXPECT_TRUE(waitfor([&] { return window->mainstatusbar->paneltext(3) == ""; }, 500))
      << window->mainstatusbar->paneltext(3);
}

TEST_F(ViewTest, ZurueckReturnsToStartPageAndHidesScrollBar) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  ASSERT_TRUE(choose(50));
  EXPECT_EQ(window->displaymode(), 1);
  EXPECT_EQ(window->menuid(), 101);
  EXPECT_EQ(window->windowTitle(), "Turmfinder");
  EXPECT_FALSE(window->vscrollbar->isVisible());
  EXPECT_NE(item(51), nullptr);
  EXPECT_EQ(item(50), nullptr);
}

TEST_F(ViewTest, MenuBarClickedWithMouseOpensListAndSubmenu) {
  usedemo();
  start();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QMenuBar* bar = window->menuBar();
  QAction* show = item(51);
  ASSERT_NE(show, nullptr);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(show).center());
  ASSERT_TRUE(waitfor([&] { return window->displaymode() == 2; }));
  clickonly(4);  // entry 1: the object of the map command
  bar = window->menuBar();  // the list view has its own menu bar
  // "Auf Karte zeigen" -> "gewähltes Objekt in Google-Maps zeigen".
  QAction* maps = nullptr;
  for (QAction* a : bar->actions())
    if (a->menu() != nullptr && a->text().remove('&').startsWith("Auf Karte zeigen")) maps = a;
  ASSERT_NE(maps, nullptr);
  ASSERT_TRUE(waitfor([&] { return bar->isVisible() && !bar->actionGeometry(maps).isEmpty(); }));
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(maps).center());
  QMenu* menu = maps->menu();
  ASSERT_TRUE(waitfor([&] { return menu->isVisible(); }));
  TMenuItem* google = item(54);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(google).center());
  ASSERT_TRUE(waitfor([&] { return !shell.opened.empty(); }));
  EXPECT_EQ(shell.opened[0].first, "open");
  EXPECT_EQ(shell.opened[0].second.rfind("https://www.google.com/maps?q=", 0), 0u);
}

// --- clicks on the list ---------------------------------------------------------------------

using ClickTest = AppTest;

TEST_F(ClickTest, FirstClickOnEntryOneSelectsItAndRepaintsAtOnce) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  int y = rowmiddle(4);  // entry 1, record 0
  QApplication::processEvents();
  PaintCounter paints(window->client());
  // The very first click of the run, and no paint asked for after it.
  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(60, y));
  EXPECT_EQ(selectedline, 1);
  EXPECT_EQ(currentobject, 0);
  // The desktop repaints without the test asking for it.
  EXPECT_TRUE(waitfor([&] { return paints.count > 0; }));
  EXPECT_EQ(record().linesincolour(kRed), std::vector<int>{4});
}

TEST_F(ClickTest, RowsAboveTheEntriesOfAScrolledListSelectNothing) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  window->vscrollbar->setSliderPosition(101);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == 101; }));
  for (int row : {1, 2, 3}) {
    clickonly(row);
    EXPECT_EQ(selectedline, 0) << row;
  }
  // The very top of the client area.
  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(60, 0));
  EXPECT_EQ(selectedline, 0);
  EXPECT_TRUE(record().linesincolour(kRed).empty());
  clickonly(4);
  EXPECT_EQ(selectedline, 101);
}

TEST_F(ClickTest, ClickOnRowHighlightsItAndSelectsItsObject) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  clickrow(6);  // third data row: list index 3, record 2
  EXPECT_EQ(selectedline, 3);
  EXPECT_EQ(+selectedobject, 2);
  EXPECT_EQ(clickline, 3);
  Screen s = record();
  EXPECT_EQ(currentobject, 2);
  EXPECT_EQ(s.linesincolour(kRed), std::vector<int>{6});
  EXPECT_EQ(s.at(kDatNr, 6), "   2");
  // The colour goes back to black for the next row.
  ASSERT_TRUE(s.hasline(7));
  for (const Piece& p : s.pieces) {
    if (p.line != 7) continue;
    EXPECT_EQ(p.colour, kBlack);
  }
}

TEST_F(ClickTest, ClickNearRowBottomStillSelectsTheRowDrawnThere) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  paint();
  int y = gridtop + 4 * lineheight + lineheight - 1;  // last pixel of row 5
  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(700, y));
  EXPECT_EQ(selectedline, 2);
  y = gridtop + 4 * lineheight;  // first pixel of row 5
  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(5, y));
  EXPECT_EQ(selectedline, 2);
}

TEST_F(ClickTest, ClicksOnTitleHeaderAndCriteriaSelectNothing) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  for (int row : {1, 2, 3}) {
    clickrow(row);
    EXPECT_EQ(selectedline, 0) << row;
    EXPECT_EQ(selectedobject, 0) << row;
  }
  EXPECT_TRUE(record().linesincolour(kRed).empty());
}

TEST_F(ClickTest, ScrolledListSelectsTheEntryDrawnOnTheRow) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  window->vscrollbar->setSliderPosition(101);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == 101; }));
  Screen s = record();
  EXPECT_EQ(s.at(2, 4), " 101");
  clickrow(5);
  EXPECT_EQ(selectedline, 102);
  EXPECT_EQ(+selectedobject, 101);
  s = record();
  EXPECT_EQ(s.linesincolour(kRed), std::vector<int>{5});
  EXPECT_EQ(currentobject, 101);
}

TEST_F(ClickTest, ClickBelowLastEntryKeepsSelection) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  clickrow(4);
  ASSERT_EQ(selectedline, 1);
  window->vscrollbar->setSliderPosition(kDemoCount);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == kDemoCount; }));
  clickrow(6);  // below the one entry shown
  EXPECT_EQ(selectedline, 1);
  EXPECT_EQ(clickline, kDemoCount + 2);
  Screen s = record();
  EXPECT_EQ(s.at(2, 4), "2.000");
  EXPECT_FALSE(s.hasline(5));
}

// --- resize, help -------------------------------------------------------------------------------

using LayoutTest = AppTest;

TEST_F(LayoutTest, ResizeKeepsStatusBarAtBottomAndScrollBarAtRightEdge) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  for (QSize size : {QSize(700, 500), QSize(1000, 700)}) {
    window->resize(size);
    QTest::qWait(0);
    QWidget* client = window->client();
    ASSERT_TRUE(waitfor([&] { return window->vscrollbar->geometry().right() == client->width() - 1; }))
        << window->vscrollbar->geometry().right() << " " << client->width();
    QRect bar = window->vscrollbar->geometry();
    EXPECT_EQ(bar.top(), 0);
    EXPECT_TRUE(window->vscrollbar->isVisible());
    QRect status = window->mainstatusbar->geometry();
    QPoint statusbottom = window->mainstatusbar->mapTo(window.get(), QPoint(0, status.height()));
    EXPECT_EQ(statusbottom.y(), window->height()) << size.height();
    EXPECT_EQ(status.width(), window->width());
    // The bar ends above the status bar.
    QPoint barbottom = window->vscrollbar->mapTo(window.get(), QPoint(0, bar.height()));
    EXPECT_LE(barbottom.y(), window->mainstatusbar->mapTo(window.get(), QPoint(0, 0)).y());
  }
}

// A list of 15 entries under a 48-point screen font: only a few rows fit.
class ShortListTest : public AppTest {
 protected:
  void startbig() {
    usesmalldemo(15);
    start();
    FontSpec big;
    big.name = "Arial";
    big.pointsize = 48;
    fonts.results.push_back(big);
    ASSERT_TRUE(choose(61));
    ASSERT_TRUE(choose(51));
    paint();
    ASSERT_EQ(resultcount, 15);
    ASSERT_LT(rowsthatfit(), 15);
  }
  QScrollBar* bar() const { return window->vscrollbar; }
  // Entry rows wholly inside the client area after the last paint.
  int rowsthatfit() const { return (window->client()->height() - gridtop) / lineheight - 3; }
  void key(Qt::Key k) { QTest::keyClick(window->client(), k); }
  void wheel(int delta) {
    QPoint at(60, window->client()->height() / 2);
    QWheelEvent e(at, window->client()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window->client(), &e);
  }
};

TEST_F(ShortListTest, EntriesThatDoNotFitGetTheBarAndAreReachedByKeysAndWheel) {
  startbig();
  EXPECT_TRUE(waitfor([&] { return bar()->isVisible(); }));
  EXPECT_EQ(bar()->maximum(), 15);
  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(60, 2));  // the keyboard to the list
  key(Qt::Key_Down);
  EXPECT_EQ(window->firstvisible(), 2);
  key(Qt::Key_End);
  EXPECT_EQ(window->firstvisible(), 15);
  EXPECT_EQ(record().at(2, 4), "  15");
  key(Qt::Key_Home);
  EXPECT_EQ(window->firstvisible(), 1);
  key(Qt::Key_PageDown);
  EXPECT_EQ(window->firstvisible(), 1 + bar()->pageStep());
  key(Qt::Key_PageUp);
  key(Qt::Key_Up);
  EXPECT_EQ(window->firstvisible(), 1);
  wheel(-120);  // one notch towards the user: the rows below come up
  EXPECT_EQ(window->firstvisible(), 1 + QApplication::wheelScrollLines());
  wheel(120);
  EXPECT_EQ(window->firstvisible(), 1);
}

TEST_F(ShortListTest, BarFollowsResizeAndFontChange) {
  usesmalldemo(15);
  start();
  ASSERT_TRUE(choose(51));
  paint();
  ASSERT_GE(rowsthatfit(), 15);
  EXPECT_FALSE(bar()->isVisible());
  // Lower than the list: the bar comes.
  window->resize(900, 200);
  ASSERT_TRUE(waitfor([&] { return window->client()->height() < 200; }));
  EXPECT_TRUE(waitfor([&] { return bar()->isVisible(); }));
  bar()->setSliderPosition(10);
  ASSERT_TRUE(waitfor([&] { return window->firstvisible() == 10; }));
  // High enough again: the bar goes, and no entry stays above the screen.
  window->resize(900, 640);
  EXPECT_TRUE(waitfor([&] { return !bar()->isVisible(); }));
  EXPECT_EQ(window->firstvisible(), 1);
  EXPECT_EQ(record().at(2, 4), "   1");
  // A big font in the list view.
  FontSpec big;
  big.name = "Arial";
  big.pointsize = 48;
  fonts.results.push_back(big);
  window->runcommand(61);
  EXPECT_TRUE(waitfor([&] { return bar()->isVisible(); }));
}

// The rectangles of the paint events the desktop sends to a widget.
class PaintRects : public QObject {
 public:
  explicit PaintRects(QWidget* w) : w_(w) { w_->installEventFilter(this); }
  ~PaintRects() override { w_->removeEventFilter(this); }
  std::vector<QRect> rects;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == w_ && e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
    return false;
  }

 private:
  QWidget* w_;
};

using ScrollPaintTest = ShortListTest;

TEST_F(ScrollPaintTest, ScrolledListDrawsOnlyTheIncomingRowsAndLooksLikeAFullPaint) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  clickrow(30);  // entry 27: a red row that moves with the list
  QWidget* client = window->client();
  ASSERT_TRUE(waitfor([&] { return bar()->isVisible(); }));
  QApplication::processEvents();
  PaintRects paints(client);
  // Wheel, arrows and a page: each moves the list by fewer rows than fit.
  std::vector<std::function<void()>> steps = {
      [&] { wheel(-120); }, [&] { wheel(-120); }, [&] { key(Qt::Key_Down); },
      [&] { wheel(120); },  [&] { key(Qt::Key_Up); }, [&] { key(Qt::Key_PageDown); }};
  QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(60, 2));  // the keyboard to the list
  for (std::size_t n = 0; n < steps.size(); ++n) {
    paints.rects.clear();
    std::int32_t before = window->firstvisible();
    steps[n]();
    ASSERT_NE(window->firstvisible(), before) << n;
    ASSERT_TRUE(waitfor([&] { return !paints.rects.empty(); })) << n;
    QApplication::processEvents();
    // The strip under the bar is covered by the bar, which paints itself.
    int painted = 0;
    for (const QRect& r : paints.rects)
      if (!bar()->geometry().contains(r)) painted += r.height();
    // The rows that came in, not the window.
    EXPECT_LE(painted, client->height() - 8 * lineheight) << n;
  }
  // Two notches down, a row down, a notch up, a row up, a page down.
  EXPECT_EQ(window->firstvisible(), 1 + QApplication::wheelScrollLines() + bar()->pageStep());
  // What the desktop shows now is what a paint of the whole area draws.
  QImage shown = window->screen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
  QPoint at = client->mapTo(window.get(), QPoint(0, 0));
  QImage shownclient = shown.copy(QRect(at, client->size()));
  QImage full = paint().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shownclient.size(), full.size());
  EXPECT_TRUE(shownclient == full);
  EXPECT_EQ(record().linesincolour(kRed), std::vector<int>{4 + 27 - window->firstvisible()});
}

TEST_F(LayoutTest, F1OpensHelpIndex) {
  usedemo();
  start();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_F1);
  ASSERT_TRUE(waitfor([&] { return !help.calls.empty(); }));
  EXPECT_EQ(help.calls, std::vector<std::string>{"openindex Turmscan.hlp"});
}

TEST_F(LayoutTest, HilfeOpensHelpIndex) {
  usedemo();
  start();
  ASSERT_TRUE(choose(93));
  EXPECT_EQ(help.calls, std::vector<std::string>{"openindex Turmscan.hlp"});
}

// --- screenshots --------------------------------------------------------------------------------

// Saves the whole window as a PNG when TURM_SCREENSHOT_DIR names a folder.
void savescreenshot(QWidget* w, const char* name) {
  const char* dir = std::getenv("TURM_SCREENSHOT_DIR");
  if (dir == nullptr || *dir == 0) return;
  w->grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}

TEST_F(ViewTest, ScreenshotsOfStartPageAndList) {
  usedemo();
  start();
  QImage startpage = window->grab().toImage();
  savescreenshot(window.get(), "turm_start.png");
  ASSERT_TRUE(choose(51));
  // The new menu bar is shown from the event loop.
  ASSERT_TRUE(waitfor([&] { return window->menuBar()->isVisible(); }));
  clickrow(6);
  QImage list = window->grab().toImage();
  savescreenshot(window.get(), "turm_list.png");
  // The header band (colour 10) is painted in the client area of the list.
  QImage client = paint();
  int y = gridtop + lineheight + lineheight / 2;
  Rgb band = colourof(10);
  EXPECT_EQ(client.pixelColor(gridleft + 2, y), QColor(band.red, band.green, band.blue));
  EXPECT_NE(startpage, list);
}

TEST_F(ShortListTest, ScreenshotOfShortListWithBigFontShowsTheBar) {
  startbig();
  ASSERT_TRUE(waitfor([&] { return bar()->isVisible(); }));
  savescreenshot(window.get(), "turm_shortlist_48pt.png");
  // The bar is drawn along the right edge of the list, over its whole height.
  QImage client = paint();
  int x = bar()->geometry().center().x();
  int drawn = 0;
  for (int y = 0; y < bar()->height(); ++y) drawn += client.pixelColor(x, y) != QColor(Qt::white);
  EXPECT_GT(drawn, bar()->height() / 2);
}

}  // namespace
