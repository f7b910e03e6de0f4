// One writer at a time in a working folder: an exclusive flock on the
// file ".turmfinder.lock" in that folder.
//
// The lock file is created when missing and never removed (removing it
// would let a waiter and a newcomer lock two different files).  It is
// opened without following links and used only when it is a regular file:
// a link, folder or FIFO of that name is refused with a message.  The
// lock belongs to the open file: it goes when the holder closes it, ends
// or is killed, so a killed run never blocks the next one.  On a file
// system that has no locks at all the lock counts as taken.
//
// Plain C++ without Qt: turmcli's prepare, update and demo wait for the
// lock; the window only tries it (with a short timeout) when it has to
// finish a replacement that a killed run left.
#pragma once

#include <functional>
#include <string>

inline constexpr const char* kLockFile = ".turmfinder.lock";

// How lock() waits for another holder.
struct lockwaiting {
  // Called once when another run holds the lock and lock() starts to wait.
  std::function<void()> waiting;
  // Polled while waiting (a few times a second); true gives up.
  std::function<bool()> cancelled;
  // Milliseconds to wait at most; negative: until the lock is free or
  // cancelled; 0: one try.
  int timeoutms = -1;
};

class folderlock {
 public:
  folderlock() = default;
  ~folderlock() { unlock(); }
  folderlock(const folderlock&) = delete;
  folderlock& operator=(const folderlock&) = delete;

  // Takes the lock of folder `dir` ("" is the working directory).  False
  // when the lock file can't be opened or isn't a regular file, when the
  // wait was cancelled or timed out (busy() then tells that another run
  // holds it); error() says why (Windows-1252).
  bool lock(const std::string& dir, const lockwaiting& how = {});
  // Releases the lock (also done by the destructor).
  void unlock();

  bool held() const { return fd_ >= 0; }
  bool busy() const { return busy_; }
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  bool busy_ = false;
  std::string error_;
};
