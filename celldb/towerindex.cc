#include "celldb/towerindex.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "celldb/database.h"
#include "celldb/realvalue.h"
#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

namespace {

constexpr char kMagic[8] = {'T', 'U', 'R', 'M', 'I', 'D', 'X', 0};
constexpr std::uint32_t kAreaTopEntries = 65537;
// Grid entries per cell the builder aims at, on average.
constexpr double kGridFill = 32.0;
constexpr std::uint64_t kMaxGridCells = std::uint64_t{1} << 22;
constexpr std::uint32_t kMaxCellBits = 24;

indexuse lastuse = indexuse::none;

std::uint64_t mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  return h;
}

bool readall(int fd, std::uint64_t offset, void* buf, std::size_t n) {
  auto* out = static_cast<char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::pread(fd, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

// Whether count items of size bytes from offset lie within [from, limit]
// (without overflow).
bool fits(std::uint64_t offset, std::uint64_t count, std::uint64_t size, std::uint64_t from, std::uint64_t limit) {
  if (offset < from || offset > limit) return false;
  if (size != 0 && count > (limit - offset) / size) return false;
  return true;
}

std::int64_t nowns() {
  timespec t{};
  ::clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// A zeroed array of n trivial values for the builder, mapped in huge pages
// where the system gives them: a few million records make arrays of tens
// of MB, whose page faults and TLB misses would otherwise cost more than
// filling them.
template <typename T>
class bigarray {
 public:
  explicit bigarray(std::size_t n = 0) : n_(n) {
    if (n == 0) return;
    constexpr std::size_t kHuge = std::size_t{2} << 20;
    bytes_ = (n * sizeof(T) + kHuge - 1) / kHuge * kHuge;
    void* p = ::mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    ::madvise(p, bytes_, MADV_HUGEPAGE);
    p_ = static_cast<T*>(p);
  }
  ~bigarray() { release(); }
  bigarray(const bigarray&) = delete;
  bigarray& operator=(const bigarray&) = delete;
  T& operator[](std::size_t i) { return p_[i]; }
  const T& operator[](std::size_t i) const { return p_[i]; }
  T* data() { return p_; }
  T* begin() { return p_; }
  T* end() { return p_ + n_; }
  std::size_t size() const { return n_; }
  void release() {
    if (p_) ::munmap(p_, bytes_);
    p_ = nullptr;
    n_ = 0;
  }

 private:
  T* p_ = nullptr;
  std::size_t n_ = 0, bytes_ = 0;
};

// Runs a here and b on a thread of its own (both here, one after the
// other, when no thread can be had); an exception of either is rethrown.
template <typename A, typename B>
void together(A&& a, B&& b) {
  std::exception_ptr failed;
  auto guarded = [&] {
    try {
      b();
    } catch (...) {
      failed = std::current_exception();
    }
  };
  std::thread t;
  try {
    t = std::thread(guarded);
  } catch (const std::system_error&) {
    guarded();
  }
  try {
    a();
  } catch (...) {
    if (t.joinable()) t.join();
    throw;
  }
  if (t.joinable()) t.join();
  if (failed) std::rethrow_exception(failed);
}

bool inrange(double lon, double lat) { return lon >= -180.0 && lon <= 180.0 && lat >= -90.0 && lat <= 90.0; }

// Collects what the index needs of each record, in record order, and makes
// the file image.  Built for speed on a few million records: every section
// is filled by one counting pass and one pass that writes each record
// number straight to its place in the image.
class indexbuilder {
 public:
  explicit indexbuilder(std::size_t n) : area_(n), bucket_(n), lon_(n), lat_(n) {
    bits_ = 0;
    while (bits_ < kMaxCellBits && (std::uint64_t{1} << (bits_ + 3)) <= n) ++bits_;
  }

  void add(const ttowerrec& r) {
    const std::uint64_t recno = added_++;
    // (low area, net, high area) above the record number: sorting these
    // numbers orders by the group and then by record.
    area_[recno] = (std::uint64_t{r.area} << 24 | std::uint64_t{r.netid} << 8 | areahigh(r)) << kRecnoBits | recno;
    bucket_[recno] = cellbucket(static_cast<std::uint32_t>(r.cellid), bits_);
    lon_[recno] = realdouble(r.longitude);
    lat_[recno] = realdouble(r.latitude);
  }

  std::unique_ptr<bigarray<unsigned char>> make(const filestamp& st);

  // Record numbers fit kRecnoBits: larger files get no index.
  static constexpr int kRecnoBits = 24;

 private:
  bigarray<std::uint64_t> area_;
  bigarray<std::uint32_t> bucket_;
  bigarray<double> lon_, lat_;
  std::uint32_t bits_;
  std::size_t added_ = 0;
};

std::unique_ptr<bigarray<unsigned char>> indexbuilder::make(const filestamp& st) {
  const auto n = static_cast<std::uint32_t>(area_.size());
  const std::uint64_t recmask = (std::uint64_t{1} << kRecnoBits) - 1;
  towerindexheader h{};
  std::memcpy(h.magic, kMagic, sizeof kMagic);
  h.version = kIndexVersion;
  h.blocksize = kIndexBlock;
  h.dbdevice = st.device;
  h.dbinode = st.inode;
  h.dbsize = st.size;
  h.dbmtimens = st.mtimens;
  h.dbctimens = st.ctimens;
  h.records = n;

  // The area and cell sections on this thread, the grid on another.
  bigarray<std::uint64_t> byarea(n);
  std::vector<towerindexgroup> groups;
  std::vector<std::uint32_t> areatop, celltop;
  const std::size_t buckets = std::size_t{1} << bits_;
  std::uint32_t placedcount = 0;
  std::vector<std::uint32_t> outliers, gridtop;
  std::size_t gridcells = 0;
  constexpr std::uint32_t kOffGrid = 0xFFFFFFFF;
  bigarray<std::uint32_t> cellof(n), qof(n);
  auto areapart = [&] {
  // Area section: by the low area in one pass, then each area's few
  // records by (net, high area, record).
  std::vector<std::uint32_t> areastart(kAreaTopEntries, 0);
  for (std::uint64_t k : area_) ++areastart[(k >> (kRecnoBits + 24)) + 1];
  for (std::size_t a = 0; a + 1 < areastart.size(); ++a) areastart[a + 1] += areastart[a];
  {
    std::vector<std::uint32_t> next(areastart.begin(), areastart.end() - 1);
    for (std::uint64_t k : area_) byarea[next[k >> (kRecnoBits + 24)]++] = k;
  }
  area_.release();
  for (std::size_t a = 0; a + 1 < areastart.size(); ++a) {
    std::uint64_t *first = byarea.begin() + areastart[a], *last = byarea.begin() + areastart[a + 1];
    if (!std::is_sorted(first, last)) std::sort(first, last);
  }
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint64_t k = byarea[i] >> kRecnoBits;
    if (i == 0 || k != byarea[i - 1] >> kRecnoBits) {
      towerindexgroup g{};
      g.area = static_cast<std::uint16_t>(k >> 24);
      g.net = static_cast<std::uint16_t>(k >> 8);
      g.areahigh = static_cast<std::uint8_t>(k);
      g.first = i;
      groups.push_back(g);
    }
    ++groups.back().count;
  }
  areatop.assign(kAreaTopEntries, 0);
  // areatop[a]: the first group of an area value at or above a.
  for (std::uint32_t a = 0, g = 0; a < kAreaTopEntries; ++a) {
    while (g < groups.size() && groups[g].area < a) ++g;
    areatop[a] = g;
  }

  // Cell section: hash buckets of about four records each.
  h.cellbits = bits_;
  celltop.assign(buckets + 1, 0);
  for (std::uint32_t b : bucket_) ++celltop[b + 1];
  for (std::size_t b = 0; b < buckets; ++b) celltop[b + 1] += celltop[b];
  };

  auto gridpart = [&] {
  // Grid: cells over the box of the positions, about kGridFill records each.
  double minlon = 0, maxlon = 0, minlat = 0, maxlat = 0;
  for (std::uint32_t r = 0; r < n; ++r) {
    const double lon = lon_[r], lat = lat_[r];
    if (!inrange(lon, lat)) {
      outliers.push_back(r);
      continue;
    }
    if (placedcount++ == 0) {
      minlon = maxlon = lon;
      minlat = maxlat = lat;
    }
    minlon = std::min(minlon, lon);
    maxlon = std::max(maxlon, lon);
    minlat = std::min(minlat, lat);
    maxlat = std::max(maxlat, lat);
  }
  const double w = std::max(maxlon - minlon, 1e-6), ht = std::max(maxlat - minlat, 1e-6);
  double cs = std::sqrt(w * ht * kGridFill / std::max<double>(placedcount, 1.0));
  cs = std::clamp(cs, 0.01, 360.0);
  auto cellsalong = [&](double span) { return static_cast<std::uint64_t>(std::floor(span / cs)) + 1; };
  while (cellsalong(maxlon - minlon) * cellsalong(maxlat - minlat) > kMaxGridCells) cs *= 1.25;
  const auto nx = static_cast<std::uint32_t>(cellsalong(maxlon - minlon));
  const auto ny = static_cast<std::uint32_t>(cellsalong(maxlat - minlat));
  h.gridlon0 = minlon;
  h.gridlat0 = minlat;
  h.gridcell = cs;
  h.gridnx = nx;
  h.gridny = ny;
  h.gridcount = placedcount;
  h.outliercount = static_cast<std::uint32_t>(outliers.size());
  // A record's cell and its place inside (the reader allows for the
  // rounding here with its margin).
  const double inv = 1.0 / cs, lastx = nx - 1.0, lasty = ny - 1.0;
  gridcells = std::size_t{nx} * ny;
  gridtop.assign(gridcells + 1, 0);
  for (std::uint32_t r = 0; r < n; ++r) {
    if (!inrange(lon_[r], lat_[r])) {
      cellof[r] = kOffGrid;
      continue;
    }
    // Both are at least 0 (up to rounding): truncation is floor.
    const double fx = std::max((lon_[r] - minlon) * inv, 0.0), fy = std::max((lat_[r] - minlat) * inv, 0.0);
    const double cx = std::min(static_cast<double>(static_cast<std::int64_t>(fx)), lastx);
    const double cy = std::min(static_cast<double>(static_cast<std::int64_t>(fy)), lasty);
    const auto qx = static_cast<std::uint32_t>(std::clamp((fx - cx) * 65536.0, 0.0, 65535.0));
    const auto qy = static_cast<std::uint32_t>(std::clamp((fy - cy) * 65536.0, 0.0, 65535.0));
    cellof[r] = static_cast<std::uint32_t>(cy) * nx + static_cast<std::uint32_t>(cx);
    qof[r] = qx | qy << 16;
    ++gridtop[cellof[r] + 1];
  }
  lon_.release();
  lat_.release();
  for (std::size_t c = 0; c < gridcells; ++c) gridtop[c + 1] += gridtop[c];
  };
  together(areapart, gridpart);

  // The image: each section written once, the gaps between them zeroed.
  std::uint64_t at = kIndexBlock;
  auto section = [&](std::uint64_t bytes) {
    std::uint64_t off = (at + 7) & ~std::uint64_t{7};
    at = off + bytes;
    return off;
  };
  h.areatop = section(kAreaTopEntries * 4ull);
  h.groupcount = static_cast<std::uint32_t>(groups.size());
  h.groups = section(groups.size() * sizeof(towerindexgroup));
  h.areaentries = section(n * 4ull);
  h.celltop = section((buckets + 1) * 4ull);
  h.cellentries = section(n * 4ull);
  h.gridtop = section((gridcells + 1) * 4ull);
  h.gridentries = section(std::uint64_t{placedcount} * sizeof(towerindexgridentry));
  h.outliers = section(outliers.size() * 4ull);
  h.checksoffset = (at + kIndexBlock - 1) / kIndexBlock * kIndexBlock;
  const std::uint64_t datablocks = h.checksoffset / kIndexBlock - 1;
  h.filesize = h.checksoffset + datablocks * 8;

  auto image = std::make_unique<bigarray<unsigned char>>(h.filesize);  // zeroed
  bigarray<unsigned char>& img = *image;
  auto put = [&](std::uint64_t off, const void* p, std::size_t bytes) {
    if (bytes) std::memcpy(img.data() + off, p, bytes);
  };
  put(h.areatop, areatop.data(), areatop.size() * 4);
  put(h.groups, groups.data(), groups.size() * sizeof(towerindexgroup));
  auto areaout = [&] {
  {
    auto* out = reinterpret_cast<std::uint32_t*>(img.data() + h.areaentries);
    for (std::uint32_t i = 0; i < n; ++i) out[i] = static_cast<std::uint32_t>(byarea[i] & recmask);
  }
  byarea.release();
  put(h.celltop, celltop.data(), celltop.size() * 4);
  {
    auto* out = reinterpret_cast<std::uint32_t*>(img.data() + h.cellentries);
    std::vector<std::uint32_t> next(celltop.begin(), celltop.end() - 1);
    for (std::uint32_t r = 0; r < n; ++r) out[next[bucket_[r]]++] = r;
  }
  bucket_.release();
  };
  auto gridout = [&] {
  put(h.gridtop, gridtop.data(), gridtop.size() * 4);
  {
    unsigned char* out = img.data() + h.gridentries;
    std::vector<std::uint32_t> next(gridtop.begin(), gridtop.end() - 1);
    for (std::uint32_t r = 0; r < n; ++r) {
      if (cellof[r] == kOffGrid) continue;
      towerindexgridentry e{r, static_cast<std::uint16_t>(qof[r]), static_cast<std::uint16_t>(qof[r] >> 16)};
      std::memcpy(out + std::size_t{next[cellof[r]]++} * sizeof e, &e, sizeof e);
    }
  }
  put(h.outliers, outliers.data(), outliers.size() * 4);
  };
  together(areaout, gridout);
  h.headercheck = blockcheck(reinterpret_cast<const unsigned char*>(&h), offsetof(towerindexheader, headercheck), 0);
  std::memcpy(img.data(), &h, sizeof h);
  auto checks = [&](std::uint64_t from, std::uint64_t to) {
    for (std::uint64_t b = from; b < to; ++b) {
      std::uint64_t check = blockcheck(img.data() + b * kIndexBlock, kIndexBlock, b);
      std::memcpy(img.data() + h.checksoffset + (b - 1) * 8, &check, 8);
    }
  };
  const std::uint64_t half = 1 + datablocks / 2;
  together([&] { checks(1, half); }, [&] { checks(half, datablocks + 1); });
  return image;
}

}  // namespace

std::uint64_t blockcheck(const unsigned char* data, std::size_t n, std::uint64_t blockno) {
  std::uint64_t h = mix(blockno + 0x9E3779B97F4A7C15ULL) ^ n;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, data + i, 8);
    h = (h ^ w) * 0x9E3779B97F4A7C15ULL;  // odd factor: a bijection of h ^ w
    h ^= h >> 32;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, data + i, n - i);
  h = (h ^ tail) * 0x9E3779B97F4A7C15ULL;
  return mix(h);
}

