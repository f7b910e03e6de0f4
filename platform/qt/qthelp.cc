#include "platform/qt/qthelp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

#include "lib/support/w1252.h"
#include "platform/qt/qttext.h"

namespace {

// The help window: a text browser that Esc and Ctrl+W (and the platform's
// close key) close like any document window.
class HelpViewer : public QTextBrowser {
 public:
  // With an owner the viewer is a window of its own that belongs to it.
  explicit HelpViewer(QWidget* owner) : QTextBrowser(owner) {
    if (owner != nullptr) setWindowFlags(Qt::Window);
    // Each key once: two shortcuts on one key would both stay silent.
    QList<QKeySequence> keys = {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Close))
      if (!keys.contains(key)) keys.append(key);
    for (const QKeySequence& key : keys) {
      auto* shortcut = new QShortcut(key, this);
      shortcut->setContext(Qt::WindowShortcut);
      connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
  }

 protected:
  // The keyboard goes back to the dialog the viewer belongs to.
  void closeEvent(QCloseEvent* e) override {
    QTextBrowser::closeEvent(e);
    if (QWidget* owner = parentWidget()) owner->activateWindow();
  }
  void keyPressEvent(QKeyEvent* e) override {
    // Also when the key reaches the browser directly.
    if (e->key() == Qt::Key_Escape ||
        (e->key() == Qt::Key_W && (e->modifiers() & Qt::ControlModifier)) || e->matches(QKeySequence::Close)) {
      e->accept();
      close();
      return;
    }
    QTextBrowser::keyPressEvent(e);
  }
};

// The program's main window the viewer is placed at: the active window, else
// the first visible main window.
QWidget* mainwindowfor(const QWidget* viewer) {
  QWidget* active = QApplication::activeWindow();
  if (active && active != viewer) return active->window();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != viewer && w->isVisible() && qobject_cast<QMainWindow*>(w)) return w;
  return nullptr;
}

}  // namespace

QRect QtHelp::placement(const QRect& mainframe, const QSize& viewer, const QRect& screen) {
  QRect r(QPoint(0, 0), viewer);
  if (!mainframe.isValid()) {
    r.moveCenter(screen.center());
  } else if (mainframe.right() + 1 + viewer.width() <= screen.right() + 1) {
    r.moveTopLeft(QPoint(mainframe.right() + 1, mainframe.top()));  // beside, to the right
  } else if (mainframe.left() - viewer.width() >= screen.left()) {
    r.moveTopRight(QPoint(mainframe.left() - 1, mainframe.top()));  // beside, to the left
  } else {
    r.moveCenter(mainframe.center());  // over its middle
  }
  // Never beyond the screen's edges (its top left corner wins).
  if (r.right() > screen.right()) r.moveRight(screen.right());
  if (r.bottom() > screen.bottom()) r.moveBottom(screen.bottom());
  if (r.left() < screen.left()) r.moveLeft(screen.left());
  if (r.top() < screen.top()) r.moveTop(screen.top());
  return r;
}

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
  // A modal dialog blocks every window but its own: help asked for from a
  // dialog is a window of that dialog, above it and taking input at once.
  QWidget* modal = QApplication::activeModalWidget();
  if (viewer_ && viewer_->parentWidget() != modal) {
    delete viewer_;
    viewer_ = nullptr;
  }
  if (!viewer_) {
    viewer_ = new HelpViewer(modal);
    viewer_->setObjectName(QStringLiteral("helpviewer"));
    viewer_->setAttribute(Qt::WA_DeleteOnClose);
    viewer_->setWindowTitle(QStringLiteral("Turmfinder - Hilfe"));
    viewer_->setOpenExternalLinks(true);
    viewer_->resize(640, 480);
    // A new window would open at the screen's corner, over the program.
    QWidget* main = mainwindowfor(viewer_);
    QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    viewer_->move(placement(main ? main->frameGeometry() : QRect(), viewer_->size(), area).topLeft());
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
