// The drawing surface the text grid paints on: a canvas with text output,
// text measuring, a font colour, solid rectangle fills and a device text
// alignment.  Texts are Windows-1252; coordinates are pixels of the client
// area with (0, 0) at its top left.  The Qt implementation draws with a
// QPainter (lib/window/paintersurface.h); RecordingSurface
// (lib/support/recordingsurface.h) records every call for tests.
// A surface is only valid during one paint; nothing here throws.
#pragma once

#include <cstdint>
#include <string>

#include "lib/support/fontdesc.h"

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct TextExtent {
  int width = 0;
  int height = 0;
};

// Device text-alignment codes; one horizontal and one vertical code are
// added together.
inline constexpr unsigned kAlignLeft = 0;
inline constexpr unsigned kAlignRight = 2;
inline constexpr unsigned kAlignCentre = 6;
inline constexpr unsigned kAlignTop = 0;
inline constexpr unsigned kAlignBottom = 8;
inline constexpr unsigned kAlignBaseline = 24;
inline constexpr unsigned kAlignHorizontalMask = 6;
inline constexpr unsigned kAlignVerticalMask = 24;

class Surface {
 public:
  virtual ~Surface() = default;

  // Draws text at (x, y); the current alignment says which point of the
  // text (left/centre/right, top/base line/bottom) lies there.  Text is
  // drawn without background, in the current font and font colour.
  virtual void textout(int x, int y, const std::string& text) = 0;
  // Size of text in the current font, in pixels.
  virtual TextExtent textextent(const std::string& text) = 0;

  virtual void setfontcolour(Rgb colour) = 0;
  virtual Rgb fontcolour() const = 0;

  // Fills the rectangle left <= x < right, top <= y < bottom.
  virtual void fillrect(int left, int top, int right, int bottom, Rgb colour) = 0;
  // Leaves the brush white and hollow: later text has no background.
  virtual void hollowbrush() = 0;

  // Sets the alignment code (kAlign* sums); false when the device refuses.
  virtual bool settextalign(unsigned code) = 0;
  virtual unsigned textalign() const = 0;

  virtual int clientwidth() const = 0;
  virtual int clientheight() const = 0;
  // Width of the whole screen the surface is shown on; the client width
  // when the surface has no screen.
  virtual int screenwidth() const { return clientwidth(); }

  // Makes font the current font; its colour becomes the font colour.
  virtual void selectfont(const FontSpec& font) = 0;
  // The current font as last selected (face, size, style, colour).
  virtual FontSpec currentfont() const = 0;
  // Absolute character height of the current font in pixels.
  virtual int fontpixelheight() const = 0;
};
