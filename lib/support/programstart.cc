#include "lib/support/programstart.h"

#include <csignal>

void startprogram() { std::signal(SIGXFSZ, SIG_IGN); }
