#include "app/waysindlg.h"

#include <algorithm>

#include "lib/dialog/dlgcontrols.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"

namespace {

constexpr int kTextWidth = 58;

// A long folder keeps its end, the part that names it.
std::string shortfolder(const std::string& folder) {
  if (folder.size() <= kTextWidth) return folder;
  return "..." + folder.substr(folder.size() - (kTextWidth - 3));
}

}  // namespace

TwaysinDlg::TwaysinDlg(QWidget* owner, const std::vector<wayin>& ways, const std::string& folder)
    : Tzodialog(owner) {
  setObjectName("waysindlg");
  dlgtable& t = *parameters;
  std::vector<std::string> lines = {"Im Arbeitsordner", shortfolder(folder),
                                    "gibt es noch keine Zellendatenbank (germtowers.dat).", ""};
  for (const wayin& w : ways) lines.push_back(w.detail);
  lines.push_back("");
  lines.push_back(std::string("Wie möchten Sie beginnen?"_w));
  int n = 0;
  for (const std::string& line : lines) {
    ++n;
    describeitem(3, n, 199 + n, t[n], 0, line.empty() ? " " : line, 1, kTextWidth, kindlabel);
  }
  int width = kTextWidth + 6;
  int buttons = static_cast<int>(ways.size()) + 1;
  int row = n + 2;
  auto captionof = [&](int i) {
    return i == buttons - 1 ? std::string("&Beenden") : ways[static_cast<std::size_t>(i)].caption;
  };
  // Each button wide enough for its caption (the access key's "&" takes no
  // room); the buttons side by side, the row centred, never overlapping.
  constexpr int kGap = 2;
  std::vector<int> widths;
  int total = -kGap;
  for (int i = 0; i < buttons; ++i) {
    widths.push_back(std::max(10, static_cast<int>(captionof(i).size()) + 3));
    total += widths.back() + kGap;
  }
  width = std::max(width, total + 4);
  int x = (width - total) / 2;
  for (int i = 0; i < buttons; ++i) {
    bool quit = i == buttons - 1;
    describeitem(x, row, quit ? mrCancel : kFirstWayId + i, t[n + 1 + i], 0, captionof(i), 2, widths[i], kindbutton);
    objectnames_.push_back(quit ? std::string("way_quit") : ways[static_cast<std::size_t>(i)].objectname);
    x += widths[i] + kGap;
  }
  itemcount = static_cast<std::uint16_t>(n + buttons);
  describeheader(width, row + 5, "Turmfinder", t);
  setupwindow();
}

void TwaysinDlg::setupwindow() {
  Tzodialog::setupwindow();
  setWindowTitle("Turmfinder");
  // The dialog library binds its stock buttons; the ways end the dialog
  // with their own ids.
  dlgtable& t = *parameters;
  std::size_t b = 0;
  for (int i = 1; i <= itemcount; ++i) {
    auto* button = qobject_cast<tdlgbutton*>(t[i].control);
    if (button == nullptr) continue;
    if (b < objectnames_.size()) button->setObjectName(QString::fromStdString(objectnames_[b++]));
    if (button->tag() >= kFirstWayId)
      connect(button, &QPushButton::clicked, this, [this, tag = button->tag()] { done(tag); });
  }
}

int offerwaysin(QWidget* owner, const std::vector<wayin>& ways, const std::string& folder) {
  TwaysinDlg dlg(owner, ways, folder);
  int r = dlg.showmodal();
  int index = r - TwaysinDlg::kFirstWayId;
  return index >= 0 && index < static_cast<int>(ways.size()) ? index : -1;
}
