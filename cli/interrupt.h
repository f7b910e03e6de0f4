// Interruption by the user (SIGINT, SIGTERM, SIGHUP) for long commands.
// While an interruptguard lives, these signals only set a flag that the
// command polls with interrupted(); the guard restores the previous
// handlers when it goes.
#pragma once

class interruptguard {
 public:
  interruptguard();
  ~interruptguard();
  interruptguard(const interruptguard&) = delete;
  interruptguard& operator=(const interruptguard&) = delete;
};

// True once a signal arrived while a guard was active.
bool interrupted();
// Clears the flag (tests).
void resetinterrupted();
