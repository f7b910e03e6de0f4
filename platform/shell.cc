#include "platform/shell.h"

namespace {
class NoShell : public Shell {
 public:
  bool open(const std::string&, const std::string&) override { return false; }
};
NoShell noshell;
Shell* installed = nullptr;
}  // namespace

Shell& shell() { return installed ? *installed : noshell; }
void setshell(Shell* s) { installed = s; }

bool ShellOpen(std::string_view verb, std::string_view document) {
  if (document.empty()) return false;
  return shell().open(std::string(verb), std::string(document));
}

bool OpenDocument(std::string_view document) {
  return ShellOpen("open", document.substr(0, document.size() < 255 ? document.size() : 255));
}
