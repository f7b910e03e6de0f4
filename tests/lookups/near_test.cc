// turmcli near and page: the surrounding searches against the growing
// window worked out here over the file's records, the distance column, the
// position text, and the map page written from a selection; then the same
// against a database prepared from the real sample data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "ingest/demodb.h"
#include "ingest/prepare.h"
#include "tests/common/testfiles.h"
#include "tests/lookups/lookuptest.h"

using namespace lookuptest;
using namespace listcolumn;

namespace {

// The start windows as the search holds them (rounded to stored reals).
const long double kObjectStart = toext(toreal(0.001L));
const long double kPositionStart = toext(toreal(0.005L));

struct listing {
  std::vector<std::int32_t> datnr;
  std::vector<std::string> dist;
};

listing parsecsv(const run& r) {
  listing l;
  auto ls = lines(r.out);
  for (std::size_t i = 1; i < ls.size(); ++i) {
    auto f = fields(ls[i]);
    l.datnr.push_back(std::stoi(f.at(1)));
    l.dist.push_back(f.at(10));
  }
  return l;
}

std::vector<std::int32_t> sorted(std::vector<std::int32_t> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Checks a sorted surrounding result around (lon, lat): every distance is
// |dlon| + |dlat| of its record, and they do not decrease.
void expectorderedbydistance(const listing& l, const std::vector<ttowerrec>& recs, long double lon,
                             long double lat) {
  double last = -1;
  for (std::size_t i = 0; i < l.datnr.size(); ++i) {
    const ttowerrec& r = recs[static_cast<std::size_t>(l.datnr[i])];
    long double d = std::fabs(lonof(r) - lon) + std::fabs(latof(r) - lat);
    EXPECT_EQ(l.dist[i], six(d)) << "row " << i + 1;
    double shown = std::stod(l.dist[i]);
    EXPECT_GE(shown, last - 1e-6) << "row " << i + 1;
    last = shown;
  }
}

class NearTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo = std::make_unique<scratchdir>("near-demo");
    ASSERT_TRUE(writedemodatabase(demo->path(), 4000).ok);
    recs = readrecords(demo->file("germtowers.dat"));
  }
  static void TearDownTestSuite() { demo.reset(); }
  static std::string db() { return demo->file("germtowers.dat"); }

  static inline std::unique_ptr<scratchdir> demo;
  static inline std::vector<ttowerrec> recs;
};

// --- object search ---------------------------------------------------------------

