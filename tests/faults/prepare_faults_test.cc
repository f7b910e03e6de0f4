// turmcli prepare against a full disk, a half-downloaded gzip export, a
// CSV cut off in the middle of a row and a signal in the middle of a run:
// the old database files stay as they were, the message says what went
// wrong, the status is 2 and no temporary file is left behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <csignal>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "ingest/prepare.h"
#include "tests/faults/faultfiles.h"

namespace {

const std::string kOldGerman = "old german records";
const std::string kOldBerlin = "old berlin records";

void putoldfiles(const scratchdir& dir) {
  writebytes(dir.file("germtowers.dat"), kOldGerman);
  writebytes(dir.file("berlintowers.dat"), kOldBerlin);
}

void expectoldfiles(const scratchdir& dir, std::vector<std::string> others) {
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")), kOldGerman);
  EXPECT_EQ(readbytes(dir.file("berlintowers.dat")), kOldBerlin);
  others.push_back("berlintowers.dat");
  others.push_back("germtowers.dat");
  std::sort(others.begin(), others.end());
  EXPECT_EQ(dir.entries(), others) << "temporary files left behind";
}

// turmcli with args in a child limited to limitbytes per file; its
// standard error text comes back in output.
childresult turmcli(const std::vector<std::string>& args, long limitbytes) {
  return runlimited(limitbytes, [&](std::string& report) {
    std::ostringstream out, err;
    int status = runturmcli(args, out, err);
    report = err.str();
    return status;
  });
}

TEST(FullDisk, TurmcliPrepareFailsWithStatus2AndKeepsTheOldFiles) {
  scratchdir dir("fsize");
  writebytes(dir.file("in.csv"), germancsv(30000, true));  // 1.3 MB per output file
  putoldfiles(dir);
  childresult r = turmcli({"prepare", dir.file("in.csv"), "--dir", dir.path()}, 400000);
  ASSERT_TRUE(r.exited) << "turmcli was killed instead of reporting the error";
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.output.find("turmcli prepare: Schreibfehler in"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("germtowers.dat"), std::string::npos) << r.output;
  expectoldfiles(dir, {"in.csv"});
}

TEST(FullDisk, BerlinFileFailingAfterTheGermanOneKeepsBothOldFiles) {
  // Each output below the limit on its own, but the limit is under the
  // size of the German file: whichever file fails, neither is replaced.
  scratchdir dir("fsize-berlin");
  writebytes(dir.file("in.csv"), germancsv(2000, true));  // 88,000 bytes per file
  putoldfiles(dir);
  childresult r = turmcli({"prepare", dir.file("in.csv"), "--dir", dir.path()}, 60000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.output.find("Schreibfehler"), std::string::npos) << r.output;
  expectoldfiles(dir, {"in.csv"});
}

TEST(FullDisk, SmallTmpfsGivesENOSPCAndKeepsTheOldFiles) {
  scratchdir dir("tmpfs");
  std::string mnt = dir.file("mnt");
  ASSERT_EQ(::mkdir(mnt.c_str(), 0755), 0);
  if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
  struct unmount {
    std::string path;
    ~unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } guard{mnt};
  writebytes(dir.file("in.csv"), germancsv(5000, true));  // 220,000 bytes per output file
  writebytes(mnt + "/germtowers.dat", kOldGerman);
  writebytes(mnt + "/berlintowers.dat", kOldBerlin);
  std::ostringstream out, err;
  int status = runturmcli({"prepare", dir.file("in.csv"), "--dir", mnt}, out, err);
  EXPECT_EQ(status, kExitFailure);
  EXPECT_NE(err.str().find("Schreibfehler"), std::string::npos) << err.str();
  EXPECT_EQ(readbytes(mnt + "/germtowers.dat"), kOldGerman);
  EXPECT_EQ(readbytes(mnt + "/berlintowers.dat"), kOldBerlin);
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(mnt)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".turmfinder.lock", "berlintowers.dat", "germtowers.dat"}));
}

TEST(Truncated, HalfDownloadedGzipExportIsRefused) {
  scratchdir dir("halfgz");
  std::string gz = gzipped(germancsv(20000, false));
  writebytes(dir.file("export.csv.gz"), gz.substr(0, gz.size() / 2));
  putoldfiles(dir);
  childresult r = turmcli({"prepare", dir.file("export.csv.gz"), "--dir", dir.path()}, 1L << 30);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.output.find("unvollständig"), std::string::npos) << r.output;
  expectoldfiles(dir, {"export.csv.gz"});
}

TEST(Truncated, GzipCutInsideItsHeaderOrTrailerIsRefused) {
  scratchdir dir("gzends");
  std::string gz = gzipped(germancsv(50, false));
  putoldfiles(dir);
  for (std::size_t keep : {std::size_t{2}, std::size_t{5}, std::size_t{10}, gz.size() - 8, gz.size() - 1}) {
    writebytes(dir.file("export.csv.gz"), gz.substr(0, keep));
    prepareoptions o;
    o.csvpath = dir.file("export.csv.gz");
    o.dir = dir.path();
    prepareresult res = preparedatabase(o);
    EXPECT_FALSE(res.ok) << "gzip cut to " << keep << " of " << gz.size() << " bytes was taken";
    EXPECT_FALSE(res.error.empty());
  }
  expectoldfiles(dir, {"export.csv.gz"});
}

