#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/helper_thread.h"

namespace pelisto::test {
namespace {

TEST(HelperThread, RunsWhatIsQueuedInOrderAndAThrowDropsTheRest) {
  std::vector<int> seen;
  int next = 0, throwAt = -1;
  HelperThread thread([&] {
    const int n = next++;
    if (n == throwAt) throw std::runtime_error("thrown");
    seen.push_back(n);
  });
  for (int i = 0; i < 5; ++i) thread.start();
  EXPECT_EQ(thread.wait(0), 0u);
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
  throwAt = 5;
  for (int i = 0; i < 3; ++i) thread.start();
  EXPECT_THROW(thread.wait(0), std::runtime_error);
  EXPECT_EQ(next, 6);  // the two queued after the throw never ran
  thread.start();
  thread.wait(0);  // goes on after a throw
  EXPECT_EQ(seen.back(), 6);
  for (int i = 0; i < 50; ++i) thread.start();  // the end drops what is still queued
}

}  // namespace
}  // namespace pelisto::test
