// The options shared by the lookup commands (select, near, link, page)
// and their reading.  Each command names the options it accepts; any other
// argument is refused.
//
//   --db FILE              database file (default germtowers.dat)
//   --type T               Alle, GSM, UMTS, Unbekannt, LTE, CDMA or NR (any case)
//   --net N, --area A, --cell C
//                          key fields, read like the dialog's number fields
//                          (area up to 16777215 = $FFFFFF, cell up to
//                          68719476735 = $FFFFFFFFF: the keys of NR cells)
//   --format grid|csv|geojson|kml
//                          list output (default grid)
//   --limit N              at most N result rows printed (0 or more)
//   --object N             record number (DatNr; "1.234" grouping allowed)
//   --position "LAT,LON"   read like the program's position input
//   --map google|osm
//   --labels               numbered markers on the map page
//
// Messages are Windows-1252, one line, without the command name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "celldb/towerrec.h"
#include "export/listprint.h"

enum lookupoption : unsigned {
  kOptDb = 1u << 0,
  kOptKeys = 1u << 1,  // --type --net --area --cell
  kOptFormat = 1u << 2,
  kOptLimit = 1u << 3,
  kOptObject = 1u << 4,
  kOptPosition = 1u << 5,
  kOptMap = 1u << 6,
  kOptLabels = 1u << 7,
};

struct lookupargs {
  std::string db = "germtowers.dat";
  // The selection as the cell selection dialog would leave it: typecode,
  // typetext = nettypename(typecode), netid, area and cellid (their high
  // bits as setcriteriakeys keeps them); everything else 0.
  ttowerrec keys{};
  listformat format = listformat::kGrid;
  std::int64_t limit = -1;  // -1: all rows
  bool hasobject = false;
  std::int32_t object = 0;
  bool hasposition = false;
  long double lat = 0, lon = 0;
  int map = -1;  // kGoogleMaps or kOpenStreetMap once given
  bool labels = false;
};

// Reads args (UTF-8, as given on the command line) into a.  Returns false
// with the reason in error on an unknown or not allowed argument, a missing
// value, an unknown type, format or map, an unreadable or out-of-range
// number, or a position that is no "latitude,longitude" pair within
// -90..90 and -180..180.
bool parselookupargs(const std::vector<std::string>& args, unsigned allowed, lookupargs& a,
                     std::string& error);

// "Alle" .. "CDMA", "NR" (ASCII case ignored) -> 0..6; -1 for anything else.
int typecodeof(const std::string& text);
