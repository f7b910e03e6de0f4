// The two small files of the working directory: settings.dat (one 83-byte
// settings record) and fontpar.dat (47-byte font records: 0 the screen
// font, 4 the dialog font; 1 to 3 unused and left as they are).
//
// Nothing here throws or shows a notice: a missing, short or unreadable
// file reads as "not read" (the caller keeps its defaults), a failing
// write reports false and leaves the old file as it was.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "lib/support/fontrec.h"

inline constexpr char kSettingsFile[] = "settings.dat";
inline constexpr char kFontFile[] = "fontpar.dat";
inline constexpr std::int32_t kScreenFontIndex = 0;
inline constexpr std::int32_t kDialogFontIndex = 4;

// settings.dat record (little-endian):
//   offset size
//    0      2  labelchoice: 0 marker labels off, 1 on (other values: the
//              labelling dialog shows "off", the map page tests the low byte)
//    2     81  reserved: never interpreted; written back as read
#pragma pack(push, 1)
struct settingsrecord {
  std::uint16_t labelchoice;
  std::uint8_t reserved[81];
};
#pragma pack(pop)
static_assert(sizeof(settingsrecord) == 83, "settings record must be 83 bytes");
static_assert(offsetof(settingsrecord, reserved) == 2);
static_assert(std::endian::native == std::endian::little,
              "records are read by copying bytes; a big-endian port must swap");

// A record with every byte 0 (labels off).
settingsrecord emptysettings();

// Reads record 0 of `filename` into `settings`.  Returns false and leaves
// `settings` unchanged when the file is missing, shorter than 83 bytes or
// can't be read.
bool ReadSettings(const std::string& filename, settingsrecord& settings);

// Replaces `filename` by a file of exactly the one record (replacefile):
// written under a new temporary name in the same folder and renamed over
// the old file; where the folder can't take it, the existing file is
// rewritten in place.  Returns false when neither worked; the old file is
// then as it was, no temporary file stays behind and `reason` (when given)
// holds the system's text for the failure.
bool WriteSettings(const std::string& filename, const settingsrecord& settings,
                   std::string* reason = nullptr);

// readrecord of `filename`: false when the file can't be opened or read or
// holds no complete record `index`; `record` is unchanged then.
bool ReadFontRecord(const std::string& filename, std::int32_t index, fontrecord& record);

// writerecord of `filename`: creates the file empty when missing and
// writes only when it holds at least `index` records (replacing one or
// appending exactly at the end); every other byte stays as it was.  The
// file is replaced as WriteSettings replaces settings.dat.  False when
// nothing was written; `reason` then holds the system's text, or stays
// empty when the file was too short for the record.
bool WriteFontRecord(const std::string& filename, std::int32_t index, const fontrecord& record,
                     std::string* reason = nullptr);

// WriteFontRecord that first fills the records missing before `index`:
// record 0 with `screen` (the screen font in use), records 1 and up with
// defaultfontrecord().  Existing records keep their bytes.  False (with
// `reason`) only when the file can't be written.
bool StoreFontRecord(const std::string& filename, std::int32_t index, const fontrecord& record,
                     const fontrecord& screen, std::string* reason = nullptr);

// The sizes a font may have: what the font choice offers, and what a
// record read at start is held to.
inline constexpr int kFontSizeMin = 6;
inline constexpr int kFontSizeMax = 48;

// Record `index` of `filename` with the start-up limits (limitfontrecord),
// or defaultfontrecord() when it can't be read.
fontrecord StartupFontRecord(const std::string& filename, std::int32_t index);

// The record used when a font record can't be read: "Arial", weight 2,
// size 10, italic 1, angle 0, colour 0, charset 0.
fontrecord defaultfontrecord();

// The record with the start-up limits applied: name cut to 37 bytes, size
// held to kFontSizeMin..kFontSizeMax, weight above 10 -> 10, italic above
// 1 -> 0, angle of 360 or more either way -> 0, colour above 16 -> 0.
fontrecord limitfontrecord(const fontrecord& record);

// The font made at start from a record: limitfontrecord, then face name,
// size in points, italic, colour and charset (the weight is not applied:
// the font comes out regular).  A name of 3 bytes or fewer makes no font:
// the result has valid == false and the toolkit's default stays in use.
FontSpec startupfont(const fontrecord& record);
