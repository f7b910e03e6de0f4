// Stock dialogs on Tzodialog: one-line text input, choice box, about box
// and rename dialog.  Each entry routine constructs its dialog, shows it
// modally and frees it; the caller's values change only when the dialog
// ends with OK (modal result 1), and the routine then answers true.
// Texts are Windows-1252.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lib/dialog/zodialog.h"

inline constexpr int kMaxChoices = 31;  // entry indices 0..30

// The one-field layout: label (id 200) and edit (id 300) on row 2, OK
// (okid, oktext) and Cancel on row 5, a row below the edit's lower edge;
// fieldcount 1, itemcount 4.  Uses and empties the one-shot field hint.
void describeonefield(int labelwidth, int fieldwidth, int okid, const std::string& oktext,
                      std::uint16_t& fieldcount, std::uint16_t& itemcount, dlgtable& t);

class TTextinputdlg : public Tzodialog {
  Q_OBJECT
 public:
  TTextinputdlg(QWidget* owner, const std::string& title, const std::string& prompt,
                std::string* target, std::uint8_t minlength, std::uint8_t maxlength);
  void setupwindow() override;
  bool canclose() override;

  std::string title, prompt;
  std::string* target;
  std::uint8_t maxlength, minlength;
};

// An empty prompt shows the title as the label.  Accepts texts (trimmed)
// of minlength to maxlength characters; others keep the dialog open.
void textinput(QWidget* owner, const std::string& title, const std::string& prompt,
               std::uint8_t minlength, std::uint8_t maxlength, std::string& text, bool& ok);

// The caller's layout widths (character widths).
struct choicelayout {
  int labelwidth = 20;    // prompt label
  int fieldwidth = 20;    // drop-down list and list box
  int buttoncolumn = 2;   // column of the radio buttons and check boxes
  int entrywidth = 20;    // width of a radio button or check box
};

class tauswahlboxdlg : public Tzodialog {
  Q_OBJECT
 public:
  // boxmode 0 drop-down list, 1 list box, 2 radio buttons, 3 check boxes.
  tauswahlboxdlg(QWidget* owner, const std::string& title, const std::string& prompt,
                 const std::vector<std::string>& entries, const std::vector<std::string>& entryhints,
                 int first, int last, std::uint8_t boxmode, std::uint16_t choice,
                 const std::uint8_t* flags, const choicelayout& layout);
  void setupwindow() override;
  bool canclose() override;

  std::uint16_t choice;                         // result of modes 0 to 2
  std::array<std::uint8_t, kMaxChoices> flags{};  // result of mode 3, by entry index
  std::array<std::string, kMaxChoices> entries, entryhints;
  std::uint16_t first, last;
  std::uint8_t boxmode;

 private:
  QWidget* listcontrol() const;
  int count() const { return last + 1 - first; }
};

// first..last within 0..30 (others are clamped).  choice is the position
// within the shown entries; flags (mode 3) one byte per entry index.
bool choicebox(QWidget* owner, const std::string& title, const std::string& prompt,
               const std::vector<std::string>& entries, const std::vector<std::string>& entryhints,
               int first, int last, std::uint8_t boxmode, std::uint16_t& choice, std::uint8_t* flags,
               const choicelayout& layout);

// Two entries as radio buttons (the marker-labelling form).
bool choicebox2(QWidget* owner, const std::string& title, const std::string& prompt,
                const std::string& entry0, const std::string& entry1, int labelwidth, int entrywidth,
                int buttoncolumn, std::uint16_t& choice);

class xTaboutdlg : public Tzodialog {
  Q_OBJECT
 public:
  xTaboutdlg(QWidget* owner, const std::string& title, const std::vector<std::string>& lines,
             int linecount, int textwidth);
  void setupwindow() override;

  std::uint16_t linecount;
  std::array<std::string, 5> lines;
  std::string title;
};

// Up to five centred lines and an OK button.
void aboutbox(QWidget* owner, const std::string& title, const std::vector<std::string>& lines,
              int linecount, int textwidth);

class tnamereplacedlg : public Tzodialog {
  Q_OBJECT
 public:
  tnamereplacedlg(QWidget* owner, std::string* oldname, std::string* newname);
  void setupwindow() override;
  bool canclose() override;

  std::string* oldname;
  std::string* newname;
};

// Both names (at most 40 characters, trimmed) must be non-empty.
bool namereplace(QWidget* owner, std::string& oldname, std::string& newname);
