#include <algorithm>

#include <QListWidget>

#include "lib/dialog/ZODlgs2.h"
#include "lib/dialog/dlgitems.h"
#include "lib/dialog/dlgmetrics.h"
#include "lib/dialog/dlgtext.h"
#include "lib/support/strnum.h"

namespace {
constexpr int kListRecord = 2;  // the drop-down list or list box (modes 0 and 1)
constexpr int kMemoRecord = 3;  // the text field of the list mode
}  // namespace

tauswahlboxdlg::tauswahlboxdlg(QWidget* owner, const std::string& title, const std::string& prompt,
                               const std::vector<std::string>& entries_,
                               const std::vector<std::string>& entryhints_, int first_, int last_,
                               std::uint8_t boxmode_, std::uint16_t choice_, const std::uint8_t* flags_,
                               const choicelayout& layout)
    : Tzodialog(owner), choice(choice_), boxmode(boxmode_) {
  setObjectName("auswahlboxdlg");
  first = static_cast<std::uint16_t>(std::clamp(first_, 0, kMaxChoices - 1));
  last = static_cast<std::uint16_t>(std::clamp(last_, static_cast<int>(first), kMaxChoices - 1));
  for (int i = 0; i < kMaxChoices; ++i) {
    if (i < static_cast<int>(entries_.size())) entries[i] = cut(entries_[i], 80);
    if (i < static_cast<int>(entryhints_.size())) entryhints[i] = cut(entryhints_[i], 80);
    if (flags_ && i >= first && i <= last) flags[i] = flags_[i];
  }
  setmetrics(4, 1, cw, rowh, lh);
  dlgtable& t = *parameters;
  const std::string label = prompt.empty() ? title : prompt;
  const int n = count();
  const int listheight = std::min(2 * n, 20);
  int width = 0, height = 0;
  if (boxmode <= 1) {
    describeitem(1, 1, 200, t[1], 0, label, 1, layout.labelwidth, kindlabel);
    width = layout.labelwidth + layout.fieldwidth + 6;
    int buttonrow = 4;
    height = 12;
    if (boxmode == 0) {
      describedroplist(layout.labelwidth + 2, 1, 0, t[kListRecord], n + 2, layout.fieldwidth);
      itemcount = 2;
    } else {
      describelist(layout.labelwidth + 2, 1, 0, t[kListRecord], 0, listheight + 1, layout.fieldwidth);
      describememo(1, listheight + 4, 1, "", 8, width - 2, t[kMemoRecord]);
      buttonrow = listheight + 14;
      height = buttonrow + 6;
      itemcount = 3;
    }
    describeok(width / 3, buttonrow, t[itemcount + 1]);
    describecancel(2 * (width / 3), buttonrow, t[itemcount + 2]);
    itemcount = static_cast<std::uint16_t>(itemcount + 2);
  } else {
    describeitem(2, 1, 200, t[1], 0, label, 1, layout.labelwidth, kindlabel);
    const int kind = boxmode == 2 ? kindradio : kindcheck;
    for (int k = 1; k <= n; ++k)
      describeitem(layout.buttoncolumn, 2 * k + 1, 300 + k - 1, t[1 + k], 0, entries[first + k - 1], 1,
                   layout.entrywidth, kind);
    width = layout.buttoncolumn + layout.entrywidth + 4;
    if (boxmode == 2) width = std::max(width, 40);
    height = 2 * n + 14;
    describeok(width / 3, 2 * n + 4, t[n + 2]);
    describecancel(2 * (width / 3), 2 * n + 4, t[n + 3]);
    fieldcount = static_cast<std::uint16_t>(n);
    itemcount = static_cast<std::uint16_t>(n + 3);
  }
  describeheader(width, height, title, t);
  setupwindow();
}

QWidget* tauswahlboxdlg::listcontrol() const { return (*parameters)[kListRecord].control; }

void tauswahlboxdlg::setupwindow() {
  Tzodialog::setupwindow();
  dlgtable& t = *parameters;
  if (boxmode <= 1) {
    QWidget* list = listcontrol();
    if (hintmode >= 2 && tooltipswitch > 0) list->setToolTip(toq(entryhints[1]));
    for (int i = first; i <= last; ++i) additemtext(list, entries[i]);
    setitemindex(list, choice);
    if (boxmode == 1) {
      // The text field shows the hint of the selected entry.
      auto* lw = qobject_cast<QListWidget*>(list);
      QWidget* memo = t[kMemoRecord].control;
      auto show = [this, lw, memo] {
        int row = getitemindex(lw);
        setwindowtext(memo, row >= 0 ? entryhints[first + row] : std::string());
      };
      connect(lw, &QListWidget::itemSelectionChanged, this, show);
      show();
    }
  } else {
    const int n = count();
    const int checked = choice < n ? choice : 0;
    for (int k = 1; k <= n; ++k) {
      const int entry = first + k - 1;
      QWidget* b = t[1 + k].control;
      setwindowtext(b, entries[entry]);
      if (hintmode >= 2 && tooltipswitch > 0) b->setToolTip(toq(entryhints[entry]));
      if (boxmode == 2) setitemchecked(containerhandle, t[1 + k].id, k - 1 == checked);
      else setitemchecked(containerhandle, t[1 + k].id, flags[entry] != 0);
    }
  }
}

bool tauswahlboxdlg::canclose() {
  Tzodialog::canclose();
  dlgtable& t = *parameters;
  if (boxmode <= 1) {
    int index = getitemindex(listcontrol());
    if (index >= 0) choice = static_cast<std::uint16_t>(index);
  } else if (boxmode == 2) {
    choice = 0;
    for (int k = 1; k <= count(); ++k)
      if (getitemchecked(containerhandle, t[1 + k].id)) choice = static_cast<std::uint16_t>(k - 1);
  } else {
    for (int k = 1; k <= count(); ++k)
      flags[first + k - 1] = getitemchecked(containerhandle, t[1 + k].id) ? 1 : 0;
  }
  return true;
}

bool choicebox(QWidget* owner, const std::string& title, const std::string& prompt,
               const std::vector<std::string>& entries, const std::vector<std::string>& entryhints,
               int first, int last, std::uint8_t boxmode, std::uint16_t& choice, std::uint8_t* flags,
               const choicelayout& layout) {
  auto* dlg = new tauswahlboxdlg(owner, title, prompt, entries, entryhints, first, last, boxmode, choice,
                                 flags, layout);
  bool ok = dlg->showmodal() == mrOk;
  if (ok) {
    if (boxmode == 3) {
      if (flags)
        for (int i = dlg->first; i <= dlg->last; ++i) flags[i] = dlg->flags[i];
    } else {
      choice = dlg->choice;
    }
  }
  delete dlg;
  return ok;
}

bool choicebox2(QWidget* owner, const std::string& title, const std::string& prompt,
                const std::string& entry0, const std::string& entry1, int labelwidth, int entrywidth,
                int buttoncolumn, std::uint16_t& choice) {
  choicelayout layout;
  layout.labelwidth = labelwidth;
  layout.entrywidth = entrywidth;
  layout.buttoncolumn = buttoncolumn;
  return choicebox(owner, title, prompt, {entry0, entry1}, {"", ""}, 0, 1, 2, choice, nullptr, layout);
}
