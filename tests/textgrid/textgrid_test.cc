// Character grid: metrics, cell placement, colours, centring and the
// start-screen block, drawn onto a recording surface.
#include "lib/support/textgrid.h"

#include <gtest/gtest.h>

#include "lib/support/recordingsurface.h"
#include "platform/testing/recording_messagewindows.h"

namespace {

using Kind = RecordingSurface::Kind;

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgrid();
    currentsurface = &surface;
  }
  void TearDown() override { resetgrid(); }
  RecordingSurface surface{800, 600};
};

// --- metrics -----------------------------------------------------------------

TEST_F(GridTest, FontHeightZeroFallsBackToTenPixels) {
  setgridmetrics(0);
  EXPECT_EQ(fontheight, 10);
  EXPECT_EQ(cellwidth, 7);
  EXPECT_EQ(lineheight, 14);
  EXPECT_EQ(halffontheight, 5);
  EXPECT_EQ(halflineheight, 7);
}

TEST_F(GridTest, SixteenPixelFontGivesElevenByTwentyTwo) {
  setgridmetrics(16);
  EXPECT_EQ(cellwidth, 11);
  EXPECT_EQ(lineheight, 22);
  EXPECT_EQ(halflineheight, 11);
}

TEST_F(GridTest, NegativeFontHeightCountsByItsSize) {
  setgridmetrics(-16);
  EXPECT_EQ(fontheight, 16);
  EXPECT_EQ(cellwidth, 11);
}

TEST_F(GridTest, HalfPixelCellSizesRoundToEven) {
  setgridmetrics(15);  // 10.5 -> 10, 21
  EXPECT_EQ(cellwidth, 10);
  EXPECT_EQ(lineheight, 21);
  setgridmetrics(25);  // 17.5 -> 18, 35
  EXPECT_EQ(cellwidth, 18);
  EXPECT_EQ(lineheight, 35);
}

TEST_F(GridTest, MetricsFollowTheSurfaceFont) {
  FontSpec f;
  f.height = 20;
  surface.selectfont(f);
  setgridmetrics(surface);
  EXPECT_EQ(cellwidth, 14);
  EXPECT_EQ(lineheight, 28);
}

// --- cells and pixels ----------------------------------------------------------

TEST_F(GridTest, PixelOriginIsCellOneOne) {
  int c = 0, l = 0;
  pixeltocell(0, 0, c, l);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(l, 1);
}

TEST_F(GridTest, CellBoundaryPixelBelongsToTheNextCell) {
  setgridmetrics(10);  // 7 x 14
  int c = 0, l = 0;
  pixeltocell(6, 13, c, l);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(l, 1);
  pixeltocell(7, 14, c, l);
  EXPECT_EQ(c, 2);
  EXPECT_EQ(l, 2);
}

TEST_F(GridTest, CellToPixelHonoursGridOffset) {
  setgridmetrics(10);
  gridleft = 3;
  gridtop = 5;
  int x = 0, y = 0;
  celltopixel(1, 1, x, y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 5);
  celltopixel(10, 4, x, y);
  EXPECT_EQ(x, 3 + 9 * 7);
  EXPECT_EQ(y, 5 + 3 * 14);
}

TEST_F(GridTest, GridSizeFromClientSize) {
  setgridmetrics(10);
  setgridsize(700, 140);
  EXPECT_EQ(gridcolumns, 101);
  EXPECT_EQ(gridlines, 11);
}

TEST_F(GridTest, ZeroCellSizeDoesNotDivideByZero) {
  cellwidth = 0;
  lineheight = 0;
  int c = 0, l = 0;
  pixeltocell(5, 6, c, l);
  EXPECT_EQ(c, 6);
  EXPECT_EQ(l, 7);
}

// --- writing -------------------------------------------------------------------------

TEST_F(GridTest, WriteOutsideTheVisibleLinesDrawsNothing) {
  gridlines = 5;
  writeat(1, 0, "null");
  writeat(1, 6, "sechs");
  EXPECT_TRUE(surface.texts().empty());
  writeat(1, 5, "fuenf");
  ASSERT_EQ(surface.texts().size(), 1u);
}

TEST_F(GridTest, WriteAtPlacesTextAtTheCellCorner) {
  setgridmetrics(16);  // 11 x 22
  writeat(3, 2, "L\xE4nge");
  auto t = surface.texts();
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].x, 22);
  EXPECT_EQ(t[0].y, 22);
  EXPECT_EQ(t[0].text, "L\xE4nge");
}

