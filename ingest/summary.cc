#include "ingest/summary.h"

#include <cstdint>
#include <string_view>
#include <utility>

#include "celldb/resultlist.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"

namespace {

std::string rightaligned(std::uint64_t n) {
  std::string num = groupdigits(n);
  if (num.size() < 12) num.insert(0, 12 - num.size(), ' ');
  return num;
}

class summary {
 public:
  void row(std::string label, std::uint64_t n, std::string_view unit) {
    label += ':';
    if (label.size() < 20) label.append(20 - label.size(), ' ');
    lines_.push_back(label + rightaligned(n) + " " + std::string(unit));
  }

  // The note under the germtowers.dat line.
  void capacity(std::uint64_t german) {
    if (german > static_cast<std::uint64_t>(kMaxResults))
      lines_.push_back(std::string(33, ' ') +
                       std::string("(alle in der Datei; Turmfinder listet die ersten "_w) +
                       groupdigits(static_cast<std::uint64_t>(kMaxResults)) + ")");
  }

  void skipped(const std::uint64_t (&skipped)[kSkipReasons], std::uint64_t total) {
    row(std::string("Übersprungen"_w), total, "Zeilen"_w);
    for (int r = 0; r < kSkipReasons; ++r)
      lines_.push_back(std::string(20, ' ') + rightaligned(skipped[r]) + "   " + skipreasontext(r));
  }

  std::vector<std::string> take() { return std::move(lines_); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace

std::vector<std::string> preparesummary(const std::string& csvpath, const preparecounts& c) {
  summary s;
  s.row("Gelesen", c.rows, std::string("Zeilen aus "_w) + pathtext(csvpath));
  s.row(kGermanFile, c.german, "Zellen"_w);
  s.capacity(c.german);
  s.row(kBerlinFile, c.berlin, "Zellen"_w);
  s.row(std::string("Andere Länder"_w), c.othercountry, "Zeilen (mcc nicht 262)"_w);
  if (c.typereplaced > 0)
    s.row(std::string("Art-Text ersetzt"_w), c.typereplaced,
          "Zellen (Steuerzeichen im Funknamen durch ? ersetzt)"_w);
  s.skipped(c.skipped, c.skippedtotal());
  return s.take();
}

std::vector<std::string> updatesummary(const std::string& diffpath, const updatecounts& c) {
  summary s;
  s.row("Gelesen", c.rows, std::string("Zeilen aus "_w) + pathtext(diffpath));
  s.row(kGermanFile, c.german, std::string("Zellen (vorher "_w) + groupdigits(c.before) + ")");
  s.capacity(c.german);
  s.row(kBerlinFile, c.berlin, "Zellen"_w);
  s.row("Aktualisiert", c.updated, "Zellen (Position und Range an ihrer DatNr)"_w);
  s.row(std::string("Unverändert"_w), c.unchanged, "Zellen"_w);
  s.row("Neu", c.added, std::string("Zellen, hinten angefügt"_w));
  s.row("Mehrfach", c.superseded, "Zeilen (die Zelle kommt weiter unten noch einmal; die letzte gilt)"_w);
  s.row(std::string("Andere Länder"_w), c.othercountry, "Zeilen (mcc nicht 262)"_w);
  if (c.typereplaced > 0)
    s.row(std::string("Art-Text ersetzt"_w), c.typereplaced,
          "Zeilen (Steuerzeichen im Funknamen durch ? ersetzt)"_w);
  s.skipped(c.skipped, c.skippedtotal());
  return s.take();
}
