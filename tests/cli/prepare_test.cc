// The converter end to end: the real sample, row checks and skip counts,
// column order, quoting, gzip, and that failures never touch the old files.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "ingest/prepare.h"
#include "ingest/summary.h"
#include "lib/support/w1252.h"
#include "tests/common/testfiles.h"

namespace {

const char* kHeader = "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";

std::string row(const std::string& radio, const std::string& mcc, const std::string& net,
                const std::string& area, const std::string& cell, const std::string& lon,
                const std::string& lat, const std::string& range = "1000",
                const std::string& unit = "0", const std::string& samples = "5") {
  return radio + "," + mcc + "," + net + "," + area + "," + cell + "," + unit + "," + lon + "," +
         lat + "," + range + "," + samples + ",1,1294561074,1662692508,0\n";
}

prepareresult prepare(const std::string& csv, const std::string& dir) {
  prepareoptions o;
  o.csvpath = csv;
  o.dir = dir;
  return preparedatabase(o);
}

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream s(line);
  std::string x;
  while (std::getline(s, x, ',')) f.push_back(x);
  return f;
}

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t get32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

// Packed record fields are compared as copies (unary +): binding a
// misaligned field to a reference is undefined.

// The record the test itself expects for a sample row (fields in the
// sample's column order).
void expectrecord(const ttowerrec& r, const std::vector<std::string>& f, std::size_t n) {
  const std::string& radio = f[0];
  int code = radio == "GSM" ? 1 : radio == "UMTS" ? 2 : radio == "LTE" ? 4 : radio == "CDMA" ? 5 : 3;
  ASSERT_EQ(r.typecode, code) << "row " << n;
  ASSERT_EQ(gettypetext(r), radio.substr(0, 10)) << "row " << n;
  for (std::size_t i = 1 + radio.size(); i < 11; ++i) ASSERT_EQ(r.typetext[i], 0) << "row " << n;
  ASSERT_EQ(+r.matchcode, 262);
  ASSERT_EQ(+r.netid, std::stoi(f[2])) << "row " << n;
  ASSERT_EQ(+r.area, std::stoi(f[3])) << "row " << n;
  ASSERT_EQ(+r.cellid, std::stol(f[4])) << "row " << n;
  ASSERT_EQ(get16(r.unit22), static_cast<std::uint16_t>(std::stoi(f[5]))) << "row " << n;
  ASSERT_EQ(r.longitude, toreal(std::strtold(f[6].c_str(), nullptr))) << "row " << n;
  ASSERT_EQ(r.latitude, toreal(std::strtold(f[7].c_str(), nullptr))) << "row " << n;
  ASSERT_EQ(+r.range, std::stol(f[8])) << "row " << n;
  ASSERT_EQ(get32(r.samples40), static_cast<std::uint32_t>(std::stoul(f[9]))) << "row " << n;
}

bool inberlinbox(const std::vector<std::string>& f) {
  long double lon = std::strtold(f[6].c_str(), nullptr), lat = std::strtold(f[7].c_str(), nullptr);
  return lon >= 13.08L && lon <= 13.77L && lat >= 52.33L && lat <= 52.68L;
}

TEST(SampleData, EveryGermanRowIsWrittenFieldForFieldInInputOrder) {
  const std::string sample = TURM_SHARED_DIR "/data/opencellid-sample.csv";
  if (!fileexists(sample)) GTEST_SKIP() << "sample data missing: " << sample;
  scratchdir dir("sample");
  prepareresult res = prepare(sample, dir.path());
  ASSERT_TRUE(res.ok) << res.error;

  std::vector<std::vector<std::string>> german, berlin;
  std::stringstream text(readbytes(sample));
  std::string line;
  std::getline(text, line);  // header
  std::size_t rows = 0, other = 0;
  while (std::getline(text, line)) {
    ++rows;
    auto f = split(line);
    ASSERT_GE(f.size(), 10u);
    if (f[1] != "262") {
      ++other;
      continue;
    }
    german.push_back(f);
    if (inberlinbox(f)) berlin.push_back(f);
  }
  auto g = readrecords(dir.file("germtowers.dat"));
  auto b = readrecords(dir.file("berlintowers.dat"));
  EXPECT_EQ(res.counts.rows, rows);
  EXPECT_EQ(res.counts.othercountry, other);
  EXPECT_EQ(res.counts.skippedtotal(), 0u);
  ASSERT_EQ(g.size(), german.size());
  ASSERT_EQ(b.size(), berlin.size());
  EXPECT_EQ(res.counts.german, g.size());
  EXPECT_EQ(res.counts.berlin, b.size());
  EXPECT_GT(b.size(), 1000u);
  for (std::size_t i = 0; i < g.size(); ++i) expectrecord(g[i], german[i], i);
  for (std::size_t i = 0; i < b.size(); ++i) expectrecord(b[i], berlin[i], i);
  EXPECT_EQ(dir.entries(),
            (std::vector<std::string>{"berlintowers.dat", "berlintowers.idx", "germtowers.dat", "germtowers.idx"}));
}

