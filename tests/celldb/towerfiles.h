// Helpers for tests that need tower records and database files: building
// records, writing them to a file in the scratch directory or into an
// in-memory source, and putting the process-wide state back to its start.
#pragma once

#include <climits>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "celldb/database.h"
#include "celldb/memorysource.h"
#include "celldb/towerrec.h"

namespace towertest {

inline ttowerrec makerec(std::uint8_t typecode, std::uint16_t netid, std::uint16_t area,
                         std::int32_t cellid, long double lon, long double lat,
                         std::int32_t range = 100) {
  ttowerrec r{};
  settypetext(r, typecode <= 5 ? nettypename(typecode) : "X" + std::to_string(typecode));
  r.typecode = typecode;
  r.netid = netid;
  r.area = area;
  r.cellid = cellid;
  r.longitude = toreal(lon);
  r.latitude = toreal(lat);
  r.range = range;
  return r;
}

inline std::string bytesof(const std::vector<ttowerrec>& recs) {
  return std::string(reinterpret_cast<const char*>(recs.data()), recs.size() * sizeof(ttowerrec));
}

// Writes the records (then `tail`, a partial record) to `name`.
inline void writetowers(const std::string& name, const std::vector<ttowerrec>& recs,
                        const std::string& tail = "") {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytesof(recs) << tail;
}

// The record whose every shown field is as wide as it can be: a 10-byte
// type text, net 2 ("2 Vodafone"), area FFFF, cell id FFFFFFFF, position
// (-180, -90), range -2147483648.
inline ttowerrec widestrec() {
  ttowerrec r = makerec(3, 2, 0xFFFF, -1, -180.0L, -90.0L, INT32_MIN);
  settypetext(r, "Unbekannt?");
  return r;
}

// The widest NR cell: area FFFFFF, cell id FFFFFFFFF, otherwise as
// widestrec.
inline ttowerrec widestnrrec() {
  ttowerrec r = makerec(kTypeNR, 2, 0, 0, -180.0L, -90.0L, INT32_MIN);
  settypetext(r, "NR");
  setwidekeys(r, kMaxArea24, kMaxCell36);
  return r;
}

// A database file of `count` records as the list can hold at most, made
// sparse (records of zero bytes) but for `tail`, written as its last
// records.  Made at once, whatever the count.
inline void writesparsetowers(const std::string& name, std::int64_t count,
                              const std::vector<ttowerrec>& tail) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.seekp(static_cast<std::streamoff>((count - static_cast<std::int64_t>(tail.size())) *
                                        static_cast<std::int64_t>(sizeof(ttowerrec))));
  out << bytesof(tail);
}

// Opens the records as an in-memory database named `name`; the returned
// state lets the test shrink the data or make reads fail.
inline std::shared_ptr<MemoryRecordSource::State> openmemory(const std::vector<ttowerrec>& recs,
                                                             const std::string& name = "germtowers.dat") {
  auto state = std::make_shared<MemoryRecordSource::State>();
  std::string b = bytesof(recs);
  state->bytes.assign(b.begin(), b.end());
  opendatabase(name, std::make_unique<MemoryRecordSource>(state));
  return state;
}

}  // namespace towertest
