// Lookups through the index beside the database (celldb/towerindex.h).
//
// The index only names the records a lookup has to read; each one is read
// and tested with the scan's own filter by the caller, so the answer is
// the scan's.  Whenever the index can't serve (missing, not belonging to
// the open file, damaged, or naming more records than one read each would
// be worth), these return false and the caller scans; a read failure of
// the database on the way also returns false, so that the scan meets it
// and leaves its list as it does.  lastindexuse() then says what was found.
#pragma once

#include <cstdint>
#include <vector>

#include "celldb/towerindex.h"
#include "celldb/towerrec.h"

// The records that may pass a filter with crit's key fields, rising, with
// their contents.
bool indexedrecords(const ttowerrec& crit, std::vector<std::int32_t>& recnos, std::vector<ttowerrec>& recs);
