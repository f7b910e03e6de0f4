// Helpers for the tests of the lookup commands: running turmcli in the
// process, splitting its output, and the expected results worked out here
// from the records themselves (not through the query library).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "celldb/towerrec.h"
#include "query/listcolumns.h"

namespace lookuptest {

struct run {
  int status;
  std::string out, err;  // UTF-8 as printed
};
run turmcli(const std::vector<std::string>& args);

std::vector<std::string> lines(const std::string& text);
std::vector<std::string> fields(const std::string& csvline);
// A printed line back in Windows-1252, so byte offsets are character columns.
std::string w1252(const std::string& utf8);
// The text starting at 1-based column col, up to the next blank.
std::string wordat(const std::string& line, int col);

// The key fields as a selection sets them; 0 takes every record.
struct keys {
  int type = 0;
  int net = 0;
  int area = 0;
  std::int32_t cell = 0;
};
bool passes(const ttowerrec& r, const keys& k);
// Record numbers of the records passing k, in file order.
std::vector<std::int32_t> selected(const std::vector<ttowerrec>& recs, const keys& k);

// The growing-window search: windows t0, 2 t0, ... (at most 10) around
// (lon, lat) until one holds n records; an axis whose centre is exactly 0
// is skipped when skipzeroaxis.  Record numbers in file order.
std::vector<std::int32_t> windowsearch(const std::vector<ttowerrec>& recs, const keys& k,
                                       long double lon, long double lat, long double t0,
                                       bool skipzeroaxis, int n = 20);

// Whether python3 with json and xml.etree is there, and what it prints
// running `script` on `file` (standard error too).
bool havepython();
std::string python(const std::string& script, const std::string& file);

long double lonof(const ttowerrec& r);
long double latof(const ttowerrec& r);
std::string six(long double v);  // "%.6Lf"
std::string hex(std::uint32_t v);  // upper case, no leading zeros

}  // namespace lookuptest