TEST(Truncated, CsvCutMidRowSkipsOnlyTheCutRow) {
  scratchdir dir("cutrow");
  std::string csv = germancsv(10, true);
  std::string last = "LTE,262,2,100,4711,0,13.4";  // cut inside the longitude
  writebytes(dir.file("in.csv"), csv + last);
  prepareoptions o;
  o.csvpath = dir.file("in.csv");
  o.dir = dir.path();
  prepareresult res = preparedatabase(o);
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(res.counts.rows, 11u);
  EXPECT_EQ(res.counts.german, 10u);
  EXPECT_EQ(res.counts.skipped[kSkipMalformed], 1u);
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")).size(), 10u * 44);
}

TEST(Truncated, CsvCutInsideAQuotedFieldSkipsTheBrokenRow) {
  scratchdir dir("cutquote");
  std::string csv = germancsv(3, false);
  writebytes(dir.file("in.csv"), csv + "\"LTE\",262,2,100,4711,0,\"9.5");
  prepareoptions o;
  o.csvpath = dir.file("in.csv");
  o.dir = dir.path();
  prepareresult res = preparedatabase(o);
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(res.counts.german, 3u);
  EXPECT_EQ(res.counts.skipped[kSkipMalformed], 1u);
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")).size(), 3u * 44);
}

// An endless input: a header, then blank lines (plain or as one endless
// gzip stream), produced as fast as the reader takes them.
class endlessinput {
 public:
  explicit endlessinput(bool gzip) : gzip_(gzip) {
    if (gzip_) deflateInit2(&z_, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  }
  ~endlessinput() {
    if (gzip_) deflateEnd(&z_);
  }
  // The next piece to write.
  std::string next() {
    std::string text = first_ ? germancsv(0, false) : std::string();
    first_ = false;
    text.append(256 << 10, '\n');
    if (!gzip_) return text;
    std::string out(deflateBound(&z_, text.size()) + 64, '\0');
    z_.next_in = reinterpret_cast<Bytef*>(text.data());
    z_.avail_in = static_cast<uInt>(text.size());
    z_.next_out = reinterpret_cast<Bytef*>(out.data());
    z_.avail_out = static_cast<uInt>(out.size());
    deflate(&z_, Z_SYNC_FLUSH);
    out.resize(out.size() - z_.avail_out);
    return out;
  }

 private:
  bool gzip_;
  bool first_ = true;
  z_stream z_{};
};

TEST(Signals, SigtermOrCtrlCStopsARunningConversionWhateverItReads) {
  // The input is a FIFO that the test keeps full of blank lines, which are
  // no rows to count; the signal comes while turmcli reads them.  The
  // child must end by itself with status 2, old files kept.
  std::signal(SIGPIPE, SIG_IGN);
  for (bool gzip : {false, true}) {
    for (int sig : {SIGTERM, SIGINT}) {
      SCOPED_TRACE(std::string(gzip ? "gzip, " : "plain, ") + (sig == SIGTERM ? "SIGTERM" : "SIGINT"));
      scratchdir dir("signal");
      putoldfiles(dir);
      const std::string fifo = dir.file("input.csv");
      if (::mkfifo(fifo.c_str(), 0600) != 0) GTEST_SKIP() << "cannot make a FIFO here: " << std::strerror(errno);
      int report[2];
      ASSERT_EQ(::pipe(report), 0);
      std::fflush(nullptr);
      pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        ::close(report[0]);
        std::ostringstream out, err;
        int status = runturmcli({"prepare", fifo, "--dir", dir.path()}, out, err);
        std::string text = err.str();
        if (::write(report[1], text.data(), text.size()) < 0) status = 99;
        ::_exit(status);
      }
      ::close(report[1]);
      // Opening blocks until turmcli has opened the FIFO for reading.
      int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
      ASSERT_GE(fd, 0);
      // A full pipe of blank lines: 1 MB plain; as gzip the default 64 KB
      // already hold some 16 MB of them.
      if (!gzip) ::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
      const std::uint64_t consumed = gzip ? (128u << 10) : (2u << 20);
      endlessinput input(gzip);
      std::uint64_t written = 0;
      bool signalled = false;
      int ws = 0;
      pid_t ended = 0;
      const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      std::string piece;
      std::size_t offset = 0;
      while (ended == 0 && std::chrono::steady_clock::now() < bound) {
        // Written beyond what the pipe holds: turmcli has read past the
        // header into the blank lines, and the signal lands there.
        if (!signalled && written > consumed) {
          ::kill(child, sig);
          signalled = true;
          ::fcntl(fd, F_SETFL, O_NONBLOCK);
        }
        if (offset == piece.size()) {
          piece = input.next();
          offset = 0;
        }
        struct pollfd p {fd, POLLOUT, 0};
        if (::poll(&p, 1, 100) > 0) {
          ssize_t n = ::write(fd, piece.data() + offset, piece.size() - offset);
          if (n > 0) {
            offset += static_cast<std::size_t>(n);
            written += static_cast<std::uint64_t>(n);
          }
        }
        ended = ::waitpid(child, &ws, WNOHANG);
      }
      ::close(fd);
      if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &ws, 0);
        ADD_FAILURE() << "turmcli was still converting 30 s after the signal";
      } else {
        EXPECT_TRUE(WIFEXITED(ws)) << "turmcli died of the signal instead of stopping";
        if (WIFEXITED(ws)) EXPECT_EQ(WEXITSTATUS(ws), kExitFailure);
      }
      std::string text;
      char buf[4096];
      for (ssize_t n; (n = ::read(report[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
      ::close(report[0]);
      if (ended != 0) EXPECT_NE(text.find("Abgebrochen"), std::string::npos) << text;
      expectoldfiles(dir, {"input.csv"});
    }
  }
}

}  // namespace
