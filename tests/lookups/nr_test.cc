// 5G (NR) cells from the export to the output: prepare keeps their 24-bit
// tracking areas and 36-bit cell ids whole (other radios keep their
// limits), update changes a known NR cell in place, turmcli selects them by
// type, area and cell id, and every format shows the whole identity (LTE
// cells with enb and sector).  Expected records are laid out byte by byte
// from the documented layout; GeoJSON and KML are read by Python.
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

// Three NR cells (the largest identity, a typical one, one that fits the
// old fields), an LTE and a GSM cell, then one row beyond each limit.
const std::string kExport = std::string(kHeader) + row("NR", 1, "16777215", "68719476735", 1007, "13.404954", "52.520008") +
                            row("NR", 2, "123456", "12345678901", 501, "13.377704", "52.516275") +
                            row("NR", 3, "4660", "305419896", 17, "11.576124", "48.137154") +
                            row("LTE", 1, "41001", "26453275", 88, "9.993682", "53.551086") +
                            row("GSM", 2, "1234", "5678", -1, "6.960279", "50.937531") +
                            row("NR", 1, "16777216", "5", 1, "13.4", "52.5") + row("NR", 1, "5", "68719476736", 1, "13.4", "52.5") +
                            row("LTE", 1, "70000", "5", 1, "13.4", "52.5") + row("UMTS", 1, "5", "2147483648", 1, "13.4", "52.5");

// A record's bytes 0..23 and 36..43 (the coordinates are checked through
// the outputs) as the layout describes them.
std::string expected(const char* type, std::uint8_t code, std::uint16_t net, std::uint64_t area, std::uint64_t cell,
                     std::uint16_t unit) {
  unsigned char b[44] = {};
  b[0] = static_cast<unsigned char>(std::strlen(type));
  std::memcpy(b + 1, type, b[0]);
  if (code == 6) b[9] = static_cast<unsigned char>(area >> 16), b[10] = static_cast<unsigned char>(cell >> 32);
  b[11] = code, b[12] = 262 & 0xFF, b[13] = 262 >> 8, b[14] = static_cast<unsigned char>(net);
  b[16] = static_cast<unsigned char>(area), b[17] = static_cast<unsigned char>(area >> 8);
  for (int i = 0; i < 4; ++i) b[18 + i] = static_cast<unsigned char>(cell >> (8 * i));
  b[22] = static_cast<unsigned char>(unit), b[23] = static_cast<unsigned char>(unit >> 8);
  b[36] = 500 & 0xFF, b[37] = 500 >> 8, b[40] = 12;  // range, samples
  std::string s(reinterpret_cast<const char*>(b), 44);
  return s.substr(0, 24) + s.substr(36);
}
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
  run lookup(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--db", dir.file("germtowers.dat")});
    return turmcli(args);
  }
  scratchdir dir{"nr"};
  preparecounts counts;
};

TEST_F(NrCells, PrepareKeepsTheWholeIdentityAndOtherRadiosTheirLimits) {
  EXPECT_EQ(counts.german, 5u);
  EXPECT_EQ(counts.skipped[kSkipArea] + counts.skipped[kSkipCell], 4u);
  std::vector<ttowerrec> recs = readrecords(dir.file("germtowers.dat"));
  ASSERT_EQ(recs.size(), 5u);
  const std::string want[] = {expected("NR", 6, 1, 16777215, 68719476735ULL, 1007),
                              expected("NR", 6, 2, 123456, 12345678901ULL, 501), expected("NR", 6, 3, 4660, 305419896, 17),
                              expected("LTE", 4, 1, 41001, 26453275, 88), expected("GSM", 1, 2, 1234, 5678, 0xFFFF)};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(keybytes(recs[i]), want[i]) << "record " << i;
}

