// Interruption by the user (SIGINT, SIGTERM, SIGHUP) for long commands.
// While an interruptguard lives, these signals only set a flag that the
// command polls with interrupted(); the guard restores the previous
// handlers when it goes.
#pragma once

#include <ostream>
#include <string>

#include "lib/support/folderlock.h"

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

// How prepare, update and demo wait for the folder lock of `dir` on a
// terminal: one line on err when they start to wait ("Warte auf eine
// andere Änderung in DIR …"), cancelled by the signals above.
lockwaiting terminalwaiting(std::ostream& err, const std::string& dir);
