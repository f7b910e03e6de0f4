// A FileDialog double for tests: records every opening and answers from
// queues of prepared results (nothing for Cancel; Cancel once a queue is
// empty).  Installs itself on construction and restores the cancelling
// default on destruction.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/filedialog.h"

class ScriptedFileDialog : public FileDialog {
 public:
  struct Opening {
    bool save;
    std::string title, folder, suggested;
    std::vector<FileFilter> filters;
    int initial;
  };

  ScriptedFileDialog() { setfiledialog(this); }
  ~ScriptedFileDialog() override { setfiledialog(nullptr); }

  std::optional<std::string> openfile(const std::string& title, const std::string& folder,
                                      const std::vector<FileFilter>& filters) override {
    openings.push_back({false, title, folder, "", filters, 0});
    return next(openresults);
  }
  std::optional<SaveChoice> savefile(const std::string& title, const std::string& folder,
                                     const std::string& suggested,
                                     const std::vector<FileFilter>& filters, int initial) override {
    openings.push_back({true, title, folder, suggested, filters, initial});
    return next(saveresults);
  }

  std::vector<Opening> openings;
  std::deque<std::optional<std::string>> openresults;
  std::deque<std::optional<SaveChoice>> saveresults;

 private:
  template <typename T>
  static std::optional<T> next(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> r = std::move(queue.front());
    queue.pop_front();
    return r;
  }
};