TEST(RowChecks, EachUnfitRowIsSkippedUnderItsOwnReason) {
  scratchdir dir("skips");
  std::string csv = kHeader;
  csv += row("GSM", "262", "1", "100", "200", "13.4", "52.5");           // ok, Berlin
  csv += row("GSM", "262", "65536", "100", "200", "10", "50");           // net
  csv += row("GSM", "262", "-1", "100", "200", "10", "50");              // net
  csv += row("GSM", "262", "1", "65536", "200", "10", "50");             // area
  csv += row("NR", "262", "1", "100", "68719476736", "10", "50");        // cell: 37 bits
  csv += row("GSM", "262", "1", "100", "-5", "10", "50");                // cell
  csv += row("GSM", "262", "1", "100", "200", "abc", "50");              // position
  csv += row("GSM", "262", "1", "100", "200", "180.5", "50");            // position
  csv += row("GSM", "262", "1", "100", "200", "10", "-90.01");           // position
  csv += row("GSM", "262", "1", "100", "200", "nan", "50");              // position
  csv += row("GSM", "262", "1", "100", "200", "10", "50", "2147483648"); // range
  csv += row("GSM", "262", "1", "100", "200", "10", "50", "12.5");       // range
  csv += row("GSM", "262", "1", "100", "200", "10", "50", "5", "70000"); // unit
  csv += row("GSM", "262", "1", "100", "200", "10", "50", "5", "1", "x");// samples
  csv += "GSM,262,1,100\n";                                              // too few fields
  csv += row("GSM", "x262", "1", "100", "200", "10", "50");              // mcc not a number
  csv += row("LTE", "310", "1", "99999", "200", "-80", "40");            // other country, not skipped
  csv += row("UMTS", "262", "65535", "65535", "2147483647", "-180", "90", "-2147483648"); // ok: limits
  writebytes(dir.file("in.csv"), csv);
  prepareresult res = prepare(dir.file("in.csv"), dir.path());
  ASSERT_TRUE(res.ok) << res.error;
  const auto& c = res.counts;
  EXPECT_EQ(c.rows, 18u);
  EXPECT_EQ(c.german, 2u);
  EXPECT_EQ(c.berlin, 1u);
  EXPECT_EQ(c.othercountry, 1u);
  EXPECT_EQ(c.skipped[kSkipNet], 2u);
  EXPECT_EQ(c.skipped[kSkipArea], 1u);
  EXPECT_EQ(c.skipped[kSkipCell], 2u);
  EXPECT_EQ(c.skipped[kSkipPosition], 4u);
  EXPECT_EQ(c.skipped[kSkipRange], 2u);
  EXPECT_EQ(c.skipped[kSkipUnitSamples], 2u);
  EXPECT_EQ(c.skipped[kSkipMalformed], 2u);
  auto g = readrecords(dir.file("germtowers.dat"));
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(+g[1].netid, 65535);
  EXPECT_EQ(+g[1].cellid, 2147483647);
  EXPECT_EQ(+g[1].range, INT32_MIN);
  EXPECT_EQ(toext(g[1].longitude), -180.0L);
}

