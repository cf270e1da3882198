// The strip of the whole open file (表示 → 全体表示, control OVERVIEW):
// whether it is shown, a drag on it, and what it was last drawn from, so
// that it is drawn again only when that changes.
#pragma once

#include <cstdint>
#include <memory>

namespace pelisto {

struct OverviewInputs {
  const void* survey = nullptr;  // the survey drawn (null: no file)
  int columns = 0;               // its columns measured
  int second = -1;               // the second in view
  int64_t selStart = -1, selEnd = -1;  // the selected entry's frames (-1: none of this file)
  uint64_t listRevision = 0;
  int lines = 0, count = 0;
  size_t pauses = 0;
  uint64_t pausesVersion = 0;
  int cursor = -1;               // the play cursor's column (-1: none)
  friend bool operator==(const OverviewInputs&, const OverviewInputs&) = default;
};

struct OverviewState {
  bool shown = false;
  bool dragging = false;  // a press on the strip moves the view until released
  bool drawnOnce = false;
  OverviewInputs drawn;
};

}  // namespace pelisto
