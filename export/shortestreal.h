// The shortest decimal of a stored 6-byte real: the fixed-point text
// ([-]digits[.digits], no exponent) with the fewest digits after the point
// that reads back to the very same real, read the way the converters read
// a coordinate (the nearest long double, then toreal).  Of several such
// texts the one nearest the stored value is taken.  Zero is "0".
//
// This makes an export lossless: a coordinate that update stored from
// "13.4049876543" is written as 13.4049876543 (or a shorter text of the
// same real), where six decimals would be up to 5e-7 off.
#pragma once

#include <string>

#include "lib/support/real48.h"

// Room the text of any real needs (at most 2^127 or 2^-128 in fixed point).
inline constexpr std::size_t kShortestRealRoom = 192;

// Writes the text at p (room: kShortestRealRoom) and returns its end.
char* putshortestreal(char* p, const real& r);

// The same as a string.
std::string shortestreal(const real& r);

// Whether text, read as the converters read a coordinate, gives r.
bool readsbackas(std::string_view text, const real& r);
