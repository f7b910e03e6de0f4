// The scroll bars of the main window's list view: which are shown, where
// they lie and the horizontal range.
#include <algorithm>

#include "app/taw.h"
#include "celldb/database.h"
#include "lib/support/textgrid.h"
#include "lib/window/zoglobals.h"
#include "query/listcolumns.h"
#include "query/listscreen.h"

namespace {

// Entry rows wholly inside `height` pixels below title, header and
// criteria line.
int rowsfor(int height) {
  if (lineheight == 0) return 0;
  return std::max(0, (height - static_cast<int>(gridtop)) / lineheight - 3);
}

}  // namespace

int TAW::fittingrows() const {
  int h = client()->height();
  if (hscrollbar != nullptr && hscrollbar->isVisible()) h -= scrollbarsize;
  return rowsfor(h);
}

TAW::BarLayout TAW::barlayout() const {
  BarLayout b;
  const bool list = displaymode() == 2 && databaseopen();
  const int w = client()->width(), h = client()->height();
  // Each bar narrows the room of the other: two rounds settle both.
  for (int round = 0; round < 2; ++round) {
    b.horizontal = list && listpixelwidth() > w - (b.vertical ? scrollbarsize : 0);
    b.vertical = list && resultcount > rowsfor(h - (b.horizontal ? scrollbarsize : 0));
  }
  if (b.horizontal) {
    int room = w - (b.vertical ? scrollbarsize : 0) - static_cast<int>(gridleft);
    b.pagecolumns = std::max(1, room / std::max<int>(cellwidth, 1));
    b.lastcolumn = std::max(2, listcolumn::kLineWidth - b.pagecolumns + 1);
  }
  return b;
}

TAW::BarLayout TAW::shownbars() const {
  BarLayout b;
  b.vertical = vscrollbar != nullptr && vscrollbar->isVisible();
  b.horizontal = hscrollbar != nullptr && hscrollbar->isVisible();
  if (b.horizontal) {
    b.lastcolumn = hstate.maximum;
    b.pagecolumns = hstate.largestep;
  }
  return b;
}

void TAW::updatescrollbar() {
  if (vscrollbar == nullptr || hscrollbar == nullptr) return;
  const BarLayout b = barlayout();
  vscrollbar->setVisible(b.vertical);
  hscrollbar->setVisible(b.horizontal);
  placevscrollbar(client(), b.horizontal ? scrollbarsize : 0, vscrollbar);
  placehscrollbar(client(), b.vertical, 0, hscrollbar);
  if (b.horizontal) {
    hstate.minimum = 1;
    hstate.maximum = b.lastcolumn;
    hstate.largestep = b.pagecolumns;
    hstate.smallstep = 1;
    int before = hstate.position;
    applyscrollrange(hscrollbar, hstate.minimum, hstate.maximum, hstate.position, hstate.largestep,
                     hstate.smallstep);
    hstate.previous = hstate.position;
    if (hstate.position != before) invalidate();
  } else if (displaymode() == 2 && hstate.position != 1) {
    // Everything fits across: no column may stay scrolled out of reach.
    hstate.position = 1;
    hstate.previous = 1;
    invalidate();
  }
  if (b.vertical || displaymode() != 2 || vstate.position == 1) return;
  // Everything fits: nothing may stay scrolled out of reach above.
  vstate.position = 1;
  vstate.previous = 1;
  vscrollbar->setValue(1);
  invalidate();
}
