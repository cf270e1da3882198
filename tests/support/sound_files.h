// WAV files of any layout the editor refuses, built in memory, and files
// of the other formats written by the sound library, for the conversion
// tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <sndfile.h>
#include <unistd.h>

#include "platform/coding.h"
#include "platform/riff.h"

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
  // Byte by byte: g++ 12 under ThreadSanitizer's -O1 warns falsely
  // (stringop-overflow) about a four-byte vector insert.
  auto tag = [&](const char* t) {
    for (int i = 0; i < 4; ++i) f.push_back(uint8_t(t[i]));
  };
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

// `frames` frames of 16-bit stereo sound (a ramp) at `rate`, in the
// container and coding of `format` (SF_FORMAT_AIFF | SF_FORMAT_PCM_16, …),
// as libsndfile writes them. Empty when the library refuses.
inline std::vector<uint8_t> libraryFile(int format, int rate, int frames) {
  const std::string path = "/tmp/pelisto-sound-" + std::to_string(::getpid());
  SF_INFO info{0, rate, 2, format, 0, 0};
  if (SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info)) {
    std::vector<short> samples(size_t(frames) * 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = short(i * 37);
    sf_writef_short(f, samples.data(), frames);
    sf_close(f);
  }
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  return bytes;
}

}  // namespace pelisto::test
