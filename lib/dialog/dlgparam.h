// The description of a dialog: one record per control in a table of 141
// records that the dialog owns, and the routines that fill it.
//
// Record 0 is the dialog header (outer position, size, title, background);
// records 1 to itemcount are the controls in creation and tab order.
// Positions and sizes are in character widths and row units until the
// dialog converts them to pixels (finishdlgparameter); the described id
// becomes the control's tag, and after set-up `id` holds the control id that
// the item-access routines (dlgitems.h) take.  Texts are Windows-1252 and
// are cut by the routines: captions to 80 bytes (buttons 40), hints to 255.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/support/real48.h"

class QWidget;
class QFont;
class QPixmap;

// Window-style bits as the descriptions use them.
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3;
inline constexpr std::uint32_t SS_CENTER = 0x1;
inline constexpr std::uint32_t LBS_SORT = 0x2;
inline constexpr std::uint32_t CBS_SORT = 0x100;
inline constexpr std::uint32_t ES_PASSWORD = 0x20;
inline constexpr std::uint32_t ES_MULTILINE = 0x4;
inline constexpr std::uint32_t ES_WANTRETURN = 0x1000;
inline constexpr std::uint32_t ES_DISABLED = 0x1000;       // single-line edits only
inline constexpr std::uint32_t ES_KEEPSELECTION = 0x40000;  // multi-line edits

inline constexpr int kDlgRecords = 141;  // records 0..140
inline constexpr int kMaxDlgItems = 140;

// Control kinds.
enum : std::uint16_t {
  kindnone = 0, kindlabel = 1, kindbutton = 2, kindlist = 3, kindcombo = 4, kindedit = 5,
  kindcheck = 6, kindradio = 7, kindbutton8 = 8, kindedit9 = 9, kindspinedit = 10,
  kindradiogroup = 11, kindgroup = 12, kindtree = 14, kindrichedit = 15
};

struct dlgparameter {
  QWidget* spincontrol = nullptr;  // kind 10: the spin button beside the edit
  QWidget* control = nullptr;      // the control made for this record (set-up)
  std::int32_t handle = 0;         // after set-up: the control's control id
  std::int32_t origid = 0;         // after set-up: the described id
  std::int32_t id = 0;             // described id; after set-up the control id
  std::uint32_t color = 0;         // 0x00BBGGRR; 0 = default (buttons: text colour)
  std::uint32_t style = 0;
  std::uint16_t kind = 0;
  std::uint16_t x = 0, y = 0, width = 0, height = 0, charwidth = 0;
  std::string caption;  // at most 80 bytes
  real minvalue{}, maxvalue{}, stepvalue{};
  std::uint8_t popupflag = 0;
  std::uint8_t groupindex = 0;
  std::uint8_t borderkind = 0, borderstyle = 0, bevelinner = 0, bevelouter = 0;
  std::uint8_t align = 0;  // 5: fill the container
  std::string hint;        // at most 255 bytes
  const QFont* font = nullptr;
  const QPixmap* picture = nullptr;
};

using dlgtable = std::array<dlgparameter, kDlgRecords>;

// Library-wide defaults copied into every new record.
extern std::uint8_t defaultborderkind, defaultborderstyle, defaultbevelinner, defaultbevelouter;

// Zeroes every record, then x 1, y 1, height 1, charwidth 10, id 0 and the
// border defaults; record 0 gets height 40 and charwidth 50.
void initdlgtable(dlgtable& t);

// A zero x, y, id, height, width or kind leaves that field as it was; an
// empty text leaves the caption.  Sets the style by kind (see dlgparam.cc).
void describeitem(int x, int y, int id, dlgparameter& p, std::uint32_t style, std::string_view text,
                  int height, int width, int kind);
void describelabel(int x, int y, int n, std::string_view text, int width, dlgparameter& p);
void describeedit(int x, int y, int n, std::string_view text, int width, dlgparameter& p);
void describememo(int x, int y, int n, std::string_view text, int height, int width, dlgparameter& p);
void describecheckbox(int x, int y, int n, std::string_view text, int width, dlgparameter& p);
void describeradio(int x, int y, int n, std::string_view text, int width, dlgparameter& p);
void describecombo(int x, int y, int n, dlgparameter& p, std::uint32_t style, int height, int width);
void describedroplist(int x, int y, int n, dlgparameter& p, int height, int width);
void describelist(int x, int y, int n, dlgparameter& p, std::uint32_t style, int height, int width);
// A push button centred on column cx, 2 rows high, 10 wide (with text
// translation: the translated length, 10 to 25).
void describebutton(int cx, int y, int id, std::string_view text, dlgparameter& p);
void describeok(int x, int y, dlgparameter& p);      // id 1 "OK"
void describecancel(int x, int y, dlgparameter& p);  // id 2 "Abbruch"
void describehelp(int x, int y, dlgparameter& p);    // id 12 "Hilfe"
// OK and Cancel at one and two thirds of width in records first and
// first + 1; with both third-button switches on, OK, Cancel and Help at the
// quarters and itemcount + 1.  The second switch is off afterwards.
void describebuttonrow(int width, int y, int first, std::uint16_t& itemcount, dlgtable& t);
void describeheader(int width, int height, std::string_view title, dlgtable& t);
void describeplace(int x, int y, int width, dlgparameter& p, std::string_view text, int height);
void sethint(dlgparameter& p, std::string_view text, std::string_view hint);
void copyhint(const dlgparameter& from, dlgparameter& to);
