#include "app/core/workfolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "lib/support/atomicfile.h"
#include "lib/support/w1252.h"

namespace {

std::string shown(const std::string& path) { return utf8ToW1252(path); }

}  // namespace

std::string homefolder() {
  const char* env = std::getenv("HOME");
  if (env != nullptr && env[0] == '/') return env;
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buf.data(), buf.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/')
    return found->pw_dir;
  return "";
}

workfolderresult enterworkfolder(const std::string& home) {
  workfolderresult r;
  if (home.empty()) {
    r.error = "Der Benutzerordner ist unbekannt (HOME ist leer), also auch der Arbeitsordner "
              "~/Turmfinder."_w;
    return r;
  }
  r.path = home.back() == '/' ? home + "Turmfinder" : home + "/Turmfinder";
  const std::string name = shown(r.path);
  struct stat st{};
  if (stat(r.path.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) {
      r.error = "Der Arbeitsordner " + name +
                std::string(" kann nicht angelegt werden: unter diesem Namen steht eine Datei."_w);
      return r;
    }
  } else if (int code = errno; code != ENOENT) {
    r.error = "Der Arbeitsordner " + name + " ist nicht erreichbar: " + systemreason(code);
    return r;
  } else if (lstat(r.path.c_str(), &st) == 0) {
    r.error = "Der Arbeitsordner " + name +
              std::string(" ist eine Verknüpfung auf etwas, das es nicht gibt."_w);
    return r;
  } else if (mkdir(r.path.c_str(), 0777) != 0) {
    code = errno;
    // Made by a second start at the same moment: just as good.
    if (!(code == EEXIST && stat(r.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
      r.error = "Der Arbeitsordner " + name + " konnte nicht angelegt werden: " + systemreason(code);
      return r;
    }
  }
  if (chdir(r.path.c_str()) != 0) {
    r.error = "In den Arbeitsordner " + name + " konnte nicht gewechselt werden: " +
              systemreason(errno);
    return r;
  }
  r.ok = true;
  return r;
}

bool holdsdatabasefile(const std::string& dir) {
  for (const char* file : {"germtowers.dat", "berlintowers.dat"}) {
    struct stat st{};
    if (lstat(joinpath(dir, file).c_str(), &st) == 0 || errno != ENOENT) return true;
  }
  return false;
}

std::string workingfolder() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::current_path(ec);
  return ec ? std::string(".") : p.string();
}
