#include "app/taw.h"

#include <QApplication>
#include <QPalette>
#include <QTimer>
#include <cmath>
#include <filesystem>

#include "app/core/appstate.h"
#include "app/core/workfolder.h"
#include "app/waysindlg.h"
#include "query/listscreen.h"
#include "celldb/database.h"
#include "lib/dialog/dlgglobals.h"
#include "lib/support/ioerror.h"
#include "lib/support/messages.h"
#include "lib/support/replacejournal.h"
#include "lib/support/staletemporaries.h"
#include "lib/support/offsetsurface.h"
#include "lib/support/textgrid.h"
#include "lib/support/w1252.h"
#include "platform/help.h"
#include "platform/qt/qtfont.h"
#include "query/criteria.h"
#include "query/liststate.h"

TAW::TAW(QWidget* owner) : TZowindow(owner) {
  tracedebug("vor TAW.createnew");
  created = true;
  setWindowTitle("Turmfinder");
  statusbarheight = 25;
  clickline = 1;
  SetupWindow();
  ShowMenu(101);
  // Ctrl+C copies the selected entry of the list.
  copy_ = new QShortcut(QKeySequence::Copy, this);
  connect(copy_, &QShortcut::activated, this, [this] {
    if (displaymode() == 2 && databaseopen()) copyentry(kCopyRow);
  });
  tracedebug("nach TAW.createnew");
}

TAW::~TAW() {
  // The hint handler refers to this window's status bar.
  menuhinthandler = nullptr;
}

void TAW::SetupWindow() {
  tracedebug("vor TAW.SetupWindow");
  // Dialogs opened without an owner belong to this window.
  applicationmainwindow = this;
  helpfile = helpfilename;
  helpswitch = 1;
  helpavailable = 1;
  viewtitle = "Turmfinder";
  updatecaption();

  // What killed runs left in the working folder: a replacement of the
  // database pair to finish, temporary files of dead writers.
  bool busy = false;
  std::string settled = settlepair(2000, busy);
  if (!settled.empty()) infomessage(settled);
  removestaletemporaries("", journaltemporaries(""));

  ReadSettings(kSettingsFile, settings);
  // Held to the sizes the font choice offers: a corrupt record must not
  // make giant fonts.
  screenfontrec = StartupFontRecord(kFontFile, kScreenFontIndex);
  screenfont = startupfont(screenfontrec);
  dialogfontrec = StartupFontRecord(kFontFile, kDialogFontIndex);
  FontSpec dialogspec = startupfont(dialogfontrec);
  if (dialogspec.valid) setdialogfont(qfontof(dialogspec));
  listfont = FontSpec{};
  listfont.name = "Arial";
  listfont.pointsize = 10;

  mainstatusbar = createstatusbar(this, &listfont, palette().color(QPalette::Button),
                                  {80, 80, 100, 200}, 4, 0, 0, width(), statusbarheight);
  mainstatusbar->setObjectName("mainstatusbar");
  // statuspaneltext puts the one leading blank in front of the hint.
  menuhinthandler = [this](const std::string& hint) { statuspaneltext(3, mainstatusbar, hint); };

  viewid = 1;
  viewitem = 101;
  tolerancelon = toreal(0.2L);
  tolerancelat = toreal(0.33L);

  dbfilename = "germtowers.dat";
  OpenResult r = opendatabase(dbfilename);
  if (r.ok) {
    towercount = r.total;
    selectall();
  } else {
    databasefailed = true;
    infomessage("Datei " + dbfilename + std::string(" konnte nicht geöffnet werden!"_w));
  }

  vscrollbar = new tzoscrollbar(client(), false);
  vscrollbar->setObjectName("vscrollbar");
  vscrollbar->hide();
  attachscrollbar(vscrollbar);
  hscrollbar = new tzoscrollbar(client(), true);
  hscrollbar->setObjectName("hscrollbar");
  hscrollbar->hide();
  attachscrollbar(hscrollbar);

  f1_ = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1_->setContext(Qt::ApplicationShortcut);
  connect(f1_, &QShortcut::activated, this, [this] { showhelpindex(); });

  tracedebug("nach TAW.SetupWindow");
  invalidate();
}

bool TAW::startupcheck() {
  if (!databasefailed) return true;
  return !CloseQuery();
}

bool TAW::startupoffer(const std::vector<wayin>& ways) {
  if (!databasefailed) return true;
  if (holdsdatabasefile(".")) return startupcheck();
  std::error_code ec;
  std::string folder = utf8ToW1252(std::filesystem::current_path(ec).string());
  for (;;) {
    int chosen = offerwaysin(this, ways, folder);
    const wayin* way = chosen < 0 ? nullptr : &ways[static_cast<std::size_t>(chosen)];
    if (way != nullptr && way->run(this)) break;
    if (way == nullptr || !way->offeragain) {
      helpsystem().quit();
      return false;
    }
  }
  runcommand(58);
  return databaseopen();
}

void TAW::showhelpindex() {
  if (helpavailable) helpsystem().openindex(helpfilename);
}

std::int32_t TAW::firstvisible() const { return vstate.position < 1 ? 1 : vstate.position; }

void TAW::setlistrange() {
  if (resultcount > 0) setvscrollrange(1, resultcount, 1);
  updatescrollbar();
}

