#include "wave/convert_output.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/coding.h"
#include "wave/convert.h"
#include "platform/riff.h"

namespace pelisto {
namespace {

// A bijective hash of 32 bits with good mixing: neighbouring sample
// numbers get unrelated noise.
inline uint32_t noiseOf(uint32_t n) {
  n ^= n >> 16;
  n *= 0x7FEB352Du;
  n ^= n >> 15;
  n *= 0x846CA68Bu;
  n ^= n >> 16;
  return n;
}

constexpr uint32_t kNoiseSeed = 0x9E3779B9u;

// A 16-bit little-endian sample in and out: on a little-endian processor
// a plain copy, which the compiler keeps in whole vectors (byte by byte
// it shuffles every lane).
inline int16_t loadSample(const uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  return static_cast<int16_t>(getLe16(p));
}
inline void storeSample(uint8_t* p, int16_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, 2);
    return;
  }
  putLe16(p, static_cast<uint16_t>(v));
}

// The triangular noise of sample number n (two uniform values of 16 bits
// from one hash, one taken from the other), scaled by noiseScale.
inline float ditherOf(uint32_t n, float noiseScale) {
  const uint32_t h = noiseOf(n);
  return noiseScale *
         (static_cast<float>(static_cast<int32_t>(h & 0xFFFF)) - static_cast<float>(static_cast<int32_t>(h >> 16)));
}

// A sample of full scale ±32768 with its dither added, clamped to 16 bits
// and rounded. Adding 1.5 × 2^23 and taking it away again rounds a float of
// less than 2^22 to an integer, ties to even, as lrintf does; in a form the
// compiler turns into vector instructions (the comparisons as min and max).
inline int16_t toSample(float v) {
  constexpr float kRound = 12582912.0f;
  v = v > -32768.0f ? v : -32768.0f;
  v = v < 32767.0f ? v : 32767.0f;
  return static_cast<int16_t>(static_cast<int32_t>((v + kRound) - kRound));
}

// Rounds n samples (the first numbered `first`, noise scaled by
// noiseScale) into dst; returns how many were clamped.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline uint32_t roundSamples(const float* src, size_t n, uint8_t* dst, uint32_t first, float noiseScale) {
  uint32_t clamped = 0;
  for (size_t i = 0; i < n; ++i) {
    float v = src[i] * 32768.0f;
    // Past full scale: more than the rounding of the largest value.
    clamped += std::fabs(v) > 32768.0f;
    v += ditherOf(first + static_cast<uint32_t>(i), noiseScale);
    storeSample(dst + 2 * i, toSample(v == v ? v : 0.0f));
  }
  return clamped;
}

// Scales n 16-bit little-endian samples from src into dst (which may be
// src) by scale (the factor over full scale) and rounds them back as
// roundSamples does with the same floats; a finite scale of a 16-bit
// sample is never not a number.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline uint32_t scaleSamples(const uint8_t* src, uint8_t* dst, size_t n, float scale, uint32_t first,
                             float noiseScale) {
  uint32_t clamped = 0;
  for (size_t i = 0; i < n; ++i) {
    float v = (static_cast<float>(loadSample(src + 2 * i)) * scale) * 32768.0f;
    clamped += std::fabs(v) > 32768.0f;
    storeSample(dst + 2 * i, toSample(v + ditherOf(first + static_cast<uint32_t>(i), noiseScale)));
  }
  return clamped;
}

using RoundFunction = uint32_t(const float*, size_t, uint8_t*, uint32_t, float);
using ScaleFunction = uint32_t(const uint8_t*, uint8_t*, size_t, float, uint32_t, float);

struct Rounding {
  RoundFunction* round;
  ScaleFunction* scale;
};

uint32_t roundPlain(const float* src, size_t n, uint8_t* dst, uint32_t first, float noiseScale) {
  return roundSamples(src, n, dst, first, noiseScale);
}
uint32_t scalePlain(const uint8_t* src, uint8_t* dst, size_t n, float scale, uint32_t first, float noiseScale) {
  return scaleSamples(src, dst, n, scale, first, noiseScale);
}

