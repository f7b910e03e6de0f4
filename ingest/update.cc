#include "ingest/update.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ingest/berlinbounds.h"
#include "ingest/csvreader.h"
#include "ingest/databasepair.h"
#include "ingest/exportreader.h"
#include "ingest/inputsource.h"
#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

namespace {

constexpr std::size_t kCancelEvery = 256 << 10;     // CSV bytes between cancel polls
constexpr std::size_t kBlockRecords = (1 << 20) / sizeof(ttowerrec);

// What makes two records the same cell: radio (type code and type text),
// net, area and cell id (whole, for an NR cell 24 and 36 bits).
struct cellkey {
  std::uint64_t numbers;  // cell id, area, net (the low 32, 16 and 16 bits)
  std::uint16_t high;     // area bits 16..23, cell id bits 32..35 (NR only)
  std::uint8_t code, length;
  std::uint8_t text[10];
  bool operator==(const cellkey& o) const {
    return numbers == o.numbers && high == o.high && code == o.code && length == o.length &&
           std::memcmp(text, o.text, length) == 0;
  }
};

// Files prepared before NR cells had a type code of their own hold the
// NR rows that fitted as code 3 with the type text "NR": the same cell as
// an NR row of the diff, which then replaces that record in place.
bool oldnrrecord(const ttowerrec& r) {
  return r.typecode == 3 && r.typetext[0] == 2 && r.typetext[1] == 'N' && r.typetext[2] == 'R';
}

cellkey keyof(const ttowerrec& r) {
  cellkey k;
  k.numbers = std::uint64_t{static_cast<std::uint32_t>(r.cellid)} |
              std::uint64_t{r.area} << 32 | std::uint64_t{r.netid} << 48;
  k.high = static_cast<std::uint16_t>(areahigh(r) | cellhigh(r) << 8);
  k.code = oldnrrecord(r) ? kTypeNR : r.typecode;
  k.length = r.typetext[0] > 10 ? 10 : r.typetext[0];
  std::memset(k.text, 0, sizeof k.text);
  std::memcpy(k.text, r.typetext + 1, k.length);
  return k;
}

std::uint32_t hashof(const cellkey& k) {
  std::uint64_t t0 = 0, t1 = 0;
  std::memcpy(&t0, k.text, 8);
  std::memcpy(&t1, k.text + 8, 2);
  std::uint64_t h = (k.numbers ^ std::uint64_t{k.high} << 20) * 0x9E3779B97F4A7C15ULL;
  h ^= (t0 ^ (t1 << 16 | std::uint64_t{k.code} << 8 | k.length)) * 0xC2B2AE3D27D4EB4FULL;
  h ^= h >> 31;
  h *= 0xFF51AFD7ED558CCDULL;
  return static_cast<std::uint32_t>(h >> 32);
}

// The German cells of the diff, each with its last row's record, in the
// order of their first row; found by key through an open-addressing table.
class diffcells {
 public:
  struct cell {
    ttowerrec rec;
    cellkey key;
    bool matched = false;  // germtowers.dat holds it
    bool changed = false;  // and its record there differed
  };

  // Adds the row's record; returns false when the cell was there already
  // (its record is then replaced by this one).
  bool put(const ttowerrec& rec) {
    cellkey k = keyof(rec);
    std::uint32_t h = hashof(k);
    if (cells_.size() + 1 > slots_.size() / 2) grow();
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      slot& s = slots_[i];
      if (s.index == 0) {
        cells_.push_back({rec, k});
        s = {h, static_cast<std::uint32_t>(cells_.size())};
        return true;
      }
      if (s.hash == h && cells_[s.index - 1].key == k) {
        cells_[s.index - 1].rec = rec;
        return false;
      }
    }
  }

