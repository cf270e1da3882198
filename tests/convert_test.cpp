#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <vector>

#include <soxr.h>

#include "headless/mem_file_system.h"
#include "support/sound_files.h"
#include "support/test_app.h"
#include "wave/convert.h"
#include "wave/convert_limits.h"

namespace pelisto::test {
namespace {

using Bytes = std::vector<uint8_t>;

struct Converted {
  Status status;
  Bytes file;
  std::vector<int16_t> samples;  // interleaved left, right
};

// Converts `source` with the real libraries over the in-memory file system.
// A converted file must carry the canonical header of its length.
Converted convert(const Bytes& source, bool dither = false,
                  const std::function<void(MemFileSystem&)>& setUp = {}, uint64_t* clamped = nullptr) {
  MemFileSystem fs;
  fs.addDirectory("/w");
  fs.setContents("/w/s", source);
  if (setUp) setUp(fs);
  auto library = newSoundLibrary();
  Converted c;
  c.status = convertToWaveFile(fs, *library, "/w/s", "/w/o.wav", nullptr, ConvertOptions{dither, clamped});
  const Bytes out = c.file = fs.contents("/w/o.wav");
  if (!c.status) {
    EXPECT_EQ(fs.files(), std::vector<std::string>{"/w/s"});  // nothing left behind
    return c;
  }
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 44), riff::canonicalHeader(uint32_t(out.size() - 44)));
  for (size_t i = 44; i + 1 < out.size(); i += 2) c.samples.push_back(int16_t(getLe16(&out[i])));
  return c;
}

TEST(Convert, SixteenBitSourcesAtTheEditingRateAreCopiedExactly) {
  const Bytes data = patternData(4 * 3000);
  Bytes mono = patternData(2 * 3000), duplicated;
  for (size_t i = 0; i < mono.size(); i += 2) {
    duplicated.insert(duplicated.end(), {mono[i], mono[i + 1], mono[i], mono[i + 1]});
  }
  const struct {
    const char* name;
    Bytes source, expected;
  } cases[] = {
      {"LIST chunk", wavOf({.list = true}, data), wavFile(data)},
      {"extensible", wavOf({.tag = 0xFFFE, .mask = 3}, data), wavFile(data)},
      {"mono", wavOf({.channels = 1}, mono), wavFile(duplicated)},
  };
  for (const auto& c : cases) EXPECT_EQ(convert(c.source, true).file, c.expected) << c.name;
}

TEST(Convert, EverySampleWidthLandsWithinOneStepOfItsValue) {
  const std::vector<double> v = {0, 0.5, -0.5, 0.999, -1, 0.123456, -0.0001, 1.0 / 3, 1.5, -1.5};
  const struct {
    int bits;
    bool floating;
  } kinds[] = {{8, false}, {24, false}, {32, false}, {32, true}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.bits + 100 * k.floating);
    const WavLayout layout{.tag = uint16_t(k.floating ? 3 : 1), .bits = k.bits};
    // 8-bit sources are never dithered: here the switch is left on.
    Converted c = convert(wavOf(layout, samplesOf(v, k.bits, k.floating)), k.bits == 8);
    ASSERT_TRUE(c.status) << c.status.message();
    ASSERT_EQ(c.samples.size(), v.size());
    for (size_t i = 0; i < v.size(); ++i) {
      // The value as stored, then at 16 bits.
      const double full = std::ldexp(1.0, k.bits - 1);
      const double stored = k.floating ? v[i] : std::clamp(std::round(v[i] * full), -full, full - 1) / full;
      const double expected = std::clamp(stored * 32768, -32768.0, 32767.0);
      EXPECT_NEAR(c.samples[i], expected, k.bits == 8 ? 0.0 : 1.0) << i;
    }
  }
}

