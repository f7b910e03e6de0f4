// TZowindow: the view stack with its caption path and scroll states,
// scroll-bar visibility, scroll reports, help commands, cursor and close.
#include "lib/window/zowindow.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "lib/support/messages.h"
#include "lib/window/qtconvert.h"
#include "platform/testing/recording_help.h"
#include "platform/testing/recording_messagewindows.h"
#include "tests/window/qtapp.h"

namespace {

std::string caption(const QWidget& w) { return fromqstring(w.windowTitle()); }

bool endswith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class ViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testapp();
    window = std::make_unique<TZowindow>();
    window->resize(640, 480);
    window->viewtitle = "Turmfinder";
    window->vscrollbar = createscrollbar(window->client(), 100, 1, 100, 1, 20, 1);
    window->attachscrollbar(window->vscrollbar);
    main = new QPushButton(window->client());
    window->maincontrol = main;
  }

  std::unique_ptr<TZowindow> window;
  QPushButton* main = nullptr;
};

TEST_F(ViewsTest, StartValues) {
  EXPECT_EQ(window->viewlevel, 1);
  EXPECT_EQ(window->helpfile, "WINHELP.HLP");
  EXPECT_EQ(window->aboutcaption, "\xDC" "ber..");
  EXPECT_EQ(window->vstate, (ScrollState{1, 1, 1, 100, 20, 1, 0}));
  EXPECT_EQ(window->hstate, (ScrollState{1, 1, 1, 100, 10, 1, 0}));
  EXPECT_EQ(currentwindow, window.get());
  EXPECT_EQ(window->initialised, 1);
  EXPECT_EQ(window->client()->palette().color(QPalette::Window), QColor(255, 255, 255));
}

TEST_F(ViewsTest, ScrollBarShownFromMaximumTwentyOne) {
  window->setvscrollrange(1, 21, 1);
  EXPECT_FALSE(window->vscrollbar->isHidden());
  EXPECT_EQ(window->vscrollbar->maximum(), 21);
  window->setvscrollrange(1, 20, 1);
  EXPECT_TRUE(window->vscrollbar->isHidden());
}

TEST_F(ViewsTest, ScrollRangeClampsTheLargeStepToTheSpan) {
  window->setvscrollrange(1, 5, 3);
  EXPECT_EQ(window->vstate.largestep, 4);
  EXPECT_EQ(window->vstate.smallstep, 1);
  EXPECT_EQ(window->vscrollbar->pageStep(), 4);
  EXPECT_EQ(window->vscrollbar->value(), 3);
}

TEST_F(ViewsTest, ShortRangeLeavesNoSmallPageStepForTheNextRange) {
  window->setvscrollrange(1, 1, 1);  // one entry
  window->setvscrollrange(1, 5000, 1);
  EXPECT_EQ(window->vstate.largestep, 20);
  EXPECT_EQ(window->vscrollbar->pageStep(), 20);
  // A click in the trough below the thumb moves by that page.
  window->vscrollbar->setGeometry(0, 0, 15, 400);
  window->vscrollbar->show();
  QTest::mouseClick(window->vscrollbar, Qt::LeftButton, {}, QPoint(7, 300));
  EXPECT_EQ(window->vscrollbar->value(), 21);
  EXPECT_EQ(window->vstate.position, 21);
}

TEST_F(ViewsTest, ScrollRangeWithoutBarDoesNothing) {
  window->vscrollbar = nullptr;
  window->setvscrollrange(1, 500, 7);
  EXPECT_EQ(window->vstate.maximum, 100);
}

