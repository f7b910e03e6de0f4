#include "platform/qt/qthelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include "lib/support/w1252.h"
#include "platform/qt/qttext.h"

QtHelp::~QtHelp() {
  // At process exit the application (and its windows) may be gone already.
  if (QCoreApplication::instance()) quit();
}

QString QtHelp::htmlnameof(const QString& helpfilename) {
  QFileInfo info(helpfilename);
  QString base = info.completeBaseName();
  QString dir = info.path();
  QString name = base + QStringLiteral(".html");
  return dir == QStringLiteral(".") ? name : dir + QLatin1Char('/') + name;
}

QStringList QtHelp::searchfolders() {
  QString exe = QCoreApplication::applicationDirPath();
  return {exe, QDir::cleanPath(exe + QStringLiteral("/../share/turmfinder")), QDir::currentPath()};
}

QString QtHelp::locate(const QString& helpfilename) {
  QString name = htmlnameof(helpfilename);
  if (QFileInfo(name).isAbsolute()) return QFileInfo(name).isFile() ? name : QString();
  for (const QString& folder : searchfolders()) {
    QFileInfo candidate(QDir(folder), name);
    if (candidate.isFile()) return candidate.absoluteFilePath();
  }
  return QString();
}

void QtHelp::openindex(const std::string& helpfilename) {
  if (!viewer_) {
    viewer_ = new QTextBrowser;
    viewer_->setObjectName(QStringLiteral("helpviewer"));
    viewer_->setAttribute(Qt::WA_DeleteOnClose);
    viewer_->setWindowTitle(QStringLiteral("Turmfinder - Hilfe"));
    viewer_->setOpenExternalLinks(true);
    viewer_->resize(640, 480);
  }
  QString name = toqstring(helpfilename);
  QString path = locate(name);
  if (path.isEmpty()) {
    QString text = toqstring(std::string("Die Hilfedatei ") + fromqstring(htmlnameof(name)) +
                             std::string(" wurde nicht gefunden. Gesucht in:"_w));
    QString html = QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p><ul>");
    for (const QString& folder : searchfolders())
      html += QStringLiteral("<li>") + folder.toHtmlEscaped() + QStringLiteral("</li>");
    viewer_->setHtml(html + QStringLiteral("</ul>"));
  } else {
    viewer_->setSource(QUrl::fromLocalFile(path));
    viewer_->moveCursor(QTextCursor::Start);
  }
  viewer_->show();
  viewer_->raise();
  viewer_->activateWindow();
}

void QtHelp::quit() {
  if (viewer_) {
    viewer_->close();  // deletes itself (WA_DeleteOnClose)
  }
}
