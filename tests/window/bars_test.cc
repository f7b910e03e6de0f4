// Status bar panels, scroll-bar ranges and placement, the tree view's node
// numbers, bounds that change only when needed, the date field.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>
#include <memory>

#include "lib/support/messages.h"
#include "lib/support/w1252.h"
#include "lib/window/zocontrols.h"
#include "lib/window/zoscrollbar.h"
#include "lib/window/zostatusbar.h"
#include "lib/window/zotreeview.h"
#include "tests/window/qtapp.h"

namespace {

class BarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testapp();
    window = std::make_unique<QMainWindow>();
    window->resize(640, 480);
  }
  std::unique_ptr<QMainWindow> window;
};

// --- status bar ----------------------------------------------------------------------

TEST_F(BarsTest, StatusBarKeepsAtMostEightPanels) {
  std::vector<int> widths(10, 30);
  tzostatusbar* bar = createstatusbar(window.get(), nullptr, Qt::lightGray, widths, 10, 0, 0, 0, 25);
  EXPECT_EQ(bar->panelcount(), 8);
  EXPECT_EQ(window->statusBar(), bar);
  EXPECT_FALSE(bar->isSizeGripEnabled());
}

TEST_F(BarsTest, StatusPanelsHaveTheirWidthsAndStartEmpty) {
  tzostatusbar* bar =
      createstatusbar(window.get(), nullptr, Qt::lightGray, {80, 80, 100, 200}, 4, 0, 0, 0, 25);
  ASSERT_EQ(bar->panelcount(), 4);
  EXPECT_EQ(bar->panel(0)->width(), 80);
  EXPECT_EQ(bar->panel(2)->width(), 100);
  EXPECT_EQ(bar->panel(3)->width(), 200);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bar->paneltext(i), "");
}

TEST_F(BarsTest, PanelTextGetsALeadingBlank) {
  tzostatusbar* bar =
      createstatusbar(window.get(), nullptr, Qt::lightGray, {80, 80, 100, 200}, 4, 0, 0, 0, 25);
  statuspaneltext(3, bar, std::string("Schrift wählen"_w));
  EXPECT_EQ(bar->paneltext(3), std::string(" Schrift wählen"_w));
  EXPECT_EQ(bar->panel(3)->text(), QString::fromUtf8(" Schrift wählen"));
}

TEST_F(BarsTest, PanelIndexEqualToCountChangesNothing) {
  tzostatusbar* bar = createstatusbar(window.get(), nullptr, Qt::lightGray, {80, 80}, 2, 0, 0, 0, 25);
  statuspaneltext(2, bar, "x");
  statuspaneltext(-1, bar, "x");
  EXPECT_EQ(bar->paneltext(0), "");
  EXPECT_EQ(bar->paneltext(1), "");
  statuspaneltext(0, nullptr, "x");  // no bar: nothing
}

TEST_F(BarsTest, StatusTextOnTheStatusBarHasOneLeadingBlankNotTwo) {
  tzostatusbar* bar =
      createstatusbar(window.get(), nullptr, Qt::lightGray, {80, 80, 100, 200}, 4, 0, 0, 0, 25);
  StatusLine* line = bar;
  EXPECT_EQ(line->panelcount(), 4);
  statusbar = line;
  statustext("Hinweis");
  statusbar = nullptr;
  EXPECT_EQ(bar->paneltext(3), " Hinweis");
}

TEST_F(BarsTest, StatusBarOnAPlainOwnerTakesItsBounds) {
  QWidget owner;
  owner.resize(300, 200);
  tzostatusbar* bar = createstatusbar(&owner, nullptr, Qt::white, {50}, 1, 0, 170, 300, 30);
  EXPECT_EQ(bar->geometry(), QRect(0, 170, 300, 30));
}

// --- scroll bars ----------------------------------------------------------------------

TEST(ScrollRangeTest, EqualBoundsWidenByTwoAndZeroStepBecomesOne) {
  int max = 5, pos = 9, large = 0, small = 3;
  applyscrollrange(nullptr, 5, max, pos, large, small);
  EXPECT_EQ(max, 7);
  EXPECT_EQ(large, 1);
  EXPECT_EQ(small, 1);
  EXPECT_EQ(pos, 7);
}

TEST(ScrollRangeTest, StepsAndPositionClamped) {
  int max = 100, pos = -4, large = 40000, small = 50000;
  applyscrollrange(nullptr, 1, max, pos, large, small);
  EXPECT_EQ(max, 100);
  EXPECT_EQ(large, 32767);
  EXPECT_EQ(small, 32767);
  EXPECT_EQ(pos, 1);
}

TEST_F(BarsTest, RangeIsAppliedToTheBar) {
  tzoscrollbar* bar = createscrollbar(window.get(), 100, 1, 500, 30, 20, 1);
  EXPECT_EQ(bar->tag, 100);
  EXPECT_TRUE(bar->isHidden());
  EXPECT_EQ(bar->orientation(), Qt::Vertical);
  EXPECT_EQ(bar->minimum(), 1);
  EXPECT_EQ(bar->maximum(), 500);
  EXPECT_EQ(bar->pageStep(), 20);
  EXPECT_EQ(bar->value(), 30);
  EXPECT_EQ(bar->width(), scrollbarsize);
}

