// The selection criteria and the key-field filter.
//
// `criteria` is the process-wide selection template (a tower record): in
// every key field 0 means "any".  Its longitude/latitude, when not 0, are
// the centre of a position window of half-widths tolerancelon/tolerancelat.
// All position arithmetic is done in extended precision on the stored
// reals; a difference equal to the tolerance passes.
#pragma once

#include <cstdint>
#include <cstring>

#include "celldb/towerrec.h"
#include "lib/support/real48.h"

extern ttowerrec criteria;  // all zero at start
extern real tolerancelon;   // 0.2 as a stored real at start
extern real tolerancelat;   // 0.33 as a stored real at start

// Key-field test, in this order: type (criteria type 3 "Unbekannt" also
// takes records coded 0), netid, matchcode, area, cellid; a 0 criterion
// field takes every record.  Area and cell id are compared whole: the
// criteria's 24/36 bits (criteriaarea, criteriacell) with the record's
// (recordarea, recordcell), so a criterion beyond 16/32 bits finds only
// NR cells.
inline bool matchkeys(const ttowerrec& rec, const ttowerrec& crit) {
  // Every test is evaluated and combined without branches: a scan then
  // pays no mispredicted jump per record.  The result is the same as
  // testing the fields one after the other.
  const std::uint32_t wantarea = criteriaarea(crit);
  const std::uint64_t wantcell = criteriacell(crit);
  bool type = (crit.typecode == 0) | (crit.typecode == rec.typecode) |
              ((crit.typecode == 3) & (rec.typecode == 0));
  bool net = (crit.netid == 0) | (crit.netid == rec.netid);
  bool match = (crit.matchcode == 0) | (crit.matchcode == rec.matchcode);
  bool area = (wantarea == 0) | (wantarea == recordarea(rec));
  bool cell = (wantcell == 0) | (wantcell == recordcell(rec));
  return type & net & match & area & cell;
}

// matchkeys(rec, crit) for a fixed crit, made for the scans: the key
// fields lie together at bytes 11..21 of a record, so they are compared
// as two masked words (bytes 10..13 and 14..21) instead of field by field.
// The type rule for "Unbekannt" (3 also takes 0) is the one extra test.
// Area and cell id go into the words with their low 16/32 bits; their high
// bits (NR records only) are looked at only for the records the words
// take, and only when the criteria's type lets NR records through.
class KeyFilter {
 public:
  explicit KeyFilter(const ttowerrec& crit) {
    const auto* c = reinterpret_cast<const unsigned char*>(&crit);
    auto field = [&](int offset, int size, bool hi, bool set) {
      if (!set) return;
      for (int i = 0; i < size; ++i) {
        int shift = 8 * (offset - (hi ? 14 : 10) + i);
        if (hi) {
          himask_ |= std::uint64_t{0xFF} << shift;
          hiwant_ |= std::uint64_t{c[offset + i]} << shift;
        } else {
          lomask_ |= std::uint32_t{0xFF} << shift;
          lowant_ |= std::uint32_t{c[offset + i]} << shift;
        }
      }
    };
    const std::uint32_t area = criteriaarea(crit);
    const std::uint64_t cell = criteriacell(crit);
    unknown_ = crit.typecode == 3;
    if (!unknown_) field(11, 1, false, crit.typecode != 0);
    field(12, 2, false, crit.matchcode != 0);
    field(14, 2, true, crit.netid != 0);
    field(16, 2, true, area != 0);
    field(18, 4, true, cell != 0);
    const std::uint32_t areahi = area >> 16, cellhi = static_cast<std::uint32_t>(cell >> 32);
    const bool nrpass = crit.typecode == 0 || crit.typecode == kTypeNR;
    if (nrpass) {
      wide_ = area != 0 || cell != 0;
      if (area != 0) highmask_ |= 0xFF, highwant_ |= areahi;
      if (cell != 0) highmask_ |= 0xF00, highwant_ |= cellhi << 8;
    } else if (areahi != 0 || cellhi != 0) {
      // Only NR records hold wide keys, and this type excludes them: a
      // wanted bit outside the mask makes the words match nothing.
      lowant_ |= 1;
    }
  }

  // True when every record passes (no key field set).
  bool takesall() const { return lomask_ == 0 && himask_ == 0 && lowant_ == 0 && !unknown_; }

  bool operator()(const ttowerrec& rec) const {
    const auto* r = reinterpret_cast<const unsigned char*>(&rec);
    std::uint32_t lo;
    std::uint64_t hi;
    std::memcpy(&lo, r + 10, sizeof lo);
    std::memcpy(&hi, r + 14, sizeof hi);
    bool keys = ((lo & lomask_) == lowant_) & ((hi & himask_) == hiwant_);
    keys &= !unknown_ | (rec.typecode == 0) | (rec.typecode == 3);
    return keys && (!wide_ || highkeys(rec));
  }

 private:
  // The record's high area and cell bits (0 unless NR) against the wanted.
  bool highkeys(const ttowerrec& rec) const {
    std::uint32_t high = areahigh(rec) | cellhigh(rec) << 8;
    return (high & highmask_) == highwant_;
  }

  std::uint32_t lomask_ = 0, lowant_ = 0;
  std::uint64_t himask_ = 0, hiwant_ = 0;
  std::uint32_t highmask_ = 0, highwant_ = 0;
  bool wide_ = false;
  bool unknown_ = false;
};

// matchkeys, then the window: an axis is tested only when the criteria's
// coordinate on it is not 0; the record fails when |difference| > tolerance.
bool matchwithin(const ttowerrec& rec, const ttowerrec& crit, real tollon, real tollat);

// True when no key field (area and cell id whole) and no coordinate of
// crit is set (typetext and range are not looked at).
bool criteriaempty(const ttowerrec& crit);

// One pass over the open database: resultlist[1..resultcount] := the
// numbers of the records passing matchwithin, in file order, at most
// kMaxResults.  A read error throws IoError; the list then keeps the
// records found before it.
void selectbycriteria(const ttowerrec& crit, real tollon, real tollat);
