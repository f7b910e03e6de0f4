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
#include <QTextEdit>
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

// Where every kind of window the program opens lands over its main window.
class PlacementTest : public DialogsTest {
 protected:
  // The main window off the middle of the screen, so that a window
  // centred on the screen is not centred on it.
  void startoffcentre() {
    usedemo();
    start();
    const QRect screen = window->screen()->availableGeometry();
    window->setGeometry(screen.left() + 20, screen.top() + 30, screen.width() * 3 / 4, screen.height() * 3 / 4);
    ASSERT_TRUE(waitfor([&] { return window->geometry().left() == screen.left() + 20; }));
    setmessagewindows(&notices);
    setfontdialog(&fontchoice);
  }
  // The geometry of the next modal window of type T, then closed.
  template <typename T>
  void catchnext(QRect& frame, std::function<void(T*)> also = {}) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, &frame, also] {
      auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
      if (w == nullptr || !w->isVisible()) return;
      poll->stop();
      poll->deleteLater();
      frame = w->frameGeometry();
      if (also) also(w);
      static_cast<QDialog*>(w)->done(0);
    });
    poll->start();
  }
  void expectcentred(const QRect& frame, const char* what) {
    ASSERT_TRUE(frame.isValid()) << what << " did not open";
    QPoint d = frame.center() - window->frameGeometry().center();
    EXPECT_LE(d.manhattanLength(), 4) << what << " opens at " << frame.x() << "," << frame.y() << " "
                                      << frame.width() << "x" << frame.height();
  }
  QtMessageWindows notices;
};

TEST_F(PlacementTest, EveryDialogOpensCentredOnTheMainWindowWhetherItIsActiveOrNot) {
  startoffcentre();
  for (bool active : {false, true}) {
    if (active) {
      window->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QRect question, font, about;
    catchnext<QMessageBox>(question);
    window->close();  // the close question; answered No
    expectcentred(question, active ? "Confirm (active)" : "Confirm (inactive)");
    catchnext<QFontDialog>(font);
    ASSERT_TRUE(choose(61));
    expectcentred(font, "the font dialog");
    catchnext<Tzodialog>(about);
    ASSERT_TRUE(choose(60));
    expectcentred(about, "the about box");
  }
  ASSERT_TRUE(choose(51));
  QRect selection;
  catchnext<Tzodialog>(selection);
  ASSERT_TRUE(choose(53));
  expectcentred(selection, "Zellen-Auswahl");
}

TEST_F(PlacementTest, PositionDialogKeepsItsButtonsOffTheFieldAndALongLinkWrapsToTheWindow) {
  startoffcentre();
  ASSERT_TRUE(choose(51));
  QRect position;
  int gap = -1;
  catchnext<Tzodialog>(position, [&](Tzodialog* d) {
    QWidget* field = itemof(d, 300);
    QWidget* ok = itemof(d, 1);
    if (field != nullptr && ok != nullptr) gap = ok->geometry().top() - field->geometry().bottom() - 1;
  });
  ASSERT_TRUE(choose(63));
  expectcentred(position, "Position");
  EXPECT_GE(gap, 6);

  shell.result = false;  // no browser: the notice with the link to copy
  clickrow(5);
  QRect notice;
  QString copied;
  catchnext<QMessageBox>(notice, [&](QMessageBox* box) {
    if (auto* text = box->findChild<QTextEdit*>()) copied = text->toPlainText();
  });
  ASSERT_TRUE(choose(55));
  ASSERT_EQ(shell.opened.size(), 1u);
  const std::string link = shell.opened[0].second;
  expectcentred(notice, "the notice");
  EXPECT_LE(notice.width(), window->frameGeometry().width());
  EXPECT_TRUE(copied.contains(QString::fromStdString(link))) << copied.toStdString();
}

}  // namespace
