#include "tests/common/testfiles.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <zlib.h>

namespace fs = std::filesystem;

scratchdir::scratchdir(const std::string& name) {
  path_ = (fs::current_path() / ("scratch-" + name)).string();
  fs::remove_all(path_);
  fs::create_directories(path_);
}

scratchdir::~scratchdir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::vector<std::string> scratchdir::entries() const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(path_))
    if (e.path().filename() != ".turmfinder.lock") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string readbytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writebytes(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool fileexists(const std::string& path) { return fs::exists(path); }

std::string gzipped(const std::string& data) {
  z_stream z{};
  if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  int rc = deflate(&z, Z_FINISH);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(z.total_out);
  return out;
}

std::vector<ttowerrec> readrecords(const std::string& path) {
  std::string bytes = readbytes(path);
  std::vector<ttowerrec> recs(bytes.size() / sizeof(ttowerrec));
  if (!recs.empty()) std::memcpy(recs.data(), bytes.data(), recs.size() * sizeof(ttowerrec));
  return recs;
}
