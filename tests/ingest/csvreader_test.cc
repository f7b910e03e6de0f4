// CSV splitting and the input source: quoting, line ends, buffer
// boundaries, gzip detection and damaged gzip streams.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ingest/csvreader.h"
#include "ingest/inputsource.h"
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

bool notus(std::string_view f) { return f != "us"; }

TEST(PassOver, OtherRowsAreCountedNotReturnedButShortOrQuotedOnesAre) {
  scratchdir dir("passover");
  // Field 1 decides; three fields are needed.
  writebytes(dir.file("in.csv"),
             "a,us,1\n"
             "b,fr,2,extra\n"   // passed over
             "c,fr\n"           // too short to be judged: returned
             "d,\"fr\",3\n"     // quoted: returned
             "e,fr,4\r\n"       // passed over
             "f,us\n");
  inputsource in;
  ASSERT_TRUE(in.open(dir.file("in.csv")));
  csvreader csv(in);
  csv.setfieldlimit(3);
  csv.setpassover(1, notus);
  std::vector<std::string> first;
  std::vector<std::size_t> counts;
  std::vector<std::uint64_t> lines;
  while (csv.next() == csvreader::kRecord) {
    first.emplace_back(csv.fields()[0]);
    counts.push_back(csv.fields().size());
    lines.push_back(csv.line());
  }
  EXPECT_EQ(first, (std::vector<std::string>{"a", "c", "d", "f"}));
  EXPECT_EQ(counts, (std::vector<std::size_t>{3, 2, 3, 2}));
  EXPECT_EQ(lines, (std::vector<std::uint64_t>{1, 3, 4, 6}));
  EXPECT_EQ(csv.passedover(), 2u);
}

TEST(CsvBuffering, TinyBuffersGiveTheSameRecordsAndRefuseOnlyOverlongOnes) {
  std::string text;
  for (int i = 0; i < 300; ++i)
    text += i % 5 == 0 ? "\"q\n" + std::to_string(i) + "\",x\r\n" : "p," + std::to_string(i) + ",yy\n";
  scratchdir dir("tiny");
  writebytes(dir.file("in.csv"), text);
  rows whole = readall(dir.file("in.csv"));
  for (std::size_t buffer : {1, 7, 64}) {
    inputsource in;
    ASSERT_TRUE(in.open(dir.file("in.csv"), false, 16));
    csvreader csv(in, buffer, 16);  // every record fits in 16 bytes
    rows got;
    while (csv.next() == csvreader::kRecord) got.emplace_back(csv.fields().begin(), csv.fields().end());
    EXPECT_TRUE(csv.error().empty()) << csv.error();
    EXPECT_EQ(got, whole) << "buffer " << buffer;
  }
  writebytes(dir.file("long.csv"), "a,b\n" + std::string(40, 'z') + "\nc,d\n");
  inputsource in;
  ASSERT_TRUE(in.open(dir.file("long.csv"), false, 16));
  csvreader csv(in, 1, 16);
  EXPECT_EQ(csv.next(), csvreader::kRecord);
  EXPECT_EQ(csv.next(), csvreader::kError);
  EXPECT_NE(csv.error().find("16 Bytes"), std::string::npos) << csv.error();
}

}  // namespace
