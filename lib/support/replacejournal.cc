#include "lib/support/replacejournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/w1252.h"

void (*replacestephook)(const char* step) = nullptr;

namespace {

constexpr std::string_view kHeader = "turmfinder-journal 1\n";
constexpr std::size_t kJournalMax = 64 << 10;

void step(const char* name) {
  if (replacestephook) replacestephook(name);
}

std::string folderof(const std::string& dir) { return dir.empty() ? "." : dir; }

std::string basename(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void syncfolder(const std::string& dir) {
  int d = ::open(folderof(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d >= 0) {
    ::fsync(d);
    ::close(d);
  }
}

struct entry {
  unsigned long long inode = 0;
  std::string temp, target;
};

// A name of the journal: a plain name in its folder, a temporary of its
// target.
bool plainname(const std::string& n) {
  return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos;
}

// Reads the journal of dir; false when there is none.  bad is set when
// it is there but not a journal of this form.
bool readjournal(const std::string& dir, std::vector<entry>& entries, bool& bad) {
  entries.clear();
  bad = false;
  const std::string path = joinpath(folderof(dir), kJournalFile);
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    bad = true;
    return true;
  }
  struct stat st {};
  std::string text;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > kJournalMax) {
    bad = true;
  } else {
    text.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < text.size()) {
      ssize_t n = ::pread(fd, text.data() + got, text.size() - got, static_cast<off_t>(got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    text.resize(got);
  }
  ::close(fd);
  if (bad) return true;
  if (text.compare(0, kHeader.size(), kHeader) != 0) {
    bad = true;
    return true;
  }
  std::size_t at = kHeader.size();
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) {
      bad = true;  // cut short: it was written whole or not at all
      break;
    }
    std::string line = text.substr(at, end - at);
    at = end + 1;
    std::size_t a = line.find('/'), b = a == std::string::npos ? a : line.find('/', a + 1);
    entry e;
    char* stop = nullptr;
    if (b != std::string::npos) e.inode = std::strtoull(line.c_str(), &stop, 10);
    if (b == std::string::npos || stop != line.c_str() + a) {
      bad = true;
      continue;
    }
    e.temp = line.substr(a + 1, b - a - 1);
    e.target = line.substr(b + 1);
    if (!plainname(e.temp) || !plainname(e.target) || e.temp.rfind("." + e.target + ".tmp", 0) != 0) {
      bad = true;
      continue;
    }
    entries.push_back(e);
  }
  return true;
}

bool isfile(const std::string& path, unsigned long long inode) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_ino) == inode;
}

}  // namespace

bool replacetogether(const std::string& dir, const std::vector<atomicfile*>& files, std::string& error) {
  std::string text(kHeader);
  for (atomicfile* f : files)
    text += std::to_string(f->tempinode()) + "/" + basename(f->temppath()) + "/" + basename(f->target()) + "\n";
  step("before-journal");
  {
    atomicfile journal;
    journal.setbuffersize(text.size());
    bool ok = journal.create(dir, kJournalFile);
    if (ok) {
      try {
        journal.write(text.data(), text.size());
        journal.finish();
      } catch (const IoError& e) {
        error = e.what();
        return false;
      }
      ok = journal.commit();
    }
    if (!ok) {
      error = journal.error();
      return false;
    }
  }
  step("after-journal");
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i]->commit(i == 0)) {
      error = files[i]->error();
      if (i == 0) {
        ::unlink(joinpath(folderof(dir), kJournalFile).c_str());
        syncfolder(dir);
        return false;
      }
      // Half done: the journal and the temporaries stay for the next run.
      for (std::size_t k = i; k < files.size(); ++k) files[k]->leave();
      error += std::string(" (die Ersetzung wird beim nächsten Lauf abgeschlossen)"_w);
      return false;
    }
    step(("after-rename-" + std::to_string(i + 1)).c_str());
  }
  if (::unlink(joinpath(folderof(dir), kJournalFile).c_str()) != 0 && errno != ENOENT) {
    error = std::string("Journal "_w) + pathtext(joinpath(folderof(dir), kJournalFile)) +
            std::string(" lässt sich nicht entfernen: "_w) + systemreason(errno);
    return false;
  }
  syncfolder(dir);
  return true;
}

journalresult finishreplacement(const std::string& dir) {
  journalresult r;
  std::vector<entry> entries;
  bool bad = false;
  if (!readjournal(dir, entries, bad)) return r;
  r.found = true;
  const std::string folder = folderof(dir);
  const std::string journal = joinpath(folder, kJournalFile);
  if (bad)
    r.problems.push_back(std::string("Journal "_w) + pathtext(journal) +
                         std::string(" ist unvollständig oder fremd"_w));
  for (const entry& e : entries) {
    const std::string temp = joinpath(folder, e.temp), target = joinpath(folder, e.target);
    if (isfile(temp, e.inode)) {
      if (std::rename(temp.c_str(), target.c_str()) != 0) {
        r.error = std::string("Datei "_w) + pathtext(target) + std::string(" kann nicht ersetzt werden: "_w) +
                  systemreason(errno);
        return r;
      }
    } else if (!isfile(target, e.inode)) {
      r.problems.push_back(pathtext(target) +
                           std::string(": die neue Fassung einer abgebrochenen Ersetzung fehlt"_w));
    }
  }
  syncfolder(dir);
  if (::unlink(journal.c_str()) != 0 && errno != ENOENT) {
    r.error = std::string("Journal "_w) + pathtext(journal) + std::string(" lässt sich nicht entfernen: "_w) +
              systemreason(errno);
    return r;
  }
  syncfolder(dir);
  r.finished = true;
  return r;
}

bool journalpresent(const std::string& dir) {
  struct stat st {};
  return ::lstat(joinpath(folderof(dir), kJournalFile).c_str(), &st) == 0;
}

std::vector<std::string> journaltemporaries(const std::string& dir) {
  std::vector<entry> entries;
  bool bad = false;
  std::vector<std::string> names;
  if (readjournal(dir, entries, bad))
    for (const entry& e : entries) names.push_back(e.temp);
  return names;
}
