// Metrics, conversion to pixels, control creation, button results and the
// library switches of the dialog base.
#include <filesystem>
#include <fstream>
#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "lib/dialog/dlgexport.h"
#include "lib/dialog/dlgmetrics.h"
#include "lib/dialog/dlgtext.h"
#include "lib/support/messages.h"
#include "platform/testing/recording_messagewindows.h"
#include "tests/dialog/dlgtest.h"

namespace {

// A dialog whose table the test fills through describe(); canclose answers
// what the test says.
class TestDlg : public Tzodialog {
 public:
  explicit TestDlg(const std::function<void(TestDlg&)>& describe) {
    describe(*this);
    setupwindow();
  }
  bool canclose() override {
    Tzodialog::canclose();
    ++checks;
    return accept;
  }
  bool accept = true;
  int checks = 0;
};

class DialogLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureapp();
    cleardialogfont();
    thirdbutton1 = false;
    thirdbutton2 = true;
    exportmode = 0;
    hintpanelswitch = 0;
    defaulthintmode = 0;
    dialogcancelled = false;
  }
  void TearDown() override {
    cleardialogfont();
    exportmode = 0;
  }
  RecordingMessageWindows messages;
};

void twobuttons(TestDlg& d) {
  describeheader(30, 10, "Test", *d.parameters);
  d.itemcount = 2;
  describebuttonrow(30, 4, 1, d.itemcount, *d.parameters);
}

TEST(DialogMetrics, FontHeightMinus13GivesCw9Lh26Rowh14) {
  dlgmetrics m = computemetrics(-13, 6);
  EXPECT_EQ(m.cw, 9);
  EXPECT_EQ(m.lh, 26);
  EXPECT_EQ(m.rowh, 14);
}

TEST(DialogMetrics, NoDialogFontGivesFixedMetrics) {
  dlgmetrics m = computemetrics(0, 6);
  EXPECT_EQ(m.cw, 8);
  EXPECT_EQ(m.lh, 14);
  EXPECT_EQ(m.rowh, 8);
}

TEST(DialogMetrics, HalfwayLineHeightRoundsToEven) {
  EXPECT_EQ(computemetrics(7, 0).lh, 10);  // 10.5
  EXPECT_EQ(computemetrics(5, 0).lh, 8);   // 7.5
}

TEST_F(DialogLayout, DialogFontOf13PixelsDrivesSetup) {
  QFont f;
  f.setPixelSize(13);
  setdialogfont(f);
  TestDlg d([](TestDlg& d) { twobuttons(d); });
  EXPECT_EQ(d.cw, 9);
  EXPECT_EQ(d.lh, 26);
  EXPECT_EQ(d.rowh, 14);
  EXPECT_EQ(d.width(), 30 * 9);
  EXPECT_EQ(d.height(), 10 * 14);
}

TEST_F(DialogLayout, HeightsConvertByLinesOrRows) {
  TestDlg d([](TestDlg& d) {
    dlgtable& t = *d.parameters;
    describeheader(40, 20, "Test", t);
    describelabel(1, 1, 1, "Eins", 10, t[1]);
    describememo(1, 3, 1, "", 3, 20, t[2]);
    describelist(1, 9, 2, t[3], 0, 3, 20);
    describecombo(1, 15, 3, t[4], 3, 10, 20);
    d.itemcount = 4;
  });
  const dlgtable& t = *d.parameters;
  EXPECT_EQ(t[1].control->height(), d.lh);
  EXPECT_EQ(t[2].control->height(), 3 * d.rowh + d.rowh);
  EXPECT_EQ(t[3].control->height(), 3 * d.rowh);
  EXPECT_EQ(t[1].control->y(), d.rowh);
  EXPECT_EQ(t[2].control->x(), d.cw);
  EXPECT_EQ(t[2].control->width(), 20 * d.cw);
  auto* combo = qobject_cast<QComboBox*>(t[4].control);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->maxVisibleItems(), 8);
  EXPECT_FALSE(combo->isEditable());
  EXPECT_NE(qobject_cast<QPlainTextEdit*>(t[2].control), nullptr);
}

