// The installable seams: defaults before anything is installed, and the
// doubles restoring them when they go away.
#include <gtest/gtest.h>

#include "platform/fontdialog.h"
#include "platform/help.h"
#include "platform/messagewindows.h"
#include "platform/shell.h"
#include "platform/testing/recording.h"

namespace {

TEST(PlatformDefaults, NothingInstalledMeansSilentNoAndNothingOpened) {
  EXPECT_FALSE(messagewindows().standarddialog(MsgKind::Confirm, "q"));
  EXPECT_FALSE(ShellOpen("open", "https://www.openstreetmap.org/"));
  EXPECT_FALSE(fontdialog().choose("t", FontSpec{}, 6, 72, false).has_value());
  helpsystem().openindex("Turmscan.hlp");  // must not crash
  helpsystem().quit();
}

TEST(PlatformDoubles, DoublesInstallAndUninstallThemselves) {
  {
    RecordingShell shell;
    RecordingHelp help;
    EXPECT_TRUE(ShellOpen("open", "x.html"));
    helpsystem().openindex("Turmscan.hlp");
    helpsystem().quit();
    EXPECT_EQ(shell.opened.size(), 1u);
    ASSERT_EQ(help.calls.size(), 2u);
    EXPECT_EQ(help.calls[0], "openindex Turmscan.hlp");
    EXPECT_EQ(help.calls[1], "quit");
  }
  EXPECT_FALSE(ShellOpen("open", "x.html"));
}

TEST(PlatformDoubles, MessageDoubleAnswersFromQueueThenNo) {
  RecordingMessageWindows w;
  w.answer(true);
  EXPECT_TRUE(messagewindows().plainbox("", "q", MsgIcon::Question, true));
  EXPECT_FALSE(messagewindows().plainbox("", "q", MsgIcon::Question, true));
  EXPECT_TRUE(messagewindows().standarddialog(MsgKind::Information, "i"));
  EXPECT_EQ(w.calls.size(), 3u);
}

}  // namespace