TEST(RowChecks, RadioNamesUnitAndSamplesAreStoredAsDocumented) {
  scratchdir dir("radio");
  std::string csv = kHeader;
  csv += row("NBIOT", "262", "1", "1", "1", "10", "50", "1", "-1", "4000000000");
  csv += row("SOMETHINGLONGER", "262", "1", "1", "1", "10", "50", "1", "", "");
  csv += row("cdma", "262", "1", "1", "1", "10", "50", "1", "511", "0");
  csv += row("LTE-Ä", "262", "1", "1", "1", "10", "50");  // the CSV is UTF-8
  writebytes(dir.file("in.csv"), csv);
  prepareresult res = prepare(dir.file("in.csv"), dir.path());
  ASSERT_TRUE(res.ok) << res.error;
  auto g = readrecords(dir.file("germtowers.dat"));
  ASSERT_EQ(g.size(), 4u);
  EXPECT_EQ(g[0].typecode, 3);
  EXPECT_EQ(gettypetext(g[0]), "NBIOT");
  EXPECT_EQ(get16(g[0].unit22), 0xFFFF);  // -1
  EXPECT_EQ(get32(g[0].samples40), 4000000000u);
  EXPECT_EQ(g[1].typetext[0], 10);
  EXPECT_EQ(gettypetext(g[1]), "SOMETHINGL");
  EXPECT_EQ(get16(g[1].unit22), 0);  // empty
  EXPECT_EQ(get32(g[1].samples40), 0u);
  EXPECT_EQ(g[2].typecode, 5);
  EXPECT_EQ(gettypetext(g[2]), "CDMA");
  EXPECT_EQ(g[2].typetext[5], 0);
  EXPECT_EQ(get16(g[2].unit22), 511);
  EXPECT_EQ(g[3].typecode, 3);
  EXPECT_EQ(gettypetext(g[3]), std::string("LTE-Ä"_w));  // stored in Windows-1252
}

TEST(BerlinBox, BoundsAreIncludedAndDecidedOnTheStoredCoordinates) {
  scratchdir dir("bounds");
  std::string csv = kHeader;
  csv += row("GSM", "262", "1", "1", "1", "13.08", "52.33");                  // in
  csv += row("GSM", "262", "1", "1", "2", "13.77", "52.68");                  // in
  csv += row("GSM", "262", "1", "1", "3", "13.0799999999999999999", "52.5");  // in: stored as 13.08
  csv += row("GSM", "262", "1", "1", "4", "13.5", "52.6800001");              // out
  csv += row("GSM", "262", "1", "1", "5", "13.079999", "52.5");               // out
  writebytes(dir.file("in.csv"), csv);
  prepareresult res = prepare(dir.file("in.csv"), dir.path());
  ASSERT_TRUE(res.ok) << res.error;
  auto b = readrecords(dir.file("berlintowers.dat"));
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(+b[0].cellid, 1);
  EXPECT_EQ(+b[1].cellid, 2);
  EXPECT_EQ(+b[2].cellid, 3);
  EXPECT_EQ(readrecords(dir.file("germtowers.dat")).size(), 5u);
}

TEST(CsvShapes, ColumnsAreFoundByNameInAnyOrder) {
  scratchdir dir("order");
  writebytes(dir.file("in.csv"),
             "lat,LON, Cell ,range,area,net,mcc,radio,extra\n"
             "52.5,13.4,777,900,321,2,262,LTE,zzz\n");
  prepareresult res = prepare(dir.file("in.csv"), dir.path());
  ASSERT_TRUE(res.ok) << res.error;
  auto g = readrecords(dir.file("germtowers.dat"));
  ASSERT_EQ(g.size(), 1u);
  EXPECT_EQ(g[0].typecode, 4);
  EXPECT_EQ(+g[0].netid, 2);
  EXPECT_EQ(+g[0].area, 321);
  EXPECT_EQ(+g[0].cellid, 777);
  EXPECT_EQ(+g[0].range, 900);
  EXPECT_EQ(g[0].longitude, toreal(13.4L));
  EXPECT_EQ(g[0].latitude, toreal(52.5L));
  EXPECT_EQ(readrecords(dir.file("berlintowers.dat")).size(), 1u);
}

TEST(CsvShapes, QuotedFieldsCrlfAndByteOrderMark) {
  scratchdir dir("quoted");
  writebytes(dir.file("in.csv"),
             "\xEF\xBB\xBF\"radio\",\"mcc\",net,area,cell,unit,lon,lat,range,samples\r\n"
             "\"GSM\",\"262\",\"1\",\"12\",\"34\",\"-1\",\"13.4\",\"52.5\",\"1000\",\"7\"\r\n"
             "\"5G \"\"NR\"\"\",262,3,5,6,,\"10,5\",50,1,1\r\n"
             "UMTS,262,3,5,6,,10.5,50,1,1\r\n");
  prepareresult res = prepare(dir.file("in.csv"), dir.path());
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(res.counts.rows, 3u);
  EXPECT_EQ(res.counts.skipped[kSkipPosition], 1u);  // "10,5" is not a number
  auto g = readrecords(dir.file("germtowers.dat"));
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(+g[0].area, 12);
  EXPECT_EQ(+g[0].cellid, 34);
  EXPECT_EQ(get32(g[0].samples40), 7u);
  EXPECT_EQ(g[1].typecode, 2);
  EXPECT_EQ(+g[1].range, 1);  // no CR left on the last field
}

