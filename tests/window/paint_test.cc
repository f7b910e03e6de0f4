// Drawing through the painter surface: the client hooks of TZowindow and
// the start screen painted onto a real image.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "lib/support/textgrid.h"
#include "lib/support/w1252.h"
#include "lib/window/paintersurface.h"
#include "lib/window/zowindow.h"
#include "tests/common/screenshot.h"
#include "tests/window/qtapp.h"

namespace {

class GridWindow : public TZowindow {
 public:
  void paintclient(Surface& s) override {
    ++paints;
    currentsurface = &s;
    setgridmetrics(10);
    setgridsize(s.clientwidth(), s.clientheight());
    colourblock(1, 2, gridcolumns, 2, 12);
    settextcolour(1);
    writeat(2, 1, "Turmfinder");
    currentsurface = nullptr;
  }
  void clientmousedown(int x, int y, Qt::MouseButton b) override {
    clickx = x;
    clicky = y;
    button = b;
  }
  void clientresized(int w, int h) override {
    width = w;
    height = h;
  }
  int paints = 0, clickx = -1, clicky = -1, width = 0, height = 0;
  Qt::MouseButton button = Qt::NoButton;
};

bool isdark(QRgb c) { return qRed(c) < 128 && qGreen(c) < 128 && qBlue(c) < 128; }

TEST(PaintTest, ClientAreaIsPaintedThroughTheHook) {
  testapp();
  resetgrid();
  GridWindow w;
  w.resize(400, 300);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QImage img = w.client()->grab().toImage();
  EXPECT_GT(w.paints, 0);
  // Line 2 (pixels 14..27) is filled red across; line 3 stays white.
  EXPECT_EQ(QColor(img.pixel(100, 20)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(img.pixel(100, 40)), QColor(255, 255, 255));
  // Some (navy) text pixels on line 1 from column 2 on.
  int dark = 0;
  for (int y = 0; y < 14; ++y)
    for (int x = 7; x < 120; ++x) dark += img.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
  EXPECT_GT(dark, 10);
  resetgrid();
}

TEST(PaintTest, MouseAndResizeReachTheHooks) {
  testapp();
  GridWindow w;
  w.resize(400, 300);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QTest::mouseClick(w.client(), Qt::LeftButton, {}, QPoint(33, 44));
  EXPECT_EQ(w.clickx, 33);
  EXPECT_EQ(w.clicky, 44);
  EXPECT_EQ(w.button, Qt::LeftButton);
  w.resize(500, 350);
  QTRY_COMPARE(w.width, w.client()->width());
  EXPECT_EQ(w.height, w.client()->height());
}

TEST(PaintTest, CentredAlignmentCentresOnThePoint) {
  testapp();
  QImage img(300, 60, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  PainterSurface s(p, 300, 60);
  FontSpec f;
  f.name = "Arial";
  f.height = 20;
  s.selectfont(f);
  ASSERT_TRUE(s.settextalign(kAlignCentre));
  s.textout(150, 10, "MMMM");
  EXPECT_FALSE(s.settextalign(5));
  p.end();
  int left = 300, right = -1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 300; ++x)
      if (isdark(img.pixel(x, y))) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  ASSERT_GE(right, left);
  EXPECT_NEAR((left + right) / 2.0, 150.0, 4.0);
}

TEST(PaintTest, StartScreenOnAnImage) {
  testapp();
  resetgrid();
  QImage img(800, 500, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  PainterSurface s(p, img.width(), img.height(), img.width());
  currentsurface = &s;
  FontSpec screen;
  screen.name = "Arial";
  screen.pointsize = 10;
  screen.italic = true;
  s.selectfont(screen);
  setgridmetrics(s);
  setgridsize(img.width(), img.height());
  int y = 0;
  titlescreen("ARIAL", 50, y, 40, {15, 15, 12}, {1, 0, 0, 4}, "Turmfinder",
              {std::string("Turmfinder in Deutschland"), std::string("von Turmfinder-Team"),
               std::string("Version 0.9 ")},
              std::string("Daten: OpenCelliD, www.opencellid.org"));
  currentsurface = nullptr;
  p.end();
  keepscreenshot(img, "turm_startscreen.png");

  // Every line left ink, each below the one before: find the ink rows.
  std::vector<int> bands;  // first row of each band of rows with ink
  bool inband = false;
  for (int row = 0; row < img.height(); ++row) {
    bool ink = false;
    for (int x = 0; x < img.width() && !ink; ++x) ink = img.pixel(x, row) != qRgb(255, 255, 255);
    if (ink && !inband) bands.push_back(row);
    inband = ink;
  }
  EXPECT_EQ(bands.size(), 5u);
  EXPECT_GT(y, 50);
  EXPECT_GE(bands.front(), 50);
  resetgrid();
}

}  // namespace
