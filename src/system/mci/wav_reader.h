// Reading sound files for playback: PCM WAV files through the chunk search
// of their header, every other type the sound library decodes; streamed
// reads of sample frames, decoded to 16-bit stereo.
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

// The frames of a sound, read at any place, decoded to interleaved 16-bit
// stereo: mono doubled, channels past the second dropped. Read from one
// thread at a time.
class FrameReader {
 public:
  FrameReader() = default;
  FrameReader(const FrameReader&) = delete;
  FrameReader& operator=(const FrameReader&) = delete;
  virtual ~FrameReader() = default;

  virtual int rate() const = 0;          // frames per second
  virtual uint64_t frames() const = 0;   // frames of the sound
  // Length in milliseconds, rounded down.
  int64_t lengthMs() const { return rate() > 0 ? int64_t(frames() * 1000 / uint64_t(rate())) : 0; }
  // Decodes up to n frames from frame index first into dst (2 values per
  // frame). Returns the frames decoded: fewer only at the end of the
  // sound; kIoError when the file cannot be read.
  virtual Result<size_t> read(uint64_t first, int16_t* dst, size_t n) = 0;
};

// Streams frames of an open WAV file: 8-bit samples centred and widened,
// wider samples cut to their upper 16 bits.
class WavReader final : public FrameReader {
 public:
  WavReader(std::unique_ptr<File> file, WavInfo info)
      : m_file(std::move(file)), m_info(info) {}
  const WavInfo& info() const { return m_info; }
  int rate() const override { return m_info.rate; }
  uint64_t frames() const override { return m_info.frames; }
  Result<size_t> read(uint64_t first, int16_t* dst, size_t n) override;

 private:
  std::unique_ptr<File> m_file;
  WavInfo m_info;
  std::unique_ptr<uint8_t[]> m_raw;
  size_t m_rawSize = 0;
};

// Opens path through fs and reads its header: kNotFound when it does not
// exist, otherwise the errors of readWavInfo.
Result<std::unique_ptr<WavReader>> openWavReader(FileSystem& fs, const std::string& path);

// The sound at path: a PCM WAV file through openWavReader, as always; any
// other file the sound library decodes (FLAC, Ogg, Opus, MP3, a WAV of
// floats, …) through it. When neither reads it, the WAV reader's error.
Result<std::unique_ptr<FrameReader>> openFrameReader(FileSystem& fs, const std::string& path);

}  // namespace pelisto
