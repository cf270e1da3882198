#include "wave/convert.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/coding.h"
#include "platform/replace_file.h"
#include "wave/convert_limits.h"
#include "wave/wav_bytes.h"

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

// Rounds samples of full scale ±1 to 16 bits, with TPDF dither from a fixed
// seed so that a conversion gives the same bytes every time.
class Quantizer {
 public:
  explicit Quantizer(bool dither) : m_dither(dither) {}

  int16_t operator()(float x) {
    float v = x * 32768.0f;
    // Past full scale: more than the rounding of the largest value.
    if (v > 32768.0f || v < -32768.0f) ++m_clamped;
    if (m_dither) {
      m_state ^= m_state >> 12;
      m_state ^= m_state << 25;
      m_state ^= m_state >> 27;
      const uint64_t r = m_state * 0x2545F4914F6CDD1Dull;
      constexpr float kUnit = 1.0f / 16777216.0f;
      v += static_cast<float>(r >> 40) * kUnit - static_cast<float>((r >> 16) & 0xFFFFFF) * kUnit;
    }
    v = std::clamp(v, -32768.0f, 32767.0f);
    return static_cast<int16_t>(std::lrintf(v));
  }
  uint64_t clamped() const { return m_clamped; }

 private:
  bool m_dither;
  uint64_t m_clamped = 0;
  uint64_t m_state = 0x9E3779B97F4A7C15ull;
};

// The output side: frames appended as bytes, written a block at a time
// after the header, counted against the header's limit.
class WaveOutput {
 public:
  explicit WaveOutput(File& file) : m_file(file) {}

  Status begin() { return writeHeader(); }

  // Appends frames of `channels` (1 or 2) channels: mono goes to both sides.
  Status appendFloat(const float* src, size_t frames, int channels, Quantizer& q) {
    if (Status st = reserve(frames); !st) return st;
    uint8_t* p = m_bytes.data();
    for (size_t i = 0; i < frames; ++i, p += 4) {
      const int16_t l = q(src[i * channels]);
      const int16_t r = channels == 1 ? l : q(src[i * channels + 1]);
      putLe16(p, static_cast<uint16_t>(l));
      putLe16(p + 2, static_cast<uint16_t>(r));
    }
    return flush(frames);
  }
  Status appendShort(const int16_t* src, size_t frames, int channels) {
    if (Status st = reserve(frames); !st) return st;
    uint8_t* p = m_bytes.data();
    for (size_t i = 0; i < frames; ++i, p += 4) {
      putLe16(p, static_cast<uint16_t>(src[i * channels]));
      putLe16(p + 2, static_cast<uint16_t>(src[i * channels + channels - 1]));
    }
    return flush(frames);
  }

  Status end() { return writeHeader(); }

 private:
  Status reserve(size_t frames) {
    if (m_frames + frames > kMaxConvertedFrames) {
      return Status::error(StatusCode::kLimit, kMsgConvertedTooLong);
    }
    m_bytes.resize(std::max(m_bytes.size(), frames * 4));
    return Status::ok();
  }
  Status flush(size_t frames) {
    Status st = m_file.write(44 + m_frames * 4, m_bytes.data(), frames * 4);
    if (st) m_frames += frames;
    return st;
  }
  Status writeHeader() {
    const std::vector<uint8_t> h = canonicalWavHeader(static_cast<uint32_t>(m_frames * 4));
    return m_file.write(0, h.data(), h.size());
  }

  File& m_file;
  uint64_t m_frames = 0;
  std::vector<uint8_t> m_bytes;
};

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

// Folds a block of `channels` channels into two (or keeps one).
void fold(const float* in, size_t frames, const std::vector<ChannelGains>& gains, float* out) {
  const size_t n = gains.size();
  if (n <= 2) {
    std::copy(in, in + frames * n, out);
    return;
  }
  for (size_t i = 0; i < frames; ++i, in += n, out += 2) {
    float l = 0, r = 0;
    for (size_t c = 0; c < n; ++c) {
      l += in[c] * gains[c].left;
      r += in[c] * gains[c].right;
    }
    out[0] = l;
    out[1] = r;
  }
}

