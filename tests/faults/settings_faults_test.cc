// settings.dat and fontpar.dat under faults: a folder in place of the
// file, the working folder gone at the moment of writing, a full disk,
// and garbage records.  Reads fall back to the caller's values, writes
// report false, the old contents survive and nothing is left half
// written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
    EXPECT_LE(+l.size, 400);
    EXPECT_LE(+l.weight, 10);
    EXPECT_LE(+l.italic, 1);
    EXPECT_EQ(+l.angle, 0) << "angle 0xF0F0 is -3856 degrees";
    EXPECT_EQ(+l.colour, 0);
    FontSpec f = startupfont(r);
    EXPECT_EQ(f.name.size(), 37u);
    EXPECT_EQ(f.pointsize, 400);
    EXPECT_FALSE(f.bold);
    EXPECT_TRUE(f.valid);
  }
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

}  // namespace