TEST(Convert, ChannelsFoldIntoTwo) {
  const double g = std::sqrt(0.5);
  const std::vector<double> six = {0.1, 0.2, 0.05, 0.04, 0.03, 0.02};  // L R C LFE, then back or side L R
  std::vector<double> frames;
  for (int i = 0; i < 50; ++i) frames.insert(frames.end(), six.begin(), six.end());
  const double left = 0.1 + g * (0.05 + 0.04 + 0.03), right = 0.2 + g * (0.05 + 0.04 + 0.02);  // room to spare
  const struct {
    const char* name;
    WavLayout layout;
    std::vector<double> data;
    double left, right;
  } cases[] = {
      {"5.1 in the usual order", {.channels = 6, .bits = 24}, frames, left, right},
      {"5.1 with side channels named",
       {.tag = 0xFFFE, .channels = 6, .bits = 24, .mask = 0x60F}, frames, left, right},
      {"mono at 24 bits", {.channels = 1, .bits = 24}, {0.25, 0.25}, 0.25, 0.25},
  };
  for (const auto& c : cases) {
    Converted out = convert(wavOf(c.layout, samplesOf(c.data, 24, false)));
    ASSERT_TRUE(out.status) << c.name;
    ASSERT_FALSE(out.samples.empty());
    for (size_t i = 0; i < out.samples.size(); i += 2) {
      EXPECT_NEAR(out.samples[i], c.left * 32768, 1.0) << c.name;
      EXPECT_NEAR(out.samples[i + 1], c.right * 32768, 1.0) << c.name;
    }
  }
}

// Power spectrum (dB) of n samples under a Kaiser window (β 20: side lobes
// far below the levels measured), by a plain DFT.
std::vector<double> spectrumDb(const std::vector<double>& x) {
  const size_t n = x.size();
  auto i0 = [](double z) {
    double sum = 1, term = 1;
    for (int k = 1; k < 60; ++k) sum += (term *= (z / (2 * k)) * (z / (2 * k)));
    return sum;
  };
  std::vector<double> w(n), db(n / 2);
  for (size_t i = 0; i < n; ++i) {
    const double r = 2.0 * double(i) / double(n - 1) - 1;
    w[i] = x[i] * i0(20 * std::sqrt(1 - r * r)) / i0(20);
  }
  for (size_t k = 0; k < n / 2; ++k) {
    const std::complex<double> step = std::polar(1.0, -2 * M_PI * double(k) / double(n));
    std::complex<double> turn = 1, sum = 0;
    for (size_t i = 0; i < n; ++i, turn *= step) sum += w[i] * turn;
    db[k] = 10 * std::log10(std::norm(sum) + 1e-30);
  }
  return db;
}

// With a tone at 23 kHz, past the new rate's limit: it must not fold back.
TEST(Convert, ASineAt48kHzKeepsItsFrequencyAndLevelWithNothingElseAbove90dB) {
  const double amplitude = 0.5;
  std::vector<double> v;
  for (int i = 0; i < 96000; ++i) {
    const double t = 2 * M_PI * i / 48000;
    v.insert(v.end(), 2, amplitude * std::sin(1000 * t) + 0.25 * std::sin(23000 * t));
  }
  Converted c = convert(wavOf({.tag = 3, .rate = 48000, .bits = 32}, samplesOf(v, 32, true)), true);
  ASSERT_TRUE(c.status);
  ASSERT_EQ(c.samples.size(), 2u * 88200);
  const size_t n = 8192, from = (88200 - n) / 2;
  std::vector<double> x(n);
  double sc = 0, ss = 0;  // the level: a least-squares fit of the 1 kHz sine
  for (size_t i = 0; i < n; ++i) {
    x[i] = c.samples[2 * (from + i)] / 32768.0;
    const double t = 2 * M_PI * 1000 * double(from + i) / 44100;
    sc += x[i] * std::cos(t), ss += x[i] * std::sin(t);
  }
  EXPECT_NEAR(20 * std::log10(2 * std::hypot(sc, ss) / n / amplitude), 0.0, 0.1);
  const std::vector<double> db = spectrumDb(x);
  const size_t peak = size_t(std::max_element(db.begin(), db.end()) - db.begin());
  EXPECT_NEAR(double(peak), 1000.0 * n / 44100, 1.0);
  double worst = -400;
  for (size_t i = 0; i < db.size(); ++i) {
    if (i + 30 < peak || i > peak + 30) worst = std::max(worst, db[i] - db[peak]);
  }
  EXPECT_LT(worst, -90.0);
}

