#include "platform/qt/qtmessagewindows.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/qttext.h"

namespace {

// Runs box modally; true when Yes was chosen (or for a one-button box).
bool run(QMessageBox& box, bool yesno, const char* yes, const char* no) {
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
  int answer = box.exec();
  return yesno ? answer == QMessageBox::Yes : true;
}

}  // namespace

bool QtMessageWindows::standarddialog(MsgKind kind, const std::string& text) {
  QMessageBox box(QApplication::activeWindow());
  box.setObjectName(QStringLiteral("standardmessage"));
  box.setText(toqstring(text));
  switch (kind) {
    case MsgKind::Information:
      box.setWindowTitle(QStringLiteral("Information"));
      box.setIcon(QMessageBox::Information);
      return run(box, false, nullptr, nullptr);
    case MsgKind::Error:
      box.setWindowTitle(QStringLiteral("Error"));
      box.setIcon(QMessageBox::Critical);
      return run(box, false, nullptr, nullptr);
    case MsgKind::Confirm:
      box.setWindowTitle(QStringLiteral("Confirm"));
      box.setIcon(QMessageBox::Question);
      return run(box, true, "&Yes", "&No");
  }
  return false;
}

bool QtMessageWindows::plainbox(const std::string& caption, const std::string& text, MsgIcon icon,
                                bool yesno) {
  QMessageBox box(QApplication::activeWindow());
  box.setObjectName(QStringLiteral("plainmessage"));
  box.setWindowTitle(toqstring(caption.substr(0, 80)));
  box.setText(toqstring(text));
  switch (icon) {
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
  }
  return run(box, yesno, nullptr, nullptr);
}

void QtMessageWindows::beep() { QApplication::beep(); }
