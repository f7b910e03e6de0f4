// A Shell double for tests: records every (verb, document) and answers
// with `result` (true unless set).  Installs itself on construction and
// restores the default on destruction.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/shell.h"

class RecordingShell : public Shell {
 public:
  RecordingShell() { setshell(this); }
  ~RecordingShell() override { setshell(nullptr); }
  bool open(const std::string& verb, const std::string& document) override {
    opened.emplace_back(verb, document);
    return result;
  }
  std::vector<std::pair<std::string, std::string>> opened;
  bool result = true;
};
