// The real sound library: libsndfile reads and writes the files, libsoxr
// resamples, libebur128 measures loudness.
#include "platform/sound_library.h"

namespace pelisto {
namespace {

class RealSoundLibrary final : public SoundLibrary {
 public:
  Result<std::unique_ptr<SoundDecoder>> openDecoder(FileSystem& fs, const std::string& path) override {
    return openSndfileDecoder(fs, path);
  }
  Result<std::unique_ptr<Resampler>> newResampler(int inRate, int outRate, int channels) override {
    return newSoxrResampler(inRate, outRate, channels);
  }
  bool canEncode(EncodedType type) override { return sndfileCanEncode(type); }
  Result<std::unique_ptr<SoundEncoder>> newEncoder(File& file, const EncoderSpec& spec) override {
    return newSndfileEncoder(file, spec);
  }
  Result<std::unique_ptr<LoudnessMeter>> newLoudnessMeter(int channels, int rate,
                                                          LoudnessMeasure measure) override {
    return newEbur128Meter(channels, rate, measure);
  }
};

}  // namespace

std::unique_ptr<SoundLibrary> newSoundLibrary() { return std::make_unique<RealSoundLibrary>(); }

}  // namespace pelisto
