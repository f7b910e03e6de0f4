#include "app/core/settingsfiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "lib/support/ioerror.h"
#include "lib/support/recordfile.h"

namespace {

// Writes all of data to fd; false on any failure.
bool writeall(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t put = 0;
  while (put < size) {
    ssize_t r = ::write(fd, bytes + put, size - put);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    put += static_cast<std::size_t>(r);
  }
  return true;
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

bool WriteSettings(const std::string& filename, const settingsrecord& settings) {
  std::string temp = filename + ".tmp";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = writeall(fd, &settings, sizeof settings);
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = std::rename(temp.c_str(), filename.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool ReadFontRecord(const std::string& filename, std::int32_t index, fontrecord& record) {
  try {
    return readrecord(filename, index, record);
  } catch (const IoError&) {
    return false;
  }
}

bool WriteFontRecord(const std::string& filename, std::int32_t index, const fontrecord& record) {
  try {
    return writerecord(filename, index, record);
  } catch (const IoError&) {
    return false;
  }
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
  if (r.size > 400) r.size = 400;
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
