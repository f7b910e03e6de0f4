// Shell on QDesktopServices::openUrl.  Only the verb "open" (or an empty
// verb) is known; others report false.  A document starting with
// "http://" or "https://" is opened as a link as it stands; anything else
// is a file name (relative to the working directory) and becomes the file
// URL of its absolute path; a file that does not exist reports false.
#pragma once

#include "platform/shell.h"

class QtShell : public Shell {
 public:
  bool open(const std::string& verb, const std::string& document) override;
};
