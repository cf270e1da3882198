#include "wave/convert.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/replace_file.h"
#include "wave/convert_limits.h"
#include "wave/convert_output.h"
#include "wave/convert_pipeline.h"

namespace pelisto {
namespace {

constexpr float kMinus3dB = 0.70710678f;  // 1/√2

ChannelGains gainsFor(Speaker s) {
  using S = Speaker;
  switch (s) {
    case S::kFrontLeft: return {1, 0};
    case S::kFrontRight: return {0, 1};
    case S::kBackLeft:
    case S::kSideLeft:
    case S::kFrontLeftOfCentre:
    case S::kTopFrontLeft:
    case S::kTopBackLeft: return {kMinus3dB, 0};
    case S::kBackRight:
    case S::kSideRight:
    case S::kFrontRightOfCentre:
    case S::kTopFrontRight:
    case S::kTopBackRight: return {0, kMinus3dB};
    default: return {kMinus3dB, kMinus3dB};
  }
}

Status sourceFault(const Status& st) {
  return Status::error(StatusCode::kIoError, "変換元のファイルを読み込めません（" + st.message() + "）");
}

class Progress {
 public:
  Progress(BusyScope* busy, uint64_t total) : m_busy(busy), m_total(total) {}
  Status advance(size_t frames) {
    m_done += frames;
    if (m_busy && !m_busy->update(m_done, std::max(m_total, m_done))) {
      return Status::error(StatusCode::kCancelled, "中止しました");
    }
    return Status::ok();
  }

