// Library-wide state of the dialog library: switches that shape every
// dialog, the dialog font, the one-shot field hint and the hooks that the
// application may install.  All of it belongs to the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QPointer>

class QFont;
class QWidget;
class Tzodialog;

extern int opendialogcount;
extern QPointer<Tzodialog> currentdialog;   // set up last (hint panel on) or activated last
extern QPointer<Tzodialog> lastsetupdialog;
extern bool dialogcancelled;                // a dialog was closed with Cancel

// The font of all dialogs; nullptr: none was made, and dialogs use
// defaultdialogfont() instead.
const QFont* dialogfont();
// The font of the stored form description ("MS Sans Serif", 11 pixels, or
// the toolkit's substitute): what a dialog draws in without a dialog font,
// and what its metrics are then computed from.
QFont defaultdialogfont();
void setdialogfont(const QFont& f);
void cleardialogfont();

extern std::string oneshotfieldhint;  // used and emptied by the next one-field dialog
extern QWidget* tabsheetcontainer;    // when set, the next dialog builds on it
extern std::uint8_t defaulthintmode;  // copied into hintmode by every constructor (0)
extern std::uint8_t hintmode;         // >= 2: hints as tool tips; > 0 needed by the panel
extern std::uint8_t tooltipswitch;    // > 0: tool tips are shown
extern std::uint8_t hintpanelswitch;  // > 0: dialogs get a hint panel
extern bool thirdbutton1;             // off
extern bool thirdbutton2;             // armed (on); off after every button row
extern bool spinswitch;               // kind 10 gets a spin button (on)
extern bool dialognumberintitle;      // off
extern std::uint8_t exportmode;       // 1 file, 2 clipboard
extern bool sizeableswitch;           // off
extern bool systemmenuswitch;         // on
extern bool treepanelswitch;          // off; the next set-up adds a tree panel
extern std::uint8_t dialogtracelevel; // 0
extern std::uint8_t suppresserrortext;// > 0: fielderror shows no error text
extern bool texttranslation;          // off

extern std::int32_t currenthelpid;    // help id of the dialog shown last
struct dlgbounds { int left = 0, top = 0, right = 0, bottom = 0; };
extern dlgbounds lastdialogbounds;
extern int librarycw, libraryrowh2;   // cw and 2 * rowh of the last set-up

// The help file that F1 opens at its index (through platform/help.h).
extern std::string dialoghelpfile;  // "Turmscan.hlp"
// Hooks; empty by default.  The help hook answers whether the numbered
// topic was shown.
extern std::function<void(int dialogid)> dialogidhook;
extern std::function<bool(int topic)> helpcontexthook;
extern std::function<std::string(const std::string&)> translationhook;
extern std::function<void(const std::string& text, const QFont& font)> printhook;
// The window that owns dialogs constructed without owner.
extern QPointer<QWidget> applicationmainwindow;
