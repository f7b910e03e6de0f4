#include "lib/dialog/zodialog.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>

#include "lib/dialog/dlgcontrols.h"
#include "lib/dialog/dlgexport.h"
#include "lib/dialog/dlgfields.h"
#include "lib/dialog/dlgitems.h"
#include "lib/dialog/dlgmetrics.h"
#include "lib/dialog/dlgtext.h"
#include "lib/support/messages.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "lib/window/zotreeview.h"
#include "platform/help.h"

namespace {
constexpr std::uint32_t kLabelCentre = 0x1;
constexpr std::uint32_t kComboListStyle = 0x3;

QColor fromcolorref(std::uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void checkpoint(const std::string& name) { reportsystemerrorif(dialogtracelevel > 0, name); }

std::string translated(const std::string& s) {
  return texttranslation && translationhook && !s.empty() ? cut(translationhook(s), 80) : s;
}
}  // namespace

Tzodialog::Tzodialog(QWidget* owner) : QDialog(owner ? owner : applicationmainwindow.data()) {
  ++opendialogcount;
  hintmode = defaulthintmode;
  // The stored form description; set-up replaces these values.
  setObjectName("dlgform");
  setGeometry(1, 1, 435, 300);
  setWindowTitle("Dialog");
  setFont(defaultdialogfont());
  placement = 1;
  nonmodal = 0;
  checkpoint("tzodialog.Create 1");
  if (tabsheetcontainer) {
    istabsheetdialog = 1;
    container = tabsheetcontainer;
    enternavigation_ = false;
    checkpoint("istabsheetdialog=1");
  } else {
    container = this;
    checkpoint("istabsheetdialog=0");
  }
  Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
  if (systemmenuswitch) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  setWindowFlags(flags);
  setSizeGripEnabled(sizeableswitch);
  if (const QFont* f = dialogfont()) setFont(*f);
  // A Cancel in an earlier dialog says nothing about this one.
  dialogcancelled = false;
  modalresult_ = 0;
  parameters = std::make_unique<dlgtable>();
  initdlgtable(*parameters);
  checkpoint("tzodialog.Create 6");
  currenthelpid = dialogid;
}

Tzodialog::~Tzodialog() {
  delete treepanel;
  treepanel = nullptr;
  checkpoint("tzodialog.destroy comps: " + std::to_string(children().size()));
  if (modalresult_ == mrCancel) dialogcancelled = true;
  --opendialogcount;
  if (currentdialog == this) currentdialog = previousdialog;
  if (exportmode == 0) currenthelpid = 0;
  if (lastsetupdialog == this) lastsetupdialog = nullptr;
}

dlgparameter* Tzodialog::findrecord(std::int32_t describedid) {
  for (int i = 1; i <= itemcount; ++i)
    if ((*parameters)[i].kind != 0 && (*parameters)[i].origid == describedid) return &(*parameters)[i];
  return nullptr;
}

void Tzodialog::setupwindow() {
  checkpoint("tzodialog.setup 1");
  if (dialogidhook && helpactive && dialogid >= 100) dialogidhook(dialogid);
  if (cw == 0) setmetrics(6, 1, cw, rowh, lh);
  fittoscreen();
  containerhandle = container;
  checkpoint("tzodialog.setup 2 " + fromq(objectName()) + " " + (istabsheetdialog ? "2" : "1"));
  dlgtable& t = *parameters;
  if (itemcount > kMaxDlgItems) itemcount = kMaxDlgItems;

  // Pictures of record 0 and record 1 at the top left.
  imageleft = imagetop = 5;
  int nexttop = imagetop;
  for (int r = 0; r <= 1; ++r) {
    if (!t[r].picture) continue;
    auto* img = new QLabel(container);
    img->setPixmap(*t[r].picture);
    img->setGeometry(imageleft, nexttop, t[r].picture->width(), t[r].picture->height());
    nexttop += t[r].picture->height();
    images.push_back(img);
  }
  if (dialognumberintitle) t[0].caption = cut(t[0].caption + " " + std::to_string(dialogid), 80);

  finishdlgparameter(container, cw, lh, t, itemcount, rowh);

  // Pictures left of the input fields.
  for (int i = fieldcount + 1; i <= fieldcount + imagecount && i <= itemcount; ++i) {
    if (!t[i].picture || !t[i].control) continue;
    auto* img = new QLabel(t[i].control->parentWidget());
    img->setPixmap(*t[i].picture);
    img->setGeometry(t[i].x - t[i].picture->width() - 5, t[i].y, t[i].picture->width(),
                     t[i].picture->height());
    images.push_back(img);
  }

  setWindowTitle(toq(t[0].caption));
  if (t[0].color != 0) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, fromcolorref(t[0].color));
    setPalette(pal);
    setAutoFillBackground(true);
  }
  makehintpanel();
  placewindow();
  checkpoint("compo=" + std::to_string(children().size()));
  bindbuttons();

  for (int i = 1; i <= itemcount; ++i) {
    dlgparameter& p = t[i];
    if (p.kind == 0) continue;
    p.origid = p.control ? controlid(p.control) : 0;
    std::swap(p.id, p.origid);
  }
  if (treepanelswitch) {
    treepanel = new QWidget(this);
    treepanel->setObjectName("treepanel");
    treepanel->setGeometry(0, 0, width(), treeheight);
    treepanelswitch = false;
  }
  traceif(dialogtracelevel > 0, "tzodialog.setupwindow 11:" + fromq(objectName()));
  lastsetupdialog = this;
  previousdialog = currentdialog;
  if (hintpanelswitch > 0) currentdialog = this;
  if (exportmode != 0 && dialogid == 0) infomessage("dialogid=0");
  if (!istabsheetdialog) {
    currenthelpid = dialogid;
    QRect g = frameGeometry();
    lastdialogbounds = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  }
  if (exportmode == 1 && dialogid > 0)
    exportdescriptionfile(dialogid, currenthelpid, dlgexportlines(t, itemcount));
  else if (exportmode == 2 && dialogid > 0)
    exportdescriptionclipboard(dlghelptext(t, itemcount));
  traceif(dialogtracelevel > 0, "tzodialog.setupende");
}