TEST_F(ViewsTest, ThreeNestedViewsAndBack) {
  window->setvscrollrange(1, 50, 1);
  ScrollState base = window->vstate;
  window->submenuscroll(2, 102, "A", 1, 200, 20, 1, 5, 10);
  window->vscrollbar->show();
  ScrollState a = window->vstate;
  window->submenuscroll(3, 103, "B", 1, 300, 20, 1, 7, 11);
  window->vscrollbar->show();
  ScrollState b = window->vstate;
  EXPECT_EQ(b.viewvalue, 11);
  window->submenu(4, 104, "C");

  EXPECT_TRUE(endswith(caption(*window), "/A/B/C"));
  EXPECT_EQ(window->viewtitle, "Turmfinder/A/B/C");
  EXPECT_EQ(window->viewlevel, 4);
  EXPECT_EQ(lastviewname, "C");
  EXPECT_TRUE(window->vscrollbar->isHidden());
  EXPECT_TRUE(main->isHidden());

  window->submenuende();
  EXPECT_EQ(caption(*window), "Turmfinder/A/B");
  EXPECT_EQ(lastviewname, "B");
  EXPECT_EQ(window->viewid, 3);
  EXPECT_EQ(window->viewitem, 103);
  EXPECT_EQ(window->vstate, b);
  EXPECT_EQ(window->vscrollbar->maximum(), 300);
  EXPECT_EQ(window->vscrollbar->value(), 7);
  EXPECT_FALSE(window->vscrollbar->isHidden());
  EXPECT_TRUE(main->isHidden());  // it was hidden in view B

  window->submenuende();
  EXPECT_EQ(window->vstate, a);
  window->submenuende();
  EXPECT_EQ(caption(*window), "Turmfinder");
  EXPECT_EQ(window->viewlevel, 1);
  EXPECT_EQ(window->vstate, base);
  EXPECT_EQ(window->vscrollbar->maximum(), 50);
  EXPECT_FALSE(main->isHidden());
}

TEST_F(ViewsTest, CaptionSuffixFollowsEveryCaption) {
  captionsuffix = " *";
  window->submenu(2, 0, "Liste");
  EXPECT_EQ(caption(*window), "Turmfinder/Liste *");
  captionsuffix.clear();
}

TEST_F(ViewsTest, EmptyNameKeepsTheTitle) {
  window->submenu(2, 0, "");
  EXPECT_EQ(window->viewtitle, "Turmfinder");
  EXPECT_EQ(window->viewlevel, 2);
}

TEST_F(ViewsTest, SubmenuScrollNormalisesItsRange) {
  window->submenuscroll(2, 0, "X", 5, 5, 0, 9, 99, 3);
  EXPECT_EQ(window->vstate.maximum, 6);
  EXPECT_EQ(window->vstate.position, 6);
  EXPECT_EQ(window->vstate.largestep, 1);
  EXPECT_EQ(window->vstate.smallstep, 1);
  EXPECT_EQ(window->vstate.viewvalue, 3);
}

TEST_F(ViewsTest, BeyondDepthTenReturnsToTheViewSavedAtTen) {
  for (int i = 1; i <= 11; ++i) window->submenu(i, 0, std::to_string(i));
  EXPECT_EQ(window->viewlevel, 10);
  EXPECT_TRUE(endswith(window->viewtitle, "/9/10/11"));
  window->submenuende();
  EXPECT_EQ(window->viewlevel, 9);
  EXPECT_TRUE(endswith(window->viewtitle, "/8"));
}

TEST_F(ViewsTest, RestoreBelowTheBaseViewStaysInBounds) {
  window->restoreview();
  EXPECT_EQ(window->viewlevel, 0);
  window->restoreview();
  EXPECT_EQ(window->viewlevel, 0);
  EXPECT_EQ(window->viewtitle, "");
  window->submenu(2, 0, "X");
  EXPECT_EQ(window->viewlevel, 1);
}

// --- scroll reports ---------------------------------------------------------------

TEST_F(ViewsTest, ThumbTrackingIgnoredUnlessSwitchedOn) {
  window->setvscrollrange(1, 100, 1);
  int pos = 40;
  window->vscroll(window->vscrollbar, kScrollTrack, pos);
  EXPECT_EQ(window->vstate.position, 1);
  EXPECT_EQ(window->vchanged, 0);
  window->vscroll(window->vscrollbar, kScrollPosition, pos);
  EXPECT_EQ(window->vstate.position, 40);
  EXPECT_EQ(window->vstate.previous, 40);
  EXPECT_EQ(window->vchanged, 1);
  window->vtrack = 1;
  pos = 55;
  window->vscroll(window->vscrollbar, kScrollTrack, pos);
  EXPECT_EQ(window->vstate.position, 55);
}

