#include "ingest/databasepair.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

#include "celldb/towerindex.h"
#include "ingest/berlinbounds.h"
#include "ingest/prepare.h"
#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/replacejournal.h"
#include "lib/support/staletemporaries.h"
#include "lib/support/w1252.h"
#include "lib/support/strnum.h"

namespace {

std::string folderof(const std::string& dir) { return dir.empty() ? "." : dir; }

bool islink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The message for a database file that is a link.
std::string linkrefusal(const std::string& dir, const char* name) {
  const std::string path = joinpath(folderof(dir), name);
  char target[PATH_MAX + 1];
  ssize_t n = ::readlink(path.c_str(), target, PATH_MAX);
  std::string text = pathtext(path) + std::string(" ist ein Link"_w);
  if (n > 0) text += " auf " + pathtext(std::string(target, static_cast<std::size_t>(n)));
  text += std::string(": turmcli schreibt nicht durch Links, damit keine zweite, abweichende Kopie entsteht"_w);
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    std::string where(real);
    std::free(real);
    std::size_t slash = where.rfind('/');
    where = slash == 0 ? "/" : where.substr(0, slash);
    text += std::string(". Die Dateien dort ändern (--dir "_w) + pathtext(where) + ")";
  }
  return text + std::string(" oder den Link durch die Datei ersetzen"_w);
}

// berlintowers.dat anew from the records of germtowers.dat in the box.
bool rebuildberlin(const std::string& dir, std::uint64_t& count, std::string& error) {
  const std::string germanpath = joinpath(folderof(dir), kGermanFile);
  if (islink(joinpath(folderof(dir), kBerlinFile))) {
    error = linkrefusal(dir, kBerlinFile);
    return false;
  }
  int fd = ::open(germanpath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    error = pathtext(germanpath) + std::string(" fehlt oder ist keine gewöhnliche Datei"_w);
    return false;
  }
  atomicfile berlin;
  bool ok = berlin.create(dir, kBerlinFile);
  if (!ok) error = berlin.error();
  count = 0;
  try {
    std::vector<ttowerrec> block(4096);
    for (off_t at = 0; ok;) {
      ssize_t n = ::pread(fd, block.data(), block.size() * sizeof(ttowerrec), at);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = std::string("Lesefehler in "_w) + pathtext(germanpath) + ": " + systemreason(errno);
        ok = false;
        break;
      }
      std::size_t records = static_cast<std::size_t>(n) / sizeof(ttowerrec);
      if (records == 0) break;
      for (std::size_t i = 0; i < records; ++i)
        if (inberlin(block[i])) {
          berlin.write(&block[i], sizeof block[i]);
          ++count;
        }
      at += static_cast<off_t>(records * sizeof(ttowerrec));
    }
    if (ok) berlin.finish();
  } catch (const IoError& e) {
    error = e.what();
    ok = false;
  }
  ::close(fd);
  if (ok && !berlin.commit()) {
    error = berlin.error();
    ok = false;
  }
  return ok;
}

// With the folder lock held: finishes a journal the folder holds and puts
// the pair right when it can't be finished whole.
bool settle(const std::string& dir, std::vector<std::string>& notes, std::string& error) {
  journalresult j = finishreplacement(dir);
  if (!j.found) return true;
  if (!j.error.empty()) {
    error = std::string("Eine abgebrochene Ersetzung in "_w) + pathtext(folderof(dir)) +
            std::string(" lässt sich nicht abschließen: "_w) + j.error;
    return false;
  }
  if (j.problems.empty()) {
    notes.push_back(std::string("Eine abgebrochene Ersetzung der Datenbank in "_w) + pathtext(folderof(dir)) +
                    std::string(" wurde abgeschlossen"_w));
    return true;
  }
  notes.insert(notes.end(), j.problems.begin(), j.problems.end());
  std::uint64_t count = 0;
  if (!rebuildberlin(dir, count, error)) {
    error = std::string("Nach einer abgebrochenen Ersetzung passen die Datenbankdateien in "_w) +
            pathtext(folderof(dir)) + std::string(" nicht zusammen: "_w) + error;
    return false;
  }
  notes.push_back(std::string(kBerlinFile) + std::string(" wurde aus "_w) + kGermanFile +
                  std::string(" neu geschrieben ("_w) + groupdigits(count) + " Zellen)");
  return true;
}

}  // namespace