 private:
  BusyScope* m_busy;
  uint64_t m_total;
  uint64_t m_done = 0;
};

// 16-bit integers at the editing rate: copied, not computed.
Status copyExactly(SoundDecoder& decoder, WaveOutput& out, Progress& progress) {
  const int channels = decoder.info().channels;
  const size_t frames = convertReadFrames(decoder.info());
  std::vector<int16_t> block(frames * static_cast<size_t>(channels));
  for (;;) {
    auto got = decoder.readShort(block.data(), frames);
    if (!got) return sourceFault(got.status());
    if (got.value() == 0) return Status::ok();
    if (Status st = out.appendShort(block.data(), got.value(), channels); !st) return st;
    if (Status st = progress.advance(got.value()); !st) return st;
  }
}

// Folds a block of `channels` channels into two in out, or keeps one or
// two as they are; returns where the folded frames are.
const float* fold(const float* in, size_t frames, const std::vector<ChannelGains>& gains,
                  std::vector<float>& out) {
  const size_t n = gains.size();
  if (n <= 2) return in;
  out.resize(frames * 2);
  float* to = out.data();
  for (size_t i = 0; i < frames; ++i, in += n, to += 2) {
    float l = 0, r = 0;
    for (size_t c = 0; c < n; ++c) {
      l += in[c] * gains[c].left;
      r += in[c] * gains[c].right;
    }
    to[0] = l;
    to[1] = r;
  }
  return out.data();
}

// The first pass of a fold: the largest magnitude of the folded samples
// (full scale 1), read to the end of the sound.
Result<float> foldedPeak(SoundDecoder& decoder, const std::vector<ChannelGains>& gains, Progress& progress) {
  const size_t block = convertReadFrames(decoder.info());
  std::vector<float> in(block * gains.size()), folded;
  float peak = 0;
  for (;;) {
    auto got = decoder.readFloat(in.data(), block);
    if (!got) return sourceFault(got.status());
    if (got.value() == 0) return peak;
    const float* frames = fold(in.data(), got.value(), gains, folded);
    for (size_t i = 0; i < 2 * got.value(); ++i) peak = std::max(peak, std::fabs(frames[i]));
    if (Status st = progress.advance(got.value()); !st) return st;
  }
}

// The two sides' resamplers (the right one only for stereo), when the
// rate changes.
Status makeResamplers(SoundLibrary& library, const SoundInfo& info, int width,
                      std::unique_ptr<Resampler> (&sides)[2]) {
  if (info.rate == kEditRate) return Status::ok();
  for (int i = 0; i < width; ++i) {
    auto made = library.newResampler(info.rate, kEditRate, 1);
    if (!made) return made.status();
    sides[i] = std::move(made.value());
  }
  return Status::ok();
}

Status convertSamples(SoundDecoder& decoder, SoundLibrary& library, WaveOutput& out,
                      Progress& progress, const ConvertOptions& options, float foldScale) {
  const SoundInfo& info = decoder.info();
  const int width = info.channels == 1 ? 1 : 2;  // channels after folding
  std::vector<ChannelGains> gains = stereoFold(info);
  if (info.channels > 2) {
    for (ChannelGains& g : gains) g = {g.left * foldScale, g.right * foldScale};
  }
  std::unique_ptr<Resampler> sides[2];
  if (Status st = makeResamplers(library, info, width, sides); !st) return st;
  // 8-bit samples that need no computing land on 16-bit steps: no dither.
  const bool onSteps = info.kind == SampleKind::kInt8 && !sides[0] && info.channels <= 2;
  Quantizer quantize(options.dither && !onSteps);
  const size_t block = convertReadFrames(info);
  std::vector<float> in(block * static_cast<size_t>(info.channels));
  std::vector<float> folded;
  SamplePipeline pipeline(width, std::move(sides[0]), std::move(sides[1]), quantize, out,
                          [&](size_t frames) { return progress.advance(frames); });
  for (;;) {
    auto got = decoder.readFloat(in.data(), block);
    if (!got) return sourceFault(got.status());
    const size_t n = got.value();
    if (n == 0) break;
    if (Status st = pipeline.push(fold(in.data(), n, gains, folded), n); !st) return st;
  }
  if (Status st = pipeline.finish(); !st) return st;
  if (options.clampedSamples) *options.clampedSamples = quantize.clamped();
  return Status::ok();
}

}  // namespace

std::vector<ChannelGains> stereoFold(const SoundInfo& info) {
  if (info.channels == 1) return {{1, 1}};
  if (info.channels == 2) return {{1, 0}, {0, 1}};
  std::vector<ChannelGains> gains;
  for (int c = 0; c < info.channels; ++c) {
    const size_t i = static_cast<size_t>(c);
    gains.push_back(gainsFor(i < info.speakers.size() ? info.speakers[i] : Speaker::kUnknown));
  }
  return gains;
}

float foldGain(float peak) {
  // A hair below 1 / peak: the folded samples, computed again with the
  // scaled shares, round a little differently.
  constexpr float kMargin = 1.0f - 1.0f / (1 << 20);
  return peak > kMargin ? kMargin / peak : 1.0f;
}

uint64_t convertedFrames(const SoundInfo& info) {
  if (info.rate <= 0) return 0;
  const uint64_t rate = static_cast<uint64_t>(info.rate);
  if (info.frames > UINT64_MAX / kEditRate) return UINT64_MAX;  // a header no sound fills
  return (info.frames * kEditRate + rate - 1) / rate;
}

Status checkConvertedLength(uint64_t frames) {
  if (frames > kMaxConvertedFrames) return Status::error(StatusCode::kLimit, kMsgConvertedTooLong);
  return Status::ok();
}

Status convertToWaveFile(FileSystem& fs, SoundLibrary& library, const std::string& source,
                         const std::string& target, BusyScope* busy, const ConvertOptions& options) {
  if (options.clampedSamples) *options.clampedSamples = 0;
  auto decoder = library.openDecoder(fs, source);
  if (!decoder) return sourceFault(decoder.status());
  const SoundInfo info = decoder.value()->info();
  if (Status st = checkConvertible(info); !st) return st;
  // A fold's peak is measured in a pass of its own, then the sound is read
  // again from its start.
  const bool folds = info.channels > 2;
  Progress progress(busy, folds ? 2 * info.frames : info.frames);
  float foldScale = 1;
  if (folds) {
    auto peak = foldedPeak(*decoder.value(), stereoFold(info), progress);
    if (!peak) return peak.status();
    foldScale = foldGain(peak.value());
    decoder = library.openDecoder(fs, source);
    if (!decoder) return sourceFault(decoder.status());
  }
  const bool exact = info.kind == SampleKind::kInt16 && info.rate == kEditRate && info.channels <= 2;
  return replaceFile(fs, target, [&](File& file) {
    WaveOutput output(file);
    Status st = output.begin();
    if (!st) return st;
    st = exact ? copyExactly(*decoder.value(), output, progress)
               : convertSamples(*decoder.value(), library, output, progress, options, foldScale);
    return st ? output.end() : st;
  });
}

}  // namespace pelisto
