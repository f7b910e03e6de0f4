#include "platform/qt/qtplacement.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

QWidget* dialogowner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active->window();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && qobject_cast<QMainWindow*>(w) != nullptr) return w;
  return nullptr;
}

void centreonowner(QWidget* dialog, const QWidget* owner) {
  if (dialog == nullptr) return;
  const QWidget* window = owner != nullptr ? owner->window() : nullptr;
  QScreen* screen = window != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
  const QRect around = window != nullptr ? window->frameGeometry() : area;
  QRect r(QPoint(0, 0), dialog->size());
  r.moveCenter(around.center());
  if (!area.isEmpty()) {
    if (r.right() > area.right()) r.moveRight(area.right());
    if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
    if (r.left() < area.left()) r.moveLeft(area.left());
    if (r.top() < area.top()) r.moveTop(area.top());
  }
  dialog->move(r.topLeft());
}
