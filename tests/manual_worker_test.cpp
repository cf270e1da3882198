// The step-by-step worker of the tests: what runs when, and a cancel that
// ends a job for good.
#include <gtest/gtest.h>

#include <string>

#include "headless/manual_worker.h"

namespace pelisto {
namespace {

// A job of `steps` steps that logs every call.
struct LoggedJob {
  int steps;
  std::string log;
  JobId start(Worker& w) {
    return w.start([this] { log += 's'; return --steps > 0; }, [this] { log += 't'; },
            [this] { log += 'f'; });
  }
};

TEST(ManualWorker, RunsStepsTicksAndTheFinishOnRequest) {
  ManualWorker w;
  LoggedJob job{3, ""};
  job.start(w);
  EXPECT_TRUE(w.busy());
  EXPECT_EQ(w.runSteps(2), 2);
  w.poll();
  EXPECT_TRUE(w.runSteps(5) == 1 && w.stepsDone());  // the last step
  w.poll();
  EXPECT_TRUE(job.log == "sstsf" && !w.busy());

  LoggedJob cancelled{3, ""};
  cancelled.start(w);
  w.runSteps(3);
  w.cancel();  // after the last step, before the finish
  w.runToEnd();
  EXPECT_TRUE(cancelled.log == "sss" && !w.busy() && w.cancels() == 1);
}

TEST(ManualWorker, RunsSeveralJobsAndCancelsOneAlone) {
  ManualWorker w;
  LoggedJob a{2, ""}, b{2, ""};
  const JobId first = a.start(w), second = b.start(w);
  EXPECT_EQ(w.runSteps(5), 2);  // the oldest job's steps only
  EXPECT_EQ(w.runSteps(1, second), 1);
  w.poll();  // a finishes, b ticks
  EXPECT_TRUE(a.log == "ssf" && b.log == "st" && !w.runs(first) && w.runs(second));
  w.cancelJob(first);  // no longer runs: nothing happens
  w.cancelJob(second);
  w.runToEnd();
  EXPECT_TRUE(b.log == "st" && !w.busy() && w.cancels() == 1);
}

}  // namespace
}  // namespace pelisto