TEST_F(ViewsTest, SamePositionIsNoChange) {
  window->setvscrollrange(1, 100, 1);
  int pos = 1;
  window->vscroll(window->vscrollbar, kScrollEnd, pos);
  EXPECT_EQ(window->vchanged, 0);
}

TEST_F(ViewsTest, NewRangeMakesTheOldPositionAChangeAgain) {
  window->setvscrollrange(1, 100, 1);
  int pos = 30;
  window->vscroll(window->vscrollbar, kScrollPosition, pos);
  window->vchanged = 0;
  window->setvscrollrange(1, 100, 1);
  window->vscroll(window->vscrollbar, kScrollPosition, pos);
  EXPECT_EQ(window->vstate.position, 30);
  EXPECT_EQ(window->vchanged, 1);
}

TEST_F(ViewsTest, RealBarReportsReachTheWindow) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  placevscrollbar(window->client(), 0, window->vscrollbar);
  window->setvscrollrange(1, 100, 1);
  ASSERT_FALSE(window->vscrollbar->isHidden());
  window->vscrollbar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(window->vstate.position, 21);
  EXPECT_EQ(window->vchanged, 1);
  window->vscrollbar->setFocus();
  QTest::keyClick(window->vscrollbar, Qt::Key_Down);
  EXPECT_EQ(window->vstate.position, 22);
}

TEST_F(ViewsTest, ThumbDragIsStoredOnlyWhenReleased) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  placevscrollbar(window->client(), 0, window->vscrollbar);
  window->setvscrollrange(1, 100, 1);
  auto* bar = window->vscrollbar;
  // Drag the thumb as the slider does: down, moved, released.
  bar->setSliderDown(true);
  bar->setSliderPosition(60);
  EXPECT_EQ(window->vstate.position, 1);
  bar->setSliderDown(false);  // reports the release
  EXPECT_EQ(window->vstate.position, 60);
}

// --- help, cursor, close -------------------------------------------------------------

TEST_F(ViewsTest, HelpCommandsReachTheHelpSystem) {
  RecordingHelp help;
  RecordingMessageWindows windows;
  QEvent e94(TZowindow::helpeventtype(94));
  QApplication::sendEvent(window.get(), &e94);
  QEvent e93(TZowindow::helpeventtype(93));
  QApplication::sendEvent(window.get(), &e93);  // help switch off: nothing
  QEvent e92(TZowindow::helpeventtype(92));
  QApplication::sendEvent(window.get(), &e92);  // context 0: nothing
  window->helpcontext = 5;
  QApplication::sendEvent(window.get(), &e92);
  ASSERT_EQ(help.calls.size(), 1u);
  EXPECT_EQ(help.calls[0], "openindex WINHELP.HLP");
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].text, "No help");
}

TEST_F(ViewsTest, HelpModeToggles) {
  QEvent e95(TZowindow::helpeventtype(95));
  QApplication::sendEvent(window.get(), &e95);
  EXPECT_EQ(window->helpmode, 1);
  EXPECT_EQ(window->cursor().shape(), Qt::WhatsThisCursor);
  QApplication::sendEvent(window.get(), &e95);
  EXPECT_EQ(window->helpmode, 0);
  EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ViewsTest, BusyCursorIsRestoredOnceOnly) {
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  busycursor(window.get());
  busycursor(window.get());
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  normalcursor(window.get());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  normalcursor(window.get());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ViewsTest, BaseWindowAlwaysMayClose) {
  EXPECT_TRUE(window->canclose());
  window->show();
  EXPECT_TRUE(window->close());
}

class RefusingWindow : public TZowindow {
 public:
  bool closequery() override { return false; }
};

TEST(ViewsCloseTest, RefusedCloseQueryKeepsTheWindowOpen) {
  testapp();
  RefusingWindow w;
  w.show();
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
}

TEST(ViewsCloseTest, DragsAreNotAccepted) {
  testapp();
  TZowindow w;
  EXPECT_FALSE(w.dragover());
  EXPECT_FALSE(w.undock());
}

}  // namespace