bool databasepair::begin(const std::string& dir, const lockwaiting& how, std::string& error) {
  dir_ = dir;
  notes_.clear();
  if (!lock_.lock(dir, how)) {
    error = lock_.error();
    return false;
  }
  for (const char* name : {kGermanFile, kBerlinFile})
    if (islink(joinpath(folderof(dir), name))) {
      error = linkrefusal(dir, name);
      return false;
    }
  if (!settle(dir, notes_, error)) return false;
  removestaletemporaries(dir, {}, true);
  return true;
}

void databasepair::finish(atomicfile& german, atomicfile& berlin) {
  german.writeout();
  berlin.writeout();
  // The indexes are made from the temporary files on a thread of their own
  // while this one syncs them; a draft that fails is made again from the
  // file in place.
  atomicfile* files[2] = {&german, &berlin};
  std::string errors[2];
  auto draft = [&] {
    for (int i = 0; i < 2; ++i) {
      try {
        drafts_[i] = draftindex(files[i]->temppath(), errors[i]);
      } catch (const std::exception&) {
        drafts_[i] = nullptr;
      }
    }
  };
  std::thread drafting;
  try {
    drafting = std::thread(draft);
  } catch (const std::system_error&) {
  }
  try {
    german.finish();
    berlin.finish();
  } catch (...) {
    if (drafting.joinable()) drafting.join();
    drafts_[0] = drafts_[1] = nullptr;
    throw;
  }
  if (drafting.joinable()) drafting.join();
}

bool databasepair::replace(atomicfile& german, atomicfile& berlin, std::string& error) {
  if (!replacetogether(dir_, {&german, &berlin}, error)) return false;
  removestaletemporaries(dir_, {}, true);
  writeindexes();
  return true;
}

namespace {

// Writes the index beside each database file of dir that exists, both at
// once, one on a thread of its own (the two files share nothing), from the
// drafts made while the files were synced where there are any.  Returns
// the files indexed; a failure is told in notes.
std::vector<std::string> indexboth(const std::string& dir, std::shared_ptr<indexdraft> drafts[2],
                                   std::vector<std::string>& notes) {
  struct job {
    const char* name;
    std::shared_ptr<indexdraft> draft;
    bool present = false, ok = false;
    std::string error;
  };
  job jobs[2] = {{kGermanFile, drafts[0]}, {kBerlinFile, drafts[1]}};
  drafts[0] = drafts[1] = nullptr;
  auto build = [&](job& j) {
    const std::string path = joinpath(folderof(dir), j.name);
    struct stat st {};
    j.present = ::lstat(path.c_str(), &st) == 0;
    if (!j.present) return;
    try {
      j.ok = j.draft && commitindex(*j.draft, path, j.error);
      j.draft = nullptr;
      if (!j.ok) j.ok = buildtowerindex(path, j.error);
    } catch (const std::exception& e) {
      j.error = e.what();
    }
  };
  std::thread berlin;
  try {
    berlin = std::thread(build, std::ref(jobs[1]));
  } catch (const std::system_error&) {
    build(jobs[1]);  // no thread to be had: one after the other
  }
  build(jobs[0]);
  if (berlin.joinable()) berlin.join();
  std::vector<std::string> done;
  for (const job& j : jobs) {
    if (!j.present) continue;
    if (j.ok)
      done.push_back(j.name);
    else
      notes.push_back(std::string("Index zu "_w) + j.name + std::string(" nicht geschrieben ("_w) + j.error +
                      std::string("); Suchen lesen die ganze Datei, bis \"turmcli index\" ihn neu schreibt"_w));
  }
  return done;
}

}  // namespace

std::vector<std::string> databasepair::writeindexes() { return indexboth(dir_, drafts_, indexnotes_); }

paircheck settledatabasepair(const std::string& dir, int timeoutms) {
  paircheck c;
  if (!journalpresent(dir)) return c;
  folderlock lock;
  lockwaiting how;
  how.timeoutms = timeoutms;
  if (!lock.lock(dir, how)) {
    c.state = lock.busy() ? pairstate::busy : pairstate::failed;
    c.error = lock.error();
    return c;
  }
  if (!settle(dir, c.notes, c.error)) {
    c.state = pairstate::failed;
    return c;
  }
  c.state = c.notes.empty() ? pairstate::fine : pairstate::repaired;
  if (c.state == pairstate::repaired) {  // the files put in place have no index yet
    std::shared_ptr<indexdraft> none[2];
    indexboth(dir, none, c.notes);
  }
  return c;
}
