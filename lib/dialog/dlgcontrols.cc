#include "lib/dialog/dlgcontrols.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QStyle::StandardPixmap glyphfor(int tag, bool& has) {
  has = true;
  switch (tag) {
    case 1: return QStyle::SP_DialogOkButton;
    case 2: return QStyle::SP_DialogCancelButton;
    case 6: return QStyle::SP_DialogYesButton;
    case 7: return QStyle::SP_DialogNoButton;
    case 12: return QStyle::SP_DialogHelpButton;
    default: has = false; return QStyle::SP_CustomBase;
  }
}
}  // namespace

tdlgbutton::tdlgbutton(int tag, const QString& text, QWidget* parent)
    : QPushButton(text, parent), tag_(tag) {
  bool has = false;
  QStyle::StandardPixmap sp = glyphfor(tag, has);
  if (has) setIcon(style()->standardIcon(sp, nullptr, this));
  setAutoDefault(false);
  setDefault(false);
  setMinimumHeight(20);
}

tdlgspinbutton::tdlgspinbutton(QLineEdit* buddy, int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(std::max(minimum, maximum)),
      step_(step == 0 ? 1 : step) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* up = new QToolButton(this);
  auto* down = new QToolButton(this);
  up->setArrowType(Qt::UpArrow);
  down->setArrowType(Qt::DownArrow);
  up->setObjectName("spinup");
  down->setObjectName("spindown");
  for (QToolButton* b : {up, down}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(b);
  }
  connect(up, &QToolButton::clicked, this, [this] { stepby(1); });
  connect(down, &QToolButton::clicked, this, [this] { stepby(-1); });
  buddy_->installEventFilter(this);
}

void tdlgspinbutton::stepby(int steps) {
  bool ok = false;
  long long v = buddy_->text().trimmed().toLongLong(&ok);
  if (!ok) v = minimum_;
  v += static_cast<long long>(steps) * step_;
  v = std::clamp<long long>(v, minimum_, maximum_);
  buddy_->setText(QString::number(v));
}

bool tdlgspinbutton::eventFilter(QObject* watched, QEvent* e) {
  if (watched == buddy_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Up) { stepby(1); return true; }
    if (k->key() == Qt::Key_Down) { stepby(-1); return true; }
  }
  return QWidget::eventFilter(watched, e);
}
