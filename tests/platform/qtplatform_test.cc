// The Qt implementations driven for real on the offscreen platform: message
// boxes answered from a timer, the shell's URLs caught by a URL handler,
// the help viewer and the font conversions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "lib/support/w1252.h"
#include "platform/qt/qtfont.h"
#include "platform/qt/qtfontdialog.h"
#include "platform/qt/qthelp.h"
#include "platform/qt/qtmessagewindows.h"
#include "platform/qt/qtshell.h"

namespace {

// Calls `act` on the first visible modal widget of type T once one shows.
template <typename T>
void whenmodal(std::function<void(T*)> act) {
  // The poll holds itself only weakly; each pending timer holds a strong
  // copy, so it is freed once it stops rescheduling.
  auto poll = std::make_shared<std::function<void()>>();
  auto tries = std::make_shared<int>(0);
  std::weak_ptr<std::function<void()>> self = poll;
  *poll = [=] {
    if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
      act(w);
    } else if (++*tries < 500) {
      if (auto again = self.lock()) QTimer::singleShot(10, [again] { (*again)(); });
    }
  };
  QTimer::singleShot(0, [poll] { (*poll)(); });
}

// Processes events (deferred deletes included) until cond holds; false
// after about five seconds.
bool waitfor(const std::function<bool()>& cond) {
  for (int i = 0; i < 500 && !cond(); ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::qWait(10);
  }
  return cond();
}

struct Seen {
  QString title, text;
  QStringList buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Records the box and clicks the button whose text is `click`.
void answerbox(Seen& seen, const QString& click) {
  whenmodal<QMessageBox>([&seen, click](QMessageBox* box) {
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    QPushButton* target = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      seen.buttons << b->text();
      if (b->text() == click) target = qobject_cast<QPushButton*>(b);
    }
    if (target)
      QTest::mouseClick(target, Qt::LeftButton);
    else
      box->reject();
  });
}

TEST(QtMessageWindowsTest, ConfirmDialogHasTitleButtonsAndReturnsYes) {
  QtMessageWindows w;
  Seen seen;
  answerbox(seen, "&Yes");
  EXPECT_TRUE(w.standarddialog(MsgKind::Confirm, "Programm beenden?"));
  EXPECT_EQ(seen.title, "Confirm");
  EXPECT_EQ(seen.text, "Programm beenden?");
  EXPECT_TRUE(seen.buttons.contains("&Yes"));
  EXPECT_TRUE(seen.buttons.contains("&No"));
  EXPECT_EQ(seen.buttons.size(), 2);
}

TEST(QtMessageWindowsTest, ConfirmDialogReturnsNoForNoAndForClose) {
  QtMessageWindows w;
  Seen seen;
  answerbox(seen, "&No");
  EXPECT_FALSE(w.standarddialog(MsgKind::Confirm, "q"));
  whenmodal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_FALSE(w.standarddialog(MsgKind::Confirm, "q"));
}

TEST(QtMessageWindowsTest, InformationAndErrorHaveOneOkButton) {
  QtMessageWindows w;
  Seen info, error;
  answerbox(info, "OK");
  EXPECT_TRUE(w.standarddialog(MsgKind::Information, "i"));
  EXPECT_EQ(info.title, "Information");
  EXPECT_EQ(info.buttons, QStringList{"OK"});
  answerbox(error, "OK");
  w.standarddialog(MsgKind::Error, "e");
  EXPECT_EQ(error.title, "Error");
  EXPECT_EQ(error.icon, QMessageBox::Critical);
}

TEST(QtMessageWindowsTest, NoticeTextCanBeSelectedForCopying) {
  // A notice that names a link nobody could open must let the user copy it.
  QtMessageWindows w;
  Qt::TextInteractionFlags standard, plain;
  whenmodal<QMessageBox>([&standard](QMessageBox* box) {
    standard = box->textInteractionFlags();
    box->accept();
  });
  w.standarddialog(MsgKind::Information, "https://www.openstreetmap.org/?mlat=52.5&mlon=13.4");
  whenmodal<QMessageBox>([&plain](QMessageBox* box) {
    plain = box->textInteractionFlags();
    box->accept();
  });
  w.plainbox("Mitteilung", "celltowers.html", MsgIcon::Warning, false);
  EXPECT_TRUE(standard.testFlag(Qt::TextSelectableByMouse));
  EXPECT_TRUE(plain.testFlag(Qt::TextSelectableByMouse));
}

TEST(QtMessageWindowsTest, PlainBoxShowsCaptionIconAndGermanText) {
  QtMessageWindows w;
  Seen seen;
  answerbox(seen, "OK");
  w.plainbox("FEHLER", std::string("Datei nicht gefunden: Größe"_w), MsgIcon::Stop, false);
  EXPECT_EQ(seen.title, "FEHLER");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.text, QString::fromUtf8("Datei nicht gefunden: Größe"));
}

TEST(QtMessageWindowsTest, PlainQuestionReturnsYes) {
  QtMessageWindows w;
  Seen seen;
  whenmodal<QMessageBox>([&seen](QMessageBox* box) {
    seen.icon = box->icon();
    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
  });
  EXPECT_TRUE(w.plainbox("", "q", MsgIcon::Question, true));
  EXPECT_EQ(seen.icon, QMessageBox::Question);
}

