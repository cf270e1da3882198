// Reading PCM WAV files for playback: the chunk search of the header and
// streamed reads of sample frames, decoded to 16-bit stereo.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/status.h"

namespace pelisto {

struct WavInfo {
  int channels = 0;
  int rate = 0;           // frames per second
  int bits = 0;           // 8, 16, 24 or 32 per sample
  int frameBytes = 0;     // bytes of one frame (all channels)
  uint64_t dataOffset = 0;
  uint64_t frames = 0;    // whole frames in the data chunk (as far as the file holds them)
  // Length in milliseconds, rounded down.
  int64_t lengthMs() const { return rate > 0 ? int64_t(frames * 1000 / uint64_t(rate)) : 0; }
};

// Finds "fmt " and "data" among the chunks of a RIFF WAVE file. Accepts
// integer PCM (also in the extensible layout) with 1 to 8 channels and
// 8, 16, 24 or 32 bits. kInvalid (not a WAV) or kUnsupported (another
// coding) with a readable reason; kIoError when reading fails.
Result<WavInfo> readWavInfo(File& file);

// Streams frames of an open WAV file, decoded to interleaved 16-bit
// stereo: 8-bit samples centred and widened, mono doubled, channels past
// the second dropped, wider samples cut to their upper 16 bits.
class WavReader {
 public:
  WavReader(std::unique_ptr<File> file, WavInfo info)
      : m_file(std::move(file)), m_info(info) {}
  const WavInfo& info() const { return m_info; }
  // Decodes up to n frames from frame index first into dst (2 values per
  // frame). Returns the frames decoded: fewer only at the end of the data;
  // kIoError when the file cannot be read.
  Result<size_t> read(uint64_t first, int16_t* dst, size_t n);

 private:
  std::unique_ptr<File> m_file;
  WavInfo m_info;
  std::unique_ptr<uint8_t[]> m_raw;
  size_t m_rawSize = 0;
};

// Opens path through fs and reads its header: kNotFound when it does not
// exist, otherwise the errors of readWavInfo.
Result<std::unique_ptr<WavReader>> openWavReader(FileSystem& fs, const std::string& path);

}  // namespace pelisto
