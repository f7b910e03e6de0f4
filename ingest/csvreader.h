// Splits CSV text from an inputsource into records of fields (RFC 4180:
// fields in double quotes may hold commas, line breaks and "" for a quote;
// lines end with LF or CRLF; a UTF-8 byte order mark at the start is
// skipped).  Memory stays constant: a record may be at most maxrecord
// bytes long (1 MB unless the constructor is told otherwise).
//
// Records without a quote, the usual case, are split straight in the
// buffer: one pass over their bytes, 64 at a time, finds the commas, the
// line end and any quote together.  A record with a quote is read by the
// quoting rules into a scratch copy.
//
// The field views stay valid until the next call of next().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class inputsource;

class csvreader {
 public:
  static constexpr std::size_t kMaxRecord = 1 << 20;
  static constexpr std::size_t kDefaultBuffer = 4 << 20;
  static constexpr std::size_t kMinRecord = 4;  // room for a byte order mark

  enum status { kRecord, kEnd, kError };

  // buffersize: bytes read ahead (at least maxrecord + 1 are kept).
  // Small sizes are for tests and fuzzing, which want refills and the
  // record limit within reach of short inputs.
  explicit csvreader(inputsource& in, std::size_t buffersize = kDefaultBuffer,
                     std::size_t maxrecord = kMaxRecord);

  // Reads the next non-empty record.  kError: the input failed, a record
  // is too long or the run was cancelled (see error()).  A quoted field
  // left open at the end of the input gives a record with broken() set.
  status next();

  // Splits unquoted records only up to n fields (0: all); the fields behind
  // them are not looked at.  A record with fewer fields still gives them all.
  void setfieldlimit(std::size_t n) { limit_ = n; }

  // Passes over unquoted records whose field `column` makes skip() true
  // and that have at least the field limit's number of fields: next()
  // does not return them, passedover() counts them.  The fields behind
  // `column` of such a record are only counted, not split.  (The converter
  // passes over the rows of other countries this way.)
  void setpassover(std::size_t column, bool (*skip)(std::string_view field)) {
    passcolumn_ = column;
    passover_ = skip;
  }
  std::uint64_t passedover() const { return passed_; }

  // Asks cancelled() after every `every` bytes consumed (blank lines and
  // passed-over records too) and at every refill; true ends the reading
  // with kError and the message "Abgebrochen".
  void setcancel(std::function<bool()> cancelled, std::size_t every = 1 << 20) {
    cancelled_ = std::move(cancelled);
    pollevery_ = every == 0 ? 1 : every;
    nextpoll_ = consumed_ + pollevery_;
  }

  const std::vector<std::string_view>& fields() const { return fields_; }
  bool broken() const { return broken_; }
  std::uint64_t line() const { return line_; }          // line where the record starts (1-based)
  std::uint64_t csvbytes() const { return consumed_; }  // CSV bytes consumed so far
  const std::string& error() const { return error_; }

 private:
  enum class plain { kRecord, kBlank, kPassed, kQuoted, kShort };
  bool refill();  // more data behind end_; false on error
  bool poll();    // false when cancelled (error_ set)
  // Splits the unquoted record at pos_ (kShort: its line end is not
  // buffered yet; kQuoted: it holds a quote).
  plain splitplain();
  // Parses a record with quotes from pos_; returns false when the record
  // runs past the buffered data (and the input is not at its end).
  bool splitquoted();

  inputsource& in_;
  std::size_t maxrecord_;
  std::size_t capacity_;
  std::vector<char> buf_;  // capacity_ bytes of data, then 64 readable bytes of slack
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false;
  bool broken_ = false;
  bool bomchecked_ = false;
  std::size_t limit_ = 0;
  std::size_t passcolumn_ = 0;
  bool (*passover_)(std::string_view) = nullptr;
  std::uint64_t passed_ = 0;
  std::function<bool()> cancelled_;
  std::uint64_t pollevery_ = 1 << 20, nextpoll_ = 1 << 20;
  std::vector<std::string_view> fields_;
  std::string scratch_;
  std::vector<std::pair<std::size_t, std::size_t>> spans_;
  std::uint64_t line_ = 0, nextline_ = 1, consumed_ = 0;
  std::string error_;
};
