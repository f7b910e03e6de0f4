// Helpers shared by the file-level tests: scratch folders, whole-file reads and
// writes, gzip files, database files as records.
#pragma once

#include <string>
#include <vector>

#include "celldb/towerrec.h"

// A fresh empty folder below the working directory, removed with its files
// when the object goes.
class scratchdir {
 public:
  explicit scratchdir(const std::string& name);
  ~scratchdir();
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of all entries (also hidden ones), sorted; without the lock
  // file ".turmfinder.lock" that every writing run leaves in its folder.
  std::vector<std::string> entries() const;

 private:
  std::string path_;
};

std::string readbytes(const std::string& path);
void writebytes(const std::string& path, const std::string& data);
bool fileexists(const std::string& path);
// gzip-compresses data (one member).
std::string gzipped(const std::string& data);
// The records of a database file.
std::vector<ttowerrec> readrecords(const std::string& path);
