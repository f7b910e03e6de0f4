// Printing the current result list (resultlist[1..resultcount] of the open
// database) on a terminal, as UTF-8 lines.
//
// grid: the list screen as text: title, header and criteria line, then one
//   line per entry, each renderline() of the pieces the window paints.
//   The three head lines are printed also for an empty list.
// csv:  "nr,datnr,type,netid,operator,area,cellid,longitude,latitude,range,dist"
//   and one line per entry: area and cellid in hexadecimal, coordinates
//   and dist with six decimals, dist empty unless surroundingresult.
//
// limit caps the entry lines (-1: all).  Reads one record per line;
// throws IoError when a record cannot be read.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "celldb/towerrec.h"
#include "cli/lookupoptions.h"

void printresultlist(std::ostream& out, listformat format, std::int64_t limit);

// The csv line of list entry listindex (record recno), Windows-1252.
std::string csvline(const ttowerrec& rec, std::int32_t listindex, std::int32_t recno);
