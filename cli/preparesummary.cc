// The summary that turmcli prepare prints (apart from the conversion, so
// that the converter links without the command table).
#include <string>
#include <utility>

#include "celldb/resultlist.h"
#include "cli/commands.h"
#include "cli/prepare.h"
#include "lib/support/w1252.h"

void summaryrow(std::ostream& out, std::string label, std::uint64_t n, std::string_view unit) {
  label += ':';
  if (label.size() < 20) label.append(20 - label.size(), ' ');
  std::string num = groupdigits(n);
  if (num.size() < 12) num.insert(0, 12 - num.size(), ' ');
  say(out, label + num + " " + std::string(unit));
}

void summarycapacity(std::ostream& out, std::uint64_t german) {
  if (german > static_cast<std::uint64_t>(kMaxResults))
    say(out, std::string(20, ' ') + std::string(12, ' ') + " " +
                 std::string("(alle in der Datei; Turmfinder listet die ersten "_w) +
                 groupdigits(static_cast<std::uint64_t>(kMaxResults)) + ")");
}

void summaryskipped(std::ostream& out, const std::uint64_t (&skipped)[kSkipReasons], std::uint64_t total) {
  summaryrow(out, std::string("Übersprungen"_w), total, "Zeilen"_w);
  for (int r = 0; r < kSkipReasons; ++r) {
    std::string num = groupdigits(skipped[r]);
    if (num.size() < 12) num.insert(0, 12 - num.size(), ' ');
    say(out, std::string(20, ' ') + num + "   " + skipreasontext(r));
  }
}

void printpreparesummary(std::ostream& out, const std::string& csvpath, const preparecounts& c) {
  auto row = [&](std::string label, std::uint64_t n, std::string_view unit) {
    summaryrow(out, std::move(label), n, unit);
  };
  row("Gelesen", c.rows, std::string("Zeilen aus "_w) + utf8ToW1252(csvpath));
  row(kGermanFile, c.german, "Zellen"_w);
  summarycapacity(out, c.german);
  row(kBerlinFile, c.berlin, "Zellen"_w);
  row(std::string("Andere Länder"_w), c.othercountry, "Zeilen (mcc nicht 262)"_w);
  if (c.typereplaced > 0)
    row(std::string("Art-Text ersetzt"_w), c.typereplaced,
        "Zellen (Steuerzeichen im Funknamen durch ? ersetzt)"_w);
  summaryskipped(out, c.skipped, c.skippedtotal());
}
