// Pauses: stretches of a file of at least a minimum length in which every
// 10-ms block of both channels stays below a level. What the survey of the
// open file has found of them, and the pause line the user moved to.
#pragma once

#include <cstdint>
#include <vector>

namespace pelisto {

struct PauseSettings {
  double minSeconds = 0.30;     // the shortest pause
  double thresholdDb = -40.0;   // the RMS level (dBFS) every block stays below
  friend bool operator==(const PauseSettings&, const PauseSettings&) = default;
};

// Frames first … last of the open file, both included.
struct Pause {
  int64_t first = 0;
  int64_t last = 0;
  int64_t middle() const { return first + (last - first) / 2; }
  friend bool operator==(const Pause&, const Pause&) = default;
};

struct PauseState {
  PauseSettings settings;
  // The pauses found so far, in order; complete once the survey has
  // measured the whole file.
  std::vector<Pause> found;
  bool complete = false;
  // The pause line: the middle frame of the pause last moved to (-1: none);
  // it goes when the view leaves the second that holds it.
  int64_t line = -1;
};

}  // namespace pelisto
