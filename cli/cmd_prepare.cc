// turmcli prepare CSV [--dir DIR]
#include <chrono>
#include <cstdio>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/prepare.h"
#include "lib/support/w1252.h"

namespace {

// Progress on a terminal: one line, rewritten at most four times a second.
class progressline {
 public:
  explicit progressline(std::ostream& err) : err_(err), start_(clock::now()), last_(start_) {}

  void show(const prepareprogress& p) {
    auto now = clock::now();
    if (now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    double seconds = std::chrono::duration<double>(now - start_).count();
    double mb = static_cast<double>(p.csvbytes) / 1e6;
    char line[160];
    if (p.filesize > 0) {
      std::snprintf(line, sizeof line, "\r%5.1f %%  %.0f MB CSV, %s Zeilen, %.0f MB/s   ",
                    100.0 * static_cast<double>(p.rawbytes) / static_cast<double>(p.filesize),
                    mb, groupdigits(p.rows).c_str(), seconds > 0 ? mb / seconds : 0.0);
    } else {
      std::snprintf(line, sizeof line, "\r%.0f MB CSV, %s Zeilen, %.0f MB/s   ", mb,
                    groupdigits(p.rows).c_str(), seconds > 0 ? mb / seconds : 0.0);
    }
    err_ << line << std::flush;
    shown_ = true;
  }

  void clear() {
    if (shown_) err_ << "\r" << std::string(78, ' ') << "\r" << std::flush;
    shown_ = false;
  }

 private:
  using clock = std::chrono::steady_clock;
  std::ostream& err_;
  clock::time_point start_, last_;
  bool shown_ = false;
};

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
