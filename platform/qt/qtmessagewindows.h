// MessageWindows on QMessageBox.  Both window kinds are application-modal,
// belong to the window dialogowner() names and open centred on it
// (platform/qt/qtplacement.h).  A text wider than that window is shown
// broken into lines of its width, inside words too (a link), in a
// read-only field whose text copies as it stands.  The standard dialog is titled
// "Information", "Error" or "Confirm" with the buttons "OK" or "&Yes" and
// "&No"; the plain box carries the caller's caption (cut to 80 bytes) and
// a warning, stop (critical) or question icon.  Closing a question without
// choosing counts as No.  Needs a QApplication.
#pragma once

#include "platform/messagewindows.h"

class QtMessageWindows : public MessageWindows {
 public:
  bool standarddialog(MsgKind kind, const std::string& text) override;
  bool plainbox(const std::string& caption, const std::string& text, MsgIcon icon,
                bool yesno) override;
  void beep() override;
};
