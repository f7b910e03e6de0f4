// turmcli update DIFF [--dir DIR]
#include <unistd.h>

#include <utility>

#include "celldb/database.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/progressline.h"
#include "cli/update.h"
#include "lib/support/w1252.h"

namespace {

void printsummary(std::ostream& out, const updateoptions& o, const updatecounts& c) {
  auto row = [&](std::string label, std::uint64_t n, std::string_view unit) {
    summaryrow(out, std::move(label), n, unit);
  };
  row("Gelesen", c.rows, std::string("Zeilen aus "_w) + utf8ToW1252(o.diffpath));
  row(kGermanFile, c.german, std::string("Zellen (vorher "_w) + groupdigits(c.before) + ")");
  summarycapacity(out, c.german);
  row(kBerlinFile, c.berlin, "Zellen"_w);
  row("Aktualisiert", c.updated, "Zellen (Position und Range an ihrer DatNr)"_w);
  row(std::string("Unverändert"_w), c.unchanged, "Zellen"_w);
  row("Neu", c.added, std::string("Zellen, hinten angefügt"_w));
  row("Mehrfach", c.superseded, "Zeilen (die Zelle kommt weiter unten noch einmal; die letzte gilt)"_w);
  row(std::string("Andere Länder"_w), c.othercountry, "Zeilen (mcc nicht 262)"_w);
  if (c.typereplaced > 0)
    row(std::string("Art-Text ersetzt"_w), c.typereplaced,
        "Zeilen (Steuerzeichen im Funknamen durch ? ersetzt)"_w);
  summaryskipped(out, c.skipped, c.skippedtotal());
}

}  // namespace

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
      say(err, std::string("turmcli update: unbekannte Option "_w) + utf8ToW1252(args[i]));
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
  options.cancelled = [] { return interrupted(); };
  progressline progress(err, std::chrono::seconds(1));
  if (::isatty(STDERR_FILENO))
    options.progress = [&progress](const prepareprogress& p) { progress.show(p); };

  updateresult r = updatedatabase(options);
  progress.clear();
  if (!r.ok) {
    say(err, std::string("turmcli update: "_w) + r.error);
    return kExitFailure;
  }
  printsummary(out, options, r.counts);
  return kExitOk;
}
