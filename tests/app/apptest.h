// Helpers for the program tests: the real main window TAW on Qt's
// offscreen platform, started in the test's scratch working directory with
// the platform doubles installed, and the ways a user reaches it (menu
// items by tag, clicks on text rows, modal dialogs answered from timers).
//
// Every fixture starts from the process-wide state of a fresh program:
// resetprogram() clears the database, the selection, the list, the grid
// and the program's own values.
#pragma once

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/core/appstate.h"
#include "app/taw.h"
#include "celldb/database.h"
#include "ingest/demodb.h"
#include "ingest/prepare.h"
#include "lib/dialog/dlgglobals.h"
#include "lib/dialog/zodialog.h"
#include "lib/support/messages.h"
#include "lib/support/recordingsurface.h"
#include "lib/support/textgrid.h"
#include "lib/support/w1252.h"
#include "maps/mappage.h"
#include "platform/qt/qttext.h"
#include "platform/testing/recording.h"
#include "query/criteria.h"
#include "query/listcolumns.h"
#include "query/liststate.h"

namespace apptest {

namespace fs = std::filesystem;
using namespace listcolumn;

inline void ensureapp() {
  static int argc = 1;
  static char name[] = "turmfinder_test";
  static char* argv[] = {name, nullptr};
  if (!qApp) new QApplication(argc, argv);
}

// Every process-wide value the program keeps, back to its start value.
inline void resetprogram() {
  closedatabase();
  dbfilename = "germtowers.dat";
  towercount = 0;
  resultcount = 0;
  criteria = ttowerrec{};
  tolerancelon = toreal(0.2L);
  tolerancelat = toreal(0.33L);
  selectedline = 0;
  selectedobject = 0;
  currentobject = 0;
  surroundingresult = false;
  mapcentrelon = real{};
  mapcentrelat = real{};
  resetappstate();
  resetgrid();
  oneshotfieldhint.clear();
  debugtrace = 0;
  windowcreatetrace = 0;
  windowclosetrace = 0;
}

// Polls cond while the event loop runs; true as soon as it holds.
inline bool waitfor(const std::function<bool()>& cond, int ms = 3000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QTest::qWait(5);
  }
  return true;
}

// Runs act on the next modal dialog of the dialog library as soon as it is
// shown.  The action must close it.  The timer gives up after a few
// seconds, so a dialog that never comes cannot be answered by accident
// in a later test.
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(Tzodialog*)> act) : act_(std::move(act)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (++ticks_ > 1000) {
        timer_.stop();
        return;
      }
      auto* d = qobject_cast<Tzodialog*>(QApplication::activeModalWidget());
      if (d == nullptr || !d->isVisible()) return;
      timer_.stop();
      answered = true;
      act_(d);
    });
    timer_.start();
  }
  bool answered = false;

 private:
  std::function<void(Tzodialog*)> act_;
  QTimer timer_;
  int ticks_ = 0;
};

// The control of the dialog record with the described id.
inline QWidget* itemof(Tzodialog* d, int describedid) {
  dlgparameter* p = d->findrecord(describedid);
  return p ? p->control : nullptr;
}
inline void clickbutton(Tzodialog* d, int buttonid) {
  if (QWidget* b = itemof(d, buttonid)) QTest::mouseClick(b, Qt::LeftButton);
}

// One text of a recorded paint, placed on the grid.
struct Piece {
  int column = 0, line = 0;
  std::string text;
  Rgb colour;
};

// What one paint drew, by text line.
struct Screen {
  std::vector<Piece> pieces;
  std::vector<RecordingSurface::Call> fills;

  // The line as characters at their columns (later texts overwrite),
  // trailing blanks removed.
  std::string line(int n) const {
    std::string s;
    for (const Piece& p : pieces) {
      if (p.line != n) continue;
      std::size_t at = static_cast<std::size_t>(p.column - 1);
      if (s.size() < at + p.text.size()) s.resize(at + p.text.size(), ' ');
      s.replace(at, p.text.size(), p.text);
    }
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }
  // The text placed exactly at (column, line); "<none>" when none.
  std::string at(int column, int n) const {
    for (const Piece& p : pieces)
      if (p.line == n && p.column == column) return p.text;
    return "<none>";
  }
  bool hasline(int n) const {
    for (const Piece& p : pieces)
      if (p.line == n) return true;
    return false;
  }
  int lines() const {
    int m = 0;
    for (const Piece& p : pieces) m = std::max(m, p.line);
    return m;
  }
  // Lines whose texts were drawn in the colour.
  std::vector<int> linesincolour(Rgb c) const {
    std::vector<int> out;
    for (const Piece& p : pieces)
      if (p.colour == c && (out.empty() || out.back() != p.line)) out.push_back(p.line);
    return out;
  }
};

// Counts the paint events the desktop sends to a widget (none forced by
// the test).
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) : w_(w) { w_->installEventFilter(this); }
  ~PaintCounter() override { w_->removeEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == w_ && e->type() == QEvent::Paint) ++count;
    return false;
  }

 private:
  QWidget* w_;
};

// The records of a database file, read with plain file access.
inline std::vector<ttowerrec> readallrecords(const std::string& name) {
  std::vector<ttowerrec> out;
  std::ifstream in(name, std::ios::binary);
  ttowerrec r;
  while (in.read(reinterpret_cast<char*>(&r), sizeof r)) out.push_back(r);
  return out;
}

