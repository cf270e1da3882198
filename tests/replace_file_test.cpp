#include <gtest/gtest.h>

#include "platform/headless/mem_file_system.h"
#include "platform/replace_file.h"

namespace pelisto {
namespace {

using Bytes = std::vector<uint8_t>;

std::function<Status(File&)> writing(Bytes bytes) {
  return [bytes](File& f) { return f.write(0, bytes.data(), bytes.size()); };
}

// What a killed save left goes before the next save; a save of this run
// (another window's, still under way) and files of other names stay.
TEST(ReplaceFile, RemovesStaleTemporariesAndKeepsTheTargetsMode) {
  MemFileSystem fs;
  fs.addDirectory("/d");
  fs.setContents("/d/.pelisto-1-0.tmp", {1});
  fs.setModified("/d/.pelisto-1-0.tmp", fs.startedNs() - 1);
  fs.setContents("/d/.pelisto-2-0.tmp", {2});
  fs.setContents("/d/old.tmp", {3});
  fs.setModified("/d/old.tmp", fs.startedNs() - 1);
  fs.setContents("/d/t", {4});
  ASSERT_TRUE(fs.setPermissions("/d/t", 0600));
  ASSERT_TRUE(replaceFile(fs, "/d/t", writing({9})));
  EXPECT_EQ(fs.files(), (std::vector<std::string>{"/d/.pelisto-2-0.tmp", "/d/old.tmp", "/d/t"}));
  EXPECT_EQ(fs.contents("/d/t"), Bytes{9});
  EXPECT_EQ(fs.permissions("/d/t"), 0600u);

  // A failing write, or a target the user may not write: all as it was.
  const Status full = Status::error(StatusCode::kNoSpace, "full");
  EXPECT_EQ(replaceFile(fs, "/d/t", [&](File&) { return full; }).code(), StatusCode::kNoSpace);
  ASSERT_TRUE(fs.setPermissions("/d/t", 0444));
  EXPECT_EQ(replaceFile(fs, "/d/t", writing({5})).code(), StatusCode::kDenied);
  EXPECT_EQ(fs.files(), (std::vector<std::string>{"/d/.pelisto-2-0.tmp", "/d/old.tmp", "/d/t"}));
  EXPECT_EQ(fs.contents("/d/t"), Bytes{9});
}

}  // namespace
}  // namespace pelisto
