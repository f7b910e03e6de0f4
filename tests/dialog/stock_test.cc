// The stock dialogs: text input, choice box, about box, rename dialog.
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <gtest/gtest.h>

#include "app/core/appstate.h"
#include "lib/dialog/ZODlgs2.h"
#include "lib/dialog/dlgmetrics.h"
#include "lib/dialog/dlgtext.h"
#include "lib/support/w1252.h"
#include "platform/qt/qtfont.h"
#include "platform/testing/recording_messagewindows.h"
#include "tests/common/screenshot.h"
#include "tests/dialog/dlgtest.h"

namespace {

// Check boxes and radio buttons react only on their indicator and text.
void clickbox(QWidget* box) {
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

class StockDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureapp();
    cleardialogfont();
    hintpanelswitch = 0;
    tooltipswitch = 0;
    oneshotfieldhint.clear();
  }
  RecordingMessageWindows messages;
};

// Types text into the field of a textinput dialog and presses OK; records
// whether the dialog was still open afterwards, then cancels it if so.
void typeandok(Tzodialog* d, const QString& text, bool& stayedopen) {
  typeinto(d, 300, text);
  clickbutton(d, 1);
  stayedopen = d->isVisible();
  if (stayedopen) clickbutton(d, 2);
}

TEST_F(StockDialogs, TextinputRejectsTooShortText) {
  std::string text = "alt";
  bool ok = true, stayedopen = false;
  whenmodal([&](Tzodialog* d) { typeandok(d, "123456789", stayedopen); });
  textinput(nullptr, "Position", "Position", 10, 40, text, ok);
  EXPECT_TRUE(stayedopen);
  EXPECT_FALSE(ok);
  EXPECT_EQ(text, "alt");
  EXPECT_TRUE(messages.calls.empty());
}

TEST_F(StockDialogs, TextinputAcceptsTenCharactersTrimmed) {
  std::string text = "alt";
  bool ok = false, stayedopen = true;
  whenmodal([&](Tzodialog* d) { typeandok(d, "  52.50,13.30  ", stayedopen); });
  textinput(nullptr, "Position", "Position", 10, 40, text, ok);
  EXPECT_FALSE(stayedopen);
  EXPECT_TRUE(ok);
  EXPECT_EQ(text, "52.50,13.30");
}

