// The map page: every line of celltowers.html for one, 20 and 25 objects
// with labels on and off, CR LF and Windows-1252 bytes, the centre and half
// extents left behind, and the cases where nothing may be written or opened.
#include "maps/mappage.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"
#include "platform/testing/recording_messagewindows.h"
#include "platform/testing/recording_shell.h"
#include "query/criteria.h"
#include "tests/celldb/towerfiles.h"

namespace {

using towertest::makerec;

std::string readfile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The page split at CR LF; a line end of any other form fails the test.
std::vector<std::string> pagelines(const std::string& bytes) {
  std::vector<std::string> l;
  std::size_t at = 0;
  for (std::size_t e; (e = bytes.find("\r\n", at)) != std::string::npos; at = e + 2) {
    std::string line = bytes.substr(at, e - at);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF in: " << line;
    l.push_back(line);
  }
  EXPECT_EQ(at, bytes.size()) << "the last line ends with CR LF";
  return l;
}

std::string six(long double v) {
  char b[64];
  std::snprintf(b, sizeof b, "%.6Lf", v);
  return b;
}
long double stored(long double v) { return toext(toreal(v)); }

const std::vector<std::string> kHead = {
    R"(<html xmlns:v="urn:schemas-microsoft-com:vml" xmlns="http://www.w3.org/TR/REC-html40">)",
    "<head>",
    R"(<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">)",
    R"(<meta http-equiv="Content-Language" content="de">)",
};
const std::vector<std::string> kScriptStart = {
    "</head>",
    "<body lang=DE>",
    "<html><body>",
    R"(<div id="mapdiv"></div>)",
    R"(<script src="https://openlayers.org/api/OpenLayers.js"></script>)",
    "<script>",
    R"(map = new OpenLayers.Map("mapdiv");)",
    "map.addLayer(new OpenLayers.Layer.OSM());",
    R"(var fromProjection = new OpenLayers.Projection("EPSG:4326");)",
    "var toProjection = map.getProjectionObject()",
    R"(var markers = new OpenLayers.Layer.Markers( "Markers");)",
    "map.addLayer(markers);",
};

// The page as the rules give it, for object positions pos[0] (centre) to
// pos[n], as (longitude, latitude).
std::vector<std::string> expectedpage(const std::string& title, bool labels,
                                      const std::vector<std::pair<long double, long double>>& pos) {
  std::vector<std::string> l = kHead;
  l.push_back("<title>" + title + "</title>");
  l.insert(l.end(), kScriptStart.begin(), kScriptStart.end());
  if (labels) {
    l.push_back("var popsi1 = new OpenLayers.Size(200,50);");
    l.push_back("var popsi2 = new OpenLayers.Size(20,20);");
  }
  int n = static_cast<int>(pos.size()) - 1;
  for (int i = 0; i <= n; ++i) {
    std::string pair = six(pos[i].first) + "," + six(pos[i].second);
    if (i == 0) l.push_back("var lonLatx = new OpenLayers.LonLat(" + pair + ")");
    l.push_back("var lonLat" + std::to_string(i) + " = new OpenLayers.LonLat(" + pair +
                ").transform(fromProjection,toProjection);");
  }
  l.push_back("var zoom=12;");
  l.push_back("map.setCenter(lonLat0, zoom);");
  for (int i = 1; labels && i <= n; ++i) {
    std::string k = std::to_string(i);
    l.push_back("popa" + k + "= new OpenLayers.Popup(\"a" + k + "\",lonLat" + k + ",popsi2,\"" + k +
                "\",false);");
    l.push_back("map.addPopup(popa" + k + ");");
  }
  for (int i = 1; i <= n; ++i)
    l.push_back("markers.addMarker(new OpenLayers.Marker(lonLat" + std::to_string(i) + "));");
  l.push_back("</script>");
  l.push_back("</body>");
  l.push_back("</html>");
  return l;
}

