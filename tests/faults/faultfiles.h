// Helpers for the fault tests: a child process with a file size limit,
// tower records (scratch folders and whole files: tests/common/testfiles.h).
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "celldb/towerrec.h"
#include "tests/common/testfiles.h"

struct childresult {
  bool exited = false;  // ended by exit (not by a signal)
  int status = -1;      // exit status
  std::string output;   // what the child wrote to its pipe
};

// Runs body in a child process whose files may grow to at most
// limitbytes (RLIMIT_FSIZE, SIGXFSZ ignored so a write beyond fails with
// EFBIG as on a full disk).  body writes what it wants to report into
// the string; its return value is the exit status.
childresult runlimited(long limitbytes, const std::function<int(std::string&)>& body);

// Runs body in a child process in which a tmpfs of `bytes` is mounted on
// `folder` (in a mount namespace of its own, so that nothing outside the
// child sees it).  Where the machine can't do that, body does not run and
// the output starts with "skip: " and the reason.
childresult onsmalltmpfs(const std::string& folder, long bytes, const std::function<int(std::string&)>& body);

// Runs body in a child process in which `folder` is read-only: a read-only
// bind mount in a mount namespace of its own (root writes into any
// folder), or the folder's write permission taken for the child's run
// when not root.  "skip: " as in onsmalltmpfs when neither can be done.
childresult onreadonlyfolder(const std::string& folder, const std::function<int(std::string&)>& body);

// A real program started as a child process: standard input from
// /dev/null, standard output and error into files at base + ".out" and
// base + ".err", in folder cwd ("" the test's own), with files limited to
// limitbytes when that is not negative (the program's own SIGXFSZ
// handling then decides what happens).
struct spawned {
  pid_t pid = -1;
  std::string base;
};
spawned spawn(const std::string& program, const std::vector<std::string>& args, const std::string& base,
              const std::string& cwd = "", long limitbytes = -1);

// Waits for a spawned program.
struct programresult {
  bool exited = false;  // ended by exit
  int status = -1;      // its status
  int signal = 0;       // the signal that ended it otherwise
  std::string out, err;
};
programresult await(const spawned& run);

// Writes a filler file into `folder` until the disk is full; false when
// the disk never reported ENOSPC.
bool filldisk(const std::string& folder);

// A German CSV export of n rows (all in Berlin when berlin).
std::string germancsv(int n, bool berlin);

// A record with the given cell id and position.
ttowerrec towerat(std::int32_t cellid, long double lon, long double lat);
// Writes records as a database file.
void writetowers(const std::string& path, const std::vector<ttowerrec>& towers);
