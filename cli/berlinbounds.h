// The Berlin box: the part of the German cells that goes into
// berlintowers.dat.  Bounds are inclusive and compared on the decimal
// values (not on the rounded 6-byte reals).
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::string_view kBerlinLonMin = "13.08";
inline constexpr std::string_view kBerlinLonMax = "13.77";
inline constexpr std::string_view kBerlinLatMin = "52.33";
inline constexpr std::string_view kBerlinLatMax = "52.68";

// The same bounds in millionths of a degree, for generated coordinates.
inline constexpr std::int64_t kBerlinLonMinMicro = 13'080'000;
inline constexpr std::int64_t kBerlinLonMaxMicro = 13'770'000;
inline constexpr std::int64_t kBerlinLatMinMicro = 52'330'000;
inline constexpr std::int64_t kBerlinLatMaxMicro = 52'680'000;

inline bool inberlinmicro(std::int64_t lon, std::int64_t lat) {
  return lon >= kBerlinLonMinMicro && lon <= kBerlinLonMaxMicro && lat >= kBerlinLatMinMicro &&
         lat <= kBerlinLatMaxMicro;
}

// Whether the decimal texts lon, lat (with their parsed doubles) lie in the
// box.  Exact: only when a double equals a bound's double is the text
// compared digit by digit.
bool inberlin(std::string_view lontext, double lon, std::string_view lattext, double lat);
