// settings.dat and fontpar.dat under faults: a folder or a FIFO in place
// of the file, links planted at temporary names, a folder the user may
// not write, the working folder gone at the moment of writing, a full
// disk, and garbage records.  Reads fall back to the caller's values,
// nothing blocks, writes report false, the old contents survive and
// nothing is left half written.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/core/settingsfiles.h"
#include "tests/faults/faultfiles.h"

namespace {

settingsrecord settingswith(std::uint16_t label, std::uint8_t fill) {
  settingsrecord s = emptysettings();
  s.labelchoice = label;
  std::memset(s.reserved, fill, sizeof s.reserved);
  return s;
}

std::string bytesof(const void* p, std::size_t n) { return std::string(static_cast<const char*>(p), n); }

fontrecord namedfont(const char* name, std::uint16_t size) {
  fontrecord r = defaultfontrecord();
  setfontrecordname(r, name);
  r.size = size;
  return r;
}

TEST(FolderInPlace, SettingsFolderIsNotReadAndNotReplaced) {
  scratchdir dir("settingsdir");
  std::string path = dir.file(kSettingsFile);
  ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
  settingsrecord s = settingswith(1, 7);
  EXPECT_FALSE(ReadSettings(path, s));
  EXPECT_EQ(+s.labelchoice, 1);
  EXPECT_FALSE(WriteSettings(path, settingswith(0, 1)));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{kSettingsFile}) << "temporary file left behind";
}

TEST(FolderInPlace, FontFolderIsNotReadAndNotWritten) {
  scratchdir dir("fontdir");
  std::string path = dir.file(kFontFile);
  ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
  fontrecord r = namedfont("Courier New", 12);
  EXPECT_FALSE(ReadFontRecord(path, kScreenFontIndex, r));
  EXPECT_EQ(fontrecordname(r), "Courier New");
  EXPECT_FALSE(WriteFontRecord(path, kScreenFontIndex, namedfont("Arial", 9)));
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

// Runs body in a child process that is ended after 10 s, so that an open
// that blocks fails the test instead of hanging it.
childresult withtimeout(const std::function<int(std::string&)>& body) {
  return runlimited(LONG_MAX, [&](std::string& report) {
    ::alarm(10);
    return body(report);
  });
}

// Runs body in a child process as a user who is not root (root writes into
// any folder).  The report starts with "skip: " when that can't be done.
childresult unprivileged(const std::string& folder, const std::function<int(std::string&)>& body) {
  return withtimeout([&](std::string& report) {
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      report = std::string("skip: root can't become user 65534 here: ") + std::strerror(errno);
      return 0;
    }
    if (::access(folder.c_str(), X_OK) != 0) {
      report = "skip: user " + std::to_string(::geteuid()) + " can't reach " + folder;
      return 0;
    }
    if (::access(folder.c_str(), W_OK) == 0) {
      report = "skip: the locked folder is still writable for user " + std::to_string(::geteuid());
      return 0;
    }
    return body(report);
  });
}

