// Failure reporting of the lookup commands: one line on err and exit
// status 2 (kExitFailure).
#pragma once

#include <functional>
#include <ostream>
#include <string_view>

// Writes "turmcli <command>: <text>" (text in Windows-1252) and returns
// kExitFailure.
int lookupfail(std::ostream& err, std::string_view command, std::string_view text);

// Runs body and returns its status; an IoError thrown by it (a database
// read or a page write that failed) becomes one line with its text (and
// the system's reason when the text lacks it), and kExitFailure.
int runlookup(std::ostream& err, std::string_view command, const std::function<int()>& body);
