// settings.dat and fontpar.dat: missing, short, damaged and read-only
// cases, the gap rule of the font file and the start-up limits.
#include "app/core/settingsfiles.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace fs = std::filesystem;

namespace {

std::string readfile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writefile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

fontrecord named(const std::string& name) {
  fontrecord r = defaultfontrecord();
  setfontrecordname(r, name);
  return r;
}

// Whether a temporary file (".tmp" in its name) is left in `dir`.
bool temporaryleft(const std::string& dir) {
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().find(".tmp") != std::string::npos) return true;
  return false;
}

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove(kSettingsFile);
    fs::remove(kFontFile);
    for (const auto& e : fs::directory_iterator("."))
      if (e.path().filename().string().find(".tmp") != std::string::npos) fs::remove(e.path());
  }
};

TEST_F(Files, MissingSettingsLeaveRecordUnchanged) {
  settingsrecord s = emptysettings();
  s.labelchoice = 7;
  EXPECT_FALSE(ReadSettings(kSettingsFile, s));
  EXPECT_EQ(+s.labelchoice, 7);
  EXPECT_FALSE(fs::exists(kSettingsFile));
}

TEST_F(Files, LabelsOnAndReservedBytesSurviveARoundTrip) {
  std::string bytes = std::string("\x01\x00", 2);
  for (int i = 0; i < 81; ++i) bytes += static_cast<char>(i * 3 + 1);
  writefile(kSettingsFile, bytes);
  settingsrecord s = emptysettings();
  ASSERT_TRUE(ReadSettings(kSettingsFile, s));
  EXPECT_EQ(+s.labelchoice, 1);
  ASSERT_TRUE(WriteSettings(kSettingsFile, s));
  EXPECT_EQ(readfile(kSettingsFile), bytes);
}

TEST_F(Files, ShortSettingsFileCountsAsMissing) {
  writefile(kSettingsFile, std::string("\x01\x00\x05", 3));
  settingsrecord s = emptysettings();
  EXPECT_FALSE(ReadSettings(kSettingsFile, s));
  EXPECT_EQ(+s.labelchoice, 0);
  writefile(kSettingsFile, std::string(82, '\x01'));
  EXPECT_FALSE(ReadSettings(kSettingsFile, s));
  EXPECT_EQ(+s.labelchoice, 0);
}

TEST_F(Files, LongSettingsFileBecomesExactlyOneRecord) {
  writefile(kSettingsFile, std::string(200, '\x02'));
  settingsrecord s = emptysettings();
  ASSERT_TRUE(ReadSettings(kSettingsFile, s));
  EXPECT_EQ(+s.labelchoice, 0x0202);
  ASSERT_TRUE(WriteSettings(kSettingsFile, s));
  EXPECT_EQ(fs::file_size(kSettingsFile), 83u);
}

TEST_F(Files, SettingsFolderInsteadOfFileReadsAsMissing) {
  fs::create_directory(kSettingsFile);
  settingsrecord s = emptysettings();
  EXPECT_FALSE(ReadSettings(kSettingsFile, s));
  fs::remove(kSettingsFile);
}

TEST_F(Files, WriteErrorMidFileKeepsOldFileAndLeavesNoTemporary) {
  // A file-size limit makes the write itself fail, for root as well.
  writefile(kSettingsFile, std::string(83, '\x01'));
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 40;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool ok = WriteSettings(kSettingsFile, emptysettings());
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(ok);
  EXPECT_EQ(readfile(kSettingsFile), std::string(83, '\x01'));
  EXPECT_FALSE(temporaryleft("."));
}

TEST_F(Files, SettingsWriteIntoMissingFolderFailsQuietly) {
  EXPECT_FALSE(WriteSettings("no/such/settings.dat", emptysettings()));
}

