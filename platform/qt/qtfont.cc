#include "platform/qt/qtfont.h"

#include <QApplication>
#include <QFontDatabase>

#include "platform/qt/qttext.h"

QFont qfontof(const FontSpec& spec) {
  QFont font = QApplication::font();
  if (!spec.valid || spec.name.empty()) return font;
  font.setFamilies({toqstring(spec.name)});
  if (spec.height > 0)
    font.setPixelSize(spec.height);
  else if (spec.pointsize > 0)
    font.setPointSize(spec.pointsize);
  font.setBold(spec.bold);
  font.setItalic(spec.italic);
  font.setStrikeOut(spec.strikeout);
  return font;
}

FontSpec fontspecof(const QFont& font) {
  FontSpec spec;
  QString family = font.family();
  spec.name = fromqstring(family);
  if (font.pointSize() > 0)
    spec.pointsize = font.pointSize();
  else if (font.pixelSize() > 0)
    spec.height = font.pixelSize();
  spec.bold = font.weight() >= QFont::DemiBold;
  spec.italic = font.italic();
  spec.strikeout = font.strikeOut();
  spec.charset = charsetoffamily(family);
  spec.valid = !spec.name.empty();
  return spec;
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
