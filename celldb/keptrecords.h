// Copies of the records a search has just taken, by record number, so
// that printing a sparse result list needs no read per record (one
// positioned read per row costs more than formatting it).
//
// The copies belong to the open database file: opening or closing a file
// drops them.  A search starts a new set (beginkeeping) and adds each
// record it takes in rising record order, up to kMaxKeptRecords; a record
// number not among them is read from the file as before.
#pragma once

#include <cstdint>

#include "celldb/towerrec.h"

inline constexpr std::int32_t kMaxKeptRecords = 1 << 16;

// Drops the copies.
void beginkeeping();

// Adds a copy of record recno (ignored beyond kMaxKeptRecords or when recno
// is not above the last one kept).
void keeprecord(std::int32_t recno, const ttowerrec& rec);

// The kept copy of record recno, or nullptr.
const ttowerrec* keptrecord(std::int32_t recno);
