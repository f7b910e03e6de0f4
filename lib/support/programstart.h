// What both programs (the window and turmcli) set up first, for the whole
// process.
#pragma once

// Ignores SIGXFSZ: a write beyond the file size limit (ulimit -f) then
// fails with EFBIG and is reported like a full disk (the Schreibfehler
// with the system's reason, the old files kept, the temporaries removed)
// instead of killing the program in the middle of a write.
void startprogram();
