#include "lib/support/recordfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

namespace {

// openregular's result for a name that is there but no regular file.
constexpr int kNotRegular = -2;

// Opens an existing file with `flags` without blocking, whatever it is,
// and keeps it only when it is a regular file (then in blocking mode
// again).  -1 when it can't be opened (errno tells why), kNotRegular for
// a folder, FIFO, device or socket.
int openregular(const std::string& filename, int flags) {
  int fd = ::open(filename.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == EISDIR || errno == ENXIO ? kNotRegular : -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return kNotRegular;
  }
  int fl = ::fcntl(fd, F_GETFL);
  if (fl != -1) (void)::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
  return fd;
}

// Writes all of data at `at`; false with errno set (EIO for a write that
// wrote nothing) when it stops.
bool pwriteall(int fd, const unsigned char* data, std::size_t size, off_t at) {
  std::size_t put = 0;
  while (put < size) {
    ssize_t r = ::pwrite(fd, data + put, size - put, at + static_cast<off_t>(put));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      if (r == 0) errno = EIO;
      return false;
    }
    put += static_cast<std::size_t>(r);
  }
  return true;
}

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
  Fd fd(openregular(filename, O_RDONLY), filename);
  if (fd.get() < 0) return false;
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
  // Never through a link: O_NOFOLLOW makes a link of that name fail (ELOOP).
  int opened = openregular(filename, O_RDWR | O_NOFOLLOW);
  // Created empty only when there is nothing of that name yet.
  if (opened == -1 && errno == ENOENT)
    opened = ::open(filename.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  Fd fd(opened, filename);
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

SmallFile readsmallfile(const std::string& filename, std::string& contents, std::size_t maxbytes) {
  contents.clear();
  int opened = openregular(filename, O_RDONLY);
  if (opened == kNotRegular) return SmallFile::other;
  if (opened < 0) return errno == ENOENT ? SmallFile::missing : SmallFile::other;
  Fd fd(opened, filename);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) fail(filename, "size query failed", errno);
  if (static_cast<std::uint64_t>(st.st_size) > maxbytes) return SmallFile::toolarge;
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    ssize_t r = ::pread(fd.get(), bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) fail(filename, "read failed", errno);
    if (r == 0) break;  // cut short meanwhile: what is there
    got += static_cast<std::size_t>(r);
  }
  bytes.resize(got);
  fd.close();
  contents = std::move(bytes);
  return SmallFile::regular;
}

namespace {

constexpr std::uint64_t kInPlaceMax = 1 << 20;

// The in-place half of replacefile: rewrites fd from the first byte in
// which data differs from old, cuts it to data's length and syncs; on a
// failure the old bytes and length go back.  Returns 0 or the errno.
int rewriteinplace(int fd, const std::string& old, std::string_view data) {
  std::size_t from = 0;
  while (from < old.size() && from < data.size() && old[from] == data[from]) ++from;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  int code = 0;
  if (!pwriteall(fd, bytes + from, data.size() - from, static_cast<off_t>(from)))
    code = errno;
  else if (data.size() < old.size() && ::ftruncate(fd, static_cast<off_t>(data.size())) != 0)
    code = errno;
  else if (::fsync(fd) != 0)
    code = errno;
  if (code == 0) return 0;
  // Nothing half written: the old bytes from `from` on and the old length.
  const auto* oldbytes = reinterpret_cast<const unsigned char*>(old.data());
  if (from < old.size()) (void)pwriteall(fd, oldbytes + from, old.size() - from, static_cast<off_t>(from));
  (void)!::ftruncate(fd, static_cast<off_t>(old.size()));
  return code;
}

}  // namespace

bool replacefile(const std::string& filename, std::string_view data, std::string* reason) {
  auto failed = [&](int code) {
    if (reason) *reason = systemreason(code ? code : EIO);
    return false;
  };
  int firstcode = 0;
  {
    struct stat st {};
    if (::stat(filename.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      if (S_ISDIR(st.st_mode)) return failed(EISDIR);
      if (reason) *reason = std::string("keine gewöhnliche Datei"_w);
      return false;
    }
    atomicfile f;
    f.setbuffersize(data.size());  // small files: no megabyte buffer for 83 bytes
    if (f.create(filename)) {
      try {
        f.write(data.data(), data.size());
        f.finish();
        if (f.commit()) return true;
        firstcode = f.errorcode();
      } catch (const IoError& e) {
        firstcode = e.code();
      }
    } else {
      firstcode = f.errorcode();
    }
  }
  // The safe replacement did not work: the file itself, where it can be
  // written, but never through a link (that would change the file it
  // points to, wherever that is).
  int opened = openregular(filename, O_RDWR | O_NOFOLLOW);
  if (opened < 0 && errno == ELOOP) {
    if (reason)
      *reason = systemreason(firstcode ? firstcode : EIO) +
                std::string(" (die Datei ist ein Link und wird nicht durch ihn hindurch geschrieben)"_w);
    return false;
  }
  if (opened < 0) return failed(firstcode);
  Fd fd(opened, filename);
  std::string old;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return failed(errno);
  // The old contents are held to be put back; a file far larger than the
  // small files this is meant for is left alone.
  if (static_cast<std::uint64_t>(st.st_size) > kInPlaceMax) return failed(firstcode);
  old.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  while (got < old.size()) {
    ssize_t r = ::pread(fd.get(), old.data() + got, old.size() - got, static_cast<off_t>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return failed(errno);
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  old.resize(got);
  int code = rewriteinplace(fd.get(), old, data);
  if (code != 0) return failed(code);
  try {
    fd.close();
  } catch (const IoError& e) {
    return failed(e.code());
  }
  return true;
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
