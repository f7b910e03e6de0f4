#include "lib/dialog/dlgfields.h"

#include <QWidget>

#include "lib/dialog/dlgglobals.h"
#include "lib/dialog/dlgitems.h"
#include "lib/dialog/zodialog.h"
#include "lib/support/messages.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "platform/messagewindows.h"

std::string fielderrortext;

namespace {
// What the converters read: a real of up to 20 characters, a whole number
// of up to 10.  A field holding more is refused with its message rather
// than read cut (a cut "000000000123456" would be 1).
constexpr std::size_t kRealChars = 20;
constexpr std::size_t kCardChars = 10;
// The text is fetched in full (up to the edit limit of 255) so that the
// length check sees what the user typed.
constexpr int kFetchChars = 255;
constexpr std::size_t kFetchCapacity = 255;

// A text that is no number at all is named as typed in the message: the
// converted value (0) would claim that a valid number was out of range.
std::string shownvalue(bool readable, const std::string& number, const std::string& text) {
  return readable ? number : text;
}

void seterror(std::int32_t& errorid, std::int32_t id, const std::string& message) {
  if (errorid != 0) return;
  errorid = id;
  fielderrortext = cut(message, 80);
}

// getcardfield, also handing back the text read and whether it converted.
std::uint32_t readcard(QWidget* dialoghandle, std::int32_t id, std::string& text, bool& readable) {
  getitemtexttrimmed(kFetchChars, dialoghandle, id, text, kFetchCapacity);
  if (text.size() > kCardChars) {
    readable = false;
    return 0;
  }
  int error = 0;
  std::uint32_t v = strtocard(text, error);
  readable = error == 0;
  return v;
}
}  // namespace

void getrealfield(QWidget* dialoghandle, std::int32_t id, real& value, real minimum, real maximum,
                  bool& ok, std::int32_t& errorid) {
  std::string text;
  getitemtexttrimmed(kFetchChars, dialoghandle, id, text, kFetchCapacity);
  int errpos = 0;
  long double v = text.size() > kRealChars ? 0.0L : strtoreal(text, errpos);
  if (text.size() > kRealChars) errpos = static_cast<int>(kRealChars) + 1;
  value = toreal(v);
  bool readable = errpos == 0;
  ok = readable && toext(minimum) <= v && v <= toext(maximum);
  if (!ok)
    seterror(errorid, id,
             "Realwert " + shownvalue(readable, realtogeneral(v), text) + std::string(" muß >="_w) +
                 realtogeneral(minimum) + " und <=" + realtogeneral(maximum) + " sein");
}

void getcardfield(QWidget* dialoghandle, std::int32_t id, std::uint32_t& value, bool& ok) {
  std::string text;
  value = readcard(dialoghandle, id, text, ok);
}

void getintfield(QWidget* dialoghandle, std::int32_t id, std::int32_t& value, real minimum,
                 real maximum, bool& ok, std::int32_t& errorid) {
  std::string text;
  bool readable = false;
  value = static_cast<std::int32_t>(readcard(dialoghandle, id, text, readable));
  long double v = value;
  ok = readable && toext(minimum) <= v && v <= toext(maximum);
  if (!ok)
    seterror(errorid, id,
             "Ganzzahl-Wert " + shownvalue(readable, longtostr(value), text) +
                 std::string(" muß >="_w) + realtostr(1, 0, minimum) + " und <=" +
                 realtostr(1, 0, maximum) + " sein");
}

void getwordfield(QWidget* dialoghandle, std::int32_t id, std::uint16_t minimum, std::uint16_t maximum,
                  std::uint16_t& value, bool& ok, std::int32_t& errorid) {
  std::int32_t temp = 0;
  getintfield(dialoghandle, id, temp, toreal(minimum), toreal(maximum), ok, errorid);
  if (ok) value = static_cast<std::uint16_t>(temp & 0xFFFF);
}

void fielderror(Tzodialog* dialog, std::int32_t id, bool showtext) {
  if (dialog)
    if (QWidget* w = getitemcontrol(dialog->containerhandle, id)) w->setFocus(Qt::OtherFocusReason);
  if (beeponmessage) messagewindows().beep();
  else infomessage("Fehler");
  if (suppresserrortext == 0 && showtext && !fielderrortext.empty())
    errormessagetitled("Eingabefehler", fielderrortext);
  fielderrortext.clear();
}