std::string indexpathfor(const std::string& dbpath) {
  if (dbpath.size() > 4 && dbpath.compare(dbpath.size() - 4, 4, ".dat") == 0)
    return dbpath.substr(0, dbpath.size() - 4) + ".idx";
  return dbpath + ".idx";
}

struct indexdraft {
  filestamp stamp;  // of the file when it was read
  std::unique_ptr<bigarray<unsigned char>> image;
};

std::shared_ptr<indexdraft> draftindex(const std::string& path, std::string& error, int settlems) {
  const std::string name = pathtext(path);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = "Datei " + name + std::string(" kann nicht gelesen werden: "_w) + systemreason(errno);
    return nullptr;
  }
  struct closer {
    int fd;
    ~closer() { ::close(fd); }
  } guard{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = name + std::string(" ist keine Datei"_w);
    return nullptr;
  }
  auto unreadable = [&] {
    error = "Datei " + name + std::string(" kann nicht gelesen werden: "_w) + systemreason(errno ? errno : EIO);
    return nullptr;
  };
  auto draft = std::make_shared<indexdraft>();
  filestamp& before = draft->stamp;
  filestamp after;
  std::vector<ttowerrec> block(static_cast<std::size_t>(kScanBlockRecords));
  for (int attempt = 0;; ++attempt) {
    errno = 0;
    if (!fdstamp(fd, before)) return unreadable();
    // A file changed within the last clock tick could change again in the
    // same tick, unseen: read it only once its times lie far enough back.
    std::int64_t age = nowns() - std::max(before.ctimens, before.mtimens);
    const std::int64_t settle = std::int64_t{settlems} * 1000000;
    if (settle > 0 && age < settle) {
      std::this_thread::sleep_for(std::chrono::nanoseconds(std::min(settle - std::max<std::int64_t>(age, 0), settle)));
      if (!fdstamp(fd, before)) return unreadable();
    }
    const std::int64_t count = before.size / static_cast<std::int64_t>(sizeof(ttowerrec));
    if (count >= std::int64_t{1} << indexbuilder::kRecnoBits) {
      error = name + std::string(" ist zu groß für einen Index"_w);
      return nullptr;
    }
    indexbuilder builder(static_cast<std::size_t>(count));
    for (std::int64_t first = 0; first < count;) {
      const std::int64_t want = std::min<std::int64_t>(count - first, kScanBlockRecords);
      if (!readall(fd, static_cast<std::uint64_t>(first) * sizeof(ttowerrec), block.data(),
                   static_cast<std::size_t>(want) * sizeof(ttowerrec)))
        return unreadable();
      for (std::int64_t i = 0; i < want; ++i) builder.add(block[static_cast<std::size_t>(i)]);
      first += want;
    }
    if (!fdstamp(fd, after)) return unreadable();
    if (after == before) {
      draft->image = builder.make(before);
      return draft;
    }
    if (attempt == 2) {
      error = name + std::string(" wurde beim Lesen geändert; kein Index geschrieben"_w);
      return nullptr;
    }
  }
}

