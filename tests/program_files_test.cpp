// Where the program keeps files of its own, and the graph cache of each
// running program in it.
#include <gtest/gtest.h>

#include <map>

#include "platform/user_folders.h"
#include "support/view_support.h"
#include "view/graph_cache.h"

namespace pelisto::test {
namespace {

TEST(UserFolders, FromTheEnvironmentAsTheBaseDirectoryRulesSay) {
  using Env = std::map<std::string, std::string>;
  const struct { Env env; const char* cache; const char* state; } cases[] = {
      {{{"HOME", "/home/u"}}, "/home/u/.cache/pelisto", "/home/u/.local/state/pelisto"},
      {{{"HOME", "/home/u"}, {"XDG_CACHE_HOME", "/c"}, {"XDG_STATE_HOME", "/s"}}, "/c/pelisto", "/s/pelisto"},
      {{{"HOME", "/home/u"}, {"XDG_CACHE_HOME", ""}, {"XDG_STATE_HOME", "rel"}},
       "/home/u/.cache/pelisto", "/home/u/.local/state/pelisto"},
      {{{"XDG_CACHE_HOME", "/c"}}, "/c/pelisto", ""},
      {{{"HOME", "relative"}}, "", ""},
  };
  for (const auto& c : cases) {
    const UserFolders f = userFoldersFrom([&](const char* name) -> const char* {
      auto it = c.env.find(name);
      return it == c.env.end() ? nullptr : it->second.c_str();
    });
    EXPECT_EQ(f.cache, c.cache);
    EXPECT_EQ(f.state, c.state);
  }
}

// A program with file system fs, its cache in /home/u/.cache/pelisto
// (made on demand), running as process id.
struct Program : TestApp {
  Program(MemFileSystem& shared, int64_t id, std::function<bool(int64_t)> running = nullptr)
      : TestApp(HeadlessOptions{.fs = &shared, .device = false}) {
    ctx.own = ProgramFiles{"/home/u/.cache/pelisto", id, std::move(running)};
    started();
  }
  // Second 1 of the file open (of path, opened first when given).
  std::vector<uint32_t> showing(const std::string& path = {}) {
    if (!path.empty()) openWave(path);
    ui.setScrollPos(1);
    HSCROLL1_CHANGE(ctx);
    return snapshot(ui.canvas(Control::PICTURE1));
  }
};

TEST(GraphCacheFiles, EachRunningProgramDrawsFromItsOwn) {
  MemFileSystem fs;
  fs.addDirectory("/home");
  fs.addDirectory("/home/u");
  fs.addDirectory("/w");
  fs.setContents("/w/a.wav", wavFile(noiseData(3 * kBytesPerSecond, 1)));
  fs.setContents("/w/b.wav", wavFile(noiseData(3 * kBytesPerSecond, 2)));
  fs.setReadOnlyDirectory(".");  // started from a folder it may not write to
  Program a(fs, 101), b(fs, 102);
  const std::vector<uint32_t> directA = a.showing("/w/a.wav"), directB = b.showing("/w/b.wav");
  GRAPGFAST_ON(a.ctx);
  GRAPGFAST_ON(b.ctx);
  EXPECT_EQ(firstDifference(a.showing(), directA), "");  // from the cache now
  EXPECT_EQ(firstDifference(b.showing(), directB), "");
  EXPECT_TRUE(fs.isFile("/home/u/.cache/pelisto/WKGRAPH-101.TMP") && b.ctx.state.GRAPHFNUM != 0);

  removeGraphCache(a.ctx);  // a ends: b keeps its cache
  EXPECT_TRUE(fs.isFile(graphCachePath(b.ctx)) && !fs.isFile(graphCachePath(a.ctx)));
  // b is killed; c starts.
  Program c(fs, 103, [](int64_t id) { return id == 103; });
  EXPECT_EQ(fs.files(), (std::vector<std::string>{"/w/a.wav", "/w/b.wav"}));
}

}  // namespace
}  // namespace pelisto::test
