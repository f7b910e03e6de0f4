// turmcli select and link: the records listed against a filter worked out
// here over the file's records, the csv and grid columns, --limit, the
// dialog's number syntax and every refused argument.
#include <gtest/gtest.h>

#include <memory>

#include "ingest/demodb.h"
#include "tests/celldb/towerfiles.h"
#include "tests/common/testfiles.h"
#include "tests/lookups/lookuptest.h"

using namespace lookuptest;
using namespace listcolumn;
using towertest::makerec;

namespace {

// A small database whose every record is known by heart.
std::vector<ttowerrec> handrecords() {
  return {
      makerec(1, 1, 0x1A2B, 0x1234, 13.342015L, 52.497973L, 500),     // 0 GSM Telekom
      makerec(0, 2, 6699, 77, 9.5L, 48.25L, 1000),                     // 1 coded 0
      makerec(3, 2, 5, 0x7FFFFFFF, -0.5L, -33.125L, 7),                // 2 Unbekannt
      makerec(4, 3, 0x1A2B, 1, 11.0L, 50.0L, 20000),                   // 3 LTE O2
      makerec(2, 2, 0xFFFF, 0x80000, 8.0000004L, 49.9999996L, 300),    // 4 UMTS Vodafone
  };
}

class SelectTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo = std::make_unique<scratchdir>("select-demo");
    ASSERT_TRUE(writedemodatabase(demo->path(), 3000).ok);
    demorecs = readrecords(demo->file("germtowers.dat"));
    hand = std::make_unique<scratchdir>("select-hand");
    towertest::writetowers(hand->file("germtowers.dat"), handrecords());
    towertest::writetowers(hand->file("berlintowers.dat"), handrecords());
  }
  static void TearDownTestSuite() {
    demo.reset();
    hand.reset();
  }
  static std::string demodb() { return demo->file("germtowers.dat"); }
  static std::string handdb() { return hand->file("germtowers.dat"); }

  // The datnr column of a csv listing.
  static std::vector<std::int32_t> datnrs(const run& r) {
    std::vector<std::int32_t> v;
    auto l = lines(r.out);
    for (std::size_t i = 1; i < l.size(); ++i) v.push_back(std::stoi(fields(l[i])[1]));
    return v;
  }

  static inline std::unique_ptr<scratchdir> demo, hand;
  static inline std::vector<ttowerrec> demorecs;
};

std::string expectedcsv(const ttowerrec& r, int nr, int datnr, const std::string& op) {
  ttowerrec c = r;
  return std::to_string(nr) + "," + std::to_string(datnr) + "," + gettypetext(c) + "," +
         std::to_string(+c.netid) + "," + op + "," + hex(c.area) + "," +
         hex(static_cast<std::uint32_t>(c.cellid)) + "," + six(lonof(c)) + "," + six(latof(c)) +
         "," + std::to_string(+c.range) + "," +
         (c.typecode == 4 ? "," + std::to_string(static_cast<std::uint32_t>(c.cellid) / 256) + "," +
                                std::to_string(static_cast<std::uint32_t>(c.cellid) % 256)
                          : ",,");
}

// --- which records are listed ------------------------------------------------

