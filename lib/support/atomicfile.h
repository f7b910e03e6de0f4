// A file written under a temporary name in its target folder and put in
// place by rename only when complete, so the previous file stays as it was
// until then.  Writes are buffered; the data is flushed to disk (fsync)
// before the rename.
//
// The temporary name is new for every file (".<name>.tmp<pid>-<serial>")
// and is created exclusively without following links (O_EXCL|O_NOFOLLOW):
// a link or file planted under that name is never opened, let alone cut.
// While it is written the temporary file holds an exclusive flock, until
// it is renamed or removed: that is how a cleaner tells a live writer's
// temporary from a killed one's (staletemporaries.h), in any PID
// namespace.  A replaced file keeps the permission bits of the old one.
//
// create and commit report failure by return value with a message
// (Windows-1252) in error(); write and finish throw IoError (the temporary
// file is already open).  An atomicfile that is destroyed without commit
// removes its temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class atomicfile {
 public:
  atomicfile() = default;
  ~atomicfile();
  atomicfile(const atomicfile&) = delete;
  atomicfile& operator=(const atomicfile&) = delete;

  // Creates a temporary file for dir/name (dir must exist, "" is the
  // working directory; a target that is a folder is refused).  Returns
  // false on failure.
  bool create(const std::string& dir, const std::string& name);
  // The same for a path: its folder is the part before the last "/"
  // (the working directory when there is none).
  bool create(const std::string& path);

  // Size of the write buffer of the next create (1 MB unless set; tests
  // and fuzzing, which make thousands of small files, set it small).
  void setbuffersize(std::size_t bytes) { buffersize_ = bytes == 0 ? 1 : bytes; }

  // Whether finish and commit sync the file and its folder (default true;
  // a file whose readers check it can go without).
  void setsync(bool sync) { sync_ = sync; }

  void write(const void* data, std::size_t n);
  // Writes the buffered bytes to the temporary file (not synced), so that
  // it can be read by name while finish syncs it.  Throws IoError.
  void writeout() { flush(); }
  // Flushes the buffer and syncs the temporary file (it stays open and
  // locked until commit or discard).
  void finish();
  // Renames the finished temporary file over the target, syncs the folder
  // and closes the file.  Returns false on failure (the temporary file is
  // then removed, unless discardonfailure is false).
  bool commit(bool discardonfailure = true);
  // Removes the temporary file (also done by the destructor).
  void discard();
  // Closes the finished temporary file and leaves it where it is, for a
  // replacement journal to finish later (replacejournal.h).
  void leave();

  std::uint64_t bytes() const { return bytes_; }
  const std::string& temppath() const { return temp_; }
  // Inode of the temporary file: the target has it once the rename is done.
  std::uint64_t tempinode() const { return inode_; }
  const std::string& target() const { return target_; }
  const std::string& error() const { return error_; }
  // errno of the failure that error() describes.
  int errorcode() const { return code_; }

 private:
  void flush();

  int fd_ = -1;
  bool finished_ = false;
  std::uint64_t inode_ = 0;
  std::string dir_, temp_, target_, error_;
  std::vector<char> buf_;
  std::size_t buffersize_ = 1 << 20;
  std::size_t used_ = 0;
  std::uint64_t bytes_ = 0;
  int code_ = 0;
  bool sync_ = true;
};

// Joins a folder and a file name with "/".
std::string joinpath(const std::string& dir, const std::string& name);

// The system's text for errno `code`, in Windows-1252.
std::string systemreason(int code);