TEST_F(NearTest, ObjectSearchListsTheFirstWindowWithTwentyNearestFirst) {
  for (std::int32_t object : {0, 17, 1234, 3999}) {
    run r = turmcli({"near", "--db", db(), "--object", std::to_string(object), "--format", "csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    listing l = parsecsv(r);
    const ttowerrec& centre = recs[static_cast<std::size_t>(object)];
    auto want = windowsearch(recs, {}, lonof(centre), latof(centre), kObjectStart, true);
    EXPECT_EQ(sorted(l.datnr), want) << "object " << object;
    ASSERT_FALSE(l.datnr.empty());
    if (want.size() <= 100) {
      EXPECT_EQ(l.dist[0], "0.000000");
      expectorderedbydistance(l, recs, lonof(centre), latof(centre));
    }
  }
}

TEST_F(NearTest, ObjectSearchKeepsTheKeyFields) {
  const std::int32_t object = 17;
  run r = turmcli({"near", "--db", db(), "--object", "17", "--type", "UMTS", "--format", "csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  listing l = parsecsv(r);
  const ttowerrec& centre = recs[object];
  auto want = windowsearch(recs, {2, 0, 0, 0}, lonof(centre), latof(centre), kObjectStart, true);
  EXPECT_EQ(sorted(l.datnr), want);
  for (auto n : l.datnr) EXPECT_EQ(+recs[static_cast<std::size_t>(n)].typecode, 2) << n;
}

TEST_F(NearTest, ObjectNumberMustLieInTheDatabase) {
  run last = turmcli({"near", "--db", db(), "--object", "3999", "--limit", "0"});
  EXPECT_EQ(last.status, 0) << last.err;
  for (std::string n : {"4000", "-1", "99999999", "1,5", "abc"}) {
    run r = turmcli({"near", "--db", db(), "--object", n});
    EXPECT_EQ(r.status, 2) << n;
    EXPECT_TRUE(r.out.empty()) << n;
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
  }
  EXPECT_NE(turmcli({"near", "--db", db(), "--object", "4000"}).err.find("0 bis 3999"),
            std::string::npos);
}

TEST_F(NearTest, ObjectNumberMayBeGroupedAsTheListShowsIt) {
  run grouped = turmcli({"near", "--db", db(), "--object", "1.234", "--format", "csv", "--limit", "1"});
  ASSERT_EQ(grouped.status, 0) << grouped.err;
  EXPECT_EQ(parsecsv(grouped).datnr, (std::vector<std::int32_t>{1234}));
  EXPECT_EQ(turmcli({"near", "--db", db(), "--object", "1.23"}).status, 2);
  EXPECT_EQ(turmcli({"near", "--db", db(), "--object", "1.2345"}).status, 2);
}

TEST_F(NearTest, GridShowsTheCentreAndTheWindowInTheCriteriaLine) {
  run r = turmcli({"near", "--db", db(), "--object", "17", "--limit", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 4u);
  std::string crit = w1252(l[2]);
  EXPECT_EQ(wordat(crit, kLaenge), six(lonof(recs[17])));
  EXPECT_EQ(wordat(crit, kBreite), six(latof(recs[17])));
  EXPECT_FALSE(wordat(crit, kDist).empty()) << "window sum in the Dist column";
  std::string row = w1252(l[3]);
  EXPECT_EQ(row.substr(kDatNr - 1, 4), "  17");
  EXPECT_EQ(wordat(row, kDist), "0.000000");
}

// --- position search --------------------------------------------------------------

TEST_F(NearTest, PositionSearchListsTheFirstWindowWithTwenty) {
  long double lon = toext(toreal(13.342015L)), lat = toext(toreal(52.497973L));
  run r = turmcli({"near", "--db", db(), "--position", "52.497973,13.342015", "--format", "csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  listing l = parsecsv(r);
  auto want = windowsearch(recs, {}, lon, lat, kPositionStart, false);
  ASSERT_GE(want.size(), 20u);
  EXPECT_EQ(sorted(l.datnr), want);
  if (want.size() <= 100) expectorderedbydistance(l, recs, lon, lat);

  run lte = turmcli({"near", "--db", db(), "--position", "52.497973,13.342015", "--type", "LTE",
                     "--net", "1", "--format", "csv"});
  ASSERT_EQ(lte.status, 0) << lte.err;
  EXPECT_EQ(sorted(parsecsv(lte).datnr), windowsearch(recs, {4, 1, 0, 0}, lon, lat, kPositionStart, false));
}

TEST_F(NearTest, PositionTextIsReadLatitudeFirstLikeTheProgramsInput) {
  // Blanks around the parts and a comma as decimal point after the first
  // comma are taken; the same search results.
  run a = turmcli({"near", "--db", db(), "--position", "48.137,11.575", "--format", "csv"});
  run b = turmcli({"near", "--db", db(), "--position", " 48.137 ,  11,575 ", "--format", "csv"});
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(a.out, b.out);
  auto want = windowsearch(recs, {}, toext(toreal(11.575L)), toext(toreal(48.137L)), kPositionStart, false);
  EXPECT_EQ(sorted(parsecsv(a).datnr), want);
  for (std::string bad : {"52.5", "52.5;13.3", "", "abc,13", "52.5,", "95,13", "52,497973"}) {
    run r = turmcli({"near", "--db", db(), "--position", bad});
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_TRUE(r.out.empty()) << bad;
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
  }
}

TEST_F(NearTest, NeedsExactlyOneCentre) {
  EXPECT_EQ(turmcli({"near", "--db", db()}).status, 2);
  EXPECT_EQ(turmcli({"near", "--db", db(), "--object", "1", "--position", "52,13"}).status, 2);
  EXPECT_EQ(turmcli({"near", "--db", "nope.dat", "--object", "1"}).status, 2);
}

TEST_F(NearTest, SearchWithNothingPassingEndsWithAnEmptyList) {
  run r = turmcli({"near", "--db", db(), "--position", "52.5,13.4", "--cell", "$7FFFFFFE", "--format",
                   "csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lines(r.out).size(), 1u);
}

// --- map page from a selection --------------------------------------------------------

class PageTest : public NearTest {
 protected:
  void SetUp() override { std::filesystem::remove_all("celltowers.html"); }
  void TearDown() override { std::filesystem::remove_all("celltowers.html"); }
  static std::vector<std::string> pagelines() {
    std::string bytes = readbytes("celltowers.html");
    std::vector<std::string> l;
    std::size_t at = 0;
    for (std::size_t e; (e = bytes.find("\r\n", at)) != std::string::npos; at = e + 2)
      l.push_back(bytes.substr(at, e - at));
    EXPECT_EQ(at, bytes.size()) << "every line ends with CR LF";
    return l;
  }
  static int count(const std::vector<std::string>& l, const std::string& start) {
    return static_cast<int>(std::count_if(l.begin(), l.end(), [&](const std::string& s) {
      return s.rfind(start, 0) == 0;
    }));
  }
};

TEST_F(PageTest, MoreThanTwentyGivesTheNoticeAndTwentyMarkers) {
  run r = turmcli({"page", "--db", db(), "--net", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "Es werden nur die ersten 20 Objekte gezeigt\n");
  EXPECT_NE(r.out.find("celltowers.html geschrieben"), std::string::npos) << r.out;
  auto l = pagelines();
  EXPECT_EQ(l[4], "<title>Turmfinder Netz:2 Vodafone</title>");
  EXPECT_EQ(count(l, "markers.addMarker("), 20);
  EXPECT_EQ(count(l, "popa"), 0);
  // Marker 1 is the first record of net 2.
  auto net2 = selected(recs, {0, 2, 0, 0});
  const ttowerrec& first = recs[static_cast<std::size_t>(net2[0])];
  std::string lonlat1 = "var lonLat1 = new OpenLayers.LonLat(" + six(lonof(first)) + "," +
                        six(latof(first)) + ").transform(fromProjection,toProjection);";
  EXPECT_EQ(count(l, lonlat1), 1);
}

TEST_F(PageTest, LabelsAddTheNumberedPopups) {
  run r = turmcli({"page", "--db", db(), "--type", "UMTS", "--labels"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto l = pagelines();
  EXPECT_EQ(count(l, "var popsi2 = new OpenLayers.Size(20,20);"), 1);
  EXPECT_EQ(count(l, "map.addPopup(popa"), 20);
  EXPECT_EQ(count(l, "popa20= new OpenLayers.Popup(\"a20\",lonLat20,popsi2,\"20\",false);"), 1);
}

TEST_F(PageTest, EmptySelectionWritesNothingAndReturns1) {
  run r = turmcli({"page", "--db", db(), "--cell", "$7FFFFFFE"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
  EXPECT_FALSE(fileexists("celltowers.html"));
}

TEST_F(PageTest, UncreatablePageFailsWithStatus2) {
  std::filesystem::create_directory("celltowers.html");
  run r = turmcli({"page", "--db", db(), "--net", "1", "--cell", "$" + hex(static_cast<std::uint32_t>(recs[5].cellid))});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("celltowers.html"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::is_directory("celltowers.html"));
}

TEST_F(PageTest, BadSelectionWritesNothing) {
  EXPECT_EQ(turmcli({"page", "--db", db(), "--net", "x"}).status, 2);
  EXPECT_EQ(turmcli({"page", "--db", "nope.dat"}).status, 2);
  EXPECT_EQ(turmcli({"page", "--db", db(), "--format", "csv"}).status, 2);
  EXPECT_FALSE(fileexists("celltowers.html"));
}

// --- the real sample data ---------------------------------------------------------------

TEST(SampleData, SelectAndNearAgreeWithTheFileOnRealCells) {
  const std::string csv = TURM_SHARED_DIR "/data/opencellid-sample.csv";
  if (!fileexists(csv)) GTEST_SKIP() << "sample data missing: " << csv;
  scratchdir dir("near-sample");
  prepareoptions o;
  o.csvpath = csv;
  o.dir = dir.path();
  prepareresult p = preparedatabase(o);
  ASSERT_TRUE(p.ok) << p.error;
  const std::string db = dir.file("germtowers.dat");
  auto recs = readrecords(db);
  ASSERT_GT(recs.size(), 20000u);

  run lte = turmcli({"select", "--db", db, "--type", "LTE", "--net", "1", "--format", "csv"});
  ASSERT_EQ(lte.status, 0) << lte.err;
  auto want = selected(recs, {4, 1, 0, 0});
  ASSERT_FALSE(want.empty());
  EXPECT_EQ(parsecsv(lte).datnr, want);

  long double lon = toext(toreal(13.342015L)), lat = toext(toreal(52.497973L));
  run near = turmcli({"near", "--db", db, "--position", "52.497973,13.342015", "--format", "csv"});
  ASSERT_EQ(near.status, 0) << near.err;
  listing l = parsecsv(near);
  auto around = windowsearch(recs, {}, lon, lat, kPositionStart, false);
  EXPECT_EQ(sorted(l.datnr), around);
  if (around.size() <= 100) expectorderedbydistance(l, recs, lon, lat);

  std::int32_t object = want[want.size() / 2];
  run obj = turmcli({"near", "--db", db, "--object", std::to_string(object), "--format", "csv"});
  ASSERT_EQ(obj.status, 0) << obj.err;
  const ttowerrec& c = recs[static_cast<std::size_t>(object)];
  EXPECT_EQ(sorted(parsecsv(obj).datnr), windowsearch(recs, {}, lonof(c), latof(c), kObjectStart, true));
}

}  // namespace