void Tzodialog::finishdlgparameter(QWidget* into, int cwidth, int lheight, dlgtable& t, int count,
                                   int rowunit) {
  count = std::min(count, kMaxDlgItems);
  for (int i = 0; i <= count; ++i) {
    dlgparameter& p = t[i];
    p.y = static_cast<std::uint16_t>(p.y * rowunit);
    p.x = static_cast<std::uint16_t>(p.x * cwidth);
    p.width = static_cast<std::uint16_t>((p.width != 0 ? p.width : p.charwidth) * cwidth);
    if (p.kind != kindcombo) {
      bool tall = i == 0 || p.height > 1;
      p.height = static_cast<std::uint16_t>(p.height * (tall ? rowunit : lheight));
      if (i > 0 && p.kind == kindedit && tall) p.height = static_cast<std::uint16_t>(p.height + rowunit);
    }
  }
  librarycw = cwidth;
  libraryrowh2 = 2 * rowunit;
  for (int i = 1; i <= count; ++i)
    if (t[i].kind == kindgroup) createcontrol(t[i], into);
  for (int i = 1; i <= count; ++i) {
    dlgparameter& p = t[i];
    if (p.kind == kindgroup || p.kind == kindnone) continue;
    QWidget* parent = into;
    if ((p.kind == kindlabel || p.kind == kindradio) && p.groupindex > 0 && p.groupindex <= count &&
        t[p.groupindex].control)
      parent = t[p.groupindex].control;
    createcontrol(p, parent);
  }
}

void Tzodialog::dressedit(QWidget* w, const dlgparameter& p, bool multiline) {
  auto* frame = qobject_cast<QFrame*>(w);
  if (!frame || p.borderkind == 0) return;
  if (multiline) {
    int shape = p.borderkind == 1 ? QFrame::NoFrame : p.borderstyle ? QFrame::Box : QFrame::Panel;
    int shadow = p.bevelouter == 3 ? QFrame::Raised : p.bevelouter == 2 ? QFrame::Sunken : QFrame::Plain;
    frame->setFrameStyle(shape | shadow);
  } else {
    frame->setFrameStyle((p.borderstyle ? QFrame::Panel : QFrame::NoFrame) |
                         (p.borderkind == 2 ? QFrame::Raised : QFrame::Sunken));
  }
}