TEST_F(SelectTest, NoCriteriaListsEveryRecordInFileOrder) {
  run r = turmcli({"select", "--db", demodb(), "--format", "csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), demorecs.size() + 1);
  EXPECT_EQ(l[0], "nr,datnr,type,netid,operator,area,cellid,longitude,latitude,range,dist,enb,sector");
  for (std::size_t i = 1; i < l.size(); ++i) {
    auto f = fields(l[i]);
    ASSERT_EQ(f.size(), 13u) << l[i];
    EXPECT_EQ(f[0], std::to_string(i));
    EXPECT_EQ(f[1], std::to_string(i - 1));
  }
}

TEST_F(SelectTest, KeyFieldsListTheSameRecordsAsAFilterOverTheFile) {
  const ttowerrec& probe = demorecs[123];
  struct combo {
    std::vector<std::string> args;
    keys k;
  };
  std::vector<combo> combos = {
      {{"--type", "UMTS", "--net", "2"}, {2, 2, 0, 0}},
      {{"--type", "LTE"}, {4, 0, 0, 0}},
      {{"--net", "3"}, {0, 3, 0, 0}},
      {{"--type", "gsm", "--net", "1"}, {1, 1, 0, 0}},
      {{"--area", "$" + hex(probe.area)}, {0, 0, probe.area, 0}},
      {{"--cell", "$" + hex(static_cast<std::uint32_t>(probe.cellid))}, {0, 0, 0, probe.cellid}},
      {{"--type", "CDMA"}, {5, 0, 0, 0}},
  };
  for (const combo& c : combos) {
    std::vector<std::string> args = {"select", "--db", demodb(), "--format", "csv"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    run r = turmcli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::int32_t> want = selected(demorecs, c.k);
    EXPECT_EQ(datnrs(r), want) << c.args[0] << " " << c.args[1];
  }
}

TEST_F(SelectTest, UnbekanntAlsoTakesRecordsCodedZero) {
  run r = turmcli({"select", "--db", handdb(), "--type", "Unbekannt", "--format", "csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(datnrs(r), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(SelectTest, CsvColumnsCarryHexAreaAndCellAndSixDecimals) {
  auto recs = handrecords();
  run r = turmcli({"select", "--db", handdb(), "--format", "csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 6u);
  EXPECT_EQ(l[1], "1,0,GSM,1,Telekom,1A2B,1234,13.342015,52.497973,500,,,");
  EXPECT_EQ(l[3], "3,2,Unbekannt,2,Vodafone,5,7FFFFFFF,-0.500000,-33.125000,7,,,");
  EXPECT_EQ(l[5], "5,4,UMTS,2,Vodafone,FFFF,80000,8.000000,50.000000,300,,,");
  EXPECT_EQ(l[4], expectedcsv(recs[3], 4, 3, "O2"));
}

// --- the dialog's number syntax ---------------------------------------------------

TEST_F(SelectTest, DollarHexAndDecimalAndXHexReadTheSameArea) {
  for (std::string text : {"$1A2B", "6699", "x1A2B", "0x1a2b", "  $1a2b  "}) {
    run r = turmcli({"select", "--db", handdb(), "--area", text, "--format", "csv"});
    ASSERT_EQ(r.status, 0) << text << ": " << r.err;
    EXPECT_EQ(datnrs(r), (std::vector<std::int32_t>{0, 1, 3})) << text;
  }
}

TEST_F(SelectTest, BoundaryValuesOfEachFieldAreAccepted) {
  run cell = turmcli({"select", "--db", handdb(), "--cell", "$7FFFFFFF", "--format", "csv"});
  ASSERT_EQ(cell.status, 0) << cell.err;
  EXPECT_EQ(datnrs(cell), (std::vector<std::int32_t>{2}));
  EXPECT_EQ(datnrs(turmcli({"select", "--db", handdb(), "--cell", "2147483647", "--format", "csv"})),
            (std::vector<std::int32_t>{2}));
  run area = turmcli({"select", "--db", handdb(), "--area", "$FFFF", "--format", "csv"});
  EXPECT_EQ(datnrs(area), (std::vector<std::int32_t>{4}));
  run net = turmcli({"select", "--db", handdb(), "--net", "65535", "--format", "csv"});
  EXPECT_EQ(net.status, 0) << net.err;
  EXPECT_EQ(lines(net.out).size(), 1u);  // header only: no record of net 65535
}

TEST_F(SelectTest, ZeroFieldsMeanAnyAndListEverything) {
  run r = turmcli({"select", "--db", handdb(), "--type", "Alle", "--net", "0", "--area", "$0",
                   "--cell", "0", "--format", "csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(datnrs(r), (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
}

// --- refused arguments: one line on stderr, status 2, nothing on stdout -------

TEST_F(SelectTest, BadArgumentsFailWithOneLineAndStatus2) {
  std::vector<std::vector<std::string>> bad = {
      {"--net", "65536"},       {"--net", "-1"},          {"--area", "$1000000"},
      {"--cell", "$1000000000"}, {"--cell", "68719476736"}, {"--cell", "-5"},
      {"--area", "1A2B"},       {"--net", ""},            {"--net", "$"},
      {"--net", "$12345678A"},  {"--net", "12345678901"}, {"--cell", "1.5"},
      {"--type", "5G"},         {"--type", ""},           {"--format", "xml"},
      {"--limit", "-1"},        {"--bogus"},              {"--net"},
      {"--object", "1"},        {"--labels"},             {"--db"},
  };
  for (auto args : bad) {
    args.insert(args.begin(), {"select", "--db", handdb()});
    run r = turmcli(args);
    std::string shown = args[3] + (args.size() > 4 ? " " + args[4] : "");
    EXPECT_EQ(r.status, 2) << shown;
    EXPECT_TRUE(r.out.empty()) << shown << "\n" << r.out;
    EXPECT_EQ(lines(r.err).size(), 1u) << shown << "\n" << r.err;
  }
}

TEST_F(SelectTest, OutOfRangeNamesTheDialogsLimits) {
  run r = turmcli({"select", "--db", handdb(), "--net", "70000"});
  EXPECT_EQ(r.err, "turmcli select: --net: Ganzzahl-Wert 70000 muß >=0 und <=65535 sein\n");
}

TEST_F(SelectTest, MissingDatabaseFailsWithTheProgramsMessage) {
  run r = turmcli({"select", "--db", "nope.dat"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.err, "turmcli select: Datei nope.dat konnte nicht geöffnet werden!\n");
  // The default is germtowers.dat in the working directory, which the
  // scratch directory does not hold.
  run d = turmcli({"select"});
  EXPECT_EQ(d.status, 2);
  EXPECT_NE(d.err.find("Datei germtowers.dat konnte nicht"), std::string::npos) << d.err;
  run dir = turmcli({"select", "--db", hand->path()});
  EXPECT_EQ(dir.status, 2) << "a folder is no database";
}

// --- grid ----------------------------------------------------------------------------

TEST_F(SelectTest, GridPlacesEveryColumnAtItsStart) {
  run r = turmcli({"select", "--db", handdb(), "--net", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 4u);
  EXPECT_EQ(l[0], " Turmfinder in Deutschland; Anzahl=   1/   5");
  std::string head = w1252(l[1]);
  const int cols[] = {kNr, kDatNr, kArt, kNetz, kArea, kCellid, kLaenge, kBreite, kRange, kDist};
  const char* names[] = {"Nr", "DatNr", "Art", "Netz", "Area", "Cellid", "L\xE4nge", "Breite",
                         "Range(m)", "Dist"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(wordat(head, cols[i]), names[i]) << cols[i];
  std::string crit = w1252(l[2]);
  EXPECT_EQ(wordat(crit, 2), "Auswahl:");
  EXPECT_EQ(crit.substr(kNetz - 1), "1 Telekom");
  std::string row = w1252(l[3]);
  EXPECT_EQ(row.substr(0, 5), "    1");  // Nr right-aligned in 4 from column 2
  EXPECT_EQ(row.substr(kDatNr - 1, 4), "   0");  // DatNr likewise from its column
  EXPECT_EQ(wordat(row, kArt), "GSM");
  EXPECT_EQ(row.substr(kNetz - 1, 9), "1 Telekom");
  EXPECT_EQ(wordat(row, kArea), "1A2B");
  EXPECT_EQ(wordat(row, kCellid), "1234");
  EXPECT_EQ(wordat(row, kLaenge), "13.342015");
  EXPECT_EQ(wordat(row, kBreite), "52.497973");
  EXPECT_EQ(wordat(row, kRange), "500");
  EXPECT_EQ(row.size(), kRange + 2u) << "no distance column, no trailing blanks";
}

TEST_F(SelectTest, GridOfAFullDatabaseShowsTheLastRecordNumbersAndWidestFieldsWhole) {
  scratchdir full("select-full");
  towertest::writesparsetowers(full.file("germtowers.dat"), 2400000,
                               {towertest::widestrec(), towertest::widestrec()});
  run r = turmcli({"near", "--db", full.file("germtowers.dat"), "--object", "2399999"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 5u) << r.out;
  EXPECT_EQ(wordat(w1252(l[1]), kRange), "Range(m)");
  EXPECT_EQ(l[4], "    2      2.399.999 Unbekannt? 2 Vodafone FFFF   FFFFFFFF  -180.000000 -90.000000 "
                  "-2147483648 0.000000");
}

TEST_F(SelectTest, GridIsUtf8AndTitleFollowsTheFileNameNotItsFolder) {
  run g = turmcli({"select", "--db", handdb(), "--limit", "0"});
  EXPECT_NE(g.out.find("L\xC3\xA4nge"), std::string::npos);
  run b = turmcli({"select", "--db", hand->file("berlintowers.dat"), "--limit", "0"});
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(lines(b.out)[0], " Turmfinder in Berlin; Anzahl=   5");
}

TEST_F(SelectTest, LimitCapsPrintedRowsNotTheSearch) {
  run r = turmcli({"select", "--db", demodb(), "--type", "LTE", "--limit", "7"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 10u);
  std::size_t lte = selected(demorecs, {4, 0, 0, 0}).size();
  ASSERT_GT(lte, 7u);
  std::string count = std::to_string(lte);
  if (lte >= 1000) count.insert(count.size() - 3, ".");
  std::string title = "Anzahl=" + std::string(count.size() < 4 ? 4 - count.size() : 0, ' ') + count +
                      "/3.000";
  EXPECT_NE(l[0].find(title), std::string::npos) << l[0];
  EXPECT_EQ(wordat(w1252(l[9]), 5), "7");

  auto csv0 = lines(turmcli({"select", "--db", demodb(), "--format", "csv", "--limit", "0"}).out);
  EXPECT_EQ(csv0.size(), 1u);
  auto csvbig = lines(turmcli({"select", "--db", demodb(), "--format", "csv", "--limit", "99999"}).out);
  EXPECT_EQ(csvbig.size(), demorecs.size() + 1);
}

TEST_F(SelectTest, SelectAfterASurroundingSearchShowsNoDistances) {
  ASSERT_EQ(turmcli({"near", "--db", handdb(), "--object", "0"}).status, 0);
  run r = turmcli({"select", "--db", handdb(), "--format", "csv"});
  ASSERT_EQ(r.status, 0);
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 6u);
  for (std::size_t i = 1; i < l.size(); ++i) EXPECT_EQ(fields(l[i])[10], "") << l[i];
  run g = turmcli({"select", "--db", handdb()});
  EXPECT_EQ(w1252(lines(g.out)[2]), " Auswahl:") << "no criteria position left from the search";
}

// --- link ---------------------------------------------------------------------------

TEST_F(SelectTest, LinkOfTheExamplePositionIsExact) {
  run g = turmcli({"link", "--position", "52.497973,13.342015", "--map", "google"});
  ASSERT_EQ(g.status, 0) << g.err;
  EXPECT_EQ(g.out, "https://www.google.com/maps?q=52.497973,13.342015&spn=0.010000,0.005000&t=m\n");
  run o = turmcli({"link", "--position", " 52.497973 , 13.342015 ", "--map", "osm"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "https://www.openstreetmap.org/?minlon=13.337015&minlat=52.487973&maxlon=13.347015"
            "&maxlat=52.507973&mlat=52.497973&mlon=13.342015\n");
}

TEST_F(SelectTest, LinkOfARecordUsesItsStoredPosition) {
  auto recs = handrecords();
  run g = turmcli({"link", "--db", handdb(), "--object", "2", "--map", "google"});
  ASSERT_EQ(g.status, 0) << g.err;
  EXPECT_EQ(g.out, "https://www.google.com/maps?q=" + six(latof(recs[2])) + "," + six(lonof(recs[2])) +
                       "&spn=0.010000,0.005000&t=m\n");
  run o = turmcli({"link", "--db", handdb(), "--object", "4", "--map", "osm"});
  EXPECT_EQ(o.out,
            "https://www.openstreetmap.org/?minlon=7.995000&minlat=49.990000&maxlon=8.005000"
            "&maxlat=50.010000&mlat=50.000000&mlon=8.000000\n");
}

TEST_F(SelectTest, LinkRefusesWhatItCannotShow) {
  std::vector<std::vector<std::string>> bad = {
      {"link", "--db", handdb(), "--object", "5", "--map", "osm"},   // one past the end
      {"link", "--db", handdb(), "--object", "-1", "--map", "osm"},
      {"link", "--db", "nope.dat", "--object", "0", "--map", "osm"},
      {"link", "--position", "52.5", "--map", "osm"},                // no comma
      {"link", "--position", "52.5;13.3", "--map", "osm"},
      {"link", "--position", "52.5,13.3"},                           // no map
      {"link", "--position", "52.5,13.3", "--map", "bing"},
      {"link", "--map", "osm"},                                      // nothing to show
      {"link", "--position", "52.5,13.3", "--object", "1", "--map", "osm"},
      {"link", "--position", "52.5,13.3", "--map", "osm", "--net", "1"},
  };
  for (const auto& args : bad) {
    run r = turmcli(args);
    EXPECT_EQ(r.status, 2) << args[1] << " " << args[2];
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
  }
}

}  // namespace
