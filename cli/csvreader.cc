#include "cli/csvreader.h"

#include <cstring>

#include "cli/inputsource.h"
#include "lib/support/w1252.h"

csvreader::csvreader(inputsource& in, std::size_t buffersize)
    : in_(in), buf_(std::max(buffersize, kMaxRecord + 1)) {
  fields_.reserve(32);
}

bool csvreader::refill() {
  if (pos_ > 0) {
    std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  while (end_ < buf_.size()) {
    long got = in_.read(buf_.data() + end_, buf_.size() - end_);
    if (got < 0) {
      error_ = in_.error();
      return false;
    }
    if (got == 0) {
      eof_ = true;
      break;
    }
    end_ += static_cast<std::size_t>(got);
    if (!bomchecked_ && end_ >= 3) {
      // A UTF-8 byte order mark before the header is not part of it.
      bomchecked_ = true;
      if (std::memcmp(buf_.data(), "\xEF\xBB\xBF", 3) == 0) {
        pos_ = 3;
        consumed_ += 3;
      }
    }
    if (end_ - pos_ > kMaxRecord) break;  // enough for any record
  }
  bomchecked_ = true;
  return true;
}

void csvreader::splitplain(const char* p, const char* e) {
  fields_.clear();
  for (;;) {
    const char* comma = static_cast<const char*>(std::memchr(p, ',', static_cast<std::size_t>(e - p)));
    if (!comma) {
      fields_.emplace_back(p, static_cast<std::size_t>(e - p));
      return;
    }
    fields_.emplace_back(p, static_cast<std::size_t>(comma - p));
    if (fields_.size() == limit_) return;
    p = comma + 1;
  }
}

bool csvreader::splitquoted() {
  scratch_.clear();
  spans_.clear();
  broken_ = false;
  const char* b = buf_.data();
  std::size_t i = pos_;
  std::uint64_t lines = 0;
  std::size_t start = 0;
  bool quoted = false, infield = false;
  bool cr = false;  // the last byte kept was a CR outside quotes
  for (;; ++i) {
    if (i == end_) {
      if (!eof_) return false;
      if (quoted) broken_ = true;
      if (cr) scratch_.pop_back();
      spans_.emplace_back(start, scratch_.size() - start);
      break;
    }
    char c = b[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 == end_ && !eof_) return false;  // "" or end quote: need the next byte
        if (i + 1 < end_ && b[i + 1] == '"') {
          scratch_ += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++lines;
        scratch_ += c;
        cr = false;
      }
      continue;
    }
    if (c == ',') {
      spans_.emplace_back(start, scratch_.size() - start);
      start = scratch_.size();
      infield = false;
    } else if (c == '\n') {
      if (cr) scratch_.pop_back();  // CRLF
      spans_.emplace_back(start, scratch_.size() - start);
      ++i;
      ++lines;
      break;
    } else if (c == '"' && !infield) {
      quoted = true;
      infield = true;
    } else {
      scratch_ += c;
      infield = true;
    }
    cr = c == '\r';
  }
  consumed_ += i - pos_;
  pos_ = i;
  line_ = nextline_;
  nextline_ += lines;
  fields_.clear();
  for (auto [s, n] : spans_) fields_.emplace_back(scratch_.data() + s, n);
  return true;
}

csvreader::status csvreader::next() {
  for (;;) {
    if (pos_ == end_) {
      if (eof_) return kEnd;
      if (!refill()) return kError;
      continue;
    }
    const char* b = buf_.data();
    const char* nl = static_cast<const char*>(std::memchr(b + pos_, '\n', end_ - pos_));
    if (!nl && !eof_) {
      if (end_ - pos_ > kMaxRecord) break;
      if (!refill()) return kError;
      continue;
    }
    const char* e = nl ? nl : b + end_;
    const char* start = b + pos_;
    if (std::memchr(start, '"', static_cast<std::size_t>(e - start))) {
      if (splitquoted()) {
        if (fields_.size() == 1 && fields_[0].empty() && !broken_) continue;  // blank line
        return kRecord;
      }
      if (end_ - pos_ > kMaxRecord) break;
      if (!refill()) return kError;
      continue;
    }
    std::size_t taken = static_cast<std::size_t>(e - start) + (nl ? 1 : 0);
    const char* le = e;
    if (le > start && le[-1] == '\r') --le;
    line_ = nextline_++;
    consumed_ += taken;
    pos_ += taken;
    if (le == start) continue;  // blank line
    broken_ = false;
    splitplain(start, le);
    return kRecord;
  }
  error_ = std::string("Zeile "_w) + std::to_string(nextline_) +
           std::string(": Datensatz länger als 1 MB (Anführungszeichen nicht geschlossen?)"_w);
  return kError;
}
