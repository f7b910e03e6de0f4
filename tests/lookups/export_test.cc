// The list output of select and near: grid rows exactly as the window
// lays them out, GeoJSON and KML read back by real parsers (Python's json
// and xml.etree) with longitude and latitude in their places and read back
// to the stored reals, no control byte of a database on the terminal,
// every format valid on a damaged database, and selections larger than
// the list reported with their count and status 3 (unless --limit cut them).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>

#include "celldb/database.h"
#include "celldb/keptrecords.h"
#include "celldb/towerindex.h"
#include "cli/lookupsession.h"
#include "export/listprint.h"
#include "query/surrounding.h"
#include "cli/commands.h"
#include "ingest/fieldparse.h"
#include "lib/support/w1252.h"
#include "query/criteria.h"
#include "query/listrows.h"
#include "query/liststate.h"
#include "tests/celldb/towerfiles.h"
#include "tests/common/testfiles.h"
#include "tests/lookups/lookuptest.h"

using namespace lookuptest;
using towertest::makerec;

namespace {

// Records that exercise every column: all type codes (and one beyond),
// net ids with and without operator, areas and cell ids up to their
// largest, coordinates on both sides of 0 and next to a rounding tie.
std::vector<ttowerrec> variedrecords(int n) {
  std::mt19937 gen(4711);
  std::vector<ttowerrec> v;
  for (int i = 0; i < n; ++i) {
    auto u = [&](std::uint32_t m) { return static_cast<std::uint32_t>(gen() % m); };
    long double lon = (static_cast<long double>(u(36000001)) - 18000000) / 100000.0L;
    long double lat = (static_cast<long double>(u(18000001)) - 9000000) / 100000.0L;
    if (i % 3 == 1) {  // a cluster for the surrounding searches
      lon = 10.25L + (static_cast<long double>(u(10001)) - 5000) / 100000.0L;
      lat = 50.5L + (static_cast<long double>(u(10001)) - 5000) / 100000.0L;
    }
    if (i % 7 == 0) lon = 13.0000005L + u(1000) * 1e-6L;  // near a tie of the 6th decimal
    if (i % 11 == 0) lat = -0.0000004L;                    // rounds to -0.000000
    std::int32_t cell = i % 13 == 0 ? -1 - static_cast<std::int32_t>(u(1000)) : static_cast<std::int32_t>(gen() >> 1);
    ttowerrec r = makerec(static_cast<std::uint8_t>(u(7)), static_cast<std::uint16_t>(u(12) == 0 ? 65535 : u(10)),
                          static_cast<std::uint16_t>(u(65536)), cell, lon, lat,
                          static_cast<std::int32_t>(gen()) / (i % 3 == 0 ? 1 : 100000));
    v.push_back(r);
  }
  v[3].typecode = 3;
  settypetext(v[3], "NR");
  return v;
}

class ExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = std::make_unique<scratchdir>("export");
    recs = variedrecords(30000);
    towertest::writetowers(dir->file("germtowers.dat"), recs);
  }
  static void TearDownTestSuite() { dir.reset(); }
  static std::string db() { return dir->file("germtowers.dat"); }
  static inline std::unique_ptr<scratchdir> dir;
  static inline std::vector<ttowerrec> recs;
};

// The list screen's own row for entry nr, as printed (UTF-8).
std::string windowrow(const ttowerrec& r, int nr, int recno) {
  return w1252ToUtf8(renderline(rowpieces(r, nr, recno)));
}

