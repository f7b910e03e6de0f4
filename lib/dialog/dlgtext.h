// Conversion of program texts (Windows-1252 bytes) to and from QString at
// the toolkit boundary: short names for the platform layer's conversions.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/qt/qttext.h"

inline QString toq(std::string_view w1252) { return toqstring(w1252); }
inline std::string fromq(const QString& s) { return fromqstring(s); }
