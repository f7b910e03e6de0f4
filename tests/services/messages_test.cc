// Routing of notices, questions, trace lines and system error reports.
#include "lib/support/messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"
#include "platform/testing/recording_messagewindows.h"

namespace {

using Call = RecordingMessageWindows::Call;

std::string readfile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class FakeStatusBar : public StatusLine {
 public:
  explicit FakeStatusBar(int panels) : texts(panels) {}
  int panelcount() const override { return static_cast<int>(texts.size()); }
  void setpaneltext(int panel, const std::string& text) override { texts.at(panel) = text; }
  std::vector<std::string> texts;
};

// Every test starts from the program's defaults and a fresh trace file state.
class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    messagetarget = asktarget = infobystddialog = errorbystddialog = askbystddialog = 1;
    statuspanel = 3;
    tracetarget = 0;
    showsystemerrors = 1;
    beeponmessage = 0;
    debugtrace = 0;
    statusbar = nullptr;
    lastsystemerror.clear();
    std::filesystem::remove("TRACE.TXT");
  }
  void TearDown() override { statusbar = nullptr; }
  RecordingMessageWindows windows;
};

TEST_F(Messages, DefaultsMatchTheProgramsFixedSwitches) {
  EXPECT_EQ(messagetarget, 1);
  EXPECT_EQ(asktarget, 1);
  EXPECT_EQ(statuspanel, 3);
  EXPECT_EQ(tracetarget, 0);
  EXPECT_EQ(showsystemerrors, 1);
}

TEST_F(Messages, InfoGoesToStandardInformationDialog) {
  infomessage("Hallo");
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].type, Call::Standard);
  EXPECT_EQ(windows.calls[0].kind, MsgKind::Information);
  EXPECT_EQ(windows.calls[0].text, "Hallo");
}

TEST_F(Messages, InfoWithoutStdDialogUsesPlainBoxMitteilungWarning) {
  infobystddialog = 0;
  infomessage(std::string("Größe"_w));
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].type, Call::Plain);
  EXPECT_EQ(windows.calls[0].caption, "Mitteilung");
  EXPECT_EQ(windows.calls[0].icon, MsgIcon::Warning);
  EXPECT_FALSE(windows.calls[0].yesno);
  EXPECT_EQ(windows.calls[0].text, std::string("Größe"_w));
}

TEST_F(Messages, ErrorUsesStandardErrorOrPlainFehlerStop) {
  errormessage("kaputt");
  errorbystddialog = 0;
  errormessage("kaputt");
  errormessagetitled("Titel", "t");
  ASSERT_EQ(windows.calls.size(), 3u);
  EXPECT_EQ(windows.calls[0].kind, MsgKind::Error);
  EXPECT_EQ(windows.calls[1].type, Call::Plain);
  EXPECT_EQ(windows.calls[1].caption, "FEHLER");
  EXPECT_EQ(windows.calls[1].icon, MsgIcon::Stop);
  EXPECT_EQ(windows.calls[2].caption, "Titel");
}

TEST_F(Messages, PlainBoxCaptionIsCutTo80Bytes) {
  errorbystddialog = 0;
  errormessagetitled(std::string(100, 'c'), "t");
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].caption, std::string(80, 'c'));
}

TEST_F(Messages, NoticeTextIsCutTo255Bytes) {
  infomessage(std::string(300, 'x'));
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].text.size(), 255u);
}

TEST_F(Messages, QuestionAnswersFollowTheUser) {
  windows.answer(true);
  EXPECT_TRUE(askyesno("Programm beenden?"));
  windows.answer(false);
  EXPECT_FALSE(askyesno("Programm beenden?"));
  EXPECT_FALSE(askyesno("Programm beenden?"));  // closed without answer
  ASSERT_EQ(windows.calls.size(), 3u);
  EXPECT_EQ(windows.calls[0].kind, MsgKind::Confirm);
}

TEST_F(Messages, QuestionInPlainBoxHasEmptyCaptionAndQuestionIcon) {
  askbystddialog = 0;
  windows.answer(true);
  EXPECT_TRUE(askyesno("Frage"));
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].type, Call::Plain);
  EXPECT_EQ(windows.calls[0].caption, "");
  EXPECT_EQ(windows.calls[0].icon, MsgIcon::Question);
  EXPECT_TRUE(windows.calls[0].yesno);
}

TEST_F(Messages, QuestionToStatusLineAnswersYesWithoutWindow) {
  asktarget = 0;
  FakeStatusBar bar(4);
  statusbar = &bar;
  EXPECT_TRUE(askyesno("Frage"));
  EXPECT_TRUE(windows.calls.empty());
  EXPECT_EQ(bar.texts[3], " Frage");
}

