// The standard font dialog.  Core code reaches it only through this
// interface; the program installs the Qt implementation at start
// (platform/qt/qtfontdialog.h), tests install ScriptedFontDialog
// (platform/testing/scripted_fontdialog.h).
#pragma once

#include <optional>
#include <string>

#include "lib/support/fontdesc.h"

class FontDialog {
 public:
  virtual ~FontDialog() = default;
  // Opens the dialog modally, titled `title` (Windows-1252), starting from
  // `start`, offering sizes minsize .. maxsize points and, with fixedpitch,
  // fixed-pitch fonts only.  Returns the chosen font (its charset filled
  // in from the font's writing systems, its colour taken over from
  // `start`), or nothing when the user cancelled.
  virtual std::optional<FontSpec> choose(const std::string& title, const FontSpec& start,
                                         int minsize, int maxsize, bool fixedpitch) = 0;
};

// The installed dialog; until one is installed, a dialog that always
// cancels.
FontDialog& fontdialog();
// Installs d (not owned; nullptr restores the cancelling default).
void setfontdialog(FontDialog* d);
