// The graph cache: its records, the menu command, and what happens when the
// current directory cannot take the file.
#include <gtest/gtest.h>

#include "model/messages.h"
#include "support/view_support.h"
#include "view/graph_cache.h"
#include "view/graph_points.h"

namespace pelisto::test {
namespace {

TEST(GraphCache, OneRecordPerRoundedSecond) {
  const std::pair<size_t, size_t> cases[] = {{441000, 3}, {617400, 5}, {176400, 2}, {1000, 1}};
  for (auto [bytes, records] : cases) {
    std::vector<uint8_t> data = noiseData(bytes);
    ViewApp app(wavFile(data), true);
    std::vector<uint8_t> cache = app.fs.contents(graphCachePath(app.ctx));
    ASSERT_EQ(cache.size(), records * 600) << bytes;
    // Column 6k + m of record s from the byte at 176400 s + 1764 k + 1 + 294 m;
    // blocks not wholly in the file are the zero row.
    for (size_t i = 0; i < cache.size(); ++i) {
      const size_t s = i / 600, k = (i % 600) / 6, m = i % 6;
      const size_t blockStart = s * 176400 + k * 1764;
      const int want = blockStart + 1764 <= bytes ? kRowOfByte[data[blockStart + 1 + 294 * m]] : 63;
      ASSERT_EQ(cache[i], want) << bytes << " byte " << i;
    }
    // The first drawing came from the cache.
    EXPECT_TRUE(std::equal(app.ctx.state.GRAPHBUF.begin(), app.ctx.state.GRAPHBUF.end(), cache.begin()));
    EXPECT_EQ(app.ui.busyScopes(), 0);  // built behind the window: nothing held off
    EXPECT_FALSE(app.ui.progressShown());
    EXPECT_EQ(app.ui.pointer(Control::MAINFORM), Pointer::kArrow);
    EXPECT_FALSE(app.ui.mouseCaptured());
  }
}

TEST(GraphCache, SwitchingOnAndOff) {
  TestApp app;
  app.fs.setContents("/a.wav", wavFile(noiseData(441000)));
  app.started();
  GRAPGFAST_ON(app.ctx);  // no file: only the mark and the flag
  EXPECT_TRUE(app.ui.isChecked(MenuItem::GrapgFast));
  EXPECT_EQ(app.ctx.state.GRAPHFAST, 1);
  EXPECT_FALSE(app.fs.isFile(graphCachePath(app.ctx)));

  app.openWave("/a.wav");
  const std::vector<uint8_t> built = app.fs.contents(graphCachePath(app.ctx));
  EXPECT_EQ(built.size(), 1800u);
  EXPECT_NE(app.ctx.state.GRAPHFNUM, 0);

  GRAPGFAST_ON(app.ctx);  // off: closed, kept
  EXPECT_FALSE(app.ui.isChecked(MenuItem::GrapgFast));
  EXPECT_EQ(app.ctx.state.GRAPHFAST, 0);
  EXPECT_EQ(app.ctx.state.GRAPHFNUM, 0);
  EXPECT_EQ(app.fs.contents(graphCachePath(app.ctx)), built);

  app.fs.setContents(graphCachePath(app.ctx), {1, 2, 3});
  GRAPGFAST_ON(app.ctx);  // on again with the file open: rebuilt
  EXPECT_EQ(app.fs.contents(graphCachePath(app.ctx)), built);
  EXPECT_EQ(app.ctx.state.GRAPHFAST, 1);
}

TEST(GraphCache, RefusedWhilePlaying) {
  ViewApp app(wavFile(noiseData(441000)));
  app.ctx.state.PLAYFLAG = 1;
  GRAPGFAST_ON(app.ctx);
  EXPECT_EQ(app.lines().back(), std::string("message: ") + kMsgPlaying);
  EXPECT_FALSE(app.ui.isChecked(MenuItem::GrapgFast));
  EXPECT_EQ(app.ctx.state.GRAPHFAST, 0);
  EXPECT_FALSE(app.fs.isFile(graphCachePath(app.ctx)));
}

// A read-only current directory, or one that fills up half-way: a message,
// the option off, no cache left, and the view still drawn from the file.
TEST(GraphCache, UnwritableDirectoryTurnsTheOptionOff) {
  const std::vector<uint8_t> file = wavFile(noiseData(617400));
  enum { kReadOnly, kFull } kinds[] = {kReadOnly, kFull};
  for (auto kind : kinds) {
    for (bool onBeforeOpen : {true, false}) {
      ViewApp app(std::vector<uint8_t>{});  // a start-up with nothing usable open
      app.fs.setContents("/w/b.wav", file);
      if (kind == kReadOnly) app.fs.setReadOnlyDirectory(".");
      if (kind == kFull) app.fs.setCapacity(file.size() + 1000);
      app.transcript.clear();
      if (onBeforeOpen) GRAPGFAST_ON(app.ctx);
      app.openWave("/w/b.wav");
      if (!onBeforeOpen) GRAPGFAST_ON(app.ctx);

      const std::string& last = app.lines().back();
      EXPECT_EQ(last.rfind(std::string("message: ") + kMsgGraphFileFailed, 0), 0u) << last;
      EXPECT_FALSE(app.ui.isChecked(MenuItem::GrapgFast));
      EXPECT_EQ(app.ctx.state.GRAPHFAST, 0);
      EXPECT_EQ(app.ctx.state.GRAPHFNUM, 0);
      EXPECT_FALSE(app.fs.isFile(graphCachePath(app.ctx)));
      EXPECT_FALSE(app.ui.mouseCaptured());

      ViewApp reference(file);
      for (int p = 0; p <= 4; ++p) {
        app.scrollTo(p);
        reference.scrollTo(p);
        ASSERT_EQ(firstDifference(snapshot(app.picture()), snapshot(reference.picture())), "") << p;
      }
    }
  }
}

}  // namespace
}  // namespace pelisto::test