Status convertSamples(SoundDecoder& decoder, SoundLibrary& library, WaveOutput& out,
                      Progress& progress, const ConvertOptions& options) {
  const SoundInfo& info = decoder.info();
  const int width = info.channels == 1 ? 1 : 2;  // channels after folding
  const std::vector<ChannelGains> gains = stereoFold(info);
  std::unique_ptr<Resampler> resampler;
  if (info.rate != kEditRate) {
    auto made = library.newResampler(info.rate, kEditRate, width);
    if (!made) return made.status();
    resampler = std::move(made.value());
  }
  // 8-bit samples that need no computing land on 16-bit steps: no dither.
  const bool onSteps = info.kind == SampleKind::kInt8 && !resampler && info.channels <= 2;
  Quantizer quantize(options.dither && !onSteps);
  const size_t block = convertReadFrames(info);
  std::vector<float> in(block * static_cast<size_t>(info.channels));
  std::vector<float> folded(block * static_cast<size_t>(width));
  std::vector<float> resampled;
  auto emit = [&](const std::vector<float>& frames, size_t count) {
    return out.appendFloat(frames.data(), count, width, quantize);
  };
  for (;;) {
    auto got = decoder.readFloat(in.data(), block);
    if (!got) return sourceFault(got.status());
    const size_t n = got.value();
    if (n == 0) break;
    fold(in.data(), n, gains, folded.data());
    Status st;
    if (resampler) {
      resampled.clear();
      st = resampler->process(folded.data(), n, resampled);
      if (st) st = emit(resampled, resampled.size() / width);
    } else {
      st = emit(folded, n);
    }
    if (st) st = progress.advance(n);
    if (!st) return st;
  }
  if (resampler) {
    resampled.clear();
    Status st = resampler->finish(resampled);
    if (st) st = emit(resampled, resampled.size() / width);
    if (!st) return st;
  }
  if (options.clampedSamples) *options.clampedSamples = quantize.clamped();
  return Status::ok();
}

}  // namespace

std::vector<ChannelGains> stereoFold(const SoundInfo& info) {
  if (info.channels == 1) return {{1, 1}};
  if (info.channels == 2) return {{1, 0}, {0, 1}};
  std::vector<ChannelGains> gains;
  float left = 0, right = 0;
  for (int c = 0; c < info.channels; ++c) {
    const size_t i = static_cast<size_t>(c);
    gains.push_back(gainsFor(i < info.speakers.size() ? info.speakers[i] : Speaker::kUnknown));
    left += gains.back().left;
    right += gains.back().right;
  }
  // Headroom for every channel at full scale at once.
  const float sum = std::max(left, right);
  if (sum > 1) {
    for (ChannelGains& g : gains) g = {g.left / sum, g.right / sum};
  }
  return gains;
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

Status convertSound(SoundDecoder& decoder, SoundLibrary& library, File& out, BusyScope* busy,
                    const ConvertOptions& options) {
  const SoundInfo& info = decoder.info();
  if (Status st = checkConvertible(info); !st) return st;
  if (options.clampedSamples) *options.clampedSamples = 0;
  WaveOutput output(out);
  Progress progress(busy, info.frames);
  Status st = output.begin();
  if (!st) return st;
  const bool exact = info.kind == SampleKind::kInt16 && info.rate == kEditRate && info.channels <= 2;
  st = exact ? copyExactly(decoder, output, progress)
             : convertSamples(decoder, library, output, progress, options);
  return st ? output.end() : st;
}

Status convertToWaveFile(FileSystem& fs, SoundLibrary& library, const std::string& source,
                         const std::string& target, BusyScope* busy, const ConvertOptions& options) {
  auto decoder = library.openDecoder(fs, source);
  if (!decoder) return sourceFault(decoder.status());
  if (Status st = checkConvertible(decoder.value()->info()); !st) return st;
  return replaceFile(fs, target, [&](File& file) {
    return convertSound(*decoder.value(), library, file, busy, options);
  });
}

}  // namespace pelisto
