// A damaged index beside a database file.  The input's head gives a small
// database (records of any bytes), a lookup (selection, search around a
// position or a record) and changes to the index made for it: bytes
// flipped at given offsets, a cut, and optionally the block checks made
// valid again afterwards (an index damaged "consistently", which reaches
// every offset and count the reader takes from the file).  Properties:
// nothing crashes; every listed record number lies in the file, and a
// selection comes in rising record order; while the checks were left as
// the damage made them, the answer is exactly the scan's (the index is
// either refused or still right).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "celldb/database.h"
#include "celldb/towerindex.h"
#include "fuzz/fuzzfiles.h"
#include "query/criteria.h"
#include "query/surrounding.h"

namespace {

struct answer {
  std::vector<std::int32_t> list;
  std::vector<std::string> dist;
  bool operator==(const answer&) const = default;
};

answer capture() {
  answer a;
  for (std::int32_t i = 1; i <= resultcount; ++i) a.list.push_back(resultlist[static_cast<std::size_t>(i)]);
  if (resultcount <= kMaxSortedResults)
    for (std::int32_t i = 1; i <= resultcount; ++i) {
      const real& d = distlist[static_cast<std::size_t>(i)];
      a.dist.emplace_back(reinterpret_cast<const char*>(&d), sizeof d);
    }
  return a;
}

// Makes every block check and the header's check valid for the bytes as
// they are (when the header's layout allows it).
void recheck(std::string& idx) {
  if (idx.size() < sizeof(towerindexheader)) return;
  towerindexheader h;
  std::memcpy(&h, idx.data(), sizeof h);
  const std::uint64_t end = h.checksoffset;
  if (end % kIndexBlock == 0 && end >= kIndexBlock && end <= idx.size()) {
    const std::uint64_t blocks = end / kIndexBlock - 1;
    if (idx.size() - end >= blocks * 8)
      for (std::uint64_t b = 1; b <= blocks; ++b) {
        std::uint64_t c =
            blockcheck(reinterpret_cast<const unsigned char*>(idx.data()) + b * kIndexBlock, kIndexBlock, b);
        std::memcpy(idx.data() + end + (b - 1) * 8, &c, 8);
      }
  }
  h.headercheck = blockcheck(reinterpret_cast<const unsigned char*>(&h), offsetof(towerindexheader, headercheck), 0);
  std::memcpy(idx.data(), &h, sizeof h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int kind = in.ConsumeIntegralInRange<int>(0, 2);
  const bool rechecked = in.ConsumeBool();
  ttowerrec keys{};
  keys.typecode = in.ConsumeIntegralInRange<std::uint8_t>(0, 6);
  keys.netid = in.ConsumeIntegralInRange<std::uint16_t>(0, 3);
  keys.area = in.ConsumeIntegralInRange<std::uint16_t>(0, 3);
  keys.cellid = in.ConsumeIntegralInRange<std::int32_t>(0, 3);
  const double lon = in.ConsumeFloatingPointInRange<double>(-200.0, 200.0);
  const double lat = in.ConsumeFloatingPointInRange<double>(-100.0, 100.0);
  const int records = in.ConsumeIntegralInRange<int>(0, 48);
  std::string db = in.ConsumeBytesAsString(static_cast<std::size_t>(records) * sizeof(ttowerrec));
  // Records of few key values and close positions, so that lookups meet
  // them: the raw bytes, with their keys folded.
  for (std::size_t off = 0; off + sizeof(ttowerrec) <= db.size(); off += sizeof(ttowerrec)) {
    ttowerrec r;
    std::memcpy(&r, db.data() + off, sizeof r);
    r.typecode %= 7;
    r.netid %= 4;
    r.area %= 4;
    r.cellid = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.cellid) % 4);
    if (r.longitude.bytes[0] != 0) r.longitude = toreal(lon + (r.longitude.bytes[1] - 128) * 0.0007);
    if (r.latitude.bytes[0] != 0) r.latitude = toreal(lat + (r.latitude.bytes[1] - 128) * 0.0007);
    std::memcpy(db.data() + off, &r, sizeof r);
  }
  const std::string dbpath = fuzzpath("germtowers.dat"), idxpath = fuzzpath("germtowers.idx");
  writefile(dbpath, db);
  std::string error;
  FUZZ_CHECK(buildtowerindex(dbpath, error, 0));
  std::string idx = readfile(idxpath);
  // The damage: bytes flipped, then perhaps a cut.
  while (in.remaining_bytes() >= 5) {
    auto at = in.ConsumeIntegral<std::uint32_t>() % static_cast<std::uint32_t>(idx.size() + 1);
    auto flip = in.ConsumeIntegral<std::uint8_t>();
    if (flip == 0) {
      idx.resize(at);
      break;
    }
    if (at < idx.size()) idx[at] = static_cast<char>(idx[at] ^ flip);
  }
  if (rechecked) recheck(idx);
  std::remove(idxpath.c_str());
  writefile(idxpath, idx);

  auto run = [&] {
    FUZZ_CHECK(opendatabase(dbpath).ok);
    criteria = keys;
    tolerancelon = toreal(0.2L);
    tolerancelat = toreal(0.33L);
    resultcount = 0;
    try {
      if (kind == 0) selectbycriteria(criteria, tolerancelon, tolerancelat);
      if (kind == 1) nearposition(criteria, kWantedObjects, toreal(lon), toreal(lat));
      if (kind == 2 && towercount > 0) nearobject(static_cast<std::int32_t>(keys.cellid) % towercount, kWantedObjects);
    } catch (...) {
      FUZZ_CHECK(false);  // the file is whole: no read may fail
    }
    answer a = capture();
    for (std::size_t i = 0; i < a.list.size(); ++i) {
      FUZZ_CHECK(a.list[i] >= 0 && a.list[i] < towercount);
      if (kind == 0 && i > 0) FUZZ_CHECK(a.list[i] > a.list[i - 1]);
    }
    closedatabase();
    return a;
  };
  answer indexed = run();
  std::remove(idxpath.c_str());
  answer scanned = run();
  if (!rechecked) FUZZ_CHECK(indexed == scanned);
  return 0;
}