// Catches what QDesktopServices would hand to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void catchurl(const QUrl& url) { urls << url; }
};

TEST(QtShellTest, LinksAsTheyStandAndLocalFilesAsAbsoluteFileUrls) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "catchurl");
  QDesktopServices::setUrlHandler("file", &catcher, "catchurl");
  {
    QFile f("celltowers.html");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html></html>");
  }
  QtShell shell;
  const std::string link =
      "https://www.openstreetmap.org/?minlon=13.337015&minlat=52.487973&mlat=52.497973";
  EXPECT_TRUE(shell.open("open", link));
  EXPECT_TRUE(shell.open("open", "celltowers.html"));
  EXPECT_FALSE(shell.open("open", "missing.html"));
  EXPECT_FALSE(shell.open("print", "celltowers.html"));
  ASSERT_EQ(catcher.urls.size(), 2);
  EXPECT_EQ(catcher.urls[0].toString(QUrl::FullyEncoded).toStdString(), link);
  EXPECT_EQ(catcher.urls[1], QUrl::fromLocalFile(QDir::current().absoluteFilePath("celltowers.html")));
  QDesktopServices::unsetUrlHandler("https");
  QDesktopServices::unsetUrlHandler("file");
}

TEST(QtHelpTest, MissingHelpFileIsReportedInTheViewer) {
  QFile::remove("Turmscan.html");
  QtHelp help;
  help.openindex("Turmscan.hlp");
  ASSERT_NE(help.viewer(), nullptr);
  EXPECT_TRUE(help.viewer()->isVisible());
  EXPECT_TRUE(help.viewer()->toPlainText().contains("Turmscan.html"));
  EXPECT_TRUE(help.viewer()->toPlainText().contains("nicht gefunden"));
  help.quit();
  EXPECT_TRUE(waitfor([&] { return help.viewer() == nullptr; }));  // deleted on close
}

TEST(QtHelpTest, HelpFileInWorkingDirectoryIsShownAtItsStart) {
  {
    QFile f("Turmscan.html");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body><h1>Inhalt</h1><p>Hilfe zum Turmfinder</p></body></html>");
  }
  EXPECT_EQ(QtHelp::htmlnameof("Turmscan.hlp"), "Turmscan.html");
  EXPECT_EQ(QtHelp::locate("Turmscan.hlp"), QDir::current().absoluteFilePath("Turmscan.html"));
  QtHelp help;
  help.openindex("Turmscan.hlp");
  ASSERT_NE(help.viewer(), nullptr);
  EXPECT_TRUE(help.viewer()->toPlainText().startsWith("Inhalt"));
  EXPECT_EQ(help.viewer()->textCursor().position(), 0);
  help.quit();
  QFile::remove("Turmscan.html");
}

TEST(QtFontTest, SpecToQFontAndBack) {
  FontSpec fontspec;
  fontspec.name = "Liberation Sans";
  fontspec.pointsize = 13;
  fontspec.bold = true;
  fontspec.italic = true;
  QFont f = qfontof(fontspec);
  EXPECT_EQ(f.family(), "Liberation Sans");
  EXPECT_EQ(f.pointSize(), 13);
  EXPECT_TRUE(f.bold());
  EXPECT_TRUE(f.italic());
  FontSpec back = fontspecof(f);
  EXPECT_EQ(back.name, "Liberation Sans");
  EXPECT_EQ(back.pointsize, 13);
  EXPECT_TRUE(back.bold);
  EXPECT_TRUE(back.italic);
  fontspec.pointsize = 0;
  fontspec.height = 20;
  EXPECT_EQ(qfontof(fontspec).pixelSize(), 20);
}

TEST(QtFontTest, InvalidSpecGivesApplicationFont) {
  FontSpec none;
  none.valid = false;
  none.name = "Whatever";
  EXPECT_EQ(qfontof(none), QApplication::font());
}

TEST(QtFontTest, LatinFamilyIsAnsiCharset) {
  if (!QFontDatabase::families().contains("DejaVu Sans")) GTEST_SKIP() << "no DejaVu Sans";
  EXPECT_EQ(charsetoffamily("DejaVu Sans"), 0);
  EXPECT_EQ(charsetoffamily("No Such Family At All"), 1);
}

TEST(QtFontDialogTest, AcceptedChoiceKeepsColourAndClampsSize) {
  QtFontDialog dialog;
  FontSpec start;
  start.name = "DejaVu Sans";
  start.pointsize = 10;
  start.red = 255;
  QString title;
  whenmodal<QFontDialog>([&title](QFontDialog* d) {
    title = d->windowTitle();
    QFont f = d->currentFont();
    f.setPointSize(96);
    d->setCurrentFont(f);
    d->accept();
  });
  auto chosen = dialog.choose(std::string("Dialogschrift wählen"_w), start, 6, 72, false);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(title, QString::fromUtf8("Dialogschrift wählen"));
  EXPECT_EQ(chosen->pointsize, 72);
  EXPECT_EQ(chosen->red, 255);
}

TEST(QtFontDialogTest, CancelGivesNothing) {
  QtFontDialog dialog;
  whenmodal<QFontDialog>([](QFontDialog* d) { d->reject(); });
  EXPECT_FALSE(dialog.choose("t", FontSpec{}, 6, 72, true).has_value());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "qtplatform_test.moc"