TEST_F(BarsTest, VerticalBarAlongTheRightEdge) {
  QWidget area;
  area.resize(400, 300);
  tzoscrollbar bar(&area, false);
  placevscrollbar(&area, 25, &bar);
  EXPECT_EQ(bar.geometry(), QRect(385, 0, 15, 275));
}

TEST_F(BarsTest, VerticalBarKeepsItsPlaceInATinyWindow) {
  QWidget area;
  area.resize(10, 10);
  tzoscrollbar bar(&area, false);
  QRect before = bar.geometry();
  placevscrollbar(&area, 20, &bar);
  EXPECT_EQ(bar.geometry().left(), before.left());
  EXPECT_EQ(bar.geometry().height(), before.height());
  EXPECT_EQ(bar.geometry().top(), 0);
}

TEST_F(BarsTest, HorizontalBarAlongTheBottom) {
  QWidget area;
  area.resize(400, 300);
  tzoscrollbar bar(&area, true);
  EXPECT_EQ(bar.height(), scrollbarsize);
  placehscrollbar(&area, true, 20, &bar);
  EXPECT_EQ(bar.geometry(), QRect(0, 265, 385, 15));
  placehscrollbar(&area, false, 20, &bar);
  EXPECT_EQ(bar.geometry(), QRect(0, 265, 400, 15));
}

TEST_F(BarsTest, HorizontalBarInALowWindowStaysAtTheTop) {
  QWidget area;
  area.resize(400, 10);
  tzoscrollbar bar(&area, true);
  placehscrollbar(&area, false, 20, &bar);
  EXPECT_EQ(bar.geometry().top(), 0);
}

// --- tree view ---------------------------------------------------------------------------

TEST_F(BarsTest, TreeWithoutSelectionYieldsZeroNumbers) {
  QWidget parent;
  tzotreeview* tree = createtreeview(&parent, false, nullptr, nullptr, nullptr, {}, {}, nullptr);
  tree->addnode(nullptr, "a", 3, 4);
  std::uint16_t a = 9, b = 9;
  treenodenumbers(tree, a, b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
}

TEST_F(BarsTest, TreeNodesCarryTwoNumbersToTheCallbacks) {
  QWidget parent;
  parent.resize(200, 200);
  std::vector<std::pair<int, int>> changes, clicks;
  bool handle = false;
  tzotreeview* tree = createtreeview(
      &parent, false,
      [&](std::uint16_t a, std::uint16_t b, bool& handled) {
        clicks.emplace_back(a, b);
        handled = handle;
      },
      [&](std::uint16_t a, std::uint16_t b) { changes.emplace_back(a, b); }, nullptr, {}, {},
      nullptr);
  QTreeWidgetItem* top = tree->addnode(nullptr, "Netz", 65535, 1);
  QTreeWidgetItem* child = tree->addnode(top, "Zelle", 2, 40000);
  tree->expandAll();
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  EXPECT_EQ(tree->geometry().size(), parent.size());

  tree->setCurrentItem(child);
  std::uint16_t a = 0, b = 0;
  treenodenumbers(tree, a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 40000);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), std::make_pair(2, 40000));

  QRect r = tree->visualItemRect(top);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], std::make_pair(65535, 1));
  EXPECT_EQ(tree->toggle, 1);  // unhandled click flips the toggle
  handle = true;
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
  EXPECT_EQ(tree->toggle, 1);
  EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(BarsTest, DefaultLabelCallbackCounts) {
  tzotreeview tree;
  std::string first = tree.labelcallback();
  std::string second = tree.labelcallback();
  EXPECT_EQ(std::stoi(second), std::stoi(first) + 1);
}

// --- bounds and date -------------------------------------------------------------------------

class MoveCounter : public QObject {
 public:
  int events = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Move || e->type() == QEvent::Resize) ++events;
    return false;
  }
};

TEST_F(BarsTest, UnchangedBoundsCauseNoGeometryEvents) {
  QWidget parent;
  QWidget child(&parent);
  parent.show();
  child.setGeometry(5, 6, 70, 80);
  QApplication::processEvents();
  MoveCounter counter;
  child.installEventFilter(&counter);
  setboundsifchanged(&child, 5, 6, 70, 80);
  QApplication::processEvents();
  EXPECT_EQ(counter.events, 0);
  setboundsifchanged(&child, 5, 6, 71, 80);
  QApplication::processEvents();
  EXPECT_GT(counter.events, 0);
  EXPECT_EQ(child.geometry(), QRect(5, 6, 71, 80));
  setboundsifchanged(nullptr, 1, 1, 1, 1);
}

TEST_F(BarsTest, DateFieldShowsToday) {
  QWidget owner;
  QDateEdit* field = createdatefield(&owner, 10, 20, 120, 24);
  EXPECT_EQ(field->date(), QDate::currentDate());
  EXPECT_FALSE(field->isHidden());
  EXPECT_EQ(field->geometry(), QRect(10, 20, 120, 24));
}

}  // namespace
