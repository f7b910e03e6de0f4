// The open cell database and the current result list (process-wide state).
//
// Exactly one database file is open at a time.  Records are read by number
// from the file, never held in memory; only the result list (record numbers
// in display order) is.  All names below are used by the list screen, the
// searches and the commands.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "celldb/recordsource.h"
#include "celldb/towerrec.h"

inline constexpr std::int32_t kMaxResults = 2400000;

extern std::string dbfilename;  // name of the open file; "germtowers.dat" at start
extern std::int32_t towercount;  // records found when the file was opened
// resultlist[1..resultcount] hold record numbers; entry 0 is never used.
// Sized kMaxResults + 1 for the program's lifetime.
extern std::vector<std::int32_t> resultlist;
extern std::int32_t resultcount;

struct OpenResult {
  bool ok = false;
  std::int32_t total = 0;  // records (file size div 44) when ok
};

// Opens the existing file `name` read-only as the database (closing any
// open one on success only).  A failing open reports ok = false, raises
// nothing and leaves the previously open file as it was.
OpenResult opendatabase(const std::string& name);

// True while a database file is open.
bool databaseopen();

// Closes the database file (if open).
void closedatabase();

// Reads record n.  Throws IoError (carrying errno) when no file is open or
// the record cannot be read completely (n beyond the end, file shrunk).
ttowerrec readtower(std::int32_t n);

// Lists all records: resultcount = min(towercount, kMaxResults),
// resultlist[i] = i - 1.
void selectall();

// Switches to the file `name`.  Same name: nothing happens, returns true.
// Otherwise opens the new file first; on success it replaces the old one,
// dbfilename = name, towercount = total, selectall(), returns true.  On
// failure the old file, its name and the result list stay; the notice
// "Datei " + name + " konnte nicht geöffnet werden!" goes out through
// infomessage and false is returned.
bool switchdatabase(const std::string& name);

// Type text for a code: "Alle", "GSM", "UMTS", "Unbekannt", "LTE", "CDMA",
// else the code in decimal followed by "???".
std::string nettypename(int code);

// Operator for a net id: 1 "Telekom", 2 "Vodafone", 3 "O2", 4 "Vodafone",
// 5 "O2", 6 "Telekom", 7 "O2", 0 "Alle", 8 and above "".
std::string OperatorName(int netid);

// Visits every record of the open file in file order, reading in large
// blocks.  visit(n, record) returns false to stop early.  Throws IoError
// on a read failure (records visited so far stay visited).
template <typename Visit>
void scantowers(Visit&& visit);
