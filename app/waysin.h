// The ways into the program when its working folder holds no database yet
// (a start from the desktop's launcher on a new account).  After the
// start-up notice the offer dialog (waysindlg.h) shows each way as a
// button, followed by "Beenden".  A new way (an import of a real export,
// say) is one more entry in the list of waysin().
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ingest/demodb.h"

class QWidget;

struct wayin {
  std::string caption;     // button text, Windows-1252, "&" before the access key
  std::string detail;      // one line of the offer about this way, Windows-1252
  std::string objectname;  // of its button (tests)
  // A run that ends without the files (cancelled, failed) shows the offer
  // again instead of ending the program.
  bool offeragain = false;
  // Puts the database files into the working directory; true when they
  // are there.  A failure has been told to the user with a notice.
  std::function<bool(QWidget* window)> run;
};

// Writes the demo database into the working directory, waiting for the
// folder lock as `how` says (how.cancelled turns true when the write is
// given up).
// A germtowers.dat that another run (turmcli prepare, say) put there while
// the offer was open is kept, never replaced by the demo.
using demowriter = std::function<demoresult(const std::string& dir, std::uint64_t count,
                                            const lockwaiting& how, bool keepexisting)>;
// How long the demo waits for another run (turmcli prepare, update or
// demo) that holds the folder lock before it tells so and ends.
inline constexpr int kDemoLockWaitMs = 2000;
// Far more than the demo database takes on the slowest disk: a write that
// has not ended then hangs (a stalled network folder) and is given up.
inline constexpr std::chrono::milliseconds kDemoTimeLimit{120'000};

// The demo database of kDemoDefaultCount records: written by writer on a
// thread of its own under the busy pointer (runinbackground).  A failure,
// another run holding the folder lock or a write that outlasts limit gives
// an error notice and false.
wayin demoway(demowriter writer = writedemodatabase, std::chrono::milliseconds limit = kDemoTimeLimit);

// The ways in, in the order of their buttons.
std::vector<wayin> waysin();
