// Reading the text of the position input: latitude first, then longitude,
// split at the first comma ("52.497973,13.342015", as copied from a web map).
#pragma once

#include <string_view>

struct PositionInput {
  bool valid = false;     // both parts are decimal numbers
  bool inrange = false;   // valid, latitude in -90..90 and longitude in -180..180
  long double lat = 0;    // the part before the first comma
  long double lon = 0;    // the rest
};

// Each part: at most its first 40 bytes, blanks around it removed, a comma
// taken as the decimal point, then optional sign, digits, optional point
// and digits, optional exponent.  A text without a comma has an empty (so
// invalid) longitude.  Never fails otherwise; invalid input gives
// valid = false.
PositionInput parsepositiontext(std::string_view text);
