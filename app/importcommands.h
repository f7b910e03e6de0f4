// The window's imports: "Export einlesen…" (a whole OpenCelliD export
// converted as turmcli prepare does) and "Tages-Diff einspielen…" (a
// daily diff applied as turmcli update does), each from a file dialog
// through the progress dialog of importprogress.h, and the same import as
// a way in of the launcher's offer.
#pragma once

#include <string>

#include "app/importprogress.h"
#include "app/waysin.h"

class QWidget;

struct importreport {
  bool written = false;  // new database files are in the working folder
  std::string summary;   // the notice to show once they are open, Windows-1252
};

// Asks for the file (starting in the working folder) and imports it into
// the working folder.  Cancel (of the file dialog or the run), a failure
// and a diff without germtowers.dat have been told with a notice when
// written is false.
importreport importbydialog(QWidget* window, importkind kind);

// The summary notice of a finished run (fits a notice: 255 bytes);
// name is the input file's name.
std::string importsummary(importkind kind, const std::string& name, const importoutcome& outcome);

// The launcher's way "Export einlesen…": the same import; a cancelled or
// failed import shows the offer again.
wayin importway();
