// The program's own process-wide values (the database, selection and list
// state live with their modules).  Plain values, user-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/settingsfiles.h"
#include "lib/support/fontrec.h"
#include "lib/support/fontdesc.h"
#include "lib/support/real48.h"

extern settingsrecord settings;        // from settings.dat; zero when none was read
extern fontrecord screenfontrec;       // record 0 of fontpar.dat
extern fontrecord dialogfontrec;       // record 4 of fontpar.dat
extern FontSpec screenfont;            // start page and result list
extern FontSpec listfont;              // status bar: Arial 10, plain
extern std::int32_t clickline;         // line of the last click, accepted or not; 1 at start
extern std::string positiontext;       // last text of the position input (<= 255 bytes)
extern real positionlon, positionlat;  // read from positiontext
extern std::uint8_t settingschanged;   // settings.dat is written at the end when set
extern std::string helpfilename;       // "Turmscan.hlp"
extern std::uint8_t helpavailable;     // help calls are made only when set
extern std::uint16_t statusbarheight;  // 25 pixels

// Texts of the start page and the about box.
inline constexpr const char* kProgramTitle = "Turmfinder";
inline constexpr const char* kVersionLine = "Version 0.9";
std::string authorline();
std::string sourceline();
// The start page's last line on the demo database, instead of sourceline:
// its cells are made up, and real data come in by "Export einlesen…".
std::string demoline();
// The five lines of the about box, each at most kAboutWidth characters
// (the box is that many characters wide at any dialog font): the data
// source and its licence stand on lines of their own.
inline constexpr int kAboutWidth = 30;
std::vector<std::string> aboutlines();
// "Turmfinder in Deutschland" for "germtowers.dat", else "Turmfinder in Berlin".
std::string databasetitle();

// Restores every value above to its start value (program start, tests).
void resetappstate();