TEST_F(StockDialogs, TextinputFieldTakesAtMostMaxlength) {
  std::string text;
  bool ok = false, stayedopen = true;
  whenmodal([&](Tzodialog* d) { typeandok(d, QString(45, 'a'), stayedopen); });
  textinput(nullptr, "Position", "Position", 10, 40, text, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(text, std::string(40, 'a'));
}

TEST_F(StockDialogs, TextinputCancelKeepsText) {
  std::string text = std::string("unverändert"_w);
  bool ok = true;
  whenmodal([&](Tzodialog* d) {
    typeinto(d, 300, "etwas ganz anderes");
    clickbutton(d, 2);
  });
  textinput(nullptr, "Name", "Name", 1, 40, text, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(text, std::string("unverändert"_w));
}

TEST_F(StockDialogs, TextinputShowsCallerTextAndTitleAsPromptWhenEmpty) {
  std::string text = "52.497973,13.342015";
  bool ok = false;
  QString label, field, title;
  whenmodal([&](Tzodialog* d) {
    label = qobject_cast<QLabel*>(itemof(d, 200))->text();
    field = qobject_cast<QLineEdit*>(itemof(d, 300))->text();
    title = d->windowTitle();
    clickbutton(d, 2);
  });
  textinput(nullptr, "Position", "", 10, 40, text, ok);
  EXPECT_EQ(label, "Position");
  EXPECT_EQ(title, "Position");
  EXPECT_EQ(field, "52.497973,13.342015");
}

TEST_F(StockDialogs, OneShotHintGoesToPanelAndToolTipOnce) {
  oneshotfieldhint = std::string("Breite und Länge eingeben."_w);
  QString tooltip;
  bool panel = false;
  whenmodal([&](Tzodialog* d) {
    tooltip = itemof(d, 300)->toolTip();
    panel = d->hintpanel != nullptr;
    clickbutton(d, 2);
  });
  std::string text;
  bool ok = false;
  textinput(nullptr, "Position", "Position", 10, 40, text, ok);
  EXPECT_EQ(tooltip, QString("Breite und Länge eingeben."));
  EXPECT_TRUE(panel);
  EXPECT_TRUE(oneshotfieldhint.empty());
}

TEST_F(StockDialogs, TextinputScreenshot) {
  std::string text = "52.497973,13.342015";
  bool ok = false;
  oneshotfieldhint = std::string("Breite und Länge eingeben. Beispiel:\"52.497973,13.342015\". "
                                 "String kann aus Google-Maps kopiert werden."_w);
  QFont f;
  f.setPixelSize(13);
  setdialogfont(f);
  whenmodal([&](Tzodialog* d) {
    QImage shot = d->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    keepscreenshot(shot, "dialog_textinput.png");
    clickbutton(d, 2);
  });
  textinput(nullptr, "Position", "Position", 10, 40, text, ok);
  cleardialogfont();
  hintpanelswitch = 0;
}

const std::vector<std::string> kEntries = {"null", "eins", "zwei", "drei", "vier", std::string("fünf"_w), "sechs"};

TEST_F(StockDialogs, RadioModeChecksFirstWhenChoiceBeyondLast) {
  std::uint16_t choice = 9;
  bool firstchecked = false;
  whenmodal([&](Tzodialog* d) {
    firstchecked = qobject_cast<QRadioButton*>(itemof(d, 300))->isChecked();
    clickbox(itemof(d, 301));
    clickbutton(d, 1);
  });
  bool ok = choicebox(nullptr, "Wahl", "", kEntries, {}, 0, 2, 2, choice, nullptr, choicelayout{});
  EXPECT_TRUE(ok);
  EXPECT_TRUE(firstchecked);
  EXPECT_EQ(choice, 1);
}

TEST_F(StockDialogs, RadioModeCancelKeepsChoice) {
  std::uint16_t choice = 1;
  whenmodal([&](Tzodialog* d) {
    clickbox(itemof(d, 300));
    clickbutton(d, 2);
  });
  EXPECT_FALSE(choicebox(nullptr, "Wahl", "", kEntries, {}, 0, 2, 2, choice, nullptr, choicelayout{}));
  EXPECT_EQ(choice, 1);
}

TEST_F(StockDialogs, CheckModeWritesOnlyFlagsOfShownEntries) {
  std::uint8_t flags[8] = {7, 7, 1, 0, 1, 0, 7, 7};
  QString firsttext;
  whenmodal([&](Tzodialog* d) {
    firsttext = qobject_cast<QCheckBox*>(itemof(d, 300))->text();
    clickbox(itemof(d, 300));  // entry 2 off
    clickbox(itemof(d, 301));  // entry 3 on
    clickbutton(d, 1);
  });
  std::uint16_t choice = 0;
  ASSERT_TRUE(choicebox(nullptr, "Wahl", "Prompt", kEntries, {}, 2, 5, 3, choice, flags, choicelayout{}));
  EXPECT_EQ(firsttext, "zwei");
  const std::uint8_t expected[8] = {7, 7, 0, 1, 1, 0, 7, 7};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(flags[i], expected[i]) << "index " << i;
}

TEST_F(StockDialogs, DropDownModeReturnsSelectedPosition) {
  std::uint16_t choice = 1;
  whenmodal([&](Tzodialog* d) {
    setitemindex((*d->parameters)[2].control, 3);
    clickbutton(d, 1);
  });
  ASSERT_TRUE(choicebox(nullptr, "Wahl", "Art", kEntries, {}, 1, 5, 0, choice, nullptr, choicelayout{}));
  EXPECT_EQ(choice, 3);
}

TEST_F(StockDialogs, AboutBoxIsLinesPlusEightRowsHighWithOneButton) {
  QFont f;
  f.setPixelSize(13);
  setdialogfont(f);
  int height = 0, buttons = 0, rowh = 0;
  QString second;
  whenmodal([&](Tzodialog* d) {
    height = d->height();
    rowh = d->rowh;
    buttons = static_cast<int>(d->findChildren<QPushButton*>().size());
    second = qobject_cast<QLabel*>(itemof(d, 201))->text();
    clickbutton(d, 1);
  });
  aboutbox(nullptr, std::string("über Turmfinder"_w), {"Turmfinder in Deutschland", "Autor", "Version 0.9"}, 3, 30);
  EXPECT_EQ(rowh, 20);  // the unspaced line of a 13-pixel font
  EXPECT_EQ(height, (3 + 8) * rowh);
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(second, "Autor");
}

// The about box of the program: its lines, each in a label of the box's
// width.  Returns the labels of lines 1 to 5.
std::vector<QLabel*> aboutlabels(Tzodialog* d) {
  std::vector<QLabel*> labels;
  for (int i = 1; i <= 5; ++i) labels.push_back(qobject_cast<QLabel*>(itemof(d, 199 + i)));
  return labels;
}

// Every line is shown whole: its text, in the label's font, fits the label.
void expectlinesfit(Tzodialog* d, const std::string& what) {
  const std::vector<std::string> lines = aboutlines();
  const std::vector<QLabel*> labels = aboutlabels(d);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    ASSERT_NE(labels[i], nullptr) << what;
    EXPECT_EQ(labels[i]->text(), toq(lines[i])) << what;
    EXPECT_LE(QFontMetrics(labels[i]->font()).horizontalAdvance(labels[i]->text()),
              labels[i]->contentsRect().width())
        << what << ": " << lines[i];
  }
}

TEST_F(StockDialogs, AboutBoxLinesFitTheirLabelsAtEveryDialogFont) {
  for (const std::string& line : aboutlines()) EXPECT_LE(line.size(), std::size_t(kAboutWidth)) << line;
  {
    xTaboutdlg d(nullptr, "t", aboutlines(), 5, kAboutWidth);
    expectlinesfit(&d, "no dialog font");
  }
  setdialogfont(qfontof(startupfont(defaultfontrecord())));
  {
    xTaboutdlg d(nullptr, "t", aboutlines(), 5, kAboutWidth);
    expectlinesfit(&d, "the default dialog font");
  }
  int families = 0;
  for (const char* family : {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono", "Liberation Sans",
                             "Liberation Serif", "Liberation Mono"}) {
    if (!QFontDatabase::families().contains(family)) continue;
    ++families;
    for (int points : {6, 8, 10, 12, 16, 24, 36, 48}) {
      for (bool bold : {false, true}) {
        QFont f(family, points);
        f.setBold(bold);
        setdialogfont(f);
        xTaboutdlg d(nullptr, "t", aboutlines(), 5, kAboutWidth);
        expectlinesfit(&d, std::string(family) + " " + std::to_string(points) + (bold ? " bold" : ""));
      }
    }
  }
  EXPECT_GT(families, 0) << "none of the fonts of the install script";
}

TEST_F(StockDialogs, WithoutDialogFontAboutLinesStandApart) {
  // The rows follow the font the box draws in, not fixed 8-pixel metrics.
  cleardialogfont();
  xTaboutdlg d(nullptr, "t", aboutlines(), 5, kAboutWidth);
  const std::vector<QLabel*> labels = aboutlabels(&d);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    ASSERT_NE(labels[i], nullptr);
    const int textheight = QFontMetrics(labels[i]->font()).height();
    EXPECT_GE(labels[i]->height(), textheight) << i;
    if (i > 0) EXPECT_GE(labels[i]->y(), labels[i - 1]->y() + textheight) << i;
  }
}

