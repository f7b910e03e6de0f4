// Writing the current result list to a file, as the window's "Liste
// exportieren…" does: the bytes of printresultlist (the same as turmcli
// select/near print for the same list), written under a temporary name
// beside the target and renamed over it only when complete
// (lib/support/atomicfile.h).  A failure or a stop keeps the old file as
// it was and leaves no temporary file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/listprint.h"

// The format a file name asks for by its extension (".csv", ".geojson" or
// ".json", ".kml", in any case); `otherwise` for any other name.
listformat listformatforpath(std::string_view path, listformat otherwise);

struct listfileresult {
  bool ok = false;
  bool stopped = false;       // progress answered false
  std::string error;          // Windows-1252, when !ok and !stopped
  std::int64_t written = 0;   // entries written
  std::int64_t leftout = 0;   // entries left out: coordinates that are no place
};

// Writes every entry of the list to path (file system bytes) in format.
// progress as for printresultlist.  A record that can't be read, a full
// disk or a file-size limit give !ok with the system's reason.
listfileresult writelistfile(const std::string& path, listformat format,
                             const listprintprogress& progress = {});
