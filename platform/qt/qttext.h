// Text conversion at the toolkit boundary: program texts are Windows-1252
// byte strings, Qt texts are QStrings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

QString toqstring(std::string_view w1252);
std::string fromqstring(const QString& text);
