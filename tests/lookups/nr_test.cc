// 5G (NR) cells from the export to the output: prepare keeps their 24-bit
// tracking areas and 36-bit cell identities whole (other radios keep their
// limits), update finds a known NR cell by its whole identity and changes
// it in place, turmcli selects them by type, area and cell id, and every
// output format shows the whole identity; LTE cells carry enb and sector.
// The expected records are laid out here byte by byte from the documented
// layout, and GeoJSON and KML are read back by Python's parsers.
#include <gtest/gtest.h>

#include <cstring>

#include "ingest/prepare.h"
#include "ingest/update.h"
#include "lib/support/w1252.h"
#include "query/listrows.h"
#include "query/liststate.h"
#include "tests/common/testfiles.h"
#include "tests/lookups/lookuptest.h"

using namespace lookuptest;

namespace {

const char* kHeader = "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";

std::string row(const char* radio, int net, const char* area, const char* cell, int unit, const char* lon,
                const char* lat) {
  return std::string(radio) + ",262," + std::to_string(net) + "," + area + "," + cell + "," +
         std::to_string(unit) + "," + lon + "," + lat + ",500,12,1,1600000000,1700000000,0\n";
}

// The export: three NR cells (the largest identity, a typical one, one
// that fits the old fields), an LTE and a GSM cell, then rows beyond the
// limits of their radio.
const std::string kExport = std::string(kHeader) +
                            row("NR", 1, "16777215", "68719476735", 1007, "13.404954", "52.520008") +
                            row("NR", 2, "123456", "12345678901", 501, "13.377704", "52.516275") +
                            row("NR", 3, "4660", "305419896", 17, "11.576124", "48.137154") +
                            row("LTE", 1, "41001", "26453275", 88, "9.993682", "53.551086") +
                            row("GSM", 2, "1234", "5678", -1, "6.960279", "50.937531") +
                            row("NR", 1, "16777216", "5", 1, "13.4", "52.5") +       // area: 25 bits
                            row("NR", 1, "5", "68719476736", 1, "13.4", "52.5") +    // cell: 37 bits
                            row("LTE", 1, "70000", "5", 1, "13.4", "52.5") +         // area beyond 16 bits
                            row("UMTS", 1, "5", "2147483648", 1, "13.4", "52.5");    // cell beyond 31 bits

// A record as the layout describes it, bytes set one by one.
ttowerrec expected(const char* type, std::uint8_t code, std::uint16_t net, std::uint64_t area, std::uint64_t cell,
                   std::uint16_t unit) {
  unsigned char b[44] = {};
  b[0] = static_cast<unsigned char>(std::strlen(type));
  std::memcpy(b + 1, type, std::strlen(type));
  if (code == 6) {
    b[9] = static_cast<unsigned char>(area >> 16);
    b[10] = static_cast<unsigned char>(cell >> 32);
  }
  b[11] = code;
  b[12] = 262 & 0xFF, b[13] = 262 >> 8;
  b[14] = static_cast<unsigned char>(net), b[15] = static_cast<unsigned char>(net >> 8);
  b[16] = static_cast<unsigned char>(area), b[17] = static_cast<unsigned char>(area >> 8);
  for (int i = 0; i < 4; ++i) b[18 + i] = static_cast<unsigned char>(cell >> (8 * i));
  b[22] = static_cast<unsigned char>(unit), b[23] = static_cast<unsigned char>(unit >> 8);
  b[36] = 500 & 0xFF, b[37] = 500 >> 8;  // range
  b[40] = 12;                            // samples
  ttowerrec r;
  std::memcpy(&r, b, 44);
  return r;
}

// The record's bytes without the coordinates (checked through the outputs).
std::string keybytes(const ttowerrec& r) {
  std::string s(reinterpret_cast<const char*>(&r), 44);
  return s.substr(0, 24) + s.substr(36);
}

const char* kReadGeojson = R"(import json, sys
for f in json.load(open(sys.argv[1], encoding='utf-8'))['features']:
    p = f['properties']
    print(p['datnr'], p['type'], p['area'], p['cell'], p['cell_hex'], p.get('enb', '-'), p.get('sector', '-'))
)";

const char* kReadKml = R"(import sys, xml.etree.ElementTree as ET
ns = {'k': 'http://www.opengis.net/kml/2.2'}
for pm in ET.parse(sys.argv[1]).getroot().findall('k:Document/k:Folder/k:Placemark', ns):
    v = {d.get('name'): d.find('k:value', ns).text for d in pm.findall('k:ExtendedData/k:Data', ns)}
    print(v['datnr'], v['type'], v['area'], v['cell'], v['cell_hex'], v.get('enb', '-'), v.get('sector', '-'))
)";

