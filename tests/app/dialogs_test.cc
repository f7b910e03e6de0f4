// The program's windows over its main window, with the real Qt dialogs,
// notices and help viewer: the font choice opens on the font in use, help
// opened from a modal dialog can be used at once, and every dialog opens
// centred on the window it belongs to.
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTextBrowser>
#include <QScrollBar>
#include <QWheelEvent>

#include "platform/qt/qtfont.h"
#include "platform/qt/qtfontdialog.h"
#include "platform/qt/qthelp.h"
#include "platform/qt/qtmessagewindows.h"
#include "tests/app/apptest.h"
#include "tests/common/screenshot.h"

using namespace apptest;

namespace {

class DialogsTest : public AppTest {
 protected:
  void TearDown() override {
    help.quit();
    AppTest::TearDown();
  }
  QtFontDialog fontchoice;
  QtHelp help;
};

TEST_F(DialogsTest, FontChoiceOpensOnTheFontInUseAndOkWithoutAChangeChangesNothing) {
  usedemo();
  start();
  setfontdialog(&fontchoice);
  const FontSpec before = screenfont;
  const QString drawn = QFontInfo(qfontof(screenfont)).family();
  QString opened;
  bool answered = false;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
    if (d == nullptr || !d->isVisible()) return;
    poll.stop();
    answered = true;
    opened = QFontInfo(d->currentFont()).family();
    d->accept();
  });
  poll.start();
  ASSERT_TRUE(choose(61));
  ASSERT_TRUE(answered);
  EXPECT_EQ(opened.toStdString(), drawn.toStdString());
  EXPECT_EQ(screenfont, before);
  EXPECT_FALSE(fs::exists("fontpar.dat"));
}

// A key as the window system delivers it, so that a window a modal dialog
// blocks does not get it.
void presskey(QWidget* w, Qt::Key key) { QTest::keyClick(w->window()->windowHandle(), key); }

TEST_F(DialogsTest, HelpFromTheCellSelectionIsUsableAtOnceAndTheDialogAfterIt) {
  fs::copy_file(TURM_SOURCE_DIR "/app/help/Turmscan.html", "Turmscan.html",
                fs::copy_options::overwrite_existing);
  usedemo();
  start();
  sethelpsystem(&help);
  ASSERT_TRUE(choose(51));
  bool scrolled = false, closedbyescape = false, above = false;
  ModalAnswer answer([&](Tzodialog* d) {
    // However the checks end, the dialog closes.
    struct Closer {
      Tzodialog* d;
      ~Closer() {
        if (d->isVisible()) clickbutton(d, 2);
      }
    } closer{d};
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    presskey(d, Qt::Key_F1);
    ASSERT_TRUE(waitfor([&] { return help.viewer() != nullptr && help.viewer()->isVisible(); }));
    QTextBrowser* viewer = help.viewer();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    above = viewer->window()->parentWidget() == d;
    keepscreenshot(viewer->screen()->grabWindow(0).toImage(), "turm_help_from_cellselection.png");
    viewer->setFocus();
    presskey(viewer, Qt::Key_PageDown);
    scrolled = waitfor([&] { return viewer->verticalScrollBar()->value() > 0; }, 1000);
    presskey(viewer, Qt::Key_Escape);
    closedbyescape = waitfor([&] { return help.viewer() == nullptr || !help.viewer()->isVisible(); }, 1000);
    // The dialog takes keys and clicks again.
    ASSERT_TRUE(waitfor([&] { return QApplication::activeWindow() == d; }, 1000));
    auto* netid = qobject_cast<QLineEdit*>(itemof(d, 302));
    netid->setFocus();
    netid->selectAll();
    presskey(netid, Qt::Key_5);
    QWidget* ok = itemof(d, 1);
    QTest::mouseClick(d->windowHandle(), Qt::LeftButton, {}, ok->mapTo(d, ok->rect().center()));
  });
  ASSERT_TRUE(choose(53));
  ASSERT_TRUE(answer.answered);
  EXPECT_TRUE(above);
  EXPECT_TRUE(scrolled);
  EXPECT_TRUE(closedbyescape);
  EXPECT_EQ(+criteria.netid, 5);
}

}  // namespace
