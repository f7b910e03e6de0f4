// The demo database: deterministic, its Berlin file exactly the Berlin
// part, and data that looks like the real thing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "ingest/berlinbounds.h"
#include "ingest/demodb.h"
#include "tests/common/testfiles.h"

namespace {

std::int64_t micro(const real& r) { return std::llround(toext(r) * 1'000'000.0L); }

TEST(DemoDatabase, SameCountGivesTheSameBytes) {
  scratchdir a("demo-a"), b("demo-b");
  ASSERT_TRUE(writedemodatabase(a.path(), 30000).ok);
  ASSERT_TRUE(writedemodatabase(b.path(), 30000).ok);
  EXPECT_EQ(readbytes(a.file("germtowers.dat")), readbytes(b.file("germtowers.dat")));
  EXPECT_EQ(readbytes(a.file("berlintowers.dat")), readbytes(b.file("berlintowers.dat")));
  EXPECT_EQ(readbytes(a.file("germtowers.dat")).size(), 30000 * sizeof(ttowerrec));
  // A longer run starts with the same records.
  scratchdir c("demo-c");
  ASSERT_TRUE(writedemodatabase(c.path(), 40000).ok);
  EXPECT_EQ(readbytes(c.file("germtowers.dat")).substr(0, 30000 * sizeof(ttowerrec)),
            readbytes(a.file("germtowers.dat")));
}

TEST(DemoDatabase, BerlinFileIsExactlyTheBerlinPartInOrder) {
  scratchdir dir("demo-berlin");
  demoresult res = writedemodatabase(dir.path(), 50000);
  ASSERT_TRUE(res.ok) << res.error;
  auto g = readrecords(dir.file("germtowers.dat"));
  auto b = readrecords(dir.file("berlintowers.dat"));
  std::vector<std::string> expected;
  for (const auto& r : g)
    if (inberlinmicro(micro(r.longitude), micro(r.latitude)))
      expected.emplace_back(reinterpret_cast<const char*>(&r), sizeof r);
  ASSERT_EQ(b.size(), expected.size());
  EXPECT_EQ(res.berlin, b.size());
  for (std::size_t i = 0; i < b.size(); ++i)
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(&b[i]), sizeof b[i]), expected[i]) << i;
  // Berlin is the largest cluster but far from all of it.
  EXPECT_GT(b.size(), g.size() / 20);
  EXPECT_LT(b.size(), g.size() / 3);
}

TEST(DemoDatabase, CoordinatesAreStoredAsTheConverterStoresSixDecimals) {
  std::size_t n = 0;
  generatedemotowers(5000, [&](const ttowerrec& r, bool) {
    for (const real& v : {r.longitude, r.latitude}) {
      char text[32];
      std::int64_t m = micro(v);
      std::snprintf(text, sizeof text, "%s%lld.%06lld", m < 0 ? "-" : "", std::llabs(m) / 1000000,
                    std::llabs(m) % 1000000);
      ASSERT_EQ(v, toreal(std::strtold(text, nullptr))) << text;
    }
    ++n;
  });
  EXPECT_EQ(n, 5000u);
}

TEST(DemoDatabase, LooksLikeRealGermanCells) {
  std::map<int, int> types, nets;
  std::size_t count = 0, widenr = 0;
  generatedemotowers(200000, [&](const ttowerrec& r, bool) {
    ++count;
    ++types[r.typecode];
    ++nets[r.netid];
    ASSERT_EQ(+r.matchcode, 262);
    ASSERT_GT(recordcell(r), 0u);
    // 5G cells are NR records with their whole (wide) identity.
    if (r.typecode == kTypeNR) {
      ASSERT_TRUE(isnrrecord(r));
      if (recordarea(r) > 0xFFFF && recordcell(r) > 0xFFFFFFFFu) ++widenr;
    }
    ASSERT_GT(+r.range, 0);
    ASSERT_LE(r.typetext[0], 10);
    long double lon = toext(r.longitude), lat = toext(r.latitude);
    ASSERT_TRUE(lon >= 5.8L && lon <= 15.1L) << lon;
    ASSERT_TRUE(lat >= 47.2L && lat <= 55.1L) << lat;
  });
  EXPECT_EQ(count, 200000u);
  EXPECT_GT(widenr, 0u);
  for (int code = 0; code <= 5; ++code) EXPECT_GT(types[code], 0) << "type code " << code;
  int odd = 0;
  for (auto [code, n] : types) if (code > 5) odd += n;
  EXPECT_GT(odd, 0);
  EXPECT_LT(odd, 2000);
  int main3 = nets[1] + nets[2] + nets[3];
  EXPECT_GT(main3, 180000);
  EXPECT_LT(main3, 200000);
  EXPECT_GT(nets[12], 0);
  std::set<int> others;
  for (auto [net, n] : nets) if (net > 3) others.insert(net);
  EXPECT_GE(others.size(), 3u);
}

TEST(DemoDatabase, ZeroRecordsGiveEmptyFilesAndAMissingFolderAnError) {
  scratchdir dir("demo-zero");
  ASSERT_TRUE(writedemodatabase(dir.path(), 0).ok);
  EXPECT_TRUE(fileexists(dir.file("germtowers.dat")));
  EXPECT_EQ(readbytes(dir.file("germtowers.dat")).size(), 0u);
  demoresult res = writedemodatabase(dir.file("missing"), 10);
  EXPECT_FALSE(res.ok);
  EXPECT_FALSE(res.error.empty());
}

}  // namespace
