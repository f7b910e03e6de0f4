// The field readers: conversion, range checks, their messages and the
// first-error-only rule, and the error reaction.
#include <QLineEdit>

#include <gtest/gtest.h>

#include "lib/dialog/dlgfields.h"
#include "lib/support/messages.h"
#include "lib/support/w1252.h"
#include "platform/testing/recording_messagewindows.h"
#include "tests/dialog/dlgtest.h"

namespace {

class FieldDlg : public Tzodialog {
 public:
  FieldDlg() {
    dlgtable& t = *parameters;
    describeheader(40, 10, "Felder", t);
    describeedit(1, 1, 1, "", 20, t[1]);
    describeedit(1, 3, 2, "", 20, t[2]);
    describeedit(1, 5, 3, "", 30, t[3]);  // wider than a real is read
    itemcount = 3;
    setupwindow();
  }
  std::int32_t id(int record) { return (*parameters)[record].id; }
  void put(int record, const char* text) { setitemtext(containerhandle, id(record), text); }
};

class FieldReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureapp();
    fielderrortext.clear();
    beeponmessage = 0;
    suppresserrortext = 0;
  }
  int app_ = (ensureapp(), 0);
  RecordingMessageWindows messages;
  FieldDlg dlg;
};

TEST_F(FieldReaders, RealWithDecimalCommaIsRead) {
  dlg.put(1, "52,5");
  real v{};
  bool ok = false;
  std::int32_t err = 0;
  getrealfield(&dlg, dlg.id(1), v, toreal(-180), toreal(180), ok, err);
  EXPECT_TRUE(ok);
  EXPECT_EQ(toext(v), 52.5L);
  EXPECT_EQ(err, 0);
}

TEST_F(FieldReaders, RealOutOfRangeNamesValueAndBounds) {
  dlg.put(1, "200");
  real v{};
  bool ok = true;
  std::int32_t err = 0;
  getrealfield(&dlg, dlg.id(1), v, toreal(-180), toreal(180), ok, err);
  EXPECT_FALSE(ok);
  EXPECT_EQ(err, dlg.id(1));
  EXPECT_EQ(fielderrortext, std::string("Realwert 200 muß >=-180 und <=180 sein"_w));
}

TEST_F(FieldReaders, RealBoundsAreInclusive) {
  dlg.put(1, "-180");
  real v{};
  bool ok = false;
  std::int32_t err = 0;
  getrealfield(&dlg, dlg.id(1), v, toreal(-180), toreal(180), ok, err);
  EXPECT_TRUE(ok);
}

TEST_F(FieldReaders, IntegerAboveWordRangeNamesValueAndBounds) {
  dlg.put(1, "65536");
  std::int32_t v = 0;
  bool ok = true;
  std::int32_t err = 0;
  getintfield(&dlg, dlg.id(1), v, toreal(0), toreal(65535), ok, err);
  EXPECT_FALSE(ok);
  EXPECT_EQ(v, 65536);
  EXPECT_EQ(fielderrortext, std::string("Ganzzahl-Wert 65536 muß >=0 und <=65535 sein"_w));
}

TEST_F(FieldReaders, WordFieldTakesHexUpToFFFF) {
  dlg.put(1, "$FFFF");
  std::uint16_t v = 7;
  bool ok = false;
  std::int32_t err = 0;
  getwordfield(&dlg, dlg.id(1), 0, 65535, v, ok, err);
  EXPECT_TRUE(ok);
  EXPECT_EQ(v, 65535);
}

TEST_F(FieldReaders, WordFieldRejects10000HexAndKeepsOldValue) {
  dlg.put(1, "$10000");
  std::uint16_t v = 7;
  bool ok = true;
  std::int32_t err = 0;
  getwordfield(&dlg, dlg.id(1), 0, 65535, v, ok, err);
  EXPECT_FALSE(ok);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(err, dlg.id(1));
}

TEST_F(FieldReaders, UnreadableTextIsNamedAsTyped) {
  dlg.put(1, "abc");
  std::int32_t v = 0;
  bool ok = true;
  std::int32_t err = 0;
  getintfield(&dlg, dlg.id(1), v, toreal(0), toreal(65535), ok, err);
  EXPECT_FALSE(ok);
  EXPECT_EQ(fielderrortext, std::string("Ganzzahl-Wert abc muß >=0 und <=65535 sein"_w));
}

