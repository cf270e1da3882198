#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_table.h"
#include "headless/mem_file_system.h"

namespace pelisto {
namespace {

std::vector<uint8_t> bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class FileTableTest : public testing::Test {
 protected:
  FileTableTest() {
    fs.setContents("a.wav", bytes("0123456789"));
    fs.setContents("b.wav", bytes("abc"));
  }
  MemFileSystem fs;
  FileTable files{fs};
};

TEST_F(FileTableTest, NumbersAreTheLowestFreeAndReusedAfterClose) {
  EXPECT_EQ(files.freeFile(), 1);
  ASSERT_TRUE(files.open(1, "a.wav", OpenMode::kRead));
  EXPECT_EQ(files.freeFile(), 2);
  ASSERT_TRUE(files.open(2, "b.wav", OpenMode::kRead));
  ASSERT_TRUE(files.open(3, "a.wav", OpenMode::kRead));  // others may read the same file
  files.close(2);
  EXPECT_EQ(files.freeFile(), 2);
  EXPECT_FALSE(files.isOpen(2));
  EXPECT_EQ(files.path(3), "a.wav");
  EXPECT_EQ(files.path(2), "");
  files.close(2);  // closing twice is harmless
  files.close(0);
  files.close(300);
}

TEST_F(FileTableTest, TheLimitOf255IsAnsweredCleanly) {
  for (int16_t n = 1; n <= 255; ++n) ASSERT_TRUE(files.open(n, "a.wav", OpenMode::kRead)) << n;
  EXPECT_EQ(files.freeFile(), 0);
  Status st = files.open(files.freeFile(), "b.wav", OpenMode::kRead);
  EXPECT_EQ(st.code(), StatusCode::kLimit);
  EXPECT_EQ(files.open(256, "b.wav", OpenMode::kRead).code(), StatusCode::kLimit);
  EXPECT_EQ(files.open(-1, "b.wav", OpenMode::kRead).code(), StatusCode::kLimit);
  files.close(255);
  EXPECT_EQ(files.freeFile(), 255);
}

TEST_F(FileTableTest, RefusesABusyNumberAndAMissingFile) {
  ASSERT_TRUE(files.open(1, "a.wav", OpenMode::kRead));
  EXPECT_EQ(files.open(1, "b.wav", OpenMode::kRead).code(), StatusCode::kInvalid);
  EXPECT_EQ(files.path(1), "a.wav");
  EXPECT_EQ(files.open(2, "missing.wav", OpenMode::kRead).code(), StatusCode::kNotFound);
  EXPECT_FALSE(files.isOpen(2));
}

TEST_F(FileTableTest, ReadsWritesAndSeeksAtTheFilesOwnPosition) {
  ASSERT_TRUE(files.open(1, "a.wav", OpenMode::kRead));
  ASSERT_TRUE(files.open(2, "a.wav", OpenMode::kRead));
  uint8_t buf[8] = {};
  ASSERT_EQ(files.read(1, buf, 4).value(), 4u);
  EXPECT_EQ(std::string(buf, buf + 4), "0123");
  EXPECT_EQ(files.tell(1), 4u);
  EXPECT_EQ(files.tell(2), 0u);
  ASSERT_TRUE(files.seek(1, 8));
  EXPECT_EQ(files.read(1, buf, 8).value(), 2u);  // short at the end
  EXPECT_EQ(files.read(1, buf, 8).value(), 0u);
  EXPECT_EQ(files.length(1).value(), 10u);

  ASSERT_TRUE(files.open(3, "new.bin", OpenMode::kCreate));
  ASSERT_TRUE(files.write(3, reinterpret_cast<const uint8_t*>("xyz"), 3));
  ASSERT_TRUE(files.seek(3, 5));
  ASSERT_TRUE(files.write(3, reinterpret_cast<const uint8_t*>("!"), 1));
  EXPECT_EQ(fs.contents("new.bin"), (std::vector<uint8_t>{'x', 'y', 'z', 0, 0, '!'}));
  EXPECT_FALSE(files.write(1, buf, 1));  // opened for reading
}

TEST_F(FileTableTest, OperationsOnAClosedNumberFail) {
  uint8_t b;
  EXPECT_FALSE(files.read(4, &b, 1));
  EXPECT_FALSE(files.write(4, &b, 1));
  EXPECT_FALSE(files.seek(4, 0));
  EXPECT_FALSE(files.length(4));
  EXPECT_EQ(files.file(4), nullptr);
}

}  // namespace
}  // namespace pelisto
