#include "cli/inputsource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/interrupt.h"
#include "lib/support/w1252.h"

namespace {
constexpr std::size_t kRawBlock = 1 << 20;
}

inputsource::~inputsource() {
  if (zinit_) inflateEnd(&z_);
  if (ownfd_ && fd_ >= 0) ::close(fd_);
}

long inputsource::fail(const std::string& message) {
  error_ = message;
  return -1;
}

bool inputsource::open(const std::string& path) {
  path_ = path;
  if (path == "-") {
    fd_ = 0;
  } else {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      int code = errno;
      error_ = std::string("Datei "_w) + utf8ToW1252(path) +
               std::string(" kann nicht geöffnet werden: "_w) + utf8ToW1252(std::strerror(code));
      return false;
    }
    ownfd_ = true;
  }
  struct stat st {};
  if (::fstat(fd_, &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      error_ = std::string("Datei "_w) + utf8ToW1252(path) + std::string(" ist ein Verzeichnis"_w);
      return false;
    }
    if (S_ISREG(st.st_mode)) filesize_ = static_cast<std::uint64_t>(st.st_size);
  }
  in_.resize(kRawBlock);
  // Look at the first two bytes to tell gzip from plain text.
  while (inend_ < 2 && !eof_)
    if (!fill()) return false;
  if (inend_ >= 2 && in_[0] == 0x1f && in_[1] == 0x8b) {
    gzip_ = true;
    if (inflateInit2(&z_, 15 + 16) != Z_OK) {
      error_ = "zlib kann nicht gestartet werden"_w;
      return false;
    }
    zinit_ = true;
    streamended_ = false;
  }
  return true;
}

bool inputsource::fill() {
  if (inpos_ == inend_) inpos_ = inend_ = 0;
  if (inend_ == in_.size()) return true;
  for (;;) {
    ssize_t got = ::read(fd_, in_.data() + inend_, in_.size() - inend_);
    if (got > 0) {
      inend_ += static_cast<std::size_t>(got);
      rawbytes_ += static_cast<std::uint64_t>(got);
      return true;
    }
    if (got == 0) {
      eof_ = true;
      return true;
    }
    if (errno == EINTR) {
      if (interrupted()) {
        fail(std::string("Abgebrochen"_w));
        return false;
      }
      continue;
    }
    int code = errno;
    fail(std::string("Lesefehler in "_w) + utf8ToW1252(path_) + ": " +
         utf8ToW1252(std::strerror(code)));
    return false;
  }
}

long inputsource::read(char* dst, std::size_t n) {
  if (n == 0) return 0;
  if (!gzip_) {
    if (inpos_ < inend_) {
      std::size_t k = std::min(n, inend_ - inpos_);
      std::memcpy(dst, in_.data() + inpos_, k);
      inpos_ += k;
      return static_cast<long>(k);
    }
    if (eof_) return 0;
    if (!fill()) return -1;
    return read(dst, n);
  }
  z_.next_out = reinterpret_cast<Bytef*>(dst);
  z_.avail_out = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
  const uInt wanted = z_.avail_out;
  while (z_.avail_out == wanted) {
    if (streamended_) {
      // Between members: more data must be another gzip member.
      if (inpos_ == inend_ && !eof_ && !fill()) return -1;
      if (inpos_ == inend_ && eof_) return 0;
      while (inend_ - inpos_ < 2 && !eof_) {
        if (inpos_ > 0) {
          std::memmove(in_.data(), in_.data() + inpos_, inend_ - inpos_);
          inend_ -= inpos_;
          inpos_ = 0;
        }
        if (!fill()) return -1;
      }
      if (inend_ - inpos_ < 2 || in_[inpos_] != 0x1f || in_[inpos_ + 1] != 0x8b)
        return fail(std::string("Nach den gzip-Daten folgen fremde Bytes in "_w) + utf8ToW1252(path_));
      inflateReset(&z_);
      streamended_ = false;
    }
    if (inpos_ == inend_) {
      if (eof_)
        return fail(std::string("gzip-Datei "_w) + utf8ToW1252(path_) +
                    std::string(" ist unvollständig (vorzeitiges Ende)"_w));
      if (!fill()) return -1;
      continue;
    }
    z_.next_in = in_.data() + inpos_;
    z_.avail_in = static_cast<uInt>(inend_ - inpos_);
    int rc = inflate(&z_, Z_NO_FLUSH);
    inpos_ = inend_ - z_.avail_in;
    if (rc == Z_STREAM_END) {
      streamended_ = true;
    } else if (rc == Z_BUF_ERROR) {
      if (z_.avail_in != 0)
        return fail(std::string("gzip-Daten fehlerhaft in "_w) + utf8ToW1252(path_));
    } else if (rc != Z_OK) {
      return fail(std::string("gzip-Daten fehlerhaft in "_w) + utf8ToW1252(path_) + ": " +
                  (z_.msg ? z_.msg : "zlib-Fehler"));
    }
  }
  return static_cast<long>(wanted - z_.avail_out);
}
