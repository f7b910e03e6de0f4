// FontDialog on QFontDialog (Qt's own dialog, not a native one), modal,
// parented to the active window, object name "fontdialog".  With the
// fixed-pitch switch only monospaced fonts are listed.  QFontDialog can't
// limit the sizes it offers, so a chosen size outside minsize .. maxsize
// is brought to the nearer limit (when 0 < minsize <= maxsize).  The
// chosen font keeps the colour of the start font.  Needs a QApplication.
#pragma once

#include "platform/fontdialog.h"

class QtFontDialog : public FontDialog {
 public:
  std::optional<FontSpec> choose(const std::string& title, const FontSpec& start, int minsize,
                                 int maxsize, bool fixedpitch) override;
};
