// The Qt implementations driven for real on the offscreen platform: message
// boxes answered from a timer, the shell's URLs caught by a URL handler,
// the help viewer and the font conversions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFileDialog>
#include <QFontDialog>
#include <QIntValidator>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "lib/support/w1252.h"
#include "platform/qt/qtfiledialog.h"
#include "platform/qt/qtfont.h"
#include "platform/qt/qtfontdialog.h"
#include "platform/qt/qthelp.h"
#include "platform/qt/qtmessagewindows.h"
#include "platform/qt/qtshell.h"
#include "platform/testing/recording_messagewindows.h"

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

TEST(QtHelpTest, ViewerOpensBesideOrCentredOnTheMainWindowNotAtTheCorner) {
  QFile::remove("Turmscan.html");
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  {
    // Room on the right: beside the window, top edges level.
    QMainWindow main;
    main.setGeometry(screen.left() + 10, screen.top() + 40, 100, 100);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QtHelp help;
    help.openindex("Turmscan.hlp");
    ASSERT_NE(help.viewer(), nullptr);
    const QRect v = help.viewer()->frameGeometry(), m = main.frameGeometry();
    EXPECT_EQ(v.left(), m.right() + 1);
    EXPECT_EQ(v.top(), m.top());
    help.quit();
  }
  {
    // No room on either side: centred on the window.
    QMainWindow main;
    main.setGeometry(screen.left() + 50, screen.top() + 50, screen.width() - 100, screen.height() - 100);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QtHelp help;
    help.openindex("Turmscan.hlp");
    ASSERT_NE(help.viewer(), nullptr);
    const QRect v = help.viewer()->frameGeometry(), m = main.frameGeometry();
    const QPoint offset = v.center() - m.center();
    // (The frame, unknown before the first show, may shift it by its width.)
    EXPECT_LE(offset.manhattanLength(), 8) << offset.x() << "," << offset.y() << " viewer " << v.x() << ","
                                           << v.y() << " " << v.width() << "x" << v.height() << " main " << m.x()
                                           << "," << m.y() << " " << m.width() << "x" << m.height();
    EXPECT_NE(help.viewer()->pos(), QPoint(0, 0));
    help.quit();
  }
}

TEST(QtHelpTest, EscAndCtrlWCloseTheViewer) {
  for (QKeyCombination key : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL, Qt::Key_W)}) {
    QtHelp help;
    help.openindex("Turmscan.hlp");
    ASSERT_NE(help.viewer(), nullptr);
    QTextBrowser* viewer = help.viewer();
    viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
    QTest::keyClick(viewer, key.key(), key.keyboardModifiers());
    EXPECT_TRUE(waitfor([&] { return help.viewer() == nullptr; })) << key.toCombined();
  }
}

