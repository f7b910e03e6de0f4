// The main window and the database files that other runs change beside
// it: unfinished pair replacements, and a file replaced under its name.
#include <QTimer>

#include "app/taw.h"
#include "celldb/database.h"
#include "ingest/databasepair.h"
#include "ingest/demodb.h"
#include "lib/support/ioerror.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "query/criteria.h"
#include "query/liststate.h"

namespace {
// How soon a paint looks again while another run replaces the files.
constexpr int kBusyRetryMs = 250;
}  // namespace

std::string TAW::settlepair(int timeoutms, bool& busy) {
  paircheck c = settledatabasepair("", timeoutms);
  busy = c.state == pairstate::busy;
  if (busy)
    return std::string("Die Datenbank wird gerade von turmcli ersetzt; bitte gleich noch einmal versuchen."_w);
  std::string text;
  for (const std::string& note : c.notes) text += (text.empty() ? "" : "\n") + note + ".";
  if (c.state == pairstate::failed) text += (text.empty() ? "" : "\n") + c.error;
  return text;
}

bool TAW::followreplaceddatabase() {
  if (!databaseopen() || !databasereplaced()) return false;
  if (holdfile_ > 0) {
    // The list is being written from the open file: the new one after it.
    QTimer::singleShot(kBusyRetryMs, this, [this] { invalidate(); });
    return false;
  }
  bool busy = false;
  std::string settled = settlepair(0, busy);
  if (busy) {
    // The old file stays open, whole, until the other run is done.
    QTimer::singleShot(kBusyRetryMs, this, [this] { invalidate(); });
    return false;
  }
  const std::string name = dbfilename;
  if (!opendatabase(name).ok) return false;
  selectall();
  forgetselection();
  criteria = ttowerrec{};
  surroundingresult = false;
  invalidate();
  std::string text = name + std::string(" wurde ersetzt und enthält jetzt "_w) +
                     groupdigits(static_cast<std::uint64_t>(towercount)) +
                     std::string(" Zellen; die Liste beginnt neu."_w);
  if (!settled.empty()) text += "\n" + settled;
  replacednotice_ = text;
  return true;
}

bool TAW::showreplacednotice() {
  if (replacednotice_.empty()) return false;
  std::string text;
  text.swap(replacednotice_);
  setlistrange();
  infomessage(text);
  return true;
}

bool TAW::demodatabaseopen() const {
  if (!databaseopen() || towercount <= 0) return false;
  ttowerrec first[8];
  try {
    std::int32_t got = readtowers(0, towercount < 8 ? towercount : 8, first);
    return demodatabasestart(first, static_cast<std::size_t>(got), dbfilename == "berlintowers.dat");
  } catch (const IoError&) {
    return false;  // the paint that reads the list reports it
  }
}
