// Menu builder: descriptions, markers, submenu names, blank items, the
// one click handler and hints.
#include "lib/window/zomenu.h"

#include "app/taw.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "lib/support/w1252.h"
#include "lib/window/qtconvert.h"
#include "tests/window/qtapp.h"

namespace {

// Menus shaped like the program's own, plus the awkward cases.
void provider(int number, MenuDescription& d, PictureList&) {
  d.clear();
  int i = 0;
  switch (number) {
    case 101:
      addmenuitem(i, 1, std::string("&Schließen"_w), std::string("Das Programm schließen"_w), d);
      addsubmenuitem(i, 22, "Daten", d);
      addmenuitem(i, 51, "Turmfinder zeigen", "", d);
      addsubmenuitem(i, 20, "Einstellungen", d);
      addsubmenuitem(i, 30, "Gesperrt", d);
      d.flags[i - 1] |= kMenuDisabled;
      addmenuitem(i, 93, "Hilfe", "Hilfe #12", d);
      break;
    case 22:
      addmenuitem(i, 58, "Turmfinder in Deutschland", "", d);
      addmenuitem(i, 59, "Turmfinder in Berlin", "", d);
      break;
    case 20:
      addmenuitem(i, 61, "Fett", "", d);
      d.flags[i - 1] = kMenuChecked;
      addmenuitem(i, 0, "", "", d);
      d.flags[i - 1] = kMenuSeparator;
      addmenuitem(i, 62, "Auto", "", d);
      d.flags[i - 1] = kMenuAutoCheck;
      addsubmenuitem(i, 24, "Leer", d);
      break;
    case 24:
      break;  // nothing: one blank item
    case 99:
      addsubmenuitem(i, 99, "Selbst", d);
      break;
    default:
      break;
  }
  d.count = static_cast<std::uint8_t>(i);
}

struct Click {
  std::string classname;
  int tag = -1;
};

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testapp();
    window = std::make_unique<QMainWindow>();
    window->resize(600, 400);
  }
  void TearDown() override { menuhinthandler = nullptr; }

  QMenuBar* build(int number) {
    return buildmainmenu(window.get(), number, provider, [this](QObject* sender) {
      Click c;
      c.classname = sender->metaObject()->className();
      if (auto* item = qobject_cast<TMenuItem*>(sender)) c.tag = item->tag;
      clicks.push_back(c);
    });
  }
  static std::vector<std::string> captions(const QList<QAction*>& actions) {
    std::vector<std::string> out;
    for (QAction* a : actions) out.push_back(a->isSeparator() ? "-" : fromqstring(a->text()));
    return out;
  }

  std::unique_ptr<QMainWindow> window;
  std::vector<Click> clicks;
};

// --- description operations ----------------------------------------------------------

TEST(MenuDescriptionTest, IndexBeyondTwentyFiveLandsOnTheLastItem) {
  MenuDescription d;
  setmenuitem(30, 7, "x", "", d);
  EXPECT_EQ(d.commands[24], 7);
  setmenuitem(0, 8, "y", "", d);
  EXPECT_EQ(d.commands[0], 8);
}

TEST(MenuDescriptionTest, CaptionCutAndEmptyHintBecomesCaption) {
  MenuDescription d;
  std::string longcaption(60, 'c');
  setmenuitem(1, 1, longcaption, "", d);
  EXPECT_EQ(d.captions[0], std::string(40, 'c'));
  EXPECT_EQ(d.hints[0], std::string(40, 'c'));
  setmenuitem(2, 1, "a", std::string(150, 'h'), d);
  EXPECT_EQ(d.hints[1], std::string(100, 'h'));
}

TEST(MenuDescriptionTest, AddOperationsAdvanceTheIndex) {
  MenuDescription d;
  int i = 0;
  addmenuitem(i, 5, "a", "", d);
  addsubmenuitem(i, 21, "b", d);
  EXPECT_EQ(i, 2);
  EXPECT_EQ(d.flags[1], kMenuSubmenu);
  EXPECT_EQ(d.hints[1], "b");
  EXPECT_EQ(d.flags[0], 0);
}

TEST(MenuDescriptionTest, HintLosesItsFirstHashWord) {
  MenuDescription d;
  PictureList p{};
  d.captions[0] = "&Ende";
  d.hints[0] = "Hilfe #12 Text";
  EXPECT_EQ(menuitemrecord(d, p, 0).hint, "Hilfe  Text");
  d.hints[0] = "Ende #7";
  EXPECT_EQ(menuitemrecord(d, p, 0).hint, "Ende ");
  d.hints[0] = "a#b c";  // no word begins with "#"
  EXPECT_EQ(menuitemrecord(d, p, 0).hint, "a#b c");
}

