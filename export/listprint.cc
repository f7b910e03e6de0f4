#include "export/listprint.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "celldb/database.h"
#include "celldb/keptrecords.h"
#include "celldb/realvalue.h"
#include "export/shortestreal.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "query/criteria.h"
#include "query/listrows.h"
#include "query/liststate.h"

namespace {

constexpr std::string_view kCsvHeader =
    "nr,datnr,type,netid,operator,area,cellid,longitude,latitude,range,dist,enb,sector\n";

// --- the output buffer ---------------------------------------------------

// Rows are formatted straight into one buffer that goes to the stream in
// large writes.  room(n) makes sure n more bytes fit.
// The buffer is not cleared: a short list touches only the pages it fills.
class outbuffer {
 public:
  explicit outbuffer(std::ostream& os) : os_(os), buf_(std::make_unique_for_overwrite<char[]>(kSize)) {}
  char* room(std::size_t n) {
    if (used_ + n > size_) flush();
    if (n > size_) {
      buf_ = std::make_unique_for_overwrite<char[]>(n);
      size_ = n;
    }
    return buf_.get() + used_;
  }
  void done(char* end) { used_ = static_cast<std::size_t>(end - buf_.get()); }
  void flush() {
    if (used_ > 0) os_.write(buf_.get(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  static constexpr std::size_t kSize = 1 << 18;
  std::ostream& os_;
  std::unique_ptr<char[]> buf_;
  std::size_t size_ = kSize;
  std::size_t used_ = 0;
};

// --- pieces of text --------------------------------------------------------

// UTF-8 of each Windows-1252 byte (as w1252ToUtf8 gives it), with control
// bytes turned into "?".
struct utf8map {
  char bytes[256][3];
  std::uint8_t length[256];
  utf8map() {
    for (int b = 0; b < 256; ++b) {
      std::string u = (b < 0x20 || b == 0x7F) ? std::string("?")
                                              : w1252ToUtf8(std::string(1, static_cast<char>(b)));
      length[b] = static_cast<std::uint8_t>(u.size());
      std::memcpy(bytes[b], u.data(), u.size());
    }
  }
};
const utf8map& utf8of() {
  static const utf8map m;
  return m;
}

// Windows-1252 text as UTF-8, control bytes as "?"; room: 3 bytes a byte.
char* pututf8(char* p, std::string_view w1252) {
  const utf8map& m = utf8of();
  for (unsigned char c : w1252) {
    if (c >= 0x20 && c < 0x7F) {
      *p++ = static_cast<char>(c);
    } else {
      std::memcpy(p, m.bytes[c], 3);
      p += m.length[c];
    }
  }
  return p;
}

// Escapes for JSON strings and XML text (room: 6 bytes a byte).
char* putjson(char* p, std::string_view w1252) {
  for (unsigned char c : w1252) {
    if (c == '"' || c == '\\') *p++ = '\\';
    p = pututf8(p, std::string_view(reinterpret_cast<const char*>(&c), 1));
  }
  return p;
}

char* putxml(char* p, std::string_view w1252) {
  for (unsigned char c : w1252) {
    const char* e = nullptr;
    switch (c) {
      case '&': e = "&amp;"; break;
      case '<': e = "&lt;"; break;
      case '>': e = "&gt;"; break;
      case '"': e = "&quot;"; break;
      case '\'': e = "&apos;"; break;
      default: break;
    }
    if (e) {
      std::size_t n = std::strlen(e);
      std::memcpy(p, e, n);
      p += n;
    } else {
      p = pututf8(p, std::string_view(reinterpret_cast<const char*>(&c), 1));
    }
  }
  return p;
}

char* put(char* p, std::string_view t) {
  std::memcpy(p, t.data(), t.size());
  return p + t.size();
}

template <typename Int>
char* putint(char* p, Int v) {
  return std::to_chars(p, p + 24, v).ptr;
}

// longtostrgrouped('.', 4, v): "1.234.567", blanks in front up to 4.
char* putgrouped(char* p, std::int32_t v) {
  if (v < 0) return put(p, longtostrgrouped('.', 4, v));
  char d[12];
  int n = static_cast<int>(std::to_chars(d, d + sizeof d, v).ptr - d);
  int width = n + (n - 1) / 3;
  for (int i = width; i < 4; ++i) *p++ = ' ';
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) *p++ = '.';
    *p++ = d[i];
  }
  return p;
}

// Upper-case hexadecimal without leading zeros (hexwideshort).
char* puthex(char* p, std::uint64_t v) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char d[16];
  int n = 0;
  do {
    d[n++] = kDigits[v & 15];
    v >>= 4;
  } while (v != 0);
  while (n > 0) *p++ = d[--n];
  return p;
}

// Six decimals of an extended value, exactly as realtostr(1, 6, v):
// rounded to nearest from the exact binary value, a tie to the even digit.
char* putfixed6(char* p, long double v) {
  if (v == 0) v = 0;
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    const long double a = std::fabs(v);
    std::uint64_t q = 0;
    bool fits = true;
    if (a != 0) {
      // The x87 format's 64-bit significand and exponent, read from its
      // bytes (frexp and ldexp are calls into the maths library).
      unsigned char raw[sizeof(long double)];
      std::memcpy(raw, &a, sizeof raw);
      std::uint64_t mant;
      std::uint16_t biased;
      std::memcpy(&mant, raw, sizeof mant);
      std::memcpy(&biased, raw + 8, sizeof biased);
      const int e = biased - 16382;  // a = mant / 2^64 * 2^e
      const int shift = 64 - e;
      if (biased == 0 || (mant >> 63) == 0 || shift <= 0 || shift >= 128) {
        fits = false;
      } else {
        using u128 = unsigned __int128;
        const u128 n = static_cast<u128>(mant) * 1000000u;
        u128 qq = n >> shift;
        const u128 rest = n & ((static_cast<u128>(1) << shift) - 1);
        const u128 half = static_cast<u128>(1) << (shift - 1);
        if (rest > half || (rest == half && (qq & 1) != 0)) ++qq;
        if ((qq >> 64) != 0) fits = false;
        q = static_cast<std::uint64_t>(qq);
      }
    }
    if (fits) {
      if (v < 0) *p++ = '-';
      p = putint(p, q / 1000000);
      *p++ = '.';
      std::uint64_t f = q % 1000000;
      for (int i = 5; i >= 0; --i) {
        p[i] = static_cast<char>('0' + f % 10);
        f /= 10;
      }
      return p + 6;
    }
  }
  return put(p, realtostr(1, 6, v));
}

