// Helpers for the waveform view tests: sound data with known bytes and
// snapshots of PICTURE1.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/test_app.h"

namespace pelisto::test {

// `bytes` bytes of pseudo-random data (every byte value occurs).
inline std::vector<uint8_t> noiseData(size_t bytes, uint32_t seed = 12345) {
  std::vector<uint8_t> d(bytes);
  for (size_t i = 0; i < bytes; ++i) {
    seed = seed * 1664525u + 1013904223u;
    d[i] = uint8_t(seed >> 24);
  }
  return d;
}

// A header claiming dataSize bytes, followed by `data` (which may be
// shorter or longer than the claim).
// (Built by resize and copy: an insert here trips a false array-bounds
// warning of GCC 12 in optimised builds.)
inline std::vector<uint8_t> wavClaiming(uint32_t dataSize, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> f = riff::canonicalHeader(dataSize);
  const size_t header = f.size();
  f.resize(header + data.size());
  std::copy(data.begin(), data.end(), f.begin() + header);
  return f;
}

inline std::vector<uint32_t> snapshot(Canvas& c) {
  return std::vector<uint32_t>(c.pixels(), c.pixels() + size_t(c.width()) * c.height());
}

// A started app with `file` open as "/w/a.wav" (made `length` bytes long,
// with zeros after `file`, when that is longer).
struct ViewApp : TestApp {
  explicit ViewApp(std::vector<uint8_t> file, bool fast = false, uint64_t length = 0) {
    fs.addDirectory("/w");
    fs.setContents("/w/a.wav", std::move(file));
    fs.setSparseLength("/w/a.wav", length);
    started();
    if (fast) GRAPGFAST_ON(ctx);
    openWave("/w/a.wav");
  }
  Canvas& picture() { return ui.canvas(Control::PICTURE1); }
  Canvas& form() { return ui.canvas(Control::MAINFORM); }
  void scrollTo(int second) {
    ui.setScrollPos(second);
    HSCROLL1_CHANGE(ctx);
  }
};

// Empty when equal, else the first differing pixel of two snapshots of a
// width-wide canvas.
inline std::string firstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                                   int width = kPictureClientWidth) {
  if (a.size() != b.size()) return "sizes differ";
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) {
      char text[96];
      std::snprintf(text, sizeof text, "pixel (%d, %d): %06x vs %06x", int(i % width),
                    int(i / width), a[i] & 0xffffffu, b[i] & 0xffffffu);
      return text;
    }
  }
  return "";
}

inline const Rgb kWhite{255, 255, 255}, kSilver{192, 192, 192}, kBlue{0, 0, 255}, kRed{255, 0, 0};

}  // namespace pelisto::test