class NrCells : public ::testing::Test {
 protected:
  void SetUp() override {
    writebytes(dir.file("export.csv"), kExport);
    prepareoptions o;
    o.csvpath = dir.file("export.csv");
    o.dir = dir.path();
    prepareresult p = preparedatabase(o);
    ASSERT_TRUE(p.ok) << p.error;
    counts = p.counts;
  }
  std::string db() const { return dir.file("germtowers.dat"); }
  run lookup(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--db", db()});
    return turmcli(args);
  }
  scratchdir dir{"nr"};
  preparecounts counts;
};

TEST_F(NrCells, PrepareKeepsTheWholeIdentityAndOtherRadiosTheirLimits) {
  EXPECT_EQ(counts.german, 5u);
  EXPECT_EQ(counts.skipped[kSkipArea], 2u);
  EXPECT_EQ(counts.skipped[kSkipCell], 2u);
  std::vector<ttowerrec> recs = readrecords(db());
  ASSERT_EQ(recs.size(), 5u);
  const ttowerrec want[] = {expected("NR", 6, 1, 16777215, 68719476735ULL, 1007),
                            expected("NR", 6, 2, 123456, 12345678901ULL, 501),
                            expected("NR", 6, 3, 4660, 305419896, 17),
                            expected("LTE", 4, 1, 41001, 26453275, 88),
                            expected("GSM", 1, 2, 1234, 5678, 0xFFFF)};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(keybytes(recs[i]), keybytes(want[i])) << "record " << i;
  // A reader of the plain fields sees a sound record: type "NR", the low bits.
  EXPECT_EQ(recs[0].area, 0xFFFF);
  EXPECT_EQ(recs[1].cellid, static_cast<std::int32_t>(12345678901ULL & 0xFFFFFFFF));
}

TEST_F(NrCells, SelectionByTypeAreaAndCellComparesTheWholeValues) {
  struct {
    std::vector<std::string> args;
    std::vector<std::string> datnrs;  // in the CSV's second column
  } cases[] = {
      {{"--type", "NR"}, {"0", "1", "2"}},
      {{"--type", "nr", "--net", "3"}, {"2"}},
      {{"--area", "$FFFFFF"}, {"0"}},
      {{"--area", "16777215"}, {"0"}},
      {{"--area", "$1E240"}, {"1"}},
      {{"--cell", "68719476735"}, {"0"}},
      {{"--cell", "$2DFDC1C35"}, {"1"}},
      {{"--cell", "$DFDC1C35"}, {}},          // the low 32 bits alone are another cell
      {{"--type", "LTE", "--area", "$FFFFFF"}, {}},
      {{"--area", "$A029"}, {"3"}},           // 41001: as before
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"select"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--format", "csv"});
    run r = lookup(args);
    ASSERT_EQ(r.status, 0) << c.args[0] << " " << c.args[1] << ": " << r.err;
    std::vector<std::string> got;
    for (const std::string& l : lines(r.out)) got.push_back(fields(l)[1]);
    got.erase(got.begin());  // the header
    EXPECT_EQ(got, c.datnrs) << c.args[0] << " " << c.args[1];
  }
  struct {
    const char *option, *value, *message;
  } refused[] = {
      {"--area", "16777216", "--area: Ganzzahl-Wert 16777216 muß >=0 und <=16777215 sein"},
      {"--area", "$1000000", "--area: Ganzzahl-Wert 16777216 muß >=0 und <=16777215 sein"},
      {"--cell", "$1000000000", "--cell: Ganzzahl-Wert 68719476736 muß >=0 und <=68719476735 sein"},
      {"--cell", "-1", "--cell: Ganzzahl-Wert -1 muß >=0 und <=68719476735 sein"},
      {"--cell", "$FFFFFFFFFG", "--cell: \"$FFFFFFFFFG\" ist keine lesbare Zahl"},
  };
  for (const auto& f : refused) {
    run r = lookup({"select", f.option, f.value});
    EXPECT_NE(r.status, 0) << f.value;
    EXPECT_NE(r.err.find(f.message), std::string::npos) << r.err;
  }
}

