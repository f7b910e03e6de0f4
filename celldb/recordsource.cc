#include "celldb/recordsource.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PosixRecordSource final : public RecordSource {
 public:
  explicit PosixRecordSource(int fd) : fd_(fd) {}
  ~PosixRecordSource() override { ::close(fd_); }
  PosixRecordSource(const PosixRecordSource&) = delete;
  PosixRecordSource& operator=(const PosixRecordSource&) = delete;

  std::int64_t size(int& error) override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
      error = errno;
      return -1;
    }
    return static_cast<std::int64_t>(st.st_size);
  }

  // pread may return fewer bytes than asked for (signals, large requests);
  // keep reading until the request is met, the file ends or it fails.
  std::int64_t readat(std::int64_t offset, void* buf, std::size_t n, int& error) override {
    auto* out = static_cast<char*>(buf);
    std::size_t done = 0;
    while (done < n) {
      ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
      if (got < 0) {
        if (errno == EINTR) continue;
        error = errno;
        return -1;
      }
      if (got == 0) break;
      done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
  }

  bool identity(std::uint64_t& device, std::uint64_t& inode) override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return false;
    device = static_cast<std::uint64_t>(st.st_dev);
    inode = static_cast<std::uint64_t>(st.st_ino);
    return true;
  }

  bool stamp(filestamp& s) override { return fdstamp(fd_, s); }

 private:
  int fd_;
};

}  // namespace

bool fdstamp(int fd, filestamp& s) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  s.device = static_cast<std::uint64_t>(st.st_dev);
  s.inode = static_cast<std::uint64_t>(st.st_ino);
  s.size = static_cast<std::int64_t>(st.st_size);
  s.mtimens = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.ctimens = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return true;
}

std::unique_ptr<RecordSource> openposixsource(const std::string& name, int& error) {
  // O_NONBLOCK keeps a FIFO of that name from blocking the open; it has no
  // effect on regular files, and anything else is refused below.
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : (errno != 0 ? errno : EINVAL);
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixRecordSource>(fd);
}
