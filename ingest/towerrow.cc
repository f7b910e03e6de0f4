#include "ingest/towerrow.h"

#include <cstring>

#include "ingest/berlinbounds.h"
#include "ingest/fieldparse.h"
#include "lib/support/w1252.h"

namespace {

bool sameword(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// An optional integer field: empty gives 0.
bool optionalinteger(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& v) {
  if (trimfield(text).empty()) {
    v = 0;
    return true;
  }
  return parseinteger(text, lo, hi, v);
}

}  // namespace

bool findcolumns(const std::string_view* fields, std::size_t count, csvcolumns& c,
                 std::string& missing) {
  struct named {
    const char* name;
    int* index;
    bool required;
  } names[] = {{"radio", &c.radio, true},  {"mcc", &c.mcc, true},     {"net", &c.net, true},
               {"area", &c.area, true},    {"cell", &c.cell, true},   {"unit", &c.unit, false},
               {"lon", &c.lon, true},      {"lat", &c.lat, true},     {"range", &c.range, true},
               {"samples", &c.samples, false}};
  c = csvcolumns();
  for (std::size_t i = 0; i < count; ++i) {
    std::string_view f = fields[i];
    if (i == 0 && f.substr(0, 3) == "\xEF\xBB\xBF") f.remove_prefix(3);
    f = trimfield(f);
    for (auto& n : names)
      if (*n.index < 0 && sameword(f, n.name)) *n.index = static_cast<int>(i);
  }
  missing.clear();
  for (auto& n : names) {
    if (*n.index < 0) {
      if (n.required) missing += (missing.empty() ? "" : ", ") + std::string(n.name);
    } else if (static_cast<std::size_t>(*n.index) + 1 > c.needed) {
      c.needed = static_cast<std::size_t>(*n.index) + 1;
    }
  }
  return missing.empty();
}

bool setradio(ttowerrec& rec, std::string_view radio) {
  static constexpr struct {
    std::string_view name;
    std::uint8_t code;
  } known[] = {{"GSM", 1}, {"UMTS", 2}, {"LTE", 4}, {"CDMA", 5}, {"NR", kTypeNR}};
  radio = trimfield(radio);
  for (const auto& k : known) {
    if (sameword(radio, k.name)) {
      rec.typecode = k.code;
      settypetext(rec, k.name);
      return false;
    }
  }
  rec.typecode = 3;
  bool ascii = true;
  for (char ch : radio) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
  std::string text = ascii ? std::string(radio) : utf8ToW1252(radio);
  if (text.size() > 10) text.resize(10);  // what the record holds
  bool replaced = false;
  for (char& ch : text) {
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) {
      ch = '?';
      replaced = true;
    }
  }
  settypetext(rec, text);
  return replaced;
}

bool isothercountry(std::string_view mccfield) {
  std::int64_t mcc;
  return parseinteger(mccfield, 0, 999999, mcc) && mcc != kGermanMcc;
}

rowverdict convertrow(const std::string_view* f, std::size_t count, const csvcolumns& c,
                      ttowerrec& rec, bool& berlin, bool* typereplaced) {
  berlin = false;
  if (count < c.needed) return kSkipMalformed;
  std::int64_t mcc, net, area, cell, range, unit = 0, samples = 0;
  if (!parseinteger(f[c.mcc], 0, 999999, mcc)) return kSkipMalformed;
  if (mcc != kGermanMcc) return kRowOtherCountry;
  if (!parseinteger(f[c.net], 0, 65535, net)) return kSkipNet;
  // A 5G cell's tracking area has 24 bits and its identity (NCI) 36.
  const bool nr = sameword(trimfield(f[c.radio]), "NR");
  if (!parseinteger(f[c.area], 0, nr ? kMaxArea24 : 65535, area)) return kSkipArea;
  if (!parseinteger(f[c.cell], 0, nr ? static_cast<std::int64_t>(kMaxCell36) : 2147483647, cell))
    return kSkipCell;
  double lon, lat;
  real storedlon, storedlat;
  if (!parsecoordinate(f[c.lon], lon, storedlon) || lon < -180 || lon > 180) return kSkipPosition;
  if (!parsecoordinate(f[c.lat], lat, storedlat) || lat < -90 || lat > 90) return kSkipPosition;
  if (!parseinteger(f[c.range], INT32_MIN, INT32_MAX, range)) return kSkipRange;
  // unit is -1 when unknown, else a scrambling code or PCI; samples counts up.
  if (c.unit >= 0 && !optionalinteger(f[c.unit], -32768, 65535, unit)) return kSkipUnitSamples;
  if (c.samples >= 0 && !optionalinteger(f[c.samples], INT32_MIN, UINT32_MAX, samples))
    return kSkipUnitSamples;

  rec = ttowerrec{};
  bool replaced = setradio(rec, f[c.radio]);
  if (typereplaced) *typereplaced = replaced;
  rec.matchcode = static_cast<std::uint16_t>(mcc);
  rec.netid = static_cast<std::uint16_t>(net);
  if (nr) {
    setwidekeys(rec, static_cast<std::uint32_t>(area), static_cast<std::uint64_t>(cell));
  } else {
    rec.area = static_cast<std::uint16_t>(area);
    rec.cellid = static_cast<std::int32_t>(cell);
  }
  put16(rec.unit22, static_cast<std::uint16_t>(unit));
  rec.longitude = storedlon;
  rec.latitude = storedlat;
  rec.range = static_cast<std::int32_t>(range);
  put32(rec.samples40, static_cast<std::uint32_t>(samples));
  berlin = inberlin(rec);
  return kRowOk;
}