TEST(FifoInPlace, RecordFilesThatAreFifosCountAsMissingAndNeverBlock) {
  scratchdir dir("fifo");
  std::string settings = dir.file(kSettingsFile), font = dir.file(kFontFile);
  if (::mkfifo(settings.c_str(), 0666) != 0 || ::mkfifo(font.c_str(), 0666) != 0)
    GTEST_SKIP() << "this machine can't make a FIFO here: " << std::strerror(errno);
  childresult r = withtimeout([&](std::string& report) {
    settingsrecord s = settingswith(1, 4);
    fontrecord f = namedfont("Courier New", 9);
    report += ReadSettings(settings, s) ? "read " : "missing ";
    report += ReadFontRecord(font, kScreenFontIndex, f) ? "read " : "missing ";
    report += fontrecordname(StartupFontRecord(font, kDialogFontIndex)) + " ";
    report += WriteSettings(settings, settingswith(0, 0)) ? "written " : "refused ";
    report += StoreFontRecord(font, kDialogFontIndex, f, f) ? "written" : "refused";
    return 0;
  });
  ASSERT_TRUE(r.exited) << "blocked on the FIFO";
  EXPECT_EQ(r.output, "missing missing Arial refused refused");
  struct stat st {};
  ASSERT_EQ(::lstat(settings.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was replaced";
  ASSERT_EQ(::lstat(font.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was replaced";
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{kFontFile, kSettingsFile}));
}

TEST(PlantedLink, WritesNeverFollowALinkAtATemporaryName) {
  // A fixed temporary name opened with create+truncate cut whatever a
  // link of that name pointed to.
  scratchdir dir("plantedlink");
  std::string victim = dir.file("victim");
  writebytes(victim, "precious");
  std::string settings = dir.file(kSettingsFile), font = dir.file(kFontFile);
  std::vector<std::string> planted = {settings + ".tmp", font + ".tmp"};
  for (const char* name : {kSettingsFile, kFontFile})
    for (int k = 0; k < 50; ++k)
      planted.push_back(dir.file("." + std::string(name) + ".tmp" + std::to_string(::getpid()) + "-" +
                                 std::to_string(k)));
  for (const std::string& p : planted) ASSERT_EQ(::symlink(victim.c_str(), p.c_str()), 0) << p;

  settingsrecord s = settingswith(1, 0x5A);
  ASSERT_TRUE(WriteSettings(settings, s));
  fontrecord f = namedfont("Verdana", 11);
  ASSERT_TRUE(StoreFontRecord(font, kDialogFontIndex, f, f));
  EXPECT_EQ(readbytes(victim), "precious");
  EXPECT_EQ(readbytes(settings), bytesof(&s, sizeof s));
  EXPECT_EQ(readbytes(font).size(), 5u * 47);
  struct stat st {};
  ASSERT_EQ(::lstat(settings.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(dir.entries().size(), planted.size() + 3) << "a temporary file was left behind";
}

TEST(LockedFolder, WritableFilesInAFolderTheUserMayNotWriteAreRewrittenInPlace) {
  scratchdir dir("locked");
  std::string settings = dir.file(kSettingsFile), font = dir.file(kFontFile);
  ASSERT_TRUE(WriteSettings(settings, settingswith(0, 0x11)));
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(WriteFontRecord(font, i, namedfont("Times New Roman", 10 + i)));
  const std::string fontbefore = readbytes(font);
  ASSERT_EQ(::chmod(settings.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(font.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  const settingsrecord wanted = settingswith(1, 0x11);
  childresult r = unprivileged(dir.path(), [&](std::string& report) {
    report += WriteSettings(settings, wanted) ? "written " : "refused ";
    report += StoreFontRecord(font, kDialogFontIndex, namedfont("Verdana", 30), namedfont("Arial", 9))
                  ? "written"
                  : "refused";
    return 0;
  });
  ::chmod(dir.path().c_str(), 0755);
  ASSERT_TRUE(r.exited);
  if (r.output.rfind("skip: ", 0) == 0) GTEST_SKIP() << r.output.substr(6);
  EXPECT_EQ(r.output, "written written") << "the marker choice or the dialog font was lost";
  EXPECT_EQ(readbytes(settings), bytesof(&wanted, sizeof wanted));
  std::string fontafter = readbytes(font);
  ASSERT_EQ(fontafter.size(), fontbefore.size());
  EXPECT_EQ(fontafter.substr(0, 4 * 47), fontbefore.substr(0, 4 * 47));
  fontrecord back = emptyfontrecord();
  ASSERT_TRUE(ReadFontRecord(font, kDialogFontIndex, back));
  EXPECT_EQ(fontrecordname(back), "Verdana");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{kFontFile, kSettingsFile}));
}

TEST(LockedFolder, ReadOnlySettingsInALockedFolderReportTheSystemsReason) {
  scratchdir dir("lockedro");
  std::string settings = dir.file(kSettingsFile);
  const settingsrecord old = settingswith(0, 0x33);
  ASSERT_TRUE(WriteSettings(settings, old));
  ASSERT_EQ(::chmod(settings.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  childresult r = unprivileged(dir.path(), [&](std::string& report) {
    std::string why;
    bool ok = WriteSettings(settings, settingswith(1, 0x44), &why);
    report = ok ? "written" : "refused: " + why;
    return 0;
  });
  ::chmod(dir.path().c_str(), 0755);
  ASSERT_TRUE(r.exited);
  if (r.output.rfind("skip: ", 0) == 0) GTEST_SKIP() << r.output.substr(6);
  EXPECT_EQ(r.output, std::string("refused: ") + std::strerror(EACCES));
  EXPECT_EQ(readbytes(settings), bytesof(&old, sizeof old));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{kSettingsFile});
}

TEST(FolderGone, WritesIntoAVanishedWorkingFolderFailCleanly) {
  scratchdir dir("gone");
  std::string work = dir.file("work");
  ASSERT_EQ(::mkdir(work.c_str(), 0755), 0);
  std::string back = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(work.c_str()), 0);
  ASSERT_EQ(::rmdir(work.c_str()), 0);  // the working folder is gone now
  bool settingswritten = WriteSettings(kSettingsFile, settingswith(1, 0));
  bool fontwritten = WriteFontRecord(kFontFile, kScreenFontIndex, namedfont("Arial", 9));
  settingsrecord s = settingswith(1, 3);
  bool settingsread = ReadSettings(kSettingsFile, s);
  ASSERT_EQ(::chdir(back.c_str()), 0);
  EXPECT_FALSE(settingswritten);
  EXPECT_FALSE(fontwritten);
  EXPECT_FALSE(settingsread);
  EXPECT_EQ(+s.reserved[0], 3);
}

TEST(FolderGone, WritesIntoAMissingFolderCreateNothing) {
  scratchdir dir("missing");
  EXPECT_FALSE(WriteSettings(dir.file("nope/settings.dat"), settingswith(1, 0)));
  EXPECT_FALSE(WriteFontRecord(dir.file("nope/fontpar.dat"), 0, namedfont("Arial", 9)));
  EXPECT_TRUE(dir.entries().empty());
}

TEST(FullDisk, SettingsKeepTheirOldContents) {
  scratchdir dir("settingsfull");
  std::string path = dir.file(kSettingsFile);
  settingsrecord old = settingswith(1, 0x11);
  ASSERT_TRUE(WriteSettings(path, old));
  childresult r = runlimited(40, [&](std::string& report) {
    report = WriteSettings(path, settingswith(0, 0x22)) ? "written" : "refused";
    return 0;
  });
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.output, "refused");
  EXPECT_EQ(readbytes(path), bytesof(&old, sizeof old));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{kSettingsFile}) << "temporary file left behind";
}

TEST(FullDisk, FontRecordThatCannotBeWrittenLeavesTheFileAsItWas) {
  // Five records: replacing record 4 crosses the limit at byte 200.
  scratchdir dir("fontfull");
  std::string path = dir.file(kFontFile);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(WriteFontRecord(path, i, namedfont("Times New Roman", 10 + i)));
  const std::string before = readbytes(path);
  childresult r = runlimited(200, [&](std::string& report) {
    report = WriteFontRecord(path, kDialogFontIndex, namedfont("Arial", 30)) ? "written" : "refused";
    return 0;
  });
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.output, "refused");
  EXPECT_EQ(readbytes(path), before) << "record 4 half written";
  fontrecord back = emptyfontrecord();
  ASSERT_TRUE(ReadFontRecord(path, kDialogFontIndex, back));
  EXPECT_EQ(fontrecordname(back), "Times New Roman");
  EXPECT_EQ(+back.size, 14);
}

TEST(FullDisk, AppendedFontRecordIsNotLeftHalfWritten) {
  scratchdir dir("fontappend");
  std::string path = dir.file(kFontFile);
  ASSERT_TRUE(WriteFontRecord(path, 0, namedfont("Arial", 9)));
  const std::string before = readbytes(path);
  childresult r = runlimited(60, [&](std::string& report) {
    report = WriteFontRecord(path, 1, namedfont("Verdana", 11)) ? "written" : "refused";
    return 0;
  });
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.output, "refused");
  EXPECT_EQ(readbytes(path), before) << "a partial record was left at the end";
}

TEST(Garbage, ShortSettingsFileIsNotRead) {
  scratchdir dir("shortsettings");
  std::string path = dir.file(kSettingsFile);
  writebytes(path, std::string(82, '\xFF'));
  settingsrecord s = settingswith(1, 5);
  EXPECT_FALSE(ReadSettings(path, s));
  EXPECT_EQ(+s.labelchoice, 1);
  EXPECT_EQ(+s.reserved[80], 5);
}

TEST(Garbage, WildFontRecordsMakeFontsWithinTheLimits) {
  scratchdir dir("wildfonts");
  std::string path = dir.file(kFontFile);
  std::string bytes;
  for (int i = 0; i < 5; ++i) bytes += std::string(47, static_cast<char>(0xF0 + i));
  writebytes(path, bytes);
  for (std::int32_t index : {kScreenFontIndex, kDialogFontIndex}) {
    fontrecord r = defaultfontrecord();
    ASSERT_TRUE(ReadFontRecord(path, index, r));
    fontrecord l = limitfontrecord(r);
    EXPECT_LE(+l.name[0], 37);
    EXPECT_EQ(+l.size, kFontSizeMax) << "size 0xF0F0 would make giant fonts";
    EXPECT_LE(+l.weight, 10);
    EXPECT_LE(+l.italic, 1);
    EXPECT_EQ(+l.angle, 0) << "angle 0xF0F0 is -3856 degrees";
    EXPECT_EQ(+l.colour, 0);
    FontSpec f = startupfont(r);
    EXPECT_EQ(f.name.size(), 37u);
    EXPECT_EQ(f.pointsize, kFontSizeMax);
    EXPECT_FALSE(f.bold);
    EXPECT_TRUE(f.valid);
    // What the window takes at start: the record itself within the limits,
    // so that the font choice also opens on a usable size.
    EXPECT_EQ(+StartupFontRecord(path, index).size, kFontSizeMax);
  }
  fontrecord huge = namedfont("Arial", 32767);
  std::string five;
  for (int i = 0; i < 5; ++i) five += bytesof(&huge, sizeof huge);
  writebytes(path, five);
  EXPECT_EQ(+StartupFontRecord(path, kDialogFontIndex).size, kFontSizeMax);
  EXPECT_EQ(startupfont(StartupFontRecord(path, kScreenFontIndex)).pointsize, kFontSizeMax);
}

TEST(Garbage, PartialLastFontRecordIsNotRead) {
  scratchdir dir("partialfont");
  std::string path = dir.file(kFontFile);
  writebytes(path, std::string(47 * 4 + 46, 'x'));
  fontrecord r = namedfont("Arial", 9);
  EXPECT_FALSE(ReadFontRecord(path, kDialogFontIndex, r));
  EXPECT_EQ(fontrecordname(r), "Arial");
  EXPECT_TRUE(ReadFontRecord(path, 3, r));
}

// A record file that is a link to a file elsewhere, small or over 1 MiB,
// in a folder the program may write or not: the file the link names is
// never written (the link is replaced as a new file replaces any file,
// or the write is refused and says why).
TEST(Links, RecordFilesThatAreLinksAreNeverWrittenThrough) {
  struct linkcase {
    const char* file;
    std::size_t targetsize;
    bool readonlyfolder;
    bool written;  // the link replaced by the new file
  };
  const std::vector<linkcase> cases = {
      {kSettingsFile, 200, false, true},      {kSettingsFile, 3 << 20, false, true},
      {kSettingsFile, 200, true, false},      {kSettingsFile, 3 << 20, true, false},
      {kFontFile, 47 * 5, false, true},       {kFontFile, 3 << 19, false, false},
      {kFontFile, 47 * 5, true, false},       {kFontFile, 3 << 19, true, false}};
  for (const linkcase& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " -> " + std::to_string(c.targetsize) + " bytes" +
                 (c.readonlyfolder ? ", read-only folder" : ""));
    scratchdir dir("links"), elsewhere("links-target");
    const std::string target = elsewhere.file("target"), link = dir.file(c.file);
    const std::string bytes(c.targetsize, 'T');
    writebytes(target, bytes);
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    auto write = [&](std::string& report) {
      std::string why;
      bool ok = std::string(c.file) == kSettingsFile ? WriteSettings(link, settingswith(1, 7), &why)
                                                     : WriteFontRecord(link, 0, namedfont("Verdana", 12), &why);
      report = ok ? "written" : "refused: " + why;
      return 0;
    };
    std::string report;
    if (c.readonlyfolder) {
      childresult r = onreadonlyfolder(dir.path(), write);
      if (r.output.rfind("skip: ", 0) == 0) GTEST_SKIP() << r.output;
      report = r.output;
    } else {
      write(report);
    }
    EXPECT_EQ(readbytes(target), bytes) << "written through the link";
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    if (c.written) {
      EXPECT_EQ(report, "written");
      EXPECT_TRUE(S_ISREG(st.st_mode));
    } else {
      EXPECT_NE(report.find("Link"), std::string::npos) << report;
      EXPECT_TRUE(S_ISLNK(st.st_mode));
    }
  }
}

}  // namespace
