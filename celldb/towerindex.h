// The index beside a database file: germtowers.idx beside germtowers.dat,
// berlintowers.idx beside berlintowers.dat (the name with ".dat" replaced,
// or ".idx" appended).  It only narrows the records a selection or a
// surrounding search has to read: every record it names is read from the
// database and tested with the scan's own filter, so an answer through the
// index is the scan's answer; the scan stays the way when it can't be used.
//
// File layout (all integers and doubles little-endian), a sequence of
// 4096-byte blocks:
//
//   block 0      the header (towerindexheader), the rest of the block 0
//   blocks 1..   the sections named by the header, each at its offset:
//     area top      65537 x u32: the first group of area value a (low 16
//                   bits) is areatop[a]; its groups end at areatop[a + 1]
//     groups        groupcount x towerindexgroup, ordered by (low 16 bits
//                   of the area, net, area bits 16..23): one group per
//                   whole area (recordarea) and net
//     area entries  records x u32 record numbers, group by group, rising
//                   within a group
//     cell top      (1 << cellbits) + 1 x u32: the entries of hash bucket b
//                   (of the cell id's low 32 bits, cellbucket) are
//                   cellentries[celltop[b] .. celltop[b + 1])
//     cell entries  records x u32 record numbers, bucket by bucket, rising
//     grid top      gridnx * gridny + 1 x u32: entries of the grid cell
//                   (x, y), x along the longitude, are
//                   gridentries[gridtop[y * gridnx + x] .. gridtop[... + 1])
//     grid entries  gridcount x towerindexgridentry, cell by cell
//     outliers      outliercount x u32: records whose position lies off
//                   -180..180 / -90..90 (a damaged file), in no grid cell
//   the check table, at checksoffset (a block border): one u64 per block
//     1 .. checksoffset / 4096 - 1, blockcheck(block bytes, block number)
//
// A grid cell is gridcell degrees wide on both axes from (gridlon0,
// gridlat0); an entry's qlon/qlat place the record inside its cell in
// steps of gridcell / 65536 (rounded down), so a reader bounds the position
// without reading the record (plus a margin for rounding).
//
// Belonging.  The header names the database file it was made from: device,
// inode, size, mtime and ctime in nanoseconds (filestamp).  It is used only
// while the open database file has exactly these (fstat of the open file,
// not the name), the header's own check holds, the index file has the size
// the header says, and every block read passes its check.
//
// What "exactly" covers.  Our writers never change a database file in
// place: they write a new file and rename it, so a new database is a new
// inode.  A change in place by another program moves the file's mtime and
// ctime; a program can set the mtime back (utimensat), never the ctime.
// File times tick coarsely (a clock tick, 1 to 10 ms on Linux), so a change
// made in the same tick as the builder's read would keep both times; the
// builder therefore reads a file only once its mtime and ctime lie at least
// kIndexSettleMs in the past (waiting for the rest): any change after the
// read then moves the mtime, and the ctime unless it falls in the tick of
// the builder's final stamp.  A writer builds the index from its temporary
// file while syncing it and, after the rename, takes the file's stamp
// again: same inode, size and mtime, or no index from that draft (a rename
// changes the ctime only, which the index records).  Not covered: a change
// in place within the same clock tick as that final stamp whose writer
// also sets the mtime back, a system clock set back by more than the
// settling time between build and change, file systems without these
// times (some network mounts), and an index forged on purpose with valid
// checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "celldb/recordsource.h"
#include "celldb/towerrec.h"

inline constexpr std::uint32_t kIndexBlock = 4096;
inline constexpr std::uint32_t kIndexVersion = 1;
inline constexpr int kIndexSettleMs = 20;

#pragma pack(push, 1)
struct towerindexheader {
  char magic[8];  // "TURMIDX" and a 0 byte
  std::uint32_t version;
  std::uint32_t blocksize;
  // The database file it was made from.
  std::uint64_t dbdevice, dbinode;
  std::int64_t dbsize, dbmtimens, dbctimens;
  std::uint32_t records;  // dbsize / 44
  std::uint32_t cellbits;
  std::uint64_t filesize;
  std::uint64_t checksoffset;
  std::uint64_t areatop, groups, areaentries;
  std::uint32_t groupcount, gridnx;
  std::uint64_t celltop, cellentries;
  double gridlon0, gridlat0, gridcell;
  std::uint32_t gridny, gridcount;
  std::uint64_t gridtop, gridentries;
  std::uint64_t outliers;
  std::uint32_t outliercount, reserved;
  std::uint64_t headercheck;  // blockcheck of the bytes before it, block number 0
};

struct towerindexgroup {
  std::uint16_t area;      // low 16 bits of the whole area
  std::uint16_t net;
  std::uint8_t areahigh;   // bits 16..23
  std::uint8_t reserved[3];
  std::uint32_t first;     // first of its area entries
  std::uint32_t count;
};

