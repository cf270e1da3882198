// The headless workers: what runs when, and a cancel that ends a job for good.
#include <gtest/gtest.h>

#include <string>

#include "platform/headless/inline_worker.h"
#include "platform/headless/manual_worker.h"

namespace pelisto {
namespace {

// A job of `steps` steps that logs every call.
struct LoggedJob {
  int steps;
  std::string log;
  void start(Worker& w) {
    w.start([this] { log += 's'; return --steps > 0; }, [this] { log += 't'; },
            [this] { log += 'f'; });
  }
};

TEST(Workers, InlineRunsTheWholeJobInsideStart) {
  InlineWorker w;
  LoggedJob job{3, ""};
  job.start(w);
  EXPECT_EQ(job.log, "sssf");
  EXPECT_FALSE(w.busy());
}

TEST(Workers, ManualRunsStepsTicksAndTheFinishOnRequest) {
  ManualWorker w;
  LoggedJob job{3, ""};
  job.start(w);
  EXPECT_TRUE(w.busy());
  EXPECT_EQ(w.runSteps(2), 2);
  w.poll();
  EXPECT_EQ(w.runSteps(5), 1);  // the last step
  EXPECT_TRUE(w.stepsDone());
  w.poll();
  EXPECT_EQ(job.log, "sstsf");
  EXPECT_FALSE(w.busy());

  LoggedJob cancelled{3, ""};
  cancelled.start(w);
  w.runSteps(3);
  w.cancel();  // after the last step, before the finish
  w.runToEnd();
  EXPECT_EQ(cancelled.log, "sss");
  EXPECT_FALSE(w.busy());
  EXPECT_EQ(w.cancels(), 1);
}

}  // namespace
}  // namespace pelisto