QWidget* Tzodialog::createcontrol(dlgparameter& p, QWidget* parent) {
  const QString caption = toq(translated(p.caption));
  QWidget* w = nullptr;
  int height = p.height;
  switch (p.kind) {
    case kindlabel: {
      auto* l = new QLabel(caption, parent);
      if (p.style & kLabelCentre) l->setAlignment(Qt::AlignCenter);
      w = l;
      break;
    }
    case kindbutton:
    case kindbutton8: {
      auto* b = new tdlgbutton(p.id, caption, parent);
      if (p.color != 0) {
        QPalette pal = b->palette();
        pal.setColor(QPalette::ButtonText, fromcolorref(p.color));
        b->setPalette(pal);
      }
      height = std::max(height, 20);
      w = b;
      break;
    }
    case kindlist: {
      auto* l = new QListWidget(parent);
      l->setSelectionMode(QAbstractItemView::ExtendedSelection);
      l->setSortingEnabled((p.style & LBS_SORT) != 0);
      dressedit(l, p, true);
      w = l;
      break;
    }
    case kindcombo: {
      auto* c = new QComboBox(parent);
      c->setEditable((p.style & kComboListStyle) == 0);
      c->setProperty("sorted", (p.style & CBS_SORT) != 0);
      // The described height is the opened list's: the closed box is one
      // line high and the list shows height - 2 lines.
      c->setMaxVisibleItems(std::max(1, p.height - 2));
      c->setFont(font());  // the dialog font, as fitted to the screen
      height = lh;
      w = c;
      break;
    }
    case kindedit:
    case kindedit9:
    case kindspinedit: {
      bool multiline = p.kind == kindedit && (p.style & ES_MULTILINE) != 0;
      if (multiline) {
        auto* m = new tdlgmemo(parent);
        m->setPlainText(caption);
        m->setVerticalScrollBarPolicy((p.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded
                                                            : Qt::ScrollBarAlwaysOff);
        dressedit(m, p, true);
        if (p.align == 5) filling_.push_back(m);
        w = m;
      } else {
        auto* e = new QLineEdit(caption, parent);
        if (p.charwidth > 0) e->setMaxLength(p.charwidth);
        if (p.style & ES_PASSWORD) e->setEchoMode(QLineEdit::Password);
        if (p.style & ES_DISABLED) e->setEnabled(false);
        if (p.borderkind != 0) e->setFrame(p.borderstyle != 0);
        e->setProperty("enternext", true);
        w = e;
        if (p.kind == kindspinedit && spinswitch) {
          int spinwidth = 2 * cw;
          p.width = static_cast<std::uint16_t>(std::max(0, p.width - spinwidth));
          auto* spin = new tdlgspinbutton(e, roundsmall(toext(p.minvalue)), roundsmall(toext(p.maxvalue)),
                                          roundsmall(toext(p.stepvalue)), parent);
          spin->setGeometry(p.x + p.width, p.y, spinwidth, height);
          p.spincontrol = spin;
        }
      }
      w->setFocusPolicy(Qt::StrongFocus);
      break;
    }
    case kindcheck: w = new QCheckBox(caption, parent); break;
    case kindradio: w = new QRadioButton(caption, parent); break;
    case kindradiogroup:
    case kindgroup: w = new QGroupBox(caption, parent); break;
    case kindtree: {
      auto* tree = new tzotreeview(parent);
      tree->setHeaderHidden(true);
      w = tree;
      break;
    }
    case kindrichedit: {
      auto* r = new QTextEdit(parent);
      r->setAcceptRichText(false);
      r->setPlainText(caption);
      r->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      r->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      w = r;
      break;
    }
    default: return nullptr;
  }
  w->setObjectName("item" + QString::number(p.id));
  w->setProperty("tag", p.id);
  p.handle = assigncontrolid(w);
  p.control = w;
  w->setGeometry(p.x, p.y, p.width, height);
  if (p.kind != kindbutton && p.kind != kindbutton8 && p.color != 0) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, fromcolorref(p.color));
    pal.setColor(QPalette::Base, fromcolorref(p.color));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
  }
  if (p.font) w->setFont(*p.font);
  if (hintmode > 0 && !p.hint.empty()) {
    QString hint = toq(translated(p.hint));
    w->setProperty("hint", hint);
    if (hintmode >= 2 && tooltipswitch > 0) w->setToolTip(hint);
    w->installEventFilter(this);
  }
  if (w->property("enternext").toBool()) w->installEventFilter(this);
  w->show();
  return w;
}

