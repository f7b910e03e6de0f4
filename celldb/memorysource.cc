#include "celldb/memorysource.h"

#include <algorithm>
#include <cstring>

std::int64_t MemoryRecordSource::size(int& error) {
  if (state_->sizeerror != 0) {
    error = state_->sizeerror;
    return -1;
  }
  return static_cast<std::int64_t>(state_->bytes.size());
}

std::int64_t MemoryRecordSource::readat(std::int64_t offset, void* buf, std::size_t n, int& error) {
  State& s = *state_;
  if (s.failreadsafter >= 0 && s.reads >= s.failreadsafter) {
    ++s.reads;
    error = s.readerror;
    return -1;
  }
  ++s.reads;
  auto have = static_cast<std::int64_t>(s.bytes.size());
  if (offset < 0 || offset >= have) return 0;
  std::size_t count = std::min<std::size_t>(n, static_cast<std::size_t>(have - offset));
  std::memcpy(buf, s.bytes.data() + offset, count);
  return static_cast<std::int64_t>(count);
}
