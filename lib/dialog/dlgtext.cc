#include "lib/dialog/dlgtext.h"

#include "lib/support/w1252.h"

QString toq(std::string_view w1252) { return QString::fromStdString(w1252ToUtf8(w1252)); }

std::string fromq(const QString& s) { return utf8ToW1252(s.toStdString()); }
