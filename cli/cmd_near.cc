// turmcli near: the surrounding searches around a record or a position,
// with the key fields given as for select, printed as the list.
#include "celldb/database.h"
#include "celldb/towerindex.h"
#include "cli/commands.h"
#include "export/listprint.h"
#include "cli/lookupfail.h"
#include "cli/lookupoptions.h"
#include "cli/lookupsession.h"
#include "lib/support/w1252.h"
#include "query/criteria.h"
#include "query/liststate.h"
#include "query/surrounding.h"

int cmdnear(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  lookupargs a;
  std::string error;
  unsigned allowed = kOptDb | kOptKeys | kOptFormat | kOptLimit | kOptObject | kOptPosition;
  if (!parselookupargs(args, allowed, a, error)) return lookupfail(err, "near", error);
  if (!a.hasobject && !a.hasposition)
    return lookupfail(err, "near", "--object N oder --position \"BREITE,LÄNGE\" fehlt"_w);
  return runlookup(err, "near", [&] {
    lookupsession session;
    if (!session.open(a.db, error)) return lookupfail(err, "near", error);
    criteria = a.keys;
    noteindexuse(indexuse::none);
    if (a.hasobject) {
      if (!checkobjectnumber(a.object, error)) return lookupfail(err, "near", error);
      selectedobject = a.object;
      nearobject(a.object, kWantedObjects);
    } else {
      nearposition(criteria, kWantedObjects, toreal(a.lon), toreal(a.lat));
    }
    surroundingresult = true;
    indexhint(err, "near", a.db);
    std::int64_t damaged = printresultlist(out, a.format, a.limit);
    return listedstatus(err, "near", limitcut(a.limit, resultcount) ? 0 : nearleftout(a.hasobject), damaged);
  });
}
