// The real sound library: libsndfile reads and writes the files, libsoxr
// resamples, libebur128 measures loudness.
#include "platform/sound_library.h"

#include <set>
#include <string>
#include <vector>

#include "system/sound_libraries.h"

namespace pelisto {
namespace {

class RealSoundLibrary final : public SoundLibrary {
 public:
  Result<std::unique_ptr<SoundDecoder>> openDecoder(FileSystem& fs, const std::string& path) override {
    return openSndfileDecoder(fs, path);
  }
  std::vector<std::string> readableExtensions() const override {
    // The library names one extension a format; files of some carry
    // others. Sound without a header (raw) is never recognised by itself.
    std::set<std::string> names;
    std::string why;
    const SndfileFunctions* lib = sndfileFunctions(why);
    int count = 0;
    if (lib) lib->command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
      SF_FORMAT_INFO format{};
      format.format = i;
      if (lib->command(nullptr, SFC_GET_FORMAT_MAJOR, &format, sizeof format) != 0 || !format.extension) continue;
      switch (format.format & SF_FORMAT_TYPEMASK) {
        case SF_FORMAT_RAW: continue;
        case SF_FORMAT_AIFF: names.insert({"aif", "aifc"}); break;
        case SF_FORMAT_AU: names.insert("snd"); break;
        case SF_FORMAT_OGG: names.insert({"ogg", "opus"}); break;
        case SF_FORMAT_MPEG: names.insert({"mp3", "mp2"}); break;
        default: break;
      }
      names.insert(format.extension);
    }
    return {names.begin(), names.end()};
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
