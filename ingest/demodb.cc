#include "ingest/demodb.h"

#include <sys/stat.h>

#include <cmath>
#include <cstring>

#include "lib/support/atomicfile.h"
#include "ingest/berlinbounds.h"
#include "ingest/databasepair.h"
#include "ingest/prepare.h"
#include "lib/support/ioerror.h"

namespace {

// SplitMix64: small, fast and the same everywhere.
class demorandom {
 public:
  explicit demorandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n) (n > 0); the tiny modulo bias does not matter here.
  std::int64_t below(std::int64_t n) {
    return static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(n));
  }
  std::int64_t between(std::int64_t lo, std::int64_t hi) { return lo + below(hi - lo + 1); }
  // Roughly normal in [-spread, spread], peaked at 0 (sum of four uniforms).
  std::int64_t bell(std::int64_t spread) {
    std::int64_t s = 0;
    for (int i = 0; i < 4; ++i) s += below(2 * spread + 1) - spread;
    return s / 4 * 2;
  }

 private:
  std::uint64_t state_;
};

struct city {
  std::int64_t lon, lat;  // centre, millionths of a degree
  std::int64_t spread;    // typical distance of its cells, millionths of a degree
  int weight;
  int areabase;
};

// Weights roughly follow the number of cells in the real data.
constexpr city kCities[] = {
    {13'404'954, 52'520'008, 180'000, 160, 1000},   // Berlin
    {9'993'682, 53'551'086, 140'000, 90, 2000},     // Hamburg
    {11'581'981, 48'135'125, 130'000, 80, 3000},    // München
    {6'960'279, 50'937'531, 110'000, 60, 4000},     // Köln
    {8'682'127, 50'110'924, 110'000, 55, 5000},     // Frankfurt am Main
    {9'182'932, 48'775'846, 100'000, 45, 6000},     // Stuttgart
    {6'773'456, 51'227'741, 90'000, 40, 7000},      // Düsseldorf
    {7'465'298, 51'513'587, 150'000, 60, 8000},     // Dortmund / Ruhr
    {12'373'075, 51'339'695, 90'000, 35, 9000},     // Leipzig
    {13'737'262, 51'050'409, 90'000, 30, 10000},    // Dresden
    {9'732'010, 52'375'892, 90'000, 35, 11000},     // Hannover
    {11'076'198, 49'452'102, 90'000, 35, 12000},    // Nürnberg
    {8'801'694, 53'079'296, 80'000, 30, 13000},     // Bremen
    {10'451'526, 51'165'691, 2'600'000, 150, 20000},  // the rest of the country
};

int pickweighted(demorandom& r, const int* weights, int n) {
  int total = 0;
  for (int i = 0; i < n; ++i) total += weights[i];
  int x = static_cast<int>(r.below(total));
  for (int i = 0; i < n; ++i) {
    if (x < weights[i]) return i;
    x -= weights[i];
  }
  return n - 1;
}

void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The nearest real to micro / 10^6, computed exactly in integers so that
// it does not depend on the width of long double.  For six-decimal values
// this equals toreal(strtold(text)).
real microtoreal(std::int64_t micro) {
  if (micro == 0) return real{};
  unsigned __int128 a = static_cast<unsigned __int128>(micro < 0 ? -micro : micro);
  constexpr unsigned __int128 kDen = 1'000'000;
  constexpr unsigned __int128 kLow = static_cast<unsigned __int128>(1) << 39;
  int shift = 0;
  while ((a << shift) / kDen < kLow) ++shift;
  unsigned __int128 q = (a << shift) / kDen;
  unsigned __int128 rest = (a << shift) % kDen;
  if (2 * rest > kDen || (2 * rest == kDen && (q & 1))) ++q;  // ties to even
  long double v = std::ldexp(static_cast<long double>(static_cast<std::uint64_t>(q)), -shift);
  return toreal(micro < 0 ? -v : v);  // 40 significant bits: exact
}

}  // namespace

void generatedemotowers(std::uint64_t count,
                        const std::function<void(const ttowerrec&, bool)>& sink) {
  demorandom r(0x5475726D66696E64ull);  // "Turmfind"
  constexpr int ncities = static_cast<int>(sizeof kCities / sizeof kCities[0]);
  int cityweights[ncities];
  for (int i = 0; i < ncities; ++i) cityweights[i] = kCities[i].weight;
  // Type codes 0..5, 5G cells (6) and the undefined codes 7 and 9.
  static constexpr int typecodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
  static constexpr int typeweights[] = {8, 420, 130, 25, 390, 10, 3, 2, 1};
  static constexpr const char* typetexts[] = {"", "GSM", "UMTS", "NBIOT", "LTE", "CDMA", "NR", "TETRA", "NBIOT"};
  static constexpr int nets[] = {1, 2, 3, 4, 5, 6, 7, 8, 12};
  static constexpr int netweights[] = {340, 300, 310, 12, 10, 8, 8, 6, 6};

  for (std::uint64_t i = 0; i < count; ++i) {
    const city& c = kCities[pickweighted(r, cityweights, ncities)];
    std::int64_t lon = c.lon + r.bell(c.spread * 3 / 2);
    std::int64_t lat = c.lat + r.bell(c.spread);
    // Keep the rest of the country roughly inside Germany's box.
    lon = std::min<std::int64_t>(std::max<std::int64_t>(lon, 5'900'000), 15'000'000);
    lat = std::min<std::int64_t>(std::max<std::int64_t>(lat, 47'300'000), 55'050'000);

    int t = pickweighted(r, typeweights, 9);
    int code = typecodes[t];
    int net = nets[pickweighted(r, netweights, 9)];

    ttowerrec rec;
    rec = ttowerrec{};
    settypetext(rec, typetexts[t]);
    rec.typecode = static_cast<std::uint8_t>(code);
    rec.matchcode = 262;
    rec.netid = static_cast<std::uint16_t>(net);
    std::int64_t cell, range, unit;
    if (code == 1) {  // GSM: 16-bit cell ids, wide cells
      rec.area = static_cast<std::uint16_t>(c.areabase + net * 100 + r.below(60));
      cell = r.between(1, 65535);
      range = r.between(500, 30000);
      unit = -1;
    } else if (code == 2) {  // UMTS: RNC * 65536 + cell id
      rec.area = static_cast<std::uint16_t>(c.areabase + net * 100 + r.below(60));
      cell = r.between(1, 4095) * 65536 + r.below(65536);
      range = r.between(200, 12000);
      unit = r.below(512);
    } else {  // LTE and the rest: eNodeB * 256 + sector, tracking areas
      rec.area = static_cast<std::uint16_t>(30000 + c.areabase + net * 300 + r.below(250));
      cell = r.between(1, 1'048'575) * 256 + r.below(16);
      range = r.between(100, 8000);
      unit = r.below(504);
    }
    rec.cellid = static_cast<std::int32_t>(cell);
    if (code == kTypeNR)  // 5G: a 24-bit tracking area and a 36-bit cell identity
      setwidekeys(rec, 0x10000u * static_cast<std::uint32_t>(1 + net % 8) + rec.area,
                  static_cast<std::uint64_t>(cell) << 8 | (static_cast<std::uint64_t>(cell) & 0xFF));
    put16(rec.unit22, static_cast<std::uint16_t>(unit));
    rec.longitude = microtoreal(lon);
    rec.latitude = microtoreal(lat);
    rec.range = static_cast<std::int32_t>(range);
    put32(rec.samples40, static_cast<std::uint32_t>(r.between(1, 2000)));
    sink(rec, inberlinmicro(lon, lat));
  }
}

demoresult writedemodatabase(const std::string& dir, std::uint64_t count, const lockwaiting& how,
                             bool keepexisting) {
  demoresult result;
  databasepair pair;
  if (!pair.begin(dir, how, result.error)) return result;
  result.notes = pair.notes();
  struct stat st {};
  if (keepexisting && ::lstat(joinpath(dir, kGermanFile).c_str(), &st) == 0) {
    result.ok = result.kept = true;
    return result;
  }
  atomicfile german, berlin;
  if (!german.create(dir, kGermanFile)) {
    result.error = german.error();
    return result;
  }
  if (!berlin.create(dir, kBerlinFile)) {
    result.error = berlin.error();
    return result;
  }
  try {
    bool stopped = false;
    generatedemotowers(count, [&](const ttowerrec& rec, bool inberlin) {
      if (stopped || ((result.german & 0xFFFF) == 0xFFFF && how.cancelled && (stopped = how.cancelled()))) return;
      german.write(&rec, sizeof rec);
      ++result.german;
      if (inberlin) {
        berlin.write(&rec, sizeof rec);
        ++result.berlin;
      }
    });
    if (stopped) {
      result.error = "Abgebrochen";
      return result;
    }
    pair.finish(german, berlin);
  } catch (const IoError& e) {
    result.error = e.what();
    return result;
  }
  if (!pair.replace(german, berlin, result.error)) return result;
  result.notes.insert(result.notes.end(), pair.indexnotes().begin(), pair.indexnotes().end());
  result.ok = true;
  return result;
}

bool demodatabasestart(const ttowerrec* records, std::size_t n, bool berlin) {
  constexpr std::size_t kCompared = 8;
  // The first records of both files, made once: a Berlin cell is about
  // every twentieth demo cell.
  static const auto firsts = [] {
    std::pair<std::vector<ttowerrec>, std::vector<ttowerrec>> f;
    generatedemotowers(4000, [&](const ttowerrec& rec, bool inberlin) {
      if (f.first.size() < kCompared) f.first.push_back(rec);
      if (inberlin && f.second.size() < kCompared) f.second.push_back(rec);
    });
    return f;
  }();
  const std::vector<ttowerrec>& want = berlin ? firsts.second : firsts.first;
  if (n == 0 || n > want.size()) return false;
  return std::memcmp(records, want.data(), n * sizeof(ttowerrec)) == 0;
}
