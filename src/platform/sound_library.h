// Reading sound files of other formats and changing their sample rate, for
// the conversion to the editing format. Two narrow services: a decoder that
// streams a file's frames in blocks, and a resampler that streams blocks of
// frames from one rate to another. The real ones are libsndfile and libsoxr
// (sndfile_decoder.cpp, soxr_resampler.cpp); the core sees only this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace pelisto {

// How the file stores its samples.
enum class SampleKind {
  kInt8,     // 8-bit integers, signed or unsigned
  kInt16,    // 16-bit integers: readShort() gives them exactly
  kInt24,
  kInt32,
  kFloat,    // 32-bit floating point
  kDouble,   // 64-bit floating point
  kOther,    // compressed or otherwise coded (FLAC of other widths, Vorbis, MP3, …)
};

// Where a channel is meant to be heard.
enum class Speaker {
  kUnknown, kMono,
  kFrontLeft, kFrontRight, kFrontCentre, kLfe,
  kBackLeft, kBackRight, kBackCentre,
  kFrontLeftOfCentre, kFrontRightOfCentre, kSideLeft, kSideRight,
  kTopCentre, kTopFrontLeft, kTopFrontCentre, kTopFrontRight,
  kTopBackLeft, kTopBackCentre, kTopBackRight,
};

struct SoundInfo {
  uint64_t frames = 0;   // frames in the file; an estimate for some coded formats
  int channels = 0;      // at least 1
  int rate = 0;          // frames per second, at least 1 (as the file says)
  SampleKind kind = SampleKind::kOther;
  std::vector<Speaker> speakers;  // one per channel: from the file, or the
                                  // usual order of its format
};

class SoundDecoder {
 public:
  SoundDecoder() = default;
  SoundDecoder(const SoundDecoder&) = delete;
  SoundDecoder& operator=(const SoundDecoder&) = delete;
  virtual ~SoundDecoder() = default;

  virtual const SoundInfo& info() const = 0;
  // Reads the next (up to) `frames` frames into dst, interleaved, samples
  // scaled so that full scale is ±1 (an integer n of b bits reads as
  // n / 2^(b-1)). Returns the frames read: fewer only at the end of the
  // sound (0 there). kIoError when the file cannot be read or decoded.
  virtual Result<size_t> readFloat(float* dst, size_t frames) = 0;
  // The same as 16-bit integers; exact when info().kind is kInt16.
  virtual Result<size_t> readShort(int16_t* dst, size_t frames) = 0;
};

class Resampler {
 public:
  Resampler() = default;
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;
  virtual ~Resampler() = default;

  // Takes `frames` interleaved frames and appends to out every frame that
  // can be produced so far: about frames × outRate / inRate, give or take
  // what the filter holds back. kIoError when the resampler fails.
  virtual Status process(const float* in, size_t frames, std::vector<float>& out) = 0;
  // After the last input: appends the frames still held back.
  virtual Status finish(std::vector<float>& out) = 0;
};

class SoundLibrary {
 public:
  SoundLibrary() = default;
  SoundLibrary(const SoundLibrary&) = delete;
  SoundLibrary& operator=(const SoundLibrary&) = delete;
  virtual ~SoundLibrary() = default;

  // Opens the sound file at path through fs (so only regular files are
  // opened, never waited on). The file system's status when it cannot be
  // opened; kUnsupported when its contents are no sound the library reads.
  virtual Result<std::unique_ptr<SoundDecoder>> openDecoder(FileSystem& fs,
                                                           const std::string& path) = 0;
  // The name extensions of the files it reads (lower case, no dot, each
  // once), those its formats are usually saved under among them.
  virtual std::vector<std::string> readableExtensions() const = 0;
  // A resampler from inRate to outRate (frames per second) for interleaved
  // frames of `channels` channels, at high quality.
  virtual Result<std::unique_ptr<Resampler>> newResampler(int inRate, int outRate, int channels) = 0;
};

// The real library: libsndfile for every format it reads, libsoxr.
std::unique_ptr<SoundLibrary> newSoundLibrary();

// Its two halves, for tests and benchmarks.
Result<std::unique_ptr<SoundDecoder>> openSndfileDecoder(FileSystem& fs, const std::string& path);
Result<std::unique_ptr<Resampler>> newSoxrResampler(int inRate, int outRate, int channels);

}  // namespace pelisto
