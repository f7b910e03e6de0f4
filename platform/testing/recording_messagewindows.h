// A MessageWindows double for tests: records every call and answers from a
// queue of prepared answers (No once the queue is empty).  Installs itself
// on construction and restores the silent default on destruction.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/messagewindows.h"

class RecordingMessageWindows : public MessageWindows {
 public:
  struct Call {
    enum Type { Standard, Plain, Beep } type;
    MsgKind kind = MsgKind::Information;  // Standard only
    std::string caption;                  // Plain only
    std::string text;
    MsgIcon icon = MsgIcon::Warning;      // Plain only
    bool yesno = false;                   // Plain only
  };

  RecordingMessageWindows();
  ~RecordingMessageWindows() override;

  bool standarddialog(MsgKind kind, const std::string& text) override;
  bool plainbox(const std::string& caption, const std::string& text, MsgIcon icon,
                bool yesno) override;
  void beep() override;

  // Answer for the next question (Confirm dialog or Yes/No box).
  void answer(bool yes) { answers.push_back(yes); }

  std::vector<Call> calls;
  std::deque<bool> answers;
};