TEST(CsvShapes, MissingHeaderOrColumnIsAnErrorAndWritesNothing) {
  scratchdir dir("header");
  writebytes(dir.file("nolat.csv"), "radio,mcc,net,area,cell,lon,range\nGSM,262,1,1,1,13,5\n");
  prepareresult res = prepare(dir.file("nolat.csv"), dir.path());
  EXPECT_FALSE(res.ok);
  EXPECT_NE(res.error.find("lat"), std::string::npos) << res.error;

  writebytes(dir.file("data.csv"), "GSM,262,1,1,1,0,13.4,52.5,100,1\n");  // no header at all
  res = prepare(dir.file("data.csv"), dir.path());
  EXPECT_FALSE(res.ok);
  EXPECT_NE(res.error.find("radio"), std::string::npos) << res.error;

  writebytes(dir.file("empty.csv"), "");
  res = prepare(dir.file("empty.csv"), dir.path());
  EXPECT_FALSE(res.ok);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"data.csv", "empty.csv", "nolat.csv"}));
}

std::string smallcsv(int n) {
  std::string csv = kHeader;
  for (int i = 0; i < n; ++i)
    csv += row(i % 2 ? "GSM" : "LTE", "262", "2", std::to_string(i % 60000), std::to_string(i + 1),
               "13." + std::to_string(100000 + i % 600000), "52.4" + std::to_string(i % 1000));
  return csv;
}

TEST(GzipInput, GivesTheSameFilesAsThePlainCsv) {
  scratchdir plain("plain"), packed("packed");
  std::string csv = smallcsv(20000);
  writebytes(plain.file("in.csv"), csv);
  writebytes(packed.file("in.csv.gz"), gzipped(csv));
  ASSERT_TRUE(prepare(plain.file("in.csv"), plain.path()).ok);
  prepareresult res = prepare(packed.file("in.csv.gz"), packed.path());
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(res.counts.german, 20000u);
  EXPECT_EQ(readbytes(packed.file("germtowers.dat")), readbytes(plain.file("germtowers.dat")));
  EXPECT_EQ(readbytes(packed.file("berlintowers.dat")), readbytes(plain.file("berlintowers.dat")));
}

// Old database files whose bytes must survive a failed run.
struct oldfiles {
  explicit oldfiles(const scratchdir& d) : dir(d) {
    writebytes(dir.file("germtowers.dat"), "old german data");
    writebytes(dir.file("berlintowers.dat"), "old berlin data");
  }
  void expectuntouched(const std::vector<std::string>& others) const {
    EXPECT_EQ(readbytes(dir.file("germtowers.dat")), "old german data");
    EXPECT_EQ(readbytes(dir.file("berlintowers.dat")), "old berlin data");
    std::vector<std::string> expected = others;
    expected.push_back("berlintowers.dat");
    expected.push_back("germtowers.dat");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.entries(), expected) << "temporary files left behind";
  }
  const scratchdir& dir;
};

TEST(NothingLost, TruncatedGzipLeavesTheOldFiles) {
  scratchdir dir("truncated");
  oldfiles old(dir);
  std::string gz = gzipped(smallcsv(30000));
  writebytes(dir.file("in.csv.gz"), gz.substr(0, gz.size() * 2 / 3));
  prepareresult res = prepare(dir.file("in.csv.gz"), dir.path());
  EXPECT_FALSE(res.ok);
  EXPECT_FALSE(res.error.empty());
  old.expectuntouched({"in.csv.gz"});
}

TEST(NothingLost, DiskFullLeavesTheOldFiles) {
  // A file size limit makes writes fail with EFBIG, as a full disk would;
  // it holds for root too, unlike file permissions.
  scratchdir dir("diskfull");
  std::string csv = smallcsv(40000);  // 1.76 MB of records
  writebytes(dir.file("in.csv"), csv);
  oldfiles old(dir);
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldhandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 500000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  prepareresult res = prepare(dir.file("in.csv"), dir.path());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldhandler);
  EXPECT_FALSE(res.ok);
  EXPECT_NE(res.error.find("Schreibfehler"), std::string::npos) << res.error;
  old.expectuntouched({"in.csv"});
}

