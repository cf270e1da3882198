// The worker that runs a job to its end inside start().
#include <gtest/gtest.h>

#include <string>

#include "headless/inline_worker.h"

namespace pelisto {
namespace {

TEST(InlineWorker, RunsEveryStepThenTheFinishInsideStart) {
  InlineWorker w;
  std::string log;
  int steps = 3;
  w.start([&] { log += w.busy() ? 's' : '?'; return --steps > 0; }, [&] { log += 't'; },
          [&] { log += w.busy() ? '?' : 'f'; });
  EXPECT_EQ(log, "sssf");  // busy while it steps, no tick, idle when it finishes
  EXPECT_FALSE(w.busy());
  EXPECT_EQ(w.jobs(), 1);
}

}  // namespace
}  // namespace pelisto
