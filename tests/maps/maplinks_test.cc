// Map links: exact query strings, signs west and south, rounding at the
// sixth decimal, and ShowOnMap handing the link to the shell.
#include "maps/maplinks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "platform/testing/recording_shell.h"

namespace {

const std::string kGoogle = "https://www.google.com/maps?";
const std::string kOsm = "https://www.openstreetmap.org/?";

TEST(FormatCoordinate, SixDecimalsRoundedNotCut) {
  EXPECT_EQ(FormatCoordinate(52.497973L), "52.497973");
  EXPECT_EQ(FormatCoordinate(0.005L), "0.005000");
  EXPECT_EQ(FormatCoordinate(-0.5L), "-0.500000");
  EXPECT_EQ(FormatCoordinate(1.0000006L), "1.000001");
  EXPECT_EQ(FormatCoordinate(1.0000004L), "1.000000");
  EXPECT_EQ(FormatCoordinate(-13.9999996L), "-14.000000");
  EXPECT_EQ(FormatCoordinate(0.0L), "0.000000");
}

TEST(FormatCoordinate, TinyNegativeHasNoMinusZero) {
  EXPECT_EQ(FormatCoordinate(-0.0000001L), "0.000000");
}

TEST(FormatCoordinate, HugeValueIsCutTo20Bytes) {
  EXPECT_EQ(FormatCoordinate(1e30L).size(), 20u);
  EXPECT_EQ(FormatCoordinatePair(1e30L, 1e30L).size(), 40u);
}

TEST(FormatCoordinate, PairIsCommaSeparated) {
  EXPECT_EQ(FormatCoordinatePair(0.01L, 0.005L), "0.010000,0.005000");
}

TEST(MapLinks, ExamplePositionGivesExactQueryStrings) {
  real lat = toreal(52.497973L), lon = toreal(13.342015L);
  EXPECT_EQ(GoogleMapsLink(lat, lon),
            kGoogle + "q=52.497973,13.342015&spn=0.010000,0.005000&t=m");
  EXPECT_EQ(OpenStreetMapLink(lon, lat),
            kOsm + "minlon=13.337015&minlat=52.487973&maxlon=13.347015&maxlat=52.507973"
                   "&mlat=52.497973&mlon=13.342015");
}

TEST(MapLinks, WestAndSouthCarryMinusSigns) {
  real lat = toreal(-33.868820L), lon = toreal(-0.127758L);
  EXPECT_EQ(GoogleMapsLink(lat, lon),
            kGoogle + "q=-33.868820,-0.127758&spn=0.010000,0.005000&t=m");
  EXPECT_EQ(OpenStreetMapLink(lon, lat),
            kOsm + "minlon=-0.132758&minlat=-33.878820&maxlon=-0.122758&maxlat=-33.858820"
                   "&mlat=-33.868820&mlon=-0.127758");
}

TEST(MapLinks, BoxCrossingZeroChangesSignInsideTheLink) {
  std::string link = OpenStreetMapLink(0.002L, -0.004L);
  EXPECT_EQ(link, kOsm + "minlon=-0.003000&minlat=-0.014000&maxlon=0.007000&maxlat=0.006000"
                         "&mlat=-0.004000&mlon=0.002000");
}

// A database of two records in the scratch folder.
class ShowOnMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ttowerrec recs[2] = {};
    recs[1].longitude = toreal(13.342015L);
    recs[1].latitude = toreal(52.497973L);
    std::ofstream("maptest.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(recs), sizeof recs);
    ASSERT_TRUE(opendatabase("maptest.dat").ok);
  }
  void TearDown() override { closedatabase(); }
  RecordingShell shell;
};

TEST_F(ShowOnMapTest, GoogleKindOpensGoogleLinkOfTheRecord) {
  ShowOnMap(kGoogleMaps, 1);
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].first, "open");
  EXPECT_EQ(shell.opened[0].second, kGoogle + "q=52.497973,13.342015&spn=0.010000,0.005000&t=m");
}

TEST_F(ShowOnMapTest, OsmKindOpensOsmLink) {
  ShowOnMap(kOpenStreetMap, 1);
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].second.rfind(kOsm + "minlon=13.337015&", 0), 0u);
}

TEST_F(ShowOnMapTest, FailingShellIsReportedWithTheLink) {
  // Without a browser the caller must be able to show the link.
  std::string link;
  EXPECT_TRUE(ShowOnMap(kGoogleMaps, 1, &link));
  shell.result = false;
  std::string failed;
  EXPECT_FALSE(ShowOnMap(kOpenStreetMap, 1, &failed));
  ASSERT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(link, shell.opened[0].second);
  EXPECT_EQ(failed, shell.opened[1].second);
}

TEST_F(ShowOnMapTest, UnknownKindOpensNothing) {
  ShowOnMap(2, 1);
  ShowOnMap(-1, 1);
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(ShowOnMapTest, RecordBeyondEndRaisesAndOpensNothing) {
  EXPECT_THROW(ShowOnMap(kGoogleMaps, 2), IoError);
  EXPECT_TRUE(shell.opened.empty());
}

TEST(OpenDocumentTest, CutsTo255BytesAndUsesOpenVerb) {
  RecordingShell shell;
  EXPECT_TRUE(OpenDocument(std::string(300, 'd')));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].first, "open");
  EXPECT_EQ(shell.opened[0].second.size(), 255u);
  shell.result = false;
  EXPECT_FALSE(OpenDocument("celltowers.html"));
  EXPECT_FALSE(OpenDocument(""));
  EXPECT_EQ(shell.opened.size(), 2u);  // the empty one never reaches the shell
}

}  // namespace
