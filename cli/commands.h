// The commands of turmcli and the dispatcher.
//
// Each command is one function in its own file (cmd_<name>.cc) that takes
// the arguments after the command name and writes to out (results) and
// err (errors, progress).  Texts are produced in Windows-1252 and written
// as UTF-8 (see say).  Exit status: 0 success, 2 usage error or failure
// (3: see kExitTruncated).
// A new command needs its function declared here and one line in the
// table in commands.cc.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "lib/support/strnum.h"  // groupdigits

using clicommandfn = int (*)(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err);

struct clicommand {
  const char* name;
  const char* arguments;    // shown in the usage: "CSV [--dir DIR]"
  std::string_view summary; // one line, Windows-1252
  clicommandfn run;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 2;
// select and near: the output is not the whole selection.  More matches
// than the list holds (the first 2,400,000 were printed; --limit cutting
// the rows is no shortfall), or entries of a damaged file left out; the
// counts went to err.
inline constexpr int kExitTruncated = 3;

// The command table.
const std::vector<clicommand>& clicommands();

// The command of that name, or nullptr.
const clicommand* findcommand(std::string_view name);

// Runs "turmcli args..." (args without the program name); returns the exit
// status.  Help asked for ("--help" or "-h", alone or after a command) is
// printed on out and returns 0; no arguments and unknown commands print
// the usage on err and return 2.
int runturmcli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Usage of all commands, or of one, on os.
void printusage(std::ostream& os);
void printcommandusage(const clicommand& c, std::ostream& os);

// Writes a Windows-1252 text as UTF-8, followed by a line end.
void say(std::ostream& os, std::string_view w1252);

// Reads the value of an option "--name VALUE" or "--name=VALUE" at args[i]
// (advancing i past it).  Returns false when args[i] is not that option;
// missing is set when the value is absent.
bool optionvalue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
                 std::string& value, bool& missing);

// The commands.
int cmdprepare(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int cmdupdate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int cmddemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int cmdindex(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int cmdselect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int cmdnear(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int cmdlink(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int cmdpage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