  cell* find(const ttowerrec& rec) {
    if (cells_.empty()) return nullptr;
    cellkey k = keyof(rec);
    std::uint32_t h = hashof(k);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      const slot& s = slots_[i];
      if (s.index == 0) return nullptr;
      if (s.hash == h && cells_[s.index - 1].key == k) return &cells_[s.index - 1];
    }
  }

  std::vector<cell>& cells() { return cells_; }

 private:
  struct slot {
    std::uint32_t hash = 0;
    std::uint32_t index = 0;  // 1-based into cells_; 0: empty
  };

  void grow() {
    std::vector<slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 1024 : old.size() * 2, slot{});
    std::size_t mask = slots_.size() - 1;
    for (const slot& s : old) {
      if (s.index == 0) continue;
      std::size_t i = s.hash & mask;
      while (slots_[i].index != 0) i = (i + 1) & mask;
      slots_[i] = s;
    }
  }

  std::vector<slot> slots_;
  std::vector<cell> cells_;
};

// The existing germtowers.dat, read front to back in blocks.
class databasereader {
 public:
  ~databasereader() {
    if (fd_ >= 0) ::close(fd_);
  }

  // 0: opened; ENOENT: no such file; other: errno of the failure.  A
  // name that is no regular file gives kNotRegular, with what it is in
  // kind().
  static constexpr int kNotRegular = -1;
  int open(const std::string& path) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
      int code = errno;
      struct stat st {};
      if (code == ENOENT || ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return code;
      kindof(st);
      return kNotRegular;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) {
      kindof(st);
      return kNotRegular;
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    return 0;
  }
  const std::string& kind() const { return kind_; }
  std::uint64_t bytes() const { return size_; }

  std::uint64_t records() const { return size_ / sizeof(ttowerrec); }

  // Fills buf with up to n whole records; 0 at the end.  Throws IoError.
  std::size_t read(ttowerrec* buf, std::size_t n) {
    std::uint64_t left = records() - done_;
    if (n > left) n = static_cast<std::size_t>(left);
    auto* p = reinterpret_cast<char*>(buf);
    std::size_t want = n * sizeof(ttowerrec), got = 0;
    while (got < want) {
      ssize_t r = ::pread(fd_, p + got, want - got, static_cast<off_t>(done_ * sizeof(ttowerrec) + got));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0)
        throw IoError(errno, std::string("Lesefehler in "_w) + pathtext(path_) + ": " + systemreason(errno));
      if (r == 0)
        throw IoError(EIO, pathtext(path_) + std::string(" ist beim Lesen kürzer geworden"_w));
      got += static_cast<std::size_t>(r);
    }
    done_ += n;
    return n;
  }

 private:
  void kindof(const struct stat& st) {
    kind_ = S_ISDIR(st.st_mode)    ? std::string("ein Verzeichnis"_w)
            : S_ISFIFO(st.st_mode) ? std::string("eine FIFO (benannte Pipe)"_w)
            : S_ISSOCK(st.st_mode) ? std::string("ein Socket"_w)
            : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? std::string("ein Gerät"_w)
                                                          : std::string("keine gewöhnliche Datei"_w);
  }

  int fd_ = -1;
  std::string path_, kind_;
  std::uint64_t size_ = 0, done_ = 0;
};

}  // namespace

std::uint64_t updatecounts::skippedtotal() const {
  std::uint64_t n = 0;
  for (auto s : skipped) n += s;
  return n;
}

