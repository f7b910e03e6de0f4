// The help system: shows the program's help document at its index and
// closes it at the end.  The program names its help file "Turmscan.hlp";
// how that name is found on disk is the implementation's (the Qt viewer,
// platform/qt/qthelp.h, reads an HTML file of the same base name).  Tests
// install RecordingHelp (platform/testing/recording_help.h).
#pragma once

#include <string>

class HelpSystem {
 public:
  virtual ~HelpSystem() = default;
  // Shows `helpfilename` at its index (its start).  A missing file is
  // reported by the help system itself, not to the caller.
  virtual void openindex(const std::string& helpfilename) = 0;
  // Closes whatever help is shown; harmless when none is.
  virtual void quit() = 0;
};

// The installed help system; until one is installed, one that does nothing.
HelpSystem& helpsystem();
// Installs h (not owned; nullptr restores the default).
void sethelpsystem(HelpSystem* h);