TEST(NothingLost, InterruptLeavesTheOldFiles) {
  scratchdir dir("interrupt");
  writebytes(dir.file("in.csv"), smallcsv(20000));
  oldfiles old(dir);
  prepareoptions o;
  o.csvpath = dir.file("in.csv");
  o.dir = dir.path();
  {
    interruptguard guard;
    resetinterrupted();
    o.cancelled = [] { return interrupted(); };
    std::raise(SIGINT);  // caught by the guard: only sets the flag
    ASSERT_TRUE(interrupted());
    prepareresult res = preparedatabase(o);
    EXPECT_FALSE(res.ok);
    EXPECT_NE(res.error.find("Abgebrochen"), std::string::npos) << res.error;
  }
  resetinterrupted();
  old.expectuntouched({"in.csv"});
}

TEST(NothingLost, CancelMidwayLeavesTheOldFiles) {
  scratchdir dir("cancel");
  writebytes(dir.file("in.csv"), smallcsv(50000));
  oldfiles old(dir);
  prepareoptions o;
  o.csvpath = dir.file("in.csv");
  o.dir = dir.path();
  int polls = 0;
  o.cancelled = [&polls] { return ++polls > 3; };
  EXPECT_FALSE(preparedatabase(o).ok);
  EXPECT_GT(polls, 3);
  old.expectuntouched({"in.csv"});
}

TEST(NothingLost, ReadOnlyFolderIsAnErrorAndKeepsTheOldFiles) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions (see DiskFull test)";
  scratchdir dir("readonly");
  writebytes(dir.file("in.csv"), smallcsv(100));
  oldfiles old(dir);
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  prepareresult res = prepare(dir.file("in.csv"), dir.path());
  chmod(dir.path().c_str(), 0755);
  EXPECT_FALSE(res.ok);
  old.expectuntouched({"in.csv"});
}

TEST(NothingLost, MissingFolderOrTargetThatIsAFolderIsAnError) {
  scratchdir dir("targets");
  writebytes(dir.file("in.csv"), smallcsv(10));
  prepareresult res = prepare(dir.file("in.csv"), dir.file("nowhere"));
  EXPECT_FALSE(res.ok);
  EXPECT_NE(res.error.find("nowhere"), std::string::npos) << res.error;

  ASSERT_EQ(mkdir(dir.file("berlintowers.dat").c_str(), 0755), 0);
  writebytes(dir.file("germtowers.dat"), "old german data");
  res = prepare(dir.file("in.csv"), dir.path());
  EXPECT_FALSE(res.ok);
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")), "old german data");
}

TEST(NothingLost, SuccessReplacesTheOldFilesAndLeavesNoTemporaries) {
  scratchdir dir("replace");
  writebytes(dir.file("in.csv"), smallcsv(100));
  oldfiles old(dir);
  ASSERT_TRUE(prepare(dir.file("in.csv"), dir.path()).ok);
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")).size(), 100 * sizeof(ttowerrec));
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"berlintowers.dat", "berlintowers.idx", "germtowers.dat",
                                                   "germtowers.idx", "in.csv"}));
}

TEST(NoGermanCell, HeaderOnlyOtherCountriesOrBlankLinesFailAndKeepTheOldFiles) {
  scratchdir dir("nogerman");
  oldfiles old(dir);
  const std::vector<std::pair<std::string, std::string>> inputs = {
      {"header.csv", kHeader},
      {"france.csv", std::string(kHeader) + row("GSM", "208", "1", "1", "1", "2.3", "48.8") +
                         row("LTE", "208", "10", "7", "9", "5.4", "43.3")},
      {"blank.csv", std::string(kHeader) + "\n\r\n\n\n"},
      {"onlyblank.csv", "\n\n\r\n"},
      {"broken.csv", std::string(kHeader) + "GSM,262,1\n" + row("GSM", "262", "x", "1", "1", "10", "50")},
  };
  std::vector<std::string> names;
  for (const auto& [name, text] : inputs) {
    writebytes(dir.file(name), text);
    names.push_back(name);
    prepareresult res = prepare(dir.file(name), dir.path());
    EXPECT_FALSE(res.ok) << name << " replaced the database with empty files";
    EXPECT_FALSE(res.error.empty()) << name;
    if (name != "onlyblank.csv")
      EXPECT_NE(res.error.find(std::string("Keine deutsche Zelle"_w)), std::string::npos) << res.error;
  }
  old.expectuntouched(names);
}

