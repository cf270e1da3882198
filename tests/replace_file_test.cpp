#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "headless/mem_file_system.h"
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

// Another program's save is never taken for a killed one. A temporary file
// goes exactly when its lock is free, whatever runs under its number now;
// where the file system refuses locks, when its process has ended or its
// number names a process started after the file.
TEST(ReplaceFile, ATemporaryIsStaleOnlyWhenItsProgramIsGone) {
  const int64_t second = 1000000000;
  const struct {
    const char* name;
    bool young;  // made since this program started
    bool locked;
    bool kept, keptWithoutLocks;
  } cases[] = {
      {"/d/.pelisto-10-0.tmp", false, false, false, false},  // its process has ended
      {"/d/.pelisto-20-0.tmp", false, false, false, true},   // its number runs a process older than it
      {"/d/.pelisto-30-0.tmp", false, false, false, false},  // its number reused since
      {"/d/.pelisto-20-1.tmp", false, true, true, true},     // a save held up half-way
      {"/d/.pelisto-10-1.tmp", true, false, true, true},     // a save begun meanwhile
  };
  for (bool locks : {true, false}) {
    MemFileSystem fs;
    fs.addDirectory("/d");
    fs.refuseLocks(!locks);
    const int64_t made = fs.startedNs() - 10 * second;
    fs.setProcess(20, made - second);
    fs.setProcess(30, made + 5 * second);
    std::vector<std::unique_ptr<File>> held;
    for (const auto& c : cases) {
      fs.setContents(c.name, {1});
      fs.setModified(c.name, c.young ? fs.startedNs() + 1 : made);
      if (c.locked) held.push_back(std::move(fs.open(c.name, OpenMode::kRead).value()));
      if (c.locked) held.back()->tryLock();
    }
    ASSERT_TRUE(replaceFile(fs, "/d/t", writing({9})));
    for (const auto& c : cases) EXPECT_EQ(fs.isFile(c.name), locks ? c.kept : c.keptWithoutLocks) << c.name;
  }
}

// A save notes its temporary file in the journal, held locked, until the
// file is renamed or removed; a note its program left (its lock free)
// takes its temporary file with it at the next start, wherever it lies.
// A journal that cannot be written never stops a save.
TEST(ReplaceFile, TheJournalNamesEachSaveUnderWayAndClearsThoseLeft) {
  MemFileSystem fs;
  for (const char* d : {"/d", "/e", "/j"}) fs.addDirectory(d);
  fs.setJournalFolder("/j");
  std::vector<std::string> during;
  ASSERT_TRUE(replaceFile(fs, "/d/t", [&](File& f) {
    for (const std::string& p : fs.files()) during.push_back(p + (fs.locked(p) ? " locked" : ""));
    return f.write(0, Bytes{9}.data(), 1);
  }));
  ASSERT_EQ(during.size(), 2u);
  const std::string temp = during[0].substr(0, during[0].find(' ')), note = during[1].substr(0, during[1].find(' '));
  EXPECT_TRUE(temp.starts_with("/d/.pelisto-") && during[0].ends_with(" locked")) << during[0];
  EXPECT_TRUE(note.starts_with("/j/SAVING-") && during[1].ends_with(" locked")) << during[1];
  EXPECT_EQ(fs.files(), std::vector<std::string>{"/d/t"});

  const int64_t past = fs.startedNs() - 1;
  auto leave = [&](const std::string& temp, const std::string& note) {
    fs.setContents(temp, {1}), fs.setModified(temp, past);
    fs.setContents(note, Bytes(temp.begin(), temp.end())), fs.setModified(note, past);
  };
  leave("/e/.pelisto-7-0.tmp", "/j/SAVING-7-0.NOTE");  // killed half-way
  leave("/e/.pelisto-8-0.tmp", "/j/SAVING-8-0.NOTE");  // held up half-way
  auto held = std::move(fs.open("/j/SAVING-8-0.NOTE", OpenMode::kRead).value());
  held->tryLock();
  fs.setContents("/j/SAVING-9-0.NOTE", Bytes{'/', 'd', '/', 't'}), fs.setModified("/j/SAVING-9-0.NOTE", past);
  removeLeftSaves(fs);
  EXPECT_EQ(fs.files(), (std::vector<std::string>{"/d/t", "/e/.pelisto-8-0.tmp", "/j/SAVING-8-0.NOTE"}));

  fs.setReadOnlyDirectory("/j");
  EXPECT_TRUE(replaceFile(fs, "/d/t", writing({5})));
  EXPECT_EQ(fs.contents("/d/t"), Bytes{5});
}

class ReplaceOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/pelisto-replace-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir = name;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  Bytes contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);  // every path here fits one call
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  std::string dir;
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
};

// A second program saving into the folder while the first one's save is
// paused half-way: both saves complete.
TEST_F(ReplaceOnDisk, ASecondProgramLeavesAPausedSaveAlone) {
  Status second;
  Status first = replaceFile(*fs, dir + "/a", [&](File& f) {
    Status st = f.write(0, Bytes{1}.data(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    auto other = newPosixFileSystem();  // started while this save waits
    second = replaceFile(*other, dir + "/b", writing({2}));
    return st;
  });
  EXPECT_TRUE(first) << first.message();
  EXPECT_TRUE(second) << second.message();
  EXPECT_EQ(contents(dir + "/a"), Bytes{1});
}

// The longest path the system takes, under a name shorter than any
// temporary name: saved, and saved over.
TEST_F(ReplaceOnDisk, ATargetOfTheLongestPathIsSaved) {
  std::string folder = dir;
  while (folder.size() < PATH_MAX - 7) {
    folder.push_back('/');
    folder.append(std::min<size_t>(200, PATH_MAX - 7 - folder.size()), 'd');
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0) << folder.size();
  }
  const std::string target = folder + "/a.wav";
  ASSERT_EQ(target.size(), size_t{PATH_MAX - 1});
  for (uint8_t v : {1, 2}) {
    Status st = replaceFile(*fs, target, writing({v}));
    EXPECT_TRUE(st) << st.message();
    EXPECT_EQ(contents(target), Bytes{v});
  }
}

}  // namespace
}  // namespace pelisto