TEST_F(NrCells, SelectionByTypeAreaAndCellComparesTheWholeValues) {
  struct {
    std::vector<std::string> args;
    std::string datnrs;  // or the message of a refused value
  } cases[] = {
      {{"select", "--type", "NR"}, "0 1 2"},
      {{"select", "--type", "nr", "--net", "3"}, "2"},
      {{"select", "--area", "$FFFFFF"}, "0"},
      {{"select", "--cell", "$2DFDC1C35"}, "1"},
      {{"select", "--cell", "$DFDC1C35"}, ""},  // the low 32 bits alone are another cell
      {{"select", "--type", "LTE", "--area", "$FFFFFF"}, ""},
      {{"near", "--position", "52.5,13.4", "--cell", "12345678901"}, "1"},
      {{"select", "--area", "$1000000"}, "--area: Ganzzahl-Wert 16777216 muß >=0 und <=16777215 sein"},
      {{"select", "--cell", "68719476736"}, "--cell: Ganzzahl-Wert 68719476736 muß >=0 und <=68719476735 sein"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--format", "csv"});
    run r = lookup(args);
    std::string got;
    for (const std::string& l : lines(r.out))
      if (l[0] != 'n') got += (got.empty() ? "" : " ") + fields(l)[1];
    if (r.status != 0) got = r.err.substr(r.err.find(": ") + 2, r.err.size() - r.err.find(": ") - 3);
    EXPECT_EQ(got, c.datnrs) << c.args[1] << " " << c.args[2];
  }
}

TEST_F(NrCells, EveryFormatShowsTheWholeIdentityAndLteEnbAndSector) {
  run r = lookup({"select"});  // the grid: the window's rows
  std::vector<std::string> l = lines(r.out);
  ASSERT_EQ(l.size(), 8u) << r.err;
  std::vector<ttowerrec> recs = readrecords(dir.file("germtowers.dat"));
  surroundingresult = false;
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(l[static_cast<std::size_t>(3 + i)], w1252ToUtf8(renderline(rowpieces(recs[static_cast<std::size_t>(i)], i + 1, i))));
  EXPECT_EQ(l[3], "    1         0      NR         1 Telekom  FFFFFF FFFFFFFFF 13.404954   52.520008  500");
  r = lookup({"select", "--type", "NR", "--area", "$FFFFFF", "--cell", "$FFFFFFFFF"});
  EXPECT_EQ(lines(r.out).at(2), " Auswahl:            NR                    FFFFFF FFFFFFFFF");

  // CSV: enb and sector of the LTE cell (26453275 = 103333 * 256 + 27).
  l = lines(lookup({"select", "--format", "csv"}).out);
  ASSERT_EQ(l.size(), 6u);
  EXPECT_EQ(l[0], "nr,datnr,type,netid,operator,area,cellid,longitude,latitude,range,dist,enb,sector");
  EXPECT_EQ(l[1], "1,0,NR,1,Telekom,FFFFFF,FFFFFFFFF,13.404954,52.520008,500,,,");
  EXPECT_EQ(l[4], "4,3,LTE,1,Telekom,A029,193A51B,9.993682,53.551086,500,,103333,27");

  if (!havepython()) GTEST_SKIP() << "python3 with json and xml.etree not found";
  const std::string want = "0 NR 16777215 68719476735 FFFFFFFFF - -\n1 NR 123456 12345678901 2DFDC1C35 - -\n"
                           "2 NR 4660 305419896 12345678 - -\n3 LTE 41001 26453275 193A51B 103333 27\n"
                           "4 GSM 1234 5678 162E - -\n";
  for (const char* format : {"geojson", "kml"}) {
    writebytes(dir.file("out"), lookup({"select", "--format", format}).out);
    EXPECT_EQ(python(std::string(format) == "kml" ? kReadKml : kReadGeojson, dir.file("out")), want) << format;
  }
}

// A known NR cell (found by its whole identity) moves and keeps its record
// number; a record of a file prepared before NR had its own type code
// (code 3, text "NR") is the same cell and becomes an NR record in place;
// an NR cell sharing only the low bits of a known one is new.
TEST_F(NrCells, UpdateChangesAKnownNrCellInPlace) {
  std::vector<ttowerrec> recs = readrecords(dir.file("germtowers.dat"));
  recs[2].typecode = 3;  // as the earlier converter wrote it
  writebytes(dir.file("germtowers.dat"), std::string(reinterpret_cast<const char*>(recs.data()), recs.size() * 44));
  writebytes(dir.file("diff.csv"), std::string(kHeader) + row("NR", 2, "123456", "12345678901", 502, "13.5", "52.6") +
                                       row("NR", 3, "4660", "305419896", 18, "11.6", "48.2") +
                                       row("NR", 2, "57920", "3755744309", 9, "13.1", "52.4"));
  updateoptions o;
  o.diffpath = dir.file("diff.csv");
  o.dir = dir.path();
  updateresult u = updatedatabase(o);
  ASSERT_TRUE(u.ok) << u.error;
  EXPECT_EQ(u.counts.updated, 2u);
  std::vector<ttowerrec> now = readrecords(dir.file("germtowers.dat"));
  ASSERT_EQ(now.size(), 6u);
  EXPECT_EQ(keybytes(now[1]), expected("NR", 6, 2, 123456, 12345678901ULL, 502));
  EXPECT_EQ(keybytes(now[2]), expected("NR", 6, 3, 4660, 305419896, 18));
  EXPECT_EQ(keybytes(now[5]), expected("NR", 6, 2, 57920, 3755744309ULL, 9));
  EXPECT_EQ(fields(lines(lookup({"select", "--cell", "12345678901", "--format", "csv"}).out).at(1))[7], "13.500000");
}

}  // namespace
