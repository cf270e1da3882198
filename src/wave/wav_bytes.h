// The canonical 44-byte WAV header, for the writer, the converter, the
// generator tool, the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/coding.h"

namespace pelisto {

// "RIFF" size "WAVE" "fmt " 16 {format, channels, rate, byte rate, align,
// bits} "data" dataSize.
inline std::vector<uint8_t> canonicalWavHeader(uint32_t dataSize, uint16_t channels = 2,
                                               uint32_t rate = 44100, uint16_t bits = 16,
                                               uint16_t format = 1) {
  std::vector<uint8_t> h(44);
  const uint16_t align = uint16_t(channels * bits / 8);
  auto tag = [&](int at, const char* s) {
    for (int i = 0; i < 4; ++i) h[at + i] = uint8_t(s[i]);
  };
  tag(0, "RIFF");
  putLe32(&h[4], dataSize + 36);
  tag(8, "WAVE");
  tag(12, "fmt ");
  putLe32(&h[16], 16);
  putLe16(&h[20], format);
  putLe16(&h[22], channels);
  putLe32(&h[24], rate);
  putLe32(&h[28], rate * align);
  putLe16(&h[32], align);
  putLe16(&h[34], bits);
  tag(36, "data");
  putLe32(&h[40], dataSize);
  return h;
}

}  // namespace pelisto
