// TAW: the program's main window.  It shows the start page (display mode 1,
// menu 101) or the result list (display mode 2, menu 102), paints both
// itself through the text grid, maps clicks on the list to entries, and
// hands every menu command to MenuCommand (app/commands.cc).
//
// A read error on the database while painting or clicking is reported once
// through the error notice; nothing is read while no database is open.
#pragma once

#include <QShortcut>
#include <cstdint>
#include <string>
#include <vector>

#include "app/waysin.h"

#include "lib/window/zomenu.h"
#include "lib/window/zostatusbar.h"
#include "lib/window/zowindow.h"

class TAW : public TZowindow {
  Q_OBJECT
 public:
  // CreateNew: caption, status-bar height, SetupWindow, menu 101.
  explicit TAW(QWidget* owner = nullptr);
  ~TAW() override;

  // displaymode is the base's viewid, menuid its viewitem.
  std::uint16_t displaymode() const { return viewid; }
  std::uint16_t menuid() const { return viewitem; }

  tzostatusbar* mainstatusbar = nullptr;
  bool created = false;        // the paint handler does nothing before
  bool databasefailed = false; // the database could not be opened at start

  // The close question and what is written at the end.
  bool CloseQuery();
  bool closequery() override { return CloseQuery(); }

  // Builds menu `id` from DescribeMenu and makes it the menu bar.
  void ShowMenu(int id);
  // The one handler of every menu item.
  void MenuCommand(QObject* sender);
  // Runs the command with this tag as if its menu item was chosen.
  void runcommand(int tag);
  // Daten » "Export einlesen…" (65), "Tages-Diff einspielen…" (66):
  // app/importcommands.cc.
  void importcommand(int tag);

  // When the database could not be opened at start: the notice was shown
  // by SetupWindow; asks the close question.  Returns false when the
  // program is to end.
  bool startupcheck();
  // The same for a start from the launcher: when the working folder holds
  // no database file at all, the offer of the ways in (waysindlg.h)
  // instead of the close question; a way that made the files opens
  // germtowers.dat as "Turmfinder in Deutschland" does.  "Beenden" or a
  // failed way returns false.  A database file that is there but could
  // not be opened is the user's: startupcheck() as in a folder start.
  bool startupoffer(const std::vector<wayin>& ways);

  // Before a database file is opened (at start, Daten » ...): finishes the
  // replacement of the database pair that a killed run left, trying the
  // folder lock for at most timeoutms.  Returns the text to show ("" when
  // there was nothing to do); busy is set when another run is replacing
  // the files right now.  app/databasefiles.cc.
  std::string settlepair(int timeoutms, bool& busy);
  // When the file under the open database's name was replaced (an update
  // ran beside the window) or has grown: the pair is settled, the new
  // file opened and its whole list started anew with nothing selected, as
  // after a switch, and the notice with the new count is kept for
  // showreplacednotice.  Nothing happens when nothing changed or the new
  // file can't be opened; while another run is still replacing the
  // files, the open file stays and a repaint tries again shortly.  What
  // is drawn comes from one file, the old or the new.  Returns whether it
  // opened the new file.
  bool followreplaceddatabase();
  // Sets the scroll range of the new list and shows the kept notice;
  // false when there was none (already shown).
  bool showreplacednotice();

  // Nothing selected: after every new list (selection, search, database
  // switch) until the user clicks an entry.  A read failure of the old list
  // may be reported again.
  void forgetselection();
  // The record of the selected list entry, the one drawn red: the object
  // of the map commands and the centre of the object search.  Without one
  // (nothing clicked since the list was made) a notice says so and false
  // is returned; an empty database gets its own notice.
  bool selectedrecord(std::int32_t& recno);
  // The vertical scroll range of the list: 1..resultcount at position 1,
  // then the bars' visibility (updatescrollbar).
  void setlistrange();
  // The scroll bars of the list view (app/listbars.cc), with the metrics
  // of the last paint: the vertical bar is shown exactly when the entries
  // do not all fit the client area, the horizontal one at the bottom
  // exactly when the widest line does not fit its width.  Each bar takes
  // its thickness from the room of the other.  A bar that goes takes its
  // scrolling with it (the list back at its first entry, its first column).
  void updatescrollbar();
  // List rows wholly inside the client area below title, header and
  // criteria line (and above the horizontal bar when it is shown).
  int fittingrows() const;
  // First list index drawn (the vertical scroll position; 0 counts as 1).
  std::int32_t firstvisible() const;
  // First character column drawn at the left edge (the horizontal scroll
  // position, from 1).
  int firstcolumn() const { return hstate.position < 1 ? 1 : hstate.position; }

  // "Liste exportieren…": every entry of the list, in list order, as CSV,
  // GeoJSON or KML (the type chosen in the save dialog, or the one the
  // name's extension names), the bytes turmcli prints for the same list;
  // written under a temporary name and renamed when complete, with a
  // progress dialog and "Abbrechen" for long lists (app/listoutput.cc).
  void exportlist();
  // What a copy of the selected entry takes: the row with its column
  // names (tab-separated, two lines), or one of its map links.
  enum { kCopyRow = 0, kCopyGoogle = 1, kCopyOsm = 2 };
  // Puts the selected entry (as `what` says) on the clipboard; without a
  // selected entry the notice of selectedrecord.
  void copyentry(int what);
  // The text copyentry puts on the clipboard for list entry `index`.
  // Throws IoError when its record can't be read.
  std::string entrytext(std::int32_t index, int what);
  // The context menu of a list row at global position where: its copies.
  void showentrymenu(const QPoint& where);
  // Whether the open database is the demo database of made-up cells (its
  // first records are the demo's); the start page then says so and names
  // the way to real data.
  bool demodatabaseopen() const;

  void paintclient(Surface& surface) override;
  void clientmousedown(int x, int y, Qt::MouseButton button) override;
  void clientresized(int width, int height) override;
  // A scrolled list moves the rows already drawn by whole lines and draws
  // only the rows that came in; anything else repaints the whole area.
  void vscrolled(int from, int to) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetupWindow();
  void showhelpindex();
  // Reports a read error of the paint once per list (forgetselection
  // allows the next report).
  void reportreaderror(const std::string& what);
  // Empties the hint panel (a menu closed, the pointer left the menu bar).
  void clearhint();
  // What updatescrollbar makes of the bars.
  struct BarLayout {
    bool vertical = false, horizontal = false;
    int lastcolumn = 1;  // horizontal maximum: the first column that shows the line's end
    int pagecolumns = 1;  // columns in view
    friend bool operator==(const BarLayout&, const BarLayout&) = default;
  };
  BarLayout barlayout() const;
  BarLayout shownbars() const;

  std::string replacednotice_;
  // While above 0 the open database file is kept even when another run
  // replaced it (a list is being written from it).
  int holdfile_ = 0;
  int lastexporttype_ = 0;
  QShortcut* copy_ = nullptr;
  QShortcut* f1_ = nullptr;
  bool readerrorshown_ = false;
};

// Fills the description of menu `id`: 101 start page, 102 list, 20 to 23
// submenus, any other "Zurück" alone.
void DescribeMenu(int id, MenuDescription& d, PictureList& pictures);
