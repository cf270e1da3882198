// Times as the user reads them: the user's time zone, from the clock that
// dates files (FileInfo::modifiedNs).
#pragma once

#include <cstdint>

namespace pelisto {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1 … 12
  int day = 0;    // 1 … 31
  int hour = 0;   // 0 … 23
  int minute = 0;
};

// ns since 1970-01-01 00:00 UTC, in the time zone the environment sets.
LocalTime localTimeOf(int64_t ns);

}  // namespace pelisto
