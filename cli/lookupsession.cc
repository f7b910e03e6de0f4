#include "cli/lookupsession.h"

#include "celldb/database.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "query/criteria.h"
#include "query/liststate.h"

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
    error = "Datei " + utf8ToW1252(file) + std::string(" konnte nicht geöffnet werden!"_w);
    return false;
  }
  std::size_t slash = file.find_last_of('/');
  if (slash != std::string::npos) dbfilename = file.substr(slash + 1);
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
