// turmcli link: the Google Maps or OpenStreetMap link of a record or of a
// position (a position needs no database).
#include "celldb/database.h"
#include "cli/commands.h"
#include "cli/lookupfail.h"
#include "cli/lookupoptions.h"
#include "cli/lookupsession.h"
#include "lib/support/w1252.h"
#include "maps/maplinks.h"

int cmdlink(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  lookupargs a;
  std::string error;
  if (!parselookupargs(args, kOptDb | kOptObject | kOptPosition | kOptMap, a, error))
    return lookupfail(err, "link", error);
  if (!a.hasobject && !a.hasposition)
    return lookupfail(err, "link", "--object N oder --position \"BREITE,LÄNGE\" fehlt"_w);
  if (a.map < 0) return lookupfail(err, "link", "--map google oder --map osm fehlt");
  if (a.hasposition) {
    say(out, a.map == kGoogleMaps ? GoogleMapsLink(a.lat, a.lon) : OpenStreetMapLink(a.lon, a.lat));
    return kExitOk;
  }
  return runlookup(err, "link", [&] {
    lookupsession session;
    if (!session.open(a.db, error)) return lookupfail(err, "link", error);
    if (!checkobjectnumber(a.object, error)) return lookupfail(err, "link", error);
    ttowerrec r = readtower(a.object);
    say(out, a.map == kGoogleMaps ? GoogleMapsLink(r.latitude, r.longitude)
                                  : OpenStreetMapLink(r.longitude, r.latitude));
    return kExitOk;
  });
}