// On x86-64 the rounding is built twice more, for processors with AVX2
// (twice the width, and the multiplications of the hash in one
// instruction) and with AVX-512 (twice that again, and comparisons into
// masks: several times as fast again where it is there), the widest the
// processor has chosen once.
#if defined(__x86_64__) && defined(__GNUC__)
#define PELISTO_AVX512 "avx512f,avx512bw,avx512vl,avx512dq"
[[gnu::target("avx2")]] uint32_t roundAvx2(const float* src, size_t n, uint8_t* dst, uint32_t first,
                                           float noiseScale) {
  return roundSamples(src, n, dst, first, noiseScale);
}
[[gnu::target("avx2")]] uint32_t scaleAvx2(const uint8_t* src, uint8_t* dst, size_t n, float scale, uint32_t first,
                                           float noiseScale) {
  return scaleSamples(src, dst, n, scale, first, noiseScale);
}
[[gnu::target(PELISTO_AVX512)]] uint32_t roundAvx512(const float* src, size_t n, uint8_t* dst, uint32_t first,
                                                     float noiseScale) {
  return roundSamples(src, n, dst, first, noiseScale);
}
[[gnu::target(PELISTO_AVX512)]] uint32_t scaleAvx512(const uint8_t* src, uint8_t* dst, size_t n, float scale,
                                                     uint32_t first, float noiseScale) {
  return scaleSamples(src, dst, n, scale, first, noiseScale);
}

Rounding rounding() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq")) {
    return {roundAvx512, scaleAvx512};
  }
  if (__builtin_cpu_supports("avx2")) return {roundAvx2, scaleAvx2};
  return {roundPlain, scalePlain};
}
#else
Rounding rounding() { return {roundPlain, scalePlain}; }
#endif

const Rounding& chosenRounding() {
  static const Rounding chosen = rounding();
  return chosen;
}

}  // namespace

void Quantizer::run(const float* src, size_t n, uint8_t* dst) {
  m_clamped += chosenRounding().round(src, n, dst, m_next + kNoiseSeed, m_noiseScale);
  m_next += static_cast<uint32_t>(n);
}

uint32_t DitheredGain::apply(const uint8_t* src, uint8_t* dst, size_t n, uint64_t first) const {
  return chosenRounding().scale(src, dst, n, m_scale, static_cast<uint32_t>(first) + kNoiseSeed, kDitherScale);
}

void Quantizer::toStereo(const float* src, size_t frames, int channels, std::vector<uint8_t>& bytes) {
  bytes.resize(frames * 4);
  if (channels == 2) {
    run(src, frames * 2, bytes.data());
    return;
  }
  m_mono.resize(frames * 2);
  run(src, frames, m_mono.data());
  for (size_t i = 0; i < frames; ++i) {
    std::copy_n(&m_mono[2 * i], 2, &bytes[4 * i]);
    std::copy_n(&m_mono[2 * i], 2, &bytes[4 * i + 2]);
  }
}

Status WaveOutput::append(const uint8_t* bytes, size_t frames) {
  if (m_frames + frames > kMaxConvertedFrames) {
    return Status::error(StatusCode::kLimit, kMsgConvertedTooLong);
  }
  if (Status st = m_file.write(riff::kCanonicalHeaderBytes + m_frames * 4, bytes, frames * 4); !st) return st;
  m_frames += frames;
  m_writeback.wrote(m_file, riff::kCanonicalHeaderBytes + m_frames * 4);
  return Status::ok();
}

Status WaveOutput::appendShort(const int16_t* src, size_t frames, int channels) {
  m_bytes.resize(frames * 4);
  uint8_t* p = m_bytes.data();
  for (size_t i = 0; i < frames; ++i, p += 4) {
    putLe16(p, static_cast<uint16_t>(src[i * channels]));
    putLe16(p + 2, static_cast<uint16_t>(src[i * channels + channels - 1]));
  }
  return append(m_bytes.data(), frames);
}

Status WaveOutput::writeHeader() {
  const std::vector<uint8_t> h = riff::canonicalHeader(static_cast<uint32_t>(m_frames * 4));
  return m_file.write(0, h.data(), h.size());
}

}  // namespace pelisto