inline void writebytes(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string readbytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline const char* kDemoDir = "demo-cache";
inline constexpr int kDemoCount = 2000;

// The demo database of kDemoCount records, made once per test program.
inline void makedemocache() {
  if (fs::exists(fs::path(kDemoDir) / "germtowers.dat")) return;
  fs::create_directories(kDemoDir);
  demoresult r = writedemodatabase(kDemoDir, kDemoCount);
  ASSERT_TRUE(r.ok) << r.error;
}

inline const char* kSampleDir = "sample-cache";

// The sample data converted once per test program; false when the sample
// is missing.
inline bool makesamplecache() {
  static int state = 0;  // 0 unknown, 1 ready, 2 missing
  if (state == 0) {
    std::string csv = TURM_SHARED_DIR "/data/opencellid-sample.csv";
    if (!fs::exists(csv)) {
      state = 2;
    } else if (fs::exists(fs::path(kSampleDir) / "germtowers.dat")) {
      state = 1;
    } else {
      fs::create_directories(kSampleDir);
      prepareoptions o;
      o.csvpath = csv;
      o.dir = kSampleDir;
      state = preparedatabase(o).ok ? 1 : 2;
    }
  }
  return state == 1;
}

// The program's files of the working directory.
inline void removeprogramfiles() {
  std::error_code ec;
  for (const char* f : {"germtowers.dat", "berlintowers.dat", "settings.dat", "fontpar.dat",
                        "celltowers.html"})
    fs::remove_all(f, ec);
}

// The fixture: the doubles are installed before the window exists and
// removed after it is gone.
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureapp();
    removeprogramfiles();
    resetprogram();
  }
  void TearDown() override {
    window.reset();
    // Pending deferred deletions and notices belong to this test.
    QApplication::processEvents();
    resetprogram();
    removeprogramfiles();
  }

  // Database files of the demo data in the working directory.
  void usedemo(bool berlin = true) {
    makedemocache();
    fs::copy_file(fs::path(kDemoDir) / "germtowers.dat", "germtowers.dat",
                  fs::copy_options::overwrite_existing);
    if (berlin)
      fs::copy_file(fs::path(kDemoDir) / "berlintowers.dat", "berlintowers.dat",
                    fs::copy_options::overwrite_existing);
  }

  // Creates and shows the main window as the program entry does.
  void start() {
    window = std::make_unique<TAW>();
    window->resize(900, 640);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  // The menu item with this tag in the current menu bar, or nullptr.
  TMenuItem* item(int tag) const {
    return window->findChild<TMenuItem*>(QString("menuitem_%1").arg(tag));
  }
  // Chooses the menu item; false when the current menus have none.
  bool choose(int tag) {
    TMenuItem* i = item(tag);
    if (i == nullptr) return false;
    i->trigger();
    return true;
  }
  // The captions of the menu bar (Windows-1252), in order.
  std::vector<std::string> barcaptions() const {
    std::vector<std::string> out;
    for (QAction* a : window->menuBar()->actions()) out.push_back(fromqstring(a->text()));
    return out;
  }

  // A real paint of the client area through the Qt painter.
  QImage paint() {
    QImage img(window->client()->size(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    window->client()->render(&img);
    return img;
  }
  // A paint onto a recording surface of the client's size.
  Screen record() {
    RecordingSurface s(window->client()->width(), window->client()->height());
    window->paintclient(s);
    Screen out;
    for (const RecordingSurface::Call& c : s.calls) {
      if (c.kind == RecordingSurface::Kind::Fill) out.fills.push_back(c);
      if (c.kind != RecordingSurface::Kind::Text) continue;
      Piece p;
      pixeltocell(c.x - gridleft, c.y - gridtop, p.column, p.line);
      p.text = c.text;
      p.colour = c.colour;
      out.pieces.push_back(p);
    }
    return out;
  }
  // The pixel height of the middle of text row n, after a real paint.
  int rowmiddle(int n) {
    paint();
    return gridtop + (n - 1) * lineheight + lineheight / 2;
  }
  // A left click on text row n of the list.
  void clickrow(int n, int x = 60) {
    int y = rowmiddle(n);
    QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(x, y));
    paint();
  }
  // The same click with no paint after it: what the click itself did.
  void clickonly(int n, int x = 60) {
    int y = rowmiddle(n);
    QTest::mouseClick(window->client(), Qt::LeftButton, {}, QPoint(x, y));
  }

  // A database file of the first n records of the demo data as
  // germtowers.dat.
  void usesmalldemo(int n) {
    makedemocache();
    std::string all = readbytes((fs::path(kDemoDir) / "germtowers.dat").string());
    writebytes("germtowers.dat", all.substr(0, static_cast<std::size_t>(n) * sizeof(ttowerrec)));
  }

  // Notices shown so far with this text.
  int notices(const std::string& text) const {
    int n = 0;
    for (const auto& c : messages.calls)
      if (c.text == text) ++n;
    return n;
  }
  // Notices and errors shown (questions not counted).
  int noticecount() const {
    int n = 0;
    for (const auto& c : messages.calls)
      if (c.type == RecordingMessageWindows::Call::Standard && c.kind != MsgKind::Confirm) ++n;
    return n;
  }

  RecordingMessageWindows messages;
  RecordingShell shell;
  RecordingHelp help;
  ScriptedFontDialog fonts;
  std::unique_ptr<TAW> window;
};

}  // namespace apptest
