#include "ingest/prepare.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <vector>

#include "ingest/csvreader.h"
#include "ingest/exportreader.h"
#include "ingest/inputsource.h"
#include "ingest/queuedwriter.h"
#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

namespace {


// Whether the pid in a temporary name ".NAME.tmp<pid>-<n>" is gone.
bool deadwriter(const std::string& entry, const std::string& prefix) {
  std::size_t i = prefix.size(), digits = 0;
  long long pid = 0;
  while (i < entry.size() && entry[i] >= '0' && entry[i] <= '9' && digits < 12) {
    pid = pid * 10 + (entry[i++] - '0');
    ++digits;
  }
  if (digits == 0 || i >= entry.size() || entry[i] != '-') return false;
  for (++i; i < entry.size(); ++i)
    if (entry[i] < '0' || entry[i] > '9') return false;
  if (pid <= 0 || pid > INT_MAX) return pid > INT_MAX;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

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

int removestaletemporaries(const std::string& dir) {
  int removed = 0;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return 0;
  const std::string prefixes[] = {std::string(".") + kGermanFile + ".tmp",
                                  std::string(".") + kBerlinFile + ".tmp"};
  std::vector<std::string> stale;
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    for (const std::string& prefix : prefixes)
      if (name.compare(0, prefix.size(), prefix) == 0 && deadwriter(name, prefix)) stale.push_back(name);
  }
  ::closedir(d);
  for (const std::string& name : stale) {
    std::string path = joinpath(dir.empty() ? "." : dir, name);
    struct stat st {};
    // Only plain files: never follow or remove anything planted under such a name.
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
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
      return failed(std::string("Keine deutsche Zelle (mcc 262) in "_w) + utf8ToW1252(options.csvpath) +
                    " (" + std::to_string(counts.rows) +
                    std::string(" Zeilen gelesen): die alten Dateien bleiben unverändert"_w));
    out.finish();
    german.finish();
    berlin.finish();
  } catch (const IoError& e) {
    return failed(e.what());
  }
  // Both files are complete on disk; now replace the old ones.
  if (!german.commit()) return failed(german.error());
  if (!berlin.commit())
    return failed(berlin.error() + std::string(" (germtowers.dat wurde schon ersetzt)"_w));
  removestaletemporaries(options.dir);
  result.ok = true;
  return result;
}
