// The command line of turmfinder.  Without an argument the program works
// in the current folder (its database, settings and map page are files of
// the working directory).  "--desktop" is how the desktop's launcher
// starts it: the program works in ~/Turmfinder (see workfolder.h) and,
// when that folder holds no database yet, offers the ways in instead of
// the close question.  "--help" (or "-h") prints the usage.
//
// The toolkit's own options (-platform, -style ...) are taken out of the
// command line by QApplication before these are read.
#pragma once

#include <string>
#include <vector>

struct startoptions {
  bool desktop = false;
  bool help = false;
  std::string error;  // Windows-1252; not empty: the command line is wrong
};

// Reads the arguments after the program name.  An unknown argument sets
// error (the other fields are then meaningless).
startoptions parsestartoptions(const std::vector<std::string>& args);

// The usage text, Windows-1252, lines ending in "\n".
std::string startusage();
