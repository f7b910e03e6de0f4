#include <algorithm>

#include "lib/dialog/ZODlgs2.h"
#include "lib/dialog/dlgitems.h"
#include "lib/dialog/dlgmetrics.h"
#include "lib/dialog/dlgtext.h"
#include "lib/support/strnum.h"

xTaboutdlg::xTaboutdlg(QWidget* owner, const std::string& title_, const std::vector<std::string>& lines_,
                       int linecount_, int textwidth)
    : Tzodialog(owner), title(cut(title_, 80)) {
  setObjectName("aboutdlg");
  linecount = static_cast<std::uint16_t>(std::clamp(linecount_, 1, 5));
  for (int i = 0; i < linecount && i < static_cast<int>(lines_.size()); ++i) lines[i] = cut(lines_[i], 80);
  // Rows count unspaced lines; a line is 4 pixels higher than its row.
  dlgmetrics m = computemetrics(dialogfontheight(), 0);
  cw = m.cw;
  rowh = m.lh;
  lh = static_cast<std::uint16_t>(m.lh + 4);
  dlgtable& t = *parameters;
  for (int i = 1; i <= linecount; ++i) describeitem(3, i, 199 + i, t[i], SS_CENTER, "", 1, textwidth, kindlabel);
  describebutton((textwidth + 6) / 2, linecount + 2, 1, "OK", t[linecount + 1]);
  itemcount = static_cast<std::uint16_t>(linecount + 1);
  describeheader(textwidth + 6, linecount + 8, title, t);
  setupwindow();
}

void xTaboutdlg::setupwindow() {
  Tzodialog::setupwindow();
  setWindowTitle(toq(title));
  for (int i = 1; i <= linecount; ++i) setitemtext(containerhandle, (*parameters)[i].id, lines[i - 1]);
}

void aboutbox(QWidget* owner, const std::string& title, const std::vector<std::string>& lines,
              int linecount, int textwidth) {
  auto* dlg = new xTaboutdlg(owner, title, lines, linecount, textwidth);
  dlg->showmodal();
  delete dlg;
}
