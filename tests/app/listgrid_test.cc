// The list's grid across screen fonts and window widths: every column
// keeps room for its widest value at any font, and a grid wider than the
// window is reached by a horizontal bar and the keys Left and Right.
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <map>

#include "lib/window/paintersurface.h"
#include "tests/app/apptest.h"
#include "tests/celldb/towerfiles.h"
#include "tests/common/screenshot.h"

using namespace apptest;

namespace {

// Draws through a real painter and keeps each text's pixels, by row.
struct MeasuringSurface : PainterSurface {
  using PainterSurface::PainterSurface;
  struct Text {
    int x, width, blank;
    std::string text;
  };
  std::map<int, std::vector<Text>> rows;
  void textout(int x, int y, const std::string& t) override {
    rows[y].push_back({x, textextent(t).width, textextent(" ").width, t});
    PainterSurface::textout(x, y, t);
  }
};

class ListGridTest : public AppTest {
 protected:
  std::map<int, std::vector<MeasuringSurface::Text>> measure() {
    QImage img(window->client()->size(), QImage::Format_ARGB32);
    QPainter painter(&img);
    MeasuringSurface s(painter, img.width(), img.height());
    window->paintclient(s);
    return s.rows;
  }
  int xof(const std::string& text) {
    for (auto& [y, texts] : measure())
      for (const auto& t : texts)
        if (t.text == text) return t.x;
    return INT_MIN;
  }
  void pickfont(const char* name, int points, bool bold = false) {
    FontSpec f;
    f.name = name;
    f.pointsize = points;
    f.bold = bold;
    fonts.results.push_back(f);
    window->runcommand(61);
  }
  void key(Qt::Key k) { QTest::keyClick(window->client(), k); }
};

TEST_F(ListGridTest, LastEntriesOfAFullListShowTheirNumbersWholeAtEveryFont) {
  std::vector<ttowerrec> widest(40, towertest::widestrec());
  for (std::size_t i = 0; i < widest.size(); i += 2) widest[i] = towertest::widestnrrec();
  towertest::writesparsetowers("germtowers.dat", 2400000, widest);
  start();
  ASSERT_TRUE(choose(51));
  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(60, 2));  // the keyboard to the list
  for (const char* font : {"", "DejaVu Sans Mono", "DejaVu Sans"}) {  // default, monospaced, wide (bold)
    if (*font != 0) pickfont(font, 13, true);
    key(Qt::Key_End);
    bool lastdrawn = false;
    for (auto& [y, texts] : measure()) {
      std::sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
      for (std::size_t i = 0; i + 1 < texts.size(); ++i)
        EXPECT_LE(texts[i].x + texts[i].width + texts[i].blank, texts[i + 1].x)
            << font << ": \"" << texts[i].text << "\" runs into \"" << texts[i + 1].text << "\"";
      for (const auto& t : texts) lastdrawn |= t.text == "2.399.999";
    }
    EXPECT_TRUE(lastdrawn) << font;
  }
}

TEST_F(ListGridTest, BigFontReachesEveryColumnByBarAndKeysAndSmallFontNeedsNoBar) {
  usesmalldemo(15);
  start();
  pickfont("Arial", 48);
  ASSERT_TRUE(choose(51));
  measure();
  QScrollBar* bar = window->hscrollbar;
  ASSERT_TRUE(waitfor([&] { return bar->isVisible(); }));
  const int room = window->client()->width() - (window->vscrollbar->isVisible() ? scrollbarsize : 0);
  EXPECT_GE(xof("Dist"), room) << "out of sight before scrolling";
  EXPECT_LE(gridtop + (3 + window->fittingrows()) * lineheight, bar->geometry().top()) << "over a row";

  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(60, 2));
  for (int before = 0; window->firstcolumn() > before;) {
    before = window->firstcolumn();
    key(Qt::Key_Right);
  }
  EXPECT_EQ(window->firstcolumn(), bar->maximum());
  int dist = xof("Dist");  // scrolled to the end: the Dist column in sight, whole
  EXPECT_GE(dist, 0);
  EXPECT_LE(dist + 4 * cellwidth, room);
  keepscreenshot(window->grab().toImage(), "turm_list_48pt_scrolled.png");
  key(Qt::Key_Left);
  EXPECT_EQ(window->firstcolumn(), bar->maximum() - 1);
  pickfont("Arial", 8);
  measure();
  EXPECT_TRUE(waitfor([&] { return !bar->isVisible(); }));
  EXPECT_EQ(window->firstcolumn(), 1);
  key(Qt::Key_Right);
  EXPECT_EQ(window->firstcolumn(), 1);
}

}  // namespace
