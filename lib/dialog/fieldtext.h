// The conversions behind the dialog's field readers (dlgfields.h), on the
// text already fetched from the control and trimmed.  No toolkit here, so
// the conversions can be checked on any text without a window.
//
// A real field may hold up to 20 characters, a whole-number field up to
// 10; a longer text is refused (with the field's message) instead of read
// cut.  Each sets ok and, when not ok, the field's message (uncut; the
// reader keeps the first 80 bytes); when ok the message is empty.
#pragma once

#include <cstdint>
#include <string>

#include "lib/support/real48.h"

// Real number (first comma = decimal point), minimum <= value <= maximum.
// "Realwert <value> muß >=<min> und <=<max> sein".
void realfieldtext(const std::string& text, real& value, real minimum, real maximum, bool& ok,
                   std::string& message);
// Whole number, "$" for hexadecimal; readable = it converted.
std::uint32_t cardfieldtext(const std::string& text, bool& readable);
// cardfieldtext read as signed, minimum <= value <= maximum.
// "Ganzzahl-Wert <value> muß >=<min> und <=<max> sein".
void intfieldtext(const std::string& text, std::int32_t& value, real minimum, real maximum, bool& ok,
                  std::string& message);
// A wide whole number (an NR cell's area or cell id) by strtowide, up to
// 15 characters, 0 <= value <= maximum; the message as intfieldtext's.
void widefieldtext(const std::string& text, std::uint64_t& value, std::uint64_t maximum, bool& ok,
                   std::string& message);
