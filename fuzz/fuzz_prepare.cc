// The CSV reader and the whole conversion on arbitrary bytes, against
// reference code written independently here: a plain whole-text CSV
// splitter and a row converter on strtod/strtold.
//
// The first input byte chooses the variants:
//   bit 0   also convert the gzip-compressed input: same outcome, same files
//   bit 1   also convert a cut-off gzip file: must fail, old files kept
//   bit 2-7 where the cut is made
// The second byte sets the buffers (small, so that refills, the record
// limit and the cancel polls are reached by short inputs):
//   bit 0-2 CSV buffer, bit 3-5 record limit, bit 6-7 cancellation
// The rest is the input file, passed as it is: one that starts with the
// gzip magic bytes 1f 8b goes to the inflater, read once on the inflating
// thread and once without it, with the same bytes or the same failure.
//
// Properties: the reader gives the reference's records (fields, line,
// broken mark) and fails only on a record longer than its limit; a
// conversion writes exactly the records the reference converter makes of
// the reference rows, Berlin's in the same order, with the same counts;
// it fails only where the reference says it must (no German cell, a record
// too long, cancelled) and then leaves the old files; cancel polls come at
// least every `cancelevery` bytes; no temporary file stays behind.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "celldb/towerrec.h"
#include "ingest/berlinbounds.h"
#include "ingest/csvreader.h"
#include "ingest/inputsource.h"
#include "ingest/prepare.h"
#include "ingest/towerrow.h"
#include "fuzz/fuzzfiles.h"
#include "lib/support/w1252.h"

namespace {

std::string gzip(const std::string& data) {
  z_stream z{};
  if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
  std::string out(deflateBound(&z, data.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) std::abort();
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

struct sizes {
  std::size_t csvbuffer, maxrecord, inputblock, cancelevery;
  int cancelat;  // cancel at this poll (0: never)
};

sizes choosesizes(std::uint8_t b) {
  static constexpr std::size_t buffers[] = {1, 64, 100, 256, 1000, 4096, 1 << 14, 1 << 16};
  static constexpr std::size_t records[] = {4, 9, 31, 64, 200, 1000, 4096, 1 << 14};
  static constexpr int cancels[] = {0, 1, 3, 0};
  sizes s;
  s.csvbuffer = buffers[b & 7];
  s.maxrecord = records[(b >> 3) & 7];
  s.inputblock = b & 1 ? 16 : 4096;
  s.cancelevery = (b >> 6) == 3 ? 7 : 64;
  s.cancelat = cancels[b >> 6];
  return s;
}

// ---- Reference splitter: the whole text at once, by the quoting rules.

struct refrecord {
  std::vector<std::string> fields;
  bool broken = false;
  bool blank = false;
  std::uint64_t line = 0;    // 1-based line of its first byte
  std::size_t length = 0;    // bytes from its start through its line end
};

std::vector<refrecord> refsplit(const std::string& text) {
  std::vector<refrecord> out;
  std::size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  std::uint64_t line = 1;
  while (i < text.size()) {
    refrecord r;
    r.line = line;
    const std::size_t start = i;
    std::string field;
    bool quoted = false, infield = false, lastcr = false, done = false;
    while (!done) {
      if (i == text.size()) {
        if (quoted) r.broken = true;
        if (lastcr) field.pop_back();
        r.fields.push_back(field);
        break;
      }
      char c = text[i++];
      if (quoted) {
        if (c == '"') {
          if (i < text.size() && text[i] == '"') {
            field += '"';
            ++i;
          } else {
            quoted = false;
          }
        } else {
          if (c == '\n') ++line;
          field += c;
        }
        lastcr = false;
        continue;
      }
      switch (c) {
        case ',':
          r.fields.push_back(field);
          field.clear();
          infield = false;
          lastcr = false;
          break;
        case '\n':
          if (lastcr) field.pop_back();
          r.fields.push_back(field);
          ++line;
          done = true;
          break;
        case '"':
          if (!infield) {
            quoted = infield = true;
            lastcr = false;
            break;
          }
          [[fallthrough]];
        default:
          field += c;
          infield = true;
          lastcr = c == '\r';
      }
    }
    r.length = i - start;
    r.blank = r.fields.size() == 1 && r.fields[0].empty() && !r.broken;
    out.push_back(std::move(r));
  }
  return out;
}

// ---- Reference row conversion.

std::string reftrim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool refdigit(char c) { return c >= '0' && c <= '9'; }

std::string refnumbertext(const std::string& s) {
  std::string t = reftrim(s);
  if (t.size() > 1 && t[0] == '+' && (t[1] == '.' || refdigit(t[1]))) t.erase(0, 1);
  return t;
}

bool refint(const std::string& s, long long lo, long long hi, long long& v) {
  std::string t = refnumbertext(s);
  std::size_t i = t.size() > 0 && t[0] == '-' ? 1 : 0;
  if (i == t.size()) return false;
  __int128 x = 0;
  for (std::size_t j = i; j < t.size(); ++j) {
    if (!refdigit(t[j])) return false;
    x = x * 10 + (t[j] - '0');
    if (x > (static_cast<__int128>(1) << 64)) return false;  // far beyond 64 bits
  }
  if (i == 1) x = -x;
  if (x > INT64_MAX || x < INT64_MIN || x < lo || x > hi) return false;
  v = static_cast<long long>(x);
  return true;
}

bool refoptional(const std::string& s, long long lo, long long hi, long long& v) {
  if (reftrim(s).empty()) {
    v = 0;
    return true;
  }
  return refint(s, lo, hi, v);
}

// A plain decimal ([-]digits[.digits][e[+-]digits], one digit at least
// before the exponent): its nearest double and its nearest 6-byte real.
bool refcoordinate(const std::string& s, double& d, real& stored) {
  std::string t = refnumbertext(s);
  std::size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  bool digits = false;
  while (i < t.size() && refdigit(t[i])) ++i, digits = true;
  if (i < t.size() && t[i] == '.')
    for (++i; i < t.size() && refdigit(t[i]); ++i) digits = true;
  if (!digits) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i >= t.size() || !refdigit(t[i])) return false;
    while (i < t.size() && refdigit(t[i])) ++i;
  }
  if (i != t.size()) return false;
  long double x = std::strtold(t.c_str(), nullptr);
  if (!std::isfinite(x)) return false;
  d = std::strtod(t.c_str(), nullptr);
  stored = toreal(x);
  return true;
}

bool sameletters(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (x != b[i]) return false;
  }
  return true;
}

