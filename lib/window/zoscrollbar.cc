#include "lib/window/zoscrollbar.h"

#include <algorithm>

tzoscrollbar::tzoscrollbar(QWidget* owner, bool horizontal)
    : QScrollBar(horizontal ? Qt::Horizontal : Qt::Vertical, owner) {
  setObjectName(horizontal ? "hscrollbar" : "vscrollbar");
  setGeometry(1, 1, 20, 200);
  if (horizontal)
    resize(width(), scrollbarsize);
  else
    resize(scrollbarsize, height());
  hide();
}

tzoscrollbar* createscrollbar(QWidget* owner, int tag, int minimum, int maximum, int position,
                              int largestep, int smallstep) {
  auto* bar = new tzoscrollbar(owner, false);
  bar->tag = tag;
  bar->hide();
  applyscrollrange(bar, minimum, maximum, position, largestep, smallstep);
  return bar;
}

void applyscrollrange(QScrollBar* bar, int minimum, int& maximum, int& position, int& largestep,
                      int& smallstep) {
  if (minimum >= maximum) maximum = minimum + 2;
  largestep = std::clamp(largestep, 1, 32767);
  smallstep = std::clamp(smallstep, 1, largestep);
  position = std::clamp(position, minimum, maximum);
  if (bar == nullptr) return;
  bar->setMinimum(minimum);
  bar->setMaximum(maximum);
  bar->setPageStep(largestep);
  bar->setSingleStep(smallstep);
  bar->setValue(position);
}

void placevscrollbar(QWidget* window, int bottomreserve, QScrollBar* bar) {
  if (window == nullptr || bar == nullptr) return;
  int w = window->rect().width();
  int h = window->rect().height();
  QRect r = bar->geometry();
  int left = w > scrollbarsize ? w - scrollbarsize : r.left();
  int height = h > bottomreserve ? h - bottomreserve : r.height();
  bar->setGeometry(left, 0, scrollbarsize, height);
}

void placehscrollbar(QWidget* window, bool vertical, int bottomreserve, QScrollBar* bar) {
  if (window == nullptr || bar == nullptr) return;
  int w = window->rect().width();
  int h = window->rect().height();
  int width = w;
  if (vertical && w >= scrollbarsize) width -= scrollbarsize;
  int top = std::max(0, h - bottomreserve - scrollbarsize);
  bar->setGeometry(0, top, width, scrollbarsize);
}
