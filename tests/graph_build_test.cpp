// The graph cache built behind the window, step by step: what a cancel
// leaves at each point, the pictures meanwhile, a write failure half-way.
#include <gtest/gtest.h>

#include "shell/events.h"
#include "shell/handler_fault.h"
#include "model/messages.h"
#include "platform/file_errors.h"
#include "support/view_support.h"
#include "view/graph_cache.h"

namespace pelisto::test {
namespace {

// 20 s of sound, 21 records: a step to open the files, then 14 of 150 blocks.
constexpr int kSteps = 15;

// The fast display on, with jobs run only when the test says so.
struct BuildApp : TestApp {
  explicit BuildApp(const std::vector<uint8_t>& file = wavFile(noiseData(20 * 176400 + 1000)),
                    uint64_t length = 0)
      : TestApp(true) {
    fs.setContents("/a.wav", file);
    fs.setSparseLength("/a.wav", length);
    fs.setContents("/b.wav", wavFile(noiseData(3 * 176400, 777)));
    started();
    GRAPGFAST_ON(ctx);
    openWave("/a.wav");
    finishSurvey();  // the build alone is left
  }
  std::vector<uint32_t> pictureAt(int second) {
    ui.setScrollPos(second);
    HSCROLL1_CHANGE(ctx);
    return snapshot(ui.canvas(Control::PICTURE1));
  }
};

TEST(GraphBuild, ACancelAtAnyPointLeavesNoUnfinishedCache) {
  const ViewApp built(wavFile(noiseData(3 * 176400, 777)), true);
  const std::vector<uint8_t> cacheOfB = built.fs.contents(graphCachePath(built.ctx));
  enum How { kOtherOpen, kOptionOff, kClose };
  for (How how : {kOtherOpen, kOptionOff, kClose}) {
    for (int steps : {0, 1, kSteps / 2, kSteps}) {  // before any, files open, mid-way, all done
      SCOPED_TRACE(testing::Message() << "case " << how << ", after " << steps << " steps");
      BuildApp app;
      ASSERT_EQ(app.manualWorker.runSteps(steps), steps);
      if (how == kOtherOpen) app.openWave("/b.wav");
      if (how == kOptionOff) GRAPGFAST_ON(app.ctx);
      if (how == kClose) MAINFORM_QUERYCLOSE(app.ctx);
      EXPECT_TRUE(app.manualWorker.cancels() == 1 && app.ctx.state.GRAPHFNUM == 0);
      if (how == kOtherOpen) {  // the new file's cache, built from scratch
        app.manualWorker.runToEnd();
        EXPECT_TRUE(app.fs.contents(graphCachePath(app.ctx)) == cacheOfB && app.ctx.state.GRAPHFNUM != 0);
      } else {
        EXPECT_EQ(app.fs.files(), (std::vector<std::string>{"/a.wav", "/b.wav"}));
        EXPECT_FALSE(app.manualWorker.busy() || app.ui.progressShown());
      }
    }
  }
}

// Memory running out in a handler while the cache is built ends the build
// with its file: the fast display goes off, with one message.
TEST(GraphBuild, MemoryRunningOutInAHandlerEndsTheBuild) {
  BuildApp app;
  app.manualWorker.runSteps(kSteps / 2);
  app.fs.exhaustMemoryInReadsOf("/a.wav", 0);
  app.transcript.clear();
  EXPECT_TRUE(dispatchEvent(app.ctx, Event::scroll()));
  EXPECT_EQ(app.lines(), std::vector<std::string>{std::string("message: ") + kMsgOutOfMemory});
  EXPECT_EQ(app.manualWorker.cancels(), 1);
  EXPECT_EQ(app.fs.files(), (std::vector<std::string>{"/a.wav", "/b.wav"}));
  EXPECT_FALSE(app.ui.isChecked(MenuItem::GrapgFast));
  // In a step of the build, on the worker's thread: the build fails.
  BuildApp other;
  other.fs.exhaustMemoryInReadsOf("/a.wav", 0);
  other.manualWorker.runSteps(kSteps);
  other.manualWorker.poll();
  EXPECT_EQ(other.lines().back(), std::string("message: ") + kMsgGraphFileFailed + "\nメモリが足りません");
  EXPECT_FALSE(other.fs.isFile(graphCachePath(other.ctx)) || other.ui.isChecked(MenuItem::GrapgFast));
}

TEST(GraphBuild, PicturesWhileBuildingEqualThoseFromTheCompleteCache) {
  BuildApp app;
  EXPECT_TRUE(app.ui.progressShown() && app.ui.progressText() == kBusyBuildingGraph);
  app.manualWorker.runSteps(8);
  app.manualWorker.poll();
  EXPECT_EQ(app.ui.progressPercent(), 50);  // 7 of 14 chunks
  const int seconds[] = {0, 9, 20};
  std::vector<std::vector<uint32_t>> drawn;
  for (int s : seconds) drawn.push_back(app.pictureAt(s));

  app.manualWorker.runToEnd();
  ASSERT_TRUE(app.ctx.state.GRAPHFNUM != 0 && !app.ui.progressShown());
  const std::vector<uint8_t> cache = app.fs.contents(graphCachePath(app.ctx));
  ASSERT_EQ(cache.size(), 21u * 600);
  for (size_t i = 0; i < std::size(seconds); ++i) {
    EXPECT_EQ(firstDifference(app.pictureAt(seconds[i]), drawn[i]), "") << seconds[i];
    EXPECT_TRUE(std::equal(app.ctx.state.GRAPHBUF.begin(), app.ctx.state.GRAPHBUF.end(),
                           cache.begin() + seconds[i] * 600));  // this time from the cache
  }
}

TEST(GraphBuild, AWriteFailureHalfWayTurnsTheOptionOffWithItsMessage) {
  const std::vector<uint8_t> head = wavClaiming(1000 * 176400, noiseData(176400));
  BuildApp app(head, 44 + 1000 * 176400);
  app.fs.setCapacity(head.size() + 3 * 176400 + 44 + 300000);  // room for about half the cache
  EXPECT_LT(app.manualWorker.runSteps(1000), 669);  // 669 steps would write every record
  app.manualWorker.poll();
  EXPECT_EQ(app.lines().back(), std::string("message: ") + kMsgGraphFileFailed + "\n" + reason::kNoSpace);
  EXPECT_FALSE(app.ui.isChecked(MenuItem::GrapgFast) || app.ctx.state.GRAPHFAST || app.ctx.state.GRAPHFNUM);
  EXPECT_FALSE(app.fs.isFile(graphCachePath(app.ctx)) || app.ui.progressShown());
}

}  // namespace
}  // namespace pelisto::test