TEST_F(GridTest, WriteWithoutSurfaceDoesNothing) {
  currentsurface = nullptr;
  writeat(1, 1, "x");
  colourblock(1, 1, 2, 2, 3);
  centreline(0, "x");
  settextcolour(4);
  EXPECT_TRUE(surface.calls.empty());
  EXPECT_EQ(textcolour, 4);
}

TEST_F(GridTest, WriteColumnAdvancesByWidth) {
  setgridmetrics(10);
  std::uint8_t col = 2;
  writecolumn(col, 4, "Nr", 8);
  writecolumn(col, 4, "DatNr", 8);
  EXPECT_EQ(col, 18);
  auto t = surface.texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].x, 7);
  EXPECT_EQ(t[1].x, 9 * 7);
  EXPECT_EQ(t[1].y, 3 * 14);
}

TEST_F(GridTest, WriteColumnDoesNotWrapBackToTheLeftEdge) {
  std::uint8_t col = 250;
  writecolumn(col, 1, "a", 10);
  EXPECT_EQ(col, 255);
}

// --- colours ---------------------------------------------------------------------------

TEST_F(GridTest, TextColourTwelveIsRedAndZeroNearBlack) {
  settextcolour(12);
  EXPECT_EQ(surface.fontcolour(), (Rgb{255, 0, 0}));
  EXPECT_EQ(textcolour, 12);
  settextcolour(0);
  EXPECT_EQ(surface.fontcolour(), (Rgb{10, 10, 10}));
}

TEST_F(GridTest, PaletteAndSecondTable) {
  EXPECT_EQ(colourof(9), (Rgb{166, 202, 240}));
  EXPECT_EQ(colourof(10), (Rgb{192, 220, 192}));
  EXPECT_EQ(colourof(15), (Rgb{255, 255, 255}));
  EXPECT_EQ(colourof(20), (Rgb{0, 0, 0}));
  EXPECT_EQ(colourof(35), (Rgb{0, 0, 0}));
  EXPECT_EQ(colourof(16), (Rgb{0, 0, 0}));
  EXPECT_EQ(colourof(-1), (Rgb{0, 0, 0}));
  EXPECT_EQ(colourof(500), (Rgb{0, 0, 0}));
  EXPECT_EQ(dialogcolours, (std::array<std::uint8_t, 6>{15, 0, 15, 12, 12, 4}));
}

TEST_F(GridTest, ColourBlockCoversBothCornerCellsThenLeavesBrushHollow) {
  setgridmetrics(10);  // 7 x 14
  colourblock(1, 2, 80, 2, 10);
  ASSERT_EQ(surface.calls.size(), 2u);
  const auto& fill = surface.calls[0];
  EXPECT_EQ(fill.kind, Kind::Fill);
  EXPECT_EQ(fill.x, 0);
  EXPECT_EQ(fill.y, 14);
  EXPECT_EQ(fill.right, 80 * 7);
  EXPECT_EQ(fill.bottom, 28);
  EXPECT_EQ(fill.colour, (Rgb{192, 220, 192}));
  EXPECT_EQ(surface.calls[1].kind, Kind::Hollow);
}

// --- alignment and centring ------------------------------------------------------------

TEST_F(GridTest, AlignmentCodesCombine) {
  settextalignment(1, -1);
  EXPECT_EQ(surface.textalign(), kAlignRight + kAlignBottom);
  settextalignment(0, 0);
  EXPECT_EQ(surface.textalign(), kAlignCentre + kAlignBaseline);
  settextalignment(7, -3);
  EXPECT_EQ(surface.textalign(), 0u);
}

TEST_F(GridTest, RefusedAlignmentIsReported) {
  RecordingMessageWindows windows;
  surface.refusealign = true;
  settextalignment(0, 1);
  ASSERT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(windows.calls[0].text, "SetTextAlign-Error");
}

TEST_F(GridTest, CentreLineWithDeviceAlignmentDrawsAtHalfWidthAndRestoresLeft) {
  surface.resize(801, 600);
  centreline(40, "Turmfinder");
  auto t = surface.texts();
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].x, 400);
  EXPECT_EQ(t[0].y, 40);
  EXPECT_EQ(t[0].align, kAlignCentre);
  EXPECT_EQ(surface.textalign(), kAlignLeft);
}

