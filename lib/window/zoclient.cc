#include "lib/window/zoclient.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include "lib/support/ioerror.h"
#include "lib/support/messages.h"
#include "lib/window/paintersurface.h"
#include "lib/window/zowindow.h"

TZoclient::TZoclient(TZowindow* owner) : QWidget(owner), owner_(owner) {
  setObjectName("client");
  setAutoFillBackground(true);
  // A click gives the list the keyboard: its scroll keys reach the window.
  setFocusPolicy(Qt::ClickFocus);
}

void TZoclient::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  PainterSurface surface(painter, width(), height());
  owner_->paintrect = event->rect();
  // A file error while painting must not cross the event loop.
  try {
    owner_->paintclient(surface);
  } catch (const IoError& e) {
    errormessage(e.what());
  }
  owner_->paintrect = QRect();
}

void TZoclient::mousePressEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  owner_->clientmousedown(p.x(), p.y(), event->button());
}

void TZoclient::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  owner_->clientresized(event->size().width(), event->size().height());
}

void TZoclient::keyPressEvent(QKeyEvent* event) {
  if (owner_->scrollbykey(event->key(), event->modifiers()))
    event->accept();
  else
    QWidget::keyPressEvent(event);
}

void TZoclient::wheelEvent(QWheelEvent* event) {
  if (owner_->scrollbywheel(event->angleDelta().y()))
    event->accept();
  else
    QWidget::wheelEvent(event);
}
