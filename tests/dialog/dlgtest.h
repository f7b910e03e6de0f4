// Helpers for the dialog tests: the application object, answering modal
// dialogs from the event loop and waiting on conditions.
#pragma once

#include <functional>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "lib/dialog/dlgitems.h"
#include "lib/dialog/zodialog.h"

inline void ensureapp() {
  static int argc = 1;
  static char name[] = "dialog_test";
  static char* argv[] = {name, nullptr};
  if (!qApp) new QApplication(argc, argv);
}

// Runs act on the next modal dialog as soon as it is shown.  The action
// must close the dialog (or arrange for it to close).
inline void whenmodal(std::function<void(Tzodialog*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    auto* d = qobject_cast<Tzodialog*>(QApplication::activeModalWidget());
    if (!d || !d->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(d);
  });
  timer->start();
}

// The control of the record whose described id is describedid.
inline QWidget* itemof(Tzodialog* d, int describedid) {
  dlgparameter* p = d->findrecord(describedid);
  return p ? p->control : nullptr;
}

inline void clickbutton(Tzodialog* d, int buttonid) {
  if (QWidget* b = itemof(d, buttonid)) QTest::mouseClick(b, Qt::LeftButton);
}

inline void typeinto(Tzodialog* d, int describedid, const QString& text) {
  auto* e = qobject_cast<QLineEdit*>(itemof(d, describedid));
  if (!e) return;
  e->setFocus();
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  QTest::keyClicks(e, text);
}