TEST_F(ExportTest, GridRowsAreTheWindowsRowsForSparseAndSortedLists) {
  // A sparse selection (record numbers far apart and close together).
  run r = turmcli({"select", "--db", db(), "--net", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto l = lines(r.out);
  std::vector<std::int32_t> want = selected(recs, {0, 3, 0, 0});
  ASSERT_EQ(l.size(), want.size() + 3);
  ASSERT_GT(want.size(), 2000u);
  surroundingresult = false;
  for (std::size_t i = 0; i < want.size(); ++i)
    ASSERT_EQ(l[i + 3], windowrow(recs[static_cast<std::size_t>(want[i])], static_cast<int>(i + 1), want[i]))
        << "entry " << i + 1;

  // A surrounding search: at most 100 rows ordered by distance, with Dist.
  r = turmcli({"near", "--db", db(), "--object", "4"});
  ASSERT_EQ(r.status, 0) << r.err;
  l = lines(r.out);
  ASSERT_GT(l.size(), 20u);
  // The same search's list, read back through the query state it left.
  run c = turmcli({"near", "--db", db(), "--object", "4", "--format", "csv"});
  auto cl = lines(c.out);
  ASSERT_EQ(cl.size(), l.size() - 2);
  surroundingresult = true;
  criteria.longitude = recs[4].longitude;
  criteria.latitude = recs[4].latitude;
  for (std::size_t i = 1; i < cl.size(); ++i) {
    int recno = std::stoi(fields(cl[i])[1]);
    EXPECT_EQ(l[i + 2], windowrow(recs[static_cast<std::size_t>(recno)], static_cast<int>(i), recno)) << i;
  }
  surroundingresult = false;
}

// Both parsers print one line per feature: datnr lon lat type net operator
// area cell cell_hex range_m dist nr.
const char* kReadGeojson = R"(import json, sys
d = json.load(open(sys.argv[1], encoding='utf-8'))
assert d['type'] == 'FeatureCollection', d['type']
for f in d['features']:
    assert f['type'] == 'Feature' and f['geometry']['type'] == 'Point'
    lon, lat = f['geometry']['coordinates']
    p = f['properties']
    print(p['datnr'], repr(lon), repr(lat), repr(p['type']), p['net'], repr(p['operator']),
          p['area'], p['cell'], p['cell_hex'], p['range_m'], p.get('dist', '-'), p['nr'])
)";

const char* kReadKml = R"(import sys, xml.etree.ElementTree as ET
ns = {'k': 'http://www.opengis.net/kml/2.2'}
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == '{http://www.opengis.net/kml/2.2}kml', root.tag
folders = root.findall('k:Document/k:Folder', ns)
assert len(folders) == 1 and folders[0].find('k:name', ns).text, 'one named Folder'
for pm in folders[0].findall('k:Placemark', ns):
    v = {d.get('name'): (d.find('k:value', ns).text or '') for d in pm.findall('k:ExtendedData/k:Data', ns)}
    lon, lat = pm.find('k:Point/k:coordinates', ns).text.split(',')
    print(v['datnr'], repr(float(lon)), repr(float(lat)), repr(v['type']), v['net'], repr(v['operator']),
          v['area'], v['cell'], v['cell_hex'], v['range_m'], v.get('dist', '-'), v['nr'])
)";

std::string pyrepr(const std::string& s) { return "'" + s + "'"; }

// A coordinate as the parsers print it, read back as the converters read
// it: the stored real itself when the export lost nothing.
real readback(const std::string& text) {
  double d;
  real r;
  if (!parsecoordinate(text, d, r)) ADD_FAILURE() << text;
  return r;
}

// Puts the stored coordinates in the places of the printed ones (fields 1
// and 2) when these read back to the very same reals.
std::string withstored(const std::string& line, const ttowerrec& r) {
  std::size_t a = line.find(' '), b = line.find(' ', a + 1), c = line.find(' ', b + 1);
  if (c == std::string::npos) return line;
  std::string lon = line.substr(a + 1, b - a - 1), lat = line.substr(b + 1, c - b - 1);
  if (!(readback(lon) == r.longitude) || !(readback(lat) == r.latitude)) return line;
  return line.substr(0, a) + " stored stored" + line.substr(c);
}

// The line the parsers must print for entry nr (record recno), after
// withstored.
std::string expectedline(const ttowerrec& r, int nr, int recno, const std::string& dist) {
  std::string type = gettypetext(r);
  for (char& c : type)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return std::to_string(recno) + " stored stored " + pyrepr(type) + " " +
         std::to_string(r.netid) + " " + pyrepr(OperatorName(r.netid)) + " " + std::to_string(r.area) + " " +
         std::to_string(static_cast<std::uint32_t>(r.cellid)) + " " + hex(static_cast<std::uint32_t>(r.cellid)) +
         " " + std::to_string(r.range) + " " + dist + " " + std::to_string(nr);
}

