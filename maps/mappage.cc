#include "maps/mappage.h"

#include "celldb/database.h"
#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/messages.h"
#include "lib/support/w1252.h"
#include "maps/maplinks.h"
#include "platform/shell.h"
#include "query/criteria.h"
#include "query/listrows.h"

real mapcentrelon;
real mapcentrelat;

MapExtentResult MapExtent(int n, const ResultList& list) {
  long double maxlon = -100, maxlat = -100, minlon = 100, minlat = 100;
  for (int i = 1; i <= n; ++i) {
    ttowerrec r = readtower(list[i]);
    long double lon = toext(r.longitude), lat = toext(r.latitude);
    if (lon > maxlon) maxlon = lon;
    if (lon < minlon) minlon = lon;
    if (lat > maxlat) maxlat = lat;
    if (lat < minlat) minlat = lat;
  }
  MapExtentResult e;
  e.centrelon = (maxlon + minlon) / 2;
  e.centrelat = (maxlat + minlat) / 2;
  e.halflon = (maxlon - minlon) / 2;
  e.halflat = (maxlat - minlat) / 2;
  return e;
}

std::vector<std::string> MapPageLines(const std::string& title, bool labels, int n, int zoom,
                                      const PositionSource& position) {
  std::vector<std::string> l;
  l.push_back(R"(<html xmlns:v="urn:schemas-microsoft-com:vml" xmlns="http://www.w3.org/TR/REC-html40">)");
  l.push_back("<head>");
  l.push_back(R"(<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">)");
  l.push_back(R"(<meta http-equiv="Content-Language" content="de">)");
  l.push_back("<title>" + title + "</title>");
  l.push_back("</head>");
  l.push_back("<body lang=DE>");
  l.push_back("<html><body>");
  l.push_back(R"(<div id="mapdiv"></div>)");
  l.push_back(std::string("<script src=\"") + kOpenLayersScript + "\"></script>");
  l.push_back("<script>");
  l.push_back(R"(map = new OpenLayers.Map("mapdiv");)");
  l.push_back("map.addLayer(new OpenLayers.Layer.OSM());");
  l.push_back(R"(var fromProjection = new OpenLayers.Projection("EPSG:4326");)");
  l.push_back("var toProjection = map.getProjectionObject()");
  l.push_back(R"(var markers = new OpenLayers.Layer.Markers( "Markers");)");
  l.push_back("map.addLayer(markers);");
  if (labels) {
    l.push_back("var popsi1 = new OpenLayers.Size(200,50);");
    l.push_back("var popsi2 = new OpenLayers.Size(20,20);");
  }
  for (int i = 0; i <= n; ++i) {
    auto [lon, lat] = position(i);
    std::string pair = FormatCoordinatePair(lon, lat);
    if (i == 0) l.push_back("var lonLatx = new OpenLayers.LonLat(" + pair + ")");
    l.push_back("var lonLat" + std::to_string(i) + " = new OpenLayers.LonLat(" + pair +
                ").transform(fromProjection,toProjection);");
  }
  l.push_back("var zoom=" + std::to_string(zoom) + ";");
  l.push_back("map.setCenter(lonLat0, zoom);");
  if (labels) {
    for (int i = 1; i <= n; ++i) {
      std::string k = std::to_string(i);
      l.push_back("popa" + k + "= new OpenLayers.Popup(\"a" + k + "\",lonLat" + k + ",popsi2,\"" + k +
                  "\",false);");
      l.push_back("map.addPopup(popa" + k + ");");
    }
  }
  for (int i = 1; i <= n; ++i)
    l.push_back("markers.addMarker(new OpenLayers.Marker(lonLat" + std::to_string(i) + "));");
  l.push_back("</script>");
  l.push_back("</body>");
  l.push_back("</html>");
  return l;
}

bool WriteMapPage(const std::string& filename, const std::string& title, bool labels, int n,
                  int zoom, const PositionSource& position, std::string* reason) {
  // Build every line first: a record that cannot be read must not leave a
  // half-written page behind.
  std::vector<std::string> lines = MapPageLines(title, labels, n, zoom, position);
  atomicfile page;
  page.setbuffersize(64 * 1024);  // a page of 20 objects is a few kilobytes
  if (!page.create(filename)) {
    if (reason) *reason = systemreason(page.errorcode());
    return false;
  }
  try {
    for (const std::string& line : lines) {
      page.write(line.data(), line.size());
      page.write("\r\n", 2);
    }
    page.finish();
  } catch (const IoError& e) {
    throw MapPageWriteError(e.code(), "Schreibfehler in " + filename + ": " + systemreason(e.code()));
  }
  if (!page.commit())
    throw MapPageWriteError(page.errorcode(), "Schreibfehler in " + filename + ": " +
                                                  systemreason(page.errorcode()));
  return true;
}

bool ShowObjectsOnMapPage(int count, bool labels, MapPageOutcome* outcome) {
  if (outcome) *outcome = MapPageOutcome{};
  if (count <= 0) return false;
  std::string title = selectiontitle(criteria, 255);
  int n = count;
  if (n > kMapPageObjects) {
    n = kMapPageObjects;
    infomessage("Es werden nur die ersten 20 Objekte gezeigt");
  }
  MapExtentResult e = MapExtent(n, resultlist);
  mapcentrelon = toreal(e.centrelon);
  mapcentrelat = toreal(e.centrelat);
  tolerancelon = toreal(e.halflon);
  tolerancelat = toreal(e.halflat);
  PositionSource position = [](int i) -> std::pair<long double, long double> {
    if (i == 0) return {toext(mapcentrelon), toext(mapcentrelat)};
    ttowerrec r = readtower(resultlist[i]);
    return {toext(r.longitude), toext(r.latitude)};
  };
  std::string reason;
  if (!WriteMapPage(kMapPageFile, title, labels, n, kMapPageZoom, position, &reason)) {
    if (outcome) outcome->reason = reason;
    return false;
  }
  bool opened = OpenDocument(kMapPageFile);
  if (outcome) outcome->opened = opened;
  return true;
}
