// The stock dialogs: text input, choice box, about box, rename dialog.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "lib/dialog/ZODlgs2.h"
#include "lib/dialog/dlgmetrics.h"
#include "lib/dialog/dlgtext.h"
#include "lib/support/w1252.h"
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
