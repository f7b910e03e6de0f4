#include "lib/dialog/dlgfields.h"

#include <QWidget>

#include "lib/dialog/dlgglobals.h"
#include "lib/dialog/fieldtext.h"
#include "lib/dialog/dlgitems.h"
#include "lib/dialog/zodialog.h"
#include "lib/support/messages.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "platform/messagewindows.h"

std::string fielderrortext;

namespace {
// The text is fetched in full (up to the edit limit of 255) so that the
// length check of the conversion (fieldtext.h) sees what the user typed.
constexpr int kFetchChars = 255;
constexpr std::size_t kFetchCapacity = 255;

void seterror(std::int32_t& errorid, std::int32_t id, const std::string& message) {
  if (errorid != 0) return;
  errorid = id;
  fielderrortext = cut(message, 80);
}

// The trimmed text of control id.
std::string fieldtext(QWidget* dialoghandle, std::int32_t id) {
  std::string text;
  getitemtexttrimmed(kFetchChars, dialoghandle, id, text, kFetchCapacity);
  return text;
}
}  // namespace

void getrealfield(QWidget* dialoghandle, std::int32_t id, real& value, real minimum, real maximum,
                  bool& ok, std::int32_t& errorid) {
  std::string message;
  realfieldtext(fieldtext(dialoghandle, id), value, minimum, maximum, ok, message);
  if (!ok) seterror(errorid, id, message);
}

void getcardfield(QWidget* dialoghandle, std::int32_t id, std::uint32_t& value, bool& ok) {
  value = cardfieldtext(fieldtext(dialoghandle, id), ok);
}

void getintfield(QWidget* dialoghandle, std::int32_t id, std::int32_t& value, real minimum,
                 real maximum, bool& ok, std::int32_t& errorid) {
  std::string message;
  intfieldtext(fieldtext(dialoghandle, id), value, minimum, maximum, ok, message);
  if (!ok) seterror(errorid, id, message);
}

void getwordfield(QWidget* dialoghandle, std::int32_t id, std::uint16_t minimum, std::uint16_t maximum,
                  std::uint16_t& value, bool& ok, std::int32_t& errorid) {
  std::int32_t temp = 0;
  getintfield(dialoghandle, id, temp, toreal(minimum), toreal(maximum), ok, errorid);
  if (ok) value = static_cast<std::uint16_t>(temp & 0xFFFF);
}

void getwidefield(QWidget* dialoghandle, std::int32_t id, std::uint64_t maximum, std::uint64_t& value,
                  bool& ok, std::int32_t& errorid) {
  std::string message;
  widefieldtext(fieldtext(dialoghandle, id), value, maximum, ok, message);
  if (!ok) seterror(errorid, id, message);
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
