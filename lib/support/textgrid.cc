#include "lib/support/textgrid.h"

#include <algorithm>

#include "lib/support/messages.h"

std::uint16_t cellwidth = 10;
std::uint16_t lineheight = 20;
std::uint16_t fontheight = 10;
std::uint16_t halffontheight = 5;
std::uint16_t halflineheight = 10;
std::uint16_t gridcolumns = 80;
std::uint16_t gridlines = 25;
std::uint16_t gridleft = 0;
std::uint16_t gridtop = 0;
std::uint16_t textcolour = 0;
std::uint8_t usetextalign = 1;
Surface* currentsurface = nullptr;

std::array<std::uint8_t, 6> dialogcolours = {15, 0, 15, 12, 12, 4};

namespace {

constexpr std::array<Rgbq, 41> kDefaultColours = {{
    {10, 10, 10, 0},    {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
    {32, 32, 32, 0},    {166, 202, 240, 0}, {192, 220, 192, 0}, {0, 192, 192, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0},
}};

// num / den rounded to nearest, halves to even (den > 0, num >= 0).
int roundhalfeven(long long num, long long den) {
  long long q = num / den;
  long long r = num % den;
  if (2 * r > den || (2 * r == den && (q % 2) != 0)) ++q;
  return static_cast<int>(q);
}

std::uint16_t clampword(long long v) {
  return static_cast<std::uint16_t>(std::clamp<long long>(v, 0, 65535));
}

}  // namespace

std::array<Rgbq, 41> colourtable = kDefaultColours;
std::array<Rgbq, 16> secondcolourtable{};

Rgb colourof(int number) {
  const Rgbq* c = nullptr;
  if (number >= 20 && number <= 35)
    c = &secondcolourtable[number - 20];
  else if (number >= 0 && number < static_cast<int>(colourtable.size()))
    c = &colourtable[number];
  if (c == nullptr) return Rgb{};
  return Rgb{c->red, c->green, c->blue};
}

void resetgrid() {
  cellwidth = 10;
  lineheight = 20;
  fontheight = 10;
  halffontheight = 5;
  halflineheight = 10;
  gridcolumns = 80;
  gridlines = 25;
  gridleft = 0;
  gridtop = 0;
  textcolour = 0;
  usetextalign = 1;
  currentsurface = nullptr;
  dialogcolours = {15, 0, 15, 12, 12, 4};
  colourtable = kDefaultColours;
  secondcolourtable = {};
}

void setgridmetrics(int pixelheight) {
  long long h = pixelheight < 0 ? -static_cast<long long>(pixelheight) : pixelheight;
  if (h == 0) h = 10;
  h = std::min<long long>(h, 65535);
  fontheight = static_cast<std::uint16_t>(h);
  cellwidth = clampword(roundhalfeven(7 * h, 10));
  lineheight = clampword(roundhalfeven(14 * h, 10));
  halffontheight = fontheight / 2;
  halflineheight = lineheight / 2;
}

void setgridmetrics(const Surface& surface) { setgridmetrics(surface.fontpixelheight()); }

void setgridsize(int clientwidth, int clientheight) {
  int columns = 0, lines = 0;
  pixeltocell(clientwidth, clientheight, columns, lines);
  gridcolumns = clampword(columns);
  gridlines = clampword(lines);
}

void celltopixel(int column, int line, int& x, int& y) {
  x = (column - 1) * cellwidth + gridleft;
  y = (line - 1) * lineheight + gridtop;
}

void pixeltocell(int x, int y, int& column, int& line) {
  // A zero cell size can only come from a hand-set value; count it as 1.
  column = x / std::max<int>(cellwidth, 1) + 1;
  line = y / std::max<int>(lineheight, 1) + 1;
}

void writeat(int column, int line, std::string_view text) {
  if (currentsurface == nullptr || line < 1 || line > gridlines) return;
  int x = 0, y = 0;
  celltopixel(column, line, x, y);
  currentsurface->textout(x, y, std::string(text));
}

void writecolumn(std::uint8_t& column, std::uint8_t line, std::string_view text,
                 std::uint8_t width) {
  writeat(column, line, text);
  column = static_cast<std::uint8_t>(std::min(255, column + width));
}

void settextcolour(int number) {
  textcolour = clampword(number);
  if (currentsurface != nullptr) currentsurface->setfontcolour(colourof(number));
}

void colourblock(int firstcolumn, int firstline, int lastcolumn, int lastline, int number) {
  if (currentsurface == nullptr) return;
  int left = 0, top = 0, right = 0, bottom = 0;
  celltopixel(firstcolumn, firstline, left, top);
  celltopixel(lastcolumn, lastline, right, bottom);
  currentsurface->fillrect(left, top, right + cellwidth, bottom + lineheight, colourof(number));
  currentsurface->hollowbrush();
}

void settextalignment(int horizontal, int vertical) {
  if (currentsurface == nullptr) return;
  unsigned code = 0;
  if (horizontal == 0) code += kAlignCentre;
  if (horizontal == 1) code += kAlignRight;
  if (vertical == 0) code += kAlignBaseline;
  if (vertical == -1) code += kAlignBottom;
  if (!currentsurface->settextalign(code)) infomessage("SetTextAlign-Error");
}

void centreline(int y, std::string_view text) {
  if (currentsurface == nullptr) return;
  std::string t(text);
  if (usetextalign != 0) {
    settextalignment(0, 1);
    currentsurface->textout(currentsurface->clientwidth() / 2, y, t);
    settextalignment(-1, 1);
    return;
  }
  int rest = currentsurface->clientwidth() - currentsurface->textextent(t).width;
  currentsurface->textout(rest >= 3 ? rest / 2 : 1, y, t);
}

namespace {

// Selects face at size in the colour of colour number.
void selecttitlefont(std::string_view face, int size, int colour) {
  FontSpec f;
  f.name = std::string(face);
  f.pointsize = size;
  Rgb c = colourof(colour);
  f.red = c.red;
  f.green = c.green;
  f.blue = c.blue;
  currentsurface->selectfont(f);
}

// Line advance below a line drawn in the current font: the grid's line
// height, or the font's own height when that is taller, so that a large
// title does not run into the line beneath it.
int advance(const std::string& text) {
  return std::max<int>(lineheight, currentsurface->textextent(text).height);
}

}  // namespace

void titlescreen(std::string_view face, int starty, int& y, int maxtitlesize,
                 const std::array<int, 3>& sizes, const std::array<int, 4>& colours,
                 std::string_view title, const std::array<std::string, 3>& lines,
                 std::string_view lastline) {
  y = starty;
  if (currentsurface == nullptr) return;
  currentsurface->hollowbrush();
  settextalignment(-1, 1);

  std::string t(title);
  int size = maxtitlesize;
  selecttitlefont(face, size, colours[0]);
  int full = currentsurface->screenwidth();
  while (size > 10 && currentsurface->textextent(t).width >= full) {
    --size;
    selecttitlefont(face, size, colours[0]);
  }
  centreline(y, t);
  y += advance(t);

  for (int i = 0; i < 3; ++i) {
    if (!lines[i].empty()) {
      // sizes[i] * size / maxtitlesize, halves to even; the full size when
      // the title size was not shrunk (or no maximum was given).
      int scaled = sizes[i];
      if (maxtitlesize > 0 && size != maxtitlesize && sizes[i] > 0)
        scaled = roundhalfeven(static_cast<long long>(sizes[i]) * size, maxtitlesize);
      selecttitlefont(face, scaled, colours[i + 1]);
      centreline(y, lines[i]);
      y += advance(lines[i]);
    } else if (i == 1) {
      y += lineheight;
    }
  }
  if (!lastline.empty()) {
    std::string l(lastline);
    centreline(y, l);
    y += advance(l);
  }
}
