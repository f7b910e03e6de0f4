// Small control helpers of the window library.
#pragma once

#include <QDateEdit>
#include <QWidget>

// Sets control's geometry only when one of the four values differs, so
// that an unchanged layout causes no repaint.  Nothing for a null control.
void setboundsifchanged(QWidget* control, int left, int top, int width, int height);

// A shown date field in the locale's short date form, child of owner at
// the given bounds, holding today's date.
QDateEdit* createdatefield(QWidget* owner, int left, int top, int width, int height);
