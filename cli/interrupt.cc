#include "cli/interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t flag = 0;
struct sigaction oldint, oldterm, oldhup;

void onsignal(int) { flag = 1; }

}  // namespace

interruptguard::interruptguard() {
  struct sigaction sa {};
  sa.sa_handler = onsignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;  // no SA_RESTART: a blocking read returns EINTR
  sigaction(SIGINT, &sa, &oldint);
  sigaction(SIGTERM, &sa, &oldterm);
  sigaction(SIGHUP, &sa, &oldhup);
}

interruptguard::~interruptguard() {
  sigaction(SIGINT, &oldint, nullptr);
  sigaction(SIGTERM, &oldterm, nullptr);
  sigaction(SIGHUP, &oldhup, nullptr);
}

bool interrupted() { return flag != 0; }
void resetinterrupted() { flag = 0; }
