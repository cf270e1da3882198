#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/helper_thread.h"

namespace pelisto::test {
namespace {

TEST(HelperThread, RunsOncePerStartAndHandsOnWhatTheWorkThrew) {
  int runs = 0;
  HelperThread thread([&] {
    if (++runs == 3) throw std::runtime_error("third");
  });
  for (int i = 0; i < 2; ++i) thread.start(), thread.wait();
  EXPECT_EQ(runs, 2);
  thread.start();
  EXPECT_THROW(thread.wait(), std::runtime_error);
  thread.start();
  thread.wait();  // goes on after a throw
  EXPECT_EQ(runs, 4);
  thread.start();  // left running: the end waits for it
}

}  // namespace
}  // namespace pelisto::test
