// Removing the temporary files (atomicfile) that killed runs left behind.
//
// A temporary file ".<name>.tmp..." of one of the program's files is
// removed only when it is a plain file (lstat: never a link, never through
// one), its writer is gone (its flock can be taken: a live atomicfile
// holds it until rename) and it was last written more than
// kStaleTemporarySeconds ago (the moment between its creation and its
// lock).  That test is the same in every PID namespace and on every
// machine that shares the folder's locks.  A caller that holds the folder
// lock (folderlock.h) is the only one who may be creating temporaries of
// the database files and the journal there, so theirs go at once.  Temporaries that an unfinished
// replacement journal names are kept: the next run needs them to finish
// the replacement.
#pragma once

#include <string>
#include <vector>

inline constexpr int kStaleTemporarySeconds = 5;

// The files whose temporaries are looked for: germtowers.dat,
// berlintowers.dat, settings.dat, fontpar.dat, celltowers.html and the
// replacement journal.
const std::vector<std::string>& temporaryowners();

// Removes the dead temporaries of temporaryowners() in `dir` ("" is the
// working directory), except those named in `keep`; folderlocked: the
// caller holds the folder lock.  Returns how many it removed.
int removestaletemporaries(const std::string& dir, const std::vector<std::string>& keep = {},
                           bool folderlocked = false);
