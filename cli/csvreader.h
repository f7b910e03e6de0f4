// Splits CSV text from an inputsource into records of fields (RFC 4180:
// fields in double quotes may hold commas, line breaks and "" for a quote;
// lines end with LF or CRLF; a UTF-8 byte order mark at the start is
// skipped).  Memory stays constant: a record may be at
// most kMaxRecord bytes long.
//
// The field views stay valid until the next call of next().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class inputsource;

class csvreader {
 public:
  static constexpr std::size_t kMaxRecord = 1 << 20;

  enum status { kRecord, kEnd, kError };

  explicit csvreader(inputsource& in, std::size_t buffersize = 4 << 20);

  // Reads the next non-empty record.  kError: the input failed or a record
  // is too long (see error()).  A quoted field left open at the end of the
  // input gives a record with broken() set.
  status next();

  // Splits unquoted records only up to n fields (0: all); the fields behind
  // them are not looked at.  A record with fewer fields still gives them all.
  void setfieldlimit(std::size_t n) { limit_ = n; }

  const std::vector<std::string_view>& fields() const { return fields_; }
  bool broken() const { return broken_; }
  std::uint64_t line() const { return line_; }          // line where the record starts (1-based)
  std::uint64_t csvbytes() const { return consumed_; }  // CSV bytes consumed so far
  const std::string& error() const { return error_; }

 private:
  bool refill();                       // more data behind end_; false on error
  void splitplain(const char* p, const char* e);
  // Parses a record with quotes from pos_; returns false when the record
  // runs past the buffered data (and the input is not at its end).
  bool splitquoted();

  inputsource& in_;
  std::vector<char> buf_;
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false;
  bool broken_ = false;
  bool bomchecked_ = false;
  std::size_t limit_ = 0;
  std::vector<std::string_view> fields_;
  std::string scratch_;
  std::vector<std::pair<std::size_t, std::size_t>> spans_;
  std::uint64_t line_ = 0, nextline_ = 1, consumed_ = 0;
  std::string error_;
};
