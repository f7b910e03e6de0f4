// The file seam of the database: a read-only byte source with a size and
// positioned reads.  The database owns one source while a file is open;
// tests hand in an in-memory or failing one (celldb/memorysource.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// What names one state of a file: its identity and size and its
// modification and change times in nanoseconds (fstat).
struct filestamp {
  std::uint64_t device = 0, inode = 0;
  std::int64_t size = 0, mtimens = 0, ctimens = 0;
  bool operator==(const filestamp&) const = default;
};

class RecordSource {
 public:
  virtual ~RecordSource() = default;
  // Current size in bytes, or -1 with the system's error code in error.
  virtual std::int64_t size(int& error) = 0;
  // Reads up to n bytes at offset into buf.  Returns the number of bytes
  // read (fewer than n only at the end of the data), or -1 with the
  // system's error code in error.  Never reads past what it returns.
  virtual std::int64_t readat(std::int64_t offset, void* buf, std::size_t n, int& error) = 0;
  // The file system's identity of an open file (device and inode), to tell
  // whether a name still names it; false for sources without one.
  virtual bool identity(std::uint64_t& device, std::uint64_t& inode) {
    (void)device;
    (void)inode;
    return false;
  }
  // The stamp of the open file now; false for sources without one.
  virtual bool stamp(filestamp& s) {
    (void)s;
    return false;
  }
};

// The stamp of an open file descriptor; false when fstat fails.
bool fdstamp(int fd, filestamp& s);

// Opens an existing regular file read-only (a write-protected file opens).
// Returns nullptr with errno's code in error when the file is missing, is
// not a regular file or cannot be opened.
std::unique_ptr<RecordSource> openposixsource(const std::string& name, int& error);
