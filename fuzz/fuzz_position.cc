// The position text reader: valid exactly when both parts (split at the
// first comma of the text cut to 255 bytes) pass the reference syntax,
// and the values are the parts' values.
#include <cmath>
#include <cstdint>
#include <string>

#include "app/core/positioninput.h"
#include "fuzz/fuzzfiles.h"
#include "fuzz/numref.h"

namespace {

void checkpart(const decimalref& ref, long double got) {
  if (!ref.ok) return;
  long double exact;
  if (fastvalue(ref, exact)) FUZZ_CHECK(got == exact);
  FUZZ_CHECK(std::isfinite(got));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  PositionInput p = parsepositiontext(text);

  std::string cuttext = text.substr(0, 255);
  std::size_t comma = cuttext.find(',');
  std::string latpart = cuttext.substr(0, comma);
  decimalref lat = readdecimalref(latpart);
  decimalref lon;  // no comma: an empty longitude, which is not a number
  if (comma != std::string::npos) lon = readdecimalref(cuttext.substr(comma + 1));
  FUZZ_CHECK(p.valid == (lat.ok && lon.ok));
  if (p.valid) {
    checkpart(lat, p.lat);
    checkpart(lon, p.lon);
  }
  // The latitude part is read the same whatever follows the comma.
  if (comma != std::string::npos && latpart.size() <= 253) {
    PositionInput q = parsepositiontext(latpart + ",0");
    FUZZ_CHECK(q.valid == lat.ok);
    if (q.valid && p.valid) FUZZ_CHECK(q.lat == p.lat);
  }
  return 0;
}
