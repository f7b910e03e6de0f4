#include "lib/support/staletemporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

#include "lib/support/atomicfile.h"

const std::vector<std::string>& temporaryowners() {
  static const std::vector<std::string> names = {"germtowers.dat", "berlintowers.dat", "settings.dat",
                                                 "fontpar.dat",    "celltowers.html",  ".turmfinder.journal"};
  return names;
}

namespace {

bool temporaryname(const std::string& entry) {
  for (const std::string& owner : temporaryowners()) {
    std::string prefix = "." + owner + ".tmp";
    if (entry.size() > prefix.size() && entry.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

// Removes path when it is a plain file that nobody holds locked and that
// is older than the grace time.
bool removeifdead(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  bool removed = false;
  struct stat st {}, now {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      std::time(nullptr) - st.st_mtime > kStaleTemporarySeconds && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      ::lstat(path.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino)
    removed = ::unlink(path.c_str()) == 0;
  ::close(fd);
  return removed;
}

}  // namespace

int removestaletemporaries(const std::string& dir, const std::vector<std::string>& keep) {
  const std::string folder = dir.empty() ? "." : dir;
  std::vector<std::string> found;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (struct dirent* e = ::readdir(d))
      if (temporaryname(e->d_name) && std::find(keep.begin(), keep.end(), e->d_name) == keep.end())
        found.push_back(e->d_name);
    ::closedir(d);
  }
  int removed = 0;
  for (const std::string& name : found)
    if (removeifdead(joinpath(folder, name))) ++removed;
  return removed;
}
