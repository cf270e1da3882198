#include <gtest/gtest.h>
#include <soxr.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "platform/helper_thread.h"
#include "platform/sound_library.h"

namespace pelisto::test {
namespace {

// Frames of `channels` channels, each channel a tone of its own.
std::vector<float> tones(size_t frames, int channels) {
  std::vector<float> v;
  for (size_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) v.push_back(0.4f * std::sin(0.01f * float((c + 1) * f)));
  }
  return v;
}

// The whole input through one libsoxr instance over every channel.
std::vector<float> oneInstance(const std::vector<float>& in, int inRate, int channels) {
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  const size_t frames = in.size() / size_t(channels);
  std::vector<float> out((frames * 44100 / size_t(inRate) + 8192) * size_t(channels));
  size_t made = 0;
  EXPECT_EQ(soxr_oneshot(inRate, 44100, unsigned(channels), in.data(), frames, nullptr, out.data(),
                         out.size() / size_t(channels), &made, &io, &quality, nullptr),
            nullptr);
  out.resize(made * size_t(channels));
  return out;
}

// The channels are resampled apart, a block behind the caller: the frames
// that come out, in their order, are those of one instance over them all.
TEST(Resampler, GivesTheFramesOfOneInstanceWhateverTheBlocks) {
  const struct {
    int channels, rate;
    size_t block;
  } cases[] = {{2, 48000, 8192}, {2, 48000, 1001}, {1, 22050, 3000}, {3, 96000, 4097}, {2, 8000, 500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.channels * 1000000 + c.rate);
    const std::vector<float> in = tones(size_t(c.rate) * 3 / 2, c.channels);
    auto resampler = newSoxrResampler(c.rate, 44100, c.channels);
    ASSERT_TRUE(resampler);
    std::vector<float> out;
    const size_t frames = in.size() / size_t(c.channels);
    for (size_t at = 0; at < frames; at += c.block) {
      const size_t n = std::min(c.block, frames - at);
      ASSERT_TRUE(resampler.value()->process(in.data() + at * size_t(c.channels), n, out));
    }
    ASSERT_TRUE(resampler.value()->finish(out));
    EXPECT_EQ(out, oneInstance(in, c.rate, c.channels));
  }
}

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
