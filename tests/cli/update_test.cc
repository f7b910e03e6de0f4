// turmcli update: a diff applied to a prepared database agrees with a
// prepare of the merged data (the real sample split in two), known cells
// keep their record number, the Berlin file follows the one Berlin rule,
// and every failure leaves both files byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <sstream>
#include <thread>
#include <sys/resource.h>
#include <unistd.h>

#include "ingest/berlinbounds.h"
#include "cli/commands.h"
#include "ingest/prepare.h"
#include "ingest/update.h"
#include "lib/support/real48.h"
#include "tests/common/testfiles.h"

namespace {

const char* kHeader =
    "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";

std::string row(const std::string& radio, const std::string& mcc, const std::string& cell,
                const std::string& lon, const std::string& lat, const std::string& range = "1000",
                const std::string& net = "1", const std::string& area = "7") {
  return radio + "," + mcc + "," + net + "," + area + "," + cell + ",0," + lon + "," + lat + "," +
         range + ",5,1,1294561074,1662692508,0\n";
}

prepareresult prepare(const std::string& csv, const std::string& dir) {
  prepareoptions o;
  o.csvpath = csv;
  o.dir = dir;
  return preparedatabase(o);
}

updateresult update(const std::string& diff, const std::string& dir) {
  updateoptions o;
  o.diffpath = diff;
  o.dir = dir;
  return updatedatabase(o);
}

// The data lines of a CSV text (header dropped).
std::vector<std::string> datalines(const std::string& text) {
  std::vector<std::string> l;
  std::istringstream in(text);
  std::string s;
  std::getline(in, s);
  while (std::getline(in, s)) l.push_back(s + "\n");
  return l;
}

std::string csvof(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
  std::string t = kHeader;
  for (std::size_t i = from; i < to && i < lines.size(); ++i) t += lines[i];
  return t;
}

std::string field(const std::string& line, int n) {
  std::size_t a = 0;
  for (int i = 0; i < n; ++i) a = line.find(',', a) + 1;
  return line.substr(a, line.find(',', a) - a);
}

// The line with fields 6 (lon), 7 (lat) and 8 (range) replaced.
std::string moved(const std::string& line, const std::string& lon, const std::string& lat,
                  const std::string& range) {
  std::vector<std::string> f;
  std::size_t a = 0;
  std::string body = line.substr(0, line.size() - 1);
  for (;;) {
    std::size_t b = body.find(',', a);
    f.push_back(body.substr(a, b == std::string::npos ? std::string::npos : b - a));
    if (b == std::string::npos) break;
    a = b + 1;
  }
  f[6] = lon;
  f[7] = lat;
  f[8] = range;
  std::string t;
  for (std::size_t i = 0; i < f.size(); ++i) t += (i ? "," : "") + f[i];
  return t + "\n";
}

const std::string kSample = TURM_SHARED_DIR "/data/opencellid-sample.csv";

TEST(UpdateSample, PrepareOfOneHalfThenUpdateWithTheOtherGivesPrepareOfTheWhole) {
  if (!fileexists(kSample)) GTEST_SKIP() << "sample data missing: " << kSample;
  auto lines = datalines(readbytes(kSample));
  scratchdir whole("upd-whole"), parts("upd-parts");
  writebytes(parts.file("first.csv"), csvof(lines, 0, lines.size() / 2));
  writebytes(parts.file("second.csv.gz"), gzipped(csvof(lines, lines.size() / 2, lines.size())));
  ASSERT_TRUE(prepare(kSample, whole.path()).ok);
  ASSERT_TRUE(prepare(parts.file("first.csv"), parts.path()).ok);
  updateresult r = update(parts.file("second.csv.gz"), parts.path());
  ASSERT_TRUE(r.ok) << r.error;

  std::string g = readbytes(whole.file("germtowers.dat")), b = readbytes(whole.file("berlintowers.dat"));
  ASSERT_GT(b.size(), 1000 * sizeof(ttowerrec));
  EXPECT_TRUE(readbytes(parts.file("germtowers.dat")) == g) << "germtowers.dat differs";
  EXPECT_TRUE(readbytes(parts.file("berlintowers.dat")) == b) << "berlintowers.dat differs";
  EXPECT_EQ(r.counts.german, g.size() / sizeof(ttowerrec));
  EXPECT_EQ(r.counts.berlin, b.size() / sizeof(ttowerrec));
  EXPECT_EQ(r.counts.before + r.counts.added, r.counts.german);
  EXPECT_EQ(r.counts.rows, lines.size() - lines.size() / 2);
  EXPECT_EQ(r.counts.updated + r.counts.unchanged, 0u);
}

TEST(UpdateSample, MovedCellsStayAtTheirRecordNumberLikePrepareOfTheMergedData) {
  if (!fileexists(kSample)) GTEST_SKIP() << "sample data missing: " << kSample;
  auto lines = datalines(readbytes(kSample));
  const std::size_t half = lines.size() / 2;
  // Every 25th German row of the first half moves: alternately into the
  // Berlin box, out of it (to Munich), or stays put with a new range.
  std::vector<std::string> merged = lines, later;
  int n = 0, intoberlin = 0, outofberlin = 0;
  for (std::size_t i = 0; i < half; ++i) {
    if (field(lines[i], 1) != "262" || i % 25 != 0) continue;
    std::string m;
    switch (n++ % 3) {
      case 0: m = moved(lines[i], "13.40" + std::to_string(n % 10), "52.52", "777"); ++intoberlin; break;
      case 1: m = moved(lines[i], "11.575", "48.137", "1234"); ++outofberlin; break;
      default: m = moved(lines[i], field(lines[i], 6), field(lines[i], 7), "4321"); break;
    }
    merged[i] = m;
    // An earlier, different row of the same cell: the later one wins.
    later.push_back(moved(lines[i], "1.5", "2.5", "99"));
    later.push_back(m);
  }
  ASSERT_GT(n, 100);
  std::vector<std::string> diff(lines.begin() + static_cast<long>(half), lines.end());
  // The moved rows spread through the diff, after the new rows they meet.
  for (std::size_t k = 0; k < later.size(); ++k)
    diff.insert(diff.begin() + static_cast<long>(k * diff.size() / (later.size() + 1)) + 1, later[k]);

  scratchdir expected("upd-merged"), got("upd-moved");
  writebytes(expected.file("merged.csv"), csvof(merged, 0, merged.size()));
  writebytes(got.file("first.csv"), csvof(lines, 0, half));
  writebytes(got.file("diff.csv"), csvof(diff, 0, diff.size()));
  ASSERT_TRUE(prepare(expected.file("merged.csv"), expected.path()).ok);
  ASSERT_TRUE(prepare(got.file("first.csv"), got.path()).ok);
  std::string before = readbytes(got.file("germtowers.dat"));
  updateresult r = update(got.file("diff.csv"), got.path());
  ASSERT_TRUE(r.ok) << r.error;

  std::string g = readbytes(got.file("germtowers.dat"));
  EXPECT_TRUE(g == readbytes(expected.file("germtowers.dat"))) << "germtowers.dat differs";
  EXPECT_TRUE(readbytes(got.file("berlintowers.dat")) == readbytes(expected.file("berlintowers.dat")))
      << "berlintowers.dat differs";
  EXPECT_EQ(r.counts.updated, static_cast<std::uint64_t>(n));
  EXPECT_EQ(r.counts.superseded, static_cast<std::uint64_t>(n));
  EXPECT_EQ(r.counts.before, before.size() / sizeof(ttowerrec));
  EXPECT_GT(intoberlin, 30);
  EXPECT_GT(outofberlin, 30);
}

// A small database made by prepare: cells 1 .. 4 of net 1, area 7.
struct handdb {
  scratchdir dir{"upd-hand"};
  handdb() {
    std::string csv = kHeader;
    csv += row("GSM", "262", "1", "10.5", "50.5");
    csv += row("GSM", "262", "2", "13.4", "52.5");  // Berlin
    csv += row("LTE", "262", "3", "9.25", "48.75", "500");
    csv += row("GSM", "262", "4", "13.5", "52.6");  // Berlin
    writebytes(dir.file("first.csv"), csv);
    EXPECT_TRUE(prepare(dir.file("first.csv"), dir.path()).ok);
  }
  std::vector<ttowerrec> german() const { return readrecords(dir.file("germtowers.dat")); }
  std::vector<ttowerrec> berlin() const { return readrecords(dir.file("berlintowers.dat")); }
};

// The record prepare makes of one row.
ttowerrec converted(const std::string& line) {
  scratchdir d("upd-one");
  writebytes(d.file("one.csv"), std::string(kHeader) + line);
  EXPECT_TRUE(prepare(d.file("one.csv"), d.path()).ok);
  auto r = readrecords(d.file("germtowers.dat"));
  EXPECT_EQ(r.size(), 1u);
  return r.empty() ? ttowerrec{} : r[0];
}

bool same(const ttowerrec& a, const ttowerrec& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(UpdateRows, KnownCellsChangeInPlaceNewOnesAreAppendedBadRowsCountedWithPreparesReasons) {
  handdb db;
  auto before = db.german();
  std::string diff = kHeader;
  diff += row("GSM", "262", "2", "11.0", "51.0", "2000");   // 2 leaves Berlin
  diff += row("LTE", "262", "3", "9.25", "48.75", "500");    // 3 as it was
  diff += row("GSM", "262", "9", "8.0", "49.0");             // new, replaced below
  diff += row("LTE", "262", "1", "13.1", "52.4");            // LTE 1: not GSM 1, new (Berlin)
  diff += row("GSM", "208", "1", "2.35", "48.85");           // France
  diff += row("GSM", "262", "4", "13.5", "52.6", "1e3");     // bad range: 4 stays
  diff += row("GSM", "262", "5", "200", "52.6");             // bad position
  diff += row("GSM", "262", "6", "13.5", "52.6", "10", "70000");  // bad net
  diff += row("GSM", "262", "9", "13.45", "52.45", "3000");  // 9 again: this one wins
  diff += row("GSM", "262", "1", "10.5", "50.5", "1000", "2");    // net 2: another cell
  writebytes(db.dir.file("diff.csv"), diff);
  updateresult r = update(db.dir.file("diff.csv"), db.dir.path());
  ASSERT_TRUE(r.ok) << r.error;

  auto g = db.german();
  ASSERT_EQ(g.size(), 7u);
  EXPECT_TRUE(same(g[0], before[0]));
  EXPECT_TRUE(same(g[1], converted(row("GSM", "262", "2", "11.0", "51.0", "2000"))));
  EXPECT_TRUE(same(g[2], before[2]));
  EXPECT_TRUE(same(g[3], before[3]));
  EXPECT_TRUE(same(g[4], converted(row("GSM", "262", "9", "13.45", "52.45", "3000"))));
  EXPECT_TRUE(same(g[5], converted(row("LTE", "262", "1", "13.1", "52.4"))));
  EXPECT_TRUE(same(g[6], converted(row("GSM", "262", "1", "10.5", "50.5", "1000", "2"))));

  auto b = db.berlin();
  ASSERT_EQ(b.size(), 3u);
  EXPECT_TRUE(same(b[0], g[3]));
  EXPECT_TRUE(same(b[1], g[4]));
  EXPECT_TRUE(same(b[2], g[5]));

  const updatecounts& c = r.counts;
  EXPECT_EQ(c.rows, 10u);
  EXPECT_EQ(c.updated, 1u);
  EXPECT_EQ(c.unchanged, 1u);
  EXPECT_EQ(c.added, 3u);
  EXPECT_EQ(c.superseded, 1u);
  EXPECT_EQ(c.othercountry, 1u);
  EXPECT_EQ(c.skipped[kSkipRange], 1u);
  EXPECT_EQ(c.skipped[kSkipPosition], 1u);
  EXPECT_EQ(c.skipped[kSkipNet], 1u);
  EXPECT_EQ(c.skippedtotal(), 3u);
  EXPECT_EQ(c.before, 4u);
  EXPECT_EQ(c.german, 7u);
  EXPECT_EQ(c.berlin, 3u);

  // The summary names the counts as prepare's does.
  std::ostringstream out, err;
  writebytes(db.dir.file("again.csv"), diff);
  EXPECT_EQ(runturmcli({"update", db.dir.file("again.csv"), "--dir", db.dir.path()}, out, err), kExitOk)
      << err.str();
  auto line = [](const std::string& label, int labelchars, const std::string& n) {
    return label + std::string(static_cast<std::size_t>(20 - labelchars + 12) - n.size(), ' ') + n;
  };
  EXPECT_NE(out.str().find(line("Unverändert:", 12, "5") + " Zellen\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find(line("Neu:", 4, "0") + " Zellen"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("range keine 32-Bit-Zahl"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find(line("berlintowers.dat:", 17, "3") + " Zellen"), std::string::npos) << out.str();
  EXPECT_EQ(db.german().size(), 7u) << "a second run of the same diff added cells";
}

TEST(BerlinRule, BoundsAreIncludedOnTheStoredCoordinatesInPrepareAndUpdateAlike) {
  auto at = [](long double lon, long double lat) {
    ttowerrec r{};
    r.longitude = toreal(lon);
    r.latitude = toreal(lat);
    return r;
  };
  EXPECT_TRUE(inberlin(at(13.08L, 52.33L)));
  EXPECT_TRUE(inberlin(at(13.77L, 52.68L)));
  EXPECT_FALSE(inberlin(at(13.079999L, 52.5L)));
  EXPECT_FALSE(inberlin(at(13.5L, 52.680001L)));
  EXPECT_FALSE(inberlin(at(-13.5L, 52.5L)));
  // One step of the 6-byte real below the lower bound is outside.
  ttowerrec below = at(13.08L, 52.5L);
  ASSERT_NE(below.longitude.bytes[1], 0);
  below.longitude.bytes[1] -= 1;
  EXPECT_FALSE(inberlin(below));

  scratchdir dir("upd-bounds");
  std::string csv = kHeader;
  csv += row("GSM", "262", "1", "13.08", "52.33");
  csv += row("GSM", "262", "2", "13.77", "52.68");
  csv += row("GSM", "262", "3", "13.079999", "52.5");
  csv += row("GSM", "262", "4", "13.5", "52.680001");
  writebytes(dir.file("in.csv"), csv);
  ASSERT_TRUE(prepare(dir.file("in.csv"), dir.path()).ok);
  auto b = readrecords(dir.file("berlintowers.dat"));
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(+b[0].cellid, 1);
  EXPECT_EQ(+b[1].cellid, 2);

  // The update moves 1 just out and 3 onto the bound.
  std::string diff = kHeader;
  diff += row("GSM", "262", "1", "13.08", "52.329999");
  diff += row("GSM", "262", "3", "13.0800", "52.5");
  writebytes(dir.file("diff.csv"), diff);
  ASSERT_TRUE(update(dir.file("diff.csv"), dir.path()).ok);
  b = readrecords(dir.file("berlintowers.dat"));
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(+b[0].cellid, 2);
  EXPECT_EQ(+b[1].cellid, 3);
}

// Both files and the folder's names, to be found unchanged after a failure.
struct snapshot {
  explicit snapshot(const scratchdir& d)
      : dir(d), german(readbytes(d.file("germtowers.dat"))), berlin(readbytes(d.file("berlintowers.dat"))),
        names(d.entries()) {}
  void expectunchanged(const std::string& what) const {
    EXPECT_TRUE(readbytes(dir.file("germtowers.dat")) == german) << what << ": germtowers.dat changed";
    EXPECT_TRUE(readbytes(dir.file("berlintowers.dat")) == berlin) << what << ": berlintowers.dat changed";
    EXPECT_EQ(dir.entries(), names) << what << ": temporary files left behind";
  }
  const scratchdir& dir;
  std::string german, berlin;
  std::vector<std::string> names;
};

// A database of n cells (every 10th in Berlin) and a diff that moves
// every 7th and adds n / 2 new ones.
void bigcase(const scratchdir& dir, int n) {
  std::string csv = kHeader, diff = kHeader;
  for (int i = 1; i <= n; ++i) {
    bool berlin = i % 10 == 0;
    csv += row("GSM", "262", std::to_string(i), berlin ? "13.4" : "9.5", berlin ? "52.5" : "50.5");
    if (i % 7 == 0) diff += row("GSM", "262", std::to_string(i), "13.41", "52.51", "55");
  }
  for (int i = n + 1; i <= n + n / 2; ++i) diff += row("LTE", "262", std::to_string(i), "8.5", "49.5");
  writebytes(dir.file("in.csv"), csv);
  EXPECT_TRUE(prepare(dir.file("in.csv"), dir.path()).ok);
  writebytes(dir.file("diff.csv"), diff);
  writebytes(dir.file("diff.csv.gz"), gzipped(diff));
}

TEST(UpdateFailures, BadInputLeavesBothFilesByteForByteAndNoTemporaryFile) {
  scratchdir dir("upd-bad");
  bigcase(dir, 20000);
  std::string gz = readbytes(dir.file("diff.csv.gz"));
  writebytes(dir.file("cut.csv.gz"), gz.substr(0, gz.size() / 2));
  std::string damaged = gz;
  damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x55);
  writebytes(dir.file("damaged.csv.gz"), damaged);
  std::string crc = gz;
  crc[crc.size() - 6] = static_cast<char>(crc[crc.size() - 6] ^ 1);  // the trailer's checksum
  writebytes(dir.file("crc.csv.gz"), crc);
  writebytes(dir.file("nocolumns.csv"), "radio,mcc,net,area,cell\nGSM,262,1,1,1\n");
  writebytes(dir.file("empty.csv"), "");
  snapshot before(dir);
  for (const char* name : {"cut.csv.gz", "damaged.csv.gz", "crc.csv.gz", "nocolumns.csv", "empty.csv",
                           "missing.csv"}) {
    updateresult r = update(dir.file(name), dir.path());
    EXPECT_FALSE(r.ok) << name;
    EXPECT_FALSE(r.error.empty()) << name;
    before.expectunchanged(name);
  }
  // The whole diff still applies afterwards.
  ASSERT_TRUE(update(dir.file("diff.csv.gz"), dir.path()).ok);
  EXPECT_EQ(readrecords(dir.file("germtowers.dat")).size(), 30000u);
}

TEST(UpdateFailures, FullDiskLeavesBothFilesByteForByte) {
  scratchdir dir("upd-full");
  bigcase(dir, 20000);  // 880,000 bytes of records before, 1.3 MB after
  snapshot before(dir);
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldhandler = std::signal(SIGXFSZ, SIG_IGN);
  for (rlim_t limit : {rlim_t{100000}, rlim_t{1000000}}) {  // in the copy, in the appended cells
    struct rlimit small = saved;
    small.rlim_cur = limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    updateresult r = update(dir.file("diff.csv"), dir.path());
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(r.ok) << limit;
    EXPECT_NE(r.error.find("Schreibfehler"), std::string::npos) << r.error;
    before.expectunchanged("limit " + std::to_string(limit));
  }
  std::signal(SIGXFSZ, oldhandler);
}

TEST(UpdateFailures, CancelAtAnyPollLeavesBothFilesByteForByte) {
  scratchdir dir("upd-cancel");
  bigcase(dir, 60000);  // more than one block of the database
  snapshot before(dir);
  updateoptions o;
  o.diffpath = dir.file("diff.csv");
  o.dir = dir.path();
  int polls = 0;
  o.cancelled = [&polls] { return ++polls < 0; };
  // A dry count of the polls, on a copy so the real files stay.
  scratchdir copy("upd-cancel-copy");
  writebytes(copy.file("germtowers.dat"), before.german);
  o.dir = copy.path();
  ASSERT_TRUE(updatedatabase(o).ok);
  const int total = polls;
  ASSERT_GT(total, 4);
  o.dir = dir.path();
  for (int stopat : {1, 2, total / 2, total - 1, total}) {
    polls = 0;
    o.cancelled = [&polls, stopat] { return ++polls >= stopat; };
    updateresult r = updatedatabase(o);
    EXPECT_FALSE(r.ok) << "stopped at poll " << stopat << " of " << total;
    EXPECT_EQ(r.error, "Abgebrochen");
    before.expectunchanged("poll " + std::to_string(stopat));
  }
}

TEST(UpdateFailures, CtrlCWhileTheDiffComesThroughAPipeLeavesBothFiles) {
  scratchdir dir("upd-sigint");
  bigcase(dir, 20000);  // half the diff is far more than a pipe holds
  snapshot before(dir);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  int savedin = dup(STDIN_FILENO);
  ASSERT_EQ(dup2(fds[0], STDIN_FILENO), STDIN_FILENO);
  close(fds[0]);
  std::string diff = readbytes(dir.file("diff.csv"));
  std::thread feeder([&] {
    std::size_t half = diff.size() / 2;
    (void)!write(fds[1], diff.data(), half);
    std::raise(SIGINT);  // this thread: handled before raise returns
    (void)!write(fds[1], diff.data() + half, diff.size() - half);
    close(fds[1]);
  });
  std::ostringstream out, err;
  auto oldpipe = std::signal(SIGPIPE, SIG_IGN);
  int status = runturmcli({"update", "-", "--dir", dir.path()}, out, err);
  // The update may stop before it read everything: closing the pipe's
  // reading end lets the feeder's write fail instead of waiting for ever.
  dup2(savedin, STDIN_FILENO);
  close(savedin);
  feeder.join();
  std::signal(SIGPIPE, oldpipe);
  EXPECT_EQ(status, kExitFailure);
  EXPECT_NE(err.str().find("turmcli update: Abgebrochen"), std::string::npos) << err.str();
  before.expectunchanged("SIGINT");
}

TEST(UpdateFailures, CtrlCDuringEndlessBlankLinesStopsAtOnce) {
  // Blank lines are no rows: the update must still notice the signal
  // while it reads them, not only at the end of the input.
  scratchdir dir("upd-blank");
  bigcase(dir, 100);
  snapshot before(dir);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  int savedin = dup(STDIN_FILENO);
  ASSERT_EQ(dup2(fds[0], STDIN_FILENO), STDIN_FILENO);
  close(fds[0]);
  std::atomic<bool> finished{false};
  std::thread feeder([&] {
    const std::string blank(1 << 16, '\n');
    (void)!write(fds[1], kHeader, std::strlen(kHeader));
    for (int i = 0; i < 4096; ++i) {  // 256 MB of blank lines
      if (write(fds[1], blank.data(), blank.size()) < 0) break;
      if (i == 16) std::raise(SIGINT);
    }
    finished = true;
    close(fds[1]);
  });
  std::ostringstream out, err;
  auto oldpipe = std::signal(SIGPIPE, SIG_IGN);
  int status = runturmcli({"update", "-", "--dir", dir.path()}, out, err);
  bool stoppedearly = !finished;
  dup2(savedin, STDIN_FILENO);
  close(savedin);
  feeder.join();
  std::signal(SIGPIPE, oldpipe);
  EXPECT_EQ(status, kExitFailure);
  EXPECT_TRUE(stoppedearly) << "the update read on to the end of the input";
  EXPECT_NE(err.str().find("Abgebrochen"), std::string::npos) << err.str();
  before.expectunchanged("SIGINT in blank lines");
}

TEST(UpdateFailures, NoDatabaseRefusesAndPointsToPrepare) {
  scratchdir dir("upd-nodb");
  writebytes(dir.file("diff.csv"), std::string(kHeader) + row("GSM", "262", "1", "13.4", "52.5"));
  writebytes(dir.file("berlintowers.dat"), "old berlin");
  std::ostringstream out, err;
  EXPECT_EQ(runturmcli({"update", dir.file("diff.csv"), "--dir", dir.path()}, out, err), kExitFailure);
  EXPECT_NE(err.str().find("germtowers.dat fehlt"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("turmcli prepare"), std::string::npos) << err.str();
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"berlintowers.dat", "diff.csv"}));
  EXPECT_EQ(readbytes(dir.file("berlintowers.dat")), "old berlin");
  EXPECT_TRUE(update(dir.file("diff.csv"), dir.path()).nodatabase);

  std::ostringstream out2, err2;
  EXPECT_EQ(runturmcli({"update", "--help"}, out2, err2), kExitOk);
  EXPECT_NE(out2.str().find("Aufruf: turmcli update DIFF [--dir DIR]"), std::string::npos) << out2.str();
}

}  // namespace