void refradio(ttowerrec& r, const std::string& radio, bool& replaced) {
  std::string t = reftrim(radio);
  static const char* names[] = {"GSM", "UMTS", "LTE", "CDMA", "NR"};
  static const std::uint8_t codes[] = {1, 2, 4, 5, 6};
  for (int k = 0; k < 5; ++k) {
    if (sameletters(t, names[k])) {
      r.typecode = codes[k];
      r.typetext[0] = static_cast<std::uint8_t>(std::strlen(names[k]));
      std::memcpy(r.typetext + 1, names[k], std::strlen(names[k]));
      return;
    }
  }
  r.typecode = 3;
  bool ascii = true;
  for (unsigned char c : t) ascii = ascii && c < 0x80;
  std::string w = ascii ? t : utf8ToW1252(t);
  if (w.size() > 10) w.resize(10);
  for (char& c : w) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      c = '?';
      replaced = true;
    }
  }
  r.typetext[0] = static_cast<std::uint8_t>(w.size());
  std::memcpy(r.typetext + 1, w.data(), w.size());
}

struct expectation {
  bool header = false;        // a header with all needed columns
  bool toolong = false;       // a record beyond the limit (the reader may refuse it)
  preparecounts counts;
  std::string german, berlin;
};

expectation refconvert(const std::vector<refrecord>& records, std::size_t maxrecord) {
  expectation x;
  csvcolumns c;
  bool seenheader = false;
  for (const refrecord& r : records) {
    if (r.length > maxrecord) x.toolong = true;
    if (r.blank) continue;
    if (!seenheader) {
      seenheader = true;
      std::vector<std::string_view> f(r.fields.begin(), r.fields.end());
      std::string missing;
      x.header = findcolumns(f.data(), f.size(), c, missing);
      if (!x.header) return x;
      continue;
    }
    preparecounts& n = x.counts;
    ++n.rows;
    const auto& f = r.fields;
    auto skip = [&](int reason) { ++n.skipped[reason]; };
    long long mcc, net, area, cell, range, unit = 0, samples = 0;
    double lon, lat;
    ttowerrec rec{};
    // 5G rows: a 24-bit area and a 36-bit cell id.
    const bool nr = f.size() >= c.needed && sameletters(reftrim(f[c.radio]), "NR");
    if (r.broken || f.size() < c.needed || !refint(f[c.mcc], 0, 999999, mcc)) {
      skip(kSkipMalformed);
    } else if (mcc != 262) {
      ++n.othercountry;
    } else if (!refint(f[c.net], 0, 65535, net)) {
      skip(kSkipNet);
    } else if (!refint(f[c.area], 0, nr ? 0xFFFFFF : 65535, area)) {
      skip(kSkipArea);
    } else if (!refint(f[c.cell], 0, nr ? 0xFFFFFFFFFLL : 2147483647, cell)) {
      skip(kSkipCell);
    } else if (!refcoordinate(f[c.lon], lon, rec.longitude) || !(lon >= -180 && lon <= 180) ||
               !refcoordinate(f[c.lat], lat, rec.latitude) || !(lat >= -90 && lat <= 90)) {
      skip(kSkipPosition);
    } else if (!refint(f[c.range], INT32_MIN, INT32_MAX, range)) {
      skip(kSkipRange);
    } else if ((c.unit >= 0 && !refoptional(f[c.unit], -32768, 65535, unit)) ||
               (c.samples >= 0 && !refoptional(f[c.samples], INT32_MIN, UINT32_MAX, samples))) {
      skip(kSkipUnitSamples);
    } else {
      bool replaced = false;
      refradio(rec, f[c.radio], replaced);
      rec.matchcode = 262;
      rec.netid = static_cast<std::uint16_t>(net);
      rec.area = static_cast<std::uint16_t>(area);
      rec.cellid = static_cast<std::int32_t>(static_cast<std::uint32_t>(cell));
      if (nr) {  // the high bits beyond the type text "NR"
        rec.typetext[9] = static_cast<std::uint8_t>(area >> 16);
        rec.typetext[10] = static_cast<std::uint8_t>(cell >> 32);
      }
      rec.unit22[0] = static_cast<std::uint8_t>(unit);
      rec.unit22[1] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(unit) >> 8);
      rec.range = static_cast<std::int32_t>(range);
      for (int k = 0; k < 4; ++k)
        rec.samples40[k] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(samples) >> (8 * k));
      x.german.append(reinterpret_cast<const char*>(&rec), sizeof rec);
      ++n.german;
      if (replaced) ++n.typereplaced;
      if (inberlin(rec)) {
        x.berlin.append(reinterpret_cast<const char*>(&rec), sizeof rec);
        ++n.berlin;
      }
    }
  }
  return x;
}

