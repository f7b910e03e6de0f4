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

// Draws through a real painter and keeps every text with the pixels it
// covers in the font it was drawn in.
class MeasuringSurface : public PainterSurface {
 public:
  using PainterSurface::PainterSurface;
  struct Text {
    int x, width, blank;
    std::string text;
  };
  std::map<int, std::vector<Text>> rows;  // by pixel height

  void textout(int x, int y, const std::string& t) override {
    rows[y].push_back({x, textextent(t).width, textextent(" ").width, t});
    PainterSurface::textout(x, y, t);
  }
};

class ListGridTest : public AppTest {
 protected:
  // A real paint of the client area, measured.
  std::map<int, std::vector<MeasuringSurface::Text>> measure() {
    QImage img(window->client()->size(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    MeasuringSurface s(painter, img.width(), img.height());
    window->paintclient(s);
    return s.rows;
  }
  void pickfont(const char* name, int points, bool bold) {
    FontSpec f;
    f.name = name;
    f.pointsize = points;
    f.bold = bold;
    fonts.results.push_back(f);
    window->runcommand(61);
  }
  void key(Qt::Key k) { QTest::keyClick(window->client(), k); }
  QScrollBar* hbar() const { return window->hscrollbar; }
  // The pixel left of the first text drawn as `text`; INT_MIN when none.
  int xof(const std::string& text) {
    for (auto& [y, texts] : measure())
      for (const auto& t : texts)
        if (t.text == text) return t.x;
    return INT_MIN;
  }
};

TEST_F(ListGridTest, LastEntriesOfAFullListShowTheirNumbersWholeAtEveryFont) {
  towertest::writesparsetowers("germtowers.dat", 2400000,
                               std::vector<ttowerrec>(40, towertest::widestrec()));
  start();
  ASSERT_TRUE(choose(51));
  ASSERT_EQ(resultcount, 2400000);
  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(60, 2));  // the keyboard to the list
  const struct {
    const char* name;
    int points;
    bool bold;
  } screenfonts[] = {{"", 0, false}, {"DejaVu Sans Mono", 12, false}, {"DejaVu Sans", 14, true}};
  for (const auto& f : screenfonts) {
    if (*f.name != 0) pickfont(f.name, f.points, f.bold);
    key(Qt::Key_End);
    auto rows = measure();
    bool lastdrawn = false;
    for (auto& [y, texts] : rows) {
      std::sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
      for (std::size_t i = 0; i + 1 < texts.size(); ++i)
        EXPECT_LE(texts[i].x + texts[i].width + texts[i].blank, texts[i + 1].x)
            << f.name << ": \"" << texts[i].text << "\" runs into \"" << texts[i + 1].text << "\"";
      for (const auto& t : texts) lastdrawn |= t.text == "2.399.999";
    }
    EXPECT_TRUE(lastdrawn) << f.name;
  }
}

TEST_F(ListGridTest, BigFontReachesEveryColumnByBarAndKeysAndSmallFontNeedsNoBar) {
  usesmalldemo(15);
  start();
  pickfont("Arial", 48, false);
  ASSERT_TRUE(choose(51));
  measure();
  ASSERT_TRUE(waitfor([&] { return hbar()->isVisible(); }));
  const int room = window->client()->width() - (window->vscrollbar->isVisible() ? scrollbarsize : 0);
  EXPECT_GE(xof("Dist"), room) << "out of sight before scrolling";
  // The bar lies along the bottom, beside the vertical one, over no row.
  EXPECT_EQ(hbar()->geometry().bottom(), window->client()->height() - 1);
  EXPECT_EQ(hbar()->width(), room);
  EXPECT_LE(gridtop + (3 + window->fittingrows()) * lineheight, hbar()->geometry().top());

  QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(60, 2));
  key(Qt::Key_Right);
  EXPECT_EQ(window->firstcolumn(), 2);
  while (window->firstcolumn() < hbar()->maximum()) {
    int before = window->firstcolumn();
    key(Qt::Key_Right);
    ASSERT_GT(window->firstcolumn(), before);
  }
  // Scrolled to the end: the Dist column in sight, whole.
  int dist = xof("Dist");
  EXPECT_GE(dist, 0);
  EXPECT_LE(dist + 4 * cellwidth, room);
  keepscreenshot(window->grab().toImage(), "turm_list_48pt_scrolled.png");
  key(Qt::Key_Left);
  EXPECT_EQ(window->firstcolumn(), hbar()->maximum() - 1);
  // The thumb moves the list too.
  hbar()->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(window->firstcolumn(), 1);
  EXPECT_EQ(xof("Nr"), gridleft + cellwidth);

  hbar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  ASSERT_EQ(window->firstcolumn(), 2);
  pickfont("Arial", 8, false);
  measure();
  EXPECT_TRUE(waitfor([&] { return !hbar()->isVisible(); }));
  EXPECT_EQ(window->firstcolumn(), 1);
  key(Qt::Key_Right);
  EXPECT_EQ(window->firstcolumn(), 1);
}

}  // namespace
