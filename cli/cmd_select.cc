// turmcli select: the cell selection dialog's selection, printed as the list.
#include "celldb/database.h"
#include "celldb/towerindex.h"
#include "cli/commands.h"
#include "export/listprint.h"
#include "cli/lookupfail.h"
#include "cli/lookupoptions.h"
#include "cli/lookupsession.h"

int cmdselect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  lookupargs a;
  std::string error;
  if (!parselookupargs(args, kOptDb | kOptKeys | kOptFormat | kOptLimit, a, error))
    return lookupfail(err, "select", error);
  return runlookup(err, "select", [&] {
    lookupsession session;
    if (!session.open(a.db, error)) return lookupfail(err, "select", error);
    noteindexuse(indexuse::none);
    session.select(a.keys);
    indexhint(err, "select", a.db);
    std::int64_t damaged = printresultlist(out, a.format, a.limit);
    return listedstatus(err, "select", limitcut(a.limit, resultcount) ? 0 : selectionleftout(), damaged);
  });
}
