#include "platform/qt/qtmessagewindows.h"

#include <QApplication>
#include <QMessageBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

#include "platform/qt/qtplacement.h"

#include "platform/qt/qttext.h"

namespace {

// A message box that opens centred on its owner: it takes its size when
// shown, so it is placed then, before it appears.
class OwnedBox : public QMessageBox {
 public:
  explicit OwnedBox(QWidget* owner) : QMessageBox(owner), owner_(owner) {}

 protected:
  void showEvent(QShowEvent* e) override {
    QMessageBox::showEvent(e);
    centreonowner(this, owner_);
  }

 private:
  QWidget* owner_;
};

// Room a notice leaves beside its text for the icon and the margins.
constexpr int kBesideText = 120;
constexpr int kNarrowestText = 240;

// A text wider than its owner's window is shown in a read-only text field
// of that width that breaks lines also inside a word (a link has no blank
// to break at); selected and copied it is the text as it stands.
void wraptoowner(QMessageBox& box, const QWidget* owner) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (label == nullptr || grid == nullptr) return;
  const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  const int limit = owner != nullptr ? owner->window()->frameGeometry().width()
                                     : (screen != nullptr ? screen->availableGeometry().width() / 2 : 600);
  const int width = std::max(kNarrowestText, limit - kBesideText);
  QFontMetrics metrics(label->font());
  int widest = 0;
  for (const QString& line : box.text().split(QLatin1Char('\n')))
    widest = std::max(widest, metrics.horizontalAdvance(line));
  if (widest <= width) return;
  auto* text = new QTextEdit(&box);
  text->setObjectName(QStringLiteral("wrappedtext"));
  text->setFont(label->font());
  text->setReadOnly(true);
  text->setFrameShape(QFrame::NoFrame);
  text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text->viewport()->setAutoFillBackground(false);
  text->setPlainText(box.text());
  text->document()->setDocumentMargin(0);
  text->document()->setTextWidth(width);
  const int most = screen != nullptr ? screen->availableGeometry().height() / 2 : 400;
  text->setFixedSize(width, std::min(most, static_cast<int>(std::ceil(text->document()->size().height())) + 2));
  delete grid->replaceWidget(label, text);  // the label's item is ours to free
  label->hide();
}

// Runs box modally, centred on owner; true when Yes was chosen (or for a
// one-button box).
bool run(QMessageBox& box, QWidget* owner, bool yesno, const char* yes, const char* no) {
  if (yesno) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    if (yes) box.button(QMessageBox::Yes)->setText(QString::fromLatin1(yes));
    if (no) box.button(QMessageBox::No)->setText(QString::fromLatin1(no));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  }
  // A notice may name a link or a file for the user to copy.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box.setWindowModality(Qt::ApplicationModal);
  wraptoowner(box, owner);
  int answer = box.exec();
  return yesno ? answer == QMessageBox::Yes : true;
}

}  // namespace

bool QtMessageWindows::standarddialog(MsgKind kind, const std::string& text) {
  QWidget* owner = dialogowner();
  OwnedBox box(owner);
  box.setObjectName(QStringLiteral("standardmessage"));
  box.setText(toqstring(text));
  switch (kind) {
    case MsgKind::Information:
      box.setWindowTitle(QStringLiteral("Information"));
      box.setIcon(QMessageBox::Information);
      return run(box, owner, false, nullptr, nullptr);
    case MsgKind::Error:
      box.setWindowTitle(QStringLiteral("Error"));
      box.setIcon(QMessageBox::Critical);
      return run(box, owner, false, nullptr, nullptr);
    case MsgKind::Confirm:
      box.setWindowTitle(QStringLiteral("Confirm"));
      box.setIcon(QMessageBox::Question);
      return run(box, owner, true, "&Yes", "&No");
  }
  return false;
}

bool QtMessageWindows::plainbox(const std::string& caption, const std::string& text, MsgIcon icon,
                                bool yesno) {
  QWidget* owner = dialogowner();
  OwnedBox box(owner);
  box.setObjectName(QStringLiteral("plainmessage"));
  box.setWindowTitle(toqstring(caption.substr(0, 80)));
  box.setText(toqstring(text));
  switch (icon) {
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
  }
  return run(box, owner, yesno, nullptr, nullptr);
}

void QtMessageWindows::beep() { QApplication::beep(); }
