// settings.dat and fontpar.dat with arbitrary contents: the reads take
// exactly the complete records, and the fonts made from any record keep
// the start-up limits.
#include <cstdint>
#include <cstring>
#include <string>

#include "app/core/settingsfiles.h"
#include "fuzz/fuzzfiles.h"
#include "lib/support/fontrec.h"

namespace {

void checklimits(const fontrecord& original) {
  fontrecord r = limitfontrecord(original);
  FUZZ_CHECK(r.name[0] <= kFontNameMax);
  for (std::size_t i = 1u + r.name[0]; i < sizeof r.name; ++i) FUZZ_CHECK(r.name[i] == 0);
  FUZZ_CHECK(r.size >= kFontSizeMin && r.size <= kFontSizeMax && r.weight <= 10 && r.italic <= 1);
  FUZZ_CHECK(r.angle > -360 && r.angle < 360 && r.colour <= 16);
  FUZZ_CHECK(r.charset == original.charset);
  // Values inside the limits stay as they were.
  if (original.size >= kFontSizeMin && original.size <= kFontSizeMax) FUZZ_CHECK(r.size == original.size);
  if (original.weight <= 10) FUZZ_CHECK(r.weight == original.weight);
  if (original.colour <= 16) FUZZ_CHECK(r.colour == original.colour);
  FUZZ_CHECK(fontrecordname(r) == fontrecordname(original).substr(0, kFontNameMax));
  fontrecord twice = limitfontrecord(r);
  FUZZ_CHECK(std::memcmp(&twice, &r, sizeof r) == 0);

  FontSpec f = startupfont(original);
  FUZZ_CHECK(f.name.size() <= kFontNameMax);
  FUZZ_CHECK(f.pointsize <= kFontSizeMax && f.height <= kFontSizeMax);
  FUZZ_CHECK(!f.bold);
  FUZZ_CHECK(f.italic == (r.italic != 0));
  FUZZ_CHECK(f.valid == (f.name.size() > 3));
  FUZZ_CHECK(f.charset == original.charset);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string settingspath = fuzzpath(kSettingsFile);
  const std::string fontpath = fuzzpath(kFontFile);
  writefile(settingspath, data, size);
  writefile(fontpath, data, size);

  settingsrecord s;
  std::memset(&s, 0xA5, sizeof s);
  const settingsrecord before = s;
  bool read = ReadSettings(settingspath, s);
  FUZZ_CHECK(read == (size >= sizeof s));
  if (read)
    FUZZ_CHECK(std::memcmp(&s, data, sizeof s) == 0);
  else
    FUZZ_CHECK(std::memcmp(&s, &before, sizeof s) == 0);

  for (std::int32_t index : {kScreenFontIndex, kDialogFontIndex, std::int32_t{2}}) {
    fontrecord r = defaultfontrecord();
    const fontrecord fallback = r;
    bool ok = ReadFontRecord(fontpath, index, r);
    std::size_t end = sizeof(fontrecord) * static_cast<std::size_t>(index + 1);
    FUZZ_CHECK(ok == (size >= end));
    if (ok)
      FUZZ_CHECK(std::memcmp(&r, data + end - sizeof r, sizeof r) == 0);
    else
      FUZZ_CHECK(std::memcmp(&r, &fallback, sizeof r) == 0);
    checklimits(r);
  }

  // Any 47 bytes, wherever they start, as a record.
  for (std::size_t at = 0; at + sizeof(fontrecord) <= size && at < 8 * sizeof(fontrecord); at += 13) {
    fontrecord r;
    std::memcpy(&r, data + at, sizeof r);
    checklimits(r);
  }

  // What is read back is what was written.
  if (read) {
    FUZZ_CHECK(WriteSettings(settingspath, s));
    settingsrecord back = emptysettings();
    FUZZ_CHECK(ReadSettings(settingspath, back) && std::memcmp(&back, &s, sizeof s) == 0);
    FUZZ_CHECK(readfile(settingspath).size() == sizeof s);
  }
  FUZZ_CHECK(!hastempfiles(fuzzdir()));
  return 0;
}
