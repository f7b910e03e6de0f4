// Tzodialog: a modal dialog built at run time from its parameter table.
//
// An application dialog derives from Tzodialog, fills `parameters` and the
// counts in its constructor (dlgparam.h), then calls setupwindow(), whose
// override first runs the inherited one (controls now exist, record ids
// hold control ids) and then writes the current values into the controls
// (dlgitems.h).  Its canclose override reads them back (dlgfields.h) when
// OK, OK-and-continue, Yes or No is pressed; an answer of false keeps the
// dialog open with modal result 0.  Cancel closes with result 2 and no
// check.  Enter and Escape press no button; Enter in an edit moves to the
// next control.  The dialog is shown with exec() (showmodal()); it opens
// centred on the window it belongs to (placement 1; on the screen when it
// belongs to none) or in its parent's client area (placement 2), and
// always within the screen.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QDialog>
#include <QPointer>

#include "lib/dialog/dlgglobals.h"
#include "lib/dialog/dlgparam.h"

class QLabel;

// Modal results of the buttons (by button id).
inline constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7, mrOkWeiter = 116;

class Tzodialog : public QDialog {
  Q_OBJECT

 public:
  // owner nullptr: the application's main window (applicationmainwindow).
  explicit Tzodialog(QWidget* owner = nullptr);
  ~Tzodialog() override;

  virtual void setupwindow();
  virtual bool canclose();
  virtual void zusatzbutton();  // extra button (id 11): nothing
  virtual void helpbutton();    // help button (id 12)
  virtual void printdescription();

  // Converts records 0 to itemcount of table to pixels and creates the
  // controls of records 1 to itemcount on container (group boxes first).
  void finishdlgparameter(QWidget* container, int cw, int lh, dlgtable& table, int itemcount, int rowh);

  int showmodal() { return exec(); }
  int modalresult() const { return modalresult_; }
  // The record whose described id is describedid (after set-up), or nullptr.
  dlgparameter* findrecord(std::int32_t describedid);

  QWidget* container = nullptr;
  QPointer<Tzodialog> previousdialog;
  QWidget* containerhandle = nullptr;
  std::uint16_t dialogid = 0;
  std::uint16_t cw = 0, lh = 0, rowh = 0;
  std::uint16_t fieldcount = 0, imagecount = 0, itemcount = 0, treeheight = 0;
  std::int16_t imageleft = 5, imagetop = 5;
  std::uint8_t nonmodal = 0, helpactive = 0, istabsheetdialog = 0, placement = 1;
  dlgtable* parameters2 = nullptr;
  std::unique_ptr<dlgtable> parameters;
  std::vector<QLabel*> images;
  QLabel* hintpanel = nullptr;
  QWidget* treepanel = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  // Closing through the window frame counts as Cancel.
  void reject() override;
  void buttonclicked(int tag);

 private:
  // Room left on the screen for the window frame around the client area.
  static constexpr int kFrameAllowanceWidth = 16, kFrameAllowanceHeight = 40;

  QWidget* createcontrol(dlgparameter& p, QWidget* parent);
  // The available area of the screen the dialog opens on.
  QRect screenarea() const;
  // Shrinks cw, lh, rowh and the font when the described window would not
  // fit its screen (a huge dialog font), so that no control is off-screen.
  void fittoscreen();
  bool wantshintpanel() const;
  void dressedit(QWidget* w, const dlgparameter& p, bool multiline);
  void makehintpanel();
  void placewindow();
  void bindbuttons();
  void fillaligned();

  int modalresult_ = 0;
  bool enternavigation_ = true;
  std::vector<QWidget*> filling_;  // controls with align 5
};

// The chief header also brings the item access, field readers and metrics.
#include "lib/dialog/dlgfields.h"
#include "lib/dialog/dlgitems.h"
#include "lib/dialog/dlgmetrics.h"