TEST_F(FieldReaders, CardFieldSetsNoErrorIdOrText) {
  dlg.put(1, "xyz");
  std::uint32_t v = 0;
  bool ok = true;
  getcardfield(&dlg, dlg.id(1), v, ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(fielderrortext.empty());
}

TEST_F(FieldReaders, OnlyFirstFailureIsKept) {
  dlg.put(1, "70000");
  dlg.put(2, "-5");
  std::int32_t a = 0, b = 0;
  bool ok = true;
  std::int32_t err = 0;
  getintfield(&dlg, dlg.id(1), a, toreal(0), toreal(65535), ok, err);
  getintfield(&dlg, dlg.id(2), b, toreal(0), toreal(65535), ok, err);
  EXPECT_EQ(err, dlg.id(1));
  EXPECT_EQ(fielderrortext, std::string("Ganzzahl-Wert 70000 muß >=0 und <=65535 sein"_w));
}

TEST_F(FieldReaders, TextLongerThanWhatIsReadIsRefusedNotCut) {
  // Read cut to 10 characters, "000000000123456" would be taken as 1.
  dlg.put(1, "000000000123456");
  std::int32_t v = 0;
  bool ok = true;
  std::int32_t err = 0;
  getintfield(&dlg, dlg.id(1), v, toreal(0), toreal(65535), ok, err);
  EXPECT_FALSE(ok);
  EXPECT_EQ(err, dlg.id(1));
  EXPECT_EQ(fielderrortext, std::string("Ganzzahl-Wert 000000000123456 muß >=0 und <=65535 sein"_w));
  // Ten characters (blanks around them trimmed) are still read.
  dlg.put(2, " 0000000123 ");
  err = 0;
  getintfield(&dlg, dlg.id(2), v, toreal(0), toreal(65535), ok, err);
  EXPECT_TRUE(ok);
  EXPECT_EQ(v, 123);
  // A real is read up to 20 characters.
  real r{};
  dlg.put(3, "52.5000000000000000001");
  getrealfield(&dlg, dlg.id(3), r, toreal(-180), toreal(180), ok, err);
  EXPECT_FALSE(ok);
  EXPECT_EQ(err, dlg.id(3));
  dlg.put(3, "52.50000000000000001");
  err = 0;
  getrealfield(&dlg, dlg.id(3), r, toreal(-180), toreal(180), ok, err);
  EXPECT_TRUE(ok);
}

TEST_F(FieldReaders, ReaderLooksAtFirst20CharactersOnly) {
  dlg.put(1, "12345678901234567890999");
  std::string text;
  getitemtexttrimmed(20, &dlg, dlg.id(1), text, 40);
  EXPECT_EQ(text.size(), 20u);
}

TEST_F(FieldReaders, FieldErrorFocusesAndShowsFehlerThenMessage) {
  fielderrortext = std::string("Ganzzahl-Wert 1 muß >=2 und <=3 sein"_w);
  fielderror(&dlg, dlg.id(2), true);
  EXPECT_EQ(dlg.focusWidget(), (*dlg.parameters)[2].control);
  ASSERT_EQ(messages.calls.size(), 2u);
  EXPECT_EQ(messages.calls[0].kind, MsgKind::Information);
  EXPECT_EQ(messages.calls[0].text, "Fehler");
  EXPECT_EQ(messages.calls[1].kind, MsgKind::Error);
  EXPECT_EQ(messages.calls[1].text, std::string("Ganzzahl-Wert 1 muß >=2 und <=3 sein"_w));
  EXPECT_TRUE(fielderrortext.empty());
}

TEST_F(FieldReaders, SuppressSwitchHidesMessageButNotNotice) {
  fielderrortext = "weg";
  suppresserrortext = 1;
  fielderror(&dlg, dlg.id(1), true);
  suppresserrortext = 0;
  ASSERT_EQ(messages.calls.size(), 1u);
  EXPECT_EQ(messages.calls[0].text, "Fehler");
  EXPECT_TRUE(fielderrortext.empty());
}

TEST_F(FieldReaders, BeepReplacesFehlerNotice) {
  beeponmessage = 1;
  fielderror(&dlg, 999999, false);
  beeponmessage = 0;
  ASSERT_EQ(messages.calls.size(), 1u);
  EXPECT_EQ(messages.calls[0].type, RecordingMessageWindows::Call::Beep);
}

}  // namespace
