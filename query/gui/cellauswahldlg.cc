#include "query/gui/cellauswahldlg.h"

#include "celldb/database.h"
#include "lib/dialog/dlgfields.h"
#include "lib/dialog/dlgitems.h"
#include "lib/dialog/dlgmetrics.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"

namespace {
constexpr int kLabelColumn = 2, kLabelWidth = 8;
constexpr int kFieldColumn = 12, kFieldWidth = 20;
constexpr int kDialogWidth = 36;

// An empty number field means "any": the value 0, as all start with.
bool emptyfield(QWidget* dialoghandle, std::int32_t id) {
  std::string text;
  getitemtexttrimmed(255, dialoghandle, id, text, 255);
  return text.empty();
}

void describerow(dlgtable& t, int row, const char* label, std::string_view hint) {
  dlgparameter& l = t[2 * row - 1];
  describelabel(kLabelColumn, 2 * row - 1, row, label, kLabelWidth, l);
  l.hint = std::string(hint);
  copyhint(l, t[2 * row]);
}
}  // namespace

void fillnettypes(QWidget* list) {
  for (int code = 0; code <= kLastTypeCode; ++code) additemtext(list, nettypename(code));
}

TcellauswahlDlg::TcellauswahlDlg(QWidget* owner, std::uint8_t formflag_, ttowerrec& target_)
    : Tzodialog(owner), formflag(formflag_), target(&target_), workingcopy(target_) {
  setObjectName("cellauswahldlg");
  setmetrics(4, 1, cw, rowh, lh);
  dlgtable& t = *parameters;
  describedroplist(kFieldColumn, 1, 1, t[kTypeRecord], 8, kFieldWidth);
  describeedit(kFieldColumn, 3, 2, "", kFieldWidth, t[kNetidRecord]);
  describeedit(kFieldColumn, 5, 3, "", kFieldWidth, t[kAreaRecord]);
  describeedit(kFieldColumn, 7, 4, "", kFieldWidth, t[kCellidRecord]);
  describerow(t, 1, "Art", "Netzart wählen"_w);
  describerow(t, 2, "Netid", "Netzwerknr  eingeben");
  describerow(t, 3, "Area", "Bereich im HEXFormat eingeben");
  describerow(t, 4, "CellId", "CellId im Hexformat eingeben");
  fieldcount = 4;
  itemcount = 10;
  describebuttonrow(kDialogWidth, 10, 9, itemcount, t);
  describeheader(kDialogWidth, 16, "Zellen-Auswahl", t);
  hintpanelswitch = 1;
  hintmode = 2;
  tooltipswitch = 1;
  setupwindow();
}

void TcellauswahlDlg::setupwindow() {
  Tzodialog::setupwindow();
  dlgtable& t = *parameters;
  QWidget* list = t[kTypeRecord].control;
  fillnettypes(list);
  setitemindex(list, workingcopy.typecode);
  setitemtextlimited(containerhandle, t[kNetidRecord].id, wordtostr(workingcopy.netid), 10);
  setitemtextlimited(containerhandle, t[kAreaRecord].id, "$" + hexwideshort(criteriaarea(workingcopy)), 15);
  setitemtextlimited(containerhandle, t[kCellidRecord].id, "$" + hexwideshort(criteriacell(workingcopy)), 15);
}

bool TcellauswahlDlg::canclose() {
  Tzodialog::canclose();
  dlgtable& t = *parameters;
  std::int32_t errorid = 0;
  bool ok = false;

  int type = getitemindex(t[kTypeRecord].control);
  if (type >= 0 && type <= kLastTypeCode) {
    workingcopy.typecode = static_cast<std::uint8_t>(type);
    settypetext(workingcopy, cut(nettypename(type), 10));
  }
  std::uint16_t netid = workingcopy.netid;
  if (emptyfield(containerhandle, t[kNetidRecord].id))
    netid = 0;
  else
    getwordfield(containerhandle, t[kNetidRecord].id, 0, 65535, netid, ok, errorid);
  workingcopy.netid = netid;
  // Area and cell id take the 24 and 36 bits of an NR cell, for any type
  // (beyond 16 and 32 bits they find only NR cells).
  std::uint64_t area = criteriaarea(workingcopy), cell = criteriacell(workingcopy);
  if (emptyfield(containerhandle, t[kAreaRecord].id))
    area = 0;
  else
    getwidefield(containerhandle, t[kAreaRecord].id, kMaxArea24, area, ok, errorid);
  if (emptyfield(containerhandle, t[kCellidRecord].id))
    cell = 0;
  else
    getwidefield(containerhandle, t[kCellidRecord].id, kMaxCell36, cell, ok, errorid);
  setcriteriakeys(workingcopy, static_cast<std::uint32_t>(area), cell);

  workingcopy.longitude = real{};
  workingcopy.latitude = real{};
  if (errorid == 0) {
    *target = workingcopy;
    return true;
  }
  // The message names the row it is about.
  for (int record : {kNetidRecord, kAreaRecord, kCellidRecord})
    if (t[record].id == errorid) fielderrortext = cut(t[record - 1].caption + ": " + fielderrortext, 80);
  fielderror(this, errorid, true);
  return false;
}

bool runcellselection(QWidget* owner, ttowerrec& target) {
  auto* dlg = new TcellauswahlDlg(owner, 0, target);
  bool confirmed = dlg->showmodal() == mrOk;
  delete dlg;
  return confirmed;
}
