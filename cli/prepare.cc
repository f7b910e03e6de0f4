#include "cli/prepare.h"

#include "lib/support/atomicfile.h"
#include "cli/csvreader.h"
#include "cli/inputsource.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

namespace {

constexpr std::uint64_t kProgressEvery = 4 << 20;  // CSV bytes between progress calls
constexpr std::uint64_t kCancelEvery = 4096;       // rows between cancel polls

}  // namespace

std::uint64_t preparecounts::skippedtotal() const {
  std::uint64_t n = 0;
  for (auto s : skipped) n += s;
  return n;
}

std::string skipreasontext(int reason) {
  switch (reason) {
    case kSkipMalformed: return std::string("zu wenige Felder oder mcc keine Zahl"_w);
    case kSkipNet: return std::string("net nicht in 0..65535"_w);
    case kSkipArea: return std::string("area nicht in 0..65535"_w);
    case kSkipCell: return std::string("cell nicht in 0..2147483647"_w);
    case kSkipPosition: return std::string("lon/lat keine Zahl oder außerhalb ±180/±90"_w);
    case kSkipRange: return std::string("range keine 32-Bit-Zahl"_w);
    case kSkipUnitSamples: return std::string("unit oder samples ungültig"_w);
    default: return "?";
  }
}

prepareresult preparedatabase(const prepareoptions& options) {
  prepareresult result;
  preparecounts& counts = result.counts;
  auto failed = [&](const std::string& message) {
    result.ok = false;
    result.error = message;
    return result;
  };

  // Outputs first: a target that cannot be written fails before any work.
  atomicfile german, berlin;
  if (!german.create(options.dir, kGermanFile)) return failed(german.error());
  if (!berlin.create(options.dir, kBerlinFile)) return failed(berlin.error());

  inputsource in;
  if (!in.open(options.csvpath)) return failed(in.error());
  csvreader csv(in);

  switch (csv.next()) {
    case csvreader::kRecord: break;
    case csvreader::kEnd:
      return failed(std::string("Datei "_w) + utf8ToW1252(options.csvpath) +
                    std::string(" ist leer (keine Kopfzeile)"_w));
    case csvreader::kError: return failed(csv.error());
  }
  csvcolumns columns;
  std::string missing;
  if (!findcolumns(csv.fields().data(), csv.fields().size(), columns, missing))
    return failed(std::string("Kopfzeile von "_w) + utf8ToW1252(options.csvpath) +
                  std::string(": Spalte fehlt: "_w) + missing);

  csv.setfieldlimit(columns.needed);

  prepareprogress progress;
  std::uint64_t nextprogress = kProgressEvery;
  try {
    ttowerrec rec;
    bool inberlinbox = false;
    for (;;) {
      csvreader::status st = csv.next();
      if (st == csvreader::kEnd) break;
      if (st == csvreader::kError) return failed(csv.error());
      ++counts.rows;
      const auto& f = csv.fields();
      rowverdict v = csv.broken() ? kSkipMalformed
                                  : convertrow(f.data(), f.size(), columns, rec, inberlinbox);
      if (v == kRowOk) {
        german.write(&rec, sizeof rec);
        ++counts.german;
        if (inberlinbox) {
          berlin.write(&rec, sizeof rec);
          ++counts.berlin;
        }
      } else if (v == kRowOtherCountry) {
        ++counts.othercountry;
      } else {
        ++counts.skipped[v];
      }
      if (counts.rows % kCancelEvery == 0 && options.cancelled && options.cancelled())
        return failed(std::string("Abgebrochen"_w));
      if (options.progress && csv.csvbytes() >= nextprogress) {
        nextprogress = csv.csvbytes() + kProgressEvery;
        progress.rawbytes = in.rawbytes();
        progress.filesize = in.filesize();
        progress.csvbytes = csv.csvbytes();
        progress.rows = counts.rows;
        options.progress(progress);
      }
    }
    if (options.cancelled && options.cancelled()) return failed(std::string("Abgebrochen"_w));
    german.finish();
    berlin.finish();
  } catch (const IoError& e) {
    return failed(e.what());
  }
  // Both files are complete on disk; now replace the old ones.
  if (!german.commit()) return failed(german.error());
  if (!berlin.commit())
    return failed(berlin.error() + std::string(" (germtowers.dat wurde schon ersetzt)"_w));
  result.ok = true;
  return result;
}
