#include "celldb/database.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "celldb/keptrecords.h"
#include "lib/support/ioerror.h"
#include "lib/support/messages.h"
#include "lib/support/w1252.h"

std::string dbfilename = "germtowers.dat";
std::int32_t towercount = 0;
constinit ResultList resultlist;
std::int32_t resultcount = 0;
DatabaseNotice databasenotice = &infomessage;

namespace {

std::unique_ptr<RecordSource> dbfile;
std::string dbpath;

// Raw static storage (bss): a ttowerrec array would be cleared record by
// record at start, because its reals have a default initialiser; bytes
// are left to the system's lazily mapped zero pages.
alignas(ttowerrec) unsigned char scanstorage[sizeof(ttowerrec) * kScanBlockRecords];
ttowerrec* const scanbuffer = reinterpret_cast<ttowerrec*>(scanstorage);
bool scanbufferinuse = false;

std::string recordtext(std::int32_t n) {
  return "Datensatz " + std::to_string(n) + " von " + dbfilename;
}

}  // namespace

[[noreturn]] void throwshortread(std::int32_t n) {
  throw IoError(EIO, recordtext(n) + std::string(" nicht vollständig lesbar"_w));
}

OpenResult opendatabase(const std::string& name, std::unique_ptr<RecordSource> source) {
  if (!source) return {};
  int error = 0;
  std::int64_t bytes = source->size(error);
  if (bytes < 0) return {};
  std::int64_t records = bytes / static_cast<std::int64_t>(sizeof(ttowerrec));
  dbfile = std::move(source);
  beginkeeping();
  dbfilename = name;
  dbpath = name;
  towercount = static_cast<std::int32_t>(std::min<std::int64_t>(records, INT32_MAX));
  return {true, towercount};
}

OpenResult opendatabase(const std::string& name) {
  int error = 0;
  return opendatabase(name, openposixsource(name, error));
}

const std::string& databasepath() { return dbpath; }

bool databasestamp(filestamp& s) { return dbfile && dbfile->stamp(s); }

bool databaseopen() { return dbfile != nullptr; }

std::int32_t readablerecords() {
  if (!dbfile) return 0;
  int error = 0;
  std::int64_t bytes = dbfile->size(error);
  if (bytes < 0) return towercount;
  std::int64_t records = bytes / static_cast<std::int64_t>(sizeof(ttowerrec));
  return static_cast<std::int32_t>(std::min<std::int64_t>(records, towercount));
}

bool databasereplaced() {
  std::uint64_t device = 0, inode = 0;
  if (!dbfile || !dbfile->identity(device, inode)) return false;
  struct stat st {};
  if (::stat(dbfilename.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (static_cast<std::uint64_t>(st.st_dev) != device || static_cast<std::uint64_t>(st.st_ino) != inode) return true;
  return st.st_size / static_cast<off_t>(sizeof(ttowerrec)) > towercount && towercount < INT32_MAX;
}

void closedatabase() {
  dbfile.reset();
  beginkeeping();
  towercount = 0;
  resultcount = 0;
}

std::int32_t readtowers(std::int32_t first, std::int32_t count, ttowerrec* buf) {
  if (!dbfile) throw IoError(EBADF, recordtext(first) + std::string(": keine Datenbank geöffnet"_w));
  if (first < 0 || count < 0) throw IoError(EINVAL, recordtext(first) + ": falsche Satznummer");
  if (count == 0) return 0;
  int error = 0;
  std::int64_t got = dbfile->readat(static_cast<std::int64_t>(first) * 44, buf,
                                    static_cast<std::size_t>(count) * 44, error);
  if (got < 0) throw IoError(error != 0 ? error : EIO, recordtext(first) + ": " + std::strerror(error));
  return static_cast<std::int32_t>(got / 44);
}

ttowerrec readtower(std::int32_t n) {
  ttowerrec r{};
  if (readtowers(n, 1, &r) != 1) throwshortread(n);
  return r;
}

ScanBlock::ScanBlock() : data_(scanbuffer), shared_(!scanbufferinuse) {
  if (shared_)
    scanbufferinuse = true;
  else
    data_ = new ttowerrec[kScanBlockRecords];
}

ScanBlock::~ScanBlock() {
  if (shared_)
    scanbufferinuse = false;
  else
    delete[] data_;
}

void selectall() {
  resultcount = std::min(towercount, kMaxResults);
  resultlist.fillidentity(resultcount);
}

bool switchdatabase(const std::string& name) {
  if (name == dbfilename && dbfile) return true;
  OpenResult r = opendatabase(name);
  if (!r.ok) {
    databasenotice("Datei " + name + std::string(" konnte nicht geöffnet werden!"_w));
    return false;
  }
  selectall();
  return true;
}

std::string nettypename(int code) {
  switch (code) {
    case 0: return "Alle";
    case 1: return "GSM";
    case 2: return "UMTS";
    case 3: return "Unbekannt";
    case 4: return "LTE";
    case 5: return "CDMA";
    case kTypeNR: return "NR";
    default: return (std::to_string(code) + "???").substr(0, 20);
  }
}

std::string OperatorName(int netid) {
  switch (netid) {
    case 0: return "Alle";
    case 1: case 6: return "Telekom";
    case 2: case 4: return "Vodafone";
    case 3: case 5: case 7: return "O2";
    default: return "";
  }
}
