// The working folder of a start from the desktop's launcher: "Turmfinder"
// in the user's home folder, created when missing.  The program's files
// (database, settings, map page) are files of the working directory, so
// entering the folder is all the program needs.
#pragma once

#include <string>

// The user's home folder: $HOME when it is an absolute path, else the home
// folder of the user's entry in the password database; "" when neither
// is known.
std::string homefolder();

struct workfolderresult {
  bool ok = false;
  std::string path;   // <home>/Turmfinder (file system bytes)
  std::string error;  // Windows-1252, when !ok
};

// Creates <home>/Turmfinder when it is missing (a link to a folder is
// taken as the folder) and makes it the working directory.  Fails with a
// German message when home is unknown, when something else than a folder
// stands under that name, or when the folder cannot be created or entered.
workfolderresult enterworkfolder(const std::string& home);

// The working directory's path (file system bytes), "." when it can't be
// told; what the file dialogs start in and notices name (through
// pathtext).
std::string workingfolder();

// Whether dir holds germtowers.dat or berlintowers.dat in any form (also
// an unreadable file, a folder or a dangling link under that name): the
// user's data, which a new database must never replace.
bool holdsdatabasefile(const std::string& dir);
