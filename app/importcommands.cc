// The import commands of the main window and the launcher's import way.
#include "app/importcommands.h"

#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/core/workfolder.h"
#include "app/taw.h"
#include "celldb/database.h"
#include "celldb/resultlist.h"
#include "lib/support/messages.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "platform/filedialog.h"
#include "query/criteria.h"
#include "query/liststate.h"

namespace {

// A notice holds at most this many bytes.
constexpr std::size_t kNoticeBytes = 255;
// The input's name in the summary keeps its end beyond this.
constexpr std::size_t kNameBytes = 40;

std::string shortname(const std::string& name) {
  if (name.size() <= kNameBytes) return name;
  return "..." + name.substr(name.size() - (kNameBytes - 3));
}

// The name of a skip reason in a notice ("Zell-ID").
std::string shortreason(int reason) {
  switch (reason) {
    case kSkipMalformed: return "Felder";
    case kSkipNet: return "Netz";
    case kSkipArea: return "Area";
    case kSkipCell: return "Zell-ID";
    case kSkipPosition: return "Position";
    case kSkipRange: return "Range";
    case kSkipUnitSamples: return "unit/samples";
    default: return skipreasontext(reason);
  }
}

std::string countline(const std::string& label, std::uint64_t n, const std::string& unit) {
  return label + ": " + groupdigits(n) + " " + unit;
}

// "Übersprungen: 12 Zeilen (Zell-ID 10, Area 2)"; the reasons in
// brackets only when `why`.
std::string skippedline(const std::uint64_t (&skipped)[kSkipReasons], std::uint64_t total, bool why) {
  std::string line = countline(std::string("Übersprungen"_w), total, "Zeilen");
  if (!why || total == 0) return line;
  std::string reasons;
  for (int r = 0; r < kSkipReasons; ++r)
    if (skipped[r] > 0) reasons += (reasons.empty() ? "" : ", ") + shortreason(r) + " " + groupdigits(skipped[r]);
  return line + " (" + reasons + ")";
}

const std::string& unchangedpair() {
  static const std::string s = "germtowers.dat und berlintowers.dat bleiben, wie sie waren.";
  return s;
}

std::string nodatabasetext() {
  return "Im Arbeitsordner " + pathtext(workingfolder()) +
         std::string(" gibt es noch keine germtowers.dat. Bitte zuerst „Daten » Export einlesen…“ "
                     "wählen; ein Tages-Diff ergänzt eine vorhandene Datenbank."_w);
}

}  // namespace

std::string importsummary(importkind kind, const std::string& name, const importoutcome& o) {
  const bool diff = kind == importkind::dailydiff;
  const std::uint64_t german = diff ? o.updated.german : o.prepared.german;
  // Each line with the rank in which it goes when the notice would be too
  // long (0: never); the reasons of the skips go first of all.
  struct line {
    std::string text;
    int rank = 0;
  };
  std::vector<line> lines;
  lines.push_back({diff ? "Tages-Diff " + shortname(name) + " eingespielt:" : "Export " + shortname(name) + " eingelesen:"});
  if (diff) {
    const updatecounts& c = o.updated;
    lines.push_back({countline("Gelesen", c.rows, "Zeilen")});
    lines.push_back({"Aktualisiert: " + groupdigits(c.updated) + ", neu: " + groupdigits(c.added) +
                     std::string(", unverändert: "_w) + groupdigits(c.unchanged) + " Zellen"});
    lines.push_back({countline(kGermanFile, c.german, "Zellen (vorher " + groupdigits(c.before) + ")")});
  } else {
    lines.push_back({countline("Gelesen", o.prepared.rows, "Zeilen")});
    lines.push_back({countline(kGermanFile, german, "Zellen")});
  }
  if (german > static_cast<std::uint64_t>(kMaxResults))
    lines.push_back({"(Turmfinder listet die ersten " + groupdigits(static_cast<std::uint64_t>(kMaxResults)) + ")", 2});
  lines.push_back({countline(kBerlinFile, diff ? o.updated.berlin : o.prepared.berlin, "Zellen")});
  const std::uint64_t others = diff ? o.updated.othercountry : o.prepared.othercountry;
  lines.push_back({countline(std::string("Andere Länder"_w), others, "Zeilen"), others == 0 ? 3 : 4});
  if (diff && o.updated.superseded > 0)
    lines.push_back({countline("Mehrfach", o.updated.superseded, "Zeilen (die letzte gilt)"), 4});
  const auto& skipped = diff ? o.updated.skipped : o.prepared.skipped;
  const std::uint64_t total = diff ? o.updated.skippedtotal() : o.prepared.skippedtotal();
  const std::size_t skipat = lines.size();
  lines.push_back({skippedline(skipped, total, true)});
  for (const std::string& note : o.notes) lines.push_back({note + ".", 1});

  auto text = [&lines] {
    std::string t;
    for (const line& l : lines) t += (t.empty() ? "" : "\n") + l.text;
    return t;
  };
  if (text().size() > kNoticeBytes) lines[skipat].text = skippedline(skipped, total, false);
  for (int rank = 1; rank <= 4 && text().size() > kNoticeBytes; ++rank)
    std::erase_if(lines, [rank](const line& l) { return l.rank == rank; });
  // Last of all the file's name, which the user has just chosen.
  if (text().size() > kNoticeBytes) lines[0].text = diff ? "Tages-Diff eingespielt:" : "Export eingelesen:";
  return text();
}

