#include "lib/support/staletemporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <utility>

#include "lib/support/atomicfile.h"

const std::vector<std::string>& temporaryowners() {
  static const std::vector<std::string> names = {"germtowers.dat", "berlintowers.dat", "settings.dat",
                                                 "fontpar.dat",    "celltowers.html",  ".turmfinder.journal"};
  return names;
}

namespace {

// The index in temporaryowners() of the file whose temporary this is, or -1.
int ownerof(const std::string& entry) {
  const std::vector<std::string>& owners = temporaryowners();
  for (std::size_t i = 0; i < owners.size(); ++i) {
    std::string prefix = "." + owners[i] + ".tmp";
    if (entry.size() > prefix.size() && entry.compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
  }
  return -1;
}

// Written only under the folder lock: the databases and the journal.
bool lockedowner(int owner) { return owner == 0 || owner == 1 || owner == 5; }

// Removes path when it is a plain file that nobody holds locked and that
// is older than the grace time (unless graceless).
bool removeifdead(const std::string& path, bool graceless) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  bool removed = false;
  struct stat st {}, now {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      (graceless || std::time(nullptr) - st.st_mtime > kStaleTemporarySeconds) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      ::lstat(path.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino)
    removed = ::unlink(path.c_str()) == 0;
  ::close(fd);
  return removed;
}

}  // namespace

int removestaletemporaries(const std::string& dir, const std::vector<std::string>& keep, bool folderlocked) {
  const std::string folder = dir.empty() ? "." : dir;
  std::vector<std::pair<std::string, bool>> found;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (struct dirent* e = ::readdir(d)) {
      int owner = ownerof(e->d_name);
      if (owner >= 0 && std::find(keep.begin(), keep.end(), e->d_name) == keep.end())
        found.emplace_back(e->d_name, folderlocked && lockedowner(owner));
    }
    ::closedir(d);
  }
  int removed = 0;
  for (const auto& [name, graceless] : found)
    if (removeifdead(joinpath(folder, name), graceless)) ++removed;
  return removed;
}
