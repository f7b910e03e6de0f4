// The Surface on a QPainter: the one the main window paints its client
// area with, and the one used to draw onto a QImage.  The painter must be
// active and outlive the surface; texts are converted from Windows-1252
// here.  The client size is given by the caller (the painted widget's
// size); the screen width is that of the primary screen, or the client
// width when there is none.
#pragma once

#include <QFont>
#include <QPainter>

#include "lib/support/surface.h"

class PainterSurface : public Surface {
 public:
  PainterSurface(QPainter& painter, int clientwidth, int clientheight, int screenwidth = 0);

  void textout(int x, int y, const std::string& text) override;
  TextExtent textextent(const std::string& text) override;
  void setfontcolour(Rgb colour) override;
  Rgb fontcolour() const override { return colour_; }
  void fillrect(int left, int top, int right, int bottom, Rgb colour) override;
  void hollowbrush() override;
  bool settextalign(unsigned code) override;
  unsigned textalign() const override { return align_; }
  int clientwidth() const override { return width_; }
  int clientheight() const override { return height_; }
  int screenwidth() const override { return screen_; }
  void selectfont(const FontSpec& font) override;
  FontSpec currentfont() const override { return font_; }
  int fontpixelheight() const override;

 private:
  QPainter& painter_;
  int width_, height_, screen_;
  Rgb colour_{};
  FontSpec font_{};
  unsigned align_ = 0;
};