TEST(QtHelpTest, ReadmeTableShowsMenuCaptionsWithoutAmpersands) {
  QFile readme(QStringLiteral(TURM_SOURCE_DIR "/README.md"));
  if (!readme.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no README";
  for (const QString& line : QString::fromUtf8(readme.readAll()).split('\n'))
    if (line.startsWith(QLatin1Char('|'))) {
      EXPECT_FALSE(line.contains(QStringLiteral("**&"))) << line.toStdString();
    }
}

TEST(QtHelpTest, ProgramHelpShowsMenuCaptionsWithoutAmpersands) {
  const QString document = QStringLiteral(TURM_SOURCE_DIR "/app/help/Turmscan.html");
  if (!QFile::exists(document)) GTEST_SKIP() << "no help document at " << document.toStdString();
  QtHelp help;
  help.openindex(document.toStdString());
  ASSERT_NE(help.viewer(), nullptr);
  const QString text = help.viewer()->toPlainText();
  EXPECT_TRUE(text.contains(QString::fromUtf8("Schließen")));
  // A caption's access key is the menu's business, not the reader's.
  const QRegularExpression marked(QStringLiteral("&\\p{L}"));
  EXPECT_FALSE(text.contains(marked)) << text.mid(text.indexOf(marked) - 20, 40).toStdString();
  // A page of Bild auf/ab is a number of rows the reader can rely on.
  EXPECT_TRUE(text.contains(QStringLiteral("das sind 20 Zeilen")));
  help.quit();
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

// The size field and the OK button of Qt's font dialog.
QLineEdit* sizefield(QFontDialog* d) {
  for (QLineEdit* e : d->findChildren<QLineEdit*>())
    if (qobject_cast<const QIntValidator*>(e->validator())) return e;
  return nullptr;
}
QPushButton* okbutton(QFontDialog* d) {
  auto* box = d->findChild<QDialogButtonBox*>();
  return box ? box->button(QDialogButtonBox::Ok) : nullptr;
}

TEST(QtFontDialogTest, TypedSizeOutsideTheRangeIsRefusedWithANoticeNotClamped) {
  RecordingMessageWindows messages;
  QtFontDialog dialog;
  FontSpec start;
  start.name = "DejaVu Sans";
  start.pointsize = 10;
  start.red = 255;
  QString title;
  bool stayedopen = false;
  std::size_t noticesafter72 = 0;
  whenmodal<QFontDialog>([&](QFontDialog* d) {
    title = d->windowTitle();
    QLineEdit* size = sizefield(d);
    QPushButton* ok = okbutton(d);
    if (!size || !ok) return d->reject();
    size->selectAll();
    QTest::keyClicks(size, "72");
    QTest::mouseClick(ok, Qt::LeftButton);
    stayedopen = d->isVisible();
    noticesafter72 = messages.calls.size();
    size->selectAll();
    QTest::keyClicks(size, "12");
    QTest::mouseClick(ok, Qt::LeftButton);
  });
  auto chosen = dialog.choose(std::string("Dialogschrift wählen"_w), start, 6, 48, false);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(title, QString::fromUtf8("Dialogschrift wählen"));
  EXPECT_TRUE(stayedopen);
  ASSERT_EQ(noticesafter72, 1u);
  EXPECT_EQ(messages.calls[0].kind, MsgKind::Error);
  EXPECT_EQ(messages.calls[0].text, std::string("Die Schriftgröße muss zwischen 6 und 48 Punkt liegen."_w));
  EXPECT_EQ(messages.calls.size(), 1u);
  EXPECT_EQ(chosen->pointsize, 12);
  EXPECT_EQ(chosen->red, 255);
}

TEST(QtFontDialogTest, OffersLatinFontsAndSizesInRangeOnly) {
  QtFontDialog dialog;
  FontSpec start;
  start.name = "DejaVu Sans";
  start.pointsize = 10;
  QStringList families, shownsizes;
  int hiddensizes = 0;
  bool systemfixed = false;
  whenmodal<QFontDialog>([&](QFontDialog* d) {
    for (QComboBox* c : d->findChildren<QComboBox*>())
      systemfixed = c->currentIndex() == QFontDatabase::Latin && !c->isEnabled();
    // Family, style and size lists, in the order the dialog makes them.
    const QList<QListView*> lists = d->findChildren<QListView*>();
    if (lists.size() != 3) return d->reject();
    const QAbstractItemModel* names = lists[0]->model();
    for (int r = 0; r < names->rowCount(); ++r) families << names->index(r, 0).data().toString();
    const QAbstractItemModel* sizes = lists[2]->model();
    for (int r = 0; r < sizes->rowCount(); ++r) {
      if (lists[2]->isRowHidden(r)) ++hiddensizes;
      else shownsizes << sizes->index(r, 0).data().toString();
    }
    d->reject();
  });
  dialog.choose("t", start, 6, 48, false);
  EXPECT_TRUE(systemfixed);
  ASSERT_FALSE(families.isEmpty());
  for (const QString& f : families)
    EXPECT_TRUE(QFontDatabase::writingSystems(f).contains(QFontDatabase::Latin)) << f.toStdString();
  ASSERT_FALSE(shownsizes.isEmpty());
  for (const QString& s : shownsizes) {
    EXPECT_GE(s.toInt(), 6);
    EXPECT_LE(s.toInt(), 48);
  }
  EXPECT_GT(hiddensizes, 0);  // 72 is among Qt's standard sizes
}

TEST(QtFontDialogTest, CancelGivesNothing) {
  QtFontDialog dialog;
  whenmodal<QFontDialog>([](QFontDialog* d) { d->reject(); });
  EXPECT_FALSE(dialog.choose("t", FontSpec{}, 6, 72, true).has_value());
}

// The save dialog as a user meets it: a name typed without an extension
// gets the one of the type chosen in the list, and the answer names that
// type; the open dialog answers the file picked, Cancel nothing.
TEST(QtFileDialogTest, SaveAddsTheChosenTypesExtensionAndOpenAnswersThePickedFile) {
  QDir dir(QDir::current().absoluteFilePath("filedialog"));
  dir.removeRecursively();
  ASSERT_TRUE(QDir::current().mkpath("filedialog"));
  const std::vector<FileFilter> types = {{"CSV-Datei", "*.csv"}, {"GeoJSON-Datei", "*.geojson"},
                                         {"KML-Datei", "*.kml"}};
  QtFileDialog files;
  whenmodal<QFileDialog>([](QFileDialog* d) {
    EXPECT_EQ(d->objectName(), "savedialog");
    d->selectNameFilter(d->nameFilters().at(1));
    emit d->filterSelected(d->nameFilters().at(1));
    d->selectFile("liste");
    static_cast<QDialog*>(d)->accept();
  });
  auto saved = files.savefile("Liste exportieren", dir.absolutePath().toStdString(), "", types, 0);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->filter, 1);
  EXPECT_EQ(saved->path, dir.absoluteFilePath("liste.geojson").toStdString());

  QFile existing(dir.absoluteFilePath("export.csv"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  whenmodal<QFileDialog>([](QFileDialog* d) {
    EXPECT_EQ(d->objectName(), "opendialog");
    d->selectFile("export.csv");
    static_cast<QDialog*>(d)->accept();
  });
  auto opened = files.openfile("Export einlesen", dir.absolutePath().toStdString(), types);
  ASSERT_TRUE(opened.has_value());
  EXPECT_EQ(*opened, dir.absoluteFilePath("export.csv").toStdString());

  whenmodal<QFileDialog>([](QFileDialog* d) { d->reject(); });
  EXPECT_FALSE(files.openfile("Export einlesen", dir.absolutePath().toStdString(), types).has_value());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "qtplatform_test.moc"
