// The cell selection dialog "Zellen-Auswahl": network type, net id, area
// and cell id of the selection criteria.
//
// The dialog works on a copy of the caller's record and writes the whole
// copy back (with the position cleared) only when OK is pressed and every
// field is valid.  Area and cell id are shown and may be typed in the "$"
// hexadecimal form; digits without "$" are decimal.  They take the 24-bit
// area (up to $FFFFFF, 16777215) and the 36-bit cell id (up to $FFFFFFFFF,
// 68719476735) of NR cells; a larger value is refused.  An empty number field
// means "any" (0).  A bad field keeps the dialog open, names the first bad
// row with the text typed ("Area: Ganzzahl-Wert 1A2B muß ...") and puts
// the focus there.
#pragma once

#include <cstdint>

#include "celldb/towerrec.h"
#include "lib/dialog/zodialog.h"

// (No Q_OBJECT: the dialog adds no signals or slots.)
class TcellauswahlDlg : public Tzodialog {
 public:
  // Records of the input controls (their labels are the records before).
  static constexpr int kTypeRecord = 2, kNetidRecord = 4, kAreaRecord = 6, kCellidRecord = 8;

  // formflag 0: the four-row form (the only one).  target must outlive the
  // dialog.
  TcellauswahlDlg(QWidget* owner, std::uint8_t formflag, ttowerrec& target);
  void setupwindow() override;
  bool canclose() override;

  std::uint8_t formflag;
  ttowerrec* target;
  ttowerrec workingcopy;
};

// Appends the network type texts ("Alle" .. "CDMA", "NR") in code order.
void fillnettypes(QWidget* list);

// Shows the dialog modally on target; true when it ended with OK (target
// then holds the new criteria).
bool runcellselection(QWidget* owner, ttowerrec& target);
