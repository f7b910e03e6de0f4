// A database file that shrinks while it is being read.  The input's head
// gives the criteria, the search, the file's length in records (up to a
// little over four scan blocks, the records repeating the input's tail),
// after how many reads the file is cut and to what size; the file itself
// is a real one, cut with ftruncate between two reads.
//
// Properties: nothing crashes; a search either ends normally or throws
// IoError naming the first record it could not read; a search that read
// the whole file before the cut lists exactly what the plain reference
// filter lists; one that was cut lists only records that could be read,
// and a selection cut short keeps exactly the matches before the failure.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "celldb/database.h"
#include "celldb/recordsource.h"
#include "fuzz/fuzzfiles.h"
#include "lib/support/ioerror.h"
#include "query/criteria.h"
#include "query/surrounding.h"

namespace {

template <typename T>
T consume(FuzzedDataProvider& in) {
  T v{};
  std::vector<std::uint8_t> b = in.ConsumeBytes<std::uint8_t>(sizeof v);
  if (!b.empty()) std::memcpy(&v, b.data(), b.size());
  return v;
}

// The real file, cut to `cutbytes` just before read number `cutat`.
class CuttingSource final : public RecordSource {
 public:
  CuttingSource(std::unique_ptr<RecordSource> inner, std::string path, int cutat, std::int64_t cutbytes)
      : inner_(std::move(inner)), path_(std::move(path)), cutat_(cutat), cutbytes_(cutbytes) {}
  std::int64_t size(int& error) override { return inner_->size(error); }
  std::int64_t readat(std::int64_t offset, void* buf, std::size_t n, int& error) override {
    if (++reads_ == cutat_) {
      FUZZ_CHECK(::truncate(path_.c_str(), static_cast<off_t>(cutbytes_)) == 0);
      cut_ = true;
    }
    return inner_->readat(offset, buf, n, error);
  }
  bool cut() const { return cut_; }