TEST_F(StockDialogs, HugeDialogFontKeepsTheAboutBoxAndItsOkOnTheScreen) {
  QFont f;
  f.setPixelSize(400);
  setdialogfont(f);
  xTaboutdlg d(nullptr, "t", aboutlines(), 5, kAboutWidth);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  EXPECT_TRUE(d.screen()->availableGeometry().contains(d.frameGeometry()))
      << d.width() << "x" << d.height();
  QWidget* ok = itemof(&d, 1);
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(d.rect().contains(ok->geometry()));
  expectlinesfit(&d, "400 pixels");
}

TEST_F(StockDialogs, AboutBoxScreenshotsAtDefaultAnd16PointDialogFont) {
  setdialogfont(qfontof(startupfont(defaultfontrecord())));
  QFont sixteen = qfontof(startupfont(defaultfontrecord()));
  sixteen.setPointSize(16);
  for (auto [font, name] : {std::pair{*dialogfont(), "dialog_about_default.png"},
                            std::pair{sixteen, "dialog_about_16pt.png"}}) {
    setdialogfont(font);
    xTaboutdlg d(nullptr, std::string("über Turmfinder"_w), aboutlines(), 5, kAboutWidth);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    expectlinesfit(&d, name);
    keepscreenshot(d.grab().toImage(), name);
  }
}

TEST_F(StockDialogs, NameReplaceNeedsBothNames) {
  std::string oldname = "alt", newname = "neu";
  bool stayedopen = false;
  whenmodal([&](Tzodialog* d) {
    typeinto(d, 302, "   ");
    clickbutton(d, 1);
    stayedopen = d->isVisible();
    typeinto(d, 302, "  frisch ");
    clickbutton(d, 1);
  });
  ASSERT_TRUE(namereplace(nullptr, oldname, newname));
  EXPECT_TRUE(stayedopen);
  EXPECT_EQ(oldname, "alt");
  EXPECT_EQ(newname, "frisch");
}

}  // namespace
