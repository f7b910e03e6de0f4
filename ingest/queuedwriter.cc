#include "ingest/queuedwriter.h"

#include <pthread.h>

#include <csignal>

#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"

namespace {
constexpr std::size_t kQueued = 8;  // blocks waiting for the thread at most
}

queuedwriter::queuedwriter(std::vector<atomicfile*> files, std::size_t block)
    : files_(std::move(files)), block_(block == 0 ? 1 : block), staged_(files_.size()) {
  for (auto& b : staged_) b.reserve(block_);
  thread_ = std::thread([this] { run(); });
}

queuedwriter::~queuedwriter() { stop(); }

void queuedwriter::stop() {
  {
    std::lock_guard<std::mutex> g(lock_);
    closing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

void queuedwriter::rethrow() { throw IoError(failcode_, failmessage_); }

void queuedwriter::hand(std::size_t file) {
  std::unique_lock<std::mutex> g(lock_);
  changed_.wait(g, [this] { return failed_ || queue_.size() < kQueued; });
  if (failed_) rethrow();
  queue_.push_back(job{file, std::move(staged_[file])});
  if (!spare_.empty()) {
    staged_[file] = std::move(spare_.back());
    spare_.pop_back();
  } else {
    staged_[file] = std::vector<char>();
    staged_[file].reserve(block_);
  }
  staged_[file].clear();
  changed_.notify_all();
}

void queuedwriter::finish() {
  for (std::size_t f = 0; f < staged_.size(); ++f)
    if (!staged_[f].empty()) hand(f);
  std::unique_lock<std::mutex> g(lock_);
  changed_.wait(g, [this] { return failed_ || queue_.empty(); });
  g.unlock();
  stop();
  if (failed_) rethrow();
}

void queuedwriter::run() {
  sigset_t mask;
  sigemptyset(&mask);
  sigaddset(&mask, SIGINT);
  sigaddset(&mask, SIGTERM);
  sigaddset(&mask, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &mask, nullptr);
  std::unique_lock<std::mutex> g(lock_);
  for (;;) {
    changed_.wait(g, [this] { return closing_ || !queue_.empty(); });
    if (queue_.empty()) return;  // closing
    job j = std::move(queue_.front());
    queue_.pop_front();
    g.unlock();
    bool ok = true;
    int code = 0;
    std::string message;
    try {
      files_[j.file]->write(j.data.data(), j.data.size());
    } catch (const IoError& e) {
      ok = false;
      code = e.code();
      message = e.what();
    }
    g.lock();
    if (!ok) {
      failed_ = true;
      failcode_ = code;
      failmessage_ = message;
      queue_.clear();
      changed_.notify_all();
      return;
    }
    j.data.clear();
    spare_.push_back(std::move(j.data));
    changed_.notify_all();
  }
}
