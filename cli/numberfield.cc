#include "cli/numberfield.h"

#include "lib/support/strnum.h"
#include "lib/support/w1252.h"

namespace {
// What the dialog's reader looks at.
constexpr std::size_t kFieldChars = 10;
constexpr std::size_t kWideChars = 15;
}  // namespace

numberstatus readnumberfield(std::string_view text, std::int32_t minimum, std::int32_t maximum,
                             std::int32_t& value) {
  if (text.size() > kMaxText) return numberstatus::kUnreadable;
  std::string t(text);
  trimboth(t);
  if (t.empty() || t.size() > kFieldChars) return numberstatus::kUnreadable;
  int error = 0;
  std::int32_t v = static_cast<std::int32_t>(strtocard(t, error));
  if (error != 0) return numberstatus::kUnreadable;
  if (v < minimum || v > maximum) return numberstatus::kOutOfRange;
  value = v;
  return numberstatus::kOk;
}

std::string numberfielderror(std::string_view name, std::string_view text, numberstatus status,
                             std::int32_t minimum, std::int32_t maximum) {
  std::string head = std::string(name) + ": ";
  if (status == numberstatus::kOutOfRange) {
    int error = 0;
    std::string t(text);
    trimboth(t);
    std::int32_t v = static_cast<std::int32_t>(strtocard(t, error));
    return head + "Ganzzahl-Wert " + longtostr(v) + std::string(" muß >="_w) + longtostr(minimum) +
           " und <=" + longtostr(maximum) + " sein";
  }
  return head + "\"" + cut(text, 40) + "\" ist keine lesbare Zahl";
}

numberstatus readwidefield(std::string_view text, std::uint64_t maximum, std::uint64_t& value) {
  if (text.size() > kMaxText) return numberstatus::kUnreadable;
  std::string t(text);
  trimboth(t);
  if (t.empty() || t.size() > kWideChars) return numberstatus::kUnreadable;
  int error = 0;
  std::int64_t v = strtowide(t, error);
  if (error != 0) return numberstatus::kUnreadable;
  if (v < 0 || static_cast<std::uint64_t>(v) > maximum) return numberstatus::kOutOfRange;
  value = static_cast<std::uint64_t>(v);
  return numberstatus::kOk;
}

std::string widefielderror(std::string_view name, std::string_view text, numberstatus status,
                           std::uint64_t maximum) {
  std::string head = std::string(name) + ": ";
  if (status == numberstatus::kOutOfRange) {
    int error = 0;
    std::string t(text);
    trimboth(t);
    return head + "Ganzzahl-Wert " + std::to_string(strtowide(t, error)) + std::string(" muß >=0 und <="_w) +
           std::to_string(maximum) + " sein";
  }
  return head + "\"" + cut(text, 40) + "\" ist keine lesbare Zahl";
}
