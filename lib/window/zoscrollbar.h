// Scroll bars of the window library: tzoscrollbar with its creation
// defaults, range normalisation and placement along the right and bottom
// edges of a window's client rectangle.
#pragma once

#include <QScrollBar>
#include <cstdint>

#include "lib/window/zoglobals.h"

class tzoscrollbar : public QScrollBar {
  Q_OBJECT
 public:
  // A hidden bar, child of owner, 20 x 200 at (1, 1), then as thick as
  // scrollbarsize across its direction.
  tzoscrollbar(QWidget* owner, bool horizontal);

  int tag = 0;
};

// A vertical, hidden bar with its tag and range (applyscrollrange).
tzoscrollbar* createscrollbar(QWidget* owner, int tag, int minimum, int maximum, int position,
                              int largestep, int smallstep);

// Normalises a range and applies it to bar (the values alone when bar is
// null): a maximum not above the minimum becomes minimum + 2; the large
// step is clamped into 1..32767, a small step into 1..large step; the
// position into minimum..maximum.
void applyscrollrange(QScrollBar* bar, int minimum, int& maximum, int& position, int& largestep,
                      int& smallstep);

// Along the right edge of window's client rectangle (W x H): left
// W - scrollbarsize when W exceeds it, height H - bottomreserve when H
// exceeds the reserve, top 0, width scrollbarsize.
void placevscrollbar(QWidget* window, int bottomreserve, QScrollBar* bar);
// Along the bottom: left 0, width W (less scrollbarsize beside a vertical
// bar), top H - bottomreserve - scrollbarsize but at least 0.
void placehscrollbar(QWidget* window, bool vertical, int bottomreserve, QScrollBar* bar);
