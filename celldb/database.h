// The open cell database and the current result list (process-wide state).
//
// Exactly one database file is open at a time, read-only.  Records are read
// by number from the file, never held in memory; only the result list
// (record numbers in display order) is.  All names below are used by the
// list screen, the searches and the commands.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "celldb/recordsource.h"
#include "celldb/resultlist.h"
#include "celldb/towerrec.h"

extern std::string dbfilename;  // name of the open file; "germtowers.dat" at start
extern std::int32_t towercount;  // records found when the file was opened
// resultlist[1..resultcount] hold record numbers; entry 0 is never used.
// kMaxResults + 1 entries for the program's lifetime, none of them touched
// before it is used (celldb/resultlist.h).
extern ResultList resultlist;
extern std::int32_t resultcount;

// Where switchdatabase reports a file it cannot open; infomessage unless a
// test installs its own.
using DatabaseNotice = void (*)(std::string_view text);
extern DatabaseNotice databasenotice;

struct OpenResult {
  bool ok = false;
  std::int32_t total = 0;  // records (file size div 44) when ok
};

// Opens the existing file `name` read-only as the database.  On success the
// previously open file is closed, dbfilename = name and towercount = total
// (the result list is left to the caller: selectall).  A failing open
// reports ok = false, raises nothing and leaves the open file, its name and
// its count as they were.
OpenResult opendatabase(const std::string& name);
// The same with a source opened by the caller (tests: an in-memory file).
// A source whose size cannot be read fails like a missing file.
OpenResult opendatabase(const std::string& name, std::unique_ptr<RecordSource> source);

// True while a database file is open.
bool databaseopen();

// The records the open file holds now: its current size / 44, never more
// than towercount (a file that grew is read as it was opened).  Fewer when
// the file shrank while open; towercount when its size can't be read; 0
// while no file is open.
std::int32_t readablerecords();

// Whether the name of the open file (dbfilename) now names another
// regular file than the one open (an update renamed a new file over it),
// or the open file has grown beyond towercount.  False while no file is
// open, when the name is gone (nothing to open instead) and for sources
// without a file identity.  The open file is read as before either way:
// the caller reopens it (opendatabase) to see the new one.
bool databasereplaced();

// The path the open file was opened by (opendatabase's name; dbfilename
// may be changed to a shorter name for titles after that).
const std::string& databasepath();

// The stamp of the open file now (recordsource.h); false while no file is
// open or for sources without one.
bool databasestamp(filestamp& s);

// Closes the database file (if open); towercount and resultcount become 0
// so nothing refers to the closed file.
void closedatabase();

// Reads record n with one positioned read of 44 bytes.  Throws IoError
// (carrying errno; EIO for a short read, EBADF when no file is open,
// EINVAL for a negative n) when the record cannot be read completely:
// n at or beyond the end, or a file that shrank while open.
ttowerrec readtower(std::int32_t n);

// Reads up to count records starting at record first into buf with one
// positioned read.  Returns the number of complete records read (fewer
// than count when the file ends early).  Throws IoError when the read
// fails or no file is open.
std::int32_t readtowers(std::int32_t first, std::int32_t count, ttowerrec* buf);

// Lists all records: resultcount = min(towercount, kMaxResults),
// resultlist[i] = i - 1 (recorded as a range, not written entry by entry).
void selectall();

// Switches to the file `name`.  Same name: nothing happens, returns true.
// Otherwise opens the new file first; on success it replaces the old one,
// dbfilename = name, towercount = total, selectall(), returns true.  On
// failure the old file, its name and the result list stay; the notice
// "Datei " + name + " konnte nicht geöffnet werden!" goes out through
// databasenotice and false is returned.
bool switchdatabase(const std::string& name);

// Type text for a code: "Alle", "GSM", "UMTS", "Unbekannt", "LTE", "CDMA",
// "NR" (0..6), else the code in decimal followed by "???".
inline constexpr int kLastTypeCode = 6;
std::string nettypename(int code);

// Operator for a net id: 1 "Telekom", 2 "Vodafone", 3 "O2", 4 "Vodafone",
// 5 "O2", 6 "Telekom", 7 "O2", 0 "Alle", 8 and above "".
std::string OperatorName(int netid);

// Throws the IoError (EIO) of a record that could not be read completely.
[[noreturn]] void throwshortread(std::int32_t n);

// Records per block of a scan: about 1 MiB.  The fuzz build makes the
// blocks small, so that short inputs cross block borders.
#ifdef TURM_SCAN_BLOCK_RECORDS
inline constexpr std::int32_t kScanBlockRecords = TURM_SCAN_BLOCK_RECORDS;
#else
inline constexpr std::int32_t kScanBlockRecords = (1 << 20) / 44;
#endif

// The block a scan reads into: one buffer of kScanBlockRecords records in
// static storage, reused by every scan (never allocated or cleared per
// scan).  A scan started while another one holds it (a visitor that scans
// again) gets a buffer of its own.
class ScanBlock {
 public:
  ScanBlock();
  ~ScanBlock();
  ScanBlock(const ScanBlock&) = delete;
  ScanBlock& operator=(const ScanBlock&) = delete;
  ttowerrec* data() { return data_; }

 private:
  ttowerrec* data_;
  bool shared_;
};

// Visits the records 0 .. towercount - 1 of the open file in file order,
// reading them in blocks of kScanBlockRecords with one positioned read
// each.  visit(n, record) returns false to stop early.  Throws IoError on
// a read failure or when the file turns out shorter than towercount; the
// complete records before the failure have been visited.
template <typename Visit>
void scantowers(Visit&& visit) {
  const std::int32_t total = towercount;
  if (total <= 0) return;
  ScanBlock block;
  for (std::int32_t first = 0; first < total;) {
    std::int32_t want = total - first < kScanBlockRecords ? total - first : kScanBlockRecords;
    std::int32_t got = readtowers(first, want, block.data());
    const ttowerrec* recs = block.data();
    for (std::int32_t i = 0; i < got; ++i)
      if (!visit(first + i, recs[i])) return;
    if (got < want) throwshortread(first + got);
    first += got;
  }
}

namespace scandetail {
template <typename Visit>
[[gnu::noinline]] bool visitoutofline(Visit& visit, std::int32_t n, const ttowerrec& rec) {
  return visit(n, rec);
}
}  // namespace scandetail

// scantowers for scans that keep few records: take(record), a cheap test,
// runs on every record in a tight loop; visit(n, record) is called out of
// line, only for the records take holds for (and returns false to stop).
// take may change with what visit saw.  Failures as for scantowers.
template <typename Take, typename Visit>
void scantaking(Take&& take, Visit&& visit) {
  const std::int32_t total = towercount;
  if (total <= 0) return;
  ScanBlock block;
  for (std::int32_t first = 0; first < total;) {
    std::int32_t want = total - first < kScanBlockRecords ? total - first : kScanBlockRecords;
    std::int32_t got = readtowers(first, want, block.data());
    const ttowerrec* recs = block.data();
    for (const ttowerrec *r = recs, *end = recs + got; r != end; ++r)
      if (take(*r)) [[unlikely]]
        if (!scandetail::visitoutofline(visit, first + static_cast<std::int32_t>(r - recs), *r)) return;
    if (got < want) throwshortread(first + got);
    first += got;
  }
}