 private:
  std::unique_ptr<RecordSource> inner_;
  std::string path_;
  int cutat_;
  std::int64_t cutbytes_;
  int reads_ = 0;
  bool cut_ = false;
};

bool passesref(const ttowerrec& r, const ttowerrec& c, const real& tlon, const real& tlat) {
  if (c.typecode != 0 && c.typecode != r.typecode && !(c.typecode == 3 && r.typecode == 0)) return false;
  if (c.netid != 0 && c.netid != r.netid) return false;
  if (c.matchcode != 0 && c.matchcode != r.matchcode) return false;
  if (c.area != 0 && c.area != r.area) return false;
  if (c.cellid != 0 && c.cellid != r.cellid) return false;
  if (toext(c.longitude) != 0 && std::fabs(toext(r.longitude) - toext(c.longitude)) > toext(tlon)) return false;
  if (toext(c.latitude) != 0 && std::fabs(toext(r.latitude) - toext(c.latitude)) > toext(tlat)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  ttowerrec crit = consume<ttowerrec>(in);
  real tollon = consume<real>(in), tollat = consume<real>(in);
  real lon = consume<real>(in), lat = consume<real>(in);
  int search = in.ConsumeIntegralInRange(0, 3);
  // Up to four scan blocks (small in the fuzz build), repeating the tail.
  std::int32_t records = in.ConsumeIntegralInRange<std::int32_t>(1, 4 * kScanBlockRecords + 3);
  int cutat = in.ConsumeIntegralInRange(0, 8);
  std::uint32_t cutpick = in.ConsumeIntegral<std::uint32_t>();
  std::uint32_t objectpick = in.ConsumeIntegral<std::uint32_t>();
  std::vector<std::uint8_t> tail = in.ConsumeRemainingBytes<std::uint8_t>();
  const std::size_t pattern = tail.size() / 44;
  if (pattern == 0) return 0;

  std::vector<std::uint8_t> file(static_cast<std::size_t>(records) * 44);
  for (std::int32_t n = 0; n < records; ++n)
    std::memcpy(file.data() + static_cast<std::size_t>(n) * 44, tail.data() + (static_cast<std::size_t>(n) % pattern) * 44, 44);
  // Any cut: mid-record, at a block border, to nothing.
  std::int64_t cutbytes = static_cast<std::int64_t>(cutpick % (file.size() + 1));
  if (cutpick & 0x80000000u) cutbytes = static_cast<std::int64_t>(cutpick % 5) * kScanBlockRecords * 44;
  if (cutbytes > static_cast<std::int64_t>(file.size())) cutbytes = static_cast<std::int64_t>(file.size());

  std::string path = fuzzpath("shrink.dat");
  writefile(path, file.data(), file.size());
  int error = 0;
  auto inner = openposixsource(path, error);
  FUZZ_CHECK(inner != nullptr);
  auto source = std::make_unique<CuttingSource>(std::move(inner), path, cutat, cutbytes);
  CuttingSource* cutter = source.get();
  criteria = ttowerrec{};
  tolerancelon = toreal(0.2L);
  tolerancelat = toreal(0.33L);
  OpenResult opened = opendatabase("shrink.dat", std::move(source));
  FUZZ_CHECK(opened.ok && opened.total == records);

  const std::int32_t readable = static_cast<std::int32_t>(cutbytes / 44);
  const std::int32_t recno = static_cast<std::int32_t>(objectpick % static_cast<std::uint32_t>(records));
  bool threw = false;
  std::string message;
  try {
    switch (search) {
      case 0: selectbycriteria(crit, tollon, tollat); break;
      case 1: nearposition(crit, 20, lon, lat); break;
      case 2: nearobject(recno, 20); break;
      default: selectaround(crit, lon, lat, tollon, tollat); break;
    }
  } catch (const IoError& e) {
    threw = true;
    message = e.what();
  }

  FUZZ_CHECK(resultcount >= 0 && resultcount <= records);
  for (std::int32_t i = 1; i <= resultcount; ++i) FUZZ_CHECK(resultlist[static_cast<std::size_t>(i)] < records);
  if (!cutter->cut() || cutbytes == static_cast<std::int64_t>(file.size())) {
    // Nothing was lost: the search ran on the whole file.
    FUZZ_CHECK(!threw);
    if (search == 0) {
      std::int32_t want = 0;
      for (std::int32_t n = 0; n < records; ++n) {
        ttowerrec r;
        std::memcpy(&r, file.data() + static_cast<std::size_t>(n) * 44, 44);
        if (!passesref(r, crit, tollon, tollat)) continue;
        ++want;
        FUZZ_CHECK(want <= resultcount && resultlist[static_cast<std::size_t>(want)] == n);
      }
      FUZZ_CHECK(want == resultcount);
    }
  } else if (threw) {
    // The failing record is one the cut took away.
    std::size_t at = message.find("Datensatz ");
    FUZZ_CHECK(at != std::string::npos);
    long failed = std::strtol(message.c_str() + at + 10, nullptr, 10);
    FUZZ_CHECK(failed >= readable && failed < records);
    if (search == 0) {
      // The matches before the failing record, all of them and no more.
      std::int32_t want = 0;
      for (std::int32_t n = 0; n < failed; ++n) {
        ttowerrec r;
        std::memcpy(&r, file.data() + static_cast<std::size_t>(n) * 44, 44);
        if (!passesref(r, crit, tollon, tollat)) continue;
        ++want;
        FUZZ_CHECK(want <= resultcount && resultlist[static_cast<std::size_t>(want)] == n);
      }
      FUZZ_CHECK(want == resultcount);
    }
  } else {
    // A scan reads on to the end, so it always meets the loss; only the
    // later reads of the sorted records (which may all lie before the
    // cut) can miss it.
    FUZZ_CHECK(search == 1 || search == 2);
  }
  // What the file still holds reads back; what it lost throws.
  if (readable > 0) readtower(readable - 1);
  if (cutter->cut() && readable < records) {
    bool lost = false;
    try {
      readtower(readable);
    } catch (const IoError&) {
      lost = true;
    }
    FUZZ_CHECK(lost);
  }
  closedatabase();
  return 0;
}
