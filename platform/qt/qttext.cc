#include "platform/qt/qttext.h"

#include "lib/support/w1252.h"

QString toqstring(std::string_view w1252) { return QString::fromUtf8(w1252ToUtf8(w1252)); }

std::string fromqstring(const QString& text) { return utf8ToW1252(text.toUtf8().toStdString()); }
