#include "lib/support/folderlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "lib/support/atomicfile.h"
#include "lib/support/w1252.h"

namespace {
constexpr auto kPoll = std::chrono::milliseconds(50);
}

bool folderlock::lock(const std::string& dir, const lockwaiting& how) {
  unlock();
  busy_ = false;
  error_.clear();
  const std::string path = joinpath(dir.empty() ? "." : dir, kLockFile);
  const std::string shown = "Sperrdatei " + pathtext(path);
  const int flags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | flags, 0666);
  // Someone else's lock file in a shared folder: a read-only open locks as well.
  if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(path.c_str(), O_RDONLY | flags);
  if (fd < 0) {
    int code = errno;
    if (code == ENOENT || code == ENOTDIR)
      error_ = std::string("Verzeichnis "_w) + pathtext(dir.empty() ? "." : dir) + std::string(" existiert nicht"_w);
    else if (code == ELOOP)
      error_ = shown + std::string(" ist ein Link; sie wird nicht benutzt (bitte entfernen)"_w);
    else if (code == EISDIR || code == ENXIO)
      error_ = shown + std::string(" ist keine gewöhnliche Datei (bitte entfernen)"_w);
    else
      error_ = shown + std::string(" kann nicht angelegt werden: "_w) + systemreason(code);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error_ = shown + std::string(" ist keine gewöhnliche Datei (bitte entfernen)"_w);
    return false;
  }
  const auto start = std::chrono::steady_clock::now();
  bool told = false;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return true;
    }
    int code = errno;
    // A file system without locks (some network and FUSE mounts): the run
    // goes on as it would have without the lock rather than not at all.
    if (code == ENOLCK || code == EOPNOTSUPP || code == ENOSYS) {
      fd_ = fd;
      return true;
    }
    if (code != EWOULDBLOCK && code != EINTR) {
      ::close(fd);
      error_ = shown + std::string(" lässt sich nicht sperren: "_w) + systemreason(code);
      return false;
    }
    bool timedout = how.timeoutms >= 0 &&
                    std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(how.timeoutms);
    if (timedout || (how.cancelled && how.cancelled())) {
      ::close(fd);
      busy_ = true;
      error_ = timedout ? std::string("Eine andere Änderung läuft gerade in "_w) + pathtext(dir.empty() ? "." : dir)
                        : std::string("Abgebrochen"_w);
      return false;
    }
    if (!told && how.waiting) how.waiting();
    told = true;
    std::this_thread::sleep_for(kPoll);
  }
}

void folderlock::unlock() {
  if (fd_ < 0) return;
  ::close(fd_);  // releases the flock
  fd_ = -1;
}
