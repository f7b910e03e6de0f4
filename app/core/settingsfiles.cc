#include "app/core/settingsfiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "lib/support/ioerror.h"
#include "lib/support/recordfile.h"
#include "lib/support/w1252.h"

namespace {

// A font file larger than this is no file of this program's records; it
// is only ever changed in place.
constexpr std::size_t kFontFileMax = 1 << 20;

std::string bytesof(const void* p, std::size_t n) { return std::string(static_cast<const char*>(p), n); }

// WriteFontRecord and StoreFontRecord.
bool putfontrecord(const std::string& filename, std::int32_t index, const fontrecord& record,
                   const fontrecord* screen, std::string* reason) {
  if (reason) reason->clear();
  if (index < 0) return false;
  try {
    std::string old;
    SmallFile kind = readsmallfile(filename, old, kFontFileMax);
    if (kind == SmallFile::other) {
      if (reason) *reason = std::string("keine gewöhnliche Datei"_w);
      return false;
    }
    if (kind == SmallFile::toolarge) {
      // Changed in place: never through a link, which may name any file.
      struct stat st {};
      if (::lstat(filename.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (reason)
          *reason = std::string("die Datei ist ein Link auf eine Datei über 1 MiB, keine Schriftdatei; "
                                "er wird nicht durch ihn hindurch geschrieben"_w);
        return false;
      }
      return writerecord(filename, index, record);
    }
    const std::size_t size = sizeof(fontrecord);
    const std::size_t count = old.size() / size;
    const auto at = static_cast<std::size_t>(index);
    if (at > count && screen == nullptr) {
      // The record can't go there without a gap: nothing is written; a
      // missing file is created empty, as writerecord does.
      if (kind == SmallFile::missing) {
        int fd = ::open(filename.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) ::close(fd);
      }
      return false;
    }
    std::string data = old;
    if (at >= count) {
      data.resize(count * size);
      for (std::size_t i = count; i < at; ++i) {
        fontrecord fill = i == 0 ? *screen : defaultfontrecord();
        data += bytesof(&fill, size);
      }
      data += bytesof(&record, size);
    } else {
      data.replace(at * size, size, bytesof(&record, size));
    }
    return replacefile(filename, data, reason);
  } catch (const IoError& e) {
    if (reason) *reason = e.what();
    return false;
  }
}

}  // namespace

settingsrecord emptysettings() {
  settingsrecord s;
  std::memset(&s, 0, sizeof s);
  return s;
}

bool ReadSettings(const std::string& filename, settingsrecord& settings) {
  // readfixedrecord reads record 0 only when the file holds all 83 bytes.
  try {
    return readfixedrecord(filename, 0, &settings, sizeof settings);
  } catch (const IoError&) {
    return false;
  }
}

bool WriteSettings(const std::string& filename, const settingsrecord& settings, std::string* reason) {
  return replacefile(filename, bytesof(&settings, sizeof settings), reason);
}

bool ReadFontRecord(const std::string& filename, std::int32_t index, fontrecord& record) {
  try {
    return readrecord(filename, index, record);
  } catch (const IoError&) {
    return false;
  }
}

bool WriteFontRecord(const std::string& filename, std::int32_t index, const fontrecord& record,
                     std::string* reason) {
  return putfontrecord(filename, index, record, nullptr, reason);
}

bool StoreFontRecord(const std::string& filename, std::int32_t index, const fontrecord& record,
                     const fontrecord& screen, std::string* reason) {
  return putfontrecord(filename, index, record, &screen, reason);
}

fontrecord StartupFontRecord(const std::string& filename, std::int32_t index) {
  fontrecord r = defaultfontrecord();
  if (!ReadFontRecord(filename, index, r)) return defaultfontrecord();
  return limitfontrecord(r);
}

fontrecord defaultfontrecord() {
  fontrecord r = emptyfontrecord();
  setfontrecordname(r, "Arial");
  r.weight = 2;
  r.size = 10;
  r.italic = 1;
  return r;
}

fontrecord limitfontrecord(const fontrecord& record) {
  fontrecord r = record;
  setfontrecordname(r, fontrecordname(record));  // length cut to 37, tail zeroed
  r.size = static_cast<std::uint16_t>(std::clamp<int>(r.size, kFontSizeMin, kFontSizeMax));
  if (r.weight > 10) r.weight = 10;
  if (r.italic > 1) r.italic = 0;
  if (r.angle >= 360 || r.angle <= -360) r.angle = 0;
  if (r.colour > 16) r.colour = 0;
  return r;
}

FontSpec startupfont(const fontrecord& record) {
  fontrecord r = limitfontrecord(record);
  FontSpec f = recordtofont(false, r);
  f.bold = false;
  f.valid = fontrecordname(r).size() > 3;
  return f;
}
