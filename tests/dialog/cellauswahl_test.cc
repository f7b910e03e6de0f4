// The cell selection dialog: start values, hexadecimal input, range
// checks with the first-error-only rule, and what reaches the criteria.
#include <cstring>
#include <tuple>

#include <QComboBox>
#include <QLabel>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScreen>

#include <gtest/gtest.h>

#include "lib/dialog/dlgfields.h"
#include "lib/support/w1252.h"
#include "platform/testing/recording_messagewindows.h"
#include "query/gui/cellauswahldlg.h"
#include "tests/common/screenshot.h"
#include "tests/dialog/dlgtest.h"

namespace {

constexpr int kType = 301, kNetid = 302, kArea = 303, kCellid = 304;

class CellSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureapp();
    criteria = ttowerrec{};
    fielderrortext.clear();
  }
  QString textof(Tzodialog* d, int id) { return qobject_cast<QLineEdit*>(itemof(d, id))->text(); }
  RecordingMessageWindows messages;
  ttowerrec criteria;
};

TEST_F(CellSelection, StartValuesAreAlleZeroAndDollarZero) {
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  EXPECT_EQ(dlg.windowTitle(), "Zellen-Auswahl");
  auto* type = qobject_cast<QComboBox*>(itemof(&dlg, kType));
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->currentText(), "Alle");
  EXPECT_EQ(type->count(), 7);
  EXPECT_EQ(type->itemText(5), "CDMA");
  EXPECT_EQ(type->itemText(6), "NR");
  EXPECT_EQ(textof(&dlg, kNetid), "0");
  EXPECT_EQ(textof(&dlg, kArea), "$0");
  EXPECT_EQ(textof(&dlg, kCellid), "$0");
}

TEST_F(CellSelection, StartValuesShowCriteriaInHex) {
  criteria.typecode = 2;
  criteria.netid = 3;
  criteria.area = 0xBEEF;
  criteria.cellid = 0x7FFFFFFF;
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  EXPECT_EQ(qobject_cast<QComboBox*>(itemof(&dlg, kType))->currentText(), "UMTS");
  EXPECT_EQ(textof(&dlg, kNetid), "3");
  EXPECT_EQ(textof(&dlg, kArea), "$BEEF");
  EXPECT_EQ(textof(&dlg, kCellid), "$7FFFFFFF");
}

TEST_F(CellSelection, AreaInDollarHexOrDecimalGives6699) {
  for (const char* typed : {"$1A2B", "6699", "$1a2b"}) {
    criteria = ttowerrec{};
    TcellauswahlDlg dlg(nullptr, 0, criteria);
    typeinto(&dlg, kArea, typed);
    EXPECT_TRUE(dlg.canclose()) << typed;
    EXPECT_EQ(+criteria.area, 6699) << typed;
  }
}

TEST_F(CellSelection, HexDigitsWithoutDollarAreRejected) {
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  typeinto(&dlg, kArea, "1A2B");
  EXPECT_FALSE(dlg.canclose());
  EXPECT_EQ(+criteria.area, 0);
  EXPECT_EQ(dlg.focusWidget(), itemof(&dlg, kArea));
  ASSERT_EQ(messages.calls.size(), 2u);
  EXPECT_EQ(messages.calls[0].text, "Fehler");
  EXPECT_EQ(messages.calls[1].text, std::string("Area: Ganzzahl-Wert 1A2B muß >=0 und <=16777215 sein"_w));
  // The user's input stays for correction.
  EXPECT_EQ(textof(&dlg, kArea), "1A2B");
}

// The keys of NR cells: area up to $FFFFFF and cell id up to $FFFFFFFFF
// for type NR (one more is refused with the row's range message), shown
// again in "$" form.
TEST_F(CellSelection, NrAreaAndCellIdTakeTwentyFourAndThirtySixBits) {
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  setitemindex(itemof(&dlg, kType), 6);
  typeinto(&dlg, kArea, "$1000000");
  typeinto(&dlg, kCellid, "12345678901");
  EXPECT_FALSE(dlg.canclose());
  ASSERT_EQ(messages.calls.size(), 2u);
  EXPECT_EQ(messages.calls[1].text, std::string("Area: Ganzzahl-Wert 16777216 muß >=0 und <=16777215 sein"_w));
  typeinto(&dlg, kArea, "$FFFFFF");
  EXPECT_TRUE(dlg.canclose());
  EXPECT_EQ(gettypetext(criteria), "NR");
  EXPECT_EQ(criteriaarea(criteria), 16777215u);
  EXPECT_EQ(criteriacell(criteria), 12345678901u);
  TcellauswahlDlg shown(nullptr, 0, criteria);
  EXPECT_EQ(textof(&shown, kArea), "$FFFFFF");
  EXPECT_EQ(textof(&shown, kCellid), "$2DFDC1C35");
}

TEST_F(CellSelection, LargestCellIdIsAccepted) {
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  typeinto(&dlg, kCellid, "$7FFFFFFF");
  EXPECT_TRUE(dlg.canclose());
  EXPECT_EQ(+criteria.cellid, 2147483647);
}

