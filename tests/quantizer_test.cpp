#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/coding.h"
#include "wave/convert_output.h"
#include "wave/threaded_sink.h"

namespace pelisto::test {
namespace {

std::vector<int16_t> rounded(Quantizer& q, const std::vector<float>& in, size_t cut) {
  std::vector<uint8_t> bytes(in.size() * 2);
  for (size_t at = 0; at < in.size(); at += cut) q.run(in.data() + at, std::min(cut, in.size() - at), &bytes[2 * at]);
  std::vector<int16_t> out;
  for (size_t i = 0; i < bytes.size(); i += 2) out.push_back(int16_t(getLe16(&bytes[i])));
  return out;
}

TEST(Quantizer, RoundsTiesToEvenAndClampsWhatIsPastFullScale) {
  const float step = 1.0f / 32768, inf = std::numeric_limits<float>::infinity();
  const struct {
    float in;
    int16_t out;
    int clamped;
  } cases[] = {{0.5f, 16384, 0},         {0.5f * step, 0, 0},     {1.5f * step, 2, 0},   {-2.5f * step, -2, 0},
               {1.0f, 32767, 0},         {-1.0f, -32768, 0},      {1.0001f, 32767, 1},   {-inf, -32768, 1},
               {inf, 32767, 1},          {std::nanf(""), 0, 0}};
  for (const auto& c : cases) {
    Quantizer q(false);
    EXPECT_EQ(rounded(q, {c.in}, 1)[0], c.out) << c.in;
    EXPECT_EQ(q.clamped(), uint64_t(c.clamped)) << c.in;
  }
}

// TPDF dither: the error has the same power (a quarter step squared)
// whatever the value, averages out, reaches no further than one step
// past the value's neighbours, is not carried from one sample to the next,
// and does not depend on where the blocks are cut.
TEST(Quantizer, DitherIsTriangularWhiteAndTheSameWhateverTheCuts) {
  for (float value : {0.0f, 0.3f, 0.5f, -7.75f}) {
    std::vector<float> in(200000, value / 32768);
    Quantizer whole(true), cut(true);
    const std::vector<int16_t> out = rounded(whole, in, in.size());
    EXPECT_EQ(rounded(cut, in, 4093), out);
    double sum = 0, power = 0, lag = 0;
    for (size_t i = 0; i < out.size(); ++i) {
      const double e = out[i] - value;
      ASSERT_LE(std::abs(e), 1.5) << value;
      sum += e, power += e * e;
      if (i > 0) lag += e * (out[i - 1] - value);
    }
    const double n = double(out.size());
    EXPECT_NEAR(sum / n, 0.0, 0.01) << value;
    EXPECT_NEAR(power / n, 0.25, 0.01) << value;
    EXPECT_NEAR(lag / n, 0.0, 0.01) << value;
  }
}

struct Collected final : OutputSink {
  Status begin(uint64_t) override { return Status::ok(); }
  Status write(const uint8_t* frames, size_t n) override {
    bytes.insert(bytes.end(), frames, frames + 4 * n);
    return Status::ok();
  }
  Status finish() override { return Status::ok(); }
  std::vector<uint8_t> bytes;
};

// A gain rounds as the converter rounds the same floats, however the
// frames are cut on their way through the queue: the noise follows each
// sample's number.
TEST(DitheredGain, RoundsAsTheConverterHoweverTheFramesAreCut) {
  std::vector<uint8_t> in(4 * 100000);
  for (size_t i = 0; i < in.size(); i += 2) putLe16(&in[i], uint16_t(int16_t((i * 7919) % 65536 - 32768)));
  const double factor = 0.37;
  std::vector<float> floats;
  for (size_t i = 0; i < in.size(); i += 2) floats.push_back(float(int16_t(getLe16(&in[i]))) * float(factor / 32768));
  Quantizer converter(true);
  std::vector<uint8_t> expected(in.size());
  converter.run(floats.data(), floats.size(), expected.data());
  for (size_t cut : {size_t{1}, size_t{4093}, kQueuedFrames + 3}) {
    Collected collected;
    {
      ThreadedSink sink(collected, DitheredGain(factor));
      for (size_t at = 0; at < in.size() / 4; at += cut) {
        ASSERT_TRUE(sink.write(&in[4 * at], std::min(cut, in.size() / 4 - at)));
      }
      ASSERT_TRUE(sink.finish());
    }
    EXPECT_EQ(collected.bytes, expected) << cut;
  }
}

}  // namespace
}  // namespace pelisto::test
