#include "cli/berlinbounds.h"

#include "cli/fieldparse.h"

namespace {

constexpr double kLonMin = 13.08, kLonMax = 13.77, kLatMin = 52.33, kLatMax = 52.68;

// Compares the exact decimal x (text, nearest double d) with the bound
// (text, nearest double b).  Rounding is monotonic, so d < b or d > b
// decide; only d == b needs the digits.  An exponent form that rounds to
// the bound's double counts as equal to it.
int comparetobound(std::string_view text, double d, std::string_view boundtext, double b) {
  if (d < b) return -1;
  if (d > b) return 1;
  int c = comparedecimal(text, boundtext);
  return c == 2 ? 0 : c;
}

}  // namespace

bool inberlin(std::string_view lontext, double lon, std::string_view lattext, double lat) {
  return comparetobound(lontext, lon, kBerlinLonMin, kLonMin) >= 0 &&
         comparetobound(lontext, lon, kBerlinLonMax, kLonMax) <= 0 &&
         comparetobound(lattext, lat, kBerlinLatMin, kLatMin) >= 0 &&
         comparetobound(lattext, lat, kBerlinLatMax, kLatMax) <= 0;
}
