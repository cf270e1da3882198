#include "wave/encoded_sink.h"

#include "platform/coding.h"

namespace pelisto {

// Resampled blocks queued for the encoder.
constexpr size_t kResampledBlocks = 4;

EncodedSink::EncodedSink(std::unique_ptr<SoundEncoder> encoder, std::unique_ptr<Resampler> resampler, bool lossless)
    : m_encoder(std::move(encoder)), m_resampler(std::move(resampler)), m_lossless(lossless) {
  if (m_resampler) {
    m_resampled.emplace(kResampledBlocks,
                        [this](std::vector<float>& frames) { return m_encoder->writeFloat(frames.data(), frames.size() / 2); });
  }
}

// The resampler's output for the next frames (none: what it holds back)
// goes to the encoder's helper.
Status EncodedSink::resample(const float* frames, size_t n) {
  Result<std::vector<float>*> block = m_resampled->next();
  if (!block) return block.status();
  block.value()->clear();
  Status st = frames ? m_resampler->process(frames, n, *block.value()) : m_resampler->finish(*block.value());
  if (st) m_resampled->hand();
  return st;
}

Status EncodedSink::write(const uint8_t* frames, size_t n) {
  const size_t samples = 2 * n;
  if (m_lossless) {
    m_samples.resize(samples);
    getLe16Samples(frames, samples, m_samples.data());
    return m_encoder->writeShort(m_samples.data(), n);
  }
  m_floats.resize(samples);
  for (size_t i = 0; i < samples; ++i) {
    m_floats[i] = static_cast<float>(static_cast<int16_t>(getLe16(frames + 2 * i))) * (1.0f / 32768.0f);
  }
  if (!m_resampler) return m_encoder->writeFloat(m_floats.data(), n);
  return resample(m_floats.data(), n);
}

Status EncodedSink::finish() {
  if (m_resampler) {
    if (Status st = resample(nullptr, 0); !st) return st;
    if (Status st = m_resampled->finish(); !st) return st;
  }
  return m_encoder->finish();
}

}  // namespace pelisto
