// WAV files of any layout the editor refuses, built in memory, for the
// conversion tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "wave/wav_bytes.h"

namespace pelisto::test {

struct WavLayout {
  uint16_t tag = 1;     // 1 PCM, 3 float, 0xFFFE extensible (PCM or float by `floating`)
  int channels = 2;
  int rate = 44100;
  int bits = 16;
  bool floating = false;  // the extensible sub-format
  uint32_t mask = 0;      // the extensible channel mask
  bool list = false;      // a LIST chunk before the data
};

inline std::vector<uint8_t> wavOf(const WavLayout& w, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> f;
  auto tag = [&](const char* t) { f.insert(f.end(), t, t + 4); };
  auto le = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) f.push_back(uint8_t(v >> (8 * i)));
  };
  const bool ext = w.tag == 0xFFFE;
  const uint32_t align = uint32_t(w.channels * w.bits / 8);
  tag("RIFF"), le(0, 4), tag("WAVE"), tag("fmt "), le(ext ? 40 : 16, 4);
  le(w.tag, 2), le(w.channels, 2), le(w.rate, 4), le(w.rate * align, 4), le(align, 2), le(w.bits, 2);
  if (ext) {
    le(22, 2), le(w.bits, 2), le(w.mask, 4), le(w.floating ? 3 : 1, 4);
    const uint8_t guid[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    f.insert(f.end(), guid, guid + 12);
  }
  if (w.list) tag("LIST"), le(4, 4), tag("INFO");
  tag("data"), le(uint32_t(data.size()), 4);
  f.insert(f.end(), data.begin(), data.end());
  putLe32(&f[4], uint32_t(f.size() - 8));
  return f;
}

// Samples of full scale ±1 stored as `bits`-bit integers (8: unsigned) or,
// with floating, as 32-bit floats.
inline std::vector<uint8_t> samplesOf(const std::vector<double>& v, int bits, bool floating) {
  std::vector<uint8_t> out;
  for (double x : v) {
    if (floating) {
      float f = float(x);
      uint8_t b[4];
      std::memcpy(b, &f, 4);
      out.insert(out.end(), b, b + 4);
    } else {
      const double full = std::ldexp(1.0, bits - 1);
      int64_t n = std::llround(std::clamp(x * full, -full, full - 1));
      if (bits == 8) n += 128;
      for (int i = 0; i < bits / 8; ++i) out.push_back(uint8_t(uint64_t(n) >> (8 * i)));
    }
  }
  return out;
}

}  // namespace pelisto::test
