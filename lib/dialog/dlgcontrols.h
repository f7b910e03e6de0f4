// Control classes of the dialog library.
//
// tdlgbutton: push button with the stock glyph of its id (1 OK, 2 Cancel,
// 6 Yes, 7 No, 12 Help), never a default button, so Enter does not press it.
// tdlgmemo: the multi-line edit.  tdlgspinbutton: the up-down button beside
// a kind-10 edit; steps the edit's whole number between its bounds (no
// wrap), also on the arrow keys in the edit.
#pragma once

#include <cstdint>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

class QLineEdit;
class QToolButton;

class tdlgbutton : public QPushButton {
  Q_OBJECT
 public:
  tdlgbutton(int tag, const QString& text, QWidget* parent);
  int tag() const { return tag_; }

 private:
  int tag_;
};

class tdlgmemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit tdlgmemo(QWidget* parent) : QPlainTextEdit(parent) {}
};

class tdlgspinbutton : public QWidget {
  Q_OBJECT
 public:
  tdlgspinbutton(QLineEdit* buddy, int minimum, int maximum, int step, QWidget* parent);
  // Adds steps * step to the buddy's number, kept within the bounds.
  void stepby(int steps);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QLineEdit* buddy_;
  int minimum_, maximum_, step_;
};
