// Notices, questions, status-line texts, trace lines and system error
// reports, routed by the process-wide switches.

#include "lib/support/messages.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "lib/support/ioerror.h"
#include "lib/support/recordfile.h"
#include "platform/messagewindows.h"

std::uint8_t messagetarget = 1;
std::uint8_t asktarget = 1;
std::uint8_t infobystddialog = 1;
std::uint8_t errorbystddialog = 1;
std::uint8_t askbystddialog = 1;
std::uint8_t statuspanel = 3;
std::uint8_t tracetarget = 0;
std::uint8_t tracefileopen = 0;
std::uint8_t showsystemerrors = 1;
std::string lastsystemerror;
std::uint8_t beeponmessage = 0;
std::uint8_t debugtrace = 0;
std::uint8_t windowcreatetrace = 0;
std::uint8_t windowclosetrace = 0;
StatusLine* statusbar = nullptr;

namespace {

constexpr std::size_t kTextCap = 255;
constexpr std::size_t kCaptionCap = 80;

std::string capped(std::string_view s, std::size_t cap) {
  return std::string(s.substr(0, s.size() < cap ? s.size() : cap));
}

// TRACE.TXT, open from the first file line until the process ends.
TextFile& tracefile() {
  static TextFile file;
  return file;
}

}  // namespace

void infomessage(std::string_view text) {
  std::string t = capped(text, kTextCap);
  if (messagetarget == 0) {
    statustext(t);
    return;
  }
  if (infobystddialog)
    messagewindows().standarddialog(MsgKind::Information, t);
  else
    messagewindows().plainbox(std::string("Mitteilung"), t, MsgIcon::Warning, false);
}

void errormessagetitled(std::string_view caption, std::string_view text) {
  std::string t = capped(text, kTextCap);
  if (messagetarget == 0) {
    statustext(t);
    return;
  }
  if (errorbystddialog)
    messagewindows().standarddialog(MsgKind::Error, t);
  else
    messagewindows().plainbox(capped(caption, kCaptionCap), t, MsgIcon::Stop, false);
}

void errormessage(std::string_view text) { errormessagetitled("FEHLER", text); }

bool askyesno(std::string_view text) {
  std::string t = capped(text, kTextCap);
  if (asktarget == 0) {
    statustext(t);
    return true;
  }
  if (askbystddialog) return messagewindows().standarddialog(MsgKind::Confirm, t);
  return messagewindows().plainbox(std::string(), t, MsgIcon::Question, true);
}

void statustext(std::string_view text) {
  if (statusbar == nullptr) return;
  // A bar without the panel gets nothing (no other panel is overwritten).
  int count = statusbar->panelcount();
  if (count <= static_cast<int>(statuspanel)) return;
  statusbar->setpaneltext(statuspanel, capped(" " + std::string(text), kTextCap + 1));
}

void trace(std::string_view text) {
  std::string t = capped(text, kTextCap);
  if (tracetarget < 2) messagewindows().standarddialog(MsgKind::Information, t);
  if (tracetarget > 0) {
    TextFile& file = tracefile();
    if (!tracefileopen) {
      if (!createtextfile("TRACE.TXT", file))
        throw IoError(errno ? errno : EIO, "TRACE.TXT cannot be created");
      tracefileopen = 1;
    }
    writetextline(file, t);
    file.flush();
  }
}

void traceif(bool condition, std::string_view text) {
  if (condition) trace(text);
}

void tracedebug(std::string_view text) {
  if (debugtrace) trace(text);
}

std::string systemerrortext(int code, std::size_t maxlen) {
  if (code == 0) return std::string();
  if (maxlen > kTextCap) maxlen = kTextCap;
  // The system text is English ASCII from the C library; 250 bytes at most.
  std::string systext = capped(std::strerror(code), 250);
  return capped(std::to_string(code) + " " + systext, maxlen);
}

int reportsystemerror(std::string_view prefix) {
  int code = errno;
  errno = 0;  // a later report must not repeat this error
  if (code == 0) {
    lastsystemerror.clear();
    return 0;
  }
  lastsystemerror = capped(std::string(prefix) + ": " + systemerrortext(code), kTextCap);
  if (showsystemerrors) errormessage(lastsystemerror);
  return code;
}

void reportsystemerrorif(bool condition, std::string_view prefix) {
  if (condition) reportsystemerror(prefix);
}

void beepif() {
  if (beeponmessage) messagewindows().beep();
}
