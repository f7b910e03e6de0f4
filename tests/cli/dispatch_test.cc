// The command dispatcher and the command lines of prepare and demo:
// usage, exit status, one-line errors, UTF-8 output.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"
#include "tests/common/testfiles.h"

namespace {

struct run {
  int status;
  std::string out, err;
};

run turmcli(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = runturmcli(args, out, err);
  return {status, out.str(), err.str()};
}

int lines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

TEST(Dispatch, NoArgumentsAndUnknownCommandsShowUsageAndFail) {
  for (auto args : std::vector<std::vector<std::string>>{{}, {"frobnicate"}}) {
    run r = turmcli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("prepare"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("demo"), std::string::npos) << r.err;
  }
  EXPECT_NE(turmcli({"frobnicate"}).err.find("frobnicate"), std::string::npos);
}

TEST(Dispatch, HelpAskedForIsSuccessOnStdout) {
  for (auto args : std::vector<std::vector<std::string>>{{"--help"}, {"-h"}}) {
    run r = turmcli(args);
    EXPECT_EQ(r.status, 0) << args[0];
    EXPECT_EQ(r.err, "");
    for (const auto& c : clicommands()) EXPECT_NE(r.out.find(c.name), std::string::npos) << r.out;
  }
  for (const auto& c : clicommands()) {
    for (const char* flag : {"--help", "-h"}) {
      run r = turmcli({c.name, flag});
      EXPECT_EQ(r.status, 0) << c.name << " " << flag;
      EXPECT_EQ(r.err, "") << c.name;
      EXPECT_EQ(r.out.rfind(std::string("Aufruf: turmcli ") + c.name + " ", 0), 0u) << r.out;
    }
  }
}

TEST(Dispatch, BadArgumentsFailWithUsage) {
  EXPECT_EQ(turmcli({"prepare"}).status, 2);
  EXPECT_EQ(turmcli({"prepare", "a.csv", "b.csv"}).status, 2);
  EXPECT_EQ(turmcli({"prepare", "a.csv", "--bogus"}).status, 2);
  EXPECT_EQ(turmcli({"prepare", "a.csv", "--dir"}).status, 2);
  EXPECT_EQ(turmcli({"demo", "--count", "-5"}).status, 2);
  EXPECT_EQ(turmcli({"demo", "--count", "12x"}).status, 2);
  EXPECT_EQ(turmcli({"demo", "extra"}).status, 2);
}

TEST(Dispatch, FailureIsOneLineOnStderrWithStatus2) {
  run r = turmcli({"prepare", "missing-input.csv", "--dir", "."});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(lines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("missing-input.csv"), std::string::npos);
}

TEST(Dispatch, PrepareSummaryCountsRowsFilesAndSkipsInUtf8) {
  scratchdir dir("cmd-prepare");
  writebytes(dir.file("in.csv"),
             "radio,mcc,net,area,cell,unit,lon,lat,range,samples\n"
             "GSM,262,1,1,1,0,13.4,52.5,100,1\n"
             "GSM,262,1,1,1,0,9.9,48.1,100,1\n"
             "GSM,262,70000,1,1,0,9.9,48.1,100,1\n"
             "GSM,208,1,1,1,0,2.3,48.8,100,1\n");
  run r = turmcli({"prepare", dir.file("in.csv"), "--dir=" + dir.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Gelesen:                       4"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("germtowers.dat:                2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("berlintowers.dat:              1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Übersprungen:                  1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1   net nicht in 0..65535"), std::string::npos) << r.out;
  EXPECT_EQ(readrecords(dir.file("germtowers.dat")).size(), 2u);
}

TEST(Dispatch, DemoWritesTheRequestedCount) {
  scratchdir dir("cmd-demo");
  run r = turmcli({"demo", "--dir", dir.path(), "--count=1000"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")).size(), 1000 * sizeof(ttowerrec));
  EXPECT_NE(r.out.find("1.000"), std::string::npos) << r.out;
}

// demo and prepare treat a missing folder alike: made with the folders
// above it; where it can't be made, one message and nothing left behind.
TEST(Dispatch, DemoAndPrepareCreateAMissingFolderAlike) {
  scratchdir dir("cmd-folders");
  writebytes(dir.file("in.csv"),
             "radio,mcc,net,area,cell,unit,lon,lat,range,samples\nGSM,262,1,1,1,0,13.4,52.5,100,1\n");
  writebytes(dir.file("plainfile"), "x");
  for (const char* command : {"demo", "prepare"}) {
    std::vector<std::string> args = {command};
    if (std::string(command) == "prepare") args.push_back(dir.file("in.csv"));
    const std::string target = dir.file(std::string(command) + "/a/b");
    std::vector<std::string> make = args;
    make.insert(make.end(), {"--dir", target});
    if (std::string(command) == "demo") make.insert(make.end(), {"--count", "50"});
    run r = turmcli(make);
    ASSERT_EQ(r.status, 0) << command << ": " << r.err;
    EXPECT_GT(readbytes(target + "/germtowers.dat").size(), 0u) << command;

    std::vector<std::string> blocked = args;
    blocked.insert(blocked.end(), {"--dir", dir.file("plainfile") + "/sub"});
    r = turmcli(blocked);
    EXPECT_EQ(r.status, 2) << command;
    EXPECT_EQ(lines(r.err), 1) << command << ": " << r.err;
    EXPECT_NE(r.err.find("kann nicht angelegt werden"), std::string::npos) << command << ": " << r.err;
  }
}

}  // namespace