TEST_F(GridTest, CentreLineByMeasuring) {
  usetextalign = 0;
  FontSpec f;
  f.height = 20;  // 10 pixels per byte
  surface.selectfont(f);
  surface.resize(100, 50);
  centreline(5, "abcdef");  // 60 wide: (100 - 60) / 2
  centreline(6, "abcdefghij");  // exactly as wide: 1
  centreline(7, "abcdefghijkl");  // wider than the window: 1
  auto t = surface.texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].x, 20);
  EXPECT_EQ(t[0].align, kAlignLeft);
  EXPECT_EQ(t[1].x, 1);
  EXPECT_EQ(t[2].x, 1);
}

TEST_F(GridTest, CentreLineByMeasuringNeedsAMarginOfThree) {
  usetextalign = 0;
  FontSpec f;
  f.height = 2;  // 1 pixel per byte
  surface.selectfont(f);
  surface.resize(10, 50);
  centreline(0, "abcdefgh");  // difference 2: at 1
  centreline(0, "abcdefg");   // difference 3: at 3 / 2 = 1
  centreline(0, "abcdef");    // difference 4: at 2
  auto t = surface.texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].x, 1);
  EXPECT_EQ(t[1].x, 1);
  EXPECT_EQ(t[2].x, 2);
}

// --- start screen -----------------------------------------------------------------------

const std::array<std::string, 3> kLines = {"Turmfinder in Deutschland", "Autor",
                                           "Version 0.9 "};

TEST_F(GridTest, TitleThatFitsKeepsAllSizes) {
  int y = 0;
  titlescreen("ARIAL", 50, y, 40, {15, 15, 12}, {1, 0, 0, 4}, "Turmfinder", kLines, "Daten");
  auto t = surface.texts();
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].font.pointsize, 40);
  EXPECT_EQ(t[0].font.name, "ARIAL");
  EXPECT_EQ(t[0].colour, colourof(1));
  EXPECT_EQ(t[1].font.pointsize, 15);
  EXPECT_EQ(t[2].font.pointsize, 15);
  EXPECT_EQ(t[3].font.pointsize, 12);
  EXPECT_EQ(t[3].colour, colourof(4));
  // The last line keeps the font then current.
  EXPECT_EQ(t[4].font.pointsize, 12);
  EXPECT_EQ(t[4].text, "Daten");
  EXPECT_EQ(t[0].y, 50);
}

TEST_F(GridTest, TitleShrunkToHalfHalvesFurtherSizesRoundingToEven) {
  // Ten bytes: 140 pixels at size 21, 130 at size 20.
  surface.screen = 135;
  int y = 0;
  titlescreen("ARIAL", 50, y, 40, {15, 15, 12}, {0, 0, 0, 0}, "Turmfinder", kLines, "");
  auto t = surface.texts();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].font.pointsize, 20);
  EXPECT_EQ(t[1].font.pointsize, 8);
  EXPECT_EQ(t[2].font.pointsize, 8);
  EXPECT_EQ(t[3].font.pointsize, 6);
}

TEST_F(GridTest, TitleNeverShrinksBelowTen) {
  surface.screen = 5;
  int y = 0;
  titlescreen("ARIAL", 0, y, 40, {15, 15, 12}, {0, 0, 0, 0}, "Turmfinder", kLines, "");
  auto t = surface.texts();
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t[0].font.pointsize, 10);
  EXPECT_EQ(t[1].font.pointsize, 4);  // 15 / 4 = 3.75
}

TEST_F(GridTest, EmptySecondLineStillTakesItsLine) {
  setgridmetrics(30);  // line height 42, taller than every font below
  int y = 0;
  titlescreen("ARIAL", 10, y, 12, {12, 12, 12}, {0, 0, 0, 0}, "T", {"", "", ""}, "");
  EXPECT_EQ(y, 10 + 42 + 42);
  titlescreen("ARIAL", 10, y, 12, {12, 12, 12}, {0, 0, 0, 0}, "T", {"a", "", "c"}, "z");
  EXPECT_EQ(y, 10 + 5 * 42);
  auto t = surface.texts();
  ASSERT_EQ(t.size(), 1u + 4u);
  EXPECT_EQ(t[4].y, 10 + 4 * 42);
}

TEST_F(GridTest, LargeTitleDoesNotRunIntoTheLineBelow) {
  setgridmetrics(13);  // line height 18, far less than a 40-point title
  int y = 0;
  titlescreen("ARIAL", 50, y, 40, {15, 15, 12}, {0, 0, 0, 0}, "Turmfinder", kLines, "");
  auto t = surface.texts();
  ASSERT_GE(t.size(), 2u);
  EXPECT_GE(t[1].y, t[0].y + RecordingSurface::pixelheightof(t[0].font));
}

}  // namespace