char* putcoordinate(char* p, const real& r) { return putfixed6(p, realvalue(r)); }

// Whether a record's coordinates are a place on earth (a damaged file may
// hold any bytes there, up to 2^127).
bool onearth(const ttowerrec& rec) {
  const double lon = realdouble(rec.longitude), lat = realdouble(rec.latitude);
  return lon >= -180 && lon <= 180 && lat >= -90 && lat <= 90;
}

// The distance column: |dlon| + |dlat| from the criteria position.
long double distanceof(const ttowerrec& rec) {
  return std::fabs(realvalue(rec.longitude) - realvalue(criteria.longitude)) +
         std::fabs(realvalue(rec.latitude) - realvalue(criteria.latitude));
}

// An LTE cell's eNodeB (cell id / 256) and sector (cell id mod 256): the
// numbers cells are grouped into sites by.  Other types have none.
constexpr std::uint8_t kTypeLTE = 4;
bool hasenb(const ttowerrec& r) { return r.typecode == kTypeLTE; }
std::uint32_t enbof(const ttowerrec& r) { return static_cast<std::uint32_t>(r.cellid) >> 8; }
std::uint32_t sectorof(const ttowerrec& r) { return static_cast<std::uint32_t>(r.cellid) & 0xFF; }

std::string_view typetext(const ttowerrec& r) {
  std::uint8_t n = r.typetext[0] > 10 ? 10 : r.typetext[0];
  return std::string_view(reinterpret_cast<const char*>(r.typetext + 1), n);
}

