#include "platform/testing/scripted_fontdialog.h"

ScriptedFontDialog::ScriptedFontDialog() { setfontdialog(this); }
ScriptedFontDialog::~ScriptedFontDialog() { setfontdialog(nullptr); }

std::optional<FontSpec> ScriptedFontDialog::choose(const std::string& title, const FontSpec& start,
                                                   int minsize, int maxsize, bool fixedpitch) {
  openings.push_back({title, start, minsize, maxsize, fixedpitch});
  if (results.empty()) return std::nullopt;
  std::optional<FontSpec> r = results.front();
  results.pop_front();
  return r;
}
