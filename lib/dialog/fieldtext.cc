#include "lib/dialog/fieldtext.h"

#include "lib/support/strnum.h"
#include "lib/support/w1252.h"

namespace {
// What the converters read: a real of up to 20 characters, a whole number
// of up to 10.  A field holding more is refused with its message rather
// than read cut (a cut "000000000123456" would be 1).
constexpr std::size_t kRealChars = 20;
constexpr std::size_t kCardChars = 10;
constexpr std::size_t kWideChars = 15;

// A text that is no number at all is named as typed in the message: the
// converted value (0) would claim that a valid number was out of range.
std::string shownvalue(bool readable, const std::string& number, const std::string& text) {
  return readable ? number : text;
}
}  // namespace

void realfieldtext(const std::string& text, real& value, real minimum, real maximum, bool& ok,
                   std::string& message) {
  int errpos = 0;
  long double v = text.size() > kRealChars ? 0.0L : strtoreal(text, errpos);
  if (text.size() > kRealChars) errpos = static_cast<int>(kRealChars) + 1;
  value = toreal(v);
  bool readable = errpos == 0;
  ok = readable && toext(minimum) <= v && v <= toext(maximum);
  message.clear();
  if (!ok)
    message = "Realwert " + shownvalue(readable, realtogeneral(v), text) + std::string(" muß >="_w) +
              realtogeneral(minimum) + " und <=" + realtogeneral(maximum) + " sein";
}

std::uint32_t cardfieldtext(const std::string& text, bool& readable) {
  if (text.size() > kCardChars) {
    readable = false;
    return 0;
  }
  int error = 0;
  std::uint32_t v = strtocard(text, error);
  readable = error == 0;
  return v;
}

void intfieldtext(const std::string& text, std::int32_t& value, real minimum, real maximum, bool& ok,
                  std::string& message) {
  bool readable = false;
  value = static_cast<std::int32_t>(cardfieldtext(text, readable));
  long double v = value;
  ok = readable && toext(minimum) <= v && v <= toext(maximum);
  message.clear();
  if (!ok)
    message = "Ganzzahl-Wert " + shownvalue(readable, longtostr(value), text) + std::string(" muß >="_w) +
              realtostr(1, 0, minimum) + " und <=" + realtostr(1, 0, maximum) + " sein";
}

void widefieldtext(const std::string& text, std::uint64_t& value, std::uint64_t maximum, bool& ok,
                   std::string& message) {
  int error = 1;
  std::int64_t v = text.size() > kWideChars ? 0 : strtowide(text, error);
  bool readable = error == 0;
  ok = readable && v >= 0 && static_cast<std::uint64_t>(v) <= maximum;
  message.clear();
  if (ok)
    value = static_cast<std::uint64_t>(v);
  else
    message = "Ganzzahl-Wert " + shownvalue(readable, std::to_string(v), text) +
              std::string(" muß >=0 und <="_w) + std::to_string(maximum) + " sein";
}
