#include "query/listrows.h"

#include <algorithm>
#include <cmath>

#include "celldb/database.h"
#include "lib/support/ioerror.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "query/criteria.h"
#include "query/liststate.h"

using namespace listcolumn;

namespace {

std::string grouped(std::int32_t v) { return longtostrgrouped('.', 4, v); }
std::string degrees(long double v) { return realtostr(6, 6, v); }
std::string netztext(std::uint16_t netid) { return wordtostr(netid) + " " + OperatorName(netid); }

// Whether the criteria's cell id is set: the low 32 bits greater than 0
// (signed, as ever) or any of the high bits.
bool cellset(const ttowerrec& c) { return c.cellid > 0 || criteriacell(c) > 0xFFFFFFFFu; }

}  // namespace

RowPieces titlepieces() {
  std::string t = dbfilename == "germtowers.dat" ? "Turmfinder in Deutschland" : "Turmfinder in Berlin";
  t += "; Anzahl=" + grouped(resultcount);
  if (resultcount != towercount) t += "/" + grouped(towercount);
  return {{kNr, t}};
}

RowPieces headerpieces() {
  return {{kNr, "Nr"},         {kDatNr, "DatNr"},   {kArt, "Art"},
          {kNetz, "Netz"},     {kArea, "Area"},     {kCellid, "Cellid"},
          {kLaenge, std::string("Länge"_w)},        {kBreite, "Breite"},
          {kRange, "Range(m)"}, {kDist, "Dist"}};
}

RowPieces criteriapieces() {
  RowPieces p{{kNr, "Auswahl:"}};
  const ttowerrec& c = criteria;
  if (c.typecode > 0) p.push_back({kArt, gettypetext(c)});
  if (c.netid > 0) p.push_back({kNetz, netztext(c.netid)});
  if (criteriaarea(c) > 0) p.push_back({kArea, hexwideshort(criteriaarea(c))});
  if (cellset(c)) p.push_back({kCellid, hexwideshort(criteriacell(c))});
  if (toext(c.longitude) != 0.0L) p.push_back({kLaenge, degrees(toext(c.longitude))});
  if (toext(c.latitude) != 0.0L) p.push_back({kBreite, degrees(toext(c.latitude))});
  if (surroundingresult) p.push_back({kDist, degrees(toext(tolerancelon) + toext(tolerancelat))});
  return p;
}

RowPieces rowpieces(const ttowerrec& rec, std::int32_t listindex, std::int32_t recno) {
  RowPieces p{{kNr, grouped(listindex)},
              {kDatNr, grouped(recno)},
              {kArt, gettypetext(rec)},
              {kNetz, netztext(rec.netid)},
              {kArea, hexwideshort(recordarea(rec))},
              {kCellid, hexwideshort(recordcell(rec))},
              {kLaenge, degrees(toext(rec.longitude))},
              {kBreite, degrees(toext(rec.latitude))},
              {kRange, longtostr(rec.range)}};
  if (surroundingresult) {
    long double d = std::fabs(toext(rec.longitude) - toext(criteria.longitude)) +
                    std::fabs(toext(rec.latitude) - toext(criteria.latitude));
    p.push_back({kDist, degrees(d)});
  }
  return p;
}

std::string selectiontitle(const ttowerrec& crit, std::size_t capacity) {
  std::string t = "Turmfinder";
  if (crit.typecode > 0) t += " " + gettypetext(crit);
  if (crit.netid > 0) t += " Netz:" + netztext(crit.netid);
  if (criteriaarea(crit) > 0) t += " Area:" + hexwideshort(criteriaarea(crit));
  if (cellset(crit)) t += " Cell:" + hexwideshort(criteriacell(crit));
  if (toext(crit.longitude) != 0.0L)
    t += " nahe:" + degrees(toext(crit.longitude)) + " " + degrees(toext(crit.latitude));
  return t.substr(0, capacity);
}

std::string renderline(const RowPieces& pieces) {
  std::string line;
  for (const RowPiece& piece : pieces) {
    std::size_t at = static_cast<std::size_t>(piece.column < 1 ? 0 : piece.column - 1);
    if (line.size() < at + piece.text.size()) line.resize(at + piece.text.size(), ' ');
    line.replace(at, piece.text.size(), piece.text);
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

std::vector<ListLine> buildlistscreen(std::int32_t firstvisible, int gridlines,
                                      std::string* readerror, int firstrow, int lastrow) {
  if (readerror != nullptr) readerror->clear();
  // An empty result still shows its count, the header and the criteria:
  // the user sees that the selection found nothing.
  std::vector<ListLine> lines;
  auto wanted = [&](int row) { return row >= firstrow && row <= lastrow; };
  if (wanted(1)) lines.push_back({1, titlepieces(), -1, false});
  if (wanted(2)) lines.push_back({2, headerpieces(), 10, false});
  if (wanted(3)) lines.push_back({3, criteriapieces(), 9, false});
  std::int32_t i = firstvisible < 1 ? 1 : firstvisible;
  if (firstrow > 4) {
    // Entries above the first row wanted are skipped without reading.
    i += firstrow - 4;
  }
  for (int y = std::max(4, firstrow); i <= resultcount && y <= gridlines && y <= lastrow; ++i, ++y) {
    std::int32_t recno = resultlist[static_cast<std::size_t>(i)];
    bool highlighted = i == selectedline;
    if (highlighted) currentobject = recno;
    ttowerrec rec{};
    try {
      rec = readtower(recno);
    } catch (const IoError& e) {
      if (readerror == nullptr) throw;
      if (readerror->empty()) *readerror = e.what();
      lines.push_back({y, {}, -1, highlighted});
      continue;
    }
    lines.push_back({y, rowpieces(rec, i, recno), -1, highlighted});
  }
  return lines;
}
