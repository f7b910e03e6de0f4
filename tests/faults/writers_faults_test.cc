// The database pair under writers that meet or die: two real turmcli runs
// started together, a run waiting for another one, a run killed at every
// step of the replacement, temporaries of live and dead writers, links
// and non-files where the databases should be.  Whatever happens, the
// folder holds the old pair or the new one, never a mix, and nothing is
// written through a link.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <csignal>
#include <cstring>
#include <sstream>
#include <thread>

#include "celldb/database.h"
#include "celldb/towerindex.h"
#include "cli/commands.h"
#include "ingest/databasepair.h"
#include "ingest/berlinbounds.h"
#include "ingest/demodb.h"
#include "lib/support/folderlock.h"
#include "lib/support/replacejournal.h"
#include "tests/faults/faultfiles.h"

namespace {

const std::string kTurmcli = TURMCLI_BINARY;
const std::string kHeader =
    "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";

std::string cellrow(int cell) { return "LTE,262,2,7," + std::to_string(cell) + ",0,13.4,52.5,500,5,1,0,0,0\n"; }

bool holdscell(const std::vector<ttowerrec>& recs, int cell) {
  for (const ttowerrec& r : recs)
    if (r.cellid == cell) return true;
  return false;
}

// The pair agrees (berlintowers.dat is the Berlin part of germtowers.dat)
// and no temporary or journal is left.
void expectpair(const scratchdir& dir) {
  std::string berlin;
  for (const ttowerrec& r : readrecords(dir.file("germtowers.dat")))
    if (inberlin(r)) berlin.append(reinterpret_cast<const char*>(&r), sizeof r);
  EXPECT_EQ(readbytes(dir.file("berlintowers.dat")), berlin) << "a half-replaced pair";
  for (const std::string& e : dir.entries())
    EXPECT_TRUE(e == "germtowers.dat" || e == "berlintowers.dat" || e[0] != '.') << e << " left behind";
}

// Waits until the file holds the text (10 s at most).
bool appears(const std::string& path, const std::string& text) {
  for (int i = 0; i < 1000; ++i) {
    if (readbytes(path).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// --- one writer at a time ------------------------------------------------------------

TEST(TwoRuns, UpdatesStartedTogetherBothKeepTheirCell) {
  scratchdir dir("together"), logs("together-logs");
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_TRUE(writedemodatabase(dir.path(), 100000).ok);
    const int a = 900000 + 2 * round, b = a + 1;
    writebytes(logs.file("a.csv"), kHeader + cellrow(a));
    writebytes(logs.file("b.csv"), kHeader + cellrow(b));
    spawned ra = spawn(kTurmcli, {"update", logs.file("a.csv"), "--dir", dir.path()}, logs.file("a"));
    spawned rb = spawn(kTurmcli, {"update", logs.file("b.csv"), "--dir", dir.path()}, logs.file("b"));
    programresult x = await(ra), y = await(rb);
    EXPECT_EQ(x.status, kExitOk) << x.err;
    EXPECT_EQ(y.status, kExitOk) << y.err;
    std::vector<ttowerrec> recs = readrecords(dir.file("germtowers.dat"));
    EXPECT_EQ(recs.size(), 100002u);
    EXPECT_TRUE(holdscell(recs, a) && holdscell(recs, b)) << "one update's cell was lost";
    expectpair(dir);
  }
}

TEST(TwoRuns, EveryWriterWaitsForTheLockSaysSoStopsOnCtrlCAndAKilledHolderBlocksNobody) {
  scratchdir dir("waiting"), logs("waiting-logs");
  ASSERT_TRUE(writedemodatabase(dir.path(), 300).ok);
  writebytes(logs.file("diff.csv"), kHeader + cellrow(4711));
  const std::string german = readbytes(dir.file("germtowers.dat"));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t holder = ::fork();
  if (holder == 0) {
    folderlock l;
    if (l.lock(dir.path()) && ::write(ready[1], "y", 1) == 1)
      for (;;) ::pause();
    ::_exit(1);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  const std::vector<std::vector<std::string>> commands = {{"prepare", logs.file("diff.csv")},
                                                          {"demo", "--count", "10"},
                                                          {"update", logs.file("diff.csv")}};
  for (auto args : commands) {
    SCOPED_TRACE(args[0]);
    args.insert(args.end(), {"--dir", dir.path()});
    spawned run = spawn(kTurmcli, args, logs.file(args[0]));
    EXPECT_TRUE(appears(run.base + ".err", "Warte auf eine andere Änderung in " + dir.path()))
        << readbytes(run.base + ".err");
    EXPECT_EQ(::waitpid(run.pid, nullptr, WNOHANG), 0) << "it wrote beside the lock holder";
    if (args[0] == "update") {
      ::kill(holder, SIGKILL);  // the lock goes with it
      EXPECT_EQ(await(run).status, kExitOk);
      break;
    }
    ::kill(run.pid, SIGINT);
    programresult r = await(run);
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("Abgebrochen"), std::string::npos) << r.err;
    EXPECT_EQ(readbytes(dir.file("germtowers.dat")), german);
  }
  ::waitpid(holder, nullptr, 0);
  EXPECT_TRUE(holdscell(readrecords(dir.file("germtowers.dat")), 4711));
  expectpair(dir);
}

// --- a kill at every step of the replacement ----------------------------------------

const char* killstep = "";
void killat(const char* step) {
  if (std::strcmp(step, killstep) == 0) ::raise(SIGKILL);
}

// Runs turmcli in-process; err comes back.
int turmcli(const std::vector<std::string>& args, std::string* errtext = nullptr) {
  std::ostringstream out, err;
  int status = runturmcli(args, out, err);
  if (errtext) *errtext = err.str();
  return status;
}

TEST(KilledRun, AKillAtAnyStepLeavesTheOldPairOrTheNextRunFinishesTheNewOne) {
  scratchdir inputs("kill-inputs");
  writebytes(inputs.file("export.csv"), germancsv(60, true));
  writebytes(inputs.file("diff.csv"), kHeader + cellrow(4711));
  writebytes(inputs.file("nothing.csv"), kHeader);
  const std::vector<std::vector<std::string>> commands = {
      {"prepare", inputs.file("export.csv")}, {"update", inputs.file("diff.csv")}, {"demo", "--count", "500"}};
  // Where the kill lands, and whether a temporary is removed by hand after it.
  const std::vector<std::pair<const char*, bool>> points = {{"before-journal", false}, {"after-journal", false},
                                                            {"after-rename-1", false}, {"after-rename-1", true},
                                                            {"after-rename-2", false}};
  for (const auto& command : commands) {
    // What the run makes when nothing stops it.
    scratchdir whole("kill-whole");
    ASSERT_TRUE(writedemodatabase(whole.path(), 300).ok);
    const std::string old = readbytes(whole.file("germtowers.dat"));
    std::vector<std::string> args = command;
    args.insert(args.end(), {"--dir", whole.path()});
    ASSERT_EQ(turmcli(args), kExitOk);
    const std::string fresh = readbytes(whole.file("germtowers.dat"));
    for (const auto& [step, temporarygone] : points) {
      SCOPED_TRACE(command[0] + " killed at " + step + (temporarygone ? ", Berlin temporary removed" : ""));
      scratchdir dir("kill");
      ASSERT_TRUE(writedemodatabase(dir.path(), 300).ok);
      args = command;
      args.insert(args.end(), {"--dir", dir.path()});
      std::fflush(nullptr);
      pid_t child = ::fork();
      if (child == 0) {
        killstep = step;
        replacestephook = killat;
        ::_exit(turmcli(args) == kExitOk ? 0 : 3);
      }
      int ws = 0;
      ASSERT_EQ(::waitpid(child, &ws, 0), child);
      ASSERT_TRUE(WIFSIGNALED(ws) && WTERMSIG(ws) == SIGKILL) << "the kill was not injected";
      if (temporarygone)
        for (const std::string& t : journaltemporaries(dir.path())) std::remove(dir.file(t).c_str());
      // The next run finds the pair consistent or puts it right first.
      std::string err;
      ASSERT_EQ(turmcli({"update", inputs.file("nothing.csv"), "--dir", dir.path()}, &err), kExitOk) << err;
      const bool begun = std::strcmp(step, "before-journal") != 0;
      EXPECT_EQ(readbytes(dir.file("germtowers.dat")), begun ? fresh : old);
      EXPECT_EQ(err.find("abgebrochene Ersetzung") != std::string::npos, begun && !temporarygone) << err;
      if (temporarygone) {
        EXPECT_NE(err.find("die neue Fassung einer abgebrochenen Ersetzung fehlt"), std::string::npos) << err;
        EXPECT_NE(err.find("berlintowers.dat wurde aus germtowers.dat neu geschrieben"), std::string::npos) << err;
      }
      expectpair(dir);
    }
  }
}

// The window's check at start finishes a killed run's replacement, and the
// files it puts in place get their index (which the lookups then use).
TEST(KilledRun, TheWindowsRepairWritesTheIndexOfTheFilesItPutsInPlace) {
  scratchdir dir("kill-index");
  ASSERT_TRUE(writedemodatabase(dir.path(), 300).ok);
  std::fflush(nullptr);
  pid_t child = ::fork();
  if (child == 0) {
    killstep = "after-rename-1";
    replacestephook = killat;
    ::_exit(turmcli({"demo", "--count", "700", "--dir", dir.path()}) == kExitOk ? 0 : 3);
  }
  int ws = 0;
  ASSERT_EQ(::waitpid(child, &ws, 0), child);
  ASSERT_TRUE(WIFSIGNALED(ws) && WTERMSIG(ws) == SIGKILL) << "the kill was not injected";
  paircheck c = settledatabasepair(dir.path(), 1000);
  ASSERT_EQ(c.state, pairstate::repaired) << c.error;
  for (const char* name : {"germtowers.dat", "berlintowers.dat"}) {
    ASSERT_TRUE(opendatabase(dir.file(name)).ok) << name;
    towerindex index;
    EXPECT_TRUE(index.open()) << name << ": " << static_cast<int>(index.state());
    closedatabase();
  }
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")).size(), 700 * sizeof(ttowerrec));
}

// --- temporaries: only dead writers' ones go -------------------------------------------

TEST(Temporaries, ARunRemovesDeadWritersTemporariesOfEveryFileAndNoLiveOnes) {
  scratchdir dir("temps"), outside("temps-outside");
  ASSERT_TRUE(writedemodatabase(dir.path(), 300).ok);
  writebytes(outside.file("victim"), "precious");
  const std::vector<std::string> dead = {".germtowers.dat.tmp1-0", ".berlintowers.dat.tmp1-1",
                                         ".settings.dat.tmp1-0", ".fontpar.dat.tmp1-0",
                                         ".celltowers.html.tmp1-0", "..turmfinder.journal.tmp1-0"};
  // A live writer whose pid means nothing here (another PID namespace),
  // one that has just created its file, a link and another program's file.
  const std::vector<std::string> live = {".germtowers.dat.tmp999999999-0", ".settings.dat.tmp2-0",
                                         ".germtowers.dat.tmplink", ".other.dat.tmp1-0"};
  const auto old = std::chrono::system_clock::now() - std::chrono::minutes(1);
  const timespec aged[2] = {{std::chrono::system_clock::to_time_t(old), 0},
                            {std::chrono::system_clock::to_time_t(old), 0}};
  for (const std::string& n : dead) writebytes(dir.file(n), "half written");
  writebytes(dir.file(live[0]), "being written");
  writebytes(dir.file(live[1]), "just created");
  ASSERT_EQ(::symlink(outside.file("victim").c_str(), dir.file(live[2]).c_str()), 0);
  writebytes(dir.file(live[3]), "not ours");
  for (const std::string& n : dead) ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(n).c_str(), aged, 0), 0);
  for (int i : {0, 3}) ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(live[i]).c_str(), aged, 0), 0);
  ::utimensat(AT_FDCWD, outside.file("victim").c_str(), aged, 0);
  int writer = ::open(dir.file(live[0]).c_str(), O_RDONLY);
  ASSERT_EQ(::flock(writer, LOCK_EX), 0);
  writebytes(dir.file("nothing.csv"), kHeader);
  std::string err;
  EXPECT_EQ(turmcli({"update", dir.file("nothing.csv"), "--dir", dir.path()}, &err), kExitOk) << err;
  ::close(writer);
  std::vector<std::string> expected = live;
  for (const char* n : {"berlintowers.dat", "berlintowers.idx", "germtowers.dat", "germtowers.idx", "nothing.csv"})
    expected.push_back(n);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.entries(), expected);
  EXPECT_EQ(readbytes(outside.file("victim")), "precious");
}

