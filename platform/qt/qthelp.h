// HelpSystem as a help viewer window of our own (a QTextBrowser, object
// name "helpviewer", title "Turmfinder - Hilfe").
//
// The program names its help "Turmscan.hlp"; on disk the viewer reads the
// HTML file of the same base name ("Turmscan.html"), looked for in this
// order:
//   1. the folder of the executable,
//   2. <folder of the executable>/../share/turmfinder,
//   3. the working directory.
// The first that exists is shown from its start.  When none exists the
// viewer shows a German note naming the file and the folders searched.
// The viewer opens beside the program's main window (right, else left),
// or centred on it when neither side has room; Esc and Ctrl+W close it.
// Asked for while a modal dialog runs, the viewer is a window of that
// dialog (a viewer open before is made anew): above it, not blocked by it,
// and gone with it; the dialog takes input again once the viewer closes.
// quit() closes and destroys the viewer.  Needs a QApplication.
#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "platform/help.h"

#include <QTextBrowser>

class QtHelp : public HelpSystem {
 public:
  ~QtHelp() override;
  void openindex(const std::string& helpfilename) override;
  void quit() override;

  // The viewer while it is shown (tests).
  QTextBrowser* viewer() const { return viewer_; }

  // "Turmscan.hlp" -> "Turmscan.html" (any extension replaced; none added).
  static QString htmlnameof(const QString& helpfilename);
  // The folders searched, in order.
  static QStringList searchfolders();
  // The absolute path of the help document, or "" when none is found.
  static QString locate(const QString& helpfilename);
  // Where a viewer of the given size opens next to a main window whose frame
  // is mainframe (invalid: none), within the screen area.
  static QRect placement(const QRect& mainframe, const QSize& viewer, const QRect& screen);

 private:
  QPointer<QTextBrowser> viewer_;
};
