// The tower record: one radio cell, 44 bytes, the unit of the database file
// and of the selection criteria.
//
//  offset size field      meaning
//   0     11  typetext   length byte + up to 10 bytes (Windows-1252); bytes
//                        beyond the length are undefined
//  11      1  typecode   network type code (0..5, see nettypename)
//  12      2  matchcode  only takes part in matching, never shown
//  14      2  netid      network number (names the operator)
//  16      2  area       location area
//  18      4  cellid     cell identity; "set" means greater than 0 (signed)
//  22      2  unit22     not interpreted (the converter stores "unit")
//  24      6  longitude  6-byte real, degrees east
//  30      6  latitude   6-byte real, degrees north
//  36      4  range      signed, metres
//  40      4  samples40  not interpreted (the converter stores "samples")
// All integers little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/support/real48.h"

#pragma pack(push, 1)
struct ttowerrec {
  std::uint8_t typetext[11];
  std::uint8_t typecode;
  std::uint16_t matchcode;
  std::uint16_t netid;
  std::uint16_t area;
  std::int32_t cellid;
  std::uint8_t unit22[2];
  real longitude;
  real latitude;
  std::int32_t range;
  std::uint8_t samples40[4];
};
#pragma pack(pop)

static_assert(sizeof(ttowerrec) == 44, "tower record must be 44 bytes");
static_assert(offsetof(ttowerrec, typecode) == 11);
static_assert(offsetof(ttowerrec, matchcode) == 12);
static_assert(offsetof(ttowerrec, netid) == 14);
static_assert(offsetof(ttowerrec, area) == 16);
static_assert(offsetof(ttowerrec, cellid) == 18);
static_assert(offsetof(ttowerrec, longitude) == 24);
static_assert(offsetof(ttowerrec, latitude) == 30);
static_assert(offsetof(ttowerrec, range) == 36);
static_assert(offsetof(ttowerrec, samples40) == 40);
static_assert(std::endian::native == std::endian::little,
              "records are read by copying bytes; a big-endian port must swap");

// The type text (length byte clamped to 10).
inline std::string gettypetext(const ttowerrec& r) {
  std::uint8_t n = r.typetext[0] > 10 ? 10 : r.typetext[0];
  return std::string(reinterpret_cast<const char*>(r.typetext + 1), n);
}

// Sets the type text, cut to 10 bytes; unused bytes become 0.
inline void settypetext(ttowerrec& r, std::string_view t) {
  std::size_t n = t.size() > 10 ? 10 : t.size();
  for (int i = 0; i < 11; ++i) r.typetext[i] = 0;
  r.typetext[0] = static_cast<std::uint8_t>(n);
  for (std::size_t i = 0; i < n; ++i) r.typetext[1 + i] = static_cast<std::uint8_t>(t[i]);
}
