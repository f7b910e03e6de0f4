#include "fuzz/fuzzfiles.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

void removedir() {
  const std::string& dir = fuzzdir();
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      std::string p = dir + "/" + e->d_name;
      if (::unlink(p.c_str()) != 0) ::rmdir(p.c_str());
    }
    ::closedir(d);
  }
  ::rmdir(dir.c_str());
}

}  // namespace

const std::string& fuzzdir() {
  static const std::string dir = [] {
    struct stat st {};
    std::string base = ::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
    std::string tmpl = base + "/turmfuzz.XXXXXX";
    if (!::mkdtemp(tmpl.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    return tmpl;
  }();
  static const bool cleanup = [] { return std::atexit(removedir) == 0; }();
  (void)cleanup;
  return dir;
}

std::string fuzzpath(const std::string& name) { return fuzzdir() + "/" + name; }

void writefile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) {
    std::perror(path.c_str());
    std::abort();
  }
}

void writefile(const std::string& path, const std::string& data) {
  writefile(path, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

std::string readfile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool fileexists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool hastempfiles(const std::string& dir) {
  bool found = false;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d))
      if (std::strstr(e->d_name, ".tmp")) found = true;
    ::closedir(d);
  }
  return found;
}

void fuzzfail(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
  std::abort();
}
