// Text that users type: UTF-8 to Windows-1252 conversion, turmcli's number
// options and its whole option reading, and the conversions of the
// dialog's field readers (the cell selection dialog's net, area and cell
// id fields).  The first input byte picks the
// reader, the rest is the text (for the option reader: arguments split at
// NUL bytes).
//
// Properties:
//  * utf8ToW1252 equals a strict decoder (an overlong, surrogate or
//    out-of-range sequence is malformed and gives "?", like a cut or
//    broken one) and undoes w1252ToUtf8 byte for byte;
//  * readnumberfield reads a text the same with blanks around it; a value
//    read is within the range and reads back from its decimal and "$" hex
//    forms; "out of range" and "unreadable" mean the same whatever the
//    range (unreadable under one range is unreadable under all); the
//    complaint is one line naming the value or the text;
//  * parselookupargs either fails with a complaint or yields values within
//    their ranges, sets only the options allowed, and reads its own
//    canonical spelling of the result back to the same result;
//  * the dialog's whole-number reader keeps a value read within its range,
//    says why otherwise (naming the text when it is no number), and reads
//    every text exactly as turmcli reads that option;
//    its real reader keeps the stored value within the range.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "celldb/database.h"
#include "cli/lookupoptions.h"
#include "cli/numberfield.h"
#include "fuzz/fuzzfiles.h"
#include "lib/dialog/fieldtext.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "maps/maplinks.h"

namespace {

// UTF-8 by the standard: shortest form only, no surrogates, nothing above
// U+10FFFF.  Returns the code point or -1 (one byte consumed).
long strictdecode(const std::string& s, std::size_t& i) {
  auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  if (c < 0x80) return ++i, c;
  int len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) return ++i, -1;
  long cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    if ((b(i + static_cast<std::size_t>(k)) & 0xC0) != 0x80) return ++i, -1;
    cp = cp << 6 | (b(i + static_cast<std::size_t>(k)) & 0x3F);
  }
  static const long kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return ++i, -1;
  i += static_cast<std::size_t>(len);
  return cp;
}

std::string utf8ref(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    long cp = strictdecode(s, i);
    int byte = cp < 0 ? -1 : w1252detail::byteFor(static_cast<char32_t>(cp));
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

void checkutf8(const std::string& text) {
  std::string got = utf8ToW1252(text);
  FUZZ_CHECK(got == utf8ref(text));
  // The other way round: every byte comes back, the five unused ones as "?".
  std::string back = utf8ToW1252(w1252ToUtf8(text));
  FUZZ_CHECK(back.size() == text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    bool unused = c >= 0x80 && c < 0xA0 && w1252detail::kHigh[c - 0x80] == 0;
    FUZZ_CHECK(back[i] == (unused ? '?' : text[i]));
  }
}

template <typename T>
T consume(FuzzedDataProvider& in) {
  T v{};
  std::vector<std::uint8_t> b = in.ConsumeBytes<std::uint8_t>(sizeof v);
  if (!b.empty()) std::memcpy(&v, b.data(), b.size());
  return v;
}

std::string hexof(std::int32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "$%X", static_cast<unsigned>(v));
  return b;
}

void checknumber(FuzzedDataProvider& in) {
  std::int32_t a = in.ConsumeIntegral<std::int32_t>(), b = in.ConsumeIntegral<std::int32_t>();
  if (in.ConsumeBool()) a = 0, b = b < 0 ? 65535 : b;  // the ranges the options use
  std::int32_t minimum = a < b ? a : b, maximum = a < b ? b : a;
  std::string text = in.ConsumeRemainingBytesAsString();

  std::int32_t value = 12345, full = 0;
  numberstatus st = readnumberfield(text, minimum, maximum, value);
  numberstatus fullst = readnumberfield(text, INT32_MIN, INT32_MAX, full);
  FUZZ_CHECK(fullst != numberstatus::kOutOfRange);
  if (fullst == numberstatus::kUnreadable) {
    FUZZ_CHECK(st == numberstatus::kUnreadable);
    FUZZ_CHECK(value == 12345);
  } else {
    bool inside = full >= minimum && full <= maximum;
    FUZZ_CHECK(st == (inside ? numberstatus::kOk : numberstatus::kOutOfRange));
    if (inside) FUZZ_CHECK(value == full);
    std::int32_t again = 0;
    if (longtostr(full).size() <= 10)  // -2147483648 only as "$80000000"
      FUZZ_CHECK(readnumberfield(longtostr(full), INT32_MIN, INT32_MAX, again) == numberstatus::kOk && again == full);
    FUZZ_CHECK(readnumberfield(hexof(full), INT32_MIN, INT32_MAX, again) == numberstatus::kOk && again == full);
  }
  if (text.size() + 4 <= kMaxText) {
    std::int32_t padded = 0;
    FUZZ_CHECK(readnumberfield("  " + text + "  ", INT32_MIN, INT32_MAX, padded) == fullst);
    if (fullst == numberstatus::kOk) FUZZ_CHECK(padded == full);
  }
  if (st != numberstatus::kOk) {
    std::string m = numberfielderror("--net", text, st, minimum, maximum);
    FUZZ_CHECK(m.rfind("--net: ", 0) == 0);
    if (st == numberstatus::kOutOfRange) FUZZ_CHECK(m.find(longtostr(full)) != std::string::npos);
    else FUZZ_CHECK(m.find(cut(text, 40)) != std::string::npos);
  }
}

