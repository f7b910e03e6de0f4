// turmcli prepare CSV [--dir DIR]: DIR is created when it does not exist yet.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "ingest/prepare.h"
#include "ingest/summary.h"
#include "cli/progressline.h"
#include "lib/support/w1252.h"

namespace {

// Creates dir and the folders above it that are missing; returns the
// folders it made, innermost first, so that a failed run can take them
// away again.  A path that exists is left alone (prepare then says what is
// wrong with it).
std::vector<std::string> makefolders(const std::string& dir, std::string& error) {
  std::vector<std::string> made;
  std::error_code ec;
  std::filesystem::path p(dir);
  if (std::filesystem::exists(p, ec)) return made;
  for (std::filesystem::path q = p; !q.empty() && !std::filesystem::exists(q, ec); q = q.parent_path()) {
    made.push_back(q.string());
    if (q == q.parent_path()) break;
  }
  std::filesystem::create_directories(p, ec);
  if (ec) {
    error = std::string("Verzeichnis "_w) + pathtext(dir) +
            std::string(" kann nicht angelegt werden: "_w) + utf8ToW1252(ec.message());
    for (const std::string& f : made) ::rmdir(f.c_str());
    made.clear();
  }
  return made;
}

}  // namespace

int cmdprepare(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const clicommand& self = *findcommand("prepare");
  prepareoptions options;
  bool havecsv = false;
  for (std::size_t i = 0; i < args.size();) {
    std::string value;
    bool missing = false;
    if (optionvalue(args, i, "--dir", value, missing)) {
      if (missing || value.empty()) {
        say(err, "turmcli prepare: --dir braucht ein Verzeichnis"_w);
        return kExitFailure;
      }
      options.dir = value;
      continue;
    }
    if (args[i].size() > 1 && args[i][0] == '-') {
      say(err, std::string("turmcli prepare: unbekannte Option "_w) + pathtext(args[i]));
      printcommandusage(self, err);
      return kExitFailure;
    }
    if (havecsv) {
      say(err, "turmcli prepare: nur eine CSV-Datei angeben"_w);
      printcommandusage(self, err);
      return kExitFailure;
    }
    options.csvpath = args[i++];
    havecsv = true;
  }
  if (!havecsv) {
    say(err, "turmcli prepare: CSV-Datei fehlt"_w);
    printcommandusage(self, err);
    return kExitFailure;
  }

  std::string folderror;
  std::vector<std::string> madefolders = makefolders(options.dir, folderror);
  if (!folderror.empty()) {
    say(err, std::string("turmcli prepare: "_w) + folderror);
    return kExitFailure;
  }

  interruptguard guard;
  resetinterrupted();
  lockwaiting how = terminalwaiting(err, options.dir);
  options.cancelled = how.cancelled;
  options.waiting = how.waiting;
  progressline progress(err);
  if (::isatty(STDERR_FILENO))
    options.progress = [&progress](const prepareprogress& p) { progress.show(p); };

  prepareresult r = preparedatabase(options);
  progress.clear();
  for (const std::string& note : r.notes) say(err, std::string("turmcli prepare: "_w) + note);
  if (!r.ok) {
    // A folder made for this run goes again, with the lock file the run
    // put there (nobody else knew the folder yet).
    if (!madefolders.empty()) ::unlink((options.dir + "/" + kLockFile).c_str());
    for (const std::string& f : madefolders) ::rmdir(f.c_str());  // only while empty
    say(err, std::string("turmcli prepare: "_w) + r.error);
    return kExitFailure;
  }
  for (const std::string& line : preparesummary(options.csvpath, r.counts)) say(out, line);
  return kExitOk;
}