TEST_F(Files, DialogFontWithoutFileCreatesEmptyFileAndStoresNothing) {
  EXPECT_FALSE(WriteFontRecord(kFontFile, kDialogFontIndex, named("Dialog")));
  ASSERT_TRUE(fs::exists(kFontFile));
  EXPECT_EQ(fs::file_size(kFontFile), 0u);
  EXPECT_TRUE(WriteFontRecord(kFontFile, kScreenFontIndex, named("Screen")));
  EXPECT_EQ(fs::file_size(kFontFile), 47u);
  EXPECT_FALSE(WriteFontRecord(kFontFile, kDialogFontIndex, named("Dialog")));
  EXPECT_EQ(fs::file_size(kFontFile), 47u);
}

TEST_F(Files, StoredDialogFontFillsTheMissingRecordsAndKeepsTheOthers) {
  // Without the filling, a dialog font chosen while the file held fewer
  // than 4 records was never stored.
  fontrecord screen = named("Screen");
  fontrecord dialog = named("Dialog");
  fontrecord fill = defaultfontrecord();
  const std::string fillbytes(reinterpret_cast<const char*>(&fill), 47);
  ASSERT_TRUE(StoreFontRecord(kFontFile, kDialogFontIndex, dialog, screen));
  std::string after = readfile(kFontFile);
  ASSERT_EQ(after.size(), 5u * 47);
  EXPECT_EQ(std::memcmp(after.data(), &screen, 47), 0) << "record 0 is the screen font in use";
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(after.substr(i * 47, 47), fillbytes) << i;
  EXPECT_EQ(std::memcmp(after.data() + 4 * 47, &dialog, 47), 0);

  // Two records of the user's (and a cut-off third): kept byte for byte.
  std::string two;
  for (int i = 0; i < 2 * 47 + 20; ++i) two += static_cast<char>(i * 7 + 3);
  writefile(kFontFile, two);
  ASSERT_TRUE(StoreFontRecord(kFontFile, kDialogFontIndex, dialog, screen));
  after = readfile(kFontFile);
  ASSERT_EQ(after.size(), 5u * 47);
  EXPECT_EQ(after.substr(0, 94), two.substr(0, 94));
  EXPECT_EQ(after.substr(2 * 47, 47), fillbytes);
  EXPECT_EQ(after.substr(3 * 47, 47), fillbytes);
  fontrecord back = emptyfontrecord();
  ASSERT_TRUE(ReadFontRecord(kFontFile, kDialogFontIndex, back));
  EXPECT_EQ(fontrecordname(back), "Dialog");

  // Six records: record 4 replaced, every other byte as it was.
  std::string six;
  for (int i = 0; i < 6 * 47; ++i) six += static_cast<char>(i % 249);
  writefile(kFontFile, six);
  ASSERT_TRUE(StoreFontRecord(kFontFile, kDialogFontIndex, dialog, screen));
  after = readfile(kFontFile);
  ASSERT_EQ(after.size(), six.size());
  EXPECT_EQ(after.substr(0, 4 * 47), six.substr(0, 4 * 47));
  EXPECT_EQ(after.substr(5 * 47), six.substr(5 * 47));
  EXPECT_FALSE(temporaryleft("."));
}

TEST_F(Files, FourRecordsDialogFontUnreadableButAppendable) {
  writefile(kFontFile, std::string(4 * 47, '\0'));
  fontrecord r = defaultfontrecord();
  EXPECT_FALSE(ReadFontRecord(kFontFile, kDialogFontIndex, r));
  EXPECT_EQ(fontrecordname(r), "Arial");
  EXPECT_TRUE(WriteFontRecord(kFontFile, kDialogFontIndex, named("Dialog")));
  EXPECT_EQ(fs::file_size(kFontFile), 5u * 47);
  fontrecord back = emptyfontrecord();
  ASSERT_TRUE(ReadFontRecord(kFontFile, kDialogFontIndex, back));
  EXPECT_EQ(fontrecordname(back), "Dialog");
}

