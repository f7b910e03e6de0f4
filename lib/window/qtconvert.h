// Conversions at the toolkit boundary used by the window library: texts
// and fonts come from the platform layer, colours are converted here.
#pragma once

#include <QColor>

#include "lib/support/surface.h"
#include "platform/qt/qtfont.h"
#include "platform/qt/qttext.h"

inline QColor toqcolor(Rgb c) { return QColor(c.red, c.green, c.blue); }