void TAW::clearhint() {
  if (mainstatusbar != nullptr) mainstatusbar->setpaneltext(3, "");
}

void TAW::reportreaderror(const std::string& what) {
  if (readerrorshown_) return;
  readerrorshown_ = true;
  // Not from inside a paint event: the notice runs its own event loop.
  QTimer::singleShot(0, this, [what] { errormessage(what); });
}

void TAW::paintclient(Surface& surface) {
  if (!created) return;
  currentsurface = &surface;
  if (screenfont.valid) surface.selectfont(screenfont);
  const bool list = displaymode() == 2;
  if (list)
    setlistmetrics(surface);
  else
    setgridmetrics(surface);
  setgridsize(surface.clientwidth(), surface.clientheight());
  gridlines = static_cast<std::uint16_t>(surface.clientheight() / std::max<int>(lineheight, 1) + 1);
  // The scroll bars lie over the list and paint themselves whole: a paint
  // of the area beneath one alone (it moved its thumb) draws nothing.
  for (tzoscrollbar* bar : {vscrollbar, hscrollbar}) {
    if (!paintrect.isEmpty() && bar != nullptr && bar->isVisible() && bar->geometry().contains(paintrect)) {
      currentsurface = nullptr;
      return;
    }
  }
  // A database file replaced under its name is opened anew before
  // anything is drawn from it: the paint shows the old file or the new
  // one, never rows of both.
  if (followreplaceddatabase()) QTimer::singleShot(0, this, [this] { showreplacednotice(); });
  // Scrolled sideways, the grid is drawn that many columns further left.
  OffsetSurface shifted(surface, list ? (firstcolumn() - 1) * cellwidth : 0);
  currentsurface = &shifted;
  try {
    if (displaymode() == 1) {
      int y = 0;
      titlescreen("ARIAL", 50, y, 40, {15, 15, 12}, {4, 1, 0, 0}, kProgramTitle,
                  {databasetitle(), authorline(), std::string(kVersionLine) + " "},
                  demodatabaseopen() ? demoline() : sourceline());
    } else if (displaymode() == 2 && databaseopen()) {
      // Also an empty result: its title shows the count 0.  Rows whose
      // records cannot be read (the file shrank) stay empty.
      // A paint of part of the window (rows that scrolled in) draws the
      // text rows it covers and nothing else.
      int firstrow = 1, lastrow = 65535;
      if (!paintrect.isEmpty() && lineheight > 0) {
        int top = static_cast<int>(gridtop);
        firstrow = std::max(1, (paintrect.top() - top) / lineheight + 1);
        lastrow = std::max(firstrow, (paintrect.bottom() - top) / lineheight + 1);
      }
      std::string readerror;
      drawlist(firstvisible(), &readerror, firstrow, lastrow);
      if (!readerror.empty()) reportreaderror(std::string("Lesefehler: ") + readerror);
    }
  } catch (const IoError& e) {
    reportreaderror(std::string("Lesefehler: ") + e.what());
  }
  currentsurface = nullptr;
  // A new font or window size may change what fits; the bars follow after
  // the paint.
  if (barlayout() != shownbars()) QTimer::singleShot(0, this, [this] { updatescrollbar(); });
}

void TAW::clientmousedown(int x, int y, Qt::MouseButton button) {
  if ((button != Qt::LeftButton && button != Qt::RightButton) || lineheight == 0 || displaymode() != 2)
    return;
  if (!databaseopen()) return;
  // Each text row selects the entry drawn on it; the title, header and
  // criteria rows and the margin above the grid select nothing.
  if (y < static_cast<int>(gridtop)) return;
  int row = (y - static_cast<int>(gridtop)) / lineheight + 1;
  if (row < 4) return;
  std::int32_t index = firstvisible() + row - 4;
  clickline = index;
  if (index < 1 || index > resultcount) return;
  // The entry is the commands' object at once; the repaint only moves the
  // highlight to it.
  selectedline = index;
  selectedobject = resultlist[static_cast<std::size_t>(index)];
  currentobject = selectedobject;
  invalidate();
  // A right click selects the entry and offers its copies.
  if (button == Qt::RightButton) showentrymenu(client()->mapToGlobal(QPoint(x, y)));
}

void TAW::vscrolled(int from, int to) {
  int lh = lineheight;
  int d = to - from;
  int top = static_cast<int>(gridtop) + 3 * lh;  // first entry row
  int bottom = client()->height();
  if (hscrollbar != nullptr && hscrollbar->isVisible()) bottom = hscrollbar->geometry().top();
  int rows = lh > 0 ? (bottom - top) / lh : 0;  // entry rows wholly shown
  if (displaymode() != 2 || lh <= 0 || rows <= 0 || std::abs(d) >= rows) {
    invalidate();
    return;
  }
  // The bar lies over the right edge of the client area: its pixels are
  // not moved.
  int width = client()->width();
  if (vscrollbar != nullptr && vscrollbar->isVisible()) width = vscrollbar->geometry().left();
  client()->scroll(0, -d * lh, QRect(0, top, width, bottom - top));
  if (d > 0) {
    // The row cut by the bottom edge moved up: drawn again with the rows
    // that came in below it.
    int from_y = top + (rows - d) * lh;
    client()->update(QRect(0, from_y, client()->width(), bottom - from_y));
  }
}

void TAW::clientresized(int, int) {
  updatescrollbar();
  invalidate();
}
