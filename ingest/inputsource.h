// The CSV input: a plain file, a gzip file (recognised by its first two
// bytes 1f 8b, whatever its name) or standard input ("-"), read in large
// blocks.  Concatenated gzip members are read one after the other.
//
// Failures are reported by return values with a message (Windows-1252) in
// error(); a truncated or damaged gzip stream is an error, never a quiet
// end of input.
//
// A gzip file is inflated on a thread of its own, a few blocks ahead of
// the reader, so that inflating and parsing run side by side; read() then
// hands out the inflated blocks.  That thread takes no signals: they reach
// the caller's thread, which polls the cancel test while it waits.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <zlib.h>

class inputsource {
 public:
  inputsource() = default;
  ~inputsource();
  inputsource(const inputsource&) = delete;
  inputsource& operator=(const inputsource&) = delete;

  static constexpr std::size_t kBlock = 1 << 20;

  // Opens path ("-": standard input).  Returns false on failure.
  // threaded: inflate a gzip input on its own thread (false: in read()).
  // block: bytes read from the file at a time, and the size of each
  // inflated block (small for tests and fuzzing).
  bool open(const std::string& path, bool threaded = true, std::size_t block = kBlock);

  // Asked after every block taken from the file, and while read() waits
  // for the inflating thread; true makes read() fail with "Abgebrochen".
  void setcancel(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }

  // Reads up to n bytes of (decompressed) CSV into dst.  Returns the count,
  // 0 at the end of the input, -1 on failure.
  long read(char* dst, std::size_t n);

  bool gzip() const { return gzip_; }
  std::uint64_t rawbytes() const { return rawbytes_.load(std::memory_order_relaxed); }  // bytes taken from the file
  std::uint64_t filesize() const { return filesize_; }    // 0 when not a regular file
  const std::string& error() const { return error_; }

 private:
  bool fill();  // reads more raw bytes into in_; false on error
  long fail(const std::string& message);
  bool askcancel();
  long inflatesome(char* dst, std::size_t n);  // inflates up to n bytes; 0 at the end
  long readblock(char* dst, std::size_t n);    // read() with the inflating thread
  void produce();                              // the inflating thread
  void stopproducer();

  int fd_ = -1;
  bool ownfd_ = false;
  std::string path_;
  std::string error_;
  bool gzip_ = false;
  bool eof_ = false;          // the file has no more raw bytes
  bool streamended_ = true;   // the current gzip member is complete
  bool zinit_ = false;
  z_stream z_{};
  std::vector<unsigned char> in_;
  std::size_t inpos_ = 0, inend_ = 0;
  std::atomic<std::uint64_t> rawbytes_{0};
  std::uint64_t filesize_ = 0;
  bool regular_ = false;
  std::function<bool()> cancelled_;

  // The inflating thread and the blocks it fills.
  struct block {
    std::vector<char> data;
    std::size_t size = 0;
  };
  bool threaded_ = false;
  std::thread producer_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<block> blocks_;
  std::deque<int> free_, filled_;
  bool produced_ = false;        // the thread has ended (filled_ may still hold blocks)
  std::string produceerror_;     // why it ended, when it failed
  std::atomic<bool> stop_{false};
  int current_ = -1;             // block being handed out by read()
  std::size_t currentpos_ = 0;
};