// --- what is no database, and links ------------------------------------------------------

TEST(NoDatabase, UpdateNamesAnEmptyOrNonRegularGermtowersForWhatItIs) {
  scratchdir inputs("nodb-inputs");
  writebytes(inputs.file("diff.csv"), kHeader + cellrow(4711));
  struct kind {
    const char* what;
    std::function<void(const std::string&)> make;
  };
  const std::vector<kind> kinds = {
      {"ist leer (0 Bytes)", [](const std::string& p) { writebytes(p, ""); }},
      {"hat 20 Bytes, keinen ganzen Datensatz", [](const std::string& p) { writebytes(p, std::string(20, 'x')); }},
      {"ist ein Verzeichnis", [](const std::string& p) { ::mkdir(p.c_str(), 0755); }},
      {"ist eine FIFO", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); }}};
  for (const kind& k : kinds) {
    SCOPED_TRACE(k.what);
    scratchdir dir("nodb");
    writebytes(dir.file("berlintowers.dat"), "old berlin");
    k.make(dir.file("germtowers.dat"));
    std::string err;
    EXPECT_EQ(turmcli({"update", inputs.file("diff.csv"), "--dir", dir.path()}, &err), kExitFailure);
    EXPECT_NE(err.find(dir.file("germtowers.dat") + " " + k.what), std::string::npos) << err;
    EXPECT_EQ(err.find("zuerst"), std::string::npos) << err;
    EXPECT_EQ(readbytes(dir.file("berlintowers.dat")), "old berlin");
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"berlintowers.dat", "germtowers.dat"}));
  }
}