bool commitindex(indexdraft& draft, const std::string& dbpath, std::string& error) {
  // The file as it is now: the same contents as read (same file, size and
  // modification time: any write since would have moved the time, see
  // draftindex) under whatever change time a rename gave it.
  filestamp now;
  int fd = ::open(dbpath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  bool same = fd >= 0 && fdstamp(fd, now) && now.device == draft.stamp.device && now.inode == draft.stamp.inode &&
              now.size == draft.stamp.size && now.mtimens == draft.stamp.mtimens;
  if (fd >= 0) ::close(fd);
  if (!same || !draft.image) {
    error = pathtext(dbpath) + std::string(" wurde seit dem Lesen geändert; kein Index geschrieben"_w);
    return false;
  }
  bigarray<unsigned char>& img = *draft.image;
  towerindexheader h;
  std::memcpy(&h, img.data(), sizeof h);
  h.dbctimens = now.ctimens;
  h.headercheck = blockcheck(reinterpret_cast<const unsigned char*>(&h), offsetof(towerindexheader, headercheck), 0);
  std::memcpy(img.data(), &h, sizeof h);
  atomicfile out;
  out.setsync(false);  // a lost or torn index fails its checks and is not used
  if (!out.create(indexpathfor(dbpath))) {
    error = out.error();
    return false;
  }
  try {
    out.write(img.data(), img.size());
    out.finish();
  } catch (const IoError& e) {
    error = e.what();
    return false;
  }
  if (!out.commit()) {
    error = out.error();
    return false;
  }
  return true;
}

bool buildtowerindex(const std::string& dbpath, std::string& error, int settlems) {
  std::shared_ptr<indexdraft> draft = draftindex(dbpath, error, settlems);
  return draft && commitindex(*draft, dbpath, error);
}

towerindex::~towerindex() {
  if (fd_ >= 0) ::close(fd_);
}

bool towerindex::damaged() {
  state_ = indexuse::damaged;
  return false;
}

bool towerindex::open() {
  state_ = indexuse::none;
  filestamp db;
  if (databasepath().empty() || !databasestamp(db)) return false;
  fd_ = ::open(indexpathfor(databasepath()).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    state_ = indexuse::missing;
    return false;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return damaged();
  if (!readall(fd_, 0, &h_, sizeof h_)) return damaged();
  if (std::memcmp(h_.magic, kMagic, sizeof kMagic) != 0 || h_.version != kIndexVersion ||
      h_.blocksize != kIndexBlock ||
      h_.headercheck != blockcheck(reinterpret_cast<const unsigned char*>(&h_), offsetof(towerindexheader, headercheck), 0))
    return damaged();
  if (h_.dbdevice != db.device || h_.dbinode != db.inode || h_.dbsize != db.size || h_.dbmtimens != db.mtimens ||
      h_.dbctimens != db.ctimens) {
    state_ = indexuse::foreign;
    return false;
  }
  // The sections must lie where the header says, inside the data blocks.
  const std::uint64_t n = h_.records, end = h_.checksoffset;
  if (static_cast<std::uint64_t>(st.st_size) != h_.filesize || end % kIndexBlock != 0 || end < kIndexBlock ||
      h_.filesize != end + (end / kIndexBlock - 1) * 8 ||
      static_cast<std::uint64_t>(db.size) / sizeof(ttowerrec) != n || n > INT32_MAX || h_.cellbits > kMaxCellBits ||
      h_.groupcount > n || std::uint64_t{h_.gridcount} + h_.outliercount != n || h_.gridnx == 0 || h_.gridny == 0 ||
      std::uint64_t{h_.gridnx} * h_.gridny > kMaxGridCells || !std::isfinite(h_.gridlon0) ||
      !std::isfinite(h_.gridlat0) || !std::isfinite(h_.gridcell) || !(h_.gridcell > 0) ||
      !fits(h_.areatop, kAreaTopEntries, 4, kIndexBlock, end) ||
      !fits(h_.groups, h_.groupcount, sizeof(towerindexgroup), kIndexBlock, end) ||
      !fits(h_.areaentries, n, 4, kIndexBlock, end) ||
      !fits(h_.celltop, (std::uint64_t{1} << h_.cellbits) + 1, 4, kIndexBlock, end) ||
      !fits(h_.cellentries, n, 4, kIndexBlock, end) ||
      !fits(h_.gridtop, std::uint64_t{h_.gridnx} * h_.gridny + 1, 4, kIndexBlock, end) ||
      !fits(h_.gridentries, h_.gridcount, sizeof(towerindexgridentry), kIndexBlock, end) ||
      !fits(h_.outliers, h_.outliercount, 4, kIndexBlock, end))
    return damaged();
  state_ = indexuse::used;
  return true;
}

bool towerindex::readchecked(std::uint64_t offset, std::size_t n, void* out) {
  if (n == 0) return true;
  if (offset < kIndexBlock || offset > h_.checksoffset || n > h_.checksoffset - offset) return damaged();
  const std::uint64_t b0 = offset / kIndexBlock, b1 = (offset + n - 1) / kIndexBlock;
  const std::size_t nb = static_cast<std::size_t>(b1 - b0 + 1);
  blocks_.resize(nb * kIndexBlock + nb * 8);
  unsigned char* data = blocks_.data();
  unsigned char* checks = data + nb * kIndexBlock;
  if (!readall(fd_, b0 * kIndexBlock, data, nb * kIndexBlock) ||
      !readall(fd_, h_.checksoffset + (b0 - 1) * 8, checks, nb * 8))
    return damaged();
  for (std::size_t i = 0; i < nb; ++i) {
    std::uint64_t want;
    std::memcpy(&want, checks + i * 8, 8);
    if (blockcheck(data + i * kIndexBlock, kIndexBlock, b0 + i) != want) return damaged();
  }
  std::memcpy(out, data + (offset - b0 * kIndexBlock), n);
  return true;
}

bool towerindex::keycandidates(const ttowerrec& crit, std::size_t limit, std::vector<std::int32_t>& out) {
  out.clear();
  if (state_ != indexuse::used) return false;
  const std::uint32_t n = h_.records;
  auto entries = [&](std::uint64_t base, std::uint32_t first, std::uint32_t count) {
    std::size_t at = out.size();
    out.resize(at + count);
    if (!readchecked(base + std::uint64_t{first} * 4, std::size_t{count} * 4, out.data() + at)) return false;
    for (std::size_t i = at; i < out.size(); ++i) {
      if (static_cast<std::uint32_t>(out[i]) >= n || (i > at && out[i] <= out[i - 1])) return damaged();
    }
    return true;
  };
  std::uint32_t range[2];
  const auto cell = static_cast<std::uint32_t>(crit.cellid);
  if (cell != 0) {
    std::uint32_t b = cellbucket(cell, h_.cellbits);
    if (!readchecked(h_.celltop + std::uint64_t{b} * 4, 8, range)) return false;
    if (range[0] > range[1] || range[1] > n) return damaged();
    if (range[1] - range[0] > limit) return false;
    return entries(h_.cellentries, range[0], range[1] - range[0]);
  }
  if (crit.area == 0) return false;
  if (!readchecked(h_.areatop + std::uint64_t{crit.area} * 4, 8, range)) return false;
  if (range[0] > range[1] || range[1] > h_.groupcount) return damaged();
  std::vector<towerindexgroup> groups(range[1] - range[0]);
  if (!readchecked(h_.groups + std::uint64_t{range[0]} * sizeof(towerindexgroup),
                   groups.size() * sizeof(towerindexgroup), groups.data()))
    return false;
  std::uint64_t total = 0;
  int taken = 0;
  for (const towerindexgroup& g : groups) {
    if (g.area != crit.area || g.first > n || g.count > n - g.first) return damaged();
    if (crit.netid != 0 && g.net != crit.netid) continue;
    total += g.count;
    ++taken;
  }
  if (total > limit) return false;
  for (const towerindexgroup& g : groups)
    if ((crit.netid == 0 || g.net == crit.netid) && !entries(h_.areaentries, g.first, g.count)) return false;
  if (taken > 1) {
    std::sort(out.begin(), out.end());
    if (std::adjacent_find(out.begin(), out.end()) != out.end()) return damaged();
  }
  return true;
}

void towerindex::cellrange(double lonlo, double lonhi, double latlo, double lathi, int& x0, int& x1, int& y0,
                           int& y1) const {
  auto along = [&](double lo, double hi, double origin, std::uint32_t cells, int& c0, int& c1) {
    double f0 = std::floor((lo - origin) / h_.gridcell), f1 = std::floor((hi - origin) / h_.gridcell);
    const double last = static_cast<double>(cells) - 1;
    if (!(f1 >= 0) || !(f0 <= last) || !(f0 <= f1)) {
      c0 = 1;
      c1 = 0;
      return;
    }
    c0 = static_cast<int>(std::max(f0, 0.0));
    c1 = static_cast<int>(std::min(f1, last));
  };
  along(lonlo, lonhi, h_.gridlon0, h_.gridnx, x0, x1);
  along(latlo, lathi, h_.gridlat0, h_.gridny, y0, y1);
  if (x0 > x1 || y0 > y1) {
    x0 = 1;
    x1 = 0;
  }
}

bool towerindex::rowentries(int y, int x0, int x1, std::vector<placed>& out) {
  if (state_ != indexuse::used || y < 0 || static_cast<std::uint32_t>(y) >= h_.gridny || x0 < 0 || x0 > x1 ||
      static_cast<std::uint32_t>(x1) >= h_.gridnx)
    return false;
  const std::size_t cells = static_cast<std::size_t>(x1 - x0 + 1);
  std::vector<std::uint32_t> top(cells + 1);
  const std::uint64_t first = std::uint64_t{static_cast<std::uint32_t>(y)} * h_.gridnx + static_cast<std::uint32_t>(x0);
  if (!readchecked(h_.gridtop + first * 4, top.size() * 4, top.data())) return false;
  for (std::size_t i = 0; i < cells; ++i)
    if (top[i] > top[i + 1]) return damaged();
  if (top[cells] > h_.gridcount) return damaged();
  std::vector<towerindexgridentry> e(top[cells] - top[0]);
  if (!readchecked(h_.gridentries + std::uint64_t{top[0]} * sizeof(towerindexgridentry),
                   e.size() * sizeof(towerindexgridentry), e.data()))
    return false;
  const double cs = h_.gridcell, step = cs / 65536.0;
  const double lat0 = h_.gridlat0 + y * cs;
  for (std::size_t c = 0; c < cells; ++c) {
    const double lon0 = h_.gridlon0 + (x0 + static_cast<double>(c)) * cs;
    for (std::uint32_t i = top[c]; i < top[c + 1]; ++i) {
      const towerindexgridentry& g = e[i - top[0]];
      if (g.recno >= h_.records) return damaged();
      double lonlo = lon0 + g.qlon * step, latlo = lat0 + g.qlat * step;
      out.push_back({static_cast<std::int32_t>(g.recno), lonlo, lonlo + step, latlo, latlo + step});
    }
  }
  return true;
}

bool towerindex::outliers(std::vector<std::int32_t>& out) {
  out.assign(h_.outliercount, 0);
  if (!readchecked(h_.outliers, out.size() * 4, out.data())) return false;
  for (std::int32_t r : out)
    if (static_cast<std::uint32_t>(r) >= h_.records) return damaged();
  return true;
}

indexuse lastindexuse() { return lastuse; }
void noteindexuse(indexuse use) { lastuse = use; }

std::size_t indexreadlimit() { return 4096 + static_cast<std::size_t>(std::max(towercount, 0)) / 256; }

void readcandidates(const std::vector<std::int32_t>& recnos, std::vector<ttowerrec>& out) {
  out.resize(recnos.size());
  std::vector<ttowerrec> span;
  for (std::size_t i = 0; i < recnos.size();) {
    std::size_t j = i + 1;
    while (j < recnos.size() && recnos[j] - recnos[j - 1] <= 16 && recnos[j] - recnos[i] < 1024) ++j;
    const std::int32_t first = recnos[i], count = recnos[j - 1] - first + 1;
    if (static_cast<std::size_t>(count) == j - i) {
      if (readtowers(first, count, out.data() + i) < count) throwshortread(first);
    } else {
      span.resize(static_cast<std::size_t>(count));
      if (readtowers(first, count, span.data()) < count) throwshortread(first);
      for (std::size_t k = i; k < j; ++k) out[k] = span[static_cast<std::size_t>(recnos[k] - first)];
    }
    i = j;
  }
}
