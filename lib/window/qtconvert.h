// Conversions at the toolkit boundary: Windows-1252 texts to QString and
// back, FontSpec to QFont, Rgb to QColor.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "lib/support/fontspec.h"
#include "lib/support/surface.h"

QString toqstring(std::string_view w1252);
std::string fromqstring(const QString& s);

// A QFont for the description: pixel height when height > 0, else point size when
// > 0, else the toolkit's default size; an empty name keeps the default
// face.
QFont toqfont(const FontSpec& font);

inline QColor toqcolor(Rgb c) { return QColor(c.red, c.green, c.blue); }