// OperatorName as a view of a constant.
std::string_view operatorof(std::uint16_t netid) {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (int i = 0; i <= 8; ++i) v.push_back(OperatorName(i));
    return v;
  }();
  return names[netid < 8 ? netid : 8];
}

// --- the formats -------------------------------------------------------------

constexpr std::size_t kRowRoom = 4096;

// A grid line: the pieces at their columns as renderline places them.
class gridline {
 public:
  void place(int column, const char* text, std::size_t n) {
    std::size_t at = static_cast<std::size_t>(column - 1);
    if (length_ < at) std::memset(line_ + length_, ' ', at - length_);
    std::memcpy(line_ + at, text, n);
    if (at + n > length_) length_ = at + n;
  }
  template <typename Fill>
  void placewith(int column, Fill fill) {
    char t[64];
    char* e = fill(t);
    place(column, t, static_cast<std::size_t>(e - t));
  }
  char* end(char* p) {
    while (length_ > 0 && line_[length_ - 1] == ' ') --length_;
    p = pututf8(p, std::string_view(line_, length_));
    *p++ = '\n';
    return p;
  }

 private:
  char line_[256];
  std::size_t length_ = 0;
};

char* gridrow(char* p, const ttowerrec& rec, std::int32_t nr, std::int32_t recno) {
  using namespace listcolumn;
  gridline l;
  l.placewith(kNr, [&](char* t) { return putgrouped(t, nr); });
  l.placewith(kDatNr, [&](char* t) { return putgrouped(t, recno); });
  std::string_view type = typetext(rec);
  l.place(kArt, type.data(), type.size());
  l.placewith(kNetz, [&](char* t) {
    t = putint(t, rec.netid);
    *t++ = ' ';
    return put(t, operatorof(rec.netid));
  });
  l.placewith(kArea, [&](char* t) { return puthex(t, recordarea(rec)); });
  l.placewith(kCellid, [&](char* t) { return puthex(t, recordcell(rec)); });
  l.placewith(kLaenge, [&](char* t) { return putcoordinate(t, rec.longitude); });
  l.placewith(kBreite, [&](char* t) { return putcoordinate(t, rec.latitude); });
  l.placewith(kRange, [&](char* t) { return putint(t, rec.range); });
  if (surroundingresult) l.placewith(kDist, [&](char* t) { return putfixed6(t, distanceof(rec)); });
  return l.end(p);
}

// A CSV field in double quotes when it holds a comma or a quote (control
// bytes, line breaks among them, are "?" already).
char* putcsvfield(char* p, std::string_view t) {
  if (t.find_first_of(",\"\r\n") == std::string_view::npos) return pututf8(p, t);
  *p++ = '"';
  for (char c : t) {
    if (c == '"') *p++ = '"';
    p = pututf8(p, std::string_view(&c, 1));
  }
  *p++ = '"';
  return p;
}

char* csvrow(char* p, const ttowerrec& rec, std::int32_t nr, std::int32_t recno) {
  p = putint(p, nr);
  *p++ = ',';
  p = putint(p, recno);
  *p++ = ',';
  p = putcsvfield(p, typetext(rec));
  *p++ = ',';
  p = putint(p, rec.netid);
  *p++ = ',';
  p = putcsvfield(p, operatorof(rec.netid));
  *p++ = ',';
  p = puthex(p, recordarea(rec));
  *p++ = ',';
  p = puthex(p, recordcell(rec));
  *p++ = ',';
  p = putcoordinate(p, rec.longitude);
  *p++ = ',';
  p = putcoordinate(p, rec.latitude);
  *p++ = ',';
  p = putint(p, rec.range);
  *p++ = ',';
  if (surroundingresult) p = putfixed6(p, distanceof(rec));
  *p++ = ',';
  if (hasenb(rec)) {
    p = putint(p, enbof(rec));
    *p++ = ',';
    p = putint(p, sectorof(rec));
  } else {
    *p++ = ',';
  }
  *p++ = '\n';
  return p;
}

