#include "lib/window/zostatusbar.h"

#include <QMainWindow>

#include "lib/window/qtconvert.h"

tzostatusbar::tzostatusbar(QWidget* owner) : QStatusBar(owner) {
  setObjectName("statusbar");
  setSizeGripEnabled(false);
}

bool tzostatusbar::addpanel(int width) {
  if (panelcount() >= kMaxStatusPanels) return false;
  auto* label = new QLabel(this);
  label->setObjectName(QString("statuspanel%1").arg(panelcount()));
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setTextFormat(Qt::PlainText);
  label->setFixedWidth(width > 0 ? width : 0);
  addWidget(label, 0);
  panels_.push_back(label);
  return true;
}

QLabel* tzostatusbar::panel(int index) const {
  if (index < 0 || index >= panelcount()) return nullptr;
  return panels_[static_cast<std::size_t>(index)];
}

std::string tzostatusbar::paneltext(int index) const {
  QLabel* p = panel(index);
  return p != nullptr ? fromqstring(p->text()) : std::string();
}

void tzostatusbar::setpaneltext(int index, const std::string& text) {
  QLabel* p = panel(index);
  if (p == nullptr) return;
  p->setText(toqstring(text));
  p->repaint();
}

tzostatusbar* createstatusbar(QWidget* owner, const FontSpec* font, const QColor& colour,
                              const std::vector<int>& widths, int count, int left, int top,
                              int width, int height) {
  auto* bar = new tzostatusbar(owner);
  if (font != nullptr) bar->setFont(qfontof(*font));
  QPalette pal = bar->palette();
  pal.setColor(QPalette::Window, colour);
  bar->setPalette(pal);
  bar->setAutoFillBackground(true);
  int n = count < 0 ? 0 : (count > kMaxStatusPanels ? kMaxStatusPanels : count);
  for (int i = 0; i < n; ++i)
    bar->addpanel(static_cast<std::size_t>(i) < widths.size() ? widths[static_cast<std::size_t>(i)] : 0);
  if (auto* main = qobject_cast<QMainWindow*>(owner)) {
    bar->setFixedHeight(height > 0 ? height : bar->sizeHint().height());
    main->setStatusBar(bar);
  } else {
    bar->setGeometry(left, top, width, height);
  }
  return bar;
}

void statuspaneltext(int index, tzostatusbar* bar, const std::string& text) {
  if (bar != nullptr) bar->setpaneltext(index, " " + text);
}
