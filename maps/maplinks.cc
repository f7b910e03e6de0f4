#include "maps/maplinks.h"

#include <cstdio>

#include "celldb/database.h"
#include "platform/shell.h"

namespace {

constexpr std::size_t kLinkCap = 255;

std::string cutto(std::string s, std::size_t cap) {
  if (s.size() > cap) s.resize(cap);
  return s;
}

}  // namespace

std::string FormatCoordinate(long double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6Lf", v);
  std::string s(buffer);
  // A value that rounds to zero carries no sign.
  if (s == "-0.000000") s = "0.000000";
  return cutto(s, 20);
}

std::string FormatCoordinatePair(long double first, long double second) {
  return cutto(FormatCoordinate(first) + "," + FormatCoordinate(second), 40);
}

std::string GoogleMapsLink(long double latitude, long double longitude) {
  return cutto("https://www.google.com/maps?q=" + FormatCoordinatePair(latitude, longitude) +
                   "&spn=" + FormatCoordinatePair(kMapHalfSpanLat, kMapHalfSpanLon) + "&t=m",
               kLinkCap);
}

std::string OpenStreetMapLink(long double longitude, long double latitude) {
  return cutto("https://www.openstreetmap.org/?minlon=" + FormatCoordinate(longitude - kMapHalfSpanLon) +
                   "&minlat=" + FormatCoordinate(latitude - kMapHalfSpanLat) +
                   "&maxlon=" + FormatCoordinate(longitude + kMapHalfSpanLon) +
                   "&maxlat=" + FormatCoordinate(latitude + kMapHalfSpanLat) +
                   "&mlat=" + FormatCoordinate(latitude) + "&mlon=" + FormatCoordinate(longitude),
               kLinkCap);
}

bool ShowOnMap(int kind, std::int32_t recno, std::string* link) {
  if (kind != kGoogleMaps && kind != kOpenStreetMap) return false;
  ttowerrec tower = readtower(recno);
  std::string text = kind == kGoogleMaps ? GoogleMapsLink(tower.latitude, tower.longitude)
                                         : OpenStreetMapLink(tower.longitude, tower.latitude);
  if (link) *link = text;
  return OpenDocument(text);
}