TEST_F(NrCells, EveryFormatShowsTheWholeIdentityAndLteEnbAndSector) {
  // Grid: the window's row, the whole area and cell id in their columns.
  run r = lookup({"select"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> l = lines(r.out);
  ASSERT_EQ(l.size(), 8u);
  std::vector<ttowerrec> recs = readrecords(db());
  surroundingresult = false;
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(l[static_cast<std::size_t>(3 + i)], w1252ToUtf8(renderline(rowpieces(recs[static_cast<std::size_t>(i)], i + 1, i))));
  EXPECT_EQ(wordat(w1252(l[3]), listcolumn::kArea), "FFFFFF");
  EXPECT_EQ(wordat(w1252(l[3]), listcolumn::kCellid), "FFFFFFFFF");
  EXPECT_EQ(wordat(w1252(l[4]), listcolumn::kCellid), "2DFDC1C35");
  EXPECT_EQ(w1252(l[3]).substr(0, listcolumn::kLaenge + 8),
            "    1         0      NR         1 Telekom  FFFFFF FFFFFFFFF 13.404954");
  r = lookup({"select", "--type", "NR", "--area", "$FFFFFF", "--cell", "$FFFFFFFFF"});
  EXPECT_EQ(lines(r.out)[2], " Auswahl:            NR                    FFFFFF FFFFFFFFF");

  // CSV: area and cellid in hexadecimal, enb and sector of the LTE cell
  // (26453275 = 103333 * 256 + 27) and empty for the others.
  r = lookup({"select", "--format", "csv"});
  l = lines(r.out);
  ASSERT_EQ(l.size(), 6u);
  EXPECT_EQ(l[0], "nr,datnr,type,netid,operator,area,cellid,longitude,latitude,range,dist,enb,sector");
  EXPECT_EQ(l[1], "1,0,NR,1,Telekom,FFFFFF,FFFFFFFFF,13.404954,52.520008,500,,,");
  EXPECT_EQ(l[2], "2,1,NR,2,Vodafone,1E240,2DFDC1C35,13.377704,52.516275,500,,,");
  EXPECT_EQ(l[4], "4,3,LTE,1,Telekom,A029,193A51B,9.993682,53.551086,500,,103333,27");
  for (const std::string& line : l) EXPECT_EQ(fields(line).size(), 13u) << line;

  // GeoJSON and KML: the numbers whole, enb and sector only for LTE.
  if (!havepython()) GTEST_SKIP() << "python3 with json and xml.etree not found";
  const std::string want = "0 NR 16777215 68719476735 FFFFFFFFF - -\n"
                           "1 NR 123456 12345678901 2DFDC1C35 - -\n"
                           "2 NR 4660 305419896 12345678 - -\n"
                           "3 LTE 41001 26453275 193A51B 103333 27\n"
                           "4 GSM 1234 5678 162E - -\n";
  for (const char* format : {"geojson", "kml"}) {
    r = lookup({"select", "--format", format});
    ASSERT_EQ(r.status, 0) << r.err;
    writebytes(dir.file("out"), r.out);
    EXPECT_EQ(python(std::string(format) == "kml" ? kReadKml : kReadGeojson, dir.file("out")), want) << format;
  }
}

// The daily diff: a known NR cell (found by its whole identity) moves and
// keeps its record number, an NR cell of a file prepared before NR had
// its own type code (code 3, text "NR") is the same cell and becomes an
// NR record in place, and an NR cell that shares only the low bits of a
// known one is new.
TEST_F(NrCells, UpdateChangesAKnownNrCellInPlace) {
  std::vector<ttowerrec> recs = readrecords(db());
  ttowerrec old = recs[2];
  old.typecode = 3;  // as the earlier converter wrote it
  recs[2] = old;
  std::string bytes(reinterpret_cast<const char*>(recs.data()), recs.size() * 44);
  writebytes(db(), bytes);
  writebytes(dir.file("diff.csv"),
             std::string(kHeader) + row("NR", 2, "123456", "12345678901", 502, "13.5", "52.6") +
                 row("NR", 3, "4660", "305419896", 18, "11.6", "48.2") +
                 row("NR", 2, "57920", "3755744309", 9, "13.1", "52.4"));  // low bits of cell 1
  updateoptions o;
  o.diffpath = dir.file("diff.csv");
  o.dir = dir.path();
  updateresult u = updatedatabase(o);
  ASSERT_TRUE(u.ok) << u.error;
  EXPECT_EQ(u.counts.updated, 2u);
  EXPECT_EQ(u.counts.added, 1u);
  std::vector<ttowerrec> now = readrecords(db());
  ASSERT_EQ(now.size(), 6u);
  EXPECT_EQ(keybytes(now[1]), keybytes(expected("NR", 6, 2, 123456, 12345678901ULL, 502)));
  EXPECT_EQ(keybytes(now[2]), keybytes(expected("NR", 6, 3, 4660, 305419896, 18)));
  EXPECT_EQ(keybytes(now[5]), keybytes(expected("NR", 6, 2, 57920, 3755744309ULL, 9)));
  for (int i : {0, 3, 4}) EXPECT_EQ(keybytes(now[static_cast<std::size_t>(i)]), keybytes(recs[static_cast<std::size_t>(i)]));
  run r = lookup({"select", "--cell", "12345678901", "--format", "csv"});
  EXPECT_EQ(fields(lines(r.out).at(1))[7], "13.500000");
}

}  // namespace