TEST(Links, LinkedDatabaseFilesAndLockFilesAreRefusedAndNeverReplaced) {
  scratchdir inputs("links-inputs");
  writebytes(inputs.file("export.csv"), germancsv(20, true));
  writebytes(inputs.file("diff.csv"), kHeader + cellrow(4711));
  const std::vector<std::vector<std::string>> commands = {
      {"prepare", inputs.file("export.csv")}, {"update", inputs.file("diff.csv")}, {"demo", "--count", "50"}};
  for (const char* linked : {"germtowers.dat", "berlintowers.dat", ".turmfinder.lock"}) {
    for (const auto& command : commands) {
      SCOPED_TRACE(command[0] + " with " + linked + " a link");
      scratchdir dir("links"), store("links-store");
      ASSERT_TRUE(writedemodatabase(dir.path(), 300).ok);
      ASSERT_EQ(std::rename(dir.file(linked).c_str(), store.file(linked).c_str()), 0);
      if (std::string(linked) == ".turmfinder.lock") writebytes(store.file(linked), "");
      const std::string target = readbytes(store.file(linked));
      ASSERT_EQ(::symlink(store.file(linked).c_str(), dir.file(linked).c_str()), 0);
      const std::string german = readbytes(dir.file("germtowers.dat"));
      std::vector<std::string> args = command;
      args.insert(args.end(), {"--dir", dir.path()});
      std::string err;
      EXPECT_EQ(turmcli(args, &err), kExitFailure);
      EXPECT_NE(err.find(dir.file(linked) + " ist ein Link"), std::string::npos) << err;
      struct stat st {};
      ASSERT_EQ(::lstat(dir.file(linked).c_str(), &st), 0);
      EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a copy";
      EXPECT_EQ(readbytes(store.file(linked)), target) << "written through the link";
      EXPECT_EQ(readbytes(dir.file("germtowers.dat")), german);
    }
  }
}

}  // namespace
