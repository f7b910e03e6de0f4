// turmcli page: the map page of the selection (celltowers.html in the
// current directory), written as the program's map command writes it but
// not opened: turmcli installs no shell, so the default one opens nothing.
#include <filesystem>

#include "celldb/database.h"
#include "cli/commands.h"
#include "cli/lookupfail.h"
#include "cli/lookupoptions.h"
#include "cli/lookupsession.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "maps/mappage.h"
#include "platform/messagewindows.h"

namespace {

// Exit status when the selection is empty and no page was written.
constexpr int kExitNothingSelected = 1;

// Shows the notices of the map command (more than 20 objects) as lines
// on a stream while it is installed.
class terminalnotices : public MessageWindows {
 public:
  explicit terminalnotices(std::ostream& os) : os_(os) { setmessagewindows(this); }
  ~terminalnotices() override { setmessagewindows(nullptr); }
  bool standarddialog(MsgKind kind, const std::string& text) override {
    say(os_, text);
    return kind != MsgKind::Confirm;
  }
  bool plainbox(const std::string&, const std::string& text, MsgIcon, bool yesno) override {
    say(os_, text);
    return !yesno;
  }
  void beep() override {}

 private:
  std::ostream& os_;
};

std::string wherewritten() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(kMapPageFile, ec);
  return pathtext(ec ? std::string(kMapPageFile) : p.string());
}

}  // namespace

int cmdpage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  lookupargs a;
  std::string error;
  if (!parselookupargs(args, kOptDb | kOptKeys | kOptLabels, a, error))
    return lookupfail(err, "page", error);
  return runlookup(err, "page", [&] {
    lookupsession session;
    if (!session.open(a.db, error)) return lookupfail(err, "page", error);
    session.select(a.keys);
    if (resultcount <= 0) {
      say(err, std::string("turmcli page: keine Objekte ausgewählt, "_w) + kMapPageFile +
                   " nicht geschrieben");
      return kExitNothingSelected;
    }
    int shown = resultcount < kMapPageObjects ? resultcount : kMapPageObjects;
    terminalnotices notices(err);
    MapPageOutcome outcome;
    if (!ShowObjectsOnMapPage(resultcount, a.labels, &outcome))
      return lookupfail(err, "page", std::string(kMapPageFile) + " konnte nicht angelegt werden: " + outcome.reason);
    say(out, wherewritten() + " geschrieben (" + longtostr(shown) + " von " +
                 longtostr(resultcount) + " Objekten)");
    return kExitOk;
  });
}