void expectlines(const std::vector<std::string>& got, const std::vector<std::string>& want) {
  for (std::size_t i = 0; i < want.size() && i < got.size(); ++i)
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  EXPECT_EQ(got.size(), want.size());
}

class MapPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(kMapPageFile);
    criteria = ttowerrec{};
    tolerancelon = toreal(0.2L);
    tolerancelat = toreal(0.33L);
  }
  void TearDown() override {
    closedatabase();
    std::filesystem::remove_all(kMapPageFile);
  }

  // count records spread north-east of the example position, listed in
  // reverse file order so list order and record order differ.
  std::vector<ttowerrec> opencells(int count) {
    std::vector<ttowerrec> recs;
    for (int i = 0; i < count; ++i)
      recs.push_back(makerec(1, 1, 100, 1000 + i, 13.342015L + i * 0.0125L, 52.497973L - i * 0.004L));
    source = towertest::openmemory(recs);
    resultcount = count;
    for (int i = 1; i <= count; ++i) resultlist[static_cast<std::size_t>(i)] = count - i;
    return recs;
  }

  // (centre, objects 1..n) as the rules place them.
  static std::vector<std::pair<long double, long double>> positions(const std::vector<ttowerrec>& recs,
                                                                    int n) {
    std::vector<std::pair<long double, long double>> pos(1);
    long double maxlon = -100, maxlat = -100, minlon = 100, minlat = 100;
    for (int i = 1; i <= n; ++i) {
      ttowerrec r = recs[static_cast<std::size_t>(resultlist[static_cast<std::size_t>(i)])];
      long double lon = toext(r.longitude), lat = toext(r.latitude);
      pos.emplace_back(lon, lat);
      maxlon = std::max(maxlon, lon), minlon = std::min(minlon, lon);
      maxlat = std::max(maxlat, lat), minlat = std::min(minlat, lat);
    }
    pos[0] = {stored((maxlon + minlon) / 2), stored((maxlat + minlat) / 2)};
    return pos;
  }

  std::shared_ptr<MemoryRecordSource::State> source;
  RecordingShell shell;
  RecordingMessageWindows messages;
};

// --- the page, line by line ----------------------------------------------------------

TEST_F(MapPageTest, OneObjectPageIsExactlyTheseLines) {
  opencells(1);
  ASSERT_TRUE(ShowObjectsOnMapPage(1, true));
  const std::vector<std::string> want = {
      R"(<html xmlns:v="urn:schemas-microsoft-com:vml" xmlns="http://www.w3.org/TR/REC-html40">)",
      "<head>",
      R"(<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">)",
      R"(<meta http-equiv="Content-Language" content="de">)",
      "<title>Turmfinder</title>",
      "</head>",
      "<body lang=DE>",
      "<html><body>",
      R"(<div id="mapdiv"></div>)",
      R"(<script src="https://openlayers.org/api/OpenLayers.js"></script>)",
      "<script>",
      R"(map = new OpenLayers.Map("mapdiv");)",
      "map.addLayer(new OpenLayers.Layer.OSM());",
      R"(var fromProjection = new OpenLayers.Projection("EPSG:4326");)",
      "var toProjection = map.getProjectionObject()",
      R"(var markers = new OpenLayers.Layer.Markers( "Markers");)",
      "map.addLayer(markers);",
      "var popsi1 = new OpenLayers.Size(200,50);",
      "var popsi2 = new OpenLayers.Size(20,20);",
      "var lonLatx = new OpenLayers.LonLat(13.342015,52.497973)",
      "var lonLat0 = new OpenLayers.LonLat(13.342015,52.497973).transform(fromProjection,toProjection);",
      "var lonLat1 = new OpenLayers.LonLat(13.342015,52.497973).transform(fromProjection,toProjection);",
      "var zoom=12;",
      "map.setCenter(lonLat0, zoom);",
      R"(popa1= new OpenLayers.Popup("a1",lonLat1,popsi2,"1",false);)",
      "map.addPopup(popa1);",
      "markers.addMarker(new OpenLayers.Marker(lonLat1));",
      "</script>",
      "</body>",
      "</html>",
  };
  expectlines(pagelines(readfile(kMapPageFile)), want);
}

