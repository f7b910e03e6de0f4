// The selection criteria and the key-field filter.
//
// `criteria` is the process-wide selection template (a tower record): in
// every key field 0 means "any".  Its longitude/latitude, when not 0, are
// the centre of a position window of half-widths tolerancelon/tolerancelat.
// All position arithmetic is done in extended precision on the stored
// reals; a difference equal to the tolerance passes.
#pragma once

#include <cstdint>

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
