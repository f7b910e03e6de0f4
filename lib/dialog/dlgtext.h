// Conversion of program texts (Windows-1252 bytes) to and from QString at
// the toolkit boundary.
#pragma once

#include <string>
#include <string_view>

#include <QString>

QString toq(std::string_view w1252);
std::string fromq(const QString& s);
