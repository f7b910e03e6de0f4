// TZowindow: the base of the program's main window.  It adds a fixed
// set-up order with trace points, the state of a vertical and a horizontal
// scroll bar, a stack of up to ten nested views with a path-like caption
// ("Turmfinder/Liste"), help commands and busy-cursor handling.
//
// The client area (client()) is painted by the derived window through
// paintclient(); mouse and resize events arrive at the other client hooks.
// The derived window creates its controls and scroll bars itself (on the
// client area) and hands the bars to attachscrollbar().  setupwindow() is
// the base's own set-up, run at the end of construction; a derived window
// builds its controls after its constructor's base part has returned.
// No operation reports errors.  User-interface thread only.
#pragma once

#include <QEvent>
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/support/surface.h"
#include "lib/window/zoclient.h"
#include "lib/window/zoscrollbar.h"

// Scroll codes of a scroll report.
enum ScrollCode {
  kScrollLineUp = 0, kScrollLineDown, kScrollPageUp, kScrollPageDown, kScrollPosition,
  kScrollTrack, kScrollTop, kScrollBottom, kScrollEnd
};

struct ScrollState {
  std::int32_t previous = 1, position = 1, minimum = 1, maximum = 100;
  std::int32_t largestep = 20, smallstep = 1, viewvalue = 0;
  friend bool operator==(const ScrollState&, const ScrollState&) = default;
};

// One saved view.
struct ViewEntry {
  std::string title;
  std::uint16_t viewid = 0, viewitem = 0;
  std::int32_t viewtag = 0;
  bool mainvisible = false, vvisible = false, hvisible = false;
  ScrollState vstate{0, 0, 0, 0, 0, 0, 0}, hstate{0, 0, 0, 0, 0, 0, 0};
};

inline constexpr int kMaxViewLevel = 10;
// The large step a new vertical range starts from.
inline constexpr int kStandardLargeStep = 20;

// A design-time description for the create constructor.
struct FormDesign {
  std::string caption;  // Windows-1252
  int left = 0, top = 0, width = 640, height = 480;
};

class TZowindow;
extern TZowindow* currentwindow;    // the window that last ran setupwindow
extern QWidget* currenthandle;      // its handle
extern std::string captionsuffix;   // appended to every caption built from viewtitle
extern std::string lastviewname;    // name of the view last entered, <= 80 bytes
extern std::uint8_t nobottommargin; // 0; when set, bottommargin becomes 0
extern std::string programhelpfile; // "WINHELP.HLP": contents for help command 94

class TZowindow : public QMainWindow {
  Q_OBJECT
 public:
  // createnew: a white client area and the common initialisation.
  explicit TZowindow(QWidget* owner = nullptr);
  // create: the window as the design describes it, no colour change.
  TZowindow(QWidget* owner, const FormDesign& design);
  ~TZowindow() override;

  QWidget* windowhandle = nullptr;
  QWidget* statuscontrol = nullptr;
  QWidget* maincontrol = nullptr;  // hidden while a nested view is open
  QWidget* thirdcontrol = nullptr;
  std::uint8_t initialised = 0;
  std::uint8_t helpmode = 0;
  std::uint8_t htrack = 0, vtrack = 0;
  std::uint8_t vchanged = 0, hchanged = 0;
  std::uint16_t windownumber = 0;
  std::uint16_t viewitem = 0, viewid = 0;
  std::uint16_t viewlevel = 1;
  std::int32_t viewtag = 0;
  ScrollState vstate{1, 1, 1, 100, 20, 1, 0};
  ScrollState hstate{1, 1, 1, 100, 10, 1, 0};
  std::string aboutcaption;
  std::int32_t helpcontext = 0;
  std::string helpkeyword;
  std::string helpfile;
  std::uint8_t helpswitch = 0;  // help command 93 acts only when set
  std::string viewtitle;
  std::array<ViewEntry, kMaxViewLevel + 1> viewstack;
  tzoscrollbar* hscrollbar = nullptr;
  tzoscrollbar* vscrollbar = nullptr;
  void* extrareference = nullptr;

