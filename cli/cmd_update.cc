// turmcli update DIFF [--dir DIR]
#include <unistd.h>

#include "celldb/database.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/progressline.h"
#include "ingest/summary.h"
#include "ingest/update.h"
#include "lib/support/w1252.h"

int cmdupdate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const clicommand& self = *findcommand("update");
  updateoptions options;
  bool havediff = false;
  for (std::size_t i = 0; i < args.size();) {
    std::string value;
    bool missing = false;
    if (optionvalue(args, i, "--dir", value, missing)) {
      if (missing || value.empty()) {
        say(err, "turmcli update: --dir braucht ein Verzeichnis"_w);
        return kExitFailure;
      }
      options.dir = value;
      continue;
    }
    if (args[i].size() > 1 && args[i][0] == '-') {
      say(err, std::string("turmcli update: unbekannte Option "_w) + pathtext(args[i]));
      printcommandusage(self, err);
      return kExitFailure;
    }
    if (havediff) {
      say(err, "turmcli update: nur eine Diff-Datei angeben"_w);
      printcommandusage(self, err);
      return kExitFailure;
    }
    options.diffpath = args[i++];
    havediff = true;
  }
  if (!havediff) {
    say(err, "turmcli update: Diff-Datei fehlt"_w);
    printcommandusage(self, err);
    return kExitFailure;
  }

  interruptguard guard;
  resetinterrupted();
  lockwaiting how = terminalwaiting(err, options.dir);
  options.cancelled = how.cancelled;
  options.waiting = how.waiting;
  progressline progress(err, std::chrono::seconds(1));
  if (::isatty(STDERR_FILENO))
    options.progress = [&progress](const prepareprogress& p) { progress.show(p); };

  updateresult r = updatedatabase(options);
  progress.clear();
  for (const std::string& note : r.notes) say(err, std::string("turmcli update: "_w) + note);
  if (!r.ok) {
    say(err, std::string("turmcli update: "_w) + r.error);
    return kExitFailure;
  }
  for (const std::string& line : updatesummary(options.diffpath, r.counts)) say(out, line);
  return kExitOk;
}
