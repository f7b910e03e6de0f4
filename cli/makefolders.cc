#include "cli/makefolders.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "lib/support/folderlock.h"
#include "lib/support/w1252.h"

std::vector<std::string> makefolders(const std::string& dir, std::string& error) {
  std::vector<std::string> made;
  std::error_code ec;
  std::filesystem::path p(dir);
  if (std::filesystem::exists(p, ec)) return made;
  for (std::filesystem::path q = p; !q.empty() && !std::filesystem::exists(q, ec); q = q.parent_path()) {
    made.push_back(q.string());
    if (q == q.parent_path()) break;
  }
  std::filesystem::create_directories(p, ec);
  if (ec) {
    error = std::string("Verzeichnis "_w) + pathtext(dir) +
            std::string(" kann nicht angelegt werden: "_w) + utf8ToW1252(ec.message());
    removefolders(made);
    made.clear();
  }
  return made;
}

void removefolders(const std::vector<std::string>& made) {
  // The run's own folder goes with the lock file the run put there
  // (nobody else knew the folder yet).
  if (!made.empty()) ::unlink((made.front() + "/" + kLockFile).c_str());
  for (const std::string& f : made) ::rmdir(f.c_str());
}
