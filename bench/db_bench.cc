// Speed of the database scans on a full-size file: 2,400,000 records
// clustered around German cities.  The file is generated once into the
// temporary directory and reused by later runs.
//
//   ReadFloor          the whole file in 1 MiB positioned reads, nothing else
//   ScanAll            scantowers with a visitor that does nothing
//   SelectByKey        selectbycriteria with LTE, net 2 and one area
//   Select/...         a rare key (net 9: nothing matches), a common one
//                      (net 2: a third of the file) and a window taking
//                      every record (all 2,400,000 stored)
//   SelectAll          listing every record (no pass over the file)
//   NearPosition/...   position searches (passes needed shown as a counter):
//                      around a dense centre and a rare key in the country
//   NearTenWindows     a position search that needs all ten windows
//                      (one cell id: the keys reject almost every record)
//   NearNoKeySparse    all ten windows without a key, in the North Sea:
//                      every record's coordinates are looked at
//   NearObject/...     object searches around a city record and a rural one
//   PassByPass         the position search done window by window, for scale
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "celldb/database.h"
#include "celldb/recordsource.h"
#include "query/criteria.h"
#include "query/surrounding.h"

namespace {

constexpr std::int32_t kRecords = 2400000;

struct City {
  double lon, lat, weight, spread;
};
const City kCities[] = {
    {13.405, 52.520, 12, 0.12}, {9.993, 53.551, 7, 0.10}, {11.582, 48.135, 7, 0.10},
    {6.960, 50.938, 6, 0.09},   {8.682, 50.111, 5, 0.08}, {9.182, 48.776, 5, 0.09},
    {6.773, 51.228, 5, 0.08},   {7.466, 51.514, 6, 0.15}, {12.373, 51.340, 3, 0.07},
    {13.737, 51.050, 3, 0.07},  {9.732, 52.375, 3, 0.07}, {11.077, 49.452, 3, 0.07},
    {8.806, 53.079, 2, 0.06},   {10.000, 51.000, 30, 1.6},  // the country side
};

ttowerrec makerecord(std::mt19937_64& rng) {
  static std::discrete_distribution<int> city([] {
    std::vector<double> w;
    for (const City& c : kCities) w.push_back(c.weight);
    return std::discrete_distribution<int>(w.begin(), w.end());
  }());
  static std::discrete_distribution<int> type({4, 35, 20, 3, 37, 1});
  std::normal_distribution<double> off(0.0, 1.0);
  const City& c = kCities[city(rng)];
  ttowerrec r{};
  r.typecode = static_cast<std::uint8_t>(type(rng));
  settypetext(r, nettypename(r.typecode));
  r.netid = static_cast<std::uint16_t>(1 + rng() % 3);
  r.area = static_cast<std::uint16_t>(1 + (static_cast<int>(c.lon * 7 + c.lat * 13) + rng() % 40) % 0xFFFE);
  r.cellid = static_cast<std::int32_t>(rng() % 200000000);
  r.longitude = toreal(std::clamp(c.lon + off(rng) * c.spread * 1.5, 5.9, 15.0));
  r.latitude = toreal(std::clamp(c.lat + off(rng) * c.spread, 47.3, 55.0));
  r.range = static_cast<std::int32_t>(100 + rng() % 20000);
  return r;
}

std::string benchfile() {
  auto dir = std::filesystem::temp_directory_path() / "turmfinder-bench";
  std::filesystem::create_directories(dir);
  auto path = dir / "germtowers-2400000.dat";
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) == static_cast<std::uintmax_t>(kRecords) * 44) return path.string();
  auto tmp = dir / "germtowers.tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    std::mt19937_64 rng(2400000);
    std::vector<ttowerrec> block;
    for (std::int32_t i = 0; i < kRecords; ++i) {
      block.push_back(makerecord(rng));
      if (block.size() == 65536 || i + 1 == kRecords) {
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 44));
        block.clear();
      }
    }
  }
  std::filesystem::rename(tmp, path);
  return path.string();
}

void opendb() {
  static bool opened = false;
  if (opened) return;
  std::string name = benchfile();
  if (!opendatabase(name).ok) std::abort();
  selectall();
  opened = true;
}

// Passes the window-by-window search needs around (lon, lat).
int passesneeded(const ttowerrec& keys, real lon, real lat) {
  real t = toreal(0.005L);
  for (int pass = 1; pass <= 10; ++pass) {
    selectaround(keys, lon, lat, t, t);
    if (resultcount >= kWantedObjects) return pass;
    t = toreal(toext(t) * 2);
  }
  return 10;
}

void ReadFloor(benchmark::State& state) {
  opendb();
  int error = 0;
  auto source = openposixsource(benchfile(), error);
  std::vector<char> block(1 << 20);
  for (auto _ : state) {
    std::int64_t offset = 0, got;
    while ((got = source->readat(offset, block.data(), block.size(), error)) > 0) offset += got;
    benchmark::DoNotOptimize(block.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kRecords) * 44);
}
BENCHMARK(ReadFloor)->Unit(benchmark::kMillisecond);

