#include "lib/support/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

namespace {

std::string syserror(int code) { return systemreason(code); }

}  // namespace

std::string systemreason(int code) { return utf8ToW1252(std::strerror(code)); }

std::string joinpath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

atomicfile::~atomicfile() { discard(); }

bool atomicfile::create(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return create("", path);
  return create(slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1));
}

bool atomicfile::create(const std::string& dir, const std::string& name) {
  discard();
  dir_ = dir.empty() ? "." : dir;
  // A name without folder stays as it is in messages.
  target_ = joinpath(dir, name);
  struct stat st {};
  if (::stat(dir_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    code_ = ENOENT;
    error_ = std::string("Verzeichnis "_w) + pathtext(dir_) + std::string(" existiert nicht"_w);
    return false;
  }
  const bool replaces = ::stat(target_.c_str(), &st) == 0;
  if (replaces && S_ISDIR(st.st_mode)) {
    code_ = EISDIR;
    error_ = pathtext(target_) + std::string(" ist ein Verzeichnis"_w);
    return false;
  }
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temp = joinpath(dir, "." + name + ".tmp" + std::to_string(::getpid()) + "-" +
                                          std::to_string(serial++));
    fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      // A new file: nobody else can hold its lock yet.
      (void)::flock(fd_, LOCK_EX | LOCK_NB);
      struct stat own {};
      inode_ = ::fstat(fd_, &own) == 0 ? static_cast<std::uint64_t>(own.st_ino) : 0;
      if (replaces && S_ISREG(st.st_mode)) (void)::fchmod(fd_, st.st_mode & 07777);
      finished_ = false;
      temp_ = temp;
      buf_.assign(buffersize_, '\0');
      used_ = 0;
      bytes_ = 0;
      return true;
    }
    if (errno != EEXIST) break;
  }
  int code = errno;
  code_ = code;
  error_ = std::string("Datei "_w) + pathtext(target_) +
           std::string(" kann nicht geschrieben werden: "_w) + syserror(code);
  return false;
}

void atomicfile::flush() {
  std::size_t done = 0;
  while (done < used_) {
    ssize_t n = ::write(fd_, buf_.data() + done, used_ - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int code = errno;
      throw IoError(code, std::string("Schreibfehler in "_w) + pathtext(target_) + ": " + syserror(code));
    }
    done += static_cast<std::size_t>(n);
  }
  used_ = 0;
}

void atomicfile::write(const void* data, std::size_t n) {
  if (fd_ < 0 || finished_) throw IoError(EBADF, std::string("Datei nicht offen: "_w) + pathtext(target_));
  const char* p = static_cast<const char*>(data);
  bytes_ += n;
  while (n > 0) {
    std::size_t k = std::min(n, buf_.size() - used_);
    std::memcpy(buf_.data() + used_, p, k);
    used_ += k;
    p += k;
    n -= k;
    if (used_ == buf_.size()) flush();
  }
}

void atomicfile::finish() {
  if (fd_ < 0 || finished_) throw IoError(EBADF, std::string("Datei nicht offen: "_w) + pathtext(target_));
  flush();
  if (sync_ && ::fsync(fd_) != 0) {
    int code = errno;
    throw IoError(code, std::string("Schreibfehler in "_w) + pathtext(target_) + ": " + syserror(code));
  }
  finished_ = true;
}

bool atomicfile::commit(bool discardonfailure) {
  if (temp_.empty() || !finished_) {
    code_ = EINVAL;
    error_ = std::string("Datei "_w) + pathtext(target_) + std::string(" ist nicht fertig geschrieben"_w);
    return false;
  }
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    int code = errno;
    code_ = code;
    error_ = std::string("Datei "_w) + pathtext(target_) +
             std::string(" kann nicht ersetzt werden: "_w) + syserror(code);
    if (discardonfailure) discard();
    return false;
  }
  temp_.clear();
  // The data is on disk (fsync in finish): the lock goes with the close.
  ::close(fd_);
  fd_ = -1;
  finished_ = false;
  // Make the rename itself durable.
  if (!sync_) return true;
  int d = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d >= 0) {
    ::fsync(d);
    ::close(d);
  }
  return true;
}

void atomicfile::discard() {
  // Removed while still locked, so no cleaner takes it for a dead run's.
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  finished_ = false;
  used_ = 0;
}

void atomicfile::leave() {
  temp_.clear();
  discard();
}
