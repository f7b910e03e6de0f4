// Turmfinder: looking up the radio cells of the German mobile networks.
//
// Without an argument it works in the current folder; "--desktop" (the
// desktop entry's Exec line) works in ~/Turmfinder and offers the ways in
// when that folder has no database (app/core/startoptions.h).
#include <QApplication>
#include <QIcon>
#include <iostream>
#include <string>
#include <vector>

#include "app/core/appstate.h"
#include "app/core/startoptions.h"
#include "app/core/workfolder.h"
#include "app/taw.h"
#include "app/waysin.h"
#include "lib/support/messages.h"
#include "lib/support/programstart.h"
#include "lib/support/w1252.h"
#include "platform/qt/qthelp.h"
#include "platform/qt/qtplatform.h"
#include "platform/qt/qttext.h"
#include "platform/qt/qttranslation.h"

namespace {

// The usage and where the help viewer finds the help document (the
// folders searched when it finds none).
void printusage(std::ostream& out) {
  out << w1252ToUtf8(startusage());
  QString found = QtHelp::locate(toqstring(helpfilename));
  if (!found.isEmpty()) {
    out << "Hilfedokument: " << found.toStdString() << '\n';
    return;
  }
  out << "Hilfedokument " << QtHelp::htmlnameof(toqstring(helpfilename)).toStdString()
      << " nicht gefunden; gesucht in:\n";
  for (const QString& folder : QtHelp::searchfolders()) out << "  " << folder.toStdString() << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  startprogram();
  debugtrace = 0;
  windowcreatetrace = 0;
  windowclosetrace = 0;
  // The usage needs no display: before the toolkit looks for one.
  for (int i = 1; i < argc; ++i) {
    if (parsestartoptions({argv[i]}).help) {
      QCoreApplication core(argc, argv);
      printusage(std::cout);
      return 0;
    }
  }
  tracedebug("app.create");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Turmfinder");
  // The window belongs to the launcher's entry (Wayland's app id) and wears
  // its icon from the icon theme (none when the program is not installed).
  QGuiApplication::setDesktopFileName(QStringLiteral(TURM_APP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(TURM_APP_ID)));
  // QApplication has taken its own options out of argv.
  startoptions options = parsestartoptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!options.error.empty()) {
    std::cerr << w1252ToUtf8(options.error) << '\n' << w1252ToUtf8(startusage());
    return 2;
  }
  installqtplatform();
  // Qt's own texts (edit menus, font dialog) in German; without the
  // translation file they stay English and the program runs all the same.
  installqttranslation();
  if (options.desktop) {
    workfolderresult folder = enterworkfolder(homefolder());
    if (!folder.ok) {
      errormessage(folder.error);
      return 1;
    }
  }

  TAW window;
  tracedebug("nach Createform Run");
  // Wide enough for every column of the list at the default font.
  window.resize(1000, 640);
  window.show();
  if (!(options.desktop ? window.startupoffer(waysin()) : window.startupcheck())) return 0;
  int rc = QApplication::exec();
  tracedebug("nach Run");
  return rc;
}
