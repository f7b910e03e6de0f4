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

}  // namespace
