#include "cli/lookupoptions.h"

#include <cctype>

#include "app/core/positioninput.h"
#include "celldb/database.h"
#include "cli/commands.h"
#include "cli/numberfield.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "maps/maplinks.h"

namespace {

bool sameletters(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// "1.234.567" as the list shows record numbers -> "1234567"; any other
// text stays as it is.
std::string ungrouped(const std::string& t) {
  if (t.find('.') == std::string::npos) return t;
  std::string digits;
  std::size_t group = 0;  // digits in the current group
  bool first = true;
  for (char c : t) {
    if (c == '.') {
      if (first ? (group == 0 || group > 3) : group != 3) return t;
      first = false;
      group = 0;
    } else if (c >= '0' && c <= '9') {
      digits += c;
      ++group;
    } else {
      return t;
    }
  }
  return group == 3 ? digits : t;
}

}  // namespace

int typecodeof(const std::string& text) {
  for (int code = 0; code <= kLastTypeCode; ++code)
    if (sameletters(text, nettypename(code))) return code;
  return -1;
}

bool parselookupargs(const std::vector<std::string>& args, unsigned allowed, lookupargs& a,
                     std::string& error) {
  // Reads the number of option `name` into value.
  auto number = [&](const char* name, const std::string& text, std::int32_t minimum,
                    std::int32_t maximum, std::int32_t& value) {
    numberstatus st = readnumberfield(text, minimum, maximum, value);
    if (st == numberstatus::kOk) return true;
    error = numberfielderror(name, pathtext(text), st, minimum, maximum);
    return false;
  };
  // Reads a wide key (area, cell id) of option `name`.
  auto widenumber = [&](const char* name, const std::string& text, std::uint64_t maximum,
                        std::uint64_t& value) {
    numberstatus st = readwidefield(text, maximum, value);
    if (st == numberstatus::kOk) return true;
    error = widefielderror(name, pathtext(text), st, maximum);
    return false;
  };
  int typecode = 0;
  std::int32_t netid = 0;
  std::uint64_t area = 0, cellid = 0;
  for (std::size_t i = 0; i < args.size();) {
    std::string value;
    bool missing = false;
    auto option = [&](unsigned flag, const char* name) {
      if (!(allowed & flag)) return false;
      if (!optionvalue(args, i, name, value, missing)) return false;
      if (missing) error = std::string(name) + " braucht einen Wert";
      return true;
    };
    if (option(kOptDb, "--db")) {
      if (missing) return false;
      if (value.empty()) {
        error = "--db braucht einen Dateinamen";
        return false;
      }
      a.db = value;
    } else if (option(kOptKeys, "--type")) {
      if (missing) return false;
      typecode = typecodeof(value);
      if (typecode < 0) {
        error = "--type: unbekannte Netzart \"" + pathtext(value) +
                std::string("\" (Alle, GSM, UMTS, Unbekannt, LTE, CDMA oder NR)"_w);
        return false;
      }
    } else if (option(kOptKeys, "--net")) {
      if (missing || !number("--net", value, 0, 65535, netid)) return false;
    } else if (option(kOptKeys, "--area")) {
      if (missing || !widenumber("--area", value, kMaxArea24, area)) return false;
    } else if (option(kOptKeys, "--cell")) {
      if (missing || !widenumber("--cell", value, kMaxCell36, cellid)) return false;
    } else if (option(kOptFormat, "--format")) {
      if (missing) return false;
      if (value == "grid") a.format = listformat::kGrid;
      else if (value == "csv") a.format = listformat::kCsv;
      else if (value == "geojson") a.format = listformat::kGeojson;
      else if (value == "kml") a.format = listformat::kKml;
      else {
        error = "--format: \"" + pathtext(value) + "\" ist keins von grid, csv, geojson, kml";
        return false;
      }
    } else if (option(kOptLimit, "--limit")) {
      std::int32_t n = 0;
      if (missing || !number("--limit", value, 0, 2147483647, n)) return false;
      a.limit = n;
    } else if (option(kOptObject, "--object")) {
      if (missing || !number("--object", ungrouped(value), 0, 2147483647, a.object)) return false;
      a.hasobject = true;
    } else if (option(kOptPosition, "--position")) {
      if (missing) return false;
      PositionInput p = parsepositiontext(utf8ToW1252(value));
      if (!p.valid) {
        error = "--position: \"" + cut(pathtext(value), 60) +
                std::string("\" ist keine Position (Breite,Länge wie 52.497973,13.342015)"_w);
        return false;
      }
      if (p.lat < -90 || p.lat > 90 || p.lon < -180 || p.lon > 180) {
        error = "--position: \"" + cut(pathtext(value), 60) +
                std::string("\" liegt außerhalb von Breite -90..90 und Länge -180..180"_w);
        return false;
      }
      a.hasposition = true;
      a.lat = p.lat;
      a.lon = p.lon;
    } else if (option(kOptMap, "--map")) {
      if (missing) return false;
      if (value == "google") a.map = kGoogleMaps;
      else if (value == "osm") a.map = kOpenStreetMap;
      else {
        error = "--map: \"" + pathtext(value) + "\" ist weder google noch osm";
        return false;
      }
    } else if ((allowed & kOptLabels) && args[i] == "--labels") {
      a.labels = true;
      ++i;
    } else {
      error = "unbekanntes Argument " + pathtext(args[i]);
      return false;
    }
  }
  if (a.hasobject && a.hasposition) {
    error = "--object und --position schließen sich aus"_w;
    return false;
  }
  a.keys = ttowerrec{};
  a.keys.typecode = static_cast<std::uint8_t>(typecode);
  settypetext(a.keys, cut(nettypename(typecode), 10));
  a.keys.netid = static_cast<std::uint16_t>(netid);
  setcriteriakeys(a.keys, static_cast<std::uint32_t>(area), cellid);
  return true;
}
