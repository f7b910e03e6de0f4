#include <algorithm>

#include "lib/dialog/ZODlgs2.h"
#include "lib/dialog/dlgitems.h"
#include "lib/dialog/dlgtext.h"
#include "lib/support/strnum.h"

void describeonefield(int labelwidth, int fieldwidth, int okid, const std::string& oktext,
                      std::uint16_t& fieldcount, std::uint16_t& itemcount, dlgtable& t) {
  fieldcount = 1;
  itemcount = 4;
  int w = fieldwidth + labelwidth + 10;
  describeitem(3, 2, 200, t[1], 0, "", 1, labelwidth, kindlabel);
  describeitem(labelwidth + 2, 2, 300, t[2], 0, "", 1, fieldwidth, kindedit);
  // An edit is a line high, two row units: row 4 would touch it.
  describebutton(w / 3, 5, okid, oktext, t[3]);
  describebutton(2 * (w / 3), 5, 2, "Abbruch", t[4]);
  describeheader(w, 12, "", t);
  if (!oneshotfieldhint.empty()) {
    hintpanelswitch = 1;
    hintmode = 2;
    tooltipswitch = 1;
    t[1].hint = cut(oneshotfieldhint, 255);
    t[2].hint = t[1].hint;
    oneshotfieldhint.clear();
  }
}

TTextinputdlg::TTextinputdlg(QWidget* owner, const std::string& title_, const std::string& prompt_,
                             std::string* target_, std::uint8_t minlength_, std::uint8_t maxlength_)
    : Tzodialog(owner), title(cut(title_, 80)), prompt(cut(prompt_.empty() ? title_ : prompt_, 80)),
      target(target_), maxlength(maxlength_), minlength(minlength_) {
  setObjectName("textinputdlg");
  hintmode = 0;
  int labelwidth = static_cast<int>(prompt.size()) + 3;
  int fieldwidth = std::min<int>(maxlength, std::max(1, 80 - labelwidth));
  describeonefield(labelwidth, fieldwidth, 1, "OK", fieldcount, itemcount, *parameters);
  setupwindow();
}

void TTextinputdlg::setupwindow() {
  Tzodialog::setupwindow();
  setWindowTitle(toq(title));
  setitemtext(containerhandle, (*parameters)[1].id, prompt);
  setitemtextlimited(containerhandle, (*parameters)[2].id, target ? *target : std::string(), maxlength);
}

bool TTextinputdlg::canclose() {
  std::string text;
  getitemtexttrimmed(maxlength, containerhandle, (*parameters)[2].id, text, kMaxText);
  if (text.size() < minlength || text.size() > maxlength) return false;
  if (target) *target = text;
  return true;
}

void textinput(QWidget* owner, const std::string& title, const std::string& prompt,
               std::uint8_t minlength, std::uint8_t maxlength, std::string& text, bool& ok) {
  std::string work = text;
  auto* dlg = new TTextinputdlg(owner, title, prompt, &work, minlength, maxlength);
  ok = dlg->showmodal() == mrOk;
  delete dlg;
  if (ok) text = work;
}
