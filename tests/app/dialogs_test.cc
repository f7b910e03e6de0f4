// The windows the program opens over its main window, with the real Qt
// notices, font dialog and help viewer: each opens centred on the window it
// belongs to, the font choice opens on the font in use, and help opened
// from a modal dialog can be used at once.
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextEdit>

#include "platform/qt/qtfont.h"
#include "platform/qt/qtfontdialog.h"
#include "platform/qt/qthelp.h"
#include "platform/qt/qtmessagewindows.h"
#include "tests/app/apptest.h"
#include "tests/common/screenshot.h"

using namespace apptest;

namespace {

// Runs act on the next modal window of type T as soon as it shows; act
// must close it.  Gives up after a few seconds.
template <typename T>
void whenshown(std::function<void(T*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if (w == nullptr || !w->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(w);
  });
  QTimer::singleShot(3000, poll, &QObject::deleteLater);
  poll->start();
}
void closewindow(QWidget* w) { static_cast<QDialog*>(w)->done(0); }
// A key as the window system delivers it: a window that a modal dialog
// blocks does not get it.
void presskey(QWidget* w, Qt::Key key) { QTest::keyClick(w->window()->windowHandle(), key); }

class DialogsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    usedemo();
    start();
    // Off the middle of the screen, so that centred on the screen is not
    // centred on the window.
    const QRect s = window->screen()->availableGeometry();
    window->setGeometry(s.left() + 20, s.top() + 30, s.width() * 3 / 4, s.height() * 3 / 4);
    ASSERT_TRUE(waitfor([&] { return window->geometry().left() == s.left() + 20; }));
    setmessagewindows(&notices);
    setfontdialog(&fontchoice);
    sethelpsystem(&viewer);
  }
  void TearDown() override {
    viewer.quit();
    AppTest::TearDown();
  }
  void expectcentred(const QWidget* w, const char* what) {
    QPoint d = w->frameGeometry().center() - window->frameGeometry().center();
    EXPECT_LE(d.manhattanLength(), 4) << what << " at " << w->x() << "," << w->y();
  }
  QtMessageWindows notices;
  QtFontDialog fontchoice;
  QtHelp viewer;
};

TEST_F(DialogsTest, FontChoiceOpensOnTheFontInUseAndOkWithoutAChangeChangesNothing) {
  const FontSpec before = screenfont;
  std::string opened;
  whenshown<QFontDialog>([&](QFontDialog* d) {
    opened = QFontInfo(d->currentFont()).family().toStdString();
    d->accept();
  });
  ASSERT_TRUE(choose(61));
  EXPECT_EQ(opened, QFontInfo(qfontof(before)).family().toStdString());
  EXPECT_EQ(screenfont, before);
  EXPECT_FALSE(fs::exists("fontpar.dat"));
}

TEST_F(DialogsTest, EveryDialogOpensCentredOnTheMainWindowWhetherItIsActiveOrNot) {
  for (bool active : {false, true}) {
    if (active) window->activateWindow();
    ASSERT_TRUE(!active || QTest::qWaitForWindowActive(window.get()));
    int seen = 0;
    auto check = [&](const char* what) {
      return [&, what](QWidget* w) {
        ++seen;
        expectcentred(w, what);
        closewindow(w);  // the close question answered No
      };
    };
    whenshown<QMessageBox>(check("Confirm"));
    window->close();
    whenshown<QFontDialog>(check("the font dialog"));
    ASSERT_TRUE(choose(61));
    whenshown<Tzodialog>(check("the about box"));
    ASSERT_TRUE(choose(60));
    EXPECT_EQ(seen, 3) << active;
  }
}

TEST_F(DialogsTest, PositionButtonsStayOffTheFieldAndALongLinkWrapsToTheWindow) {
  ASSERT_TRUE(choose(51));
  int gap = -1;
  whenshown<Tzodialog>([&](Tzodialog* d) {
    expectcentred(d, "Position");
    gap = itemof(d, 1)->geometry().top() - itemof(d, 300)->geometry().bottom() - 1;
    clickbutton(d, 2);
  });
  ASSERT_TRUE(choose(63));
  EXPECT_GE(gap, 6);
  shell.result = false;  // no browser: the notice gives the link to copy
  clickrow(5);
  QString copied;
  whenshown<QMessageBox>([&](QMessageBox* box) {
    expectcentred(box, "the notice");
    EXPECT_LE(box->frameGeometry().width(), window->frameGeometry().width());
    if (auto* text = box->findChild<QTextEdit*>()) copied = text->toPlainText();
    closewindow(box);
  });
  ASSERT_TRUE(choose(55));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_TRUE(copied.contains(QString::fromStdString(shell.opened[0].second))) << copied.toStdString();
}

TEST_F(DialogsTest, HelpFromTheCellSelectionIsUsableAtOnceAndTheDialogAfterIt) {
  fs::copy_file(TURM_SOURCE_DIR "/app/help/Turmscan.html", "Turmscan.html",
                fs::copy_options::overwrite_existing);
  ASSERT_TRUE(choose(51));
  bool above = false, scrolled = false, closed = false, okbykey = false;
  whenshown<Tzodialog>([&](Tzodialog* d) {
    expectcentred(d, "Zellen-Auswahl");
    presskey(d, Qt::Key_F1);
    QTextBrowser* v = nullptr;
    if (waitfor([&] { return (v = viewer.viewer()) != nullptr && v->isVisible(); })) {
      above = v->parentWidget() == d;
      keepscreenshot(v->screen()->grabWindow(0).toImage(), "turm_help_from_cellselection.png");
      presskey(v, Qt::Key_PageDown);
      scrolled = waitfor([&] { return v->verticalScrollBar()->value() > 0; }, 1000);
      presskey(v, Qt::Key_Escape);
      closed = waitfor([&] { return viewer.viewer() == nullptr || !viewer.viewer()->isVisible(); }, 1000);
    }
    // The dialog has the keyboard again: OK by its key.
    waitfor([&] { return QApplication::activeWindow() == d; }, 1000);
    itemof(d, 1)->setFocus();
    presskey(d, Qt::Key_Space);
    okbykey = !d->isVisible();
    if (d->isVisible()) clickbutton(d, 2);
  });
  ASSERT_TRUE(choose(53));
  EXPECT_TRUE(above && scrolled && closed && okbykey) << above << scrolled << closed << okbykey;
}

}  // namespace
