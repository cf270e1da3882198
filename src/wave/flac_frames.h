// The parts of a FLAC stream (the format's own layout: a "fLaC" mark,
// metadata blocks, then frames) that joining several encoders' streams
// into one needs: the frames found and checked, their numbers rewritten,
// and the STREAMINFO of the whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/status.h"

namespace pelisto {

// STREAMINFO, the first metadata block: its 34 bytes start at byte 8.
inline constexpr size_t kStreamInfoAt = 8;
inline constexpr size_t kStreamInfoBytes = 34;

struct FlacStreamInfo {
  uint32_t minBlock = 0, maxBlock = 0;  // frames of samples in a frame
  uint32_t minFrameBytes = 0, maxFrameBytes = 0;
  uint32_t rate = 0, channels = 0, bits = 0;
  uint64_t samples = 0;  // frames of samples in the stream; 0: unknown
  std::array<uint8_t, 16> md5{};
};

// One coded frame of a stream.
struct FlacFrame {
  size_t at = 0, size = 0;  // bytes, the trailing CRC-16 included
  uint32_t block = 0;       // frames of samples it codes
};

struct FlacLayout {
  FlacStreamInfo info;
  size_t framesAt = 0;  // where the metadata ends and the first frame starts
  std::vector<FlacFrame> frames;
};

// The stream's metadata and every frame, each checked by its CRC-8 and
// CRC-16 and numbered 0, 1, 2, … as a fixed block size numbers them.
// kInvalid where it is not such a stream.
Result<FlacLayout> readFlacLayout(const uint8_t* bytes, size_t n);

// Appends frame with its number changed to `number`, both checksums made
// anew. The frame must be one readFlacLayout found.
void appendRenumbered(const uint8_t* frame, size_t size, uint64_t number, std::vector<uint8_t>& out);

// The 34 bytes of a STREAMINFO block's body.
std::array<uint8_t, kStreamInfoBytes> streamInfoBytes(const FlacStreamInfo& info);

}  // namespace pelisto
