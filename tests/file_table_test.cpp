#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_table.h"
#include "platform/headless/mem_file_system.h"

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

TEST(MemFileSystem, FullDeviceWritesWhatFitsThenFails) {
  MemFileSystem fs;
  fs.setContents("old", bytes("1234"));
  fs.setCapacity(10);
  auto f = fs.open("out", OpenMode::kCreate);
  ASSERT_TRUE(f);
  EXPECT_EQ(f.value()->reserve(7).code(), StatusCode::kNoSpace);  // 4 + 7 > 10: refused, nothing held
  EXPECT_TRUE(f.value()->reserve(6));
  EXPECT_EQ(fs.contents("out"), bytes(""));
  EXPECT_TRUE(f.value()->write(0, reinterpret_cast<const uint8_t*>("abcd"), 4));
  Status st = f.value()->write(4, reinterpret_cast<const uint8_t*>("efghij"), 6);
  EXPECT_EQ(st.code(), StatusCode::kNoSpace);
  EXPECT_EQ(fs.contents("out"), bytes("abcdef"));  // 4 + 6 = 10 bytes held in all
  EXPECT_TRUE(f.value()->write(0, reinterpret_cast<const uint8_t*>("AB"), 2));  // no growth
}

TEST(MemFileSystem, ReadOnlyFolderRefusesEveryChange) {
  MemFileSystem fs;
  fs.addDirectory("ro");
  fs.setContents("ro/a", bytes("x"));
  fs.setContents("b", bytes("y"));
  fs.setReadOnlyDirectory("ro");
  EXPECT_EQ(fs.open("ro/new", OpenMode::kCreate).status().code(), StatusCode::kDenied);
  auto rw = fs.open("ro/a", OpenMode::kReadWrite);
  ASSERT_TRUE(rw);
  EXPECT_FALSE(rw.value()->write(0, reinterpret_cast<const uint8_t*>("z"), 1));
  EXPECT_FALSE(fs.remove("ro/a"));
  EXPECT_FALSE(fs.rename("b", "ro/a"));
  EXPECT_EQ(fs.contents("ro/a"), bytes("x"));
  EXPECT_TRUE(fs.open("ro/a", OpenMode::kRead));
}

TEST(MemFileSystem, ReadFailuresAndMissingFiles) {
  MemFileSystem fs;
  fs.setContents("bad", bytes("data"));
  fs.failReadsOf("bad");
  auto f = fs.open("bad", OpenMode::kRead);
  ASSERT_TRUE(f);
  uint8_t b[4];
  EXPECT_EQ(f.value()->read(0, b, 4).status().code(), StatusCode::kIoError);
  fs.failReadsOf("bad", 2);  // bad from byte 2 on
  EXPECT_EQ(f.value()->read(0, b, 2).value(), 2u);
  EXPECT_EQ(f.value()->read(1, b, 2).status().code(), StatusCode::kIoError);
  EXPECT_EQ(fs.open("nope", OpenMode::kRead).status().code(), StatusCode::kNotFound);
  EXPECT_EQ(fs.open("nofolder/x", OpenMode::kCreate).status().code(), StatusCode::kNotFound);
  EXPECT_FALSE(fs.isFile("nope"));
  EXPECT_TRUE(fs.isDirectory("."));
}

TEST(MemFileSystem, RenameReplacesAndOpenFilesSurviveRemoval) {
  MemFileSystem fs;
  fs.setContents("a", bytes("new"));
  fs.setContents("b", bytes("old"));
  auto held = fs.open("b", OpenMode::kRead);
  ASSERT_TRUE(fs.rename("a", "b"));
  EXPECT_EQ(fs.contents("b"), bytes("new"));
  EXPECT_FALSE(fs.isFile("a"));
  uint8_t buf[3];
  ASSERT_EQ(held.value()->read(0, buf, 3).value(), 3u);
  EXPECT_EQ(std::string(buf, buf + 3), "old");  // as POSIX: the old file lives on while open
  EXPECT_TRUE(fs.sameFile("b", "b"));
  EXPECT_FALSE(fs.sameFile("b", "a"));
}

}  // namespace
}  // namespace pelisto
