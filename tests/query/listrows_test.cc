// The list screen's texts: title, header, criteria line, rows, the
// selection title and the placing of pieces on a line.
#include <gtest/gtest.h>

#include "celldb/database.h"
#include "lib/support/w1252.h"
#include "query/criteria.h"
#include "query/listrows.h"
#include "query/listscreen.h"
#include "lib/support/recordingsurface.h"
#include "lib/support/textgrid.h"
#include "query/liststate.h"
#include "tests/celldb/towerfiles.h"

using namespace towertest;
using namespace listcolumn;

namespace {

std::string textat(const RowPieces& pieces, int column) {
  for (const RowPiece& p : pieces)
    if (p.column == column) return p.text;
  return "<none>";
}

class ListRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    closedatabase();
    dbfilename = "germtowers.dat";
    criteria = ttowerrec{};
    tolerancelon = toreal(0.2L);
    tolerancelat = toreal(0.33L);
    surroundingresult = false;
    selectedline = 0;
    currentobject = 0;
  }
  void TearDown() override { closedatabase(); }
};

// --- placing pieces ---------------------------------------------------------------

TEST(RenderLine, PiecesGoToTheirColumnsAndTrailingBlanksGo) {
  EXPECT_EQ(renderline({{2, "ab"}, {6, "c  "}}), " ab  c");
  EXPECT_EQ(renderline({}), "");
}

TEST(RenderLine, LaterPieceOverwritesWhatAnEarlierOneRanInto) {
  EXPECT_EQ(renderline({{1, "abcdefgh"}, {3, "XY"}}), "abXYefgh");
}

// --- title ---------------------------------------------------------------------------

TEST_F(ListRowsTest, TitleShowsCountOfTotalWhenTheyDiffer) {
  towercount = 20;
  resultcount = 7;
  EXPECT_EQ(renderline(titlepieces()), " Turmfinder in Deutschland; Anzahl=   7/  20");
  resultcount = 20;
  EXPECT_EQ(renderline(titlepieces()), " Turmfinder in Deutschland; Anzahl=  20");
}

TEST_F(ListRowsTest, TitleNamesBerlinForAnyOtherFileAndGroupsLargeCounts) {
  dbfilename = "berlintowers.dat";
  towercount = 2500000;
  resultcount = 2400000;
  EXPECT_EQ(textat(titlepieces(), 2), "Turmfinder in Berlin; Anzahl=2.400.000/2.500.000");
}

// --- header and criteria line ----------------------------------------------------------

TEST_F(ListRowsTest, HeaderPlacesTheTenColumnTitles) {
  std::string expected = std::string(" Nr        DatNr     Art        Netz       Area   Cellid    L"_w) +
                         std::string("änge       Breite     Range(m)    Dist"_w);
  EXPECT_EQ(renderline(headerpieces()), expected);
}

TEST_F(ListRowsTest, CriteriaLineShowsOnlyTheSetCriteria) {
  EXPECT_EQ(renderline(criteriapieces()), " Auswahl:");
  criteria.latitude = toreal(52.5L);
  RowPieces p = criteriapieces();
  EXPECT_EQ(textat(p, kBreite), "52.500000");
  EXPECT_EQ(textat(p, kLaenge), "<none>");
}

TEST_F(ListRowsTest, CriteriaLineWithKeysAndWindowSum) {
  settypetext(criteria, "UMTS");
  criteria.typecode = 2;
  criteria.netid = 12;
  criteria.area = 165;
  criteria.cellid = 0x1F2E;
  criteria.longitude = toreal(13.404954L);
  surroundingresult = true;
  tolerancelon = toreal(0.25L);
  tolerancelat = toreal(0.5L);
  RowPieces p = criteriapieces();
  EXPECT_EQ(textat(p, kArt), "UMTS");
  EXPECT_EQ(textat(p, kNetz), "12 ");
  EXPECT_EQ(textat(p, kArea), "A5");
  EXPECT_EQ(textat(p, kCellid), "1F2E");
  EXPECT_EQ(textat(p, kLaenge), "13.404954");
  EXPECT_EQ(textat(p, kBreite), "<none>");
  EXPECT_EQ(textat(p, kDist), "0.750000");
}

