#include "platform/local_time.h"

#include <time.h>

namespace pelisto {

LocalTime localTimeOf(int64_t ns) {
  // Floor division: a time before 1970 keeps its second.
  const time_t seconds = static_cast<time_t>(ns / 1000000000 - (ns % 1000000000 < 0 ? 1 : 0));
  struct tm t {};
  if (!::localtime_r(&seconds, &t)) return LocalTime{};
  return LocalTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min};
}

}  // namespace pelisto