// The sides are resampled apart, the right one on a helper thread a block
// behind: the frames, in their order, are those of one resampler over both.
TEST(Convert, SidesResampledApartGiveTheFramesOfOneResampler) {
  for (const int channels : {1, 2}) {
    for (const int rate : {48000, 22050, 8000}) {
      SCOPED_TRACE(rate * channels);
      std::vector<float> v;
      for (int i = 0; i < rate * 17 / 10; ++i) {
        for (int c = 0; c < channels; ++c) v.push_back(0.45f * std::sin(0.003f * float((c + 2) * i)));
      }
      const std::vector<double> source(v.begin(), v.end());
      Converted c = convert(wavOf({.tag = 3, .channels = channels, .rate = rate, .bits = 32},
                                  samplesOf(source, 32, true)));
      ASSERT_TRUE(c.status);
      const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
      const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
      std::vector<float> out(size_t(2 * (kEditRate * 2 + 8192)));
      size_t made = 0;
      soxr_oneshot(rate, kEditRate, unsigned(channels), v.data(), v.size() / size_t(channels), nullptr,
                   out.data(), out.size() / 2, &made, &io, &quality, nullptr);
      std::vector<int16_t> expected;
      for (size_t i = 0; i < made * size_t(channels); ++i) {
        const int16_t s = int16_t(std::nearbyint(std::clamp(out[i] * 32768.0f, -32768.0f, 32767.0f)));
        expected.insert(expected.end(), size_t(3 - channels), s);
      }
      EXPECT_EQ(c.samples, expected);
    }
  }
}

// The fold of 5.1 measures its peak first and takes the largest gain, at
// most 1, that keeps it within full scale: never a clamp, and no level lost
// that need not be.
TEST(Convert, TheFoldTakesTheLargestGainThatKeepsItWithinFullScale) {
  const double centre = std::pow(10.0, -1 / 20.0) * std::sqrt(0.5);  // −1 dBFS, then −3 dB
  const struct {
    const char* name;
    int loud;        // the channel that sounds, 6 for all of them
    double level;    // its peak
    double left, right;  // the peaks out (full scale 1)
  } cases[] = {
      {"centre alone at −1 dBFS", 2, std::pow(10.0, -1 / 20.0), centre, centre},
      {"front left alone at full scale", 0, 1, 1, 0},
      {"back right alone at −6 dBFS", 5, 0.5, 0, 0.5 * std::sqrt(0.5)},
      {"every channel at full scale", 6, 1, 1, 1},
      {"silence", 6, 0, 0, 0},
  };
  for (const auto& c : cases) {
    std::vector<double> v;
    for (int i = 0; i < 4410; ++i) {
      for (int ch = 0; ch < 6; ++ch) v.push_back(ch == c.loud || c.loud == 6 ? c.level * std::sin(0.1 * i) : 0.0);
    }
    uint64_t clamped = 99;
    Converted out = convert(wavOf({.channels = 6, .bits = 24}, samplesOf(v, 24, false)), false, {}, &clamped);
    ASSERT_TRUE(out.status) << c.name;
    EXPECT_EQ(clamped, 0u) << c.name;
    int peaks[2] = {0, 0};
    for (size_t i = 0; i < out.samples.size(); ++i) peaks[i % 2] = std::max(peaks[i % 2], std::abs(int(out.samples[i])));
    EXPECT_NEAR(peaks[0], std::min(c.left * 32768, 32767.0), 2) << c.name;
    EXPECT_NEAR(peaks[1], std::min(c.right * 32768, 32767.0), 2) << c.name;
  }
}

