// A Surface that draws onto another one moved dx pixels to the left: the
// view of a text grid scrolled sideways.  Texts and fills keep their grid
// positions and land dx pixels further left on the inner surface; the
// client size is the inner one's.  The inner surface must outlive it.
#pragma once

#include "lib/support/surface.h"

class OffsetSurface : public Surface {
 public:
  OffsetSurface(Surface& inner, int dx) : inner_(inner), dx_(dx) {}

  void textout(int x, int y, const std::string& text) override { inner_.textout(x - dx_, y, text); }
  TextExtent textextent(const std::string& text) override { return inner_.textextent(text); }
  void setfontcolour(Rgb colour) override { inner_.setfontcolour(colour); }
  Rgb fontcolour() const override { return inner_.fontcolour(); }
  void fillrect(int left, int top, int right, int bottom, Rgb colour) override {
    inner_.fillrect(left - dx_, top, right - dx_, bottom, colour);
  }
  void hollowbrush() override { inner_.hollowbrush(); }
  bool settextalign(unsigned code) override { return inner_.settextalign(code); }
  unsigned textalign() const override { return inner_.textalign(); }
  int clientwidth() const override { return inner_.clientwidth(); }
  int clientheight() const override { return inner_.clientheight(); }
  int screenwidth() const override { return inner_.screenwidth(); }
  void selectfont(const FontSpec& font) override { inner_.selectfont(font); }
  FontSpec currentfont() const override { return inner_.currentfont(); }
  int fontpixelheight() const override { return inner_.fontpixelheight(); }

 private:
  Surface& inner_;
  int dx_;
};
