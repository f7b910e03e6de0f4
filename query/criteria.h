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
// field takes every record.
inline bool matchkeys(const ttowerrec& rec, const ttowerrec& crit) {
  // Every test is evaluated and combined without branches: a scan then
  // pays no mispredicted jump per record.  The result is the same as
  // testing the fields one after the other.
  bool type = (crit.typecode == 0) | (crit.typecode == rec.typecode) |
              ((crit.typecode == 3) & (rec.typecode == 0));
  bool net = (crit.netid == 0) | (crit.netid == rec.netid);
  bool match = (crit.matchcode == 0) | (crit.matchcode == rec.matchcode);
  bool area = (crit.area == 0) | (crit.area == rec.area);
  bool cell = (crit.cellid == 0) | (crit.cellid == rec.cellid);
  return type & net & match & area & cell;
}

// matchkeys(rec, crit) for a fixed crit, made for the scans: the key
// fields lie together at bytes 11..21 of a record, so they are compared
// as two masked words (bytes 10..13 and 14..21) instead of field by field.
// The type rule for "Unbekannt" (3 also takes 0) is the one extra test.
class KeyFilter {
 public:
  explicit KeyFilter(const ttowerrec& crit) {
    const auto* c = reinterpret_cast<const unsigned char*>(&crit);
    auto field = [&](int offset, int size, bool hi) {
      bool set = false;
      for (int i = 0; i < size; ++i) set |= c[offset + i] != 0;
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
    unknown_ = crit.typecode == 3;
    if (!unknown_) field(11, 1, false);
    field(12, 2, false);  // matchcode
    field(14, 2, true);   // netid
    field(16, 2, true);   // area
    field(18, 4, true);   // cellid
  }

  // True when every record passes (no key field set).
  bool takesall() const { return lomask_ == 0 && himask_ == 0 && !unknown_; }

  bool operator()(const ttowerrec& rec) const {
    const auto* r = reinterpret_cast<const unsigned char*>(&rec);
    std::uint32_t lo;
    std::uint64_t hi;
    std::memcpy(&lo, r + 10, sizeof lo);
    std::memcpy(&hi, r + 14, sizeof hi);
    bool keys = ((lo & lomask_) == lowant_) & ((hi & himask_) == hiwant_);
    return keys & (!unknown_ | (rec.typecode == 0) | (rec.typecode == 3));
  }

 private:
  std::uint32_t lomask_ = 0, lowant_ = 0;
  std::uint64_t himask_ = 0, hiwant_ = 0;
  bool unknown_ = false;
};

// matchkeys, then the window: an axis is tested only when the criteria's
// coordinate on it is not 0; the record fails when |difference| > tolerance.
bool matchwithin(const ttowerrec& rec, const ttowerrec& crit, real tollon, real tollat);

// True when no key field and no coordinate of crit is set (typetext and
// range are not looked at).
bool criteriaempty(const ttowerrec& crit);

// One pass over the open database: resultlist[1..resultcount] := the
// numbers of the records passing matchwithin, in file order, at most
// kMaxResults.  A read error throws IoError; the list then keeps the
// records found before it.
void selectbycriteria(const ttowerrec& crit, real tollon, real tollat);