char* geojsonrow(char* p, const ttowerrec& rec, std::int32_t nr, std::int32_t recno) {
  p = put(p, "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[");
  p = putshortestreal(p, rec.longitude);
  *p++ = ',';
  p = putshortestreal(p, rec.latitude);
  p = put(p, "]},\"properties\":{\"nr\":");
  p = putint(p, nr);
  p = put(p, ",\"datnr\":");
  p = putint(p, recno);
  p = put(p, ",\"type\":\"");
  p = putjson(p, typetext(rec));
  p = put(p, "\",\"net\":");
  p = putint(p, rec.netid);
  p = put(p, ",\"operator\":\"");
  p = putjson(p, operatorof(rec.netid));
  p = put(p, "\",\"area\":");
  p = putint(p, recordarea(rec));
  p = put(p, ",\"cell\":");
  p = putint(p, recordcell(rec));
  p = put(p, ",\"cell_hex\":\"");
  p = puthex(p, recordcell(rec));
  p = put(p, "\",\"range_m\":");
  p = putint(p, rec.range);
  if (hasenb(rec)) {
    p = put(p, ",\"enb\":");
    p = putint(p, enbof(rec));
    p = put(p, ",\"sector\":");
    p = putint(p, sectorof(rec));
  }
  if (surroundingresult) {
    p = put(p, ",\"dist\":");
    p = putfixed6(p, distanceof(rec));
  }
  return put(p, "}}");
}

char* kmldata(char* p, std::string_view name) {
  p = put(p, "<Data name=\"");
  p = put(p, name);
  return put(p, "\"><value>");
}

char* kmlrow(char* p, const ttowerrec& rec, std::int32_t nr, std::int32_t recno) {
  p = put(p, "<Placemark><name>");
  p = putint(p, nr);
  p = put(p, "</name><ExtendedData>");
  p = kmldata(p, "nr");
  p = putint(p, nr);
  p = put(p, "</value></Data>");
  p = kmldata(p, "datnr");
  p = putint(p, recno);
  p = put(p, "</value></Data>");
  p = kmldata(p, "type");
  p = putxml(p, typetext(rec));
  p = put(p, "</value></Data>");
  p = kmldata(p, "net");
  p = putint(p, rec.netid);
  p = put(p, "</value></Data>");
  p = kmldata(p, "operator");
  p = putxml(p, operatorof(rec.netid));
  p = put(p, "</value></Data>");
  p = kmldata(p, "area");
  p = putint(p, recordarea(rec));
  p = put(p, "</value></Data>");
  p = kmldata(p, "cell");
  p = putint(p, recordcell(rec));
  p = put(p, "</value></Data>");
  p = kmldata(p, "cell_hex");
  p = puthex(p, recordcell(rec));
  p = put(p, "</value></Data>");
  p = kmldata(p, "range_m");
  p = putint(p, rec.range);
  p = put(p, "</value></Data>");
  if (hasenb(rec)) {
    p = kmldata(p, "enb");
    p = putint(p, enbof(rec));
    p = put(p, "</value></Data>");
    p = kmldata(p, "sector");
    p = putint(p, sectorof(rec));
    p = put(p, "</value></Data>");
  }
  if (surroundingresult) {
    p = kmldata(p, "dist");
    p = putfixed6(p, distanceof(rec));
    p = put(p, "</value></Data>");
  }
  p = put(p, "</ExtendedData><Point><coordinates>");
  p = putshortestreal(p, rec.longitude);
  *p++ = ',';
  p = putshortestreal(p, rec.latitude);
  return put(p, "</coordinates></Point></Placemark>\n");
}

using rowfn = char* (*)(char*, const ttowerrec&, std::int32_t, std::int32_t);

