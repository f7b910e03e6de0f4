// The description of a dialog (its captions and hints) as text: for a file
// in the "help" folder, for the clipboard and for the print hook.
// Texts are Windows-1252, lines end with CR LF.
#pragma once

#include <string>
#include <vector>

#include "lib/dialog/dlgparam.h"

class Tzodialog;

// Every non-empty caption of records 0 to itemcount, then the hint of
// every record with a caption (an empty hint is an empty line).
std::vector<std::string> dlgexportlines(const dlgtable& t, int itemcount);

// Record 0's hint indented by one blank, then each caption with a hint as
// "caption:" and the hint indented by two blanks, wrapped at 80 columns;
// nothing is added once the text reaches 3800 characters.
std::string dlghelptext(const dlgtable& t, int itemcount);

// "help/dlg<dialogid>.txt" below the working directory.
std::string dlgexportfilename(int dialogid);

// Writes the file (when the text is longer than 10 characters): "#" +
// helpid, then the lines cut into pieces of at most 80 characters.  The
// "help" folder is made when missing.  Notice: file name + " Expodlg ok",
// or + " expodlg failed".  Returns whether a file was written.
bool exportdescriptionfile(int dialogid, int helpid, const std::vector<std::string>& lines);

// Puts the help text on the clipboard when it is longer than 10 characters.
void exportdescriptionclipboard(const std::string& text);
