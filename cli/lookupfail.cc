#include "cli/lookupfail.h"

#include <string>

#include "cli/commands.h"
#include "lib/support/ioerror.h"
#include "lib/support/messages.h"

int lookupfail(std::ostream& err, std::string_view command, std::string_view text) {
  say(err, "turmcli " + std::string(command) + ": " + std::string(text));
  return kExitFailure;
}

int runlookup(std::ostream& err, std::string_view command, const std::function<int()>& body) {
  try {
    return body();
  } catch (const IoError& e) {
    std::string text = e.what();
    std::string system = systemerrortext(e.code());
    if (!system.empty()) text += " (" + system + ")";
    return lookupfail(err, command, text);
  }
}