bool Tzodialog::wantshintpanel() const {
  if (istabsheetdialog || hintmode == 0 || hintpanelswitch == 0) return false;
  const dlgtable& t = *parameters;
  for (int i = 1; i <= itemcount; ++i)
    if (!t[i].hint.empty()) return true;
  return false;
}

void Tzodialog::makehintpanel() {
  if (!wantshintpanel()) return;
  dlgtable& t = *parameters;
  hintpanel = new QLabel(container);
  hintpanel->setObjectName("hintpanel");
  assigncontrolid(hintpanel);
  hintpanel->setProperty("tag", 13);
  hintpanel->setWordWrap(true);
  hintpanel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  hintpanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  hintpanel->setAutoFillBackground(true);
  QPalette pal = hintpanel->palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
  pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
  hintpanel->setPalette(pal);
  hintpanel->setGeometry(2 * rowh, t[0].height - rowh, std::max(0, t[0].width - 4 * rowh), 6 * rowh);
  t[0].height = static_cast<std::uint16_t>(t[0].height + 2 * rowh + 6 * rowh);
  hintpanel->show();
}

QRect Tzodialog::screenarea() const {
  QWidget* parent = parentWidget();
  QScreen* s = parent ? parent->screen() : QGuiApplication::primaryScreen();
  return s ? s->availableGeometry() : QRect();
}

void Tzodialog::fittoscreen() {
  if (istabsheetdialog || cw == 0 || rowh == 0 || lh == 0) return;
  const QRect area = screenarea();
  if (area.isEmpty()) return;
  const dlgtable& t = *parameters;
  const int maxw = std::max(1, area.width() - kFrameAllowanceWidth);
  const int maxh = std::max(1, area.height() - kFrameAllowanceHeight);
  const double needw = static_cast<double>(t[0].width != 0 ? t[0].width : t[0].charwidth) * cw;
  double needh = static_cast<double>(t[0].height) * rowh;
  if (wantshintpanel()) needh += 8.0 * rowh;
  if (needw <= maxw && needh <= maxh) return;
  // Every position and size is a multiple of cw, rowh or lh: scaling the
  // three down (and the font with them) shrinks the whole dialog alike.
  const double f = std::min(needw > 0 ? maxw / needw : 1.0, needh > 0 ? maxh / needh : 1.0);
  auto scaled = [f](std::uint16_t v) {
    return static_cast<std::uint16_t>(std::max(1.0, std::floor(v * f)));
  };
  const std::uint16_t oldcw = cw, oldlh = lh;
  cw = scaled(cw);
  lh = scaled(lh);
  rowh = scaled(rowh);
  // The font follows the smaller of the two ratios, so that a text keeps
  // fitting the width and the height it was described for.
  const double r = std::min(static_cast<double>(cw) / oldcw, static_cast<double>(lh) / oldlh);
  QFont shrunk = font();
  const int px = shrunk.pixelSize() > 0 ? shrunk.pixelSize() : QFontInfo(shrunk).pixelSize();
  shrunk.setPixelSize(std::max(1, static_cast<int>(std::floor(px * r))));
  setFont(shrunk);
}

void Tzodialog::placewindow() {
  dlgtable& t = *parameters;
  const QRect screen = screenarea();
  if (!istabsheetdialog && !screen.isEmpty()) {
    // Whatever the description says, the window stays within its screen.
    t[0].width = static_cast<std::uint16_t>(std::min<int>(t[0].width, screen.width()));
    t[0].height = static_cast<std::uint16_t>(std::min<int>(t[0].height, screen.height()));
  }
  if (exportmode != 0) {
    t[0].x = 1;
    t[0].y = 1;
  } else if (placement > 0) {
    // 1: centred on the window the dialog belongs to (on the screen when
    // it belongs to none); 2: in the parent's client area.
    QRect area;
    QWidget* parent = parentWidget();
    if (placement == 2 && parent) {
      area = QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size());
    } else if (parent) {
      area = parent->window()->frameGeometry();
    } else {
      area = !screen.isEmpty() ? screen : QRect(0, 0, t[0].width, t[0].height);
    }
    int x = area.left() + (area.width() - t[0].width) / 2;
    int y = area.top() + (area.height() - t[0].height) / 2;
    if (!screen.isEmpty()) {
      // Never beyond the screen (its top left corner wins).
      x = std::max(screen.left(), std::min(x, screen.right() + 1 - t[0].width));
      y = std::max(screen.top(), std::min(y, screen.bottom() + 1 - t[0].height));
    }
    t[0].x = static_cast<std::uint16_t>(std::max(0, x));
    t[0].y = static_cast<std::uint16_t>(std::max(0, y));
  }
  if (istabsheetdialog) return;
  move(t[0].x, t[0].y);
  if (sizeableswitch) resize(t[0].width, t[0].height);
  else setFixedSize(t[0].width, t[0].height);
  fillaligned();
}