importreport importbydialog(QWidget* window, importkind kind) {
  importreport report;
  const bool diff = kind == importkind::dailydiff;
  const std::string folder = workingfolder();
  if (diff && !std::filesystem::exists(std::filesystem::path(folder) / kGermanFile)) {
    infomessage(nodatabasetext());
    return report;
  }
  std::optional<std::string> path = filedialog().openfile(
      diff ? std::string("Tages-Diff einspielen") : std::string("Export einlesen"), folder,
      {{diff ? std::string("OpenCelliD-Tages-Diff") : std::string("OpenCelliD-Export"), "*.csv *.csv.gz"},
       {"Alle Dateien", "*"}});
  if (!path || path->empty()) return report;
  const std::string name = pathtext(std::filesystem::path(*path).filename().string());
  // OpenCelliD names its daily diffs "OCID-diff-cell-export-…": read as a
  // whole export, one would replace the database with a day's cells.
  std::string lower = name;
  for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (!diff && lower.find("diff") != std::string::npos &&
      std::filesystem::exists(std::filesystem::path(folder) / kGermanFile) &&
      !askyesno(name + std::string(" sieht nach einem Tages-Diff aus. Als ganzer Export eingelesen, ersetzt er "
                                   "die Datenbank durch die Zellen eines Tages (dafür ist „Tages-Diff "
                                   "einspielen…“ da). Trotzdem einlesen?"_w)))
    return report;
  importoutcome outcome = runimport(window, kind, *path, ".");
  if (outcome.ok) {
    report.written = true;
    report.summary = importsummary(kind, name, outcome);
  } else if (outcome.nodatabase) {
    infomessage(nodatabasetext());
  } else if (outcome.cancelled) {
    infomessage((diff ? std::string("Einspielen abgebrochen: ") : std::string("Einlesen abgebrochen: ")) +
                unchangedpair());
  } else {
    errormessage((diff ? "Der Tages-Diff " + name + " konnte nicht eingespielt werden:\n"
                       : "Der Export " + name + " konnte nicht eingelesen werden:\n") +
                 (outcome.error.empty() ? std::string("unbekannter Fehler") : outcome.error) + "\n" +
                 unchangedpair());
  }
  return report;
}

wayin importway() {
  wayin w;
  w.caption = "&Export einlesen…"_w;
  w.detail = std::string("Export einlesen: die echten Zellen aus einer OpenCelliD-Datei (.csv, .csv.gz)"_w);
  w.objectname = "way_import";
  w.offeragain = true;
  w.run = [](QWidget* window) {
    importreport r = importbydialog(window, importkind::wholeexport);
    if (r.written) infomessage(r.summary);
    return r.written;
  };
  return w;
}

void TAW::importcommand(int tag) {
  importreport r = importbydialog(this, tag == 66 ? importkind::dailydiff : importkind::wholeexport);
  if (!r.written) return;
  // Both files were replaced by a rename: the open one is opened anew,
  // its whole list with nothing selected, as after a replacement beside
  // the window.
  if (databaseopen() && followreplaceddatabase()) {
    replacednotice_.clear();
  } else {
    OpenResult o = opendatabase(dbfilename);
    if (!o.ok) {
      infomessage(r.summary);
      infomessage("Datei " + dbfilename + std::string(" konnte nicht geöffnet werden!"_w));
      invalidate();
      return;
    }
    towercount = o.total;
    selectall();
    databasefailed = false;
    forgetselection();
    criteria = ttowerrec{};
    surroundingresult = false;
  }
  // The new list in view.
  if (displaymode() == 1) {
    runcommand(51);
  } else {
    setlistrange();
    invalidate();
  }
  infomessage(r.summary);
}
