// FontDialog on QFontDialog (Qt's own dialog, not a native one), modal,
// centred on the window dialogowner() names, object name "fontdialog".  It lists
// Latin (ANSI) fonts only (the writing system is fixed), with the
// fixed-pitch switch monospaced ones only.  When 0 < minsize <= maxsize its
// size list offers only sizes in minsize .. maxsize, and OK with a typed
// size outside them shows an error notice naming the range and keeps the
// dialog open: a size is never changed behind the user's back.  The chosen
// font keeps the colour of the start font.  The dialog opens on the face
// that draws the start font (a named face that is not installed, "Arial",
// shows as the one standing in for it); OK on it unchanged answers the
// start font itself.  Needs a QApplication.
#pragma once

#include "platform/fontdialog.h"

class QtFontDialog : public FontDialog {
 public:
  std::optional<FontSpec> choose(const std::string& title, const FontSpec& start, int minsize,
                                 int maxsize, bool fixedpitch) override;
};
