// A FontDialog double for tests: records every opening and answers from a
// queue of prepared results (a FontSpec, or nothing for Cancel; Cancel once
// the queue is empty).  Installs itself on construction and restores the
// cancelling default on destruction.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/fontdialog.h"

class ScriptedFontDialog : public FontDialog {
 public:
  struct Opening {
    std::string title;
    FontSpec start;
    int minsize, maxsize;
    bool fixedpitch;
  };

  ScriptedFontDialog();
  ~ScriptedFontDialog() override;

  std::optional<FontSpec> choose(const std::string& title, const FontSpec& start, int minsize,
                                 int maxsize, bool fixedpitch) override;

  std::vector<Opening> openings;
  std::deque<std::optional<FontSpec>> results;
};
