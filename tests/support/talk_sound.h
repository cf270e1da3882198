// Made sounds for the pause search: stretches of speech-like noise, tones,
// silences, a noise floor and clicks, of known lengths, as the bytes of a
// 16-bit stereo file; and where their pauses are.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "model/pauses.h"
#include "support/test_app.h"

namespace pelisto::test {

struct Stretch {
  enum Kind {
    kSilence,     // zeros
    kFloor,       // noise at about -41 dBFS RMS: just under the default threshold
    kQuietClick,  // silence with one sample at 3000 in it: a block stays under
    kLoudClick,   // 20 samples at full scale: loud, however short
    kSpeech,      // noise whose loudness swells and falls, never near silence
    kLeftTone,    // a tone in the left channel only
  } kind;
  double seconds;
  bool silent() const { return kind == kSilence || kind == kFloor || kind == kQuietClick; }
};

// The frames of each stretch, end to end.
inline std::vector<int64_t> stretchStarts(const std::vector<Stretch>& sound) {
  std::vector<int64_t> starts{0};
  for (const Stretch& s : sound) starts.push_back(starts.back() + std::llround(s.seconds * kFramesPerSecond));
  return starts;
}

inline std::vector<uint8_t> talkData(const std::vector<Stretch>& sound) {
  const std::vector<int64_t> starts = stretchStarts(sound);
  std::vector<uint8_t> d;
  d.reserve(size_t(starts.back()) * 4);
  uint32_t seed = 99;
  auto noise = [&seed] { return ((seed = seed * 1664525u + 1013904223u) >> 16) / 32768.0 - 1.0; };
  auto put = [&d](double v) {
    const auto s = static_cast<int16_t>(std::lround(std::fmax(-32768, std::fmin(32767, v))));
    d.push_back(uint8_t(s));
    d.push_back(uint8_t(uint16_t(s) >> 8));
  };
  for (size_t i = 0; i < sound.size(); ++i) {
    const int64_t n = starts[i + 1] - starts[i];
    for (int64_t f = 0; f < n; ++f) {
      double l = 0, r = 0;
      const double t = double(f) / kFramesPerSecond;
      switch (sound[i].kind) {
        case Stretch::kSilence: break;
        case Stretch::kFloor: l = 500 * noise(), r = 500 * noise(); break;  // RMS 289
        case Stretch::kQuietClick: l = f == n / 2 ? 3000 : 0; break;
        case Stretch::kLoudClick: l = r = f < 20 ? 32767 : 0; break;
        case Stretch::kSpeech: {
          const double loud = 3000 + 9000 * std::fabs(std::sin(3.1 * t));
          l = loud * noise(), r = 0.6 * loud * noise();
          break;
        }
        case Stretch::kLeftTone: l = 4000 * std::sin(2 * 3.14159265 * 220 * t); break;
      }
      put(l);
      put(r);
    }
  }
  return d;
}

// The pauses of the sound: runs of silent stretches at least minSeconds
// long.
inline std::vector<Pause> talkPauses(const std::vector<Stretch>& sound, double minSeconds = 0.30) {
  const std::vector<int64_t> starts = stretchStarts(sound);
  std::vector<Pause> pauses;
  for (size_t i = 0; i < sound.size();) {
    size_t j = i;
    while (j < sound.size() && sound[j].silent()) ++j;
    if (j > i && starts[j] - starts[i] >= std::llround(minSeconds * kFramesPerSecond)) {
      pauses.push_back(Pause{starts[i], starts[j] - 1});
    }
    i = j > i ? j : i + 1;
  }
  return pauses;
}

}  // namespace pelisto::test
