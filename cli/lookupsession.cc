#include "cli/lookupsession.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "celldb/database.h"
#include "celldb/realvalue.h"
#include "celldb/towerindex.h"
#include "cli/commands.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "query/criteria.h"
#include "query/liststate.h"
#include "query/surrounding.h"

void resetlookupstate() {
  criteria = ttowerrec{};
  tolerancelon = toreal(0.2L);
  tolerancelat = toreal(0.33L);
  surroundingresult = false;
  selectedline = 0;
  selectedobject = 0;
  currentobject = 0;
}

lookupsession::lookupsession() { resetlookupstate(); }

lookupsession::~lookupsession() { closedatabase(); }

bool lookupsession::open(const std::string& file, std::string& error) {
  if (!opendatabase(file).ok) {
    error = "Datei " + pathtext(file) + std::string(" konnte nicht geöffnet werden!"_w);
    return false;
  }
  // Named in titles and messages: without its folder, never with raw
  // control bytes.
  std::size_t slash = file.find_last_of('/');
  dbfilename = pathtext(slash == std::string::npos ? file : file.substr(slash + 1));
  selectall();
  return true;
}

void lookupsession::select(const ttowerrec& keys) {
  criteria = keys;
  criteria.longitude = real{};
  criteria.latitude = real{};
  if (criteriaempty(criteria)) {
    selectall();
    return;
  }
  selectbycriteria(criteria, tolerancelon, tolerancelat);
  surroundingresult = false;
}

bool checkobjectnumber(std::int32_t object, std::string& error) {
  if (object >= 0 && object < towercount) return true;
  error = "--object " + longtostr(object) + ": " + dbfilename + " hat " + longtostr(towercount) +
          std::string(" Datensätze, also die Nummern 0 bis "_w) + longtostr(towercount - 1);
  if (towercount == 0) error = "--object " + longtostr(object) + ": " + dbfilename + " ist leer";
  return false;
}

namespace {

// Counts the records from record `from` on for which take(record) holds.
template <typename Take>
std::int64_t countfrom(std::int32_t from, Take take) {
  std::vector<ttowerrec> block(static_cast<std::size_t>(kScanBlockRecords));
  std::int64_t n = 0;
  for (std::int32_t first = from; first < towercount;) {
    std::int32_t want = towercount - first < kScanBlockRecords ? towercount - first : kScanBlockRecords;
    std::int32_t got = readtowers(first, want, block.data());
    for (std::int32_t i = 0; i < got; ++i)
      if (take(block[static_cast<std::size_t>(i)])) ++n;
    if (got < want) throwshortread(first + got);
    first += got;
  }
  return n;
}

}  // namespace

std::int64_t selectionleftout() {
  if (resultcount < kMaxResults) return 0;
  if (criteriaempty(criteria)) return static_cast<std::int64_t>(towercount) - kMaxResults;
  const ttowerrec keys = criteria;
  const real tlon = tolerancelon, tlat = tolerancelat;
  return countfrom(resultlist[static_cast<std::size_t>(kMaxResults)] + 1,
                   [&](const ttowerrec& r) { return matchwithin(r, keys, tlon, tlat); });
}

std::int64_t nearleftout(bool object) {
  if (resultcount < kMaxResults) return 0;
  // The search's windows: half-widths t, 2t, 4t ... around the centre; an
  // object search leaves out an axis whose centre is exactly 0.  Each
  // record counts in the first window that takes it; the search stopped at
  // the first window holding kWantedObjects (or at the last).
  const ttowerrec keys = criteria;
  const long double lon = toext(keys.longitude), lat = toext(keys.latitude);
  const bool testlon = !object || lon != 0.0L, testlat = !object || lat != 0.0L;
  std::array<long double, kMaxSearchPasses> t{};
  t[0] = toext(toreal(object ? 0.001L : 0.005L));
  for (int k = 1; k < kMaxSearchPasses; ++k) t[static_cast<std::size_t>(k)] = t[static_cast<std::size_t>(k - 1)] * 2;
  std::array<std::int64_t, kMaxSearchPasses> inwindow{};
  countfrom(0, [&](const ttowerrec& r) {
    if (!matchkeys(r, keys)) return false;
    long double m = 0.0L;
    if (testlon) m = std::fabs(realvalue(r.longitude) - lon);
    if (testlat) m = std::max(m, std::fabs(realvalue(r.latitude) - lat));
    for (int k = 0; k < kMaxSearchPasses; ++k) {
      if (m <= t[static_cast<std::size_t>(k)]) {
        ++inwindow[static_cast<std::size_t>(k)];
        break;
      }
    }
    return false;
  });
  std::int64_t total = 0;
  for (int k = 0; k < kMaxSearchPasses; ++k) {
    total += inwindow[static_cast<std::size_t>(k)];
    if (total >= kWantedObjects) break;
  }
  return total > kMaxResults ? total - kMaxResults : 0;
}

void indexhint(std::ostream& err, std::string_view command, const std::string& dbpath) {
  const indexuse use = lastindexuse();
  std::string what;
  if (use == indexuse::missing && towercount >= kIndexHintRecords) what = " fehlt";
  if (use == indexuse::foreign) what = std::string(" gehört nicht zum jetzigen Stand der Datei"_w);
  if (use == indexuse::damaged) what = std::string(" ist beschädigt"_w);
  if (what.empty()) return;
  std::size_t slash = dbpath.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : dbpath.substr(0, slash == 0 ? 1 : slash);
  say(err, "turmcli " + std::string(command) + ": Index " + pathtext(indexpathfor(dbpath)) + what +
               std::string("; gesucht wurde in der ganzen Datei.  Neu schreiben mit: turmcli index --dir "_w) +
               pathtext(dir));
}

int listedstatus(std::ostream& err, std::string_view command, std::int64_t leftout, std::int64_t damaged) {
  const std::string head = "turmcli " + std::string(command) + ": ";
  if (damaged > 0)
    say(err, head + groupdigits(static_cast<std::uint64_t>(damaged)) +
                 std::string(damaged == 1 ? " Eintrag"_w : " Einträge"_w) +
                 std::string(" ausgelassen: Koordinaten außerhalb von Länge -180..180 "
                             "oder Breite -90..90 (Datenbank beschädigt?)"_w));
  if (leftout > 0)
    say(err, head + groupdigits(static_cast<std::uint64_t>(leftout)) +
                 std::string(" weitere Treffer nicht aufgelistet (die Liste fasst höchstens "_w) +
                 groupdigits(kMaxResults) + ")");
  return leftout > 0 || damaged > 0 ? kExitTruncated : kExitOk;
}
