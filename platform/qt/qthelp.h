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
// quit() closes and destroys the viewer.  Needs a QApplication.
#pragma once

#include <QPointer>
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

 private:
  QPointer<QTextBrowser> viewer_;
};