// ---- The code under test.

// The reader alone on a plain input, record by record against the reference.
void checkreader(const std::string& path, const std::string& csv, const sizes& z) {
  inputsource in;
  FUZZ_CHECK(in.open(path, false, z.inputblock));
  csvreader reader(in, z.csvbuffer, z.maxrecord);
  std::vector<refrecord> want = refsplit(csv);
  std::size_t k = 0;  // next reference record
  for (;;) {
    csvreader::status st = reader.next();
    if (st == csvreader::kError) {
      // Only a record beyond the limit may be refused.
      bool toolong = false;
      for (; k < want.size() && !toolong; ++k) {
        toolong = want[k].length > std::max(z.maxrecord, csvreader::kMinRecord);
        if (!want[k].blank) break;
      }
      FUZZ_CHECK(toolong);
      FUZZ_CHECK(!reader.error().empty());
      return;
    }
    while (k < want.size() && want[k].blank) ++k;
    if (st == csvreader::kEnd) break;
    FUZZ_CHECK(k < want.size());
    const refrecord& r = want[k++];
    FUZZ_CHECK(reader.line() == r.line);
    FUZZ_CHECK(reader.broken() == r.broken);
    FUZZ_CHECK(reader.fields().size() == r.fields.size());
    for (std::size_t i = 0; i < r.fields.size(); ++i) FUZZ_CHECK(reader.fields()[i] == r.fields[i]);
  }
  FUZZ_CHECK(k == want.size());
  FUZZ_CHECK(reader.csvbytes() == csv.size());
}

// Everything read from a gzip input, with or without the inflating thread.
struct inflated {
  bool ok = false;
  std::string text;
};

inflated readall(const std::string& path, bool threaded, std::size_t block) {
  inflated r;
  inputsource in;
  if (!in.open(path, threaded, block)) return r;
  char buf[1000];
  for (;;) {
    long n = in.read(buf, sizeof buf);
    if (n < 0) {
      FUZZ_CHECK(!in.error().empty());
      return r;
    }
    if (n == 0) break;
    r.text.append(buf, static_cast<std::size_t>(n));
    if (r.text.size() > (64u << 20)) break;  // a bomb: enough compared
  }
  r.ok = true;
  return r;
}

struct outcome {
  prepareresult result;
  std::string german, berlin;
  int polls = 0;
  bool cancelled = false;
};

outcome convert(const std::string& csvpath, const sizes& z) {
  prepareoptions o;
  o.csvpath = csvpath;
  o.dir = fuzzdir();
  o.csvbuffer = z.csvbuffer;
  o.maxrecord = z.maxrecord;
  o.inputblock = z.inputblock;
  o.outputbuffer = 100;
  o.cancelevery = z.cancelevery;
  o.gzipthread = false;
  outcome r;
  o.cancelled = [&r, &z] {
    ++r.polls;
    if (z.cancelat > 0 && r.polls >= z.cancelat) r.cancelled = true;
    return r.cancelled;
  };
  const std::string oldgerman = readfile(fuzzpath(kGermanFile)), oldberlin = readfile(fuzzpath(kBerlinFile));
  r.result = preparedatabase(o);
  r.german = readfile(fuzzpath(kGermanFile));
  r.berlin = readfile(fuzzpath(kBerlinFile));
  FUZZ_CHECK(!hastempfiles(fuzzdir()));
  if (r.cancelled) FUZZ_CHECK(!r.result.ok);
  if (!r.result.ok) {
    FUZZ_CHECK(!r.result.error.empty());
    FUZZ_CHECK(r.german == oldgerman && r.berlin == oldberlin);
  }
  return r;
}

