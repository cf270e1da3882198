// How one second of sound becomes the 600 rows of PICTURE1 that draw it:
// column 6k + m comes from 10-ms block k, from the high byte of one sample
// at offset 1 + 294m of the block (left and right channel in turn). The
// direct drawing and the graph cache both use these, so they agree exactly.
#pragma once

#include <array>
#include <cstdint>

#include "model/app_state.h"

namespace pelisto {

constexpr int kBlocksPerSecond = kBytesPerSecond / WAVEBLOCK;  // 100
constexpr int kColumnsPerBlock = kColumnsPerSecond / kBlocksPerSecond;  // 6
constexpr int kZeroRow = 63;
constexpr std::array<int, kColumnsPerBlock> kColumnOffsets = {1, 295, 589, 883, 1177, 1471};

// The row for a sample's high byte b: v = b below 128, else b - 255 (so 255
// is 0 and 128 is -127); y = 63 + v / 2 with halves going to the even row.
constexpr uint8_t rowOfByte(uint8_t b) {
  const int twice = 2 * kZeroRow + (b < 128 ? int(b) : int(b) - 255);  // 2y, from -1 to 253
  if (twice % 2 == 0) return uint8_t(twice / 2);
  const int below = twice < 0 ? -((1 - twice) / 2) : twice / 2;  // floor(twice / 2)
  return uint8_t(below % 2 == 0 ? below : below + 1);
}

inline constexpr std::array<uint8_t, 256> kRowOfByte = [] {
  std::array<uint8_t, 256> t{};
  for (int b = 0; b < 256; ++b) t[b] = rowOfByte(uint8_t(b));
  return t;
}();

// The six rows of one 1764-byte block, into out[0..5].
inline void reduceBlock(const uint8_t* block, uint8_t* out) {
  for (int m = 0; m < kColumnsPerBlock; ++m) out[m] = kRowOfByte[block[kColumnOffsets[m]]];
}

}  // namespace pelisto
