// A HelpSystem double for tests: records "openindex <file>" and "quit" in
// order.  Installs itself on construction and restores the default on
// destruction.
#pragma once

#include <string>
#include <vector>

#include "platform/help.h"

class RecordingHelp : public HelpSystem {
 public:
  RecordingHelp() { sethelpsystem(this); }
  ~RecordingHelp() override { sethelpsystem(nullptr); }
  void openindex(const std::string& helpfilename) override { calls.push_back("openindex " + helpfilename); }
  void quit() override { calls.push_back("quit"); }
  std::vector<std::string> calls;
};
