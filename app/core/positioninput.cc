#include "app/core/positioninput.h"

#include <string>

#include "lib/support/strnum.h"

namespace {
bool readpart(std::string_view part, long double& value) {
  int errpos = 0;
  value = strtoreal(cut(part, 40), errpos);
  return errpos == 0;
}
}  // namespace

PositionInput parsepositiontext(std::string_view text) {
  PositionInput p;
  std::string rest(text);
  std::string latpart = splitfield(',', rest, 255);
  bool latok = readpart(latpart, p.lat);
  bool lonok = readpart(rest, p.lon);
  p.valid = latok && lonok;
  p.inrange = p.valid && p.lat >= -90 && p.lat <= 90 && p.lon >= -180 && p.lon <= 180;
  return p;
}
