// Where the program's message boxes and standard dialogs open: centred on
// the window they belong to, so that one notice does not open over the
// program once and in the middle of the screen the next time.
#pragma once

class QWidget;

// The window a new dialog belongs to: the modal dialog that runs (a
// notice from inside a dialog), else the active window, else the
// program's visible main window; nullptr when there is none.
QWidget* dialogowner();

// Moves dialog, at its present size, so that its centre is the centre of
// owner's window (frame included) and it stays within the available area
// of owner's screen; without an owner, centred on the primary screen.
void centreonowner(QWidget* dialog, const QWidget* owner);
