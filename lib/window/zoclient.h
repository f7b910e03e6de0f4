// The client area of a TZowindow: a plain widget the application paints
// itself.  Paint, mouse-down and resize events are handed to the owning
// window's hooks (TZowindow::paintclient, clientmousedown, clientresized);
// scroll keys and the wheel to TZowindow::scrollbykey and scrollbywheel.
#pragma once

#include <QWidget>

class TZowindow;

class TZoclient : public QWidget {
  Q_OBJECT
 public:
  explicit TZoclient(TZowindow* owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Scroll keys and the wheel move the owner's vertical bar.
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  TZowindow* owner_;
};