TEST(ControlBytes, RadioNamesKeepNoControlBytesAndTheReplacementsAreCounted) {
  scratchdir dir("control");
  std::string csv = kHeader;
  csv += row("\x1b]0;pwn\x07\x1b[2J", "262", "1", "1", "1", "10", "50");
  csv += row(std::string("GSM\0", 4), "262", "1", "1", "2", "10", "50");
  csv += row("\"5G\nNR\"", "262", "1", "1", "3", "10", "50");  // a line break inside quotes
  csv += row("NR\x7f", "262", "1", "1", "4", "10", "50");
  csv += row("NBIOT", "262", "1", "1", "5", "10", "50");          // nothing to replace
  writebytes(dir.file("in.csv"), csv);
  prepareresult res = prepare(dir.file("in.csv"), dir.path());
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(res.counts.german, 5u);
  EXPECT_EQ(res.counts.typereplaced, 4u);
  auto g = readrecords(dir.file("germtowers.dat"));
  ASSERT_EQ(g.size(), 5u);
  for (const auto& r : g)
    for (unsigned char ch : gettypetext(r)) EXPECT_TRUE(ch >= 0x20 && ch != 0x7F) << +ch;
  EXPECT_EQ(gettypetext(g[0]), "?]0;pwn??[");
  EXPECT_EQ(gettypetext(g[1]), "GSM?");
  EXPECT_EQ(gettypetext(g[2]), "5G?NR");
  EXPECT_EQ(gettypetext(g[4]), "NBIOT");
}

TEST(Cancellation, IsPolledWhileBlankLinesOrOtherCountriesAreRead) {
  // Neither blank lines nor rows passed over as other countries count as
  // converted rows; the cancel test must come up all the same, by bytes.
  scratchdir dir("polls");
  std::string blank = std::string(kHeader) + std::string(8 << 20, '\n') +
                      row("GSM", "262", "1", "1", "1", "10", "50");
  std::string other = kHeader;
  while (other.size() < (8u << 20)) other += row("GSM", "208", "1", "1", "1", "2.3", "48.8");
  other += row("GSM", "262", "1", "1", "1", "10", "50");
  writebytes(dir.file("blank.csv"), blank);
  writebytes(dir.file("blank.csv.gz"), gzipped(blank));
  writebytes(dir.file("other.csv"), other);
  for (const char* name : {"blank.csv", "blank.csv.gz", "other.csv"}) {
    prepareoptions o;
    o.csvpath = dir.file(name);
    o.dir = dir.path();
    int polls = 0;
    o.cancelled = [&polls] { return ++polls < 0; };
    prepareresult res = preparedatabase(o);
    ASSERT_TRUE(res.ok) << res.error;
    EXPECT_EQ(res.counts.german, 1u);
    EXPECT_GE(polls, 8) << name << ": fewer than one cancel poll per MB of input";
  }
}

TEST(TargetFolder, PrepareCreatesAFolderThatDoesNotExistYet) {
  scratchdir dir("mkdir");
  writebytes(dir.file("in.csv"), smallcsv(10));
  std::ostringstream out, err;
  const std::string target = dir.file("new/sub");
  EXPECT_EQ(runturmcli({"prepare", dir.file("in.csv"), "--dir", target}, out, err), kExitOk) << err.str();
  EXPECT_EQ(readbytes(target + "/germtowers.dat").size(), 10 * sizeof(ttowerrec));
  // A failed run leaves no folder behind that it made itself.
  writebytes(dir.file("header.csv"), kHeader);
  std::ostringstream out2, err2;
  EXPECT_EQ(runturmcli({"prepare", dir.file("header.csv"), "--dir", dir.file("other/sub")}, out2, err2),
            kExitFailure);
  EXPECT_FALSE(fileexists(dir.file("other")));
}

TEST(Summary, MoreGermanCellsThanTheProgramListsAreNamedAsSuch) {
  preparecounts c;
  c.rows = c.german = 2400000;
  std::string atlimit;
  for (const std::string& line : preparesummary("world.csv", c)) atlimit += line + "\n";
  EXPECT_EQ(atlimit.find("listet die ersten"), std::string::npos) << atlimit;
  c.rows = c.german = 2400001;
  std::string over;
  for (const std::string& line : preparesummary("world.csv", c)) over += line + "\n";
  EXPECT_NE(over.find("Turmfinder listet die ersten 2.400.000"), std::string::npos) << over;
}

}  // namespace
