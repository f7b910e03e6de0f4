// Notices, questions, status-line texts, trace lines and system error
// reports.  Callers never open a message window themselves; the switches
// below decide where each text goes.  Texts are Windows-1252, cut to 255
// bytes.  The windows themselves come from the platform layer
// (platform/messagewindows.h), so tests install a recording double.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Switches, fixed at their defaults by the program.
extern std::uint8_t messagetarget;     // 1; 0: notices go to the status line
extern std::uint8_t asktarget;         // 1; 0: questions go to the status line, answer Yes
extern std::uint8_t infobystddialog;   // 1; else the plain message box
extern std::uint8_t errorbystddialog;  // 1
extern std::uint8_t askbystddialog;    // 1
extern std::uint8_t statuspanel;       // 3
extern std::uint8_t tracetarget;       // 0 notice; 1 notice and TRACE.TXT; 2+ file only
extern std::uint8_t tracefileopen;     // 1 once TRACE.TXT was created
extern std::uint8_t showsystemerrors;  // 1
extern std::string lastsystemerror;    // last reported system error text
extern std::uint8_t beeponmessage;     // 0
extern std::uint8_t debugtrace;        // 0
extern std::uint8_t windowcreatetrace; // 0
extern std::uint8_t windowclosetrace;  // 0

// Receives status-line texts (none is assigned by the program: dropped).
class StatusLine {
 public:
  virtual ~StatusLine() = default;
  virtual int panelcount() const = 0;
  // Shows text in the panel exactly as given.
  virtual void setpaneltext(int panel, const std::string& text) = 0;
};
extern StatusLine* statusbar;

void infomessage(std::string_view text);
void errormessage(std::string_view text);
void errormessagetitled(std::string_view caption, std::string_view text);
bool askyesno(std::string_view text);
// " " + text into panel statuspanel of the status line; dropped when there
// is no status line or it has no such panel.
void statustext(std::string_view text);
void trace(std::string_view text);
void traceif(bool condition, std::string_view text);
void tracedebug(std::string_view text);
// "<code> <system text>", empty for code 0, cut to maxlen (<= 255).
std::string systemerrortext(int code, std::size_t maxlen = 255);
// Reads errno, returns it; reports prefix + ": " + text (see messages.cc).
int reportsystemerror(std::string_view prefix);
void reportsystemerrorif(bool condition, std::string_view prefix);
void beepif();
