#include "lib/support/recordfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "lib/support/ioerror.h"

namespace {

[[noreturn]] void fail(const std::string& filename, const char* what, int code) {
  throw IoError(code ? code : EIO, filename + ": " + what);
}

// Closes fd when the scope ends; an explicit close() reports errors.
class Fd {
 public:
  explicit Fd(int fd, const std::string& name) : fd_(fd), name_(name) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  void close() {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(name_, "close failed", errno);
  }

 private:
  int fd_;
  const std::string& name_;
};

// File size in whole records.
std::int64_t recordcount(const Fd& fd, const std::string& filename, std::size_t size) {
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) fail(filename, "size query failed", errno);
  return static_cast<std::int64_t>(st.st_size) / static_cast<std::int64_t>(size);
}

}  // namespace

bool readfixedrecord(const std::string& filename, std::int32_t n, void* record, std::size_t size) {
  Fd fd(::open(filename.c_str(), O_RDONLY | O_CLOEXEC), filename);
  if (fd.get() < 0) return false;
  // A folder (or other non-file) of that name opens but is no record file.
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  bool ok = n >= 0 && recordcount(fd, filename, size) > n;
  if (ok) {
    std::vector<unsigned char> buffer(size);
    off_t at = static_cast<off_t>(n) * static_cast<off_t>(size);
    std::size_t got = 0;
    while (got < size) {
      ssize_t r = ::pread(fd.get(), buffer.data() + got, size - got, at + static_cast<off_t>(got));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) fail(filename, "read failed", errno);
      if (r == 0) fail(filename, "record cut short", EIO);
      got += static_cast<std::size_t>(r);
    }
    std::memcpy(record, buffer.data(), size);
  }
  fd.close();
  return ok;
}

bool writefixedrecord(const std::string& filename, std::int32_t n, const void* record,
                      std::size_t size) {
  // O_CREAT without O_TRUNC: an existing file is opened as it is.
  Fd fd(::open(filename.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666), filename);
  if (fd.get() < 0) return false;
  bool ok = n >= 0 && recordcount(fd, filename, size) >= n;
  if (ok) {
    const auto* bytes = static_cast<const unsigned char*>(record);
    off_t at = static_cast<off_t>(n) * static_cast<off_t>(size);
    // The old bytes of the record (none when it is appended), to put back
    // when the write stops halfway (a full disk, a file size limit).
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) fail(filename, "size query failed", errno);
    const off_t oldsize = st.st_size;
    std::vector<unsigned char> old(oldsize > at ? std::min<std::size_t>(size, static_cast<std::size_t>(oldsize - at)) : 0);
    for (std::size_t got = 0; got < old.size();) {
      ssize_t r = ::pread(fd.get(), old.data() + got, old.size() - got, at + static_cast<off_t>(got));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) fail(filename, "read failed", r < 0 ? errno : EIO);
      got += static_cast<std::size_t>(r);
    }
    std::size_t put = 0;
    while (put < size) {
      ssize_t r = ::pwrite(fd.get(), bytes + put, size - put, at + static_cast<off_t>(put));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) {
        int code = r < 0 ? errno : EIO;
        // Nothing half written: the file gets back its old length and the
        // old bytes of the part that was already replaced.
        std::size_t back = std::min(put, old.size());
        if (back > 0) (void)!::pwrite(fd.get(), old.data(), back, at);
        if (at + static_cast<off_t>(put) > oldsize) (void)!::ftruncate(fd.get(), oldsize);
        fail(filename, "write failed", code);
      }
      put += static_cast<std::size_t>(r);
    }
  }
  fd.close();
  return ok;
}

bool readrecord(const std::string& filename, std::int32_t n, fontrecord& record) {
  return readfixedrecord(filename, n, &record, sizeof record);
}

bool writerecord(const std::string& filename, std::int32_t n, const fontrecord& record) {
  return writefixedrecord(filename, n, &record, sizeof record);
}

TextFile::~TextFile() {
  if (file_) std::fclose(file_);
}

void TextFile::flush() {
  if (file_ && std::fflush(file_) != 0) fail(name_, "write failed", errno);
}

void TextFile::close() {
  if (!file_) return;
  std::FILE* f = file_;
  file_ = nullptr;
  if (std::fclose(f) != 0) fail(name_, "close failed", errno);
}

bool createtextfile(const std::string& filename, TextFile& file) {
  if (file.file_) {
    std::fclose(file.file_);
    file.file_ = nullptr;
  }
  file.file_ = std::fopen(filename.c_str(), "wb");
  file.name_ = filename;
  return file.file_ != nullptr;
}

void writetextline(TextFile& file, std::string_view text) {
  if (!file.file_) fail(file.name_, "file not open", EBADF);
  if (std::fwrite(text.data(), 1, text.size(), file.file_) != text.size() ||
      std::fwrite("\r\n", 1, 2, file.file_) != 2)
    fail(file.name_, "write failed", errno);
}
