#include "platform/testing/recording_messagewindows.h"

RecordingMessageWindows::RecordingMessageWindows() { setmessagewindows(this); }
RecordingMessageWindows::~RecordingMessageWindows() { setmessagewindows(nullptr); }

bool RecordingMessageWindows::standarddialog(MsgKind kind, const std::string& text) {
  calls.push_back({Call::Standard, kind, "", text, MsgIcon::Warning, kind == MsgKind::Confirm});
  if (kind != MsgKind::Confirm) return true;
  if (answers.empty()) return false;
  bool yes = answers.front();
  answers.pop_front();
  return yes;
}

bool RecordingMessageWindows::plainbox(const std::string& caption, const std::string& text,
                                       MsgIcon icon, bool yesno) {
  calls.push_back({Call::Plain, MsgKind::Information, caption, text, icon, yesno});
  if (!yesno) return true;
  if (answers.empty()) return false;
  bool yes = answers.front();
  answers.pop_front();
  return yes;
}

void RecordingMessageWindows::beep() { calls.push_back({Call::Beep}); }
