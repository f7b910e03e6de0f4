// The menu builder.  The application describes every menu by number
// (MenuProvider) and gives one click handler; buildmainmenu asks the
// provider for the top menu and, recursively, for every submenu, and sets
// the finished menu bar on the owner window.  Every leaf item is a
// TMenuItem whose tag is its command number; choosing it calls the click
// handler with the item as sender.  Built submenus are QMenus named
// "Pulldown" + counter, counted across the process in the order they are
// finished (a submenu's own submenus first).
//
// Automatic access keys are on: within every menu and the menu bar, each
// item without an "&" of its own gets one before a letter that no other
// item of that menu uses (the first letters of words first), so that
// Alt+D opens "Daten»".  The shown text (QAction::text(), QMenu::title())
// carries the "&"; TMenuItem::caption keeps the caption as described.
#pragma once

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kMaxMenuItems = 25;

// Item flags of a description.
inline constexpr std::uint16_t kMenuSubmenu = 16;    // opens a submenu; caption + "»"
inline constexpr std::uint16_t kMenuRadio = 32;      // with 16: radio item
inline constexpr std::uint16_t kMenuChecked = 8;     // checked; caption + " C"
inline constexpr std::uint16_t kMenuAutoCheck = 64;  // checks itself; caption + " A"
inline constexpr std::uint16_t kMenuDisabled = 128;
inline constexpr std::uint16_t kMenuSeparator = 2048;  // exactly this value

// One menu as the provider describes it; items 1..count live at index
// 0..count-1 of the arrays.  Texts are Windows-1252.
struct MenuDescription {
  std::uint8_t count = 0;
  std::array<std::uint16_t, kMaxMenuItems> commands{};
  std::array<std::uint16_t, kMaxMenuItems> seconds{};  // not read by the builder
  std::array<std::uint16_t, kMaxMenuItems> flags{};
  std::array<std::string, kMaxMenuItems> captions;  // at most 40 bytes
  std::array<std::string, kMaxMenuItems> hints;     // at most 120 bytes

  void clear() { *this = MenuDescription{}; }
};
// Value i (from 1) is the picture number of item i, 0 for none.
using PictureList = std::array<std::uint16_t, kMaxMenuItems + 1>;

using MenuProvider = std::function<void(int menunumber, MenuDescription&, PictureList&)>;
using ClickHandler = std::function<void(QObject* sender)>;
// Receives the hint of the menu item under the pointer.
using HintHandler = std::function<void(const std::string& hint)>;

// --- description operations (index from 1; above 25 counts as 25, below 1
// as 1) -----------------------------------------------------------------
// Stores command and caption (cut to 40); the hint is the given one (cut
// to 100) or the caption when that is empty, stored cut to 120.
void setmenuitem(int index, std::uint16_t command, std::string_view caption,
                 std::string_view hint, MenuDescription& d);
void addmenuitem(int& index, std::uint16_t command, std::string_view caption,
                 std::string_view hint, MenuDescription& d);
// setmenuitem with the caption as hint, then flag 16.
void setsubmenuitem(int index, std::uint16_t command, std::string_view caption,
                    MenuDescription& d);
void addsubmenuitem(int& index, std::uint16_t command, std::string_view caption,
                    MenuDescription& d);

// The builder's working form of one item.
struct MenuItemRecord {
  std::uint16_t command = 0;
  std::uint16_t submenu = 0;  // 0: none
  std::uint16_t picture = 0;
  int shortcut = 0;           // Qt key code, 0 for none
  bool checked = false, isdefault = false, enabled = true, radio = false;
  bool autocheck = false, visible = true;
  int pictureindex = -1;
  int helpcontext = 0;
  int groupindex = 0;
  bool newcolumn = false;
  std::string caption;  // at most 80 bytes
  std::string hint;     // at most 255 bytes
};
// Converts item i (from 0) of a description into its record.
MenuItemRecord menuitemrecord(const MenuDescription& d, const PictureList& pictures, int i);

// A leaf menu item: its tag is the command number.
class TMenuItem : public QAction {
  Q_OBJECT
 public:
  explicit TMenuItem(QObject* parent = nullptr) : QAction(parent) {}
  int tag = 0;
  int helpcontext = 0;
  int groupindex = 0;
  int pictureindex = -1;
  bool isdefault = false;
  bool newcolumn = false;
  std::string hint;     // Windows-1252
  std::string caption;  // Windows-1252, as built
};

// Options for owner drawing and pictures; the program uses neither.
struct MenuDrawOptions {
  bool ownerdraw = false;
  bool pictures = false;
  std::vector<QIcon> picturehandles;
};

// Process-wide builder state.
extern int pulldowncounter;   // submenus built so far
extern int menupicturecount;  // 0: no item shows a picture
// Receives item hints when the pointer moves over an item; none by default.
extern HintHandler menuhinthandler;

// Builds menu menunumber with all its submenus and makes it owner's menu
// bar (replacing the old one).  An empty description gives one item whose
// caption is a single blank.  Returns the bar.
QMenuBar* buildmainmenu(QMainWindow* owner, int menunumber, const MenuProvider& provider,
                        const ClickHandler& onclick, const MenuDrawOptions& options = {});

// Builds submenu menunumber as a QMenu titled caption (Windows-1252) and
// named "Pulldown" + counter; parent owns it.
QMenu* buildpulldownmenu(QWidget* parent, int menunumber, const MenuProvider& provider,
                         const ClickHandler& onclick, const std::string& caption,
                         int helpcontext, const MenuDrawOptions& options = {});
