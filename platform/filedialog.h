// The standard file dialogs: choosing a file to read (an export to import)
// or a file name to write (a list to export).  Core code reaches them only
// through this interface; the program installs the Qt implementation at
// start (platform/qt/qtfiledialog.h), tests install ScriptedFileDialog
// (platform/testing/scripted_filedialog.h).
//
// Titles and filter names are Windows-1252 program texts.  Paths, in and
// out, are the file system's own bytes (what open() takes), never
// converted: a folder name with characters outside Windows-1252 still
// names its folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

// One entry of a dialog's type list: its name ("CSV-Datei") and the file
// name patterns it shows ("*.csv *.csv.gz").
struct FileFilter {
  std::string name;
  std::string patterns;
};

// What the save dialog answers: the path and the filter that was chosen
// (an index into the caller's list).
struct SaveChoice {
  std::string path;
  int filter = 0;
};

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // Asks modally for an existing file, starting in `folder`, offering
  // `filters`.  Returns its path, or nothing when the user cancelled.
  virtual std::optional<std::string> openfile(const std::string& title, const std::string& folder,
                                              const std::vector<FileFilter>& filters) = 0;
  // Asks modally for a file to write, starting at folder/suggested with
  // filter `initial` chosen.  A name typed without an extension gets the
  // first pattern's extension of the chosen filter; replacing an existing
  // file is confirmed in the dialog.  Nothing when cancelled.
  virtual std::optional<SaveChoice> savefile(const std::string& title, const std::string& folder,
                                             const std::string& suggested,
                                             const std::vector<FileFilter>& filters, int initial) = 0;
};

// The installed dialog; until one is installed, one that always cancels.
FileDialog& filedialog();
// Installs d (not owned; nullptr restores the cancelling default).
void setfiledialog(FileDialog* d);
