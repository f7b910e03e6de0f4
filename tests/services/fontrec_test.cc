// The font record: layout, conversions, character-set names and the font
// choice with a scripted dialog.
#include "lib/support/fontrec.h"

#include <gtest/gtest.h>

#include <cstring>

#include "lib/support/messages.h"
#include "lib/support/w1252.h"
#include "platform/testing/recording_messagewindows.h"
#include "platform/testing/scripted_fontdialog.h"

namespace {

FontSpec font(const std::string& name, int points, std::uint8_t charset) {
  FontSpec f;
  f.name = name;
  f.pointsize = points;
  f.charset = charset;
  return f;
}

TEST(FontRecord, FieldsSitAtTheirOffsets) {
  fontrecord r = emptyfontrecord();
  setfontrecordname(r, "Arial");
  r.charset = 0x11;
  r.weight = 0x0204;
  r.size = 0x0A0B;
  r.italic = 1;
  r.angle = -1;
  r.colour = 12;
  const auto* b = reinterpret_cast<const unsigned char*>(&r);
  EXPECT_EQ(b[0], 5);
  EXPECT_EQ(std::memcmp(b + 1, "Arial", 5), 0);
  EXPECT_EQ(b[6], 0);
  EXPECT_EQ(b[38], 0x11);
  EXPECT_EQ(b[39], 0x04);
  EXPECT_EQ(b[40], 0x02);
  EXPECT_EQ(b[41], 0x0B);
  EXPECT_EQ(b[42], 0x0A);
  EXPECT_EQ(b[43], 1);
  EXPECT_EQ(b[44], 0xFF);
  EXPECT_EQ(b[45], 0xFF);
  EXPECT_EQ(b[46], 12);
}

TEST(FontRecord, NameLongerThan37IsCutAndGarbageLengthClamped) {
  fontrecord r = emptyfontrecord();
  setfontrecordname(r, std::string(50, 'n'));
  EXPECT_EQ(r.name[0], 37);
  EXPECT_EQ(fontrecordname(r), std::string(37, 'n'));
  r.name[0] = 200;  // damaged length byte must not read past the name
  EXPECT_EQ(fontrecordname(r).size(), 37u);
}

TEST(FontRecord, StandardRecordIsHelv8) {
  fontrecord r = standardfontrecord();
  EXPECT_EQ(fontrecordname(r), "HELV");
  EXPECT_EQ(+r.weight, 1);
  EXPECT_EQ(+r.size, 8);
}

TEST(FontConversion, RecordToFontPointsOrHeights) {
  fontrecord r = emptyfontrecord();
  setfontrecordname(r, "Courier");
  r.size = 12;
  r.weight = 4;
  r.italic = 1;
  r.colour = 12;
  r.charset = 2;
  FontSpec f = recordtofont(false, r);
  EXPECT_EQ(f.name, "Courier");
  EXPECT_EQ(f.pointsize, 12);
  EXPECT_EQ(f.height, 0);
  EXPECT_TRUE(f.bold);
  EXPECT_TRUE(f.italic);
  EXPECT_EQ(f.red, 255);
  EXPECT_EQ(f.green, 0);
  EXPECT_EQ(f.charset, 2);
  EXPECT_TRUE(f.valid);
  FontSpec h = recordtofont(true, r);
  EXPECT_EQ(h.height, 12);
  EXPECT_EQ(h.pointsize, 0);
  r.weight = 3;
  EXPECT_FALSE(recordtofont(false, r).bold);
}

TEST(FontConversion, EmptyNameGivesNoUsableFont) {
  EXPECT_FALSE(recordtofont(false, emptyfontrecord()).valid);
}

TEST(FontConversion, FontToRecordClearsAndFills) {
  FontSpec f = font("Times", 14, 0);
  f.bold = true;
  f.italic = true;
  fontrecord r = fonttorecord(false, f);
  EXPECT_EQ(fontrecordname(r), "Times");
  for (int i = 1 + 5; i < 38; ++i) EXPECT_EQ(r.name[i], 0) << i;
  EXPECT_EQ(+r.size, 14);
  EXPECT_EQ(+r.weight, 4);
  EXPECT_EQ(r.italic, 1);
  EXPECT_EQ(+r.angle, 0);
  f.bold = false;
  EXPECT_EQ(+fonttorecord(false, f).weight, 1);
}

TEST(FontConversion, SizeBelowThreeOrStrikeOutEmptiesName) {
  EXPECT_EQ(fontrecordname(fonttorecord(false, font("Arial", 2, 0))), "");
  EXPECT_EQ(+fonttorecord(false, font("Arial", 2, 0)).size, 2);
  EXPECT_EQ(fontrecordname(fonttorecord(false, font("Arial", 3, 0))), "Arial");
  FontSpec s = font("Arial", 10, 0);
  s.strikeout = true;
  EXPECT_EQ(fontrecordname(fonttorecord(false, s)), "");
}

TEST(FontConversion, OtherMeasureIsConvertedAt96Dpi) {
  FontSpec px;
  px.name = "Arial";
  px.height = 16;
  EXPECT_EQ(+fonttorecord(false, px).size, 12);  // 16 px = 12 pt
  EXPECT_EQ(+fonttorecord(true, font("Arial", 12, 0)).size, 16);
}

TEST(FontColours, PaletteColourSurvivesRecordFontRecord) {
  for (int n = 0; n < 16; ++n) {
    fontrecord r = emptyfontrecord();
    setfontrecordname(r, "Arial");
    r.size = 10;
    r.colour = static_cast<std::uint8_t>(n);
    EXPECT_EQ(fonttorecord(false, recordtofont(false, r)).colour, n) << n;
  }
}

TEST(FontColours, FontColourTableForNonPaletteColours) {
  EXPECT_EQ(numberofcolour(0, 0, 0), 0);
  EXPECT_EQ(numberofcolour(128, 128, 128), 8);
  EXPECT_EQ(numberofcolour(0, 0, 255), 9);
  EXPECT_EQ(numberofcolour(0, 255, 0), 10);
  EXPECT_EQ(numberofcolour(255, 0, 0), 12);
  EXPECT_EQ(numberofcolour(1, 2, 3), 0);
}

TEST(CharsetName, KnownAndUnknownNumbers) {
  EXPECT_EQ(charsetname(0), "0 ANSI_CHARSET");
  EXPECT_EQ(charsetname(2), "2 SYMBOL_CHARSET");
  EXPECT_EQ(charsetname(129), "129 Korean(Wansung)");
  EXPECT_EQ(charsetname(136), "136 Traditional Chinese");
  EXPECT_EQ(charsetname(77), "77 ");
}

class ChooseFont : public ::testing::Test {
 protected:
  void SetUp() override {
    fontheights = false;
    errorbystddialog = 1;
    messagetarget = 1;
  }
  ScriptedFontDialog dialog;
  RecordingMessageWindows windows;
};

TEST_F(ChooseFont, CancelChangesNothing) {
  fontrecord r = standardfontrecord();
  fontrecord before = r;
  FontSpec f = font("Keep", 9, 0);
  EXPECT_FALSE(choosefont("Titel", r, f, 6, 72, 0, false));
  EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
  EXPECT_EQ(f.name, "Keep");
  ASSERT_EQ(dialog.openings.size(), 1u);
  EXPECT_EQ(dialog.openings[0].start.name, "HELV");
  EXPECT_EQ(dialog.openings[0].start.pointsize, 8);
  EXPECT_EQ(dialog.openings[0].minsize, 6);
  EXPECT_EQ(dialog.openings[0].maxsize, 72);
}

TEST_F(ChooseFont, RightCharsetOnFirstTryIsStoredAtOnce) {
  fontrecord r = standardfontrecord();
  FontSpec f;
  FontSpec pick = font("Liberation Sans", 11, 0);
  pick.bold = true;
  dialog.results.push_back(pick);
  EXPECT_TRUE(choosefont(std::string("Bildschirm-Schrift wählen"_w), r, f, 6, 72, 0, true));
  EXPECT_EQ(f, pick);
  EXPECT_EQ(fontrecordname(r), "Liberation Sans");
  EXPECT_EQ(+r.size, 11);
  EXPECT_EQ(+r.weight, 4);
  EXPECT_TRUE(windows.calls.empty());
  ASSERT_EQ(dialog.openings.size(), 1u);
  EXPECT_TRUE(dialog.openings[0].fixedpitch);
  EXPECT_EQ(dialog.openings[0].title, std::string("Bildschirm-Schrift wählen"_w));
}

TEST_F(ChooseFont, WrongCharsetShowsMessageAndReopens) {
  fontrecord r = standardfontrecord();
  FontSpec f;
  dialog.results.push_back(font("Symbol", 10, 2));
  dialog.results.push_back(font("Arial", 10, 1));
  EXPECT_TRUE(choosefont("Dialogschrift", r, f, 6, 72, 1, false));
  ASSERT_EQ(dialog.openings.size(), 2u);
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].kind, MsgKind::Error);
  EXPECT_EQ(windows.calls[0].text, "IstCharset:2 SYMBOL_CHARSET SollCharset1 DEFAULT_CHARSET");
  EXPECT_EQ(f.name, "Arial");
  EXPECT_EQ(r.charset, 1);
  // The second opening starts from the same font as the first.
  EXPECT_EQ(dialog.openings[1].start, dialog.openings[0].start);
}

TEST_F(ChooseFont, WrongCharsetThenCancelKeepsRecord) {
  fontrecord r = standardfontrecord();
  FontSpec f;
  dialog.results.push_back(font("Symbol", 10, 2));
  EXPECT_FALSE(choosefont("t", r, f, 6, 72, 1, false));
  EXPECT_EQ(fontrecordname(r), "HELV");
  EXPECT_EQ(windows.calls.size(), 1u);
}

TEST_F(ChooseFont, TitleIsCutTo80Bytes) {
  fontrecord r = standardfontrecord();
  FontSpec f;
  choosefont(std::string(120, 't'), r, f, 6, 72, 0, false);
  ASSERT_EQ(dialog.openings.size(), 1u);
  EXPECT_EQ(dialog.openings[0].title.size(), 80u);
}

}  // namespace
