#include "cli/progressline.h"

#include <cstdio>
#include <string>

#include "cli/commands.h"

progressline::progressline(std::ostream& err, std::chrono::milliseconds firstafter)
    : err_(err), start_(clock::now()), next_(start_ + firstafter) {}

void progressline::show(const prepareprogress& p) {
  auto now = clock::now();
  if (now < next_) return;
  next_ = now + std::chrono::milliseconds(250);
  double seconds = std::chrono::duration<double>(now - start_).count();
  double mb = static_cast<double>(p.csvbytes) / 1e6;
  char line[160];
  if (p.filesize > 0) {
    std::snprintf(line, sizeof line, "\r%5.1f %%  %.0f MB CSV, %s Zeilen, %.0f MB/s   ",
                  100.0 * static_cast<double>(p.rawbytes) / static_cast<double>(p.filesize), mb,
                  groupdigits(p.rows).c_str(), seconds > 0 ? mb / seconds : 0.0);
  } else {
    std::snprintf(line, sizeof line, "\r%.0f MB CSV, %s Zeilen, %.0f MB/s   ", mb,
                  groupdigits(p.rows).c_str(), seconds > 0 ? mb / seconds : 0.0);
  }
  err_ << line << std::flush;
  shown_ = true;
}

void progressline::clear() {
  if (shown_) err_ << "\r" << std::string(78, ' ') << "\r" << std::flush;
  shown_ = false;
}