TEST_F(ListRowsTest, NegativeCellIdIsNotACriterion) {
  criteria.cellid = -3;
  EXPECT_EQ(textat(criteriapieces(), kCellid), "<none>");
}

// --- rows ------------------------------------------------------------------------------

TEST_F(ListRowsTest, RowShowsEveryColumnInItsFormat) {
  ttowerrec r = makerec(7, 4, 165, 0, 13.404954L, -0.5L, -12);
  settypetext(r, "5G?");
  RowPieces p = rowpieces(r, 7, 1234);
  EXPECT_EQ(textat(p, 2), "   7");
  EXPECT_EQ(textat(p, kDatNr), "1.234");
  EXPECT_EQ(textat(p, kArt), "5G?");
  EXPECT_EQ(textat(p, kNetz), "4 Vodafone");
  EXPECT_EQ(textat(p, kArea), "A5");
  EXPECT_EQ(textat(p, kCellid), "0");
  EXPECT_EQ(textat(p, kLaenge), "13.404954");
  EXPECT_EQ(textat(p, kBreite), "-0.500000");
  EXPECT_EQ(textat(p, kRange), "-12");
  EXPECT_EQ(textat(p, kDist), "<none>");
}

TEST_F(ListRowsTest, NetIdWithoutOperatorShowsTheDigitsAndABlank) {
  EXPECT_EQ(textat(rowpieces(makerec(1, 12, 1, 1, 1, 1), 1, 0), kNetz), "12 ");
}

TEST_F(ListRowsTest, CellIdShowsAllThirtyTwoBits) {
  EXPECT_EQ(textat(rowpieces(makerec(1, 1, 1, -1, 1, 1), 1, 0), kCellid), "FFFFFFFF");
}

TEST_F(ListRowsTest, DistanceColumnOnlyAfterASurroundingSearch) {
  criteria.longitude = toreal(10.0L);
  criteria.latitude = toreal(50.0L);
  surroundingresult = true;
  ttowerrec r = makerec(1, 1, 1, 1, 10.25L, 49.5L);
  EXPECT_EQ(textat(rowpieces(r, 1, 0), kDist), "0.750000");
}

TEST_F(ListRowsTest, LargestNumbersAndWidestTextsKeepABlankBeforeTheNextColumn) {
  criteria.longitude = toreal(180.0L);
  criteria.latitude = toreal(90.0L);
  surroundingresult = true;
  RowPieces row = rowpieces(widestrec(), 2400000, 2399999);
  EXPECT_EQ(renderline(row), " 2.400.000 2.399.999 Unbekannt? 2 Vodafone FFFF   FFFFFFFF  -180.000000 "
                             "-90.000000 -2147483648 540.000000");
  EXPECT_LE(static_cast<int>(renderline(row).size()), kLineWidth);
  // The widest NR cell: area and cell id of 24 and 36 bits.
  row = rowpieces(widestnrrec(), 2400000, 2399999);
  EXPECT_EQ(renderline(row), " 2.400.000 2.399.999 NR         2 Vodafone FFFFFF FFFFFFFFF -180.000000 "
                             "-90.000000 -2147483648 540.000000");
}

// The selection title (the map page's) with an NR cell's whole keys; a
// plain record's unused type text bytes never widen its numbers.
TEST_F(ListRowsTest, WideKeysOnlyForNrRecordsAndInTheTitle) {
  ttowerrec plain = makerec(3, 3, 0x1234, 0x5678, 13.4L, 52.5L);
  plain.typetext[9] = 0xAB;
  plain.typetext[10] = 0x0C;
  EXPECT_EQ(renderline(rowpieces(plain, 1, 0)).substr(kArea - 1, 15), "1234   5678    ");
  setcriteriakeys(criteria, 0x10000, 12345678901ULL);  // low area bits 0, high ones set
  EXPECT_EQ(selectiontitle(criteria, 255), "Turmfinder Area:10000 Cell:2DFDC1C35");
}

// A font whose characters are as wide as it is high: the cells follow.
struct WideFontSurface : RecordingSurface {
  TextExtent textextent(const std::string& t) override {
    return {static_cast<int>(t.size()) * fontpixelheight(), fontpixelheight()};
  }
};