TEST(MenuDescriptionTest, ShortHintIsReplacedByCaptionWithoutAmpersands) {
  MenuDescription d;
  PictureList p{};
  d.captions[0] = "&Ende && Aus";
  d.hints[0] = "ab";
  EXPECT_EQ(menuitemrecord(d, p, 0).hint, "Ende  Aus");
}

TEST(MenuDescriptionTest, SeparatorOnlyForExactFlagValue) {
  MenuDescription d;
  PictureList p{};
  d.captions[0] = "x";
  d.flags[0] = kMenuSeparator;
  EXPECT_EQ(menuitemrecord(d, p, 0).caption, "-");
  d.flags[0] = kMenuSeparator | kMenuDisabled;
  EXPECT_EQ(menuitemrecord(d, p, 0).caption, "x");
}

// --- building ------------------------------------------------------------------------------

TEST_F(MenuTest, MenuBarCaptionsCarryTheSubmenuMarker) {
  QMenuBar* bar = build(101);
  EXPECT_EQ(window->menuBar(), bar);
  // The shown texts carry the automatic access keys.
  std::vector<std::string> expected = {std::string("&Schließen"_w), std::string("&Daten»"_w),
                                       "&Turmfinder zeigen", std::string("&Einstellungen»"_w),
                                       std::string("&Gesperrt»"_w), "&Hilfe"};
  EXPECT_EQ(captions(bar->actions()), expected);
}

TEST_F(MenuTest, SubmenusAreNamedInTheOrderTheyAreFinished) {
  int base = pulldowncounter;
  QMenuBar* bar = build(101);
  auto* daten = bar->findChild<QMenu*>(QString("Pulldown%1").arg(base + 1));
  auto* leer = bar->findChild<QMenu*>(QString("Pulldown%1").arg(base + 2));
  auto* einst = bar->findChild<QMenu*>(QString("Pulldown%1").arg(base + 3));
  ASSERT_NE(daten, nullptr);
  ASSERT_NE(leer, nullptr);
  ASSERT_NE(einst, nullptr);
  EXPECT_EQ(fromqstring(daten->title()), std::string("&Daten»"_w));
  EXPECT_EQ(fromqstring(leer->title()), std::string("&Leer»"_w));
  EXPECT_EQ(fromqstring(einst->title()), std::string("&Einstellungen»"_w));
  EXPECT_EQ(pulldowncounter, base + 3);
  // A second menu bar goes on counting.
  build(101);
  EXPECT_EQ(pulldowncounter, base + 6);
}

TEST_F(MenuTest, EmptySubmenuGetsOneBlankItem) {
  int base = pulldowncounter;
  QMenuBar* bar = build(101);
  auto* leer = bar->findChild<QMenu*>(QString("Pulldown%1").arg(base + 2));
  ASSERT_NE(leer, nullptr);
  ASSERT_EQ(leer->actions().size(), 1);
  auto* item = qobject_cast<TMenuItem*>(leer->actions()[0]);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), " ");
  EXPECT_EQ(item->tag, 0);
}

TEST_F(MenuTest, EmptyTopMenuGetsOneBlankItem) {
  QMenuBar* bar = build(12345);
  ASSERT_EQ(bar->actions().size(), 1);
  EXPECT_EQ(bar->actions()[0]->text(), " ");
}

TEST_F(MenuTest, CheckedAndSelfCheckingMarkersAppearOnce) {
  int base = pulldowncounter;
  QMenuBar* bar = build(101);
  auto* einst = bar->findChild<QMenu*>(QString("Pulldown%1").arg(base + 3));
  ASSERT_NE(einst, nullptr);
  std::vector<std::string> expected = {"&Fett C", "-", "&Auto A", std::string("&Leer»"_w)};
  EXPECT_EQ(captions(einst->actions()), expected);
  auto* fett = qobject_cast<TMenuItem*>(einst->actions()[0]);
  ASSERT_NE(fett, nullptr);
  EXPECT_TRUE(fett->isChecked());
  EXPECT_TRUE(einst->actions()[2]->isCheckable());
}

TEST_F(MenuTest, DisabledSubmenuItemIsALeafWithTheHandler) {
  QMenuBar* bar = build(101);
  auto* item = qobject_cast<TMenuItem*>(bar->actions()[4]);
  ASSERT_NE(item, nullptr);
  EXPECT_FALSE(item->isEnabled());
  EXPECT_EQ(item->menu(), nullptr);
  EXPECT_EQ(item->tag, 30);
  item->trigger();  // disabled: no click
  EXPECT_TRUE(clicks.empty());
  item->setEnabled(true);
  item->trigger();
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].tag, 30);
}

TEST_F(MenuTest, TriggeredLeafReachesTheHandlerWithItsTag) {
  QMenuBar* bar = build(101);
  auto* berlin = bar->findChild<TMenuItem*>("menuitem_59");
  ASSERT_NE(berlin, nullptr);
  berlin->trigger();
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].classname, "TMenuItem");
  EXPECT_EQ(clicks[0].tag, 59);
}

