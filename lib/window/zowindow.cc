#include "lib/window/zowindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>

#include "lib/support/messages.h"
#include "lib/support/w1252.h"
#include "lib/window/qtconvert.h"
#include "lib/window/zoglobals.h"
#include "platform/help.h"

TZowindow* currentwindow = nullptr;
QWidget* currenthandle = nullptr;
std::string captionsuffix;
std::string lastviewname;
std::uint8_t nobottommargin = 0;
std::string programhelpfile = "WINHELP.HLP";

namespace {

bool cursorsaved = false;

// Drag and dock hooks name themselves here; nothing is written.
void tracestub(const char*) {}

std::string cutto(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

}  // namespace

TZowindow::TZowindow(QWidget* owner) : QMainWindow(owner) {
  traceif(windowcreatetrace != 0, "vor zowindow.createnew " + std::to_string(windownumber));
  client_ = new TZoclient(this);
  setCentralWidget(client_);
  QPalette pal = client_->palette();
  pal.setColor(QPalette::Window, QColor(255, 255, 255));
  client_->setPalette(pal);
  initialise();
  traceif(windowcreatetrace != 0, "nach zowindow.createnew " + std::to_string(windownumber));
}

TZowindow::TZowindow(QWidget* owner, const FormDesign& design) : QMainWindow(owner) {
  traceif(windowcreatetrace != 0, "vor zowindow.create " + std::to_string(windownumber));
  client_ = new TZoclient(this);
  setCentralWidget(client_);
  setWindowTitle(toqstring(design.caption));
  setGeometry(design.left, design.top, design.width, design.height);
  initialise();
  traceif(windowcreatetrace != 0, "nach zowindow.create " + std::to_string(windownumber));
}

TZowindow::~TZowindow() {
  traceif(windowclosetrace != 0, "Zowindow destroy");
  if (currentwindow == this) {
    currentwindow = nullptr;
    currenthandle = nullptr;
  }
}

void TZowindow::initialise() {
  setObjectName("zowindow");
  helpmode = 0;
  helpfile = "WINHELP.HLP";
  if (nobottommargin != 0) bottommargin = 0;
  viewlevel = 1;
  hchanged = 0;
  aboutcaption = std::string("Über.."_w);
  initialised = 1;
  windowhandle = this;
  vstate = ScrollState{1, 1, 1, 100, 20, 1, 0};
  hstate = ScrollState{1, 1, 1, 100, 10, 1, 0};
  htrack = 0;
  vtrack = 0;
  setAcceptDrops(false);
  setupwindow();
}

void TZowindow::setupwindow() {
  tracedebug("vor zowindow.setupwindow " + std::to_string(windownumber));
  currentwindow = this;
  windowhandle = this;
  currenthandle = this;
  statuscontrol = nullptr;
  maincontrol = nullptr;
  thirdcontrol = nullptr;
  extrareference = nullptr;
  tracedebug("nach zowindow.setupwindow " + std::to_string(windownumber));
}

bool TZowindow::canclose() {
  traceif(windowclosetrace != 0, "Zowindow.canclose");
  return true;
}

void TZowindow::closeEvent(QCloseEvent* e) {
  if (closequery())
    e->accept();
  else
    e->ignore();
}

void TZowindow::invalidate() {
  if (client_ != nullptr) client_->update();
}

void TZowindow::updatecaption() { setWindowTitle(toqstring(viewtitle + captionsuffix)); }

// --- scrolling ----------------------------------------------------------------

void TZowindow::attachscrollbar(tzoscrollbar* bar) {
  if (bar == nullptr) return;
  bool vertical = bar->orientation() == Qt::Vertical;
  auto report = [this, bar, vertical](int code, int position) {
    int p = position;
    if (vertical)
      vscroll(bar, code, p);
    else
      hscroll(bar, code, p);
    if (p != position) bar->setSliderPosition(p);
  };
  connect(bar, &QAbstractSlider::actionTriggered, this, [bar, report](int action) {
    int code = kScrollEnd;
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: code = kScrollLineUp; break;
      case QAbstractSlider::SliderSingleStepAdd: code = kScrollLineDown; break;
      case QAbstractSlider::SliderPageStepSub: code = kScrollPageUp; break;
      case QAbstractSlider::SliderPageStepAdd: code = kScrollPageDown; break;
      case QAbstractSlider::SliderToMinimum: code = kScrollTop; break;
      case QAbstractSlider::SliderToMaximum: code = kScrollBottom; break;
      // A thumb drag tracks; a move by wheel or key is a final position.
      case QAbstractSlider::SliderMove:
        code = bar->isSliderDown() ? kScrollTrack : kScrollPosition;
        break;
      default: return;
    }
    report(code, bar->sliderPosition());
  });
  connect(bar, &QAbstractSlider::sliderReleased, this,
          [bar, report] { report(kScrollPosition, bar->sliderPosition()); });
}

