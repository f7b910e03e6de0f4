// Reading a whole number from an option the way the cell selection dialog
// reads its number fields: the text trimmed, then "$" followed by one to
// eight hexadecimal digits, or the decimal / "x" / "0x" syntax of
// strtolong.  The value is taken as signed 32 bits and must lie in
// minimum..maximum.
//
// The dialog only ever looks at the first 10 characters of a field; here a
// longer text is refused as unreadable rather than read cut short, so
// "12345678901" never turns into 1234567890.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class numberstatus { kOk, kUnreadable, kOutOfRange };

// value receives the number only when the status is kOk.
numberstatus readnumberfield(std::string_view text, std::int32_t minimum, std::int32_t maximum,
                             std::int32_t& value);

// The one-line complaint for a failed read of `text` given for option
// `name` (Windows-1252): "--net: "abc" ist keine lesbare Zahl" or the
// dialog's range message "Ganzzahl-Wert 70000 muß >=0 und <=65535 sein".
std::string numberfielderror(std::string_view name, std::string_view text, numberstatus status,
                             std::int32_t minimum, std::int32_t maximum);

// The same for the wide keys (the 24-bit area and 36-bit cell id of NR
// cells): strtowide's syntax, at most 15 characters (the dialog field's
// room), 0..maximum.
numberstatus readwidefield(std::string_view text, std::uint64_t maximum, std::uint64_t& value);

// numberfielderror for readwidefield (minimum 0).
std::string widefielderror(std::string_view name, std::string_view text, numberstatus status,
                           std::uint64_t maximum);
