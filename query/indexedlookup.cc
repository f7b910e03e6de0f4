#include "query/indexedlookup.h"

#include "lib/support/ioerror.h"

bool indexedrecords(const ttowerrec& crit, std::vector<std::int32_t>& recnos, std::vector<ttowerrec>& recs) {
  recnos.clear();
  recs.clear();
  if (crit.cellid == 0 && crit.area == 0) {  // nothing the index narrows
    noteindexuse(indexuse::none);
    return false;
  }
  towerindex index;
  if (!index.open() || !index.keycandidates(crit, indexreadlimit(), recnos)) {
    noteindexuse(index.state() == indexuse::used ? indexuse::none : index.state());
    return false;
  }
  try {
    readcandidates(recnos, recs);
  } catch (const IoError&) {
    noteindexuse(indexuse::none);
    return false;
  }
  noteindexuse(indexuse::used);
  return true;
}
