#include "lib/dialog/ZODlgs2.h"
#include "lib/dialog/dlgitems.h"
#include "lib/support/strnum.h"

tnamereplacedlg::tnamereplacedlg(QWidget* owner, std::string* oldname_, std::string* newname_)
    : Tzodialog(owner), oldname(oldname_), newname(newname_) {
  setObjectName("namereplacedlg");
  dialogid = 132;
  dlgtable& t = *parameters;
  describelabel(1, 1, 1, "bisheriger Name", 15, t[1]);
  describelabel(1, 3, 2, "neuer Name", 15, t[2]);
  describeedit(19, 1, 1, "", 20, t[3]);
  describeedit(19, 3, 2, "", 20, t[4]);
  fieldcount = 2;
  itemcount = 6;
  describebuttonrow(45, 6, 5, itemcount, t);
  describeheader(45, 12, "Name im Code ersetzen", t);
  setupwindow();
}

void tnamereplacedlg::setupwindow() {
  Tzodialog::setupwindow();
  setitemtextlimited(containerhandle, (*parameters)[3].id, *oldname, 40);
  setitemtextlimited(containerhandle, (*parameters)[4].id, *newname, 40);
}

bool tnamereplacedlg::canclose() {
  Tzodialog::canclose();
  std::string o, n;
  getitemtexttrimmed(40, containerhandle, (*parameters)[3].id, o, 40);
  getitemtexttrimmed(40, containerhandle, (*parameters)[4].id, n, 40);
  if (o.empty() || n.empty()) return false;
  *oldname = o;
  *newname = n;
  return true;
}

bool namereplace(QWidget* owner, std::string& oldname, std::string& newname) {
  std::string o = oldname, n = newname;
  auto* dlg = new tnamereplacedlg(owner, &o, &n);
  bool ok = dlg->showmodal() == mrOk;
  delete dlg;
  if (ok) {
    oldname = o;
    newname = n;
  }
  return ok;
}
