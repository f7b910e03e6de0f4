// turmcli index [--dir DIR]: writes the index beside germtowers.dat and
// berlintowers.dat in DIR anew, under the folder's lock like prepare.
#include "celldb/towerindex.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "ingest/databasepair.h"
#include "ingest/prepare.h"
#include "lib/support/atomicfile.h"
#include "lib/support/w1252.h"

int cmdindex(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const clicommand& self = *findcommand("index");
  std::string dir = ".";
  for (std::size_t i = 0; i < args.size();) {
    std::string value;
    bool missing = false;
    if (optionvalue(args, i, "--dir", value, missing)) {
      if (missing || value.empty()) {
        say(err, "turmcli index: --dir braucht ein Verzeichnis"_w);
        return kExitFailure;
      }
      dir = value;
      continue;
    }
    say(err, std::string("turmcli index: unbekanntes Argument "_w) + pathtext(args[i]));
    printcommandusage(self, err);
    return kExitFailure;
  }
  interruptguard guard;
  resetinterrupted();
  databasepair pair;
  std::string error;
  if (!pair.begin(dir, terminalwaiting(err, dir), error)) {
    say(err, std::string("turmcli index: "_w) + error);
    return kExitFailure;
  }
  for (const std::string& note : pair.notes()) say(err, std::string("turmcli index: "_w) + note);
  std::vector<std::string> done = pair.writeindexes();
  for (const std::string& note : pair.indexnotes()) say(err, std::string("turmcli index: "_w) + note);
  for (const std::string& name : done) say(out, pathtext(indexpathfor(name)) + std::string(" geschrieben"_w));
  if (done.empty() && pair.indexnotes().empty()) {
    say(err, std::string("turmcli index: weder "_w) + kGermanFile + " noch " + kBerlinFile + " in " +
                 pathtext(dir));
    return kExitFailure;
  }
  return pair.indexnotes().empty() ? kExitOk : kExitFailure;
}
