// A coded output: the frames handed to an encoder of the sound library,
// through a resampler first when the type is written at another rate.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/block_pipe.h"
#include "platform/sound_library.h"
#include "wave/output_sink.h"

namespace pelisto {

class EncodedSink final : public OutputSink {
 public:
  // resampler (may be null: the rate stays) takes the frames from 44100 to
  // the encoder's rate. A lossless encoder gets the 16-bit samples as they
  // are; a lossy one (lossless false) gets them as floats, which is what
  // it codes (and libsndfile 1.2.0 garbles MP3 written from 16-bit
  // integers: half of each block it hands the encoder is stale). With a
  // resampler, the frames are resampled where write() is called and coded
  // on a helper of its own.
  EncodedSink(std::unique_ptr<SoundEncoder> encoder, std::unique_ptr<Resampler> resampler, bool lossless);

  Status begin(uint64_t) override { return Status::ok(); }
  Status write(const uint8_t* frames, size_t n) override;
  // Hands on what the resampler holds back and completes the file.
  Status finish() override;

 private:
  Status resample(const float* frames, size_t n);

  std::unique_ptr<SoundEncoder> m_encoder;
  std::unique_ptr<Resampler> m_resampler;
  bool m_lossless;
  std::vector<int16_t> m_samples;
  std::vector<float> m_floats;
  // The last member: its helper uses the encoder.
  std::optional<BlockPipe<std::vector<float>>> m_resampled;
};

}  // namespace pelisto
