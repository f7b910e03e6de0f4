// A Surface for tests: draws nothing and records every call in order.
// Text measuring is deterministic: every byte is half the current font's
// pixel height wide (at least 1 pixel), and a text is as high as the font.
// A font's pixel height is its height when given, else its point size at
// 96 pixels per inch (size * 4 / 3, rounded down), else 13.
#pragma once

#include <string>
#include <vector>

#include "lib/support/surface.h"

class RecordingSurface : public Surface {
 public:
  enum class Kind { Text, FontColour, Fill, Hollow, Align, Font };
  struct Call {
    Kind kind;
    int x = 0, y = 0;            // Text: position; Fill: left, top
    int right = 0, bottom = 0;   // Fill
    std::string text;            // Text
    Rgb colour;                  // Text: font colour then; FontColour; Fill
    FontSpec font;               // Text, Font: the font then current
    unsigned align = 0;          // Text: alignment then; Align: the new code
  };

  RecordingSurface(int width = 800, int height = 600) : width_(width), height_(height) {}

  std::vector<Call> calls;
  bool refusealign = false;  // settextalign answers false when set
  int screen = 0;            // screen width; 0: the client width

  // The texts drawn, in order.
  std::vector<Call> texts() const {
    std::vector<Call> out;
    for (const Call& c : calls)
      if (c.kind == Kind::Text) out.push_back(c);
    return out;
  }
  void clear() { calls.clear(); }
  void resize(int width, int height) { width_ = width; height_ = height; }

  static int pixelheightof(const FontSpec& f) {
    if (f.height > 0) return f.height;
    if (f.pointsize > 0) return f.pointsize * 4 / 3;
    return 13;
  }

  void textout(int x, int y, const std::string& text) override {
    Call c{Kind::Text};
    c.x = x;
    c.y = y;
    c.text = text;
    c.colour = colour_;
    c.font = font_;
    c.align = align_;
    calls.push_back(c);
  }
  TextExtent textextent(const std::string& text) override {
    int h = pixelheightof(font_);
    int per = h / 2 > 0 ? h / 2 : 1;
    return TextExtent{static_cast<int>(text.size()) * per, h};
  }
  void setfontcolour(Rgb colour) override {
    colour_ = colour;
    Call c{Kind::FontColour};
    c.colour = colour;
    calls.push_back(c);
  }
  Rgb fontcolour() const override { return colour_; }
  void fillrect(int left, int top, int right, int bottom, Rgb colour) override {
    Call c{Kind::Fill};
    c.x = left;
    c.y = top;
    c.right = right;
    c.bottom = bottom;
    c.colour = colour;
    calls.push_back(c);
  }
  void hollowbrush() override { calls.push_back(Call{Kind::Hollow}); }
  bool settextalign(unsigned code) override {
    if (refusealign) return false;
    align_ = code;
    Call c{Kind::Align};
    c.align = code;
    calls.push_back(c);
    return true;
  }
  unsigned textalign() const override { return align_; }
  int clientwidth() const override { return width_; }
  int clientheight() const override { return height_; }
  int screenwidth() const override { return screen > 0 ? screen : width_; }
  void selectfont(const FontSpec& font) override {
    font_ = font;
    colour_ = Rgb{font.red, font.green, font.blue};
    Call c{Kind::Font};
    c.font = font;
    c.colour = colour_;
    calls.push_back(c);
  }
  FontSpec currentfont() const override { return font_; }
  int fontpixelheight() const override { return pixelheightof(font_); }

 private:
  int width_, height_;
  Rgb colour_{};
  FontSpec font_{};
  unsigned align_ = 0;
};