void TZowindow::scrollreport(QObject*, int code, int& position, bool vertical) {
  std::uint8_t track = vertical ? vtrack : htrack;
  if (code == kScrollTrack && track == 0) return;
  ScrollState& s = vertical ? vstate : hstate;
  s.position = position;
  if (s.position != s.previous) {
    (vertical ? vchanged : hchanged) = 1;
    int from = s.previous;
    s.previous = s.position;
    if (vertical)
      vscrolled(from, s.position);
    else
      invalidate();
  }
}

void TZowindow::vscroll(QObject* sender, int code, int& position) {
  scrollreport(sender, code, position, true);
}

void TZowindow::hscroll(QObject* sender, int code, int& position) {
  scrollreport(sender, code, position, false);
}

void TZowindow::setvscrollrange(int minimum, int maximum, int position) {
  if (vscrollbar == nullptr) return;
  vstate.smallstep = 1;
  int span = std::clamp(maximum - minimum, 1, 32767);
  vstate.largestep = std::clamp(kStandardLargeStep, 1, span);
  vstate.minimum = minimum;
  vstate.maximum = maximum;
  vstate.position = position;
  applyscrollrange(vscrollbar, vstate.minimum, vstate.maximum, vstate.position,
                   vstate.largestep, vstate.smallstep);
  // The new position is the one shown: a later report of the old
  // position must count as a change.
  vstate.previous = vstate.position;
  vscrollbar->setVisible(vstate.maximum >= 21);
}

bool TZowindow::scrollbykey(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers != Qt::NoModifier) return false;
  if (key == Qt::Key_Left || key == Qt::Key_Right) {
    if (hscrollbar == nullptr || !hscrollbar->isVisible()) return false;
    hscrollbar->triggerAction(key == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                                  : QAbstractSlider::SliderSingleStepAdd);
    return true;
  }
  if (vscrollbar == nullptr || !vscrollbar->isVisible()) return false;
  QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
  switch (key) {
    case Qt::Key_Up: action = QAbstractSlider::SliderSingleStepSub; break;
    case Qt::Key_Down: action = QAbstractSlider::SliderSingleStepAdd; break;
    case Qt::Key_PageUp: action = QAbstractSlider::SliderPageStepSub; break;
    case Qt::Key_PageDown: action = QAbstractSlider::SliderPageStepAdd; break;
    case Qt::Key_Home: action = QAbstractSlider::SliderToMinimum; break;
    case Qt::Key_End: action = QAbstractSlider::SliderToMaximum; break;
    default: return false;
  }
  vscrollbar->triggerAction(action);
  return true;
}

bool TZowindow::scrollbywheel(int angledelta) {
  if (vscrollbar == nullptr || !vscrollbar->isVisible()) return false;
  // One notch moves the rows the desktop asks for (3 by default), one line
  // step at a time as the bar's arrow buttons do.
  wheelrest_ += angledelta;
  int notches = wheelrest_ / 120;
  wheelrest_ -= notches * 120;
  int rows = notches * std::max(1, QApplication::wheelScrollLines());
  auto action = rows > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
  for (int i = 0; i < std::abs(rows); ++i) vscrollbar->triggerAction(action);
  return true;
}

void TZowindow::keyPressEvent(QKeyEvent* e) {
  if (scrollbykey(e->key(), e->modifiers()))
    e->accept();
  else
    QMainWindow::keyPressEvent(e);
}

void TZowindow::wheelEvent(QWheelEvent* e) {
  if (scrollbywheel(e->angleDelta().y()))
    e->accept();
  else
    QMainWindow::wheelEvent(e);
}

// --- views -------------------------------------------------------------------

ViewEntry TZowindow::currentview() const {
  ViewEntry e;
  e.title = viewtitle;
  e.viewid = viewid;
  e.viewitem = viewitem;
  e.viewtag = viewtag;
  e.mainvisible = maincontrol != nullptr && !maincontrol->isHidden();
  e.vvisible = vscrollbar != nullptr && !vscrollbar->isHidden();
  e.hvisible = hscrollbar != nullptr && !hscrollbar->isHidden();
  e.vstate = vstate;
  e.hstate = hstate;
  return e;
}

void TZowindow::submenu(std::uint16_t id, std::uint16_t item, std::string_view name) {
  tracedebug("vor zowindow.submenu");
  if (viewlevel < kMaxViewLevel) {
    ++viewlevel;
    viewstack[viewlevel] = currentview();
  }
  lastviewname = cutto(name, 80);
  if (!name.empty()) viewtitle = cutto(viewtitle + "/" + std::string(name), 255);
  updatecaption();
  viewid = id;
  viewitem = item;
  if (vscrollbar != nullptr) vscrollbar->hide();
  if (hscrollbar != nullptr) hscrollbar->hide();
  if (maincontrol != nullptr) maincontrol->hide();
  tracedebug("nach zowindow.submenu");
}