// A resampled full-scale square wave overshoots: clamped, counted, never wrapped.
TEST(Convert, ResamplerOvershootIsClampedAndCounted) {
  std::vector<double> v;
  for (int i = 0; i < 48000; ++i) v.insert(v.end(), 2, (i / 48) % 2 ? -1.0 : 1.0);
  uint64_t clamped = 0;
  Converted c = convert(wavOf({.tag = 3, .rate = 48000, .bits = 32}, samplesOf(v, 32, true)), true, {}, &clamped);
  ASSERT_TRUE(c.status);
  EXPECT_GT(clamped, 100u);
  // Each half period keeps its sign away from the edges (44.1 output frames per 48 input).
  for (size_t f = 0; f < c.samples.size() / 2; ++f) {
    const double phase = std::fmod(double(f) * 48000 / 44100 / 48, 2.0);
    if (std::fmod(phase, 1.0) > 0.2 && std::fmod(phase, 1.0) < 0.8) {
      ASSERT_EQ(c.samples[2 * f] > 0, phase < 1) << f;
    }
  }
}

// A header whose rate no recording has is refused with its rate before a
// byte is written, in every container; the lowest rate taken converts.
TEST(Convert, RatesBelowTheFloorAreRefusedInEveryContainer) {
  for (int container : {SF_FORMAT_WAV, SF_FORMAT_AIFF, SF_FORMAT_CAF, SF_FORMAT_FLAC, SF_FORMAT_W64}) {
    SCOPED_TRACE(container);
    for (int rate : {1, 2, 999}) {
      Converted c = convert(libraryFile(container | SF_FORMAT_PCM_16, rate, 200));
      EXPECT_EQ(c.status.message(),
                std::string(kMsgRateTooLow) + "\nサンプリング周波数: " + std::to_string(rate) + " Hz");
    }
    Converted c = convert(libraryFile(container | SF_FORMAT_PCM_16, kMinConvertRate, 2000));
    EXPECT_TRUE(c.status) << c.status.message();
    EXPECT_EQ(c.samples.size(), 2u * 88200);
  }
}

TEST(Convert, TooLongAndUnreadableSourcesLeaveNoFile) {
  // Almost 4 GiB of 8-bit stereo at 48 kHz: twice that converted.
  Bytes big = wavOf({.rate = 48000, .bits = 8}, {});
  putLe32(&big[40], 0xFFFFFF00u);
  Converted c = convert(big, false, [](MemFileSystem& fs) { fs.setSparseLength("/w/s", 44 + 0xFFFFFF00ull); });
  EXPECT_EQ(c.status.message(), std::string(kMsgConvertedTooLong) + "\nサンプリング周波数: 48000 Hz");
  // A source that turns unreadable part of the way is no short success.
  c = convert(wavOf({.rate = 48000}, patternData(400000)), false,
              [](MemFileSystem& fs) { fs.failReadsOf("/w/s", 200000); });
  EXPECT_EQ(c.status.code(), StatusCode::kIoError);
}

// An RF64 file whose ds64 chunk states 2^63 - 1 bytes of data: the
// library's seeks from that size stay within range, and the 10 ms the
// file holds are what converts.
TEST(Convert, AnRf64SizeAtItsLimitConvertsWhatTheFileHolds) {
  Bytes f;
  auto tag = [&](const char* t) { f.insert(f.end(), t, t + 4); };
  auto le = [&](uint64_t v, int n) {
    for (int i = 0; i < n; ++i) f.push_back(uint8_t(v >> (8 * i)));
  };
  tag("RF64"), le(0xFFFFFFFF, 4), tag("WAVE"), tag("ds64"), le(28, 4);
  le(0x7FFFFFFFFFFFFFF0, 8), le(0x7FFFFFFFFFFFFFFF, 8), le(0x1FFFFFFFFFFFFFFF, 8), le(0, 4);
  tag("fmt "), le(16, 4), le(1, 2), le(2, 2), le(48000, 4), le(192000, 4), le(4, 2), le(16, 2);
  tag("data"), le(0xFFFFFFFF, 4);
  const Bytes data = patternData(4 * 480);
  f.insert(f.end(), data.begin(), data.end());
  Converted c = convert(f);
  ASSERT_TRUE(c.status) << c.status.message();
  EXPECT_EQ(c.samples.size(), 2u * 441);
}

}  // namespace
}  // namespace pelisto::test
