// Converting a sound file of another format into the editing format: 16-bit
// stereo PCM at 44100 frames per second behind the canonical 44-byte
// header. Streamed in blocks through the decoder and resampler services;
// memory does not grow with the file.
//
// Channels. One channel is heard on both sides (copied to left and right).
// Two channels stay left and right. More channels are folded into two by
// where each is meant to be heard, with these shares:
//   front left                                  → left × 1
//   front right                                 → right × 1
//   back, side, front-of-centre and top left    → left × 1/√2 (−3 dB)
//   back, side, front-of-centre and top right   → right × 1/√2
//   centre, back and top centre, LFE, and a
//   channel of no known place                   → both sides × 1/√2
// A first pass over the whole sound measures the peak of the folded
// signal; the fold then applies the largest gain, at most 1, that keeps
// that peak within full scale, the same for both sides (so the balance
// stays). Nothing clips in the fold, and a sound with room to spare keeps
// its level: a 5.1 file whose centre alone peaks at −1 dBFS comes out at
// −4 dBFS on each side. Stereo and mono are never scaled.
// Where the resampler overshoots full scale the sample is clamped to the
// largest 16-bit value of its sign (never wrapped) and counted.
//
// Samples. A source of 16-bit integers at 44100 Hz with one or two
// channels is copied exactly (no arithmetic at all); 8-bit ones there are
// widened exactly. Anything else is taken as floating point, resampled to
// 44100 Hz when its rate differs (after the channels are folded), and
// rounded to 16 bits with triangular (TPDF) dither of ±1 step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/riff.h"
#include "platform/sound_library.h"
#include "platform/ui.h"

namespace pelisto {

inline constexpr int kEditRate = 44100;
// Frames of the editing rate made at a time (see convert_limits.h).
inline constexpr size_t kConvertBlockFrames = 8192;
// The most frames the header's 32-bit sizes can describe (44 + 4 × frames
// bytes must stay below 4 GiB).
inline constexpr uint64_t kMaxConvertedFrames = (riff::kMaxFileBytes - riff::kCanonicalHeaderBytes) / 4;

inline constexpr const char* kMsgConvertedTooLong =
    "変換したファイルの大きさが4GBを超えるため変換できません";

struct ConvertOptions {
  bool dither = true;  // off only where tests compare exact values
  // When given, set to the number of samples clamped at full scale.
  uint64_t* clampedSamples = nullptr;
};

// The share of each source channel in the left and right output, before
// the fold's gain (described above).
struct ChannelGains {
  float left = 0;
  float right = 0;
};
std::vector<ChannelGains> stereoFold(const SoundInfo& info);
// The fold's gain for a folded peak (full scale 1): the largest gain, at
// most 1, that keeps it within full scale.
float foldGain(float peak);

// The frames the converted sound will have (from the source's frame count,
// which some formats only estimate), and the refusal when they would not
// fit the header.
uint64_t convertedFrames(const SoundInfo& info);
Status checkConvertedLength(uint64_t frames);

// Converts the sound file at source into a new wave file at target: the
// header, then the samples; the header's sizes are set when the sound has
// ended. target is replaced only when the conversion is complete (nothing
// is left behind on failure or cancel). A source checkConvertible refuses
// is refused before a byte is written. Reports progress (source frames,
// both passes of a fold) to busy, which may cancel (kCancelled). A source
// that cannot be read fails with kIoError; a sound that turns out longer
// than a header can describe with kLimit.
Status convertToWaveFile(FileSystem& fs, SoundLibrary& library, const std::string& source,
                         const std::string& target, BusyScope* busy,
                         const ConvertOptions& options = {});

}  // namespace pelisto
