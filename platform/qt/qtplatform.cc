#include "platform/qt/qtplatform.h"

#include "platform/qt/qtfiledialog.h"
#include "platform/qt/qtfontdialog.h"
#include "platform/qt/qthelp.h"
#include "platform/qt/qtmessagewindows.h"
#include "platform/qt/qtshell.h"

namespace {
QtHelp* help = nullptr;
}

void installqtplatform() {
  static QtMessageWindows messages;
  static QtFontDialog fonts;
  static QtFileDialog files;
  static QtShell desktop;
  static QtHelp viewer;
  setmessagewindows(&messages);
  setfontdialog(&fonts);
  setfiledialog(&files);
  setshell(&desktop);
  sethelpsystem(&viewer);
  help = &viewer;
}

QtHelp* qthelp() { return help; }