void TZowindow::submenuscroll(std::uint16_t id, std::uint16_t item, std::string_view name,
                              int minimum, int maximum, int largestep, int smallstep,
                              int position, int viewvalue) {
  submenu(id, item, name);
  if (maximum <= minimum) maximum = minimum + 1;
  position = std::clamp(position, minimum, maximum);
  int span = std::min(maximum - minimum, 32767);
  vstate.minimum = minimum;
  vstate.maximum = maximum;
  vstate.position = position;
  vstate.previous = position;
  vstate.largestep = std::clamp(largestep, 1, span);
  vstate.smallstep = std::clamp(smallstep, 1, span);
  vstate.viewvalue = viewvalue;
  if (vscrollbar != nullptr)
    applyscrollrange(vscrollbar, vstate.minimum, vstate.maximum, vstate.position,
                     vstate.largestep, vstate.smallstep);
}

void TZowindow::submenuende() {
  tracedebug("vor zowindow.submenuende");
  restoreview();
  tracedebug("nach zowindow.submenuende");
}

void TZowindow::applysaved(tzoscrollbar* bar, ScrollState& s, bool visible) {
  if (bar == nullptr) return;
  applyscrollrange(bar, s.minimum, s.maximum, s.position, s.largestep, s.smallstep);
  bar->setVisible(visible);
}

void TZowindow::restoreview() {
  const ViewEntry& e = viewstack[std::min<int>(viewlevel, kMaxViewLevel)];
  viewtitle = e.title;
  viewid = e.viewid;
  viewitem = e.viewitem;
  viewtag = e.viewtag;
  vstate = e.vstate;
  hstate = e.hstate;
  bool mainvisible = e.mainvisible, vvisible = e.vvisible, hvisible = e.hvisible;
  if (viewlevel > 0) --viewlevel;
  std::size_t slash = viewtitle.rfind('/');
  lastviewname = cutto(slash == std::string::npos ? viewtitle : viewtitle.substr(slash + 1), 80);
  updatecaption();
  if (maincontrol != nullptr && mainvisible) maincontrol->show();
  applysaved(vscrollbar, vstate, vvisible);
  applysaved(hscrollbar, hstate, hvisible);
  invalidate();
}

// --- help ---------------------------------------------------------------------

QEvent::Type TZowindow::helpeventtype(int message) {
  return static_cast<QEvent::Type>(QEvent::User + message);
}

bool TZowindow::event(QEvent* e) {
  int message = static_cast<int>(e->type()) - static_cast<int>(QEvent::User);
  if (message >= 91 && message <= 95) {
    helpcommand(message);
    return true;
  }
  return QMainWindow::event(e);
}

void TZowindow::helpcommand(int message) {
  switch (message) {
    case 91:
      // Keyword look-up is not offered by the help system; show the file.
      helpsystem().openindex(helpfile);
      break;
    case 92:
      // The help system shows no single contexts.
      if (helpcontext > 0) infomessage("No help");
      break;
    case 93:
      if (helpswitch != 0) helpsystem().openindex(helpfile);
      break;
    case 94:
      helpsystem().openindex(programhelpfile);
      break;
    case 95:
      helpmode = helpmode != 0 ? 0 : 1;
      setCursor(helpmode != 0 ? Qt::WhatsThisCursor : Qt::ArrowCursor);
      break;
    default: break;
  }
}

// --- drag and dock --------------------------------------------------------------

bool TZowindow::dragover() {
  tracestub("WI-DragOver");
  return dragaccept != 0;
}

bool TZowindow::undock() {
  tracestub("WI-undock");
  return dragaccept != 0;
}

void TZowindow::dragEnterEvent(QDragEnterEvent* e) {
  if (dragover())
    e->acceptProposedAction();
  else
    e->ignore();
}

void TZowindow::dragMoveEvent(QDragMoveEvent* e) {
  if (dragover())
    e->acceptProposedAction();
  else
    e->ignore();
}

void TZowindow::dropEvent(QDropEvent* e) {
  tracestub("WI-DragDrop");
  dragdrop();
  e->ignore();
}

// --- cursor -------------------------------------------------------------------------

void busycursor(QWidget*) {
  if (cursorsaved) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  cursorsaved = true;
}

void normalcursor(QWidget*) {
  if (!cursorsaved) return;
  QApplication::restoreOverrideCursor();
  cursorsaved = false;
}
