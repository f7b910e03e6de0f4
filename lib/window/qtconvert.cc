#include "lib/window/qtconvert.h"

#include "lib/support/w1252.h"

QString toqstring(std::string_view w1252) {
  std::string utf8 = w1252ToUtf8(w1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string fromqstring(const QString& s) {
  QByteArray utf8 = s.toUtf8();
  return utf8ToW1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QFont toqfont(const FontSpec& font) {
  QFont f;
  if (!font.name.empty()) f.setFamily(toqstring(font.name));
  if (font.height > 0)
    f.setPixelSize(font.height);
  else if (font.pointsize > 0)
    f.setPointSize(font.pointsize);
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setStrikeOut(font.strikeout);
  return f;
}