TEST_F(DialogLayout, IdsAreSwappedToUniqueControlIds) {
  TestDlg d([](TestDlg& d) {
    dlgtable& t = *d.parameters;
    describeheader(40, 10, "Test", t);
    describelabel(1, 1, 1, "Name", 10, t[1]);
    describeedit(12, 1, 1, "abc", 10, t[2]);
    d.itemcount = 2;
  });
  const dlgtable& t = *d.parameters;
  EXPECT_EQ(t[1].origid, 201);
  EXPECT_EQ(t[2].origid, 301);
  EXPECT_NE(t[1].id, t[2].id);
  EXPECT_EQ(t[2].id, controlid(t[2].control));
  EXPECT_EQ(t[2].control->objectName(), "item301");
  std::string text;
  getitemtext(20, &d, t[2].id, text, 40);
  EXPECT_EQ(text, "abc");
  // The described id no longer addresses anything.
  EXPECT_EQ(getitemcontrol(&d, 301), nullptr);
}

TEST_F(DialogLayout, GroupBoxesAreMadeFirstAndHoldTheirLabels) {
  TestDlg d([](TestDlg& d) {
    dlgtable& t = *d.parameters;
    describeheader(40, 16, "Test", t);
    describelabel(1, 1, 1, "drin", 10, t[1]);
    t[1].groupindex = 2;
    describeitem(2, 2, 400, t[2], 0, "Gruppe", 8, 30, kindgroup);
    d.itemcount = 2;
  });
  const dlgtable& t = *d.parameters;
  EXPECT_NE(qobject_cast<QGroupBox*>(t[2].control), nullptr);
  EXPECT_EQ(t[1].control->parentWidget(), t[2].control);
}

TEST_F(DialogLayout, ButtonRowCentresOkAndCancelAtThirds) {
  TestDlg d([](TestDlg& d) { twobuttons(d); });
  const dlgtable& t = *d.parameters;
  EXPECT_EQ(t[1].origid, 1);
  EXPECT_EQ(t[2].origid, 2);
  EXPECT_EQ(t[1].control->x(), (10 - 5) * d.cw);
  EXPECT_EQ(t[2].control->x(), (20 - 5) * d.cw);
  EXPECT_EQ(toq("Abbruch"), qobject_cast<QPushButton*>(t[2].control)->text());
  EXPECT_FALSE(qobject_cast<QPushButton*>(t[1].control)->autoDefault());
  EXPECT_FALSE(qobject_cast<QPushButton*>(t[1].control)->isDefault());
}

TEST_F(DialogLayout, ThirdButtonOnlyForOneRow) {
  thirdbutton1 = true;
  thirdbutton2 = true;
  TestDlg d([](TestDlg& d) { twobuttons(d); });
  EXPECT_EQ(d.itemcount, 3);
  EXPECT_EQ((*d.parameters)[3].origid, 12);
  EXPECT_EQ((*d.parameters)[1].control->x(), (7 - 5) * d.cw);
  TestDlg next([](TestDlg& d) { twobuttons(d); });
  EXPECT_EQ(next.itemcount, 2);
  EXPECT_EQ((*next.parameters)[3].control, nullptr);
}

TEST_F(DialogLayout, OkReturnsOneAndCancelTwoWithCancelledFlag) {
  {
    TestDlg d([](TestDlg& d) { twobuttons(d); });
    whenmodal([](Tzodialog* m) { clickbutton(m, 1); });
    EXPECT_EQ(d.exec(), mrOk);
    EXPECT_EQ(d.checks, 1);
  }
  EXPECT_FALSE(dialogcancelled);
  {
    TestDlg d([](TestDlg& d) { twobuttons(d); });
    whenmodal([](Tzodialog* m) { clickbutton(m, 2); });
    EXPECT_EQ(d.exec(), mrCancel);
    EXPECT_EQ(d.checks, 0);
  }
  EXPECT_TRUE(dialogcancelled);
}