TEST_F(ExportTest, GeojsonAndKmlParseAndCarryLongitudeThenLatitude) {
  if (!havepython()) GTEST_SKIP() << "python3 with json and xml.etree not found";
  for (const char* format : {"geojson", "kml"}) {
    const char* reader = std::string(format) == "geojson" ? kReadGeojson : kReadKml;
    // A whole selection, then one cut by --limit.
    run r = turmcli({"select", "--db", db(), "--type", "GSM", "--format", format});
    ASSERT_EQ(r.status, 0) << r.err;
    writebytes(dir->file("out"), r.out);
    auto got = lines(python(reader, dir->file("out")));
    std::vector<std::int32_t> want = selected(recs, {1, 0, 0, 0});
    ASSERT_EQ(got.size(), want.size()) << format << ": " << (got.empty() ? "" : got[0]);
    for (std::size_t i = 0; i < want.size(); ++i) {
      const ttowerrec& rec = recs[static_cast<std::size_t>(want[i])];
      ASSERT_EQ(withstored(got[i], rec), expectedline(rec, static_cast<int>(i + 1), want[i], "-"))
          << format << " entry " << i + 1;
    }

    r = turmcli({"select", "--db", db(), "--type", "GSM", "--format", format, "--limit", "7"});
    writebytes(dir->file("out"), r.out);
    EXPECT_EQ(lines(python(reader, dir->file("out"))).size(), 7u) << format;

    r = turmcli({"select", "--db", db(), "--cell", "12345", "--format", format});  // nothing
    writebytes(dir->file("out"), r.out);
    EXPECT_EQ(python(reader, dir->file("out")), "") << format << ": an empty selection must still parse";
    EXPECT_EQ(r.out.find("<Placemark>"), std::string::npos);

    // A surrounding search carries dist; the csv of the same search gives
    // the entries to expect.
    r = turmcli({"near", "--db", db(), "--position", "50.5,10.25", "--format", format});
    run csv = turmcli({"near", "--db", db(), "--position", "50.5,10.25", "--format", "csv"});
    writebytes(dir->file("out"), r.out);
    got = lines(python(reader, dir->file("out")));
    auto c = lines(csv.out);
    ASSERT_EQ(got.size() + 1, c.size()) << format;
    ASSERT_GE(got.size(), 20u);
    for (std::size_t i = 1; i < c.size(); ++i) {
      auto f = fields(c[i]);
      int recno = std::stoi(f[1]);
      auto tokens = [](const std::string& t) {
        std::vector<std::string> v;
        std::size_t a = 0;
        for (std::size_t b; (b = t.find(' ', a)) != std::string::npos; a = b + 1) v.push_back(t.substr(a, b - a));
        v.push_back(t.substr(a));
        return v;
      };
      auto g = tokens(withstored(got[i - 1], recs[static_cast<std::size_t>(recno)]));
      auto e = tokens(expectedline(recs[static_cast<std::size_t>(recno)], static_cast<int>(i), recno, "-"));
      ASSERT_EQ(g.size(), 12u) << got[i - 1];
      for (std::size_t k = 0; k < 12; ++k)
        if (k != 10) {
          EXPECT_EQ(g[k], e[k]) << format << " entry " << i << " field " << k;
        }
      EXPECT_NEAR(std::stod(g[10]), std::stod(f[10]), 1e-9) << format << " entry " << i;
    }
  }
}

