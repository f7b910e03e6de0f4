// The database and the process-wide search state for one lookup command.
//
// A lookupsession starts from the program's start values (empty criteria,
// tolerances 0.2 and 0.33, no surrounding result, nothing clicked), so
// commands run one after the other in one process do not see each other's
// searches, and closes the database when it goes.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "celldb/towerrec.h"

class lookupsession {
 public:
  lookupsession();
  ~lookupsession();
  lookupsession(const lookupsession&) = delete;
  lookupsession& operator=(const lookupsession&) = delete;

  // Opens `file` as the database and lists all its records, as the
  // program does at start.  The list title names the data set by the file
  // name without its folder ("germtowers.dat": Deutschland, else Berlin).
  // Returns false with "Datei <file> konnte nicht geöffnet werden!" in
  // error when the file is missing or cannot be opened.
  bool open(const std::string& file, std::string& error);

  // The cell selection dialog's OK: criteria := keys (position 0); all
  // records when no criterion is set, else one filter pass with the
  // current tolerances and surroundingresult cleared.  IoError on a read
  // failure.
  void select(const ttowerrec& keys);
};

// Matches of the selection just made that the full list could not take
// (0 unless resultcount is kMaxResults): the records behind the last
// listed one are passed once more.  IoError on a read failure.
std::int64_t selectionleftout();

// The same for a surrounding search just made (object: nearobject, else
// nearposition): the matches of its last window beyond the list.
std::int64_t nearleftout(bool object);

// Whether --limit (limit >= 0) cut the list: the rows asked for were
// printed, so matches beyond the list are no shortfall.
inline bool limitcut(std::int64_t limit, std::int32_t listed) { return limit >= 0 && limit <= listed; }

// Ends a listing command: with matches left out (leftout) or entries left
// out of the output because their coordinates are no place (damaged, see
// printresultlist), says how many on err, one line each, and returns
// kExitTruncated, else kExitOk.
int listedstatus(std::ostream& err, std::string_view command, std::int64_t leftout, std::int64_t damaged = 0);

// Whether record number `object` lies in the open database; else false
// with a message naming the last record in error.
bool checkobjectnumber(std::int32_t object, std::string& error);

// After a lookup that could have used the index beside the database
// (celldb/towerindex.h) but found it missing (for files of at least
// kIndexHintRecords records), not belonging to the file or damaged: says
// on err that the whole file was read and how to write the index anew.
inline constexpr std::int32_t kIndexHintRecords = 100000;
void indexhint(std::ostream& err, std::string_view command, const std::string& dbpath);

// Puts criteria, tolerancelon/lat, surroundingresult and the list's click
// state back to their start values.
void resetlookupstate();