TEST_F(DialogLayout, ConstructionForgetsTheCancelOfAnEarlierDialog) {
  {
    TestDlg d([](TestDlg& d) { twobuttons(d); });
    whenmodal([](Tzodialog* m) { clickbutton(m, 2); });
    EXPECT_EQ(d.exec(), mrCancel);
  }
  ASSERT_TRUE(dialogcancelled);
  TestDlg next([](TestDlg& d) { twobuttons(d); });
  EXPECT_FALSE(dialogcancelled);
  whenmodal([](Tzodialog* m) { clickbutton(m, 1); });
  EXPECT_EQ(next.exec(), mrOk);
  EXPECT_FALSE(dialogcancelled);
}

TEST_F(DialogLayout, RefusedCheckKeepsDialogOpenWithResultZero) {
  TestDlg d([](TestDlg& d) { twobuttons(d); });
  d.accept = false;
  bool stillopen = false;
  int resultafter = -1;
  whenmodal([&](Tzodialog* m) {
    clickbutton(m, 1);
    stillopen = m->isVisible();
    resultafter = m->modalresult();
    clickbutton(m, 2);
  });
  EXPECT_EQ(d.exec(), mrCancel);
  EXPECT_TRUE(stillopen);
  EXPECT_EQ(resultafter, 0);
}

TEST_F(DialogLayout, EnterAndEscapePressNoButton) {
  TestDlg d([](TestDlg& d) { twobuttons(d); });
  bool openafterkeys = false;
  whenmodal([&](Tzodialog* m) {
    (*m->parameters)[1].control->setFocus();
    QTest::keyClick(m, Qt::Key_Return);
    QTest::keyClick(m, Qt::Key_Escape);
    QTest::keyClick((*m->parameters)[1].control, Qt::Key_Return);
    openafterkeys = m->isVisible();
    clickbutton(m, 2);
  });
  d.exec();
  EXPECT_TRUE(openafterkeys);
  EXPECT_EQ(d.checks, 0);
}

TEST_F(DialogLayout, EnterInEditMovesToNextField) {
  TestDlg d([](TestDlg& d) {
    dlgtable& t = *d.parameters;
    describeheader(40, 10, "Test", t);
    describeedit(1, 1, 1, "", 10, t[1]);
    describeedit(1, 3, 2, "", 10, t[2]);
    d.itemcount = 2;
  });
  d.show();
  QApplication::setActiveWindow(&d);
  (*d.parameters)[1].control->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == (*d.parameters)[1].control; }, 2000));
  QTest::keyClick((*d.parameters)[1].control, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == (*d.parameters)[2].control; }, 2000));
}

TEST_F(DialogLayout, EditLimitsInputToCharwidth) {
  TestDlg d([](TestDlg& d) {
    dlgtable& t = *d.parameters;
    describeheader(40, 10, "Test", t);
    describeedit(1, 1, 1, "", 5, t[1]);
    d.itemcount = 1;
  });
  typeinto(&d, 301, "123456789");
  EXPECT_EQ(qobject_cast<QLineEdit*>(itemof(&d, 301))->text(), "12345");
}

TEST_F(DialogLayout, HintPanelShowsHintOfControlUnderMouse) {
  hintpanelswitch = 1;
  TestDlg d([](TestDlg& d) {
    hintmode = 2;
    dlgtable& t = *d.parameters;
    describeheader(40, 10, "Test", t);
    describeedit(1, 1, 1, "", 10, t[1]);
    t[1].hint = "Hier tippen";
    d.itemcount = 1;
  });
  hintpanelswitch = 0;
  ASSERT_NE(d.hintpanel, nullptr);
  EXPECT_EQ(d.height(), 10 * d.rowh + 8 * d.rowh);
  EXPECT_EQ(d.hintpanel->y(), 10 * d.rowh - d.rowh);
  QEvent enter(QEvent::Enter);
  hintpanelswitch = 1;
  QApplication::sendEvent((*d.parameters)[1].control, &enter);
  hintpanelswitch = 0;
  EXPECT_EQ(d.hintpanel->text(), "Hier tippen");
}