TEST_F(MapPageTest, OneObjectCentreIsTheObjectAndHalfExtentsAreZero) {
  auto recs = opencells(1);
  ASSERT_TRUE(ShowObjectsOnMapPage(1, false));
  EXPECT_EQ(toext(mapcentrelon), toext(recs[0].longitude));
  EXPECT_EQ(toext(mapcentrelat), toext(recs[0].latitude));
  EXPECT_EQ(toext(tolerancelon), 0.0L);
  EXPECT_EQ(toext(tolerancelat), 0.0L);
  auto l = pagelines(readfile(kMapPageFile));
  EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.find("popa") != std::string::npos; }), 0);
}

TEST_F(MapPageTest, TwentyObjectsWithAndWithoutLabels) {
  for (bool labels : {false, true}) {
    auto recs = opencells(20);
    messages.calls.clear();
    ASSERT_TRUE(ShowObjectsOnMapPage(20, labels));
    expectlines(pagelines(readfile(kMapPageFile)), expectedpage("Turmfinder", labels, positions(recs, 20)));
    EXPECT_TRUE(messages.calls.empty()) << "twenty objects need no notice";
    closedatabase();
  }
}

TEST_F(MapPageTest, TwentyFiveObjectsGiveTheNoticeAndTheFirstTwenty) {
  for (bool labels : {false, true}) {
    auto recs = opencells(25);
    messages.calls.clear();
    ASSERT_TRUE(ShowObjectsOnMapPage(25, labels));
    ASSERT_EQ(messages.calls.size(), 1u);
    EXPECT_EQ(messages.calls[0].text, "Es werden nur die ersten 20 Objekte gezeigt");
    auto l = pagelines(readfile(kMapPageFile));
    expectlines(l, expectedpage("Turmfinder", labels, positions(recs, 20)));
    EXPECT_EQ(std::count_if(l.begin(), l.end(),
                            [](const std::string& s) { return s.rfind("markers.addMarker(", 0) == 0; }),
              20);
    closedatabase();
  }
}

TEST_F(MapPageTest, ExtentCoversOnlyTheObjectsShownAndBecomesTheTolerances) {
  auto recs = opencells(25);
  ASSERT_TRUE(ShowObjectsOnMapPage(25, false));
  auto pos = positions(recs, 20);
  long double minlon = 100, maxlon = -100, minlat = 100, maxlat = -100;
  for (std::size_t i = 1; i < pos.size(); ++i) {
    minlon = std::min(minlon, pos[i].first), maxlon = std::max(maxlon, pos[i].first);
    minlat = std::min(minlat, pos[i].second), maxlat = std::max(maxlat, pos[i].second);
  }
  EXPECT_EQ(toext(tolerancelon), stored((maxlon - minlon) / 2));
  EXPECT_EQ(toext(tolerancelat), stored((maxlat - minlat) / 2));
  EXPECT_EQ(toext(mapcentrelon), stored((maxlon + minlon) / 2));
  EXPECT_EQ(toext(mapcentrelat), stored((maxlat + minlat) / 2));
  // Records 0..4 (list entries 21..25) lie outside: the extent ends at record 5.
  EXPECT_EQ(minlon, toext(recs[5].longitude));
}

TEST_F(MapPageTest, TitleIsTheSelectionTitleInWindows1252) {
  opencells(3);
  criteria.typecode = 2;
  settypetext(criteria, "Mär"_w);
  criteria.netid = 2;
  criteria.area = 0x1A2B;
  ASSERT_TRUE(ShowObjectsOnMapPage(3, false));
  auto l = pagelines(readfile(kMapPageFile));
  ASSERT_GT(l.size(), 4u);
  EXPECT_EQ(l[4], "<title>Turmfinder M\xE4r Netz:2 Vodafone Area:1A2B</title>");
}

