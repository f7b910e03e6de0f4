// Field readers: read a control's text, convert it to a number and check
// its range; and the error reaction that keeps a dialog open.
//
// Each reader sets ok.  The first failing reader of a check stores its
// control id in errorid (which the caller sets to 0 before the first
// reader) and its message in fielderrortext; later failures leave both.
// A real field may hold up to 20 characters (trimmed), a whole-number
// field up to 10; a longer text fails the check with the field's message
// (naming the text as typed) instead of being read cut.
#pragma once

#include <cstdint>
#include <string>

#include "lib/support/real48.h"

class QWidget;
class Tzodialog;

// The message of the first failed check, at most 80 bytes; emptied by the
// base canclose and by fielderror.
extern std::string fielderrortext;

// Real number (first comma = decimal point), minimum <= value <= maximum.
// Message: "Realwert <value> muß >=<min> und <=<max> sein".
void getrealfield(QWidget* dialoghandle, std::int32_t id, real& value, real minimum, real maximum,
                  bool& ok, std::int32_t& errorid);
// Whole number, "$" for hexadecimal; no range check and no message.
void getcardfield(QWidget* dialoghandle, std::int32_t id, std::uint32_t& value, bool& ok);
// getcardfield read as signed; minimum <= value <= maximum.
// Message: "Ganzzahl-Wert <value> muß >=<min> und <=<max> sein".
void getintfield(QWidget* dialoghandle, std::int32_t id, std::int32_t& value, real minimum,
                 real maximum, bool& ok, std::int32_t& errorid);
// getintfield with 16-bit bounds; value changes only when ok.
void getwordfield(QWidget* dialoghandle, std::int32_t id, std::uint16_t minimum, std::uint16_t maximum,
                  std::uint16_t& value, bool& ok, std::int32_t& errorid);
// A wide whole number 0..maximum (widefieldtext); value changes only when ok.
void getwidefield(QWidget* dialoghandle, std::int32_t id, std::uint64_t maximum, std::uint64_t& value,
                  bool& ok, std::int32_t& errorid);

// Focus to the control (when the dialog has it), "Fehler" as a notice (or
// a beep), then fielderrortext under the caption "Eingabefehler" when
// showtext and the suppress switch allow; fielderrortext is emptied.
void fielderror(Tzodialog* dialog, std::int32_t id, bool showtext);
