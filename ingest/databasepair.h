// The two database files of a working folder, written by one run at a
// time and replaced as one.
//
// prepare, update and demo go through a databasepair: begin() takes the
// folder lock (folderlock.h; waiting for another run as told), finishes a
// replacement that a killed run left (replacejournal.h), removes the
// temporaries of dead runs (staletemporaries.h) and refuses database
// files that are links; replace() puts both new files in place together.
// The lock is held until the databasepair goes.
//
// berlintowers.dat is always derived from germtowers.dat.  When a journal
// can't be finished whole (a temporary was removed by hand), the Berlin
// file is written anew from the Germany file, so the pair agrees again,
// and a note says so; nothing is taken as fine silently.
//
// A linked germtowers.dat or berlintowers.dat is refused with a message
// (nothing is read or written): replacing the link would leave the file it
// points to as an old copy beside a new one, and writing where it points
// would reach beyond the folder the user named.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "lib/support/folderlock.h"

class atomicfile;
struct indexdraft;

class databasepair {
 public:
  // False with error (Windows-1252) when the lock can't be had (or the
  // wait was cancelled), a replacement can't be finished or a database
  // file is a link.
  bool begin(const std::string& dir, const lockwaiting& how, std::string& error);
  // What begin put right, one line each (Windows-1252).
  const std::vector<std::string>& notes() const { return notes_; }
  // Finishes both files (atomicfile::finish, IoError as there) and, while
  // they are synced, makes their indexes from them for replace to write.
  void finish(atomicfile& german, atomicfile& berlin);
  // Replaces both files as one (after finish() of each), then writes the
  // index beside each (celldb/towerindex.h).  False with error when the
  // files could not be replaced; an index that could not be written is
  // told in indexnotes (its database is then read by scans).
  bool replace(atomicfile& german, atomicfile& berlin, std::string& error);
  // Writes the index beside each of the two files that exists (after
  // begin).  Returns the files indexed; failures go to indexnotes.
  std::vector<std::string> writeindexes();
  const std::vector<std::string>& indexnotes() const { return indexnotes_; }

 private:
  std::string dir_;
  folderlock lock_;
  std::vector<std::string> notes_;
  std::vector<std::string> indexnotes_;
  std::shared_ptr<indexdraft> drafts_[2];
};

// The window's check before it opens a database file: when a killed run
// left a replacement unfinished in `dir`, the lock is tried for at most
// timeoutms and the replacement finished.
enum class pairstate {
  fine,      // nothing was unfinished
  repaired,  // an unfinished replacement was finished; notes say what was done
  busy,      // another run is replacing the files right now
  failed,    // it could not be finished; error says why
};
struct paircheck {
  pairstate state = pairstate::fine;
  std::vector<std::string> notes;
  std::string error;
};
paircheck settledatabasepair(const std::string& dir, int timeoutms);
