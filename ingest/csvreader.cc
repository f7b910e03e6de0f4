#include "ingest/csvreader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "ingest/inputsource.h"
#include "lib/support/w1252.h"

namespace {

constexpr std::size_t kSlack = 64;  // one block of 64 bytes may be read past the data

// Bit i of each mask: byte q[i] is a comma, a line feed, a double quote.
struct blockmasks {
  std::uint64_t comma, newline, quote;
};

inline blockmasks classify(const char* q) {
  blockmasks m{0, 0, 0};
#if defined(__SSE2__)
  const __m128i comma = _mm_set1_epi8(','), newline = _mm_set1_epi8('\n'), quote = _mm_set1_epi8('"');
  for (int i = 0; i < 4; ++i) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16 * i));
    const int shift = 16 * i;
    m.comma |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma)))} << shift;
    m.newline |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, newline)))} << shift;
    m.quote |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, quote)))} << shift;
  }
#else
  for (int i = 0; i < 64; ++i) {
    std::uint64_t bit = std::uint64_t{1} << i;
    if (q[i] == ',') m.comma |= bit;
    else if (q[i] == '\n') m.newline |= bit;
    else if (q[i] == '"') m.quote |= bit;
  }
#endif
  return m;
}

// Counts the commas of a mask off `needed` (without a popcount
// instruction, which the baseline x86-64 lacks; few bits are set).
inline void dropcommas(std::uint64_t commas, std::size_t& needed) {
  while (commas && needed) {
    commas &= commas - 1;
    --needed;
  }
}

}  // namespace

csvreader::csvreader(inputsource& in, std::size_t buffersize, std::size_t maxrecord)
    : in_(in),
      maxrecord_(std::max<std::size_t>(maxrecord, kMinRecord)) {
  capacity_ = std::max(buffersize, maxrecord_ + 1);
  buf_.assign(capacity_ + kSlack, '\0');
  fields_.reserve(32);
}

bool csvreader::poll() {
  nextpoll_ = consumed_ + pollevery_;
  if (cancelled_ && cancelled_()) {
    error_ = "Abgebrochen";
    return false;
  }
  return true;
}

bool csvreader::refill() {
  if (!poll()) return false;
  if (pos_ > 0) {
    std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  while (end_ < capacity_) {
    long got = in_.read(buf_.data() + end_, capacity_ - end_);
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
    if (end_ - pos_ > maxrecord_) break;  // enough for any record
  }
  bomchecked_ = true;
  return true;
}

csvreader::plain csvreader::splitplain() {
  const char* b = buf_.data();
  const char* s = b + pos_;
  const char* e = b + end_;
  fields_.clear();
  const char* fs = s;              // start of the field being read
  bool limited = false;            // the field limit is reached: only look for the line end
  bool passing = false;            // the record is being passed over
  std::size_t commasneeded = 0;    // when passing: commas still needed for the field limit
  const char* nl = nullptr;
  for (const char* q = s; q < e; q += 64) {
    blockmasks m = classify(q);
    const std::size_t avail = static_cast<std::size_t>(e - q);
    if (avail < 64) {
      const std::uint64_t keep = (std::uint64_t{1} << avail) - 1;
      m.comma &= keep;
      m.newline &= keep;
      m.quote &= keep;
    }
    // The bits before this record's line end.
    const std::uint64_t before = m.newline ? (m.newline & (0 - m.newline)) - 1 : ~std::uint64_t{0};
    if (m.quote & before) return plain::kQuoted;
    std::uint64_t commas = m.comma & before;
    if (passing) {
      dropcommas(commas, commasneeded);
    } else if (!limited) {
      while (commas) {
        const char* c = q + std::countr_zero(commas);
        commas &= commas - 1;
        fields_.emplace_back(fs, static_cast<std::size_t>(c - fs));
        fs = c + 1;
        const std::size_t n = fields_.size();
        if (passover_ && n == passcolumn_ + 1 && passover_(fields_.back())) {
          // At least one more field follows this comma.
          passing = true;
          commasneeded = limit_ > n + 1 ? limit_ - n - 1 : 0;
          dropcommas(commas, commasneeded);
          break;
        }
        if (n == limit_) {
          limited = true;
          break;
        }
      }
    }
    if (m.newline) {
      nl = q + std::countr_zero(m.newline);
      break;
    }
  }
  if (!nl && !eof_) return plain::kShort;
  const char* le = nl ? nl : e;
  const std::size_t taken = static_cast<std::size_t>(le - s) + (nl ? 1 : 0);
  if (le > s && le[-1] == '\r') --le;
  if (le == s) {
    fields_.clear();
  } else if (passing && commasneeded > 0) {
    // Too few fields to be passed over: split it in full after all.
    bool (*skip)(std::string_view) = passover_;
    passover_ = nullptr;
    plain again = splitplain();
    passover_ = skip;
    return again;
  } else if (!passing && !limited) {
    fields_.emplace_back(fs, static_cast<std::size_t>(le - fs));
    const std::size_t n = fields_.size();
    if (passover_ && n == passcolumn_ + 1 && n >= limit_ && passover_(fields_.back()))
      passing = true;
  }
  line_ = nextline_++;
  consumed_ += taken;
  pos_ += taken;
  if (le == s) return plain::kBlank;
  if (passing) {
    ++passed_;
    return plain::kPassed;
  }
  broken_ = false;
  return plain::kRecord;
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
    if (consumed_ >= nextpoll_ && !poll()) return kError;
    if (pos_ == end_) {
      if (eof_) return kEnd;
      if (!refill()) return kError;
      continue;
    }
    switch (splitplain()) {
      case plain::kRecord: return kRecord;
      case plain::kBlank:
      case plain::kPassed: continue;
      case plain::kShort:
        if (end_ - pos_ > maxrecord_) break;
        if (!refill()) return kError;
        continue;
      case plain::kQuoted:
        if (splitquoted()) {
          if (fields_.size() == 1 && fields_[0].empty() && !broken_) continue;  // blank line
          return kRecord;
        }
        if (end_ - pos_ > maxrecord_) break;
        if (!refill()) return kError;
        continue;
    }
    break;  // the record is too long
  }
  std::string limit = maxrecord_ % (1 << 20) == 0 ? std::to_string(maxrecord_ >> 20) + " MB"
                                                  : std::to_string(maxrecord_) + " Bytes";
  error_ = std::string("Zeile "_w) + std::to_string(nextline_) + std::string(": Datensatz länger als "_w) +
           limit + std::string(" (Anführungszeichen nicht geschlossen?)"_w);
  return kError;
}
