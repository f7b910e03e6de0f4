#include "app/waysin.h"

#include <atomic>
#include <exception>
#include <filesystem>
#include <memory>

#include "app/backgroundrun.h"
#include "app/core/workfolder.h"
#include "app/importcommands.h"
#include "lib/support/messages.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"

namespace {

bool writedemo(QWidget* window, const demowriter& writer, std::chrono::milliseconds limit) {
  // Shared with the worker: it may outlive this call when it hangs.
  auto result = std::make_shared<demoresult>();
  auto givenup = std::make_shared<std::atomic<bool>>(false);
  lockwaiting how;
  how.timeoutms = kDemoLockWaitMs;
  how.cancelled = [givenup] { return givenup->load(); };
  bool ended = runinbackground(
      window,
      [writer, result, how] {
        try {
          *result = writer(".", kDemoDefaultCount, how, true);
        } catch (const std::exception& e) {
          result->ok = false;
          result->error = e.what();
        }
      },
      limit);
  const std::string head =
      "Die Demo-Datenbank konnte im Ordner " + utf8ToW1252(workingfolder()) + " nicht geschrieben werden";
  if (!ended) {
    // A worker that still makes records stops at its next poll.
    givenup->store(true);
    errormessage(head + ": nach " + std::to_string(limit.count() / 1000) +
                 std::string(" Sekunden war sie noch nicht fertig (hängt der Datenträger?)."_w) +
                 "\nTurmfinder wird beendet.");
    return false;
  }
  if (!result->ok) {
    errormessage(head + ":\n" + (result->error.empty() ? std::string("unbekannter Fehler") : result->error) +
                 "\nTurmfinder wird beendet.");
    return false;
  }
  return true;
}

}  // namespace

wayin demoway(demowriter writer, std::chrono::milliseconds limit) {
  wayin w;
  w.caption = "&Demo-Datenbank anlegen";
  w.detail = "Demo-Datenbank: " + groupdigits(kDemoDefaultCount) +
             std::string(" erfundene Zellen um deutsche Städte, zum Ausprobieren"_w);
  w.objectname = "way_demo";
  w.run = [writer = std::move(writer), limit](QWidget* window) { return writedemo(window, writer, limit); };
  return w;
}

std::vector<wayin> waysin() { return {demoway(), importway()}; }