// Runs of entries whose record numbers rise with gaps of at most kGap
// records are read with one positioned read: reading a few records more
// costs less than a system call.
constexpr std::int32_t kGap = 64;

// Writes the rows of entries 1..rows, separator between two of them;
// returns the entries left out because their coordinates are no place.
std::int64_t printrows(outbuffer& out, rowfn row, std::string_view separator, std::int64_t rows,
                       const listprintprogress& progress) {
  ScanBlock scan;
  ttowerrec* block = scan.data();
  std::int64_t written = 0, leftout = 0;
  auto emit = [&](const ttowerrec& rec, std::int64_t k, std::int32_t recno) {
    if (!onearth(rec)) {
      ++leftout;
      return;
    }
    char* p = out.room(kRowRoom);
    if (written++ > 0) p = put(p, separator);
    out.done(row(p, rec, static_cast<std::int32_t>(k), recno));
  };
  std::int64_t nextreport = kPrintProgressEvery;
  for (std::int64_t i = 1; i <= rows;) {
    if (progress && i >= nextreport) {
      if (!progress(i - 1, rows)) throw listprintstopped{};
      nextreport = i + kPrintProgressEvery;
    }
    const std::int32_t first = resultlist[static_cast<std::size_t>(i)];
    if (const ttowerrec* kept = keptrecord(first)) {  // the search's copy
      emit(*kept, i++, first);
      continue;
    }
    std::int32_t last = first;
    std::int64_t j = i;
    while (j < rows) {
      std::int32_t next = resultlist[static_cast<std::size_t>(j + 1)];
      if (next <= last || next - last > kGap || next - first >= kScanBlockRecords) break;
      last = next;
      ++j;
    }
    std::int32_t got = readtowers(first, last - first + 1, block);
    for (std::int64_t k = i; k <= j; ++k) {
      std::int32_t recno = resultlist[static_cast<std::size_t>(k)];
      if (recno - first >= got) throwshortread(recno);
      emit(block[recno - first], k, recno);
    }
    i = j + 1;
  }
  return leftout;
}

void putline(outbuffer& out, const std::string& w1252) {
  char* p = out.room(w1252.size() * 3 + 1);
  p = pututf8(p, w1252);
  *p++ = '\n';
  out.done(p);
}

}  // namespace

std::int64_t printresultlist(std::ostream& os, listformat format, std::int64_t limit,
                             const listprintprogress& progress) {
  outbuffer out(os);
  std::int64_t rows = resultcount;
  if (limit >= 0 && limit < rows) rows = limit;
  rowfn row = nullptr;
  std::string_view separator = "";  // (a view of a literal: never a null pointer)
  switch (format) {
    case listformat::kGrid:
      putline(out, renderline(titlepieces()));
      putline(out, renderline(headerpieces()));
      putline(out, renderline(criteriapieces()));
      row = gridrow;
      break;
    case listformat::kCsv:
      out.done(put(out.room(kCsvHeader.size()), kCsvHeader));
      row = csvrow;
      break;
    case listformat::kGeojson:
      out.done(put(out.room(64), "{\"type\":\"FeatureCollection\",\"features\":[\n"));
      row = geojsonrow;
      separator = ",\n";
      break;
    case listformat::kKml: {
      std::string title = selectiontitle(criteria, 255);
      char* p = out.room(256 + title.size() * 12);
      p = put(p, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>");
      p = putxml(p, title);
      p = put(p, "</name>\n<Folder>\n<name>");
      p = putxml(p, title);
      out.done(put(p, "</name>\n"));
      row = kmlrow;
      break;
    }
  }
  std::int64_t leftout = 0;
  try {
    leftout = printrows(out, row, separator, rows, progress);
  } catch (...) {
    out.flush();
    throw;
  }
  if (format == listformat::kGeojson) out.done(put(out.room(8), rows > leftout ? "\n]}\n" : "]}\n"));
  if (format == listformat::kKml) out.done(put(out.room(32), "</Folder>\n</Document>\n</kml>\n"));
  out.flush();
  return leftout;
}
