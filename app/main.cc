// Turmfinder: looking up the radio cells of the German mobile networks.
#include <QApplication>

#include "app/taw.h"
#include "lib/support/messages.h"
#include "lib/support/programstart.h"
#include "platform/qt/qtplatform.h"
#include "platform/qt/qttranslation.h"

int main(int argc, char** argv) {
  startprogram();
  debugtrace = 0;
  windowcreatetrace = 0;
  windowclosetrace = 0;
  tracedebug("app.create");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Turmfinder");
  installqtplatform();
  // Qt's own texts (edit menus, font dialog) in German; without the
  // translation file they stay English and the program runs all the same.
  installqttranslation();

  TAW window;
  tracedebug("nach Createform Run");
  window.resize(960, 640);
  window.show();
  if (!window.startupcheck()) return 0;
  int rc = QApplication::exec();
  tracedebug("nach Run");
  return rc;
}
