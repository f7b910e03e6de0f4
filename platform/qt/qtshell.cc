#include "platform/qt/qtshell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/qt/qttext.h"

bool QtShell::open(const std::string& verb, const std::string& document) {
  if (!verb.empty() && verb != "open") return false;
  QString doc = toqstring(document);
  if (doc.isEmpty()) return false;
  QUrl url;
  if (doc.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
      doc.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)) {
    url = QUrl(doc, QUrl::TolerantMode);
  } else {
    QFileInfo file(doc);
    if (!file.exists()) return false;
    url = QUrl::fromLocalFile(file.absoluteFilePath());
  }
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}
