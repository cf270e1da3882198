#include "wave/encoded_sink.h"

#include "platform/coding.h"

namespace pelisto {

Status EncodedSink::write(const uint8_t* frames, size_t n) {
  const size_t samples = 2 * n;
  if (m_lossless) {
    m_samples.resize(samples);
    for (size_t i = 0; i < samples; ++i) m_samples[i] = static_cast<int16_t>(getLe16(frames + 2 * i));
    return m_encoder->writeShort(m_samples.data(), n);
  }
  m_floats.resize(samples);
  for (size_t i = 0; i < samples; ++i) {
    m_floats[i] = static_cast<float>(static_cast<int16_t>(getLe16(frames + 2 * i))) * (1.0f / 32768.0f);
  }
  if (!m_resampler) return m_encoder->writeFloat(m_floats.data(), n);
  m_resampled.clear();
  if (Status st = m_resampler->process(m_floats.data(), n, m_resampled); !st) return st;
  return m_encoder->writeFloat(m_resampled.data(), m_resampled.size() / 2);
}

Status EncodedSink::finish() {
  if (m_resampler) {
    m_resampled.clear();
    if (Status st = m_resampler->finish(m_resampled); !st) return st;
    if (Status st = m_encoder->writeFloat(m_resampled.data(), m_resampled.size() / 2); !st) return st;
  }
  return m_encoder->finish();
}

}  // namespace pelisto
