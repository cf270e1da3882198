// WAV files of any layout the editor refuses, built in memory, and files
// of the other formats written by the sound library, for the conversion
// tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include <sndfile.h>

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

// `frames` frames of 16-bit stereo sound (a slow ramp) at `rate`, in the
// container and coding of `format` (SF_FORMAT_AIFF | SF_FORMAT_PCM_16, …),
// as libsndfile writes them. Empty when the library refuses.
inline std::vector<uint8_t> libraryFile(int format, int rate, int frames) {
  struct Sink {
    std::vector<uint8_t> bytes;
    sf_count_t pos = 0;
  } sink;
  SF_VIRTUAL_IO io{};
  io.get_filelen = [](void* u) { return sf_count_t(static_cast<Sink*>(u)->bytes.size()); };
  io.tell = [](void* u) { return static_cast<Sink*>(u)->pos; };
  io.seek = [](sf_count_t offset, int whence, void* u) {
    Sink& s = *static_cast<Sink*>(u);
    s.pos = offset + (whence == SEEK_CUR ? s.pos : whence == SEEK_END ? sf_count_t(s.bytes.size()) : 0);
    return s.pos;
  };
  io.read = [](void* dst, sf_count_t n, void* u) {
    Sink& s = *static_cast<Sink*>(u);
    n = std::clamp<sf_count_t>(sf_count_t(s.bytes.size()) - s.pos, 0, n);
    std::memcpy(dst, s.bytes.data() + s.pos, size_t(n));
    s.pos += n;
    return n;
  };
  io.write = [](const void* src, sf_count_t n, void* u) {
    Sink& s = *static_cast<Sink*>(u);
    if (s.bytes.size() < size_t(s.pos + n)) s.bytes.resize(size_t(s.pos + n));
    std::memcpy(s.bytes.data() + s.pos, src, size_t(n));
    s.pos += n;
    return n;
  };
  SF_INFO info{0, rate, 2, format, 0, 0};
  SNDFILE* f = sf_open_virtual(&io, SFM_WRITE, &info, &sink);
  if (!f) return {};
  std::vector<short> samples(size_t(frames) * 2);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = short(i * 37);
  sf_writef_short(f, samples.data(), frames);
  sf_close(f);
  return std::move(sink.bytes);
}

}  // namespace pelisto::test
