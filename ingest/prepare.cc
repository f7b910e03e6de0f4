#include "ingest/prepare.h"

#include <algorithm>
#include <vector>

#include "ingest/csvreader.h"
#include "ingest/databasepair.h"
#include "ingest/exportreader.h"
#include "ingest/inputsource.h"
#include "ingest/queuedwriter.h"
#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

std::uint64_t preparecounts::skippedtotal() const {
  std::uint64_t n = 0;
  for (auto s : skipped) n += s;
  return n;
}

std::string skipreasontext(int reason) {
  switch (reason) {
    case kSkipMalformed: return std::string("zu wenige Felder oder mcc keine Zahl"_w);
    case kSkipNet: return std::string("net nicht in 0..65535"_w);
    case kSkipArea: return std::string("area nicht in 0..65535 (NR: 0..16777215)"_w);
    case kSkipCell: return std::string("cell nicht in 0..2147483647 (NR: 0..68719476735)"_w);
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

  databasepair pair;
  std::string pairerror;
  if (!pair.begin(options.dir, {options.waiting, options.cancelled, -1}, pairerror)) return failed(pairerror);
  result.notes = pair.notes();

  // Outputs first: a target that cannot be written fails before any work.
  atomicfile german, berlin;
  german.setbuffersize(options.outputbuffer);
  berlin.setbuffersize(options.outputbuffer);
  if (!german.create(options.dir, kGermanFile)) return failed(german.error());
  if (!berlin.create(options.dir, kBerlinFile)) return failed(berlin.error());

  inputsource in;
  if (!in.open(options.csvpath, options.gzipthread, options.inputblock)) return failed(in.error());
  in.setcancel(options.cancelled);
  csvreader csv(in, options.csvbuffer, options.maxrecord);
  if (options.cancelled) csv.setcancel(options.cancelled, options.cancelevery);

  csvcolumns columns;
  std::string headererror;
  if (!readexportheader(csv, options.csvpath, columns, headererror)) return failed(headererror);

  try {
    queuedwriter out({&german, &berlin}, std::clamp<std::size_t>(options.outputbuffer, 44, 256 << 10));
    std::string rowerror;
    bool read = readexportrows(csv, in, columns, options.progress, counts,
                               [&](const ttowerrec& rec, bool inberlinbox) {
                                 out.put(0, &rec, sizeof rec);
                                 ++counts.german;
                                 if (inberlinbox) {
                                   out.put(1, &rec, sizeof rec);
                                   ++counts.berlin;
                                 }
                               },
                               rowerror);
    if (!read) return failed(rowerror);
    if (options.cancelled && options.cancelled()) return failed(std::string("Abgebrochen"_w));
    if (counts.german == 0)
      return failed(std::string("Keine deutsche Zelle (mcc 262) in "_w) + pathtext(options.csvpath) +
                    " (" + std::to_string(counts.rows) +
                    std::string(" Zeilen gelesen): die alten Dateien bleiben unverändert"_w));
    out.finish();
    pair.finish(german, berlin);
  } catch (const IoError& e) {
    return failed(e.what());
  }
  // Both files are complete on disk; now replace the old ones.
  if (!pair.replace(german, berlin, pairerror)) return failed(pairerror);
  result.notes.insert(result.notes.end(), pair.indexnotes().begin(), pair.indexnotes().end());
  result.ok = true;
  return result;
}
