// The CSV reader and the whole conversion on arbitrary bytes, plain and
// gzip-compressed.  The first input byte chooses the variants:
//   bit 0  also convert the gzip-compressed input: same outcome, same files
//   bit 1  also convert a cut-off gzip file: must fail, old files kept
// Properties: a successful run writes files of whole 44-byte records
// matching its counts, the Berlin file is a subsequence of the German one
// with its positions in the box, the counts add up; every run leaves no
// temporary file behind.
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "celldb/towerrec.h"
#include "cli/csvreader.h"
#include "cli/inputsource.h"
#include "cli/prepare.h"
#include "fuzz/fuzzfiles.h"

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

struct outcome {
  prepareresult result;
  std::string german, berlin;
};

outcome convert(const std::string& csvpath) {
  prepareoptions o;
  o.csvpath = csvpath;
  o.dir = fuzzdir();
  outcome r;
  r.result = preparedatabase(o);
  r.german = readfile(fuzzpath(kGermanFile));
  r.berlin = readfile(fuzzpath(kBerlinFile));
  FUZZ_CHECK(!hastempfiles(fuzzdir()));
  if (!r.result.ok) FUZZ_CHECK(!r.result.error.empty());
  return r;
}

void checksuccess(const outcome& r) {
  const preparecounts& c = r.result.counts;
  FUZZ_CHECK(r.german.size() % 44 == 0 && r.berlin.size() % 44 == 0);
  FUZZ_CHECK(r.german.size() == c.german * 44);
  FUZZ_CHECK(r.berlin.size() == c.berlin * 44);
  FUZZ_CHECK(c.rows == c.german + c.othercountry + c.skippedtotal());
  FUZZ_CHECK(c.berlin <= c.german);
  // Berlin records appear in the German file in the same order.
  std::size_t g = 0;
  for (std::size_t b = 0; b < r.berlin.size(); b += 44) {
    while (g < r.german.size() && std::memcmp(r.german.data() + g, r.berlin.data() + b, 44) != 0) g += 44;
    FUZZ_CHECK(g < r.german.size());
    g += 44;
    ttowerrec rec;
    std::memcpy(&rec, r.berlin.data() + b, 44);
    long double lon = toext(rec.longitude), lat = toext(rec.latitude);
    FUZZ_CHECK(lon >= 13.08L - 1e-9L && lon <= 13.77L + 1e-9L);
    FUZZ_CHECK(lat >= 52.33L - 1e-9L && lat <= 52.68L + 1e-9L);
  }
  for (std::size_t i = 0; i < r.german.size(); i += 44) {
    ttowerrec rec;
    std::memcpy(&rec, r.german.data() + i, 44);
    FUZZ_CHECK(rec.typecode >= 1 && rec.typecode <= 5);
    FUZZ_CHECK(rec.cellid >= 0);
    FUZZ_CHECK(std::fabs(toext(rec.longitude)) <= 180 && std::fabs(toext(rec.latitude)) <= 90);
    FUZZ_CHECK(rec.typetext[0] <= 10);
  }
}

// The reader alone: records come in line order, their bytes are counted,
// and a run without quotes splits exactly at commas and line ends.
void checkreader(const std::string& path, const std::string& csv) {
  inputsource in;
  FUZZ_CHECK(in.open(path));
  csvreader reader(in);
  bool quotes = csv.find('"') != std::string::npos;
  std::string body = csv.compare(0, 3, "\xEF\xBB\xBF") == 0 ? csv.substr(3) : csv;
  std::size_t linestart = 0;
  std::uint64_t lastline = 0;
  for (int guard = 0;; ++guard) {
    FUZZ_CHECK(guard <= static_cast<int>(csv.size()) + 1);
    csvreader::status st = reader.next();
    FUZZ_CHECK(reader.csvbytes() <= csv.size());
    if (st == csvreader::kEnd) break;
    if (st == csvreader::kError) {
      FUZZ_CHECK(!reader.error().empty());
      return;
    }
    FUZZ_CHECK(!reader.fields().empty());
    FUZZ_CHECK(reader.line() > lastline);
    lastline = reader.line();
    if (quotes) continue;
    // The next non-blank line, without its CR, split at commas.
    std::string line;
    do {
      FUZZ_CHECK(linestart < body.size());
      std::size_t nl = body.find('\n', linestart);
      line = body.substr(linestart, nl == std::string::npos ? std::string::npos : nl - linestart);
      linestart = nl == std::string::npos ? body.size() : nl + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
    } while (line.empty());
    std::vector<std::string> want;
    for (std::size_t p = 0;;) {
      std::size_t q = line.find(',', p);
      want.push_back(line.substr(p, q == std::string::npos ? std::string::npos : q - p));
      if (q == std::string::npos) break;
      p = q + 1;
    }
    FUZZ_CHECK(reader.fields().size() == want.size());
    for (std::size_t i = 0; i < want.size(); ++i) FUZZ_CHECK(reader.fields()[i] == want[i]);
  }
  if (!quotes) FUZZ_CHECK(reader.csvbytes() == csv.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  std::string csv(reinterpret_cast<const char*>(data + 1), size - 1);
  // A plain text that happens to start like gzip would be read as gzip.
  if (csv.size() >= 2 && csv[0] == '\x1f' && csv[1] == '\x8b') csv[0] = ' ';

  std::string plainpath = fuzzpath("input.csv");
  writefile(plainpath, csv);
  checkreader(plainpath, csv);
  outcome plain = convert(plainpath);
  if (plain.result.ok) checksuccess(plain);

  if (mode & 1) {
    std::string gzpath = fuzzpath("input.csv.gz");
    writefile(gzpath, gzip(csv));
    outcome packed = convert(gzpath);
    FUZZ_CHECK(packed.result.ok == plain.result.ok);
    if (packed.result.ok) {
      FUZZ_CHECK(packed.german == plain.german && packed.berlin == plain.berlin);
      FUZZ_CHECK(std::memcmp(&packed.result.counts, &plain.result.counts, sizeof(preparecounts)) == 0);
    }
  }
  if (mode & 2) {
    std::string whole = gzip(csv);
    std::size_t keep = (static_cast<std::size_t>(mode >> 2) * whole.size()) / 64;
    std::string gzpath = fuzzpath("cut.csv.gz");
    writefile(gzpath, whole.substr(0, keep));
    std::string german = readfile(fuzzpath(kGermanFile)), berlin = readfile(fuzzpath(kBerlinFile));
    outcome cut = convert(gzpath);
    FUZZ_CHECK(!cut.result.ok);
    FUZZ_CHECK(cut.german == german && cut.berlin == berlin);
  }
  return 0;
}
