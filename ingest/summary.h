// The summaries of a conversion (prepare) and of an update, one line per
// count, in Windows-1252: turmcli prints them, the window shows them.
//
// Each line is the label padded to 20 columns, the count right-aligned in
// 12 (grouped "1.234.567") and the unit.  More German cells than the
// program lists (2,400,000) are no fault of the file, which holds them
// all; a line under the germtowers.dat line says so.  The skipped rows
// come last, in total and by reason.
#pragma once

#include <string>
#include <vector>

#include "ingest/prepare.h"
#include "ingest/update.h"

std::vector<std::string> preparesummary(const std::string& csvpath, const preparecounts& counts);
std::vector<std::string> updatesummary(const std::string& diffpath, const updatecounts& counts);
