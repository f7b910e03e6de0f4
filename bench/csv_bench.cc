// MB/s of CSV conversion: a synthetic OpenCelliD export (all German rows,
// a tenth of them in Berlin) in a temporary file, converted by
// preparedatabase, plain and gzip.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>
#include <zlib.h>

#include "cli/prepare.h"

namespace {

namespace fs = std::filesystem;

std::string syntheticcsv(std::size_t rows) {
  std::string csv = "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";
  std::uint64_t x = 12345;
  char line[200];
  for (std::size_t i = 0; i < rows; ++i) {
    x = x * 6364136223846793005ull + 1442695040888963407ull;
    unsigned r = static_cast<unsigned>(x >> 33);
    bool berlin = r % 10 == 0;
    double lon = berlin ? 13.1 + (r % 600000) / 1e6 : 6.0 + (r % 9000000) / 1e6;
    double lat = berlin ? 52.35 + (r % 300000) / 1e6 : 47.5 + (r % 7500000) / 1e6;
    int n = std::snprintf(line, sizeof line, "%s,262,%u,%u,%u,%d,%.6f,%.6f,%u,%u,1,1294561074,1662692508,0\n",
                          r % 3 == 0 ? "LTE" : "GSM", 1 + r % 3, r % 65000, r % 268435455,
                          r % 5 == 0 ? -1 : static_cast<int>(r % 512), lon, lat, 100 + r % 20000,
                          1 + r % 300);
    csv.append(line, static_cast<std::size_t>(n));
  }
  return csv;
}

struct benchfiles {
  fs::path dir;
  std::size_t csvbytes = 0;
  benchfiles() {
    dir = fs::temp_directory_path() / ("csv_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string csv = syntheticcsv(1'000'000);
    csvbytes = csv.size();
    std::ofstream(dir / "in.csv", std::ios::binary).write(csv.data(), static_cast<std::streamsize>(csv.size()));
    gzFile gz = gzopen((dir / "in.csv.gz").c_str(), "wb6");
    gzwrite(gz, csv.data(), static_cast<unsigned>(csv.size()));
    gzclose(gz);
  }
  ~benchfiles() { fs::remove_all(dir); }
};

benchfiles& files() {
  static benchfiles f;
  return f;
}

void convert(benchmark::State& state, const char* name) {
  prepareoptions o;
  o.csvpath = (files().dir / name).string();
  o.dir = files().dir.string();
  for (auto _ : state) {
    prepareresult r = preparedatabase(o);
    if (!r.ok) state.SkipWithError(r.error.c_str());
    benchmark::DoNotOptimize(r.counts.german);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files().csvbytes));
}

void BM_PrepareCsv(benchmark::State& state) { convert(state, "in.csv"); }
void BM_PrepareGzip(benchmark::State& state) { convert(state, "in.csv.gz"); }

BENCHMARK(BM_PrepareCsv)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PrepareGzip)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
