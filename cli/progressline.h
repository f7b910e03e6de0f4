// Progress of a long conversion on a terminal: one line on standard error
// ("12.5 %  300 MB CSV, 4.000.000 Zeilen, 280 MB/s"), rewritten at most
// four times a second, the first time only after `firstafter` has passed,
// and wiped by clear() before the summary is printed.
#pragma once

#include <chrono>
#include <ostream>

#include "ingest/prepare.h"

class progressline {
 public:
  explicit progressline(std::ostream& err,
                        std::chrono::milliseconds firstafter = std::chrono::milliseconds(250));

  void show(const prepareprogress& p);
  void clear();

 private:
  using clock = std::chrono::steady_clock;
  std::ostream& err_;
  clock::time_point start_, next_;
  bool shown_ = false;
};
