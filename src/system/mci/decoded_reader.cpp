// The frames of a sound file of another type, through the sound library's
// decoder: read in order as it plays, the decoder moved only where a read
// does not follow the last one.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/sound_library.h"
#include "system/mci/wav_reader.h"

namespace pelisto {
namespace {

class DecodedReader final : public FrameReader {
 public:
  explicit DecodedReader(std::unique_ptr<SoundDecoder> decoder) : m_decoder(std::move(decoder)) {}

  int rate() const override { return m_decoder->info().rate; }
  uint64_t frames() const override { return m_decoder->info().frames; }

  // Some formats only estimate their length: frames the decoder no longer
  // gives before that length read as silence, so the sound plays to the
  // length it was opened with.
  Result<size_t> read(uint64_t first, int16_t* dst, size_t n) override {
    if (first >= frames()) return size_t(0);
    n = size_t(std::min<uint64_t>(n, frames() - first));
    size_t got = 0;
    if (first < m_silentFrom) {
      Result<size_t> decoded = decode(first, std::min<uint64_t>(n, m_silentFrom - first), dst);
      if (!decoded) return decoded.status();
      got = *decoded;
    }
    std::fill(dst + 2 * got, dst + 2 * n, int16_t(0));
    return n;
  }

 private:
  // Up to n frames from first, folded to stereo into dst: fewer where the
  // decoder's sound ends, which is then known.
  Result<size_t> decode(uint64_t first, size_t n, int16_t* dst) {
    if (first != m_next) {
      if (Status st = m_decoder->seek(first); !st) return st;
      m_next = first;
    }
    const size_t channels = size_t(m_decoder->info().channels);
    m_samples.resize(n * channels);
    Result<size_t> got = m_decoder->readShort(m_samples.data(), n);
    if (!got) return got.status();
    for (size_t i = 0; i < *got; ++i) {
      const int16_t* f = &m_samples[i * channels];
      dst[2 * i] = f[0];
      dst[2 * i + 1] = channels == 1 ? f[0] : f[1];
    }
    m_next = first + *got;
    if (*got < n) m_silentFrom = m_next;
    return *got;
  }

  std::unique_ptr<SoundDecoder> m_decoder;
  uint64_t m_next = 0;  // the frame the decoder reads next
  uint64_t m_silentFrom = UINT64_MAX;  // where the decoder's sound ended, once met
  std::vector<int16_t> m_samples;
};

}  // namespace

Result<std::unique_ptr<FrameReader>> openFrameReader(FileSystem& fs, const std::string& path) {
  Result<std::unique_ptr<WavReader>> wav = openWavReader(fs, path);
  if (wav) return std::unique_ptr<FrameReader>(std::move(wav.value()));
  const StatusCode code = wav.status().code();
  if (code != StatusCode::kInvalid && code != StatusCode::kUnsupported) return wav.status();
  Result<std::unique_ptr<SoundDecoder>> decoder = openSndfileDecoder(fs, path);
  if (!decoder || decoder.value()->info().frames == 0) return wav.status();
  return std::unique_ptr<FrameReader>(std::make_unique<DecodedReader>(std::move(decoder.value())));
}

}  // namespace pelisto
