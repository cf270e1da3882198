// Fuzzes the conversion of sound files of other formats: the input is a
// file in any format the sound library reads, converted with the real
// libraries (libsndfile, libsoxr) over the in-memory file system, whose
// room is limited so that a file that decodes to a great length ends in a
// full disk instead of a full memory. The seeds are small files of each
// format the library reads, written by the library itself, and one of each
// hostile shape: rate, channel and size fields at their limits, an RF64
// file whose ds64 chunk states 2^63 - 1 bytes of data.
//
// Each input's sound is cut (as if the file ended there) to what makes at
// most kMaxFrames frames at the editing rate, and no more than kMaxFrames
// frames of its own; the libraries are set up once for the whole run: what
// a header says still drives every check and every allocation of the
// conversion, while a run tries hundreds of inputs a second instead of a
// handful.
//
// Beyond the sanitizers it asserts what callers rely on: a converted file
// is the canonical header of its length and whole frames; the same source
// converts to the same bytes again; a refused or failed conversion leaves
// no file; no temporary file is ever left behind.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "headless/mem_file_system.h"
#include "wave/convert.h"
#include "platform/riff.h"

namespace {

using namespace pelisto;

constexpr size_t kMaxFrames = 3 * kConvertBlockFrames;

// The library's decoder, ending after the frames that make kMaxFrames.
class BoundedDecoder final : public SoundDecoder {
 public:
  explicit BoundedDecoder(std::unique_ptr<SoundDecoder> decoder)
      : m_decoder(std::move(decoder)),
        m_limit(std::clamp<uint64_t>(uint64_t{kMaxFrames} * static_cast<uint64_t>(std::max(info().rate, 1)) / kEditRate,
                                     1, kMaxFrames)) {}
  const SoundInfo& info() const override { return m_decoder->info(); }
  Result<size_t> readFloat(float* dst, size_t frames) override {
    return counted(m_decoder->readFloat(dst, std::min(frames, m_limit - m_read)));
  }
  Result<size_t> readShort(int16_t* dst, size_t frames) override {
    return counted(m_decoder->readShort(dst, std::min(frames, m_limit - m_read)));
  }
  Status seek(uint64_t frame) override { return m_decoder->seek(frame); }

 private:
  Result<size_t> counted(Result<size_t> got) {
    if (got) m_read += got.value();
    return got;
  }
  std::unique_ptr<SoundDecoder> m_decoder;
  size_t m_limit;
  size_t m_read = 0;
};

class BoundedLibrary final : public SoundLibrary {
 public:
  Result<std::unique_ptr<SoundDecoder>> openDecoder(FileSystem& fs, const std::string& path) override {
    auto decoder = m_library->openDecoder(fs, path);
    if (!decoder) return decoder.status();
    return std::unique_ptr<SoundDecoder>(std::make_unique<BoundedDecoder>(std::move(decoder.value())));
  }
  Result<std::unique_ptr<Resampler>> newResampler(int inRate, int outRate, int channels) override {
    return m_library->newResampler(inRate, outRate, channels);
  }
  std::vector<std::string> readableExtensions() const override { return m_library->readableExtensions(); }
  bool canEncode(EncodedType type) override { return m_library->canEncode(type); }
  Result<std::unique_ptr<SoundEncoder>> newEncoder(File& file, const EncoderSpec& spec) override {
    return m_library->newEncoder(file, spec);
  }
  Result<std::unique_ptr<LoudnessMeter>> newLoudnessMeter(int channels, int rate, LoudnessMeasure measure) override {
    return m_library->newLoudnessMeter(channels, rate, measure);
  }

 private:
  std::unique_ptr<SoundLibrary> m_library = newSoundLibrary();
};

void check(bool ok) {
  if (!ok) std::abort();
}

// Converts /w/s into target; true when it succeeded. Any new file but a
// converted target is a fault.
bool convertInto(MemFileSystem& fs, SoundLibrary& library, const std::string& target) {
  std::vector<std::string> expected = fs.files();
  const bool done = convertToWaveFile(fs, library, "/w/s", target, nullptr).isOk();
  if (done) expected.push_back(target);
  std::sort(expected.begin(), expected.end());
  check(fs.files() == expected);
  return done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static BoundedLibrary library;
  MemFileSystem fs;
  fs.addDirectory("/w");
  fs.setContents("/w/s", std::vector<uint8_t>(data, data + size));
  fs.setCapacity(size + (uint64_t{8} << 20));
  if (!convertInto(fs, library, "/w/o.wav")) return 0;
  const std::vector<uint8_t> out = fs.contents("/w/o.wav");
  check(out.size() >= 44 && (out.size() - 44) % 4 == 0);
  const std::vector<uint8_t> header = riff::canonicalHeader(static_cast<uint32_t>(out.size() - 44));
  check(std::equal(header.begin(), header.end(), out.begin()));
  fs.setCapacity(UINT64_MAX);
  check(convertInto(fs, library, "/w/again.wav") && fs.contents("/w/again.wav") == out);
  return 0;
}
