// Turmfinder: looking up the radio cells of the German mobile networks.
#include <QApplication>

#include "app/taw.h"
#include "lib/support/messages.h"
#include "platform/qt/qtplatform.h"

int main(int argc, char** argv) {
  debugtrace = 0;
  windowcreatetrace = 0;
  windowclosetrace = 0;
  tracedebug("app.create");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Turmfinder");
  installqtplatform();

  TAW window;
  tracedebug("nach Createform Run");
  window.resize(900, 640);
  window.show();
  if (!window.startupcheck()) return 0;
  int rc = QApplication::exec();
  tracedebug("nach Run");
  return rc;
}