// Equal counts; when not, both are printed for the crash report.
bool samecounts(const preparecounts& a, const preparecounts& b) {
  if (std::memcmp(&a, &b, sizeof a) == 0) return true;
  for (const preparecounts* c : {&a, &b}) {
    std::fprintf(stderr, "rows %llu german %llu berlin %llu other %llu replaced %llu skipped",
                 static_cast<unsigned long long>(c->rows), static_cast<unsigned long long>(c->german),
                 static_cast<unsigned long long>(c->berlin), static_cast<unsigned long long>(c->othercountry),
                 static_cast<unsigned long long>(c->typereplaced));
    for (auto n : c->skipped) std::fprintf(stderr, " %llu", static_cast<unsigned long long>(n));
    std::fprintf(stderr, "\n");
  }
  return false;
}

// A conversion of `text` against the reference conversion; returns the
// reference.
expectation checkconversion(const outcome& r, const std::string& text, const sizes& z) {
  std::vector<refrecord> records = refsplit(text);
  expectation want = refconvert(records, std::max(z.maxrecord, csvreader::kMinRecord));
  if (r.result.ok) {
    FUZZ_CHECK(want.header && want.counts.german > 0);
    FUZZ_CHECK(samecounts(r.result.counts, want.counts));
    FUZZ_CHECK(r.german == want.german);
    FUZZ_CHECK(r.berlin == want.berlin);
    // Polled by bytes: at least once every cancelevery bytes and a record.
    std::size_t longest = 0;
    for (const refrecord& rec : records) longest = std::max(longest, rec.length);
    FUZZ_CHECK(static_cast<std::uint64_t>(r.polls) * (z.cancelevery + longest + 2) >= text.size());
  } else if (!r.cancelled) {
    // Failure only where it must: no usable header, no German cell, or a
    // record beyond the limit.
    FUZZ_CHECK(!want.header || want.counts.german == 0 || want.toolong);
  }
  return want;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t mode = data[0];
  const sizes z = choosesizes(data[1]);
  const std::string input(reinterpret_cast<const char*>(data + 2), size - 2);
  const bool gzipped = input.size() >= 2 && input[0] == '\x1f' && input[1] == '\x8b';

  std::string path = fuzzpath("input.csv");
  writefile(path, input);

  if (gzipped) {
    // Raw gzip bytes: both ways of inflating agree, and the conversion is
    // that of the text they give.
    inflated a = readall(path, false, z.inputblock), b = readall(path, true, z.inputblock);
    // (What comes before an error depends on the block sizes; it is never used.)
    FUZZ_CHECK(a.ok == b.ok);
    if (a.ok) FUZZ_CHECK(a.text == b.text);
    outcome packed = convert(path, z);
    if (packed.result.ok) FUZZ_CHECK(a.ok);
    if (a.ok && a.text.size() < (64u << 20)) checkconversion(packed, a.text, z);
    return 0;
  }

  checkreader(path, input, z);
  outcome plain = convert(path, z);
  const expectation want = checkconversion(plain, input, z);

  if (mode & 1) {
    std::string gzpath = fuzzpath("input.csv.gz");
    writefile(gzpath, gzip(input));
    outcome packed = convert(gzpath, z);
    // A record beyond the limit may be taken where it happens to be
    // buffered whole (inflated blocks come in other sizes than file blocks).
    if (!plain.cancelled && !packed.cancelled && !want.toolong) {
      if (packed.result.ok != plain.result.ok)
        std::fprintf(stderr, "plain: %s\ngzip: %s\n", plain.result.error.c_str(), packed.result.error.c_str());
      FUZZ_CHECK(packed.result.ok == plain.result.ok);
      if (packed.result.ok) {
        FUZZ_CHECK(packed.german == plain.german && packed.berlin == plain.berlin);
        FUZZ_CHECK(samecounts(packed.result.counts, plain.result.counts));
      }
    }
  }
  if (mode & 2) {
    std::string whole = gzip(input);
    std::size_t keep = (static_cast<std::size_t>(mode >> 2) * whole.size()) / 64;
    std::string gzpath = fuzzpath("cut.csv.gz");
    writefile(gzpath, whole.substr(0, keep));
    outcome cut = convert(gzpath, z);
    FUZZ_CHECK(!cut.result.ok);
  }
  return 0;
}
