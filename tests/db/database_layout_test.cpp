// Reads the files that the program and the sample tool write byte by byte, at offsets
// worked out here from the documented layout, not from the program's own tables.
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/sample_data.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

namespace {

// Little-endian numbers at byte offsets of a file.
struct Bytes {
  std::string path;
  int32_t I32(long long at) const {
    const std::string b = ReadFileRange(path, at, 4);
    EXPECT_EQ(b.size(), 4u) << at;
    const auto* u = reinterpret_cast<const unsigned char*>(b.data());
    return static_cast<int32_t>(u[0] | u[1] << 8 | u[2] << 16 | static_cast<uint32_t>(u[3]) << 24);
  }
  int U16(long long at) const {
    const std::string b = ReadFileRange(path, at, 2);
    const auto* u = reinterpret_cast<const unsigned char*>(b.data());
    return u[0] | u[1] << 8;
  }
  double F64(long long at) const {
    const std::string b = ReadFileRange(path, at, 8);
    double v;
    std::memcpy(&v, b.data(), 8);
    return v;
  }
  std::string Text(long long at, size_t n) const { return ReadFileRange(path, at, n); }
  long long Size() const {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
  }
};

// Record n starts after the 20-byte header and 2816 dates of 4 bytes.
long long Slot(int n) { return 20 + 2816 * 4 + static_cast<long long>(n) * 39472; }

TEST(FileLayout, DatabaseWrittenByTheProgram) {
  TempDir dir;
  ResetDatabaseState();
  LastDate = 3;
  LastKabu = 2;
  const int32_t days[] = {20261207, 20261208, 20261209};
  std::memcpy(nikkei_date, days, sizeof days);
  ASSERT_EQ(VURN_file_out(-1, 0), 1);
  Hiashi* h = WorkHiashi();
  std::memset(h, 0, sizeof *h);
  h->open[0] = 11;
  h->high[1] = 22;
  h->low[2] = 33;
  h->close[2] = 44;
  h->deki[2815] = 55;
  h->margin_sell[0] = 66;
  h->margin_buy[2815] = 77;
  std::strcpy(h->name, "トヨタ");
  h->code = 7203;
  h->flag = 0x140;
  h->start = 0;
  h->end = 2;
  ASSERT_EQ(VURN_file_out(1, 2), 1);
  h->code = 9999;
  ASSERT_EQ(VURN_file_out(8191, 2), 1);
  LastDate = 3;
  ASSERT_EQ(VURN_file_out(-1, 1), 1);

  Bytes f{dir.File("vurn.hy3")};
  EXPECT_EQ(f.Size(), 323365908);
  EXPECT_EQ(Slot(8192), 323365908);
  EXPECT_EQ(f.I32(0), 6);
  EXPECT_EQ(f.I32(4), 8192);
  EXPECT_EQ(f.I32(8), 2816);
  EXPECT_EQ(f.I32(12), 3);
  EXPECT_EQ(f.I32(16), 2);
  EXPECT_EQ(f.I32(20), 20261207);
  EXPECT_EQ(f.I32(28), 20261209);
  EXPECT_EQ(f.Text(Slot(0), 39472), std::string(39472, '\0'));  // the scratch record
  const long long r = Slot(1);
  EXPECT_EQ(r, 50756);
  EXPECT_EQ(f.U16(r + 0), 11);
  EXPECT_EQ(f.U16(r + 5632 + 2), 22);
  EXPECT_EQ(f.U16(r + 11264 + 4), 33);
  EXPECT_EQ(f.U16(r + 16896 + 4), 44);
  EXPECT_EQ(f.U16(r + 22528 + 2 * 2815), 55);
  EXPECT_EQ(f.U16(r + 28160), 66);
  EXPECT_EQ(f.U16(r + 33792 + 2 * 2815), 77);
  EXPECT_EQ(f.Text(r + 39424, 7), std::string("トヨタ") + '\0');
  EXPECT_EQ(f.I32(r + 39456), 7203);
  EXPECT_EQ(f.I32(r + 39460), 0x140);
  EXPECT_EQ(f.I32(r + 39464), 0);
  EXPECT_EQ(f.I32(r + 39468), 2);
  EXPECT_EQ(f.I32(323365908 - 39472 + 39456), 9999);
  ResetDatabaseState();
}

TEST(FileLayout, MasterFileWrittenByTheWriter) {
  TempDir dir;
  Fundamental e[2] = {};
  e[1].code = 7203;
  std::strcpy(e[1].name, "トヨタ自動車");
  std::strcpy(e[1].industry, "輸送用機器");
  std::strcpy(e[1].company, "トヨタ自動車株式会社");
  e[1].market = 1;
  e[1].tani = 100;
  e[1].dividend = 90.5;
  e[1].per_coef = 0.25;
  e[1].pbr_coef = 0.125;
  e[1].roe = 13.0;
  e[1].flag = 0x100;
  e[1].reserved = 77;
  ASSERT_EQ(WriteTag(dir.File("vurn.tag"), 2, 20261209, e), 0);
  Bytes f{dir.File("vurn.tag")};
  EXPECT_EQ(f.Size(), 1245204);
  EXPECT_EQ(f.Size(), 20 + 8192 * 152);
  EXPECT_EQ(f.I32(12), 2);
  EXPECT_EQ(f.I32(16), 20261209);
  const long long at = 20 + 152;
  EXPECT_EQ(f.I32(at), 7203);
  EXPECT_EQ(f.Text(at + 4, 13), std::string("トヨタ自動車") + '\0');
  EXPECT_EQ(f.Text(at + 36, 11), std::string("輸送用機器") + '\0');
  EXPECT_EQ(f.Text(at + 53, 21), std::string("トヨタ自動車株式会社") + '\0');
  EXPECT_EQ(f.Text(at + 106, 1), "\x01");
  EXPECT_EQ(f.I32(at + 108), 100);
  EXPECT_EQ(f.F64(at + 112), 90.5);
  EXPECT_EQ(f.F64(at + 120), 0.25);
  EXPECT_EQ(f.F64(at + 128), 0.125);
  EXPECT_EQ(f.F64(at + 136), 13.0);
  EXPECT_EQ(f.I32(at + 144), 0x100);
  EXPECT_EQ(f.I32(at + 148), 77);
  EXPECT_EQ(f.Text(20 + 152 * 2, 152 * 8190), std::string(152 * 8190, '\0'));
}

TEST(FileLayout, SampleFiles) {
  TempDir dir;
  ASSERT_EQ(WriteSampleData(dir.path()), 0);
  Bytes db{dir.File("try.hy3")};
  EXPECT_EQ(db.Size(), 323365908);
  EXPECT_EQ(db.I32(0), 6);
  EXPECT_EQ(db.I32(4), 8192);
  EXPECT_EQ(db.I32(8), 2816);
  EXPECT_EQ(db.I32(12), 2816);
  EXPECT_EQ(db.I32(16), 20);
  EXPECT_EQ(db.I32(20 + 4 * 2815), 20261209);
  EXPECT_EQ(db.I32(Slot(0) + 39456), 1001);
  EXPECT_EQ(db.I32(Slot(19) + 39456), 9984);
  EXPECT_EQ(db.I32(Slot(20) + 39456), 0);
  EXPECT_EQ(db.I32(Slot(0) + 39468), 2815);
  Bytes tag{dir.File("vurn.tag")};
  EXPECT_EQ(tag.Size(), 1245204);
  EXPECT_EQ(tag.I32(12), 20);
  EXPECT_EQ(tag.I32(16), 20261209);
  EXPECT_EQ(tag.I32(20), 1001);
  EXPECT_EQ(tag.Text(20 + 4, 9), std::string("日経平均") + '\0');
  EXPECT_EQ(tag.I32(20 + 152 * 19), 9984);
}

}  // namespace
