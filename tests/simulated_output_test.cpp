// The output that plays in simulated time, on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "headless/simulated_output.h"

namespace pelisto {
namespace {

// `total` frames whose left and right samples are the frame's index; the
// sound runs dry after `available` of them.
class CountingSource final : public FrameSource {
 public:
  explicit CountingSource(uint64_t total, uint64_t available = UINT64_MAX)
      : m_total(total), m_available(std::min(total, available)) {}
  size_t pull(int16_t* dst, size_t frames) override {
    size_t n = 0;
    for (; n < frames && m_given < m_available; ++n, ++m_given) dst[2 * n] = dst[2 * n + 1] = int16_t(m_given);
    return n;
  }
  uint64_t totalFrames() const override { return m_total; }

 private:
  uint64_t m_total, m_available, m_given = 0;
};

TEST(SimulatedOutput, ConsumesTheFramesDueAndEndsDuringTheMove) {
  SimulatedOutput out(1000);  // a frame a millisecond
  std::vector<int16_t> played;
  out.setCapture(&played);
  int ends = 0;
  out.advanceTo(50);
  ASSERT_TRUE(out.start(std::make_shared<CountingSource>(100), [&] { ++ends; }));
  EXPECT_EQ(out.consumed(), 0u);  // nothing until the clock moves
  out.advanceTo(80);
  EXPECT_EQ(out.consumed(), 30u);
  out.advanceTo(10);  // never backwards
  EXPECT_EQ(out.now(), 80);
  out.advanceTo(149);
  EXPECT_EQ(ends, 0);
  out.advanceTo(150);
  EXPECT_TRUE(out.consumed() == 100u && ends == 1);
  ASSERT_EQ(played.size(), 200u);
  for (int16_t f = 0; f < 100; ++f) EXPECT_TRUE(played[2 * f] == f && played[2 * f + 1] == f) << f;
}

TEST(SimulatedOutput, ASourceThatRunsDryEndsAndAStoppedOneNever) {
  SimulatedOutput out(1000);
  int ends = 0;
  ASSERT_TRUE(out.start(std::make_shared<CountingSource>(100, 40), [&] { ++ends; }));
  out.advanceTo(60);
  EXPECT_TRUE(out.consumed() == 40u && ends == 1);
  ASSERT_TRUE(out.start(std::make_shared<CountingSource>(100), [&] { ++ends; }));
  out.advanceTo(70);
  out.stop();
  out.advanceTo(1000);
  EXPECT_TRUE(out.consumed() == 10u && ends == 1);
  out.failPrepare("no device");
  EXPECT_EQ(out.prepare().message(), "no device");
}

}  // namespace
}  // namespace pelisto
