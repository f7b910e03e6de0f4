// The one exception of the program: an input/output error on a file that is
// already open (a failed read, write or positioning).  It carries the
// system's error code (errno) and a short description of what failed.
// Command and paint handlers catch it and report it; it never crosses the
// toolkit's event loop.
#pragma once

#include <stdexcept>
#include <string>

class IoError : public std::runtime_error {
 public:
  IoError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  // errno of the failure; EIO when the system reported none (a short read).
  int code() const { return code_; }

 private:
  int code_;
};