TEST_F(MenuTest, MouseClicksOnBarAndPopupReachTheHandler) {
  QMenuBar* bar = build(101);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

  QAction* zeigen = bar->findChild<TMenuItem*>("menuitem_51");
  ASSERT_NE(zeigen, nullptr);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(zeigen).center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return clicks.size() == 1; }, 2000));
  EXPECT_EQ(clicks[0].tag, 51);

  QAction* daten = bar->actions()[1];
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(daten).center());
  QMenu* popup = daten->menu();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 2000));
  QAction* berlin = popup->actions()[1];
  QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(berlin).center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return clicks.size() == 2; }, 2000));
  EXPECT_EQ(clicks[1].tag, 59);
  EXPECT_EQ(clicks[1].classname, "TMenuItem");
}

TEST_F(MenuTest, HoveredItemSendsItsHint) {
  std::vector<std::string> hints;
  menuhinthandler = [&](const std::string& h) { hints.push_back(h); };
  QMenuBar* bar = build(101);
  bar->actions()[0]->hover();
  bar->actions()[1]->hover();
  bar->actions()[5]->hover();
  bar->findChild<TMenuItem*>("menuitem_58")->hover();
  std::vector<std::string> expected = {std::string("Das Programm schließen"_w), "Daten",
                                       "Hilfe ", "Turmfinder in Deutschland"};
  EXPECT_EQ(hints, expected);
}

// --- automatic access keys ----------------------------------------------------------

// The access keys ("&x") of the items of one menu, lower case; items
// without one give a null character.
std::vector<QChar> accesskeys(const QList<QAction*>& actions) {
  std::vector<QChar> keys;
  for (QAction* a : actions) {
    if (a->isSeparator()) continue;
    QString t = a->text();
    QChar key;
    for (qsizetype i = 0; i + 1 < t.size(); ++i)
      if (t[i] == '&') {
        if (t[i + 1] != '&') key = t[i + 1].toLower();
        break;
      }
    keys.push_back(key);
  }
  return keys;
}

// Checks one menu (bar) and, recursively, its submenus.
void expectownkeys(const QList<QAction*>& actions, const QString& where) {
  std::vector<QChar> keys = accesskeys(actions);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_FALSE(keys[i].isNull()) << where.toStdString() << " item " << i;
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_NE(keys[i], keys[j]) << where.toStdString() << " items " << j << " and " << i;
  }
  for (QAction* a : actions)
    if (a->menu()) expectownkeys(a->menu()->actions(), a->menu()->title());
}

TEST_F(MenuTest, ProgramMenusGiveEveryItemAnAccessKeyOfItsOwn) {
  for (int top : {101, 102}) {
    QMenuBar* bar = buildmainmenu(window.get(), top, DescribeMenu, [](QObject*) {});
    expectownkeys(bar->actions(), QString("menu %1").arg(top));
  }
  // A key the caption brings stays; the others avoid it.
  QMenuBar* bar = buildmainmenu(
      window.get(), 1,
      [](int, MenuDescription& d, PictureList&) {
        int i = 0;
        addmenuitem(i, 1, "Speichern", "", d);
        addmenuitem(i, 2, std::string("&Schließen"_w), "", d);
        addmenuitem(i, 3, "Suchen", "", d);
        d.count = static_cast<std::uint8_t>(i);
      },
      [](QObject*) {});
  EXPECT_EQ(captions(bar->actions()),
            (std::vector<std::string>{"S&peichern", std::string("&Schließen"_w), "S&uchen"}));
  auto* first = qobject_cast<TMenuItem*>(bar->actions()[0]);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->caption, "Speichern");  // the described caption stays as it was
}

TEST_F(MenuTest, AltLetterOpensTheSubmenuOfTheProgramMenu) {
  QMenuBar* bar = buildmainmenu(window.get(), 101, DescribeMenu, [](QObject*) {});
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QMenu* daten = nullptr;
  QMenu* einstellungen = nullptr;
  for (QAction* a : bar->actions()) {
    if (!a->menu()) continue;
    QString shown = a->menu()->title().remove('&');
    if (shown.startsWith("Daten")) daten = a->menu();
    if (shown.startsWith("Einstellungen")) einstellungen = a->menu();
  }
  ASSERT_NE(daten, nullptr);
  ASSERT_NE(einstellungen, nullptr);
  QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return daten->isVisible(); }, 2000));
  daten->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !daten->isVisible(); }, 2000));
  QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return einstellungen->isVisible(); }, 2000));
  einstellungen->close();
}

TEST_F(MenuTest, SelfNamingSubmenuDoesNotRecurseForever) {
  QMenuBar* bar = build(99);
  auto menus = bar->findChildren<QMenu*>();
  EXPECT_GE(menus.size(), 1);
  EXPECT_LE(menus.size(), 11);
}

}  // namespace
