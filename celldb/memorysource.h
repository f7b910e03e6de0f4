// An in-memory byte source for tests: the bytes are shared with the test,
// which may shrink or change them while the database holds the source,
// and can make reads or the size query fail with a chosen error code.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "celldb/recordsource.h"

class MemoryRecordSource final : public RecordSource {
 public:
  struct State {
    std::vector<char> bytes;
    int failreadsafter = -1;  // >= 0: reads after this many succeed fail
    int readerror = 5;        // error code of a failing read (EIO)
    int sizeerror = 0;        // != 0: size() fails with this code
    int reads = 0;            // readat calls so far
  };

  explicit MemoryRecordSource(std::shared_ptr<State> state) : state_(std::move(state)) {}

  std::int64_t size(int& error) override;
  std::int64_t readat(std::int64_t offset, void* buf, std::size_t n, int& error) override;

 private:
  std::shared_ptr<State> state_;
};
