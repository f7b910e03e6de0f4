// Writes to atomic files on a thread of its own, so that the system's copy
// of the data into the page cache (a quarter of a conversion's time) runs
// beside the work that produces it.
//
// put() collects the bytes for a file in a block; full blocks go to the
// writing thread through a short queue.  A write that fails there (a full
// disk) is thrown as its IoError from the next put() or from finish(), on
// the caller's thread.  finish() writes what is left and ends the thread;
// the files themselves are then finished and committed by the caller.
// The writing thread takes no signals: they reach the caller.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class atomicfile;

class queuedwriter {
 public:
  // files: the targets, addressed by their index in put(); block: bytes
  // collected before a block is handed over.
  queuedwriter(std::vector<atomicfile*> files, std::size_t block = 256 << 10);
  ~queuedwriter();
  queuedwriter(const queuedwriter&) = delete;
  queuedwriter& operator=(const queuedwriter&) = delete;

  void put(std::size_t file, const void* data, std::size_t n) {
    std::vector<char>& b = staged_[file];
    const char* p = static_cast<const char*>(data);
    b.insert(b.end(), p, p + n);
    if (b.size() >= block_) hand(file);
  }

  // Hands over what is left, waits until all is written and ends the
  // thread.  Throws the IoError of a failed write.
  void finish();

 private:
  struct job {
    std::size_t file;
    std::vector<char> data;
  };
  void hand(std::size_t file);
  void stop();
  void run();
  void rethrow();  // with lock_ held

  std::vector<atomicfile*> files_;
  std::size_t block_;
  std::vector<std::vector<char>> staged_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<job> queue_;
  std::vector<std::vector<char>> spare_;  // written blocks, for reuse
  bool closing_ = false;
  bool failed_ = false;
  int failcode_ = 0;
  std::string failmessage_;
  std::thread thread_;
};
