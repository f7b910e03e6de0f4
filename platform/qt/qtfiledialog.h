// FileDialog on QFileDialog (Qt's own dialog, the same on every desktop
// and under the offscreen platform), modal, centred on the window
// dialogowner() names; object names "opendialog" and "savedialog".  Paths
// go through QFile::encodeName/decodeName, the file system's encoding.
// Needs a QApplication.
#pragma once

#include "platform/filedialog.h"

class QtFileDialog : public FileDialog {
 public:
  std::optional<std::string> openfile(const std::string& title, const std::string& folder,
                                      const std::vector<FileFilter>& filters) override;
  std::optional<SaveChoice> savefile(const std::string& title, const std::string& folder,
                                     const std::string& suggested,
                                     const std::vector<FileFilter>& filters, int initial) override;
};
