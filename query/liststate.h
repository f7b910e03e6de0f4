// State of the result list screen, shared by the window's paint and click
// handling and the commands.  None of it is reset when the list changes.
#pragma once

#include <cstdint>

extern std::int32_t selectedline;    // list index of the entry last clicked; 0 at start
extern std::int32_t selectedobject;  // record number of that entry; 0 at start
extern std::int32_t currentobject;   // record number of the row highlighted at the last paint
// Rows show the distance column; set by the commands after a surrounding
// search, cleared after a non-empty dialog selection.
extern bool surroundingresult;
