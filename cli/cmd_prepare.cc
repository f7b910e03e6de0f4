// turmcli prepare CSV [--dir DIR]
#include <unistd.h>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/prepare.h"
#include "cli/progressline.h"
#include "lib/support/w1252.h"

namespace {

void printsummary(std::ostream& out, const prepareoptions& o, const preparecounts& c) {
  auto row = [&](std::string label, std::uint64_t n, std::string_view unit) {
    label += ':';
    if (label.size() < 20) label.append(20 - label.size(), ' ');
    std::string num = groupdigits(n);
    if (num.size() < 12) num.insert(0, 12 - num.size(), ' ');
    say(out, label + num + " " + std::string(unit));
  };
  row("Gelesen", c.rows, std::string("Zeilen aus "_w) + utf8ToW1252(o.csvpath));
  row(kGermanFile, c.german, "Zellen"_w);
  row(kBerlinFile, c.berlin, "Zellen"_w);
  row(std::string("Andere Länder"_w), c.othercountry, "Zeilen (mcc nicht 262)"_w);
  row(std::string("Übersprungen"_w), c.skippedtotal(), "Zeilen"_w);
  for (int r = 0; r < kSkipReasons; ++r) {
    std::string num = groupdigits(c.skipped[r]);
    if (num.size() < 12) num.insert(0, 12 - num.size(), ' ');
    say(out, std::string(20, ' ') + num + "   " + skipreasontext(r));
  }
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
      say(err, std::string("turmcli prepare: unbekannte Option "_w) + utf8ToW1252(args[i]));
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

  interruptguard guard;
  resetinterrupted();
  options.cancelled = [] { return interrupted(); };
  progressline progress(err);
  if (::isatty(STDERR_FILENO))
    options.progress = [&progress](const prepareprogress& p) { progress.show(p); };

  prepareresult r = preparedatabase(options);
  progress.clear();
  if (!r.ok) {
    say(err, std::string("turmcli prepare: "_w) + r.error);
    return kExitFailure;
  }
  printsummary(out, options, r.counts);
  return kExitOk;
}
