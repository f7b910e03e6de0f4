// CSV splitting and the input source: quoting, line ends, buffer
// boundaries, gzip detection and damaged gzip streams.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/csvreader.h"
#include "cli/inputsource.h"
#include "tests/common/testfiles.h"

namespace {

using rows = std::vector<std::vector<std::string>>;

// Reads all records of a file; error receives the failure text, if any.
rows readall(const std::string& path, std::string* error = nullptr,
             std::vector<bool>* broken = nullptr) {
  inputsource in;
  rows out;
  if (!in.open(path)) {
    if (error) *error = in.error();
    return out;
  }
  csvreader csv(in);
  for (;;) {
    auto st = csv.next();
    if (st == csvreader::kEnd) break;
    if (st == csvreader::kError) {
      if (error) *error = csv.error();
      break;
    }
    out.emplace_back(csv.fields().begin(), csv.fields().end());
    if (broken) broken->push_back(csv.broken());
  }
  return out;
}

rows readtext(const std::string& text, std::string* error = nullptr,
              std::vector<bool>* broken = nullptr) {
  scratchdir dir("csv");
  writebytes(dir.file("in.csv"), text);
  return readall(dir.file("in.csv"), error, broken);
}

TEST(CsvQuoting, CommasQuotesAndLineBreaksInsideQuotedFields) {
  rows r = readtext("a,\"b,c\",\"say \"\"hi\"\"\",\"two\nlines\",\"\"\nx,y\n");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0], (std::vector<std::string>{"a", "b,c", "say \"hi\"", "two\nlines", ""}));
  EXPECT_EQ(r[1], (std::vector<std::string>{"x", "y"}));
}

TEST(CsvQuoting, QuoteInsideAnUnquotedFieldIsKeptAsText) {
  rows r = readtext("ab\"c,d\n");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], (std::vector<std::string>{"ab\"c", "d"}));
}

TEST(CsvQuoting, UnclosedQuoteAtEndOfInputMarksTheRecordBroken) {
  std::vector<bool> broken;
  rows r = readtext("a,b\n\"open,c\nd\n", nullptr, &broken);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_FALSE(broken[0]);
  EXPECT_TRUE(broken[1]);
}

TEST(CsvLineEnds, CrlfIsStrippedButACrInsideQuotesStays) {
  rows r = readtext("a,b\r\n\"c\r\",d\r\ne,\"f\"\r\n");
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0], (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(r[1], (std::vector<std::string>{"c\r", "d"}));
  EXPECT_EQ(r[2], (std::vector<std::string>{"e", "f"}));
}

TEST(CsvLineEnds, BlankLinesAreIgnoredAndTheLastLineNeedsNoNewline) {
  rows r = readtext("\na,b\n\r\n\nc,d");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1], (std::vector<std::string>{"c", "d"}));
}

TEST(CsvBuffering, RecordsAcrossManyBufferRefillsStayWhole) {
  // About 12 MB: several refills of the 4 MB buffer, quoted records among them.
  std::string text;
  const int n = 300000;
  for (int i = 0; i < n; ++i) {
    if (i % 7 == 0)
      text += "\"q," + std::to_string(i) + "\"\"\",\"multi\nline\"," + std::string(20, 'x') + "\n";
    else
      text += "p," + std::to_string(i) + "," + std::string(20, 'y') + "\r\n";
  }
  rows r = readtext(text);
  ASSERT_EQ(r.size(), static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    ASSERT_EQ(r[i].size(), 3u) << i;
    if (i % 7 == 0) {
      ASSERT_EQ(r[i][0], "q," + std::to_string(i) + "\"") << i;
      ASSERT_EQ(r[i][1], "multi\nline") << i;
    } else {
      ASSERT_EQ(r[i][1], std::to_string(i)) << i;
      ASSERT_EQ(r[i][2], std::string(20, 'y')) << i;
    }
  }
}

TEST(CsvBuffering, FieldLimitStopsSplittingButKeepsShortRecordsWhole) {
  scratchdir dir("limit");
  writebytes(dir.file("in.csv"), "a,b,c,d,e\nx,y\n");
  inputsource in;
  ASSERT_TRUE(in.open(dir.file("in.csv")));
  csvreader csv(in);
  csv.setfieldlimit(3);
  ASSERT_EQ(csv.next(), csvreader::kRecord);
  ASSERT_EQ(csv.fields().size(), 3u);
  EXPECT_EQ(csv.fields()[2], "c");
  ASSERT_EQ(csv.next(), csvreader::kRecord);
  EXPECT_EQ(csv.fields().size(), 2u);
  EXPECT_EQ(csv.line(), 2u);
  EXPECT_EQ(csv.next(), csvreader::kEnd);
}

TEST(CsvBuffering, AnEndlessRecordIsAnErrorNotUnboundedMemory) {
  std::string error;
  rows r = readtext("a,b\n\"" + std::string(3 << 20, 'z') + "\n", &error);
  EXPECT_EQ(r.size(), 1u);
  EXPECT_NE(error.find("Zeile 2"), std::string::npos) << error;
}

TEST(GzipInput, ReadsTheSameTextAsThePlainFileWhateverTheName) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "row," + std::to_string(i) + "\n";
  scratchdir dir("gz");
  writebytes(dir.file("data.csv"), gzipped(text));  // no .gz in the name
  rows r = readall(dir.file("data.csv"));
  ASSERT_EQ(r.size(), 50000u);
  EXPECT_EQ(r[49999][1], "49999");
}

TEST(GzipInput, ConcatenatedMembersAreReadOneAfterTheOther) {
  scratchdir dir("gzcat");
  writebytes(dir.file("x.gz"), gzipped("a,1\n") + gzipped("b,2\n"));
  std::string error;
  rows r = readall(dir.file("x.gz"), &error);
  EXPECT_TRUE(error.empty()) << error;
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1][0], "b");
}

TEST(GzipInput, TruncatedStreamIsAnErrorNotAnEarlyEnd) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "row," + std::to_string(i * 7919) + "\n";
  std::string gz = gzipped(text);
  scratchdir dir("gztrunc");
  writebytes(dir.file("x.gz"), gz.substr(0, gz.size() - 20));
  std::string error;
  readall(dir.file("x.gz"), &error);
  EXPECT_NE(error.find("unvollst"), std::string::npos) << error;
}

TEST(GzipInput, CorruptedDataAndTrailingGarbageAreErrors) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += std::to_string(i * 7919 % 100003) + ",x\n";
  std::string gz = gzipped(text);
  scratchdir dir("gzbad");
  std::string damaged = gz;
  damaged[damaged.size() / 2] ^= 0x55;
  damaged[damaged.size() / 2 + 1] ^= 0x55;
  writebytes(dir.file("bad.gz"), damaged);
  std::string error;
  readall(dir.file("bad.gz"), &error);
  EXPECT_FALSE(error.empty());

  writebytes(dir.file("tail.gz"), gz + "garbage");
  error.clear();
  readall(dir.file("tail.gz"), &error);
  EXPECT_FALSE(error.empty());
}

TEST(InputOpen, MissingFileAndFolderAreReported) {
  std::string error;
  readall("does-not-exist.csv", &error);
  EXPECT_NE(error.find("does-not-exist.csv"), std::string::npos) << error;
  scratchdir dir("folder");
  error.clear();
  readall(dir.path(), &error);
  EXPECT_FALSE(error.empty());
}

}  // namespace
