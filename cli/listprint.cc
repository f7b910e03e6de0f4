#include "cli/listprint.h"

#include <cmath>

#include "celldb/database.h"
#include "cli/commands.h"
#include "lib/support/strnum.h"
#include "query/criteria.h"
#include "query/listrows.h"
#include "query/liststate.h"

namespace {

constexpr const char* kCsvHeader =
    "nr,datnr,type,netid,operator,area,cellid,longitude,latitude,range,dist";

// A field in double quotes when it holds a comma, a quote or a line break.
std::string csvfield(const std::string& t) {
  if (t.find_first_of(",\"\r\n") == std::string::npos) return t;
  std::string q = "\"";
  for (char c : t) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

std::string sixdecimals(long double v) { return realtostr(1, 6, v); }

}  // namespace

std::string csvline(const ttowerrec& rec, std::int32_t listindex, std::int32_t recno) {
  std::string l = std::to_string(listindex) + "," + std::to_string(recno) + "," +
                  csvfield(gettypetext(rec)) + "," + std::to_string(rec.netid) + "," +
                  csvfield(OperatorName(rec.netid)) + "," + hexwordshort(rec.area) + "," +
                  hexlongshort(static_cast<std::uint32_t>(rec.cellid)) + "," +
                  sixdecimals(toext(rec.longitude)) + "," + sixdecimals(toext(rec.latitude)) +
                  "," + std::to_string(rec.range) + ",";
  if (surroundingresult)
    l += sixdecimals(std::fabs(toext(rec.longitude) - toext(criteria.longitude)) +
                     std::fabs(toext(rec.latitude) - toext(criteria.latitude)));
  return l;
}

void printresultlist(std::ostream& out, listformat format, std::int64_t limit) {
  if (format == listformat::kGrid) {
    say(out, renderline(titlepieces()));
    say(out, renderline(headerpieces()));
    say(out, renderline(criteriapieces()));
  } else {
    say(out, kCsvHeader);
  }
  std::int64_t rows = resultcount;
  if (limit >= 0 && limit < rows) rows = limit;
  for (std::int32_t i = 1; i <= rows; ++i) {
    std::int32_t recno = resultlist[static_cast<std::size_t>(i)];
    ttowerrec rec = readtower(recno);
    say(out, format == listformat::kGrid ? renderline(rowpieces(rec, i, recno)) : csvline(rec, i, recno));
  }
}