TEST_F(DialogLayout, ExportWithDialogIdZeroOnlyNotifies) {
  std::filesystem::remove_all("help");
  exportmode = 1;
  TestDlg d([](TestDlg& d) { twobuttons(d); });
  ASSERT_EQ(messages.calls.size(), 1u);
  EXPECT_EQ(messages.calls[0].text, "dialogid=0");
  EXPECT_FALSE(std::filesystem::exists("help"));
}

TEST_F(DialogLayout, ExportModeOneWritesCaptionsAndHints) {
  std::filesystem::remove_all("help");
  exportmode = 1;
  TestDlg d([](TestDlg& d) {
    d.dialogid = 77;
    twobuttons(d);
    (*d.parameters)[1].hint = "nimmt alles";
  });
  std::ifstream in("help/dlg77.txt", std::ios::binary);
  ASSERT_TRUE(in.good());
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "#77\r\nTest\r\nOK\r\nAbbruch\r\n\r\nnimmt alles\r\n\r\n");
  ASSERT_FALSE(messages.calls.empty());
  EXPECT_EQ(messages.calls.back().text, "help/dlg77.txt Expodlg ok");
}

TEST_F(DialogLayout, ExportCutsLongLinesAt80) {
  dlgtable t;
  initdlgtable(t);
  t[0].caption = "Titel";
  t[0].hint = std::string(100, 'x');
  auto lines = dlgexportlines(t, 0);
  ASSERT_EQ(lines.size(), 2u);
  std::filesystem::remove_all("help");
  ASSERT_TRUE(exportdescriptionfile(3, 3, lines));
  std::ifstream in("help/dlg3.txt", std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "#3\r\nTitel\r\n" + std::string(80, 'x') + "\r\n" + std::string(20, 'x') + "\r\n");
}

TEST(DialogHelpText, CaptionsGetColonAndHintsAreIndented) {
  dlgtable t;
  initdlgtable(t);
  t[0].hint = "Kopf";
  t[1].caption = "Name";
  t[1].hint = "der Name";
  t[2].caption = "Ort:";
  t[2].hint = "wo";
  t[3].caption = "ohne Hinweis";
  EXPECT_EQ(dlghelptext(t, 3), " Kopf\r\nName:\r\n  der Name\r\nOrt:\r\n  wo\r\n");
}

}  // namespace

namespace {

TEST_F(DialogLayout, SpinEditStepsWithinBoundsWithoutWrap) {
  TestDlg d([](TestDlg& d) {
    dlgtable& t = *d.parameters;
    describeheader(40, 10, "Test", t);
    describeitem(1, 1, 310, t[1], 0, "9", 1, 10, kindspinedit);
    t[1].minvalue = toreal(0);
    t[1].maxvalue = toreal(10);
    t[1].stepvalue = toreal(3);
    d.itemcount = 1;
  });
  const dlgparameter& p = (*d.parameters)[1];
  ASSERT_NE(p.spincontrol, nullptr);
  EXPECT_EQ(p.control->width(), 10 * d.cw - 2 * d.cw);
  EXPECT_EQ(p.spincontrol->x(), p.control->x() + p.control->width());
  auto* edit = qobject_cast<QLineEdit*>(p.control);
  QTest::keyClick(edit, Qt::Key_Up);
  EXPECT_EQ(edit->text(), "10");
  QTest::keyClick(edit, Qt::Key_Up);
  EXPECT_EQ(edit->text(), "10");
  QTest::mouseClick(p.spincontrol->findChild<QWidget*>("spindown"), Qt::LeftButton);
  EXPECT_EQ(edit->text(), "7");
}

}  // namespace
