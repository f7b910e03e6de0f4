#include "lib/window/paintersurface.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "lib/window/qtconvert.h"

PainterSurface::PainterSurface(QPainter& painter, int clientwidth, int clientheight,
                               int screenwidth)
    : painter_(painter), width_(clientwidth), height_(clientheight), screen_(screenwidth) {
  if (screen_ <= 0) {
    QScreen* s = QGuiApplication::primaryScreen();
    screen_ = s != nullptr ? s->geometry().width() : width_;
    if (screen_ <= 0) screen_ = width_;
  }
  painter_.setBackgroundMode(Qt::TransparentMode);
  QColor c = painter_.pen().color();
  colour_ = Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                static_cast<std::uint8_t>(c.blue())};
}

void PainterSurface::textout(int x, int y, const std::string& text) {
  QString s = toqstring(text);
  QFontMetrics m = painter_.fontMetrics();
  int w = m.horizontalAdvance(s);
  switch (align_ & kAlignHorizontalMask) {
    case kAlignCentre: x -= w / 2; break;
    case kAlignRight: x -= w; break;
    default: break;
  }
  int baseline = y + m.ascent();
  switch (align_ & kAlignVerticalMask) {
    case kAlignBaseline: baseline = y; break;
    case kAlignBottom: baseline = y - m.descent(); break;
    default: break;
  }
  painter_.drawText(QPoint(x, baseline), s);
}

TextExtent PainterSurface::textextent(const std::string& text) {
  QFontMetrics m = painter_.fontMetrics();
  return TextExtent{m.horizontalAdvance(toqstring(text)), m.height()};
}

void PainterSurface::setfontcolour(Rgb colour) {
  colour_ = colour;
  painter_.setPen(toqcolor(colour));
}

void PainterSurface::fillrect(int left, int top, int right, int bottom, Rgb colour) {
  if (right <= left || bottom <= top) return;
  painter_.fillRect(QRect(left, top, right - left, bottom - top), toqcolor(colour));
}

void PainterSurface::hollowbrush() {
  painter_.setBrush(Qt::NoBrush);
  painter_.setBackgroundMode(Qt::TransparentMode);
}

bool PainterSurface::settextalign(unsigned code) {
  unsigned h = code & kAlignHorizontalMask;
  unsigned v = code & kAlignVerticalMask;
  bool known = (h == kAlignLeft || h == kAlignRight || h == kAlignCentre) &&
               (v == kAlignTop || v == kAlignBottom || v == kAlignBaseline) &&
               (code & ~(kAlignHorizontalMask | kAlignVerticalMask)) == 0;
  if (!known) return false;
  align_ = code;
  return true;
}

void PainterSurface::selectfont(const FontSpec& font) {
  font_ = font;
  painter_.setFont(qfontof(font));
  setfontcolour(Rgb{font.red, font.green, font.blue});
}

int PainterSurface::fontpixelheight() const { return painter_.fontInfo().pixelSize(); }
