// Qt's German texts: once loaded they make the context menus of edit
// fields and the font dialog German, the message dialog keeps the texts it
// sets itself, and a missing translation stops nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/qt/qtmessagewindows.h"
#include "platform/qt/qttranslation.h"
#include "tests/common/screenshot.h"

namespace {

QString plain(QString text) { return text.remove('&'); }

// The texts of an edit field's context menu, without access-key marks and
// without the shortcut after the tab.
QStringList editmenutexts() {
  QLineEdit edit(QStringLiteral("Zellen-Auswahl"));
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList texts;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) texts << plain(a->text().section('\t', 0, 0));
  return texts;
}

// Answers the next message box with the button whose text is `click` and
// records its title and buttons.  The timer belongs to the application
// and deletes itself once it has answered.
void answerbox(QString& title, QStringList& buttons, const QString& click) {
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, &title, &buttons, click] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    title = box->windowTitle();
    QAbstractButton* target = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      buttons << b->text();
      if (b->text() == click) target = b;
    }
    if (target) QTest::mouseClick(target, Qt::LeftButton);
    else box->reject();
  });
  timer->start();
}

TEST(QtTranslationTest, MissingTranslationLeavesQtEnglishAndStopsNothing) {
  EXPECT_FALSE(installqttranslation(QStringLiteral("/no/such/folder")));
  EXPECT_TRUE(editmenutexts().contains("Copy"));
}

TEST(QtTranslationTest, EditMenusAndFontDialogSpeakGerman) {
  const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm";
  ASSERT_TRUE(QFile::exists(file)) << file.toStdString()
                                   << " missing: qt6-translations-l10n (scripts/install-deps.sh)";
  ASSERT_TRUE(installqttranslation());

  const QStringList edit = editmenutexts();
  EXPECT_TRUE(edit.contains("Kopieren")) << edit.join(", ").toStdString();
  EXPECT_TRUE(edit.contains(QString::fromUtf8("Einfügen"))) << edit.join(", ").toStdString();
  EXPECT_FALSE(edit.contains("Copy"));

  QFontDialog dialog;
  QStringList labels;
  for (QLabel* l : dialog.findChildren<QLabel*>()) labels << plain(l->text());
  EXPECT_TRUE(labels.contains("Schriftart")) << labels.join(", ").toStdString();
  EXPECT_TRUE(labels.contains(QString::fromUtf8("Größe"))) << labels.join(", ").toStdString();
  auto* buttons = dialog.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(plain(buttons->button(QDialogButtonBox::Cancel)->text()), "Abbrechen");

  // The context menu as the user sees it, over its field.
  QWidget window;
  window.resize(480, 280);
  auto* field = new QLineEdit(QStringLiteral("52.497973,13.342015"), &window);
  field->setGeometry(10, 10, 320, 28);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  field->selectAll();
  std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
  menu->popup(window.mapToGlobal(QPoint(30, 30)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
  QImage shot = window.grab().toImage();
  {
    QPainter painter(&shot);
    painter.drawPixmap(menu->pos() - window.mapToGlobal(QPoint(0, 0)), menu->grab());
  }
  keepscreenshot(shot, "edit_contextmenu_de.png");
  menu->close();
}

TEST(QtTranslationTest, MessageDialogKeepsTheTextsItSets) {
  installqttranslation();
  QtMessageWindows windows;
  QString title;
  QStringList buttons;
  answerbox(title, buttons, "&Yes");
  EXPECT_TRUE(windows.standarddialog(MsgKind::Confirm, "Programm beenden?"));
  EXPECT_EQ(title, "Confirm");
  EXPECT_EQ(buttons, (QStringList{"&Yes", "&No"}));
  for (auto [kind, name] : {std::pair{MsgKind::Information, "Information"}, std::pair{MsgKind::Error, "Error"}}) {
    title.clear();
    buttons.clear();
    answerbox(title, buttons, "OK");
    windows.standarddialog(kind, "Text");
    EXPECT_EQ(title, name);
    EXPECT_EQ(buttons, QStringList{"OK"});
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
