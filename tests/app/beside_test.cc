// The window beside runs of turmcli in its folder: a database replaced
// while it is open, a replacement killed halfway before it starts,
// temporaries of dead writers, and a file size limit on its map page.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "ingest/berlinbounds.h"
#include "ingest/update.h"
#include "lib/support/programstart.h"
#include "lib/support/replacejournal.h"
#include "lib/support/strnum.h"
#include "tests/app/apptest.h"
#include "tests/common/screenshot.h"

using namespace apptest;

namespace {

const std::string kHeader =
    "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";

// Applies a diff of `cells` new Berlin cells (ids from `first`) to the
// working folder, as turmcli update does.
bool addcells(int first, int cells) {
  std::string diff = kHeader;
  for (int i = 0; i < cells; ++i)
    diff += "LTE,262,2,7," + std::to_string(first + i) + ",0,13.4,52.5,500,5,1,0,0,0\n";
  writebytes("diff.csv", diff);
  updateoptions o;
  o.diffpath = "diff.csv";
  return updatedatabase(o).ok;
}

std::string berlinpartof(const std::string& german) {
  std::string out;
  for (const ttowerrec& r : readallrecords(german))
    if (inberlin(r)) out.append(reinterpret_cast<const char*>(&r), sizeof r);
  return out;
}

// First, before any test makes the application: the map page under a
// file size limit, in a child process started as the program's main
// starts (startprogram), so that a SIGXFSZ would end it.
TEST(FileSizeLimit, TheMapPageOverTheLimitIsASchreibfehlerNotADeath) {
  ASSERT_TRUE(writedemodatabase(".", 300).ok);
  writebytes(kMapPageFile, "old page");
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  std::fflush(nullptr);
  pid_t child = ::fork();
  if (child == 0) {
    startprogram();
    ensureapp();
    RecordingMessageWindows messages;
    RecordingShell shell;
    TAW window;
    window.show();
    window.runcommand(51);
    struct rlimit lim {};
    ::getrlimit(RLIMIT_FSIZE, &lim);
    lim.rlim_cur = 200;
    ::setrlimit(RLIMIT_FSIZE, &lim);
    window.runcommand(56);
    std::string text = messages.calls.empty() ? "no notice" : messages.calls.back().text;
    ::_exit(::write(report[1], text.data(), text.size()) < 0 ? 2 : 0);
  }
  ::close(report[1]);
  std::string text;
  char buf[512];
  for (ssize_t n; (n = ::read(report[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
  int ws = 0;
  ASSERT_EQ(::waitpid(child, &ws, 0), child);
  ASSERT_TRUE(WIFEXITED(ws)) << "the window died of signal " << WTERMSIG(ws);
  EXPECT_EQ(text, std::string("Schreibfehler in celltowers.html: ") + std::strerror(EFBIG));
  EXPECT_EQ(readbytes(kMapPageFile), "old page");
  removeprogramfiles();
}

class BesideTest : public AppTest {};

TEST_F(BesideTest, ADatabaseReplacedUnderTheOpenWindowIsShownAnewAtTheNextPaintCommandOrMenu) {
  usedemo();
  start();
  ASSERT_TRUE(choose(51));
  int cells = kDemoCount;
  // Each way the window meets the new file; the command on the old
  // selection (Umgebende Objekte) does not run on the new list.
  const std::vector<std::pair<const char*, std::function<void()>>> triggers = {
      {"paint", [&] { record(); }},
      {"command", [&] { window->runcommand(57); }},
      {"database menu", [&] { window->runcommand(58); }}};
  for (const auto& [what, trigger] : triggers) {
    SCOPED_TRACE(what);
    clickrow(6);
    ASSERT_EQ(selectedline, 3);
    messages.calls.clear();
    ASSERT_TRUE(addcells(900000 + cells, 5));
    cells += 5;
    trigger();
    const std::string count = groupdigits(static_cast<std::uint64_t>(cells));
    const std::string notice = std::string("germtowers.dat wurde ersetzt und enthält jetzt "_w) + count +
                               std::string(" Zellen; die Liste beginnt neu."_w);
    ASSERT_TRUE(waitfor([&] { return notices(notice) == 1; }))
        << (messages.calls.empty() ? "no notice" : messages.calls.back().text);
    EXPECT_EQ(noticecount(), 1) << "the command ran on a list that is gone";
    EXPECT_EQ(selectedline, 0);
    EXPECT_EQ(towercount, cells);
    EXPECT_EQ(record().line(1), " Turmfinder in Deutschland; Anzahl=" + count);
  }
  keepscreenshot(window->grab().toImage(), "turm_replaced_list.png");
}

TEST_F(BesideTest, TheStartFinishesAReplacementKilledHalfwayAndRemovesDeadTemporaries) {
  usedemo();
  // An update killed between the renames of its two files.
  std::fflush(nullptr);
  pid_t child = ::fork();
  if (child == 0) {
    replacestephook = [](const char* step) {
      if (std::strcmp(step, "after-rename-1") == 0) ::raise(SIGKILL);
    };
    addcells(800000, 7);
    ::_exit(0);
  }
  int ws = 0;
  ASSERT_EQ(::waitpid(child, &ws, 0), child);
  ASSERT_TRUE(WIFSIGNALED(ws));
  ASSERT_NE(readbytes("berlintowers.dat"), berlinpartof("germtowers.dat")) << "no half-replaced pair";
  const timespec aged[2] = {{1, 0}, {1, 0}};
  for (const char* t : {".settings.dat.tmp1-0", ".fontpar.dat.tmp1-0", ".celltowers.html.tmp1-0"}) {
    writebytes(t, "half written");
    ASSERT_EQ(::utimensat(AT_FDCWD, t, aged, 0), 0);
  }
  start();
  EXPECT_EQ(notices(std::string("Eine abgebrochene Ersetzung der Datenbank in . wurde abgeschlossen."_w)), 1);
  EXPECT_EQ(readbytes("berlintowers.dat"), berlinpartof("germtowers.dat"));
  for (const auto& e : fs::directory_iterator("."))
    EXPECT_TRUE(e.path().filename().string().find(".tmp") == std::string::npos &&
                e.path().filename() != kJournalFile)
        << e.path() << " left behind";
  window->runcommand(59);
  EXPECT_EQ(towercount * sizeof(ttowerrec), readbytes("berlintowers.dat").size());
}

}  // namespace