TEST_F(Messages, NoticeToStatusLineOpensNoWindow) {
  messagetarget = 0;
  FakeStatusBar bar(4);
  statusbar = &bar;
  infomessage("a");
  errormessage("b");
  EXPECT_TRUE(windows.calls.empty());
  EXPECT_EQ(bar.texts[3], " b");
}

TEST_F(Messages, StatusTextWithoutBarIsDropped) {
  messagetarget = 0;
  infomessage("nirgends");
  statustext("nirgends");
  EXPECT_TRUE(windows.calls.empty());
}

TEST_F(Messages, StatusTextOnBarWithoutItsPanelOverwritesNoOtherPanel) {
  FakeStatusBar bar(3);  // panels 0..2, the status text goes to panel 3
  statusbar = &bar;
  statustext("x");
  EXPECT_EQ(bar.texts, (std::vector<std::string>{"", "", ""}));
}

TEST_F(Messages, TraceByDefaultOpensNoticeAndCreatesNoFile) {
  trace("eins");
  traceif(true, "zwei");
  traceif(false, "drei");
  tracedebug("vier");  // debugtrace is off
  ASSERT_EQ(windows.calls.size(), 2u);
  EXPECT_EQ(windows.calls[0].kind, MsgKind::Information);
  EXPECT_EQ(windows.calls[1].text, "zwei");
  EXPECT_FALSE(std::filesystem::exists("TRACE.TXT"));
}

TEST_F(Messages, TraceIgnoresNoticeSwitchesForItsDialog) {
  messagetarget = 0;
  infobystddialog = 0;
  trace("t");
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].type, Call::Standard);
}

// The trace file stays open for the rest of the process once created, so
// the file-writing cases run in one test, in order.
TEST_F(Messages, TraceFileFailureRaisesAndRetriesThenLinesAreCrLfOnDisk) {
  // A folder in the way: creation fails, is raised, and is tried again.
  std::filesystem::create_directory("TRACE.TXT");
  tracetarget = 2;
  EXPECT_THROW(trace("weg"), IoError);
  EXPECT_EQ(tracefileopen, 0);
  std::filesystem::remove("TRACE.TXT");

  tracetarget = 1;
  trace("erste");
  EXPECT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(tracefileopen, 1);
  EXPECT_EQ(readfile("TRACE.TXT"), "erste\r\n");
  tracetarget = 2;
  trace(std::string("zweite Zeile ä"_w));
  EXPECT_EQ(windows.calls.size(), 1u);  // file only
  EXPECT_EQ(readfile("TRACE.TXT"), "erste\r\n" + std::string("zweite Zeile ä"_w) + "\r\n");
  debugtrace = 1;
  tracedebug("dritte");
  EXPECT_EQ(readfile("TRACE.TXT"),
            "erste\r\n" + std::string("zweite Zeile ä"_w) + "\r\ndritte\r\n");
}

TEST_F(Messages, SystemErrorTextHasCodeBlankAndSystemText) {
  EXPECT_EQ(systemerrortext(0), "");
  std::string t = systemerrortext(ENOENT);
  EXPECT_EQ(t.rfind(std::to_string(ENOENT) + " ", 0), 0u);
  EXPECT_GT(t.size(), std::to_string(ENOENT).size() + 1);
  EXPECT_EQ(systemerrortext(ENOENT, 3), t.substr(0, 3));
  EXPECT_EQ(systemerrortext(ENOENT, 1000), t);  // never more than 255
}

TEST_F(Messages, ReportSystemErrorAfterSuccessShowsNothing) {
  lastsystemerror = "alt";
  errno = 0;
  EXPECT_EQ(reportsystemerror("Datei"), 0);
  EXPECT_EQ(lastsystemerror, "");
  EXPECT_TRUE(windows.calls.empty());
}

TEST_F(Messages, ReportSystemErrorStoresAndShowsPrefixedText) {
  errno = EACCES;
  EXPECT_EQ(reportsystemerror("Datei"), EACCES);
  EXPECT_EQ(lastsystemerror, "Datei: " + systemerrortext(EACCES));
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].kind, MsgKind::Error);
  EXPECT_EQ(windows.calls[0].text, lastsystemerror);
  // The error was consumed: a second report finds none.
  EXPECT_EQ(reportsystemerror("Datei"), 0);
}

TEST_F(Messages, ReportSystemErrorQuietWhenSwitchedOff) {
  showsystemerrors = 0;
  errno = EACCES;
  reportsystemerrorif(true, "x");
  EXPECT_FALSE(lastsystemerror.empty());
  EXPECT_TRUE(windows.calls.empty());
  errno = EACCES;
  lastsystemerror.clear();
  reportsystemerrorif(false, "x");
  EXPECT_TRUE(lastsystemerror.empty());
}

TEST_F(Messages, BeepOnlyWhenSwitched) {
  beepif();
  EXPECT_TRUE(windows.calls.empty());
  beeponmessage = 1;
  beepif();
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].type, Call::Beep);
}

}  // namespace
