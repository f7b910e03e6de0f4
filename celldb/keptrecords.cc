#include "celldb/keptrecords.h"

#include <algorithm>
#include <vector>

namespace {

struct kept {
  std::int32_t recno;
  ttowerrec rec;
};

std::vector<kept>& records() {
  static std::vector<kept> v;
  return v;
}

}  // namespace

void beginkeeping() { records().clear(); }

void keeprecord(std::int32_t recno, const ttowerrec& rec) {
  std::vector<kept>& v = records();
  if (static_cast<std::int32_t>(v.size()) >= kMaxKeptRecords || (!v.empty() && recno <= v.back().recno)) return;
  v.push_back({recno, rec});
}

const ttowerrec* keptrecord(std::int32_t recno) {
  const std::vector<kept>& v = records();
  auto it = std::lower_bound(v.begin(), v.end(), recno, [](const kept& k, std::int32_t n) { return k.recno < n; });
  return it != v.end() && it->recno == recno ? &it->rec : nullptr;
}
