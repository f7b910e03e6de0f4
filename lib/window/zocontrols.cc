#include "lib/window/zocontrols.h"

#include <QDate>
#include <QLocale>

void setboundsifchanged(QWidget* control, int left, int top, int width, int height) {
  if (control == nullptr) return;
  QRect wanted(left, top, width, height);
  if (control->geometry() != wanted) control->setGeometry(wanted);
}

QDateEdit* createdatefield(QWidget* owner, int left, int top, int width, int height) {
  auto* field = new QDateEdit(QDate::currentDate(), owner);
  field->setObjectName("datefield");
  field->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
  field->setGeometry(left, top, width, height);
  field->show();
  return field;
}