TEST_F(MapPageTest, WriteMapPageKeepsTitleBytesAndSignsAsGiven) {
  PositionSource pos = [](int i) -> std::pair<long double, long double> {
    return {i == 0 ? -0.5L : -73.985428L, i == 0 ? -33.0L : 40.748817L};
  };
  ASSERT_TRUE(WriteMapPage("page.html", std::string("Türme"_w), false, 1, 7, pos));
  std::string bytes = readfile("page.html");
  EXPECT_NE(bytes.find("<title>T\xFCrme</title>\r\n"), std::string::npos);
  auto l = pagelines(bytes);
  EXPECT_EQ(l[17], "var lonLatx = new OpenLayers.LonLat(-0.500000,-33.000000)");
  EXPECT_EQ(l[19], "var lonLat1 = new OpenLayers.LonLat(-73.985428,40.748817).transform(fromProjection,toProjection);");
  EXPECT_EQ(l[20], "var zoom=7;");
  std::filesystem::remove("page.html");
}

// --- opening, and when nothing may happen ------------------------------------------------

TEST_F(MapPageTest, WrittenPageIsOpenedByName) {
  opencells(2);
  ASSERT_TRUE(ShowObjectsOnMapPage(2, false));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].first, "open");
  EXPECT_EQ(shell.opened[0].second, "celltowers.html");
}

TEST_F(MapPageTest, EmptyListWritesAndOpensNothingAndKeepsTolerances) {
  opencells(3);
  resultcount = 0;
  EXPECT_FALSE(ShowObjectsOnMapPage(0, true));
  EXPECT_FALSE(std::filesystem::exists(kMapPageFile));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(toext(tolerancelon), toext(toreal(0.2L)));
  EXPECT_EQ(toext(tolerancelat), toext(toreal(0.33L)));
}

TEST_F(MapPageTest, UncreatableFileReturnsFalseAndOpensNothing) {
  opencells(3);
  std::filesystem::create_directory(kMapPageFile);
  MapPageOutcome outcome;
  outcome.opened = true;
  EXPECT_FALSE(ShowObjectsOnMapPage(3, false, &outcome));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(messages.calls.empty()) << "the command gives the notice";
  EXPECT_FALSE(outcome.opened);
  EXPECT_EQ(outcome.reason, std::strerror(EISDIR));
  EXPECT_TRUE(std::filesystem::is_directory(kMapPageFile));
}

TEST_F(MapPageTest, PageThatNoBrowserTakesIsReportedAsNotOpened) {
  opencells(2);
  MapPageOutcome outcome;
  ASSERT_TRUE(ShowObjectsOnMapPage(2, false, &outcome));
  EXPECT_TRUE(outcome.opened);
  shell.result = false;
  ASSERT_TRUE(ShowObjectsOnMapPage(2, false, &outcome));
  EXPECT_FALSE(outcome.opened);
  EXPECT_EQ(shell.opened.size(), 2u);
}

TEST_F(MapPageTest, UnreadableRecordLeavesNoHalfWrittenPage) {
  opencells(5);
  // The extent reads the 5 records; the page's own reads fail from the third.
  source->failreadsafter = source->reads + 7;
  EXPECT_THROW(ShowObjectsOnMapPage(5, false), IoError);
  EXPECT_FALSE(std::filesystem::exists(kMapPageFile));
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(MapPageTest, OldPageIsReplacedNotAppendedTo) {
  // A page from an earlier run is replaced completely, not appended to.
  { std::ofstream(kMapPageFile) << std::string(5000, 'x'); }
  opencells(1);
  ASSERT_TRUE(ShowObjectsOnMapPage(1, false));
  std::string bytes = readfile(kMapPageFile);
  EXPECT_EQ(bytes.find("xxxxxxxxxx"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 9), "</html>\r\n");
}

}  // namespace
