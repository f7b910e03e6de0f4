// Record files: headerless files of fixed-size records, read and written
// one record at a time by number (record n starts at byte size * n), and
// plain text files with CR LF line ends.
//
// Record files are opened without ever blocking (a FIFO or a device in
// place of the file would otherwise hold the open until a writer or
// reader appears) and used only when they are regular files: a FIFO, a
// device or a folder of that name counts as missing and is never written.
//
// Opening and creating report failure through the returned ok flag; once a
// file is open, a failing size query, read, write or close throws IoError
// (carrying errno; EIO for a short read or write).  The caller's record is
// only changed by a complete read.  Every call opens and closes its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "lib/support/fontrec.h"

// Reads record n of `filename` (records of `size` bytes) into `record`.
// False when the file can't be opened, is not a regular file or holds no
// record n (also n < 0);
// nothing is created and `record` is untouched then.
bool readfixedrecord(const std::string& filename, std::int32_t n, void* record, std::size_t size);

// Writes record n of `filename`, opening it for update or creating it
// empty when it does not exist.  Writes only when the file holds at least
// n records, so the record replaces one or is appended exactly at the end;
// otherwise (also n < 0) the file is left as it was and false is returned.
// Bytes outside the record are never changed; the file is never truncated.
// A link of that name is never written through: false.
// A write that stops halfway (full disk, file size limit) puts the old
// bytes and the old length back before it raises IoError, so the file
// holds either the old record or the new one, never a mix.
bool writefixedrecord(const std::string& filename, std::int32_t n, const void* record,
                      std::size_t size);

// What readsmallfile found.
enum class SmallFile { missing, regular, other, toolarge };

// Reads all of `filename` into `contents` when it is a regular file of at
// most `maxbytes`; `contents` is emptied otherwise.  Never blocks.  Throws
// IoError when a read of the open file fails.
SmallFile readsmallfile(const std::string& filename, std::string& contents, std::size_t maxbytes);

// Puts `data` in place of the whole contents of `filename`.  Where the
// folder allows it, `data` goes to a new temporary file beside it
// (atomicfile) that is renamed over the old file when complete.  Where
// that fails (a folder the user may not write, a full disk) and the file
// exists as a regular file, it is rewritten in place from its first
// changed byte and cut to the new length; when that fails too, its old
// bytes and length are put back.  A folder, FIFO or device of that name is
// never touched, and a link is never written through in place (the safe
// replacement replaces the link itself; where it can't, false).  Returns false when nothing worked; `reason` (when given)
// then holds the system's text for the failure (Windows-1252).
bool replacefile(const std::string& filename, std::string_view data, std::string* reason = nullptr);

// The 47-byte records of the font file.
bool readrecord(const std::string& filename, std::int32_t n, fontrecord& record);
bool writerecord(const std::string& filename, std::int32_t n, const fontrecord& record);

// A text file open for writing; closed by close() or, silently, when the
// object goes away.
class TextFile {
 public:
  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  bool isopen() const { return file_ != nullptr; }
  // Pushes buffered lines to the system.  Throws IoError on failure.
  void flush();
  // Closes the file (no-op when not open).  Throws IoError when the last
  // buffered lines can't be written.
  void close();

 private:
  friend bool createtextfile(const std::string& filename, TextFile& file);
  friend void writetextline(TextFile& file, std::string_view text);
  std::FILE* file_ = nullptr;
  std::string name_;
};

// Creates or truncates `filename` for writing into `file` (closing what
// `file` held before).  False when that fails; errno tells why.
bool createtextfile(const std::string& filename, TextFile& file);

// Writes text and CR LF.  Throws IoError when the file is not open or the
// write fails.
void writetextline(TextFile& file, std::string_view text);
