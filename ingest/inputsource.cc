#include "ingest/inputsource.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/support/w1252.h"

namespace {
// Inflated blocks in flight: enough for the inflating thread to run on
// while the reader waits for a processor (16 MB with 1 MB blocks).
constexpr int kInflatedBlocks = 16;
constexpr auto kWaitSlice = std::chrono::milliseconds(50);  // cancel polls while waiting
}

inputsource::~inputsource() {
  stopproducer();
  if (zinit_) inflateEnd(&z_);
  if (ownfd_ && fd_ >= 0) ::close(fd_);
}

long inputsource::fail(const std::string& message) {
  error_ = message;
  return -1;
}

bool inputsource::askcancel() {
  if (cancelled_ && cancelled_()) {
    fail(std::string("Abgebrochen"_w));
    return true;
  }
  return false;
}

bool inputsource::open(const std::string& path, bool threaded, std::size_t block) {
  block = std::max<std::size_t>(block, 16);
  path_ = path;
  if (path == "-") {
    fd_ = 0;
  } else {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      int code = errno;
      error_ = std::string("Datei "_w) + pathtext(path) +
               std::string(" kann nicht geöffnet werden: "_w) + utf8ToW1252(std::strerror(code));
      return false;
    }
    ownfd_ = true;
  }
  struct stat st {};
  if (::fstat(fd_, &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      error_ = std::string("Datei "_w) + pathtext(path) + std::string(" ist ein Verzeichnis"_w);
      return false;
    }
    regular_ = S_ISREG(st.st_mode);
    if (regular_) filesize_ = static_cast<std::uint64_t>(st.st_size);
  }
  in_.resize(block);
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
    if (threaded) {
      blocks_.resize(kInflatedBlocks);
      for (int i = 0; i < kInflatedBlocks; ++i) {
        blocks_[i].data.resize(block);
        free_.push_back(i);
      }
      threaded_ = true;
      producer_ = std::thread([this] { produce(); });
    }
  }
  return true;
}

void inputsource::stopproducer() {
  if (!producer_.joinable()) return;
  stop_ = true;
  {
    std::lock_guard<std::mutex> g(lock_);
    changed_.notify_all();
  }
  producer_.join();
}

void inputsource::produce() {
  // Signals are for the reading thread, which polls for cancellation.
  sigset_t mask;
  sigemptyset(&mask);
  sigaddset(&mask, SIGINT);
  sigaddset(&mask, SIGTERM);
  sigaddset(&mask, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &mask, nullptr);
  for (;;) {
    int index;
    {
      std::unique_lock<std::mutex> g(lock_);
      changed_.wait(g, [this] { return stop_ || !free_.empty(); });
      if (stop_) break;
      index = free_.front();
      free_.pop_front();
    }
    block& b = blocks_[static_cast<std::size_t>(index)];
    b.size = 0;
    long got = 1;
    while (b.size < b.data.size() && !stop_) {
      got = inflatesome(b.data.data() + b.size, b.data.size() - b.size);
      if (got <= 0) break;
      b.size += static_cast<std::size_t>(got);
    }
    std::lock_guard<std::mutex> g(lock_);
    if (b.size > 0) {
      filled_.push_back(index);
    } else {
      free_.push_back(index);
    }
    if (got <= 0 || stop_) {
      if (got < 0) produceerror_ = error_.empty() ? std::string("Lesefehler"_w) : error_;
      produced_ = true;
      changed_.notify_all();
      break;
    }
    changed_.notify_all();
  }
  std::lock_guard<std::mutex> g(lock_);
  produced_ = true;
  changed_.notify_all();
}

long inputsource::readblock(char* dst, std::size_t n) {
  for (;;) {
    if (current_ >= 0) {
      block& b = blocks_[static_cast<std::size_t>(current_)];
      if (currentpos_ < b.size) {
        std::size_t k = std::min(n, b.size - currentpos_);
        std::memcpy(dst, b.data.data() + currentpos_, k);
        currentpos_ += k;
        return static_cast<long>(k);
      }
    }
    std::unique_lock<std::mutex> g(lock_);
    if (current_ >= 0) {
      free_.push_back(current_);
      current_ = -1;
      changed_.notify_all();
    }
    while (filled_.empty() && !produced_) {
      changed_.wait_for(g, kWaitSlice);
      if (filled_.empty() && !produced_ && cancelled_) {
        g.unlock();
        if (cancelled_()) {
          stopproducer();  // error_ is the thread's until it has ended
          return fail(std::string("Abgebrochen"_w));
        }
        g.lock();
      }
    }
    if (!filled_.empty()) {
      current_ = filled_.front();
      filled_.pop_front();
      currentpos_ = 0;
      continue;
    }
    if (!produceerror_.empty()) return fail(produceerror_);
    return 0;
  }
}

bool inputsource::fill() {
  if (inpos_ == inend_) inpos_ = inend_ = 0;
  if (inend_ == in_.size()) return true;
  if (threaded_) {
    // A pipe may stay silent: wait for it in slices so that stop_ is seen.
    if (!regular_) {
      struct pollfd p {fd_, POLLIN, 0};
      while (!stop_ && ::poll(&p, 1, 50) == 0) {}
    }
    if (stop_) {
      fail(std::string("Abgebrochen"_w));
      return false;
    }
  } else if (askcancel()) {
    return false;
  }
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
      if (cancelled_ && cancelled_()) {
        fail(std::string("Abgebrochen"_w));
        return false;
      }
      continue;
    }
    int code = errno;
    fail(std::string("Lesefehler in "_w) + pathtext(path_) + ": " +
         utf8ToW1252(std::strerror(code)));
    return false;
  }
}

long inputsource::read(char* dst, std::size_t n) {
  if (n == 0) return 0;
  if (threaded_) return readblock(dst, n);
  if (gzip_) return inflatesome(dst, n);
  {
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
}

long inputsource::inflatesome(char* dst, std::size_t n) {
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
        return fail(std::string("Nach den gzip-Daten folgen fremde Bytes in "_w) + pathtext(path_));
      inflateReset(&z_);
      streamended_ = false;
    }
    if (inpos_ == inend_) {
      if (eof_)
        return fail(std::string("gzip-Datei "_w) + pathtext(path_) +
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
        return fail(std::string("gzip-Daten fehlerhaft in "_w) + pathtext(path_));
    } else if (rc != Z_OK) {
      return fail(std::string("gzip-Daten fehlerhaft in "_w) + pathtext(path_) + ": " +
                  (z_.msg ? z_.msg : "zlib-Fehler"));
    }
  }
  return static_cast<long>(wanted - z_.avail_out);
}
