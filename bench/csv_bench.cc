// Speed of the CSV conversion on a whole-world sized export, next to what
// bounds it: reading the file (cat) and inflating the gzip file with plain
// zlib.  The export is built at start from the real sample, copied over and
// over with varied cell ids (about 1 GB, TURM_BENCH_MB to change), written
// plain and gzip-compressed to a folder in /tmp that is removed at the end.
// Without the sample a synthetic export of the same shape is used.
//
// Every benchmark reports bytes/s of CSV text (the plain file's size), so
// the four rates compare directly.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ingest/prepare.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const char* kHeader =
    "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";

// ../shared beside the project (this file is bench/csv_bench.cc in it).
fs::path sharedfolder() {
  if (const char* d = std::getenv("TURM_SHARED_DIR")) return d;
  return fs::absolute(fs::path(__FILE__)).parent_path().parent_path().parent_path() / "shared";
}

std::vector<std::string> samplerows() {
  std::ifstream in(sharedfolder() / "data" / "opencellid-sample.csv", std::ios::binary);
  std::vector<std::string> rows;
  std::string line;
  if (!std::getline(in, line)) return rows;  // header
  while (std::getline(in, line))
    if (!line.empty()) rows.push_back(line);
  return rows;
}

// A synthetic row of the sample's shape (used when the sample is absent).
std::string syntheticrow(std::uint64_t& x) {
  x = x * 6364136223846793005ull + 1442695040888963407ull;
  unsigned r = static_cast<unsigned>(x >> 33);
  bool german = r % 20 < 11, berlin = r % 10 == 0;
  double lon = berlin ? 13.1 + (r % 600000) / 1e6 : 6.0 + (r % 9000000) / 1e6;
  double lat = berlin ? 52.35 + (r % 300000) / 1e6 : 47.5 + (r % 7500000) / 1e6;
  char line[200];
  std::snprintf(line, sizeof line, "%s,%u,%u,%u,%u,%d,%.6f,%.6f,%u,%u,1,1294561074,1662692508,0",
                r % 3 == 0 ? "LTE" : "GSM", german ? 262 : 208 + r % 300, 1 + r % 3, r % 65000,
                r % 268435455, r % 5 == 0 ? -1 : static_cast<int>(r % 512), lon, lat,
                100 + r % 20000, 1 + r % 300);
  return line;
}

// The row with its cell id (fifth field) replaced by a variant for copy k.
void appendvaried(std::string& out, const std::string& row, std::uint64_t k) {
  std::size_t c1 = row.find(',');
  std::size_t c2 = row.find(',', c1 + 1), c3 = row.find(',', c2 + 1), c4 = row.find(',', c3 + 1);
  std::size_t c5 = row.find(',', c4 + 1);
  if (c5 == std::string::npos || k == 0) {
    out += row;
    out += '\n';
    return;
  }
  std::uint64_t cell = std::strtoull(row.c_str() + c4 + 1, nullptr, 10);
  cell = (cell + k * 1000003u) % 268435456u;
  out.append(row, 0, c4 + 1);
  out += std::to_string(cell);
  out.append(row, c5, std::string::npos);
  out += '\n';
}

struct benchfiles {
  fs::path dir;
  std::uint64_t csvbytes = 0;
  std::uint64_t rows = 0;
  bool fromsample = false;

  benchfiles() {
    dir = fs::temp_directory_path() / ("turm_csv_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::uint64_t target = 1000;
    if (const char* mb = std::getenv("TURM_BENCH_MB")) target = std::strtoull(mb, nullptr, 10);
    target *= 1000 * 1000;
    std::vector<std::string> sample = samplerows();
    fromsample = !sample.empty();
    std::ofstream plain(dir / "world.csv", std::ios::binary);
    gzFile gz = gzopen((dir / "world.csv.gz").c_str(), "wb6");
    std::string chunk = kHeader;
    std::uint64_t x = 12345;
    for (std::uint64_t k = 0; csvbytes + chunk.size() < target; ++k) {
      if (fromsample) {
        for (const std::string& r : sample) appendvaried(chunk, r, k);
        rows += sample.size();
      } else {
        for (int i = 0; i < 45000; ++i) {
          chunk += syntheticrow(x);
          chunk += '\n';
        }
        rows += 45000;
      }
      plain.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      gzwrite(gz, chunk.data(), static_cast<unsigned>(chunk.size()));
      csvbytes += chunk.size();
      chunk.clear();
    }
    gzclose(gz);
    plain.close();
    // On disk before anything is measured: no writeback of these files
    // competes with the benchmarks.
    for (const char* name : {"world.csv", "world.csv.gz"}) {
      int fd = ::open((dir / name).c_str(), O_RDONLY);
      if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
      }
    }
  }
  ~benchfiles() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

benchfiles& files() {
  static benchfiles f;
  return f;
}

void setrate(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files().csvbytes));
  state.counters["rows"] = static_cast<double>(files().rows);
}

// cat world.csv > /dev/null: the cost of reading the file at all.
void BM_Cat(benchmark::State& state) {
  std::string path = (files().dir / "world.csv").string();
  for (auto _ : state) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>("cat"), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ) != 0) {
      state.SkipWithError("cat cannot be started");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
  }
  setrate(state);
}

// Plain zlib inflate of world.csv.gz into a 1 MB buffer, nothing else.
void BM_InflateOnly(benchmark::State& state) {
  std::string path = (files().dir / "world.csv.gz").string();
  std::vector<unsigned char> in(1 << 20), out(1 << 20);
  for (auto _ : state) {
    int fd = ::open(path.c_str(), O_RDONLY);
    z_stream z{};
    inflateInit2(&z, 15 + 16);
    std::uint64_t total = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
      if (z.avail_in == 0) {
        ssize_t got = ::read(fd, in.data(), in.size());
        if (got <= 0) break;
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(got);
      }
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      rc = inflate(&z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END) break;
      total += out.size() - z.avail_out;
    }
    inflateEnd(&z);
    ::close(fd);
    if (total != files().csvbytes) state.SkipWithError("inflate gave the wrong size");
    benchmark::DoNotOptimize(total);
  }
  setrate(state);
}

void convert(benchmark::State& state, const char* name) {
  prepareoptions o;
  o.csvpath = (files().dir / name).string();
  o.dir = files().dir.string();
  for (auto _ : state) {
    prepareresult r = preparedatabase(o);
    if (!r.ok) state.SkipWithError(r.error.c_str());
    benchmark::DoNotOptimize(r.counts.german);
    state.counters["german"] = static_cast<double>(r.counts.german);
  }
  setrate(state);
}

void BM_PrepareCsv(benchmark::State& state) { convert(state, "world.csv"); }
void BM_PrepareGzip(benchmark::State& state) { convert(state, "world.csv.gz"); }

// Each pass takes seconds: one pass a repetition, three repetitions (the
// machine is shared; compare medians, and CPU time against real time to
// see how much the other load took).
#define TURM_WHOLE_FILE_BENCH(fn) \
  BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime()

TURM_WHOLE_FILE_BENCH(BM_Cat);
TURM_WHOLE_FILE_BENCH(BM_InflateOnly);
TURM_WHOLE_FILE_BENCH(BM_PrepareCsv);
TURM_WHOLE_FILE_BENCH(BM_PrepareGzip);

}  // namespace

BENCHMARK_MAIN();
