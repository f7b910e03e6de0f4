// Installs the Qt implementations of the platform layer (message windows,
// font dialog, shell, help) for the program's lifetime.  Call once after
// the QApplication exists; the objects live until the process ends.
#pragma once

class QtHelp;

void installqtplatform();

// The installed help viewer (nullptr before installqtplatform).
QtHelp* qthelp();
