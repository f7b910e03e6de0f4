// Speed of the list output of turmcli select and near: 2,400,000 listed
// records (all of a database of that size, and a sparse selection of
// every third one) written in each format to /dev/null.  Reports rows/s.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "celldb/database.h"
#include "export/listprint.h"
#include "cli/lookupsession.h"
#include "lib/support/real48.h"
#include "query/liststate.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCells = 2400000;

struct database {
  fs::path dir, file;
  database() {
    dir = fs::temp_directory_path() / ("turm-export-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    file = dir / "germtowers.dat";
    std::vector<ttowerrec> recs(kCells);
    const char* radios[] = {"GSM", "UMTS", "LTE"};
    const std::uint8_t codes[] = {1, 2, 4};
    for (int i = 0; i < kCells; ++i) {
      ttowerrec& r = recs[static_cast<std::size_t>(i)];
      settypetext(r, radios[i % 3]);
      r.typecode = codes[i % 3];
      r.matchcode = 262;
      r.netid = static_cast<std::uint16_t>(1 + i % 3);
      r.area = static_cast<std::uint16_t>(i / 64 % 65536);
      r.cellid = i * 37;
      r.longitude = toreal(6.0L + (i % 90000) / 10000.0L + 0.0000013L * (i % 7));
      r.latitude = toreal(47.5L + (i / 90000 % 75) / 10.0L + 0.0000017L * (i % 11));
      r.range = 100 + i % 30000;
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(recs.data()), static_cast<std::streamsize>(recs.size() * sizeof(ttowerrec)));
  }
  ~database() { fs::remove_all(dir); }
};

const database& db() {
  static const database d;
  return d;
}

// sparse: every third record (the GSM ones), else all records.
void run(benchmark::State& state, listformat format, bool sparse) {
  lookupsession session;
  std::string error;
  if (!session.open(db().file.string(), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  if (sparse) {
    ttowerrec keys{};
    keys.typecode = 1;
    settypetext(keys, "GSM");
    session.select(keys);
  }
  std::ofstream out("/dev/null", std::ios::binary);
  std::int64_t rows = 0;
  for (auto _ : state) {
    printresultlist(out, format, -1);
    rows += resultcount;
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_ExportGrid(benchmark::State& s) { run(s, listformat::kGrid, false); }
void BM_ExportCsv(benchmark::State& s) { run(s, listformat::kCsv, false); }
void BM_ExportGeojson(benchmark::State& s) { run(s, listformat::kGeojson, false); }
void BM_ExportKml(benchmark::State& s) { run(s, listformat::kKml, false); }
void BM_ExportGridSparse(benchmark::State& s) { run(s, listformat::kGrid, true); }
void BM_ExportCsvSparse(benchmark::State& s) { run(s, listformat::kCsv, true); }

BENCHMARK(BM_ExportGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ExportGeojson)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ExportKml)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ExportGridSparse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ExportCsvSparse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
