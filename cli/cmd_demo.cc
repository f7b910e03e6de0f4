// turmcli demo [--dir DIR] [--count N]: DIR is created when it does not exist
// yet, as by prepare.
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/makefolders.h"
#include "ingest/demodb.h"
#include "ingest/fieldparse.h"
#include "ingest/prepare.h"
#include "lib/support/w1252.h"

namespace {
// 100 million records are 4.4 GB; more is surely a typing error.
constexpr std::int64_t kMaxDemoCount = 100'000'000;
}

int cmddemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const clicommand& self = *findcommand("demo");
  std::string dir = ".";
  std::int64_t count = static_cast<std::int64_t>(kDemoDefaultCount);
  for (std::size_t i = 0; i < args.size();) {
    std::string value;
    bool missing = false;
    if (optionvalue(args, i, "--dir", value, missing)) {
      if (missing || value.empty()) {
        say(err, "turmcli demo: --dir braucht ein Verzeichnis"_w);
        return kExitFailure;
      }
      dir = value;
      continue;
    }
    if (optionvalue(args, i, "--count", value, missing)) {
      if (missing || !parseinteger(value, 0, kMaxDemoCount, count)) {
        say(err, std::string("turmcli demo: --count braucht eine Zahl von 0 bis "_w) +
                     groupdigits(kMaxDemoCount));
        return kExitFailure;
      }
      continue;
    }
    say(err, std::string("turmcli demo: unbekanntes Argument "_w) + pathtext(args[i]));
    printcommandusage(self, err);
    return kExitFailure;
  }
  std::string folderror;
  std::vector<std::string> madefolders = makefolders(dir, folderror);
  if (!folderror.empty()) {
    say(err, std::string("turmcli demo: "_w) + folderror);
    return kExitFailure;
  }
  interruptguard guard;
  resetinterrupted();
  demoresult r = writedemodatabase(dir, static_cast<std::uint64_t>(count), terminalwaiting(err, dir));
  for (const std::string& note : r.notes) say(err, std::string("turmcli demo: "_w) + note);
  if (!r.ok) {
    removefolders(madefolders);
    say(err, std::string("turmcli demo: "_w) + r.error);
    return kExitFailure;
  }
  say(out, std::string(kGermanFile) + ":   " + groupdigits(r.german) + std::string(" Zellen"_w));
  say(out, std::string(kBerlinFile) + ": " + groupdigits(r.berlin) + std::string(" Zellen"_w));
  return kExitOk;
}