TEST_F(Files, UnusedFontRecordsKeepTheirBytes) {
  std::string bytes;
  for (int i = 0; i < 5 * 47; ++i) bytes += static_cast<char>(i % 251);
  writefile(kFontFile, bytes);
  fontrecord screen = named("Screen");
  ASSERT_TRUE(WriteFontRecord(kFontFile, kScreenFontIndex, screen));
  std::string after = readfile(kFontFile);
  ASSERT_EQ(after.size(), bytes.size());
  EXPECT_EQ(after.substr(47), bytes.substr(47));
  EXPECT_EQ(std::memcmp(after.data(), &screen, 47), 0);
}

TEST_F(Files, CutShortDialogRecordReadsAsMissing) {
  writefile(kFontFile, std::string(4 * 47 + 30, 'x'));
  fontrecord r = defaultfontrecord();
  EXPECT_FALSE(ReadFontRecord(kFontFile, kDialogFontIndex, r));
  EXPECT_EQ(fontrecordname(r), "Arial");
}

TEST(DefaultFont, IsArialWeight2Size10Italic) {
  fontrecord r = defaultfontrecord();
  EXPECT_EQ(fontrecordname(r), "Arial");
  EXPECT_EQ(+r.weight, 2);
  EXPECT_EQ(+r.size, 10);
  EXPECT_EQ(r.italic, 1);
  EXPECT_EQ(+r.angle, 0);
  EXPECT_EQ(r.colour, 0);
  EXPECT_EQ(r.charset, 0);
}

TEST(StartupLimits, GarbageRecordIsBroughtIntoRange) {
  fontrecord r;
  std::memset(&r, 0xEE, sizeof r);  // length byte 238, every field too large
  fontrecord l = limitfontrecord(r);
  EXPECT_EQ(l.name[0], 37);
  EXPECT_EQ(+l.size, kFontSizeMax);
  EXPECT_EQ(+l.weight, 10);
  EXPECT_EQ(l.italic, 0);
  EXPECT_EQ(l.colour, 0);
  EXPECT_EQ(+l.angle, 0);  // 0xEEEE is -4370
}

TEST(StartupLimits, AngleOf360EitherWayBecomesZero) {
  fontrecord r = defaultfontrecord();
  r.angle = 359;
  EXPECT_EQ(+limitfontrecord(r).angle, 359);
  r.angle = 360;
  EXPECT_EQ(+limitfontrecord(r).angle, 0);
  r.angle = -359;
  EXPECT_EQ(+limitfontrecord(r).angle, -359);
  r.angle = -360;
  EXPECT_EQ(+limitfontrecord(r).angle, 0);
}

TEST(StartupLimits, ItalicAboveOneAndColourAbove16BecomeZero) {
  fontrecord r = defaultfontrecord();
  r.italic = 2;
  r.colour = 16;
  EXPECT_EQ(limitfontrecord(r).italic, 0);
  EXPECT_EQ(limitfontrecord(r).colour, 16);
  r.colour = 17;
  EXPECT_EQ(limitfontrecord(r).colour, 0);
}

TEST(StartupFont, ShortNameMakesNoFontAndWeightIsNotApplied) {
  EXPECT_FALSE(startupfont(named("Sym")).valid);
  EXPECT_FALSE(startupfont(emptyfontrecord()).valid);
  fontrecord r = named("Arial");
  r.weight = 4;
  r.size = 500;
  FontSpec f = startupfont(r);
  EXPECT_TRUE(f.valid);
  EXPECT_FALSE(f.bold);
  EXPECT_TRUE(f.italic);
  EXPECT_EQ(f.pointsize, kFontSizeMax);
}

TEST(StartupLimits, SizesAreHeldToWhatTheFontChoiceOffers) {
  // A corrupt record (size 32767) made every dialog thousands of pixels
  // wide; size 0 or 2 made unreadable text.
  fontrecord r = named("Arial");
  for (auto [stored, used] : {std::pair{32767, 48}, {49, 48}, {48, 48}, {12, 12}, {6, 6}, {5, 6}, {0, 6}}) {
    r.size = static_cast<std::uint16_t>(stored);
    EXPECT_EQ(+limitfontrecord(r).size, used) << stored;
    EXPECT_EQ(startupfont(r).pointsize, used) << stored;
  }
}

}  // namespace
