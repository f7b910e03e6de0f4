// Several files of one folder replaced as one: whoever finds the folder
// after a kill finds either all old files or, once the replacement has
// begun, finishes it to all new ones.
//
// replacetogether first writes (and syncs) the journal ".turmfinder.journal"
// in the folder, naming each finished temporary file, its inode and its
// target; then it renames the temporaries in order and removes the
// journal.  A run killed before the journal leaves the old files and
// temporaries that the cleaner removes (staletemporaries.h); one killed
// after it leaves the journal, and the next holder of the folder lock
// calls finishreplacement before anything else: it renames the
// temporaries still there and removes the journal.
//
// Journal lines: "turmfinder-journal 1", then one "<inode>/<temporary>/<target>"
// per file (plain names in the journal's folder; nothing else is accepted).
#pragma once

#include <string>
#include <vector>

class atomicfile;

inline constexpr const char* kJournalFile = ".turmfinder.journal";

// Test hook: called with "before-journal", "after-journal", then
// "after-rename-1", "after-rename-2" ... as replacetogether passes them
// (tests raise SIGKILL there).  Null in the program.
extern void (*replacestephook)(const char* step);

// Renames the finished files (all with temporaries in `dir`) over their
// targets as described above.  False with error (Windows-1252) when it
// failed: before the first rename the old files are all kept and the
// temporaries removed; after it the journal and the remaining temporaries
// stay for the next run to finish.
bool replacetogether(const std::string& dir, const std::vector<atomicfile*>& files, std::string& error);

// What finishreplacement found and did.
struct journalresult {
  bool found = false;      // a journal was there
  bool finished = false;   // it is done and removed
  // Targets that did not get their new file: the temporary is gone and
  // the target is not it (someone removed or replaced a file in between),
  // or the journal could not be read.  Windows-1252 lines.
  std::vector<std::string> problems;
  std::string error;       // a rename or removal failed: the journal stays
};

// Finishes the replacement that the journal in `dir` describes (call only
// while holding the folder lock).  A journal with problems is removed too:
// problems says what could not be put right.
journalresult finishreplacement(const std::string& dir);

// Whether `dir` holds a journal.
bool journalpresent(const std::string& dir);

// The temporaries that the journal in `dir` names (empty without one), to
// be kept from the cleaner.
std::vector<std::string> journaltemporaries(const std::string& dir);
