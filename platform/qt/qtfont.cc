#include "platform/qt/qtfont.h"

#include <QApplication>
#include <QFontDatabase>

#include "platform/qt/qttext.h"

QFont qfontof(const FontSpec& fontspec) {
  QFont font = QApplication::font();
  if (!fontspec.valid || fontspec.name.empty()) return font;
  font.setFamilies({toqstring(fontspec.name)});
  if (fontspec.height > 0)
    font.setPixelSize(fontspec.height);
  else if (fontspec.pointsize > 0)
    font.setPointSize(fontspec.pointsize);
  font.setBold(fontspec.bold);
  font.setItalic(fontspec.italic);
  font.setStrikeOut(fontspec.strikeout);
  return font;
}

FontSpec fontspecof(const QFont& font) {
  FontSpec fontspec;
  QString family = font.family();
  fontspec.name = fromqstring(family);
  if (font.pointSize() > 0)
    fontspec.pointsize = font.pointSize();
  else if (font.pixelSize() > 0)
    fontspec.height = font.pixelSize();
  fontspec.bold = font.weight() >= QFont::DemiBold;
  fontspec.italic = font.italic();
  fontspec.strikeout = font.strikeOut();
  fontspec.charset = charsetoffamily(family);
  fontspec.valid = !fontspec.name.empty();
  return fontspec;
}

std::uint8_t charsetoffamily(const QString& family) {
  const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
  if (systems.contains(QFontDatabase::Latin)) return 0;
  if (systems.contains(QFontDatabase::Symbol)) return 2;
  if (systems.contains(QFontDatabase::Japanese)) return 128;
  if (systems.contains(QFontDatabase::Korean)) return 129;
  if (systems.contains(QFontDatabase::SimplifiedChinese)) return 134;
  if (systems.contains(QFontDatabase::TraditionalChinese)) return 136;
  return 1;
}
