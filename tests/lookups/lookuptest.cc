#include "tests/lookups/lookuptest.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/commands.h"
#include "lib/support/w1252.h"
#include "tests/common/testfiles.h"

namespace lookuptest {

bool havepython() { return std::system("python3 -c 'import json, xml.etree.ElementTree' >/dev/null 2>&1") == 0; }

std::string python(const std::string& script, const std::string& file) {
  scratchdir d("export-py");
  writebytes(d.file("check.py"), script);
  std::string cmd = "PYTHONIOENCODING=utf-8 python3 " + d.file("check.py") + " " + file + " 2>&1";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[65536];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

run turmcli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int status = runturmcli(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> l;
  std::istringstream in(text);
  for (std::string s; std::getline(in, s);) l.push_back(s);
  return l;
}

std::vector<std::string> fields(const std::string& csvline) {
  std::vector<std::string> f;
  std::string cur;
  for (char c : csvline) {
    if (c == ',') {
      f.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  f.push_back(cur);
  return f;
}

std::string w1252(const std::string& utf8) { return utf8ToW1252(utf8); }

std::string wordat(const std::string& line, int col) {
  if (static_cast<std::size_t>(col - 1) >= line.size()) return "";
  std::string rest = line.substr(static_cast<std::size_t>(col - 1));
  return rest.substr(0, rest.find(' '));
}

bool passes(const ttowerrec& r, const keys& k) {
  int type = r.typecode;
  if (k.type != 0 && type != k.type && !(k.type == 3 && type == 0)) return false;
  if (k.net != 0 && r.netid != k.net) return false;
  if (k.area != 0 && r.area != k.area) return false;
  if (k.cell != 0 && r.cellid != k.cell) return false;
  return true;
}

std::vector<std::int32_t> selected(const std::vector<ttowerrec>& recs, const keys& k) {
  std::vector<std::int32_t> v;
  for (std::size_t i = 0; i < recs.size(); ++i)
    if (passes(recs[i], k)) v.push_back(static_cast<std::int32_t>(i));
  return v;
}

std::vector<std::int32_t> windowsearch(const std::vector<ttowerrec>& recs, const keys& k,
                                       long double lon, long double lat, long double t0,
                                       bool skipzeroaxis, int n) {
  std::vector<std::int32_t> v;
  long double t = t0;
  for (int pass = 1; pass <= 10; ++pass, t *= 2) {
    v.clear();
    for (std::size_t i = 0; i < recs.size(); ++i) {
      const ttowerrec& r = recs[i];
      if (!passes(r, k)) continue;
      bool testlon = !(skipzeroaxis && lon == 0), testlat = !(skipzeroaxis && lat == 0);
      if (testlon && std::fabs(lonof(r) - lon) > t) continue;
      if (testlat && std::fabs(latof(r) - lat) > t) continue;
      v.push_back(static_cast<std::int32_t>(i));
    }
    if (static_cast<int>(v.size()) >= n) break;
  }
  return v;
}

long double lonof(const ttowerrec& r) {
  real v = r.longitude;
  return toext(v);
}
long double latof(const ttowerrec& r) {
  real v = r.latitude;
  return toext(v);
}

std::string six(long double v) {
  char b[64];
  std::snprintf(b, sizeof b, "%.6Lf", v);
  return b;
}

std::string hex(std::uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "%X", v);
  return b;
}

}  // namespace lookuptest
