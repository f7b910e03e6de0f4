// The status bar: up to eight lowered text panels of fixed widths.  It is
// also the program's StatusLine (lib/support/messages.h), so notices sent
// to the status line land in its panels.
#pragma once

#include <QColor>
#include <QLabel>
#include <QStatusBar>
#include <string>
#include <vector>

#include "lib/support/fontdesc.h"
#include "lib/support/messages.h"

inline constexpr int kMaxStatusPanels = 8;

class tzostatusbar : public QStatusBar, public StatusLine {
  Q_OBJECT
 public:
  explicit tzostatusbar(QWidget* owner = nullptr);

  int panelcount() const override { return static_cast<int>(panels_.size()); }
  // The panel's text exactly as given (the status line of messages.h puts
  // its own leading blank in front); nothing when there is no such panel.
  void setpaneltext(int panel, const std::string& text) override;
  // The panel's label (nullptr when there is no such panel).
  QLabel* panel(int index) const;
  // The panel's text as shown, Windows-1252.
  std::string paneltext(int index) const;

  // Adds an empty lowered panel of the given width; false when there are
  // eight already.
  bool addpanel(int width);

 private:
  std::vector<QLabel*> panels_;
};

// Makes a status bar for owner: with font when given (else the system
// font), background colour, no size grip and min(count, 8) empty panels
// with widths[i] (0 when widths is shorter).  On a QMainWindow owner it
// becomes the window's status bar along the bottom; any other owner gets
// it as a child at the given bounds.  Returns the bar (owned by owner).
tzostatusbar* createstatusbar(QWidget* owner, const FontSpec* font, const QColor& colour,
                              const std::vector<int>& widths, int count, int left, int top,
                              int width, int height);

// Sets panel `index` (from 0) of bar to " " + text and repaints at once;
// nothing when bar is null or has no such panel.
void statuspaneltext(int index, tzostatusbar* bar, const std::string& text);