TEST(ExportText, NoControlByteOfTheDatabaseReachesTheOutput) {
  scratchdir d("export-ctl");
  std::vector<ttowerrec> v(4, makerec(3, 1, 1, 1, 13.4L, 52.5L));
  settypetext(v[0], "\x1b]0;pwn\x07");
  settypetext(v[1], std::string("GSM\0X", 5));
  settypetext(v[2], "A\"<&>\\,'");
  settypetext(v[3], "\r\n\x7f\x9b");
  towertest::writetowers(d.file("germtowers.dat"), v);
  for (const char* format : {"grid", "csv", "geojson", "kml"}) {
    run r = turmcli({"select", "--db", d.file("germtowers.dat"), "--format", format});
    ASSERT_EQ(r.status, 0) << r.err;
    for (char c : r.out)
      ASSERT_TRUE((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\n')
          << format << ": control byte " << static_cast<int>(static_cast<unsigned char>(c));
    EXPECT_NE(r.out.find("?]0;pw"), std::string::npos) << format;
    EXPECT_NE(r.out.find("GSM?X"), std::string::npos) << format;
  }
  if (!havepython()) GTEST_SKIP() << "python3 with json and xml.etree not found";
  for (const char* format : {"geojson", "kml"}) {
    run r = turmcli({"select", "--db", d.file("germtowers.dat"), "--format", format});
    writebytes(d.file("out"), r.out);
    auto got = lines(python(std::string(format) == "kml" ? kReadKml : kReadGeojson, d.file("out")));
    ASSERT_EQ(got.size(), 4u) << format << ": " << (got.empty() ? "" : got[0]);
    EXPECT_NE(got[2].find(R"('A"<&>\\,\'')"), std::string::npos) << format << ": " << got[2];
    EXPECT_NE(got[3].find("'???\xE2\x80\xBA'"), std::string::npos) << format << ": " << got[3];  // 0x9B is U+203A
  }
}

// A sparse search's rows come from the copies the scan kept, without a
// read per row, and exactly as from the file; another file opened drops
// the copies, so its rows are its own.
TEST(ExportText, SparseSearchResultsArePrintedFromTheScansCopies) {
  std::vector<ttowerrec> v(200000, makerec(1, 1, 1, 1, 6.0L, 48.0L));
  for (int i = 0; i < 30; ++i) v[static_cast<std::size_t>(i * 6637 + 11)] = makerec(2, 2, 2, i + 1, 13.4L + i * 1e-4L, 52.5L);
  auto state = towertest::openmemory(v);
  resetlookupstate();
  nearposition(criteria, kWantedObjects, toreal(13.4L), toreal(52.5L));
  surroundingresult = true;
  ASSERT_EQ(resultcount, 30);
  std::ostringstream kept, read;
  state->reads = 0;
  EXPECT_EQ(printresultlist(kept, listformat::kCsv, -1), 0);
  EXPECT_EQ(state->reads, 0) << "a read per row although the search had every record";
  beginkeeping();
  printresultlist(read, listformat::kCsv, -1);
  EXPECT_EQ(kept.str(), read.str());
  EXPECT_GT(state->reads, 0);

  nearposition(criteria, kWantedObjects, toreal(13.4L), toreal(52.5L));
  for (auto& r : v) r.cellid += 1000;
  towertest::openmemory(v);  // the same record numbers, other cells
  resultcount = 1;
  resultlist[1] = 11;
  criteria = ttowerrec{};
  surroundingresult = false;
  std::ostringstream other;
  printresultlist(other, listformat::kCsv, -1);
  EXPECT_NE(other.str().find(",3E9,"), std::string::npos) << other.str();  // cell 1001 of record 11
  closedatabase();
  resetlookupstate();
}

// More matches than the list holds: 2,400,005 records, record 0 at the
// centre, the others 0.0015 east of it.
class OverflowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = std::make_unique<scratchdir>("export-full");
    std::vector<ttowerrec> v(static_cast<std::size_t>(kMaxResults) + 5, makerec(1, 2, 3, 4, 13.4015L, 52.5L));
    v[0] = makerec(1, 2, 3, 4, 13.4L, 52.5L);
    towertest::writetowers(dir->file("germtowers.dat"), v);
  }
  static void TearDownTestSuite() { dir.reset(); }
  static std::string db() { return dir->file("germtowers.dat"); }
  static inline std::unique_ptr<scratchdir> dir;
};

TEST_F(OverflowTest, TheListsCapIsReportedWithStatus3ButACutByLimitIsNot) {
  const std::string note = "5 weitere Treffer nicht aufgelistet (die Liste fasst höchstens 2.400.000)";
  const std::vector<std::vector<std::string>> searches = {
      {"select"},                 // every record
      {"select", "--type", "GSM"},  // a filter pass
      {"near", "--position", "52.5,13.4"},
      {"near", "--object", "0"}};
  for (std::vector<std::string> args : searches) {
    // The whole list, to a stream that drops it.
    const std::string command = args[0];
    args.insert(args.end(), {"--db", db(), "--format", "csv"});
    std::ostream discard(nullptr);
    std::ostringstream err;
    EXPECT_EQ(runturmcli(args, discard, err), kExitTruncated) << args[1] << ": " << err.str();
    EXPECT_NE(err.str().find("turmcli " + command + ": " + note), std::string::npos) << err.str();
    // The rows the user asked for, in every format: all there, no shortfall.
    for (const char* format : {"grid", "csv", "geojson", "kml"}) {
      for (const char* limit : {"3", "2400000"}) {
        if (std::string(limit) != "3" && (std::string(format) != "csv" || command != "select")) continue;
        std::vector<std::string> limited = args;
        limited[limited.size() - 1] = format;
        limited.insert(limited.end(), {"--limit", limit});
        run r = limit == std::string("3") ? turmcli(limited) : run{runturmcli(limited, discard, err), "", ""};
        EXPECT_EQ(r.status, 0) << format << " " << args[1] << " --limit " << limit << ": " << r.err;
        // A file this large without an index is told how to get one.
        const std::string hint = "turmcli " + command + ": Index " + dir->file("germtowers.idx") + " fehlt";
        EXPECT_TRUE(r.err.empty() || (r.err.rfind(hint, 0) == 0 && r.err.find('\n') + 1 == r.err.size()))
            << format << " " << args[1] << ": " << r.err;
      }
    }
  }
  // A selection that fits says nothing (with the index written; without
  // it a file this large is told how to get one, as above).
  std::string error;
  ASSERT_TRUE(buildtowerindex(db(), error)) << error;
  run small = turmcli({"select", "--db", db(), "--cell", "5", "--format", "csv"});
  EXPECT_EQ(small.status, 0) << small.err;
  EXPECT_EQ(small.err, "");
}

// Coordinates no place on earth can have (a damaged file: the largest
// reals, 180.5 degrees east, 95 south): such entries are left out of every
// format, so each stays valid, and counted with status 3.
TEST(ExportText, EveryFormatStaysValidOnADamagedDatabase) {
  scratchdir d("export-damaged");
  std::vector<ttowerrec> v(12, makerec(1, 1, 1, 1, 13.4L, 52.5L));
  real huge;
  huge.bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};  // 2^127 - 2^87
  v[2].longitude = huge;
  v[5].latitude = huge;
  huge.bytes[5] = 0xFF;
  v[6].longitude = huge;
  v[8] = makerec(1, 1, 1, 1, 180.5L, 52.5L);
  v[9] = makerec(1, 1, 1, 1, 13.4L, -95.0L);
  v[10] = makerec(1, 1, 1, 1, 0x1p-128L, 0x1p-128L);  // tiny, but a place
  v[11] = makerec(1, 1, 1, 1, 180.0L, -90.0L);        // the edge is a place
  towertest::writetowers(d.file("germtowers.dat"), v);
  const std::vector<int> kept = {0, 1, 3, 4, 7, 10, 11};
  for (const char* format : {"grid", "csv", "geojson", "kml"}) {
    // near finds only the entry at 180.5 east.
    for (std::vector<std::string> args : {std::vector<std::string>{"select"},
                                          std::vector<std::string>{"near", "--position", "52.5,179.9"}}) {
      args.insert(args.end(), {"--db", d.file("germtowers.dat"), "--format", format});
      run r = turmcli(args);
      EXPECT_EQ(r.status, kExitTruncated) << format << " " << args[0];
      auto l = lines(r.out);
      EXPECT_NE(r.err.find(args[0] == "select" ? "select: 5 Einträge ausgelassen: Koordinaten außerhalb von Länge "
                                                 "-180..180 oder Breite -90..90"
                                               : "near: 1 Eintrag ausgelassen"),
                std::string::npos)
          << format << ": " << r.err;
      EXPECT_EQ(r.out.find("170141"), std::string::npos) << format << ": " << r.out;
      std::string f = format;
      if (args[0] != "select") {
        EXPECT_EQ(l.size(), f == "grid" ? 3u : f == "csv" ? 1u : f == "geojson" ? 2u : 9u) << r.out;
        continue;
      }
      if (f == "grid") {
        ASSERT_EQ(l.size(), 3 + kept.size()) << r.out;
        for (std::size_t i = 0; i < kept.size(); ++i)
          EXPECT_EQ(w1252(l[3 + i]).substr(0, 20), w1252(windowrow(v[static_cast<std::size_t>(kept[i])], kept[i] + 1, kept[i])).substr(0, 20));
      }
      if (f == "csv") {
        ASSERT_EQ(l.size(), 1 + kept.size()) << r.out;
        for (std::size_t i = 0; i < kept.size(); ++i) {
          auto fl = fields(l[1 + i]);
          EXPECT_EQ(fl[1], std::to_string(kept[i]));
          EXPECT_EQ(fl[7], six(lonof(v[static_cast<std::size_t>(kept[i])])));
        }
      }
      if ((f == "geojson" || f == "kml") && havepython()) {
        writebytes(d.file("out"), r.out);
        auto got = lines(python(f == "kml" ? kReadKml : kReadGeojson, d.file("out")));
        ASSERT_EQ(got.size(), kept.size()) << f << ": " << (got.empty() ? "" : got[0]);
        for (std::size_t i = 0; i < kept.size(); ++i) {
          const ttowerrec& rec = v[static_cast<std::size_t>(kept[i])];
          EXPECT_EQ(withstored(got[i], rec), expectedline(rec, kept[i] + 1, kept[i], "-")) << f;
        }
      }
    }
  }
}

}  // namespace