  TZoclient* client() const { return client_; }
  // While the client area paints: the rectangle the paint must cover
  // (client coordinates); empty outside a paint event, when everything is
  // to be drawn.
  QRect paintrect;

  // --- virtual operations ---------------------------------------------------
  // Scroll reports; position may be changed by an override.
  virtual void vscroll(QObject* sender, int code, int& position);
  virtual void hscroll(QObject* sender, int code, int& position);
  virtual void setupwindow();
  virtual bool canclose();
  virtual void submenu(std::uint16_t id, std::uint16_t item, std::string_view name);
  virtual void submenuscroll(std::uint16_t id, std::uint16_t item, std::string_view name,
                             int minimum, int maximum, int largestep, int smallstep,
                             int position, int viewvalue);
  virtual void submenuende();
  // Asked before the window closes; the base asks canclose().
  virtual bool closequery() { return canclose(); }

  // --- client hooks ----------------------------------------------------------
  virtual void paintclient(Surface&) {}
  // The vertical position moved from `from` to `to` (a scroll report that
  // changed it); the base repaints the whole client area.  A derived window
  // may move the pixels already drawn instead and repaint what came in.
  virtual void vscrolled(int /*from*/, int /*to*/) { invalidate(); }
  virtual void clientmousedown(int /*x*/, int /*y*/, Qt::MouseButton) {}
  virtual void clientresized(int /*width*/, int /*height*/) {}

  // Leaves the current view: restores the entry at viewlevel and rebuilds
  // caption and bars.
  void restoreview();
  // Only with a vertical bar: range and position, shown from a maximum of
  // 21 on.  The large step starts again from kStandardLargeStep, clamped to
  // the new span, so a short range before does not leave a small step.
  void setvscrollrange(int minimum, int maximum, int position);
  // Routes bar's reports to vscroll or hscroll (by its orientation).
  void attachscrollbar(tzoscrollbar* bar);
  // While the vertical bar is shown, Page Up/Down, Up and Down, Home and
  // End and the mouse wheel move it as its own buttons, trough and ends
  // would (a row, a page, the ends); while the horizontal bar is shown,
  // Left and Right move it a step.  False (nothing done) for other keys,
  // with modifiers, or while the key's bar is hidden.
  bool scrollbykey(int key, Qt::KeyboardModifiers modifiers);
  // angledelta in eighths of a degree (120 a notch; positive away from the
  // user, towards the top of the list).
  bool scrollbywheel(int angledelta);
  // Repaints the client area.
  void invalidate();
  // The caption built from viewtitle and captionsuffix.
  void updatecaption();

  // Help command messages 91..95 arrive as events of this type.
  static QEvent::Type helpeventtype(int message);

  // Drag and dock hooks; they accept nothing unless dragaccept is set.
  bool dragover();
  bool undock();
  void dockover() {}
  void dragdrop() {}
  void dockdrop() {}
  void startdrag() {}
  void startdock() {}
  void enddrag() {}
  void enddock() {}

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // Key and wheel events of the window and of its client area.
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  // Runs help command 91..95.
  void helpcommand(int message);

 private:
  void initialise();
  void scrollreport(QObject* sender, int code, int& position, bool vertical);
  ViewEntry currentview() const;
  void applysaved(tzoscrollbar* bar, ScrollState& s, bool visible);

  TZoclient* client_ = nullptr;
  int wheelrest_ = 0;  // wheel angle not yet turned into rows
};

// Hourglass pointer until normalcursor; the pointer it replaces is
// remembered process-wide.  Calls do not nest: a second busycursor is
// ignored, normalcursor without busycursor does nothing.
void busycursor(QWidget* control);
void normalcursor(QWidget* control);
