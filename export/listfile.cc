#include "export/listfile.h"

#include <cctype>
#include <ostream>
#include <streambuf>

#include "celldb/database.h"
#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

namespace {

bool endswith(std::string_view path, std::string_view ext) {
  if (path.size() < ext.size()) return false;
  std::string_view tail = path.substr(path.size() - ext.size());
  for (std::size_t i = 0; i < ext.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(tail[i])) != ext[i]) return false;
  return true;
}

// The stream's bytes into the temporary file.  A write error is kept
// (the stream then fails) instead of thrown through the stream.
class atomicbuf : public std::streambuf {
 public:
  explicit atomicbuf(atomicfile& file) : file_(file) {}
  const std::string& error() const { return error_; }

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (!error_.empty()) return 0;
    try {
      file_.write(s, static_cast<std::size_t>(n));
    } catch (const IoError& e) {
      error_ = e.what();
      return 0;
    }
    return n;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    char ch = traits_type::to_char_type(c);
    return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
  }

 private:
  atomicfile& file_;
  std::string error_;
};

}  // namespace

listformat listformatforpath(std::string_view path, listformat otherwise) {
  if (endswith(path, ".csv")) return listformat::kCsv;
  if (endswith(path, ".geojson") || endswith(path, ".json")) return listformat::kGeojson;
  if (endswith(path, ".kml")) return listformat::kKml;
  return otherwise;
}

listfileresult writelistfile(const std::string& path, listformat format,
                             const listprintprogress& progress) {
  listfileresult result;
  atomicfile file;
  if (!file.create(path)) {
    result.error = file.error();
    return result;
  }
  atomicbuf buf(file);
  std::ostream out(&buf);
  // A write that failed ends the output at the next report, not after
  // the whole list was formatted for nothing.
  auto report = [&](std::int64_t done, std::int64_t total) {
    if (!buf.error().empty()) return false;
    return !progress || progress(done, total);
  };
  try {
    result.leftout = printresultlist(out, format, -1, report);
    if (buf.error().empty()) file.finish();
  } catch (const listprintstopped&) {
    if (buf.error().empty()) {
      result.stopped = true;
      return result;
    }
  } catch (const IoError& e) {
    result.error = e.what();
    return result;
  }
  if (!buf.error().empty()) {
    result.error = buf.error();
    return result;
  }
  if (!file.commit()) {
    result.error = file.error();
    return result;
  }
  result.ok = true;
  result.written = resultcount - result.leftout;
  return result;
}