TEST_F(CellSelection, OnlyFirstBadFieldIsReportedAndFocused) {
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  typeinto(&dlg, kNetid, "70000");
  typeinto(&dlg, kArea, "$2A");  // valid, but nothing may be copied
  typeinto(&dlg, kCellid, "zz");
  EXPECT_FALSE(dlg.canclose());
  EXPECT_EQ(dlg.focusWidget(), itemof(&dlg, kNetid));
  ASSERT_EQ(messages.calls.size(), 2u);
  EXPECT_EQ(messages.calls[1].text, std::string("Netid: Ganzzahl-Wert 70000 muß >=0 und <=65535 sein"_w));
  EXPECT_EQ(+criteria.area, 0);
}

TEST_F(CellSelection, OkWritesTypeAndClearsPositionKeepingOtherFields) {
  criteria.longitude = toreal(13.4);
  criteria.latitude = toreal(52.5);
  criteria.range = 1234;
  criteria.matchcode = 77;
  bool confirmed = false;
  whenmodal([](Tzodialog* d) {
    setitemindex(itemof(d, kType), 2);
    typeinto(d, kNetid, "2");
    clickbutton(d, 1);
  });
  confirmed = runcellselection(nullptr, criteria);
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(criteria.typecode, 2);
  EXPECT_EQ(gettypetext(criteria), "UMTS");
  EXPECT_EQ(+criteria.netid, 2);
  EXPECT_EQ(criteria.longitude, real{});
  EXPECT_EQ(criteria.latitude, real{});
  EXPECT_EQ(+criteria.range, 1234);
  EXPECT_EQ(+criteria.matchcode, 77);
}

TEST_F(CellSelection, BadFieldThenCorrectionClosesWithOk) {
  bool stayedopen = false;
  whenmodal([&](Tzodialog* d) {
    typeinto(d, kArea, "1A2B");
    clickbutton(d, 1);
    stayedopen = d->isVisible();
    typeinto(d, kArea, "$1A2B");
    clickbutton(d, 1);
  });
  EXPECT_TRUE(runcellselection(nullptr, criteria));
  EXPECT_TRUE(stayedopen);
  EXPECT_EQ(+criteria.area, 6699);
}

TEST_F(CellSelection, CancelLeavesCriteriaUntouched) {
  criteria.netid = 5;
  criteria.latitude = toreal(52.5);
  ttowerrec before = criteria;
  whenmodal([](Tzodialog* d) {
    typeinto(d, kNetid, "7");
    setitemindex(itemof(d, kType), 4);
    clickbutton(d, 2);
  });
  EXPECT_FALSE(runcellselection(nullptr, criteria));
  EXPECT_EQ(std::memcmp(&before, &criteria, sizeof criteria), 0);
}

TEST_F(CellSelection, AreaOrCellIdOfFifteenCharactersIsReadWholeNotCut) {
  // 15 characters fit the field; read cut to 10 they would be taken as 1.
  for (int id : {kArea, kCellid}) {
    messages.calls.clear();
    criteria = ttowerrec{};
    TcellauswahlDlg dlg(nullptr, 0, criteria);
    typeinto(&dlg, id, "000000000123456");
    ASSERT_EQ(textof(&dlg, id), "000000000123456");
    EXPECT_TRUE(dlg.canclose()) << id;
    EXPECT_EQ(criteriaarea(criteria), id == kArea ? 123456u : 0u);
    EXPECT_EQ(criteriacell(criteria), id == kCellid ? 123456u : 0u);
    EXPECT_TRUE(messages.calls.empty());
  }
}

TEST_F(CellSelection, HugeDialogFontKeepsOkAndAbbruchOnTheScreen) {
  QFont f;
  f.setPixelSize(400);
  setdialogfont(f);
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  const QRect screen = dlg.screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(dlg.frameGeometry())) << dlg.width() << "x" << dlg.height();
  for (int id : {1, 2, kType, kNetid, kArea, kCellid}) {
    QWidget* w = itemof(&dlg, id);
    ASSERT_NE(w, nullptr) << id;
    EXPECT_TRUE(dlg.rect().contains(QRect(w->mapTo(&dlg, QPoint(0, 0)), w->size()))) << id;
  }
  // The shrunk font still fits the rows.
  auto* netid = itemof(&dlg, kNetid);
  EXPECT_GE(netid->height(), QFontMetrics(netid->font()).height());
  keepscreenshot(dlg.grab().toImage(), "dialog_cellauswahl_hugefont.png");
  cleardialogfont();
}

TEST_F(CellSelection, RowsCarryTheirHelpTexts) {
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  EXPECT_EQ(itemof(&dlg, kNetid)->toolTip(), "Netzwerknr  eingeben");
  EXPECT_EQ(itemof(&dlg, 201)->toolTip(), QString("Netzart wählen"));
  EXPECT_EQ(qobject_cast<QLabel*>(itemof(&dlg, 204))->text(), "CellId");
  ASSERT_NE(dlg.hintpanel, nullptr);
}

TEST_F(CellSelection, Screenshot) {
  QFont f;
  f.setPixelSize(13);
  setdialogfont(f);
  criteria.area = 0x1A2B;
  TcellauswahlDlg dlg(nullptr, 0, criteria);
  dlg.show();
  QEvent enter(QEvent::Enter);
  ASSERT_NE(dlg.hintpanel, nullptr);
  QApplication::sendEvent(itemof(&dlg, kArea), &enter);
  EXPECT_EQ(dlg.hintpanel->text(), "Bereich im HEXFormat eingeben");
  keepscreenshot(dlg.grab().toImage(), "dialog_cellauswahl.png");
  cleardialogfont();
}

}  // namespace
