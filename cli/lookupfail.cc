#include "cli/lookupfail.h"

#include <cerrno>
#include <string>

#include "cli/commands.h"
#include "lib/support/atomicfile.h"
#include "lib/support/ioerror.h"

int lookupfail(std::ostream& err, std::string_view command, std::string_view text) {
  say(err, "turmcli " + std::string(command) + ": " + std::string(text));
  return kExitFailure;
}

int runlookup(std::ostream& err, std::string_view command, const std::function<int()>& body) {
  try {
    return body();
  } catch (const IoError& e) {
    // The system's reason once: most texts carry it already.  EIO without
    // it is a record cut short, which the text says.
    std::string text = e.what();
    std::string reason = systemreason(e.code());
    if (e.code() != 0 && e.code() != EIO && text.find(reason) == std::string::npos) text += ": " + reason;
    return lookupfail(err, command, text);
  }
}