struct towerindexgridentry {
  std::uint32_t recno;
  std::uint16_t qlon, qlat;
};
#pragma pack(pop)

static_assert(sizeof(towerindexheader) == 200);
static_assert(offsetof(towerindexheader, dbdevice) == 16);
static_assert(offsetof(towerindexheader, records) == 56);
static_assert(offsetof(towerindexheader, filesize) == 64);
static_assert(offsetof(towerindexheader, gridlon0) == 128);
static_assert(offsetof(towerindexheader, headercheck) == 192);
static_assert(sizeof(towerindexgroup) == 16);
static_assert(offsetof(towerindexgroup, first) == 8);
static_assert(sizeof(towerindexgridentry) == 8);

// The check of one block (or of the header's bytes): a 64-bit hash in
// which a change of any one 8-byte word always changes the result.
std::uint64_t blockcheck(const unsigned char* data, std::size_t n, std::uint64_t blockno);

// Hash bucket of a cell id (its low 32 bits) among 1 << bits.
inline std::uint32_t cellbucket(std::uint32_t cell, std::uint32_t bits) {
  return bits == 0 ? 0 : static_cast<std::uint32_t>((cell * 0x9E3779B1u) >> (32 - bits));
}

// The index of a file made before the file is put in place (a writer's
// temporary file, while it is synced): draftindex reads it (settling as
// buildtowerindex does), commitindex writes the index beside it under its
// final name dbpath once renamed there, provided it is still the same file
// with the same size and modification time (a rename changes only its
// change time, which the index then records).  Both false / nullptr with a
// message in error.
struct indexdraft;
std::shared_ptr<indexdraft> draftindex(const std::string& path, std::string& error, int settlems = kIndexSettleMs);
bool commitindex(indexdraft& draft, const std::string& dbpath, std::string& error);

// "x.dat" -> "x.idx", else name + ".idx".
std::string indexpathfor(const std::string& dbpath);

// Builds the index of the database file dbpath beside it, through a
// temporary file and a rename (the caller holds the folder's lock when
// other writers may run).  Waits up to kIndexSettleMs for a file changed
// just now (see Belonging; settlems: only the fuzz target, where nothing
// else writes, waits less).  False with a message (Windows-1252) in error.
bool buildtowerindex(const std::string& dbpath, std::string& error, int settlems = kIndexSettleMs);

// How the last lookup that could have used an index fared.
enum class indexuse {
  none,     // the lookup narrows nothing the index knows, or no file is open
  used,
  missing,  // no index file
  foreign,  // made from another file or an older state of it
  damaged,  // cut, damaged, or of another version
};

// The index of the open database (databasepath()), opened and checked for
// one lookup; positioned reads of the parts needed, every block checked.
class towerindex {
 public:
  // Opens and checks the index; false (state() says why) when it can't be
  // used.
  bool open();
  indexuse state() const { return state_; }

  // The record numbers, rising and without repeats, of every record whose
  // key fields may equal those set in crit (cell id: low 32 bits; area:
  // low 16 bits; net), at most limit of them.  False when crit sets none
  // of them, when more would come (state stays used) or when the index
  // turns out damaged (state damaged).
  bool keycandidates(const ttowerrec& crit, std::size_t limit, std::vector<std::int32_t>& out);

  // A grid entry with the bounds of its record's position (degrees;
  // the true value lies within them).
  struct placed {
    std::int32_t recno;
    double lonlo, lonhi, latlo, lathi;
  };
  // The grid cells whose area meets the box [lonlo, lonhi] x [latlo,
  // lathi] (clamped to the grid): x0..x1, y0..y1; empty when x0 > x1.
  void cellrange(double lonlo, double lonhi, double latlo, double lathi, int& x0, int& x1, int& y0,
                 int& y1) const;
  // Appends the entries of the cells x0..x1 of row y.  False when damaged.
  bool rowentries(int y, int x0, int x1, std::vector<placed>& out);
  // The records in no grid cell.  False when damaged.
  bool outliers(std::vector<std::int32_t>& out);

 private:
  bool readchecked(std::uint64_t offset, std::size_t n, void* out);
  bool damaged();

  int fd_ = -1;
  towerindexheader h_{};
  indexuse state_ = indexuse::none;
  std::vector<unsigned char> blocks_;

 public:
  towerindex() = default;
  ~towerindex();
  towerindex(const towerindex&) = delete;
  towerindex& operator=(const towerindex&) = delete;
};

// What the last lookup through the index found (for turmcli's hint);
// notelookup records it.
indexuse lastindexuse();
void noteindexuse(indexuse use);

// Candidates a lookup reads through the index at most before it scans
// instead (about where one read per record costs more than the scan).
std::size_t indexreadlimit();

// Reads the records recnos (rising) into out, coalescing neighbours into
// one positioned read.  IoError as readtowers.
void readcandidates(const std::vector<std::int32_t>& recnos, std::vector<ttowerrec>& out);
