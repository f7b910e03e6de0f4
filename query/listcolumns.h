// The column layout of the result list, shared by the window's list and
// turmcli's grid output: where each column starts (1-based character
// column) and how many characters it owns.
//
// A column owns the characters of its widest value and one blank, so no
// value runs into the next column:
//   Nr, DatNr  grouped decimal up to "2.400.000" (the list's capacity)
//   Art        a type text, up to 10 characters ("Unbekannt")
//   Netz       net id and operator, "2 Vodafone" (a net id without an
//              operator is at most "65535 ")
//   Area       hexadecimal of 24 bits (an NR tracking area), "FFFFFF"
//   Cellid     hexadecimal of 36 bits (an NR cell identity), "FFFFFFFFF"
//   Länge      -180..180 with 6 decimals, "-180.000000"
//   Breite     -90..90 with 6 decimals, "-90.000000"
//   Range(m)   a signed 32-bit number, "-2147483648"
//   Dist       |dlon| + |dlat| of two such positions, "540.000000"
// Every start follows from the widths, so widening a column is a change of
// its one width constant.
#pragma once

#include <string_view>

namespace listcolumn {

inline constexpr int kNrWidth = 10;
inline constexpr int kDatNrWidth = 10;
inline constexpr int kArtWidth = 11;
inline constexpr int kNetzWidth = 11;
inline constexpr int kAreaWidth = 7;
inline constexpr int kCellidWidth = 10;
inline constexpr int kLaengeWidth = 12;
inline constexpr int kBreiteWidth = 11;
inline constexpr int kRangeWidth = 12;
inline constexpr int kDistWidth = 11;

// Column 1 is the left margin.
inline constexpr int kNr = 2;
inline constexpr int kDatNr = kNr + kNrWidth;
inline constexpr int kArt = kDatNr + kDatNrWidth;
inline constexpr int kNetz = kArt + kArtWidth;
inline constexpr int kArea = kNetz + kNetzWidth;
inline constexpr int kCellid = kArea + kAreaWidth;
inline constexpr int kLaenge = kCellid + kCellidWidth;
inline constexpr int kBreite = kLaenge + kLaengeWidth;
inline constexpr int kRange = kBreite + kBreiteWidth;
inline constexpr int kDist = kRange + kRangeWidth;

// Characters of the widest line: the Dist column with its blank, which
// also serves as the right margin.
inline constexpr int kLineWidth = kDist + kDistWidth - 1;

// The characters numbers of the list are written with (decimal, grouped,
// fixed point and hexadecimal).  A grid cell as wide as the widest of them
// in the screen font holds any number of its column.
inline constexpr std::string_view kNumberCharacters = "0123456789ABCDEF.-";

}  // namespace listcolumn
