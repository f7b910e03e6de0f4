// Web-map links for one tower and showing them in the browser.
//
// Coordinates are degrees (longitude east, latitude north positive),
// formatted with exactly six decimals, rounded to nearest.  The links are
//   https://www.google.com/maps?q=<lat>,<lon>&spn=0.010000,0.005000&t=m
//   https://www.openstreetmap.org/?minlon=..&minlat=..&maxlon=..&maxlat=..
//       &mlat=<lat>&mlon=<lon>
// with a box of +-0.005 degrees longitude and +-0.01 degrees latitude
// around the position, cut to 255 bytes.
#pragma once

#include <cstdint>
#include <string>

#include "lib/support/real48.h"

inline constexpr long double kMapHalfSpanLon = 0.005L;
inline constexpr long double kMapHalfSpanLat = 0.01L;

enum MapKind : int { kGoogleMaps = 0, kOpenStreetMap = 1 };

// Fixed point, six decimals, leading "-" for values below -0.0000005, no
// blanks; cut to 20 bytes.  52.497973 -> "52.497973", -0.5 -> "-0.500000".
std::string FormatCoordinate(long double v);
inline std::string FormatCoordinate(real v) { return FormatCoordinate(toext(v)); }

// FormatCoordinate(first) + "," + FormatCoordinate(second), cut to 40 bytes.
std::string FormatCoordinatePair(long double first, long double second);

std::string GoogleMapsLink(long double latitude, long double longitude);
inline std::string GoogleMapsLink(real latitude, real longitude) {
  return GoogleMapsLink(toext(latitude), toext(longitude));
}
std::string OpenStreetMapLink(long double longitude, long double latitude);
inline std::string OpenStreetMapLink(real longitude, real latitude) {
  return OpenStreetMapLink(toext(longitude), toext(latitude));
}

// Reads tower `recno` of the open database and opens its link (kind 0
// Google Maps, 1 OpenStreetMap; other kinds do nothing and give false)
// with OpenDocument.  Returns whether the desktop took the link; `link`
// (when given) receives it, so that a caller can show it when no browser
// could be started.  Throws IoError when the record can't be read (no
// database open, number beyond the end).
bool ShowOnMap(int kind, std::int32_t recno, std::string* link = nullptr);
