// The tower record: one radio cell, 44 bytes, the unit of the database file
// and of the selection criteria.
//
//  offset size field      meaning
//   0     11  typetext   length byte + up to 10 bytes (Windows-1252); bytes
//                        beyond the length are undefined
//  11      1  typecode   network type code (0..6, see nettypename)
//  12      2  matchcode  only takes part in matching, never shown
//  14      2  netid      network number (names the operator)
//  16      2  area       location area
//  18      4  cellid     cell identity; "set" means greater than 0 (signed)
//  22      2  unit22     not interpreted (the converter stores "unit";
//                        the criteria: see below)
//  24      6  longitude  6-byte real, degrees east
//  30      6  latitude   6-byte real, degrees north
//  36      4  range      signed, metres
//  40      4  samples40  not interpreted (the converter stores "samples")
// All integers little-endian.
//
// 5G (NR) cells carry a cell identity of up to 36 bits and a tracking area
// of up to 24 bits.  Their record has typecode 6 and the type text "NR";
// the bits that do not fit the fields above go into the type text's bytes
// beyond its length, which a reader of the plain layout never looks at:
//   typetext[9]   area bits 16..23
//   typetext[10]  cell id bits 32..35 (low nibble; the high nibble is 0)
// area and cellid hold the low 16 and 32 bits, so such a reader still sees
// a sound record of type "NR".  Every other record keeps its 16-bit area
// and 32-bit cell id, whatever its type text's unused bytes hold: files
// written before read exactly as they did.
//
// The selection criteria (a record built by the program) keep the high
// bits of the wanted area and cell id for any type, in the bytes a
// criteria record never uses otherwise:
//   unit22[0]     area bits 16..23
//   unit22[1]     cell id bits 32..35 (low nibble)
// Not in the type text: the criteria's type text "Unbekannt" fills it up
// to typetext[9].  A criterion beyond 16/32 bits finds NR cells only.
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

inline constexpr std::uint8_t kTypeNR = 6;
inline constexpr std::uint32_t kMaxArea24 = 0xFFFFFF;
inline constexpr std::uint64_t kMaxCell36 = 0xFFFFFFFFFULL;

// Whether a file record is a 5G cell with the wide area and cell id.
inline bool isnrrecord(const ttowerrec& r) {
  return r.typecode == kTypeNR && r.typetext[0] == 2 && r.typetext[1] == 'N' && r.typetext[2] == 'R';
}

// The high bits of a record's area (bits 16..23) and cell id (32..35): 0
// unless isnrrecord.
inline std::uint32_t areahigh(const ttowerrec& r) { return isnrrecord(r) ? r.typetext[9] : 0; }
inline std::uint32_t cellhigh(const ttowerrec& r) { return isnrrecord(r) ? (r.typetext[10] & 0x0F) : 0; }

// A file record's whole area and cell id (the cell id of a plain record
// as the unsigned 32-bit value of its field).
inline std::uint32_t recordarea(const ttowerrec& r) { return r.area | areahigh(r) << 16; }
inline std::uint64_t recordcell(const ttowerrec& r) {
  return static_cast<std::uint32_t>(r.cellid) | std::uint64_t{cellhigh(r)} << 32;
}

// The same for the selection criteria.
inline std::uint32_t criteriaarea(const ttowerrec& c) { return c.area | std::uint32_t{c.unit22[0]} << 16; }
inline std::uint64_t criteriacell(const ttowerrec& c) {
  return static_cast<std::uint32_t>(c.cellid) | std::uint64_t{c.unit22[1] & 0x0Fu} << 32;
}

// Sets the wanted area and cell id of criteria (values beyond 24 and 36
// bits are cut).
inline void setcriteriakeys(ttowerrec& c, std::uint32_t area, std::uint64_t cell) {
  c.area = static_cast<std::uint16_t>(area);
  c.cellid = static_cast<std::int32_t>(static_cast<std::uint32_t>(cell));
  c.unit22[0] = static_cast<std::uint8_t>(area >> 16);
  c.unit22[1] = static_cast<std::uint8_t>((cell >> 32) & 0x0F);
}

// Stores a wide area and cell id in a file record: the low bits in area
// and cellid, the high ones in the type text's bytes 9 and 10 (set the
// type text "NR" first: settypetext clears them).  Values beyond 24 and 36
// bits are cut.
inline void setwidekeys(ttowerrec& r, std::uint32_t area, std::uint64_t cell) {
  r.area = static_cast<std::uint16_t>(area);
  r.cellid = static_cast<std::int32_t>(static_cast<std::uint32_t>(cell));
  r.typetext[9] = static_cast<std::uint8_t>(area >> 16);
  r.typetext[10] = static_cast<std::uint8_t>((cell >> 32) & 0x0F);
}

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