void ScanAll(benchmark::State& state) {
  opendb();
  for (auto _ : state) {
    std::int64_t n = 0;
    scantowers([&](std::int32_t, const ttowerrec& r) { return n += r.netid, true; });
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(ScanAll)->Unit(benchmark::kMillisecond);

void SelectByKey(benchmark::State& state) {
  opendb();
  ttowerrec keys{};
  keys.typecode = 4;
  keys.netid = 2;
  keys.area = readtower(12345).area;
  for (auto _ : state) selectbycriteria(keys, tolerancelon, tolerancelat);
  state.counters["found"] = resultcount;
}
BENCHMARK(SelectByKey)->Unit(benchmark::kMillisecond);

void Select(benchmark::State& state, ttowerrec keys, real tollon, real tollat) {
  opendb();
  for (auto _ : state) selectbycriteria(keys, tollon, tollat);
  state.counters["found"] = resultcount;
}
ttowerrec netkeys(std::uint16_t net) {
  ttowerrec k{};
  k.netid = net;
  return k;
}
ttowerrec everywhere() {
  ttowerrec k{};
  k.longitude = toreal(10.0L);
  k.latitude = toreal(51.0L);
  return k;
}
BENCHMARK_CAPTURE(Select, rare_net9, netkeys(9), toreal(0.2L), toreal(0.33L))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Select, common_net2, netkeys(2), toreal(0.2L), toreal(0.33L))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Select, everything, everywhere(), toreal(90.0L), toreal(90.0L))->Unit(benchmark::kMillisecond);

void SelectAll(benchmark::State& state) {
  opendb();
  for (auto _ : state) {
    selectall();
    benchmark::DoNotOptimize(resultlist[static_cast<std::size_t>(resultcount)] + 0);
  }
}
BENCHMARK(SelectAll);

void NearPosition(benchmark::State& state, ttowerrec keys, long double lon, long double lat) {
  opendb();
  state.counters["passes"] = passesneeded(keys, toreal(lon), toreal(lat));
  for (auto _ : state) nearposition(keys, kWantedObjects, toreal(lon), toreal(lat));
  state.counters["found"] = resultcount;
}
ttowerrec cdmakeys() {
  ttowerrec k{};
  k.typecode = 5;
  k.netid = 3;
  return k;
}
BENCHMARK_CAPTURE(NearPosition, berlin_centre, ttowerrec{}, 13.405L, 52.52L)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(NearPosition, cdma_net3_rural, cdmakeys(), 7.1L, 54.3L)->Unit(benchmark::kMillisecond);

// One cell id: fewer than 20 records pass the keys, so all ten windows
// are needed (the whole-process comparison of bench/wholeprocess.sh).
void NearTenWindows(benchmark::State& state) {
  opendb();
  ttowerrec keys{};
  keys.cellid = readtower(12345).cellid;
  state.counters["passes"] = passesneeded(keys, toreal(7.1L), toreal(54.3L));
  for (auto _ : state) nearposition(keys, kWantedObjects, toreal(7.1L), toreal(54.3L));
  state.counters["found"] = resultcount;
}
BENCHMARK(NearTenWindows)->Unit(benchmark::kMillisecond);

// No key: every record reaches the window test (as bench/wholeprocess.sh's
// "near 55.5,4.0").  Compare with Select/rare_net9.
void NearNoKeySparse(benchmark::State& state) {
  opendb();
  state.counters["passes"] = passesneeded(ttowerrec{}, toreal(4.0L), toreal(55.5L));
  for (auto _ : state) nearposition(ttowerrec{}, kWantedObjects, toreal(4.0L), toreal(55.5L));
  state.counters["found"] = resultcount;
}
BENCHMARK(NearNoKeySparse)->Unit(benchmark::kMillisecond);

void PassByPass(benchmark::State& state) {
  opendb();
  for (auto _ : state) benchmark::DoNotOptimize(passesneeded(cdmakeys(), toreal(7.1L), toreal(54.3L)));
}
BENCHMARK(PassByPass)->Unit(benchmark::kMillisecond);

void NearObject(benchmark::State& state, bool rural) {
  opendb();
  // A record of the country side cluster far from every city, or one in Berlin.
  std::int32_t recno = 0;
  for (std::int32_t n = 0; n < 100000; ++n) {
    ttowerrec r = readtower(n);
    long double lon = toext(r.longitude), lat = toext(r.latitude);
    bool inberlin = std::fabs(lon - 13.405L) < 0.01L && std::fabs(lat - 52.52L) < 0.01L;
    bool remote = lat > 54.6L && lon < 8.0L;
    if ((rural && remote) || (!rural && inberlin)) {
      recno = n;
      break;
    }
  }
  criteria = ttowerrec{};
  for (auto _ : state) nearobject(recno, kWantedObjects);
  state.counters["found"] = resultcount;
  state.counters["window"] = static_cast<double>(toext(tolerancelon));
}
BENCHMARK_CAPTURE(NearObject, berlin, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(NearObject, rural, true)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
