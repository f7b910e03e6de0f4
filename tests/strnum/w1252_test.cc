// Converting UTF-8 from outside (command line, toolkit) to Windows-1252.
#include <gtest/gtest.h>

#include <string>

#include "lib/support/w1252.h"

namespace {

// An overlong form decoded as its value smuggles a NUL or a control byte
// (an escape) past anything that looks for them in the UTF-8 text.
TEST(Utf8ToW1252, OverlongSurrogateAndTooLargeSequencesGiveQuestionMarks) {
  EXPECT_EQ(utf8ToW1252("a\xC0\x80z"), "a??z");
  EXPECT_EQ(utf8ToW1252("\xC0\x9B[2J"), "??[2J");
  EXPECT_EQ(utf8ToW1252("\xE0\x80\x8A"), "???");
  EXPECT_EQ(utf8ToW1252("\xF0\x80\x80\xA4"), "????");
  EXPECT_EQ(utf8ToW1252("\xED\xA0\x80"), "???");      // U+D800
  EXPECT_EQ(utf8ToW1252("\xF4\x90\x80\x80"), "????");  // above U+10FFFF
  // The shortest forms still convert.
  EXPECT_EQ(utf8ToW1252("L\xC3\xA4nge \xE2\x82\xAC \xF0\x9F\x98\x80"), std::string("Länge € ?"_w));
}

}  // namespace
