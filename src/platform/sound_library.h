// Sound files of other formats and the work on their samples: a decoder
// that streams a file's frames in blocks (the conversion to the editing
// format, the media device), an encoder that writes frames as a coded file
// (the written list in other types), a resampler that streams blocks of
// frames from one rate to another, and a loudness meter. The real ones are
// libsndfile, libsoxr and libebur128 (sndfile_decoder.cpp,
// sndfile_encoder.cpp, soxr_resampler.cpp, ebur128_meter.cpp); the core
// sees only this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
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
  // Moves to frame (from 0) of the sound: the next read starts there.
  // kIoError when the file cannot be read there or the format cannot seek.
  virtual Status seek(uint64_t frame) = 0;
};

// The coded types frames can be written in.
enum class EncodedType { kFlac, kVorbis, kOpus, kMp3 };

// What an encoder writes: its type, the frames it takes and the file's
// tags (an empty text is left out).
struct EncoderSpec {
  EncodedType type = EncodedType::kFlac;
  int rate = 44100;   // frames per second
  int channels = 2;
  std::string title;
  std::string software;
};

// Writes frames into a file as one coded sound. The settings are those a
// user expects of the type: FLAC at its default compression level (16-bit
// samples, exactly as given), Vorbis at about 192 kbit/s, Opus at about
// 128 kbit/s, MP3 at a constant 192 kbit/s.
class SoundEncoder {
 public:
  SoundEncoder() = default;
  SoundEncoder(const SoundEncoder&) = delete;
  SoundEncoder& operator=(const SoundEncoder&) = delete;
  virtual ~SoundEncoder() = default;

  // Encodes the next n interleaved frames: 16-bit integers, or floats of
  // full scale ±1. The file's status when it cannot be written (kNoSpace
  // on a full device), kIoError when the encoder fails.
  virtual Status writeShort(const int16_t* frames, size_t n) = 0;
  virtual Status writeFloat(const float* frames, size_t n) = 0;
  // Writes what the encoder holds back and completes the file; nothing is
  // written after. The same errors.
  virtual Status finish() = 0;
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

// What a loudness meter measures.
enum class LoudnessMeasure {
  kIntegrated,  // the integrated loudness of every frame added
  kTruePeak,    // the true peak of the frames of each add
};

// Measures loudness to ITU-R BS.1770 / EBU R128.
class LoudnessMeter {
 public:
  LoudnessMeter() = default;
  LoudnessMeter(const LoudnessMeter&) = delete;
  LoudnessMeter& operator=(const LoudnessMeter&) = delete;
  virtual ~LoudnessMeter() = default;

  // Takes the next n interleaved frames. kIoError when the meter fails.
  virtual Status add(const int16_t* frames, size_t n) = 0;
  // kIntegrated: the integrated loudness of everything added, in LUFS;
  // nothing when it is too quiet to measure (silence, or only blocks below
  // the gate).
  virtual std::optional<double> integrated() = 0;
  // kTruePeak: the highest true peak (4 × oversampled, linear, full scale
  // 1) of the frames of the last add, the frames added before them counting
  // as the filter's history.
  virtual double lastTruePeak() = 0;
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
  // True when this system's library writes files of type.
  virtual bool canEncode(EncodedType type) = 0;
  // An encoder of spec writing into file from offset 0 (through the
  // program's File, so failures injected in tests and the replacing save
  // apply). kUnsupported when the type cannot be written here.
  virtual Result<std::unique_ptr<SoundEncoder>> newEncoder(File& file, const EncoderSpec& spec) = 0;
  // A meter of frames of `channels` channels at rate frames per second.
  virtual Result<std::unique_ptr<LoudnessMeter>> newLoudnessMeter(int channels, int rate,
                                                                  LoudnessMeasure measure) = 0;
};

// The real library: libsndfile for every format it reads, libsoxr.
std::unique_ptr<SoundLibrary> newSoundLibrary();

// Its parts, for tests and benchmarks.
Result<std::unique_ptr<SoundDecoder>> openSndfileDecoder(FileSystem& fs, const std::string& path);
Result<std::unique_ptr<Resampler>> newSoxrResampler(int inRate, int outRate, int channels);
bool sndfileCanEncode(EncodedType type);
Result<std::unique_ptr<SoundEncoder>> newSndfileEncoder(File& file, const EncoderSpec& spec);
Result<std::unique_ptr<LoudnessMeter>> newEbur128Meter(int channels, int rate, LoudnessMeasure measure);

}  // namespace pelisto
