// Mapping of one OpenCelliD CSV row to a tower record.
//
// findcolumns locates the columns by their header names (case and blanks
// around them ignored, a UTF-8 byte order mark on the first name too);
// convertrow checks one data row and fills the record, or names why the
// row does not fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "celldb/towerrec.h"

struct csvcolumns {
  int radio = -1, mcc = -1, net = -1, area = -1, cell = -1, unit = -1, lon = -1, lat = -1,
      range = -1, samples = -1;
  std::size_t needed = 0;  // a row needs at least this many fields
};

// Finds the columns in the header fields.  radio, mcc, net, area, cell,
// lon, lat and range are required; unit and samples are optional (0 when
// absent).  Returns false and names the missing columns (comma separated)
// in missing.
bool findcolumns(const std::string_view* fields, std::size_t count, csvcolumns& columns,
                 std::string& missing);

// Why a row was not written.  kRowOk: converted; kRowOtherCountry: a valid
// row of another mobile country code (not an error).
enum rowverdict : int {
  kRowOk = -2,
  kRowOtherCountry = -1,
  kSkipMalformed = 0,  // too few fields, broken quoting, or mcc not a number
  kSkipNet,            // net not in 0..65535
  kSkipArea,           // area not in 0..65535 (NR: 0..16777215)
  kSkipCell,           // cell not in 0..2147483647 (NR: 0..68719476735)
  kSkipPosition,       // lon/lat not a number or outside -180..180 / -90..90
  kSkipRange,          // range not a 32-bit integer
  kSkipUnitSamples,    // unit not a 16-bit or samples not a 32-bit number
  kSkipReasons
};

// The German mobile country code; rows of other codes are left out.
inline constexpr std::int64_t kGermanMcc = 262;

// Checks one row of mcc 262 and fills rec; berlin tells whether it lies in
// the Berlin box.  Rows of other countries return kRowOtherCountry without
// further checks.  typereplaced (optional) tells whether control bytes in
// the radio name were replaced (see setradio).
rowverdict convertrow(const std::string_view* fields, std::size_t count, const csvcolumns& columns,
                      ttowerrec& rec, bool& berlin, bool* typereplaced = nullptr);

// True when an mcc field is the valid code of another country: the rows
// convertrow answers with kRowOtherCountry when they have enough fields.
bool isothercountry(std::string_view mccfield);

// Type code and text for an OpenCelliD radio name: GSM 1, UMTS 2, LTE 4,
// CDMA 5, NR 6 (any case; an NR row keeps its 24-bit area and 36-bit cell
// id whole, see towerrec.h); anything else code 3 with its own text (Windows-1252,
// cut to 10 bytes by settypetext).  Control bytes (below 32, and 127) in
// that text are stored as "?", so that no database carries a terminal
// command; returns true when it replaced any.
bool setradio(ttowerrec& rec, std::string_view radio);
