// Opening documents and web links with the user's default program (the
// browser for http(s) links and HTML pages).  Core code reaches the
// desktop only through ShellOpen/OpenDocument; the program installs the
// Qt implementation (platform/qt/qtshell.h), tests a RecordingShell
// (platform/testing/recording_shell.h).  The call returns once the desktop
// was asked to open the document; no process handle is kept.
#pragma once

#include <string>
#include <string_view>

class Shell {
 public:
  virtual ~Shell() = default;
  // Performs `verb` ("open") on `document`: a web link (http:// or
  // https://) or a file name, relative names taken from the working
  // directory.  Returns true when the desktop accepted it.
  virtual bool open(const std::string& verb, const std::string& document) = 0;
};

// The installed shell; until one is installed, one that opens nothing and
// reports false.
Shell& shell();
// Installs s (not owned; nullptr restores the default).
void setshell(Shell* s);

// shell().open(verb, document).  Returns the success flag; false for an
// empty document.
bool ShellOpen(std::string_view verb, std::string_view document);

// ShellOpen("open", document cut to 255 bytes).
bool OpenDocument(std::string_view document);
