// TwaysinDlg: the offer after the start-up notice when the working folder
// holds no database: a few lines naming the folder and each way in, then
// one button per way (ids 300, 301, ...) and "Beenden" (id 2, also Esc and
// the window's close button).  Built on the dialog library like every
// dialog of the program (object name "waysindlg").
#pragma once

#include <string>
#include <vector>

#include "app/waysin.h"
#include "lib/dialog/zodialog.h"

class TwaysinDlg : public Tzodialog {
  Q_OBJECT
 public:
  inline static constexpr int kFirstWayId = 300;

  // folder: the working folder, Windows-1252.
  TwaysinDlg(QWidget* owner, const std::vector<wayin>& ways, const std::string& folder);
  void setupwindow() override;

 private:
  std::vector<std::string> objectnames_;
};

// Shows the offer; returns the index of the chosen way, -1 for "Beenden".
int offerwaysin(QWidget* owner, const std::vector<wayin>& ways, const std::string& folder);
