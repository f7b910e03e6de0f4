// The map page: "celltowers.html", an OpenLayers 2 page with an OpenStreetMap
// base layer and one marker per object (at most 20), optionally labelled
// with the object's number.  The page is written as Windows-1252 text with
// CR LF line ends and opened in the user's browser.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "celldb/resultlist.h"
#include "lib/support/ioerror.h"
#include "lib/support/real48.h"

inline constexpr int kMapPageObjects = 20;
inline constexpr int kMapPageZoom = 12;
inline constexpr const char* kMapPageFile = "celltowers.html";
inline constexpr const char* kOpenLayersScript = "https://openlayers.org/api/OpenLayers.js";

// Centre of the last map page (object 0 of the page).
extern real mapcentrelon;
extern real mapcentrelat;

struct MapExtentResult {
  long double centrelon = 0, centrelat = 0;  // (largest + smallest) / 2
  long double halflon = 0, halflat = 0;      // (largest - smallest) / 2
};

// Extent of the records resultlist[1..n] (reads each record once; throws
// IoError on a read failure).  With n = 0 the start values remain:
// centre 0, 0 and half extents -100.
MapExtentResult MapExtent(int n, const ResultList& list);

// Object number 0..n -> (longitude, latitude) in degrees.
using PositionSource = std::function<std::pair<long double, long double>(int)>;

// The page's lines, without line ends.
std::vector<std::string> MapPageLines(const std::string& title, bool labels, int n, int zoom,
                                      const PositionSource& position);

// A write of the map page that failed after it was begun ("Schreibfehler
// in <file>: <system's reason>"); the old page is still in place.
class MapPageWriteError : public IoError {
 public:
  using IoError::IoError;
};

// Writes the page under a new temporary name in the folder of `filename`
// and renames it over the old page when complete, so that a failure never
// leaves a half page: the old one stays as it was.  Returns false (and
// writes nothing) when the temporary file cannot be created (`reason`,
// when given, then holds the system's text); throws MapPageWriteError
// when a write or the rename fails after that.
bool WriteMapPage(const std::string& filename, const std::string& title, bool labels, int n,
                  int zoom, const PositionSource& position, std::string* reason = nullptr);

// How the map command went, beyond whether the page was written.
struct MapPageOutcome {
  bool opened = false;  // the desktop took the page
  std::string reason;   // why the page could not be created
};

// The command: the first min(count, 20) entries of the result list on the
// page (with the notice "Es werden nur die ersten 20 Objekte gezeigt" when
// there are more), centre and half extents stored in mapcentrelon/lat and
// tolerancelon/lat, then the page is opened.  With an empty list nothing is
// written or opened and the tolerances stay.  Returns whether the page was
// written; `outcome` (when given) tells whether it was opened, or why it
// could not be created.
bool ShowObjectsOnMapPage(int count, bool labels, MapPageOutcome* outcome = nullptr);
