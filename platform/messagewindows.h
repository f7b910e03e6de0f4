// Modal message windows: the toolkit's standard message dialog and the
// plain message box.  Core code reaches them only through this interface;
// the program installs the Qt implementation at start, tests install
// RecordingMessageWindows (platform/testing/recording_messagewindows.h).
#pragma once

#include <string>

enum class MsgKind { Information, Error, Confirm };
enum class MsgIcon { Warning, Stop, Question };

class MessageWindows {
 public:
  virtual ~MessageWindows() = default;
  // Standard dialog ("Information"/"Error" with OK, "Confirm" with
  // "&Yes"/"&No").  Returns true when Yes was chosen (Confirm) and true
  // for the one-button kinds.  Texts are Windows-1252.
  virtual bool standarddialog(MsgKind kind, const std::string& text) = 0;
  // Plain box with caption (cut to 80 bytes) and icon; yesno selects the
  // Yes/No buttons (else OK).  Returns true for Yes (or OK).
  virtual bool plainbox(const std::string& caption, const std::string& text, MsgIcon icon,
                        bool yesno) = 0;
  virtual void beep() = 0;
};

// The installed implementation; a silent one that answers No until
// something is installed.
MessageWindows& messagewindows();
// Installs w (not owned; nullptr restores the silent default).
void setmessagewindows(MessageWindows* w);