void Tzodialog::fillaligned() {
  for (QWidget* w : filling_)
    if (w->parentWidget()) w->setGeometry(w->parentWidget()->contentsRect());
}

void Tzodialog::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  fillaligned();
}

void Tzodialog::bindbuttons() {
  static const struct { int tag; const char* name; } kButtons[] = {
      {116, "okweiter="}, {1, "okbutton="}, {2, "cbutton="}, {11, "zbutton="},
      {6, "yes="},        {7, "no="},       {12, "helpbutton="}};
  dlgtable& t = *parameters;
  for (const auto& b : kButtons) {
    int found = -1;
    for (int i = 1; i <= itemcount; ++i) {
      auto* button = qobject_cast<tdlgbutton*>(t[i].control);
      if (!button || button->tag() != b.tag) continue;
      if (found < 0) found = i;
      connect(button, &QPushButton::clicked, this, [this, tag = b.tag] { buttonclicked(tag); });
    }
    traceif(dialogtracelevel > 1, b.name + std::to_string(found));
  }
}

void Tzodialog::buttonclicked(int tag) {
  switch (tag) {
    case 1: case 116: case 6: case 7:
      if (canclose()) {
        modalresult_ = tag;
        done(tag);
      } else {
        modalresult_ = mrNone;
      }
      break;
    case 2:
      dialogcancelled = true;
      modalresult_ = mrCancel;
      done(mrCancel);
      break;
    case 11: zusatzbutton(); break;
    case 12: helpbutton(); break;
    default: break;
  }
}

void Tzodialog::reject() {
  dialogcancelled = true;
  modalresult_ = mrCancel;
  done(mrCancel);
}

bool Tzodialog::canclose() {
  fielderrortext.clear();
  traceif(dialogtracelevel > 1, "tzodialog.canclose:" + fromq(objectName()));
  return true;
}

void Tzodialog::zusatzbutton() {}

void Tzodialog::helpbutton() {
  if (helpactive == 0 || currenthelpid <= 0) return;
  if (!(helpcontexthook && helpcontexthook(currenthelpid))) infomessage("No help");
}

void Tzodialog::printdescription() {
  if (!printhook) return;
  QFont courier("Courier");
  courier.setPointSize(8);
  printhook(dlghelptext(*parameters, itemcount), courier);
}

void Tzodialog::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_F1:
      // The overview is the help file's index.
      if (!dialoghelpfile.empty()) helpsystem().openindex(dialoghelpfile);
      e->accept();
      return;
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      e->accept();  // no default or cancel button
      return;
    default: QDialog::keyPressEvent(e);
  }
}

bool Tzodialog::eventFilter(QObject* watched, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (w && e->type() == QEvent::KeyPress && enternavigation_ && w->property("enternext").toBool()) {
    auto* k = static_cast<QKeyEvent*>(e);
    if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && k->modifiers() == Qt::NoModifier) {
      focusNextChild();
      return true;
    }
  }
  if (w && hintpanelswitch > 0 && currentdialog && currentdialog->hintpanel) {
    if (e->type() == QEvent::Enter) currentdialog->hintpanel->setText(w->property("hint").toString());
    else if (e->type() == QEvent::Leave) currentdialog->hintpanel->clear();
  }
  return QDialog::eventFilter(watched, e);
}

void Tzodialog::contextMenuEvent(QContextMenuEvent* e) {
  e->accept();
  if (helpactive) helpbutton();
}

void Tzodialog::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) currentdialog = this;
  QDialog::changeEvent(e);
}
