#include "cli/interrupt.h"

#include <csignal>

#include "cli/commands.h"
#include "lib/support/w1252.h"

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

lockwaiting terminalwaiting(std::ostream& err, const std::string& dir) {
  lockwaiting how;
  how.waiting = [&err, dir] {
    say(err, std::string("Warte auf eine andere Änderung in "_w) + pathtext(dir) + std::string(" …"_w));
    err.flush();
  };
  how.cancelled = [] { return interrupted(); };
  return how;
}
