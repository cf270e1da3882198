// The in-memory file system of the tests and its failure switches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless/mem_file_system.h"

namespace pelisto {
namespace {

std::vector<uint8_t> bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

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