TEST(ListMetrics, CellsAreAsWideAsTheWidestDigitOfAWideFont) {
  FontSpec f;
  f.height = 20;
  WideFontSurface wide;
  wide.selectfont(f);
  setlistmetrics(wide);
  EXPECT_EQ(+cellwidth, 20);
  RecordingSurface narrow;  // characters half as wide as high: 0.7 of the height
  narrow.selectfont(f);
  setlistmetrics(narrow);
  EXPECT_EQ(+cellwidth, 14);
}

// --- selection title -------------------------------------------------------------------

TEST(SelectionTitle, TypeAndNetFromTheExample) {
  ttowerrec c{};
  settypetext(c, "UMTS");
  c.typecode = 2;
  c.netid = 2;
  EXPECT_EQ(selectiontitle(c, 255), "Turmfinder UMTS Netz:2 Vodafone");
}

TEST(SelectionTitle, AllPartsAndPositionOnlyWithLongitude) {
  ttowerrec c{};
  c.area = 0xBEEF;
  c.cellid = 255;
  c.longitude = toreal(13.5L);
  c.latitude = toreal(52.25L);
  EXPECT_EQ(selectiontitle(c, 255), "Turmfinder Area:BEEF Cell:FF nahe:13.500000 52.250000");
  c.longitude = real{};
  EXPECT_EQ(selectiontitle(c, 255), "Turmfinder Area:BEEF Cell:FF");
}

TEST(SelectionTitle, CutAtTheCapacity) {
  ttowerrec c{};
  c.netid = 1;
  EXPECT_EQ(selectiontitle(c, 14), "Turmfinder Net");
  EXPECT_EQ(selectiontitle(c, 0), "");
}

// --- the whole screen ------------------------------------------------------------------

TEST_F(ListRowsTest, EmptyResultShowsCountZeroHeaderAndCriteriaWithoutRows) {
  openmemory({makerec(1, 1, 1, 1, 1, 1)});
  resultcount = 0;
  std::vector<ListLine> lines = buildlistscreen(1, 30);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(renderline(lines[0].pieces), " Turmfinder in Deutschland; Anzahl=   0/   1");
  EXPECT_EQ(lines[1].band, 10);
  EXPECT_EQ(lines[2].band, 9);
  EXPECT_EQ(textat(lines[2].pieces, 2), "Auswahl:");
}

TEST_F(ListRowsTest, OneResultGivesTitleHeaderCriteriaAndOneRow) {
  openmemory({makerec(1, 1, 1, 11, 1, 1), makerec(2, 1, 1, 22, 1, 1)});
  resultcount = 1;
  resultlist[1] = 1;
  std::vector<ListLine> lines = buildlistscreen(0, 30);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].band, 10);
  EXPECT_EQ(lines[2].band, 9);
  EXPECT_EQ(lines[3].row, 4);
  EXPECT_EQ(textat(lines[3].pieces, kCellid), "16");
  EXPECT_EQ(textat(lines[3].pieces, kDatNr), "   1");
}

TEST_F(ListRowsTest, RowsStopAtTheWindowAndHighlightSetsTheCurrentObject) {
  std::vector<ttowerrec> recs(10, makerec(1, 1, 1, 1, 1, 1));
  openmemory(recs);
  selectall();
  selectedline = 5;
  std::vector<ListLine> lines = buildlistscreen(4, 6);  // rows 4..6: entries 4, 5, 6
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_FALSE(lines[3].highlighted);
  EXPECT_TRUE(lines[4].highlighted);
  EXPECT_EQ(currentobject, 4);
  EXPECT_EQ(textat(lines[5].pieces, 2), "   6");
}

TEST_F(ListRowsTest, FirstVisibleBeyondTheListDrawsNoRows) {
  openmemory(std::vector<ttowerrec>(3, makerec(1, 1, 1, 1, 1, 1)));
  selectall();
  EXPECT_EQ(buildlistscreen(3, 30).size(), 4u);
  EXPECT_EQ(buildlistscreen(4, 30).size(), 3u);
}

}  // namespace