updateresult updatedatabase(const updateoptions& options) {
  updateresult result;
  updatecounts& counts = result.counts;
  auto failed = [&](const std::string& message) {
    result.ok = false;
    result.error = message;
    return result;
  };
  auto cancelled = [&] { return options.cancelled && options.cancelled(); };

  // One writer at a time: the lock before the database is read.
  databasepair pair;
  std::string pairerror;
  if (!pair.begin(options.dir, {options.waiting, options.cancelled, -1}, pairerror)) return failed(pairerror);
  result.notes = pair.notes();

  const std::string germanpath = joinpath(options.dir, kGermanFile);
  databasereader db;
  if (int e = db.open(germanpath); e != 0) {
    if (e == ENOENT) {
      result.nodatabase = true;
      return failed(std::string(kGermanFile) + std::string(" fehlt in "_w) + pathtext(options.dir) +
                    std::string(": zuerst mit turmcli prepare aus einem ganzen Export anlegen"_w));
    }
    if (e == databasereader::kNotRegular)
      return failed(pathtext(germanpath) + " ist " + db.kind() +
                    std::string(", keine Datenbankdatei: nichts geschrieben"_w));
    return failed(pathtext(germanpath) + std::string(" lässt sich nicht öffnen: "_w) + systemreason(e));
  }
  if (db.records() == 0)
    return failed(pathtext(germanpath) +
                  (db.bytes() == 0 ? std::string(" ist leer (0 Bytes)"_w)
                                   : " hat " + std::to_string(db.bytes()) +
                                         std::string(" Bytes, keinen ganzen Datensatz"_w)) +
                  std::string(": keine Datenbank zum Aktualisieren, nichts geschrieben (neu anlegen mit turmcli prepare)"_w));
  counts.before = db.records();

  atomicfile german, berlin;
  if (!german.create(options.dir, kGermanFile)) return failed(german.error());
  if (!berlin.create(options.dir, kBerlinFile)) return failed(berlin.error());

  inputsource in;
  if (!in.open(options.diffpath)) return failed(in.error());
  in.setcancel(options.cancelled);
  csvreader csv(in);
  if (options.cancelled) csv.setcancel(options.cancelled, kCancelEvery);
  csvcolumns columns;
  std::string headererror;
  if (!readexportheader(csv, options.diffpath, columns, headererror)) return failed(headererror);

  // One pass over the diff: its German cells into memory.  The reader
  // polls for cancellation by bytes, blank lines and passed-over rows too.
  diffcells diff;
  std::string rowerror;
  bool read = readexportrows(csv, in, columns, options.progress, counts,
                             [&](const ttowerrec& rec, bool) {
                               if (!diff.put(rec)) ++counts.superseded;
                             },
                             rowerror);
  if (!read) return failed(rowerror);
  if (cancelled()) return failed("Abgebrochen");
  if (counts.before + diff.cells().size() > static_cast<std::uint64_t>(INT32_MAX))
    return failed(std::string(kGermanFile) + std::string(" würde mehr als 2.147.483.647 Datensätze halten"_w));

  // One pass over the database: known cells replaced in place, every
  // record written to the new germtowers.dat and, in the box, to the new
  // berlintowers.dat; then the new cells behind them.
  try {
    std::vector<ttowerrec> block(kBlockRecords);
    for (;;) {
      std::size_t n = db.read(block.data(), block.size());
      if (n == 0) break;
      for (std::size_t i = 0; i < n; ++i) {
        ttowerrec& rec = block[i];
        if (diffcells::cell* c = diff.find(rec)) {
          c->matched = true;
          if (std::memcmp(&rec, &c->rec, sizeof rec) != 0) {
            c->changed = true;
            rec = c->rec;
          }
        }
        if (inberlin(rec)) {
          berlin.write(&rec, sizeof rec);
          ++counts.berlin;
        }
      }
      german.write(block.data(), n * sizeof(ttowerrec));
      counts.german += n;
      if (cancelled()) return failed("Abgebrochen");
    }
    for (const diffcells::cell& c : diff.cells()) {
      if (c.matched) {
        ++(c.changed ? counts.updated : counts.unchanged);
        continue;
      }
      german.write(&c.rec, sizeof c.rec);
      ++counts.german;
      ++counts.added;
      if (inberlin(c.rec)) {
        berlin.write(&c.rec, sizeof c.rec);
        ++counts.berlin;
      }
    }
    if (cancelled()) return failed("Abgebrochen");
    pair.finish(german, berlin);
  } catch (const IoError& e) {
    return failed(e.what());
  }
  if (cancelled()) return failed("Abgebrochen");
  if (!pair.replace(german, berlin, pairerror)) return failed(pairerror);
  result.notes.insert(result.notes.end(), pair.indexnotes().begin(), pair.indexnotes().end());
  result.ok = true;
  return result;
}
