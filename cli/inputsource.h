// The CSV input: a plain file, a gzip file (recognised by its first two
// bytes 1f 8b, whatever its name) or standard input ("-"), read in large
// blocks.  Concatenated gzip members are read one after the other.
//
// Failures are reported by return values with a message (Windows-1252) in
// error(); a truncated or damaged gzip stream is an error, never a quiet
// end of input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

class inputsource {
 public:
  inputsource() = default;
  ~inputsource();
  inputsource(const inputsource&) = delete;
  inputsource& operator=(const inputsource&) = delete;

  // Opens path ("-": standard input).  Returns false on failure.
  bool open(const std::string& path);

  // Reads up to n bytes of (decompressed) CSV into dst.  Returns the count,
  // 0 at the end of the input, -1 on failure.
  long read(char* dst, std::size_t n);

  bool gzip() const { return gzip_; }
  std::uint64_t rawbytes() const { return rawbytes_; }    // bytes taken from the file
  std::uint64_t filesize() const { return filesize_; }    // 0 when not a regular file
  const std::string& error() const { return error_; }

 private:
  bool fill();  // reads more raw bytes into in_; false on error
  long fail(const std::string& message);

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
  std::uint64_t rawbytes_ = 0, filesize_ = 0;
};
