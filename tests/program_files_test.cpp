// Where the program keeps files of its own, and each running program's
// graph cache in it.
#include <gtest/gtest.h>

#include <map>

#include "platform/user_folders.h"
#include "support/view_support.h"
#include "view/graph_cache.h"

namespace pelisto::test {
namespace {

TEST(UserFolders, FromTheEnvironmentAsTheBaseDirectoryRulesSay) {
  const struct { std::map<std::string, std::string> env; const char* cache; const char* state; } cases[] = {
      {{{"HOME", "/h"}}, "/h/.cache/pelisto", "/h/.local/state/pelisto"},
      {{{"HOME", "/h"}, {"XDG_CACHE_HOME", "/c"}, {"XDG_STATE_HOME", "rel"}}, "/c/pelisto", "/h/.local/state/pelisto"},
      {{{"HOME", "rel"}, {"XDG_CACHE_HOME", ""}}, "", ""},
  };
  for (const auto& c : cases) {
    const UserFolders f = userFoldersFrom([&](const char* name) -> const char* {
      return c.env.count(name) ? c.env.at(name).c_str() : nullptr;
    });
    EXPECT_EQ(f.cache + " " + f.state, std::string(c.cache) + " " + c.state);
  }
}

// Programs a, b and d in one file system, started from a folder they may
// not write to, each with the fast display of its own file; a ends, b is
// killed (its files close without a word), d switches the display off and
// keeps running; c starts. Where the file system refuses locks, a process
// id that still runs keeps a file instead.
TEST(GraphCacheFiles, EachRunningProgramKeepsItsOwn) {
  for (bool locks : {true, false}) {
    MemFileSystem fs;
    fs.refuseLocks(!locks);
    for (const char* d : {"/h", "/w"}) fs.addDirectory(d);
    fs.setReadOnlyDirectory(".");
    struct Program : TestApp {
      Program(MemFileSystem& fs, int64_t id, std::function<bool(int64_t)> running = nullptr)
          : TestApp(HeadlessOptions{.fs = &fs, .device = false}) {
        ctx.own = ProgramFiles{"/h/.cache/pelisto", id, std::move(running)};
        started();
      }
      std::vector<uint32_t> second1() {
        ui.setScrollPos(1);
        HSCROLL1_CHANGE(ctx);
        return snapshot(ui.canvas(Control::PICTURE1));
      }
    };
    Program a(fs, 101), d(fs, 104);
    auto b = std::make_unique<Program>(fs, 102);
    fs.setContents("/w/a.wav", wavFile(noiseData(3 * kBytesPerSecond, 1)));
    fs.setContents("/w/b.wav", wavFile(noiseData(3 * kBytesPerSecond, 2)));
    a.openWave("/w/a.wav"), b->openWave("/w/b.wav"), d.openWave("/w/a.wav");
    const std::vector<uint32_t> directA = a.second1(), directB = b->second1();
    GRAPGFAST_ON(a.ctx), GRAPGFAST_ON(b->ctx), GRAPGFAST_ON(d.ctx), GRAPGFAST_ON(d.ctx);
    EXPECT_EQ(firstDifference(a.second1(), directA) + firstDifference(b->second1(), directB), "");
    EXPECT_TRUE(fs.isFile("/h/.cache/pelisto/WKGRAPH-101.TMP") && b->ctx.state.GRAPHFNUM != 0);
    removeGraphCache(a.ctx);
    EXPECT_TRUE(fs.isFile(graphCachePath(b->ctx)) && !fs.isFile(graphCachePath(a.ctx)));
    b.reset();
    Program c(fs, 103, [](int64_t id) { return id == 103 || id == 104; });
    EXPECT_EQ(fs.files(), (std::vector<std::string>{"/h/.cache/pelisto/WKGRAPH-104.TMP", "/w/a.wav", "/w/b.wav"}))
        << (locks ? "with locks" : "without");
  }
}

}  // namespace
}  // namespace pelisto::test
