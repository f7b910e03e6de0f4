// Speed of turmcli update: a database of 2,400,000 cells and a daily diff
// of 100,000 rows (60,000 known cells spread over the whole file, 30,000
// new ones, 10,000 rows of another country), plain and gzip.  Each run starts from the same database (restored untimed);
// the time includes writing both files and syncing them to disk, as a
// real update does, and writing the index beside each (not synced).
// BM_IndexBothFiles writes the two indexes alone, on the files the update
// left: the update without it is the difference.  Files live in a folder
// in /tmp removed at the end.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "celldb/towerindex.h"
#include "celldb/towerrec.h"
#include "ingest/update.h"
#include "lib/support/real48.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCells = 2400000;
constexpr int kKnown = 60000;
constexpr int kNew = 30000;

const char* kRadios[] = {"GSM", "UMTS", "LTE"};
const std::uint8_t kCodes[] = {1, 2, 4};

// Cell i of the database: unique (radio, net, area, cell).
ttowerrec cell(int i, long double lon, long double lat) {
  ttowerrec r{};
  settypetext(r, kRadios[i % 3]);
  r.typecode = kCodes[i % 3];
  r.matchcode = 262;
  r.netid = static_cast<std::uint16_t>(1 + i % 4);
  r.area = static_cast<std::uint16_t>(i / 64 % 65536);
  r.cellid = i;
  r.longitude = toreal(lon);
  r.latitude = toreal(lat);
  r.range = 1000 + i % 5000;
  return r;
}

long double lonof(int i) { return 6.0L + (i % 90000) / 10000.0L; }
long double latof(int i) { return 47.5L + (i / 90000 % 75) / 10.0L; }

std::string rowof(int i, long double lon, long double lat, int mcc) {
  char line[200];
  std::snprintf(line, sizeof line, "%s,%d,%d,%d,%d,0,%.6Lf,%.6Lf,%d,7,1,1294561074,1662692508,0\n",
                kRadios[i % 3], mcc, 1 + i % 4, i / 64 % 65536, i, lon, lat, 2000 + i % 3000);
  return line;
}

struct files {
  fs::path dir, original;
  files() {
    dir = fs::temp_directory_path() / ("turm-update-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    original = dir / "germtowers.orig";
    std::vector<ttowerrec> recs;
    recs.reserve(kCells);
    for (int i = 0; i < kCells; ++i) recs.push_back(cell(i, lonof(i), latof(i)));
    std::ofstream(original, std::ios::binary)
        .write(reinterpret_cast<const char*>(recs.data()), static_cast<std::streamsize>(recs.size() * sizeof(ttowerrec)));
    std::string diff =
        "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";
    for (int k = 0; k < kKnown + kNew; ++k) {
      if (k % 9 == 0) diff += rowof(k, 2.35L, 48.85L, 208);
      int i = k < kKnown ? static_cast<int>(static_cast<long long>(k) * kCells / kKnown) : kCells + k;
      diff += rowof(i, lonof(i) + 0.0001L, latof(i) - 0.0001L, 262);
    }
    std::ofstream(dir / "diff.csv", std::ios::binary) << diff;
    std::string cmd = "gzip -kf " + (dir / "diff.csv").string();
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "gzip failed\n");
  }
  ~files() { fs::remove_all(dir); }
  void restore() const {
    fs::copy_file(original, dir / "germtowers.dat", fs::copy_options::overwrite_existing);
  }
};

const files& data() {
  static const files f;
  return f;
}

void run(benchmark::State& state, const char* diffname) {
  const files& f = data();
  updateoptions o;
  o.diffpath = (f.dir / diffname).string();
  o.dir = f.dir.string();
  std::uint64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    f.restore();
    state.ResumeTiming();
    updateresult r = updatedatabase(o);
    if (!r.ok || r.counts.updated != kKnown || r.counts.added != kNew) {
      state.SkipWithError(r.ok ? "unexpected counts" : r.error.c_str());
      break;
    }
    rows += r.counts.rows;
  }
  state.counters["diff rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_UpdatePlainDiff(benchmark::State& state) { run(state, "diff.csv"); }

void BM_IndexBothFiles(benchmark::State& state) {
  const files& f = data();
  for (auto _ : state)
    for (const char* name : {"germtowers.dat", "berlintowers.dat"}) {
      std::string error;
      if (!buildtowerindex((f.dir / name).string(), error)) {
        state.SkipWithError(error.c_str());
        return;
      }
    }
}
void BM_UpdateGzipDiff(benchmark::State& state) { run(state, "diff.csv.gz"); }

BENCHMARK(BM_UpdatePlainDiff)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_UpdateGzipDiff)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_IndexBothFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