// The canonical spelling of what parselookupargs read.
std::vector<std::string> spelled(const lookupargs& a, unsigned allowed) {
  std::vector<std::string> args;
  if (allowed & kOptDb) args.insert(args.end(), {"--db", a.db});
  if (allowed & kOptKeys) {
    args.insert(args.end(), {"--type", nettypename(a.keys.typecode)});
    args.insert(args.end(), {"--net", longtostr(a.keys.netid)});
    args.push_back("--area=$" + hexwideshort(criteriaarea(a.keys)));
    args.insert(args.end(), {"--cell", std::to_string(criteriacell(a.keys))});
  }
  if (allowed & kOptFormat) {
    static const char* const kNames[] = {"grid", "csv", "geojson", "kml"};
    args.insert(args.end(), {"--format", kNames[static_cast<int>(a.format)]});
  }
  if ((allowed & kOptLimit) && a.limit >= 0) args.insert(args.end(), {"--limit", longtostr(static_cast<std::int32_t>(a.limit))});
  if ((allowed & kOptObject) && a.hasobject) args.insert(args.end(), {"--object", longtostr(a.object)});
  if ((allowed & kOptLabels) && a.labels) args.push_back("--labels");
  if ((allowed & kOptMap) && a.map >= 0) args.insert(args.end(), {"--map", a.map == kGoogleMaps ? "google" : "osm"});
  return args;
}

void checkargs(FuzzedDataProvider& in) {
  unsigned allowed = in.ConsumeIntegral<std::uint8_t>();
  std::string all = in.ConsumeRemainingBytesAsString();
  std::vector<std::string> args;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= all.size() && args.size() < 24; ++i)
    if (i == all.size() || all[i] == '\0') {
      args.push_back(all.substr(start, i - start));
      start = i + 1;
    }
  lookupargs a;
  std::string error;
  if (!parselookupargs(args, allowed, a, error)) {
    FUZZ_CHECK(!error.empty());
    return;
  }
  const lookupargs defaults;
  FUZZ_CHECK(a.keys.typecode <= kLastTypeCode && gettypetext(a.keys) == nettypename(a.keys.typecode));
  FUZZ_CHECK(criteriaarea(a.keys) <= kMaxArea24 && criteriacell(a.keys) <= kMaxCell36);
  FUZZ_CHECK(a.limit >= -1 && a.object >= 0);
  FUZZ_CHECK(!(a.hasobject && a.hasposition));
  if (a.hasposition) FUZZ_CHECK(a.lat >= -90 && a.lat <= 90 && a.lon >= -180 && a.lon <= 180);
  if (!(allowed & kOptDb)) FUZZ_CHECK(a.db == defaults.db);
  if (allowed & kOptDb) FUZZ_CHECK(!a.db.empty());
  if (!(allowed & kOptKeys))
    FUZZ_CHECK(a.keys.typecode == 0 && a.keys.netid == 0 && criteriaarea(a.keys) == 0 && criteriacell(a.keys) == 0);
  if (!(allowed & kOptFormat)) FUZZ_CHECK(a.format == defaults.format);
  if (!(allowed & kOptLimit)) FUZZ_CHECK(a.limit == -1);
  if (!(allowed & kOptObject)) FUZZ_CHECK(!a.hasobject);
  if (!(allowed & kOptPosition)) FUZZ_CHECK(!a.hasposition);
  if (!(allowed & kOptMap)) FUZZ_CHECK(a.map == defaults.map);
  if (!(allowed & kOptLabels)) FUZZ_CHECK(!a.labels);

  lookupargs b;
  std::string error2;
  std::vector<std::string> again = spelled(a, allowed);
  FUZZ_CHECK(parselookupargs(again, allowed, b, error2));
  FUZZ_CHECK(b.db == a.db && std::memcmp(&b.keys, &a.keys, sizeof a.keys) == 0 && b.limit == a.limit &&
             b.format == a.format && b.hasobject == a.hasobject && b.object == a.object && b.map == a.map && b.labels == a.labels);
}

void checkdialog(FuzzedDataProvider& in) {
  std::int32_t a = in.ConsumeIntegral<std::int32_t>(), b = in.ConsumeIntegral<std::int32_t>();
  if (in.ConsumeBool()) a = 0, b = b < 0 ? 65535 : b;
  std::int32_t minimum = a < b ? a : b, maximum = a < b ? b : a;
  real rmin = consume<real>(in), rmax = consume<real>(in);
  std::string text = in.ConsumeRemainingBytesAsString();
  trimboth(text);  // as the reader fetches it

  std::int32_t value = 0;
  bool ok = false;
  std::string message;
  intfieldtext(text, value, toreal(minimum), toreal(maximum), ok, message);
  if (ok) {
    FUZZ_CHECK(value >= minimum && value <= maximum && message.empty());
  } else {
    FUZZ_CHECK(message.rfind("Ganzzahl-Wert ", 0) == 0 && message.size() > 5 &&
               message.compare(message.size() - 5, 5, " sein") == 0);
    bool readable = false;
    std::int32_t v = static_cast<std::int32_t>(cardfieldtext(text, readable));
    FUZZ_CHECK(message.find(readable ? longtostr(v) : text) != std::string::npos);
  }
  std::int32_t cli = 0;
  bool cliok = readnumberfield(text, minimum, maximum, cli) == numberstatus::kOk;
  FUZZ_CHECK(cliok == ok);
  if (ok) FUZZ_CHECK(cli == value);

  real r{};
  realfieldtext(text, r, rmin, rmax, ok, message);
  if (ok) FUZZ_CHECK(toext(rmin) <= toext(r) && toext(r) <= toext(rmax) && message.empty());
  else FUZZ_CHECK(message.rfind("Realwert ", 0) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: checkutf8(in.ConsumeRemainingBytesAsString()); break;
    case 1: checknumber(in); break;
    case 2: checkargs(in); break;
    default: checkdialog(in); break;
  }
  return 0;
}
